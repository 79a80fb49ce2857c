#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

// JPEG in and out of memory through libjpeg. Neither direction ever ends the process: every
// failure of the library comes back as an error text.
namespace jpeg {

// Bounds on what decode() accepts, checked against the header before any pixel is decoded.
inline constexpr int MaxSide = 8192;
inline constexpr qint64 MaxPixels = qint64(16) * 1024 * 1024;
// A progressive image may spread itself over any number of scans; past this many the data is
// taken as hostile rather than decoded for ever. Sequential data may have one scan per
// component and no more.
inline constexpr int MaxScans = 256;

struct Decoded
{
    QImage image; // Format_RGB888, null on failure
    QString error; // empty on success

    bool ok() const { return !image.isNull(); }
};

// Decodes one JFIF/JPEG image with three colour components (greyscale comes out as grey RGB)
// into a 24-bit image. Data that the library can decode only with a warning, such as data
// that ends early, is refused as well: a picture that is partly grey is not a picture.
Decoded decode(QByteArrayView data);

struct Encoded
{
    QByteArray data; // empty on failure
    QString error;

    bool ok() const { return !data.isEmpty(); }
};

// Encodes an image as a baseline JFIF with three components, no chroma subsampling (line
// drawings stay sharp), optimised Huffman tables. quality runs from 1 to 100.
Encoded encode(const QImage &image, int quality = 92);

} // namespace jpeg
