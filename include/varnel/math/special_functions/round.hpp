// round: the nearest integral value, halfway cases away from zero.
//
// The result is that of the platform's floor and ceil on the signed value,
// formed without their calls and without a branch on the sign, which
// arguments of random sign would mispredict half the time: below 2^52 the
// rounded value is read as an integer from the bit pattern
// (tools::round_to_integer).
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_ROUND_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_ROUND_HPP

#include <cmath>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/detail/rounding.hpp>
#include <varnel/math/tools/bits.hpp>

namespace varnel::math {

// Every rounding family computes in binary32 or binary64; long double
// callers map to double first.

// Nearest integral value, halfway cases away from zero.  Never adds 0.5 to
// x (0.49999999999999994 + 0.5 rounds to 1): the integral part of |x| is
// taken, and one is added when the fraction is one half or more (its first
// bit is set).  That is the value farther from zero of ceil and floor
// exactly when it lies at most one half away, as the definition asks; the
// fraction is read exactly, so no halfway case is misjudged.
template <class T, class Policy> inline T round(T x, const Policy& pol) noexcept {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary32 or binary64");
  // Below 2^52 (2^23), the common case, the rounded value as an integer,
  // converted back exactly.  |x| < 0.5 gives the integer 0 and so +0, as
  // wanted for every such x, -0 and negative x included.
  if (detail::integer_rounding_applies(x)) return static_cast<T>(tools::round_to_integer(x));
  // NaN and infinities: no integral value to give.  +max_value for x > 0,
  // -max_value otherwise, so a NaN gives -max_value.
  if (!isfinite(x)) {
    return policies::on_rounding_error("varnel::math::round<%1%>(%1%)", nullptr, x, T(0), pol);
  }
  return x;  // |x| >= 2^52 (2^23): integral already
}

}  // namespace varnel::math

#endif
