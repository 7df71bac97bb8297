#include "platform/gfx/RichText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RichTextTest, ReadsRunsWithTheirFormats) {
    TRichText rt;
    rt.Load("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Courier New;}}"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
            "{\\*\\generator Writer 1.0;}\\f0\\fs20 plain {\\b bold}\\par "
            "\\cf1\\i red\\i0  \\f1\\fs30\\ul big\\ulnone\\cf2  caf\\'e9 \\u8364?}");
    const auto& runs = rt.Runs();
    ASSERT_EQ(runs.size(), 7u);
    struct Case {
        const char* text;
        const char* font;
        int size;
        TFontStyles style;
        TColor color;
    } cases[] = {
        {"plain ", "Arial", 10, {}, clNone},
        {"bold", "Arial", 10, {fsBold}, clNone},
        {"\n", "Arial", 10, {}, clNone},
        {"red", "Arial", 10, {fsItalic}, RGB(255, 0, 0)},
        {" ", "Arial", 10, {}, RGB(255, 0, 0)},
        {"big", "Courier New", 15, {fsUnderline}, RGB(255, 0, 0)},
    };
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(runs[i].Text, cases[i].text) << i;
        EXPECT_EQ(runs[i].FontName, cases[i].font) << i;
        EXPECT_EQ(runs[i].Size, cases[i].size) << i;
        EXPECT_EQ(runs[i].Style, cases[i].style) << i;
        EXPECT_EQ(runs[i].Color, cases[i].color) << i;
    }
    EXPECT_EQ(rt.PlainText(), "plain bold\r\nred big caf\u00e9 \u20ac");
}

TEST(RichTextTest, SkipsDestinationsAndTakesPlainTextAsOneRun) {
    TRichText rt;
    rt.Load("{\\rtf1{\\info{\\title hidden}}{\\*\\unknown also hidden}seen\\{\\}\\\\}");
    EXPECT_EQ(rt.PlainText(), "seen{}\\");
    rt.Load("just text");
    ASSERT_EQ(rt.Runs().size(), 1u);
    EXPECT_EQ(rt.Runs()[0].Text, "just text");
    rt.Load("");
    EXPECT_TRUE(rt.Empty());
    // An unterminated text ends with what it has.
    rt.Load("{\\rtf1 cut {\\b off");
    EXPECT_EQ(rt.PlainText(), "cut off");
}

TEST(RichTextTest, RendersWrappedRunsInTheirColoursInsideTheRectangle) {
    TBitmap b(120, 80);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, 120, 80));
    c->Font()->SetColor(clBlack);
    TRichText rt;
    rt.Load("{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf1 one two three four five six}");
    const TRect r(10, 10, 70, 60);
    const int h = rt.Render(*c, r);
    int red = 0, outside = 0, lastRow = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            const TColor p = b.PixelColor(x, y);
            if (p == TColor(clWhite)) continue;
            if (x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom) ++outside;
            if (GetRValue(p) > 150 && GetGValue(p) < 100) ++red;
            lastRow = std::max(lastRow, y);
        }
    EXPECT_GT(red, 0);
    EXPECT_EQ(outside, 0) << "clipped to the rectangle";
    EXPECT_GT(lastRow, 10 + 2 * 12) << "the words wrap onto at least three lines";
    EXPECT_GT(h, 30);
    EXPECT_EQ(c->Font()->Color(), TColor(clBlack)) << "the canvas font returns";

    // Coloured as a whole, as a selected cell is.
    rt.SetAllColor(clBlue);
    for (const auto& run : rt.Runs()) EXPECT_EQ(run.Color, TColor(clBlue));
}

} // namespace

namespace {

// What Rtf writes, Load reads back run for run: fonts, sizes, styles, colours, offsets, line
// breaks, tabs, the RTF specials and characters beyond ASCII (outside the BMP too).
TEST(RichTextTest, WrittenRtfReadsBackUnchanged) {
    std::vector<TRichTextRun> runs = {
        {"plain {x} \\ ", "", 0, {}, clNone, 0},
        {"bold\n", "Arial", 12, {fsBold}, clNone, 0},
        {"red\titalic", "Arial", 0, {fsItalic, fsUnderline}, RGB(255, 0, 0), 0},
        {"H", "", 0, {}, clNone, 0},
        {"2", "", 0, {fsStrikeOut}, RGB(0, 0, 255), -40},
        {"x\u00b2 caf\u00e9 \u20ac \U0001F600", "Courier New", 8, {}, clNone, 40},
    };
    TRichText rt;
    rt.SetRuns(runs);
    const std::string rtf = rt.Rtf();
    EXPECT_EQ(rtf.find_first_not_of("\t\n\r !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRS"
                                    "TUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~"),
              std::string::npos)
        << "RTF is 7-bit";
    TRichText back;
    back.Load(rtf);
    ASSERT_EQ(back.Runs().size(), runs.size()) << rtf;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const TRichTextRun& r = back.Runs()[i];
        EXPECT_EQ(r.Text, runs[i].Text) << i;
        EXPECT_TRUE(r.SameFormat(runs[i])) << i << " " << rtf;
    }
    TRichText empty;
    empty.Load(empty.Rtf());
    EXPECT_TRUE(empty.Empty());
}

TEST(RichTextTest, FormatSplitsRunsAtTheRangeAndMergesEqualNeighbours) {
    TRichText rt;
    rt.SetRuns({{"ab\u00e9d", "", 0, {}, clNone, 0}, {"ef", "", 0, {fsBold}, clNone, 0}});
    EXPECT_EQ(rt.Length(), 6);
    auto bold = [](TRichTextRun& r) { r.Style.Include(fsBold); };
    rt.Format(2, 2, bold);
    ASSERT_EQ(rt.Runs().size(), 2u);
    EXPECT_EQ(rt.Runs()[0].Text, "ab");
    EXPECT_EQ(rt.Runs()[1].Text, "\u00e9def");
    EXPECT_TRUE(rt.FormatAt(2).Style.Contains(fsBold));
    EXPECT_FALSE(rt.FormatAt(1).Style.Contains(fsBold));
    // Past the end: the last character's format; a range past the end changes what exists.
    EXPECT_TRUE(rt.FormatAt(99).Style.Contains(fsBold));
    rt.Format(5, 10, [](TRichTextRun& r) { r.Offset = 40; });
    EXPECT_EQ(rt.Runs().back().Text, "f");
    EXPECT_EQ(rt.Runs().back().Offset, 40);
}

} // namespace
