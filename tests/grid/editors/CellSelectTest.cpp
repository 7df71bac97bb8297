// Edit permission and cell selection: goEditing follows the current cell of a column grid, the
// edit of the cell left is ended first, and the changing events may refuse a move.
#include "tests/grid/editors/EditGridFixture.h"

using namespace edit_fixture;

namespace {

class CellSelectTest : public EditGridTest {};

TEST_F(CellSelectTest, EditingFollowsTheCurrentCell) {
    struct Case {
        int col, row;
        bool editing;  // goEditing after the move
        bool disabled; // editing wanted but switched off for this cell
    };
    const Case cases[] = {
        {colText, 1, true, false},     {colReadOnly, 1, false, true}, {colList, 2, true, false},
        {colReadOnly, 2, false, true}, {colCheck, 2, true, true},     {colCombo, 3, true, false},
    };
    for (const auto& c : cases) {
        at(c.col, c.row);
        EXPECT_EQ(grid->Options().Contains(goEditing), c.editing) << c.col << "," << c.row;
        EXPECT_EQ(grid->EditDisabled(), c.disabled) << c.col << "," << c.row;
    }
    // Back on a text cell, typing opens the editor with the character.
    at(colText, 4);
    uitest::typeText("7");
    ASSERT_TRUE(editorShown());
    EXPECT_EQ(editor()->Text(), "7");
}

TEST_F(CellSelectTest, TheCellCurrentWhenTheGridGetsTheFocusIsEditable) {
    // No move yet: the focus alone decides for cell (1, 1).
    EXPECT_TRUE(grid->Options().Contains(goEditing));
    uitest::postNativeKey('5', grid);
    uitest::processMessages();
    ASSERT_TRUE(editorShown());
    EXPECT_EQ(editor()->Text(), "5");
}

TEST_F(CellSelectTest, PermissionOfFixedReadOnlyAndNormalCells) {
    grid->SetFixedFooters(1);
    struct Case {
        int col, row;
        bool canEdit, fixed;
    };
    const Case cases[] = {
        {0, 2, false, true},       {2, 0, false, true},
        {colText, 2, true, false}, {colReadOnly, 2, false, false},
        {colText, 5, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(grid->CanEditCell(c.col, c.row), c.canEdit) << c.col << "," << c.row;
        EXPECT_EQ(grid->IsFixed(c.col, c.row), c.fixed) << c.col << "," << c.row;
    }
    grid->SetFixedFooters(0);
    grid->SetFixedRightCols(1);
    EXPECT_TRUE(grid->IsFixed(5, 2));
    EXPECT_FALSE(grid->IsFixed(4, 2));
    // A cell's own read-only property and OnCanEditCell have the last word.
    grid->SetReadOnly(colText, 3, true);
    EXPECT_FALSE(grid->CanEditCell(colText, 3));
    grid->OnCanEditCell = [](TObject*, int r, int, bool& e) { e = r != 4; };
    EXPECT_FALSE(grid->CanEditCell(colList, 4));
    EXPECT_TRUE(grid->CanEditCell(colList, 2));
    // A string grid that never asked for editing edits nothing.
    TQorStringGrid plain(nullptr);
    EXPECT_FALSE(plain.IsEditable(1, 1));
}

TEST_F(CellSelectTest, EnteringAReadOnlyCellEndsAndCommitsTheEditFirst) {
    logDone();
    at(colText, 2);
    uitest::typeText("ab");
    ASSERT_TRUE(editorShown());
    at(colReadOnly, 2);
    EXPECT_FALSE(editorShown());
    EXPECT_EQ(grid->Cells(colText, 2), "ab");
    EXPECT_FALSE(grid->EditMode());
    uitest::processMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"editing done", "cell done 1,2"}));
    // Typing in the read-only cell opens nothing.
    uitest::typeText("x");
    EXPECT_FALSE(editorShown());
    EXPECT_EQ(grid->Cells(colReadOnly, 2), "");
}

