#include "grid/core/QorColumnGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

std::string label(int c, int r) {
    return std::to_string(c) + ":" + std::to_string(r);
}

// --- columns ---------------------------------------------------------------------------------

TEST(HiddenColumnsTest, MappingAndCellsOfTheKnxAccessGrid) {
    TQorColumnGrid g(nullptr);
    g.SetColCount(17);
    for (int c = 0; c < 17; ++c) {
        g.SetColWidths(c, 30 + c);
        g.SetCells(c, 1, label(c, 1));
    }
    g.HideColumn(4);
    g.HideColumn(9);
    g.HideColumn(10);
    EXPECT_EQ(g.ColCount(), 14);
    EXPECT_EQ(g.NumHiddenColumns(), 3);
    EXPECT_EQ(g.TotalColCount(), 17);
    EXPECT_EQ(g.Columns()->Count(), 17); // items stay with their real columns
    EXPECT_EQ(g.RealColIndex(4), 5);
    EXPECT_EQ(g.RealColIndex(8), 11);
    EXPECT_EQ(g.DisplColIndex(11), 8);
    EXPECT_EQ(g.DisplColIndex(9), 8);
    EXPECT_EQ(g.Cells(9, 1), "9:1");
    EXPECT_EQ(g.GetEditText(8, 1), "11:1"); // the platform reads through the mapping
    for (int d = 0; d < 14; ++d) EXPECT_EQ(g.ColWidths(d), 30 + g.RealColIndex(d)) << d;
    g.Columns()->Items(9)->SetWidth(77); // the width of a hidden column's item waits
    EXPECT_EQ(g.ColWidths(8), 41);
    g.UnHideColumnsAll();
    EXPECT_EQ(g.ColCount(), 17);
    for (int c = 0; c < 17; ++c) {
        EXPECT_EQ(g.ColWidths(c), c == 9 ? 77 : 30 + c) << c;
        EXPECT_EQ(g.Cells(c, 1), label(c, 1)) << c;
    }
}

TEST(HiddenColumnsTest, RefusedAndOutOfRangeRequests) {
    TQorStringGrid g(nullptr);
    g.SetColCount(3);
    struct Case {
        int from, to;
    };
    // Outside the grid, beyond the map, negative: nothing happens and nothing breaks.
    const Case cases[] = {{-5, -1}, {3, 700}, {600, 600}, {513, 10000}};
    for (const auto& c : cases) {
        g.HideColumns(c.from, c.to);
        g.UnHideColumns(c.from, c.to);
        EXPECT_EQ(g.ColCount(), 3);
        EXPECT_EQ(g.NumHiddenColumns(), 0);
    }
    EXPECT_FALSE(g.IsHiddenColumn(600));
    EXPECT_FALSE(g.IsHiddenColumn(-1));
    EXPECT_EQ(g.RealColIndex(-1), -1);
    EXPECT_EQ(g.RealColIndex(3), -1);
    g.HideColumns(0, 2); // one column always stays
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.RealColIndex(0), 2);
    EXPECT_EQ(g.RealColIndex(1), -1);
    g.HideColumn(2);
    EXPECT_EQ(g.ColCount(), 1);
}

TEST(HiddenColumnsTest, HidingTheCurrentLastColumnMovesTheCurrentCellLeft) {
    TQorStringGrid g(nullptr);
    g.SetCol(4);
    g.HideColumn(4);
    EXPECT_EQ(g.Col(), 3);
}

// --- rows ------------------------------------------------------------------------------------

// 10 rows, 3 columns, one fixed row; each cell holds its real position, rows have own heights.
class HiddenRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g.SetColCount(3);
        g.SetRowCount(10);
        for (int r = 0; r < 10; ++r) {
            g.SetRowHeights(r, 20 + r);
            for (int c = 0; c < 3; ++c) g.SetCells(c, r, label(c, r));
        }
    }
    TQorStringGrid g{nullptr};
};

TEST_F(HiddenRowsTest, HideAndShowARange) {
    g.CellProperties(1, 4)->SetBrushColor(clRed);
    g.HideRows(3, 5);
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.NumHiddenRows(), 3);
    EXPECT_EQ(g.TotalRowCount(), 10);
    EXPECT_EQ(g.RealRowIndex(3), 6);
    EXPECT_EQ(g.DisplRowIndex(6), 3);
    EXPECT_EQ(g.DisplRowIndex(4), 3);
    EXPECT_EQ(g.AllCells(1, 4), "1:4");
    EXPECT_EQ(g.Cells(1, 4), "1:7");
    EXPECT_EQ(g.AllCellProperties(1, 4)->BrushColor(), TColor(clRed));
    g.UnHideRows(3, 5);
    EXPECT_EQ(g.RowCount(), 10);
    for (int r = 3; r <= 5; ++r) {
        EXPECT_EQ(g.Cells(2, r), label(2, r));
        EXPECT_EQ(g.RowHeights(r), 20 + r);
    }
    EXPECT_EQ(g.CellProperties(1, 4)->BrushColor(), TColor(clRed));
}

TEST_F(HiddenRowsTest, OverlappingRangesAndTheFirstRowRule) {
    g.HideRow(4);
    g.HideRows(3, 6); // stores 3, 5 and 6
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.NumHiddenRows(), 4);
    g.UnHideRow(4);
    g.UnHideRows(4, 6); // 4 is shown: nothing, although 5 and 6 are hidden
    EXPECT_EQ(g.NumHiddenRows(), 3);
    EXPECT_TRUE(g.IsHiddenRow(5));
    g.UnHideRowsAll();
    EXPECT_EQ(g.RowCount(), 10);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(g.Cells(0, r), label(0, r));
    EXPECT_EQ(g.RealRowIndex(-1), -1);
}

