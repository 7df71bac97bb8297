#include "grid/core/base/GridButtons.h"

#include "grid/core/base/GridTheme.h"
#include "platform/gfx/Gdi.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int DropDownWidth = 12;
constexpr int GradientSteps = 16;
// The push-button frame control with the adjust-rectangle flag, and its pushed form.
constexpr unsigned PushFrame = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
constexpr unsigned PushedFrame = PushFrame | DFCS_PUSHED;

int nearest(double v) {
    return int(std::nearbyint(v));
}

// A pen colour of clNone draws in the brush colour.
void setPen(TCanvas* C, TColor pen, TColor brush) {
    C->Pen()->SetColor(pen == clNone ? brush : pen);
}

void rectangle(TCanvas* C, const TRect& r, TColor brush, TColor pen) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(brush);
    setPen(C, pen, brush);
    C->Rectangle(r);
}

// Bands from top to bottom, then a frame in Frame unless it is clNone.
void buttonGradient(TCanvas* C, const TRect& r, TColor from, TColor to, TColor frame) {
    const TColor f = ColorToRGB(from), t = ColorToRGB(to);
    const int h = r.Height();
    const int n = GradientSteps;
    C->Brush()->SetStyle(bsSolid);
    for (int i = 0; i < n; ++i) {
        auto part = [&](int a, int b) { return a + nearest(double(i) * (b - a) / n); };
        const TColor c = RGB(part(GetRValue(f), GetRValue(t)), part(GetGValue(f), GetGValue(t)),
                             part(GetBValue(f), GetBValue(t)));
        C->Brush()->SetColor(c);
        C->Pen()->SetColor(c);
        const int top = r.Top + nearest(double(i) * h / n);
        const int bottom = std::min(r.Bottom, top + nearest(double(h) / n) + 1);
        C->FillRect(TRect(r.Left, top, r.Right, bottom));
    }
    if (frame != clNone) {
        C->Brush()->SetStyle(bsClear);
        C->Pen()->SetColor(frame);
        C->Rectangle(r);
        C->Brush()->SetStyle(bsSolid);
    }
}

// A filled rectangle, or a gradient framed in Frame when To is set.
void fill(TCanvas* C, const TRect& r, TColor from, TColor to, TColor frame) {
    if (to == clNone)
        rectangle(C, r, from, frame);
    else
        buttonGradient(C, r, from, to, frame);
}

void inflate(TRect& r, int d) {
    r = TRect(r.Left - d, r.Top - d, r.Right + d, r.Bottom + d);
}

struct LookColors {
    TColor Color, ColorTo, Hot, HotTo, Down, DownTo, Checked, CheckedTo, BorderDown, BorderHot;
};
// Looks 0..6; looks 3 and 4 take look 2's colours except Color and ColorTo.
const LookColors lookColors[] = {
    {15593969, 14674923, 16448764, 15068397, 14739175, 14213345, clWhite, clNone, 11507834,
     12832462},
    {clBtnFace, clNone, 15651521, clNone, 14857624, clNone, 15263457, clNone, 12937777, 12937777},
    {16640730, 14986888, 13432063, 9556223, 5149182, 9360383, 9360383, 5615103, clBlack, clBlack},
    {13627626, 9224369, 13432063, 9556223, 5149182, 9360383, 9360383, 5615103, clBlack, clBlack},
    {15524577, 11769496, 13432063, 9556223, 5149182, 9360383, 9360383, 5615103, clBlack, clBlack},
    {clBtnFace, clNone, clBtnFace, clNone, 14210002, clNone, 13289415, clNone, clNone, clNone},
    {13303807, 10944511, 11071741, 8186364, 5103867, 8055292, 11921138, 10280429, clGray, clGray},
};
} // namespace

// --- TQorGridButton ---------------------------------------------------------------------------
TQorGridButton::TQorGridButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()),
      FGlyphDisabled(std::make_unique<TBitmap>()), FGlyphHot(std::make_unique<TBitmap>()),
      FGlyphDown(std::make_unique<TBitmap>()), FGlyphShade(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 22, 23);
    SetControlStyle(csCaptureMouse | csDoubleClicks);
    SetColor(clBtnFace);
    SetParentFont(true);
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TQorGridButton::~TQorGridButton() = default;

