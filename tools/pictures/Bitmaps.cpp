#include "Bitmaps.h"

#include <QDataStream>
#include <QHash>
#include <QIODevice>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace pictures {

namespace {

constexpr int Cell = 18;

// The classic 16-colour palette; the glyphs use only a few of these.
const QRgb Black = qRgb(0, 0, 0);
const QRgb Maroon = qRgb(128, 0, 0);
const QRgb Green = qRgb(0, 128, 0);
const QRgb Olive = qRgb(128, 128, 0);
const QRgb Grey = qRgb(128, 128, 128);
const QRgb Silver = qRgb(192, 192, 192);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Lime = qRgb(0, 255, 0);
const QRgb White = qRgb(255, 255, 255);

// Shades a solid shape (drawn in `body` on olive) like a small raised object: its upper-left
// rim in `light`, its lower-right rim in `dark`.
void shade(QImage &cell, QRgb body, QRgb light, QRgb dark)
{
    const QImage shape = cell.copy();
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < Cell && y < Cell && shape.pixel(x, y) == body;
    };
    for (int y = 0; y < Cell; ++y) {
        for (int x = 0; x < Cell; ++x) {
            if (!inside(x, y))
                continue;
            if (!inside(x + 1, y + 1) || !inside(x, y + 1))
                cell.setPixel(x, y, dark);
            else if (!inside(x - 1, y - 1) || !inside(x, y - 1))
                cell.setPixel(x, y, light);
        }
    }
}

// The disabled look: the same shape embossed, grey with a white edge below and right.
QImage disabledLook(const QImage &normal)
{
    QImage cell(Cell, Cell, QImage::Format_RGB32);
    cell.fill(Olive);
    for (int y = 0; y < Cell; ++y)
        for (int x = 0; x < Cell; ++x)
            if (normal.pixel(x, y) != Olive && x + 1 < Cell && y + 1 < Cell)
                cell.setPixel(x + 1, y + 1, White);
    for (int y = 0; y < Cell; ++y)
        for (int x = 0; x < Cell; ++x)
            if (normal.pixel(x, y) != Olive)
                cell.setPixel(x, y, Grey);
    return cell;
}

QImage strip(const QImage &normal)
{
    QImage rgb(2 * Cell, Cell, QImage::Format_RGB32);
    QPainter painter(&rgb);
    painter.drawImage(0, 0, normal);
    painter.drawImage(Cell, 0, disabledLook(normal));
    painter.end();
    return rgb.convertToFormat(QImage::Format_Indexed8, glyphPalette(), Qt::ThresholdDither);
}

QImage solidCell(const QPolygon &shape, QRgb body)
{
    QImage cell(Cell, Cell, QImage::Format_RGB32);
    cell.fill(Olive);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(body));
    painter.drawPolygon(shape);
    return cell;
}

void putU16(QDataStream &out, int value)
{
    out << quint16(value);
}

void putU32(QDataStream &out, qint64 value)
{
    out << quint32(value);
}

void putInfoHeader(QDataStream &out, int width, int height, int bits, qint64 imageSize, int colours)
{
    putU32(out, 40);
    putU32(out, width);
    putU32(out, height);
    putU16(out, 1);
    putU16(out, bits);
    putU32(out, 0); // no compression
    putU32(out, imageSize);
    putU32(out, 3780); // 96 dots per inch
    putU32(out, 3780);
    putU32(out, colours);
    putU32(out, 0);
}

void putPalette(QDataStream &out, const QList<QRgb> &colours, int entries)
{
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < colours.size() ? colours[i] : Black;
        out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);
    }
}

// An opaque colour on a grid of the given step (1 keeps it as it is).
QRgb reduced(QRgb p, int step)
{
    if (step == 1)
        return qRgb(qRed(p), qGreen(p), qBlue(p));
    auto q = [step](int v) { return std::min(255, (v / step) * step + step / 2); };
    return qRgb(q(qRed(p)), q(qGreen(p)), q(qBlue(p)));
}

int rowBytes(int width, int bits)
{
    return ((width * bits + 31) / 32) * 4;
}

// Pixel rows bottom up, each padded to whole 32-bit words.
void putPixels(QDataStream &out, const QImage &indexed, int bits)
{
    const int stride = rowBytes(indexed.width(), bits);
    for (int y = indexed.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        const uchar *src = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            if (bits == 8) {
                row[x] = char(src[x]);
            } else {
                const int shift = (x % 2 == 0) ? 4 : 0;
                row[x / 2] = char(uchar(row[x / 2]) | uchar((src[x] & 0x0F) << shift));
            }
        }
        out.writeRawData(row.constData(), int(row.size()));
    }
}

} // namespace

QList<QRgb> glyphPalette()
{
    return {Black,
            Maroon,
            Green,
            Olive,
            qRgb(0, 0, 128),
            qRgb(128, 0, 128),
            qRgb(0, 128, 128),
            Silver,
            Grey,
            Red,
            Lime,
            qRgb(255, 255, 0),
            qRgb(0, 0, 255),
            qRgb(255, 0, 255),
            qRgb(0, 255, 255),
            White};
}

QImage okGlyph()
{
    // A bold tick: short stroke down to the right, long stroke up to the right.
    const QPolygon tick(
        {QPoint(2, 9), QPoint(5, 6), QPoint(7, 9), QPoint(13, 2), QPoint(16, 5), QPoint(7, 15)});
    QImage cell = solidCell(tick, Green);
    shade(cell, Green, Lime, Black);
    return strip(cell);
}

