// The batch library against the portable build's scalar exports (the
// portable twin): for every function of the catalogue in double and float,
// every element's result bits and errors[i] equal the scalar function's
// result and errno, and the count equals the number of elements that
// reported an error.  The program runs once per instruction-set level,
// VARNEL_MATH_ISA naming it (tests/batch/CMakeLists.txt).
//
// Arguments: special values (zeros, subnormals, the extremes, infinities,
// NaNs with payloads and signs, small integers and halves) and two
// neighbours on each side of each; the ends of the catalogue's domains;
// every point of the function's reference table (its ranges, and its
// thresholds with their neighbours); the thresholds of the kernels' own
// ranges with eight neighbours on each side; and VARNEL_BATCH_SAMPLES
// random ones (10^6 by default, divided by VARNEL_TEST_SCALE): uniform on
// the domains, log-uniform over all magnitudes, and random bit patterns.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/batch.h>
#include <varnel/math/elementary/portable.hpp>

#include "batch_support.hpp"
#include "catalogue.hpp"
#include "portable_twin.h"
#include "random.hpp"
#include "reference_data.hpp"

namespace {

using namespace varnel_batch_test;

std::size_t random_count() {
  std::size_t n = 1000000;
  if (const char* s = std::getenv("VARNEL_BATCH_SAMPLES")) n = std::strtoul(s, nullptr, 10);
  return n / test_scale();
}

// Two neighbours on each side of every value, for every value.
template <class T> void add_with_neighbours(std::vector<T>& v, T x) {
  T lo = x, hi = x;
  v.push_back(x);
  for (int k = 0; k < 2; ++k) {
    lo = std::nextafter(lo, -std::numeric_limits<T>::infinity());
    hi = std::nextafter(hi, std::numeric_limits<T>::infinity());
    v.push_back(lo);
    v.push_back(hi);
  }
}

template <class T> std::vector<T> special_values() {
  using L = std::numeric_limits<T>;
  std::vector<T> v;
  const T base[] = {T(0),         L::denorm_min(),
                    L::min(),     L::max(),
                    T(1),         T(0.5),
                    T(1.5),       T(2),
                    T(2.5),       T(3),
                    T(10),        T(0.75),
                    T(1e-5),      T(100),
                    T(1e10),      T(1e30),
                    L::min() / 4, L::epsilon(),
                    T(4.5),       T(27.5),
                    T(35.5),      T(170.5),
                    T(171.7),     T(1e6) + T(0.5),
                    T(8388607.5), T(4503599627370495.5)};
  for (T b : base) {
    add_with_neighbours(v, b);
    add_with_neighbours(v, -b);
  }
  for (int k = -40; k <= 40; ++k) add_with_neighbours(v, static_cast<T>(k) / 2);
  v.push_back(L::infinity());
  v.push_back(-L::infinity());
  for (std::uint64_t payload : {0x8000000000000ull, 0x8000000000123ull, 0x1ull, 0xFFFFFFFFFFFFFull}) {
    v.push_back(nan_with_payload<T>(payload, false));
    v.push_back(nan_with_payload<T>(payload, true));
  }
  return v;
}

// The thresholds of the kernels' own ranges that neither the special values
// nor the reference tables hold, for a run of neighbours around each: where
// a kernel's argument leaves its common case, and where the argument it
// passes to a lane form crosses that form's ranges (log's exact sum for
// k = -1..1, log1p's direct way for 1 + x in [offset, 2 offset)).
std::vector<double> kernel_thresholds(const std::string& name) {
  namespace pd = varnel::math::elementary::portable::detail;
  const double offset = pd::from_bits(pd::log_offset);
  const double near_end = 4 * offset;        // log's exact-sum range ends at 2.83
  const double k_zero_start = offset - 1;    // log1p's direct way: x from -0.292
  const double k_zero_end = 2 * offset - 1;  // up to 0.416
  const double square_overflow = std::sqrt(DBL_MAX);
  if (name == "acosh") {
    // x + sqrt(x^2 - 1) = near_end; y + sqrt(y^2 + 2y) = k_zero_end, y = x - 1;
    // x^2 overflowing, where the sum is infinite below -1.
    return {(near_end + 1 / near_end) / 2, 1 + k_zero_end * k_zero_end / (2 * (1 + k_zero_end)), square_overflow,
            -square_overflow};
  }
  if (name == "asinh") {
    // a + sqrt(a^2 + 1) = near_end and 1 + k_zero_end; a^2 and 4a^2
    // overflowing.
    const double u = 1 + k_zero_end;
    std::vector<double> v;
    for (const double t :
         {(near_end - 1 / near_end) / 2, (u * u - 1) / (2 * u), square_overflow, square_overflow / 2}) {
      v.push_back(t);
      v.push_back(-t);
    }
    return v;
  }
  if (name == "atanh") {
    // log1p(x) and log1p(-x) at the ends of the direct way.
    return {k_zero_end, -k_zero_end, k_zero_start, -k_zero_start};
  }
  return {};
}

// t and the eight values of T on each side of it.
template <class T> void add_run(std::vector<T>& v, T t) {
  v.push_back(t);
  T lo = t, hi = t;
  for (int k = 0; k < 8; ++k) {
    lo = std::nextafter(lo, -std::numeric_limits<T>::infinity());
    hi = std::nextafter(hi, std::numeric_limits<T>::infinity());
    v.push_back(lo);
    v.push_back(hi);
  }
}

template <class T> T draw(std::uint64_t& s, const varnel_catalogue::domain& d, bool y_axis) {
  const double lo = y_axis ? d.y_lo : d.x_lo, hi = y_axis ? d.y_hi : d.x_hi;
  return static_cast<T>(varnel_common::draw(s, lo, hi, d.log_uniform));
}

// Every argument a function of the catalogue meets here, in one list; for
// two arguments each x is paired with a y further along the list, and with
// a random one from the domains.
template <class T> struct arguments { std::vector<T> x, y; };

template <class T> arguments<T> arguments_for(const std::string& name, bool two) {
  const varnel_catalogue::function_info& info = *varnel_catalogue::find(name.c_str());
  const bool single = std::is_same_v<T, float>;
  const varnel_catalogue::domain* domains = single ? info.float_domains : info.domains;
  const int domain_count = single ? info.float_domain_count : info.domain_count;
  std::vector<T> v = special_values<T>();
  for (int k = 0; k < domain_count; ++k) {
    add_with_neighbours(v, static_cast<T>(domains[k].x_lo));
    add_with_neighbours(v, static_cast<T>(domains[k].x_hi));
  }
  for (const auto& p : reference_points(name + (single ? "f" : ""))) v.push_back(static_cast<T>(p));
  for (const double t : kernel_thresholds(name)) add_run(v, static_cast<T>(t));
  std::uint64_t s = varnel_common::seed_of("batch/" + name + (single ? "f" : ""));
  const std::size_t n = random_count();
  for (std::size_t i = 0; i < n; ++i) {
    switch (i % 3) {
      case 0:
        v.push_back(draw<T>(s, domains[(i / 3) % domain_count], false));
        break;
      case 1:
        v.push_back(random_magnitude<T>(s));
        break;
      default:
        v.push_back(random_pattern<T>(s));
        break;
    }
  }
  arguments<T> a;
  a.x = v;
  if (two) {
    a.y.resize(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
      a.y[i] = (i % 2 == 0) ? v[(i * 7919 + 13) % v.size()] : draw<T>(s, domains[i % domain_count], true);
    }
  }
  return a;
}

// Runs one function over the arguments, batch and scalar, and compares.
template <class T, class R, class Batch, class Scalar> void compare(const std::string& name, const arguments<T>& a,
                                                                    const std::vector<long double>* ly, Batch batch,
                                                                    Scalar scalar) {
  const std::size_t n = a.x.size();
  std::vector<R> r(n), r_no_errors(n);
  std::vector<int> errors(n, -1);
  errno = 0;
  const std::size_t count = batch(n, r.data(), errors.data());
  const std::size_t count_no_errors = batch(n, r_no_errors.data(), nullptr);
  std::size_t expected_count = 0, shown = 0;
  for (std::size_t i = 0; i < n; ++i) {
    errno = 0;
    const R want = scalar(i);
    const int want_errno = errno;
    expected_count += want_errno != 0;
    const bool same = bits_equal(r[i], want) && errors[i] == want_errno && bits_equal(r_no_errors[i], want);
    if (!same && shown++ < 8) {
      ADD_FAILURE() << name << " at " << describe(a.x[i]) << (a.y.empty() ? "" : ", " + describe(a.y[i]))
                    << (ly != nullptr ? ", y = " + describe_long((*ly)[i]) : "") << ": batch " << describe(r[i])
                    << " (error " << errors[i] << "), scalar " << describe(want) << " (errno " << want_errno << ")";
    }
  }
  EXPECT_EQ(shown, 0u) << name << ": " << shown << " of " << n << " elements differ";
  EXPECT_EQ(count, expected_count) << name;
  EXPECT_EQ(count_no_errors, expected_count) << name;
}

// One function in one precision.
struct subject {
  const char* name;
  bool single;
  void (*run)();
};

template <class T> std::vector<long double> toward_directions(const arguments<T>& a) {
  // The y of nexttoward: the partner as a long double, x itself, and where
  // long double is wider than double a value strictly between x and its
  // upper neighbour.
  std::vector<long double> y(a.x.size());
  for (std::size_t i = 0; i < a.x.size(); ++i) {
    const long double x = a.x[i];
    switch (i % 4) {
      case 0:
        y[i] = x;
        break;
      case 1:
        y[i] = between_neighbours(a.x[i]);
        break;
      default:
        y[i] = a.x[(i * 7919 + 13) % a.x.size()];
        break;
    }
  }
  return y;
}

#define VARNEL_SUBJECT_unary(name, T, S)                                                                              \
  [] {                                                                                                                \
    const auto a = arguments_for<T>(#name, false);                                                                    \
    compare<T, T>(                                                                                                    \
        #name #S, a, nullptr, [&](std::size_t n, T* r, int* e) { return varnel_##name##S##_n(n, a.x.data(), r, e); }, \
        [&](std::size_t i) { return varnel_portable_##name##S(a.x[i]); });                                            \
  }
#define VARNEL_SUBJECT_binary(name, T, S)                                                                   \
  [] {                                                                                                      \
    const auto a = arguments_for<T>(#name, true);                                                           \
    compare<T, T>(                                                                                          \
        #name #S, a, nullptr,                                                                               \
        [&](std::size_t n, T* r, int* e) { return varnel_##name##S##_n(n, a.x.data(), a.y.data(), r, e); }, \
        [&](std::size_t i) { return varnel_portable_##name##S(a.x[i], a.y[i]); });                          \
  }
#define VARNEL_SUBJECT_toward(name, T, S)                                                                  \
  [] {                                                                                                     \
    const auto a = arguments_for<T>(#name, false);                                                         \
    const std::vector<long double> y = toward_directions(a);                                               \
    std::vector<VARNEL_MATH_LONG_DOUBLE> yi(y.begin(), y.end());                                           \
    compare<T, T>(                                                                                         \
        #name #S, a, &y,                                                                                   \
        [&](std::size_t n, T* r, int* e) { return varnel_##name##S##_n(n, a.x.data(), yi.data(), r, e); }, \
        [&](std::size_t i) { return varnel_portable_##name##S(a.x[i], yi[i]); });                          \
  }
#define VARNEL_SUBJECT_to_long(name, T, S)                                                         \
  [] {                                                                                             \
    const auto a = arguments_for<T>(#name, false);                                                 \
    compare<T, long>(                                                                              \
        #name #S, a, nullptr,                                                                      \
        [&](std::size_t n, long* r, int* e) { return varnel_##name##S##_n(n, a.x.data(), r, e); }, \
        [&](std::size_t i) { return varnel_portable_##name##S(a.x[i]); });                         \
  }
#define VARNEL_SUBJECT_to_llong(name, T, S)                                                             \
  [] {                                                                                                  \
    const auto a = arguments_for<T>(#name, false);                                                      \
    compare<T, long long>(                                                                              \
        #name #S, a, nullptr,                                                                           \
        [&](std::size_t n, long long* r, int* e) { return varnel_##name##S##_n(n, a.x.data(), r, e); }, \
        [&](std::size_t i) { return varnel_portable_##name##S(a.x[i]); });                              \
  }
#define VARNEL_SUBJECTS(name, shape, road)                       \
  subject{#name, false, VARNEL_SUBJECT_##shape(name, double, )}, \
      subject{#name "f", true, VARNEL_SUBJECT_##shape(name, float, f)},

const subject subjects[] = {VARNEL_CATALOGUE_FUNCTIONS(VARNEL_SUBJECTS)};

class Identity : public testing::TestWithParam<subject> {};

TEST_P(Identity, EveryElementIsTheScalarResult) {
  expect_requested_level();
  GetParam().run();
}

INSTANTIATE_TEST_SUITE_P(Batch, Identity, testing::ValuesIn(subjects),
                         [](const testing::TestParamInfo<subject>& p) { return std::string(p.param.name); });

}  // namespace
