#include "grid/core/QorStringGrid.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CellAccessTest, PerCellRoundTripsAndDefaults) {
    TQorStringGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(6);
    // Reads of cells never written answer the defaults and make no properties.
    EXPECT_EQ(g.Colors(2, 2), clNone);
    EXPECT_EQ(g.ColorsTo(2, 2), clNone);
    EXPECT_EQ(g.FontColors(2, 2), clNone);
    EXPECT_TRUE(g.FontStyles(2, 2).Empty());
    EXPECT_EQ(g.FontNames(2, 2), "");
    EXPECT_EQ(g.FontSizes(2, 2), 0);
    EXPECT_EQ(g.Alignments(2, 2), taLeftJustify);
    EXPECT_FALSE(g.ReadOnly(2, 2));
    EXPECT_EQ(g.Gradients(2, 2), GradientVertical);
    EXPECT_EQ(g.CellControls(2, 2), nullptr);
    EXPECT_FALSE(g.HasCellProperties(2, 2));
    g.WordWraps(2, 2);
    EXPECT_TRUE(g.HasCellProperties(2, 2));

    g.SetColors(1, 1, clRed);
    g.SetColorsTo(1, 1, clBlue);
    g.SetFontColors(1, 1, clGreen);
    g.SetFontStyles(1, 1, TFontStyles{fsBold});
    g.SetFontNames(1, 1, "Courier New");
    g.SetFontSizes(1, 1, 12);
    g.SetAlignments(1, 1, taCenter);
    g.SetReadOnly(1, 1, true);
    g.SetWordWraps(1, 1, true);
    g.SetGradients(1, 1, GradientHorizontal);
    EXPECT_EQ(g.Colors(1, 1), clRed);
    EXPECT_EQ(g.ColorsTo(1, 1), clBlue);
    EXPECT_EQ(g.FontColors(1, 1), clGreen);
    EXPECT_EQ(g.FontStyles(1, 1), TFontStyles{fsBold});
    EXPECT_EQ(g.FontNames(1, 1), "Courier New");
    EXPECT_EQ(g.FontSizes(1, 1), 12);
    EXPECT_EQ(g.Alignments(1, 1), taCenter);
    EXPECT_TRUE(g.ReadOnly(1, 1));
    EXPECT_TRUE(g.WordWraps(1, 1));
    EXPECT_EQ(g.Gradients(1, 1), GradientHorizontal);
    // Neighbours are untouched.
    EXPECT_EQ(g.Colors(1, 2), clNone);
    EXPECT_EQ(g.Colors(2, 1), clNone);

    TFont f;
    f.SetName("Arial");
    f.SetSize(14);
    f.SetStyle({fsItalic});
    f.SetColor(clMaroon);
    g.SetFonts(3, 3, &f);
    EXPECT_EQ(g.FontNames(3, 3), "Arial");
    EXPECT_EQ(g.FontSizes(3, 3), 14);
    EXPECT_EQ(g.FontStyles(3, 3), TFontStyles{fsItalic});
    EXPECT_EQ(g.FontColors(3, 3), clMaroon);

    g.SetCells(1, 4, "<B>x</B><BR>y");
    EXPECT_EQ(g.StrippedCells(1, 4), "x\r\ny");
    g.SetCells(2, 4, "a\r\nb\r\nc");
    EXPECT_EQ(g.LinesInCell(2, 4), 3);
    EXPECT_EQ(g.LinesInCell(3, 4), 1);
}

