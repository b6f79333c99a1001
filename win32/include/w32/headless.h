// w32/headless.h: the headless driver that plays a user against a program
// from a script (see win32/headless/driver.cpp for the commands).
#ifndef W32_HEADLESS_H
#define W32_HEADLESS_H

namespace w32 {

// A control identifier's name, as the program's resource header spells it.
struct ControlName {
    const char *name;
    int id;
};

// Runs the program's WinMain on this thread and the script on another.
// controlNames ends with a null name. Returns the process's exit code.
int RunHeadlessDriver(int argc, char **argv, const ControlName *controlNames);

}  // namespace w32

#endif
