// desktop_test.cpp: the program as a person meets it on a Linux desktop. Each
// test starts an X server of its own (Xvfb), the program (by the README's own
// run command, or from the build folder) and sometimes a window manager; it
// plays the person with real X input and reads back only what another program
// on the desktop sees: the window's properties and the clipboard.
#include <gtest/gtest.h>

// After gtest: Xlib's macros (Bool, None, Status) would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

const char kTitle[] = "Bytescribe V 1.2.080420";

// Generous: a verdict never depends on how busy the machine is.
constexpr auto kPatience = 120s;

bool Eventually(const std::function<bool()> &condition, std::chrono::seconds limit = kPatience)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

// A process of the test's, in a process group of its own so that whatever it
// starts goes with it.
class Child {
public:
    Child(const std::vector<std::string> &argv, const std::string &display, const std::string &directory = "",
          int extraFd = -1)
    {
        std::vector<std::string> env;
        for (char **e = environ; *e != nullptr; e++)
            if (strncmp(*e, "DISPLAY=", 8) != 0 && strncmp(*e, "WAYLAND_DISPLAY=", 16) != 0)
                env.emplace_back(*e);
        if (!display.empty())
            env.push_back("DISPLAY=" + display);
        std::vector<char *> args, envp;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        for (const std::string &e : env)
            envp.push_back(const_cast<char *>(e.c_str()));
        envp.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            if (!directory.empty() && chdir(directory.c_str()) != 0)
                _exit(126);
            if (extraFd >= 0)
                fcntl(extraFd, F_SETFD, 0);  // kept across exec
            execvpe(args[0], args.data(), envp.data());
            _exit(127);
        }
    }

    ~Child()
    {
        if (pid_ <= 0 || status_)
            return;
        kill(-pid_, SIGTERM);
        if (!Wait(10s)) {
            kill(-pid_, SIGKILL);
            Wait(10s);
        }
    }

    // The exit status once the process has ended, waiting at most limit.
    std::optional<int> Wait(std::chrono::seconds limit = kPatience)
    {
        Eventually([&] {
            int status = 0;
            if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return status_.has_value();
        }, limit);
        return status_;
    }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// An X server of the test's own, and a connection to it.
class XServer {
public:
    XServer()
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        server_ = std::make_unique<Child>(
            std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24",
                                     "-nolisten", "tcp"},
            "", "", fds[1]);
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty())
            return;
        name_ = ":" + number;
        display_ = XOpenDisplay(name_.c_str());
    }

    ~XServer()
    {
        if (display_ != nullptr)
            XCloseDisplay(display_);
    }

    Display *X() const { return display_; }
    const std::string &Name() const { return name_; }
    Window Root() const { return DefaultRootWindow(display_); }
    Atom Intern(const char *name) const { return XInternAtom(display_, name, False); }

    // Runs xdotool on this server.
    void Xdotool(const std::string &arguments) const
    {
        const std::string command = "DISPLAY=" + name_ + " " XDOTOOL " " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // A viewable window titled title, anywhere in the tree (a window manager
    // puts the program's window inside a frame of its own); 0 if none.
    Window Find(const char *title) const { return Find(Root(), title); }

    Window WaitFor(const char *title) const
    {
        Window found = 0;
        Eventually([&] { return (found = Find(title)) != 0; });
        return found;
    }

    std::string Title(Window w) const
    {
        char *name = nullptr;
        std::string title;
        if (XFetchName(display_, w, &name) && name != nullptr) {
            title = name;
            XFree(name);
        }
        return title;
    }

    // The atoms of a property that holds a list of them.
    std::vector<Atom> Atoms(Window w, const char *property) const
    {
        std::vector<Atom> atoms;
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display_, w, Intern(property), 0, 1024, False, XA_ATOM, &type, &format, &count, &after,
                               &data) == Success &&
            data != nullptr) {
            if (format == 32)
                atoms.assign(reinterpret_cast<Atom *>(data), reinterpret_cast<Atom *>(data) + count);
            XFree(data);
        }
        return atoms;
    }

    // The point at (x, y) of the window's client area, on the screen.
    std::pair<int, int> ScreenPoint(Window w, int x, int y) const
    {
        int sx = 0, sy = 0;
        Window child;
        XTranslateCoordinates(display_, w, Root(), x, y, &sx, &sy, &child);
        return {sx, sy};
    }

    void Click(Window w, int x, int y) const
    {
        const auto [sx, sy] = ScreenPoint(w, x, y);
        Xdotool("mousemove " + std::to_string(sx) + " " + std::to_string(sy) + " click 1");
    }

    // A close request, as a window manager sends it when the person closes
    // the window from its frame.
    void RequestClose(Window w) const
    {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = Intern("WM_PROTOCOLS");
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(Intern("WM_DELETE_WINDOW"));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, w, False, NoEventMask, &event);
        XFlush(display_);
    }

    // The clipboard's text, as a program that pastes asks for it.
    std::string Clipboard() const
    {
        Window requestor = XCreateSimpleWindow(display_, Root(), 0, 0, 1, 1, 0, 0, 0);
        const Atom property = Intern("DESKTOP_TEST_PASTE");
        XConvertSelection(display_, Intern("CLIPBOARD"), Intern("UTF8_STRING"), property, requestor, CurrentTime);
        XFlush(display_);
        std::string text;
        XEvent event;
        const bool answered = Eventually([&] {
            return XCheckTypedWindowEvent(display_, requestor, SelectionNotify, &event) == True;
        }, 10s);
        if (answered && event.xselection.property == property) {
            Atom type;
            int format;
            unsigned long count, after;
            unsigned char *data = nullptr;
            if (XGetWindowProperty(display_, requestor, property, 0, 1 << 24, True, AnyPropertyType, &type, &format,
                                   &count, &after, &data) == Success &&
                data != nullptr) {
                text.assign(reinterpret_cast<char *>(data), count);
                XFree(data);
            }
        }
        XDestroyWindow(display_, requestor);
        return text;
    }

