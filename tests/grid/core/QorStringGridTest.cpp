#include "grid/core/QorStringGrid.h"
#include "grid/core/QorColumnGrid.h"
#include "grid/data/DataSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(QorStringGridLifeTest, CreatedInCodeWithItsDefaults) {
    TQorStringGrid g(nullptr);
    EXPECT_EQ(g.RowCount(), 10);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.DefaultRowHeight(), 22);
    EXPECT_EQ(g.Width(), 400);
    EXPECT_EQ(g.Height(), 250);
    EXPECT_EQ(g.CheckTrue(), "Y");
    EXPECT_EQ(g.CheckFalse(), "N");
    EXPECT_EQ(g.FloatFormat(), "%.2f");
    EXPECT_EQ(g.FilterDropDownClear(), "(All)");
    EXPECT_EQ(g.SelectionColor(), TColor(0xEACAB6));
    EXPECT_EQ(g.Look(), glXP);
    EXPECT_EQ(g.ComponentStyle(), tsWindowsXP);
    EXPECT_EQ(g.XYOffset().X, 2);
    EXPECT_EQ(g.GroupColumn(), -1);
    EXPECT_EQ(g.FixedFont()->Name(), "Tahoma");
    EXPECT_TRUE(g.FixedFont()->Style().Contains(fsBold));
    EXPECT_TRUE(g.ActiveCellFont()->Style().Contains(fsBold));
    // The platform reports a system of version 5.1: XP colours, no visual styles.
    EXPECT_EQ(g.BorderColor(), TColor(0xB99D7F));
    EXPECT_TRUE(g.IsThemed());
    EXPECT_FALSE(g.IsVista());
    EXPECT_EQ(g.QorGradientTo(), ColorToRGB(clBtnFace));
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.EditControl(), edNormal);
    for (auto d : {arrUp, arrDown, arrLeft, arrRight}) ASSERT_NE(g.ArrowWindow(d), nullptr);
    ASSERT_NE(g.FocusWindow(), nullptr);
    ASSERT_NE(g.FilterDropList(), nullptr);
    EXPECT_FALSE(g.FilterDropList()->Visible());
    EXPECT_TRUE(g.FilterList()->Sorted());
    EXPECT_EQ(g.NumHiddenColumns(), 0);
    EXPECT_EQ(g.NumHiddenRows(), 0);
}

TEST(QorStringGridLifeTest, LoadedRecordsMinimaAndMovesAlwaysShowEditor) {
    TForm form(nullptr);
    auto* g = new TQorStringGrid(&form);
    g->Loading();
    g->SetParent(&form);
    g->SetOptions(g->Options() + goAlwaysShowEditor);
    g->ColumnHeaders()->Add("A");
    g->ColumnHeaders()->Add("B");
    g->Loaded();
    EXPECT_FALSE(g->Loading());
    EXPECT_FALSE(g->Options().Contains(goAlwaysShowEditor));
    EXPECT_TRUE(g->Navigation()->AlwaysEdit());
    EXPECT_EQ(g->MinRowHeight(), 22);
    EXPECT_EQ(g->MinColWidth(), 10);
    EXPECT_EQ(g->GridCells(1, 0), "B");
    g->HandleNeeded();
    EXPECT_EQ(g->TimerID(), 111u);
    EXPECT_EQ(g->WheelMessage(), UINT(WM_MOUSEWHEEL));
    EXPECT_FALSE(g->IsWinXP()); // no active visual theme
}

