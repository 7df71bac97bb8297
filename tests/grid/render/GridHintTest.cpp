// Pointer movement over the string grid: cursors and select modes, cell hints on the manual
// clock, and the markup hint window.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/HTMLHintWindow.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct HintGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    HintGrid() {
        form.SetBounds(0, 0, 500, 300);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 480, 260);
        g->SetColCount(5);
        g->SetRowCount(6);
        g->SetShowHint(true);
        form.Show();
    }
    TPoint inside(int c, int r) {
        TRect rc = g->CellRect(c, r);
        return {rc.Left + 10, rc.Top + 8};
    }
    // Rests the pointer at p until the hint is due.
    void rest(TPoint p) {
        uitest::mouseMove(g, p);
        uitest::advanceClock(Application->HintPause + 10);
    }
    std::string shown() {
        THintWindow* w = Application->HintWindow();
        return w ? w->Text() : "<none>";
    }
};

TEST(GridHints, CellTextHintsThroughOnGridHint) {
    HintGrid h;
    h.g->SetHintShowCells(true);
    h.g->SetCells(2, 2, "<b>bold</b> text");
    h.g->SetCells(3, 3, "plain");
    h.g->SetCells(2, 0, "header");
    std::vector<std::string> asked;
    h.g->OnGridHint = [&](TObject*, int r, int c, std::string& hint) {
        asked.push_back(std::to_string(c) + "," + std::to_string(r) + ":" + hint);
        if (c == 3) hint = "<i>replaced</i>";
        if (r == 0) hint = "from the handler";
    };
    struct Case {
        TGridCoord cell;
        const char* asked;
        const char* shown;
        bool markupWindow;
    };
    const Case cases[] = {
        {{2, 2}, "2,2:bold text", "bold text", false},
        {{3, 3}, "3,3:plain", "<i>replaced</i>", true},
        // Fixed cells get no text hint, but the handler is asked.
        {{2, 0}, "2,0:", "from the handler", false},
    };
    for (const auto& c : cases) {
        asked.clear();
        h.rest(h.inside(c.cell.X, c.cell.Y));
        EXPECT_EQ(asked, std::vector<std::string>{c.asked});
        EXPECT_EQ(h.shown(), c.shown);
        EXPECT_EQ(dynamic_cast<THTMLHintWindow*>(Application->HintWindow()) != nullptr,
                  c.markupWindow)
            << c.shown;
        // The hint leaves as soon as the pointer reaches another cell.
        uitest::mouseMove(h.g, h.inside(4, 4));
        EXPECT_EQ(Application->HintWindow(), nullptr) << c.shown;
        Application->CancelHint();
    }
}

TEST(GridHints, NativePointerShowsHintsAndSizesColumns) {
    HintGrid h;
    h.g->SetHintShowCells(true);
    h.g->SetCells(2, 2, "native hint");
    TGridOptions o = h.g->Options();
    o.Include(goColSizing);
    h.g->SetOptions(o);
    uitest::processMessages();
    uitest::postNativeMouseMove(h.g, h.inside(2, 2));
    uitest::processMessages();
    uitest::advanceClock(Application->HintPause + 10);
    EXPECT_EQ(h.shown(), "native hint");
    Application->CancelHint();

    const TRect hdr = h.g->CellRect(2, 0);
    const TPoint border{hdr.Right, hdr.Top + 8};
    uitest::postNativeMouseMove(h.g, border);
    uitest::processMessages();
    EXPECT_EQ(h.g->Cursor(), crHSplit);
    uitest::postNativeMouseDown(h.g, border);
    uitest::postNativeMouseMove(h.g, {border.X + 16, border.Y}, true);
    uitest::postNativeMouseUp(h.g, {border.X + 16, border.Y});
    uitest::processMessages();
    EXPECT_EQ(h.g->ColWidths(2), 80);
}

