#include "platform/gfx/Graphics.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
// Columns of row y that have colour c, as a string of '#' and '.', for readable failures.
std::string row(TBitmap& b, int y, TColor c) {
    std::string s;
    for (int x = 0; x < b.Width(); ++x) s += b.PixelColor(x, y) == c ? '#' : '.';
    return s;
}
std::string column(TBitmap& b, int x, TColor c) {
    std::string s;
    for (int y = 0; y < b.Height(); ++y) s += b.PixelColor(x, y) == c ? '#' : '.';
    return s;
}
int count(TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) n += b.PixelColor(x, y) == c;
    return n;
}
} // namespace

TEST(Canvas, RectangleCoversLeftTopButNotRightBottom) {
    TBitmap b(12, 12);
    TCanvas* c = b.Canvas();
    c->Pen()->SetColor(clRed);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(1, 1, 11, 11);
    EXPECT_EQ(row(b, 1, clRed), ".##########.");
    EXPECT_EQ(row(b, 10, clRed), ".##########.");
    EXPECT_EQ(row(b, 11, clWhite), "############");
    EXPECT_EQ(row(b, 5, clBlue), "..########..");
    EXPECT_EQ(column(b, 10, clRed), ".##########.");
}

TEST(Canvas, RectangleWithoutPenFillsOnePixelLess) {
    TBitmap b(6, 6);
    TCanvas* c = b.Canvas();
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clGreen);
    c->Rectangle(0, 0, 5, 5);
    EXPECT_EQ(row(b, 0, clGreen), "####..");
    EXPECT_EQ(row(b, 4, clGreen), "......");
}

TEST(Canvas, LineToLeavesTheEndPointAndMovesThePen) {
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    c->MoveTo(1, 2);
    c->LineTo(8, 2);
    EXPECT_EQ(row(b, 2, clBlack), ".#######..");
    EXPECT_EQ(c->PenPos(), TPoint(8, 2));
    c->LineTo(8, 6);
    EXPECT_EQ(column(b, 8, clBlack), "..####....");
}

TEST(Canvas, XorPenDrawnTwiceRestoresThePixels) {
    TBitmap b(20, 20);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clYellow);
    c->FillRect(TRect(0, 0, 10, 20));
    std::vector<std::uint32_t> before(b.Pixels32(), b.Pixels32() + 400);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetStyle(psDot);
    c->Brush()->SetStyle(bsClear);
    for (int pass = 0; pass < 2; ++pass) {
        c->MoveTo(0, 5);
        c->LineTo(20, 15);
        c->Rectangle(2, 2, 18, 18);
        if (pass == 0) {
            EXPECT_NE(std::vector<std::uint32_t>(b.Pixels32(), b.Pixels32() + 400), before);
        }
    }
    EXPECT_EQ(std::vector<std::uint32_t>(b.Pixels32(), b.Pixels32() + 400), before);
}

TEST(Canvas, PenModesCombinePenAndScreen) {
    struct Case {
        TPenMode mode;
        TColor expected; // on a clOlive (0x008080) screen with a clTeal (0x808000) pen
    };
    const Case cases[] = {
        {pmCopy, clTeal},  {pmXor, clPurple},     {pmNot, 0xFF7F7F},  {pmMerge, clGray},
        {pmMask, clGreen}, {pmNotXor, 0x7FFF7F},  {pmBlack, clBlack}, {pmWhite, clWhite},
        {pmNop, clOlive},  {pmNotCopy, 0x7F7FFF},
    };
    for (const auto& cs : cases) {
        TBitmap b(4, 1);
        TCanvas* c = b.Canvas();
        c->Brush()->SetColor(clOlive);
        c->FillRect(TRect(0, 0, 4, 1));
        c->Pen()->SetColor(clTeal);
        c->Pen()->SetMode(cs.mode);
        c->MoveTo(0, 0);
        c->LineTo(4, 0);
        EXPECT_EQ(b.PixelColor(1, 0), cs.expected) << int(cs.mode);
    }
}

