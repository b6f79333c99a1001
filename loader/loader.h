/* loader.h: a file's size, and its bytes into a caller's buffer. */
#ifndef BYTESCRIBE_LOADER_H
#define BYTESCRIBE_LOADER_H

#include <windows.h>

/* The length of the file or folder (0) named by pszPath, when it is shorter
   than 2 GiB. 1 on success, 0 on failure; writes no trace, changes nothing. */
int QueryFileSize(const char *pszPath, DWORD *pdwSize);

/* Copies the dwSize bytes of the file pszPath into pBuffer through a
   read-only view of the file. 1 on success, 0 on failure. The file is only
   ever read, and shared with other readers while it is. */
int ReadFileBytes(unsigned char *pBuffer, const char *pszPath, DWORD dwSize);

/* After a 0 from either, GetLastError tells what failed:
     ERROR_FILE_NOT_FOUND     nothing exists at the path
     ERROR_BAD_FILE_TYPE      the path names a folder or a device, not a file
     ERROR_ACCESS_DENIED      the file is there but cannot be opened (no
                              access, or another program is writing it)
     ERROR_FILE_TOO_LARGE     the file is 2 GiB or larger
     ERROR_READ_FAULT         the file was opened but its bytes could not be
                              read (changed since the query, a device error)
     ERROR_NOT_ENOUGH_MEMORY  no room to map the file */

#endif