void TQorGridButton::Loaded() {
    TGraphicControl::Loaded();
    if (FShaded) makeShade();
}

void TQorGridButton::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TQorGridButton::Click() {
    TGraphicControl::Click();
}

std::unique_ptr<TControlActionLink> TQorGridButton::CreateActionLink() {
    return std::make_unique<TQorGridButtonActionLink>(this);
}

void TQorGridButton::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a) return;
    if (!CheckDefaults || FGroupIndex == 0) SetGroupIndex(a->GroupIndex());
    if (!CheckDefaults || !FDown) SetDown(a->Checked());
}

TQorGridButtonActionLink::TQorGridButtonActionLink(TQorGridButton* AClient)
    : TControlActionLink(AClient) {}

TQorGridButton* TQorGridButtonActionLink::button() const {
    return static_cast<TQorGridButton*>(FClient);
}

bool TQorGridButtonActionLink::IsCheckedLinked() const {
    const TCustomAction* a = customAction();
    return a && button()->GroupIndex() != 0 && button()->AllowAllUp() &&
           button()->Down() == a->Checked();
}

bool TQorGridButtonActionLink::IsGroupIndexLinked() const {
    const TCustomAction* a = customAction();
    return a && button()->GroupIndex() == a->GroupIndex();
}

void TQorGridButtonActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) button()->SetDown(Value);
}

void TQorGridButtonActionLink::SetGroupIndex(int Value) {
    if (IsGroupIndexLinked()) button()->SetGroupIndex(Value);
}

void TQorGridButton::SetGroupIndex(int v) {
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    updateExclusive();
}

void TQorGridButton::SetAllowAllUp(bool v) {
    if (v == FAllowAllUp) return;
    FAllowAllUp = v;
    updateExclusive();
}

void TQorGridButton::SetDown(bool v) {
    if (FGroupIndex == 0 && FStyle != tasCheck) v = false;
    if (FStyle == tasCheck) {
        FDown = v;
        Invalidate();
        return;
    }
    if (v == FDown || (FDown && !FAllowAllUp)) return;
    FDown = v;
    if (v) {
        if (FState == bsUp) Invalidate();
        FState = bsExclusive;
        updateExclusive();
    } else {
        FState = bsUp;
        Invalidate();
    }
}

void TQorGridButton::updateExclusive() {
    if (FGroupIndex == 0 || !Parent()) return;
    TMessage m{CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this), 0};
    Parent()->Broadcast(m);
}

void TQorGridButton::buttonPressed(int Group, TQorGridButton* Sender) {
    if (Group != FGroupIndex || Sender == this || !Sender) return;
    if (Sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        // A linked action follows its button up.
        if (auto* a = dynamic_cast<TCustomAction*>(Action())) a->SetChecked(false);
        Invalidate();
    }
    FAllowAllUp = Sender->AllowAllUp();
}

void TQorGridButton::SetLayout(TButtonLayout v) {
    if (v == FLayout) return;
    FLayout = v;
    Invalidate();
}

void TQorGridButton::SetSpacing(int v) {
    if (v == FSpacing) return;
    FSpacing = v;
    Invalidate();
}

void TQorGridButton::SetMargin(int v) {
    if (v == FMargin || v < -1) return;
    FMargin = v;
    Invalidate();
}

void TQorGridButton::SetFlat(bool v) {
    if (v == FFlat) return;
    FFlat = v;
    Invalidate();
}

void TQorGridButton::SetShowCaption(bool v) {
    if (v == FShowCaption) return;
    FShowCaption = v;
    Invalidate();
}

void TQorGridButton::SetColorTo(TColor v) {
    FColorTo = v;
    Invalidate();
}

void TQorGridButton::SetColorChecked(TColor v) {
    FColorChecked = v;
    Invalidate();
}

void TQorGridButton::SetColorCheckedTo(TColor v) {
    FColorCheckedTo = v;
    Invalidate();
}

void TQorGridButton::SetBorderColor(TColor v) {
    FBorderColor = v;
    Invalidate();
}

void TQorGridButton::SetStyle(TQorGridButtonStyle v) {
    FStyle = v;
    Invalidate();
}

void TQorGridButton::SetRounded(bool v) {
    FRounded = v;
    Invalidate();
}

