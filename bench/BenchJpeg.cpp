// Decoding one connection-form diagram with our libjpeg path against Qt's image reader on the
// same bytes.
//
// Both sides start from the same state of the C library's allocator. glibc hands the freed top
// of its heap back to the kernel once it exceeds a threshold, and raises that threshold only
// after a block of more than 128 KiB has been freed. Qt's reader allocates its 32-bit image
// (156 KiB for 200 x 200) above that size and so raises the threshold in its first iteration;
// our 24-bit image (117 KiB) stays below it, and without this every one of our iterations
// would pay for faulting fresh pages in, which measures the process's history, not the
// decoder. A long-running GUI process has long since freed large blocks.

#include "platform/jpeg/Jpeg.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QImage>

#include <cstdlib>

namespace {

const QByteArray &diagram()
{
    static const QByteArray data = [] {
        QFile file(QStringLiteral(JOINTRIX_PICTURES_DIR "/JPG1.jpg"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return data;
}

void settleAllocator()
{
    void *block = std::malloc(std::size_t(512) * 1024);
    benchmark::DoNotOptimize(block);
    std::free(block);
}

void JpegDecode_ours(benchmark::State &state)
{
    settleAllocator();
    if (diagram().isEmpty()) {
        state.SkipWithError("no diagram to decode");
        return;
    }
    for (auto _ : state) {
        const jpeg::Decoded decoded = jpeg::decode(diagram());
        benchmark::DoNotOptimize(decoded.image.constBits());
    }
}
BENCHMARK(JpegDecode_ours)->Name("JpegDecode/ours");

void JpegDecode_baseline(benchmark::State &state)
{
    settleAllocator();
    if (diagram().isEmpty()) {
        state.SkipWithError("no diagram to decode");
        return;
    }
    for (auto _ : state) {
        const QImage image = QImage::fromData(diagram());
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(JpegDecode_baseline)->Name("JpegDecode/baseline");

} // namespace
