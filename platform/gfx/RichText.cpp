#include "platform/gfx/RichText.h"

#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>

namespace {

// Code page 1252 positions 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char32_t fromCp1252(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? char32_t(kCp1252High[b - 0x80]) : char32_t(b);
}

struct CharFormat {
    int Font = -1;
    int HalfPoints = 0;
    bool Bold = false, Italic = false, Underline = false, Strike = false;
    int ColorIndex = 0;
    int Offset = 0;
    int SkipAfterUnicode = 1;
    // Text of this group is not part of the document (tables, pictures, \* destinations).
    bool Skip = false;
    // 1 font table, 2 colour table.
    int Table = 0;
};

class Parser {
public:
    explicit Parser(std::string_view src) : s(src) {}

    std::vector<TRichTextRun> run() {
        std::vector<CharFormat> stack;
        CharFormat cur;
        while (i < s.size()) {
            const char c = s[i];
            if (static_cast<unsigned char>(c) >= 0x80) {
                // Bytes of a text given as is: UTF-8 when they form it, else code page 1252.
                pending += c;
                ++i;
                continue;
            }
            flushPending(cur);
            if (c == '{') {
                ++i;
                stack.push_back(cur);
                if (cur.Table == 1) fontName.clear();
            } else if (c == '}') {
                ++i;
                if (cur.Table == 1 && !stack.empty() && stack.back().Table == 1) endFont();
                if (stack.empty()) break;
                cur = stack.back();
                stack.pop_back();
            } else if (c == '\\') {
                controlWord(cur);
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                ++i;
                plainChar(cur, char32_t(static_cast<unsigned char>(c)));
            }
        }
        flushPending(cur);
        return std::move(runs);
    }

private:
    void plainChar(CharFormat& f, char32_t ch) {
        if (f.Table == 1) {
            if (ch == ';')
                endFont();
            else
                fontName += char(ch);
            return;
        }
        if (f.Table == 2) {
            if (ch == ';') {
                colors.push_back(haveColor ? RGB(red, green, blue) : TColor(clNone));
                red = green = blue = 0;
                haveColor = false;
            }
            return;
        }
        if (f.Skip) return;
        append(f, ch == U'\n' ? std::string("\n") : CodePointToUtf8(ch));
    }

    void endFont() {
        if (fontNumber >= 0) {
            std::string name = Trim(fontName);
            if (!name.empty() && name.back() == ';') name.pop_back();
            fonts[fontNumber] = name;
        }
        fontNumber = -1;
        fontName.clear();
    }

    void append(const CharFormat& f, const std::string& text) {
        TRichTextRun r;
        if (auto it = fonts.find(f.Font); it != fonts.end()) r.FontName = it->second;
        r.Size = f.HalfPoints / 2;
        if (f.Bold) r.Style.Include(fsBold);
        if (f.Italic) r.Style.Include(fsItalic);
        if (f.Underline) r.Style.Include(fsUnderline);
        if (f.Strike) r.Style.Include(fsStrikeOut);
        if (f.ColorIndex > 0 && f.ColorIndex < int(colors.size())) r.Color = colors[f.ColorIndex];
        r.Offset = f.Offset;
        if (!runs.empty()) {
            TRichTextRun& last = runs.back();
            if (last.SameFormat(r)) {
                last.Text += text;
                return;
            }
        }
        r.Text = text;
        runs.push_back(std::move(r));
    }

    void flushPending(CharFormat& f) {
        if (pending.empty()) return;
        std::string bytes;
        bytes.swap(pending);
        if (IsValidUtf8(bytes)) {
            if (f.Table == 1)
                fontName += bytes;
            else if (!f.Skip && f.Table == 0)
                append(f, bytes);
        } else {
            for (unsigned char b : bytes) plainChar(f, fromCp1252(b));
        }
    }

