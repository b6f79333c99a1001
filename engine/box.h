/* box.h: the engine's delivery to the dialog's boxes. Every step is one
   SendMessageA to the control, looked up afresh for each message. */
#ifndef BYTESCRIBE_BOX_H
#define BYTESCRIBE_BOX_H

#include <windows.h>

/* Caret to end, then insert pszText, in the box nIdControl of g_hDlg. */
void AppendToBox(int nIdControl, const char *pszText);

/* The listing of nMode for the buffer, behind the output box's text. */
void WriteListing(int nMode, const unsigned char *pBytes, DWORD cBytes);

/* The output box's text decoded pair by pair into the input box. */
void DecodeHexPairs(void);

#endif
