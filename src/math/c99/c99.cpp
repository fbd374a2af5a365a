// Exports of varnel_math_c99: double members.  Each export binds the error
// policy and calls its family entry; no logic lives here.
#include <varnel/math/c99.h>
#include <varnel/math/tr1.hpp>
#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/special_functions/expm1.hpp>
#include <varnel/math/special_functions/fpclassify.hpp>

namespace vm = varnel::math;
using varnel::math::policies::errno_policy;

extern "C" {

double varnel_copysign(double x, double y) { return vm::copysign(x, y); }

double varnel_expm1(double x) { return vm::expm1(x); }

}  // extern "C"

namespace varnel::math::tr1 {
template int fpclassify<double>(double);
template bool isfinite<double>(double);
template bool isinf<double>(double);
template bool isnan<double>(double);
template bool isnormal<double>(double);
template bool signbit<double>(double);
}  // namespace varnel::math::tr1
