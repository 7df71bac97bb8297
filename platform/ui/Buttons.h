#pragma once
// The speed button: a windowless push button with a glyph and a caption, flat or framed. It is
// drawn down while the left button holds it and clicks when that button is released over it.
#include "platform/gfx/Graphics.h"
#include "platform/ui/core/Controls.h"

#include <memory>

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // NumGlyphs images side by side: up, disabled, clicked, down.
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(const TBitmap* v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    // Framed only while the mouse is over the button or it is down.
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    // The parent shows through around the glyph and caption.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // A button of a group (GroupIndex above 0) stays down after a click.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    bool Down() const { return down_; }
    void SetDown(bool v);
    TButtonState State() const { return state_; }
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void SetState(TButtonState v);
    // The mouse is over the button (the flat look frames it then).
    bool MouseInside() const { return mouseInControl_; }
    // Drawn down: held, or down in its group.
    bool Pressed() const { return state_ == bsDown || state_ == bsExclusive; }
    // Draws glyph and caption centred in R, one pixel right and down while pressed.
    void DrawGlyphAndCaption(TCanvas* C, TRect R, bool Pressed);

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    bool flat_ = false;
    bool transparent_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool dragging_ = false;
    bool mouseInControl_ = false;
    TButtonState state_ = bsUp;
};
