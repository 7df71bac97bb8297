#include "grid/core/base/GridUtils.h"

#include "platform/base/Classes.h"
#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <array>

namespace {
constexpr char CR = '\r';
constexpr char LF = '\n';

std::string replaceChars(std::string_view text, char from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == from)
            out += to;
        else
            out += c;
    }
    return out;
}

bool contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// Digits of the Unicode number categories: ASCII 0-9 and the common non-ASCII digit,
// letter-number and other-number blocks.
bool isDigit(char32_t c) {
    if (c < 0x80) return c >= '0' && c <= '9';
    static const std::array<std::pair<char32_t, char32_t>, 30> ranges = {{
        {0x00B2, 0x00B3}, {0x00B9, 0x00B9}, {0x00BC, 0x00BE}, {0x0660, 0x0669}, {0x06F0, 0x06F9},
        {0x07C0, 0x07C9}, {0x0966, 0x096F}, {0x09E6, 0x09EF}, {0x0A66, 0x0A6F}, {0x0AE6, 0x0AEF},
        {0x0B66, 0x0B6F}, {0x0BE6, 0x0BF2}, {0x0C66, 0x0C6F}, {0x0CE6, 0x0CEF}, {0x0D66, 0x0D6F},
        {0x0E50, 0x0E59}, {0x0ED0, 0x0ED9}, {0x0F20, 0x0F33}, {0x1040, 0x1049}, {0x17E0, 0x17E9},
        {0x1810, 0x1819}, {0x2070, 0x2070}, {0x2074, 0x2079}, {0x2080, 0x2089}, {0x2150, 0x2189},
        {0x2460, 0x249B}, {0x24EA, 0x24FF}, {0x2776, 0x2793}, {0x3007, 0x3007}, {0xFF10, 0xFF19},
    }};
    for (const auto& [lo, hi] : ranges)
        if (c >= lo && c <= hi) return true;
    return false;
}

bool isNumericChar(char32_t c) {
    const TFormatSettings& fs = FormatSettings();
    return isDigit(c) || c == char32_t(fs.ThousandSeparator) ||
           c == char32_t(fs.DecimalSeparator) || c == 'e' || c == 'E';
}

bool isSignedNumericChar(char32_t c) {
    return isNumericChar(c) || c == '+' || c == '-';
}

bool isNumberTextChar(char32_t c) {
    return isDigit(c) || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+';
}

// Whole number after leading blanks, as the model's integer conversion reads it.
bool toInt(std::string_view text, int& value) {
    return TryStrToInt(TrimLeft(text), value);
}

std::string upperChar(char32_t c) {
    return AnsiUpperCase(CodePointToUtf8(c));
}
std::string lowerChar(char32_t c) {
    return AnsiLowerCase(CodePointToUtf8(c));
}
} // namespace

// --- text and search helpers ---------------------------------------------------------------
int LimitValue(int Value, int Lower, int Upper) {
    if (Lower == Upper) return Value;
    int result = Value;
    if (Value < Lower && Lower > 0) result = Lower;
    if (Value > Upper && Upper > 0) result = Upper;
    return result;
}

bool CellInGridRect(const TRect& GridRect, int Col, int Row) {
    return GridRect.Left <= Col && Col <= GridRect.Right && GridRect.Top <= Row &&
           Row <= GridRect.Bottom;
}

int CharPos(char Ch, std::string_view Text) {
    const auto p = Text.find(Ch);
    return p == std::string_view::npos ? 0 : int(p) + 1;
}

int CharPosVar(char Ch, std::string_view Text, int& Position) {
    const int p = CharPos(Ch, Text);
    if (p > 0) Position = p;
    return p;
}

int VarPos(std::string_view Sub, std::string_view Text, int& Position) {
    Position = Pos(Sub, Text);
    return Position;
}

int PosInUpperCase(std::string_view Sub, std::string_view Text) {
    return Pos(Sub, AnsiUpperCase(Text));
}

int WidePos(std::u16string_view Sub, std::u16string_view Text) {
    if (Sub.empty()) return 0;
    const auto p = Text.find(Sub);
    return p == std::u16string_view::npos ? 0 : int(p) + 1;
}

int CountChar(char Ch, std::string_view Text) {
    return int(std::count(Text.begin(), Text.end(), Ch));
}

