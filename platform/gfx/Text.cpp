#include "platform/gfx/Raster.h"

#include "platform/base/Hotkey.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>

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

} // namespace

namespace gfx {
// The attributes that select a resolved font.
struct FontKey {
    std::string name; // lower case
    int height = 0;
    unsigned style = 0;
    int pitch = 0;
    bool antialiased = false;
    friend bool operator==(const FontKey&, const FontKey&) = default;
};

// What a text looks like in one font: its width, and its covered pixels relative to the box
// around its cell (the cell widened by a third of the line height and a pixel, so that
// overhanging glyphs are kept).
struct TextEntry {
    int width = -1;
    // The shaped glyphs, kept from measuring until the text is drawn.
    QList<QGlyphRun> glyphs;
    QPointF glyphOrigin;
    bool drawn = false;
    CoverageRuns runs;
    std::map<int, CoverageRuns> underlined; // by the underlined character
};

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Resolving a font is slow; the resolved fonts are kept by their attributes, each with the
// texts measured and drawn in it.
struct ResolvedFont {
    FontKey key;
    QFont font;
    QFontMetrics fm;
    int ascent, descent;
    std::unordered_map<std::string, TextEntry, StringHash, std::equal_to<>> texts;
    // The same texts read right to left.
    std::unordered_map<std::string, TextEntry, StringHash, std::equal_to<>> textsRtl;
};
} // namespace gfx

