// copysign: every bit of x but the sign, which is y's; NaN payloads travel
// untouched, as in the scalar masks.  No lane is rare.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_COPYSIGN_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_COPYSIGN_HPP

#include <cstdint>

#include "kernel.hpp"

namespace varnel::math::batch {

template <class Isa> struct kernel<fn::copysign, double, Isa> {
  static constexpr bool vectorised = true;
  static typename Isa::vd eval(typename Isa::vd x, typename Isa::vd y, unsigned&) {
    const auto sign = Isa::splat(static_cast<std::int64_t>(0x8000000000000000u));
    return Isa::from_bits((Isa::bits(x) & (sign ^ Isa::splat(std::int64_t{-1}))) | (Isa::bits(y) & sign));
  }
};

template <class Isa> struct kernel<fn::copysign, float, Isa> {
  static constexpr bool vectorised = true;
  static typename Isa::vf eval(typename Isa::vf x, typename Isa::vf y, unsigned&) {
    const auto sign = Isa::splat(static_cast<std::int32_t>(0x80000000u));
    return Isa::from_bits((Isa::bits(x) & (sign ^ Isa::splat(std::int32_t{-1}))) | (Isa::bits(y) & sign));
  }
};

}  // namespace varnel::math::batch

#endif
