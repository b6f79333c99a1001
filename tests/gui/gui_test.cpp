// The real program on screen: its window under Xvfb, played with real X
// input (xdotool moves the pointer, clicks and types), and what the person
// sees (the widgets) checked against the controls behind them.
#include "display/frontend.h"
#include "display/mirror.h"
#include "display/textview.h"
#include "run/runstate.h"
#include "ui/resource.h"

#include <commctrl.h>

#include <w32/standin.h>
#include <w32/user.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Runs fn on Qt's GUI thread, which is the dialog's UI thread, from inside
// its message loop, and returns once it has run. Through the stand-in's own
// queue rather than a blocking Qt call: Qt is not built with
// ThreadSanitizer, which cannot see Qt's queue order the two threads.
void OnGui(const std::function<void()> &fn)
{
    w32::InvokeOnOwner(w32::CurrentDialog(), fn, true);
}

void Xdotool(const std::string &arguments)
{
    const std::string command = std::string(XDOTOOL) + " " + arguments;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Waits (at most a minute) until the condition, read as the dialog's owner, holds.
bool WaitFor(HWND dialog, const std::function<bool()> &condition)
{
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < end) {
        bool met = false;
        w32::RunAsOwner(dialog, [&] { met = condition(); });
        if (met)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// xdotool's names of the keys that type text (letters, digits and the marks
// of a path), so that text and other keys go in one burst.
std::string KeysOf(const std::string &text)
{
    static const std::pair<char, const char *> kMarks[] = {
        {'/', "slash"}, {'.', "period"}, {'_', "underscore"}, {'-', "minus"}, {' ', "space"}};
    std::string keys;
    for (char c : text) {
        std::string name(1, c);
        for (const auto &[mark, keysym] : kMarks)
            if (c == mark)
                name = keysym;
        keys += " " + name;
    }
    return keys;
}

std::string ControlText(HWND dialog, int id)
{
    std::string text;
    w32::RunAsOwner(dialog, [&] {
        HWND control = GetDlgItem(dialog, id);
        text.resize(static_cast<size_t>(GetWindowTextLengthA(control)) + 1);
        text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    });
    return text;
}

bool Idle(HWND dialog)
{
    char state[16] = {};
    SendMessageA(g_hStatus, SB_GETTEXTA, StatusPartState, reinterpret_cast<LPARAM>(state));
    return IsWindowEnabled(GetDlgItem(dialog, IDC_CONVERT)) && std::string(state) == "Ready";
}

// The program on screen, with the test played from a second thread.
class OnScreen : public testing::Test {
protected:
    void Play(const std::function<void(HWND dialog)> &script)
    {
        int argc = 1;
        char name[] = "gui_test";
        char *argv[] = {name, nullptr};
        QApplication application(argc, argv);
        frontEnd_ = w32::InstallDisplayFrontEnd();
        std::thread player([&] {
            HWND dialog = nullptr;
            while ((dialog = w32::CurrentDialog()) == nullptr)
                std::this_thread::sleep_for(1ms);
            std::this_thread::sleep_for(200ms);  // the window is mapped and painted
            script(dialog);
            if (IsWindow(dialog))
                OnGui([&] { Window(dialog)->close(); });  // the close button
        });
        exitCode_ = WinMain(GetModuleHandleA(nullptr), nullptr, name, SW_SHOWNORMAL);
        player.join();
        EXPECT_FALSE(IsWindow(w32::CurrentDialog()));
    }

    QWidget *Window(HWND dialog) { return frontEnd_->MirrorOf(dialog)->Window(); }

    template <class T>
    T *Widget(HWND dialog, int id)
    {
        return Window(dialog)->findChild<T *>(QString::number(id));
    }

    // Clicks the middle of a control's widget with the X pointer.
    void Click(HWND dialog, int id)
    {
        QPoint at;
        OnGui([&] {
            QWidget *widget = Widget<QWidget>(dialog, id);
            at = widget->mapToGlobal(widget->rect().center());
        });
        Xdotool("mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " click 1");
    }

    w32::DisplayFrontEnd *frontEnd_ = nullptr;
    int exitCode_ = -1;
};

TEST_F(OnScreen, TypedPathConvertedAndShown)
{
    const std::string path = testing::TempDir() + "gui_input.bin";
    std::ofstream(path, std::ios::binary) << std::string("MZ\x90\x00 on screen", 13);
    const std::string listing = "\"\\x4d\\x5a\\x90\\x00\\x20\\x6f\\x6e\\x20\\x73\\x63\\x72\\x65\\x65\"";

    Play([&](HWND dialog) {
        Click(dialog, IDC_PATH);
        Xdotool("type --delay 2 '" + path + "'");
        ASSERT_TRUE(WaitFor(dialog, [&] {
            char typed[MAX_PATH] = {};
            GetDlgItemTextA(dialog, IDC_PATH, typed, MAX_PATH);
            return path == typed;
        }));
        Click(dialog, IDC_CONVERT);
        ASSERT_TRUE(WaitFor(dialog, [&] { return Idle(dialog) && GetWindowTextLengthA(GetDlgItem(dialog, IDC_OUTPUT)) > 0; }));
        EXPECT_EQ(ControlText(dialog, IDC_OUTPUT), listing);

        // What the person sees follows within a few frames.
        std::this_thread::sleep_for(300ms);
        OnGui([&] {
            EXPECT_EQ(Widget<w32::TextView>(dialog, IDC_OUTPUT)->Text().toStdString(), listing);
            EXPECT_EQ(Widget<QLineEdit>(dialog, IDC_PATH)->text().toStdString(), path);
            const QList<QLabel *> parts = Widget<QWidget>(dialog, IDC_STATUS)->findChildren<QLabel *>();
            ASSERT_EQ(parts.size(), 2);
            EXPECT_EQ(parts[0]->text().toStdString(), "Ready");
            EXPECT_EQ(parts[1]->text().toStdString(), "Completed...");
        });
    });
    EXPECT_EQ(exitCode_, 0);
    std::remove(path.c_str());
}

TEST_F(OnScreen, PastedPairsDecodeIntoTheInputBox)
{
    Play([&](HWND dialog) {
        OnGui([] { QApplication::clipboard()->setText("48656c6c6f\n"); });
        Click(dialog, IDC_OUTPUT);
        Xdotool("key ctrl+v");
        ASSERT_TRUE(WaitFor(dialog, [&] { return GetWindowTextLengthA(GetDlgItem(dialog, IDC_OUTPUT)) == 12; }));
        EXPECT_EQ(ControlText(dialog, IDC_OUTPUT), "48656c6c6f\r\n");
        Click(dialog, IDC_CONVERT);
        ASSERT_TRUE(WaitFor(dialog, [&] { return Idle(dialog) && GetWindowTextLengthA(GetDlgItem(dialog, IDC_TEXT)) > 0; }));
        EXPECT_EQ(ControlText(dialog, IDC_TEXT), "Hello");
        std::this_thread::sleep_for(300ms);
        OnGui([&] { EXPECT_EQ(Widget<w32::TextView>(dialog, IDC_TEXT)->Text().toStdString(), "Hello"); });
    });
    EXPECT_EQ(exitCode_, 0);
}

TEST_F(OnScreen, StaysResponsiveDuringALongListing)
{
    const size_t size = 1024 * 1024;
    const std::string path = testing::TempDir() + "gui_long.bin";
    std::ofstream(path, std::ios::binary) << std::string(size, 'A');

    Play([&](HWND dialog) {
        OnGui([&] {});
        w32::InvokeOnOwner(dialog, [&] { SetDlgItemTextA(dialog, IDC_PATH, path.c_str()); }, true);
        // The run is held at its end (before it signals its stop event) until
        // the click has been checked, so it is still under way then, however
        // fast the listing went.
        w32::HoldNextCall("SetEvent");
        Click(dialog, IDC_CONVERT);
        ASSERT_TRUE(WaitFor(dialog, [&] { return !IsWindowEnabled(GetDlgItem(dialog, IDC_CONVERT)); }));
        // Mid-run, a click on ASCII is served at once.
        Click(dialog, IDC_ASCII);
        ASSERT_TRUE(WaitFor(dialog, [&] { return IsDlgButtonChecked(dialog, IDC_ASCII) == BST_CHECKED; }));
        bool stillRunning = false;
        w32::RunAsOwner(dialog, [&] { stillRunning = !Idle(dialog); });
        EXPECT_TRUE(stillRunning);
        w32::ReleaseHeldCall("SetEvent");
        ASSERT_TRUE(WaitFor(dialog, [&] { return Idle(dialog); }));

        // The widget ends up with the whole listing: 16 escapes and quotes a line.
        const size_t lines = size / 16;
        for (int frame = 0; frame < 200; frame++) {
            int blocks = 0;
            OnGui([&] { blocks = Widget<w32::TextView>(dialog, IDC_OUTPUT)->LineCount(); });
            if (static_cast<size_t>(blocks) == lines)
                break;
            std::this_thread::sleep_for(50ms);
        }
        OnGui([&] {
            w32::TextView *box = Widget<w32::TextView>(dialog, IDC_OUTPUT);
            EXPECT_EQ(static_cast<size_t>(box->LineCount()), lines);
            EXPECT_EQ(box->LineText(box->LineCount() - 1).toStdString(), "\"" + [] {
                std::string s;
                for (int i = 0; i < 16; i++)
                    s += "\\x41";
                return s;
            }() + "\"");
        });
    });
    EXPECT_EQ(exitCode_, 0);
    std::remove(path.c_str());
}

// The output box shows the character format the program sets (a fixed-pitch
// face at 7.2 points, black, at start-up), and follows a new one.
TEST_F(OnScreen, OutputBoxShowsTheProgramsCharacterFormat)
{
    struct Shown {
        int pixels;
        QColor colour;
        bool bold;
        bool fixedPitch;
    };
    const auto shows = [&](HWND dialog, const Shown &want) {
        // Within a few frames.
        for (int frame = 0; frame < 100; frame++) {
            Shown seen = {};
            OnGui([&] {
                w32::TextView *box = Widget<w32::TextView>(dialog, IDC_OUTPUT);
                const QFontInfo font(box->font());
                seen = {font.pixelSize(), box->palette().color(QPalette::Active, QPalette::Text), font.bold(), font.fixedPitch()};
            });
            if (seen.pixels == want.pixels && seen.colour == want.colour && seen.bold == want.bold &&
                seen.fixedPitch == want.fixedPitch)
                return testing::AssertionSuccess();
            if (frame == 99)
                return testing::AssertionFailure() << seen.pixels << " px, " << seen.colour.name().toStdString()
                                                   << (seen.bold ? ", bold" : "") << (seen.fixedPitch ? ", fixed pitch" : "");
            std::this_thread::sleep_for(30ms);
        }
        return testing::AssertionFailure();
    };

    Play([&](HWND dialog) {
        // 7.2 points are 9.6 pixels on the 96 DPI screen the dialog is laid out for.
        EXPECT_TRUE(shows(dialog, {10, QColor(0, 0, 0), false, true})) << "the program's own format";
        struct Case {
            const char *face;
            LONG twips;
            COLORREF colour;  // 0x00BBGGRR
            DWORD effects;
            Shown want;
        } const cases[] = {
            {"Courier New", 240, 0x00FF0000, CFE_BOLD, {16, QColor(0, 0, 255), true, true}},
            {"DejaVu Sans", 180, 0x000000C8, 0, {12, QColor(200, 0, 0), false, false}},
        };
        for (const Case &c : cases) {
            CHARFORMATA format = {};
            format.cbSize = sizeof(format);
            format.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD;
            format.dwEffects = c.effects;
            format.yHeight = c.twips;
            format.crTextColor = c.colour;
            strcpy(format.szFaceName, c.face);
            w32::InvokeOnOwner(dialog, [&] {
                SendMessageA(GetDlgItem(dialog, IDC_OUTPUT), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
            }, true);
            EXPECT_TRUE(shows(dialog, c.want)) << c.face;
        }
    });
    EXPECT_EQ(exitCode_, 0);
}

// Keys sent back to back, with no delay, each land on the control that has
// the stand-in's focus when it is taken from the queue: never on the one that
// Qt, a frame behind, still thinks has the focus.
TEST_F(OnScreen, KeysWithNoDelayLandWhereTheFocusIsAtTheirTurn)
{
    const std::string paths[2] = {testing::TempDir() + "gui_fast_a.bin", testing::TempDir() + "gui_fast_b.bin"};
    std::ofstream(paths[0], std::ios::binary) << "A";
    std::ofstream(paths[1], std::ios::binary) << "BC";
    const std::string listings[2] = {"\"\\x41\"", "\"\\x42\\x43\""};

    Play([&](HWND dialog) {
        for (int round = 0; round < 12; round++) {
            SCOPED_TRACE("round " + std::to_string(round));
            const std::string &path = paths[round % 2];
            // Into the path box and out and back (which selects its text), the
            // path typed or pasted over it, then Tab to "...", "ASCII", "转换"
            // and Space on it.
            const bool paste = round % 4 >= 2;
            if (paste)
                OnGui([&] { QApplication::clipboard()->setText(QString::fromStdString(path)); });
            w32::InvokeOnOwner(dialog, [&] { SetDlgItemTextA(dialog, IDC_OUTPUT, ""); }, true);
            Click(dialog, IDC_PATH);
            Xdotool("key --delay 0 Tab shift+Tab" + (paste ? std::string(" ctrl+v") : KeysOf(path)) +
                    " Tab Tab Tab space");
            ASSERT_TRUE(WaitFor(dialog, [&] { return Idle(dialog) && GetWindowTextLengthA(GetDlgItem(dialog, IDC_OUTPUT)) > 0; }));
            EXPECT_EQ(ControlText(dialog, IDC_OUTPUT), listings[round % 2]);
            EXPECT_EQ(ControlText(dialog, IDC_PATH), path);

            // Arrows through the radio group and back to Big Endian, Tab to
            // ASCII and Space (the text box opens), Shift+Tab into the text
            // box, a word typed, Tab and Space on ASCII again (it closes).
            Click(dialog, IDC_BIG_ENDIAN);
            Xdotool("key --delay 0 Down Up Up Down Tab space shift+Tab" + KeysOf("Hi " + std::to_string(round)) +
                    " Tab space");
            const std::string word = "Hi " + std::to_string(round);
            const bool ended = WaitFor(dialog, [&] {
                return ControlText(dialog, IDC_TEXT) == word && !IsWindowEnabled(GetDlgItem(dialog, IDC_TEXT));
            });
            ASSERT_TRUE(ended) << "the text box holds \"" << ControlText(dialog, IDC_TEXT) << "\"";
            w32::RunAsOwner(dialog, [&] {
                EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_ASCII));
                EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BIG_ENDIAN), BST_CHECKED);
                EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_ASCII), BST_UNCHECKED);
            });
            EXPECT_EQ(ControlText(dialog, IDC_PATH), path);
        }
    });
    EXPECT_EQ(exitCode_, 0);
    for (const std::string &path : paths)
        std::remove(path.c_str());
}

}  // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
