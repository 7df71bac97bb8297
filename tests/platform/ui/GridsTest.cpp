#include "platform/ui/Grids.h"

#include "platform/base/Clock.h"
#include "platform/ui/core/Timers.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Exposes the grid's protected state for the checks.
class TestGrid : public TStringGrid {
public:
    using TCustomGrid::FGridState;
    using TCustomGrid::FocusCell;
    using TStringGrid::TStringGrid;
    std::vector<TGridCoord> asked;
    std::vector<std::pair<int, int>> topLeftChanges;
    int editLimit = 0;
    int GetEditLimit() override { return editLimit; }

protected:
    bool SelectCell(int ACol, int ARow) override {
        asked.push_back({ACol, ARow});
        return TStringGrid::SelectCell(ACol, ARow);
    }
    void TopLeftChanged() override {
        TStringGrid::TopLeftChanged();
        topLeftChanges.push_back({LeftCol(), TopRow()});
    }
};

// 6 columns of 50 and 40 rows of 20 pixels with 1-pixel lines, in a 337 x 210 client whose
// vertical scroll bar leaves 320 x 210 for the cells: columns 0..5 span 0..305, nine
// scrollable rows fit below the fixed row.
class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationClock(&clock);
        grid = std::make_unique<TestGrid>(nullptr);
        grid->SetColCount(6);
        grid->SetRowCount(40);
        grid->SetDefaultColWidth(50);
        grid->SetDefaultRowHeight(20);
        grid->SetBounds(0, 0, 337, 210);
        grid->HandleNeeded();
        grid->SetFocus();
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                grid->SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
    }
    void TearDown() override {
        SetModifierKeyState({});
        grid.reset();
        SetApplicationClock(nullptr);
    }
    void key(WORD vk, TShiftState shift = {}) {
        SetModifierKeyState(shift);
        TMessage m{WM_KEYDOWN, vk, 0, 0};
        DeliverMessage(focused(), m);
        SetModifierKeyState({});
    }
    void chr(char32_t c) {
        TMessage m{WM_CHAR, WPARAM(c), 0, 0};
        DeliverMessage(focused(), m);
    }
    TWinControl* focused() {
        TWinControl* w = FindControl(GetFocus());
        return w ? w : grid.get();
    }
    // Center of a cell's rectangle.
    TPoint at(int c, int r) {
        TRect rc = grid->CellRect(c, r);
        return {(rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2};
    }
    void mouse(UINT msg, TPoint p, WPARAM keys = 0) { DeliverMouse(grid.get(), msg, p, keys); }
    TGridCoord current() const { return {grid->Col(), grid->Row()}; }

    TManualClock clock;
    std::unique_ptr<TestGrid> grid;
};

TEST_F(GridTest, LayoutMapsCellsToRectanglesAndBack) {
    EXPECT_EQ(grid->CellRect(0, 0), Rect(0, 0, 50, 20));
    EXPECT_EQ(grid->CellRect(2, 3), Rect(102, 63, 152, 83));
    EXPECT_EQ(grid->VisibleColCount(), 5);
    EXPECT_EQ(grid->VisibleRowCount(), 9);
    struct Case {
        int x, y, col, row;
    } cases[] = {{0, 0, 0, 0},     {50, 5, 0, 0},  {51, 5, 1, 0},  {120, 70, 2, 3},
                 {310, 5, -1, -1}, {5, 209, 0, 9}, {-3, 5, -1, -1}};
    for (const auto& c : cases) {
        int col = 0, row = 0;
        grid->MouseToCell(c.x, c.y, col, row);
        EXPECT_EQ(col, c.col) << c.x << "," << c.y;
        EXPECT_EQ(row, c.row) << c.x << "," << c.y;
    }
    grid->SetTopRow(20);
    EXPECT_TRUE(grid->CellRect(2, 3).IsEmpty()) << "a row scrolled away has no rectangle";
    EXPECT_EQ(grid->CellRect(2, 20), Rect(102, 21, 152, 41));
}

