#include "platform/gfx/Raster.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

namespace {
// Fonts need a QGuiApplication. The ui layer makes one first; alone (tests of this layer), one
// is made here on the offscreen platform and left alive to the end of the process on purpose.
void ensureGuiApp() {
    if (QCoreApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "knx";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// The installed family that stands in for a font name of the classic desktop.
QString familyFor(const std::string& name) {
    struct Map {
        const char* name;
        const char* family;
    };
    static const Map map[] = {
        {"Verdana", "DejaVu Sans"},
        {"Tahoma", "DejaVu Sans"},
        {"Segoe UI", "DejaVu Sans"},
        {"MS Shell Dlg", "DejaVu Sans"},
        {"MS Shell Dlg 2", "DejaVu Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Microsoft Sans Serif", "Liberation Sans"},
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Arial Narrow", "Liberation Sans Narrow"},
        {"Courier New", "Liberation Mono"},
        {"Courier", "Liberation Mono"},
        {"Lucida Console", "DejaVu Sans Mono"},
        {"Consolas", "DejaVu Sans Mono"},
        {"Times New Roman", "Liberation Serif"},
        {"Times", "Liberation Serif"},
        {"Georgia", "DejaVu Serif"},
    };
    QString fam = "DejaVu Sans";
    for (const Map& m : map)
        if (SameText(name, m.name)) {
            fam = m.family;
            break;
        }
    if (fam == "DejaVu Sans") {
        // An installed family of that very name wins over the default stand-in.
        QString own = QString::fromStdString(name);
        if (QFontDatabase::hasFamily(own) && !SameText(name, "Verdana") &&
            !SameText(name, "Tahoma") && !SameText(name, "Segoe UI"))
            fam = own;
    }
    if (!QFontDatabase::hasFamily(fam)) fam = "DejaVu Sans";
    return fam;
}

bool antialiased(const TFont& f) {
    return f.Quality() == fqAntialiased || f.Quality() == fqClearType;
}

QFont toQFont(const TFont& f) {
    ensureGuiApp();
    QFont q(familyFor(f.Name()));
    // Font merging stays on so that glyphs missing from the family come from another font.
    q.setStyleStrategy(antialiased(f) ? QFont::PreferAntialias : QFont::NoAntialias);
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setKerning(false);
    q.setBold(f.Style().Contains(fsBold));
    q.setItalic(f.Style().Contains(fsItalic));
    q.setUnderline(f.Style().Contains(fsUnderline));
    q.setStrikeOut(f.Style().Contains(fsStrikeOut));
    if (f.Pitch() == fpFixed) {
        q.setFixedPitch(true);
        q.setStyleHint(QFont::Monospace);
    }
    int h = f.Height();
    if (h < 0) {
        q.setPixelSize(-h);
    } else if (h > 0) {
        // A positive height is the cell height (ascent + descent).
        q.setPixelSize(h);
        QFontMetrics fm(q);
        int cell = fm.ascent() + fm.descent();
        if (cell > 0) q.setPixelSize(std::max(1, int(std::lround(double(h) * h / cell))));
    } else {
        q.setPixelSize(11);
    }
    return q;
}

QString qstr(const std::u32string& s) {
    return QString::fromUcs4(s.data(), qsizetype(s.size()));
}

// Resolving a font is slow; the resolved fonts are kept by their attributes.
struct ResolvedFont {
    QFont font;
    QFontMetrics fm;
};
using FontCache = std::map<std::string, std::unique_ptr<ResolvedFont>>;
// Emptied when the application object goes, since fonts must not outlive it.
FontCache& fontCache() {
    static auto* cache = new FontCache; // never destroyed: it may outlive the application
    static bool hooked = false;
    if (!hooked) {
        hooked = true;
        qAddPostRoutine([] {
            fontCache().clear();
            hooked = false;
        });
    }
    return *cache;
}

const ResolvedFont& resolve(const TFont& f) {
    ensureGuiApp();
    FontCache& cache = fontCache();
    std::string key = LowerCase(f.Name()) + '|' + std::to_string(f.Height()) + '|' +
                      std::to_string(f.Style().Bits()) + '|' + std::to_string(int(f.Pitch())) +
                      '|' + std::to_string(int(antialiased(f)));
    auto it = cache.find(key);
    if (it != cache.end()) return *it->second;
    if (cache.size() > 256) cache.clear();
    QFont q = toQFont(f);
    auto entry = std::make_unique<ResolvedFont>(ResolvedFont{q, QFontMetrics(q)});
    return *cache.emplace(key, std::move(entry)).first->second;
}

struct TextDevice {
    TCanvas& c;
    QFont font;
    QFontMetrics fm;
    explicit TextDevice(TCanvas& c) : TextDevice(c, resolve(*c.Font())) {}
    TextDevice(TCanvas& c, const ResolvedFont& r) : c(c), font(r.font), fm(r.fm) {}
    int lineHeight() const { return fm.ascent() + fm.descent(); }
    int width(const QString& s) const { return fm.horizontalAdvance(s); }
};

// Draws one run at device (x, y) = top-left of its cell; underline < 0 for none.
void drawRun(TextDevice& t, gfx::Raster& r, int x, int y, const QString& s, int underline,
             const TRect* clip) {
    auto& st = t.c.DcState();
    int w = t.width(s), h = t.lineHeight();
    int orient = t.c.Font()->Orientation();
    TRect cell(x, y, x + w, y + h);
    TRect box = cell;
    QTransform tr;
    tr.translate(x, y);
    if (orient % 3600 != 0) {
        tr.rotate(-orient / 10.0);
        QRect b = tr.mapRect(QRect(0, 0, w, h));
        box = TRect(b.left() - 2, b.top() - 2, b.right() + 3, b.bottom() + 3);
    } else {
        InflateRect(box, h / 3 + 1, 1);
    }
    TRect bounds = r.bounds();
    if (clip) IntersectRect(bounds, bounds, *clip);
    if (st.bkMode == OPAQUE && orient % 3600 == 0) {
        TRect bg;
        if (IntersectRect(bg, cell, bounds)) r.fill(bg, gfx::solidPaint(st.bkColor));
    }
    if (s.isEmpty() || !IntersectRect(box, box, bounds)) return;
    QImage img(box.Width(), box.Height(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, antialiased(*t.c.Font()));
        p.setTransform(tr * QTransform::fromTranslate(-box.Left, -box.Top));
        p.setFont(t.font);
        p.setPen(Qt::white);
        p.drawText(QPointF(0, t.fm.ascent()), s);
        if (underline >= 0 && underline < s.size()) {
            int ux = t.width(s.left(underline)), uw = t.width(s.mid(underline, 1));
            int lw = std::max(1, t.fm.lineWidth());
            p.fillRect(QRect(ux, t.fm.ascent() + t.fm.underlinePos(), uw, lw), Qt::white);
        }
    }
    std::vector<std::uint8_t> cov(std::size_t(box.Width()) * std::size_t(box.Height()));
    for (int yy = 0; yy < box.Height(); ++yy) {
        auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(yy));
        for (int xx = 0; xx < box.Width(); ++xx)
            cov[std::size_t(yy) * std::size_t(box.Width()) + std::size_t(xx)] =
                std::uint8_t(qAlpha(line[xx]));
    }
    if (clip) {
        for (int yy = box.Top; yy < box.Bottom; ++yy)
            for (int xx = box.Left; xx < box.Right; ++xx)
                if (!clip->Contains({xx, yy}))
                    cov[std::size_t(yy - box.Top) * std::size_t(box.Width()) +
                        std::size_t(xx - box.Left)] = 0;
    }
    r.mask(box, cov, gfx::solidPaint(st.textColor), R2_COPYPEN, antialiased(*t.c.Font()));
}

using gfx::Op;
} // namespace

std::string TFont::ResolvedFamily() const {
    ensureGuiApp();
    QFontInfo info(resolve(*this).font);
    return info.family().toStdString();
}

// --- canvas text ------------------------------------------------------------------------------
void TCanvas::TextOut(int x, int y, const std::string& text) {
    Op op(*this);
    TextDevice t(*this);
    gfx::Raster r(*this);
    TPoint off = gfx::deviceOffset(*state_);
    QString s = QString::fromStdString(text);
    drawRun(t, r, x + off.X, y + off.Y, s, -1, nullptr);
    MoveTo(x + t.width(s), y);
}

void TCanvas::TextRect(const TRect& rc, int x, int y, const std::string& text) {
    gfx::syncState(*this);
    ExtTextOut(this, x, y, ETO_CLIPPED | (brush_.Style() != bsClear ? ETO_OPAQUE : 0), &rc, text,
               -1);
}

bool ExtTextOut(HDC dc, int x, int y, unsigned options, const TRect* rect, const std::string& text,
                int count) {
    Op op(*dc);
    TextDevice t(*dc);
    gfx::Raster r(*dc);
    TPoint off = gfx::deviceOffset(dc->DcState());
    TRect d;
    if (rect) {
        d = *rect;
        OffsetRect(d, off.X, off.Y);
        TRect bg;
        if ((options & ETO_OPAQUE) && IntersectRect(bg, d, r.bounds()))
            r.fill(bg, gfx::solidPaint(dc->DcState().bkColor));
    }
    std::u32string u = Utf8ToUtf32(text);
    if (count >= 0 && std::size_t(count) < u.size()) u.resize(std::size_t(count));
    drawRun(t, r, x + off.X, y + off.Y, qstr(u), -1,
            rect && (options & ETO_CLIPPED) ? &d : nullptr);
    return true;
}

void TCanvas::TextRect(TRect& rc, std::string& text, TTextFormat format) {
    unsigned flags = format.ToDrawTextFlags();
    if (format.Contains(tfModifyString) ||
        flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        DrawTextEx(this, text, -1, rc, flags, nullptr);
    } else {
        DrawText(this, text, -1, rc, flags);
    }
}

int TCanvas::TextWidth(const std::string& text) {
    return TextExtent(text).cx;
}
int TCanvas::TextHeight(const std::string& text) {
    return TextExtent(text).cy;
}
TSize TCanvas::TextExtent(const std::string& text) {
    TSize s;
    GetTextExtentPoint32(this, text, -1, s);
    return s;
}

bool GetTextExtentPoint32(HDC dc, const std::string& text, int count, TSize& size) {
    TextDevice t(*dc);
    std::u32string u = Utf8ToUtf32(text);
    if (count >= 0 && std::size_t(count) < u.size()) u.resize(std::size_t(count));
    size.cx = t.width(qstr(u));
    size.cy = t.lineHeight();
    return true;
}

bool GetTextMetrics(HDC dc, TTextMetric& tm) {
    TextDevice t(*dc);
    tm.tmAscent = t.fm.ascent();
    tm.tmDescent = t.fm.descent();
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - t.font.pixelSize());
    tm.tmExternalLeading = std::max(0, t.fm.leading());
    tm.tmAveCharWidth = t.fm.averageCharWidth();
    tm.tmMaxCharWidth = t.fm.maxWidth();
    return true;
}

