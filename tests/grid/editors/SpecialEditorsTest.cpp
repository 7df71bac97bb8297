// The grid's spin, date, time, button-edit, unit-edit, check-box and button cells, driven as a
// user drives them: keys and clicks through Qt's own delivery on a shown column grid.
#include "grid/core/QorColumnGrid.h"
#include "grid/editors/GridEditors.h"
#include "grid/editors/QorInplaceEdit.h"
#include "grid/render/ControlLook.h"
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/Menus.h"
#include "platform/ui/core/Clipbrd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// One column per editor kind, after the fixed row-number column.
const TEditorType kinds[] = {edSpinEdit,       edFloatSpinEdit,  edTimeSpinEdit, edDateSpinEdit,
                             edEditBtn,        edNumericEditBtn, edFloatEditBtn, edMaskEditBtn,
                             edUnitEditBtn,    edCheckBox,       edButton,       edDateEdit,
                             edDateEditUpDown, edTimeEdit,       edDateTimeEdit};
constexpr int kindCount = int(std::size(kinds));

int col(TEditorType k) {
    for (int i = 0; i < kindCount; ++i)
        if (kinds[i] == k) return i + 1;
    return -1;
}

std::string today() {
    return DateToStr(Date());
}

class SpecialEditorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFormatSettings();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 1300, 400);
        grid = new TQorColumnGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(0, 0, 1280, 250);
        grid->SetColCount(kindCount + 1);
        grid->SetRowCount(6);
        grid->SynchColumns();
        grid->Columns()->Items(0)->SetWidth(30);
        for (int i = 0; i < kindCount; ++i) {
            TGridColumnItem* item = grid->Columns()->Items(i + 1);
            item->SetEditor(kinds[i]);
            item->SetWidth(76);
        }
        TGridColumnItem* spin = grid->Columns()->Items(col(edSpinEdit));
        spin->SetSpinMin(0);
        spin->SetSpinMax(100);
        grid->Columns()->Items(col(edMaskEditBtn))->SetEditMask("00:00;1;_");
        grid->UnitEditBtn()->Units()->Add("m");
        grid->UnitEditBtn()->Units()->Add("mm");
        for (int r = 1; r < 6; ++r) grid->SetCells(0, r, std::to_string(r));
        form->Show();
        grid->SetFocus();
        uitest::processMessages();
    }
    void TearDown() override {
        SetPopupMenuPresenter(nullptr);
        form.reset();
        uitest::processMessages();
        ResetFormatSettings();
    }
    void at(int c, int r) {
        grid->SetCol(c);
        grid->SetRow(r);
    }
    // F2 through Qt on the cell of the kind, the editor then has the focus.
    TWinControl* open(TEditorType k, int r) {
        at(col(k), r);
        uitest::postNativeKey(VK_F2, grid);
        uitest::processMessages();
        TWinControl* e = grid->EditCtrl();
        if (!e && k == edDateTimeEdit) e = grid->DateAndTimePicker();
        if (!e && k == edCheckBox) e = grid->EditCheck();
        return e;
    }
    void key(WORD vk, TWinControl* target = nullptr) {
        uitest::postNativeKey(vk, target);
        uitest::processMessages();
    }
    void text(const std::string& s, TWinControl* target = nullptr) {
        uitest::postNativeText(s, target);
        uitest::processMessages();
    }
    void logDone() {
        grid->OnEditingDone = [this](TObject*) { log.push_back("editing done"); };
        grid->OnEditCellDone = [this](TObject*, int c, int r) {
            log.push_back("cell done " + std::to_string(c) + "," + std::to_string(r));
        };
    }

    std::unique_ptr<TForm> form;
    TQorColumnGrid* grid = nullptr;
    Log log;
};

TEST_F(SpecialEditorsTest, ASpinCellOpensOnATypedDigitAndCommitsOnEnter) {
    logDone();
    at(col(edSpinEdit), 2);
    // The digit opens the editor over the cell and is its first keystroke.
    key('4', grid);
    TGridSpin* spin = grid->SpinEdit();
    ASSERT_TRUE(spin->Visible());
    EXPECT_TRUE(spin->Focused());
    EXPECT_EQ(spin->BoundsRect().TopLeft(), grid->CellRect(col(edSpinEdit), 2).TopLeft());
    key('2');
    EXPECT_EQ(spin->Text(), "42");
    key(VK_RETURN);
    EXPECT_FALSE(spin->Visible());
    EXPECT_FALSE(spin->Enabled());
    EXPECT_EQ(grid->Cells(col(edSpinEdit), 2), "42");
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(log, (Log{"editing done", "cell done " + std::to_string(col(edSpinEdit)) + ",2"}));
}

