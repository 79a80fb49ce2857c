// Draws the calculator window's pictures and writes them in the forms the module embeds:
// the four diagrams as baseline JPEGs, the two button glyph strips as 16-colour bitmaps and
// the window icon as a 256-colour icon. With --preview DIR it also writes enlarged PNG copies
// there, for looking at.
//
//   jointrix-pictures OUTPUT_DIR [--preview DIR]

#include "Bitmaps.h"
#include "Diagrams.h"
#include "platform/jpeg/Jpeg.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "jointrix-pictures: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%lld bytes)\n", qPrintable(path), static_cast<long long>(data.size()));
    return true;
}

void preview(const QString &folder, const QString &name, const QImage &image, int scale)
{
    if (folder.isEmpty())
        return;
    QImage shown = image.convertToFormat(QImage::Format_ARGB32);
    if (scale > 1)
        shown = shown.scaled(image.size() * scale, Qt::KeepAspectRatio, Qt::FastTransformation);
    shown.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = QGuiApplication::arguments().mid(1);
    QString previewDir;
    const qsizetype p = args.indexOf(QStringLiteral("--preview"));
    if (p >= 0 && p + 1 < args.size()) {
        previewDir = args.at(p + 1);
        args.remove(p, 2);
        QDir().mkpath(previewDir);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: jointrix-pictures OUTPUT_DIR [--preview DIR]\n");
        return 2;
    }
    const QDir out(args.first());
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "jointrix-pictures: cannot make %s\n", qPrintable(out.path()));
        return 1;
    }

    bool ok = true;
    const pictures::Joint joints[] = {pictures::Joint::SingleFillet, pictures::Joint::DoubleFillet,
                                      pictures::Joint::Butt, pictures::Joint::Lap};
    int number = 1;
    for (const pictures::Joint joint : joints) {
        const QString name = QStringLiteral("JPG%1").arg(number++);
        const QImage image = pictures::diagram(joint);
        const jpeg::Encoded encoded = jpeg::encode(image, 92);
        if (!encoded.ok()) {
            std::fprintf(stderr, "jointrix-pictures: %s: %s\n", qPrintable(name),
                         qPrintable(encoded.error));
            ok = false;
            continue;
        }
        ok = writeFile(out.filePath(name + QStringLiteral(".jpg")), encoded.data) && ok;
        // Preview what the module will show: the decoded JPEG, not the drawing.
        preview(previewDir, name, jpeg::decode(encoded.data).image, 3);
    }

    const QImage okGlyph = pictures::okGlyph();
    const QImage exitGlyph = pictures::exitGlyph();
    ok = writeFile(out.filePath(QStringLiteral("GLYPH_OK.bmp")), pictures::indexedBmp(okGlyph, 4))
        && ok;
    ok = writeFile(out.filePath(QStringLiteral("GLYPH_EXIT.bmp")),
                   pictures::indexedBmp(exitGlyph, 4))
        && ok;
    preview(previewDir, QStringLiteral("GLYPH_OK"), okGlyph, 12);
    preview(previewDir, QStringLiteral("GLYPH_EXIT"), exitGlyph, 12);

    const QImage icon = pictures::icon();
    const QByteArray iconFile = pictures::icon256(icon);
    ok = writeFile(out.filePath(QStringLiteral("ICON.ico")), iconFile) && ok;
    preview(previewDir, QStringLiteral("ICON"), QImage::fromData(iconFile, "ICO"), 10);

    return ok ? 0 : 1;
}
