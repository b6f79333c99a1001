/* output.h: standard output, written in large blocks. A write that fails
   ends the process with EXIT_OUTPUT_FAILED. */
#ifndef BYTESCRIBE_CLI_OUTPUT_H
#define BYTESCRIBE_CLI_OUTPUT_H

#include <stddef.h>

void WriteOutput(const char *pText, size_t cbText);
void FlushOutput(void);

/* Box step targets for the piece generator. The output's caret is always at
   its end, so a caret move costs nothing. OutputStepLf drops the CR of every
   CR LF. */
void OutputStep(void *pContext, const char *pszPiece);
void OutputStepLf(void *pContext, const char *pszPiece);

#endif
