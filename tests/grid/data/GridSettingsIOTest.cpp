// The grid's layout kept outside itself: column widths, order and states, the print settings
// section and the visual properties file.
#include "grid/core/QorColumnGrid.h"
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridRecords.h"
#include "grid/core/base/GridSettings.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "grid/render/LookSettings.h"
#include "platform/files/IniFiles.h"
#include "platform/ui/core/Registry.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class GridSettingsIO : public ::testing::Test {
protected:
    TempFolder folder{"grid_settings_io"};
    std::string path(const std::string& name) { return folder.Path(name); }
    void TearDown() override { SetRegistryFile(""); }

    // A grid of five columns headed "A".."E", with the column size store set up.
    std::unique_ptr<TQorStringGrid> grid(TColumnSizeLocation where) {
        auto g = std::make_unique<TQorStringGrid>(nullptr);
        g->SetColCount(5);
        g->SetRowCount(3);
        for (int c = 0; c < 5; ++c) g->SetCells(c, 0, std::string(1, char('A' + c)));
        g->ColumnSize()->SetLocation(where);
        g->ColumnSize()->SetKey(where == clIniFile ? path("grid.ini") : "Software\\Test\\Grid");
        g->ColumnSize()->SetSection("Main");
        return g;
    }
    static std::string headers(TQorStringGrid& g) {
        std::string s;
        for (int c = 0; c < g.ColCount(); ++c) s += g.Cells(g.RealColIndexOf(c), 0);
        return s;
    }
};

const TColumnSizeLocation locations[] = {clIniFile, clRegistry};

} // namespace

TEST_F(GridSettingsIO, ColumnWidthsSurviveARestartInEitherStore) {
    SetRegistryFile(path("registry.txt"));
    for (TColumnSizeLocation where : locations) {
        {
            auto g = grid(where);
            g->ColumnSize()->SetSave(true);
            g->SetColWidths(1, 120);
            g->SetColWidths(4, 33);
        } // the destructor saves
        auto g = grid(where);
        g->ColumnSize()->SetSave(true);
        g->Loaded();
        EXPECT_EQ(g->ColWidths(1), 120) << where;
        EXPECT_EQ(g->ColWidths(4), 33) << where;
        EXPECT_EQ(g->ColWidths(0), g->DefaultColWidth()) << where;
    }
}

TEST_F(GridSettingsIO, ColumnWidthsNeedAKeyASectionAndSavedValues) {
    auto g = grid(clIniFile);
    g->SetColWidths(2, 99);
    g->LoadColSizes(); // nothing stored yet: every width stays
    EXPECT_EQ(g->ColWidths(2), 99);
    g->ColumnSize()->SetSection("");
    g->SaveColSizes();
    EXPECT_FALSE(FileExists(path("grid.ini")));
}

TEST_F(GridSettingsIO, ColumnOrderAndHiddenColumnsSurviveARestart) {
    SetRegistryFile(path("registry.txt"));
    for (TColumnSizeLocation where : locations) {
        {
            auto g = grid(where);
            g->SetColumnOrder();
            g->MoveColumn(4, 0); // E A B C D
            g->MoveColumn(2, 4); // E A C D B
            ASSERT_EQ(headers(*g), "EACDB");
            g->SaveColPositions();
        }
        auto g = grid(where);
        g->HideColumn(1); // real column B stays hidden through the load
        g->LoadColPositions();
        EXPECT_EQ(headers(*g), "EACD") << where;
        EXPECT_TRUE(g->IsHiddenColumn(4)) << where;
        EXPECT_EQ(g->ColumnOrder()->StrValue(), "4,0,2,3,1") << where;
    }
}

TEST_F(GridSettingsIO, ColumnOrderIsLeftAloneWithoutASavedOrder) {
    auto g = grid(clIniFile);
    TIniFile ini(path("grid.ini"));
    ini.WriteInteger("Main", "Pos1", 3); // no "Pos0"
    ini.UpdateFile();
    g->LoadColPositions();
    EXPECT_EQ(headers(*g), "ABCDE");
}