// Right to left the layout is shown mirrored within the cell area, which starts after the
// vertical bar, now on the left (17 pixels): column 0 spans 287..337.
TEST_F(GridTest, RightToLeftMirrorsTheLayoutAndItsInput) {
    grid->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(grid->CellRect(0, 0), Rect(287, 0, 337, 20));
    EXPECT_EQ(grid->CellRect(2, 3), Rect(185, 63, 235, 83));
    struct Case {
        int x, y, col, row;
    } cases[] = {{336, 0, 0, 0},  {286, 5, 0, 0},  {285, 5, 1, 0},  {216, 70, 2, 3},
                 {26, 5, -1, -1}, {10, 5, -1, -1}, {340, 5, -1, -1}};
    for (const auto& c : cases) {
        int col = 0, row = 0;
        grid->MouseToCell(c.x, c.y, col, row);
        EXPECT_EQ(col, c.col) << c.x << "," << c.y;
        EXPECT_EQ(row, c.row) << c.x << "," << c.y;
    }
    // The bar on the left scrolls; its down arrow is at its bottom.
    mouse(WM_LBUTTONDOWN, {8, 200}, MK_LBUTTON);
    mouse(WM_LBUTTONUP, {8, 200});
    EXPECT_EQ(grid->TopRow(), 2);
    // Left moves on to the next column, Right back.
    grid->FocusCell(2, 3, true);
    key(VK_LEFT);
    EXPECT_EQ(current(), (TGridCoord{3, 3}));
    key(VK_RIGHT);
    EXPECT_EQ(current(), (TGridCoord{2, 3}));
    // A column is sized at its left edge: dragging it left widens it.
    grid->SetOptions(grid->Options() + goColSizing);
    const int edge = grid->CellRect(1, 0).Left;
    mouse(WM_LBUTTONDOWN, {edge, 5}, MK_LBUTTON);
    mouse(WM_MOUSEMOVE, {edge - 10, 5}, MK_LBUTTON);
    mouse(WM_LBUTTONUP, {edge - 10, 5});
    EXPECT_EQ(grid->ColWidths(1), 60);
    EXPECT_EQ(grid->CellRect(1, 0).Right, 286);
}

// Text flags in the reading order: alignment swaps only under mirrored alignment, centred text
// stays, and every right-to-left mode reads from the right.
TEST_F(GridTest, DrawTextFlagsFollowTheReadingOrder) {
    struct Case {
        TBiDiMode mode;
        unsigned in, out;
    };
    const Case cases[] = {
        {bdLeftToRight, DT_LEFT, DT_LEFT},
        {bdLeftToRight, DT_RIGHT, DT_RIGHT},
        {bdRightToLeft, DT_LEFT | DT_VCENTER, DT_RIGHT | DT_VCENTER | DT_RTLREADING},
        {bdRightToLeft, DT_RIGHT, DT_RTLREADING},
        {bdRightToLeft, DT_CENTER, DT_CENTER | DT_RTLREADING},
        {bdRightToLeftNoAlign, DT_LEFT, DT_RTLREADING},
        {bdRightToLeftReadingOnly, DT_RIGHT, DT_RIGHT | DT_RTLREADING},
    };
    for (const Case& c : cases) {
        grid->SetBiDiMode(c.mode);
        EXPECT_EQ(grid->DrawTextBiDiModeFlags(c.in), c.out) << int(c.mode) << " " << c.in;
        EXPECT_EQ(grid->DrawTextBiDiModeFlagsReadingOnly(),
                  c.mode == bdLeftToRight ? 0u : DT_RTLREADING);
    }
}

