// Bit-pattern helpers for tests: build values from patterns and compare
// results bit for bit (signed zeros and NaN payloads included).
#ifndef VARNEL_TESTS_SUPPORT_BITS_HPP
#define VARNEL_TESTS_SUPPORT_BITS_HPP

#include <cstdint>
#include <cstring>

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
// Meaningful where long double is the x87 format; the buffers are wide
// enough that the helpers stay in bounds where it is not.
inline long double x87_from(std::uint16_t sign_exponent, std::uint64_t significand) {
  unsigned char bytes[16] = {};
  std::memcpy(bytes, &significand, 8);
  std::memcpy(bytes + 8, &sign_exponent, 2);
  long double x;
  std::memcpy(&x, bytes, sizeof x);
  return x;
}
// 2^e as an x87 value, e far outside binary64's exponent range if need be.
inline long double x87_power_of_two(int e) {
  return x87_from(static_cast<std::uint16_t>(0x3FFF + e), 0x8000000000000000u);
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

}  // namespace varnel_test

#define EXPECT_SAME_BITS(expected, actual) EXPECT_EQ(::varnel_test::bits_of(expected), ::varnel_test::bits_of(actual))

#endif
