#include "platform/gfx/Imaging.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace {
struct ReadBuffer {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

void readData(png_structp png, png_bytep out, png_size_t n) {
    auto* b = static_cast<ReadBuffer*>(png_get_io_ptr(png));
    if (b->pos + n > b->size) png_error(png, "PNG data is truncated");
    std::memcpy(out, b->data + b->pos, n);
    b->pos += n;
}

void writeData(png_structp png, png_bytep in, png_size_t n) {
    auto* v = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    v->insert(v->end(), in, in + n);
}

void flushData(png_structp) {}

[[noreturn]] void onError(png_structp png, png_const_charp msg) {
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    *text = msg ? msg : "PNG error";
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}
} // namespace

void DecodePng(const std::uint8_t* data, std::size_t size, TBitmap& out) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) throw EInvalidGraphic("PNG image is not valid");
    std::string error;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, onError, onWarning);
    if (!png) throw EOutOfResources("Out of memory decoding PNG");
    png_infop info = png_create_info_struct(png);
    ReadBuffer buf{data, size, 0};
    png_uint_32 w = 0, h = 0;
    // libpng reports errors by longjmp; nothing with a destructor is created after this point.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw EInvalidGraphic("PNG image is not valid: " + error);
    }
    png_set_read_fn(png, &buf, readData);
    png_read_info(png, info);
    w = png_get_image_width(png, info);
    h = png_get_image_height(png, info);
    if (w > 32768 || h > 32768 || !PictureSizeAllowed(int(w), int(h)))
        png_error(png, "image size out of range");
    int depth = png_get_bit_depth(png, info), type = png_get_color_type(png, info);
    if (depth == 16) png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png); // bytes B, G, R, A: the layout of the bitmap's words
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.SetSize(0, 0);
    out.SetPixelFormat(pf32bit);
    out.SetSize(int(w), int(h));
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < h; ++y) png_read_row(png, out.ScanLine(int(y)), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    out.SetAlphaFormat(afDefined);
}

std::vector<std::uint8_t> EncodePng(const TBitmap& bitmap, int level) {
    if (bitmap.Empty()) throw EInvalidGraphic("Cannot save an empty image");
    int w = bitmap.Width(), h = bitmap.Height();
    bool alpha = false;
    if (bitmap.HasAlpha())
        for (std::size_t i = 0; i < std::size_t(w) * std::size_t(h) && !alpha; ++i)
            alpha = (bitmap.Pixels32()[i] >> 24) != 0xFF;
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> rowData(std::size_t(w) * 4);
    std::string error;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, onError, onWarning);
    if (!png) throw EOutOfResources("Out of memory encoding PNG");
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw EInvalidGraphic("Cannot encode PNG: " + error);
    }
    png_set_write_fn(png, &out, writeData, flushData);
    png_set_compression_level(png, std::clamp(level, 0, 9));
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* s =
            bitmap.Pixels32() + std::size_t(y) * std::size_t(bitmap.Stride32());
        std::uint8_t* d = rowData.data();
        for (int x = 0; x < w; ++x) {
            *d++ = std::uint8_t(s[x] >> 16);
            *d++ = std::uint8_t(s[x] >> 8);
            *d++ = std::uint8_t(s[x]);
            if (alpha) *d++ = std::uint8_t(s[x] >> 24);
        }
        png_write_row(png, rowData.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

void TPngImage::LoadFromStream(TStream& stream) {
    std::int64_t size = stream.Size() - stream.Position();
    std::vector<std::uint8_t> data(std::size_t(std::max<std::int64_t>(size, 0)));
    if (size > 0) stream.ReadBuffer(data.data(), size);
    TBitmap decoded; // the image stays as it was when decoding fails
    DecodePng(data.data(), data.size(), decoded);
    pixels().Assign(&decoded);
    Changed();
}

void TPngImage::SaveToStream(TStream& stream) const {
    auto bytes = EncodePng(pixels(), compressionLevel_);
    stream.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
}
