// nextafter and nexttoward in the three precisions: the edges of the
// formats, errno on every path, the neighbours of random and binade-edge
// values checked against the bit patterns, and what each error site hands
// to its action.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/nextafter.hpp>

#include "support/bits.hpp"
#include "support/platform.hpp"
#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

using varnel::math::policies::errno_policy;
using varnel::math::policies::error_kind;
using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::from_bits32;
using namespace varnel_test::values;

struct step_case {
  double x, y, expected;
  int error;  // errno after the call (0: untouched)
};

// Every neighbour below is the value adjacent to x in the IEEE format,
// written out as its hex literal.
const step_case double_cases[] = {
    // Powers of two: the spacing halves on the side towards zero.
    {1.0, 2.0, 0x1.0000000000001p+0, 0},
    {1.0, 0.0, 0x1.fffffffffffffp-1, 0},
    {-1.0, 0.0, -0x1.fffffffffffffp-1, 0},
    {-1.0, -2.0, -0x1.0000000000001p+0, 0},
    {0x1p+1000, inf, 0x1.0000000000001p+1000, 0},
    {0x1p+1000, -inf, 0x1.fffffffffffffp+999, 0},
    // Zeros step to the smallest subnormal; equal arguments return x.
    {0.0, 1.0, 0x1p-1074, 0},
    {-0.0, 1.0, 0x1p-1074, 0},
    {0.0, -1.0, -0x1p-1074, 0},
    {0.0, -0.0, 0.0, 0},
    {-0.0, 0.0, -0.0, 0},
    {1.5, 1.5, 1.5, 0},
    // Towards zero from the smallest subnormals: +0 from both sides.
    {-0x1p-1074, 0.0, 0.0, 0},
    {0x1p-1074, 0.0, 0.0, 0},
    {0x1p-1074, 1.0, 0x1p-1073, 0},
    {-0x1p-1074, -1.0, -0x1p-1073, 0},
    // The subnormal/normal boundary, both ways and both signs.
    {0x0.fffffffffffffp-1022, 1.0, 0x1p-1022, 0},
    {-0x0.fffffffffffffp-1022, -1.0, -0x1p-1022, 0},
    {0x1p-1022, 0.0, 0x0.fffffffffffffp-1022, 0},
    {-0x1p-1022, 0.0, -0x0.fffffffffffffp-1022, 0},
    {0x1p-1022, 1.0, 0x1.0000000000001p-1022, 0},
    // Rescaled (below 2^-968), the threshold itself and its neighbours.
    {1e-300, 1.0, 1.0000000000000002e-300, 0},
    {1e-300, 0.0, 9.999999999999999e-301, 0},
    {-1e-300, 0.0, -9.999999999999999e-301, 0},
    {0x1p-968, 0.0, 0x1.fffffffffffffp-969, 0},
    {0x1p-968, 1.0, 0x1.0000000000001p-968, 0},
    {0x1.fffffffffffffp-969, 1.0, 0x1p-968, 0},
    {-0x1p-968, 0.0, -0x1.fffffffffffffp-969, 0},
    {0x1.0000000000001p-1022, 0.0, 0x1p-1022, 0},
    // Stepping out of the finite range: ERANGE and infinity.
    {dmax, inf, inf, ERANGE},
    {-dmax, -inf, -inf, ERANGE},
    {dmax, 0.0, 0x1.ffffffffffffep+1023, 0},
    {-dmax, 0.0, -0x1.ffffffffffffep+1023, 0},
    // Stepping in from the infinities is not an error.
    {inf, 0.0, dmax, 0},
    {-inf, 0.0, -dmax, 0},
    {inf, inf, inf, 0},
    {-inf, -inf, -inf, 0},
    {-inf, inf, -dmax, 0},
};

template <class Fn> void expect_case(const step_case& c, Fn fn) {
  errno = 0;
  const double r = fn(c.x, c.y);
  EXPECT_EQ(bits_of(r), bits_of(c.expected));
  EXPECT_EQ(errno, c.error);
}

TEST(Nextafter, EdgesOfBinary64) {
  for (const auto& c : double_cases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.x << " towards " << c.y);
    expect_case(c, [](double x, double y) { return varnel_nextafter(x, y); });
    // nexttoward with a y that is a double, and both long double members,
    // give the same bits and errno.
    expect_case(c, [](double x, double y) { return varnel_nexttoward(x, y); });
    expect_case(c, [](double x, double y) { return static_cast<double>(varnel_nextafterl(x, y)); });
    expect_case(c, [](double x, double y) { return static_cast<double>(varnel_nexttowardl(x, y)); });
  }
}

