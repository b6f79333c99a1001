// Handles: a closed handle is refused; the process's own handle; the last
// error is per thread. Differential: built for the stand-in and for Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(KernelHandles, WaitOnClosedHandleFails)
{
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    ASSERT_NE(event, nullptr);
    ASSERT_TRUE(CloseHandle(event));

    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

TEST(KernelHandles, CurrentProcessIsNotSignalledWhileItRuns)
{
    // Its pseudo handle is the value that marks a failed open, too.
    EXPECT_EQ(GetCurrentProcess(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(WaitForSingleObject(GetCurrentProcess(), 0), DWORD{WAIT_TIMEOUT});
    EXPECT_EQ(WaitForSingleObject(GetCurrentProcess(), 20), DWORD{WAIT_TIMEOUT});
}

TEST(KernelHandles, LastErrorBelongsToItsThread)
{
    // Only atomics between the steps: any other call may set the last error.
    std::atomic<int> step{0};
    DWORD atStart = 1, atEnd = 1;
    std::thread other([&] {
        atStart = GetLastError();
        SetLastError(ERROR_SHARING_VIOLATION);
        step = 1;
        while (step.load() != 2) {
        }
        atEnd = GetLastError();
    });
    while (step.load() != 1) {
    }
    SetLastError(ERROR_ACCESS_DENIED);
    const DWORD mine = GetLastError();
    step = 2;
    other.join();
    EXPECT_EQ(atStart, DWORD{ERROR_SUCCESS});
    EXPECT_EQ(atEnd, DWORD{ERROR_SHARING_VIOLATION});
    EXPECT_EQ(mine, DWORD{ERROR_ACCESS_DENIED});
}
