/* report.h: the command line's exit statuses, and its one line on standard
   error when it cannot go on. */
#ifndef BYTESCRIBE_CLI_REPORT_H
#define BYTESCRIBE_CLI_REPORT_H

#include <windows.h>

/* Exit statuses, as --help and the manual page list them. */
#define EXIT_DONE 0
#define EXIT_INPUT_FAILED 1  /* the input cannot be opened or read */
#define EXIT_USAGE 2         /* the command line is wrong */
#define EXIT_OUTPUT_FAILED 3 /* standard output cannot be written */

/* "bytescribe-cli: WHAT: WHY" on standard error, then the process ends. */
void ExitWithError(int nStatus, const char *pszWhat, const char *pszWhy);

/* The same for a platform error code: its text in pTexts (which ends with a
   NULL text; pTexts may be NULL), else pszOther and the code. */
struct ErrorText {
    DWORD dwError;
    const char *pszText;
};
void ExitWithErrorCode(int nStatus, const char *pszWhat, DWORD dwError,
                       const struct ErrorText *pTexts, const char *pszOther);

#endif
