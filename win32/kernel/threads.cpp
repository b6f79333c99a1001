// Threads: CreateThread, GetExitCodeThread, GetCurrentThreadId, Sleep.
#include "faults.h"
#include "handles.h"
#include "last_error.h"
#include "waitable.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr DWORD kStillActive = 259;

// Thread identifiers are ours, not the system's: the creator can hand the new
// thread's identifier back at once, without waiting for the thread to start.
std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;

DWORD NewThreadId()
{
    DWORD id = g_nextThreadId.fetch_add(1);
    if (id == 0)  // after wrapping: 0 is never a thread's identifier
        id = g_nextThreadId.fetch_add(1);
    return id;
}

// Signalled when the thread procedure returns, as the platform's thread is.
class Thread : public w32::Waitable {
public:
    explicit Thread(DWORD id) : Waitable(true, false), id_(id) {}

    DWORD id() const { return id_; }
    DWORD exitCode() const { return exitCode_.load(); }

    void Finish(DWORD code)
    {
        exitCode_.store(code);
        Signal();
    }

private:
    const DWORD id_;
    std::atomic<DWORD> exitCode_{kStillActive};
};

struct Start {
    std::shared_ptr<Thread> thread;  // keeps the object alive until the procedure returns
    LPTHREAD_START_ROUTINE procedure;
    LPVOID parameter;
};

void *RunThread(void *argument)
{
    std::unique_ptr<Start> start(static_cast<Start *>(argument));
    t_threadId = start->thread->id();
    const DWORD code = start->procedure(start->parameter);
    start->thread->Finish(code);
    return nullptr;
}

}  // namespace

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD, LPDWORD lpThreadId)
{
    if (w32::TakeFailure("CreateThread"))
        return w32::Fail<HANDLE>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    if (!lpStartAddress)
        return w32::Fail<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    return w32::Guarded<HANDLE>(nullptr, [&]() -> HANDLE {
        auto thread = std::make_shared<Thread>(NewThreadId());
        HANDLE handle = w32::AddHandle(thread);
        if (!handle)
            return nullptr;
        auto start = std::make_unique<Start>(Start{thread, lpStartAddress, lpParameter});

        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
        if (dwStackSize != 0)
            pthread_attr_setstacksize(&attributes, dwStackSize);  // refused below the minimum: default kept
        pthread_t system;
        const int error = pthread_create(&system, &attributes, RunThread, start.get());
        pthread_attr_destroy(&attributes);
        if (error != 0) {
            CloseHandle(handle);
            return w32::Fail<HANDLE>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
        }
        start.release();  // the new thread owns it now
        if (lpThreadId)
            *lpThreadId = thread->id();
        return handle;
    });
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode)
{
    std::shared_ptr<Thread> thread = w32::Find<Thread>(hThread);
    if (!thread)
        return FALSE;
    if (!lpExitCode)
        return w32::Fail(ERROR_INVALID_PARAMETER, FALSE);
    *lpExitCode = thread->exitCode();
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void)
{
    if (t_threadId == 0)  // a thread the stand-in did not start (the main thread, a test's)
        t_threadId = NewThreadId();
    return t_threadId;
}

namespace {

std::atomic<DWORD> g_sleepLimit{INFINITE};

}  // namespace

void w32::SetSleepLimit(DWORD milliseconds)
{
    g_sleepLimit.store(milliseconds);
}

void WINAPI Sleep(DWORD dwMilliseconds)
{
    dwMilliseconds = std::min(dwMilliseconds, g_sleepLimit.load(std::memory_order_relaxed));
    if (dwMilliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}
