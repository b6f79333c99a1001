// Events and threads: reset kinds, one waiter per auto-reset signal, thread handles and exit codes.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

TEST(KernelEvents, ManualResetStaysSignalledUntilReset)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD{WAIT_TIMEOUT});
    ASSERT_TRUE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 10), WAIT_OBJECT_0);
    ASSERT_TRUE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 10), DWORD{WAIT_TIMEOUT});
    CloseHandle(event);
}

TEST(KernelEvents, AutoResetIsTakenByOneWait)
{
    HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);  // initially signalled
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD{WAIT_TIMEOUT});
    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD{WAIT_TIMEOUT});
    CloseHandle(event);
}

namespace {

DWORD WINAPI WaitThenReturn(LPVOID parameter)
{
    return WaitForSingleObject(static_cast<HANDLE>(parameter), INFINITE) == WAIT_OBJECT_0 ? 7 : 99;
}

// The first of the handles to be signalled, polled without a time limit.
int FirstSignalled(const HANDLE *handles, int count)
{
    for (;;) {
        for (int i = 0; i < count; ++i)
            if (WaitForSingleObject(handles[i], 0) == WAIT_OBJECT_0)
                return i;
        Sleep(1);
    }
}

}  // namespace

TEST(KernelEvents, AutoResetReleasesOneWaiterPerSignal)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE threads[2];
    for (HANDLE &thread : threads) {
        thread = CreateThread(nullptr, 0, WaitThenReturn, event, 0, nullptr);
        ASSERT_NE(thread, nullptr);
    }

    SetEvent(event);
    const int first = FirstSignalled(threads, 2);
    // The one signal was used up by the waiter it released: the other waits on.
    EXPECT_EQ(WaitForSingleObject(threads[1 - first], 0), DWORD{WAIT_TIMEOUT});
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD{WAIT_TIMEOUT});

    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(threads[1 - first], INFINITE), WAIT_OBJECT_0);
    for (HANDLE thread : threads) {
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(thread, &code));
        EXPECT_EQ(code, 7u);
        CloseHandle(thread);
    }
    CloseHandle(event);
}

namespace {

struct ThreadProbe {
    HANDLE go;
    std::atomic<DWORD> seenId{0};
};

DWORD WINAPI RecordIdThenWait(LPVOID parameter)
{
    auto *probe = static_cast<ThreadProbe *>(parameter);
    probe->seenId = GetCurrentThreadId();
    WaitForSingleObject(probe->go, INFINITE);
    return 0xC0DE;
}

}  // namespace

TEST(KernelThreads, HandleIsSignalledWhenTheProcedureReturns)
{
    ThreadProbe probe;
    probe.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RecordIdThenWait, &probe, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());

    DWORD code = 0;
    EXPECT_EQ(WaitForSingleObject(thread, 0), DWORD{WAIT_TIMEOUT});
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 259u);  // still active

    SetEvent(probe.go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 0xC0DEu);
    EXPECT_EQ(probe.seenId.load(), id);
    CloseHandle(thread);
    CloseHandle(probe.go);
}
