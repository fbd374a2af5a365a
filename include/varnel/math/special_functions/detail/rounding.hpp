// What the rounding families share: the range check of an integral value
// against an integer result type, and the test that decides when the
// rounded value can be read from the bit pattern as an integer.
//
// Integers appear only in the final conversion, after the range check has
// proved it exact: converting an out-of-range or non-finite value to an
// integer type is undefined behaviour.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_DETAIL_ROUNDING_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_DETAIL_ROUNDING_HPP

#include <cmath>
#include <cstdint>
#include <limits>

#include <varnel/math/policies/error_handling.hpp>

namespace varnel::math::detail {

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

}  // namespace varnel::math::detail

#endif
