// Two lanes in the 128-bit registers of SSE2, which every x86-64 processor
// has.  The same interface as avx2.hpp; what SSE2 lacks (blends, 64-bit
// comparisons, gathers) is composed of the operations it has, with the same
// results.
#ifndef VARNEL_SRC_MATH_BATCH_SIMD_SSE2_HPP
#define VARNEL_SRC_MATH_BATCH_SIMD_SSE2_HPP

#include <emmintrin.h>

#include <cstdint>

namespace varnel::math::batch {

struct sse2 {
  static constexpr int lanes = 2;
  static constexpr const char* name = "sse2";

  struct vd;
  struct vi;
  struct vf;  // two floats in the low half of a register
  struct vu;

  struct md {
    __m128d v;
    friend md operator&(md a, md b) { return {_mm_and_pd(a.v, b.v)}; }
    friend md operator|(md a, md b) { return {_mm_or_pd(a.v, b.v)}; }
    friend md operator~(md a) { return {_mm_xor_pd(a.v, _mm_castsi128_pd(_mm_set1_epi32(-1)))}; }
    friend md andnot(md a, md b) { return {_mm_andnot_pd(b.v, a.v)}; }
    friend unsigned lane_bits(md a) { return static_cast<unsigned>(_mm_movemask_pd(a.v)); }
    friend bool any(md a) { return _mm_movemask_pd(a.v) != 0; }
    friend bool all(md a) { return _mm_movemask_pd(a.v) == 0x3; }
  };

  struct vd {
    __m128d v;
    friend vd operator+(vd a, vd b) { return {_mm_add_pd(a.v, b.v)}; }
    friend vd operator-(vd a, vd b) { return {_mm_sub_pd(a.v, b.v)}; }
    friend vd operator*(vd a, vd b) { return {_mm_mul_pd(a.v, b.v)}; }
    friend vd operator/(vd a, vd b) { return {_mm_div_pd(a.v, b.v)}; }
    friend vd operator-(vd a) { return {_mm_xor_pd(a.v, _mm_set1_pd(-0.0))}; }
    // With a constant on either side: the constant in every lane.
    friend vd operator+(vd a, double b) { return a + vd{_mm_set1_pd(b)}; }
    friend vd operator+(double a, vd b) { return vd{_mm_set1_pd(a)} + b; }
    friend vd operator-(vd a, double b) { return a - vd{_mm_set1_pd(b)}; }
    friend vd operator-(double a, vd b) { return vd{_mm_set1_pd(a)} - b; }
    friend vd operator*(vd a, double b) { return a * vd{_mm_set1_pd(b)}; }
    friend vd operator*(double a, vd b) { return vd{_mm_set1_pd(a)} * b; }
    friend vd operator/(vd a, double b) { return a / vd{_mm_set1_pd(b)}; }
    friend vd operator/(double a, vd b) { return vd{_mm_set1_pd(a)} / b; }
    friend md operator<(vd a, vd b) { return {_mm_cmplt_pd(a.v, b.v)}; }
    friend md operator<=(vd a, vd b) { return {_mm_cmple_pd(a.v, b.v)}; }
    friend md operator>(vd a, vd b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
    friend md operator>=(vd a, vd b) { return {_mm_cmpge_pd(a.v, b.v)}; }
    friend md operator==(vd a, vd b) { return {_mm_cmpeq_pd(a.v, b.v)}; }
    friend md operator!=(vd a, vd b) { return {_mm_cmpneq_pd(a.v, b.v)}; }
    friend md unordered(vd a, vd b) { return {_mm_cmpunord_pd(a.v, b.v)}; }
  };

