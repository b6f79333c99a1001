// Waitable objects and WaitForSingleObject.
#include "waitable.h"

#include "handles.h"
#include "last_error.h"

#include <chrono>

namespace w32 {

void Waitable::Signal()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = true;
    }
    // Every waiter rechecks under the lock; with auto reset the first one to
    // get there takes the signal and the others go back to waiting.
    changed_.notify_all();
}

void Waitable::Reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
}

bool Waitable::Wait(DWORD milliseconds)
{
    std::unique_lock<std::mutex> lock(mutex_);
    auto isSignalled = [this] { return signalled_; };
    if (milliseconds == INFINITE) {
        changed_.wait(lock, isSignalled);
    } else {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        if (!changed_.wait_until(lock, deadline, isSignalled))
            return false;
    }
    if (!manualReset_)
        signalled_ = false;
    return true;
}

}  // namespace w32

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    // The reference held here keeps the object alive even if another thread
    // closes the handle while this wait is in progress.
    std::shared_ptr<w32::Waitable> object = w32::Find<w32::Waitable>(hHandle);
    if (!object && hHandle == GetCurrentProcess()) {
        // The process's own pseudo handle: signalled only once it has ended.
        if (dwMilliseconds == INFINITE)
            for (;;)
                Sleep(INFINITE);
        Sleep(dwMilliseconds);
        SetLastError(ERROR_SUCCESS);
        return WAIT_TIMEOUT;
    }
    if (!object)
        return WAIT_FAILED;
    return object->Wait(dwMilliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}
