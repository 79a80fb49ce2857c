// The diagram decoder jpeg::decode on any bytes.
//
// Input: the bytes as they are, as if read from a picture file.
//
// Invariants:
// - the result is either a picture (no error text) or a refusal (a null image and an error
//   text), never both, never neither;
// - a picture is Format_RGB888 and within MaxSide on each side and MaxPixels in all;
// - a picture has the size that the data's frame header states: the first SOFn segment found
//   by walking the segments from the start marker as libjpeg walks them (data that decodes
//   without a warning has no junk between its segments, so the walk cannot miss it);
// - the data is never read past its end and never written: the bytes are handed over in a
//   buffer of exactly their size, which AddressSanitizer guards, and compared afterwards.
// Never ending the process and bounded time are the fuzzer's own checks: an exit() is reported
// as a crash, an input slower than the run's -timeout as a hang.

#include "FuzzCheck.h"

#include "platform/jpeg/Jpeg.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct FrameSize
{
    int width;
    int height;
};

bool isStartOfFrame(int marker)
{
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The size in the first frame header, or none if the segments before it cannot be walked.
std::optional<FrameSize> frameSize(const std::vector<uint8_t> &data)
{
    size_t at = 2;
    while (at < data.size()) {
        if (data[at] != 0xFF)
            return std::nullopt;
        while (at < data.size() && data[at] == 0xFF)
            ++at; // fill bytes
        if (at >= data.size())
            return std::nullopt;
        const int marker = data[at++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // TEM and RSTn stand alone
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || at + 2 > data.size())
            return std::nullopt;
        const size_t length = size_t(data[at]) << 8 | data[at + 1];
        if (isStartOfFrame(marker)) {
            if (length < 8 || at + 7 > data.size())
                return std::nullopt;
            return FrameSize {int(data[at + 5]) << 8 | data[at + 6],
                              int(data[at + 3]) << 8 | data[at + 4]};
        }
        // libjpeg reads a length below 2 in a segment it skips (APPn, COM) as an empty segment,
        // without a warning.
        at += std::max<size_t>(length, 2);
    }
    return std::nullopt;
}

std::string describe(const jpeg::Decoded &decoded)
{
    return "image " + std::to_string(decoded.image.width()) + " x "
        + std::to_string(decoded.image.height()) + " format "
        + std::to_string(int(decoded.image.format())) + ", error \"" + decoded.error.toStdString()
        + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy of exactly the input's size: libFuzzer's own buffer may be larger than the input.
    const std::vector<uint8_t> bytes(data, data + size);
    const jpeg::Decoded decoded = jpeg::decode(
        QByteArrayView(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));

    FUZZ_CHECK_WITH(decoded.ok() == decoded.error.isEmpty(), describe(decoded));
    FUZZ_CHECK_WITH(decoded.ok() != decoded.image.isNull(), describe(decoded));
    FUZZ_CHECK(size == 0 || std::memcmp(bytes.data(), data, size) == 0);
    if (!decoded.ok())
        return 0;

    const QImage &image = decoded.image;
    FUZZ_CHECK_WITH(image.format() == QImage::Format_RGB888, describe(decoded));
    FUZZ_CHECK_WITH(image.width() >= 1 && image.width() <= jpeg::MaxSide && image.height() >= 1
                        && image.height() <= jpeg::MaxSide
                        && qint64(image.width()) * image.height() <= jpeg::MaxPixels,
                    describe(decoded));
    const std::optional<FrameSize> frame = frameSize(bytes);
    FUZZ_CHECK_WITH(frame.has_value(), describe(decoded) + ", no frame header found");
    FUZZ_CHECK_WITH(frame->width == image.width() && frame->height == image.height(),
                    describe(decoded) + ", frame header " + std::to_string(frame->width) + " x "
                        + std::to_string(frame->height));
    return 0;
}
