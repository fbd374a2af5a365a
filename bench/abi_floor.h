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

#ifdef __cplusplus
extern "C" {
#endif

#define VARNEL_BENCH_UNARY(name) long double varnel_bench_##name##_via_double(long double x);
#define VARNEL_BENCH_BINARY(name) long double varnel_bench_##name##_via_double(long double x, long double y);
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
long long varnel_bench_llround_via_double(long double x);
VARNEL_BENCH_UNARY(log1p)
long varnel_bench_lround_via_double(long double x);
VARNEL_BENCH_BINARY(nextafter)
VARNEL_BENCH_BINARY(nexttoward)
VARNEL_BENCH_UNARY(round)
VARNEL_BENCH_UNARY(tgamma)
VARNEL_BENCH_UNARY(trunc)
#undef VARNEL_BENCH_UNARY
#undef VARNEL_BENCH_BINARY

#ifdef __cplusplus
}
#endif

#endif
