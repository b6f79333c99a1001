// The size query and the mapped read: results, traces, and files left exactly as they were.
#include "loader_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace {

HANDLE OpenShared(const std::string &path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TEST_F(Loader, ReadsASizedFileAndLeavesItAsItWas)
{
    const std::string content = PatternBytes(100000);
    const std::string path = dir_.Write("data.bin", content);
    DWORD size = 0;
    ASSERT_EQ(QueryFileSize(path.c_str(), &size), 1);
    ASSERT_EQ(size, content.size());

    const Read read = ReadBytes(path, size);
    EXPECT_EQ(read.result, 1);
    EXPECT_EQ(read.bytes, content);
    EXPECT_EQ(ReadWhole(path), content);
    EXPECT_EQ(w32::TakeTrace(), Lines{});
    // Nothing is left open: the file can be held exclusively again.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST_F(Loader, EmptyFileLoadsAsZeroBytes)
{
    const std::string path = dir_.Write("empty", "");
    DWORD size = 99;
    ASSERT_EQ(QueryFileSize(path.c_str(), &size), 1);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(ReadBytes(path, 0).result, 1);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_EQ(w32::TakeTrace(), Lines{});
}

TEST_F(Loader, SizeQuery)
{
    dir_.Write("file", "12345");
    dir_.Write("wild?card", "exists, but a wildcard is refused");
    std::filesystem::create_directory(dir_.Path("folder"));
    const struct {
        std::string path;
        int result;
        DWORD size;
    } cases[] = {
        {dir_.Path("file"), 1, 5},
        {dir_.Path("missing"), 0, 0},
        {dir_.Path("missing-folder/file"), 0, 0},
        {dir_.Path("wild?card"), 0, 0},
        {dir_.Path("*"), 0, 0},
        {dir_.Path("fi*e"), 0, 0},
        {dir_.Path("file/"), 0, 0},    // a trailing separator on a file
        {dir_.Path("folder"), 1, 0},   // a folder is 0 bytes long
        {dir_.Path("folder/"), 0, 0},  // ... but not with a trailing separator
        {"/", 1, 0},                   // except on the root
        {"//", 1, 0},
        {"", 0, 0},
    };
    for (const auto &c : cases) {
        DWORD size = 12345;
        EXPECT_EQ(QueryFileSize(c.path.c_str(), &size), c.result) << c.path;
        if (c.result) {
            EXPECT_EQ(size, c.size) << c.path;
        }
    }
    EXPECT_EQ(w32::TakeTrace(), Lines{});
}

TEST_F(Loader, FolderPassesTheQueryButNotTheOpen)
{
    DWORD size = 99;
    ASSERT_EQ(QueryFileSize(dir_.path().c_str(), &size), 1);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(ReadBytes(dir_.path(), size).result, 0);
    EXPECT_EQ(w32::TakeTrace(), kOpenFailed);
}

TEST_F(Loader, ReadOnlyFileIsNotOpened)
{
    const std::string path = dir_.Write("read-only", "keep me");
    chmod(path.c_str(), 0444);
    EXPECT_EQ(ReadBytes(path, 7).result, 0);
    EXPECT_EQ(w32::TakeTrace(), kOpenFailed);
    EXPECT_EQ(ReadWhole(path), "keep me");
    struct stat status;
    stat(path.c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0444u);
}

TEST_F(Loader, FileHeldOpenInThisProcessIsNotOpened)
{
    const std::string path = dir_.Write("held", "keep me");
    HANDLE holder = OpenShared(path);  // shares everything, yet the loader shares nothing
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadBytes(path, 7).result, 0);
    EXPECT_EQ(w32::TakeTrace(), kOpenFailed);
    CloseHandle(holder);
    EXPECT_EQ(ReadWhole(path), "keep me");
    EXPECT_EQ(ReadBytes(path, 7).result, 1);
}

TEST_F(Loader, FileHeldOpenByAnotherProcessIsNotOpened)
{
    const std::string path = dir_.Write("held", "keep me");
    int held[2], release[2];
    ASSERT_EQ(pipe(held), 0);
    ASSERT_EQ(pipe(release), 0);
    fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(held[0]);
        close(release[1]);
        HANDLE holder = OpenShared(path);
        if (holder == INVALID_HANDLE_VALUE)
            _exit(1);
        if (write(held[1], "h", 1) != 1)
            _exit(2);
        char c;
        while (read(release[0], &c, 1) > 0) {
        }
        _exit(0);
    }
    close(held[1]);
    close(release[0]);
    char c = 0;
    ASSERT_EQ(read(held[0], &c, 1), 1);

    EXPECT_EQ(ReadBytes(path, 7).result, 0);
    EXPECT_EQ(w32::TakeTrace(), kOpenFailed);

    close(release[1]);
    int status = 0;
    waitpid(child, &status, 0);
    close(held[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadWhole(path), "keep me");
    EXPECT_EQ(ReadBytes(path, 7).result, 1);  // the other process's open ended with it
}

TEST_F(Loader, SizeLimitIsTwoGibibytes)
{
    const std::string path = dir_.Write("sparse", "");
    DWORD size = 0;
    std::filesystem::resize_file(path, 2147483648u);
    EXPECT_EQ(QueryFileSize(path.c_str(), &size), 0);
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

        EXPECT_EQ(ReadBytes(path, size).result, 0) << c.what;
        EXPECT_EQ(ReadWhole(path), c.changed) << c.what;
        EXPECT_EQ(w32::TakeTrace(), Lines{}) << c.what;
    }
}

TEST_F(Loader, FailuresAfterTheOpenRestoreTheFileSilently)
{
    const std::string content = PatternBytes(3 * 4096 + 1);
    for (const char *call : {"CreateFileMappingA", "MapViewOfFile", "MapViewOfFile:unreadable", "ReadProcessMemory"}) {
        const std::string path = dir_.Write("victim", content);
        w32::FailNextCall(call);
        EXPECT_EQ(ReadBytes(path, static_cast<DWORD>(content.size())).result, 0) << call;
        EXPECT_EQ(ReadWhole(path), content) << call;
        EXPECT_EQ(w32::TakeTrace(), Lines{}) << call;
        EXPECT_FALSE(w32::TakeFailure(call)) << call << " was not reached";
    }
}
