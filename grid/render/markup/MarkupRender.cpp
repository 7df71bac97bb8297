#include "grid/render/markup/MarkupRender.h"

#include "grid/core/base/GridDraw.h"
#include "grid/core/base/GridTheme.h"
#include "grid/render/markup/HTMLPicture.h"
#include "grid/render/markup/MarkupControls.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/base/SysUtils.h"
#include "platform/files/Files.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/ShellIcons.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

namespace {

// Stand-ins, after preparation, for entities that are decoded only inside a run.
constexpr char kAmp = '\x01';
constexpr char kLt = '\x02';
constexpr char kGt = '\x03';
constexpr char kNbsp = '\x04';

struct NamedColor {
    const char* name;
    TColor value;
};
constexpr NamedColor colorNames[] = {
    {"clred", 255},
    {"clblack", 0},
    {"clblue", 0xFF0000},
    {"clgreen", 0x8000},
    {"claqua", 0xFFFF00},
    {"clyellow", 0xFFFF},
    {"clfuchsia", 0xFF00FF},
    {"clwhite", 0xFFFFFF},
    {"cllime", 0xFF00},
    {"clsilver", 0xC0C0C0},
    {"clgray", 0x808080},
    {"clolive", 0x8080},
    {"clnavy", 0x800000},
    {"clpurple", 0x800080},
    {"clteal", 0x808000},
    {"clmaroon", 0x80},
    {"clbackground", TColor(0xFF000001)},
    {"clactivecaption", TColor(0xFF000002)},
    {"clinactivecaption", TColor(0xFF000003)},
    {"clmenu", TColor(0xFF000004)},
    {"clwindow", TColor(0xFF000005)},
    {"clwindowframe", TColor(0xFF000006)},
    {"clmenutext", TColor(0xFF000007)},
    {"clwindowtext", TColor(0xFF000008)},
    {"clcaptiontext", TColor(0xFF000009)},
    {"clactiveborder", TColor(0xFF00000A)},
    {"clinactiveborder", TColor(0xFF00000B)},
    {"clappworkspace", TColor(0xFF00000C)},
    {"clhighlight", TColor(0xFF00000D)},
    {"clhighlighttext", TColor(0xFF00000E)},
    {"clbtnface", TColor(0xFF00000F)},
    {"clbtnshadow", TColor(0xFF000010)},
    {"clgraytext", TColor(0xFF000011)},
    {"clbtntext", TColor(0xFF000012)},
    {"clinactivecaptiontext", TColor(0xFF000013)},
    {"clbtnhighlight", TColor(0xFF000014)},
    {"cl3ddkshadow", TColor(0xFF000015)},
    {"cl3dlight", TColor(0xFF000016)},
    {"clinfotext", TColor(0xFF000017)},
    {"clinfobk", TColor(0xFF000018)},
};

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool startsNoCase(std::string_view s, std::size_t at, std::string_view part) {
    if (at > s.size() || s.size() - at < part.size()) return false;
    for (std::size_t i = 0; i < part.size(); ++i)
        if (upper(s[at + i]) != upper(part[i])) return false;
    return true;
}

// Decodes every entity once, outside tags only. "&amp;" becomes the escaped prefix "&&";
// "&lt;", "&gt;" and "&nbsp;" become stand-ins that runs decode after they are split.
std::string prepare(std::string_view markup) {
    static const std::pair<const char*, const char*> named[] = {
        {"&quot;", "\""}, {"&sect;", "§"}, {"&permil;", "‰"}, {"&reg;", "®"},
        {"&copy;", "©"},  {"&para;", "¶"}, {"&trade;", "™"},  {"&euro;", "€"}};
    std::string out;
    out.reserve(markup.size());
    bool inTag = false;
    for (std::size_t i = 0; i < markup.size();) {
        char c = markup[i];
        if (c >= kAmp && c <= kNbsp) {
            ++i;
            continue;
        }
        if (inTag) {
            inTag = c != '>';
        } else if (c == '<') {
            inTag = true;
        } else if (c == '&') {
            std::string_view rest = markup.substr(i);
            if (startsNoCase(markup, i, "&amp;")) {
                out += kAmp;
                i += 5;
                continue;
            }
            if (rest.starts_with("&lt;") || rest.starts_with("&gt;")) {
                out += rest[1] == 'l' ? kLt : kGt;
                i += 4;
                continue;
            }
            if (rest.starts_with("&nbsp;")) {
                out += kNbsp;
                i += 6;
                continue;
            }
            bool done = false;
            for (const auto& [entity, ch] : named)
                if (startsNoCase(markup, i, entity)) {
                    out += ch;
                    i += std::strlen(entity);
                    done = true;
                    break;
                }
            if (done) continue;
        }
        out += c;
        ++i;
    }
    return HTMLLineBreaksToBR(HTMLRemoveFieldTags(out), true);
}

// The run as drawn (prefix processing on) and as plain text.
std::string shownRun(std::string_view raw, bool plain) {
    std::string out;
    out.reserve(raw.size());
    for (char c : raw) {
        switch (c) {
        case kAmp:
            out += plain ? "&" : "&&";
            break;
        case kLt:
            out += '<';
            break;
        case kGt:
            out += '>';
            break;
        case kNbsp:
            out += ' ';
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Number after "word" (such as "X=" or "SIZE"), quoted or not; nullopt without digits.
std::optional<int> number(std::string_view upperTag, std::string_view word) {
    std::size_t p = upperTag.find(word);
    if (p == std::string::npos) return std::nullopt;
    p += word.size();
    while (p < upperTag.size() && (upperTag[p] == '=' || upperTag[p] == '"' || upperTag[p] == ' '))
        ++p;
    if (p >= upperTag.size() ||
        !(std::isdigit(static_cast<unsigned char>(upperTag[p])) || upperTag[p] == '-'))
        return std::nullopt;
    return HTMLValInt(upperTag.substr(p));
}

TColor parseColor(std::string_view value) {
    if (value.find("CL") != std::string::npos || value.find("cl") != std::string::npos)
        return HTMLColorFromName(value);
    if (value.find('#') != std::string::npos)
        return HTMLColorFromHex(value.substr(value.find('#')));
    return HTMLColorFromName(value);
}

constexpr unsigned kTextFlags = DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING;
} // namespace

unsigned HTMLDrawTextFlags(unsigned Flags, TBiDiMode BiDiMode) {
    if (BiDiMode == bdRightToLeft) {
        if (Flags & DT_RIGHT)
            Flags &= ~DT_RIGHT;
        else if (!(Flags & DT_CENTER))
            Flags |= DT_RIGHT;
    }
    return BiDiMode != bdLeftToRight ? Flags | DT_RTLREADING : Flags;
}

namespace {

enum class Mode { Measure, Draw, Hit };

class Renderer {
public:
    Renderer(TCanvas& canvas, const TRect& bounds, const HTMLRenderOptions& o, HTMLRenderResult& r)
        : c_(canvas), bounds_(bounds), o_(o), r_(r) {
        base_.Assign(canvas.Font());
        entryBg_ = canvas.Brush()->Style() == bsClear ? clNone : canvas.Brush()->Color();
        themed_ = HTMLWinXP() && ThemeIsActive(GridThemeBinding()) != 0;
    }

    bool run(std::string text) {
        bool hit = false;
        const int gh = c_.TextHeight("gh");
        int y = bounds_.Top;
        while (!text.empty()) {
            Snapshot snap = snapshot();
            sub_ = sup_ = false;
            drop_ = rise_ = imageOffset_ = 0;
            lineHeight_ = gh;
            TRect box(bounds_.Left + 1, y, bounds_.Right, bounds_.Bottom);
            const std::size_t before = text.size();
            std::string line = pass(Mode::Measure, text, box);
            const int width = lineWidth_;
            TRect draw = box;
            // Right to left, left and right alignment swap.
            const int alignment =
                o_.BiDiMode == bdRightToLeft && alignment_ != 2 ? 1 - alignment_ : alignment_;
            if (alignment == 1 && draw.Right - width > draw.Left) draw.Left = draw.Right - width;
            if (alignment == 2 && draw.Right - draw.Left - width > 0)
                draw.Left += (draw.Right - draw.Left - width) / 2;
            draw.Left += indent_;
            draw.Bottom = draw.Top + lineHeight_ + drop_ + rise_;
            if (!o_.MeasureOnly) {
                restore(snap);
                measuredWidth_ = width;
                anchorHit_ = false;
                boxHit_ = false;
                pass(o_.HitTestOnly ? Mode::Hit : Mode::Draw, line, draw);
                const int bottom = draw.Bottom - imageOffset_;
                if (anchorHit_ && o_.HitY > bottom - gh && o_.HitY < bottom) hit = true;
                if (boxHit_) hit = true;
            }
            const int advance = lineHeight_ + drop_ + rise_;
            y += advance;
            r_.TotalHeight += advance;
            if (!o_.MeasureOnly && y + gh > bounds_.Bottom) break;
            if (text.size() == before) break; // nothing consumed: never loop
        }
        if (r_.TotalHeight == 0) r_.TotalHeight = gh;
        r_.LinkCount = anchorCount_;
        if (rotated_) HTMLRestoreFont(c_, rotatedSaved_);
        return hit;
    }

private:
    struct Snapshot {
        bool inAnchor;
        std::string href, title;
        int anchors, listLevel, images;
        bool hidden, shadow;
    };
    Snapshot snapshot() {
        lineFont_.Assign(c_.Font());
        return {inAnchor_, href_, title_, anchorCount_, listLevel_, imageCount_, hidden_, shadow_};
    }
    void restore(const Snapshot& s) {
        c_.Font()->Assign(&lineFont_);
        inAnchor_ = s.inAnchor;
        href_ = s.href;
        title_ = s.title;
        anchorCount_ = s.anchors;
        listLevel_ = s.listLevel;
        imageCount_ = s.images;
        hidden_ = s.hidden;
        shadow_ = s.shadow;
    }

    void style(TFontStyle s, bool on) {
        TFontStyles st = c_.Font()->Style();
        if (on)
            st.Include(s);
        else
            st.Exclude(s);
        c_.Font()->SetStyle(st);
    }
    void fill(const TRect& r, TColor color) {
        if (color != clNone && !r.IsEmpty()) FillRect(&c_, r, color);
    }

    // One pass over a line. Measuring consumes from text what forms the line and returns it.
    std::string pass(Mode mode, std::string& text, const TRect& box) {
        mode_ = mode;
        box_ = box;
        lineWidth_ = 0;
        int runs = 0;
        bool lastBlank = false, lineBreak = false, full = false, discard = false, liOnLine = false;
        const bool drawing = mode == Mode::Draw;
        if (drawing && paraBg_)
            fill(TRect(bounds_.Left, box.Top, bounds_.Right, box.Top + lineHeight_), bg_);
        if (drawing && focusActive_) focusX_ = box.Left + 1;
        const int boxWidth = box.Right - box.Left;
        std::size_t pos = 0;
        while (pos < text.size() && !lineBreak && !full) {
            if (text[pos] != '<') {
                std::size_t end = text.find('<', pos);
                if (end == std::string::npos) end = text.size();
                if (o_.WordWrap) {
                    std::size_t blank = text.find(' ', pos);
                    if (blank < end) end = blank + 1;
                }
                std::string_view raw(text.data() + pos, end - pos);
                std::string shown = shownRun(raw, false);
                TRect calc(0, 0, 0, 0);
                DrawText(&c_, shown, -1, calc, kTextFlags | DT_CALCRECT);
                const int w = calc.Width(), h = calc.Height();
                if (!hidden_ && mode == Mode::Measure) {
                    const bool fits = lineWidth_ + w < boxWidth || runs == 0 || !lastBlank;
                    if (!fits && o_.WordWrap) break;
                    if (!o_.WordWrap && lineWidth_ + w >= boxWidth) discard = true;
                }
                if (sub_) drop_ = std::max(drop_, h / 4);
                if (sup_) rise_ = std::max(rise_, h / 4);
                lineHeight_ = std::max(lineHeight_, h);
                if (mode == Mode::Measure) r_.PlainText += shownRun(raw, true);
                pos = end;
                if (hidden_) continue;
                const int start = lineWidth_;
                if (mode == Mode::Hit) {
                    const int rel =
                        mirroredRuns() ? box.Left + measuredWidth_ - o_.HitX : o_.HitX - box.Left;
                    if (inAnchor_ && rel >= start && start + w >= rel && o_.HitY > box.Top &&
                        o_.HitY < box.Bottom) {
                        anchorHit_ = true;
                        hitInAnchor_ = true;
                        r_.HitHref = href_;
                        r_.HitTitle = title_;
                    }
                } else if (drawing) {
                    drawRun(shown,
                            mirroredRuns() ? box.Left + measuredWidth_ - start - w
                                           : box.Left + start,
                            w, h);
                }
                lineWidth_ += w;
                ++runs;
                lastBlank = !raw.empty() && raw.back() == ' ';
                if (discard) {
                    full = true;
                    break;
                }
                continue;
            }
            if (text.size() - pos < 3) {
                pos = text.size();
                break;
            }
            std::size_t gt = text.find('>', pos);
            if (gt == std::string::npos) {
                pos = text.size();
                break;
            }
            std::string_view tag(text.data() + pos, gt - pos + 1);
            Tag t = interpret(tag, liOnLine);
            if (t == Tag::Stay) break;
            pos = gt + 1;
            if (t == Tag::Break) lineBreak = true;
        }
        if (mode == Mode::Measure && lastBlank) lineWidth_ -= c_.TextWidth(" ");
        if (drawing && focusActive_ && inAnchor_) drawFocus(box.Left + lineWidth_);
        r_.MaxLineWidth = std::max(r_.MaxLineWidth, lineWidth_);
        std::string line = text.substr(0, pos);
        if (mode == Mode::Measure) text = discard ? std::string() : text.substr(pos);
        return line;
    }

    int runBottom() const {
        int bottom = box_.Bottom - drop_;
        if (sup_) bottom -= rise_;
        if (sub_) bottom += drop_;
        return bottom - imageOffset_;
    }

    void drawRun(std::string& shown, int x, int w, int h) {
        const int bottom = runBottom();
        const unsigned flags =
            HTMLDrawTextFlags(kTextFlags | (o_.WordWrap ? 0u : DT_END_ELLIPSIS), o_.BiDiMode);
        // Right to left a run's box is its own width, so that the alignment leaves it in place.
        const int right = mirroredRuns() ? std::min(x + w, box_.Right) : box_.Right;
        fill(TRect(x, bottom - h, std::min(x + w, box_.Right), bottom), bg_);
        if (shadow_) {
            const TColor color = c_.Font()->Color();
            c_.Font()->SetColor(o_.ShadowColor);
            TRect r(x + o_.ShadowShift, box_.Top + o_.ShadowShift, right + o_.ShadowShift,
                    bottom + o_.ShadowShift);
            std::string copy = shown;
            DrawTextEx(&c_, copy, -1, r, flags, nullptr);
            c_.Font()->SetColor(color);
        }
        TRect r(x, box_.Top, right, bottom);
        DrawTextEx(&c_, shown, -1, r, flags, nullptr);
        if (inAnchor_ && focusActive_) r_.FocusedHref = href_;
        if (error_) {
            c_.Pen()->SetColor(clRed);
            c_.Pen()->SetWidth(1);
            const int right = x + w;
            int px = (x / 2) * 2;
            bool low = px % 4 == 0;
            c_.MoveTo(px, low ? bottom + 1 : bottom - 1);
            while (px < right) {
                px = std::min(px + 2, right);
                low = !low;
                c_.LineTo(px, low ? bottom + 1 : bottom - 1);
            }
        }
    }

    void drawFocus(int right) {
        const int gh = c_.TextHeight("gh");
        const int bottom = runBottom();
        DrawFocusRect(&c_, TRect(focusX_ - 1, bottom - gh, right + 1, bottom));
    }

    enum class Tag { Consumed, Break, Stay };

    Tag interpret(std::string_view tag, bool& liOnLine) {
        std::string u = UpperCase(tag);
        const bool drawing = mode_ == Mode::Draw;
        auto at = [&](std::size_t i) { return i < u.size() ? u[i] : '\0'; };
        if (at(1) == '/') {
            switch (at(2)) {
            case 'A':
                closeAnchor();
                break;
            case 'B':
                if (at(3) == '>')
                    style(fsBold, false);
                else
                    c_.Font()->SetColor(base_.Color());
                break;
            case 'E':
                if (drawing) error_ = false;
                break;
            case 'F':
                c_.Font()->SetName(base_.Name());
                c_.Font()->SetHeight(base_.Height());
                if (drawing && !o_.SelectedLook) {
                    c_.Font()->SetColor(base_.Color());
                    bg_ = savedBrush_;
                }
                break;
            case 'H':
                if (at(3) == 'I' && drawing) {
                    c_.Font()->SetColor(hiSavedText_);
                    bg_ = hiSavedBrush_;
                }
                break;
            case 'I':
                style(fsItalic, false);
                break;
            case 'L':
                return Tag::Break;
            case 'P':
                if (drawing) {
                    bg_ = savedParaBrush_;
                    paraBg_ = false;
                }
                return Tag::Break;
            case 'R':
                if (rotated_) {
                    HTMLRestoreFont(c_, rotatedSaved_);
                    rotated_ = false;
                }
                break;
            case 'S':
                if (at(3) == 'U')
                    sub_ = sup_ = false;
                else if (at(3) == 'H')
                    shadow_ = false;
                else
                    style(fsStrikeOut, false);
                break;
            case 'U':
                if (at(3) == '>' || listLevel_ < 1)
                    style(fsUnderline, false);
                else
                    --listLevel_;
                break;
            case 'Z':
                hidden_ = false;
                break;
            default:
                break;
            }
            return Tag::Consumed;
        }
        switch (at(1)) {
        case 'A':
            openAnchor(tag, u);
            break;
        case 'B':
            if (at(2) == '>')
                style(fsBold, true);
            else if (at(2) == 'R') {
                if (mode_ == Mode::Measure) r_.PlainText += '\r';
                return Tag::Break;
            } else if (at(2) == 'L') {
                if (!o_.BlinkVisible) c_.Font()->SetColor(entryBg_ == clNone ? clWhite : entryBg_);
            } else if (at(2) == 'O' && drawing) {
                if (auto v = HTMLTagAttribute(tag, u, "BACKGROUND")) tileBackground(*v);
                if (auto v = HTMLTagAttribute(tag, u, "BGCOLOR")) {
                    savedBrush_ = bg_;
                    bg_ = parseColor(*v);
                    fill(bounds_, bg_);
                }
            }
            break;
        case 'C':
            return control(tag);
        case 'E':
            if (drawing) error_ = true;
            break;
        case 'F':
            font(tag, u);
            break;
        case 'H':
            if (at(2) == 'I') {
                if (drawing) {
                    hiSavedText_ = c_.Font()->Color();
                    hiSavedBrush_ = bg_;
                    bg_ = HTMLHighlightBackColor();
                    c_.Font()->SetColor(HTMLHighlightTextColor());
                }
            } else if (at(2) == 'R') {
                if (drawing) {
                    const int y = runBottom() + 1;
                    c_.Pen()->SetColor(clBlack);
                    c_.Pen()->SetWidth(1);
                    c_.MoveTo(box_.Left, y);
                    c_.LineTo(box_.Right, y);
                }
                return Tag::Break;
            }
            break;
        case 'I':
            if (at(2) == '>')
                style(fsItalic, true);
            else if (at(2) == 'N') {
                if (auto n = number(u, "X=")) lineWidth_ = std::max(lineWidth_, *n);
            } else if (at(2) == 'M') {
                return image(tag, u);
            }
            break;
        case 'L': {
            if (liOnLine) return Tag::Stay;
            liOnLine = true;
            const int start = lineWidth_;
            lineWidth_ += listLevel_ * 12;
            if (drawing) {
                TFont saved;
                saved.Assign(c_.Font());
                c_.Font()->SetName("Symbol");
                std::string bullet = (listLevel_ % 2) ? "·" : "o";
                TRect r(box_.Left + start + listLevel_ * 12 - 12, box_.Top, box_.Right,
                        runBottom());
                DrawTextEx(&c_, bullet, -1, r, kTextFlags | DT_NOPREFIX, nullptr);
                c_.Font()->Assign(&saved);
            }
            break;
        }
        case 'P':
            paragraph(tag, u);
            break;
        case 'R':
            if (auto n = number(u, "A=")) {
                if (rotated_) HTMLRestoreFont(c_, rotatedSaved_);
                HTMLSelectRotatedFont(c_, *n, rotatedSaved_);
                rotated_ = true;
            }
            break;
        case 'S':
            if (u.starts_with("<SUB>"))
                sub_ = true;
            else if (u.starts_with("<SUP>"))
                sup_ = true;
            else if (at(2) == '>')
                style(fsStrikeOut, true);
            else if (at(2) == 'H')
                shadow_ = true;
            break;
        case 'U':
            if (at(2) == '>')
                style(fsUnderline, true);
            else {
                ++listLevel_;
                return Tag::Break;
            }
            break;
        case 'Z':
            hidden_ = true;
            break;
        default:
            break;
        }
        return Tag::Consumed;
    }

    void font(std::string_view tag, const std::string& u) {
        const bool drawing = mode_ == Mode::Draw;
        if (auto v = HTMLTagAttribute(tag, u, "FACE")) c_.Font()->SetName(UpperCase(*v));
        if (auto v = HTMLTagAttribute(tag, u, " COLOR"); v && !o_.SelectedLook)
            c_.Font()->SetColor(parseColor(UpperCase(*v)));
        if (auto v = HTMLTagAttribute(tag, u, "BGCOLOR"); v && drawing && !o_.SelectedLook) {
            savedBrush_ = bg_;
            bg_ = parseColor(UpperCase(*v));
        }
        if (auto n = number(u, "SIZE")) {
            static const int sizes[] = {8, 10, 12, 14, 16};
            const int points = (*n >= 1 && *n <= 5) ? sizes[*n - 1] : *n;
            if (points > 0) c_.Font()->SetSize(points);
        }
    }

    void paragraph(std::string_view tag, const std::string& u) {
        if (auto v = HTMLTagAttribute(tag, u, "ALIGN")) {
            std::string a = UpperCase(*v);
            if (a.find("RIGHT") != std::string::npos) alignment_ = 1;
            if (a.find("LEFT") != std::string::npos) alignment_ = 0;
            if (a.find("CENTER") != std::string::npos) alignment_ = 2;
        }
        if (auto v = HTMLTagAttribute(tag, u, "INDENT")) indent_ = HTMLValInt(*v);
        if (auto v = HTMLTagAttribute(tag, u, "BGCOLOR"); v && mode_ == Mode::Draw) {
            savedParaBrush_ = bg_;
            bg_ = v->empty() ? clNone : parseColor(UpperCase(*v));
            paraBg_ = true;
            fill(TRect(bounds_.Left, box_.Top, bounds_.Right, box_.Bottom - drop_), bg_);
        }
    }

    // --- boxes: images and embedded controls ----------------------------------------------
    // A box narrower than the line box that no longer fits ends the line (and stays for the
    // next one); a wider one is placed and overflows.
    bool fits(int w) const {
        const int lineBox = box_.Right - box_.Left;
        return !(w < lineBox && lineWidth_ + w > lineBox);
    }
    void place(int w, int h) {
        lineWidth_ += w;
        lineHeight_ = std::max(lineHeight_, h);
    }
    bool pointOnBox(int w, int h) const {
        const int rel = o_.HitX - box_.Left;
        return rel > lineWidth_ && rel < lineWidth_ + w && o_.HitY > box_.Top &&
               o_.HitY < box_.Top + h;
    }

    // A picture by name from the container, or by URL from the cache (loaded on first use).
    THTMLPicture* findPicture(const std::string& src) {
        if (src.find(':') == std::string::npos)
            return o_.PictureContainer ? o_.PictureContainer->FindPicture(src) : nullptr;
        if (src.find("://") == std::string::npos || !o_.PictureCache) return nullptr;
        if (THTMLPicture* p = o_.PictureCache->FindPicture(src)) return p;
        THTMLPicture* p = o_.PictureCache->AddPicture();
        p->SetAsynch(false);
        try {
            p->LoadFromURL(src);
        } catch (const Exception&) {
            // Bytes that do not decode: the picture stays in the cache, empty, so that painting
            // neither raises nor tries again.
        }
        return o_.PictureCache->FindPicture(src);
    }

    Tag image(std::string_view tag, const std::string& u) {
        const bool drawing = mode_ == Mode::Draw;
        const int n = ++imageCount_;
        // Sources keep their letter case: file paths and resource names are taken as written.
        std::string src = HTMLTagAttribute(tag, u, "SRC").value_or("");
        if (n == hitImage_)
            if (auto alt = HTMLTagAttribute(tag, u, "ALT")) src = *alt;
        const std::optional<int> wantW = number(u, "WIDTH"), wantH = number(u, "HEIGHT");
        const std::string su = UpperCase(src);
        const int x = box_.Left + lineWidth_, top = box_.Top;
        int w = 0, h = 0;
        std::function<void()> draw;
        if (su.rfind("IDX:", 0) == 0) {
            const int idx = HTMLValInt(std::string_view(src).substr(4));
            TImageList* il = o_.ImageList;
            if (il && idx >= 0 && idx < il->Count()) {
                w = il->Width();
                h = il->Height();
                draw = [this, il, idx, x, top] {
                    if (!o_.PrintScale) {
                        il->Draw(&c_, x, top, idx);
                        return;
                    }
                    TBitmap bmp;
                    il->GetBitmap(idx, &bmp);
                    HTMLDrawStretched(c_, bmp,
                                      Bounds(x, top, int(std::lrint(il->Width() * o_.ScaleFactor)),
                                             int(std::lrint(il->Height() * o_.ScaleFactor))));
                };
            }
        } else if (su.rfind("SSYS:", 0) == 0 || su.rfind("LSYS:", 0) == 0) {
            const bool large = su[0] == 'L';
            const std::string which = src.substr(5);
            const TSize size =
                HTMLDrawSysIcon(c_, x, top, o_.ScaleFactor, o_.PrintScale, false, large, which);
            w = size.cx;
            h = size.cy;
            draw = [this, x, top, large, which] {
                HTMLDrawSysIcon(c_, x, top, o_.ScaleFactor, o_.PrintScale, true, large, which);
            };
        } else if (THTMLPicture* pic = findPicture(src); pic && !pic->Empty()) {
            const bool sized = wantW || wantH;
            if (wantW && wantH) {
                w = *wantW;
                h = *wantH;
            } else if (wantW) {
                w = *wantW;
                h = pic->Width() ? int(std::lrint(double(pic->Height()) * w / pic->Width())) : 0;
            } else if (wantH) {
                h = *wantH;
                w = pic->Height() ? int(std::lrint(double(pic->Width()) * h / pic->Height())) : 0;
            } else {
                w = pic->MaxWidth();
                h = pic->MaxHeight();
            }
            draw = [this, pic, sized, x, top, w, h] {
                pic->SetStretch(sized);
                if (sized) {
                    pic->Draw(&c_, TRect(x, top, x + w, top + h));
                    return;
                }
                // An animation frame may cover only part of the animation's area.
                if (pic->FrameCount() > 1) fill(TRect(x, top, x + w, top + h), entryBg_);
                c_.Draw(x + pic->FrameXPos(), top + pic->FrameYPos(), pic);
            };
        }
        if (!fits(w)) {
            --imageCount_;
            return Tag::Stay;
        }
        if (drawing && draw) draw();
        if (inAnchor_ && pointOnBox(w, h)) {
            r_.HitHref = href_;
            r_.HitTitle = title_;
            hitImage_ = n;
            if (mode_ != Mode::Measure) boxHit_ = true;
        }
        place(w, h);
        if (u.find("ALIGN") != std::string::npos) {
            const int gh = c_.TextHeight("gh");
            if (u.find("\"TOP") != std::string::npos) imageOffset_ = lineHeight_ - gh;
            if (u.find("\"MIDDLE") != std::string::npos) imageOffset_ = (lineHeight_ - gh) / 2;
        }
        return Tag::Consumed;
    }

    // BODY BACKGROUND: the picture in tiles over the whole call rectangle.
    void tileBackground(const std::string& src) {
        THTMLPicture* pic = findPicture(src);
        if (!pic || pic->Empty() || pic->Width() <= 0 || pic->Height() <= 0) return;
        SaveDC(&c_);
        IntersectClipRect(&c_, bounds_.Left, bounds_.Top, bounds_.Right, bounds_.Bottom);
        pic->SetStretch(false);
        for (int y = bounds_.Top; y < bounds_.Bottom; y += pic->Height())
            for (int x = bounds_.Left; x < bounds_.Right; x += pic->Width()) c_.Draw(x, y, pic);
        RestoreDC(&c_, -1);
    }

    Tag control(std::string_view tag) {
        const HTMLControlTag t = HTMLParseControlTag(tag);
        int buttonHeight = 25;
        if (!TryStrToInt(Trim(t.Height), buttonHeight)) buttonHeight = 25;
        // Without WIDTH, and with one that is no number, nothing is placed.
        int width = 0;
        if (t.Width.empty() || !TryStrToInt(Trim(t.Width), width)) return Tag::Consumed;
        const bool tick = t.Type == "CHECK" || t.Type == "RADIO";
        int w = width, h = c_.TextHeight("gh") + 10;
        if (t.Type == "COMBO" || t.Type == "BUTTON") h = 25;
        if (tick) w = h = 16;
        if (!fits(w)) return Tag::Stay;
        lineHeight_ = tick ? 16 : 23;
        if (buttonHeight > 25) lineHeight_ = buttonHeight - 2;
        if (mode_ == Mode::Draw) drawControl(t, box_.Left + lineWidth_, w, h, buttonHeight);
        if (pointOnBox(w, h) || (o_.HitTestOnly && r_.ControlID == t.ID)) {
            r_.HitHref = "ctrl";
            const int left = box_.Left + lineWidth_;
            r_.ControlRect = TRect(left, box_.Top, left + w, box_.Top + h);
            r_.ControlValue = t.Value;
            r_.ControlID = t.ID;
            r_.ControlType = t.Type;
            if (mode_ != Mode::Measure) boxHit_ = true;
        }
        place(w, h);
        return Tag::Consumed;
    }

    void drawControl(const HTMLControlTag& t, int x, int w, int h, int buttonHeight) {
        // Without visual styles (the platform has none) the classic frame controls draw.
        const int bottom = box_.Bottom, lh = lineHeight_;
        const bool over = o_.HitX > x - 2 && o_.HitX < x - 2 + w && o_.HitY > bottom - h - 2 &&
                          o_.HitY < bottom - 2;
        const bool checked = UpperCase(t.Value) == "TRUE";
        const TColor penColor = c_.Pen()->Color();
        auto text = [&](std::string value, TRect r, unsigned flags) {
            DrawText(&c_, value, -1, r, flags | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        };
        auto box = [&] {
            c_.Pen()->SetColor(themed_ ? TColor(0xB99D7F) : clGray);
            c_.Brush()->SetStyle(bsSolid);
            c_.Brush()->SetColor(clWhite);
            c_.Rectangle(x, bottom - lh + 4, x + w, bottom + 2);
            c_.Brush()->SetStyle(bsClear);
        };
        if (t.Type == "EDIT" || t.Type == "PASSWORD" || t.Type == "MASK") {
            box();
            text(t.Type == "PASSWORD" ? HTMLPasswordMask(t.Value) : t.Value,
                 TRect(x + 2, bottom - lh + 4, x + w, bottom), 0);
        } else if (t.Type == "COMBO") {
            box();
            text(t.Value, TRect(x + 4, bottom - lh + 4, x + w - 18, bottom), 0);
            TRect b(x + w - 18, bottom - lh + 5, x + w - 1, bottom + 1);
            DrawFrameControl(&c_, b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
        } else if (t.Type == "CHECK") {
            TRect b(x + 2, bottom - 15, x + 15, bottom);
            DrawFrameControl(&c_, b, DFC_BUTTON,
                             DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0u));
        } else if (t.Type == "RADIO") {
            TRect b(x + 2, bottom - 14, x + 14, bottom);
            DrawFrameControl(&c_, b, DFC_BUTTON,
                             DFCS_BUTTONRADIO | DFCS_FLAT | (checked ? DFCS_CHECKED : 0u));
        } else if (t.Type == "BUTTON") {
            TRect face(x + 2, bottom - buttonHeight, x + w - 2, bottom);
            DrawFrameControl(&c_, face, DFC_BUTTON,
                             DFCS_BUTTONPUSH | (over && o_.ButtonDown ? DFCS_PUSHED : 0u));
            text(t.Value, TRect(x + 4, bottom - buttonHeight + 2, x + w - 4, bottom - 2),
                 DT_CENTER);
        }
        c_.Pen()->SetColor(penColor);
    }

    bool hoverApplies() const { return !o_.HoverOnly || anchorCount_ == o_.HoveredLink; }

    void openAnchor(std::string_view tag, const std::string& u) {
        const bool drawing = mode_ == Mode::Draw;
        if (drawing && anchorCount_ == o_.FocusedLink) {
            focusActive_ = true;
            focusX_ = box_.Left + lineWidth_;
        }
        ++anchorCount_;
        hoverTextApplied_ = false;
        if (drawing && hoverApplies()) {
            style(fsUnderline, true);
            if (o_.HoverBackColor != clNone) {
                hoverSavedBrush_ = bg_;
                bg_ = o_.HoverBackColor;
            }
            if (o_.HoverTextColor != clNone) {
                hoverSavedText_ = c_.Font()->Color();
                c_.Font()->SetColor(o_.HoverTextColor);
                hoverTextApplied_ = true;
            }
        }
        if (drawing && !o_.SelectedLook &&
            !(o_.HoverOnly && anchorCount_ == o_.HoveredLink && o_.HoverTextColor != clNone))
            c_.Font()->SetColor(o_.LinkColor);
        if (auto v = HTMLTagAttribute(tag, u, "HREF")) {
            href_ = *v;
            inAnchor_ = true;
        }
        if (auto v = HTMLTagAttribute(tag, u, "TITLE")) title_ = *v;
        anchorX_ = lineWidth_;
        anchorTop_ = box_.Top;
        anchorLineTop_ = box_.Top;
        hitInAnchor_ = false;
    }

    void closeAnchor() {
        const bool drawing = mode_ == Mode::Draw;
        if (drawing && hoverApplies()) {
            style(fsUnderline, false);
            if (o_.HoverBackColor != clNone) bg_ = hoverSavedBrush_;
            if (hoverTextApplied_) c_.Font()->SetColor(hoverSavedText_);
        }
        if (drawing && !o_.SelectedLook) c_.Font()->SetColor(base_.Color());
        inAnchor_ = false;
        if (mode_ == Mode::Hit && hitInAnchor_) {
            const bool sameLine = anchorLineTop_ == box_.Top;
            r_.HitLinkRect =
                TRect(sameLine ? box_.Left + anchorX_ : box_.Left, sameLine ? anchorTop_ : box_.Top,
                      box_.Left + lineWidth_, box_.Bottom - drop_);
            if (mirroredRuns())
                r_.HitLinkRect = MirrorWithin(r_.HitLinkRect,
                                              TRect(box_.Left, 0, box_.Left + measuredWidth_, 0));
            r_.HitLink = anchorCount_;
            hitInAnchor_ = false;
        }
        if (drawing && focusActive_) {
            drawFocus(box_.Left + lineWidth_);
            focusActive_ = false;
        }
    }

    TCanvas& c_;
    const TRect bounds_;
    const HTMLRenderOptions& o_;
    HTMLRenderResult& r_;
    TFont base_, lineFont_, rotatedSaved_;
    TColor entryBg_ = clNone;
    Mode mode_ = Mode::Measure;
    TRect box_;
    int lineWidth_ = 0, lineHeight_ = 0, drop_ = 0, rise_ = 0, imageOffset_ = 0;
    int alignment_ = 0, indent_ = 0, anchorCount_ = 0, listLevel_ = 0;
    // The width of the line being drawn, measured by the first pass.
    int measuredWidth_ = 0;
    bool mirroredRuns() const { return o_.BiDiMode == bdRightToLeft; }
    bool inAnchor_ = false, anchorHit_ = false, hitInAnchor_ = false;
    // Images counted so far and the one under the hit point (0 none); a box hit in this pass.
    int imageCount_ = 0, hitImage_ = 0;
    bool boxHit_ = false, themed_ = false;
    std::string href_, title_;
    bool sub_ = false, sup_ = false, shadow_ = false, hidden_ = false, error_ = false;
    bool paraBg_ = false, rotated_ = false, focusActive_ = false, hoverTextApplied_ = false;
    int focusX_ = 0, anchorX_ = 0, anchorTop_ = 0, anchorLineTop_ = 0;
    TColor bg_ = clNone, savedBrush_ = clNone, savedParaBrush_ = clNone;
    TColor hiSavedText_ = clBlack, hiSavedBrush_ = clNone;
    TColor hoverSavedBrush_ = clNone, hoverSavedText_ = clBlack;
};

} // namespace

TColor HTMLColorFromHex(std::string_view value) {
    auto digit = [&](std::size_t i) {
        char c = i < value.size() ? upper(value[i]) : '0';
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return 0;
    };
    std::size_t s = (!value.empty() && value[0] == '#') ? 1 : 0;
    const int r = digit(s) * 16 + digit(s + 1);
    const int g = digit(s + 2) * 16 + digit(s + 3);
    const int b = digit(s + 4) * 16 + digit(s + 5);
    return TColor(r + g * 256 + b * 65536);
}

TColor HTMLColorFromName(std::string_view name) {
    std::string n = LowerCase(name);
    for (const auto& c : colorNames)
        if (n == c.name) return c.value;
    return clBlack;
}

bool HTMLRenderText(TCanvas& canvas, std::string_view markup, const TRect& bounds,
                    const HTMLRenderOptions& options, HTMLRenderResult& result) {
    TFont font;
    font.Assign(canvas.Font());
    const TColor penColor = canvas.Pen()->Color();
    const int penWidth = canvas.Pen()->Width();
    const TColor brushColor = canvas.Brush()->Color();
    const TBrushStyle brushStyle = canvas.Brush()->Style();
    const TPoint penPos = canvas.PenPos();
    if (!options.HitTestOnly) result.ControlID.clear();
    result.ControlRect = TRect();
    Renderer renderer(canvas, bounds, options, result);
    canvas.Brush()->SetStyle(bsClear);
    const int bkMode = SetBkMode(&canvas, TRANSPARENT);
    bool hit = false;
    try {
        hit = renderer.run(prepare(markup));
    } catch (...) {
        canvas.Font()->Assign(&font);
        canvas.Brush()->SetColor(brushColor);
        canvas.Brush()->SetStyle(brushStyle);
        SetBkMode(&canvas, bkMode);
        throw;
    }
    canvas.Font()->Assign(&font);
    canvas.Pen()->SetColor(penColor);
    canvas.Pen()->SetWidth(penWidth);
    canvas.Brush()->SetColor(brushColor);
    canvas.Brush()->SetStyle(brushStyle);
    SetBkMode(&canvas, bkMode);
    canvas.SetPenPos(penPos);
    return hit;
}

void HTMLDrawStretched(TCanvas& canvas, const TBitmap& bitmap, const TRect& R) {
    canvas.StretchDraw(R, &bitmap);
}

bool HTMLIsFolder(const std::string& path) {
    return DirectoryExists(path);
}

TSize HTMLDrawSysIcon(TCanvas& canvas, int X, int Y, double Scale, bool Print, bool Draw,
                      bool Large, const std::string& Text) {
    int index = 0;
    if (!TryStrToInt(Text, index)) {
        // An existing file or folder gives its own icon; anything else is taken as a name whose
        // extension decides (a bare ".txt" works too).
        const bool exists = FileExists(Text) || HTMLIsFolder(Text);
        index = SystemIconIndex(Text, !exists);
    }
    TImageList* list = SystemImageList(Large);
    if (!list || index < 0 || index >= list->Count()) return {0, 0};
    const TSize size{list->Width(), list->Height()};
    if (!Draw) return size;
    if (!Print) {
        list->Draw(&canvas, X, Y, index);
    } else {
        TBitmap bmp;
        list->GetBitmap(index, &bmp);
        HTMLDrawStretched(
            canvas, bmp,
            Bounds(X, Y, int(std::lrint(size.cx * Scale)), int(std::lrint(size.cy * Scale))));
    }
    return size;
}
