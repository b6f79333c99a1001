/* commands.cpp: the dialog's commands: browse, dropped files, the ASCII
   switch, and Convert, which starts a run on two threads. */
#include "ui/maindlg.h"

#include "engine/conversion.h"
#include "run/run.h"
#include "run/runstate.h"
#include "ui/resource.h"
#include "ui/uistate.h"

#include <commctrl.h>
#include <shlobj.h>
#include <string.h>

char g_szSavedPath[MAX_PATH];
char g_szBrowsePath[MAX_PATH] = "C:\\";

char *BrowseForFile(HWND hOwner)
{
    BROWSEINFOA bi;
    LPITEMIDLIST pidl;

    memset(&bi, 0, sizeof(bi));
    bi.hwndOwner = hOwner;
    bi.pidlRoot = NULL;
    bi.pszDisplayName = g_szBrowsePath;
    bi.lpszTitle = "请选择一个文件";
    bi.ulFlags = BIF_BROWSEINCLUDEFILES;
    bi.lpfn = NULL;

    pidl = SHBrowseForFolderA(&bi);
    SHGetPathFromIDListA(pidl, g_szBrowsePath);
    if (pidl != NULL)
        CoTaskMemFree(pidl);
    return g_szBrowsePath;
}

void OnBrowse(HWND hDlg)
{
    BrowseForFile(hDlg);
    SetDlgItemTextA(hDlg, IDC_PATH, g_szBrowsePath);
}

void OnAsciiSwitch(HWND hDlg)
{
    if (IsDlgButtonChecked(hDlg, IDC_ASCII)) {
        SetDlgItemTextA(hDlg, IDC_PATH, "");
        EnableWindow(GetDlgItem(hDlg, IDC_TEXT), TRUE);
    } else {
        SetDlgItemTextA(hDlg, IDC_PATH, g_szSavedPath);
        EnableWindow(GetDlgItem(hDlg, IDC_TEXT), FALSE);
    }
}

void OnDropFiles(HWND hDlg, HDROP hDrop)
{
    char szPath[MAX_PATH];

    memset(szPath, 0, sizeof(szPath));
    DragQueryFileA(hDrop, 0, szPath, MAX_PATH);
    SetDlgItemTextA(hDlg, IDC_PATH, szPath);
    DragFinish(hDrop);
}

static HANDLE StartThread(LPTHREAD_START_ROUTINE pfnProc, LPVOID lpParameter)
{
    return CreateThread(NULL, 0, pfnProc, lpParameter, 0, NULL);
}

/* The previous run's threads are past their last window call once Convert
   can be pressed again: their handles are released before new ones replace
   them. */
static void ReleaseRunThreads(void)
{
    if (g_hWorker != NULL)
        CloseHandle(g_hWorker);
    if (g_hSpinner != NULL)
        CloseHandle(g_hSpinner);
    g_hWorker = NULL;
    g_hSpinner = NULL;
}

void OnConvert(HWND hDlg)
{
    int nMode = -1;

    /* Only one run at a time: Convert is disabled while one is active. */
    if (!IsWindowEnabled(GetDlgItem(hDlg, IDC_CONVERT)))
        return;

    memset(g_szSavedPath, 0, sizeof(g_szSavedPath));
    GetDlgItemTextA(hDlg, IDC_PATH, g_szSavedPath, MAX_PATH);

    g_hStopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (g_hStopEvent == NULL) {
        MessageBoxA(NULL, "创建事件失败", "Error", MB_OK);
        return;
    }

    ReleaseRunThreads();
    if (IsDlgButtonChecked(hDlg, IDC_LITTLE_ENDIAN))
        nMode = ModeLittleEndian;
    if (IsDlgButtonChecked(hDlg, IDC_BIG_ENDIAN))
        nMode = ModeBigEndian;
    if (IsDlgButtonChecked(hDlg, IDC_ASM))
        nMode = ModeAsm;
    if (nMode >= 0)
        g_hWorker = StartThread(ConvertWorker, (LPVOID)(INT_PTR)nMode);
    if (g_hWorker == NULL) {
        /* Nothing would end the run: leave the dialog as it was. */
        CloseHandle(g_hStopEvent);
        g_hStopEvent = NULL;
        MessageBoxA(NULL, "创建线程失败", "Error", MB_OK);
        return;
    }

    g_hSpinner = StartThread(ProgressSpinner, (LPVOID)hDlg);
    EnableWindow(GetDlgItem(hDlg, IDC_CONVERT), FALSE);
    SendMessageA(g_hStatus, SB_SETTEXTA, StatusPartState, (LPARAM) "转换中...");

    /* Without a spinner the run still ends as usual; only the glyphs are missing. */
    if (g_hSpinner == NULL)
        MessageBoxA(NULL, "创建线程失败", "Error", MB_OK);
}
