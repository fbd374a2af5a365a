// The error actions and narrow_result at every edge: errno, value bits, and
// what the sites hand to the actions.
#include <cerrno>
#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/policies/narrow_result.hpp>

#include "support/bits.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

using namespace varnel::math::policies;
using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::recording_policy;
using namespace varnel_test::values;

const char* const fn = "varnel::math::tgamma<%1%>(%1%)";

TEST(Actions, DomainAndPoleGiveThePlainQuietNaNWithEdom) {
  errno = 0;
  EXPECT_EQ(bits_of(on_domain_error<double>(fn, "m", -3.0, errno_policy())), 0x7FF8000000000000u);
  EXPECT_EQ(errno, EDOM);
  errno = 0;
  EXPECT_EQ(bits_of(on_pole_error<float>(fn, nullptr, -1.0f, errno_policy())), 0x7FC00000u);
  EXPECT_EQ(errno, EDOM);
}

TEST(Actions, OverflowUnderflowDenorm) {
  errno = 0;
  EXPECT_EQ(bits_of(on_overflow_error<double>(fn, nullptr, errno_policy())), 0x7FF0000000000000u);
  EXPECT_EQ(errno, ERANGE);
  // The site negates for a downward overflow.
  EXPECT_EQ(bits_of(-on_overflow_error<double>(fn, nullptr, errno_policy())), 0xFFF0000000000000u);
  EXPECT_EQ(bits_of(on_overflow_error<float>(fn, nullptr, errno_policy())), 0x7F800000u);
  errno = 0;
  EXPECT_EQ(bits_of(on_underflow_error<double>(fn, nullptr, errno_policy())), 0u);  // +0
  EXPECT_EQ(errno, ERANGE);
  errno = 0;
  const double tiny = from_bits(1);
  EXPECT_EQ(bits_of(on_denorm_error<double>(fn, nullptr, -tiny, errno_policy())), bits_of(-tiny));
  EXPECT_EQ(errno, ERANGE);
}

TEST(Actions, RoundingErrorSaturatesBySignOfTheOffendingValue) {
  const errno_policy pol;
  struct {
    double value;
    int i;
    long l;
    long long ll;
    double d;
    float f;
  } cases[] = {
      {1e300, INT_MAX, LONG_MAX, LLONG_MAX, 0x1.fffffffffffffp+1023, 0x1.fffffep+127f},
      {inf, INT_MAX, LONG_MAX, LLONG_MAX, 0x1.fffffffffffffp+1023, 0x1.fffffep+127f},
      {-inf, INT_MIN, LONG_MIN, LLONG_MIN, -0x1.fffffffffffffp+1023, -0x1.fffffep+127f},
      {0.0, INT_MIN, LONG_MIN, LLONG_MIN, -0x1.fffffffffffffp+1023, -0x1.fffffep+127f},
      // A NaN is not greater than zero: the lowest value, the minimum for
      // integers rather than minus the maximum.
      {qnan, INT_MIN, LONG_MIN, LLONG_MIN, -0x1.fffffffffffffp+1023, -0x1.fffffep+127f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    errno = 0;
    EXPECT_EQ(on_rounding_error(fn, nullptr, c.value, 0, pol), c.i);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(on_rounding_error(fn, nullptr, c.value, 0L, pol), c.l);
    EXPECT_EQ(on_rounding_error(fn, nullptr, c.value, 0LL, pol), c.ll);
    EXPECT_EQ(bits_of(on_rounding_error(fn, nullptr, c.value, 0.0, pol)), bits_of(c.d));
    EXPECT_EQ(bits_of(on_rounding_error(fn, nullptr, static_cast<float>(c.value), 0.0f, pol)), bits_of(c.f));
  }
  EXPECT_EQ(on_rounding_error(fn, nullptr, qnan, 0.0L, pol), -std::numeric_limits<long double>::max());
}

TEST(Actions, PassTheSiteStringsOrTheDefaultMessages) {
  std::vector<varnel_test::error_report> log;
  const recording_policy rec{&log};
  on_domain_error<double>(fn, "custom %1%", 1.0, rec);
  on_domain_error<double>(fn, nullptr, 1.0, rec);
  on_pole_error<double>(fn, nullptr, 1.0, rec);
  on_overflow_error<double>(fn, nullptr, rec);
  on_underflow_error<double>(fn, nullptr, rec);
  on_denorm_error<double>(fn, nullptr, 1.0, rec);
  on_rounding_error(fn, nullptr, 1.0, 0, rec);
  const char* const expected[] = {
      "custom %1%",
      "Domain Error evaluating function at %1%",
      "Evaluation of function at pole %1%",
      "Overflow Error",
      "Underflow Error",
      "",  // the denormal action has no default
      "Value %1% can not be represented in the target integer type.",
  };
  ASSERT_EQ(log.size(), std::size(expected));
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].function, fn);
    EXPECT_EQ(log[i].message, expected[i]);
  }
  EXPECT_EQ(log[1].kind, error_kind::domain);
  EXPECT_EQ(log[2].kind, error_kind::pole);
}

