// The selection model (rectangle, disjunct rows, columns and cells), its counts and text, the
// row flags, and how the disjunct selections colour cells.
#include "grid/core/QorStringGrid.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        g.SetColCount(4);
        g.SetRowCount(6);
        g.SetFixedRows(1);
        g.SetFixedCols(1);
    }
    TQorStringGrid g{nullptr};
};

template <typename Fn> std::string errorOf(Fn fn) {
    try {
        fn();
    } catch (const EQorGridError& e) {
        return e.what();
    }
    return "";
}

TEST_F(SelectionTest, RangeErrorsOfTheFlags) {
    g.MouseActions()->SetDisjunctRowSelect(true);
    struct Case {
        const char* name;
        std::function<void()> fn;
        const char* message;
    };
    const Case cases[] = {
        {"read below", [&] { g.RowSelect(-1); }, "Invalid row -1 accessed"},
        {"read past", [&] { g.RowSelect(6); }, "Invalid row 6 accessed"},
        {"write below", [&] { g.SetRowSelect(-1, true); }, "Invalid row accessed"},
        {"write past", [&] { g.SetRowSelect(6, true); }, "Invalid row accessed"},
        {"column read", [&] { g.ColSelect(4); }, "Invalid column accessed"},
        {"column write", [&] { g.SetColSelect(-1, true); }, "Invalid column accessed"},
        {"last row", [&] { g.SetRowSelect(5, true); }, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(c.fn), c.message) << c.name;
    // Hidden rows count: their real indexes are valid.
    g.HideRow(2);
    EXPECT_EQ(errorOf([&] { g.RowSelect(5); }), "");
    // Persistent flags are real rows of any index: reading past the rows answers false.
    g.MouseActions()->SetRowSelectPersistent(true);
    EXPECT_FALSE(g.RowSelect(40));
}

TEST_F(SelectionTest, RowFlagEventsAndRefusal) {
    g.MouseActions()->SetDisjunctRowSelect(true);
    std::vector<std::string> events;
    bool allow = true;
    g.OnRowDisjunctSelect = [&](TObject*, int r, bool state, bool& Allow) {
        events.push_back("select " + std::to_string(r) + (state ? " on" : " off"));
        Allow = allow;
    };
    g.OnRowDisjunctSelected = [&](TObject*, int r) {
        events.push_back("selected " + std::to_string(r));
    };
    g.SetRowSelect(2, true);
    g.SetRowSelect(2, true); // no change: no question asked
    EXPECT_EQ(events, (std::vector<std::string>{"select 2 on", "selected 2", "selected 2"}));
    events.clear();
    allow = false;
    g.SetRowSelect(3, true);
    EXPECT_EQ(events, std::vector<std::string>{"select 3 on"});
    EXPECT_FALSE(g.RowSelect(3));
    EXPECT_EQ(g.SelectedRowCount(), 1);
}

TEST_F(SelectionTest, SelectedRowsInTheirOrderOnce) {
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRowSelect(4, true);
    g.SetRowSelect(2, true);
    g.SetRowSelect(4, true);
    g.SetRowSelect(0, true); // a fixed row is flagged but not listed
    EXPECT_EQ(g.SelectedRow(0), 4);
    EXPECT_EQ(g.SelectedRow(1), 2);
    EXPECT_EQ(g.SelectedRow(2), -1);
    EXPECT_EQ(g.SelectedRowCount(), 2);
    EXPECT_EQ(g.RowSelectCount(), 3);
    g.SetRowSelect(4, false);
    EXPECT_EQ(g.SelectedRow(0), 2);
    EXPECT_EQ(g.SelectedRowCount(), 1);
    g.ClearRowSelect();
    EXPECT_EQ(g.SelectedRowCount(), 0);
    EXPECT_EQ(g.RowSelectCount(), 0);
}

TEST_F(SelectionTest, SelectingRowsAndColumnsByKind) {
    g.SelectRows(2, 10); // limited to the rows there are
    EXPECT_EQ(g.Selection(), (TGridRect{1, 2, 3, 5}));
    EXPECT_EQ(g.SelectedRowCount(), 4);
    EXPECT_EQ(g.SelectedRow(3), 5);
    EXPECT_EQ(g.SelectedRow(4), -1);
    g.SelectCols(2, 2);
    EXPECT_EQ(g.Selection(), (TGridRect{2, 1, 3, 5}));
    EXPECT_EQ(g.ColSelectCount(), 2);

    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SelectRows(3, 2);
    g.UnSelectRows(4, 1);
    EXPECT_TRUE(g.RowSelect(3));
    EXPECT_FALSE(g.RowSelect(4));
    g.MouseActions()->SetDisjunctColSelect(true);
    g.SelectCols(1, 5);
    g.UnSelectCols(2, 1);
    EXPECT_EQ(g.SelectedColCount(), 2);
    g.ClearColSelect();
    EXPECT_EQ(g.SelectedColCount(), 0);
}

TEST_F(SelectionTest, RectangleCopiedIntoTheFlags) {
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRowSelect(1, true);
    g.SetRowSelect(5, true);
    g.SelectCells(1, 2, 2, 3);
    g.SelectionToRowSelect(false); // rows outside keep their flags
    EXPECT_EQ(g.RowSelectCount(), 4);
    g.SelectionToRowSelect(true);
    for (int r = 1; r < 6; ++r) EXPECT_EQ(g.RowSelect(r), r == 2 || r == 3) << r;
    g.SelectionToColSelect(true);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(g.ColSelect(c), c == 1 || c == 2) << c;
}

TEST_F(SelectionTest, CountsOverMergedCells) {
    g.SetColCount(6);
    g.MergeCells(1, 1, 3, 1); // columns 1..3 of row 1
    g.MergeCells(4, 2, 1, 3); // rows 2..4 of column 4
    struct Case {
        TGridRect sel;
        int cols, rows;
    };
    const Case cases[] = {
        {{1, 1, 2, 1}, 3, 1}, // ends inside the merge: the merge counts
        {{1, 1, 3, 1}, 3, 1}, {{1, 1, 5, 1}, 5, 1},
        {{4, 2, 4, 3}, 1, 3}, {{4, 1, 4, 2}, 1, 4}, // ends on a merged cell: its span is added
        {{2, 3, 3, 5}, 2, 3},
    };
    for (const auto& c : cases) {
        g.SelectCells(c.sel.Left, c.sel.Top, c.sel.Right, c.sel.Bottom);
        EXPECT_EQ(g.SelectedColCount(), c.cols) << c.sel.Left << "," << c.sel.Top;
        EXPECT_EQ(g.SelectedRowCount(), c.rows) << c.sel.Left << "," << c.sel.Top;
    }
}

TEST_F(SelectionTest, SelectedCellsOfRectangleAndList) {
    g.SelectCells(2, 3, 2, 3);
    EXPECT_EQ(g.SelectedCellsCount(), 1);
    EXPECT_EQ(g.SelectedCell(0), (TGridCoord{2, 3}));
    g.SelectCells(1, 1, 2, 3);
    EXPECT_EQ(g.SelectedCellsCount(), 6);
    EXPECT_EQ(g.SelectedCell(3), (TGridCoord{2, 1})); // column by column
    EXPECT_TRUE(g.SelectedCells(2, 3));
    EXPECT_FALSE(g.SelectedCells(3, 3));

    g.MouseActions()->SetDisjunctCellSelect(true);
    g.ClearSelectedCells();
    g.SetSelectedCells(3, 2, true);
    g.SetSelectedCells(1, 5, true);
    g.SetSelectedCells(3, 2, true);
    EXPECT_EQ(g.SelectedCellsCount(), 2);
    EXPECT_EQ(g.SelectedCell(1), (TGridCoord{1, 5}));
    EXPECT_TRUE(g.IsSelected(3, 2));
    g.SetSelectedCells(3, 2, false);
    EXPECT_FALSE(g.SelectedCells(3, 2));
    EXPECT_EQ(g.SelectedCellsCount(), 1);
}

TEST_F(SelectionTest, IsSelectedByKind) {
    g.SelectCells(1, 1, 2, 2);
    auto& ma = *g.MouseActions();
    struct Case {
        const char* kind;
        std::function<void()> setUp;
        int c, r;
        bool selected;
    };
    const Case cases[] = {
        {"rectangle", [] {}, 2, 2, true},
        {"rectangle outside", [] {}, 3, 2, false},
        {"fixed column", [] {}, 0, 2, false},
        {"rows", [&] { ma.SetDisjunctRowSelect(true), g.SetRowSelect(4, true); }, 3, 4, true},
        {"rows, the rectangle does not count", [] {}, 1, 1, false},
        {"columns",
         [&] {
             ma.SetDisjunctRowSelect(false), ma.SetDisjunctColSelect(true), g.SetColSelect(3, true);
         },
         3, 5, true},
        {"columns, the rectangle does not count", [] {}, 2, 2, false},
        {"cells", [&] { ma.SetDisjunctCellSelect(true), g.SetSelectedCells(2, 5, true); }, 2, 5,
         true},
        {"cells, the column does not count", [] {}, 3, 5, false},
    };
    for (const auto& c : cases) {
        c.setUp();
        EXPECT_EQ(g.IsSelected(c.c, c.r), c.selected) << c.kind;
    }
}

TEST_F(SelectionTest, SelectedTextOfRectangleAndDisjunctRows) {
    const char* texts[6][4] = {{"", "h1", "h2", "h3"}, {"", "a", "b", "x"}, {"", "c", "d", "y"},
                               {"", "e", "f", "z"},    {"", "g", "h", "w"}, {"", "i", "j", "v"}};
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c) g.SetCells(c, r, texts[r][c]);
    g.SelectCells(1, 1, 2, 2);
    EXPECT_EQ(g.SelectedText(), "a\tb\r\nc\td");
    // Disjunct rows end without a line break, whatever row the rectangle ends on.
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRowSelect(2, true);
    g.SetRowSelect(4, true);
    EXPECT_EQ(g.SelectedText(), "c\td\r\ng\th");
    g.SetCells(1, 2, "one\r\ntwo");
    g.SetMultilinecells(true);
    g.Flags().ExcelClipboardFormat = true;
    EXPECT_EQ(g.SelectedText(), "\"one\vtwo\"\td\r\ng\th"); // a spreadsheet line break
    // A rich-text cell gives its plain text.
    g.SetCells(2, 4, "{\\rtf1 {\\b bold} text}");
    g.Flags().ExcelClipboardFormat = false;
    EXPECT_EQ(g.SelectedText(), "one\r\ntwo\td\r\ng\tbold text");
    // Hidden columns are skipped.
    g.MouseActions()->SetDisjunctRowSelect(false);
    g.HideColumn(1);
    g.SelectCells(1, 3, 2, 3);
    EXPECT_EQ(g.SelectedText(), "f\tz");
}

