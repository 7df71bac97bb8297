#include "grid/core/QorStringGrid.h"
#include "grid/render/FloatingFooter.h"
#include "platform/base/SysUtils.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Reaches the sizing state the mouse handling keeps.
class SizingGrid : public TQorStringGrid {
public:
    using TQorStringGrid::TQorStringGrid;
    void userSizedColumn(int col, int startWidth, int newWidth) {
        ColSized = true;
        Colclicked = col;
        Colclickedsize = startWidth;
        SetColWidths(col, newWidth);
    }
    void userSizedRow(int row, int startHeight, int newHeight) {
        Rowsized = true;
        Rowclicked = row;
        Rowclickedsize = startHeight;
        SetRowHeights(row, newHeight);
    }
    TGridState sizingStateAt(int X, int Y) {
        TGridDrawInfo di;
        CalcFixedInfo(di);
        TGridState state = gsNormal;
        int index = 0, pos = 0, ofs = 0;
        CalcSizingState(X, Y, state, index, pos, ofs, di);
        return state;
    }
};

TEST(GridGeometryTest, FixedRowsAndColumnsAlwaysKeptAndRestored) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetFixedRowAlways(true);
    g.SetFixedColAlways(true);
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    g.SetRowCount(1);
    g.SetColCount(1);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    g.SetRowCount(5);
    g.SetColCount(5);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    // Asking for as many fixed rows as rows leaves one scrollable row; the count asked for
    // comes back with more rows.
    g.SetFixedRows(9);
    EXPECT_EQ(g.FixedRows(), 4);
    g.SetRowCount(12);
    EXPECT_EQ(g.FixedRows(), 9);
    // With only fixed rows left, a hidden selection shows again as rows come.
    g.SetRowCount(1);
    g.HideSelection();
    g.SetRowCount(3);
    EXPECT_FALSE(g.SelectionHidden());
    EXPECT_EQ(g.MaxRowCount(), 12);
    EXPECT_EQ(g.MaxColCount(), 5);

    TQorStringGrid plain(nullptr);
    plain.SetRowCount(1);
    plain.SetRowCount(5);
    EXPECT_EQ(plain.FixedRows(), 0);
    EXPECT_THROW(plain.SetFixedRows(5), Exception);
}

TEST(GridGeometryTest, FixedSizes) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(8);
    g.SetFixedCols(2);
    g.SetFixedRows(2);
    g.SetColWidths(0, 30);
    g.SetFixedColWidth(g.DefaultColWidth()); // no change
    EXPECT_EQ(g.ColWidths(0), 30);
    g.SetFixedColWidth(40);
    EXPECT_EQ(g.ColWidths(0), 40);
    EXPECT_EQ(g.ColWidths(1), 40);
    EXPECT_EQ(g.ColWidths(2), g.DefaultColWidth());
    EXPECT_EQ(g.FixedColWidth(), 40);

    EXPECT_EQ(g.FixedRowHeight(), 22);
    g.SetRowHeights(5, 40);
    g.SetFixedRowHeight(30);
    EXPECT_EQ(g.RowHeights(0), 30);
    EXPECT_EQ(g.RowHeights(1), 30);
    EXPECT_EQ(g.RowHeights(2), 22);
    EXPECT_EQ(g.RowHeights(5), 40);
    // The default height sets every row back to it.
    g.SetFixedRowHeight(22);
    for (int r = 0; r < 8; ++r) EXPECT_EQ(g.RowHeights(r), 22) << r;

    g.SetDefaultRowHeight(25);
    EXPECT_EQ(g.FloatingFooter()->Height(), 25);
    struct Case {
        TVAlignment va;
        unsigned flag;
    };
    for (Case c : {Case{vtaCenter, DT_VCENTER}, Case{vtaBottom, DT_BOTTOM}, Case{vtaTop, 0u}}) {
        g.SetVAlignment(c.va);
        EXPECT_EQ(g.VAlign(), c.flag);
    }
}

TEST(GridGeometryTest, TopRowRowUpdateAndSynchronisedGrid) {
    TQorStringGrid g(nullptr), other(nullptr);
    g.SetRowCount(40);
    g.SetColCount(6);
    other.SetRowCount(40);
    other.SetColCount(6);
    g.SetTopRow(40); // RowCount: ignored
    g.SetTopRow(0);  // a fixed row: ignored
    EXPECT_EQ(g.TopRow(), 1);
    g.SetTopRow(5);
    EXPECT_EQ(g.TopRow(), 5);

    std::vector<std::pair<int, int>> updates;
    g.OnRowUpdate = [&](TObject*, int o, int n) { updates.emplace_back(o, n); };
    g.SyncGrid()->SetGrid(&other);
    g.SyncGrid()->SetSelectionRow(true);
    g.SyncGrid()->SetSelectionColumn(true);
    g.SetRow(7);
    g.SetRow(7);
    g.SetRow(3);
    g.SetCol(4);
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].second, 7);
    EXPECT_EQ(updates[1], std::make_pair(7, 3));
    EXPECT_EQ(other.Row(), 3);
    EXPECT_EQ(other.Col(), 4);

    // With disjunct row selection the row moved to becomes a selected row.
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRow(5);
    g.SetRow(9);
    EXPECT_TRUE(g.RowSelect(9));
    EXPECT_TRUE(g.RowSelect(5)); // the rows selected before stay
    EXPECT_FALSE(g.RowSelect(7));
}

