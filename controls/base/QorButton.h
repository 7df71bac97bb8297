#pragma once
// The colours and font of the push buttons in drop-down popups (TQorButtonAppearance), and the
// small owner-drawn push button (TQorButton) that the popup's header and footer bars make for
// their configured buttons. The button draws its parent's background under itself, so with the
// default look it is only its text until the pointer is over it. It acts as a plain button, a
// check button or one of a group of exclusive buttons; one that carries a modal result closes
// its drop-down's popup when clicked.
#include "grid/core/base/GridButtons.h"
#include "grid/render/ControlLook.h"
#include "platform/ui/core/Controls.h"

#include <memory>

class TQorCustomDropDown;
class TImageList;
class TTimer;

using TQorButtonStyle = TQorGridButtonStyle; // tasButton, tasCheck
enum TQorButtonState { absUp, absDisabled, absDown, absDropDown, absExclusive };

class TQorButtonAppearance : public TPersistent {
public:
    TQorButtonAppearance();
    ~TQorButtonAppearance() override;

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { set(FBorderColor, v); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor v) { set(FBorderColorHot, v); }
    TColor BorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor v) { set(FBorderColorDown, v); }
    TColor BorderColorDisabled() const { return FBorderColorDisabled; }
    void SetBorderColorDisabled(TColor v) { set(FBorderColorDisabled, v); }
    TColor BorderColorChecked() const { return FBorderColorChecked; }
    void SetBorderColorChecked(TColor v) { set(FBorderColorChecked, v); }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { set(FColor, v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { set(FColorTo, v); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { set(FColorDown, v); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { set(FColorDownTo, v); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { set(FColorHot, v); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { set(FColorHotTo, v); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor v) { set(FColorCheckedTo, v); }
    TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor v) { set(FColorDisabled, v); }
    TColor ColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(TColor v) { set(FColorDisabledTo, v); }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor v) { set(FColorChecked, v); }
    TGradientDirection Gradient() const { return FGradient; }
    void SetGradient(TGradientDirection v) { set(FGradient, v); }
    TFont* Font() const { return FFont.get(); }
    // Copies the font; fires no OnChange.
    void SetFont(const TFont* v) { FFont->Assign(v); }

    // From another appearance: the colours and the gradient through their setters, not the
    // font. Any other source raises the conversion error.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    template <typename T> void set(T& field, T v) {
        if (field == v) return;
        field = v;
        if (OnChange) OnChange(this);
    }
    TColor FBorderColor = clNone;
    TColor FBorderColorHot = clGray;
    TColor FBorderColorDown = clNavy;
    TColor FBorderColorDisabled = clGray;
    TColor FBorderColorChecked = clBlue;
    TColor FColor = clNone;
    TColor FColorTo = clNone;
    TColor FColorDown = TColor(0xF5D8CA);
    TColor FColorDownTo = TColor(0xF9BDA0);
    TColor FColorHot = TColor(0xF5F0E1);
    TColor FColorHotTo = TColor(0xF9D2B2);
    TColor FColorCheckedTo;
    TColor FColorDisabled = TColor(0xF2F2F2);
    TColor FColorDisabledTo = clNone;
    TColor FColorChecked;
    TGradientDirection FGradient = gdVertical;
    std::unique_ptr<TFont> FFont;
};

class TQorButton : public TCustomControl {
public:
    explicit TQorButton(TComponent* AOwner);
    ~TQorButton() override;

    // Not owned: the drop-down's ButtonAppearance, which must outlive the button.
    TQorButtonAppearance* Appearance() const { return FAppearance; }
    void SetAppearance(TQorButtonAppearance* v);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* List);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int v) { FModalResult = v; }
    TQorCustomDropDown* QorDropDown() const { return FQorDropDown; }
    void SetQorDropDown(TQorCustomDropDown* DropDown);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v) { FGroupIndex = v; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v) { FAllowAllUp = v; }
    TQorButtonStyle Style() const { return FStyle; }
    void SetStyle(TQorButtonStyle v) { FStyle = v; }
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    TQorButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

    // Sized to the caption and the image side by side, with the appearance's font.
    void FitToContent();
    // The parent form's modal result, the popup's end for a modal result, then OnClick.
    void Click() override;
    void Loaded() override;

protected:
    virtual void DrawButton(TCanvas* ACanvas);
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMDialogChar(TWMKey& Message) override;

private:
    bool inside(int X, int Y) const;
    // The pressed state a mouse press or a key gives the button.
    void showPressed();
    void recheckPointer();
    void unHotTimer();
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FMouseInControl = false;
    TQorButtonStyle FStyle = tasButton;
    TQorButtonState FState = absUp;
    bool FMouseDownInControl = false;
    bool FDragging = false;
    TTimer* FUnHotTimer = nullptr;
    bool FInitialDown = false;
    TQorButtonAppearance* FAppearance = nullptr;
    TImageList* FImages = nullptr;
    int FImageIndex = -1;
    int FModalResult = 0;
    TQorCustomDropDown* FQorDropDown = nullptr;
};
