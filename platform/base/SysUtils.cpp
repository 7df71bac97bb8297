#include "platform/base/SysUtils.h"

#include "platform/base/FormatSettings.h"
#include "platform/base/Hotkey.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

void Abort() {
    throw EAbort("Operation aborted");
}

bool LocaleMeasuresMetric() {
    locale_t locale = newlocale(LC_MEASUREMENT_MASK, "", locale_t(0));
    if (!locale) return true;
    // The first byte is 1 for metric units and 2 for US units.
    const char* measurement = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, locale);
    const bool metric = !measurement || measurement[0] != 2;
    freelocale(locale);
    return metric;
}

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

void ResetFormatSettings() {
    FormatSettings() = TFormatSettings();
}

// --- UTF-8 ---------------------------------------------------------------------------------
namespace {
// The length of the sequence that lead byte b starts and the range its second byte may take,
// as the well-formed sequences of the Unicode standard allow (no overlong forms, no
// surrogates, nothing beyond U+10FFFF); 0 for a byte that starts no sequence.
int sequenceLength(unsigned char b, unsigned char& lo, unsigned char& hi) {
    lo = 0x80;
    hi = 0xBF;
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) {
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
        return 4;
    }
    return 0;
}

// Decodes one code point at s[i] and advances i. An ill-formed sequence yields U+FFFD and
// advances over its longest start that could still have become a valid sequence (at least
// one byte), so that the next sequence is read as it stands; ill is then set.
char32_t decodeAt(std::string_view s, std::size_t& i, bool* ill = nullptr) {
    const auto b = static_cast<unsigned char>(s[i]);
    unsigned char lo, hi;
    const int n = sequenceLength(b, lo, hi);
    if (n == 1) {
        ++i;
        return b;
    }
    auto illFormed = [&](std::size_t length) {
        i += length;
        if (ill) *ill = true;
        return char32_t(0xFFFD);
    };
    if (n == 0) return illFormed(1);
    char32_t c = b & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
        if (i + k >= s.size()) return illFormed(std::size_t(k));
        const auto cb = static_cast<unsigned char>(s[i + k]);
        if (cb < lo || cb > hi) return illFormed(std::size_t(k));
        lo = 0x80;
        hi = 0xBF;
        c = (c << 6) | (cb & 0x3F);
    }
    i += n;
    return c;
}
} // namespace

bool IsValidUtf8(std::string_view s) {
    bool ill = false;
    for (std::size_t i = 0; i < s.size() && !ill;) decodeAt(s, i, &ill);
    return !ill;
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size();) {
        decodeAt(s, i);
        ++count;
    }
    return count;
}

std::size_t Utf8Offset(std::string_view s, std::size_t chars) {
    std::size_t i = 0;
    while (chars > 0 && i < s.size()) {
        decodeAt(s, i);
        --chars;
    }
    return i;
}

std::string Utf8Substr(std::string_view s, std::size_t start, std::size_t count) {
    std::size_t b = Utf8Offset(s, start);
    if (count == std::string::npos) return std::string(s.substr(b));
    std::size_t e = b + Utf8Offset(s.substr(b), count);
    return std::string(s.substr(b, e - b));
}

std::u32string Utf8ToUtf32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) out.push_back(decodeAt(s, i));
    return out;
}

std::string CodePointToUtf8(char32_t c) {
    std::string out;
    // A surrogate or a value beyond U+10FFFF has no UTF-8 form.
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

std::string Utf32ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) out += CodePointToUtf8(c);
    return out;
}

std::u16string Utf8ToWide(std::string_view Text) {
    std::u16string out;
    for (char32_t c : Utf8ToUtf32(Text)) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::string WideToUtf8(std::u16string_view Text) {
    std::u32string cps;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t c = Text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        cps += c;
    }
    return Utf32ToUtf8(cps);
}

// --- strings -------------------------------------------------------------------------------
namespace {
bool isTrimmed(unsigned char c) {
    return c <= ' ';
}
} // namespace

bool MarksHotkey(char32_t Next) {
    return Next != U' ' && Next != U'\t' && Next != U'\r' && Next != U'\n';
}

