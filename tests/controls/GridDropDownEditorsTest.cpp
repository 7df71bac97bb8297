// The grid's drop-down cell editors on a column grid: each kind opened over its cell, used and
// committed through Qt's own events, Escape, validation and the keys that end an edit.
#include "controls/GridDropDownEditors.h"
#include "grid/core/QorColumnGrid.h"
#include "platform/gfx/ImageList.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/TrackBar.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace uitest;

namespace {

enum Column {
    colTrackbar = 1,
    colMemo,
    colCalculator,
    colTime,
    colDetail,
    colColor,
    colImage,
    colMulti,
    colQorGrid,
    colText,
    colCount
};

std::unique_ptr<TBitmap> swatch(TColor colour) {
    auto b = std::make_unique<TBitmap>(16, 16);
    b->Canvas()->Brush()->SetColor(colour);
    b->Canvas()->FillRect(TRect{0, 0, 16, 16});
    return b;
}

class GridDropDownTest : public ::testing::Test {
protected:
    void SetUp() override {
        GridDropDownEditorsInitialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 1000, 600);
        grid = new TQorColumnGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(0, 0, 960, 200);
        grid->SetColCount(colCount);
        grid->SetRowCount(4);
        grid->SynchColumns();
        const TEditorType kinds[] = {edNormal,
                                     edTrackbarDropDown,
                                     edMemoDropDown,
                                     edCalculatorDropDown,
                                     edTimePickerDropDown,
                                     edDetailDropDown,
                                     edColorPickerDropDown,
                                     edImagePickerDropDown,
                                     edGridDropDown,
                                     edQorGridDropDown,
                                     edNormal};
        for (int c = 0; c < colCount; ++c) {
            grid->Columns()->Items(c)->SetEditor(kinds[c]);
            grid->Columns()->Items(c)->SetWidth(c == 0 ? 30 : 85);
        }
        images->SetWidth(16);
        images->SetHeight(16);
        for (TColor c : {clRed, clLime, clBlue}) images->Add(swatch(c).get(), nullptr);
        grid->SetGridImages(images.get());
        for (const char* s : {"Apple", "Banana", "Cherry"})
            grid->DetailPickerDropDown()->Items()->Add()->SetCaption(s);
        for (TColumnListDropDown* list :
             {static_cast<TColumnListDropDown*>(grid->GridDropDown()),
              static_cast<TColumnListDropDown*>(grid->QorGridDropDown())}) {
            list->Columns()->Add()->SetHeader("Fruit");
            for (const char* s : {"Apple", "Banana", "Cherry"})
                list->Items()->Add()->Text()->Add(s);
        }
        for (int r = 1; r < 4; ++r) {
            grid->SetCells(colTrackbar, r, "3");
            grid->SetCells(colMemo, r, "old");
            grid->SetCells(colCalculator, r, "2");
            grid->SetCells(colTime, r, "10:00:00");
            grid->SetCells(colDetail, r, "Apple");
            grid->SetColors(colColor, r, clYellow);
            grid->AddImageIdx(colImage, r, 0, haLeft, vaTop);
            grid->SetCells(colMulti, r, "Apple");
            grid->SetCells(colQorGrid, r, "Apple");
        }
        form->Show();
        grid->SetFocus();
        processMessages();
    }
    void TearDown() override {
        form.reset();
        processMessages();
    }

public:
    void key(WORD vk, TShiftState shift = {}) {
        postNativeKey(vk, shift);
        processMessages();
    }
    void type(const std::string& text) {
        postNativeText(text);
        processMessages();
    }
    // Makes (col, row) current and opens its editor with F2.
    void open(int col, int row = 1) {
        grid->SetCol(col);
        grid->SetRow(row);
        processMessages();
        key(VK_F2);
    }
    TQorCustomDropDown* editor(int col) {
        return dynamic_cast<TQorCustomDropDown*>(
            grid->DropDownEditor(grid->Columns()->Items(col)->Editor()));
    }
    // A click on an item of an open list popup.
    void clickItem(TQorCustomItemSelector* selector, int index) {
        const TRect r = selector->Items()->Items(index)->Rect();
        postNativeClickAt(selector->SelectorPanel(), {r.Left + 4, r.Top + 4});
        processMessages();
    }
    // A click on a data row of an open popup grid (row 0 is its header).
    void clickRow(TCustomGrid* list, int row) {
        const TRect r = list->CellRect(0, row);
        postNativeClickAt(list, {r.Left + 5, r.Top + r.Height() / 2});
        processMessages();
    }
    int imageIndex(int col, int row) {
        int i = -1;
        grid->GetImageIdx(col, row, i);
        return i;
    }

