// The grid's linked editors (edCustom cells), the editors of fixed cells and their drop-down
// button, right-aligned text editing and the cell checker during validation, driven through
// Qt's own key and mouse delivery on a shown column grid.
#include "EditGridFixture.h"

#include "grid/editors/CellChecker.h"
#include "grid/editors/EditLink.h"
#include "grid/editors/FixedCellEditors.h"
#include "grid/render/ControlLook.h"
#include "platform/ui/Menus.h"

#include <cctype>

namespace {

using edit_fixture::colCombo;
using edit_fixture::colList;
using edit_fixture::colText;
using Log = std::vector<std::string>;

// A linked editor made of a plain edit box, as an application derives one.
class EditBoxLink : public TEditLink {
public:
    using TEditLink::TEditLink;
    TWinControl* GetEditControl() override { return edit; }
    void CreateEditor(TWinControl* AParent) override {
        if (!edit) {
            edit = new TEdit(this);
            edit->OnKeyDown = [this](TObject* S, WORD& K, TShiftState Sh) {
                EditKeyDown(S, K, Sh);
            };
        }
        edit->SetParent(AParent);
    }
    // The control may be in the middle of its own key handling: its owner, the link, frees it.
    void DestroyEditor() override {
        edit->SetVisible(false);
        edit = nullptr;
        ++destroyed;
    }
    void SetCellProps(TColor AColor, TFont*) override { color = AColor; }
    std::string GetEditorValue() override { return edit ? edit->Text() : std::string(); }
    void SetEditorValue(const std::string& Value) override {
        if (edit) edit->SetText(Value);
    }
    TEdit* edit = nullptr;
    TColor color = clNone;
    int destroyed = 0;
};

class LinkedEditorsTest : public edit_fixture::EditGridTest {
protected:
    void SetUp() override {
        EditGridTest::SetUp();
        link = new EditBoxLink(form.get());
        TGridColumnItem* item = grid->Columns()->Items(colText);
        item->SetEditor(edCustom);
        item->SetEditLink(link);
    }
    void TearDown() override {
        SetPopupMenuPresenter(nullptr);
        EditGridTest::TearDown();
    }
    void key(WORD vk, TShiftState shift = {}, TWinControl* target = nullptr) {
        uitest::postNativeKey(vk, shift, target);
        uitest::processMessages();
    }
    void text(const std::string& s, TWinControl* target = nullptr) {
        uitest::postNativeText(s, target);
        uitest::processMessages();
    }
    TPoint middle(int c, int r) {
        const TRect rc = grid->CellRect(c, r);
        return {(rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2};
    }
    bool linkShown() { return link->edit && link->edit->Visible(); }
    EditBoxLink* link = nullptr;
};

TEST_F(LinkedEditorsTest, ALinkedEditorOpensOnATypedCharacterAndCommitsOnEnter) {
    logDone();
    at(colText, 2);
    text("x", grid);
    ASSERT_TRUE(linkShown());
    EXPECT_TRUE(link->edit->Focused());
    EXPECT_EQ(link->edit->Parent(), grid);
    EXPECT_EQ(link->Grid(), grid);
    EXPECT_EQ(link->EditCell(), (TPoint{colText, 2}));
    const TRect cell = grid->CellRect(colText, 2);
    EXPECT_EQ(link->edit->BoundsRect().TopLeft(), cell.TopLeft());
    EXPECT_EQ(link->edit->Width(), cell.Width() - grid->GridLineWidth());
    EXPECT_EQ(grid->EditCtrl(), link->edit);
    text("yz");
    EXPECT_EQ(link->edit->Text(), "xyz");
    key(VK_RETURN);
    EXPECT_FALSE(linkShown());
    EXPECT_EQ(grid->Cells(colText, 2), "xyz");
    EXPECT_TRUE(grid->Focused());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(log, (Log{"editing done", "cell done " + std::to_string(colText) + ",2"}));
}

TEST_F(LinkedEditorsTest, EscapePutsTheOpeningTextBackBeforeTheCommit) {
    grid->SetCells(colText, 1, "old");
    at(colText, 1);
    key(VK_F2, {}, grid);
    ASSERT_TRUE(linkShown());
    EXPECT_EQ(link->edit->Text(), "old");
    text("new");
    key(VK_ESCAPE);
    EXPECT_FALSE(linkShown());
    EXPECT_EQ(grid->Cells(colText, 1), "old");
}

TEST_F(LinkedEditorsTest, TheWantFlagsKeepTheirKeysInTheControl) {
    struct Case {
        void (TEditLink::*want)(bool);
        WORD key;
        TShiftState shift;
        bool ends; // the key ends the edit
    };
    const Case cases[] = {
        {nullptr, VK_DOWN, {}, true},
        {&TEditLink::SetWantKeyUpDown, VK_DOWN, {}, false},
        {&TEditLink::SetWantKeyReturn, VK_RETURN, {}, false},
        {&TEditLink::SetWantKeyLeftRight, VK_LEFT, {}, false},
        {nullptr, VK_HOME, {}, false},
        {&TEditLink::SetWantKeyLeftRight, VK_UP, {}, true},
        // With Alt any key ends the edit unless a flag keeps it.
        {nullptr, 'Q', {ssAlt}, true},
        {&TEditLink::SetWantKeyUpDown, VK_UP, {ssAlt}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key);
        auto* l = new EditBoxLink(form.get());
        if (c.want) (l->*c.want)(true);
        link = l;
        grid->Columns()->Items(colText)->SetEditLink(l);
        at(colText, 3);
        key(VK_F2, {}, grid);
        ASSERT_TRUE(linkShown());
        key(c.key, c.shift);
        EXPECT_EQ(linkShown(), !c.ends);
        if (linkShown()) key(VK_ESCAPE);
        grid->Columns()->Items(colText)->SetEditLink(nullptr);
        delete l;
        link = nullptr;
    }
}

TEST_F(LinkedEditorsTest, TabCommitsAndOpensTheNextCellsEditor) {
    grid->SetOptions(grid->Options() + goTabs);
    grid->Navigation()->SetTabToNextAtEnd(true);
    at(colText, 2);
    key(VK_F2, {}, grid);
    ASSERT_TRUE(linkShown());
    // With goTabs the grid's window procedure has the control want Tab.
    EXPECT_NE(link->edit->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    text("t");
    key(VK_TAB);
    EXPECT_FALSE(linkShown());
    EXPECT_EQ(grid->Cells(colText, 2), "t");
    EXPECT_EQ(grid->Col(), colList);
    EXPECT_TRUE(comboShown()) << "the next cell's editor opens";
    EXPECT_EQ(link->edit->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0)
        << "the control's own window procedure is back";
}

TEST_F(LinkedEditorsTest, ARefusedValueKeepsTheLinkedEditorOpenOnItsCell) {
    grid->SetCells(colText, 2, "ok");
    grid->OnCellValidate = [](TObject*, int, int, std::string& v, bool& valid) {
        valid = v != "bad";
    };
    at(colText, 2);
    key(VK_F2, {}, grid);
    link->edit->SelectAll();
    text("bad");
    key(VK_RETURN);
    EXPECT_TRUE(linkShown());
    EXPECT_TRUE(link->edit->Focused());
    EXPECT_EQ(grid->Cells(colText, 2), "ok");
    EXPECT_EQ(grid->Row(), 2);
    link->edit->SelectAll();
    text("good");
    key(VK_RETURN);
    EXPECT_FALSE(linkShown());
    EXPECT_EQ(grid->Cells(colText, 2), "good");
}

TEST_F(LinkedEditorsTest, APopupLinkEditsOnItsGridformAndCommitsWhenLeft) {
    link->SetEditStyle(esPopup);
    link->SetPopupWidth(150);
    link->SetPopupHeight(60);
    at(colText, 2);
    key(VK_F2, {}, grid);
    auto* popup = dynamic_cast<TForm*>(Application->FindComponent("gridform"));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(link->PopupForm(), popup);
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(popup->FormStyle(), fsStayOnTop);
    EXPECT_EQ(popup->BorderStyle(), bsNone);
    const TRect cell = grid->CellRect(colText, 2);
    EXPECT_EQ(popup->BoundsRect().TopLeft(), grid->ClientToScreen(cell.TopLeft()));
    EXPECT_EQ(popup->Width(), 150);
    EXPECT_EQ(popup->Height(), 60);
    ASSERT_TRUE(linkShown());
    EXPECT_EQ(link->edit->Parent(), popup);
    text("pop");
    // The grid's form taking the activation back ends the edit.
    grid->SetFocus();
    uitest::processMessages();
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(link->edit, nullptr) << "the popup's control is destroyed";
    EXPECT_EQ(link->destroyed, 1);
    EXPECT_EQ(grid->Cells(colText, 2), "pop");
    EXPECT_FALSE(grid->EditMode());

    // Enter in the popup ends it as well; a fixed position and the cell's width are kept.
    link->SetPopupLeft(40);
    link->SetPopupTop(30);
    link->SetAutoPopupWidth(true);
    key(VK_F2, {}, grid);
    ASSERT_TRUE(linkShown());
    EXPECT_EQ(popup->BoundsRect().TopLeft(), (TPoint{40, 30}));
    EXPECT_EQ(popup->Width(), cell.Width());
    EXPECT_EQ(link->edit->Text(), "pop");
    link->edit->SetSelStart(3);
    text("2");
    key(VK_RETURN);
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(grid->Cells(colText, 2), "pop2");
}

// --- fixed cells ---------------------------------------------------------------------------------
TEST_F(LinkedEditorsTest, ADoubleClickedHeaderEditsInPlaceAndStoresWhenLeft) {
    log.clear();
    grid->SetCells(colList, 0, "Head");
    grid->MouseActions()->SetFixedRowsEdit(fceDblClick);
    grid->OnEditingDone = [this](TObject*) { log.push_back("editing done"); };
    uitest::postNativeDoubleClickAt(grid, middle(colList, 0));
    uitest::processMessages();
    TGridTransEdit* e = grid->EditTrans();
    ASSERT_TRUE(e->Visible());
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->Text(), "Head");
    EXPECT_EQ(e->Col(), colList);
    EXPECT_EQ(e->Row(), 0);
    TRect inner = grid->CellRect(colList, 0);
    InflateRect(inner, -1, -1);
    EXPECT_EQ(e->BoundsRect(), inner);
    e->SelectAll();
    text("Name");
    key(VK_RETURN);
    EXPECT_TRUE(e->Visible()) << "Enter stays in the editor";
    uitest::postNativeClickAt(grid, middle(colCombo, 3));
    uitest::processMessages();
    EXPECT_FALSE(e->Visible());
    EXPECT_EQ(grid->Cells(colList, 0), "Name");
    EXPECT_EQ(log, (Log{"editing done"}));
}

TEST_F(LinkedEditorsTest, ARefusedHeaderTextKeepsTheEditorOpen) {
    grid->SetCells(colList, 0, "Head");
    grid->MouseActions()->SetFixedRowsEdit(fceDblClick);
    grid->OnCellValidate = [](TObject*, int, int, std::string& v, bool& valid) {
        valid = !v.empty();
    };
    uitest::postNativeDoubleClickAt(grid, middle(colList, 0));
    uitest::processMessages();
    TGridTransEdit* e = grid->EditTrans();
    ASSERT_TRUE(e->Visible());
    e->SelectAll();
    key(VK_DELETE);
    uitest::postNativeClickAt(grid, middle(colCombo, 3));
    uitest::processMessages();
    EXPECT_TRUE(e->Visible());
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(grid->Cells(colList, 0), "Head");
    // Another header cannot open while this one may not end.
    EXPECT_FALSE(e->StopEdit());
    grid->EditFixedCell(colCombo, 0);
    EXPECT_EQ(e->Col(), colList);
}

TEST_F(LinkedEditorsTest, TheTriggerSetDecidesWhichPressOpensAHeader) {
    struct Case {
        TGridFixedCellEdit rows;
        bool colSizing;
        enum { Left, Right, Double } press;
        int dx; // from the cell's left edge; -1: the middle
        bool opens;
    };
    const Case cases[] = {
        {fceNone, false, Case::Double, -1, false},     {fceDblClick, false, Case::Left, -1, false},
        {fceLeftClick, false, Case::Left, -1, true},   {fceLeftClick, false, Case::Left, 2, true},
        {fceLeftClick, true, Case::Left, 5, true},     {fceLeftClick, true, Case::Left, 2, false},
        {fceLeftClick, false, Case::Right, -1, false}, {fceRightClick, true, Case::Right, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "trigger " << c.rows << " press " << c.press);
        grid->MouseActions()->SetFixedRowsEdit(c.rows);
        grid->SetOptions(c.colSizing ? grid->Options() + goColSizing
                                     : grid->Options() - goColSizing);
        const TRect r = grid->CellRect(colCombo, 0);
        const TPoint p = c.dx < 0 ? middle(colCombo, 0) : TPoint{r.Left + c.dx, r.Top + 10};
        if (c.press == Case::Left)
            uitest::postNativeClickAt(grid, p);
        else if (c.press == Case::Right)
            uitest::postNativeRightClickAt(grid, p);
        else
            uitest::postNativeDoubleClickAt(grid, p);
        uitest::processMessages();
        EXPECT_EQ(grid->EditTrans()->Visible(), c.opens);
        grid->EditTrans()->StopEdit();
        uitest::processMessages();
    }
}

TEST_F(LinkedEditorsTest, OnCanEditCellAndOnFixedEditChooseTheHeaderEditor) {
    grid->MouseActions()->SetFixedRowsEdit(fceDblClick);
    grid->MouseActions()->SetFixedRowsEditor(fceComboList);
    grid->MouseActions()->FixedComboValues()->Add("X");
    grid->MouseActions()->FixedComboValues()->Add("Y");
    grid->SetCells(colCombo, 0, "Y");
    grid->OnCanEditCell = [](TObject*, int, int ACol, bool& can) { can = ACol != colList; };
    uitest::postNativeDoubleClickAt(grid, middle(colList, 0));
    uitest::processMessages();
    EXPECT_FALSE(grid->ComboTrans()->Visible()) << "OnCanEditCell refused";
    EXPECT_FALSE(grid->EditTrans()->Visible());

    uitest::postNativeDoubleClickAt(grid, middle(colCombo, 0));
    uitest::processMessages();
    TGridTransCombo* c = grid->ComboTrans();
    ASSERT_TRUE(c->Visible());
    EXPECT_EQ(c->Style(), csDropDownList);
    EXPECT_EQ(c->Items()->Count(), 2);
    EXPECT_EQ(c->ItemIndex(), 1);
    TRect r = grid->CellRect(colCombo, 0);
    InflateRect(r, -1, -1);
    EXPECT_EQ(c->BoundsRect().TopLeft(), (TPoint{r.Left - 1, r.Top - 1}));
    key(VK_UP);
    EXPECT_TRUE(c->StopEdit());
    EXPECT_EQ(grid->Cells(colCombo, 0), "X");

    // The hook may change the kind and the items.
    grid->OnFixedEdit = [](TObject*, int, int, TGridFixedCellEditor& kind, TStrings* values) {
        kind = fceEdit;
        values->Clear();
    };
    uitest::postNativeDoubleClickAt(grid, middle(colCombo, 0));
    uitest::processMessages();
    EXPECT_FALSE(c->Visible());
    EXPECT_TRUE(grid->EditTrans()->Visible());
    EXPECT_EQ(grid->EditTrans()->Text(), "X");
}

TEST_F(LinkedEditorsTest, AHeadersDropDownButtonPopsItsMenuUp) {
    grid->ControlLook()->SetFixedDropDownButton(true);
    grid->SetHoverFixedCells(hfAll);
    TPopupMenu menu(form.get()), other(form.get());
    std::vector<std::pair<TPopupMenu*, TPoint>> shown;
    SetPopupMenuPresenter([&](TPopupMenu& m, TPoint at) -> TMenuItem* {
        shown.emplace_back(&m, at);
        EXPECT_EQ(grid->HoverFixedX(), colList) << "the header stays lit while its menu is open";
        return nullptr;
    });
    const TRect r = grid->CellRect(colList, 0);
    const TPoint onButton{r.Right - 8, r.Top + 5};
    // Without a menu or a handler the button does nothing.
    uitest::postNativeMouseMove(grid, onButton);
    uitest::postNativeClickAt(grid, onButton);
    uitest::processMessages();
    EXPECT_TRUE(shown.empty());

    grid->SetFixedDropDownMenu(&menu);
    uitest::postNativeMouseMove(grid, onButton);
    uitest::postNativeClickAt(grid, onButton);
    uitest::processMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, &menu);
    EXPECT_EQ(shown[0].second, grid->ClientToScreen(TPoint{r.Right - 16, r.Bottom}));
    EXPECT_EQ(menu.Tag(), colList);