private:
    Window Find(Window w, const char *title) const
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, w, &attributes) && attributes.map_state == IsViewable &&
            Title(w) == title)
            return w;
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, w, &root, &parent, &children, &count))
            return 0;
        Window found = 0;
        for (unsigned int i = 0; i < count && found == 0; i++)
            found = Find(children[i], title);
        if (children != nullptr)
            XFree(children);
        return found;
    }

    std::unique_ptr<Child> server_;
    std::string name_;
    Display *display_ = nullptr;
};

// The README's command line that starts the program, as a person copies it.
std::string ReadmeRunCommand()
{
    std::ifstream readme(SOURCE_DIR "/README.md");
    std::string line;
    while (std::getline(readme, line))
        if (line.rfind("tools/dev run", 0) == 0)
            return line.substr(0, line.find('#'));
    return "";
}

// Where the controls are, in the client area: pixels from the dialog units
// of ui/bytescribe.rc (6 x 13 base units for the 8-point dialog font).
struct Spot {
    int x, y;
};
Spot Centre(int x, int y, int cx, int cy)
{
    return {(x + cx / 2) * 6 / 4, (y + cy / 2) * 13 / 8};
}
const Spot kPathBox = Centre(5, 5, 331, 14);
const Spot kConvertButton = Centre(346, 231, 50, 14);
const Spot kOutputBox = Centre(12, 144, 378, 78);

class Desktop : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(x_.X(), nullptr) << "Xvfb did not start"; }

    // A small file and its listing as the program shows it by default.
    std::string Fixture()
    {
        path_ = testing::TempDir() + "desktop_input.bin";
        std::ofstream(path_, std::ios::binary) << std::string("MZ\x90\x00 desktop", 11);
        return "\"\\x4d\\x5a\\x90\\x00\\x20\\x64\\x65\\x73\\x6b\\x74\\x6f\"";
    }

    void TearDown() override
    {
        if (!path_.empty())
            std::remove(path_.c_str());
    }

    // Converts the fixture's path typed into the window and copies the
    // listing the way a person does; what the clipboard then holds.
    std::string ConvertTypedPath(Window window)
    {
        x_.Click(window, kPathBox.x, kPathBox.y);
        x_.Xdotool("type '" + path_ + "'");
        x_.Click(window, kConvertButton.x, kConvertButton.y);
        std::string copied;
        Eventually([&] {
            x_.Click(window, kOutputBox.x, kOutputBox.y);
            x_.Xdotool("key ctrl+a ctrl+c");
            copied = x_.Clipboard();
            return copied == expected_;
        }, 60s);
        return copied;
    }

    XServer x_;
    std::string path_;
    std::string expected_;
};

