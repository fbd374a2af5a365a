// The lane forms of the elementary functions (src/math/batch/elementary/)
// against the scalar functions they mirror (elementary/portable.hpp), at
// every level the processor has: on every lane the lane form computes, the
// result's bits are the scalar function's and the scalar function reports
// nothing; the lanes it leaves (rare) are exactly those its header names,
// so that a lane form cannot pass by sending everything to the scalar
// path, nor compute a lane whose scalar branch it does not mirror.
//
// Arguments: special values (zeros, subnormals, the extremes, infinities,
// NaNs with payloads and signs), every bound of every function's ranges
// with two neighbours on each side, and VARNEL_BATCH_SAMPLES random ones
// per function (10^6 by default, divided by VARNEL_TEST_SCALE): uniform
// on the function's ranges, log-uniform over all magnitudes, and random bit
// patterns.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/constants.hpp>
#include <varnel/math/elementary/portable.hpp>

#include "batch_support.hpp"
#include "elementary_lanes.hpp"
#include "random.hpp"

namespace {

namespace el = varnel::math::elementary::portable;
namespace pd = varnel::math::elementary::portable::detail;
using varnel_batch_test::add_with_neighbours;
using varnel_batch_test::bits_equal;
using varnel_batch_test::describe;
using varnel_lanes_test::level;

std::size_t random_count() {
  std::size_t n = 1000000;
  if (const char* s = std::getenv("VARNEL_BATCH_SAMPLES")) n = std::strtoul(s, nullptr, 10);
  return varnel_batch_test::scaled(n);
}

// The levels of this processor (SSE2 is in every x86-64 processor).
std::vector<const level*> levels() {
  std::vector<const level*> v{&varnel_lanes_test::level_sse2};
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) v.push_back(&varnel_lanes_test::level_avx2);
  if (__builtin_cpu_supports("avx512f")) v.push_back(&varnel_lanes_test::level_avx512f);
  return v;
}

template <class T> std::vector<T> special_values(std::initializer_list<double> bounds) {
  using L = std::numeric_limits<T>;
  std::vector<T> v;
  for (T b : {T(0), L::denorm_min(), L::min(), L::max(), T(1), T(0.5), T(2), L::epsilon()}) {
    add_with_neighbours(v, b);
    add_with_neighbours(v, T(-b));
  }
  for (double b : bounds) add_with_neighbours(v, static_cast<T>(b));
  v.push_back(L::infinity());
  v.push_back(-L::infinity());
  for (std::uint64_t payload : {0x8000000000000ull, 0x8000000000123ull, 0x1ull}) {
    v.push_back(varnel_batch_test::nan_with_payload<T>(payload, false));
    v.push_back(varnel_batch_test::nan_with_payload<T>(payload, true));
  }
  return v;
}

// The specials and bounds, then random arguments: a share drawn from each
// of ranges (uniform), log-uniform magnitudes and bit patterns.
struct range {
  double lo, hi;
};
template <class T> std::vector<T> arguments(const std::string& name, std::initializer_list<double> bounds,
                                            std::vector<range> ranges, bool mostly_ranges = false) {
  std::vector<T> v = special_values<T>(bounds);
  std::uint64_t s = varnel_common::seed_of("lanes/" + name);
  const std::size_t n = random_count();
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t pick = mostly_ranges ? (i % 6 == 5 ? 1 + (i / 6) % 2 : 0) : i % 3;
    if (pick == 0) {
      const range& r = ranges[(i / 3) % ranges.size()];
      v.push_back(static_cast<T>(varnel_common::draw(s, r.lo, r.hi, false)));
    } else if (pick == 1) {
      v.push_back(varnel_batch_test::random_magnitude<T>(s));
    } else {
      v.push_back(varnel_batch_test::random_pattern<T>(s));
    }
  }
  while (v.size() % 8 != 0) v.push_back(T(1));
  return v;
}

// What a lane form should leave to the scalar path: yes, no, or either
// (pow, within a hair of its bound on y log x, where the rounded value the
// scalar code tests cannot be told apart here).
enum class expect { covered, rare, either };

struct failures {
  std::string what;
  std::size_t count = 0;
  void add(const std::string& text) {
    if (count++ < 8) ADD_FAILURE() << what << ": " << text;
  }
  ~failures() { EXPECT_EQ(count, 0u) << what; }
};