    // The handler may give another menu; a press left of the button is a header press.
    grid->OnFixedDropDownClick = [&](TObject*, int ACol, int ARow, TPopupMenu*& m, bool&) {
        EXPECT_EQ(ACol, colList);
        EXPECT_EQ(ARow, 0);
        m = &other;
    };
    uitest::postNativeMouseMove(grid, onButton);
    uitest::postNativeClickAt(grid, onButton);
    uitest::postNativeClickAt(grid, TPoint{r.Right - 30, r.Top + 5});
    uitest::processMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].first, &other);
    grid->SetFixedDropDownMenu(nullptr);
}

TEST_F(LinkedEditorsTest, AHoveredHeaderShowsItsDropDownArrow) {
    grid->SetHoverFixedCells(hfAll);
    const TRect r = grid->CellRect(colList, 0);
    auto arrowPixel = [&] {
        uitest::postNativeMouseMove(grid, TPoint{r.Left + 10, r.Top + 5});
        uitest::processMessages();
        return uitest::pixel(grid, r.Right - 8, r.Top + 9);
    };
    EXPECT_NE(arrowPixel(), clBlack);
    grid->ControlLook()->SetFixedDropDownButton(true);
    EXPECT_EQ(arrowPixel(), clBlack);
}

// --- right-aligned cells and the cell checker ----------------------------------------------------
TEST_F(LinkedEditorsTest, TheTextEditorTakesTheCellsAlignment) {
    grid->Columns()->Items(colCombo)->SetEditor(edNormal);
    grid->Columns()->Items(colCombo)->SetAlignment(taRightJustify);
    grid->Columns()->Items(colList)->SetEditor(edNormal);
    const std::pair<int, TAlignment> cases[] = {{colCombo, taRightJustify},
                                                {colList, taLeftJustify}};
    for (const auto& [c, want] : cases) {
        at(c, 2);
        key(VK_F2, {}, grid);
        ASSERT_TRUE(editorShown());
        EXPECT_EQ(editor()->Alignment(), want);
        EXPECT_EQ(editor()->VAlign(), want == taRightJustify);
        key(VK_ESCAPE);
    }
    // Typed text stays right-aligned: the text starts right of the middle.
    at(colCombo, 2);
    text("12", grid);
    ASSERT_TRUE(editorShown());
    auto shot = uitest::render(editor());
    int leftmostDark = shot->Width();
    for (int x = 0; x < shot->Width(); ++x)
        for (int y = 0; y < shot->Height(); ++y)
            if ((shot->Canvas()->Pixels(x, y) & 0xFF) < 100)
                leftmostDark = std::min(leftmostDark, x);
    EXPECT_GT(leftmostDark, shot->Width() / 2);
    key(VK_RETURN);
    EXPECT_EQ(grid->Cells(colCombo, 2), "12");
}

