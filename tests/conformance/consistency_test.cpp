// Cross-precision consistency over the whole surface: the long double
// members return the bits and errno of the double members on binary64
// inputs; the widening float members return narrow_result of the double
// value; nextafterf steps to the adjacent float.  Random bit patterns plus
// every special value and threshold with its neighbours.
//
// VARNEL_CONSISTENCY_SAMPLES sets the number of random inputs per function
// (default 100000); VARNEL_EXHAUSTIVE=1 walks all 2^32 float patterns for
// nextafterf (minutes, not for CI).
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/policies/narrow_result.hpp>

#include "support/surface.hpp"
#include "support/bits.hpp"
#include "support/fp_controls.hpp"
#include "support/scale.hpp"
#include "support/values.hpp"

namespace {

using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::from_bits32;
using varnel_test::special_doubles;

// Random inputs per function, divided by the test scale (support/scale.hpp).
std::size_t samples() {
  const char* s = std::getenv("VARNEL_CONSISTENCY_SAMPLES");
  return varnel_test::scaled(s != nullptr ? std::strtoull(s, nullptr, 10) : 100000);
}

using varnel_test::current_fp_controls;

// Random inputs: raw bit patterns (every binade equally) and uniform values
// where the functions change branches.
std::vector<double> inputs() {
  std::vector<double> v = special_doubles();
  std::mt19937_64 rng(20261209);
  std::uniform_real_distribution<double> moderate(-200.0, 200.0);
  const std::size_t n = samples();
  for (std::size_t i = 0; i < n; ++i) v.push_back(i % 2 ? from_bits(rng()) : moderate(rng));
  return v;
}

// Bits of a binary64 result, with a NaN's quiet bit set.  Passing a
// signalling NaN as a long double argument quiets it in the caller's own
// conversion (the x87 load), before any library code runs; members that
// return an argument bit for bit (copysign, fmax, fmin) then return the
// quieted NaN.
std::uint64_t canonical(double r) {
  const std::uint64_t b = bits_of(r);
  return std::isnan(r) ? b | 0x0008000000000000u : b;
}

template <class F> auto call(F f, int& err) {
  const varnel_test::fp_controls before = current_fp_controls();
  errno = 0;
  auto r = f();
  err = errno;
  EXPECT_TRUE(current_fp_controls() == before) << "floating-point controls changed";
  return r;
}

TEST(Consistency, LongDoubleMembersEqualDoubleMembers) {
  const std::vector<double> xs = inputs();
  for (const auto& e : varnel_test::unary_exports) {
    std::size_t bad = 0;
    for (double x : xs) {
      int ed, el;
      const double rd = call([&] { return e.d(x); }, ed);
      const long double rl = call([&] { return e.l(x); }, el);
      if (bits_of(static_cast<double>(rl)) != bits_of(rd) || ed != el) {
        if (++bad <= 5)
          ADD_FAILURE() << e.name << "l(" << x << ") = " << static_cast<double>(rl) << " errno " << el
                        << ", double member " << rd << " errno " << ed;
      }
    }
    EXPECT_EQ(bad, 0u) << e.name;
  }
  std::mt19937_64 rng(7);
  for (const auto& e : varnel_test::binary_exports) {
    std::size_t bad = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
      const double x = xs[i], y = xs[rng() % xs.size()];
      int ed, el;
      const double rd = call([&] { return e.d(x, y); }, ed);
      const long double rl = call([&] { return e.l(x, y); }, el);
      if (canonical(static_cast<double>(rl)) != canonical(rd) || ed != el) {
        if (++bad <= 5)
          ADD_FAILURE() << e.name << "l(" << x << ", " << y << ") = " << static_cast<double>(rl) << " errno " << el
                        << ", double member " << rd << " errno " << ed;
      }
    }
    EXPECT_EQ(bad, 0u) << e.name;
  }
}