// narrow_result, binary64 to binary64: only infinities and subnormals report.
TEST(NarrowResult, Binary64) {
  struct {
    double r;
    int err;
  } cases[] = {
      {inf, ERANGE},
      {-inf, ERANGE},
      {from_bits(1), ERANGE},
      {-from_bits(0x000FFFFFFFFFFFFFu), ERANGE},
      {0x1p-1022, 0},
      {0.0, 0},
      {-0.0, 0},
      {1.5, 0},
      {0x1.fffffffffffffp+1023, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.r);
    errno = 0;
    EXPECT_EQ(bits_of(narrow_result<double>(c.r, fn)), bits_of(c.r));
    EXPECT_EQ(errno, c.err);
  }
  // NaN (a domain error's result) passes untouched and EDOM stays.
  errno = EDOM;
  EXPECT_EQ(bits_of(narrow_result<double>(from_bits(0xFFF8000000000123u), fn)), 0xFFF8000000000123u);
  EXPECT_EQ(errno, EDOM);
}

TEST(NarrowResult, Binary64ToBinary32) {
  struct {
    double r;
    std::uint32_t bits;
    int err;
  } cases[] = {
      {1e-50, 0x00000000u, ERANGE},                   // rounds to zero: +0
      {-1e-50, 0x00000000u, ERANGE},                  // +0 also for a negative result
      {0x1p-150, 0x00000000u, ERANGE},                // exactly half the smallest: ties to even, zero
      {0x1.0000000000001p-150, 0x00000001u, ERANGE},  // just above: the smallest subnormal
      {1e-40, 0x000116C2u, ERANGE},                   // 9.99994610111476e-41, subnormal
      {0x1.fffffffp-127, 0x00800000u, ERANGE},        // below 2^-126, rounds up to it: still reported
      {0x1p-126, 0x00800000u, 0},
      {3.5e38, 0x7F800000u, ERANGE},
      {-3.5e38, 0xFF800000u, ERANGE},
      {0x1.fffffe8p+127, 0x7F7FFFFFu, ERANGE},  // above FLT_MAX, below the midpoint
      {0x1.ffffffp+127, 0x7F800000u, ERANGE},   // the midpoint itself goes to infinity
      {-0x1.fffffe8p+127, 0xFF7FFFFFu, ERANGE},
      {0x1.fffffep+127, 0x7F7FFFFFu, 0},
      {inf, 0x7F800000u, ERANGE},
      {-0.0, 0x80000000u, 0},
      {1.0, 0x3F800000u, 0},
      {0.8427007929497149, 0x3F57BB3Du, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.r);
    errno = 0;
    EXPECT_EQ(bits_of(narrow_result<float>(c.r, fn)), c.bits);
    EXPECT_EQ(errno, c.err);
  }
}

TEST(NarrowResult, ReportsUnderTheCallersFunctionName) {
  std::vector<varnel_test::error_report> log;
  narrow_result<float>(1e-40, fn, recording_policy{&log});
  narrow_result<float>(1e39, fn, recording_policy{&log});
  narrow_result<float>(1e-60, fn, recording_policy{&log});
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].kind, error_kind::denorm);
  EXPECT_EQ(log[1].kind, error_kind::overflow);
  EXPECT_EQ(log[2].kind, error_kind::underflow);
  for (const auto& r : log) EXPECT_EQ(r.function, fn);
}

TEST(NarrowResult, NeverClearsErrno) {
  errno = EDOM;
  narrow_result<float>(2.0, fn);
  narrow_result<double>(2.0, fn);
  EXPECT_EQ(errno, EDOM);
}

}  // namespace
