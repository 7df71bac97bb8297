#include "grid/data/SortKeys.h"

#include "grid/core/base/GridUtils.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/base/DateUtils.h"
#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>

int CompareUtf16Order(std::string_view A, std::string_view B) {
    const std::size_t n = std::min(A.size(), B.size());
    const auto [ia, ib] = std::mismatch(A.begin(), A.begin() + std::ptrdiff_t(n), B.begin());
    if (ia == A.begin() + std::ptrdiff_t(n))
        return A.size() < B.size() ? -1 : (A.size() > B.size() ? 1 : 0);
    return Utf16OrderByte(static_cast<unsigned char>(*ia)) <
                   Utf16OrderByte(static_cast<unsigned char>(*ib))
               ? -1
               : 1;
}

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isNumberText(std::string_view t) {
    // Plain integers and decimals are common: known without the full test.
    std::size_t i = t.starts_with('-') ? 1 : 0;
    if (i < t.size()) {
        bool digits = true;
        int decimals = 0;
        for (std::size_t k = i; k < t.size() && digits; ++k)
            if (t[k] == FormatSettings().DecimalSeparator && k > i && k + 1 < t.size())
                ++decimals;
            else if (!isDigit(t[k]))
                digits = false;
        if (digits && decimals <= 1) return true;
    }
    const int kind = NumberTextKind(t);
    return kind == ntkInteger || kind == ntkDecimal || kind == ntkExponent;
}

// The separator at the second or third character, with digits on both sides.
bool separatedByDigits(std::string_view t, char sep) {
    const auto p = t.find(sep);
    if (p == std::string_view::npos || (p != 1 && p != 2) || p + 1 >= t.size()) return false;
    return isDigit(t[p - 1]) && isDigit(t[p + 1]);
}

std::string upperAscii(std::string_view t) {
    std::string s(t);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

bool readWhole(std::string_view t, double& v) {
    if (t.starts_with('+')) t.remove_prefix(1);
    if (t.empty()) return false;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    return ec == std::errc() && end == t.data() + t.size() && !std::isnan(v);
}

double dateValue(TSortStyle style, std::string_view t) {
    if (t.empty()) return 0;
    TDateTime v = 0;
    try {
        switch (style) {
        case ssTime:
            return TryStrToTime(t, v) ? v : 0;
        case ssShortDateEU:
            return ParseShortDateEU(t);
        case ssShortDateUS:
            return ParseShortDateUS(t);
        default:
            return TryStrToDateTime(t, v) ? v : 0;
        }
    } catch (const std::exception&) {
        return 0; // a date that does not exist
    }
}
} // namespace

TSortStyle ResolveAutomaticStyle(const std::vector<std::string>& Texts, bool FirstIsCheckBox,
                                 bool IgnoreCase) {
    if (FirstIsCheckBox) return ssCheckBox;
    const char dateSep = FormatSettings().DateSeparator, timeSep = FormatSettings().TimeSeparator;
    bool any = false, numbers = true, dates = true, times = true, withTime = false;
    for (const std::string& t : Texts) {
        if (t.empty()) continue;
        any = true;
        if (numbers && !isNumberText(t)) numbers = false;
        if (dates) {
            dates = separatedByDigits(t, dateSep);
            withTime = withTime || t.find(timeSep) != std::string::npos;
        }
        if (times && !separatedByDigits(t, timeSep)) times = false;
        if (!numbers && !dates && !times) break;
    }
    if (any && numbers) return ssNumeric;
    if (any && dates) return withTime ? ssDateTime : ssDate;
    if (any && times) return ssTime;
    return IgnoreCase ? ssAlphaNoCase : ssAlphabetic;
}

TSortStyle ResolveAlphaNumericStyle(const std::vector<std::string>& Texts, bool NoCase) {
    bool any = false;
    for (const std::string& t : Texts) {
        if (t.empty()) continue;
        if (!isNumberText(t)) return NoCase ? ssAlphaNoCase : ssAlphabetic;
        any = true;
    }
    return any ? ssNumeric : (NoCase ? ssAlphaNoCase : ssAlphabetic);
}

TSortKeyKind SortKeyKind(TSortStyle Style) {
    switch (Style) {
    case ssNumeric:
    case ssFinancial:
    case ssDate:
    case ssDateTime:
    case ssTime:
    case ssShortDateEU:
    case ssShortDateUS:
    case ssImages:
    case ssCheckBox:
        return TSortKeyKind::Number;
    case ssCustom:
        return TSortKeyKind::Custom;
    case ssRaw:
        return TSortKeyKind::Raw;
    default:
        return TSortKeyKind::Text;
    }
}

bool ReadSortNumber(std::string_view Text, const std::string& Prefix, const std::string& Suffix,
                    bool Financial, double& Value, bool& Empty) {
    std::string t(Text);
    for (const std::string* part : {&Prefix, &Suffix})
        if (!part->empty())
            if (auto p = t.find(*part); p != std::string::npos) t.erase(p, part->size());
    const TFormatSettings& fs = FormatSettings();
    if (Financial) std::erase(t, fs.ThousandSeparator);
    if (fs.DecimalSeparator != '.')
        if (auto p = t.find(fs.DecimalSeparator); p != std::string::npos) t[p] = '.';
    Empty = t.empty();
    if (readWhole(t, Value)) return true;
    Value = 0;
    return false;
}

TSortKey MakeSortKey(TSortStyle Style, std::string_view Text, const std::string& Prefix,
                     const std::string& Suffix) {
    TSortKey k;
    switch (Style) {
    case ssAlphaNoCase:
        k.Text = upperAscii(Text);
        break;
    case ssAnsiAlphaNoCase:
        k.Text = AnsiLowerCase(Text);
        break;
    case ssHTML:
        k.Text = HTMLStripTags(Text);
        break;
    case ssNumeric:
    case ssFinancial:
        ReadSortNumber(Text, Prefix, Suffix, Style == ssFinancial, k.Number, k.Empty);
        return k;
    case ssDate:
    case ssDateTime:
    case ssTime:
    case ssShortDateEU:
    case ssShortDateUS:
        k.Number = dateValue(Style, Text);
        k.Empty = Text.empty();
        return k;
    default:
        k.Text = std::string(Text);
        break;
    }
    k.Empty = k.Text.empty();
    return k;
}