    std::unique_ptr<TForm> form;
    std::unique_ptr<TImageList> images = std::make_unique<TImageList>(nullptr);
    TQorColumnGrid* grid = nullptr;
};

// One kind: its column, what the user does in the open editor, and what the cell then holds.
struct KindCase {
    const char* name;
    int col;
    std::function<void(GridDropDownTest&)> use;
    std::function<void(GridDropDownTest&)> expectChanged;
    std::function<void(GridDropDownTest&)> expectUnchanged;
};

std::vector<KindCase> kindCases() {
    using T = GridDropDownTest;
    auto text = [](int col, const char* v) {
        return [col, v](T& t) { EXPECT_EQ(t.grid->Cells(col, 1), v); };
    };
    return {
        {"track bar", colTrackbar,
         [](T& t) {
             t.key(VK_DOWN, {ssAlt});
             TTrackBar* bar = t.grid->TrackbarDropDown()->TrackBar();
             const TRect channel = bar->ChannelRect();
             postNativeClickAt(bar, {channel.Right - 2, (channel.Top + channel.Bottom) / 2});
             processMessages();
         },
         text(colTrackbar, "5"), text(colTrackbar, "3")},
        {"memo", colMemo,
         [](T& t) {
             t.key(VK_DOWN, {ssAlt});
             t.key(VK_END, {ssCtrl});
             t.key(VK_RETURN);
             t.type("two");
             t.key(VK_F4);
         },
         text(colMemo, "old\ntwo"), text(colMemo, "old")},
        {"calculator", colCalculator, [](T& t) { t.type("+3"); }, text(colCalculator, "5.00"),
         text(colCalculator, "2")},
        {"time picker", colTime,
         [](T& t) {
             t.key(VK_HOME);
             t.type("1230");
         },
         text(colTime, "12:30:00"), text(colTime, "10:00:00")},
        {"detail", colDetail,
         [](T& t) {
             t.key(VK_DOWN, {ssAlt});
             t.clickItem(t.grid->DetailPickerDropDown()->ItemSelector(), 2);
         },
         text(colDetail, "Cherry"), text(colDetail, "Apple")},
        {"colour", colColor,
         [](T& t) {
             t.key(VK_DOWN, {ssAlt});
             t.clickItem(t.grid->ColorPickerDropDown()->ItemSelector(), 9);
         },
         [](T& t) {
             EXPECT_EQ(t.grid->Colors(colColor, 1), clRed);
             EXPECT_EQ(t.grid->Cells(colColor, 1), "Red");
         },
         [](T& t) {
             EXPECT_EQ(t.grid->Colors(colColor, 1), clYellow);
             EXPECT_EQ(t.grid->Cells(colColor, 1), "");
         }},
        {"image", colImage,
         [](T& t) {
             t.key(VK_DOWN, {ssAlt});
             t.clickItem(t.grid->ImagePickerDropDown()->ItemSelector(), 2);
         },
         [](T& t) { EXPECT_EQ(t.imageIndex(colImage, 1), 2); },
         [](T& t) { EXPECT_EQ(t.imageIndex(colImage, 1), 0); }},
        {"multi-column", colMulti,
         [](T& t) {
             t.key(VK_DOWN, {ssAlt});
             EXPECT_EQ(t.grid->GridDropDown()->ItemIndex(), 0) << "the cell's item";
             t.clickRow(t.grid->GridDropDown()->List(), 3);
         },
         text(colMulti, "Cherry"), text(colMulti, "Apple")},
        {"grid", colQorGrid,
         [](T& t) {
             t.key(VK_DOWN, {ssAlt});
             EXPECT_TRUE(t.grid->QorGridDropDown()->Grid()->FixedRowAlways());
             t.clickRow(t.grid->QorGridDropDown()->Grid(), 3);
         },
         text(colQorGrid, "Cherry"), text(colQorGrid, "Apple")},
    };
}

} // namespace