  struct vi {
    __m128i v;
    friend vi operator+(vi a, vi b) { return {_mm_add_epi64(a.v, b.v)}; }
    friend vi operator-(vi a, vi b) { return {_mm_sub_epi64(a.v, b.v)}; }
    friend vi operator&(vi a, vi b) { return {_mm_and_si128(a.v, b.v)}; }
    friend vi operator|(vi a, vi b) { return {_mm_or_si128(a.v, b.v)}; }
    friend vi operator^(vi a, vi b) { return {_mm_xor_si128(a.v, b.v)}; }
    friend vi operator<<(vi a, int n) { return {_mm_slli_epi64(a.v, n)}; }
    friend vi operator>>(vi a, int n) { return {_mm_srli_epi64(a.v, n)}; }
    // Both 32-bit halves equal.
    friend md operator==(vi a, vi b) {
      const __m128i e = _mm_cmpeq_epi32(a.v, b.v);
      return {_mm_castsi128_pd(_mm_and_si128(e, _mm_shuffle_epi32(e, _MM_SHUFFLE(2, 3, 0, 1))))};
    }
    // Signed: the high halves decide (signed), or, equal, the low halves
    // (unsigned, compared signed after flipping their top bits).
    friend md operator>(vi a, vi b) {
      const __m128i flip = _mm_set_epi32(0, static_cast<int>(0x80000000u), 0, static_cast<int>(0x80000000u));
      const __m128i fa = _mm_xor_si128(a.v, flip), fb = _mm_xor_si128(b.v, flip);
      const __m128i gt = _mm_cmpgt_epi32(fa, fb);
      const __m128i eq = _mm_cmpeq_epi32(fa, fb);
      const __m128i hi_gt = _mm_shuffle_epi32(gt, _MM_SHUFFLE(3, 3, 1, 1));
      const __m128i hi_eq = _mm_shuffle_epi32(eq, _MM_SHUFFLE(3, 3, 1, 1));
      const __m128i lo_gt = _mm_shuffle_epi32(gt, _MM_SHUFFLE(2, 2, 0, 0));
      return {_mm_castsi128_pd(_mm_or_si128(hi_gt, _mm_and_si128(hi_eq, lo_gt)))};
    }
    friend md operator<(vi a, vi b) { return b > a; }
  };

  struct mf {
    __m128 v;
    friend mf operator&(mf a, mf b) { return {_mm_and_ps(a.v, b.v)}; }
    friend mf operator|(mf a, mf b) { return {_mm_or_ps(a.v, b.v)}; }
    friend unsigned lane_bits(mf a) { return static_cast<unsigned>(_mm_movemask_ps(a.v)) & 0x3u; }
    friend bool any(mf a) { return lane_bits(a) != 0; }
  };

