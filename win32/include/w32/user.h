// w32/user.h: the window manager's side doors, for the headless driver, the
// on-screen front end and tests. The program itself never includes this.
#ifndef W32_USER_H
#define W32_USER_H

#include <windows.h>
#include <richedit.h>

#include <functional>
#include <string>

namespace w32 {

// Runs fn on the thread that owns hwnd, from inside its message loop; with
// wait, returns once it has run. False when the window does not exist.
bool InvokeOnOwner(HWND hwnd, std::function<void()> fn, bool wait);
// Runs fn acting as the owner of hwnd (under its lock, so serialised with it),
// on the calling thread. False when the window does not exist.
bool RunAsOwner(HWND hwnd, const std::function<void()> &fn);
// Queues an input message (mouse, keyboard, drop) for hwnd's owner thread.
bool PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// What the platform shows in windows of its own. The headless front end
// answers from a script; the on-screen one asks the person.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    virtual int ShowMessageBox(HWND owner, const std::string &text, const std::string &caption, UINT type) = 0;
    // True with a path when the person picked an item, false on cancel.
    virtual bool BrowseForItem(HWND owner, const std::string &title, UINT flags, std::string *path) = 0;
    // Called after the window is hidden or shown; may take the animation's time.
    virtual void Animate(HWND hwnd, DWORD milliseconds, DWORD flags) = 0;
    // A top-level window was created or is about to be destroyed.
    virtual void TopLevelCreated(HWND) {}
    virtual void TopLevelDestroying(HWND) {}
};
void SetFrontEnd(FrontEnd *frontEnd);
FrontEnd &CurrentFrontEnd();

// The desktop's size in pixels (1024 x 768 unless set, or W32_DESKTOP=WxH).
void SetDesktopSize(int width, int height);

// The top-level dialog in its modal loop, or null.
HWND CurrentDialog();
// A child of parent by window class name, or null.
HWND FindChildByClass(HWND parent, const char *className);
// The window's class name.
std::string WindowClassName(HWND hwnd);
// The default character format set on a rich edit box, or null if none was.
const CHARFORMATA *DefaultCharFormat(HWND richEdit);
// Increases with every visible change of the window (text, state, layout).
uint64_t WindowVersion(HWND hwnd);

}  // namespace w32

#endif
