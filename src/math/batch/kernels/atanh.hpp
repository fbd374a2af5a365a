// atanh and atanhf: the family's ranges as masks on a = |x|, the float
// member through the binary64 lanes.
//
//   covers -1 < x < 1: |x| < 2^-26 (x itself, zeros too), up to 2^-13
//          (x + x^3/3), up to 0.5 (half the difference of log1p(x) and
//          log1p(-x)) and beyond (half the log of (1 + x)/(1 - x));
//   rare:  |x| > 1 and NaN (EDOM), the poles +-1 (ERANGE), subnormals (the
//          report of a subnormal result), every lane the lane forms leave,
//          and for atanhf every result outside float's normal range (a
//          subnormal float x).
//
// Each range is evaluated when some lane needs it.  Over [-1, 1] the two
// halves mix in almost every block, which then pays for one log and two
// log1p: one register per step, since twice the packs would only mix them
// more.  At two and four lanes that costs more than the scalar function
// per element (uniform on (-1, 1): 13.1 and 8.7 ns against 7.0 ns), so
// those levels keep the scalar function; eight lanes gain (5.1 ns).
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_ATANH_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_ATANH_HPP

#include <limits>

#include <varnel/math/special_functions/atanh.hpp>
#include <varnel/math/tools/limits.hpp>

#include "../elementary/log.hpp"
#include "../elementary/log1p.hpp"
#include "common_case.hpp"
#include "kernel.hpp"

namespace varnel::math::batch {

template <class P> VARNEL_LANES_INLINE lanes::result_d<P> atanh_lanes(typename P::vd x) {
  using vd = typename P::vd;
  using md = typename P::md;
  namespace vmd = varnel::math::detail;
  const vd a = lanes::magnitude<P>(x);
  md rare = ~(a < P::splat(1.0));
  vd r = x;
  // From 0.5 up: the quotient lies beyond [0.354, 2.83), where log takes
  // its main path (tested all the same); the other lanes take 3, at 0.5.
  const md upper = (a >= P::splat(0.5)) & (a < P::splat(1.0));
  if (any(upper)) {
    const vd q = P::select(upper, vmd::atanh_quotient(x), P::splat(3.0));
    if (any(lanes::log_near_one<P>(q))) {
      const auto l = lanes::log<P>(q);
      rare = rare | (upper & l.rare);
      r = l.value / 2.0;
    } else {
      const lanes::log_cell<P> cell = lanes::log_reduce<P>(P::bits(q));
      r = lanes::log_main<P>(cell, lanes::log_entries<P>(cell)) / 2.0;
    }
  }
  // Below 0.5: x itself below 2^-26 (subnormals rare), x + x^3/3 below
  // 2^-13, the log1p form above.
  const md lower = a < P::splat(0.5);
  if (any(lower)) {
    rare = rare | (lower & (a < P::splat(std::numeric_limits<double>::min())) & (a != P::splat(0.0)));
    const md middle = lower & (a >= P::splat(tools::fourth_root_epsilon<double>()));
    const md small = andnot(lower, middle) & (a >= P::splat(tools::root_epsilon<double>()));
    vd s = x;
    if (any(small)) s = P::select(small, x + ((x * x) * x) / 3.0, s);  // as atanh_eval
    if (any(middle)) {
      // The other lanes take x = 0.25.
      const vd xm = P::select(middle, x, P::splat(0.25));
      const auto p = lanes::log1p<P>(xm);
      const auto m = lanes::log1p<P>(-xm);
      rare = rare | (middle & (p.rare | m.rare));
      s = P::select(middle, vmd::atanh_log1p_halves(p.value, m.value), s);
    }
    r = P::select(lower, s, r);
  }
  return {r, rare};
}

template <class P> struct atanh_kernel {
  static constexpr bool vectorised = P::lanes > 4;
  using pack = P;
  VARNEL_LANES_INLINE static typename P::vd eval(typename P::vd x, unsigned& rare) {
    const lanes::result_d<P> y = atanh_lanes<P>(x);
    rare = lane_bits(y.rare);
    return y.value;
  }
  VARNEL_LANES_INLINE static typename P::vf eval(typename P::vf x, unsigned& rare) {
    const lanes::result_d<P> y = atanh_lanes<P>(P::widen(x));
    return float_result<P>(y.value, y.rare, rare);
  }
};

template <class Isa> struct kernel<fn::atanh, double, Isa> : atanh_kernel<Isa> {};
template <class Isa> struct kernel<fn::atanh, float, Isa> : atanh_kernel<Isa> {};

}  // namespace varnel::math::batch

#endif
