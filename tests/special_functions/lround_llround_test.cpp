// lround, llround and itrunc: the checked conversions of a rounded value
// to an integer type (special_functions/detail/rounding.hpp), one table of
// edges built from the width of the result type, and what every error site
// hands to its action.
#include <cerrno>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/llround.hpp>
#include <varnel/math/special_functions/lround.hpp>
#include <varnel/math/special_functions/trunc.hpp>

#include "support/recording_policy.hpp"
#include "support/values.hpp"

namespace {

namespace vm = varnel::math;
using varnel::math::policies::errno_policy;
using varnel::math::policies::error_kind;
using namespace varnel_test::values;

// Cases for a result type R with N value bits, built from N so that they
// hold whatever the width of long.  T is the floating type rounded in, with
// P significand bits.  "round" selects round (true) or trunc (false).
template <class R> struct int_case {
  double x;  // converted to T without leaving its range
  R expected;
  int err;
};

template <class R, class T> std::vector<int_case<R>> range_cases(bool round) {
  constexpr int n = std::numeric_limits<R>::digits;
  constexpr int p = std::numeric_limits<T>::digits;
  constexpr R max = std::numeric_limits<R>::max();
  constexpr R min = std::numeric_limits<R>::min();
  const double two_n = std::ldexp(1.0, n);
  // Spacing of T just below 2^N, and at least 1 so that the value stays
  // integral: the largest integral T below 2^N is 2^N - step.
  const R step = n > p ? static_cast<R>(R(1) << (n - p)) : R(1);
  // Just beyond -2^N: the next integral T below it.
  const double below_min = -two_n - (n >= p ? std::ldexp(1.0, n - p + 1) : 1.0);
  std::vector<int_case<R>> cases = {
      {two_n, max, ERANGE},  // 2^N rejected
      {-two_n, min, 0},      // -2^N accepted, no error
      {two_n - static_cast<double>(step), static_cast<R>(max - (step - 1)), 0},
      {below_min, min, ERANGE},
      {2 * two_n, max, ERANGE},
      {-2 * two_n, min, ERANGE},
      {1e30, max, ERANGE},
      {-1e30, min, ERANGE},
      {-0.0, 0, 0},
      {2.5, static_cast<R>(round ? 3 : 2), 0},
      {-2.5, static_cast<R>(round ? -3 : -2), 0},
      {-0.5, static_cast<R>(round ? -1 : 0), 0},
      {inf, max, ERANGE},
      {-inf, min, ERANGE},
      // Saturation by the argument as passed: a NaN, whatever its sign bit,
      // is not greater than zero.
      {qnan, min, ERANGE},
      {neg_nan, min, ERANGE},
  };
  // Halves next to both ends, where T holds them (N = 31 in binary64, as
  // long has on Windows): 2^N - 0.5 rounds to 2^N, which is rejected, and
  // -2^N - 0.5 to -2^N - 1; truncated, both stay in range.
  if (n + 2 <= p) {
    cases.insert(cases.end(), {
                                  {two_n - 0.5, max, round ? ERANGE : 0},
                                  {two_n - 1.5, static_cast<R>(round ? max : max - 1), 0},
                                  {-two_n - 0.5, min, round ? ERANGE : 0},
                                  {-two_n + 0.5, static_cast<R>(round ? min : min + 1), 0},
                              });
  }
  return cases;
}

template <class R, class T, class F> void check_range(F fn, bool round) {
  for (const auto& c : range_cases<R, T>(round)) {
    const T x = static_cast<T>(c.x);
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(fn(x), c.expected);
    EXPECT_EQ(errno, c.err);
  }
}

TEST(Lround, EdgesOfTheAcceptedRange) {
  check_range<long, double>(varnel_lround, true);
  check_range<long, double>([](double x) { return varnel_lroundl(x); }, true);
  check_range<long, float>(varnel_lroundf, true);
}

TEST(Llround, EdgesOfTheAcceptedRange) {
  check_range<long long, double>(varnel_llround, true);
  check_range<long long, double>([](double x) { return varnel_llroundl(x); }, true);
  check_range<long long, float>(varnel_llroundf, true);
}

TEST(Itrunc, EdgesOfTheAcceptedRange) {
  check_range<int, double>([](double x) { return vm::itrunc(x, errno_policy()); }, false);
  check_range<int, float>([](float x) { return vm::itrunc(x, errno_policy()); }, false);
}

// Fixed-width cases: long long and int have the same width everywhere.
TEST(Llround, Binary64Values) {
  const int_case<long long> cases[] = {
      {9.223372036854775e18, 9223372036854774784LL, 0},  // 2^63 - 1024
      {0x1p+63, LLONG_MAX, ERANGE},
      {-0x1p+63, LLONG_MIN, 0},
      {-0x1.0000000000001p+63, LLONG_MIN, ERANGE},
      {0x1.fffffffffffffp+51, 4503599627370496LL, 0},  // 2^52 - 0.5
      {qnan, LLONG_MIN, ERANGE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(varnel_llround(c.x), c.expected);
    EXPECT_EQ(errno, c.err);
  }
}

TEST(Llround, Binary32Bounds) {
  const struct {
    float x;
    long long expected;
    int err;
  } cases[] = {
      {0x1.fffffep+62f, 9223371487098961920LL, 0},  // largest float below 2^63
      {0x1p+63f, LLONG_MAX, ERANGE},
      {-0x1p+63f, LLONG_MIN, 0},
      {-0x1.000002p+63f, LLONG_MIN, ERANGE},
      {0x1.fffffep+22f, 8388608LL, 0},  // 2^23 - 0.5
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(varnel_llroundf(c.x), c.expected);
    EXPECT_EQ(errno, c.err);
  }
}

TEST(Itrunc, Int32Values) {
  const int_case<int> cases[] = {
      {2147483647.9, INT_MAX, 0},
      {-2147483648.9, INT_MIN, 0},
      {2147483648.0, INT_MAX, ERANGE},
      {-2147483649.0, INT_MIN, ERANGE},
      {-0.9, 0, 0},
      {qnan, INT_MIN, ERANGE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    errno = 0;
    EXPECT_EQ(vm::itrunc(c.x, errno_policy()), c.expected);
    EXPECT_EQ(errno, c.err);
  }
  // round would carry 2147483647.5 to 2^31; trunc does not.
  errno = 0;
  EXPECT_EQ(vm::itrunc(2147483647.5, errno_policy()), INT_MAX);
  EXPECT_EQ(errno, 0);
}

// --- Strings handed to the actions ---------------------------------------

template <class F> void expect_reports(F call, std::initializer_list<const char*> functions) {
  varnel_test::expect_reports(call, error_kind::rounding,
                              "Value %1% can not be represented in the target integer type.", functions);
}

TEST(RoundingReports, EverySiteNamesItsFunction) {
  using rec = varnel_test::recording_policy;
  const char* const round_fn = "varnel::math::round<%1%>(%1%)";
  const char* const trunc_fn = "varnel::math::trunc<%1%>(%1%)";
  // long is 64 or 32 bits wide: its range is [-2^N, 2^N) with N from the type.
  const double long_bound = std::ldexp(1.0, std::numeric_limits<long>::digits);
  expect_reports([&](const rec& p) { vm::lround(-long_bound, p); }, {});
  // Out of range: one report from the range check.
  expect_reports([&](const rec& p) { vm::lround(long_bound, p); }, {"varnel::math::lround<%1%>(%1%)"});
  expect_reports([](const rec& p) { vm::llround(0x1p+63f, p); }, {"varnel::math::llround<%1%>(%1%)"});
  expect_reports([](const rec& p) { vm::itrunc(3e9, p); }, {"varnel::math::itrunc<%1%>(%1%)"});
  // Non-finite: reported by round or trunc, then again by the range check.
  expect_reports([](const rec& p) { vm::lround(qnan, p); }, {round_fn, "varnel::math::lround<%1%>(%1%)"});
  expect_reports([](const rec& p) { vm::llround(-inf, p); }, {round_fn, "varnel::math::llround<%1%>(%1%)"});
  expect_reports([](const rec& p) { vm::itrunc(finf, p); }, {trunc_fn, "varnel::math::itrunc<%1%>(%1%)"});
}

}  // namespace
