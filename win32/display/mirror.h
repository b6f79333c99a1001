// mirror.h: one top-level window of the stand-in shown as Qt widgets. The
// stand-in's state stays the truth: a frame timer copies what changed into the
// widgets, coalesced at screen pace, and the person's mouse and keyboard reach
// the controls as the messages the platform's own controls would get.
#ifndef W32_DISPLAY_MIRROR_H
#define W32_DISPLAY_MIRROR_H

#include <windows.h>

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>
#include <string>

namespace w32 {

class WindowMirror : public QObject {
public:
    explicit WindowMirror(HWND topLevel);
    ~WindowMirror() override;

    HWND TopLevel() const { return topLevel_; }
    QWidget *Window() const { return window_; }

    // Brings every widget up to date now.
    void Sync();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Control;
    struct Snapshot;

    Control *Make(HWND hwnd, const std::string &className, DWORD style, int id);
    void Collect(std::map<HWND, Snapshot> *snapshots);
    void Apply(Control &control, const Snapshot &snapshot);
    void PostModifiers(Qt::KeyboardModifiers now);
    bool KeyEvent(QEvent *event);
    bool MouseEvent(HWND target, Control *control, QEvent *event);

    HWND topLevel_;
    QPointer<QWidget> window_;
    QTimer frame_;
    std::map<HWND, std::unique_ptr<Control>> controls_;
    std::map<QObject *, HWND> byWidget_;
    uint64_t topVersion_ = ~uint64_t{0};
    Qt::KeyboardModifiers modifiers_;  // the modifier keys the stand-in was told are down
};

}  // namespace w32

#endif