TEST_F(GridDropDownTest, EachKindOpensOverItsCellAndEnterCommitsItsValue) {
    for (const KindCase& c : kindCases()) {
        SCOPED_TRACE(c.name);
        open(c.col);
        TQorCustomDropDown* e = editor(c.col);
        ASSERT_NE(e, nullptr);
        ASSERT_TRUE(e->Visible());
        EXPECT_TRUE(e->Focused());
        const TRect cell = grid->CellRect(c.col, 1);
        EXPECT_EQ(e->BoundsRect(), (TRect{cell.Left, cell.Top, cell.Right - 1, cell.Bottom - 1}));
        c.use(*this);
        key(VK_RETURN);
        EXPECT_FALSE(e->Visible());
        EXPECT_FALSE(e->DroppedDown()) << "the track bar's popup was open";
        EXPECT_FALSE(grid->EditMode());
        c.expectChanged(*this);
    }
}

TEST_F(GridDropDownTest, EscapeLeavesEachKindsCellAsItWas) {
    for (const KindCase& c : kindCases()) {
        SCOPED_TRACE(c.name);
        open(c.col);
        c.use(*this);
        key(VK_ESCAPE);
        EXPECT_FALSE(editor(c.col)->Visible());
        c.expectUnchanged(*this);
    }
}

TEST_F(GridDropDownTest, TheEditorsOpenByTypingAltDownTheButtonAndAtOnce) {
    // A typed character opens the editor with the character typed into it.
    grid->SetCol(colCalculator);
    grid->SetRow(2);
    processMessages();
    type("7");
    TGridCalculatorDropDown* calc = grid->CalculatorDropDown();
    ASSERT_TRUE(calc->Visible());
    EXPECT_EQ(calc->EditText(), "7");
    key(VK_RETURN);
    EXPECT_EQ(grid->Cells(colCalculator, 2), "7");

    // Alt+Down opens the popup instead of moving to the next row.
    open(colDetail, 1);
    TGridDetailPickerDropDown* detail = grid->DetailPickerDropDown();
    key(VK_DOWN, {ssAlt});
    EXPECT_TRUE(detail->DroppedDown());
    EXPECT_EQ(grid->Row(), 1);
    key(VK_ESCAPE);
    EXPECT_FALSE(detail->DroppedDown());
    key(VK_ESCAPE);
    EXPECT_FALSE(detail->Visible());

    // A click on the editor's button opens its popup.
    open(colDetail, 1);
    postNativeClickAt(detail->Button(), {detail->Button()->Width() / 2, detail->Height() / 2});
    processMessages();
    EXPECT_TRUE(detail->DroppedDown());
    clickItem(detail->ItemSelector(), 1);
    EXPECT_TRUE(detail->Visible()) << "a choice leaves the editor open";
    key(VK_RETURN);
    EXPECT_EQ(grid->Cells(colDetail, 1), "Banana");

    // With DirectComboDrop the popup opens with the editor.
    grid->MouseActions()->SetDirectComboDrop(true);
    open(colImage, 2);
    EXPECT_TRUE(grid->ImagePickerDropDown()->DroppedDown());
    key(VK_ESCAPE);
    key(VK_ESCAPE);
    EXPECT_FALSE(grid->ImagePickerDropDown()->Visible());
}

TEST_F(GridDropDownTest, ARefusedValueKeepsTheEditorOpenWithTheGridsText) {
    grid->OnCellValidate = [](TObject*, int, int, std::string& Value, bool& Valid) {
        Valid = Value != "Cherry" && Value != "5.00";
        if (!Valid) Value = "refused";
    };
    for (const KindCase& c : kindCases()) {
        if (c.col != colDetail && c.col != colCalculator) continue;
        SCOPED_TRACE(c.name);
        open(c.col);
        c.use(*this);
        TQorCustomDropDown* e = editor(c.col);
        key(VK_RETURN);
        ASSERT_TRUE(e->Visible());
        EXPECT_EQ(e->EditText(), "refused");
        EXPECT_EQ(e->SelLength(), 7) << "the text is selected";
        EXPECT_EQ(grid->Row(), 1);
        key(VK_ESCAPE);
        c.expectUnchanged(*this);
    }
    // An accepted value may be corrected by the handler.
    grid->OnCellValidate = [](TObject*, int, int, std::string& Value, bool&) { Value += "!"; };
    open(colDetail);
    key(VK_DOWN, {ssAlt});
    clickItem(grid->DetailPickerDropDown()->ItemSelector(), 1);
    key(VK_RETURN);
    EXPECT_EQ(grid->Cells(colDetail, 1), "Banana!");
}

