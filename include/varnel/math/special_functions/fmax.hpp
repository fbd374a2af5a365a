// fmax: the larger of two values, a NaN counting as a missing value.  It
// computes in the type of its arguments, also natively in long double,
// since the result is always one of the two arguments bit for bit.  No
// policy: every input has a defined result.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_FMAX_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_FMAX_HPP

#include <varnel/math/special_functions/classification.hpp>

namespace varnel::math {

// The NaN tests read the bit patterns, so a NaN of either kind is passed on
// untouched; of two NaNs y comes back.  Ties return x: fmax(+0, -0) is +0
// and fmax(-0, +0) is -0.
template <class T> inline T fmax(T x, T y) noexcept {
  if (isnan(x)) return y;
  if (isnan(y)) return x;
  return y > x ? y : x;
}

}  // namespace varnel::math

#endif
