#include "grid/core/base/BaseGrid.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

TObject* MakeProbeCellGraphic(bool* destroyed);

namespace {

class TestBaseGrid : public TBaseGrid {
public:
    using TBaseGrid::FHideLastRow;
    using TBaseGrid::FHoverRowIdx;
    using TBaseGrid::FNormalRowCount;
    using TBaseGrid::TBaseGrid;
    std::map<std::pair<int, int>, int> contentPaints;
    void key(WORD vk) {
        TMessage m{WM_KEYDOWN, vk, 0, 0};
        DeliverMessage(this, m);
    }

protected:
    void DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect,
                      TGridDrawState AState) override {
        ++contentPaints[{ACol, ARow}];
        TBaseGrid::DrawGridCell(Canvas, ACol, ARow, ARect, AState);
    }
};

// An object that reports its destruction.
struct Probe : TObject {
    explicit Probe(bool* d) : destroyed(d) {}
    ~Probe() override { *destroyed = true; }
    bool* destroyed;
};

// 6 x 8 cells of 40 x 20 pixels, one fixed row and column, display hooks on every row.
class CellStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid = std::make_unique<TestBaseGrid>(nullptr);
        grid->SetColCount(6);
        grid->SetRowCount(8);
        grid->SetDefaultColWidth(40);
        grid->SetDefaultRowHeight(20);
        grid->SetBounds(0, 0, 300, 200);
        grid->FNormalRowCount = grid->RowCount();
        grid->HandleNeeded();
    }
    std::unique_ptr<TestBaseGrid> grid;
};

TEST_F(CellStoreTest, DisplayHookReplacesReadTextButNotTheStoredOne) {
    grid->SetCells(2, 3, "stored");
    std::vector<std::pair<int, int>> seen;
    grid->OnGetDisplText = [&](TObject*, int c, int r, std::string& v) {
        seen.push_back({c, r});
        v = "shown " + v;
    };
    EXPECT_EQ(grid->Cells(2, 3), "shown stored");
    EXPECT_EQ(grid->GridCells(2, 3), "stored");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (std::pair<int, int>{2, 3}));

    grid->FNormalRowCount = 3;
    EXPECT_EQ(grid->Cells(2, 3), "stored") << "work rows bypass the hooks";
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(CellStoreTest, WideDisplayHookAnswersPackedText) {
    grid->SetCells(1, 1, "abc");
    grid->OnGetDisplWideText = [](TObject*, int, int, std::u16string&) {};
    EXPECT_EQ(grid->Cells(1, 1), std::string("|\\") + std::string("\0a\0b\0c", 6));
    grid->OnGetDisplWideText = [](TObject*, int, int, std::u16string& v) { v = u"\u00e9"; };
    EXPECT_EQ(grid->Cells(1, 1), std::string("|\\") + std::string("\0", 1) + "\xc3\xa9");
}

TEST_F(CellStoreTest, ObjectsLiveInTheCellProperties) {
    EXPECT_EQ(grid->Objects(2, 2), nullptr);
    EXPECT_FALSE(grid->HasCellProperties(2, 2)) << "reading creates nothing";
    TObject user;
    grid->SetObjects(2, 2, &user);
    EXPECT_EQ(grid->Objects(2, 2), &user);
    EXPECT_EQ(grid->GridCells(2, 2), "");
    ASSERT_TRUE(grid->HasCellProperties(2, 2));
    EXPECT_EQ(grid->GridObjects(2, 2), grid->CellProperties(2, 2));
    EXPECT_EQ(grid->CellProperties(2, 2)->CellObject(), &user);
    EXPECT_FALSE(grid->HasCellProperties(99, 2));
    EXPECT_THROW(grid->SetObjects(99, 2, &user), EInvalidGridOperation)
        << "properties outside the grid could never be freed";

    TCellProperties* same = grid->CellProperties(2, 2);
    grid->SetCellProperties(2, 2, same);
    EXPECT_EQ(grid->CellProperties(2, 2)->CellObject(), &user)
        << "storing the same object keeps it";
    grid->SetCellProperties(2, 2, nullptr);
    EXPECT_FALSE(grid->HasCellProperties(2, 2));
}

