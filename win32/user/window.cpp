// window.cpp: the window table, classes, creation and destruction, and the
// plain window calls (text, enabling, visibility, focus, identifiers).
#include "user/core.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace w32 {

namespace {

struct Table {
    std::vector<uint32_t> freeSlots;
    uint32_t used = 0;
    std::vector<WindowClass *> classes;
    std::mutex classMutex;
    std::mutex treeMutex;
};

Table &TheTable()
{
    static Table *table = new Table;  // never destroyed: other threads may outlive exit()
    return *table;
}

HWND MakeHandle(uint32_t index, uint32_t generation)
{
    return reinterpret_cast<HWND>((static_cast<uintptr_t>(generation) << 16) | (index + 1));
}

void EnsureClasses()
{
    static const bool registered = [] {
        RegisterButtonClass();
        RegisterEditClass();
        RegisterStatusClass();
        RegisterDialogClass();
        return true;
    }();
    (void)registered;
}

}  // namespace

// Constant-initialised: found before any constructor runs, never destroyed.
constinit WindowSlot g_windowSlots[kWindowSlots];

std::mutex &TreeMutex()
{
    return TheTable().treeMutex;
}

void RegisterWindowClass(const char *name, WNDPROC proc)
{
    Table &t = TheTable();
    std::lock_guard<std::mutex> guard(t.classMutex);
    for (WindowClass *c : t.classes) {
        if (strcasecmp(c->name.c_str(), name) == 0) {
            c->proc = proc;
            return;
        }
    }
    auto *c = new WindowClass;
    c->name = name;
    c->proc = proc;
    t.classes.push_back(c);
}

const WindowClass *FindWindowClass(const char *name)
{
    EnsureClasses();
    Table &t = TheTable();
    std::lock_guard<std::mutex> guard(t.classMutex);
    for (WindowClass *c : t.classes)
        if (strcasecmp(c->name.c_str(), name) == 0)
            return c;
    return nullptr;
}

LRESULT CopyTextOut(std::string_view text, WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0 || lParam == 0)
        return 0;
    char *buffer = reinterpret_cast<char *>(lParam);
    const size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
    if (n != 0)
        memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

