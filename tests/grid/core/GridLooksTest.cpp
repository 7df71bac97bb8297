#include "grid/core/QorStringGrid.h"
#include "grid/editors/CellChecker.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

TEST(GridLookTest, MixerFactorIsAPercent) {
    TQorStringGrid g(nullptr);
    const std::pair<int, int> cases[] = {{150, 100}, {-5, 0}, {40, 40}, {100, 100}, {0, 0}};
    for (auto [set, stored] : cases) {
        g.SetSelectionColorMixerFactor(set);
        EXPECT_EQ(g.SelectionColorMixerFactor(), stored) << set;
    }
}

TEST(GridLookTest, NamesOfTheLooks) {
    struct Case {
        TGridLook look;
        const char* id;
        const char* caption;
    } cases[] = {
        {glStandard, "glStandard", "Standard"},
        {glQor, "glQor", "Qor"},
        {glXP, "glXP", "Windows XP"},
        {glVista, "glVista", "Windows Vista"},
        {glOffice2007, "glOffice2007", "Office2007"},
        {glCustom, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LookToString(c.look), c.id);
        EXPECT_EQ(LookToCaption(c.look), c.caption);
    }
}

TEST(GridLookTest, EachLookSetsItsColourSet) {
    struct Case {
        TGridLook look;
        TColor selection, selectionText, active, fixedFrom, fixedTo;
        TGridSelectionStyle style;
    } cases[] = {
        {glStandard, clHighlight, clHighlightText, clGray, ColorToRGB(clBtnFace), clNone,
         ssDefault},
        {glClassic, clHighlight, clHighlightText, clGray, ColorToRGB(clBtnFace), clNone, ssDefault},
        {glListView, clHighlight, clHighlightText, clGray, clWhite, ColorToRGB(clBtnFace),
         ssDefault},
        {glQor, 0xEACAB6, clBlack, 0xEACAB6, clWhite, ColorToRGB(clSilver), ssDefault},
        {glXP, 0xEACAB6, clBlack, 0xEACAB6, clWhite, ColorToRGB(clBtnFace), ssDefault},
        {glVista, 15387318, clBlack, 16644337, clWhite, clWhite, ssVista},
        {glWin7, 15387318, clBlack, 16575452, 16645370, 16445670, ssWin7},
        {glOffice2007, 6210033, clBlack, 10344697, 16513526, 15260626, ssOffice2007},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(LookToString(c.look));
        TQorStringGrid g(nullptr);
        g.SetLook(glCustom);
        g.SetScrollType(ssFlat);
        g.SetBorderColor(clRed);
        g.SetGridLineColor(clRed);
        g.SetLook(c.look);
        EXPECT_EQ(g.SelectionColor(), c.selection);
        EXPECT_EQ(g.SelectionTextColor(), c.selectionText);
        EXPECT_EQ(g.ActiveCellColor(), c.active);
        EXPECT_EQ(g.QorGradientFrom(), c.fixedFrom);
        EXPECT_EQ(g.QorGradientTo(), c.fixedTo);
        EXPECT_EQ(g.SelectionStyle(), c.style);
        EXPECT_EQ(g.ScrollType(), ssNormal);
        EXPECT_EQ(g.BorderColor(), TColor(0xB99D7F));
        EXPECT_NE(g.GridLineColor(), clRed);
    }
}

TEST(GridLookTest, SameLookAndCustomLookKeepTheColours) {
    TQorStringGrid g(nullptr);
    ASSERT_EQ(g.Look(), glXP);
    g.SetSelectionColor(clRed);
    g.SetScrollType(ssFlat);
    g.SetLook(glXP);
    EXPECT_EQ(g.SelectionColor(), clRed);
    EXPECT_EQ(g.ScrollType(), ssFlat) << "an unchanged look does nothing";

    g.SetBorderColor(clLime);
    g.SetLook(glCustom);
    EXPECT_EQ(g.SelectionColor(), clRed);
    EXPECT_EQ(g.ScrollType(), ssNormal);
    EXPECT_EQ(g.BorderColor(), TColor(0xB99D7F));

    g.SetLook(glStandard);
    EXPECT_EQ(g.SelectionColor(), clHighlight);
    EXPECT_EQ(g.GridLineColor(), clSilver);
    EXPECT_EQ(g.FixedColor(), clBtnFace);
    EXPECT_EQ(g.SearchFooter()->Color(), clBtnFace);
}

