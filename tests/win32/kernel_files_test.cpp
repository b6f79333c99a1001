// Files and mappings: share modes, refused opens, file pointer, mappings that lengthen and pin a file.
// Differential: built for the stand-in and for Windows (see platform.h).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "kernel_scratch.h"
#include "platform.h"

namespace {

constexpr DWORD R = GENERIC_READ;
constexpr DWORD W = GENERIC_WRITE;
constexpr DWORD SR = FILE_SHARE_READ;
constexpr DWORD SW = FILE_SHARE_WRITE;

HANDLE Open(const std::string &path, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING)
{
    return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TEST(KernelFiles, ShareModesDecideASecondOpen)
{
    const struct {
        DWORD firstAccess, firstShare, access, share;
        bool opens;
    } cases[] = {
        {R, SR, R, SR, true},
        {R, SR, W, SR | SW, false},       // the first open does not share writing
        {R, SR | SW, R | W, SR | SW, true},
        {R | W, 0, R, SR | SW, false},    // share mode 0 excludes everyone
        {R, SR | SW, R, 0, false},        // the second would exclude the first's reading
        {W, SR | SW, R, SW, true},        // nobody reads yet, so not sharing reading is fine
        {W, SR | SW, R, SR, false},       // the first writes, which the second does not share
        {R, SR | SW, W, SR, true},
        {0, 0, R | W, 0, true},           // an open without data access takes no part
    };
    ScratchDir dir;
    const std::string path = dir.Write("shared", "abc");
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "first " << c.firstAccess << "/" << c.firstShare
                                        << ", second " << c.access << "/" << c.share);
        HANDLE first = Open(path, c.firstAccess, c.firstShare);
        ASSERT_NE(first, INVALID_HANDLE_VALUE);
        HANDLE second = Open(path, c.access, c.share);
        EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.opens);
        if (second == INVALID_HANDLE_VALUE) {
            EXPECT_EQ(GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
        } else {
            CloseHandle(second);
        }
        CloseHandle(first);
        // Closing withdraws the first open's modes.
        HANDLE again = Open(path, c.access, c.share);
        EXPECT_NE(again, INVALID_HANDLE_VALUE);
        CloseHandle(again);
    }
    EXPECT_EQ(ReadWhole(path), "abc");
}

TEST(KernelFiles, RefusedOpens)
{
    namespace fs = std::filesystem;
    ScratchDir dir;
    const std::string readOnly = dir.Write("read-only", "x");
    // No write bit for anyone: the read-only attribute on the platform.
    fs::permissions(readOnly, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const struct {
        std::string path;
        DWORD access, disposition, error;
        bool readOnly;
    } cases[] = {
        {readOnly, R | W, OPEN_EXISTING, ERROR_ACCESS_DENIED, true},  // even for root
        {readOnly, W, CREATE_ALWAYS, ERROR_ACCESS_DENIED, true},
        {dir.path(), R, OPEN_EXISTING, ERROR_ACCESS_DENIED, false},     // a folder
        {dir.path(), R | W, OPEN_EXISTING, ERROR_ACCESS_DENIED, false},
        {dir.Path("missing"), R, OPEN_EXISTING, ERROR_FILE_NOT_FOUND, false},
    };
    for (const auto &c : cases) {
        // Wine run as root writes to it all the same (tests/windows/known-differences.md).
        if (c.readOnly && RunningUnderWine())
            continue;
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(Open(c.path, c.access, 0, c.disposition), INVALID_HANDLE_VALUE) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
    HANDLE reader = Open(readOnly, R, 0);  // reading a read-only file is fine
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    EXPECT_EQ(ReadWhole(readOnly), "x");
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);  // so that it can be removed
}

TEST(KernelFiles, FilePointerReadAndWrite)
{
    ScratchDir dir;
    const std::string path = dir.Write("f", "0123456789");
    HANDLE file = Open(path, R | W, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    DWORD high = 0;
    EXPECT_EQ(GetFileSize(file, &high), 10u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
    EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_CURRENT), 2u);
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
    char bytes[8] = {};
    DWORD done = 0;
    EXPECT_TRUE(ReadFile(file, bytes, sizeof bytes, &done, nullptr));
    EXPECT_EQ(std::string(bytes, done), "6789");  // stops at the end

    EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    LONG high32 = 1;  // 4 GiB: only reachable with a high part
    EXPECT_EQ(SetFilePointer(file, 0, &high32, FILE_BEGIN), 0u);
    EXPECT_EQ(high32, 1);

    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_TRUE(WriteFile(file, "ab", 2, &done, nullptr));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(ReadWhole(path), "0123ab");
}

TEST(KernelMappings, SetEndOfFileIsRefusedWhileMapped)
{
    ScratchDir dir;
    const std::string content = PatternBytes(10);
    const std::string path = dir.Write("f", content);
    HANDLE file = Open(path, R | W, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 14, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(std::filesystem::file_size(path), 14u);  // lengthened to the mapping
    SetFilePointer(file, 10, nullptr, FILE_BEGIN);
    EXPECT_FALSE(SetEndOfFile(file));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_USER_MAPPED_FILE});

    void *view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::memcmp(view, content.data(), content.size()), 0);
    CloseHandle(mapping);
    EXPECT_FALSE(SetEndOfFile(file));  // the view keeps the mapping alive
    EXPECT_EQ(GetLastError(), DWORD{ERROR_USER_MAPPED_FILE});

    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(ReadWhole(path), content);
}

TEST(KernelMappings, MappingOutlivesItsFileHandle)
{
    ScratchDir dir;
    const std::string path = dir.Write("f", "mapped");
    HANDLE file = Open(path, R | W, 0);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);  // 0: the file's size
    ASSERT_NE(mapping, nullptr);
    CloseHandle(file);

    // Share modes belong to open handles: with the only one closed, the file
    // opens again, and the mapping still reads it.
    HANDLE again = Open(path, R, SR | SW);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    const char *view = static_cast<const char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::string(view, 6), "mapped");
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(again);
}

TEST(KernelMappings, RefusedMappingsLeaveTheFileAlone)
{
    const struct {
        const char *what;
        std::string content;
        DWORD access, protect, size, error;
    } cases[] = {
        {"empty file, size of the file", "", R | W, PAGE_READWRITE, 0, ERROR_FILE_INVALID},
        {"longer, read-only mapping", "abc", R | W, PAGE_READONLY, 8, ERROR_NOT_ENOUGH_MEMORY},
        {"writable mapping of a read handle", "abc", R, PAGE_READWRITE, 3, ERROR_ACCESS_DENIED},
    };
    ScratchDir dir;
    for (const auto &c : cases) {
        const std::string path = dir.Write("f", c.content);
        HANDLE file = Open(path, c.access, 0);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(CreateFileMappingA(file, nullptr, c.protect, 0, c.size, nullptr), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        CloseHandle(file);
        EXPECT_EQ(ReadWhole(path), c.content) << c.what;
    }

    const std::string path = dir.Write("f", "abc");
    HANDLE file = Open(path, R | W, 0);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0), nullptr);  // no writing through a read-only mapping
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
    CloseHandle(mapping);
    CloseHandle(file);
}
