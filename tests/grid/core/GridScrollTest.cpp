// Scrolling of the string grid: thumb positions, top rows and position hints over row counts up
// to 100,000, fixed and hidden rows and client heights; keys, wheel and the bar through Qt;
// scrolling a cell into view; proportional thumbs; bars kept by ScrollBarAlways; scroll types;
// and scrolling while something is dragged over the grid.
#include "grid/core/QorStringGrid.h"
#include "grid/core/ScrollControl.h"
#include "grid/data/DataSettings.h"
#include "platform/base/SysUtils.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Timers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ScrollGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    ScrollGrid(int rows, int fixedRows, int clientHeight, int cols = 4) {
        form.SetBounds(0, 0, 600, clientHeight + 60);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBorderStyle(bsNone);
        g->SetBounds(0, 0, 400, clientHeight);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        g->SetFixedRows(fixedRows);
        form.Show();
    }
    void scroll(UINT msg, WORD code, int pos = 0) {
        g->Perform(msg, WPARAM(code) | (WPARAM(WORD(pos)) << 16), 0);
    }
    // The top row a thumb position stands for: MulDiv(p, R, 127) + FixedRows.
    int topFor(int p) {
        const int R = g->RowCount() - g->VisibleRowCount() - g->FixedRows();
        return MulDiv(p, R, 127) + g->FixedRows();
    }
    // The thumb position the top row shows.
    int thumbFor(int top) {
        const int R = g->RowCount() - g->VisibleRowCount() - g->FixedRows();
        return R > 0 ? MulDiv(top - g->FixedRows(), 127, R) : 0;
    }
    // Makes the grid just high enough to show n whole rows below its fixed rows.
    void showRows(int n) {
        const int first = g->CellRect(0, g->FixedRows()).Top;
        const int pitch = g->CellRect(0, g->FixedRows() + 1).Top - first;
        g->SetBounds(0, 0, g->Width(), first + n * pitch + 2);
    }
    std::string hint() {
        THintWindow* w = g->SizingHintWindow();
        return w && g->SizingHintShown() ? w->Text() : "<none>";
    }
};

TEST(GridScroll, ThumbTopRowAndHintAgreeOverRowCountsFixedAndHiddenRows) {
    struct Case {
        int rows, fixed, hidden, height;
    };
    const Case cases[] = {
        {101, 1, 0, 20 * 22 + 17}, {30, 0, 0, 200},     {1000, 3, 0, 347},
        {1000, 1, 40, 200},        {100001, 1, 0, 347}, {100001, 2, 500, 200},
    };
    for (const auto& c : cases) {
        ScrollGrid s(c.rows, c.fixed, c.height);
        if (c.hidden > 0) s.g->HideRows(10, 10 + c.hidden - 1);
        s.g->SetScrollHints(shBoth);
        s.g->SetScrollSynch(true);
        const std::string name = std::to_string(c.rows) + "/" + std::to_string(c.fixed) + "/" +
                                 std::to_string(c.hidden) + "/" + std::to_string(c.height);
        ASSERT_TRUE(s.g->VertScrollBar().Visible) << name;
        for (int p : {0, 1, 64, 126, 127}) {
            const int top = s.topFor(p);
            s.scroll(WM_VSCROLL, SB_THUMBTRACK, p);
            EXPECT_EQ(s.hint(), "Row : " + std::to_string(top)) << name << " p=" << p;
            EXPECT_EQ(s.g->TopRow(), top) << name << " p=" << p;
            s.scroll(WM_VSCROLL, SB_THUMBPOSITION, p);
            s.scroll(WM_VSCROLL, SB_ENDSCROLL);
            EXPECT_EQ(s.g->TopRow(), top) << name << " p=" << p;
            EXPECT_EQ(s.g->VertScrollBar().Position, s.thumbFor(top)) << name << " p=" << p;
            EXPECT_EQ(s.hint(), "<none>") << name << " p=" << p;
        }
    }
}

