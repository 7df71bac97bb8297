#include "grid/render/markup/MarkupRender.h"

#include "grid/render/markup/MarkupText.h"
#include "platform/gfx/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class MarkupRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        bitmap.SetSize(400, 200);
        c = bitmap.Canvas();
        clear();
        gh = c->TextHeight("gh");
    }
    void clear() {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, 400, 200));
        c->Font()->SetColor(clBlack);
    }
    bool render(const std::string& markup, TRect bounds, HTMLRenderOptions o, HTMLRenderResult& r) {
        return HTMLRenderText(*c, markup, bounds, o, r);
    }
    int count(TColor color, TRect area = TRect(0, 0, 400, 200)) {
        int n = 0;
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                if (c->Pixels(x, y) == color) ++n;
        return n;
    }
    TBitmap bitmap;
    TCanvas* c = nullptr;
    int gh = 0;
};

struct MeasureCase {
    const char* markup;
    const char* plain;
    int lines;           // TotalHeight in lines of "gh"; -1: taller than one line of "gh"
    const char* widthOf; // MaxLineWidth equals the width of this text; nullptr: not checked
};

TEST_F(MarkupRenderTest, MeasuresTextsOfEveryTag) {
    const MeasureCase cases[] = {
        {"", "", 1, ""},
        {"plain", "plain", 1, "plain"},
        {"a<BR>b", "a\rb", 2, "a"},
        {"a&amp;b", "a&b", 1, "a&b"},
        {"&amp;lt;", "&lt;", 1, "&lt;"},
        {"a&lt;b&gt;c", "a<b>c", 1, "a<b>c"},
        {"x&quot;&euro;&COPY;", "x\"€©", 1, nullptr},
        {"<B>bold</B> <I>it</I> <U>u</U> <S>s</S>", "bold it u s", 1, nullptr},
        {"<Z>hidden</Z>shown", "hiddenshown", 1, "shown"},
        {"<UL><LI>a<LI>b</UL>", "ab", 3, nullptr},
        {"x<HR>y", "xy", 2, nullptr},
        {"line1\r\nline2", "line1\rline2", 2, nullptr},
        {"<#FIELD>", "#FIELD", 1, "#FIELD"},
        {"a<SUB>2</SUB>", "a2", -1, nullptr},
        {"a<SUP>2</SUP>", "a2", -1, nullptr},
        {"<FONT size=\"5\">big</FONT>", "big", -1, nullptr},
        {"<FONT face=\"Courier New\" color=\"clred\" bgcolor=\"#00FF00\">f</FONT>", "f", 1,
         nullptr},
        {"<A href=\"x\">link</A> <SHAD>s</SHAD> <E>e</E> <HI>h</HI>", "link s e h", 1, nullptr},
        {"<P align=\"right\">r</P>", "r", 1, "r"},
        {"<IND x=\"50\">t", "t", 1, nullptr},
        {"<R a=\"90\">up</R>", "up", 1, nullptr},
        {"<qq>x<", "x", 1, "x"},
        {"<unknown>x", "x", 2, "x"},
        {"x<b", "x", 1, "x"},
        {"x<abc", "x", 1, "x"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.markup);
        HTMLRenderOptions o;
        o.MeasureOnly = true;
        HTMLRenderResult r;
        EXPECT_FALSE(render(k.markup, TRect(0, 0, 400, 200), o, r));
        EXPECT_EQ(r.PlainText, k.plain);
        if (k.lines > 0) {
            EXPECT_EQ(r.TotalHeight, k.lines * gh);
        } else {
            EXPECT_GT(r.TotalHeight, gh);
        }
        if (k.widthOf) {
            const std::string w = k.widthOf;
            EXPECT_EQ(r.MaxLineWidth, w.empty() ? 0 : c->TextWidth(w));
        }
    }
}

TEST_F(MarkupRenderTest, FontSizeQuotedOrNot) {
    auto height = [&](int points) {
        TFont saved;
        saved.Assign(c->Font());
        c->Font()->SetSize(points);
        const int h = c->TextHeight("a");
        c->Font()->Assign(&saved);
        return h;
    };
    const std::pair<const char*, int> cases[] = {{"<FONT size=\"3\">a</FONT>", 12},
                                                 {"<FONT size=3>a</FONT>", 12},
                                                 {"<FONT SIZE=\"20\">a</FONT>", 20},
                                                 {"<FONT size=\"1\">a</FONT>X", 0}};
    for (const auto& [markup, points] : cases) {
        HTMLRenderOptions o;
        o.MeasureOnly = true;
        HTMLRenderResult r;
        render(markup, TRect(0, 0, 400, 200), o, r);
        EXPECT_EQ(r.TotalHeight, points ? height(points) : gh) << markup;
    }
}

