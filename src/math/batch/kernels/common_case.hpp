// Kernels in two parts: the common case, inline, the range that most
// arguments take, computed on every lane of the block; and every range, out
// of line, for the blocks with lanes off the common case, so that what the
// full evaluation keeps in registers costs the common case nothing.  A
// block with a single such lane sends it to the scalar function instead:
// one scalar call costs less than the full evaluation of the block.  R,
// the function's ranges:
//
//   template <class P> static typename P::md common(typename P::vd x, typename P::vd& value);
//     the common case on every lane: value, and the lanes off the common
//     case (whose values are not the function's);
//   template <class P> static void general(typename P::vd x, typename P::vd& value,
//                                          typename P::md& rare);
//     every lane, and the lanes it leaves to the scalar function.
//
// The float members widen their arguments exactly and narrow the binary64
// results as narrow_result does, rounded once: R's common ranges give
// results inside float's normal range (each says why); general's results
// are checked, and every one that narrow_result would report is rare.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_COMMON_CASE_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_COMMON_CASE_HPP

#include <varnel/math/tools/limits.hpp>

#include "../elementary/lanes.hpp"
#include "kernel.hpp"

namespace varnel::math::batch {

// r: binary64 results for float, rare: the lanes not computed.
// narrow_result reports every nonzero result outside float's normal range
// (overflow, underflow to zero, a subnormal float), and NaN is rare
// already: the lanes kept are the zeros and the magnitudes from the
// smallest normal to the largest finite float, both as binary64 values.
template <class P>
VARNEL_LANES_INLINE typename P::vf float_result(typename P::vd r, typename P::md rare, unsigned& rare_bits) {
  const typename P::vd ar = lanes::magnitude<P>(r);
  const auto kept = ((ar >= P::splat(static_cast<double>(tools::smallest_normal<float>()))) &
                     (ar <= P::splat(static_cast<double>(tools::max_value<float>())))) |
                    (ar == P::splat(0.0));
  rare_bits = lane_bits(rare | ~kept);
  return P::narrow(r);
}

template <class R, class P> struct common_case_kernel {
  static constexpr bool vectorised = true;
  using pack = P;

  VARNEL_LANES_INLINE static typename P::vd eval(typename P::vd x, unsigned& rare) {
    typename P::vd value;
    const unsigned off = lane_bits(R::template common<P>(x, value));
    if ((off & (off - 1)) == 0) {  // none, or one for the scalar function
      rare = off;
      return value;
    }
    typename P::md lanes_left;
    R::template general<P>(x, value, lanes_left);
    rare = lane_bits(lanes_left);
    return value;
  }

  VARNEL_LANES_INLINE static typename P::vf eval(typename P::vf x, unsigned& rare) {
    const typename P::vd xd = P::widen(x);
    typename P::vd value;
    const unsigned off = lane_bits(R::template common<P>(xd, value));
    if ((off & (off - 1)) == 0) {
      rare = off;
      return P::narrow(value);
    }
    typename P::md lanes_left;
    R::template general<P>(xd, value, lanes_left);
    return float_result<P>(value, lanes_left, rare);
  }
};

}  // namespace varnel::math::batch

#endif
