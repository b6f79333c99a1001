/* runstate.h: the run-state globals shared by the dialog, the worker, the
   spinner and the engine's box adapter. Includes nothing of the program. */
#ifndef BYTESCRIBE_RUNSTATE_H
#define BYTESCRIBE_RUNSTATE_H

#include <windows.h>

/* Status bar parts. */
#define StatusPartState 0
#define StatusPartActivity 1

extern HWND g_hDlg;          /* the dialog; written once in WM_INITDIALOG */
extern HWND g_hStatus;       /* the status bar; written once in WM_INITDIALOG */
extern HANDLE g_hStopEvent;  /* the current run's stop event */
extern HANDLE g_hWorker;     /* the current run's worker thread */
extern HANDLE g_hSpinner;    /* the current run's spinner thread */

#endif
