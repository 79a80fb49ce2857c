#include "platform/jpeg/Jpeg.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace jpeg {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. The only way
// back to our code is a longjmp to the setjmp in the function that started the work. A
// longjmp skips destructors, so the two functions that hold a setjmp (decodePlain and
// encodePlain) and everything libjpeg calls back into are kept free of C++ objects with
// destructors; the Qt side of the work happens before and after them, or in a callback that
// runs outside libjpeg.

enum Status : int {
    StatusOk,
    StatusDamaged, // libjpeg raised an error
    StatusWarned, // libjpeg raised a warning
    StatusTooLarge,
    StatusComponents,
    StatusNoMemory,
    StatusTooManyScans,
};

struct ErrorManager
{
    jpeg_error_mgr pub; // first, so that libjpeg's pointer to it is a pointer to us
    std::jmp_buf jump;
    int status;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void leave(j_common_ptr cinfo, int status)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    err->status = status;
    std::longjmp(err->jump, 1);
}

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    leave(cinfo, StatusDamaged);
}

void onMessage(j_common_ptr cinfo, int level)
{
    // Level -1 is a warning about damaged data that the library would otherwise paper over
    // (missing data filled with grey, for instance); every other level is tracing.
    if (level >= 0)
        return;
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    leave(cinfo, StatusWarned);
}

void onProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    const auto *dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    // Sequential data codes each component in one scan. libjpeg takes a scan that codes a
    // component again and decodes it over the first, so without this bound a few bytes per
    // scan (arithmetic coding needs hardly any) buy a pass over the whole image each.
    const int limit = dinfo->progressive_mode ? MaxScans : dinfo->num_components;
    if (dinfo->input_scan_number > limit) {
        auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "more than %d scans", limit);
        leave(cinfo, StatusTooManyScans);
    }
}

void initErrors(ErrorManager *err)
{
    jpeg_std_error(&err->pub);
    err->pub.error_exit = onError;
    err->pub.emit_message = onMessage;
    err->status = StatusOk;
    err->message[0] = '\0';
}

// Where decoded rows go: the caller's callback makes the image once the size is known and
// hands back a pointer to each of its rows.
struct Sink
{
    void *context;
    JSAMPROW *(*allocate)(void *context, unsigned width, unsigned height);
};

struct DecodeReport
{
    unsigned width;
    unsigned height;
    int components;
    char message[JMSG_LENGTH_MAX];
};

int decodePlain(const unsigned char *data, unsigned long size, const Sink *sink,
                DecodeReport *report)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
    initErrors(&err);
    cinfo.err = &err.pub;
    progress.progress_monitor = onProgress;
    report->width = report->height = 0;
    report->components = 0;
    report->message[0] = '\0';

    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::memcpy(report->message, err.message, sizeof report->message);
        return err.status;
    }

    jpeg_create_decompress(&cinfo);
    // Progressive data keeps all coefficients in memory; bounded sides bound that too, and
    // this makes the library fail cleanly rather than grow past it.
    cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);

    report->width = cinfo.image_width;
    report->height = cinfo.image_height;
    report->components = cinfo.num_components;
    // Refuse before anything is decoded or allocated for the pixels.
    if (cinfo.image_width > unsigned(MaxSide) || cinfo.image_height > unsigned(MaxSide)
        || qint64(cinfo.image_width) * qint64(cinfo.image_height) > MaxPixels) {
        jpeg_destroy_decompress(&cinfo);
        return StatusTooLarge;
    }
    const bool colour = cinfo.num_components == 3
        && (cinfo.jpeg_color_space == JCS_YCbCr || cinfo.jpeg_color_space == JCS_RGB);
    const bool grey = cinfo.num_components == 1 && cinfo.jpeg_color_space == JCS_GRAYSCALE;
    if (!colour && !grey) {
        jpeg_destroy_decompress(&cinfo);
        return StatusComponents;
    }

    cinfo.out_color_space = JCS_RGB;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    jpeg_start_decompress(&cinfo);

    JSAMPROW *rows = sink->allocate(sink->context, cinfo.output_width, cinfo.output_height);
    if (!rows) {
        jpeg_destroy_decompress(&cinfo);
        return StatusNoMemory;
    }

    // Rows are decoded straight into the image.
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION first = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, rows + first, cinfo.output_height - first) == 0) {
            // Memory input never suspends; no progress means the decoder is stuck.
            std::snprintf(err.message, sizeof err.message, "decoder made no progress");
            jpeg_destroy_decompress(&cinfo);
            std::memcpy(report->message, err.message, sizeof report->message);
            return StatusDamaged;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return StatusOk;
}

// A destination that grows a malloc'd buffer of ours, so that the bytes written so far are
// always ours to free, also after an error half way through.
struct Destination
{
    jpeg_destination_mgr pub; // first, as with the error manager
    unsigned char *buffer;
    std::size_t capacity;
};

void initDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<Destination *>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->capacity;
}

boolean growDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<Destination *>(cinfo->dest);
    const std::size_t used = dest->capacity;
    const std::size_t capacity = used * 2;
    auto *buffer = static_cast<unsigned char *>(std::realloc(dest->buffer, capacity));
    if (!buffer)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    dest->buffer = buffer;
    dest->capacity = capacity;
    dest->pub.next_output_byte = buffer + used;
    dest->pub.free_in_buffer = capacity - used;
    return TRUE;
}

void termDestination(j_compress_ptr) { }