std::string Trim(std::string_view s) {
    return std::string(TrimView(s));
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && isTrimmed(s.front())) s.remove_prefix(1);
    while (!s.empty() && isTrimmed(s.back())) s.remove_suffix(1);
    return s;
}

std::string TrimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isTrimmed(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && isTrimmed(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return r;
}

namespace {
// Case mapping for Latin-1, Latin Extended-A, Greek and Cyrillic; independent of the C locale.
char32_t toUpper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c < 0x80) return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c & ~char32_t(1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

char32_t toLower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}
} // namespace

std::string AnsiUpperCase(std::string_view s) {
    std::u32string u = Utf8ToUtf32(s);
    for (char32_t& c : u) c = toUpper(c);
    return Utf32ToUtf8(u);
}

std::string AnsiLowerCase(std::string_view s) {
    std::u32string u = Utf8ToUtf32(s);
    for (char32_t& c : u) c = toLower(c);
    return Utf32ToUtf8(u);
}

int CompareText(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca - cb;
    }
    return int(a.size()) - int(b.size());
}

bool SameText(std::string_view a, std::string_view b) {
    return CompareText(a, b) == 0;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
    std::u32string ua = Utf8ToUtf32(AnsiLowerCase(a)), ub = Utf8ToUtf32(AnsiLowerCase(b));
    int r = ua.compare(ub);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty()) return 0;
    auto p = s.find(sub);
    return p == std::string_view::npos ? 0 : int(p) + 1;
}

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    std::size_t i = 0;
    while (true) {
        auto p = s.find(from, i);
        if (p == std::string_view::npos) break;
        out.append(s.substr(i, p - i));
        out.append(to);
        i = p + from.size();
    }
    out.append(s.substr(i));
    return out;
}

std::string StringOfChar(char c, int count) {
    return std::string(std::max(count, 0), c);
}

bool StartsText(std::string_view prefix, std::string_view s) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

bool StartsStr(std::string_view prefix, std::string_view s) {
    return s.starts_with(prefix);
}
bool EndsStr(std::string_view suffix, std::string_view s) {
    return s.ends_with(suffix);
}

std::string QuotedStr(std::string_view s) {
    return "'" + StringReplaceAll(s, "'", "''") + "'";
}

// --- numbers -------------------------------------------------------------------------------
int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    long long p = static_cast<long long>(a) * b;
    long long q = p / c, r = p % c;
    if (2 * (r < 0 ? -r : r) >= (c < 0 ? -c : c)) q += ((p < 0) != (c < 0)) ? -1 : 1;
    return static_cast<int>(q);
}

std::string IntToStr(long long v) {
    return std::to_string(v);
}

std::string IntToHex(long long v, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", std::max(digits, 0),
                  static_cast<unsigned long long>(v));
    return buf;
}

bool TryStrToInt64(std::string_view s, long long& value) {
    if (s.empty()) return false;
    std::size_t i = 0;
    bool neg = false;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        i = 1;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    unsigned long long mag = 0;
    auto res = std::from_chars(s.data() + i, s.data() + s.size(), mag, base);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return false;
    if (base == 16) {
        // Hex keeps its bit pattern, as the model reads "$FFFFFFFF" as -1 for 32-bit values.
        // The sign negates in 64 bits, so "-$8000000000000000" gives the lowest value.
        value = static_cast<long long>(neg ? 0 - mag : mag);
        return true;
    }
    if (neg) {
        if (mag > static_cast<unsigned long long>(LLONG_MAX) + 1) return false;
        value = static_cast<long long>(0 - mag);
    } else {
        if (mag > static_cast<unsigned long long>(LLONG_MAX)) return false;
        value = static_cast<long long>(mag);
    }
    return true;
}

