// Column and row calculations over cells with numbers, empty cells and texts that are no
// number; auto-sizing of columns and rows, fitting and zooming.
#include "grid/core/QorStringGrid.h"
#include "platform/base/FormatSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CalcGrid {
    TQorStringGrid g{nullptr};
    explicit CalcGrid(const std::vector<std::string>& column) {
        g.SetColCount(3);
        g.SetRowCount(int(column.size()) + 1);
        for (std::size_t i = 0; i < column.size(); ++i) g.SetCells(1, int(i) + 1, column[i]);
    }
};

class GridCalc : public ::testing::Test {
protected:
    void SetUp() override {
        saved = FormatSettings().DecimalSeparator;
        FormatSettings().DecimalSeparator = '.';
    }
    void TearDown() override { FormatSettings().DecimalSeparator = saved; }
    char saved = '.';
};

TEST_F(GridCalc, ColumnCalculationsSkipCellsWithoutANumber) {
    struct Case {
        std::vector<std::string> cells;
        double sum, avg, min, max;
    };
    const Case cases[] = {
        {{"1", "1.2.3", "2.5"}, 3.5, 3.5 / 3, 1, 2.5},
        // A leading cell without a number is skipped, not a start value.
        {{"1.2.3", "4", "-2"}, 2, 2.0 / 3, -2, 4},
        {{"abc", "def"}, 0, 0, 0, 0},
        // Empty cells read as 0 and take part.
        {{"", "5", ""}, 5, 5.0 / 3, 0, 5},
        {{"-3.5"}, -3.5, -3.5, -3.5, -3.5},
    };
    for (const auto& c : cases) {
        CalcGrid t(c.cells);
        const std::string name = t.g.Cells(1, 1) + "|" + t.g.Cells(1, 2);
        EXPECT_DOUBLE_EQ(t.g.ColumnSum(1), c.sum) << name;
        EXPECT_DOUBLE_EQ(t.g.ColumnAvg(1), c.avg) << name;
        EXPECT_DOUBLE_EQ(t.g.ColumnMin(1), c.min) << name;
        EXPECT_DOUBLE_EQ(t.g.ColumnMax(1), c.max) << name;
    }
}

TEST_F(GridCalc, RangesFootersAndHiddenRows) {
    CalcGrid t({"1", "2", "4", "8", "16"});
    EXPECT_DOUBLE_EQ(t.g.ColumnSum(1, 2, 3), 6);
    EXPECT_DOUBLE_EQ(t.g.ColumnAvg(1, 3, 2), 0); // reversed range
    t.g.SetFixedFooters(1);
    EXPECT_DOUBLE_EQ(t.g.ColumnSum(1), 15); // the footer row is not summed
    t.g.SetFixedFooters(0);
    t.g.HideRow(2);
    EXPECT_DOUBLE_EQ(t.g.ColumnSum(1), 29);       // display rows only
    EXPECT_DOUBLE_EQ(t.g.ColumnSum(1, 1, 7), 31); // past the display rows: real rows
    EXPECT_DOUBLE_EQ(t.g.ColumnMax(1, 1, 7), 16);
}

TEST_F(GridCalc, DistinctStdDevCustomAndRows) {
    CalcGrid t({"a", "A", "b"});
    EXPECT_DOUBLE_EQ(t.g.ColumnDistinct(1), 2);
    CalcGrid n({"2", "4", "4", "4", "5", "5", "7", "9"});
    EXPECT_DOUBLE_EQ(n.g.ColumnStdDev(1), 2);
    n.g.OnColumnCalc = [](TObject*, int c, int from, int to, double& res) {
        res = c * 100 + from * 10 + to;
    };
    EXPECT_DOUBLE_EQ(n.g.ColumnCustomCalc(1, 2, 3), 123);

    TQorStringGrid g(nullptr);
    g.SetColCount(5);
    const char* row[] = {"", "x", "3", "1.5", "-1"};
    for (int c = 0; c < 5; ++c) g.SetCells(c, 1, row[c]);
    EXPECT_DOUBLE_EQ(g.RowSum(1, 1, 4), 3.5);
    EXPECT_DOUBLE_EQ(g.RowAvg(1, 1, 4), 3.5 / 4);
    EXPECT_DOUBLE_EQ(g.RowMin(1, 1, 4), -1);
    EXPECT_DOUBLE_EQ(g.RowMax(1, 1, 4), 3);
    EXPECT_DOUBLE_EQ(g.RowSum(1, 4, 1), 0);
}

