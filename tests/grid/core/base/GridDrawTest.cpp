#include "grid/core/base/GridDraw.h"

#include "platform/ui/core/LayeredWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class GridDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        bitmap.SetSize(120, 80);
        c = bitmap.Canvas();
        clear();
    }
    void clear() {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, 120, 80));
    }
    TColor px(int x, int y) { return c->Pixels(x, y); }
    int count(TColor color, TRect r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += px(x, y) == color;
        return n;
    }
    TBitmap bitmap;
    TCanvas* c = nullptr;
};

TEST_F(GridDrawTest, GradientPaintsWhatItsOverlappingBandsPaint) {
    // The bands as rectangles drawn one by one, each over the ones before.
    auto bands = [&](TColor from, TColor to, int steps, TRect r, bool horizontal) {
        const int span = (horizontal ? r.Width() : r.Height()) - 1;
        steps = std::max(std::min(steps, span), 1);
        const double w = double(span) / steps;
        for (int i = 0; i <= steps; ++i) {
            auto ch = [&](int f, int t) {
                return f + int(std::lrint(double(i) * (t - f) / steps));
            };
            c->Brush()->SetColor(RGB(ch(GetRValue(from), GetRValue(to)),
                                     ch(GetGValue(from), GetGValue(to)),
                                     ch(GetBValue(from), GetBValue(to))));
            TRect band = r;
            if (horizontal) {
                band.Left = r.Left + int(i * w);
                band.Right = std::min(r.Right, band.Left + int(w + 1));
            } else {
                band.Top = r.Top + int(i * w);
                band.Bottom = std::min(r.Bottom, band.Top + int(w + 1));
            }
            c->FillRect(band);
        }
    };
    auto image = [&] {
        std::vector<TColor> out;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 120; ++x) out.push_back(px(x, y));
        return out;
    };
    struct Case {
        int steps;
        TRect r;
        bool horizontal;
    } cases[] = {{128, TRect(3, 2, 90, 23), false}, {7, TRect(5, 5, 100, 30), true},
                 {3, TRect(0, 0, 40, 77), false},   {64, TRect(10, 10, 11, 60), false},
                 {1, TRect(0, 0, 50, 20), true},    {200, TRect(0, 0, 119, 3), true}};
    for (const auto& k : cases) {
        clear();
        bands(RGB(10, 200, 30), RGB(250, 20, 90), k.steps, k.r, k.horizontal);
        const auto expected = image();
        clear();
        c->Brush()->SetStyle(bsClear);
        DrawGradient(*c, RGB(10, 200, 30), RGB(250, 20, 90), k.steps, k.r, k.horizontal);
        EXPECT_EQ(image(), expected) << k.steps << " " << k.horizontal;
    }
}

TEST_F(GridDrawTest, Gradients) {
    // One pixel high, vertical: the last band paints the row in the end colour.
    DrawGradient(*c, clRed, clBlue, 16, TRect(0, 0, 10, 1), false);
    EXPECT_EQ(count(clBlue, TRect(0, 0, 10, 1)), 10);
    // Horizontal: from the start colour at the left to the end colour at the right.
    DrawGradient(*c, RGB(0, 0, 0), RGB(200, 0, 0), 0, TRect(0, 10, 101, 20), true);
    EXPECT_EQ(px(0, 15), RGB(0, 0, 0));
    EXPECT_EQ(px(100, 15), RGB(200, 0, 0));
    DrawGradient(*c, RGB(0, 0, 0), RGB(200, 0, 0), 100, TRect(0, 10, 101, 20), true);
    EXPECT_EQ(px(50, 15), RGB(100, 0, 0));
    // No end colour: solid in the start colour; empty height draws nothing.
    DrawGradient(*c, clLime, clNone, 8, TRect(0, 30, 10, 35), false);
    EXPECT_EQ(count(clLime, TRect(0, 30, 10, 35)), 50);
    DrawGradient(*c, clRed, clRed, 8, TRect(0, 40, 10, 40), false);
    EXPECT_EQ(count(clRed, TRect(0, 39, 10, 41)), 0);
    // Swapped top and bottom are put in order.
    DrawGradient(*c, clRed, clRed, 8, TRect(0, 50, 10, 45), false);
    EXPECT_EQ(count(clRed, TRect(0, 45, 10, 50)), 50);

    // Cell with a mirror: upper half in the first pair, lower half in the mirror pair; border.
    DrawGradientCell(*c, TRect(20, 30, 40, 50), clRed, clRed, clBlue, clBlue, true, clBlack, false,
                     true);
    EXPECT_EQ(px(30, 35), clRed);
    EXPECT_EQ(px(30, 45), clBlue);
    EXPECT_EQ(px(20, 40), clBlack);
    EXPECT_EQ(px(39, 49), clBlack);
    DrawGradientCell(*c, TRect(50, 30, 70, 50), clYellow, clNone, clNone, clNone, true, clBlack,
                     true, true);
    EXPECT_EQ(px(50, 40), clBlack);
    EXPECT_EQ(px(69, 40), clBlack);
    EXPECT_EQ(px(60, 30), clYellow); // sides only: no top line
}