TEST_F(GridTest, KeyboardNavigationMovesTheCurrentCell) {
    struct Case {
        const char* name;
        TGridCoord from;
        WORD key;
        TShiftState shift;
        TGridCoord to;
        int topRow;
    } cases[] = {
        {"right", {1, 1}, VK_RIGHT, {}, {2, 1}, 1},
        {"left at the fixed edge", {1, 1}, VK_LEFT, {}, {1, 1}, 1},
        {"up at the fixed edge", {1, 1}, VK_UP, {}, {1, 1}, 1},
        {"down", {3, 5}, VK_DOWN, {}, {3, 6}, 1},
        {"down scrolls the row into view", {3, 9}, VK_DOWN, {}, {3, 10}, 2},
        {"home", {4, 5}, VK_HOME, {}, {1, 5}, 1},
        {"end", {2, 5}, VK_END, {}, {5, 5}, 1},
        {"page down", {2, 2}, VK_NEXT, {}, {2, 11}, 10},
        {"page down at the end", {2, 38}, VK_NEXT, {}, {2, 39}, 31},
        {"ctrl+home", {4, 30}, VK_HOME, {ssCtrl}, {1, 1}, 1},
        {"ctrl+end", {2, 2}, VK_END, {ssCtrl}, {5, 39}, 31},
    };
    for (const auto& c : cases) {
        grid->SetRow(1);
        grid->SetCol(1);
        grid->SetTopRow(1);
        grid->SetRow(c.from.Y);
        grid->SetCol(c.from.X);
        key(c.key, c.shift);
        EXPECT_EQ(current(), c.to) << c.name;
        EXPECT_EQ(grid->TopRow(), c.topRow) << c.name;
        EXPECT_EQ(grid->Selection(), (TGridRect{c.to.X, c.to.Y, c.to.X, c.to.Y})) << c.name;
    }
}

TEST_F(GridTest, ShiftArrowsExtendTheSelectionOnlyWithRangeSelect) {
    grid->SetCol(2);
    grid->SetRow(2);
    key(VK_DOWN, {ssShift});
    key(VK_RIGHT, {ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 3, 3}));
    EXPECT_EQ(current(), (TGridCoord{3, 3}));

    grid->SetOptions(grid->Options() - goRangeSelect);
    key(VK_DOWN, {ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 4, 3, 4}));
}

TEST_F(GridTest, TabWalksTheCellsOnlyWithGoTabs) {
    grid->SetCol(5);
    grid->SetRow(1);
    key(VK_TAB);
    EXPECT_EQ(current(), (TGridCoord{5, 1})) << "Tab belongs to the dialog without goTabs";

    grid->SetOptions(grid->Options() + goTabs);
    grid->SetTabStops(2, false);
    key(VK_TAB);
    EXPECT_EQ(current(), (TGridCoord{1, 2})) << "wraps to the next row";
    key(VK_TAB);
    EXPECT_EQ(current(), (TGridCoord{3, 2})) << "skips a column without tab stop";
    key(VK_TAB, {ssShift});
    EXPECT_EQ(current(), (TGridCoord{1, 2}));
    key(VK_TAB, {ssShift});
    EXPECT_EQ(current(), (TGridCoord{5, 1}));
}

TEST_F(GridTest, SelectCellRefusalKeepsTheCurrentCell) {
    grid->OnSelectCell = [](TObject*, int ACol, int, bool& can) { can = ACol != 3; };
    grid->SetCol(2);
    key(VK_RIGHT);
    EXPECT_EQ(grid->Col(), 2);
    grid->SetCol(3);
    EXPECT_EQ(grid->Col(), 2);
    ASSERT_FALSE(grid->asked.empty());
    EXPECT_EQ(grid->asked.back(), (TGridCoord{3, 1}));
}

TEST_F(GridTest, MouseSelectsClickedCellAndDragsARange) {
    int clicks = 0;
    grid->OnClick = [&](TObject*) { ++clicks; };
    mouse(WM_LBUTTONDOWN, at(2, 3), MK_LBUTTON);
    EXPECT_EQ(current(), (TGridCoord{2, 3}));
    EXPECT_EQ(grid->GridState(), gsSelecting);
    mouse(WM_MOUSEMOVE, at(4, 5), MK_LBUTTON);
    mouse(WM_LBUTTONUP, at(4, 5));
    EXPECT_EQ(grid->GridState(), gsNormal);
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 3, 4, 5}));
    EXPECT_EQ(current(), (TGridCoord{2, 3})) << "the press cell stays current";
    EXPECT_EQ(clicks, 1);

    mouse(WM_LBUTTONDOWN, at(1, 1), MK_LBUTTON | MK_SHIFT);
    mouse(WM_LBUTTONUP, at(1, 1));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 2, 3}));

    mouse(WM_LBUTTONDOWN, at(0, 4), MK_LBUTTON);
    mouse(WM_LBUTTONUP, at(0, 4));
    EXPECT_EQ(current(), (TGridCoord{2, 3})) << "a fixed cell is not selectable";
}

