// erf and erfc, double and float: the scalar routine erf_or_erfc
// (special_functions/erf.hpp) over lanes.  Its intervals of |x| become lane
// masks.  Every lane evaluates its own interval's rational function, the
// tables of one parity in one evaluation with their entries chosen per lane
// (tables.hpp), and numerator and denominator are divided once; random
// arguments put most intervals in every block, where an evaluation per
// interval would cost more, and branches on them would be mispredicted.  The
// exponential factor (exp(-x*x)/x, with the rounding error of x*x put back
// from 1.5 on) is formed for every lane once some lane lies at 0.5 or more.
//
// Covered: every finite x and the infinities (beyond the cut-off r = 0),
// but for the lanes below.
// Rare: NaN; erfc's lanes from sqrt(512) ~ 22.6 to its cut-off 28, where
// exp(-x*x) leaves exp's main path (the results fall into the subnormals
// from 26.5 on); every lane whose result narrow_result would report: erf
// of a subnormal x, and for the float members the results beyond float's
// normal range (erfcf from about 9.2 on).
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_ERF_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_ERF_HPP

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include <varnel/math/special_functions/erf.hpp>
#include <varnel/math/tools/split_horner.hpp>

#include "../elementary/exp.hpp"
#include "kernel.hpp"
#include "narrow.hpp"
#include "tables.hpp"

