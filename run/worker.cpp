/* worker.cpp: one conversion run, from the dialog's boxes to the output box. */
#include "run/run.h"

#include "engine/box.h"
#include "loader/loader.h"
#include "run/runstate.h"
#include "ui/resource.h"

#include <commctrl.h>
#include <string.h>

#define SPINNER_WAIT_MS 1000

/* The byte buffer carries one zero byte behind its count: room for the
   terminator that GetDlgItemTextA writes, and the end of a file's text in
   ASCII mode when the file holds no zero byte. The listing never sees it. */
static unsigned char *AllocateByteBuffer(DWORD cBytes)
{
    return (unsigned char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (SIZE_T)cBytes + 1);
}

/* The file source: sized, read, shown as text in ASCII mode. */
static unsigned char *ReadFileSource(const char *pszPath, DWORD *pcBytes)
{
    unsigned char *pBytes;
    DWORD cBytes;

    if (!QueryFileSize(pszPath, &cBytes))
        return NULL;
    pBytes = AllocateByteBuffer(cBytes);
    if (pBytes == NULL)
        return NULL;
    if (!ReadFileBytes(pBytes, pszPath, cBytes)) {
        HeapFree(GetProcessHeap(), 0, pBytes);
        return NULL;
    }
    if (IsDlgButtonChecked(g_hDlg, IDC_ASCII))
        SetDlgItemTextA(g_hDlg, IDC_TEXT, (const char *)pBytes);
    *pcBytes = cBytes;
    return pBytes;
}

/* The text source: every byte of the input box. */
static unsigned char *ReadTextSource(int cchText, DWORD *pcBytes)
{
    unsigned char *pBytes = AllocateByteBuffer((DWORD)cchText);

    if (pBytes == NULL)
        return NULL;
    /* The text may have shrunk since its length was taken: list what was read. */
    *pcBytes = GetDlgItemTextA(g_hDlg, IDC_TEXT, (char *)pBytes, cchText + 1);
    return pBytes;
}

/* Stops the spinner, then reports the run as done. Enabling Convert is the
   run's last window call. */
static void EndRun(unsigned char *pBytes)
{
    if (pBytes != NULL)
        HeapFree(GetProcessHeap(), 0, pBytes);

    SetEvent(g_hStopEvent);
    /* A spinner that is slow to end is waited for: the event is never
       released while the spinner may still poll it. */
    if (WaitForSingleObject(g_hSpinner, SPINNER_WAIT_MS) == WAIT_TIMEOUT)
        WaitForSingleObject(g_hSpinner, INFINITE);
    CloseHandle(g_hStopEvent);

    SendMessageA(g_hStatus, SB_SETTEXTA, StatusPartActivity, (LPARAM) "Completed...");
    SendMessageA(g_hStatus, SB_SETTEXTA, StatusPartState, (LPARAM) "Ready");
    EnableWindow(GetDlgItem(g_hDlg, IDC_CONVERT), TRUE);
}

DWORD WINAPI ConvertWorker(LPVOID lpParameter)
{
    char szPath[MAX_PATH];
    unsigned char *pBytes = NULL;
    DWORD cBytes = 0;

    memset(szPath, 0, sizeof(szPath));
    GetDlgItemTextA(g_hDlg, IDC_PATH, szPath, MAX_PATH);

    if (szPath[0] != '\0') {
        pBytes = ReadFileSource(szPath, &cBytes);
    } else {
        int cchText = GetWindowTextLengthA(GetDlgItem(g_hDlg, IDC_TEXT));
        if (cchText > 0)
            pBytes = ReadTextSource(cchText, &cBytes);
        else
            DecodeHexPairs();
    }

    if (pBytes != NULL) {
        SetDlgItemTextA(g_hDlg, IDC_OUTPUT, "");
        WriteListing((int)(INT_PTR)lpParameter, pBytes, cBytes);
    }

    EndRun(pBytes);
    return 0;
}
