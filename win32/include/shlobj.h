/* shlobj.h: the shell's browse dialog, and the release of what it returns. */
#ifndef W32_SHLOBJ_H
#define W32_SHLOBJ_H

#include <windows.h>

#define BIF_RETURNONLYFSDIRS 0x00000001
#define BIF_BROWSEINCLUDEFILES 0x00004000

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _ITEMIDLIST ITEMIDLIST;
typedef ITEMIDLIST *LPITEMIDLIST;
typedef const ITEMIDLIST *LPCITEMIDLIST, *PCIDLIST_ABSOLUTE;
typedef LPITEMIDLIST PIDLIST_ABSOLUTE;

typedef int (CALLBACK *BFFCALLBACK)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

typedef struct _browseinfoA {
    HWND hwndOwner;
    PCIDLIST_ABSOLUTE pidlRoot;
    LPSTR pszDisplayName;
    LPCSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
} BROWSEINFOA, *LPBROWSEINFOA;

PIDLIST_ABSOLUTE WINAPI SHBrowseForFolderA(LPBROWSEINFOA lpbi);
BOOL WINAPI SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath);
void WINAPI CoTaskMemFree(LPVOID pv);

#ifdef __cplusplus
}
#endif
#endif