TEST_F(GridDrawTest, ColourArithmetic) {
    const std::tuple<TColor, int, TColor> scaled[] = {
        {RGB(200, 100, 10), 50, RGB(255, 150, 15)},
        {RGB(200, 100, 10), -50, RGB(100, 50, 5)},
        {RGB(200, 100, 10), -300, RGB(0, 0, 0)},
        {RGB(0, 0, 0), 100, RGB(0, 0, 0)},
    };
    for (const auto& [color, p, result] : scaled) EXPECT_EQ(ScaleColorPercent(color, p), result);
    EXPECT_EQ(HalfColor(RGB(201, 100, 3)), RGB(100, 50, 1));
    EXPECT_EQ(InterpolateColor(RGB(0, 0, 0), RGB(100, 200, 50), 0, 10, 5), RGB(50, 100, 25));
    EXPECT_EQ(InterpolateColor(clRed, clNone, 0, 10, 5), clRed);
}

TEST_F(GridDrawTest, SelectionFrameCornersAndInside) {
    // Single cell: both ends rounded.
    DrawSelectionFrame(*c, clYellow, clNone, clNone, clNone, clLime, clGreen, clBlack, clGray,
                       clAqua, TRect(10, 10, 41, 32), 0);
    // After shrinking: L 10, T 10, R 40, B 30.
    EXPECT_EQ(px(10, 10), clAqua);
    EXPECT_EQ(px(11, 10), clGray);
    EXPECT_EQ(px(10, 11), clGray);
    EXPECT_EQ(px(10, 30), clAqua);
    EXPECT_EQ(px(39, 10), clAqua);
    EXPECT_EQ(px(38, 10), clGray);
    EXPECT_EQ(px(20, 10), clBlack);
    EXPECT_EQ(px(20, 30), clBlack);
    EXPECT_EQ(px(10, 20), clBlack);
    EXPECT_EQ(px(20, 11), clLime);
    EXPECT_EQ(px(20, 29), clGreen);
    EXPECT_EQ(px(20, 20), clYellow);
    // Middle piece: straight outer lines to both edges, no side lines.
    DrawSelectionFrame(*c, clYellow, clNone, clNone, clNone, clLime, clGreen, clBlack, clGray,
                       clAqua, TRect(50, 10, 81, 32), 3);
    EXPECT_EQ(px(50, 10), clBlack);
    EXPECT_EQ(px(50, 20), clYellow);
}

