#include "platform/gfx/Graphics.h"

#include <gtest/gtest.h>

namespace {
// Bounding box of the pixels that are not white.
TRect inked(TBitmap& b) {
    TRect r(b.Width(), b.Height(), 0, 0);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.PixelColor(x, y) != clWhite) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

struct TextFixture : ::testing::Test {
    TBitmap b{200, 60};
    TCanvas* c = b.Canvas();
    void SetUp() override {
        c->Font()->SetName("Verdana");
        c->Font()->SetHeight(-11);
        c->Font()->SetColor(clBlack);
        c->Brush()->SetStyle(bsClear);
    }
};
} // namespace

TEST_F(TextFixture, NamedFontsResolveToInstalledFamilies) {
    struct Case {
        const char* name;
        const char* family;
    };
    const Case cases[] = {
        {"Verdana", "DejaVu Sans"},           {"Tahoma", "DejaVu Sans"},
        {"MS Sans Serif", "Liberation Sans"}, {"Arial", "Liberation Sans"},
        {"Courier New", "Liberation Mono"},   {"Times New Roman", "Liberation Serif"},
        {"No Such Font", "DejaVu Sans"}};
    TFont f;
    for (const auto& cs : cases) {
        f.SetName(cs.name);
        EXPECT_EQ(f.ResolvedFamily(), cs.family) << cs.name;
    }
    int h = c->TextHeight("Xg");
    EXPECT_GE(h, 12);
    EXPECT_LE(h, 16);
    EXPECT_GT(c->TextWidth("WWWW"), c->TextWidth("iiii"));
    EXPECT_EQ(c->TextWidth(""), 0);
    c->Font()->SetSize(8);
    EXPECT_EQ(c->Font()->Height(), -11);
    c->Font()->SetHeight(-16);
    EXPECT_EQ(c->Font()->Size(), 12);
}

TEST_F(TextFixture, TextOutDrawsInFontColourAndAdvancesThePen) {
    c->TextOut(10, 5, "Hello");
    TRect ink = inked(b);
    EXPECT_GE(ink.Left, 10);
    EXPECT_GE(ink.Top, 5);
    EXPECT_LE(ink.Right, 10 + c->TextWidth("Hello") + 1);
    EXPECT_LE(ink.Bottom, 5 + c->TextHeight("Hello"));
    EXPECT_EQ(c->PenPos(), TPoint(10 + c->TextWidth("Hello"), 5));
}

TEST_F(TextFixture, SolidBrushMakesTextOpaqueUntilSetBkMode) {
    c->Brush()->SetColor(clYellow); // solid again
    c->TextOut(0, 0, "a");
    EXPECT_EQ(b.PixelColor(0, 0), clYellow);
    SetBkMode(c->Handle(), TRANSPARENT);
    c->TextOut(50, 0, "a");
    EXPECT_EQ(b.PixelColor(50, 0), clWhite);
    c->Brush()->SetColor(clAqua); // a brush change makes it opaque again
    c->TextOut(100, 0, "a");
    EXPECT_EQ(b.PixelColor(100, 0), clAqua);
}

TEST_F(TextFixture, DrawTextAlignsWithinTheRectangle) {
    int w = c->TextWidth("Abc"), h = c->TextHeight("Abc");
    struct Case {
        unsigned flags;
        int left, top; // expected cell origin
    };
    const Case cases[] = {
        {DT_LEFT | DT_SINGLELINE, 0, 0},
        {DT_CENTER | DT_SINGLELINE, (200 - w) / 2, 0},
        {DT_RIGHT | DT_SINGLELINE, 200 - w, 0},
        {DT_VCENTER | DT_SINGLELINE, 0, (60 - h) / 2},
        {DT_BOTTOM | DT_SINGLELINE, 0, 60 - h},
        {DT_BOTTOM, 0, 0}, // vertical alignment needs DT_SINGLELINE
    };
    for (const auto& cs : cases) {
        b.Canvas()->Brush()->SetStyle(bsSolid);
        b.Canvas()->Brush()->SetColor(clWhite);
        b.Canvas()->FillRect(TRect(0, 0, 200, 60));
        b.Canvas()->Brush()->SetStyle(bsClear);
        TRect r(0, 0, 200, 60);
        DrawText(c->Handle(), "Abc", -1, r, cs.flags);
        TRect ink = inked(b);
        EXPECT_GE(ink.Left, cs.left) << cs.flags;
        EXPECT_LE(ink.Left, cs.left + 2) << cs.flags;
        EXPECT_GE(ink.Top, cs.top) << cs.flags;
        EXPECT_LE(ink.Bottom, cs.top + h) << cs.flags;
    }
}

