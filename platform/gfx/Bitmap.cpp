#include "platform/files/Files.h"
#include "platform/gfx/Imaging.h"
#include "platform/gfx/Raster.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

// --- TGraphic ---------------------------------------------------------------------------------
void TGraphic::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Changed();
}

void TGraphic::Changed() {
    ++changeStamp_;
    if (OnChange) OnChange(this);
}

namespace {
// Set while a picture is read from a file, on the thread that reads it.
thread_local int readingFile = 0;
} // namespace

namespace gfx {
FilePictureScope::FilePictureScope() {
    ++readingFile;
}
FilePictureScope::~FilePictureScope() {
    --readingFile;
}
} // namespace gfx

bool PictureSizeAllowed(int width, int height) {
    const std::int64_t cap = readingFile > 0 ? MaxFilePicturePixels : MaxPicturePixels;
    return width > 0 && height > 0 && width <= 32768 && height <= 32768 &&
           std::int64_t(width) * height <= cap;
}

void CheckPictureSize(int width, int height, const std::string& what) {
    if (!PictureSizeAllowed(width, height)) throw EInvalidGraphic(what + " image is not valid");
}

void TGraphic::LoadFromFile(const std::string& path) {
    TFileStream f(path, fmOpenRead);
    gfx::FilePictureScope file;
    LoadFromStream(f);
}

void TGraphic::SaveToFile(const std::string& path) const {
    TMemoryStream m;
    SaveToStream(m);
    WriteBinaryFile(path, m.Bytes().data(), m.Bytes().size());
}

void TGraphic::Draw(TCanvas* canvas, const TRect& rect, std::uint8_t opacity) const {
    const TBitmap* f = Frame();
    if (!canvas || !f || f->Empty()) return;
    canvas->Changing();
    gfx::Raster r(*canvas);
    TRect d = rect;
    TPoint off = gfx::deviceOffset(canvas->DcState());
    OffsetRect(d, off.X, off.Y);
    gfx::stretchCopy(r, d, {f->Pixels32(), f->Width(), f->Height()},
                     TRect(0, 0, f->Width(), f->Height()), HasAlpha(), false, 0, opacity);
    canvas->Changed();
}

// --- TBitmap ----------------------------------------------------------------------------------
TBitmap::TBitmap() = default;
TBitmap::TBitmap(int width, int height) {
    SetSize(width, height);
}
TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    if ((long long)width * height > (1LL << 28)) throw EOutOfResources("Out of system resources");
    std::vector<std::uint32_t> px(std::size_t(width) * std::size_t(height), 0xFFFFFFFFu);
    for (int y = 0; y < std::min(height, height_); ++y)
        std::memcpy(&px[std::size_t(y) * std::size_t(width)],
                    &pixels_[std::size_t(y) * std::size_t(width_)],
                    std::size_t(std::min(width, width_)) * 4);
    pixels_ = std::move(px);
    width_ = width;
    height_ = height;
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat v) {
    if (v == pixelFormat_) return;
    if (v != pf32bit)
        for (auto& p : pixels_) p |= 0xFF000000u;
    pixelFormat_ = v;
    Changed();
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TCanvas>(this);
    return canvas_.get();
}

std::uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= height_) throw EInvalidGraphic("Scan line index out of range");
    ++changeStamp_;
    return reinterpret_cast<std::uint8_t*>(&pixels_[std::size_t(y) * std::size_t(width_)]);
}
const std::uint8_t* TBitmap::ScanLine(int y) const {
    if (y < 0 || y >= height_) throw EInvalidGraphic("Scan line index out of range");
    return reinterpret_cast<const std::uint8_t*>(&pixels_[std::size_t(y) * std::size_t(width_)]);
}

