// The size query and the mapped read against real files: results, traces,
// and files left exactly as they were. Built for the stand-in and for Windows.
#include "loader_fixture.h"

#include <filesystem>

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
    DWORD size = 99;
    ASSERT_EQ(QueryFileSize(path.c_str(), &size), 1);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(ReadBytes(path, 0).result, 1);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    ExpectTrace(Lines{});
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
        {dir_.Path("folder/"), 0, 0},  // ... but not with a trailing separator (a root may)
        {"", 0, 0},
    };
    for (const auto &c : cases) {
        DWORD size = 12345;
        EXPECT_EQ(QueryFileSize(c.path.c_str(), &size), c.result) << c.path;
        if (c.result) {
            EXPECT_EQ(size, c.size) << c.path;
        }
    }
    ExpectTrace(Lines{});
}

TEST_F(Loader, FolderPassesTheQueryButNotTheOpen)
{
    DWORD size = 99;
    ASSERT_EQ(QueryFileSize(dir_.path().c_str(), &size), 1);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(ReadBytes(dir_.path(), size).result, 0);
    ExpectTrace(kOpenFailed);
}

TEST_F(Loader, FileHeldOpenInThisProcessIsNotOpened)
{
    const std::string path = dir_.Write("held", "keep me");
    HANDLE holder = OpenShared(path);  // shares everything, yet the loader shares nothing
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadBytes(path, 7).result, 0);
    ExpectTrace(kOpenFailed);
    CloseHandle(holder);
    EXPECT_EQ(ReadWhole(path), "keep me");
    EXPECT_EQ(ReadBytes(path, 7).result, 1);
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
        ExpectTrace(Lines{});
    }
}