TEST_F(TextFixture, CalcRectMeasuresWithoutDrawing) {
    int h = c->TextHeight("x");
    TRect r(5, 5, 500, 5);
    int ret = DrawText(c->Handle(), "one\ntwo words", -1, r, DT_CALCRECT | DT_LEFT);
    EXPECT_EQ(ret, 2 * h);
    EXPECT_EQ(r, TRect(5, 5, 5 + c->TextWidth("two words"), 5 + 2 * h));
    EXPECT_EQ(inked(b), TRect(200, 60, 0, 0));

    // Word break wraps to the width; a word longer than the line stays whole.
    int narrow = c->TextWidth("alpha") + 2;
    r = TRect(0, 0, narrow, 0);
    DrawText(c->Handle(), "alpha beta gamma", -1, r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), 3 * h);
    r = TRect(0, 0, 10, 0);
    DrawText(c->Handle(), "alphabet", -1, r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), h);
    EXPECT_EQ(r.Width(), c->TextWidth("alphabet"));

    r = TRect(0, 0, 100, 0);
    EXPECT_EQ(DrawText(c->Handle(), "", -1, r, DT_CALCRECT), 0);
    EXPECT_EQ(r, TRect(0, 0, 0, 0));
}

TEST_F(TextFixture, EllipsisShortensTextThatDoesNotFit) {
    int fullWidth = c->TextWidth("A rather long caption");
    std::string text = "A rather long caption";
    TRect r(0, 0, fullWidth / 2, 20);
    DrawTextEx(c->Handle(), text, -1, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING,
               nullptr);
    EXPECT_TRUE(EndsStr("...", text)) << text;
    EXPECT_LE(c->TextWidth(text), fullWidth / 2);
    EXPECT_LE(inked(b).Right, fullWidth / 2);

    std::string path = "/usr/share/some/folder/file.txt";
    r = TRect(0, 0, c->TextWidth("/usr/.../file.txt") + 1, 20);
    DrawTextEx(c->Handle(), path, -1, r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING,
               nullptr);
    EXPECT_TRUE(EndsStr(".../file.txt", path)) << path;
    EXPECT_TRUE(StartsStr("/usr", path)) << path;

    std::string fits = "ok";
    r = TRect(0, 0, 100, 20);
    DrawTextEx(c->Handle(), fits, -1, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING,
               nullptr);
    EXPECT_EQ(fits, "ok");
}

TEST_F(TextFixture, PrefixUnderlinesTheNextCharacterUnlessNoPrefix) {
    TRect r(0, 0, 200, 60);
    int h = c->TextHeight("x");
    TRect calc = r;
    DrawText(c->Handle(), "&&A&bc", -1, calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.Width(), c->TextWidth("&Abc"));
    calc = r;
    DrawText(c->Handle(), "&&A&bc", -1, calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(calc.Width(), c->TextWidth("&&A&bc"));

    // "_" runs under the "b" only: compare the rows below the baseline with and without prefix.
    auto underlineRowInk = [&](const std::string& s, unsigned flags) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, 200, 60));
        c->Brush()->SetStyle(bsClear);
        TRect rr = r;
        DrawText(c->Handle(), s, -1, rr, flags | DT_SINGLELINE);
        int n = 0;
        for (int y = h - 3; y < h; ++y)
            for (int x = 0; x < 200; ++x) n += b.PixelColor(x, y) != clWhite;
        return n;
    };
    int plain = underlineRowInk("abc", 0);
    int underlined = underlineRowInk("a&bc", 0);
    int hidden = underlineRowInk("a&bc", DT_HIDEPREFIX);
    EXPECT_GT(underlined, plain);
    EXPECT_EQ(hidden, plain);

    // Before a blank no key applies: the "&" is shown and nothing is underlined.
    calc = r;
    DrawText(c->Handle(), "Scan & Decode", -1, calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.Width(), c->TextWidth("Scan & Decode"));
    EXPECT_EQ(underlineRowInk("Scan & Decode", 0), underlineRowInk("Scan & Decode", DT_NOPREFIX));
}

