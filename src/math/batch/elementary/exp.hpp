// e^x over lanes: the scalar exp's main path (pd::exp_reduce, the table of
// 2^(j/128), pd::exp_tmp), lane by lane.
//
//   lanes::exp<Isa>(x)
//     covers |x| < 512, where e^x is normal and finite;
//     rare:  |x| >= 512, infinities and NaN (the scalar exp_large: overflow,
//            underflow into the subnormals and to zero, NaN).
//
// exp_step and exp_reduce are shared by pow, expm1 and the float expm1.
#ifndef VARNEL_SRC_MATH_BATCH_ELEMENTARY_EXP_HPP
#define VARNEL_SRC_MATH_BATCH_ELEMENTARY_EXP_HPP

#include "lanes.hpp"

namespace varnel::math::batch::lanes {

// The reduction of pd::exp_reduce, with the table entry read: k as a
// double, the scale 2^(k >> 7) 2^((k & 127)/128) (its pattern: the
// entry's hi with (k >> 7) added to the exponent) and the entry's tail.
// Valid where the scalar code takes the table path (|x| < 512); elsewhere
// the values are garbage, but every index stays inside the table.
template <class Isa> struct exp_step { typename Isa::vd kd, scale, tail; };

template <class Isa> VARNEL_LANES_INLINE exp_step<Isa> exp_reduce(typename Isa::vd x) {
  using vd = typename Isa::vd;
  using vi = typename Isa::vi;
  const vd kd_shifted = pd::exp_shifted(x);
  const vi ki = Isa::bits(kd_shifted);  // 0x4338000000000000 + k
  const vi j = ki & lanes_of<Isa>(127);
  vd hi, tail;
  columns<Isa>(pd::exp_table, j, hi, tail);
  const vd scale = Isa::from_bits(Isa::bits(hi) + ((ki >> 7) << 52));
  return {kd_shifted - pd::round_shift, scale, tail};
}

template <class Isa> VARNEL_LANES_INLINE result_d<Isa> exp(typename Isa::vd x) {
  using vd = typename Isa::vd;
  const auto rare = ~(magnitude<Isa>(x) < Isa::splat(512.0));  // NaN too
  const exp_step<Isa> s = exp_reduce<Isa>(x);
  const vd tmp = pd::exp_tmp(s.tail, pd::exp_remainder(x, s.kd));
  return {s.scale + s.scale * tmp, rare};
}

}  // namespace varnel::math::batch::lanes

#endif
