// dialog.cpp: the dialog manager: modal dialogs built from the program's own
// dialog template, the dialog window's default handling, the keyboard
// (Tab, arrows in a radio group, Enter, Escape) and the dialog item calls.
#include "user/core.h"

#include "user/dialogs.h"
#include "user/resources.h"

#include <w32/user.h>

#include <algorithm>
#include <cstring>

namespace w32 {

namespace {

constexpr const char *kDialogClass = "#32770";

// Dialog base units of the 8-point shell font.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

std::mutex g_dialogMutex;
std::vector<HWND> *g_dialogs = new std::vector<HWND>;  // modal dialogs, innermost last

int Scale(int units, int base, int divisor)
{
    return (units * base + divisor / 2) / divisor;
}

RECT DialogUnitsToPixels(int x, int y, int cx, int cy)
{
    const int left = Scale(x, kBaseUnitX, 4);
    const int top = Scale(y, kBaseUnitY, 8);
    return {left, top, left + Scale(cx, kBaseUnitX, 4), top + Scale(cy, kBaseUnitY, 8)};
}

std::vector<Window *> Children(Window *parent)
{
    std::vector<Window *> result;
    for (HWND h : parent->children)
        if (Window *w = FindWindowObject(h))
            result.push_back(w);
    return result;
}

bool CanTakeFocus(Window *w)
{
    return (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

LRESULT DialogCode(Window *w, const MSG *msg)
{
    return CallWindowProcedure(w, WM_GETDLGCODE, msg != nullptr ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg));
}

// The next (or previous) enabled, visible WS_TABSTOP control after from,
// wrapping around; the first (or last) one when from is not a control.
Window *NextTabItem(Window *dialog, HWND from, bool previous)
{
    std::vector<Window *> items = Children(dialog);
    if (previous)
        std::reverse(items.begin(), items.end());
    const auto start = std::find_if(items.begin(), items.end(), [&](Window *w) { return w->self == from; });
    const size_t n = items.size();
    const size_t first = start == items.end() ? 0 : static_cast<size_t>(start - items.begin()) + 1;
    for (size_t i = 0; i < n; i++) {
        Window *w = items[(first + i) % n];
        if ((w->style & WS_TABSTOP) && CanTakeFocus(w))
            return w;
    }
    return nullptr;
}

void FocusControl(Window *w)
{
    SetFocus(w->self);
    // Entering an edit box by keyboard selects its text, as on the platform.
    if (DialogCode(w, nullptr) & DLGC_HASSETSEL)
        CallWindowProcedure(w, EM_SETSEL, 0, -1);
}

// Arrow keys move the focus to the next (or previous) enabled, visible
// control of the group, which runs from a WS_GROUP control to the next one
// (or the last control), wrapping around; an auto radio button that gets the
// focus this way is checked.
void MoveInGroup(Window *from, bool previous)
{
    std::vector<Window *> group = DialogGroup(from);
    if (previous)
        std::reverse(group.begin(), group.end());
    const auto it = std::find(group.begin(), group.end(), from);
    if (it == group.end())
        return;
    const size_t n = group.size();
    const size_t index = static_cast<size_t>(it - group.begin());
    for (size_t step = 1; step < n; step++) {
        Window *target = group[(index + step) % n];
        if (!CanTakeFocus(target))
            continue;
        SetFocus(target->self);
        if (DialogCode(target, nullptr) & DLGC_RADIOBUTTON)
            CallWindowProcedure(target, BM_CLICK, 0, 0);
        return;
    }
}

void SendCommand(Window *dialog, int id)
{
    SendMessageA(dialog->self, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

LRESULT CALLBACK DialogWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindowObject(hwnd);
    if (w->dlgProc != nullptr && w->dlgProc(hwnd, msg, wParam, lParam))
        return TRUE;
    switch (msg) {
    case WM_CLOSE:
        // Unhandled, the close becomes a Cancel command.
        if (!w->dialogEnded)
            SendCommand(w, IDCANCEL);
        return 0;
    case WM_GETDLGCODE:
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void DestroyDialog(HWND dialog)
{
    if (FindWindowObject(dialog) == nullptr)
        return;
    CurrentFrontEnd().TopLevelDestroying(dialog);
    DestroyWindow(dialog);
}

}  // namespace

void RegisterDialogClass()
{
    RegisterWindowClass(kDialogClass, DialogWindowProc);
}

std::vector<Window *> DialogGroup(Window *control)
{
    Window *dialog = FindWindowObject(control->parent);
    if (dialog == nullptr)
        return {control};
    std::vector<Window *> items = Children(dialog);
    auto self = std::find(items.begin(), items.end(), control);
    if (self == items.end())
        return {control};
    auto begin = self;
    while (begin != items.begin() && !((*begin)->style & WS_GROUP))
        --begin;
    auto end = self + 1;
    while (end != items.end() && !((*end)->style & WS_GROUP))
        ++end;
    return std::vector<Window *>(begin, end);
}

HWND CurrentDialog()
{
    std::lock_guard<std::mutex> guard(g_dialogMutex);
    return g_dialogs->empty() ? nullptr : g_dialogs->back();
}

HWND FindChildByClass(HWND parent, const char *className)
{
    Window *w = FindWindowObject(parent);
    const WindowClass *cls = FindWindowClass(className);
    if (w == nullptr || cls == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> guard(TreeMutex());
    for (HWND child : w->children)
        if (Window *c = FindWindowObject(child); c != nullptr && c->cls == cls)
            return child;
    return nullptr;
}

bool DescribeWindow(HWND hwnd, WindowDescription *description)
{
    Window *w = FindWindowObject(hwnd);
    if (w == nullptr)
        return false;
    description->className = w->cls->name;
    description->style = w->style;
    description->exStyle = w->exStyle;
    description->id = w->id;
    description->rect = w->rect;
    return true;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    Window *w = FindWindowObject(parent);
    if (w == nullptr)
        return {};
    std::lock_guard<std::mutex> guard(TreeMutex());
    return w->children;
}

uint64_t WindowVersion(HWND hwnd)
{
    Window *w = FindWindowObject(hwnd);
    return w != nullptr ? w->version.load(std::memory_order_acquire) : 0;
}

}  // namespace w32

using namespace w32;

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    if (!IS_INTRESOURCE(lpTemplateName)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    std::optional<DialogTemplate> tmpl = LoadDialogTemplate(LOWORD(reinterpret_cast<ULONG_PTR>(lpTemplateName)));
    if (!tmpl) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    // Every control's class must exist before anything is built.
    for (const DialogItem &item : tmpl->items) {
        if (FindWindowClass(item.className.c_str()) == nullptr) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return -1;
        }
    }

    const RECT client = DialogUnitsToPixels(tmpl->x, tmpl->y, tmpl->cx, tmpl->cy);
    const FrameInsets frame = FrameOf(tmpl->style);
    CreateParams dialogParams;
    dialogParams.className = kDialogClass;
    dialogParams.text = tmpl->caption.c_str();
    dialogParams.style = tmpl->style & ~WS_VISIBLE;
    dialogParams.exStyle = tmpl->exStyle;
    dialogParams.rect = {client.left, client.top, client.right + frame.left + frame.right,
                         client.bottom + frame.top + frame.bottom};
    dialogParams.parent = hWndParent;
    HWND dialog = CreateWindowObject(dialogParams);
    if (dialog == nullptr)
        return -1;
    for (const DialogItem &item : tmpl->items) {
        CreateParams itemParams;
        itemParams.className = item.className.c_str();
        itemParams.text = item.text.c_str();
        itemParams.style = item.style;
        itemParams.exStyle = item.exStyle;
        itemParams.rect = DialogUnitsToPixels(item.x, item.y, item.cx, item.cy);
        itemParams.parent = dialog;
        itemParams.id = item.id;
        if (CreateWindowObject(itemParams) == nullptr) {
            DestroyWindow(dialog);
            return -1;
        }
    }
    Window *w = FindWindowObject(dialog);
    w->dlgProc = lpDialogFunc;
    CurrentFrontEnd().TopLevelCreated(dialog);

    Window *firstTab = NextTabItem(w, nullptr, false);
    if (lpDialogFunc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTab != nullptr ? firstTab->self : nullptr), dwInitParam) &&
        firstTab != nullptr)
        FocusControl(firstTab);
    if (FindWindowObject(dialog) == w && !w->dialogEnded)
        ShowWindow(dialog, SW_SHOW);

    {
        std::lock_guard<std::mutex> guard(g_dialogMutex);
        g_dialogs->push_back(dialog);
    }
    bool quit = false;
    while (FindWindowObject(dialog) == w && !w->dialogEnded) {
        MSG msg;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            quit = true;
            break;
        }
        if (!IsDialogMessageA(dialog, &msg))
            DispatchMessageA(&msg);
    }
    {
        std::lock_guard<std::mutex> guard(g_dialogMutex);
        g_dialogs->erase(std::remove(g_dialogs->begin(), g_dialogs->end(), dialog), g_dialogs->end());
    }
    INT_PTR result = FindWindowObject(dialog) == w ? w->dialogResult : -1;
    DestroyDialog(dialog);
    if (quit)
        PostMessageA(nullptr, WM_QUIT, 0, 0);
    return result;
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult)
{
    bool found = RunAsOwner(hDlg, [&] {
        Window *w = FindWindowObject(hDlg);
        w->dialogEnded = true;
        w->dialogResult = nResult;
    });
    if (!found) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // Wake the modal loop in case it waits for a message.
    PostMessageA(hDlg, WM_NULL, 0, 0);
    return TRUE;
}

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg)
{
    Window *dialog = FindWindowObject(hDlg);
    Window *target = FindWindowObject(lpMsg->hwnd);
    if (dialog == nullptr || target == nullptr)
        return FALSE;
    if (target != dialog && target->parent != hDlg)
        return FALSE;
    if (lpMsg->message != WM_KEYDOWN) {
        if (lpMsg->message == WM_KEYUP || lpMsg->message == WM_CHAR) {
            DispatchMessageA(lpMsg);
            return TRUE;
        }
        return FALSE;
    }

    const LRESULT code = target != dialog ? DialogCode(target, lpMsg) : 0;
    ThreadCtx *ctx = ActingThread();
    switch (lpMsg->wParam) {
    case VK_TAB:
        if (code & DLGC_WANTTAB)
            break;
        if (Window *next = NextTabItem(dialog, GetFocus(), (ctx->keyState[VK_SHIFT] & 0x80) != 0))
            FocusControl(next);
        return TRUE;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (code & DLGC_WANTARROWS)
            break;
        if (target != dialog)
            MoveInGroup(target, lpMsg->wParam == VK_LEFT || lpMsg->wParam == VK_UP);
        return TRUE;
    case VK_RETURN:
        if (code & DLGC_WANTMESSAGE)
            break;
        // A focused push button acts; otherwise the default button, and with
        // none, IDOK.
        if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
            SendCommand(dialog, target->id);
        else
            SendCommand(dialog, IDOK);
        return TRUE;
    case VK_ESCAPE:
        SendCommand(dialog, IDCANCEL);
        return TRUE;
    default:
        break;
    }
    DispatchMessageA(lpMsg);
    return TRUE;
}

