#include "platform/base/SysUtils.h"
#include "platform/base/FormatSettings.h"

#include <gtest/gtest.h>

#include <climits>

TEST(SysUtils, CountsCharactersNotBytes) {
    EXPECT_EQ(Utf8Length("Größe"), 5u);
    EXPECT_EQ(Utf8Substr("Größe", 2, 2), "öß");
    EXPECT_EQ(Utf8Length("\xff"), 1u); // a stray byte counts as one character
    EXPECT_EQ(AnsiUpperCase("gröe"), "GRÖE");
    EXPECT_EQ(UpperCase("abcä"), "ABCä");
}

TEST(SysUtils, ParsesWholeNumbersLikeStrToInt) {
    struct Case {
        const char* text;
        bool ok;
        long long value;
    };
    const Case cases[] = {
        {"0", true, 0},           {"-12", true, -12},
        {"+7", true, 7},          {"$FF", true, 255},
        {"0x10", true, 16},       {" 1", false, 0},
        {"1 ", false, 0},         {"", false, 0},
        {"12a", false, 0},        {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"-", false, 0},
    };
    for (const auto& c : cases) {
        int v = 0;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(StrToIntDef("x", 42), 42);
    EXPECT_THROW(StrToInt("x"), EConvertError);
}

// The extremes of 64 bits convert without signed overflow (the sanitizer build aborts on it).
TEST(SysUtils, ParsesSixtyFourBitExtremesWithoutOverflow) {
    struct Case {
        const char* text;
        bool ok;
        long long value;
    };
    const Case cases[] = {
        {"9223372036854775807", true, LLONG_MAX}, {"-9223372036854775808", true, LLONG_MIN},
        {"9223372036854775808", false, 0},        {"-9223372036854775809", false, 0},
        {"-$8000000000000000", true, LLONG_MIN},  {"$8000000000000000", true, LLONG_MIN},
        {"-$FFFFFFFFFFFFFFFF", true, 1},          {"-0x7FFFFFFFFFFFFFFF", true, -LLONG_MAX},
        {"$10000000000000000", false, 0},
    };
    for (const auto& c : cases) {
        long long v = 0;
        EXPECT_EQ(TryStrToInt64(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    int v = 0;
    EXPECT_FALSE(TryStrToInt("-$8000000000000000", v));
}

TEST(SysUtils, FormatsWithTheModelDirectives) {
    EXPECT_EQ(Format("%d-%s", 5, "a"), "5-a");
    EXPECT_EQ(Format("%.3d|%5s|%-4d|", 7, "ab", 3), "007|   ab|3   |");
    EXPECT_EQ(Format("%x %.4X", 255, 10), "FF 000A");
    EXPECT_EQ(Format("%.2f", 3.14159), "3.14");
    EXPECT_EQ(Format("%1:s %0:s", "a", "b"), "b a");
    EXPECT_EQ(Format("100%%"), "100%");
    EXPECT_THROW(Format("%d"), EConvertError);
    FormatSettings().DecimalSeparator = ',';
    EXPECT_EQ(Format("%.1f", 2.5), "2,5");
    EXPECT_DOUBLE_EQ(StrToFloat("2,5"), 2.5);
    ResetFormatSettings();
}

TEST(SysUtils, TrimsControlCharactersAndBlanks) {
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(Pos("b", "abc"), 2);
    EXPECT_EQ(Pos("z", "abc"), 0);
    EXPECT_EQ(StringReplaceAll("a.b.c", ".", "::"), "a::b::c");
}

TEST(SysUtils, MulDivRoundsHalfAwayFromZero) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {-11, 72, 96, -8}, {10, 3, 4, 8}, {5, 1, 2, 3}, {-5, 1, 2, -3}, {1, 1, 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}
