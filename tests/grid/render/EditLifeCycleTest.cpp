// The in-place edit life cycle, validation of edited cells, the editors' notifications and the
// wheel handling of the string grid's window procedure.
#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Timers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Stands in for the grid's text editor the way the editors drive the life cycle: Enter checks
// the text and ends the edit, losing the focus reports the end.
class ClosingEditor : public TInplaceEdit {
public:
    explicit ClosingEditor(TQorStringGrid* g) : TInplaceEdit(g), grid(g) {}

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override {
        if (Key == VK_RETURN) {
            if (grid->ValidateCell(Text())) grid->DoneInplaceEdit(VK_RETURN, Shift);
            Key = 0;
            return;
        }
        TInplaceEdit::KeyDown(Key, Shift);
    }
    void KeyPress(char32_t& Key) override {
        if (Key == 13) Key = 0;
        TInplaceEdit::KeyPress(Key);
    }
    void WMKillFocus(TWMKillFocus& Message) override {
        TInplaceEdit::WMKillFocus(Message);
        grid->PostEditingDone(grid->RealColIndexOf(grid->Col()), grid->Row());
    }

private:
    TQorStringGrid* grid;
};

class EditGrid : public TQorStringGrid {
public:
    using TQorStringGrid::TQorStringGrid;
    std::vector<int> footers;
    bool closingEditor = false;
    int paints = 0;

    void CalcFooter(int ACol) override { footers.push_back(ACol); }

protected:
    TInplaceEdit* CreateEditor() override {
        return closingEditor ? new ClosingEditor(this) : TQorStringGrid::CreateEditor();
    }
    void Paint() override {
        ++paints;
        TQorStringGrid::Paint();
    }
};

std::string at(int c, int r) {
    return std::to_string(c) + "," + std::to_string(r);
}

// A shown form holding a 5 x 10 grid with goEditing; cell (c, r) holds "c:r".
class EditTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        grid = new EditGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(0, 0, 400, 250);
        grid->SetOptions(grid->Options() + goEditing);
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                grid->SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
        form->Show();
        grid->SetFocus();
        uitest::processMessages();
    }
    void TearDown() override {
        form.reset();
        uitest::processMessages();
    }
    void logEvents() {
        grid->OnCellValidate = [this](TObject*, int c, int r, std::string& v, bool&) {
            log.push_back("validate " + at(c, r) + " " + v);
        };
        grid->OnCellsChanged = [this](TObject*, TRect R) {
            log.push_back("changed " + at(R.Left, R.Top));
        };
        grid->OnEditingDone = [this](TObject*) { log.push_back("editing done"); };
        grid->OnEditCellDone = [this](TObject*, int c, int r) {
            log.push_back("cell done " + at(c, r));
        };
    }
    // Opens the editor of the current cell and types text into it.
    TInplaceEdit* edit(const std::string& text) {
        uitest::pressKey(VK_F2, {}, grid);
        TInplaceEdit* ed = grid->InplaceEditor();
        EXPECT_TRUE(ed && ed->Visible());
        ed->SelectAll();
        if (!text.empty()) uitest::typeText(text, ed);
        return ed;
    }

    std::unique_ptr<TForm> form;
    EditGrid* grid = nullptr;
    Log log;
};

TEST_F(EditTest, EnterInTheEditorValidatesEndsAndReportsTheEditInOrder) {
    grid->closingEditor = true;
    logEvents();
    // Real key presses through Qt's event delivery: F2 opens, typing follows, Enter closes.
    uitest::postNativeKey(VK_F2, grid);
    uitest::processMessages();
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_TRUE(ed && ed->Visible());
    EXPECT_TRUE(grid->EditMode());
    EXPECT_TRUE(grid->Editing());
    uitest::postNativeKey('X', ed);
    uitest::postNativeKey('Y', ed);
    uitest::processMessages();
    EXPECT_EQ(grid->GridCells(1, 1), "1:1xy") << "the cell follows the editor while typing";
    uitest::postNativeKey(VK_RETURN, ed);
    uitest::processMessages();
    EXPECT_EQ(log, (Log{"validate 1,1 1:1xy", "changed 1,1", "editing done", "cell done 1,1"}));
    EXPECT_FALSE(ed->Visible());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_TRUE(grid->GridModified());
    EXPECT_TRUE(grid->RowModified(1));
}

