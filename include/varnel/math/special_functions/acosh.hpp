// Inverse hyperbolic cosine.  One binary64 routine for every precision:
// float members widen, long double members are mapped to binary64 by their
// exports.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_ACOSH_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_ACOSH_HPP

#include <cmath>
#include <type_traits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/policies/narrow_result.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/log1p.hpp>
#include <varnel/math/constants.hpp>
#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math {
namespace detail {

// The arithmetic of the ranges below, over the value type V: double here,
// and the packs of the batch library, whose kernel runs these very steps
// on its lanes (sqrt found by argument-dependent lookup for a pack).

// Next to the branch point, y = x - 1: sqrt(2y)(1 - y/12 + 3y^2/160).
template <class V> inline V acosh_near_branch(V y) noexcept {
  using std::sqrt;
  return sqrt(2 * y) * ((1 - y / 12) + ((3 * y) * y) / 160);
}

// The argument of log1p from 1 + 2^-26 to 1.5, y = x - 1: y + sqrt(y^2 + 2y).
template <class V> inline V acosh_log1p_argument(V y) noexcept {
  using std::sqrt;
  return y + sqrt((y * y) + (2 * y));
}

// The argument of log from 1.5 to 2^26: x + sqrt(x^2 - 1).
template <class V> inline V acosh_log_argument(V x) noexcept {
  using std::sqrt;
  return x + sqrt((x * x) - 1);
}

template <class Policy> inline double acosh_eval(double x, const Policy& pol) noexcept {
  // -infinity included; a NaN is rejected with the same message.
  if (x < 1 || isnan(x)) {
    return policies::on_domain_error<double>("varnel::math::acosh<%1%>(%1%)", "acosh requires x >= 1, but got x = %1%.",
                                             x, pol);
  }
  // Next to the branch point, x - 1 < 2^-26: sqrt(2y)(1 - y/12 + 3y^2/160).
  // x - 1 is exact here; the series keeps the square root's relative
  // accuracy where x*x - 1 would cancel.
  if (x - 1 < tools::root_epsilon<double>()) return acosh_near_branch(x - 1);
  // x > 2^26: x*x - 1 is x*x to working precision, so
  // acosh(x) = log(2x) = log(x) + ln 2, which never squares x (and carries
  // +infinity through to narrow_result's overflow report).
  if (x > 1 / tools::root_epsilon<double>()) {
    return elementary::log(x) + constants::ln2<double>();
  }
  // 1 + 2^-26 <= x < 1.5: log1p of the small y + sqrt(y^2 + 2y), y = x - 1
  // exact, instead of the log of a value near 1.
  if (x < 1.5) return varnel::math::log1p(acosh_log1p_argument(x - 1), pol);
  return elementary::log(acosh_log_argument(x));
}

}  // namespace detail

// T is float or double: float arguments widen exactly and the binary64
// result is narrowed with the float limits.
template <class T, class Policy> inline T acosh(T x, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "computes in binary64");
  return policies::narrow_result<T>(detail::acosh_eval(static_cast<double>(x), pol), "varnel::math::acosh<%1%>(%1%)",
                                    pol);
}

}  // namespace varnel::math

#endif
