#include "platform/gfx/Imaging.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}
void onMessage(j_common_ptr) {}

// Source and destination managers over memory (jpeg_mem_src is not part of API level 62).
struct MemorySource {
    jpeg_source_mgr pub;
    const JOCTET* data;
    std::size_t size;
};
void initSource(j_decompress_ptr) {}
boolean fillInput(j_decompress_ptr cinfo) {
    // Past the end: feed an end-of-image marker so that a truncated file ends cleanly.
    static const JOCTET eoi[2] = {0xFF, JPEG_EOI};
    cinfo->src->next_input_byte = eoi;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}
void skipInput(j_decompress_ptr cinfo, long n) {
    if (n <= 0) return;
    while (std::size_t(n) > cinfo->src->bytes_in_buffer) {
        n -= long(cinfo->src->bytes_in_buffer);
        fillInput(cinfo);
    }
    cinfo->src->next_input_byte += n;
    cinfo->src->bytes_in_buffer -= std::size_t(n);
}
void termSource(j_decompress_ptr) {}

struct MemoryDestination {
    jpeg_destination_mgr pub;
    std::vector<std::uint8_t>* out;
    std::vector<JOCTET> buffer;
};
void initDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    d->buffer.resize(16384);
    d->pub.next_output_byte = d->buffer.data();
    d->pub.free_in_buffer = d->buffer.size();
}
boolean emptyOutput(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    d->out->insert(d->out->end(), d->buffer.begin(), d->buffer.end());
    d->pub.next_output_byte = d->buffer.data();
    d->pub.free_in_buffer = d->buffer.size();
    return TRUE;
}
void termDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    d->out->insert(d->out->end(), d->buffer.begin(),
                   d->buffer.end() - std::ptrdiff_t(d->pub.free_in_buffer));
}

// Runs the decoder; kept free of objects with destructors because of longjmp.
bool decode(const std::uint8_t* data, std::size_t size, TBitmap& out, std::vector<JSAMPLE>& row,
            char* message) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.output_message = onMessage;
    MemorySource src;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    src.pub.init_source = initSource;
    src.pub.fill_input_buffer = fillInput;
    src.pub.skip_input_data = skipInput;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = termSource;
    src.pub.next_input_byte = data;
    src.pub.bytes_in_buffer = size;
    src.data = data;
    src.size = size;
    cinfo.src = &src.pub;
    jpeg_read_header(&cinfo, TRUE);
    // Checked before decompressing starts: a progressive picture's buffers are allocated there.
    if (!PictureSizeAllowed(int(std::min<JDIMENSION>(cinfo.image_width, 1u << 30)),
                            int(std::min<JDIMENSION>(cinfo.image_height, 1u << 30)))) {
        std::snprintf(message, JMSG_LENGTH_MAX, "unsupported image");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    int w = int(cinfo.output_width), h = int(cinfo.output_height);
    if (!PictureSizeAllowed(w, h) || cinfo.output_components != 3) {
        std::snprintf(message, JMSG_LENGTH_MAX, "unsupported image");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out.SetSize(0, 0);
    out.SetPixelFormat(pf24bit);
    out.SetSize(w, h);
    row.resize(std::size_t(w) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = int(cinfo.output_scanline);
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&cinfo, &r, 1);
        std::uint32_t* d = out.Pixels32() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x)
            d[x] = 0xFF000000u | (std::uint32_t(row[std::size_t(3 * x)]) << 16) |
                   (std::uint32_t(row[std::size_t(3 * x + 1)]) << 8) | row[std::size_t(3 * x + 2)];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool encode(const TBitmap& bmp, int quality, bool gray, bool progressive,
            std::vector<std::uint8_t>& out, std::vector<JSAMPLE>& row, char* message) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.output_message = onMessage;
    MemoryDestination dest;
    dest.out = &out;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = initDestination;
    dest.pub.empty_output_buffer = emptyOutput;
    dest.pub.term_destination = termDestination;
    cinfo.dest = &dest.pub;
    cinfo.image_width = JDIMENSION(bmp.Width());
    cinfo.image_height = JDIMENSION(bmp.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (gray) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    cinfo.density_unit = 1;
    cinfo.X_density = 96;
    cinfo.Y_density = 96;
    jpeg_start_compress(&cinfo, TRUE);
    row.resize(std::size_t(bmp.Width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint32_t* s =
            bmp.Pixels32() + std::size_t(cinfo.next_scanline) * std::size_t(bmp.Stride32());
        for (int x = 0; x < bmp.Width(); ++x) {
            row[std::size_t(3 * x)] = JSAMPLE(s[x] >> 16);
            row[std::size_t(3 * x + 1)] = JSAMPLE(s[x] >> 8);
            row[std::size_t(3 * x + 2)] = JSAMPLE(s[x]);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}
} // namespace

void TJPEGImage::SetCompressionQuality(int v) {
    quality_ = std::clamp(v, 1, 100);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    std::int64_t size = stream.Size() - stream.Position();
    std::vector<std::uint8_t> data(std::size_t(std::max<std::int64_t>(size, 0)));
    if (size > 0) stream.ReadBuffer(data.data(), size);
    if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8)
        throw EInvalidGraphic("JPEG image is not valid");
    std::vector<JSAMPLE> row;
    char message[JMSG_LENGTH_MAX] = {};
    TBitmap decoded;
    if (!decode(data.data(), data.size(), decoded, row, message))
        throw EInvalidGraphic(std::string("JPEG error: ") + message);
    pixels().Assign(&decoded);
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) const {
    if (pixels().Empty()) throw EInvalidGraphic("Cannot save an empty image");
    std::vector<std::uint8_t> out;
    std::vector<JSAMPLE> row;
    char message[JMSG_LENGTH_MAX] = {};
    if (!encode(pixels(), quality_, grayscale_, progressive_, out, row, message))
        throw EInvalidGraphic(std::string("JPEG error: ") + message);
    stream.WriteBuffer(out.data(), std::int64_t(out.size()));
}