// Every lane: the mask as expected, and where the lane form computes, the
// scalar function's bits and no errno.
template <class T, class Scalar, class Expect>
void check(const std::string& what, const std::vector<T>& x, const std::vector<T>* y, const std::vector<T>& r,
           const std::vector<unsigned char>& rare, Scalar scalar, Expect expected) {
  failures f{what};
  std::size_t covered = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const std::string at = describe(x[i]) + (y != nullptr ? ", " + describe((*y)[i]) : "");
    const expect e = expected(i);
    if ((e == expect::covered && rare[i]) || (e == expect::rare && !rare[i])) {
      f.add("at " + at + ": lane " + (rare[i] ? "rare" : "computed") + ", expected the other");
      continue;
    }
    if (rare[i]) continue;
    ++covered;
    errno = 0;
    const T want = scalar(i);
    const int code = errno;
    if (!bits_equal(r[i], want) || code != 0) {
      f.add("at " + at + ": lane " + describe(r[i]) + ", scalar " + describe(want) + " (errno " + std::to_string(code) +
            ")");
    }
  }
  // Most arguments of every function lie where it computes.
  EXPECT_GT(covered, x.size() / 4) << what;
}

expect rare_unless(bool covered) { return covered ? expect::covered : expect::rare; }

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double pi_2 = varnel::math::constants::pi<double>() / 2;  // pi/2 rounded (the halving is exact)
constexpr float expm1f_above = pd::expm1f_overflow_above;
// The ends of log's reduced range [offset, 2 offset), where the cells of
// k = 0 begin and end.
const double offset = pd::from_bits(pd::log_offset);

class Lanes : public testing::Test {
 protected:
  template <class F> void each_level(F f) {
    for (const level* l : levels()) {
      SCOPED_TRACE(l->name);
      f(*l);
    }
  }
};

TEST_F(Lanes, Exp) {
  const auto x =
      arguments<double>("exp", {512, -512, 708, pd::exp_overflow_above, pd::exp_underflow_below, 0.00270760875623675},
                        {{-10, 10}, {-511.9, 511.9}});
  each_level([&](const level& l) {
    std::vector<double> r(x.size());
    std::vector<unsigned char> rare(x.size());
    l.exp(x.size(), x.data(), r.data(), rare.data());
    check<double>(
        std::string("exp ") + l.name, x, nullptr, r, rare, [&](std::size_t i) { return el::exp(x[i]); },
        [&](std::size_t i) { return rare_unless(std::fabs(x[i]) < 512); });
  });
}

TEST_F(Lanes, Log) {
  const double near_lo = pd::from_bits(pd::log_offset - (std::uint64_t{1} << 52));
  const double near_hi = pd::from_bits(pd::log_offset + (std::uint64_t{2} << 52));
  const auto x = arguments<double>("log", {near_lo, near_hi, offset, 2 * offset, 4, 1e-300, 1e300},
                                   {{0.3, 3}, {1e-3, 1e3}, {0, 1e300}});
  each_level([&](const level& l) {
    std::vector<double> r(x.size());
    std::vector<unsigned char> rare(x.size());
    l.log(x.size(), x.data(), r.data(), rare.data());
    check<double>(
        std::string("log ") + l.name, x, nullptr, r, rare, [&](std::size_t i) { return el::log(x[i]); },
        [&](std::size_t i) { return rare_unless(x[i] >= DBL_MIN && x[i] < inf); });
  });
}

TEST_F(Lanes, Sin) {
  // The table's cells change at (j + 1/2)/64.
  const auto x = arguments<double>("sin", {0x1p-26, 0.25, pi_2, 16.5 / 64, 100.5 / 64, 0.5, 1},
                                   {{0, pi_2}, {0, 0.25}, {0, 0x1p-20}}, true);
  each_level([&](const level& l) {
    std::vector<double> r(x.size());
    std::vector<unsigned char> rare(x.size());
    l.sin(x.size(), x.data(), r.data(), rare.data());
    check<double>(
        std::string("sin ") + l.name, x, nullptr, r, rare, [&](std::size_t i) { return el::sin(x[i]); },
        [&](std::size_t i) { return rare_unless(x[i] >= 0 && x[i] <= pi_2); });
  });
}

