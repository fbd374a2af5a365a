// The exports of the three libraries, called through their public headers.
#include <cerrno>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/tools/layouts.hpp>
#include <varnel/math/tr1.hpp>

#include "support/bits.hpp"
#include "support/platform.hpp"

namespace {

namespace tr1 = varnel::math::tr1;
using varnel_test::bits_of;
using varnel_test::from_bits;

TEST(Exports, ClassificationInstantiations) {
  EXPECT_EQ(tr1::fpclassify(5e-324), tr1::fp_subnormal);
  EXPECT_EQ(tr1::fpclassify(0x1p-1022), tr1::fp_normal);
  EXPECT_EQ(tr1::fpclassify(0x1p-149f), tr1::fp_subnormal);
  EXPECT_EQ(tr1::fpclassify(0x1p-126f), tr1::fp_normal);
  EXPECT_TRUE(tr1::isnan(from_bits(0x7FF0000000000001u)));
  EXPECT_FALSE(tr1::isinf(from_bits(0x7FF0000000000001u)));
  // long double in its own format: only the lowest fraction bit set is a
  // NaN, not an infinity (binary64 reads it through the high word,
  // binary128 in the low word).
  const long double low_bit_nan = varnel_test::from_pattern(varnel_test::long_double_signalling_nan());
  EXPECT_EQ(tr1::fpclassify(low_bit_nan), tr1::fp_nan);
  EXPECT_TRUE(tr1::isnan(low_bit_nan));
  EXPECT_FALSE(tr1::isinf(low_bit_nan));
  EXPECT_EQ(tr1::fpclassify(std::numeric_limits<long double>::denorm_min()), tr1::fp_subnormal);
  if (varnel::math::tools::long_double_is_wider) {
    EXPECT_EQ(tr1::fpclassify(varnel_test::long_double_power_of_two(-13000)), tr1::fp_normal);
    EXPECT_EQ(tr1::fpclassify(5e-324L), tr1::fp_normal);  // binary64's smallest subnormal
    EXPECT_FALSE(tr1::isinf(varnel_test::long_double_power_of_two(13000)));
    EXPECT_TRUE(tr1::isfinite(varnel_test::long_double_power_of_two(13000)));
  } else {
    EXPECT_EQ(tr1::fpclassify(5e-324L), tr1::fp_subnormal);
  }
  EXPECT_TRUE(tr1::signbit(-0.0));
  EXPECT_TRUE(tr1::signbit(-0.0f));
  EXPECT_TRUE(tr1::signbit(-0.0L));
  EXPECT_FALSE(tr1::isnormal(0.0f));
  EXPECT_TRUE(tr1::isinf(-HUGE_VALL));
}

TEST(Exports, NeverClearOrReadErrno) {
  for (int start : {0, EDOM, ERANGE}) {
    errno = start;
    (void)varnel_copysign(1.0, -1.0);
    (void)varnel_copysignf(1.0f, -1.0f);
    (void)varnel_copysignl(1.0L, -1.0L);
    (void)tr1::fpclassify(std::nan(""));
    (void)tr1::isnan(std::nanf(""));
    (void)tr1::signbit(-1.0L);
    (void)varnel_expm1(0.5);  // succeeds: the platform leaves errno alone
    EXPECT_EQ(errno, start);
  }
}

// The long double members map an argument to binary64 by round-to-nearest,
// also beyond the binary64 range, where the conversion is spelled out.
TEST(Exports, LongDoubleArgumentsMapToBinary64ByRounding) {
  VARNEL_REQUIRE_WIDE_LONG_DOUBLE();
  const long double dmax = 0x1.fffffffffffffp+1023L;
  const long double midpoint = varnel_test::long_double_from(0x3FFF + 1023, 0xFFFFFFFFFFFFFC00u);  // halfway to 2^1024
  // The long double just below it (2^-64 of the binade below in x87, 2^-113
  // in binary128).
  const long double below_midpoint = std::nextafter(midpoint, 0.0L);
  const long double huge = varnel_test::long_double_power_of_two(13000);
  struct {
    long double x;
    double mapped;
  } cases[] = {
      {dmax, 0x1.fffffffffffffp+1023},
      {below_midpoint, 0x1.fffffffffffffp+1023},
      {midpoint, HUGE_VAL},  // ties to even: 2^1024
      {huge, HUGE_VAL},
      {-below_midpoint, -0x1.fffffffffffffp+1023},
      {-huge, -HUGE_VAL},
      {varnel_test::long_double_power_of_two(-13000), 0.0},
      {1 + 0x1p-60L, 1.0},
      // Halfway between two doubles, and just above: ties to even, else
      // to the nearer.
      {1 + 0x1p-53L, 1.0},
      {std::nextafter(1 + 0x1p-53L, 2.0L), 0x1.0000000000001p+0},
      // Below binary64's smallest subnormal: half of it ties to zero, just
      // above half rounds up to it.
      {0x1p-1075L, 0.0},
      {std::nextafter(0x1p-1075L, 1.0L), 0x1p-1074},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.mapped));
    // trunc of a finite binary64 is exact and silent; of an infinity, the
    // saturated largest value with ERANGE.
    errno = 0;
    const long double r = varnel_truncl(c.x);
    if (std::isinf(c.mapped)) {
      EXPECT_EQ(r, std::copysign(static_cast<long double>(0x1.fffffffffffffp+1023), c.mapped));
      EXPECT_EQ(errno, ERANGE);
    } else {
      EXPECT_EQ(bits_of(static_cast<double>(r)), bits_of(std::trunc(c.mapped)));
      EXPECT_EQ(errno, 0);
    }
    EXPECT_EQ(bits_of(static_cast<double>(varnel_cbrtl(c.x))), bits_of(varnel_cbrt(c.mapped)));
    // x towards itself is the mapped x: the mapping itself, bit for bit.
    EXPECT_EQ(bits_of(static_cast<double>(varnel_nextafterl(c.x, c.x))), bits_of(c.mapped));
  }
}

}  // namespace
