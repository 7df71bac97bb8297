#include "grid/core/base/FilterMatch.h"

#include "grid/core/base/GridUtils.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <memory>

namespace {
constexpr std::size_t MaxOperandChars = 255;

// "*" any run, "?" one character, anything else itself. Greedy with one backtrack point (the
// last star), so the cost stays within pattern length times value length.
template <typename Char>
bool wildcardMatch(std::basic_string_view<Char> pattern, std::basic_string_view<Char> value) {
    constexpr std::size_t none = std::basic_string_view<Char>::npos;
    std::size_t p = 0, v = 0;
    std::size_t starP = none, starV = 0;
    while (v < value.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starV = v;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == value[v])) {
            ++p;
            ++v;
        } else if (starP != none) {
            p = starP + 1;
            v = ++starV;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// "!" anywhere negates the match; double quotes are not part of the pattern.
bool wildcardMatchPattern(std::string_view pattern, std::string_view value) {
    bool negate = false;
    std::u32string pat;
    for (char32_t c : Utf8ToUtf32(pattern)) {
        if (c == '!')
            negate = true;
        else if (c != '"')
            pat += c;
    }
    return wildcardMatch<char32_t>(pat, Utf8ToUtf32(value)) != negate;
}

// The operand after the comparison sign at signPos (0-based); an "=" right after the sign
// makes the comparison inclusive. Blanks inside double quotes belong to the operand.
std::string readOperand(std::string_view pattern, std::size_t signPos, bool& inclusive) {
    std::size_t i = signPos + 1;
    inclusive = i < pattern.size() && pattern[i] == '=';
    if (inclusive) ++i;
    while (i < pattern.size() && pattern[i] == ' ') ++i;
    const std::size_t start = i;
    bool quoted = false;
    for (; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == ' ' || c == '&' || c == '|')) break;
    }
    std::string_view operand = pattern.substr(start, i - start);
    if (operand.starts_with('"')) operand.remove_prefix(1);
    if (operand.ends_with('"')) operand.remove_suffix(1);
    return Utf8Substr(operand, 0, MaxOperandChars);
}

