// Classification, flip_sign and sign_of through every layout, bit for bit
// (copysign: copysign_test.cpp).
#include <cerrno>
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

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

struct class64 {
  std::uint64_t bits;
  int fp_class;
};

// One table serves both binary64 layouts: the high-word layout must agree
// with the whole-word layout on every pattern.
const class64 binary64_cases[] = {
    {0x0000000000000000u, vm::fp_zero},      {0x8000000000000000u, vm::fp_zero},
    {0x0000000000000001u, vm::fp_subnormal},  // 2^-1074
    {0x000FFFFF00000000u, vm::fp_subnormal},  // low word zero, upper significand bits set
    {0x0000000100000000u, vm::fp_subnormal}, {0x800FFFFFFFFFFFFFu, vm::fp_subnormal},
    {0x0010000000000000u, vm::fp_normal},  // 2^-1022
    {0x3FF0000000000000u, vm::fp_normal},    {0xFFEFFFFFFFFFFFFFu, vm::fp_normal},
    {0x7FF0000000000000u, vm::fp_infinite},  {0xFFF0000000000000u, vm::fp_infinite},
    {0x7FF0000000000001u, vm::fp_nan},  // signalling, only the lowest bit: not an infinity
    {0x7FF0000100000000u, vm::fp_nan},       {0x7FF8000000000000u, vm::fp_nan},
    {0xFFF8000000000000u, vm::fp_nan},  // negative quiet NaN
    {0x7FFFFFFFFFFFFFFFu, vm::fp_nan},
};

template <class L> void check_binary64_layout() {
  for (const auto& c : binary64_cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.bits);
    const double x = from_bits(c.bits);
    EXPECT_EQ(vd::fpclassify_in<L>(x), c.fp_class);
    EXPECT_EQ(vd::isnan_in<L>(x), c.fp_class == vm::fp_nan);
    EXPECT_EQ(vd::isinf_in<L>(x), c.fp_class == vm::fp_infinite);
    EXPECT_EQ(vd::isfinite_in<L>(x), c.fp_class != vm::fp_nan && c.fp_class != vm::fp_infinite);
    EXPECT_EQ(vd::isnormal_in<L>(x), c.fp_class == vm::fp_normal);
    EXPECT_EQ(vd::signbit_in<L>(x), (c.bits >> 63) != 0 ? 1 : 0);
    EXPECT_EQ(bits_of(vd::flip_sign_in<L>(x)), c.bits ^ 0x8000000000000000u);
  }
}

TEST(Classify, Word64Layout) { check_binary64_layout<varnel::math::tools::word64_layout>(); }
TEST(Classify, HighWordLayout) { check_binary64_layout<varnel::math::tools::high_word_layout>(); }

TEST(Classify, Word32Layout) {
  struct {
    std::uint32_t bits;
    int fp_class;
  } cases[] = {
      {0x00000000u, vm::fp_zero},      {0x80000000u, vm::fp_zero},     {0x00000001u, vm::fp_subnormal},
      {0x807FFFFFu, vm::fp_subnormal}, {0x00800000u, vm::fp_normal},   {0x7F7FFFFFu, vm::fp_normal},
      {0x7F800000u, vm::fp_infinite},  {0xFF800000u, vm::fp_infinite}, {0x7F800001u, vm::fp_nan},
      {0xFFC00000u, vm::fp_nan},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.bits);
    const float x = from_bits32(c.bits);
    EXPECT_EQ(vm::fpclassify(x), c.fp_class);
    EXPECT_EQ(vm::isnan(x), c.fp_class == vm::fp_nan);
    EXPECT_EQ(vm::isinf(x), c.fp_class == vm::fp_infinite);
    EXPECT_EQ(vm::isfinite(x), c.fp_class != vm::fp_nan && c.fp_class != vm::fp_infinite);
    EXPECT_EQ(vm::isnormal(x), c.fp_class == vm::fp_normal);
    EXPECT_EQ(vm::signbit(x), static_cast<int>(c.bits >> 31));
  }
}

