// Exports of varnel_math_batch: each calls its entry point of the level in
// use.  No logic lives here.
#include <varnel/math/batch.h>

#include "batch.hpp"

namespace vb = varnel::math::batch;

// The parameter lists of the shapes, and the arguments passed on.
#define VARNEL_BATCH_PARAMS_unary(T) std::size_t n, const T *x, T *r, int *errors
#define VARNEL_BATCH_PARAMS_binary(T) std::size_t n, const T *x, const T *y, T *r, int *errors
#define VARNEL_BATCH_PARAMS_toward(T) std::size_t n, const T *x, const VARNEL_MATH_LONG_DOUBLE *y, T *r, int *errors
#define VARNEL_BATCH_PARAMS_to_long(T) std::size_t n, const T *x, long *r, int *errors
#define VARNEL_BATCH_PARAMS_to_llong(T) std::size_t n, const T *x, long long *r, int *errors
#define VARNEL_BATCH_ARGS_unary n, x, r, errors
#define VARNEL_BATCH_ARGS_binary n, x, y, r, errors
#define VARNEL_BATCH_ARGS_toward n, x, y, r, errors
#define VARNEL_BATCH_ARGS_to_long n, x, r, errors
#define VARNEL_BATCH_ARGS_to_llong n, x, r, errors

#define VARNEL_BATCH_EXPORT(name, shape, road)                         \
  std::size_t varnel_##name##_n(VARNEL_BATCH_PARAMS_##shape(double)) { \
    return vb::active_level().name(VARNEL_BATCH_ARGS_##shape);         \
  }                                                                    \
  std::size_t varnel_##name##f_n(VARNEL_BATCH_PARAMS_##shape(float)) { \
    return vb::active_level().name##f(VARNEL_BATCH_ARGS_##shape);      \
  }

extern "C" {
VARNEL_CATALOGUE_FUNCTIONS(VARNEL_BATCH_EXPORT)
}
