// frontend.cpp: the on-screen front end (see frontend.h).
#include "display/frontend.h"

#include "display/mirror.h"
#include "display/textmap.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QThread>

#include <cstdio>

namespace w32 {

DisplayFrontEnd::DisplayFrontEnd() : dispatcher_(QAbstractEventDispatcher::instance(QThread::currentThread()))
{
}

DisplayFrontEnd::~DisplayFrontEnd() = default;

void DisplayFrontEnd::Wait()
{
    dispatcher_->processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

void DisplayFrontEnd::Wake()
{
    dispatcher_->wakeUp();
}

WindowMirror *DisplayFrontEnd::MirrorOf(HWND hwnd)
{
    auto found = mirrors_.find(hwnd);
    return found != mirrors_.end() ? found->second.get() : nullptr;
}

QWidget *DisplayFrontEnd::WidgetOf(HWND hwnd)
{
    WindowMirror *mirror = MirrorOf(hwnd);
    return mirror != nullptr ? mirror->Window() : nullptr;
}

std::string DisplayFrontEnd::ClipboardText()
{
    return DisplayToBytes(QApplication::clipboard()->text(), true);
}

void DisplayFrontEnd::SetClipboardText(const std::string &text)
{
    QApplication::clipboard()->setText(BytesToDisplay(text));
}

void DisplayFrontEnd::TopLevelCreated(HWND hwnd)
{
    mirrors_[hwnd] = std::make_unique<WindowMirror>(hwnd);
}

void DisplayFrontEnd::TopLevelDestroying(HWND hwnd)
{
    mirrors_.erase(hwnd);
}

int DisplayFrontEnd::ShowMessageBox(HWND owner, const std::string &text, const std::string &caption, UINT)
{
    QMessageBox box(QMessageBox::NoIcon, BytesToDisplay(caption), BytesToDisplay(text), QMessageBox::Ok, WidgetOf(owner));
    // A modal loop of the platform's serves the other threads' messages.
    ReleaseOwnLockWhile([&] { box.exec(); });
    return IDOK;
}

bool DisplayFrontEnd::BrowseForItem(HWND owner, const std::string &title, UINT, std::string *path)
{
    QFileDialog dialog(WidgetOf(owner), BytesToDisplay(title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    int result = QDialog::Rejected;
    ReleaseOwnLockWhile([&] { result = dialog.exec(); });
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    *path = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    return true;
}

void DisplayFrontEnd::Animate(HWND hwnd, DWORD milliseconds, DWORD flags)
{
    WindowMirror *mirror = MirrorOf(hwnd);
    if (mirror == nullptr || mirror->Window() == nullptr || !mirror->Window()->isVisible())
        return;
    // A slide: the window moves along the flags' direction and fades out.
    QWidget *window = mirror->Window();
    const QPoint start = window->pos();
    const int dx = (flags & AW_HOR_POSITIVE) ? 1 : (flags & AW_HOR_NEGATIVE) ? -1 : 0;
    const int dy = (flags & AW_VER_POSITIVE) ? 1 : (flags & AW_VER_NEGATIVE) ? -1 : 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < static_cast<qint64>(milliseconds)) {
        const double t = static_cast<double>(clock.elapsed()) / milliseconds;
        const double progress = (flags & AW_HIDE) ? t : 1.0 - t;
        window->move(start + QPoint(static_cast<int>(dx * progress * window->width()),
                                    static_cast<int>(dy * progress * window->height())));
        window->setWindowOpacity(1.0 - progress);
        QApplication::processEvents(QEventLoop::AllEvents, 16);
        QThread::msleep(8);
    }
    window->move(start);
    window->setWindowOpacity(1.0);
}

int RunOnScreen(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        fprintf(stderr, "%s: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n",
                argv[0]);
        return 1;
    }
    QApplication application(argc, argv);
    InstallDisplayFrontEnd();
    return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char *>(""), SW_SHOWNORMAL);
}

DisplayFrontEnd *InstallDisplayFrontEnd()
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        SetDesktopSize(screen->geometry().width(), screen->geometry().height());
    // Never deleted: the program's threads may call in until the process ends.
    auto *frontEnd = new DisplayFrontEnd;
    SetFrontEnd(frontEnd);
    SetMessageWaiter(frontEnd);
    return frontEnd;
}

}  // namespace w32
