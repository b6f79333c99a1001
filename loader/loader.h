/* loader.h: a file's size, and its bytes into a caller's buffer. */
#ifndef BYTESCRIBE_LOADER_H
#define BYTESCRIBE_LOADER_H

#include <windows.h>

/* The length of the file or folder (0) named by pszPath, when it is shorter
   than 2 GiB. 1 on success, 0 on failure; writes no trace, changes nothing. */
int QueryFileSize(const char *pszPath, DWORD *pdwSize);

/* Copies the dwSize bytes of the file pszPath into pBuffer through a view of
   the file. 1 on success, 0 on failure. The file's bytes and length are left
   as they were, whatever happens. */
int ReadFileBytes(unsigned char *pBuffer, const char *pszPath, DWORD dwSize);

#endif