void Touch(Window *w)
{
    // Only the owner (or a thread acting for it) changes a window, so a plain
    // increment suffices; readers only need to see it move.
    w->version.store(w->version.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

void NotifyParent(Window *w, WORD code)
{
    if (w->parent != nullptr)
        SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(w->self));
}

HWND CreateWindowObject(const CreateParams &params)
{
    const WindowClass *cls = FindWindowClass(params.className);
    if (cls == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    ThreadCtx *owner = BecomeUiThread();
    Table &t = TheTable();
    Window *w;
    {
        std::lock_guard<std::mutex> guard(t.treeMutex);
        uint32_t index;
        if (!t.freeSlots.empty()) {
            index = t.freeSlots.back();
            t.freeSlots.pop_back();
        } else if (t.used < kWindowSlots) {
            index = t.used++;
            g_windowSlots[index].window = new Window;
        } else {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        WindowSlot &slot = g_windowSlots[index];
        w = slot.window;
        const uint32_t generation = slot.generation.load() + 1;
        w->self = MakeHandle(index, generation);
        w->owner.store(owner);
        w->cls = cls;
        w->style = params.style;
        w->exStyle = params.exStyle;
        w->id = params.id;
        w->parent = params.parent;
        w->rect = params.rect;
        w->text = params.text != nullptr ? params.text : "";
        slot.generation.store(generation, std::memory_order_release);
        if (Window *parent = FindWindowObject(params.parent)) {
            parent->children.push_back(w->self);
            const uint32_t quick = parent->quickCount.load();
            if (quick < Window::kQuickChildren) {
                parent->quickChildren[quick].store(w->self, std::memory_order_release);
                parent->quickCount.store(quick + 1, std::memory_order_release);
            } else {
                parent->quickOverflow.store(true, std::memory_order_release);
            }
        }
    }
    HWND hwnd = w->self;
    if (CallWindowProcedure(w, WM_CREATE, 0, params.createParam) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

}  // namespace w32

using namespace w32;

BOOL WINAPI DestroyWindow(HWND hWnd)
{
    Window *w = FindWindowObject(hWnd);
    if (w == nullptr || w->owner.load() != ActingThread()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    CallWindowProcedure(w, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        std::lock_guard<std::mutex> guard(TreeMutex());
        children = w->children;
    }
    for (HWND child : children)
        DestroyWindow(child);
    CallWindowProcedure(w, WM_NCDESTROY, 0, 0);

    ThreadCtx *owner = w->owner.load();
    if (owner->focus == hWnd)
        owner->focus = nullptr;

    Table &t = TheTable();
    std::lock_guard<std::mutex> guard(t.treeMutex);
    const uint32_t index = static_cast<uint32_t>((reinterpret_cast<uintptr_t>(hWnd) & 0xFFFF) - 1);
    // Invalidate the handle first: from here on nobody finds this window.
    g_windowSlots[index].generation.fetch_add(1, std::memory_order_acq_rel);
    if (Window *parent = FindWindowObject(w->parent)) {
        auto &siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hWnd), siblings.end());
        for (auto &quick : parent->quickChildren)
            if (quick.load() == hWnd)
                quick.store(nullptr, std::memory_order_release);
    }
    w->children.clear();
    for (auto &quick : w->quickChildren)
        quick.store(nullptr);
    w->quickCount.store(0);
    w->quickOverflow.store(false);
    w->data.reset();
    w->text.clear();
    w->dlgProc = nullptr;
    w->dialogEnded = false;
    w->dialogResult = 0;
    w->parent = nullptr;
    w->version.fetch_add(1);
    t.freeSlots.push_back(index);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd)
{
    return FindWindowObject(hWnd) != nullptr;
}

// These may be asked from any thread, while the owner changes the window:
// a field is read, then the handle checked again, so a window destroyed (and
// its slot reused) meanwhile answers as gone rather than with another's state.
namespace {

bool ReadStyle(HWND hwnd, Window *w, DWORD *style, HWND *parent = nullptr)
{
    *style = w->style.load(std::memory_order_acquire);
    if (parent != nullptr)
        *parent = w->parent.load(std::memory_order_acquire);
    return FindWindowObject(hwnd) == w;
}

}  // namespace

HWND WINAPI GetParent(HWND hWnd)
{
    Window *w = FindWindowObject(hWnd);
    DWORD style;
    HWND parent;
    if (w == nullptr || !ReadStyle(hWnd, w, &style, &parent))
        return nullptr;
    return (style & WS_CHILD) ? parent : nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd)
{
    Window *w = FindWindowObject(hWnd);
    return w != nullptr ? w->id.load() : 0;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd)
{
    Window *w = FindWindowObject(hWnd);
    DWORD style;
    return w != nullptr && ReadStyle(hWnd, w, &style) && !(style & WS_DISABLED);
}

BOOL WINAPI IsWindowVisible(HWND hWnd)
{
    for (HWND hwnd = hWnd; Window *w = FindWindowObject(hwnd);) {
        DWORD style;
        if (!ReadStyle(hwnd, w, &style, &hwnd))
            return FALSE;
        if (!(style & WS_VISIBLE))
            return FALSE;
        if (!(style & WS_CHILD))
            return TRUE;
    }
    return FALSE;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable)
{
    BOOL wasDisabled = FALSE;
    bool found = RunAsOwner(hWnd, [&] {
        Window *w = FindWindowObject(hWnd);
        wasDisabled = (w->style & WS_DISABLED) != 0;
        if (bEnable)
            w->style &= ~WS_DISABLED;
        else
            w->style |= WS_DISABLED;
        // A window that loses its input loses the focus with it.
        ThreadCtx *owner = w->owner.load();
        if (!bEnable && owner->focus == hWnd)
            SetFocus(nullptr);
        if (wasDisabled == !bEnable)
            return;
        Touch(w);
        CallWindowProcedure(w, WM_ENABLE, bEnable, 0);
    });
    if (!found)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return wasDisabled;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow)
{
    BOOL wasVisible = FALSE;
    RunAsOwner(hWnd, [&] {
        Window *w = FindWindowObject(hWnd);
        wasVisible = (w->style & WS_VISIBLE) != 0;
        if (nCmdShow == SW_HIDE)
            w->style &= ~WS_VISIBLE;
        else
            w->style |= WS_VISIBLE;
        Touch(w);
    });
    return wasVisible;
}

HWND WINAPI GetFocus(void)
{
    ThreadCtx *ctx = ActingThread();
    return ctx != nullptr && FindWindowObject(ctx->focus) != nullptr ? ctx->focus : nullptr;
}

HWND WINAPI SetFocus(HWND hWnd)
{
    ThreadCtx *ctx = ActingThread();
    if (ctx == nullptr)
        return nullptr;
    Window *w = FindWindowObject(hWnd);
    if (hWnd != nullptr && (w == nullptr || w->owner.load() != ctx))
        return nullptr;
    HWND previous = GetFocus();
    if (previous == hWnd)
        return previous;
    ctx->focus = hWnd;
    if (Window *old = FindWindowObject(previous)) {
        Touch(old);
        CallWindowProcedure(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    }
    if (w != nullptr) {
        Touch(w);
        CallWindowProcedure(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

int WINAPI GetWindowTextLengthA(HWND hWnd)
{
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (lpString == nullptr || nMaxCount <= 0)
        return 0;
    if (FindWindowObject(hWnd) == nullptr) {
        lpString[0] = '\0';
        return 0;
    }
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    return static_cast<BOOL>(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}