TEST_F(SelectionTest, ModifiedAndEnabledRows) {
    EXPECT_FALSE(g.RowModified(40));
    g.SetRowModified(2, true);
    g.SetRowModified(4, true);
    g.SetRowModified(4, true);
    EXPECT_EQ(g.ModifiedRowCount(), 2);
    g.SetRowModified(2, false);
    EXPECT_EQ(g.ModifiedRowCount(), 1);
    g.ClearModifiedRows();
    EXPECT_FALSE(g.RowModified(4));

    EXPECT_TRUE(g.RowEnabled(40));
    EXPECT_FALSE(g.UseEnabledRows());
    g.SetRow(3);
    g.SetRowEnabled(1, false);
    g.SetRowEnabled(3, false); // the current row moves to the first enabled row
    EXPECT_TRUE(g.UseEnabledRows());
    EXPECT_FALSE(g.RowEnabled(3));
    EXPECT_EQ(g.Row(), 2);
    g.SetRowEnabled(2, true); // enabling the current row leaves it where it is
    EXPECT_EQ(g.Row(), 2);
    for (int r : {1, 4, 5}) g.SetRowEnabled(r, false);
    g.SetRowEnabled(2, false);
    EXPECT_EQ(g.Row(), 2); // no enabled row left: it stays
}

