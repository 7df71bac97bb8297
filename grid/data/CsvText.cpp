#include "grid/data/CsvText.h"

#include "grid/core/base/GridUtils.h"

#include <algorithm>

namespace {
constexpr char Candidates[] = {',', ';', '#', '\t', '|', '@', '*', '-', '+', '&'};

bool holds(std::string_view s, char c) {
    return s.find(c) != std::string_view::npos;
}
} // namespace

void AppendCsvField(std::string& Line, std::string_view Text, const TCsvOptions& Options) {
    const char delimiter = Options.Delimiter ? Options.Delimiter : ',';
    // Most fields are written as they are.
    if (!Text.empty() && Text[0] != ' ' && !Options.AlwaysQuotes && !Options.OemConvert) {
        bool plain = true;
        for (char c : Text)
            if (c == '"' || c == delimiter || c == '\r' || c == '\n') {
                plain = false;
                break;
            }
        if (plain) {
            Line += Text;
            return;
        }
    }
    std::string s = holds(Text, '"') ? QuoteDoubleQuotes(Text) : std::string(Text);
    if (Options.OemConvert) StringToOem(s);
    const bool hasDelimiter = holds(s, delimiter);
    const bool hasBreak = s.find_first_of("\r\n") != std::string::npos;
    // A field that begins with a blank is quoted too: a reader drops blanks before a field.
    const bool quoted =
        Options.AlwaysQuotes || (!hasDelimiter && (holds(s, '"') || (!s.empty() && s[0] == ' ')));
    if (quoted) s = '"' + s + '"';
    if (s.empty()) {
        if (Options.JavaCSV)
            s = "^";
        else if (Options.QuoteEmptyCells)
            s = "\"\"";
    }
    if (hasDelimiter || hasBreak) {
        if (Options.JavaCSV) {
            s = CRLFToTilde(s);
            if (!quoted && hasDelimiter) s = '"' + s + '"';
        } else if (quoted) {
            s = CRLFToLF(s);
        } else {
            s = QuoteMultiLineText(s);
        }
    }
    Line += s;
}

char DetectCsvDelimiter(std::string_view Line1, std::string_view Line2) {
    char found = 0;
    int best = 0;
    // One pass over the candidates: with Both, the counts of the two lines must agree.
    auto pass = [&](int (*count)(char, std::string_view), bool Both) {
        for (char c : Candidates) {
            const int a = count(c, Line1), b = count(c, Line2);
            if (Both ? a == b && a > best : a > best || b > best) {
                found = c;
                best = std::max(a, b);
            }
        }
        return found != 0;
    };
    if (pass(CountClosingQuotes, true) || pass(CountChar, true)) return found;
    pass(CountChar, false);
    return found;
}

TCsvReader::TCsvReader(std::string_view Text, const TCsvOptions& Options)
    : text_(Text), options_(Options) {}

bool TCsvReader::atLineEnd(std::size_t p) const {
    return text_[p] == '\r' || text_[p] == '\n';
}

bool TCsvReader::readField(std::string& Field, bool& Quoted) {
    const std::size_t n = text_.size();
    Field.clear();
    Quoted = false;
    while (pos_ + 1 < n && text_[pos_] == ' ' && !atLineEnd(pos_ + 1)) ++pos_;
    if (pos_ < n && text_[pos_] == '"') {
        Quoted = true;
        ++pos_;
        while (pos_ < n) {
            const char c = text_[pos_];
            if (c == '"') {
                if (pos_ + 1 < n && text_[pos_ + 1] == '"') {
                    Field += '"';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            if (c == '\n' || (c == '\r' && pos_ + 1 < n && text_[pos_ + 1] == '\n')) {
                Field += "\r\n";
                pos_ += c == '\r' ? 2 : 1;
                continue;
            }
            Field += c;
            ++pos_;
        }
    }
    // Unquoted text, or what follows a closing quote, runs to the delimiter or the line end.
    const char d = options_.Delimiter;
    const std::size_t start = pos_;
    while (pos_ < n && (d == 0 || text_[pos_] != d) && !atLineEnd(pos_)) ++pos_;
    Field.append(text_, start, pos_ - start);
    if (d != 0 && pos_ < n && text_[pos_] == d) {
        ++pos_;
        return true;
    }
    return false;
}

bool TCsvReader::NextRecord(std::vector<std::string>& Fields) {
    Fields.clear();
    const std::size_t n = text_.size();
    if (pos_ >= n) return false;
    std::string field;
    bool quoted = false;
    for (;;) {
        const bool more = readField(field, quoted);
        if (!more && field.empty() && !quoted) break;
        if (options_.JavaCSV) {
            if (field == "^" || holds(field, '~')) field = TildeToCRLF(field);
        } else if (holds(field, '\x0b')) {
            field = LTToCRLF(field);
        }
        if (options_.OemConvert) OemToString(field);
        Fields.push_back(std::move(field));
        if (!more) break;
    }
    if (pos_ < n && text_[pos_] == '\r') {
        ++pos_;
        if (pos_ < n && text_[pos_] == '\n') ++pos_;
    } else if (pos_ < n && text_[pos_] == '\n') {
        ++pos_;
    }
    return true;
}

int TCsvReader::CountRecords() const {
    TCsvReader copy = *this;
    std::vector<std::string> fields;
    int count = 0;
    while (copy.NextRecord(fields)) ++count;
    return count;
}
