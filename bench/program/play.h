// play.h: one benchmark case played on the real program (its dialog, worker
// and box messages) from a second thread, and what it measured. The two
// front ends (headless, on screen) each start the program and supply the click.
#ifndef BENCH_PROGRAM_PLAY_H
#define BENCH_PROGRAM_PLAY_H

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// A case as the runner passes it on the command line: "list MODE FILE" (MODE
// little, big or asm) or "decode FILE" (a file of hexadecimal digit pairs).
struct Case {
    std::string kind, mode, file;
};
bool ParseCase(int argc, char **argv, Case *c);

// Plays the case once the dialog is up and prints one line of results on
// standard output: the phase's and the whole run's seconds, the processor
// seconds of the phase (all threads), then the slowest and the median answer
// to a click during the phase, in milliseconds, and the number of clicks.
void PlayCase(const Case &c);

// Clicks a control the way this front end's person would; defined by each
// front end's main.
void ClickControl(HWND dialog, int id);

}  // namespace bench

#endif