void TQorGridButton::SetDropDownButton(bool v) {
    FDropDownButton = v;
    Invalidate();
}

void TQorGridButton::SetDropDownMenu(TPopupMenu* v) {
    if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = v;
    if (v) v->FreeNotification(this);
}

void TQorGridButton::SetShaded(bool v) {
    FShaded = v;
    if (v && !(ComponentState() & csLoading)) makeShade();
}

void TQorGridButton::SetAutoThemeAdapt(bool v) {
    FAutoThemeAdapt = v;
    if (v) themeAdapt();
}

void TQorGridButton::SetGlyph(const TBitmap* v) {
    FGlyph->Assign(v);
    if (FGlyphDisabled->Empty() && !FGlyph->Empty()) {
        // The disabled look: each pixel a light grey of its brightness.
        FGlyphDisabled->Assign(FGlyph.get());
        std::uint32_t* px = FGlyphDisabled->Pixels32();
        const std::size_t n = std::size_t(FGlyphDisabled->Width()) * FGlyphDisabled->Height();
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t p = px[i];
            const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            const unsigned grey = ((r + g + b) / 3) / 2 + 96;
            px[i] = (p & 0xFF000000u) | grey << 16 | grey << 8 | grey;
        }
        FGlyphDisabled->Modified();
    }
    if (FShaded) makeShade();
    Invalidate();
}

void TQorGridButton::makeShade() {
    FGlyphShade->Assign(FGlyph.get());
    if (FGlyph->Empty()) return;
    // Every other pixel of the glyph in grey, the rest in the glyph's transparent colour.
    const TColor transparent = FGlyph->PixelColor(0, FGlyph->Height() - 1);
    TCanvas* c = FGlyphShade->Canvas();
    for (int y = 0; y < FGlyph->Height(); ++y)
        for (int x = 0; x < FGlyph->Width(); ++x) {
            const bool shown = FGlyph->PixelColor(x, y) != transparent && (x + y) % 2 == 0;
            c->SetPixels(x, y, shown ? TColor(clGray) : transparent);
        }
}

void TQorGridButton::SetLook(int v) {
    if (v < 0 || v > 6) return;
    FLook = v;
    const LookColors& l = lookColors[v];
    SetColor(l.Color);
    FColorTo = l.ColorTo;
    FColorHot = l.Hot;
    FColorHotTo = l.HotTo;
    FColorDown = l.Down;
    FColorDownTo = l.DownTo;
    FColorChecked = l.Checked;
    FColorCheckedTo = l.CheckedTo;
    FBorderDownColor = l.BorderDown;
    FBorderHotColor = l.BorderHot;
    FBorderColor = clNone;
    FFlat = true;
    FRounded = v == 0;
    Invalidate();
}

void TQorGridButton::themeAdapt() {
    int look = 1;
    if (IsWindowsXPOrLater() && VisualStylesActive()) {
        switch (GetXPColorScheme()) {
        case 1:
            look = 2;
            break;
        case 2:
            look = 3;
            break;
        case 3:
            look = 4;
            break;
        default:
            break;
        }
    }
    SetLook(look);
}

void TQorGridButton::WndProc(TMessage& Message) {
    if (FAutoThemeAdapt && (Message.Msg == WM_THEMECHANGED || Message.Msg == CM_SYSFONTCHANGED))
        themeAdapt();
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        buttonPressed(int(Message.WParam), reinterpret_cast<TQorGridButton*>(Message.LParam));
        return;
    case CM_DIALOGCHAR: {
        TWMKey key(Message);
        if (Enabled() && Visible() && Parent() && Parent()->Showing() &&
            IsAccel(key.CharCode(), Caption())) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    }
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_SYSCOLORCHANGE:
        Invalidate();
        break;
    default:
        break;
    }
    TGraphicControl::WndProc(Message);
}

void TQorGridButton::CMMouseEnter(TMessage& Message) {
    if (!FMouseInControl && Enabled() && !GetCaptureControl()) {
        FMouseInControl = true;
        Invalidate();
    }
    TGraphicControl::CMMouseEnter(Message);
}

void TQorGridButton::CMMouseLeave(TMessage& Message) {
    if (FMouseInControl && Enabled() && !FDragging) {
        FMouseInControl = false;
        Invalidate();
    }
    TGraphicControl::CMMouseLeave(Message);
}

