#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Visual {
    TColor brush, colorTo, mirror;
    TColor font;
    TGridDrawState state;
};

class CellColorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g = std::make_unique<TQorStringGrid>(nullptr);
        g->SetColCount(5);
        g->SetRowCount(6);
        g->SetFixedRows(1);
        g->SetFixedCols(1);
        g->SetColor(clWhite);
        g->SetFixedColor(clBtnFace);
        g->Font()->SetColor(clBlack);
        g->FixedFont()->SetColor(clNavy);
        g->SetSelectionColor(clHighlight);
        g->SetSelectionTextColor(clHighlightText);
        g->SetSelection({4, 5, 4, 5});
    }
    Visual visual(int c, int r, bool select = true) {
        TBrush brush;
        TFont font;
        Visual v{};
        TAlignment ha;
        TVAlignment va;
        bool ww = false;
        TCellGradientDirection gd = GradientVertical;
        g->GetVisualProperties(c, r, v.state, false, select, true, &brush, v.colorTo, v.mirror,
                               v.mirror, &font, ha, va, ww, gd);
        v.brush = brush.Color();
        v.font = font.Color();
        return v;
    }
    std::unique_ptr<TQorStringGrid> g;
};

TEST_F(CellColorsTest, PrecedenceOfCellGridFixedAndLook) {
    g->SetColors(2, 2, clRed);
    g->SetFontColors(2, 3, clGreen);
    g->SetColors(0, 2, clYellow);      // fixed cell with its own colour
    g->AddCheckBox(0, 3, cbUnchecked); // fixed check-box cell ...
    g->SetColors(0, 3, clYellow);      // ... whose colour does not count
    struct Case {
        TGridLook look;
        int c, r;
        TColor brush, colorTo, font;
        bool fixed;
    };
    const Case cases[] = {
        {glXP, 1, 1, clWhite, clNone, clBlack, false},
        {glXP, 2, 2, clRed, clNone, clBlack, false},
        {glXP, 2, 3, clWhite, clNone, clGreen, false},
        // New properties carry the grid font's colour, which then counts as set (the colour
        // hook applies it again after the fixed font).
        {glXP, 0, 2, clYellow, clNone, clBlack, false},
        {glXP, 0, 3, g->QorGradientFrom(), g->QorGradientTo(), clBlack, true},
        {glXP, 0, 4, g->QorGradientFrom(), g->QorGradientTo(), clNavy, true},
        {glXP, 2, 0, g->QorGradientFrom(), g->QorGradientTo(), clNavy, true},
        {glStandard, 2, 0, clBtnFace, clNone, clNavy, true},
        {glClassic, 0, 3, clBtnFace, clNone, clBlack, true},
        {glClassic, 0, 4, clBtnFace, clNone, clNavy, true},
        {glClassic, 3, 2, clWhite, clNone, clBlack, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.look << " " << k.c << "," << k.r);
        g->SetLook(k.look);
        Visual v = visual(k.c, k.r);
        EXPECT_EQ(v.brush, k.brush);
        EXPECT_EQ(v.colorTo, k.colorTo);
        EXPECT_EQ(v.font, k.font);
        EXPECT_EQ(v.state.Contains(gdFixed), k.fixed);
    }
}

TEST_F(CellColorsTest, BandsHooksSelectionAndDisabledFont) {
    g->Bands()->SetPrimaryColor(clAqua);
    g->Bands()->SetSecondaryColor(clSilver);
    g->Bands()->SetPrimaryLength(1);
    g->Bands()->SetSecondaryLength(1);
    g->Bands()->SetActive(true);
    EXPECT_EQ(visual(1, 1).brush, clAqua);
    EXPECT_EQ(visual(1, 2).brush, clSilver);
    EXPECT_EQ(visual(1, 3).brush, clAqua);

    // The hook decides after the properties and the bands.
    g->OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush* b, TFont*) {
        if (ARow == 2 && ACol == 2) b->SetColor(clLime);
    };
    EXPECT_EQ(visual(2, 2).brush, clLime);

    // Selected: over a band the colours mix when asked; otherwise the selection colour.
    g->SetSelection({1, 1, 1, 1});
    EXPECT_EQ(visual(1, 1).brush, clHighlight);
    EXPECT_TRUE(visual(1, 1).state.Contains(gdSelected));
    EXPECT_EQ(visual(1, 1).font, clHighlightText);
    EXPECT_EQ(visual(1, 1, false).brush, clAqua);
    g->SetSelectionColor(RGB(0, 0, 200));
    g->SetSelectionColorMixer(true);
    g->SetSelectionColorMixerFactor(50);
    g->Bands()->SetPrimaryColor(RGB(100, 0, 0));
    EXPECT_EQ(visual(1, 1).brush, RGB(50, 0, 100));
    g->Bands()->SetActive(false);
    EXPECT_EQ(visual(1, 1).brush, RGB(0, 0, 200));

    g->SetUseDisabledFont(true);
    g->SetDisabledFontColor(clGray);
    g->SetEnabled(false);
    EXPECT_EQ(visual(1, 1).font, clGray);
    EXPECT_EQ(visual(3, 3).font, clGray);
}

TEST_F(CellColorsTest, MixColors) {
    const std::tuple<TColor, TColor, int, TColor> cases[] = {
        {clRed, clBlue, 100, clRed},
        {clNone, clBlue, 50, clBlue},
        {clRed, clNone, 50, clRed},
        {clRed, clBlue, 0, clBlue},
        {RGB(200, 0, 1), RGB(0, 200, 0), 50, RGB(100, 100, 0)},
        {RGB(255, 255, 255), RGB(255, 255, 255), 99, RGB(255, 255, 255)},
    };
    for (const auto& [a, b, p, r] : cases) EXPECT_EQ(MixColors(a, b, p), r) << a << " " << b;
    EXPECT_EQ(MixColorsIf(clRed, clBlue, false, 50), clRed);
}

} // namespace
