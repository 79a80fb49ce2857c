// The window's committed pictures as the module embeds them, and the lookup of raw data
// resources by name.

#include "JpegMarkers.h"
#include "platform/jpeg/Jpeg.h"
#include "platform/resource/Resource.h"
#include "support/ResourceOverrides.h"

#include <QFile>
#include <QSet>
#include <QTest>
#include <QtEndian>

namespace {

const QRgb Olive = qRgb(128, 128, 0);

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint16 u16(const QByteArray &data, int offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

quint32 u32(const QByteArray &data, int offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

bool isWhite(QRgb c)
{
    return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235;
}
bool isBlack(QRgb c)
{
    return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60;
}
bool isGreen(QRgb c)
{
    return qGreen(c) > 100 && qGreen(c) - qRed(c) > 60 && qGreen(c) - qBlue(c) > 60;
}

QSet<QRgb> coloursIn(const QImage &image, const QRect &area)
{
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            colours.insert(image.pixel(x, y) | 0xFF000000u);
    return colours;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { resource::clearRawDataOverrides(); }

    void diagrams_data();
    void diagrams();
    void diagramsDiffer();
    void glyphs_data();
    void glyphs();
    void icon();
    void lookupIgnoresLetterCase_data();
    void lookupIgnoresLetterCase();
    void unknownNamesFindNothing_data();
    void unknownNamesFindNothing();
    void overrideReplacesOneResource();
};

void TestPictures::diagrams_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"JPG1", "JPG2", "JPG3", "JPG4"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestPictures::diagrams()
{
    QFETCH(QString, name);
    const std::optional<QByteArray> data = resource::rawData(name);
    QVERIFY(data.has_value());

    const FrameHeader header = frameHeader(*data);
    QCOMPARE(header.marker, 0xC0); // baseline
    QCOMPARE(header.components, 3);
    QCOMPARE(data->mid(6, 5), QByteArray("JFIF\0", 5));

    const jpeg::Decoded decoded = jpeg::decode(*data);
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QCOMPARE(decoded.image.size(), QSize(200, 200));
    QCOMPARE(decoded.image.format(), QImage::Format_RGB888);

    // Black on white with green weld symbols: mostly white paper, real amounts of black
    // and green, and the paper's edge left clear.
    int white = 0;
    int black = 0;
    int green = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            const QRgb c = decoded.image.pixel(x, y);
            white += isWhite(c);
            black += isBlack(c);
            green += isGreen(c);
        }
    }
    QVERIFY2(white > 200 * 200 / 2, qPrintable(QString::number(white)));
    QVERIFY2(black > 600, qPrintable(QString::number(black)));
    QVERIFY2(green > 150, qPrintable(QString::number(green)));
    for (int i = 0; i < 200; ++i) {
        QVERIFY(isWhite(decoded.image.pixel(i, 0)));
        QVERIFY(isWhite(decoded.image.pixel(0, i)));
        QVERIFY(isWhite(decoded.image.pixel(i, 199)));
    }
}

void TestPictures::diagramsDiffer()
{
    QList<QImage> images;
    for (int i = 1; i <= 4; ++i)
        images.append(
            jpeg::decode(resource::rawData(QStringLiteral("JPG%1").arg(i)).value()).image);
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            QVERIFY2(images[i] != images[j], qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
}

void TestPictures::glyphs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QRgb>("mark"); // the colour the normal look is drawn in
    QTest::newRow("BtnOk") << QStringLiteral("GLYPH_OK.bmp") << qRgb(0, 128, 0);
    QTest::newRow("BitBtn2") << QStringLiteral("GLYPH_EXIT.bmp") << qRgb(255, 0, 0);
}

void TestPictures::glyphs()
{
    QFETCH(QString, file);
    QFETCH(QRgb, mark);
    const QByteArray data = readFile(QStringLiteral(":/jointrix/images/") + file);
    QVERIFY(data.size() > 54);

    // A plain bitmap file of 36 x 18 pixels at 4 bits a pixel with its 16-colour palette.
    QCOMPARE(data.left(2), QByteArray("BM"));
    QCOMPARE(u32(data, 2), quint32(data.size()));
    QCOMPARE(u32(data, 14), 40u);
    QCOMPARE(u32(data, 18), 36u);
    QCOMPARE(u32(data, 22), 18u);
    QCOMPARE(u16(data, 28), quint16(4));
    QCOMPARE(u32(data, 30), 0u); // uncompressed

    QImage image;
    QVERIFY(image.loadFromData(data, "BMP"));
    QCOMPARE(image.size(), QSize(36, 18));
    QVERIFY(image.colorCount() <= 16);
    QCOMPARE(image.pixel(0, 17) | 0xFF000000u, Olive); // taken as transparent by the button
    QCOMPARE(image.pixel(18, 17) | 0xFF000000u, Olive);

    const QSet<QRgb> normal = coloursIn(image, QRect(0, 0, 18, 18));
    QVERIFY(normal.contains(Olive));
    QVERIFY(normal.contains(mark));
    // The disabled look: the same shape, grey with white, nothing else on the olive.
    const QSet<QRgb> disabled = coloursIn(image, QRect(18, 0, 18, 18));
    QCOMPARE(disabled, QSet<QRgb>({Olive, qRgb(128, 128, 128), qRgb(255, 255, 255)}));
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            QCOMPARE(image.pixel(x, y) == image.pixel(0, 17),
                     image.pixel(x + 18, y) == image.pixel(0, 17)
                         || image.pixel(x + 18, y) == qRgb(255, 255, 255));
}

void TestPictures::icon()
{
    const QByteArray data = readFile(QStringLiteral(":/jointrix/images/ICON.ico"));
    QVERIFY(data.size() > 22 + 40);
    // One 32 x 32 image of 8 bits a pixel with a 256-colour palette.
    QCOMPARE(u16(data, 0), quint16(0));
    QCOMPARE(u16(data, 2), quint16(1));
    QCOMPARE(u16(data, 4), quint16(1));
    QCOMPARE(int(uchar(data[6])), 32);
    QCOMPARE(int(uchar(data[7])), 32);
    QCOMPARE(u16(data, 12), quint16(8));
    const int image = int(u32(data, 18));
    QCOMPARE(u16(data, image + 14), quint16(8));
    QCOMPARE(u32(data, image + 32), 256u);

    QImage icon;
    QVERIFY(icon.loadFromData(data, "ICO"));
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(icon.hasAlphaChannel());
    QCOMPARE(qAlpha(icon.pixel(0, 31)), 0); // the corners are see-through
    QCOMPARE(qAlpha(icon.pixel(31, 0)), 0);
    // A grey body around a green screen.
    QVERIFY(isGreen(icon.pixel(15, 8)));
    const QRgb body = icon.pixel(8, 28);
    QCOMPARE(qAlpha(body), 255);
    QVERIFY(qAbs(qRed(body) - qGreen(body)) < 8 && qAbs(qGreen(body) - qBlue(body)) < 8);
}

void TestPictures::lookupIgnoresLetterCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");
    QTest::newRow("as stored") << QStringLiteral("JPG1") << QStringLiteral("JPG1");
    QTest::newRow("lower case, as the window asks")
        << QStringLiteral("jpg1") << QStringLiteral("JPG1");
    QTest::newRow("mixed") << QStringLiteral("jPg3") << QStringLiteral("JPG3");
    QTest::newRow("last") << QStringLiteral("jpg4") << QStringLiteral("JPG4");
}