// Grids of both kinds on one form, destroyed in every order, form first or last: the form's
// resize handler keeps working and comes back as it was.
TEST(QorStringGridLifeTest, FormResizeChainSurvivesAnyDestructionOrder) {
    for (int order = 0; order < 4; ++order) {
        auto form = std::make_unique<TForm>(nullptr);
        int formResizes = 0;
        form->OnResize = [&](TObject*) { ++formResizes; };
        auto* a = new TQorStringGrid(form.get());
        auto* b = new TQorColumnGrid(form.get());
        auto* c = new TQorStringGrid(form.get());
        a->SetParent(form.get());
        b->SetParent(form.get());
        form->SetBounds(0, 0, 500, 400);
        EXPECT_EQ(formResizes, 1) << order;
        std::vector<TQorStringGrid*> grids = {a, b, c};
        if (order == 1) std::swap(grids[0], grids[2]);
        if (order == 2) std::swap(grids[0], grids[1]);
        if (order < 3) {
            delete grids[0];
            form->SetBounds(0, 0, 510, 400);
            EXPECT_EQ(formResizes, 2) << order;
            delete grids[1];
            delete grids[2];
            form->SetBounds(0, 0, 520, 400);
            EXPECT_EQ(formResizes, 3) << order;
        }
        form.reset(); // order 3: the form takes its grids with it
    }
}

TEST(QorStringGridLifeTest, IntegralHeightSnapsToWholeRows) {
    TQorStringGrid g(nullptr);
    g.SetIntegralHeight(true);
    g.SetBounds(0, 0, 200, 100);
    EXPECT_EQ(g.Height(), 92);
}

TEST(QorStringGridLifeTest, AssignCopiesSettingsAndCellsOnlyFromItsOwnClass) {
    TQorStringGrid src(nullptr), dst(nullptr);
    src.SetColCount(3);
    src.SetRowCount(4);
    src.SetColWidths(2, 77);
    src.SetCells(2, 3, "x");
    src.Navigation()->SetAllowInsertRow(true);
    src.Bands()->SetActive(true);
    dst.Assign(&src);
    EXPECT_EQ(dst.ColCount(), 3);
    EXPECT_EQ(dst.RowCount(), 4);
    EXPECT_EQ(dst.ColWidths(2), 77);
    EXPECT_EQ(dst.GridCells(2, 3), "x");
    EXPECT_TRUE(dst.Navigation()->AllowInsertRow());
    EXPECT_TRUE(dst.Bands()->Active());
    TQorStringGrid untouched(nullptr);
    TBands other;
    untouched.Assign(&other);
    EXPECT_EQ(untouched.ColCount(), 5);
}

