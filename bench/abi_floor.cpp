// See abi_floor.h.  Compiled with -fno-builtin, so that each body is a real
// call of the platform's function and not an instruction put in its place.
#include "abi_floor.h"

#include <math.h>

#define VARNEL_BENCH_UNARY(name) \
  long double varnel_bench_##name##_via_double(long double x) { return ::name(static_cast<double>(x)); }
#define VARNEL_BENCH_BINARY(name)                                                \
  long double varnel_bench_##name##_via_double(long double x, long double y) {   \
    return ::name(static_cast<double>(x), static_cast<double>(y));               \
  }

extern "C" {
VARNEL_BENCH_UNARY(acosh)
VARNEL_BENCH_UNARY(asinh)
VARNEL_BENCH_UNARY(atanh)
VARNEL_BENCH_UNARY(cbrt)
VARNEL_BENCH_BINARY(copysign)
VARNEL_BENCH_UNARY(erf)
VARNEL_BENCH_UNARY(erfc)
VARNEL_BENCH_UNARY(expm1)
VARNEL_BENCH_BINARY(fmax)
VARNEL_BENCH_BINARY(fmin)
VARNEL_BENCH_BINARY(hypot)
VARNEL_BENCH_UNARY(lgamma)
long long varnel_bench_llround_via_double(long double x) { return ::llround(static_cast<double>(x)); }
VARNEL_BENCH_UNARY(log1p)
long varnel_bench_lround_via_double(long double x) { return ::lround(static_cast<double>(x)); }
VARNEL_BENCH_BINARY(nextafter)
// y stays long double: nexttoward takes it so in every precision.
long double varnel_bench_nexttoward_via_double(long double x, long double y) {
  return ::nexttoward(static_cast<double>(x), y);
}
VARNEL_BENCH_UNARY(round)
VARNEL_BENCH_UNARY(tgamma)
VARNEL_BENCH_UNARY(trunc)
}