QImage exitGlyph()
{
    // Two crossed bars.
    QImage cell(Cell, Cell, QImage::Format_RGB32);
    cell.fill(Olive);
    {
        QPainter painter(&cell);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(Red));
        painter.drawPolygon(QPolygon({QPoint(3, 5), QPoint(5, 3), QPoint(15, 13), QPoint(13, 15)}));
        painter.drawPolygon(QPolygon({QPoint(13, 3), QPoint(15, 5), QPoint(5, 15), QPoint(3, 13)}));
    }
    shade(cell, Red, Red, Maroon); // no lighter red among the 16 colours
    return strip(cell);
}

QImage icon()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    // Body: a rounded grey slab, lit from the upper left.
    const QRectF body(6.5, 1.5, 19, 29);
    QLinearGradient metal(body.topLeft(), body.bottomRight());
    metal.setColorAt(0, QColor(200, 200, 200));
    metal.setColorAt(1, QColor(120, 120, 120));
    p.setPen(QPen(QColor(56, 56, 56), 1));
    p.setBrush(metal);
    p.drawRoundedRect(body, 3, 3);

    // Screen: a recessed green panel with two lines of dark figures.
    const QRect bezel(9, 4, 14, 10);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(72, 72, 72));
    p.drawRect(bezel);
    QLinearGradient glass(QPointF(10, 5), QPointF(22, 13));
    glass.setColorAt(0, QColor(150, 230, 120));
    glass.setColorAt(1, QColor(60, 170, 60));
    p.setBrush(glass);
    p.drawRect(bezel.adjusted(1, 1, -1, -1));
    p.setBrush(QColor(20, 70, 20));
    for (int x = 14; x <= 20; x += 2)
        p.drawRect(x, 6, 1, 2);
    for (int x = 11; x <= 20; x += 3)
        p.drawRect(x, 10, 2, 2);

    // Keys: four rows of three, dark with a light top edge.
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect key(10 + column * 4, 16 + row * 3, 3, 2);
            p.setBrush(row == 3 && column == 2 ? QColor(40, 110, 40) : QColor(64, 64, 64));
            p.drawRect(key);
            p.setBrush(QColor(230, 230, 230));
            p.drawRect(key.x(), key.y(), key.width(), 1);
        }
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray indexedBmp(const QImage &image, int bitsPerPixel)
{
    if (image.format() != QImage::Format_Indexed8 || (bitsPerPixel != 4 && bitsPerPixel != 8)
        || image.colorCount() > (1 << bitsPerPixel))
        return {};
    const int colours = 1 << bitsPerPixel;
    const qint64 pixelBytes = qint64(rowBytes(image.width(), bitsPerPixel)) * image.height();
    const qint64 offset = 14 + 40 + 4 * colours;

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    putU32(out, offset + pixelBytes);
    putU32(out, 0);
    putU32(out, offset);
    putInfoHeader(out, image.width(), image.height(), bitsPerPixel, pixelBytes, colours);
    putPalette(out, image.colorTable(), colours);
    putPixels(out, image, bitsPerPixel);
    return file;
}

QByteArray icon256(const QImage &argbIn)
{
    const QImage argb = argbIn.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();

    // Index 0 is black, which transparent pixels carry under the mask.
    QList<QRgb> colours {Black};
    QHash<QRgb, int> indexOf {{Black, 0}};
    QImage indexed(w, h, QImage::Format_Indexed8);
    QImage mask(w, h, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    int step = 1; // colour precision, coarsened until the colours fit
    for (;;) {
        colours = {Black};
        indexOf = {{Black, 0}};
        bool fits = true;
        for (int y = 0; y < h && fits; ++y) {
            for (int x = 0; x < w; ++x) {
                const QRgb p = argb.pixel(x, y);
                if (qAlpha(p) < 128)
                    continue;
                const QRgb c = reduced(p, step);
                if (!indexOf.contains(c)) {
                    if (colours.size() == 256) {
                        fits = false;
                        break;
                    }
                    indexOf.insert(c, int(colours.size()));
                    colours.append(c);
                }
            }
        }
        if (fits)
            break;
        step *= 2;
    }
    indexed.setColorCount(256);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = argb.pixel(x, y);
            const bool opaque = qAlpha(p) >= 128;
            const QRgb c = reduced(p, step);
            indexed.setPixel(x, y, opaque ? uint(indexOf.value(c)) : 0u);
            mask.setPixel(x, y, opaque ? 0 : 1);
        }
    }
    while (colours.size() < 256)
        colours.append(Black);
    indexed.setColorTable(colours);

    const int maskStride = rowBytes(w, 1);
    const qint64 pixelBytes = qint64(rowBytes(w, 8)) * h + qint64(maskStride) * h;
    const qint64 imageBytes = 40 + 4 * 256 + pixelBytes;

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    putU16(out, 0);
    putU16(out, 1); // an icon
    putU16(out, 1); // one image
    out << quint8(w) << quint8(h) << quint8(0) << quint8(0); // 0 colours: 256
    putU16(out, 1);
    putU16(out, 8);
    putU32(out, imageBytes);
    putU32(out, 6 + 16);
    // The image's height counts the colour rows and the mask rows together.
    putInfoHeader(out, w, 2 * h, 8, pixelBytes, 256);
    putPalette(out, colours, 256);
    putPixels(out, indexed, 8);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (mask.pixelIndex(x, y) == 1)
                row[x / 8] = char(uchar(row[x / 8]) | uchar(0x80 >> (x % 8)));
        out.writeRawData(row.constData(), int(row.size()));
    }
    return file;
}

} // namespace pictures
