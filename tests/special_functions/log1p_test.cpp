// log1p: the checks against -1 in front of the platform function, in all
// three precisions, and the strings its two error sites pass.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/log1p.hpp>
#include <varnel/math/elementary/elementary.hpp>

#include "support/bits.hpp"
#include "support/platform.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

namespace vm = varnel::math;
using varnel::math::policies::error_kind;
using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::from_bits32;
using namespace varnel_test::values;

// Below -1 (-infinity included): EDOM and the library's quiet NaN.
// -1 itself: ERANGE and -infinity.
TEST(Log1p, ErrorsBinary64AndLongDouble) {
  const struct {
    double x;
    std::uint64_t expected;
    int err;
  } cases[] = {
      {-1.0, 0xFFF0000000000000u, ERANGE},
      {-0x1.0000000000001p+0, 0x7FF8000000000000u, EDOM},  // the double just below -1
      {-2.0, 0x7FF8000000000000u, EDOM},
      {-0x1.fffffffffffffp+1023, 0x7FF8000000000000u, EDOM},
      {-inf, 0x7FF8000000000000u, EDOM},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_log1p(c.x)), c.expected);
    EXPECT_EQ(errno, c.err);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_log1pl(c.x))), c.expected);
    EXPECT_EQ(errno, c.err);
  }
}

TEST(Log1p, ErrorsBinary32) {
  const struct {
    float x;
    std::uint32_t expected;
    int err;
  } cases[] = {
      {-1.0f, 0xFF800000u, ERANGE},
      {-0x1.000002p+0f, 0x7FC00000u, EDOM},  // the float just below -1
      {-3.4028234663852886e38f, 0x7FC00000u, EDOM},
      {-finf, 0x7FC00000u, EDOM},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_log1pf(c.x)), c.expected);
    EXPECT_EQ(errno, c.err);
  }
}

// Everything else goes to the platform function unchanged: its result and
// whatever it does to errno, and no EDOM or ERANGE from the library.
// (The platform's, or in the portable build the library's own: the
// elementary function of elementary/elementary.hpp.)
TEST(Log1p, OtherArgumentsArePassedToThePlatform) {
  const double xs[] = {-0x1.fffffffffffffp-1,  // -0.9999999999999999, about -36.7368005696771
                       -0.5,
                       -0.0,
                       0.0,
                       1e-300,
                       5e-324,
                       1.0,
                       1e308,
                       inf,
                       from_bits(0x7FF8000000000123u),
                       from_bits(0xFFF8000000000000u)};
  for (double x : xs) {
    SCOPED_TRACE(x);
    errno = 0;
    const double expected = varnel::math::elementary::log1p(x);
    const int expected_errno = errno;
    errno = 0;
    EXPECT_EQ(bits_of(varnel_log1p(x)), bits_of(expected));
    EXPECT_EQ(errno, expected_errno);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_log1pl(x))), bits_of(expected));
    EXPECT_EQ(errno, expected_errno);

    const float xf = static_cast<float>(x);
    errno = 0;
    const float expected_f = varnel::math::elementary::log1p(xf);  // log1pf: no widening
    const int expected_errno_f = errno;
    errno = 0;
    EXPECT_EQ(bits_of(varnel_log1pf(xf)), bits_of(expected_f));
    EXPECT_EQ(errno, expected_errno_f);
  }
  EXPECT_NEAR(varnel_log1p(-0x1.fffffffffffffp-1), -36.7368005696771, 1e-12);
  EXPECT_TRUE(std::isnan(varnel_log1p(from_bits(0x7FF8000000000123u))));
  EXPECT_EQ(varnel_log1pf(finf), finf);
  EXPECT_TRUE(std::isnan(varnel_log1pf(from_bits32(0x7FC00123u))));
}

// The long double argument is mapped to binary64 first: the long double
// just below -1 (-1 - 2^-63 in x87, -1 - 2^-112 in binary128) is below -1,
// but maps to -1 itself.
TEST(Log1p, LongDoubleArgumentIsMappedToBinary64First) {
  VARNEL_REQUIRE_WIDE_LONG_DOUBLE();
  const long double just_below = std::nextafter(-1.0L, -2.0L);
  ASSERT_LT(just_below, -1.0L);
  errno = 0;
  EXPECT_EQ(varnel_log1pl(just_below), -std::numeric_limits<long double>::infinity());
  EXPECT_EQ(errno, ERANGE);
}

TEST(Log1p, ReportsNameTheFunction) {
  std::vector<varnel_test::error_report> log;
  const varnel_test::recording_policy rec{&log};
  vm::log1p(-2.0, rec);
  vm::log1p(-1.0, rec);
  vm::log1p(-finf, rec);
  vm::log1p(-1.0f, rec);
  vm::log1p(from_bits(0x7FF8000000000000u), rec);  // the platform's business
  vm::log1p(0.5, rec);
  ASSERT_EQ(log.size(), 4u);
  const struct {
    error_kind kind;
    const char* message;
  } expected[] = {
      {error_kind::domain, "log1p(x) requires x > -1, but got x = %1%."},
      {error_kind::overflow, "Overflow Error"},
      {error_kind::domain, "log1p(x) requires x > -1, but got x = %1%."},
      {error_kind::overflow, "Overflow Error"},
  };
  for (std::size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].kind, expected[i].kind);
    EXPECT_EQ(log[i].function, "log1p<%1%>(%1%)");
    EXPECT_EQ(log[i].message, expected[i].message);
  }
}

}  // namespace
