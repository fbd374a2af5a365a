// lgamma and lgammaf: lgamma_eval (special_functions/lgamma.hpp) over
// lanes.  lgamma_direct's ranges of w become masks, each range evaluated
// only when some lane lies in it:
//
//   2^-26 <= w < 15    lgamma_small: the recurrence down into [2, 3), a
//                      lane's count of logarithms its own, or the step up
//                      from below 1, then the rational term of [2, 3),
//                      [1, 1.5] or (1.5, 2), the three in one evaluation
//                      per parity of their tables (tables.hpp); +0 at 1
//                      and 2;
//   15 <= w < 100      log of tgamma_eval: (w - 1)! from the factorial table
//                      for integers, L(w) zgh^(w - 1/2) / e^zgh otherwise;
//   w >= 100           (log zgh - 1)(w - 1/2), plus log(L(w) e^-g) where
//                      the scalar test lets it change the result.
//
// Negative non-integers by reflection, log(pi) - lgamma_direct(-x) -
// log|x sin(pi x)|, with sin on [0, pi/2].
//
// Rare: NaN, |x| < 2^-26 (the pole at zero and the two-term series), the
// negative integers (poles), x <= -2^31 (beyond, the scalar code reads no
// parity) and -infinity; every result narrow_result reports: +infinity
// and the overflow from 2.56e305 (lgammaf from about 4.1e36).
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_LGAMMA_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_LGAMMA_HPP

#include <type_traits>

#include <varnel/math/constants.hpp>
#include <varnel/math/special_functions/detail/lanczos.hpp>
#include <varnel/math/special_functions/detail/lgamma_small.hpp>
#include <varnel/math/tools/limits.hpp>
#include <varnel/math/tools/split_horner.hpp>

