// round: below 2^52 (2^23) the rounded value read from the pattern as an
// integer, as tools::round_to_integer reads it, with integer lane
// operations, and converted exactly; from there up x itself.  Infinities
// and NaNs (round reports them) are rare.
//
// rounding_lanes is the integer part that lround and llround (lround.hpp)
// share.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_ROUND_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_ROUND_HPP

#include <cstdint>

#include "kernel.hpp"
#include "lanes.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct rounding_lanes : pattern<T, Isa> {
  using F = pattern<T, Isa>;
  using I = typename F::P::i;

  // The significand with its leading bit of the lanes' patterns b, and the
  // biased exponent of their magnitudes a (the patterns without the sign).
  static I significand_of(I b) { return (b & F::significand()) | F::word(std::uint64_t{1} << F::fraction_bits); }
  static I exponent_of(I a) { return a >> F::fraction_bits; }

  // |round(x)| for |x| < 2^52 (2^23), from the significand m and biased
  // exponent e.  tools::round_to_integer shifts m right past the binary
  // point (by fraction_bits - k, k the unbiased exponent) and adds the
  // first bit shifted out; shifting by one less, adding one and halving is
  // the same integer.  Below one half the count exceeds the significand's
  // width and gives 0, as the scalar code does; from 2^52 (2^23) up the
  // count is negative, read as unsigned, and gives 0 too.
  static I fraction_rounded(I m, I e) {
    const I half = Isa::shift_right(m, F::word(F::fraction_bits - 1 + F::bias) - e);
    return (half + F::word(1)) >> 1;
  }
};

template <class Isa> struct kernel<fn::round, double, Isa> {
  static constexpr bool vectorised = true;
  using R = rounding_lanes<double, Isa>;
  static typename Isa::vd eval(typename Isa::vd x, unsigned& rare) {
    const typename Isa::vi b = Isa::bits(x);
    const typename Isa::vi a = R::magnitude(x);
    rare |= lane_bits(a > R::word(R::L::exponent_mask - 1));  // infinities and NaNs
    const typename Isa::vi i = R::fraction_rounded(R::significand_of(b), R::exponent_of(a));
    // The integer i <= 2^52 converted exactly: 2^52 + i written as its
    // pattern, less 2^52, both terms with the sign of x.  For a negative x
    // that is 2^52 - (2^52 + i) = -i, and +0 for i = 0, as converting the
    // integer 0 gives.
    const typename Isa::vi s = b ^ a;
    const typename Isa::vi two52 = Isa::bits(Isa::splat(static_cast<double>(std::uint64_t{1} << R::fraction_bits)));
    const typename Isa::vd r = Isa::from_bits((i + two52) ^ s) - Isa::from_bits(two52 ^ s);
    // integer_rounding_applies: |x| < 2^52.
    return Isa::select(a < two52, r, x);
  }
};

template <class Isa> struct kernel<fn::round, float, Isa> {
  static constexpr bool vectorised = true;
  using R = rounding_lanes<float, Isa>;
  static typename Isa::vf eval(typename Isa::vf x, unsigned& rare) {
    const typename Isa::vu b = Isa::bits(x);
    const typename Isa::vu a = R::magnitude(x);
    rare |= lane_bits(a > R::word(R::L::exponent_mask - 1));  // infinities and NaNs
    const typename Isa::vu i = R::fraction_rounded(R::significand_of(b), R::exponent_of(a));
    // The sign of x on i (i <= 2^23), then the exact conversion; 0 gives +0.
    const typename Isa::vu s = R::zero() - (b >> 31);
    const typename Isa::vf r = Isa::to_float((i ^ s) - s);
    // integer_rounding_applies: |x| < 2^23.
    const typename Isa::vu two23 = Isa::bits(Isa::splat(static_cast<float>(std::uint32_t{1} << R::fraction_bits)));
    return Isa::select(two23 > a, r, x);
  }
};

}  // namespace varnel::math::batch

#endif
