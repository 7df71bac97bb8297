// A grid read right to left shows its left-to-right twin mirrored: painting, hit tests, column
// sizing, the editor over the mirrored cell and typing Hebrew and Arabic through Qt's keys.
#include "grid/core/QorStringGrid.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/SysInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr int kWidths[] = {40, 60, 50, 70};
const std::string kHebrew = "\u05E9\u05DC\u05D5\u05DD";
const std::string kArabic = "\u0633\u0644\u0627\u0645";

// Two 5-row grids side by side on a shown form, alike but for the reading order; no texts,
// a fixed header row, cell colours, a selection and check boxes.
class RightToLeftTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 640, 300);
        ltr = make(0);
        rtl = make(320);
        rtl->SetBiDiMode(bdRightToLeft);
        form->Show();
        uitest::processMessages();
    }
    TQorStringGrid* make(int left) {
        auto* g = new TQorStringGrid(form.get());
        g->SetParent(form.get());
        g->SetBounds(left, 0, 300, 160);
        g->SetScrollBars(ssNone);
        g->SetTabStop(false);
        g->SetColCount(4);
        g->SetRowCount(5);
        g->SetFixedCols(0);
        g->SetDefaultRowHeight(22);
        for (int c = 0; c < 4; ++c) g->SetColWidths(c, kWidths[c]);
        g->SetColors(1, 2, clYellow);
        g->SetColors(3, 3, clLime);
        g->AddCheckBox(2, 1, false, false);
        g->AddCheckBox(2, 2, true, false);
        g->SetSelection({0, 3, 1, 4});
        return g;
    }
    static TRect mirror(const TRect& r, int width) {
        return {width - r.Right, r.Top, width - r.Left, r.Bottom};
    }
    static std::unique_ptr<TBitmap> image(TQorStringGrid* g) {
        g->Repaint();
        auto b = std::make_unique<TBitmap>();
        b->Assign(g->BackingImage());
        return b;
    }
    // The bounding box of the pixels of r that differ from the colour at its centre's row end.
    static TRect inkBox(TBitmap& b, const TRect& r, TColor background) {
        TRect box(r.Right, r.Bottom, r.Left, r.Top);
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (b.PixelColor(x, y) != background) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
    std::unique_ptr<TForm> form;
    TQorStringGrid* ltr = nullptr;
    TQorStringGrid* rtl = nullptr;
};

// Fills, grid lines, the selection and the empty area beyond the last column are the
// left-to-right pixels flipped; the check boxes lie where the flipped ones lie (their marks are
// not mirrored).
TEST_F(RightToLeftTest, PaintsTheLeftToRightTwinFlipped) {
    auto a = image(ltr), b = image(rtl);
    const int w = rtl->ClientWidth();
    ASSERT_EQ(w, ltr->ClientWidth());
    const TRect boxA = ltr->CellRect(2, 1), boxB = ltr->CellRect(2, 2);
    auto inBox = [&](int x, int y) { return (boxA.Contains({x, y}) || boxB.Contains({x, y})); };
    int differ = 0;
    for (int y = 0; y < rtl->ClientHeight(); ++y)
        for (int x = 0; x < w; ++x)
            if (!inBox(x, y) && a->PixelColor(x, y) != b->PixelColor(w - 1 - x, y)) ++differ;
    EXPECT_EQ(differ, 0);
    for (int r : {1, 2}) {
        const TRect cellL = ltr->CellRect(2, r), cellR = rtl->CellRect(2, r);
        EXPECT_EQ(cellR, mirror(cellL, w));
        const TColor back = a->PixelColor(cellL.Left + cellL.Width() / 2, cellL.Bottom - 3);
        EXPECT_EQ(inkBox(*b, cellR, back), mirror(inkBox(*a, cellL, back), w)) << r;
    }
}

// Left-justified text stands at the cell's right end, right-justified at its left end, and
// both read right to left.
TEST_F(RightToLeftTest, CellTextIsAlignedFromTheRight) {
    rtl->SetCells(1, 1, kHebrew);
    rtl->SetCells(3, 1, kArabic);
    rtl->SetCells(3, 2, kHebrew);
    rtl->SetAlignments(3, 2, taRightJustify);
    auto b = image(rtl);
    struct Case {
        int col, row;
        bool atRight;
    };
    for (const Case& c : {Case{1, 1, true}, Case{3, 1, true}, Case{3, 2, false}}) {
        const TRect cell = rtl->CellRect(c.col, c.row);
        const TRect ink =
            inkBox(*b, TRect(cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1),
                   ColorToRGB(rtl->Color()));
        ASSERT_LT(ink.Left, ink.Right) << c.col << "," << c.row;
        const int gapLeft = ink.Left - cell.Left, gapRight = cell.Right - ink.Right;
        EXPECT_EQ(gapRight < gapLeft, c.atRight) << c.col << "," << c.row;
    }
}

