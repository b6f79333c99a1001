// Files given to the real program through the headless driver: what the
// status bar and the output box show, and that every file is left exactly as
// it was: bytes, length, mode and last-write time to the nanosecond.
#include <windows.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <iconv.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

#include "tests/win32/kernel_scratch.h"

namespace {

// A text as the program has it: in code page 936.
std::string Cp936(const std::string &utf8)
{
    iconv_t convert = iconv_open("CP936", "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char *in = const_cast<char *>(utf8.data());
    char *at = out.data();
    size_t inLeft = utf8.size(), outLeft = out.size();
    const bool converted = convert != (iconv_t)-1 && iconv(convert, &in, &inLeft, &at, &outLeft) != (size_t)-1;
    if (convert != (iconv_t)-1)
        iconv_close(convert);
    EXPECT_TRUE(converted) << utf8;
    out.resize(out.size() - outLeft);
    return out;
}

const std::string kCompleted = "Completed...";
const std::string kMissing = Cp936("文件不存在");
const std::string kNotAFile = Cp936("不是文件");
const std::string kCannotOpen = Cp936("打开文件失败");
const std::string kTooLarge = Cp936("文件过大，须小于2GB");
const std::string kNoMemory = Cp936("内存不足");
const std::string kReadFailed = Cp936("读取文件失败");

// The forward escape listing of bytes shorter than one line.
std::string Listing(const std::string &bytes)
{
    std::string listing = "\"";
    char escape[8];
    for (unsigned char c : bytes) {
        snprintf(escape, sizeof escape, "\\x%2.2x", c);
        listing += escape;
    }
    return listing + "\"";
}

std::string Unhex(const std::string &hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// What the driver printed, by the name in front of each line ("IDC_OUTPUT",
// "status 1"); each name's readings in order.
using Readings = std::map<std::string, std::vector<std::string>>;

Readings Parse(const std::string &output)
{
    Readings readings;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t hex = line.rfind(' ');
        if (hex != std::string::npos)
            readings[line.substr(0, hex)].push_back(Unhex(line.substr(hex + 1)));
    }
    return readings;
}

// Starts a program with its standard output in a pipe; in the child, before
// the program starts, prepare() runs and may end the child itself.
pid_t Start(const std::vector<std::string> &argv, int *out, const std::function<void()> &prepare = [] {})
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 1);
        prepare();
        std::vector<char *> args;
        for (const std::string &arg : argv)
            args.push_back(const_cast<char *>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    *out = pipeFds[0];
    return child;
}

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    close(fd);
    return text;
}

struct DriverRun {
    int status;
    std::string output;
};

// Plays a script through the driver; prepare() as for Start.
DriverRun Drive(const ScratchDir &dir, const std::string &script, const std::function<void()> &prepare = [] {})
{
    const std::string file = dir.Write(".script", script);
    int out = -1;
    const pid_t driver = Start({BYTESCRIBE_DRIVE, file}, &out, prepare);
    if (driver < 0)
        return {-1, ""};
    DriverRun run{0, ReadAll(out)};
    waitpid(driver, &run.status, 0);
    return run;
}

// One run of the file at path, and what the window shows afterwards.
std::string ConvertScript(const std::string &path)
{
    return "type IDC_PATH \"" + path + "\"\nclick IDC_CONVERT\nwait-idle\nshow IDC_OUTPUT\nstatus 0\nstatus 1\n";
}

// What a conversion must leave of a file.
struct FileState {
    bool exists;
    std::string bytes;
    off_t length;
    mode_t mode;
    timespec written;
    bool operator==(const FileState &other) const
    {
        return exists == other.exists && bytes == other.bytes && length == other.length && mode == other.mode &&
               written.tv_sec == other.written.tv_sec && written.tv_nsec == other.written.tv_nsec;
    }
};

std::ostream &operator<<(std::ostream &os, const FileState &state)
{
    return os << (state.exists ? "" : "missing, ") << state.length << " bytes, mode " << std::oct << state.mode
              << std::dec << ", written " << state.written.tv_sec << "." << state.written.tv_nsec;
}

