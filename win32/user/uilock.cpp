// uilock.cpp: the UI thread's ticket lock (see uilock.h).
#include "user/uilock.h"

#include <climits>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace w32 {

namespace {

void FutexWait(std::atomic<uint32_t> *word, uint32_t expected)
{
    syscall(SYS_futex, reinterpret_cast<uint32_t *>(word), FUTEX_WAIT_PRIVATE, expected, nullptr, nullptr, 0);
}

void FutexWakeAll(std::atomic<uint32_t> *word)
{
    syscall(SYS_futex, reinterpret_cast<uint32_t *>(word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

inline void CpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

void UiLock::Lock()
{
    const uint32_t ticket = next_.fetch_add(1);
    if (serving_.load() == ticket)
        return;
    for (int spin = 0; spin < 200; spin++) {
        CpuRelax();
        if (serving_.load() == ticket)
            return;
    }
    sleepers_.fetch_add(1);
    for (;;) {
        const uint32_t now = serving_.load();
        if (now == ticket)
            break;
        FutexWait(&serving_, now);
    }
    sleepers_.fetch_sub(1);
}

void UiLock::Unlock()
{
    serving_.fetch_add(1);
    if (sleepers_.load() != 0)
        FutexWakeAll(&serving_);
}

}  // namespace w32
