// The string grid's 500 ms timer, focus arrival, the update lock and the owner form's resize.
#include "grid/core/QorStringGrid.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class PaintCountGrid : public TQorStringGrid {
public:
    using TQorStringGrid::TQorStringGrid;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        TQorStringGrid::Paint();
    }
};

class GridTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        grid = new PaintCountGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(0, 0, 400, 250);
        form->Show();
        grid->SetFocus();
        uitest::processMessages();
    }
    void TearDown() override {
        form.reset();
        uitest::processMessages();
    }
    std::unique_ptr<TForm> form;
    PaintCountGrid* grid = nullptr;
};

TEST_F(GridTimerTest, TheTimerTicksEvery500msFromWindowCreation) {
    EXPECT_EQ(grid->TimerID(), 111u);
    uitest::advanceClock(499);
    EXPECT_EQ(grid->TimerTicks(), 0);
    uitest::advanceClock(1);
    EXPECT_EQ(grid->TimerTicks(), 1);
    uitest::advanceClock(1000);
    EXPECT_EQ(grid->TimerTicks(), 3);
}

TEST_F(GridTimerTest, TheIncrementalSearchTextExpiresAfterFourTicks) {
    grid->Navigation()->SetAutoGotoIncremental(true);
    uitest::advanceClock(250); // typed half way between two ticks
    grid->SetSearchInc("ab");
    uitest::advanceClock(1500);
    EXPECT_EQ(grid->SearchInc(), "ab");
    uitest::advanceClock(500);
    EXPECT_EQ(grid->SearchInc(), "");

    grid->Navigation()->SetAutoGotoIncremental(false);
    grid->SetSearchInc("cd");
    uitest::advanceClock(5000);
    EXPECT_EQ(grid->SearchInc(), "cd");
}

TEST_F(GridTimerTest, BlinkingTextRepaintsEachTick) {
    grid->SetEnableBlink(true);
    grid->SetCells(2, 3, "<blink>on</blink>");
    uitest::processMessages();
    const int before = grid->paints;
    uitest::advanceClock(500);
    EXPECT_TRUE(grid->GridBlink());
    EXPECT_GT(grid->paints, before);
    uitest::advanceClock(500);
    EXPECT_FALSE(grid->GridBlink());

    grid->SetEnableBlink(false);
    const int after = grid->paints;
    uitest::advanceClock(1000);
    EXPECT_EQ(grid->paints, after);
}

TEST_F(GridTimerTest, HoveringMakesTheCellUnderThePointerCurrent) {
    const TRect r = grid->CellRect(3, 4);
    const TPoint p{r.Left + 5, r.Top + 5};
    uitest::mouseMove(grid, p);
    SetCursorPosition(grid->ClientToScreen(p));
    uitest::advanceClock(500);
    EXPECT_EQ(grid->Row(), 1) << "only with Hovering";
    grid->SetHovering(true);
    uitest::advanceClock(500);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 4);
}

TEST_F(GridTimerTest, UpdatesNestAndResumeAlsoWhenTheGridWasHiddenBetween) {
    grid->BeginUpdate();
    grid->BeginUpdate();
    grid->SetCells(1, 1, "a");
    grid->Invalidate();
    int before = grid->paints;
    uitest::processMessages();
    EXPECT_EQ(grid->paints, before) << "nothing is painted while locked";
    grid->EndUpdate();
    uitest::processMessages();
    EXPECT_EQ(grid->paints, before);
    EXPECT_TRUE(grid->LockUpdate());

    // Hidden before the last EndUpdate: the count still drops and the grid paints once shown.
    grid->Hide();
    grid->EndUpdate();
    EXPECT_EQ(grid->UpdateCount(), 0);
    grid->Show();
    uitest::processMessages();
    EXPECT_GT(grid->paints, before);

    // Locked while hidden, ended while shown.
    grid->Hide();
    grid->BeginUpdate();
    grid->Show();
    before = grid->paints;
    uitest::processMessages();
    EXPECT_EQ(grid->paints, before);
    grid->EndUpdate();
    uitest::processMessages();
    EXPECT_GT(grid->paints, before);

    // One more EndUpdate keeps the count at 0 and repaints once more.
    before = grid->paints;
    grid->EndUpdate();
    EXPECT_EQ(grid->UpdateCount(), 0);
    uitest::processMessages();
    EXPECT_EQ(grid->paints, before + 1);

    grid->StartUpdate();
    grid->StartUpdate();
    EXPECT_TRUE(grid->LockUpdate());
    grid->ResetUpdate();
    EXPECT_FALSE(grid->LockUpdate());
    grid->SetLockUpdate(true);
    EXPECT_EQ(grid->UpdateCount(), 1);
    grid->SetLockUpdate(false);
    EXPECT_EQ(grid->UpdateCount(), 0);
}

TEST_F(GridTimerTest, FocusArrivalStoresTheReferenceAndOpensTheEditorWithAlwaysEdit) {
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(0, 300, 100, 20);
    grid->SetOptions(grid->Options() + goEditing);
    grid->SetCells(2, 2, "ref");
    grid->SetCol(2);
    grid->SetRow(2);
    other->SetFocus();
    grid->SetFocus();
    EXPECT_EQ(grid->OldCol(), 2);
    EXPECT_EQ(grid->OldRow(), 2);
    EXPECT_EQ(grid->OldCellText(), "ref");

    // The normal editor exists once it was used; with AlwaysEdit focus arrival opens it.
    uitest::pressKey(VK_F2, {}, grid);
    grid->HideInplaceEdit();
    grid->Navigation()->SetAlwaysEdit(true);
    other->SetFocus();
    grid->SetFocus();
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    grid->HideInplaceEdit();

    // Not on a check-box cell.
    grid->AddCheckBox(2, 2, cbUnchecked);
    other->SetFocus();
    grid->SetFocus();
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
}

TEST_F(GridTimerTest, TheGridFollowsTheFormSizeWithSizeWithForm) {
    form->SetBounds(0, 0, 600, 450);
    EXPECT_EQ(grid->Width(), 400);
    grid->SetSizeWithForm(true);
    form->SetBounds(0, 0, 650, 430);
    EXPECT_EQ(grid->Width(), 450);
    EXPECT_EQ(grid->Height(), 230);
}

TEST_F(GridTimerTest, AStretchedColumnFollowsTheGridWidth) {
    grid->ColumnSize()->SetStretch(true);
    grid->SetBounds(0, 0, 500, 250);
    int sum = 0;
    for (int c = 0; c < grid->ColCount(); ++c) sum += grid->ColWidths(c);
    EXPECT_EQ(sum, grid->CellAreaWidth() - 1);
    const int last = grid->ColWidths(4);
    grid->ColumnSize()->SetStretchColumn(7); // no such column: a resize leaves the widths
    grid->SetBounds(0, 0, 450, 250);
    EXPECT_EQ(grid->ColWidths(4), last);
}

TEST_F(GridTimerTest, MaxEditLengthLimitsTheEditor) {
    grid->SetOptions(grid->Options() + goEditing);
    uitest::pressKey(VK_F2, {}, grid);
    grid->SetMaxEditLength(3);
    EXPECT_EQ(grid->GetEditLimit(), 3);
    uitest::typeText("abcdef", grid->InplaceEditor());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "abc");
}

} // namespace
