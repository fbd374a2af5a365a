// collect on the toolchain runtime's unwinder (ELF platforms), which reads
// the unwind tables of every loaded object and needs no allocation of ours.

#include <varnel/stacktrace/frames.hpp>

#include <cstdint>
#include <unwind.h>

namespace varnel::stacktrace::detail {
namespace {

// The count result is 16 bits wide: a walk stops after this many frames so
// that the count it returns is the number actually stored.
constexpr std::uint32_t max_count = 0xFFFF;

// Everything one walk needs lives in the caller's frame; nothing outlives it.
struct walk_state {
  const void** out;
  std::uint32_t capacity;
  std::uint32_t to_skip;
  std::uint32_t stored;
};

// Called once per frame, innermost first.  The first call reports the frame
// of the unwinder's entry point, whose return address lies in collect: that
// is the innermost frame the caller sees, so nothing is dropped here besides
// the requested omissions.
_Unwind_Reason_Code record_frame(_Unwind_Context* context, void* argument) {
  walk_state& walk = *static_cast<walk_state*>(argument);
  const _Unwind_Ptr ip = _Unwind_GetIP(context);
  // A zero return address marks the end of the stack (the outermost frame
  // of a thread), not a frame.
  if (ip == 0) return _URC_END_OF_STACK;
  if (walk.to_skip != 0) {
    --walk.to_skip;
    return _URC_NO_REASON;
  }
  walk.out[walk.stored] = reinterpret_cast<const void*>(ip);
  ++walk.stored;
  // Stop as soon as the array is full; the unwinder must not call back
  // again, as there is no room for another frame.
  return walk.stored == walk.capacity ? _URC_END_OF_STACK : _URC_NO_REASON;
}

}  // namespace

std::size_t this_thread_frames::collect(const void** out_frames, std::size_t max_frames_count,
                                        std::size_t skip) noexcept {
  // Both counts travel as 32-bit values: the upper halves are dropped.
  std::uint32_t capacity = static_cast<std::uint32_t>(max_frames_count);
  if (capacity > max_count) capacity = max_count;
  // Capacity 0 stores nothing; returning before the walk also keeps the
  // callback from ever seeing a full array it has not filled.
  if (capacity == 0) return 0;
  walk_state walk{out_frames, capacity, static_cast<std::uint32_t>(skip), 0};
  _Unwind_Backtrace(record_frame, &walk);
  // The walk ends on its own or by the callback's request; either way the
  // number stored is the answer, and the unwinder's status adds nothing.
  return walk.stored;
}

}  // namespace varnel::stacktrace::detail