std::string SplitOffToken(std::string& Text, std::string_view Delimiter) {
    if (Delimiter.empty()) return {};
    const auto p = Text.find(Delimiter);
    if (p == std::string::npos) return {};
    std::string token = Text.substr(0, p);
    Text.erase(0, p + Delimiter.size());
    return token;
}

std::string ConcatStrings(const TStrings& Strings) {
    std::string out;
    for (int i = 0; i < Strings.Count(); ++i) out += Strings.Get(i);
    return out;
}

void FillStringChar(std::string& Text, char Ch) {
    Text.assign(Utf8Length(Text), Ch);
}

char FindUnquotedChar(std::string_view Chars, std::string_view Text, int& Position) {
    bool inQuotes = false;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '"') inQuotes = !inQuotes;
        if (!inQuotes && Chars.find(Text[i]) != std::string_view::npos) {
            Position = int(i) + 1;
            return Text[i];
        }
    }
    Position = -1;
    return '\0';
}

// --- cell text kinds and packed wide text ----------------------------------------------------
int GetCellTextKind(std::string_view Text, bool MarkupEnabled) {
    if (Text.empty()) return ctkPlain;
    const std::string s = std::string(Text) + ' ';
    if (s[0] == '=') return ctkFormula;
    if (s[0] == '|' && s[1] == '\\') {
        if (s.size() > 4 && s[3] == '=' && s[4] == '\0') return ctkFormula;
        return ctkPackedWide;
    }
    if (s[0] == '{' && s[1] == '\\') return ctkRTF;
    if (!MarkupEnabled) return ctkPlain;
    for (const char* tag : {"</", "<B", "<I", "<C"})
        if (s.find(tag) != std::string::npos) return ctkMarkup;
    return ctkPlain;
}

std::string EncodePackedWideText(std::u16string_view Text) {
    std::string out = "|\\";
    for (char16_t u : Text) {
        out += CodePointToUtf8(char32_t(u >> 8));
        out += CodePointToUtf8(char32_t(u & 0xFF));
    }
    return out;
}

std::u16string DecodePackedWideText(std::string_view Text) {
    if (!Text.starts_with("|\\")) return Utf8ToWide(Text);
    const std::u32string chars = Utf8ToUtf32(Text.substr(2));
    std::u16string out;
    for (std::size_t i = 0; i + 1 < chars.size(); i += 2)
        out += char16_t(((chars[i] & 0xFF) << 8) | (chars[i + 1] & 0xFF));
    return out;
}

// --- numbers ------------------------------------------------------------------------------------
int NumberTextKind(std::string_view Text) {
    if (Text.empty()) return ntkNotANumber;
    const TFormatSettings& fs = FormatSettings();
    const char32_t thousand = char32_t(fs.ThousandSeparator);
    const char32_t decimal = char32_t(fs.DecimalSeparator);
    const std::u32string s = Utf8ToUtf32(Text);
    const std::size_t n = s.size();
    bool allInteger = true, plain = true, exponentOk = true, hasExponent = false;
    std::size_t lastThousand = 0; // 0 = none
    int decimals = 0, minuses = 0;
    for (std::size_t i = 1; i <= n; ++i) {
        const char32_t c = s[i - 1];
        const bool isE = c == 'e' || c == 'E';
        if (!(isDigit(c) || c == '-')) allInteger = false;
        if (isE) {
            if (hasExponent) exponentOk = false;
            hasExponent = true;
        }
        if (i > 1 && c == '-') allInteger = plain = false;
        if (i == 1 && isE) exponentOk = false;
        if (i == n && (isE || c == '+' || c == '-')) exponentOk = false;
        if (!(isDigit(c) || c == '-' || c == thousand || c == decimal)) plain = false;
        if (!isSignedNumericChar(c) || c == thousand) exponentOk = false;
        if (c == thousand && lastThousand != 0 && i - lastThousand < 4) plain = false;
        if (c == thousand) lastThousand = i;
        if (c == decimal) ++decimals;
        if (c == '-') ++minuses;
    }
    if (allInteger) return ntkInteger;
    int result = ntkNotANumber;
    if (plain && !hasExponent) result = ntkDecimal;
    if (exponentOk && hasExponent) {
        result = ntkExponent;
        if (minuses == 2) minuses = 1;
    }
    if (minuses > 1 || decimals > 1) result = ntkNotANumber;
    return result;
}

