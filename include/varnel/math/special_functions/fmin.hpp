// fmin: the smaller of two values, a NaN counting as a missing value; the
// mirror of fmax (fmax.hpp), with the same treatment of NaNs and ties.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_FMIN_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_FMIN_HPP

#include <varnel/math/special_functions/classification.hpp>

namespace varnel::math {

// Of two NaNs y comes back; ties return x: fmin(+0, -0) is +0 and
// fmin(-0, +0) is -0.
template <class T> inline T fmin(T x, T y) noexcept {
  if (isnan(x)) return y;
  if (isnan(y)) return x;
  return x > y ? y : x;
}

}  // namespace varnel::math

#endif
