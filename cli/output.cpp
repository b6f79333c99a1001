/* output.cpp: the block buffer in front of standard output. Written with
   WriteFile, so the bytes reach a Windows console, pipe or file unchanged
   (the C library's text mode would turn LF into CR LF there). */
#include "cli/output.h"

#include "cli/report.h"

#include <windows.h>
#include <string.h>

#define OUTPUT_BLOCK (256 * 1024)
/* No piece is longer: the longest, an emit line, has 12 characters. */
#define LONGEST_PIECE 16

static char g_achOutput[OUTPUT_BLOCK];
static char *g_pchOutputEnd = g_achOutput; /* where the next byte goes */

static const struct ErrorText g_aWriteErrors[] = {
    {ERROR_NO_DATA, "the pipe's reading end is closed"},
    {ERROR_BROKEN_PIPE, "the pipe's reading end is closed"},
    {ERROR_DISK_FULL, "no space left on the device"},
    {0, NULL},
};

void FlushOutput(void)
{
    HANDLE hOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD cbWritten = 0;
    size_t cbOutput = (size_t)(g_pchOutputEnd - g_achOutput);

    if (cbOutput == 0)
        return;
    if (hOutput == NULL || hOutput == INVALID_HANDLE_VALUE)
        ExitWithError(EXIT_OUTPUT_FAILED, "standard output", "not open");
    if (!WriteFile(hOutput, g_achOutput, (DWORD)cbOutput, &cbWritten, NULL) || cbWritten != cbOutput)
        ExitWithErrorCode(EXIT_OUTPUT_FAILED, "standard output", GetLastError(),
                          g_aWriteErrors, "write error");
    g_pchOutputEnd = g_achOutput;
}

void WriteOutput(const char *pText, size_t cbText)
{
    while (cbText > 0) {
        size_t cbPart = (size_t)(g_achOutput + OUTPUT_BLOCK - g_pchOutputEnd);

        if (cbPart > cbText)
            cbPart = cbText;
        memcpy(g_pchOutputEnd, pText, cbPart);
        g_pchOutputEnd += cbPart;
        pText += cbPart;
        cbText -= cbPart;
        if (g_pchOutputEnd == g_achOutput + OUTPUT_BLOCK)
            FlushOutput();
    }
}

/* The block's end once a piece is in it: flushed first when it may not fit. */
static char *RoomForPiece(void)
{
    if (g_pchOutputEnd > g_achOutput + OUTPUT_BLOCK - LONGEST_PIECE)
        FlushOutput();
    return g_pchOutputEnd;
}

/* This runs for every piece, millions per megabyte: four bytes a round, each
   read before the last is stored, as most pieces (an escape) have four. */
void OutputStep(void *pContext, const char *pszPiece)
{
    char *pch;

    (void)pContext;
    if (pszPiece == NULL)
        return;
    pch = RoomForPiece();
    for (;;) {
        char ch = pszPiece[0];
        if (ch == '\0')
            break;
        pch[0] = ch;
        if ((ch = pszPiece[1]) == '\0') {
            pch += 1;
            break;
        }
        pch[1] = ch;
        if ((ch = pszPiece[2]) == '\0') {
            pch += 2;
            break;
        }
        pch[2] = ch;
        if ((ch = pszPiece[3]) == '\0') {
            pch += 3;
            break;
        }
        pch[3] = ch;
        pch += 4;
        pszPiece += 4;
    }
    g_pchOutputEnd = pch;
}

void OutputStepLf(void *pContext, const char *pszPiece)
{
    char *pch;

    (void)pContext;
    if (pszPiece == NULL)
        return;
    pch = RoomForPiece();
    for (; *pszPiece != '\0'; pszPiece++) {
        if (pszPiece[0] != '\r' || pszPiece[1] != '\n')
            *pch++ = *pszPiece;
    }
    g_pchOutputEnd = pch;
}
