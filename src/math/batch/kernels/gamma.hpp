// What the tgamma and lgamma kernels share: the gamma unit's steps
// (special_functions/gamma.hpp, detail/lanczos.hpp) over lanes, each the
// scalar step's operations in its order, on the lanes a mask names.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_GAMMA_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_GAMMA_HPP

#include <cstdint>

#include <varnel/math/constants.hpp>
#include <varnel/math/special_functions/detail/lanczos.hpp>
#include <varnel/math/special_functions/gamma.hpp>
#include <varnel/math/tools/limits.hpp>

#include "../elementary/exp.hpp"
#include "../elementary/lanes.hpp"
#include "../elementary/log.hpp"
#include "../elementary/pow.hpp"
#include "../elementary/sin.hpp"

namespace varnel::math::batch {

template <class Isa> struct gamma_lanes {
  using vd = typename Isa::vd;
  using vi = typename Isa::vi;
  using md = typename Isa::md;

  // v rounded to the nearest integer, for |v| < 2^51 (pd::round_shift):
  // exact, and equal to v just where v is an integer.
  VARNEL_LANES_INLINE static vd nearest(vd v) { return (v + lanes::pd::round_shift) - lanes::pd::round_shift; }

  // floor(a) for 0 <= a < 2^51, the value std::floor gives: the nearest
  // integer, less one where it lies above a (exact).
  VARNEL_LANES_INLINE static vd floor_of(vd a) {
    const vd t = nearest(a);
    return Isa::select(t > a, t - 1.0, t);
  }

  // The integer-valued 0 <= v < 2^51 as a 64-bit integer: the low bits of
  // v + 1.5 2^52 (exact).
  VARNEL_LANES_INLINE static vi integer_of(vd v) {
    return Isa::bits(v + lanes::pd::round_shift) - lanes::lanes_of<Isa>(lanes::pd::bits(lanes::pd::round_shift));
  }

  // (w - 1)! from the factorial table where `integer` is set (w from 1 to
  // 169), the table's first entry elsewhere.
  VARNEL_LANES_INLINE static vd factorial(vd w, md integer) {
    const vi row = Isa::select(integer, integer_of(w) - lanes::lanes_of<Isa>(1), lanes::lanes_of<Isa>(0));
    return lanes::column<Isa>(varnel::math::detail::factorial_table, row);
  }

  // gamma_direct's upward shift for the lanes where w < 0 (non-integers
  // above -20):
  //
  //   while (z < 0) { result /= z; z += 1; }
  //
  // Every z + 1 but the last is exact (z <= -1: z + 1 lies on z's grid, in
  // a binade no higher), so the loop divides by w, w + 1, ..., w + n - 1,
  // each one exact addition to w, n = ceil(-w), and ends with w + n
  // rounded once.  Written so, the divisions form a chain of their own, one
  // after another in the scalar order, and the value w + n that the rest
  // of gamma_direct needs is there at once, without waiting for the chain.
  VARNEL_LANES_INLINE static void shift_up(vd& w, vd& res) {
    const md below = w < Isa::splat(0.0);
    if (!any(below)) return;
    const vd a = Isa::select(below, -w, Isa::splat(0.0));
    const vd t = nearest(a);
    const vd n = Isa::select(t < a, t + 1.0, t);  // ceil(-w), 0 where w >= 0
    const vd w0 = w;
    w = Isa::select(below, w0 + n, w0);
    md step = below;
    for (double k = 0; any(step); k += 1) {
      res = Isa::select(step, res / (w0 + k), res);
      step = Isa::splat(k + 1) < n;
    }
  }

  // Below this w, w log zgh < 141.5 log 147.02 = 706.2 (log within an ulp):
  // gamma_direct's test for the split power is false, and the logarithm it
  // reads is not needed.
  static constexpr double unsplit_below = 141.5;

  // gamma_direct's Lanczos road, res L(w) zgh^(w - 1/2) / e^zgh, for w
  // from 2^-26 to 171.6 (zgh = w + g - 1/2 from 5.52 to 177, inside the
  // lane forms' domains); from w log zgh > 709 on (w > 141.97) the power
  // in two halves.  Up to 171.6 Gamma(w) < 1.6e308, so the scalar test
  // against max_value / hp never fires.  The lanes of `used` that a lane
  // form leaves (none on this domain) are added to rare.
  VARNEL_LANES_INLINE static vd lanczos(vd w, vd res, md used, md& rare) {
    namespace d = varnel::math::detail;
    res = res * d::lanczos_sum_direct(d::lanczos_num, w);
    const vd zgh = d::lanczos_zgh(w);
    md split{};
    if (any(w >= Isa::splat(unsplit_below))) {
      const lanes::result_d<Isa> lzgh = lanes::log<Isa>(zgh);
      split = (w * lzgh.value) > Isa::splat(tools::largest_exp_argument<double>());
      rare = rare | (lzgh.rare & used);
    }
    const vd y = Isa::select(split, (w / 2.0) - 0.25, w - 0.5);
    const lanes::result_d<Isa> hp = lanes::pow<Isa>(zgh, y);
    const lanes::result_d<Isa> e = lanes::exp<Isa>(zgh);
    rare = rare | ((hp.rare | e.rare) & used);
    res = res * (hp.value / e.value);
    return Isa::select(split, res * hp.value, res);
  }

  // x_sin_pi_x(z), z * sin(pi z), for the lanes of `used`: finite
  // non-integers with |z| < 2^31, where the scalar code reads the parity
  // of floor(|z|).  The distance d from |z| to the nearest integer, the sign
  // from the parity, sin on [0, pi/2].
  VARNEL_LANES_INLINE static vd x_sin_pi_x(vd z, md used, md& rare) {
    const vd a = lanes::magnitude<Isa>(z);
    const vd fl = floor_of(a);
    const md odd = (Isa::bits(fl + lanes::pd::round_shift) & lanes::lanes_of<Isa>(1)) == lanes::lanes_of<Isa>(1);
    // Odd: fl + 1 - a and s = -1 (s * a is -a exactly); even: a - fl.
    vd d = Isa::select(odd, (fl + 1.0) - a, a - fl);
    d = Isa::select(d > Isa::splat(0.5), 1.0 - d, d);
    const vd sa = Isa::select(odd, -a, a);
    const lanes::result_d<Isa> s = lanes::sin<Isa>(Isa::select(used, d * constants::pi<double>(), Isa::splat(0.0)));
    rare = rare | (s.rare & used);
    return sa * s.value;
  }
};

}  // namespace varnel::math::batch

#endif
