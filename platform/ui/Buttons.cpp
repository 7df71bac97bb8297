#include "platform/ui/Buttons.h"

#include "platform/gfx/ImageList.h"

#include <algorithm>

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 23, 22);
    SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks);
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
    if (v < 1 || v > 4 || v == numGlyphs_) return;
    numGlyphs_ = v;
    Invalidate();
}

void TSpeedButton::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void TSpeedButton::Click() {
    TGraphicControl::Click();
}

void TSpeedButton::Paint() {
    if (!Enabled())
        state_ = bsDisabled;
    else if (state_ == bsDisabled)
        state_ = bsUp;
    const bool pressed = Pressed();
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (flat_ && !transparent_) FillRect(c, r, clBtnFace);
    if (!flat_) {
        DrawFrameControl(c, r, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    } else if (pressed || (mouseInControl_ && Enabled())) {
        DrawEdge(c, r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    // Glyph and caption side by side, 4 pixels apart, centred as one; pressed moves them.
    const int offset = pressed ? 1 : 0;
    c->Font()->Assign(Font());
    const std::string caption = Caption();
    const TSize text = caption.empty() ? TSize{0, 0} : c->TextExtent(caption);
    const int glyphWidth = glyph_->Empty() ? 0 : glyph_->Width() / numGlyphs_;
    const int total = glyphWidth + (glyphWidth && !caption.empty() ? 4 : 0) + text.cx;
    int x = (Width() - total) / 2 + offset;
    if (glyphWidth > 0) {
        // The image of the state when the glyph has one, else the up image (embossed when
        // disabled).
        const int index = int(state_) < numGlyphs_ ? int(state_) : 0;
        TBitmap image(glyphWidth, glyph_->Height());
        image.Canvas()->Draw(-index * glyphWidth, 0, glyph_.get());
        TImageList list;
        list.SetSize(glyphWidth, glyph_->Height());
        list.AddMasked(&image, glyph_->TransparentColor());
        const bool embossed = state_ == bsDisabled && numGlyphs_ < 2;
        list.Draw(c, x, (Height() - glyph_->Height()) / 2 + offset, 0, !embossed);
        x += glyphWidth + 4;
    }
    if (!caption.empty()) {
        TRect tr{x, offset, x + text.cx, Height() + offset};
        SetBkMode(c, TRANSPARENT);
        const unsigned flags = DT_SINGLELINE | DT_VCENTER;
        if (!Enabled()) {
            OffsetRect(tr, 1, 1);
            c->Font()->SetColor(clBtnHighlight);
            DrawText(c, caption, -1, tr, flags);
            OffsetRect(tr, -1, -1);
            c->Font()->SetColor(clBtnShadow);
        }
        DrawText(c, caption, -1, tr, flags);
    }
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    state_ = bsDown;
    dragging_ = true;
    Invalidate();
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_) return;
    const TButtonState now = ClientRect().Contains({X, Y}) ? bsDown : bsUp;
    if (now == state_) return;
    state_ = now;
    Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (dragging_ && Button == mbLeft) {
        dragging_ = false;
        state_ = bsUp;
        Invalidate();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    mouseInControl_ = true;
    if (flat_ && Enabled()) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    mouseInControl_ = false;
    if (flat_ && Enabled()) Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
    state_ = Enabled() ? bsUp : bsDisabled;
    TGraphicControl::CMEnabledChanged(Message);
}

void TSpeedButton::CMTextChanged(TMessage& Message) {
    TGraphicControl::CMTextChanged(Message);
    Invalidate();
}
