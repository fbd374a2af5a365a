// acosh, asinh and atanh in all three precisions: every branch and its
// neighbours, signed zeros, the odd symmetry of asinh, subnormal and
// infinite results with ERANGE, the domain messages and the poles of atanh
// (only +-1) (accuracy over the reference tables:
// tests/conformance/accuracy_test.cpp).
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/acosh.hpp>
#include <varnel/math/special_functions/asinh.hpp>
#include <varnel/math/special_functions/atanh.hpp>

#include "reference_data.hpp"
#include "support/bits.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

namespace vm = varnel::math;
using varnel::math::policies::error_kind;
using varnel_test::bits_of;
using varnel_test::error_report;
using varnel_test::from_bits;
using varnel_test::recording_policy;
using namespace varnel_test::values;

enum class fn { acosh, asinh, atanh };

double call(fn f, double x) {
  switch (f) {
    case fn::acosh:
      return varnel_acosh(x);
    case fn::asinh:
      return varnel_asinh(x);
    case fn::atanh:
      return varnel_atanh(x);
  }
  return 0;
}
double call_l(fn f, double x) {
  switch (f) {
    case fn::acosh:
      return static_cast<double>(varnel_acoshl(x));
    case fn::asinh:
      return static_cast<double>(varnel_asinhl(x));
    case fn::atanh:
      return static_cast<double>(varnel_atanhl(x));
  }
  return 0;
}
float call_f(fn f, float x) {
  switch (f) {
    case fn::acosh:
      return varnel_acoshf(x);
    case fn::asinh:
      return varnel_asinhf(x);
    case fn::atanh:
      return varnel_atanhf(x);
  }
  return 0;
}
const char* name(fn f) {
  switch (f) {
    case fn::acosh:
      return "acosh";
    case fn::asinh:
      return "asinh";
    case fn::atanh:
      return "atanh";
  }
  return "";
}

