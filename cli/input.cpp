/* input.cpp: opening and reading the input with the platform's file calls,
   which keep one source for both targets and give a read-only mapping. */
#include "cli/input.h"

#include "cli/report.h"

#include <string.h>
#include <sys/stat.h>

static HANDLE g_hInput = INVALID_HANDLE_VALUE;
static HANDLE g_hInputMapping = NULL;
static int g_fStandardInput = 1;
static const char *g_pszInputName = "standard input";

static const struct ErrorText g_aOpenErrors[] = {
    {ERROR_FILE_NOT_FOUND, "no such file"},
    {ERROR_PATH_NOT_FOUND, "no such file"},
    {ERROR_ACCESS_DENIED, "permission denied"},
    {ERROR_SHARING_VIOLATION, "in use by another program"},
    {0, NULL},
};

/* The platform refuses to open a folder as it refuses an unreadable file;
   the file status tells them apart. */
static int IsFolder(const char *pszPath)
{
    struct _stati64 st;

    return _stati64(pszPath, &st) == 0 && (st.st_mode & S_IFMT) == S_IFDIR;
}

void OpenInput(const char *pszPath)
{
    DWORD dwError;

    if (pszPath == NULL || strcmp(pszPath, "-") == 0) {
        g_hInput = GetStdHandle(STD_INPUT_HANDLE);
        if (g_hInput == NULL || g_hInput == INVALID_HANDLE_VALUE)
            ExitWithInputError("not open");
        return;
    }

    g_fStandardInput = 0;
    g_pszInputName = pszPath;
    /* Others may go on reading and writing it: it is only read here. */
    g_hInput = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (g_hInput != INVALID_HANDLE_VALUE)
        return;
    dwError = GetLastError();
    if (dwError == ERROR_ACCESS_DENIED && IsFolder(pszPath))
        ExitWithInputError("is a folder");
    ExitWithErrorCode(EXIT_INPUT_FAILED, pszPath, dwError, g_aOpenErrors, "cannot be opened");
}

DWORD ReadInput(void *pBuffer, DWORD cbWanted)
{
    DWORD cbDone = 0;

    /* A pipe or console may give less than was asked for before its end. */
    while (cbDone < cbWanted) {
        DWORD cbRead = 0;

        if (!ReadFile(g_hInput, (char *)pBuffer + cbDone, cbWanted - cbDone, &cbRead, NULL)) {
            /* The platform's end of a pipe whose writer has closed it. */
            if (GetLastError() == ERROR_BROKEN_PIPE)
                break;
            ExitWithErrorCode(EXIT_INPUT_FAILED, g_pszInputName, GetLastError(), NULL,
                              "read error");
        }
        if (cbRead == 0)
            break;
        cbDone += cbRead;
    }
    return cbDone;
}

int64_t MapInput(void)
{
    DWORD dwHigh = 0;
    DWORD dwLow;

    /* Standard input is read from where it stands, which a mapping of the
       whole file would not respect. */
    if (g_fStandardInput || GetFileType(g_hInput) != FILE_TYPE_DISK)
        return -1;
    dwLow = GetFileSize(g_hInput, &dwHigh);
    if (dwLow == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS)
        return -1;
    /* An empty file cannot be mapped; some files that report no size still
       have bytes to read. */
    if (dwLow == 0 && dwHigh == 0)
        return -1;
    g_hInputMapping = CreateFileMappingA(g_hInput, NULL, PAGE_READONLY, 0, 0, NULL);
    if (g_hInputMapping == NULL)
        return -1;
    return (int64_t)(((uint64_t)dwHigh << 32) | dwLow);
}

const unsigned char *MapInputView(uint64_t uOffset, SIZE_T cbView)
{
    return (const unsigned char *)MapViewOfFile(g_hInputMapping, FILE_MAP_READ, (DWORD)(uOffset >> 32),
                                                (DWORD)uOffset, cbView);
}

const char *InputName(void)
{
    return g_pszInputName;
}

void ExitWithInputError(const char *pszWhy)
{
    ExitWithError(EXIT_INPUT_FAILED, g_pszInputName, pszWhy);
}