TEST_F(GridCalc, AutoSizeColBoundsAndRows) {
    struct Case {
        const char* name;
        int minW, maxW;
        bool growOnly;
        int startWidth;
        TAutoSizeRows rows;
        bool unbounded; // width equals the measured one
        int expected;   // otherwise
        bool updateAsked;
    };
    const Case cases[] = {
        {"equal bounds leave the measure", 30, 30, false, 64, arAll, true, 0, true},
        {"only a minimum", 500, 0, false, 64, arAll, false, 500, true},
        {"only a maximum", 0, 20, false, 64, arAll, false, 20, true},
        {"grow only and wider", 0, 0, true, 900, arAll, false, 900, false},
    };
    for (const auto& c : cases) {
        TQorStringGrid g(nullptr);
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetCells(1, 0, "H");
        g.SetCells(1, 1, "a rather long cell text");
        g.SetMinColWidth(c.minW);
        g.SetMaxColWidth(c.maxW);
        g.SetSizeGrowOnly(c.growOnly);
        g.SetColWidths(1, c.startWidth);
        g.ColumnSize()->SetRows(c.rows);
        bool asked = false;
        g.OnUpdateColumnSize = [&](TObject*, int, int&) { asked = true; };
        g.AutoSizeCol(1);
        const int measured = g.GetCellTextSize(1, 1, false, false).cx + 2 * 2 + 2 * 1 + 2;
        EXPECT_EQ(g.ColWidths(1), c.unbounded ? measured : c.expected) << c.name;
        EXPECT_EQ(asked, c.updateAsked) << c.name;
    }
    // Header rows only: the long data text does not count.
    TQorStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCells(1, 0, "H");
    g.SetCells(1, 1, "a rather long cell text");
    g.ColumnSize()->SetRows(arFixed);
    g.AutoSizeCol(1);
    EXPECT_EQ(g.ColWidths(1), g.GetCellTextSize(1, 0, false, false).cx + 8);
    // Padding is added and bounded.
    g.ColumnSize()->SetRows(arAll);
    g.AutoSizeCol(1, 10);
    EXPECT_EQ(g.ColWidths(1), g.GetCellTextSize(1, 1, false, false).cx + 18);
}

TEST_F(GridCalc, ZoomAndFit) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(3);
    g.SetZoomFactor(9);
    g.Zoom(3);
    EXPECT_EQ(g.ZoomFactor(), 9);
    EXPECT_EQ(g.ColWidths(1), 64);
    g.SetColWidths(2, 1);
    g.Zoom(-2);
    EXPECT_EQ(g.ZoomFactor(), 7);
    EXPECT_EQ(g.ColWidths(2), 1);
    EXPECT_EQ(g.ColWidths(1), 62);

    TQorStringGrid f(nullptr);
    f.SetColCount(3);
    f.SetRowCount(2);
    f.SetBounds(0, 0, 300, 200);
    f.SetBorderStyle(bsNone);
    f.SetScrollBars(ssNone);
    f.AutoFitColumns(true);
    EXPECT_EQ(f.ColWidths(0) + f.ColWidths(1) + f.ColWidths(2), 300);
    const int w0 = f.ColWidths(0), w1 = f.ColWidths(1);
    f.AutoFitColumns(true); // already filling: unchanged
    EXPECT_EQ(f.ColWidths(0), w0);
    EXPECT_EQ(f.ColWidths(1), w1);
    // A vertical bar kept by ScrollBarAlways takes its width, even with all rows in view.
    for (TScrollBarAlways kept : {saVert, saBoth}) {
        f.SetScrollBars(ssBoth);
        f.SetScrollBarAlways(kept);
        f.AutoFitColumns(true);
        EXPECT_EQ(f.ColWidths(0) + f.ColWidths(1) + f.ColWidths(2), 300 - SystemScrollBarSize)
            << kept;
    }
}

TEST_F(GridCalc, AutoSizeRowsToContent) {
    TQorStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetWordWrap(true);
    g.SetColWidths(1, 40);
    g.SetCells(1, 1, "many words that wrap over several lines");
    g.AutoSizeRow(1);
    EXPECT_GT(g.RowHeights(1), g.DefaultRowHeight());
    g.SetCells(1, 1, "");
    g.AutoSizeRow(1);
    EXPECT_LT(g.RowHeights(1), g.DefaultRowHeight());
    g.SetSizeGrowOnly(true);
    g.SetRowHeights(1, 80);
    g.AutoSizeRow(1);
    EXPECT_EQ(g.RowHeights(1), 80);

    // Without word wrap each row takes the height of its most lines, in the grid's font whatever
    // the canvas drew last.
    TQorStringGrid m(nullptr);
    m.SetColCount(3);
    m.SetRowCount(3);
    m.SetWordWrap(false);
    m.SetMultilinecells(true);
    m.SetCells(1, 1, "one line");
    m.SetCells(2, 2, "a\r\nb\r\nc");
    m.AutoSizeRows(false, 0);
    const int one = m.RowHeights(1);
    EXPECT_GT(one, 0);
    EXPECT_EQ(m.RowHeights(2), 3 * one);
    m.Canvas()->Font()->SetSize(30);
    m.AutoSizeRows(false, 0);
    EXPECT_EQ(m.RowHeights(1), one);
}

} // namespace
