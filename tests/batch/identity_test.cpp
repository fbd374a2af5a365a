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
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/batch.h>
#include <varnel/math/special_functions/detail/lanczos.hpp>
#include <varnel/math/special_functions/erf.hpp>
#include <varnel/math/tools/limits.hpp>
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
  return scaled(n);
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
  // Where the kernels change road: the ends of the 32- and 64-bit integer
  // ranges of lround and llround (2^31 - 1/2 rounds out of a 32-bit long,
  // -2^63 is the one value at the bound of long long); 2^52 and 2^23, from
  // which every value is integral; the rescaling bound of the next-value
  // functions, the smallest normal times 2^(digits + 1); and 2^1020, from
  // which cbrt rearranges its step.
  const int digits = L::digits;
  const T thresholds[] = {std::ldexp(T(1), 31) - T(0.5),
                          std::ldexp(T(1), 31),
                          std::ldexp(T(1), 31) + T(0.5),
                          std::ldexp(T(1), 62),
                          std::ldexp(T(1), 63),
                          std::ldexp(T(1), 64),
                          std::ldexp(T(1), digits - 1),
                          std::ldexp(T(1), digits),
                          std::ldexp(L::min(), digits + 1),
                          std::ldexp(T(1), L::max_exponent - 4)};
  for (T b : thresholds) {
    add_with_neighbours(v, b);
    add_with_neighbours(v, -b);
  }
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
std::vector<double> own_range_thresholds(const std::string& name) {
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

template <class T> T draw(std::uint64_t& s, const varnel_catalogue::domain& d, bool y_axis) {
  const double lo = y_axis ? d.y_lo : d.x_lo, hi = y_axis ? d.y_hi : d.x_hi;
  return static_cast<T>(varnel_common::draw(s, lo, hi, d.log_uniform));
}

// The argument in (lo, hi] at which the scalar function f starts or stops
// reporting an error, by bisection over the values of T (f reports at one
// end and not at the other, and changes once between).
template <class T, class F> T error_boundary(F f, T lo, T hi) {
  const auto reports = [&](T x) {
    errno = 0;
    (void)f(x);
    return errno != 0;
  };
  const bool at_lo = reports(lo);
  EXPECT_NE(at_lo, reports(hi)) << "no change of report between " << describe(lo) << " and " << describe(hi);
  for (;;) {
    const T mid = lo + (hi - lo) / 2;
    if (mid == lo || mid == hi) return hi;
    (reports(mid) == at_lo ? lo : hi) = mid;
  }
}

// The arguments where the kernels of erf, erfc, tgamma and lgamma change
// road or give lanes to the scalar function, which the lists above meet only
// by chance: each with its neighbours and, but for the bisected ones, with
// both signs.
template <class T> std::vector<T> kernel_thresholds(const std::string& name) {
  namespace d = varnel::math::detail;
  namespace t = varnel::math::tools;
  using L = std::numeric_limits<T>;
  const bool single = std::is_same_v<T, float>;
  std::vector<T> v;
  const auto add = [&](double x) {
    add_with_neighbours(v, static_cast<T>(x));
    add_with_neighbours(v, -static_cast<T>(x));
  };
  const auto scalar = [&](T x) -> T {
    if constexpr (std::is_same_v<T, double>) {
      return name == "erf"      ? varnel_portable_erf(x)
             : name == "erfc"   ? varnel_portable_erfc(x)
             : name == "tgamma" ? varnel_portable_tgamma(x)
                                : varnel_portable_lgamma(x);
    } else {
      return name == "erf"      ? varnel_portable_erff(x)
             : name == "erfc"   ? varnel_portable_erfcf(x)
             : name == "tgamma" ? varnel_portable_tgammaf(x)
                                : varnel_portable_lgammaf(x);
    }
  };
  // Where narrow_result starts or stops reporting, between the given ends.
  const auto bisect = [&](T lo, T hi) { add_with_neighbours(v, error_boundary<T>(scalar, lo, hi)); };
  if (name == "erf" || name == "erfc") {
    // The intervals of |x|, the two cut-offs, and sqrt(512), from which
    // exp(-x*x) leaves exp's main path.
    for (double x : {d::erf_tiny, 0.5, 1.5, 2.5, 4.5, d::erf_cutoff, d::erfc_cutoff, 22.627416997969522, 26.5, 27.0})
      add(x);
    if (name == "erf") {
      bisect(L::denorm_min(), L::min());  // erf of a subnormal x is normal from 0.886 min on
    } else {
      bisect(single ? T(9) : T(26), single ? T(10) : T(27));  // erfc(x) subnormal in T
      bisect(T(27), T(28));                                   // erfc(x) exactly zero
    }
  } else if (name == "tgamma") {
    // The integers of the factorial table and past it, and halves; the
    // series below 2^-26; the split power from 141.97 and the bound of the
    // kernel below the overflow at 171.62; the reflection from -20 down.
    for (int k = 1; k <= 172; ++k) {
      add(k);
      add(k + 0.5);
    }
    for (double x : {t::root_epsilon<double>(), 141.5, 141.9754, 171.6, 170.6, 170.9, 171.3}) add(x);
    // Shifts from -20 < x < 0 that end within 2^-26 of zero.
    for (int k = 1; k < 20; ++k) {
      for (double e : {0x1p-27, 0x1p-26, 0x1p-25}) {
        add(k + e);
        add(k - e);
      }
    }
    bisect(T(single ? 35 : 171), T(single ? 36 : 172));  // overflow
    // Subnormal results of the reflection, between the poles.
    for (int k = 34; k <= 45; ++k) {
      for (double f : {0.01, 0.25, 0.5, 0.75, 0.99}) add(k + f);
    }
    for (int k = 168; k <= 172; ++k) {
      for (double f : {0.01, 0.25, 0.5, 0.75, 0.99}) add(k + f);
    }
  } else if (name == "lgamma") {
    // The zeros at 1 and 2 and the ranges of lgamma_small (below 1, up to
    // 1.5, up to 2, the recurrence from 3 to 15), 15, 100, the correction's
    // end near 2.6e15, 1e16, the scaled ratio's threshold, the reflection's
    // bound 2^31; the series below 2^-26.
    for (double x : {1.0,          2.0,          0.999,
                     1.001,        1.499,        1.501,
                     1.999,        2.001,        2.999,
                     3.001,        14.5,         15.0,
                     99.5,         100.0,        2.6109e15,
                     2.611e15,     1e16,         d::lanczos_ratio_scaled_threshold,
                     2147483647.5, 2147483648.0, t::root_epsilon<double>()})
      add(x);
    for (int k = 3; k < 16; ++k) add(k);
    bisect(T(single ? 1e36 : 1e305), T(single ? 1e37 : 1e306));  // overflow
  }
  return v;
}

// Every argument a function of the catalogue meets here, in one list; for
// two arguments each x is paired with a y further along the list, and with
// a random one from the domains.
template <class T> struct arguments { std::vector<T> x, y; };

// Pairs that the pairing above meets only by chance, with both signs on
// either side and the neighbours of y: y just at the bound below which
// hypot gives x (x * epsilon >= y), the arguments whose hypot overflows
// just above max_value / sqrt(2), an infinity against a NaN; and for the
// next-value functions the first value of a binade stepped toward and
// away from zero, the rescaling bound and the largest value stepped
// either way, equal arguments and zeros of either sign.
template <class T> std::vector<std::pair<T, T>> threshold_pairs() {
  using L = std::numeric_limits<T>;
  const T eps = L::epsilon();
  const T plain_low = std::ldexp(L::min(), L::digits + 1);
  const T root_half_max = L::max() / std::sqrt(T(2));
  std::vector<std::pair<T, T>> base = {{T(1), eps},
                                       {T(1.5), T(1.5) * eps},
                                       {T(3), T(3) * eps},
                                       {T(1e10), T(1e10) * eps},
                                       {T(1), T(2) * eps},
                                       {T(1), eps / 2},
                                       {root_half_max, root_half_max},
                                       {L::max(), T(1)},
                                       {L::max(), L::max()},
                                       {L::infinity(), L::quiet_NaN()},
                                       {T(1), T(0)},
                                       {T(1), T(2)},
                                       {T(2), T(1)},
                                       {T(0.5), T(0)},
                                       {plain_low, T(0)},
                                       {plain_low, T(1)},
                                       {L::max(), L::infinity()},
                                       {L::max(), T(0)},
                                       {L::min(), T(0)},
                                       {T(1), T(1)},
                                       {T(0), T(0)},
                                       {T(0), -T(0)},
                                       {T(3), L::quiet_NaN()},
                                       {L::quiet_NaN(), T(3)},
                                       {T(1), L::infinity()}};
  std::vector<std::pair<T, T>> pairs;
  for (const auto& p : base) {
    for (int sx = 0; sx < 2; ++sx) {
      for (int sy = 0; sy < 2; ++sy) {
        const T x = sx != 0 ? -p.first : p.first;
        const T y = sy != 0 ? -p.second : p.second;
        pairs.emplace_back(x, y);
        pairs.emplace_back(std::nextafter(x, T(0)), y);
        pairs.emplace_back(x, std::nextafter(y, L::infinity()));
        pairs.emplace_back(x, std::nextafter(y, -L::infinity()));
      }
    }
  }
  return pairs;
}

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
  for (T x : kernel_thresholds<T>(name)) v.push_back(x);
  for (const double t : own_range_thresholds(name)) add_with_neighbours(v, static_cast<T>(t), 8);
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
    for (const auto& p : threshold_pairs<T>()) {
      a.x.push_back(p.first);
      a.y.push_back(p.second);
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

// y of nexttoward that compare with x in every way the kernels tell apart:
// -x, zeros of either sign, a value just below x (strictly between x and
// its lower neighbour where long double is wider), and where long double is
// the x87 format as the interface passes it, the encodings that compare as
// unordered or that the kernels leave to the scalar comparison: denormals,
// pseudo-denormals, unnormals, pseudo-infinities, and infinities.
template <class T> long double special_direction(T x, std::size_t k) {
  const long double lx = x;
  switch (k % 12) {
    case 0:
      return -lx;
    case 1:
      return 0.0L;
    case 2:
      return -0.0L;
    case 3: {
      const T down = std::nextafter(x, -std::numeric_limits<T>::infinity());
      return (lx + static_cast<long double>(down)) / 2;
    }
    case 4:
      return std::numeric_limits<long double>::infinity();
    case 5:
      return -std::numeric_limits<long double>::infinity();
    default:
      break;
  }
#if VARNEL_MATH_LDBL_MANT_DIG == 64 && !VARNEL_MATH_WIDE_LONG_DOUBLE_CALLER
  // significand (with its integer bit), sign and exponent
  static const std::pair<std::uint64_t, std::uint16_t> encodings[] = {
      {0x0000000000000001ull, 0x0000},  // the least denormal
      {0x8000000000000000ull, 0x0000},  // a pseudo-denormal
      {0x4000000000000000ull, 0x3FFF},  // an unnormal
      {0x0000000000000000ull, 0x7FFF},  // a pseudo-infinity
      {0x8000000000000000ull, 0xC000},  // -2, a normal value
      {0x8000000000000001ull, 0x3FFF},  // 1 and 2^-63
  };
  long double y = 0;
  const auto& e = encodings[k % 12 - 6];
  std::memcpy(&y, &e.first, sizeof e.first);
  std::memcpy(reinterpret_cast<unsigned char*>(&y) + 8, &e.second, sizeof e.second);
  return y;
#else
  return lx;
#endif
}

template <class T> std::vector<long double> toward_directions(const arguments<T>& a) {
  // The y of nexttoward: the partner as a long double, x itself, where long
  // double is wider than double a value strictly between x and its upper
  // neighbour, and the special directions above.
  std::vector<long double> y(a.x.size());
  for (std::size_t i = 0; i < a.x.size(); ++i) {
    const long double x = a.x[i];
    switch (i % 8) {
      case 0:
      case 4:
        y[i] = x;
        break;
      case 1:
      case 5:
        y[i] = between_neighbours(a.x[i]);
        break;
      case 7:
        y[i] = special_direction(a.x[i], i / 8);
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