TEST(GridLookTest, SpreadSheetSwitchesItsOptionsBothWays) {
    TQorStringGrid g(nullptr);
    auto on = [&] {
        return std::vector<bool>{g.SelectionRectangle(),
                                 g.SelectionResizer(),
                                 g.Navigation()->AllowSmartClipboard(),
                                 g.Options().Contains(goRangeSelect),
                                 g.Options().Contains(goEditing),
                                 g.MouseActions()->RangeSelectAndEdit()};
    };
    g.SetSpreadSheet(true);
    EXPECT_TRUE(g.SpreadSheet());
    EXPECT_EQ(on(), std::vector<bool>(6, true));
    g.SetSpreadSheet(false);
    EXPECT_FALSE(g.SpreadSheet());
    EXPECT_EQ(on(), std::vector<bool>(6, false));
}

struct Listener : ITQorStringGridSelect {
    std::vector<std::pair<int, int>> cells;
    void CellSelected(int ACol, int ARow) override { cells.emplace_back(ACol, ARow); }
};

TEST(GridLookTest, SelectionListenerHearsMovesAndLeavesOnlyWhenNamed) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* g = new TQorStringGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 200, 100);
    g->SetColCount(3);
    g->SetRowCount(4);
    g->SetDefaultColWidth(60);
    form.Show();
    Listener a, b;
    g->RegisterSelListener(&a);
    g->SetCol(2);
    ASSERT_FALSE(a.cells.empty());
    EXPECT_EQ(a.cells.back(), std::make_pair(2, 1));

    // A click through the native window reaches it too.
    a.cells.clear();
    uitest::postNativeClick(g);
    uitest::processMessages();
    ASSERT_FALSE(a.cells.empty());
    int col = -1, row = -1;
    g->MouseToCell(100, 50, col, row);
    EXPECT_EQ(a.cells.back(), std::make_pair(col, row));

    g->UnRegisterSelListener(&b);
    EXPECT_EQ(g->SelListener(), &a) << "another listener leaves the registered one";
    g->RegisterSelListener(&b);
    EXPECT_EQ(g->SelListener(), &b) << "a later registration replaces it";
    g->UnRegisterSelListener(&b);
    EXPECT_EQ(g->SelListener(), nullptr);
}

class ComboGrid : public TQorStringGrid {
public:
    explicit ComboGrid(TComponent* AOwner) : TQorStringGrid(AOwner) { combo = new TComboBox(this); }
    TCustomComboBox* EditCombo() override { return combo; }
    TComboBox* combo;
};

TEST(GridLookTest, ComboItemsOfTheCellEditor) {
    ComboGrid g(nullptr);
    int hooked = 0;
    g.OnGetEditorProp = [&](TObject*, int, int, TObject* link) {
        EXPECT_EQ(link, nullptr);
        ++hooked;
        g.ClearComboString();
        for (const char* s : {"Low", "Mid", "High"}) g.AddComboString(s);
    };
    g.AddComboString("x");
    EXPECT_EQ(g.GetComboCount(), 1);
    g.SetCells(1, 1, "High");
    EXPECT_EQ(g.ComboIndex(1, 1), 2);
    EXPECT_EQ(hooked, 1);
    g.SetComboIndex(1, 1, 0);
    EXPECT_EQ(g.Cells(1, 1), "Low");
    g.SetComboIndex(1, 1, 7);
    EXPECT_EQ(g.Cells(1, 1), "Low") << "an index outside the items leaves the cell";

    EXPECT_FALSE(g.RemoveComboString("None"));
    EXPECT_EQ(g.GetComboCount(), 3);
    EXPECT_TRUE(g.RemoveComboString("Mid"));
    EXPECT_EQ(g.GetComboCount(), 2);
    EXPECT_TRUE(g.SetComboSelectionString("High"));
    EXPECT_EQ(g.ComboSelection(), 1);
    EXPECT_FALSE(g.SetComboSelectionString("None"));
    EXPECT_EQ(g.ComboSelection(), 1) << "a text that is no item keeps the choice";

    TQorStringGrid plain(nullptr);
    plain.AddComboString("x");
    EXPECT_EQ(plain.GetComboCount(), 1) << "the grid's own combo editor holds the list";
}