TEST_F(CellStoreTest, NewPropertiesStartWithTheGridLook) {
    grid->Font()->SetName("Arial");
    grid->SetColor(clYellow);
    grid->SetWordWrap(false);
    TCellProperties* p = grid->CellProperties(1, 1);
    EXPECT_EQ(p->FontName(), "Arial");
    EXPECT_EQ(p->BrushColor(), clYellow);
    EXPECT_EQ(p->BrushColorTo(), clNone);
    EXPECT_FALSE(p->WordWrap());
    EXPECT_EQ(p->Alignment(), taLeftJustify);
    EXPECT_EQ(p->VAlignment(), vtaTop);
    EXPECT_EQ(p->CellSpanX(), -1);
    EXPECT_TRUE(p->IsBaseCell());
    EXPECT_EQ(p->OwnerCol(), 1);
    EXPECT_EQ(p->OwnerRow(), 1);

    grid->SetWordWrap(true);
    TCellProperties own(grid.get(), 0, 0);
    EXPECT_TRUE(own.WordWrap()) << "a properties object starts with its grid's word wrap";
}

TEST_F(CellStoreTest, FreeingPropertiesFreesTheirCellGraphicOnly) {
    bool cellGraphicGone = false, otherGone = false, userGone = false;
    grid->SetGraphicObjects(1, 1, MakeProbeCellGraphic(&cellGraphicGone));
    Probe other(&otherGone);
    grid->SetGraphicObjects(2, 1, &other);
    Probe user(&userGone);
    grid->SetObjects(3, 1, &user);
    grid->FreeCellPropertiesRect(1, 1, 3, 1);
    EXPECT_TRUE(cellGraphicGone);
    EXPECT_FALSE(otherGone) << "a graphic of another class belongs to someone else";
    EXPECT_FALSE(userGone);
    EXPECT_FALSE(grid->HasCellProperties(1, 1));

    cellGraphicGone = false;
    grid->SetGraphicObjects(4, 4, MakeProbeCellGraphic(&cellGraphicGone));
    grid->FreeCellProperties(4, 4);
    EXPECT_TRUE(cellGraphicGone) << "freeing one cell's properties frees its graphic too";

    cellGraphicGone = false;
    grid->SetGraphicObjects(4, 5, MakeProbeCellGraphic(&cellGraphicGone));
    grid.reset();
    EXPECT_TRUE(cellGraphicGone) << "the grid frees every cell's properties";
}

TEST_F(CellStoreTest, MergedAreaRedirectsToItsBaseCell) {
    grid->MergeCells(1, 1, 3, 2);
    EXPECT_EQ(grid->MergeCount(), 1);
    TCellProperties* base = grid->CellProperties(1, 1);
    EXPECT_TRUE(base->IsBaseCell());
    EXPECT_EQ(base->CellSpanX(), 2);
    EXPECT_EQ(base->CellSpanY(), 1);
    TCellProperties* last = grid->CellProperties(3, 2);
    EXPECT_FALSE(last->IsBaseCell());
    EXPECT_EQ(last->CellSpanX(), 2);
    EXPECT_EQ(last->CellSpanY(), 1);
    EXPECT_EQ(grid->BaseCell(3, 2), TPoint(1, 1));
    EXPECT_EQ(grid->CellExt(2, 1), TPoint(1, 1));
    EXPECT_EQ(grid->FullCell(3, 2), Rect(1, 1, 3, 2));
    int merged = 0, nonBase = 0, xMerged = 0, yMerged = 0;
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c) {
            merged += grid->IsMergedCell(c, r);
            nonBase += grid->IsMergedNonBaseCell(c, r);
            xMerged += grid->IsXMergedCell(c, r);
            yMerged += grid->IsYMergedCell(c, r);
        }
    EXPECT_EQ(merged, 6);
    EXPECT_EQ(nonBase, 5);
    EXPECT_EQ(xMerged, 6);
    EXPECT_EQ(yMerged, 6);

    grid->SetCells(3, 2, "area");
    EXPECT_EQ(grid->GridCells(1, 1), "area");
    EXPECT_EQ(grid->GridCells(3, 2), "");
    EXPECT_EQ(grid->Cells(2, 1), "area");
    EXPECT_EQ(grid->CellRect(2, 2), Rect(40, 20, 160, 60)) << "the whole area";

    last->SetReadOnly(true);
    grid->SplitCells(2, 2);
    EXPECT_EQ(grid->MergeCount(), 0);
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c) {
            EXPECT_TRUE(grid->IsBaseCell(c, r));
            EXPECT_EQ(grid->CellSpan(c, r), TPoint(0, 0));
            EXPECT_EQ(grid->CellProperties(c, r)->CellSpanX(), -1);
        }
    EXPECT_TRUE(last->ReadOnly()) << "splitting keeps the other properties";
}