struct EncodeReport
{
    std::size_t size;
    char message[JMSG_LENGTH_MAX];
};

// dest->buffer must hold a malloc'd buffer of dest->capacity bytes; it stays the caller's
// to free whatever happens.
int encodePlain(const unsigned char *bits, unsigned width, unsigned height, std::ptrdiff_t stride,
                int quality, Destination *dest, EncodeReport *report)
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    initErrors(&err);
    cinfo.err = &err.pub;
    report->size = 0;
    report->message[0] = '\0';

    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::memcpy(report->message, err.message, sizeof report->message);
        return err.status;
    }

    jpeg_create_compress(&cinfo);
    dest->pub.init_destination = initDestination;
    dest->pub.empty_output_buffer = growDestination;
    dest->pub.term_destination = termDestination;
    cinfo.dest = &dest->pub;

    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.density_unit = 1; // dots per inch
    cinfo.X_density = 96;
    cinfo.Y_density = 96;
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }

    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto *row = const_cast<JSAMPROW>(bits + std::ptrdiff_t(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    report->size = dest->capacity - dest->pub.free_in_buffer;
    jpeg_destroy_compress(&cinfo);
    return StatusOk;
}

struct ImageTarget
{
    QImage image;
    std::vector<JSAMPROW> rows;
};

JSAMPROW *allocateImage(void *context, unsigned width, unsigned height) noexcept
{
    auto *target = static_cast<ImageTarget *>(context);
    try {
        target->image = QImage(int(width), int(height), QImage::Format_RGB888);
        if (target->image.isNull())
            return nullptr;
        uchar *bits = target->image.bits();
        const qsizetype stride = target->image.bytesPerLine();
        target->rows.resize(height);
        for (unsigned y = 0; y < height; ++y)
            target->rows[y] = bits + qsizetype(y) * stride;
    } catch (const std::bad_alloc &) {
        target->image = QImage();
        return nullptr;
    }
    return target->rows.data();
}

QString libraryText(const char *message)
{
    return QString::fromLatin1(message);
}

} // namespace

Decoded decode(QByteArrayView data)
{
    Decoded result;
    if (data.isEmpty()) {
        result.error = QStringLiteral("no JPEG data");
        return result;
    }
    // A quick look at the start marker gives a clear text for data of another kind.
    if (data.size() < 3 || uchar(data[0]) != 0xFF || uchar(data[1]) != 0xD8
        || uchar(data[2]) != 0xFF) {
        result.error = QStringLiteral("not JPEG data");
        return result;
    }
    if constexpr (sizeof(unsigned long) < sizeof(qsizetype)) {
        if (static_cast<unsigned long long>(data.size())
            > std::numeric_limits<unsigned long>::max()) {
            result.error = QStringLiteral("JPEG data too long");
            return result;
        }
    }

    ImageTarget target;
    const Sink sink {&target, allocateImage};
    DecodeReport report;
    const int status = decodePlain(reinterpret_cast<const unsigned char *>(data.data()),
                                   static_cast<unsigned long>(data.size()), &sink, &report);
    switch (status) {
    case StatusOk:
        result.image = std::move(target.image);
        break;
    case StatusDamaged:
        result.error = QStringLiteral("damaged JPEG data: %1").arg(libraryText(report.message));
        break;
    case StatusWarned:
        result.error = QStringLiteral("JPEG data decodes only with a warning: %1")
                           .arg(libraryText(report.message));
        break;
    case StatusTooLarge:
        result.error = QStringLiteral("JPEG image too large: %1 x %2 pixels (at most %3 on a side "
                                      "and %4 pixels)")
                           .arg(report.width)
                           .arg(report.height)
                           .arg(MaxSide)
                           .arg(MaxPixels);
        break;
    case StatusComponents:
        result.error = QStringLiteral("JPEG image with %1 colour components is not supported")
                           .arg(report.components);
        break;
    case StatusNoMemory:
        result.error
            = QStringLiteral("no memory for a %1 x %2 image").arg(report.width).arg(report.height);
        break;
    case StatusTooManyScans:
        result.error = QStringLiteral("JPEG data refused: %1").arg(libraryText(report.message));
        break;
    default:
        result.error = QStringLiteral("JPEG decoding failed");
        break;
    }
    return result;
}

Encoded encode(const QImage &image, int quality)
{
    Encoded result;
    if (image.isNull() || image.width() > MaxSide || image.height() > MaxSide) {
        result.error = QStringLiteral("no image to encode, or one too large");
        return result;
    }
    if (quality < 1 || quality > 100) {
        result.error = QStringLiteral("JPEG quality %1 outside 1 to 100").arg(quality);
        return result;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        result.error = QStringLiteral("no memory to convert the image");
        return result;
    }

    Destination dest {};
    dest.capacity = std::size_t(16) * 1024;
    dest.buffer = static_cast<unsigned char *>(std::malloc(dest.capacity));
    if (!dest.buffer) {
        result.error = QStringLiteral("no memory for the JPEG data");
        return result;
    }
    EncodeReport report;
    const int status = encodePlain(rgb.constBits(), unsigned(rgb.width()), unsigned(rgb.height()),
                                   rgb.bytesPerLine(), quality, &dest, &report);
    if (status == StatusOk)
        result.data
            = QByteArray(reinterpret_cast<const char *>(dest.buffer), qsizetype(report.size));
    else
        result.error = QStringLiteral("JPEG encoding failed: %1").arg(libraryText(report.message));
    std::free(dest.buffer);
    return result;
}

} // namespace jpeg
