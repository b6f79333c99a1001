// The calling thread's last error, and the helpers that set it on a failure.
#pragma once

#include <windows.h>

#include <new>

namespace w32 {

// Codes the program never names but the stand-in reports where the platform would.
constexpr DWORD kErrorTooManyOpenFiles = 4;
constexpr DWORD kErrorFileExists = 80;
constexpr DWORD kErrorNegativeSeek = 131;
constexpr DWORD kErrorInvalidAddress = 487;
constexpr DWORD kErrorMappedAlignment = 1132;

// Sets the last error and hands back the caller's failure value, so a failing
// path is one line: `return Fail(ERROR_INVALID_HANDLE, FALSE);`.
template <class R>
R Fail(DWORD error, R result)
{
    SetLastError(error);
    return result;
}

// The platform's code for a C library errno value.
DWORD ErrorFromErrno(int error);

// Runs an API body; an exception (only allocation can throw here) becomes the
// platform's out-of-memory failure instead of crossing the C boundary.
template <class R, class Body>
R Guarded(R failed, Body &&body) noexcept
{
    try {
        return body();
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return failed;
    }
}

}  // namespace w32
