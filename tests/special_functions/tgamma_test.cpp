// tgamma: exact cases and errno, each path and its boundaries, what every
// error site hands to its action, the reflection below -170, the float
// member's range and the long double member's identity with double.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/tgamma.hpp>

#include "reference_data.hpp"
#include "support/bits.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

namespace vm = varnel::math;
using varnel::math::policies::error_kind;
using varnel_test::bits_of;
using varnel_test::from_bits;
using namespace varnel_test::values;

const char* const fn = "varnel::math::tgamma<%1%>(%1%)";
const char* const pole_message = "Evaluation of tgamma at a negative integer %1%.";
const char* const too_large = "Result of tgamma is too large to represent.";
const char* const too_small = "Result of tgamma is too small to represent.";

struct exact_case {
  double x;
  std::uint64_t bits;  // expected result
  int err;
  const char* why;
};

const exact_case exact_cases[] = {
    {0.0, quiet_nan_bits, EDOM, "pole at +0"},
    {-0.0, quiet_nan_bits, EDOM, "pole at -0"},
    {-1.0, quiet_nan_bits, EDOM, "negative integer"},
    {-20.0, quiet_nan_bits, EDOM, "negative integer at the reflection bound"},
    {-171.0, quiet_nan_bits, EDOM, "negative integer below the reflection bound"},
    {-1e300, quiet_nan_bits, EDOM, "huge negative integer"},
    {-inf, quiet_nan_bits, EDOM, "-infinity"},
    {inf, bits_of(inf), ERANGE, "+infinity overflows in the split power"},
    {1.0, bits_of(1.0), 0, "table entry 0"},
    {2.0, bits_of(1.0), 0, "table entry 1"},
    {5.0, bits_of(24.0), 0, "table entry 4"},
    {169.0, bits_of(2.5260757449731984e302), 0, "table entry 168, the last one read"},
    {1e-10, bits_of(9999999999.422785), 0, "series"},
    {1e-308, bits_of(1e308), 0, "series"},
    {0x0.4000000000001p-1022, bits_of(1.7976931348623143e308), 0, "series just above 1/max: 1/z is still finite"},
    {0x1p-1024, bits_of(inf), ERANGE, "1/max itself: 1/z overflows, only the narrowing reports"},
    {1e-309, bits_of(inf), ERANGE, "below 1/max: overflow report"},
    {0x1p-1074, bits_of(inf), ERANGE, "smallest subnormal"},
    {-1e-20, bits_of(-1e20), 0, "shift to z = 1 and table entry 0"},
    {-0.9999999999999999, bits_of(-9007199254740992.0), 0, "shift to z = 2^-53, then the series"},
    {171.7, bits_of(inf), ERANGE, "overflow after the split"},
    {255.0, bits_of(inf), ERANGE, "the half power overflows"},
    {1e300, bits_of(inf), ERANGE, "far beyond"},
};

TEST(Tgamma, ExactCasesAndErrno) {
  for (const auto& c : exact_cases) {
    SCOPED_TRACE(c.why);
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_tgamma(c.x)), c.bits);
    EXPECT_EQ(errno, c.err);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_tgammal(c.x))), c.bits);
    EXPECT_EQ(errno, c.err);
  }
}

TEST(Tgamma, NaNPassesWithErrnoUntouched) {
  for (std::uint64_t b : {0x7FF8000000000000u, 0x7FF8000000000123u, 0xFFF8000000000000u}) {
    const double x = from_bits(b);
    errno = 0;
    const double r = varnel_tgamma(x);
    EXPECT_TRUE(std::isnan(r));
    EXPECT_EQ(bits_of(r), b) << "payload and sign propagate through the arithmetic";
    EXPECT_EQ(errno, 0);
    EXPECT_TRUE(std::isnan(varnel_tgammaf(static_cast<float>(x))));
    EXPECT_EQ(errno, 0);
  }
  errno = EDOM;  // never cleared
  (void)varnel_tgamma(0.5);
  EXPECT_EQ(errno, EDOM);
}

struct about_case {
  double x;
  double about;
  double max_ulps;
  int err;
  const char* why;
};

