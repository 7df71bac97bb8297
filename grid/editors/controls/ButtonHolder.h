#pragma once
// What the holders of an edit's buttons share (the spin edit's arrow pair, the edit's push
// button holder): the control that takes the keyboard focus after a press on a button, and
// the colours of the buttons' own look.
#include "platform/ui/core/Controls.h"

class TButtonHolder : public TCustomControl {
public:
    explicit TButtonHolder(TComponent* AOwner);

    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    // clNone: not set, the platform's look. The buttons paint with the first three; the others
    // are kept for the look's other users.
    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v) { setPaintColor(FButtonColor, v); }
    TColor ButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { setPaintColor(FButtonColorHot, v); }
    TColor ButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { setPaintColor(FButtonColorDown, v); }
    TColor ButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { FButtonTextColor = v; }
    TColor ButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { FButtonTextColorHot = v; }
    TColor ButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { FButtonTextColorDown = v; }
    TColor ButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { FButtonBorderColor = v; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // After a press on a button: the focus goes to FocusControl when it has a tab stop, can take
    // the focus and lacks it, else to the holder itself on the same terms.
    void FocusAfterPress();
    // A colour the buttons paint with changed.
    virtual void ButtonLookChanged() = 0;

private:
    void setPaintColor(TColor& field, TColor v);
    TWinControl* FFocusControl = nullptr;
    TColor FButtonColor = clNone;
    TColor FButtonColorHot = clNone;
    TColor FButtonColorDown = clNone;
    TColor FButtonTextColor = clNone;
    TColor FButtonTextColorHot = clNone;
    TColor FButtonTextColorDown = clNone;
    TColor FButtonBorderColor = clNone;
};

// The height of a line of Font's text plus a quarter of the smaller of it and a line of the
// system font: the least height of an edit with buttons, before its border.
int EditLineHeight(const TFont* Font);
