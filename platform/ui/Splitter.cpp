#include "platform/ui/Splitter.h"

#include <algorithm>

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

TControl* TSplitter::findControl() const {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    // The point just outside the splitter's edge that faces the control it follows.
    TPoint p{Left(), Top()};
    switch (Align()) {
    case alTop:
        --p.Y;
        break;
    case alBottom:
        p.Y += Height();
        break;
    case alLeft:
        --p.X;
        break;
    case alRight:
        p.X += Width();
        break;
    default:
        return nullptr;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c != this && c->Visible() && c->Align() == Align() && c->BoundsRect().Contains(p))
            return c;
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    control_ = findControl();
    if (!control_) return;
    downAt_ = along(X, Y);
    startSize_ = vertical() ? control_->Height() : control_->Width();
    // The room a client-aligned control gives up, down to its own MinSize; without one, the
    // parent's client area less MinSize.
    TWinControl* parent = Parent();
    maxSize_ = (vertical() ? parent->ClientHeight() : parent->ClientWidth()) - MinSize;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        const TControl* c = parent->Controls(i);
        if (c->Align() == alClient && c->Visible())
            maxSize_ = startSize_ + (vertical() ? c->Height() : c->Width()) - MinSize;
    }
    // A control already below MinSize may stay as it is.
    minSize_ = std::min(startSize_, MinSize);
    maxSize_ = std::max(maxSize_, minSize_);
    SetMouseCapture(true);
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!control_) return;
    int delta = along(X, Y) - downAt_;
    if (Align() == alBottom || Align() == alRight) delta = -delta;
    const int size = std::clamp(startSize_ + delta, minSize_, maxSize_);
    if (vertical())
        control_->SetHeight(size);
    else
        control_->SetWidth(size);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !control_) return;
    control_ = nullptr;
    SetMouseCapture(false);
}