TEST_F(GridDropDownTest, TabWithGoTabsValidatesAndMovesOn) {
    grid->SetOptions(grid->Options() + goTabs);
    open(colCalculator);
    type("4");
    key(VK_TAB);
    EXPECT_FALSE(grid->CalculatorDropDown()->Visible());
    EXPECT_EQ(grid->Cells(colCalculator, 1), "4");
    EXPECT_EQ(grid->Col(), colTime);
    open(colCalculator);
    type("6");
    key(VK_TAB, {ssShift});
    EXPECT_EQ(grid->Cells(colCalculator, 1), "6");
    EXPECT_EQ(grid->Col(), colMemo);
}

TEST_F(GridDropDownTest, TheMemoWritesTheCellOnlyWhenTheEditEnds) {
    std::vector<std::string> changes;
    grid->OnEditChange = [&](TObject*, int, int, const std::string& Value) {
        changes.push_back(Value);
    };
    open(colMemo);
    type("new");
    EXPECT_EQ(grid->Cells(colMemo, 1), "old") << "typing leaves the cell alone";
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), "newold") << "but reports the change; the caret was at the start";
    key(VK_ESCAPE);
    EXPECT_EQ(grid->Cells(colMemo, 1), "old");
    open(colMemo);
    type("new");
    key(VK_DOWN);
    EXPECT_EQ(grid->Cells(colMemo, 1), "newold");
    EXPECT_EQ(grid->Row(), 2) << "Down validates, commits and moves";
}

TEST_F(GridDropDownTest, ColourAndImageChoicesPassThroughTheGridsEvents) {
    std::vector<std::string> log;
    grid->OnColorSelect = [&](TObject*, int c, int r, TColor, const std::string& Value) {
        log.push_back("select " + Value + " at " + std::to_string(c) + "," + std::to_string(r));
    };
    grid->OnColorSelected = [&](TObject*, int, int, TColor& Color, std::string& Value) {
        log.push_back("selected " + Value);
        Color = clBlue;
        Value = "Sea";
    };
    open(colColor);
    key(VK_DOWN, {ssAlt});
    clickItem(grid->ColorPickerDropDown()->ItemSelector(), 9);
    key(VK_RETURN);
    EXPECT_EQ(grid->Colors(colColor, 1), clBlue);
    EXPECT_EQ(grid->Cells(colColor, 1), "Sea");
    EXPECT_EQ(log, (std::vector<std::string>{"select Red at 6,1", "selected Red"}));

    // A shape cell takes the colour as its shape's.
    grid->AddShape(colColor, 2, csRectangle, clLime, clBlack, haLeft, vaTop);
    grid->OnColorSelected = nullptr;
    open(colColor, 2);
    EXPECT_EQ(grid->ColorPickerDropDown()->SelectedColor(), clLime);
    key(VK_DOWN, {ssAlt});
    clickItem(grid->ColorPickerDropDown()->ItemSelector(), 9);
    key(VK_RETURN);
    EXPECT_EQ(grid->GetShapeColor(colColor, 2), clRed);
    EXPECT_EQ(grid->Colors(colColor, 2), clYellow);

    // An image index the event changes; a data-image cell keeps it as its number.
    grid->OnImageSelected = [](TObject*, int, int, int& Index) { Index = 1; };
    grid->RemoveImageIdx(colImage, 2);
    grid->AddDataImage(colImage, 2, 0, haLeft, vaTop);
    grid->SetCells(colImage, 2, "2");
    open(colImage, 2);
    EXPECT_EQ(grid->ImagePickerDropDown()->ImageIndex(), 2);
    key(VK_RETURN);
    EXPECT_EQ(grid->Cells(colImage, 2), "1");
}

TEST_F(GridDropDownTest, TheEditorsAreMadeOnceHiddenAndInTheStringGridToo) {
    TGridMemoDropDown* memo = grid->MemoDropDown();
    EXPECT_EQ(grid->MemoDropDown(), memo);
    EXPECT_FALSE(memo->Visible());
    EXPECT_EQ(memo->Parent(), grid);
    EXPECT_THROW(TGridMemoDropDown(form.get()), EInvalidCast);

    auto* plain = new TQorStringGrid(form.get());
    plain->SetParent(form.get());
    plain->SetBounds(0, 300, 400, 150);
    plain->SetOptions(plain->Options() + goEditing);
    plain->OnGetEditorType = [](TObject*, int ACol, int, TEditorType& AEditor) {
        if (ACol == 2) AEditor = edTrackbarDropDown;
    };
    plain->SetCol(2);
    plain->SetRow(1);
    plain->SetFocus();
    processMessages();
    key(VK_F2);
    TGridTrackbarDropDown* bar = plain->TrackbarDropDown();
    ASSERT_TRUE(bar->Visible());
    EXPECT_EQ(bar->Position(), 0);
    key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(bar->DroppedDown());
    const TRect channel = bar->TrackBar()->ChannelRect();
    postNativeClickAt(bar->TrackBar(), {channel.Right - 2, (channel.Top + channel.Bottom) / 2});
    processMessages();
    key(VK_RETURN);
    EXPECT_EQ(plain->Cells(2, 1), "2");
}

