// Eight lanes in the 512-bit registers of AVX-512F (the foundation only: no
// VL, DQ or BW, and no FMA, which the unit is compiled without).  The same
// interface as avx2.hpp; masks of doubles are mask registers, float lanes
// live in a 256-bit register with AVX2 operations.
#ifndef VARNEL_SRC_MATH_BATCH_SIMD_AVX512F_HPP
#define VARNEL_SRC_MATH_BATCH_SIMD_AVX512F_HPP

// GCC 12's AVX-512 intrinsics (the shifts, gathers and conversions) fill
// their unused source operand from a deliberately uninitialised variable,
// and warn about it once inlined into a kernel: a false alarm, silenced
// for that header alone.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include <cstdint>

namespace varnel::math::batch {

struct avx512f {
  static constexpr int lanes = 8;
  static constexpr const char* name = "avx512f";

  struct vd;
  struct vi;
  struct vf;
  struct vu;

  struct md {
    __mmask8 v;
    friend md operator&(md a, md b) { return {static_cast<__mmask8>(a.v & b.v)}; }
    friend md operator|(md a, md b) { return {static_cast<__mmask8>(a.v | b.v)}; }
    friend md operator~(md a) { return {static_cast<__mmask8>(~a.v)}; }
    friend md andnot(md a, md b) { return {static_cast<__mmask8>(a.v & ~b.v)}; }
    friend unsigned lane_bits(md a) { return a.v; }
    friend bool any(md a) { return a.v != 0; }
    friend bool all(md a) { return a.v == 0xFF; }
  };

