// sin x over lanes on [0, pi/2]: the scalar sin's three ranges, x itself
// below 2^-26, the polynomial (pd::sin_small) below 0.25 and the table of
// sin(j/64), cos(j/64) (pd::sin_table_sum) above, each evaluated only when
// some lane needs it.
//
//   lanes::sin<Isa>(x)
//     covers x in [0, pi/2] (-0 included, which comes back as -0; pi/2
//            rounded, 1.5707963267948966, is the top), the range of the
//            gamma functions' reflection, sin(d pi) with d in [0, 1/2];
//     rare:  every other x, NaN included (the scalar sin asserts the range).
#ifndef VARNEL_SRC_MATH_BATCH_ELEMENTARY_SIN_HPP
#define VARNEL_SRC_MATH_BATCH_ELEMENTARY_SIN_HPP

#include <varnel/math/constants.hpp>

#include "lanes.hpp"

namespace varnel::math::batch::lanes {

template <class Isa> VARNEL_LANES_INLINE result_d<Isa> sin(typename Isa::vd x) {
  using vd = typename Isa::vd;
  using vi = typename Isa::vi;
  using md = typename Isa::md;
  // pi/2 rounded: the halving of pi rounded is exact.
  const md domain = (x >= Isa::splat(0.0)) & (x <= Isa::splat(constants::pi<double>() / 2));
  const md small = x < Isa::splat(0.25);
  const md polynomial = andnot(small & domain, x < Isa::splat(0x1p-26));
  const md table = andnot(domain, small);
  vd y = x;  // below 2^-26 sin x rounds to x
  if (any(polynomial)) y = Isa::select(polynomial, pd::sin_small(x), y);
  if (any(table)) {
    // Lanes off the table's range read row 0: j = 16 for x = 0.25.  On the
    // others j runs from 16 to 101, and the scalar code's clamp never acts.
    const vd xt = Isa::select(table, x, Isa::splat(0.25));
    const vd j_shifted = pd::sin_shifted(xt);
    const vd d = pd::sin_remainder(xt, j_shifted);
    const vi row = (Isa::bits(j_shifted) - lanes_of<Isa>(pd::bits(pd::round_shift))) - lanes_of<Isa>(pd::sin_first_row);
    vd sin_hi, sin_lo, cos_hi, cos_lo;
    columns<Isa>(pd::sin_table, row, sin_hi, sin_lo, cos_hi, cos_lo);
    const vd t = pd::sin_table_sum(d, sin_hi, sin_lo, cos_hi, cos_lo);
    y = Isa::select(table, t, y);
  }
  return {y, ~domain};
}

}  // namespace varnel::math::batch::lanes

#endif
