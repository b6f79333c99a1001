// icon_pngs: the icon resource (ui/bytescribe.ico) as the PNG files a Linux
// desktop's icon theme wants, one per size, so launchers show the same icon
// as the window.
//   icon_pngs ICON OUTDIR SIZE...   writes OUTDIR/SIZE.png for each SIZE
// Each size comes from the icon's largest image: scaled down smoothly, or up
// by whole multiples pixel for pixel, so the drawing's edges stay sharp.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);  // the image format plugins
    if (argc < 4) {
        fprintf(stderr, "usage: icon_pngs ICON OUTDIR SIZE...\n");
        return 2;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    QImage largest;
    do {
        QImage image = reader.read();
        if (!image.isNull() && image.width() > largest.width())
            largest = image;
    } while (reader.jumpToNextImage());
    if (largest.isNull()) {
        fprintf(stderr, "icon_pngs: cannot read %s: %s\n", argv[1], qPrintable(reader.errorString()));
        return 1;
    }
    largest = largest.convertToFormat(QImage::Format_ARGB32);
    for (int i = 3; i < argc; i++) {
        const int size = atoi(argv[i]);
        if (size <= 0) {
            fprintf(stderr, "icon_pngs: not a size: %s\n", argv[i]);
            return 2;
        }
        const Qt::TransformationMode mode =
            size % largest.width() == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
        const QImage scaled = largest.scaled(size, size, Qt::IgnoreAspectRatio, mode);
        const QString path = QString::fromLocal8Bit(argv[2]) + "/" + QString::number(size) + ".png";
        if (!scaled.save(path, "PNG")) {
            fprintf(stderr, "icon_pngs: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