// --- DrawText ---------------------------------------------------------------------------------
namespace {
struct Line {
    std::u32string text;
    int underline = -1; // character index to underline
};

// Removes "&" prefixes: "&&" is one ampersand, "&x" underlines x.
Line stripPrefix(const std::u32string& s, bool showUnderline) {
    Line out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == U'&') {
            if (i + 1 < s.size() && s[i + 1] == U'&') {
                out.text += U'&';
                ++i;
                continue;
            }
            if (i + 1 < s.size() && showUnderline) out.underline = int(out.text.size());
            continue;
        }
        out.text += s[i];
    }
    return out;
}

struct Layout {
    TextDevice& t;
    bool expandTabs;
    int tabWidth;
    // Width with tab stops expanded.
    int width(const std::u32string& s) const {
        if (!expandTabs) return t.width(qstr(s));
        int x = 0;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == U'\t') {
                x += t.width(qstr(s.substr(start, i - start)));
                if (i < s.size()) x = tabWidth > 0 ? (x / tabWidth + 1) * tabWidth : x;
                start = i + 1;
            }
        }
        return x;
    }
};

bool isSpace(char32_t c) {
    return c == U' ' || c == U'\t';
}

// Greedy word wrap of one paragraph; a word wider than the line is split only when splitWords.
std::vector<Line> wrap(const Line& para, const Layout& lay, int maxWidth, bool splitWords) {
    std::vector<Line> out;
    const std::u32string& s = para.text;
    std::size_t start = 0;
    if (s.empty()) {
        out.push_back(para);
        return out;
    }
    while (start < s.size()) {
        std::size_t end = start, lastFit = std::string::npos;
        // Extend word by word while the line fits.
        while (end < s.size()) {
            std::size_t wordEnd = end;
            while (wordEnd < s.size() && isSpace(s[wordEnd])) ++wordEnd;
            while (wordEnd < s.size() && !isSpace(s[wordEnd])) ++wordEnd;
            std::u32string candidate = s.substr(start, wordEnd - start);
            while (!candidate.empty() && isSpace(candidate.back())) candidate.pop_back();
            if (lay.width(candidate) <= maxWidth || lastFit == std::string::npos) {
                if (lay.width(candidate) > maxWidth && lastFit == std::string::npos) {
                    // The first word does not fit.
                    if (splitWords) {
                        std::size_t n = wordEnd;
                        while (n > start + 1 && lay.width(s.substr(start, n - start)) > maxWidth)
                            --n;
                        lastFit = n;
                    } else {
                        lastFit = wordEnd;
                    }
                    break;
                }
                lastFit = wordEnd;
                end = wordEnd;
                continue;
            }
            break;
        }
        if (lastFit == std::string::npos || lastFit <= start) lastFit = std::max(end, start + 1);
        Line l;
        l.text = s.substr(start, lastFit - start);
        while (!l.text.empty() && isSpace(l.text.back())) l.text.pop_back();
        if (para.underline >= int(start) && para.underline < int(lastFit))
            l.underline = para.underline - int(start);
        out.push_back(l);
        start = lastFit;
        while (start < s.size() && s[start] == U' ') ++start;
    }
    return out;
}

