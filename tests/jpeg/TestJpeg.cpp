// The JPEG codec: what it writes, what it decodes, and that bad data of every kind comes back
// as an error text instead of an image, a crash or an exit.

#include "JpegMarkers.h"
#include "platform/jpeg/Jpeg.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

#include <jpeglib.h>

#include <cstdlib>

namespace {

// A picture with detail everywhere, so that every cut through its data lands in the scan.
QImage samplePicture()
{
    QImage image(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 95, y * 255 / 63, (x * y) % 256));
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(0, 0, 95, 63);
    painter.fillRect(40, 10, 16, 16, Qt::white);
    return image;
}

const QByteArray &sampleJpeg()
{
    static const QByteArray data = jpeg::encode(samplePicture(), 92).data;
    return data;
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

QByteArray randomBytes(quint32 seed, int size)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// A white picture written with one scan per component (DC only when progressive), the form
// in which a scan can be repeated without the data looking damaged to libjpeg.
QByteArray componentScans(int side, bool arithmetic, bool progressive)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(side);
    cinfo.image_height = JDIMENSION(side);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    cinfo.arith_code = arithmetic ? TRUE : FALSE;
    jpeg_scan_info scans[3];
    for (int c = 0; c < 3; ++c)
        scans[c] = {1, {c, 0, 0, 0}, 0, progressive ? 0 : 63, 0, 0};
    cinfo.scan_info = scans;
    cinfo.num_scans = 3;
    jpeg_start_compress(&cinfo, TRUE);
    QByteArray row(qsizetype(side) * 3, char(0xFF));
    while (cinfo.next_scanline < cinfo.image_height) {
        auto *line = reinterpret_cast<JSAMPROW>(row.data());
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray data(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return data;
}

// The same data with the scan of the first component (its SOS segment and entropy-coded data)
// there `times` times in all.
QByteArray withFirstScanRepeated(const QByteArray &data, int times)
{
    const qsizetype first = data.indexOf("\xFF\xDA");
    const qsizetype second = data.indexOf("\xFF\xDA", first + 2);
    if (first < 0 || second < 0)
        return {};
    return data.left(second) + data.mid(first, second - first).repeated(times - 1)
        + data.mid(second);
}

} // namespace

class TestJpeg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodesBaselineWithThreeComponents();
    void roundTripKeepsThePicture();
    void decodesGreyAndProgressive();
    void refusesBadData_data();
    void refusesBadData();
    void refusesHugeDimensions_data();
    void refusesHugeDimensions();
    void boundsTheScans_data();
    void boundsTheScans();
    void encodeRefusesBadInput();
};

void TestJpeg::encodesBaselineWithThreeComponents()
{
    const QByteArray &data = sampleJpeg();
    QVERIFY(!data.isEmpty());
    QVERIFY(data.startsWith("\xFF\xD8\xFF\xE0")); // SOI, then the JFIF segment
    QCOMPARE(data.mid(6, 5), QByteArray("JFIF\0", 5));
    QVERIFY(data.endsWith("\xFF\xD9"));
    const FrameHeader header = frameHeader(data);
    QCOMPARE(header.marker, 0xC0);
    QCOMPARE(header.precision, 8);
    QCOMPARE(header.width, 96);
    QCOMPARE(header.height, 64);
    QCOMPARE(header.components, 3);
}

void TestJpeg::roundTripKeepsThePicture()
{
    const jpeg::Decoded decoded = jpeg::decode(sampleJpeg());
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QVERIFY(decoded.error.isEmpty());
    QCOMPARE(decoded.image.format(), QImage::Format_RGB888);
    QCOMPARE(decoded.image.size(), QSize(96, 64));

    // Quality 92 without chroma subsampling: every pixel stays close, the sharp white square
    // included, and Qt's own reader of the same bytes agrees with ours.
    const QImage original = samplePicture();
    const QImage qt = QImage::fromData(sampleJpeg()).convertToFormat(QImage::Format_RGB888);
    int worst = 0;
    int worstAgainstQt = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 96; ++x) {
            worst
                = std::max(worst, channelDistance(decoded.image.pixel(x, y), original.pixel(x, y)));
            worstAgainstQt = std::max(worstAgainstQt,
                                      channelDistance(decoded.image.pixel(x, y), qt.pixel(x, y)));
        }
    }
    QVERIFY2(worst <= 48, qPrintable(QString::number(worst)));
    QVERIFY2(worstAgainstQt <= 2, qPrintable(QString::number(worstAgainstQt)));
    QVERIFY(channelDistance(decoded.image.pixel(48, 14), qRgb(255, 255, 255)) <= 12);
}

