// GetLastError/SetLastError: one value per thread, as on the platform.
#include "last_error.h"

#include <cerrno>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError(void)
{
    return t_lastError;
}

void WINAPI SetLastError(DWORD dwErrCode)
{
    t_lastError = dwErrCode;
}

namespace w32 {

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG: return ERROR_PATH_NOT_FOUND;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EEXIST: return kErrorFileExists;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case EAGAIN: return ERROR_SHARING_VIOLATION;
    case EPIPE: return ERROR_NO_DATA;  // a pipe whose reader has gone
    default: return ERROR_ACCESS_DENIED;  // EACCES, EPERM, EROFS, EISDIR, ETXTBSY, ...
    }
}

}  // namespace w32
