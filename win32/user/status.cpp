// status.cpp: the common controls' status bar, with its parts and texts.
#include "user/core.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace w32 {

namespace {

constexpr int kStatusHeight = 20;

struct StatusData : ControlData {
    std::vector<int> edges{-1};
    std::vector<std::string> texts{std::string()};
    std::vector<WORD> kinds{0};
};

StatusData *Data(Window *w)
{
    return static_cast<StatusData *>(w->data.get());
}

LRESULT CALLBACK StatusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindowObject(hwnd);
    switch (msg) {
    case WM_CREATE:
        w->data = std::make_unique<StatusData>();
        Data(w)->texts[0] = w->text;
        return 0;
    case WM_SETTEXT:
        Data(w)->texts[0] = lParam != 0 ? reinterpret_cast<const char *>(lParam) : "";
        Touch(w);
        return TRUE;
    case SB_SETPARTS: {
        const int count = static_cast<int>(wParam);
        const int *edges = reinterpret_cast<const int *>(lParam);
        if (count < 1 || count > 256 || edges == nullptr)
            return FALSE;
        StatusData *d = Data(w);
        d->edges.assign(edges, edges + count);
        d->texts.resize(count);
        d->kinds.resize(count);
        Touch(w);
        return TRUE;
    }
    case SB_GETPARTS: {
        StatusData *d = Data(w);
        int *edges = reinterpret_cast<int *>(lParam);
        for (size_t i = 0; edges != nullptr && i < d->edges.size() && i < wParam; i++)
            edges[i] = d->edges[i];
        return static_cast<LRESULT>(d->edges.size());
    }
    case SB_SETTEXTA: {
        StatusData *d = Data(w);
        const size_t part = wParam & 0xFF;
        if (part >= d->texts.size())
            return FALSE;
        d->texts[part] = lParam != 0 ? reinterpret_cast<const char *>(lParam) : "";
        d->kinds[part] = static_cast<WORD>(wParam & 0xFF00);
        Touch(w);
        return TRUE;
    }
    case SB_GETTEXTA:
    case SB_GETTEXTLENGTHA: {
        StatusData *d = Data(w);
        const size_t part = wParam & 0xFF;
        if (part >= d->texts.size())
            return 0;
        const std::string &text = d->texts[part];
        if (msg == SB_GETTEXTA && lParam != 0)
            memcpy(reinterpret_cast<char *>(lParam), text.c_str(), text.size() + 1);
        return MAKELONG(std::min<size_t>(text.size(), 0xFFFF), d->kinds[part]);
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void RegisterStatusClass()
{
    RegisterWindowClass(STATUSCLASSNAMEA, StatusProc);
}

}  // namespace w32

using namespace w32;

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX *picce)
{
    return picce != nullptr && picce->dwSize == sizeof(INITCOMMONCONTROLSEX);
}

HWND WINAPI CreateStatusWindowA(LONG style, LPCSTR lpszText, HWND hwndParent, UINT wID)
{
    // The bar lies along the bottom of its parent's client area.
    RECT client = {};
    GetClientRect(hwndParent, &client);
    CreateParams params;
    params.className = STATUSCLASSNAMEA;
    params.text = lpszText != nullptr ? lpszText : "";
    params.style = static_cast<DWORD>(style);
    params.rect = {0, client.bottom - kStatusHeight, client.right, client.bottom};
    params.parent = hwndParent;
    params.id = static_cast<int>(wID);
    return CreateWindowObject(params);
}
