/* loader.cpp: the size query and the mapped read of a file into a buffer. */
#include "loader/loader.h"

#include <windows.h>

#include <errno.h>
#include <sys/stat.h>

/* Files of 2 GiB or more are refused: sizes are signed 32-bit values. */
#define MAX_FILE_SIZE 2147483647LL

int QueryFileSize(const char *pszPath, DWORD *pdwSize)
{
    struct _stati64 st;

    if (_stati64(pszPath, &st) != 0) {
        SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (st.st_size < 0 || st.st_size > MAX_FILE_SIZE) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return 0;
    }
    *pdwSize = (DWORD)st.st_size;
    return 1;
}

/* What a failed open says: gone since its size was queried, a folder (which
   the size query lets through), or there but not to be opened. */
static DWORD OpenFailure(const char *pszPath, DWORD dwError)
{
    struct _stati64 st;

    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND)
        return ERROR_FILE_NOT_FOUND;
    if (_stati64(pszPath, &st) == 0 && (st.st_mode & _S_IFDIR))
        return ERROR_BAD_FILE_TYPE;
    return ERROR_ACCESS_DENIED;
}

/* What a failure after the open says: short of memory, or the bytes could
   not be read. */
static int ReadFailed(DWORD dwError)
{
    if (dwError != ERROR_NOT_ENOUGH_MEMORY && dwError != ERROR_OUTOFMEMORY)
        dwError = ERROR_READ_FAULT;
    SetLastError(dwError);
    return 0;
}

/* Whether the open file is exactly dwSize bytes long: the buffer was sized
   by the query, and the file may have changed since. */
static int FileHasSize(HANDLE hFile, DWORD dwSize)
{
    DWORD dwHigh = 0;
    DWORD dwLow = GetFileSize(hFile, &dwHigh);

    return dwHigh == 0 && dwLow == dwSize && dwSize <= MAX_FILE_SIZE;
}

static int CopyThroughView(HANDLE hFile, unsigned char *pBuffer, DWORD dwSize)
{
    HANDLE hMapping;
    LPVOID pView;
    SIZE_T nCopied = 0;
    BOOL fCopied;
    DWORD dwError;

    /* A device (a console, a pipe) is no file to list, even when it says it is empty. */
    if (GetFileType(hFile) != FILE_TYPE_DISK) {
        SetLastError(ERROR_BAD_FILE_TYPE);
        return 0;
    }
    if (!FileHasSize(hFile, dwSize))
        return ReadFailed(ERROR_READ_FAULT);
    /* An empty file has nothing to copy, and the platform maps no empty file. */
    if (dwSize == 0)
        return 1;

    /* The file's length was checked: a mapping that fails now is a fault of
       the file (cut short by a program that ignores share modes), not of memory. */
    hMapping = CreateFileMappingA(hFile, NULL, PAGE_READONLY, 0, dwSize, NULL);
    if (hMapping == NULL)
        return ReadFailed(ERROR_READ_FAULT);
    pView = MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, 0);
    if (pView == NULL) {
        dwError = GetLastError();
        CloseHandle(hMapping);
        return ReadFailed(dwError);
    }

    /* A device error while the pages are fetched, or the file cut short by
       a program that ignores share modes, ends the copy with FALSE instead
       of the process. */
    fCopied = ReadProcessMemory(GetCurrentProcess(), pView, pBuffer, dwSize, &nCopied);
    dwError = GetLastError();

    UnmapViewOfFile(pView);
    CloseHandle(hMapping);
    if (!fCopied || nCopied != dwSize)
        return ReadFailed(dwError);
    return 1;
}

int ReadFileBytes(unsigned char *pBuffer, const char *pszPath, DWORD dwSize)
{
    HANDLE hFile;
    DWORD dwError;
    int fRead;

    /* Other readers are welcome; writers are kept out, so the bytes cannot
       change while they are copied. */
    hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        dwError = OpenFailure(pszPath, GetLastError());
        OutputDebugStringA("File could not be opened.");
        SetLastError(dwError);
        return 0;
    }

    fRead = CopyThroughView(hFile, pBuffer, dwSize);
    dwError = GetLastError();
    CloseHandle(hFile);
    SetLastError(dwError);
    return fRead;
}
