// The string grid's mouse and key options as a user meets them: the wheel's zoom and lines per
// notch, the cursors of the select modes, direct editing, range select and edit, the selection
// resizer, fixed cells as buttons, hover, scrolling rules, sizing with the form, the drag
// picture, the footers, and the hooks a descendant overrides.
#include "grid/core/QorColumnGrid.h"
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/data/SearchPanel.h"
#include "grid/editors/AsgCombo.h"
#include "grid/render/AuxWindows.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/HTMLHintWindow.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Clipbrd.h"
#include "platform/ui/core/SysInfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A grid that records the hooks a descendant would override.
class THookedGrid : public TQorStringGrid {
public:
    using TQorStringGrid::TQorStringGrid;
    std::vector<std::string> hooks;
    std::function<void(TGridRect&)> onSelectAll;
    std::function<void(WORD&)> onEditorKey;
    void CellSelectorClick(int ACol, int ARow) override {
        hooks.push_back("selector " + std::to_string(ACol) + "," + std::to_string(ARow));
    }
    void DoSelectAll(TGridRect& R) override {
        hooks.push_back("doSelectAll");
        if (onSelectAll) onSelectAll(R);
    }
    void BeforeSelectAll(TGridRect& R) override {
        hooks.push_back("beforeSelectAll");
        if (onSelectAll) onSelectAll(R);
    }
    void ExportNotification(TGridExportState State, int ARow) override {
        hooks.push_back("export " + std::to_string(int(State)) + "," + std::to_string(ARow));
    }
    void EditorKeyDown(WORD& Key, TShiftState) override {
        hooks.push_back("editorKey " + std::to_string(Key));
        if (onEditorKey) onEditorKey(Key);
    }
};

struct OptionGrid {
    TForm form{nullptr};
    THookedGrid* g;
    explicit OptionGrid(int cols = 5, int rows = 8) {
        form.SetBounds(0, 0, 500, 320);
        g = new THookedGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 480, 280);
        // Pixels are read in client coordinates.
        g->SetBorderStyle(bsNone);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        form.Show();
        g->SetFocus();
    }
    TPoint inside(int c, int r, int dx = 10, int dy = 8) {
        const TRect rc = g->CellRect(c, r);
        return {rc.Left + dx, rc.Top + dy};
    }
    void click(int c, int r, TShiftState shift = {}) { uitest::click(g, inside(c, r), shift); }
    void at(int c, int r) {
        g->SetCol(c);
        g->SetRow(r);
    }
};

void setOption(TQorStringGrid* g, TGridOption o, bool on = true) {
    TGridOptions opts = g->Options();
    on ? opts.Include(o) : opts.Exclude(o);
    g->SetOptions(opts);
}

// --- the wheel -----------------------------------------------------------------------------

TEST(GridOptions, CtrlWheelThroughQtZoomsAndSizesTheCells) {
    OptionGrid f;
    f.g->SetCells(1, 1, "a somewhat longer text");
    const int width = f.g->ColWidths(1), height = f.g->RowHeights(1);
    uitest::postNativeWheel(f.g, f.inside(1, 1), -120, {ssCtrl});
    uitest::processMessages();
    EXPECT_EQ(f.g->ZoomFactor(), 3);
    EXPECT_GT(f.g->ColWidths(1), width);
    EXPECT_GT(f.g->RowHeights(1), height);
    EXPECT_EQ(f.g->Row(), 1) << "a zoom does not move the selection";
    // Back out with the wheel up; the zoom stops at its limit.
    uitest::postNativeWheel(f.g, f.inside(1, 1), 120, {ssCtrl});
    uitest::processMessages();
    EXPECT_EQ(f.g->ZoomFactor(), 0);
    for (int i = 0; i < 5; ++i) uitest::mouseWheel(f.g, f.inside(1, 1), -120, {ssCtrl});
    EXPECT_EQ(f.g->ZoomFactor(), 9);
    // Without IntelliZoom Ctrl+wheel moves the selection like the wheel.
    f.g->SetIntelliZoom(false);
    uitest::mouseWheel(f.g, f.inside(1, 1), -120, {ssCtrl});
    EXPECT_EQ(f.g->ZoomFactor(), 9);
    EXPECT_EQ(f.g->Row(), 4);
}

TEST(GridOptions, TheWheelMovesTheDesktopsLinesPerNotch) {
    struct Case {
        UINT lines;
        int row; // after one notch down from row 1
    };
    const Case cases[] = {{3, 4}, {5, 6}, {1, 2}, {WHEEL_PAGESCROLL, -1}};
    for (const auto& c : cases) {
        SystemParametersInfo(SPI_SETWHEELSCROLLLINES, c.lines, nullptr, 0);
        OptionGrid f(4, 40);
        f.g->SetRow(1);
        const int page = f.g->VisibleRowCount();
        uitest::postNativeWheel(f.g, f.inside(1, 1), -120);
        uitest::processMessages();
        EXPECT_EQ(f.g->Row(), c.row < 0 ? 1 + page : c.row) << c.lines;
        EXPECT_EQ(f.g->WheelScrollLines(), c.row < 0 ? page : int(c.lines));
    }
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
}

