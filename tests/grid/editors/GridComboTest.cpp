// The combo control and the grid's combo editor: its keys and mouse, the list it drops over the
// cell, look-up completion, the wheel, and its painted look.
#include "tests/grid/editors/EditGridFixture.h"

using namespace edit_fixture;
using Log = std::vector<std::string>;

namespace {

TColor rgb(TColor c) {
    return ColorToRGB(c) & 0xFFFFFF;
}

class GridComboTest : public EditGridTest {
protected:
    void openOn(int col, int row) {
        at(col, row);
        uitest::pressKey(VK_F2, {}, grid);
        ASSERT_TRUE(comboShown());
        ASSERT_TRUE(combo()->Focused());
    }
};

TEST_F(GridComboTest, ListKeysChooseTheItemAndEnterCommitsIt) {
    grid->SetCells(colList, 2, "A");
    openOn(colList, 2);
    uitest::pressKey(VK_DOWN, {}, combo());
    uitest::pressKey(VK_DOWN, {}, combo());
    EXPECT_EQ(combo()->Text(), "C");
    EXPECT_EQ(grid->Cells(colList, 2), "A") << "nothing is stored before the edit ends";
    uitest::pressKey(VK_UP, {}, combo());
    uitest::pressKey(VK_RETURN, {}, combo());
    EXPECT_FALSE(comboShown());
    EXPECT_EQ(grid->Cells(colList, 2), "B");
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_TRUE(grid->Focused());
}

TEST_F(GridComboTest, EscapeLeavesTheCellAsItWas) {
    for (const char* cell : {"B", "", "not an item"}) {
        SCOPED_TRACE(cell);
        grid->SetCells(colList, 3, cell);
        openOn(colList, 3);
        uitest::pressKey(VK_DOWN, {}, combo());
        uitest::pressKey(VK_ESCAPE, {}, combo());
        EXPECT_FALSE(comboShown());
        EXPECT_EQ(grid->Cells(colList, 3), cell);
    }
}

TEST_F(GridComboTest, LeftAndRightEndAListEditAndMove) {
    grid->SetCells(colList, 2, "A");
    openOn(colList, 2);
    uitest::pressKey(VK_DOWN, {}, combo());
    uitest::pressKey(VK_RIGHT, {}, combo());
    EXPECT_FALSE(comboShown());
    EXPECT_EQ(grid->Cells(colList, 2), "B");
    EXPECT_EQ(grid->Col(), colCombo);
}

TEST_F(GridComboTest, UpAndDownMoveTheRowWhenTheComboDoesNotTakeThem) {
    grid->Navigation()->SetComboGetUpDown(false);
    grid->SetCells(colList, 2, "C");
    openOn(colList, 2);
    uitest::pressKey(VK_DOWN, {}, combo());
    EXPECT_FALSE(comboShown());
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->Cells(colList, 2), "C");
    EXPECT_EQ(grid->Cells(colList, 3), "") << "the key ended the edit; it writes nothing more";
}

TEST_F(GridComboTest, EditStyleUpDownAndEnterValidateAndLeave) {
    grid->OnCellValidate = [](TObject*, int, int, std::string& v, bool& valid) {
        valid = v != "bad";
    };
    openOn(colCombo, 2);
    uitest::typeText("bad", combo());
    uitest::pressKey(VK_RETURN, {}, combo());
    EXPECT_TRUE(comboShown()) << "a refused value keeps the editor";
    EXPECT_FALSE(editorShown()) << "no text editor opens under the combo";
    EXPECT_EQ(combo()->Text(), "bad");
    EXPECT_EQ(combo()->SelLength(), 3);
    EXPECT_EQ(grid->Cells(colCombo, 2), "");
    uitest::typeText("good", combo());
    uitest::pressKey(VK_DOWN, {}, combo());
    EXPECT_FALSE(comboShown());
    EXPECT_EQ(grid->Cells(colCombo, 2), "good");
    EXPECT_EQ(grid->Row(), 3);
}

TEST_F(GridComboTest, LookupCompletesFromTheItemsUntilBackspace) {
    grid->SetLookup(true);
    grid->Columns()->Items(colCombo)->ComboItems()->Add("abcd");
    openOn(colCombo, 1);
    uitest::typeText("ab", combo());
    EXPECT_EQ(combo()->Text(), "abcd");
    EXPECT_EQ(combo()->ItemIndex(), 3);
    EXPECT_EQ(combo()->SelStart(), 2);
    EXPECT_EQ(combo()->SelLength(), 2);
    uitest::pressKey(VK_BACK, {}, combo());
    EXPECT_EQ(combo()->Text(), "ab");
}

