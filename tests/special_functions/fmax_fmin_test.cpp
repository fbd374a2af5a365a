// fmax and fmin: NaNs as missing values, signed zeros, one argument
// returned bit for bit, the native long double compared as it is.
#include <cerrno>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>

#include "support/bits.hpp"
#include "support/platform.hpp"
#include "support/values.hpp"

namespace {

using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::from_bits32;
using namespace varnel_test::values;

// Distinct NaNs so that the one returned can be told apart.
const std::uint64_t nan_a = 0x7FF8000000000123u;
const std::uint64_t nan_b = 0xFFF800000000ABCDu;  // negative, other payload
const std::uint64_t snan = 0x7FF0000000000001u;   // signalling

TEST(FmaxFmin, Binary64) {
  const struct {
    std::uint64_t x, y, max, min;
  } cases[] = {
      {bits_of(2.0), bits_of(3.0), bits_of(3.0), bits_of(2.0)},
      {bits_of(3.0), bits_of(2.0), bits_of(3.0), bits_of(2.0)},
      {nan_a, bits_of(2.0), bits_of(2.0), bits_of(2.0)},
      {bits_of(2.0), nan_a, bits_of(2.0), bits_of(2.0)},
      {nan_a, bits_of(-1.0), bits_of(-1.0), bits_of(-1.0)},
      {bits_of(-inf), nan_b, bits_of(-inf), bits_of(-inf)},
      // Two NaNs: the second, sign and payload included.
      {nan_a, nan_b, nan_b, nan_b},
      {nan_b, nan_a, nan_a, nan_a},
      {nan_a, snan, snan, snan},
      // Ties keep the first argument.
      {bits_of(0.0), bits_of(-0.0), bits_of(0.0), bits_of(0.0)},
      {bits_of(-0.0), bits_of(0.0), bits_of(-0.0), bits_of(-0.0)},
      {bits_of(-inf), bits_of(inf), bits_of(inf), bits_of(-inf)},
      {bits_of(dmax), bits_of(inf), bits_of(inf), bits_of(dmax)},
      {1u, 0x8000000000000001u, 1u, 0x8000000000000001u},  // subnormals
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.x << " " << c.y);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_fmax(from_bits(c.x), from_bits(c.y))), c.max);
    EXPECT_EQ(bits_of(varnel_fmin(from_bits(c.x), from_bits(c.y))), c.min);
    EXPECT_EQ(errno, 0);
  }
}

TEST(FmaxFmin, Binary32) {
  const struct {
    std::uint32_t x, y, max, min;
  } cases[] = {
      {0x7FC00123u, bits_of(2.0f), bits_of(2.0f), bits_of(2.0f)},
      {bits_of(2.0f), 0x7FC00123u, bits_of(2.0f), bits_of(2.0f)},
      {0x7FC00123u, 0xFFC0ABCDu, 0xFFC0ABCDu, 0xFFC0ABCDu},
      {0xFFC0ABCDu, 0x7F800001u, 0x7F800001u, 0x7F800001u},
      {bits_of(0.0f), bits_of(-0.0f), bits_of(0.0f), bits_of(0.0f)},
      {bits_of(-0.0f), bits_of(0.0f), bits_of(-0.0f), bits_of(-0.0f)},
      {bits_of(-1.0f), bits_of(1.0f), bits_of(1.0f), bits_of(-1.0f)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.x << " " << c.y);
    EXPECT_EQ(bits_of(varnel_fmaxf(from_bits32(c.x), from_bits32(c.y))), c.max);
    EXPECT_EQ(bits_of(varnel_fminf(from_bits32(c.x), from_bits32(c.y))), c.min);
  }
}

// The long double members compare the native values (x87 or binary128):
// no mapping to binary64, so differences below binary64 precision and
// values beyond its range survive, and the argument comes back bit for bit.
TEST(FmaxFmin, NativeLongDouble) {
  VARNEL_REQUIRE_WIDE_LONG_DOUBLE();
  using varnel_test::long_double_from;
  using varnel_test::pattern_of;
  const long double huge = varnel_test::long_double_power_of_two(13000);  // far beyond binary64
  const long double large = varnel_test::long_double_power_of_two(10000);
  const long double tiny = varnel_test::long_double_power_of_two(-13000);      // far below binary64
  const long double one_plus = long_double_from(0x3FFF, 0x8000000000000001u);  // 1 + 2^-63
  const long double nan_l = long_double_from(0xFFFF, 0xC000000000001234u);     // negative NaN, payload
  const long double nan_m = long_double_from(0x7FFF, 0xC000000000005678u);
  // The smallest step of the format above 1 (2^-63 in x87, 2^-112 in
  // binary128) and the smallest subnormal.
  const long double next_one = 1.0L + std::numeric_limits<long double>::epsilon();
  const long double least = std::numeric_limits<long double>::denorm_min();
  const struct {
    long double x, y, max, min;
  } cases[] = {
      {one_plus, 1.0L, one_plus, 1.0L}, {1.0L, one_plus, one_plus, 1.0L}, {huge, large, huge, large},
      {nan_l, -tiny, -tiny, -tiny},     {nan_m, nan_l, nan_l, nan_l},     {0.0L, -0.0L, 0.0L, 0.0L},
      {-0.0L, 0.0L, -0.0L, -0.0L},      {next_one, 1.0L, next_one, 1.0L}, {least, -0.0L, least, -0.0L},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << pattern_of(c.x) << " " << pattern_of(c.y));
    EXPECT_EQ(pattern_of(varnel_fmaxl(c.x, c.y)), pattern_of(c.max));
    EXPECT_EQ(pattern_of(varnel_fminl(c.x, c.y)), pattern_of(c.min));
  }
}

}  // namespace
