// Bit access for the floating formats: the one place where a value's bytes
// are read or written as integers.  Every read and write is a byte copy into
// or out of an unsigned integer; no pointer ever reinterprets a value in
// place.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_DETAIL_BITS_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_DETAIL_BITS_HPP

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace varnel::math::detail {

// Whole-word layout of an IEEE binary format whose width is an integer type.
template <class T, class Bits, Bits SignMask, Bits ExponentMask, Bits SignificandMask>
struct word_layout {
  using value_type = T;
  using bits_type = Bits;
  static constexpr Bits sign_mask = SignMask;
  static constexpr Bits exponent_mask = ExponentMask;
  static constexpr Bits significand_mask = SignificandMask;

  static Bits to_bits(T x) noexcept {
    static_assert(sizeof(T) == sizeof(Bits), "layout width must match the type");
    Bits b;
    std::memcpy(&b, &x, sizeof b);
    return b;
  }
  static T from_bits(Bits b) noexcept {
    T x;
    std::memcpy(&x, &b, sizeof x);
    return x;
  }
};

// binary32: float.
using word32_layout = word_layout<float, std::uint32_t, 0x80000000u, 0x7F800000u, 0x007FFFFFu>;
// binary64: double.
using word64_layout = word_layout<double, std::uint64_t, 0x8000000000000000u,
                                  0x7FF0000000000000u, 0x000FFFFFFFFFFFFFu>;

// A binary64 value read through its upper 32 bits only (bytes 4 to 7 on a
// little-endian machine).  The low significand word is never read as an
// integer: predicates that need it patch the high word of a copy so that
// only significand bits remain, then compare the copy with 0.0.
struct high_word_layout {
  using value_type = double;
  static constexpr std::uint32_t sign_mask = 0x80000000u;
  static constexpr std::uint32_t exponent_mask = 0x7FF00000u;
  static constexpr std::uint32_t significand_mask = 0x000FFFFFu;

  static std::uint32_t high_word(double x) noexcept {
    unsigned char bytes[sizeof x];
    std::memcpy(bytes, &x, sizeof x);
    std::uint32_t h;
    std::memcpy(&h, bytes + 4, sizeof h);
    return h;
  }
  static double with_high_word(double x, std::uint32_t h) noexcept {
    unsigned char bytes[sizeof x];
    std::memcpy(bytes, &x, sizeof x);
    std::memcpy(bytes + 4, &h, sizeof h);
    std::memcpy(&x, bytes, sizeof x);
    return x;
  }
};

// The native long double of x86-64 Linux: the 80-bit x87 extended format in
// a 16-byte slot.  Bytes 0-7 hold the 64-bit significand with its explicit
// integer bit, bytes 8-9 the sign and 15-bit exponent; the rest is padding
// and is never read.
struct x87_layout {
  using value_type = long double;
  static constexpr std::uint16_t sign_mask = 0x8000u;
  static constexpr std::uint16_t exponent_mask = 0x7FFFu;
  static constexpr std::uint64_t integer_bit = 0x8000000000000000u;

  static_assert(std::numeric_limits<long double>::digits == 64,
                "x87_layout describes the 64-bit-significand extended format");

  static std::uint64_t significand(long double x) noexcept {
    std::uint64_t m;
    std::memcpy(&m, reinterpret_cast<const unsigned char*>(&x), sizeof m);
    return m;
  }
  static std::uint16_t sign_exponent(long double x) noexcept {
    std::uint16_t se;
    std::memcpy(&se, reinterpret_cast<const unsigned char*>(&x) + 8, sizeof se);
    return se;
  }
  static long double with_sign_exponent(long double x, std::uint16_t se) noexcept {
    std::memcpy(reinterpret_cast<unsigned char*>(&x) + 8, &se, sizeof se);
    return x;
  }
};

// True when |x| < 2^1023, or x is an invalid x87 encoding with such an
// exponent: converting x to binary64 is then an ordinary conversion that
// cannot leave the binary64 range.  Read from the exponent field in memory,
// which costs no x87 operation.
inline bool x87_below_binary64_top_binade(long double x) noexcept {
  constexpr std::uint16_t top_binade = 0x3FFF + 1023;  // biased exponent of 2^1023
  return (x87_layout::sign_exponent(x) & x87_layout::exponent_mask) < top_binade;
}

template <class T> struct layout_of;
template <> struct layout_of<float> { using type = word32_layout; };
template <> struct layout_of<double> { using type = word64_layout; };
template <> struct layout_of<long double> { using type = x87_layout; };
template <class T> using layout_of_t = typename layout_of<T>::type;

// 2^k in binary32 or binary64, written as its bit pattern: a normal power
// for k at or above the smallest normal exponent, a subnormal one down to
// the smallest subnormal, and +0 below that.  The zero matches the rounded
// result of a library scaling, which takes 2^-1075 (2^-150), exactly half
// the smallest subnormal, to the even neighbour 0.  Unlike such a scaling
// it never stores ERANGE.  k must not exceed the largest exponent.
template <class T>
inline T power_of_two(int k) noexcept {
  using L = layout_of_t<T>;
  using B = typename L::bits_type;
  constexpr int fraction_bits = std::numeric_limits<T>::digits - 1;         // 52, 23
  constexpr int min_normal = std::numeric_limits<T>::min_exponent - 1;      // -1022, -126
  constexpr int bias = std::numeric_limits<T>::max_exponent - 1;            // 1023, 127
  constexpr int min_subnormal = min_normal - fraction_bits;                 // -1074, -149
  if (k >= min_normal) return L::from_bits(static_cast<B>(static_cast<B>(k + bias) << fraction_bits));
  if (k >= min_subnormal) return L::from_bits(static_cast<B>(B{1} << (k - min_subnormal)));
  return T(0);
}

// Bounds of the magnitudes that step_across can take: from the threshold
// below which the next-value functions rescale, smallest_normal * 2^(D + 1)
// (2^-968 for binary64, 2^-101 for binary32; an exact product), up to the
// largest finite value, excluded.
template <class T>
constexpr T plain_step_low() noexcept {
  return std::numeric_limits<T>::min() *
         static_cast<T>(std::uint64_t{1} << (std::numeric_limits<T>::digits + 1));
}

// True for a normal x with plain_step_low<T>() <= |x| < max_value: every
// such x has two normal neighbours and a normal spacing, so step_across
// applies.  One unsigned comparison of the magnitude's pattern.
template <class T>
inline bool plain_step_magnitude(T x) noexcept {
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
template <class T>
inline T step_across(T x, bool up) noexcept {
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
template <class T>
inline T frexp_normal(T x, int& e) noexcept {
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
template <class T>
inline T clear_low_significand_bits(T x, int n) noexcept {
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
template <class T>
inline std::int64_t round_to_integer(T x) noexcept {
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
template <class T>
inline T truncate_magnitude(T a) noexcept {
  constexpr T no_fraction_from = T(std::uint64_t{1} << (std::numeric_limits<T>::digits - 1));
  return a < no_fraction_from ? static_cast<T>(static_cast<std::int64_t>(a)) : a;
}

// x with the sign bit of y and every other bit of x: payloads of NaNs
// travel unchanged.  For binary32 and binary64 that is IEEE copySign, which
// the compiler does with masks in the floating-point registers, without the
// round trip through an integer register that a byte copy costs.
template <class T>
inline T with_sign_of(T x, T y) noexcept {
  return std::copysign(x, y);
}
template <>
inline long double with_sign_of<long double>(long double x, long double y) noexcept {
  using L = x87_layout;
  return L::with_sign_exponent(
      x, static_cast<std::uint16_t>((L::sign_exponent(x) & L::exponent_mask) |
                                    (L::sign_exponent(y) & L::sign_mask)));
}

}  // namespace varnel::math::detail

#endif
