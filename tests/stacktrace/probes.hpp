// Call chains of known shape for the stack-capture tests, and attribution of
// a code address to the function that contains it.
#ifndef VARNEL_TEST_STACKTRACE_PROBES_HPP
#define VARNEL_TEST_STACKTRACE_PROBES_HPP

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// noipa keeps the optimiser from inlining, cloning or splitting a probe and
// from using what it knows of its body at the call sites: each call leaves
// exactly one frame, attributed to the probe's own symbol.
#if defined(__clang__)
#define VARNEL_TEST_OPAQUE __attribute__((noinline))
#else
#define VARNEL_TEST_OPAQUE __attribute__((noipa))
#endif

namespace varnel_test::stack {

// Recurses `depth` times through itself, then calls collect from a single
// call site.  With skip 0 and enough room the frames are: one in collect,
// depth + 1 in collect_at_depth, then those of the caller.  Never inlined,
// cloned or turned into a loop, so every level keeps a frame of its own.
std::size_t collect_at_depth(unsigned depth, const void** out, std::size_t capacity, std::size_t skip);

// Frames taken by collect_each: collect_at_depth(depth, ..., capacity, skip).
struct walk_request {
  unsigned depth;
  std::size_t capacity;
  std::size_t skip;
};

// An array of frames with guard words on both sides: every slot starts out holding a
// distinct value that no code address has, so any store shows.
class guarded_frames {
 public:
  static constexpr std::size_t guard = 4;

  explicit guarded_frames(std::size_t room) : slots_(room + 2 * guard) {
    for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i] = marker(i);
  }
  const void** data() { return slots_.data() + guard; }
  const void* operator[](std::size_t i) const { return slots_[guard + i]; }
  std::size_t room() const { return slots_.size() - 2 * guard; }

  static constexpr std::ptrdiff_t intact = PTRDIFF_MAX;

  // Index (relative to data(), so negative in the front guard) of the
  // first slot outside [0, stored) that no longer holds its marker, or
  // `intact`.
  std::ptrdiff_t first_disturbed_outside(std::size_t stored) const {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      const bool written = i >= guard && i < guard + stored;
      if (!written && slots_[i] != marker(i))
        return static_cast<std::ptrdiff_t>(i) - static_cast<std::ptrdiff_t>(guard);
    }
    return intact;
  }

 private:
  static const void* marker(std::size_t i) {
    return reinterpret_cast<const void*>(std::uintptr_t{0xA5A5'0000'0000'0001} + 8 * i);
  }
  std::vector<const void*> slots_;
};

// Runs every request from one loop, each into a fresh guarded array of
// `room` slots appended to `out`, and returns the counts.  All walks see the
// same stack outside collect_at_depth; only the return address into this
// driver (index depth + 2) may differ, should the compiler copy the call
// site, but it always lies inside collect_each.
std::vector<std::size_t> collect_each(const std::vector<walk_request>& requests, std::size_t room,
                                      std::vector<guarded_frames>& out);

// Start address of the function whose code contains `address` (null when no
// symbol covers it).  The test executables export their symbols, so their
// own functions are found as well as the libraries'.
const void* function_containing(const void* address);

// Start address of a function given by pointer.
const void* function_start(const void* function);

// Demangled name of the function containing `address` ("" when none).
std::string function_name(const void* address);

// True when both addresses lie inside one and the same function.  Frames
// taken from one loop of a driver agree exactly except at the driver's own
// frame: the compiler may copy the call site (peeling, unrolling).
bool same_function(const void* a, const void* b);

// True when `address` lies inside collect_at_depth.
bool in_collect_at_depth(const void* address);

// True when `address` lies inside the library's collect.
bool in_collect(const void* address);

}  // namespace varnel_test::stack

#endif  // VARNEL_TEST_STACKTRACE_PROBES_HPP