TEST(GridGeometryTest, HiddenSelectionComesBackOrFallsToTheFirstCell) {
    TQorStringGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(10);
    g.SetSelection(TGridRect{2, 3, 4, 6});
    g.HideSelection();
    EXPECT_TRUE(g.SelectionHidden());
    EXPECT_EQ(g.Selection().Left, 6);
    EXPECT_EQ(g.Selection().Top, 10);
    g.UnHideSelection();
    EXPECT_EQ(g.Selection().Left, 2);
    EXPECT_EQ(g.Selection().Bottom, 6);

    g.HideSelection();
    g.SetRowCount(3); // the saved selection no longer fits
    g.UnHideSelection();
    const TGridRect s = g.Selection();
    EXPECT_EQ(std::make_pair(s.Left, s.Top), std::make_pair(1, 1));
    EXPECT_EQ(std::make_pair(s.Right, s.Bottom), std::make_pair(1, 1));
}

TEST(GridGeometryTest, HiddenSelectionPaintsNothingSelected) {
    TForm form(nullptr);
    auto* g = new TQorStringGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 300, 200);
    form.HandleNeeded();
    g->SetSelection(TGridRect{1, 1, 2, 2});
    // Cell (1, 1) is selected but not the current cell; (3, 3) is neither.
    const TColor plain = uitest::pixel(g, 3 * 64 + 30, 3 * 22 + 11);
    const TColor selected = uitest::pixel(g, 64 + 30, 22 + 11);
    EXPECT_NE(selected, plain);
    g->HideSelection();
    EXPECT_EQ(uitest::pixel(g, 64 + 30, 22 + 11), plain);
    EXPECT_EQ(uitest::pixel(g, 2 * 64 + 30, 2 * 22 + 11), plain);
    g->UnHideSelection();
    EXPECT_EQ(uitest::pixel(g, 64 + 30, 22 + 11), selected);
}

TEST(GridGeometryTest, FooterRowMovesWithTheCountAndIsCalculated) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(5);
    g.FloatingFooter()->SetVisible(true);
    EXPECT_EQ(g.FixedFooters(), 1);
    g.SetCells(0, 4, "Total");
    g.SetCells(3, 4, "keep");
    g.GetCellProperties(1, 4)->SetCalcType(acCOUNT);
    g.GetCellProperties(2, 4)->SetCalcType(acCUSTOM);
    std::vector<std::pair<int, int>> asked;
    g.OnCalcFooter = [&](TObject*, int c, int r, std::string& v) {
        asked.emplace_back(c, r);
        v = "custom";
    };
    g.SetRowCount(g.RowCount() + 2);
    EXPECT_EQ(g.Cells(0, 6), "Total");
    EXPECT_EQ(g.Cells(3, 6), "keep");
    EXPECT_EQ(g.Cells(1, 6), "5"); // data rows: 7 - 1 fixed - 1 footer
    EXPECT_EQ(g.Cells(2, 6), "custom");
    for (int r = 4; r <= 5; ++r)
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(g.Cells(c, r), "") << c << "," << r;
            EXPECT_FALSE(g.HasCellProperties(c, r)) << c << "," << r;
        }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(2, 6));

    // Shrinking: the footer replaces the row it lands on.
    g.SetCells(1, 2, "data");
    g.GetCellProperties(1, 2)->SetBrushColor(clRed);
    g.SetRowCount(3);
    EXPECT_EQ(g.Cells(0, 2), "Total");
    EXPECT_EQ(g.Cells(1, 2), "1");
    EXPECT_NE(g.Colors(1, 2), clRed);
    // Hidden rows count with CalculateHiddenRows.
    g.SetRowCount(6);
    g.HideRow(2);
    g.CalcFooter(1);
    EXPECT_EQ(g.Cells(1, 4), "4");
    g.FloatingFooter()->SetCalculateHiddenRows(false);
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(1, 4), "3");

    // Another style stops the calculations and frees the last row at once.
    g.FloatingFooter()->SetFooterStyle(fsColumnPreview);
    EXPECT_EQ(g.FixedFooters(), 0);
    g.SetCells(1, 4, "left");
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(1, 4), "left");
}

