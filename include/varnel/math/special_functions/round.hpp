// Rounding to integral values: round (halfway cases away from zero), trunc,
// and the range-checked conversions lround, llround and itrunc.
//
// All rounding happens in the floating type of the argument with the
// platform's ceil and floor (ceilf and floorf at float); integers appear only
// in the final conversion, after the range check has proved it exact.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_ROUND_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_ROUND_HPP

#include <cmath>
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
// x (0.49999999999999994 + 0.5 rounds to 1): it takes ceil or floor and
// steps back by one when that moved the value by more than one half.  The
// differences c - x and x - f are exact, so no halfway case is misjudged.
template <class T, class Policy>
inline T round(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  // NaN and infinities: no integral value to give.  +max_value for x > 0,
  // -max_value otherwise, so a NaN gives -max_value.
  if (!isfinite(x)) {
    return policies::on_rounding_error("varnel::math::round<%1%>(%1%)", nullptr, x, T(0), pol);
  }
  // Both comparisons strict: +-0.5 themselves round away from zero below.
  // Every x in between, -0 and negative x included, gives +0.
  if (-T(0.5) < x && x < T(0.5)) return T(0);
  if (x > 0) {
    const T c = std::ceil(x);
    // Exactly one half keeps c, the value farther from zero.
    return c - x > T(0.5) ? c - T(1) : c;
  }
  const T f = std::floor(x);  // x <= -0.5
  return x - f > T(0.5) ? f + T(1) : f;
}

// Integral part.  -0 compares equal to 0 and goes to floor, which keeps -0;
// a negative x above -1 gives ceil(x) = -0.
template <class T, class Policy>
inline T trunc(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  if (!isfinite(x)) {
    return policies::on_rounding_error("varnel::math::trunc<%1%>(%1%)", nullptr, x, T(0), pol);
  }
  return x >= 0 ? std::floor(x) : std::ceil(x);
}

// round, then the range check for long.  A non-finite x is reported twice:
// by round, whose +-max_value then fails the range check.
template <class T, class Policy>
inline long lround(T x, const Policy& pol) noexcept {
  const T r = varnel::math::round(x, pol);
  return detail::checked_integer<long>(r, x, "varnel::math::lround<%1%>(%1%)", pol);
}

template <class T, class Policy>
inline long long llround(T x, const Policy& pol) noexcept {
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