  struct vd {
    __m512d v;
    friend vd operator+(vd a, vd b) { return {_mm512_add_pd(a.v, b.v)}; }
    friend vd operator-(vd a, vd b) { return {_mm512_sub_pd(a.v, b.v)}; }
    friend vd operator*(vd a, vd b) { return {_mm512_mul_pd(a.v, b.v)}; }
    friend vd operator/(vd a, vd b) { return {_mm512_div_pd(a.v, b.v)}; }
    friend vd operator-(vd a) {
      return {_mm512_castsi512_pd(
          _mm512_xor_si512(_mm512_castpd_si512(a.v), _mm512_set1_epi64(static_cast<long long>(0x8000000000000000u))))};
    }
    // With a constant on either side: the constant in every lane.
    friend vd operator+(vd a, double b) { return a + vd{_mm512_set1_pd(b)}; }
    friend vd operator+(double a, vd b) { return vd{_mm512_set1_pd(a)} + b; }
    friend vd operator-(vd a, double b) { return a - vd{_mm512_set1_pd(b)}; }
    friend vd operator-(double a, vd b) { return vd{_mm512_set1_pd(a)} - b; }
    friend vd operator*(vd a, double b) { return a * vd{_mm512_set1_pd(b)}; }
    friend vd operator*(double a, vd b) { return vd{_mm512_set1_pd(a)} * b; }
    friend vd operator/(vd a, double b) { return a / vd{_mm512_set1_pd(b)}; }
    friend vd operator/(double a, vd b) { return vd{_mm512_set1_pd(a)} / b; }
    friend md operator<(vd a, vd b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OQ)}; }
    friend md operator<=(vd a, vd b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LE_OQ)}; }
    friend md operator>(vd a, vd b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GT_OQ)}; }
    friend md operator>=(vd a, vd b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GE_OQ)}; }
    friend md operator==(vd a, vd b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_EQ_OQ)}; }
    friend md operator!=(vd a, vd b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_NEQ_UQ)}; }
    friend md unordered(vd a, vd b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_UNORD_Q)}; }
  };

  struct vi {
    __m512i v;
    friend vi operator+(vi a, vi b) { return {_mm512_add_epi64(a.v, b.v)}; }
    friend vi operator-(vi a, vi b) { return {_mm512_sub_epi64(a.v, b.v)}; }
    friend vi operator&(vi a, vi b) { return {_mm512_and_si512(a.v, b.v)}; }
    friend vi operator|(vi a, vi b) { return {_mm512_or_si512(a.v, b.v)}; }
    friend vi operator^(vi a, vi b) { return {_mm512_xor_si512(a.v, b.v)}; }
    friend vi operator<<(vi a, int n) { return {_mm512_slli_epi64(a.v, static_cast<unsigned>(n))}; }
    friend vi operator>>(vi a, int n) { return {_mm512_srli_epi64(a.v, static_cast<unsigned>(n))}; }
    friend md operator==(vi a, vi b) { return {_mm512_cmpeq_epi64_mask(a.v, b.v)}; }
    friend md operator>(vi a, vi b) { return {_mm512_cmpgt_epi64_mask(a.v, b.v)}; }
    friend md operator<(vi a, vi b) { return {_mm512_cmplt_epi64_mask(a.v, b.v)}; }
  };

  struct mf {
    __m256 v;
    friend mf operator&(mf a, mf b) { return {_mm256_and_ps(a.v, b.v)}; }
    friend mf operator|(mf a, mf b) { return {_mm256_or_ps(a.v, b.v)}; }
    friend unsigned lane_bits(mf a) { return static_cast<unsigned>(_mm256_movemask_ps(a.v)); }
    friend bool any(mf a) { return _mm256_movemask_ps(a.v) != 0; }
  };

  struct vf {
    __m256 v;
    friend vf operator+(vf a, vf b) { return {_mm256_add_ps(a.v, b.v)}; }
    friend vf operator-(vf a, vf b) { return {_mm256_sub_ps(a.v, b.v)}; }
    friend vf operator*(vf a, vf b) { return {_mm256_mul_ps(a.v, b.v)}; }
    friend vf operator/(vf a, vf b) { return {_mm256_div_ps(a.v, b.v)}; }
    friend vf operator+(vf a, float b) { return a + vf{_mm256_set1_ps(b)}; }
    friend vf operator+(float a, vf b) { return vf{_mm256_set1_ps(a)} + b; }
    friend vf operator-(vf a, float b) { return a - vf{_mm256_set1_ps(b)}; }
    friend vf operator-(float a, vf b) { return vf{_mm256_set1_ps(a)} - b; }
    friend vf operator*(vf a, float b) { return a * vf{_mm256_set1_ps(b)}; }
    friend vf operator*(float a, vf b) { return vf{_mm256_set1_ps(a)} * b; }
    friend vf operator/(vf a, float b) { return a / vf{_mm256_set1_ps(b)}; }
    friend vf operator/(float a, vf b) { return vf{_mm256_set1_ps(a)} / b; }
    friend mf operator<(vf a, vf b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ)}; }
    friend mf operator<=(vf a, vf b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LE_OQ)}; }
    friend mf operator>(vf a, vf b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GT_OQ)}; }
    friend mf operator>=(vf a, vf b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GE_OQ)}; }
    friend mf operator==(vf a, vf b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_EQ_OQ)}; }
    friend mf unordered(vf a, vf b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_UNORD_Q)}; }
  };

  struct vu {
    __m256i v;
    friend vu operator+(vu a, vu b) { return {_mm256_add_epi32(a.v, b.v)}; }
    friend vu operator-(vu a, vu b) { return {_mm256_sub_epi32(a.v, b.v)}; }
    friend vu operator&(vu a, vu b) { return {_mm256_and_si256(a.v, b.v)}; }
    friend vu operator|(vu a, vu b) { return {_mm256_or_si256(a.v, b.v)}; }
    friend vu operator^(vu a, vu b) { return {_mm256_xor_si256(a.v, b.v)}; }
    friend vu operator<<(vu a, int n) { return {_mm256_slli_epi32(a.v, n)}; }
    friend vu operator>>(vu a, int n) { return {_mm256_srli_epi32(a.v, n)}; }
    friend mf operator==(vu a, vu b) { return {_mm256_castsi256_ps(_mm256_cmpeq_epi32(a.v, b.v))}; }
    friend mf operator>(vu a, vu b) { return {_mm256_castsi256_ps(_mm256_cmpgt_epi32(a.v, b.v))}; }
  };

  static vd load(const double* p) { return {_mm512_loadu_pd(p)}; }
  static void store(double* p, vd a) { _mm512_storeu_pd(p, a.v); }
  static vf load(const float* p) { return {_mm256_loadu_ps(p)}; }
  static void store(float* p, vf a) { _mm256_storeu_ps(p, a.v); }
  static vi load(const std::int64_t* p) { return {_mm512_loadu_si512(p)}; }
  static void store(std::int64_t* p, vi a) { _mm512_storeu_si512(p, a.v); }

  static vd splat(double a) { return {_mm512_set1_pd(a)}; }
  static vf splat(float a) { return {_mm256_set1_ps(a)}; }
  static vi splat(std::int64_t a) { return {_mm512_set1_epi64(a)}; }
  static vu splat(std::int32_t a) { return {_mm256_set1_epi32(a)}; }

  static vi bits(vd a) { return {_mm512_castpd_si512(a.v)}; }
  static vd from_bits(vi a) { return {_mm512_castsi512_pd(a.v)}; }
  static vu bits(vf a) { return {_mm256_castps_si256(a.v)}; }
  static vf from_bits(vu a) { return {_mm256_castsi256_ps(a.v)}; }
  static md mask_of(vi a) { return {_mm512_cmpneq_epi64_mask(a.v, _mm512_setzero_si512())}; }

  static vd select(md m, vd b, vd a) { return {_mm512_mask_blend_pd(m.v, a.v, b.v)}; }
  static vi select(md m, vi b, vi a) { return {_mm512_mask_blend_epi64(m.v, a.v, b.v)}; }
  static vf select(mf m, vf b, vf a) { return {_mm256_blendv_ps(a.v, b.v, m.v)}; }

  static vd sqrt(vd a) { return {_mm512_sqrt_pd(a.v)}; }
  static vf sqrt(vf a) { return {_mm256_sqrt_ps(a.v)}; }

  static vd widen(vf a) { return {_mm512_cvtps_pd(a.v)}; }
  static vf narrow(vd a) { return {_mm512_cvtpd_ps(a.v)}; }

  static vd gather(const double* t, vi i) { return {_mm512_i64gather_pd(i.v, t, 8)}; }

  // ---- Rows of tables (the elementary lane forms) -----------------------
  //
  // The rows t + W row[lane] of a table of rows of W = 2 or 4 doubles, as
  // columns: c_f[lane] = t[W row[lane] + f], the values W gathers would
  // give.  Whole rows are loaded (any alignment) and transposed, which is
  // far cheaper than gathering each column.
  static void rows2(const double* t, vi row, vd& c0, vd& c1) {
    std::int64_t k[8];
    row_indices(row, k);
    // a = rows 0, 2, 4, 6 and b = rows 1, 3, 5, 7, one per 128-bit lane.
    const __m512d a = pairs(t + 2 * k[0], t + 2 * k[2], t + 2 * k[4], t + 2 * k[6]);
    const __m512d b = pairs(t + 2 * k[1], t + 2 * k[3], t + 2 * k[5], t + 2 * k[7]);
    c0 = {_mm512_unpacklo_pd(a, b)};
    c1 = {_mm512_unpackhi_pd(a, b)};
  }
  static void rows4(const double* t, vi row, vd& c0, vd& c1, vd& c2, vd& c3) {
    std::int64_t k[8];
    row_indices(row, k);
    // Two rows per register, one per 256-bit half: rows 0 and 2, 1 and 3,
    // 4 and 6, 5 and 7.  The unpacks pair rows 0 and 1 (2 and 3) within
    // each 128-bit lane; the shuffles put the lanes of rows 0..7 in order.
    const __m512d a = halves(t + 4 * k[0], t + 4 * k[2]), b = halves(t + 4 * k[1], t + 4 * k[3]);
    const __m512d c = halves(t + 4 * k[4], t + 4 * k[6]), d = halves(t + 4 * k[5], t + 4 * k[7]);
    const __m512d ab_lo = _mm512_unpacklo_pd(a, b), ab_hi = _mm512_unpackhi_pd(a, b);
    const __m512d cd_lo = _mm512_unpacklo_pd(c, d), cd_hi = _mm512_unpackhi_pd(c, d);
    c0 = {_mm512_shuffle_f64x2(ab_lo, cd_lo, 0x88)};  // 128-bit lanes 0, 2 of each
    c1 = {_mm512_shuffle_f64x2(ab_hi, cd_hi, 0x88)};
    c2 = {_mm512_shuffle_f64x2(ab_lo, cd_lo, 0xDD)};  // 128-bit lanes 1, 3 of each
    c3 = {_mm512_shuffle_f64x2(ab_hi, cd_hi, 0xDD)};
  }
  // The lanes of row as integers, through memory: one store and eight loads
  // cost less than extracting them.
  static void row_indices(vi row, std::int64_t (&k)[8]) { _mm512_storeu_si512(k, row.v); }
  // 32 bytes from p in the low half, from q in the high half.
  static __m512d halves(const double* p, const double* q) {
    return _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_loadu_pd(p)), _mm256_loadu_pd(q), 1);
  }
  // 16 bytes from each of p0..p3, in 128-bit lanes 0..3.
  static __m512d pairs(const double* p0, const double* p1, const double* p2, const double* p3) {
    const __m256d lo = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(p0)), _mm_loadu_pd(p1), 1);
    const __m256d hi = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(p2)), _mm_loadu_pd(p3), 1);
    return _mm512_insertf64x4(_mm512_castpd256_pd512(lo), hi, 1);
  }

  // ---- Operations of the rounding, next-value, cube-root and hypot kernels.

  // Logical shifts by a count per lane; a count of 64 (32) or more, a
  // negative one read as unsigned among them, gives 0.
  static vi shift_right(vi a, vi n) { return {_mm512_srlv_epi64(a.v, n.v)}; }
  static vi shift_left(vi a, vi n) { return {_mm512_sllv_epi64(a.v, n.v)}; }
  static vu shift_right(vu a, vu n) { return {_mm256_srlv_epi32(a.v, n.v)}; }

  // Rounded toward zero: the integral part with the sign kept (-0 for
  // -1 < a <= -0), infinities unchanged, a NaN for a NaN.
  static vd trunc(vd a) { return {_mm512_roundscale_pd(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)}; }
  static vf trunc(vf a) { return {_mm256_round_ps(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)}; }

  // A constant in every lane of a pack like the first argument, or a pack
  // of coefficients chosen per lane as it is: what code written over the
  // value type (tools::split_horner) finds by argument-dependent lookup.
  friend vd splat_like(vd, double a) { return splat(a); }
  friend vd splat_like(vd, vd a) { return a; }
  friend vf splat_like(vf, float a) { return splat(a); }

  // Signed 32-bit integers to floats, exactly below 2^24.
  static vf to_float(vu a) { return {_mm256_cvtepi32_ps(a.v)}; }

  // The low 32 bits of each lane, stored as consecutive integers (lanes
  // known to fit).
  static void store_low_halves(std::int32_t* p, vi a) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_cvtepi64_epi32(a.v));
  }

  // The 2 * lanes 64-bit words at p (any alignment): the even-indexed ones
  // into even, the odd-indexed into odd, in order.
  static void load_interleaved(const void* p, vi& even, vi& odd) {
    const __m512i a = _mm512_loadu_si512(p);
    const __m512i b = _mm512_loadu_si512(static_cast<const unsigned char*>(p) + 64);
    even = {_mm512_permutex2var_epi64(a, _mm512_set_epi64(14, 12, 10, 8, 6, 4, 2, 0), b)};
    odd = {_mm512_permutex2var_epi64(a, _mm512_set_epi64(15, 13, 11, 9, 7, 5, 3, 1), b)};
  }

  // The masks whose lane_bits are b (bit k: lane k).
  static md md_of_bits(unsigned b) { return {static_cast<__mmask8>(b)}; }
  static mf mf_of_bits(unsigned b) {
    const __m256i lane = _mm256_set_epi32(128, 64, 32, 16, 8, 4, 2, 1);
    const __m256i m = _mm256_and_si256(_mm256_set1_epi32(static_cast<std::int32_t>(b)), lane);
    return {_mm256_castsi256_ps(_mm256_cmpeq_epi32(m, lane))};
  }

  // ---- Free forms (the families' templates over the value type) ---------
  //
  // sqrt(v) for the templates that a family shares with its kernel, found
  // by argument-dependent lookup where the template says `using std::sqrt;
  // sqrt(v)`: sqrt above, the correctly rounded root of every lane.
  friend vd sqrt(vd a) { return {_mm512_sqrt_pd(a.v)}; }
};

}  // namespace varnel::math::batch

#endif