TEST_F(CellStoreTest, MergeRefusesBadAreasAndCountsOnlyRealMerges) {
    struct Case {
        int c, r, sx, sy;
        const char* what;
    };
    const Case refused[] = {
        {4, 6, 3, 1, "beyond the grid"}, {-1, 1, 2, 2, "left of the grid"},
        {1, 1, 0, 2, "no columns"},      {1, 1, 2, -1, "no rows"},
        {2, 2, 2, 2, "over an area"},
    };
    grid->MergeCells(1, 1, 2, 2);
    for (const Case& c : refused)
        EXPECT_THROW(grid->MergeCells(c.c, c.r, c.sx, c.sy), EInvalidGridOperation) << c.what;
    EXPECT_EQ(grid->MergeCount(), 1);
    EXPECT_FALSE(grid->HasCellProperties(4, 6)) << "a refused merge changes nothing";
    EXPECT_EQ(grid->BaseCell(2, 2), TPoint(1, 1));
    EXPECT_FALSE(grid->HasCellProperties(3, 3));

    grid->SplitCells(4, 4);
    EXPECT_EQ(grid->MergeCount(), 1) << "splitting a plain cell counts nothing";
    EXPECT_FALSE(grid->HasCellProperties(4, 4));

    grid->MergeCells(4, 4, 1, 1);
    EXPECT_EQ(grid->MergeCount(), 1) << "a single cell is no merge";
    EXPECT_FALSE(grid->IsMergedCell(4, 4));
    EXPECT_FALSE(grid->HasCellProperties(4, 4));
    EXPECT_EQ(grid->CellSpan(4, 4), TPoint(0, 0));
}

// Each step lets a cell with properties and a cell graphic leave the grid (or not).
TEST_F(CellStoreTest, CellsLeavingTheGridFreeTheirPropertiesAndGraphics) {
    struct Case {
        const char* what;
        int c, r;
        std::function<void(TestBaseGrid&)> step;
        bool leaves;
    };
    const Case cases[] = {
        {"lower row count", 2, 7, [](TestBaseGrid& g) { g.SetRowCount(6); }, true},
        {"deleted row", 2, 3, [](TestBaseGrid& g) { g.DeleteRow(3); }, true},
        {"deleted rows", 2, 3, [](TestBaseGrid& g) { g.DeleteRows(2, 3); }, true},
        {"deleted column", 2, 3, [](TestBaseGrid& g) { g.DeleteColumn(2); }, true},
        {"lower column count", 5, 3, [](TestBaseGrid& g) { g.SetColCount(4); }, true},
        {"cleared row", 2, 3, [](TestBaseGrid& g) { g.ClearRow(3); }, true},
        {"cleared cell", 2, 3, [](TestBaseGrid& g) { g.ClearCell(2, 3); }, true},
        {"moved row", 2, 3, [](TestBaseGrid& g) { g.MoveRow(3, 6); }, false},
        {"exchanged rows", 2, 3, [](TestBaseGrid& g) { g.ExchangeRows(3, 1); }, false},
    };
    for (const Case& c : cases) {
        SetUp();
        bool gone = false;
        grid->SetGraphicObjects(c.c, c.r, MakeProbeCellGraphic(&gone));
        grid->SetGridCells(c.c, c.r, "text");
        c.step(*grid);
        EXPECT_EQ(gone, c.leaves) << c.what;
        grid->SetColCount(6);
        grid->SetRowCount(8);
        int found = 0;
        for (int r = 0; r < 8; ++r)
            for (int col = 0; col < 6; ++col)
                found += grid->HasCellProperties(col, r) + (grid->GridCells(col, r) == "text");
        EXPECT_EQ(found, c.leaves ? 0 : 2) << c.what << ": cells that left do not come back";
        grid.reset();
        EXPECT_TRUE(gone) << c.what;
    }
}

