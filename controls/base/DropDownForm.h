#pragma once
// The popup of a drop-down edit: a borderless popup window that holds the drop-down's content
// control between an optional header bar and an optional footer bar, paints the popup's
// background and border, hands its key and wheel events to the drop-down, and ends itself,
// as cancelled unless told otherwise, when another window takes the activation.
#include "controls/base/QorHeaderFooter.h"
#include "platform/ui/PopupForm.h"

class TQorCustomDropDown;

using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;

class TDropDownForm : public TCustomPopupForm {
public:
    explicit TDropDownForm(TComponent* AOwner);

    // The drop-down the popup belongs to.
    void SetQorDropDown(TQorCustomDropDown* v) { FQorDropDown = v; }
    // The bottom-right corner is a sizing border.
    bool Sizeable() const { return FSizeable; }
    void SetSizeable(bool v) { FSizeable = v; }
    // Losing the activation hides the popup as cancelled (else as accepted).
    bool CancelOnDeActivate() const { return FCancelOnDeActivate; }
    void SetCancelOnDeActivate(bool v) { FCancelOnDeActivate = v; }
    // While set, the activation changes nothing.
    bool BlockActivate() const { return FBlockActivate; }
    void SetBlockActivate(bool v) { FBlockActivate = v; }
    // Tick count (milliseconds) of the last deactivation while visible.
    DWORD DeActivateTick() const { return FDeActivate; }
    TQorHeader* Header() const { return FHeader; }
    TQorFooter* Footer() const { return FFooter; }

    // Builds or refreshes the header and footer bars from the drop-down's looks.
    void InitializeAndUpdate();

    // While the user sizes the popup.
    TNotifyEvent OnSizing;
    // The wheel turned and OnMouseWheel left it unhandled.
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
    void CreateParams(TCreateParams& Params) override;
    // The aligned children stay inside the popup's border.
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Paint() override;
    void Resize() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void Dispatch(TMessage& Message) override;

private:
    // Whether w lies in this popup's own windows: its children or the windows it owns.
    bool owns(TWinControl* w) const;
    DWORD FDeActivate = 0;
    TQorFooter* FFooter = nullptr;
    TQorHeader* FHeader = nullptr;
    TQorCustomDropDown* FQorDropDown = nullptr;
    bool FSizeable = false;
    bool FCancelOnDeActivate = true;
    bool FBlockActivate = false;
};
