// Exact arithmetic on the bit patterns of binary32 and binary64: powers of
// two, neighbours, frexp, rounding.  The patterns are read and written
// through the layouts of tools/layouts.hpp.
#ifndef VARNEL_MATH_TOOLS_BITS_HPP
#define VARNEL_MATH_TOOLS_BITS_HPP

#include <cmath>
#include <cstdint>
#include <limits>

#include <varnel/math/tools/layouts.hpp>

namespace varnel::math::tools {

// 2^k in binary32 or binary64, written as its bit pattern: a normal power
// for k at or above the smallest normal exponent, a subnormal one down to
// the smallest subnormal, and +0 below that.  The zero matches the rounded
// result of a library scaling, which takes 2^-1075 (2^-150), exactly half
// the smallest subnormal, to the even neighbour 0.  Unlike such a scaling
// it never stores ERANGE.  k must not exceed the largest exponent.
template <class T> inline T power_of_two(int k) noexcept {
  using L = layout_of_t<T>;
  using B = typename L::bits_type;
  constexpr int fraction_bits = std::numeric_limits<T>::digits - 1;     // 52, 23
  constexpr int min_normal = std::numeric_limits<T>::min_exponent - 1;  // -1022, -126
  constexpr int bias = std::numeric_limits<T>::max_exponent - 1;        // 1023, 127
  constexpr int min_subnormal = min_normal - fraction_bits;             // -1074, -149
  if (k >= min_normal) return L::from_bits(static_cast<B>(static_cast<B>(k + bias) << fraction_bits));
  if (k >= min_subnormal) return L::from_bits(static_cast<B>(B{1} << (k - min_subnormal)));
  return T(0);
}

// Bounds of the magnitudes that step_across can take: from the threshold
// below which the next-value functions rescale, smallest_normal * 2^(D + 1)
// (2^-968 for binary64, 2^-101 for binary32; an exact product), up to the
// largest finite value, excluded.
template <class T> constexpr T plain_step_low() noexcept {
  return std::numeric_limits<T>::min() * static_cast<T>(std::uint64_t{1} << (std::numeric_limits<T>::digits + 1));
}

// True for a normal x with plain_step_low<T>() <= |x| < max_value: every
// such x has two normal neighbours and a normal spacing, so step_across
// applies.  One unsigned comparison of the magnitude's pattern.
template <class T> inline bool plain_step_magnitude(T x) noexcept {
  using L = layout_of_t<T>;
  using B = typename L::bits_type;
  const B lo = L::to_bits(plain_step_low<T>());
  const B hi = L::to_bits(std::numeric_limits<T>::max());
  const B a = static_cast<B>(L::to_bits(x) & ~L::sign_mask);
  return static_cast<B>(a - lo) < static_cast<B>(hi - lo);
}

// The neighbour of x above (up) or below it, for x with
// plain_step_magnitude(x): x plus or minus the spacing 2^(e - D) of the
// format at x, e the frexp exponent of x (read from the pattern, which is
// exact for normal x) and D the significand digits.  A power of two stepped
// toward zero has its neighbour in the binade below, where the spacing is
// half.  The spacing is negated rather than subtracted, which is the same
// IEEE operation, so that the direction costs no branch.
template <class T> inline T step_across(T x, bool up) noexcept {
  using L = layout_of_t<T>;
  using B = typename L::bits_type;
  constexpr int fraction_bits = std::numeric_limits<T>::digits - 1;  // 52, 23
  constexpr int bias = std::numeric_limits<T>::max_exponent - 1;     // 1023, 127
  const B b = L::to_bits(x);
  const B a = static_cast<B>(b & ~L::sign_mask);
  int e = static_cast<int>(a >> fraction_bits) - (bias - 1);
  const bool negative = (b & L::sign_mask) != 0;
  const bool binade_start = (a & L::significand_mask) == 0;
  e -= (binade_start && up == negative) ? 1 : 0;
  // 2^(e - D) is normal for every such x (e - D >= -1021, or -125), so its
  // pattern is the biased exponent alone.
  const B s = static_cast<B>(static_cast<B>(e - fraction_bits - 1 + bias) << fraction_bits);
  return x + L::from_bits(static_cast<B>(s | (up ? B{0} : L::sign_mask)));
}

// frexp of a normal x, read from and written into the pattern: x = m * 2^e
// with 0.5 <= |m| < 1, the sign of x on m.  Exact and identical to the
// platform's frexp for every normal x; callers pass nothing else (a
// subnormal would need its leading bit found first).
template <class T> inline T frexp_normal(T x, int& e) noexcept {
  using L = layout_of_t<T>;
  using B = typename L::bits_type;
  constexpr int fraction_bits = std::numeric_limits<T>::digits - 1;  // 52, 23
  constexpr int bias = std::numeric_limits<T>::max_exponent - 1;     // 1023, 127
  const B b = L::to_bits(x);
  e = static_cast<int>((b & L::exponent_mask) >> fraction_bits) - (bias - 1);
  // The exponent field of 0.5.
  constexpr B half_exponent = static_cast<B>(static_cast<B>(bias - 1) << fraction_bits);
  return L::from_bits(static_cast<B>((b & ~L::exponent_mask) | half_exponent));
}

// x with its low n significand bits cleared: a positive normal x truncated
// toward zero to digits - n significant bits.  For such x this is exactly
// ldexp(floor(ldexp(m, digits - n)), e - (digits - n)) with (m, e) =
// frexp(x), formed without the three calls.
template <class T> inline T clear_low_significand_bits(T x, int n) noexcept {
  using L = layout_of_t<T>;
  using B = typename L::bits_type;
  return L::from_bits(static_cast<B>(L::to_bits(x) & (~B{0} << n)));
}

// round(x), halfway cases away from zero, as an integer, for |x| < 2^52
// (2^23), read from the pattern: the integral part of |x| is its
// significand shifted right past the binary point, and the first bit
// shifted out says whether the fraction is one half or more.  Exact, and a
// short chain of integer operations where the floating route needs two
// conversions and a comparison.  |x| < 0.5 (zeros and subnormals among
// them) gives 0.
template <class T> inline std::int64_t round_to_integer(T x) noexcept {
  using L = layout_of_t<T>;
  using B = typename L::bits_type;
  constexpr int fraction_bits = std::numeric_limits<T>::digits - 1;  // 52, 23
  constexpr int bias = std::numeric_limits<T>::max_exponent - 1;     // 1023, 127
  constexpr int sign_shift = static_cast<int>(sizeof(B) * 8) - 1;    // 63, 31
  const B b = L::to_bits(x);
  const int k = static_cast<int>((b & L::exponent_mask) >> fraction_bits) - bias;
  std::int64_t i = 0;
  if (k >= -1) {
    const B m = static_cast<B>((b & L::significand_mask) | (B{1} << fraction_bits));
    const int shift = fraction_bits - k;  // 1 .. fraction_bits + 1: the fraction bits
    i = static_cast<std::int64_t>((m >> shift) + ((m >> (shift - 1)) & 1u));
  }
  // 0 or -1: negates i for a negative x without a branch on the sign.
  const std::int64_t s = -static_cast<std::int64_t>(b >> sign_shift);
  return (i ^ s) - s;
}

// The integral part of a finite a >= 0 (+0 stays +0), exactly what the
// platform's floor gives, without its call.  Below 2^52 (2^23) the
// conversion to a 64-bit integer truncates exactly and converting back is
// exact too; from there up a has no fraction bits.
template <class T> inline T truncate_magnitude(T a) noexcept {
  constexpr T no_fraction_from = T(std::uint64_t{1} << (std::numeric_limits<T>::digits - 1));
  return a < no_fraction_from ? static_cast<T>(static_cast<std::int64_t>(a)) : a;
}

// x with the sign bit of y and every other bit of x: payloads of NaNs
// travel unchanged.  For binary32 and binary64 that is IEEE copySign, which
// the compiler does with masks in the floating-point registers, without the
// round trip through an integer register that a byte copy costs.  A long
// double takes the sign bit of its layout (the high word of binary64 and
// binary128, the sign and exponent of x87).
template <class T> inline T with_sign_of(T x, T y) noexcept {
  using L = layout_of_t<T>;
  if constexpr (L::kind == layout_kind::whole_word) {
    return std::copysign(x, y);
  } else if constexpr (L::kind == layout_kind::x87) {
    return L::with_sign_exponent(
        x, static_cast<std::uint16_t>((L::sign_exponent(x) & L::exponent_mask) | (L::sign_exponent(y) & L::sign_mask)));
  } else {
    return L::with_high_word(x, (L::high_word(x) & ~L::sign_mask) | (L::high_word(y) & L::sign_mask));
  }
}

}  // namespace varnel::math::tools

#endif
