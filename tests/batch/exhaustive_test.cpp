// The long check, on request (VARNEL_EXHAUSTIVE=1): every one of the 2^32
// float patterns through every float batch function, against the portable
// twin's scalar member, at the level the run asks for (VARNEL_MATH_ISA).
// A second argument (y of copysign, fmax, fmin, hypot, nextafter,
// nexttoward) is the pattern with its halves swapped, so that every
// pattern meets a partner of another sign, class and size.  The patterns
// are split between the processor's threads; at about 20 ns per scalar call
// the whole walk takes tens of minutes per level.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/batch.h>

#include "batch_support.hpp"
#include "catalogue.hpp"
#include "portable_twin.h"

namespace {

using namespace varnel_batch_test;

constexpr std::size_t block = 4096;

float float_of(std::uint32_t b) {
  float f;
  std::memcpy(&f, &b, sizeof f);
  return f;
}

// Walks patterns [first, last) in blocks; returns the number of elements
// whose result bits or errno differ, and the first such pattern in *where.
template <class R, class Batch, class Scalar>
std::uint64_t walk(std::uint64_t first, std::uint64_t last, Batch batch, Scalar scalar, std::uint32_t* where) {
  std::vector<float> x(block), y(block);
  std::vector<R> r(block);
  std::vector<int> e(block);
  std::uint64_t differ = 0;
  for (std::uint64_t b = first; b < last; b += block) {
    const std::size_t n = static_cast<std::size_t>(last - b < block ? last - b : block);
    for (std::size_t i = 0; i < n; ++i) {
      const auto p = static_cast<std::uint32_t>(b + i);
      x[i] = float_of(p);
      y[i] = float_of((p << 16) | (p >> 16));
    }
    batch(n, x.data(), y.data(), r.data(), e.data());
    for (std::size_t i = 0; i < n; ++i) {
      errno = 0;
      const R want = scalar(x[i], y[i]);
      if (!bits_equal(want, r[i]) || errno != e[i]) {
        if (differ++ == 0) *where = static_cast<std::uint32_t>(b + i);
      }
    }
  }
  return differ;
}

template <class R, class Batch, class Scalar> void walk_all(const char* name, Batch batch, Scalar scalar) {
  const unsigned threads = std::thread::hardware_concurrency() > 0 ? std::thread::hardware_concurrency() : 1;
  const std::uint64_t total = std::uint64_t{1} << 32, share = total / threads;
  std::vector<std::uint64_t> differ(threads);
  std::vector<std::uint32_t> where(threads);
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t) {
    const std::uint64_t first = t * share, last = t + 1 == threads ? total : first + share;
    pool.emplace_back([&, t, first, last] { differ[t] = walk<R>(first, last, batch, scalar, &where[t]); });
  }
  for (auto& th : pool) th.join();
  for (unsigned t = 0; t < threads; ++t)
    EXPECT_EQ(differ[t], 0u) << name << ": " << differ[t] << " patterns differ, the first 0x" << std::hex << where[t];
}

#define VARNEL_EXHAUSTIVE_unary(name)                                                                        \
  walk_all<float>(                                                                                           \
      #name "f",                                                                                             \
      [](std::size_t n, const float* x, const float*, float* r, int* e) { varnel_##name##f_n(n, x, r, e); }, \
      [](float x, float) { return varnel_portable_##name##f(x); })
#define VARNEL_EXHAUSTIVE_binary(name)                                                                            \
  walk_all<float>(                                                                                                \
      #name "f",                                                                                                  \
      [](std::size_t n, const float* x, const float* y, float* r, int* e) { varnel_##name##f_n(n, x, y, r, e); }, \
      [](float x, float y) { return varnel_portable_##name##f(x, y); })
#define VARNEL_EXHAUSTIVE_toward(name)                                      \
  walk_all<float>(                                                          \
      #name "f",                                                            \
      [](std::size_t n, const float* x, const float* y, float* r, int* e) { \
        VARNEL_MATH_LONG_DOUBLE ly[block];                                  \
        for (std::size_t i = 0; i < n; ++i) ly[i] = y[i];                   \
        varnel_##name##f_n(n, x, ly, r, e);                                 \
      },                                                                    \
      [](float x, float y) { return varnel_portable_##name##f(x, static_cast<VARNEL_MATH_LONG_DOUBLE>(y)); })
#define VARNEL_EXHAUSTIVE_to_long(name)                                                                                \
  walk_all<long>(                                                                                                      \
      #name "f", [](std::size_t n, const float* x, const float*, long* r, int* e) { varnel_##name##f_n(n, x, r, e); }, \
      [](float x, float) { return varnel_portable_##name##f(x); })
#define VARNEL_EXHAUSTIVE_to_llong(name)                                                                         \
  walk_all<long long>(                                                                                           \
      #name "f",                                                                                                 \
      [](std::size_t n, const float* x, const float*, long long* r, int* e) { varnel_##name##f_n(n, x, r, e); }, \
      [](float x, float) { return varnel_portable_##name##f(x); })

TEST(BatchExhaustive, EveryFloat) {
  const char* on = std::getenv("VARNEL_EXHAUSTIVE");
  if (on == nullptr || std::string(on) != "1") GTEST_SKIP() << "set VARNEL_EXHAUSTIVE=1 to walk all 2^32 floats";
  expect_requested_level();
#define VARNEL_EXHAUSTIVE(name, shape, road) VARNEL_EXHAUSTIVE_##shape(name);
  VARNEL_CATALOGUE_FUNCTIONS(VARNEL_EXHAUSTIVE)
#undef VARNEL_EXHAUSTIVE
}

}  // namespace
