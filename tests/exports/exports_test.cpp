// The exports of the three libraries, called through their public headers.
#include <cerrno>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/layouts.hpp>
#include <varnel/math/tr1.hpp>

#include "support/bits.hpp"
#include "support/platform.hpp"

namespace {

namespace tr1 = varnel::math::tr1;
using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::x87_from;

// The platform's expm1, or in the portable build the library's own: the
// elementary function of tools/elementary.hpp, result and errno unchanged.
TEST(Exports, Expm1IsThePlatformFunction) {
  const double xs[] = {0.0,
                       -0.0,
                       1e-300,
                       0.5,
                       -0.5,
                       1.0,
                       709.0,
                       710.0,
                       -800.0,
                       std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity(),
                       from_bits(0x7FF8000000000000u)};
  for (double x : xs) {
    SCOPED_TRACE(x);
    errno = 0;
    const double expected = varnel::math::elementary::expm1(x);
    const int expected_errno = errno;
    errno = 0;
    EXPECT_EQ(bits_of(varnel_expm1(x)), bits_of(expected));
    EXPECT_EQ(errno, expected_errno);
    errno = 0;
    const float fexpected = varnel::math::elementary::expm1(static_cast<float>(x));
    const int fexpected_errno = errno;
    errno = 0;
    EXPECT_EQ(bits_of(varnel_expm1f(static_cast<float>(x))), bits_of(fexpected));
    EXPECT_EQ(errno, fexpected_errno);
    // long double: the binary64 function of the mapped argument, widened.
    EXPECT_EQ(bits_of(static_cast<double>(varnel_expm1l(x))), bits_of(expected));
  }
  // 1e-320L is not a double: it is mapped by rounding before expm1.
  EXPECT_EQ(static_cast<double>(varnel_expm1l(1e-320L)), varnel::math::elementary::expm1(static_cast<double>(1e-320L)));
}

TEST(Exports, CopysignInEveryPrecision) {
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

TEST(Exports, ClassificationInstantiations) {
  EXPECT_EQ(tr1::fpclassify(5e-324), tr1::fp_subnormal);
  EXPECT_EQ(tr1::fpclassify(0x1p-1022), tr1::fp_normal);
  EXPECT_EQ(tr1::fpclassify(0x1p-149f), tr1::fp_subnormal);
  EXPECT_EQ(tr1::fpclassify(0x1p-126f), tr1::fp_normal);
  EXPECT_TRUE(tr1::isnan(from_bits(0x7FF0000000000001u)));
  EXPECT_FALSE(tr1::isinf(from_bits(0x7FF0000000000001u)));
  if constexpr (varnel::math::tools::long_double_is_x87) {
    EXPECT_EQ(tr1::fpclassify(varnel_test::x87_power_of_two(-13000)), tr1::fp_normal);
    EXPECT_FALSE(tr1::isinf(varnel_test::x87_power_of_two(13000)));
    EXPECT_TRUE(tr1::isfinite(varnel_test::x87_power_of_two(13000)));
  } else {
    // binary64, read through the high word: only the lowest significand
    // bit set is a NaN, not an infinity.
    const long double low_bit_nan = varnel_test::long_double_from_bits(0x7FF0000000000001u);
    EXPECT_EQ(tr1::fpclassify(low_bit_nan), tr1::fp_nan);
    EXPECT_TRUE(tr1::isnan(low_bit_nan));
    EXPECT_FALSE(tr1::isinf(low_bit_nan));
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

}  // namespace

namespace {

// The long double members map an argument to binary64 by round-to-nearest,
// also beyond the binary64 range, where the conversion is spelled out.
TEST(Exports, LongDoubleArgumentsMapToBinary64ByRounding) {
  VARNEL_REQUIRE_X87_LONG_DOUBLE();
  const long double dmax = 0x1.fffffffffffffp+1023L;
  const long double midpoint = x87_from(0x3FFF + 1023, 0xFFFFFFFFFFFFFC00u);  // halfway to 2^1024
  const long double below_midpoint = x87_from(0x3FFF + 1023, 0xFFFFFFFFFFFFFBFFu);
  const long double huge = varnel_test::x87_power_of_two(13000);
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
      {varnel_test::x87_power_of_two(-13000), 0.0},
      {1 + 0x1p-60L, 1.0},
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
  }
}

}  // namespace
