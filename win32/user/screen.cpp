// screen.cpp: the desktop, window rectangles, the closing slide and message
// boxes. What the platform shows in windows of its own goes to the front end.
#include "user/core.h"

#include <w32/user.h>

#include <cstdio>
#include <cstdlib>

namespace w32 {

namespace {

// Never found in the window table: the desktop is no window of ours.
const HWND kDesktop = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1FFFF));

constexpr int kCaptionHeight = 19;
constexpr int kDialogFrame = 3;

std::atomic<int> g_desktopWidth{0};
std::atomic<int> g_desktopHeight{0};

void DesktopSize(int *width, int *height)
{
    if (g_desktopWidth.load() == 0) {
        int w = 1024, h = 768;
        if (const char *setting = getenv("W32_DESKTOP"))
            if (sscanf(setting, "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0)
                w = 1024, h = 768;
        g_desktopWidth.store(w);
        g_desktopHeight.store(h);
    }
    *width = g_desktopWidth.load();
    *height = g_desktopHeight.load();
}

// A window's rectangle in screen coordinates.
bool ScreenRect(Window *w, RECT *rect)
{
    *rect = w->rect;
    if (!(w->style & WS_CHILD))
        return true;
    Window *parent = FindWindowObject(w->parent);
    if (parent == nullptr)
        return false;
    RECT outer;
    if (!ScreenRect(parent, &outer))
        return false;
    const FrameInsets frame = (parent->style & WS_CHILD) ? FrameInsets{} : FrameOf(parent->style);
    const LONG dx = outer.left + frame.left, dy = outer.top + frame.top;
    *rect = {rect->left + dx, rect->top + dy, rect->right + dx, rect->bottom + dy};
    return true;
}

class SilentFrontEnd : public FrontEnd {
public:
    int ShowMessageBox(HWND, const std::string &, const std::string &, UINT) override { return IDOK; }
    bool BrowseForItem(HWND, const std::string &, UINT, std::string *) override { return false; }
    void Animate(HWND, DWORD, DWORD) override {}
};

std::atomic<FrontEnd *> g_frontEnd{nullptr};

}  // namespace

FrameInsets FrameOf(DWORD style)
{
    FrameInsets f;
    if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME)) {
        f.left = f.right = f.bottom = kDialogFrame;
        f.top = kDialogFrame;
    } else if (style & WS_BORDER) {
        f.left = f.right = f.top = f.bottom = 1;
    }
    if ((style & WS_CAPTION) == WS_CAPTION)
        f.top += kCaptionHeight;
    return f;
}

void SetDesktopSize(int width, int height)
{
    g_desktopWidth.store(width);
    g_desktopHeight.store(height);
}

void SetFrontEnd(FrontEnd *frontEnd)
{
    g_frontEnd.store(frontEnd);
}

FrontEnd &CurrentFrontEnd()
{
    static FrontEnd *silent = new SilentFrontEnd;
    FrontEnd *f = g_frontEnd.load();
    return f != nullptr ? *f : *silent;
}

}  // namespace w32

using namespace w32;

HWND WINAPI GetDesktopWindow(void)
{
    return kDesktop;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    if (lpRect == nullptr)
        return FALSE;
    if (hWnd == kDesktop) {
        int width, height;
        DesktopSize(&width, &height);
        *lpRect = {0, 0, width, height};
        return TRUE;
    }
    BOOL ok = FALSE;
    RunAsOwner(hWnd, [&] { ok = ScreenRect(FindWindowObject(hWnd), lpRect); });
    if (!ok)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return ok;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    if (lpRect == nullptr)
        return FALSE;
    if (hWnd == kDesktop)
        return GetWindowRect(hWnd, lpRect);
    return RunAsOwner(hWnd, [&] {
        Window *w = FindWindowObject(hWnd);
        const FrameInsets f = (w->style & WS_CHILD) ? FrameInsets{} : FrameOf(w->style);
        *lpRect = {0, 0, w->rect.right - w->rect.left - f.left - f.right,
                   w->rect.bottom - w->rect.top - f.top - f.bottom};
    });
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL)
{
    return RunAsOwner(hWnd, [&] {
        Window *w = FindWindowObject(hWnd);
        w->rect = {X, Y, X + nWidth, Y + nHeight};
        Touch(w);
    });
}

BOOL WINAPI AnimateWindow(HWND hWnd, DWORD dwTime, DWORD dwFlags)
{
    if (!IsWindow(hWnd))
        return FALSE;
    // The front end animates the window while it is still (or already) shown.
    if (dwFlags & AW_HIDE) {
        CurrentFrontEnd().Animate(hWnd, dwTime, dwFlags);
        ShowWindow(hWnd, SW_HIDE);
    } else {
        ShowWindow(hWnd, SW_SHOW);
        CurrentFrontEnd().Animate(hWnd, dwTime, dwFlags);
    }
    return TRUE;
}

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    return CurrentFrontEnd().ShowMessageBox(hWnd, lpText != nullptr ? lpText : "",
                                            lpCaption != nullptr ? lpCaption : "Error", uType);
}
