#include "grid/core/QorColumnGrid.h"
#include "grid/data/DataSettings.h"
#include "platform/files/Files.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> headers(TQorColumnGrid& g) {
    std::vector<std::string> out;
    for (int i = 0; i < g.Columns()->Count(); ++i) out.push_back(g.Columns()->Items(i)->Header());
    return out;
}

TEST(ColumnGridTest, ItemsFollowTheColumnCountAndCopyTheVisualsBeforeThem) {
    TQorColumnGrid g(nullptr);
    ASSERT_EQ(g.Columns()->Count(), 5);
    TGridColumnItem* last = g.Columns()->Items(4);
    EXPECT_EQ(last->Width(), g.ColWidths(4));
    EXPECT_EQ(last->DropDownCount(), 8);
    EXPECT_EQ(last->CheckTrue(), "Y");
    EXPECT_EQ(last->PrintBorders(), (TCellBorders{cbTop, cbLeft, cbRight, cbBottom}));
    EXPECT_EQ(last->BorderPen()->Color(), TColor(clSilver));
    last->SetAlignment(taRightJustify);
    last->SetEditor(edComboList);
    last->SetHeader("H4");
    last->ComboItems()->Add("one");
    g.SetColCount(9);
    ASSERT_EQ(g.Columns()->Count(), 9);
    for (int i = 5; i < 9; ++i) {
        TGridColumnItem* it = g.Columns()->Items(i);
        EXPECT_EQ(it->Alignment(), taRightJustify) << i;
        EXPECT_EQ(it->Editor(), edComboList) << i;
        EXPECT_EQ(it->Header(), "") << i;
        EXPECT_EQ(it->ComboItems()->Count(), 0) << i;
    }
    g.SetColCount(3);
    EXPECT_EQ(g.Columns()->Count(), 3);
}

TEST(ColumnGridTest, CollectionAddDeleteMoveAndAssign) {
    TQorColumnGrid g(nullptr);
    g.Loaded();
    for (int i = 0; i < 5; ++i) g.Columns()->Items(i)->SetHeader("H" + std::to_string(i));
    EXPECT_EQ(g.GridCells(3, 0), "H3");
    EXPECT_EQ(g.ColumnHeaders()->Count(), 5);

    g.Columns()->Add();
    EXPECT_EQ(g.ColCount(), 6); // the grid follows its items
    g.Columns()->Delete(5);
    EXPECT_EQ(g.ColCount(), 5);

    TGridColumnItem* moving = g.Columns()->Items(2);
    moving->SetEditor(edDataCheckBox);
    moving->ComboItems()->Add("c");
    moving->SetWidth(90);
    moving->SetColumnPopupType(cpAllCellsLClick);
    g.SetCells(2, 1, "Y");
    g.MoveColumn(2, 4);
    EXPECT_EQ(headers(g), (std::vector<std::string>{"H0", "H1", "H3", "H4", "H2"}));
    TGridColumnItem* moved = g.Columns()->Items(4);
    EXPECT_EQ(moved->Editor(), edDataCheckBox);
    EXPECT_EQ(moved->ComboItems()->Count(), 1);
    EXPECT_EQ(moved->Width(), 90);
    EXPECT_EQ(moved->ColumnPopupType(), cpAllCellsLClick); // nothing lost on the way
    EXPECT_EQ(g.GridCells(4, 1), "Y");
    int from = -1, to = -1;
    g.OnAfterColumnMoved = [&](TObject*, int f, int t) { from = f, to = t; };
    g.MoveColumn(4, 1);
    EXPECT_EQ(from, 4);
    EXPECT_EQ(to, 1);

    TQorColumnGrid other(nullptr);
    other.SetColumns(g.Columns());
    EXPECT_EQ(headers(other), headers(g));
    EXPECT_EQ(other.Columns()->Items(1)->Editor(), edDataCheckBox);
    EXPECT_EQ(other.ColumnByName("nope"), nullptr);
    other.Columns()->Items(3)->SetName("key");
    EXPECT_EQ(other.ColumnByName("key"), other.Columns()->Items(3));
    EXPECT_EQ(other.Columns()->Items(3)->DisplayName(), "Col 3: key");
    EXPECT_EQ(other.Columns()->Items(2)->DisplayName(), "Column 2");
}

