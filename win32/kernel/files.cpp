// Files: CreateFileA, GetFileType, GetFileSize, ReadFile, WriteFile, SetFilePointer, SetEndOfFile.
#include "files.h"

#include "faults.h"
#include "handles.h"
#include "last_error.h"
#include "mappings.h"
#include "share_modes.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace {

using w32::Fail;

int OpenFlags(DWORD access, DWORD disposition)
{
    // Share-mode markers are read locks, which need a readable descriptor, so
    // a write-only open is readable underneath. O_NONBLOCK keeps a FIFO from
    // blocking the open; it is cleared once the file is known.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | ((access & GENERIC_WRITE) ? O_RDWR : O_RDONLY);
    switch (disposition) {
    case OPEN_EXISTING: return flags;
    case OPEN_ALWAYS:
    case CREATE_ALWAYS: return flags | O_CREAT;
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    default: return -1;
    }
}

HANDLE OpenFile(LPCSTR path, DWORD access, DWORD share, DWORD disposition)
{
    const int flags = OpenFlags(access, disposition);
    if (flags < 0)
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    w32::UniqueFd fd(::open(path, flags, 0666));
    if (!fd)
        return Fail(w32::ErrorFromErrno(errno), INVALID_HANDLE_VALUE);

    struct stat status;
    if (fstat(fd.get(), &status) != 0)
        return Fail(w32::ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
    if (S_ISDIR(status.st_mode))
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    // The owner-write bit plays the platform's read-only attribute, which
    // binds every user: root's power to write anyway does not count.
    if ((access & GENERIC_WRITE) && !(status.st_mode & S_IWUSR))
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    // Likewise a clear owner-read bit plays a file the user may not read.
    if ((access & GENERIC_READ) && !(status.st_mode & S_IRUSR))
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    fcntl(fd.get(), F_SETFL, fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);

    const DWORD shareError = w32::ClaimShareAccess(fd.get(), access, share, (flags & O_RDWR) != 0);
    if (shareError != ERROR_SUCCESS)
        return Fail(shareError, INVALID_HANDLE_VALUE);

    const w32::FileId id{status.st_dev, status.st_ino};
    if (disposition == CREATE_ALWAYS && status.st_size != 0) {
        if (w32::IsMapped(id))
            return Fail(ERROR_USER_MAPPED_FILE, INVALID_HANDLE_VALUE);
        if (ftruncate(fd.get(), 0) != 0)
            return Fail(w32::ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
    }
    HANDLE handle = w32::AddHandle(std::make_shared<w32::File>(std::move(fd), access, id));
    return handle ? handle : INVALID_HANDLE_VALUE;
}

// The platform has no signals: a write to a pipe that nobody reads any more
// fails (ERROR_NO_DATA) and the writer carries on. While it lives, SIGPIPE is
// held back on this thread, and one that its writes raised is taken away.
class BrokenPipeHeld {
public:
    BrokenPipeHeld()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &saved_);
        sigset_t pending;
        sigpending(&pending);
        pendingBefore_ = sigismember(&pending, SIGPIPE) == 1;
    }
    ~BrokenPipeHeld()
    {
        if (broke_ && !pendingBefore_) {
            const timespec now = {0, 0};
            sigtimedwait(&pipe_, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }
    void Broke() { broke_ = true; }

private:
    sigset_t pipe_;
    sigset_t saved_;
    bool pendingBefore_ = false;
    bool broke_ = false;
};

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE)
{
    if (w32::TakeFailure("CreateFileA"))
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    if (!lpFileName || !*lpFileName)
        return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    return w32::Guarded(INVALID_HANDLE_VALUE,
                        [&] { return OpenFile(lpFileName, dwDesiredAccess, dwShareMode, dwCreationDisposition); });
}

DWORD WINAPI GetFileType(HANDLE hFile)
{
    std::shared_ptr<w32::File> file = w32::Find<w32::File>(hFile);
    struct stat status;
    if (!file || fstat(file->fd(), &status) != 0)
        return FILE_TYPE_UNKNOWN;
    SetLastError(ERROR_SUCCESS);  // tells an unknown kind from a failure
    if (S_ISREG(status.st_mode) || S_ISBLK(status.st_mode))
        return FILE_TYPE_DISK;
    if (S_ISCHR(status.st_mode))
        return FILE_TYPE_CHAR;
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode))
        return FILE_TYPE_PIPE;
    return FILE_TYPE_UNKNOWN;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    std::shared_ptr<w32::File> file = w32::Find<w32::File>(hFile);
    if (!file)
        return INVALID_FILE_SIZE;
    struct stat status;
    if (fstat(file->fd(), &status) != 0)
        return Fail(w32::ErrorFromErrno(errno), INVALID_FILE_SIZE);
    const uint64_t size = static_cast<uint64_t>(status.st_size);
    if (lpFileSizeHigh)
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);  // tells a size of 0xFFFFFFFF from a failure
    return static_cast<DWORD>(size);
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead, void *)
{
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = 0;
    std::shared_ptr<w32::File> file = w32::Find<w32::File>(hFile);
    if (!file)
        return FALSE;
    if (!file->CanRead())
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    DWORD done = 0;
    while (done < nNumberOfBytesToRead) {
        const ssize_t got = ::read(file->fd(), static_cast<char *>(lpBuffer) + done, nNumberOfBytesToRead - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Fail(w32::ErrorFromErrno(errno), FALSE);
        if (got == 0)
            break;  // end of file: success with fewer bytes
        done += static_cast<DWORD>(got);
    }
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = done;
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      void *)
{
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = 0;
    std::shared_ptr<w32::File> file = w32::Find<w32::File>(hFile);
    if (!file)
        return FALSE;
    if (!file->CanWrite())
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    BrokenPipeHeld held;
    DWORD done = 0;
    while (done < nNumberOfBytesToWrite) {
        const ssize_t put =
            ::write(file->fd(), static_cast<const char *>(lpBuffer) + done, nNumberOfBytesToWrite - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno == EPIPE)
            held.Broke();
        if (put < 0)
            return Fail(w32::ErrorFromErrno(errno), FALSE);
        done += static_cast<DWORD>(put);
        if (lpNumberOfBytesWritten)
            *lpNumberOfBytesWritten = done;
    }
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod)
{
    std::shared_ptr<w32::File> file = w32::Find<w32::File>(hFile);
    if (!file)
        return INVALID_SET_FILE_POINTER;
    // Without a high part the distance is a signed 32-bit value; with one, the
    // two parts form a signed 64-bit distance.
    int64_t distance = lDistanceToMove;
    if (lpDistanceToMoveHigh)
        distance = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                        static_cast<uint32_t>(lDistanceToMove));
    int64_t origin;
    switch (dwMoveMethod) {
    case FILE_BEGIN: origin = 0; break;
    case FILE_CURRENT: origin = lseek(file->fd(), 0, SEEK_CUR); break;
    case FILE_END: {
        struct stat status;
        origin = fstat(file->fd(), &status) == 0 ? status.st_size : -1;
        break;
    }
    default: return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }
    if (origin < 0)
        return Fail(w32::ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
    const int64_t position = origin + distance;
    if (position < 0)
        return Fail(w32::kErrorNegativeSeek, INVALID_SET_FILE_POINTER);
    if (!lpDistanceToMoveHigh && position > INT64_C(0xFFFFFFFE))
        return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    if (lseek(file->fd(), position, SEEK_SET) < 0)
        return Fail(w32::ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
    if (lpDistanceToMoveHigh)
        *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
    SetLastError(ERROR_SUCCESS);  // tells a position of 0xFFFFFFFF from a failure
    return static_cast<DWORD>(position);
}

BOOL WINAPI SetEndOfFile(HANDLE hFile)
{
    std::shared_ptr<w32::File> file = w32::Find<w32::File>(hFile);
    if (!file)
        return FALSE;
    if (!file->CanWrite())
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    // As on the platform, a file's end stays put while any mapping of it
    // (through any handle) exists: views must be unmapped and mappings closed.
    if (w32::IsMapped(file->id()))
        return Fail(ERROR_USER_MAPPED_FILE, FALSE);
    const off_t position = lseek(file->fd(), 0, SEEK_CUR);
    if (position < 0 || ftruncate(file->fd(), position) != 0)
        return Fail(w32::ErrorFromErrno(errno), FALSE);
    return TRUE;
}
