#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

// Equal within the steps of a banded gradient.
bool near(TColor a, TColor b) {
    const int tolerance = 16;
    a = ColorToRGB(a);
    b = ColorToRGB(b);
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string hex(TColor c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", unsigned(c) & 0xFFFFFFu);
    return buf;
}

// A 4 x 4 grid with a header row and column, painted for pixel checks.
class StyledGrid : public ::testing::Test {
protected:
    void SetUp() override {
        g = std::make_unique<TQorStringGrid>(nullptr);
        g->SetColCount(4);
        g->SetRowCount(4);
        g->SetDefaultColWidth(60);
        g->SetScrollBars(ssNone);
        g->SetBounds(0, 0, 300, 120);
        g->SetOptions(g->Options() + goRangeSelect);
        g->HandleNeeded();
    }
    TColor px(int x, int y) {
        g->Repaint();
        return g->BackingImage()->PixelColor(x, y);
    }
    // A pixel of cell (c, r), dx and dy from its top-left corner.
    TColor cellPx(int c, int r, int dx, int dy) {
        const TRect rc = g->CellRect(c, r);
        return px(rc.Left + dx, rc.Top + dy);
    }
    std::unique_ptr<TQorStringGrid> g;
};

TEST_F(StyledGrid, EachStylePaintsItsColours) {
    struct Case {
        TQorGridStyle style;
        TGridLook look;
        TColor from, to;  // header gradient, top and bottom
        TColor active;    // header of the current column
        TColor selection; // a selected cell (the plain selection style)
        TColor gridLine;
        TColor footerFrom, footerTo;
    } cases[] = {
        {gsOffice2003Blue, glXP, 16572875, 14722429, 9758459, 9758459, clSilver, 16572875, clNone},
        {gsOffice2003Silver, glXP, 15524577, 11769496, 9758459, 9758459, clSilver, 15524577,
         clNone},
        {gsOffice2003Olive, glXP, 13627626, 9224369, 9758459, 9758459, clSilver, 13627626, clNone},
        {gsOffice2003Classic, glXP, clWhite, 13423832, 14210516, clHighlight, clSilver, clWhite,
         clNone},
        {gsWindowsXP, glXP, clBtnFace, clBtnFace, clBtnFace, clHighlight, clSilver,
         ColorToRGB(clBtnFace), clNone},
        {gsOffice2007Obsidian, glOffice2007, 16250871, 14606046, 10344697, clNone, 15062992,
         16250871, clNone},
        {gsWindowsVista, glVista, clWhite, 16052977, 16644337, clNone, 15527152, clWhite, 16052977},
        {gsWindows7, glWin7, 16645370, 16247261, 16575452, clNone, 15527152, 16645370, 16247261},
        {gsOffice2010Blue, glOffice2007, 16115674, 16115674, 6018559, 16767927, clSilver, 16115674,
         16115674},
        {gsOffice2010Silver, glOffice2007, 15262687, 15262687, 6018559, 16767927, clSilver,
         15262687, 15262687},
        {gsOffice2010Black, glOffice2007, 6974058, 6974058, 6018559, 16767927, clSilver, 6974058,
         6974058},
    };
    g->SetActiveCellShow(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        g->SetStyle(c.style);
        EXPECT_EQ(g->Look(), c.look);
        EXPECT_EQ(g->GridLineColor(), c.gridLine);
        EXPECT_EQ(g->SearchFooter()->Color(), c.footerFrom);
        EXPECT_EQ(g->SearchFooter()->ColorTo(), c.footerTo);
        g->SetSelection({1, 1, 1, 1});
        // Column 2's header: the look's gradient; column 1's (the current one): active.
        EXPECT_PRED2(near, cellPx(2, 0, 30, 2), c.from) << hex(cellPx(2, 0, 30, 2));
        EXPECT_PRED2(near, cellPx(2, 0, 30, g->RowHeights(0) - 2), c.to);
        EXPECT_PRED2(near, cellPx(1, 0, 30, 2), c.active) << hex(cellPx(1, 0, 30, 2));
        // A range: cell (2, 2) is selected without being the current cell.
        g->SetSelection({1, 1, 2, 2});
        if (c.selection != clNone) {
            EXPECT_PRED2(near, cellPx(2, 2, 30, 1), c.selection) << hex(cellPx(2, 2, 30, 1));
        }
        // The vertical grid line between two normal cells.
        const TRect r = g->CellRect(2, 3);
        EXPECT_EQ(px(r.Right - 1, r.Top + 10), ColorToRGB(c.gridLine));
    }
}

TEST_F(StyledGrid, StyleStartsFromTheSystemSelectionColours) {
    g->SetSelectionColor(clRed);
    g->SetSelectionTextColor(clLime);
    g->SortSettings()->SetHeaderColor(clRed);
    g->ControlLook()->SetFixedGradientHoverFrom(clRed);
    g->SetGridLineColor(clYellow);
    g->SetLook(glQor);
    const TColor from = g->QorGradientFrom();
    g->SetStyle(gsCustom);
    EXPECT_EQ(g->SelectionColor(), clHighlight);
    EXPECT_EQ(g->SelectionTextColor(), clHighlightText);
    EXPECT_EQ(g->SortSettings()->HeaderColor(), clNone);
    EXPECT_EQ(g->ControlLook()->FixedGradientHoverFrom(), clGray) << "control look reset";
    EXPECT_EQ(g->Look(), glQor);
    EXPECT_EQ(g->QorGradientFrom(), from);
    EXPECT_EQ(g->GridLineColor(), clSilver) << "the look's, kept";

    g->SetStyle(gsTerminal);
    EXPECT_EQ(g->Look(), glStandard);
    EXPECT_EQ(g->FixedColor(), clBtnFace);
}

TEST_F(StyledGrid, StylesWithTheirOwnSelectionFrames) {
    struct Case {
        TQorGridStyle style;
        TGridSelectionStyle selection;
        TColor hoverFrom, sortHeader;
    } cases[] = {
        {gsOffice2007Luna, ssOffice2007, 15000287, clNone},
        {gsWindowsVista, ssVista, 16775139, 16579058},
        {gsWindows7, ssWin7, 16710648, 16579058},
        {gsOffice2010Blue, ssDefault, 7069695, 0xEDDBCD},
        {gsOffice2003Blue, ssDefault, 0xCFD0D1, clNone}, // the XP look's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        g->SetStyle(c.style);
        EXPECT_EQ(g->SelectionStyle(), c.selection);
        EXPECT_EQ(g->QorGradientHoverFrom(), c.hoverFrom);
        EXPECT_EQ(g->SortSettings()->HeaderColor(), c.sortHeader);
    }
}

// The sorted column's header is set off from the others, which show the base colour.
TEST_F(StyledGrid, Office2010SortedHeaderStandsOut) {
    struct Case {
        TQorGridStyle style;
        TColor base, sorted;
    } cases[] = {
        {gsOffice2010Blue, 16115674, 0xEDDBCD},
        {gsOffice2010Silver, 15262687, 0xEDE9E5},
        {gsOffice2010Black, 6974058, 0x828282},
    };
    g->SortSettings()->SetColumn(2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        g->SetStyle(c.style);
        EXPECT_EQ(cellPx(3, 0, 30, 8), c.base) << hex(cellPx(3, 0, 30, 8));
        EXPECT_EQ(cellPx(2, 0, 30, 8), c.sorted) << hex(cellPx(2, 0, 30, 8));
    }
}

TEST_F(StyledGrid, ComponentStyleIsRememberedAndLeavesTheMetroScrollBars) {
    struct Editor : TComponent, IQorStyle {
        using TComponent::TComponent;
        TQorStyle got = tsCustom;
        int calls = 0;
        void SetComponentStyle(TQorStyle AStyle) override {
            got = AStyle;
            ++calls;
        }
    };
    auto* editor = new Editor(g.get());
    g->SetScrollType(ssMetro);
    g->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(g->ComponentStyle(), tsOffice2007Luna);
    EXPECT_EQ(g->ScrollType(), ssNormal);
    EXPECT_EQ(editor->got, tsOffice2007Luna);
    EXPECT_EQ(g->QorGradientFrom(), 16513526);
    g->SetScrollType(ssMetro);
    g->SetComponentStyle(tsCustom);
    EXPECT_EQ(g->ScrollType(), ssMetro);
}

TEST_F(StyledGrid, XPSchemes) {
    struct Case {
        TXPColorScheme scheme;
        TColor from, to, mirrorFrom, active, footerFrom, footerTo;
    } cases[] = {
        {xpBlue, 16572875, 14722429, clNone, 9758459, 16572875, 14722429},
        {xpGreen, 13627626, 9224369, clNone, 9758459, 13627626, 9224369},
        {xpGray, 15524577, 11769496, clNone, 9758459, 15524577, 11769496},
        {vistaAero, clWhite, clWhite, 16447735, 9758459, 15524577, 11769496},
        {xpNone, clWhite, ColorToRGB(clBtnFace), clNone, clWhite, clWhite, 16767411},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scheme);
        g->SetTheme(c.scheme);
        EXPECT_EQ(g->QorGradientFrom(), c.from);
        EXPECT_EQ(g->QorGradientTo(), c.to);
        EXPECT_EQ(g->QorGradientMirrorFrom(), c.mirrorFrom);
        EXPECT_EQ(g->ActiveCellColor(), c.active);
        EXPECT_EQ(g->SearchFooter()->Color(), c.footerFrom);
        EXPECT_EQ(g->SearchFooter()->ColorTo(), c.footerTo);
        // Painted: the header's top is the scheme's first colour.
        EXPECT_PRED2(near, cellPx(2, 0, 30, 2), c.from);
    }
}

