/* Varnel math: the batch library (link -lvarnel_math_batch).
 *
 * Every function of the math libraries over whole arrays, at the speed of
 * the processor's vector unit, with every element bit for bit the result
 * of the portable build's scalar function: the same bits whichever
 * instruction set runs (scalar, SSE2, AVX2, AVX-512F), on every platform,
 * in the platform build too.
 *
 *   size_t varnel_F_n(size_t n, const double *x, double *r, int *errors);
 *
 * sets r[i] = F(x[i]) for i < n and returns how many elements reported an
 * error.  errors may be NULL; otherwise errors[i] is what the scalar
 * function stores in errno for element i (EDOM, ERANGE), or 0 where it
 * stores nothing.  errno after the call is what it would be after calling
 * the scalar function on the elements in order: the code of the last
 * element that reported one, untouched when none did.
 *
 * Arrays may have any alignment.  r may be x (or y) itself, computing in
 * place; any other overlap of an output with an input, or of r with
 * errors, is undefined.  With n == 0 nothing is read or written, and the
 * pointers may be NULL.  Nothing is allocated, printed or thrown; the
 * functions may run in any number of threads at once.
 *
 * The instruction set is chosen once per process, the best the processor
 * and the operating system support; varnel_batch_isa() names it.  The
 * environment variable VARNEL_MATH_ISA set to "scalar", "sse2", "avx2" or
 * "avx512f" selects a lower level (for testing and comparison); a level the
 * processor lacks falls back to the best it has.  Usable from C99 and C++. */
#ifndef VARNEL_MATH_BATCH_H
#define VARNEL_MATH_BATCH_H

#include <stddef.h>

/* VARNEL_MATH_API, and VARNEL_MATH_LONG_DOUBLE for nexttoward's y (see
   config.h: a Windows compiler whose long double is wider than the
   library's passes an array of double). */
#include <varnel/math/config.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The instruction set in use: "scalar", "sse2", "avx2" or "avx512f". */
VARNEL_MATH_API const char *varnel_batch_isa(void);

/* One argument. */
VARNEL_MATH_API size_t varnel_acosh_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_acoshf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_asinh_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_asinhf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_atanh_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_atanhf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_cbrt_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_cbrtf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_erf_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_erff_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_erfc_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_erfcf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_expm1_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_expm1f_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_lgamma_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_lgammaf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_log1p_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_log1pf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_round_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_roundf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_tgamma_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_tgammaf_n(size_t n, const float *x, float *r, int *errors);
VARNEL_MATH_API size_t varnel_trunc_n(size_t n, const double *x, double *r, int *errors);
VARNEL_MATH_API size_t varnel_truncf_n(size_t n, const float *x, float *r, int *errors);

/* Two arguments: r[i] = F(x[i], y[i]). */
VARNEL_MATH_API size_t varnel_copysign_n(size_t n, const double *x, const double *y, double *r, int *errors);
VARNEL_MATH_API size_t varnel_copysignf_n(size_t n, const float *x, const float *y, float *r, int *errors);
VARNEL_MATH_API size_t varnel_fmax_n(size_t n, const double *x, const double *y, double *r, int *errors);
VARNEL_MATH_API size_t varnel_fmaxf_n(size_t n, const float *x, const float *y, float *r, int *errors);
VARNEL_MATH_API size_t varnel_fmin_n(size_t n, const double *x, const double *y, double *r, int *errors);
VARNEL_MATH_API size_t varnel_fminf_n(size_t n, const float *x, const float *y, float *r, int *errors);
VARNEL_MATH_API size_t varnel_hypot_n(size_t n, const double *x, const double *y, double *r, int *errors);
VARNEL_MATH_API size_t varnel_hypotf_n(size_t n, const float *x, const float *y, float *r, int *errors);
VARNEL_MATH_API size_t varnel_nextafter_n(size_t n, const double *x, const double *y, double *r, int *errors);
VARNEL_MATH_API size_t varnel_nextafterf_n(size_t n, const float *x, const float *y, float *r, int *errors);

/* nexttoward: y is long double, as in the scalar functions. */
VARNEL_MATH_API size_t varnel_nexttoward_n(size_t n, const double *x, const VARNEL_MATH_LONG_DOUBLE *y, double *r,
                                           int *errors);
VARNEL_MATH_API size_t varnel_nexttowardf_n(size_t n, const float *x, const VARNEL_MATH_LONG_DOUBLE *y, float *r,
                                            int *errors);

/* Rounding to an integer type. */
VARNEL_MATH_API size_t varnel_lround_n(size_t n, const double *x, long *r, int *errors);
VARNEL_MATH_API size_t varnel_lroundf_n(size_t n, const float *x, long *r, int *errors);
VARNEL_MATH_API size_t varnel_llround_n(size_t n, const double *x, long long *r, int *errors);
VARNEL_MATH_API size_t varnel_llroundf_n(size_t n, const float *x, long long *r, int *errors);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VARNEL_MATH_BATCH_H */
