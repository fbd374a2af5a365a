#include "stacktrace/probes.hpp"

#include <varnel/stacktrace/frames.hpp>

namespace varnel_test::stack {

VARNEL_TEST_OPAQUE std::size_t collect_at_depth(unsigned depth, const void** out, std::size_t capacity,
                                                std::size_t skip) {
  const std::size_t n = depth == 0 ? varnel::stacktrace::detail::this_thread_frames::collect(out, capacity, skip)
                                   : collect_at_depth(depth - 1, out, capacity, skip);
  // Work after the call: neither call may become a jump that reuses this
  // frame (a sibling call would hide the level from the walk).
  asm volatile("" ::: "memory");
  return n;
}

VARNEL_TEST_OPAQUE std::vector<std::size_t> collect_each(const std::vector<walk_request>& requests, std::size_t room,
                                                         std::vector<guarded_frames>& out) {
  std::vector<std::size_t> counts;
  // Reserved up front, so that the loop does little besides walking.
  out.reserve(out.size() + requests.size());
  counts.reserve(requests.size());
  for (const walk_request& r : requests) {
    out.emplace_back(room);
    counts.push_back(collect_at_depth(r.depth, out.back().data(), r.capacity, r.skip));
  }
  return counts;
}

bool same_function(const void* a, const void* b) {
  const void* start = function_containing(a);
  return start != nullptr && start == function_containing(b);
}

bool in_collect_at_depth(const void* address) {
  const void* probe = function_start(reinterpret_cast<const void*>(&collect_at_depth));
  return probe != nullptr && function_containing(address) == probe;
}

bool in_collect(const void* address) {
  const void* collect =
      function_start(reinterpret_cast<const void*>(&varnel::stacktrace::detail::this_thread_frames::collect));
  return collect != nullptr && function_containing(address) == collect;
}

}  // namespace varnel_test::stack