    void controlWord(CharFormat& f) {
        ++i; // the backslash
        if (i >= s.size()) return;
        const char c = s[i];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++i;
            switch (c) {
            case '\\':
            case '{':
            case '}':
                plainChar(f, char32_t(c));
                break;
            case '~':
                plainChar(f, 0xA0);
                break;
            case '_':
                plainChar(f, U'-');
                break;
            case '*':
                f.Skip = true;
                f.Table = 0;
                break;
            case '\'':
                if (i + 2 <= s.size()) {
                    unsigned v = 0;
                    for (int k = 0; k < 2; ++k) {
                        const char h = s[i + std::size_t(k)];
                        v = v * 16 + unsigned(std::isdigit(static_cast<unsigned char>(h))
                                                  ? h - '0'
                                                  : (std::tolower(h) - 'a' + 10) & 0xF);
                    }
                    i += 2;
                    if (skipChars > 0)
                        --skipChars;
                    else
                        plainChar(f, fromCp1252(static_cast<unsigned char>(v)));
                }
                break;
            case '\r':
            case '\n':
                plainChar(f, U'\n');
                break;
            default:
                break;
            }
            return;
        }
        std::string word;
        while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) word += s[i++];
        std::optional<int> param;
        if (i < s.size() && (s[i] == '-' || std::isdigit(static_cast<unsigned char>(s[i])))) {
            bool neg = s[i] == '-';
            if (neg) ++i;
            long v = 0;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
                v = std::min(v * 10 + (s[i++] - '0'), 100000000L);
            param = int(neg ? -v : v);
        }
        if (i < s.size() && s[i] == ' ') ++i;
        apply(f, word, param);
    }

    void apply(CharFormat& f, const std::string& w, std::optional<int> p) {
        const bool on = !p || *p != 0;
        if (w == "fonttbl") {
            f.Table = 1;
            f.Skip = true;
        } else if (w == "colortbl") {
            f.Table = 2;
            f.Skip = true;
            colors.clear();
        } else if (w == "stylesheet" || w == "info" || w == "pict" || w == "header" ||
                   w == "footer" || w == "object" || w == "listtable" || w == "listoverridetable" ||
                   w == "generator") {
            f.Skip = true;
            f.Table = 0;
        } else if (f.Table == 1 && w == "f") {
            fontNumber = p.value_or(0);
        } else if (f.Table == 2) {
            if (w == "red") red = p.value_or(0);
            if (w == "green") green = p.value_or(0);
            if (w == "blue") blue = p.value_or(0);
            haveColor = true;
        } else if (w == "b") {
            f.Bold = on;
        } else if (w == "i") {
            f.Italic = on;
        } else if (w == "ul") {
            f.Underline = on;
        } else if (w == "ulnone") {
            f.Underline = false;
        } else if (w == "strike") {
            f.Strike = on;
        } else if (w == "fs") {
            f.HalfPoints = p.value_or(24);
        } else if (w == "f") {
            f.Font = p.value_or(0);
        } else if (w == "cf") {
            f.ColorIndex = p.value_or(0);
        } else if (w == "up") {
            f.Offset = p.value_or(6) * 10;
        } else if (w == "dn") {
            f.Offset = -p.value_or(6) * 10;
        } else if (w == "plain") {
            f.Bold = f.Italic = f.Underline = f.Strike = false;
            f.HalfPoints = 0;
            f.ColorIndex = 0;
            f.Offset = 0;
        } else if (w == "par" || w == "line") {
            plainChar(f, U'\n');
        } else if (w == "tab") {
            plainChar(f, U'\t');
        } else if (w == "uc") {
            f.SkipAfterUnicode = p.value_or(1);
        } else if (w == "u" && p) {
            const int v = *p < 0 ? *p + 65536 : *p;
            if (v >= 0xD800 && v < 0xDC00) {
                highSurrogate = v;
            } else if (v >= 0xDC00 && v < 0xE000) {
                if (highSurrogate)
                    plainChar(f,
                              char32_t(0x10000 + ((highSurrogate - 0xD800) << 10) + (v - 0xDC00)));
                highSurrogate = 0;
            } else {
                plainChar(f, char32_t(v));
            }
            skipChars = f.SkipAfterUnicode;
            skipFallback(f);
        } else if (w == "lquote") {
            plainChar(f, 0x2018);
        } else if (w == "rquote") {
            plainChar(f, 0x2019);
        } else if (w == "ldblquote") {
            plainChar(f, 0x201C);
        } else if (w == "rdblquote") {
            plainChar(f, 0x201D);
        } else if (w == "endash") {
            plainChar(f, 0x2013);
        } else if (w == "emdash") {
            plainChar(f, 0x2014);
        } else if (w == "bullet") {
            plainChar(f, 0x2022);
        }
    }

    // The plain fallback characters after \u (a \'hh escape counts as one).
    void skipFallback(CharFormat&) {
        while (skipChars > 0 && i < s.size()) {
            const char c = s[i];
            if (c == '{' || c == '}' || c == '\\') return;
            ++i;
            --skipChars;
        }
    }

    std::string_view s;
    std::size_t i = 0;
    std::vector<TRichTextRun> runs;
    std::map<int, std::string> fonts;
    std::vector<TColor> colors;
    int fontNumber = -1;
    std::string fontName;
    int red = 0, green = 0, blue = 0;
    bool haveColor = false;
    int skipChars = 0;
    // The first half of a character written as two \u units.
    int highSurrogate = 0;
    std::string pending;
};