// long double in the platform's format.  binary64 (Windows): the table of
// binary64 patterns, read through the high-word layout.  x87 (Linux): native
// values, including encodings a binary64 cannot hold and the invalid ones
// the processor treats as NaN.
TEST(Classify, NativeLongDouble) {
  if constexpr (varnel::math::tools::long_double_is_binary64) {
    for (const auto& c : binary64_cases) {
      SCOPED_TRACE(testing::Message() << std::hex << c.bits);
      const long double x = varnel_test::long_double_from_bits(c.bits);
      EXPECT_EQ(vm::fpclassify(x), c.fp_class);
      EXPECT_EQ(vm::isnan(x), c.fp_class == vm::fp_nan);
      EXPECT_EQ(vm::isinf(x), c.fp_class == vm::fp_infinite);
      EXPECT_EQ(vm::isfinite(x), c.fp_class != vm::fp_nan && c.fp_class != vm::fp_infinite);
      EXPECT_EQ(vm::isnormal(x), c.fp_class == vm::fp_normal);
      EXPECT_EQ(vm::signbit(x), static_cast<int>(c.bits >> 63));
    }
    return;
  }
  struct {
    std::uint16_t se;
    std::uint64_t m;
    int fp_class;
  } cases[] = {
      {0x0000, 0x0000000000000000u, vm::fp_zero},
      {0x8000, 0x0000000000000000u, vm::fp_zero},
      {0x0000, 0x0000000000000001u, vm::fp_subnormal},
      {0x0000, 0x8000000000000000u, vm::fp_subnormal},  // pseudo-denormal
      {0x0001, 0x8000000000000000u, vm::fp_normal},     // smallest normal, far below binary64's
      {0x7FFE, 0xFFFFFFFFFFFFFFFFu, vm::fp_normal},     // largest, far above binary64's
      {0x3FFF, 0x8000000000000000u, vm::fp_normal},     // 1.0
      {0x3FFF, 0x0000000000000000u, vm::fp_nan},        // unnormal
      {0x7FFF, 0x8000000000000000u, vm::fp_infinite},
      {0xFFFF, 0x8000000000000000u, vm::fp_infinite},
      {0x7FFF, 0x0000000000000000u, vm::fp_nan},  // pseudo-infinity
      {0x7FFF, 0xC000000000000000u, vm::fp_nan},
      {0x7FFF, 0x8000000000000001u, vm::fp_nan},  // signalling
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.se << ":" << c.m);
    const long double x = x87_from(c.se, c.m);
    EXPECT_EQ(vm::fpclassify(x), c.fp_class);
    EXPECT_EQ(vm::isnan(x), c.fp_class == vm::fp_nan);
    EXPECT_EQ(vm::isinf(x), c.fp_class == vm::fp_infinite);
    EXPECT_EQ(vm::isfinite(x), c.fp_class != vm::fp_nan && c.fp_class != vm::fp_infinite);
    EXPECT_EQ(vm::isnormal(x), c.fp_class == vm::fp_normal);
    EXPECT_EQ(vm::signbit(x), c.se >> 15);
  }
  EXPECT_FALSE(vm::isinf(varnel_test::x87_power_of_two(13000)));
  EXPECT_TRUE(vm::isnormal(varnel_test::x87_power_of_two(-13000)));
}

TEST(Sign, SignOf) {
  EXPECT_EQ(vm::sign_of(-0.0), 0);
  EXPECT_EQ(vm::sign_of(0.0), 0);
  EXPECT_EQ(vm::sign_of(-2.0), -1);
  EXPECT_EQ(vm::sign_of(5e-324), 1);
  EXPECT_EQ(vm::sign_of(from_bits(0xFFF8000000000000u)), -1);  // NaN by its sign bit
  EXPECT_EQ(vm::sign_of(from_bits(0x7FF8000000000000u)), 1);
}

TEST(Classify, NeverTouchesErrno) {
  errno = 12345;
  for (const auto& c : binary64_cases) {
    const double x = from_bits(c.bits);
    (void)vm::fpclassify(x);
    (void)vm::isnan(x);
    (void)vm::copysign(x, -x);
  }
  EXPECT_EQ(errno, 12345);
}

}  // namespace
