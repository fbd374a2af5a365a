// fmax and fmin: the scalar tests (a NaN argument gives the other one back,
// bit for bit; of two NaNs y; ties give x) as lane masks and selections.
// Every input has a result and no error, so no lane is rare.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_FMAX_FMIN_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_FMAX_FMIN_HPP

#include "kernel.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct fmax_fmin_kernel {
  static constexpr bool vectorised = true;
  template <class V> static V pick(V x, V y, bool larger) {
    const auto x_nan = unordered(x, x);
    const auto y_nan = unordered(y, y);
    const V chosen = larger ? Isa::select(y > x, y, x) : Isa::select(x > y, y, x);
    return Isa::select(x_nan, y, Isa::select(y_nan, x, chosen));
  }
};

template <class T, class Isa> struct kernel<fn::fmax, T, Isa> : fmax_fmin_kernel<T, Isa> {
  template <class V> static V eval(V x, V y, unsigned&) { return fmax_fmin_kernel<T, Isa>::pick(x, y, true); }
};
template <class T, class Isa> struct kernel<fn::fmin, T, Isa> : fmax_fmin_kernel<T, Isa> {
  template <class V> static V eval(V x, V y, unsigned&) { return fmax_fmin_kernel<T, Isa>::pick(x, y, false); }
};

}  // namespace varnel::math::batch

#endif
