/* main.cpp: the entry point: common controls, the rich edit library, and the
   modal main dialog for the life of the process. */
#include <windows.h>
#include <commctrl.h>

#include "ui/maindlg.h"
#include "ui/resource.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    INITCOMMONCONTROLSEX icc;

    (void)hPrevInstance;
    (void)lpCmdLine;
    (void)nShowCmd;

    /* The status bar's class is asked for too: some systems register it only
       on request. */
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_INTERNET_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&icc);

    /* Registers "RichEdit20A" for the output box; never released. */
    LoadLibraryA("RICHED20.DLL");

    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDlgProc, 0);
    return 0;
}