TEST(Canvas, ClipRegionKeepsDrawingInside) {
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    HRGN outer = CreateRectRgn(2, 2, 8, 8);
    HRGN hole = CreateRectRgn(4, 4, 6, 6);
    EXPECT_EQ(CombineRgn(outer, outer, hole, RGN_DIFF), COMPLEXREGION);
    SelectClipRgn(c->Handle(), outer);
    DeleteObject(hole);
    DeleteObject(outer); // the canvas keeps its own copy
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(0, 0, 10, 10));
    EXPECT_EQ(row(b, 1, clRed), "..........");
    EXPECT_EQ(row(b, 3, clRed), "..######..");
    EXPECT_EQ(row(b, 4, clRed), "..##..##..");
    EXPECT_EQ(c->Pixels(5, 5), CLR_INVALID);
    EXPECT_EQ(c->ClipRect(), TRect(2, 2, 8, 8));

    SelectClipRgn(c->Handle(), nullptr);
    ExcludeClipRect(c->Handle(), 0, 0, 5, 10);
    c->Brush()->SetColor(clBlue);
    c->FillRect(TRect(0, 0, 10, 10));
    EXPECT_EQ(row(b, 0, clBlue), ".....#####");
    IntersectClipRect(c->Handle(), 0, 0, 7, 1);
    c->Brush()->SetColor(clLime);
    c->FillRect(TRect(0, 0, 10, 10));
    EXPECT_EQ(row(b, 0, clLime), ".....##...");
}

TEST(Canvas, SaveAndRestoreBringBackClipAndOrigin) {
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    int saved = SaveDC(c->Handle());
    IntersectClipRect(c->Handle(), 0, 0, 3, 3);
    SetWindowOrgEx(c->Handle(), -5, -5, nullptr); // logical (0,0) at device (5,5)
    c->SetPixels(0, 0, clRed);                    // clipped away: device (5,5)
    EXPECT_EQ(b.PixelColor(5, 5), clWhite);
    RestoreDC(c->Handle(), saved);
    c->SetPixels(5, 5, clRed);
    EXPECT_EQ(b.PixelColor(5, 5), clRed);
    EXPECT_FALSE(RestoreDC(c->Handle(), -1));
}

TEST(Canvas, RestoreBringsBackTheColoursModesAndOriginsOfItsLevel) {
    TBitmap b(10, 10);
    HDC dc = b.Canvas()->Handle();
    struct Values {
        int bkMode;
        TColor bk, text;
        int rop2;
        TPoint window, viewport, brush;
    };
    auto read = [dc] {
        Values v{GetBkMode(dc), GetBkColor(dc), GetTextColor(dc), GetROP2(dc), {}, {}, {}};
        GetWindowOrgEx(dc, v.window);
        GetViewportOrgEx(dc, v.viewport);
        GetBrushOrgEx(dc, v.brush);
        return v;
    };
    auto set = [dc](const Values& v) {
        SetBkMode(dc, v.bkMode);
        SetBkColor(dc, v.bk);
        SetTextColor(dc, v.text);
        SetROP2(dc, v.rop2);
        SetWindowOrgEx(dc, v.window.X, v.window.Y, nullptr);
        SetViewportOrgEx(dc, v.viewport.X, v.viewport.Y, nullptr);
        SetBrushOrgEx(dc, v.brush.X, v.brush.Y, nullptr);
    };
    auto expectValues = [&](const Values& want, const char* level) {
        const Values got = read();
        EXPECT_EQ(got.bkMode, want.bkMode) << level;
        EXPECT_EQ(got.bk, want.bk) << level;
        EXPECT_EQ(got.text, want.text) << level;
        EXPECT_EQ(got.rop2, want.rop2) << level;
        EXPECT_EQ(got.window, want.window) << level;
        EXPECT_EQ(got.viewport, want.viewport) << level;
        EXPECT_EQ(got.brush, want.brush) << level;
    };
    const int first = SaveDC(dc);
    const Values initial = read();
    const Values middle{TRANSPARENT, clRed, clBlue, R2_XORPEN, {6, 7}, {2, 3}, {4, 5}};
    set(middle);
    const int second = SaveDC(dc);
    EXPECT_EQ(second, first + 1);
    set({OPAQUE, clLime, clYellow, R2_NOT, {-1, -2}, {-3, -4}, {1, 1}});
    EXPECT_TRUE(RestoreDC(dc, -1));
    expectValues(middle, "second");
    EXPECT_TRUE(RestoreDC(dc, first));
    expectValues(initial, "first");
    EXPECT_FALSE(RestoreDC(dc, second)) << "the second level went with the first";
}

