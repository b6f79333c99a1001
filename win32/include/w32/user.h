// w32/user.h: the window manager's side doors, for the headless driver, the
// on-screen front end and tests. The program itself never includes this.
#ifndef W32_USER_H
#define W32_USER_H

#include <windows.h>
#include <richedit.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace w32 {

// Runs fn on the thread that owns hwnd, from inside its message loop; with
// wait, returns once it has run. False when the window does not exist.
bool InvokeOnOwner(HWND hwnd, std::function<void()> fn, bool wait);
// Runs fn acting as the owner of hwnd (under its lock, so serialised with it),
// on the calling thread. False when the window does not exist.
bool RunAsOwner(HWND hwnd, const std::function<void()> &fn);
// Queues an input message (mouse, drop) for hwnd's owner thread.
bool PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues keyboard input (a key, a typed character) for topLevel's owner
// thread. As on the platform, it goes to the window that has that thread's
// focus when the thread takes it from its queue, in order with everything
// else queued; to topLevel when nothing has the focus.
bool PostKeyboardInput(HWND topLevel, UINT msg, WPARAM wParam, LPARAM lParam);

// How a UI thread waits for messages when a front end runs its own event
// loop on it: Wait processes that loop's events until something happens,
// Wake (from any thread) makes Wait return.
class MessageWaiter {
public:
    virtual ~MessageWaiter() = default;
    virtual void Wait() = 0;
    virtual void Wake() = 0;
};
// Installs the waiter for the calling thread, which becomes a UI thread.
void SetMessageWaiter(MessageWaiter *waiter);
// Runs fn holding the calling UI thread's own lock, taking it back for the
// duration if the thread released it to wait for messages (a front end's
// callbacks run inside that wait).
void WithOwnLock(const std::function<void()> &fn);
// Runs fn with the calling UI thread's lock released, as a modal loop of the
// platform does: other threads' messages are served meanwhile.
void ReleaseOwnLockWhile(const std::function<void()> &fn);

// What the platform shows in windows of its own. The headless front end
// answers from a script; the on-screen one asks the person.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    virtual int ShowMessageBox(HWND owner, const std::string &text, const std::string &caption, UINT type) = 0;
    // True with a path when the person picked an item, false on cancel.
    virtual bool BrowseForItem(HWND owner, const std::string &title, UINT flags, std::string *path) = 0;
    // Animates showing or hiding the window; called while it is shown. May take the animation's time.
    virtual void Animate(HWND hwnd, DWORD milliseconds, DWORD flags) = 0;
    // The clipboard's text, as the platform keeps it: code page 936, line
    // breaks as CR LF.
    virtual std::string ClipboardText() { return clipboard_; }
    virtual void SetClipboardText(const std::string &text) { clipboard_ = text; }
    // A top-level window was created or is about to be destroyed.
    virtual void TopLevelCreated(HWND) {}
    virtual void TopLevelDestroying(HWND) {}

private:
    std::string clipboard_;  // where there is no clipboard of the system's
};
void SetFrontEnd(FrontEnd *frontEnd);
FrontEnd &CurrentFrontEnd();

// The desktop's size in pixels (1024 x 768 unless set, or W32_DESKTOP=WxH).
void SetDesktopSize(int width, int height);

// The top-level dialog in its modal loop, or null.
HWND CurrentDialog();
// A child of parent by window class name, or null.
HWND FindChildByClass(HWND parent, const char *className);
// What a display needs to know of a window. Read while holding the owner's
// lock (WithOwnLock on the UI thread, RunAsOwner elsewhere).
struct WindowDescription {
    std::string className;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    RECT rect = {};  // in the parent's client area; on the screen for a top-level window
};
bool DescribeWindow(HWND hwnd, WindowDescription *description);
std::vector<HWND> ChildWindows(HWND parent);

// A text box's content, valid until the owner next runs. resets grows with
// every change that is not an append at the end.
struct TextBoxView {
    std::string_view text;
    size_t anchor = 0, caret = 0;
    uint64_t resets = 0;
};
bool ViewTextBox(HWND hwnd, TextBoxView *view);

// The default character format set on a rich edit box, or null if none was.
const CHARFORMATA *DefaultCharFormat(HWND richEdit);
// Increases with every visible change of the window (text, state, layout).
uint64_t WindowVersion(HWND hwnd);

}  // namespace w32

#endif
