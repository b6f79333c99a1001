// threads.cpp: which thread a window belongs to, and acting for the owner.
//
// A UI thread holds its own lock except while it waits for messages. Another
// thread that sends to its windows takes that lock and runs the procedure
// itself, acting as the owner for the duration: serialised with everything the
// owner does, served only while the owner waits, at the cost of two atomic
// adds instead of a thread handoff.
#include "user/core.h"

namespace w32 {

namespace {

thread_local ThreadCtx *t_own = nullptr;
thread_local ThreadCtx *t_acting = nullptr;
thread_local int t_waiting = 0;  // this thread's own lock released to wait

}  // namespace

ThreadCtx *ActingThread()
{
    return t_acting;
}

ThreadCtx *BecomeUiThread()
{
    if (t_acting != nullptr)
        return t_acting;
    // Never freed: windows and senders may refer to it until the process ends.
    t_own = new ThreadCtx;
    t_own->lock.Lock();
    t_own->holdsLock = true;
    t_acting = t_own;
    return t_own;
}

ActingAsOwner::ActingAsOwner(ThreadCtx *owner) : owner_(owner), saved_(t_acting)
{
    owner_->lock.Lock();
    t_acting = owner_;
    owner_->holdsLock = true;
}

ActingAsOwner::~ActingAsOwner()
{
    owner_->holdsLock = false;
    t_acting = saved_;
    // A sender is likely to send again: the lock stays on loan to it while
    // nobody else wants it.
    owner_->lock.Unlock(true);
}

LRESULT SendToWindow(Window *w, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ThreadCtx *owner = w->owner.load(std::memory_order_acquire);
    if (owner == t_acting)
        return CallWindowProcedure(w, msg, wParam, lParam);

    // Another thread's window: act as its owner under the owner's lock. Spelled
    // out rather than through RunAsOwner, to keep this path free of allocation.
    LRESULT result = 0;
    ActingAsOwner acting(owner);
    // The window may have gone while we waited for the owner.
    if (FindWindowObject(hwnd) == w && w->owner.load(std::memory_order_relaxed) == owner)
        result = CallWindowProcedure(w, msg, wParam, lParam);
    else
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return result;
}

bool RunAsOwner(HWND hwnd, const std::function<void()> &fn)
{
    Window *w = FindWindowObject(hwnd);
    if (w == nullptr)
        return false;
    ThreadCtx *owner = w->owner.load();
    if (owner == t_acting) {
        fn();
        return true;
    }
    ActingAsOwner acting(owner);
    // The window may have gone while we waited for the owner.
    bool alive = FindWindowObject(hwnd) == w && w->owner.load() == owner;
    if (alive)
        fn();
    return alive;
}

WaitingForMessages::WaitingForMessages() : ctx_(t_acting)
{
    if (ctx_ != nullptr && ctx_->holdsLock) {
        ctx_->holdsLock = false;
        ctx_->lock.Unlock();
        if (ctx_ == t_own)
            t_waiting++;
    } else {
        ctx_ = nullptr;
    }
}

WaitingForMessages::~WaitingForMessages()
{
    if (ctx_ != nullptr) {
        if (ctx_ == t_own)
            t_waiting--;
        ctx_->lock.Lock();
        ctx_->holdsLock = true;
    }
}

void WithOwnLock(const std::function<void()> &fn)
{
    ThreadCtx *own = t_own;
    if (own == nullptr || t_waiting == 0) {
        fn();
        return;
    }
    // Called back by a front end's event loop while this thread waits for
    // messages: take the lock back for the duration, as the loop would.
    own->lock.Lock();
    own->holdsLock = true;
    t_waiting--;
    fn();
    t_waiting++;
    own->holdsLock = false;
    own->lock.Unlock();
}

void ReleaseOwnLockWhile(const std::function<void()> &fn)
{
    WaitingForMessages waiting;
    fn();
}

void SetMessageWaiter(MessageWaiter *waiter)
{
    BecomeUiThread()->waiter.store(waiter);
}

}  // namespace w32
