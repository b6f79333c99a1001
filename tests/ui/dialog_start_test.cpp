// The dialog as WinMain builds it from the resource script: the output box's
// format and limit, the status bar's parts, the centred placement; and no
// dialog at all without the rich edit library.
#include "run/runstate.h"
#include "ui/maindlg.h"
#include "ui/resource.h"

#include "program.h"

#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include <w32/shell.h>
#include <w32/standin.h>
#include <w32/user.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

TEST(DialogStart, OutputFormatStatusPartsAndPlacement)
{
    w32::SetDesktopSize(1024, 768);
    HWND dialog = nullptr;
    {
        RunningProgram program;
        dialog = program.Dialog();

        w32::RunAsOwner(dialog, [&] {
            EXPECT_EQ(g_hDlg, dialog);
            HWND output = GetDlgItem(dialog, IDC_OUTPUT);
            const CHARFORMATA *format = w32::DefaultCharFormat(output);
            ASSERT_NE(format, nullptr);
            EXPECT_EQ(format->cbSize, 60u);
            EXPECT_EQ(format->dwMask, static_cast<DWORD>(CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_ITALIC));
            EXPECT_EQ(format->dwEffects, 0u);
            EXPECT_EQ(format->yHeight, 144);
            EXPECT_EQ(format->crTextColor, 0u);
            EXPECT_STREQ(format->szFaceName, "Fixedsys");
            // Both boxes take a listing or a decoding of any length.
            EXPECT_GE(SendMessageA(output, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
            EXPECT_GE(SendMessageA(GetDlgItem(dialog, IDC_TEXT), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);

            int edges[4] = {};
            EXPECT_EQ(SendMessageA(g_hStatus, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
            EXPECT_EQ(edges[0], 100);
            EXPECT_EQ(edges[1], 670);
            EXPECT_EQ(GetParent(g_hStatus), dialog);

            RECT r;
            GetWindowRect(dialog, &r);
            EXPECT_EQ(r.left, 512 - (r.right - r.left) / 2);
            EXPECT_EQ(r.top, 384 - (r.bottom - r.top) / 2);
            EXPECT_TRUE(IsWindowVisible(dialog));
            EXPECT_EQ(GetFocus(), nullptr);
        });
    }
    EXPECT_FALSE(IsWindow(dialog));
}

bool Idle(HWND dialog)
{
    bool idle = false;
    w32::RunAsOwner(dialog, [&] {
        char state[16] = {};
        SendMessageA(g_hStatus, SB_GETTEXTA, StatusPartState, reinterpret_cast<LPARAM>(state));
        idle = IsWindowEnabled(GetDlgItem(dialog, IDC_CONVERT)) && strcmp(state, "Ready") == 0;
    });
    return idle;
}

TEST(DialogRuns, RunsInARowLeaveNoHandlesBehind)
{
    RunningProgram program;
    HWND dialog = program.Dialog();
    w32::InvokeOnOwner(dialog, [&] {
        SendMessageA(GetDlgItem(dialog, IDC_ASCII), BM_CLICK, 0, 0);
        SetDlgItemTextA(dialog, IDC_TEXT, "some text");
    }, true);

    size_t afterFirst = 0;
    for (int run = 0; run < 4; run++) {
        program.Click(IDC_CONVERT);
        while (!Idle(dialog))
            std::this_thread::yield();
        if (run == 0)
            afterFirst = w32::OpenHandleCount();
    }
    // Each run's stop event is released by the run, its thread handles by the next.
    EXPECT_EQ(w32::OpenHandleCount(), afterFirst);
}

// Answers every browse dialog with one path.
class PickingFrontEnd : public w32::FrontEnd {
public:
    int ShowMessageBox(HWND, const std::string &, const std::string &, UINT) override { return IDOK; }
    bool BrowseForItem(HWND, const std::string &title, UINT flags, std::string *path) override
    {
        EXPECT_EQ(title, "\xc7\xeb\xd1\xa1\xd4\xf1\xd2\xbb\xb8\xf6\xce\xc4\xbc\xfe");  // "请选择一个文件"
        EXPECT_EQ(flags, static_cast<UINT>(BIF_BROWSEINCLUDEFILES));
        *path = "/tmp/picked.bin";
        return true;
    }
    void Animate(HWND, DWORD, DWORD) override {}
};

TEST(DialogCommands, BrowseAndDropReleaseWhatTheShellHandsOut)
{
    PickingFrontEnd frontEnd;
    w32::SetFrontEnd(&frontEnd);
    RunningProgram program;
    HWND dialog = program.Dialog();

    char path[MAX_PATH] = {};
    w32::InvokeOnOwner(dialog, [&] {
        SendMessageA(GetDlgItem(dialog, IDC_BROWSE), BM_CLICK, 0, 0);
        GetDlgItemTextA(dialog, IDC_PATH, path, MAX_PATH);
    }, true);
    EXPECT_STREQ(path, "/tmp/picked.bin");
    EXPECT_EQ(w32::OutstandingItemLists(), 0);

    w32::PostInput(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(w32::MakeDrop({"/a", "/b"})), 0);
    w32::InvokeOnOwner(dialog, [&] { GetDlgItemTextA(dialog, IDC_PATH, path, MAX_PATH); }, true);
    EXPECT_STREQ(path, "/a");
    EXPECT_EQ(w32::OutstandingDrops(), 0);
}

TEST(DialogStart, FailsWithoutTheRichEditClass)
{
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDlgProc, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(w32::CurrentDialog(), nullptr);
}

}  // namespace
