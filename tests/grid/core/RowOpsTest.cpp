// Row and column operations: what each one keeps, moves, frees and reports.
#include "grid/core/QorColumnGrid.h"
#include "grid/data/DataSettings.h"
#include "platform/ui/ExtCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class RowOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g.SetColCount(4);
        g.SetRowCount(8);
        g.SetFixedRows(1);
        for (int r = 0; r < 8; ++r) g.SetCells(1, r, "r" + std::to_string(r));
    }
    std::vector<std::string> column(int c) {
        std::vector<std::string> out;
        for (int r = 0; r < g.RowCount(); ++r) out.push_back(g.Cells(c, r));
        return out;
    }
    TQorStringGrid g{nullptr};
};

using Texts = std::vector<std::string>;

TEST_F(RowOpsTest, RemovedRowsFreeTheirPropertiesAndTheRestKeepTheirs) {
    g.SetColors(1, 2, clRed);
    g.SetColors(1, 5, clBlue);
    g.MergeCells(1, 6, 2, 1);
    g.RemoveRows(2, 2);
    EXPECT_EQ(column(1), (Texts{"r0", "r1", "r4", "r5", "r6", "r7"}));
    EXPECT_EQ(g.Colors(1, 3), clBlue);
    EXPECT_FALSE(g.HasCellProperties(1, 2));
    EXPECT_TRUE(g.IsMergedCell(2, 4));
    EXPECT_EQ(g.CellSpan(1, 4), (TPoint{1, 0}));
}

TEST_F(RowOpsTest, RemovingPastTheEndLosesNoRowAbove) {
    g.RemoveRows(6, 5);
    EXPECT_EQ(column(1), (Texts{"r0", "r1", "r2", "r3", "r4", "r5"}));
    g.RemoveRows(7, 1); // past the last row: nothing
    g.RemoveRows(2, 0);
    EXPECT_EQ(g.RowCount(), 6);
}

TEST_F(RowOpsTest, CurrentRowAfterRemoval) {
    struct Case {
        int current, at, count;
        int row;
    };
    const Case cases[] = {
        {5, 2, 2, 5}, // the index stays
        {5, 6, 2, 5},
        {7, 6, 2, 5}, // gone: the last row
    };
    for (const auto& c : cases) {
        SetUp();
        g.SetRowCount(8);
        g.SetRow(c.current);
        g.RemoveRows(c.at, c.count);
        EXPECT_EQ(g.Row(), c.row) << c.current << " " << c.at;
        EXPECT_FALSE(g.SelectionHidden());
    }
    g.SetFixedRowAlways(true);
    g.RemoveRows(1, g.RowCount() - 1); // no normal row left
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_TRUE(g.SelectionHidden());
    g.InsertRows(1, 1); // a new row shows the selection again
    EXPECT_FALSE(g.SelectionHidden());
}

TEST_F(RowOpsTest, InsertedRowsAreEmptyAndTheCurrentRowKeepsItsIndex) {
    g.SetColors(2, 3, clRed);
    g.SetRowHeights(3, 40);
    g.SetRow(3);
    g.InsertRows(3, 2);
    EXPECT_EQ(column(1), (Texts{"r0", "r1", "r2", "", "", "r3", "r4", "r5", "r6", "r7"}));
    EXPECT_FALSE(g.HasCellProperties(2, 3));
    EXPECT_FALSE(g.HasCellProperties(2, 4));
    EXPECT_EQ(g.Colors(2, 5), clRed);
    EXPECT_EQ(g.RowHeights(3), g.DefaultRowHeight());
    EXPECT_EQ(g.RowHeights(5), 40);
    EXPECT_EQ(g.Row(), 3);
    g.AddRow();
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.Cells(1, 10), "");
}

TEST_F(RowOpsTest, InsertingRowsMovesSelectionFlagsAndHiddenRows) {
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRowSelect(4, true);
    g.HideRow(6);
    g.InsertRows(2, 3);
    EXPECT_TRUE(g.RowSelect(7));
    EXPECT_FALSE(g.RowSelect(4));
    EXPECT_EQ(g.SelectedRow(0), 7);
    EXPECT_TRUE(g.IsHiddenRow(9));
    EXPECT_FALSE(g.IsHiddenRow(6));
    EXPECT_EQ(g.AllCells(1, 9), "r6");
    g.UnHideRowsAll();
    EXPECT_EQ(g.Cells(1, 9), "r6");
}