#include "gamma.hpp"
#include "kernel.hpp"
#include "narrow.hpp"
#include "tables.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct kernel<fn::lgamma, T, Isa> {
  // Not at two lanes (SSE2): there the scalar function, which evaluates the
  // Lanczos sums' numerator and denominator side by side in the two lanes of
  // a register, is faster than the kernel (14.5 against 21.2 ns per element
  // on 0:1e3, 15.1 against 16.2 on 1e3:1e30).
  static constexpr bool vectorised = Isa::lanes > 2;
  using vd = typename Isa::vd;
  using md = typename Isa::md;
  using G = gamma_lanes<Isa>;

  // lgamma_small's recurrence on the lanes of `down` (3 <= w < 15):
  //
  //   do { z -= 1; result += log(z); } while (z >= 3);
  //
  // n = floor(w) - 2 steps from result = 0, each z - 1 exact (z >= 3), so
  // that z takes the values w - 1, ..., w - n, each one subtraction from w
  // with the same, exact, result.  The logarithms of every lane are packed
  // together, all lanes' arguments one after the other, and taken a full
  // pack at a time: a block whose lanes need n_k steps takes about sum
  // n_k / lanes packs rather than max n_k.  Then each lane adds its own in
  // the scalar order.  w becomes w - n.
  VARNEL_LANES_INLINE static vd recurrence(vd& w, md down) {
    constexpr int L = Isa::lanes;
    constexpr int most = 12;  // floor(w) - 2 for w below 15
    double start[L], sum[L];
    // Lane k's arguments from begin[k] on; every lane writes all twelve
    // candidates (no branch on the counts) and the next lane starts after
    // its own steps, over the rest.  Entries beyond the last lane's steps are
    // never read back.
    double argument[most * (L + 1)], logarithm[most * (L + 1)];
    int steps[L], begin[L];
    const unsigned lanes_down = lane_bits(down);
    Isa::store(start, w);
    int count = 0;
    for (int k = 0; k < L; ++k) {
      steps[k] = (lanes_down >> k) & 1u ? static_cast<int>(start[k]) - 2 : 0;
      begin[k] = count;
      for (int j = 0; j < most; ++j) argument[count + j] = start[k] - (j + 1);
      count += steps[k];
    }
    for (int j = 0; j < count; j += L) {
      // Entries past the count hold candidates of the last lanes: their
      // logarithms are never read, and no argument that is read is rare.
      Isa::store(logarithm + j, lanes::log<Isa>(Isa::load(argument + j)).value);
    }
    // Each lane's sum in the scalar order; adding +0 past its steps leaves
    // the non-negative sum as it is.
    for (int k = 0; k < L; ++k) {
      double r = 0.0;
      for (int j = 0; j < most; ++j) r = r + (j < steps[k] ? logarithm[begin[k] + j] : 0.0);
      sum[k] = r;
      start[k] -= steps[k];
    }
    w = Isa::load(start);
    return Isa::select(down, Isa::load(sum), Isa::splat(0.0));
  }

  // lgamma_small(w, w - 1, w - 2) on the lanes of `used` (2^-26 <= w < 15).
  VARNEL_LANES_INLINE static vd small(vd w, md used, md& rare) {
    namespace d = varnel::math::detail;
    using tools::split_horner;
    vd zm1 = w - 1.0;
    vd zm2 = w - 2.0;
    const md zero = (zm1 == Isa::splat(0.0)) | (zm2 == Isa::splat(0.0));
    const md above = w > Isa::splat(2.0);
    vd result = Isa::splat(0.0);
    // Above 3: log Gamma(w) = log(w - 1) + log Gamma(w - 1), down into
    // [2, 3); zm2 = w - 2 again after the last step.
    const md down = used & (w >= Isa::splat(3.0));
    if (any(down)) {
      result = recurrence(w, down);
      zm2 = Isa::select(down, w - 2.0, zm2);
    }
    // Below 1: log Gamma(w) = log Gamma(w + 1) - log w; w and w - 1 become
    // the new w - 1 and w - 2.
    const md below = used & (w < Isa::splat(1.0));
    if (any(below)) {
      const lanes::result_d<Isa> l = lanes::log<Isa>(w);
      rare = rare | (l.rare & below);
      result = Isa::select(below, result + -l.value, result);
      zm2 = Isa::select(below, zm1, zm2);
      zm1 = Isa::select(below, w, zm1);
      w = Isa::select(below, w + 1.0, w);
    }
    // The rational term: [2, 3) in v = w - 2 (above), [1, 1.5] in v = w - 1
    // (first), (1.5, 2) in v = 2 - w; p = (w - 2)(w + 1) or (w - 1)(w - 2).
    const md first = andnot(w <= Isa::splat(1.5), above);
    const md last = ~(above | first);
    const vd v = Isa::select(above, zm2, Isa::select(first, zm1, -zm2));
    const vd p = Isa::select(above, zm2 * (w + 1.0), zm1 * zm2);
    const vd y = Isa::select(above, Isa::splat(d::lgamma_small_ya),
                             Isa::select(first, Isa::splat(d::lgamma_small_yb), Isa::splat(d::lgamma_small_yc)));
    vd c7[7];
    choose<Isa>(c7, above, d::lgamma_small_pa, d::lgamma_small_pb);
    const vd num = Isa::select(last, split_horner(d::lgamma_small_pc, v), split_horner(c7, v));
    choose<Isa>(c7, first, d::lgamma_small_qb, d::lgamma_small_qc);
    const vd den = Isa::select(above, split_horner(d::lgamma_small_qa, v), split_horner(c7, v));
    result = result + ((p * y) + (p * (num / den)));
    // At 1 and 2 the scalar code returns its +0 before any step.
    return Isa::select(zero, Isa::splat(0.0), result);
  }

  // lgamma_direct(w) on the lanes of `used` (w >= 2^-26, +infinity too).
  VARNEL_LANES_INLINE static vd direct(vd w, md used, md& rare) {
    namespace d = varnel::math::detail;
    using tools::split_horner;
    const md below_15 = w < Isa::splat(15.0);
    const md below_100 = w < Isa::splat(100.0);
    const md low = used & below_15;
    const md middle = andnot(used & below_100, below_15);
    const md high = andnot(used, below_100);
    const vd zgh = d::lanczos_zgh(w);
    // The ratios: L(w) for the non-integers of [15, 100), L(w) e^-g on
    // [100, 1e16), where the correction is added: (log zgh - 1)(w - 1/2)
    // stays below 20 / epsilon up to 2.6e15 and is beyond it from 1e16 on.
    const md table = middle & (G::nearest(w) == w);
    const md plain = andnot(middle, table);
    const md scaled = high & (w < Isa::splat(1e16));
    vd ratio = Isa::splat(1.0);
    if (any(plain)) {
      if (any(scaled)) {
        vd c13[13];
        choose<Isa>(c13, plain, d::lanczos_num, d::lanczos_num_scaled);
        ratio = split_horner(c13, w) / split_horner(d::lanczos_den, w);
      } else {
        ratio = d::lanczos_sum_direct(d::lanczos_num, w);
      }
    } else if (any(scaled)) {
      ratio = d::lanczos_sum_direct(d::lanczos_num_scaled, w);
    }
    // On [15, 100) the logarithm of Gamma(w), elsewhere of zgh: one log.
    // tgamma_eval's test for the split power reads a logarithm there that
    // never passes 709 (w log zgh < 466), and is not formed.
    vd arg = zgh;
    if (any(middle)) {
      vd gamma = ratio;
      if (any(plain)) {
        const lanes::result_d<Isa> hp = lanes::pow<Isa>(zgh, w - 0.5);
        const lanes::result_d<Isa> e = lanes::exp<Isa>(zgh);
        rare = rare | ((hp.rare | e.rare) & plain);
        gamma = ratio * (hp.value / e.value);
      }
      if (any(table)) gamma = Isa::select(table, G::factorial(w, table), gamma);
      arg = Isa::select(middle, gamma, zgh);
    }
    vd result = Isa::splat(0.0);
    if (any(middle | high)) {
      const lanes::result_d<Isa> l = lanes::log<Isa>(arg);
      rare = rare | (l.rare & (middle | high));
      // The correction (about -5) still changes the result below 20 /
      // epsilon; beyond it the scalar code skips it.
      vd large = (l.value - 1.0) * (w - 0.5);
      const md correct = high & ((large * tools::machine_epsilon<double>()) < Isa::splat(20.0));
      if (any(correct)) {
        const lanes::result_d<Isa> lr = lanes::log<Isa>(ratio);
        rare = rare | (lr.rare & correct);
        large = Isa::select(correct, large + lr.value, large);
      }
      result = Isa::select(middle, l.value, large);
    }
    if (any(low)) result = Isa::select(low, small(Isa::select(low, w, Isa::splat(1.5)), low, rare), result);
    return result;
  }

  // log |Gamma(z)| in binary64 (lgamma_eval); the lanes left to the scalar
  // function are added to rare.
  VARNEL_LANES_INLINE static vd lgamma(vd z, md& rare) {
    const double root_epsilon = tools::root_epsilon<double>();
    const vd az = lanes::magnitude<Isa>(z);
    const md negative = z <= Isa::splat(-root_epsilon);
    // NaN, |z| < 2^-26, the negative integers, z <= -2^31 and -infinity.
    rare = rare | ~(az >= Isa::splat(root_epsilon)) | (negative & (G::nearest(az) == az)) |
           (z <= Isa::splat(-2147483648.0));
    const md reflect = andnot(negative, rare);
    // lgamma_direct's argument, -z for a reflection; a harmless 200 in
    // rare lanes.
    const vd w = Isa::select(rare, Isa::splat(200.0), az);
    const vd direct_w = direct(w, ~rare, rare);
    if (!any(reflect)) return direct_w;
    // log(pi) - lgamma_direct(-z) - log|z sin(pi z)|, log(pi) by the very
    // logarithm the scalar code calls.
    const vd t = lanes::magnitude<Isa>(G::x_sin_pi_x(z, reflect, rare));
    const lanes::result_d<Isa> lt = lanes::log<Isa>(Isa::select(reflect, t, Isa::splat(1.0)));
    const vd log_pi = lanes::log<Isa>(Isa::splat(constants::pi<double>())).value;
    rare = rare | (lt.rare & reflect);
    return Isa::select(reflect, (log_pi - direct_w) - lt.value, direct_w);
  }

  template <class V> VARNEL_LANES_INLINE static V eval(V x, unsigned& rare) {
    vd z;
    if constexpr (std::is_same_v<T, double>)
      z = x;
    else
      z = Isa::widen(x);
    md r{};
    const vd y = lgamma(z, r);
    rare = lane_bits(r | ~narrow_plain<T, Isa>(y));
    return narrow_to<T, Isa>(y);
  }
};

}  // namespace varnel::math::batch

#endif