const std::u32string kEllipsis = U"...";

// Shortens a line to fit maxWidth with "..." at the end, in the middle of a path, or after a word.
bool ellipsize(Line& l, const Layout& lay, int maxWidth, unsigned fmt) {
    if (lay.width(l.text) <= maxWidth) return false;
    std::u32string& s = l.text;
    if (fmt & DT_PATH_ELLIPSIS) {
        auto sep = s.find_last_of(U"\\/");
        if (sep != std::u32string::npos && sep > 0) {
            std::u32string head = s.substr(0, sep), tail = s.substr(sep);
            while (!head.empty() && lay.width(head + kEllipsis + tail) > maxWidth) head.pop_back();
            if (lay.width(head + kEllipsis + tail) <= maxWidth) {
                s = head + kEllipsis + tail;
                l.underline = -1;
                return true;
            }
            s = kEllipsis + tail;
        }
    }
    std::u32string base = s;
    while (!base.empty() && lay.width(base + kEllipsis) > maxWidth) base.pop_back();
    if (fmt & DT_WORD_ELLIPSIS) {
        auto sp = base.find_last_of(U' ');
        if (sp != std::u32string::npos && sp > 0) base.resize(sp);
    }
    while (!base.empty() && base.back() == U' ') base.pop_back();
    if (l.underline >= int(base.size())) l.underline = -1;
    s = base + kEllipsis;
    return true;
}