void TQorGridButton::CMEnabledChanged(TMessage& Message) {
    updateTracking();
    TGraphicControl::CMEnabledChanged(Message);
}

void TQorGridButton::WMLButtonDblClk(TWMMouse& Message) {
    TGraphicControl::WMLButtonDblClk(Message);
    if (FDown) DblClick();
}

void TQorGridButton::updateTracking() {
    if (!FFlat || !Enabled() || !Parent()) return;
    TPoint p;
    GetCursorPos(p);
    const TPoint local = ScreenToClient(p);
    const bool inside = ClientRect().Contains(local);
    if (inside == FMouseInControl) return;
    TMessage m{UINT(inside ? CM_MOUSEENTER : CM_MOUSELEAVE), 0, 0, 0};
    Perform(m.Msg);
}

void TQorGridButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (FDropDownButton && X >= Width() - DropDownWidth) {
        FState = bsUp;
        if (OnDropDown) OnDropDown(this);
        if (FDropDownMenu) {
            const TPoint at = ClientToScreen(TPoint(0, Height()));
            FDropDownMenu->Popup(at.X, at.Y);
        }
        return;
    }
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    if (FStyle == tasCheck) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TQorGridButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FDragging) {
        TButtonState s = inside ? (FDown ? bsExclusive : bsDown) : (FDown ? bsExclusive : bsUp);
        if (FStyle == tasCheck && FDown) s = bsDown;
        if (s != FState) {
            FState = s;
            Invalidate();
        }
    } else if (!inside) {
        updateTracking();
    }
}

void TQorGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        if (FStyle == tasCheck) FDown = !FDown;
        if (inside && FState != bsExclusive && FState != bsDown) Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        if (FDown) Invalidate();
    } else {
        if (FDown) FState = bsExclusive;
        Invalidate();
    }
    if (inside) Click();
    updateTracking();
}

TBitmap* TQorGridButton::chosenGlyph() const {
    auto orGlyph = [this](TBitmap* b) { return b->Empty() ? FGlyph.get() : b; };
    if (!Enabled()) return orGlyph(FGlyphDisabled.get());
    const bool down = FState == bsDown || FState == bsExclusive;
    const bool designing = ComponentState() & csDesigning;
    if (FMouseInControl) {
        if (down) return orGlyph(FGlyphDown.get());
        return designing ? FGlyph.get() : orGlyph(FGlyphHot.get());
    }
    return down ? orGlyph(FGlyphDown.get()) : FGlyph.get();
}

