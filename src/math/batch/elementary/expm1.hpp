// e^x - 1 over lanes, in double and in float: the scalar expm1's ranges as
// masks, each range's formula evaluated only when some lane needs it.
//
//   lanes::expm1<Isa>(x), x a pack of doubles
//     covers x < 512: |x| < 2^-54 (x itself, zeros and subnormals too),
//            2^-54 <= |x| < 0.35 (pd::expm1_small_sum), 0.35 <= |x| < 512
//            (exp's table: pd::expm1_q, pd::product_error, pd::expm1_sum)
//            and x <= -512, -infinity too (-1);
//     rare:  x >= 512, +infinity and NaN (the scalar expm1_special: exp_large
//            up to 709.78, overflow with ERANGE beyond).
//
//   lanes::expm1<Isa>(x), x a pack of floats (the lanes of Isa::vf)
//     covers x <= 88.72283172607422: |x| < 2^-25 (x itself), the binary64
//            path (pd::expm1f_sum) up to that bound in magnitude, and
//            x below -88.72283, -infinity too (-1);
//     rare:  x above 88.72283 (overflow with ERANGE), +infinity and NaN.
#ifndef VARNEL_SRC_MATH_BATCH_ELEMENTARY_EXPM1_HPP
#define VARNEL_SRC_MATH_BATCH_ELEMENTARY_EXPM1_HPP

#include "exp.hpp"
#include "lanes.hpp"

namespace varnel::math::batch::lanes {

// The table path, 0.35 <= |x| < 512 (exp's reduction: pd::expm1_q,
// pd::product_error, pd::expm1_sum).
template <class Isa> VARNEL_LANES_INLINE typename Isa::vd expm1_table(typename Isa::vd x) {
  using vd = typename Isa::vd;
  const exp_step<Isa> s = exp_reduce<Isa>(x);
  const vd rhi = x - s.kd * pd::exp_step_hi;  // exact
  const vd rlo = s.kd * -pd::exp_step_lo;
  const vd q = pd::expm1_q(s.tail, rhi + rlo);
  const vd sh = high_half<Isa>(s.scale);
  const vd rh = high_half<Isa>(rhi);
  const vd u = s.scale * rhi;
  const vd eu = pd::product_error(sh, s.scale - sh, rh, rhi - rh, u);
  // scale - 1 = a + ea exactly, 1 the smaller term from k = 0 up (x >= 0).
  const vd a = s.scale - 1.0;
  const vd ea = Isa::select(x >= Isa::splat(0.0), (s.scale - a) - 1.0, s.scale - (a + 1.0));
  return pd::expm1_sum(a, ea, u, eu, s.scale, rlo, q);
}

template <class Isa> VARNEL_LANES_INLINE result_d<Isa> expm1(typename Isa::vd x) {
  using vd = typename Isa::vd;
  using md = typename Isa::md;
  const vd ax = magnitude<Isa>(x);
  // Most often every lane takes the table; below 0.35 the series, below
  // 2^-54 x itself.
  const md low = ax < Isa::splat(0.35);
  vd y;
  if (!any(low)) {
    y = expm1_table<Isa>(x);
  } else {
    y = Isa::select(ax < Isa::splat(0x1p-54), x, pd::expm1_small_sum(x, high_half<Isa>(x)));
    const md high = ax >= Isa::splat(0.35);
    if (any(high)) y = Isa::select(high, expm1_table<Isa>(x), y);
  }
  // From 512 up in magnitude, and NaN: -1 below -512 (-1 + e^x rounds to
  // -1), the rest rare.
  const md inside = ax < Isa::splat(512.0);
  md rare{};
  if (!all(inside)) {
    const md minus_one = x <= Isa::splat(-512.0);
    y = Isa::select(minus_one, Isa::splat(-1.0), y);
    rare = ~(inside | minus_one);
  }
  return {y, rare};
}

template <class Isa> VARNEL_LANES_INLINE result_f<Isa> expm1(typename Isa::vf x) {
  using vd = typename Isa::vd;
  using md = typename Isa::md;
  const float above = pd::expm1f_overflow_above;
  // The comparisons on the binary64 values, which widening keeps exactly.
  const vd xd = Isa::widen(x);
  const vd ax = magnitude<Isa>(xd);
  const exp_step<Isa> s = exp_reduce<Isa>(xd);
  vd y = pd::expm1f_sum(pd::exp_remainder(xd, s.kd), s.scale);
  const md fast = (ax >= Isa::splat(static_cast<double>(0x1p-25f))) & (ax <= Isa::splat(static_cast<double>(above)));
  typename Isa::mf rare{};
  if (!all(fast)) {
    // Below 2^-25 in magnitude x itself, below -88.72 -1; above 88.72 and
    // NaN rare.
    y = Isa::select(fast, y, Isa::select(xd < Isa::splat(-static_cast<double>(above)), Isa::splat(-1.0), xd));
    rare = (x > Isa::splat(above)) | unordered(x, x);
  }
  // One rounding to float, as the scalar static_cast; x and -1 come back
  // exactly.
  return {Isa::narrow(y), rare};
}

}  // namespace varnel::math::batch::lanes

#endif
