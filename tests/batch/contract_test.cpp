// What every batch function promises besides its values: any length and
// alignment, in place, nothing touched outside the arrays or for n == 0,
// errors[i] and the count, errno as the scalar loop leaves it, the level
// named by varnel_batch_isa, and many threads at once.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
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

// Arguments that take every road of the functions: ordinary values, the
// special ones, and values on each function's error paths.
template <class T> std::vector<T> pool() {
  const T inf = std::numeric_limits<T>::infinity();
  return {T(0.5),   T(-1.5), T(2.25), T(-0.0),  T(3),
          T(1e-40), T(-7.5), T(0.75), T(40),    T(-200.5),
          T(1.25),  inf,     T(-1),   T(4.5),   -inf,
          T(1e30),  T(0.1),  T(-0.3), T(1),     std::numeric_limits<T>::quiet_NaN(),
          T(6.5),   T(-2),   T(10),   T(0.0),   T(27.5),
          T(-30),   T(1.1),  T(2),    T(-1e-5), T(171.7),
          T(-3.5),  T(0.9),  T(1e-3), T(5)};
}

constexpr std::size_t max_n = 33;
constexpr std::size_t max_offset = 8;                   // elements past a 64-byte boundary
constexpr std::uint64_t guard = 0xA5A5A5A5A5A5A5A5ull;  // the pattern outside the arrays

// A buffer of 64-byte-aligned storage, filled with the guard pattern.
struct buffer {
  std::vector<std::uint64_t> words = std::vector<std::uint64_t>(8 * 16, guard);
  unsigned char* at(std::size_t byte_offset) {
    const auto base = reinterpret_cast<std::uintptr_t>(words.data());
    return reinterpret_cast<unsigned char*>((base + 63) / 64 * 64) + byte_offset;
  }
  bool guards_intact(const unsigned char* begin, const unsigned char* end) const {
    const auto* first = reinterpret_cast<const unsigned char*>(words.data());
    const auto* last = first + words.size() * sizeof(std::uint64_t);
    for (const unsigned char* p = first; p < last; ++p) {
      if (p >= begin && p < end) continue;
      if (*p != 0xA5) return false;
    }
    return true;
  }
};

// n from 0 to 33 at every offset, out of place and (where r has x's type)
// in place: each element the scalar result, errors[i] its errno, nothing
// outside the arrays touched.
template <class T, class R, class Batch, class Scalar>
void check_lengths(const std::string& name, bool can_be_in_place, Batch batch, Scalar scalar) {
  const std::vector<T> p = pool<T>();
  for (std::size_t n = 0; n <= max_n; ++n) {
    for (std::size_t off = 0; off < max_offset; ++off) {
      for (int in_place = 0; in_place <= (can_be_in_place ? 1 : 0); ++in_place) {
        buffer bx, by, br, be;
        T* x = reinterpret_cast<T*>(bx.at(off * sizeof(T)));
        T* y = reinterpret_cast<T*>(by.at(off * sizeof(T)));
        R* r = in_place ? reinterpret_cast<R*>(x) : reinterpret_cast<R*>(br.at(off * sizeof(R)));
        int* e = reinterpret_cast<int*>(be.at(off * sizeof(int)));
        for (std::size_t i = 0; i < n; ++i) {
          x[i] = p[(i + off * 5) % p.size()];
          y[i] = p[(i * 7 + off + 3) % p.size()];
        }
        std::vector<T> xs(x, x + n), ys(y, y + n);
        const std::size_t count = batch(n, x, y, r, e);
        std::size_t expected = 0;
        for (std::size_t i = 0; i < n; ++i) {
          errno = 0;
          const R want = scalar(xs[i], ys[i]);
          const int want_errno = errno;
          expected += want_errno != 0;
          ASSERT_TRUE(bits_equal(r[i], want) && e[i] == want_errno)
              << name << " n=" << n << " offset=" << off << (in_place ? " in place" : "") << " i=" << i << ": batch "
              << describe(r[i]) << " (" << e[i] << "), scalar " << describe(want) << " (" << want_errno << ")";
        }
        ASSERT_EQ(count, expected) << name << " n=" << n;
        const auto* rb = reinterpret_cast<const unsigned char*>(r);
        const auto* xb = reinterpret_cast<const unsigned char*>(x);
        const auto* eb = reinterpret_cast<const unsigned char*>(e);
        ASSERT_TRUE(be.guards_intact(eb, eb + n * sizeof(int))) << name << " wrote outside errors, n=" << n;
        const auto* yb = reinterpret_cast<const unsigned char*>(y);
        ASSERT_TRUE(bx.guards_intact(xb, xb + n * sizeof(T))) << name << " wrote outside x";
        ASSERT_TRUE(by.guards_intact(yb, yb + n * sizeof(T))) << name << " wrote outside y";
        // memcmp may not be handed the null data() of an empty vector, even for no bytes.
        if (n != 0) {
          ASSERT_EQ(std::memcmp(y, ys.data(), n * sizeof(T)), 0) << name << " wrote into y";
        }
        if (!in_place) {
          ASSERT_TRUE(br.guards_intact(rb, rb + n * sizeof(R))) << name << " wrote outside r";
          if (n != 0) {
            ASSERT_EQ(std::memcmp(x, xs.data(), n * sizeof(T)), 0) << name << " wrote into x";
          }
        }
      }
    }
  }
}