TEST(GridLookTest, RemovedComponentsAreForgotten) {
    TQorStringGrid g(nullptr);
    auto* images = new TImageList(nullptr);
    g.SetGridImages(images);
    auto* checker = new TQorStringGridCheck(nullptr);
    g.SetCellChecker(checker);
    auto* other = new TQorStringGrid(nullptr);
    g.SyncGrid()->SetGrid(other);
    other->FreeNotification(&g);
    delete images;
    delete checker;
    delete other;
    EXPECT_EQ(g.GridImages(), nullptr);
    EXPECT_EQ(g.CellChecker(), nullptr);
    EXPECT_EQ(g.SyncGrid()->Grid(), nullptr);
}

TEST(GridLookTest, SmallSettersReachTheirTargets) {
    TQorStringGrid g(nullptr);
    g.SetHighlightColor(clLime);
    g.SetHighlightTextColor(clNavy);
    EXPECT_EQ(HTMLHighlightBackColor(), clLime);
    EXPECT_EQ(HTMLHighlightTextColor(), clNavy);

    g.SetArrowColor(clRed);
    EXPECT_EQ(g.ArrowColor(), clRed);
    for (TArrowDirection d : {arrUp, arrDown, arrLeft, arrRight})
        EXPECT_EQ(g.ArrowWindow(d)->Color(), clRed);

    g.OnIsPasswordCell = [](TObject*, int ARow, int ACol, bool& p) { p = ARow == 2 && ACol == 1; };
    EXPECT_TRUE(g.QueryPasswordCell(1, 2));
    EXPECT_FALSE(g.QueryPasswordCell(2, 1));

    g.UpdateXYOffset(5, 6);
    EXPECT_EQ(g.XYOffset(), TPoint(5, 6));
}

TEST(GridLookTest, CharactersReachTheGridUnlessARowSelectingEditorGridTakesNone) {
    struct Case {
        bool editing, rowSelect, autoGoto, wantChars;
    } cases[] = {
        {false, false, false, true}, {false, true, false, true}, {true, false, false, true},
        {true, true, false, false},  {true, true, true, true},
    };
    for (const auto& c : cases) {
        TQorStringGrid g(nullptr);
        TGridOptions o = g.Options() - goEditing - goRowSelect;
        if (c.editing) o.Include(goEditing);
        if (c.rowSelect) o.Include(goRowSelect);
        g.SetOptions(o);
        g.Navigation()->SetAutoGotoWhenSorted(c.autoGoto);
        EXPECT_EQ((g.Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) != 0, c.wantChars)
            << c.editing << c.rowSelect << c.autoGoto;
    }
}

