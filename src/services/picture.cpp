#include "services/picture.h"

#include <QtGlobal>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio> // jpeglib.h uses FILE and size_t without declaring them

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr std::size_t blockSize = 4096;

// libjpeg's standard error manager ends the program on a damaged picture; this one jumps back
// into decodeInto() instead. `pub` comes first so that libjpeg's pointer to it is ours too.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Hands the bytes over straight out of the QByteArray, a block at a time.
struct Source {
    jpeg_source_mgr pub;
    const JOCTET* data;
    std::size_t size;
    std::size_t offset; // where the next block starts
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void outputMessage(j_common_ptr cinfo)
{
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    qWarning("JPEG: %s", message);
}

void initSource(j_decompress_ptr)
{
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto* source = reinterpret_cast<Source*>(cinfo->src);
    if (source->offset == source->size) {
        // Out of data: an end marker lets libjpeg finish the picture with what it has, and the
        // warning marks the picture as damaged.
        static const JOCTET endOfImage[] = {0xFF, JPEG_EOI};
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->pub.next_input_byte = endOfImage;
        source->pub.bytes_in_buffer = sizeof endOfImage;
        return TRUE;
    }
    const std::size_t count = std::min(blockSize, source->size - source->offset);
    source->pub.next_input_byte = source->data + source->offset;
    source->pub.bytes_in_buffer = count;
    source->offset += count;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    auto* source = reinterpret_cast<Source*>(cinfo->src);
    // Past the end each fill hands over the two-byte end marker, so this still comes to an end.
    while (count > long(source->pub.bytes_in_buffer)) {
        count -= long(source->pub.bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    if (count > 0) {
        source->pub.next_input_byte += count;
        source->pub.bytes_in_buffer -= std::size_t(count);
    }
}

void termSource(j_decompress_ptr)
{
}

// Between setjmp() and any libjpeg call that may jump back here, this function keeps no local
// object with a destructor alive: the image it fills belongs to the caller.
bool decodeInto(jpeg_decompress_struct& cinfo, ErrorManager& errors, Source& source, QSize fill,
                QImage& image)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    cinfo.src = &source.pub;
    jpeg_read_header(&cinfo, TRUE);

    QImage::Format format;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        cinfo.out_color_space = JCS_RGB;
        format = QImage::Format_RGB888;
        break;
    default:
        // CMYK and YCCK: libjpeg would give us ink values, which we have no use for.
        qWarning("JPEG: colour space %d is not supported", int(cinfo.jpeg_color_space));
        return false;
    }

    // The smallest of libjpeg-turbo's scales 1/8 .. 8/8 that still covers `fill`: the reduction
    // happens in the DCT, so a large picture is never decoded at full size.
    cinfo.scale_denom = 8;
    for (cinfo.scale_num = 1; cinfo.scale_num < 8; ++cinfo.scale_num) {
        jpeg_calc_output_dimensions(&cinfo);
        if (int(cinfo.output_width) >= fill.width() && int(cinfo.output_height) >= fill.height())
            break;
    }

    jpeg_start_decompress(&cinfo);
    image = QImage(int(cinfo.output_width), int(cinfo.output_height), format);
    if (image.isNull()) // too large to hold
        return false;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    // libjpeg patches over damage with a warning; we would rather show nothing than the patch.
    return cinfo.err->num_warnings == 0;
}

} // namespace

QImage decodeJpeg(const QByteArray& jpeg, QSize fill)
{
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = errorExit;
    errors.pub.output_message = outputMessage;

    Source source{};
    source.pub.init_source = initSource;
    source.pub.fill_input_buffer = fillInputBuffer;
    source.pub.skip_input_data = skipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = termSource;
    source.data = reinterpret_cast<const JOCTET*>(jpeg.constData());
    source.size = std::size_t(jpeg.size());

    QImage image;
    const bool decoded = decodeInto(cinfo, errors, source, fill, image);
    jpeg_destroy_decompress(&cinfo);
    return decoded ? image : QImage();
}
