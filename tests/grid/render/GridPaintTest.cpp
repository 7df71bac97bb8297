#include "grid/core/QorColumnGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "platform/gfx/Imaging.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// A table editor's grid: a fixed header row and row-number column, then a text, a number, a
// combo, a "Y"/"N" check and a password column; 22-pixel rows.
class PaintGrid : public TQorColumnGrid {
public:
    using TQorColumnGrid::FHoverRowIdx;
    using TQorColumnGrid::TQorColumnGrid;
};

constexpr int kWidths[] = {30, 90, 70, 80, 40, 70};

class GridPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid = std::make_unique<PaintGrid>(nullptr);
        grid->SetColCount(6);
        grid->SetRowCount(6);
        grid->SetScrollBars(ssNone);
        grid->SetBounds(0, 0, 400, 140);
        for (int c = 0; c < 6; ++c) grid->Columns()->Items(c)->SetWidth(kWidths[c]);
        const char* headers[] = {"#", "Name", "Value", "Type", "En", "Key"};
        for (int c = 0; c < 6; ++c) grid->Columns()->Items(c)->SetHeader(headers[c]);
        grid->Columns()->Items(2)->SetAlignment(taRightJustify);
        grid->Columns()->Items(3)->SetEditor(edComboList);
        grid->Columns()->Items(4)->SetEditor(edDataCheckBox);
        grid->Columns()->Items(5)->SetPassword(true);
        grid->ControlLook()->SetControlStyle(csWinXP);
        for (int r = 1; r < 6; ++r) {
            grid->SetCells(0, r, std::to_string(r));
            grid->SetCells(1, r, "Item " + std::to_string(r));
            grid->SetCells(2, r, std::to_string(r * 7));
            grid->SetCells(3, r, "Bool");
            grid->SetCells(4, r, r % 2 ? "Y" : "N");
            grid->SetCells(5, r, "abcd");
        }
        grid->HandleNeeded();
    }
    TColor px(int x, int y) {
        grid->Repaint();
        return grid->BackingImage()->PixelColor(x, y);
    }
    // Left edge of column c.
    static int colX(int c) {
        int x = 0;
        for (int i = 0; i < c; ++i) x += kWidths[i];
        return x;
    }
    std::unique_ptr<PaintGrid> grid;
};

// Dark pixels (text) inside a rectangle of the grid's image.
struct Ink {
    int count = 0;
    TRect box{1 << 20, 1 << 20, -1, -1};
};

Ink inkIn(TBitmap& img, TRect r) {
    Ink ink;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            const TColor c = img.PixelColor(x, y);
            if (std::max({GetRValue(c), GetGValue(c), GetBValue(c)}) >= 110) continue;
            ++ink.count;
            ink.box.Left = std::min(ink.box.Left, x);
            ink.box.Top = std::min(ink.box.Top, y);
            ink.box.Right = std::max(ink.box.Right, x + 1);
            ink.box.Bottom = std::max(ink.box.Bottom, y + 1);
        }
    return ink;
}

TEST_F(GridPaintTest, HeaderShowsTheLookGradientWithItsEdgeLines) {
    // Header cell (1, 0): 30..119 x 0..21; the look's gradient runs from QorGradientFrom at the
    // top to QorGradientTo at the bottom of the content (y 0..19).
    grid->SetQorGradientFrom(clWhite);
    grid->SetQorGradientTo(RGB(160, 160, 160));
    // Without the look's outline, which lies over the grid's outer pixels.
    grid->SetBorderColor(clNone);
    const int x = 100;
    const TColor top = px(x, 1), bottom = px(x, 19);
    EXPECT_GT(GetRValue(top), 245) << std::hex << top;
    EXPECT_EQ(bottom, RGB(160, 160, 160));
    EXPECT_EQ(px(x, 0), ColorToRGB(clWhite)) << "highlight along the top";
    EXPECT_EQ(px(30, 10), ColorToRGB(clWhite)) << "highlight along the left";
    EXPECT_EQ(px(x, 21), HalfColor(grid->FixedColor())) << "bottom edge line";
    EXPECT_EQ(px(119, 10), ColorToRGB(grid->GridFixedLineColor())) << "fixed vertical line";
    EXPECT_GT(inkIn(*grid->BackingImage(), TRect(31, 1, 119, 20)).count, 0) << "header text";
}