// Exact results (shortest decimals) and errno, one row per branch or
// special point.
TEST(InverseHyperbolic, ExactValuesAndErrno) {
  const struct {
    fn f;
    double x;
    double expected;
    int err;
  } cases[] = {
      {fn::acosh, 1.0, 0.0, 0},                            // series, y = 0
      {fn::acosh, 1 + 0x1p-30, 4.315837287180596e-05, 0},  // series
      {fn::acosh, 1.25, 0.6931471805599453, 0},            // log1p form
      {fn::acosh, 2.0, 1.3169578969248166, 0},             // log form
      {fn::acosh, 0x1p26, 18.714973875118524, 0},          // still the log form
      {fn::acosh, 0x1p27, 19.408121055678468, 0},          // log(x) + ln 2
      {fn::acosh, inf, inf, ERANGE},
      {fn::acosh, below(1.0), qnan, EDOM},
      {fn::acosh, 0.0, qnan, EDOM},
      {fn::acosh, -0.0, qnan, EDOM},
      {fn::acosh, -1.0, qnan, EDOM},
      {fn::acosh, -inf, qnan, EDOM},
      {fn::acosh, qnan, qnan, EDOM},
      {fn::asinh, 0.0, 0.0, 0},
      {fn::asinh, -0.0, -0.0, 0},
      {fn::asinh, 1e-10, 1e-10, 0},                    // below 2^-26: x itself
      {fn::asinh, 1e-5, 9.999999999833334e-06, 0},     // series
      {fn::asinh, 0x1p-13, 0.0001220703121968351, 0},  // log1p form at its lower end
      {fn::asinh, 0.5, 0.48121182505960347, 0},        // log form
      {fn::asinh, -1.0, -0.8813735870195429, 0},
      {fn::asinh, 1e-310, 1e-310, ERANGE},
      {fn::asinh, -0x1p-1074, -0x1p-1074, ERANGE},
      {fn::asinh, inf, inf, ERANGE},
      {fn::asinh, -inf, -inf, ERANGE},
      {fn::asinh, qnan, qnan, EDOM},
      {fn::atanh, 0.0, 0.0, 0},
      {fn::atanh, -0.0, -0.0, 0},
      {fn::atanh, 1e-5, 1.0000000000333334e-05, 0},  // series
      {fn::atanh, 0.25, 0.25541281188299536, 0},     // log1p form
      {fn::atanh, 0.5, 0.5493061443340549, 0},       // log form: 0.5 is not below 0.5
      {fn::atanh, 0.9999999999999998, 18.36840028483855, 0},
      // 1 - 2^-53 is no pole: 0.5*log((2 - 2^-53)/2^-53) = 18.7149738751185...
      {fn::atanh, 0x1.fffffffffffffp-1, 18.714973875118524, 0},
      {fn::atanh, -0x1.fffffffffffffp-1, -18.714973875118524, 0},
      {fn::atanh, 1.0, inf, ERANGE},
      {fn::atanh, -1.0, -inf, ERANGE},
      {fn::atanh, 1e-310, 1e-310, ERANGE},
      {fn::atanh, -1e-310, -1e-310, ERANGE},
      {fn::atanh, above(1.0), qnan, EDOM},
      {fn::atanh, below(-1.0), qnan, EDOM},
      {fn::atanh, inf, qnan, EDOM},
      {fn::atanh, -inf, qnan, EDOM},
      {fn::atanh, qnan, qnan, EDOM},
      {fn::atanh, from_bits(0xFFF0000000000001u), qnan, EDOM},  // negative signalling NaN
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(name(c.f));
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(call(c.f, c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
    // The long double member: the same bits and errno.
    errno = 0;
    EXPECT_EQ(bits_of(call_l(c.f, c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
  }
}

// High-precision values (mpmath, 400 bits, as hi + lo) on both sides of
// every threshold: 1 + 2^-26, 1.5 and 2^26 for acosh; 2^-26, 2^-13, 0.5
// and 2^26 for asinh; 2^-26, 2^-13, 0.5 and next to the poles for atanh.
TEST(InverseHyperbolic, ThresholdNeighboursAreAccurate) {
  const struct {
    fn f;
    double x, hi, lo;
  } points[] = {
      {fn::acosh, 0x1.0000003ffffffp+0, 0x1.6a09e63327a08p-13, 0x1.3dc6566143b1ap-67},
      {fn::acosh, 0x1.0000004p+0, 0x1.6a09e66068dd5p-13, 0x1.f590f371cab76p-69},
      {fn::acosh, 0x1.7ffffffffffffp+0, 0x1.ecc2caec51608p-1, -0x1.a9a2c1dda238cp-56},
      {fn::acosh, 0x1.8p+0, 0x1.ecc2caec5160ap-1, -0x1.ad07ef7ed5a5dp-55},
      {fn::acosh, 0x1p+26, 0x1.2b708872320e2p+4, -0x1.770da7e077bcbp-51},
      {fn::acosh, 0x1.0000000000001p+26, 0x1.2b708872320e2p+4, -0x1.ee1b4fc0ef795p-52},
      {fn::acosh, 0x1p+27, 0x1.3687a9f1af2b1p+4, 0x1.3728539e9281cp-50},
      {fn::acosh, 0x1.fffffffffffffp+1023, 0x1.633ce8fb9f87ep+9, -0x1.3be594e9bd8bp-45},
      {fn::asinh, 0x1.fffffffffffffp-27, 0x1.fffffffffffffp-27, -0x1.5555555555553p-81},
      {fn::asinh, 0x1p-26, 0x1p-26, -0x1.5555555555555p-81},
      {fn::asinh, 0x1.fffffffffffffp-14, 0x1.ffffffeaaaaaap-14, -0x1.777776a52e531p-69},
      {fn::asinh, 0x1p-13, 0x1.ffffffeaaaaabp-14, -0x1.777777a52e52ep-69},
      {fn::asinh, 0x1.fffffffffffffp-2, 0x1.ecc2caec51609p-2, -0x1.40eca836d360fp-56},
      {fn::asinh, 0x1p-1, 0x1.ecc2caec5160ap-2, -0x1.ad07ef7ed5a5dp-56},
      {fn::asinh, 0x1p+26, 0x1.2b708872320e2p+4, -0x1.370da7e077bcbp-51},
      {fn::asinh, 0x1.0000000000001p+26, 0x1.2b708872320e2p+4, -0x1.6e1b4fc0ef796p-52},
      {fn::asinh, 0x1.fffffffffffffp+1023, 0x1.633ce8fb9f87ep+9, -0x1.3be594e9bd8bp-45},
      {fn::atanh, 0x1.fffffffffffffp-27, 0x1p-26, -0x1.5555555555558p-81},
      {fn::atanh, 0x1p-26, 0x1p-26, 0x1.5555555555556p-80},
      {fn::atanh, 0x1.fffffffffffffp-14, 0x1.0000001555555p-13, 0x1.11110e35a3597p-70},
      {fn::atanh, 0x1p-13, 0x1.0000001555556p-13, -0x1.ddddddb94b94bp-67},
      {fn::atanh, 0x1.fffffffffffffp-2, 0x1.193ea7aad030ap-1, -0x1.3406911d55a55p-57},
      {fn::atanh, 0x1p-1, 0x1.193ea7aad030bp-1, -0x1.a256f99caabebp-55},
      {fn::atanh, 0x1.ffffffffffffep-1, 0x1.25e4f7b2737fap+4, 0x1.4486612173c69p-52},
      {fn::atanh, 0x1.fffffffffffffp-1, 0x1.2b708872320e2p+4, -0x1.670da7e077bcbp-51},
      {fn::atanh, -0x1.fffffffffffffp-1, -0x1.2b708872320e2p+4, 0x1.670da7e077bcbp-51},
  };
  for (const auto& p : points) {
    SCOPED_TRACE(name(p.f));
    SCOPED_TRACE(p.x);
    errno = 0;
    EXPECT_LE(varnel_common::ulp_error(call(p.f, p.x), p.hi, p.lo), 2.0);
    EXPECT_EQ(errno, 0);
  }
}

// Below 2^-26 asinh and atanh return their argument itself, every subnormal
// included (with ERANGE); from 2^-26 on the cubic term is applied.
TEST(InverseHyperbolic, TinyArgumentsComeBackUnchanged) {
  for (double x : {0x1p-1074, 0x1p-1023, 0x1p-1022, 1e-300, 1e-20, below(0x1p-26)}) {
    for (double s : {x, -x}) {
      SCOPED_TRACE(s);
      const int expected_errno = std::fabs(s) < 0x1p-1022 ? ERANGE : 0;
      errno = 0;
      EXPECT_EQ(bits_of(varnel_asinh(s)), bits_of(s));
      EXPECT_EQ(errno, expected_errno);
      errno = 0;
      EXPECT_EQ(bits_of(varnel_atanh(s)), bits_of(s));
      EXPECT_EQ(errno, expected_errno);
    }
  }
  // Just below 2^-13 the cubic term shows: asinh below x, atanh above.
  const double x = below(0x1p-13);
  EXPECT_LT(varnel_asinh(x), x);
  EXPECT_GT(varnel_atanh(x), x);
}

// asinh(-x) re-enters the family entry with x: the result is the exact
// negation, in every range, infinities included.
TEST(Asinh, OddBitForBit) {
  std::vector<double> xs = {0x1p-26, 0x1p-14, below(0x1p-13), 0x1p-13,       0.1,   below(0.5), 0.5,
                            1.0,     3.0,     0x1p26,         above(0x1p26), 1e300, DBL_MAX,    inf};
  for (double x = 0x1p-30; x < 1e30; x *= 3.3) xs.push_back(x);
  for (double x : xs) {
    SCOPED_TRACE(x);
    errno = 0;
    const double pos = varnel_asinh(x);
    const int pos_errno = errno;
    errno = 0;
    EXPECT_EQ(bits_of(varnel_asinh(-x)), bits_of(-pos));
    EXPECT_EQ(errno, pos_errno);
    if (x <= FLT_MAX || x == inf) {
      EXPECT_EQ(bits_of(varnel_asinhf(static_cast<float>(-x))), bits_of(-varnel_asinhf(static_cast<float>(x))));
    }
  }
}

// The float members widen, run the double routine with the double
// thresholds, and narrow with the float limits.
TEST(InverseHyperbolicFloat, NarrowedWithFloatLimits) {
  const struct {
    fn f;
    float x;
    float expected;
    int err;
  } cases[] = {
      {fn::asinh, 1e-8f, 1e-8f, 0},          // below 2^-26: unchanged
      {fn::asinh, 0x1p-126f, 0x1p-126f, 0},  // smallest normal float
      {fn::asinh, 1e-40f, 1e-40f, ERANGE},   // float subnormal
      {fn::asinh, -0x1p-149f, -0x1p-149f, ERANGE},
      {fn::atanh, 0x1p-149f, 0x1p-149f, ERANGE},
      {fn::asinh, -0.0f, -0.0f, 0},
      {fn::atanh, -0.0f, -0.0f, 0},
      {fn::asinh, finf, finf, ERANGE},
      {fn::asinh, -finf, -finf, ERANGE},
      {fn::acosh, finf, finf, ERANGE},
      {fn::acosh, 1.0f, 0.0f, 0},
      {fn::atanh, 1.0f, finf, ERANGE},
      {fn::atanh, -1.0f, -finf, ERANGE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(name(c.f));
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(bits_of(call_f(c.f, c.x)), bits_of(c.expected));
    EXPECT_EQ(errno, c.err);
  }
  for (const auto& d : {std::pair{fn::acosh, 0.5f}, std::pair{fn::acosh, -finf}, std::pair{fn::atanh, 0x1.000002p+0f},
                        std::pair{fn::atanh, -finf}, std::pair{fn::asinh, std::numeric_limits<float>::quiet_NaN()}}) {
    SCOPED_TRACE(name(d.first));
    errno = 0;
    EXPECT_EQ(bits_of(call_f(d.first, d.second)), 0x7FC00000u);
    EXPECT_EQ(errno, EDOM);
  }
  // The largest float below 1 is far from 1 - 2^-52: a finite 8.66.
  // mpmath: atanh(1 - 2^-24) = 8.664339742098155..., acosh(FLT_MAX) =
  // asinh(FLT_MAX) = 89.4159862326283...
  errno = 0;
  EXPECT_LE(varnel_common::ulp_error_float(varnel_atanhf(0x1.fffffep-1f), 0x1.1542456b37d43p+3, -0x1.f1ca467106926p-52),
            0.501);
  EXPECT_LE(varnel_common::ulp_error_float(varnel_acoshf(FLT_MAX), 0x1.65a9f84b82e63p+6, -0x1.837a24beaddccp-51),
            0.501);
  EXPECT_LE(varnel_common::ulp_error_float(varnel_asinhf(FLT_MAX), 0x1.65a9f84b82e63p+6, -0x1.837a24beaddccp-51),
            0.501);
  EXPECT_EQ(errno, 0);
}

// What every error site passes.  The poles and the infinite results are
// reported twice (the routine and narrow_result, or two passes of asinh's
// family entry), always with the same errno.
TEST(InverseHyperbolic, ReportsCarryTheirStrings) {
  struct expected_report {
    error_kind kind;
    const char* message;
  };
  const char* acosh_s = "varnel::math::acosh<%1%>(%1%)";
  const char* asinh_s = "varnel::math::asinh<%1%>(%1%)";
  const char* atanh_s = "varnel::math::atanh<%1%>(%1%)";
  const char* acosh_dom = "acosh requires x >= 1, but got x = %1%.";
  const char* atanh_low = "atanh requires x >= -1, but got x = %1%.";
  const char* atanh_high = "atanh requires x <= 1, but got x = %1%.";
  const char* atanh_nan = "atanh requires -1 <= x <= 1, but got x = %1%.";
  const struct {
    fn f;
    double x;
    const char* function;
    std::vector<expected_report> reports;
  } cases[] = {
      {fn::acosh, 0.5, acosh_s, {{error_kind::domain, acosh_dom}}},
      {fn::acosh, -inf, acosh_s, {{error_kind::domain, acosh_dom}}},
      {fn::acosh, qnan, acosh_s, {{error_kind::domain, acosh_dom}}},
      {fn::acosh, inf, acosh_s, {{error_kind::overflow, "Overflow Error"}}},
      {fn::acosh, 1.25, acosh_s, {}},  // the internal log1p reports nothing
      {fn::asinh, qnan, asinh_s, {{error_kind::domain, "asinh requires a finite argument, but got x = %1%."}}},
      {fn::asinh, inf, asinh_s, {{error_kind::overflow, "Overflow Error"}}},
      {fn::asinh, -inf, asinh_s, {{error_kind::overflow, "Overflow Error"}, {error_kind::overflow, "Overflow Error"}}},
      {fn::asinh, 1e-310, asinh_s, {{error_kind::denorm, ""}}},
      {fn::asinh, -0.25, asinh_s, {}},
      {fn::atanh, below(-1.0), atanh_s, {{error_kind::domain, atanh_low}}},
      {fn::atanh, -inf, atanh_s, {{error_kind::domain, atanh_low}}},
      {fn::atanh, above(1.0), atanh_s, {{error_kind::domain, atanh_high}}},
      {fn::atanh, inf, atanh_s, {{error_kind::domain, atanh_high}}},
      {fn::atanh, qnan, atanh_s, {{error_kind::domain, atanh_nan}}},
      {fn::atanh, 1.0, atanh_s, {{error_kind::overflow, "Overflow Error"}, {error_kind::overflow, "Overflow Error"}}},
      {fn::atanh, -1.0, atanh_s, {{error_kind::overflow, "Overflow Error"}, {error_kind::overflow, "Overflow Error"}}},
      {fn::atanh, 0x1.fffffffffffffp-1, atanh_s, {}},
      {fn::atanh, -0x1.fffffffffffffp-1, atanh_s, {}},
      {fn::atanh, -0.25, atanh_s, {}},
      {fn::atanh, 1e-310, atanh_s, {{error_kind::denorm, ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(name(c.f));
    SCOPED_TRACE(c.x);
    std::vector<error_report> log;
    const recording_policy pol{&log};
    switch (c.f) {
      case fn::acosh:
        (void)vm::acosh(c.x, pol);
        break;
      case fn::asinh:
        (void)vm::asinh(c.x, pol);
        break;
      case fn::atanh:
        (void)vm::atanh(c.x, pol);
        break;
    }
    ASSERT_EQ(log.size(), c.reports.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
      EXPECT_EQ(log[i].kind, c.reports[i].kind);
      EXPECT_EQ(log[i].function, c.function);
      EXPECT_EQ(log[i].message, c.reports[i].message);
    }
  }
  // A float subnormal result is reported by the float narrowing.
  std::vector<error_report> log;
  (void)vm::asinh(1e-40f, recording_policy{&log});
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].kind, error_kind::denorm);
  EXPECT_EQ(log[0].function, asinh_s);
}

}  // namespace