TEST_F(GridTest, DragBelowTheGridScrollsOnTheTimer) {
    mouse(WM_LBUTTONDOWN, at(2, 8), MK_LBUTTON);
    mouse(WM_MOUSEMOVE, {120, 250}, MK_LBUTTON);
    for (int i = 0; i < 3; ++i) {
        clock.Advance(GridDragScrollInterval);
        ProcessDueTimers();
    }
    EXPECT_EQ(grid->TopRow(), 4);
    EXPECT_EQ(grid->Selection().Bottom, 12);
    mouse(WM_LBUTTONUP, {120, 250});
    clock.Advance(GridDragScrollInterval * 3);
    ProcessDueTimers();
    EXPECT_EQ(grid->TopRow(), 4) << "the timer stops with the release";
}

TEST_F(GridTest, WheelAndScrollMessagesMoveTheView) {
    TMessage wheel{WM_MOUSEWHEEL, MAKEWPARAM(0, -240), 0, 0};
    grid->Perform(WM_MOUSEWHEEL, wheel.WParam, 0);
    EXPECT_EQ(grid->Row(), 3) << "two notches down";

    grid->Perform(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(grid->TopRow(), 10);
    EXPECT_EQ(grid->Row(), 3) << "scrolling does not move the current cell";
    grid->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 127));
    EXPECT_EQ(grid->TopRow(), 31);
    EXPECT_EQ(grid->VertScrollBar().Position, GridThumbRange);
    grid->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0));
    EXPECT_EQ(grid->TopRow(), 31) << "no thumb tracking without goThumbTracking";
    grid->SetOptions(grid->Options() + goThumbTracking);
    grid->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 64));
    EXPECT_EQ(grid->TopRow(), 16);
    EXPECT_EQ(grid->VertScrollBar().Position, 64);
    EXPECT_TRUE(grid->VertScrollBar().Visible);
    EXPECT_FALSE(grid->HorzScrollBar().Visible) << "all columns fit";
    ASSERT_FALSE(grid->topLeftChanges.empty());
    EXPECT_EQ(grid->topLeftChanges.back(), (std::pair<int, int>{1, 16}));

    grid->SetRowCount(5);
    EXPECT_EQ(grid->TopRow(), 1) << "a grid that fits scrolls back";
    EXPECT_FALSE(grid->VertScrollBar().Visible);
}

TEST_F(GridTest, ScrollBarPressesScrollTheRows) {
    ASSERT_TRUE(grid->VertScrollBar().Visible);
    EXPECT_EQ(grid->CellAreaWidth(), 320);
    // The bar spans x 320..336: arrows at y 0..16 and 193..209, the thumb below the up arrow.
    mouse(WM_LBUTTONDOWN, {328, 200}, MK_LBUTTON);
    mouse(WM_LBUTTONUP, {328, 200});
    EXPECT_EQ(grid->TopRow(), 2);
    mouse(WM_LBUTTONDOWN, {328, 150}, MK_LBUTTON);
    mouse(WM_LBUTTONUP, {328, 150});
    EXPECT_EQ(grid->TopRow(), 11) << "the track below the thumb pages down";
    EXPECT_EQ(grid->Row(), 1) << "the bar does not select cells";

    grid->SetTopRow(1);
    mouse(WM_LBUTTONDOWN, {328, 20}, MK_LBUTTON);
    mouse(WM_MOUSEMOVE, {328, 400}, MK_LBUTTON);
    EXPECT_EQ(grid->TopRow(), 1) << "no thumb tracking without goThumbTracking";
    mouse(WM_LBUTTONUP, {328, 400});
    EXPECT_EQ(grid->TopRow(), 31);
    EXPECT_EQ(grid->VertScrollBar().Position, GridThumbRange);

    grid->Repaint();
    TBitmap* img = grid->BackingImage();
    EXPECT_EQ(img->PixelColor(328, 185), ColorToRGB(clBtnFace)) << "thumb at the bottom";
    EXPECT_EQ(img->PixelColor(328, 60), ColorToRGB(clScrollBar)) << "empty track";
}

