// Events: CreateEventA, SetEvent, ResetEvent.
#include "faults.h"
#include "handles.h"
#include "last_error.h"
#include "waitable.h"

namespace {

class Event : public w32::Waitable {
public:
    using Waitable::Waitable;
};

}  // namespace

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName)
{
    if (w32::TakeFailure("CreateEventA"))
        return w32::Fail<HANDLE>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    if (lpName)  // named events are shared between processes; the program uses none
        return w32::Fail<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    return w32::Guarded<HANDLE>(nullptr, [&] {
        return w32::AddHandle(std::make_shared<Event>(bManualReset != FALSE, bInitialState != FALSE));
    });
}

BOOL WINAPI SetEvent(HANDLE hEvent)
{
    w32::PassHoldPoint("SetEvent");
    std::shared_ptr<Event> event = w32::Find<Event>(hEvent);
    if (!event)
        return FALSE;
    event->Signal();
    return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE hEvent)
{
    std::shared_ptr<Event> event = w32::Find<Event>(hEvent);
    if (!event)
        return FALSE;
    event->Reset();
    return TRUE;
}
