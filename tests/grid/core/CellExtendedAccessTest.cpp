#include "grid/core/QorStringGrid.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Holder : public TObject {};

// A 5 x 8 grid whose cell (c, r) holds "c:r"; rows 3 and 4 (real) hidden.
struct HiddenRowsGrid : ::testing::Test {
    TQorStringGrid g{nullptr};
    void SetUp() override {
        g.SetColCount(5);
        g.SetRowCount(8);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 5; ++c)
                g.SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
    }
};

TEST_F(HiddenRowsGrid, AllAccessorsReachHiddenAndShownRowsByRealIndex) {
    Holder shown, hidden;
    g.SetObjects(2, 5, &shown);
    g.SetColors(1, 3, clRed); // properties travel with the hidden row
    g.HideRows(3, 4);
    ASSERT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.AllCells(2, 3), "2:3");
    EXPECT_EQ(g.AllCells(2, 5), "2:5");
    EXPECT_EQ(g.AllCells(-1, 3), "");
    EXPECT_EQ(g.AllObjects(2, 5), &shown);

    g.SetAllWideCells(1, 4, u"\u00e4\u20ac");
    EXPECT_EQ(g.AllCells(1, 4), "\u00e4\u20ac");
    EXPECT_EQ(g.AllWideCells(1, 4), u"\u00e4\u20ac");
    g.SetAllCells(0, 6, "six");
    EXPECT_EQ(g.Cells(0, 4), "six"); // real row 6 is display row 4

    // Objects of a hidden cell with properties go into the properties; the raw slot keeps them.
    g.SetAllObjects(1, 3, &hidden);
    EXPECT_EQ(g.AllObjects(1, 3), &hidden);
    auto* props = dynamic_cast<TCellProperties*>(g.AllGridObjects(1, 3));
    ASSERT_NE(props, nullptr);
    EXPECT_EQ(props->CellObject(), &hidden);
    EXPECT_EQ(g.AllGridObjects(4, 3), nullptr);
    EXPECT_EQ(g.AllGridObjects(2, 5), g.GridObjects(2, 3));

    g.UnHideRowsAll();
    EXPECT_EQ(g.Cells(1, 4), "\u00e4\u20ac");
    EXPECT_EQ(g.Objects(1, 3), &hidden);
    EXPECT_EQ(g.Colors(1, 3), clRed);
}

TEST_F(HiddenRowsGrid, DisplayHookSeesHiddenRowsToo) {
    g.OnGetDisplText = [](TObject*, int, int ARow, std::string& v) {
        v = "<" + v + ":" + std::to_string(ARow) + ">";
    };
    g.HideRow(3);
    EXPECT_EQ(g.AllCells(1, 3), "<1:3:3>");
    EXPECT_EQ(g.AllCells(1, 5), "<1:5:4>"); // shown rows: the hook gets the display row
    EXPECT_EQ(g.AllGridCells(1, 3), "1:3");
    // Rows made by inserting are covered as well.
    g.InsertRows(2, 3);
    g.SetCells(1, 9, "x");
    EXPECT_EQ(g.Cells(1, 9), "<x:9>");
}

TEST(CellExtendedAccessTest, OriginalCellsFollowTheRecordedColumnOrder) {
    TQorStringGrid g(nullptr);
    g.SetColCount(5);
    for (int c = 0; c < 5; ++c) g.SetCells(c, 1, "h" + std::to_string(c));
    EXPECT_EQ(g.OriginalCells(3, 1), "h3"); // nothing recorded
    g.SetColumnOrder();
    g.MoveColumn(1, 3);
    g.ColumnOrder()->SetInteger(1, 2);
    g.ColumnOrder()->SetInteger(2, 3);
    g.ColumnOrder()->SetInteger(3, 1);
    EXPECT_EQ(g.ColumnPosition(1), 3);
    EXPECT_EQ(g.OriginalCells(1, 1), "h1");
    g.SetOriginalCells(1, 1, "moved");
    EXPECT_EQ(g.Cells(3, 1), "moved");
    EXPECT_EQ(g.OriginalCells(4, 1), "h4");
}

