// Objects a thread can wait for: a signalled state, manual or auto reset.
#pragma once

#include "object.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>

namespace w32 {

class Waitable : public Object {
public:
    Waitable(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}

    void Signal();
    void Reset();
    // True when the object was (or became) signalled within the time-out; an
    // auto-reset object is reset by the one wait that sees it signalled.
    bool Wait(DWORD milliseconds);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const bool manualReset_;
    bool signalled_;
};

}  // namespace w32