TEST(Nextafter, ANaNOnEitherSideIsADomainError) {
  const double payload_nan = from_bits(0x7FF0000000000001u);  // signalling, with payload
  const double pairs[][2] = {{qnan, 1.0}, {1.0, qnan},   {qnan, qnan}, {payload_nan, 0.0},
                             {inf, qnan}, {-0.0, -qnan}, {dmax, qnan}, {0x1p-1074, qnan}};
  for (const auto& p : pairs) {
    SCOPED_TRACE(testing::Message() << p[0] << " towards " << p[1]);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_nextafter(p[0], p[1])), quiet_nan_bits);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_nexttoward(p[0], p[1])), quiet_nan_bits);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_nextafterl(p[0], p[1]))), quiet_nan_bits);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(static_cast<double>(varnel_nexttowardl(p[0], p[1]))), quiet_nan_bits);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    const float fx = static_cast<float>(p[0]), fy = static_cast<float>(p[1]);
    EXPECT_EQ(bits_of(varnel_nextafterf(fx, fy)), quiet_nanf_bits);
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_nexttowardf(fx, p[1])), quiet_nanf_bits);
    EXPECT_EQ(errno, EDOM);
  }
}

struct step_case_f {
  float x, y, expected;
  int error;
};

const step_case_f float_cases[] = {
    {1.0f, 2.0f, 0x1.000002p+0f, 0},
    {1.0f, 0.0f, 0x1.fffffep-1f, 0},
    {-1.0f, 0.0f, -0x1.fffffep-1f, 0},
    {0.0f, 1.0f, 0x1p-149f, 0},
    {-0.0f, -1.0f, -0x1p-149f, 0},
    {0.0f, -0.0f, 0.0f, 0},
    {-0.0f, 0.0f, -0.0f, 0},
    {0x1p-149f, 0.0f, 0.0f, 0},
    {-0x1p-149f, 0.0f, 0.0f, 0},
    {0x1p-149f, 1.0f, 0x1p-148f, 0},
    // The subnormal/normal boundary: 2^-126 and the largest subnormal.
    {0x1p-126f, 0.0f, 0x1.fffffcp-127f, 0},
    {-0x1p-126f, 0.0f, -0x1.fffffcp-127f, 0},
    {0x1.fffffcp-127f, 1.0f, 0x1p-126f, 0},
    // Below the float threshold 2^-101: rescaled; at it: direct.
    {1.0000000180025095e-35f, 1.0f, 1.0000000897489909e-35f, 0},
    {0x1p-101f, 0.0f, 0x1.fffffep-102f, 0},
    {0x1p-101f, 1.0f, 0x1.000002p-101f, 0},
    {0x1.fffffep-102f, 1.0f, 0x1p-101f, 0},
    {fmax_, finf, finf, ERANGE},
    {-fmax_, -finf, -finf, ERANGE},
    {finf, 0.0f, fmax_, 0},
    {-finf, 0.0f, -fmax_, 0},
    {finf, finf, finf, 0},
};

TEST(Nextafterf, EdgesOfBinary32) {
  for (const auto& c : float_cases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.x << " towards " << c.y);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_nextafterf(c.x, c.y)), bits_of(c.expected));
    EXPECT_EQ(errno, c.error);
    // nexttowardf with a y that is a float steps exactly as nextafterf.
    errno = 0;
    EXPECT_EQ(bits_of(varnel_nexttowardf(c.x, c.y)), bits_of(c.expected));
    EXPECT_EQ(errno, c.error);
  }
}

// --- Neighbours against the bit patterns ------------------------------------
// Order-preserving integer of a finite value: sign-magnitude turned into a
// signed count of representable values from zero (both zeros give 0).  The
// neighbours of x are the values at key(x) - 1 and key(x) + 1; key 0 must
// come back as +0.

template <class Bits, class Signed> Signed key_of(Bits b, Bits sign_mask) {
  const Signed magnitude = static_cast<Signed>(b & ~sign_mask);
  return (b & sign_mask) != 0 ? -magnitude : magnitude;
}
template <class Bits, class Signed> Bits bits_of_key(Signed k, Bits sign_mask) {
  return k >= 0 ? static_cast<Bits>(k) : static_cast<Bits>(static_cast<Bits>(-k) | sign_mask);
}

