// Endurance: a thousand runs in a row in one program, files, texts and
// decodings mixed over every mode, leave no more threads, kernel handles,
// file descriptors or resident memory behind at the end than at the start.
#include "run/runstate.h"
#include "ui/resource.h"

#include "program.h"

#include <commctrl.h>

#include <w32/standin.h>
#include <w32/user.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 1000;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers hold freed memory back on purpose, so memory is compared in
// the plain build only; there the file need not be big.
constexpr bool kComparesMemory = false;
constexpr size_t kFileBytes = 300;
#else
constexpr bool kComparesMemory = true;
// Big enough that keeping one file's buffer a run would show in the memory.
constexpr size_t kFileBytes = 4096;
#endif

struct Sample {
    size_t threads, handles, fds, rssKiB;
};

size_t EntriesIn(const char *folder)
{
    size_t count = 0;
    if (DIR *dir = opendir(folder)) {
        while (readdir(dir) != nullptr)
            count++;
        closedir(dir);
    }
    return count;
}

Sample Measure()
{
    long pages = 0, resident = 0;
    if (FILE *statm = fopen("/proc/self/statm", "r")) {
        if (fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(statm);
    }
    return Sample{EntriesIn("/proc/self/task"), w32::OpenHandleCount(), EntriesIn("/proc/self/fd"),
                  static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE)) / 1024};
}

template <class Field>
size_t MaxOf(const std::vector<Sample> &samples, size_t from, size_t to, Field field)
{
    size_t most = 0;
    for (size_t i = from; i < to; i++)
        most = std::max(most, field(samples[i]));
    return most;
}

// A thread that has returned may still be on its way out when the run is
// seen to end, so threads and descriptors are compared at their lowest: a
// leak raises the lowest too.
template <class Field>
size_t MinOf(const std::vector<Sample> &samples, size_t from, size_t to, Field field)
{
    size_t least = SIZE_MAX;
    for (size_t i = from; i < to; i++)
        least = std::min(least, field(samples[i]));
    return least;
}

bool Idle(HWND dialog)
{
    bool idle = false;
    w32::RunAsOwner(dialog, [&] {
        char state[16] = {};
        SendMessageA(g_hStatus, SB_GETTEXTA, StatusPartState, reinterpret_cast<LPARAM>(state));
        idle = IsWindowEnabled(GetDlgItem(dialog, IDC_CONVERT)) && strcmp(state, "Ready") == 0;
    });
    return idle;
}

TEST(Endurance, AThousandMixedRunsLeaveNothingBehind)
{
    const std::string path = testing::TempDir() + "endurance_input.bin";
    std::ofstream(path, std::ios::binary) << std::string("MZ\x90\x00\x03\x00\x00\x00\x04\x00", 10) + std::string(kFileBytes - 10, 'e');
    w32::SetSleepLimit(1);  // the spinner's pauses only animate

    std::vector<Sample> samples;
    {
        RunningProgram program;
        HWND dialog = program.Dialog();
        const int modes[] = {IDC_LITTLE_ENDIAN, IDC_BIG_ENDIAN, IDC_ASM};
        for (int run = 0; run < kRuns; run++) {
            const int source = run % 3;  // a file, a text, a decoding
            w32::InvokeOnOwner(dialog, [&] {
                for (int mode : modes)
                    CheckDlgButton(dialog, mode, mode == modes[(run / 3) % 3] ? BST_CHECKED : BST_UNCHECKED);
                SetDlgItemTextA(dialog, IDC_PATH, source == 0 ? path.c_str() : "");
                SetDlgItemTextA(dialog, IDC_TEXT, source == 1 ? "text typed into the box\r\n\xd6\xd0" : "");
                if (source == 2)
                    SetDlgItemTextA(dialog, IDC_OUTPUT, "48656c6c6f2c20776f726c64");
            }, true);
            program.Click(IDC_CONVERT);
            while (!Idle(dialog))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            samples.push_back(Measure());
            if (source == 2) {
                char text[64] = {};
                w32::RunAsOwner(dialog, [&] { GetDlgItemTextA(dialog, IDC_TEXT, text, sizeof text); });
                ASSERT_STREQ(text, "Hello, world") << "run " << run;
            }
        }
    }
    w32::SetSleepLimit(INFINITE);
    std::remove(path.c_str());

    const size_t quarter = samples.size() / 4;
    const size_t lastFrom = samples.size() - quarter;
    auto threads = [](const Sample &s) { return s.threads; };
    auto handles = [](const Sample &s) { return s.handles; };
    auto fds = [](const Sample &s) { return s.fds; };
    auto rss = [](const Sample &s) { return s.rssKiB; };
    EXPECT_LE(MinOf(samples, lastFrom, samples.size(), threads), MinOf(samples, 0, quarter, threads));
    EXPECT_LE(MaxOf(samples, lastFrom, samples.size(), handles), MaxOf(samples, 0, quarter, handles));
    EXPECT_LE(MinOf(samples, lastFrom, samples.size(), fds), MinOf(samples, 0, quarter, fds));
    // A little slack for the allocator's own bookkeeping, well below what
    // one file buffer (4 KiB) kept a file run would add up to.
    if (kComparesMemory) {
        EXPECT_LE(MaxOf(samples, lastFrom, samples.size(), rss), MaxOf(samples, 0, quarter, rss) + 512);
    }
    printf("first quarter: threads %zu, handles %zu, fds %zu, rss %zu KiB; last quarter: %zu, %zu, %zu, %zu KiB\n",
           MinOf(samples, 0, quarter, threads), MaxOf(samples, 0, quarter, handles), MinOf(samples, 0, quarter, fds),
           MaxOf(samples, 0, quarter, rss), MinOf(samples, lastFrom, samples.size(), threads),
           MaxOf(samples, lastFrom, samples.size(), handles), MinOf(samples, lastFrom, samples.size(), fds),
           MaxOf(samples, lastFrom, samples.size(), rss));
}

}  // namespace
