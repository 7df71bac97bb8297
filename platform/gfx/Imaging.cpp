#include "platform/gfx/Imaging.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <typeinfo>

namespace gfx {
void decodeDib(const std::uint8_t* dib, std::size_t dibSize, const std::uint8_t* bits,
               std::size_t bitsSize, TBitmap& out, int rowsOverride, bool& hasAlpha);
}

namespace {
std::vector<std::uint8_t> readRest(TStream& stream) {
    std::int64_t size = stream.Size() - stream.Position();
    std::vector<std::uint8_t> data(std::size_t(std::max<std::int64_t>(size, 0)));
    if (size > 0) stream.ReadBuffer(data.data(), size);
    return data;
}
std::uint32_t rd32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t rd16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}
void put16(std::vector<std::uint8_t>& v, std::uint16_t x) {
    v.push_back(std::uint8_t(x));
    v.push_back(std::uint8_t(x >> 8));
}
} // namespace

// --- TAlphaGraphic ----------------------------------------------------------------------------
TAlphaGraphic::TAlphaGraphic() : pixels_(std::make_unique<TBitmap>()) {
    pixels_->SetPixelFormat(pf32bit);
    pixels_->SetAlphaFormat(afDefined);
}
TAlphaGraphic::~TAlphaGraphic() = default;
int TAlphaGraphic::Width() const {
    return pixels_->Width();
}
int TAlphaGraphic::Height() const {
    return pixels_->Height();
}
const TBitmap* TAlphaGraphic::Frame() const {
    return pixels_->Empty() ? nullptr : pixels_.get();
}

