// copysign: x with the sign bit of y, bit for bit (NaN payloads and
// signalling NaNs kept), in every layout; the long double member on the
// native value.
#include <cstdint>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/copysign.hpp>
#include <varnel/math/tools/layouts.hpp>

#include "support/bits.hpp"

namespace {

namespace vm = varnel::math;
namespace vd = varnel::math::detail;
using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::from_bits32;
using varnel_test::x87_from;

TEST(Copysign, BitForBit) {
  struct {
    std::uint64_t x, y, result;
  } cases[] = {
      {0x4008000000000000u, 0x8000000000000000u, 0xC008000000000000u},  // (3, -0) = -3
      {0x8000000000000000u, 0x3FF0000000000000u, 0x0000000000000000u},  // (-0, 1) = +0
      {0x7FF8000000000000u, 0xBFF0000000000000u, 0xFFF8000000000000u},  // NaN takes the sign
      {0x7FF0000000000001u, 0xFFF8000000000000u, 0xFFF0000000000001u},  // payload kept, NaN y
      {0xFFF4000000000abcu, 0xFFF0000000000000u, 0xFFF4000000000abcu},  // same sign: untouched
      {0x0000000000000001u, 0x8000000000000000u, 0x8000000000000001u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bits_of(vm::copysign(from_bits(c.x), from_bits(c.y))), c.result);
    EXPECT_EQ(bits_of(vd::flip_sign_in<varnel::math::tools::high_word_layout>(from_bits(c.x))) ^ 0x8000000000000000u,
              c.x);
  }
  EXPECT_EQ(bits_of(vm::copysign(from_bits32(0x7FC00001u), -1.0f)), 0xFFC00001u);
  if constexpr (varnel::math::tools::long_double_is_x87) {
    const long double big = x87_from(0x7FFE, 0xFFFFFFFFFFFFFFFFu);
    EXPECT_EQ(varnel_test::x87_sign_exponent(vm::copysign(big, -0.0L)), 0xFFFE);
    EXPECT_EQ(varnel_test::x87_significand(vm::copysign(big, -0.0L)), 0xFFFFFFFFFFFFFFFFu);
  } else {
    for (const auto& c : cases) {
      const long double x = varnel_test::long_double_from_bits(c.x);
      const long double y = varnel_test::long_double_from_bits(c.y);
      EXPECT_EQ(varnel_test::binary64_bits_of(vm::copysign(x, y)), c.result);
    }
  }
}

TEST(Copysign, ExportsInEveryPrecision) {
  EXPECT_EQ(bits_of(varnel_copysign(3.0, -0.0)), bits_of(-3.0));
  EXPECT_EQ(bits_of(varnel_copysign(from_bits(0x7FF8000000000000u), -1.0)), 0xFFF8000000000000u);
  EXPECT_EQ(bits_of(varnel_copysignf(-0.0f, 1.0f)), 0u);
  if constexpr (varnel::math::tools::long_double_is_x87) {
    // The native long double keeps all 64 significand bits: no round trip
    // through binary64.
    const long double x = x87_from(0x3FFF, 0x8000000000000001u);  // 1 + 2^-63
    const long double r = varnel_copysignl(x, -1.0L);
    EXPECT_EQ(varnel_test::x87_sign_exponent(r), 0xBFFF);
    EXPECT_EQ(varnel_test::x87_significand(r), 0x8000000000000001u);
    const long double huge = varnel_test::x87_power_of_two(13000);
    EXPECT_EQ(varnel_copysignl(huge, -1.0L), -huge);
  } else {
    // binary64: the sign is bit 31 of the high word, and a signalling NaN
    // comes back signalling.
    const long double snan = varnel_test::long_double_from_bits(0x7FF0000000000001u);
    EXPECT_EQ(varnel_test::binary64_bits_of(varnel_copysignl(snan, -1.0L)), 0xFFF0000000000001u);
  }
}

}  // namespace
