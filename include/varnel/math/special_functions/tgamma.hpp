// tgamma: the gamma function Gamma(x), evaluated in binary64 by the gamma
// unit (gamma.hpp) and narrowed to the type of the export.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_TGAMMA_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_TGAMMA_HPP

#include <type_traits>

#include <varnel/math/policies/narrow_result.hpp>
#include <varnel/math/special_functions/gamma.hpp>

namespace varnel::math {

// Family entry: Gamma(x) in binary64, narrowed to T (float or double).
// long double callers map to double first.
template <class T, class Policy> inline T tgamma(T x, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "computes in binary64");
  return policies::narrow_result<T>(detail::tgamma_eval(static_cast<double>(x), pol), detail::tgamma_function, pol);
}

}  // namespace varnel::math

#endif
