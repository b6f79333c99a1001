// Files where only the stand-in can show it: a file the user may not read
// (root under Wine would read it), the types of a FIFO and a device, and
// write errors on standard output (a pipe nobody reads, a full disk).
#include <windows.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Each case in a child process of its own, whose standard output it replaces
// first: the handle is made on the first GetStdHandle.
void ExitWithWriteError(int output)
{
    dup2(output, 1);
    DWORD done = 1;
    const BOOL written = WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "x", 1, &done, nullptr);
    _exit(written ? 0 : static_cast<int>(GetLastError()));
}

TEST(KernelFiles, StandardOutputReportsWriteErrorsAndNoSignal)
{
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);  // nobody reads: the platform's writer lives on with an error
    EXPECT_EXIT(ExitWithWriteError(pipeEnds[1]), testing::ExitedWithCode(ERROR_NO_DATA), "");
    close(pipeEnds[1]);

    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    EXPECT_EXIT(ExitWithWriteError(full), testing::ExitedWithCode(ERROR_DISK_FULL), "");
    close(full);

    // The input stream is for reading only; the handle stays the same.
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    EXPECT_EQ(GetStdHandle(STD_INPUT_HANDLE), input);
    DWORD done = 0;
    EXPECT_FALSE(WriteFile(input, "x", 1, &done, nullptr));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
}
