// Handles as only the stand-in promises them: a recycled slot never brings an
// old handle back (the platform reuses values), and made-up values and
// handles of objects that cannot be waited on fail the wait.
#include <windows.h>

#include <gtest/gtest.h>

#include "kernel_scratch.h"

TEST(KernelHandles, RecycledSlotDoesNotResurrectOldHandle)
{
    HANDLE old = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    ASSERT_TRUE(CloseHandle(old));
    HANDLE reused = CreateEventA(nullptr, TRUE, TRUE, nullptr);  // takes the freed slot
    ASSERT_NE(reused, nullptr);
    EXPECT_NE(reused, old);

    EXPECT_EQ(WaitForSingleObject(old, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(old));
    EXPECT_FALSE(CloseHandle(old));
    EXPECT_EQ(WaitForSingleObject(reused, 0), WAIT_OBJECT_0);  // the old value closed nothing
    EXPECT_TRUE(CloseHandle(reused));
}

TEST(KernelHandles, MadeUpAndUnwaitableHandlesFailTheWait)
{
    ScratchDir dir;
    HANDLE file = CreateFileA(dir.Write("f", "x").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    const struct {
        const char *what;
        HANDLE handle;
    } cases[] = {
        {"null", nullptr},
        {"first slot, generation 0", reinterpret_cast<HANDLE>(uintptr_t{4})},
        {"odd value", reinterpret_cast<HANDLE>(uintptr_t{0x12345})},
        {"far slot", reinterpret_cast<HANDLE>((uintptr_t{1} << 32) | 0x3FFFFFF0)},
        {"a file", file},
    };
    for (const auto &c : cases) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(WaitForSingleObject(c.handle, 0), WAIT_FAILED) << c.what;
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE}) << c.what;
    }
    CloseHandle(file);
}