TEST_F(EditTest, EditCellDoneArrivesOnlyWhenTheLoopRunsAgain) {
    logEvents();
    edit("");
    ASSERT_TRUE(grid->EditMode());
    grid->PostEditingDone(3, 4);
    EXPECT_EQ(log, Log{"editing done"});
    EXPECT_FALSE(grid->EditMode());
    uitest::processMessages();
    EXPECT_EQ(log, (Log{"editing done", "cell done 3,4"}));

    // With editing on double click only, the report also ends editing.
    grid->MouseActions()->SetEditOnDblClickOnly(true);
    grid->PostEditingDone(1, 1);
    uitest::processMessages();
    EXPECT_FALSE(grid->Options().Contains(goEditing));
}

TEST_F(EditTest, ClosingKeysEndTheEditAndMoveOn) {
    TInplaceEdit* ed = edit("new");
    grid->DoneInplaceEdit(VK_DOWN, {});
    EXPECT_FALSE(ed->Visible());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->GridCells(1, 1), "new");
    EXPECT_EQ(grid->Row(), 2) << "the arrow reaches the grid's key handling";
    EXPECT_EQ(GetFocus(), grid->Handle());

    // Down on the last row appends one with AppendOnArrowDown.
    grid->Navigation()->SetAppendOnArrowDown(true);
    grid->SetRow(grid->RowCount() - 1);
    edit("");
    grid->DoneInplaceEdit(VK_DOWN, {});
    EXPECT_EQ(grid->RowCount(), 11);
}

TEST_F(EditTest, ShowInplaceEditScrollsTheCellInAndSkipsControlCells) {
    grid->SetRowCount(40);
    grid->SetTopRow(20);
    grid->SetRow(25);
    grid->SetTopRow(30);
    grid->ShowInplaceEdit();
    EXPECT_EQ(grid->TopRow(), 25);
    ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->Visible());
    grid->HideInplaceEdit();
    EXPECT_FALSE(grid->EditMode());

    grid->AddCheckBox(1, 25, cbChecked);
    grid->ShowInplaceEdit();
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_FALSE(grid->EditMode());
}

// --- validation -------------------------------------------------------------------------------

struct ValidationCase {
    const char* name;
    const char* typed;
    // What the handler does: "" none, "refuse", "replace" (12x -> 12), "replace+refuse".
    const char* handler;
    bool always;
    bool result;
    const char* cell;
    int handlerCalls;
    bool changed; // OnCellsChanged and the grid and row marked modified
};

