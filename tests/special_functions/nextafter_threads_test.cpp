// The rescaling threshold is the libraries' one shared write: several
// threads making their first call at the same moment must all see one
// stored value.  Run under ThreadSanitizer (label "threads"); each test is
// discovered and run in a process of its own, so every first call here is
// the process's first use of the threshold.
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/nextafter.hpp>

#include "support/bits.hpp"

namespace {

using varnel_test::bits_of;

constexpr int thread_count = 8;

// Starts every thread's work at once, so the first calls really overlap.
template <class Work> void run_together(Work work) {
  std::atomic<int> waiting{thread_count};
  std::vector<std::thread> threads;
  for (int t = 0; t < thread_count; ++t) {
    threads.emplace_back([&, t] {
      waiting.fetch_sub(1);
      while (waiting.load() > 0) std::this_thread::yield();
      work(t);
    });
  }
  for (auto& th : threads) th.join();
}

template <class T> void first_calls_agree(T expected) {
  const T* seen[thread_count] = {};
  T values[thread_count] = {};
  run_together([&](int t) {
    const T& threshold = varnel::math::detail::rescale_threshold<T>();
    seen[t] = &threshold;
    values[t] = threshold;
  });
  for (int t = 0; t < thread_count; ++t) {
    EXPECT_EQ(seen[t], seen[0]) << "thread " << t;  // one stored object
    EXPECT_EQ(bits_of(values[t]), bits_of(expected)) << "thread " << t;
  }
}

TEST(RescaleThreshold, ConcurrentFirstCallsAgreeDouble) { first_calls_agree<double>(0x1p-968); }
TEST(RescaleThreshold, ConcurrentFirstCallsAgreeFloat) { first_calls_agree<float>(0x1p-101f); }

// The libraries hold their own thresholds: first calls through the exports,
// all on the rescaled path (x below the threshold), from every thread.
TEST(RescaleThreshold, ConcurrentFirstExportCallsAgree) {
  std::uint64_t up[thread_count], down[thread_count], upl[thread_count];
  std::uint32_t upf[thread_count];
  int errors[thread_count];
  run_together([&](int t) {
    errno = 0;
    up[t] = bits_of(varnel_nextafter(1e-300, 1.0));
    down[t] = bits_of(varnel_nexttoward(1e-300, 0.0L));
    upf[t] = bits_of(varnel_nextafterf(1e-35f, 1.0f));
    upl[t] = bits_of(static_cast<double>(varnel_nextafterl(static_cast<long double>(1e-300), 1.0L)));
    errors[t] = errno;
  });
  for (int t = 0; t < thread_count; ++t) {
    EXPECT_EQ(up[t], bits_of(1.0000000000000002e-300));
    EXPECT_EQ(down[t], bits_of(9.999999999999999e-301));
    EXPECT_EQ(upf[t], bits_of(1.0000000897489909e-35f));
    EXPECT_EQ(upl[t], bits_of(1.0000000000000002e-300));
    EXPECT_EQ(errors[t], 0);
  }
}

}  // namespace
