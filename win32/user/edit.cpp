// edit.cpp: the plain edit box and the "RichEdit20A" box. Both hold the exact
// narrow bytes they are given (CR LF stays two characters), a selection, and a
// text limit. Appending at the end is constant time (see textstore.h).
#include "user/core.h"

#include "kernel/libraries.h"
#include "user/textstore.h"

#include <w32/user.h>

#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace w32 {

namespace {

// The platform's initial limit on what typing and EM_REPLACESEL may add.
constexpr size_t kDefaultLimit = 32767;
constexpr size_t kLargestLimit = 0x7FFFFFFE;

struct TextData : ControlData {
    TextStore text;
    size_t anchor = 0;  // the fixed end of the selection
    size_t caret = 0;   // the moving end, where the caret is
    size_t limit = kDefaultLimit;
    bool rich = false;
    CHARFORMATA format = {};
    bool hasFormat = false;
    uint64_t resets = 0;  // changes other than appends, for a display that mirrors appends
};

TextData *Data(Window *w)
{
    return static_cast<TextData *>(w->data.get());
}

inline void ReplaceSelection(Window *w, const char *piece, size_t length)
{
    TextData *d = Data(w);
    const size_t lo = std::min(d->anchor, d->caret);
    const size_t hi = std::max(d->anchor, d->caret);
    const size_t kept = d->text.size() - (hi - lo);
    const size_t room = d->limit > kept ? d->limit - kept : 0;
    length = std::min(length, room);
    if (lo == d->text.size()) {
        if (!d->text.Append(piece, length))
            return;
    } else {
        if (!d->text.Replace(lo, hi - lo, piece, length))
            return;
        d->resets++;
    }
    d->anchor = d->caret = lo + length;
    Touch(w);
}

inline void SetSelection(Window *w, long start, long end)
{
    TextData *d = Data(w);
    const size_t length = d->text.size();
    if (start == -1) {
        // The rich edit box puts the caret at the end; the plain one only
        // drops the selection and leaves the caret where it is.
        if (d->rich)
            d->anchor = d->caret = length;
        else
            d->anchor = d->caret;
    } else {
        const size_t s = start < 0 ? length : std::min(static_cast<size_t>(start), length);
        const size_t e = end < 0 ? length : std::min(static_cast<size_t>(end), length);
        d->anchor = s;
        d->caret = e;
    }
    Touch(w);
}

void Backspace(Window *w);

// The width of the character after a position: CR LF and a double-byte
// character count as one.
size_t CharacterAfter(std::string_view text, size_t at)
{
    if (at >= text.size())
        return 0;
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if ((c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') || (c >= 0x81 && c <= 0xFE && at + 1 < text.size()))
        return 2;
    return 1;
}

// The width of the character before a position. Double-byte characters can
// only be told apart from the start of their line.
size_t CharacterBefore(std::string_view text, size_t at)
{
    if (at == 0)
        return 0;
    if (at >= 2 && text.compare(at - 2, 2, "\r\n") == 0)
        return 2;
    const size_t newline = text.rfind('\n', at - 1);
    size_t position = newline == std::string::npos ? 0 : newline + 1, width = 1;
    while (position < at) {
        width = CharacterAfter(text, position);
        position += width;
    }
    return width;
}

void KeyDown(Window *w, WPARAM key)
{
    TextData *d = Data(w);
    const std::string_view text = d->text.View();
    switch (key) {
    case VK_LEFT:
        d->caret -= CharacterBefore(text, d->caret);
        break;
    case VK_RIGHT:
        d->caret += CharacterAfter(text, d->caret);
        break;
    case VK_HOME: {
        const size_t lineStart = d->caret == 0 ? std::string::npos : text.rfind('\n', d->caret - 1);
        d->caret = lineStart == std::string::npos ? 0 : lineStart + 1;
        break;
    }
    case VK_END: {
        const size_t lineEnd = text.find("\r\n", d->caret);
        d->caret = lineEnd == std::string::npos ? text.size() : lineEnd;
        break;
    }
    case VK_DELETE:
        if (d->anchor == d->caret)
            d->caret += CharacterAfter(text, d->caret);
        ReplaceSelection(w, "", 0);
        return;
    default:
        return;
    }
    d->anchor = d->caret;
    Touch(w);
}

void Backspace(Window *w)
{
    TextData *d = Data(w);
    if (d->anchor == d->caret)
        d->anchor = d->caret - CharacterBefore(d->text.View(), d->caret);
    ReplaceSelection(w, "", 0);
}

LRESULT TextBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool rich)
{
    Window *w = FindWindowObject(hwnd);
    TextData *d = Data(w);
    switch (msg) {
    case WM_CREATE: {
        auto data = std::make_unique<TextData>();
        data->rich = rich;
        data->text.Assign(w->text);
        w->text.clear();
        w->data = std::move(data);
        return 0;
    }
    case WM_SETTEXT:
        if (!d->text.Assign(lParam != 0 ? reinterpret_cast<const char *>(lParam) : ""))
            return FALSE;
        d->anchor = d->caret = 0;
        d->resets++;
        Touch(w);
        return TRUE;
    case WM_GETTEXT:
        return CopyTextOut(d->text.View(), wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(std::min(d->text.size(), static_cast<size_t>(INT_MAX)));
    case EM_GETSEL: {
        const size_t lo = std::min(d->anchor, d->caret);
        const size_t hi = std::max(d->anchor, d->caret);
        if (wParam != 0)
            *reinterpret_cast<DWORD *>(wParam) = static_cast<DWORD>(lo);
        if (lParam != 0)
            *reinterpret_cast<DWORD *>(lParam) = static_cast<DWORD>(hi);
        return MAKELONG(std::min<size_t>(lo, 0xFFFF), std::min<size_t>(hi, 0xFFFF));
    }
    case EM_LIMITTEXT:
        d->limit = wParam == 0 ? kLargestLimit : static_cast<size_t>(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(d->limit);
    case EM_EXLIMITTEXT:
        if (!rich)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        d->limit = lParam == 0 ? 65536 : static_cast<size_t>(lParam);
        return 0;
    case EM_SETCHARFORMAT: {
        const auto *format = reinterpret_cast<const CHARFORMATA *>(lParam);
        if (!rich || format == nullptr || format->cbSize != sizeof(CHARFORMATA))
            return 0;
        d->format = *format;
        d->hasFormat = true;
        Touch(w);
        return TRUE;
    }
    case EM_GETCHARFORMAT: {
        auto *format = reinterpret_cast<CHARFORMATA *>(lParam);
        if (!rich || format == nullptr || format->cbSize != sizeof(CHARFORMATA))
            return 0;
        *format = d->format;
        format->cbSize = sizeof(CHARFORMATA);
        return d->format.dwMask;
    }
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        const MSG *m = reinterpret_cast<const MSG *>(lParam);
        if ((w->style & ES_MULTILINE) && (w->style & ES_WANTRETURN) && m != nullptr &&
            m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_COPY:
    case WM_CUT: {
        const size_t lo = std::min(d->anchor, d->caret), hi = std::max(d->anchor, d->caret);
        if (lo == hi)
            return 0;
        CurrentFrontEnd().SetClipboardText(std::string(d->text.View().substr(lo, hi - lo)));
        if (msg == WM_CUT)
            ReplaceSelection(w, "", 0);
        return 0;
    }
    case WM_CLEAR:
        ReplaceSelection(w, "", 0);
        return 0;
    case WM_PASTE: {
        std::string text = CurrentFrontEnd().ClipboardText();
        // A single-line box takes the first line only.
        if (!(w->style & ES_MULTILINE))
            text = text.substr(0, text.find_first_of("\r\n"));
        ReplaceSelection(w, text.data(), text.size());
        return 0;
    }
    case WM_CHAR:
        // Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+X arrive as control characters.
        switch (wParam) {
        case 'A' & 0x1F:
            SetSelection(w, 0, -1);
            return 0;
        case 'C' & 0x1F:
            return TextBoxProc(hwnd, WM_COPY, 0, 0, rich);
        case 'V' & 0x1F:
            return TextBoxProc(hwnd, WM_PASTE, 0, 0, rich);
        case 'X' & 0x1F:
            return TextBoxProc(hwnd, WM_CUT, 0, 0, rich);
        default:
            break;
        }
        if (wParam == '\b') {
            Backspace(w);
        } else if (wParam == '\r') {
            if ((w->style & ES_MULTILINE) && (w->style & ES_WANTRETURN))
                ReplaceSelection(w, "\r\n", 2);
        } else if (wParam >= 0x20 || wParam == '\t') {
            const char c = static_cast<char>(wParam);
            ReplaceSelection(w, &c, 1);
        }
        return 0;
    case WM_KEYDOWN:
        KeyDown(w, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// The two messages of a box step, millions per run, ahead of all the others.
inline bool BoxStep(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == EM_SETSEL) {
        SetSelection(FindWindowObject(hwnd), static_cast<int>(wParam), static_cast<int>(lParam));
        return true;
    }
    if (msg == EM_REPLACESEL) {
        const char *piece = lParam != 0 ? reinterpret_cast<const char *>(lParam) : "";
        ReplaceSelection(FindWindowObject(hwnd), piece, strlen(piece));
        return true;
    }
    return false;
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return BoxStep(hwnd, msg, wParam, lParam) ? 0 : TextBoxProc(hwnd, msg, wParam, lParam, false);
}

LRESULT CALLBACK RichEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return BoxStep(hwnd, msg, wParam, lParam) ? 0 : TextBoxProc(hwnd, msg, wParam, lParam, true);
}

}  // namespace

void RegisterEditClass()
{
    RegisterWindowClass("edit", EditProc);
}

void RegisterRichEditClass()
{
    RegisterWindowClass(RICHEDIT_CLASSA, RichEditProc);
}

// The rich edit class exists only once its library is loaded, as on the
// platform: a dialog that needs it fails to build before LoadLibraryA.
const bool g_richEditLibrary = (RegisterLibrary("RICHED20.DLL", RegisterRichEditClass), true);

bool ViewTextBox(HWND hwnd, TextBoxView *view)
{
    Window *w = FindWindowObject(hwnd);
    if (w == nullptr || (w->cls->proc != RichEditProc && w->cls->proc != EditProc))
        return false;
    TextData *d = Data(w);
    view->text = d->text.View();
    view->anchor = d->anchor;
    view->caret = d->caret;
    view->resets = d->resets;
    return true;
}

const CHARFORMATA *DefaultCharFormat(HWND hwnd)
{
    Window *w = FindWindowObject(hwnd);
    if (w == nullptr || w->cls->proc != RichEditProc || !Data(w)->hasFormat)
        return nullptr;
    return &Data(w)->format;
}

}  // namespace w32