TEST(GridScroll, KeysWheelAndDragThroughQtKeepTheThumbOnAHundredThousandRows) {
    ScrollGrid s(100001, 1, 347);
    s.g->SetFocus();
    s.g->MouseActions()->SetWheelAction(waScroll);
    // The thumb shows the top row; keys keep the current row in view (the wheel only scrolls).
    auto check = [&](const char* step, bool rowInView = true) {
        EXPECT_EQ(s.g->VertScrollBar().Position, s.thumbFor(s.g->TopRow())) << step;
        if (!rowInView) return;
        EXPECT_GE(s.g->Row(), s.g->TopRow()) << step;
        EXPECT_LT(s.g->Row(), s.g->TopRow() + s.g->VisibleRowCount()) << step;
    };
    uitest::postNativeKey(VK_NEXT, s.g);
    uitest::processMessages();
    EXPECT_GT(s.g->Row(), 1);
    check("page down");
    uitest::pressKey(VK_END, {ssCtrl}, s.g);
    EXPECT_EQ(s.g->Row(), 100000);
    EXPECT_EQ(s.g->VertScrollBar().Position, 127);
    check("ctrl+end");
    const int top = s.g->TopRow();
    uitest::postNativeWheel(s.g, {100, 100}, 120);
    uitest::processMessages();
    EXPECT_LT(s.g->TopRow(), top);
    check("wheel up", false);
    uitest::pressKey(VK_HOME, {ssCtrl}, s.g);
    EXPECT_EQ(s.g->TopRow(), 1);
    EXPECT_EQ(s.g->VertScrollBar().Position, 0);
    // A range dragged past the bottom scrolls on the grid's timer.
    const TRect cell = s.g->CellRect(1, 3);
    const TPoint below{cell.Left + 5, s.g->CellAreaHeight() + 5};
    uitest::postNativeMouseDown(s.g, {cell.Left + 5, cell.Top + 5});
    uitest::postNativeMouseMove(s.g, below, true);
    uitest::processMessages();
    uitest::advanceClock(600);
    EXPECT_GT(s.g->TopRow(), 5);
    check("drag down", false);
    uitest::postNativeMouseUp(s.g, below);
    uitest::processMessages();
}

TEST(GridScroll, ScrollOnlyKeysMoveTheTopRowAndKeepTheCell) {
    ScrollGrid s(100001, 1, 347);
    s.g->Navigation()->SetMoveScrollOnly(true);
    s.g->SetFocus();
    const int page = s.g->VisibleRowCount(), last = 100001 - page;
    struct Case {
        WORD key;
        int from, to;
    };
    const Case cases[] = {
        {VK_DOWN, 1, 2},
        {VK_UP, 1, 1},
        {VK_UP, 50, 49},
        {VK_DOWN, last, last},
        {VK_NEXT, 1, 1 + page},
        {VK_NEXT, last - 2, last},
        {VK_PRIOR, 1000, 1000 - page},
        {VK_PRIOR, page, 1},
        {VK_END, 1, last},
        {VK_HOME, 5000, 1},
    };
    for (const auto& c : cases) {
        s.g->SetTopRow(c.from);
        uitest::postNativeKey(c.key, s.g);
        uitest::processMessages();
        EXPECT_EQ(s.g->TopRow(), c.to) << c.key << " from " << c.from;
        EXPECT_EQ(s.g->VertScrollBar().Position, s.thumbFor(c.to)) << c.key << " from " << c.from;
        EXPECT_EQ((TGridCoord{s.g->Col(), s.g->Row()}), (TGridCoord{1, 1})) << c.key;
    }
}

TEST(GridScroll, DraggingTheThumbThroughQtScrollsAndHints) {
    ScrollGrid s(100001, 1, 347);
    s.g->SetScrollHints(shVertical);
    uitest::processMessages();
    const int x = s.g->ClientWidth() - 8;
    // The thumb starts below the up arrow; the middle of the bar is about half way.
    const int middle = s.g->CellAreaHeight() / 2;
    uitest::postNativeMouseDown(s.g, {x, 17 + 3});
    uitest::postNativeMouseMove(s.g, {x, middle}, true);
    uitest::processMessages();
    const std::string shown = s.hint();
    uitest::postNativeMouseUp(s.g, {x, middle});
    uitest::processMessages();
    const int top = s.g->TopRow();
    EXPECT_GT(top, 40000);
    EXPECT_LT(top, 60000);
    EXPECT_EQ(shown, "Row : " + std::to_string(top));
    EXPECT_EQ(s.g->VertScrollBar().Position, s.thumbFor(top));
    EXPECT_EQ(s.hint(), "<none>");
}

TEST(GridScroll, ScrollHintTextComesFromItsEvent) {
    ScrollGrid s(1000, 1, 200);
    s.g->SetScrollHints(shHorizontal);
    s.g->OnScrollHint = [](TObject*, int, std::string& hint) { hint = "<b>" + hint + "</b>"; };
    s.scroll(WM_VSCROLL, SB_THUMBTRACK, 64);
    EXPECT_EQ(s.hint(), "<none>"); // vertical hints are off
    ScrollGrid w(3, 1, 200, 60);
    w.g->SetScrollHints(shHorizontal);
    w.g->OnScrollHint = [](TObject*, int, std::string& hint) { hint = "<b>" + hint + "</b>"; };
    w.scroll(WM_HSCROLL, SB_THUMBTRACK, 127);
    EXPECT_EQ(w.hint().rfind("<b>Col : ", 0), 0u) << w.hint();
}

