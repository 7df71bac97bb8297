#include "grid/core/base/GridUndo.h"
#include "grid/core/QorStringGrid.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class GridUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid = std::make_unique<TQorStringGrid>(nullptr);
        grid->SetColCount(4);
        grid->SetRowCount(5);
        undo = std::make_unique<TQorGridUndoRedo>(nullptr);
        grid->SetUndoRedo(undo.get());
    }
    // Writes the cell as an edit would and registers the change.
    void change(int c, int r, const std::string& text) {
        undo->RegisterChange(c, r, grid->Cells(c, r), text);
        grid->SetCells(c, r, text);
    }
    // One letter per step: a = cell (1,1) becomes "a", b = cell (2,1) "b", c = cell (1,2) "c",
    // A, B, C the same with upper case; [ ] a sequence; u undo; r redo; x reset.
    void run(const std::string& steps) {
        for (char s : steps) {
            switch (s) {
            case 'a':
            case 'A':
                change(1, 1, std::string(1, s));
                break;
            case 'b':
            case 'B':
                change(2, 1, std::string(1, s));
                break;
            case 'c':
            case 'C':
                change(1, 2, std::string(1, s));
                break;
            case '[':
                undo->StartSequence();
                break;
            case ']':
                undo->StopSequence();
                break;
            case 'u':
                undo->Undo();
                break;
            case 'r':
                undo->Redo();
                break;
            case 'x':
                undo->Reset();
                break;
            default:
                FAIL() << "unknown step " << s;
            }
        }
    }
    std::string cells() {
        return grid->Cells(1, 1) + "|" + grid->Cells(2, 1) + "|" + grid->Cells(1, 2);
    }

    std::unique_ptr<TQorStringGrid> grid;
    std::unique_ptr<TQorGridUndoRedo> undo;
};

TEST_F(GridUndoTest, SequencesOfChangesUndoAndRedo) {
    struct Case {
        const char* steps;
        const char* cells; // (1,1)|(2,1)|(1,2)
        int level;
        int items;
        bool canUndo, canRedo;
    };
    const Case cases[] = {
        {"a", "a||", 1, 1, true, false},
        {"au", "||", 0, 1, false, true},
        {"aur", "a||", 1, 1, true, false},
        {"aAuu", "||", 0, 2, false, true},
        {"aAuur", "a||", 1, 2, true, true},
        {"uuu", "||", 0, 0, false, false},
        {"rrr", "||", 0, 0, false, false},
        // A sequence is one step each way.
        {"[ab]", "a|b|", 4, 4, true, false},
        {"[ab]u", "||", 0, 4, false, true},
        {"[ab]ur", "a|b|", 4, 4, true, false},
        {"c[ab]uu", "||", 0, 5, false, true},
        {"c[aA]u", "||c", 1, 5, true, true},
        {"c[aA]ur", "A||c", 5, 5, true, false},
        // A change after undoing drops what could have been redone.
        {"aub", "|b|", 1, 1, true, false},
        {"aAubu", "a||", 1, 2, true, true},
        {"[ab]uc", "||c", 1, 1, true, false},
        {"aA[bc]uuc", "a||c", 2, 2, true, false},
        // A start without its stop replays to the end.
        {"[ab", "a|b|", 3, 3, true, false},
        // Reset leaves nothing to undo or redo.
        {"aAx", "A||", 0, 0, false, false},
        {"aAxu", "A||", 0, 0, false, false},
        {"aAuxr", "a||", 0, 0, false, false},
    };
    for (const auto& c : cases) {
        SetUp();
        run(c.steps);
        EXPECT_EQ(cells(), c.cells) << c.steps;
        EXPECT_EQ(undo->Level(), c.level) << c.steps;
        EXPECT_EQ(undo->Items()->Count(), c.items) << c.steps;
        EXPECT_EQ(undo->CanUndo(), c.canUndo) << c.steps;
        EXPECT_EQ(undo->CanRedo(), c.canRedo) << c.steps;
    }
}

