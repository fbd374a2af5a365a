// Many threads call every export at once; each sees exactly the results and
// errno of a single-threaded run, so no call shares state with another and
// errno stays per thread.
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/surface.hpp"
#include "support/bits.hpp"

namespace {

using varnel_test::bits_of;
using varnel_test::from_bits;

struct outcome {
  std::uint64_t bits;
  int err;
  bool operator==(const outcome& o) const { return bits == o.bits && err == o.err; }
};

// All outcomes of one pass over the inputs, in a fixed order.
std::vector<outcome> run_all(const std::vector<double>& xs) {
  std::vector<outcome> out;
  out.reserve(xs.size() * 64);
  auto note = [&](auto r) {
    const int e = errno;
    std::uint64_t b;
    if constexpr (std::is_integral_v<decltype(r)>)
      b = static_cast<std::uint64_t>(r);
    else if constexpr (sizeof(r) == 4)
      b = bits_of(static_cast<float>(r));
    else
      b = bits_of(static_cast<double>(r));
    out.push_back({b, e});
  };
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double x = xs[i], y = xs[(i * 31 + 7) % xs.size()];
    const float xf = static_cast<float>(x), yf = static_cast<float>(y);
    for (const auto& e : varnel_test::unary_exports) {
      errno = 0;
      note(e.d(x));
      errno = 0;
      note(e.f(xf));
      errno = 0;
      note(e.l(x));
    }
    for (const auto& e : varnel_test::binary_exports) {
      errno = 0;
      note(e.d(x, y));
      errno = 0;
      note(e.f(xf, yf));
      errno = 0;
      note(e.l(x, y));
    }
    for (const auto& e : varnel_test::to_long_exports) {
      errno = 0;
      note(e.d(x));
      errno = 0;
      note(e.f(xf));
      errno = 0;
      note(e.l(x));
    }
    for (const auto& e : varnel_test::to_llong_exports) {
      errno = 0;
      note(e.d(x));
      errno = 0;
      note(e.f(xf));
      errno = 0;
      note(e.l(x));
    }
    for (const auto& e : varnel_test::toward_exports) {
      errno = 0;
      note(e.d(x, y));
      errno = 0;
      note(e.f(xf, y));
      errno = 0;
      note(e.l(x, y));
    }
  }
  return out;
}

TEST(Threads, EveryExportFromManyThreadsAtOnce) {
  std::vector<double> xs = {0.0,
                            -0.0,
                            1.0,
                            -1.0,
                            0.5,
                            2.5,
                            -2.5,
                            1e-310,
                            1e308,
                            -1e308,
                            171.7,
                            -170.5,
                            28.0,
                            1e10,
                            HUGE_VAL,
                            -HUGE_VAL,
                            from_bits(0x7FF8000000000000u)};
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> u(-180.0, 180.0);
  for (int i = 0; i < 400; ++i) xs.push_back(i % 3 ? u(rng) : from_bits(rng()));
  const std::vector<outcome> expected = run_all(xs);

  constexpr int thread_count = 8;
  std::atomic<int> mismatches{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < thread_count; ++t) {
    threads.emplace_back([&] {
      while (!go.load()) std::this_thread::yield();
      for (int round = 0; round < 3; ++round)
        if (!(run_all(xs) == expected)) ++mismatches;
    });
  }
  go = true;
  for (auto& t : threads) t.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