TEST_F(RowOpsTest, RemoveRowsExLeavesObjectsToTheCallerAndMovesHiddenRowsByTheCount) {
    g.SetColors(1, 3, clRed);
    TCellProperties* kept = g.CellProperties(1, 3);
    g.HideRow(7);
    g.RemoveRowsEx(2, 3);
    EXPECT_EQ(column(1), (Texts{"r0", "r1", "r5", "r6"}));
    EXPECT_TRUE(g.IsHiddenRow(4));
    EXPECT_EQ(g.AllCells(1, 4), "r7");
    EXPECT_EQ(kept->BrushColor(), clRed); // still alive: the caller owns it now
    delete kept;
}

TEST_F(RowOpsTest, RemoveDuplicatesHonoursCase) {
    struct Case {
        bool doCase;
        Texts kept;
    };
    const Case cases[] = {
        {false, {"h", "abc", "x"}},
        {true, {"h", "abc", "ABC", "x"}},
    };
    for (const auto& c : cases) {
        g.SetRowCount(6);
        const char* texts[] = {"h", "abc", "ABC", "abc", "x", "x"};
        for (int r = 0; r < 6; ++r) g.SetCells(2, r, texts[r]);
        g.RemoveDuplicates(2, c.doCase);
        EXPECT_EQ(column(2), c.kept) << c.doCase;
    }
}

TEST_F(RowOpsTest, MergingRunsOfEqualTexts) {
    g.SetRowCount(7);
    const char* texts[] = {"h", "a", "a", "c", "b", "b", "b"};
    for (int r = 0; r < 7; ++r) g.SetCells(2, r, texts[r]);
    g.MergeColumnCells(2, true);
    EXPECT_EQ(g.CellSpan(2, 1), (TPoint{0, 1}));
    EXPECT_FALSE(g.IsMergedCell(2, 3));
    EXPECT_EQ(g.CellSpan(2, 4), (TPoint{0, 2}));
    g.MergeColumnCells(2, true); // again: the same areas
    EXPECT_EQ(g.CellSpan(2, 6), (TPoint{0, 2}));
    g.SplitAllCells();
    EXPECT_FALSE(g.IsMergedCell(2, 4));
    g.MergedColumns()->Add(2); // the list remerges when it changes
    EXPECT_EQ(g.CellSpan(2, 5), (TPoint{0, 2}));
    g.MergedColumns()->Delete(0);
    EXPECT_FALSE(g.IsMergedCell(2, 5));

    for (int c = 0; c < 4; ++c) g.SetCells(c, 2, c == 0 ? "" : "q");
    g.MergeRowCells(2, true);
    EXPECT_EQ(g.CellSpan(1, 2), (TPoint{2, 0}));
}

TEST_F(RowOpsTest, AreasTornByInsertingOrClearingAreSplit) {
    g.MergeCells(1, 2, 1, 3); // rows 2..4
    g.MergeCells(2, 5, 2, 1); // columns 2..3
    g.InsertRows(3, 1);
    for (int r = 2; r <= 5; ++r) EXPECT_FALSE(g.IsMergedCell(1, r)) << r;
    EXPECT_TRUE(g.IsMergedCell(3, 6)); // below the new row: moved whole
    g.InsertCols(3, 1);
    EXPECT_FALSE(g.IsMergedCell(2, 6));
    EXPECT_FALSE(g.IsMergedCell(4, 6));
    g.MergeCells(1, 1, 2, 2);
    g.ClearRect(1, 1, 1, 1); // the base cell goes: the rest of the area is plain again
    EXPECT_FALSE(g.IsMergedCell(2, 2));
    EXPECT_EQ(g.CellSpan(2, 2), (TPoint{0, 0}));
}

TEST_F(RowOpsTest, MergeColsJoinsTrimmedAndRemovesTheSecondColumn) {
    g.SetCells(2, 1, "");
    g.SetCells(2, 2, "x");
    g.SetCells(3, 1, "last");
    g.MergeCols(1, 2, " ");
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.Cells(1, 1), "r1");
    EXPECT_EQ(g.Cells(1, 2), "r2 x");
    EXPECT_EQ(g.Cells(2, 1), "last");
}