FileState StateOf(const std::string &path)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return {false, "", 0, 0, {}};
    // The test runs as root, which reads a file of any mode. A file of 2 GiB
    // is refused before it is opened: its length and time must do.
    const bool readBytes = S_ISREG(status.st_mode) && status.st_size < (off_t{1} << 30);
    return {true, readBytes ? ReadWhole(path) : "", status.st_size, status.st_mode, status.st_mtim};
}

// Dates a file back to a time no write could give it by accident.
void DateBack(const std::string &path)
{
    const timespec times[2] = {{1000000000, 123456789}, {1000000000, 123456789}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Another program that holds a file open for writing while it lives.
class Holder {
public:
    explicit Holder(const std::string &path)
    {
        int input[2];
        if (pipe2(input, O_CLOEXEC) != 0)
            return;
        int out = -1;
        pid_ = Start({BYTESCRIBE_HOLDFILE, path}, &out, [&] { dup2(input[0], 0); });
        close(input[0]);
        release_ = input[1];
        char ready[5] = {};
        held_ = pid_ > 0 && read(out, ready, 4) == 4 && std::string(ready) == "held";
        close(out);
    }
    ~Holder()
    {
        close(release_);
        if (pid_ > 0)
            waitpid(pid_, nullptr, 0);
    }
    bool held() const { return held_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

}  // namespace

TEST(FileSources, EachKindOfFileSaysWhatHappenedAndIsLeftAsItWas)
{
    ScratchDir dir;
    const std::string primer = dir.Write("primer", "P");
    const std::string folder = dir.Path("folder");
    std::filesystem::create_directory(folder);
    const std::string huge = dir.Write("huge", "");
    std::filesystem::resize_file(huge, 2147483648u);  // sparse
    const struct {
        const char *what;
        std::string path;
        const char *content;  // nullptr: made otherwise, or not at all
        mode_t mode;
        const char *fault;  // the stand-in call that fails in this run, if any
        std::string status;
        bool lists;  // else the output box keeps the primer's listing
    } cases[] = {
        {"a good file", dir.Path("good"), "good", 0644, nullptr, kCompleted, true},
        {"a missing file", dir.Path("missing"), nullptr, 0, nullptr, kMissing, false},
        {"a folder", folder, nullptr, 0, nullptr, kNotAFile, false},
        {"a file another program writes", dir.Path("held"), "held", 0644, nullptr, kCannotOpen, false},
        {"a read-only file", dir.Path("read-only"), "read-only", 0444, nullptr, kCompleted, true},
        {"a file the user may not read", dir.Path("unreadable"), "secret", 0, nullptr, kCannotOpen, false},
        {"an empty file", dir.Path("empty"), "", 0644, nullptr, kCompleted, true},
        {"a file of 2 GiB", huge, nullptr, 0, nullptr, kTooLarge, false},
        {"no memory for the bytes", dir.Path("no-memory"), "bytes", 0644, "HeapAlloc", kNoMemory, false},
        {"no room for the view", dir.Path("no-view"), "bytes", 0644, "MapViewOfFile", kNoMemory, false},
        {"a device error in the copy", dir.Path("bad-copy"), "bytes", 0644, "ReadProcessMemory", kReadFailed, false},
    };
    std::string script;
    for (const auto &c : cases) {
        if (c.content != nullptr) {
            std::ofstream(c.path, std::ios::binary) << c.content;
            chmod(c.path.c_str(), c.mode);
        }
        // Each run follows one that listed the primer, so a failed run shows
        // whether the output box kept its text.
        script += ConvertScript(primer);
        if (c.fault != nullptr)
            script += std::string("fail ") + c.fault + "\n";
        script += ConvertScript(c.path);
    }
    script += "close\n";
    std::map<std::string, FileState> before;
    for (const auto &c : cases) {
        if (c.content != nullptr || c.path == huge)
            DateBack(c.path);
        before[c.path] = StateOf(c.path);
    }

    DriverRun run;
    {
        Holder holder(dir.Path("held"));
        ASSERT_TRUE(holder.held());
        run = Drive(dir, script);
    }
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status << "\n" << run.output;
    Readings readings = Parse(run.output);
    ASSERT_EQ(readings["IDC_OUTPUT"].size(), 2 * std::size(cases)) << run.output;

    for (size_t i = 0; i < std::size(cases); i++) {
        const auto &c = cases[i];
        SCOPED_TRACE(c.what);
        const size_t at = 2 * i + 1;  // this file's run; the primer's went before
        EXPECT_EQ(readings["status 1"][at - 1], kCompleted);
        EXPECT_EQ(readings["status 1"][at], c.status);
        EXPECT_EQ(readings["status 0"][at], "Ready");
        EXPECT_EQ(readings["IDC_OUTPUT"][at], Listing(c.lists ? c.content : "P"));
        EXPECT_EQ(StateOf(c.path), before[c.path]);
    }
}

// Runs in a mount namespace of its own, where a tmpfs holds the file and is
// then made read-only; the namespace, and the mount, end with the driver.
TEST(FileSources, FileOnAReadOnlyMountConverts)
{
    ScratchDir dir;
    const std::string mount = dir.Path("mount");
    std::filesystem::create_directory(mount);
    const std::string path = mount + "/on-read-only-media";
    enum { kCannotMount = 77 };

    const DriverRun run = Drive(dir, ConvertScript(path) + "close\n", [&] {
        if (unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k") != 0)
            _exit(kCannotMount);
        std::ofstream(path, std::ios::binary) << "media";
        if (::mount(nullptr, mount.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            _exit(kCannotMount);
        if (access(path.c_str(), W_OK) == 0 || errno != EROFS)
            _exit(kCannotMount);
    });
    if (WIFEXITED(run.status) && WEXITSTATUS(run.status) == kCannotMount)
        GTEST_SKIP() << "this machine does not let the test mount a read-only file system";
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status << "\n" << run.output;
    Readings readings = Parse(run.output);
    EXPECT_EQ(readings["status 1"], std::vector<std::string>{kCompleted});
    EXPECT_EQ(readings["IDC_OUTPUT"], std::vector<std::string>{Listing("media")});
}

// The process killed outright while its copy is held in the middle: no exit
// work runs, and the file must be as it was all the same. While the file is
// held, other readers are welcome and writers are not.
TEST(FileSources, KilledDuringAReadLeavesTheFileAsItWas)
{
    ScratchDir dir;
    const std::string content = PatternBytes(32u << 20);
    const std::string path = dir.Write("large", content);
    DateBack(path);
    const FileState before = StateOf(path);

    const std::string script = dir.Write(".script", "fail ReadProcessMemory:hold\n" + ConvertScript(path));
    int out = -1;
    const pid_t driver = Start({BYTESCRIBE_DRIVE, script}, &out);
    ASSERT_GT(driver, 0);
    // The view is mapped once the file shows in the driver's memory map.
    bool mapped = false;
    for (auto start = std::chrono::steady_clock::now();
         !mapped && std::chrono::steady_clock::now() - start < std::chrono::minutes(2);) {
        std::ifstream maps("/proc/" + std::to_string(driver) + "/maps");
        std::string line;
        while (!mapped && std::getline(maps, line))
            mapped = line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0;
        if (!mapped)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD writerError = GetLastError();
    kill(driver, SIGKILL);
    int status = 0;
    waitpid(driver, &status, 0);
    close(out);

    ASSERT_TRUE(mapped) << "the read never mapped the file";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(writerError, DWORD{ERROR_SHARING_VIOLATION});
    if (reader != INVALID_HANDLE_VALUE)
        CloseHandle(reader);
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    const FileState after = StateOf(path);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(after.bytes == content);
}
