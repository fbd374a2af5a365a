// The classification instantiations of the three libraries, called from a
// C++ unit of the C program (c_api_test.c).  A long double is classified in
// the libraries' format; a caller whose long double is wider than that
// (MinGW's default on Windows) reaches it through binary64, so its results
// are those of the value rounded to binary64, and there naming the
// template argument does not compile.
#include <cmath>
#include <cstdio>
#include <limits>
#include <type_traits>

#include <varnel/math/tr1.hpp>

namespace {

namespace tr1 = varnel::math::tr1;

int failures = 0;

void check(bool ok, const char* what, double x) {
  if (!ok) {
    std::fprintf(stderr, "tr1_calls: %s failed for %a\n", what, x);
    ++failures;
  }
}

// True when tr1::isnan<T> can be named with its template argument.
template <class T, class = void> struct explicitly_callable : std::false_type {};
template <class T> struct explicitly_callable<T, std::void_t<decltype(tr1::isnan<T>(T()))>> : std::true_type {};

#if defined(_WIN32)
// The libraries' long double is binary64 there.
constexpr bool wider_long_double_caller = std::numeric_limits<long double>::digits > 53;
#else
// The libraries take the platform's long double.
constexpr bool wider_long_double_caller = false;
#endif

template <class T> int expected_class(T x) {
  if (x != x) return tr1::fp_nan;
  if (std::fabs(x) == std::numeric_limits<T>::infinity()) return tr1::fp_infinite;
  if (x == 0) return tr1::fp_zero;
  return std::fabs(x) < std::numeric_limits<T>::min() ? tr1::fp_subnormal : tr1::fp_normal;
}

}  // namespace

extern "C" int check_classification(void) {
  const long double values[] = {0.0L,
                                -0.0L,
                                1.0L,
                                -2.5L,
                                5e-324L,
                                0x1p-1022L,
                                1e300L,
                                std::numeric_limits<long double>::infinity(),
                                -std::numeric_limits<long double>::infinity(),
                                std::numeric_limits<long double>::quiet_NaN(),
                                1.0L + 0x1p-60L};
  for (const long double v : values) {
    const double d = static_cast<double>(v);
    const float f = static_cast<float>(d);
    check(tr1::fpclassify(d) == expected_class(d), "fpclassify<double>", d);
    check(tr1::isnan(d) == (d != d), "isnan<double>", d);
    check(tr1::isinf(d) == (d == HUGE_VAL || d == -HUGE_VAL), "isinf<double>", d);
    check(tr1::isfinite(d) == (d == d && d != HUGE_VAL && d != -HUGE_VAL), "isfinite<double>", d);
    check(tr1::fpclassify(f) == expected_class(f), "fpclassify<float>", d);
    check(tr1::isnormal(f) == (expected_class(f) == tr1::fp_normal), "isnormal<float>", d);
    check(tr1::signbit(f) == std::signbit(f), "signbit<float>", d);
    // long double in the libraries' format: the value itself where the
    // caller's long double is the libraries' (5e-324 is normal as an x87
    // value), its binary64 rounding for a caller with a wider one.
    const int ld_class = wider_long_double_caller ? expected_class(d) : expected_class(v);
    check(tr1::fpclassify(v) == ld_class, "fpclassify<long double>", d);
    check(tr1::isnan(v) == (ld_class == tr1::fp_nan), "isnan<long double>", d);
    check(tr1::isinf(v) == (ld_class == tr1::fp_infinite), "isinf<long double>", d);
    check(tr1::isfinite(v) == (ld_class != tr1::fp_nan && ld_class != tr1::fp_infinite), "isfinite<long double>", d);
    check(tr1::isnormal(v) == (ld_class == tr1::fp_normal), "isnormal<long double>", d);
    check(tr1::signbit(v) == std::signbit(d), "signbit<long double>", d);
  }
  static_assert(explicitly_callable<double>::value && explicitly_callable<float>::value);
  static_assert(explicitly_callable<long double>::value != wider_long_double_caller,
                "tr1::isnan<long double> is deleted exactly for a caller with a wider long double");
  return failures;
}
