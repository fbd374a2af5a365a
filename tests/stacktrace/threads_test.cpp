#include "stacktrace/probes.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace varnel_test::stack {

constexpr std::size_t room = 128;
constexpr int rounds = 200;

struct thread_record {
  unsigned depth = 0;
  std::size_t count = 0;
  const void* frames[room + 1] = {};  // one slot past the capacity, a guard word
  int differing_rounds = 0;
};

const void* const guard_word = reinterpret_cast<const void*>(std::uintptr_t{0x5A5A'5A5A'5A5A'5A5A});

// The entry function of every worker; exported (not in an anonymous
// namespace) and never inlined, so that the workers' outer frames can be
// attributed to it.
VARNEL_TEST_OPAQUE void collect_concurrently(thread_record& record, std::atomic<int>& waiting) {
  record.frames[room] = guard_word;
  // Start together, so that the walks overlap.
  waiting.fetch_sub(1);
  while (waiting.load() != 0) {
  }
  // Every walk must agree with the first to the last frame, except that the
  // compiler may give the first one a call site of its own in this
  // function (loop peeling).
  for (int r = 0; r <= rounds; ++r) {
    const void* again[room];
    const void** out = r == 0 ? record.frames : again;
    const std::size_t n = collect_at_depth(record.depth, out, room, 0);
    if (r == 0) {
      record.count = n;
      continue;
    }
    bool same = n == record.count;
    for (std::size_t i = 0; same && i < n; ++i)
      same = i == record.depth + 2 ? same_function(again[i], record.frames[i]) : again[i] == record.frames[i];
    record.differing_rounds += same ? 0 : 1;
  }
}

namespace {

// Each worker recurses to a depth of its own and walks its stack over and
// over while the others do the same: every walk must find that thread's
// frames, ending in its own entry function, and the same ones every time.
TEST(CollectThreadsTest, EachThreadSeesItsOwnStack) {
  constexpr int workers = 4;
  std::vector<thread_record> records(workers);
  std::atomic<int> waiting{workers};
  std::vector<std::thread> threads;
  for (int t = 0; t < workers; ++t) {
    records[t].depth = 3 + 5 * static_cast<unsigned>(t);
    threads.emplace_back(collect_concurrently, std::ref(records[t]), std::ref(waiting));
  }
  for (std::thread& thread : threads) thread.join();

  const void* entry = function_start(reinterpret_cast<const void*>(&collect_concurrently));
  ASSERT_NE(entry, nullptr);
  for (int t = 0; t < workers; ++t) {
    const thread_record& r = records[t];
    SCOPED_TRACE(t);
    ASSERT_LT(r.count, room);
    EXPECT_EQ(r.count, records[0].count + (r.depth - records[0].depth));
    EXPECT_TRUE(in_collect(r.frames[0]));
    for (std::size_t i = 1; i <= r.depth + 1; ++i)
      EXPECT_TRUE(in_collect_at_depth(r.frames[i])) << i << ": " << function_name(r.frames[i]);
    EXPECT_EQ(function_containing(r.frames[r.depth + 2]), entry) << function_name(r.frames[r.depth + 2]);
    EXPECT_EQ(r.frames[room], guard_word);
    EXPECT_EQ(r.differing_rounds, 0);
  }
}

}  // namespace
}  // namespace varnel_test::stack
