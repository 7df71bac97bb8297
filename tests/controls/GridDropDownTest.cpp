// The grid drop-down: lookup and narrowing as the user types, sorting by a click on the popup
// grid's header, choosing from the grid with keys, the mouse and the wheel, the grid's own rows
// as the list, and the grid's events reaching the drop-down's.
#include "controls/QorGridDropDown.h"
#include "grid/data/DataSettings.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace uitest;
using grid_drop_down::TQorColGrid;

namespace {

class GridDropDownTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TQorGridDropDown* edit = nullptr;
    TEdit* other = nullptr;
    int selects = 0;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 500, 500);
        edit = new TQorGridDropDown(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(20, 30, 200, 22);
        for (const char* h : {"Name", "Code"}) edit->Columns()->Add()->SetHeader(h);
        for (auto row : {std::pair{"Beta", "2"}, {"Alpha", "1"}, {"Gamma", "3"}, {"alpine", "4"}}) {
            TDropDownItem* item = edit->Items()->Add();
            item->Text()->Add(row.first);
            item->Text()->Add(row.second);
        }
        edit->EndUpdate();
        edit->OnSelect = [this](TObject*) { ++selects; };
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(20, 300, 100, 22);
        form->Show();
        edit->SetFocus();
        processMessages();
    }
    void TearDown() override { form.reset(); }
    void key(WORD vk, TShiftState shift = {}) {
        postNativeKey(vk, shift);
        processMessages();
    }
    void type(const std::string& text) {
        postNativeText(text);
        processMessages();
    }
    void open() {
        edit->ShowDropDown();
        processMessages();
        ASSERT_TRUE(edit->DroppedDown());
    }
    TQorColGrid* grid() { return edit->GetGrid(); }
    // Entering the edit again starts a new typed entry.
    void reenter() {
        other->SetFocus();
        edit->SetFocus();
        processMessages();
    }
    TPoint cellPoint(int col, int row) {
        const TRect r = grid()->CellRect(col, row);
        return {r.Left + 8, r.Top + r.Height() / 2};
    }
    std::vector<std::string> lookupColumn() {
        std::vector<std::string> cells;
        for (int r = 1; r < grid()->RowCount(); ++r) cells.push_back(grid()->Cells(0, r));
        return cells;
    }
};

} // namespace

TEST_F(GridDropDownTest, PopupShowsWholeRowsAndTheItems) {
    open();
    EXPECT_EQ(edit->DropDownForm()->Height(), 185) << "27 + 7 x 22 + 4";
    EXPECT_EQ(grid()->Cells(0, 0), "Name");
    EXPECT_EQ(lookupColumn(), (std::vector<std::string>{"Beta", "Alpha", "Gamma", "alpine"}));
    EXPECT_EQ(grid()->Cells(1, 2), "1");
    edit->HideDropDown(true);
    edit->SetDropDownRowHeight(0);
    edit->SetDropDownHeight(201);
    open();
    EXPECT_EQ(edit->DropDownForm()->Height(), 205) << "rows of one pixel";
}

TEST_F(GridDropDownTest, ListStyleSearchesWhatIsTyped) {
    edit->SetStyle(dsDropDownList);
    EXPECT_FALSE(edit->EditorEnabled());
    struct Case {
        const char* typed;
        const char* text;
        int index;
    };
    const Case cases[] = {
        {"b", "Beta", 0},    {"ba", "Alpha", 1}, // no entry starts with "ba": the "a" alone
        {"alp", "Alpha", 1}, {"alpi", "alpine", 3}, {"g", "Gamma", 2}, {"x", "", -1},
    };
    for (const Case& c : cases) {
        edit->SetItemIndex(-1);
        reenter();
        type(c.typed);
        EXPECT_EQ(edit->Text(), c.text) << c.typed;
        EXPECT_EQ(edit->ItemIndex(), c.index) << c.typed;
    }
}

TEST_F(GridDropDownTest, NarrowingFiltersTheGridAsTheUserTypes) {
    edit->SetLookupMethod(lmNarrowDown);
    struct Case {
        const char* typed;
        std::vector<std::string> rows;
        const char* text;
    };
    const Case cases[] = {
        {"a", {"Beta", "Alpha", "Gamma", "alpine"}, "Beta"},
        {"al", {"Alpha", "alpine"}, "Alpha"},
        {"alpi", {"alpine"}, "alpine"},
        {"mm", {"Gamma"}, "Gamma"},
        {"q", {}, ""},
    };
    for (const Case& c : cases) {
        edit->SetItemIndex(-1);
        reenter();
        open();
        type(c.typed);
        EXPECT_EQ(lookupColumn(), c.rows) << c.typed;
        EXPECT_EQ(edit->Text(), c.text) << c.typed;
        EXPECT_TRUE(edit->DroppedDown());
        if (!c.rows.empty()) {
            EXPECT_EQ(grid()->Row(), 1) << c.typed;
        }
        key(VK_ESCAPE);
    }
    // Taking the typed text back widens the grid again, to all rows when nothing is left.
    open();
    type("al");
    ASSERT_EQ(lookupColumn().size(), 2u);
    key(VK_BACK);
    EXPECT_EQ(lookupColumn().size(), 2u) << "only the completed tail went";
    key(VK_BACK);
    EXPECT_EQ(lookupColumn().size(), 4u) << "the entry \"a\"";
    key(VK_BACK);
    EXPECT_EQ(lookupColumn().size(), 4u);
    EXPECT_FALSE(grid()->FilterActive());
}

