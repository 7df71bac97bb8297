#include "platform/ui/ExtCtrls.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/StdCtrlsInternal.h"

#include <algorithm>

using stdctrls::changesCaptionLook;
using stdctrls::measureCanvas;
using stdctrls::setAndRepaint;

namespace {

// Colours of a raised or lowered bevel; a space bevel is drawn in the face colour.
void bevelColors(TBevelCut bevel, TColor face, TColor& top, TColor& bottom) {
    switch (bevel) {
    case bvLowered:
        top = clBtnShadow, bottom = clBtnHighlight;
        break;
    case bvRaised:
        top = clBtnHighlight, bottom = clBtnShadow;
        break;
    default:
        top = bottom = face;
        break;
    }
}

// Value of an attribute inside an anchor's opening tag (name matched without case).
std::string attribute(const std::string& tag, const std::string& name) {
    std::string upper = UpperCase(tag);
    std::string key = UpperCase(name);
    for (std::size_t pos = upper.find(key); pos != std::string::npos;
         pos = upper.find(key, pos + 1)) {
        bool startOk = pos > 0 && (upper[pos - 1] == ' ' || upper[pos - 1] == '\t');
        std::size_t i = pos + key.size();
        while (i < tag.size() && tag[i] == ' ') ++i;
        if (!startOk || i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && tag[i] == ' ') ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            char q = tag[i];
            std::size_t end = tag.find(q, i + 1);
            return tag.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
        }
        std::size_t end = i;
        while (end < tag.size() && tag[end] != ' ' && tag[end] != '>') ++end;
        return tag.substr(i, end - i);
    }
    return {};
}

} // namespace

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(psSolid);
    Rect.Bottom -= 1;
    Rect.Right -= 1;
    while (Width-- > 0) {
        Canvas->Pen()->SetColor(TopColor);
        Canvas->Polyline({{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}});
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->Polyline(
            {{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}});
        InflateRect(Rect, -1, -1);
    }
    Rect.Bottom += 1;
    Rect.Right += 1;
}

// --- TCustomPanel -----------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque |
                    csDoubleClicks | csReplicatable | csParentBackground);
    SetBounds(0, 0, 185, 41);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TCustomPanel::SetBevelOuter(TPanelBevel v) {
    setAndRepaint(this, bevelOuter_, v);
}

void TCustomPanel::SetBevelInner(TPanelBevel v) {
    setAndRepaint(this, bevelInner_, v);
}

void TCustomPanel::SetBevelWidth(TBevelWidth v) {
    if (v < 1) return;
    setAndRepaint(this, bevelWidth_, v);
}

void TCustomPanel::SetBorderWidth(int v) {
    if (v < 0) return;
    setAndRepaint(this, borderWidth_, v);
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
    setAndRepaint(this, borderStyle_, v);
}

void TCustomPanel::SetAlignment(TAlignment v) {
    setAndRepaint(this, alignment_, v);
}

void TCustomPanel::SetVerticalAlignment(TVerticalAlignment v) {
    setAndRepaint(this, verticalAlignment_, v);
}

void TCustomPanel::SetShowCaption(bool v) {
    setAndRepaint(this, showCaption_, v);
}

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (borderStyle_ == bsSingle) DrawEdge(c, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    TColor top, bottom;
    if (bevelOuter_ != bvNone) {
        bevelColors(bevelOuter_, Color(), top, bottom);
        Frame3D(c, r, top, bottom, bevelWidth_);
    }
    Frame3D(c, r, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone) {
        bevelColors(bevelInner_, Color(), top, bottom);
        Frame3D(c, r, top, bottom, bevelWidth_);
    }
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
    if (showCaption_ && !Caption().empty()) {
        c->Brush()->SetStyle(bsClear);
        c->Font()->Assign(Font());
        unsigned flags = DT_EXPANDTABS | DT_SINGLELINE;
        flags |= alignment_ == taCenter         ? DT_CENTER
                 : alignment_ == taRightJustify ? DT_RIGHT
                                                : DT_LEFT;
        flags |= verticalAlignment_ == taVerticalCenter ? DT_VCENTER
                 : verticalAlignment_ == taAlignBottom  ? DT_BOTTOM
                                                        : DT_TOP;
        if (!Enabled()) c->Font()->SetColor(clGrayText);
        DrawText(c, Caption(), -1, r, flags);
        c->Brush()->SetStyle(bsSolid);
    }
}