// Results that depend in their last bits on the platform's pow, exp, log
// and sin.
const about_case about_cases[] = {
    {0.5, 1.7724538509055159, 2, 0, "Lanczos below 1"},  {170.0, 4.269068009004705e304, 4, 0, "Lanczos, not the table"},
    {142.5, 2.259909109986533e244, 4, 0, "split power"}, {-0.5, -3.5449077018110318, 2, 0, "one shift step"},
    {-1.5, 2.3632718012073544, 2, 0, "two shift steps"}, {-19.5, 5.811045977502235e-18, 4, 0, "twenty shift steps"},
    {-20.5, -2.834656574391334e-19, 4, 0, "reflection"},
};

TEST(Tgamma, AboutValues) {
  for (const auto& c : about_cases) {
    SCOPED_TRACE(c.why);
    errno = 0;
    const double r = varnel_tgamma(c.x);
    EXPECT_EQ(errno, c.err) << c.x;
    EXPECT_LE(ulps_apart(r, c.about), c.max_ulps) << c.x << " gave " << r;
  }
  // Given to 14 digits only.
  errno = 0;
  EXPECT_NEAR(varnel_tgamma(171.62) / 1.7576826789978e308, 1.0, 1e-13);    // split power near the top
  EXPECT_NEAR(varnel_tgamma(-170.5) / -3.3127395215386e-308, 1.0, 1e-13);  // reflection, normal
  EXPECT_EQ(errno, 0);
  // 170 is the first integer left to the Lanczos form: it need not equal
  // the correctly rounded 169!, but comes close.
  EXPECT_LE(ulps_apart(varnel_tgamma(170.0), 0x1.f2054eb4d96ecp+1011), 4);
  // Subnormal: ERANGE from the narrowing, the value itself returned.
  errno = 0;
  const double r = varnel_tgamma(-170.6);
  EXPECT_EQ(errno, ERANGE);
  EXPECT_NEAR(r, -2.0829008361503e-308, 1e-320);
}

struct reference_case {
  double x;
  double ref;  // mpmath at 300 bits, rounded to binary64
  double max_ulps;
  const char* why;
};

// Both sides of each path boundary against high-precision values.
const reference_case boundary_cases[] = {
    {0x1.fffffffffffffp-27, 0x1.ffffffb61dcc4p+25, 1, "below 2^-26: series"},
    {0x1p-26, 0x1.ffffffb61dcc3p+25, 1, "2^-26: Lanczos"},
    {0x1.0000000000001p-26, 0x1.ffffffb61dcc1p+25, 1, "above 2^-26: Lanczos"},
    {0x1.53fffffffffffp+7, 0x1.f2054eb4d91eep+1011, 8, "just below 170"},
    {0x1.5400000000001p+7, 0x1.f2054eb4d9beap+1011, 8, "just above 170"},
    {0x1.1bf3555e3bcbap+7, 0x1.f7ae3caa99942p+807, 8, "last full power (141.975...)"},
    {0x1.1bf3555e3bcbbp+7, 0x1.f7ae3caa99e21p+807, 8, "first split power"},
    {-0x1.3ffffffffffffp+4, 0x1.e542ba4020281p-14, 4, "just above -20: twenty shift steps"},
    {-0x1.4000000000001p+4, -0x1.e542ba40201c9p-14, 4, "just below -20: reflection"},
    {-0x1.3fffffffcp+4, 0x1.e542ba5707199p-32, 4, "-20 + 2^-30: shift"},
    {-0x1.400000004p+4, -0x1.e542ba29392b1p-32, 4, "-20 - 2^-30: reflection"},
};

TEST(Tgamma, PathBoundaries) {
  for (const auto& c : boundary_cases) {
    SCOPED_TRACE(c.why);
    errno = 0;
    const double r = varnel_tgamma(c.x);
    EXPECT_EQ(errno, 0);
    EXPECT_LE(ulps_apart(r, c.ref), c.max_ulps) << c.x << " gave " << r;
  }
  // The series below 2^-26 is exactly 1/z - euler_gamma.
  const double z = 0x1.fffffffffffffp-27;
  EXPECT_EQ(varnel_tgamma(z), (1 / z) - 0.5772156649015329);
  // Overflow sets in at about 171.62437695630272: two doubles below it the
  // result is finite, two above it is +infinity with ERANGE.
  errno = 0;
  const double below = varnel_tgamma(0x1.573fae561f646p+7);
  EXPECT_EQ(errno, 0);
  EXPECT_GT(below, 1.7976931348619e308);
  EXPECT_LE(below, dmax);
  errno = 0;
  EXPECT_EQ(varnel_tgamma(0x1.573fae561f649p+7), inf);
  EXPECT_EQ(errno, ERANGE);
}

