// driver.cpp: the headless driver. The program's WinMain runs on the main
// thread as it would on the platform; the script plays the user from a second
// thread, through the same input messages a person's mouse and keyboard make.
//
// Commands (one per line; # starts a comment):
//   type CONTROL TEXT      focus the box, replace its text as select-all and typing would
//   paste CONTROL TEXT     focus the box, select all and paste TEXT from the clipboard
//   click CONTROL          a mouse click (a disabled control ignores it)
//   key NAME               TAB, SHIFT+TAB, ENTER, ESCAPE, SPACE, UP, DOWN, LEFT, RIGHT
//   drop TEXT [TEXT ...]   files dropped on the window
//   browse TEXT            the answer to the next browse dialog
//   browse-cancel          the next browse dialog is cancelled
//   wait-idle [MS]         until no run is active (default 60000 ms; exit 3 on time-out)
//   fail CALL              the next call of that name fails
//   hold CALL              the next call of that name waits until released
//   wait-held CALL [MS]    until that call is waiting (default 60000 ms; exit 3 on time-out)
//   release CALL           lets the held call go on (or cancels the hold)
//   close                  close as the close button does; prints "exit <code>"
//   show CONTROL           prints "CONTROL <hex>"
//   status N               prints "status N <hex>"
//   state CONTROL          prints "CONTROL enabled=0|1 checked=0|1"
//   trace                  prints each debug trace since the last one as "trace <hex>"
//   messagebox             prints "messagebox <caption hex> <text hex>" or "messagebox none"
#include <w32/headless.h>

#include "headless/frontend.h"
#include "headless/script.h"

#include <commctrl.h>

#include <w32/shell.h>
#include <w32/standin.h>
#include <w32/user.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <thread>

namespace w32 {

namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr int kCloseTimeoutMs = 60000;
constexpr long kDefaultIdleTimeoutMs = 60000;

[[noreturn]] void Fail(int code, const ScriptCommand &command, const std::string &message)
{
    fflush(stdout);
    fprintf(stderr, "bytescribe-drive: line %d: %s\n", command.line, message.c_str());
    fflush(stderr);
    _Exit(code);
}

class Driver {
public:
    Driver(const ControlName *names) : names_(names) {}

    void RunProgram()
    {
        int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char *>(""), SW_SHOWNORMAL);
        std::lock_guard<std::mutex> guard(mutex_);
        exitCode_ = code;
        programEnded_ = true;
        ended_.notify_all();
    }

