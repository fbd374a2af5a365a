// ln x over lanes: the scalar log's two ways of adding the parts, the exact
// sum (pd::log_core_reduce, pd::log_core_sum) for x in [0.354, 2.83), the
// main path (pd::log_fast_sum) elsewhere, each evaluated only when some lane needs it.
//
//   lanes::log<Isa>(x)
//     covers every positive normal x (2^-1022 <= x < +infinity);
//     rare:  zeros, subnormals, negative x, +-infinity and NaN (the scalar
//            log_special).
//
// log_cell, log_reduce and log_row are shared by pow and log1p; log_near_one
// and log_main serve kernels that know when every lane takes the main path.
#ifndef VARNEL_SRC_MATH_BATCH_ELEMENTARY_LOG_HPP
#define VARNEL_SRC_MATH_BATCH_ELEMENTARY_LOG_HPP

#include <limits>

#include "lanes.hpp"

namespace varnel::math::batch::lanes {

// The cell of pd::log_reduce for the pattern ix: k as a double, z = x 2^-k
// and the row (always inside the table, whatever ix holds).
template <class Isa> struct log_cell {
  typename Isa::vd kd, z;
  typename Isa::vi row;
};

template <class Isa> VARNEL_LANES_INLINE log_cell<Isa> log_reduce(typename Isa::vi ix) {
  using vi = typename Isa::vi;
  const vi t = ix - lanes_of<Isa>(pd::log_offset);
  const auto z = Isa::from_bits(ix - (t & lanes_of<Isa>(0xFFF0000000000000u)));
  const vi row = (t >> pd::log_index_shift) & lanes_of<Isa>(pd::log_cells - 1);
  return {small_to_double<Isa>(top12_signed<Isa>(t)), z, row};
}

// The entries of pd::log_table at the cell's rows, and f = z - c (exact).
template <class Isa> struct log_row { typename Isa::vd c, invc, log_c_hi, log_c_lo, f; };

template <class Isa> VARNEL_LANES_INLINE log_row<Isa> log_entries(const log_cell<Isa>& cell) {
  static_assert(sizeof(pd::log_table) / sizeof(pd::log_table[0]) == pd::log_cells, "the row mask");
  log_row<Isa> e;
  columns<Isa>(pd::log_table, cell.row, e.c, e.invc, e.log_c_hi, e.log_c_lo);
  e.f = cell.z - e.c;
  return e;
}

// pd::log_core for k_offset = 0, as w + lo; z_error as there (unused
// without with_error).
template <bool with_error, class Isa>
VARNEL_LANES_INLINE pd::log_parts_of<typename Isa::vd> log_core(const log_cell<Isa>& cell, const log_row<Isa>& e,
                                                                typename Isa::vd z_error) {
  typename Isa::vd invc_hi, invc_lo;
  columns<Isa>(pd::log_invc_split, cell.row, invc_hi, invc_lo);
  const auto r = pd::log_core_reduce<with_error>(e.f, e.invc, invc_hi, invc_lo, z_error);
  return pd::log_core_sum(r.rhi, r.rlo, r.r, cell.kd, e.log_c_hi, e.log_c_lo);
}

// k = -1, 0 or 1 (x from 0.354 to 2.83), where log takes the exact sum:
// the patterns from log_offset - 2^52 up to log_offset + 2^53, the scalar
// test's range, as comparisons (false for a NaN).
VARNEL_LANES_INLINE double log_near_one_start() { return pd::from_bits(pd::log_offset - (std::uint64_t{1} << 52)); }
VARNEL_LANES_INLINE double log_near_one_end() { return pd::from_bits(pd::log_offset + (std::uint64_t{2} << 52)); }

template <class Isa> VARNEL_LANES_INLINE typename Isa::md log_near_one(typename Isa::vd x) {
  return (x >= Isa::splat(log_near_one_start())) & (x < Isa::splat(log_near_one_end()));
}

// log's main path (pd::log_fast_sum) from the cell and its row: the value
// on the positive normal lanes outside log_near_one.
template <class Isa> VARNEL_LANES_INLINE typename Isa::vd log_main(const log_cell<Isa>& cell, const log_row<Isa>& e) {
  return pd::log_fast_sum(e.f * e.invc, cell.kd, e.log_c_hi, e.log_c_lo);
}

template <class Isa> VARNEL_LANES_INLINE result_d<Isa> log(typename Isa::vd x) {
  using vd = typename Isa::vd;
  using md = typename Isa::md;
  // Positive normal x: the scalar test on the pattern, as comparisons
  // (false for a NaN).
  const md normal =
      (x >= Isa::splat(std::numeric_limits<double>::min())) & (x < Isa::splat(std::numeric_limits<double>::infinity()));
  const md near = log_near_one<Isa>(x);
  const md far = andnot(normal, near);
  const log_cell<Isa> cell = log_reduce<Isa>(Isa::bits(x));
  const log_row<Isa> e = log_entries<Isa>(cell);
  vd y = x;
  if (any(far)) y = log_main<Isa>(cell, e);
  if (any(near)) {
    const auto l = log_core<false>(cell, e, x);
    y = Isa::select(near, l.w + l.lo, y);
  }
  return {y, ~normal};
}

}  // namespace varnel::math::batch::lanes

#endif