// How the selection kinds colour a cell (brush and draw state before painting).
class SelectionColorsTest : public SelectionTest {
protected:
    void SetUp() override {
        SelectionTest::SetUp();
        g.SetColor(clWhite);
        g.SetSelectionColor(clHighlight);
        g.SetSelectionTextColor(clNone);
        g.Font()->SetColor(clBlack);
    }
    // Painted as the platform grid asks: selected when inside the rectangle.
    std::pair<TColor, bool> paint(int c, int r) {
        TGridDrawState state;
        if (g.Selection().Contains(c, r)) state.Include(gdSelected);
        const TColor brush = g.cellLook(c, r, state, true, nullptr);
        return {brush, state.Contains(gdSelected)};
    }
};

TEST_F(SelectionColorsTest, OnlyFlaggedColumnsAndRowsPaintSelected) {
    g.SetSelectionColorTo(clGreen); // no lightening of the other disjunct rows
    g.SelectCells(1, 1, 3, 3);
    g.MouseActions()->SetDisjunctColSelect(true);
    g.SetColSelect(2, true);
    struct Case {
        int c, r;
        bool selected;
    };
    const Case columns[] = {{1, 2, false}, {2, 2, true}, {3, 2, false}, {2, 5, true}};
    for (const auto& c : columns) {
        auto [brush, selected] = paint(c.c, c.r);
        EXPECT_EQ(selected, c.selected) << c.c << "," << c.r;
        EXPECT_EQ(brush, c.selected ? TColor(clHighlight) : TColor(clWhite)) << c.c;
    }
    g.MouseActions()->SetDisjunctColSelect(false);
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRowSelect(4, true);
    const Case rows[] = {{2, 2, false}, {2, 4, true}, {0, 4, false}};
    for (const auto& c : rows) {
        auto [brush, selected] = paint(c.c, c.r);
        EXPECT_EQ(selected, c.selected) << c.c << "," << c.r;
    }
}

