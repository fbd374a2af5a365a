// See abi_floor.h.  Compiled with -fno-builtin, so that each body is a real
// call of the platform's function and not an instruction put in its place.
#include "abi_floor.h"

#include <math.h>

#define VARNEL_BENCH_BODY_unary(name) \
  { return ::name(static_cast<double>(x)); }
#define VARNEL_BENCH_BODY_binary(name) \
  { return ::name(static_cast<double>(x), static_cast<double>(y)); }
#define VARNEL_BENCH_BODY_toward(name) \
  { return ::name(static_cast<double>(x), y); }
#define VARNEL_BENCH_BODY_to_long(name) VARNEL_BENCH_BODY_unary(name)
#define VARNEL_BENCH_BODY_to_llong(name) VARNEL_BENCH_BODY_unary(name)

#define VARNEL_BENCH_DEFINE(name, shape, road) VARNEL_BENCH_SIGNATURE_##shape(name) VARNEL_BENCH_BODY_##shape(name)

extern "C" {
VARNEL_CATALOGUE_FUNCTIONS(VARNEL_BENCH_DEFINE)
}