TEST_F(EditTest, ValidationAcceptsRefusesAndReplaces) {
    const ValidationCase cases[] = {
        {"changed text", "abd", "", false, true, "abd", 1, true},
        {"unchanged text", "abc", "", false, true, "abc", 0, false},
        {"unchanged with AlwaysValidate", "abc", "", true, true, "abc", 1, false},
        {"refused", "abd", "refuse", false, false, "abc", 1, false},
        {"replaced and accepted", "12x", "replace", false, true, "12", 1, true},
        {"replaced and refused", "12x", "replace+refuse", false, false, "12", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid->SetCells(1, 1, "abc");
        grid->SetCol(1);
        grid->SetRow(1);
        grid->SetModified(true);
        grid->StoreOldCell(1, 1);
        grid->SetGridModified(false);
        grid->ClearModifiedRows();
        grid->SetAlwaysValidate(c.always);
        int calls = 0, changes = 0;
        const std::string handler = c.handler;
        grid->OnCellValidate = [&](TObject*, int, int, std::string& v, bool& valid) {
            ++calls;
            if (handler.starts_with("replace")) v = "12";
            if (handler.ends_with("refuse")) valid = false;
        };
        grid->OnCellsChanged = [&](TObject*, TRect) { ++changes; };
        TInplaceEdit* ed = edit(c.typed);
        grid->SetModified(false); // set by the edit; a refusal puts back the value of before
        EXPECT_EQ(grid->ValidateCell(c.typed), c.result);
        EXPECT_EQ(grid->GridCells(1, 1), c.cell);
        EXPECT_EQ(calls, c.handlerCalls);
        EXPECT_EQ(changes, c.changed ? 1 : 0);
        EXPECT_EQ(grid->GridModified(), c.changed);
        EXPECT_EQ(grid->RowModified(1), c.changed);
        if (!c.result) {
            EXPECT_FALSE(grid->LastValidation());
            EXPECT_TRUE(grid->Modified()) << "Modified is as it was when the edit began";
            EXPECT_TRUE(ed->Visible()) << "the editor is open again";
            EXPECT_EQ(ed->Text(), c.cell);
            EXPECT_EQ(grid->Col(), 1);
            EXPECT_EQ(grid->Row(), 1);
            EXPECT_TRUE(grid->Editing());
        }
        EXPECT_EQ(grid->OldCellText(), c.cell) << "the cell is the new edit reference";
        grid->HideInplaceEdit();
        grid->SetAlwaysValidate(false);
    }
}

TEST_F(EditTest, ARaisingHandlerLeavesTheGridAbleToValidateAgain) {
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "wide" : "narrow");
        grid->StoreOldCell(1, 1);
        bool raise = true;
        grid->OnCellValidate = [&](TObject*, int, int, std::string&, bool&) {
            if (raise) throw Exception("bad value");
        };
        grid->OnCellValidateWide = [&](TObject*, int, int, std::u16string&, bool&) {
            if (raise) throw Exception("bad value");
        };
        edit("first");
        if (wide)
            EXPECT_THROW(grid->ValidateCellWide(u"first"), Exception);
        else
            EXPECT_THROW(grid->ValidateCell("first"), Exception);
        EXPECT_FALSE(grid->Validating());
        EXPECT_FALSE(grid->Navigation()->AdvanceOnEnter());
        grid->HideInplaceEdit();

        raise = false;
        edit("second");
        if (wide)
            EXPECT_TRUE(grid->ValidateCellWide(u"second"));
        else
            EXPECT_TRUE(grid->ValidateCell("second"));
        EXPECT_EQ(grid->GridCells(1, 1), "second");
        grid->HideInplaceEdit();
    }
}

TEST_F(EditTest, ARefusalShowsTheBalloonOnlyWithATitleOrText) {
    for (bool withText : {false, true}) {
        SCOPED_TRACE(withText);
        grid->SetInvalidEntryText(withText ? "Not a number" : "");
        grid->SetInvalidEntryIcon(ieError);
        grid->StoreOldCell(1, 1);
        grid->OnCellValidate = [](TObject*, int, int, std::string&, bool& valid) { valid = false; };
        TInplaceEdit* ed = edit("x");
        std::vector<std::u16string> balloons;
        int icon = -1;
        TWndMethod old = ed->WindowProc;
        ed->WindowProc = [&](TMessage& m) {
            if (m.Msg == EM_SHOWBALLOONTIP) {
                auto* tip = reinterpret_cast<const EDITBALLOONTIP*>(m.LParam);
                balloons.push_back(tip->pszText);
                icon = tip->ttiIcon;
            }
            old(m);
        };
        EXPECT_FALSE(grid->ValidateCell("x"));
        ed->WindowProc = old;
        if (withText) {
            EXPECT_EQ(balloons, std::vector<std::u16string>{u"Not a number"});
            EXPECT_EQ(icon, int(ieError));
        } else {
            EXPECT_TRUE(balloons.empty());
        }
        grid->OnCellValidate = nullptr;
        grid->HideInplaceEdit();
    }
}

TEST_F(EditTest, ValidationDoesNotNestAndReachesTheBaseOfAMergedCell) {
    grid->MergeCells(1, 1, 2, 1);
    edit("");
    grid->StoreOldCell(2, 1); // the edited cell is the area's second one
    bool inner = false;
    grid->OnCellValidate = [&](TObject*, int c, int, std::string&, bool&) {
        EXPECT_EQ(c, 2);
        inner = grid->ValidateCell("nested");
    };
    EXPECT_TRUE(grid->ValidateCell("merged"));
    EXPECT_TRUE(inner) << "a second validation while one runs answers True";
    EXPECT_EQ(grid->GridCells(1, 1), "merged");
    EXPECT_EQ(grid->Cells(2, 1), "merged");
}