// A piece of a line: text of one run without line breaks.
struct Piece {
    const TRichTextRun* Run;
    std::string Text;
    int Width = 0;
};

void selectFont(TCanvas& c, const TFont& base, const TRichTextRun& r, double scale) {
    c.Font()->Assign(&base);
    if (!r.FontName.empty()) c.Font()->SetName(r.FontName);
    if (r.Size > 0) c.Font()->SetSize(int(std::lround(r.Size * scale)));
    c.Font()->SetStyle(r.Style);
    if (r.Color != clNone) c.Font()->SetColor(r.Color);
}

} // namespace

void TRichText::Load(std::string_view Text) {
    FRuns.clear();
    if (Text.substr(0, 5) != "{\\rtf") {
        if (!Text.empty()) FRuns.push_back(TRichTextRun{std::string(Text), {}, 0, {}, clNone});
        return;
    }
    FRuns = Parser(Text).run();
}

std::string TRichText::PlainText() const {
    std::string out;
    for (const auto& r : FRuns)
        for (char c : r.Text) {
            if (c == '\n')
                out += "\r\n";
            else
                out += c;
        }
    return out;
}

void TRichText::SetRuns(std::vector<TRichTextRun> Runs) {
    FRuns.clear();
    for (auto& r : Runs) {
        if (r.Text.empty()) continue;
        if (!FRuns.empty() && FRuns.back().SameFormat(r))
            FRuns.back().Text += r.Text;
        else
            FRuns.push_back(std::move(r));
    }
}

int TRichText::Length() const {
    std::size_t n = 0;
    for (const auto& r : FRuns) n += Utf8Length(r.Text);
    return int(n);
}

TRichTextRun TRichText::FormatAt(int Pos) const {
    TRichTextRun f;
    int at = 0;
    for (const auto& r : FRuns) {
        f = r;
        at += int(Utf8Length(r.Text));
        if (Pos < at) break;
    }
    f.Text.clear();
    return f;
}

void TRichText::Format(int Start, int Count, const std::function<void(TRichTextRun&)>& Change) {
    if (Count <= 0) return;
    const int end = Start + Count;
    std::vector<TRichTextRun> out;
    int at = 0;
    for (const auto& r : FRuns) {
        const std::u32string t = Utf8ToUtf32(r.Text);
        const int from = at, to = at + int(t.size());
        at = to;
        // The parts before, inside and after the range.
        const int a = std::clamp(Start, from, to) - from, b = std::clamp(end, from, to) - from;
        auto part = [&](int x, int y, bool changed) {
            if (y <= x) return;
            TRichTextRun p = r;
            p.Text = Utf32ToUtf8(t.substr(std::size_t(x), std::size_t(y - x)));
            if (changed) Change(p);
            out.push_back(std::move(p));
        };
        part(0, a, false);
        part(a, b, true);
        part(b, int(t.size()), false);
    }
    SetRuns(std::move(out));
}

std::string TRichText::Rtf() const {
    std::vector<std::string> fonts;
    std::vector<TColor> colors;
    auto indexOf = [](auto& list, const auto& v) {
        auto it = std::find(list.begin(), list.end(), v);
        if (it == list.end()) it = list.insert(list.end(), v);
        return int(it - list.begin());
    };
    std::string body;
    for (const auto& r : FRuns) {
        body += '{';
        if (!r.FontName.empty()) body += "\\f" + std::to_string(indexOf(fonts, r.FontName));
        if (r.Size > 0) body += "\\fs" + std::to_string(r.Size * 2);
        if (r.Style.Contains(fsBold)) body += "\\b";
        if (r.Style.Contains(fsItalic)) body += "\\i";
        if (r.Style.Contains(fsUnderline)) body += "\\ul";
        if (r.Style.Contains(fsStrikeOut)) body += "\\strike";
        if (r.Color != clNone) body += "\\cf" + std::to_string(indexOf(colors, r.Color) + 1);
        if (r.Offset > 0) body += "\\up" + std::to_string(r.Offset / 10);
        if (r.Offset < 0) body += "\\dn" + std::to_string(-r.Offset / 10);
        // A blank ends the last control word.
        if (body.back() != '{') body += ' ';
        for (char32_t c : Utf8ToUtf32(r.Text)) {
            if (c == U'\\' || c == U'{' || c == U'}') {
                body += '\\';
                body += char(c);
            } else if (c == U'\n') {
                body += "\\par ";
            } else if (c == U'\t') {
                body += "\\tab ";
            } else if (c >= 0x20 && c < 0x80) {
                body += char(c);
            } else if (c >= 0x80) {
                // UTF-16 units as signed numbers, each with "?" for readers without \u.
                const std::u16string u = c > 0xFFFF ? std::u16string{char16_t(0xD7C0 + (c >> 10)),
                                                                     char16_t(0xDC00 | (c & 0x3FF))}
                                                    : std::u16string{char16_t(c)};
                for (char16_t v : u) body += "\\u" + std::to_string(int(int16_t(v))) + '?';
            }
        }
        body += '}';
    }
    std::string out = "{\\rtf1\\ansi\\deff0";
    if (!fonts.empty()) {
        out += "{\\fonttbl";
        for (std::size_t k = 0; k < fonts.size(); ++k)
            out += "{\\f" + std::to_string(k) + ' ' + fonts[k] + ";}";
        out += '}';
    }
    if (!colors.empty()) {
        out += "{\\colortbl;";
        for (TColor c : colors) {
            const TColor rgb = ColorToRGB(c);
            out += "\\red" + std::to_string(GetRValue(rgb)) + "\\green" +
                   std::to_string(GetGValue(rgb)) + "\\blue" + std::to_string(GetBValue(rgb)) + ';';
        }
        out += '}';
    }
    return out + body + "}";
}

