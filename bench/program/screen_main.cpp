// screen_main.cpp: bytescribe-bench-screen, one case played on the real
// program in its window (the runner starts it under Xvfb). Clicks go to the
// widgets as a person's would, through Qt's event queue.
#include "bench/program/play.h"

#include "display/frontend.h"
#include "display/mirror.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace bench {

namespace {

w32::DisplayFrontEnd *g_frontEnd = nullptr;

}  // namespace

void ClickControl(HWND dialog, int id)
{
    QMetaObject::invokeMethod(qApp, [dialog, id] {
        QWidget *widget = g_frontEnd->MirrorOf(dialog)->Window()->findChild<QWidget *>(QString::number(id));
        if (widget == nullptr)
            return;
        const QPointF at = QRectF(widget->rect()).center();
        const QPointF global = widget->mapToGlobal(at);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QCoreApplication::postEvent(widget, new QMouseEvent(type, at, global, Qt::LeftButton, buttons, Qt::NoModifier));
        }
    }, Qt::QueuedConnection);
}

}  // namespace bench

int main(int argc, char **argv)
{
    bench::Case c;
    if (!bench::ParseCase(argc, argv, &c)) {
        fprintf(stderr, "usage: %s list little|big|asm FILE | decode FILE\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    bench::g_frontEnd = w32::InstallDisplayFrontEnd();
    std::thread player([c] {
        bench::PlayCase(c);
        _exit(0);
    });
    player.detach();
    WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char *>(""), SW_SHOWNORMAL);
    for (;;)
        pause();
}
