#include "platform/gfx/ImageList.h"

#include "platform/gfx/Imaging.h"
#include "platform/gfx/Raster.h"

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}
TImageList::~TImageList() = default;

void TImageList::changed() {
    if (OnChange) OnChange(this);
}

void TImageList::SetWidth(int v) {
    SetSize(v, height_);
}
void TImageList::SetHeight(int v) {
    SetSize(width_, v);
}
void TImageList::SetSize(int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    Clear();
}

namespace {
// Cuts image piece `i` of the list's size; alpha from mask, own alpha, key colour or opaque.
std::unique_ptr<TBitmap> cut(const TBitmap& image, int i, int w, int h, const TBitmap* mask,
                             bool useKey, std::uint32_t key) {
    auto out = std::make_unique<TBitmap>();
    out->SetPixelFormat(pf32bit);
    out->SetAlphaFormat(afDefined);
    out->SetSize(w, h);
    bool ownAlpha = image.HasAlpha();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sx = i * w + x;
            std::uint32_t p = 0;
            if (sx < image.Width() && y < image.Height()) {
                p = image.Pixels32()[std::size_t(y) * std::size_t(image.Stride32()) +
                                     std::size_t(sx)];
                if (!ownAlpha) p |= 0xFF000000u;
                if (mask) {
                    bool transparent =
                        sx < mask->Width() && y < mask->Height() &&
                        (mask->Pixels32()[std::size_t(y) * std::size_t(mask->Stride32()) +
                                          std::size_t(sx)] &
                         0xFFFFFF) != 0;
                    if (transparent) p &= 0xFFFFFF;
                } else if (useKey && (p & 0xFFFFFF) == (key & 0xFFFFFF)) {
                    p &= 0xFFFFFF;
                }
            }
            out->Pixels32()[std::size_t(y) * std::size_t(w) + std::size_t(x)] = p;
        }
    return out;
}
} // namespace

int TImageList::Add(const TBitmap* image, const TBitmap* mask) {
    if (!image || image->Empty()) return -1;
    int first = Count();
    int n = std::max(1, image->Width() / width_);
    for (int i = 0; i < n; ++i) images_.push_back(cut(*image, i, width_, height_, mask, false, 0));
    changed();
    return first;
}

int TImageList::AddMasked(const TBitmap* image, TColor maskColor) {
    if (!image || image->Empty()) return -1;
    bool useKey = maskColor != clNone;
    TColor key = maskColor == clDefault ? image->PixelColor(0, image->Height() - 1) : maskColor;
    int first = Count();
    int n = std::max(1, image->Width() / width_);
    for (int i = 0; i < n; ++i)
        images_.push_back(cut(*image, i, width_, height_, nullptr, useKey, gfx::toPixel(key)));
    changed();
    return first;
}

int TImageList::AddIcon(const TIcon* icon) {
    if (!icon || !icon->Frame()) return -1;
    const TBitmap* f = icon->Frame();
    TBitmap scaled;
    scaled.SetPixelFormat(pf32bit);
    scaled.SetAlphaFormat(afDefined);
    scaled.SetSize(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            scaled.Pixels32()[std::size_t(y) * std::size_t(width_) + std::size_t(x)] =
                f->Pixels32()[std::size_t(y * f->Height() / height_) * std::size_t(f->Width()) +
                              std::size_t(x * f->Width() / width_)];
    images_.push_back(cut(scaled, 0, width_, height_, nullptr, false, 0));
    changed();
    return Count() - 1;
}

void TImageList::Replace(int index, const TBitmap* image, const TBitmap* mask) {
    if (index < 0 || index >= Count() || !image)
        throw EInvalidOperation("Invalid image list index");
    images_[std::size_t(index)] = cut(*image, 0, width_, height_, mask, false, 0);
    changed();
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid image list index");
    images_.erase(images_.begin() + index);
    changed();
}

void TImageList::Clear() {
    images_.clear();
    changed();
}

void TImageList::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count())
        throw EInvalidOperation("Invalid image list index");
    auto item = std::move(images_[std::size_t(from)]);
    images_.erase(images_.begin() + from);
    images_.insert(images_.begin() + to, std::move(item));
    changed();
}

const TBitmap* TImageList::Image(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return images_[std::size_t(index)].get();
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
    Draw(canvas, x, y, index, drawingStyle_, itImage, enabled);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style,
                      TImageType type, bool enabled) const {
    const TBitmap* img = Image(index);
    if (!canvas || !img) return;
    if (bkColor_ != clNone && style != dsTransparent && type == itImage)
        FillRect(canvas->Handle(), Bounds(x, y, width_, height_), bkColor_);
    if (enabled && type == itImage && style != dsSelected && style != dsFocus) {
        canvas->Draw(x, y, img);
        return;
    }
    TBitmap tmp;
    tmp.Assign(img);
    std::uint32_t* p = tmp.Pixels32();
    std::size_t n = std::size_t(width_) * std::size_t(height_);
    if (!enabled) {
        // Classic disabled look: the image's non-white pixels embossed in highlight and shadow.
        TBitmap shadow;
        shadow.Assign(img);
        std::uint32_t hi = gfx::toPixel(clBtnHighlight), sh = gfx::toPixel(clBtnShadow);
        for (std::size_t i = 0; i < n; ++i) {
            bool on = (p[i] >> 24) >= 128 && (p[i] & 0xFFFFFF) != 0xFFFFFF;
            tmp.Pixels32()[i] = on ? hi : 0;
            shadow.Pixels32()[i] = on ? sh : 0;
        }
        canvas->Draw(x + 1, y + 1, &tmp);
        canvas->Draw(x, y, &shadow);
        return;
    }
    if (type == itMask) {
        for (std::size_t i = 0; i < n; ++i) p[i] = (p[i] >> 24) >= 128 ? 0xFF000000u : 0xFFFFFFFFu;
    } else {
        // Selected images are blended half, focused a quarter, with the highlight colour.
        std::uint32_t hl = gfx::toPixel(clHighlight);
        unsigned share = style == dsSelected ? 128 : 64;
        for (std::size_t i = 0; i < n; ++i) {
            std::uint32_t out = p[i] & 0xFF000000u;
            for (int s = 0; s < 24; s += 8) {
                unsigned a = (p[i] >> s) & 0xFF, b = (hl >> s) & 0xFF;
                out |= ((a * (256 - share) + b * share) >> 8) << s;
            }
            p[i] = out;
        }
    }
    canvas->Draw(x, y, &tmp);
}

void TImageList::DrawGrayed(TCanvas* canvas, int x, int y, int index) const {
    const TBitmap* img = Image(index);
    if (!canvas || !img) return;
    TBitmap tmp;
    tmp.Assign(img);
    for (std::size_t i = 0; i < std::size_t(width_) * std::size_t(height_); ++i) {
        std::uint32_t p = tmp.Pixels32()[i];
        unsigned g = (((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 151 + (p & 0xFF) * 28) >> 8;
        tmp.Pixels32()[i] = (p & 0xFF000000u) | (g << 16) | (g << 8) | g;
    }
    canvas->Draw(x, y, &tmp);
}

bool TImageList::GetBitmap(int index, TBitmap* bitmap) const {
    const TBitmap* img = Image(index);
    if (!img || !bitmap) return false;
    bitmap->SetSize(width_, height_);
    Draw(bitmap->Canvas(), 0, 0, index, dsNormal, itImage, true);
    return true;
}
