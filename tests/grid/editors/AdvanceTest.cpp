// Navigation after editing: where the current cell goes for each advance direction, loop,
// insert and skip setting, and what Enter and Escape do when they reach the grid.
#include "grid/data/DataSettings.h"
#include "tests/grid/editors/EditGridFixture.h"

#include <functional>

using namespace edit_fixture;

namespace {

class AdvanceTest : public EditGridTest {
protected:
    void SetUp() override {
        EditGridTest::SetUp();
        // Five editable text columns.
        for (int c = 1; c < 6; ++c) {
            grid->Columns()->Items(c)->SetEditor(edNormal);
            grid->Columns()->Items(c)->SetReadOnly(false);
        }
    }
};

struct AdvanceCase {
    const char* name;
    std::function<void(TQorColumnGrid*)> setup;
    TGridCoord from;
    bool forward;
    TGridCoord to;
};

void direction(TQorColumnGrid* g, TAdvanceDirection d, bool loop = true, bool insert = false) {
    g->Navigation()->SetAdvanceDirection(d);
    g->Navigation()->SetAdvanceOnEnterLoop(loop);
    g->Navigation()->SetAdvanceInsert(insert);
}

TEST_F(AdvanceTest, EachDirectionMovesToItsNextCell) {
    auto lr = [](bool loop) {
        return [loop](TQorColumnGrid* g) { direction(g, adLeftRight, loop); };
    };
    auto inRow = [](bool loop) {
        return [loop](TQorColumnGrid* g) { direction(g, adLeftRightInRow, loop); };
    };
    auto tb = [](TQorColumnGrid* g) { direction(g, adTopBottom, false); };
    auto inCol = [](TQorColumnGrid* g) { direction(g, adTopBottomInCol, false); };
    // The last row as a footer and the last column fixed at the right edge.
    auto footer = [](TAdvanceDirection d) {
        return [d](TQorColumnGrid* g) {
            direction(g, d);
            g->SetFixedFooters(1);
            g->SetFixedRightCols(1);
        };
    };
    auto readOnly3 = [](TQorColumnGrid* g) { g->Columns()->Items(3)->SetReadOnly(true); };
    auto fixed3 = [](TQorColumnGrid* g) { g->Columns()->Items(3)->SetFixed(true); };
    const AdvanceCase cases[] = {
        {"right", lr(true), {2, 1}, true, {3, 1}},
        {"end of row to the next row", lr(true), {5, 1}, true, {1, 2}},
        {"last cell loops to the first", lr(true), {5, 5}, true, {1, 1}},
        {"last cell without loop stays", lr(false), {5, 5}, true, {5, 5}},
        {"in row loops", inRow(true), {5, 2}, true, {1, 2}},
        {"in row without loop stays", inRow(false), {5, 2}, true, {5, 2}},
        {"down", tb, {2, 2}, true, {2, 3}},
        {"column end to the next column", tb, {2, 5}, true, {3, 1}},
        {"last cell down to the first", tb, {5, 5}, true, {1, 1}},
        {"in column back to the top without loop", inCol, {3, 5}, true, {3, 1}},
        {"left", lr(true), {3, 2}, false, {2, 2}},
        {"row start back to the previous row", lr(true), {1, 2}, false, {5, 1}},
        {"first cell back to the last", lr(true), {1, 1}, false, {5, 5}},
        {"up", tb, {2, 3}, false, {2, 2}},
        {"column top back to the previous column", tb, {2, 1}, false, {1, 5}},
        {"first cell up to the last", tb, {1, 1}, false, {5, 5}},
        {"backward in row does not move", inRow(true), {3, 2}, false, {3, 2}},
        {"fixed right column ends the row", footer(adLeftRight), {4, 2}, true, {1, 3}},
        {"footer row ends the grid", footer(adLeftRight), {4, 4}, true, {1, 1}},
        {"footer row ends the column", footer(adTopBottom), {2, 4}, true, {3, 1}},
        {"back from the first cell to the last before the footer",
         footer(adLeftRight),
         {1, 1},
         false,
         {4, 4}},
        {"read-only column jumped over", readOnly3, {2, 1}, true, {4, 1}},
        {"fixed column jumped over", fixed3, {2, 1}, true, {4, 1}},
        {"read-only target taken without skipping",
         [readOnly3](TQorColumnGrid* g) {
             readOnly3(g);
             g->Navigation()->SetAdvanceSkipReadOnlyCells(false);
         },
         {2, 1},
         true,
         {3, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.setup(grid);
        at(c.from.X, c.from.Y);
        grid->AdvanceAfterEdit(c.from.X, c.from.Y, false, false, c.forward, false, true);
        EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), c.to);
    }
}

TEST_F(AdvanceTest, NothingMovesWithoutAdvanceOnEnterUnlessForced) {
    at(2, 2);
    grid->AdvanceAfterEdit(2, 2, false, false, true, false, false);
    EXPECT_EQ(grid->Col(), 2);
    grid->Navigation()->SetAdvanceOnEnter(true);
    grid->AdvanceAfterEdit(2, 2, false, false, true, false, false);
    EXPECT_EQ(grid->Col(), 3);
}

TEST_F(AdvanceTest, InsertAppendsOneRowOrColumnAtTheEnd) {
    std::vector<int> added;
    grid->OnAutoAddRow = [&](TObject*, int r) { added.push_back(r); };
    grid->OnAutoInsertCol = [&](TObject*, int c) { added.push_back(100 + c); };
    direction(grid, adLeftRight, true, true);
    at(5, 5);
    grid->AdvanceAfterEdit(5, 5, false, false, true, false, true);
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), (TGridCoord{1, 6}));

    // A refused row: the row stays, the column goes to the first one.
    grid->OnCanAddRow = [](TObject*, bool& can) { can = false; };
    at(5, 6);
    grid->AdvanceAfterEdit(5, 6, false, false, true, false, true);
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), (TGridCoord{1, 6}));

    direction(grid, adTopBottom, false, true);
    at(5, 6);
    grid->AdvanceAfterEdit(5, 6, false, false, true, false, true);
    EXPECT_EQ(grid->ColCount(), 7);
    EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), (TGridCoord{6, 1}));
    EXPECT_EQ(added, (std::vector<int>{6, 106}));
}

