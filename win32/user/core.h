// core.h: the window manager's inner model, shared by the files of user/:
// thread contexts, windows and their table, classes, and the send path.
#ifndef W32_USER_CORE_H
#define W32_USER_CORE_H

#include <windows.h>

#include "user/uilock.h"

#include <w32/user.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace w32 {

// A thread that owns windows: its UI lock, its posted-message queue, its focus.
struct ThreadCtx {
    UiLock lock;
    std::mutex queueMutex;
    std::condition_variable queueReady;
    // Posted messages in order. Keyboard input is addressed when it is taken:
    // to the window that has the focus then.
    struct Posted {
        MSG msg;
        bool toFocus;
    };
    std::deque<Posted> queue;
    HWND focus = nullptr;
    uint8_t keyState[256] = {};
    bool holdsLock = false;  // touched only while acting as this thread
    // Set when a front end runs its own event loop on this thread while it
    // waits for messages; posting then wakes that loop.
    std::atomic<MessageWaiter *> waiter{nullptr};
};

// The context this OS thread acts for: its own, or the owner's while it runs
// a procedure for another thread inside SendMessageA. Null for a thread that
// owns no windows and is not sending.
ThreadCtx *ActingThread();
// This thread's own context, made (and its lock taken) on first need.
ThreadCtx *BecomeUiThread();

// Takes a thread's UI lock and acts as that thread until destroyed.
class ActingAsOwner {
public:
    explicit ActingAsOwner(ThreadCtx *owner);
    ~ActingAsOwner();
    ActingAsOwner(const ActingAsOwner &) = delete;
    ActingAsOwner &operator=(const ActingAsOwner &) = delete;

private:
    ThreadCtx *owner_;
    ThreadCtx *saved_;
};

// Runs fn as the owner of hwnd: directly when this thread already acts for the
// owner, else under the owner's lock. False when the window is gone.
bool RunAsOwner(HWND hwnd, const std::function<void()> &fn);

// While a UI thread waits for messages it releases its lock, so that other
// threads' sent messages are served meanwhile.
class WaitingForMessages {
public:
    WaitingForMessages();
    ~WaitingForMessages();
    WaitingForMessages(const WaitingForMessages &) = delete;
    WaitingForMessages &operator=(const WaitingForMessages &) = delete;

private:
    ThreadCtx *ctx_;
};

struct WindowClass {
    std::string name;  // as registered; looked up case-insensitively
    WNDPROC proc = nullptr;
};

// Per-class state of a control; owned by its window.
struct ControlData {
    virtual ~ControlData() = default;
};

struct Window {
    HWND self = nullptr;
    std::atomic<ThreadCtx *> owner{nullptr};
    const WindowClass *cls = nullptr;
    // Written only by the owner; atomic because the platform lets any thread
    // ask whether a window is enabled or visible, or for its parent.
    std::atomic<DWORD> style{0};
    DWORD exStyle = 0;
    std::atomic<int> id{0};
    std::atomic<HWND> parent{nullptr};
    std::vector<HWND> children;  // creation order, guarded by the tree mutex
    // The first children again, readable without the tree mutex: GetDlgItem
    // runs twice per listed byte on the worker thread. A destroyed child's
    // entry is cleared; past kQuickChildren, lookups take the mutex.
    static constexpr uint32_t kQuickChildren = 32;
    std::atomic<HWND> quickChildren[kQuickChildren] = {};
    std::atomic<uint32_t> quickCount{0};
    std::atomic<bool> quickOverflow{false};
    RECT rect = {};              // in the parent's client coordinates (screen for top level)
    std::string text;            // narrow code page 936 bytes
    std::unique_ptr<ControlData> data;
    // Dialogs.
    DLGPROC dlgProc = nullptr;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    // Bumped on every visible change, so a display can redraw at its own pace.
    std::atomic<uint64_t> version{0};
};

// The window table: a handle is a slot index and the slot's generation, so
// once a window is destroyed its handle never finds anything again, even when
// the slot is reused. Read without a lock, several times per message.
struct WindowSlot {
    std::atomic<uint32_t> generation{0};
    Window *window = nullptr;  // kept for reuse, never freed
};
constexpr size_t kWindowSlots = 1 << 14;
extern WindowSlot g_windowSlots[kWindowSlots];

// The window behind a handle, or null once it is destroyed (never a stale one).
inline Window *FindWindowObject(HWND hwnd)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
    const uintptr_t index = (value & 0xFFFF) - 1;
    const uintptr_t generation = value >> 16;
    if (index >= kWindowSlots || generation == 0 || generation > UINT32_MAX)
        return nullptr;
    WindowSlot &slot = g_windowSlots[index];
    if (slot.generation.load(std::memory_order_acquire) != generation)
        return nullptr;
    return slot.window;
}

// Guards the window tree (parents, children, the table's free slots).
std::mutex &TreeMutex();

void RegisterWindowClass(const char *name, WNDPROC proc);
const WindowClass *FindWindowClass(const char *name);

struct CreateParams {
    const char *className = nullptr;
    const char *text = "";  // code page 936
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {};
    HWND parent = nullptr;
    int id = 0;
    LPARAM createParam = 0;
};
// Creates a window owned by the calling thread; null (ERROR_CANNOT_FIND_WND_CLASS)
// when the class is not registered.
HWND CreateWindowObject(const CreateParams &params);

// Calls the window's procedure on this thread (the caller acts for the owner).
inline LRESULT CallWindowProcedure(Window *w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return w->cls->proc(w->self, msg, wParam, lParam);
}

// SendMessageA once the window is found: a direct call on the owner's thread,
// else under the owner's lock.
LRESULT SendToWindow(Window *w, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The frame around a top-level window's client area, by its style.
struct FrameInsets {
    int left = 0, top = 0, right = 0, bottom = 0;
};
FrameInsets FrameOf(DWORD style);

// WM_GETTEXT's copy: at most wParam - 1 bytes of text and a terminator into
// the buffer at lParam; the number of bytes copied.
LRESULT CopyTextOut(std::string_view text, WPARAM wParam, LPARAM lParam);

// Marks a visible change of the window.
void Touch(Window *w);

// Sends WM_COMMAND with a control's notification to its parent.
void NotifyParent(Window *w, WORD code);

// Control classes, registered on first use of the window manager.
void RegisterButtonClass();
void RegisterEditClass();
void RegisterRichEditClass();
void RegisterStatusClass();
void RegisterDialogClass();

// The private message that runs a function on the UI thread (see message.cpp).
constexpr UINT kInvokeMessage = 0xCF00;

}  // namespace w32

#endif
