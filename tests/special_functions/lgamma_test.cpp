// lgamma: exact cases and errno, each range and its boundaries, the error
// sites, the float and long double members.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/lgamma.hpp>

#include "support/bits.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

namespace vm = varnel::math;
using varnel::math::policies::error_kind;
using varnel_test::bits_of;
using varnel_test::from_bits;
using namespace varnel_test::values;

const char* const fn = "varnel::math::lgamma<%1%>(%1%)";
const char* const at_integer = "Evaluation of lgamma at a negative integer %1%.";
const char* const at_zero = "Evaluation of lgamma at %1%.";

struct exact_case {
  double x;
  double expected;
  int err;
  const char* why;
};

TEST(Lgamma, ExactCasesAndErrno) {
  const exact_case cases[] = {
      {0.0, from_bits(quiet_nan_bits), EDOM, "pole at +0"},
      {-0.0, from_bits(quiet_nan_bits), EDOM, "pole at -0"},
      {-1.0, from_bits(quiet_nan_bits), EDOM, "negative integer"},
      {-2.0, from_bits(quiet_nan_bits), EDOM, "negative integer"},
      {-1e300, from_bits(quiet_nan_bits), EDOM, "huge negative integer"},
      {-inf, from_bits(quiet_nan_bits), EDOM, "-infinity"},
      {inf, inf, ERANGE, "+infinity"},
      {1e306, inf, ERANGE, "(log zgh - 1)(z - 1/2) overflows"},
      {1.0, 0.0, 0, "zero of log gamma: +0 exactly"},
      {2.0, 0.0, 0, "zero of log gamma: +0 exactly"},
      {3.0, std::log(2.0), 0, "one recurrence step, then zm2 = 0"},
      {1e-20, -std::log(1e-20), 0, "|z| < 2^-54"},
      {-1e-20, -std::log(1e-20), 0, "|z| < 2^-54, negative"},
      {0x1.fffffffffffffp-55, -std::log(0x1.fffffffffffffp-55), 0, "just below 2^-54"},
      {0x1p-1074, -std::log(0x1p-1074), 0, "smallest subnormal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_lgamma(c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_lgammal(c.x))), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
  }
}

TEST(Lgamma, NaNPassesWithErrnoUntouched) {
  errno = 0;
  EXPECT_TRUE(std::isnan(varnel_lgamma(from_bits(0x7FF8000000000000u))));
  EXPECT_TRUE(std::isnan(varnel_lgamma(from_bits(0xFFF8000000000001u))));
  EXPECT_TRUE(std::isnan(varnel_lgammaf(std::numeric_limits<float>::quiet_NaN())));
  EXPECT_EQ(errno, 0);
}

struct about_case {
  double x;
  double about;
  double max_ulps;
  const char* why;
};

TEST(Lgamma, AboutValues) {
  const about_case cases[] = {
      {4.0, 1.791759469228055, 1, "two recurrence steps"},
      {1e-10, 23.025850929882736, 1, "log|1/z - euler_gamma|"},
      {-1e-10, 23.025850929998178, 1, "log|1/z - euler_gamma|, negative"},
      {0x1p-26, 18.021826685957393, 1, "2^-26: lgamma_small"},
      {-0x1p-26, 18.021826703159768, 1, "-2^-26: reflection"},
      {0.5, 0.5723649429247001, 1, "one step up"},
      {1.5, -0.12078223763524522, 1, "1.5 belongs to [1, 1.5]"},
      {2.5, 0.2846828704729192, 1, "[2, 3)"},
      {0.9999999999999999, 6.408381213480008e-17, 1, "beside the zero at 1"},
      {1.0000000000000002, -1.2816762426960008e-16, 1, "beside the zero at 1"},
      {14.9, 24.924132002217277, 1, "12 recurrence steps"},
      {15.0, 25.19122118273868, 1, "log of 14! from the table"},
      {99.9, 358.67423945197754, 1, "log of tgamma"},
      {100.0, 359.1342053695754, 1, "Lanczos in logarithmic form"},
      {1e300, 6.897755278982137e302, 1, "large"},
      {-0.5, 1.2655121234846454, 1, "reflection"},
      {-2.5, -0.05624371649767412, 1, "reflection"},
      {-100.5, -364.90096830942736, 1, "reflection"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    errno = 0;
    const double r = varnel_lgamma(c.x);
    EXPECT_EQ(errno, 0) << c.x;
    EXPECT_LE(ulps_apart(r, c.about), c.max_ulps) << c.x << " gave " << r;
  }
}

struct reference_case {
  double x;
  double ref;  // mpmath at 300 bits, rounded to binary64
  double max_ulps;
  const char* why;
};

TEST(Lgamma, RangeBoundaries) {
  const reference_case cases[] = {
      {0x1.fffffffffffffp-55, 0x1.2b708872320e2p+5, 1, "just below 2^-54: -log z"},
      {0x1p-54, 0x1.2b708872320e2p+5, 1, "2^-54: log|1/z - euler_gamma|"},
      {-0x1p-26, 0x1.205966f50402cp+4, 2, "-2^-26: reflection"},
      {-0x1.fffffffffffffp-27, 0x1.205966f50402cp+4, 2, "just above -2^-26: lgamma_direct"},
      {-0x1.0000000000001p-26, 0x1.205966f50402cp+4, 2, "just below -2^-26: reflection"},
      {0x1.dffffffffffffp+3, 0x1.930f3df162a41p+4, 2, "just below 15: lgamma_small"},
      {15.0, 0x1.930f3df162a42p+4, 1, "15: log of tgamma"},
      {0x1.8ffffffffffffp+6, 0x1.67225b4879461p+8, 2, "just below 100: log of tgamma"},
      {100.0, 0x1.67225b4879462p+8, 2, "100: logarithmic Lanczos"},
      {2610898129775802.0, 0x1.3fffffffffffdp+56, 1, "last point with the correction"},
      {2610898129775803.0, 0x1.4p+56, 1, "first point without it"},
      {0x1.754d9278b51a6p+1014, 0x1.ffffffffffffep+1023, 1, "just below the overflow"},
      // Reflection beyond 2^31, where x sin(pi x) no longer reads the
      // parity (only its magnitude is used here).
      {-2147483648.5, -0x1.47cd0e72cee27p+35, 2, "reflection at -(2^31 + 1/2)"},
      {-2147483649.5, -0x1.47cd0e757e7c8p+35, 2, "reflection at -(2^31 + 3/2)"},
      {-1e15 - 0.5, -0x1.dc9d5b94e13p+54, 2, "reflection far out"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    errno = 0;
    const double r = varnel_lgamma(c.x);
    EXPECT_EQ(errno, 0) << c.x;
    EXPECT_LE(ulps_apart(r, c.ref), c.max_ulps) << c.x << " gave " << r;
  }
  // Overflow from about 2.5599833278516385e305: two doubles above it the
  // result is +infinity with ERANGE.
  errno = 0;
  EXPECT_EQ(varnel_lgamma(0x1.754d9278b51aap+1014), inf);
  EXPECT_EQ(errno, ERANGE);
}

struct report_case {
  double x;
  std::vector<varnel_test::error_report> reports;
};

TEST(Lgamma, EveryErrorSiteNamesFunctionAndMessage) {
  const report_case cases[] = {
      {0.0, {{error_kind::pole, fn, at_zero}}},
      {-0.0, {{error_kind::pole, fn, at_zero}}},
      {-1.0, {{error_kind::pole, fn, at_integer}}},
      {-inf, {{error_kind::pole, fn, at_integer}}},
      {-0x1p-26 * 2, {}},
      // Only the narrowing reports an infinite result.
      {inf, {{error_kind::overflow, fn, "Overflow Error"}}},
      {1e306, {{error_kind::overflow, fn, "Overflow Error"}}},
      {1.0, {}},
      {50.5, {}},
      {-100.5, {}},
      {from_bits(0x7FF8000000000000u), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    std::vector<varnel_test::error_report> log;
    (void)vm::lgamma(c.x, varnel_test::recording_policy{&log});
    ASSERT_EQ(log.size(), c.reports.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
      EXPECT_EQ(log[i].kind, c.reports[i].kind) << i;
      EXPECT_EQ(log[i].function, c.reports[i].function) << i;
      EXPECT_EQ(log[i].message, c.reports[i].message) << i;
    }
  }
  // The float member narrows with the float limits and reports there.
  std::vector<varnel_test::error_report> log;
  EXPECT_EQ(vm::lgamma(1e37f, varnel_test::recording_policy{&log}), std::numeric_limits<float>::infinity());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].kind, error_kind::overflow);
  EXPECT_EQ(log[0].function, fn);
}

TEST(Lgamma, FloatMember) {
  errno = 0;
  EXPECT_EQ(varnel_lgammaf(1e37f), std::numeric_limits<float>::infinity());
  EXPECT_EQ(errno, ERANGE);
  errno = 0;
  EXPECT_EQ(bits_of(varnel_lgammaf(1.0f)), 0u);
  EXPECT_EQ(bits_of(varnel_lgammaf(2.0f)), 0u);
  EXPECT_EQ(errno, 0);
  // Just inside the float range: finite, no error.
  EXPECT_TRUE(std::isfinite(varnel_lgammaf(4.0e36f)));
  EXPECT_EQ(errno, 0);
  EXPECT_EQ(varnel_lgammaf(0.5f), 0.5723649f);
  errno = 0;
  EXPECT_EQ(bits_of(varnel_lgammaf(-0.0f)), 0x7FC00000u);
  EXPECT_EQ(errno, EDOM);
}

// Shortest decimals of the intended coefficients of the three rational
// approximations; each table entry must be exactly that number.
TEST(Lgamma, SmallArgumentTablesHoldTheDecimals) {
  namespace d = vm::detail;
  const double pa[] = {-0.01803556856784494,   0.02512664961998968,    0.049410315156753225,  0.0172491608709614,
                       -0.0002594535632054381, -0.0005410098692152044, -3.245886498259485e-05};
  const double qa[] = {1.0,
                       1.962029871977952,
                       1.4801966942423133,
                       0.5413914320717209,
                       0.09885042511280101,
                       0.008213096746488934,
                       0.00022493629192211576,
                       -2.2335276320861708e-07};
  const double pb[] = {0.04906224540690395, -0.09691175301595212,  -0.4149833583594954,   -0.4065671242119384,
                       -0.1584135863906922, -0.024014982064857155, -0.0010034668769627955};
  const double qb[] = {1.0,
                       3.0234982984646304,
                       3.4873958536072385,
                       1.9141558827442668,
                       0.5071377386143635,
                       0.05770397226904519,
                       0.001957681026011072};
  const double pc[] = {-0.029232972183027003, 0.14421626775719232,   -0.14244039073863127,
                       0.05428096940550536,   -0.008505359768683364, 0.0004311713426792973};
  const double qc[] = {1.0,
                       -1.5016935605448505,
                       0.846973248876495,
                       -0.22009515181499575,
                       0.02558279715597587,
                       -0.0010066679553914337,
                       -8.271935218912905e-07};
  auto same = [](const auto& table, const auto& decimals, const char* name) {
    ASSERT_EQ(std::size(table), std::size(decimals)) << name;
    for (std::size_t k = 0; k < std::size(table); ++k)
      EXPECT_EQ(bits_of(table[k]), bits_of(decimals[k])) << name << "[" << k << "]";
  };
  same(d::lgamma_small_pa, pa, "PA");
  same(d::lgamma_small_qa, qa, "QA");
  same(d::lgamma_small_pb, pb, "PB");
  same(d::lgamma_small_qb, qb, "QB");
  same(d::lgamma_small_pc, pc, "PC");
  same(d::lgamma_small_qc, qc, "QC");
  // The offsets are binary32 numbers, used exactly.
  EXPECT_EQ(d::lgamma_small_ya, 0.158963680267333984375);
  EXPECT_EQ(d::lgamma_small_yb, 0.52815341949462890625);
  EXPECT_EQ(d::lgamma_small_yc, 0.452017307281494140625);
  EXPECT_EQ(static_cast<double>(static_cast<float>(d::lgamma_small_ya)), d::lgamma_small_ya);
  EXPECT_EQ(static_cast<double>(static_cast<float>(d::lgamma_small_yb)), d::lgamma_small_yb);
  EXPECT_EQ(static_cast<double>(static_cast<float>(d::lgamma_small_yc)), d::lgamma_small_yc);
}

}  // namespace
