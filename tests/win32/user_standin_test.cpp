// What only the stand-in's window manager offers or promises, so these stay
// out of the differential build (see platform.h): running a call inside the
// owner's message loop, its keyboard input queue, appending to a rich edit box
// in constant time, and a disabled button that ignores BM_CLICK (the
// platform's reference is silent).
#include "platform.h"

#include "user/core.h"

#include <w32/user.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr UINT kProbe = WM_USER + 100;
int g_served = 0;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != kProbe)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    g_served++;
    return 0;
}

HWND MakeProbeWindow()
{
    RegisterProbeClass("standin-probe", ProbeProc);
    return MakeWindow("standin-probe", WS_POPUP);
}

TEST(UserStandIn, InvokeRunsInsideTheOwnersLoop)
{
    HWND probe = MakeProbeWindow();
    std::atomic<bool> ran{false};
    std::thread caller([&] { w32::InvokeOnOwner(probe, [&] { ran = true; }, true); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(ran.load());
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    DispatchMessageA(&msg);
    caller.join();
    EXPECT_TRUE(ran.load());
    DestroyWindow(probe);
}

// A key goes to the window that has the focus when it is taken from the
// queue, as the keys before it left the focus, not when it was queued.
TEST(UserStandIn, KeyboardInputGoesToTheFocusOfItsTurn)
{
    HWND top = MakeProbeWindow();
    HWND boxes[2];
    for (HWND &box : boxes)
        box = MakeWindow("edit", WS_CHILD | WS_VISIBLE, top);
    SetFocus(boxes[0]);
    w32::PostKeyboardInput(top, WM_CHAR, 'x', 0);
    w32::InvokeOnOwner(top, [&] { SetFocus(boxes[1]); }, false);
    w32::PostKeyboardInput(top, WM_CHAR, 'y', 0);
    w32::InvokeOnOwner(top, [] { SetFocus(nullptr); }, false);
    g_served = 0;
    w32::PostKeyboardInput(top, kProbe, 0, 0);  // with no focus, to the window itself
    EXPECT_EQ(GetWindowTextLengthA(boxes[0]), 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);

    char text[8];
    GetWindowTextA(boxes[0], text, sizeof(text));
    EXPECT_STREQ(text, "x");
    GetWindowTextA(boxes[1], text, sizeof(text));
    EXPECT_STREQ(text, "y");
    EXPECT_EQ(g_served, 1);
    DestroyWindow(top);
}

TEST(UserStandIn, AppendingMillionsOfPiecesStaysCheap)
{
    LoadLibraryA("RICHED20.DLL");
    HWND rich = MakeWindow(RICHEDIT_CLASSA, WS_CHILD | ES_MULTILINE);
    SendMessageA(rich, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    for (int i = 0; i < 2000000; i++) {
        SendMessageA(rich, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        SendMessageA(rich, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("\\x41"));
    }
    EXPECT_EQ(GetWindowTextLengthA(rich), 8000000);
    DestroyWindow(rich);
}

TEST(UserStandIn, DisabledButtonIgnoresClicks)
{
    HWND dialog = MakeWindow("#32770", WS_POPUP);
    HWND button = MakeWindow("button", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, dialog, 1);
    EnableWindow(button, FALSE);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1), static_cast<UINT>(BST_UNCHECKED));
    DestroyWindow(dialog);
}

}  // namespace