// Upper-cases what it corrects and marks digits as faults.
class UpperDigitChecker : public TQorStringGridCheck {
public:
    using TQorStringGridCheck::TQorStringGridCheck;
    std::string Correct(int, int, const std::string& S) override {
        std::string s = S;
        for (char& ch : s) ch = char(std::toupper(static_cast<unsigned char>(ch)));
        return s;
    }
    std::string MarkError(int, int, const std::string& S) override {
        std::string out;
        for (char ch : S)
            out += std::isdigit(static_cast<unsigned char>(ch))
                       ? "<e>" + std::string(1, ch) + "</e>"
                       : std::string(1, ch);
        return out;
    }
};

TEST_F(LinkedEditorsTest, ValidationCorrectsAndMarksThroughTheChecker) {
    struct Case {
        bool correct, mark;
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {false, false, "abc", "abc"},
        {true, false, "abc", "ABC"},
        {false, true, "a1", "a<e>1</e>"},
        {true, true, "a1", "A<e>1</e>"},
    };
    UpperDigitChecker checker(nullptr);
    EXPECT_FALSE(checker.UseCorrect());
    grid->SetCellChecker(&checker);
    std::string validated;
    grid->OnCellValidate = [&](TObject*, int, int, std::string& v, bool&) { validated = v; };
    grid->Columns()->Items(colCombo)->SetEditor(edNormal);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        checker.SetAutoCorrect(c.correct);
        checker.SetAutoMarkError(c.mark);
        const int row = int(&c - cases) + 1;
        at(colCombo, row);
        text(c.typed, grid);
        key(VK_RETURN);
        EXPECT_EQ(grid->GridCells(colCombo, row), c.stored);
        EXPECT_EQ(validated, c.correct ? AnsiUpperCase(c.typed) : c.typed)
            << "OnCellValidate sees the corrected, not the marked text";
    }
    grid->SetCellChecker(nullptr);
}

} // namespace
