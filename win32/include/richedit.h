/* richedit.h: the Rich Edit 2.0 messages and character format the program uses. */
#ifndef W32_RICHEDIT_H
#define W32_RICHEDIT_H

#include <windows.h>

#define RICHEDIT_CLASSA "RichEdit20A"

#define EM_EXLIMITTEXT (WM_USER + 53)
#define EM_GETCHARFORMAT (WM_USER + 58)
#define EM_SETCHARFORMAT (WM_USER + 68)

#define SCF_SELECTION 0x0001
#define SCF_DEFAULT 0x0000

#define CFM_BOLD 0x00000001
#define CFM_ITALIC 0x00000002
#define CFM_UNDERLINE 0x00000004
#define CFM_STRIKEOUT 0x00000008
#define CFM_PROTECTED 0x00000010
#define CFM_SIZE 0x80000000
#define CFM_COLOR 0x40000000
#define CFM_FACE 0x20000000
#define CFM_OFFSET 0x10000000
#define CFM_CHARSET 0x08000000

#define CFE_BOLD 0x0001
#define CFE_ITALIC 0x0002
#define CFE_AUTOCOLOR 0x40000000

#define LF_FACESIZE 32

#ifndef RC_INVOKED
typedef struct _charformat {
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;
    LONG yOffset;
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    char szFaceName[LF_FACESIZE];
} CHARFORMATA;
#endif
#endif
