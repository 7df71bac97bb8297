#include "grid/core/QorColumnGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "platform/base/FormatSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

class TypedAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        g.SetColCount(4);
        g.SetRowCount(6);
    }
    void TearDown() override { ResetFormatSettings(); }
    TQorStringGrid g{nullptr};
};

TEST_F(TypedAccessTest, IntsReadMarkupFreeTrimmedTextOrRaise) {
    struct Case {
        const char* text;
        std::optional<int> expected; // nullopt: raises
    };
    const Case cases[] = {
        {"", 0},    {"-", 0},    {" 42 ", 42}, {"<b>7</b>", 7},     {"-13", -13},
        {"4x", {}}, {"1.5", {}}, {"$1F", 31},  {"99999999999", {}},
    };
    for (const auto& c : cases) {
        g.SetCells(1, 1, c.text);
        if (c.expected) {
            EXPECT_EQ(g.Ints(1, 1), *c.expected) << c.text;
            continue;
        }
        try {
            g.Ints(1, 1);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const EQorGridError& e) {
            EXPECT_EQ(e.Message(), "Cell does not contain integer value") << c.text;
        }
    }
    // The stored-text reader keeps the markup, which is no integer.
    g.SetCells(1, 1, "<b>7</b>");
    EXPECT_THROW(g.AllInts(1, 1), EQorGridError);
}

TEST_F(TypedAccessTest, FloatsExtractTheNumberOrRaise) {
    struct Case {
        const char* text;
        char thousands;
        char decimal;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"(12.5)", ',', '.', -12.5},
        {"USD 3.5", ',', '.', 3.5},
        {"E3", ',', '.', 3000},
        {"-e2", ',', '.', -200},
        {"E", ',', '.', {}},
        {"1,234.5", ',', '.', 1234.5},
        {"x", ',', '.', 0},
        {"", ',', '.', 0},
        {"-", ',', '.', 0},
        {"1.234,5", '.', ',', 1234.5},
        {"<i>2.25</i>", ',', '.', 2.25},
        {"1.2.3", ',', '.', {}},
        {"5e", ',', '.', {}},
    };
    for (const auto& c : cases) {
        FormatSettings().ThousandSeparator = c.thousands;
        FormatSettings().DecimalSeparator = c.decimal;
        g.SetCells(2, 2, c.text);
        if (c.expected) {
            EXPECT_DOUBLE_EQ(g.Floats(2, 2), *c.expected) << c.text;
            continue;
        }
        try {
            g.Floats(2, 2);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const EQorGridError& e) {
            EXPECT_EQ(e.Message(), "Cell does not contain a float value") << c.text;
        }
    }
}

TEST_F(TypedAccessTest, WritesUseDecimalTextAndTheFloatFormat) {
    g.SetInts(1, 2, -7);
    EXPECT_EQ(g.Cells(1, 2), "-7");
    g.SetFloatFormat("%.2f");
    g.SetFloats(1, 3, 2.5);
    EXPECT_EQ(g.Cells(1, 3), "2.50");
    // Hidden rows are written through their stored cells.
    g.SetCells(1, 4, "a");
    g.HideRow(3);
    g.SetAllFloats(1, 3, 1.25);
    g.SetAllInts(1, 4, 9);
    g.UnHideRowsAll();
    EXPECT_EQ(g.Cells(1, 3), "1.25");
    EXPECT_EQ(g.Cells(1, 4), "9");
    EXPECT_DOUBLE_EQ(g.AllFloats(1, 3), 1.25);
}

TEST_F(TypedAccessTest, ColumnFloatFormatWinsForItsColumn) {
    TQorColumnGrid cg(nullptr);
    cg.SetColCount(3);
    cg.Columns()->Items(1)->SetFloatFormat("%.3f");
    cg.SetFloats(1, 1, 1.5);
    cg.SetFloats(2, 1, 1.5);
    EXPECT_EQ(cg.Cells(1, 1), "1.500");
    EXPECT_EQ(cg.Cells(2, 1), "1.50");
}

TEST_F(TypedAccessTest, CellTypeAndRowCheckBoxOfColumnZero) {
    EXPECT_EQ(g.CellTypes(1, 1), ctEmpty);
    EXPECT_EQ(g.CellTypes(-1, 1), ctEmpty);
    g.AddButton(2, 1, 20, 10, "go", haLeft, vaTop);
    EXPECT_EQ(g.CellTypes(2, 1), ctButton);
    g.MouseActions()->SetHotmailRowSelect(true);
    EXPECT_EQ(g.CellTypes(0, 3), ctRowCheckBox);
    g.SetRowSelect(3, true);
    EXPECT_TRUE(g.CellGraphics(0, 3)->CellBoolean());
    EXPECT_FALSE(g.CellGraphics(0, 2)->CellBoolean());
    // Row 0 shows some (angle 1) or all rows selected.
    EXPECT_EQ(g.CellGraphics(0, 0)->CellAngle(), 1);
    for (int r = 1; r < 6; ++r) g.SetRowSelect(r, true);
    EXPECT_EQ(g.CellGraphics(0, 0)->CellAngle(), 0);
    EXPECT_TRUE(g.CellGraphics(0, 0)->CellBoolean());
}

