// browse.cpp: the shell's browse dialog. The front end picks the item; an
// item identifier list here is simply the item's path.
#include <shlobj.h>

#include <w32/shell.h>
#include <w32/user.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

struct _ITEMIDLIST {
    unsigned magic;
    char path[1];  // zero-terminated, allocated to length
};

namespace w32 {

namespace {

constexpr unsigned kItemListMagic = 0x4C444950;  // "PIDL"
std::atomic<int> g_itemLists{0};

}  // namespace

int OutstandingItemLists()
{
    return g_itemLists.load();
}

}  // namespace w32

using namespace w32;

PIDLIST_ABSOLUTE WINAPI SHBrowseForFolderA(LPBROWSEINFOA lpbi)
{
    if (lpbi == nullptr)
        return nullptr;
    std::string path;
    if (!CurrentFrontEnd().BrowseForItem(lpbi->hwndOwner, lpbi->lpszTitle != nullptr ? lpbi->lpszTitle : "",
                                         lpbi->ulFlags, &path))
        return nullptr;
    auto *list = static_cast<ITEMIDLIST *>(malloc(sizeof(ITEMIDLIST) + path.size()));
    if (list == nullptr)
        return nullptr;
    list->magic = kItemListMagic;
    memcpy(list->path, path.c_str(), path.size() + 1);
    g_itemLists++;
    // The display name is the item's last component, as the shell shows it.
    if (lpbi->pszDisplayName != nullptr) {
        std::string name = path;
        while (name.size() > 1 && name.back() == '/')
            name.pop_back();
        if (size_t slash = name.find_last_of('/'); slash != std::string::npos && name.size() > 1)
            name = name.substr(slash + 1);
        name = name.substr(0, MAX_PATH - 1);
        memcpy(lpbi->pszDisplayName, name.c_str(), name.size() + 1);
    }
    return list;
}

BOOL WINAPI SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath)
{
    if (pszPath == nullptr)
        return FALSE;
    // Without an item there is no path: the buffer is left empty.
    if (pidl == nullptr || pidl->magic != kItemListMagic) {
        pszPath[0] = '\0';
        return FALSE;
    }
    const size_t length = strlen(pidl->path);
    if (length >= MAX_PATH) {
        pszPath[0] = '\0';
        return FALSE;
    }
    memcpy(pszPath, pidl->path, length + 1);
    return TRUE;
}

void WINAPI CoTaskMemFree(LPVOID pv)
{
    auto *list = static_cast<ITEMIDLIST *>(pv);
    if (list == nullptr)
        return;
    if (list->magic == kItemListMagic) {
        list->magic = 0;
        g_itemLists--;
    }
    free(list);
}
