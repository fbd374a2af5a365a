// x^y over lanes on the gamma functions' box: the scalar pow, e^(y log x)
// with log x as the double-double of pd::log_core_sum, y log x split
// exactly (pd::product_error) and the exponential of the double-double
// (the scalar exp_dd's main path).
//
//   lanes::pow<Isa>(x, y)
//     covers x in [5.5, 261] and y in [-0.5, 142] (x = z + g - 1/2 and
//            y = z - 1/2 or z/2 - 1/4 for the Lanczos sums' z from 2^-26 to
//            about 255, where the scalar pow is defined), wherever
//            y log x < 708;
//     rare:  every other x or y, NaN included (the scalar pow asserts the
//            box; outside it only a NaN has a defined result), and
//            y log x >= 708, where the scalar code takes exp_large
//            (overflow from 709.78).
#ifndef VARNEL_SRC_MATH_BATCH_ELEMENTARY_POW_HPP
#define VARNEL_SRC_MATH_BATCH_ELEMENTARY_POW_HPP

#include "exp.hpp"
#include "lanes.hpp"
#include "log.hpp"

namespace varnel::math::batch::lanes {

template <class Isa> VARNEL_LANES_INLINE result_d<Isa> pow(typename Isa::vd x, typename Isa::vd y) {
  using vd = typename Isa::vd;
  using md = typename Isa::md;
  const md in_box =
      ((x >= Isa::splat(5.5)) & (x <= Isa::splat(261.0))) & ((y >= Isa::splat(-0.5)) & (y <= Isa::splat(142.0)));
  const log_cell<Isa> cell = log_reduce<Isa>(Isa::bits(x));
  const auto l = log_core<false>(cell, log_entries<Isa>(cell), x);
  // y w = a_hi + a_err exactly; y lo folded into the high part (see the
  // scalar pow).
  const vd a_hi = y * l.w;
  const vd yh = high_half<Isa>(y);
  const vd wh = high_half<Isa>(l.w);
  const vd a_err = pd::product_error(yh, y - yh, wh, l.w - wh, a_hi);
  const vd a_lo = a_err + y * l.lo;
  const vd a = a_hi + a_lo;
  const vd a_tail = a_lo - (a - a_hi);
  // exp_dd: e^(a + a_tail), below 708 by the table.
  const md large = ~(a < Isa::splat(708.0));
  const exp_step<Isa> s = exp_reduce<Isa>(a);
  const vd tmp = pd::exp_tmp(s.tail, pd::exp_remainder(a, a_tail, s.kd));
  return {s.scale + s.scale * tmp, ~in_box | large};
}

}  // namespace varnel::math::batch::lanes

#endif
