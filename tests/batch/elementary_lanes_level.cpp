// One level's table of lane forms over arrays (elementary_lanes.hpp),
// compiled with VARNEL_LANES_LEVEL naming the level (sse2, avx2, avx512f)
// and that level's flags alone, as the batch library's level units are.
#include "elementary_lanes.hpp"

#define VARNEL_LANES_sse2 1
#define VARNEL_LANES_avx2 2
#define VARNEL_LANES_avx512f 3
#define VARNEL_LANES_CAT2(a, b) a##b
#define VARNEL_LANES_CAT(a, b) VARNEL_LANES_CAT2(a, b)
#if VARNEL_LANES_CAT(VARNEL_LANES_, VARNEL_LANES_LEVEL) == 1
#include "simd/sse2.hpp"
#elif VARNEL_LANES_CAT(VARNEL_LANES_, VARNEL_LANES_LEVEL) == 2
#include "simd/avx2.hpp"
#else
#include "simd/avx512f.hpp"
#endif
#include "elementary/elementary.hpp"

namespace {

namespace vb = varnel::math::batch;
namespace lanes = varnel::math::batch::lanes;
using isa = vb::VARNEL_LANES_LEVEL;

template <class T, class F> void over(std::size_t n, const T* x, T* r, unsigned char* rare, F f) {
  for (std::size_t i = 0; i < n; i += isa::lanes) {
    const auto y = f(isa::load(x + i));
    isa::store(r + i, y.value);
    const unsigned bits = lane_bits(y.rare);
    for (int k = 0; k < isa::lanes; ++k) rare[i + k] = static_cast<unsigned char>((bits >> k) & 1u);
  }
}

void exp_n(std::size_t n, const double* x, double* r, unsigned char* rare) {
  over(n, x, r, rare, [](isa::vd v) { return lanes::exp<isa>(v); });
}
void log_n(std::size_t n, const double* x, double* r, unsigned char* rare) {
  over(n, x, r, rare, [](isa::vd v) { return lanes::log<isa>(v); });
}
void sin_n(std::size_t n, const double* x, double* r, unsigned char* rare) {
  over(n, x, r, rare, [](isa::vd v) { return lanes::sin<isa>(v); });
}
void expm1_n(std::size_t n, const double* x, double* r, unsigned char* rare) {
  over(n, x, r, rare, [](isa::vd v) { return lanes::expm1<isa>(v); });
}
void log1p_n(std::size_t n, const double* x, double* r, unsigned char* rare) {
  over(n, x, r, rare, [](isa::vd v) { return lanes::log1p<isa>(v); });
}
void expm1f_n(std::size_t n, const float* x, float* r, unsigned char* rare) {
  over(n, x, r, rare, [](isa::vf v) { return lanes::expm1<isa>(v); });
}
void log1pf_n(std::size_t n, const float* x, float* r, unsigned char* rare) {
  over(n, x, r, rare, [](isa::vf v) { return lanes::log1p<isa>(v); });
}
void pow_n(std::size_t n, const double* x, const double* y, double* r, unsigned char* rare) {
  for (std::size_t i = 0; i < n; i += isa::lanes) {
    const auto v = lanes::pow<isa>(isa::load(x + i), isa::load(y + i));
    isa::store(r + i, v.value);
    const unsigned bits = lane_bits(v.rare);
    for (int k = 0; k < isa::lanes; ++k) rare[i + k] = static_cast<unsigned char>((bits >> k) & 1u);
  }
}

}  // namespace

namespace varnel_lanes_test {

extern const level VARNEL_LANES_CAT(level_, VARNEL_LANES_LEVEL) = {isa::name, isa::lanes, exp_n, log_n,    sin_n,
                                                                   expm1_n,   log1p_n,    pow_n, expm1f_n, log1pf_n};

}  // namespace varnel_lanes_test
