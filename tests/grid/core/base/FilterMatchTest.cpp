#include "grid/core/base/FilterMatch.h"

#include "platform/base/FormatSettings.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace {
class FilterMatch : public ::testing::Test {
protected:
    void TearDown() override { ResetFormatSettings(); }
};

struct Case {
    const char* condition;
    const char* value;
    bool match;
};

void expectAll(const Case* begin, const Case* end, bool caseSensitive) {
    for (const Case* c = begin; c != end; ++c)
        EXPECT_EQ(MatchFilterCondition(c->condition, c->value, caseSensitive), c->match)
            << "condition " << c->condition << " value " << c->value;
}
} // namespace

TEST_F(FilterMatch, MatchesWildcardsAndNegation) {
    const Case cases[] = {
        {"abc", "abc", true},         {"=abc", "abc", true},   {"abc", "abcd", false},
        {"=abc", "abd", false},       {"a*", "a", true},       {"a*", "abc", true},
        {"a*", "ba", false},          {"*z", "abz", true},     {"a?c", "abc", true},
        {"a?c", "ac", false},         {"**b", "b", true},      {"*a*b*", "xxaxxbxx", true},
        {"*a*b*", "xxbxxaxx", false}, {"!abc", "abc", false},  {"!abc", "abd", true},
        {"!*x*", "abc", true},        {"!*x*", "axc", false},  {"\"a b\"", "a b", true},
        {"a b", "ab", true},          {"", "", true},          {"", "x", false},
        {"\"a&b\"", "a&b", true},     {"?", "\xc3\xa9", true}, // "?" is one character
    };
    expectAll(std::begin(cases), std::end(cases), true);
    // Wide characters in the pattern or the value.
    const Case wide[] = {
        {"??", "\xc3\xa9", false},        {"\xc3\xa9*", "ab", false},
        {"?\xc3\xa9", "a\xc3\xa9", true}, {"*\xc3\xa9", "caf\xc3\xa9", true},
        {"!\xc3\xa9", "e", true},         {"a?", "ab", true},
    };
    expectAll(std::begin(wide), std::end(wide), true);
}

TEST_F(FilterMatch, JoinsConditionsLeftToRightWithGroups) {
    const Case cases[] = {
        {"(a*|b*)&*z", "az", true},  {"(a*|b*)&*z", "bz", true},  {"(a*|b*)&*z", "abz", true},
        {"(a*|b*)&*z", "cz", false}, {"(a*|b*)&*z", "ab", false}, {"a|b", "b", true},
        {"a;b", "b", true},          {"a^b", "a", true},          {"a&b", "a", false},
        {"a|b&c", "a", false},       {"a|b&*", "a", true},        {"(a|b", "a", false},
        {"((a))", "a", true},        {"(a)|(b)", "b", true},
    };
    expectAll(std::begin(cases), std::end(cases), true);
}

TEST_F(FilterMatch, ComparesNumbersDatesAndTexts) {
    const Case cases[] = {
        {">10", "11", true},
        {">10", "10.5", true},
        {">10", "9", false},
        {">5", "5", false},
        {">=5", "5", true},
        {"<5", "5", false},
        {"<=5", "5", true},
        {">=10&<20", "10", true},
        {">=10&<20", "19.9", true},
        {">=10&<20", "20", false},
        {">9", "10", true},
        {">A", "B", true},
        {">A", "A", false},
        {"<b", "a", true},
        {"> 3", "4", true},
        {">01/02/2020", "15/01/2020", false},
        {">01/02/2020", "15/02/2020", true},
        {">1e3", "1001", true},
    };
    expectAll(std::begin(cases), std::end(cases), true);
}

TEST_F(FilterMatch, ReadsNumbersInTheLocale) {
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ThousandSeparator = '.';
    const Case cases[] = {
        {">1000", "1.000,5", true},
        {"<1000,6", "1.000,5", true},
        {">104", "10.5", true},
        {"<106", "10.5", true},
    };
    expectAll(std::begin(cases), std::end(cases), true);
}

TEST_F(FilterMatch, IgnoresCaseUnlessAsked) {
    EXPECT_TRUE(MatchFilterCondition("A*", "abc", false));
    EXPECT_FALSE(MatchFilterCondition("A*", "abc", true));
    EXPECT_TRUE(MatchFilterCondition("*\xc3\x89*", "caf\xc3\xa9", false)); // É matches é
}

TEST_F(FilterMatch, HelpersFindGroupsAndBlanks) {
    EXPECT_EQ(RemoveUnquotedBlanks(" a b \"c d\" e"), "ab\"c d\"e");
    EXPECT_EQ(FindClosingParenthesis("(a(b)c)d"), 7);
    EXPECT_EQ(FindClosingParenthesis("(a(b"), 0);
    EXPECT_EQ(FindClosingParenthesis("a)"), 0);
}

TEST_F(FilterMatch, ManyStarsOnALongValueFinishFast) {
    // A backtracking matcher needs time exponential in the stars here.
    const std::string pattern = std::string(30, '*').insert(0, "a*a*a*a*a*a*a*a*a*a*a*a*") + "b";
    const std::string value(20000, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(MatchFilterCondition(pattern, value, true));
    EXPECT_TRUE(MatchFilterCondition(pattern, value + "b", true));
    EXPECT_FALSE(MatchFilterCondition(pattern, value, false));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}