TEST_F(AdvanceTest, SkippingReportsTheStartCellAndStopsWhenNothingIsEditable) {
    grid->Columns()->Items(3)->SetReadOnly(true);
    std::vector<std::string> reported;
    grid->OnAutoAdvance = [&](TObject*, int oldRow, int oldCol, int& newRow, int& newCol, bool&) {
        reported.push_back(std::to_string(oldCol) + "," + std::to_string(oldRow) + ">" +
                           std::to_string(newCol) + "," + std::to_string(newRow));
    };
    at(2, 1);
    grid->AdvanceAfterEdit(2, 1, false, false, true, false, true);
    EXPECT_EQ(reported, std::vector<std::string>{"2,1>4,1"});

    // Every cell read-only: each direction comes back to its start and stays there.
    for (int c = 1; c < 6; ++c) grid->Columns()->Items(c)->SetReadOnly(true);
    for (TAdvanceDirection d : {adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol})
        for (bool loop : {true, false})
            for (bool forward : {true, false}) {
                direction(grid, d, loop);
                at(3, 3);
                grid->AdvanceAfterEdit(3, 3, true, false, forward, true, true);
                EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), (TGridCoord{3, 3}))
                    << int(d) << loop << forward;
            }
    EXPECT_EQ(reported.size(), 1u);
}

TEST_F(AdvanceTest, HiddenRowsAreSteppedOver) {
    for (int r = 1; r < 6; ++r) grid->SetCells(2, r, "r" + std::to_string(r));
    grid->HideRow(3);
    direction(grid, adTopBottom, false);
    at(2, 2);
    grid->AdvanceAfterEdit(2, 2, false, false, true, false, true);
    EXPECT_EQ(grid->Cells(2, grid->Row()), "r4");
}

TEST_F(AdvanceTest, EnterWithAdvanceOnEnterConfirmsAndOpensTheNextCell) {
    grid->Navigation()->SetAdvanceOnEnter(true);
    at(1, 2);
    uitest::typeText("ab");
    uitest::pressKey(VK_RETURN);
    EXPECT_EQ(grid->Cells(1, 2), "ab");
    EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), (TGridCoord{2, 2}));
    EXPECT_TRUE(editorShown()) << "AdvanceAutoEdit opens the next cell's editor";

    // The same through Qt's own key delivery: a letter opens the editor, Enter advances.
    uitest::pressKey(VK_ESCAPE);
    at(1, 3);
    uitest::postNativeKey('C', grid);
    uitest::processMessages();
    ASSERT_TRUE(editorShown());
    uitest::postNativeKey('D', editor());
    uitest::postNativeKey(VK_RETURN, editor());
    uitest::processMessages();
    EXPECT_EQ(grid->Cells(1, 3), "cd");
    EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), (TGridCoord{2, 3}));
    EXPECT_TRUE(editorShown());
}

TEST(AdvanceSearch, IncrementalSearchFindsTheRowAndForgetsAMiss) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* g = new TQorStringGrid(form.get());
    g->SetParent(form.get());
    g->SetColCount(3);
    g->SetRowCount(5);
    const char* names[] = {"", "Apple", "Abbey", "Bread", "Abc"};
    for (int r = 1; r < 5; ++r) g->SetCells(1, r, names[r]);
    g->SortSettings()->SetColumn(1);
    g->Navigation()->SetAutoGotoWhenSorted(true);
    g->Navigation()->SetAutoGotoIncremental(true);
    form->Show();
    g->SetFocus();
    uitest::typeText("ab", g);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(g->SearchInc(), "ab");
    uitest::typeText("z", g);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(g->SearchInc(), "");
    uitest::typeText("b", g);
    EXPECT_EQ(g->Row(), 3);
}

} // namespace