TEST_F(GridPaintTest, HoveredAndPressedHeaderTakeTheirGradientsAndFrames) {
    grid->SetHoverFixedCells(hfAll);
    grid->SetHoverFixedCell(1, 0);
    // The hover set (clGray .. clWhite) framed in clSilver over the content grown by one at the
    // bottom (30..118 x 0..20); the look's white highlight then covers the top and left sides.
    EXPECT_EQ(px(118, 10), ColorToRGB(clSilver)) << "hover frame, right";
    EXPECT_EQ(px(60, 20), ColorToRGB(clSilver)) << "hover frame, bottom";
    const TColor hoverTop = px(60, 2), hoverBottom = px(60, 18);
    EXPECT_LT(GetRValue(hoverTop), GetRValue(hoverBottom)) << "from grey to white";
    grid->SetHeaderPressed(true);
    EXPECT_EQ(px(60, 20), ColorToRGB(clGray)) << "pressed frame";
    EXPECT_LT(GetRValue(px(60, 18)), GetRValue(hoverBottom)) << "pressed ends in silver";
    // Another header cell keeps the plain look.
    EXPECT_EQ(px(colX(2) + 30, 0), ColorToRGB(clWhite));
}

TEST_F(GridPaintTest, ActiveCellHeadersShowTheActiveColour) {
    grid->SetActiveCellShow(true);
    grid->SetActiveCellColor(clYellow);
    grid->SetCol(2);
    grid->SetRow(3);
    EXPECT_EQ(px(colX(2) + 30, 10), ColorToRGB(clYellow)) << "above the current column";
    EXPECT_EQ(px(15, 3 * 22 + 10), ColorToRGB(clYellow)) << "left of the current row";
    EXPECT_NE(px(colX(3) + 30, 10), ColorToRGB(clYellow));
}

TEST_F(GridPaintTest, GridLinesSelectionAndFocusRectangle) {
    grid->SetCol(2);
    grid->SetRow(2);
    // Cell (2, 2) spans 120..189 x 44..65, its lines at x = 189 and y = 65.
    EXPECT_EQ(px(colX(2) + 10, 22 + 21), ColorToRGB(grid->GridLineColor())) << "horizontal line";
    EXPECT_EQ(px(colX(2) - 1, 30), ColorToRGB(grid->GridLineColor())) << "vertical line";
    EXPECT_EQ(px(colX(2) + 10, 50), grid->SelectionColor()) << "selected cell";
    EXPECT_EQ(px(colX(2) + 10, 30), ColorToRGB(grid->Color())) << "unselected cell";

    auto topEdge = [&] {
        grid->Repaint();
        std::vector<TColor> row;
        for (int x = colX(2); x < colX(3) - 1; ++x)
            row.push_back(grid->BackingImage()->PixelColor(x, 44));
        return row;
    };
    const auto plain = topEdge();
    grid->SetFocus();
    ASSERT_TRUE(grid->Focused());
    const auto focused = topEdge();
    EXPECT_NE(focused, plain) << "the focus rectangle runs along the top edge";
    grid->SetOptions(grid->Options() + goRowSelect);
    EXPECT_EQ(topEdge(), plain) << "no focus rectangle with row selection";
    grid->SetOptions(grid->Options() - goRowSelect);
    grid->SetHideFocusRect(true);
    EXPECT_EQ(topEdge(), plain);
}

TEST_F(GridPaintTest, NumbersAreRightAlignedInTheirColumn) {
    grid->Repaint();
    // Row 3 (66..87) of the value column (120..189) holds "21".
    Ink ink = inkIn(*grid->BackingImage(), TRect(colX(2), 67, colX(3) - 1, 87));
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.box.Right, colX(3) - 1 - 2 - 3) << "ends at the right offset";
    EXPECT_GT(ink.box.Left, colX(2) + 40);
    ink = inkIn(*grid->BackingImage(), TRect(colX(1), 67, colX(2) - 1, 87));
    EXPECT_LT(ink.box.Left, colX(1) + 6) << "text is left-aligned";
}

