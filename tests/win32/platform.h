// platform.h: what the differential tests need beyond the calls the program
// makes. These tests build twice: against the stand-in (platform_standin.cpp
// here) and for Windows, run under wine64 (tests/windows/platform_windows.cpp),
// so each semantic the stand-in claims is checked against a second
// implementation of the platform.
#pragma once

#include <windows.h>

#include <string>

// A window of a registered class (the system's "edit", "button", "#32770",
// the rich edit class once its library is loaded, or one of RegisterProbeClass).
HWND MakeWindow(const char *cls, DWORD style, HWND parent = nullptr, int id = 0, const char *text = "");

// Registers a window class of this process with its window procedure.
void RegisterProbeClass(const char *name, WNDPROC proc);

// The clipboard's text, as WM_COPY and WM_CUT left it.
std::string ClipboardText();

// True where the platform is Wine, for the few rows that name a known
// difference (tests/windows/known-differences.md).
bool RunningUnderWine();