TEST_F(SpecialEditorsTest, ArrowKeysStepASpinCellWithinTheColumnsLimits) {
    grid->SetCells(col(edSpinEdit), 1, "99");
    TWinControl* spin = open(edSpinEdit, 1);
    ASSERT_EQ(spin, grid->SpinEdit());
    key(VK_UP);
    key(VK_UP);
    EXPECT_EQ(spin->Text(), "100");
    key(VK_NEXT);
    EXPECT_EQ(spin->Text(), "99");
    // With goTabs Tab validates, commits and goes on to the next cell.
    grid->SetOptions(grid->Options() + goTabs);
    key(VK_TAB);
    EXPECT_EQ(grid->Cells(col(edSpinEdit), 1), "99");
    EXPECT_EQ(grid->Col(), col(edSpinEdit) + 1);
    EXPECT_EQ(grid->EditControl(), edFloatSpinEdit) << "the next spin cell is edited on";
}

// What the editors make of cells that hold what their kind cannot read, or too much.
TEST_F(SpecialEditorsTest, UnreadableAndOutOfRangeCellsPerKind) {
    struct Case {
        TEditorType kind;
        const char* cell;
        std::string stored;
    };
    const Case cases[] = {
        {edSpinEdit, "abc", "0"},           // the spin edit reads it as its minimum
        {edSpinEdit, "150", "100"},         // the column's maximum
        {edSpinEdit, "-5", "0"},            // and minimum
        {edSpinEdit, "", "0"},              //
        {edFloatSpinEdit, "abc", "0.00"},   // no number part: 0
        {edFloatSpinEdit, "1.5 m", "1.50"}, // the number part
        {edFloatSpinEdit, "250", "100.00"}, // the float bounds 0 .. 100
        {edDateSpinEdit, "no date", today()},
        {edDateSpinEdit, "31/12/2020", "31/12/2020"},
        {edDateEdit, "no date", today()},
        {edDateEdit, "", today()},
        {edDateEdit, "05/06/2021", "05/06/2021"},
        {edDateEditUpDown, "05/06/2021", "05/06/2021"},
        {edDateTimeEdit, "05/06/2021 10:20", "05/06/2021 10:20"},
        {edNumericEditBtn, "12x", "12x"}, // loaded as it is; only typing is filtered
        {edUnitEditBtn, "5mm", "5mm"},
        {edUnitEditBtn, "12kg", "12kg"}, // no unit of the list: the text stays whole
        {edTimeSpinEdit, "12:30:00", "12:30:00"},
        {edTimeEdit, "12:30:15", "12:30:15"},
    };
    int row = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cell) + " in column " + std::to_string(col(c.kind)));
        grid->SetCells(col(c.kind), row, c.cell);
        TWinControl* e = open(c.kind, row);
        ASSERT_TRUE(e);
        ASSERT_TRUE(e->Visible());
        key(VK_RETURN, e);
        EXPECT_FALSE(e->Visible());
        EXPECT_EQ(grid->Cells(col(c.kind), row), c.stored);
        row = row % 5 + 1;
    }
}

