// Every export of the three math libraries in one table, so that the
// whole-surface tests (consistency, threads, fuzzing) walk the same list.
#ifndef VARNEL_TESTS_CONFORMANCE_SURFACE_HPP
#define VARNEL_TESTS_CONFORMANCE_SURFACE_HPP

#include <varnel/math/c99.h>

namespace varnel_test {

// How a float member relates to its double sibling.
enum class float_road {
  narrowed,  // widened, computed at double, narrow_result to float
  rounded,   // widened, computed at double, plainly rounded (cbrt)
  native,    // computed in float
};

struct unary_export {
  const char* name;
  double (*d)(double);
  float (*f)(float);
  long double (*l)(long double);
  float_road road;
};

struct binary_export {
  const char* name;
  double (*d)(double, double);
  float (*f)(float, float);
  long double (*l)(long double, long double);
};

inline const unary_export unary_exports[] = {
    {"acosh", varnel_acosh, varnel_acoshf, varnel_acoshl, float_road::narrowed},
    {"asinh", varnel_asinh, varnel_asinhf, varnel_asinhl, float_road::narrowed},
    {"atanh", varnel_atanh, varnel_atanhf, varnel_atanhl, float_road::narrowed},
    {"cbrt", varnel_cbrt, varnel_cbrtf, varnel_cbrtl, float_road::rounded},
    {"erf", varnel_erf, varnel_erff, varnel_erfl, float_road::narrowed},
    {"erfc", varnel_erfc, varnel_erfcf, varnel_erfcl, float_road::narrowed},
    {"expm1", varnel_expm1, varnel_expm1f, varnel_expm1l, float_road::native},
    {"lgamma", varnel_lgamma, varnel_lgammaf, varnel_lgammal, float_road::narrowed},
    {"log1p", varnel_log1p, varnel_log1pf, varnel_log1pl, float_road::native},
    {"round", varnel_round, varnel_roundf, varnel_roundl, float_road::native},
    {"tgamma", varnel_tgamma, varnel_tgammaf, varnel_tgammal, float_road::narrowed},
    {"trunc", varnel_trunc, varnel_truncf, varnel_truncl, float_road::native},
};

inline const binary_export binary_exports[] = {
    {"copysign", varnel_copysign, varnel_copysignf, varnel_copysignl},
    {"fmax", varnel_fmax, varnel_fmaxf, varnel_fmaxl},
    {"fmin", varnel_fmin, varnel_fminf, varnel_fminl},
    {"hypot", varnel_hypot, varnel_hypotf, varnel_hypotl},
    {"nextafter", varnel_nextafter, varnel_nextafterf, varnel_nextafterl},
};

}  // namespace varnel_test

#endif
