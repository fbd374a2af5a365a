// Bit-pattern helpers for tests: build values from patterns and compare
// results bit for bit (signed zeros and NaN payloads included).
#ifndef VARNEL_TESTS_SUPPORT_BITS_HPP
#define VARNEL_TESTS_SUPPORT_BITS_HPP

#include <cstdint>
#include <cstring>

namespace varnel_test {

inline double from_bits(std::uint64_t b) { double x; std::memcpy(&x, &b, sizeof x); return x; }
inline float from_bits32(std::uint32_t b) { float x; std::memcpy(&x, &b, sizeof x); return x; }
inline std::uint64_t bits_of(double x) { std::uint64_t b; std::memcpy(&b, &x, sizeof b); return b; }
inline std::uint32_t bits_of(float x) { std::uint32_t b; std::memcpy(&b, &x, sizeof b); return b; }

// The 80-bit x87 pattern of a long double: significand word and sign/exponent.
inline long double x87_from(std::uint16_t sign_exponent, std::uint64_t significand) {
  long double x = 0;
  unsigned char bytes[sizeof x] = {};
  std::memcpy(bytes, &significand, 8);
  std::memcpy(bytes + 8, &sign_exponent, 2);
  std::memcpy(&x, bytes, sizeof x);
  return x;
}
inline std::uint16_t x87_sign_exponent(long double x) {
  unsigned char bytes[sizeof x];
  std::memcpy(bytes, &x, sizeof x);
  std::uint16_t se;
  std::memcpy(&se, bytes + 8, 2);
  return se;
}
inline std::uint64_t x87_significand(long double x) {
  unsigned char bytes[sizeof x];
  std::memcpy(bytes, &x, sizeof x);
  std::uint64_t m;
  std::memcpy(&m, bytes, 8);
  return m;
}

}  // namespace varnel_test

#define EXPECT_SAME_BITS(expected, actual) \
  EXPECT_EQ(::varnel_test::bits_of(expected), ::varnel_test::bits_of(actual))

#endif