TEST(GridHints, AnchorHintNamesTheLinkWhereItIsDrawn) {
    // After a check box the link starts CheckSize further right: the hint, the cursor and the
    // click find it there alike.
    HintGrid h;
    h.g->SetAnchorHint(true);
    h.g->SetColWidths(2, 150);
    h.g->AddCheckBox(2, 2, false, false);
    h.g->SetCells(2, 2, "<a href=\"target\" title=\"Go\">ab</a>");
    TCanvas* c = h.g->Canvas();
    c->Font()->Assign(h.g->Font());
    const int textLeft =
        h.g->CellRect(2, 2).Left + h.g->XYOffset().X + 1 + h.g->ControlLook()->CheckSize();
    const TPoint onLink{textLeft + c->TextWidth("ab") / 2, h.g->CellRect(2, 2).Top + 8};
    ASSERT_GT(onLink.X - textLeft + h.g->ControlLook()->CheckSize(), c->TextWidth("ab"));
    std::vector<std::string> hinted;
    h.g->OnAnchorHint = [&](TObject*, int, int, std::string& a) { hinted.push_back(a); };
    h.rest(onLink);
    EXPECT_EQ(hinted, std::vector<std::string>{"Go"});
    EXPECT_EQ(h.shown(), "Go");
    EXPECT_EQ(h.g->Cursor(), crHandPoint);
    Application->CancelHint();
}

TEST(GridHints, PointerSetsCursorAndSelectMode) {
    HintGrid h;
    TGridOptions o = h.g->Options();
    o.Include(goColSizing);
    o.Include(goRowSizing);
    h.g->SetOptions(o);
    h.g->MouseActions()->SetRowSelect(true);
    h.g->MouseActions()->SetColSelect(true);
    h.g->MouseActions()->SetAllSelect(true);
    h.g->SetURLShow(true);
    h.g->SetCells(3, 3, "https://example.org");
    const TRect hdr = h.g->CellRect(2, 0), side = h.g->CellRect(0, 3);
    struct Case {
        const char* name;
        TPoint at;
        TCursor cursor;
        TQorStringGrid::TMouseSelectMode mode;
    };
    const Case cases[] = {
        {"column border", {hdr.Right, hdr.Top + 8}, crHSplit, TQorStringGrid::msNormal},
        {"row border", {side.Left + 10, side.Bottom}, crVSplit, TQorStringGrid::msNormal},
        {"column header", {hdr.Left + 20, hdr.Top + 8}, 8011, TQorStringGrid::msColumn},
        {"row header", {side.Left + 10, side.Top + 10}, 8010, TQorStringGrid::msRow},
        {"corner", {10, 8}, 8012, TQorStringGrid::msAll},
        {"link", h.inside(3, 3), crHandPoint, TQorStringGrid::msNormal},
        {"plain cell", h.inside(2, 2), crDefault, TQorStringGrid::msNormal},
    };
    for (const auto& c : cases) {
        uitest::mouseMove(h.g, c.at);
        EXPECT_EQ(h.g->Cursor(), c.cursor) << c.name;
        EXPECT_EQ(h.g->MouseSelectMode(), c.mode) << c.name;
    }
    // A press in the column header in column mode selects the column; a drag extends it.
    uitest::mouseMove(h.g, {hdr.Left + 20, hdr.Top + 8});
    uitest::mouseDown(h.g, {hdr.Left + 20, hdr.Top + 8});
    const TRect hdr3 = h.g->CellRect(3, 0);
    uitest::mouseMove(h.g, {hdr3.Left + 20, hdr3.Top + 8}, {ssLeft});
    uitest::mouseUp(h.g, {hdr3.Left + 20, hdr3.Top + 8});
    EXPECT_EQ(h.g->Selection(), (TGridRect{2, 1, 3, 5}));
    // The row header of a footer row selects nothing.
    h.g->FloatingFooter()->SetVisible(true);
    for (int row : {4, 5}) {
        const TRect side = h.g->CellRect(0, row);
        uitest::mouseMove(h.g, {side.Left + 10, side.Top + 10});
        EXPECT_EQ(h.g->MouseSelectMode(),
                  row == 5 ? TQorStringGrid::msNormal : TQorStringGrid::msRow)
            << row;
    }
}

