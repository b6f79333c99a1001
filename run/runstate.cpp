/* runstate.cpp: the run-state globals. */
#include "run/runstate.h"

HWND g_hDlg;
HWND g_hStatus;
HANDLE g_hStopEvent;
HANDLE g_hWorker;
HANDLE g_hSpinner;