TEST_F(SpecialEditorsTest, EscapeLeavesEveryKindsCellAsItWas) {
    struct Case {
        TEditorType kind;
        const char* cell;
        const char* typed;
    };
    const Case cases[] = {
        {edSpinEdit, "abc", "7"},        {edFloatSpinEdit, "x", "7"},  {edDateSpinEdit, "", "7"},
        {edEditBtn, "old", "new"},       {edUnitEditBtn, "5m", "7"},   {edDateEdit, "", "1"},
        {edDateEdit, "05/06/2021", "1"}, {edTimeEdit, "no time", "1"}, {edDateTimeEdit, "bad", "1"},
        {edButton, "caption", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(col(c.kind));
        grid->SetCells(col(c.kind), 3, c.cell);
        TWinControl* e = open(c.kind, 3);
        ASSERT_TRUE(e && e->Visible());
        if (*c.typed) text(c.typed);
        key(VK_ESCAPE);
        EXPECT_FALSE(e->Visible());
        EXPECT_EQ(grid->Cells(col(c.kind), 3), c.cell);
    }
}

TEST_F(SpecialEditorsTest, TheNumberKindsFilterWhatIsTyped) {
    struct Case {
        TEditorType kind;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {edSpinEdit, "1a2-", "12"},          // letters and a "-" after the first place
        {edSpinEdit, "-3", "-3"},            //
        {edFloatSpinEdit, "1.2.5,", "1.25"}, // one decimal separator, no thousands
        {edNumericEditBtn, "-12-x", "-12"},
        {edFloatEditBtn, "-1.5.5", "-1.55"},
        {edMaskEditBtn, "12a34", "12:34"}, // the mask skips its literal, refuses letters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TWinControl* e = open(c.kind, 4);
        ASSERT_TRUE(e);
        auto* edit = dynamic_cast<TCustomEdit*>(e);
        ASSERT_TRUE(edit);
        edit->SelectAll();
        edit->Perform(WM_CLEAR);
        text(c.typed);
        EXPECT_EQ(edit->EditText(), c.shown);
        key(VK_ESCAPE);
    }
}

TEST_F(SpecialEditorsTest, TheEditButtonAsksTheGridForTheText) {
    std::vector<std::string> asked;
    grid->OnEllipsClick = [&](TObject*, int c, int r, std::string& s) {
        asked.push_back(std::to_string(c) + "," + std::to_string(r) + " " + s);
        s = "picked";
    };
    grid->SetCells(col(edEditBtn), 2, "start");
    TWinControl* e = open(edEditBtn, 2);
    ASSERT_EQ(e, grid->EditBtn());
    TAsgEditButton* holder = grid->EditBtn()->Button();
    const TPoint middle{holder->Width() / 2, holder->Height() / 2};
    // A right click does nothing; a left click asks.
    uitest::postNativeRightClickAt(holder, middle);
    uitest::processMessages();
    EXPECT_TRUE(asked.empty());
    uitest::postNativeClickAt(holder, middle);
    uitest::processMessages();
    EXPECT_EQ(asked, (std::vector<std::string>{std::to_string(col(edEditBtn)) + ",2 start"}));
    EXPECT_EQ(grid->EditBtn()->Text(), "picked");
    EXPECT_EQ(grid->EditBtn()->SelLength(), 6);
    EXPECT_TRUE(grid->EditBtn()->Focused());
    // A press taken off the button before its release clicks nothing.
    uitest::postNativeMouseDown(holder, middle);
    uitest::postNativeMouseMove(holder, {holder->Width() + 30, middle.Y}, true);
    uitest::postNativeMouseUp(holder, {holder->Width() + 30, middle.Y});
    uitest::processMessages();
    EXPECT_EQ(asked.size(), 1u);
    key(VK_RETURN);
    EXPECT_EQ(grid->Cells(col(edEditBtn), 2), "picked");
}

TEST_F(SpecialEditorsTest, TheUnitMenuChangesTheUnitOfTheCell) {
    std::vector<std::string> changes;
    grid->OnUnitChanged = [&](TObject*, int c, int r, const std::string& unit) {
        changes.push_back(std::to_string(c) + "," + std::to_string(r) + " " + unit);
    };
    SetPopupMenuPresenter([](TPopupMenu& m, TPoint) { return m.Items()->Find("mm"); });
    grid->SetCells(col(edUnitEditBtn), 2, "5m");
    TWinControl* e = open(edUnitEditBtn, 2);
    ASSERT_EQ(e, grid->UnitEditBtn());
    EXPECT_EQ(grid->UnitEditBtn()->Text(), "5");
    EXPECT_EQ(grid->UnitEditBtn()->UnitID(), "m");
    TAsgEditButton* holder = grid->UnitEditBtn()->Button();
    uitest::postNativeClickAt(holder, {holder->Width() / 2, holder->Height() / 2});
    uitest::processMessages();
    EXPECT_EQ(grid->UnitEditBtn()->UnitID(), "mm");
    EXPECT_EQ(changes, (std::vector<std::string>{std::to_string(col(edUnitEditBtn)) + ",2 mm"}));
    key(VK_END);
    text("0");
    key(VK_RETURN);
    EXPECT_EQ(grid->Cells(col(edUnitEditBtn), 2), "50mm");
}

TEST_F(SpecialEditorsTest, CtrlVPastesIntoAnEditButtonCellWithoutItsFinalLineBreak) {
    struct Case {
        const char* clipboard;
        int selStart, selLength;
        const char* shown;
    };
    const Case cases[] = {
        {"abc\r\n", 2, 0, "xyabc"},   // one line break at the very end goes
        {"a\r\nb", 2, 0, "xya\r\nb"}, // one inside stays
        {"Q", 0, 1, "Qy"},            // the selection is replaced
    };
    std::vector<std::string> asked;
    grid->OnClipboardBeforePasteCell = [&](TObject*, int c, int r, std::string& s, bool&) {
        asked.push_back(std::to_string(c) + "," + std::to_string(r) + " " + s);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clipboard);
        grid->SetCells(col(edEditBtn), 2, "xy");
        TWinControl* e = open(edEditBtn, 2);
        ASSERT_EQ(e, grid->EditBtn());
        grid->EditBtn()->SetSelStart(c.selStart);
        grid->EditBtn()->SetSelLength(c.selLength);
        Clipboard()->SetAsText(c.clipboard);
        uitest::postNativeKey('V', TShiftState{ssCtrl}, e);
        uitest::processMessages();
        EXPECT_EQ(grid->EditBtn()->Text(), c.shown);
        key(VK_RETURN);
        EXPECT_EQ(grid->Cells(col(edEditBtn), 2), c.shown);
    }
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0], std::to_string(col(edEditBtn)) + ",2 abc\r\n");
    // A handler may refuse the paste.
    grid->OnClipboardPaste = [](TObject*, bool& allow) { allow = false; };
    grid->SetCells(col(edEditBtn), 2, "xy");
    open(edEditBtn, 2);
    uitest::postNativeKey('V', TShiftState{ssCtrl}, grid->EditBtn());
    uitest::processMessages();
    EXPECT_EQ(grid->EditBtn()->Text(), "xy");
    key(VK_ESCAPE);
}

