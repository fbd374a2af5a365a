// round: halfway cases away from zero, signed zeros, saturation of the
// non-finite arguments, the long double argument mapped to binary64, and
// what its error site hands to its action.
#include <cerrno>
#include <cstdint>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/round.hpp>

#include "support/bits.hpp"
#include "support/platform.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

namespace vm = varnel::math;
using varnel::math::policies::error_kind;
using varnel_test::bits_of;
using varnel_test::from_bits32;
using namespace varnel_test::values;

struct real_case {
  double x;
  double expected;
  int err;
};

// Halfway cases away from zero; +0 for everything strictly between -0.5 and
// 0.5; no addition of 0.5 anywhere.
const real_case round_cases[] = {
    {0.5, 1.0, 0},
    {-0.5, -1.0, 0},
    {1.5, 2.0, 0},
    {-1.5, -2.0, 0},
    {2.5, 3.0, 0},
    {-2.5, -3.0, 0},
    {0x1.fffffffffffffp-2, 0.0, 0},   // 0.49999999999999994: + 0.5 would round to 1
    {-0x1.fffffffffffffp-2, 0.0, 0},  // +0, not -0
    {-0.3, 0.0, 0},
    {-0.0, 0.0, 0},
    {-0x1p-1074, 0.0, 0},
    {0x1.7ffffffffffffp+0, 1.0, 0},  // 1.4999999999999998
    {-0x1.7ffffffffffffp+0, -1.0, 0},
    {0x1.8000000000001p+0, 2.0, 0},       // 1.5000000000000002
    {0x1.fffffffffffffp+51, 0x1p+52, 0},  // 2^52 - 0.5, the last halfway case
    {-0x1.fffffffffffffp+51, -0x1p+52, 0},
    {0x1.0000000000001p+52, 0x1.0000000000001p+52, 0},  // 2^52 + 1, already integral
    {1e300, 1e300, 0},
    {-dmax, -dmax, 0},
    {inf, dmax, ERANGE},
    {-inf, -dmax, ERANGE},
    {qnan, -dmax, ERANGE},  // a NaN is not greater than zero
    {neg_nan, -dmax, ERANGE},
};

TEST(Round, Binary64AndLongDouble) {
  for (const auto& c : round_cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_round(c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_roundl(c.x))), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
  }
}

TEST(Round, LongDoubleArgumentIsMappedToBinary64First) {
  VARNEL_REQUIRE_WIDE_LONG_DOUBLE();
  // The long double just below one half (0.5 - 2^-65 in x87, 0.5 - 2^-114
  // in binary128) maps to 0.5, which rounds away from zero.
  const long double just_below_half = std::nextafter(0.5L, 0.0L);
  ASSERT_LT(just_below_half, 0.5L);
  EXPECT_EQ(varnel_roundl(just_below_half), 1.0L);
  // Beyond the binary64 range: mapped to infinity, a rounding error.
  errno = 0;
  EXPECT_EQ(varnel_roundl(varnel_test::long_double_power_of_two(13000)), static_cast<long double>(dmax));
  EXPECT_EQ(errno, ERANGE);
}

struct float_case {
  float x;
  float expected;
  int err;
};

TEST(Round, Binary32) {
  const float_case cases[] = {
      {0.5f, 1.0f, 0},
      {-0.5f, -1.0f, 0},
      {2.5f, 3.0f, 0},
      {-2.5f, -3.0f, 0},
      {0x1.fffffep-2f, 0.0f, 0},  // largest float below 0.5
      {-0x1.fffffep-2f, 0.0f, 0},
      {-0.3f, 0.0f, 0},
      {-0.0f, 0.0f, 0},
      {0x1.fffffep+22f, 0x1p+23f, 0},  // 2^23 - 0.5, the last float halfway case
      {-0x1.fffffep+22f, -0x1p+23f, 0},
      {fmax_, fmax_, 0},
      {finf, fmax_, ERANGE},
      {-finf, -fmax_, ERANGE},
      {from_bits32(0x7FC00000u), -fmax_, ERANGE},
      {from_bits32(0xFFC00001u), -fmax_, ERANGE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_roundf(c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
  }
}

// Non-finite arguments are reported as rounding errors; finite ones are not.
TEST(Round, ReportsNameTheFunction) {
  using rec = varnel_test::recording_policy;
  const char* const round_fn = "varnel::math::round<%1%>(%1%)";
  const char* const message = "Value %1% can not be represented in the target integer type.";
  varnel_test::expect_reports([](const rec& p) { vm::round(inf, p); }, error_kind::rounding, message, {round_fn});
  varnel_test::expect_reports([](const rec& p) { vm::round(-finf, p); }, error_kind::rounding, message, {round_fn});
  varnel_test::expect_reports([](const rec& p) { vm::round(-2.5, p); }, error_kind::rounding, message, {});
}

}  // namespace