// The cell under a point of the mirrored grid is the left-to-right twin's cell under the
// flipped point, at the cells' edges too; past the last column there is none.
TEST_F(RightToLeftTest, HitTestsMirroredPoints) {
    const int w = rtl->ClientWidth();
    const int xs[] = {0, 39, 40, 99, 100, 149, 150, 219, 220, w - 1};
    for (int x : xs)
        for (int y : {5, 30}) {
            int lc = -2, lr = -2, rc = -2, rr = -2;
            ltr->MouseToCell(x, y, lc, lr);
            rtl->MouseToCell(w - 1 - x, y, rc, rr);
            EXPECT_EQ(rc, lc) << x << "," << y;
            EXPECT_EQ(rr, lr) << x << "," << y;
        }
    int c = -1, r = -1;
    rtl->MouseToCell(w - 1, 30, c, r);
    EXPECT_EQ(c, 0);
    rtl->MouseToCell(5, 30, c, r);
    EXPECT_EQ(c, -1);
    // A click through Qt's delivery selects the cell under it.
    const TRect target = rtl->CellRect(2, 3);
    uitest::postNativeClickAt(rtl, {target.Left + 5, target.Top + 5});
    uitest::processMessages();
    EXPECT_EQ(rtl->Col(), 2);
    EXPECT_EQ(rtl->Row(), 3);
    // The arrow keys move through the mirrored layout: Left goes to the next column.
    uitest::postNativeKey(VK_LEFT, rtl);
    uitest::processMessages();
    EXPECT_EQ(rtl->Col(), 3);
    uitest::postNativeKey(VK_RIGHT, rtl);
    uitest::processMessages();
    EXPECT_EQ(rtl->Col(), 2);
}

// The column's sizing border is its left edge: dragging it to the left widens the column.
TEST_F(RightToLeftTest, ColumnIsSizedAtItsLeftEdge) {
    rtl->SetOptions(rtl->Options() + goColSizing);
    const TRect head = rtl->CellRect(1, 0);
    const TPoint border{head.Left, head.Top + 5};
    uitest::postNativeMouseMove(rtl, border);
    uitest::postNativeMouseDown(rtl, border);
    uitest::postNativeMouseMove(rtl, {border.X - 20, border.Y}, true);
    uitest::postNativeMouseUp(rtl, {border.X - 20, border.Y});
    uitest::processMessages();
    EXPECT_EQ(rtl->ColWidths(1), kWidths[1] + 20);
    EXPECT_EQ(rtl->CellRect(1, 0).Right, head.Right);
}

// A scrolled grid keeps its first column at the right, its vertical bar on the left, and a
// click on that bar's arrow scrolls.
TEST_F(RightToLeftTest, ScrollsWithTheVerticalBarOnTheLeft) {
    rtl->SetRowCount(40);
    rtl->SetColCount(12);
    for (int c = 4; c < 12; ++c) rtl->SetColWidths(c, 60);
    rtl->SetScrollBars(ssBoth);
    uitest::processMessages();
    const int bar = SystemScrollBarSize;
    const TRect first = rtl->CellRect(0, 1);
    EXPECT_EQ(first.Right, rtl->ClientWidth());
    rtl->SetLeftCol(3);
    const TRect scrolled = rtl->CellRect(3, 1);
    EXPECT_EQ(scrolled.Right, rtl->ClientWidth());
    int c = -1, r = -1;
    rtl->MouseToCell(scrolled.Left + 3, scrolled.Top + 3, c, r);
    EXPECT_EQ(c, 3);
    EXPECT_GE(rtl->CellRect(rtl->LeftCol() + rtl->VisibleColCount() - 1, 1).Left, bar);
    const int top = rtl->TopRow();
    const int arrowY = rtl->CellAreaHeight() - bar / 2;
    uitest::postNativeClickAt(rtl, {bar / 2, arrowY});
    uitest::processMessages();
    EXPECT_EQ(rtl->TopRow(), top + 1);
}

// Typing Hebrew and Arabic through Qt's keys opens the editor over the mirrored cell (a
// merged one too) and the cell keeps the text.
TEST_F(RightToLeftTest, EditorCoversTheMirroredCellAndTakesTypedText) {
    rtl->SetOptions(rtl->Options() + goEditing);
    rtl->MergeCells(0, 2, 2, 1);
    struct Case {
        int col, row;
        std::string text;
    };
    for (const Case& c : {Case{3, 1, kHebrew}, Case{0, 2, kArabic}}) {
        rtl->SetFocus();
        rtl->FocusCell(c.col, c.row);
        uitest::processMessages();
        uitest::postNativeKey(VK_F2, rtl);
        uitest::processMessages();
        TInplaceEdit* ed = rtl->InplaceEditor();
        ASSERT_TRUE(ed && ed->Visible());
        const TRect cell = rtl->CellRect(c.col, c.row);
        const TRect at = ed->BoundsRect();
        EXPECT_GE(at.Left, cell.Left) << c.col;
        EXPECT_LE(at.Right, cell.Right) << c.col;
        EXPECT_GE(at.Width(), cell.Width() - 3) << c.col;
        ed->SelectAll();
        uitest::postNativeText(c.text, ed);
        uitest::postNativeKey(VK_RETURN, ed);
        uitest::processMessages();
        EXPECT_EQ(rtl->Cells(c.col, c.row), c.text);
    }
}

} // namespace
