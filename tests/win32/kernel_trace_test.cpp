// The debug trace sink and fault injection.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "kernel_scratch.h"

#include <w32/standin.h>

using Lines = std::vector<std::string>;

TEST(KernelTrace, CapturedOnlyWhileCaptureIsOn)
{
    OutputDebugStringA("before");
    w32::CaptureTrace(true);
    EXPECT_EQ(w32::TakeTrace(), Lines{});
    OutputDebugStringA("one");
    std::thread([] { OutputDebugStringA("two, from another thread"); }).join();
    EXPECT_EQ(w32::TakeTrace(), (Lines{"one", "two, from another thread"}));
    EXPECT_EQ(w32::TakeTrace(), Lines{});  // taking empties it
    w32::CaptureTrace(false);
    OutputDebugStringA("after");
    EXPECT_EQ(w32::TakeTrace(), Lines{});
}

TEST(KernelTrace, SwitchEchoesEachStringAsALine)
{
    testing::internal::CaptureStderr();
    OutputDebugStringA("silent");
    setenv("W32_TRACE", "1", 1);
    OutputDebugStringA("File could not be opened.");
    setenv("W32_TRACE", "", 1);
    OutputDebugStringA("silent again");
    unsetenv("W32_TRACE");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "File could not be opened.\n");
}

TEST(KernelFaults, EachRequestFailsTheNamedCallOnce)
{
    ScratchDir dir;
    const std::string path = dir.Write("f", "abc");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);

    // Each call: true when it succeeded (and released what it made).
    const struct {
        const char *name;
        std::function<bool()> call;
    } calls[] = {
        {"CreateEventA",
         [] {
             HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
             return event && CloseHandle(event);
         }},
        {"CreateThread",
         [] {
             HANDLE thread = CreateThread(nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
             return thread && WaitForSingleObject(thread, INFINITE) == WAIT_OBJECT_0 && CloseHandle(thread);
         }},
        {"CreateFileMappingA",
         [&] {
             HANDLE second = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
             return second && CloseHandle(second);
         }},
        {"MapViewOfFile",
         [&] {
             void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
             return view && UnmapViewOfFile(view);
         }},
        {"ReadProcessMemory",
         [] {
             char byte = 0;
             SIZE_T done = 0;
             return ReadProcessMemory(GetCurrentProcess(), "x", &byte, 1, &done) && byte == 'x';
         }},
        {"HeapAlloc",
         [] {
             void *block = HeapAlloc(GetProcessHeap(), 0, 8);
             return block && HeapFree(GetProcessHeap(), 0, block);
         }},
    };
    for (const auto &c : calls) {
        EXPECT_TRUE(c.call()) << c.name;
        w32::FailNextCall(c.name);
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(c.call()) << c.name;
        EXPECT_NE(GetLastError(), DWORD{ERROR_SUCCESS}) << c.name;
        EXPECT_TRUE(c.call()) << c.name;
    }

    w32::FailNextCall("CreateEventA");
    w32::ClearFailures();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_NE(event, nullptr);
    CloseHandle(event);
    CloseHandle(mapping);
    CloseHandle(file);
    EXPECT_EQ(ReadWhole(path), "abc");
}

TEST(KernelFaults, AHeldCallWaitsUntilReleasedThenRunsOrFails)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);

    // A held call does nothing until it is released.
    w32::HoldNextCall("SetEvent");
    std::thread setter([&] { SetEvent(event); });
    ASSERT_TRUE(w32::WaitUntilHeld("SetEvent", 60000));
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD{WAIT_TIMEOUT});
    w32::ReleaseHeldCall("SetEvent");
    setter.join();
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD{WAIT_OBJECT_0});

    // Held and failed: released, the call then fails as asked. One call per hold.
    w32::HoldNextCall("CreateEventA");
    w32::FailNextCall("CreateEventA");
    HANDLE made = INVALID_HANDLE_VALUE;
    std::thread creator([&] { made = CreateEventA(nullptr, TRUE, FALSE, nullptr); });
    ASSERT_TRUE(w32::WaitUntilHeld("CreateEventA", 60000));
    w32::ReleaseHeldCall("CreateEventA");
    creator.join();
    EXPECT_EQ(made, nullptr);
    HANDLE next = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_NE(next, nullptr);
    CloseHandle(next);

    // A hold released before its call is reached is cancelled; nothing waits.
    w32::HoldNextCall("SetEvent");
    EXPECT_FALSE(w32::WaitUntilHeld("SetEvent", 0));
    w32::ReleaseHeldCall("SetEvent");
    EXPECT_TRUE(SetEvent(event));
    CloseHandle(event);
}
