// Coefficient tables chosen per lane, for the kernels whose lanes evaluate
// different tables of one rational function at once (erf's intervals,
// lgamma's three ranges near 1 and 2).
//
// split_horner's sequence depends on the length of the table only through
// its parity: a table padded with zeros on top, by an even number of
// entries, runs the longer sequence with exactly the results of its own
// (the extra steps are 0*w + c = c, for the finite w = z*z of the lanes
// that use the table and its nonzero c).  So tables of one parity share one
// evaluation, each lane with the columns of its own table.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_TABLES_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_TABLES_HPP

#include <cstddef>

#include "../elementary/lanes.hpp"

namespace varnel::math::batch {

// Entry k of a table, 0 beyond its end.
template <std::size_t N> constexpr double entry_or_zero(const double (&t)[N], std::size_t k) {
  return k < N ? t[k] : 0.0;
}

// The columns c[k]: table a's entries in the lanes of in_a, b's elsewhere.
template <class Isa, std::size_t M, std::size_t A, std::size_t B>
VARNEL_LANES_INLINE void choose(typename Isa::vd (&c)[M], typename Isa::md in_a, const double (&a)[A],
                                const double (&b)[B]) {
  static_assert(M >= A && M >= B && (M - A) % 2 == 0 && (M - B) % 2 == 0, "padding keeps the parity");
  for (std::size_t k = 0; k < M; ++k) {
    c[k] = Isa::select(in_a, Isa::splat(entry_or_zero(a, k)), Isa::splat(entry_or_zero(b, k)));
  }
}

// The same of three tables: a in the lanes of in_a, b in those of in_b,
// rest elsewhere.
template <class Isa, std::size_t M, std::size_t A, std::size_t B, std::size_t C>
VARNEL_LANES_INLINE void choose(typename Isa::vd (&c)[M], typename Isa::md in_a, const double (&a)[A],
                                typename Isa::md in_b, const double (&b)[B], const double (&rest)[C]) {
  static_assert(M >= A && M >= B && M >= C && (M - A) % 2 == 0 && (M - B) % 2 == 0 && (M - C) % 2 == 0,
                "padding keeps the parity");
  for (std::size_t k = 0; k < M; ++k) {
    c[k] = Isa::select(in_a, Isa::splat(entry_or_zero(a, k)),
                       Isa::select(in_b, Isa::splat(entry_or_zero(b, k)), Isa::splat(entry_or_zero(rest, k))));
  }
}

}  // namespace varnel::math::batch

#endif
