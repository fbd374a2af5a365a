// The Lanczos approximation: the tables hold exactly the intended numbers,
// the ratios give the exact results of their operation sequence, and the
// switch to the 1/z form sits where the direct form would start to
// overflow.
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include <varnel/math/special_functions/detail/lanczos.hpp>
#include <varnel/math/tools/split_horner.hpp>

#include "support/bits.hpp"
#include "support/values.hpp"

namespace {

namespace d = varnel::math::detail;
using varnel_test::bits_of;
using namespace varnel_test::values;

// Shortest decimals of the intended coefficients; each must convert to the
// very number the hex literal of the table spells.
const double num_decimal[13] = {23531376880.41076,  42919803642.6491,   35711959237.35567,  17921034426.03721,
                                6039542586.352028,  1439720407.3117216, 248874557.86205417, 31426415.585400194,
                                2876370.6289353725, 186056.26539522348, 8071.672002365816,  210.82427775157936,
                                2.5066282746310002};
const double num_scaled_decimal[13] = {56906521.913471565,  103794043.11634454, 86363131.2881386,   43338889.32467614,
                                       14605578.087685067,  3481712.154980646,  601859.6171681099,  75999.29304014542,
                                       6955.999602515376,   449.9445569063168,  19.519927882476175, 0.5098416655656676,
                                       0.006061842346248907};

TEST(Lanczos, NumeratorTablesHoldTheDecimals) {
  for (int k = 0; k < 13; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(bits_of(d::lanczos_num[k]), bits_of(num_decimal[k]));
    EXPECT_EQ(bits_of(d::lanczos_num_scaled[k]), bits_of(num_scaled_decimal[k]));
  }
}

TEST(Lanczos, ScaledNumeratorIsTheNumeratorTimesEToMinusG) {
  // Each scaled entry is one rounding of num[k] * e^-g: within a few ulps of
  // the product computed here.
  const double e_minus_g = std::exp(-d::lanczos_g());
  for (int k = 0; k < 13; ++k) {
    const double p = d::lanczos_num[k] * e_minus_g;
    EXPECT_NEAR(d::lanczos_num_scaled[k], p, 4 * std::abs(p) * 0x1p-52) << k;
  }
}

TEST(Lanczos, DenominatorIsTheRisingProduct) {
  // Coefficients of z (z + 1) ... (z + 11), by exact integer arithmetic.
  std::int64_t c[13] = {1};
  for (int a = 0; a <= 11; ++a) {
    for (int k = 12; k >= 1; --k) c[k] = c[k] * a + c[k - 1];
    c[0] *= a;
  }
  for (int k = 0; k < 13; ++k) EXPECT_EQ(d::lanczos_den[k], static_cast<double>(c[k])) << k;
  EXPECT_EQ(d::lanczos_den[0], 0.0);
  EXPECT_EQ(d::lanczos_den[12], 1.0);
}

TEST(Lanczos, ParameterAndThresholds) {
  EXPECT_EQ(d::lanczos_g(), 808618867.0 * 0x1p-27);
  EXPECT_EQ(d::lanczos_g(), 6.02468004077673);
  EXPECT_EQ(d::lanczos_ratio_threshold, 4.31965e25);
  EXPECT_EQ(d::lanczos_ratio_threshold, 43196500000000002469396480.0);
  EXPECT_EQ(d::lanczos_ratio_scaled_threshold, 4.76886e25);
  EXPECT_EQ(d::lanczos_ratio_scaled_threshold, 47688600000000003500146688.0);
}

struct ratio_case {
  double z;
  double expected;
};

// Exact results of the direct-form operation sequence.
const ratio_case ratio_cases[] = {
    {1.0, 266.9026760358654},   {2.0, 89.78317576094011},         {0.5, 732.9261772879396},
    {10.0, 9.712491561287365},  {4.31965e25, 2.5066282746310002},  // the threshold itself: direct form
    {1e30, 2.5066282746310002},                                    // 1/z form
    {inf, 2.5066282746310002},                                     // y = 0: the leading entries over 1
};
const ratio_case scaled_cases[] = {
    {1.0, 0.6454574698195071},
    {0.5, 1.772453850905516},
    {100.0, 0.007220665469819224},
    {inf, 0.006061842346248907},
};

TEST(Lanczos, RatioValues) {
  for (const auto& c : ratio_cases) {
    EXPECT_EQ(bits_of(d::lanczos_ratio(c.z)), bits_of(c.expected)) << c.z;
  }
  for (const auto& c : scaled_cases) {
    EXPECT_EQ(bits_of(d::lanczos_ratio_scaled(c.z)), bits_of(c.expected)) << c.z;
  }
}

TEST(Lanczos, SwitchOverKeepsEveryIntermediateFinite) {
  const double t = d::lanczos_ratio_threshold;
  const double ts = d::lanczos_ratio_scaled_threshold;
  // Just above each threshold the 1/z form runs and gives the limit.
  EXPECT_EQ(d::lanczos_ratio(std::nextafter(t, inf)), 2.5066282746310002);
  EXPECT_EQ(d::lanczos_ratio_scaled(std::nextafter(ts, inf)), 0.006061842346248907);
  EXPECT_NEAR(d::lanczos_ratio_scaled(ts), 0.006061842346248907, 4 * 0x1p-60);  // direct form
  // At the thresholds the direct polynomials are finite; a few per cent
  // above them N (plain) or D (scaled) overflows, which the switch avoids.
  EXPECT_TRUE(std::isfinite(varnel::math::tools::split_horner(d::lanczos_num, t)));
  EXPECT_TRUE(std::isfinite(varnel::math::tools::split_horner(d::lanczos_den, ts)));
  EXPECT_TRUE(std::isinf(varnel::math::tools::split_horner(d::lanczos_num, 1.1 * t)));
  EXPECT_TRUE(std::isinf(varnel::math::tools::split_horner(d::lanczos_den, 1.1 * ts)));
  EXPECT_EQ(d::lanczos_ratio(1.1 * t), 2.5066282746310002);
  EXPECT_EQ(d::lanczos_ratio_scaled(1.1 * ts), 0.006061842346248907);
}

TEST(Lanczos, NaNTakesTheDirectFormAndStaysNaN) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isnan(d::lanczos_ratio(nan)));
  EXPECT_TRUE(std::isnan(d::lanczos_ratio_scaled(nan)));
}

}  // namespace
