// The window manager's thread rules: a window belongs to the thread that made
// it; another thread's SendMessageA is served only while the owner waits for
// messages, and never overlaps a handler that is running. Differential: built
// for the stand-in and for Windows (see platform.h).
#include "platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr UINT kProbe = WM_USER + 100;

std::atomic<int> g_inHandler{0};
std::atomic<int> g_overlaps{0};
std::atomic<int> g_served{0};

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != kProbe)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (g_inHandler.fetch_add(1) != 0)
        g_overlaps++;
    g_served++;
    g_inHandler.fetch_sub(1);
    return static_cast<LRESULT>(wParam) + 1;
}

HWND MakeProbeWindow()
{
    RegisterProbeClass("probe", ProbeProc);
    return MakeWindow("probe", WS_POPUP);
}

// Serves messages for a while, as a modal loop does.
void PumpFor(std::chrono::milliseconds span)
{
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        std::this_thread::yield();
    }
}

TEST(UserMessages, CrossThreadSendWaitsForTheOwnersMessageLoop)
{
    HWND probe = MakeProbeWindow();
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(SendMessageA(probe, kProbe, 41, 0), 42);  // same thread: a direct call

    g_served = 0;
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        EXPECT_EQ(SendMessageA(probe, kProbe, 1, 0), 2);
        sent = true;
    });
    // The owner is busy (not in a message loop): the message must wait.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(sent.load());
    EXPECT_EQ(g_served.load(), 0);
    PumpFor(std::chrono::milliseconds(50));
    sender.join();
    EXPECT_TRUE(sent.load());
    EXPECT_EQ(g_served.load(), 1);
    DestroyWindow(probe);
}

// A sender that found the owner waiting may keep its lock on loan between
// messages; once the owner stops waiting, the next message waits again.
TEST(UserMessages, ASenderKeepsNoLockOnceTheOwnerStopsWaiting)
{
    HWND probe = MakeProbeWindow();
    g_served = 0;
    std::atomic<int> sent{0};
    std::atomic<bool> sendAgain{false};
    std::thread sender([&] {
        SendMessageA(probe, kProbe, 0, 0);
        sent++;
        while (!sendAgain.load())
            std::this_thread::yield();
        SendMessageA(probe, kProbe, 0, 0);
        sent++;
    });
    while (sent.load() < 1)
        PumpFor(std::chrono::milliseconds(1));
    // The owner is busy again: the second message is not served meanwhile.
    sendAgain = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(sent.load(), 1);
    EXPECT_EQ(g_served.load(), 1);
    while (sent.load() < 2)
        PumpFor(std::chrono::milliseconds(1));
    sender.join();
    EXPECT_EQ(g_served.load(), 2);
    DestroyWindow(probe);
}

TEST(UserMessages, SendsFromManyThreadsNeverOverlapTheOwner)
{
    HWND probe = MakeProbeWindow();
    g_overlaps = 0;
    g_served = 0;
    constexpr int kThreads = 3, kEach = 20000;
    std::atomic<int> done{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; t++)
        senders.emplace_back([&] {
            for (int i = 0; i < kEach; i++)
                SendMessageA(probe, kProbe, 0, 0);
            done++;
        });
    // The owner interleaves its own handling with serving the senders.
    while (done.load() < kThreads) {
        SendMessageA(probe, kProbe, 0, 0);
        PumpFor(std::chrono::milliseconds(1));
    }
    for (auto &s : senders)
        s.join();
    EXPECT_EQ(g_overlaps.load(), 0);
    EXPECT_GE(g_served.load(), kThreads * kEach);
    DestroyWindow(probe);
}

TEST(UserMessages, DestroyedWindowsAreNeverFoundAgain)
{
    HWND first = MakeProbeWindow();
    ASSERT_TRUE(DestroyWindow(first));
    HWND second = MakeProbeWindow();  // may reuse the slot
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(SendMessageA(first, kProbe, 1, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(SendMessageA(second, kProbe, 1, 0), 2);
    DestroyWindow(second);
}

}  // namespace
