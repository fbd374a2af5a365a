// Varnel stack-frame capture: the calling thread's return addresses into a
// caller-supplied array, and the dump operations that write nothing.
//
//   varnel_stacktrace_dump   (link -lvarnel_stacktrace_dump)
//
// Nothing here allocates, throws or keeps state; every function may run in
// any number of threads at once.
#ifndef VARNEL_STACKTRACE_FRAMES_HPP
#define VARNEL_STACKTRACE_FRAMES_HPP

#include <cstddef>

#if defined(__GNUC__) || defined(__clang__)
#define VARNEL_STACKTRACE_API __attribute__((visibility("default")))
#else
#define VARNEL_STACKTRACE_API
#endif

namespace varnel::stacktrace::detail {

class this_thread_frames {
 public:
  // Stores the return addresses of the calling thread's stack, innermost
  // first, into out_frames[0 .. n) and returns n.  The innermost address
  // lies inside collect itself; the first `skip` addresses are omitted and
  // at most max_frames_count are stored.  Both counts are taken modulo
  // 2^32, and n never exceeds 65535.
  VARNEL_STACKTRACE_API static std::size_t collect(const void** out_frames, std::size_t max_frames_count,
                                                   std::size_t skip) noexcept;
};

// Writing frames out is not supported: both overloads ignore their arguments,
// touch no file and return 0, the number of frames written.
VARNEL_STACKTRACE_API std::size_t dump(void* fd, const void* const* frames, std::size_t frames_count) noexcept;
VARNEL_STACKTRACE_API std::size_t dump(const char* file, const void* const* frames, std::size_t frames_count) noexcept;

}  // namespace varnel::stacktrace::detail

#endif  // VARNEL_STACKTRACE_FRAMES_HPP
