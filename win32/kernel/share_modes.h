// Access and share modes among every opener of a file, this process's and others'.
#pragma once

#include <windows.h>

namespace w32 {

// Records an open with this access (GENERIC_READ/GENERIC_WRITE) and share mode
// (FILE_SHARE_READ/FILE_SHARE_WRITE) on the open file description fd, if it is
// compatible with every other open of the same file. ERROR_SUCCESS, or
// ERROR_SHARING_VIOLATION (or another code) after which the caller must close
// fd, which withdraws whatever was recorded. The record lasts as long as the
// open file description.
DWORD ClaimShareAccess(int fd, DWORD access, DWORD share, bool fdWritable);

}  // namespace w32
