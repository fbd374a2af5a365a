// asinh and asinhf: the family's ranges as masks on a = |x|, the sign put
// on at the end as the family puts it (copysign: x's sign bit on the
// positive value in the common case, copysign's kernel elsewhere), over
// interleaved packs (twice.hpp), the float member through the binary64
// lanes.
//
//   covers every finite x: |x| < 2^-26 (x itself, zeros too), up to 2^-13
//          (x - x^3/6), up to 0.5 (log1p of a + expm1(log1p(a^2)/2)), up
//          to 2^26 (log of a + sqrt(a^2 + 1)) and beyond (log a + ln 2 +
//          1/(4a^2));
//   rare:  NaN (EDOM), the infinities (the overflow report; -infinity
//          re-enters the family), subnormals (the report of a subnormal
//          result), every lane the lane forms leave, and for asinhf every
//          result outside float's normal range (a subnormal float x).
//
// The common case (common_case.hpp): every |x| from 1.24 to 2^26, one log
// on its main path; its results lie from 1.04 to 18.7 in magnitude, inside
// float's normal range.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_ASINH_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_ASINH_HPP

#include <limits>

#include <varnel/math/special_functions/asinh.hpp>
#include <varnel/math/tools/limits.hpp>

#include "../elementary/expm1.hpp"
#include "../elementary/log.hpp"
#include "../elementary/log1p.hpp"
#include "../simd/twice.hpp"
#include "common_case.hpp"
#include "copysign.hpp"
#include "kernel.hpp"

namespace varnel::math::batch {

struct asinh_ranges {
  // The common case: |x| up to 2^26 with a + sqrt(a^2 + 1) beyond log's
  // exact-sum range, from 2.83 up (|x| from 1.24: the scalar code's log
  // range, which starts at 0.5, where that sum is 1.62; off for NaN and the
  // infinities).
  template <class P> VARNEL_LANES_INLINE static typename P::md common(typename P::vd x, typename P::vd& value) {
    namespace vmd = varnel::math::detail;
    // copysign(r, x) of a positive r: r with x's sign bit set.
    const typename P::vi sign = P::bits(x) & lanes::lanes_of<P>(lanes::pd::sign_bit);
    const typename P::vd a = P::from_bits(P::bits(x) ^ sign);
    const typename P::vd arg = vmd::asinh_log_argument(a);
    const lanes::log_cell<P> cell = lanes::log_reduce<P>(P::bits(arg));
    value = P::from_bits(P::bits(lanes::log_main<P>(cell, lanes::log_entries<P>(cell))) | sign);
    return ~((arg >= P::splat(lanes::log_near_one_end())) & (a <= P::splat(1 / tools::root_epsilon<double>())));
  }

  template <class P>
  [[gnu::noinline]] static void general(typename P::vd x, typename P::vd& value, typename P::md& rare_lanes) {
    using vd = typename P::vd;
    using md = typename P::md;
    namespace vmd = varnel::math::detail;
    const double root_eps = tools::root_epsilon<double>();
    const vd a = lanes::magnitude<P>(x);
    md rare = ~(a < P::splat(std::numeric_limits<double>::infinity()));
    vd r = a;
    // From 0.5 up: one log, of a + sqrt(a^2 + 1) up to 2^26 and of a itself
    // beyond; the other lanes take 4, on log's main path.
    const md upper = (a >= P::splat(0.5)) & (a <= P::splat(1 / root_eps));
    const md huge = a > P::splat(1 / root_eps);
    const md log_lanes = upper | huge;
    if (any(log_lanes)) {
      const auto l = lanes::log<P>(P::select(huge, a, P::select(upper, vmd::asinh_log_argument(a), P::splat(4.0))));
      rare = rare | (log_lanes & l.rare);
      r = l.value;
      if (any(huge)) r = P::select(huge, vmd::asinh_huge(l.value, a), r);
    }
    // Below 0.5: x itself below 2^-26 (subnormals rare), x - x^3/6 below
    // 2^-13, the log1p form above; the two small ranges carry x's sign.
    const md lower = a < P::splat(0.5);
    if (any(lower)) {
      rare = rare | (lower & (a < P::splat(std::numeric_limits<double>::min())) & (a != P::splat(0.0)));
      const md middle = lower & (a >= P::splat(tools::fourth_root_epsilon<double>()));
      const md small = andnot(lower, middle) & (a >= P::splat(root_eps));
      vd s = x;
      if (any(small)) s = P::select(small, x - ((x * x) * x) / 6.0, s);  // as asinh_eval
      if (any(middle)) {
        // sqrt(1 + a^2) - 1 as expm1(log1p(a^2)/2) (a^2 < 0.75), then
        // log1p; the other lanes take a = 0.25.
        const vd am = P::select(middle, a, P::splat(0.25));
        const auto l = lanes::log1p<P>(am * am);
        const auto e = lanes::expm1<P>(l.value / 2.0);
        const auto v = lanes::log1p<P>(am + e.value);
        rare = rare | (middle & ((l.rare | e.rare) | v.rare));
        s = P::select(middle, v.value, s);
      }
      r = P::select(lower, s, r);
    }
    // copysign(r, x) on every lane: the small ranges' values have x's sign
    // already, and keep it.
    unsigned none = 0;
    value = kernel<fn::copysign, double, P>::eval(r, x, none);
    rare_lanes = rare;
  }
};

template <class Isa> struct kernel<fn::asinh, double, Isa> : common_case_kernel<asinh_ranges, interleaved<Isa>> {};
template <class Isa> struct kernel<fn::asinh, float, Isa> : common_case_kernel<asinh_ranges, interleaved<Isa>> {};

}  // namespace varnel::math::batch

#endif
