// Where varnel-math finds its reference data when no --data is given: at a
// fixed path relative to its own executable, the same in an installed tree
// (bin/ beside share/varnel-math/reference) and in a build tree, where the
// build stages the data at that path.  No absolute path is compiled in.
#include <filesystem>
#include <string>
#include <system_error>

#include "cli.hpp"

#if defined(_WIN32)
#include <windows.h>
#endif

#ifndef VARNEL_DATA_FROM_EXECUTABLE
#error "VARNEL_DATA_FROM_EXECUTABLE: the data directory relative to the executable's directory"
#endif

namespace varnel_cli {

namespace {

// The running program's own file; empty if the platform does not say.
std::filesystem::path executable_path() {
#if defined(_WIN32)
  std::wstring buffer(260, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return std::filesystem::path(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : p;
#endif
}

}  // namespace

std::string default_data_dir() {
  const std::filesystem::path exe = executable_path();
  if (exe.empty()) return {};
  return (exe.parent_path() / VARNEL_DATA_FROM_EXECUTABLE).lexically_normal().string();
}

}  // namespace varnel_cli
