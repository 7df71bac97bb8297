#pragma once
// The drop-down button at the right edge of a drop-down edit: a windowed container of a fixed
// width holding one speed button, which paints the drop-down arrow face (custom colours or the
// classic face) or a push-button face with glyph and caption; a left-button release on it is
// the container's click.
#include "platform/ui/Buttons.h"
#include "platform/ui/core/Controls.h"

enum TButtonStyle { bsButton, bsDropDown };

class TQorDropDownSpeedButton : public TSpeedButton {
public:
    explicit TQorDropDownSpeedButton(TComponent* AOwner);
    TButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TButtonStyle v);
    bool Etched() const { return FEtched; }
    void SetEtched(bool v);
    // Stored for the drop-down's focus look; the faces do not show it.
    bool Focused() const { return FFocused; }
    void SetFocused(bool v);
    // A pressed button then paints as not pressed.
    void SetUp(bool v) { FUp = v; }

protected:
    void Paint() override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool pressed() const;
    void paintDropDownFace();
    void paintButtonFace();
    bool FEtched = false;
    bool FFocused = false;
    bool FHot = false;
    bool FUp = false;
    TButtonStyle FButtonStyle = bsDropDown;
};

class TDropDownEditButton : public TWinControl {
public:
    explicit TDropDownEditButton(TComponent* AOwner);
    ~TDropDownEditButton() override;

    TQorDropDownSpeedButton* SpeedButton() const { return FButton; }
    // The control the button belongs to (the drop-down edit).
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    // The width the button always takes.
    int ButtonWidth() const { return FBWidth; }
    void SetButtonWidth(int v);
    TBitmap* Glyph() const;
    void SetGlyph(const TBitmap* v);
    int NumGlyphs() const;
    void SetNumGlyphs(int v);
    const std::string& ButtonCaption() const;
    void SetButtonCaption(const std::string& v);

    // Face colours; clNone for ButtonColor selects the classic face.
    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v) { setColor(FButtonColor, v); }
    TColor ButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { setColor(FButtonColorHot, v); }
    TColor ButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { setColor(FButtonColorDown, v); }
    // Set by the colour tones; the faces here do not draw it.
    TColor ButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { setColor(FButtonBorderColor, v); }
    TColor ButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { setColor(FButtonTextColor, v); }
    TColor ButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { setColor(FButtonTextColorHot, v); }
    TColor ButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { setColor(FButtonTextColorDown, v); }

    // The width is held at ButtonWidth; the speed button fills the container.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMEnabledChanged(TMessage& Message) override;

private:
    void setColor(TColor& field, TColor v);
    TQorDropDownSpeedButton* FButton = nullptr;
    TWinControl* FFocusControl = nullptr;
    int FBWidth = 16;
    TColor FButtonColorDown = clNone;
    TColor FButtonBorderColor = clNone;
    TColor FButtonTextColor = clNone;
    TColor FButtonTextColorHot = clNone;
    TColor FButtonColor = clNone;
    TColor FButtonColorHot = clNone;
    TColor FButtonTextColorDown = clNone;
};
