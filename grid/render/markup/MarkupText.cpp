#include "grid/render/markup/MarkupText.h"

#include "platform/base/SysUtils.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/core/SysInfo.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace {

TColor hiBack = clHighlight;
TColor hiText = clHighlightText;
bool winXP = false;
bool winXPChecked = false;

const HTMLEntity entities[HTMLEntityCount] = {
    {"é", "&eacute;"}, {"è", "&egrave;"}, {"ë", "&euml;"},   {"ê", "&ecirc;"},  {"ó", "&oacute;"},
    {"ò", "&ograve;"}, {"ö", "&ouml;"},   {"ô", "&ocirc;"},  {"í", "&iacute;"}, {"ì", "&igrave;"},
    {"ï", "&iuml;"},   {"î", "&icirc;"},  {"ú", "&uacute;"}, {"ù", "&ugrave;"}, {"ü", "&uuml;"},
    {"û", "&ucirc;"},  {"á", "&aacute;"}, {"à", "&agrave;"}, {"ä", "&auml;"},   {"â", "&acirc;"},
    {"É", "&Eacute;"}, {"È", "&Egrave;"}, {"Ë", "&Euml;"},   {"Ê", "&Ecirc;"},  {"Ó", "&Oacute;"},
    {"Ò", "&Ograve;"}, {"Ö", "&Ouml;"},   {"Ô", "&Ocirc;"},  {"Í", "&Iacute;"}, {"Ì", "&Igrave;"},
    {"Ï", "&Iuml;"},   {"Î", "&Icirc;"},  {"Ú", "&Uacute;"}, {"Ù", "&Ugrave;"}, {"Ü", "&Uuml;"},
    {"Û", "&Ucirc;"},  {"Á", "&Aacute;"}, {"À", "&Agrave;"}, {"Ä", "&Auml;"},   {"Â", "&Acirc;"},
    {"ç", "&ccedil;"}, {"Ç", "&Ccedil;"}, {"ø", "&oslash;"}, {"Ø", "&Oslash;"}, {"å", "&aring;"},
    {"Å", "&Aring;"},  {"©", "&copy;"},   {"®", "&reg;"},    {"€", "&euro;"},   {"«", "&laquo;"},
    {"»", "&raquo;"},  {"ã", "&atilde;"}, {"Ã", "&Atilde;"}, {"õ", "&otilde;"}, {"Õ", "&Otilde;"}};

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool startsNoCase(std::string_view text, std::size_t at, std::string_view part) {
    if (text.size() - at < part.size() || at > text.size()) return false;
    for (std::size_t i = 0; i < part.size(); ++i)
        if (asciiUpper(text[at + i]) != asciiUpper(part[i])) return false;
    return true;
}

std::size_t findNoCase(std::string_view text, std::string_view part, std::size_t from = 0) {
    if (part.empty()) return std::string::npos;
    for (std::size_t i = from; i + part.size() <= text.size(); ++i)
        if (startsNoCase(text, i, part)) return i;
    return std::string::npos;
}

std::string replaceAllNoCase(std::string_view text, std::string_view part, std::string_view by) {
    std::string out;
    std::size_t at = 0;
    for (;;) {
        std::size_t p = findNoCase(text, part, at);
        if (p == std::string::npos) break;
        out.append(text.substr(at, p - at));
        out.append(by);
        at = p + part.size();
    }
    out.append(text.substr(at));
    return out;
}

char32_t upperChar(char32_t c) {
    if (c < 128) return (c >= U'a' && c <= U'z') ? c - U'a' + U'A' : c;
    std::u32string u = Utf8ToUtf32(AnsiUpperCase(CodePointToUtf8(c)));
    return u.size() == 1 ? u[0] : c;
}

// 1-based position in the markup (characters) of the n-th visible character; with
// beforeTags the tags that precede it come after the position, else before it.
int markupPos(std::string_view markup, int n, bool beforeTags) {
    if (n < 1) return 0;
    std::u32string m = Utf8ToUtf32(markup);
    // Visible flag of each character: outside a tag running from "<" to ">".
    std::vector<bool> shown(m.size());
    int total = 0;
    bool inTag = false;
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (inTag) {
            inTag = m[i] != U'>';
        } else if (m[i] == U'<') {
            inTag = true;
        } else {
            shown[i] = true;
            ++total;
        }
    }
    if (n == total + 1) return int(m.size()) + 1;
    if (n > total) return 0;
    int visible = 0;
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (visible == n - 1 && (beforeTags || shown[i])) return int(i) + 1;
        if (shown[i]) ++visible;
    }
    return 0;
}