TEST(CellExtendedAccessTest, SortCrossReference) {
    TQorStringGrid g(nullptr);
    g.SetRowCount(6);
    // Never sorted: every index answers itself.
    EXPECT_EQ(g.UnSortedRowIndex(4), 4);
    EXPECT_EQ(g.SortedRowIndex(4), 4);
    // Row i now holds what row x[i] held before the sort.
    for (int v : {0, 4, 1, 3, 2}) g.SortRowXRef()->Add(v);
    for (int r = 0; r < 6; ++r) g.SetCells(1, r, "now" + std::to_string(r));
    struct Case {
        int row, sorted, unsorted;
    };
    const Case cases[] = {{0, 0, 0}, {1, 4, 2}, {2, 1, 4}, {4, 2, 1},
                          {3, 3, 3}, {5, 5, 5}, {9, 9, 5}};
    for (const Case& c : cases) {
        EXPECT_EQ(g.SortedRowIndex(c.row), c.sorted) << c.row;
        EXPECT_EQ(g.UnSortedRowIndex(c.row), c.unsorted) << c.row;
    }
    EXPECT_EQ(g.UnSortedCells(1, 1), "now2"); // the row that was 1 is now row 2
    g.SetUnSortedCells(1, 4, "was4");
    EXPECT_EQ(g.Cells(1, 1), "was4");
    // A hidden row shifts the sorted row onto its real index.
    g.HideRow(0);
    EXPECT_EQ(g.SortedRowIndex(1), 5);
}

TEST(CellExtendedAccessTest, CurrentCellAndEditTextUseTheBaseCell) {
    TQorStringGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(6);
    g.SetCells(2, 2, "<B>x</B>");
    g.MergeCells(2, 2, 2, 2);
    g.SetCol(3);
    g.SetRow(3);
    EXPECT_EQ(g.CurrentCell(), "<B>x</B>");
    // Without EditWithTags the editor starts with the letter alone.
    EXPECT_EQ(g.GetEditText(3, 3), "x");
    g.SetEditWithTags(true);
    EXPECT_EQ(g.GetEditText(3, 3), "<B>x</B>");
    EXPECT_TRUE(g.NoEditChange());
    g.SetEditText(3, 3, "typed");
    EXPECT_EQ(g.GridCells(2, 2), "typed");
    EXPECT_EQ(g.GridCells(3, 3), "");
    g.SetCurrentEditText("pasted");
    EXPECT_EQ(g.GridCells(2, 2), "pasted");
    g.SetCurrentCell("set");
    EXPECT_EQ(g.GridCells(2, 2), "set");
    g.OnGetDisplText = [](TObject*, int, int, std::string& v) { v += "!"; };
    EXPECT_EQ(g.GetCurrentCellText(), "set!");
    EXPECT_EQ(g.CurrentCell(), "set");

    // A hidden column: the display column of the editor maps to the real one.
    g.SetCells(5, 1, "five");
    g.HideColumn(4);
    g.SetEditWithTags(false);
    EXPECT_EQ(g.GetEditText(4, 1), "five"); // the stored text
}

TEST(CellExtendedAccessTest, SmallAccessors) {
    TQorStringGrid g(nullptr);
    g.SetQorGradientFrom(clBtnFace);
    EXPECT_EQ(g.QorGradientFrom(), ColorToRGB(clBtnFace));
    g.SetQorGradientMirrorTo(clNone);
    EXPECT_EQ(g.QorGradientMirrorTo(), clNone);
    TFocusHelper helper(nullptr);
    helper.SetEnabled(true);
    g.SetFocusHelper(&helper);
    EXPECT_TRUE(g.FocusHelper()->Enabled());
    EXPECT_NE(g.FocusHelper(), &helper);

    g.SetBounds(0, 0, 200, 97);
    g.SetIntegralHeight(true);
    // The height now holds whole rows of the default height.
    const int inner = g.Height() - 2 * (g.BorderStyle() == bsSingle ? 2 : 0) -
                      (g.HorzScrollBar().Visible ? SystemScrollBarSize : 0);
    EXPECT_EQ(inner % g.DefaultRowHeight(), 0);
    EXPECT_LE(g.Height(), 97);
}

} // namespace

namespace {

TEST(CellExtendedAccessTest, AutoRangeScrollBarFollowsTheCellText) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetRowHeights(1, 40);
    g.SetCells(1, 1, "one");
    g.AddScrollBar(1, 1, true);
    g.AddScrollBar(2, 1, false);
    const auto first = g.GetScrollProp(1, 1);
    EXPECT_EQ(first.PageSize, 40);
    EXPECT_EQ(first.Range, g.GetCellTextSize(1, 1, true, true).cy);
    g.SetCells(1, 1, "one\r\ntwo\r\nthree\r\nfour");
    const auto grown = g.GetScrollProp(1, 1);
    EXPECT_EQ(grown.Range, g.GetCellTextSize(1, 1, true, true).cy);
    EXPECT_GE(grown.Range, 3 * first.Range);
    g.SetCells(2, 1, "one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(g.GetScrollProp(2, 1).PageSize, 0);
    EXPECT_EQ(g.GetScrollProp(2, 1).Range, 100);
}

} // namespace
