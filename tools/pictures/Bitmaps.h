#pragma once

#include <QByteArray>
#include <QImage>

// The button glyphs and the window icon, and the two small file formats they are stored in.
namespace pictures {

// A 36 x 18 strip on the 16-colour palette: the glyph's normal look, then its disabled look;
// the background is olive (128, 128, 0), the colour the button takes as transparent.
QImage okGlyph();
QImage exitGlyph();

// The 32 x 32 icon as ARGB: a grey hand-held device with a green screen.
QImage icon();

// The 16 colours the glyphs are drawn with.
QList<QRgb> glyphPalette();

// A Windows bitmap file with a palette: bitsPerPixel 4 (at most 16 colours) or 8 (at most
// 256); image is Format_Indexed8. Empty on bad input.
QByteArray indexedBmp(const QImage &image, int bitsPerPixel);

// An icon file with one 8-bit image and its transparency mask, from an ARGB image whose
// colours (counting only opaque pixels) are reduced to at most 255.
QByteArray icon256(const QImage &argb);

} // namespace pictures