TEST_F(GridUndoTest, UnwindingARedoneSequenceAfterAStopWithoutStart) {
    // A stop marker without its start unwinds to the beginning and never below level 0.
    run("ab");
    undo->StopSequence();
    run("u");
    EXPECT_EQ(cells(), "||");
    EXPECT_EQ(undo->Level(), 0);
    run("u");
    EXPECT_EQ(undo->Level(), 0);
}

TEST_F(GridUndoTest, MaxLevelDropsTheOldestChange) {
    undo->SetMaxLevel(2);
    run("abc");
    ASSERT_EQ(undo->Items()->Count(), 2);
    EXPECT_EQ(undo->Level(), 2);
    EXPECT_EQ(undo->Items()->Item(0)->Value(), "b");
    run("uuu");
    // The first change is gone: (1,1) keeps "a".
    EXPECT_EQ(cells(), "a||");
}

TEST_F(GridUndoTest, EventsSeeThePresentTextAndTheTextToCome) {
    std::vector<std::string> seen;
    undo->OnUndo = [&](TObject*, TBaseGrid* g, int c, int r, const std::string& orig,
                       const std::string& next) {
        EXPECT_EQ(g, grid.get());
        seen.push_back("u" + std::to_string(c) + std::to_string(r) + ":" + orig + ">" + next);
    };
    undo->OnRedo = [&](TObject*, TBaseGrid*, int c, int r, const std::string& orig,
                       const std::string& next) {
        seen.push_back("r" + std::to_string(c) + std::to_string(r) + ":" + orig + ">" + next);
    };
    run("[aA]uraub");
    // Newest first when undoing a sequence, oldest first when redoing it.
    const std::vector<std::string> expected = {"u11:A>a", "u11:a>", "r11:>a", "r11:a>A", "u11:a>A"};
    EXPECT_EQ(seen, expected);
}

TEST_F(GridUndoTest, UndoMovesTheCurrentCellToTheChange) {
    grid->SetFixedCols(1);
    grid->HideColumn(1);
    change(2, 3, "x");
    undo->Undo();
    EXPECT_EQ(grid->Cells(2, 3), "");
    // Column 2 is shown at display column 1 while column 1 is hidden.
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 3);
}

TEST_F(GridUndoTest, WithoutAGridNothingHappensAndTheLinkIsClearedWithTheGrid) {
    TQorGridUndoRedo alone(nullptr);
    alone.RegisterChange(1, 1, "a", "b");
    alone.Undo();
    EXPECT_EQ(alone.Level(), 1);
    {
        TQorStringGrid g(nullptr);
        g.SetUndoRedo(&alone);
        EXPECT_EQ(alone.Grid(), &g);
    }
    EXPECT_EQ(alone.Grid(), nullptr);
    alone.Undo();
    EXPECT_EQ(alone.Level(), 1);
}

TEST_F(GridUndoTest, AnAcceptedEditIsRegisteredFromTheOldToTheNewText) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* g = new TQorStringGrid(form.get());
    g->SetParent(form.get());
    g->SetOptions(g->Options() + goEditing);
    g->SetUndoRedo(undo.get());
    g->SetCells(1, 1, "old");
    form->Show();
    g->SetFocus();
    g->SetCol(1);
    g->SetRow(1);
    uitest::pressKey(VK_F2, {}, g);
    TInplaceEdit* ed = g->InplaceEditor();
    ASSERT_TRUE(ed && ed->Visible());
    ed->SelectAll();
    uitest::typeText("new", ed);
    ASSERT_TRUE(g->ValidateCell(ed->Text()));
    ASSERT_EQ(g->Cells(1, 1), "new");
    ASSERT_EQ(undo->Items()->Count(), 1);
    EXPECT_EQ(undo->Items()->Item(0)->OrigValue(), "old");
    EXPECT_EQ(undo->Items()->Item(0)->Value(), "new");
    undo->Undo();
    EXPECT_EQ(g->Cells(1, 1), "old");
    // Detached, the component forgets the grid.
    g->SetUndoRedo(nullptr);
    EXPECT_EQ(undo->Grid(), nullptr);
}

} // namespace
