// Inverse hyperbolic sine.  One binary64 routine for every precision:
// float members widen, long double members are mapped to binary64 by their
// exports.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_ASINH_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_ASINH_HPP

#include <cmath>
#include <type_traits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/policies/narrow_result.hpp>
#include <varnel/math/special_functions/expm1.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/copysign.hpp>
#include <varnel/math/special_functions/log1p.hpp>
#include <varnel/math/constants.hpp>
#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math {

// Declared ahead: negative arguments re-enter the family entry.
template <class T, class Policy> inline T asinh(T x, const Policy& pol) noexcept;

namespace detail {

// The arithmetic of the ranges below, over the value type V: double here,
// and the packs of the batch library, whose kernel runs these very steps
// on its lanes (sqrt found by argument-dependent lookup for a pack).

// a > 2^26, from log a: log(2a) + 1/(4a^2).
template <class V> inline V asinh_huge(V log_a, V a) noexcept {
  return (constants::ln2<double>() + log_a) + 1 / ((4 * a) * a);
}

// The argument of log from 0.5 to 2^26: a + sqrt(a^2 + 1).
template <class V> inline V asinh_log_argument(V a) noexcept {
  using std::sqrt;
  return a + sqrt((a * a) + 1);
}

// sqrt(1 + y) - 1 without the cancellation of the direct form for small y:
// sqrt(1 + y) = exp(log1p(y)/2), so the difference is expm1(log1p(y)/2).
// Away from zero the direct form loses nothing and costs less.
template <class Policy> inline double sqrt_one_plus_minus_one(double y, const Policy& pol) noexcept {
  if (std::fabs(y) > 0.75) return std::sqrt(1 + y) - 1;
  return varnel::math::expm1(varnel::math::log1p(y, pol) / 2);
}

template <class Policy> inline double asinh_eval(double x, const Policy& pol) noexcept {
  // Only a NaN is rejected; the infinities run through the huge-argument
  // form and come back infinite, for narrow_result to report.
  if (isnan(x)) {
    return policies::on_domain_error<double>("varnel::math::asinh<%1%>(%1%)",
                                             "asinh requires a finite argument, but got x = %1%.", x, pol);
  }
  // x <= -2^-13: asinh is odd, and the value is minus the one at -x, range
  // checks included.  For a finite x that check has nothing to report
  // (asinh(-x) lies between 2^-13 and 710), so the sign is simply put on
  // the positive value below, without a branch on the sign that arguments
  // of random sign would mispredict.  -infinity alone goes back through the
  // family entry, whose overflow report comes before the caller's own.
  if (x == -tools::infinity<double>()) return -varnel::math::asinh(-x, pol);
  const double a = std::fabs(x);
  if (a >= tools::fourth_root_epsilon<double>()) {
    double r;
    if (a > 1 / tools::root_epsilon<double>()) {
      // a > 2^26: log(2a) + 1/(4a^2), the first terms of the expansion at
      // infinity; a is never squared on its own.
      r = asinh_huge(elementary::log(a), a);
    } else if (a < 0.5) {
      // 2^-13 <= a < 0.5: a + sqrt(1 + a^2) - 1 is small, and log1p of it
      // keeps the digits that log(a + sqrt(a^2 + 1)) would lose near 1.
      r = varnel::math::log1p(a + sqrt_one_plus_minus_one(a * a, pol), pol);
    } else {
      r = elementary::log(asinh_log_argument(a));
    }
    return varnel::math::copysign(r, x);
  }
  // |x| < 2^-13: x - x^3/6, whose next term x^5*3/40 is below half an ulp.
  // Below 2^-26 even x^3/6 is, and x itself comes back (zeros keep their
  // sign).
  if (std::fabs(x) >= tools::root_epsilon<double>()) {
    return x - ((x * x) * x) / 6;
  }
  return x;
}

}  // namespace detail

// T is float or double: float arguments widen exactly and the binary64
// result is narrowed with the float limits.
template <class T, class Policy> inline T asinh(T x, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "computes in binary64");
  return policies::narrow_result<T>(detail::asinh_eval(static_cast<double>(x), pol), "varnel::math::asinh<%1%>(%1%)",
                                    pol);
}

}  // namespace varnel::math

#endif