// --- cursors and select modes ----------------------------------------------------------------

TEST(GridOptions, SelectModesShowTheirOwnCursors) {
    OptionGrid f;
    f.g->MouseActions()->SetRowSelect(true);
    f.g->MouseActions()->SetColSelect(true);
    f.g->MouseActions()->SetAllSelect(true);
    f.g->SetSelectionRectangle(true);
    f.g->SetSelectionResizer(true);
    f.g->SetSelection({2, 2, 2, 2});
    const TRect sel = f.g->CellRect(2, 2);
    struct Case {
        const char* name;
        TPoint at;
        TCursor cursor;
        TPoint hotSpot;
    };
    const Case cases[] = {
        {"rows", f.inside(0, 3), 8010, {26, 16}},
        {"columns", f.inside(3, 0), 8011, {13, 26}},
        {"everything", f.inside(0, 0), 8012, {16, 16}},
        {"resizer", {sel.Right - 3, sel.Bottom - 3}, 8012, {16, 16}},
        {"plain cell", f.inside(3, 3), crDefault, {0, 0}},
    };
    for (const auto& c : cases) {
        uitest::mouseMove(f.g, c.at);
        EXPECT_EQ(f.g->Cursor(), c.cursor) << c.name;
        EXPECT_EQ(Screen->CurrentCursor(), c.cursor) << c.name;
        if (c.cursor == crDefault) continue;
        const TCursorImage* picture = Screen->CursorImage(c.cursor);
        ASSERT_NE(picture, nullptr) << c.name;
        EXPECT_EQ(picture->HotSpot, c.hotSpot) << c.name;
        EXPECT_EQ(picture->Image->Width(), 32) << c.name;
    }
    // A cursor that someone else sets ends the select mode.
    uitest::mouseMove(f.g, f.inside(0, 3));
    ASSERT_EQ(f.g->MouseSelectMode(), TQorStringGrid::msRow);
    f.g->SetCursor(crHourGlass);
    EXPECT_EQ(f.g->MouseSelectMode(), TQorStringGrid::msNormal);
}

TEST(GridOptions, CellSelectorModeOnlyReportsThePressedCell) {
    OptionGrid f;
    f.g->SetCellSelectorMode(true);
    uitest::mouseMove(f.g, f.inside(3, 4));
    EXPECT_EQ(f.g->Cursor(), 8014);
    f.click(3, 4);
    EXPECT_EQ(f.g->hooks, (std::vector<std::string>{"selector 3,4"}));
    EXPECT_EQ(f.g->Row(), 1) << "the press selects nothing";
}

// --- presses ------------------------------------------------------------------------------------

TEST(GridOptions, DirectEditOpensTheEditorOnTheFirstClickUnlessAChangingEventRefuses) {
    OptionGrid f;
    setOption(f.g, goEditing);
    f.g->MouseActions()->SetDirectEdit(true);
    f.g->SetCells(2, 3, "text");
    f.click(2, 3);
    EXPECT_TRUE(f.g->EditorMode());
    EXPECT_EQ(f.g->Col(), 2);
    f.g->HideInplaceEdit();
    // A veto of the changing events keeps the editor closed.
    int asked = 0;
    f.g->OnCellChanging = [&](TObject*, int, int, int, int, bool& allow) {
        ++asked;
        allow = false;
    };
    f.click(3, 4);
    EXPECT_GE(asked, 1);
    EXPECT_FALSE(f.g->EditorMode());
}

TEST(GridOptions, CaretPositioningMarksThePressForTheEditor) {
    OptionGrid f;
    setOption(f.g, goEditing);
    f.click(2, 2);
    EXPECT_FALSE(f.g->LButFlg());
    f.g->MouseActions()->SetCaretPositioning(true);
    f.click(3, 2);
    EXPECT_TRUE(f.g->LButFlg());
}

TEST(GridOptions, NoScrollOnPartialRowKeepsThePartlyShownRowWhereItIs) {
    for (bool keep : {false, true}) {
        OptionGrid f(4, 40);
        f.g->SetRowHeights(9, 40);
        f.g->MouseActions()->SetNoScrollOnPartialRow(keep);
        // The first row below the fully visible ones shows only in part.
        const int partial = f.g->TopRow() + f.g->VisibleRowCount();
        const TRect r = f.g->CellRect(1, partial);
        ASSERT_FALSE(r.IsEmpty());
        uitest::click(f.g, {r.Left + 5, r.Top + 3});
        EXPECT_EQ(f.g->TopRow() == 1, keep) << keep;
        EXPECT_EQ(f.g->Row(), partial) << keep;
    }
}

