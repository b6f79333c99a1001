// driver.cpp: bytescribe-drive for Windows. Plays the headless driver's script
// language (win32/headless/driver.cpp) against bytescribe.exe from outside,
// through the platform's own calls only, and prints what it reads in the same
// format, so one expected output serves the stand-in and the platform.
//
//   bytescribe-drive PROGRAM.exe [SCRIPT]
//
// The program runs under this driver as a debugger, which collects its debug
// trace. The script plays on a second thread:
//   type       focus through the dialog manager (WM_NEXTDLGCTL), then select
//              all and replace, as typing over a selection does
//   click      the button's own click (BM_CLICK)
//   key        real keystrokes (SendInput) to the focused control
//   wait-idle  polls Convert's state and status part 0
//   show       WM_GETTEXT;  status: the status bar's messages, its text read
//              from a buffer in the program's memory;  state: IsWindowEnabled
//              and BM_GETCHECK;  messagebox: the open message box, answered OK
//   close      the close button's WM_SYSCOMMAND, then the exit code
// fail, drop, browse and browse-cancel need the stand-in and are refused.
#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "headless/script.h"

namespace {

const w32::ControlName kControlNames[] = {
#include "control_names.inc"
    {nullptr, 0},
};

constexpr int kStartTimeoutMs = 20000;
constexpr int kCloseTimeoutMs = 60000;
constexpr int kKeyTimeoutMs = 10000;
constexpr long kDefaultIdleTimeoutMs = 60000;

// What only the stand-in can play, and why.
struct Refusal {
    const char *verb;
    const char *why;
};
const Refusal kRefused[] = {
    {"fail", "fault injection exists only in the stand-in"},
    {"hold", "fault injection exists only in the stand-in"},
    {"wait-held", "fault injection exists only in the stand-in"},
    {"release", "fault injection exists only in the stand-in"},
    {"paste", "the pasted text comes from the stand-in's front end"},
    {"drop", "a drop needs the shell's drag and drop from another window"},
    {"browse", "the browse dialog's answer comes from the stand-in's front end"},
    {"browse-cancel", "the browse dialog's answer comes from the stand-in's front end"},
};

// The program under test, shared by the debugger loop and the player.
struct Program {
    PROCESS_INFORMATION info{};
    std::mutex mutex;
    std::vector<std::string> trace;
    HANDLE ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD exitCode = 0;
};

Program g_program;

[[noreturn]] void Quit(int code)
{
    fflush(stdout);
    fflush(stderr);
    // The program ends with the script, as it does under the stand-in.
    TerminateProcess(g_program.info.hProcess, 0);
    ExitProcess(static_cast<UINT>(code));
}

[[noreturn]] void Fail(int code, const w32::ScriptCommand &command, const std::string &message)
{
    fflush(stdout);
    fprintf(stderr, "bytescribe-drive: line %d: %s\n", command.line, message.c_str());
    Quit(code);
}

bool ProgramEnded()
{
    return WaitForSingleObject(g_program.ended, 0) == WAIT_OBJECT_0;
}

// Runs the program as a debuggee until it ends: its debug strings are the trace.
void DebugLoop()
{
    for (;;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, INFINITE))
            return;
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile != nullptr)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile != nullptr)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO &info = event.u.DebugString;
            std::string text(info.nDebugStringLength, '\0');
            SIZE_T done = 0;
            ReadProcessMemory(g_program.info.hProcess, info.lpDebugStringData, text.data(), text.size(), &done);
            text.resize(done);
            while (!text.empty() && text.back() == '\0')
                text.pop_back();
            if (!info.fUnicode) {
                std::lock_guard<std::mutex> guard(g_program.mutex);
                g_program.trace.push_back(text);
            }
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            // The loader's first breakpoint is ours; every other exception is the program's.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            g_program.exitCode = event.u.ExitProcess.dwExitCode;
            SetEvent(g_program.ended);
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
            return;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
}

class Player {
public:
    bool WaitForDialog()
    {
        for (int waited = 0; waited < kStartTimeoutMs; waited++) {
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(this));
            if (dialog_ != nullptr)
                break;
            if (ProgramEnded())
                return false;
            Sleep(1);
        }
        if (dialog_ == nullptr)
            return false;
        thread_ = GetWindowThreadProcessId(dialog_, nullptr);
        // One input state with the program's thread: its focus and its keys
        // are then this thread's to see, and its window may be brought forward.
        AttachThreadInput(GetCurrentThreadId(), thread_, TRUE);
        SetForegroundWindow(dialog_);
        return true;
    }

    void Run(const std::vector<w32::ScriptCommand> &commands)
    {
        for (const w32::ScriptCommand &command : commands)
            Execute(command);
    }