void TestPictures::lookupIgnoresLetterCase()
{
    QFETCH(QString, name);
    QFETCH(QString, stored);
    const std::optional<QByteArray> data = resource::rawData(name);
    QVERIFY(data.has_value());
    QCOMPARE(*data, readFile(resource::rawDataFolder() + stored));
    QVERIFY(!data->isEmpty());
}

void TestPictures::unknownNamesFindNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("one past the last") << QStringLiteral("jpg5");
    QTest::newRow("no number") << QStringLiteral("jpg");
    QTest::newRow("file name, not resource name") << QStringLiteral("JPG1.jpg");
    QTest::newRow("leading space") << QStringLiteral(" JPG1");
    QTest::newRow("path") << QStringLiteral("../rcdata/JPG1");
    QTest::newRow("absolute") << QStringLiteral(":/jointrix/rcdata/JPG1");
    QTest::newRow("backslash") << QStringLiteral("rcdata\\JPG1");
    QTest::newRow("the form description is not raw data") << QStringLiteral("TFRM_JOINTRIX");
}

void TestPictures::unknownNamesFindNothing()
{
    QFETCH(QString, name);
    QVERIFY(!resource::rawData(name).has_value());
}

void TestPictures::overrideReplacesOneResource()
{
    const QByteArray original = resource::rawData(QStringLiteral("JPG2")).value();
    const QByteArray corrupt = original.left(original.size() / 2);

    resource::setRawDataOverride(QStringLiteral("jpg2"), corrupt);
    QCOMPARE(resource::rawData(QStringLiteral("JPG2")).value(), corrupt);
    QCOMPARE(resource::rawData(QStringLiteral("jpg2")).value(), corrupt);
    QVERIFY(!jpeg::decode(corrupt).ok());
    QCOMPARE(resource::rawData(QStringLiteral("JPG1")).value(),
             readFile(resource::rawDataFolder() + QStringLiteral("JPG1")));

    // Empty is a resource without bytes, not a missing resource.
    resource::setRawDataOverride(QStringLiteral("JPG3"), QByteArray());
    QVERIFY(resource::rawData(QStringLiteral("jpg3")).has_value());
    QVERIFY(resource::rawData(QStringLiteral("jpg3"))->isEmpty());

    resource::clearRawDataOverride(QStringLiteral("Jpg2"));
    QCOMPARE(resource::rawData(QStringLiteral("jpg2")).value(), original);
    QVERIFY(resource::rawData(QStringLiteral("jpg3"))->isEmpty());
    resource::clearRawDataOverrides();
    QVERIFY(!resource::rawData(QStringLiteral("jpg3"))->isEmpty());
}

QTEST_GUILESS_MAIN(TestPictures)
#include "TestPictures.moc"