TEST_F(TextFixture, DrawTextClipsToTheRectangleUnlessNoClip) {
    TRect r(0, 0, 8, 20);
    DrawText(c->Handle(), "WWWWWW", -1, r, DT_SINGLELINE);
    EXPECT_LE(inked(b).Right, 8);
    DrawText(c->Handle(), "WWWWWW", -1, r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(inked(b).Right, 8);
}

TEST_F(TextFixture, TextRectFormatsAndClips) {
    TRect r(10, 10, 60, 30);
    std::string s = "centred";
    c->TextRect(r, s, {tfCenter, tfSingleLine, tfVerticalCenter});
    TRect ink = inked(b);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 60);
    int mid = (ink.Left + ink.Right) / 2;
    EXPECT_NEAR(mid, 35, 2);
    c->Brush()->SetColor(clRed);
    c->TextRect(TRect(100, 0, 110, 10), 95, 0, "Wide text");
    EXPECT_EQ(b.PixelColor(100, 0), clRed);
    EXPECT_EQ(b.PixelColor(99, 0), clWhite);
}

TEST_F(TextFixture, RotatedTextRunsUpwards) {
    c->Font()->SetOrientation(900);
    c->TextOut(20, 50, "Rotated");
    TRect ink = inked(b);
    EXPECT_GT(ink.Height(), ink.Width());
    EXPECT_LE(ink.Bottom, 51);
}

TEST(MeasuringCanvas, MeasuresTextWithoutATarget) {
    TCanvas c(nullptr);
    c.Font()->SetName("Arial");
    c.Font()->SetHeight(-12);
    EXPECT_GT(c.TextWidth("Gateway"), 20);
    c.TextOut(0, 0, "nothing to draw on");
    c.FillRect(TRect(0, 0, 10, 10));
    EXPECT_EQ(c.Pixels(0, 0), CLR_INVALID);
    TRect r(0, 0, 100, 0);
    EXPECT_EQ(DrawText(c.Handle(), "a\nb", -1, r, DT_CALCRECT), 2 * c.TextHeight("a"));
}

TEST_F(TextFixture, TabsExpandToStopsOnlyWhenAsked) {
    TTextMetric tm;
    GetTextMetrics(c->Handle(), tm);
    struct Case {
        unsigned flags;
        int width;
    };
    const Case cases[] = {
        {DT_SINGLELINE, c->TextWidth("ab")},
        {DT_SINGLELINE | DT_EXPANDTABS, 8 * tm.tmAveCharWidth + c->TextWidth("b")},
    };
    for (const auto& cs : cases) {
        TRect r(0, 0, 200, 0);
        DrawText(c->Handle(), "a\tb", -1, r, cs.flags | DT_CALCRECT);
        EXPECT_EQ(r.Width(), cs.width) << cs.flags;
    }
    DRAWTEXTPARAMS params;
    params.iTabLength = 4;
    std::string text = "a\tb";
    TRect r(0, 0, 200, 0);
    DrawTextEx(c->Handle(), text, -1, r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, &params);
    EXPECT_EQ(r.Width(), 4 * tm.tmAveCharWidth + c->TextWidth("b"));
}

TEST_F(TextFixture, EditControlDropsAPartlyVisibleLastLine) {
    int h = c->TextHeight("x");
    TRect r(0, 0, 200, h + h / 2);
    DrawText(c->Handle(), "first\nsecond", -1, r, 0);
    EXPECT_GT(inked(b).Bottom, h);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(TRect(0, 0, 200, 60));
    c->Brush()->SetStyle(bsClear);
    DrawText(c->Handle(), "first\nsecond", -1, r, DT_EDITCONTROL);
    EXPECT_LE(inked(b).Bottom, h);
}

// Texts are shaped and rendered once per font, then copied: each copy must still follow the
// canvas's font, colour, position, clip and underline.
TEST_F(TextFixture, RepeatedTextFollowsFontColourPlaceAndClip) {
    c->TextOut(10, 10, "Hg");
    TRect first = inked(b);
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(TRect(0, 0, 200, 60));
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clRed);
    c->TextOut(110, 30, "Hg");
    TRect moved = inked(b);
    EXPECT_EQ(moved, TRect(first.Left + 100, first.Top + 20, first.Right + 100, first.Bottom + 20));
    int red = 0, black = 0;
    for (int y = moved.Top; y < moved.Bottom; ++y)
        for (int x = moved.Left; x < moved.Right; ++x) {
            red += b.PixelColor(x, y) == clRed;
            black += b.PixelColor(x, y) == clBlack;
        }
    EXPECT_GT(red, 0);
    EXPECT_EQ(black, 0) << "the colour is not kept with the text";

    TBitmap clipped(200, 60), whole(200, 60);
    clipped.Canvas()->Font()->Assign(c->Font());
    clipped.Canvas()->Brush()->SetStyle(bsClear);
    clipped.Canvas()->TextRect(TRect(0, 0, 12, 60), 2, 2, "WWWW");
    whole.Canvas()->Font()->Assign(c->Font());
    whole.Canvas()->Brush()->SetStyle(bsClear);
    whole.Canvas()->TextOut(2, 2, "WWWW");
    EXPECT_LE(inked(clipped).Right, 12);
    EXPECT_GT(inked(whole).Right, 30) << "a clipped drawing is not what is kept";

    int narrow = c->TextWidth("WWWW");
    TFont big;
    big.Assign(c->Font());
    big.SetHeight(-20);
    c->Font()->Assign(&big);
    EXPECT_GT(c->TextWidth("WWWW"), narrow) << "a font assigned anew is measured anew";

    // The underline adds ink below the baseline of letters without descenders.
    auto inkBottom = [](const char* text) {
        TBitmap t(60, 30);
        t.Canvas()->Brush()->SetStyle(bsClear);
        TRect r(0, 0, 60, 30);
        DrawText(t.Canvas(), text, -1, r, DT_SINGLELINE);
        return inked(t).Bottom;
    };
    const int plain = inkBottom("ace");
    struct Case {
        const char* text;
        bool underlined;
    };
    const Case cases[] = {{"&ace", true}, {"ace", false}, {"&ace", true}, {"a&ce", true}};
    for (const Case& k : cases) EXPECT_EQ(inkBottom(k.text) > plain, k.underlined) << k.text;
}

