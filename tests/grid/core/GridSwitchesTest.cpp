// What the string grid's switches and small operations do for a caller: copying, loading,
// auto-sizing, expand cells, combo and spin buttons without a handler, hidden rows, form
// controls in cells, the picker events, column items and scaling.
#include "grid/core/QorColumnGrid.h"
#include "grid/core/QorStringGrid.h"
#include "grid/render/ControlLook.h"
#include "platform/base/FormatSettings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(GridSwitches, AssignCopiesAnchorHintNumberAlignmentAndFixedRowHeight) {
    TQorStringGrid src(nullptr), dst(nullptr);
    src.SetAnchorHint(true);
    src.SetAutoNumAlign(true);
    src.SetFixedRowHeight(30);
    dst.Assign(&src);
    EXPECT_TRUE(dst.AnchorHint());
    EXPECT_TRUE(dst.AutoNumAlign());
    EXPECT_EQ(dst.FixedRowHeight(), 30);
    EXPECT_EQ(dst.RowHeights(0), 30);
}

TEST(GridSwitches, AutoSizeFitsTheColumnsAtOnceOrWhenLoaded) {
    const std::string longText(40, 'W');
    TQorStringGrid now(nullptr);
    now.SetCells(1, 1, longText);
    const int before = now.ColWidths(1);
    now.SetAutoSize(true);
    EXPECT_GT(now.ColWidths(1), before);
    const int fitted = now.ColWidths(1);

    TForm form(nullptr);
    auto* loaded = new TQorStringGrid(&form);
    loaded->TComponent::Loading();
    loaded->SetParent(&form);
    loaded->SetCells(1, 1, longText);
    loaded->SetAutoSize(true);
    EXPECT_EQ(loaded->ColWidths(1), before) << "not while loading";
    loaded->Loaded();
    EXPECT_EQ(loaded->ColWidths(1), fitted);
}

TEST(GridSwitches, LoadedRecordsTheColumnOrderThatLaterColumnsJoin) {
    TForm form(nullptr);
    auto* g = new TQorStringGrid(&form);
    g->TComponent::Loading();
    g->SetParent(&form);
    g->Loaded();
    EXPECT_EQ(g->ColumnOrder()->Count(), 5);
    // Columns added after loading keep their own recorded index when columns move.
    g->SetColCount(7);
    g->MoveColumn(6, 1);
    EXPECT_EQ(g->ColumnAtPosition(1), 6);
    EXPECT_EQ(g->ColumnPosition(5), 6);
}

TEST(GridSwitches, ExpandClickGivesTheRowTheHeightOfItsState) {
    TQorStringGrid g(nullptr);
    g.AddExpand(1, 2, 60);
    std::string fired;
    g.OnExpandClick = [&](TObject*, int c, int r, bool e) {
        fired = std::to_string(c) + "," + std::to_string(r) + (e ? "+" : "-");
    };
    g.ExpandClick(1, 2, g.ToggleExpand(1, 2));
    EXPECT_EQ(fired, "1,2+");
    EXPECT_EQ(g.RowHeights(2), 60);
    g.ExpandClick(1, 2, g.ToggleExpand(1, 2));
    EXPECT_EQ(g.RowHeights(2), 22);
}

// Without the handlers a plain grid shows its combo and spin buttons only when the control look
// asks for them in every cell, and only on cells whose editor is of that kind.
TEST(GridSwitches, ComboAndSpinButtonsFollowTheControlLook) {
    TQorStringGrid g(nullptr);
    g.OnGetEditorType = [](TObject*, int c, int, TEditorType& e) {
        if (c == 1) e = edComboList;
        if (c == 2) e = edSpinEdit;
        if (c == 3) e = edFloatSpinEdit;
    };
    struct Case {
        bool drop, spin;
        int col, row;
        bool combo, spinEdit;
    };
    const Case cases[] = {
        {false, false, 1, 1, false, false}, {true, false, 1, 1, true, false},
        {true, false, 2, 1, false, false},  {false, true, 2, 1, false, true},
        {false, true, 3, 2, false, true},   {false, true, 4, 1, false, false},
        {true, true, 1, 0, true, false},    {false, true, 2, 0, false, false},
    };
    for (const auto& c : cases) {
        g.ControlLook()->SetDropDownAlwaysVisible(c.drop);
        g.ControlLook()->SetSpinButtonsAlwaysVisible(c.spin);
        EXPECT_EQ(g.HasComboBox(c.col, c.row), c.combo) << c.col << "," << c.row;
        EXPECT_EQ(g.HasSpinEdit(c.col, c.row), c.spinEdit) << c.col << "," << c.row;
    }
    // A handler has the last word.
    g.OnHasComboBox = [](TObject*, int, int, bool& has) { has = false; };
    g.ControlLook()->SetDropDownAlwaysVisible(true);
    EXPECT_FALSE(g.HasComboBox(1, 1));
}

TEST(GridSwitches, ColumnSumCountsAnExponentWithoutMantissa) {
    const char saved = FormatSettings().DecimalSeparator;
    FormatSettings().DecimalSeparator = '.';
    TQorStringGrid g(nullptr);
    g.SetRowCount(4);
    g.SetCells(1, 1, "E3");
    g.SetCells(1, 2, "2.5");
    g.SetCells(1, 3, "EUR");
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 3), 3002.5);
    FormatSettings().DecimalSeparator = saved;
}