TEST_F(GridTest, EditorOpensWithF2AndWritesBackOnEnter) {
    grid->SetOptions(grid->Options() + goEditing);
    grid->SetCol(2);
    grid->SetRow(3);
    key(VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->Text(), "2:3");
    EXPECT_EQ(ed->BoundsRect(), grid->CellRect(2, 3));
    EXPECT_EQ(GetFocus(), ed->Handle());
    chr('x');
    chr(13);
    EXPECT_FALSE(ed->Visible());
    EXPECT_EQ(grid->Cells(2, 3), "2:3x");
    EXPECT_EQ(GetFocus(), grid->Handle());
}

TEST_F(GridTest, TypingOpensTheEditorAndEscapeCancels) {
    std::vector<std::string> written;
    grid->OnSetEditText = [&](TObject*, int, int, const std::string& v) { written.push_back(v); };
    grid->SetOptions(grid->Options() + goEditing);
    grid->SetCol(1);
    grid->SetRow(2);
    chr('a');
    chr('b');
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->Text(), "ab") << "the first character replaces the text";
    key(VK_ESCAPE);
    EXPECT_FALSE(ed->Visible());
    EXPECT_EQ(grid->Cells(1, 2), "1:2");

    chr('z');
    key(VK_DOWN);
    EXPECT_EQ(grid->Cells(1, 2), "z") << "leaving the cell writes the edit";
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_FALSE(ed->Visible());
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), "z");
}

TEST_F(GridTest, EditorStaysOpenWithAlwaysShowEditor) {
    grid->SetOptions(grid->Options() + goEditing + goAlwaysShowEditor);
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->Visible());
    chr('q');
    key(VK_DOWN);
    EXPECT_EQ(grid->Cells(1, 1), "q") << "the loaded text is selected";
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->Text(), "1:2");
    EXPECT_EQ(ed->BoundsRect(), grid->CellRect(1, 2));

    grid->SetOptions(grid->Options() + goRowSelect);
    EXPECT_FALSE(grid->Options().Contains(goAlwaysShowEditor));
}

TEST_F(GridTest, RemovingTheEditedRowDropsTheEdit) {
    grid->SetOptions(grid->Options() + goEditing);
    grid->SetRow(30);
    key(VK_F2);
    chr('k');
    ASSERT_EQ(GetFocus(), grid->InplaceEditor()->Handle());
    EXPECT_NO_THROW(grid->SetRowCount(10));
    EXPECT_EQ(grid->Row(), 9);
    EXPECT_EQ(grid->Cells(1, 9), "1:9");
    EXPECT_EQ(grid->InplaceEditor()->Text(), "1:9") << "the editor follows the current cell";

    grid->SetRow(5);
    key(VK_F2);
    chr('m');
    EXPECT_NO_THROW(grid->DeleteRow(5));
    EXPECT_EQ(grid->RowCount(), 9);
    EXPECT_EQ(grid->Cells(1, 5), "1:6");
}

