// The multi-column drop-down: completion in the edit, the search in the open list, the list
// chosen from with keys and the mouse, the popup's size and column scaling, and its drawing.
#include "controls/QorMultiColumnDropDown.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;
using multi_column::TQorColGrid;

namespace {

class MultiColumnTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TQorMultiColumnDropDown* edit = nullptr;
    int selects = 0;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 500, 500);
        edit = new TQorMultiColumnDropDown(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(20, 30, 200, 22);
        for (const char* h : {"Name", "Code"}) edit->Columns()->Add()->SetHeader(h);
        addItems({{"Alpha", "1"}, {"alpine", "2"}, {"Beta", "3"}});
        edit->EndUpdate();
        edit->OnSelect = [this](TObject*) { ++selects; };
        form->Show();
        edit->SetFocus();
        processMessages();
    }
    void TearDown() override { form.reset(); }
    void addItems(std::initializer_list<std::initializer_list<const char*>> rows) {
        for (const auto& row : rows) {
            TDropDownItem* item = edit->Items()->Add();
            for (const char* s : row) item->Text()->Add(s);
        }
    }
    void key(WORD vk, TShiftState shift = {}) {
        postNativeKey(vk, shift);
        processMessages();
    }
    void type(const std::string& text) {
        postNativeText(text);
        processMessages();
    }
    void clear() {
        edit->SetItemIndex(-1);
        edit->SetText("");
    }
    TQorColGrid* list() { return edit->List(); }
    // The middle of a data row's first cell.
    TPoint rowPoint(int row) {
        const TRect r = list()->CellRect(0, row);
        return {r.Left + 5, r.Top + r.Height() / 2};
    }
};

} // namespace

TEST_F(MultiColumnTest, TypingCompletesFromTheLookupColumn) {
    struct Case {
        const char* typed;
        bool matchCase;
        const char* text;
        int selStart, selLength, index;
    };
    const Case cases[] = {
        // After the key up the text takes the entry's own letter case.
        {"a", false, "Alpha", 1, 4, 0},     {"al", false, "Alpha", 2, 3, 0},
        {"alpi", false, "alpine", 4, 2, 1}, {"a", true, "alpine", 1, 5, 1},
        {"b", false, "Beta", 1, 3, 2},      {"x", false, "x", 1, 0, -1},
    };
    for (const Case& c : cases) {
        clear();
        edit->SetMatchCase(c.matchCase);
        type(c.typed);
        EXPECT_EQ(edit->Text(), c.text) << c.typed;
        EXPECT_EQ(edit->SelStart(), c.selStart) << c.typed;
        EXPECT_EQ(edit->SelLength(), c.selLength) << c.typed;
        EXPECT_EQ(edit->ItemIndex(), c.index) << c.typed;
    }
    EXPECT_EQ(selects, 0) << "completing chooses nothing";
}

TEST_F(MultiColumnTest, UnmatchedTypingKeepsTheTextUpToTheCaret) {
    edit->SetText("Beta");
    edit->SetSelStart(4);
    edit->SetSelLength(0);
    type("z");
    EXPECT_EQ(edit->Text(), "Betaz");
    edit->SetText("Betaz");
    edit->SetSelStart(1);
    edit->SetSelLength(0);
    type("q");
    EXPECT_EQ(edit->Text(), "Bq") << "the text after the caret is dropped";
}

TEST_F(MultiColumnTest, EnterTakesAnEntryWhateverItsCase) {
    edit->SetText("beta");
    key(VK_RETURN);
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(edit->Text(), "Beta");
}

TEST_F(MultiColumnTest, EscapeKeepsATextThatIsNoEntry) {
    edit->SetItemIndex(0);
    edit->SetText("Gamma");
    key(VK_ESCAPE);
    EXPECT_EQ(edit->Text(), "Gamma");
    EXPECT_EQ(edit->ItemIndex(), -1);
    edit->SetText("Beta");
    key(VK_ESCAPE);
    EXPECT_EQ(edit->ItemIndex(), 2);
}

TEST_F(MultiColumnTest, CancelGivesBackATypedTextThatIsNoItem) {
    type("zz");
    ASSERT_EQ(edit->ItemIndex(), -1);
    key(VK_DOWN, {ssAlt});
    key(VK_DOWN);
    EXPECT_EQ(edit->Text(), "alpine") << "from the first row to the second";
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "zz");
    EXPECT_EQ(edit->ItemIndex(), -1);
}

