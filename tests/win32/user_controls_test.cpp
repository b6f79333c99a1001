// The controls the program relies on: the text boxes' steps and limits, the
// buttons' groups, and the status bar's parts. Differential: built for the
// stand-in and for Windows (see platform.h).
#include "platform.h"

#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The controls' parent, as the dialog is the program's.
class Host {
public:
    Host() : dialog_(MakeWindow("#32770", WS_POPUP)) {}
    ~Host() { DestroyWindow(dialog_); }
    Host(const Host &) = delete;
    Host &operator=(const Host &) = delete;

    HWND dialog() const { return dialog_; }

    HWND Make(const char *cls, DWORD style, int id = 0, const char *text = "")
    {
        // The rich edit class exists once its library is loaded.
        LoadLibraryA("RICHED20.DLL");
        return MakeWindow(cls, style | WS_CHILD, dialog_, id, text);
    }

private:
    HWND dialog_;
};

std::string Text(HWND hwnd)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CaretToEnd(HWND box)
{
    SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);
}

void Insert(HWND box, const char *piece)
{
    SendMessageA(box, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(piece));
}

TEST(TextBoxes, CaretToEndDiffersBetweenRichAndPlainBoxes)
{
    Host host;
    HWND rich = host.Make(RICHEDIT_CLASSA, ES_MULTILINE);
    HWND plain = host.Make("edit", ES_MULTILINE);
    for (HWND box : {rich, plain}) {
        SetWindowTextA(box, "abc\r\ndef");
        SendMessageA(box, EM_SETSEL, 1, 3);  // "bc" selected
        CaretToEnd(box);
        Insert(box, "X");
    }
    // The rich box appends; the plain one drops the selection and inserts
    // where the caret was.
    EXPECT_EQ(Text(rich), "abc\r\ndefX");
    EXPECT_EQ(Text(plain), "abcX\r\ndef");
    // A selection is replaced, and the caret ends behind the insert.
    SendMessageA(plain, EM_SETSEL, 0, 3);
    Insert(plain, "12");
    Insert(plain, "3");
    EXPECT_EQ(Text(plain), "123X\r\ndef");
}

TEST(TextBoxes, GetTextCopiesAtMostSizeMinusOneBytes)
{
    Host host;
    HWND box = host.Make("edit", 0);
    SetWindowTextA(box, "\xd7\xaa\xbb\xbb" "ab");
    char buffer[4] = {'?', '?', '?', '?'};
    EXPECT_EQ(SendMessageA(box, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_EQ(std::string(buffer), "\xd7\xaa\xbb");
    EXPECT_EQ(SendMessageA(box, WM_GETTEXTLENGTH, 0, 0), 6);
}

TEST(TextBoxes, TheDefaultLimitCutsInsertsUntilItIsRaised)
{
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine's rich edit box has no limit for inserts (tests/windows/known-differences.md)";
    Host host;
    HWND rich = host.Make(RICHEDIT_CLASSA, ES_MULTILINE);
    const std::string big(40000, 'x');
    Insert(rich, big.c_str());
    EXPECT_EQ(GetWindowTextLengthA(rich), 32767);
    SendMessageA(rich, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    CaretToEnd(rich);
    Insert(rich, big.c_str());
    EXPECT_EQ(GetWindowTextLengthA(rich), 32767 + 40000);
}

TEST(TextBoxes, ClipboardMessages)
{
    Host host;
    HWND rich = host.Make(RICHEDIT_CLASSA, ES_MULTILINE);
    HWND line = host.Make("edit", 0);
    SetWindowTextA(rich, "4142\r\n4344");
    // Wine's rich edit box counts a line break as one position
    // (tests/windows/known-differences.md).
    const int lineBreak = RunningUnderWine() ? 1 : 2;
    SendMessageA(rich, EM_SETSEL, 2, 6 + lineBreak);
    SendMessageA(rich, WM_CUT, 0, 0);
    EXPECT_EQ(Text(rich), "4144");
    EXPECT_EQ(ClipboardText(), "42\r\n43");
    SendMessageA(rich, WM_PASTE, 0, 0);  // back where it was cut
    EXPECT_EQ(Text(rich), "4142\r\n4344");
    // A single-line box takes the clipboard's first line.
    SendMessageA(line, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(line), "42");
    SendMessageA(line, EM_SETSEL, 0, -1);
    SendMessageA(line, WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(), "42");
}

TEST(TextBoxes, CtrlKeysEditThroughTheirControlCharacters)
{
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine's rich edit box ignores these characters (tests/windows/known-differences.md)";
    Host host;
    HWND rich = host.Make(RICHEDIT_CLASSA, ES_MULTILINE);
    SetWindowTextA(rich, "4142\r\n4344");
    const auto ctrl = [&](char letter) { SendMessageA(rich, WM_CHAR, letter & 0x1F, 0); };
    ctrl('A');
    ctrl('C');
    EXPECT_EQ(ClipboardText(), "4142\r\n4344");
    ctrl('X');
    EXPECT_EQ(Text(rich), "");
    ctrl('V');
    ctrl('V');
    EXPECT_EQ(Text(rich), "4142\r\n43444142\r\n4344");
}

TEST(Buttons, AutoRadioGroupKeepsExactlyOneChecked)
{
    Host host;
    HWND dialog = host.dialog();
    HWND a = host.Make("button", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 1);
    HWND b = host.Make("button", WS_VISIBLE | BS_AUTORADIOBUTTON, 2);
    HWND c = host.Make("button", WS_VISIBLE | BS_AUTORADIOBUTTON, 3);
    HWND box = host.Make("button", WS_VISIBLE | BS_AUTOCHECKBOX, 4);
    HWND other = host.Make("button", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 5);
    SendMessageA(b, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
    struct Step {
        HWND clicked;
        int a, b, c;
    } steps[] = {{a, 1, 0, 0}, {a, 1, 0, 0}, {c, 0, 0, 1}, {b, 0, 1, 0}};
    for (const Step &s : steps) {
        SendMessageA(s.clicked, BM_CLICK, 0, 0);
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1), static_cast<UINT>(s.a));
        EXPECT_EQ(IsDlgButtonChecked(dialog, 2), static_cast<UINT>(s.b));
        EXPECT_EQ(IsDlgButtonChecked(dialog, 3), static_cast<UINT>(s.c));
    }
    // Another group is left alone; a check box toggles.
    EXPECT_EQ(IsDlgButtonChecked(dialog, 5), static_cast<UINT>(BST_CHECKED));
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 4), static_cast<UINT>(BST_CHECKED));
    DestroyWindow(dialog);
    EXPECT_FALSE(IsWindow(a));
}

TEST(StatusBar, PartsHoldTheirOwnTexts)
{
    Host host;
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready", host.dialog(), 77);
    ASSERT_NE(bar, nullptr);
    int edges[2] = {100, 670};
    EXPECT_TRUE(SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges)));
    EXPECT_TRUE(SendMessageA(bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("-")));
    EXPECT_FALSE(SendMessageA(bar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("x")));
    char text[32];
    EXPECT_EQ(LOWORD(SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text))), 5);
    EXPECT_EQ(std::string(text), "Ready");
    SendMessageA(bar, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::string(text), "-");
}

}  // namespace
