#include "treeview/LazyTreeUtils.h"

#include "platform/base/SysUtils.h"
#include "platform/gfx/Gdi.h"

#include <algorithm>
#include <vector>

bool CpuMMXPresent = false;
bool WindowsVistaOrLater = false;

bool CpuHasMMX() {
    return true;
}

namespace {

std::uint8_t blendByte(int s, int d, int a, int bias) {
    return std::uint8_t(std::clamp(((s * a + d * (256 - a)) >> 8) + bias, 0, 255));
}

} // namespace

void BlendLineConstant(const std::uint8_t* Source, std::uint8_t* Destination, int Count, int Bias,
                       int ConstantAlpha) {
    for (int i = 0; i < Count * 4; ++i)
        Destination[i] = blendByte(Source[i], Destination[i], ConstantAlpha, Bias);
}

void BlendLinePerPixel(const std::uint8_t* Source, std::uint8_t* Destination, int Count, int Bias) {
    for (int p = 0; p < Count; ++p, Source += 4, Destination += 4) {
        const int a = Source[3];
        for (int c = 0; c < 4; ++c) Destination[c] = blendByte(Source[c], Destination[c], a, Bias);
    }
}

void BlendLineMaster(const std::uint8_t* Source, std::uint8_t* Destination, int Count, int Bias,
                     int ConstantAlpha) {
    for (int p = 0; p < Count; ++p, Source += 4, Destination += 4) {
        const int a = (ConstantAlpha * Source[3]) >> 8;
        for (int c = 0; c < 4; ++c) Destination[c] = blendByte(Source[c], Destination[c], a, Bias);
    }
}

void BlendLineMasterColor(std::uint8_t* Destination, int Count, int ConstantAlpha, TColor Color) {
    // 0x00BBGGRR rearranged to the pixel's byte order B, G, R, 0.
    const int channel[4] = {int((Color >> 16) & 0xFF), int((Color >> 8) & 0xFF), int(Color & 0xFF),
                            0};
    for (int p = 0; p < Count; ++p, Destination += 4)
        for (int c = 0; c < 4; ++c)
            Destination[c] = blendByte(channel[c], Destination[c], ConstantAlpha, 0);
}

void EndMMX() {}

std::uint8_t* DIBSectionBits(HDC DC, int& Width, int& Height) {
    TBitmap* bitmap = DC ? DC->Target() : nullptr;
    if (!bitmap || bitmap->Empty())
        throw EAssertionFailed("Alpha blending DC error: no bitmap available.");
    if (bitmap->PixelFormat() != pf32bit)
        throw EAssertionFailed("Alpha blending error: bitmap must use 32 bpp.");
    Width = bitmap->Width();
    Height = -bitmap->Height();
    return reinterpret_cast<std::uint8_t*>(bitmap->Pixels32());
}

std::uint8_t* ScanLineAddress(std::uint8_t* Bits, int Width, int Height, int Row) {
    const int stride = ((Width * 32 + 31) & ~31) / 8;
    return Bits + std::ptrdiff_t(stride) * (Height > 0 ? Height - Row - 1 : Row);
}

void BlendRect(HDC Source, HDC Destination, const TRect& R, TPoint Target, TAlphaBlendMode Mode,
               int ConstantAlpha, int Bias) {
    if (R.IsEmpty()) return;
    int dw = 0, dh = 0;
    std::uint8_t* dst = DIBSectionBits(Destination, dw, dh);
    if (Mode == abMasterAndColor) {
        for (int i = 0; i < R.Height(); ++i)
            BlendLineMasterColor(ScanLineAddress(dst, dw, dh, R.Top + i) + R.Left * 4, R.Width(),
                                 ConstantAlpha, TColor(Bias));
    } else {
        int sw = 0, sh = 0;
        std::uint8_t* src = DIBSectionBits(Source, sw, sh);
        for (int i = 0; i < R.Height(); ++i) {
            const std::uint8_t* s = ScanLineAddress(src, sw, sh, R.Top + i) + R.Left * 4;
            std::uint8_t* d = ScanLineAddress(dst, dw, dh, Target.Y + i) + Target.X * 4;
            if (Mode == abConstant)
                BlendLineConstant(s, d, R.Width(), Bias, ConstantAlpha);
            else if (Mode == abPerPixel)
                BlendLinePerPixel(s, d, R.Width(), Bias);
            else
                BlendLineMaster(s, d, R.Width(), Bias, ConstantAlpha);
        }
    }
    Destination->Target()->Modified();
    EndMMX();
}

TRect SortRectCorners(TRect R) {
    if (R.Left > R.Right) std::swap(R.Left, R.Right);
    if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
    return R;
}

void ClipToRect(TCanvas* Canvas, const TRect& ClipRect, HRGN VisibleRegion) {
    TPoint corners[2] = {TPoint(ClipRect.Left, ClipRect.Top),
                         TPoint(ClipRect.Right, ClipRect.Bottom)};
    LPtoDP(Canvas, corners, 2);
    HRGN rgn = CreateRectRgn(corners[0].X, corners[0].Y, corners[1].X, corners[1].Y);
    if (VisibleRegion) CombineRgn(rgn, rgn, VisibleRegion, RGN_AND);
    SelectClipRgn(Canvas, rgn);
    DeleteObject(rgn);
}

void MeasureTextBounds(HDC DC, const std::string& Text, TRect& Bounds, unsigned Format) {
    Bounds.Right = Bounds.Left + 1;
    Bounds.Bottom = Bounds.Top + 1;
    DrawText(DC, Text, -1, Bounds, Format | DT_CALCRECT);
}

