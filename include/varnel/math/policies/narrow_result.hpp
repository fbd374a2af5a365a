// The last step of the families that compute in a working type: convert the
// result to the exported type and report what that type cannot hold.
#ifndef VARNEL_MATH_POLICIES_NARROW_RESULT_HPP
#define VARNEL_MATH_POLICIES_NARROW_RESULT_HPP

#include <cmath>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math::policies {

namespace detail {
// r converted to R by round-to-nearest, for |r| > max_value<R>.  Written out
// rather than left to the conversion: a narrowing conversion of a value
// beyond the target's range is undefined behaviour in C++.  Results from the
// largest finite value up to the rounding midpoint come back as the largest
// finite value; the midpoint itself (the largest value has an odd
// significand) and everything beyond go to infinity.
template <class R, class W>
inline R convert_beyond_max(W r) noexcept {
  if constexpr (sizeof(R) == sizeof(W)) {
    return static_cast<R>(r);
  } else {
    static_assert(sizeof(R) == 4 && sizeof(W) == 8, "binary64 to binary32");
    const W midpoint = 0x1.ffffffp+127;  // 2^128 - 2^103, halfway from the largest float to 2^128
    const R magnitude = std::fabs(r) >= midpoint ? tools::infinity<R>() : tools::max_value<R>();
    return r < 0 ? -magnitude : magnitude;
  }
}
}  // namespace detail

// r: the working-type result; function: the calling family entry's
// function-name string, handed on to the actions.
template <class R, class W, class Policy = errno_policy>
inline R narrow_result(W r, const char* function, const Policy& pol = Policy()) noexcept {
  // The common case first, in one test: a magnitude from the smallest
  // normal to the largest finite value of R converts to a normal R (at
  // least the smallest normal, at most the largest) and none of the checks
  // below would fire.  Zeros, NaNs and everything else take them in turn.
  const W magnitude = std::fabs(r);
  if (magnitude >= static_cast<W>(tools::smallest_normal<R>()) &&
      magnitude <= static_cast<W>(tools::max_value<R>()))
    return static_cast<R>(r);
  // Overflow; false for NaN.  The action's infinity is discarded: the value
  // returned is r converted, which keeps its sign.
  if (std::fabs(r) > static_cast<W>(tools::max_value<R>())) {
    on_overflow_error<R>(function, nullptr, pol);
    return detail::convert_beyond_max<R>(r);
  }
  const R c = static_cast<R>(r);
  // Underflow: a nonzero result lost entirely.  +0 whatever the sign.
  if (r != 0 && c == 0) return on_underflow_error<R>(function, nullptr, pol);
  // Subnormal in R (including a value that rounded up to the smallest normal).
  if (std::fabs(r) < static_cast<W>(tools::smallest_normal<R>()) && c != 0)
    return on_denorm_error<R>(function, nullptr, c, pol);
  // Zeros of either sign and NaNs pass untouched.
  return c;
}

}  // namespace varnel::math::policies

#endif
