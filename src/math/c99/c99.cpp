// Exports of varnel_math_c99: double members.  Each export binds the error
// policy and calls its family entry; no logic lives here.
#include <varnel/math/c99.h>
#include <varnel/math/tr1.hpp>
#include "../families.hpp"

#include "trunc_instruction.hpp"

namespace vm = varnel::math;
using varnel::math::policies::errno_policy;

extern "C" {

double varnel_cbrt(double x) { return vm::cbrt(x, errno_policy()); }

double varnel_acosh(double x) { return vm::acosh(x, errno_policy()); }
double varnel_asinh(double x) { return vm::asinh(x, errno_policy()); }
double varnel_atanh(double x) { return vm::atanh(x, errno_policy()); }

double varnel_copysign(double x, double y) { return vm::copysign(x, y); }

double varnel_erf(double x) { return vm::erf(x, errno_policy()); }
double varnel_erfc(double x) { return vm::erfc(x, errno_policy()); }

double varnel_expm1(double x) { return vm::expm1(x); }

double varnel_fmax(double x, double y) { return vm::fmax(x, y); }
double varnel_fmin(double x, double y) { return vm::fmin(x, y); }
double varnel_hypot(double x, double y) { return vm::hypot(x, y, errno_policy()); }

double varnel_lgamma(double x) { return vm::lgamma(x, errno_policy()); }

double varnel_log1p(double x) { return vm::log1p(x, errno_policy()); }

double varnel_nextafter(double x, double y) { return vm::nextafter(x, y, errno_policy()); }
// The direction compares x with the exact long double y; the step is one
// binary64 spacing.
double varnel_nexttoward(double x, long double y) { return vm::nexttoward(x, y, errno_policy()); }

double varnel_round(double x) { return vm::round(x, errno_policy()); }
// One rounding instruction where the processor has SSE4.1, chosen when the
// export is bound; the family everywhere else.  The selector has external
// linkage (hidden, never exported) because the indirect function names it
// by its symbol.
#if VARNEL_TRUNC_BY_INSTRUCTION
VARNEL_TRUNC_UNINSTRUMENTED vm::exports::unary_t<double> varnel_trunc_select() {
  return vm::exports::select_trunc<double>();
}
double varnel_trunc(double x) __attribute__((ifunc("varnel_trunc_select")));
#else
double varnel_trunc(double x) { return vm::exports::trunc_portable(x); }
#endif
long varnel_lround(double x) { return vm::lround(x, errno_policy()); }
long long varnel_llround(double x) { return vm::llround(x, errno_policy()); }

double varnel_tgamma(double x) { return vm::tgamma(x, errno_policy()); }

}  // extern "C"

namespace varnel::math::tr1 {
template int fpclassify<double>(double);
template bool isfinite<double>(double);
template bool isinf<double>(double);
template bool isnan<double>(double);
template bool isnormal<double>(double);
template bool signbit<double>(double);
}  // namespace varnel::math::tr1
