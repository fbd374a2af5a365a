// erf and erfc in all three precisions: the reduction bookkeeping, every
// interval end, the cut-offs, the subnormal and underflow bands with their
// errno, and the strings every error site passes (accuracy over the
// reference tables: tests/conformance/accuracy_test.cpp).
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/erf.hpp>
#include <varnel/math/special_functions/erfc.hpp>

#include "reference_data.hpp"
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

constexpr double erf_cutoff = 0x1.7b851ep+2;  // the float nearest 5.93, widened

// Exact results and errno.  The values are those published for these
// arguments with glibc's exp, or (marked mp) the correctly rounded value,
// which the routine reaches there.
TEST(Erf, ExactValuesAndErrno) {
  enum which { erf, erfc };
  const struct {
    which f;
    double x;
    double expected;
    int err;
  } cases[] = {
      {erf, 0.0, 0.0, 0},
      {erf, -0.0, 0.0, 0},  // +0: the sign of a zero argument does not survive
      {erfc, 0.0, 1.0, 0},
      {erfc, -0.0, 1.0, 0},
      {erf, 1e-12, 1.1283791670955126e-12, 0},  // tiny branch
      {erf, -1e-12, -1.1283791670955126e-12, 0},
      {erfc, 1e-12, 0.9999999999988716, 0},
      {erfc, -1e-12, 1.0000000000011284, 0},  // mp
      {erf, 0.5, 0.5204998778130465, 0},      // large region: 1 - erfc(0.5)
      {erf, -0.5, -0.5204998778130465, 0},
      {erfc, -0.5, 1.5204998778130465, 0},                   // 1 + erf(0.5)
      {erfc, -0x1.0000000000001p-1, 1.5204998778130467, 0},  // 2 - erfc(0.5000000000000001)
      {erf, 1.0, 0.8427007929497149, 0},
      {erfc, 1.0, 0.15729920705028513, 0},
      {erf, 2.0, 0.9953222650189527, 0},  // mp
      {erfc, 2.0, 0.004677734981047265, 0},
      {erf, 5.0, 0.9999999999984626, 0},  // mp
      {erfc, 5.0, 1.5374597944280347e-12, 0},
      {erfc, 10.0, 2.088487583762545e-45, 0},
      {erf, 10.0, 1.0, 0},
      {erf, erf_cutoff, 1.0, 0},
      {erf, above(erf_cutoff), 1.0, 0},
      {erfc, erf_cutoff, 5.017410373286026e-17, 0},  // mp; erfc has its own cut-off
      {erf, -6.0, -1.0, 0},
      {erfc, 28.0, 0.0, 0},  // erfc cut-off
      {erfc, -28.0, 2.0, 0},
      {erfc, -1e300, 2.0, 0},
      {erfc, 27.5, 0.0, 0},  // the internal exp underflows; nothing is reported
      {erfc, below(28.0), 0.0, 0},
      {erfc, 1e300, 0.0, 0},
      {erf, inf, 1.0, 0},
      {erf, -inf, -1.0, 0},
      {erfc, inf, 0.0, 0},
      {erfc, -inf, 2.0, 0},
      // erf of the smallest subnormal: x*1.125 rounds back to x, x*c to 0.
      {erf, 0x1p-1074, 0x1p-1074, ERANGE},
      {erf, -0x1p-1074, -0x1p-1074, ERANGE},
      {erfc, 0x1p-1074, 1.0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.f == erf ? "erf" : "erfc");
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(c.f == erf ? varnel_erf(c.x) : varnel_erfc(c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
  }
  // erf of a subnormal is subnormal: ERANGE with the value itself, about
  // (2/sqrt(pi))x = 1.12837916709551e-310 (mp), to within a unit of 2^-1074.
  errno = 0;
  const double r = varnel_erf(1e-310);
  EXPECT_EQ(errno, ERANGE);
  EXPECT_LE(std::fabs(r - 1.1283791670955e-310), 0x1p-1074);
}

// The identities the bookkeeping rests on hold bit for bit: erf is odd;
// above 0.5 erf is 1 - erfc and erfc(-x) is 2 - erfc(x); below 0.5 erfc is
// 1 - erf and erfc(-x) is 1 + erf(x).  A sign, offset or toggle gone wrong
// breaks one of them by far more than an ulp.
TEST(Erf, ReductionIdentitiesHoldExactly) {
  std::vector<double> xs = {1e-300, 1e-11,      1e-10,      0.1, 0.3,        below(0.5), 0.5, above(0.5),
                            0.75,   below(1.5), 1.5,        2.0, below(2.5), 2.5,        3.5, below(4.5),
                            4.5,    5.0,        erf_cutoff, 7.0, 20.0,       27.0};
  for (double x = 0x1p-9; x < 30; x *= 1.37) xs.push_back(x);
  for (double x : xs) {
    SCOPED_TRACE(x);
    EXPECT_EQ(bits_of(varnel_erf(-x)), bits_of(-varnel_erf(x)));
    if (x >= 0.5) {
      EXPECT_EQ(bits_of(varnel_erf(x)), bits_of(1.0 - varnel_erfc(x)));
      if (x > 0.5) {
        EXPECT_EQ(bits_of(varnel_erfc(-x)), bits_of(2.0 - varnel_erfc(x)));
      }
    } else {
      EXPECT_EQ(bits_of(varnel_erfc(x)), bits_of(1.0 - varnel_erf(x)));
    }
    if (x <= 0.5) {
      EXPECT_EQ(bits_of(varnel_erfc(-x)), bits_of(1.0 + varnel_erf(x)));
    }
  }
}

// High-precision values (mpmath, 400 bits, as hi + lo) on both sides of
// every threshold: the tiny branch, 0.5, the interval ends 1.5, 2.5 and
// 4.5, the erf cut-off and the start of the subnormal band of erfc.
struct point {
  double x, hi, lo;
};

TEST(Erf, ThresholdNeighboursAreAccurate) {
  const point erf_points[] = {
      {0x1.b7cdfd9d7bdbap-34, 0x1.f044332d6816p-34, 0x1.f835ee5ae9edbp-90},   // below 1e-10
      {0x1.b7cdfd9d7bdbbp-34, 0x1.f044332d68161p-34, 0x1.01834fa76156bp-88},  // 1e-10
      {0x1.fffffffffffffp-2, 0x1.0a7ef5c18edd2p-1, -0x1.12af7abc8c2fep-55},
      {0x1p-1, 0x1.0a7ef5c18edd2p-1, 0x1.5e809f1a31a28p-56},
      {0x1.7ffffffffffffp+0, 0x1.eea5557137adfp-1, 0x1.d410026b1243dp-55},
      {0x1.8p+0, 0x1.eea5557137aep-1, -0x1.385e445f2c96dp-55},
      {0x1.3ffffffffffffp+1, 0x1.ffcaa8f4c9beap-1, 0x1.a7e2c8a793741p-55},
      {0x1.4p+1, 0x1.ffcaa8f4c9beap-1, 0x1.b0cee160116f9p-55},
      {0x1.1ffffffffffffp+2, 0x1.fffffffe4fa3p-1, 0x1.d166b8d2bb234p-57},
      {0x1.2p+2, 0x1.fffffffe4fa3p-1, 0x1.d166bcb681c7bp-57},
      {-0x1p-1, -0x1.0a7ef5c18edd2p-1, -0x1.5e809f1a31a28p-56},
      {-0x1.1ffffffffffffp+2, -0x1.fffffffe4fa3p-1, -0x1.d166b8d2bb234p-57},
  };
  const point erfc_points[] = {
      {0x1.b7cdfd9d7bdbap-34, 0x1.ffffffff07ddep-1, 0x1.9a52fd3fc0f94p-55},
      {0x1.b7cdfd9d7bdbbp-34, 0x1.ffffffff07ddep-1, 0x1.9a52fd3d7f3e6p-55},
      {0x1.fffffffffffffp-2, 0x1.eb02147ce245dp-2, -0x1.daa10a86e7a05p-56},
      {0x1p-1, 0x1.eb02147ce245cp-2, -0x1.5e809f1a31a28p-56},
      {0x1.7ffffffffffffp+0, 0x1.15aaa8ec85209p-5, -0x1.410026b1243d6p-59},
      {0x1.8p+0, 0x1.15aaa8ec85205p-5, -0x1.e86ee834da4cep-61},
      {0x1.3ffffffffffffp+1, 0x1.aab859b20acbp-12, 0x1.d37586c8bef5dp-67},
      {0x1.4p+1, 0x1.aab859b20ac9ep-12, 0x1.88f4ff748376bp-66},
      {0x1.1ffffffffffffp+2, 0x1.b05cfe2e99473p-33, -0x1.5d919fbed05e6p-88},
      {0x1.2p+2, 0x1.b05cfe2e99435p-33, -0x1.a071ed80552c6p-87},
      {0x1.7b851ep+2, 0x1.cec640bd454e1p-55, -0x1.12319bb1a55d7p-109},  // erf cut-off
      {0x1.a8p+4, 0x1.3df6725a60cf5p-1019, 0x0.0000000000001p-1022},    // 26.5, normal
      {-0x1p-1, 0x1.853f7ae0c76e9p+0, 0x1.5e809f1a31a28p-56},
      {-0x1.0000000000001p-1, 0x1.853f7ae0c76eap+0, -0x1.e6700defce965p-54},
      {-0x1.8p+0, 0x1.f752aab89bd7p+0, -0x1.385e445f2c96dp-55},
      {-0x1.2p+2, 0x1.ffffffff27d18p+0, 0x1.d166bcb681c7bp-57},
  };
  for (const auto& p : erf_points) {
    SCOPED_TRACE(p.x);
    EXPECT_LE(varnel_common::ulp_error(varnel_erf(p.x), p.hi, p.lo), 2.0);
  }
  for (const auto& p : erfc_points) {
    SCOPED_TRACE(p.x);
    EXPECT_LE(varnel_common::ulp_error(varnel_erfc(p.x), p.hi, p.lo), 4.0);
  }
}

// Between about 26.54 and 27.24 erfc is subnormal: ERANGE with the value
// itself, accurate to a few units of 2^-1074; from there on +0 without any
// report, even where the platform exp underflows and stores ERANGE itself.
TEST(Erfc, SubnormalBandAndUnderflowKeepErrno) {
  const struct {
    double x, hi;
  } band[] = {
      {0x1.a99999999999ap+4, 0x0.0c860a467b1a5p-1022},  // 26.6
      {0x1.bp+4, 0x0.0000000019e0fp-1022},              // 27
      {0x1.b333333333333p+4, 0x0.0000000000002p-1022},  // 27.2
  };
  for (const auto& b : band) {
    SCOPED_TRACE(b.x);
    errno = 0;
    const double r = varnel_erfc(b.x);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(std::fpclassify(r), FP_SUBNORMAL);
    EXPECT_LE(std::fabs(r - b.hi), 4 * 0x1p-1074);
  }
  // Zero results: errno is neither set nor cleared, whatever it held.
  for (double x : {27.3, 27.5, 27.9, below(28.0), 28.0, 100.0}) {
    for (int before : {0, EDOM, ERANGE}) {
      SCOPED_TRACE(x);
      errno = before;
      EXPECT_EQ(bits_of(varnel_erfc(x)), 0u);
      EXPECT_EQ(errno, before);
      errno = before;
      EXPECT_EQ(bits_of(static_cast<double>(varnel_erfcl(x))), 0u);
      EXPECT_EQ(errno, before);
    }
  }
  // A normal result leaves errno alone too.
  errno = EDOM;
  EXPECT_GT(varnel_erfc(26.5), 0x1p-1022);
  EXPECT_EQ(errno, EDOM);
}

TEST(Erf, NaNIsADomainError) {
  for (std::uint64_t pattern : {0x7FF8000000000000u, 0xFFF8000000000000u, 0x7FF0000000000001u, 0x7FFFFFFFFFFFFFFFu}) {
    const double x = from_bits(pattern);
    SCOPED_TRACE(pattern);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_erf(x)), 0x7FF8000000000000u);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_erfc(x)), 0x7FF8000000000000u);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_erff(static_cast<float>(x))), 0x7FC00000u);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_erfcf(static_cast<float>(x))), 0x7FC00000u);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_erfl(x))), 0x7FF8000000000000u);
    EXPECT_EQ(errno, EDOM);
  }
}

