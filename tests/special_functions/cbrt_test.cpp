// cbrt in the three precisions: the fixed results of the routine, every
// remainder factor, both iterations, exact roots, subnormal arguments and
// accuracy sweeps against the platform's long double cube root, errno on
// every path, and what the one error site hands to its action.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/cbrt.hpp>

#include "support/bits.hpp"
#include "support/platform.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

using varnel::math::policies::error_kind;
using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::from_bits32;
using namespace varnel_test::values;

// Distance in units in the last place of r from a reference root computed
// in the platform's x87 long double (11 more bits than binary64).
double ulps_from(double r, long double reference) {
  const double ulp = std::ldexp(1.0, std::ilogb(static_cast<double>(reference)) - 52);
  return static_cast<double>(std::fabs(static_cast<long double>(r) - reference) / ulp);
}

// Distance in representable binary64 values between two finite values of
// the same sign.
std::int64_t steps_between(double a, double b) {
  const auto ia = static_cast<std::int64_t>(bits_of(a)), ib = static_cast<std::int64_t>(bits_of(b));
  return ia > ib ? ia - ib : ib - ia;
}

// The routine's error against the true root, measured over 3e7 random
// arguments, stays below 3.4 ulps (one Halley step from a 1.2e-6 guess,
// with the rounding of g^3 and of the quotient); 12 % of the results are
// more than one ulp away.
constexpr double sweep_bound_ulps = 3.5;

TEST(Cbrt, ZerosInfinitiesAndNaN) {
  const double same[] = {0.0, -0.0, inf, -inf};
  for (double x : same) {
    errno = 0;
    EXPECT_EQ(bits_of(varnel_cbrt(x)), bits_of(x));
    EXPECT_EQ(bits_of(static_cast<double>(varnel_cbrtl(x))), bits_of(x));
    EXPECT_EQ(bits_of(varnel_cbrtf(static_cast<float>(x))), bits_of(static_cast<float>(x)));
    EXPECT_EQ(errno, 0);
  }
  const double nans[] = {from_bits(0x7FF8000000000000u), from_bits(0xFFF8000000000000u), from_bits(0x7FF0000000000001u),
                         from_bits(0x7FFFFFFFFFFFFFFFu)};
  for (double x : nans) {
    errno = 0;
    EXPECT_EQ(bits_of(varnel_cbrt(x)), 0x7FF8000000000000u);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_cbrtl(x))), 0x7FF8000000000000u);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_cbrtf(static_cast<float>(x))), 0x7FC00000u);
    EXPECT_EQ(errno, EDOM);
  }
}

// Results fixed by the algorithm's order of operations, including the
// last-place error it leaves on 27 and the large-range result at the
// largest double.
TEST(Cbrt, FixedResults) {
  const struct {
    double x, expected;
  } cases[] = {
      {8.0, 2.0},
      {64.0, 4.0},
      {1000.0, 10.0},
      {27.0, 0x1.8000000000001p+1},  // 3.0000000000000004
      {2.0, 1.2599210498948732},
      {-8.0, -2.0},
      {0.125, 0.5},
      {1e-300, 1e-100},
      {1e300, 1e100},
      {dmax, 5.643803094122362e+102},
      {-dmax, -5.643803094122362e+102},
  };
  for (const auto& c : cases) {
    errno = 0;
    EXPECT_EQ(bits_of(varnel_cbrt(c.x)), bits_of(c.expected)) << std::hexfloat << c.x;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_cbrtl(c.x))), bits_of(c.expected));
    EXPECT_EQ(errno, 0);
  }
}