TEST_F(EditTest, CellsChangedTellsTheEventTheNotifiersAndTheFooters) {
    Log order;
    struct Notifier : TGridChangeNotifier {
        Notifier(Log& l, std::string n) : TGridChangeNotifier(nullptr), log(l), name(n) {}
        void CellsChanged(const TRect& R) override {
            log.push_back(name + " " + at(R.Left, R.Top));
        }
        Log& log;
        std::string name;
    };
    auto a = std::make_unique<Notifier>(order, "a");
    auto b = std::make_unique<Notifier>(order, "b");
    grid->RegisterNotifier(a.get());
    grid->RegisterNotifier(b.get());
    grid->RegisterNotifier(a.get());
    grid->OnCellsChanged = [&](TObject*, TRect R) {
        order.push_back("event " + at(R.Left, R.Top));
    };
    grid->CellsChanged(TRect{2, 3, 2, 3});
    EXPECT_EQ(order, (Log{"event 2,3", "a 2,3", "b 2,3"}));
    EXPECT_EQ(grid->footers, std::vector<int>{-1});

    // A notifier that goes away is told no more.
    b.reset();
    grid->UnRegisterNotifier(a.get());
    order.clear();
    grid->CellsChanged(TRect{1, 1, 1, 1});
    EXPECT_EQ(order, Log{"event 1,1"});
}

// --- the editors' notifications -------------------------------------------------------------

TEST_F(EditTest, ComboChangesFireTheirEventsOnce) {
    grid->HideColumn(0); // display column 1 is real column 2
    grid->OnGetEditorType = [](TObject*, int, int, TEditorType& e) { e = edComboEdit; };
    TCustomComboBox* combo = grid->EditCombo();
    combo->Items()->Add("alpha");
    combo->Items()->Add("beta");
    auto* other = new TComboBox(grid);
    other->SetParent(grid);
    other->HandleNeeded();
    Log events;
    grid->OnComboChange = [&](TObject*, int c, int r, int i, const std::string& s) {
        events.push_back("change " + at(c, r) + " " + std::to_string(i) + " " + s);
    };
    grid->OnComboObjectChange = [&](TObject*, int c, int, int i, const std::string&, TObject*) {
        events.push_back("object " + std::to_string(c) + " " + std::to_string(i));
    };
    grid->OnComboDropDown = [&](TObject*, int r, int c) { events.push_back("drop " + at(c, r)); };
    uitest::pressKey(VK_F2, {}, grid);
    ASSERT_TRUE(grid->EditMode());
    ASSERT_TRUE(combo->Focused());

    uitest::typeText("q", combo);
    EXPECT_EQ(events, (Log{"change 2,1 -1 q", "object 2 -1"})) << "one event per edit change";
    events.clear();
    // An item chosen in the native list.
    combo->PeerSelect(0);
    EXPECT_EQ(events, (Log{"change 2,1 0 alpha", "object 2 0"}));
    events.clear();
    combo->SetDroppedDown(true);
    EXPECT_EQ(events, Log{"drop 2,1"});
    combo->SetDroppedDown(false);
    events.clear();

    // An edit change of another control reaches OnComboChange with the display column.
    uitest::typeText("z", other);
    EXPECT_EQ(events, Log{"change 1,1 -1 z"});
}

// --- mouse wheel and panning ------------------------------------------------------------------

struct WheelCase {
    const char* name;
    TWheelAction action;
    int increment;
    bool enabled;
    TShiftState shift;
    int delta;
    int row;
    int top; // -1: as the grid keeps the row in view
};

TEST_F(EditTest, TheWheelMovesTheSelectionOrScrolls) {
    const WheelCase cases[] = {
        {"down three rows", waMoveSelection, 0, true, {}, -120, 13, -1},
        {"up three rows", waMoveSelection, 0, true, {}, 120, 7, -1},
        {"increment one", waMoveSelection, 1, true, {}, -120, 11, -1},
        {"scroll", waScroll, 0, true, {}, -120, 10, 4},
        {"wheel off", waMoveSelection, 0, false, {}, -120, 10, 1},
        {"ctrl zooms instead", waMoveSelection, 0, true, {ssCtrl}, -120, 10, 1},
    };
    grid->SetRowCount(40);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid->SetTopRow(1);
        grid->SetRow(10);
        grid->SetTopRow(1);
        grid->MouseActions()->SetWheelAction(c.action);
        grid->MouseActions()->SetWheelIncrement(c.increment);
        grid->SetEnableWheel(c.enabled);
        uitest::mouseWheel(grid, {100, 100}, c.delta, c.shift);
        EXPECT_EQ(grid->Row(), c.row);
        if (c.top >= 0) {
            EXPECT_EQ(grid->TopRow(), c.top);
        }
    }
}

