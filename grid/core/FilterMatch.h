#pragma once
// The condition language of grid filters and pattern finds: comparisons (">", ">=", "<", "<="),
// wildcards ("*", "?"), negation ("!"), "&" and "|" (also ";" and "^") joined strictly from
// left to right, groups in parentheses and double-quoted literal text.
#include <string>
#include <string_view>

bool MatchFilterCondition(std::string_view Condition, std::string_view Value, bool CaseSensitive);
// One operand condition; without case sensitivity both texts are upper-cased first.
bool MatchFilterValue(std::string_view Condition, std::string_view Value, bool CaseSensitive);
// The operand matcher: comparisons, then a wildcard match of the whole pattern.
bool MatchFilterPattern(std::string_view Pattern, std::string_view Value);
// The text without the blanks that lie outside double quotes.
std::string RemoveUnquotedBlanks(std::string_view Text);
// 1-based position of the ")" that closes the first "("; 0 when none.
int FindClosingParenthesis(std::string_view Text);
