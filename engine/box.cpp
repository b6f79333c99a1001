/* box.cpp: delivers the piece generator's steps to the dialog's boxes. */
#include "engine/box.h"

#include "engine/pieces.h"
#include "run/runstate.h"
#include "ui/resource.h"

/* The box step target: the control identifier travels as the context. */
static void BoxStep(void *pContext, const char *pszPiece)
{
    int nIdControl = (int)(INT_PTR)pContext;

    if (pszPiece == NULL)
        SendMessageA(GetDlgItem(g_hDlg, nIdControl), EM_SETSEL, (WPARAM)-1, (LPARAM)-1);
    else
        SendMessageA(GetDlgItem(g_hDlg, nIdControl), EM_REPLACESEL, 0, (LPARAM)pszPiece);
}

void AppendToBox(int nIdControl, const char *pszText)
{
    BoxStep((void *)(INT_PTR)nIdControl, NULL);
    BoxStep((void *)(INT_PTR)nIdControl, pszText);
}

void WriteListing(int nMode, const unsigned char *pBytes, DWORD cBytes)
{
    GenerateListing(nMode, pBytes, cBytes, BoxStep, (void *)(INT_PTR)IDC_OUTPUT);
}

void DecodeHexPairs(void)
{
    HWND hOutput = GetDlgItem(g_hDlg, IDC_OUTPUT);
    int cchText = GetWindowTextLengthA(hOutput);
    char *pszCopy;

    if (cchText <= 0)
        return;

    pszCopy = (char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (SIZE_T)cchText + 1);
    if (pszCopy == NULL)
        return;

    GetDlgItemTextA(g_hDlg, IDC_OUTPUT, pszCopy, cchText + 1);
    GenerateDecoding(pszCopy, (size_t)cchText, BoxStep, (void *)(INT_PTR)IDC_TEXT);
    HeapFree(GetProcessHeap(), 0, pszCopy);
}
