// w32/standin.h: what the Linux stand-in offers beyond the platform's own API,
// for tests, the headless driver and the on-screen front end only. The
// program itself never includes this header.
#ifndef W32_STANDIN_H
#define W32_STANDIN_H

#include <windows.h>

#include <string>
#include <vector>

namespace w32 {

// Fault injection: the next call of the named function fails as the platform's
// would (for example "CreateFileMappingA", "MapViewOfFile", "HeapAlloc",
// "CreateEventA", "CreateThread", "ReadProcessMemory"). "MapViewOfFile:unreadable"
// makes the next view succeed but every page of it fault when touched, as a
// device read error does. "ReadProcessMemory:hold" makes the next copy wait,
// its source still mapped, until the process ends. Each request is used once.
void FailNextCall(const char *name);
void ClearFailures();
// Consumes a pending failure for this call; the stand-in's own functions ask it.
// A held call waits here first (see HoldNextCall).
bool TakeFailure(const char *name);

// Holding: the next call of the named function (any that can fail above, and
// "SetEvent") waits before it does anything until ReleaseHeldCall, so a test
// decides how long a run lasts instead of guessing it from a file's size.
// WaitUntilHeld returns true once such a call is waiting, false after the
// time given. Releasing a hold not yet reached cancels it; ClearFailures
// releases every hold.
void HoldNextCall(const char *name);
bool WaitUntilHeld(const char *name, unsigned milliseconds);
void ReleaseHeldCall(const char *name);
// Where a call that never fails can be held.
void PassHoldPoint(const char *name);

// Sleep sleeps at most this long from now on (INFINITE: as asked). For tests
// that make many runs in a row, where the spinner's pauses only animate.
void SetSleepLimit(DWORD milliseconds);

// Kernel handles open now (events, threads, files, mappings), for tests that
// check nothing is left behind.
size_t OpenHandleCount();

// Debug trace sink: silent unless captured or W32_TRACE is set in the
// environment (then each string is also printed to standard error).
void CaptureTrace(bool on);
std::vector<std::string> TakeTrace();

}  // namespace w32

#endif