TEST_F(MultiColumnTest, ItemsAddedLaterCompleteOnlyAfterEndUpdate) {
    addItems({{"Delta", "4"}});
    type("d");
    EXPECT_EQ(edit->Text(), "d");
    clear();
    edit->EndUpdate();
    type("d");
    EXPECT_EQ(edit->Text(), "Delta");
    EXPECT_EQ(edit->ItemIndex(), 3);
}

TEST_F(MultiColumnTest, ItemIndexSetterAndKeySteps) {
    edit->SetItemIndex(3);
    EXPECT_EQ(edit->ItemIndex(), -1) << "beyond the items";
    edit->SetItemIndex(1);
    EXPECT_EQ(edit->Text(), "alpine");
    edit->SetLookupColumn(1);
    edit->SetItemIndex(2);
    EXPECT_EQ(edit->Text(), "3");
    edit->Items()->Items(0)->Text()->Clear();
    edit->SetItemIndex(0);
    EXPECT_EQ(edit->Text(), "") << "an item without a lookup string";
    EXPECT_EQ(edit->GetItemIndex("3"), 2);
    EXPECT_EQ(edit->GetItemIndex(""), -1);
    edit->SetLookupColumn(0);
    edit->SetItemIndex(-1);
    EXPECT_EQ(edit->Text(), "");

    key(VK_DOWN);
    EXPECT_EQ(edit->ItemIndex(), 0) << "from none to the first";
    key(VK_NEXT);
    EXPECT_EQ(edit->ItemIndex(), 2) << "ten on, held at the last";
    key(VK_DOWN);
    EXPECT_EQ(edit->ItemIndex(), 2);
    key(VK_PRIOR);
    EXPECT_EQ(edit->ItemIndex(), 0);
    postNativeWheel(edit, {5, 5}, -120);
    processMessages();
    EXPECT_EQ(edit->ItemIndex(), 1) << "wheel down: the next one";
}

TEST_F(MultiColumnTest, ModifiedMeansChangedSinceTheFocusCame) {
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(20, 80, 100, 22);
    edit->SetItemIndex(2);
    other->SetFocus();
    edit->SetFocus();
    processMessages();
    key(VK_UP);
    EXPECT_EQ(edit->Text(), "alpine");
    EXPECT_TRUE(edit->Modified());
    key(VK_DOWN);
    EXPECT_EQ(edit->Text(), "Beta");
    EXPECT_FALSE(edit->Modified()) << "back at the text it had";
}

TEST_F(MultiColumnTest, PopupShowsWholeRowsAtAnyRowHeight) {
    edit->ShowDropDown();
    processMessages();
    EXPECT_EQ(edit->DropDownForm()->Height(), 181) << "27 + 7 x 22";
    edit->HideDropDown(true);
    edit->SetDropDownRowHeight(0);
    EXPECT_EQ(edit->DropDownRowHeight(), 1);
    edit->SetDropDownRowHeight(-5);
    edit->SetDropDownHeight(201);
    edit->ShowDropDown();
    processMessages();
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->DropDownForm()->Height(), 201);
}

TEST_F(MultiColumnTest, ColumnsScaleToThePopupWidth) {
    edit->Columns()->Clear();
    for (int w : {80, 80, 81}) edit->Columns()->Add()->SetWidth(w);
    edit->SetDropDownAutoWidth(false);
    edit->SetDropDownWidth(200);
    edit->ShowDropDown();
    processMessages();
    ASSERT_GE(list()->VisibleRowCount(), 3) << "all rows fit";
    EXPECT_EQ(list()->ColWidths(0), 66);
    EXPECT_EQ(list()->ColWidths(1), 66);
    EXPECT_EQ(list()->ColWidths(2), 67);
    EXPECT_EQ(edit->Columns()->Items(2)->Width(), 81) << "the columns keep their widths";
    edit->HideDropDown(true);

    edit->SetDropDownAutoWidth(true);
    edit->SetColumnSizeWithDropDown(false);
    edit->SetDropDownWidth(0);
    edit->ShowDropDown();
    processMessages();
    EXPECT_EQ(edit->DropDownForm()->Width(), 80 + 80 + 81 + 2) << "the columns and the border";
}

