// The loader where only the stand-in can show it: the root folder, a
// read-only file (Windows under Wine as root would open it), another process
// holding the file, and failures injected after the open.
#include "loader_fixture.h"

#include <w32/standin.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST_F(Loader, TheRootIsAFolder)
{
    for (const char *root : {"/", "//"}) {
        DWORD size = 12345;
        EXPECT_EQ(QueryFileSize(root, &size), 1) << root;
        EXPECT_EQ(size, 0u) << root;
    }
}

TEST_F(Loader, ReadOnlyFileIsNotOpened)
{
    const std::string path = dir_.Write("read-only", "keep me");
    chmod(path.c_str(), 0444);
    EXPECT_EQ(ReadBytes(path, 7).result, 0);
    ExpectTrace(kOpenFailed);
    EXPECT_EQ(ReadWhole(path), "keep me");
    struct stat status;
    stat(path.c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0444u);
}


TEST_F(Loader, FileHeldOpenByAnotherProcessIsNotOpened)
{
    const std::string path = dir_.Write("held", "keep me");
    int held[2], release[2];
    ASSERT_EQ(pipe(held), 0);
    ASSERT_EQ(pipe(release), 0);
    fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(held[0]);
        close(release[1]);
        HANDLE holder = OpenShared(path);
        if (holder == INVALID_HANDLE_VALUE)
            _exit(1);
        if (write(held[1], "h", 1) != 1)
            _exit(2);
        char c;
        while (read(release[0], &c, 1) > 0) {
        }
        _exit(0);
    }
    close(held[1]);
    close(release[0]);
    char c = 0;
    ASSERT_EQ(read(held[0], &c, 1), 1);

    EXPECT_EQ(ReadBytes(path, 7).result, 0);
    ExpectTrace(kOpenFailed);

    close(release[1]);
    int status = 0;
    waitpid(child, &status, 0);
    close(held[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadWhole(path), "keep me");
    EXPECT_EQ(ReadBytes(path, 7).result, 1);  // the other process's open ended with it
}


TEST_F(Loader, FailuresAfterTheOpenRestoreTheFileSilently)
{
    const std::string content = PatternBytes(3 * 4096 + 1);
    for (const char *call : {"CreateFileMappingA", "MapViewOfFile", "MapViewOfFile:unreadable", "ReadProcessMemory"}) {
        const std::string path = dir_.Write("victim", content);
        w32::FailNextCall(call);
        EXPECT_EQ(ReadBytes(path, static_cast<DWORD>(content.size())).result, 0) << call;
        EXPECT_EQ(ReadWhole(path), content) << call;
        ExpectTrace(Lines{});
        EXPECT_FALSE(w32::TakeFailure(call)) << call << " was not reached";
    }
}