TEST_F(GridPaintTest, WordWrapBreaksLongTextsOntoMoreLines) {
    grid->SetRowHeights(3, 44);
    grid->SetCells(1, 3, "alpha beta gamma");
    const TRect cell(colX(1), 67, colX(2) - 1, 66 + 43);
    grid->Repaint();
    const Ink wrapped = inkIn(*grid->BackingImage(), cell);
    grid->SetWordWrap(false);
    grid->Repaint();
    const Ink single = inkIn(*grid->BackingImage(), cell);
    EXPECT_GT(wrapped.box.Height(), 18) << "two lines";
    EXPECT_LT(single.box.Height(), 14) << "one line";
    EXPECT_GE(single.box.Right, colX(2) - 3) << "the single line runs to the cell's edge";
}

TEST_F(GridPaintTest, TextsShowMaskedFormattedAndAsMarkup) {
    // The same pixels as a cell that holds the mask characters itself.
    const TRect keyCell(colX(5), 23, colX(5) + 69, 43);
    auto cellPixels = [&](const TRect& r) {
        grid->Repaint();
        std::vector<TColor> out;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                out.push_back(grid->BackingImage()->PixelColor(x, y));
        return out;
    };
    const auto masked = cellPixels(keyCell);
    grid->Columns()->Items(5)->SetPassword(false);
    grid->SetCells(5, 1, "****");
    EXPECT_EQ(cellPixels(keyCell), masked) << "four characters, four mask characters";
    grid->SetCells(5, 1, "abcd");
    EXPECT_NE(cellPixels(keyCell), masked);

    // Markup: a coloured run shows red only while markup is on.
    grid->SetCells(1, 2, "<font color=\"clred\">Red</font>");
    const TRect nameCell(colX(1), 45, colX(2) - 1, 65);
    auto redPixels = [&] {
        int n = 0;
        for (TColor c : cellPixels(nameCell))
            n += GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80;
        return n;
    };
    EXPECT_GT(redPixels(), 0);
    grid->SetEnableHTML(false);
    EXPECT_EQ(redPixels(), 0) << "the tags show as text";
}

TEST_F(GridPaintTest, RichTextCellsDrawTheirRunsAndTakeTheSelectionTextColour) {
    grid->SetCells(1, 3, "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf1\\b Red}");
    const TRect cell(colX(1), 67, colX(2) - 1, 87);
    auto count = [&](auto pred) {
        grid->Repaint();
        int n = 0;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x)
                n += pred(grid->BackingImage()->PixelColor(x, y));
        return n;
    };
    auto red = [](TColor c) { return GetRValue(c) > 180 && GetGValue(c) < 80; };
    auto blue = [](TColor c) { return GetBValue(c) > 180 && GetRValue(c) < 80; };
    EXPECT_GT(count(red), 0);
    EXPECT_EQ(inkIn(*grid->BackingImage(), cell).count, 0) << "no codes drawn as text";
    grid->SetSelectionTextColor(clBlue);
    grid->SetCol(1);
    grid->SetRow(3);
    EXPECT_EQ(count(red), 0);
    EXPECT_GT(count(blue), 0);
    grid->SetSelectionRTFKeep(true);
    EXPECT_GT(count(red), 0) << "the cell's own colours are kept";
}

TEST_F(GridPaintTest, BordersZoomAndUserDrawing) {
    // A left border in the hook's pen.
    grid->OnGetCellBorder = [](TObject*, int ARow, int ACol, TPen* APen, TCellBorders& B) {
        if (ARow == 4 && ACol == 1) {
            B = TCellBorders{cbLeft};
            APen->SetColor(clRed);
        }
    };
    // Cell (1, 4) spans 30..119; the left line lies inside the grid line.
    EXPECT_EQ(px(colX(1) + 1, 4 * 22 + 10), ColorToRGB(clRed));
    EXPECT_NE(px(colX(1) + 1, 3 * 22 + 10), ColorToRGB(clRed));

    // The zoom factor enlarges every cell font, the fixed font too.
    const TRect header(colX(1) + 1, 1, colX(2) - 1, 20), cell(colX(1), 23, colX(2) - 1, 43);
    grid->Repaint();
    const int headerHeight = inkIn(*grid->BackingImage(), header).box.Height();
    const int cellWidth = inkIn(*grid->BackingImage(), cell).box.Width();
    grid->SetZoomFactor(3);
    grid->Repaint();
    EXPECT_GT(inkIn(*grid->BackingImage(), header).box.Height(), headerHeight);
    EXPECT_GT(inkIn(*grid->BackingImage(), cell).box.Width(), cellWidth);
    grid->SetZoomFactor(0);

    // With NoDefaultDraw the user's handler replaces the text, and gets the real column.
    int calls = 0;
    grid->OnDrawCell = [&](TObject*, int ACol, int ARow, TRect, TGridDrawState) {
        calls += ACol == 1 && ARow == 1;
    };
    grid->Flags().NoDefaultDraw = true;
    grid->Repaint();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(inkIn(*grid->BackingImage(), cell).count, 0);
}