TEST_F(CellStoreTest, MergedAreasLeaveWholeOrAreSplit) {
    struct Case {
        const char* what;
        TRect area; // base column, base row, columns, rows
        std::function<void(TestBaseGrid&)> step;
        int merges; // merges left
    };
    const Case cases[] = {
        {"its row deleted", {1, 2, 2, 1}, [](TestBaseGrid& g) { g.DeleteRow(2); }, 0},
        {"its rows deleted", {1, 2, 2, 2}, [](TestBaseGrid& g) { g.DeleteRows(1, 3); }, 0},
        {"cut by a lower row count", {1, 6, 2, 2}, [](TestBaseGrid& g) { g.SetRowCount(7); }, 0},
        {"partly deleted rows", {1, 1, 2, 2}, [](TestBaseGrid& g) { g.DeleteRows(2, 3); }, 0},
        {"its column deleted", {2, 1, 1, 2}, [](TestBaseGrid& g) { g.DeleteColumn(2); }, 0},
        {"cut by a lower column count", {4, 1, 2, 1}, [](TestBaseGrid& g) { g.SetColCount(5); }, 0},
        {"another column deleted", {1, 1, 2, 1}, [](TestBaseGrid& g) { g.DeleteColumn(4); }, 1},
        {"rows below deleted", {1, 1, 2, 2}, [](TestBaseGrid& g) { g.DeleteRows(4, 2); }, 1},
    };
    for (const Case& c : cases) {
        SetUp();
        grid->MergeCells(c.area.Left, c.area.Top, c.area.Right, c.area.Bottom);
        c.step(*grid);
        EXPECT_EQ(grid->MergeCount(), c.merges) << c.what;
        int merged = 0;
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int col = 0; col < grid->ColCount(); ++col) merged += grid->IsMergedCell(col, r);
        EXPECT_EQ(merged, c.merges ? c.area.Right * c.area.Bottom : 0) << c.what;
    }
}

// A grid class that keeps real columns past ColCount, as hidden columns do.
class WiderGrid : public TestBaseGrid {
public:
    using TestBaseGrid::TestBaseGrid;
    int TotalColCount() const override { return ColCount() + 2; }
};

TEST_F(CellStoreTest, DestroyingTheGridFreesPropertiesOfEveryRealColumn) {
    bool gone = false;
    auto wide = std::make_unique<WiderGrid>(nullptr);
    wide->SetColCount(3);
    wide->SetGraphicObjects(4, 1, MakeProbeCellGraphic(&gone));
    wide.reset();
    EXPECT_TRUE(gone) << "the base grid's destructor does not rely on the descendant's count";
}

TEST_F(CellStoreTest, WritingACellWithATextOfItsOwnRow) {
    grid->SetGridCells(1, 2, std::string(40, 'x'));
    grid->SetGridCells(40, 2, grid->GridCells(1, 2)); // the row grows while the text is read
    EXPECT_EQ(grid->GridCells(40, 2), std::string(40, 'x'));
    grid->SetGridCells(1, 2, grid->GridCells(1, 2));
    EXPECT_EQ(grid->GridCells(1, 2), std::string(40, 'x'));
    grid->SetCells(3, 2, grid->GridCells(40, 2));
    EXPECT_EQ(grid->Cells(3, 2), std::string(40, 'x'));
}

TEST_F(CellStoreTest, MovesCarryMergedAreasAndSplitThoseTheyWouldTear) {
    struct Case {
        const char* what;
        TRect area; // base column, base row, columns, rows
        std::function<void(TestBaseGrid&)> move;
        TPoint cell, base; // a cell of the area after the move and its base; (-1, -1): split
    };
    const Case cases[] = {
        {"one-row area moves with its row",
         {1, 2, 2, 1},
         [](TestBaseGrid& g) { g.MoveRow(2, 5); },
         {2, 5},
         {1, 5}},
        {"area between shifts whole",
         {1, 3, 2, 2},
         [](TestBaseGrid& g) { g.MoveRow(1, 6); },
         {2, 3},
         {1, 2}},
        {"area outside stays",
         {1, 5, 2, 2},
         [](TestBaseGrid& g) { g.MoveRow(1, 3); },
         {2, 6},
         {1, 5}},
        {"moving one of its rows tears it",
         {1, 3, 2, 2},
         [](TestBaseGrid& g) { g.MoveRow(3, 6); },
         {-1, -1},
         {-1, -1}},
        {"moving a row into it tears it",
         {1, 3, 2, 2},
         [](TestBaseGrid& g) { g.MoveRow(6, 4); },
         {-1, -1},
         {-1, -1}},
        {"one-column area moves with its column",
         {2, 1, 1, 2},
         [](TestBaseGrid& g) { g.MoveColumn(2, 4); },
         {4, 2},
         {4, 1}},
        {"moving one of its columns tears it",
         {1, 1, 2, 1},
         [](TestBaseGrid& g) { g.MoveColumn(1, 4); },
         {-1, -1},
         {-1, -1}},
    };
    for (const Case& c : cases) {
        SetUp();
        grid->MergeCells(c.area.Left, c.area.Top, c.area.Right, c.area.Bottom);
        grid->SetGridCells(c.area.Left, c.area.Top, "area");
        c.move(*grid);
        if (c.cell.X >= 0) {
            EXPECT_EQ(grid->BaseCell(c.cell.X, c.cell.Y), c.base) << c.what;
            EXPECT_EQ(grid->Cells(c.cell.X, c.cell.Y), "area") << c.what;
            EXPECT_EQ(grid->MergeCount(), 1) << c.what;
        } else {
            EXPECT_EQ(grid->MergeCount(), 0) << c.what;
            for (int r = 0; r < 8; ++r)
                for (int col = 0; col < 6; ++col)
                    EXPECT_FALSE(grid->IsMergedCell(col, r)) << c.what << " " << col << "," << r;
        }
    }
}

