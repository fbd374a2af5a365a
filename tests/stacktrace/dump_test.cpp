#include <varnel/stacktrace/frames.hpp>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using varnel::stacktrace::detail::dump;
using varnel::stacktrace::detail::this_thread_frames;

struct entry_state {
  std::uintmax_t size;
  fs::file_time_type mtime;
  fs::perms permissions;
  std::string content;
  bool operator==(const entry_state& o) const {
    return size == o.size && mtime == o.mtime && permissions == o.permissions && content == o.content;
  }
};

std::string read_file(const std::string& path) {
  std::string content;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[256];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    std::fclose(f);
  }
  return content;
}

// Name, size, modification time, permissions and content of every entry of
// a directory.
std::map<std::string, entry_state> snapshot(const std::string& dir) {
  std::map<std::string, entry_state> entries;
  std::error_code error;
  for (const fs::directory_entry& e : fs::directory_iterator(dir, error)) {
    const fs::path& path = e.path();
    entries[path.filename().string()] = {e.is_regular_file() ? fs::file_size(path) : 0, fs::last_write_time(path),
                                         fs::status(path).permissions(), read_file(path.string())};
  }
  return entries;
}

// A pipe whose read end can be asked, without waiting, whether anything
// was written into it.
struct probe_pipe {
  int ends[2] = {-1, -1};
  bool open() {
#if defined(_WIN32)
    return _pipe(ends, 4096, _O_BINARY) == 0;
#else
    return pipe(ends) == 0 && fcntl(ends[0], F_SETFL, O_NONBLOCK) == 0;
#endif
  }
  bool empty() const {
#if defined(_WIN32)
    DWORD available = 0;
    const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(ends[0]));
    return PeekNamedPipe(h, nullptr, 0, nullptr, &available, nullptr) && available == 0;
#else
    char byte;
    errno = 0;
    return read(ends[0], &byte, 1) == -1 && errno == EAGAIN;
#endif
  }
  ~probe_pipe() {
    for (int fd : ends)
      if (fd >= 0) close(fd);
  }
};

class DumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    const fs::path dir =
        fs::temp_directory_path() / ("varnel_dump_test." + std::to_string(seed()) + "." +
                                     std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    ASSERT_TRUE(fs::create_directory(dir));
    dir_ = dir.generic_string();
    existing_ = dir_ + "/existing.txt";
    FILE* f = std::fopen(existing_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("frames were never written here\n", f);
    std::fclose(f);
    frames_count_ = this_thread_frames::collect(frames_, 32, 0);
    ASSERT_GT(frames_count_, 0u);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string dir_;
  std::string existing_;
  const void* frames_[32] = {};
  std::size_t frames_count_ = 0;
};

TEST_F(DumpTest, FileNameOverloadReturnsZeroAndTouchesNoFile) {
  const std::map<std::string, entry_state> before = snapshot(dir_);
  ASSERT_EQ(before.size(), 1u);
  const std::string fresh = dir_ + "/fresh.txt";
  const std::string nested = dir_ + "/sub/dir/frames.txt";
  struct {
    const char* file;
    const void* const* frames;
    std::size_t count;
  } const cases[] = {
      {nullptr, nullptr, 0},
      {nullptr, frames_, frames_count_},
      {"", frames_, frames_count_},
      {fresh.c_str(), frames_, frames_count_},
      {fresh.c_str(), nullptr, 0},
      {fresh.c_str(), nullptr, SIZE_MAX},
      {existing_.c_str(), frames_, frames_count_},
      {existing_.c_str(), frames_, 0},
      {nested.c_str(), frames_, 1},
      {dir_.c_str(), frames_, frames_count_},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file == nullptr ? "(null)" : c.file);
    errno = 0;
    EXPECT_EQ(dump(c.file, c.frames, c.count), 0u);
    EXPECT_EQ(errno, 0);
  }
  EXPECT_EQ(snapshot(dir_), before);
  EXPECT_EQ(read_file(existing_), "frames were never written here\n");
}

TEST_F(DumpTest, OpenFileOverloadReturnsZeroAndWritesNothing) {
  // Handles of every kind a caller might mean: a stdio stream, a file
  // descriptor, the write end of a pipe, and nothing at all.
  FILE* stream = std::fopen(existing_.c_str(), "r+b");
  ASSERT_NE(stream, nullptr);
  const int descriptor = open(existing_.c_str(), O_RDWR | O_APPEND);
  ASSERT_GE(descriptor, 0);
  probe_pipe pipe_ends;
  ASSERT_TRUE(pipe_ends.open());
  const std::map<std::string, entry_state> before = snapshot(dir_);

  auto handle_of = [](int fd) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)); };
  struct {
    const char* what;
    void* fd;
    const void* const* frames;
    std::size_t count;
  } const cases[] = {
      {"null handle, no frames", nullptr, nullptr, 0},
      {"null handle, frames", nullptr, frames_, frames_count_},
      {"stream", stream, frames_, frames_count_},
      {"stream, null frames with a count", stream, nullptr, SIZE_MAX},
      {"descriptor", handle_of(descriptor), frames_, frames_count_},
      {"pipe", handle_of(pipe_ends.ends[1]), frames_, frames_count_},
      {"pipe, count 0", handle_of(pipe_ends.ends[1]), frames_, 0},
      {"standard error", handle_of(STDERR_FILENO), frames_, frames_count_},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    errno = 0;
    EXPECT_EQ(dump(c.fd, c.frames, c.count), 0u);
    EXPECT_EQ(errno, 0);
  }

  EXPECT_EQ(std::ftell(stream), 0L);
  EXPECT_EQ(lseek(descriptor, 0, SEEK_CUR), 0);
  EXPECT_TRUE(pipe_ends.empty());
  std::fclose(stream);
  close(descriptor);
  EXPECT_EQ(snapshot(dir_), before);
}

}  // namespace
