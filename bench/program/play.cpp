// play.cpp: a benchmark case on the real program. The phase runs from the
// click on Convert to the last piece in its box (the box reaches the length
// that the input gives); the whole run ends when Convert is enabled again.
// Meanwhile a radio button is clicked every 100 ms and the time until it
// shows as checked is taken: the window's answer to a person.
#include "bench/program/play.h"

#include "ui/resource.h"

#include <commctrl.h>

#include <w32/user.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

HWND Control(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

size_t TextLength(HWND box)
{
    size_t length = 0;
    w32::RunAsOwner(box, [&] { length = static_cast<size_t>(SendMessageA(box, WM_GETTEXTLENGTH, 0, 0)); });
    return length;
}

bool Checked(HWND button)
{
    bool checked = false;
    w32::RunAsOwner(button, [&] { checked = SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; });
    return checked;
}

bool Idle(HWND dialog)
{
    bool idle = false;
    HWND bar = w32::FindChildByClass(dialog, STATUSCLASSNAMEA);
    w32::RunAsOwner(dialog, [&] {
        char state[16] = {};
        SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(state));
        idle = IsWindowEnabled(Control(dialog, IDC_CONVERT)) && std::string(state) == "Ready";
    });
    return idle;
}

// The seconds the whole process has run on any processor so far.
double ProcessorSeconds()
{
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A case that cannot finish says so and ends, rather than hang the runner.
constexpr auto kPatience = std::chrono::minutes(10);
Clock::time_point g_deadline = Clock::now() + kPatience;

void Pause()
{
    if (Clock::now() > g_deadline) {
        fprintf(stderr, "bytescribe-bench: the case did not finish within 10 minutes\n");
        fflush(stdout);
        _exit(3);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
}

// Sets a control's text as the owner, as a paste that replaces everything would.
void SetText(HWND dialog, int id, const std::string &text)
{
    HWND box = Control(dialog, id);
    w32::InvokeOnOwner(dialog, [&] {
        SendMessageA(box, EM_SETSEL, 0, -1);
        SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }, true);
}

void Select(HWND dialog, int id)
{
    ClickControl(dialog, id);
    while (!Checked(Control(dialog, id)))
        Pause();
}

// What a listing or a decoding of the input puts into its box.
size_t ExpectedLength(const Case &c, const std::string &input)
{
    const size_t m = input.size();
    if (c.kind == "decode") {
        size_t pieces = 0;
        for (size_t k = 0; k + 1 < m; k += 2)
            pieces += input.compare(k, 2, "00") != 0;
        return pieces;
    }
    if (c.mode == "asm")
        return 12 * m;
    return m == 0 ? 2 : 4 * m + 4 * ((m + 15) / 16) - 2;
}

}  // namespace

bool ParseCase(int argc, char **argv, Case *c)
{
    if (argc == 4 && std::string(argv[1]) == "list") {
        c->kind = argv[1];
        c->mode = argv[2];
        c->file = argv[3];
        return c->mode == "little" || c->mode == "big" || c->mode == "asm";
    }
    if (argc == 3 && std::string(argv[1]) == "decode") {
        c->kind = argv[1];
        c->file = argv[2];
        return true;
    }
    return false;
}

void PlayCase(const Case &c)
{
    HWND dialog = nullptr;
    while ((dialog = w32::CurrentDialog()) == nullptr)
        Pause();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // shown and painted

    std::string input;
    {
        std::ifstream file(c.file, std::ios::binary);
        input.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    const size_t expected = ExpectedLength(c, input);
    HWND box;
    if (c.kind == "decode") {
        SetText(dialog, IDC_OUTPUT, input);
        box = Control(dialog, IDC_TEXT);
    } else {
        SetText(dialog, IDC_PATH, c.file);
        Select(dialog, c.mode == "little" ? IDC_LITTLE_ENDIAN : c.mode == "big" ? IDC_BIG_ENDIAN : IDC_ASM);
        box = Control(dialog, IDC_OUTPUT);
    }
    input.clear();
    input.shrink_to_fit();

    std::vector<double> answers;
    const int radios[] = {IDC_LITTLE_ENDIAN, IDC_BIG_ENDIAN, IDC_ASM};
    const double startProcessor = ProcessorSeconds();
    double phaseProcessor = 0;
    const Clock::time_point start = Clock::now();
    ClickControl(dialog, IDC_CONVERT);
    Clock::time_point phaseEnd{}, clicked{}, nextClick = start + std::chrono::milliseconds(100);
    HWND pending = nullptr;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (phaseEnd == Clock::time_point{} && TextLength(box) >= expected) {
            phaseEnd = Clock::now();
            phaseProcessor = ProcessorSeconds() - startProcessor;
        }
        if (pending != nullptr && Checked(pending)) {
            answers.push_back(Seconds(Clock::now() - clicked) * 1000);
            pending = nullptr;
        }
        if (pending == nullptr && phaseEnd == Clock::time_point{} && now >= nextClick) {
            for (int id : radios)
                if (!Checked(Control(dialog, id)))
                    pending = Control(dialog, id);
            clicked = Clock::now();
            ClickControl(dialog, GetDlgCtrlID(pending));
            nextClick = clicked + std::chrono::milliseconds(100);
        }
        if (phaseEnd != Clock::time_point{} && pending == nullptr)
            break;
        Pause();
    }
    while (!Idle(dialog))
        Pause();
    const Clock::time_point runEnd = Clock::now();

    std::sort(answers.begin(), answers.end());
    const double slowest = answers.empty() ? 0 : answers.back();
    const double median = answers.empty() ? 0 : answers[answers.size() / 2];
    printf("%.6f %.6f %.6f %.3f %.3f %zu\n", Seconds(phaseEnd - start), Seconds(runEnd - start), phaseProcessor,
           slowest, median, answers.size());
    fflush(stdout);
}

}  // namespace bench
