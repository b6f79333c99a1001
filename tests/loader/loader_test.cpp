// The size query and the mapped read against real files: results, what a
// failure says, traces, and files left exactly as they were, down to their
// last-write time. Built for the stand-in and for Windows.
#include "loader_fixture.h"

#include <chrono>
#include <filesystem>

namespace {

// What a read must leave of a file: its bytes and its last-write time.
struct FileState {
    std::string bytes;
    std::filesystem::file_time_type written;
    bool operator==(const FileState &) const = default;
};

FileState StateOf(const std::string &path)
{
    return {ReadWhole(path), std::filesystem::last_write_time(path)};
}

}  // namespace

TEST_F(Loader, ReadsASizedFileAndLeavesItAsItWas)
{
    const std::string content = PatternBytes(100000);
    const std::string path = dir_.Write("data.bin", content);
    // Written a while ago, so a read that touched the file would show.
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - std::chrono::hours(1));
    const FileState before = StateOf(path);
    DWORD size = 0;
    ASSERT_EQ(QueryFileSize(path.c_str(), &size), 1);
    ASSERT_EQ(size, content.size());

    const Read read = ReadBytes(path, size);
    EXPECT_EQ(read.result, 1);
    EXPECT_EQ(read.bytes, content);
    EXPECT_TRUE(StateOf(path) == before);
    ExpectTrace(Lines{});
    // Nothing is left open: the file can be held exclusively again.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST_F(Loader, EmptyFileLoadsAsZeroBytes)
{
    const std::string path = dir_.Write("empty", "");
    const FileState before = StateOf(path);
    DWORD size = 99;
    ASSERT_EQ(QueryFileSize(path.c_str(), &size), 1);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(ReadBytes(path, 0).result, 1);
    EXPECT_TRUE(StateOf(path) == before);
    ExpectTrace(Lines{});
}

TEST_F(Loader, ReadOnlyFileIsRead)
{
    using std::filesystem::perms;
    const std::string path = dir_.Write("read-only", "keep me");
    std::filesystem::permissions(path, perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
    const FileState before = StateOf(path);
    const Read read = ReadBytes(path, 7);
    EXPECT_EQ(read.result, 1);
    EXPECT_EQ(read.bytes, "keep me");
    ExpectTrace(Lines{});
    EXPECT_TRUE(StateOf(path) == before);
    EXPECT_EQ(std::filesystem::status(path).permissions() & perms::owner_write, perms::none);
    std::filesystem::permissions(path, perms::owner_write, std::filesystem::perm_options::add);
}

TEST_F(Loader, SizeQuery)
{
    dir_.Write("file", "12345");
    dir_.Write("wild?card", "exists, but a wildcard is refused");
    std::filesystem::create_directory(dir_.Path("folder"));
    const DWORD kMissing = ERROR_FILE_NOT_FOUND;
    const struct {
        std::string path;
        int result;
        DWORD size;  // on success; else what failed
    } cases[] = {
        {dir_.Path("file"), 1, 5},
        {dir_.Path("missing"), 0, kMissing},
        {dir_.Path("missing-folder/file"), 0, kMissing},
        {dir_.Path("wild?card"), 0, kMissing},
        {dir_.Path("*"), 0, kMissing},
        {dir_.Path("fi*e"), 0, kMissing},
        {dir_.Path("file/"), 0, kMissing},    // a trailing separator on a file
        {dir_.Path("folder"), 1, 0},          // a folder is 0 bytes long
        {dir_.Path("folder/"), 0, kMissing},  // ... but not with a trailing separator (a root may)
        {"", 0, kMissing},
    };
    for (const auto &c : cases) {
        DWORD size = 12345;
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(QueryFileSize(c.path.c_str(), &size), c.result) << c.path;
        EXPECT_EQ(c.result ? size : GetLastError(), c.size) << c.path;
    }
    ExpectTrace(Lines{});
}

TEST_F(Loader, FolderPassesTheQueryButNotTheOpen)
{
    DWORD size = 99;
    ASSERT_EQ(QueryFileSize(dir_.path().c_str(), &size), 1);
    EXPECT_EQ(size, 0u);
    const Read read = ReadBytes(dir_.path(), size);
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.error, DWORD{ERROR_BAD_FILE_TYPE});
    ExpectTrace(kOpenFailed);
}

TEST_F(Loader, ReadsBesideAReaderButNotBesideAWriter)
{
    const std::string path = dir_.Write("held", "keep me");
    HANDLE reader = OpenSharing(path, GENERIC_READ);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadBytes(path, 7).result, 1);
    ExpectTrace(Lines{});
    CloseHandle(reader);

    // A writer shares everything, yet the loader shares no writing.
    HANDLE writer = OpenSharing(path, GENERIC_READ | GENERIC_WRITE);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const Read refused = ReadBytes(path, 7);
    EXPECT_EQ(refused.result, 0);
    EXPECT_EQ(refused.error, DWORD{ERROR_ACCESS_DENIED});
    ExpectTrace(kOpenFailed);
    CloseHandle(writer);
    EXPECT_EQ(ReadWhole(path), "keep me");
    EXPECT_EQ(ReadBytes(path, 7).result, 1);
}

TEST_F(Loader, SizeLimitIsTwoGibibytes)
{
    const std::string path = dir_.Write("sparse", "");
    DWORD size = 0;
    std::filesystem::resize_file(path, 2147483648u);
    EXPECT_EQ(QueryFileSize(path.c_str(), &size), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_TOO_LARGE});
    std::filesystem::resize_file(path, 2147483647u);
    EXPECT_EQ(QueryFileSize(path.c_str(), &size), 1);
    EXPECT_EQ(size, 2147483647u);
}

TEST_F(Loader, FileChangedSinceTheQueryIsLeftAsItIs)
{
    const std::string original = PatternBytes(5000);
    const struct {
        const char *what;
        std::string changed;
    } cases[] = {
        {"longer", original + "xyz"},
        {"shorter", original.substr(0, original.size() - 3)},
        {"emptied", ""},
    };
    for (const auto &c : cases) {
        const std::string path = dir_.Write("changing", original);
        DWORD size = 0;
        ASSERT_EQ(QueryFileSize(path.c_str(), &size), 1);
        dir_.Write("changing", c.changed);

        const Read read = ReadBytes(path, size);
        EXPECT_EQ(read.result, 0) << c.what;
        EXPECT_EQ(read.error, DWORD{ERROR_READ_FAULT}) << c.what;
        EXPECT_EQ(ReadWhole(path), c.changed) << c.what;
        ExpectTrace(Lines{});
    }
}
