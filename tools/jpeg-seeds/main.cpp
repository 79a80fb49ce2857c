// Writes the seed corpus of the jpeg-decode fuzz target: the four committed diagrams, and
// small variants of them in the forms the decoder must also take or refuse cleanly (grey and
// progressive written by Qt's writer, arithmetic coding, restart markers with subsampled
// chroma, odd sizes, data cut short). Not run by the build: the seeds are committed, and
// `cmake --build build --target regenerate-jpeg-seeds` writes them again.
//
//   jointrix-jpeg-seeds PICTURES_DIR OUTPUT_DIR

#include "platform/jpeg/Jpeg.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "jointrix-jpeg-seeds: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%lld bytes)\n", qPrintable(path), static_cast<long long>(data.size()));
    return true;
}

QByteArray qtJpeg(const QImage &image, bool progressive)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPG");
    writer.setQuality(75);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? data : QByteArray();
}

struct Coding
{
    bool arithmetic = false;
    unsigned restartInterval = 0; // in MCUs
    int chromaSubsampling = 1; // 1: 4:4:4, 2: 4:2:2, 4: 4:2:0
};

// Codings that neither our encoder nor Qt's writer produces, straight from libjpeg. libjpeg's
// default error handler ends the program on an error, which suits a generator run by hand.
QByteArray libjpegJpeg(const QImage &source, const Coding &coding)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 60, TRUE);
    cinfo.arith_code = coding.arithmetic ? TRUE : FALSE;
    cinfo.restart_interval = coding.restartInterval;
    cinfo.comp_info[0].h_samp_factor = coding.chromaSubsampling >= 2 ? 2 : 1;
    cinfo.comp_info[0].v_samp_factor = coding.chromaSubsampling >= 4 ? 2 : 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto *row = const_cast<JSAMPROW>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray data(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return data;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: jointrix-jpeg-seeds PICTURES_DIR OUTPUT_DIR\n");
        return 2;
    }
    const QDir pictures(QString::fromLocal8Bit(argv[1]));
    const QDir output(QString::fromLocal8Bit(argv[2]));
    if (!output.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "jointrix-jpeg-seeds: cannot make %s\n", argv[2]);
        return 1;
    }

    bool ok = true;
    QImage diagrams[4];
    for (int n = 0; n < 4; ++n) {
        const QString name = QStringLiteral("JPG%1.jpg").arg(n + 1);
        QFile file(pictures.filePath(name));
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const jpeg::Decoded decoded = jpeg::decode(data);
        if (!decoded.ok()) {
            std::fprintf(stderr, "jointrix-jpeg-seeds: %s: %s\n", qPrintable(name),
                         qPrintable(decoded.error));
            return 1;
        }
        diagrams[n] = decoded.image;
        ok &= writeFile(output.filePath(name), data);
    }

    // Small, so that the fuzzer gets through many of them a second.
    const auto small = [](const QImage &image, int width, int height) {
        return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const QImage grey = small(diagrams[0], 48, 48).convertToFormat(QImage::Format_Grayscale8);
    ok &= writeFile(output.filePath(QStringLiteral("grey-qt.jpg")), qtJpeg(grey, false));
    ok &= writeFile(output.filePath(QStringLiteral("progressive-qt.jpg")),
                    qtJpeg(small(diagrams[1], 48, 48), true));
    ok &= writeFile(output.filePath(QStringLiteral("progressive-grey-qt.jpg")),
                    qtJpeg(small(grey, 24, 24), true));
    ok &= writeFile(output.filePath(QStringLiteral("arithmetic-420.jpg")),
                    libjpegJpeg(small(diagrams[2], 40, 40), {true, 0, 4}));
    ok &= writeFile(output.filePath(QStringLiteral("restart-422.jpg")),
                    libjpegJpeg(small(diagrams[3], 40, 24), {false, 2, 2}));
    ok &= writeFile(output.filePath(QStringLiteral("odd-size-17x9.jpg")),
                    jpeg::encode(small(diagrams[0], 17, 9), 50).data);
    ok &= writeFile(output.filePath(QStringLiteral("one-pixel.jpg")),
                    jpeg::encode(small(diagrams[1], 1, 1), 50).data);
    const QByteArray whole = jpeg::encode(small(diagrams[2], 32, 32), 50).data;
    ok &= writeFile(output.filePath(QStringLiteral("truncated-half.jpg")),
                    whole.left(whole.size() / 2));
    return ok ? 0 : 1;
}
