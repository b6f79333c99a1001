// grab_screen: saves a rectangle of the X screen as a PNG, for the README's
// screenshot (tools/screenshot) and for looking at the window by hand.
//   grab_screen OUT.png [X Y WIDTH HEIGHT]    the whole screen without a rectangle
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 6) {
        fprintf(stderr, "usage: grab_screen OUT.png [X Y WIDTH HEIGHT]\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        fprintf(stderr, "grab_screen: no screen\n");
        return 1;
    }
    const QPixmap shot = argc == 6 ? screen->grabWindow(0, atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]))
                                   : screen->grabWindow(0);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        fprintf(stderr, "grab_screen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
