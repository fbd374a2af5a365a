// The last step of the families that compute in binary64 (erf, erfc,
// tgamma, lgamma), over lanes: policies::narrow_result<T> of the binary64
// results.  A lane it passes unchanged and unreported keeps the vector
// path's value, converted to T as the scalar static_cast converts it; every
// other lane (subnormal in T or rounding to zero, beyond T's largest finite
// value, NaN) it reports or rewrites, and the kernel marks it rare.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_NARROW_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_NARROW_HPP

#include <limits>
#include <type_traits>

#include "../elementary/lanes.hpp"

namespace varnel::math::batch {

// The lanes narrow_result<T> takes through its first test (magnitudes from
// T's smallest normal to its largest finite value, as binary64 values: the
// test on the pattern as two comparisons, false for a NaN) or lets pass as
// they are (zeros of either sign).
template <class T, class Isa> VARNEL_LANES_INLINE typename Isa::md narrow_plain(typename Isa::vd r) {
  using limits = std::numeric_limits<T>;
  const typename Isa::vd a = lanes::magnitude<Isa>(r);
  return ((a >= Isa::splat(static_cast<double>(limits::min()))) &
          (a <= Isa::splat(static_cast<double>(limits::max())))) |
         (r == Isa::splat(0.0));
}

// The binary64 results as T: the packs of doubles themselves, or rounded
// once to float.
template <class T, class Isa> VARNEL_LANES_INLINE auto narrow_to(typename Isa::vd r) {
  if constexpr (std::is_same_v<T, double>)
    return r;
  else
    return Isa::narrow(r);
}

}  // namespace varnel::math::batch

#endif
