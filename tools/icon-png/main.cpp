// jointrix-icon-png: the window icon as the PNG an icon theme wants, one size of it.
//
//     jointrix-icon-png ICON.ico SIZE OUTPUT.png
//
// Fails when the icon file holds no image of SIZE x SIZE pixels, so that a redrawn icon of
// other sizes cannot be installed under a size folder it does not fit.

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char **argv)
{
    // The reader of icon files is a Qt plug-in, found through the application's library paths.
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool sizeOk = false;
    const int size = args.size() == 4 ? args[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        std::fprintf(stderr, "usage: jointrix-icon-png ICON.ico SIZE OUTPUT.png\n");
        return 2;
    }

    QImageReader reader(args[1], "ico");
    const int count = reader.imageCount();
    if (count <= 0) {
        std::fprintf(stderr, "jointrix-icon-png: cannot read %s: %s\n", qPrintable(args[1]),
                     qPrintable(reader.errorString()));
        return 1;
    }
    for (int i = 0; i < count && reader.jumpToImage(i); ++i) {
        const QImage image = reader.read();
        if (image.width() == size && image.height() == size) {
            if (image.save(args[3], "PNG"))
                return 0;
            std::fprintf(stderr, "jointrix-icon-png: cannot write %s\n", qPrintable(args[3]));
            return 1;
        }
    }
    std::fprintf(stderr, "jointrix-icon-png: %s has no %dx%d image\n", qPrintable(args[1]), size,
                 size);
    return 1;
}
