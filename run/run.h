/* run.h: the two thread procedures of a conversion run. */
#ifndef BYTESCRIBE_RUN_H
#define BYTESCRIBE_RUN_H

#include <windows.h>

/* One conversion run; the parameter carries the ConversionMode as an integer. */
DWORD WINAPI ConvertWorker(LPVOID lpParameter);

/* Turns a glyph in status part 1 every 300 ms until the stop event is set. */
DWORD WINAPI ProgressSpinner(LPVOID lpParameter);

#endif