    bool WaitForDialog()
    {
        for (int waited = 0; waited < kStartTimeoutMs; waited++) {
            dialog_ = CurrentDialog();
            if (dialog_ != nullptr)
                return true;
            if (ProgramEnded())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    void Run(const std::vector<ScriptCommand> &commands)
    {
        for (const ScriptCommand &command : commands)
            Execute(command);
    }

    HeadlessFrontEnd frontEnd;

private:
    bool ProgramEnded()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return programEnded_;
    }

    HWND Control(int id) { return GetDlgItem(dialog_, id); }

    // Every message posted before has been handled once this returns.
    void Sync() { InvokeOnOwner(dialog_, [] {}, true); }

    std::string Text(HWND hwnd)
    {
        std::string text;
        RunAsOwner(hwnd, [&] {
            text.resize(static_cast<size_t>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1);
            text.resize(static_cast<size_t>(SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        });
        return text;
    }

    std::string StatusText(int part)
    {
        std::string text;
        HWND bar = FindChildByClass(dialog_, STATUSCLASSNAMEA);
        RunAsOwner(bar, [&] {
            text.resize(LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0)) + 1);
            SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.data()));
            text.resize(text.size() - 1);
        });
        return text;
    }

    bool Idle(HWND convert)
    {
        return IsWindowEnabled(convert) && StatusText(0) == "Ready";
    }

    void PressKey(const std::string &name)
    {
        struct Key {
            const char *name;
            WPARAM vk;
            char typed;  // the character the key types, if any
        } static const keys[] = {
            {"TAB", VK_TAB, 0}, {"SHIFT+TAB", VK_TAB, 0}, {"ENTER", VK_RETURN, '\r'},
            {"ESCAPE", VK_ESCAPE, 0}, {"SPACE", VK_SPACE, ' '}, {"UP", VK_UP, 0},
            {"DOWN", VK_DOWN, 0}, {"LEFT", VK_LEFT, 0}, {"RIGHT", VK_RIGHT, 0},
        };
        for (const Key &key : keys) {
            if (name != key.name)
                continue;
            const bool shift = name == "SHIFT+TAB";
            // Each message goes to the focus of the moment it is taken, as a keyboard's do.
            if (shift)
                PostKeyboardInput(dialog_, WM_KEYDOWN, VK_SHIFT, 0);
            PostKeyboardInput(dialog_, WM_KEYDOWN, key.vk, 0);
            if (key.typed != 0)
                PostKeyboardInput(dialog_, WM_CHAR, static_cast<unsigned char>(key.typed), 0);
            PostKeyboardInput(dialog_, WM_KEYUP, key.vk, 0);
            if (shift)
                PostKeyboardInput(dialog_, WM_KEYUP, VK_SHIFT, 0);
            Sync();
        }
    }

    void Execute(const ScriptCommand &c)
    {
        const std::string &verb = c.verb;
        if (verb == "type") {
            const std::string text = c.args[1];
            HWND box = Control(c.control);
            InvokeOnOwner(dialog_, [&] {
                if (box == nullptr || !IsWindowEnabled(box) || !IsWindowVisible(box))
                    return;
                SetFocus(box);
                SendMessageA(box, EM_SETSEL, 0, -1);
                SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
            }, true);
        } else if (verb == "paste") {
            frontEnd.SetClipboardText(c.args[1]);
            HWND box = Control(c.control);
            InvokeOnOwner(dialog_, [&] {
                if (box == nullptr || !IsWindowEnabled(box) || !IsWindowVisible(box))
                    return;
                SetFocus(box);
                SendMessageA(box, EM_SETSEL, 0, -1);
                PostInput(box, WM_PASTE, 0, 0);
            }, true);
            Sync();
        } else if (verb == "click") {
            HWND control = Control(c.control);
            PostInput(control, WM_LBUTTONDOWN, 0, 0);
            PostInput(control, WM_LBUTTONUP, 0, 0);
            Sync();
        } else if (verb == "key") {
            PressKey(c.args[0]);
        } else if (verb == "drop") {
            PostInput(dialog_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(c.args)), 0);
            Sync();
        } else if (verb == "browse") {
            frontEnd.QueueBrowseAnswer(c.args[0]);
        } else if (verb == "browse-cancel") {
            frontEnd.QueueBrowseAnswer(std::nullopt);
        } else if (verb == "wait-idle") {
            const long limit = c.number >= 0 ? c.number : kDefaultIdleTimeoutMs;
            HWND convert = Control(c.control != 0 ? c.control : ConvertId());
            const auto start = std::chrono::steady_clock::now();
            while (!Idle(convert)) {
                if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(limit))
                    Fail(3, c, "wait-idle timed out after " + std::to_string(limit) + " ms");
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        } else if (verb == "fail") {
            FailNextCall(c.args[0].c_str());
        } else if (verb == "hold") {
            HoldNextCall(c.args[0].c_str());
        } else if (verb == "wait-held") {
            const long limit = c.number >= 0 ? c.number : kDefaultIdleTimeoutMs;
            if (!WaitUntilHeld(c.args[0].c_str(), static_cast<unsigned>(limit)))
                Fail(3, c, "wait-held timed out after " + std::to_string(limit) + " ms");
        } else if (verb == "release") {
            ReleaseHeldCall(c.args[0].c_str());
        } else if (verb == "close") {
            PostInput(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
            std::unique_lock<std::mutex> lock(mutex_);
            if (!ended_.wait_for(lock, std::chrono::milliseconds(kCloseTimeoutMs), [&] { return programEnded_; }))
                Fail(3, c, "the program did not end after close");
            PrintLine("exit " + std::to_string(exitCode_));
        } else if (verb == "show") {
            PrintLine(c.args[0] + " " + Hex(Text(Control(c.control))));
        } else if (verb == "status") {
            PrintLine("status " + std::to_string(c.number) + " " + Hex(StatusText(static_cast<int>(c.number))));
        } else if (verb == "state") {
            HWND control = Control(c.control);
            const bool enabled = IsWindowEnabled(control);
            const bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            PrintLine(c.args[0] + " enabled=" + (enabled ? "1" : "0") + " checked=" + (checked ? "1" : "0"));
        } else if (verb == "trace") {
            for (const std::string &line : TakeTrace())
                PrintLine("trace " + Hex(line));
        } else if (verb == "messagebox") {
            auto box = frontEnd.LastMessageBox();
            PrintLine(box ? "messagebox " + Hex(box->caption) + " " + Hex(box->text) : "messagebox none");
        }
    }

    int ConvertId()
    {
        for (const ControlName *n = names_; n->name != nullptr; n++)
            if (std::string(n->name) == "IDC_CONVERT")
                return n->id;
        return 0;
    }

    const ControlName *names_;
    HWND dialog_ = nullptr;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool programEnded_ = false;
    int exitCode_ = 0;
};

}  // namespace

int RunHeadlessDriver(int argc, char **argv, const ControlName *controlNames)
{
    if (argc > 2) {
        fprintf(stderr, "usage: %s [SCRIPT]\n", argv[0]);
        return 2;
    }
    std::vector<ScriptCommand> commands;
    if (!LoadScript(argv[0], argc == 2 ? argv[1] : nullptr, controlNames, &commands))
        return 2;

    // Lives until the process ends: the program's threads may outlast the script.
    auto *driver = new Driver(controlNames);
    SetFrontEnd(&driver->frontEnd);
    CaptureTrace(true);

    std::thread player([driver, commands] {
        if (!driver->WaitForDialog()) {
            fprintf(stderr, "bytescribe-drive: the dialog did not start\n");
            fflush(stdout);
            _Exit(4);
        }
        driver->Run(commands);
        fflush(stdout);
        // Ends the process as the platform does when the program is done:
        // exit handlers run, other threads end where they are.
        exit(0);
    });
    player.detach();
    driver->RunProgram();
    // WinMain has returned; the script decides when the process ends.
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

}  // namespace w32