struct report_case {
  double x;
  std::vector<varnel_test::error_report> reports;
};

TEST(Tgamma, EveryErrorSiteNamesFunctionAndMessage) {
  const report_case cases[] = {
      {0.0, {{error_kind::pole, fn, pole_message}}},
      {-3.0, {{error_kind::pole, fn, pole_message}}},
      {-inf, {{error_kind::pole, fn, pole_message}}},
      // Series below 1/max: the site passes no message (the default stands
      // in), then the narrowing reports the infinity once more.
      {1e-310, {{error_kind::overflow, fn, "Overflow Error"}, {error_kind::overflow, fn, "Overflow Error"}}},
      // 1/max itself: only the narrowing.
      {0x1p-1024, {{error_kind::overflow, fn, "Overflow Error"}}},
      // Half power already too large; then result > max / hp.
      {300.0, {{error_kind::overflow, fn, too_large}, {error_kind::overflow, fn, "Overflow Error"}}},
      {inf, {{error_kind::overflow, fn, too_large}, {error_kind::overflow, fn, "Overflow Error"}}},
      {171.7, {{error_kind::overflow, fn, too_large}, {error_kind::overflow, fn, "Overflow Error"}}},
      // Reflection below every subnormal.
      {-200.5, {{error_kind::underflow, fn, too_small}}},
      {-300.5, {{error_kind::underflow, fn, too_small}}},
      {-2147483649.5, {{error_kind::underflow, fn, too_small}}},
      // Subnormal results: the narrowing's denorm report, no message.
      {-170.6, {{error_kind::denorm, fn, ""}}},
      {-171.5, {{error_kind::denorm, fn, ""}}},
      // No report at all.
      {0.5, {}},
      {-20.5, {}},
      {-170.5, {}},
      {from_bits(0x7FF8000000000000u), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    std::vector<varnel_test::error_report> log;
    (void)vm::tgamma(c.x, varnel_test::recording_policy{&log});
    ASSERT_EQ(log.size(), c.reports.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
      EXPECT_EQ(log[i].kind, c.reports[i].kind) << i;
      EXPECT_EQ(log[i].function, c.reports[i].function) << i;
      EXPECT_EQ(log[i].message, c.reports[i].message) << i;
    }
  }
}

// Below -170 Gamma(-x) * x sin(pi x) overflows, although the quotient is
// representable down to -184: the results come out accurate, not +0.
TEST(Tgamma, ReflectionWhereTheProductOverflows) {
  struct fixed_point {
    double x;
    int err;
    double max_ulps;  // in ulps of the reference (the smallest subnormal below 2^-1022)
  };
  const fixed_point fixed[] = {
      {-170.9, ERANGE, 1},  // about -1.37e-308: just below the normal range
      {-171.5, ERANGE, 1},  // about 1.93e-310: subnormal
      {-180.5, ERANGE, 0},  // about -1.2e-330: below half the smallest subnormal: +0
      {-200.5, ERANGE, 0},  // about -2.8e-376: +0
  };
  const auto points = varnel_common::load_reference("tgamma");
  for (const auto& f : fixed) {
    SCOPED_TRACE(f.x);
    bool found = false;
    for (const auto& p : points) {
      if (p.x != f.x) continue;
      found = true;
      errno = 0;
      const double r = varnel_tgamma(f.x);
      EXPECT_EQ(errno, f.err);
      if (p.hi == 0) {
        EXPECT_EQ(bits_of(r), 0u);  // +0, whatever the sign of the true value
      } else {
        EXPECT_EQ(std::signbit(r), std::signbit(p.hi));
        EXPECT_LE(varnel_common::ulp_error(r, p.hi, p.lo), f.max_ulps) << r;
      }
    }
    EXPECT_TRUE(found) << "reference point missing";
  }
  // Normal results beside a pole, beyond where Gamma(-x) itself overflows:
  // -172.0000001 (about -4.68e-305) against mpmath.
  errno = 0;
  const double r = varnel_tgamma(-172.0000001);
  EXPECT_EQ(errno, 0);
  EXPECT_LE(ulps_apart(r, -0x1.072f00be061c2p-1011), 4) << r;
  // Both sides of the switch to the split power at 171.6.
  errno = 0;
  EXPECT_NEAR(varnel_tgamma(std::nextafter(-171.6, 0.0)), 0x0.01658244b12c3p-1022, 0x1p-1074);
  EXPECT_NEAR(varnel_tgamma(-171.6), 0x0.01658244b12c0p-1022, 0x1p-1074);
  EXPECT_NEAR(varnel_tgamma(std::nextafter(-171.6, -inf)), 0x0.01658244b12bep-1022, 0x1p-1074);
  EXPECT_EQ(errno, ERANGE);
}

// z sin(pi z): the sign from the parity of floor(|z|), sin only on [0, pi/2].
TEST(Tgamma, XSinPiX) {
  struct case_ {
    double z;
    double expected;
  };
  const case_ cases[] = {
      {0.5, 0.5},
      {-1.5, -1.5},  // -1.5 sin(-1.5 pi) = -1.5
      {-2.5, 2.5},
      {2147483647.5, -2147483647.5},  // floor = 2^31 - 1, odd
      {2147483648.5, 2147483648.5},   // floor = 2^31: counted as even (true sign too)
      {2147483649.5, 2147483649.5},   // floor = 2^31 + 1 counts as even: sign not kept
      {-2147483649.5, 2147483649.5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bits_of(vm::detail::x_sin_pi_x(c.z)), bits_of(c.expected)) << c.z;
  }
  // Far beyond 2^31 the conversion is never attempted: any finite value is
  // fine (and the sanitizer build would trap an out-of-range conversion).
  EXPECT_TRUE(std::isfinite(vm::detail::x_sin_pi_x(1e15 + 0.5)));
  // Reduction: sin sees the distance to the nearest integer.
  EXPECT_EQ(vm::detail::x_sin_pi_x(3.75), -(3.75 * std::sin(0.25 * 0x1.921fb54442d18p+1)));
  EXPECT_EQ(vm::detail::x_sin_pi_x(4.25), 4.25 * std::sin(0.25 * 0x1.921fb54442d18p+1));
}

TEST(Tgamma, FloatMember) {
  errno = 0;
  const float r = varnel_tgammaf(35.04f);
  EXPECT_EQ(errno, 0);
  EXPECT_TRUE(std::isfinite(r));
  EXPECT_NEAR(r, 3.4016487e38f, 2e31f);
  errno = 0;
  EXPECT_EQ(varnel_tgammaf(35.05f), std::numeric_limits<float>::infinity());
  EXPECT_EQ(errno, ERANGE);
  errno = 0;
  EXPECT_EQ(varnel_tgammaf(0.5f), 1.7724539f);
  EXPECT_EQ(errno, 0);
  // The last finite float result and the first beyond the float range.
  errno = 0;
  EXPECT_TRUE(std::isfinite(varnel_tgammaf(0x1.18521ep+5f)));  // 35.0400963
  EXPECT_EQ(errno, 0);
  EXPECT_EQ(varnel_tgammaf(0x1.18522p+5f), std::numeric_limits<float>::infinity());  // 35.0401001
  EXPECT_EQ(errno, ERANGE);
  // Below the float range: subnormal with ERANGE, and +0 with ERANGE.
  errno = 0;
  const float sub = varnel_tgammaf(-36.5f);  // about 4e-44
  EXPECT_EQ(errno, ERANGE);
  EXPECT_LT(std::fabs(sub), 0x1p-126f);
  EXPECT_GT(std::fabs(sub), 0.0f);
  errno = 0;
  EXPECT_EQ(bits_of(varnel_tgammaf(-60.5f)), 0u);
  EXPECT_EQ(errno, ERANGE);
  // Poles.
  errno = 0;
  EXPECT_EQ(bits_of(varnel_tgammaf(-3.0f)), 0x7FC00000u);
  EXPECT_EQ(errno, EDOM);
}

TEST(Tgamma, LongDoubleMemberIsTheDoubleMember) {
  const double xs[] = {0.5, -0.5, 3.0, 170.0, 171.7, -20.5, -170.9, -171.5, -200.5, 1e-309, 0.0, -5.0};
  for (double x : xs) {
    errno = 0;
    const double r = varnel_tgamma(x);
    const int e = errno;
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_tgammal(x))), bits_of(r)) << x;
    EXPECT_EQ(errno, e) << x;
  }
  // An argument that binary64 cannot hold is rounded to it first.
  const long double third = 1.0L / 3.0L;
  EXPECT_EQ(static_cast<double>(varnel_tgammal(third)), varnel_tgamma(static_cast<double>(third)));
}

}  // namespace
