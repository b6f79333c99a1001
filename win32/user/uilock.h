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

class UiLock {
public:
    void Lock();
    // lend: the caller sends to this lock's thread and may send again soon.
    void Unlock(bool lend = false);

private:
    void Release();
    void Reclaim(uint64_t borrower);

    std::atomic<uint32_t> next_{0};
    std::atomic<uint32_t> serving_{0};
    std::atomic<uint32_t> sleepers_{0};
    // The borrowing thread's number (even), 0 when not lent; the low bit is
    // set while someone takes it back.
    std::atomic<uint64_t> lent_{0};
    // Set by the borrower while it runs under the loan.
    std::atomic<uint32_t> inside_{0};
};

}  // namespace w32

#endif
