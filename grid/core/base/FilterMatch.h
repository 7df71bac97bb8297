#pragma once
// The condition language of grid filters and pattern finds: comparisons (">", ">=", "<", "<="),
// wildcards ("*", "?"), negation ("!"), "&" and "|" (also ";" and "^") joined strictly from
// left to right, groups in parentheses and double-quoted literal text.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A condition parsed once, to be matched against every value of a filtered column.
class TFilterCondition {
public:
    TFilterCondition(std::string_view Condition, bool CaseSensitive);
    ~TFilterCondition();
    TFilterCondition(const TFilterCondition&) = delete;
    TFilterCondition& operator=(const TFilterCondition&) = delete;
    bool Matches(std::string_view Value) const;

private:
    struct Pattern;
    struct Step;
    bool matchesPrepared(std::string_view Value, std::u32string_view Value32, bool Ascii) const;
    std::vector<Step> steps_;
    bool caseSensitive_;
    mutable std::string upper_;
    mutable std::u32string wide_;
};

// One value against a condition (parsed for this call; TFilterCondition parses it once).
bool MatchFilterCondition(std::string_view Condition, std::string_view Value, bool CaseSensitive);
// One operand condition; without case sensitivity both texts are upper-cased first.
bool MatchFilterValue(std::string_view Condition, std::string_view Value, bool CaseSensitive);
// The operand matcher: comparisons, then a wildcard match of the whole pattern.
bool MatchFilterPattern(std::string_view Pattern, std::string_view Value);
// The text without the blanks that lie outside double quotes.
std::string RemoveUnquotedBlanks(std::string_view Text);
// 1-based position of the ")" that closes the first "("; 0 when none.
int FindClosingParenthesis(std::string_view Text);