TEST_F(CellStoreTest, SpanIdentityOfRowsAndColumns) {
    grid->MergeCells(1, 2, 1, 3); // vertical area in column 1, rows 2..4
    grid->MergeCells(3, 5, 1, 2); // another in column 3, rows 5..6
    grid->MergeCells(2, 1, 3, 1); // horizontal area in row 1, columns 2..4
    grid->MergeCells(2, 7, 2, 1); // row 7, columns 2..3
    struct Case {
        bool rows;
        int a, b;
        bool expected;
    } cases[] = {
        {true, 1, 7, false}, {true, 2, 4, true},   {true, 4, 5, false},
        {false, 2, 3, true}, {false, 3, 4, false}, {false, 0, 5, false},
    };
    for (const auto& c : cases) {
        bool got = c.rows ? grid->RowSpanIdentical(c.a, c.b) : grid->ColSpanIdentical(c.a, c.b);
        EXPECT_EQ(got, c.expected) << (c.rows ? "rows " : "cols ") << c.a << "," << c.b;
    }
    EXPECT_EQ(grid->MaxRowSpan(3), 2);
    EXPECT_EQ(grid->MinRowSpan(3), 2);
    EXPECT_EQ(grid->MinRowSpan(0), grid->RowCount());
}

TEST_F(CellStoreTest, KeysAndWheelStepOverAMergedArea) {
    grid->MergeCells(2, 2, 2, 1);
    grid->SetCol(2);
    grid->SetRow(2);
    grid->key(VK_RIGHT);
    EXPECT_EQ(grid->Col(), 4);
    grid->key(VK_LEFT);
    EXPECT_EQ(grid->Col(), 2) << "lands on the area's base";
    grid->key(VK_LEFT);
    EXPECT_EQ(grid->Col(), 1);
    grid->SetCol(3);
    EXPECT_EQ(grid->Col(), 3);
    grid->key(VK_LEFT);
    EXPECT_EQ(grid->Col(), 1) << "from a non-base cell Left leaves the area";

    grid->MergeCells(1, 4, 1, 3); // rows 4..6
    grid->SetCol(1);
    grid->SetRow(4);
    grid->key(VK_DOWN);
    EXPECT_EQ(grid->Row(), 7);
    grid->key(VK_UP);
    EXPECT_EQ(grid->Row(), 4) << "lands on the area's base";
    grid->SetRow(3);
    grid->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
    EXPECT_EQ(grid->Row(), 4);
    grid->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
    EXPECT_EQ(grid->Row(), 7) << "the wheel does not stick at the area";
    grid->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(grid->Row(), 4);
}

TEST_F(CellStoreTest, MergedAreaPaintsOncePerPass) {
    grid->MergeCells(1, 1, 3, 2);
    grid->SetCells(1, 1, "M");
    grid->Repaint();
    EXPECT_EQ((grid->contentPaints[{1, 1}]), 1);
    EXPECT_EQ((grid->contentPaints[{2, 1}]), 0);
    grid->Repaint();
    EXPECT_EQ((grid->contentPaints[{1, 1}]), 2);
}

