// hypot: the scalar family's operations lane by lane, in its order: the
// magnitudes; the larger into x by the semantics of SSE2's max and min
// (detail::swap_if_greater: x = y > x ? y : x, y = x < y ? x : y); x
// itself where x * epsilon >= y; otherwise x * sqrt(1 + r * r) with
// r = y / x, all in T.
//
// Rare: an infinite argument (the overflow report, which wins over a NaN
// partner), a NaN (no error, but which NaN comes out is the compiled
// scalar code's choice of operand order), and a result that overflowed.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_HYPOT_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_HYPOT_HPP

#include <varnel/math/tools/limits.hpp>

#include "kernel.hpp"
#include "lanes.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct kernel<fn::hypot, T, Isa> {
  static constexpr bool vectorised = true;
  template <class V> static V eval(V x, V y, unsigned& rare) {
    using F = pattern<T, Isa>;
    const V ax = Isa::from_bits(F::magnitude(x));
    const V ay = Isa::from_bits(F::magnitude(y));
    const V inf = Isa::splat(tools::infinity<T>());
    const unsigned special = lane_bits(ax == inf) | lane_bits(ay == inf) | lane_bits(unordered(ax, ay));
    const V larger = Isa::select(ay > ax, ay, ax);
    const V smaller = Isa::select(ax < ay, ax, ay);
    // y too small to change x (two zeros among them): x.
    const auto negligible = larger * tools::machine_epsilon<T>() >= smaller;
    const V r = smaller / larger;
    const V h = larger * Isa::sqrt(T(1) + r * r);
    const unsigned overflow = lane_bits(h == inf) & ~lane_bits(negligible);
    rare |= special | overflow;
    return Isa::select(negligible, larger, h);
  }
};

}  // namespace varnel::math::batch

#endif