// A press on a partly shown edge cell starts no range selection with NoAutoRangeScroll, and
// with range select and edit a press on a cell that may not be edited selects by dragging.
TEST(GridOptions, PressesThatStartOrStopARangeSelection) {
    for (bool noScroll : {false, true}) {
        OptionGrid f(4, 40);
        setOption(f.g, goRangeSelect);
        f.g->MouseActions()->SetNoAutoRangeScroll(noScroll);
        const int edge = f.g->TopRow() + f.g->VisibleRowCount();
        const TRect r = f.g->CellRect(1, edge);
        uitest::mouseDown(f.g, {r.Left + 5, r.Top + 3});
        EXPECT_EQ(f.g->GridState(), noScroll ? gsNormal : gsSelecting) << noScroll;
        uitest::mouseUp(f.g, {r.Left + 5, r.Top + 3});
    }
    OptionGrid f;
    setOption(f.g, goRangeSelect);
    f.g->MouseActions()->SetRangeSelectAndEdit(true);
    f.g->OnCanEditCell = [](TObject*, int, int c, bool& e) { e = c != 3; };
    uitest::mouseDown(f.g, f.inside(3, 3));
    EXPECT_EQ(f.g->GridState(), gsSelecting);
    EXPECT_FALSE(f.g->Options().Contains(goEditing));
    uitest::mouseMove(f.g, f.inside(4, 5), {ssLeft});
    uitest::mouseUp(f.g, f.inside(4, 5));
    EXPECT_EQ(f.g->Selection(), (TGridRect{3, 3, 4, 5}));
}

TEST(GridOptions, KeepHorizScrollHoldsTheColumnsOfARowSelectGrid) {
    OptionGrid f(20, 30);
    setOption(f.g, goRowSelect);
    f.g->Navigation()->SetKeepHorizScroll(true);
    f.g->SetLeftCol(6);
    f.click(6, 3);
    EXPECT_EQ(f.g->LeftCol(), 6);
    EXPECT_EQ(f.g->Row(), 3);
    uitest::pressKey(VK_DOWN);
    uitest::pressKey(VK_NEXT);
    EXPECT_EQ(f.g->LeftCol(), 6);
    EXPECT_GT(f.g->Row(), 4);
}

TEST(GridOptions, ACornerPressSelectsWhatDoSelectAllAnswers) {
    OptionGrid f;
    f.g->MouseActions()->SetAllSelect(true);
    setOption(f.g, goRangeSelect);
    f.g->onSelectAll = [](TGridRect& r) { r.Bottom = 4; };
    uitest::mouseMove(f.g, f.inside(0, 0));
    f.click(0, 0);
    EXPECT_EQ(f.g->Selection(), (TGridRect{1, 1, 4, 4}));
    EXPECT_EQ(f.g->hooks, (std::vector<std::string>{"export 0,-1", "export 1,7", "export 4,-1",
                                                    "doSelectAll"}));
}

