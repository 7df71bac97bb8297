// Form controls in cell markup: clicks toggle check boxes and radio buttons in the text, hold
// buttons down, and open the edit and combo editors, whose values go back into the text.
#include "grid/core/QorStringGrid.h"
#include "grid/editors/ControlEditors.h"
#include "grid/render/markup/MarkupControls.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string control(const std::string& type, const std::string& id, const std::string& value,
                    int width, const std::string& extra = "") {
    return "<CONTROL TYPE=\"" + type + "\" ID=\"" + id + "\" VALUE=\"" + value + "\" WIDTH=\"" +
           std::to_string(width) + "\"" + extra + ">";
}

std::string valueOf(const std::string& text, const std::string& id) {
    bool found = false;
    return HTMLGetControlValue(text, id, found);
}

struct FormGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    std::vector<std::string> events;
    FormGrid() {
        form.SetBounds(0, 0, 560, 300);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 540, 260);
        g->SetColCount(3);
        g->SetRowCount(4);
        g->SetColWidths(1, 320);
        g->SetDefaultRowHeight(34);
        TGridOptions o = g->Options();
        o.Include(goEditing);
        g->SetOptions(o);
        g->OnControlClick = [this](TObject*, int r, int c, const std::string& id,
                                   const std::string& type, const std::string& v) {
            events.push_back("Click " + std::to_string(c) + "," + std::to_string(r) + " " + id +
                             " " + type + " " + v);
        };
        g->OnControlEditDone = [this](TObject*, int r, int c, const std::string& id,
                                      const std::string& type, const std::string& v) {
            events.push_back("Done " + std::to_string(c) + "," + std::to_string(r) + " " + id +
                             " " + type + " " + v);
        };
        form.Show();
        uitest::processMessages();
    }
    // A point on the control that starts at left offset `at` of the cell's first line: the
    // markup starts XYOffset + 1 inside the cell and one more pixel inside its line box.
    TPoint on(int col, int row, int at, int w, int h) {
        const TRect r = g->CellRect(col, row);
        return {r.Left + 4 + at + w / 2, r.Top + 3 + h / 2};
    }
    std::string text() { return g->Cells(1, 1); }
};

TEST(GridCellControls, ClickOnACheckBoxTogglesItsValueAndOpensNothing) {
    FormGrid f;
    f.g->SetCells(1, 1, control("CHECK", "c1", "TRUE", 20));
    uitest::click(f.g, f.on(1, 1, 0, 16, 16));
    EXPECT_EQ(f.text(), "<CONTROL ID=\"c1\" VALUE=\"FALSE\" WIDTH=\"20\" TYPE=\"CHECK\">");
    EXPECT_EQ(f.events, std::vector<std::string>{"Click 1,1 c1 CHECK FALSE"});
    EXPECT_FALSE(f.g->CellControlEditing());
    EXPECT_FALSE(f.g->ControlEdit()->Visible());
    uitest::click(f.g, f.on(1, 1, 0, 16, 16));
    EXPECT_EQ(valueOf(f.text(), "c1"), "TRUE");
}

TEST(GridCellControls, RealClicksToggleCheckAndRadioAndHoldTheButton) {
    FormGrid f;
    f.g->SetCells(1, 1,
                  control("CHECK", "c1", "FALSE", 20) + control("RADIO", "r1", "TRUE", 20) +
                      control("RADIO", "r2", "FALSE", 20) + control("BUTTON", "b", "Go", 60));
    uitest::postNativeClickAt(f.g, f.on(1, 1, 0, 16, 16));
    uitest::processMessages();
    EXPECT_EQ(valueOf(f.text(), "c1"), "TRUE");
    uitest::postNativeClickAt(f.g, f.on(1, 1, 32, 16, 16));
    uitest::processMessages();
    EXPECT_EQ(valueOf(f.text(), "r1"), "FALSE");
    EXPECT_EQ(valueOf(f.text(), "r2"), "TRUE");
    const TPoint button = f.on(1, 1, 48, 60, 25);
    uitest::postNativeMouseMove(f.g, button);
    uitest::postNativeMouseDown(f.g, button);
    uitest::processMessages();
    EXPECT_TRUE(f.g->CellControlDown());
    uitest::postNativeMouseUp(f.g, button);
    uitest::processMessages();
    EXPECT_FALSE(f.g->CellControlDown());
    EXPECT_FALSE(f.g->CellControlEditing());
    EXPECT_EQ(f.events,
              (std::vector<std::string>{"Click 1,1 c1 CHECK TRUE", "Click 1,1 r2 RADIO TRUE",
                                        "Click 1,1 b BUTTON Go"}));
}