// Each remainder factor 2^(r/3), r = -2 .. 2, reached from a positive and
// from a negative exponent (x = m * 2^e, r = e - 3 * trunc(e / 3)); the
// expected roots are the correctly rounded values (mpmath, 300 bits).
TEST(Cbrt, EveryRemainderFactor) {
  const struct {
    double x, root;
    int r;
  } cases[] = {
      {0x1p-6, 0x1p-2, -2},                  // e = -5
      {0x1.8p-5, 0x1.7137449123ef6p-2, -1},  // e = -4
      {0x1p-4, 0x1.965fea53d6e3dp-2, 0},     // e = -3
      {0x1.8p-3, 0x1.250bfe1b082f5p-1, -2},  // e = -2
      {0x1p-2, 0x1.428a2f98d728bp-1, -1},    // e = -1
      {0x1.8p-1, 0x1.d12ed0af1a27fp-1, 0},   // e = 0
      {0x1p+0, 0x1p+0, 1},                   // e = 1
      {0x1.8p+1, 0x1.7137449123ef6p+0, 2},   // e = 2
      {0x1p+2, 0x1.965fea53d6e3dp+0, 0},     // e = 3
      {0x1.8p+3, 0x1.250bfe1b082f5p+1, 1},   // e = 4
      {0x1p+4, 0x1.428a2f98d728bp+1, 2},     // e = 5
      {0x1.8p+5, 0x1.d12ed0af1a27fp+1, 0},   // e = 6
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.x << " r = " << c.r);
    EXPECT_LE(steps_between(varnel_cbrt(c.x), c.root), 1);
    EXPECT_EQ(bits_of(varnel_cbrt(-c.x)), bits_of(-varnel_cbrt(c.x)));
  }
}

// 2^(3k) has the exact root 2^k, from the smallest subnormal 2^-1074
// (root 2^-358) to 2^1023 (root 2^341, large-range iteration).
TEST(Cbrt, PowersOfEightHaveExactRoots) {
  errno = 0;
  for (int k = -358; k <= 341; ++k) {
    const double x = std::ldexp(1.0, 3 * k);
    const double root = std::ldexp(1.0, k);
    ASSERT_EQ(bits_of(varnel_cbrt(x)), bits_of(root)) << "k = " << k;
    ASSERT_EQ(bits_of(varnel_cbrt(-x)), bits_of(-root)) << "k = " << k;
  }
  errno = 0;
  EXPECT_EQ(varnel_cbrt(5e-324), 0x1p-358);  // 1.7031839360032603e-108
  EXPECT_EQ(errno, 0);
}

// Every exact cube n^3 below 2^53: the root n within the routine's bound
// (cbrt(125^3) is two ulps below 125).
TEST(Cbrt, ExactIntegerCubes) {
  for (std::int64_t n = 1; n * n * n < (std::int64_t{1} << 53); ++n) {
    const double x = static_cast<double>(n * n * n);
    const double r = varnel_cbrt(x);
    ASSERT_LE(ulps_from(r, static_cast<long double>(n)), sweep_bound_ulps) << "n = " << n;
  }
}

// From a frexp exponent of 1021 (x >= 2^1020) the rearranged step runs; its
// results near the switch and near the largest double.
TEST(Cbrt, LargeRangeIteration) {
  const struct {
    double x, root;
  } cases[] = {
      {0x1.fffffffffffffp+1019, 0x1p+340},  // last argument of the normal iteration
      {0x1p+1020, 0x1p+340},                // first of the large one
      {0x1.0000000000001p+1020, 0x1p+340},
      {0x1.8p+1022, 0x1.d12ed0af1a27fp+340},
      {0x1p+1023, 0x1p+341},
      {dmax, 0x1.428a2f98d728bp+341},
  };
  for (const auto& c : cases) {
    errno = 0;
    const double r = varnel_cbrt(c.x);
    EXPECT_TRUE(std::isfinite(r));
    EXPECT_LE(steps_between(r, c.root), 1) << std::hexfloat << c.x;
    EXPECT_EQ(errno, 0);
  }
}

TEST(Cbrt, RandomNormalArgumentsAgainstLongDoubleRoot) {
  std::mt19937_64 gen(0x5eedc001);
  const std::uint64_t lo = 0x0010000000000000u, hi = 0x7FEFFFFFFFFFFFFFu;
  errno = 0;
  for (int i = 0; i < 100000; ++i) {
    const double x = from_bits(lo + gen() % (hi - lo + 1));
    const double r = varnel_cbrt(x);
    ASSERT_LE(ulps_from(r, std::cbrt(static_cast<long double>(x))), sweep_bound_ulps) << std::hexfloat << x;
    ASSERT_EQ(bits_of(varnel_cbrt(-x)), bits_of(-r));
  }
  EXPECT_EQ(errno, 0);
}