TEST_F(SpecialEditorsTest, AnEditButtonCellCompletesFromTheLookupItems) {
    grid->SetLookup(true);
    grid->LookupItems()->Add("Alpha");
    grid->LookupItems()->Add("Beta");
    grid->SetCells(col(edEditBtn), 2, "");
    TWinControl* e = open(edEditBtn, 2);
    ASSERT_EQ(e, grid->EditBtn());
    grid->EditBtn()->SelectAll();
    text("b");
    EXPECT_EQ(grid->EditBtn()->Text(), "beta");
    EXPECT_EQ(grid->EditBtn()->SelStart(), 1);
    EXPECT_EQ(grid->EditBtn()->SelLength(), 3);
    // Backspace takes the completion away and does not complete again.
    key(VK_BACK);
    EXPECT_EQ(grid->EditBtn()->Text(), "b");
    key(VK_RETURN);
    EXPECT_EQ(grid->Cells(col(edEditBtn), 2), "b");
}

TEST_F(SpecialEditorsTest, TheNumberUnitKindsFilterTheValueAndKeepTheUnit) {
    struct Case {
        TEditorType kind;
        char decimal;
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {edNumericUnitEditBtn, '.', "-1-2.x", "-12mm"},
        {edFloatUnitEditBtn, '.', "1.5.5", "1.55mm"},
        {edFloatUnitEditBtn, ',', "1,5,.", "1,5mm"}, // the locale's separator, once
        {edUnitEditBtn, '.', "ab", "abmm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        FormatSettings().DecimalSeparator = c.decimal;
        FormatSettings().ThousandSeparator = c.decimal == ',' ? '.' : ',';
        grid->Columns()->Items(col(edUnitEditBtn))->SetEditor(c.kind);
        grid->SetCells(col(edUnitEditBtn), 2, "7mm");
        TWinControl* e = open(edUnitEditBtn, 2);
        ASSERT_EQ(e, grid->UnitEditBtn());
        grid->UnitEditBtn()->SelectAll();
        text(c.typed);
        key(VK_RETURN);
        EXPECT_EQ(grid->Cells(col(edUnitEditBtn), 2), c.stored);
    }
}

TEST_F(SpecialEditorsTest, ACheckBoxCellTogglesItsBoxAndStoresNothing) {
    grid->SetCells(col(edCheckBox), 2, "Option");
    TWinControl* e = open(edCheckBox, 2);
    ASSERT_EQ(e, grid->EditCheck());
    EXPECT_EQ(grid->EditCheck()->Caption(), "Option");
    EXPECT_FALSE(grid->EditCheck()->Checked());
    key(VK_SPACE);
    EXPECT_TRUE(grid->EditCheck()->Checked()) << "one toggle for one key";
    uitest::postNativeClickAt(grid->EditCheck(), {5, 5});
    uitest::processMessages();
    EXPECT_FALSE(grid->EditCheck()->Checked()) << "one toggle for one click";
    key(VK_DOWN);
    EXPECT_FALSE(grid->EditCheck()->Visible());
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->Cells(col(edCheckBox), 2), "Option");
}