TEST(GridOptions, FixedCellsAsButtonsClickWhenReleased) {
    OptionGrid f;
    f.g->Flags().FixedAsButtons = true;
    std::vector<std::string> clicks;
    f.g->OnButtonClick = [&](TObject*, int c, int r) {
        clicks.push_back(std::to_string(c) + "," + std::to_string(r));
    };
    const TPoint at = f.inside(2, 0);
    uitest::mouseDown(f.g, at);
    // Pushed: the top edge of the cell shows the dark shadow of a sunken edge.
    const TRect r = f.g->CellRect(2, 0);
    EXPECT_EQ(uitest::pixel(f.g, r.Left + 5, r.Top), TColor(ColorToRGB(cl3DDkShadow)));
    uitest::mouseUp(f.g, at);
    EXPECT_EQ(clicks, (std::vector<std::string>{"2,0"}));
    // Without the option a header press clicks no button.
    f.g->Flags().FixedAsButtons = false;
    f.click(3, 0);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST(GridOptions, AnExpandButtonClickGrowsAndShrinksItsRow) {
    OptionGrid f;
    setOption(f.g, goEditing);
    f.g->AddExpand(1, 2, 60);
    auto clickButton = [&] {
        const TRect b = f.g->GetExpandButtonRect(1, 2);
        uitest::click(f.g, {b.Left + 4, b.Top + 4});
    };
    clickButton();
    EXPECT_EQ(f.g->RowHeights(2), 60);
    clickButton();
    EXPECT_EQ(f.g->RowHeights(2), 22);
}

// The resizer copies the selection to the clipboard at the press and pastes it over the new
// selection at the release: the smart clipboard repeats a row or continues a series there.
TEST(GridOptions, TheSelectionResizerPastesTheCopiedBlockOverTheNewSelection) {
    struct Case {
        const char* name;
        bool spreadSheet; // smart clipboard, editing
        std::vector<std::pair<TPoint, std::string>> cells;
        TGridRect from;
        TPoint dragTo;
        std::string copied;
        std::vector<std::vector<std::string>> want; // columns 1..2 of rows 1..5
    };
    const Case cases[] = {
        {"a row of two repeats in every new row",
         true,
         {{{1, 1}, "Ärger"}, {{2, 1}, "two words"}},
         {1, 1, 2, 1},
         {2, 4},
         "Ärger\ttwo words",
         {{"Ärger", "two words"},
          {"Ärger", "two words"},
          {"Ärger", "two words"},
          {"Ärger", "two words"},
          {"", ""}}},
        {"two numbers continue as a series",
         true,
         {{{1, 1}, "1"}, {{1, 2}, "3"}},
         {1, 1, 1, 2},
         {1, 5},
         "1\r\n3\r\n",
         {{"1", ""}, {"3", ""}, {"5", ""}, {"7", ""}, {"9", ""}}},
        {"without the smart clipboard the block lands once at the top-left",
         false,
         {{{1, 1}, "a"}, {{1, 3}, "kept"}},
         {1, 1, 1, 1},
         {1, 3},
         "a",
         {{"a", ""}, {"", ""}, {"kept", ""}, {"", ""}, {"", ""}}},
    };
    const std::string saved = Clipboard()->AsText();
    for (const Case& c : cases) {
        OptionGrid f;
        if (c.spreadSheet) {
            f.g->SetSpreadSheet(true);
        } else {
            f.g->SetSelectionRectangle(true);
            f.g->SetSelectionResizer(true);
            setOption(f.g, goRangeSelect);
            setOption(f.g, goEditing);
        }
        for (const auto& [at, text] : c.cells) f.g->SetCells(at.X, at.Y, text);
        f.g->SetSelection(c.from);
        std::vector<std::string> events;
        f.g->OnSelectionResize = [&](TObject*, TGridRect from, TGridRect to) {
            events.push_back("resize " + std::to_string(from.Bottom) + ">" +
                             std::to_string(to.Bottom));
        };
        f.g->OnSelectionResized = [&](TObject*, TGridRect, TGridRect) {
            events.push_back("resized");
        };
        const TRect handle = f.g->CellRect(c.from.Right, c.from.Bottom);
        const TPoint grip{handle.Right - 2, handle.Bottom - 2};
        uitest::mouseMove(f.g, grip);
        uitest::mouseDown(f.g, grip);
        EXPECT_EQ(Clipboard()->AsText(), c.copied) << c.name;
        uitest::mouseMove(f.g, f.inside(c.dragTo.X, c.dragTo.Y), {ssLeft});
        uitest::mouseUp(f.g, f.inside(c.dragTo.X, c.dragTo.Y));
        EXPECT_EQ(f.g->Selection(), (TGridRect{c.from.Left, c.from.Top, c.dragTo.X, c.dragTo.Y}))
            << c.name;
        for (int r = 1; r <= 5; ++r)
            for (int col = 1; col <= 2; ++col)
                EXPECT_EQ(f.g->Cells(col, r), c.want[std::size_t(r - 1)][std::size_t(col - 1)])
                    << c.name << " at " << col << "," << r;
        EXPECT_EQ(events, (std::vector<std::string>{"resize " + std::to_string(c.from.Bottom) +
                                                        ">" + std::to_string(c.dragTo.Y),
                                                    "resized"}))
            << c.name;
        EXPECT_FALSE(f.g->EditorMode()) << c.name;
    }
    Clipboard()->SetAsText(saved);
}

// --- range select and edit --------------------------------------------------------------------

TEST(GridOptions, RangeSelectAndEditStartsEditingByKeyTypingAndDoubleClick) {
    struct Case {
        const char* name;
        std::function<void(OptionGrid&)> act;
        std::string text; // of cell (2, 2) after the editor closed
    };
    const Case cases[] = {
        {"F2", [](OptionGrid&) { uitest::pressKey(VK_F2); }, "old"},
        {"Enter", [](OptionGrid&) { uitest::pressKey(VK_RETURN); }, "old"},
        {"typing", [](OptionGrid&) { uitest::typeText("x"); }, "x"},
        {"double click", [](OptionGrid& f) { uitest::doubleClick(f.g, f.inside(2, 2)); }, "old"},
    };
    for (const auto& c : cases) {
        OptionGrid f;
        f.g->MouseActions()->SetRangeSelectAndEdit(true);
        f.g->SetCells(2, 2, "old");
        f.at(2, 2);
        ASSERT_FALSE(f.g->Options().Contains(goEditing));
        c.act(f);
        EXPECT_TRUE(f.g->EditorMode()) << c.name;
        EXPECT_TRUE(f.g->Options().Contains(goEditing)) << c.name;
        f.g->HideInplaceEdit();
        EXPECT_EQ(f.g->Cells(2, 2), c.text) << c.name;
    }
    // A cell that may not be edited swallows Enter.
    OptionGrid f;
    f.g->MouseActions()->SetRangeSelectAndEdit(true);
    f.g->OnCanEditCell = [](TObject*, int, int, bool& e) { e = false; };
    int keyDowns = 0;
    f.g->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keyDowns; };
    uitest::pressKey(VK_RETURN);
    EXPECT_FALSE(f.g->EditorMode());
    EXPECT_EQ(keyDowns, 1);
}

