// erfc: the complementary error function 1 - erf(x), from the evaluation
// routine it shares with erf (erf.hpp).  For x >= 0.5 that routine
// approximates erfc directly, so erfc keeps its relative accuracy in its
// tail, down to the subnormal range near x = 27.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_ERFC_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_ERFC_HPP

#include <type_traits>

#include <varnel/math/policies/narrow_result.hpp>
#include <varnel/math/special_functions/erf.hpp>

namespace varnel::math {

// T is float or double, as for erf.
template <class T, class Policy> inline T erfc(T x, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "computes in binary64");
  return policies::narrow_result<T>(detail::erf_or_erfc(static_cast<double>(x), true, pol),
                                    "varnel::math::erfc<%1%>(%1%, %1%)", pol);
}

}  // namespace varnel::math

#endif
