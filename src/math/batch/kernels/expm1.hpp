// expm1 and expm1f: the lane forms of the library's own e^x - 1, which the
// family calls with nothing added.  The lanes they leave (NaN, +infinity,
// x >= 512 in double and x > 88.72 in float, where the scalar function
// takes exp_large or reports ERANGE) go to the scalar function.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_EXPM1_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_EXPM1_HPP

#include "../elementary/expm1.hpp"
#include "kernel.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct kernel<fn::expm1, T, Isa> {
  static constexpr bool vectorised = true;
  template <class V> VARNEL_LANES_INLINE static V eval(V x, unsigned& rare) {
    const auto y = lanes::expm1<Isa>(x);
    rare = lane_bits(y.rare);
    return y.value;
  }
};

}  // namespace varnel::math::batch

#endif
