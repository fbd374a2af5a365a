// trunc: signed zeros, the last fractional values, saturation of the
// non-finite arguments, and what its error site hands to its action.
#include <cerrno>
#include <cstdint>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/trunc.hpp>

#include "support/bits.hpp"
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

const real_case trunc_cases[] = {
    {-0.0, -0.0, 0},
    {0.0, 0.0, 0},
    {-0.7, -0.0, 0},
    {0.7, 0.0, 0},
    {-0x1p-1074, -0.0, 0},
    {2.9, 2.0, 0},
    {-2.9, -2.0, 0},
    {0x1.fffffffffffffp+51, 0x1.ffffffffffffep+51, 0},  // 2^52 - 0.5 -> 2^52 - 1
    {-0x1.fffffffffffffp+51, -0x1.ffffffffffffep+51, 0},
    {1e300, 1e300, 0},
    {inf, dmax, ERANGE},
    {-inf, -dmax, ERANGE},
    {qnan, -dmax, ERANGE},
    {neg_nan, -dmax, ERANGE},
};

TEST(Trunc, Binary64AndLongDouble) {
  for (const auto& c : trunc_cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_trunc(c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_truncl(c.x))), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
  }
}

struct float_case {
  float x;
  float expected;
  int err;
};

TEST(Trunc, Binary32) {
  const float_case cases[] = {
      {-0.0f, -0.0f, 0},     {-0.7f, -0.0f, 0},       {0.7f, 0.0f, 0},
      {2.9f, 2.0f, 0},       {-2.9f, -2.0f, 0},       {0x1.fffffep+22f, 0x1.fffffcp+22f, 0},  // 2^23 - 0.5 -> 2^23 - 1
      {finf, fmax_, ERANGE}, {-finf, -fmax_, ERANGE}, {from_bits32(0x7FC00000u), -fmax_, ERANGE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_truncf(c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
  }
}

TEST(Trunc, ReportsNameTheFunction) {
  using rec = varnel_test::recording_policy;
  const char* const trunc_fn = "varnel::math::trunc<%1%>(%1%)";
  const char* const message = "Value %1% can not be represented in the target integer type.";
  varnel_test::expect_reports([](const rec& p) { vm::trunc(qnan, p); }, error_kind::rounding, message, {trunc_fn});
  varnel_test::expect_reports([](const rec& p) { vm::trunc(finf, p); }, error_kind::rounding, message, {trunc_fn});
}

}  // namespace