TEST(GridOptions, RangeSelectAndEditOpensTheCurrentCellOnAPress) {
    OptionGrid f;
    f.g->MouseActions()->SetRangeSelectAndEdit(true);
    f.at(2, 2);
    f.click(2, 2);
    EXPECT_TRUE(f.g->EditorMode());
    f.g->HideInplaceEdit();
    // Shift on another cell extends the selection instead.
    setOption(f.g, goRangeSelect);
    f.click(3, 4, {ssShift});
    EXPECT_FALSE(f.g->EditorMode());
    EXPECT_EQ(f.g->Selection(), (TGridRect{2, 2, 3, 4}));
}

// --- keys ---------------------------------------------------------------------------------------

TEST(GridOptions, LeftRightRowSelectScrollsByColumns) {
    struct Case {
        bool leftRight;
        TShiftState shift;
        int leftCol;
    };
    // The grid scrolls Ctrl+Right (and the key goes on to the platform's scroll), or without
    // LeftRightRowSelect the plain Right, which goes no further.
    const Case cases[] = {{true, {ssCtrl}, 5}, {true, {}, 4}, {false, {}, 4}};
    for (const auto& c : cases) {
        OptionGrid f(20, 10);
        setOption(f.g, goRowSelect);
        f.g->Navigation()->SetLeftRightRowSelect(c.leftRight);
        f.g->SetLeftCol(3);
        uitest::pressKey(VK_RIGHT, c.shift);
        EXPECT_EQ(f.g->LeftCol(), c.leftCol) << c.leftRight << c.shift.Contains(ssCtrl);
    }
}

TEST(GridOptions, EnterOnACheckBoxCellAdvancesWithAdvanceOnEnter) {
    for (bool advance : {false, true}) {
        OptionGrid f;
        f.g->Navigation()->SetAdvanceOnEnter(advance);
        f.g->AddCheckBox(2, 2, false, false);
        f.at(2, 2);
        uitest::pressKey(VK_RETURN);
        EXPECT_EQ(f.g->Col(), advance ? 3 : 2) << advance;
    }
}

TEST(GridOptions, CtrlATakesTheRectangleThatBeforeSelectAllLeaves) {
    OptionGrid f;
    setOption(f.g, goRangeSelect);
    f.g->onSelectAll = [](TGridRect& r) { r.Right = 3; };
    uitest::pressKey('A', {ssCtrl});
    EXPECT_EQ(f.g->Selection(), (TGridRect{1, 1, 3, 7}));
    EXPECT_EQ(f.g->hooks.front(), "beforeSelectAll");
}

TEST(GridOptions, EditorKeyDownSeesAndCanDropTheEditorsKeys) {
    OptionGrid f;
    setOption(f.g, goEditing);
    f.g->SetCells(1, 2, "abc");
    f.at(1, 2);
    uitest::pressKey(VK_F2);
    ASSERT_TRUE(f.g->EditorMode());
    f.g->hooks.clear();
    f.g->onEditorKey = [](WORD& k) {
        if (k == VK_DOWN) k = 0;
    };
    uitest::pressKey(VK_DOWN);
    EXPECT_EQ(f.g->Row(), 2) << "the dropped key moves nothing";
    EXPECT_EQ(f.g->hooks, (std::vector<std::string>{"editorKey 40"}));
    f.g->onEditorKey = nullptr;
    uitest::pressKey(VK_DOWN);
    EXPECT_EQ(f.g->Row(), 3);
}