TEST_F(SpecialEditorsTest, AButtonCellClicksThroughTheGrid) {
    Log events;
    grid->OnEllipsClick = [&](TObject*, int, int, std::string& s) { s = s + "!"; };
    grid->OnButtonClick = [&](TObject*, int c, int r) {
        events.push_back("button " + std::to_string(c) + "," + std::to_string(r));
    };
    grid->SetCells(col(edButton), 2, "Go");
    TWinControl* e = open(edButton, 2);
    ASSERT_EQ(e, grid->GridButton());
    const TRect cell = grid->CellRect(col(edButton), 2);
    EXPECT_EQ(e->BoundsRect(), (TRect{cell.Left - 1, cell.Top - 1, cell.Right, cell.Bottom}));
    uitest::postNativeClickAt(grid->GridButton(), {10, 5});
    uitest::processMessages();
    EXPECT_EQ(grid->GridButton()->Caption(), "Go!");
    EXPECT_EQ(grid->Cells(col(edButton), 2), "Go!");
    EXPECT_EQ(events, (Log{"button " + std::to_string(col(edButton)) + ",2"}));
    // The arrows leave the button for the next cell.
    key(VK_RIGHT);
    EXPECT_FALSE(grid->GridButton()->Visible());
    EXPECT_EQ(grid->Col(), col(edButton) + 1);
}

TEST_F(SpecialEditorsTest, TypedDigitsFillTheDateFieldsAndMoveOn) {
    grid->DateTimePicker()->SetFormat("dd.MM.yyyy");
    grid->SetCells(col(edDateEdit), 2, "05/06/2021");
    TWinControl* e = open(edDateEdit, 2);
    ASSERT_EQ(e, grid->DateTimePicker());
    EXPECT_EQ(grid->DateTimePicker()->Text(), "05.06.2021");
    // The first digit of the day waits; the second finishes it and the month field is next.
    key('1');
    EXPECT_EQ(grid->DateTimePicker()->ActiveField(), 0);
    key('7');
    EXPECT_EQ(grid->DateTimePicker()->ActiveField(), 1);
    key('0');
    key('9');
    EXPECT_EQ(grid->DateTimePicker()->ActiveField(), 2);
    text("2022");
    EXPECT_EQ(grid->DateTimePicker()->ActiveField(), 2) << "the year is the last field";
    EXPECT_EQ(grid->DateTimePicker()->Text(), "17.09.2022");
    key(VK_RETURN);
    EXPECT_FALSE(e->Visible());
    EXPECT_EQ(grid->Cells(col(edDateEdit), 2), "17.09.2022");
}

TEST_F(SpecialEditorsTest, TheDateCellsCalendarDropsAndReturnsTheDayClicked) {
    Log events;
    grid->OnDatePickerDropDown = [&](TObject*, int r, int c) {
        events.push_back("drop " + std::to_string(c) + "," + std::to_string(r));
    };
    grid->OnDatePickerCloseUp = [&](TObject*, int r, int c) {
        events.push_back("close " + std::to_string(c) + "," + std::to_string(r));
    };
    grid->OnDateTimeChange = [&](TObject*, int, int, TDateTime v) {
        events.push_back("changed " + DateToStr(v));
    };
    grid->DateTimePicker()->SetWeeknumbers(true);
    grid->DateTimePicker()->SetShowToday(false);
    grid->SetCells(col(edDateEdit), 2, "05/06/2021");
    TGridDatePicker* p = grid->DateTimePicker();
    ASSERT_EQ(open(edDateEdit, 2), p);
    uitest::postNativeClickAt(p, {p->Width() - 5, p->Height() / 2});
    uitest::processMessages();
    ASSERT_TRUE(p->DroppedDown());
    TMonthCalendar* cal = p->MonthCalendar();
    ASSERT_TRUE(cal && cal->Visible());
    // The grid styled and sized the calendar as the picker asks.
    EXPECT_TRUE(cal->CalendarStyle() & MCS_WEEKNUMBERS);
    EXPECT_TRUE(cal->CalendarStyle() & MCS_NOTODAY);
    EXPECT_FALSE(cal->CalendarStyle() & MCS_NOTODAYCIRCLE);
    EXPECT_EQ(cal->Width(), cal->MinReqRect().Width() + 2);
    const std::string c = std::to_string(col(edDateEdit));
    EXPECT_EQ(events, (Log{"drop " + c + ",2"}));
    const TRect day = cal->DayRect(EncodeDate(2021, 6, 23));
    uitest::postNativeClickAt(cal, {day.Left + 3, day.Top + 3});
    uitest::processMessages();
    EXPECT_FALSE(p->DroppedDown());
    EXPECT_EQ(events, (Log{"drop " + c + ",2", "changed 23/06/2021", "close " + c + ",2"}));
    key(VK_RETURN, p);
    EXPECT_EQ(grid->Cells(col(edDateEdit), 2), "23/06/2021");
}

