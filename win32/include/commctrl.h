/* commctrl.h: the common controls the program uses: the status bar. */
#ifndef W32_COMMCTRL_H
#define W32_COMMCTRL_H

#include <windows.h>

#define ICC_BAR_CLASSES 0x00000004
#define ICC_INTERNET_CLASSES 0x00000800

#define STATUSCLASSNAMEA "msctls_statusbar32"

#define SB_SETTEXTA (WM_USER + 1)
#define SB_GETTEXTA (WM_USER + 2)
#define SB_GETTEXTLENGTHA (WM_USER + 3)
#define SB_SETPARTS (WM_USER + 4)
#define SB_GETPARTS (WM_USER + 6)

#ifndef RC_INVOKED
#ifdef __cplusplus
extern "C" {
#endif

typedef struct tagINITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX *picce);
HWND WINAPI CreateStatusWindowA(LONG style, LPCSTR lpszText, HWND hwndParent, UINT wID);

#ifdef __cplusplus
}
#endif
#endif
#endif