TEST_F(GridTest, EditHooksShapeTheEditor) {
    grid->SetOptions(grid->Options() + goEditing);
    grid->OnGetEditText = [](TObject*, int, int, std::string& v) { v = "[" + v + "]"; };
    grid->OnGetEditMask = [](TObject*, int c, int, std::string& v) { v = c == 2 ? "ccccc9" : ""; };
    grid->SetCol(2);
    grid->SetRow(2);
    key(VK_F2);
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->EditMask(), "ccccc9");
    EXPECT_EQ(ed->EditText(), "[2:2]_") << "the mask's last place is a digit, still empty";
    key(VK_END);
    chr('q');
    EXPECT_EQ(ed->EditText(), "[2:2]_") << "a letter is no digit";
    key(VK_HOME);
    chr('q');
    chr(13);
    EXPECT_EQ(grid->Cells(2, 2), "q2:2] ");

    grid->editLimit = -1; // read-only
    grid->SetCol(3);
    chr('x');
    EXPECT_EQ(ed->Text(), "[3:2]") << "a read-only cell takes no typing";
    chr(13);
    EXPECT_EQ(grid->Cells(3, 2), "[3:2]");

    grid->editLimit = 3;
    grid->SetCol(4);
    for (char c : std::string("abcdef")) chr(c);
    EXPECT_EQ(ed->Text(), "abc");
}

TEST_F(GridTest, RowSelectSelectsWholeRows) {
    grid->SetOptions(grid->Options() + goRowSelect);
    mouse(WM_LBUTTONDOWN, at(3, 4), MK_LBUTTON);
    mouse(WM_LBUTTONUP, at(3, 4));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 4, 5, 4}));
    key(VK_DOWN);
    key(VK_DOWN, {ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 5, 5, 6}));
    mouse(WM_LBUTTONDOWN, at(3, 2), MK_LBUTTON);
    mouse(WM_MOUSEMOVE, at(2, 4), MK_LBUTTON);
    mouse(WM_LBUTTONUP, at(2, 4));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 5, 4}));
}

TEST_F(GridTest, ClickOnCurrentCellEditsWithGoEditing) {
    grid->SetOptions(grid->Options() + goEditing);
    mouse(WM_LBUTTONDOWN, at(3, 2), MK_LBUTTON);
    mouse(WM_LBUTTONUP, at(3, 2));
    EXPECT_FALSE(grid->EditorMode());
    mouse(WM_LBUTTONDOWN, at(3, 2), MK_LBUTTON);
    mouse(WM_LBUTTONUP, at(3, 2));
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
}

TEST_F(GridTest, DraggingABorderSizesTheColumnAndRow) {
    grid->SetOptions(grid->Options() + goColSizing + goRowSizing);
    mouse(WM_LBUTTONDOWN, {101, 10}, MK_LBUTTON);
    EXPECT_EQ(grid->GridState(), gsColSizing);
    mouse(WM_MOUSEMOVE, {131, 10}, MK_LBUTTON);
    mouse(WM_LBUTTONUP, {131, 10});
    EXPECT_EQ(grid->ColWidths(1), 80);
    EXPECT_EQ(grid->GridState(), gsNormal);

    mouse(WM_LBUTTONDOWN, {10, 41}, MK_LBUTTON);
    EXPECT_EQ(grid->GridState(), gsRowSizing);
    mouse(WM_LBUTTONUP, {10, 31});
    EXPECT_EQ(grid->RowHeights(1), 10);

    mouse(WM_LBUTTONDOWN, {101, 60}, MK_LBUTTON);
    mouse(WM_LBUTTONUP, {131, 60});
    EXPECT_EQ(grid->ColWidths(2), 50) << "only the fixed row sizes columns";
}