TEST(Canvas, OriginOffsetMovesDrawingAndClipRectStaysLogical) {
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    MoveWindowOrg(c->Handle(), 3, 2);
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(0, 0, 2, 1));
    EXPECT_EQ(row(b, 2, clRed), "...##.....");
    EXPECT_EQ(c->ClipRect(), TRect(-3, -2, 7, 8));
    TPoint p(1, 1);
    LPtoDP(c->Handle(), &p, 1);
    EXPECT_EQ(p, TPoint(4, 3));
}

TEST(Canvas, FillRectUsesBrushStyleAndFrameRectDrawsOnePixel) {
    TBitmap b(8, 8);
    TCanvas* c = b.Canvas();
    c->Brush()->SetStyle(bsClear);
    c->FillRect(TRect(0, 0, 8, 8));
    EXPECT_EQ(count(b, clWhite), 64);
    c->Brush()->SetColor(clBlack);
    c->Brush()->SetStyle(bsHorizontal);
    c->FillRect(TRect(0, 0, 8, 8));
    EXPECT_EQ(count(b, clBlack), 8); // one line of the 8 x 8 hatch
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clRed);
    c->FrameRect(TRect(1, 1, 7, 7));
    EXPECT_EQ(count(b, clRed), 20);
    EXPECT_EQ(b.PixelColor(3, 3), clWhite);
}

TEST(Canvas, EllipseAndPolygonStayInsideTheirBox) {
    TBitmap b(12, 12);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clRed);
    c->Pen()->SetColor(clRed);
    c->Ellipse(1, 1, 11, 11);
    EXPECT_EQ(row(b, 0, clWhite), "############");
    EXPECT_EQ(row(b, 11, clWhite), "############");
    EXPECT_EQ(column(b, 11, clWhite), "############");
    EXPECT_EQ(b.PixelColor(1, 1), clWhite); // corners stay outside
    EXPECT_EQ(b.PixelColor(6, 6), clRed);
    EXPECT_EQ(b.PixelColor(1, 6), clRed);
    EXPECT_EQ(b.PixelColor(10, 6), clRed);

    TBitmap t(10, 10);
    t.Canvas()->Brush()->SetColor(clBlue);
    t.Canvas()->Pen()->SetColor(clBlue);
    t.Canvas()->Polygon({{0, 0}, {9, 0}, {0, 9}});
    EXPECT_EQ(row(t, 0, clBlue), "##########");
    EXPECT_EQ(t.PixelColor(2, 2), clBlue);
    EXPECT_EQ(t.PixelColor(8, 8), clWhite);
}

TEST(Canvas, CurvedShapesReachTheEdgesOfTheirBox) {
    struct Case {
        const char* name;
        std::function<void(TCanvas*)> draw;
    };
    const Case cases[] = {
        {"Ellipse", [](TCanvas* c) { c->Ellipse(2, 3, 12, 11); }},
        {"RoundRect", [](TCanvas* c) { c->RoundRect(2, 3, 12, 11, 4, 4); }},
        {"Chord", [](TCanvas* c) { c->Chord(2, 3, 12, 11, 12, 7, 12, 8); }},
    };
    for (const auto& cs : cases) {
        TBitmap b(14, 14);
        b.Canvas()->Pen()->SetColor(clRed);
        cs.draw(b.Canvas());
        TRect ink(14, 14, 0, 0);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 14; ++x)
                if (b.PixelColor(x, y) == clRed) {
                    ink.Left = std::min(ink.Left, x);
                    ink.Top = std::min(ink.Top, y);
                    ink.Right = std::max(ink.Right, x + 1);
                    ink.Bottom = std::max(ink.Bottom, y + 1);
                }
        EXPECT_EQ(ink, TRect(2, 3, 12, 11)) << cs.name;
    }
    // A quarter pie from 3 o'clock counter-clockwise to 12 o'clock.
    TBitmap b(20, 20);
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->Pie(0, 0, 20, 20, 20, 10, 10, 0);
    EXPECT_EQ(b.PixelColor(14, 5), clBlue);
    EXPECT_EQ(b.PixelColor(5, 5), clWhite);
    EXPECT_EQ(b.PixelColor(14, 14), clWhite);
    EXPECT_EQ(b.PixelColor(19, 10), clBlack); // the arc's end at 3 o'clock
}