std::string insertAt(std::string_view markup, int pos, std::string_view what) {
    std::size_t at = Utf8Offset(markup, std::size_t(pos - 1));
    std::string out(markup.substr(0, at));
    out.append(what);
    out.append(markup.substr(at));
    return out;
}

} // namespace

void SetHTMLHighlightColors(TColor background, TColor text) {
    hiBack = background;
    hiText = text;
}
TColor HTMLHighlightBackColor() {
    return hiBack;
}
TColor HTMLHighlightTextColor() {
    return hiText;
}

const HTMLEntity* HTMLEntityTable() {
    return entities;
}

std::string HTMLRemoveTags(std::string_view markup) {
    std::string out;
    std::size_t at = 0;
    for (;;) {
        std::size_t lt = markup.find('<', at);
        if (lt == std::string::npos) break;
        std::size_t gt = markup.find('>', at);
        if (gt == std::string::npos || gt < lt) break;
        out.append(markup.substr(at, lt - at));
        at = gt + 1;
    }
    out.append(markup.substr(at));
    return out;
}

std::string HTMLStripTags(std::string_view markup) {
    std::string s = replaceAllNoCase(markup, "<BR>", "\r\n");
    s = replaceAllNoCase(s, "<HR>", "\r\n");
    return HTMLRemoveTags(s);
}

int HTMLTextPosToMarkupPos(std::string_view markup, int n) {
    return markupPos(markup, n, true);
}

int HTMLFindFrom(std::string_view search, std::string_view text, int offset, bool caseSensitive,
                 int* found) {
    int result = 0;
    std::u32string s = Utf8ToUtf32(search);
    std::u32string t = Utf8ToUtf32(text);
    if (!caseSensitive) {
        for (auto& c : s) c = upperChar(c);
        for (auto& c : t) c = upperChar(c);
    }
    std::size_t from = offset < 0 ? 0 : std::size_t(offset);
    if (!s.empty() && from <= t.size()) {
        std::size_t p = t.find(s, from);
        if (p != std::u32string::npos) result = int(p) + 1;
    }
    if (found) *found = result;
    return result;
}

std::string HTMLHighlightText(std::string_view markup, std::string_view search,
                              std::string_view tag, bool caseSensitive) {
    std::string result(markup);
    if (search.empty()) return result;
    std::string plain = HTMLRemoveTags(markup);
    std::string what(search);
    if (markup.find(search) != std::string::npos &&
        plain.find_first_of("<>") != std::string::npos) {
        auto esc = [](std::string_view s) {
            std::string o;
            for (char c : s) {
                if (c == '<')
                    o += "&lt;";
                else if (c == '>')
                    o += "&gt;";
                else
                    o += c;
            }
            return o;
        };
        plain = esc(plain);
        what = esc(what);
        result = plain;
    }
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    const int length = int(Utf8Length(what));
    int offset = 0;
    while (int p = HTMLFindFrom(what, plain, offset, caseSensitive)) {
        result = insertAt(result, markupPos(result, p, false), open);
        int end = p + length;
        result = insertAt(result, HTMLTextPosToMarkupPos(result, end), close);
        // The next match may start right after this one.
        offset = end - 1;
    }
    return result;
}

std::string HTMLRemoveTagPairs(std::string_view markup, std::string_view tag) {
    std::string s = replaceAllNoCase(markup, "<" + std::string(tag) + ">", "");
    return replaceAllNoCase(s, "</" + std::string(tag) + ">", "");
}

std::string HTMLUnhighlightText(std::string_view markup, std::string_view tag) {
    const std::string s = HTMLRemoveTagPairs(markup, tag);
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s.compare(i, 4, "&lt;") == 0) {
            out += '<';
            i += 4;
        } else if (s.compare(i, 4, "&gt;") == 0) {
            out += '>';
            i += 4;
        } else {
            out += s[i++];
        }
    }
    return out;
}

