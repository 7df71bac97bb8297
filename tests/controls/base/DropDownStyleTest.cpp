// The colour styles of the drop-down edits: the colours each style gives the popup, its bars and
// its buttons, checked on the painted popup; the selection styles and the free drawing routines.
#include "DropDownTestSupport.h"

#include "controls/base/DropDownDrawing.h"
#include "controls/base/QorButton.h"
#include "controls/base/QorItemSelector.h"

#include <cstdlib>

using namespace uitest;

namespace {

constexpr TColor Kept = TColor(0xFFFFFFFF); // the style leaves the value as it was

struct PopupCase {
    TQorStyle style;
    TColor color, colorTo, border;
    TColor header, headerTo, footer, footerTo, font, headerBorder, footerBorder;
};

const PopupCase popupCases[] = {
    {tsOffice2003Blue, 0xFFFFFF, clNone, Kept, 0xFCE1CB, 0xE0A57D, 0xFCE1CB, 0xE0A57D, 0x000000,
     0x000000, 0x962D00},
    {tsOffice2003Silver, 0xFFFFFF, clNone, Kept, 0xECE2E1, 0xB39698, 0xECE2E1, 0xB39698, 0,
     0x947C7C, 0x947C7C},
    {tsOffice2003Olive, 0xFFFFFF, clNone, clNone, 0xCFF0EA, 0x8CC0B1, 0xCFF0EA, 0x8CC0B1, 0,
     0x588060, 0x588060},
    {tsOffice2003Classic, 0xF2F2F2, 0xF2F2F2, clNone, 0x808080, 0x808080, 0x808080, 0x808080,
     0xFFFFFF, 0x808080, 0x808080},
    {tsOffice2007Luna, 0xF3E5DA, 0xF0DED0, clNone, 0xFFEFE3, 0xFFD2AF, 0xFFEFE3, 0xFFD2AF, 0x723708,
     0xFFD2AF, 0xFFD2AF},
    {tsOffice2007Obsidian, 0xFFFFFF, clNone, clNone, 0xF2F1F0, 0xC9C2BD, 0xF2F1F0, 0xC9C2BD,
     0x433C37, 0x5C534C, 0x5C534C},
    {tsWindowsXP, 0xFFFFFF, clNone, Kept, 0xFFFFFF, clBtnFace, 0xFFFFFF, clBtnFace, 0, 0x808080,
     0x808080},
    {tsWhidbey, 0xF5F9FA, 0xF5F9FA, clNone, 0xEBEEEF, 0x7E9898, 0xEBEEEF, 0x7E9898, 0xFFFFFF,
     0x962D00, 0x962D00},
    {tsOffice2007Silver, 0xF8F4F1, 0xF0E8E3, clNone, 0xF8F7F6, 0xE8E0DB, 0xF8F7F6, 0xE8E0DB,
     0x8B4215, 0x74706F, 0x74706F},
    {tsWindowsVista, 0xFFFFFF, 0xFFFFFF, 0x979797, 0xFFFDF9, 0xFFFAF0, 0xFFFAF0, 0xFFFDF9, 0,
     0xFCF2DA, 0xFCF2DA},
    {tsWindows7, 0xFFFFFF, 0xFFFFFF, 0x979797, 0xFDFBFA, 0xFDF3EB, 0xFDFBFA, 0xFDF3EB, 0, 0xFBD6B8,
     0xFBD6B8},
    {tsTerminal, 0xFFFFFF, 0xFFFFFF, 0x808080, clBtnFace, clBtnFace, clBtnFace, clBtnFace, 0,
     clNone, clNone},
    {tsOffice2010Blue, 0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xFDF6EF, 0xF0DAC7, 0xFDF6EF, 0xF0DAC7,
     0x5B391E, 0xC7B29F, 0xC7B29F},
    {tsOffice2010Silver, 0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xFFFFFF, 0xEDE5E0, 0xFFFFFF, 0xEDE5E0,
     0x5B391E, 0xD2CDC8, 0xD2CDC8},
    {tsOffice2010Black, 0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xBFBFBF, 0x919191, 0xBFBFBF, 0x919191,
     0xD7D7D6, 0x6D6D6D, 0x6D6D6D},
};

// Each channel of actual within tolerance of expected (a gradient's bands step unevenly).
::testing::AssertionResult near(TColor actual, TColor expected, int tolerance) {
    const TColor a = ColorToRGB(actual), e = ColorToRGB(expected);
    if (std::abs(GetRValue(a) - GetRValue(e)) <= tolerance &&
        std::abs(GetGValue(a) - GetGValue(e)) <= tolerance &&
        std::abs(GetBValue(a) - GetBValue(e)) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "0x" << a << " is not near 0x" << e;
}

// The colour a top-to-bottom gradient from -> to shows at row y of height rows.
TColor gradientAt(TColor from, TColor to, int y, int height) {
    if (to == clNone) return from;
    const TColor f = ColorToRGB(from), t = ColorToRGB(to);
    auto mix = [&](int a, int b) { return a + (b - a) * y / (height - 1); };
    return RGB(mix(GetRValue(f), GetRValue(t)), mix(GetGValue(f), GetGValue(t)),
               mix(GetBValue(f), GetBValue(t)));
}

class StyledDropDown : public TTestDropDown {
public:
    using TTestDropDown::DrawSelection;
    using TTestDropDown::SelectionColorStyle;
    using TTestDropDown::SetItemAppearanceStyle;
    using TTestDropDown::SetSelectionColorStyle;
    using TTestDropDown::TTestDropDown;
};

} // namespace

TEST_F(DropDownTest, EveryStylePaintsItsPopupAndBarColours) {
    for (const PopupCase& c : popupCases) {
        SCOPED_TRACE(int(c.style));
        edit->SetDropDownBorderColor(TColor(0x123456));
        edit->SetComponentStyle(c.style);
        EXPECT_EQ(edit->GetComponentStyle(), c.style);
        const TColor border = c.border == Kept ? TColor(0x123456) : c.border;
        EXPECT_EQ(edit->DropDownBorderColor(), border);
        EXPECT_EQ(edit->DropDownHeader()->Font()->Color(), c.font);
        EXPECT_EQ(edit->DropDownFooter()->Font()->Color(), c.font);

        // The body alone: the gradient runs left to right from the first colour.
        edit->DropDownHeader()->SetVisible(false);
        edit->DropDownFooter()->SetVisible(false);
        key(VK_F4);
        ASSERT_TRUE(edit->DroppedDown());
        TDropDownForm* popup = edit->DropDownForm();
        const int w = popup->Width(), h = popup->Height();
        EXPECT_EQ(pixel(popup, 1, h / 2), ColorToRGB(c.color));
        EXPECT_TRUE(near(pixel(popup, w - 2, h / 2), c.colorTo == clNone ? c.color : c.colorTo, 4));
        if (border != clNone) {
            EXPECT_EQ(pixel(popup, 0, h / 2), ColorToRGB(border));
        }
        key(VK_ESCAPE);

        // The bars: top-to-bottom gradients, the header's last row in its border colour.
        edit->DropDownHeader()->SetVisible(true);
        edit->DropDownFooter()->SetVisible(true);
        key(VK_F4);
        ASSERT_TRUE(edit->DroppedDown());
        TWinControl* header = popup->Header();
        TWinControl* footer = popup->Footer();
        const int hh = header->Height();
        EXPECT_TRUE(near(pixel(header, w / 2, 4), gradientAt(c.header, c.headerTo, 4, hh), 4));
        EXPECT_TRUE(near(pixel(footer, w / 2, 4), gradientAt(c.footer, c.footerTo, 4, hh), 4));
        if (c.headerBorder != clNone) {
            EXPECT_EQ(pixel(header, w / 2, hh - 1), ColorToRGB(c.headerBorder));
        }
        EXPECT_EQ(edit->DropDownFooter()->BorderColor(), c.footerBorder);
        key(VK_ESCAPE);
    }
}

TEST_F(DropDownTest, CustomStyleKeepsEveryColour) {
    edit->SetComponentStyle(tsWindows7);
    edit->SetComponentStyle(tsCustom);
    EXPECT_EQ(edit->GetComponentStyle(), tsCustom);
    EXPECT_EQ(edit->DropDownColor(), TColor(0xFFFFFF));
    EXPECT_EQ(edit->DropDownBorderColor(), TColor(0x979797));
    EXPECT_EQ(edit->DropDownHeader()->Color(), TColor(0xFDFBFA));
    EXPECT_EQ(edit->ButtonAppearance()->ColorDown(), TColor(0xFCEBDC));
}

TEST_F(DropDownTest, EveryStyleSetsTheButtonLook) {
    struct Case {
        TQorStyle style;
        TColor color, colorTo, border, hot, hotTo, hotBorder, down, downTo, downBorder, disabled,
            disabledTo, checked, checkedTo, checkedBorder;
    };
    auto setA = [](TQorStyle s, TColor color, TColor colorTo) {
        return Case{s,        color,    colorTo,  clNone,   0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF,
                    0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, 0x45667B};
    };
    auto setB = [](TQorStyle s, TColor color, TColor colorTo, TColor border) {
        return Case{s,      color,    colorTo,  border,   0x8AE3FD, clNone, 0x58CAF1, 0x6CD0FF,
                    clNone, 0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, clNone, 0x4FA0CE};
    };
    const Case cases[] = {
        setA(tsOffice2003Blue, 0xFCE1CB, 0xE0A57D),
        setA(tsOffice2003Silver, 0xECE2E1, 0xB39698),
        setA(tsOffice2003Olive, 0xCFF0EA, 0x8CC0B1),
        {tsOffice2003Classic, 0xFFFFFF, 0xC9D1D5, clNone, 0xD2BDB6, 0xD2BDB6, 0x808080, 0xB59285,
         0xB59285, 0x808080, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0x808080},
        setA(tsOffice2007Luna, 0xFFEFE3, 0xFFDDC4),
        setA(tsOffice2007Obsidian, 0xF2F1F0, 0xC9C2BD),
        {tsWindowsXP, 0xFFFFFF, clBtnFace, clNone, 0xEFD3C6, 0xEFD3C6, clHighlight,
         clInactiveCaption, clInactiveCaption, clHighlight, 0xB6B6B6, 0xB6B6B6, 0xB9D8DC, 0xB9D8DC,
         0x000000},
        setA(tsWhidbey, 0xFFFFFF, 0xDFEDF0),
        setA(tsOffice2007Silver, 0xF9F8F8, 0xE4E2DF),
        // The checked border is a plain colour, the pressed one.
        {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0,
         0xFDF0D7, 0xFEDF9A, 0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A},
        {tsWindows7, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFCEBDC, 0xFCDBC1,
         0xCEA27D, 0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFCDBC1, 0xCEA27D},
        {tsTerminal, clBtnFace, clBtnFace, clNone, 0xC0C0C0, 0xC0C0C0, 0x808080, clHighlight,
         clHighlight, 0x808080, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clHighlight},
        setB(tsOffice2010Blue, 0xFDF6EF, 0xF0DAC7, 0xC7B29F),
        setB(tsOffice2010Silver, 0xFFFFFF, 0xEDE5E0, 0xD2CDC8),
        setB(tsOffice2010Black, 0xBFBFBF, 0x919191, 0xD7D7D6),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        edit->SetComponentStyle(c.style);
        const TQorButtonAppearance& a = *edit->ButtonAppearance();
        const TColor actual[] = {a.Color(),          a.ColorTo(),           a.BorderColor(),
                                 a.ColorHot(),       a.ColorHotTo(),        a.BorderColorHot(),
                                 a.ColorDown(),      a.ColorDownTo(),       a.BorderColorDown(),
                                 a.ColorDisabled(),  a.ColorDisabledTo(),   a.ColorChecked(),
                                 a.ColorCheckedTo(), a.BorderColorChecked()};
        const TColor expected[] = {c.color,      c.colorTo, c.border,    c.hot,          c.hotTo,
                                   c.hotBorder,  c.down,    c.downTo,    c.downBorder,   c.disabled,
                                   c.disabledTo, c.checked, c.checkedTo, c.checkedBorder};
        for (int i = 0; i < 14; ++i) EXPECT_EQ(actual[i], expected[i]) << "colour " << i;
    }
}

TEST(DropDownSelection, StylesSetTheirColoursAndPaintTheirFrame) {
    TForm form(nullptr);
    auto* dd = new StyledDropDown(&form);
    EXPECT_EQ(dd->SelectionColorStyle(), scOffice2007);
    EXPECT_EQ(dd->SelectionColor(), TColor(0xD7FFFD));
    struct Case {
        TSelectionColorStyle style;
        TColor color, colorTo, corner, outer, innerTop;
    };
    const Case cases[] = {
        {scWindowsVista, 0xFDF8F1, 0xFCEFD5, 0xFCEDCB, 0xFDDE99, 0xFDFBF6},
        {scWindows7, 0xFCEBDC, 0xFCDBC1, 0xE0C5AE, 0xCEA27D, 0xFDF4EB},
        {scOffice2007, 0xD7FFFD, 0x58D4FC, 0xC3D9DF, 0x8DD7D3, 0xF4FEFF},
    };
    TBitmap bmp;
    bmp.SetSize(40, 20);
    for (const Case& c : cases) {
        dd->SetSelectionColorStyle(c.style);
        EXPECT_EQ(dd->SelectionColor(), c.color);
        EXPECT_EQ(dd->SelectionColorTo(), c.colorTo);
        dd->DrawSelection(bmp.Canvas(), TRect(0, 0, 40, 20), 0, TColor(0x00FF00));
        EXPECT_EQ(bmp.PixelColor(0, 0), TColor(0x00FF00)) << "the corner shows the background";
        EXPECT_EQ(bmp.PixelColor(1, 1), c.corner);
        EXPECT_EQ(bmp.PixelColor(10, 0), c.outer);
        EXPECT_EQ(bmp.PixelColor(10, 1), c.innerTop);
        EXPECT_EQ(bmp.PixelColor(10, 2), c.color) << "the gradient starts below the frame";
    }
    // Custom keeps the colours and fills with the first one only.
    dd->SetSelectionColor(TColor(0x336699));
    dd->SetSelectionColorTo(TColor(0x00FF00));
    dd->SetSelectionColorStyle(scCustom);
    EXPECT_EQ(dd->SelectionColor(), TColor(0x336699));
    dd->DrawSelection(bmp.Canvas(), TRect(0, 0, 40, 20), 0, clBlack);
    for (TPoint p : {TPoint{0, 0}, TPoint{20, 10}, TPoint{39, 19}})
        EXPECT_EQ(bmp.PixelColor(p.X, p.Y), TColor(0x336699));
}

TEST(DropDownSelection, ItemLooksFollowTheStyle) {
    TForm form(nullptr);
    auto* dd = new StyledDropDown(&form);
    TItemAppearance look(nullptr);
    look.SetBorderColorHot(clRed);
    look.SetColorHot(TColor(0x010203));
    dd->SetItemAppearanceStyle(&look, tsCustom);
    EXPECT_EQ(look.ColorHot(), TColor(0x010203)) << "custom changes nothing";
    EXPECT_EQ(look.BorderColorHot(), clRed);
    dd->SetItemAppearanceStyle(nullptr, tsWindows7); // no look: nothing happens

    struct Case {
        TQorStyle style;
        TColor hot, hotTo, mirrorHot, selected, selectedTo, border, top, bottom, edge, text;
    };
    const Case cases[] = {
        {tsWhidbey, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, clNone, clNone,
         clNone, clBlack},
        {tsOffice2007Silver, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF4FEFF,
         0xCAF8FF, 0xC3D9DF, clBlack},
        {tsOffice2003Classic, 0xD2BDB6, 0xD2BDB6, clNone, 0xB59285, 0xB59285, 0x808080, clNone,
         clNone, clNone, clBlack},
        {tsWindowsXP, 0xEFD3C6, 0xEFD3C6, clNone, clHighlight, clNone, clHighlight, clNone, clNone,
         clNone, clHighlightText},
        {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, clNone, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A, 0xFDFBF6,
         0xFDF5E7, 0xFCEDCB, clBlack},
        {tsWindows7, 0xFDFBFA, 0xFDF3EB, clNone, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xFDF4EB, 0xFDEADB,
         0xE0C5AE, clBlack},
        {tsTerminal, 0xC0C0C0, 0xC0C0C0, clNone, clHighlight, clNone, 0x808080, clNone, clNone,
         clNone, clHighlightText},
        {tsOffice2010Black, 0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0x7BEEFF, 0x6CD0FF, 0x308AC2, clNone,
         clNone, clNone, clBlack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        look.SetBorderColorHot(clRed);
        look.SetColorHotText(clRed);
        dd->SetItemAppearanceStyle(&look, c.style);
        EXPECT_EQ(look.BorderColorHot(), clNone);
        EXPECT_EQ(look.ColorHotText(), clBlack);
        const TColor actual[] = {look.ColorHot(),        look.ColorHotTo(),
                                 look.ColorMirrorHot(),  look.ColorSelected(),
                                 look.ColorSelectedTo(), look.BorderColor(),
                                 look.BorderColorTop(),  look.BorderColorBottom(),
                                 look.EdgeColor(),       look.ColorSelectedText()};
        const TColor expected[] = {c.hot,    c.hotTo, c.mirrorHot, c.selected, c.selectedTo,
                                   c.border, c.top,   c.bottom,    c.edge,     c.text};
        for (int i = 0; i < 10; ++i) EXPECT_EQ(actual[i], expected[i]) << "colour " << i;
    }
}

TEST(DropDownDrawing, BlendAndAdjustColours) {
    struct Blend {
        TColor a, b;
        int percent;
        TColor expected;
    };
    const Blend blends[] = {
        {clWhite, clBlack, 50, TColor(0x808080)}, // 127.5 goes to the even 128
        {TColor(0x0000FF), TColor(0xFF0000), 100, TColor(0x0000FF)},
        {TColor(0x0000FF), TColor(0xFF0000), 150, TColor(0x0000FF)},
        {TColor(0x0000FF), TColor(0xFF0000), 0, TColor(0xFF0000)},
        {TColor(0x0000FF), TColor(0xFF0000), -5, TColor(0xFF0000)},
        {TColor(0x000064), TColor(0x0000C8), 25, TColor(0x0000AF)},
        {TColor(0x000003), TColor(0x000000), 50, TColor(0x000002)}, // 1.5 goes to 2
        {TColor(0x000005), TColor(0x000000), 50, TColor(0x000002)}, // 2.5 goes to 2
        {clBtnFace, clBtnFace, 50, ColorToRGB(clBtnFace)},
    };
    for (const Blend& b : blends)
        EXPECT_EQ(BlendColor(b.a, b.b, b.percent), b.expected) << b.percent << " " << b.a;

    EXPECT_EQ(AdjustColorChannels(TColor(0x808080), -50, 0, 20), TColor(0x808040));
    EXPECT_EQ(AdjustColorChannels(TColor(0x000000), 30, -10, 0), TColor(0x00001E))
        << "an empty channel takes a positive percentage as its value";
    EXPECT_EQ(AdjustColorChannels(TColor(0x000005), -50, 0, 0), TColor(0x000002));
}

TEST(DropDownDrawing, FilledRectsAndFittedText) {
    TBitmap bmp;
    bmp.SetSize(100, 40);
    TCanvas* c = bmp.Canvas();
    DrawFilledRect(c, TRect(0, 0, 100, 40), TColor(0x00FF00), false, 2, TColor(0x0000FF), clNone);
    EXPECT_EQ(bmp.PixelColor(0, 20), TColor(0x0000FF));
    EXPECT_EQ(bmp.PixelColor(1, 20), TColor(0x0000FF)) << "a border two pixels wide";
    EXPECT_EQ(bmp.PixelColor(50, 20), TColor(0x00FF00));
    DrawFilledRect(c, TRect(0, 0, 100, 40), TColor(0x000000), false, 0, TColor(0x0000FF),
                   TColor(0xFFFFFF));
    EXPECT_EQ(bmp.PixelColor(0, 20), TColor(0x000000)) << "no border of width 0; left to right";
    EXPECT_GT(GetRValue(bmp.PixelColor(98, 20)), 240);
    EXPECT_EQ(bmp.PixelColor(98, 0), bmp.PixelColor(98, 39));

    EXPECT_EQ(MeasureText(c, ""), TSize(0, 0));
    const TSize size = MeasureText(c, "Hello");
    EXPECT_EQ(size.cx, c->TextWidth("Hello"));
    EXPECT_GT(size.cy, 0);
    EXPECT_EQ(FitText(c, "Hello", size.cx, true), "Hello") << "a text that fits stays";
    const std::string cut = FitText(c, "Hello wide world", c->TextWidth("Hello w"), true);
    EXPECT_LT(c->TextWidth(cut), c->TextWidth("Hello w"));
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(std::string("Hello wide world").rfind(cut.substr(0, cut.size() - 3), 0), 0u);
    EXPECT_EQ(FitText(c, "ÄÖÜäöü", c->TextWidth("ÄÖ") + 1, false), "ÄÖ")
        << "cut by whole characters";

    EXPECT_EQ(DrawMarkupText(c, "", TRect(0, 0, 100, 40), nullptr, true, nullptr), TSize(0, 0));
    const TSize bold =
        DrawMarkupText(c, "<b>x</b>y", TRect(0, 0, 100, 40), nullptr, false, nullptr);
    EXPECT_GT(bold.cx, 0);
    EXPECT_GT(bold.cy, 0);
}
