// uilock.h: the lock a UI thread holds whenever it is not waiting for
// messages. Another thread's SendMessageA takes it to run the window
// procedure, so a cross-thread message is served only while the owner waits
// in a message loop, and never overtakes a handler that is running.
//
// A ticket lock: strictly first come, first served, so a worker that sends
// millions of messages cannot starve the UI thread's own input. Uncontended,
// lock and unlock are one atomic add each; waiters spin briefly, then sleep on
// a futex.
#ifndef W32_USER_UILOCK_H
#define W32_USER_UILOCK_H

#include <atomic>
#include <cstdint>

namespace w32 {

class UiLock {
public:
    void Lock();
    void Unlock();

private:
    std::atomic<uint32_t> next_{0};
    std::atomic<uint32_t> serving_{0};
    std::atomic<uint32_t> sleepers_{0};
};

}  // namespace w32

#endif
