// collect on Windows: the system's stack walker, RtlCaptureStackBackTrace,
// which reads the unwind data of every loaded module and allocates nothing.

#include <varnel/stacktrace/frames.hpp>

#include <windows.h>

namespace varnel::stacktrace::detail {

std::size_t this_thread_frames::collect(const void** out_frames, std::size_t max_frames_count,
                                        std::size_t skip) noexcept {
  // Both counts travel as 32-bit values: the upper halves are dropped.
  // The walker's count is 16 bits wide, so at most 65535 frames are asked
  // for: a larger capacity would let it store more than its count can say
  // (70010 frames stored would come back as 4474), and the caller would
  // take the frames beyond for unwritten.
  constexpr DWORD max_count = 0xFFFF;
  const DWORD capacity = static_cast<DWORD>(max_frames_count);
  // The walker starts at the return address into this function, so the
  // innermost frame lies inside collect; its count is the answer,
  // zero-extended.
  const WORD stored = RtlCaptureStackBackTrace(static_cast<DWORD>(skip), capacity < max_count ? capacity : max_count,
                                               const_cast<void**>(out_frames), nullptr);
  return stored;
}

}  // namespace varnel::stacktrace::detail