TEST_F(MarkupRenderTest, WordWrapBreaksAtBlanksOnly) {
    // Room for "aaaa bbbb " (a run keeps its blank) on the line, which starts 1 pixel in.
    const int narrow = c->TextWidth("aaaa bbbb ") + 2;
    const std::pair<const char*, int> cases[] = {
        {"aaaa bbbb cccc dddd", 2},
        {"aaaa&nbsp;bbbb&nbsp;cccc", 1},
        {"x averyveryveryverylongwordindeed", 2},
        {"<B>aaaa</B>bbbbccccddddeeee", 1},
        {"<UL><LI>aaaa<LI>bbbb</UL>", 3},
    };
    for (const auto& [markup, lines] : cases) {
        HTMLRenderOptions o;
        o.MeasureOnly = true;
        o.WordWrap = true;
        HTMLRenderResult r;
        render(markup, TRect(0, 0, narrow, 200), o, r);
        EXPECT_EQ(r.TotalHeight, lines * gh) << markup;
    }
}

TEST_F(MarkupRenderTest, WithoutWordWrapTheOverflowingRunEndsTheText) {
    HTMLRenderOptions o;
    HTMLRenderResult r;
    render("aaaa bbbb cccc dddd<BR>second", TRect(0, 0, 40, 200), o, r);
    EXPECT_EQ(r.TotalHeight, gh);
    // Drawn cut to the box: nothing beyond it.
    EXPECT_EQ(count(clBlack, TRect(41, 0, 400, 200)), 0);
    EXPECT_GT(count(clBlack, TRect(0, 0, 40, 200)), 0);
}

TEST_F(MarkupRenderTest, HitTestsAnchors) {
    const int link = c->TextWidth("link");
    HTMLRenderOptions o;
    o.HitTestOnly = true;
    o.HitY = gh / 2;
    o.HitX = 1 + link / 2;
    HTMLRenderResult r;
    EXPECT_TRUE(render("<A href=\"One\" title=\"T1\">link</A> text", TRect(0, 0, 400, 200), o, r));
    EXPECT_EQ(r.HitHref, "One");
    EXPECT_EQ(r.HitTitle, "T1");
    EXPECT_EQ(r.HitLink, 1);
    EXPECT_EQ(r.HitLinkRect, TRect(1, 0, 1 + link, gh));
    EXPECT_EQ(r.LinkCount, 1);

    HTMLRenderResult miss;
    o.HitX = 1 + link + c->TextWidth(" te");
    EXPECT_FALSE(render("<A href=\"One\">link</A> text", TRect(0, 0, 400, 200), o, miss));
    EXPECT_EQ(miss.HitLink, -1);
    EXPECT_EQ(miss.HitHref, "");

    // Second line of a wrapped anchor; the first line has another anchor at the same x.
    const int narrow = c->TextWidth("aaaa bbbb") + 1;
    HTMLRenderResult wrapped;
    o.WordWrap = true;
    o.HitX = 3;
    o.HitY = gh + gh / 2;
    EXPECT_TRUE(render("<A href=\"first\">aaaa</A> <A href=\"two\">bbbb cccc</A>",
                       TRect(0, 0, narrow, 200), o, wrapped));
    EXPECT_EQ(wrapped.HitLink, 2);
    EXPECT_EQ(wrapped.HitHref, "two");
    EXPECT_EQ(wrapped.HitLinkRect.Left, 1);
    EXPECT_EQ(wrapped.HitLinkRect.Top, gh);
    EXPECT_EQ(wrapped.LinkCount, 2);
}

TEST_F(MarkupRenderTest, DrawsColoursLinesAndBackgrounds) {
    const TRect box(0, 0, 400, 200);
    struct DrawCase {
        const char* markup;
        bool selected;
        TColor color;
        bool present;
    };
    const DrawCase cases[] = {
        {"<FONT color=\"clred\">RRRR</FONT>", false, clRed, true},
        {"<FONT color=\"clred\">RRRR</FONT>", true, clRed, false},
        {"<FONT color=\"#00FF00\">GGGG</FONT>", false, TColor(0x00FF00), true},
        {"<A href=\"x\">link</A>", false, clBlue, true},
        {"<A href=\"x\">link</A>", true, clBlue, false},
        {"<E>error</E>", false, clRed, true},
        {"<BODY bgcolor=\"clYellow\">x", false, TColor(0xFFFF), true},
        {"<P bgcolor=\"clAqua\">x</P>", false, TColor(0xFFFF00), true},
        {"<HI>found</HI>", false, ColorToRGB(clHighlight), true},
        {"<SHAD>shadow</SHAD>", false, clGray, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.markup);
        clear();
        HTMLRenderOptions o;
        o.SelectedLook = k.selected;
        HTMLRenderResult r;
        render(k.markup, box, o, r);
        EXPECT_EQ(count(k.color) > 0, k.present);
    }
    // HR: a black line over the whole line box.
    clear();
    HTMLRenderOptions o;
    HTMLRenderResult r;
    render("x<HR>y", box, o, r);
    bool full = false;
    for (int y = 0; y < 2 * gh && !full; ++y) full = count(clBlack, TRect(1, y, 400, y + 1)) == 399;
    EXPECT_TRUE(full);
}

