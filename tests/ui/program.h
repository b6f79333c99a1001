// program.h: the real program on a thread of its own for a test, played
// through the stand-in's input messages.
#ifndef TESTS_UI_PROGRAM_H
#define TESTS_UI_PROGRAM_H

#include <windows.h>

#include <w32/user.h>

#include <thread>

class RunningProgram {
public:
    RunningProgram()
        : ui_([] { WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char *>(""), SW_SHOWNORMAL); })
    {
        while ((dialog_ = w32::CurrentDialog()) == nullptr)
            std::this_thread::yield();
    }

    // Closes the window as its close button does and waits for WinMain.
    ~RunningProgram()
    {
        w32::PostInput(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
        ui_.join();
    }

    HWND Dialog() const { return dialog_; }

    // A mouse click on a control; returns once the dialog has handled it.
    void Click(int id)
    {
        HWND control = GetDlgItem(dialog_, id);
        w32::PostInput(control, WM_LBUTTONDOWN, 0, 0);
        w32::PostInput(control, WM_LBUTTONUP, 0, 0);
        w32::InvokeOnOwner(dialog_, [] {}, true);
    }

private:
    std::thread ui_;
    HWND dialog_ = nullptr;
};

#endif