// The float members narrow the double result with the float limits.
// erfcf turns subnormal above about 9.1945 and rounds to zero above about
// 10.054 (the double results are mpmath's, see the comments).
TEST(ErfFloat, NarrowedWithFloatLimits) {
  const struct {
    float x;
    bool erfc;
    std::uint32_t expected;
    int err;
  } cases[] = {
      {1.0f, false, bits_of(0.84270078f), 0},
      {1.0f, true, bits_of(0.15729921f), 0},
      {-1.0f, true, bits_of(1.8427008f), 0},
      {0.0f, false, 0u, 0},
      {-0.0f, false, 0u, 0},
      {9.19f, true, bits_of(static_cast<float>(1.2786762247193743e-38)), 0},  // still normal
      {9.2f, true, bits_of(static_cast<float>(1.0627353110059631e-38)), ERANGE},
      {9.5f, true, bits_of(static_cast<float>(3.7692144856548797e-41)), ERANGE},
      {10.05f, true, 1u, ERANGE},  // 7.63e-46 rounds up to the smallest subnormal
      {10.06f, true, 0u, ERANGE},  // 6.23e-46 rounds to zero: underflow
      {10.5f, true, 0u, ERANGE},
      {27.0f, true, 0u, ERANGE},  // subnormal in double, zero in float
      {30.0f, true, 0u, 0},       // already exactly zero in double
      {-30.0f, true, bits_of(2.0f), 0},
      {std::numeric_limits<float>::infinity(), false, bits_of(1.0f), 0},
      {-std::numeric_limits<float>::infinity(), true, bits_of(2.0f), 0},
      // erf of a tiny float: the double result (1.128373e-40) is below the
      // smallest normal float.
      {0x1.16c2p-133f, false, bits_of(static_cast<float>(1.128373085257589e-40)), ERANGE},
      {0x1p-126f, false, bits_of(static_cast<float>(0x1p-126 * 1.1283791670955126)), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    SCOPED_TRACE(c.erfc ? "erfcf" : "erff");
    errno = 0;
    const float r = c.erfc ? varnel_erfcf(c.x) : varnel_erff(c.x);
    EXPECT_EQ(bits_of(r), c.expected);
    EXPECT_EQ(errno, c.err);
  }
}

// The long double members map to binary64 and return the double member's
// bits and errno.
TEST(ErfLongDouble, SameAsDouble) {
  for (double x : {0.0, -0.0, 1e-310, 1e-12, 0.3, 0.5, -0.5, 1.0, 3.0, -4.5, 9.0, 27.0, 27.5, inf, -inf}) {
    SCOPED_TRACE(x);
    errno = 0;
    const double d = varnel_erf(x);
    const int de = errno;
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_erfl(x))), bits_of(d));
    EXPECT_EQ(errno, de);
    errno = 0;
    const double dc = varnel_erfc(x);
    const int dce = errno;
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_erfcl(x))), bits_of(dc));
    EXPECT_EQ(errno, dce);
  }
  // An argument that is not a double is rounded to the nearest one first.
  EXPECT_EQ(static_cast<double>(varnel_erfl(0.5L + 0x1p-60L)), static_cast<double>(varnel_erfl(0.5L)));
}