TEST_F(GridComboTest, LookupHistoryKeepsNewValuesWhenTheEditorIsLeft) {
    // The history needs no look-up completion.
    grid->SetLookupHistory(true);
    TButton* other = new TButton(form.get());
    other->SetParent(form.get());
    other->SetBounds(0, 300, 80, 24);
    for (const char* typed : {"new", ""}) {
        SCOPED_TRACE(typed);
        openOn(colCombo, 4);
        combo()->SetText(typed);
        other->SetFocus();
        EXPECT_FALSE(comboShown());
        EXPECT_EQ(grid->Cells(colCombo, 4), typed);
        EXPECT_EQ(combo()->Items()->IndexOf(typed), *typed ? 3 : -1);
        grid->SetFocus();
    }
}

TEST_F(GridComboTest, TheWheelStepsThroughTheItems) {
    Log events;
    grid->OnComboChange = [&](TObject*, int c, int r, int i, const std::string& s) {
        events.push_back(std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(i) +
                         " " + s);
    };
    grid->SetCells(colList, 2, "B");
    openOn(colList, 2);
    const TPoint inside{10, 5};
    uitest::mouseWheel(combo(), inside, -120);
    EXPECT_EQ(combo()->ItemIndex(), 2);
    uitest::mouseWheel(combo(), inside, -120);
    EXPECT_EQ(combo()->ItemIndex(), -1) << "past the last item";
    uitest::mouseWheel(combo(), inside, -120);
    EXPECT_EQ(combo()->ItemIndex(), 0);
    uitest::mouseWheel(combo(), inside, 120);
    EXPECT_EQ(combo()->ItemIndex(), 0);
    EXPECT_EQ(events, (Log{"2,2 2 C", "2,2 -1 ", "2,2 0 A", "2,2 0 A"}));
    EXPECT_EQ(grid->Row(), 2) << "the grid does not scroll under the combo";
}

TEST_F(GridComboTest, TheListDropsOverTheCellsBelow) {
    grid->SetCells(colList, 1, "B");
    for (int r = 2; r < 6; ++r) grid->SetCells(colList, r, "X");
    openOn(colList, 1);
    // A real click on the combo through Qt's delivery drops the list.
    uitest::postNativeClick(combo());
    uitest::processMessages();
    ASSERT_TRUE(combo()->DroppedDown());
    const auto image = uitest::render(form.get());
    const TRect cell = grid->CellRect(colList, 1);
    const TRect list = combo()->DropListRect();
    EXPECT_EQ(list.Top, combo()->Height());
    EXPECT_EQ(list.Height(), 3 * combo()->ItemHeight() + 2);
    const int h = combo()->ItemHeight();
    const int x = cell.Left + cell.Width() - 20;
    const int top = cell.Top + combo()->Height();
    // Item B is highlighted, items A and C are on the list's own background, and the cells
    // below no longer show.
    EXPECT_EQ((image->PixelColor(x, top + 1 + h / 2) & 0xFFFFFF), rgb(clWindow));
    EXPECT_EQ(image->PixelColor(x, top + 1 + h + h / 2) & 0xFFFFFF, rgb(clHighlight));
    EXPECT_EQ(image->PixelColor(x, top + 1 + 2 * h + h / 2) & 0xFFFFFF, rgb(clWindow));
    EXPECT_EQ(image->PixelColor(x, top) & 0xFFFFFF, rgb(clWindowFrame));
    EXPECT_EQ(image->PixelColor(x, top + list.Height() - 1) & 0xFFFFFF, rgb(clWindowFrame));
    // Keys move the highlight; Enter takes the highlighted item and ends the edit.
    uitest::postNativeKey(VK_DOWN, combo());
    uitest::postNativeKey(VK_RETURN, combo());
    uitest::processMessages();
    EXPECT_FALSE(comboShown());
    EXPECT_EQ(grid->Cells(colList, 1), "C");
}

// With the list open Qt gives the keyboard to the list; Enter and Escape still end the edit
// there, as on the closed combo.
TEST_F(GridComboTest, EnterAndEscapeInTheOpenListEndTheEdit) {
    struct Case {
        WORD key;
        const char* stored;
    };
    for (const Case& c : {Case{VK_RETURN, "B"}, Case{VK_ESCAPE, "A"}}) {
        SCOPED_TRACE(c.key);
        grid->SetCells(colList, 2, "A");
        openOn(colList, 2);
        uitest::postNativeClick(combo());
        uitest::processMessages();
        ASSERT_TRUE(combo()->DroppedDown());
        uitest::postNativeKey(VK_DOWN);
        uitest::processMessages();
        EXPECT_EQ(combo()->DropDownIndex(), 1);
        uitest::postNativeKey(c.key);
        uitest::processMessages();
        EXPECT_FALSE(comboShown());
        EXPECT_FALSE(combo()->DroppedDown());
        EXPECT_EQ(grid->Cells(colList, 2), c.stored);
        EXPECT_TRUE(grid->Focused());
    }
}