namespace {
using gfx::CoverageRuns;
using gfx::FontKey;
using gfx::ResolvedFont;
using gfx::TextEntry;

struct FontKeyHash {
    std::size_t operator()(const FontKey& k) const {
        return std::hash<std::string>{}(k.name) ^ (std::size_t(k.height) * 31u) ^
               (std::size_t(k.style) << 8) ^ (std::size_t(k.pitch) << 12) ^
               (std::size_t(k.antialiased) << 14);
    }
};

// The resolved fonts, and the one painter that renders texts for all canvases into a scratch
// image. Emptied when the application object goes, since fonts must not outlive it; the
// generation tells canvases that the fonts they hold are gone.
struct FontCache {
    std::unordered_map<FontKey, std::unique_ptr<ResolvedFont>, FontKeyHash> fonts;
    std::uint64_t generation = 1;
    QImage scratch;
    std::unique_ptr<QPainter> painter;
    const ResolvedFont* painterFont = nullptr;
    void clear() {
        painter.reset();
        painterFont = nullptr;
        scratch = QImage();
        fonts.clear();
        ++generation;
    }
};

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

// Texts kept per font before the font's texts are dropped and measured anew.
constexpr std::size_t MaxTextsPerFont = 8192;

FontKey keyOf(const TFont& f) {
    return {LowerCase(f.Name()), f.Height(), f.Style().Bits(), int(f.Pitch()), antialiased(f)};
}

bool sameFont(const FontKey& k, const TFont& f) {
    return k.height == f.Height() && k.style == f.Style().Bits() && k.pitch == int(f.Pitch()) &&
           k.antialiased == antialiased(f) && SameText(k.name, f.Name());
}

ResolvedFont& resolve(const TFont& f) {
    ensureGuiApp();
    FontCache& cache = fontCache();
    FontKey key = keyOf(f);
    auto it = cache.fonts.find(key);
    if (it != cache.fonts.end()) return *it->second;
    if (cache.fonts.size() > 256) cache.clear();
    QFont q = toQFont(f);
    QFontMetrics fm(q);
    auto entry =
        std::make_unique<ResolvedFont>(ResolvedFont{key, q, fm, fm.ascent(), fm.descent(), {}, {}});
    return *cache.fonts.emplace(std::move(key), std::move(entry)).first->second;
}

// The canvas's font, resolved again only when it changed to other attributes.
ResolvedFont& fontOf(TCanvas& c) {
    auto& st = c.DcState();
    FontCache& cache = fontCache();
    if (st.font && st.fontGeneration == cache.generation &&
        (!st.fontChanged || sameFont(st.font->key, *c.Font()))) {
        st.fontChanged = false;
        return *st.font;
    }
    ResolvedFont& f = resolve(*c.Font());
    st.font = &f;
    st.fontGeneration = cache.generation;
    st.fontChanged = false;
    return f;
}

QString toQString(std::string_view utf8) {
    return qstr(Utf8ToUtf32(utf8));
}

TextEntry& entryOf(ResolvedFont& f, std::string_view text, bool rtl) {
    auto& texts = rtl ? f.textsRtl : f.texts;
    auto it = texts.find(text);
    if (it != texts.end()) return it->second;
    if (texts.size() >= MaxTextsPerFont) texts.clear();
    return texts.emplace(std::string(text), TextEntry{}).first->second;
}

// Shapes the text once: its width, and the glyphs that draw it. rtl: a right-to-left
// paragraph, still starting at the left of its box.
void shape(ResolvedFont& f, TextEntry& e, std::string_view text, bool rtl) {
    QTextLayout layout(toQString(text), f.font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    if (rtl) {
        option.setTextDirection(Qt::RightToLeft);
        option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    }
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    e.width = qRound(line.horizontalAdvance());
    e.glyphs = layout.glyphRuns();
    // Glyph positions are relative to the line's top; the text's baseline is at the ascent.
    e.glyphOrigin = line.position() + QPointF(0, f.ascent - line.ascent());
}

int widthOf(ResolvedFont& f, std::string_view text, bool rtl) {
    if (text.empty()) return 0;
    TextEntry& e = entryOf(f, text, rtl);
    if (e.width < 0) shape(f, e, text, rtl);
    return e.width;
}

struct TextDevice {
    TCanvas& c;
    ResolvedFont& f;
    const QFont& font;
    const QFontMetrics& fm;
    // Right-to-left reading: the paragraph's direction is right to left (DT_RTLREADING).
    bool rtl = false;
    explicit TextDevice(TCanvas& c, bool rtl = false) : TextDevice(c, fontOf(c)) {
        this->rtl = rtl;
    }
    TextDevice(TCanvas& c, ResolvedFont& r) : c(c), f(r), font(r.font), fm(r.fm) {}
    int lineHeight() const { return f.ascent + f.descent; }
    int width(const QString& s) const { return fm.horizontalAdvance(s); }
    int width(std::string_view utf8) const { return widthOf(f, utf8, rtl); }
    int width(const std::u32string& s) const { return widthOf(f, Utf32ToUtf8(s), rtl); }
    Qt::LayoutDirection direction() const { return rtl ? Qt::RightToLeft : Qt::LeftToRight; }
    // Where the underline of character i of s starts: right to left, the characters run from
    // the right end.
    int underlineX(const QString& s, int i) const {
        return rtl ? width(s) - width(s.left(i + 1)) : width(s.left(i));
    }
};

// Renders s into the cache's scratch image at (padX, 1) and returns the covered pixels of the
// box w x h: with antialiasing every touched pixel and its coverage, else the pixels at least
// half covered.
CoverageRuns renderRuns(TextDevice& t, TextEntry& e, const QString& s, int underline, int padX,
                        int w, int h) {
    FontCache& cache = fontCache();
    if (cache.scratch.width() < w || cache.scratch.height() < h) {
        cache.painter.reset();
        cache.scratch =
            QImage(std::max(w, cache.scratch.width()), std::max(h, cache.scratch.height()),
                   QImage::Format_ARGB32_Premultiplied);
    }
    if (!cache.painter) {
        cache.painter = std::make_unique<QPainter>(&cache.scratch);
        cache.painterFont = nullptr;
    }
    QPainter& p = *cache.painter;
    p.resetTransform();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(QRect(0, 0, w, h), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, false);
    bool blend = t.f.key.antialiased;
    p.setRenderHint(QPainter::TextAntialiasing, blend);
    if (cache.painterFont != &t.f) {
        p.setFont(t.font);
        cache.painterFont = &t.f;
    }
    p.setPen(Qt::white);
    p.setTransform(QTransform::fromTranslate(padX, 1));
    // The shaped glyphs draw the same pixels as the text, but without the font's lines.
    if (underline < 0 && !t.font.underline() && !t.font.strikeOut() && !e.glyphs.isEmpty()) {
        for (const QGlyphRun& run : e.glyphs) p.drawGlyphRun(e.glyphOrigin, run);
    } else {
        p.setLayoutDirection(t.direction());
        p.drawText(QPointF(0, t.fm.ascent()), s);
    }
    if (underline >= 0 && underline < s.size()) {
        int ux = t.underlineX(s, underline), uw = t.width(s.mid(underline, 1));
        int lw = std::max(1, t.fm.lineWidth());
        p.fillRect(QRect(ux, t.fm.ascent() + t.fm.underlinePos(), uw, lw), Qt::white);
    }
    CoverageRuns out;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<const QRgb*>(cache.scratch.constScanLine(y));
        for (int x = 0; x < w;) {
            unsigned a = qAlpha(line[x]);
            if (blend ? a == 0 : a < 128) {
                ++x;
                continue;
            }
            int x1 = x;
            bool full = true;
            while (x < w && (blend ? qAlpha(line[x]) != 0 : qAlpha(line[x]) >= 128)) {
                full = full && (!blend || qAlpha(line[x]) == 255);
                ++x;
            }
            CoverageRuns::Run run{y, x1, x, -1};
            if (!full) {
                run.coverage = int(out.cov.size());
                for (int k = x1; k < x; ++k) out.cov.push_back(std::uint8_t(qAlpha(line[k])));
            }
            out.runs.push_back(run);
        }
    }
    return out;
}

// Draws one run rotated by the font's orientation, or text that is not cached.
void drawRunDirect(TextDevice& t, gfx::Raster& r, int x, int y, const QString& s, int underline,
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
        p.setLayoutDirection(t.direction());
        p.drawText(QPointF(0, t.fm.ascent()), s);
        if (underline >= 0 && underline < s.size()) {
            int ux = t.underlineX(s, underline), uw = t.width(s.mid(underline, 1));
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

// Draws one run of UTF-8 text at device (x, y) = top-left of its cell; underline < 0 for none.
// The text is shaped and rendered once per font; later runs copy its pixels.
void drawRun(TextDevice& t, gfx::Raster& r, int x, int y, std::string_view text, int underline,
             const TRect* clip) {
    if (t.c.Font()->Orientation() % 3600 != 0) {
        drawRunDirect(t, r, x, y, toQString(text), underline, clip);
        return;
    }
    auto& st = t.c.DcState();
    int w = t.width(text), h = t.lineHeight();
    int padX = h / 3 + 1;
    TRect cell(x, y, x + w, y + h);
    TRect box(x - padX, y - 1, x + w + padX, y + h + 1);
    TRect bounds = r.bounds();
    if (clip) IntersectRect(bounds, bounds, *clip);
    if (st.bkMode == OPAQUE) {
        TRect bg;
        if (IntersectRect(bg, cell, bounds)) r.fill(bg, gfx::solidPaint(st.bkColor));
    }
    if (text.empty() || !IntersectRect(box, box, bounds)) return;
    TextEntry& e = entryOf(t.f, text, t.rtl);
    CoverageRuns* runs = &e.runs;
    if (underline >= 0) {
        auto it = e.underlined.find(underline);
        if (it == e.underlined.end())
            it = e.underlined
                     .emplace(underline, renderRuns(t, e, toQString(text), underline, padX,
                                                    w + 2 * padX, h + 2))
                     .first;
        runs = &it->second;
    } else if (!e.drawn) {
        e.runs = renderRuns(t, e, toQString(text), -1, padX, w + 2 * padX, h + 2);
        e.drawn = true;
        e.glyphs.clear();
    }
    r.runs(x - padX, y - 1, *runs, gfx::toPixel(st.textColor), box);
}

using gfx::Op;
} // namespace

std::string TFont::ResolvedFamily() const {
    ensureGuiApp();
    QFontInfo info(resolve(*this).font);
    return info.family().toStdString();
}

// --- canvas text ------------------------------------------------------------------------------
namespace {
// The first `count` characters of text (all when count < 0).
std::string_view firstChars(const std::string& text, int count) {
    if (count < 0) return text;
    return std::string_view(text).substr(0, Utf8Offset(text, std::size_t(count)));
}
} // namespace

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Op op(*this);
    TextDevice t(*this, (textFlags_ & ETO_RTLREADING) != 0);
    gfx::Raster r(*this);
    TPoint off = gfx::deviceOffset(*state_);
    // Text that is not well-formed UTF-8 keeps Qt's own reading of it.
    QString direct;
    bool plain = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (!plain) {
        direct = QString::fromStdString(text);
        plain = direct == toQString(text);
    }
    if (plain) {
        drawRun(t, r, x + off.X, y + off.Y, text, -1, nullptr);
        MoveTo(x + t.width(std::string_view(text)), y);
    } else {
        drawRunDirect(t, r, x + off.X, y + off.Y, direct, -1, nullptr);
        MoveTo(x + t.width(direct), y);
    }
}

void TCanvas::TextRect(const TRect& rc, int x, int y, const std::string& text) {
    gfx::syncState(*this);
    ExtTextOut(this, x, y, textFlags_ | ETO_CLIPPED | (brush_.Style() != bsClear ? ETO_OPAQUE : 0),
               &rc, text, -1);
}

bool ExtTextOut(HDC dc, int x, int y, unsigned options, const TRect* rect, const std::string& text,
                int count) {
    Op op(*dc);
    TextDevice t(*dc, (options & ETO_RTLREADING) != 0);
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
    std::string_view shown = firstChars(text, count);
    // Text that is not well-formed UTF-8 is drawn as it reads, character by character.
    if (!std::all_of(shown.begin(), shown.end(), [](char c) { return (c & 0x80) == 0; })) {
        std::string canonical = Utf32ToUtf8(Utf8ToUtf32(shown));
        drawRun(t, r, x + off.X, y + off.Y, canonical, -1,
                rect && (options & ETO_CLIPPED) ? &d : nullptr);
        return true;
    }
    drawRun(t, r, x + off.X, y + off.Y, shown, -1, rect && (options & ETO_CLIPPED) ? &d : nullptr);
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
    std::string_view shown = firstChars(text, count);
    if (std::all_of(shown.begin(), shown.end(), [](char c) { return (c & 0x80) == 0; }))
        size.cx = t.width(shown);
    else
        size.cx = t.width(Utf32ToUtf8(Utf8ToUtf32(shown)));
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
            if (i + 1 < s.size() && !MarksHotkey(s[i + 1])) {
                out.text += U'&';
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
        if (!expandTabs) return t.width(s);
        int x = 0;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == U'\t') {
                x += t.width(s.substr(start, i - start));
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

// The common case of one line that needs no tabs, prefixes, breaks, wrapping or ellipsis: drawn
// (or measured) from the UTF-8 text as it is. False when the text needs the full layout.
bool drawSimpleText(HDC dc, const std::string& text, TRect& rect, unsigned fmt, int& height) {
    if (text.empty() || (fmt & DT_TABSTOP)) return false;
    bool ascii = true;
    for (char ch : text) {
        if (ch == '\r' || ch == '\n' || ch == '\t' || (ch == '&' && !(fmt & DT_NOPREFIX)))
            return false;
        ascii &= (ch & 0x80) == 0;
    }
    if (!ascii && !IsValidUtf8(text)) return false;
    const bool single = fmt & DT_SINGLELINE;
    std::string_view line = text;
    if ((fmt & DT_WORDBREAK) && !single) {
        // Wrapping drops the blanks at the end of a line.
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        if (line.empty()) return false;
    }
    TextDevice t(*dc, (fmt & DT_RTLREADING) != 0);
    const int w = t.width(line);
    const int avail = rect.Width();
    if (w > avail &&
        (((fmt & DT_WORDBREAK) && !single) ||
         (!(fmt & DT_CALCRECT) && (fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)))))
        return false;
    const int lineH =
        t.lineHeight() + ((fmt & DT_EXTERNALLEADING) ? std::max(0, t.fm.leading()) : 0);
    if (fmt & DT_CALCRECT) {
        rect.Right = rect.Left + w;
        rect.Bottom = rect.Top + lineH;
        height = lineH;
        return true;
    }
    Op op(*dc);
    gfx::Raster r(*dc);
    const TPoint off = gfx::deviceOffset(dc->DcState());
    TRect clipDev = rect;
    OffsetRect(clipDev, off.X, off.Y);
    const TRect* clip = (fmt & DT_NOCLIP) ? nullptr : &clipDev;
    int y = rect.Top;
    if (single && (fmt & DT_VCENTER))
        y = rect.Top + (rect.Height() - lineH) / 2;
    else if (single && (fmt & DT_BOTTOM))
        y = rect.Bottom - lineH;
    int x = rect.Left;
    if (fmt & DT_CENTER)
        x = rect.Left + (avail - w) / 2;
    else if (fmt & DT_RIGHT)
        x = rect.Right - w;
    drawRun(t, r, x + off.X, y + off.Y, line, -1, clip);
    height = single && (fmt & (DT_VCENTER | DT_BOTTOM)) ? y - rect.Top + lineH : lineH;
    return true;
}

int drawTextImpl(HDC dc, std::string* modify, const std::string& text, int count, TRect& rect,
                 unsigned fmt, DRAWTEXTPARAMS* params) {
    gfx::syncState(*dc);
    if (!modify && !params && count < 0) {
        int height = 0;
        if (drawSimpleText(dc, text, rect, fmt, height)) return height;
    }
    int tabChars = 8;
    if (fmt & DT_TABSTOP) {
        tabChars = int((fmt >> 8) & 0xFF);
        fmt &= ~0xFF00u;
    }
    if (params && params->iTabLength > 0) tabChars = params->iTabLength;
    int leftMargin = params ? params->iLeftMargin : 0,
        rightMargin = params ? params->iRightMargin : 0;
    TextDevice t(*dc, (fmt & DT_RTLREADING) != 0);
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
                    drawRun(t, r, x + cx + off.X, y + off.Y, Utf32ToUtf8(run), ul, clip);
                    cx += t.width(run);
                    if (i < l.text.size())
                        cx = lay.tabWidth > 0 ? (cx / lay.tabWidth + 1) * lay.tabWidth : cx;
                    start = i + 1;
                }
            }
        } else {
            drawRun(t, r, x + off.X, y + off.Y, Utf32ToUtf8(l.text), l.underline, clip);
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