private:
    // A shown dialog window of the program's.
    static bool IsProgramDialog(HWND hwnd)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        char name[16] = "";
        GetClassNameA(hwnd, name, sizeof name);
        return process == g_program.info.dwProcessId && std::string(name) == "#32770" && IsWindowVisible(hwnd);
    }

    // The main dialog, once shown: start-up is over by then.
    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM self)
    {
        auto *player = reinterpret_cast<Player *>(self);
        if (!IsProgramDialog(hwnd) || GetDlgItem(hwnd, player->Id("IDC_CONVERT")) == nullptr)
            return TRUE;
        player->dialog_ = hwnd;
        return FALSE;
    }

    // Any other dialog of the program's: a message box.
    static BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM self)
    {
        auto *player = reinterpret_cast<Player *>(self);
        if (hwnd == player->dialog_ || !IsProgramDialog(hwnd))
            return TRUE;
        player->found_ = hwnd;
        return FALSE;
    }

    int Id(const char *name)
    {
        for (const w32::ControlName *n = kControlNames; n->name != nullptr; n++)
            if (std::string(n->name) == name)
                return n->id;
        return 0;
    }

    HWND Control(int id) { return GetDlgItem(dialog_, id); }

    // WM_GETTEXT is carried across processes by the system.
    static std::string Text(HWND hwnd)
    {
        std::string text(static_cast<size_t>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
        text.resize(static_cast<size_t>(SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        return text;
    }

    // The status bar's messages are not carried across processes: the text is
    // copied into a buffer in the program's memory and read from there.
    std::string StatusText(int part)
    {
        HWND bar = FindWindowExA(dialog_, nullptr, STATUSCLASSNAMEA, nullptr);
        if (bar == nullptr)
            return "";
        // The length is in characters; one of code page 936 takes up to two bytes.
        const size_t length = 2 * LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0));
        if (length + 1 > remoteSize_) {
            if (remote_ != nullptr)
                VirtualFreeEx(g_program.info.hProcess, remote_, 0, MEM_RELEASE);
            remoteSize_ = length + 1 > 4096 ? length + 1 : 4096;
            remote_ = VirtualAllocEx(g_program.info.hProcess, nullptr, remoteSize_, MEM_COMMIT | MEM_RESERVE,
                                     PAGE_READWRITE);
            if (remote_ == nullptr) {
                remoteSize_ = 0;
                return "";
            }
        }
        SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote_));
        std::string text(length, '\0');
        SIZE_T done = 0;
        ReadProcessMemory(g_program.info.hProcess, remote_, text.data(), length, &done);
        text.resize(done);
        text.resize(strlen(text.c_str()));
        return text;
    }

    bool Idle(HWND convert) { return IsWindowEnabled(convert) && StatusText(0) == "Ready"; }

    void PressKey(const w32::ScriptCommand &c)
    {
        struct Key {
            const char *name;
            WORD vk;
        } static const keys[] = {
            {"TAB", VK_TAB}, {"SHIFT+TAB", VK_TAB}, {"ENTER", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE},
            {"UP", VK_UP},   {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT},    {"RIGHT", VK_RIGHT},
        };
        WORD vk = 0;
        for (const Key &key : keys)
            if (c.args[0] == key.name)
                vk = key.vk;
        std::vector<WORD> downs;
        if (c.args[0] == "SHIFT+TAB")
            downs.push_back(VK_SHIFT);
        downs.push_back(vk);
        std::vector<INPUT> inputs;
        auto add = [&](WORD key, DWORD flags) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        };
        for (WORD key : downs)
            add(key, 0);
        for (auto key = downs.rbegin(); key != downs.rend(); ++key)
            add(*key, KEYEVENTF_KEYUP);

        // The program's thread has taken a key once its toggle bit has flipped
        // and it reads as up again; the keys before it were taken first.
        const SHORT before = GetKeyState(downs.front());
        SetForegroundWindow(dialog_);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            const SHORT now = GetKeyState(downs.front());
            if ((now & 1) != (before & 1) && !(now & 0x8000))
                break;
            if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kKeyTimeoutMs))
                Fail(3, c, "the program did not take the key " + c.args[0]);
            Sleep(1);
        }
        // The key's own handling is over once the thread serves a message again.
        SendMessageA(dialog_, WM_NULL, 0, 0);
    }

    void Execute(const w32::ScriptCommand &c)
    {
        const std::string &verb = c.verb;
        if (verb == "type") {
            HWND box = Control(c.control);
            if (box == nullptr || !IsWindowEnabled(box) || !IsWindowVisible(box))
                return;
            SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
            SendMessageA(box, EM_SETSEL, 0, -1);
            SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.args[1].c_str()));
        } else if (verb == "click") {
            // A disabled or hidden control ignores the mouse.
            HWND control = Control(c.control);
            if (control != nullptr && IsWindowEnabled(control) && IsWindowVisible(control))
                SendMessageA(control, BM_CLICK, 0, 0);
        } else if (verb == "key") {
            PressKey(c);
        } else if (verb == "wait-idle") {
            const long limit = c.number >= 0 ? c.number : kDefaultIdleTimeoutMs;
            HWND convert = Control(Id("IDC_CONVERT"));
            const auto start = std::chrono::steady_clock::now();
            while (!Idle(convert)) {
                if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(limit))
                    Fail(3, c, "wait-idle timed out after " + std::to_string(limit) + " ms");
                Sleep(2);
            }
        } else if (verb == "close") {
            PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
            if (WaitForSingleObject(g_program.ended, kCloseTimeoutMs) != WAIT_OBJECT_0)
                Fail(3, c, "the program did not end after close");
            w32::PrintLine("exit " + std::to_string(g_program.exitCode));
        } else if (verb == "show") {
            w32::PrintLine(c.args[0] + " " + w32::Hex(Text(Control(c.control))));
        } else if (verb == "status") {
            w32::PrintLine("status " + std::to_string(c.number) + " " + w32::Hex(StatusText(static_cast<int>(c.number))));
        } else if (verb == "state") {
            HWND control = Control(c.control);
            const bool enabled = IsWindowEnabled(control);
            const bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            w32::PrintLine(c.args[0] + " enabled=" + (enabled ? "1" : "0") + " checked=" + (checked ? "1" : "0"));
        } else if (verb == "trace") {
            std::vector<std::string> lines;
            {
                std::lock_guard<std::mutex> guard(g_program.mutex);
                lines.swap(g_program.trace);
            }
            for (const std::string &line : lines)
                w32::PrintLine("trace " + w32::Hex(line));
        } else if (verb == "messagebox") {
            found_ = nullptr;
            EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(this));
            if (found_ == nullptr) {
                w32::PrintLine("messagebox none");
                return;
            }
            char caption[256] = "";
            GetWindowTextA(found_, caption, sizeof caption);
            w32::PrintLine("messagebox " + w32::Hex(caption) + " " + w32::Hex(Text(GetDlgItem(found_, 0xFFFF))));
            PostMessageA(found_, WM_COMMAND, IDOK, 0);
        }
    }

    HWND dialog_ = nullptr;
    HWND found_ = nullptr;
    DWORD thread_ = 0;
    void *remote_ = nullptr;
    size_t remoteSize_ = 0;
};

}  // namespace