TEST(GridCellControls, ARadioClickLeavesExactlyOneChecked) {
    FormGrid f;
    f.g->SetCells(1, 1,
                  control("RADIO", "r1", "TRUE", 20) + control("RADIO", "r2", "FALSE", 20) +
                      control("RADIO", "r3", "FALSE", 20));
    uitest::click(f.g, f.on(1, 1, 32, 16, 16));
    EXPECT_EQ(valueOf(f.text(), "r1"), "FALSE");
    EXPECT_EQ(valueOf(f.text(), "r2"), "FALSE");
    EXPECT_EQ(valueOf(f.text(), "r3"), "TRUE");
    EXPECT_EQ(f.events, std::vector<std::string>{"Click 1,1 r3 RADIO TRUE"});
}

TEST(GridCellControls, ControlsOfAReadOnlyGridDoNothing) {
    FormGrid f;
    TGridOptions o = f.g->Options();
    o.Exclude(goEditing);
    f.g->SetOptions(o);
    const std::string markup = control("CHECK", "c1", "TRUE", 20);
    f.g->SetCells(1, 1, markup);
    uitest::click(f.g, f.on(1, 1, 0, 16, 16));
    EXPECT_EQ(f.text(), markup);
    EXPECT_TRUE(f.events.empty());
}

TEST(GridCellControls, EditControlTakesTypedTextUpToItsMaxLength) {
    FormGrid f;
    f.g->SetCells(1, 1, "<B>Id</B>" + control("EDIT", "e1", "7", 100, " MAXLEN=\"5\""));
    // The control follows the bold text.
    TBitmap scratch(1, 1);
    scratch.Canvas()->Font()->Assign(f.g->Font());
    TFontStyles st;
    st.Include(fsBold);
    scratch.Canvas()->Font()->SetStyle(st);
    const int textWidth = scratch.Canvas()->TextWidth("Id");
    uitest::click(f.g, f.on(1, 1, textWidth, 100, 20));
    ASSERT_TRUE(f.g->CellControlEditing());
    TControlEdit* e = f.g->ControlEdit();
    ASSERT_TRUE(e->Visible());
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->Text(), "7");
    EXPECT_EQ(e->MaxLength(), 5);
    EXPECT_EQ(e->PasswordChar(), 0u);
    // Over the control, inside the cell.
    const TRect cell = f.g->CellRect(1, 1);
    EXPECT_GE(e->Left(), cell.Left);
    EXPECT_LE(e->Left() + e->Width(), cell.Right);
    e->SelectAll();
    uitest::typeText("1234567");
    EXPECT_EQ(e->Text(), "12345");
    uitest::pressKey(VK_TAB);
    EXPECT_EQ(valueOf(f.text(), "e1"), "12345");
    EXPECT_EQ(f.text().substr(0, 9), "<B>Id</B>");
    EXPECT_EQ(f.events,
              (std::vector<std::string>{"Click 1,1 e1 EDIT 7", "Done 1,1 e1 EDIT 12345"}));
    EXPECT_FALSE(e->Visible());
    EXPECT_TRUE(f.g->Focused());
}

