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

template <class Policy> inline double acosh_eval(double x, const Policy& pol) noexcept {
  // -infinity included; a NaN is rejected with the same message.
  if (x < 1 || isnan(x)) {
    return policies::on_domain_error<double>("varnel::math::acosh<%1%>(%1%)", "acosh requires x >= 1, but got x = %1%.",
                                             x, pol);
  }
  // Next to the branch point, x - 1 < 2^-26: sqrt(2y)(1 - y/12 + 3y^2/160).
  // x - 1 is exact here; the series keeps the square root's relative
  // accuracy where x*x - 1 would cancel.
  if (x - 1 < tools::root_epsilon<double>()) {
    const double y = x - 1;
    return std::sqrt(2 * y) * ((1 - y / 12) + ((3 * y) * y) / 160);
  }
  // x > 2^26: x*x - 1 is x*x to working precision, so
  // acosh(x) = log(2x) = log(x) + ln 2, which never squares x (and carries
  // +infinity through to narrow_result's overflow report).
  if (x > 1 / tools::root_epsilon<double>()) {
    return elementary::log(x) + constants::ln2<double>();
  }
  // 1 + 2^-26 <= x < 1.5: log1p of the small y + sqrt(y^2 + 2y), y = x - 1
  // exact, instead of the log of a value near 1.
  if (x < 1.5) {
    const double y = x - 1;
    return varnel::math::log1p(y + std::sqrt((y * y) + (2 * y)), pol);
  }
  return elementary::log(x + std::sqrt((x * x) - 1));
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