TEST_F(EditTest, AParentThatTakesTheWheelKeepsTheSelection) {
    grid->SetRow(2);
    form->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
    uitest::mouseWheel(grid, {100, 100}, -120);
    EXPECT_EQ(grid->Row(), 2);
    form->OnMouseWheel = nullptr;
    // A real wheel turn through Qt's delivery moves it.
    uitest::postNativeWheel(grid, {100, 100}, -120);
    uitest::processMessages();
    EXPECT_EQ(grid->Row(), 5);
}

TEST_F(EditTest, WheelEventsFireWhenTheWheelStepIsSet) {
    Log events;
    grid->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) {
        events.push_back("down");
    };
    grid->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool&) { events.push_back("up"); };
    uitest::mouseWheel(grid, {100, 100}, -120);
    EXPECT_TRUE(events.empty());
    grid->MouseActions()->SetWheelIncrement(1);
    uitest::mouseWheel(grid, {100, 100}, -120);
    uitest::mouseWheel(grid, {100, 100}, 120);
    EXPECT_EQ(events, (Log{"down", "up"}));
}

TEST_F(EditTest, PanningFollowsThePointerOnItsOwnTimer) {
    grid->SetRowCount(40);
    const TPoint origin{200, 100};
    uitest::mouseDown(grid, origin, mbMiddle);
    ASSERT_TRUE(grid->WheelPanning());
    EXPECT_EQ(grid->WheelPanCursor(), 8000);
    EXPECT_EQ(grid->Cursor(), TCursor(8000));
    EXPECT_EQ(GetCapture(), grid->Handle());

    // Five pixels off the origin is still at rest; six pixels move a row per tick.
    SetCursorPosition(grid->ClientToScreen({origin.X, origin.Y + 5}));
    uitest::advanceClock(50);
    EXPECT_EQ(grid->Row(), 1);
    SetCursorPosition(grid->ClientToScreen({origin.X, origin.Y + 6}));
    uitest::advanceClock(30);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(grid->WheelPanCursor(), 8001);

    // Other timers of the grid do not pan.
    grid->Perform(WM_TIMER, grid->TimerID());
    grid->Perform(WM_TIMER, GridDragScrollTimerID);
    EXPECT_EQ(grid->Row(), 4);

    // Up and to the left, vertical panning only: the column stays.
    SetCursorPosition(grid->ClientToScreen({origin.X - 20, origin.Y - 20}));
    uitest::advanceClock(10);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->WheelPanCursor(), 8004);

    uitest::keyDown(VK_ESCAPE, {}, grid);
    uitest::keyUp(VK_ESCAPE, {}, grid);
    EXPECT_FALSE(grid->WheelPanning());
    EXPECT_EQ(grid->Cursor(), crDefault);
    EXPECT_NE(GetCapture(), grid->Handle());
    uitest::advanceClock(50);
    EXPECT_EQ(grid->Row(), 3);
}

} // namespace

TEST_F(EditTest, EachEditIsValidatedAgainstItsOwnCell) {
    // Typed into cell after cell, each closed with Enter and left by moving on: every text
    // stays in the cell it was typed into.
    logEvents();
    for (int c = 1; c <= 3; ++c) {
        grid->SetCol(c);
        uitest::typeText(std::string(1, char('a' + c)));
        uitest::pressKey(VK_RETURN);
    }
    grid->SetCol(4);
    EXPECT_EQ(grid->GridCells(1, 1), "b");
    EXPECT_EQ(grid->GridCells(2, 1), "c");
    EXPECT_EQ(grid->GridCells(3, 1), "d");
    EXPECT_EQ(grid->GridCells(4, 1), "4:1");
}