std::string ExtractNumericText(std::string_view Text) {
    if (Text.empty()) return {};
    const TFormatSettings& fs = FormatSettings();
    std::u32string s = Utf8ToUtf32(Trim(Text));
    bool negative = !s.empty() && s.front() == '(' && s.back() == ')';
    std::size_t start = 0;
    while (s.size() - start >= 2 && !isNumericChar(s[start])) {
        if (s[start] == '-') negative = true;
        ++start;
    }
    std::string out;
    for (std::size_t i = start; i < s.size(); ++i) {
        const char32_t c = s[i];
        if (c == char32_t(fs.ThousandSeparator)) continue;
        if (c == char32_t(fs.DecimalSeparator))
            out += '.';
        else if (isNumberTextChar(c))
            out += CodePointToUtf8(c);
        else
            break;
    }
    if (negative) out.insert(out.begin(), '-');
    return out;
}

std::string NormalizeNumberText(std::string_view Text) {
    const TFormatSettings& fs = FormatSettings();
    std::string out;
    out.reserve(Text.size());
    for (char c : Text) {
        if (c == fs.DecimalSeparator)
            out += '.';
        else if (c != fs.ThousandSeparator)
            out += c;
    }
    return out;
}

// --- dates --------------------------------------------------------------------------------------
bool ParseLocaleDateTime(std::string_view Text, TDateTime& Value) {
    const TFormatSettings& fs = FormatSettings();
    const std::string format = UpperCase(fs.ShortDateFormat);
    struct Field {
        char letter;
        int pos;
    };
    std::array<Field, 3> order = {
        {{'D', Pos("D", format)}, {'M', Pos("M", format)}, {'Y', Pos("Y", format)}}};
    std::stable_sort(order.begin(), order.end(),
                     [](const Field& a, const Field& b) { return a.pos < b.pos; });

    const std::string_view text = Text;
    const auto sep1 = text.find(fs.DateSeparator);
    if (sep1 == std::string_view::npos) return false;
    const auto sep2 = text.find(fs.DateSeparator, sep1 + 1);
    if (sep2 == std::string_view::npos) return false;
    int values[3] = {0, 0, 0};
    if (!toInt(text.substr(0, sep1), values[0])) return false;
    if (!toInt(text.substr(sep1 + 1, sep2 - sep1 - 1), values[1])) return false;
    std::string rest = Trim(text.substr(sep2 + 1));
    std::string timeText;
    if (const auto blank = rest.find(' '); blank != std::string::npos) {
        timeText = rest.substr(blank);
        rest.erase(blank);
    }
    if (!toInt(rest, values[2])) return false;
    int day = 0, month = 0, year = 0;
    for (int k = 0; k < 3; ++k) {
        if (order[k].letter == 'D')
            day = values[k];
        else if (order[k].letter == 'M')
            month = values[k];
        else
            year = values[k];
    }
    if (day > 31 || month > 12) return false;

    int hour = 0, minute = 0, second = 0;
    if (!timeText.empty()) {
        const auto t1 = timeText.find(fs.TimeSeparator);
        if (t1 == std::string::npos) return false;
        if (!toInt(std::string_view(timeText).substr(0, t1), hour) || hour > 23) return false;
        const std::string_view after = std::string_view(timeText).substr(t1 + 1);
        if (const auto t2 = after.find(fs.TimeSeparator); t2 != std::string_view::npos) {
            if (!toInt(after.substr(0, t2), minute)) return false;
            if (!toInt(after.substr(t2 + 1), second) || second > 60) return false;
        } else if (!toInt(after, minute)) {
            return false;
        }
        if (minute > 59) return false;
    }
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, 0, time))
        return false;
    Value = ComposeDateTime(date, time);
    return true;
}

namespace {
// Fields of a short date separated by "/", "." or "-"; false when they do not convert.
bool splitShortDate(std::string_view text, int (&v)[3], int& yearDigits) {
    char sep = '-';
    if (contains(text, '/'))
        sep = '/';
    else if (contains(text, '.'))
        sep = '.';
    const auto p1 = text.find(sep);
    if (p1 == std::string_view::npos) return false;
    const auto p2 = text.find(sep, p1 + 1);
    if (p2 == std::string_view::npos) return false;
    const std::string_view third = text.substr(p2 + 1);
    if (!toInt(text.substr(0, p1), v[0]) || !toInt(text.substr(p1 + 1, p2 - p1 - 1), v[1]) ||
        !toInt(third, v[2]))
        return false;
    const std::string digits = Trim(third);
    yearDigits = int(digits.size()) - (digits.starts_with('-') || digits.starts_with('+'));
    return true;
}

// Two-digit years fall in the hundred years around the current one; longer years stay as
// written.
int expandYear(int year, int digits) {
    return digits > 2 ? year : ExpandTwoDigitYear(year);
}
} // namespace