void TCustomPanel::Dispatch(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (changesCaptionLook(Message.Msg)) Invalidate();
}

// --- TShape -----------------------------------------------------------------------------------

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 65, 65);
    pen_->OnChange = [this](TObject*) { Invalidate(); };
    brush_->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape() {
    pen_->OnChange = nullptr;
    brush_->OnChange = nullptr;
}

void TShape::SetShape(TShapeType v) {
    setAndRepaint(this, shape_, v);
}

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->Pen()->Assign(pen_.get());
    c->Brush()->Assign(brush_.get());
    int penWidth = pen_->Width();
    int x = penWidth / 2;
    int y = x;
    int w = Width() - penWidth + 1;
    int h = Height() - penWidth + 1;
    if (penWidth == 0) {
        --w;
        --h;
    }
    int s = std::min(w, h);
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare:
        c->Rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare:
        c->RoundRect(x, y, x + w, y + h, s / 4, s / 4);
        break;
    case stEllipse:
    case stCircle:
        c->Ellipse(x, y, x + w, y + h);
        break;
    }
}

// --- TImage -----------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = [this](TObject*) { pictureChanged(); };
}

TImage::~TImage() {
    picture_->OnChange = nullptr;
}

void TImage::pictureChanged() {
    if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    if (TGraphic* g = picture_->Graphic()) g->SetTransparent(transparent_);
    Invalidate();
}

void TImage::SetStretch(bool v) {
    setAndRepaint(this, stretch_, v);
}

void TImage::SetProportional(bool v) {
    setAndRepaint(this, proportional_, v);
}

void TImage::SetCenter(bool v) {
    setAndRepaint(this, center_, v);
}

void TImage::SetTransparent(bool v) {
    if (transparent_ == v) return;
    transparent_ = v;
    pictureChanged();
}

void TImage::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    if (v) pictureChanged();
}

