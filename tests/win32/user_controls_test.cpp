// The controls the program relies on: the text boxes' steps and limits, the
// buttons' groups, and the status bar's parts.
#include "user/core.h"

#include <commctrl.h>
#include <richedit.h>

#include <w32/user.h>

#include <gtest/gtest.h>

#include <string>

namespace {

HWND Make(const char *cls, DWORD style, HWND parent = nullptr, int id = 0, const char *text = "")
{
    // The rich edit class exists once its library is loaded.
    LoadLibraryA("RICHED20.DLL");
    w32::CreateParams params;
    params.className = cls;
    params.style = style;
    params.parent = parent;
    params.id = id;
    params.text = text;
    return w32::CreateWindowObject(params);
}

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
    HWND rich = Make(RICHEDIT_CLASSA, WS_CHILD | ES_MULTILINE);
    HWND plain = Make("edit", WS_CHILD | ES_MULTILINE);
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
    DestroyWindow(rich);
    DestroyWindow(plain);
}

TEST(TextBoxes, GetTextCopiesAtMostSizeMinusOneBytes)
{
    HWND box = Make("edit", WS_CHILD);
    SetWindowTextA(box, "\xd7\xaa\xbb\xbb" "ab");
    char buffer[4] = {'?', '?', '?', '?'};
    EXPECT_EQ(SendMessageA(box, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_EQ(std::string(buffer), "\xd7\xaa\xbb");
    EXPECT_EQ(SendMessageA(box, WM_GETTEXTLENGTH, 0, 0), 6);
    DestroyWindow(box);
}

TEST(TextBoxes, TheDefaultLimitCutsInsertsUntilItIsRaised)
{
    HWND rich = Make(RICHEDIT_CLASSA, WS_CHILD | ES_MULTILINE);
    const std::string big(40000, 'x');
    Insert(rich, big.c_str());
    EXPECT_EQ(GetWindowTextLengthA(rich), 32767);
    SendMessageA(rich, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    CaretToEnd(rich);
    Insert(rich, big.c_str());
    EXPECT_EQ(GetWindowTextLengthA(rich), 32767 + 40000);
    DestroyWindow(rich);
}

TEST(TextBoxes, AppendingMillionsOfPiecesStaysCheap)
{
    HWND rich = Make(RICHEDIT_CLASSA, WS_CHILD | ES_MULTILINE);
    SendMessageA(rich, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    for (int i = 0; i < 2000000; i++) {
        CaretToEnd(rich);
        Insert(rich, "\\x41");
    }
    EXPECT_EQ(GetWindowTextLengthA(rich), 8000000);
    DestroyWindow(rich);
}

TEST(TextBoxes, ClipboardMessages)
{
    HWND rich = Make(RICHEDIT_CLASSA, WS_CHILD | ES_MULTILINE);
    HWND line = Make("edit", WS_CHILD);
    SetWindowTextA(rich, "4142\r\n4344");
    SendMessageA(rich, EM_SETSEL, 2, 8);
    SendMessageA(rich, WM_CUT, 0, 0);
    EXPECT_EQ(Text(rich), "4144");
    EXPECT_EQ(w32::CurrentFrontEnd().ClipboardText(), "42\r\n43");
    SendMessageA(rich, WM_PASTE, 0, 0);  // back where it was cut
    EXPECT_EQ(Text(rich), "4142\r\n4344");
    // A single-line box takes the clipboard's first line.
    SendMessageA(line, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(line), "42");
    SendMessageA(line, EM_SETSEL, 0, -1);
    SendMessageA(line, WM_COPY, 0, 0);
    EXPECT_EQ(w32::CurrentFrontEnd().ClipboardText(), "42");
    DestroyWindow(rich);
    DestroyWindow(line);
}

TEST(TextBoxes, CtrlKeysEditThroughTheirControlCharacters)
{
    HWND rich = Make(RICHEDIT_CLASSA, WS_CHILD | ES_MULTILINE);
    SetWindowTextA(rich, "4142\r\n4344");
    const auto ctrl = [&](char letter) { SendMessageA(rich, WM_CHAR, letter & 0x1F, 0); };
    ctrl('A');
    ctrl('C');
    EXPECT_EQ(w32::CurrentFrontEnd().ClipboardText(), "4142\r\n4344");
    ctrl('X');
    EXPECT_EQ(Text(rich), "");
    ctrl('V');
    ctrl('V');
    EXPECT_EQ(Text(rich), "4142\r\n43444142\r\n4344");
    DestroyWindow(rich);
}

TEST(Buttons, AutoRadioGroupKeepsExactlyOneChecked)
{
    HWND dialog = Make("#32770", WS_POPUP);
    HWND a = Make("button", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, dialog, 1);
    HWND b = Make("button", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, dialog, 2);
    HWND c = Make("button", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, dialog, 3);
    HWND box = Make("button", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, dialog, 4);
    HWND other = Make("button", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, dialog, 5);
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
    // Another group is left alone; a check box toggles; a disabled button ignores clicks.
    EXPECT_EQ(IsDlgButtonChecked(dialog, 5), static_cast<UINT>(BST_CHECKED));
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 4), static_cast<UINT>(BST_CHECKED));
    EnableWindow(a, FALSE);
    SendMessageA(a, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1), static_cast<UINT>(BST_UNCHECKED));
    DestroyWindow(dialog);
    EXPECT_FALSE(IsWindow(a));
}

TEST(StatusBar, PartsHoldTheirOwnTexts)
{
    HWND dialog = Make("#32770", WS_POPUP);
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready", dialog, 77);
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
    DestroyWindow(dialog);
}

}  // namespace
