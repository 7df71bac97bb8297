#include "grid/core/base/GridUtils.h"

#include "platform/base/Classes.h"
#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>

namespace {
class GridUtils : public ::testing::Test {
protected:
    void TearDown() override { ResetFormatSettings(); }
    static void useEuropeanNumbers() {
        FormatSettings().DecimalSeparator = ',';
        FormatSettings().ThousandSeparator = '.';
    }
};
} // namespace

TEST_F(GridUtils, ClassifiesNumberTexts) {
    struct Case {
        const char* text;
        int kind;
    };
    const Case cases[] = {
        {"", 2},
        {"-", 0},
        {"12", 0},
        {"-12", 0},
        {"1-2", 2},
        {"1.5", 1},
        {"1,234,567", 1},
        {"1,23,4", 2},
        {"1e5", 5},
        {"-1.5e-3", 5},
        {"e5", 2},
        {"1e", 2},
        {"1e5e2", 2},
        {"1.2.3", 2},
        {"+5", 2},
        {"+1e5", 5},
        {"--1", 2},
        {"12a", 2},
        {"\xd9\xa3\xd9\xa4", 0}, // Arabic-Indic 34
    };
    for (const auto& c : cases) EXPECT_EQ(NumberTextKind(c.text), c.kind) << c.text;
}

TEST_F(GridUtils, ExtractsPlainNumberTexts) {
    struct Case {
        const char* text;
        const char* result;
    };
    const Case plain[] = {
        {"(42)", "-42"},         {"abc", ""},     {"", ""},      {"EUR 5", "E"},
        {"$ 1,234.5", "1234.5"}, {"-7 kg", "-7"}, {"x-3", "-3"},
    };
    for (const auto& c : plain) EXPECT_EQ(ExtractNumericText(c.text), c.result) << c.text;
    useEuropeanNumbers();
    EXPECT_EQ(ExtractNumericText("(1.234,50 EUR)"), "-1234.50");
    EXPECT_EQ(ExtractNumericText("  -3,5 "), "-3.5");
    EXPECT_EQ(NormalizeNumberText("1.000,5"), "1000.5");
    EXPECT_EQ(NormalizeNumberText("10.5x"), "105x");
}