TEST(GridSwitches, ControlValuesReadAndRewriteAFormControl) {
    TQorStringGrid g(nullptr);
    g.SetCells(1, 1, "Name <CONTROL TYPE=\"EDIT\" ID=\"n1\" VALUE=\"abc\" WIDTH=\"40\">");
    EXPECT_EQ(g.ControlValues(1, 1, "n1"), "abc");
    EXPECT_EQ(g.ControlValues(1, 1, "n2"), "");
    g.SetControlValues(1, 1, "n1", "xyz");
    EXPECT_EQ(g.ControlValues(1, 1, "n1"), "xyz");
    const std::string text = g.Cells(1, 1);
    g.SetControlValues(1, 1, "n2", "other");
    EXPECT_EQ(g.Cells(1, 1), text) << "a control the cell does not have changes nothing";
}

TEST(GridSwitches, PickerEventsReportTheCurrentCell) {
    TQorStringGrid g(nullptr);
    g.SetCol(2);
    g.SetRow(3);
    std::string got;
    g.OnColorSelect = [&](TObject*, int c, int r, TColor color, const std::string& v) {
        got = std::to_string(c) + "," + std::to_string(r) + ":" + std::to_string(color) + v;
    };
    g.OnImageSelect = [&](TObject*, int c, int r, int i) {
        got = std::to_string(c) + "," + std::to_string(r) + ":" + std::to_string(i);
    };
    g.ColorSelect(clRed, "Red");
    EXPECT_EQ(got, "2,3:255Red");
    g.ImageSelect(4);
    EXPECT_EQ(got, "2,3:4");
}

TEST(GridSwitches, HideRowsExStopsAtAHiddenFirstRowAndKeepsRealIndexes) {
    TQorStringGrid g(nullptr);
    g.SetRowCount(10);
    for (int r = 0; r < 10; ++r) {
        g.SetCells(1, r, "r" + std::to_string(r));
        g.SetRowHeights(r, 20 + r);
    }
    g.HideRow(3);
    g.HideRowsEx(3, 5);
    EXPECT_EQ(g.NumHiddenRows(), 1) << "the first row is hidden: nothing more";
    g.HideRowsEx(6, 7);
    EXPECT_EQ(g.NumHiddenRows(), 3);
    EXPECT_EQ(g.RealRowIndex(5), 8);
    EXPECT_EQ(g.AllCells(1, 7), "r7");
    std::unique_ptr<TIntList> hidden;
    EXPECT_TRUE(g.IsHiddenRow(6, hidden));
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->Count(), 3);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(g.IsHiddenRow(r, hidden), g.IsHiddenRow(r)) << r;
    g.UnHideRowsAll();
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(g.Cells(1, r), "r" + std::to_string(r));
        EXPECT_EQ(g.RowHeights(r), 20 + r);
    }
}

TEST(GridSwitches, ColumnItemsReachTheirCellsTyped) {
    const char saved = FormatSettings().DecimalSeparator;
    FormatSettings().DecimalSeparator = '.';
    TQorColumnGrid g(nullptr);
    TGridColumnItem* item = g.Columns()->Items(2);
    item->SetInts(1, 42);
    EXPECT_EQ(g.Cells(2, 1), "42");
    EXPECT_EQ(item->Ints(1), 42);
    item->SetFloats(2, 1.5);
    EXPECT_EQ(g.Cells(2, 2), "1.50");
    EXPECT_DOUBLE_EQ(item->Floats(2), 1.5);
    item->SetDates(3, 45000);
    EXPECT_DOUBLE_EQ(item->Dates(3), 45000);
    item->SetTimes(4, 0.5);
    EXPECT_NEAR(item->Times(4), 0.5, 1e-6);
    item->SetRows(1, "x");
    EXPECT_EQ(item->Rows(1), "x");
    TGridColumnItem loose(nullptr);
    EXPECT_EQ(loose.Ints(1), 0);
    loose.SetInts(1, 7); // no grid: nothing happens
    FormatSettings().DecimalSeparator = saved;
}

TEST(GridSwitches, ChangeScaleScalesSizesAndFonts) {
    TQorColumnGrid g(nullptr);
    g.SetColWidths(1, 100);
    g.FixedFont()->SetSize(8);
    g.Columns()->Items(1)->Font()->SetSize(9);
    g.Columns()->Items(1)->HeaderFont()->SetSize(10);
    g.ChangeScale(3, 2);
    EXPECT_EQ(g.ColWidths(1), 150);
    EXPECT_EQ(g.RowHeights(1), 33);
    EXPECT_EQ(g.FixedFont()->Size(), 12);
    EXPECT_EQ(g.Columns()->Items(1)->Font()->Size(), 14) << "13.5 to the even neighbour";
    EXPECT_EQ(g.Columns()->Items(1)->HeaderFont()->Size(), 15);
    g.ChangeScale(2, 2);
    EXPECT_EQ(g.ColWidths(1), 150);
}

} // namespace