TEST_F(RowOpsTest, SwapsCarryPropertiesMergesAndWidths) {
    g.SetColors(1, 2, clRed);
    g.MergeCells(1, 4, 1, 2);
    g.SetColWidths(1, 30);
    g.SwapColumns(1, 3);
    EXPECT_EQ(g.Colors(3, 2), clRed);
    EXPECT_FALSE(g.HasCellProperties(1, 2));
    EXPECT_EQ(g.CellSpan(3, 4), (TPoint{0, 1}));
    EXPECT_EQ(g.Cells(3, 5), "r4"); // the merged area shows its base text
    EXPECT_EQ(g.ColWidths(3), 30);
    EXPECT_NE(g.CellProperties(3, 4), g.CellProperties(3, 5));

    g.SetRowModified(2, true);
    g.SetRowHeights(2, 33);
    g.SwapRows(2, 6);
    EXPECT_EQ(g.Colors(3, 6), clRed);
    EXPECT_EQ(g.Cells(3, 2), "r6");
    EXPECT_TRUE(g.RowModified(6));
    EXPECT_FALSE(g.RowModified(2));
    EXPECT_EQ(g.RowHeights(6), 33);
}

TEST_F(RowOpsTest, SortSwapOfOneColumnOrOfWholeRows) {
    g.SetCells(2, 1, "a");
    g.SetCells(2, 2, "b");
    for (int r = 0; r < 4; ++r) g.SortRowXRef()->Add(r);
    g.SortSwapRows(1, 2);
    EXPECT_EQ(g.SortRowXRef()->StrValue(), "0,2,1,3");
    EXPECT_EQ(g.Cells(2, 1), "b");
    g.SortSwapRows(1, 2);
    g.SortSettings()->SetColumn(2);
    g.SortSettings()->SetSingleColumn(true);
    g.SortSwapRows(1, 2);
    EXPECT_EQ(column(1)[1], "r1");
    EXPECT_EQ(g.Cells(2, 1), "b");
    g.SortSettings()->SetSingleColumn(false);
    g.ShowModified()->SetEnabled(true);
    g.SetRowModified(1, true);
    g.SortSwapRows(1, 2);
    EXPECT_EQ(column(1)[2], "r1");
    EXPECT_EQ(g.Cells(2, 2), "b");
    EXPECT_TRUE(g.RowModified(2));
}

TEST_F(RowOpsTest, CellsChangedReportsEachOperationsRectangle) {
    std::vector<TRect> seen;
    g.OnCellsChanged = [&](TObject*, const TRect& r) { seen.push_back(r); };
    struct Case {
        const char* name;
        std::function<void()> op;
        TRect rect;
    };
    const Case cases[] = {
        {"RemoveRows", [&] { g.RemoveRows(2, 2); }, {0, 2, 3, 4}},
        {"InsertRows", [&] { g.InsertRows(1, 3); }, {0, 1, 3, 4}},
        {"RemoveCols", [&] { g.RemoveCols(1, 1); }, {1, 0, 2, 8}},
        {"ClearRect", [&] { g.ClearRect(1, 1, 2, 2); }, {1, 1, 2, 2}},
        {"DoRemoveRows", [&] { g.DoRemoveRows(1, 1); }, {0, 1, 2, 2}},
    };
    for (const auto& c : cases) {
        seen.clear();
        c.op();
        ASSERT_EQ(seen.size(), 1u) << c.name;
        EXPECT_EQ(seen[0], c.rect) << c.name;
    }
    seen.clear();
    g.InsertCols(1, 1);
    EXPECT_TRUE(seen.empty());
}

TEST_F(RowOpsTest, CellControlsFollowTheirRowsAndLeaveWithThem) {
    auto* panel = new TPanel(&g);
    g.SetCellControls(2, 3, panel);
    g.InsertRows(1, 2);
    EXPECT_EQ(g.CellControls(2, 5), panel);
    ASSERT_EQ(g.CellControlList().Count(), 1);
    EXPECT_EQ(g.CellControlList().GetControl(0)->Y(), 5);
    g.SwapRows(5, 2);
    EXPECT_EQ(g.CellControlList().GetControl(0)->Y(), 2);
    g.RemoveRows(2, 1);
    EXPECT_EQ(g.NumCellControls(), 0);
    EXPECT_EQ(g.CellControlList().Count(), 0);
    EXPECT_FALSE(panel->Visible());
}

