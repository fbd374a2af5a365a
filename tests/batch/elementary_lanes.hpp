// The lane forms of the elementary functions (src/math/batch/elementary/)
// at one instruction-set level, over whole arrays: elementary_lanes_level.cpp
// is compiled once per level with that level's flags and fills one table;
// elementary_lanes_test.cpp compares every lane with the scalar functions.
#ifndef VARNEL_TESTS_BATCH_ELEMENTARY_LANES_HPP
#define VARNEL_TESTS_BATCH_ELEMENTARY_LANES_HPP

#include <cstddef>

namespace varnel_lanes_test {

// r[i] = F(x[i]) (and y[i]) lane by lane, rare[i] = 1 where the lane form
// marked lane i rare, 0 elsewhere.  n is a multiple of 8 (every level's
// lane count divides it).
using unary_d = void (*)(std::size_t n, const double* x, double* r, unsigned char* rare);
using binary_d = void (*)(std::size_t n, const double* x, const double* y, double* r, unsigned char* rare);
using unary_f = void (*)(std::size_t n, const float* x, float* r, unsigned char* rare);

struct level {
  const char* name;
  int lanes;
  unary_d exp, log, sin, expm1, log1p;
  binary_d pow;
  unary_f expm1f, log1pf;
};

extern const level level_sse2;
extern const level level_avx2;
extern const level level_avx512f;

}  // namespace varnel_lanes_test

#endif