std::string UnMarkText(std::string_view markup) {
    return HTMLRemoveTagPairs(markup, "e");
}

std::string HTMLEscapeText(std::string_view text, bool accents) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (accents && (static_cast<unsigned char>(c) & 0x80)) {
            bool done = false;
            for (const auto& e : entities) {
                std::string_view ch(e.character);
                if (text.compare(i, ch.size(), ch) == 0) {
                    out += e.entity;
                    i += ch.size();
                    done = true;
                    break;
                }
            }
            if (done) continue;
            out += c;
        } else
            out += c;
        ++i;
    }
    return out;
}

std::string HTMLUnescapeText(std::string_view text, bool accents) {
    static const HTMLEntity basic[] = {
        {"<", "&lt;"}, {">", "&gt;"}, {"&", "&amp;"}, {"\"", "&quot;"}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            const HTMLEntity* hit = nullptr;
            for (const auto& e : basic)
                if (text.compare(i, std::strlen(e.entity), e.entity) == 0) hit = &e;
            if (!hit && accents)
                for (const auto& e : entities)
                    if (text.compare(i, std::strlen(e.entity), e.entity) == 0) {
                        hit = &e;
                        break;
                    }
            if (hit) {
                out += hit->character;
                i += std::strlen(hit->entity);
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

std::string HTMLSpacesToNbsp(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == ' ')
            out += "&nbsp;";
        else
            out += c;
    }
    return out;
}

std::string HTMLLineBreaksToBR(std::string_view text, bool toBR) {
    std::string out;
    for (char c : text) {
        if (c == '\n') continue;
        if (c == '\r') {
            if (toBR) out += "<BR>";
            continue;
        }
        out += c;
    }
    return out;
}

std::string HTMLRemoveFieldTags(std::string_view text) {
    std::string s(text);
    std::size_t at = 0;
    for (;;) {
        std::size_t p = s.find("<#", at);
        if (p == std::string::npos) break;
        s.erase(p, 1);
        std::size_t gt = s.find('>', p);
        if (gt != std::string::npos) s.erase(gt, 1);
        at = p;
    }
    return s;
}

bool HTMLReplaceFirst(std::string_view oldText, std::string_view newText, std::string& text) {
    std::size_t p = findNoCase(text, oldText);
    if (p == std::string::npos) return false;
    text.replace(p, oldText.size(), newText);
    return true;
}

int HTMLPosNoCase(std::string_view part, std::string_view text) {
    std::size_t p = findNoCase(text, part);
    return p == std::string::npos ? 0 : int(Utf8Length(text.substr(0, p))) + 1;
}

int HTMLValInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        int d;
        char c = text[i];
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c)))
            d = asciiUpper(c) - 'A' + 10;
        else
            break;
        value = value * base + d;
        if (value > 0x7FFFFFFFLL) value = 0x7FFFFFFFLL;
    }
    return int(negative ? -value : value);
}

void HTMLSelectRotatedFont(TCanvas& canvas, int angle, TFont& saved) {
    saved.Assign(canvas.Font());
    canvas.Font()->SetOrientation(angle * 10);
}

void HTMLRestoreFont(TCanvas& canvas, const TFont& saved) {
    canvas.Font()->Assign(&saved);
}

bool HTMLIsWinXPVersion(int major, int minor) {
    return major > 5 || (major == 5 && minor > 0);
}
void HTMLCheckWinXP() {
    winXP = HTMLIsWinXPVersion(Win32MajorVersion(), Win32MinorVersion());
    winXPChecked = true;
}
bool HTMLWinXP() {
    if (!winXPChecked) HTMLCheckWinXP();
    return winXP;
}

std::optional<std::string> HTMLTagAttribute(std::string_view tag, std::string_view upperTag,
                                            std::string_view word) {
    std::size_t p = upperTag.find(word);
    if (p == std::string::npos) return std::nullopt;
    std::size_t q = upperTag.find('"', p + word.size());
    if (q == std::string::npos) return std::string();
    std::size_t e = upperTag.find('"', q + 1);
    if (e == std::string::npos) e = upperTag.size();
    return std::string(tag.substr(q + 1, e - q - 1));
}