TEST_F(GridPaintTest, SizingLinesDrawnTwiceLeaveTheGridUnchanged) {
    grid->Repaint();
    auto snapshot = [&] {
        const TBitmap& b = *grid->BackingImage();
        return std::vector<std::uint32_t>(b.Pixels32(), b.Pixels32() + b.Width() * b.Height());
    };
    const auto before = snapshot();
    grid->DrawColumnSizingLine(75);
    grid->DrawRowSizingLine(50);
    const auto drawn = snapshot();
    EXPECT_NE(drawn, before);
    int changedOnRow = 0;
    for (int x = 0; x < 400; ++x) changedOnRow += drawn[50 * 400 + x] != before[50 * 400 + x];
    EXPECT_GT(changedOnRow, 100) << "the row line";
    grid->DrawRowSizingLine(50);
    grid->DrawColumnSizingLine(75);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(GridPaintTest, DisjunctRowSelectionShowsSelectionTextOnlyInFlaggedRows) {
    grid->SetSelectionTextColor(clRed);
    grid->SetCol(1);
    grid->SetRow(2);
    const TRect cell(colX(1), 45, colX(2) - 1, 65);
    auto redInk = [&] {
        grid->Repaint();
        int n = 0;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x) {
                const TColor c = grid->BackingImage()->PixelColor(x, y);
                n += GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80;
            }
        return n;
    };
    EXPECT_GT(redInk(), 0) << "the selected cell";
    grid->MouseActions()->SetDisjunctRowSelect(true);
    EXPECT_EQ(redInk(), 0) << "its row is not flagged";
    grid->SetRowSelect(2, true);
    EXPECT_GT(redInk(), 0) << "a flagged row";
}

TEST(GridZoomTest, CellsOutsideTheDisjunctSelectionAreZoomedOnce) {
    TQorStringGrid g(nullptr);
    g.SetScrollBars(ssNone);
    g.SetBounds(0, 0, 300, 120);
    g.SetDefaultColWidth(100);
    g.SetCells(1, 1, "Wide text");
    g.SetCells(1, 2, "Wide text");
    g.SetCol(1);
    g.SetRow(1);
    g.SetZoomFactor(4);
    g.HandleNeeded();
    auto widthIn = [&](int row) {
        g.Repaint();
        const int top = row * g.DefaultRowHeight();
        return inkIn(*g.BackingImage(), TRect(101, top + 1, 199, top + 21)).box.Width();
    };
    const int zoomed = widthIn(2);
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetCells(1, 2, "");
    EXPECT_EQ(widthIn(1), zoomed) << "row 1 is not flagged and shows its own colours";
}

TEST_F(GridPaintTest, SortedHeaderShowsItsGlyphBesideTheText) {
    grid->SortSettings()->SetColumn(1);
    grid->SortSettings()->SetRow(0);
    const TRect header(colX(1) + 1, 1, colX(2) - 1, 20);
    auto image = [&] {
        grid->Repaint();
        const TBitmap& b = *grid->BackingImage();
        return std::vector<std::uint32_t>(b.Pixels32(), b.Pixels32() + b.Width() * b.Height());
    };
    const auto plain = image();
    const int textRight = inkIn(*grid->BackingImage(), header).box.Right;
    grid->SortSettings()->SetShow(true);
    const auto sorted = image();
    // "Name" is left-aligned: the glyph is centred 10 pixels after the text.
    int left = 1 << 20, right = -1;
    for (int y = header.Top; y < header.Bottom; ++y)
        for (int x = header.Left; x < header.Right; ++x)
            if (plain[std::size_t(y * 400 + x)] != sorted[std::size_t(y * 400 + x)]) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GE(left, textRight + 2);
    EXPECT_LE(right, textRight + 20);
}