TEST_F(GridDrawTest, ProgressBarsAndPie) {
    // Beyond the maximum without a format: a full bar.
    DrawProgressBar(*c, TRect(0, 0, 100, 20), clBlue, clWhite, clSilver, clBlack, 150, 2, 2, 0, 100,
                    "", clBlack, false);
    EXPECT_EQ(px(3, 3), clBlue);
    EXPECT_EQ(px(96, 16), clBlue);
    EXPECT_EQ(count(clSilver, TRect(0, 0, 100, 20)), 0);
    EXPECT_EQ(px(1, 10), clBlack); // border
    // Half done: the left half in the done colour, the right in the remaining colour.
    DrawProgressBar(*c, TRect(0, 30, 100, 50), clBlue, clWhite, clSilver, clBlack, 25, 0, 0, 0, 50,
                    "%d", clNone, false);
    EXPECT_EQ(px(2, 31), clBlue);
    EXPECT_EQ(px(97, 48), clSilver);

    // Blocks: 50 % of a 40-pixel span is 20 pixels, two 7-pixel blocks, no last block.
    TProgressLook look;
    look.CompletionSmooth = false;
    look.ShowPercentage = false;
    look.Level0Color = clRed;
    look.Level1Perc = 70;
    clear();
    DrawCellProgress(*c, TRect(0, 60, 42, 72), 50, look);
    const int y = 66;
    for (int x = 3; x < 10; ++x) EXPECT_EQ(px(x, y), clRed) << x;
    EXPECT_NE(px(11, y), clRed);
    for (int x = 12; x < 19; ++x) EXPECT_EQ(px(x, y), clRed) << x;
    EXPECT_EQ(count(clRed, TRect(20, 60, 42, 72)), 0);
    // Smooth and past the second level: one bar in the level-2 colour.
    look.CompletionSmooth = true;
    look.Level2Color = clBlue;
    DrawCellProgress(*c, TRect(50, 60, 92, 72), 95, look);
    EXPECT_EQ(px(52, 66), clBlue);
    EXPECT_EQ(px(88, 66), clBlue);
    EXPECT_NE(px(89, 66), clBlue);

    clear();
    DrawProgressPie(*c, TRect(10, 10, 51, 51), clRed, 25, false);
    EXPECT_EQ(px(40, 20), clRed);
    EXPECT_NE(px(20, 40), clRed);
    EXPECT_NE(px(20, 20), clRed);
}

