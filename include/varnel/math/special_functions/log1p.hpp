// ln(1 + x): the log1p of the working precision (elementary/elementary.hpp: the
// platform's, or the library's own in the portable build) behind the
// argument checks against -1.  The inverse hyperbolic functions call the
// double instance with their own policy; e^x - 1 beside it is in expm1.hpp.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_LOG1P_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_LOG1P_HPP

#include <cmath>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/elementary/elementary.hpp>

namespace varnel::math {

// Instantiated at float (log1pf, comparing with -1.0f) and double (log1p).
// Every long double computation runs in binary64: callers map to double.
template <class T, class Policy> inline T log1p(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  // Below -1, -infinity included; false for a NaN, which the platform
  // function answers on its own.
  if (x < T(-1)) {
    return policies::on_domain_error("log1p<%1%>(%1%)", "log1p(x) requires x > -1, but got x = %1%.", x, pol);
  }
  // The pole: ln(0) overflows downward.
  if (x == T(-1)) return -policies::on_overflow_error<T>("log1p<%1%>(%1%)", nullptr, pol);
  // Result and errno of the platform function stand, NaN and +infinity too.
  return elementary::log1p(x);
}

}  // namespace varnel::math

#endif
