// Fault injection: queued one-shot failures of named calls, and held calls
// that wait until a test releases them, for tests.
#include "faults.h"

#include "singleton.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace w32 {
namespace {

class FaultQueue {
public:
    void Add(const char *name)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++pending_[name];
        total_.fetch_add(1);
    }

    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.clear();
        holds_.clear();
        total_.store(0);
        changed_.notify_all();
    }

    bool Take(const char *name)
    {
        // Allocation and copying call this on every use: with nothing pending
        // it costs one atomic load and no lock.
        if (total_.load() == 0)
            return false;
        std::unique_lock<std::mutex> lock(mutex_);
        WaitIfHeld(lock, name);
        auto it = pending_.find(name);
        if (it == pending_.end())
            return false;
        if (--it->second == 0)
            pending_.erase(it);
        total_.fetch_sub(1);
        return true;
    }

    void Pass(const char *name)
    {
        if (total_.load() == 0)
            return;
        std::unique_lock<std::mutex> lock(mutex_);
        WaitIfHeld(lock, name);
    }

    void Hold(const char *name)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // A call still held by an earlier hold of this name goes on.
        auto [it, added] = holds_.insert_or_assign(name, HoldEntry{HoldState::kArmed, ++serial_});
        (void)it;
        if (added)
            total_.fetch_add(1);
        changed_.notify_all();
    }

    bool WaitUntilHeld(const char *name, unsigned milliseconds)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] {
            auto it = holds_.find(name);
            return it != holds_.end() && it->second.state == HoldState::kHeld;
        });
    }

    void Release(const char *name)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = holds_.find(name);
        if (it == holds_.end())
            return;
        holds_.erase(it);
        total_.fetch_sub(1);
        changed_.notify_all();
    }

private:
    enum class HoldState { kArmed, kHeld };

    struct HoldEntry {
        HoldState state;
        uint64_t serial;  // tells this hold from a later one of the same name
    };

    // A call of a held name waits here until released; one call per hold.
    void WaitIfHeld(std::unique_lock<std::mutex> &lock, const char *name)
    {
        auto it = holds_.find(name);
        if (it == holds_.end() || it->second.state != HoldState::kArmed)
            return;
        it->second.state = HoldState::kHeld;
        const uint64_t serial = it->second.serial;
        changed_.notify_all();
        changed_.wait(lock, [&] {
            auto now = holds_.find(name);
            return now == holds_.end() || now->second.serial != serial;
        });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, int, std::less<>> pending_;
    std::map<std::string, HoldEntry, std::less<>> holds_;
    uint64_t serial_ = 0;
    std::atomic<int> total_{0};  // pending failures and holds
};

FaultQueue &Queue()
{
    return Singleton<FaultQueue>();
}

}  // namespace

void FailNextCall(const char *name)
{
    Queue().Add(name);
}

void ClearFailures()
{
    Queue().Clear();
}

bool TakeFailure(const char *name)
{
    return Queue().Take(name);
}

void HoldNextCall(const char *name)
{
    Queue().Hold(name);
}

bool WaitUntilHeld(const char *name, unsigned milliseconds)
{
    return Queue().WaitUntilHeld(name, milliseconds);
}

void ReleaseHeldCall(const char *name)
{
    Queue().Release(name);
}

void PassHoldPoint(const char *name)
{
    Queue().Pass(name);
}

}  // namespace w32
