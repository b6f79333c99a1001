// button.cpp: push buttons, auto check boxes, auto radio buttons, group boxes.
#include "user/core.h"

#include "user/dialogs.h"

namespace w32 {

namespace {

struct ButtonData : ControlData {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
};

ButtonData *Data(Window *w)
{
    return static_cast<ButtonData *>(w->data.get());
}

DWORD Kind(Window *w)
{
    return w->style & BS_TYPEMASK;
}

void SetCheck(Window *w, UINT check)
{
    if (Data(w)->check != check) {
        Data(w)->check = check;
        Touch(w);
    }
}

// What a click does: the auto styles change their own state first, then the
// parent hears BN_CLICKED.
void Click(Window *w)
{
    switch (Kind(w)) {
    case BS_GROUPBOX:
        return;
    case BS_AUTOCHECKBOX:
        SetCheck(w, Data(w)->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        break;
    case BS_AUTORADIOBUTTON:
        for (Window *other : DialogGroup(w))
            if (other != w && other->cls == w->cls && Kind(other) == BS_AUTORADIOBUTTON)
                SetCheck(other, BST_UNCHECKED);
        SetCheck(w, BST_CHECKED);
        break;
    default:
        break;
    }
    NotifyParent(w, BN_CLICKED);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindowObject(hwnd);
    switch (msg) {
    case WM_CREATE:
        w->data = std::make_unique<ButtonData>();
        return 0;
    case WM_GETDLGCODE:
        switch (Kind(w)) {
        case BS_GROUPBOX:
            return DLGC_STATIC;
        case BS_AUTORADIOBUTTON:
        case BS_RADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        default:
            return DLGC_BUTTON;
        }
    case BM_GETCHECK:
        return Data(w)->check;
    case BM_SETCHECK:
        SetCheck(w, static_cast<UINT>(wParam));
        return 0;
    case BM_CLICK:
        if (!(w->style & WS_DISABLED))
            Click(w);
        return 0;
    case WM_LBUTTONDOWN:
        if (Kind(w) == BS_GROUPBOX)
            return 0;
        SetFocus(hwnd);
        Data(w)->pushed = true;
        return 0;
    case WM_LBUTTONUP:
    case WM_KEYUP:
        if ((msg == WM_KEYUP && wParam != VK_SPACE) || !Data(w)->pushed)
            return 0;
        Data(w)->pushed = false;
        Click(w);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE)
            Data(w)->pushed = true;
        return 0;
    case WM_KILLFOCUS:
        Data(w)->pushed = false;
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void RegisterButtonClass()
{
    RegisterWindowClass("button", ButtonProc);
}

}  // namespace w32
