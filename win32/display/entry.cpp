// entry.cpp: the process entry of a program built on the stand-in. The
// on-screen front end is not part of this build yet, so the program says so
// instead of running without a window.
#include <windows.h>

#include <cstdio>

int main(int, char **argv)
{
    fprintf(stderr,
            "%s: no on-screen window in this build yet. The program runs headless, played from a "
            "script, with bytescribe-drive (see README.md).\n",
            argv[0]);
    return 1;
}
