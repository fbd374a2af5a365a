// trunc: the integral part with the sign of x, which for every finite x is
// the one rounding toward zero the packs have (Isa::trunc): the scalar
// family's conversion of |x| through a 64-bit integer below 2^52 (2^23),
// x itself above, and the sign put back, give exactly that value, -0 for
// -1 < x <= -0 included.  Infinities and NaNs (trunc reports them) are
// rare.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_TRUNC_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_TRUNC_HPP

#include "kernel.hpp"
#include "lanes.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct kernel<fn::trunc, T, Isa> {
  static constexpr bool vectorised = true;
  template <class V> static V eval(V x, unsigned& rare) {
    rare |= pattern<T, Isa>::not_finite(x);
    return Isa::trunc(x);
  }
};

}  // namespace varnel::math::batch

#endif