TEST_F(CellStoreTest, PaintsBackgroundLinesAndHiddenLastRow) {
    grid->SetColor(clWhite);
    grid->SetGridLineColor(clRed);
    grid->SetGridFixedLineColor(clBlue);
    grid->CellProperties(2, 2);
    grid->FHideLastRow = true;
    grid->SetCells(3, 7, "hidden");
    grid->Repaint();
    TBitmap* img = grid->BackingImage();
    ASSERT_NE(img, nullptr);
    auto px = [&](int x, int y) { return img->PixelColor(x, y); };
    // Cell (2, 2) spans 80..119 x 40..59: right line at x = 119, bottom line at y = 59.
    EXPECT_EQ(px(100, 50), ColorToRGB(clWhite));
    EXPECT_EQ(px(119, 50), ColorToRGB(clRed));
    EXPECT_EQ(px(100, 59), ColorToRGB(clRed));
    EXPECT_EQ(px(39, 5), ColorToRGB(clBlue)) << "fixed cell right line";
    EXPECT_EQ(px(20, 5), ColorToRGB(clBtnFace));
    bool onlyBackground = true;
    for (int x = 120; x < 160; ++x)
        for (int y = 140; y < 160; ++y) onlyBackground &= px(x, y) == ColorToRGB(clWhite);
    EXPECT_TRUE(onlyBackground) << "the hidden last row shows no text and no lines";
}

TEST_F(CellStoreTest, ActiveRowAndHoverRowTakeTheirColours) {
    grid->SetColor(clWhite);
    grid->SetActiveRowShow(true);
    grid->SetActiveRowColor(clYellow);
    grid->SetHoverRow(true);
    grid->SetHoverRowColor(clAqua);
    grid->SetCol(2);
    grid->SetRow(3);
    grid->FHoverRowIdx = 5;
    grid->Repaint();
    TBitmap* img = grid->BackingImage();
    auto px = [&](int x, int y) { return img->PixelColor(x, y); };
    EXPECT_EQ(px(140, 70), ColorToRGB(clYellow)) << "another cell of the current row";
    EXPECT_EQ(px(100, 70), ColorToRGB(clWhite)) << "the current cell itself";
    EXPECT_EQ(px(140, 110), ColorToRGB(clAqua)) << "the row under the mouse";
    EXPECT_EQ(px(140, 90), ColorToRGB(clWhite));
}

TEST_F(CellStoreTest, SelectionStyleFramesSelectedCellsInItsOrTheInactiveColours) {
    grid->SetColor(clWhite);
    grid->SetCol(2);
    grid->SetRow(2);
    struct Case {
        TGridSelectionStyle style;
        bool focused;
        TColor border;
    } cases[] = {
        {ssVista, true, 0xFDDE99},
        {ssWin7, true, 0xCEA27D},
        {ssOffice2007, true, 0x8DD7D3},
        {ssVista, false, 0xD9D9D9},
    };
    for (const auto& c : cases) {
        grid->SetSelectionStyle(c.style);
        if (c.focused)
            grid->SetFocus();
        else
            ::SetFocus(nullptr);
        ASSERT_EQ(grid->Focused(), c.focused);
        grid->Repaint();
        TBitmap* img = grid->BackingImage();
        // Cell (2, 2) spans 80..119 x 40..59; the frame's left and top edges are its own.
        EXPECT_EQ(img->PixelColor(80, 50), c.border) << c.style << " " << c.focused;
        EXPECT_EQ(img->PixelColor(100, 40), c.border) << c.style << " " << c.focused;
        EXPECT_EQ(img->PixelColor(100, 90), ColorToRGB(clWhite)) << "unselected cells";
    }
}

TEST_F(CellStoreTest, ComputedRectanglesFollowScrolling) {
    grid->SetRowCount(100);
    grid->SetTopRow(50);
    EXPECT_EQ(grid->CalcCellRect(2, 52), Rect(80, 60, 120, 80));
    EXPECT_EQ(grid->CalcCellRect(2, 48), Rect(80, -20, 120, 0)) << "above the view";
    EXPECT_EQ(grid->CalcCellRect(2, 0), Rect(80, 0, 120, 20)) << "fixed rows do not scroll";
    EXPECT_TRUE(grid->CellRect(2, 10).IsEmpty()) << "a plain cell out of view has no rectangle";
    EXPECT_EQ(grid->CellSize(2, 10), TPoint(40, 20));

    grid->SetColWidths(0, 400); // the fixed column covers the client: no scrolled cell shows
    ASSERT_TRUE(grid->CellRect(grid->LeftCol(), grid->TopRow()).IsEmpty());
    EXPECT_EQ(grid->CalcCellRect(2, 52), Rect(440, 60, 480, 80));
}

} // namespace