TEST_F(RowOpsTest, ClearingFreesPropertiesAndRespectsFixedCells) {
    g.SetColors(0, 2, clRed);
    g.SetColors(2, 2, clRed);
    g.SetCells(2, 0, "head");
    g.ClearNormalCells();
    EXPECT_EQ(g.Cells(1, 2), "");
    EXPECT_FALSE(g.HasCellProperties(2, 2));
    EXPECT_EQ(g.Cells(2, 0), "head");
    g.SetCells(1, 3, "x");
    g.Flags().ClearTextOnly = true; // the texts go, the properties stay
    g.Clear();
    EXPECT_EQ(g.Cells(2, 0), "");
    EXPECT_EQ(g.Colors(0, 2), clRed);
    g.Flags().ClearTextOnly = false;
    g.HideRow(5);
    g.SetAllCells(1, 5, "hidden");
    g.ClearAll();
    EXPECT_FALSE(g.HasCellProperties(0, 2));
    EXPECT_EQ(g.AllCells(1, 5), "");
}

TEST_F(RowOpsTest, SelectionDrivenRemovalsAndHiding) {
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRowSelect(2, true);
    g.SetRowSelect(4, true);
    g.ClearSelection();
    EXPECT_EQ(g.Cells(1, 2), "");
    EXPECT_EQ(g.Cells(1, 3), "r3");
    g.SetCells(1, 2, "r2");
    g.RemoveSelectedRows();
    EXPECT_EQ(column(1), (Texts{"r0", "r1", "r3", "r5", "r6", "r7"}));
    EXPECT_EQ(g.RowSelectCount(), 0);
    g.SetRowSelect(3, true);
    g.SetRowSelect(5, true);
    // The rows to hide are chosen before any of them moves.
    g.HideUnSelectedRows();
    EXPECT_EQ(column(1), (Texts{"r0", "r5", "r7"}));
    g.UnHideRowsAll();
    g.ClearRowSelect();
    g.SetRowSelect(2, true);
    g.RemoveUnSelectedRows();
    EXPECT_EQ(column(1), (Texts{"r0", "r3"}));

    g.SetCells(3, 0, "c3");
    g.MouseActions()->SetDisjunctColSelect(true);
    g.SetColSelect(2, true);
    g.RemoveSelectedCols();
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.Cells(2, 0), "c3");
    EXPECT_FALSE(g.ColSelect(2));
}

TEST_F(RowOpsTest, RemoveCheckedRows) {
    for (int r = 1; r < 5; ++r) g.AddCheckBox(3, r, r % 2 ? cbChecked : cbUnchecked);
    g.RemoveCheckedRows(3, true);
    EXPECT_EQ(column(1), (Texts{"r0", "r2", "r4", "r5", "r6", "r7"}));
}

TEST_F(RowOpsTest, TrimLookupAndColour) {
    g.SetCells(2, 3, " \t padded \r\n");
    g.TrimAll();
    EXPECT_EQ(g.Cells(2, 3), "padded");
    int c = -1, r = -1;
    EXPECT_TRUE(g.IsCell("r5", c, r));
    EXPECT_EQ((TPoint{c, r}), (TPoint{1, 5}));
    EXPECT_FALSE(g.IsCell("R5", c, r));
    g.SetCells(3, 1, "|\\wide");
    EXPECT_TRUE(g.IsWideCell(3, 1));
    EXPECT_FALSE(g.IsWideCell(1, 1));
    g.ColorRect(1, 1, 2, 2, clLime);
    EXPECT_EQ(g.Colors(2, 2), clLime);
    EXPECT_FALSE(g.HasCellProperties(3, 2));
}

TEST(ColumnGridOpsTest, ItemsFollowInsertedAndRemovedColumns) {
    TQorColumnGrid g(nullptr);
    g.SetColCount(4);
    for (int c = 0; c < 4; ++c) g.Columns()->Items(c)->SetWidth(40 + c);
    g.InsertCols(1, 2);
    ASSERT_EQ(g.Columns()->Count(), 6);
    EXPECT_EQ(g.Columns()->Items(3)->Width(), 41);
    EXPECT_EQ(g.ColWidths(3), 41);
    g.RemoveCols(0, 3);
    ASSERT_EQ(g.Columns()->Count(), 3);
    EXPECT_EQ(g.Columns()->Items(0)->Width(), 41);
    EXPECT_EQ(g.ColWidths(0), 41);
    g.AddColumn();
    EXPECT_EQ(g.Columns()->Count(), 4);
}

} // namespace
