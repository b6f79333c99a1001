// headless_main.cpp: bytescribe-bench-program. Without arguments it is the
// runner (see runner.h); with a case it runs the real program headless, as
// bytescribe-drive does, and plays that case on it.
#include "bench/program/play.h"
#include "bench/program/runner.h"

#include "headless/frontend.h"

#include <w32/user.h>

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace bench {

void ClickControl(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    w32::PostInput(control, WM_LBUTTONDOWN, 0, 0);
    w32::PostInput(control, WM_LBUTTONUP, 0, 0);
}

}  // namespace bench

int main(int argc, char **argv)
{
    bench::Case c;
    if (!bench::ParseCase(argc, argv, &c))
        return bench::RunBenchmarks(argc, argv);
    w32::SetFrontEnd(new w32::HeadlessFrontEnd);
    std::thread player([c] {
        bench::PlayCase(c);
        _exit(0);
    });
    player.detach();
    WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char *>(""), SW_SHOWNORMAL);
    for (;;)
        pause();
}