// The control a thread found last: a worker asks for the same one twice per
// listed byte. A handle finds its window only while the window lives, and a
// child's identifier and parent never change, so a live one is still the answer.
static thread_local HWND t_lastDialog = nullptr;
static thread_local int t_lastId = 0;
static thread_local HWND t_lastItem = nullptr;

// The lookup behind GetDlgItem, kept out of line so that the remembered
// answer costs a few instructions.
[[gnu::noinline]] static HWND FindDlgItem(HWND hDlg, int nIDDlgItem)
{
    Window *dialog = FindWindowObject(hDlg);
    if (dialog == nullptr)
        return nullptr;
    if (!dialog->quickOverflow.load(std::memory_order_acquire)) {
        const uint32_t count = dialog->quickCount.load(std::memory_order_acquire);
        for (uint32_t i = 0; i < count; i++) {
            HWND child = dialog->quickChildren[i].load(std::memory_order_acquire);
            Window *c = FindWindowObject(child);
            // Checked again after reading the identifier, in case the child
            // went and its slot was reused meanwhile.
            if (c != nullptr && c->id.load(std::memory_order_relaxed) == nIDDlgItem && FindWindowObject(child) == c) {
                t_lastDialog = hDlg;
                t_lastId = nIDDlgItem;
                t_lastItem = child;
                return child;
            }
        }
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(TreeMutex());
    for (HWND child : dialog->children)
        if (Window *c = FindWindowObject(child); c != nullptr && c->id == nIDDlgItem)
            return child;
    return nullptr;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    if (hDlg == t_lastDialog && nIDDlgItem == t_lastId && hDlg != nullptr && FindWindowObject(t_lastItem) != nullptr)
        return t_lastItem;
    return FindDlgItem(hDlg, nIDDlgItem);
}

UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (item == nullptr) {
        if (lpString != nullptr && cchMax > 0)
            lpString[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item != nullptr && SetWindowTextA(item, lpString);
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    return static_cast<UINT>(SendMessageA(GetDlgItem(hDlg, nIDButton), BM_GETCHECK, 0, 0));
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND item = GetDlgItem(hDlg, nIDButton);
    if (item == nullptr)
        return FALSE;
    SendMessageA(item, BM_SETCHECK, uCheck, 0);
    return TRUE;
}