TEST(GridCellControls, TypedThroughQtAndTabbedAwayTheValueIsStoredOnce) {
    FormGrid f;
    f.g->SetCells(1, 1, control("EDIT", "e1", "", 80) + control("PASSWORD", "p1", "x", 80));
    uitest::postNativeClickAt(f.g, f.on(1, 1, 0, 80, 20));
    uitest::processMessages();
    ASSERT_TRUE(f.g->CellControlEditing());
    uitest::postNativeKey('4');
    uitest::postNativeKey('2');
    uitest::postNativeKey(VK_TAB);
    uitest::processMessages();
    EXPECT_EQ(valueOf(f.text(), "e1"), "42");
    // Tab went on to the password control of the same cell.
    TControlEdit* e = f.g->ControlEdit();
    EXPECT_TRUE(f.g->CellControlEditing());
    EXPECT_EQ(e->PasswordChar(), U'*');
    EXPECT_EQ(e->Text(), "x");
    uitest::postNativeKey(VK_RETURN);
    uitest::processMessages();
    EXPECT_FALSE(f.g->CellControlEditing());
    EXPECT_EQ(f.events, (std::vector<std::string>{"Click 1,1 e1 EDIT ", "Done 1,1 e1 EDIT 42",
                                                  "Done 1,1 p1 PASSWORD x"}));
}

TEST(GridCellControls, ClickOnAnotherControlEndsTheOpenEditFirst) {
    FormGrid f;
    f.g->SetCells(1, 1, control("EDIT", "e1", "a", 80) + control("CHECK", "c1", "FALSE", 20));
    uitest::click(f.g, f.on(1, 1, 0, 80, 20));
    ASSERT_TRUE(f.g->CellControlEditing());
    f.g->ControlEdit()->SetText("typed");
    uitest::click(f.g, f.on(1, 1, 80, 16, 16));
    EXPECT_EQ(valueOf(f.text(), "e1"), "typed");
    EXPECT_EQ(valueOf(f.text(), "c1"), "TRUE");
    EXPECT_EQ(f.events, (std::vector<std::string>{"Click 1,1 e1 EDIT a", "Done 1,1 e1 EDIT typed",
                                                  "Click 1,1 c1 CHECK TRUE"}));
}

TEST(GridCellControls, ComboListsTheHandlersItemsAndWritesTheChoice) {
    FormGrid f;
    f.g->SetCells(2, 2, control("COMBO", "k", "beta", 90));
    f.g->SetColWidths(2, 150);
    int lists = 0;
    std::string shown = "beta";
    f.g->OnControlComboList = [&](TObject*, int r, int c, const std::string& id, const std::string&,
                                  const std::string& v, TStringList* items, bool& edit,
                                  int& count) {
        ++lists;
        EXPECT_EQ(r, 2);
        EXPECT_EQ(c, 2);
        EXPECT_EQ(id, "k");
        EXPECT_EQ(v, shown);
        items->Add("alpha");
        items->Add("beta");
        items->Add("gamma");
        edit = false;
        count = 5;
    };
    std::string selected;
    f.g->OnControlComboSelect = [&](TObject*, int, int, int index, const std::string&,
                                    const std::string& v) {
        selected = std::to_string(index) + " " + v;
    };
    for (int round = 0; round < 2; ++round) {
        uitest::click(f.g, f.on(2, 2, 0, 90, 25));
        TControlCombo* cb = f.g->ControlCombo();
        ASSERT_TRUE(cb->Visible());
        EXPECT_TRUE(cb->DroppedDown());
        EXPECT_EQ(cb->Style(), csDropDownList);
        EXPECT_EQ(cb->Items()->Count(), 3) << "the list is filled anew each time";
        EXPECT_EQ(cb->DropDownCount(), 5);
        EXPECT_EQ(cb->ItemIndex(), round == 0 ? 1 : 2);
        cb->SetDroppedDown(false);
        uitest::pressKey(VK_DOWN);
        EXPECT_EQ(cb->Text(), "gamma");
        f.g->SetFocus();
        uitest::processMessages();
        EXPECT_FALSE(cb->Visible());
        EXPECT_EQ(valueOf(f.g->Cells(2, 2), "k"), "gamma");
        shown = "gamma";
    }
    EXPECT_EQ(lists, 2);
    EXPECT_EQ(selected, "2 gamma");
}

