// Two registers of a level per step: twice<Isa> has the interface of the
// level's own packs, with 2 Isa::lanes lanes, the low half in one register
// and the high half in the other, every operation done on each in turn.
//
// A kernel whose lanes run through a long chain of dependent operations (a
// square root, then a table's row, then a polynomial) keeps the processor
// waiting on it: the next block's chain starts only once the reorder
// window reaches it.  Over twice<Isa> the two chains are interleaved
// operation by operation, and each range test (any, all) serves both.
// Each lane still performs exactly the operations of Isa's lane.
#ifndef VARNEL_SRC_MATH_BATCH_SIMD_TWICE_HPP
#define VARNEL_SRC_MATH_BATCH_SIMD_TWICE_HPP

#include <cstdint>
#include <type_traits>

namespace varnel::math::batch {

template <class Isa> struct twice {
  static constexpr int lanes = 2 * Isa::lanes;
  static constexpr const char* name = Isa::name;

  struct vd;
  struct vi;
  struct vf;

  struct md {
    mutable typename Isa::md lo, hi;
    friend md operator&(md a, md b) { return {a.lo & b.lo, a.hi & b.hi}; }
    friend md operator|(md a, md b) { return {a.lo | b.lo, a.hi | b.hi}; }
    friend md operator~(md a) { return {~a.lo, ~a.hi}; }
    friend md andnot(md a, md b) { return {andnot(a.lo, b.lo), andnot(a.hi, b.hi)}; }
    friend unsigned lane_bits(md a) { return lane_bits(a.lo) | (lane_bits(a.hi) << Isa::lanes); }
    friend bool any(md a) { return any(a.lo | a.hi); }
    friend bool all(md a) { return all(a.lo & a.hi); }
  };

  struct vd {
    mutable typename Isa::vd lo, hi;
    friend vd operator+(vd a, vd b) { return {a.lo + b.lo, a.hi + b.hi}; }
    friend vd operator-(vd a, vd b) { return {a.lo - b.lo, a.hi - b.hi}; }
    friend vd operator*(vd a, vd b) { return {a.lo * b.lo, a.hi * b.hi}; }
    friend vd operator/(vd a, vd b) { return {a.lo / b.lo, a.hi / b.hi}; }
    friend vd operator-(vd a) { return {-a.lo, -a.hi}; }
    friend vd operator+(vd a, double b) { return {a.lo + b, a.hi + b}; }
    friend vd operator+(double a, vd b) { return {a + b.lo, a + b.hi}; }
    friend vd operator-(vd a, double b) { return {a.lo - b, a.hi - b}; }
    friend vd operator-(double a, vd b) { return {a - b.lo, a - b.hi}; }
    friend vd operator*(vd a, double b) { return {a.lo * b, a.hi * b}; }
    friend vd operator*(double a, vd b) { return {a * b.lo, a * b.hi}; }
    friend vd operator/(vd a, double b) { return {a.lo / b, a.hi / b}; }
    friend vd operator/(double a, vd b) { return {a / b.lo, a / b.hi}; }
    friend md operator<(vd a, vd b) { return {a.lo < b.lo, a.hi < b.hi}; }
    friend md operator<=(vd a, vd b) { return {a.lo <= b.lo, a.hi <= b.hi}; }
    friend md operator>(vd a, vd b) { return {a.lo > b.lo, a.hi > b.hi}; }
    friend md operator>=(vd a, vd b) { return {a.lo >= b.lo, a.hi >= b.hi}; }
    friend md operator==(vd a, vd b) { return {a.lo == b.lo, a.hi == b.hi}; }
    friend md operator!=(vd a, vd b) { return {a.lo != b.lo, a.hi != b.hi}; }
    friend md unordered(vd a, vd b) { return {unordered(a.lo, b.lo), unordered(a.hi, b.hi)}; }
    friend vd sqrt(vd a) { return {Isa::sqrt(a.lo), Isa::sqrt(a.hi)}; }
  };

  struct vi {
    mutable typename Isa::vi lo, hi;
    friend vi operator+(vi a, vi b) { return {a.lo + b.lo, a.hi + b.hi}; }
    friend vi operator-(vi a, vi b) { return {a.lo - b.lo, a.hi - b.hi}; }
    friend vi operator&(vi a, vi b) { return {a.lo & b.lo, a.hi & b.hi}; }
    friend vi operator|(vi a, vi b) { return {a.lo | b.lo, a.hi | b.hi}; }
    friend vi operator^(vi a, vi b) { return {a.lo ^ b.lo, a.hi ^ b.hi}; }
    friend vi operator<<(vi a, int n) { return {a.lo << n, a.hi << n}; }
    friend vi operator>>(vi a, int n) { return {a.lo >> n, a.hi >> n}; }  // logical
    friend md operator==(vi a, vi b) { return {a.lo == b.lo, a.hi == b.hi}; }
    friend md operator>(vi a, vi b) { return {a.lo > b.lo, a.hi > b.hi}; }  // signed
    friend md operator<(vi a, vi b) { return {a.lo < b.lo, a.hi < b.hi}; }
  };

  // Floats, one per double lane: loaded, stored, widened and narrowed only
  // (for the float members that compute in binary64).
  struct vf {
    mutable typename Isa::vf lo, hi;
  };

  static vd load(const double* p) { return {Isa::load(p), Isa::load(p + Isa::lanes)}; }
  static void store(double* p, vd a) {
    Isa::store(p, a.lo);
    Isa::store(p + Isa::lanes, a.hi);
  }
  static vf load(const float* p) { return {Isa::load(p), Isa::load(p + Isa::lanes)}; }
  static void store(float* p, vf a) {
    Isa::store(p, a.lo);
    Isa::store(p + Isa::lanes, a.hi);
  }

  static vd splat(double a) { return {Isa::splat(a), Isa::splat(a)}; }
  static vi splat(std::int64_t a) { return {Isa::splat(a), Isa::splat(a)}; }

  static vi bits(vd a) { return {Isa::bits(a.lo), Isa::bits(a.hi)}; }
  static vd from_bits(vi a) { return {Isa::from_bits(a.lo), Isa::from_bits(a.hi)}; }
  static md mask_of(vi a) { return {Isa::mask_of(a.lo), Isa::mask_of(a.hi)}; }

  static vd select(md m, vd b, vd a) { return {Isa::select(m.lo, b.lo, a.lo), Isa::select(m.hi, b.hi, a.hi)}; }
  static vi select(md m, vi b, vi a) { return {Isa::select(m.lo, b.lo, a.lo), Isa::select(m.hi, b.hi, a.hi)}; }

  static vd sqrt(vd a) { return {Isa::sqrt(a.lo), Isa::sqrt(a.hi)}; }

  static vd widen(vf a) { return {Isa::widen(a.lo), Isa::widen(a.hi)}; }
  static vf narrow(vd a) { return {Isa::narrow(a.lo), Isa::narrow(a.hi)}; }

  static vd gather(const double* t, vi i) { return {Isa::gather(t, i.lo), Isa::gather(t, i.hi)}; }
  static void rows2(const double* t, vi row, vd& c0, vd& c1) {
    Isa::rows2(t, row.lo, c0.lo, c1.lo);
    Isa::rows2(t, row.hi, c0.hi, c1.hi);
  }
  static void rows4(const double* t, vi row, vd& c0, vd& c1, vd& c2, vd& c3) {
    Isa::rows4(t, row.lo, c0.lo, c1.lo, c2.lo, c3.lo);
    Isa::rows4(t, row.hi, c0.hi, c1.hi, c2.hi, c3.hi);
  }
};

// The packs of the kernels whose lanes run a long chain of dependent
// operations: four registers per step at the levels with sixteen registers
// of two or four lanes (SSE2, AVX2), two at AVX-512F, whose thirty-two
// registers hold eight.
template <class Isa> using interleaved = std::conditional_t<(Isa::lanes >= 8), twice<Isa>, twice<twice<Isa>>>;

}  // namespace varnel::math::batch

#endif