// Each hook: its default answer without a handler, then the arguments its event receives.
TEST(QorStringGridHooksTest, DefaultsAndEventArguments) {
    TQorStringGrid g(nullptr);
    std::vector<int> args;
    auto rec = [&](std::initializer_list<int> v) { args.assign(v); };

    TBrush brush;
    TFont font;
    g.GetCellColor(3, 4, {}, &brush, &font);
    g.OnGetCellColor = [&](TObject*, int r, int c, TGridDrawState, TBrush*, TFont*) {
        rec({r, c});
    };
    g.GetCellColor(3, 4, {}, &brush, &font);
    EXPECT_EQ(args, (std::vector<int>{4, 3}));

    TPen pen;
    TCellBorders borders;
    g.OnGetCellBorder = [&](TObject*, int r, int c, TPen*, TCellBorders&) { rec({r, c}); };
    g.GetCellBorder(1, 2, &pen, borders);
    EXPECT_EQ(args, (std::vector<int>{2, 1}));

    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    g.MouseActions()->SetHotmailRowSelect(true);
    g.GetAlignment(0, 2, ha, va);
    EXPECT_EQ(ha, taCenter);
    g.OnGetAlignment = [&](TObject*, int r, int c, TAlignment&, TVAlignment&) { rec({r, c}); };
    g.GetAlignment(2, 5, ha, va);
    EXPECT_EQ(args, (std::vector<int>{5, 2}));

    TEditorType ed = edNormal;
    EXPECT_FALSE(g.IsNoEditor(1, 1));
    g.OnGetEditorType = [&](TObject*, int c, int r, TEditorType& e) {
        rec({c, r});
        e = edNone;
    };
    g.GetEditorType(3, 6, ed);
    EXPECT_EQ(args, (std::vector<int>{3, 6}));
    EXPECT_TRUE(g.IsNoEditor(1, 1));

    bool fixed = false;
    g.IsFixedCell(0, 3, fixed);
    EXPECT_TRUE(fixed); // a fixed column
    fixed = false;
    g.OnIsFixedCell = [&](TObject*, int r, int c, bool& f) {
        rec({r, c});
        f = true;
    };
    g.IsFixedCell(2, 3, fixed);
    EXPECT_EQ(args, (std::vector<int>{3, 2}));
    EXPECT_TRUE(fixed);

    bool pw = false;
    g.OnIsPasswordCell = [&](TObject*, int r, int c, bool&) { rec({r, c}); };
    g.IsPasswordCell(4, 1, pw);
    EXPECT_EQ(args, (std::vector<int>{1, 4}));

    bool ww = true;
    g.OnGetWordWrap = [&](TObject*, int c, int r, bool&) { rec({c, r}); };
    g.GetCellWordWrap(4, 1, ww);
    EXPECT_EQ(args, (std::vector<int>{4, 1}));

    EXPECT_FALSE(g.HasComboBox(2, 2));
    EXPECT_FALSE(g.HasSpinEdit(0, 2)); // fixed cells never
    g.OnHasComboBox = [&](TObject*, int c, int r, bool& h) {
        rec({c, r});
        h = true;
    };
    EXPECT_TRUE(g.HasComboBox(2, 3));
    EXPECT_EQ(args, (std::vector<int>{2, 3}));

    std::string t;
    g.GetCheckTrue(1, 1, t);
    EXPECT_EQ(t, "Y");
    g.GetCheckFalse(1, 1, t);
    EXPECT_EQ(t, "N");
    g.OnGetCheckTrue = [&](TObject*, int c, int r, std::string& v) {
        rec({c, r});
        v = "ja";
    };
    g.GetCheckTrue(2, 7, t);
    EXPECT_EQ(t, "ja");
    EXPECT_EQ(args, (std::vector<int>{2, 7}));

    std::string hint;
    std::u16string wide;
    g.OnGridHint = [&](TObject*, int r, int c, std::string& h) {
        rec({r, c});
        h = "plain";
    };
    g.GridHint(3, 2, hint, wide);
    EXPECT_EQ(hint, "plain");
    EXPECT_EQ(args, (std::vector<int>{2, 3}));
    g.OnGridWideHint = [&](TObject*, int, int, std::u16string& h) { h = u"wide"; };
    g.GridHint(3, 2, hint, wide);
    EXPECT_EQ(hint.substr(0, 2), "|\\"); // the packed wide form

    g.OnComboCloseUp = [&](TObject*, int r, int c) { rec({r, c}); };
    g.ComboCloseUp(5, 6);
    EXPECT_EQ(args, (std::vector<int>{6, 5}));
    g.OnButtonClick = [&](TObject*, int c, int r) { rec({c, r}); };
    g.ButtonClick(5, 6);
    EXPECT_EQ(args, (std::vector<int>{5, 6}));
    g.OnExpandClick = [&](TObject*, int c, int r, bool e) { rec({c, r, e}); };
    g.ExpandClick(1, 2, true);
    EXPECT_EQ(args, (std::vector<int>{1, 2, 1}));
    g.OnCheckBoxClick = [&](TObject*, int c, int r, bool s) { rec({c, r, s}); };
    g.CheckBoxClick(3, 4, false);
    EXPECT_EQ(args, (std::vector<int>{3, 4, 0}));
    g.OnSearchFooterAction = [&](TObject*, const std::string&, int c, int r, TSearchAction a) {
        rec({c, r, int(a)});
    };
    g.SearchFooterAction("x", 1, 2, saFindNext);
    EXPECT_EQ(args, (std::vector<int>{1, 2, 2}));
    int width = 40;
    g.OnUpdateColumnSize = [&](TObject*, int c, int& w) {
        rec({c, w});
        w = 41;
    };
    g.UpdateColumnSize(2, width);
    EXPECT_EQ(width, 41);
    EXPECT_EQ(args, (std::vector<int>{2, 40}));
    std::string mask;
    g.SetEditMask("999");
    g.OnGetEditMask = [&](TObject*, int c, int r, std::string& m) {
        rec({c, r});
        m += "!";
    };
    EXPECT_EQ(g.GetEditMask(1, 2), "999!");
    EXPECT_EQ(args, (std::vector<int>{1, 2}));
}