TEST(ColumnGridTest, ColumnHeadersGiveTheItemsTheirHeaders) {
    TQorColumnGrid g(nullptr);
    g.SetColCount(3);
    g.ColumnHeaders()->SetText("a\nb\nc\n");
    EXPECT_EQ(headers(g), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(ColumnGridTest, DataCheckBoxColumns) {
    TQorColumnGrid g(nullptr);
    TGridColumnItem* c = g.Columns()->Items(2);
    int paints = 0;
    g.HandleNeeded();
    c->SetEditor(edDataCheckBox);
    g.SetCells(2, 1, "Y");
    g.SetCells(2, 2, "N");
    g.SetCells(2, 3, "x");
    std::string t, f;
    g.GetCheckTrue(2, 1, t);
    g.GetCheckFalse(2, 1, f);
    EXPECT_EQ(t, "Y");
    EXPECT_EQ(f, "N");
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(g.GetCellType(2, r), ctDataCheckBox) << r;
        ASSERT_NE(g.GetCellGraphic(2, r), nullptr);
        EXPECT_EQ(g.GetCellGraphic(2, r)->CellType(), ctVirtCheckBox);
        EXPECT_FALSE(g.HasCellProperties(2, r)); // nothing stored in the cell
    }
    TCheckBoxState st = cbGrayed;
    ASSERT_TRUE(g.GetCheckBoxState(2, 1, st));
    EXPECT_EQ(st, cbChecked);
    for (int r : {2, 3}) {
        ASSERT_TRUE(g.GetCheckBoxState(2, r, st));
        EXPECT_EQ(st, cbUnchecked) << r;
    }
    g.HideRow(1); // a hidden row answers from its record
    ASSERT_TRUE(g.GetCheckBoxState(2, 2, st));
    EXPECT_EQ(st, cbUnchecked);
    g.UnHideRow(1);
    EXPECT_FALSE(g.GetCheckBoxState(1, 1, st));
    EXPECT_EQ(g.GetCellType(2, 0), ctEmpty); // not in the fixed row
    EXPECT_EQ(g.GetCellType(1, 1), ctEmpty);
    c->SetCheckTrue("1");
    g.GetCheckTrue(2, 1, t);
    EXPECT_EQ(t, "1");
    g.GetCheckTrue(2, 0, t);
    EXPECT_EQ(t, "Y"); // fixed cells keep the grid's text
    (void)paints;
    g.AddCheckBox(1, 2, cbGrayed);
    ASSERT_TRUE(g.GetCheckBoxState(1, 2, st));
    EXPECT_EQ(st, cbGrayed);
    EXPECT_EQ(g.GetCellType(1, 2), ctTriStateCheckBox);
    try {
        g.AddCheckBox(1, g.RowCount(), cbChecked);
        ADD_FAILURE() << "a row past the last was accepted";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Invalid cell");
    }
}

TEST(ColumnGridTest, HooksAnswerFromTheItems) {
    TQorColumnGrid g(nullptr);
    g.SetOptions(g.Options() + goEditing);
    TGridColumnItem* it = g.Columns()->Items(1);
    it->SetAlignment(taCenter);
    it->SetHeaderAlignment(taRightJustify);
    it->SetPassword(true);
    it->SetSortStyle(ssNumeric);
    it->SetSortPrefix("$");
    it->SetEditor(edComboEdit);
    it->SetColor(clYellow);
    it->SetBorders(TCellBorders{cbLeft});
    it->SetFloatFormat("%.1f");

    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    g.GetAlignment(1, 2, ha, va);
    EXPECT_EQ(ha, taCenter);
    g.GetAlignment(1, 0, ha, va);
    EXPECT_EQ(ha, taRightJustify);
    bool pw = false;
    g.IsPasswordCell(1, 3, pw);
    EXPECT_TRUE(pw);
    TSortStyle ss = ssAutomatic;
    std::string pre, suf;
    g.GetFormat(1, ss, pre, suf);
    EXPECT_EQ(ss, ssNumeric);
    EXPECT_EQ(pre, "$");
    TEditorType ed = edNormal;
    g.GetEditorType(1, 2, ed);
    EXPECT_EQ(ed, edComboEdit);
    EXPECT_TRUE(g.HasComboBox(1, 2));
    EXPECT_FALSE(g.HasComboBox(1, 0));
    EXPECT_FALSE(g.HasComboBox(2, 2));
    TBrush brush;
    TFont font;
    g.GetCellColor(1, 2, {}, &brush, &font);
    EXPECT_EQ(brush.Color(), TColor(clYellow));
    TPen pen;
    TCellBorders b;
    g.GetCellBorder(1, 2, &pen, b);
    EXPECT_EQ(b, TCellBorders{cbLeft});
    EXPECT_EQ(pen.Color(), TColor(clSilver));
    g.SetCells(1, 2, "3.14159");
    g.SetCells(1, 3, "1e5");
    g.SetCells(1, 4, "text");
    EXPECT_EQ(g.GetFormattedCell(1, 2), "3.1");
    EXPECT_EQ(g.GetFormattedCell(1, 3), "1e5");
    EXPECT_EQ(g.GetFormattedCell(1, 4), "text");
    int width = 5;
    it->SetMinSize(20);
    it->SetMaxSize(60);
    g.UpdateColumnSize(1, width);
    EXPECT_EQ(width, 20);
    width = 99;
    g.UpdateColumnSize(1, width);
    EXPECT_EQ(width, 60);
    EXPECT_EQ(g.GetVersionString(), "3.1.3.1 Aug, 2012");
}

TEST(ColumnGridTest, EditPermissionFromItemsAndCells) {
    TQorColumnGrid g(nullptr);
    g.SetOptions(g.Options() + goEditing);
    g.Columns()->Items(2)->SetReadOnly(true);
    g.Columns()->Items(3)->SetFixed(true);
    g.CellProperties(1, 4)->SetReadOnly(true);
    struct Case {
        int col, row;
        bool editable;
    };
    const Case cases[] = {{1, 2, true},  {2, 2, false}, {3, 2, false}, {1, 4, false},
                          {0, 2, false}, {1, 0, false}, {7, 2, false}};
    for (const auto& c : cases) {
        bool can = true;
        g.IsEditableCell(c.col, c.row, can);
        EXPECT_EQ(can, c.editable) << c.col << "," << c.row;
    }
    g.OnCanEditCell = [](TObject*, int, int, bool& can) { can = true; };
    bool can = false;
    g.IsEditableCell(2, 2, can);
    EXPECT_TRUE(can); // the event has the last word
}

TEST(ColumnGridTest, ColumnFilterListsComeFromTheItems) {
    TQorColumnGrid g(nullptr);
    TGridColumnItem* it = g.Columns()->Items(2);
    EXPECT_FALSE(g.BuildColumnFilterList(2));
    it->Filter()->Add("Big=>100");
    it->Filter()->Add("Small");
    it->SetFilterCaseSensitive(true);
    ASSERT_TRUE(g.BuildColumnFilterList(2));
    EXPECT_EQ(g.FilterList()->ToVector(), (std::vector<std::string>{"Big", "Small"}));
    g.SetAutoFilterDisplay(true);
    std::string seen;
    g.OnFilterSelect = [&](TObject*, int, int, const std::string& name, std::string& cond) {
        seen = name + "|" + cond;
    };
    g.SetFilterColumn(2);
    g.FilterDropDownSelect(0);
    EXPECT_EQ(seen, "Big|>100");
    EXPECT_EQ(it->Header(), "Big");
    EXPECT_EQ(g.Filter()->ColumnFilter(2)->Condition(), ">100");
    EXPECT_TRUE(g.Filter()->ColumnFilter(2)->CaseSensitive());
    EXPECT_EQ(g.FilterColumn(), -1);
    g.FilterDropDownSelect(1); // no column remembered: nothing
    EXPECT_EQ(g.Filter()->ColumnFilter(2)->Condition(), ">100");
}

TEST(ColumnGridTest, ColumnPositionsRoundTripAndRefuseWhatIsNotAnOrder) {
    std::string file = "/tmp/g2_colpos_" + std::to_string(::getpid()) + ".ini";
    TQorColumnGrid g(nullptr);
    g.Loaded();
    for (int i = 0; i < 5; ++i) g.Columns()->Items(i)->SetName("c" + std::to_string(i));
    g.MoveColumn(0, 4); // c1 c2 c3 c4 c0
    g.SaveColumnPositions(file, "Order");
    auto names = [&] {
        std::string s;
        for (int i = 0; i < 5; ++i) s += g.Columns()->Items(i)->Name();
        return s;
    };
    g.ResetOrganization();
    EXPECT_EQ(names(), "c0c1c2c3c4");
    g.LoadColumnPositions(file, "Order");
    EXPECT_EQ(names(), "c1c2c3c4c0");
    g.ResetOrganization();
    g.ColumnSize()->SetLocation(clIniFile);
    g.ColumnSize()->SetKey(file);
    g.ColumnSize()->SetSection("Order");
    g.LoadColPositions();
    EXPECT_EQ(names(), "c1c2c3c4c0");

    struct Case {
        const char* body;
    };
    const Case refused[] = {
        {"[Order]\nCP0=0\nCP1=1\nCP2=2\nCP4=4\n"},        // CP3 missing
        {"[Order]\nCP0=0\nCP1=1\nCP2=1\nCP3=3\nCP4=4\n"}, // 1 twice
        {"[Order]\nCP0=9\nCP1=1\nCP2=2\nCP3=3\nCP4=4\n"}, // no such column
        {"[Order]\nCP0=-1\nCP1=1\nCP2=2\nCP3=3\nCP4=4\n"},
    };
    for (const auto& c : refused) {
        std::ofstream(file) << c.body;
        std::string before = names();
        g.LoadColumnPositions(file, "Order");
        EXPECT_EQ(names(), before) << c.body;
    }
    std::remove(file.c_str());
}

TEST(ColumnGridTest, ColumnPopupOpensForItsClickKind) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 300);
    auto* g = new TQorColumnGrid(&form);
    g->SetParent(&form);
    auto* menu = new TPopupMenu(&form);
    int opened = 0, popups = 0;
    menu->OnPopup = [&](TObject*) { ++opened; };
    g->OnColumnPopup = [&](TObject*, int, int, TPopupMenu*) { ++popups; };
    g->Columns()->Items(1)->SetColumnPopup(menu);
    g->Columns()->Items(1)->SetColumnPopupType(cpNormalCellsLClick);
    form.Show();
    TRect header = g->CellRect(1, 0), normal = g->CellRect(1, 2);
    uitest::click(g, {header.Left + 3, header.Top + 3});
    EXPECT_EQ(popups, 0);
    uitest::click(g, {normal.Left + 3, normal.Top + 3});
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(opened, 1);
    delete menu; // the item forgets it
    EXPECT_EQ(g->Columns()->Items(1)->ColumnPopup(), nullptr);
}

} // namespace
