// CenterWindow's arithmetic: each half truncated toward zero by itself.
#include "ui/maindlg.h"

#include <commctrl.h>

#include <w32/user.h>

#include <gtest/gtest.h>

namespace {

TEST(CenterWindow, PutsTheWindowsCentreOnTheDesktops)
{
    struct Case {
        int desktopWidth, desktopHeight, width, height, x, y;
    } cases[] = {
        {1024, 768, 607, 437, 209, 166},
        {1280, 1024, 607, 452, 337, 286},
        {1025, 769, 1, 1, 512, 384},
        {800, 600, 1001, 701, -100, -50},  // larger than the screen
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        w32::SetDesktopSize(c.desktopWidth, c.desktopHeight);
        HWND window = CreateStatusWindowA(0, "", nullptr, 0);  // any top-level window
        ASSERT_NE(window, nullptr);
        MoveWindow(window, 3, 5, c.width, c.height, TRUE);
        CenterWindow(2, window);
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(r.left, c.x);
        EXPECT_EQ(r.top, c.y);
        EXPECT_EQ(r.right - r.left, c.width);
        EXPECT_EQ(r.bottom - r.top, c.height);
        DestroyWindow(window);
    }
}

}  // namespace