TDateTime ParseShortDateUS(std::string_view Text) {
    int v[3], digits = 0;
    if (!splitShortDate(Text, v, digits)) return 0;
    return EncodeDate(expandYear(v[2], digits), v[0], v[1]);
}

TDateTime ParseShortDateEU(std::string_view Text) {
    int v[3], digits = 0;
    if (!splitShortDate(Text, v, digits)) return 0;
    return EncodeDate(expandYear(v[2], digits), v[1], v[0]);
}

bool LooksLikeDate(std::string_view Text) {
    const char sep = FormatSettings().DateSeparator;
    const auto p1 = Text.find(sep);
    if (p1 == std::string_view::npos || p1 < 1) return false;
    const auto p2 = Text.find(sep, p1 + 1);
    return p2 != std::string_view::npos && p2 > p1 + 1;
}

double IncDateStep(int Years, int Months, int Days, double Base, double Step) {
    int y, m, d;
    DecodeDate(Base, y, m, d);
    if (Days != 0 && Years == 0 && Months == 0) return Base + Days;
    if (Years != 0 && Months == 0 && Days == 0) return EncodeDate(y + Years, m, d);
    if (Months != 0 && Years == 0 && Days == 0) {
        // Carries whole years for any step, also steps beyond twelve months.
        long long total = (long long)y * 12 + (m - 1) + Months;
        long long ny = total >= 0 ? total / 12 : (total - 11) / 12;
        return EncodeDate(int(ny), int(total - ny * 12) + 1, d);
    }
    return Base + Step;
}

