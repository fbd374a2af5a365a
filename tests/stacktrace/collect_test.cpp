#include "stacktrace/probes.hpp"

#include <varnel/stacktrace/frames.hpp>

#include <type_traits>

#include <gtest/gtest.h>

#include <pthread.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace {

using namespace varnel_test::stack;

constexpr std::size_t two_to_32 = std::size_t{1} << 32;

// collect stores its own frame first; with skip 1 the first frame is in the
// function that called it.
TEST(CollectTest, SkipZeroStartsInsideCollectAndSkipOneInItsCaller) {
  guarded_frames all(64), caller_first(64);
  errno = 0;
  ASSERT_GE(collect_at_depth(0, all.data(), all.room(), 0), 2u);
  ASSERT_GE(collect_at_depth(0, caller_first.data(), caller_first.room(), 1), 1u);
  EXPECT_EQ(errno, 0);  // the result is the only report

  // std::size_t as the demangler spells it: unsigned long on 64-bit
  // Linux, unsigned long long on Windows.
  const std::string size_type = std::is_same_v<std::size_t, unsigned long> ? "unsigned long" : "unsigned long long";
  EXPECT_EQ(function_name(all[0]), "varnel::stacktrace::detail::this_thread_frames::collect(void const**, " +
                                       size_type + ", " + size_type + ")");
  EXPECT_TRUE(in_collect(all[0]));
  EXPECT_TRUE(in_collect_at_depth(all[1])) << function_name(all[1]);
  EXPECT_TRUE(in_collect_at_depth(caller_first[0])) << function_name(caller_first[0]);
  // Both calls come from the same site, so the caller's return address is
  // the very same.
  EXPECT_EQ(caller_first[0], all[1]);
}

// One level of recursion adds exactly one frame, inserted between the frames
// of collect and those of the caller; everything further out is unchanged.
TEST(CollectTest, DeeperRecursionAddsFramesInnermostFirst) {
  constexpr unsigned max_depth = 12;
  std::vector<walk_request> requests;
  for (unsigned depth = 0; depth <= max_depth; ++depth) requests.push_back({depth, 128, 0});
  std::vector<guarded_frames> runs;
  const std::vector<std::size_t> counts = collect_each(requests, 128, runs);
  ASSERT_LT(counts[max_depth], runs[0].room());
  for (unsigned depth = 0; depth <= max_depth; ++depth) {
    SCOPED_TRACE(depth);
    const guarded_frames& f = runs[depth];
    ASSERT_EQ(counts[depth], counts[0] + depth);
    EXPECT_TRUE(in_collect(f[0]));
    for (std::size_t i = 1; i <= depth + 1; ++i)
      EXPECT_TRUE(in_collect_at_depth(f[i])) << i << ": " << function_name(f[i]);
    EXPECT_FALSE(in_collect_at_depth(f[depth + 2])) << function_name(f[depth + 2]);
    EXPECT_EQ(f.first_disturbed_outside(counts[depth]), guarded_frames::intact);
    if (depth == 0) continue;
    const guarded_frames& shallower = runs[depth - 1];
    // The two innermost frames (in collect, at the collect call site) are
    // the same at every depth; the rest is the shallower stack moved out
    // by one.
    EXPECT_EQ(f[0], shallower[0]);
    EXPECT_EQ(f[1], shallower[1]);
    for (std::size_t i = 2; i < counts[depth - 1]; ++i) {
      if (i == depth + 1)  // the driver's frame: its call site may be copied
        EXPECT_TRUE(same_function(f[i + 1], shallower[i]));
      else
        EXPECT_EQ(f[i + 1], shallower[i]) << i;
    }
  }
}

constexpr unsigned probe_depth = 3;

struct limits_case {
  const char* what;
  std::size_t capacity;
  std::size_t skip;
  std::size_t stored;  // expected result
  std::size_t first;   // index, in the full stack, of the first frame stored
};

