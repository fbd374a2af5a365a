// Four lanes in the 256-bit registers of AVX2 (no FMA: the TU is compiled
// with -mavx2 alone, and -ffp-contract=off keeps products and sums apart).
// Every arithmetic operation is the IEEE operation of the scalar code, lane
// by lane; nothing here estimates.
#ifndef VARNEL_SRC_MATH_BATCH_SIMD_AVX2_HPP
#define VARNEL_SRC_MATH_BATCH_SIMD_AVX2_HPP

#include <immintrin.h>

#include <cstdint>

namespace varnel::math::batch {

struct avx2 {
  static constexpr int lanes = 4;
  static constexpr const char* name = "avx2";

  struct vd;  // doubles
  struct vi;  // 64-bit integers, one per double lane
  struct vf;  // floats, one per double lane (the low half of a register)
  struct vu;  // 32-bit integers, one per float lane

  // A lane mask of doubles: every bit of a lane set or clear.
  struct md {
    __m256d v;
    friend md operator&(md a, md b) { return {_mm256_and_pd(a.v, b.v)}; }
    friend md operator|(md a, md b) { return {_mm256_or_pd(a.v, b.v)}; }
    friend md operator~(md a) { return {_mm256_xor_pd(a.v, _mm256_castsi256_pd(_mm256_set1_epi64x(-1)))}; }
    friend md andnot(md a, md b) { return {_mm256_andnot_pd(b.v, a.v)}; }  // a and not b
    friend unsigned lane_bits(md a) { return static_cast<unsigned>(_mm256_movemask_pd(a.v)); }
    friend bool any(md a) { return _mm256_movemask_pd(a.v) != 0; }
    friend bool all(md a) { return _mm256_movemask_pd(a.v) == 0xF; }
  };

