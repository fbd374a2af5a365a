// hypot: infinities before NaNs, the epsilon short cut, overflow of finite
// arguments reported as ERANGE, the float member computing in float.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/hypot.hpp>
#include <varnel/math/tools/layouts.hpp>

#include "support/bits.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

namespace vm = varnel::math;
using varnel::math::policies::error_kind;
using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::from_bits32;
using namespace varnel_test::values;

// NaNs with payloads, one of them negative.
const std::uint64_t nan_a = 0x7FF8000000000123u;
const std::uint64_t nan_b = 0xFFF800000000ABCDu;

struct hypot_case {
  double x, y;
  std::uint64_t expected;
  int err;
};

const std::uint64_t inf_bits = 0x7FF0000000000000u;
// Any NaN will do: the platform's arithmetic picks the payload.
const std::uint64_t any_nan = ~std::uint64_t(0);

const hypot_case hypot_cases[] = {
    {3.0, 4.0, bits_of(5.0), 0},
    {-3.0, -4.0, bits_of(5.0), 0},
    {4.0, -3.0, bits_of(5.0), 0},
    // An infinity wins over a NaN in the other argument, and is an error.
    {inf, from_bits(nan_a), inf_bits, ERANGE},
    {from_bits(nan_b), -inf, inf_bits, ERANGE},
    {-inf, 0.0, inf_bits, ERANGE},
    {0.0, inf, inf_bits, ERANGE},
    // A NaN without an infinite partner: a NaN, errno untouched.
    {from_bits(nan_a), 1.0, any_nan, 0},
    {1.0, from_bits(nan_a), any_nan, 0},
    {from_bits(nan_a), 0.0, any_nan, 0},
    // Zeros: +0 from the short cut, no division.
    {0.0, 0.0, bits_of(0.0), 0},
    {-0.0, -0.0, bits_of(0.0), 0},
    {-0.0, 5e-324, bits_of(5e-324), 0},
    // The short cut includes equality: 1 * 2^-52 >= 2^-52.
    {1.0, 0x1p-52, bits_of(1.0), 0},
    {0x1p-52, -1.0, bits_of(1.0), 0},
    {1.0, 1e-17, bits_of(1.0), 0},
    // sqrt(2) * 1e308 = 1.4142135623730951e308, finite.
    {1e308, 1e308, bits_of(1.4142135623730951e308), 0},
    {dmax, 0x1p+996, bits_of(dmax), 0},  // 1 + 2^-56 rounds to 1
    // Finite arguments, result beyond the largest double: overflow.
    {1.5e308, 1.5e308, inf_bits, ERANGE},
    {-1.5e308, 1.5e308, inf_bits, ERANGE},
    {dmax, dmax, inf_bits, ERANGE},
    {dmax, 0x1p+1000, inf_bits, ERANGE},  // sqrt(1 + 2^-48) = 1 + 2^-49 lifts dmax past 2^1024
};

void expect_hypot(double result, const hypot_case& c) {
  if (c.expected == any_nan) {
    EXPECT_TRUE(std::isnan(result));
  } else {
    EXPECT_EQ(bits_of(result), c.expected);
  }
}

TEST(Hypot, Binary64AndLongDouble) {
  for (const auto& c : hypot_cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    errno = 0;
    expect_hypot(varnel_hypot(c.x, c.y), c);
    EXPECT_EQ(errno, c.err);
    errno = 0;
    expect_hypot(static_cast<double>(varnel_hypotl(c.x, c.y)), c);
    EXPECT_EQ(errno, c.err);
  }
  // A wider long double (x87, binary128) beyond the binary64 range maps to
  // infinity.
  if (varnel::math::tools::long_double_is_wider) {
    errno = 0;
    EXPECT_EQ(varnel_hypotl(varnel_test::long_double_power_of_two(13000), 1.0L),
              std::numeric_limits<long double>::infinity());
    EXPECT_EQ(errno, ERANGE);
  }
}

TEST(Hypot, Binary32ComputesInFloat) {
  const std::uint32_t finf_bits = 0x7F800000u;
  const struct {
    float x, y;
    std::uint32_t expected;
    int err;
  } cases[] = {
      {3.0f, 4.0f, bits_of(5.0f), 0},
      {finf, from_bits32(0x7FC00123u), finf_bits, ERANGE},
      {from_bits32(0x7FC00123u), -finf, finf_bits, ERANGE},
      {finf, 1.0f, finf_bits, ERANGE},
      {0.0f, 0.0f, 0u, 0},
      {-0.0f, -0.0f, 0u, 0},
      {1.0f, 0x1p-23f, bits_of(1.0f), 0},  // the float epsilon, equality included
      // Step by step in float, r = 0.1f/3, 1 + r*r, sqrtf, times 3 gives
      // 0x1.803698p+1; rounding the binary64 evaluation would give
      // 0x1.80369ap+1.
      {3.0f, 0.1f, bits_of(0x1.803698p+1f), 0},
      // The float range: fmax_ * (1 + 2^-23) passes 2^128, fmax_ * 1 does not.
      {fmax_, 0x1p+116f, bits_of(fmax_), 0},  // 1 + 2^-24(1+2^-22) -> 1 + 2^-23, sqrtf -> 1
      {fmax_, 0x1p+117f, finf_bits, ERANGE},  // 1 + 2^-22, sqrtf -> 1 + 2^-23
      {3e38f, 3e38f, finf_bits, ERANGE},
      {-3e38f, 3e38f, finf_bits, ERANGE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_hypotf(c.x, c.y)), c.expected);
    EXPECT_EQ(errno, c.err);
  }
  errno = 0;
  EXPECT_TRUE(std::isnan(varnel_hypotf(from_bits32(0x7FC00123u), 1.0f)));
  EXPECT_EQ(errno, 0);
}

TEST(Hypot, ReportsNameTheFunction) {
  for (const auto& args : {std::pair<double, double>{inf, 1.0}, {1.0, -inf}, {1.5e308, 1.5e308}}) {
    std::vector<varnel_test::error_report> log;
    EXPECT_EQ(vm::hypot(args.first, args.second, varnel_test::recording_policy{&log}), inf);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].kind, error_kind::overflow);
    EXPECT_EQ(log[0].function, "varnel::math::hypot<%1%>(%1%,%1%)");
    EXPECT_EQ(log[0].message, "Overflow Error");
  }
  std::vector<varnel_test::error_report> log;
  EXPECT_EQ(vm::hypot(3e38f, 3e38f, varnel_test::recording_policy{&log}), finf);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].function, "varnel::math::hypot<%1%>(%1%,%1%)");
  log.clear();
  vm::hypot(from_bits(nan_a), 1.0, varnel_test::recording_policy{&log});
  EXPECT_TRUE(log.empty());
}

}  // namespace