// --- line breaks --------------------------------------------------------------------------------
namespace {
// The short form: every CR becomes TAB, LF backspace, NUL #1; read back only when it holds a
// backspace. It loses a TAB, a backspace or #1 of the text and a CR without any LF.
std::string shortLineBreaks(std::string_view Text) {
    std::string out(Text);
    for (char& c : out) {
        if (c == CR)
            c = '\t';
        else if (c == LF)
            c = '\b';
        else if (c == '\0')
            c = '\x01';
    }
    return out;
}

// The escaped form, for texts the short form would change: #2 first, then the text with CR,
// LF, TAB, NUL and #2 written as #2 and a letter.
constexpr char Esc = '\x02';

std::string escapedLineBreaks(std::string_view Text) {
    std::string out(1, Esc);
    for (char c : Text) {
        const char* code = c == CR     ? "r"
                           : c == LF   ? "n"
                           : c == '\t' ? "t"
                           : c == '\0' ? "0"
                                       : nullptr;
        if (c == Esc) code = "e";
        if (code) {
            out += Esc;
            out += *code;
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescapeLineBreaks(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 1; i < Text.size(); ++i) {
        char c = Text[i];
        if (c == Esc && i + 1 < Text.size()) {
            char k = Text[++i];
            c = k == 'r' ? CR : k == 'n' ? LF : k == 't' ? '\t' : k == '0' ? '\0' : Esc;
        }
        out += c;
    }
    return out;
}

std::string decodeShortLineBreaks(std::string_view Text) {
    std::string out(Text);
    for (char& c : out) {
        if (c == '\t')
            c = CR;
        else if (c == '\b')
            c = LF;
        else if (c == '\x01')
            c = '\0';
    }
    return out;
}
} // namespace

// The short form where it reads back exactly; the escaped form otherwise. A text with a line
// feed is encoded too, so that it stays on one line.
std::string EncodeLineBreaks(std::string_view Text) {
    std::string encoded =
        contains(Text, CR) || contains(Text, LF) ? shortLineBreaks(Text) : std::string(Text);
    bool decodes = contains(encoded, '\b');
    bool exact = !encoded.starts_with(Esc) &&
                 (decodes ? decodeShortLineBreaks(encoded) == Text : encoded == Text);
    return exact ? encoded : escapedLineBreaks(Text);
}

std::string DecodeLineBreaks(std::string_view Text, bool MultiLine) {
    std::string out;
    if (Text.starts_with(Esc))
        out = unescapeLineBreaks(Text);
    else if (contains(Text, '\b'))
        out = decodeShortLineBreaks(Text);
    else
        return std::string(Text);
    if (!MultiLine) {
        std::string line;
        GetNextLine(out, false, line);
        return line;
    }
    return out;
}

std::string EscapeLineBreaks(std::string_view Text) {
    std::string out;
    for (char c : Text) {
        if (c == CR)
            out += "\\n";
        else if (c != LF)
            out += c;
    }
    return out;
}

std::string UnescapeLineBreaks(std::string_view Text) {
    return StringReplaceAll(Text, "\\n", "\r");
}

std::string CRToBR(std::string_view Text) {
    if (!contains(Text, CR)) return std::string(Text);
    return replaceChars(Text, CR, "<br>");
}

std::string CRToLF(std::string_view Text) {
    return replaceChars(Text, CR, "\n");
}

std::string RemoveCR(std::string_view Text) {
    return replaceChars(Text, CR, "");
}

std::string CRLFToLF(std::string_view Text) {
    return StringReplaceAll(Text, "\r\n", "\n");
}

std::string QuoteMultiLineText(std::string_view Text) {
    return "\"" + StringReplaceAll(Text, "\r\n", "\x0b") + "\"";
}

std::string LTToCRLF(std::string_view Text) {
    if (!contains(Text, '\x0b')) return std::string(Text);
    return replaceChars(Text, '\x0b', "\r\n");
}

std::string CRLFToTilde(std::string_view Text) {
    std::string out;
    for (char c : Text) {
        if (c == CR)
            out += '~';
        else if (c != LF)
            out += c;
    }
    return out;
}

std::string TildeToCRLF(std::string_view Text) {
    std::string out = replaceChars(Text, '~', "\r\n");
    if (out == "^") out.clear();
    return out;
}

void GetNextLine(std::string& Text, bool KeepRest, std::string& Line) {
    const auto p = Text.find(CR);
    if (p == std::string::npos) {
        Line = Text;
        Text.clear();
        return;
    }
    Line = Text.substr(0, p);
    std::size_t cut = p + 1;
    if (cut < Text.size() && Text[cut] == LF) ++cut;
    Text.erase(0, cut);
    if (!KeepRest) Text.clear();
}

int CountLines(std::string_view Text, bool MultiLine) {
    return MultiLine ? 1 + CountChar(CR, Text) : 1;
}

// --- CSV --------------------------------------------------------------------------------------
std::string QuoteDoubleQuotes(std::string_view Text) {
    return replaceChars(Text, '"', "\"\"");
}

std::string UndoubleChar(char Ch, std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        out += Text[i];
        if (Text[i] == Ch && i + 1 < Text.size() && Text[i + 1] == Ch) ++i;
    }
    return out;
}

int FindClosingQuote(char Quote, std::string_view Text) {
    int run = 0;
    const int n = int(Text.size());
    for (int i = 1; i <= n; ++i) {
        if (Text[i - 1] == Quote) {
            if (i == n) return i;
            ++run;
        } else if (run % 2 == 1) {
            return i - 1;
        } else {
            run = 0;
        }
    }
    return 0;
}

int CountClosingQuotes(char Quote, std::string_view Text) {
    int count = 0;
    for (int p = FindClosingQuote(Quote, Text); p > 0; p = FindClosingQuote(Quote, Text)) {
        ++count;
        Text.remove_prefix(std::size_t(p));
    }
    return count;
}

namespace {
// Code page 850, bytes 0x80-0xFF.
constexpr char16_t cp850[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};
// Code page 1252, bytes 0x80-0x9F; the unassigned bytes map to the C1 controls.
constexpr char16_t cp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t fromCp850(unsigned char b) {
    return b < 0x80 ? b : cp850[b - 0x80];
}
char32_t fromCp1252(unsigned char b) {
    return (b < 0x80 || b >= 0xA0) ? b : cp1252[b - 0x80];
}

// The byte of a code page for c, '?' when the page lacks it.
template <typename F> unsigned char toPage(char32_t c, F decode) {
    if (c < 0x80) return (unsigned char)c;
    for (int b = 0x80; b <= 0xFF; ++b)
        if (decode((unsigned char)b) == c) return (unsigned char)b;
    return '?';
}

std::string recode(const std::string& text, char32_t (*from)(unsigned char),
                   char32_t (*to)(unsigned char)) {
    std::u32string out;
    for (char32_t c : Utf8ToUtf32(text)) out += from(toPage(c, to));
    return Utf32ToUtf8(out);
}
} // namespace

void StringToOem(std::string& Text) {
    Text = recode(Text, fromCp1252, fromCp850);
}

void OemToString(std::string& Text) {
    Text = recode(Text, fromCp850, fromCp1252);
}

// --- HTML and links ---------------------------------------------------------------------------
void MakeClipboardHTML(std::string& Text) {
    static constexpr std::string_view head =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
        "<html><head><META http-equiv=Content-Type content=\"text/html; "
        "charset=utf-8\"></head><body><!--StartFragment-->";
    static constexpr std::string_view tail = "<!--EndFragment--></body></html>";
    // The header has the same length whatever its numbers.
    const long long start = 97, fragment = start + (long long)head.size();
    const long long end = fragment + (long long)Text.size();
    std::string out = "Version:1.0\r\n";
    out += Format("StartHTML:%.8d\r\n", start);
    out += Format("EndHTML:%.8d\r\n", end + (long long)tail.size());
    out += Format("StartFragment:%.8d\r\n", fragment);
    out += Format("EndFragment:%.8d\r\n", end);
    out += head;
    out += Text;
    out += tail;
    Text = std::move(out);
}

std::string ColorToHTMLHex(TColor Color) {
    const TColor c = ColorToRGB(Color);
    return IntToHex(GetRValue(c), 2) + IntToHex(GetGValue(c), 2) + IntToHex(GetBValue(c), 2);
}

bool MakeURLLink(std::string_view Text, std::string_view Prefix, std::string& Result) {
    if (Pos(Prefix, UpperCase(Text)) == 0) return false;
    std::string out = StringReplaceAll(StringReplaceAll(Text, "<", "&lt;"), ">", "&gt;");
    const int p = Pos(Prefix, UpperCase(out));
    if (p == 0) return false; // the prefix held "<" or ">"
    const auto isUrlChar = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               std::string_view("%()-./:@\\_{}").find(c) != std::string_view::npos;
    };
    std::size_t start = std::size_t(p - 1), end = start;
    while (end < out.size() && isUrlChar(out[end])) ++end;
    const std::string url = out.substr(start, end - start);
    out.insert(end, "</a>");
    out.insert(start, "<a href=\"" + url + "\">");
    Result = std::move(out);
    return true;
}

