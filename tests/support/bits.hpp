// Bit-pattern helpers for tests: build values from patterns and compare
// results bit for bit (signed zeros and NaN payloads included).
#ifndef VARNEL_TESTS_SUPPORT_BITS_HPP
#define VARNEL_TESTS_SUPPORT_BITS_HPP

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include <varnel/math/tools/layouts.hpp>

namespace varnel_test {

inline double from_bits(std::uint64_t b) {
  double x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}
inline float from_bits32(std::uint32_t b) {
  float x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}
inline std::uint64_t bits_of(double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
inline std::uint32_t bits_of(float x) {
  std::uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// A long double with a binary64 pattern, where long double is binary64
// (Windows): no conversion, so signalling NaNs stay as they are.
inline long double long_double_from_bits(std::uint64_t b) {
  static_assert(sizeof(long double) >= sizeof b);
  long double x = 0;
  std::memcpy(&x, &b, sizeof b);
  return x;
}
inline std::uint64_t binary64_bits_of(long double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// The 80-bit x87 pattern of a long double: significand word and sign/exponent.
// Meaningful where long double is the x87 format (x86, little-endian); the
// buffers are wide enough that the helpers stay in bounds where it is not.
inline long double x87_from(std::uint16_t sign_exponent, std::uint64_t significand) {
  unsigned char bytes[16] = {};
  std::memcpy(bytes, &significand, 8);
  std::memcpy(bytes + 8, &sign_exponent, 2);
  long double x;
  std::memcpy(&x, bytes, sizeof x);
  return x;
}
inline std::uint16_t x87_sign_exponent(long double x) {
  unsigned char bytes[16] = {};
  std::memcpy(bytes, &x, sizeof x);
  std::uint16_t se;
  std::memcpy(&se, bytes + 8, 2);
  return se;
}
inline std::uint64_t x87_significand(long double x) {
  unsigned char bytes[16] = {};
  std::memcpy(bytes, &x, sizeof x);
  std::uint64_t m;
  std::memcpy(&m, bytes, 8);
  return m;
}

// --- long double in every format ---------------------------------------------
// The pattern of a long double in the platform's format (tools/layouts.hpp
// decides it, and reads it in the platform's byte order), as two words,
// most significant first:
//   binary64   {0, the 64 bits}
//   x87        {sign and 15-bit exponent, the 64-bit significand}
//   binary128  {sign, 15-bit exponent and the top 48 fraction bits,
//               the low 64 fraction bits}
// Every bit of the format is in it, nothing else (no x87 padding).
struct long_double_pattern {
  std::uint64_t high, low;
  friend bool operator==(const long_double_pattern& a, const long_double_pattern& b) {
    return a.high == b.high && a.low == b.low;
  }
  friend bool operator!=(const long_double_pattern& a, const long_double_pattern& b) { return !(a == b); }
  friend std::ostream& operator<<(std::ostream& os, const long_double_pattern& p) {
    const auto flags = os.flags();
    os << std::hex << "{0x" << p.high << ", 0x" << p.low << "}";
    os.flags(flags);
    return os;
  }
};

// The sign bit of the pattern, in the word that holds it.
inline constexpr std::uint64_t long_double_sign_bit = varnel::math::tools::long_double_is_x87 ? 0x8000u
                                                      : varnel::math::tools::long_double_is_binary128
                                                          ? 0x8000000000000000u
                                                          : 0;  // binary64: bit 63 of the low word

// (Templates over the layout, so that only the branch of the platform's
// format is compiled.)
template <class L = varnel::math::tools::layout_of_t<long double>> long_double_pattern pattern_of(long double x) {
  if constexpr (L::kind == varnel::math::tools::layout_kind::x87) {
    return {L::sign_exponent(x), L::significand(x)};
  } else if constexpr (L::kind == varnel::math::tools::layout_kind::binary128) {
    return {L::high_word(x), L::low_word(x)};
  } else {
    return {0, binary64_bits_of(x)};
  }
}

template <class L = varnel::math::tools::layout_of_t<long double>> long double from_pattern(long_double_pattern p) {
  if constexpr (L::kind == varnel::math::tools::layout_kind::x87) {
    return x87_from(static_cast<std::uint16_t>(p.high), p.low);
  } else if constexpr (L::kind == varnel::math::tools::layout_kind::binary128) {
    return L::from_words(p.high, p.low);
  } else {
    return long_double_from_bits(p.low);
  }
}

// The pattern with its sign bit set (negative) or cleared.
inline long_double_pattern with_sign(long_double_pattern p, bool negative) {
  if constexpr (varnel::math::tools::long_double_is_binary64) {
    const std::uint64_t s = std::uint64_t{1} << 63;
    p.low = negative ? p.low | s : p.low & ~s;
  } else {
    p.high = negative ? p.high | long_double_sign_bit : p.high & ~long_double_sign_bit;
  }
  return p;
}

// A quiet NaN with a payload in the lowest bits of its fraction (0x1234),
// and a signalling NaN with only the lowest fraction bit set, in the
// format of long double: the bits a sign operation must leave alone.
inline long_double_pattern long_double_payload_nan() {
  if constexpr (varnel::math::tools::long_double_is_x87) return {0x7FFF, 0xC000000000001234u};
  if constexpr (varnel::math::tools::long_double_is_binary128) return {0x7FFF800000000000u, 0x1234};
  return {0, 0x7FF8000000001234u};
}
inline long_double_pattern long_double_signalling_nan() {
  if constexpr (varnel::math::tools::long_double_is_x87) return {0x7FFF, 0x8000000000000001u};
  if constexpr (varnel::math::tools::long_double_is_binary128) return {0x7FFF000000000000u, 1};
  return {0, 0x7FF0000000000001u};
}

// A value of the x87 format and binary128 alike, given as the x87 format
// writes it: sign and biased exponent (15 bits, bias 16383, in both
// formats) and a 64-bit significand whose top bit is the integer bit.  In
// binary128 the integer bit is implicit (it must be set exactly when the
// exponent is neither 0 nor all ones, or for an infinity or NaN), the other
// 63 bits are the top of the 112-bit fraction and the rest is zero; the
// x87-only encodings (unnormals, pseudo-denormals, pseudo-infinities) have
// no binary128 counterpart and are built with x87_from alone.  Where long
// double is binary64 there are no such values: a test that asks for one
// there (one without VARNEL_REQUIRE_WIDE_LONG_DOUBLE) stops.
inline long double long_double_from(std::uint16_t sign_exponent, std::uint64_t significand) {
  if constexpr (varnel::math::tools::long_double_is_x87) {
    return x87_from(sign_exponent, significand);
  } else if constexpr (varnel::math::tools::long_double_is_binary64) {
    std::abort();
  } else {
    const std::uint64_t fraction = significand & 0x7FFFFFFFFFFFFFFFu;  // 63 bits
    return from_pattern({(std::uint64_t{sign_exponent} << 48) | (fraction >> 15), fraction << 49});
  }
}

// 2^e as a long double, e far outside binary64's exponent range if need be
// (a normal exponent of the x87 format and binary128: -16382 <= e <= 16383).
inline long double long_double_power_of_two(int e) {
  return long_double_from(static_cast<std::uint16_t>(0x3FFF + e), 0x8000000000000000u);
}

}  // namespace varnel_test

#define EXPECT_SAME_BITS(expected, actual) EXPECT_EQ(::varnel_test::bits_of(expected), ::varnel_test::bits_of(actual))

#endif