template <class T> struct format;
template <> struct format<double> {
  using bits = std::uint64_t;
  using key = std::int64_t;
  static constexpr bits sign = 0x8000000000000000u;
  static constexpr bits exponent = 0x7FF0000000000000u;
  static constexpr int fraction_bits = 52;
  static constexpr int binades = 2046;  // biased exponents 1 .. 2046
  static double make(bits b) { return from_bits(b); }
  static double up(double x) { return varnel_nextafter(x, inf); }
  static double down(double x) { return varnel_nextafter(x, -inf); }
};
template <> struct format<float> {
  using bits = std::uint32_t;
  using key = std::int32_t;
  static constexpr bits sign = 0x80000000u;
  static constexpr bits exponent = 0x7F800000u;
  static constexpr int fraction_bits = 23;
  static constexpr int binades = 254;
  static float make(bits b) { return from_bits32(b); }
  static float up(float x) { return varnel_nextafterf(x, finf); }
  static float down(float x) { return varnel_nextafterf(x, -finf); }
};

// Both steps of one finite x (other than a step out of the range) land on
// the adjacent pattern and leave errno alone.
template <class T> void check_neighbours(T x) {
  using F = format<T>;
  using B = typename F::bits;
  using K = typename F::key;
  const B b = bits_of(x);
  const K k = key_of<B, K>(b, F::sign);
  const B largest = F::exponent - 1;
  errno = 0;
  if ((b & ~F::sign) != largest || (b & F::sign) != 0) {
    const T r = F::up(x);
    EXPECT_EQ(bits_of(r), (bits_of_key<B, K>(k + 1, F::sign))) << std::hexfloat << x << " up";
  }
  if ((b & ~F::sign) != largest || (b & F::sign) == 0) {
    const T r = F::down(x);
    EXPECT_EQ(bits_of(r), (bits_of_key<B, K>(k - 1, F::sign))) << std::hexfloat << x << " down";
  }
  EXPECT_EQ(errno, 0) << std::hexfloat << x;
}

template <class T> void check_random_patterns(std::uint64_t seed, int count) {
  using F = format<T>;
  using B = typename F::bits;
  std::mt19937_64 gen(seed);
  int checked = 0;
  while (checked < count) {
    const B b = static_cast<B>(gen());
    if ((b & F::exponent) == F::exponent) continue;  // infinities and NaNs
    check_neighbours(F::make(b));
    ++checked;
    if (testing::Test::HasFailure()) return;  // one report is enough
  }
}

// The first values of every binade, its last ones, and the values around
// them, both signs; the subnormal "binades" (each power of two below the
// smallest normal) too.
template <class T> void check_binade_edges() {
  using F = format<T>;
  using B = typename F::bits;
  std::vector<B> edges;
  for (int e = 1; e <= F::binades; ++e) {
    const B first = static_cast<B>(static_cast<B>(e) << F::fraction_bits);
    edges.insert(edges.end(), {first, static_cast<B>(first + 1), static_cast<B>(first - 1), static_cast<B>(first - 2)});
  }
  edges.push_back(static_cast<B>(F::exponent - 1));  // the largest finite value
  for (int p = 0; p < F::fraction_bits; ++p) {
    const B power = static_cast<B>(B{1} << p);
    edges.insert(edges.end(), {power, static_cast<B>(power + 1), static_cast<B>(power - 1)});
  }
  for (B b : edges) {
    check_neighbours(F::make(b));
    check_neighbours(F::make(static_cast<B>(b | F::sign)));
    if (testing::Test::HasFailure()) return;
  }
}

TEST(Nextafter, RandomPatternsStepToTheAdjacentPattern) { check_random_patterns<double>(0x5eed0001, 100000); }
TEST(Nextafter, BinadeEdgesStepToTheAdjacentPattern) { check_binade_edges<double>(); }
TEST(Nextafterf, RandomPatternsStepToTheAdjacentPattern) { check_random_patterns<float>(0x5eed0002, 100000); }
TEST(Nextafterf, BinadeEdgesStepToTheAdjacentPattern) { check_binade_edges<float>(); }

// --- nexttoward: the direction is the exact long double y --------------------

struct toward_case {
  double x;
  long double y;
  double expected;
  int error;
};