int drawTextImpl(HDC dc, std::string* modify, const std::string& text, int count, TRect& rect,
                 unsigned fmt, DRAWTEXTPARAMS* params) {
    gfx::syncState(*dc);
    int tabChars = 8;
    if (fmt & DT_TABSTOP) {
        tabChars = int((fmt >> 8) & 0xFF);
        fmt &= ~0xFF00u;
    }
    if (params && params->iTabLength > 0) tabChars = params->iTabLength;
    int leftMargin = params ? params->iLeftMargin : 0,
        rightMargin = params ? params->iRightMargin : 0;
    TextDevice t(*dc);
    Layout lay{t, (fmt & DT_EXPANDTABS) != 0, tabChars * std::max(1, t.fm.averageCharWidth())};

    std::u32string u = Utf8ToUtf32(text);
    if (count >= 0 && std::size_t(count) < u.size()) u.resize(std::size_t(count));
    if (params) params->uiLengthDrawn = unsigned(u.size());
    if (!(fmt & DT_EXPANDTABS)) std::erase(u, U'\t');
    bool single = fmt & DT_SINGLELINE;
    std::vector<std::u32string> paragraphs;
    if (single) {
        std::u32string s;
        for (char32_t c : u)
            if (c != U'\r' && c != U'\n') s += c;
        paragraphs.push_back(s);
    } else {
        std::u32string cur;
        for (std::size_t i = 0; i < u.size(); ++i) {
            if (u[i] == U'\r' || u[i] == U'\n') {
                if (u[i] == U'\r' && i + 1 < u.size() && u[i + 1] == U'\n') ++i;
                paragraphs.push_back(cur);
                cur.clear();
            } else {
                cur += u[i];
            }
        }
        // A final line break adds no empty line.
        if (!cur.empty() || paragraphs.empty()) paragraphs.push_back(cur);
    }
    if (u.empty()) paragraphs.clear();

    bool prefix = !(fmt & DT_NOPREFIX);
    bool showUnderline = !(fmt & (DT_HIDEPREFIX | DT_PREFIXONLY));
    int avail = rect.Width() - leftMargin - rightMargin;
    std::vector<Line> lines;
    for (const auto& p : paragraphs) {
        Line l = prefix ? stripPrefix(p, showUnderline) : Line{p, -1};
        if ((fmt & DT_WORDBREAK) && !single) {
            for (Line& w : wrap(l, lay, avail, (fmt & DT_EDITCONTROL) != 0)) lines.push_back(w);
        } else {
            lines.push_back(l);
        }
    }
    bool calc = fmt & DT_CALCRECT;
    bool anyEllipsis = false;
    if (!calc && (fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)))
        for (Line& l : lines) anyEllipsis |= ellipsize(l, lay, avail, fmt);
    if (modify && anyEllipsis && (fmt & DT_MODIFYSTRING) && !lines.empty()) {
        std::u32string joined;
        for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? U"\n" : U"") + lines[i].text;
        *modify = Utf32ToUtf8(joined);
    }

    int lineH = t.lineHeight() + ((fmt & DT_EXTERNALLEADING) ? std::max(0, t.fm.leading()) : 0);
    int totalH = int(lines.size()) * lineH;
    if (calc) {
        int maxW = 0;
        for (const Line& l : lines) maxW = std::max(maxW, lay.width(l.text));
        rect.Right = rect.Left + maxW + leftMargin + rightMargin;
        rect.Bottom = rect.Top + totalH;
        return totalH;
    }
    if ((fmt & DT_EDITCONTROL) && !single) {
        // An edit control shows no partly visible last line.
        std::size_t fit =
            std::max<std::size_t>(1, std::size_t(std::max(0, rect.Height()) / std::max(1, lineH)));
        if (lines.size() > fit) lines.resize(fit);
    }

    Op op(*dc);
    gfx::Raster r(*dc);
    TPoint off = gfx::deviceOffset(dc->DcState());
    TRect clipDev = rect;
    OffsetRect(clipDev, off.X, off.Y);
    const TRect* clip = (fmt & DT_NOCLIP) ? nullptr : &clipDev;
    int y = rect.Top;
    if (single && (fmt & DT_VCENTER))
        y = rect.Top + (rect.Height() - lineH) / 2;
    else if (single && (fmt & DT_BOTTOM))
        y = rect.Bottom - lineH;
    int startY = y;
    for (const Line& l : lines) {
        int w = lay.width(l.text);
        int x = rect.Left + leftMargin;
        if (fmt & DT_CENTER)
            x = rect.Left + leftMargin + (avail - w) / 2;
        else if (fmt & DT_RIGHT)
            x = rect.Right - rightMargin - w;
        if (lay.expandTabs && l.text.find(U'\t') != std::u32string::npos) {
            // Runs between tabs, each at its tab stop.
            int cx = 0;
            std::size_t start = 0;
            for (std::size_t i = 0; i <= l.text.size(); ++i) {
                if (i == l.text.size() || l.text[i] == U'\t') {
                    std::u32string run = l.text.substr(start, i - start);
                    int ul = (l.underline >= int(start) && l.underline < int(i))
                                 ? l.underline - int(start)
                                 : -1;
                    drawRun(t, r, x + cx + off.X, y + off.Y, qstr(run), ul, clip);
                    cx += t.width(qstr(run));
                    if (i < l.text.size())
                        cx = lay.tabWidth > 0 ? (cx / lay.tabWidth + 1) * lay.tabWidth : cx;
                    start = i + 1;
                }
            }
        } else {
            drawRun(t, r, x + off.X, y + off.Y, qstr(l.text), l.underline, clip);
        }
        y += lineH;
    }
    if (single && (fmt & (DT_VCENTER | DT_BOTTOM))) return startY - rect.Top + totalH;
    return totalH;
}
} // namespace

int DrawText(HDC dc, const std::string& text, int count, TRect& rect, unsigned format) {
    return drawTextImpl(dc, nullptr, text, count, rect, format, nullptr);
}

int DrawTextEx(HDC dc, std::string& text, int count, TRect& rect, unsigned format,
               DRAWTEXTPARAMS* params) {
    std::string original = text;
    return drawTextImpl(dc, &text, original, count, rect, format, params);
}
