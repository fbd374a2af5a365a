// Limits, constants and the evaluation order of coefficient tables.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include <varnel/math/constants.hpp>
#include <varnel/math/tools/limits.hpp>
#include <varnel/math/tools/split_horner.hpp>

#include "support/bits.hpp"

namespace {

namespace tools = varnel::math::tools;
namespace constants = varnel::math::constants;
using varnel_test::bits_of;

TEST(Limits, Binary64Patterns) {
  EXPECT_EQ(bits_of(tools::max_value<double>()), 0x7FEFFFFFFFFFFFFFu);
  EXPECT_EQ(bits_of(tools::smallest_normal<double>()), 0x0010000000000000u);
  EXPECT_EQ(bits_of(tools::smallest_positive<double>()), 0x0000000000000001u);
  EXPECT_EQ(bits_of(tools::machine_epsilon<double>()), 0x3CB0000000000000u);
  EXPECT_EQ(bits_of(tools::largest_exp_argument<double>()), 0x4086280000000000u);
  EXPECT_EQ(tools::significand_digits<double>(), std::numeric_limits<double>::digits);
  EXPECT_EQ(bits_of(tools::quiet_nan<double>()), 0x7FF8000000000000u);
  EXPECT_EQ(bits_of(tools::infinity<double>()), 0x7FF0000000000000u);
}

TEST(Limits, Binary32Patterns) {
  EXPECT_EQ(bits_of(tools::max_value<float>()), 0x7F7FFFFFu);
  EXPECT_EQ(bits_of(tools::smallest_normal<float>()), 0x00800000u);
  EXPECT_EQ(bits_of(tools::smallest_positive<float>()), 0x00000001u);
  EXPECT_EQ(bits_of(tools::machine_epsilon<float>()), 0x34000000u);
  EXPECT_EQ(tools::significand_digits<float>(), std::numeric_limits<float>::digits);
  EXPECT_EQ(bits_of(tools::quiet_nan<float>()), 0x7FC00000u);
}

TEST(Limits, Identities) {
  const double eps = tools::machine_epsilon<double>();
  EXPECT_EQ(1.0 + eps, std::nextafter(1.0, 2.0));
  EXPECT_EQ(tools::root_epsilon<double>() * tools::root_epsilon<double>(), eps);
  EXPECT_EQ(tools::fourth_root_epsilon<double>() * tools::fourth_root_epsilon<double>(), tools::root_epsilon<double>());
  EXPECT_TRUE(std::isfinite(std::exp(tools::largest_exp_argument<double>())));
  EXPECT_NEAR(std::exp(tools::largest_exp_argument<double>()), 8.218407461554972e307, 1e293);
  EXPECT_TRUE(std::isinf(std::exp(tools::largest_exp_argument<double>() + 1)));
  EXPECT_EQ(std::nextafter(tools::max_value<double>(), HUGE_VAL), HUGE_VAL);
  EXPECT_EQ(std::nextafter(0.0, 1.0), tools::smallest_positive<double>());
  EXPECT_EQ(std::nextafter(0.0f, 1.0f), tools::smallest_positive<float>());
}

TEST(Constants, NearestBinary64) {
  EXPECT_EQ(bits_of(constants::ln2<double>()), 0x3FE62E42FEFA39EFu);
  EXPECT_EQ(bits_of(constants::pi<double>()), 0x400921FB54442D18u);
  EXPECT_EQ(bits_of(constants::euler_mascheroni<double>()), 0x3FE2788CFC6FB619u);
  EXPECT_EQ(bits_of(constants::one_half<double>()), 0x3FE0000000000000u);
  EXPECT_EQ(constants::ln2<double>(), std::log(2.0));
  EXPECT_EQ(constants::pi<double>(), std::acos(-1.0));
}

TEST(SplitHorner, ExactExamples) {
  const double odd[] = {1, 2, 3, 4, 5};
  const double even[] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(tools::split_horner(odd, 2.0), 129.0);   // E = 93, O = 36
  EXPECT_EQ(tools::split_horner(even, 2.0), 321.0);  // O = 228, E' = 92
  EXPECT_EQ(tools::split_horner(odd, 0.0), 1.0);
  EXPECT_EQ(tools::split_horner(even, 0.0), 1.0);
  EXPECT_TRUE(std::isnan(tools::split_horner(odd, std::nan(""))));
  EXPECT_TRUE(std::isnan(tools::split_horner(even, std::nan(""))));
}

// The split order, not plain Horner, decides the last bits.  These tables
// and points make the two orders differ, so a Horner implementation fails.
TEST(SplitHorner, FollowsTheSplitOrderNotHorner) {
  const double c7[] = {0.1, 0.7, -1.3, 2.9, 0.3, -0.11, 0.013};
  const double c8[] = {0.1, 0.7, -1.3, 2.9, 0.3, -0.11, 0.013, 1e-3};
  const double c13[] = {56906521.91347156,   103794043.1163445, 86363131.28813859, 43338889.32467614,
                        14605578.08768506,   3481712.15498064,  601859.6171681099, 75999.29304014542,
                        6955.999602515376,   449.9445569063168, 19.51992788247617, 0.5098416655656676,
                        0.006061842346248907};
  int differs = 0;
  for (double z = -3.0; z <= 3.0; z += 0.0625) {
    const double w = z * z;
    const double e7 = ((c7[6] * w + c7[4]) * w + c7[2]) * w + c7[0];
    const double o7 = ((c7[5] * w + c7[3]) * w + c7[1]) * z;
    EXPECT_EQ(bits_of(tools::split_horner(c7, z)), bits_of(e7 + o7));
    const double o8 = (((c8[7] * w + c8[5]) * w + c8[3]) * w + c8[1]) * z;
    const double e8 = ((c8[6] * w + c8[4]) * w + c8[2]) * w;
    EXPECT_EQ(bits_of(tools::split_horner(c8, z)), bits_of((o8 + e8) + c8[0]));
    double e13 = c13[12], o13 = c13[11];
    for (int k = 10; k >= 0; k -= 2) e13 = e13 * w + c13[k];
    for (int k = 9; k >= 1; k -= 2) o13 = o13 * w + c13[k];
    EXPECT_EQ(bits_of(tools::split_horner(c13, z)), bits_of(e13 + o13 * z));
    double horner = c13[12];
    for (int k = 11; k >= 0; --k) horner = horner * z + c13[k];
    differs += bits_of(horner) != bits_of(e13 + o13 * z);
  }
  EXPECT_GT(differs, 0);  // the order is observable
}

}  // namespace