TEST_F(GridDropDownTest, HeaderClickSortsAndKeepsTheItem) {
    edit->SetSorting(gsSingleColumn);
    edit->SetItemIndex(0); // Beta
    open();
    postNativeClickAt(grid(), cellPoint(0, 0));
    processMessages();
    EXPECT_TRUE(edit->DroppedDown()) << "a header click chooses nothing";
    std::vector<std::string> sorted = lookupColumn();
    ASSERT_NE(sorted, (std::vector<std::string>{"Beta", "Alpha", "Gamma", "alpine"}));
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end())) << "ascending";
    EXPECT_EQ(grid()->Cells(0, grid()->Row()), "Beta") << "Beta in its new row";
    EXPECT_EQ(edit->ItemIndex(), 0);
    EXPECT_EQ(edit->Text(), "Beta");

    // Each row still carries its item.
    const std::string fourth = grid()->Cells(0, 4);
    postNativeClickAt(grid(), cellPoint(1, 4));
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), fourth);
    EXPECT_EQ(edit->ItemIndex(), edit->GetItemIndex(fourth));
    EXPECT_EQ(selects, 1);

    // The grid opens sorted on the chosen item's row; Enter at once keeps that item.
    open();
    EXPECT_EQ(lookupColumn(), sorted);
    EXPECT_EQ(grid()->Row(), 4);
    key(VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), fourth);
    EXPECT_EQ(edit->ItemIndex(), edit->GetItemIndex(fourth));
}

TEST_F(GridDropDownTest, KeysWheelAndCancel) {
    edit->SetItemIndex(1);
    key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(edit->DroppedDown());
    ASSERT_TRUE(grid()->Focused());
    EXPECT_EQ(grid()->Row(), 2);
    key(VK_DOWN);
    EXPECT_EQ(edit->ItemIndex(), 2) << "moving in the grid shows the row at once";
    EXPECT_EQ(edit->Text(), "Gamma");
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 1) << "cancelled";
    EXPECT_EQ(edit->Text(), "Alpha");

    open();
    postNativeWheel(grid(), cellPoint(0, 1), -120);
    processMessages();
    EXPECT_GT(grid()->Row(), 2);
    EXPECT_EQ(edit->ItemIndex(), 1) << "the wheel moves the grid only";
    postNativeScreenClick({550, 550});
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(selects, 0);
}

TEST_F(GridDropDownTest, CancelGivesBackATypedTextThatIsNoItem) {
    type("zz");
    ASSERT_EQ(edit->ItemIndex(), -1);
    open();
    key(VK_DOWN);
    EXPECT_EQ(edit->Text(), "Alpha");
    key(VK_ESCAPE);
    EXPECT_EQ(edit->Text(), "zz");
    EXPECT_EQ(edit->ItemIndex(), -1);
}

TEST_F(GridDropDownTest, EditableGridKeepsThePopupOpenOnAChoice) {
    edit->SetGridEditable(true);
    open();
    postNativeClickAt(grid(), cellPoint(0, 3));
    processMessages();
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(selects, 1);
}

TEST_F(GridDropDownTest, GridRowsAreTheListWithoutItems) {
    edit->SetUseItems(false);
    edit->SetLookupColumn(1);
    TQorColGrid* g = grid();
    g->SetColCount(2);
    g->SetRowCount(4);
    const char* cells[3][2] = {{"x", "red"}, {"y", "green"}, {"z", "blue"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) g->SetCells(c, r + 1, cells[r][c]);
    edit->SetText("gr");
    open();
    EXPECT_EQ(grid()->Row(), 2) << "the row that starts with the text";
    postNativeClickAt(grid(), cellPoint(0, 3));
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(edit->Text(), "blue");
    edit->SetItemIndex(0);
    EXPECT_EQ(edit->Text(), "red");
    key(VK_DOWN);
    EXPECT_EQ(edit->Text(), "green") << "steps over the grid's data rows";
}

TEST_F(GridDropDownTest, GridEventsReachTheDropDown) {
    std::vector<std::string> seen;
    edit->OnGridMouseDown = [&](TObject* s, TMouseButton, TShiftState, int, int) {
        seen.push_back(s == grid() ? "down from grid" : "down");
    };
    edit->OnGridKeyDown = [&](TObject* s, WORD& k, TShiftState) {
        if (k == VK_DOWN) seen.push_back(s == edit ? "key from drop-down" : "key");
    };
    edit->Columns()->Items(1)->SetColor(clAqua);
    edit->Columns()->Items(1)->SetAlignment(taRightJustify);
    edit->OnGridGetCellColor = [&](TObject*, int row, int col, TGridDrawState, TBrush* b, TFont*) {
        if (row == 1 && col == 1 && b->Color() == clAqua) seen.push_back("column colour");
    };
    edit->OnGridGetAlignment = [&](TObject*, int row, int col, TAlignment& h, TVAlignment&) {
        if (row == 1 && col == 1 && h == taRightJustify) seen.push_back("column alignment");
    };
    open();
    render(grid());
    key(VK_DOWN);
    postNativeClickAt(grid(), cellPoint(0, 2));
    processMessages();
    auto has = [&](const char* s) { return std::find(seen.begin(), seen.end(), s) != seen.end(); };
    EXPECT_TRUE(has("down from grid"));
    EXPECT_TRUE(has("key from drop-down"));
    EXPECT_TRUE(has("column colour"));
    EXPECT_TRUE(has("column alignment"));
}
