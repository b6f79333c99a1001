// message.cpp: sending, posting and retrieving messages.
//
// SendMessageA is the program's hot path (two or more per listed byte): a
// handle check, one comparison for a same-thread call, and the owner's lock
// for a cross-thread one (see threads.cpp). Nothing on it allocates or wakes
// a thread.
#include "user/core.h"

#include <w32/user.h>

#include <algorithm>
#include <cstring>

namespace w32 {

namespace {

struct Invocation {
    std::function<void()> fn;
    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false;
    bool waited = false;
};

bool PostToThread(ThreadCtx *ctx, const MSG &msg, bool toFocus = false)
{
    {
        std::lock_guard<std::mutex> guard(ctx->queueMutex);
        ctx->queue.push_back({msg, toFocus});
    }
    ctx->queueReady.notify_one();
    if (MessageWaiter *waiter = ctx->waiter.load())
        waiter->Wake();
    return true;
}

bool IsMouseMessage(UINT msg)
{
    return msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP;
}

// Input does not reach a disabled window, nor one inside a disabled parent.
bool TakesInput(Window *w)
{
    for (; w != nullptr; w = FindWindowObject(w->parent)) {
        if (w->style & WS_DISABLED)
            return false;
        if (!(w->style & WS_CHILD))
            break;
    }
    return true;
}

// The front message as it is taken; the caller holds the queue's mutex and
// acts for ctx.
MSG FrontMessage(ThreadCtx *ctx)
{
    const ThreadCtx::Posted &posted = ctx->queue.front();
    MSG msg = posted.msg;
    if (posted.toFocus && FindWindowObject(ctx->focus) != nullptr)
        msg.hwnd = ctx->focus;
    return msg;
}

bool TakeMessage(ThreadCtx *ctx, MSG *msg)
{
    std::lock_guard<std::mutex> guard(ctx->queueMutex);
    if (ctx->queue.empty())
        return false;
    *msg = FrontMessage(ctx);
    ctx->queue.pop_front();
    // The key state follows the messages as they are taken, as on the platform.
    const UINT m = msg->message;
    if (m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP)
        ctx->keyState[msg->wParam & 0xFF] = (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) ? 0x80 : 0;
    return true;
}

}  // namespace

bool InvokeOnOwner(HWND hwnd, std::function<void()> fn, bool wait)
{
    Window *w = FindWindowObject(hwnd);
    if (w == nullptr)
        return false;
    auto *call = new Invocation;
    call->fn = std::move(fn);
    call->waited = wait;
    MSG msg = {};
    msg.message = kInvokeMessage;
    msg.lParam = reinterpret_cast<LPARAM>(call);
    PostToThread(w->owner.load(), msg);
    if (!wait)
        return true;
    std::unique_lock<std::mutex> lock(call->mutex);
    call->doneSignal.wait(lock, [&] { return call->done; });
    lock.unlock();
    delete call;
    return true;
}

bool PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindowObject(hwnd);
    if (w == nullptr)
        return false;
    MSG m = {};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    return PostToThread(w->owner.load(), m);
}

bool PostKeyboardInput(HWND topLevel, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindowObject(topLevel);
    if (w == nullptr)
        return false;
    MSG m = {};
    m.hwnd = topLevel;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    return PostToThread(w->owner.load(), m, true);
}

}  // namespace w32

using namespace w32;

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindowObject(hWnd);
    if (w == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return SendToWindow(w, hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!PostInput(hWnd, Msg, wParam, lParam)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND, UINT, UINT)
{
    ThreadCtx *ctx = BecomeUiThread();
    for (;;) {
        if (TakeMessage(ctx, lpMsg))
            return lpMsg->message != WM_QUIT;
        WaitingForMessages waiting;
        if (MessageWaiter *waiter = ctx->waiter.load()) {
            waiter->Wait();
            continue;
        }
        std::unique_lock<std::mutex> lock(ctx->queueMutex);
        ctx->queueReady.wait(lock, [&] { return !ctx->queue.empty(); });
    }
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND, UINT, UINT, UINT wRemoveMsg)
{
    ThreadCtx *ctx = BecomeUiThread();
    {
        // Let the senders that are waiting for us in first.
        WaitingForMessages serve;
    }
    if (wRemoveMsg & PM_REMOVE)
        return TakeMessage(ctx, lpMsg);
    std::lock_guard<std::mutex> guard(ctx->queueMutex);
    if (ctx->queue.empty())
        return FALSE;
    *lpMsg = FrontMessage(ctx);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG *lpMsg)
{
    if (lpMsg->message == kInvokeMessage) {
        auto *call = reinterpret_cast<Invocation *>(lpMsg->lParam);
        call->fn();
        if (!call->waited) {
            delete call;
            return 0;
        }
        std::lock_guard<std::mutex> guard(call->mutex);
        call->done = true;
        call->doneSignal.notify_all();
        return 0;
    }
    Window *w = FindWindowObject(lpMsg->hwnd);
    if (w == nullptr || w->owner.load() != ActingThread())
        return 0;
    if (IsMouseMessage(lpMsg->message) && !TakesInput(w))
        return 0;
    return CallWindowProcedure(w, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindowObject(hWnd);
    if (w == nullptr)
        return 0;
    switch (Msg) {
    case WM_SETTEXT:
        w->text = lParam != 0 ? reinterpret_cast<const char *>(lParam) : "";
        Touch(w);
        return TRUE;
    case WM_GETTEXT:
        return CopyTextOut(w->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the top-level window, from whichever control has the focus.
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN)) {
            Window *top = w;
            while ((top->style & WS_CHILD) && FindWindowObject(top->parent) != nullptr)
                top = FindWindowObject(top->parent);
            SendMessageA(top->self, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(hWnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    default:
        return 0;
    }
}
