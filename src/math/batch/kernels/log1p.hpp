// log1p and log1pf: the family's checks against -1, then the lane forms of
// the library's own ln(1 + x).  Every lane the checks would answer (x <= -1:
// EDOM below, the pole with ERANGE) is rare in the lane forms, as are
// +infinity and NaN: all go to the scalar family.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_LOG1P_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_LOG1P_HPP

#include "../elementary/log1p.hpp"
#include "kernel.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct kernel<fn::log1p, T, Isa> {
  static constexpr bool vectorised = true;
  template <class V> VARNEL_LANES_INLINE static V eval(V x, unsigned& rare) {
    const auto y = lanes::log1p<Isa>(x);
    rare = lane_bits(y.rare);
    return y.value;
  }
};

}  // namespace varnel::math::batch

#endif
