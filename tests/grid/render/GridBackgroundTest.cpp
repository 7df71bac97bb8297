// The background picture and gradient behind a grid's cells and in its empty client area,
// checked by pixels.
#include "grid/core/QorStringGrid.h"
#include "grid/render/LookSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kYellow = 0x00FFFF;

// 10 x 10 in four quadrants: red, blue on top; green, yellow below.
std::unique_ptr<TBitmap> quadrants() {
    auto b = std::make_unique<TBitmap>(10, 10);
    b->SetPixelFormat(pf24bit);
    const TColor colours[4] = {kRed, kBlue, kGreen, kYellow};
    for (int i = 0; i < 4; ++i) {
        b->Canvas()->Brush()->SetColor(colours[i]);
        b->Canvas()->FillRect(Bounds((i % 2) * 5, (i / 2) * 5, 5, 5));
    }
    return b;
}

TColor quadrantAt(int x, int y) {
    auto mod = [](int a) { return ((a % 10) + 10) % 10; };
    const int qx = mod(x) < 5 ? 0 : 1, qy = mod(y) < 5 ? 0 : 1;
    const TColor colours[4] = {kRed, kBlue, kGreen, kYellow};
    return colours[qy * 2 + qx];
}

struct BackGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    BackGrid(int cols = 4, int rows = 4) {
        form.SetBounds(0, 0, 340, 240);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 320, 220);
        g->SetScrollBars(ssNone);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        for (int c = 0; c < cols; ++c) g->SetColWidths(c, 57);
        form.Show();
        uitest::processMessages();
    }
    // Every pixel of area passes check (x, y, colour); the count of those that failed.
    int failing(const TRect& area, const std::function<bool(int, int, TColor)>& check) {
        g->Invalidate();
        auto image = uitest::render(g);
        int bad = 0;
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                if (!check(x, y, image->PixelColor(x, y))) ++bad;
        return bad;
    }
    // Inside the cell, clear of its grid lines and the cell's edge.
    TRect inside(int c, int r) {
        const TRect rc = g->CellRect(c, r);
        return TRect(rc.Left + 1, rc.Top + 1, rc.Right - 1, rc.Bottom - 1);
    }
    // The client area right of the last column and below the last row, inside the two-pixel
    // outline the grid's look draws around its window.
    TRect rightArea() {
        const TRect last = g->CellRect(g->ColCount() - 1, g->TopRow());
        return TRect(last.Right + 1, kOutline, g->ClientWidth() - kOutline,
                     g->ClientHeight() - kOutline);
    }
    TRect belowArea() {
        const TRect last = g->CellRect(g->LeftCol(), g->RowCount() - 1);
        return TRect(kOutline, last.Bottom + 1, last.Right, g->ClientHeight() - kOutline);
    }
    static constexpr int kOutline = 2;
};

TEST(GridBackground, TiledPictureRunsOnAcrossCellsIntoTheEmptyAreaAndScrollsWithThem) {
    BackGrid b(9, 4);
    b.g->BackGround()->SetBitmap(quadrants().get());
    auto tiled = [&](TPoint origin) {
        return [origin](int x, int y, TColor c) {
            return c == quadrantAt(x - origin.X, y - origin.Y);
        };
    };
    const TRect first = b.g->CellRect(1, 1);
    const TPoint origin{first.Left, first.Top};
    // Normal cells other than the selected current one, side by side and one below the other.
    for (auto [c, r] : {std::pair{2, 1}, {3, 1}, {2, 2}, {3, 3}, {1, 2}})
        EXPECT_EQ(b.failing(b.inside(c, r), tiled(origin)), 0) << c << "," << r;
    EXPECT_EQ(b.failing(b.belowArea(), tiled(origin)), 0);
    // Fixed cells keep their own look.
    EXPECT_GT(b.failing(b.inside(2, 0), tiled(origin)), 0);
    // Scrolled two columns to the left, the picture moves with the cells.
    b.g->SetLeftCol(3);
    const int scrolled = b.g->ColWidths(1) + b.g->ColWidths(2);
    const TPoint moved{origin.X - scrolled, origin.Y};
    EXPECT_EQ(b.failing(b.inside(4, 2), tiled(moved)), 0);
    EXPECT_EQ(b.failing(b.belowArea(), tiled(moved)), 0);
}

