#include <varnel/stacktrace/frames.hpp>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using varnel::stacktrace::detail::dump;
using varnel::stacktrace::detail::this_thread_frames;

struct entry_state {
    off_t size;
    std::int64_t mtime_ns;
    std::int64_t ctime_ns;
    std::string content;
    bool operator==(const entry_state& o) const
    {
        return size == o.size && mtime_ns == o.mtime_ns && ctime_ns == o.ctime_ns &&
               content == o.content;
    }
};

std::int64_t nanoseconds(const timespec& t)
{
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

std::string read_file(const std::string& path)
{
    std::string content;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[256];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            content.append(buffer, n);
        std::fclose(f);
    }
    return content;
}

// Name, size, times and content of every entry of a directory.
std::map<std::string, entry_state> snapshot(const std::string& dir)
{
    std::map<std::string, entry_state> entries;
    DIR* d = opendir(dir.c_str());
    if (d == nullptr)
        return entries;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = dir + "/" + name;
        struct stat st {};
        if (stat(path.c_str(), &st) != 0)
            continue;
        entries[name] = {st.st_size, nanoseconds(st.st_mtim), nanoseconds(st.st_ctim),
                         read_file(path)};
    }
    closedir(d);
    return entries;
}

class DumpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/varnel_dump_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        existing_ = dir_ + "/existing.txt";
        FILE* f = std::fopen(existing_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("frames were never written here\n", f);
        std::fclose(f);
        frames_count_ = this_thread_frames::collect(frames_, 32, 0);
        ASSERT_GT(frames_count_, 0u);
    }
    void TearDown() override
    {
        for (const auto& [name, state] : snapshot(dir_))
            unlink((dir_ + "/" + name).c_str());
        rmdir(dir_.c_str());
    }

    std::string dir_;
    std::string existing_;
    const void* frames_[32] = {};
    std::size_t frames_count_ = 0;
};

TEST_F(DumpTest, FileNameOverloadReturnsZeroAndTouchesNoFile)
{
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

TEST_F(DumpTest, OpenFileOverloadReturnsZeroAndWritesNothing)
{
    // Handles of every kind a caller might mean: a stdio stream, a file
    // descriptor, the write end of a pipe, and nothing at all.
    FILE* stream = std::fopen(existing_.c_str(), "r+b");
    ASSERT_NE(stream, nullptr);
    const int descriptor = open(existing_.c_str(), O_RDWR | O_APPEND);
    ASSERT_GE(descriptor, 0);
    int pipe_ends[2];
    ASSERT_EQ(pipe2(pipe_ends, O_NONBLOCK), 0);
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
        {"pipe", handle_of(pipe_ends[1]), frames_, frames_count_},
        {"pipe, count 0", handle_of(pipe_ends[1]), frames_, 0},
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
    char byte;
    errno = 0;
    EXPECT_EQ(read(pipe_ends[0], &byte, 1), -1);
    EXPECT_EQ(errno, EAGAIN);
    std::fclose(stream);
    close(descriptor);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    EXPECT_EQ(snapshot(dir_), before);
}

}  // namespace