  struct vd {
    __m256d v;
    friend vd operator+(vd a, vd b) { return {_mm256_add_pd(a.v, b.v)}; }
    friend vd operator-(vd a, vd b) { return {_mm256_sub_pd(a.v, b.v)}; }
    friend vd operator*(vd a, vd b) { return {_mm256_mul_pd(a.v, b.v)}; }
    friend vd operator/(vd a, vd b) { return {_mm256_div_pd(a.v, b.v)}; }
    friend vd operator-(vd a) { return {_mm256_xor_pd(a.v, _mm256_set1_pd(-0.0))}; }
    // With a constant on either side: the constant in every lane.
    friend vd operator+(vd a, double b) { return a + vd{_mm256_set1_pd(b)}; }
    friend vd operator+(double a, vd b) { return vd{_mm256_set1_pd(a)} + b; }
    friend vd operator-(vd a, double b) { return a - vd{_mm256_set1_pd(b)}; }
    friend vd operator-(double a, vd b) { return vd{_mm256_set1_pd(a)} - b; }
    friend vd operator*(vd a, double b) { return a * vd{_mm256_set1_pd(b)}; }
    friend vd operator*(double a, vd b) { return vd{_mm256_set1_pd(a)} * b; }
    friend vd operator/(vd a, double b) { return a / vd{_mm256_set1_pd(b)}; }
    friend vd operator/(double a, vd b) { return vd{_mm256_set1_pd(a)} / b; }
    friend md operator<(vd a, vd b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
    friend md operator<=(vd a, vd b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
    friend md operator>(vd a, vd b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
    friend md operator>=(vd a, vd b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ)}; }
    friend md operator==(vd a, vd b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ)}; }
    friend md operator!=(vd a, vd b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_NEQ_UQ)}; }
    friend md unordered(vd a, vd b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_UNORD_Q)}; }
  };

  struct vi {
    __m256i v;
    friend vi operator+(vi a, vi b) { return {_mm256_add_epi64(a.v, b.v)}; }
    friend vi operator-(vi a, vi b) { return {_mm256_sub_epi64(a.v, b.v)}; }
    friend vi operator&(vi a, vi b) { return {_mm256_and_si256(a.v, b.v)}; }
    friend vi operator|(vi a, vi b) { return {_mm256_or_si256(a.v, b.v)}; }
    friend vi operator^(vi a, vi b) { return {_mm256_xor_si256(a.v, b.v)}; }
    friend vi operator<<(vi a, int n) { return {_mm256_slli_epi64(a.v, n)}; }
    friend vi operator>>(vi a, int n) { return {_mm256_srli_epi64(a.v, n)}; }  // logical
    friend md operator==(vi a, vi b) { return {_mm256_castsi256_pd(_mm256_cmpeq_epi64(a.v, b.v))}; }
    friend md operator>(vi a, vi b) { return {_mm256_castsi256_pd(_mm256_cmpgt_epi64(a.v, b.v))}; }  // signed
    friend md operator<(vi a, vi b) { return b > a; }
  };

  struct mf {
    __m128 v;
    friend mf operator&(mf a, mf b) { return {_mm_and_ps(a.v, b.v)}; }
    friend mf operator|(mf a, mf b) { return {_mm_or_ps(a.v, b.v)}; }
    friend unsigned lane_bits(mf a) { return static_cast<unsigned>(_mm_movemask_ps(a.v)); }
    friend bool any(mf a) { return _mm_movemask_ps(a.v) != 0; }
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
    friend mf operator<(vf a, vf b) { return {_mm_cmp_ps(a.v, b.v, _CMP_LT_OQ)}; }
    friend mf operator<=(vf a, vf b) { return {_mm_cmp_ps(a.v, b.v, _CMP_LE_OQ)}; }
    friend mf operator>(vf a, vf b) { return {_mm_cmp_ps(a.v, b.v, _CMP_GT_OQ)}; }
    friend mf operator>=(vf a, vf b) { return {_mm_cmp_ps(a.v, b.v, _CMP_GE_OQ)}; }
    friend mf operator==(vf a, vf b) { return {_mm_cmp_ps(a.v, b.v, _CMP_EQ_OQ)}; }
    friend mf unordered(vf a, vf b) { return {_mm_cmp_ps(a.v, b.v, _CMP_UNORD_Q)}; }
  };

  struct vu {
    __m128i v;
    friend vu operator+(vu a, vu b) { return {_mm_add_epi32(a.v, b.v)}; }
    friend vu operator-(vu a, vu b) { return {_mm_sub_epi32(a.v, b.v)}; }
    friend vu operator&(vu a, vu b) { return {_mm_and_si128(a.v, b.v)}; }
    friend vu operator|(vu a, vu b) { return {_mm_or_si128(a.v, b.v)}; }
    friend vu operator^(vu a, vu b) { return {_mm_xor_si128(a.v, b.v)}; }
    friend vu operator<<(vu a, int n) { return {_mm_slli_epi32(a.v, n)}; }
    friend vu operator>>(vu a, int n) { return {_mm_srli_epi32(a.v, n)}; }  // logical
    friend mf operator==(vu a, vu b) { return {_mm_castsi128_ps(_mm_cmpeq_epi32(a.v, b.v))}; }
    friend mf operator>(vu a, vu b) { return {_mm_castsi128_ps(_mm_cmpgt_epi32(a.v, b.v))}; }  // signed
  };

  // Loads and stores: any alignment.
  static vd load(const double* p) { return {_mm256_loadu_pd(p)}; }
  static void store(double* p, vd a) { _mm256_storeu_pd(p, a.v); }
  static vf load(const float* p) { return {_mm_loadu_ps(p)}; }
  static void store(float* p, vf a) { _mm_storeu_ps(p, a.v); }
  static vi load(const std::int64_t* p) { return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))}; }
  static void store(std::int64_t* p, vi a) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a.v); }

  static vd splat(double a) { return {_mm256_set1_pd(a)}; }
  static vf splat(float a) { return {_mm_set1_ps(a)}; }
  static vi splat(std::int64_t a) { return {_mm256_set1_epi64x(a)}; }
  static vu splat(std::int32_t a) { return {_mm_set1_epi32(a)}; }

  // Bit patterns, as the scalar layouts read them.
  static vi bits(vd a) { return {_mm256_castpd_si256(a.v)}; }
  static vd from_bits(vi a) { return {_mm256_castsi256_pd(a.v)}; }
  static vu bits(vf a) { return {_mm_castps_si128(a.v)}; }
  static vf from_bits(vu a) { return {_mm_castsi128_ps(a.v)}; }
  static md mask_of(vi a) { return {_mm256_castsi256_pd(a.v)}; }  // every bit of each lane equal

  // Lanes of b where m is set, of a elsewhere.
  static vd select(md m, vd b, vd a) { return {_mm256_blendv_pd(a.v, b.v, m.v)}; }
  static vi select(md m, vi b, vi a) {
    return {_mm256_castpd_si256(_mm256_blendv_pd(_mm256_castsi256_pd(a.v), _mm256_castsi256_pd(b.v), m.v))};
  }
  static vf select(mf m, vf b, vf a) { return {_mm_blendv_ps(a.v, b.v, m.v)}; }

  static vd sqrt(vd a) { return {_mm256_sqrt_pd(a.v)}; }
  static vf sqrt(vf a) { return {_mm_sqrt_ps(a.v)}; }

  // Exact conversions: float to double, and double to float rounded once.
  static vd widen(vf a) { return {_mm256_cvtps_pd(a.v)}; }
  static vf narrow(vd a) { return {_mm256_cvtpd_ps(a.v)}; }

  // t[i[lane]] for each lane.
  static vd gather(const double* t, vi i) { return {_mm256_i64gather_pd(t, i.v, 8)}; }

  // ---- Rows of tables (the elementary lane forms) -----------------------
  //
  // The rows t + W row[lane] of a table of rows of W = 2 or 4 doubles, as
  // columns: c_f[lane] = t[W row[lane] + f], the values W gathers would
  // give.  Whole rows are loaded (any alignment) and transposed, which is
  // far cheaper than gathering each column.
  static void rows2(const double* t, vi row, vd& c0, vd& c1) {
    std::int64_t k[4];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(k), row.v);
    // Rows 0 and 2 in a, 1 and 3 in b, one per 128-bit half.
    const __m256d a =
        _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(t + 2 * k[0])), _mm_loadu_pd(t + 2 * k[2]), 1);
    const __m256d b =
        _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(t + 2 * k[1])), _mm_loadu_pd(t + 2 * k[3]), 1);
    c0 = {_mm256_unpacklo_pd(a, b)};
    c1 = {_mm256_unpackhi_pd(a, b)};
  }
  static void rows4(const double* t, vi row, vd& c0, vd& c1, vd& c2, vd& c3) {
    std::int64_t k[4];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(k), row.v);
    const __m256d r0 = _mm256_loadu_pd(t + 4 * k[0]), r1 = _mm256_loadu_pd(t + 4 * k[1]);
    const __m256d r2 = _mm256_loadu_pd(t + 4 * k[2]), r3 = _mm256_loadu_pd(t + 4 * k[3]);
    // Rows 0 and 1 (2 and 3) paired within each 128-bit half, then the
    // halves exchanged.
    const __m256d lo01 = _mm256_unpacklo_pd(r0, r1), hi01 = _mm256_unpackhi_pd(r0, r1);
    const __m256d lo23 = _mm256_unpacklo_pd(r2, r3), hi23 = _mm256_unpackhi_pd(r2, r3);
    c0 = {_mm256_permute2f128_pd(lo01, lo23, 0x20)};
    c1 = {_mm256_permute2f128_pd(hi01, hi23, 0x20)};
    c2 = {_mm256_permute2f128_pd(lo01, lo23, 0x31)};
    c3 = {_mm256_permute2f128_pd(hi01, hi23, 0x31)};
  }

  // ---- Operations of the rounding, next-value, cube-root and hypot kernels.

  // Logical shifts by a count per lane; a count of 64 (32) or more, a
  // negative one read as unsigned among them, gives 0.
  static vi shift_right(vi a, vi n) { return {_mm256_srlv_epi64(a.v, n.v)}; }
  static vi shift_left(vi a, vi n) { return {_mm256_sllv_epi64(a.v, n.v)}; }
  static vu shift_right(vu a, vu n) { return {_mm_srlv_epi32(a.v, n.v)}; }

  // Rounded toward zero: the integral part with the sign kept (-0 for
  // -1 < a <= -0), infinities unchanged, a NaN for a NaN.
  static vd trunc(vd a) { return {_mm256_round_pd(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)}; }
  static vf trunc(vf a) { return {_mm_round_ps(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)}; }

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
    const __m256i low = _mm256_permutevar8x32_epi32(a.v, _mm256_set_epi32(7, 5, 3, 1, 6, 4, 2, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(low));
  }

  // The 2 * lanes 64-bit words at p (any alignment): the even-indexed ones
  // into even, the odd-indexed into odd, in order.
  static void load_interleaved(const void* p, vi& even, vi& odd) {
    const __m256i a = _mm256_loadu_si256(static_cast<const __m256i*>(p));
    const __m256i b = _mm256_loadu_si256(static_cast<const __m256i*>(p) + 1);
    even = {_mm256_permute4x64_epi64(_mm256_unpacklo_epi64(a, b), _MM_SHUFFLE(3, 1, 2, 0))};
    odd = {_mm256_permute4x64_epi64(_mm256_unpackhi_epi64(a, b), _MM_SHUFFLE(3, 1, 2, 0))};
  }

  // The masks whose lane_bits are b (bit k: lane k).
  static md md_of_bits(unsigned b) {
    const __m256i lane = _mm256_set_epi64x(8, 4, 2, 1);
    const __m256i m = _mm256_and_si256(_mm256_set1_epi64x(static_cast<std::int64_t>(b)), lane);
    return {_mm256_castsi256_pd(_mm256_cmpeq_epi64(m, lane))};
  }
  static mf mf_of_bits(unsigned b) {
    const __m128i lane = _mm_set_epi32(8, 4, 2, 1);
    const __m128i m = _mm_and_si128(_mm_set1_epi32(static_cast<std::int32_t>(b)), lane);
    return {_mm_castsi128_ps(_mm_cmpeq_epi32(m, lane))};
  }

  // ---- Free forms (the families' templates over the value type) ---------
  //
  // sqrt(v) for the templates that a family shares with its kernel, found
  // by argument-dependent lookup where the template says `using std::sqrt;
  // sqrt(v)`: sqrt above, the correctly rounded root of every lane.
  friend vd sqrt(vd a) { return {_mm256_sqrt_pd(a.v)}; }
};

}  // namespace varnel::math::batch

#endif