TEST(GridOptions, InsertAndDeleteKeysWorkOnNodeRows) {
    OptionGrid f(3, 10);
    f.g->Navigation()->SetAllowInsertRow(true);
    f.g->Navigation()->SetAllowDeleteRow(true);
    for (int r = 1; r < 10; ++r) f.g->SetCells(1, r, std::to_string(r));
    f.g->AddNode(2, 4);
    f.at(1, 3);
    uitest::pressKey(VK_INSERT);
    EXPECT_EQ(f.g->RowCount(), 11);
    EXPECT_EQ(f.g->GetNodeSpan(2), 5) << "a row inside a node joins it";
    std::vector<int> deleted;
    f.g->OnAutoDeleteRow = [&](TObject*, int r) { deleted.push_back(r); };
    f.at(1, 4);
    uitest::pressKey(VK_DELETE);
    EXPECT_EQ(f.g->RowCount(), 10);
    EXPECT_EQ(f.g->GetNodeSpan(2), 4);
    EXPECT_EQ(deleted, (std::vector<int>{4}));
}

// --- hover
// ----------------------------------------------------------------------------------------

TEST(GridOptions, HoverTracksButtonsHeaderCellsAndLinks) {
    OptionGrid f;
    f.g->AddButton(2, 2, 30, 16, "Go", haLeft, vaTop);
    f.g->Repaint();
    const TRect b = f.g->GetCellGraphicRect(2, 2);
    uitest::mouseMove(f.g, {b.Left + 3, b.Top + 3});
    EXPECT_EQ(f.g->HoverButton(), (TPoint{2, 2}));
    uitest::mouseMove(f.g, f.inside(3, 3));
    EXPECT_EQ(f.g->HoverButton(), (TPoint{-1, -1}));
    // Links of markup cells count as hovered only with URLUnderlineOnHover.
    f.g->SetCells(1, 3, "<a href=\"x\">link</a>");
    uitest::mouseMove(f.g, f.inside(1, 3, 6, 8));
    EXPECT_EQ(f.g->HoverLink(), -1);
    f.g->SetURLUnderlineOnHover(true);
    uitest::mouseMove(f.g, f.inside(1, 3, 7, 8));
    EXPECT_EQ(f.g->HoverLink(), 1);
    EXPECT_EQ(f.g->HoverLinkCell(), (TPoint{1, 3}));
    uitest::mouseMove(f.g, f.inside(3, 3));
    EXPECT_EQ(f.g->HoverLink(), -1);
}

// --- releases, right and double presses --------------------------------------------------------

TEST(GridOptions, AutoSelectGroupSelectsTheRowsOfAnExpandedNode) {
    OptionGrid f(3, 10);
    f.g->AddNode(2, 4);
    f.g->Grouping()->SetAutoSelectGroup(true);
    f.click(1, 2);
    EXPECT_EQ(f.g->Selection(), (TGridRect{1, 2, 2, 5}));
    f.g->MouseActions()->SetDisjunctRowSelect(true);
    f.click(2, 2);
    for (int r = 3; r <= 5; ++r) EXPECT_TRUE(f.g->RowSelect(r)) << r;
    EXPECT_FALSE(f.g->RowSelect(6));
}

TEST(GridOptions, RightPressesSelectRowsAndEditLinks) {
    OptionGrid f;
    f.g->MouseActions()->SetSelectOnRightClick(true);
    f.g->MouseActions()->SetDisjunctRowSelect(true);
    uitest::rightClick(f.g, f.inside(2, 3));
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_TRUE(f.g->RowSelect(3));
    uitest::rightClick(f.g, f.inside(2, 5), {ssCtrl});
    EXPECT_TRUE(f.g->RowSelect(3));
    EXPECT_TRUE(f.g->RowSelect(5));
    uitest::rightClick(f.g, f.inside(2, 4));
    EXPECT_FALSE(f.g->RowSelect(3));
    EXPECT_TRUE(f.g->RowSelect(4));
    // A link cell of a grid with URLEdit opens for editing.
    setOption(f.g, goEditing);
    f.g->SetURLShow(true);
    f.g->SetURLEdit(true);
    f.g->SetCells(3, 6, "https://example.org");
    uitest::rightClick(f.g, f.inside(3, 6));
    EXPECT_TRUE(f.g->EditorMode());
    EXPECT_EQ(f.g->Col(), 3);
}

TEST(GridOptions, ASynchronisedGridFollowsPresses) {
    OptionGrid f;
    auto* other = new TQorStringGrid(&f.form);
    other->SetParent(&f.form);
    other->SetColCount(5);
    other->SetRowCount(8);
    f.g->SyncGrid()->SetGrid(other);
    f.g->SyncGrid()->SetSelectionRow(true);
    f.g->SyncGrid()->SetSelectionColumn(true);
    f.click(3, 4);
    EXPECT_EQ(other->Row(), 4);
    EXPECT_EQ(other->Col(), 3);
}