TEST_F(MultiColumnTest, ListIsChosenFromWithKeysAndTheMouse) {
    edit->SetItemIndex(0);
    key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(list()->Row(), 1);
    EXPECT_EQ(list()->RowCount(), 4);
    key(VK_DOWN);
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 1) << "moving in the list shows the row at once";
    EXPECT_EQ(edit->Text(), "alpine");
    key(VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(selects, 1);

    edit->ShowDropDown();
    processMessages();
    postNativeClickAt(list(), rowPoint(3));
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(edit->Text(), "Beta");
    EXPECT_EQ(selects, 2);

    key(VK_DOWN, {ssAlt});
    key(VK_UP);
    key(VK_UP);
    EXPECT_EQ(edit->ItemIndex(), 0);
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2) << "cancelled";
    EXPECT_EQ(edit->Text(), "Beta");
}

TEST_F(MultiColumnTest, WheelInTheListIsNoChoice) {
    edit->SetItemIndex(0);
    edit->ShowDropDown();
    processMessages();
    postNativeWheel(list(), rowPoint(1), -120);
    processMessages();
    EXPECT_EQ(list()->Row(), 2);
    EXPECT_EQ(edit->ItemIndex(), 0);
    postNativeScreenClick({550, 550});
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 0);
    EXPECT_EQ(edit->Text(), "Alpha");
}

TEST_F(MultiColumnTest, TypingInTheOpenListSearches) {
    addItems({{"Bravo", "5"}});
    struct Case {
        const char* typed;
        const char* text;
        int index, row;
    };
    const Case cases[] = {
        {"b", "Beta", 2, 3},   {"br", "Bravo", 3, 4},
        {"bx", "Beta", 2, 3},  // no entry starts with "bx": nothing moves
        {"ba", "Alpha", 0, 1}, // no "ba": the "a" alone
        {"al", "Alpha", 0, 1}, {"alpi", "alpine", 1, 2},
    };
    for (const Case& c : cases) {
        edit->SetItemIndex(2);
        edit->ShowDropDown();
        processMessages();
        ASSERT_TRUE(list()->Focused());
        type(c.typed);
        EXPECT_EQ(edit->Text(), c.text) << c.typed;
        EXPECT_EQ(edit->ItemIndex(), c.index) << c.typed;
        EXPECT_EQ(list()->Row(), c.row) << c.typed;
        EXPECT_TRUE(edit->DroppedDown()) << c.typed;
        key(VK_ESCAPE);
    }
    edit->SetCaseSensitive(true);
    edit->ShowDropDown();
    processMessages();
    type("al");
    EXPECT_EQ(edit->Text(), "alpine");
}

TEST_F(MultiColumnTest, CellsDrawTheItemsTheHeaderAndTheSelection) {
    edit->Columns()->Items(0)->Font()->SetColor(clRed);
    edit->Columns()->Items(1)->SetColor(clAqua);
    edit->SetSelectionTextColor(clBlue);
    edit->SetItemIndex(1);
    edit->ShowDropDown();
    processMessages();
    auto image = render(list());
    auto count = [&](int col, int row, TColor colour) {
        const TRect r = list()->CellRect(col, row);
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += image->PixelColor(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(0, 1, clRed), 0) << "the column's font";
    EXPECT_GT(count(0, 2, clBlue), 0) << "the selected row's text colour";
    EXPECT_EQ(count(0, 2, clRed), 0);
    const TRect code = list()->CellRect(1, 3);
    EXPECT_EQ(image->PixelColor(code.Right - 3, code.Top + 3), clAqua) << "the column's colour";
    // The header runs from white at the top towards grey.
    const TRect header = list()->CellRect(0, 0);
    EXPECT_GE(GetGValue(image->PixelColor(header.Left + 3, header.Top + 1)), 0xF0);
    EXPECT_LE(GetGValue(image->PixelColor(header.Left + 3, header.Bottom - 3)), 0xA8);

    int drawn = 0;
    edit->OnDropDownDrawItem = [&](TObject*, int, int, TCanvas* c, TRect r) {
        ++drawn;
        c->Brush()->SetColor(clLime);
        c->FillRect(r);
    };
    list()->Invalidate();
    image = render(list());
    EXPECT_GE(drawn, 8);
    EXPECT_EQ(count(0, 1, clRed), 0);
}