TRect TImage::DestRect() const {
    int w = picture_->Width();
    int h = picture_->Height();
    int cw = ClientWidth();
    int ch = ClientHeight();
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_ && w > 0 && h > 0) {
            double aspect = double(w) / h;
            if (w > h) {
                w = cw;
                h = int(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = int(ch * aspect);
                }
            } else {
                h = ch;
                w = int(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = int(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r(0, 0, w, h);
    if (center_) OffsetRect(r, (cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::Paint() {
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty()) return;
    TCanvas* c = Canvas();
    TRect r = DestRect();
    if (r.Width() == g->Width() && r.Height() == g->Height())
        c->Draw(r.Left, r.Top, g);
    else
        c->StretchDraw(r, g);
}

// --- TBevel -----------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
    setAndRepaint(this, shape_, v);
}

void TBevel::SetStyle(TBevelStyle v) {
    setAndRepaint(this, style_, v);
}

void TBevel::Paint() {
    TCanvas* c = Canvas();
    TColor color1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor color2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    auto bevelRect = [c](const TRect& r, TColor a, TColor b) {
        c->Pen()->SetColor(a);
        c->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
        c->Pen()->SetColor(b);
        c->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}});
    };
    auto bevelLine = [c](TColor color, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    int w = Width(), h = Height();
    switch (shape_) {
    case bsBox:
        bevelRect(Rect(0, 0, w - 1, h - 1), color1, color2);
        break;
    case bsFrame:
        bevelRect(Rect(1, 1, w - 1, h - 1), color2, color2);
        bevelRect(Rect(0, 0, w - 2, h - 2), color1, color1);
        break;
    case bsTopLine:
        bevelLine(color1, 0, 0, w, 0);
        bevelLine(color2, 0, 1, w, 1);
        break;
    case bsBottomLine:
        bevelLine(color1, 0, h - 2, w, h - 2);
        bevelLine(color2, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        bevelLine(color1, 0, 0, 0, h);
        bevelLine(color2, 1, 0, 1, h);
        break;
    case bsRightLine:
        bevelLine(color1, w - 2, 0, w - 2, h);
        bevelLine(color2, w - 1, 0, w - 1, h);
        break;
    case bsSpacer:
        break;
    }
}

// --- TLinkLabel -------------------------------------------------------------------------------

TLinkLabel::TLinkLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
    SetShowAccelChar(false);
}

std::vector<TLinkLabel::Segment> TLinkLabel::Segments() const {
    std::vector<Segment> out;
    const std::string& s = Caption();
    std::string upper = UpperCase(s);
    std::size_t pos = 0;
    while (pos < s.size()) {
        // An anchor: "<a" followed by a blank or ">", its text, then "</a>".
        std::size_t open = upper.find("<A", pos);
        while (open != std::string::npos && open + 2 < s.size() && s[open + 2] != ' ' &&
               s[open + 2] != '>')
            open = upper.find("<A", open + 1);
        std::size_t tagEnd = open == std::string::npos ? open : s.find('>', open);
        std::size_t close = tagEnd == std::string::npos ? tagEnd : upper.find("</A>", tagEnd);
        if (close == std::string::npos) {
            out.push_back({s.substr(pos), false, {}, {}});
            break;
        }
        if (open > pos) out.push_back({s.substr(pos, open - pos), false, {}, {}});
        std::string tag = s.substr(open, tagEnd - open);
        out.push_back({s.substr(tagEnd + 1, close - tagEnd - 1), true, attribute(tag, "href"),
                       attribute(tag, "id")});
        pos = close + 4;
    }
    return out;
}

std::string TLinkLabel::GetLabelText() const {
    std::string text;
    for (const auto& seg : Segments()) text += seg.text;
    return text;
}

std::vector<std::pair<int, int>> TLinkLabel::segmentSpans() const {
    TCanvas* c = measureCanvas(Font());
    std::vector<std::pair<int, int>> spans;
    std::string before;
    int full = c->TextWidth(GetLabelText());
    int offset = Alignment() == taRightJustify ? Width() - full
                 : Alignment() == taCenter     ? (Width() - full) / 2
                                               : 0;
    for (const auto& seg : Segments()) {
        int left = c->TextWidth(before);
        before += seg.text;
        spans.emplace_back(offset + left, offset + c->TextWidth(before));
    }
    return spans;
}

int TLinkLabel::LinkAtPos(TPoint p) const {
    if (!ClientRect().Contains(p)) return -1;
    auto segs = Segments();
    auto spans = segmentSpans();
    for (std::size_t i = 0; i < segs.size(); ++i)
        if (segs[i].link && p.X >= spans[i].first && p.X < spans[i].second) return int(i);
    return -1;
}

void TLinkLabel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!Transparent()) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->Brush()->SetStyle(bsClear);
    auto segs = Segments();
    auto spans = segmentSpans();
    for (std::size_t i = 0; i < segs.size(); ++i) {
        c->Font()->Assign(Font());
        if (!Enabled()) {
            c->Font()->SetColor(clGrayText);
        } else if (segs[i].link) {
            c->Font()->SetColor(clHotLight);
            TFontStyles st = c->Font()->Style();
            st.Include(fsUnderline);
            c->Font()->SetStyle(st);
        }
        TRect sr(spans[i].first, r.Top, spans[i].second, r.Bottom);
        DrawText(c, segs[i].text, -1, sr, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    c->Brush()->SetStyle(bsSolid);
}

void TLinkLabel::DoOnLinkClick(const std::string& Link, TSysLinkType LinkType) {
    if (OnLinkClick) OnLinkClick(this, Link, LinkType);
}

void TLinkLabel::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_LBUTTONDOWN) {
        pressedLink_ = Enabled() ? LinkAtPos(LParamToPoint(Message.LParam)) : -1;
    } else if (Message.Msg == WM_LBUTTONUP) {
        int link = LinkAtPos(LParamToPoint(Message.LParam));
        bool hit = link >= 0 && link == pressedLink_;
        pressedLink_ = -1;
        TCustomLabel::Dispatch(Message);
        if (hit) {
            Segment seg = Segments()[std::size_t(link)];
            if (!seg.href.empty())
                DoOnLinkClick(seg.href, sltURL);
            else
                DoOnLinkClick(seg.id, sltID);
        }
        return;
    }
    TCustomLabel::Dispatch(Message);
}