TEST_F(SpecialEditorsTest, ADateTimeCellEditsDateAndTime) {
    grid->SetCells(col(edDateTimeEdit), 1, "05/06/2021 10:20");
    TGridDateTimePicker* p = grid->DateAndTimePicker();
    ASSERT_EQ(open(edDateTimeEdit, 1), p);
    ASSERT_TRUE(p->TimePicker());
    EXPECT_TRUE(p->TimePicker()->Visible());
    EXPECT_EQ(p->Text(), "05/06/2021");
    EXPECT_EQ(p->TimePicker()->Text(), "10:20:00");
    EXPECT_GE(p->Height(), grid->CellRect(col(edDateTimeEdit), 1).Height() - 1);
    // The time part takes its own keys; the day comes from the date part.
    key(VK_UP, p);
    p->TimePicker()->SetFocus();
    key(VK_UP, p->TimePicker());
    key(VK_RETURN, p->TimePicker());
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(grid->Cells(col(edDateTimeEdit), 1), "06/06/2021 11:20");
}

TEST_F(SpecialEditorsTest, TabLeavesADateTimeCellWithItsTimeInADialog) {
    // A default button does not take the editor's keys.
    TButton* ok = new TButton(form.get());
    ok->SetParent(form.get());
    ok->SetBounds(10, 300, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    grid->SetOptions(grid->Options() + goTabs);
    grid->SetCells(col(edDateTimeEdit), 2, "05/06/2021 10:20");
    TGridDateTimePicker* p = grid->DateAndTimePicker();
    ASSERT_EQ(open(edDateTimeEdit, 2), p);
    p->TimePicker()->SetFocus();
    key(VK_UP, p->TimePicker());
    key(VK_TAB, p->TimePicker());
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(grid->Cells(col(edDateTimeEdit), 2), "05/06/2021 11:20");
    EXPECT_FALSE(grid->Col() == col(edDateTimeEdit) && grid->Row() == 2) << "Tab went on";
    EXPECT_EQ(form->ModalResult(), mrNone);
}

TEST_F(SpecialEditorsTest, DatesAndTimesFollowTheLocale) {
    TFormatSettings& fs = FormatSettings();
    fs.DateSeparator = '.';
    fs.ShortDateFormat = "dd.mm.yyyy";
    fs.TimeSeparator = '.';
    fs.LongTimeFormat = "hh.nn.ss";
    fs.ShortTimeFormat = "hh.nn";
    struct Case {
        TEditorType kind;
        const char* cell;
        const char* stored;
    };
    const Case cases[] = {
        {edDateEdit, "05.06.2021", "05.06.2021"},
        {edDateSpinEdit, "05.06.2021", "05.06.2021"},
        {edTimeEdit, "10.20.30", "10.20.30"},
        {edDateTimeEdit, "05.06.2021 10.20", "05.06.2021 10.20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        grid->SetCells(col(c.kind), 2, c.cell);
        TWinControl* e = open(c.kind, 2);
        ASSERT_TRUE(e);
        key(VK_RETURN, e);
        EXPECT_EQ(grid->Cells(col(c.kind), 2), c.stored);
    }
}

TEST_F(SpecialEditorsTest, HoldingTheSpinArrowRepeatsOnTheClock) {
    std::vector<int> clicks;
    grid->OnSpinClick = [&](TObject*, int, int, int v, bool up) {
        if (up) clicks.push_back(v);
    };
    grid->SetCells(col(edSpinEdit), 2, "10");
    TGridSpin* spin = grid->SpinEdit();
    ASSERT_EQ(open(edSpinEdit, 2), spin);
    TAsgSpinButton* pair = spin->Button();
    const TPoint up{pair->Width() / 2, 2};
    uitest::postNativeMouseDown(pair, up);
    uitest::processMessages();
    EXPECT_EQ(spin->Text(), "10") << "the press itself clicks on release";
    uitest::advanceClock(399);
    EXPECT_EQ(spin->Text(), "10");
    uitest::advanceClock(1);
    EXPECT_EQ(spin->Text(), "11");
    uitest::advanceClock(100);
    uitest::advanceClock(100);
    EXPECT_EQ(spin->Text(), "13");
    uitest::postNativeMouseUp(pair, up);
    uitest::processMessages();
    EXPECT_EQ(spin->Text(), "14");
    uitest::advanceClock(500);
    EXPECT_EQ(spin->Text(), "14") << "the repeat stops with the release";
    EXPECT_EQ(clicks, (std::vector<int>{11, 12, 13, 14}));
    key(VK_RETURN, spin);
    EXPECT_EQ(grid->Cells(col(edSpinEdit), 2), "14");
}

TEST_F(SpecialEditorsTest, AClickOnTheSpinButtonsDrawnInTheCellStepsAtOnce) {
    grid->ControlLook()->SetSpinButtonsAlwaysVisible(true);
    grid->OnHasSpinEdit = [](TObject*, int c, int, bool& has) { has = c == col(edSpinEdit); };
    grid->SetCells(col(edSpinEdit), 2, "50");
    grid->SetCells(col(edSpinEdit), 3, "50");
    const TRect upper = grid->CellRect(col(edSpinEdit), 2);
    at(col(edSpinEdit), 2);
    // A click on the current cell opens its editor; on the lower half it steps down.
    uitest::postNativeClickAt(grid, {upper.Right - 5, upper.Bottom - 3});
    uitest::processMessages();
    ASSERT_TRUE(grid->SpinEdit()->Visible());
    EXPECT_EQ(grid->SpinEdit()->Text(), "49");
    key(VK_RETURN, grid->SpinEdit());
    EXPECT_EQ(grid->Cells(col(edSpinEdit), 2), "49");
    at(col(edSpinEdit), 3);
    const TRect lower = grid->CellRect(col(edSpinEdit), 3);
    uitest::postNativeClickAt(grid, {lower.Right - 5, lower.Top + 2});
    uitest::processMessages();
    EXPECT_EQ(grid->SpinEdit()->Text(), "51");
    key(VK_ESCAPE, grid->SpinEdit());
    // F2 later opens without a step.
    uitest::postNativeKey(VK_F2, grid);
    uitest::processMessages();
    EXPECT_EQ(grid->SpinEdit()->Text(), "50");
}

TEST_F(SpecialEditorsTest, TheSpinArrowsReportTheValueOfTheirKind) {
    Log events;
    grid->OnSpinClick = [&](TObject*, int, int, int v, bool up) {
        events.push_back("int " + std::to_string(v) + (up ? " up" : " down"));
    };
    grid->OnFloatSpinClick = [&](TObject*, int, int, double v, bool up) {
        events.push_back("float " + FloatToStr(v) + (up ? " up" : " down"));
    };
    grid->OnDateSpinClick = [&](TObject*, int, int, TDateTime v, bool up) {
        events.push_back("date " + DateToStr(v) + (up ? " up" : " down"));
    };
    grid->OnTimeSpinClick = [&](TObject*, int, int, TDateTime v, bool up) {
        events.push_back("time " + TimeToStr(v) + (up ? " up" : " down"));
    };
    struct Case {
        TEditorType kind;
        const char* cell;
        bool up;
        const char* event;
    };
    const Case cases[] = {
        {edSpinEdit, "10", true, "int 11 up"},
        {edFloatSpinEdit, "1.5", false, "float 1.4 down"},
        {edDateSpinEdit, "05/06/2021", true, "date 06/06/2021 up"},
        {edTimeSpinEdit, "10:20:30", false, "time 09:20:30 down"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        events.clear();
        grid->SetCells(col(c.kind), 2, c.cell);
        TGridSpin* spin = grid->SpinEdit();
        ASSERT_EQ(open(c.kind, 2), spin);
        spin->SetSelStart(0);
        TAsgSpinButton* pair = spin->Button();
        uitest::postNativeClickAt(pair, {pair->Width() / 2, c.up ? 2 : pair->Height() - 3});
        uitest::processMessages();
        EXPECT_EQ(events, Log{c.event});
        key(VK_ESCAPE, spin);
    }
}

TEST_F(SpecialEditorsTest, TypingInASpinOrEditButtonCellTellsTheGrid) {
    Log changes;
    grid->OnEditChange = [&](TObject*, int c, int r, const std::string& v) {
        changes.push_back(std::to_string(c) + "," + std::to_string(r) + " " + v);
    };
    for (TEditorType k : {edSpinEdit, edEditBtn}) {
        SCOPED_TRACE(col(k));
        changes.clear();
        grid->SetCells(col(k), 3, "");
        TWinControl* e = open(k, 3);
        ASSERT_TRUE(e);
        dynamic_cast<TCustomEdit*>(e)->SelectAll();
        text("42");
        const std::string at = std::to_string(col(k)) + ",3 ";
        ASSERT_FALSE(changes.empty());
        EXPECT_EQ(changes.back(), at + "42");
        key(VK_ESCAPE);
    }
}

TEST_F(SpecialEditorsTest, HomeAndEndSetTheSpinBoundsAndReportThem) {
    std::vector<std::string> clicks;
    grid->OnSpinClick = [&](TObject*, int, int, int v, bool up) {
        clicks.push_back(std::to_string(v) + (up ? " up" : " down"));
    };
    TWinControl* spin = open(edSpinEdit, 2);
    key(VK_HOME);
    EXPECT_EQ(spin->Text(), "100");
    key(VK_END);
    EXPECT_EQ(spin->Text(), "0");
    EXPECT_EQ(clicks, (std::vector<std::string>{"100 up", "0 down"}));
    key(VK_ESCAPE);
}

TEST_F(SpecialEditorsTest, ADateCellReadsItsTextThroughTheGridAndMayDropAtOnce) {
    grid->OnCustomStrToDate = [](TObject*, const std::string& v, TDateTime& d) {
        if (v == "xmas") d = EncodeDate(2024, 12, 25);
    };
    grid->MouseActions()->SetDirectDateDrop(true);
    grid->SetCells(col(edDateEdit), 2, "xmas");
    TGridDatePicker* p = grid->DateTimePicker();
    ASSERT_EQ(open(edDateEdit, 2), p);
    EXPECT_TRUE(p->DroppedDown());
    EXPECT_EQ(p->MonthCalendar()->Date(), EncodeDate(2024, 12, 25));
    key(VK_ESCAPE, p);
    EXPECT_FALSE(p->DroppedDown());
    key(VK_RETURN, p);
    EXPECT_EQ(grid->Cells(col(edDateEdit), 2), "25/12/2024");
}

TEST_F(SpecialEditorsTest, AMaskedTextCellStartsAtItsFirstPlace) {
    TGridColumnItem* item = grid->Columns()->Items(col(edEditBtn));
    item->SetEditor(edNormal);
    item->SetEditMask("00:00;1;_");
    grid->Navigation()->SetImproveMaskSel(true);
    grid->Navigation()->SetEditSelectAll(false);
    at(col(edEditBtn), 2);
    // The first digit opens the editor with the mask's first place selected, and fills it.
    key('0', grid);
    TInplaceEdit* e = grid->NormalEdit();
    ASSERT_TRUE(e && e->Visible());
    EXPECT_EQ(e->EditText(), "0_:__");
    text("945x");
    EXPECT_EQ(e->EditText(), "09:45");
    key(VK_RETURN, e);
    EXPECT_FALSE(e->Visible());
    EXPECT_EQ(grid->Cells(col(edEditBtn), 2), "09:45");
}

TEST_F(SpecialEditorsTest, EditorsAreMadeOnFirstUseAndReportTheirText) {
    TQorColumnGrid fresh(nullptr);
    EXPECT_TRUE(fresh.EditCheck() && fresh.EditBtn() && fresh.UnitEditBtn() && fresh.GridButton());
    EXPECT_EQ(fresh.EditBtn()->ButtonCaption(), "...");
    TGridSpin* spin = fresh.SpinEdit();
    EXPECT_EQ(fresh.SpinEdit(), spin);
    EXPECT_FALSE(spin->Visible());
    EXPECT_FALSE(spin->Enabled());
    EXPECT_EQ(spin->Owner(), &fresh);
    EXPECT_TRUE(fresh.DateAndTimePicker()->AutoTab());

    // The edit with a button reports what is typed as the cell's edit change.
    Log changes;
    open(edEditBtn, 1);
    grid->OnEditChange = [&](TObject*, int c, int r, const std::string& v) {
        changes.push_back(std::to_string(c) + "," + std::to_string(r) + " " + v);
    };
    text("ab");
    const std::string at = std::to_string(col(edEditBtn)) + ",1 ";
    EXPECT_EQ(changes, (Log{at + "a", at + "ab"}));
    key(VK_ESCAPE);
}

TEST_F(SpecialEditorsTest, ColourTonesColourTheEditorsButtons) {
    TColorTones tones;
    tones.Background = {0x101010, 0x202020, 0};
    tones.Hover = {0x303030, clNone, 0};
    tones.Selected = {0x404040, clNone, 0};
    TGridDatePicker* picker = grid->DateTimePicker();
    grid->SetColorTones(tones);
    TAsgEditButton* holder = grid->EditBtn()->Button();
    EXPECT_EQ(holder->ButtonColor(), TColor(0x101010));
    EXPECT_EQ(holder->ButtonColorHot(), TColor(0x303030));
    EXPECT_EQ(holder->ButtonColorDown(), TColor(0x404040));
    EXPECT_EQ(holder->ButtonBorderColor(), TColor(0x202020));
    EXPECT_EQ(grid->UnitEditBtn()->Button()->ButtonColor(), TColor(0x101010));
    EXPECT_TRUE(picker->MetroStyle());
    EXPECT_EQ(picker->BorderColor(), TColor(0x101010));
    EXPECT_EQ(picker->ButtonColorHot(), TColor(0x303030));
    // The edit's button paints in the tone.
    grid->SetCells(col(edEditBtn), 1, "x");
    open(edEditBtn, 1);
    EXPECT_EQ(uitest::pixel(holder, holder->Width() - 3, 3) & 0xFFFFFF, TColor(0x101010));
    key(VK_ESCAPE);
}

} // namespace
