/* maindlg.cpp: the main dialog: message routing, start-up, close, centring. */
#include "ui/maindlg.h"

#include "run/runstate.h"
#include "ui/resource.h"

#include <commctrl.h>
#include <richedit.h>
#include <string.h>

#define CLOSE_SLIDE_MS 800

static void OnInitDialog(HWND hDlg)
{
    static int s_aPartEdges[2] = {100, 670};
    CHARFORMATA cf;

    g_hStatus = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready", hDlg, IDC_STATUS);
    SendMessageA(g_hStatus, SB_SETPARTS, 2, (LPARAM)s_aPartEdges);
    g_hDlg = hDlg;

    memset(&cf, 0, sizeof(cf));
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_ITALIC;
    cf.dwEffects = 0;
    cf.yHeight = 144;
    cf.crTextColor = 0;
    strcpy(cf.szFaceName, "Fixedsys");
    SendMessageA(GetDlgItem(hDlg, IDC_OUTPUT), EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);

    /* Both boxes start with a small text limit that would cut a listing or a
       decoding short: lift it. */
    SendMessageA(GetDlgItem(hDlg, IDC_OUTPUT), EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageA(GetDlgItem(hDlg, IDC_TEXT), EM_SETLIMITTEXT, 0, 0);

    SendMessageA(GetDlgItem(hDlg, IDC_BIG_ENDIAN), BM_SETCHECK, BST_CHECKED, 0);
    CenterWindow(2, hDlg);
}

static void OnClose(HWND hDlg)
{
    AnimateWindow(hDlg, CLOSE_SLIDE_MS, AW_SLIDE | AW_HIDE | AW_VER_POSITIVE);
    EndDialog(hDlg, 0);
}

static void OnCommand(HWND hDlg, int nIdControl)
{
    switch (nIdControl) {
    case IDC_BROWSE:
        OnBrowse(hDlg);
        break;
    case IDC_ASCII:
        OnAsciiSwitch(hDlg);
        break;
    case IDC_CONVERT:
        OnConvert(hDlg);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK MainDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (uMsg) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        break;
    case WM_COMMAND:
        OnCommand(hDlg, LOWORD(wParam));
        break;
    case WM_DROPFILES:
        OnDropFiles(hDlg, (HDROP)wParam);
        break;
    case WM_CLOSE:
        OnClose(hDlg);
        break;
    default:
        break;
    }
    return FALSE;
}

void CenterWindow(int nDivisor, HWND hWnd)
{
    RECT rcDesktop, rcWindow;
    int cx, cy, w, h;

    GetWindowRect(GetDesktopWindow(), &rcDesktop);
    GetWindowRect(hWnd, &rcWindow);
    cx = (rcDesktop.left + rcDesktop.right) / nDivisor;
    cy = (rcDesktop.top + rcDesktop.bottom) / nDivisor;
    w = rcWindow.right - rcWindow.left;
    h = rcWindow.bottom - rcWindow.top;
    MoveWindow(hWnd, cx - w / nDivisor, cy - h / nDivisor, w, h, TRUE);
}
