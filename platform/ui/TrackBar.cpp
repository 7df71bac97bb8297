#include "platform/ui/TrackBar.h"

#include "platform/gfx/Gdi.h"

#include <algorithm>

namespace {

constexpr int margin = 8;
constexpr int thumbLength = 11;
constexpr int thumbThickness = 20;
constexpr int tickLength = 4;

} // namespace

TTrackBar::TTrackBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(Left(), Top(), 150, 45);
}

TTrackBar::~TTrackBar() = default;

void TTrackBar::SetMin(int Value) {
    if (Value == FMin || Value > FMax) return;
    FMin = Value;
    Invalidate();
    if (FPosition < FMin) SetPosition(FMin);
}

void TTrackBar::SetMax(int Value) {
    if (Value == FMax || Value < FMin) return;
    FMax = Value;
    Invalidate();
    if (FPosition > FMax) SetPosition(FMax);
}

void TTrackBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, FMax);
    if (Value == FPosition) return;
    FPosition = Value;
    Invalidate();
    Changed();
}

void TTrackBar::SetFrequency(int Value) {
    if (Value == FFrequency) return;
    FFrequency = Value;
    Invalidate();
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    Invalidate();
}

void TTrackBar::Changed() {
    if (OnChange) OnChange(this);
}

int TTrackBar::trackStart() const {
    return margin + thumbLength / 2;
}

int TTrackBar::trackEnd() const {
    const int length = horizontal() ? ClientWidth() : ClientHeight();
    return std::max(trackStart(), length - margin - thumbLength / 2 - 1);
}

int TTrackBar::offsetOf(int Position) const {
    const int range = FMax - FMin;
    if (range <= 0) return trackStart();
    return trackStart() + int((long long)(Position - FMin) * (trackEnd() - trackStart()) / range);
}

int TTrackBar::PositionAt(TPoint P) const {
    const int at = horizontal() ? P.X : P.Y;
    const int span = trackEnd() - trackStart();
    if (span <= 0) return FMin;
    const long long range = FMax - FMin;
    const long long offset = std::clamp(at - trackStart(), 0, span);
    return FMin + int((offset * range + span / 2) / span);
}

TRect TTrackBar::ChannelRect() const {
    const int across = margin + thumbThickness / 2;
    return horizontal() ? Rect(margin, across - 2, ClientWidth() - margin, across + 2)
                        : Rect(across - 2, margin, across + 2, ClientHeight() - margin);
}

TRect TTrackBar::ThumbRect() const {
    const int at = offsetOf(FPosition) - thumbLength / 2;
    return horizontal() ? Bounds(at, margin, thumbLength, thumbThickness)
                        : Bounds(margin, at, thumbThickness, thumbLength);
}

void TTrackBar::Paint() {
    TCanvas* c = Canvas();
    ::FillRect(c, ClientRect(), ColorToRGB(Color()));
    TRect channel = ChannelRect();
    DrawEdge(c, channel, EDGE_SUNKEN, BF_RECT);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clBlack);
    const int ticksAt = margin + thumbThickness + 2;
    auto tick = [&](int offset) {
        if (horizontal()) {
            c->MoveTo(offset, ticksAt);
            c->LineTo(offset, ticksAt + tickLength);
        } else {
            c->MoveTo(ticksAt, offset);
            c->LineTo(ticksAt + tickLength, offset);
        }
    };
    if (FFrequency > 0) {
        for (int p = FMin; p < FMax; p += FFrequency) tick(offsetOf(p));
        tick(offsetOf(FMax));
    }
    TRect thumb = ThumbRect();
    ::FillRect(c, thumb, ColorToRGB(clBtnFace));
    DrawEdge(c, thumb, EDGE_RAISED, BF_RECT);
    if (Focused()) {
        TRect focus = ClientRect();
        InflateRect(focus, -1, -1);
        DrawFocusRect(c, focus);
    }
}

void TTrackBar::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
        SetPosition(FPosition - FLineSize);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        SetPosition(FPosition + FLineSize);
        break;
    case VK_PRIOR:
        SetPosition(FPosition - FPageSize);
        break;
    case VK_NEXT:
        SetPosition(FPosition + FPageSize);
        break;
    case VK_HOME:
        SetPosition(FMin);
        break;
    case VK_END:
        SetPosition(FMax);
        break;
    default:
        break;
    }
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CanFocus() && !Focused()) SetFocus();
    const TRect thumb = ThumbRect();
    const int at = horizontal() ? X : Y;
    if (PtInRect(thumb, {X, Y})) {
        FDragging = true;
        FGrip = at - offsetOf(FPosition);
    } else if (at < (horizontal() ? thumb.Left : thumb.Top)) {
        SetPosition(FPosition - FPageSize);
    } else {
        SetPosition(FPosition + FPageSize);
    }
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    SetPosition(PositionAt(horizontal() ? TPoint{X - FGrip, Y} : TPoint{X, Y - FGrip}));
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FDragging = false;
}

void TTrackBar::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
}