TEST_F(GridComboTest, AnItemChosenInTheNativeListIsCommittedWhenTheEditEnds) {
    openOn(colCombo, 3);
    combo()->SetDroppedDown(true);
    combo()->PeerSelect(1);
    combo()->SetDroppedDown(false);
    EXPECT_EQ(combo()->Text(), "B");
    uitest::pressKey(VK_RETURN, {}, combo());
    EXPECT_EQ(grid->Cells(colCombo, 3), "B");
}

TEST_F(GridComboTest, CursorWalkLeavesAtTheEndOfTheText) {
    grid->Navigation()->SetCursorWalkEditor(true);
    grid->Navigation()->SetAdvanceDirection(adTopBottom);
    grid->Columns()->Items(colCheck)->SetEditor(edNormal);
    grid->SetCells(colCombo, 2, "ab");
    openOn(colCombo, 2);
    combo()->SetSelStart(0);
    combo()->SetSelLength(0);
    uitest::pressKey(VK_RIGHT, {}, combo());
    EXPECT_EQ(grid->Col(), colCombo) << "inside the text the caret moves";
    uitest::pressKey(VK_RIGHT, {}, combo());
    EXPECT_EQ(grid->Col(), colCheck);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Navigation()->AdvanceDirection(), adTopBottom);
    EXPECT_EQ(grid->Cells(colCombo, 2), "ab");
    EXPECT_TRUE(editorShown()) << "the walk goes on editing";
}

TEST(AsgCombo, ButtonWidthTakesOnlySensibleWidths) {
    TAsgComboBox c(nullptr);
    EXPECT_EQ(c.ButtonWidth(), 19);
    for (int w : {13, 33}) {
        c.SetButtonWidth(w);
        EXPECT_EQ(c.ButtonWidth(), 19) << w;
    }
    for (int w : {14, 32}) {
        c.SetButtonWidth(w);
        EXPECT_EQ(c.ButtonWidth(), w);
    }
}

TEST(AsgCombo, TheLabelSitsWhereItsPositionSays) {
    TForm form(nullptr);
    auto* c = new TAsgComboBox(&form);
    c->SetParent(&form);
    c->SetBounds(100, 50, 120, 21);
    c->SetLabelMargin(4);
    c->SetLabelCaption("Name");
    TLabel* l = c->ComboLabel();
    ASSERT_NE(l, nullptr);
    const int W = l->Width();
    struct Case {
        TLabelPosition pos;
        int left, top;
    };
    const Case cases[] = {
        {lpLeftTop, 100 - W - 4, 50},
        {lpTopLeft, 100, 50 - l->Height() - 4},
        {lpBottomLeft, 100, 50 + 21 + 4},
        {lpRightTop, 100 + 120 + 4, 50},
        {lpLeftCenter, 100 - W - 4, 50 + (21 - l->Height()) / 2},
    };
    for (const auto& k : cases) {
        c->SetLabelPosition(k.pos);
        EXPECT_EQ(l->Left(), k.left) << int(k.pos);
        EXPECT_EQ(l->Top(), k.top) << int(k.pos);
    }
    c->SetVisible(false);
    EXPECT_FALSE(l->Visible());
}

TEST(AsgCombo, AFlatComboPaintsItsFrameAndColouredButton) {
    TForm form(nullptr);
    form.SetColor(clBtnFace);
    auto* c = new TAsgComboBox(&form);
    c->SetParent(&form);
    c->SetBounds(10, 10, 120, 22);
    c->SetFlat(true);
    c->SetColor(clWhite);
    c->SetButtonColor(clLime);
    c->SetButtonTextColor(clBlack);
    form.Show();
    EXPECT_EQ(uitest::pixel(c, 0, 0) & 0xFFFFFF, rgb(clBtnFace))
        << "outer frame in the parent's colour";
    EXPECT_EQ(uitest::pixel(c, 20, 11) & 0xFFFFFF, rgb(clWhite));
    EXPECT_EQ(uitest::pixel(c, 120 - 5, 4) & 0xFFFFFF, rgb(clLime)) << "the button face";
    EXPECT_EQ(uitest::pixel(c, 120 - 19 + 2 - 1 + 7, 1 + 1 + 8) & 0xFFFFFF, rgb(clBlack))
        << "the arrow";
}

TEST_F(GridComboTest, TheDropWidthFollowsTheWidestItem) {
    const std::string wide = "a rather long item that is wider than the column";
    TStringList* items = grid->Columns()->Items(colList)->ComboItems();
    items->Add(wide);
    grid->Navigation()->SetAutoComboDropSize(true);
    grid->Canvas()->Font()->Assign(grid->Font());
    const int t = grid->Canvas()->TextWidth(wide);
    for (int extra : {0, 5}) {
        for (int i = 0; i < extra; ++i) items->Add("i" + std::to_string(i));
        openOn(colList, 1 + extra / 5);
        // Four items fit a list of eight; nine need a scroll bar.
        EXPECT_EQ(combo()->DroppedWidth(), extra ? t + 25 : t + 8) << extra;
        uitest::pressKey(VK_ESCAPE, {}, combo());
    }
}

} // namespace
