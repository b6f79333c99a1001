/* input.h: the input, a named file or standard input. It is only ever
   opened for reading. A failure ends the process with EXIT_INPUT_FAILED. */
#ifndef BYTESCRIBE_CLI_INPUT_H
#define BYTESCRIBE_CLI_INPUT_H

#include <windows.h>
#include <stdint.h>

/* pszPath NULL or "-" names standard input. */
void OpenInput(const char *pszPath);

/* cbWanted bytes into pBuffer, fewer only at the input's end; the count. */
DWORD ReadInput(void *pBuffer, DWORD cbWanted);

/* Maps a named file on disk read-only and gives its size; -1 when the input
   can only be read in order (standard input, a pipe, a device, an empty
   file) or the platform refuses the mapping. */
int64_t MapInput(void);

/* A read-only view of cbView bytes at uOffset (a multiple of 64 KiB) of a
   mappable input; NULL when the platform refuses. Released by UnmapViewOfFile. */
const unsigned char *MapInputView(uint64_t uOffset, SIZE_T cbView);

/* The input's name for messages: its path, or "standard input". */
const char *InputName(void);

/* Ends the process for a failure while the input is read. */
void ExitWithInputError(const char *pszWhy);

#endif