TEST_F(GridSettingsIO, ColumnGridKeepsItsOrderInTheRegistryStoreToo) {
    SetRegistryFile(path("registry.txt"));
    {
        TQorColumnGrid g(nullptr);
        g.SetColCount(3);
        for (int c = 0; c < 3; ++c) g.SetCells(c, 0, std::string(1, char('A' + c)));
        g.ColumnSize()->SetKey("Software\\Test\\Cols");
        g.ColumnSize()->SetSection("S");
        g.SetColumnOrder();
        g.MoveColumn(2, 0);
        g.SaveColPositions();
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Test\\Cols\\S"));
    EXPECT_EQ(reg.ReadInteger("Pos0"), 2);
}

TEST_F(GridSettingsIO, ColumnStatesDescribeCountWidthsOrderAndVisibility) {
    auto g = grid(clIniFile);
    g->SetColumnOrder();
    g->HideColumn(2);
    EXPECT_EQ(g->ColumnStatesToString(), "5#64,64,64,64,64#0,1,2,3,4#1,1,0,1,1");

    TQorStringGrid three(nullptr);
    three.SetColCount(3);
    EXPECT_EQ(three.ColumnStatesToString(), "3#64,64,64#0,1,2#1,1,1");
}

TEST_F(GridSettingsIO, ColumnStatesRestoreTheArrangement) {
    auto g = grid(clIniFile);
    g->SetColumnOrder();
    g->MoveColumn(0, 3); // B C D A E
    g->SetColWidths(0, 40);
    g->SetColWidths(3, 90);
    g->HideColumn(4);
    const std::string states = g->ColumnStatesToString();

    auto h = grid(clIniFile);
    h->StringToColumnStates(states);
    EXPECT_EQ(headers(*h), "BCDA");
    EXPECT_TRUE(h->IsHiddenColumn(4));
    EXPECT_EQ(h->ColWidths(0), 40);
    EXPECT_EQ(h->ColWidths(3), 90);
    EXPECT_EQ(h->ColumnStatesToString(), states);
}

TEST_F(GridSettingsIO, BadColumnStatesChangeNothingAndSaySo) {
    const char* bad[] = {
        "5#64,64#0,1,2,3,4#1,1,1,1,1",          // too few widths
        "5#64,64,64,64,64#0,1,2,3,4#1,1",       // too few flags
        "5#64,64,64,64,64#0,1,1,3,4#1,1,1,1,1", // the order repeats a column
        "5#64,x,64,64,64#0,1,2,3,4#1,1,1,1,1",  // a width that is no number
        "five#64#0#1",
        "5#64,64,64,64,64#0,1,2,3,4", // three fields
        "2#64,64#0,1#0,0",            // nothing left to show
    };
    for (const char* text : bad) {
        auto g = grid(clIniFile);
        g->SetColWidths(1, 77);
        g->HideColumn(3);
        const std::string before = g->ColumnStatesToString();
        EXPECT_THROW(g->StringToColumnStates(text), EConvertError) << text;
        EXPECT_EQ(g->ColumnStatesToString(), before) << text;
        EXPECT_EQ(headers(*g), "ABCE") << text;
    }
    auto g = grid(clIniFile);
    g->StringToColumnStates("no separator here");
    EXPECT_EQ(g->ColCount(), 5);
}

TEST_F(GridSettingsIO, PrintSettingsFromAnEmptySectionTakeTheLoadDefaults) {
    TQorStringGrid g(nullptr);
    g.PrintSettings()->Font()->SetStyle({fsBold});
    g.LoadPrintSettings(path("print.ini"), "P");
    const TPrintSettings& ps = *g.PrintSettings();
    EXPECT_TRUE(ps.Centered());
    EXPECT_FALSE(ps.NoAutoSize() || ps.UseFixedHeight() || ps.UseFixedWidth() ||
                 ps.RepeatFixedRows() || ps.RepeatFixedCols() || ps.UseDisplayFont() ||
                 ps.UseDefaultOrientation() || ps.PrintGraphics());
    EXPECT_EQ(ps.ColumnSpacing(), 20);
    EXPECT_EQ(ps.RowSpacing(), 20);
    EXPECT_EQ(ps.TitleSpacing(), 20);
    EXPECT_EQ(ps.LeftSize() + ps.RightSize() + ps.HeaderSize() + ps.FooterSize(), 400);
    for (const TFont* f : {ps.Font(), ps.HeaderFont(), ps.FooterFont()}) {
        EXPECT_EQ(f->Name(), "Arial");
        EXPECT_EQ(f->Size(), 10);
        EXPECT_TRUE(f->Style().Empty()); // the stored style replaces the current one
    }
    EXPECT_EQ(ps.PageNumSep(), "");
    EXPECT_TRUE(FileExists(path("print.ini"))); // written back on completion
}

TEST_F(GridSettingsIO, PrintSettingsSavedAndLoadedKeepEveryValue) {
    TQorStringGrid a(nullptr);
    TPrintSettings& ps = *a.PrintSettings();
    ps.SetColumnSpacing(7);
    ps.SetRowSpacing(8);
    ps.SetTitleSpacing(9);
    ps.SetFixedHeight(11);
    ps.SetFixedWidth(12);
    ps.SetCentered(false);
    ps.SetNoAutoSize(true);
    ps.SetUseFixedHeight(true);
    ps.SetUseFixedWidth(true);
    ps.SetRepeatFixedRows(true);
    ps.SetRepeatFixedCols(true);
    ps.SetUseDisplayFont(true);
    ps.SetUseDefaultOrientation(true);
    ps.SetBorders(pbAroundVertical);
    ps.SetBorderColor(TColor(0x123456));
    ps.SetBorderStyle(psDashDot);
    ps.SetDate(ppTopRight);
    ps.SetPageNr(ppBottomCenter);
    ps.SetTitle(ppTopCenter);
    ps.SetTime(ppBottomLeft);
    ps.SetDateFormat("yyyy-mm-dd");
    ps.SetTitleText("Table = one");
    ps.SetFooterSize(1);
    ps.SetHeaderSize(2);
    ps.SetLeftSize(3);
    ps.SetRightSize(4);
    ps.SetFitToPage(fpCustom);
    ps.Font()->SetName("Courier New");
    ps.Font()->SetSize(14);
    ps.Font()->SetStyle({fsItalic, fsStrikeOut});
    ps.Font()->SetColor(clRed);
    ps.HeaderFont()->SetStyle({fsUnderline});
    ps.FooterFont()->SetSize(7);
    ps.SetPageNumSep(" of ");
    ps.SetPageSuffix(")");
    ps.SetPagePrefix("(");
    ps.SetOrientation(poLandscape);
    ps.TitleLines()->Add("first");
    ps.TitleLines()->Add("<b>second</b>");
    ps.SetPrintGraphics(true);
    a.SavePrintSettings(path("print.ini"), "P");

    TQorStringGrid b(nullptr);
    b.PrintSettings()->Font()->SetStyle({fsBold});
    b.LoadPrintSettings(path("print.ini"), "P");
    const TPrintSettings& q = *b.PrintSettings();
    EXPECT_EQ(q.ColumnSpacing(), 7);
    EXPECT_EQ(q.RowSpacing(), 8);
    EXPECT_EQ(q.TitleSpacing(), 9);
    EXPECT_EQ(q.FixedHeight(), 11);
    EXPECT_EQ(q.FixedWidth(), 12);
    EXPECT_FALSE(q.Centered());
    EXPECT_TRUE(q.NoAutoSize() && q.UseFixedHeight() && q.UseFixedWidth() && q.RepeatFixedRows() &&
                q.RepeatFixedCols() && q.UseDisplayFont() && q.UseDefaultOrientation() &&
                q.PrintGraphics());
    EXPECT_EQ(q.Borders(), pbAroundVertical);
    EXPECT_EQ(q.BorderColor(), TColor(0x123456));
    EXPECT_EQ(q.BorderStyle(), psDashDot);
    EXPECT_EQ(q.Date(), ppTopRight);
    EXPECT_EQ(q.PageNr(), ppBottomCenter);
    EXPECT_EQ(q.Title(), ppTopCenter);
    EXPECT_EQ(q.Time(), ppBottomLeft);
    EXPECT_EQ(q.DateFormat(), "yyyy-mm-dd");
    EXPECT_EQ(q.TitleText(), "Table = one");
    EXPECT_EQ(q.FooterSize(), 1);
    EXPECT_EQ(q.HeaderSize(), 2);
    EXPECT_EQ(q.LeftSize(), 3);
    EXPECT_EQ(q.RightSize(), 4);
    EXPECT_EQ(q.FitToPage(), fpCustom);
    EXPECT_EQ(q.Font()->Name(), "Courier New");
    EXPECT_EQ(q.Font()->Size(), 14);
    EXPECT_EQ(q.Font()->Style(), TFontStyles({fsItalic, fsStrikeOut}));
    EXPECT_EQ(q.Font()->Color(), TColor(clRed));
    EXPECT_EQ(q.HeaderFont()->Style(), TFontStyles({fsUnderline}));
    EXPECT_EQ(q.FooterFont()->Size(), 7);
    EXPECT_EQ(q.PageNumSep(), " of ");
    EXPECT_EQ(q.PageSuffix(), ")");
    EXPECT_EQ(q.PagePrefix(), "(");
    EXPECT_EQ(q.Orientation(), poLandscape);
    ASSERT_EQ(q.TitleLines()->Count(), 2);
    EXPECT_EQ(q.TitleLines()->Strings(1), "<b>second</b>");
    EXPECT_EQ(TIniFile(path("print.ini")).ReadString("P", "TitleLines", ""),
              "first\\n<b>second</b>\\n");
}

TEST_F(GridSettingsIO, PrintSettingsRefuseOrdinalsOutOfRange) {
    TIniFile ini(path("print.ini"));
    for (const char* id : {"Borders", "BorderStyle", "FitToPage", "Orientation", "Date"})
        ini.WriteInteger("P", id, 42);
    ini.UpdateFile();
    TQorStringGrid g(nullptr);
    g.PrintSettings()->SetBorders(pbDouble);
    g.PrintSettings()->SetFitToPage(fpShrink);
    g.PrintSettings()->SetOrientation(poLandscape);
    g.PrintSettings()->SetDate(ppTopLeft);
    g.LoadPrintSettings(path("print.ini"), "P");
    EXPECT_EQ(g.PrintSettings()->Borders(), pbDouble);
    EXPECT_EQ(g.PrintSettings()->FitToPage(), fpShrink);
    EXPECT_EQ(g.PrintSettings()->Orientation(), poLandscape);
    EXPECT_EQ(g.PrintSettings()->BorderStyle(), psSolid);
    EXPECT_EQ(g.PrintSettings()->Date(), ppNone);
}

TEST_F(GridSettingsIO, VisualPropertiesRoundTrip) {
    TQorStringGrid a(nullptr);
    a.SetColor(TColor(0x00ABCDEF));
    a.SetHintColor(clRed);
    a.SetURLShow(true);
    a.FixedFont()->SetStyle({fsBold, fsUnderline});
    a.FixedFont()->SetSize(13);
    a.Balloon()->SetTransparency(120);
    a.ControlLook()->SetControlStyle(csFlat);
    a.SetLook(glVista);
    a.Grouping()->SetSummaryLineWidth(5);
    a.BackGround()->SetDisplay(bdGradientVert);
    a.BackGround()->SetColorTo(clNone);
    a.SetGridLineColor(clLime);
    a.SaveVisualProps(path("look.txt"));
    const std::string text = ReadTextFile(path("look.txt"));
    EXPECT_EQ(text.substr(0, 17), "Color=$00ABCDEF\r\n");
    EXPECT_NE(text.find("\r\nFixedFont.Style=fsBold,fsUnderline\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nLook=glVista\r\n"), std::string::npos);

    TQorStringGrid b(nullptr);
    b.LoadVisualProps(path("look.txt"));
    EXPECT_EQ(b.Color(), TColor(0x00ABCDEF));
    EXPECT_EQ(b.HintColor(), TColor(clRed));
    EXPECT_TRUE(b.URLShow());
    EXPECT_EQ(b.FixedFont()->Style(), TFontStyles({fsBold, fsUnderline}));
    EXPECT_EQ(b.FixedFont()->Size(), 13);
    EXPECT_EQ(b.Balloon()->Transparency(), 120);
    EXPECT_EQ(b.ControlLook()->ControlStyle(), csFlat);
    EXPECT_EQ(b.Look(), glVista);
    EXPECT_EQ(b.Grouping()->SummaryLineWidth(), 5);
    EXPECT_EQ(b.BackGround()->Display(), bdGradientVert);
    EXPECT_EQ(b.BackGround()->ColorTo(), TColor(clNone));
    EXPECT_EQ(b.GridLineColor(), TColor(clLime));
    b.SaveVisualProps(path("again.txt"));
    EXPECT_EQ(ReadTextFile(path("again.txt")), text);
}

TEST_F(GridSettingsIO, VisualPropertiesFindKeysWhateverTheirCase) {
    TQorStringGrid a(nullptr);
    a.SaveVisualProps(path("look.txt"));
    std::string text = ReadTextFile(path("look.txt"));
    const std::size_t at = text.find("Balloon.BackgroundColor=");
    text.replace(at, 24, "bALLOON.backgroundcolor=clYellow\r\nx=");
    WriteBinaryFile(path("look.txt"), text);
    TQorStringGrid b(nullptr);
    b.LoadVisualProps(path("look.txt"));
    EXPECT_EQ(b.Balloon()->BackgroundColor(), TColor(clYellow));
}

TEST_F(GridSettingsIO, VisualPropertiesReportFilesAndNumbersTheyCannotUse) {
    TQorStringGrid g(nullptr);
    try {
        g.LoadVisualProps(path("missing.txt"));
        FAIL();
    } catch (const EQorGridError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + path("missing.txt"));
    }
    try {
        g.SaveVisualProps(path("no/such/folder/look.txt"));
        FAIL();
    } catch (const EQorGridError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot Create " + path("no/such/folder/look.txt"));
    }
    // An integer that is no number ends the load; what came before it stays set.
    WriteBinaryFile(path("bad.txt"), "HintColor=clAqua\r\nBalloon.Transparency=lots\r\n");
    EXPECT_THROW(g.LoadVisualProps(path("bad.txt")), EConvertError);
    EXPECT_EQ(g.HintColor(), TColor(clAqua));
}
