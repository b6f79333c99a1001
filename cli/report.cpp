/* report.cpp: the one line that ends a failed run. */
#include "cli/report.h"

#include <stdio.h>
#include <stdlib.h>

void ExitWithError(int nStatus, const char *pszWhat, const char *pszWhy)
{
    fprintf(stderr, "bytescribe-cli: %s: %s\n", pszWhat, pszWhy);
    fflush(stderr);
    exit(nStatus);
}

void ExitWithErrorCode(int nStatus, const char *pszWhat, DWORD dwError,
                       const struct ErrorText *pTexts, const char *pszOther)
{
    char szWhy[96];

    for (; pTexts != NULL && pTexts->pszText != NULL; pTexts++) {
        if (pTexts->dwError == dwError)
            ExitWithError(nStatus, pszWhat, pTexts->pszText);
    }
    snprintf(szWhy, sizeof(szWhy), "%s (error %lu)", pszOther, (unsigned long)dwError);
    ExitWithError(nStatus, pszWhat, szWhy);
}