TEST(Nexttoward, DirectionFollowsTheExactLongDoubleY) {
  std::vector<toward_case> cases = {
      {1.0, 0x1.0000000000001p+0L, 0x1.0000000000001p+0, 0},
      {0.0, -0x1p-1074L, -0x1p-1074, 0},
      {dmax, std::numeric_limits<long double>::infinity(), inf, ERANGE},
      {inf, static_cast<long double>(dmax), dmax, 0},
      {1.0, 1.0L, 1.0, 0},
  };
  // A long double that holds values binary64 lacks (x87, binary128).
  if (varnel::math::tools::long_double_is_wider) {
    const auto power_of_two = varnel_test::long_double_power_of_two;
    cases.insert(cases.end(), {
                                  // y strictly between x and its neighbour (y rounds to x in binary64).
                                  {1.0, 1.0L + 0x1p-60L, 0x1.0000000000001p+0, 0},
                                  {1.0, 1.0L - 0x1p-60L, 0x1.fffffffffffffp-1, 0},
                                  {0x1.0000000000001p+0, 1.0L + 0x1p-60L, 1.0, 0},
                                  {-1.0, -1.0L - 0x1p-60L, -0x1.0000000000001p+0, 0},
                                  // A y below the binary64 range still has its side.
                                  {0.0, power_of_two(-16000), 0x1p-1074, 0},
                                  {-0.0, -power_of_two(-16000), -0x1p-1074, 0},
                                  {0x1p-1074, power_of_two(-1080), 0.0, 0},
                                  {0.0, std::numeric_limits<long double>::denorm_min(), 0x1p-1074, 0},
                                  // A y beyond it too.
                                  {dmax, power_of_two(1100), inf, ERANGE},
                                  {inf, power_of_two(1100), dmax, 0},
                                  {-inf, -power_of_two(1100), -dmax, 0},
                                  // The least step of the format still has its side.
                                  {1.0, 1.0L + std::numeric_limits<long double>::epsilon(), 0x1.0000000000001p+0, 0},
                              });
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.x << " towards " << c.y);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_nexttoward(c.x, c.y)), bits_of(c.expected));
    EXPECT_EQ(errno, c.error);
  }
  errno = 0;
  EXPECT_EQ(bits_of(varnel_nexttoward(1.0, std::numeric_limits<long double>::quiet_NaN())), quiet_nan_bits);
  EXPECT_EQ(errno, EDOM);
}

struct toward_case_f {
  float x;
  long double y;
  float expected;
  int error;
};

TEST(Nexttowardf, StepsOneFloatSpacingTowardsTheExactY) {
  std::vector<toward_case_f> cases = {
      {1.0f, 0x1.0000000000001p+0L, 0x1.000002p+0f, 0},  // a double just above 1
      {-0.0f, -0x1p-1074L, -0x1p-149f, 0},
      {0x1p-126f, 0.0L, 0x1.fffffcp-127f, 0},
      {1.0000000180025095e-35f, 1.0L, 1.0000000897489909e-35f, 0},
      {fmax_, 0x1.fffffe0000001p+127L, finf, ERANGE},  // the double just above
      {finf, 0x1p+200L, fmax_, 0},
      {1.0f, 1.0L, 1.0f, 0},
  };
  if (varnel::math::tools::long_double_is_wider) {
    cases.insert(cases.end(), {
                                  {1.0f, 1.0L + 0x1p-60L, 0x1.000002p+0f, 0},
                                  {1.0f, 1.0L - 0x1p-60L, 0x1.fffffep-1f, 0},
                                  {0x1.000002p+0f, 1.0L + 0x1p-60L, 1.0f, 0},
                                  {0.0f, varnel_test::long_double_power_of_two(-16000), 0x1p-149f, 0},
                                  {fmax_, 0x1.fffffe00000001p+127L, finf, ERANGE},
                              });
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.x << " towards " << c.y);
    errno = 0;
    EXPECT_EQ(bits_of(varnel_nexttowardf(c.x, c.y)), bits_of(c.expected));
    EXPECT_EQ(errno, c.error);
  }
}

TEST(Nexttowardf, StepsLikeNextafterfForRandomFloats) {
  std::mt19937 gen(0x5eed0003);
  for (int i = 0; i < 20000; ++i) {
    const float x = from_bits32(gen());
    if (!std::isfinite(x)) continue;
    errno = 0;
    EXPECT_EQ(bits_of(varnel_nexttowardf(x, std::numeric_limits<long double>::infinity())),
              bits_of(varnel_nextafterf(x, finf)));
    EXPECT_EQ(bits_of(varnel_nexttowardf(x, -std::numeric_limits<long double>::infinity())),
              bits_of(varnel_nextafterf(x, -finf)));
    if (HasFailure()) return;
  }
}