void TQorGridButton::Paint() {
    const bool designing = ComponentState() & csDesigning;
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    if (FStyle == tasCheck && FDown) FState = bsDown;

    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    TRect r = ClientRect();
    const bool pressed = FState == bsDown || FState == bsExclusive;
    const bool inside = FMouseInControl && Enabled() && !designing;

    if (!FFlat) {
        // The visual-style button is drawn by the frame control where no style binding is
        // loaded, as on this platform.
        DrawFrameControl(C, r, DFC_BUTTON, pressed ? PushedFrame : PushFrame);
    } else {
        if (FBorderDownColor == clNone || FRounded) inflate(r, -1);
        if (!inside) {
            if (FStyle == tasCheck && FDown) {
                fill(C, r, FColorChecked, FColorCheckedTo, FBorderDownColor);
            } else {
                const TColor frame =
                    FRounded ? TColor(clNone) : (FDown ? FBorderDownColor : FBorderColor);
                if (FColorTo == clNone) {
                    C->Brush()->SetStyle(bsSolid);
                    C->Brush()->SetColor(Color());
                    C->FillRect(r);
                } else {
                    buttonGradient(C, r, Color(), FColorTo, frame);
                }
                if (FBorderColor != clNone) {
                    C->Brush()->SetStyle(bsClear);
                    C->Pen()->SetColor(FBorderColor);
                    if (FRounded) {
                        inflate(r, 1);
                        C->RoundRect(r, 8, 8);
                    } else {
                        C->Rectangle(r);
                    }
                    C->Brush()->SetStyle(bsSolid);
                }
            }
        } else {
            TColor from = FColorHot, to = FColorHotTo, pen = FBorderHotColor;
            if (FState == bsDown) {
                from = FColorDown;
                to = FColorDownTo;
                pen = FBorderDownColor;
            } else if (FStyle == tasCheck && FDown) {
                from = FColorChecked;
                to = FColorCheckedTo;
                pen = FBorderDownColor;
            }
            if (FRounded) pen = clNone;
            fill(C, r, from, to, pen);
            if (FRounded) {
                inflate(r, 1);
                C->Brush()->SetStyle(bsClear);
                C->Pen()->SetColor(FState == bsDown ? FBorderDownColor : FBorderHotColor);
                C->RoundRect(r, 8, 8);
                C->Brush()->SetStyle(bsSolid);
            }
            if (FDropDownButton) {
                setPen(C, pen, from);
                C->MoveTo(r.Right - DropDownWidth, r.Top);
                C->LineTo(r.Right - DropDownWidth, r.Bottom);
            }
        }
        inflate(r, -1);
    }

    TPoint offset(0, 0);
    if (pressed) {
        if (FState == bsExclusive && (!FFlat || !inside)) {
            inflate(r, 1);
            fill(C, r, FColorChecked, FColorCheckedTo, FDown ? FBorderDownColor : FBorderColor);
        }
        if (!FFlat && !designing) offset = TPoint(1, 1);
    } else if (FFlat && Enabled() && FShaded && inside) {
        offset = TPoint(-1, -1);
    }

    if (FDropDownButton) {
        const int mid = (r.Top + r.Bottom) / 2;
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Font()->Color());
        C->Pen()->SetColor(Font()->Color());
        C->Polygon({TPoint(r.Right - 8, mid - 1), TPoint(r.Right - 4, mid - 1),
                    TPoint(r.Right - 6, mid + 1)});
        r.Right -= DropDownWidth;
    }

    // Glyph and caption: the speed button's layout rule.
    TBitmap* glyph = chosenGlyph();
    const TPoint glyphSize =
        glyph->Empty() ? TPoint(0, 0) : TPoint(glyph->Width(), glyph->Height());
    TPoint textSize(0, 0);
    const std::string caption = FShowCaption ? Caption() : std::string();
    if (!caption.empty()) {
        TRect measure(0, 0, r.Width(), 0);
        DrawText(C, caption, -1, measure, DT_CALCRECT);
        textSize = TPoint(measure.Width(), measure.Height());
    }
    const TPoint client(r.Width(), r.Height());
    const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    TPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos.Y = (client.Y - glyphSize.Y + 1) / 2;
        textPos.Y = (client.Y - textSize.Y + 1) / 2;
    } else {
        glyphPos.X = (client.X - glyphSize.X + 1) / 2;
        textPos.X = (client.X - textSize.X + 1) / 2;
    }
    const int g = horizontal ? glyphSize.X : glyphSize.Y;
    const int t = horizontal ? textSize.X : textSize.Y;
    const int c = horizontal ? client.X : client.Y;
    int spacing = FSpacing, margin = FMargin;
    if (g == 0 || t == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1)
            margin = spacing = (c - g - t) / 3;
        else
            margin = (c - g - spacing - t + 1) / 2;
    } else if (spacing == -1) {
        spacing = (c - margin - g - t) / 2;
    }
    int gAt = 0, tAt = 0;
    switch (FLayout) {
    case blGlyphLeft:
    case blGlyphTop:
        gAt = margin;
        tAt = gAt + g + spacing;
        break;
    case blGlyphRight:
    case blGlyphBottom:
        gAt = c - margin - g;
        tAt = gAt - spacing - t;
        break;
    }
    if (horizontal) {
        glyphPos.X = gAt;
        textPos.X = tAt;
    } else {
        glyphPos.Y = gAt;
        textPos.Y = tAt;
    }
    glyphPos = TPoint(glyphPos.X + r.Left + offset.X, glyphPos.Y + r.Top + offset.Y);
    textPos = TPoint(textPos.X + r.Left + offset.X, textPos.Y + r.Top + offset.Y);

    if (!glyph->Empty()) {
        const TPoint at = caption.empty() ? TPoint(0, 0) : glyphPos;
        if (inside && FShaded && FState != bsDown && !FGlyphShade->Empty()) {
            const TPoint shadeAt = caption.empty() ? at : TPoint(at.X + 2, at.Y + 2);
            TransparentBlt(C, shadeAt.X, shadeAt.Y, FGlyphShade->Width(), FGlyphShade->Height(),
                           FGlyphShade->Canvas(), 0, 0, FGlyphShade->Width(), FGlyphShade->Height(),
                           FGlyphShade->TransparentColor());
        }
        TransparentBlt(C, at.X, at.Y, glyph->Width(), glyph->Height(), glyph->Canvas(), 0, 0,
                       glyph->Width(), glyph->Height(), glyph->TransparentColor());
    }

    if (!caption.empty()) {
        TRect tr(textPos.X, textPos.Y, textPos.X + textSize.X, textPos.Y + textSize.Y);
        if (FFlat && FShaded && Enabled() && inside && !pressed)
            tr = TRect(tr.Left + 1, tr.Top + 1, tr.Right + 1, tr.Bottom + 1);
        C->Brush()->SetStyle(bsClear);
        const unsigned format = DT_CENTER | DT_VCENTER;
        if (!Enabled()) {
            TRect shadow(tr.Left + 1, tr.Top + 1, tr.Right + 1, tr.Bottom + 1);
            C->Font()->SetColor(clBtnHighlight);
            DrawText(C, caption, -1, shadow, format);
            C->Font()->SetColor(clBtnShadow);
        }
        DrawText(C, caption, -1, tr, format);
        C->Brush()->SetStyle(bsSolid);
    }
}