TEST_F(StyledGrid, ColorTonesPaintTheFlatLook) {
    TColorTones tones;
    tones.Background = {RGB(250, 250, 240), clGray, RGB(20, 20, 20)};
    tones.Foreground = {RGB(40, 90, 160), clGray, clWhite};
    tones.Selected = {RGB(200, 60, 60), clGray, clYellow};
    tones.Hover = {RGB(90, 140, 200), clGray, clBlack};
    g->SetScrollType(ssFlat);
    g->SetColorTones(tones);
    EXPECT_EQ(g->Look(), glClassic);
    EXPECT_TRUE(g->Flat());
    EXPECT_EQ(g->ScrollType(), ssMetro);
    EXPECT_EQ(g->BorderStyle(), bsNone);
    EXPECT_EQ(g->GridLineColor(), 15132390);
    EXPECT_EQ(g->GridFixedLineColor(), ScaleColorPercent(RGB(40, 90, 160), -20));
    EXPECT_EQ(g->SelectionTextColor(), clYellow);
    EXPECT_EQ(g->Font()->Color(), RGB(20, 20, 20));
    EXPECT_EQ(g->FixedFont()->Color(), clWhite);
    EXPECT_EQ(g->CellNode()->NodeType(), cnFlat);
    EXPECT_EQ(g->ControlLook()->ControlStyle(), csGlyph);
    EXPECT_FALSE(g->ControlLook()->CheckedGlyph()->Empty());
    EXPECT_FALSE(g->ControlLook()->RadioOffGlyph()->Empty());
    EXPECT_EQ(g->SearchFooter()->Color(), RGB(40, 90, 160));

    g->SetSelection({1, 1, 2, 2});
    EXPECT_EQ(cellPx(2, 0, 30, 8), RGB(40, 90, 160));
    EXPECT_EQ(cellPx(3, 3, 30, 8), RGB(250, 250, 240));
    EXPECT_EQ(cellPx(2, 2, 30, 8), RGB(200, 60, 60));
}

} // namespace
