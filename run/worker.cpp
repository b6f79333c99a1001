/* worker.cpp: one conversion run, from the dialog's boxes to the output box. */
#include "run/run.h"

#include "engine/box.h"
#include "loader/loader.h"
#include "run/runstate.h"
#include "ui/resource.h"

#include <commctrl.h>
#include <string.h>

#define SPINNER_WAIT_MS 1000

/* What status part 1 says at the end of a run: "Completed..." after a run
   that did its work, else what kept its source from being read, by the
   error the loader left (or a failed allocation). The last row also covers
   any error not named here. */
static const struct {
    DWORD dwError;
    const char *pszText;
} g_aEndTexts[] = {
    {ERROR_SUCCESS, "Completed..."},
    {ERROR_FILE_NOT_FOUND, "文件不存在"},
    {ERROR_BAD_FILE_TYPE, "不是文件"},
    {ERROR_ACCESS_DENIED, "打开文件失败"},
    {ERROR_FILE_TOO_LARGE, "文件过大，须小于2GB"},
    {ERROR_NOT_ENOUGH_MEMORY, "内存不足"},
    {ERROR_READ_FAULT, "读取文件失败"},
};

static const char *EndText(DWORD dwError)
{
    size_t i;

    for (i = 0; i + 1 < sizeof(g_aEndTexts) / sizeof(g_aEndTexts[0]); i++) {
        if (g_aEndTexts[i].dwError == dwError)
            break;
    }
    return g_aEndTexts[i].pszText;
}

/* The byte buffer carries one zero byte behind its count: room for the
   terminator that GetDlgItemTextA writes, and the end of a file's text in
   ASCII mode when the file holds no zero byte. The listing never sees it. */
static unsigned char *AllocateByteBuffer(DWORD cBytes)
{
    return (unsigned char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (SIZE_T)cBytes + 1);
}

/* The file source: sized, read, shown as text in ASCII mode. On failure,
   *pdwError says what failed. */
static unsigned char *ReadFileSource(const char *pszPath, DWORD *pcBytes, DWORD *pdwError)
{
    unsigned char *pBytes;
    DWORD cBytes;

    if (!QueryFileSize(pszPath, &cBytes)) {
        *pdwError = GetLastError();
        return NULL;
    }
    pBytes = AllocateByteBuffer(cBytes);
    if (pBytes == NULL) {
        *pdwError = ERROR_NOT_ENOUGH_MEMORY;
        return NULL;
    }
    if (!ReadFileBytes(pBytes, pszPath, cBytes)) {
        *pdwError = GetLastError();
        HeapFree(GetProcessHeap(), 0, pBytes);
        return NULL;
    }
    if (IsDlgButtonChecked(g_hDlg, IDC_ASCII))
        SetDlgItemTextA(g_hDlg, IDC_TEXT, (const char *)pBytes);
    *pcBytes = cBytes;
    return pBytes;
}

/* The text source: every byte of the input box. */
static unsigned char *ReadTextSource(int cchText, DWORD *pcBytes, DWORD *pdwError)
{
    unsigned char *pBytes = AllocateByteBuffer((DWORD)cchText);

    if (pBytes == NULL) {
        *pdwError = ERROR_NOT_ENOUGH_MEMORY;
        return NULL;
    }
    /* The text may have shrunk since its length was taken: list what was read. */
    *pcBytes = GetDlgItemTextA(g_hDlg, IDC_TEXT, (char *)pBytes, cchText + 1);
    return pBytes;
}

/* Stops the spinner, then reports the run as done, or what failed. Enabling
   Convert is the run's last window call. */
static void EndRun(unsigned char *pBytes, DWORD dwError)
{
    if (pBytes != NULL)
        HeapFree(GetProcessHeap(), 0, pBytes);

    SetEvent(g_hStopEvent);
    /* A spinner that is slow to end is waited for: the event is never
       released while the spinner may still poll it. */
    if (WaitForSingleObject(g_hSpinner, SPINNER_WAIT_MS) == WAIT_TIMEOUT)
        WaitForSingleObject(g_hSpinner, INFINITE);
    CloseHandle(g_hStopEvent);

    SendMessageA(g_hStatus, SB_SETTEXTA, StatusPartActivity, (LPARAM)EndText(dwError));
    SendMessageA(g_hStatus, SB_SETTEXTA, StatusPartState, (LPARAM) "Ready");
    EnableWindow(GetDlgItem(g_hDlg, IDC_CONVERT), TRUE);
}

DWORD WINAPI ConvertWorker(LPVOID lpParameter)
{
    char szPath[MAX_PATH];
    unsigned char *pBytes = NULL;
    DWORD cBytes = 0;
    DWORD dwError = ERROR_SUCCESS;

    memset(szPath, 0, sizeof(szPath));
    GetDlgItemTextA(g_hDlg, IDC_PATH, szPath, MAX_PATH);

    if (szPath[0] != '\0') {
        pBytes = ReadFileSource(szPath, &cBytes, &dwError);
    } else {
        int cchText = GetWindowTextLengthA(GetDlgItem(g_hDlg, IDC_TEXT));
        if (cchText > 0)
            pBytes = ReadTextSource(cchText, &cBytes, &dwError);
        else
            DecodeHexPairs();
    }

    if (pBytes != NULL) {
        SetDlgItemTextA(g_hDlg, IDC_OUTPUT, "");
        WriteListing((int)(INT_PTR)lpParameter, pBytes, cBytes);
    }

    EndRun(pBytes, dwError);
    return 0;
}
