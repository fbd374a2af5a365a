// The error policy and its actions.  An error site calls one action and
// returns its value (with whatever sign the site applies); the action stores
// EDOM or ERANGE in the calling thread's errno and supplies the value.
// Nothing is thrown, printed or formatted, and errno is never read.
#ifndef VARNEL_MATH_POLICIES_ERROR_HANDLING_HPP
#define VARNEL_MATH_POLICIES_ERROR_HANDLING_HPP

#include <cerrno>
#include <limits>
#include <type_traits>

#include <varnel/math/tools/limits.hpp>

namespace varnel::math::policies {

// The library's one policy: report through errno.  Empty; it only selects
// the actions at compile time.
struct errno_policy {};

enum class error_kind { domain, pole, overflow, underflow, denorm, rounding };

// Called by every action with the function-name string and the message that
// the site passed (the default message in place of none).  The errno
// policy's hook does nothing and is inlined away, so no string reaches an
// optimised library.  Another policy type may provide its own overload,
// found by argument-dependent lookup, to observe what each site passes.
template <class Policy>
inline void observe_error(const Policy&, error_kind, const char* /*function*/, const char* /*message*/) noexcept {}

namespace detail {
// Out of line and cold: error paths stay off the hot path of every family.
[[gnu::cold, gnu::noinline]] inline void store_errno(int e) noexcept { errno = e; }
inline const char* or_default(const char* message, const char* fallback) noexcept {
  return message != nullptr ? message : fallback;
}
}  // namespace detail

// Argument outside the domain (a NaN too, where the family rejects NaN):
// EDOM and the quiet NaN with sign clear and nothing but the quiet bit set.
template <class T, class Policy>
inline T on_domain_error(const char* function, const char* message, const T& /*value*/, const Policy& pol) noexcept {
  observe_error(pol, error_kind::domain, function,
                detail::or_default(message, "Domain Error evaluating function at %1%"));
  detail::store_errno(EDOM);
  return tools::quiet_nan<T>();
}

// A pole is reported exactly as a domain error; only the default message
// differs.
template <class T, class Policy>
inline T on_pole_error(const char* function, const char* message, const T& /*value*/, const Policy& pol) noexcept {
  observe_error(pol, error_kind::pole, function, detail::or_default(message, "Evaluation of function at pole %1%"));
  detail::store_errno(EDOM);
  return tools::quiet_nan<T>();
}

// Always +infinity; the site negates it for results that overflow downward.
template <class T, class Policy>
inline T on_overflow_error(const char* function, const char* message, const Policy& pol) noexcept {
  observe_error(pol, error_kind::overflow, function, detail::or_default(message, "Overflow Error"));
  detail::store_errno(ERANGE);
  return tools::infinity<T>();
}

// Always +0, whatever the sign of the true result.
template <class T, class Policy>
inline T on_underflow_error(const char* function, const char* message, const Policy& pol) noexcept {
  observe_error(pol, error_kind::underflow, function, detail::or_default(message, "Underflow Error"));
  detail::store_errno(ERANGE);
  return T(0);
}

// A subnormal result: ERANGE, and the value itself comes back unchanged.
template <class T, class Policy>
inline T on_denorm_error(const char* function, const char* message, const T& value, const Policy& pol) noexcept {
  observe_error(pol, error_kind::denorm, function, message);
  detail::store_errno(ERANGE);
  return value;
}

namespace detail {
template <class R> constexpr R largest_of() noexcept {
  if constexpr (std::is_floating_point_v<R>)
    return tools::max_value<R>();
  else
    return std::numeric_limits<R>::max();
}
// The lowest value: minus the largest for a floating type, the minimum (not
// minus the maximum) for an integer type.
template <class R> constexpr R lowest_of() noexcept {
  if constexpr (std::is_floating_point_v<R>)
    return -tools::max_value<R>();
  else
    return std::numeric_limits<R>::min();
}
}  // namespace detail

// A value the target type R cannot hold (or a non-finite argument of a
// floating rounding function).  Saturates by the sign of the offending value
// as passed: greater than zero gives the largest R, anything else (zero,
// negative, NaN) the lowest.  target only selects R.
template <class R, class T, class Policy> inline R on_rounding_error(const char* function, const char* message,
                                                                     const T& value, const R& /*target*/,
                                                                     const Policy& pol) noexcept {
  observe_error(pol, error_kind::rounding, function,
                detail::or_default(message, "Value %1% can not be represented in the target integer type."));
  detail::store_errno(ERANGE);
  return value > 0 ? detail::largest_of<R>() : detail::lowest_of<R>();
}

}  // namespace varnel::math::policies

#endif
