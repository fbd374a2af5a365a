// acosh and acoshf: the family's ranges as masks over interleaved packs
// (twice.hpp), the float member through the binary64 lanes.
//
//   covers 1 <= x < +infinity: x - 1 < 2^-26 (the series next to the
//          branch point), up to 1.5 (log1p of y + sqrt(y^2 + 2y)), up to
//          2^26 (log of x + sqrt(x^2 - 1)) and beyond (log x + ln 2);
//   rare:  x < 1 (EDOM, -infinity too), NaN, +infinity (the overflow
//          report), and every lane the lane forms leave.
//
// The common case (common_case.hpp): every lane from 1.59 to just below
// 2^26, one log on its main path; its results lie from 1.03 to 18.7,
// inside float's normal range.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_ACOSH_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_ACOSH_HPP

#include <limits>

#include <varnel/math/special_functions/acosh.hpp>
#include <varnel/math/constants.hpp>
#include <varnel/math/tools/limits.hpp>

#include "../elementary/log.hpp"
#include "../elementary/log1p.hpp"
#include "../simd/twice.hpp"
#include "common_case.hpp"
#include "kernel.hpp"

namespace varnel::math::batch {

struct acosh_ranges {
  // The common case: x + sqrt(x^2 - 1) from 2.83, beyond log's exact-sum
  // range, and below 2^27, the sum at 2^26 and at every larger x.  That is
  // x from 1.59 to just below 2^26, inside the scalar code's log range (from
  // 1.5, where the sum is 2.62, to 2^26), and nothing else: the sum is NaN
  // below 1 and for a NaN, at most 0 below -1 (sqrt(x^2 - 1) rounds to at
  // most |x|), and infinite where x^2 overflows and for +infinity.
  template <class P> VARNEL_LANES_INLINE static typename P::md common(typename P::vd x, typename P::vd& value) {
    namespace vmd = varnel::math::detail;
    const typename P::vd arg = vmd::acosh_log_argument(x);
    const lanes::log_cell<P> cell = lanes::log_reduce<P>(P::bits(arg));
    value = lanes::log_main<P>(cell, lanes::log_entries<P>(cell));
    return ~((arg >= P::splat(lanes::log_near_one_end())) & (arg < P::splat(2 / tools::root_epsilon<double>())));
  }

  template <class P>
  [[gnu::noinline]] static void general(typename P::vd x, typename P::vd& value, typename P::md& rare_lanes) {
    using vd = typename P::vd;
    using md = typename P::md;
    namespace vmd = varnel::math::detail;
    const double root_eps = tools::root_epsilon<double>();
    md rare = ~((x >= P::splat(1.0)) & (x < P::splat(std::numeric_limits<double>::infinity())));
    vd r = x;
    // From 1.5 up: one log, of x + sqrt(x^2 - 1) up to 2^26 and of x itself
    // beyond; the other lanes take 4, on log's main path.
    const md upper = (x >= P::splat(1.5)) & (x <= P::splat(1 / root_eps));
    const md huge = x > P::splat(1 / root_eps);
    const md log_lanes = upper | huge;
    if (any(log_lanes)) {
      const vd a = P::select(huge, x, P::select(upper, vmd::acosh_log_argument(x), P::splat(4.0)));
      const auto l = lanes::log<P>(a);
      rare = rare | (log_lanes & l.rare);
      r = P::select(huge, l.value + constants::ln2<double>(), l.value);
    }
    // Below 1.5 (x < 1 too, rare): the series, then log1p from 1 + 2^-26.
    const md lower = x < P::splat(1.5);
    if (any(lower)) {
      const vd y = x - 1.0;
      const md series = y < P::splat(root_eps);
      const md middle = andnot(lower, series);
      vd s = x;
      if (any(series)) s = vmd::acosh_near_branch(y);
      if (any(middle)) {
        // The other lanes take y = 0.25, inside log1p's covered range.
        const auto l = lanes::log1p<P>(vmd::acosh_log1p_argument(P::select(middle, y, P::splat(0.25))));
        rare = rare | (middle & l.rare);
        s = P::select(middle, l.value, s);
      }
      r = P::select(lower, s, r);
    }
    value = r;
    rare_lanes = rare;
  }
};

template <class Isa> struct kernel<fn::acosh, double, Isa> : common_case_kernel<acosh_ranges, interleaved<Isa>> {};
template <class Isa> struct kernel<fn::acosh, float, Isa> : common_case_kernel<acosh_ranges, interleaved<Isa>> {};

}  // namespace varnel::math::batch

#endif