void TestJpeg::decodesGreyAndProgressive()
{
    // Written by Qt's writer, so that our reader also meets data it did not write itself.
    QImage grey(40, 30, QImage::Format_Grayscale8);
    grey.fill(100);
    QByteArray greyData;
    {
        QBuffer buffer(&greyData);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(grey.save(&buffer, "JPG", 95));
    }
    QCOMPARE(frameHeader(greyData).components, 1);
    const jpeg::Decoded fromGrey = jpeg::decode(greyData);
    QVERIFY2(fromGrey.ok(), qPrintable(fromGrey.error));
    QCOMPARE(fromGrey.image.format(), QImage::Format_RGB888);
    const QRgb middle = fromGrey.image.pixel(20, 15);
    QVERIFY(std::abs(qRed(middle) - 100) <= 2);
    QCOMPARE(qRed(middle), qGreen(middle));
    QCOMPARE(qGreen(middle), qBlue(middle));

    QByteArray progressive;
    {
        QBuffer buffer(&progressive);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "JPG");
        writer.setQuality(90);
        writer.setProgressiveScanWrite(true);
        QVERIFY(writer.write(samplePicture()));
    }
    QCOMPARE(frameHeader(progressive).marker, 0xC2);
    const jpeg::Decoded fromProgressive = jpeg::decode(progressive);
    QVERIFY2(fromProgressive.ok(), qPrintable(fromProgressive.error));
    QCOMPARE(fromProgressive.image.size(), QSize(96, 64));
}

void TestJpeg::refusesBadData_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("errorPart"); // a word the error text must contain

    const QByteArray &good = sampleJpeg();
    const qsizetype scan = firstScanData(good);
    QVERIFY(scan > 0);

    QTest::newRow("empty") << QByteArray() << QStringLiteral("no JPEG data");
    QTest::newRow("text") << QByteArray("this is not a picture") << QStringLiteral("not JPEG");
    QTest::newRow("png signature")
        << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << QStringLiteral("not JPEG");
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8\xFF", 3) << QString();
    QTest::newRow("start and end only") << QByteArray("\xFF\xD8\xFF\xD9", 4) << QString();

    // Cut points: inside the headers, at the start of the scan, in it, and just before the
    // end marker, where all pixels are there but the data ends early.
    const qsizetype cuts[] = {4,
                              20,
                              scan - 1,
                              scan,
                              scan + 10,
                              (scan + good.size()) / 2,
                              good.size() - 40,
                              good.size() - 2};
    for (const qsizetype cut : cuts)
        QTest::addRow("truncated at %lld of %lld", qlonglong(cut), qlonglong(good.size()))
            << good.left(cut) << QString();

    // Damage that libjpeg decodes around with a warning: refused all the same.
    QByteArray endInScan = good;
    endInScan.replace(scan + 100, 2, "\xFF\xD9");
    QTest::newRow("end marker inside the scan") << endInScan << QStringLiteral("warning");
    QByteArray strayRestart = good;
    strayRestart.replace(scan + 100, 2, "\xFF\xD3");
    QTest::newRow("stray restart marker") << strayRestart << QStringLiteral("warning");
    QByteArray junkBeforeScan = good;
    junkBeforeScan.insert(frameHeader(good).offset, QByteArray("junk"));
    QTest::newRow("junk between segments") << junkBeforeScan << QStringLiteral("warning");

    // Damage to the headers: fatal errors.
    QByteArray twelveBit = good;
    twelveBit[frameHeader(good).offset + 4] = char(12);
    QTest::newRow("12-bit precision") << twelveBit << QStringLiteral("damaged");
    QByteArray noComponents = good;
    noComponents[frameHeader(good).offset + 9] = char(0);
    QTest::newRow("no components") << noComponents << QStringLiteral("damaged");
    QTest::newRow("zero size") << withSize(good, 0, 0) << QStringLiteral("damaged");

    for (const quint32 seed : {1u, 2u, 3u}) {
        QTest::addRow("random %u", seed) << randomBytes(seed, 4096) << QString();
        QTest::addRow("random after a start marker %u", seed)
            << QByteArray("\xFF\xD8\xFF", 3) + randomBytes(seed, 4096) << QString();
        QByteArray scrambledScan = good;
        const QByteArray noise = randomBytes(seed, 200);
        scrambledScan.replace(scan + 50, noise.size(), noise);
        QTest::addRow("random scan data %u", seed) << scrambledScan << QString();
    }
}