TEST_F(GridTest, DraggingAHeaderMovesTheColumnWithItsCells) {
    std::vector<std::pair<int, int>> moved;
    grid->OnColumnMoved = [&](TObject*, int f, int t) { moved.push_back({f, t}); };
    grid->SetOptions(grid->Options() + goColMoving);
    grid->SetColWidths(1, 70);
    grid->SetCol(1);
    TPoint from = at(1, 0);
    TPoint to = at(3, 0);
    mouse(WM_LBUTTONDOWN, from, MK_LBUTTON);
    EXPECT_EQ(grid->GridState(), gsColMoving);
    mouse(WM_MOUSEMOVE, to, MK_LBUTTON);
    mouse(WM_LBUTTONUP, to);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0], (std::pair<int, int>{1, 3}));
    EXPECT_EQ(grid->Cells(3, 5), "1:5");
    EXPECT_EQ(grid->Cells(1, 5), "2:5");
    EXPECT_EQ(grid->ColWidths(3), 70);
    EXPECT_EQ(grid->Col(), 3) << "the current cell moves with its column";

    std::vector<std::pair<int, int>> rowsMoved;
    grid->OnRowMoved = [&](TObject*, int f, int t) { rowsMoved.push_back({f, t}); };
    grid->SetOptions(grid->Options() + goRowMoving);
    mouse(WM_LBUTTONDOWN, at(0, 6), MK_LBUTTON);
    EXPECT_EQ(grid->GridState(), gsRowMoving);
    mouse(WM_MOUSEMOVE, at(0, 2), MK_LBUTTON);
    mouse(WM_LBUTTONUP, at(0, 2));
    ASSERT_EQ(rowsMoved.size(), 1u);
    EXPECT_EQ(rowsMoved[0], (std::pair<int, int>{6, 2}));
    EXPECT_EQ(grid->Cells(0, 2), "0:6");
    EXPECT_EQ(grid->Cells(0, 3), "0:2");

    mouse(WM_LBUTTONDOWN, at(0, 4), MK_LBUTTON);
    mouse(WM_LBUTTONUP, at(0, 4));
    EXPECT_EQ(rowsMoved.size(), 1u) << "a press without a move moves nothing";
}

TEST_F(GridTest, RowOperationsMoveTextsObjectsAndHeights) {
    TObject marker;
    grid->SetObjects(2, 4, &marker);
    grid->SetRowHeights(4, 33);
    grid->SetRow(4);
    grid->MoveRow(4, 10);
    EXPECT_EQ(grid->Cells(2, 10), "2:4");
    EXPECT_EQ(grid->Objects(2, 10), &marker);
    EXPECT_EQ(grid->Cells(2, 4), "2:5");
    EXPECT_EQ(grid->RowHeights(10), 33);
    EXPECT_EQ(grid->Row(), 10);

    grid->DeleteRow(3);
    EXPECT_EQ(grid->RowCount(), 39);
    EXPECT_EQ(grid->Cells(0, 3), "0:5");
    EXPECT_EQ(grid->Cells(2, 9), "2:4");

    grid->DeleteColumn(0);
    EXPECT_EQ(grid->ColCount(), 5);
    EXPECT_EQ(grid->Cells(0, 1), "1:1");

    grid->SetRowCount(3);
    grid->SetRowCount(5);
    EXPECT_EQ(grid->Cells(0, 4), "") << "rows that left the grid do not come back";
    EXPECT_THROW(grid->SetCells(0, 5, "x"), EInvalidGridOperation);
    EXPECT_EQ(grid->Cells(0, 99), "");
    grid->SetCells(7, 1, "beyond");
    EXPECT_EQ(grid->Cells(7, 1), "beyond") << "columns beyond ColCount keep their cells";
}

TEST_F(GridTest, FixedCountsAreCheckedAndResetTheCurrentCell) {
    EXPECT_THROW(grid->SetFixedCols(6), EInvalidGridOperation);
    EXPECT_THROW(grid->SetFixedRows(-1), EInvalidGridOperation);
    grid->SetCol(4);
    grid->SetFixedCols(2);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->LeftCol(), 2);
    grid->SetColCount(2);
    EXPECT_EQ(grid->FixedCols(), 1) << "shrinking lowers the fixed columns";
}