TEST_F(GridPaintTest, MarkedErrorsAreUnderlined) {
    grid->AddMarker(1, 1, 0, 4);
    const TRect cell(colX(1), 23, colX(2) - 1, 43);
    grid->Repaint();
    int red = 0;
    for (int y = cell.Top; y < cell.Bottom; ++y)
        for (int x = cell.Left; x < cell.Right; ++x) {
            const TColor c = grid->BackingImage()->PixelColor(x, y);
            red += GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80;
        }
    EXPECT_GT(red, 0);
}

// One small picture per look, compared pixel by pixel with the one kept beside the tests;
// KNX_UPDATE_REFERENCE=1 writes them anew.
TEST(GridLookTest, EachLookPaintsItsReferencePicture) {
    struct Look {
        TGridLook look;
        const char* name;
    } looks[] = {{glStandard, "standard"}, {glSoft, "soft"}, {glClassic, "classic"},
                 {glQor, "qor"},           {glXP, "xp"},     {glListView, "listview"},
                 {glVista, "vista"}};
    const bool update = std::getenv("KNX_UPDATE_REFERENCE") != nullptr;
    for (const auto& l : looks) {
        PaintGrid g(nullptr);
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetScrollBars(ssNone);
        g.SetBounds(0, 0, 150, 66);
        const int widths[] = {24, 70, 56};
        for (int c = 0; c < 3; ++c) g.Columns()->Items(c)->SetWidth(widths[c]);
        g.Columns()->Items(1)->SetHeader("Name");
        g.Columns()->Items(2)->SetHeader("En");
        g.Columns()->Items(2)->SetEditor(edDataCheckBox);
        g.ControlLook()->SetControlStyle(csWinXP);
        g.SetLook(l.look);
        g.SetCells(0, 1, "1");
        g.SetCells(1, 1, "Alpha");
        g.SetCells(2, 1, "Y");
        g.SetCells(0, 2, "2");
        g.SetCells(1, 2, "Beta");
        g.SetCells(2, 2, "N");
        g.HandleNeeded();
        g.SetFocus();
        g.Repaint();
        const std::string path = std::string(REFERENCE_DIR) + "/look-" + l.name + ".png";
        if (update) {
            SavePng(*g.BackingImage(), path);
            continue;
        }
        TPicture expected;
        ASSERT_NO_THROW(expected.LoadFromFile(path)) << path;
        TBitmap* want = expected.Bitmap();
        TBitmap* got = g.BackingImage();
        ASSERT_EQ(want->Width(), got->Width()) << l.name;
        ASSERT_EQ(want->Height(), got->Height()) << l.name;
        int differ = 0;
        for (int y = 0; y < got->Height(); ++y)
            for (int x = 0; x < got->Width(); ++x)
                differ += (want->PixelColor(x, y) & 0xFFFFFF) != (got->PixelColor(x, y) & 0xFFFFFF);
        EXPECT_EQ(differ, 0) << l.name;
    }
}

TEST(GridTextTest, FloatFormatHandlerFormatsOnlyNumbers) {
    TQorStringGrid g(nullptr);
    struct Case {
        const char* text;
        const char* format;
        bool isFloat;
        const char* shown;
    } cases[] = {
        {"7", "%.3d", true, "007"},      {"3.14159", "%.2f", true, "3.14"},
        {"1e3", "%.1f", true, "1000.0"}, {"abc", "%.3d", true, "abc"},
        {"7", "%.3d", false, "7"},       {"7", "", true, "7"},
        {"2.5", "%d", true, "2.5"},
    };
    for (const auto& c : cases) {
        g.SetCells(1, 1, c.text);
        g.OnGetFloatFormat = [&](TObject*, int, int, bool& IsFloat, std::string& Format) {
            Format = c.format;
            IsFloat = c.isFloat;
        };
        EXPECT_EQ(g.GetFormattedCell(1, 1), c.shown) << c.text << " " << c.format;
    }
    g.OnGetFloatFormat = nullptr;
    g.SetCells(1, 1, "7");
    EXPECT_EQ(g.GetFormattedCell(1, 1), "7") << "no handler, no format";
}

} // namespace
