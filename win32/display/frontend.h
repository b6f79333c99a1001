// frontend.h: the on-screen front end: the stand-in's windows as Qt widgets,
// the platform's own dialogs as Qt dialogs, and Qt's event loop run while the
// UI thread waits for messages.
#ifndef W32_DISPLAY_FRONTEND_H
#define W32_DISPLAY_FRONTEND_H

#include <w32/user.h>

#include <QAbstractEventDispatcher>

#include <map>
#include <memory>

namespace w32 {

class WindowMirror;

class DisplayFrontEnd : public FrontEnd, public MessageWaiter {
public:
    DisplayFrontEnd();
    ~DisplayFrontEnd() override;

    int ShowMessageBox(HWND owner, const std::string &text, const std::string &caption, UINT type) override;
    bool BrowseForItem(HWND owner, const std::string &title, UINT flags, std::string *path) override;
    void Animate(HWND hwnd, DWORD milliseconds, DWORD flags) override;
    std::string ClipboardText() override;
    void SetClipboardText(const std::string &text) override;
    void TopLevelCreated(HWND hwnd) override;
    void TopLevelDestroying(HWND hwnd) override;

    void Wait() override;
    void Wake() override;

    // The mirror of a top-level window, for tests that drive its widgets.
    WindowMirror *MirrorOf(HWND hwnd);

private:
    QWidget *WidgetOf(HWND hwnd);

    QAbstractEventDispatcher *dispatcher_;
    std::map<HWND, std::unique_ptr<WindowMirror>> mirrors_;
};

// Makes the calling thread, Qt's GUI thread, the UI thread of the stand-in's
// windows, shown on screen. A QApplication must exist.
DisplayFrontEnd *InstallDisplayFrontEnd();

// Runs the program's WinMain on screen; its result, or 1 without a display.
int RunOnScreen(int argc, char **argv);

}  // namespace w32

#endif
