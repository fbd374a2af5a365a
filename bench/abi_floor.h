/* The platform's double functions behind long double signatures: each
   converts its long double arguments to double, calls the platform's double
   function of the same name and widens the result.  Built into a shared
   library of its own and called through the PLT, like the exports, they
   show what the long double calling convention alone adds to a double
   computation (arguments in memory, the result on the x87 stack), next to
   the long double members of this library, which map to binary64 the
   same way. */
#ifndef VARNEL_BENCH_ABI_FLOOR_H
#define VARNEL_BENCH_ABI_FLOOR_H

/* Every function of the catalogue is wrapped; X(name, shape, road) of
   VARNEL_CATALOGUE_FUNCTIONS is applied to every entry.  nexttoward keeps y
   a long double, as it is in every precision. */
#include "catalogue.generated.h"

#define VARNEL_BENCH_SIGNATURE_unary(name) long double varnel_bench_##name##_via_double(long double x)
#define VARNEL_BENCH_SIGNATURE_binary(name) long double varnel_bench_##name##_via_double(long double x, long double y)
#define VARNEL_BENCH_SIGNATURE_toward(name) VARNEL_BENCH_SIGNATURE_binary(name)
#define VARNEL_BENCH_SIGNATURE_to_long(name) long varnel_bench_##name##_via_double(long double x)
#define VARNEL_BENCH_SIGNATURE_to_llong(name) long long varnel_bench_##name##_via_double(long double x)

#ifdef __cplusplus
extern "C" {
#endif

#define VARNEL_BENCH_DECLARE(name, shape, road) VARNEL_BENCH_SIGNATURE_##shape(name);
VARNEL_CATALOGUE_FUNCTIONS(VARNEL_BENCH_DECLARE)
#undef VARNEL_BENCH_DECLARE

#ifdef __cplusplus
}
#endif

#endif