TEST_F(HiddenRowsTest, HiddenColumnsTravelWithHiddenRows) {
    g.HideColumn(1);
    g.HideRow(2);
    g.SetAllCells(1, 2, "changed while hidden");
    g.UnHideRow(2);
    g.UnHideColumn(1);
    EXPECT_EQ(g.Cells(1, 2), "changed while hidden");
    EXPECT_EQ(g.Cells(2, 2), "2:2");
}

TEST_F(HiddenRowsTest, FilterLevelsComeBackInReverseOrderAtTheirRealRows) {
    TIntList first(0, 0), second(0, 0);
    first.Add(2);
    first.Add(3);
    g.HideRowList(first); // real 2, 3
    second.Add(2);        // display 2 is real 4 now
    second.Add(5);        // real 7
    g.HideRowList(second);
    EXPECT_EQ(g.FilterLevel(), 2);
    EXPECT_EQ(g.RowCount(), 6);
    g.HideRow(8); // hidden directly: no filter level touches it
    g.UnHideRowList();
    g.SetFilterLevel(g.FilterLevel() - 1);
    EXPECT_TRUE(g.IsHiddenRow(2));
    EXPECT_TRUE(g.IsHiddenRow(3));
    EXPECT_FALSE(g.IsHiddenRow(4));
    EXPECT_FALSE(g.IsHiddenRow(7));
    EXPECT_EQ(g.Cells(0, g.DisplRowIndex(7)), "0:7");
    g.UnHideRowList();
    g.SetFilterLevel(g.FilterLevel() - 1);
    EXPECT_EQ(g.NumHiddenRows(), 1);
    EXPECT_TRUE(g.IsHiddenRow(8));
    for (int r = 0; r < 10; ++r) {
        if (r == 8) continue;
        EXPECT_EQ(g.Cells(0, g.DisplRowIndex(r)), label(0, r)) << r;
    }
    TIntList none(0, 0);
    g.HideRowList(none); // an empty list only raises the level
    EXPECT_EQ(g.FilterLevel(), 1);
}

TEST_F(HiddenRowsTest, NeverHidesTheLastRow) {
    g.HideRows(0, 9);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.NumHiddenRows(), 9);
    EXPECT_EQ(g.Cells(0, 0), "0:9");
}

// Random hide/show steps on rows and columns, checked against a plain model of which real rows
// and columns are shown.
TEST(HiddenMixedTest, MappingMatchesAPlainModel) {
    TQorStringGrid g(nullptr);
    const int rows = 60, cols = 8;
    g.SetColCount(cols);
    g.SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) g.SetCells(c, r, label(c, r));
    std::set<int> hiddenRows, hiddenCols;
    std::mt19937 rng(7);
    for (int step = 0; step < 300; ++step) {
        int kind = int(rng() % 5);
        int a = int(rng() % rows), b = std::min(rows - 1, a + int(rng() % 4));
        if (kind == 0) {
            g.HideRows(a, b);
            for (int r = a; r <= b && int(hiddenRows.size()) < rows - 1; ++r) hiddenRows.insert(r);
        } else if (kind == 1) {
            g.UnHideRows(a, b);
            if (hiddenRows.count(a))
                for (int r = a; r <= b; ++r) hiddenRows.erase(r);
        } else if (kind == 2) {
            int c = int(rng() % cols);
            g.HideColumn(c);
            if (int(hiddenCols.size()) < cols - 1) hiddenCols.insert(c);
        } else if (kind == 3) {
            int c = int(rng() % cols);
            g.UnHideColumn(c);
            hiddenCols.erase(c);
        } else {
            g.UnHideRowsAll();
            hiddenRows.clear();
        }
        std::vector<int> shownRows, shownCols;
        for (int r = 0; r < rows; ++r)
            if (!hiddenRows.count(r)) shownRows.push_back(r);
        for (int c = 0; c < cols; ++c)
            if (!hiddenCols.count(c)) shownCols.push_back(c);
        ASSERT_EQ(g.RowCount(), int(shownRows.size())) << step;
        ASSERT_EQ(g.ColCount(), int(shownCols.size())) << step;
        for (int d = 0; d < g.RowCount(); ++d) {
            ASSERT_EQ(g.RealRowIndex(d), shownRows[std::size_t(d)]) << step;
            ASSERT_EQ(g.DisplRowIndex(shownRows[std::size_t(d)]), d) << step;
        }
        for (int d = 0; d < g.ColCount(); ++d)
            ASSERT_EQ(g.RealColIndex(d), shownCols[std::size_t(d)]) << step;
        for (int r = 0; r < rows; ++r) ASSERT_EQ(g.IsHiddenRow(r), hiddenRows.count(r) > 0);
        int d = g.RowCount() / 2, c = g.ColCount() - 1;
        ASSERT_EQ(g.GetEditText(c, d), label(shownCols[std::size_t(c)], shownRows[std::size_t(d)]));
        for (int r : hiddenRows) ASSERT_EQ(g.AllCells(cols - 1, r), label(cols - 1, r));
    }
}

} // namespace
