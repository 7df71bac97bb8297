#pragma once
// The bar between two aligned controls that the user drags to share the space between them.
#include "platform/ui/core/Controls.h"

// Aligned like the control it follows (alTop after an alTop control, alLeft after an alLeft
// one ...), it resizes that control while the left button drags it; neither that control nor
// a client-aligned control of the same parent gets smaller than MinSize.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);

    static constexpr int MinSize = 30;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool vertical() const { return Align() == alTop || Align() == alBottom; }
    // The mouse position along the dragging axis, in the parent's client coordinates.
    int along(int X, int Y) const { return vertical() ? Top() + Y : Left() + X; }
    TControl* findControl() const;
    TControl* control_ = nullptr; // being resized while the button is down
    int downAt_ = 0;
    int startSize_ = 0;
    int minSize_ = 0;
    int maxSize_ = 0;
};