TColor TBitmap::PixelColor(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return gfx::fromPixel(pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)]);
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (Empty()) return clDefault;
    // As the model: the bottom-left pixel.
    return PixelColor(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor v) {
    transparentColor_ = v;
    transparentMode_ = v == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect, std::uint8_t opacity) const {
    if (!canvas || Empty()) return;
    canvas->Changing();
    // Drawing onto its own canvas reads from a copy.
    std::vector<std::uint32_t> copy;
    const std::uint32_t* src = pixels_.data();
    if (canvas->Target() == this) {
        copy = pixels_;
        src = copy.data();
    }
    gfx::Raster r(*canvas);
    TRect d = rect;
    TPoint off = gfx::deviceOffset(canvas->DcState());
    OffsetRect(d, off.X, off.Y);
    bool key = Transparent();
    gfx::stretchCopy(r, d, {src, width_, height_}, TRect(0, 0, width_, height_), HasAlpha(), key,
                     key ? gfx::toPixel(TransparentColor()) : 0, opacity);
    canvas->Changed();
}

void TBitmap::Assign(const TPersistent* Source) {
    if (Source == this) return;
    if (auto* b = dynamic_cast<const TBitmap*>(Source)) {
        width_ = b->width_;
        height_ = b->height_;
        pixels_ = b->pixels_;
        pixelFormat_ = b->pixelFormat_;
        alphaFormat_ = b->alphaFormat_;
        transparentColor_ = b->transparentColor_;
        transparentMode_ = b->transparentMode_;
        SetTransparent(b->Transparent());
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<const TGraphic*>(Source)) {
        const TBitmap* f = g->Frame();
        if (!f) {
            SetSize(0, 0);
            return;
        }
        width_ = f->width_;
        height_ = f->height_;
        pixels_ = f->pixels_;
        pixelFormat_ = g->HasAlpha() ? pf32bit : pf24bit;
        alphaFormat_ = g->HasAlpha() ? afDefined : afIgnored;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

// --- BMP --------------------------------------------------------------------------------------
namespace {
std::uint32_t rd32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t rd16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
void wr32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
void wr16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

// Value of a bit-field channel scaled to 8 bits.
unsigned channel(std::uint32_t v, std::uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    std::uint32_t m = mask >> shift;
    std::uint32_t c = (v >> shift) & m;
    return unsigned(c * 255 / m);
}
} // namespace

namespace gfx {
// Decodes a DIB (BITMAPINFOHEADER onwards); pixels at `bits`. Used by BMP files and icons.
// Height may be doubled (icons): rowsOverride gives the image height then.
void decodeDib(const std::uint8_t* dib, std::size_t dibSize, const std::uint8_t* bits,
               std::size_t bitsSize, TBitmap& out, int rowsOverride, bool& hasAlpha) {
    if (dibSize < 12) throw EInvalidGraphic("Bitmap image is not valid");
    std::uint32_t hs = rd32(dib);
    int w, h, bpp;
    std::uint32_t comp = 0, used = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    const std::uint8_t* pal;
    int palEntry = 4;
    if (hs == 12) {
        w = rd16(dib + 4);
        h = std::int16_t(rd16(dib + 6));
        bpp = rd16(dib + 10);
        pal = dib + 12;
        palEntry = 3;
    } else {
        if (hs < 40 || dibSize < 40) throw EInvalidGraphic("Bitmap image is not valid");
        w = std::int32_t(rd32(dib + 4));
        h = std::int32_t(rd32(dib + 8));
        bpp = rd16(dib + 14);
        comp = rd32(dib + 16);
        used = rd32(dib + 32);
        pal = dib + hs;
        if (comp == 3 || comp == 6) {
            // Bit fields follow a 40-byte header, or are inside a larger one.
            const std::uint8_t* m = dib + 40;
            if (dibSize < 52) throw EInvalidGraphic("Bitmap image is not valid");
            masks[0] = rd32(m);
            masks[1] = rd32(m + 4);
            masks[2] = rd32(m + 8);
            if ((hs >= 56 || comp == 6) && dibSize >= 56) masks[3] = rd32(m + 12);
            if (hs == 40) pal = dib + 40 + (comp == 6 ? 16 : 12);
        }
    }
    // The most negative height has no positive counterpart.
    if (h == std::numeric_limits<std::int32_t>::min())
        throw EInvalidGraphic("Bitmap image is not valid");
    bool topDown = h < 0;
    if (h < 0) h = -h;
    if (rowsOverride > 0) h = rowsOverride;
    CheckPictureSize(w, h, "Bitmap");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        throw EInvalidGraphic("Bitmap image is not valid");
    const bool rle = comp == 1 || comp == 2;
    if (!rle && comp != 0 && comp != 3 && comp != 6)
        throw EInvalidGraphic("Bitmap image compression is not supported");
    // The size must be one the data can fill before anything is allocated: whole rows of
    // pixels, or for RLE at most 255 x 255 pixels per two-byte code (a delta's reach).
    std::size_t stride = ((std::size_t(w) * std::size_t(bpp) + 31) / 32) * 4;
    const bool fits = rle ? std::uint64_t(w) * std::uint64_t(h) <=
                                std::uint64_t(255 * 255) * std::max<std::uint64_t>(bitsSize / 2, 1)
                          : stride * std::size_t(h) <= bitsSize;
    if (!fits) throw EInvalidGraphic("Bitmap image is not valid");
    int colors = bpp <= 8 ? (used ? int(used) : 1 << bpp) : 0;
    if (colors > 256) colors = 256;
    std::vector<std::uint32_t> palette(256, 0xFF000000u);
    for (int i = 0; i < colors; ++i) {
        const std::uint8_t* e = pal + i * palEntry;
        if (e + palEntry > dib + dibSize) break;
        palette[std::size_t(i)] =
            0xFF000000u | (std::uint32_t(e[2]) << 16) | (std::uint32_t(e[1]) << 8) | e[0];
    }
    out.SetSize(0, 0);
    out.SetSize(w, h);
    hasAlpha = false;
    auto put = [&](int x, int row, std::uint32_t px) {
        int y = topDown ? row : h - 1 - row;
        if (x < w && y >= 0 && y < h)
            out.Pixels32()[std::size_t(y) * std::size_t(w) + std::size_t(x)] = px;
    };
    if (rle) {
        // RLE8 / RLE4, bottom-up.
        int x = 0, row = 0;
        std::size_t i = 0;
        while (i + 1 < bitsSize && row < h) {
            int n = bits[i], v = bits[i + 1];
            i += 2;
            if (n > 0) {
                for (int k = 0; k < n; ++k)
                    put(x++, row,
                        palette[std::size_t(comp == 1 ? v : ((k & 1) ? (v & 15) : (v >> 4)))]);
            } else if (v == 0) {
                x = 0;
                ++row;
            } else if (v == 1) {
                break;
            } else if (v == 2) {
                if (i + 1 >= bitsSize) break;
                x += bits[i];
                row += bits[i + 1];
                i += 2;
            } else {
                std::size_t need = comp == 1 ? std::size_t(v) : std::size_t((v + 1) / 2);
                if (i + need > bitsSize) break;
                for (int k = 0; k < v; ++k) {
                    int idx = comp == 1 ? bits[i + std::size_t(k)]
                                        : ((k & 1) ? (bits[i + std::size_t(k / 2)] & 15)
                                                   : (bits[i + std::size_t(k / 2)] >> 4));
                    put(x++, row, palette[std::size_t(idx)]);
                }
                std::size_t bytes = comp == 1 ? std::size_t(v) : std::size_t((v + 1) / 2);
                i += (bytes + 1) & ~std::size_t(1);
            }
        }
        return;
    }
    if (bpp == 16 && comp == 0) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    bool anyAlpha = false;
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* s = bits + stride * std::size_t(row);
        for (int x = 0; x < w; ++x) {
            std::uint32_t px;
            switch (bpp) {
            case 1:
                px = palette[std::size_t((s[x / 8] >> (7 - x % 8)) & 1)];
                break;
            case 4:
                px = palette[std::size_t((s[x / 2] >> ((x & 1) ? 0 : 4)) & 15)];
                break;
            case 8:
                px = palette[s[x]];
                break;
            case 16: {
                std::uint32_t v = rd16(s + 2 * x);
                px = 0xFF000000u | (channel(v, masks[0]) << 16) | (channel(v, masks[1]) << 8) |
                     channel(v, masks[2]);
                break;
            }
            case 24:
                px = 0xFF000000u | (std::uint32_t(s[3 * x + 2]) << 16) |
                     (std::uint32_t(s[3 * x + 1]) << 8) | s[3 * x];
                break;
            default: {
                std::uint32_t v = rd32(s + 4 * x);
                if (comp == 3 || comp == 6) {
                    px = (channel(v, masks[0]) << 16) | (channel(v, masks[1]) << 8) |
                         channel(v, masks[2]);
                    px |= masks[3] ? channel(v, masks[3]) << 24 : 0xFF000000u;
                } else {
                    px = v;
                }
                if ((px >> 24) != 0) anyAlpha = true;
                break;
            }
            }
            put(x, row, px);
        }
    }
    if (bpp == 32) {
        // All-zero alpha bytes mean the format carries no alpha.
        if (!anyAlpha)
            for (auto* p = out.Pixels32(); p != out.Pixels32() + std::size_t(w) * std::size_t(h);
                 ++p)
                *p |= 0xFF000000u;
        hasAlpha = anyAlpha;
    }
    out.SetPixelFormat(bpp == 32   ? pf32bit
                       : bpp == 24 ? pf24bit
                       : bpp == 16 ? pf16bit
                       : bpp == 8  ? pf8bit
                       : bpp == 4  ? pf4bit
                                   : pf1bit);
}
} // namespace gfx

void TBitmap::LoadFromStream(TStream& stream) {
    std::int64_t size = stream.Size() - stream.Position();
    if (size < 26) throw EInvalidGraphic("Bitmap image is not valid");
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    stream.ReadBuffer(data.data(), size);
    if (data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
    std::uint32_t offBits = rd32(&data[10]);
    if (offBits >= data.size() || offBits < 26) throw EInvalidGraphic("Bitmap image is not valid");
    TBitmap tmp;
    bool alpha = false;
    gfx::decodeDib(&data[14], offBits - 14, &data[offBits], data.size() - offBits, tmp, 0, alpha);
    width_ = tmp.width_;
    height_ = tmp.height_;
    pixels_ = std::move(tmp.pixels_);
    pixelFormat_ = tmp.pixelFormat_;
    alphaFormat_ = alpha ? afDefined : afIgnored;
    Changed();
}

void TBitmap::SaveToStream(TStream& stream) const {
    // 24-bit unless the bitmap is pf32bit; bottom-up rows, as BMP files usually are.
    int bpp = pixelFormat_ == pf32bit ? 32 : 24;
    std::size_t stride = ((std::size_t(width_) * std::size_t(bpp) + 31) / 32) * 4;
    std::size_t imageSize = stride * std::size_t(height_);
    std::vector<std::uint8_t> out(54 + imageSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    wr32(&out[2], std::uint32_t(out.size()));
    wr32(&out[10], 54);
    wr32(&out[14], 40);
    wr32(&out[18], std::uint32_t(width_));
    wr32(&out[22], std::uint32_t(height_));
    wr16(&out[26], 1);
    wr16(&out[28], std::uint16_t(bpp));
    wr32(&out[34], std::uint32_t(imageSize));
    wr32(&out[38], 3780); // 96 dpi in pixels per metre
    wr32(&out[42], 3780);
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* d = &out[54 + stride * std::size_t(height_ - 1 - y)];
        const std::uint32_t* s = &pixels_[std::size_t(y) * std::size_t(width_)];
        for (int x = 0; x < width_; ++x) {
            if (bpp == 32) {
                wr32(d + 4 * x, s[x]);
            } else {
                d[3 * x] = std::uint8_t(s[x]);
                d[3 * x + 1] = std::uint8_t(s[x] >> 8);
                d[3 * x + 2] = std::uint8_t(s[x] >> 16);
            }
        }
    }
    stream.WriteBuffer(out.data(), std::int64_t(out.size()));
}

void SavePng(const TBitmap& bitmap, const std::string& path) {
    TPngImage png;
    png.Assign(&bitmap);
    png.SaveToFile(path);
}
