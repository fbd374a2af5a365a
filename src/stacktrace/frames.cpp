// The dump operations of the stack-frame capture library; collect is the
// platform's (collect_unwind.cpp, collect_windows.cpp).

#include <varnel/stacktrace/frames.hpp>

namespace varnel::stacktrace::detail {
namespace {

// Both dump overloads end here: there is no writer, so no frame is written.
std::size_t write_nothing(const void*, const void* const*, std::size_t) noexcept { return 0; }

}  // namespace

std::size_t dump(void* fd, const void* const* frames, std::size_t frames_count) noexcept {
  return write_nothing(fd, frames, frames_count);
}

std::size_t dump(const char* file, const void* const* frames, std::size_t frames_count) noexcept {
  return write_nothing(file, frames, frames_count);
}

}  // namespace varnel::stacktrace::detail
