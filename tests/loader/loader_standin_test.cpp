// The loader where only the stand-in can show it: the root folder, devices,
// a file the user may not read (root under Wine would read it), another
// process writing the file, and failures injected after the open.
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

TEST_F(Loader, DevicesAreNoFiles)
{
    const std::string fifo = dir_.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    for (const std::string &path : {std::string("/dev/null"), fifo}) {
        DWORD size = 12345;
        ASSERT_EQ(QueryFileSize(path.c_str(), &size), 1) << path;
        const Read read = ReadBytes(path, size);
        EXPECT_EQ(read.result, 0) << path;
        EXPECT_EQ(read.error, DWORD{ERROR_BAD_FILE_TYPE}) << path;
        ExpectTrace(Lines{});
    }
}

TEST_F(Loader, FileTheUserMayNotReadIsNotOpened)
{
    const std::string path = dir_.Write("unreadable", "keep me");
    chmod(path.c_str(), 0);
    const Read read = ReadBytes(path, 7);
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.error, DWORD{ERROR_ACCESS_DENIED});
    ExpectTrace(kOpenFailed);
    struct stat status;
    stat(path.c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0u);
    chmod(path.c_str(), 0644);
    EXPECT_EQ(ReadWhole(path), "keep me");
}

TEST_F(Loader, FileWrittenByAnotherProcessIsNotOpened)
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
        HANDLE holder = OpenSharing(path, GENERIC_READ | GENERIC_WRITE);
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

    const Read refused = ReadBytes(path, 7);
    EXPECT_EQ(refused.result, 0);
    EXPECT_EQ(refused.error, DWORD{ERROR_ACCESS_DENIED});
    ExpectTrace(kOpenFailed);

    close(release[1]);
    int status = 0;
    waitpid(child, &status, 0);
    close(held[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadWhole(path), "keep me");
    EXPECT_EQ(ReadBytes(path, 7).result, 1);  // the other process's open ended with it
}

TEST_F(Loader, FailuresAfterTheOpenAreSilentAndSayWhat)
{
    const std::string content = PatternBytes(3 * 4096 + 1);
    const struct {
        const char *call;
        DWORD error;
    } cases[] = {
        {"CreateFileMappingA", ERROR_READ_FAULT},
        {"MapViewOfFile", ERROR_NOT_ENOUGH_MEMORY},  // no address space for the view
        {"MapViewOfFile:unreadable", ERROR_READ_FAULT},
        {"ReadProcessMemory", ERROR_READ_FAULT},
    };
    for (const auto &c : cases) {
        const std::string path = dir_.Write("victim", content);
        w32::FailNextCall(c.call);
        const Read read = ReadBytes(path, static_cast<DWORD>(content.size()));
        EXPECT_EQ(read.result, 0) << c.call;
        EXPECT_EQ(read.error, c.error) << c.call;
        EXPECT_EQ(ReadWhole(path), content) << c.call;
        ExpectTrace(Lines{});
        EXPECT_FALSE(w32::TakeFailure(c.call)) << c.call << " was not reached";
    }
}
