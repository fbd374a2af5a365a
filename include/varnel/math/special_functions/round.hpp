// Rounding to integral values: round (halfway cases away from zero), trunc,
// and the range-checked conversions lround, llround and itrunc.
//
// The results are those of the platform's floor and ceil on the signed
// value, formed without their calls and without a branch on the sign,
// which arguments of random sign would mispredict half the time: trunc
// takes the integral part of the magnitude (detail::truncate_magnitude,
// exactly the floor of |x|) and puts the sign back; round, lround and
// llround below 2^52 read the rounded value as an integer from the bit
// pattern (detail::round_to_integer).  Everywhere else integers appear only
// in the final conversion, after the range check has proved it exact.
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

namespace detail {

// Below 2^52 (2^23) x may have a fraction, and its rounded value fits a
// 64-bit integer; from there up every finite x is integral already.
template <class T> inline bool integer_rounding_applies(T x) noexcept {
  return std::fabs(x) < T(std::uint64_t{1} << (std::numeric_limits<T>::digits - 1));
}

// The rounded value i of x as an R, under the same range check as
// checked_integer.  Every i below 2^52 fits a 64-bit R, so the check exists
// only for a narrower R (long on Windows).
template <class R, class T, class Policy>
inline R integer_from_pattern(std::int64_t i, T x, const char* function, const Policy& pol) noexcept {
  constexpr int n = std::numeric_limits<R>::digits;
  if constexpr (n < 63) {
    constexpr std::int64_t bound = std::int64_t{1} << n;
    if (i >= bound || i < -bound) return policies::on_rounding_error(function, nullptr, x, R(0), pol);
  }
  return static_cast<R>(i);
}

}  // namespace detail

// Nearest integral value, halfway cases away from zero.  Never adds 0.5 to
// x (0.49999999999999994 + 0.5 rounds to 1): the integral part of |x| is
// taken, and one is added when the fraction is one half or more (its first
// bit is set).  That is the value farther from zero of ceil and floor
// exactly when it lies at most one half away, as the definition asks; the
// fraction is read exactly, so no halfway case is misjudged.
template <class T, class Policy> inline T round(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  // Below 2^52 (2^23), the common case, the rounded value as an integer,
  // converted back exactly.  |x| < 0.5 gives the integer 0 and so +0, as
  // wanted for every such x, -0 and negative x included.
  if (detail::integer_rounding_applies(x)) return static_cast<T>(detail::round_to_integer(x));
  // NaN and infinities: no integral value to give.  +max_value for x > 0,
  // -max_value otherwise, so a NaN gives -max_value.
  if (!isfinite(x)) {
    return policies::on_rounding_error("varnel::math::round<%1%>(%1%)", nullptr, x, T(0), pol);
  }
  return x;  // |x| >= 2^52 (2^23): integral already
}

// Integral part: the floor of a non-negative x, the ceil of a negative one.
// -0 stays -0; a negative x above -1 gives -0.
template <class T, class Policy> inline T trunc(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  if (!isfinite(x)) {
    return policies::on_rounding_error("varnel::math::trunc<%1%>(%1%)", nullptr, x, T(0), pol);
  }
  return varnel::math::copysign(detail::truncate_magnitude(std::fabs(x)), x);
}

// Below 2^52 (2^23) every round(x) fits a 64-bit integer, so lround and
// llround take it from the pattern (detail::round_to_integer); only a
// narrower long (32 bits on Windows) needs its range checked there.  Above that bound, and for a non-finite x, the
// floating round and the range check run as written.
//
// round, then the range check for long.  A non-finite x is reported twice:
// by round, whose +-max_value then fails the range check.
template <class T, class Policy> inline long lround(T x, const Policy& pol) noexcept {
  constexpr const char* function = "varnel::math::lround<%1%>(%1%)";
  if (detail::integer_rounding_applies(x))
    return detail::integer_from_pattern<long>(detail::round_to_integer(x), x, function, pol);
  const T r = varnel::math::round(x, pol);
  return detail::checked_integer<long>(r, x, function, pol);
}

template <class T, class Policy> inline long long llround(T x, const Policy& pol) noexcept {
  constexpr const char* function = "varnel::math::llround<%1%>(%1%)";
  if (detail::integer_rounding_applies(x))
    return detail::integer_from_pattern<long long>(detail::round_to_integer(x), x, function, pol);
  const T r = varnel::math::round(x, pol);
  return detail::checked_integer<long long>(r, x, function, pol);
}

// trunc, then the range check for int; turns an integral argument into a
// table index.
template <class T, class Policy> inline int itrunc(T x, const Policy& pol) noexcept {
  const T r = varnel::math::trunc(x, pol);
  return detail::checked_integer<int>(r, x, "varnel::math::itrunc<%1%>(%1%)", pol);
}

}  // namespace varnel::math

#endif