TEST(GridScroll, ScrollInViewCentresACellOutOfView) {
    struct Case {
        int row;
        int topBefore;
        int row_, top;
    };
    const Case cases[] = {
        {150, 10, 150, 140},
        {20, 10, 1, 10},    // already in view: nothing changes
        {199, 10, 199, -1}, // the last page at most: no blank below the last row
        {3, 100, 3, 1},
    };
    for (const auto& c : cases) {
        ScrollGrid s(200, 1, 400);
        s.showRows(20);
        ASSERT_EQ(s.g->VisibleRowCount(), 20);
        s.g->SetTopRow(c.topBefore);
        s.g->ScrollInView(2, c.row);
        EXPECT_EQ(s.g->Row(), c.row_) << c.row;
        EXPECT_EQ(s.g->Col(), 1) << c.row; // column 2 is in view
        EXPECT_EQ(s.g->TopRow(), c.top >= 0 ? c.top : 200 - 20) << c.row;
    }
}

TEST(GridScroll, ProportionalThumbsShowTheVisibleShare) {
    ScrollGrid s(101, 1, 400);
    s.showRows(20);
    ASSERT_EQ(s.g->VisibleRowCount(), 20);
    const TGridScrollBar plain = s.g->VertScrollBar();
    s.g->SetScrollProportional(true);
    TGridScrollBar v = s.g->VertScrollBar();
    // r = (h - F) / T (fixed and scrollable rows with their lines), max = (127 + r) / (1 - r).
    const int w = s.g->GridLineWidth(), row = s.g->DefaultRowHeight() + w;
    const int F = w + s.g->RowHeights(0) + w, T = w + 100 * row;
    const float r = float(s.g->CellAreaHeight() - F) / float(T);
    const int nMax = int((127 + r) / (1 - r));
    EXPECT_EQ(v.Max, nMax);
    EXPECT_EQ(v.Page, nMax - 126);
    EXPECT_EQ(v.Position, 0);
    s.g->SetTopRow(41);
    EXPECT_EQ(s.g->VertScrollBar().Position, (w + 40 * row) * 128 / (T - s.g->CellAreaHeight()));
    // Columns that all fit leave the horizontal bar as it was.
    EXPECT_EQ(s.g->HorzScrollBar().Page, 0);
    // Switched off, the thumbs have their fixed size again.
    s.g->SetScrollProportional(false);
    v = s.g->VertScrollBar();
    EXPECT_EQ(v.Max, plain.Max);
    EXPECT_EQ(v.Page, 0);
    EXPECT_EQ(v.Position, s.thumbFor(41));
}

TEST(GridScroll, ProportionalThumbCountsDefaultRowsAsItWalksSetOnes) {
    // Rows of the default height are counted; once a height was set the rows are walked: both
    // must give the same thumb, also on 100,000 rows.
    struct Case {
        int rows, fixed, top;
    };
    const Case cases[] = {
        {101, 1, 1}, {101, 1, 41}, {101, 3, 60}, {100001, 1, 50000}, {100001, 2, 99990}};
    for (const auto& c : cases) {
        ScrollGrid counted(c.rows, c.fixed, 347), walked(c.rows, c.fixed, 347);
        const int last = c.rows - 1, height = walked.g->DefaultRowHeight();
        walked.g->SetRowHeights(last, height + 1);
        walked.g->SetRowHeights(last, height);
        for (ScrollGrid* s : {&counted, &walked}) {
            s->g->SetScrollProportional(true);
            s->g->SetTopRow(c.top);
        }
        const TGridScrollBar a = counted.g->VertScrollBar(), b = walked.g->VertScrollBar();
        const std::string name = std::to_string(c.rows) + "/" + std::to_string(c.top);
        EXPECT_EQ(counted.g->TopRow(), walked.g->TopRow()) << name;
        EXPECT_EQ(a.Max, b.Max) << name;
        EXPECT_EQ(a.Page, b.Page) << name;
        EXPECT_EQ(a.Position, b.Position) << name;
        EXPECT_GT(a.Page, 0) << name;
    }
}

