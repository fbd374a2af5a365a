// ln(1 + x) over lanes, in double and in float: the scalar log1p's ranges
// as masks, each range's formula evaluated only when some lane needs it.
// The table rows of log's reduction of u = 1 + x are read once for both
// ranges of the double member.
//
//   lanes::log1p<Isa>(x), x a pack of doubles
//     covers -1 < x < +infinity: |x| < 2^-30 (pd::log1p_tiny: zeros and
//            subnormals come back unchanged), u = 1 + x in [0.708, 1.416)
//            (pd::log1p_near_one_sum) and the rest through the rounding
//            error of 1 + x (pd::one_plus_error, pd::log_core_sum);
//     rare:  x <= -1 (the pole with ERANGE, EDOM below), +infinity and NaN.
//
//   lanes::log1p<Isa>(x), x a pack of floats (the lanes of Isa::vf)
//     covers -1 < x < +infinity: |x| < 2^-25 (x itself), the rest in
//            binary64 (pd::log1pf_sum), rounded once;
//     rare:  x <= -1, +infinity and NaN.
#ifndef VARNEL_SRC_MATH_BATCH_ELEMENTARY_LOG1P_HPP
#define VARNEL_SRC_MATH_BATCH_ELEMENTARY_LOG1P_HPP

#include <limits>

#include "lanes.hpp"
#include "log.hpp"

namespace varnel::math::batch::lanes {

// The wide form, for x beyond 2^-30 in magnitude where k != 0 (and at
// log1p_inexact_at): log of u = 1 + x rounded (t its pattern minus
// log_offset), the error of 1 + x added in z's units, c 2^-k, the scale
// held at 2^-1000 from k = 1000 up.
template <class Isa> VARNEL_LANES_INLINE typename Isa::vd log1p_wide(typename Isa::vd x, typename Isa::vd u,
                                                                     typename Isa::vi t, const log_cell<Isa>& cell,
                                                                     const log_row<Isa>& e) {
  using vi = typename Isa::vi;
  const vi k = top12_signed<Isa>(t);
  const vi limit = lanes_of<Isa>(1000);
  const auto scale = Isa::from_bits((lanes_of<Isa>(1023) - Isa::select(k > limit, limit, k)) << 52);
  const auto l = log_core<true>(cell, e, pd::one_plus_error(x, u) * scale);
  return l.w + l.lo;
}

template <class Isa> VARNEL_LANES_INLINE result_d<Isa> log1p(typename Isa::vd x) {
  using vd = typename Isa::vd;
  using vi = typename Isa::vi;
  using md = typename Isa::md;
  const vd u = 1.0 + x;
  const vi iu = Isa::bits(u);
  const vi t = iu - lanes_of<Isa>(pd::log_offset);
  const log_cell<Isa> cell = log_reduce<Isa>(iu);
  const log_row<Isa> e = log_entries<Isa>(cell);
  // Most often no lane has k = 0 (u in [offset, 2 offset): t below 2^52),
  // and every lane takes the wide form.
  const md k_zero = (t >> 52) == lanes_of<Isa>(0);
  vd y;
  if (!any(k_zero)) {
    y = log1p_wide<Isa>(x, u, t, cell, e);
  } else {
    // k = 0: the direct form, except where u is log1p_inexact_at; below
    // 2^-30 in magnitude the series.
    const md tiny = magnitude<Isa>(x) < Isa::splat(0x1p-30);
    const md exception = t == lanes_of<Isa>(pd::bits(pd::log1p_inexact_at) - pd::log_offset);
    const md near = andnot(k_zero, exception | tiny);
    // The row is t >> 44 there (t < 2^52).
    const vd delta = column<Isa>(pd::log_delta, cell.row);
    y = Isa::select(near, pd::log1p_near_one_sum(x, e.c, e.invc, e.log_c_hi, e.log_c_lo, delta), pd::log1p_tiny(x));
    const md wide = ~(near | tiny);
    if (any(wide)) y = Isa::select(wide, log1p_wide<Isa>(x, u, t, cell, e), y);
  }
  // x <= -1 (-infinity too), +infinity and NaN: rare.
  const md inside = (x > Isa::splat(-1.0)) & (x < Isa::splat(std::numeric_limits<double>::infinity()));
  return {y, ~inside};
}

template <class Isa> VARNEL_LANES_INLINE result_f<Isa> log1p(typename Isa::vf x) {
  using vd = typename Isa::vd;
  using md = typename Isa::md;
  const vd xd = Isa::widen(x);
  const log_cell<Isa> cell = log_reduce<Isa>(Isa::bits(1.0 + xd));
  const log_row<Isa> e = log_entries<Isa>(cell);
  vd y = pd::log1pf_sum(e.f * e.invc, cell.kd, e.log_c_hi, e.log_c_lo);
  const md inside = (xd > Isa::splat(-1.0)) & (xd < Isa::splat(std::numeric_limits<double>::infinity()));
  const md fast = inside & (magnitude<Isa>(xd) >= Isa::splat(static_cast<double>(0x1p-25f)));
  typename Isa::mf rare{};
  if (!all(fast)) {
    // Below 2^-25 in magnitude x itself; x <= -1, +infinity and NaN rare.
    y = Isa::select(fast, y, xd);
    rare = ((x <= Isa::splat(-1.0f)) | (x == Isa::splat(std::numeric_limits<float>::infinity()))) | unordered(x, x);
  }
  // One rounding to float, as the scalar static_cast; x comes back exactly.
  return {Isa::narrow(y), rare};
}

}  // namespace varnel::math::batch::lanes

#endif
