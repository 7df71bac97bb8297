#include "grid/core/QorStringGrid.h"

#include <gtest/gtest.h>

namespace {

TEST(CellMeasureTest, AlignmentOfNumbersPropertiesAndHook) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetCells(1, 1, "1.5");
    g.SetCells(2, 1, "abc");
    g.SetCells(3, 1, " 42 ");
    g.SetCells(1, 2, "=1+1");
    g.SetCells(2, 2, "7");
    g.SetAlignments(2, 2, taCenter);
    struct Case {
        bool autoNum;
        int c, r;
        TAlignment ha;
    };
    const Case cases[] = {
        {true, 1, 1, taRightJustify}, {true, 2, 1, taLeftJustify}, {true, 3, 1, taRightJustify},
        {true, 1, 2, taLeftJustify},  {true, 2, 2, taCenter},      {false, 1, 1, taLeftJustify},
    };
    for (const auto& k : cases) {
        g.SetAutoNumAlign(k.autoNum);
        TAlignment ha;
        TVAlignment va;
        g.GetCellAlignment(k.c, k.r, ha, va);
        EXPECT_EQ(ha, k.ha) << k.c << "," << k.r;
        EXPECT_EQ(va, vtaTop);
    }
    g.OnGetAlignment = [](TObject*, int ARow, int ACol, TAlignment& HA, TVAlignment& VA) {
        if (ARow == 1 && ACol == 2) {
            HA = taCenter;
            VA = vtaBottom;
        }
    };
    TAlignment ha;
    TVAlignment va;
    g.GetCellAlignment(2, 1, ha, va);
    EXPECT_EQ(ha, taCenter);
    EXPECT_EQ(va, vtaBottom);
}

TEST(CellMeasureTest, UsedCells) {
    TQorStringGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(6);
    EXPECT_EQ(g.UsedCells(), TRect(0, 0, 0, 0));
    g.SetCells(2, 3, "x");
    g.SetCells(4, 1, "y");
    EXPECT_EQ(g.UsedCells(), TRect(2, 1, 4, 3));
}

TEST(CellMeasureTest, TextSizeOfPlainAndMarkupCells) {
    TQorStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetColWidths(1, 200);
    TCanvas canvas(nullptr);
    canvas.Font()->Assign(g.Font());
    const int gh = canvas.TextHeight("gh");

    g.SetCells(1, 1, "a\r\nbb");
    TSize s = g.GetCellTextSize(1, 1, false, false);
    EXPECT_EQ(s.cx, canvas.TextWidth("bb"));
    EXPECT_EQ(s.cy, 2 * gh);

    g.SetCells(1, 2, "<B>bold</B> text");
    s = g.GetCellTextSize(1, 2, false, false);
    TFontStyles bold{fsBold};
    canvas.Font()->SetStyle(bold);
    const int boldWidth = canvas.TextWidth("bold");
    canvas.Font()->SetStyle(TFontStyles());
    EXPECT_EQ(s.cx, boldWidth + canvas.TextWidth(" text") + 2);
    EXPECT_EQ(s.cy, gh + 2);

    // Wrapped in the cell's width: a long text takes more lines.
    g.SetCells(1, 3, "one two three four five six seven eight nine ten eleven twelve");
    const TSize flat = g.GetCellTextSize(1, 3, false, false);
    const TSize wrapped = g.GetCellTextSize(1, 3, true, false);
    EXPECT_EQ(flat.cy, gh);
    EXPECT_GT(wrapped.cy, gh);
    EXPECT_LE(wrapped.cx, 200);

    // The cell's own font counts.
    g.SetFontSizes(1, 1, 20);
    EXPECT_GT(g.GetCellTextSize(1, 1, false, false).cy, 2 * gh);
}

} // namespace