TEST(Canvas, FloodFillSurfaceAndBorder) {
    TBitmap b(9, 9);
    TCanvas* c = b.Canvas();
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(2, 2, 7, 7); // black frame, white inside and outside
    c->Brush()->SetColor(clRed);
    c->FloodFill(4, 4, clWhite, fsSurface);
    EXPECT_EQ(row(b, 4, clRed), "...###...");
    EXPECT_EQ(b.PixelColor(0, 0), clWhite);
    c->Brush()->SetColor(clBlue);
    c->FloodFill(0, 0, clBlack, fsBorder);
    EXPECT_EQ(row(b, 4, clBlue), "##.....##");
    EXPECT_EQ(b.PixelColor(4, 4), clRed);
}

TEST(Canvas, TransparentBitmapLeavesTheTransparentColourUntouched) {
    TBitmap sprite(3, 3);
    sprite.Canvas()->Brush()->SetColor(clFuchsia);
    sprite.Canvas()->FillRect(TRect(0, 0, 3, 3));
    sprite.Canvas()->SetPixels(1, 1, clBlue);
    sprite.SetTransparent(true);
    EXPECT_EQ(sprite.TransparentColor(), clFuchsia); // the bottom-left pixel

    TBitmap b(5, 5);
    b.Canvas()->Brush()->SetColor(clGreen);
    b.Canvas()->FillRect(TRect(0, 0, 5, 5));
    b.Canvas()->Draw(1, 1, &sprite);
    EXPECT_EQ(count(b, clGreen), 24);
    EXPECT_EQ(b.PixelColor(2, 2), clBlue);

    sprite.SetTransparent(false);
    b.Canvas()->StretchDraw(TRect(0, 0, 5, 5), &sprite);
    EXPECT_EQ(count(b, clFuchsia) + count(b, clBlue), 25);
}

TEST(Canvas, CopyModesAndBlits) {
    TBitmap src(4, 4);
    src.Canvas()->Brush()->SetColor(clRed);
    src.Canvas()->FillRect(TRect(0, 0, 4, 4));
    TBitmap b(8, 8);
    TCanvas* c = b.Canvas();
    c->CopyRect(TRect(0, 0, 8, 8), src.Canvas(), TRect(0, 0, 4, 4));
    EXPECT_EQ(count(b, clRed), 64);
    c->SetCopyMode(cmDstInvert);
    c->CopyRect(TRect(0, 0, 4, 4), src.Canvas(), TRect(0, 0, 4, 4));
    EXPECT_EQ(count(b, clAqua), 16);
    BitBlt(c->Handle(), 4, 4, 4, 4, src.Canvas()->Handle(), 0, 0, SRCINVERT);
    EXPECT_EQ(b.PixelColor(5, 5), clBlack);
    PatBlt(c->Handle(), 0, 0, 1, 1, WHITENESS);
    EXPECT_EQ(b.PixelColor(0, 0), clWhite);

    // BrushCopy swaps one colour for the brush colour.
    c->Brush()->SetColor(clNavy);
    c->BrushCopy(TRect(0, 0, 4, 4), &src, TRect(0, 0, 4, 4), clRed);
    EXPECT_EQ(b.PixelColor(2, 2), clNavy);
}

TEST(Canvas, FocusRectIsDottedAndUndoneByASecondCall) {
    TBitmap b(6, 4);
    TCanvas* c = b.Canvas();
    c->DrawFocusRect(TRect(0, 0, 6, 4));
    EXPECT_EQ(row(b, 0, clBlack), "#.#.#.");
    EXPECT_EQ(b.PixelColor(1, 1), clWhite);
    c->DrawFocusRect(TRect(0, 0, 6, 4));
    EXPECT_EQ(count(b, clWhite), 24);
}

