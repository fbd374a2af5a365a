// copysign: x with the sign bit of y.  Every input has a defined result; no
// policy, no errno.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_COPYSIGN_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_COPYSIGN_HPP

#include <varnel/math/tools/bits.hpp>

namespace varnel::math {

// x with the sign bit of y.  When the signs already agree x comes back
// untouched, NaN payload included; the sign of y is its sign bit, so -0 and
// a negative NaN count as negative.  Formed by masks rather than by a test
// of the two signs: the same bits, without a branch that random signs
// would mispredict half the time.
template <class T> inline T copysign(T x, T y) noexcept { return tools::with_sign_of(x, y); }

}  // namespace varnel::math

#endif
