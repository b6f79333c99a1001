// The box adapter on the stand-in's real controls: one message per step, sent
// from a worker thread while the UI thread serves them, behind the box's text.
#include "engine/box.h"
#include "engine/conversion.h"
#include "run/runstate.h"
#include "ui/resource.h"
#include "user/core.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> g_steps;  // "^" for caret to end, else the inserted piece
WNDPROC g_boxProc = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == EM_SETSEL && static_cast<int>(wParam) == -1 && lParam == -1)
        g_steps.push_back("^");
    else if (msg == EM_REPLACESEL && wParam == 0)
        g_steps.push_back(reinterpret_cast<const char *>(lParam));
    return g_boxProc(hwnd, msg, wParam, lParam);
}

// A dialog with an output box and an input box that record what reaches them.
class BoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadLibraryA("RICHED20.DLL"), nullptr);
        g_boxProc = w32::FindWindowClass(RICHEDIT_CLASSA)->proc;
        w32::RegisterWindowClass("recordingbox", RecordingProc);
        g_hDlg = Make("#32770", WS_POPUP, nullptr, 0);
        output_ = Make("recordingbox", WS_CHILD | ES_MULTILINE, g_hDlg, IDC_OUTPUT);
        input_ = Make("recordingbox", WS_CHILD | ES_MULTILINE, g_hDlg, IDC_TEXT);
        SendMessageA(output_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        g_steps.clear();
    }

    void TearDown() override { DestroyWindow(g_hDlg); }

    static HWND Make(const char *cls, DWORD style, HWND parent, int id)
    {
        w32::CreateParams params;
        params.className = cls;
        params.style = style;
        params.parent = parent;
        params.id = id;
        return w32::CreateWindowObject(params);
    }

    // Runs work on a worker thread while this (the UI) thread serves messages.
    static void OnWorker(const std::function<void()> &work)
    {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            work();
            done = true;
        });
        while (!done.load()) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        worker.join();
    }

    static std::string Text(HWND box)
    {
        std::string text(static_cast<size_t>(GetWindowTextLengthA(box)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(box, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    HWND output_ = nullptr;
    HWND input_ = nullptr;
};

TEST_F(BoxTest, ListingArrivesOneMessagePerStepBehindTheBoxsText)
{
    SetWindowTextA(output_, "kept\r\n");
    std::vector<unsigned char> bytes;
    for (int i = 0; i <= 16; i++)
        bytes.push_back(static_cast<unsigned char>(i));
    OnWorker([&] { WriteListing(ModeBigEndian, bytes.data(), static_cast<DWORD>(bytes.size())); });

    EXPECT_EQ(Text(output_),
              "kept\r\n\"\\x00\\x01\\x02\\x03\\x04\\x05\\x06\\x07\\x08\\x09\\x0a\\x0b\\x0c\\x0d\\x0e\\x0f\"\r\n\"\\x10\"");
    // 17 caret moves, 17 escapes, two opening quotes, a line end, and the
    // closing quote after its own caret move.
    ASSERT_EQ(g_steps.size(), 17u + 17u + 2u + 1u + 2u);
    EXPECT_EQ(g_steps[0], "^");
    EXPECT_EQ(g_steps[1], "\"");
    EXPECT_EQ(g_steps[2], "\\x00");
    EXPECT_EQ(g_steps[g_steps.size() - 2], "^");
    EXPECT_EQ(g_steps.back(), "\"");
}

TEST_F(BoxTest, UnknownModeWritesNothing)
{
    const unsigned char bytes[] = {1, 2, 3};
    OnWorker([&] { WriteListing(7, bytes, 3); });
    EXPECT_TRUE(g_steps.empty());
    EXPECT_EQ(Text(output_), "");
}

TEST_F(BoxTest, DecodingAppendsOnePiecePerPairAndKeepsTheOutput)
{
    SetWindowTextA(output_, "48656c6c6f4");
    OnWorker([] { DecodeHexPairs(); });
    EXPECT_EQ(Text(input_), "Hello\x04");
    EXPECT_EQ(Text(output_), "48656c6c6f4");
    EXPECT_EQ(g_steps.size(), 12u);  // six pairs, two steps each

    // An empty output box decodes to nothing at all.
    g_steps.clear();
    SetWindowTextA(output_, "");
    OnWorker([] { DecodeHexPairs(); });
    EXPECT_TRUE(g_steps.empty());
}

TEST_F(BoxTest, DecodingOfAWholeLongText)
{
    std::string text;
    for (int i = 0; i < 40000; i++)
        text += "41";
    SetWindowTextA(output_, text.c_str());
    SendMessageA(input_, EM_SETLIMITTEXT, 0, 0);
    OnWorker([] { DecodeHexPairs(); });
    EXPECT_EQ(Text(input_), std::string(40000, 'A'));
}

}  // namespace