int main(int argc, char **argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: %s PROGRAM.exe [SCRIPT]\n", argv[0]);
        return 2;
    }
    std::vector<w32::ScriptCommand> commands;
    if (!w32::LoadScript(argv[0], argc == 3 ? argv[2] : nullptr, kControlNames, &commands))
        return 2;
    for (const w32::ScriptCommand &command : commands)
        for (const Refusal &refusal : kRefused)
            if (command.verb == refusal.verb) {
                fprintf(stderr,
                        "%s: line %d: %s cannot be played against the platform (%s): a stand-in only scenario\n",
                        argv[0], command.line, refusal.verb, refusal.why);
                return 2;
            }

    std::string commandLine = "\"" + std::string(argv[1]) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        nullptr, &startup, &g_program.info)) {
        fprintf(stderr, "%s: cannot start %s (error %lu)\n", argv[0], argv[1], GetLastError());
        return 4;
    }
    std::thread player([commands] {
        Player driver;
        if (!driver.WaitForDialog()) {
            fprintf(stderr, "bytescribe-drive: the dialog did not start\n");
            Quit(4);
        }
        driver.Run(commands);
        Quit(0);
    });
    player.detach();
    // The debugger's events go to the thread that started the program.
    DebugLoop();
    // The program has ended; the script decides when the driver does.
    for (;;)
        Sleep(INFINITE);
}
