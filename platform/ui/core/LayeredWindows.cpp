#include "platform/ui/core/LayeredWindows.h"

#include <algorithm>

// The layered state is the window's own; only these functions change it.
struct LayeredWindowAccess {
    static std::unique_ptr<TBitmap>& image(TWinControl* c) { return c->layeredImage_; }
    static std::uint8_t& alpha(TWinControl* c) { return c->layeredAlpha_; }
};

namespace {
TWinControl* layeredWindow(HWND Wnd) {
    TWinControl* c = FindControl(Wnd);
    return c && c->IsLayeredWindow() ? c : nullptr;
}
} // namespace

bool UpdateLayeredWindow(HWND Wnd, HDC /*DstDC*/, TPoint* DstPos, TSize* Size, HDC SrcDC,
                         TPoint* SrcPos, TColor /*Key*/, BLENDFUNCTION* Blend, DWORD Flags) {
    TWinControl* c = layeredWindow(Wnd);
    const TBitmap* source = SrcDC ? SrcDC->Target() : nullptr;
    if (!c || !Size || !source || Size->cx <= 0 || Size->cy <= 0) return false;
    const TPoint from = SrcPos ? *SrcPos : TPoint{0, 0};
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixelFormat(pf32bit);
    picture->SetAlphaFormat(afPremultiplied);
    picture->SetSize(Size->cx, Size->cy);
    const bool alpha = (Flags & ULW_ALPHA) && source->PixelFormat() == pf32bit;
    for (int y = 0; y < Size->cy; ++y) {
        std::uint32_t* dst = picture->Pixels32() + std::size_t(y) * std::size_t(Size->cx);
        const int sy = from.Y + y;
        for (int x = 0; x < Size->cx; ++x) {
            const int sx = from.X + x;
            std::uint32_t px = 0;
            if (sy >= 0 && sy < source->Height() && sx >= 0 && sx < source->Width()) {
                px = source->Pixels32()[std::size_t(sy) * std::size_t(source->Stride32()) +
                                        std::size_t(sx)];
                if (!alpha) px |= 0xFF000000u;
            }
            dst[x] = px;
        }
    }
    picture->Modified();
    LayeredWindowAccess::image(c) = std::move(picture);
    LayeredWindowAccess::alpha(c) =
        (Flags & ULW_ALPHA) && Blend ? Blend->SourceConstantAlpha : std::uint8_t(255);
    if (DstPos)
        c->SetBounds(DstPos->X, DstPos->Y, Size->cx, Size->cy);
    else
        c->SetBounds(c->Left(), c->Top(), Size->cx, Size->cy);
    if (c->Peer()) c->Peer()->Changed(pcLayered);
    return true;
}

bool SetLayeredWindowAttributes(HWND Wnd, TColor /*Key*/, std::uint8_t Alpha, DWORD Flags) {
    TWinControl* c = layeredWindow(Wnd);
    if (!c) return false;
    if (Flags & LWA_ALPHA) LayeredWindowAccess::alpha(c) = Alpha;
    if (c->Peer()) c->Peer()->Changed(pcLayered);
    return true;
}
