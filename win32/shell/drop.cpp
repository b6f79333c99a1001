// drop.cpp: files dropped on a window, as a drop handle the program queries
// and releases.
#include <shellapi.h>

#include <w32/shell.h>

#include <atomic>
#include <algorithm>
#include <cstring>

struct HDROP__ {
    unsigned magic;
    std::vector<std::string> paths;
};

namespace w32 {

namespace {

constexpr unsigned kDropMagic = 0x504F5244;  // "DROP"
std::atomic<int> g_drops{0};

HDROP__ *Drop(HDROP h)
{
    return h != nullptr && h->magic == kDropMagic ? h : nullptr;
}

}  // namespace

HDROP MakeDrop(const std::vector<std::string> &paths)
{
    g_drops++;
    return new HDROP__{kDropMagic, paths};
}

int OutstandingDrops()
{
    return g_drops.load();
}

}  // namespace w32

using namespace w32;

UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch)
{
    HDROP__ *drop = Drop(hDrop);
    if (drop == nullptr)
        return 0;
    if (iFile == 0xFFFFFFFF)
        return static_cast<UINT>(drop->paths.size());
    if (iFile >= drop->paths.size())
        return 0;
    const std::string &path = drop->paths[iFile];
    if (lpszFile == nullptr)
        return static_cast<UINT>(path.size());
    if (cch == 0)
        return 0;
    const size_t n = std::min<size_t>(path.size(), cch - 1);
    memcpy(lpszFile, path.data(), n);
    lpszFile[n] = '\0';
    return static_cast<UINT>(n);
}

void WINAPI DragFinish(HDROP hDrop)
{
    if (HDROP__ *drop = Drop(hDrop)) {
        drop->magic = 0;
        g_drops--;
        delete drop;
    }
}