TEST(CollectTest, CapacityAndSkipLimitsTheFramesStored) {
  constexpr std::size_t room = 256;
  std::vector<guarded_frames> probe;
  const std::size_t depth = collect_each({{probe_depth, room, 0}}, room, probe)[0];
  ASSERT_GT(depth, 6u);
  ASSERT_LT(depth, room);

  const std::vector<limits_case> cases = {
      {"whole stack", room, 0, depth, 0},
      {"capacity 0", 0, 0, 0, 0},
      {"capacity 0 with skip", 0, 3, 0, 0},
      {"capacity 1", 1, 0, 1, 0},
      {"capacity one below the depth", depth - 1, 0, depth - 1, 0},
      {"capacity equal to the depth", depth, 0, depth, 0},
      {"capacity one above the depth", depth + 1, 0, depth, 0},
      {"skip 1", room, 1, depth - 1, 1},
      {"skip 2 capacity 3", 3, 2, 3, 2},
      {"skip one below the depth", room, depth - 1, 1, depth - 1},
      {"skip equal to the depth", room, depth, 0, 0},
      {"skip above the depth", room, depth + 1, 0, 0},
      {"capacity 2^32", two_to_32, 0, 0, 0},
      {"capacity 2^32 + 3", two_to_32 + 3, 0, 3, 0},
      {"capacity 5 * 2^32 + 2", 5 * two_to_32 + 2, 0, 2, 0},
      {"skip 2^32", room, two_to_32, depth, 0},
      {"skip 2^32 + 2", room, two_to_32 + 2, depth - 2, 2},
      {"capacity 2^32 + 2 and skip 2^32 + 1", two_to_32 + 2, two_to_32 + 1, 2, 1},
      {"skip 2^32 - 1", room, two_to_32 - 1, 0, 0},
      {"skip 2^64 - 1", room, SIZE_MAX, 0, 0},
      // The low half of 2^64 - 1 is far above the depth: the stack ends
      // first, and nothing is stored beyond it.
      {"capacity 2^64 - 1", SIZE_MAX, 0, depth, 0},
  };
  std::vector<walk_request> requests;
  for (const limits_case& c : cases) requests.push_back({probe_depth, c.capacity, c.skip});
  std::vector<guarded_frames> runs;
  const std::vector<std::size_t> counts = collect_each(requests, room, runs);
  const guarded_frames& whole = runs[0];
  ASSERT_EQ(counts[0], depth);
  for (std::size_t k = 0; k < cases.size(); ++k) {
    const limits_case& c = cases[k];
    SCOPED_TRACE(c.what);
    ASSERT_EQ(counts[k], c.stored);
    EXPECT_EQ(runs[k].first_disturbed_outside(c.stored), guarded_frames::intact);
    for (std::size_t i = 0; i < c.stored; ++i) {
      if (c.first + i == probe_depth + 2)  // the driver's frame
        EXPECT_TRUE(same_function(runs[k][i], whole[c.first + i]));
      else
        EXPECT_EQ(runs[k][i], whole[c.first + i]) << i;
    }
  }
}

// A stack deeper than 65535 frames: the count is 16 bits wide, so at most
// 65535 frames are stored, whatever the capacity says.
struct deep_walk {
  std::size_t capacity;
  guarded_frames frames{70'010};
  std::size_t stored = 0;
};

void* walk_deep_stack(void* argument) {
  deep_walk& walk = *static_cast<deep_walk*>(argument);
  walk.stored = collect_at_depth(70'000, walk.frames.data(), walk.capacity, 0);
  return nullptr;
}

#if defined(__SANITIZE_THREAD__)
#define VARNEL_TEST_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VARNEL_TEST_TSAN 1
#endif
#endif

TEST(CollectTest, NoMoreThan65535FramesAreStored) {
#ifdef VARNEL_TEST_TSAN
  GTEST_SKIP() << "ThreadSanitizer keeps its own copy of the call stack, "
                  "and it holds fewer than 65536 frames";
#endif
  const std::size_t capacities[] = {70'010, two_to_32 + 65'536, 65'535};
  for (std::size_t capacity : capacities) {
    SCOPED_TRACE(capacity);
    deep_walk walk{capacity};
    // A thread of its own gives the recursion all the stack it needs.
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, std::size_t{256} << 20), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, walk_deep_stack, &walk), 0);
    ASSERT_EQ(pthread_join(thread, nullptr), 0);
    pthread_attr_destroy(&attributes);

    ASSERT_EQ(walk.stored, 65'535u);
    EXPECT_EQ(walk.frames.first_disturbed_outside(65'535), guarded_frames::intact);
    EXPECT_TRUE(in_collect(walk.frames[0]));
    EXPECT_TRUE(in_collect_at_depth(walk.frames[1]));
    EXPECT_TRUE(in_collect_at_depth(walk.frames[65'534]));
  }
}

}  // namespace