// --- TQorCheckBox -----------------------------------------------------------------------------
TQorCheckBox::TQorCheckBox(TComponent* AOwner)
    : TCustomControl(AOwner), FIsWinXP(IsWindowsXPOrLater()), FBkgBmp(std::make_unique<TBitmap>()) {
    SetBounds(Left(), Top(), 98, 20);
    SetColor(clWindow);
    SetParentColor(true);
    SetTabStop(false);
    // The control fires its own click; the platform's click on release stays off.
    SetControlStyle(ControlStyle() & ~csClickEvents);
}

TQorCheckBox::~TQorCheckBox() = default;

TRect TQorCheckBox::BoxRect() const {
    const int h = ClientHeight(), w = ClientWidth();
    if (VisualStylesActive()) {
        const int x = FAlignment == taRightJustify ? w - 15 : 0;
        const int y = FBtnVAlign == tlTop ? 4 : FBtnVAlign == tlCenter ? h / 2 - 6 : h - 14;
        return TRect(x, y, x + 14, y + 14);
    }
    const int x = FAlignment == taRightJustify ? w - 13 : 0;
    const int y = FBtnVAlign == tlTop ? 4 : FBtnVAlign == tlCenter ? h / 2 - 6 : h - 17;
    return TRect(x, y, x + 13, y + 13);
}

void TQorCheckBox::invalidateBox() {
    // Only the box changes; this platform repaints the window as a whole.
    Invalidate();
}

void TQorCheckBox::SetState(TCheckBoxState v) {
    if (v == FState) return;
    FState = v;
    invalidateBox();
}

void TQorCheckBox::SetChecked(bool v) {
    SetState(v ? cbChecked : cbUnchecked);
    Invalidate();
}

void TQorCheckBox::Toggle() {
    if (!FReadOnly) SetChecked(!Checked());
}

void TQorCheckBox::SetCaption(const std::string& v) {
    if (HandleAllocated()) SetText(v);
    FCaption = v;
    Invalidate();
}

void TQorCheckBox::SetButtonVertAlign(TTextLayout v) {
    if (v == FBtnVAlign) return;
    FBtnVAlign = v;
    Invalidate();
}

void TQorCheckBox::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TQorCheckBox::SetEllipsis(bool v) {
    if (v == FEllipsis) return;
    FEllipsis = v;
    Invalidate();
}

void TQorCheckBox::SetTransparent(bool v) {
    if (v != FTransparent) {
        FTransparent = v;
        FBkgCache = false;
    }
    Invalidate();
}

void TQorCheckBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FTransparent) {
        FBkgCache = false;
        Invalidate();
    }
}

void TQorCheckBox::fireClick() {
    if (OnClick) OnClick(this);
}

void TQorCheckBox::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        TWMKey key(Message);
        if (CanFocus() && IsAccel(key.CharCode(), FCaption)) {
            Toggle();
            if (TabStop()) SetFocus();
            Message.Result = 1;
            return;
        }
    }
    TCustomControl::Dispatch(Message);
}