void TestJpeg::refusesBadData()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, errorPart);
    const jpeg::Decoded decoded = jpeg::decode(data);
    QVERIFY(!decoded.ok());
    QVERIFY(decoded.image.isNull());
    QVERIFY(!decoded.error.isEmpty());
    if (!errorPart.isEmpty())
        QVERIFY2(decoded.error.contains(errorPart), qPrintable(decoded.error));
}

void TestJpeg::refusesHugeDimensions_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("too wide") << 8193 << 16;
    QTest::newRow("too high") << 16 << 8193;
    QTest::newRow("near the largest libjpeg takes") << 60000 << 60000;
    QTest::newRow("too many pixels, sides within bounds") << 5000 << 5000;
}

void TestJpeg::refusesHugeDimensions()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const QByteArray huge = withSize(sampleJpeg(), width, height);
    QCOMPARE(frameHeader(huge).width, width);
    const jpeg::Decoded decoded = jpeg::decode(huge);
    QVERIFY(!decoded.ok());
    QVERIFY2(decoded.error.contains(QStringLiteral("too large")), qPrintable(decoded.error));
    QVERIFY2(decoded.error.contains(QStringLiteral("%1 x %2").arg(width).arg(height)),
             qPrintable(decoded.error));
}

void TestJpeg::boundsTheScans_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("error"); // empty: decodes

    // Each repeated scan is a pass over the whole image for the decoder but costs the data
    // only its few bytes; so many passes are refused before they are made.
    const QByteArray sequential = componentScans(64, false, false);
    const QByteArray arithmetic = componentScans(64, true, false);
    const QByteArray progressive = componentScans(64, true, true);
    QTest::newRow("sequential, one scan per component") << sequential << QString();
    QTest::newRow("sequential, a component in two scans")
        << withFirstScanRepeated(sequential, 2) << QStringLiteral("more than 3 scans");
    QTest::newRow("sequential arithmetic, one scan per component") << arithmetic << QString();
    QTest::newRow("sequential arithmetic, a component in 1000 scans")
        << withFirstScanRepeated(arithmetic, 1000) << QStringLiteral("more than 3 scans");
    QTest::newRow("progressive, 256 scans") << withFirstScanRepeated(progressive, 254) << QString();
    QTest::newRow("progressive, 257 scans")
        << withFirstScanRepeated(progressive, 255) << QStringLiteral("more than 256 scans");
}

void TestJpeg::boundsTheScans()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, error);
    QVERIFY(!data.isEmpty());
    const jpeg::Decoded decoded = jpeg::decode(data);
    if (error.isEmpty()) {
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(decoded.image.size(), QSize(64, 64));
        QCOMPARE(decoded.image.pixel(10, 50), qRgb(255, 255, 255));
    } else {
        QVERIFY(!decoded.ok());
        QVERIFY2(decoded.error.contains(error), qPrintable(decoded.error));
    }
}

void TestJpeg::encodeRefusesBadInput()
{
    QVERIFY(!jpeg::encode(QImage()).ok());
    QVERIFY(!jpeg::encode(samplePicture(), 0).ok());
    QVERIFY(!jpeg::encode(samplePicture(), 101).ok());
    const jpeg::Encoded refused = jpeg::encode(QImage(), 92);
    QVERIFY(refused.data.isEmpty());
    QVERIFY(!refused.error.isEmpty());
}

QTEST_GUILESS_MAIN(TestJpeg)
#include "TestJpeg.moc"
