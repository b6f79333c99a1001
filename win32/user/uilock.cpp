// uilock.cpp: the UI thread's ticket lock and its loans (see uilock.h).
#include "user/uilock.h"

#include <climits>
#include <mutex>
#include <vector>
#include <linux/futex.h>
#include <linux/membarrier.h>
#include <sched.h>
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

// Loans need the process-wide barrier; registered once, on first use.
bool CanLend()
{
#if defined(__SANITIZE_THREAD__)
    return false;
#else
    static const bool registered = syscall(SYS_membarrier, MEMBARRIER_CMD_REGISTER_PRIVATE_EXPEDITED, 0, 0) == 0;
    return registered;
#endif
}

// Every running thread of the process executes a full memory barrier.
void ProcessBarrier()
{
    syscall(SYS_membarrier, MEMBARRIER_CMD_PRIVATE_EXPEDITED, 0, 0);
}

// Records outlive their threads: a lock may still be lent to one. A thread
// that ends hands its record to the next thread that borrows.
struct RecordPool {
    std::mutex mutex;
    std::vector<LoanRecord *> free;
};

RecordPool &Pool()
{
    static RecordPool *pool = new RecordPool;  // never destroyed: threads may outlive exit()
    return *pool;
}

struct RecordReturn {
    ~RecordReturn()
    {
        if (t_loanRecord == nullptr)
            return;
        std::lock_guard<std::mutex> guard(Pool().mutex);
        Pool().free.push_back(t_loanRecord);
        t_loanRecord = nullptr;
    }
};

LoanRecord *ThisThreadsRecord()
{
    if (t_loanRecord == nullptr) {
        thread_local RecordReturn returned;
        (void)returned;
        std::lock_guard<std::mutex> guard(Pool().mutex);
        if (Pool().free.empty()) {
            t_loanRecord = new LoanRecord;
        } else {
            t_loanRecord = Pool().free.back();
            Pool().free.pop_back();
        }
    }
    return t_loanRecord;
}

}  // namespace

void UiLock::LockQueued()
{
    const uint32_t ticket = next_.fetch_add(1);
    if (serving_.load() == ticket)
        return;
    // Lent out: the borrower's turn ends now. A loan made after our ticket
    // was drawn is never made (the lender sees the ticket).
    if (const uintptr_t borrower = lent_.load(); borrower != 0 && !(borrower & 1))
        Reclaim(borrower);
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

void UiLock::UnlockQueued(bool lend)
{
    if (lend && CanLend()) {
        // Our ticket is the one being served; nobody waits when no later one
        // was drawn. A waiter draws its ticket, then looks for a loan; we make
        // the loan, then look for a ticket: one of us sees the other.
        const uint32_t ours = serving_.load(std::memory_order_relaxed);
        if (next_.load() == ours + 1) {
            const uintptr_t me = reinterpret_cast<uintptr_t>(ThisThreadsRecord());
            lent_.store(me);
            if (next_.load() == ours + 1)
                return;
            uintptr_t expected = me;
            if (!lent_.compare_exchange_strong(expected, 0))
                return;  // the waiter takes it back and releases it for us
        }
    }
    Release();
}

void UiLock::Release()
{
    serving_.fetch_add(1);
    if (sleepers_.load() != 0)
        FutexWakeAll(&serving_);
}

void UiLock::Reclaim(uintptr_t borrower)
{
    if (!lent_.compare_exchange_strong(borrower, borrower | 1))
        return;  // given back, or another waiter takes it back
    ProcessBarrier();
    // The borrower either saw the mark and stepped out, or is seen inside.
    const LoanRecord *record = reinterpret_cast<const LoanRecord *>(borrower);
    for (int spin = 0; record->inside.load(std::memory_order_acquire) == this; spin++) {
        if (spin < 200)
            CpuRelax();
        else
            sched_yield();
    }
    lent_.store(0);
    Release();  // the borrower's turn, on its behalf
}

}  // namespace w32
