// copysign: x with the sign bit of y, bit for bit (NaN payloads and
// signalling NaNs kept), in every layout; the long double member on the
// native value.
#include <cstdint>
#include <limits>
#include <vector>

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
using varnel_test::from_pattern;
using varnel_test::pattern_of;
using varnel_test::with_sign;

// long double in its own format: x (a pattern) with the sign of y, every
// other bit of x kept.  The patterns come from support/bits.hpp, which
// knows the format; the table is the same for all of them.
struct long_double_case {
  varnel_test::long_double_pattern x;
  long double y;
  bool negative;  // the sign the result must have
};

std::vector<long_double_case> long_double_cases() {
  using limits = std::numeric_limits<long double>;
  const auto nan_bits = varnel_test::long_double_payload_nan();
  const auto snan_bits = varnel_test::long_double_signalling_nan();
  return {
      {pattern_of(limits::max()), -0.0L, true},                    // the sign of -0
      {pattern_of(-0.0L), 1.0L, false},                            // -0 becomes +0
      {nan_bits, -1.0L, true},                                     // a NaN takes the sign, payload kept
      {snan_bits, from_pattern(with_sign(nan_bits, true)), true},  // signalling kept, a NaN y counts by its sign
      {with_sign(nan_bits, true), -limits::infinity(), true},      // same sign: untouched
      {pattern_of(limits::denorm_min()), -0.0L, true},
      {pattern_of(1.0L + limits::epsilon()), -1.0L, true},  // the lowest bit of the format kept
      {pattern_of(-limits::infinity()), limits::min(), false},
  };
}

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
  if constexpr (varnel::math::tools::long_double_is_binary64) {
    for (const auto& c : cases) {
      const long double x = varnel_test::long_double_from_bits(c.x);
      const long double y = varnel_test::long_double_from_bits(c.y);
      EXPECT_EQ(varnel_test::binary64_bits_of(vm::copysign(x, y)), c.result);
    }
  }
  for (const auto& c : long_double_cases()) {
    SCOPED_TRACE(testing::Message() << c.x);
    EXPECT_EQ(pattern_of(vm::copysign(from_pattern(c.x), c.y)), with_sign(c.x, c.negative));
  }
}

TEST(Copysign, ExportsInEveryPrecision) {
  EXPECT_EQ(bits_of(varnel_copysign(3.0, -0.0)), bits_of(-3.0));
  EXPECT_EQ(bits_of(varnel_copysign(from_bits(0x7FF8000000000000u), -1.0)), 0xFFF8000000000000u);
  EXPECT_EQ(bits_of(varnel_copysignf(-0.0f, 1.0f)), 0u);
  // The native long double keeps every bit of its format (all 64
  // significand bits of x87, all 112 fraction bits of binary128): no round
  // trip through binary64; a signalling NaN comes back signalling.
  for (const auto& c : long_double_cases()) {
    SCOPED_TRACE(testing::Message() << c.x);
    EXPECT_EQ(pattern_of(varnel_copysignl(from_pattern(c.x), c.y)), with_sign(c.x, c.negative));
  }
  if (varnel::math::tools::long_double_is_wider) {
    const long double x = varnel_test::long_double_from(0x3FFF, 0x8000000000000001u);  // 1 + 2^-63
    EXPECT_EQ(pattern_of(varnel_copysignl(x, -1.0L)), with_sign(pattern_of(x), true));
    const long double huge = varnel_test::long_double_power_of_two(13000);
    EXPECT_EQ(varnel_copysignl(huge, -1.0L), -huge);
  }
}

}  // namespace
