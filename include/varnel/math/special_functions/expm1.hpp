// e^x - 1: the platform function of the working precision, nothing added.
// Whatever it returns and stores into errno stands.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_EXPM1_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_EXPM1_HPP

#include <cmath>

namespace varnel::math {

// Instantiated at float (expm1f) and double (expm1).  Every long double
// computation of the libraries runs in binary64, so there is no long double
// instance: callers map to double first.
template <class T>
inline T expm1(T x) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  return std::expm1(x);
}

}  // namespace varnel::math

#endif
