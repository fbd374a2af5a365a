// What the kernels of the rounding, next-value, cube-root and hypot
// families share: the packs of one element type at one level, and the
// constants of its bit pattern as lane values, read from the layouts that
// the scalar code reads (tools/layouts.hpp).
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_LANES_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_LANES_HPP

#include <cstdint>
#include <limits>

#include <varnel/math/tools/layouts.hpp>

namespace varnel::math::batch {

template <class T, class Isa> struct lanes_of;

template <class Isa> struct lanes_of<double, Isa> {
  using v = typename Isa::vd;  // values
  using i = typename Isa::vi;  // their patterns
  using m = typename Isa::md;  // masks
  using word = std::int64_t;   // what splat takes for a pattern lane
  static m mask_of_bits(unsigned b) { return Isa::md_of_bits(b); }
};

template <class Isa> struct lanes_of<float, Isa> {
  using v = typename Isa::vf;
  using i = typename Isa::vu;
  using m = typename Isa::mf;
  using word = std::int32_t;
  static m mask_of_bits(unsigned b) { return Isa::mf_of_bits(b); }
};

// The format of T in lanes: its fields, as the scalar code names them.
template <class T, class Isa> struct pattern : lanes_of<T, Isa> {
  using P = lanes_of<T, Isa>;
  using L = tools::layout_of_t<T>;
  using B = typename L::bits_type;
  static constexpr int fraction_bits = std::numeric_limits<T>::digits - 1;  // 52, 23
  static constexpr int bias = std::numeric_limits<T>::max_exponent - 1;     // 1023, 127
  static constexpr unsigned all_lanes = (1u << Isa::lanes) - 1;

  // A pattern in every lane.
  static typename P::i word(B b) { return Isa::splat(static_cast<typename P::word>(b)); }
  static typename P::i sign() { return word(L::sign_mask); }
  static typename P::i exponent() { return word(L::exponent_mask); }
  static typename P::i significand() { return word(L::significand_mask); }
  static typename P::i zero() { return word(0); }

  // |x| as a pattern: every bit but the sign.
  static typename P::i magnitude(typename P::v x) { return Isa::bits(x) & word(static_cast<B>(~L::sign_mask)); }

  // The lanes holding an infinity or a NaN.  Magnitude patterns are
  // non-negative, so the signed comparison orders them.
  static unsigned not_finite(typename P::v x) {
    return lane_bits(magnitude(x) > word(static_cast<B>(L::exponent_mask - 1)));
  }
};

}  // namespace varnel::math::batch

#endif
