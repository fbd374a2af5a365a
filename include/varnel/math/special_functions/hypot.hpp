// sqrt(x^2 + y^2) without overflow or underflow in the intermediate square:
// the smaller magnitude is scaled by the larger before squaring.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_HYPOT_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_HYPOT_HPP

#include <cmath>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math {
namespace detail {

// If y > x, exchange them; otherwise (a NaN on either side included) leave
// both.  SSE2's max and min have exactly these semantics (max: y > x ? y :
// x; min: x < y ? x : y) and need no branch, which random pairs would
// mispredict half the time; the compiler does not find them on its own.
template <class T> inline void swap_if_greater(T& x, T& y) noexcept {
  static_assert(std::is_same_v<T, double> || std::is_same_v<T, float>, "binary32 or binary64");
#if defined(__SSE2__)
  if constexpr (std::is_same_v<T, double>) {
    const __m128d vx = _mm_set_sd(x);
    const __m128d vy = _mm_set_sd(y);
    x = _mm_cvtsd_f64(_mm_max_sd(vy, vx));
    y = _mm_cvtsd_f64(_mm_min_sd(vx, vy));
  } else {
    const __m128 vx = _mm_set_ss(x);
    const __m128 vy = _mm_set_ss(y);
    x = _mm_cvtss_f32(_mm_max_ss(vy, vx));
    y = _mm_cvtss_f32(_mm_min_ss(vx, vy));
  }
#else
  if (y > x) {
    const T t = x;
    x = y;
    y = t;
  }
#endif
}

}  // namespace detail

// Computes in T (float with sqrtf and epsilon 2^-23, or double); long double
// callers map to double first.
template <class T, class Policy> inline T hypot(T x, T y, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  const char* const function = "varnel::math::hypot<%1%>(%1%,%1%)";
  x = std::fabs(x);
  y = std::fabs(y);
  // Before any NaN handling: an infinite argument wins over a NaN partner.
  const T inf = tools::infinity<T>();
  if (x == inf || y == inf) return policies::on_overflow_error<T>(function, nullptr, pol);
  // Larger magnitude into x.  With a NaN the comparison is false and the
  // NaN travels on to give a NaN below, errno untouched.
  detail::swap_if_greater(x, y);
  // y too small to change x: 1 + r*r would round to 1.  Equality included.
  // Also catches two zeros, before the division by x.
  if (x * tools::machine_epsilon<T>() >= y) return x;
  const T r = y / x;
  const T h = x * std::sqrt(T(1) + r * r);
  // Both arguments are finite here (and a NaN gives a NaN), so an infinite
  // result is an overflow of the true value beyond the largest finite one.
  if (isinf(h)) return policies::on_overflow_error<T>(function, nullptr, pol);
  return h;
}

}  // namespace varnel::math

#endif