TEST(CellAccessTest, RowColoursResetOnlyTheirField) {
    TQorStringGrid g(nullptr);
    g.SetColCount(5);
    g.SetRowCount(4);
    g.SetFixedCols(1);
    g.SetAlignments(2, 1, taRightJustify);
    g.SetFontColors(3, 1, clBlue);
    g.SetRowColor(1, clYellow);
    for (int c = 1; c < 5; ++c) EXPECT_EQ(g.Colors(c, 1), clYellow) << c;
    EXPECT_EQ(g.Colors(0, 1), clNone); // fixed column left alone
    g.SetRowColorTo(1, clRed);
    EXPECT_EQ(g.ColorsTo(4, 1), clRed);
    g.SetRowFontColor(1, clGreen);
    EXPECT_EQ(g.FontColors(2, 1), clGreen);

    g.SetRowColor(1, clNone);
    g.SetRowColorTo(1, clNone);
    for (int c = 1; c < 5; ++c) EXPECT_EQ(g.Colors(c, 1), clNone) << c;
    EXPECT_EQ(g.ColorsTo(4, 1), clNone);
    EXPECT_EQ(g.Alignments(2, 1), taRightJustify);
    EXPECT_EQ(g.FontColors(3, 1), clGreen);
    g.SetColors(3, 1, clAqua);
    g.SetRowFontColor(1, clNone);
    EXPECT_EQ(g.FontColors(3, 1), clNone);
    EXPECT_EQ(g.Colors(3, 1), clAqua);
    EXPECT_EQ(g.Alignments(2, 1), taRightJustify);
    // A row without properties gets none from clNone.
    g.SetRowColor(2, clNone);
    EXPECT_FALSE(g.HasCellProperties(2, 2));
}

TEST(CellAccessTest, CellControlsKeepTheirCount) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(4);
    TEdit a(nullptr), b(nullptr);
    g.SetCellControls(1, 1, &a);
    EXPECT_EQ(g.NumCellControls(), 1);
    EXPECT_EQ(g.CellControls(1, 1), &a);
    EXPECT_EQ(a.Parent(), &g);
    const TRect r = g.CellRect(1, 1);
    EXPECT_EQ(a.Left(), r.Left - 1);
    EXPECT_EQ(a.Top(), r.Top - 1);
    EXPECT_EQ(a.Width(), r.Width() + 1);
    g.SetCellControls(1, 1, &b);
    EXPECT_EQ(g.NumCellControls(), 1);
    EXPECT_EQ(g.CellControlList().Count(), 1);
    g.SetCellControls(1, 1, nullptr);
    EXPECT_EQ(g.NumCellControls(), 0);
    EXPECT_EQ(g.CellControlList().Count(), 0);
    EXPECT_EQ(g.CellControls(1, 1), nullptr);
    g.SetCellControls(2, 2, nullptr);
    EXPECT_EQ(g.NumCellControls(), 0);
    EXPECT_TRUE(g.HasCellProperties(2, 2));
    b.SetParent(nullptr);
    a.SetParent(nullptr);
}

TEST(CellAccessTest, HiddenRowsThroughTheAllAccessors) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(6);
    TObject obj, other;
    g.SetCells(1, 3, "three");
    g.SetObjects(2, 3, &obj);
    g.HideRow(3);
    g.HideRow(4); // a row with nothing in it
    EXPECT_EQ(g.AllGridCells(1, 3), "three");
    EXPECT_EQ(g.AllObjects(2, 3), &obj);
    EXPECT_EQ(g.AllObjects(1, 3), nullptr);
    g.SetAllGridCells(3, 3, "new");
    g.SetAllObjects(2, 3, &other);
    g.SetAllObjects(1, 4, &obj);
    g.SetAllGridCells(2, 4, "four");
    EXPECT_EQ(g.AllGridCells(3, 3), "new");
    EXPECT_EQ(g.AllObjects(2, 3), &other);
    EXPECT_EQ(g.AllObjects(1, 4), &obj);
    EXPECT_EQ(g.AllGridCells(2, 4), "four");
    // Shown rows go through the display row.
    g.SetAllGridCells(1, 5, "five");
    EXPECT_EQ(g.GridCells(1, 3), "five");
    EXPECT_EQ(g.AllObjects(2, 5), nullptr);
    g.UnHideRowsAll();
    EXPECT_EQ(g.Cells(3, 3), "new");
    EXPECT_EQ(g.Objects(2, 3), &other);
    EXPECT_EQ(g.Objects(1, 4), &obj);
    EXPECT_EQ(g.Cells(2, 4), "four");
    EXPECT_EQ(g.Cells(1, 5), "five");
}

} // namespace