void TQorCheckBox::WMSetFocus(TWMSetFocus& Message) {
    TCustomControl::WMSetFocus(Message);
    FFocused = true;
    Invalidate();
}

void TQorCheckBox::WMKillFocus(TWMKillFocus& Message) {
    TCustomControl::WMKillFocus(Message);
    FFocused = false;
    Invalidate();
}

void TQorCheckBox::WMEraseBkgnd(TWMEraseBkgnd& Message) {
    if (FTransparent) {
        Message.M.Result = 1;
        return;
    }
    TCustomControl::WMEraseBkgnd(Message);
}

void TQorCheckBox::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

void TQorCheckBox::CMMouseEnter(TMessage& Message) {
    TCustomControl::CMMouseEnter(Message);
    FHot = true;
    invalidateBox();
}

void TQorCheckBox::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    FHot = false;
    invalidateBox();
}

void TQorCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FMouseDown = true;
    if (!Focused() && CanFocus()) SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
    SetMouseCapture(true);
    FDown = true;
    if (FIsWinXP) invalidateBox();
}

void TQorCheckBox::MouseMove(TShiftState Shift, int X, int Y) {
    if (MouseCapture()) {
        const bool inside = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
        if (inside != FDown) {
            FDown = inside;
            invalidateBox();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TQorCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetMouseCapture(false);
    FDown = false;
    const bool inside = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
    if (inside && Focused() && FMouseDown) {
        Toggle();
        fireClick();
    }
    FMouseDown = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FIsWinXP) invalidateBox();
}

void TQorCheckBox::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_RETURN && FReturnIsTab) {
        Key = VK_TAB;
        PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_SPACE) {
        FDown = true;
        invalidateBox();
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TQorCheckBox::KeyUp(WORD& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        FDown = false;
        Toggle();
        fireClick();
    }
    TCustomControl::KeyUp(Key, Shift);
}

void TQorCheckBox::paintParentBackground(TCanvas* C) {
    TWinControl* parent = Parent();
    if (!parent || !parent->BackingImage()) return;
    // The parent's picture behind the control, as its own window would show it.
    parent->Update();
    C->Draw(-Left(), -Top(), parent->BackingImage());
}

void TQorCheckBox::Paint() {
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    if (FTransparent) {
        if (!FTransparentCaching) {
            paintParentBackground(C);
        } else {
            if (!FBkgCache) {
                FBkgBmp->SetSize(Width(), Height());
                paintParentBackground(FBkgBmp->Canvas());
                FBkgCache = true;
            }
            C->Draw(0, 0, FBkgBmp.get());
        }
    }
    if (Text() != FCaption) PeerTextChanged(FCaption);

    TRect box = BoxRect();
    // The visual-style box is drawn by the frame control where no style binding is loaded.
    unsigned flags = DFCS_BUTTONCHECK;
    if (FState == cbGrayed || !Enabled()) flags |= DFCS_INACTIVE;
    if (FState == cbChecked) flags |= DFCS_CHECKED;
    if (FDown && Enabled()) flags |= DFCS_PUSHED;
    DrawFrameControl(C, box, DFC_BUTTON, flags);

    TRect r = ClientRect();
    if (FAlignment == taLeftJustify) {
        r.Left += 9;
    } else {
        r.Left = 0;
        r.Right -= 9;
    }
    r.Top += 4;
    r.Left += 6;
    C->Brush()->SetStyle(bsClear);
    unsigned format = DT_LEFT | DT_SINGLELINE;
    if (FEllipsis) format |= DT_END_ELLIPSIS;
    if (Enabled()) {
        DrawText(C, FCaption, -1, r, format);
    } else {
        TRect shadow(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
        C->Font()->SetColor(clWhite);
        DrawText(C, FCaption, -1, shadow, format);
        C->Font()->SetColor(clGray);
        DrawText(C, FCaption, -1, r, format);
    }
    C->Brush()->SetStyle(bsSolid);
    if (FFocused) {
        const TSize ts = C->TextExtent(FCaption);
        C->DrawFocusRect(TRect(r.Left - 2, r.Top, r.Left + ts.cx + 1, r.Top + ts.cy + 1));
    }
}