TEST_F(Desktop, ReadmeRunCommandOpensTheWindowConvertsAndClosesOnRequest)
{
    const std::string command = ReadmeRunCommand();
    ASSERT_FALSE(command.empty()) << "README.md has no line starting with tools/dev run";
    expected_ = Fixture();

    Child program({"/bin/sh", "-c", command}, x_.Name(), SOURCE_DIR);
    const Window window = x_.WaitFor(kTitle);
    ASSERT_NE(window, 0u) << "no window titled " << kTitle << " after: " << command;

    EXPECT_EQ(ConvertTypedPath(window), expected_);

    x_.RequestClose(window);
    EXPECT_EQ(program.Wait(), std::optional<int>(0)) << command;
    EXPECT_EQ(x_.Find(kTitle), 0u);
}

// Under a window manager: the frame's hints say what the template says (a
// fixed size, no maximise or minimise box), the manager allows no resizing
// or maximising, and its own Alt+F4 closes the window as its close button does.
TEST_F(Desktop, UnderAWindowManagerTheFrameIsFixedAndClosesFromIt)
{
    Child manager({"openbox", "--sm-disable"}, x_.Name());
    ASSERT_TRUE(Eventually([&] { return !x_.Atoms(x_.Root(), "_NET_SUPPORTED").empty(); })) << "openbox did not start";
    Child program({PROGRAM}, x_.Name());
    const Window window = x_.WaitFor(kTitle);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return !x_.Atoms(window, "_NET_WM_ALLOWED_ACTIONS").empty(); })) << "openbox did not manage the window";

    XSizeHints hints = {};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(x_.X(), window, &hints, &supplied));
    ASSERT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, hints.max_width);
    EXPECT_EQ(hints.min_height, hints.max_height);
    XWindowAttributes attributes;
    XGetWindowAttributes(x_.X(), window, &attributes);
    EXPECT_EQ(hints.min_width, attributes.width);
    EXPECT_EQ(hints.min_height, attributes.height);

    // The Motif hints: the functions the frame offers (no minimise or maximise;
    // the size hints above are what keep the size).
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    ASSERT_EQ(XGetWindowProperty(x_.X(), window, x_.Intern("_MOTIF_WM_HINTS"), 0, 5, False, AnyPropertyType, &type,
                                 &format, &count, &after, &data), Success);
    ASSERT_TRUE(data != nullptr && count >= 2);
    const unsigned long flags = reinterpret_cast<unsigned long *>(data)[0];
    const unsigned long functions = reinterpret_cast<unsigned long *>(data)[1];
    XFree(data);
    constexpr unsigned long kFunctions = 1, kAll = 1, kMinimise = 8, kMaximise = 16, kClose = 32;
    ASSERT_TRUE(flags & kFunctions);
    EXPECT_EQ(functions & (kAll | kMinimise | kMaximise), 0u);
    EXPECT_NE(functions & kClose, 0u);

    const std::vector<Atom> allowed = x_.Atoms(window, "_NET_WM_ALLOWED_ACTIONS");
    const auto allows = [&](const char *action) {
        return std::find(allowed.begin(), allowed.end(), x_.Intern(action)) != allowed.end();
    };
    EXPECT_TRUE(allows("_NET_WM_ACTION_CLOSE"));
    EXPECT_TRUE(allows("_NET_WM_ACTION_MOVE"));
    for (const char *action : {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"})
        EXPECT_FALSE(allows(action)) << action;

    // openbox gives the new window the focus and keeps Alt+F4 for itself.
    x_.Xdotool("key --delay 0 alt+F4");
    EXPECT_EQ(program.Wait(), std::optional<int>(0));
}

// With no window manager to catch it, Alt+F4 reaches the program, whose
// default window procedure turns it into a close, from any control.
TEST_F(Desktop, AltF4ClosesTheWindowWithoutAWindowManager)
{
    Child program({PROGRAM}, x_.Name());
    const Window window = x_.WaitFor(kTitle);
    ASSERT_NE(window, 0u);
    x_.Click(window, kPathBox.x, kPathBox.y);
    x_.Xdotool("key --delay 0 alt+F4");
    EXPECT_EQ(program.Wait(), std::optional<int>(0));
}

}  // namespace
