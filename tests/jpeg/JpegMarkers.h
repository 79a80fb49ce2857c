#pragma once

#include <QByteArray>

// Finds the frame header (SOFn) of JPEG data by walking its marker segments; what the tests
// need to see what a file declares about itself and to change it.
struct FrameHeader
{
    qsizetype offset = -1; // of the 0xFF of the marker, -1 when there is none
    int marker = 0; // 0xC0 for baseline
    int precision = 0;
    int height = 0;
    int width = 0;
    int components = 0;
};

inline FrameHeader frameHeader(const QByteArray &data)
{
    FrameHeader header;
    auto byte = [&](qsizetype i) { return i < data.size() ? int(uchar(data[i])) : -1; };
    qsizetype i = 2; // past SOI
    while (i + 4 <= data.size() && byte(i) == 0xFF) {
        const int marker = byte(i + 1);
        const int length = byte(i + 2) * 256 + byte(i + 3);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
            && marker != 0xCC) {
            header.offset = i;
            header.marker = marker;
            header.precision = byte(i + 4);
            header.height = byte(i + 5) * 256 + byte(i + 6);
            header.width = byte(i + 7) * 256 + byte(i + 8);
            header.components = byte(i + 9);
            return header;
        }
        if (marker == 0xDA || length < 2)
            break;
        i += 2 + length;
    }
    return header;
}

// The same data declaring another size.
inline QByteArray withSize(QByteArray data, int width, int height)
{
    const FrameHeader header = frameHeader(data);
    if (header.offset < 0)
        return {};
    data[header.offset + 5] = char(height >> 8);
    data[header.offset + 6] = char(height & 0xFF);
    data[header.offset + 7] = char(width >> 8);
    data[header.offset + 8] = char(width & 0xFF);
    return data;
}

// Where the entropy-coded data of the first scan starts, -1 when there is no scan.
inline qsizetype firstScanData(const QByteArray &data)
{
    auto byte = [&](qsizetype i) { return i < data.size() ? int(uchar(data[i])) : -1; };
    qsizetype i = 2;
    while (i + 4 <= data.size() && byte(i) == 0xFF) {
        const int length = byte(i + 2) * 256 + byte(i + 3);
        if (byte(i + 1) == 0xDA)
            return i + 2 + length;
        if (length < 2)
            break;
        i += 2 + length;
    }
    return -1;
}
