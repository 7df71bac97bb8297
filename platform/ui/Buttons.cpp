#include "platform/ui/Buttons.h"

#include "platform/ui/StdCtrlsInternal.h"

#include <algorithm>

using namespace stdctrls;

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
    // The button clicks itself on the release over it (MouseUp), not on every release.
    SetControlStyle(csCaptureMouse | csDoubleClicks);
    SetBounds(0, 0, 23, 22);
    SetParentColor(true);
    glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() {
    glyph_->OnChange = nullptr;
}

void TSpeedButton::SetGlyph(const TBitmap* v) {
    if (v)
        glyph_->Assign(v);
    else
        glyph_->SetSize(0, 0);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int v) {
    setAndRepaint(this, numGlyphs_, std::clamp(v, 1, 4));
}

void TSpeedButton::SetFlat(bool v) {
    setAndRepaint(this, flat_, v);
}

void TSpeedButton::SetTransparent(bool v) {
    setAndRepaint(this, transparent_, v);
}

void TSpeedButton::SetState(TButtonState v) {
    setAndRepaint(this, state_, v);
}

void TSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;
    if (v == down_) return;
    if (down_ && !v && !allowAllUp_) return;
    down_ = v;
    if (v) {
        state_ = bsExclusive;
        // The other buttons of the group come up.
        if (TWinControl* p = Parent())
            for (int i = 0; i < p->ControlCount(); ++i)
                if (auto* b = dynamic_cast<TSpeedButton*>(p->Controls(i));
                    b && b != this && b->groupIndex_ == groupIndex_ && b->down_) {
                    b->down_ = false;
                    b->SetState(bsUp);
                }
    } else {
        state_ = bsUp;
    }
    Invalidate();
}

void TSpeedButton::Click() {
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (!down_) SetState(bsDown);
    dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_) return;
    const bool inside = ClientRect().Contains({X, Y});
    if (!down_) SetState(inside ? bsDown : bsUp);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!dragging_ || Button != mbLeft) return;
    dragging_ = false;
    const bool doClick = ClientRect().Contains({X, Y});
    if (groupIndex_ == 0) {
        SetState(bsUp);
    } else if (doClick) {
        SetDown(!down_);
        if (!down_) SetState(bsUp);
    } else {
        SetState(down_ ? bsExclusive : bsUp);
    }
    if (doClick) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    if (!Enabled() || mouseInControl_) return;
    mouseInControl_ = true;
    Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    if (!mouseInControl_) return;
    mouseInControl_ = false;
    Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
    TGraphicControl::CMEnabledChanged(Message);
    state_ = Enabled() ? (down_ ? bsExclusive : bsUp) : bsDisabled;
    Invalidate();
}

void TSpeedButton::Dispatch(TMessage& Message) {
    if (changesCaptionLook(Message.Msg)) Invalidate();
    TGraphicControl::Dispatch(Message);
}

void TSpeedButton::DrawGlyphAndCaption(TCanvas* C, TRect R, bool Pressed) {
    if (Pressed) OffsetRect(R, 1, 1);
    const std::string caption = Caption();
    C->Font()->Assign(Font());
    const int tw = caption.empty() ? 0 : C->TextWidth(caption);
    int gw = 0, gh = 0;
    if (!glyph_->Empty() && glyph_->Width() > 0) {
        gw = glyph_->Width() / numGlyphs_;
        gh = glyph_->Height();
    }
    const int spacing = gw > 0 && tw > 0 ? 4 : 0;
    int x = R.Left + (R.Width() - gw - spacing - tw) / 2;
    if (gw > 0) {
        // The image of the state: up, disabled, clicked, down.
        int index = 0;
        if (state_ == bsDisabled && numGlyphs_ > 1) index = 1;
        if (state_ == bsDown && numGlyphs_ > 2) index = 2;
        if (state_ == bsExclusive && numGlyphs_ > 3) index = 3;
        const int y = R.Top + (R.Height() - gh) / 2;
        C->BrushCopy(Bounds(x, y, gw, gh), glyph_.get(), Bounds(index * gw, 0, gw, gh),
                     glyph_->TransparentColor());
        x += gw + spacing;
    }
    if (tw > 0) {
        if (!Enabled()) C->Font()->SetColor(clGrayText);
        SetBkMode(C, TRANSPARENT);
        TRect t{x, R.Top, x + tw, R.Bottom};
        DrawText(C, caption, -1, t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }
}

void TSpeedButton::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    const bool pressed = Pressed();
    if (!transparent_) FillRect(C, R, clBtnFace);
    if (flat_) {
        if (pressed || (mouseInControl_ && state_ != bsDisabled)) {
            TRect e = R;
            DrawEdge(C, e, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
        InflateRect(R, -1, -1);
    } else {
        unsigned flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
        if (pressed) flags |= DFCS_PUSHED;
        DrawFrameControl(C, R, DFC_BUTTON, flags);
    }
    DrawGlyphAndCaption(C, R, pressed);
}