TEST_F(GridTest, PaintsThePlainGrid) {
    grid->SetCol(2);
    grid->SetRow(2);
    grid->Perform(WM_KILLFOCUS);
    ::SetFocus(nullptr);
    grid->Repaint();
    TBitmap* img = grid->BackingImage();
    ASSERT_NE(img, nullptr);
    auto px = [&](int x, int y) { return img->PixelColor(x, y); };
    EXPECT_EQ(px(25, 10), ColorToRGB(clBtnFace)) << "fixed cell";
    EXPECT_EQ(px(130, 75), ColorToRGB(clWindow)) << "normal cell";
    EXPECT_EQ(px(130, 42 + 10), ColorToRGB(clHighlight)) << "selected cell";
    EXPECT_EQ(px(152, 75), ColorToRGB(clSilver)) << "vertical line between normal cells";
    EXPECT_EQ(px(130, 83), ColorToRGB(clSilver)) << "horizontal line between normal cells";
    EXPECT_EQ(px(315, 75), ColorToRGB(clWindow)) << "area right of the last column";
    bool text = false;
    for (int x = 104; x < 140 && !text; ++x)
        for (int y = 65; y < 80 && !text; ++y) text = px(x, y) == ColorToRGB(clWindowText);
    EXPECT_TRUE(text) << "the cell text is drawn";
}

// Each gap between cells shows its line, or the grid's colour where that kind of line is off;
// the area beyond the last cells shows the grid's colour.
TEST_F(GridTest, GapsWithoutLinesShowTheGridColour) {
    const TColor back = ColorToRGB(clYellow), fixedLine = ColorToRGB(clBlack),
                 line = ColorToRGB(clSilver);
    struct Case {
        const char* name;
        TGridOptions off;
        TColor scrollV, scrollH, fixedV, fixedH, fixedVInFixedRow;
    };
    const Case cases[] = {
        {"all lines", {}, line, line, fixedLine, fixedLine, fixedLine},
        {"no vertical lines", {goVertLine}, back, line, fixedLine, fixedLine, fixedLine},
        {"no horizontal lines", {goHorzLine}, line, back, fixedLine, fixedLine, fixedLine},
        {"no fixed vertical lines", {goFixedVertLine}, line, line, back, fixedLine, back},
        {"no fixed horizontal lines", {goFixedHorzLine}, line, line, fixedLine, back, fixedLine},
        {"only fixed lines", {goVertLine, goHorzLine}, back, back, fixedLine, fixedLine, fixedLine},
    };
    ::SetFocus(nullptr);
    grid->Perform(WM_KILLFOCUS);
    grid->SetColor(clYellow);
    for (const Case& k : cases) {
        grid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine} -
                         k.off);
        grid->Repaint();
        TBitmap* img = grid->BackingImage();
        EXPECT_EQ(img->PixelColor(152, 75), k.scrollV) << k.name << ": between normal columns";
        EXPECT_EQ(img->PixelColor(130, 83), k.scrollH) << k.name << ": between normal rows";
        EXPECT_EQ(img->PixelColor(50, 75), k.fixedV) << k.name << ": after the fixed column";
        EXPECT_EQ(img->PixelColor(130, 20), k.fixedH) << k.name << ": after the fixed row";
        EXPECT_EQ(img->PixelColor(152, 10), k.fixedVInFixedRow) << k.name << ": in the fixed row";
        EXPECT_EQ(img->PixelColor(130, 75), back) << k.name << ": a normal cell";
        EXPECT_EQ(img->PixelColor(315, 75), back) << k.name << ": right of the last column";
    }
    grid->SetRowCount(3);
    grid->Repaint();
    EXPECT_EQ(grid->BackingImage()->PixelColor(130, 150), back) << "below the last row";
}

} // namespace

namespace {

TEST(GridInFormTest, LeavingTheGridCommitsTheEdit) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* g = new TStringGrid(form.get());
    g->SetParent(form.get());
    g->SetOptions(g->Options() + goEditing);
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetTop(150);
    form->Show();
    g->SetFocus();
    g->SetCells(1, 1, "old");
    g->SetEditorMode(true);
    ASSERT_NE(g->InplaceEditor(), nullptr);
    ASSERT_TRUE(g->InplaceEditor()->Visible());
    g->InplaceEditor()->SetText("new");
    other->SetFocus();
    EXPECT_FALSE(g->InplaceEditor()->Visible());
    EXPECT_FALSE(g->EditorMode());
    EXPECT_EQ(g->Cells(1, 1), "new");
}

} // namespace
