/* uistate.h: the dialog's own state, which belongs to the UI thread alone. */
#ifndef BYTESCRIBE_UISTATE_H
#define BYTESCRIBE_UISTATE_H

#include <windows.h>

extern char g_szSavedPath[MAX_PATH];   /* the path box at the last Convert press */
extern char g_szBrowsePath[MAX_PATH];  /* the last browse result */

#endif