// "." as decimal point; the whole text must convert.
bool strictFloat(std::string_view text, double& value) {
    if (text.starts_with('+')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool asNumber(std::string_view text, double& value) {
    TDateTime dt = 0;
    if (ParseLocaleDateTime(text, dt)) return false;
    return strictFloat(NormalizeNumberText(text), value);
}

// -1, 0 or 1 for value against operand: as numbers, else as date-times, else as texts.
int compareValues(std::string_view value, std::string_view operand) {
    double a = 0, b = 0;
    if (asNumber(value, a) && asNumber(operand, b)) return a < b ? -1 : (a > b ? 1 : 0);
    TDateTime da = 0, db = 0;
    if (ParseLocaleDateTime(value, da) && ParseLocaleDateTime(operand, db))
        return da < db ? -1 : (da > db ? 1 : 0);
    const int c = Utf8Substr(value, 0, MaxOperandChars).compare(operand);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool has(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

void join(bool& result, char op, bool d) {
    switch (op) {
    case '\0':
        result = d;
        break;
    case '&':
        result = result && d;
        break;
    case ';':
    case '^':
    case '|':
        result = result || d;
        break;
    default:
        break; // after a group the part before the next operator is dropped
    }
}
} // namespace

std::string RemoveUnquotedBlanks(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    bool quoted = false;
    for (char c : Text) {
        if (c == '"') quoted = !quoted;
        if (c != ' ' || quoted) out += c;
    }
    return out;
}

int FindClosingParenthesis(std::string_view Text) {
    int open = 0, close = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '(')
            ++open;
        else if (Text[i] == ')' && ++close == open)
            return int(i) + 1;
    }
    return 0;
}

// One operand condition, parsed: its comparisons and its wildcard pattern.
struct TFilterCondition::Pattern {
    struct Bound {
        bool present = false, inclusive = false;
        std::string operand;
        bool isNumber = false;
        double number = 0;
    };
    Bound greater, less;
    bool bang = false, caret = false, amp = false;
    bool negate = false;
    std::u32string wildcard;
    // The same pattern in UTF-8: against an ASCII value a byte is a character, and no byte of a
    // wider character in the pattern equals one of the value.
    std::string wildcard8;

    explicit Pattern(std::string_view p) {
        auto bound = [&](Bound& b, char sign) {
            const auto at = p.find(sign);
            if (at == std::string_view::npos) return;
            b.present = true;
            b.operand = readOperand(p, at, b.inclusive);
            b.isNumber = asNumber(b.operand, b.number);
        };
        bound(greater, '>');
        bound(less, '<');
        bang = has(p, '!');
        caret = has(p, '^');
        amp = has(p, '&');
        for (char32_t c : Utf8ToUtf32(p)) {
            if (c == '!')
                negate = true;
            else if (c != '"')
                wildcard += c;
        }
        for (char c : p)
            if (c != '!' && c != '"') wildcard8 += c;
    }
    int compare(std::string_view value, const Bound& b) const {
        double a = 0;
        if (b.isNumber && asNumber(value, a)) return a < b.number ? -1 : (a > b.number ? 1 : 0);
        return compareValues(value, b.operand);
    }
    bool matches(std::string_view value, std::u32string_view value32, bool ascii) const {
        bool gt = true, lt = true;
        bool hasGreater = greater.present, hasLess = less.present;
        if (greater.present) {
            const int c = compare(value, greater);
            gt = greater.inclusive ? c >= 0 : c > 0;
        }
        if (less.present) {
            const int c = compare(value, less);
            lt = less.inclusive ? c <= 0 : c < 0;
        }
        if (bang) hasGreater = hasLess = true;
        if (caret && (hasGreater || hasLess)) return gt || lt;
        if (amp && hasGreater && hasLess) return gt && lt;
        if (greater.present && gt) return true;
        if (less.present && lt) return true;
        const bool hit = ascii ? wildcardMatch<char>(wildcard8, value)
                               : wildcardMatch<char32_t>(wildcard, value32);
        return hit != negate;
    }
};

// A part of the condition: an operand condition or a group, joined to the result so far by
// the operator before it.
struct TFilterCondition::Step {
    char op = '\0';
    std::unique_ptr<Pattern> pattern;
    std::unique_ptr<TFilterCondition> group;
    bool matches(std::string_view value, std::u32string_view value32, bool ascii) const {
        if (pattern) return pattern->matches(value, value32, ascii);
        return group && group->matchesPrepared(value, value32, ascii);
    }
};

TFilterCondition::TFilterCondition(std::string_view Condition, bool CaseSensitive)
    : caseSensitive_(CaseSensitive) {
    std::string cond = RemoveUnquotedBlanks(Trim(Condition));
    if (cond.starts_with('=')) cond.erase(0, 1);
    auto operand = [&](std::string_view text) {
        return std::make_unique<Pattern>(CaseSensitive ? std::string(text) : AnsiUpperCase(text));
    };
    char previous = '\0';
    // The parts are taken off the front of a view, so the parse stays linear in the text.
    std::string_view rest = cond;
    for (;;) {
        int position = 0;
        const char op = FindUnquotedChar("(;^&|", rest, position);
        if (op == '\0') break;
        Step step;
        step.op = previous;
        if (rest.starts_with('(')) {
            const int e = FindClosingParenthesis(rest);
            if (e == 0) {
                // An unclosed group matches nothing and ends the condition.
                rest = {};
            } else {
                step.group = std::make_unique<TFilterCondition>(rest.substr(1, std::size_t(e) - 2),
                                                                CaseSensitive);
                rest.remove_prefix(std::size_t(e));
            }
        } else {
            step.pattern = operand(rest.substr(0, std::size_t(position) - 1));
            rest.remove_prefix(std::size_t(position));
        }
        steps_.push_back(std::move(step));
        previous = op;
    }
    Step last;
    last.op = previous;
    last.pattern = operand(rest);
    steps_.push_back(std::move(last));
}

TFilterCondition::~TFilterCondition() = default;

bool TFilterCondition::matchesPrepared(std::string_view value, std::u32string_view value32,
                                       bool ascii) const {
    bool result = true;
    for (const Step& s : steps_) join(result, s.op, s.matches(value, value32, ascii));
    return result;
}

bool TFilterCondition::Matches(std::string_view Value) const {
    // The value is decoded once for all the condition's patterns, into buffers kept between
    // calls; plain ASCII is upper-cased in place and matched as it is.
    const bool ascii =
        std::all_of(Value.begin(), Value.end(), [](char c) { return (unsigned char)c < 0x80; });
    std::string_view text = Value;
    if (!caseSensitive_) {
        if (ascii) {
            upper_.assign(Value);
            for (char& c : upper_)
                if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        } else {
            upper_ = AnsiUpperCase(Value);
        }
        text = upper_;
    }
    if (ascii) return matchesPrepared(text, {}, true);
    wide_ = Utf8ToUtf32(text);
    return matchesPrepared(text, wide_, false);
}

bool MatchFilterPattern(std::string_view Pattern, std::string_view Value) {
    bool greater = true, less = true;
    bool hasGreater = false, hasLess = false;
    const auto gt = Pattern.find('>');
    if (gt != std::string_view::npos) {
        bool inclusive = false;
        const std::string operand = readOperand(Pattern, gt, inclusive);
        const int c = compareValues(Value, operand);
        greater = inclusive ? c >= 0 : c > 0;
        hasGreater = true;
    }
    const auto lt = Pattern.find('<');
    if (lt != std::string_view::npos) {
        bool inclusive = false;
        const std::string operand = readOperand(Pattern, lt, inclusive);
        const int c = compareValues(Value, operand);
        less = inclusive ? c <= 0 : c < 0;
        hasLess = true;
    }
    if (has(Pattern, '!')) {
        hasGreater = true;
        hasLess = true;
    }
    if (has(Pattern, '^') && (hasGreater || hasLess)) return greater || less;
    if (has(Pattern, '&') && hasGreater && hasLess) return greater && less;
    if (gt != std::string_view::npos && greater) return true;
    if (lt != std::string_view::npos && less) return true;
    return wildcardMatchPattern(Pattern, Value);
}

bool MatchFilterValue(std::string_view Condition, std::string_view Value, bool CaseSensitive) {
    if (CaseSensitive) return MatchFilterPattern(Condition, Value);
    return MatchFilterPattern(AnsiUpperCase(Condition), AnsiUpperCase(Value));
}

bool MatchFilterCondition(std::string_view Condition, std::string_view Value, bool CaseSensitive) {
    return TFilterCondition(Condition, CaseSensitive).Matches(Value);
}