void TRichText::SetAllColor(TColor Color) {
    for (auto& r : FRuns) r.Color = Color;
}

int TRichText::Render(TCanvas& Canvas, const TRect& R, double FontScale) const {
    TFont base;
    base.Assign(Canvas.Font());
    const int width = std::max(0, R.Width());
    SaveDC(&Canvas);
    IntersectClipRect(&Canvas, R.Left, R.Top, R.Right, R.Bottom);
    SetBkMode(&Canvas, TRANSPARENT);

    int y = R.Top;
    std::vector<Piece> line;
    int lineWidth = 0;
    auto flush = [&](bool force) {
        if (line.empty() && !force) return;
        int ascent = 0, descent = 0;
        if (line.empty()) {
            TTextMetric tm;
            GetTextMetrics(&Canvas, tm);
            ascent = tm.tmAscent;
            descent = tm.tmDescent;
        }
        std::vector<int> asc(line.size());
        for (std::size_t k = 0; k < line.size(); ++k) {
            selectFont(Canvas, base, *line[k].Run, FontScale);
            TTextMetric tm;
            GetTextMetrics(&Canvas, tm);
            asc[k] = tm.tmAscent;
            ascent = std::max(ascent, tm.tmAscent);
            descent = std::max(descent, tm.tmDescent);
        }
        int x = R.Left;
        for (std::size_t k = 0; k < line.size(); ++k) {
            selectFont(Canvas, base, *line[k].Run, FontScale);
            SetBkMode(&Canvas, TRANSPARENT);
            // Twips at 96 pixels per inch.
            Canvas.TextOut(x, y + ascent - asc[k] - int(line[k].Run->Offset * FontScale / 15),
                           line[k].Text);
            x += line[k].Width;
        }
        y += ascent + descent;
        line.clear();
        lineWidth = 0;
        Canvas.Font()->Assign(&base);
    };

    for (const auto& run : FRuns) {
        selectFont(Canvas, base, run, FontScale);
        std::size_t at = 0;
        while (at < run.Text.size()) {
            if (run.Text[at] == '\n') {
                flush(true);
                selectFont(Canvas, base, run, FontScale);
                ++at;
                continue;
            }
            // The next word with the blanks that follow it.
            std::size_t end = at;
            while (end < run.Text.size() && run.Text[end] != ' ' && run.Text[end] != '\n') ++end;
            while (end < run.Text.size() && run.Text[end] == ' ') ++end;
            std::string word = run.Text.substr(at, end - at);
            std::string shown = word;
            while (!shown.empty() && shown.back() == ' ') shown.pop_back();
            const int w = Canvas.TextWidth(word);
            if (!line.empty() && lineWidth + Canvas.TextWidth(shown) > width) {
                flush(false);
                selectFont(Canvas, base, run, FontScale);
            }
            if (!line.empty() && line.back().Run == &run) {
                line.back().Text += word;
                line.back().Width += w;
            } else {
                line.push_back(Piece{&run, word, w});
            }
            lineWidth += w;
            at = end;
        }
    }
    flush(false);
    Canvas.Font()->Assign(&base);
    RestoreDC(&Canvas, -1);
    return y - R.Top;
}