  struct vf {
    __m128 v;
    friend vf operator+(vf a, vf b) { return {_mm_add_ps(a.v, b.v)}; }
    friend vf operator-(vf a, vf b) { return {_mm_sub_ps(a.v, b.v)}; }
    friend vf operator*(vf a, vf b) { return {_mm_mul_ps(a.v, b.v)}; }
    friend vf operator/(vf a, vf b) { return {_mm_div_ps(a.v, b.v)}; }
    friend vf operator+(vf a, float b) { return a + vf{_mm_set1_ps(b)}; }
    friend vf operator+(float a, vf b) { return vf{_mm_set1_ps(a)} + b; }
    friend vf operator-(vf a, float b) { return a - vf{_mm_set1_ps(b)}; }
    friend vf operator-(float a, vf b) { return vf{_mm_set1_ps(a)} - b; }
    friend vf operator*(vf a, float b) { return a * vf{_mm_set1_ps(b)}; }
    friend vf operator*(float a, vf b) { return vf{_mm_set1_ps(a)} * b; }
    friend vf operator/(vf a, float b) { return a / vf{_mm_set1_ps(b)}; }
    friend vf operator/(float a, vf b) { return vf{_mm_set1_ps(a)} / b; }
    friend mf operator<(vf a, vf b) { return {_mm_cmplt_ps(a.v, b.v)}; }
    friend mf operator<=(vf a, vf b) { return {_mm_cmple_ps(a.v, b.v)}; }
    friend mf operator>(vf a, vf b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
    friend mf operator>=(vf a, vf b) { return {_mm_cmpge_ps(a.v, b.v)}; }
    friend mf operator==(vf a, vf b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
    friend mf unordered(vf a, vf b) { return {_mm_cmpunord_ps(a.v, b.v)}; }
  };

  struct vu {
    __m128i v;
    friend vu operator+(vu a, vu b) { return {_mm_add_epi32(a.v, b.v)}; }
    friend vu operator-(vu a, vu b) { return {_mm_sub_epi32(a.v, b.v)}; }
    friend vu operator&(vu a, vu b) { return {_mm_and_si128(a.v, b.v)}; }
    friend vu operator|(vu a, vu b) { return {_mm_or_si128(a.v, b.v)}; }
    friend vu operator^(vu a, vu b) { return {_mm_xor_si128(a.v, b.v)}; }
    friend vu operator<<(vu a, int n) { return {_mm_slli_epi32(a.v, n)}; }
    friend vu operator>>(vu a, int n) { return {_mm_srli_epi32(a.v, n)}; }
    friend mf operator==(vu a, vu b) { return {_mm_castsi128_ps(_mm_cmpeq_epi32(a.v, b.v))}; }
    friend mf operator>(vu a, vu b) { return {_mm_castsi128_ps(_mm_cmpgt_epi32(a.v, b.v))}; }
  };

  static vd load(const double* p) { return {_mm_loadu_pd(p)}; }
  static void store(double* p, vd a) { _mm_storeu_pd(p, a.v); }
  // Two floats: eight bytes, loaded and stored as one 64-bit integer (the
  // integer forms take any alignment; the double forms require eight bytes).
  static vf load(const float* p) { return {_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)))}; }
  static void store(float* p, vf a) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(a.v)); }
  static vi load(const std::int64_t* p) { return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))}; }
  static void store(std::int64_t* p, vi a) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a.v); }

  static vd splat(double a) { return {_mm_set1_pd(a)}; }
  static vf splat(float a) { return {_mm_set1_ps(a)}; }
  static vi splat(std::int64_t a) { return {_mm_set1_epi64x(a)}; }
  static vu splat(std::int32_t a) { return {_mm_set1_epi32(a)}; }

  static vi bits(vd a) { return {_mm_castpd_si128(a.v)}; }
  static vd from_bits(vi a) { return {_mm_castsi128_pd(a.v)}; }
  static vu bits(vf a) { return {_mm_castps_si128(a.v)}; }
  static vf from_bits(vu a) { return {_mm_castsi128_ps(a.v)}; }
  static md mask_of(vi a) { return {_mm_castsi128_pd(a.v)}; }

  static vd select(md m, vd b, vd a) { return {_mm_or_pd(_mm_and_pd(m.v, b.v), _mm_andnot_pd(m.v, a.v))}; }
  static vi select(md m, vi b, vi a) {
    const __m128i k = _mm_castpd_si128(m.v);
    return {_mm_or_si128(_mm_and_si128(k, b.v), _mm_andnot_si128(k, a.v))};
  }
  static vf select(mf m, vf b, vf a) { return {_mm_or_ps(_mm_and_ps(m.v, b.v), _mm_andnot_ps(m.v, a.v))}; }

  static vd sqrt(vd a) { return {_mm_sqrt_pd(a.v)}; }
  static vf sqrt(vf a) { return {_mm_sqrt_ps(a.v)}; }

  static vd widen(vf a) { return {_mm_cvtps_pd(a.v)}; }
  static vf narrow(vd a) { return {_mm_cvtpd_ps(a.v)}; }

  static vd gather(const double* t, vi i) {
    std::int64_t k[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(k), i.v);
    return {_mm_set_pd(t[k[1]], t[k[0]])};
  }

  // ---- Rows of tables (the elementary lane forms) -----------------------
  //
  // The rows t + W row[lane] of a table of rows of W = 2 or 4 doubles, as
  // columns: c_f[lane] = t[W row[lane] + f], the values W gathers would
  // give.  Whole rows are loaded (any alignment) and transposed, which is
  // far cheaper than gathering each column.
  static void rows2(const double* t, vi row, vd& c0, vd& c1) {
    const std::int64_t k0 = _mm_cvtsi128_si64(row.v), k1 = _mm_cvtsi128_si64(_mm_unpackhi_epi64(row.v, row.v));
    const __m128d r0 = _mm_loadu_pd(t + 2 * k0), r1 = _mm_loadu_pd(t + 2 * k1);
    c0 = {_mm_unpacklo_pd(r0, r1)};
    c1 = {_mm_unpackhi_pd(r0, r1)};
  }
  static void rows4(const double* t, vi row, vd& c0, vd& c1, vd& c2, vd& c3) {
    const std::int64_t k0 = _mm_cvtsi128_si64(row.v), k1 = _mm_cvtsi128_si64(_mm_unpackhi_epi64(row.v, row.v));
    const __m128d a0 = _mm_loadu_pd(t + 4 * k0), b0 = _mm_loadu_pd(t + 4 * k0 + 2);
    const __m128d a1 = _mm_loadu_pd(t + 4 * k1), b1 = _mm_loadu_pd(t + 4 * k1 + 2);
    c0 = {_mm_unpacklo_pd(a0, a1)};
    c1 = {_mm_unpackhi_pd(a0, a1)};
    c2 = {_mm_unpacklo_pd(b0, b1)};
    c3 = {_mm_unpackhi_pd(b0, b1)};
  }

  // ---- Operations of the rounding, next-value, cube-root and hypot kernels.

  // Logical shifts by a count per lane; a count of 64 (32) or more, a
  // negative one read as unsigned among them, gives 0, as the AVX2 shifts
  // do.  SSE2 shifts every lane by one count: each lane is shifted by its
  // own and the lanes are put together.
  static vi shift_right(vi a, vi n) {
    const __m128i lo = _mm_srl_epi64(a.v, n.v);
    const __m128i hi = _mm_srl_epi64(a.v, _mm_unpackhi_epi64(n.v, n.v));
    return {_mm_castpd_si128(_mm_move_sd(_mm_castsi128_pd(hi), _mm_castsi128_pd(lo)))};
  }
  static vi shift_left(vi a, vi n) {
    const __m128i lo = _mm_sll_epi64(a.v, n.v);
    const __m128i hi = _mm_sll_epi64(a.v, _mm_unpackhi_epi64(n.v, n.v));
    return {_mm_castpd_si128(_mm_move_sd(_mm_castsi128_pd(hi), _mm_castsi128_pd(lo)))};
  }
  static vu shift_right(vu a, vu n) {
    // Each count zero-extended to the 64 bits the shift reads.
    const __m128i n0 = _mm_cvtsi32_si128(_mm_cvtsi128_si32(n.v));
    const __m128i n1 = _mm_cvtsi32_si128(_mm_cvtsi128_si32(_mm_srli_epi64(n.v, 32)));
    const __m128i r0 = _mm_srl_epi32(a.v, n0);
    const __m128i r1 = _mm_srl_epi32(a.v, n1);
    return {_mm_unpacklo_epi32(r0, _mm_srli_epi64(r1, 32))};
  }

  // Rounded toward zero: the integral part with the sign kept (-0 for
  // -1 < a <= -0), infinities unchanged, a NaN for a NaN.  SSE2 has no
  // rounding instruction.  Doubles: below 2^52, |a| + 2^52 - 2^52 is |a|
  // rounded to nearest (both steps exact but the first rounding), one less
  // where that went up; from 2^52 up every double is integral.  Floats:
  // below 2^23 the conversion to a 32-bit integer truncates exactly and
  // converting back is exact.
  static vd trunc(vd a) {
    const __m128d sign = _mm_set1_pd(-0.0);
    const __m128d two52 = _mm_set1_pd(static_cast<double>(std::uint64_t{1} << 52));
    const __m128d m = _mm_andnot_pd(sign, a.v);
    __m128d t = _mm_sub_pd(_mm_add_pd(m, two52), two52);
    t = _mm_sub_pd(t, _mm_and_pd(_mm_cmpgt_pd(t, m), _mm_set1_pd(1.0)));
    t = _mm_or_pd(t, _mm_and_pd(sign, a.v));
    const __m128d whole = _mm_cmpge_pd(m, two52);
    return {_mm_or_pd(_mm_and_pd(whole, a.v), _mm_andnot_pd(whole, t))};
  }
  static vf trunc(vf a) {
    const __m128 sign = _mm_set1_ps(-0.0f);
    const __m128 two23 = _mm_set1_ps(static_cast<float>(std::uint32_t{1} << 23));
    const __m128 m = _mm_andnot_ps(sign, a.v);
    const __m128 t = _mm_or_ps(_mm_cvtepi32_ps(_mm_cvttps_epi32(m)), _mm_and_ps(sign, a.v));
    // From 2^23 up a itself; a + 0 is a there, and quiets a NaN as the
    // rounding instructions do.
    const __m128 fraction = _mm_cmplt_ps(m, two23);
    return {_mm_or_ps(_mm_and_ps(fraction, t), _mm_andnot_ps(fraction, _mm_add_ps(a.v, _mm_setzero_ps())))};
  }

  // A constant in every lane of a pack like the first argument, or a pack
  // of coefficients chosen per lane as it is: what code written over the
  // value type (tools::split_horner) finds by argument-dependent lookup.
  friend vd splat_like(vd, double a) { return splat(a); }
  friend vd splat_like(vd, vd a) { return a; }
  friend vf splat_like(vf, float a) { return splat(a); }

  // Signed 32-bit integers to floats, exactly below 2^24.
  static vf to_float(vu a) { return {_mm_cvtepi32_ps(a.v)}; }

  // The low 32 bits of each lane, stored as consecutive integers (lanes
  // known to fit).
  static void store_low_halves(std::int32_t* p, vi a) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_shuffle_epi32(a.v, _MM_SHUFFLE(3, 1, 2, 0)));
  }

  // The 2 * lanes 64-bit words at p (any alignment): the even-indexed ones
  // into even, the odd-indexed into odd, in order.
  static void load_interleaved(const void* p, vi& even, vi& odd) {
    const __m128i a = _mm_loadu_si128(static_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(static_cast<const __m128i*>(p) + 1);
    even = {_mm_unpacklo_epi64(a, b)};
    odd = {_mm_unpackhi_epi64(a, b)};
  }

  // The masks whose lane_bits are b (bit k: lane k).
  static md md_of_bits(unsigned b) {
    return {_mm_castsi128_pd(
        _mm_set_epi64x(-static_cast<std::int64_t>((b >> 1) & 1u), -static_cast<std::int64_t>(b & 1u)))};
  }
  static mf mf_of_bits(unsigned b) {
    return {_mm_castsi128_ps(
        _mm_set_epi32(0, 0, -static_cast<std::int32_t>((b >> 1) & 1u), -static_cast<std::int32_t>(b & 1u)))};
  }

  // ---- Free forms (the families' templates over the value type) ---------
  //
  // sqrt(v) for the templates that a family shares with its kernel, found
  // by argument-dependent lookup where the template says `using std::sqrt;
  // sqrt(v)`: sqrt above, the correctly rounded root of every lane.
  friend vd sqrt(vd a) { return {_mm_sqrt_pd(a.v)}; }
};

}  // namespace varnel::math::batch

#endif
