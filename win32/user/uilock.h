// uilock.h: the lock a UI thread holds whenever it is not waiting for
// messages. Another thread's SendMessageA takes it to run the window
// procedure, so a cross-thread message is served only while the owner waits
// in a message loop, and never overtakes a handler that is running.
//
// A ticket lock: strictly first come, first served, so a worker that sends
// millions of messages cannot starve the UI thread's own input. Uncontended,
// lock and unlock are one atomic add each; waiters spin briefly, then sleep on
// a futex.
//
// A sender that finds nobody waiting when it unlocks keeps the lock on loan:
// its next lock and unlock are then plain stores and loads, no atomic
// read-modify-write and no fence, because whoever takes the lock back first
// makes every thread of the process pass a memory barrier (membarrier) and
// waits until the borrower is outside its window procedure. A loan costs the
// one who ends it a few microseconds; a listing's millions of messages run
// on it untouched. Without membarrier (or under ThreadSanitizer, which cannot
// see it) nothing is lent.
#ifndef W32_USER_UILOCK_H
#define W32_USER_UILOCK_H

#include <atomic>
#include <cstdint>

namespace w32 {

class UiLock;

// What a thread that borrows locks shares with those who take them back: the
// lock it is inside under a loan, if any. Written only by its thread; handed
// on to a later thread when this one ends.
struct LoanRecord {
    std::atomic<const UiLock *> inside{nullptr};
};
inline thread_local LoanRecord *t_loanRecord = nullptr;

class UiLock {
public:
    void Lock()
    {
        if (!EnterLent())
            LockQueued();
    }
    // lend: the caller sends to this lock's thread and may send again soon.
    void Unlock(bool lend = false)
    {
        LoanRecord *record = t_loanRecord;
        if (record != nullptr && record->inside.load(std::memory_order_relaxed) == this) {
            record->inside.store(nullptr, std::memory_order_release);
            return;
        }
        UnlockQueued(lend);
    }

private:
    bool EnterLent()
    {
        LoanRecord *record = t_loanRecord;
        // One loan at a time is entered; a nested lock queues.
        if (record == nullptr || lent_.load(std::memory_order_relaxed) != reinterpret_cast<uintptr_t>(record) ||
            record->inside.load(std::memory_order_relaxed) != nullptr)
            return false;
        record->inside.store(this, std::memory_order_relaxed);
        // Only the compiler is kept from reordering here: a reclaimer's
        // process barrier orders the store before the load below on the CPU.
        std::atomic_signal_fence(std::memory_order_seq_cst);
        if (lent_.load(std::memory_order_relaxed) == reinterpret_cast<uintptr_t>(record))
            return true;
        // Being taken back: step out and queue like everyone else.
        record->inside.store(nullptr, std::memory_order_release);
        return false;
    }
    void LockQueued();
    void UnlockQueued(bool lend);
    void Release();
    void Reclaim(uintptr_t borrower);

    std::atomic<uint32_t> next_{0};
    std::atomic<uint32_t> serving_{0};
    std::atomic<uint32_t> sleepers_{0};
    // The borrower's LoanRecord, 0 when not lent; the low bit is set while
    // someone takes it back.
    std::atomic<uintptr_t> lent_{0};
};

}  // namespace w32

#endif
