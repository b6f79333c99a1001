// The handle table and CloseHandle: a closed or made-up handle is detected, never dereferenced.
#include "handles.h"

#include "last_error.h"
#include "singleton.h"

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace w32 {
namespace {

static_assert(sizeof(HANDLE) == 8, "the handle encoding assumes 64-bit pointers");

// A handle is (generation << 32) | ((slot + 1) << 2): never 0, never
// INVALID_HANDLE_VALUE, a multiple of 4 like the platform's, and the two low
// bits stay free so pseudo handles (the process heap) can never collide.
// Closing a handle bumps its slot's generation, so the old value stays dead
// even after the slot is reused.
constexpr uint64_t kMaxSlots = (uint64_t{1} << 30) - 1;

class HandleTable {
public:
    HANDLE Add(std::shared_ptr<Object> object)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        uint32_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            if (slots_.size() >= kMaxSlots)
                return nullptr;
            slots_.emplace_back();
            index = static_cast<uint32_t>(slots_.size() - 1);
        }
        Slot &slot = slots_[index];
        slot.object = std::move(object);
        return Encode(index, slot.generation);
    }

    std::shared_ptr<Object> Find(HANDLE handle) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const Slot *slot = Locate(handle);
        return slot ? slot->object : nullptr;
    }

    // Hands the object back so that the caller drops it outside the lock:
    // destroying an object may close files or take other locks.
    std::shared_ptr<Object> Remove(HANDLE handle)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Slot *slot = const_cast<Slot *>(Locate(handle));
        if (!slot)
            return nullptr;
        std::shared_ptr<Object> object = std::move(slot->object);
        slot->object.reset();
        if (++slot->generation == 0)
            slot->generation = 1;
        free_.push_back(static_cast<uint32_t>(slot - slots_.data()));
        return object;
    }

    size_t OpenCount() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return slots_.size() - free_.size();
    }

private:
    struct Slot {
        uint32_t generation = 1;
        std::shared_ptr<Object> object;
    };

    static HANDLE Encode(uint32_t index, uint32_t generation)
    {
        const uint64_t value = (uint64_t{generation} << 32) | ((uint64_t{index} + 1) << 2);
        return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
    }

    const Slot *Locate(HANDLE handle) const
    {
        const uint64_t value = reinterpret_cast<uintptr_t>(handle);
        const uint64_t low = value & 0xFFFFFFFFu;
        if ((low & 3) != 0 || low == 0)
            return nullptr;
        const uint64_t index = (low >> 2) - 1;
        if (index >= slots_.size())
            return nullptr;
        const Slot &slot = slots_[index];
        if (!slot.object || slot.generation != static_cast<uint32_t>(value >> 32))
            return nullptr;
        return &slot;
    }

    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
};

HandleTable &Table()
{
    return Singleton<HandleTable>();
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<Object> object)
{
    return Guarded<HANDLE>(nullptr, [&]() -> HANDLE {
        HANDLE handle = Table().Add(std::move(object));
        if (!handle)
            SetLastError(kErrorTooManyOpenFiles);
        return handle;
    });
}

size_t OpenHandleCount()
{
    return Table().OpenCount();
}

std::shared_ptr<Object> FindObject(HANDLE handle)
{
    std::shared_ptr<Object> object = Table().Find(handle);
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

}  // namespace w32

BOOL WINAPI CloseHandle(HANDLE hObject)
{
    std::shared_ptr<w32::Object> object = w32::Table().Remove(hObject);
    if (!object)
        return w32::Fail(ERROR_INVALID_HANDLE, FALSE);
    object.reset();  // outside the table's lock
    return TRUE;
}