TEST(GridGeometryTest, StretchColumn) {
    struct Case {
        std::vector<int> widths; // -1: the stretched column
        int index;
        int expected;
    };
    const Case cases[] = {
        {{100, 100, -1}, 2, 199}, {{100, 100, -1}, -1, 199}, {{100, -1, 50}, 1, 249},
        {{300, 150, -1}, 2, 64}, // the others fill the client: default width
        {{-1}, 0, 400},
    };
    for (const Case& c : cases) {
        TQorStringGrid g(nullptr);
        g.SetScrollBars(ssNone);
        g.SetColCount(int(c.widths.size()));
        g.SetFixedCols(0);
        g.SetBounds(0, 0, 400, 200);
        g.SetBounds(0, 0, 400 + 400 - g.CellAreaWidth(), 200);
        ASSERT_EQ(g.CellAreaWidth(), 400);
        for (std::size_t i = 0; i < c.widths.size(); ++i)
            g.SetColWidths(int(i), c.widths[i] < 0 ? 10 : c.widths[i]);
        const int stretched = c.index < 0 ? int(c.widths.size()) - 1 : c.index;
        g.StretchColumn(c.index); // off: nothing
        EXPECT_EQ(g.ColWidths(stretched), 10);
        g.ColumnSize()->SetStretch(true);
        g.StretchColumn(c.index);
        EXPECT_EQ(g.ColWidths(stretched), c.expected) << c.index << " of " << c.widths.size();
    }

    TQorStringGrid g(nullptr);
    g.SetScrollBars(ssNone);
    g.SetColCount(3);
    g.SetFixedCols(0);
    g.SetBounds(0, 0, 400, 200);
    g.ColumnSize()->SetStretch(true);
    g.ColumnSize()->SetStretchColumn(2);
    try {
        g.StretchColumn(3);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Stretch column index out of range");
    }
    // Once stretched, the column keeps filling the client when another column changes.
    g.StretchColumn(2);
    g.SetColWidths(0, 150);
    EXPECT_EQ(g.ColWidths(2), g.CellAreaWidth() - 150 - 64 - 1);
}

TEST(GridGeometryTest, UserSizingScalesAndAsksTheSizeHook) {
    SizingGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(4);
    g.MouseActions()->SetAllColumnSize(true);
    std::vector<int> ended;
    g.OnEndColumnSize = [&](TObject*, int c) { ended.push_back(c); };
    g.userSizedColumn(2, 64, 128);
    EXPECT_EQ(g.ColWidths(0), 64); // fixed column
    EXPECT_EQ(g.ColWidths(1), 128);
    EXPECT_EQ(g.ColWidths(2), 128);
    EXPECT_EQ(g.ColWidths(3), 128);
    EXPECT_EQ(ended, std::vector<int>{2});
    g.OnUpdateColumnSize = [](TObject*, int, int& w) { w = std::min(w, 90); };
    g.userSizedColumn(1, 128, 200);
    EXPECT_EQ(g.ColWidths(1), 90);
    EXPECT_EQ(ended.size(), 2u);
    g.SetColWidths(3, 50); // not the user: nothing more
    EXPECT_EQ(ended.size(), 2u);

    std::vector<int> rows;
    g.OnEndRowSize = [&](TObject*, int r) { rows.push_back(r); };
    g.MouseActions()->SetAllRowSize(true);
    g.userSizedRow(1, 22, 33);
    EXPECT_EQ(g.RowHeights(0), 22);
    EXPECT_EQ(g.RowHeights(2), 33);
    EXPECT_EQ(rows, std::vector<int>{1});
}

TEST(GridGeometryTest, SizingBordersAndSizingVetoes) {
    SizingGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(6);
    // Columns of 64 and rows of 22 pixels (the lines lie inside the cells): column 2 spans
    // x 128..191.
    struct Case {
        bool colSizing, rowSizing;
        int x, y;
        bool expected;
    };
    const Case cases[] = {
        {true, false, 193, 10, true}, {true, false, 160, 10, false}, {true, false, 193, 80, false},
        {false, true, 10, 21, true},  {false, true, 10, 33, false},  {false, true, 200, 21, false},
        {true, true, 63, 10, false},  {true, true, 1000, 10, false},
    };
    for (const Case& c : cases) {
        TGridOptions o = g.Options();
        if (c.colSizing)
            o.Include(goColSizing);
        else
            o.Exclude(goColSizing);
        if (c.rowSizing)
            o.Include(goRowSizing);
        else
            o.Exclude(goRowSizing);
        g.SetOptions(o);
        EXPECT_EQ(g.IsOnSizingBorder(c.x, c.y), c.expected) << c.x << "," << c.y;
    }

    g.SetOptions(g.Options() + goColSizing + goRowSizing);
    EXPECT_EQ(g.sizingStateAt(128, 10), gsColSizing);
    EXPECT_EQ(g.sizingStateAt(10, 45), gsRowSizing);
    std::vector<int> cols, rows;
    g.OnColumnSize = [&](TObject*, int c, bool& allow) {
        cols.push_back(c);
        allow = c != 1;
    };
    g.OnRowSize = [&](TObject*, int r, bool& allow) {
        rows.push_back(r);
        allow = false;
    };
    EXPECT_EQ(g.sizingStateAt(128, 10), gsNormal);
    EXPECT_EQ(g.sizingStateAt(192, 10), gsColSizing);
    EXPECT_EQ(g.sizingStateAt(10, 45), gsNormal);
    EXPECT_EQ(cols, (std::vector<int>{1, 2}));
    EXPECT_EQ(rows, (std::vector<int>{1}));
}