TEST_F(GridDropDownTest, PopupBarButtonsReportTheirCellAndTheGridsLooksReachThePopup) {
    std::vector<std::string> log;
    auto record = [&](const char* bar) {
        return [&log, bar, g = grid](TObject* Sender, int c, int r, int i) {
            EXPECT_EQ(Sender, g);
            log.push_back(std::string(bar) + " " + std::to_string(i) + " at " + std::to_string(c) +
                          "," + std::to_string(r));
        };
    };
    grid->OnDropDownHeaderButtonClick = record("header");
    grid->OnDropDownFooterButtonClick = record("footer");
    grid->ControlLook()->DropDownHeader()->SetCaption("Fruit");
    grid->ControlLook()->DropDownHeader()->Buttons()->Add()->SetCaption("H");
    grid->ControlLook()->DropDownFooter()->SetVisible(true);
    grid->ControlLook()->DropDownFooter()->Buttons()->Add()->SetCaption("F");
    open(colDetail, 2);
    TGridDetailPickerDropDown* detail = grid->DetailPickerDropDown();
    EXPECT_EQ(detail->DropDownHeader()->Caption(), "Fruit");
    key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(detail->DroppedDown());
    for (TQorPopupBar* bar : {static_cast<TQorPopupBar*>(detail->DropDownForm()->Header()),
                              static_cast<TQorPopupBar*>(detail->DropDownForm()->Footer())}) {
        ASSERT_EQ(bar->ButtonList().Count(), 1);
        auto* b = static_cast<TWinControl*>(bar->ButtonList().ItemsEx(0));
        postNativeClickAt(b, {b->Width() / 2, b->Height() / 2});
        processMessages();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"header 0 at 5,2", "footer 0 at 5,2"}));
    detail->HideDropDown(true);
    key(VK_ESCAPE);
}

TEST_F(GridDropDownTest, UpAndDownLeaveAClosedColourPickerWithoutValidation) {
    int validations = 0;
    grid->OnCellValidate = [&](TObject*, int, int, std::string&, bool& Valid) {
        ++validations;
        Valid = false;
    };
    open(colColor, 2);
    key(VK_UP);
    EXPECT_FALSE(grid->ColorPickerDropDown()->Visible());
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(validations, 0);
    // With the popup open the keys move in the colour list.
    open(colColor, 2);
    key(VK_DOWN, {ssAlt});
    const int before = grid->ColorPickerDropDown()->ItemIndex();
    key(VK_DOWN);
    EXPECT_TRUE(grid->ColorPickerDropDown()->DroppedDown());
    EXPECT_NE(grid->ColorPickerDropDown()->ItemIndex(), before);
    EXPECT_EQ(grid->Row(), 2);
    key(VK_ESCAPE);
    key(VK_ESCAPE);
    EXPECT_EQ(grid->Colors(colColor, 2), clYellow);
}

TEST_F(GridDropDownTest, AClickThatOpensTheCalculatorPutsTheCaretUnderThePointer) {
    grid->MouseActions()->SetDirectEdit(true);
    grid->MouseActions()->SetCaretPositioning(true);
    grid->SetCells(colCalculator, 2, "123456");
    const TRect cell = grid->CellRect(colCalculator, 2);
    postNativeClickAt(grid, {cell.Left + 20, cell.Top + cell.Height() / 2});
    processMessages();
    TGridCalculatorDropDown* calc = grid->CalculatorDropDown();
    ASSERT_TRUE(calc->Visible());
    EXPECT_EQ(calc->SelLength(), 0) << "nothing selected";
    EXPECT_GT(calc->SelStart(), 0);
    EXPECT_LT(calc->SelStart(), 6);
    EXPECT_FALSE(grid->LButFlg());
    key(VK_ESCAPE);
}