#define VARNEL_LENGTHS_unary(name, T, S)                                                                  \
  check_lengths<T, T>(                                                                                    \
      #name #S, true,                                                                                     \
      [](std::size_t n, const T* x, const T*, T* r, int* e) { return varnel_##name##S##_n(n, x, r, e); }, \
      [](T x, T) { return varnel_portable_##name##S(x); })
#define VARNEL_LENGTHS_binary(name, T, S)                                                                      \
  check_lengths<T, T>(                                                                                         \
      #name #S, true,                                                                                          \
      [](std::size_t n, const T* x, const T* y, T* r, int* e) { return varnel_##name##S##_n(n, x, y, r, e); }, \
      [](T x, T y) { return varnel_portable_##name##S(x, y); })
#define VARNEL_LENGTHS_toward(name, T, S)                       \
  check_lengths<T, T>(                                          \
      #name #S, true,                                           \
      [](std::size_t n, const T* x, const T* y, T* r, int* e) { \
        std::vector<VARNEL_MATH_LONG_DOUBLE> ly(y, y + n);      \
        return varnel_##name##S##_n(n, x, ly.data(), r, e);     \
      },                                                        \
      [](T x, T y) { return varnel_portable_##name##S(x, static_cast<VARNEL_MATH_LONG_DOUBLE>(y)); })
#define VARNEL_LENGTHS_to_long(name, T, S)                                                                   \
  check_lengths<T, long>(                                                                                    \
      #name #S, false,                                                                                       \
      [](std::size_t n, const T* x, const T*, long* r, int* e) { return varnel_##name##S##_n(n, x, r, e); }, \
      [](T x, T) { return varnel_portable_##name##S(x); })
#define VARNEL_LENGTHS_to_llong(name, T, S)                                                                       \
  check_lengths<T, long long>(                                                                                    \
      #name #S, false,                                                                                            \
      [](std::size_t n, const T* x, const T*, long long* r, int* e) { return varnel_##name##S##_n(n, x, r, e); }, \
      [](T x, T) { return varnel_portable_##name##S(x); })

TEST(BatchContract, EveryLengthOffsetAndInPlace) {
#define VARNEL_LENGTHS(name, shape, road) \
  VARNEL_LENGTHS_##shape(name, double, ); \
  VARNEL_LENGTHS_##shape(name, float, f);
  VARNEL_CATALOGUE_FUNCTIONS(VARNEL_LENGTHS)
#undef VARNEL_LENGTHS
}

TEST(BatchContract, ZeroLengthTouchesNothing) {
  errno = 12345;
  EXPECT_EQ(varnel_tgamma_n(0, nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(varnel_hypotf_n(0, nullptr, nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(varnel_nexttoward_n(0, nullptr, nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(varnel_llround_n(0, nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(errno, 12345);
}

// errno after the call: untouched without errors, else the code of the
// last element that reported one, as after the scalar loop.
TEST(BatchContract, ErrnoIsTheLastReportedCode) {
  struct row {
    std::vector<double> x;
    std::size_t count;
    int errno_after;  // with errno 12345 before
  };
  const row rows[] = {
      {{0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5}, 0, 12345},
      {{0.5, -1.0, 2.5}, 1, EDOM},                                       // pole
      {{0.5, -1.0, 200.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0}, 2, ERANGE},     // pole, then overflow
      {{200.0, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, -2.0, 1.0}, 2, EDOM},  // overflow, then pole
      {{-1.0, -2.0, -3.0, -4.0, -5.0, -6.0, -7.0, -8.0, 1e-320}, 9, ERANGE},
  };
  for (const row& c : rows) {
    std::vector<double> r(c.x.size());
    std::vector<int> e(c.x.size());
    errno = 12345;
    EXPECT_EQ(varnel_tgamma_n(c.x.size(), c.x.data(), r.data(), e.data()), c.count);
    EXPECT_EQ(errno, c.errno_after) << "first argument " << c.x[0];
    errno = 12345;
    EXPECT_EQ(varnel_tgamma_n(c.x.size(), c.x.data(), r.data(), nullptr), c.count);
    EXPECT_EQ(errno, c.errno_after);
  }
  // A function whose vector path covers everything leaves errno alone too.
  const double x[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  double r[8];
  errno = 12345;
  EXPECT_EQ(varnel_fmax_n(8, x, x, r, nullptr), 0u);
  EXPECT_EQ(errno, 12345);
}

TEST(BatchContract, LevelIsTheOneAskedForOrTheBestThere) {
  expect_requested_level();
  // The same answer on every call.
  EXPECT_EQ(std::string(varnel_batch_isa()), std::string(varnel_batch_isa()));
}

// Threads calling at once (the first call, which chooses the level,
// included): every thread gets the single-threaded results.
TEST(BatchThreads, ManyThreadsAtOnce) {
  std::vector<double> x(4099);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = (static_cast<double>(i) - 2000.0) / 37.0;
  std::vector<double> want(x.size());
  std::vector<int> want_e(x.size());
  std::vector<std::vector<double>> got(8, std::vector<double>(x.size()));
  std::vector<std::vector<int>> got_e(8, std::vector<int>(x.size()));
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 20; ++round) varnel_lgamma_n(x.size(), x.data(), got[t].data(), got_e[t].data());
    });
  }
  for (auto& th : threads) th.join();
  varnel_lgamma_n(x.size(), x.data(), want.data(), want_e.data());
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(std::memcmp(got[t].data(), want.data(), want.size() * sizeof(double)), 0) << "thread " << t;
    EXPECT_EQ(got_e[t], want_e) << "thread " << t;
  }
}

}  // namespace
