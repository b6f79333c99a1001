// runner.h: the benchmark of the real program path. It makes random inputs,
// plays each case in a fresh process (so that each has its own peak memory),
// times xxd on the same input in the same run, and prints one line a figure.
#ifndef BENCH_PROGRAM_RUNNER_H
#define BENCH_PROGRAM_RUNNER_H

namespace bench {

// Options: --max-mib N (the largest input, default 64), --repeat N (runs per
// figure, the median is shown; default 3), --screen (also the window under
// Xvfb), --modes LIST (of little,big,asm; default all three).
int RunBenchmarks(int argc, char **argv);

}  // namespace bench

#endif