// Subnormal arguments are scaled into the normal range: they get the same
// accuracy as normal ones (unscaled, the guess could only reach about
// 1.2e-6 relative, billions of ulps).
TEST(Cbrt, SubnormalArguments) {
  const struct {
    double x, root;
  } cases[] = {
      {0x1p-1074, 0x1p-358},
      {0x1p-1073, 0x1.428a2f98d728bp-358},
      {0x1.bp-1070, 0x1.8p-357},                          // 27 * 2^-1074: root 3 * 2^-358
      {0x0.0000000027882p-1022, 0x1.b409f7db6eb46p-353},  // near 8e-319
      {0x0.fffffffffffffp-1022, 0x1.428a2f98d728ap-341},  // the largest subnormal
      {1e-310, 0x1.a9d1b0b5d7427p-344},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.x);
    errno = 0;
    EXPECT_LE(steps_between(varnel_cbrt(c.x), c.root), 1);
    EXPECT_LE(steps_between(-varnel_cbrt(-c.x), c.root), 1);
    EXPECT_EQ(errno, 0);
  }
  std::mt19937_64 gen(0x5eedc002);
  errno = 0;
  for (int i = 0; i < 100000; ++i) {
    const double x = from_bits(1 + gen() % 0x000FFFFFFFFFFFFFu);
    const double r = varnel_cbrt(x);
    ASSERT_LE(ulps_from(r, std::cbrt(static_cast<long double>(x))), sweep_bound_ulps) << std::hexfloat << x;
  }
  EXPECT_EQ(errno, 0);
}

TEST(Cbrtf, TheDoubleRootRoundedToFloat) {
  const struct {
    float x, expected;
  } cases[] = {
      {0x1p-149f, 0x1.428a3p-50f},  // 1.1190347e-15: a normal float, no ERANGE
      {-0x1p-149f, -0x1.428a3p-50f},
      {8.0f, 2.0f},
      {27.0f, 3.0f},  // the double 3.0000000000000004 rounds to 3
      {0x1p-126f, 0x1p-42f},
      {0x1.fffffep+127f, 0x1.965feap+42f},
  };
  for (const auto& c : cases) {
    errno = 0;
    EXPECT_EQ(bits_of(varnel_cbrtf(c.x)), bits_of(c.expected)) << std::hexfloat << c.x;
    EXPECT_EQ(errno, 0);
  }
}

TEST(Cbrtl, TheBinary64RootOfTheMappedArgument) {
  std::mt19937_64 gen(0x5eedc004);
  for (int i = 0; i < 20000; ++i) {
    const double x = from_bits(gen());
    errno = 0;
    const double expected = varnel_cbrt(x);
    const int expected_errno = errno;
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_cbrtl(x))), bits_of(expected));
    EXPECT_EQ(errno, expected_errno);
    if (HasFailure()) return;
  }
  // Beyond the binary64 range a wider argument (x87, binary128) maps to
  // zero or infinity.
  if (varnel::math::tools::long_double_is_wider) {
    EXPECT_EQ(bits_of(static_cast<double>(varnel_cbrtl(varnel_test::long_double_power_of_two(-16000)))), bits_of(0.0));
    EXPECT_EQ(varnel_cbrtl(-varnel_test::long_double_power_of_two(13000)),
              -std::numeric_limits<long double>::infinity());
  }
}

TEST(CbrtReports, FunctionNameAndMessage) {
  std::vector<varnel_test::error_report> log;
  const varnel_test::recording_policy rec{&log};
  const double quiet = from_bits(0x7FF8000000000000u);
  EXPECT_EQ(bits_of(varnel::math::cbrt(quiet, rec)), 0x7FF8000000000000u);
  EXPECT_EQ(bits_of(varnel::math::cbrt(static_cast<float>(quiet), rec)), 0x7FC00000u);
  ASSERT_EQ(log.size(), 2u);
  for (const auto& r : log) {
    EXPECT_EQ(r.kind, error_kind::domain);
    EXPECT_EQ(r.function, "varnel::math::cbrt<%1%>(%1%)");
    EXPECT_EQ(r.message, "Argument to function must be finite but got %1%.");
  }
}

}  // namespace
