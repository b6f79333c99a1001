// Fault injection: queued one-shot failures of named calls, for tests.
#include "faults.h"

#include "singleton.h"

#include <atomic>
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
        total_.store(0);
    }

    bool Take(const char *name)
    {
        // Allocation and copying call this on every use: without a pending
        // failure it costs one atomic load and no lock.
        if (total_.load() == 0)
            return false;
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = pending_.find(name);
        if (it == pending_.end())
            return false;
        if (--it->second == 0)
            pending_.erase(it);
        total_.fetch_sub(1);
        return true;
    }

private:
    std::mutex mutex_;
    std::map<std::string, int, std::less<>> pending_;
    std::atomic<int> total_{0};
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

}  // namespace w32