TEST(GridBackground, FixedCellsPictureLeavesNormalCellsAndTheEmptyAreaAlone) {
    BackGrid b;
    b.g->BackGround()->SetCells(bcFixed);
    b.g->BackGround()->SetBitmap(quadrants().get());
    const TPoint origin{0, 0};
    auto tiled = [origin](int x, int y, TColor c) {
        return c == quadrantAt(x - origin.X, y - origin.Y);
    };
    // Inside the edges of the fixed look.
    auto edged = [&](int c, int r) {
        const TRect in = b.inside(c, r);
        return TRect(in.Left + 1, in.Top + 1, in.Right, in.Bottom - 1);
    };
    EXPECT_EQ(b.failing(edged(2, 0), tiled), 0);
    EXPECT_EQ(b.failing(edged(0, 2), tiled), 0);
    auto window = [&](int, int, TColor c) { return c == ColorToRGB(b.g->Color()); };
    EXPECT_EQ(b.failing(b.inside(2, 2), window), 0);
    EXPECT_EQ(b.failing(b.rightArea(), window), 0);
    EXPECT_EQ(b.failing(b.belowArea(), window), 0);
}

TEST(GridBackground, FixedPictureShowsOnlyWhereItLies) {
    BackGrid b;
    const TRect cell = b.g->CellRect(2, 2);
    b.g->BackGround()->SetDisplay(bdFixed);
    b.g->BackGround()->SetLeft(cell.Left + 3);
    b.g->BackGround()->SetTop(cell.Top + 2);
    b.g->BackGround()->SetBitmap(quadrants().get());
    const TRect at = Bounds(cell.Left + 3, cell.Top + 2, 10, 10);
    EXPECT_EQ(b.failing(at, [&](int x, int y,
                                TColor c) { return c == quadrantAt(x - at.Left, y - at.Top); }),
              0);
    auto window = [&](int, int, TColor c) { return c == ColorToRGB(b.g->Color()); };
    // A cell the picture does not reach stays as it was.
    EXPECT_EQ(b.failing(b.inside(3, 2), window), 0);
    EXPECT_EQ(b.failing(b.inside(2, 3), window), 0);
    EXPECT_EQ(b.failing(b.rightArea(), window), 0);
}

TEST(GridBackground, GradientGivesEachCellItsSliceOfOneGradient) {
    BackGrid b(3, 3);
    b.g->BackGround()->SetDisplay(bdGradientVert);
    b.g->BackGround()->SetColor(clBlack);
    b.g->BackGround()->SetColorTo(clWhite);
    const int height = b.g->ClientHeight();
    // The banded gradient is within a few steps of the straight line from black to white.
    auto gradient = [height](int, int y, TColor c) {
        const int want = 255 * y / height;
        return std::abs(int(GetRValue(c)) - want) <= 6 && GetRValue(c) == GetGValue(c) &&
               GetGValue(c) == GetBValue(c);
    };
    EXPECT_EQ(b.failing(b.inside(2, 1), gradient), 0);
    EXPECT_EQ(b.failing(b.inside(2, 2), gradient), 0);
    EXPECT_EQ(b.failing(b.belowArea(), gradient), 0);
    EXPECT_EQ(b.failing(b.rightArea(), gradient), 0);
    // Without ColorTo the cells are solid and the empty area keeps the grid's colour.
    b.g->BackGround()->SetColorTo(clNone);
    EXPECT_EQ(b.failing(b.inside(2, 2), [](int, int, TColor c) { return c == clBlack; }), 0);
    auto window = [&](int, int, TColor c) { return c == ColorToRGB(b.g->Color()); };
    EXPECT_EQ(b.failing(b.belowArea(), window), 0);
}

} // namespace
