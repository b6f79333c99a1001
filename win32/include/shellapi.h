/* shellapi.h: files dropped on a window. */
#ifndef W32_SHELLAPI_H
#define W32_SHELLAPI_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
void WINAPI DragFinish(HDROP hDrop);

#ifdef __cplusplus
}
#endif
#endif
