#include "grid/core/base/AlphaMask.h"

#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
struct Rgb {
    std::uint8_t b, g, r;
};

// Filters one line of pixels in place; all inputs are read before the line is written.
void filterLine(std::vector<Rgb>& line, const std::vector<float>& kernel) {
    const int n = int(line.size());
    const int s = int(kernel.size() / 2);
    const std::vector<Rgb> in = line;
    for (int j = 0; j < n; ++j) {
        float b = 0, g = 0, r = 0;
        for (int k = -s; k <= s; ++k) {
            const Rgb& p = in[std::size_t(std::clamp(j - k, 0, n - 1))];
            const float w = kernel[std::size_t(s + k)];
            b += w * p.b;
            g += w * p.g;
            r += w * p.r;
        }
        // The epsilon absorbs the shortfall of single-precision weights, so 255 stays 255.
        const auto limit = [](float v) {
            return std::uint8_t(std::clamp(v + 0.001f, 0.0f, 255.0f));
        };
        line[std::size_t(j)] = {limit(b), limit(g), limit(r)};
    }
}

bool filtered(int index, int count) {
    return index <= 20 || index >= count - 20;
}
} // namespace

std::vector<float> BlurKernel(double Radius) {
    if (!(Radius > 0)) return {};
    float w[21];
    float sum = 0;
    for (int k = 0; k <= 20; ++k) {
        const float x = float((k - 10) / Radius);
        w[k] = std::exp(-x * x / 2);
        sum += w[k];
    }
    for (float& v : w) v /= sum;
    int s = 10;
    float tail = 0;
    while (tail < 1.0f / (2 * 255) && s > 1) {
        tail += 2 * w[10 + s];
        --s;
    }
    std::vector<float> kernel(w + 10 - s, w + 10 + s + 1);
    float central = 0;
    for (float v : kernel) central += v;
    for (float& v : kernel) v /= central;
    return kernel;
}

void GaussianBlurPixels(const TScanLineFunc& ScanLine, int Width, int Height, double Radius) {
    const std::vector<float> kernel = BlurKernel(Radius);
    if (kernel.empty() || Width <= 0 || Height <= 0) return;
    std::vector<Rgb> line;
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = ScanLine(y);
        if (!filtered(y, Height)) {
            std::memcpy(row, ScanLine(15), std::size_t(Width) * 4);
            continue;
        }
        line.resize(std::size_t(Width));
        for (int x = 0; x < Width; ++x)
            line[std::size_t(x)] = {row[x * 4], row[x * 4 + 1], row[x * 4 + 2]};
        filterLine(line, kernel);
        for (int x = 0; x < Width; ++x) {
            row[x * 4] = line[std::size_t(x)].b;
            row[x * 4 + 1] = line[std::size_t(x)].g;
            row[x * 4 + 2] = line[std::size_t(x)].r;
        }
    }
    for (int x = 0; x < Width; ++x) {
        if (!filtered(x, Width)) {
            for (int y = 0; y < Height; ++y) {
                std::uint8_t* row = ScanLine(y);
                std::memcpy(row + x * 4, row + 15 * 4, 4);
            }
            continue;
        }
        line.resize(std::size_t(Height));
        for (int y = 0; y < Height; ++y) {
            const std::uint8_t* p = ScanLine(y) + x * 4;
            line[std::size_t(y)] = {p[0], p[1], p[2]};
        }
        filterLine(line, kernel);
        for (int y = 0; y < Height; ++y) {
            std::uint8_t* p = ScanLine(y) + x * 4;
            p[0] = line[std::size_t(y)].b;
            p[1] = line[std::size_t(y)].g;
            p[2] = line[std::size_t(y)].r;
        }
    }
}

void MergeMaskPixels(const TScanLineFunc& Mask, const TScanLineFunc& Source,
                     const TScanLineFunc& Dest, int Width, int Height) {
    for (int y = 0; y < Height; ++y) {
        const std::uint8_t* m = Mask(y);
        const std::uint8_t* s = Source(y);
        std::uint8_t* d = Dest(y);
        for (int x = 0; x < Width; ++x) {
            const int alpha = m[x * 4 + 2];
            for (int c = 0; c < 3; ++c)
                d[x * 4 + c] = std::uint8_t(std::nearbyint(s[x * 4 + c] * alpha / 255.0));
            d[x * 4 + 3] = std::uint8_t(alpha);
        }
    }
}

void GaussianBlur(TBitmap* Bitmap, double Radius) {
    if (Bitmap->PixelFormat() != pf24bit) throw Exception("Blur only works for 24-bit bitmaps");
    GaussianBlurPixels([Bitmap](int y) { return Bitmap->ScanLine(y); }, Bitmap->Width(),
                       Bitmap->Height(), Radius);
    Bitmap->Modified();
}

void MakeRoundRectMask(TBitmap* Bitmap, int Width, int Height, int PenWidth, int CornerSize,
                       double Blur) {
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(Width, Height);
    TCanvas* canvas = Bitmap->Canvas();
    TPen oldPen;
    TBrush oldBrush;
    oldPen.Assign(canvas->Pen());
    oldBrush.Assign(canvas->Brush());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBlack);
    canvas->FillRect(TRect(0, 0, Width, Height));
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetColor(clWhite);
    if (PenWidth < 1) {
        canvas->Pen()->SetWidth(1);
        canvas->Brush()->SetColor(clWhite);
    } else {
        canvas->Pen()->SetWidth(PenWidth);
        canvas->Brush()->SetColor(clBlack);
    }
    const int c = PenWidth / 2;
    canvas->RoundRect(c + 2, c + 2, Width - c - 2, Height - c - 2, CornerSize, CornerSize);
    canvas->Pen()->Assign(&oldPen);
    canvas->Brush()->Assign(&oldBrush);
    if (Blur > 0) GaussianBlur(Bitmap, Blur);
}

TGridAlphaMask::TGridAlphaMask() {
    SetPixelFormat(pf32bit);
}

void TGridAlphaMask::Assign(const TPersistent* Source) {
    if (const auto* src = dynamic_cast<const TGridAlphaMask*>(Source)) {
        if (src == this) return;
        FOpacity = src->FOpacity;
        SetSize(src->Width(), src->Height());
        for (int y = 0; y < Height(); ++y)
            std::memcpy(ScanLine(y), src->ScanLine(y), std::size_t(Width()) * 4);
        Modified();
    } else {
        TBitmap::Assign(Source);
    }
    SetPixelFormat(pf32bit);
}

void TGridAlphaMask::MergeMask(TBitmap* Mask, TBitmap* Bitmap, TColor /*Color*/) {
    if (Bitmap->PixelFormat() != pf24bit) return;
    const int w = Bitmap->Width();
    const int h = Bitmap->Height();
    SetSize(w, h);
    std::vector<std::uint8_t> none(std::size_t(w) * 4, 0);
    const int mw = std::min(w, Mask->Width());
    std::vector<std::uint8_t> maskRow(std::size_t(w) * 4, 0);
    MergeMaskPixels(
        [&](int y) -> std::uint8_t* {
            if (y >= Mask->Height()) return none.data();
            std::memcpy(maskRow.data(), Mask->ScanLine(y), std::size_t(mw) * 4);
            return maskRow.data();
        },
        [&](int y) { return Bitmap->ScanLine(y); }, [&](int y) { return ScanLine(y); }, w, h);
    Modified();
}
