// lround and llround: the rounded value as a 64-bit integer lane, read from
// the pattern as tools::round_to_integer reads it below 2^52 (round.hpp's
// rounding_lanes), and from 2^52 up (where x is integral) as the
// significand shifted left, which is the conversion checked_integer makes.
// Float lanes are widened to double first: exact, and every float has the
// same rounded integer as its double.
//
// Rare: |x| >= 2^63, infinities and NaNs (the range error, or for -2^63
// the one value at the bound, left to the scalar check), and where long is
// narrower (32 bits on Windows) every lane whose integer falls outside its
// range [-2^31, 2^31).
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_LROUND_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_LROUND_HPP

#include <cstdint>
#include <limits>

#include "kernel.hpp"
#include "round.hpp"

namespace varnel::math::batch {

template <class R, class Isa> struct round_to_integer_kernel {
  static constexpr bool vectorised = true;
  using D = rounding_lanes<double, Isa>;

  static typename Isa::vi eval(typename Isa::vd x, unsigned& rare) {
    using vi = typename Isa::vi;
    const vi b = Isa::bits(x);
    const vi a = D::magnitude(x);
    // |x| >= 2^63: beyond every integer type here, or a NaN or infinity.
    const vi bound = Isa::bits(Isa::splat(static_cast<double>(std::uint64_t{1} << 63)));
    rare |= lane_bits(a > bound - D::word(1));
    const vi m = D::significand_of(b);
    const vi e = D::exponent_of(a);
    // Each lane takes one of the two: the shift of the other is by a
    // negative count, read as unsigned, and gives 0.
    const vi whole = Isa::shift_left(m, e - D::word(D::fraction_bits + D::bias));
    const vi i = D::fraction_rounded(m, e) | whole;
    // The sign of x, without a branch: s is 0 or -1.
    const vi s = D::zero() - (b >> 63);
    const vi r = (i ^ s) - s;
    constexpr int n = std::numeric_limits<R>::digits;
    if constexpr (n < 63) {
      // [-2^n, 2^n): r + 2^n has no bit from n + 1 up.
      const vi above = (r + D::word(std::uint64_t{1} << n)) >> (n + 1);
      rare |= lane_bits(~(above == D::zero()));
    }
    return r;
  }
  static typename Isa::vi eval(typename Isa::vf x, unsigned& rare) { return eval(Isa::widen(x), rare); }
};

template <class T, class Isa> struct kernel<fn::lround, T, Isa> : round_to_integer_kernel<long, Isa> {};
template <class T, class Isa> struct kernel<fn::llround, T, Isa> : round_to_integer_kernel<long long, Isa> {};

}  // namespace varnel::math::batch

#endif
