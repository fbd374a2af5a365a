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

#if defined(__GNUC__) || defined(__clang__)
#define VARNEL_MATH_API __attribute__((visibility("default")))
#else
#define VARNEL_MATH_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* sign */
VARNEL_MATH_API double varnel_copysign(double x, double y);
VARNEL_MATH_API float varnel_copysignf(float x, float y);
VARNEL_MATH_API long double varnel_copysignl(long double x, long double y);

/* e^x - 1 (the platform's, unchanged) */
VARNEL_MATH_API double varnel_expm1(double x);
VARNEL_MATH_API float varnel_expm1f(float x);
VARNEL_MATH_API long double varnel_expm1l(long double x);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VARNEL_MATH_C99_H */
