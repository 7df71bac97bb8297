#include "grid/render/CellGlyphs.h"

#include "grid/core/base/GridDraw.h"

#include <map>
#include <memory>

namespace {

constexpr TColor Key = 0xFF00FF; // transparent: magenta

TColor rgb(int r, int g, int b) {
    return TColor(r | (g << 8) | (b << 16));
}

std::unique_ptr<TBitmap> blank(int size) {
    auto bmp = std::make_unique<TBitmap>(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) bmp->Canvas()->SetPixels(x, y, Key);
    bmp->SetTransparentMode(tmAuto);
    bmp->SetTransparent(true);
    return bmp;
}

void frame(TBitmap& b, int x0, int y0, int side, TColor c) {
    for (int i = 0; i < side; ++i) {
        b.Canvas()->SetPixels(x0 + i, y0, c);
        b.Canvas()->SetPixels(x0 + i, y0 + side - 1, c);
        b.Canvas()->SetPixels(x0, y0 + i, c);
        b.Canvas()->SetPixels(x0 + side - 1, y0 + i, c);
    }
}

void fill(TBitmap& b, int x0, int y0, int side, TColor from, TColor to) {
    for (int y = 0; y < side; ++y) {
        const auto mix = [&](int shift) {
            const int a = (from >> shift) & 0xFF, z = (to >> shift) & 0xFF;
            return a + (z - a) * y / (side > 1 ? side - 1 : 1);
        };
        const TColor c = rgb(mix(0), mix(8), mix(16));
        for (int x = 0; x < side; ++x) b.Canvas()->SetPixels(x0 + x, y0 + y, c);
    }
}

// A tick two pixels thick whose short stroke starts at (x0, y0).
void tick(TBitmap& b, int x0, int y0, TColor c) {
    for (int t = 0; t < 2; ++t) {
        for (int i = 0; i < 3; ++i) b.Canvas()->SetPixels(x0 + i, y0 + i + t, c);
        for (int i = 0; i < 5; ++i) b.Canvas()->SetPixels(x0 + 2 + i, y0 + 2 - i + t, c);
    }
}

std::unique_ptr<TBitmap> checkGlyph(int size, int side, TColor border, TColor from, TColor to,
                                    TColor mark, bool checked) {
    auto b = blank(size);
    fill(*b, 0, 0, side, from, to);
    frame(*b, 0, 0, side, border);
    if (checked) tick(*b, side / 2 - 3, side / 2 - 1, mark);
    return b;
}

std::unique_ptr<TBitmap> radioGlyph(TColor ring, TColor inside, TColor dot, bool on) {
    auto b = blank(16);
    TCanvas& c = *b->Canvas();
    c.Pen()->SetColor(ring);
    c.Brush()->SetColor(inside);
    c.Ellipse(1, 1, 13, 13);
    if (on) {
        c.Pen()->SetColor(dot);
        c.Brush()->SetColor(dot);
        c.Ellipse(4, 4, 10, 10);
    }
    return b;
}

// A square node button with a minus, and a plus when contracted.
std::unique_ptr<TBitmap> nodeGlyph(int size, int side, int top, bool contracted) {
    auto b = blank(size);
    fill(*b, 0, top, side, rgb(255, 255, 255), rgb(220, 220, 215));
    frame(*b, 0, top, side, rgb(128, 128, 128));
    const int mid = side / 2;
    for (int i = 2; i < side - 2; ++i) b->Canvas()->SetPixels(i, top + mid, clBlack);
    if (contracted)
        for (int i = 2; i < side - 2; ++i) b->Canvas()->SetPixels(mid, top + i, clBlack);
    return b;
}

std::map<std::string, std::unique_ptr<TBitmap>> makeGlyphs() {
    std::map<std::string, std::unique_ptr<TBitmap>> m;
    const TColor xpBorder = rgb(28, 81, 128), xpFrom = rgb(220, 220, 215),
                 xpTo = rgb(255, 255, 255), xpTick = rgb(33, 161, 33);
    const TColor offBorder = rgb(202, 200, 187), grey = rgb(160, 160, 160);
    m["ASGCHK05"] = checkGlyph(16, 13, xpBorder, xpFrom, xpTo, xpTick, true);
    m["ASGCHK06"] = checkGlyph(16, 13, xpBorder, xpFrom, xpTo, xpTick, false);
    m["ASGCHK07"] = checkGlyph(16, 13, offBorder, xpTo, xpTo, grey, true);
    m["ASGCHK08"] = checkGlyph(16, 13, offBorder, xpTo, xpTo, grey, false);
    m["ASGCHK01"] = checkGlyph(20, 14, clBlack, clWhite, clWhite, clBlack, true);
    m["ASGCHK02"] = checkGlyph(20, 14, clBlack, clWhite, clWhite, clBlack, false);
    m["ASGCHK03"] = checkGlyph(20, 14, clGray, clSilver, clSilver, clGray, true);
    m["ASGCHK04"] = checkGlyph(20, 14, clGray, clSilver, clSilver, clGray, false);
    m["ASGRAD05"] = radioGlyph(xpBorder, xpTo, xpTick, true);
    m["ASGRAD06"] = radioGlyph(xpBorder, xpTo, xpTick, false);
    m["ASGRAD07"] = radioGlyph(offBorder, xpTo, grey, true);
    m["ASGRAD08"] = radioGlyph(offBorder, xpTo, grey, false);
    m["ASGRAD01"] = radioGlyph(clBlack, clWhite, clBlack, true);
    m["ASGRAD02"] = radioGlyph(clBlack, clWhite, clBlack, false);
    m["ASGRAD03"] = radioGlyph(clGray, clSilver, clGray, true);
    m["ASGRAD04"] = radioGlyph(clGray, clSilver, clGray, false);
    m["ASGLEAFCLOSE"] = nodeGlyph(16, 11, 2, true);
    m["ASGLEAFOPEN"] = nodeGlyph(16, 11, 2, false);
    m["XPNODEC"] = nodeGlyph(9, 8, 0, true);
    m["XPNODEO"] = nodeGlyph(9, 8, 0, false);
    // The flat glyphs of the colour tones' look.
    const TColor metroBorder = rgb(110, 110, 110), metroMark = rgb(40, 40, 40);
    m["metrocheckon"] = checkGlyph(16, 14, metroBorder, xpTo, xpTo, metroMark, true);
    m["metrocheckoff"] = checkGlyph(16, 14, metroBorder, xpTo, xpTo, metroMark, false);
    m["metroradioon"] = radioGlyph(metroBorder, xpTo, metroMark, true);
    m["metroradiooff"] = radioGlyph(metroBorder, xpTo, metroMark, false);
    for (auto& [name, bmp] : m) {
        // The bottom-left pixel names the transparent colour.
        bmp->Canvas()->SetPixels(0, bmp->Height() - 1, Key);
        RegisterResourceBitmap(name, bmp.get());
    }
    return m;
}

} // namespace

const TBitmap* CellGlyph(const std::string& Name) {
    static const std::map<std::string, std::unique_ptr<TBitmap>> glyphs = makeGlyphs();
    auto it = glyphs.find(Name);
    return it == glyphs.end() ? nullptr : it->second.get();
}
