// Files where only the stand-in can show it: a file the user may not read
// (root under Wine would read it), and the types of a FIFO and a device.
#include <windows.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "kernel_scratch.h"

TEST(KernelFiles, NoOwnerReadBitRefusesReadingEvenToRoot)
{
    ScratchDir dir;
    const std::string path = dir.Write("unreadable", "x");
    chmod(path.c_str(), 0222);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
}

TEST(KernelFiles, FileTypes)
{
    ScratchDir dir;
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    const struct {
        std::string path;
        DWORD type;
    } cases[] = {
        {dir.Write("file", ""), FILE_TYPE_DISK},
        {"/dev/null", FILE_TYPE_CHAR},
        {fifo, FILE_TYPE_PIPE},
    };
    for (const auto &c : cases) {
        HANDLE file = CreateFileA(c.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << c.path;
        EXPECT_EQ(GetFileType(file), c.type) << c.path;
        CloseHandle(file);
    }
    EXPECT_EQ(GetFileType(nullptr), DWORD{FILE_TYPE_UNKNOWN});
}