// The frame colour of the bordered looks: an outline inside a ring in the parent's colour,
// drawn over the edge of the grid's image after every paint, as a user sees it on a form.
TEST(GridLookTest, BorderOutlineOfTheBorderedLooks) {
    struct Case {
        TGridLook look;
        bool flat, fit;
        bool outlined;
    } cases[] = {
        {glXP, false, true, true},       {glQor, false, true, true},
        {glSoft, false, true, true},     {glOffice2007, false, true, true},
        {glXP, false, false, true},      {glStandard, false, true, false},
        {glClassic, false, true, false}, {glXP, true, true, false},
    };
    const TColor border = 0xB99D7F;
    for (const auto& c : cases) {
        SCOPED_TRACE(LookToString(c.look) + (c.flat ? " flat" : "") + (c.fit ? "" : " not fit"));
        TForm form(nullptr);
        form.SetBounds(0, 0, 300, 200);
        form.SetColor(clLime);
        auto* g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetColCount(2);
        g->SetRowCount(2);
        g->SetScrollBars(ssNone);
        g->SetBounds(10, 10, 200, 100);
        g->SetLook(glCustom);
        g->SetLook(c.look);
        g->SetFlat(c.flat);
        g->Flags().FitCellsInGrid = c.fit;
        form.Show();
        uitest::processMessages();
        // Past the cells on the right and below the grid shows its own colour.
        const TColor inside = ColorToRGB(g->Color());
        const int edge = c.fit ? 1 : 0;
        for (int pass = 0; pass < 2; ++pass) {
            const TBitmap& b = *g->BackingImage();
            EXPECT_EQ(b.PixelColor(199 - edge, 90) == border, c.outlined) << pass;
            EXPECT_EQ(b.PixelColor(150, 99 - edge) == border, c.outlined) << pass;
            EXPECT_EQ(b.PixelColor(0 + edge, 90) == border, c.outlined) << pass;
            if (c.outlined && c.fit) {
                EXPECT_EQ(b.PixelColor(199, 90), TColor(clLime)) << pass;
            }
            EXPECT_EQ(b.PixelColor(190, 90), inside) << pass;
            // A later paint of the grid keeps the outline.
            g->Repaint();
        }
        auto shot = uitest::render(&form);
        EXPECT_EQ(shot->PixelColor(10 + 199 - edge, 10 + 90) == border, c.outlined);
    }
}

// Points the settings store at a file with the given text for one test.
class SettingsStoreFile {
public:
    explicit SettingsStoreFile(const std::string& text)
        : path_("/tmp/g7b_settings_" + std::to_string(::getpid()) + ".txt") {
        write(text);
    }
    ~SettingsStoreFile() {
        SetRegistryFile("");
        std::remove(path_.c_str());
    }
    void write(const std::string& text) {
        std::ofstream(path_) << text;
        SetRegistryFile(path_);
    }

private:
    std::string path_;
};

std::string officeTheme(int version, int theme) {
    return "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + std::to_string(version) +
           ".0\\Common]\nTheme=" + std::to_string(theme) + "\n";
}

TEST(GridLookTest, AutoThemeAdaptFollowsTheOfficeScheme) {
    SettingsStoreFile store(officeTheme(12, 3));
    TForm form(nullptr);
    auto* g = new TQorStringGrid(&form);
    g->SetParent(&form);
    g->HandleNeeded();
    g->SetAutoThemeAdapt(true);
    EXPECT_TRUE(g->SearchFooter()->AutoThemeAdapt());
    EXPECT_EQ(g->LastOfficeTheme(), ot2007Black);
    EXPECT_EQ(g->ComponentStyle(), tsOffice2007Obsidian);
    EXPECT_EQ(g->QorGradientFrom(), 16250871);

    // A theme change message follows the new scheme; without a change nothing is applied.
    store.write(officeTheme(14, 1));
    g->SetSelectionColor(clRed);
    SendMessage(g->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(g->ComponentStyle(), tsOffice2010Blue);
    EXPECT_EQ(g->SelectionColor(), 16767927);
    g->SetSelectionColor(clRed);
    SendMessage(g->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(g->SelectionColor(), clRed);

    g->SetAutoThemeAdapt(false);
    store.write(officeTheme(12, 1));
    SendMessage(g->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(g->ComponentStyle(), tsOffice2010Blue) << "switched off, the scheme is not followed";
}

} // namespace
