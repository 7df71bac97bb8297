#include "grid/render/CellGlyphs.h"

#include "grid/core/base/GridDraw.h"
#include "platform/ui/core/Forms.h"

#include <functional>

#include <map>
#include <memory>
#include <vector>

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

// A black figure with a white outline, as monochrome cursors are drawn.
void figure(TCanvas& c, const std::vector<TPoint>& points) {
    c.Pen()->SetColor(clWhite);
    c.Brush()->SetColor(clBlack);
    c.Brush()->SetStyle(bsSolid);
    c.Polygon(points);
}

// A triangle pointing from (x, y) in direction (dx, dy), its base across that direction.
std::vector<TPoint> arrowHead(int x, int y, int dx, int dy, int length) {
    return {{x + dx * length, y + dy * length},
            {x - dy * length / 2, y + dx * length / 2},
            {x + dy * length / 2, y - dx * length / 2}};
}

// The wheel-panning picture: a ring around the origin with arrows where the grid can pan.
std::unique_ptr<TBitmap> panGlyph(bool vertical, bool horizontal) {
    auto b = std::make_unique<TBitmap>(26, 26);
    TCanvas& c = *b->Canvas();
    c.Brush()->SetColor(clSilver);
    c.FillRect(Rect(0, 0, 26, 26));
    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(clWhite);
    c.Ellipse(1, 1, 25, 25);
    c.Brush()->SetColor(clBlack);
    c.Ellipse(11, 11, 15, 15);
    if (vertical) {
        c.Polygon({{13, 3}, {9, 8}, {17, 8}});
        c.Polygon({{13, 22}, {9, 17}, {17, 17}});
    }
    if (horizontal) {
        c.Polygon({{3, 13}, {8, 9}, {8, 17}});
        c.Polygon({{22, 13}, {17, 9}, {17, 17}});
    }
    return b;
}

std::unique_ptr<TBitmap> cursorPicture(const std::function<void(TCanvas&)>& draw) {
    auto b = blank(32);
    draw(*b->Canvas());
    b->SetTransparentColor(Key);
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
    m["INTLI1"] = panGlyph(true, true);
    m["INTLI2"] = panGlyph(false, true);
    m["INTLI3"] = panGlyph(true, false);
    for (auto& [name, bmp] : m) {
        // The bottom-left pixel names the transparent colour; the panning pictures have none.
        if (name.rfind("INTLI", 0) != 0) bmp->Canvas()->SetPixels(0, bmp->Height() - 1, Key);
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

void RegisterGridCursors() {
    static bool registered = false;
    if (registered || !Screen) return;
    registered = true;
    auto add = [](TCursor id, TPoint hot, const std::function<void(TCanvas&)>& draw) {
        Screen->SetCursorImage(id, *cursorPicture(draw), hot);
    };
    // Rows: an arrow pointing right, its tip the hot spot; columns: a thick arrow pointing down.
    const std::vector<TPoint> right{{4, 13},  {17, 13}, {17, 7}, {26, 16},
                                    {17, 25}, {17, 19}, {4, 19}};
    const std::vector<TPoint> down{{10, 4},  {16, 4}, {16, 17}, {22, 17},
                                   {13, 26}, {4, 17}, {10, 17}};
    add(8010, {26, 16}, [&](TCanvas& c) { figure(c, right); });
    add(8011, {13, 26}, [&](TCanvas& c) { figure(c, down); });
    // Everything and the selection resizer: a plus sign; the cell selector: a large outlined one.
    const std::vector<TPoint> plus{{14, 6},  {18, 6},  {18, 14}, {26, 14}, {26, 18}, {18, 18},
                                   {18, 26}, {14, 26}, {14, 18}, {6, 18},  {6, 14},  {14, 14}};
    const std::vector<TPoint> largePlus{{12, 2},  {20, 2},  {20, 12}, {30, 12}, {30, 20}, {20, 20},
                                        {20, 30}, {12, 30}, {12, 20}, {2, 20},  {2, 12},  {12, 12}};
    add(8012, {16, 16}, [&](TCanvas& c) { figure(c, plus); });
    add(8014, {16, 16}, [&](TCanvas& c) {
        c.Pen()->SetColor(clBlack);
        c.Brush()->SetColor(clWhite);
        c.Polygon(largePlus);
    });
    // Wheel panning: the origin mark, with an arrow head towards the panning direction.
    static constexpr int pans[3][3] = {{8006, 8004, 8005}, {8002, 8000, 8003}, {8008, 8001, 8007}};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            add(pans[dy + 1][dx + 1], {16, 16}, [&](TCanvas& c) {
                c.Pen()->SetColor(clWhite);
                c.Brush()->SetColor(clBlack);
                c.Ellipse(13, 13, 20, 20);
                if (dx || dy) figure(c, arrowHead(16 + dx * 6, 16 + dy * 6, dx, dy, 7));
            });
}