TEST(GridGeometryTest, CellRectanglesWithScrolledAndHiddenRows) {
    TQorStringGrid g(nullptr);
    g.SetScrollBars(ssNone);
    g.SetColCount(4);
    g.SetRowCount(30);
    for (int r = 0; r < 30; ++r) g.SetCells(1, r, IntToStr(r));
    g.HideRows(2, 4);
    g.SetTopRow(5);
    // Display row 5 (real row 8) is the first scrolled row, right under the fixed row.
    const TRect top = g.CellRect(1, 5);
    EXPECT_EQ(top.Top, 22);
    EXPECT_EQ(top.Bottom, 44);
    EXPECT_EQ(top.Left, 64);
    EXPECT_EQ(g.Cells(1, 5), "8");
    EXPECT_EQ(g.RealRowIndex(5), 8);
    EXPECT_TRUE(g.CellRect(1, 3).IsEmpty()); // scrolled out
    EXPECT_EQ(g.CellRect(1, 0).Top, 0);
    // The cell under a point is a display cell.
    int c = -1, r = -1;
    g.MouseToCell(70, 50, c, r);
    EXPECT_EQ(std::make_pair(c, r), std::make_pair(1, 6));
    EXPECT_EQ(g.AllCells(1, g.RealRowIndex(r)), "9");
}

TEST(GridGeometryTest, SaveRange) {
    TQorStringGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(8);
    g.SetFixedRightCols(1);
    g.SetFixedFooters(1);
    struct Case {
        bool cells, cols, rows;
        int startCol, startRow, endCol, endRow, colCount, rowCount;
    };
    const Case cases[] = {
        {true, false, false, 0, 0, 5, 7, 6, 8},
        {false, false, false, 1, 1, 4, 6, 4, 6},
        {false, true, false, 0, 1, 4, 6, 4, 6},
        {false, false, true, 1, 0, 4, 6, 4, 6},
    };
    for (const Case& c : cases) {
        g.Flags().SaveFixedCells = c.cells;
        g.Flags().SaveFixedCols = c.cols;
        g.Flags().SaveFixedRows = c.rows;
        EXPECT_EQ(g.SaveStartCol(), c.startCol);
        EXPECT_EQ(g.SaveStartRow(), c.startRow);
        EXPECT_EQ(g.SaveEndCol(), c.endCol);
        EXPECT_EQ(g.SaveEndRow(), c.endRow);
        EXPECT_EQ(g.SaveColCount(), c.colCount);
        EXPECT_EQ(g.SaveRowCount(), c.rowCount);
    }
}

TEST(GridGeometryTest, RotatedTextNeedsTheRotatedBox) {
    TQorStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCells(1, 1, "Rotated");
    const TSize flat = g.GetCellTextSize(1, 1, false, false);
    struct Case {
        int angle, width, height;
    };
    const Case cases[] = {
        {0, flat.cx + 12, flat.cy + 12},
        {90, flat.cy + 12, flat.cx + 12},
        {180, flat.cx + 12, flat.cy + 12},
        {45, int(flat.cx * 0.7071067811865476) + int(flat.cy * 0.7071067811865476) + 12,
         int(flat.cx * 0.7071067811865476) + int(flat.cy * 0.7071067811865476) + 12},
    };
    for (const Case& c : cases) {
        auto* graphic = new TCellGraphic;
        graphic->SetAngle(c.angle);
        g.FreeCellProperties(1, 1);
        g.SetGraphicObjects(1, 1, graphic);
        for (bool vs : {false, true}) {
            const TSize s = g.GetCellTextSize(1, 1, vs, false);
            EXPECT_NEAR(s.cx, c.width, 1) << c.angle;
            EXPECT_NEAR(s.cy, c.height, 1) << c.angle;
        }
    }
}

} // namespace