TEST_F(CellSelectTest, EditOnDoubleClickOnlySwitchesEditingOffWhenMoving) {
    grid->MouseActions()->SetEditOnDblClickOnly(true);
    at(colText, 3);
    EXPECT_FALSE(grid->Options().Contains(goEditing));
    uitest::doubleClick(grid, {grid->CellRect(colText, 3).Left + 5, grid->CellRect(1, 3).Top + 5});
    EXPECT_TRUE(editorShown());
}

TEST_F(CellSelectTest, RowChangedFiresOncePerChangeOfRow) {
    std::vector<std::string> rows;
    grid->OnRowChanged = [&](TObject*, int from, int to) {
        rows.push_back(std::to_string(from) + ">" + std::to_string(to));
    };
    at(colText, 2);
    at(colList, 2);
    at(colList, 4);
    uitest::pressKey(VK_RIGHT, {}, grid);
    uitest::pressKey(VK_UP, {}, grid);
    EXPECT_EQ(rows, (std::vector<std::string>{"1>2", "2>4", "4>3"}));
}

// A grid whose row events are handled before it is shown: the focus arriving moves no row, and
// a move reports the row left; a grid without OnRowChanged still reports to OnRowUpdate.
TEST(CellSelectRows, TheFocusChangesNoRowAndEachMoveIsReported) {
    for (bool rowChanged : {true, false}) {
        SCOPED_TRACE(rowChanged);
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        auto* g = new TQorColumnGrid(form.get());
        g->SetParent(form.get());
        g->SetBounds(0, 0, 300, 200);
        std::vector<std::string> changed, updated;
        auto record = [](std::vector<std::string>& to) {
            return [&to](TObject*, int from, int row) {
                to.push_back(std::to_string(from) + ">" + std::to_string(row));
            };
        };
        if (rowChanged) g->OnRowChanged = record(changed);
        g->OnRowUpdate = record(updated);
        form->Show();
        // A real click in the current row gives the grid the focus.
        const TRect cell = g->CellRect(2, 1);
        uitest::postNativeClickAt(g, {cell.Left + 5, cell.Top + 5});
        uitest::processMessages();
        ASSERT_TRUE(g->Focused());
        EXPECT_EQ(g->Row(), 1);
        EXPECT_TRUE(changed.empty()) << "the focus changed no row";
        g->SetRow(3);
        g->SetCol(1);
        if (rowChanged) {
            EXPECT_EQ(changed, std::vector<std::string>{"1>3"});
        } else {
            EXPECT_EQ(updated.size(), 1u) << "OnRowUpdate hears the move";
        }
        form.reset();
        uitest::processMessages();
    }
}

TEST_F(CellSelectTest, ARefusingCellChangingHandlerKeepsTheCurrentCell) {
    at(colList, 2);
    std::vector<std::string> asked;
    grid->OnCellChanging = [&](TObject*, int oldRow, int oldCol, int newRow, int newCol,
                               bool& allow) {
        asked.push_back(std::to_string(oldCol) + "," + std::to_string(oldRow) + ">" +
                        std::to_string(newCol) + "," + std::to_string(newRow));
        allow = false;
    };
    int rowChanges = 0;
    grid->OnRowChanged = [&](TObject*, int, int) { ++rowChanges; };
    uitest::pressKey(VK_DOWN, {}, grid);
    uitest::pressKey(VK_LEFT, {}, grid);
    // A real click through Qt's delivery on another cell.
    const TRect r = grid->CellRect(colCheck, 4);
    uitest::click(grid, {r.Left + 40, r.Top + 5});
    EXPECT_EQ(grid->Col(), colList);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(asked, (std::vector<std::string>{"2,2>2,3", "2,2>1,2", "2,2>4,4"}));
    EXPECT_EQ(rowChanges, 0) << "a refused move changes no row";
}

TEST_F(CellSelectTest, ACheckCellSwitchesEditingOnButOpensNoEditor) {
    at(colReadOnly, 3);
    at(colCheck, 3);
    EXPECT_TRUE(grid->Options().Contains(goEditing));
    uitest::pressKey(VK_F2, {}, grid);
    uitest::typeText("x");
    EXPECT_FALSE(editorShown());
    EXPECT_FALSE(comboShown());
    uitest::pressKey(VK_SPACE, {}, grid);
    EXPECT_EQ(grid->Cells(colCheck, 3), "Y");
}

} // namespace