// --- size, drag picture, footers --------------------------------------------------------------

TEST(GridOptions, SynchWithGridKeepsTheColumnsShareOfTheWidth) {
    OptionGrid f(3, 5);
    f.g->SetBorderStyle(bsNone);
    f.g->SetColWidths(0, 40);
    f.g->SetColWidths(1, 100);
    f.g->SetColWidths(2, 200);
    f.g->SetBounds(0, 0, 400, 200);
    f.g->InitOrigColSizes();
    f.g->ColumnSize()->SetSynchWithGrid(true);
    f.g->SetBounds(0, 0, 800, 200);
    EXPECT_EQ(f.g->ColWidths(0), 80);
    EXPECT_EQ(f.g->ColWidths(1), 200);
    EXPECT_EQ(f.g->ColWidths(2), 400);
    f.g->ColumnSize()->SetSynchNormalCellsOnly(true);
    f.g->SetBounds(0, 0, 200, 200);
    EXPECT_EQ(f.g->ColWidths(0), 80) << "the fixed column keeps its width";
    EXPECT_EQ(f.g->ColWidths(1), 50);
}

TEST(GridOptions, AStretchedGridShowsAHorizontalBarOnlyWhenItHasToScroll) {
    OptionGrid f(3, 3);
    f.g->ColumnSize()->SetStretch(true);
    f.g->SetColWidths(0, 50);
    f.g->SetColWidths(1, 60);
    f.g->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(f.g->ColWidths(2), f.g->CellAreaWidth() - 111);
    EXPECT_EQ(f.g->ScrollBarShow(false), sbsNever);
    f.g->SetColWidths(0, 400);
    f.g->SetBounds(0, 0, 310, 200);
    EXPECT_EQ(f.g->ScrollBarShow(false), sbsAlways);
}

TEST(GridOptions, ShowCellsDragsAPictureOfTheMovedColumn) {
    OptionGrid f;
    setOption(f.g, goColMoving);
    f.g->DragDropSettings()->SetShowCells(true);
    const TPoint from = f.inside(1, 0);
    uitest::mouseDown(f.g, from);
    uitest::mouseMove(f.g, f.inside(2, 0), {ssLeft});
    TNoActiveForm* picture = f.g->MoveForm();
    ASSERT_NE(picture, nullptr);
    const TPoint at = f.g->ClientToScreen(f.inside(3, 0));
    uitest::mouseMove(f.g, f.inside(3, 0), {ssLeft});
    EXPECT_EQ(f.g->MoveForm(), picture) << "made once";
    EXPECT_EQ(picture->Left(), at.X - 10);
    EXPECT_EQ(picture->Top(), at.Y - 8);
    uitest::mouseUp(f.g, f.inside(3, 0));
    EXPECT_EQ(f.g->MoveForm(), nullptr);
}

TEST(GridOptions, TheFootersKeepTheSelectedRowInView) {
    struct Case {
        const char* name;
        std::function<void(OptionGrid&)> setup;
    };
    const Case cases[] = {
        {"preview footer",
         [](OptionGrid& f) {
             f.g->FloatingFooter()->SetFooterStyle(fsColumnPreview);
             f.g->FloatingFooter()->SetVisible(true);
         }},
        {"search footer", [](OptionGrid& f) { f.g->SearchFooter()->SetVisible(true); }},
    };
    for (const auto& c : cases) {
        OptionGrid f(3, 40);
        c.setup(f);
        uitest::processMessages();
        const int footerTop =
            f.g->FooterPanel()->Visible() ? f.g->FooterPanel()->Top() : f.g->SearchPanel()->Top();
        // From the last row that shows whole above the footer the arrow goes down twice.
        int r = f.g->TopRow();
        while (f.g->CellRect(1, r + 1).Bottom <= footerTop) ++r;
        f.at(1, r);
        const int top = f.g->TopRow();
        for (int i = 1; i <= 2; ++i) {
            uitest::pressKey(VK_DOWN);
            ASSERT_EQ(f.g->Row(), r + i) << c.name;
            EXPECT_EQ(f.g->TopRow(), top + i) << c.name;
            EXPECT_LE(f.g->CellRect(1, r + i).Bottom, footerTop + 2) << c.name;
        }
    }
}

// --- looks ---------------------------------------------------------------------------------------

