/* spinner.cpp: the turning glyph in the status bar while a run works. */
#include "run/run.h"

#include "run/runstate.h"

#include <commctrl.h>

#define SPINNER_PAUSE_MS 300

static const char *const g_aszGlyphs[] = {"-", "\\", "|"};

DWORD WINAPI ProgressSpinner(LPVOID lpParameter)
{
    int nGlyph = 0;

    (void)lpParameter;
    for (;;) {
        SendMessageA(g_hStatus, SB_SETTEXTA, StatusPartActivity, (LPARAM)g_aszGlyphs[nGlyph]);
        nGlyph++;
        if (WaitForSingleObject(g_hStopEvent, 0) != WAIT_TIMEOUT) {
            OutputDebugStringA("退出线程");
            return 0;
        }
        Sleep(SPINNER_PAUSE_MS);
        OutputDebugStringA("可以继续运行");
        if (nGlyph == 3)
            nGlyph = 0;
    }
}
