// nexttoward: the neighbour of x in the direction of a long double y.  The
// direction comes from comparing x with the exact y, so a y strictly
// between x and its neighbour still counts; the step is one spacing of T,
// as nextafter takes it (nextafter.hpp).
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_NEXTTOWARD_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_NEXTTOWARD_HPP

#include <varnel/math/special_functions/nextafter.hpp>

namespace varnel::math {

template <class T, class Policy> inline T nexttoward(T x, long double y, const Policy& pol) {
  return step_toward(x, y, pol);
}

}  // namespace varnel::math

#endif
