// e^x - 1: the expm1 of the working precision (elementary/elementary.hpp: the
// platform's, or the library's own in the portable build), nothing added.
// Whatever it returns and stores into errno stands.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_EXPM1_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_EXPM1_HPP

#include <varnel/math/elementary/elementary.hpp>

namespace varnel::math {

// Instantiated at float (expm1f) and double (expm1).  Every long double
// computation of the libraries runs in binary64, so there is no long double
// instance: callers map to double first.
template <class T> inline T expm1(T x) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  return elementary::expm1(x);
}

}  // namespace varnel::math

#endif
