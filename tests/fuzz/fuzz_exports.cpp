// libFuzzer target: arbitrary bytes become the arguments of every export.
// Whatever the bit patterns, a call must not crash or trip a sanitizer,
// must leave errno untouched or set to EDOM or ERANGE, must leave the
// rounding mode and exception masks as they were, and may return a NaN only
// for a NaN argument or together with EDOM.  The same bytes, read as arrays
// of up to 33 arguments, go through the batch form of the picked function
// (double and float), whose every element must be the portable build's
// scalar result (the portable twin) with its errno.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include <varnel/math/batch.h>
#include <varnel/math/c99.h>
#include <varnel/math/tr1.hpp>

#include "catalogue.hpp"
#include "portable_twin.h"

#include "support/surface.hpp"
#include "support/fp_controls.hpp"

namespace {

struct reader {
  const std::uint8_t* data;
  std::size_t size;
  template <class T> T take() {
    T v{};
    const std::size_t n = size < sizeof(T) ? size : sizeof(T);
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
  }
};

using varnel_test::current_fp_controls;

[[noreturn]] void fail(const char* what, const char* name) {
  // No formatting machinery: the fuzzer reports the crash and the input.
  (void)what;
  (void)name;
  std::abort();
}

template <class R>
void check(const char* name, R r, bool nan_argument, int err, const varnel_test::fp_controls& before) {
  if (err != 0 && err != EDOM && err != ERANGE) fail("errno", name);
  if (current_fp_controls() != before) fail("floating-point controls", name);
  if constexpr (std::is_floating_point_v<R>) {
    if (std::isnan(r) && !nan_argument && err != EDOM) fail("NaN result", name);
  }
}

template <class F, class... A> void run(const char* name, F f, A... args) {
  const bool nan_argument = (std::isnan(static_cast<long double>(args)) || ...);
  const varnel_test::fp_controls before = current_fp_controls();
  errno = 0;
  const auto r = f(args...);
  check(name, r, nan_argument, errno, before);
}

// The batch form against the portable twin, element by element: bits of
// the result and errno.  Arguments: the input's bytes as T, from the
// first and (for y) a later offset.
template <class T, class R, class Batch, class Scalar>
void check_batch(const char* name, const std::uint8_t* data, std::size_t size, Batch batch, Scalar scalar) {
  T x[33], y[33];
  const std::size_t n = size / sizeof(T) > 33 ? 33 : size / sizeof(T);
  std::memcpy(x, data, n * sizeof(T));
  for (std::size_t i = 0; i < n; ++i) std::memcpy(&y[i], data + (i * 5 + 3) % (size - sizeof(T) + 1), sizeof(T));
  R r[33];
  int e[33];
  const std::size_t count = batch(n, x, y, r, e);
  std::size_t expected = 0;
  for (std::size_t i = 0; i < n; ++i) {
    errno = 0;
    const R want = scalar(x[i], y[i]);
    expected += errno != 0;
    if (std::memcmp(&want, &r[i], sizeof want) != 0 || e[i] != errno) fail("batch element", name);
  }
  if (count != expected) fail("batch count", name);
}

#define VARNEL_FUZZ_BATCH_unary(name, T, S)                                                               \
  check_batch<T, T>(                                                                                      \
      #name, data, size,                                                                                  \
      [](std::size_t n, const T* x, const T*, T* r, int* e) { return varnel_##name##S##_n(n, x, r, e); }, \
      [](T x, T) { return varnel_portable_##name##S(x); })
#define VARNEL_FUZZ_BATCH_binary(name, T, S)                                                                   \
  check_batch<T, T>(                                                                                           \
      #name, data, size,                                                                                       \
      [](std::size_t n, const T* x, const T* y, T* r, int* e) { return varnel_##name##S##_n(n, x, y, r, e); }, \
      [](T x, T y) { return varnel_portable_##name##S(x, y); })
#define VARNEL_FUZZ_BATCH_toward(name, T, S)                    \
  check_batch<T, T>(                                            \
      #name, data, size,                                        \
      [](std::size_t n, const T* x, const T* y, T* r, int* e) { \
        VARNEL_MATH_LONG_DOUBLE ly[33];                         \
        for (std::size_t i = 0; i < n; ++i) ly[i] = y[i];       \
        return varnel_##name##S##_n(n, x, ly, r, e);            \
      },                                                        \
      [](T x, T y) { return varnel_portable_##name##S(x, static_cast<VARNEL_MATH_LONG_DOUBLE>(y)); })
#define VARNEL_FUZZ_BATCH_to_long(name, T, S)                                                                \
  check_batch<T, long>(                                                                                      \
      #name, data, size,                                                                                     \
      [](std::size_t n, const T* x, const T*, long* r, int* e) { return varnel_##name##S##_n(n, x, r, e); }, \
      [](T x, T) { return varnel_portable_##name##S(x); })
#define VARNEL_FUZZ_BATCH_to_llong(name, T, S)                                                                    \
  check_batch<T, long long>(                                                                                      \
      #name, data, size,                                                                                          \
      [](std::size_t n, const T* x, const T*, long long* r, int* e) { return varnel_##name##S##_n(n, x, r, e); }, \
      [](T x, T) { return varnel_portable_##name##S(x); })

// The batch forms of function k of the catalogue.
void check_batch_forms(unsigned k, const std::uint8_t* data, std::size_t size) {
  unsigned i = 0;
#define VARNEL_FUZZ_BATCH(name, shape, road)   \
  if (i++ == k) {                              \
    VARNEL_FUZZ_BATCH_##shape(name, double, ); \
    VARNEL_FUZZ_BATCH_##shape(name, float, f); \
  }
  VARNEL_CATALOGUE_FUNCTIONS(VARNEL_FUZZ_BATCH)
#undef VARNEL_FUZZ_BATCH
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  reader in{data + 1, size - 1};
  const unsigned pick = data[0];
  const double x = in.take<double>();
  const double y = in.take<double>();
  const long double yl = static_cast<long double>(in.take<double>());
  const float xf = static_cast<float>(x), yf = static_cast<float>(y);
  namespace tr1 = varnel::math::tr1;
  if (size > 8) check_batch_forms(pick % VARNEL_CATALOGUE_FUNCTION_COUNT, data + 1, size - 1);

  // The first byte picks a member: three per export (double, float, long
  // double), shape by shape, then classification.
  unsigned p = pick;
  auto picked_from = [&p](const auto& table) {
    const unsigned n = 3 * static_cast<unsigned>(std::size(table));
    if (p < n) return true;
    p -= n;
    return false;
  };
  auto one_argument = [&](const auto& e) {
    if (p % 3 == 0) run(e.name, e.d, x);
    if (p % 3 == 1) run(e.name, e.f, xf);
    if (p % 3 == 2) run(e.name, e.l, static_cast<long double>(x));
    return 0;
  };
  if (picked_from(varnel_test::unary_exports)) return one_argument(varnel_test::unary_exports[p / 3]);
  if (picked_from(varnel_test::to_long_exports)) return one_argument(varnel_test::to_long_exports[p / 3]);
  if (picked_from(varnel_test::to_llong_exports)) return one_argument(varnel_test::to_llong_exports[p / 3]);
  if (picked_from(varnel_test::binary_exports)) {
    const auto& e = varnel_test::binary_exports[p / 3];
    if (p % 3 == 0) run(e.name, e.d, x, y);
    if (p % 3 == 1) run(e.name, e.f, xf, yf);
    if (p % 3 == 2) run(e.name, e.l, static_cast<long double>(x), static_cast<long double>(y));
    return 0;
  }
  if (picked_from(varnel_test::toward_exports)) {
    const auto& e = varnel_test::toward_exports[p / 3];
    if (p % 3 == 0) run(e.name, e.d, x, yl);
    if (p % 3 == 1) run(e.name, e.f, xf, yl);
    if (p % 3 == 2) run(e.name, e.l, static_cast<long double>(x), yl);
    return 0;
  }
  // Classification of raw patterns, the native long double included
  // (bytes that form no valid x87 value).
  long double raw = 0;
  std::memcpy(&raw, data + 1, size - 1 < 10 ? size - 1 : 10);
  const varnel_test::fp_controls before = current_fp_controls();
  errno = 0;
  volatile int sink = tr1::fpclassify(x) + tr1::fpclassify(xf) + tr1::fpclassify(raw) + tr1::isnan(raw) +
                      tr1::isinf(raw) + tr1::isfinite(raw) + tr1::isnormal(raw) + tr1::signbit(raw) + tr1::isnormal(xf);
  (void)sink;
  if (errno != 0) fail("errno", "classification");
  if (current_fp_controls() != before) fail("floating-point controls", "classification");
  run("copysignl", varnel_copysignl, raw, static_cast<long double>(y));
  run("fmaxl", varnel_fmaxl, raw, static_cast<long double>(y));
  run("fminl", varnel_fminl, raw, static_cast<long double>(y));
  return 0;
}
