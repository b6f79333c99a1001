// GetStdHandle: the process's standard streams as file handles, each made
// once, on first use.
#include "files.h"
#include "handles.h"
#include "last_error.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <mutex>

HANDLE WINAPI GetStdHandle(DWORD nStdHandle)
{
    int stream;
    DWORD access;
    switch (nStdHandle) {
    case STD_INPUT_HANDLE: stream = 0; access = GENERIC_READ; break;
    case STD_OUTPUT_HANDLE: stream = 1; access = GENERIC_WRITE; break;
    case STD_ERROR_HANDLE: stream = 2; access = GENERIC_WRITE; break;
    default: return w32::Fail(ERROR_INVALID_HANDLE, INVALID_HANDLE_VALUE);
    }
    static std::mutex mutex;
    static HANDLE handles[3];
    std::lock_guard<std::mutex> lock(mutex);
    if (handles[stream] != nullptr)
        return handles[stream];

    // A copy of the descriptor, so that closing the handle leaves the C
    // library's stream alone. A stream the process was started without has
    // no handle: NULL, as on the platform.
    w32::UniqueFd copy(fcntl(stream, F_DUPFD_CLOEXEC, 3));
    if (!copy)
        return nullptr;
    struct stat status;
    if (fstat(copy.get(), &status) != 0)
        return w32::Fail(w32::ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
    const w32::FileId id{status.st_dev, status.st_ino};
    handles[stream] = w32::Guarded(HANDLE{nullptr}, [&] {
        return w32::AddHandle(std::make_shared<w32::File>(std::move(copy), access, id));
    });
    return handles[stream] != nullptr ? handles[stream] : INVALID_HANDLE_VALUE;
}
