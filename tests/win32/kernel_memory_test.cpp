// Process memory, heap and libraries: a faulting copy fails instead of crashing.
#include <windows.h>

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "kernel_scratch.h"
#include "win32/kernel/libraries.h"

#include <w32/standin.h>

TEST(KernelProcessMemory, CopiesAndRefusesOtherProcesses)
{
    const std::string source = PatternBytes(100000);
    std::string copy(source.size(), '\0');
    SIZE_T done = 0;
    EXPECT_TRUE(ReadProcessMemory(GetCurrentProcess(), source.data(), copy.data(), source.size(), &done));
    EXPECT_EQ(done, source.size());
    EXPECT_EQ(copy, source);

    EXPECT_FALSE(ReadProcessMemory(reinterpret_cast<HANDLE>(uintptr_t{8}), source.data(), copy.data(), 1, &done));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

TEST(KernelProcessMemory, FaultDuringCopyFailsTheCall)
{
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void *guarded = mmap(nullptr, page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(guarded, MAP_FAILED);
    std::vector<char> buffer(page);
    SIZE_T done = 1;

    EXPECT_FALSE(ReadProcessMemory(GetCurrentProcess(), guarded, buffer.data(), page, &done));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_PARTIAL_COPY});
    EXPECT_EQ(done, 0u);
    // A bad destination fails too, and the thread copies normally afterwards.
    EXPECT_FALSE(ReadProcessMemory(GetCurrentProcess(), buffer.data(), guarded, page, &done));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NOACCESS});
    char small[4] = {};
    EXPECT_TRUE(ReadProcessMemory(GetCurrentProcess(), "abc", small, 4, &done));
    EXPECT_STREQ(small, "abc");
    munmap(guarded, page);
}

TEST(KernelProcessMemory, UnreadableViewFaultsButLeavesTheFile)
{
    ScratchDir dir;
    const std::string content = PatternBytes(3 * 4096 + 5);
    const std::string path = dir.Write("f", content);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);

    w32::FailNextCall("MapViewOfFile:unreadable");
    void *view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    std::string copy(content.size(), '\0');
    SIZE_T done = 0;
    EXPECT_FALSE(ReadProcessMemory(GetCurrentProcess(), view, copy.data(), copy.size(), &done));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_PARTIAL_COPY});
    EXPECT_TRUE(UnmapViewOfFile(view));

    view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);  // the request was used once
    EXPECT_TRUE(ReadProcessMemory(GetCurrentProcess(), view, copy.data(), copy.size(), &done));
    EXPECT_EQ(copy, content);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(file);
    EXPECT_EQ(ReadWhole(path), content);
}

TEST(KernelHeap, BlocksAreZeroedWhenAskedAndFailuresCanBeInjected)
{
    HANDLE heap = GetProcessHeap();
    ASSERT_NE(heap, nullptr);
    void *empty = HeapAlloc(heap, 0, 0);
    EXPECT_NE(empty, nullptr);
    EXPECT_TRUE(HeapFree(heap, 0, empty));

    const size_t size = 64u << 20;
    auto *big = static_cast<unsigned char *>(HeapAlloc(heap, HEAP_ZERO_MEMORY, size));
    ASSERT_NE(big, nullptr);
    EXPECT_TRUE(std::all_of(big, big + size, [](unsigned char b) { return b == 0; }));
    EXPECT_TRUE(HeapFree(heap, 0, big));

    w32::FailNextCall("HeapAlloc");
    EXPECT_EQ(HeapAlloc(heap, HEAP_ZERO_MEMORY, 16), nullptr);
    void *next = HeapAlloc(heap, HEAP_ZERO_MEMORY, 16);
    EXPECT_NE(next, nullptr);
    HeapFree(heap, 0, next);
}

namespace {
int g_testLibraryInits = 0;
void InitTestLibrary()
{
    ++g_testLibraryInits;
}
}  // namespace

TEST(KernelLibraries, RegisteredLibraryLoadsOnceByAnyCase)
{
    w32::RegisterLibrary("KERNELTEST.DLL", InitTestLibrary);
    EXPECT_EQ(GetModuleHandleA("KernelTest.dll"), nullptr);  // registered, not yet loaded
    HMODULE first = LoadLibraryA("kerneltest.dll");
    HMODULE second = LoadLibraryA("KERNELTEST");  // a bare name means the .DLL
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, first);
    EXPECT_EQ(GetModuleHandleA("KernelTest.dll"), first);
    EXPECT_EQ(g_testLibraryInits, 1);

    EXPECT_EQ(LoadLibraryA("NOSUCH.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_MOD_NOT_FOUND});
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
}
