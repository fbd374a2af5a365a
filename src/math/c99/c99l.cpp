// Exports of varnel_math_c99l: long double members.  Every family computes
// in binary64: arguments are mapped to double (tools::to_binary64: the
// value itself where long double is binary64, round to nearest from the x87
// format), the double computation runs exactly as in varnel_math_c99, and
// the result is widened (exactly).  Operations that are exact on the value
// itself (classification, copysign, fmax, fmin) work on the native long
// double instead.
#include <varnel/math/c99.h>
#include <varnel/math/tr1.hpp>
#include "../families.hpp"
#include <varnel/math/tools/layouts.hpp>

namespace vm = varnel::math;
using varnel::math::policies::errno_policy;

namespace {
using varnel::math::tools::to_binary64;

// nextafterl and nexttowardl: both arguments mapped to binary64, one
// binary64 step, the result widened.
long double next_binary64(long double x, long double y) {
  return vm::nextafter(to_binary64(x), to_binary64(y), errno_policy());
}
}  // namespace

extern "C" {

long double varnel_cbrtl(long double x) { return vm::cbrt(to_binary64(x), errno_policy()); }

long double varnel_acoshl(long double x) { return vm::acosh(to_binary64(x), errno_policy()); }
long double varnel_asinhl(long double x) { return vm::asinh(to_binary64(x), errno_policy()); }
long double varnel_atanhl(long double x) { return vm::atanh(to_binary64(x), errno_policy()); }

long double varnel_copysignl(long double x, long double y) { return vm::copysign(x, y); }

long double varnel_erfl(long double x) { return vm::erf(to_binary64(x), errno_policy()); }
long double varnel_erfcl(long double x) { return vm::erfc(to_binary64(x), errno_policy()); }

long double varnel_expm1l(long double x) { return vm::expm1(to_binary64(x)); }

// Native: the result is one of the arguments, bit for bit.
long double varnel_fmaxl(long double x, long double y) { return vm::fmax(x, y); }
long double varnel_fminl(long double x, long double y) { return vm::fmin(x, y); }
long double varnel_hypotl(long double x, long double y) {
  return vm::hypot(to_binary64(x), to_binary64(y), errno_policy());
}

long double varnel_lgammal(long double x) { return vm::lgamma(to_binary64(x), errno_policy()); }

long double varnel_log1pl(long double x) { return vm::log1p(to_binary64(x), errno_policy()); }

long double varnel_nextafterl(long double x, long double y) { return next_binary64(x, y); }
long double varnel_nexttowardl(long double x, long double y) { return next_binary64(x, y); }

long double varnel_roundl(long double x) { return vm::round(to_binary64(x), errno_policy()); }
long double varnel_truncl(long double x) { return vm::trunc(to_binary64(x), errno_policy()); }
long varnel_lroundl(long double x) { return vm::lround(to_binary64(x), errno_policy()); }
long long varnel_llroundl(long double x) { return vm::llround(to_binary64(x), errno_policy()); }

long double varnel_tgammal(long double x) { return vm::tgamma(to_binary64(x), errno_policy()); }

}  // extern "C"

namespace varnel::math::tr1 {
template int fpclassify<long double>(long double);
template bool isfinite<long double>(long double);
template bool isinf<long double>(long double);
template bool isnan<long double>(long double);
template bool isnormal<long double>(long double);
template bool signbit<long double>(long double);
}  // namespace varnel::math::tr1
