#pragma once
// The speed button: a windowless button drawn in the classic look, its glyph and caption
// centred, pressed while the left button is held on it; a release over it clicks.
#include "platform/ui/core/Controls.h"

#include <memory>

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // The glyph is copied. With NumGlyphs 2 to 4 it holds that many images side by side: up,
    // disabled, down, exclusive; a disabled button without its own image draws the up image
    // embossed.
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(const TBitmap* v);
    int NumGlyphs() const { return numGlyphs_; }
    // 1 to 4; other values are ignored.
    void SetNumGlyphs(int v);
    // A flat button shows its frame only while the pointer is over it or it is pressed.
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    // A flat transparent button (the default) shows its parent around glyph and caption; a
    // flat opaque one fills the button face first.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    TButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    void Click() override;

protected:
    // Drawn pressed: held down (bsDown) or down in a group (bsExclusive).
    bool Pressed() const { return state_ == bsDown || state_ == bsExclusive; }
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    TButtonState state_ = bsUp;

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    bool flat_ = false;
    bool transparent_ = true;
    bool dragging_ = false;
    bool mouseInControl_ = false;
};
