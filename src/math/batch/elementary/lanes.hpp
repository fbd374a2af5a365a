// The lane forms of the library's own elementary functions
// (include/varnel/math/elementary/portable.hpp): e^x, ln x, x^y, sin x,
// e^x - 1 and ln(1 + x) over the lanes of one instruction-set level, for
// the kernels of the families that call them.
//
// The contract.  Each function takes packs of the level (Isa::vd, or
// Isa::vf for the float members) and returns a lane_result: the packed
// results and the mask of the lanes it did not compute, its rare lanes.  On
// every other lane the value is, bit for bit, what the scalar function
// returns for that lane's argument: the same reduction, the same table
// entries (read per lane), the same polynomial evaluated in the same order; the
// straight-line steps are the scalar code's own templates
// (elementary::portable::detail), instantiated for the packs.  What a rare
// lane holds is unspecified: the caller must take such a lane elsewhere,
// normally by marking its own argument rare, so that the driver redoes it
// through the scalar family.
//
// Rare lanes are the arguments of the scalar function's out-of-line
// branches (NaN, infinities, subnormals, huge or tiny arguments, exp's
// large range) and every argument outside the documented domain of pow and
// sin.  The lane forms never read or write errno: where the scalar expm1 or
// log1p would report an error, the lane is rare.  What each function
// covers is said beside it, in its header.
//
// A lane whose result the caller will discard still takes part in the
// computation: it may open a range (an any() test) or come back rare.
// Callers that evaluate a function only on some lanes should give the
// others a harmless argument, select(used, x, splat(1.0)) say, and combine
// the returned mask with the lanes they use.
//
// Layering: these headers use the packs (simd/) and the scalar code's
// tables and templates only; kernels (kernels/) use them.
#ifndef VARNEL_SRC_MATH_BATCH_ELEMENTARY_LANES_HPP
#define VARNEL_SRC_MATH_BATCH_ELEMENTARY_LANES_HPP

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include <varnel/math/elementary/portable.hpp>

// Every lane form and helper is inlined into the kernel that calls it, and
// the kernel into the driver's loop.  GCC leaves a large function called
// twice out of line, and a call passes every pack and result through
// memory.
#define VARNEL_LANES_INLINE inline __attribute__((always_inline))

namespace varnel::math::batch::lanes {

namespace pd = varnel::math::elementary::portable::detail;

// The results of a lane form, and the lanes it did not compute.
template <class V, class M> struct lane_result {
  V value;
  M rare;
};
template <class Isa> using result_d = lane_result<typename Isa::vd, typename Isa::md>;
template <class Isa> using result_f = lane_result<typename Isa::vf, typename Isa::mf>;

// A 64-bit constant in every lane (the packs' splat has a 32-bit overload
// too, which a plain int literal would pick).
template <class Isa> VARNEL_LANES_INLINE typename Isa::vi lanes_of(std::uint64_t v) {
  return Isa::splat(static_cast<std::int64_t>(v));
}

// |x|: the sign bit cleared, as the scalar code does on the pattern.
template <class Isa> VARNEL_LANES_INLINE typename Isa::vd magnitude(typename Isa::vd x) {
  return Isa::from_bits(Isa::bits(x) & lanes_of<Isa>(~pd::sign_bit));
}

// The high half of a split: the low 27 bits of the pattern cleared
// (pd::split_mask), as the scalar code's Dekker products take it.
template <class Isa> VARNEL_LANES_INLINE typename Isa::vd high_half(typename Isa::vd x) {
  return Isa::from_bits(Isa::bits(x) & lanes_of<Isa>(pd::split_mask));
}

// The double of an integer k with |k| < 2^51, exactly: 1.5 2^52 + k is
// exact and has k in its low bits (see pd::round_shift), and the
// subtraction of 1.5 2^52 is exact too.  The same value as the scalar
// code's static_cast<double>(k).
template <class Isa> VARNEL_LANES_INLINE typename Isa::vd small_to_double(typename Isa::vi k) {
  return Isa::from_bits(k + lanes_of<Isa>(pd::bits(pd::round_shift))) - Isa::splat(pd::round_shift);
}

// The top 12 bits of t as a signed integer: static_cast<std::int64_t>(t)
// >> 52, the arithmetic shift, which the packs do not have (AVX2 lacks it
// for 64-bit lanes): the logical shift, then the sign of bit 11 extended.
template <class Isa> VARNEL_LANES_INLINE typename Isa::vi top12_signed(typename Isa::vi t) {
  return ((t >> 52) ^ lanes_of<Isa>(0x800)) - lanes_of<Isa>(0x800);
}

// The columns of a table whose rows are structs of two or four doubles, at
// the rows given per lane (Isa::rows2, Isa::rows4: whole rows loaded and
// transposed); one column of a plain array of doubles (a gather).  Every
// row index must lie inside the table, rare lanes included: callers mask
// or clamp it first.
template <class Row, std::size_t W> constexpr bool rows_of_doubles = std::is_trivially_copyable_v<Row> &&
                                                                     sizeof(Row) == W * sizeof(double);

template <class Isa, class Row, std::size_t N>
VARNEL_LANES_INLINE void columns(const Row (&table)[N], typename Isa::vi row, typename Isa::vd& c0,
                                 typename Isa::vd& c1) {
  static_assert(rows_of_doubles<Row, 2>, "rows of two doubles");
  Isa::rows2(reinterpret_cast<const double*>(table), row, c0, c1);
}

template <class Isa, class Row, std::size_t N>
VARNEL_LANES_INLINE void columns(const Row (&table)[N], typename Isa::vi row, typename Isa::vd& c0,
                                 typename Isa::vd& c1, typename Isa::vd& c2, typename Isa::vd& c3) {
  static_assert(rows_of_doubles<Row, 4>, "rows of four doubles");
  Isa::rows4(reinterpret_cast<const double*>(table), row, c0, c1, c2, c3);
}

template <class Isa, std::size_t N>
VARNEL_LANES_INLINE typename Isa::vd column(const double (&table)[N], typename Isa::vi row) {
  return Isa::gather(table, row);
}

}  // namespace varnel::math::batch::lanes

#endif