bool IsURL(std::string_view Text) {
    return Text.find("://") != std::string_view::npos ||
           Text.find("mailto:") != std::string_view::npos;
}

void StripURLProtocol(std::string& Text) {
    if (const auto p = Text.find("://"); p != std::string::npos)
        Text.erase(0, p + 3);
    else if (const auto m = Text.find("mailto:"); m != std::string::npos)
        Text.erase(0, m + 7);
}

bool ParseCellReference(std::string_view Text, TPoint& Cell) {
    const std::string s = UpperCase(Text);
    if (s.size() <= 3 || s[0] != 'R') return false;
    const auto c = s.find('C', 1);
    if (c == std::string::npos) return false;
    int row = 0, col = 0;
    if (!TryStrToInt(std::string_view(s).substr(1, c - 1), row) ||
        !TryStrToInt(std::string_view(s).substr(c + 1), col))
        return false;
    Cell = TPoint(col, row);
    return true;
}

std::string CapitalizeWords(std::string_view Text) {
    const std::u32string s = Utf8ToUtf32(Text);
    const std::size_t n = s.size();
    std::u32string result;
    bool capitalize = true;
    const std::u32string mc = U" Mc";
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = s[i];
        if (c == ' ' || c == '\'' || c == ',' || c == '-' || c == '.') {
            capitalize = true;
            result += c;
        } else {
            const std::u32string mapped = Utf8ToUtf32(capitalize ? upperChar(c) : lowerChar(c));
            result += mapped.size() == 1 ? mapped[0] : c;
            capitalize = false;
        }
        const std::size_t pos = i + 1;
        if (result == U"Mc") {
            capitalize = true;
        } else if (const auto m = result.find(mc);
                   m != std::u32string::npos && m + mc.size() == result.size() && pos > 2) {
            capitalize = true;
        } else if (pos + 3 > n) {
            if ((result.size() >= 2 && result.compare(result.size() - 2, 2, U" I") == 0) ||
                (result.size() >= 3 && result.compare(result.size() - 3, 3, U" II") == 0))
                capitalize = true;
        }
    }
    return Utf32ToUtf8(result);
}