bool TryStrToInt(std::string_view s, int& value) {
    long long v;
    if (!TryStrToInt64(s, v)) return false;
    bool hex = s.find('$') != std::string_view::npos || s.find('x') != std::string_view::npos ||
               s.find('X') != std::string_view::npos;
    if (hex && v >= 0 && v <= 0xFFFFFFFFLL) {
        value = static_cast<int>(static_cast<std::uint32_t>(v));
        return true;
    }
    if (v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view s) {
    int v;
    if (!TryStrToInt(s, v))
        throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

long long StrToInt64(std::string_view s) {
    long long v;
    if (!TryStrToInt64(s, v))
        throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

int StrToIntDef(std::string_view s, int def) {
    int v;
    return TryStrToInt(s, v) ? v : def;
}

long long StrToInt64Def(std::string_view s, long long def) {
    long long v;
    return TryStrToInt64(s, v) ? v : def;
}

bool TryStrToFloat(std::string_view s, double& value) {
    std::string t = Trim(s);
    if (t.empty()) return false;
    char sep = FormatSettings().DecimalSeparator;
    for (char& c : t) {
        if (c == sep)
            c = '.';
        else if (c == '.' && sep != '.')
            return false;
    }
    for (char c : t)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
              c == 'e' || c == 'E'))
            return false;
    auto res = std::from_chars(t.data() + (t[0] == '+' ? 1 : 0), t.data() + t.size(), value);
    return res.ec == std::errc() && res.ptr == t.data() + t.size();
}

double StrToFloat(std::string_view s) {
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(std::string_view s, double def) {
    double v;
    return TryStrToFloat(s, v) ? v : def;
}

namespace {
std::string localiseDecimal(std::string s) {
    char sep = FormatSettings().DecimalSeparator;
    if (sep != '.')
        for (char& c : s)
            if (c == '.') c = sep;
    return s;
}
} // namespace

std::string FloatToStr(double v) {
    // 15 significant digits, no trailing zeros, as the model's general format.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", v);
    return localiseDecimal(buf);
}

std::string FormatFloat(std::string_view format, double v) {
    // Supports the common picture forms "0", "0.00", "#,##0.00", "0.###".
    std::string f(format);
    auto dot = f.find('.');
    int minDec = 0, maxDec = 0;
    if (dot != std::string::npos) {
        for (std::size_t i = dot + 1; i < f.size(); ++i) {
            if (f[i] == '0')
                ++minDec, ++maxDec;
            else if (f[i] == '#')
                ++maxDec;
        }
    }
    bool thousands =
        f.find(',') != std::string::npos && (dot == std::string::npos || f.find(',') < dot);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.*f", maxDec, v);
    std::string s = buf;
    if (maxDec > minDec) {
        while (maxDec > minDec && !s.empty() && s.back() == '0') s.pop_back(), --maxDec;
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    auto p = s.find('.');
    std::string intPart = s.substr(0, p), frac = p == std::string::npos ? "" : s.substr(p + 1);
    if (thousands) {
        bool neg = !intPart.empty() && intPart[0] == '-';
        std::string digits = neg ? intPart.substr(1) : intPart;
        std::string grouped;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0)
                grouped += FormatSettings().ThousandSeparator;
            grouped += digits[i];
        }
        intPart = (neg ? "-" : "") + grouped;
    }
    return frac.empty() ? intPart : intPart + FormatSettings().DecimalSeparator + frac;
}

// --- Format --------------------------------------------------------------------------------
namespace {
long long argAsInt(const FormatArg& a) {
    if (auto p = std::get_if<long long>(&a)) return *p;
    if (auto p = std::get_if<unsigned long long>(&a)) return static_cast<long long>(*p);
    if (auto p = std::get_if<double>(&a)) return static_cast<long long>(*p);
    throw EConvertError("Format: argument is not a number");
}

double argAsDouble(const FormatArg& a) {
    if (auto p = std::get_if<double>(&a)) return *p;
    if (auto p = std::get_if<long long>(&a)) return double(*p);
    if (auto p = std::get_if<unsigned long long>(&a)) return double(*p);
    throw EConvertError("Format: argument is not a number");
}
} // namespace

std::string FormatV(std::string_view fmt, const std::vector<FormatArg>& args) {
    std::string out;
    std::size_t argIndex = 0;
    auto next = [&]() -> const FormatArg& {
        if (argIndex >= args.size()) throw EConvertError("Format: too few arguments");
        return args[argIndex++];
    };
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= fmt.size()) break;
        if (fmt[i] == '%') {
            out += '%';
            continue;
        }
        // [index ":"] ["-"] [width] ["." prec] type
        std::size_t j = i;
        while (j < fmt.size() &&
               (std::isdigit(static_cast<unsigned char>(fmt[j])) || fmt[j] == '*'))
            ++j;
        if (j < fmt.size() && fmt[j] == ':') {
            argIndex = std::size_t(std::atoi(std::string(fmt.substr(i, j - i)).c_str()));
            i = j + 1;
        }
        bool left = false;
        if (i < fmt.size() && fmt[i] == '-') left = true, ++i;
        int width = -1, prec = -1;
        auto readNum = [&](int& v) {
            if (i < fmt.size() && fmt[i] == '*') {
                v = int(argAsInt(next()));
                ++i;
                return;
            }
            if (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i]))) {
                v = 0;
                while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i])))
                    v = v * 10 + (fmt[i++] - '0');
            }
        };
        readNum(width);
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            prec = 0;
            readNum(prec);
        }
        if (i >= fmt.size()) break;
        char type = fmt[i];
        std::string piece;
        char buf[128];
        switch (type) {
        case 'd':
        case 'D': {
            long long v = argAsInt(next());
            std::snprintf(buf, sizeof buf, "%0*lld", prec > 0 ? prec + (v < 0) : 1, v);
            piece = buf;
            break;
        }
        case 'u':
        case 'U': {
            std::snprintf(buf, sizeof buf, "%0*llu", prec > 0 ? prec : 1,
                          static_cast<unsigned long long>(argAsInt(next())));
            piece = buf;
            break;
        }
        case 'x':
        case 'X': {
            std::snprintf(buf, sizeof buf, "%0*llX", prec > 0 ? prec : 1,
                          static_cast<unsigned long long>(argAsInt(next())));
            piece = buf;
            if (type == 'x') piece = UpperCase(piece); // the model prints hex in upper case
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'n':
        case 'N':
        case 'm':
        case 'M': {
            double v = argAsDouble(next());
            char t = char(std::tolower(type));
            if (t == 'n' || t == 'm') {
                std::string pic = "#,##0." + std::string(prec < 0 ? 2 : prec, '0');
                if (prec == 0) pic = "#,##0";
                piece = FormatFloat(pic, v);
                if (t == 'm') piece = FormatSettings().CurrencyString + piece;
            } else {
                std::string directive = std::string("%.") +
                                        std::to_string(prec < 0 ? (t == 'g' ? 15 : 2) : prec) +
                                        char(t == 'e' ? 'E' : (t == 'g' ? 'G' : 'f'));
                std::snprintf(buf, sizeof buf, directive.c_str(), v);
                piece = localiseDecimal(buf);
            }
            break;
        }
        case 's':
        case 'S': {
            const FormatArg& a = next();
            if (auto p = std::get_if<std::string>(&a))
                piece = *p;
            else if (auto q = std::get_if<long long>(&a))
                piece = std::to_string(*q);
            else if (auto u = std::get_if<unsigned long long>(&a))
                piece = std::to_string(*u);
            else
                throw EConvertError("Format: argument is not a string");
            if (prec >= 0) piece = Utf8Substr(piece, 0, std::size_t(prec));
            break;
        }
        case 'p':
        case 'P': {
            const FormatArg& a = next();
            auto p = std::get_if<const void*>(&a);
            std::snprintf(buf, sizeof buf, "%016llX",
                          static_cast<unsigned long long>(
                              reinterpret_cast<std::uintptr_t>(p ? *p : nullptr)));
            piece = buf;
            break;
        }
        default:
            throw EConvertError("Format '" + std::string(fmt) +
                                "' invalid or incompatible with argument");
        }
        int len = int(Utf8Length(piece));
        if (width > len) {
            std::string pad(std::size_t(width - len), ' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
}