TEST_F(TypedAccessTest, GraphicSizes) {
    TImageList images;
    images.SetSize(16, 12);
    g.SetGridImages(&images);
    g.SetColWidths(1, 80);
    g.SetRowHeights(1, 30);
    TBitmap bmp(10, 8);
    struct Case {
        std::function<void()> add;
        const char* text;
        TPoint expected;
    };
    auto* rg = &g;
    const Case cases[] = {
        {[&] { rg->AddBitmap(1, 1, &bmp, false, haLeft, vaTop); }, "", {10, 8}},
        {[&] { rg->AddBitmap(1, 1, &bmp, false, haLeft, vaTop); }, "t", {0, 0}},
        {[&] { rg->AddBitmap(1, 1, &bmp, false, haBeforeText, vaTop); }, "t", {10, 0}},
        {[&] { rg->AddBitmap(1, 1, &bmp, false, haLeft, vaUnderText); }, "t", {0, 8}},
        {[&] { rg->AddImageIdx(1, 1, 0, haAfterText, vaTop); }, "t", {16, 0}},
        {[&] { rg->AddCheckBox(1, 1, true, false); }, "", {15, 15}},
        {[&] { rg->AddRadioButton(1, 1, true); }, "", {10, 10}},
        {[&] { rg->AddProgressPie(1, 1, clRed, 5); }, "", {20, 20}},
        {[&] { rg->AddRating(1, 1, 5, clRed, clGray); }, "", {90, 16}},
        {[&] { rg->AddButton(1, 1, 40, 18, "b", haLeft, vaTop); }, "", {40, 18}},
        {[&] { rg->AddButton(1, 1, 40, 18, "b", haCenter, vaTop); }, "t", {0, 0}},
        {[&] { rg->AddButton(1, 1, 40, 18, "b", haLeft, vaFull); }, "", {40, 30}},
        {[&] { rg->AddShape(1, 1, csCircle, clRed, clBlack, haFull, vaTop); }, "", {80, 0}},
        {[&] { rg->AddComment(1, 1, "c"); }, "", {0, 0}},
    };
    for (const auto& c : cases) {
        g.SetCells(1, 1, c.text);
        c.add();
        EXPECT_EQ(g.CellGraphicSize(1, 1), c.expected) << int(g.CellTypes(1, 1)) << c.text;
    }
    g.SetGridImages(nullptr);
    g.SetCells(1, 1, "");
    g.AddMultiImage(1, 1, 0, haLeft, vaTop); // without an image list: nothing
    EXPECT_EQ(g.CellTypes(1, 1), ctComment);
}

TEST_F(TypedAccessTest, PrintColumnMetricsRange) {
    g.MaxWidths()[511] = 40;
    g.Indents()[3] = 7;
    EXPECT_EQ(g.PrintColWidth(511), 40);
    EXPECT_EQ(g.PrintColOffset(3), 7);
    for (int bad : {512, -1}) {
        try {
            g.PrintColWidth(bad);
            ADD_FAILURE() << bad;
        } catch (const EQorGridError& e) {
            EXPECT_EQ(e.Message(), "Columns is not in valid range");
        }
        EXPECT_THROW(g.PrintColOffset(bad), EQorGridError);
    }
}

TEST_F(TypedAccessTest, HeaderListsFillOnlyExistingCellsWithLineBreaks) {
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    g.SetCells(3, 0, "old");
    TStringList headers;
    for (const char* h : {"a", "b\\nc", "d", "e", "f", "g"}) headers.Add(h);
    g.SetColumnHeaders(&headers);
    EXPECT_EQ(g.Cells(1, 0), "b\rc");
    EXPECT_EQ(g.Cells(3, 0), "e");
    EXPECT_EQ(g.ColCount(), 4);
    g.ColumnHeaders()->Put(3, "x");
    EXPECT_EQ(g.Cells(3, 0), "x");
    g.SetFixedRows(0);
    g.ClearColumnHeaders();
    g.ColumnHeaders()->Put(3, "y");
    EXPECT_EQ(g.Cells(3, 0), ""); // no fixed row: nothing shown
    g.SetRowHeaders(&headers);
    EXPECT_EQ(g.Cells(0, 5), "g");
    g.SetLookupItems(nullptr);
    g.SetLookupItems(&headers);
    g.SetLookupItems(nullptr);
    EXPECT_EQ(g.LookupItems()->Count(), 6);
}

TEST_F(TypedAccessTest, DisplayedTextLinksTheFirstURLAndCountsGroupRows) {
    g.SetCells(1, 1, "see www.x.com now");
    g.SetCells(1, 2, "www.c.d or http://a.b");
    EXPECT_EQ(g.Cells(1, 1), "see www.x.com now");
    g.SetURLShowInText(true);
    EXPECT_EQ(g.Cells(1, 1), "see <a href=\"www.x.com\">www.x.com</a> now");
    EXPECT_EQ(g.Cells(1, 2), "www.c.d or <a href=\"http://a.b\">http://a.b</a>");
    EXPECT_EQ(g.GridCells(1, 1), "see www.x.com now");
    g.SetURLShowInText(false);

    TCellGraphic* node = g.NewCellGraphic(0, 1);
    node->SetCellType(ctNode);
    node->SetCellIndex(4);   // the node and three rows
    node->SetCellErrFrom(1); // one of them a sub-node
    g.SetCells(1, 1, "Group");
    EXPECT_EQ(g.Cells(1, 1), "Group");
    g.Grouping()->SetShowGroupCount(true);
    EXPECT_EQ(g.Cells(1, 1), "Group (2)");
    EXPECT_EQ(g.Cells(2, 1), "");
    g.Grouping()->SetGroupCountFormat(" [%d]");
    EXPECT_EQ(g.Cells(1, 1), "Group [2]");
}

TEST_F(TypedAccessTest, FreedImageListLeavesGridImagesNil) {
    auto images = std::make_unique<TImageList>();
    g.SetGridImages(images.get());
    images.reset();
    EXPECT_EQ(g.GridImages(), nullptr);
}

} // namespace