namespace {
// The pixel colours of columns [0, n) of the rows of b.
std::vector<TColor> leftColumns(TBitmap& b, int n) {
    std::vector<TColor> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < n; ++x) out.push_back(b.PixelColor(x, y));
    return out;
}
} // namespace

// A right-to-left paragraph puts the first Latin run at the right end: its Hebrew or Arabic
// words start the line at the left; without the flag the Latin run does.
TEST_F(TextFixture, RightToLeftReadingOrdersMixedTextFromTheRight) {
    auto draw = [&](const std::string& text, unsigned flags) {
        TBitmap out(200, 20);
        TCanvas* oc = out.Canvas();
        oc->Font()->Assign(c->Font());
        oc->Brush()->SetStyle(bsClear);
        TRect r(0, 0, 200, 20);
        DrawText(oc, text, -1, r, flags | DT_SINGLELINE | DT_NOPREFIX);
        return leftColumns(out, 6);
    };
    for (const std::string rtlWord : {"\u05E9\u05DC\u05D5\u05DD", "\u0633\u0644\u0627\u0645"}) {
        const std::string mixed = "abc " + rtlWord;
        EXPECT_EQ(draw(mixed, 0), draw("abc", 0)) << rtlWord;
        EXPECT_EQ(draw(mixed, DT_RTLREADING), draw(rtlWord, DT_RTLREADING)) << rtlWord;
        EXPECT_NE(draw(mixed, DT_RTLREADING), draw(mixed, 0)) << rtlWord;
    }
}

// The canvas's text flags carry right-to-left reading to TextOut and TextRect, which then draw
// what DrawText draws with DT_RTLREADING; aligned right, the line still ends at the right.
TEST_F(TextFixture, CanvasTextFlagsReadRightToLeft) {
    const std::string text = "abc \u05E9\u05DC\u05D5\u05DD";
    TBitmap viaDrawText(200, 20);
    viaDrawText.Canvas()->Font()->Assign(c->Font());
    viaDrawText.Canvas()->Brush()->SetStyle(bsClear);
    TRect r(0, 0, 200, 20);
    DrawText(viaDrawText.Canvas(), text, -1, r, DT_RTLREADING | DT_SINGLELINE | DT_NOPREFIX);
    for (bool textRect : {false, true}) {
        TBitmap out(200, 20);
        TCanvas* oc = out.Canvas();
        oc->Font()->Assign(c->Font());
        oc->Brush()->SetStyle(bsClear);
        oc->SetTextFlags(ETO_RTLREADING);
        if (textRect)
            oc->TextRect(TRect(0, 0, 200, 20), 0, 0, text);
        else
            oc->TextOut(0, 0, text);
        EXPECT_EQ(leftColumns(out, 200), leftColumns(viaDrawText, 200)) << textRect;
    }
    TBitmap right(200, 20);
    right.Canvas()->Font()->Assign(c->Font());
    right.Canvas()->Brush()->SetStyle(bsClear);
    TRect rr(0, 0, 150, 20);
    DrawText(right.Canvas(), text, -1, rr, DT_RTLREADING | DT_RIGHT | DT_SINGLELINE);
    TRect ink = inked(right);
    EXPECT_LE(ink.Right, 150);
    EXPECT_GE(ink.Right, 146);
    EXPECT_GT(ink.Left, 150 - right.Canvas()->TextWidth(text) - 3);
}
