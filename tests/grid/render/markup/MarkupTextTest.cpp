#include "grid/render/markup/MarkupText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EscapeCase {
    const char* text;
    bool accents;
    const char* escaped;
};

TEST(MarkupTextTest, EscapeAndUnescapeRoundTrip) {
    const EscapeCase cases[] = {
        {"a&b", false, "a&amp;b"},   {"<x \"q\">", false, "&lt;x &quot;q&quot;&gt;"},
        {"&&", false, "&amp;&amp;"}, {"*amp;", false, "*amp;"},
        {"Õ", true, "&Otilde;"},     {"ãõ", true, "&atilde;&otilde;"},
        {"é", false, "é"},           {"Éé <€>", true, "&Eacute;&eacute; &lt;&euro;&gt;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HTMLEscapeText(c.text, c.accents), c.escaped);
        EXPECT_EQ(HTMLUnescapeText(c.escaped, c.accents), c.text);
    }
}

TEST(MarkupTextTest, EveryEntityOfTheTableConvertsBothWays) {
    const HTMLEntity* table = HTMLEntityTable();
    for (int i = 0; i < HTMLEntityCount; ++i) {
        SCOPED_TRACE(table[i].entity);
        EXPECT_EQ(HTMLEscapeText(table[i].character, true), table[i].entity);
        EXPECT_EQ(HTMLUnescapeText(table[i].entity, true), table[i].character);
        EXPECT_EQ(HTMLUnescapeText(table[i].entity, false), table[i].entity);
    }
}

TEST(MarkupTextTest, UnescapeDecodesEachEntityOnce) {
    const std::pair<const char*, const char*> cases[] = {
        {"&Eacute;&eacute;", "Éé"},       {"&amp;lt;", "&lt;"},
        {"&amp;quot;", "&quot;"},         {"&amp;amp;", "&amp;"},
        {"&EACUTE; & x", "&EACUTE; & x"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(HTMLUnescapeText(in, true), out) << in;
}

TEST(MarkupTextTest, StripAndRemoveTags) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // markup, stripped, removed
        {"a<BR>b", "a\r\nb", "ab"},
        {"a<hr>b<Br>c", "a\r\nb\r\nc", "abc"},
        {"a<B>b</B>", "ab", "ab"},
        {"x<b>y<z", "xy<z", "xy<z"},
        {"a>b<c>d", "a>b<c>d", "a>b<c>d"},
        {"<#NAME>", "", ""},
        {"", "", ""},
    };
    for (const auto& [markup, stripped, removed] : cases) {
        EXPECT_EQ(HTMLStripTags(markup), stripped) << markup;
        EXPECT_EQ(HTMLRemoveTags(markup), removed) << markup;
    }
}

TEST(MarkupTextTest, TextPositionToMarkupPosition) {
    const std::tuple<const char*, int, int> cases[] = {
        {"<b>abc</b>", 1, 1}, {"<b>abc</b>", 2, 5}, {"<b>abc</b>", 3, 6}, {"<b>abc</b>", 4, 11},
        {"<b>abc</b>", 5, 0}, {"aé<i>b", 3, 3},     {"", 1, 1},           {"abc", 0, 0},
    };
    for (const auto& [markup, n, pos] : cases)
        EXPECT_EQ(HTMLTextPosToMarkupPos(markup, n), pos) << markup << " " << n;
}

TEST(MarkupTextTest, FindFrom) {
    const std::tuple<const char*, const char*, int, bool, int> cases[] = {
        {"an", "banana", 0, true, 2},  {"an", "banana", 2, true, 4}, {"an", "banana", 4, true, 0},
        {"AN", "banana", 0, false, 2}, {"AN", "banana", 0, true, 0}, {"É", "café", 0, false, 4},
        {"", "banana", 0, true, 0},    {"a", "banana", 99, true, 0},
    };
    for (const auto& [search, text, offset, cs, pos] : cases) {
        int out = -1;
        EXPECT_EQ(HTMLFindFrom(search, text, offset, cs, &out), pos) << search << " " << offset;
        EXPECT_EQ(out, pos);
    }
}

TEST(MarkupTextTest, HighlightAndUnhighlight) {
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
        {"banana", "an", true, "b<HI>an</HI><HI>an</HI>a"},
        {"banana", "x", true, "banana"},
        {"Banana", "b", false, "<HI>B</HI>anana"},
        {"<b>banana</b>", "ba", true, "<b><HI>ba</HI>nana</b>"},
        {"a<B>b</B>c", "abc", true, "<HI>a<B>b</B>c</HI>"},
        {"x<y", "x<", true, "<HI>x&lt;</HI>y"},
        {"café", "É", false, "caf<HI>é</HI>"},
    };
    for (const auto& [markup, search, cs, highlighted] : cases) {
        SCOPED_TRACE(markup);
        const std::string h = HTMLHighlightText(markup, search, "HI", cs);
        EXPECT_EQ(h, highlighted);
        EXPECT_EQ(HTMLUnhighlightText(h, "hi"), markup);
    }
}

TEST(MarkupTextTest, SmallStringHelpers) {
    EXPECT_EQ(HTMLSpacesToNbsp("a b  c"), "a&nbsp;b&nbsp;&nbsp;c");
    EXPECT_EQ(HTMLLineBreaksToBR("a\r\nb\nc\r", true), "a<BR>bc<BR>");
    EXPECT_EQ(HTMLLineBreaksToBR("a\r\nb", false), "ab");
    EXPECT_EQ(HTMLRemoveFieldTags("<#NAME> and <#X>y>"), "#NAME and #Xy>");
    EXPECT_EQ(HTMLRemoveFieldTags("<#open"), "#open");
    std::string t = "one TWO two";
    EXPECT_TRUE(HTMLReplaceFirst("two", "2", t));
    EXPECT_EQ(t, "one 2 two");
    EXPECT_FALSE(HTMLReplaceFirst("three", "3", t));
    EXPECT_EQ(HTMLPosNoCase("Two", "one two"), 5);
    EXPECT_EQ(HTMLPosNoCase("x", "one"), 0);
    EXPECT_EQ(HTMLPosNoCase("b", "éb"), 2);
    const std::pair<const char*, int> numbers[] = {
        {" 42x", 42}, {"$1F", 31}, {"0x10", 16}, {"abc", 0}, {"-5", -5}, {"", 0}, {"7\"", 7}};
    for (const auto& [text, value] : numbers) EXPECT_EQ(HTMLValInt(text), value) << text;
}

TEST(MarkupTextTest, HighlightColoursAndXPFlag) {
    EXPECT_EQ(HTMLHighlightBackColor(), clHighlight);
    SetHTMLHighlightColors(clRed, clWhite);
    EXPECT_EQ(HTMLHighlightBackColor(), clRed);
    EXPECT_EQ(HTMLHighlightTextColor(), clWhite);
    SetHTMLHighlightColors(clHighlight, clHighlightText);
    EXPECT_FALSE(HTMLIsWinXPVersion(5, 0));
    EXPECT_TRUE(HTMLIsWinXPVersion(5, 1));
    EXPECT_TRUE(HTMLIsWinXPVersion(6, 0));
    EXPECT_FALSE(HTMLIsWinXPVersion(4, 9));
}

} // namespace