TEST_F(SelectionColorsTest, DisjunctCellsAndDisabledRows) {
    g.MouseActions()->SetDisjunctCellSelect(true);
    g.SetSelectedCells(3, 4, true);
    g.SetSelection({1, 1, 1, 1});
    EXPECT_EQ(paint(3, 4), std::make_pair(TColor(clHighlight), true));
    EXPECT_EQ(paint(1, 1), std::make_pair(TColor(clWhite), false)); // the current cell, unlisted
    g.SetDisabledFontColor(clGray);
    g.SetRowEnabled(5, false);
    TGridDrawState state;
    TFont font;
    g.cellLook(2, 5, state, true, &font);
    EXPECT_EQ(font.Color(), clGray);
    g.cellLook(2, 4, state, true, &font);
    EXPECT_EQ(font.Color(), clBlack);
}

} // namespace

namespace {

// The painted grid: in a rectangle selection over three columns, only the flagged column is
// painted selected, in the plain selection colour and in a framed selection style.
TEST(SelectionPaintTest, UnflaggedColumnsOfTheRectangleArePaintedPlain) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(5);
    g.SetScrollBars(ssNone);
    g.SetBounds(0, 0, 300, 140);
    g.SetDefaultColWidth(60);
    g.SetColor(clWhite);
    g.SetSelectionColor(clRed);
    g.HandleNeeded();
    g.SelectCells(1, 1, 3, 3);
    g.MouseActions()->SetDisjunctColSelect(true);
    g.SetColSelect(2, true);
    g.Repaint();
    // Middle of cell (c, 2): 60-pixel columns, 22-pixel rows.
    auto middle = [&](int c) { return g.BackingImage()->PixelColor(c * 60 + 30, 2 * 22 + 3); };
    EXPECT_EQ(middle(1), ColorToRGB(clWhite));
    EXPECT_EQ(middle(2), ColorToRGB(clRed));
    EXPECT_EQ(middle(3), ColorToRGB(clWhite));
    g.SetSelectionStyle(ssWin7);
    g.Repaint();
    EXPECT_EQ(middle(1), ColorToRGB(clWhite));
    EXPECT_NE(middle(2), ColorToRGB(clWhite));
    EXPECT_EQ(middle(3), ColorToRGB(clWhite));
}

} // namespace
