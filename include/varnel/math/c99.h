/* Varnel math: the C interface of the three math libraries.
 *
 *   varnel_math_c99   double members      (link -lvarnel_math_c99)
 *   varnel_math_c99f  float members       (link -lvarnel_math_c99f)
 *   varnel_math_c99l  long double members (link -lvarnel_math_c99l)
 *
 * Errors are reported the C way: errno is set to EDOM or ERANGE and a
 * defined value is returned.  No function reads or clears errno; set it to
 * 0 before a call to detect an error.  Usable from C99 and C++. */
#ifndef VARNEL_MATH_C99_H
#define VARNEL_MATH_C99_H

/* VARNEL_MATH_API and VARNEL_MATH_LONG_DOUBLE, the long double of the
   interface: the long-double library's arguments and results, and the y of
   every nexttoward.  The libraries take the platform's long double (the
   x87 extended format on x86-64 Linux, binary128 on AArch64 and s390x
   Linux, binary64 on Windows, as a program built by MSVC has it); a Windows compiler whose own long double is wider
   sees double in its place (see config.h). */
#include <varnel/math/config.h>

#ifdef __cplusplus
extern "C" {
#endif

/* cube root; a NaN gives EDOM, zeros and infinities come back unchanged */
VARNEL_MATH_API double varnel_cbrt(double x);
VARNEL_MATH_API float varnel_cbrtf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_cbrtl(VARNEL_MATH_LONG_DOUBLE x);

/* inverse hyperbolic functions; an argument outside the domain (acosh
   below 1, atanh beyond [-1, 1]) or a NaN gives EDOM and a quiet NaN; an
   infinite result (atanh(+-1), acosh(+inf), asinh(+-inf)) and a nonzero
   result below the smallest normal value of the type give ERANGE */
VARNEL_MATH_API double varnel_acosh(double x);
VARNEL_MATH_API float varnel_acoshf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_acoshl(VARNEL_MATH_LONG_DOUBLE x);
VARNEL_MATH_API double varnel_asinh(double x);
VARNEL_MATH_API float varnel_asinhf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_asinhl(VARNEL_MATH_LONG_DOUBLE x);
VARNEL_MATH_API double varnel_atanh(double x);
VARNEL_MATH_API float varnel_atanhf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_atanhl(VARNEL_MATH_LONG_DOUBLE x);

/* sign */
VARNEL_MATH_API double varnel_copysign(double x, double y);
VARNEL_MATH_API float varnel_copysignf(float x, float y);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_copysignl(VARNEL_MATH_LONG_DOUBLE x, VARNEL_MATH_LONG_DOUBLE y);

/* error function and its complement; a NaN gives EDOM, a nonzero result
   below the smallest normal value of the type (erf of a tiny x, erfc of a
   large one) ERANGE with the subnormal or zero result */
VARNEL_MATH_API double varnel_erf(double x);
VARNEL_MATH_API float varnel_erff(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_erfl(VARNEL_MATH_LONG_DOUBLE x);
VARNEL_MATH_API double varnel_erfc(double x);
VARNEL_MATH_API float varnel_erfcf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_erfcl(VARNEL_MATH_LONG_DOUBLE x);

/* e^x - 1 (the platform's, unchanged) */
VARNEL_MATH_API double varnel_expm1(double x);
VARNEL_MATH_API float varnel_expm1f(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_expm1l(VARNEL_MATH_LONG_DOUBLE x);

/* larger and smaller value, a NaN counting as missing; one argument is
   returned bit for bit */
VARNEL_MATH_API double varnel_fmax(double x, double y);
VARNEL_MATH_API float varnel_fmaxf(float x, float y);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_fmaxl(VARNEL_MATH_LONG_DOUBLE x, VARNEL_MATH_LONG_DOUBLE y);
VARNEL_MATH_API double varnel_fmin(double x, double y);
VARNEL_MATH_API float varnel_fminf(float x, float y);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_fminl(VARNEL_MATH_LONG_DOUBLE x, VARNEL_MATH_LONG_DOUBLE y);

/* sqrt(x*x + y*y); an infinite argument or an overflowing result gives
   +infinity with ERANGE */
VARNEL_MATH_API double varnel_hypot(double x, double y);
VARNEL_MATH_API float varnel_hypotf(float x, float y);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_hypotl(VARNEL_MATH_LONG_DOUBLE x, VARNEL_MATH_LONG_DOUBLE y);

/* log|gamma(x)|, no sign output; zero and the negative integers (poles)
   give EDOM and a quiet NaN; a result beyond the range of the type (+inf,
   x above about 2.56e305, or 4.085e36 for float) gives ERANGE and +inf */
VARNEL_MATH_API double varnel_lgamma(double x);
VARNEL_MATH_API float varnel_lgammaf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_lgammal(VARNEL_MATH_LONG_DOUBLE x);

/* ln(1 + x): x < -1 gives EDOM and NaN, x == -1 ERANGE and -infinity */
VARNEL_MATH_API double varnel_log1p(double x);
VARNEL_MATH_API float varnel_log1pf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_log1pl(VARNEL_MATH_LONG_DOUBLE x);

/* the neighbour of x in the direction of y (x itself when x == y); a NaN x
   or y gives EDOM, stepping beyond the largest finite value ERANGE and
   infinity.  nexttoward and nexttowardf compare x with the exact long
   double y and step by one spacing of the result type. */
VARNEL_MATH_API double varnel_nextafter(double x, double y);
VARNEL_MATH_API float varnel_nextafterf(float x, float y);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_nextafterl(VARNEL_MATH_LONG_DOUBLE x, VARNEL_MATH_LONG_DOUBLE y);
VARNEL_MATH_API double varnel_nexttoward(double x, VARNEL_MATH_LONG_DOUBLE y);
VARNEL_MATH_API float varnel_nexttowardf(float x, VARNEL_MATH_LONG_DOUBLE y);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_nexttowardl(VARNEL_MATH_LONG_DOUBLE x, VARNEL_MATH_LONG_DOUBLE y);

/* gamma(x); zero, the negative integers and -inf (poles) give EDOM and a
   quiet NaN; an overflowing result gives ERANGE and infinity (from about
   x = 171.624, or 35.0401 for float, and for 0 < x < 2^-1024); a result
   below the smallest normal value gives ERANGE with the subnormal or +0 */
VARNEL_MATH_API double varnel_tgamma(double x);
VARNEL_MATH_API float varnel_tgammaf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_tgammal(VARNEL_MATH_LONG_DOUBLE x);

/* rounding, halfway cases away from zero; a non-finite argument or a value
   the result type cannot hold gives ERANGE and a saturated result */
VARNEL_MATH_API double varnel_round(double x);
VARNEL_MATH_API float varnel_roundf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_roundl(VARNEL_MATH_LONG_DOUBLE x);
VARNEL_MATH_API double varnel_trunc(double x);
VARNEL_MATH_API float varnel_truncf(float x);
VARNEL_MATH_API VARNEL_MATH_LONG_DOUBLE varnel_truncl(VARNEL_MATH_LONG_DOUBLE x);
VARNEL_MATH_API long varnel_lround(double x);
VARNEL_MATH_API long varnel_lroundf(float x);
VARNEL_MATH_API long varnel_lroundl(VARNEL_MATH_LONG_DOUBLE x);
VARNEL_MATH_API long long varnel_llround(double x);
VARNEL_MATH_API long long varnel_llroundf(float x);
VARNEL_MATH_API long long varnel_llroundl(VARNEL_MATH_LONG_DOUBLE x);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VARNEL_MATH_C99_H */
