// The scroll bar of a scroll-bar cell: placed over the cell under the pointer, it scrolls the
// cell's text when its arrow is clicked through Qt's own mouse delivery.
#include "grid/core/QorStringGrid.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/ScrollBox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ScrollGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    ScrollGrid() {
        form.SetBounds(0, 0, 400, 300);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 380, 280);
        g->SetColCount(3);
        g->SetRowCount(4);
        g->SetColWidths(1, 150);
        g->SetRowHeights(1, 60);
        g->SetCells(1, 1, "one\ntwo\nthree\nfour\nfive\nsix");
        g->AddScrollBar(1, 1, false);
        g->SetScrollProp(1, 1, {60, 200});
        g->AddScrollBar(2, 2, false);
        g->SetScrollProp(2, 2, {60, 60});
        form.Show();
        uitest::processMessages();
    }
    TScrollBar* bar() {
        for (int i = 0; i < g->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TScrollBar*>(g->Controls(i))) return b;
        return nullptr;
    }
    TPoint middle(int c, int r) {
        const TRect cr = g->CellRect(c, r);
        return {(cr.Left + cr.Right) / 2 - 20, (cr.Top + cr.Bottom) / 2};
    }
};

TEST(CellScrollBarTest, ArrowClicksScrollTheCellAndReportIt) {
    ScrollGrid s;
    std::vector<std::vector<int>> scrolls;
    s.g->OnScrollCell = [&](TObject*, int c, int r, int pos, int mn, int mx) {
        scrolls.push_back({c, r, pos, mn, mx});
    };
    const auto before = uitest::render(s.g);
    uitest::postNativeMouseMove(s.g, s.middle(1, 1));
    uitest::processMessages();
    TScrollBar* bar = s.bar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->Visible());
    const TRect cell = s.g->CellRect(1, 1);
    const int lw = s.g->GridLineWidth();
    EXPECT_EQ(bar->BoundsRect(),
              TRect(cell.Right - 17 - lw, cell.Top + lw, cell.Right - lw, cell.Bottom - lw));
    EXPECT_EQ(bar->PageSize(), 60);
    EXPECT_EQ(bar->Max(), 200);

    // The lower arrow: ten a line.
    uitest::postNativeClickAt(bar, {8, bar->Height() - 6});
    uitest::processMessages();
    EXPECT_EQ(s.g->GetScrollPosition(1, 1), 10);
    EXPECT_EQ(scrolls, (std::vector<std::vector<int>>{{1, 1, 10, 0, 200}}));
    // The text moved up inside the cell; nothing outside it changed.
    const auto after = uitest::render(s.g);
    bool textMoved = false;
    for (int y = cell.Top; y < cell.Bottom && !textMoved; ++y)
        for (int x = cell.Left; x < cell.Right - 20 && !textMoved; ++x)
            textMoved = before->Canvas()->Pixels(x, y) != after->Canvas()->Pixels(x, y);
    EXPECT_TRUE(textMoved);
    const TRect below = s.g->CellRect(1, 2);
    for (int x = below.Left; x < below.Right; x += 5)
        EXPECT_EQ(before->Canvas()->Pixels(x, below.Top + 5),
                  after->Canvas()->Pixels(x, below.Top + 5));

    // A cell whose page holds its whole range gets no bar, nor does a plain cell.
    uitest::postNativeMouseMove(s.g, s.middle(2, 2));
    uitest::processMessages();
    EXPECT_FALSE(bar->Visible());
    uitest::postNativeMouseMove(s.g, s.middle(1, 1));
    uitest::processMessages();
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(bar->Position(), 10);
    uitest::postNativeMouseMove(s.g, s.middle(2, 3));
    uitest::processMessages();
    EXPECT_FALSE(bar->Visible());
}

} // namespace
