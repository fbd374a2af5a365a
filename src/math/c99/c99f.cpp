// Exports of varnel_math_c99f: float members.  Families that widen run at
// double and narrow their result to float; the rest compute in float.
#include <varnel/math/c99.h>
#include <varnel/math/tr1.hpp>
#include "../families.hpp"
#include <varnel/math/policies/narrow_result.hpp>

#include "trunc_instruction.hpp"

namespace vm = varnel::math;
using varnel::math::policies::errno_policy;

extern "C" {

// Widened: the binary64 root, rounded to float without a range check.
float varnel_cbrtf(float x) { return vm::cbrt(x, errno_policy()); }

// Widened: the binary64 routine runs, the result is narrowed to float.
float varnel_acoshf(float x) { return vm::acosh(x, errno_policy()); }
float varnel_asinhf(float x) { return vm::asinh(x, errno_policy()); }
float varnel_atanhf(float x) { return vm::atanh(x, errno_policy()); }

float varnel_copysignf(float x, float y) { return vm::copysign(x, y); }

float varnel_erff(float x) { return vm::erf(x, errno_policy()); }
float varnel_erfcf(float x) { return vm::erfc(x, errno_policy()); }

float varnel_expm1f(float x) { return vm::expm1(x); }

// Computed in float throughout, no widening.
float varnel_fmaxf(float x, float y) { return vm::fmax(x, y); }
float varnel_fminf(float x, float y) { return vm::fmin(x, y); }
float varnel_hypotf(float x, float y) { return vm::hypot(x, y, errno_policy()); }

float varnel_lgammaf(float x) { return vm::lgamma(x, errno_policy()); }

float varnel_log1pf(float x) { return vm::log1p(x, errno_policy()); }

// Stepped in float: one binary32 spacing.  nexttowardf takes its direction
// from the exact long double y and steps exactly as nextafterf.
float varnel_nextafterf(float x, float y) { return vm::nextafter(x, y, errno_policy()); }
float varnel_nexttowardf(float x, long double y) { return vm::nexttoward(x, y, errno_policy()); }

float varnel_roundf(float x) { return vm::round(x, errno_policy()); }
// One rounding instruction where the processor has SSE4.1, chosen when the
// export is bound; the family everywhere else.  The selector has external
// linkage (hidden, never exported) because the indirect function names it
// by its symbol.
#if VARNEL_TRUNC_BY_INSTRUCTION
VARNEL_TRUNC_UNINSTRUMENTED vm::exports::unary_t<float> varnel_truncf_select() {
  return vm::exports::select_trunc<float>();
}
float varnel_truncf(float x) __attribute__((ifunc("varnel_truncf_select")));
#else
float varnel_truncf(float x) { return vm::exports::trunc_portable(x); }
#endif
long varnel_lroundf(float x) { return vm::lround(x, errno_policy()); }
long long varnel_llroundf(float x) { return vm::llround(x, errno_policy()); }

float varnel_tgammaf(float x) { return vm::tgamma(x, errno_policy()); }

}  // extern "C"

namespace varnel::math::tr1 {
template int fpclassify<float>(float);
template bool isfinite<float>(float);
template bool isinf<float>(float);
template bool isnan<float>(float);
template bool isnormal<float>(float);
template bool signbit<float>(float);
}  // namespace varnel::math::tr1