namespace {

int textWidth(HDC DC, const std::string& s) {
    TSize size{};
    GetTextExtentPoint32(DC, s, int(s.size()), size);
    return size.cx;
}

int boundsWidth(HDC DC, const std::string& s, unsigned Format) {
    TRect r(0, 0, 0, 0);
    MeasureTextBounds(DC, s, r, Format);
    return r.Width();
}

} // namespace

std::string ShortenToWidth(HDC DC, const std::string& S, int Width, int EllipsisWidth) {
    if (S.empty() || Width <= 0) return {};
    if (EllipsisWidth == 0) EllipsisWidth = textWidth(DC, "...");
    const std::size_t length = Utf8Length(S);
    std::size_t low = 0, high = length;
    while (low < high) {
        const std::size_t n = (low + high + 1) / 2;
        if (textWidth(DC, Utf8Substr(S, 0, n)) + EllipsisWidth <= Width)
            low = n;
        else
            high = n - 1;
    }
    if (low == length) return S;
    if (EllipsisWidth < Width) return Utf8Substr(S, 0, low) + "...";
    return {};
}

std::string WrapTextLines(HDC DC, const std::string& Text, const TRect& Bounds, unsigned Format,
                          bool RightToLeft) {
    const std::string s = Trim(Text);
    if (s.empty()) return {};
    const int maxWidth = Bounds.Width();
    std::vector<std::string> words;
    for (std::size_t start = 0;;) {
        const std::size_t blank = s.find(' ', start);
        words.push_back(s.substr(start, blank == std::string::npos ? blank : blank - start));
        if (blank == std::string::npos) break;
        start = blank + 1;
    }
    if (RightToLeft) std::reverse(words.begin(), words.end());

    auto join = [RightToLeft](const std::string& line, const std::string& word) {
        if (line.empty()) return word;
        return RightToLeft ? word + " " + line : line + " " + word;
    };
    std::string result, line;
    std::size_t i = 0;
    std::string pending; // the rest of a word that was cut
    bool hasPending = false;
    while (hasPending || i < words.size()) {
        std::string word = hasPending ? pending : words[i];
        const std::string candidate = join(line, word);
        if (boundsWidth(DC, candidate, Format) <= maxWidth) {
            line = candidate;
            if (hasPending)
                hasPending = false;
            else
                ++i;
            continue;
        }
        if (line.empty()) {
            // The word alone is too wide: the largest piece that fits stays on this line.
            const std::size_t length = Utf8Length(word);
            std::size_t keep = 1;
            for (std::size_t n = length - 1; n >= 1 && length > 1; --n) {
                const std::string piece =
                    RightToLeft ? Utf8Substr(word, length - n) : Utf8Substr(word, 0, n);
                if (boundsWidth(DC, piece, Format) <= maxWidth) {
                    keep = n;
                    break;
                }
            }
            line = RightToLeft ? Utf8Substr(word, length - keep) : Utf8Substr(word, 0, keep);
            std::string rest =
                RightToLeft ? Utf8Substr(word, 0, length - keep) : Utf8Substr(word, keep);
            if (!hasPending) ++i;
            hasPending = !rest.empty();
            pending = std::move(rest);
        }
        result += line + "\n";
        line.clear();
    }
    if (!line.empty()) result += line + "\n";
    if (!result.empty()) result.pop_back();
    return result;
}

void DrawStretchedDIB(TCanvas* Canvas, const TRect& R, const TBitmap* Bitmap) {
    Canvas->StretchDraw(R, Bitmap);
}

std::uint32_t ColorToImageListColor(TColor Color) {
    if (Color == clNone) return CLR_NONE;
    if (Color == clDefault) return CLR_DEFAULT;
    return std::uint32_t(ColorToRGB(Color));
}

void DrawListImage(const TImageList* ImageList, int Index, TCanvas* Canvas, int X, int Y,
                   TDrawingStyle Style, bool Enabled) {
    if (Enabled)
        ImageList->Draw(Canvas, X, Y, Index, Style, itImage, true);
    else
        DrawImageGreyed(ImageList, Canvas, X, Y, Index);
}

void DrawImageGreyed(const TImageList* ImageList, TCanvas* Canvas, int X, int Y, int Index) {
    ImageList->DrawGrayed(Canvas, X, Y, Index);
}

std::array<TRect, 6> SplitDragMove(int Width, int Height, int DX, int DY) {
    std::array<TRect, 6> r{};
    r[0] = TRect(0, 0, Width, Height);
    // The part that stays under the picture, in picture coordinates.
    r[1] = TRect(std::max(0, -DX), std::max(0, -DY), Width - std::max(0, DX),
                 Height - std::max(0, DY));
    if (DX > 0) {
        r[2] = TRect(0, 0, DX, Height);
        r[3] = TRect(Width - DX, 0, DX, Height);
    } else if (DX < 0) {
        r[2] = TRect(Width + DX, 0, -DX, Height);
        r[3] = TRect(0, 0, -DX, Height);
    }
    // A purely vertical move uses the strip slots of a horizontal one, axes exchanged.
    const std::size_t h = DX == 0 ? 2 : 4;
    if (DY > 0) {
        r[h] = TRect(0, 0, Width, DY);
        r[h + 1] = TRect(0, Height - DY, Width, DY);
    } else if (DY < 0) {
        r[h] = TRect(0, Height + DY, Width, -DY);
        r[h + 1] = TRect(0, 0, Width, -DY);
    }
    return r;
}