// What each error site passes: a NaN is reported once, with the common
// string of the evaluation routine; the range reports come from
// narrow_result with the family's own string.
TEST(Erf, ReportsCarryTheirStrings) {
  using varnel_test::error_report;
  const double nan = from_bits(0x7FF8000000000000u);
  const struct {
    const char* what;
    double (*call)(double, const varnel_test::recording_policy&);
    double x;
    error_kind kind;
    const char* function;
    const char* message;
  } cases[] = {
      {"erf(NaN)", [](double x, const varnel_test::recording_policy& p) { return vm::erf(x, p); }, nan,
       error_kind::domain, "varnel::math::erf<%1%>(%1%)", "Expected a finite argument but got %1%"},
      {"erfc(NaN)", [](double x, const varnel_test::recording_policy& p) { return vm::erfc(x, p); }, nan,
       error_kind::domain, "varnel::math::erf<%1%>(%1%)", "Expected a finite argument but got %1%"},
      {"erf(1e-310)", [](double x, const varnel_test::recording_policy& p) { return vm::erf(x, p); }, 1e-310,
       error_kind::denorm, "varnel::math::erf<%1%>(%1%, %1%)", ""},
      {"erfc(27)", [](double x, const varnel_test::recording_policy& p) { return vm::erfc(x, p); }, 27.0,
       error_kind::denorm, "varnel::math::erfc<%1%>(%1%, %1%)", ""},
      {"erff(-1e-40)",
       [](double x, const varnel_test::recording_policy& p) {
         return static_cast<double>(vm::erf(static_cast<float>(x), p));
       },
       -1e-40, error_kind::denorm, "varnel::math::erf<%1%>(%1%, %1%)", ""},
      {"erfcf(9.5)",
       [](double x, const varnel_test::recording_policy& p) {
         return static_cast<double>(vm::erfc(static_cast<float>(x), p));
       },
       9.5, error_kind::denorm, "varnel::math::erfc<%1%>(%1%, %1%)", ""},
      {"erfcf(10.5)",
       [](double x, const varnel_test::recording_policy& p) {
         return static_cast<double>(vm::erfc(static_cast<float>(x), p));
       },
       10.5, error_kind::underflow, "varnel::math::erfc<%1%>(%1%, %1%)", "Underflow Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<error_report> log;
    errno = 0;
    (void)c.call(c.x, varnel_test::recording_policy{&log});
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].kind, c.kind);
    EXPECT_EQ(log[0].function, c.function);
    EXPECT_EQ(log[0].message, c.message);
  }
  // Nothing is reported for the infinities, the cut-offs or a zero tail.
  std::vector<error_report> log;
  const varnel_test::recording_policy pol{&log};
  for (double x : {inf, -inf, 6.0, 27.5, 28.0, 0.0, -0.0}) {
    (void)vm::erf(x, pol);
    (void)vm::erfc(x, pol);
    (void)vm::erfc(static_cast<float>(x > 27 ? 30.0 : x), pol);
  }
  EXPECT_TRUE(log.empty());
}

}  // namespace
