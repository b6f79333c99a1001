// The process ending while a read is under way: the file is set back before the process ends.
#include "loader_fixture.h"

#include <w32/standin.h>

#include <fcntl.h>
#include <linux/userfaultfd.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#ifndef UFFD_USER_MODE_ONLY
#define UFFD_USER_MODE_ONLY 1
#endif

namespace {

// The child process's state, for its exit handlers.
int g_faults = -1;
void *g_page = nullptr;
size_t g_pageSize = 0;
std::string g_path;
uintmax_t g_size = 0;

enum ChildExit {
    kPassed = 0,
    kNotLengthenedDuringRead = 3,
    kLateReadTouchedAFile = 4,
    kNotSetBackBeforeTheEnd = 5,
    kSetupFailed = 6,
    kNoUserFaults = 77,
};

// Runs first at exit: lets the blocked copy go on, while the loader's own
// exit handler (registered earlier, so run next) is still to wait for it.
void ReleaseBlockedCopy()
{
    static char zeros[65536];
    uffdio_copy copy = {};
    copy.dst = reinterpret_cast<uintptr_t>(g_page);
    copy.src = reinterpret_cast<uintptr_t>(zeros);
    copy.len = g_pageSize;
    ioctl(g_faults, UFFDIO_COPY, &copy);
}

// Runs last at exit, after the loader's handler has returned: a static
// object is destroyed after every exit handler registered once the program
// ran, and the loader registers its handler at its first read.
struct CheckAfterTheLoadersExitWait {
    bool armed = false;
    ~CheckAfterTheLoadersExitWait()
    {
        if (!armed)
            return;
        if (std::filesystem::file_size(g_path) != g_size)
            _exit(kNotSetBackBeforeTheEnd);
        // A read that begins now fails before it opens anything: no trace
        // even for a path that cannot be opened.
        w32::CaptureTrace(true);
        w32::TakeTrace();
        unsigned char byte = 0;
        if (ReadFileBytes(&byte, "/no/such/file", 1) != 0 || !w32::TakeTrace().empty())
            _exit(kLateReadTouchedAFile);
    }
} g_lateCheck;

int OpenUserFaults()
{
    int fd = static_cast<int>(syscall(SYS_userfaultfd, O_CLOEXEC | O_NONBLOCK | UFFD_USER_MODE_ONLY));
    if (fd < 0)
        fd = static_cast<int>(syscall(SYS_userfaultfd, O_CLOEXEC | O_NONBLOCK));
    if (fd < 0)
        return -1;
    uffdio_api api = {};
    api.api = UFFD_API;
    if (ioctl(fd, UFFDIO_API, &api) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The child: a read blocks in its copy (the buffer's page is held back by a
// user fault handler) and the process ends meanwhile.
[[noreturn]] void EndProcessDuringRead()
{
    g_faults = OpenUserFaults();
    if (g_faults < 0)
        _exit(kNoUserFaults);
    g_pageSize = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    g_page = mmap(nullptr, g_pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    uffdio_register range = {};
    range.range.start = reinterpret_cast<uintptr_t>(g_page);
    range.range.len = g_pageSize;
    range.mode = UFFDIO_REGISTER_MODE_MISSING;
    if (g_page == MAP_FAILED || ioctl(g_faults, UFFDIO_REGISTER, &range) != 0)
        _exit(kNoUserFaults);

    // At exit: the release of the blocked copy, then the loader's wait
    // (registered by its first read, here or earlier), then the late check.
    g_lateCheck.armed = true;
    std::vector<unsigned char> warmUp(g_size);
    if (ReadFileBytes(warmUp.data(), g_path.c_str(), static_cast<DWORD>(g_size)) != 1)
        _exit(kSetupFailed);
    std::atexit(ReleaseBlockedCopy);

    // The reader says when it returns, so that a read ending before its copy
    // fails the test instead of leaving it waiting for a fault forever.
    static int s_returned[2];
    if (pipe(s_returned) != 0)
        _exit(kSetupFailed);
    std::thread([] {
        ReadFileBytes(static_cast<unsigned char *>(g_page), g_path.c_str(), static_cast<DWORD>(g_size));
        (void)!write(s_returned[1], "r", 1);
    }).detach();
    pollfd watched[2] = {{g_faults, POLLIN, 0}, {s_returned[0], POLLIN, 0}};
    if (poll(watched, 2, -1) < 1 || !(watched[0].revents & POLLIN))
        _exit(kSetupFailed);
    uffd_msg message;
    if (read(g_faults, &message, sizeof message) != sizeof message || message.event != UFFD_EVENT_PAGEFAULT)
        _exit(kSetupFailed);
    // The reader is inside its copy now, with the file lengthened by its mapping.
    if (std::filesystem::file_size(g_path) != g_size + 4)
        _exit(kNotLengthenedDuringRead);
    std::exit(kPassed);
}

}  // namespace

TEST_F(Loader, ProcessEndingDuringAReadSetsTheFileBackFirst)
{
    const std::string content = PatternBytes(1000);
    g_path = dir_.Write("in-flight", content);
    g_size = content.size();
    fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        EndProcessDuringRead();

    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    if (WEXITSTATUS(status) == kNoUserFaults)
        GTEST_SKIP() << "user fault handling is not available here";
    EXPECT_EQ(WEXITSTATUS(status), kPassed);
    EXPECT_EQ(std::filesystem::file_size(g_path), content.size());
    EXPECT_TRUE(ReadWhole(g_path) == content);
}
