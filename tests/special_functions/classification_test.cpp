// Classification, flip_sign and sign_of through every layout, bit for bit
// (copysign: copysign_test.cpp).
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

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

// long double in the platform's format, one table of patterns per format
// (support/bits.hpp: pattern_of, most significant word first), each value
// checked by every predicate.  binary64 (Windows): the table of binary64
// patterns, read through the high-word layout.  x87 (x86-64 Linux): native
// values, including encodings a binary64 cannot hold and the invalid ones
// the processor treats as NaN.  binary128 (AArch64, s390x): both words,
// so that a bit of the low word alone decides between an infinity and a
// NaN, and between zero and a subnormal.
struct native_case {
  varnel_test::long_double_pattern bits;
  int fp_class;
};

std::vector<native_case> native_cases() {
  std::vector<native_case> cases;
  if constexpr (varnel::math::tools::long_double_is_binary64) {
    for (const auto& c : binary64_cases) cases.push_back({{0, c.bits}, c.fp_class});
  } else if constexpr (varnel::math::tools::long_double_is_x87) {
    cases = {
        {{0x0000, 0x0000000000000000u}, vm::fp_zero},
        {{0x8000, 0x0000000000000000u}, vm::fp_zero},
        {{0x0000, 0x0000000000000001u}, vm::fp_subnormal},
        {{0x0000, 0x8000000000000000u}, vm::fp_subnormal},  // pseudo-denormal
        {{0x0001, 0x8000000000000000u}, vm::fp_normal},     // smallest normal, far below binary64's
        {{0x7FFE, 0xFFFFFFFFFFFFFFFFu}, vm::fp_normal},     // largest, far above binary64's
        {{0x3FFF, 0x8000000000000000u}, vm::fp_normal},     // 1.0
        {{0x3FFF, 0x0000000000000000u}, vm::fp_nan},        // unnormal
        {{0x7FFF, 0x8000000000000000u}, vm::fp_infinite},
        {{0xFFFF, 0x8000000000000000u}, vm::fp_infinite},
        {{0x7FFF, 0x0000000000000000u}, vm::fp_nan},  // pseudo-infinity
        {{0x7FFF, 0xC000000000000000u}, vm::fp_nan},
        {{0x7FFF, 0x8000000000000001u}, vm::fp_nan},  // signalling
    };
  } else {
    cases = {
        {{0x0000000000000000u, 0x0000000000000000u}, vm::fp_zero},
        {{0x8000000000000000u, 0x0000000000000000u}, vm::fp_zero},
        {{0x0000000000000000u, 0x0000000000000001u}, vm::fp_subnormal},  // 2^-16494, the low word alone
        {{0x8000000000000001u, 0x0000000000000000u}, vm::fp_subnormal},  // the high word's fraction alone
        {{0x0000FFFFFFFFFFFFu, 0xFFFFFFFFFFFFFFFFu}, vm::fp_subnormal},  // largest subnormal
        {{0x0001000000000000u, 0x0000000000000000u}, vm::fp_normal},     // smallest normal, far below binary64's
        {{0x7FFEFFFFFFFFFFFFu, 0xFFFFFFFFFFFFFFFFu}, vm::fp_normal},     // largest, far above binary64's
        {{0x3FFF000000000000u, 0x0000000000000000u}, vm::fp_normal},     // 1.0
        {{0xBFFF000000000000u, 0x0000000000000001u}, vm::fp_normal},     // -(1 + 2^-112)
        {{0x7FFF000000000000u, 0x0000000000000000u}, vm::fp_infinite},
        {{0xFFFF000000000000u, 0x0000000000000000u}, vm::fp_infinite},
        {{0x7FFF000000000000u, 0x0000000000000001u}, vm::fp_nan},  // signalling, the low word alone
        {{0x7FFF000000000001u, 0x0000000000000000u}, vm::fp_nan},  // signalling, the high word alone
        {{0x7FFF800000000000u, 0x0000000000000000u}, vm::fp_nan},  // quiet
        {{0xFFFF800000000000u, 0x0000000000001234u}, vm::fp_nan},  // negative, with a payload
        {{0x7FFFFFFFFFFFFFFFu, 0xFFFFFFFFFFFFFFFFu}, vm::fp_nan},
    };
  }
  return cases;
}

TEST(Classify, NativeLongDouble) {
  for (const auto& c : native_cases()) {
    SCOPED_TRACE(testing::Message() << c.bits);
    const long double x = varnel_test::from_pattern(c.bits);
    ASSERT_EQ(varnel_test::pattern_of(x), c.bits);  // the value holds its pattern
    EXPECT_EQ(vm::fpclassify(x), c.fp_class);
    EXPECT_EQ(vm::isnan(x), c.fp_class == vm::fp_nan);
    EXPECT_EQ(vm::isinf(x), c.fp_class == vm::fp_infinite);
    EXPECT_EQ(vm::isfinite(x), c.fp_class != vm::fp_nan && c.fp_class != vm::fp_infinite);
    EXPECT_EQ(vm::isnormal(x), c.fp_class == vm::fp_normal);
    const bool negative = varnel_test::with_sign(c.bits, true) == c.bits;
    EXPECT_EQ(vm::signbit(x), negative ? 1 : 0);
    EXPECT_EQ(varnel_test::pattern_of(vm::flip_sign(x)), varnel_test::with_sign(c.bits, !negative));
  }
  // Far outside binary64's range, the x87 format and binary128 alike.
  if (varnel::math::tools::long_double_is_wider) {
    EXPECT_FALSE(vm::isinf(varnel_test::long_double_power_of_two(13000)));
    EXPECT_TRUE(vm::isnormal(varnel_test::long_double_power_of_two(-13000)));
  }
}

// The layout reads the compiler's own long double: its limits, written by
// the compiler, have the patterns of the format (the byte order included).
TEST(Classify, LongDoubleLayoutMatchesTheCompiler) {
  using limits = std::numeric_limits<long double>;
  using varnel_test::pattern_of;
  struct {
    long double x;
    varnel_test::long_double_pattern binary64, x87, binary128;
  } cases[] = {
      {1.0L, {0, 0x3FF0000000000000u}, {0x3FFF, 0x8000000000000000u}, {0x3FFF000000000000u, 0}},
      {-2.0L, {0, 0xC000000000000000u}, {0xC000, 0x8000000000000000u}, {0xC000000000000000u, 0}},
      {limits::max(),
       {0, 0x7FEFFFFFFFFFFFFFu},
       {0x7FFE, 0xFFFFFFFFFFFFFFFFu},
       {0x7FFEFFFFFFFFFFFFu, 0xFFFFFFFFFFFFFFFFu}},
      {limits::denorm_min(), {0, 1}, {0, 1}, {0, 1}},
      {limits::infinity(), {0, 0x7FF0000000000000u}, {0x7FFF, 0x8000000000000000u}, {0x7FFF000000000000u, 0}},
      {1.0L + limits::epsilon(), {0, 0x3FF0000000000001u}, {0x3FFF, 0x8000000000000001u}, {0x3FFF000000000000u, 1}},
  };
  for (const auto& c : cases) {
    const auto expected = varnel::math::tools::long_double_is_binary64 ? c.binary64
                          : varnel::math::tools::long_double_is_x87    ? c.x87
                                                                       : c.binary128;
    EXPECT_EQ(pattern_of(c.x), expected);
    EXPECT_EQ(varnel_test::from_pattern(expected), c.x);
  }
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
