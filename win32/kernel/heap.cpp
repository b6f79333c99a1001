// The process heap: GetProcessHeap, HeapAlloc, HeapFree over the C library's allocator.
#include "faults.h"
#include "last_error.h"

#include <cstdint>
#include <cstdlib>

namespace {

// A pseudo handle: its low bits are never those of a handle-table entry.
HANDLE const kProcessHeap = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x10003));

}  // namespace

HANDLE WINAPI GetProcessHeap(void)
{
    return kProcessHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes)
{
    if (w32::TakeFailure("HeapAlloc"))
        return w32::Fail<LPVOID>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    if (hHeap != kProcessHeap)
        return w32::Fail<LPVOID>(ERROR_INVALID_HANDLE, nullptr);
    // A block of 0 bytes is still a distinct block. calloc takes zeroed pages
    // straight from the system for big blocks, so zeroing costs nothing there.
    const size_t size = dwBytes ? dwBytes : 1;
    void *block = (dwFlags & HEAP_ZERO_MEMORY) ? std::calloc(size, 1) : std::malloc(size);
    if (!block)
        return w32::Fail<LPVOID>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    return block;
}

BOOL WINAPI HeapFree(HANDLE hHeap, DWORD, LPVOID lpMem)
{
    if (hHeap != kProcessHeap)
        return w32::Fail(ERROR_INVALID_HANDLE, FALSE);
    std::free(lpMem);
    return TRUE;
}