// --- Long double members ------------------------------------------------------

TEST(Nextafterl, MapsBothArgumentsToBinary64) {
  // x and y are rounded to binary64 before the step: a y that rounds to x
  // returns x, and an x beyond the binary64 range is an infinity there.
  errno = 0;
  EXPECT_EQ(varnel_nextafterl(1.0L, 1.0L + 0x1p-60L), 1.0L);
  EXPECT_EQ(varnel_nexttowardl(1.0L, 1.0L + 0x1p-60L), 1.0L);
  if (varnel::math::tools::long_double_is_wider) {
    EXPECT_EQ(varnel_nextafterl(varnel_test::long_double_power_of_two(13000), 0.0L), static_cast<long double>(dmax));
  }
  EXPECT_EQ(varnel_nextafterl(1.0L + 0x1p-60L, 2.0L), static_cast<long double>(0x1.0000000000001p+0));
  EXPECT_EQ(errno, 0);
}

TEST(Nextafterl, NexttowardlIsTheSameFunction) {
  std::mt19937_64 gen(0x5eed0004);
  for (int i = 0; i < 20000; ++i) {
    const long double x = from_bits(gen()), y = from_bits(gen());
    errno = 0;
    const long double a = varnel_nextafterl(x, y);
    const int ea = errno;
    errno = 0;
    const long double b = varnel_nexttowardl(x, y);
    EXPECT_EQ(bits_of(static_cast<double>(a)), bits_of(static_cast<double>(b)));
    EXPECT_EQ(errno, ea);
    if (HasFailure()) return;
  }
}

// --- Internals ------------------------------------------------------------

TEST(NextInternals, RescaleThresholds) {
  EXPECT_EQ(varnel::math::detail::rescale_threshold<double>(), 0x1p-968);
  EXPECT_EQ(varnel::math::detail::rescale_threshold<float>(), 0x1p-101f);
  // step_toward's branch-free path must start exactly where rescaling ends.
  EXPECT_EQ(varnel::math::tools::plain_step_low<double>(), varnel::math::detail::rescale_threshold<double>());
  EXPECT_EQ(varnel::math::tools::plain_step_low<float>(), varnel::math::detail::rescale_threshold<float>());
}

// --- What the error sites report ------------------------------------------------

struct report_case {
  double x, y;
  float fx, fy;  // the same case in binary32
  error_kind kind;
  const char* function;
  const char* message;
};

TEST(NextReports, FunctionNamesAndMessages) {
  const char* const next = "float_next<%1%>(%1%)";
  const char* const prior = "float_prior<%1%>(%1%)";
  const char* const not_finite = "Argument must be finite, but got %1%";
  const report_case cases[] = {
      {qnan, 1.0, NAN, 1.0f, error_kind::domain, prior, not_finite},
      {1.0, qnan, 1.0f, NAN, error_kind::domain, prior, not_finite},
      {qnan, qnan, NAN, NAN, error_kind::domain, prior, not_finite},
      {dmax, inf, fmax_, finf, error_kind::overflow, next, "Overflow Error"},
      {-dmax, -inf, -fmax_, -finf, error_kind::overflow, prior, "Overflow Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << " towards " << c.y);
    std::vector<varnel_test::error_report> log;
    const varnel_test::recording_policy rec{&log};
    varnel::math::step_toward(c.x, c.y, rec);
    varnel::math::step_toward(c.fx, c.fy, rec);
    varnel::math::step_toward(c.x, static_cast<long double>(c.y), rec);
    ASSERT_EQ(log.size(), 3u);
    for (const auto& r : log) {
      EXPECT_EQ(r.kind, c.kind);
      EXPECT_EQ(r.function, c.function);
      EXPECT_EQ(r.message, c.message);
    }
  }
  // float_next reports a NaN under its own name (step_toward never sends
  // one there).
  std::vector<varnel_test::error_report> log;
  const varnel_test::recording_policy rec{&log};
  EXPECT_EQ(bits_of(varnel::math::float_next(qnan, rec)), quiet_nan_bits);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].kind, error_kind::domain);
  EXPECT_EQ(log[0].function, "float_next<%1%>(%1%)");
  EXPECT_EQ(log[0].message, "Argument must be finite, but got %1%");
  // The value of the overflow site is negated for the downward step.
  EXPECT_EQ(bits_of(varnel::math::float_prior(-dmax, rec)), bits_of(-inf));
}

}  // namespace