TEST(GridOptions, VistaSelectionIsARoundedFrame) {
    OptionGrid f;
    f.g->SetLook(glVista);
    f.g->SetHideFocusRect(true);
    f.at(2, 2);
    f.g->SetFocus();
    f.g->Invalidate();
    const TRect r = f.g->CellRect(2, 2);
    // The corner shows the grid colour, the pixel beside it the corner colour, the inside the
    // fill's gradient.
    EXPECT_EQ(uitest::pixel(f.g, r.Left, r.Top), TColor(ColorToRGB(f.g->Color())));
    EXPECT_EQ(uitest::pixel(f.g, r.Left + 1, r.Top), TColor(0xFCEDCB));
    EXPECT_EQ(uitest::pixel(f.g, r.Left + 4, r.Top), TColor(0xFDDE99));
    const TColor inner = uitest::pixel(f.g, r.Left + 6, r.Top + 4);
    EXPECT_NE(inner, TColor(0xFDDE99));
    EXPECT_GE(GetRValue(inner), 0xD5);
    EXPECT_LE(GetRValue(inner), 0xF1);
}

TEST(GridOptions, AnActiveRowWithMirrorColoursPaintsTwoHalves) {
    OptionGrid f;
    f.g->SetActiveRowShow(true);
    f.g->SetActiveRowColor(clRed);
    f.g->SetActiveRowColorTo(clRed);
    f.g->SetActiveRowMirrorColor(clLime);
    f.g->SetActiveRowMirrorColorTo(clLime);
    f.at(1, 2);
    const TRect r = f.g->CellRect(3, 2);
    EXPECT_EQ(uitest::pixel(f.g, r.Left + 5, r.Top + 3), TColor(clRed));
    EXPECT_EQ(uitest::pixel(f.g, r.Left + 5, r.Bottom - 4), TColor(clLime));
}

TEST(GridOptions, ColorTonesColourTheFooterAndTheCombo) {
    OptionGrid f;
    TColorTones tones;
    tones.Background = {clWhite, clSilver, clBlack};
    tones.Foreground = {clNavy, clBlue, clWhite};
    tones.Selected = {clYellow, clOlive, clBlack};
    tones.Hover = {clAqua, clTeal, clBlack};
    f.g->SetColorTones(tones);
    EXPECT_EQ(f.g->FloatingFooter()->Color(), TColor(clNavy));
    TGridCombo* combo = f.g->GridCombo();
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->Flat());
    EXPECT_EQ(combo->BorderColor(), f.g->Color());
    EXPECT_EQ(combo->ButtonColor(), TColor(clWhite));
    EXPECT_EQ(combo->ButtonColorHot(), TColor(clAqua));
    EXPECT_EQ(combo->ButtonColorDown(), TColor(clYellow));
    EXPECT_EQ(combo->ButtonBorderColor(), TColor(clSilver));
}

TEST(GridOptions, AColourChangeRepaintsAVisibleFooter) {
    OptionGrid f;
    f.g->FloatingFooter()->SetVisible(true);
    uitest::processMessages();
    ASSERT_FALSE(f.g->FooterPanel()->NeedsPaint());
    f.g->SetColor(clYellow);
    EXPECT_TRUE(f.g->FooterPanel()->NeedsPaint());
    EXPECT_EQ(f.g->FooterCanvas(), f.g->FooterPanel()->Canvas());
}

TEST(GridOptions, PanningShowsItsOriginPicture) {
    OptionGrid f(4, 40);
    const TPoint origin = f.inside(2, 3);
    TMessage press{WM_MBUTTONDOWN, 0, PointToLParam(origin), 0};
    DeliverMessage(f.g, press);
    ASSERT_TRUE(f.g->WheelPanning());
    // The picture's ring is black on white where its background was.
    EXPECT_EQ(uitest::pixel(f.g, origin.X + 13, origin.Y + 1), TColor(clBlack));
    EXPECT_EQ(uitest::pixel(f.g, origin.X, origin.Y), TColor(clWhite));
    TMessage end{WM_MBUTTONDOWN, 0, PointToLParam(origin), 0};
    DeliverMessage(f.g, end);
    EXPECT_FALSE(f.g->WheelPanning());
}

TEST(GridOptions, UseHTMLHintsShowsTheApplicationsHintsAsMarkup) {
    OptionGrid f;
    auto* plain = new TPanel(&f.form);
    plain->SetParent(&f.form);
    plain->SetBounds(0, 290, 100, 20);
    plain->SetHint("<b>bold</b>");
    plain->SetShowHint(true);
    f.g->SetUseHTMLHints(true);
    uitest::mouseMove(plain, {5, 5});
    uitest::advanceClock(Application->HintPause + 10);
    EXPECT_NE(dynamic_cast<THTMLHintWindow*>(Application->HintWindow()), nullptr);
    Application->CancelHint();
    f.g->SetUseHTMLHints(false);
    uitest::mouseMove(plain, {6, 6});
    uitest::advanceClock(Application->HintPause + 10);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(dynamic_cast<THTMLHintWindow*>(Application->HintWindow()), nullptr);
    Application->CancelHint();
}

} // namespace