TEST(Canvas, OnChangeFiresForDrawing) {
    TBitmap b(4, 4);
    int changes = 0;
    b.Canvas()->OnChange = [&](TObject*) { ++changes; };
    b.Canvas()->FillRect(TRect(0, 0, 2, 2));
    b.Canvas()->TextOut(0, 0, "x");
    EXPECT_EQ(changes, 2);
}

TEST(Regions, CombineAndHitTest) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        TPoint in, out;
    };
    const Case cases[] = {
        {RGN_AND, {5, 5}, {4, 4}},
        {RGN_OR, {14, 14}, {15, 15}},
        {RGN_DIFF, {4, 9}, {5, 5}},
        {RGN_XOR, {12, 12}, {7, 7}},
    };
    for (const auto& cs : cases) {
        CombineRgn(d, a, b, cs.mode);
        EXPECT_TRUE(PtInRegion(d, cs.in.X, cs.in.Y)) << cs.mode;
        EXPECT_FALSE(PtInRegion(d, cs.out.X, cs.out.Y)) << cs.mode;
    }
    HRGN round = CreateRoundRectRgn(0, 0, 20, 20, 10, 10);
    EXPECT_FALSE(PtInRegion(round, 0, 0));
    EXPECT_TRUE(PtInRegion(round, 10, 0));
    EXPECT_TRUE(PtInRegion(round, 19, 10));
    EXPECT_FALSE(PtInRegion(round, 20, 10));
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_AND), RGN_ERROR);
    for (HRGN r : {a, b, d, round}) DeleteObject(r);
}

TEST(Canvas, MaskedAlphaAndTransparentBlits) {
    TBitmap src(2, 1), dst(2, 1), mask(2, 1);
    src.Canvas()->SetPixels(0, 0, clRed);
    src.Canvas()->SetPixels(1, 0, clBlue);
    mask.Canvas()->SetPixels(0, 0, clBlack); // clear: copy the source
    dst.Canvas()->Brush()->SetColor(clGreen);
    dst.Canvas()->FillRect(TRect(0, 0, 2, 1));
    // Keep the destination where the mask is set, copy where it is clear.
    MaskBlt(dst.Canvas()->Handle(), 0, 0, 2, 1, src.Canvas()->Handle(), 0, 0, &mask, 0, 0,
            0xCCAA0029);
    EXPECT_EQ(dst.PixelColor(0, 0), clRed);
    EXPECT_EQ(dst.PixelColor(1, 0), clGreen);

    BLENDFUNCTION half;
    half.SourceConstantAlpha = 128;
    dst.Canvas()->FillRect(TRect(0, 0, 2, 1));
    AlphaBlend(dst.Canvas()->Handle(), 0, 0, 2, 1, src.Canvas()->Handle(), 0, 0, 2, 1, half);
    EXPECT_EQ(dst.PixelColor(0, 0), RGB(128, 64, 0));

    dst.Canvas()->FillRect(TRect(0, 0, 2, 1));
    TransparentBlt(dst.Canvas()->Handle(), 0, 0, 2, 1, src.Canvas()->Handle(), 0, 0, 2, 1, clBlue);
    EXPECT_EQ(dst.PixelColor(0, 0), clRed);
    EXPECT_EQ(dst.PixelColor(1, 0), clGreen);
}

TEST(Canvas, ScrollDCMovesPixelsAndReportsTheUncoveredStrip) {
    TBitmap b(4, 6);
    TCanvas* c = b.Canvas();
    c->SetPixels(1, 1, clRed);
    TRect area(0, 0, 4, 6), update;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_TRUE(ScrollDC(c->Handle(), 0, 2, &area, &area, rgn, &update));
    EXPECT_EQ(b.PixelColor(1, 3), clRed);
    EXPECT_EQ(update, TRect(0, 0, 4, 2));
    EXPECT_TRUE(PtInRegion(rgn, 3, 1));
    EXPECT_FALSE(PtInRegion(rgn, 3, 2));
    DeleteObject(rgn);
}

