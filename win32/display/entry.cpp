// entry.cpp: the process entry of a program built on the stand-in: its
// WinMain on screen, in Qt's GUI thread.
#include "display/frontend.h"

int main(int argc, char **argv)
{
    return w32::RunOnScreen(argc, argv);
}