TEST_F(Lanes, Pow) {
  // The box's edges, and y log x through the bound of 708 at both ends of
  // the box.
  auto x = arguments<double>("pow_x", {5.5, 261, 6, 100}, {{5.5, 261}}, true);
  std::vector<double> y = arguments<double>("pow_y", {-0.5, 142, 0, 1, 127}, {{-0.5, 142}}, true);
  y.resize(x.size(), 1.0);
  for (double bx : {261.0, 200.0, 148.0}) {
    std::vector<double> ys;
    add_with_neighbours(ys, 708.0 / std::log(bx));
    for (double v : ys) {
      x.push_back(bx);
      y.push_back(v);
    }
  }
  while (x.size() % 8 != 0) {
    x.push_back(6.0);
    y.push_back(2.0);
  }
  each_level([&](const level& l) {
    std::vector<double> r(x.size());
    std::vector<unsigned char> rare(x.size());
    l.pow(x.size(), x.data(), y.data(), r.data(), rare.data());
    check<double>(
        std::string("pow ") + l.name, x, &y, r, rare, [&](std::size_t i) { return el::pow(x[i], y[i]); },
        [&](std::size_t i) {
          if (!(x[i] >= 5.5 && x[i] <= 261 && y[i] >= -0.5 && y[i] <= 142)) return expect::rare;
          // y log x in double is within 1e-12 of the scalar code's y w, far
          // inside the band.  (No long double: where the C library's long
          // double is binary64, its logl would misread the compiler's.)
          const double a = y[i] * std::log(x[i]);
          if (a < 708.0 - 1e-9) return expect::covered;
          return a > 708.0 + 1e-9 ? expect::rare : expect::either;
        });
  });
}

TEST_F(Lanes, Expm1) {
  const auto x = arguments<double>(
      "expm1", {0x1p-54, -0x1p-54, 0.35, -0.35, 512, -512, pd::exp_overflow_above, 1e-300, 0.00270760875623675},
      {{-10, 10}, {-0.35, 0.35}, {-600, 600}});
  each_level([&](const level& l) {
    std::vector<double> r(x.size());
    std::vector<unsigned char> rare(x.size());
    l.expm1(x.size(), x.data(), r.data(), rare.data());
    check<double>(
        std::string("expm1 ") + l.name, x, nullptr, r, rare, [&](std::size_t i) { return el::expm1(x[i]); },
        [&](std::size_t i) { return rare_unless(x[i] < 512); });
  });
}

TEST_F(Lanes, Log1p) {
  // -1; the tiny range; the cells around k = 0 (u from 0.708 to 1.416) and
  // log1p_inexact_at - 1; the scale's limit at u = 2^1000.
  const auto x = arguments<double>("log1p",
                                   {-1, 0x1p-30, -0x1p-30, offset - 1, 2 * offset - 1, pd::log1p_inexact_at - 1, 0x1p-9,
                                    -0x1p-10, 0x1p53, 0x1p999, 0x1p1000, -1 + 0x1p-53},
                                   {{-0.9, 10}, {-0.3, 0.42}, {-1, 1}, {0, 1e300}});
  each_level([&](const level& l) {
    std::vector<double> r(x.size());
    std::vector<unsigned char> rare(x.size());
    l.log1p(x.size(), x.data(), r.data(), rare.data());
    check<double>(
        std::string("log1p ") + l.name, x, nullptr, r, rare, [&](std::size_t i) { return el::log1p(x[i]); },
        [&](std::size_t i) { return rare_unless(x[i] > -1 && x[i] < inf); });
  });
}

TEST_F(Lanes, Expm1Float) {
  const auto x =
      arguments<float>("expm1f", {0x1p-25, -0x1p-25, expm1f_above, -expm1f_above, 0.35, -0.35}, {{-10, 10}, {-90, 90}});
  each_level([&](const level& l) {
    std::vector<float> r(x.size());
    std::vector<unsigned char> rare(x.size());
    l.expm1f(x.size(), x.data(), r.data(), rare.data());
    check<float>(
        std::string("expm1f ") + l.name, x, nullptr, r, rare, [&](std::size_t i) { return el::expm1(x[i]); },
        [&](std::size_t i) { return rare_unless(x[i] <= expm1f_above); });
  });
}

TEST_F(Lanes, Log1pFloat) {
  const auto x = arguments<float>("log1pf", {-1, 0x1p-25, -0x1p-25, offset - 1, 2 * offset - 1, 0x1p53, 0x1p100},
                                  {{-0.9, 10}, {-1, 1}});
  each_level([&](const level& l) {
    std::vector<float> r(x.size());
    std::vector<unsigned char> rare(x.size());
    l.log1pf(x.size(), x.data(), r.data(), rare.data());
    check<float>(
        std::string("log1pf ") + l.name, x, nullptr, r, rare, [&](std::size_t i) { return el::log1p(x[i]); },
        [&](std::size_t i) { return rare_unless(x[i] > -1 && x[i] < std::numeric_limits<float>::infinity()); });
  });
}

}  // namespace