TEST(Canvas, BrushOriginShiftsHatchPatterns) {
    TBitmap b(8, 8);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clBlack);
    c->Brush()->SetStyle(bsVertical);
    c->FillRect(TRect(0, 0, 8, 8));
    int before = 0, after = 0;
    for (int x = 0; x < 8; ++x) before = b.PixelColor(x, 0) == clBlack ? x : before;
    SetBrushOrgEx(c->Handle(), 3, 0, nullptr);
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(0, 0, 8, 8));
    for (int x = 0; x < 8; ++x) after = b.PixelColor(x, 0) == clRed ? x : after;
    EXPECT_EQ(after, (before + 3) % 8);
}

TEST(Canvas, ExtTextOutOpaqueFillsAndClipsToItsRectangle) {
    TBitmap b(40, 20);
    TCanvas* c = b.Canvas();
    SetBkColor(c->Handle(), clYellow);
    TRect r(5, 0, 15, 20);
    ExtTextOut(c->Handle(), 0, 2, ETO_OPAQUE | ETO_CLIPPED, &r, "WWWWWW", -1);
    EXPECT_EQ(b.PixelColor(5, 0), clYellow);
    EXPECT_EQ(b.PixelColor(14, 19), clYellow);
    for (int y = 0; y < 20; ++y) {
        EXPECT_EQ(b.PixelColor(4, y), clWhite) << y;
        EXPECT_EQ(b.PixelColor(15, y), clWhite) << y;
    }
}

// A fill of an area the canvas already holds in that colour is left out; whatever changed the
// pixels since must be painted over again.
TEST(Canvas, RepeatedFillPaintsOverWhatChangedTheArea) {
    struct Case {
        const char* what;
        std::function<void(TBitmap&, TCanvas&)> between;
    };
    const Case cases[] = {
        {"nothing", [](TBitmap&, TCanvas&) {}},
        {"transparent text",
         [](TBitmap&, TCanvas& c) {
             SetBkMode(c.Handle(), TRANSPARENT);
             c.TextOut(2, 2, "WWW");
         }},
        {"opaque text in the same rectangle",
         [](TBitmap&, TCanvas& c) { c.TextRect(TRect(0, 0, 40, 40), 2, 2, "WWW"); }},
        {"a pixel", [](TBitmap&, TCanvas& c) { c.SetPixels(5, 5, clBlack); }},
        {"a line",
         [](TBitmap&, TCanvas& c) {
             c.MoveTo(0, 5);
             c.LineTo(30, 5);
         }},
        {"a focus rectangle", [](TBitmap&, TCanvas& c) { c.DrawFocusRect(TRect(2, 2, 20, 20)); }},
        {"a smaller fill in another colour",
         [](TBitmap&, TCanvas& c) { FillRect(c.Handle(), TRect(3, 3, 9, 9), clBlue); }},
        {"a scan line written", [](TBitmap& b, TCanvas&) { b.ScanLine(5)[4 * 5] = 0; }},
        {"another canvas on the bitmap",
         [](TBitmap& b, TCanvas&) {
             TCanvas other(&b);
             other.Brush()->SetColor(clBlack);
             other.FillRect(TRect(0, 0, 10, 10));
         }},
        {"the bitmap resized",
         [](TBitmap& b, TCanvas&) {
             b.SetSize(5, 5);
             b.SetSize(40, 40);
         }},
        {"a bitmap drawn",
         [](TBitmap&, TCanvas& c) {
             TBitmap black(8, 8);
             black.Canvas()->Brush()->SetColor(clBlack);
             black.Canvas()->FillRect(TRect(0, 0, 8, 8));
             c.Draw(4, 4, &black);
         }},
    };
    for (const Case& k : cases) {
        TBitmap b(40, 40);
        TCanvas* c = b.Canvas();
        c->Brush()->SetColor(clRed);
        c->FillRect(TRect(0, 0, 40, 40));
        k.between(b, *c);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clRed);
        c->FillRect(TRect(0, 0, 40, 40));
        EXPECT_EQ(count(b, clRed), 40 * 40) << k.what;
    }
}