TEST(GridCellControls, ButtonIsHeldUntilReleaseOrFocusLoss) {
    FormGrid f;
    f.g->SetCells(1, 1, control("BUTTON", "b", "Go", 60));
    const TPoint p = f.on(1, 1, 0, 60, 25);
    auto up = uitest::render(f.g);
    uitest::mouseMove(f.g, p);
    uitest::mouseDown(f.g, p);
    uitest::processMessages();
    EXPECT_TRUE(f.g->CellControlDown());
    EXPECT_EQ(f.events, std::vector<std::string>{"Click 1,1 b BUTTON Go"});
    // The face looks pushed while held.
    auto down = uitest::render(f.g);
    const TRect cell = f.g->CellRect(1, 1);
    int differ = 0;
    for (int y = cell.Top; y < cell.Bottom; ++y)
        for (int x = cell.Left; x < cell.Left + 70; ++x)
            if (up->PixelColor(x, y) != down->PixelColor(x, y)) ++differ;
    EXPECT_GT(differ, 0);
    uitest::mouseUp(f.g, p);
    EXPECT_FALSE(f.g->CellControlDown());
    uitest::mouseDown(f.g, p);
    EXPECT_TRUE(f.g->CellControlDown());
    f.g->Perform(WM_KILLFOCUS);
    EXPECT_FALSE(f.g->CellControlDown());
    uitest::mouseUp(f.g, p);
}

TEST(GridCellControls, PressBesideTheControlsSelectsTheCell) {
    FormGrid f;
    f.g->SetCells(1, 2, control("CHECK", "c", "FALSE", 20));
    std::string clicked;
    f.g->OnClickCell = [&](TObject*, int r, int c) {
        clicked = std::to_string(c) + "," + std::to_string(r);
    };
    const TRect cell = f.g->CellRect(1, 2);
    uitest::click(f.g, {cell.Left + 200, cell.Top + 20});
    EXPECT_EQ(clicked, "1,2");
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->Row(), 2);
    EXPECT_EQ(valueOf(f.g->Cells(1, 2), "c"), "FALSE");
}

TEST(GridCellControls, FocusNextCellControlWalksTheEditableControls) {
    FormGrid f;
    f.g->SetCells(1, 1,
                  control("CHECK", "c", "FALSE", 20) + control("EDIT", "a", "1", 60) +
                      control("BUTTON", "b", "Go", 40) +
                      control("MASK", "m", "", 60, " PROP=\"00:00\""));
    f.g->FocusNextCellControl(1, 1, "");
    ASSERT_TRUE(f.g->CellControlEditing());
    EXPECT_EQ(f.g->ControlEdit()->Text(), "1");
    uitest::pressKey(VK_TAB);
    ASSERT_TRUE(f.g->CellControlEditing());
    EXPECT_EQ(f.g->ControlEdit()->EditMask(), "00:00");
    uitest::pressKey(VK_TAB);
    EXPECT_FALSE(f.g->CellControlEditing());
    EXPECT_TRUE(f.g->Focused());
}

TEST(GridCellControls, AMaskControlTakesOnlyWhatItsMaskAllows) {
    FormGrid f;
    f.g->SetCells(1, 1, control("MASK", "m", "", 60, " PROP=\"00:00;1;_\""));
    f.g->FocusNextCellControl(1, 1, "");
    ASSERT_TRUE(f.g->CellControlEditing());
    TControlEdit* e = f.g->ControlEdit();
    EXPECT_EQ(e->EditText(), "__:__");
    e->SetSelStart(0);
    uitest::postNativeText("1a2b34", e);
    uitest::processMessages();
    EXPECT_EQ(e->Text(), "12:34");
    uitest::postNativeKey(VK_TAB, e);
    uitest::processMessages();
    EXPECT_EQ(valueOf(f.g->Cells(1, 1), "m"), "12:34");
}

} // namespace
