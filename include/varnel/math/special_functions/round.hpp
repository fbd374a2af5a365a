// Rounding to integral values: round (halfway cases away from zero), trunc,
// and the range-checked conversions lround, llround and itrunc.
//
// All rounding happens on the magnitude of the argument, whose integral
// part (detail::truncate_magnitude) is exactly what the platform's floor
// gives; the sign of the argument is put back at the end.  That is the
// result of floor and ceil on the signed value, without their calls and
// without a branch on the sign, which arguments of random sign would
// mispredict half the time.  lround and llround below 2^52 round in the
// integer itself; everywhere else integers appear only in the final
// conversion, after the range check has proved it exact.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_ROUND_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_ROUND_HPP

#include <cmath>
#include <cstdint>
#include <limits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/special_functions/fpclassify.hpp>

namespace varnel::math {

namespace detail {

// Integral r (the rounded or truncated x) converted to R.  Accepted is the
// half-open range [-2^N, 2^N) with N the value bits of R: -2^N is the
// minimum of R, while 2^N is one above the maximum.  The bound is formed by
// the binary64 ldexp, exact for every N here, and compared in T (2^63 is
// exactly representable in binary32 too).  A rejected value saturates by the
// sign of x as passed in, not of r, so a NaN (whose r is -max_value) gives
// the minimum.  The comparisons come first: converting an out-of-range or
// non-finite value to an integer type is undefined behaviour.
template <class R, class T, class Policy>
inline R checked_integer(T r, T x, const char* function, const Policy& pol) noexcept {
  constexpr int n = std::numeric_limits<R>::digits;
  const T bound = static_cast<T>(std::ldexp(1.0, n));
  if (r >= bound || r < -bound) return policies::on_rounding_error(function, nullptr, x, R(0), pol);
  return static_cast<R>(r);
}

}  // namespace detail

// Every family here computes in binary32 or binary64; long double callers
// map to double first.

// Nearest integral value, halfway cases away from zero.  Never adds 0.5 to
// x (0.49999999999999994 + 0.5 rounds to 1): the magnitude a is cut to its
// integral part t, and one is added when the fraction a - t is one half or
// more.  That is the value farther from zero of ceil and floor exactly when
// it lies at most one half away, as the definition asks.  a - t is exact,
// so no halfway case is misjudged, and t + 1 is exact because a fraction
// exists only below 2^52 (2^23).
template <class T, class Policy>
inline T round(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  // NaN and infinities: no integral value to give.  +max_value for x > 0,
  // -max_value otherwise, so a NaN gives -max_value.
  if (!isfinite(x)) {
    return policies::on_rounding_error("varnel::math::round<%1%>(%1%)", nullptr, x, T(0), pol);
  }
  const T a = std::fabs(x);
  const T t = detail::truncate_magnitude(a);
  const T r = t + (a - t >= T(0.5) ? T(1) : T(0));
  // r is zero exactly for |x| < 0.5, where +0 is wanted whatever the sign of
  // x: adding +0 turns the -0 that the sign gives there into +0 and leaves
  // every nonzero value as it is.
  return varnel::math::copysign(r, x) + T(0);
}

// Integral part: the floor of a non-negative x, the ceil of a negative one.
// -0 stays -0; a negative x above -1 gives -0.
template <class T, class Policy>
inline T trunc(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  if (!isfinite(x)) {
    return policies::on_rounding_error("varnel::math::trunc<%1%>(%1%)", nullptr, x, T(0), pol);
  }
  return varnel::math::copysign(detail::truncate_magnitude(std::fabs(x)), x);
}

namespace detail {

// Below 2^52 (2^23) every round(x) fits a 64-bit integer, so lround and
// llround can round in the integer itself: the same truncation, the same
// one-half test on the exact fraction, then the sign of x.  Above that
// bound, and for a non-finite x, the floating round and the range check
// run as written.
template <class T>
inline bool integer_rounding_applies(T x) noexcept {
  return std::fabs(x) < T(std::uint64_t{1} << (std::numeric_limits<T>::digits - 1));
}

template <class T>
inline std::int64_t round_in_integer(T x) noexcept {
  const T a = std::fabs(x);
  std::int64_t i = static_cast<std::int64_t>(a);
  i += a - static_cast<T>(i) >= T(0.5) ? 1 : 0;
  // 0 or -1: negates i for a negative x without a branch on the sign.
  const std::int64_t s = -static_cast<std::int64_t>(signbit(x));
  return (i ^ s) - s;
}

}  // namespace detail

// round, then the range check for long.  A non-finite x is reported twice:
// by round, whose +-max_value then fails the range check.
template <class T, class Policy>
inline long lround(T x, const Policy& pol) noexcept {
  if (detail::integer_rounding_applies(x)) return static_cast<long>(detail::round_in_integer(x));
  const T r = varnel::math::round(x, pol);
  return detail::checked_integer<long>(r, x, "varnel::math::lround<%1%>(%1%)", pol);
}

template <class T, class Policy>
inline long long llround(T x, const Policy& pol) noexcept {
  if (detail::integer_rounding_applies(x)) return detail::round_in_integer(x);
  const T r = varnel::math::round(x, pol);
  return detail::checked_integer<long long>(r, x, "varnel::math::llround<%1%>(%1%)", pol);
}

// trunc, then the range check for int; turns an integral argument into a
// table index.
template <class T, class Policy>
inline int itrunc(T x, const Policy& pol) noexcept {
  const T r = varnel::math::trunc(x, pol);
  return detail::checked_integer<int>(r, x, "varnel::math::itrunc<%1%>(%1%)", pol);
}

}  // namespace varnel::math

#endif