TEST_F(GridUtils, RecognisesCellTextKinds) {
    struct Case {
        const char* text;
        bool markup;
        int kind;
    };
    const Case cases[] = {
        {"", true, 0},         {"=A1+1", false, 3},    {"{\\rtf1 x}", true, 2},
        {"<b>x</b>", true, 1}, {"<b>x</b>", false, 0}, {"<br>", true, 0},
        {"<B>x", true, 1},     {"|\\ab", true, 5},     {"a</", true, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetCellTextKind(c.text, c.markup), c.kind) << c.text << " " << c.markup;
    const std::string packedFormula("|\\\0=\0A", 6);
    EXPECT_EQ(GetCellTextKind(packedFormula, false), 3);
}

TEST_F(GridUtils, PackedWideTextRoundTrips) {
    const std::u16string texts[] = {u"", u"abc", u"Gr\u00f6\u00dfe", u"\u20ac\u4e2d",
                                    u"\U0001F600"};
    for (const auto& t : texts) EXPECT_EQ(DecodePackedWideText(EncodePackedWideText(t)), t);
    EXPECT_EQ(EncodePackedWideText(u"abc"), std::string("|\\\0a\0b\0c", 8));
    EXPECT_EQ(DecodePackedWideText("plain"), u"plain");
    EXPECT_EQ(DecodePackedWideText(std::string("|\\\0a\0", 5)), u"a"); // odd tail ignored
}

TEST_F(GridUtils, SmallTextHelpers) {
    EXPECT_EQ(LimitValue(5, 10, 20), 10);
    EXPECT_EQ(LimitValue(25, 10, 20), 20);
    EXPECT_EQ(LimitValue(25, 0, 0), 25);
    EXPECT_EQ(LimitValue(-5, 0, 20), -5); // a limit of 0 is no limit
    EXPECT_TRUE(CellInGridRect(TRect(1, 1, 3, 2), 3, 2));
    EXPECT_FALSE(CellInGridRect(TRect(1, 1, 3, 2), 4, 2));
    int p = 99;
    EXPECT_EQ(CharPosVar('x', "abc", p), 0);
    EXPECT_EQ(p, 99);
    EXPECT_EQ(CharPosVar('c', "abc", p), 3);
    EXPECT_EQ(p, 3);
    std::string s = "key=value=x";
    EXPECT_EQ(SplitOffToken(s, "="), "key");
    EXPECT_EQ(s, "value=x");
    EXPECT_EQ(SplitOffToken(s, ";"), "");
    EXPECT_EQ(s, "value=x");
    EXPECT_EQ(FindUnquotedChar("&|", "\"a&b\"|c", p), '|');
    EXPECT_EQ(p, 6);
    EXPECT_EQ(FindUnquotedChar("&", "\"a&b\"", p), '\0');
    EXPECT_EQ(p, -1);
    std::string f = "\xc3\xa4x";
    FillStringChar(f, '*');
    EXPECT_EQ(f, "**");
    TStringList list{"a", "b"};
    EXPECT_EQ(ConcatStrings(list), "ab");
}

TEST_F(GridUtils, ParsesLocaleDateTimes) {
    FormatSettings().ShortDateFormat = "dd/MM/yyyy";
    struct Case {
        const char* text;
        bool ok;
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    };
    const Case cases[] = {
        {"31/12/2020 23:59:59", true, 2020, 12, 31, 23, 59, 59},
        {"31/12/2020 23", false},
        {"1/2/2020 12:30", true, 2020, 2, 1, 12, 30, 0},
        {"32/01/2020", false},
        {"01/13/2020", false},
        {"31/02/2020", false},
        {"1/2/25", true, 25, 2, 1, 0, 0, 0}, // the year is taken as written
        {"1/2", false},
        {"a/2/2020", false},
        {"1/2/2020 24:00", false},
        {"1/2/2020 10:60", false},
        {"1/2/2020 10:10:60", false},
    };
    for (const auto& c : cases) {
        TDateTime v = -1;
        ASSERT_EQ(ParseLocaleDateTime(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, EncodeDate(c.y, c.mo, c.d) + EncodeTime(c.h, c.mi, c.s, 0)) << c.text;
        }
    }
    FormatSettings().ShortDateFormat = "yyyy-mm-dd";
    FormatSettings().DateSeparator = '-';
    TDateTime v = 0;
    ASSERT_TRUE(ParseLocaleDateTime("2020-12-31", v));
    EXPECT_EQ(v, EncodeDate(2020, 12, 31));
}

TEST_F(GridUtils, ParsesShortUsAndEuropeanDates) {
    struct Case {
        const char* text;
        bool eu;
        int y, m, d;
    };
    const Case cases[] = {
        {"1.2.2025", true, 2025, 2, 1},      {"2/1/99", false, 1999, 2, 1},
        {"1-2-00", true, 2000, 2, 1},        {"1.2.2024", true, 2024, 2, 1},
        {"12/31/1999", false, 1999, 12, 31},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.eu ? ParseShortDateEU(c.text) : ParseShortDateUS(c.text),
                  EncodeDate(c.y, c.m, c.d))
            << c.text;
    // Two-digit years fall in the hundred years around the current one.
    const int now = YearOf(Now());
    const std::string ahead = Format("1.2.%.2d", (now + 49) % 100);
    const std::string back = Format("1.2.%.2d", (now + 50) % 100);
    EXPECT_EQ(ParseShortDateEU(ahead), EncodeDate(now + 49, 2, 1));
    EXPECT_EQ(ParseShortDateEU(back), EncodeDate(now - 50, 2, 1));
    EXPECT_EQ(ParseShortDateUS(Format("2/1/%.2d", now % 100)), EncodeDate(now, 2, 1));
    for (const char* bad : {"", "1.2", "a.b.c", "12"}) EXPECT_EQ(ParseShortDateEU(bad), 0) << bad;
    EXPECT_THROW(ParseShortDateEU("31.2.2020"), EConvertError);
}

TEST_F(GridUtils, StepsDateSeries) {
    const double base = EncodeDate(2020, 11, 15);
    EXPECT_EQ(IncDateStep(0, 0, 3, base, 0), base + 3);
    EXPECT_EQ(IncDateStep(2, 0, 0, base, 0), EncodeDate(2022, 11, 15));
    EXPECT_EQ(IncDateStep(0, 2, 0, base, 0), EncodeDate(2021, 1, 15));
    EXPECT_EQ(IncDateStep(0, 1, 0, base, 0), EncodeDate(2020, 12, 15));
    EXPECT_EQ(IncDateStep(0, -11, 0, base, 0), EncodeDate(2019, 12, 15));
    EXPECT_EQ(IncDateStep(0, 26, 0, base, 0), EncodeDate(2023, 1, 15));
    EXPECT_EQ(IncDateStep(1, 1, 0, base, 7), base + 7);
    EXPECT_EQ(IncDateStep(0, 0, 0, base, 7), base + 7);
    EXPECT_TRUE(LooksLikeDate("1/2/3"));
    EXPECT_FALSE(LooksLikeDate("1//3"));
    EXPECT_FALSE(LooksLikeDate("/2/3x"));
}

TEST_F(GridUtils, ConvertsLineBreaksPerFormat) {
    struct Case {
        std::string (*fn)(std::string_view);
        std::string in, out;
    };
    const Case cases[] = {
        {EncodeLineBreaks, "a\rb\nc", "a\tb\bc"},
        // A lone LF stays on the line; with a TAB beside it the escaped form reads back.
        {EncodeLineBreaks, "a\nb", "a\bb"},
        {EncodeLineBreaks, "a\nb\tc",
         "\x02"
         "a\x02nb\x02tc"},
        {EncodeLineBreaks, "a\r\nb\r\n", "a\t\bb\t\b"},
        {EncodeLineBreaks, std::string("a\r\0", 3),
         std::string("\x02"
                     "a\x02r\x02"
                     "0")},
        {EncodeLineBreaks, "a\tb\r\n",
         "\x02"
         "a\x02tb\x02r\x02n"},
        {EscapeLineBreaks, "a\r\nb", "a\\nb"},
        {UnescapeLineBreaks, "a\\nb", "a\rb"},
        {CRToBR, "a\r\nb", "a<br>\nb"},
        {CRToLF, "a\rb", "a\nb"},
        {RemoveCR, "a\r\nb\r", "a\nb"},
        {CRLFToLF, "a\r\nb\rc", "a\nb\rc"},
        {QuoteMultiLineText, "a\r\nb",
         "\"a\x0b"
         "b\""},
        {LTToCRLF,
         "a\x0b"
         "b",
         "a\r\nb"},
        {CRLFToTilde, "a\r\nb", "a~b"},
        {TildeToCRLF, "a~b", "a\r\nb"},
        {TildeToCRLF, "^", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.fn(c.in), c.out) << c.in;
    // Every text reads back exactly; without multi-line cells only its first line.
    const std::string roundTrips[] = {"plain",     "a\rb", "a\r\nb",
                                      "a\tb\r\nc", "a\bb", "\x02x",
                                      "\x01\r\t",  "a\nb", std::string("a\0b\r", 4)};
    for (const std::string& t : roundTrips) {
        EXPECT_EQ(DecodeLineBreaks(EncodeLineBreaks(t), true), t) << t;
        std::string first = t.substr(0, t.find('\r'));
        if (t.find('\r') != std::string::npos) {
            EXPECT_EQ(DecodeLineBreaks(EncodeLineBreaks(t), false), first) << t;
        }
    }
    // The short form written before still reads.
    EXPECT_EQ(DecodeLineBreaks("a\t\bb\tc", true), "a\r\nb\rc");
    EXPECT_EQ(DecodeLineBreaks("a\t\bb", false), "a");

    std::string text = "one\r\ntwo\rthree", line;
    GetNextLine(text, true, line);
    EXPECT_EQ(line, "one");
    EXPECT_EQ(text, "two\rthree");
    GetNextLine(text, false, line);
    EXPECT_EQ(line, "two");
    EXPECT_EQ(text, "");
    EXPECT_EQ(CountLines("a\rb\rc", true), 3);
    EXPECT_EQ(CountLines("a\rb\rc", false), 1);
}

TEST_F(GridUtils, FindsClosingQuotes) {
    struct Case {
        const char* text;
        int pos;
    };
    const Case cases[] = {
        {"ab\"c", 3}, {"ab\"\"c", 0}, {"ab\"\"\"c", 5}, {"abc\"", 4}, {"", 0}, {"abc", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FindClosingQuote('"', c.text), c.pos) << c.text;
    EXPECT_EQ(CountClosingQuotes('"', "a\"b\"c\""), 3);
    EXPECT_EQ(QuoteDoubleQuotes("a\"b"), "a\"\"b");
    EXPECT_EQ(UndoubleChar('"', "a\"\"b\"\"\"c"), "a\"b\"\"c");
}

TEST_F(GridUtils, ConvertsBetweenOemAndAnsiPages) {
    std::string s = "Caf\xc3\xa9 \xc3\xa0"; // "Café à"
    StringToOem(s);
    // OEM bytes 0x82 and 0x85 read back as their ANSI characters.
    EXPECT_EQ(s, "Caf\xe2\x80\x9a \xe2\x80\xa6");
    OemToString(s);
    EXPECT_EQ(s, "Caf\xc3\xa9 \xc3\xa0");
    std::string missing = "\xe2\x82\xac"; // the euro sign has no OEM byte
    StringToOem(missing);
    EXPECT_EQ(missing, "?");
}

TEST_F(GridUtils, WrapsClipboardHtmlWithExactOffsets) {
    std::string s = "12345678";
    MakeClipboardHTML(s);
    EXPECT_TRUE(s.starts_with("Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00000309\r\n"
                              "StartFragment:00000269\r\nEndFragment:00000277\r\n"));
    EXPECT_EQ(s.size(), 309u);
    EXPECT_EQ(s.find("<!DOCTYPE"), 97u);
    EXPECT_NE(s.find("charset=utf-8"), std::string::npos);
    EXPECT_EQ(s.find("12345678"), 269u);
    EXPECT_EQ(s.find("<!--EndFragment-->"), 277u);
}

TEST_F(GridUtils, LinksAndReferences) {
    std::string out = "unchanged";
    EXPECT_FALSE(MakeURLLink("no link", "HTTP://", out));
    EXPECT_EQ(out, "unchanged");
    ASSERT_TRUE(MakeURLLink("see <www.a.it/x_y> now", "WWW.", out));
    EXPECT_EQ(out, "see &lt;<a href=\"www.a.it/x_y\">www.a.it/x_y</a>&gt; now");
    EXPECT_TRUE(IsURL("ftp://x"));
    EXPECT_FALSE(IsURL("MAILTO:x"));
    std::string u = "mailto:me@x.it";
    StripURLProtocol(u);
    EXPECT_EQ(u, "me@x.it");
    u = "http://a/b://c";
    StripURLProtocol(u);
    EXPECT_EQ(u, "a/b://c");
    EXPECT_EQ(ColorToHTMLHex(RGB(0x12, 0xAB, 0xEF)), "12ABEF");
    EXPECT_EQ(ColorToHTMLHex(clBtnFace), ColorToHTMLHex(ColorToRGB(clBtnFace)));
    TPoint cell(-1, -1);
    EXPECT_TRUE(ParseCellReference("r12c3", cell));
    EXPECT_EQ(cell, TPoint(3, 12));
    for (const char* bad : {"R1C", "RC12", "X1C2", "R1X2", "R1"}) {
        cell = TPoint(-1, -1);
        EXPECT_FALSE(ParseCellReference(bad, cell)) << bad;
        EXPECT_EQ(cell, TPoint(-1, -1)) << bad;
    }
}

TEST_F(GridUtils, CapitalizesWords) {
    struct Case {
        const char* text;
        const char* result;
    };
    const Case cases[] = {
        {"henry iii", "Henry III"},
        {"o'neil", "O'Neil"},
        {"mcdonald", "McDonald"},
        {"mary mcdonald", "Mary McDonald"},
        {"ann mcx mcdonald", "Ann McX Mcdonald"},
        {"JOHN SMITH-JONES", "John Smith-Jones"},
        {"\xc3\xa9lise", "\xc3\x89lise"},
        {"louis ii", "Louis II"},
    };
    for (const auto& c : cases) EXPECT_EQ(CapitalizeWords(c.text), c.result) << c.text;
}