void TAlphaGraphic::Assign(const TPersistent* Source) {
    if (Source == this) return;
    if (auto* g = dynamic_cast<const TGraphic*>(Source)) {
        const TBitmap* f = g->Frame();
        if (!f) {
            pixels_->SetSize(0, 0);
        } else {
            pixels_->Assign(f);
            if (!g->HasAlpha())
                for (int i = 0, n = f->Width() * f->Height(); i < n; ++i)
                    pixels_->Pixels32()[i] |= 0xFF000000u;
        }
        pixels_->SetPixelFormat(pf32bit);
        pixels_->SetAlphaFormat(afDefined);
        pixels_->SetTransparent(false);
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

// --- TIcon ------------------------------------------------------------------------------------
void TIcon::SetSize(int width, int height) {
    wantWidth_ = width;
    wantHeight_ = height;
}

void TIcon::LoadFromStream(TStream& stream) {
    auto data = readRest(stream);
    if (data.size() < 6 || rd16(&data[0]) != 0 || (rd16(&data[2]) != 1 && rd16(&data[2]) != 2))
        throw EInvalidGraphic("Icon image is not valid");
    int count = rd16(&data[4]);
    if (count == 0 || data.size() < 6 + std::size_t(count) * 16)
        throw EInvalidGraphic("Icon image is not valid");
    int best = -1, bestArea = -1;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* e = &data[6 + std::size_t(i) * 16];
        int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        if (w == wantWidth_ && h == wantHeight_) {
            if (best < 0 || bestArea != -2) best = i;
            bestArea = -2;
            break;
        }
        if (w * h > bestArea) {
            bestArea = w * h;
            best = i;
        }
    }
    const std::uint8_t* e = &data[6 + std::size_t(best) * 16];
    std::uint32_t size = rd32(e + 8), offset = rd32(e + 12);
    if (offset >= data.size() || size > data.size() - offset || size < 40)
        throw EInvalidGraphic("Icon image is not valid");
    const std::uint8_t* img = &data[offset];
    TBitmap px; // decoded aside, so that a failure keeps the current image
    if (std::memcmp(img, "\x89PNG", 4) == 0) {
        DecodePng(img, size, px);
        pixels().Assign(&px);
        Changed();
        return;
    }
    std::uint32_t hs = rd32(img);
    if (hs < 40 || hs > size) throw EInvalidGraphic("Icon image is not valid");
    int w = std::int32_t(rd32(img + 4)), h2 = std::int32_t(rd32(img + 8)), bpp = rd16(img + 14);
    std::uint32_t comp = rd32(img + 16), used = rd32(img + 32);
    int h = h2 / 2;
    CheckPictureSize(w, h, "Icon");
    std::size_t colors = bpp <= 8 ? (used ? used : 1u << bpp) : 0;
    std::size_t bitsOffset = hs + colors * 4 + (comp == 3 && hs == 40 ? 12 : 0);
    if (bitsOffset >= size) throw EInvalidGraphic("Icon image is not valid");
    bool alpha = false;
    gfx::decodeDib(img, size, img + bitsOffset, size - bitsOffset, px, h, alpha);
    std::size_t xorStride = ((std::size_t(w) * std::size_t(bpp) + 31) / 32) * 4;
    std::size_t andStride = ((std::size_t(w) + 31) / 32) * 4;
    std::size_t andOffset = bitsOffset + xorStride * std::size_t(h);
    bool haveMask = andOffset + andStride * std::size_t(h) <= size;
    for (int row = 0; row < h; ++row) {
        int y = h - 1 - row;
        for (int x = 0; x < w; ++x) {
            std::uint32_t& p = px.Pixels32()[std::size_t(y) * std::size_t(w) + std::size_t(x)];
            if (alpha) continue;
            bool transparent =
                haveMask && ((img[andOffset + andStride * std::size_t(row) + std::size_t(x / 8)] >>
                              (7 - x % 8)) &
                             1);
            p = transparent ? (p & 0xFFFFFF) : (p | 0xFF000000u);
        }
    }
    px.SetPixelFormat(pf32bit);
    px.SetAlphaFormat(afDefined);
    pixels().Assign(&px);
    Changed();
}

void TIcon::SaveToStream(TStream& stream) const {
    const TBitmap& px = pixels();
    if (px.Empty() || px.Width() > 256 || px.Height() > 256)
        throw EInvalidGraphic("Cannot save this icon");
    int w = px.Width(), h = px.Height();
    std::size_t andStride = ((std::size_t(w) + 31) / 32) * 4;
    std::uint32_t imageSize =
        std::uint32_t(40 + std::size_t(w) * std::size_t(h) * 4 + andStride * std::size_t(h));
    std::vector<std::uint8_t> v;
    put16(v, 0);
    put16(v, 1);
    put16(v, 1);
    v.push_back(std::uint8_t(w == 256 ? 0 : w));
    v.push_back(std::uint8_t(h == 256 ? 0 : h));
    v.push_back(0);
    v.push_back(0);
    put16(v, 1);
    put16(v, 32);
    put32(v, imageSize);
    put32(v, 22);
    put32(v, 40);
    put32(v, std::uint32_t(w));
    put32(v, std::uint32_t(h * 2));
    put16(v, 1);
    put16(v, 32);
    for (int i = 0; i < 6; ++i) put32(v, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            put32(v, px.Pixels32()[std::size_t(y) * std::size_t(w) + std::size_t(x)]);
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if ((px.Pixels32()[std::size_t(y) * std::size_t(w) + std::size_t(x)] >> 24) == 0)
                row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
        v.insert(v.end(), row.begin(), row.end());
    }
    stream.WriteBuffer(v.data(), std::int64_t(v.size()));
}

// --- TGIFImage --------------------------------------------------------------------------------
void TGIFImage::LoadFromStream(TStream& stream) {
    auto data = readRest(stream);
    if (data.size() < 6 || std::memcmp(data.data(), "GIF8", 4) != 0)
        throw EInvalidGraphic("GIF image is not valid");
    QByteArray bytes(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    CheckPictureSize(reader.size().width(), reader.size().height(), "GIF");
    QImage img = reader.read();
    if (img.isNull())
        throw EInvalidGraphic("GIF image is not valid: " + reader.errorString().toStdString());
    img = img.convertToFormat(QImage::Format_ARGB32);
    TBitmap& px = pixels();
    px.SetSize(0, 0);
    px.SetSize(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(px.ScanLine(y), img.constScanLine(y), std::size_t(img.width()) * 4);
    bytes_ = std::move(data);
    Changed();
}

void TGIFImage::SaveToStream(TStream& stream) const {
    if (bytes_.empty()) throw EInvalidGraphic("Cannot save this GIF image");
    stream.WriteBuffer(bytes_.data(), std::int64_t(bytes_.size()));
}

// --- TPicture ---------------------------------------------------------------------------------
std::unique_ptr<TGraphic> CreateGraphicForData(const std::uint8_t* d, std::size_t n) {
    if (n >= 2 && d[0] == 'B' && d[1] == 'M') return std::make_unique<TBitmap>();
    if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return std::make_unique<TPngImage>();
    if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
        return std::make_unique<TJPEGImage>();
    if (n >= 4 && std::memcmp(d, "GIF8", 4) == 0) return std::make_unique<TGIFImage>();
    if (n >= 6 && d[0] == 0 && d[1] == 0 && (d[2] == 1 || d[2] == 2) && d[3] == 0)
        return std::make_unique<TIcon>();
    return nullptr;
}

namespace {
std::unique_ptr<TGraphic> graphicForExtension(const std::string& path) {
    auto dot = path.find_last_of('.');
    std::string ext = dot == std::string::npos ? "" : LowerCase(path.substr(dot));
    if (ext == ".bmp") return std::make_unique<TBitmap>();
    if (ext == ".png") return std::make_unique<TPngImage>();
    if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif")
        return std::make_unique<TJPEGImage>();
    if (ext == ".gif") return std::make_unique<TGIFImage>();
    if (ext == ".ico") return std::make_unique<TIcon>();
    throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
}

std::unique_ptr<TGraphic> cloneGraphic(const TGraphic& g) {
    std::unique_ptr<TGraphic> out;
    if (typeid(g) == typeid(TBitmap))
        out = std::make_unique<TBitmap>();
    else if (typeid(g) == typeid(TPngImage))
        out = std::make_unique<TPngImage>();
    else if (typeid(g) == typeid(TIcon))
        out = std::make_unique<TIcon>();
    else if (typeid(g) == typeid(TJPEGImage)) {
        auto j = std::make_unique<TJPEGImage>();
        auto& src = static_cast<const TJPEGImage&>(g);
        j->SetCompressionQuality(src.CompressionQuality());
        j->SetGrayscale(src.Grayscale());
        j->SetProgressiveEncoding(src.ProgressiveEncoding());
        out = std::move(j);
    } else if (typeid(g) == typeid(TGIFImage)) {
        // The stored bytes travel with a save and load.
        TMemoryStream m;
        g.SaveToStream(m);
        m.SetPosition(0);
        out = std::make_unique<TGIFImage>();
        out->LoadFromStream(m);
        out->SetTransparent(g.Transparent());
        return out;
    } else {
        out = std::make_unique<TPngImage>();
    }
    out->Assign(&g);
    out->SetTransparent(g.Transparent());
    return out;
}
} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::take(std::unique_ptr<TGraphic> g) {
    graphic_ = std::move(g);
    if (graphic_)
        graphic_->OnChange = [this](TObject*) {
            if (OnChange) OnChange(this);
        };
    if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(const TGraphic* value) {
    if (value == graphic_.get()) return;
    take(value ? cloneGraphic(*value) : nullptr);
}

TBitmap* TPicture::Bitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(graphic_.get())) return b;
    auto b = std::make_unique<TBitmap>();
    if (graphic_) b->Assign(graphic_.get());
    TBitmap* raw = b.get();
    take(std::move(b));
    return raw;
}

int TPicture::Width() const {
    return graphic_ ? graphic_->Width() : 0;
}
int TPicture::Height() const {
    return graphic_ ? graphic_->Height() : 0;
}

void TPicture::LoadFromStream(TStream& stream) {
    auto data = readRest(stream);
    auto g = CreateGraphicForData(data.data(), data.size());
    if (!g) throw EInvalidGraphic("Unknown picture format");
    TMemoryStream m;
    if (!data.empty()) m.WriteBuffer(data.data(), std::int64_t(data.size()));
    m.SetPosition(0);
    g->LoadFromStream(m);
    take(std::move(g));
}

void TPicture::LoadFromFile(const std::string& path) {
    TMemoryStream m;
    m.LoadFromFile(path);
    gfx::FilePictureScope file;
    auto g = CreateGraphicForData(m.Bytes().data(), m.Bytes().size());
    if (!g) g = graphicForExtension(path);
    m.SetPosition(0);
    g->LoadFromStream(m);
    take(std::move(g));
}

void TPicture::SaveToFile(const std::string& path) const {
    if (graphic_) graphic_->SaveToFile(path);
}
void TPicture::SaveToStream(TStream& stream) const {
    if (graphic_) graphic_->SaveToStream(stream);
}

void TPicture::Assign(const TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        take(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<const TPicture*>(Source)) {
        SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<const TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}
