// Inverse hyperbolic tangent.  One binary64 routine for every precision:
// float members widen, long double members are mapped to binary64 by their
// exports.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_ATANH_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_ATANH_HPP

#include <cmath>
#include <type_traits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/policies/narrow_result.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/log1p.hpp>
#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math {
namespace detail {

// The arithmetic of the ranges below, over the value type V: double here,
// and the packs of the batch library, whose kernel runs these very steps
// on its lanes.

// 2^-13 <= |x| < 0.5, from log1p(x) and log1p(-x): their difference halved.
template <class V> inline V atanh_log1p_halves(V log1p_x, V log1p_minus_x) noexcept {
  return (log1p_x - log1p_minus_x) / 2;
}

// The argument of log from 0.5 on: (1 + x)/(1 - x).
template <class V> inline V atanh_quotient(V x) noexcept { return (1 + x) / (1 - x); }

template <class Policy> inline double atanh_eval(double x, const Policy& pol) noexcept {
  constexpr const char* function = "varnel::math::atanh<%1%>(%1%)";
  // Each side of the domain, and a NaN, has a message of its own.
  if (x < -1) {
    return policies::on_domain_error<double>(function, "atanh requires x >= -1, but got x = %1%.", x, pol);
  }
  if (x > 1) {
    return policies::on_domain_error<double>(function, "atanh requires x <= 1, but got x = %1%.", x, pol);
  }
  if (isnan(x)) {
    return policies::on_domain_error<double>(function, "atanh requires -1 <= x <= 1, but got x = %1%.", x, pol);
  }
  // The poles are exactly +-1.  Their neighbours +-(1 - 2^-53) are finite
  // (about +-18.71) and take the log form below: 1 - x is exact there.
  if (x == -1) return -policies::on_overflow_error<double>(function, nullptr, pol);
  if (x == 1) return policies::on_overflow_error<double>(function, nullptr, pol);

  const double a = std::fabs(x);
  if (a >= tools::fourth_root_epsilon<double>()) {
    // 2^-13 <= |x| < 0.5: the difference of two log1p keeps the digits that
    // the quotient (1 + x)/(1 - x), close to 1 here, would round away.
    if (a < 0.5) {
      const double log1p_x = varnel::math::log1p(x, pol);
      return atanh_log1p_halves(log1p_x, varnel::math::log1p(-x, pol));
    }
    return elementary::log(atanh_quotient(x)) / 2;
  }
  // |x| < 2^-13: x + x^3/3, whose next term x^5/5 is below half an ulp.
  // Below 2^-26 even x^3/3 is, and x itself comes back (zeros keep their
  // sign).
  if (a >= tools::root_epsilon<double>()) {
    return x + ((x * x) * x) / 3;
  }
  return x;
}

}  // namespace detail

// T is float or double: float arguments widen exactly and the binary64
// result is narrowed with the float limits.  The poles come back infinite
// and are reported a second time by narrow_result, with the same errno.
template <class T, class Policy> inline T atanh(T x, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "computes in binary64");
  return policies::narrow_result<T>(detail::atanh_eval(static_cast<double>(x), pol), "varnel::math::atanh<%1%>(%1%)",
                                    pol);
}

}  // namespace varnel::math

#endif
