// The real program over a long run: the spinner's glyphs in status part 1,
// their order, and "Completed..." never overwritten; the debug trace matches.
#include "run/runstate.h"
#include "ui/resource.h"
#include "user/core.h"

#include "program.h"

#include <commctrl.h>

#include <w32/standin.h>
#include <w32/user.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every text set into status part 1, in order, recorded by wrapping the
// status bar's class procedure.
std::vector<std::string> g_activity;
WNDPROC g_statusProc = nullptr;

LRESULT CALLBACK RecordingStatusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SB_SETTEXTA && (wParam & 0xFF) == 1)
        g_activity.push_back(reinterpret_cast<const char *>(lParam));
    return g_statusProc(hwnd, msg, wParam, lParam);
}

std::string StatusText(HWND bar, int part)
{
    std::string text;
    w32::RunAsOwner(bar, [&] {
        text.resize(LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0)) + 1);
        SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.data()));
        text.pop_back();
    });
    return text;
}

TEST(Spinner, TurnsInOrderDuringALongRunAndStopsBeforeCompleted)
{
    // The run is held at its end, before it signals the stop event, until the
    // spinner has turned a few times: the run's length is the test's choice,
    // whatever the build's speed.
    const std::string path = testing::TempDir() + "spinner_input.bin";
    {
        std::vector<char> bytes(64 * 1024);
        std::mt19937 rng(5);
        for (char &b : bytes)
            b = static_cast<char>(rng());
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    w32::CaptureTrace(true);
    g_statusProc = w32::FindWindowClass(STATUSCLASSNAMEA)->proc;
    w32::RegisterWindowClass(STATUSCLASSNAMEA, RecordingStatusProc);
    RunningProgram program;
    HWND dialog = program.Dialog();
    HWND bar = w32::FindChildByClass(dialog, STATUSCLASSNAMEA);
    w32::InvokeOnOwner(dialog, [&] {
        SetDlgItemTextA(dialog, IDC_PATH, path.c_str());
        CheckDlgButton(dialog, IDC_BIG_ENDIAN, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_LITTLE_ENDIAN, BST_CHECKED);
    }, true);
    HWND convert = GetDlgItem(dialog, IDC_CONVERT);
    w32::HoldNextCall("SetEvent");
    program.Click(IDC_CONVERT);
    EXPECT_EQ(StatusText(bar, 0), "\xd7\xaa\xbb\xbb\xd6\xd0...");  // "转换中..."
    ASSERT_TRUE(w32::WaitUntilHeld("SetEvent", 600000));
    for (;;) {
        size_t glyphs = 0;
        w32::RunAsOwner(bar, [&] { glyphs = g_activity.size(); });
        if (glyphs >= 5)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    w32::ReleaseHeldCall("SetEvent");

    while (!(IsWindowEnabled(convert) && StatusText(bar, 0) == "Ready"))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // a late glyph would show now

    std::vector<std::string> shown;
    w32::RunAsOwner(bar, [&] { shown = g_activity; });
    ASSERT_GE(shown.size(), 6u);
    EXPECT_EQ(shown.back(), "Completed...");
    EXPECT_EQ(StatusText(bar, 1), "Completed...");
    const std::vector<std::string> cycle = {"-", "\\", "|"};
    for (size_t i = 0; i + 1 < shown.size(); i++)
        EXPECT_EQ(shown[i], cycle[i % 3]) << "glyph " << i;

    // n glyphs leave n - 1 "continue" traces and one "exit".
    const std::vector<std::string> trace = w32::TakeTrace();
    const size_t glyphs = shown.size() - 1;
    ASSERT_EQ(trace.size(), glyphs);
    for (size_t i = 0; i + 1 < trace.size(); i++)
        EXPECT_EQ(trace[i], "\xbf\xc9\xd2\xd4\xbc\xcc\xd0\xf8\xd4\xcb\xd0\xd0");  // "可以继续运行"
    EXPECT_EQ(trace.back(), "\xcd\xcb\xb3\xf6\xcf\xdf\xb3\xcc");  // "退出线程"

    std::remove(path.c_str());
}

}  // namespace