TEST_F(GridDrawTest, ShapesRangeAndArrow) {
    struct ShapeCase {
        TCellShape shape;
        int w, h;
        TPoint inside, outside;
    };
    const ShapeCase cases[] = {
        {csCircle, 20, 10, {5, 5}, {15, 5}},      {csRectangle, 20, 10, {18, 8}, {19, 9}},
        {csTriangleUp, 20, 20, {10, 15}, {2, 3}}, {csTriangleDown, 20, 20, {10, 5}, {2, 17}},
        {csDiamond, 20, 20, {10, 10}, {2, 2}},    {csStar, 20, 20, {10, 10}, {2, 18}},
        {csHalfStar, 20, 20, {7, 10}, {14, 10}},  {csArrowUp, 20, 20, {10, 15}, {2, 15}},
        {csLineHorz, 20, 20, {5, 10}, {5, 12}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(int(k.shape));
        clear();
        DrawCellShape(*c, 30, 30, k.w, k.h, k.shape, clRed, clRed);
        EXPECT_EQ(px(30 + k.inside.X, 30 + k.inside.Y), clRed);
        EXPECT_EQ(px(30 + k.outside.X, 30 + k.outside.Y), clWhite);
    }
    clear();
    DrawRangeIndicator(*c, TRect(0, 0, 44, 10), -5, 10, false, clRed, clBlue);
    EXPECT_EQ(count(clRed, TRect(0, 5, 44, 6)), 10);
    EXPECT_EQ(px(15, 5), clRed);
    EXPECT_EQ(px(25, 5), clWhite);
    DrawRangeIndicator(*c, TRect(0, 20, 44, 30), 50, 10, false, clRed, clBlue);
    EXPECT_EQ(count(clBlue, TRect(0, 25, 44, 26)), 20);
    DrawDownArrow(*c, 60, 60, clGreen);
    EXPECT_EQ(px(60, 61), clGreen);
    EXPECT_EQ(px(60, 58), clWhite);
}

TEST_F(GridDrawTest, CellButtonsInTones) {
    TColorTones tones;
    tones.Background = {clSilver, clBlack, clBlack};
    tones.Hover = {clYellow, clBlack, clBlack};
    tones.Selected = {clBlue, clBlack, clBlack};
    tones.Disabled = {clGray, clBlack, clBlack};
    const TColor fills[] = {clSilver, clYellow, clBlue, clGray};
    for (int state = 0; state < 4; ++state) {
        DrawCellButton(*c, nullptr, TRect(0, 0, 30, 20), 3, state, tones);
        EXPECT_EQ(px(15, 10), fills[state]);
        EXPECT_EQ(px(0, 10), clBlack);
    }
    clear();
    DrawComboButton(*c, nullptr, TRect(0, 30, 100, 50), 3, 1, tones);
    EXPECT_EQ(px(86, 35), clYellow);
    EXPECT_EQ(px(85, 35), clBlack); // separator
    EXPECT_EQ(px(70, 35), clWhite);
    DrawSpinButtons(*c, nullptr, TRect(0, 60, 100, 80), 3, 0, tones);
    EXPECT_EQ(px(86, 61), clSilver);
    EXPECT_EQ(px(91, 63), clBlack); // upper triangle
    // Classic look draws through the platform's frame controls.
    clear();
    DrawCellButton(*c, nullptr, TRect(0, 0, 30, 20), 1, 0, tones);
    EXPECT_NE(px(15, 10), clWhite);
}

TEST_F(GridDrawTest, LayeredWindowFunctionsReachTheWindow) {
    TCustomControl w(nullptr);
    const HWND h = w.Handle();
    // Found by name; a window that is not layered refuses.
    EXPECT_FALSE(DynSetLayeredWindowAttributes(h, clBlack, 128, LWA_ALPHA));
    SetWindowLong(h, GWL_EXSTYLE, GetWindowLong(h, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
    EXPECT_TRUE(DynSetLayeredWindowAttributes(h, clBlack, 128, LWA_ALPHA));
    EXPECT_EQ(w.LayeredAlpha(), 128);
    TSize size{3, 2};
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = 200;
    blend.AlphaFormat = AC_SRC_ALPHA;
    TPoint at{40, 30};
    EXPECT_TRUE(
        DynUpdateLayeredWindow(h, nullptr, &at, &size, c, nullptr, clNone, &blend, ULW_ALPHA));
    EXPECT_EQ(w.BoundsRect(), TRect(40, 30, 43, 32));
    ASSERT_NE(w.LayeredImage(), nullptr);
    EXPECT_EQ(w.LayeredImage()->Width(), 3);
    EXPECT_EQ(w.LayeredAlpha(), 200);
}

TEST_F(GridDrawTest, ErrorMarkerAndResourceBitmap) {
    DrawErrorMarker(*c, "abc def", TRect(10, 10, 110, 30), 12, 4, 3);
    const int start = 10 + c->TextWidth("abc ");
    EXPECT_EQ(count(clRed, TRect(10, 10, start - 1, 30)), 0);
    EXPECT_GT(count(clRed, TRect(start, 20, start + c->TextWidth("def"), 30)), 0);

    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(TRect(0, 0, 4, 4));
    b.Canvas()->SetPixels(1, 1, clBlue);
    b.SetTransparentColor(clFuchsia);
    RegisterResourceBitmap("MARK", &b);
    DrawResourceBitmap(*c, clYellow, TRect(50, 50, 60, 60), "mark");
    EXPECT_EQ(px(51, 51), clBlue);
    EXPECT_EQ(px(50, 50), clYellow);
    RegisterResourceBitmap("MARK", nullptr);
    DrawResourceBitmap(*c, clYellow, TRect(70, 50, 80, 60), "MARK");
    EXPECT_EQ(px(70, 50), clWhite);
}

} // namespace