TEST(Consistency, IntegerAndTowardMembers) {
  const std::vector<double> xs = inputs();
  std::size_t bad = 0;
  auto integer_members_agree = [&](const auto& e, double x) {
    int e1, e2;
    const auto a = call([&] { return e.d(x); }, e1);
    const auto b = call([&] { return e.l(x); }, e2);
    if (a != b || e1 != e2) {
      if (++bad <= 5) ADD_FAILURE() << e.name << "l(" << x << ") = " << b << " errno " << e2 << ", double member " << a;
    }
  };
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double x = xs[i], y = xs[(i * 7919) % xs.size()];
    for (const auto& e : varnel_test::to_long_exports) integer_members_agree(e, x);
    for (const auto& e : varnel_test::to_llong_exports) integer_members_agree(e, x);
    int e1, e2;
    // On binary64 directions nexttoward is nextafter, in every library.
    const double t = call([&] { return varnel_nexttoward(x, y); }, e1);
    const double u = call([&] { return varnel_nextafter(x, y); }, e2);
    bad += bits_of(t) != bits_of(u) || e1 != e2;
    const long double tl = call([&] { return varnel_nexttowardl(x, y); }, e1);
    const long double ul = call([&] { return varnel_nextafterl(x, y); }, e2);
    bad += bits_of(static_cast<double>(tl)) != bits_of(static_cast<double>(ul)) || e1 != e2;
    bad += bits_of(static_cast<double>(ul)) != bits_of(u);
  }
  EXPECT_EQ(bad, 0u);
}

TEST(Consistency, WideningFloatMembersNarrowTheDoubleResult) {
  std::vector<float> xs;
  for (double x : inputs()) xs.push_back(static_cast<float>(x));  // may round; any float will do
  std::mt19937 rng(11);
  for (std::size_t i = 0; i < samples(); ++i) xs.push_back(from_bits32(static_cast<std::uint32_t>(rng())));
  for (const auto& e : varnel_test::unary_exports) {
    if (e.road == varnel_test::float_road::native) continue;
    std::size_t bad = 0;
    for (float x : xs) {
      int ed, ef;
      const double rd = call([&] { return e.d(x); }, ed);
      float expected;
      int expected_errno;
      if (e.road == varnel_test::float_road::narrowed) {
        errno = ed;
        expected = varnel::math::policies::narrow_result<float>(rd, "");
        expected_errno = errno;
      } else {
        expected = static_cast<float>(rd);
        expected_errno = ed;
      }
      const float rf = call([&] { return e.f(x); }, ef);
      if (bits_of(rf) != bits_of(expected) || ef != expected_errno) {
        if (++bad <= 5)
          ADD_FAILURE() << e.name << "f(" << x << ") = " << rf << " errno " << ef << ", expected " << expected
                        << " errno " << expected_errno;
      }
    }
    EXPECT_EQ(bad, 0u) << e.name;
  }
}

// One float pattern: up and down must land on the adjacent float.
bool next_float_ok(std::uint32_t b) {
  const float x = from_bits32(b);
  if (!std::isfinite(x)) return true;
  const std::uint32_t mag = b & 0x7FFFFFFFu;
  const bool neg = (b >> 31) != 0;
  std::uint32_t up, down;
  if (mag == 0) {
    up = 0x00000001u;
    down = 0x80000001u;
  } else if (!neg) {
    up = b + 1;
    down = b - 1;
  } else {
    up = b - 1;
    down = b + 1;
  }
  const float ru = varnel_nextafterf(x, HUGE_VALF);
  const float rd = varnel_nextafterf(x, -HUGE_VALF);
  // Stepping up from -2^-149 reaches a zero: either sign is the adjacent value.
  const bool up_ok = bits_of(ru) == up || (mag == 1 && neg && ru == 0.0f);
  const bool down_ok = bits_of(rd) == down || (mag == 1 && !neg && rd == 0.0f);
  return up_ok && down_ok;
}

TEST(Consistency, NextafterfStepsToTheAdjacentFloat) {
  std::size_t bad = 0;
  const bool exhaustive = std::getenv("VARNEL_EXHAUSTIVE") != nullptr;
  if (exhaustive) {
    for (std::uint64_t b = 0; b <= 0xFFFFFFFFu; ++b) bad += !next_float_ok(static_cast<std::uint32_t>(b));
  } else {
    std::mt19937 rng(3);
    for (std::size_t i = 0; i < 10 * samples(); ++i) bad += !next_float_ok(static_cast<std::uint32_t>(rng()));
    for (std::uint32_t e = 0; e < 255; ++e)  // every binade's edges, both signs
      for (std::uint32_t m : {0u, 1u, 0x7FFFFEu, 0x7FFFFFu})
        for (std::uint32_t s : {0u, 0x80000000u}) bad += !next_float_ok(s | e << 23 | m);
  }
  EXPECT_EQ(bad, 0u);
}

}  // namespace