TEST(GridHints, RowHeaderDragSelectScrollsAtTheEdges) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 300);
    auto* g = new TQorStringGrid(&form);
    g->SetParent(&form);
    g->SetBorderStyle(bsNone);
    g->SetBounds(0, 0, 400, 200);
    g->SetColCount(3);
    g->SetRowCount(50);
    g->MouseActions()->SetRowSelect(true);
    form.Show();
    const TRect r2 = g->CellRect(0, 2);
    uitest::mouseMove(g, {10, r2.Top + 5});
    uitest::mouseDown(g, {10, r2.Top + 5});
    ASSERT_EQ(g->Selection(), (TGridRect{1, 2, 2, 2}));
    // At the bottom edge each move scrolls one row; the selection reaches the row pointed at.
    const int bottom = g->Height() - 2;
    int pointed = -1, unused = -1;
    g->MouseToCell(10, bottom, unused, pointed);
    for (int i = 1; i <= 3; ++i) {
        uitest::mouseMove(g, {10 + i, bottom}, {ssLeft});
        EXPECT_EQ(g->TopRow(), 1 + i) << i;
    }
    EXPECT_EQ(g->Selection(), (TGridRect{1, 2, 2, pointed + 2}));
    // In the header row the rows scroll back, as long as the drag goes on there.
    for (int i = 1; i <= 2; ++i) {
        uitest::mouseMove(g, {10 + i, 5}, {ssLeft});
        EXPECT_EQ(g->TopRow(), 4 - i) << i;
    }
    uitest::mouseUp(g, {12, 5});
}

TEST(GridHints, HoverRowRepaintsOnlyWhenOn) {
    HintGrid h;
    uitest::mouseMove(h.g, h.inside(2, 3));
    EXPECT_EQ(h.g->HoverRowIndex(), -1);
    h.g->SetHoverRow(true);
    uitest::mouseMove(h.g, h.inside(2, 4));
    EXPECT_EQ(h.g->HoverRowIndex(), 4);
    h.g->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(h.g->HoverRowIndex(), -1);
}

// Dark pixels in the rows [top, bottom) of the window's painting.
int inkInRows(TWinControl* w, int top, int bottom) {
    std::unique_ptr<TBitmap> b = uitest::render(w);
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 3; x < b->Width() - 3; ++x)
            if ((b->Canvas()->Pixels(x, y) & 0xFF) < 0x60) ++n;
    return n;
}

TEST(GridHints, MarkupHintWindowWrapsAsMeasuredAndStaysOnScreen) {
    THTMLHintWindow w(nullptr);
    std::string words;
    for (int i = 0; i < 80; ++i) words += "word" + std::to_string(i) + " ";
    w.ActivateHint({10, 10, 20, 20}, words);
    EXPECT_LE(w.TextWidth(), THTMLHintWindow::MaxTextWidth);
    EXPECT_LE(w.Width(), THTMLHintWindow::MaxTextWidth + 16);
    const int oneLine = w.TextHeight() / 2;
    ASSERT_GT(w.TextHeight(), 20);
    // The lines below the first are painted too.
    EXPECT_GT(inkInRows(&w, 4 + oneLine + 2, w.Height() - 3), 0);

    // Kept 2 pixels inside the screen's right and bottom edges.
    const int sw = Screen->Width(), sh = Screen->Height();
    w.ActivateHint({sw - 20, sh - 5, sw, sh}, "<b>hint</b>");
    EXPECT_EQ(w.Left() + w.Width(), sw - 2);
    EXPECT_EQ(w.Top() + w.Height(), sh - 2);

    // A packed wide hint is one plain line.
    w.ActivateHint({10, 10, 20, 20}, EncodePackedWideText(u"wide text"));
    EXPECT_LT(w.TextHeight(), 30);
    EXPECT_GT(w.TextWidth(), 0);
}

TEST(GridHints, GridLendsItsImagesToTheHintWindow) {
    HintGrid h;
    TImageList images(nullptr);
    h.g->SetGridImages(&images);
    THTMLHintWindow w(nullptr);
    w.ActivateHintData({10, 10, 20, 20}, "hint", h.g);
    EXPECT_EQ(w.Images(), &images);
    TForm other(nullptr);
    w.ActivateHintData({10, 10, 20, 20}, "hint", &other);
    EXPECT_EQ(w.Images(), &images);
    h.g->SetGridImages(nullptr);
}

} // namespace