TEST(GridScroll, ScrollBarAlwaysKeepsADisabledBar) {
    ScrollGrid s(3, 1, 300);
    EXPECT_FALSE(s.g->VertScrollBar().Visible);
    s.g->SetScrollBarAlways(saVert);
    EXPECT_TRUE(s.g->VertScrollBar().Visible);
    EXPECT_FALSE(s.g->VertScrollBar().Enabled);
    EXPECT_FALSE(s.g->HorzScrollBar().Visible);
    s.g->SetRowCount(100);
    EXPECT_TRUE(s.g->VertScrollBar().Enabled);
    s.g->SetRowCount(3);
    EXPECT_TRUE(s.g->VertScrollBar().Visible);
    EXPECT_FALSE(s.g->VertScrollBar().Enabled);
    s.g->SetScrollBarAlways(saNone);
    EXPECT_FALSE(s.g->VertScrollBar().Visible);
}

TEST(GridScroll, ScrollTypesSwitchBarsAndIndicators) {
    ScrollGrid s(100, 1, 300);
    s.g->SetScrollType(ssMetro);
    EXPECT_EQ(s.g->ScrollBars(), ssNone);
    EXPECT_FALSE(s.g->VertScrollBar().Visible);
    TScrollControl* v = s.g->ScrollIndicator(true);
    ASSERT_NE(v, nullptr);
    ASSERT_NE(s.g->ScrollIndicator(false), nullptr);
    EXPECT_EQ(v->Width(), 6);
    EXPECT_EQ(v->Left(), s.g->ClientWidth() - 6);
    EXPECT_EQ(s.g->ScrollIndicator(false)->Height(), 6);
    int start = 0, size = 0;
    v->ThumbExtent(start, size);
    EXPECT_GE(size, 20);
    // A press below the thumb scrolls a page.
    uitest::click(v, {3, start + size + 10});
    EXPECT_EQ(s.g->TopRow(), 1 + s.g->VisibleRowCount());
    s.g->SetScrollType(ssNormal);
    EXPECT_EQ(s.g->ScrollIndicator(true), nullptr);
    EXPECT_EQ(s.g->ScrollBars(), ssBoth);
    EXPECT_TRUE(s.g->VertScrollBar().Visible);
    // Flat bars need the common controls' flat functions: without them the window bars stay.
    s.g->SetScrollType(ssFlat);
    EXPECT_FALSE(s.g->IsFlat());
    EXPECT_TRUE(s.g->VertScrollBar().Visible);
}

TEST(GridScroll, DraggingNearAnEdgeScrollsOnTheTimer) {
    ScrollGrid s(100, 1, 300);
    TDragScrollOptions* o = s.g->DragScrollOptions();
    o->SetActive(true);
    o->Margins()->SetTopMargin(10);
    o->Margins()->SetBottomMargin(10);
    o->Delays()->SetInitialDelay(300);
    o->Delays()->SetRepeatDelay(100);
    s.g->SetTopRow(20);
    bool accept = true;
    int asked = 0;
    bool veto = false;
    s.g->OnDragScroll = [&](TObject*, int top, int, TDragScrollDirections& dir, bool& can) {
        ++asked;
        EXPECT_EQ(top, s.g->TopRow());
        EXPECT_TRUE(dir.Contains(dsdUp));
        can = !veto;
    };
    s.g->DragOver(nullptr, 50, 5, dsDragMove, accept);
    ASSERT_NE(s.g->DragScrollTimer(), nullptr);
    EXPECT_TRUE(s.g->DragScrollTimer()->Enabled());
    uitest::advanceClock(299);
    EXPECT_EQ(s.g->TopRow(), 20);
    uitest::advanceClock(1);
    EXPECT_EQ(s.g->TopRow(), 19);
    uitest::advanceClock(200);
    EXPECT_EQ(s.g->TopRow(), 17);
    veto = true;
    uitest::advanceClock(100);
    EXPECT_EQ(s.g->TopRow(), 17);
    EXPECT_EQ(asked, 4);
    // Leaving the margin or the grid stops it.
    s.g->DragOver(nullptr, 50, 100, dsDragMove, accept);
    EXPECT_FALSE(s.g->DragScrollTimer()->Enabled());
    s.g->DragOver(nullptr, 50, s.g->Height() - 3, dsDragMove, accept);
    EXPECT_TRUE(s.g->DragScrollTimer()->Enabled());
    s.g->DragOver(nullptr, 50, s.g->Height() - 3, dsDragLeave, accept);
    EXPECT_FALSE(s.g->DragScrollTimer()->Enabled());

    // A grid freed while its drag scrolls takes its timer along.
    s.g->DragOver(nullptr, 50, 5, dsDragMove, accept);
    delete s.g;
    uitest::advanceClock(1000);
}

} // namespace