TEST(QorStringGridHooksTest, CellColourKeepsTheGridBrushForCheckBoxCells) {
    TQorStringGrid g(nullptr);
    TCellProperties* p = g.CellProperties(2, 2);
    p->SetBrushColor(clRed);
    p->SetFontColor(clBlue);
    auto* graphic = new TCellGraphic();
    graphic->SetCheckBox(true, false, true, haLeft, vaTop);
    p->SetGraphicObject(graphic);
    TBrush brush;
    brush.SetColor(clWhite);
    TFont font;
    g.GetCellColor(2, 2, {}, &brush, &font);
    EXPECT_EQ(brush.Color(), TColor(clWhite));
    EXPECT_EQ(font.Color(), TColor(clBlue));
    g.CellProperties(3, 2)->SetBrushColor(clRed);
    g.GetCellColor(3, 2, {}, &brush, &font);
    EXPECT_EQ(brush.Color(), TColor(clRed));
}

TEST(QorStringGridHooksTest, EditPermission) {
    TQorStringGrid g(nullptr);
    g.SetOptions(g.Options() + goEditing);
    bool can = true;
    g.IsEditableCell(2, 2, can);
    EXPECT_TRUE(can); // no properties: unchanged
    g.CellProperties(2, 3)->SetReadOnly(true);
    can = true;
    g.IsEditableCell(2, 3, can);
    EXPECT_FALSE(can);
    // A column beyond the grid's columns is refused, with or without a handler.
    int asked = 0;
    g.OnCanEditCell = [&](TObject*, int, int, bool&) { ++asked; };
    can = true;
    g.IsEditableCell(9, 2, can);
    EXPECT_FALSE(can);
    EXPECT_EQ(asked, 0);
    g.IsEditableCell(2, 2, can);
    EXPECT_EQ(asked, 1);
}

TEST(QorStringGridHooksTest, FixedRowAlwaysMakesEveryRowFixedWhenOnlyTheFixedOnesRemain) {
    TQorStringGrid g(nullptr);
    g.SetFixedRowAlways(true);
    g.Loaded();
    g.SetRowCount(1);
    bool fixed = false;
    g.IsFixedCell(3, 0, fixed);
    EXPECT_TRUE(fixed);
}

TEST(QorStringGridHooksTest, AutomaticColumnFilterList) {
    TQorStringGrid g(nullptr);
    g.SetRowCount(4);
    g.SetCells(1, 1, "a");
    g.SetCells(1, 2, "b c");
    g.SetCells(1, 3, " a ");
    EXPECT_FALSE(g.BuildColumnFilterList(1)); // automatic lists are off
    g.SetFilterDropDownAuto(true);
    ASSERT_TRUE(g.BuildColumnFilterList(1));
    EXPECT_EQ(g.FilterList()->ToVector(), (std::vector<std::string>{"(All)", "a", "b c=\"b c\""}));
    EXPECT_FALSE(g.BuildColumnFilterList(0) && g.FilterList()->Count() > 1); // fixed column
    int column = -1;
    g.OnGetColumnFilter = [&](TObject*, int c, TStrings* list) {
        column = c;
        list->Add("z");
    };
    g.BuildColumnFilterList(1);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(g.FilterList()->Count(), 4);
}

} // namespace