TEST_F(MarkupRenderTest, CanvasIsLeftAsItWas) {
    c->Font()->SetColor(clMaroon);
    c->Font()->SetSize(9);
    c->Pen()->SetColor(clGreen);
    c->Brush()->SetColor(clSilver);
    HTMLRenderOptions o;
    HTMLRenderResult r;
    render("<B><FONT color=\"clred\" size=\"5\" face=\"x\"><R a=\"90\">x<E>y<HR><A href=\"\">z",
           TRect(0, 0, 400, 200), o, r);
    EXPECT_EQ(c->Font()->Color(), clMaroon);
    EXPECT_EQ(c->Font()->Size(), 9);
    EXPECT_TRUE(c->Font()->Style().Empty());
    EXPECT_EQ(c->Font()->Orientation(), 0);
    EXPECT_EQ(c->Pen()->Color(), clGreen);
    EXPECT_EQ(c->Brush()->Color(), clSilver);
    EXPECT_EQ(c->Brush()->Style(), bsSolid);
}

TEST_F(MarkupRenderTest, ColourNamesAndHex) {
    EXPECT_EQ(HTMLColorFromName("cl3ddkshadow"), TColor(0xFF000015));
    EXPECT_EQ(HTMLColorFromName("CLRED"), TColor(255));
    EXPECT_EQ(HTMLColorFromName("clblack"), 0);
    EXPECT_EQ(HTMLColorFromName("nocolour"), 0);
    EXPECT_EQ(HTMLColorFromHex("#FF8000"), TColor(0x0080FF));
    EXPECT_EQ(HTMLColorFromHex("#12"), TColor(0x12));
}

} // namespace

namespace {
TRect inkOf(TCanvas* c, TColor color) {
    TRect box(400, 200, 0, 0);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            if (c->Pixels(x, y) == color) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}
} // namespace

TEST(MarkupFlags, FollowTheReadingOrder) {
    struct Case {
        TBiDiMode mode;
        unsigned in, out;
    };
    const Case cases[] = {{bdLeftToRight, DT_BOTTOM, DT_BOTTOM},
                          {bdRightToLeft, DT_BOTTOM, DT_BOTTOM | DT_RIGHT | DT_RTLREADING},
                          {bdRightToLeft, DT_RIGHT, DT_RTLREADING},
                          {bdRightToLeft, DT_CENTER, DT_CENTER | DT_RTLREADING},
                          {bdRightToLeftReadingOnly, DT_BOTTOM, DT_BOTTOM | DT_RTLREADING}};
    for (const Case& k : cases) EXPECT_EQ(HTMLDrawTextFlags(k.in, k.mode), k.out) << int(k.mode);
}

// Right to left the first run stands at the right end of the line and the next ones follow to
// its left; the hit test finds an anchor where it is drawn.
TEST_F(MarkupRenderTest, RightToLeftRunsStartAtTheRight) {
    const std::string markup = "<FONT color=\"clred\">RRRR</FONT> <A href=\"x\">link</A>";
    HTMLRenderOptions o;
    HTMLRenderResult r;
    render(markup, TRect(0, 0, 400, 200), o, r);
    const TRect redL = inkOf(c, clRed), blueL = inkOf(c, clBlue);
    EXPECT_LT(redL.Right, blueL.Left);
    clear();
    o.BiDiMode = bdRightToLeft;
    render(markup, TRect(0, 0, 400, 200), o, r);
    const TRect redR = inkOf(c, clRed), blueR = inkOf(c, clBlue);
    EXPECT_LT(blueR.Right, redR.Left);
    EXPECT_GE(redR.Right, 395);
    EXPECT_EQ(redR.Width(), redL.Width());

    HTMLRenderResult hit;
    o.HitTestOnly = true;
    o.HitY = gh / 2;
    o.HitX = (blueR.Left + blueR.Right) / 2;
    EXPECT_TRUE(render(markup, TRect(0, 0, 400, 200), o, hit));
    EXPECT_EQ(hit.HitHref, "x");
    o.HitX = (redR.Left + redR.Right) / 2;
    HTMLRenderResult miss;
    EXPECT_FALSE(render(markup, TRect(0, 0, 400, 200), o, miss));
}
