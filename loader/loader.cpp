/* loader.cpp: the size query and the mapped read of a file into a buffer. */
#include "loader/loader.h"

#include <windows.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>

/* Files of 2 GiB or more are refused: sizes are signed 32-bit values. */
#define MAX_FILE_SIZE 2147483647LL

/* The mapping is this much longer than the file, which lengthens the file
   while it is mapped; the end is set back afterwards. */
#define MAPPING_EXTRA 4

/* A read in flight at the end of the process would leave the file lengthened.
   The exit handler marks the process as ending and waits for the reads under
   way; a read that begins later fails before it touches the file. Both sides
   write their own flag, then read the other's (sequentially consistent), so
   at least one of them sees the other. */
static std::atomic<int> g_nReadsInFlight(0);
static std::atomic<int> g_fProcessEnding(0);

static void WaitForReadsAtExit(void)
{
    g_fProcessEnding.store(1);
    while (g_nReadsInFlight.load() != 0)
        Sleep(1);
}

static void InstallExitWait(void)
{
    /* Registered at the first read rather than at start-up, so it runs
       before the exit work of everything set up earlier. */
    static const int s_nRegistered = atexit(WaitForReadsAtExit);
    (void)s_nRegistered;
}

static int BeginRead(void)
{
    g_nReadsInFlight.fetch_add(1);
    if (g_fProcessEnding.load()) {
        g_nReadsInFlight.fetch_sub(1);
        return 0;
    }
    return 1;
}

static void EndRead(void)
{
    g_nReadsInFlight.fetch_sub(1);
}

int QueryFileSize(const char *pszPath, DWORD *pdwSize)
{
    struct _stati64 st;

    if (_stati64(pszPath, &st) != 0)
        return 0;
    if (st.st_size < 0 || st.st_size > MAX_FILE_SIZE)
        return 0;
    *pdwSize = (DWORD)st.st_size;
    return 1;
}

/* Whether the open file is exactly dwSize bytes long. Setting its end back
   to dwSize would otherwise cut or lengthen a file changed since its size
   was queried. */
static int FileHasSize(HANDLE hFile, DWORD dwSize)
{
    DWORD dwHigh = 0;
    DWORD dwLow = GetFileSize(hFile, &dwHigh);

    return dwHigh == 0 && dwLow == dwSize && dwSize <= MAX_FILE_SIZE;
}

static void SetEndBack(HANDLE hFile, DWORD dwSize)
{
    SetFilePointer(hFile, (LONG)dwSize, NULL, FILE_BEGIN);
    SetEndOfFile(hFile);
}

static int ReadThroughView(unsigned char *pBuffer, const char *pszPath, DWORD dwSize)
{
    HANDLE hFile;
    HANDLE hMapping;
    LPVOID pView;
    SIZE_T nCopied = 0;
    BOOL fCopied;

    hFile = CreateFileA(pszPath, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        OutputDebugStringA("File could not be opened.");
        return 0;
    }
    if (!FileHasSize(hFile, dwSize)) {
        CloseHandle(hFile);
        return 0;
    }

    hMapping = CreateFileMappingA(hFile, NULL, PAGE_READWRITE, 0, dwSize + MAPPING_EXTRA, NULL);
    if (hMapping == NULL) {
        CloseHandle(hFile);
        return 0;
    }
    pView = MapViewOfFile(hMapping, FILE_MAP_WRITE, 0, 0, 0);
    if (pView == NULL) {
        CloseHandle(hMapping);
        SetEndBack(hFile, dwSize);
        CloseHandle(hFile);
        return 0;
    }

    /* A device error while the pages are fetched ends the copy with FALSE
       instead of the process; the releases below run either way. */
    fCopied = ReadProcessMemory(GetCurrentProcess(), pView, pBuffer, dwSize, &nCopied);

    UnmapViewOfFile(pView);
    CloseHandle(hMapping);
    SetEndBack(hFile, dwSize);
    CloseHandle(hFile);
    return fCopied && nCopied == dwSize;
}

int ReadFileBytes(unsigned char *pBuffer, const char *pszPath, DWORD dwSize)
{
    int nResult;

    InstallExitWait();
    if (!BeginRead())
        return 0;
    nResult = ReadThroughView(pBuffer, pszPath, dwSize);
    EndRead();
    return nResult;
}