namespace varnel::math::batch {

template <class Isa> struct erf_lanes {
  using vd = typename Isa::vd;
  using md = typename Isa::md;

  // a and not b, or b and not a.
  VARNEL_LANES_INLINE static md either(md a, md b) { return andnot(a, b) | andnot(b, a); }

  // e^a for |a| < 2^-9, where the scalar exp's reduction gives k = 0: a
  // 128/ln2 + 1.5 2^52 rounds to 1.5 2^52, kd = +0, the remainder
  // (a - kd step_hi) - kd step_lo is a itself (+0 for a = -0, which gives
  // the same tmp, +0), row 0 of the table is {1, 0}, so that scale = 1 and
  // scale + scale tmp = 1 + tmp.  Those steps, whose results are known,
  // are left out; the rest are exp's own (pd::exp_tmp), so the result is
  // exp's bit for bit.  erfc's correction e^-err has |err| below 2^-43
  // (half an ulp of x*x < 1024).
  VARNEL_LANES_INLINE static vd exp_near_zero(vd a) { return 1.0 + lanes::pd::exp_tmp(Isa::splat(0.0), a); }

  // erf (invert false) or erfc (invert true) in binary64; the lanes left to
  // the scalar function are added to rare.
  VARNEL_LANES_INLINE static vd eval(vd x, bool invert, md& rare) {
    namespace d = varnel::math::detail;
    using tools::split_horner;
    const vd ax = lanes::magnitude<Isa>(x);
    const md negative = Isa::bits(x) < Isa::splat(std::int64_t{0});  // the sign bit, -0 included
    // The intervals, all false for a NaN.
    const md small = ax < Isa::splat(0.5);
    const md tiny = ax < Isa::splat(d::erf_tiny);
    const md inside = ax < Isa::splat(invert ? d::erfc_cutoff : d::erf_cutoff);
    const md below_1_5 = ax < Isa::splat(1.5);
    const md below_4_5 = ax < Isa::splat(4.5);
    const md near = andnot(small, tiny);             // [1e-10, 0.5): r ~ erf(x)
    const md first = andnot(below_1_5, small);       // [0.5, 1.5)
    const md middle = andnot(below_4_5, below_1_5);  // [1.5, 2.5) and [2.5, 4.5)
    const md last = andnot(inside, below_4_5);       // [4.5, cut-off)
    const md outer = andnot(inside, small);          // every interval where r ~ erfc(x)

    // The rational terms, each lane with its own interval's tables, the
    // tables of one parity in one evaluation (tables.hpp): the numerators
    // of [1e-10, 0.5) (padded) and [4.5, cut-off), of [0.5, 1.5), [1.5, 2.5)
    // and [2.5, 4.5); the denominators of [1e-10, 0.5) (padded), [0.5, 1.5)
    // and [4.5, cut-off), of [1.5, 2.5) and [2.5, 4.5).  Lanes of no
    // interval (tiny, beyond the cut-off, NaN) compute values never used.
    const md upper = ax >= Isa::splat(2.5);
    const md third = middle & upper;
    const md odd_numerator = near | last;
    const md even_denominator = middle;
    const vd sq = ax * ax;
    const vd center = Isa::select(first, Isa::splat(0.5),
                                  Isa::select(upper, Isa::splat(d::erf_centers23[1]), Isa::splat(d::erf_centers23[0])));
    const vd z = Isa::select(near, sq, Isa::select(last, 1.0 / ax, ax - center));
    vd c7[7], c6[6];
    choose<Isa>(c7, last, d::erf_p4, d::erf_p0);
    const vd num_odd = split_horner(c7, z);
    choose<Isa>(c6, first, d::erf_p1, third, d::erf_p3, d::erf_p2);
    const vd num = Isa::select(odd_numerator, num_odd, split_horner(c6, z));
    choose<Isa>(c7, first, d::erf_q1, last, d::erf_q4, d::erf_q0);
    const vd den_odd = split_horner(c7, z);
    choose<Isa>(c6, third, d::erf_q3, d::erf_q2);
    const vd den = Isa::select(even_denominator, split_horner(c6, z), den_odd);
    const vd offset =
        Isa::select(near, Isa::splat(d::erf_y0),
                    Isa::select(first, Isa::splat(d::erf_y1),
                                Isa::select(last, Isa::splat(d::erf_y4),
                                            Isa::select(upper, Isa::splat(d::erf_y23[1]), Isa::splat(d::erf_y23[0])))));
    const vd t = offset + num / den;

    // The factor t is multiplied by: x itself below 0.5, the exponential
    // factor above.  (-x)*x, the scalar argument on [0.5, 1.5), is -(x*x)
    // bit for bit: rounding to nearest is symmetric.
    vd factor = ax;
    if (any(outer)) {
      const lanes::result_d<Isa> e = lanes::exp<Isa>(-sq);
      // |x| >= 22.6 (erfc only): exp leaves its main path.
      rare = rare | (e.rare & outer);
      vd e_full = e.value;
      const md corrected = andnot(outer, below_1_5);
      if (any(corrected)) {
        const vd hi = lanes::high_half<Isa>(ax);
        const vd err = d::erfc_square_error(hi, ax - hi, sq);
        e_full = Isa::select(corrected, e.value * exp_near_zero(-err), e.value);
      }
      factor = Isa::select(outer, e_full / ax, ax);
    }
    vd r = t * factor;
    if (any(tiny)) r = Isa::select(tiny, d::erf_tiny_value(ax), r);
    r = Isa::select(inside, r, Isa::splat(0.0));  // beyond the cut-off (small lanes are inside)

    // offset + sign r, the scalar code's table of pairs as masks: the sign
    // is -1 where small and the sign bit agree (erf) or differ (erfc);
    // -1 * r is -r exactly.
    const md differ = either(small, negative);
    const vd signed_r = Isa::select(invert ? differ : ~differ, -r, r);
    const vd large_offset = invert ? Isa::select(negative, Isa::splat(2.0), Isa::splat(0.0))
                                   : Isa::select(negative, Isa::splat(-1.0), Isa::splat(1.0));
    const vd pair_offset = Isa::select(small, Isa::splat(invert ? 1.0 : 0.0), large_offset);
    rare = rare | unordered(x, x);
    return pair_offset + signed_r;
  }
};

template <class T, class Isa, bool invert> struct erf_kernel {
  // Not at two lanes (SSE2): there the scalar function, which evaluates
  // each numerator and its denominator side by side in the two lanes of a
  // register (split_horner_quotient), is faster than the kernel, whose
  // lanes each carry every interval's evaluation and whose selects are
  // three operations each (9.1 against 16.3 ns per element on -6:6).
  static constexpr bool vectorised = Isa::lanes > 2;
  template <class V> VARNEL_LANES_INLINE static V eval(V x, unsigned& rare) {
    typename Isa::md r{};
    typename Isa::vd y;
    if constexpr (std::is_same_v<T, double>)
      y = erf_lanes<Isa>::eval(x, invert, r);
    else
      y = erf_lanes<Isa>::eval(Isa::widen(x), invert, r);
    rare = lane_bits(r | ~narrow_plain<T, Isa>(y));
    return narrow_to<T, Isa>(y);
  }
};

template <class T, class Isa> struct kernel<fn::erf, T, Isa> : erf_kernel<T, Isa, false> {};
template <class T, class Isa> struct kernel<fn::erfc, T, Isa> : erf_kernel<T, Isa, true> {};

}  // namespace varnel::math::batch

#endif
