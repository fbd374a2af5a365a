// trunc: the integral part, and itrunc, the same converted to int under a
// range check (the gamma function turns integral arguments into table
// indices with it).
//
// The integral part of the magnitude (tools::truncate_magnitude, exactly
// the floor of |x|) with the sign put back: the result of the platform's
// floor or ceil on the signed value, without their calls and without a
// branch on the sign.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_TRUNC_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_TRUNC_HPP

#include <cmath>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/copysign.hpp>
#include <varnel/math/special_functions/detail/rounding.hpp>
#include <varnel/math/tools/bits.hpp>

namespace varnel::math {

// Integral part: the floor of a non-negative x, the ceil of a negative one.
// -0 stays -0; a negative x above -1 gives -0.
template <class T, class Policy> inline T trunc(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  if (!isfinite(x)) {
    return policies::on_rounding_error("varnel::math::trunc<%1%>(%1%)", nullptr, x, T(0), pol);
  }
  return varnel::math::copysign(tools::truncate_magnitude(std::fabs(x)), x);
}

// trunc, then the range check for int; turns an integral argument into a
// table index.
template <class T, class Policy> inline int itrunc(T x, const Policy& pol) noexcept {
  const T r = varnel::math::trunc(x, pol);
  return detail::checked_integer<int>(r, x, "varnel::math::itrunc<%1%>(%1%)", pol);
}

}  // namespace varnel::math

#endif
