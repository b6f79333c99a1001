/* maindlg.h: the main dialog's procedure and its handlers. */
#ifndef BYTESCRIBE_MAINDLG_H
#define BYTESCRIBE_MAINDLG_H

#include <windows.h>
#include <shellapi.h>

INT_PTR CALLBACK MainDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

/* Puts the window's centre on the desktop's centre (with nDivisor 2). */
void CenterWindow(int nDivisor, HWND hWnd);

/* The commands (commands.cpp). */
void OnBrowse(HWND hDlg);
char *BrowseForFile(HWND hOwner);
void OnAsciiSwitch(HWND hDlg);
void OnConvert(HWND hDlg);
void OnDropFiles(HWND hDlg, HDROP hDrop);

#endif
