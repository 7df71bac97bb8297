#pragma once
// A form shown as a popup window, as a drop-down shows its list or panel: borderless, above the
// window of its popup parent, taking the keyboard while it shows. The user clicking outside it,
// or the focus moving to another form, reaches it as WM_ACTIVATE with WA_INACTIVE and, in
// LParam, the window that gets the click or the focus (nullptr: none of the program's); it
// stays shown unless its handler hides it.
// Its bottom-right corner sizes it: where WM_NCHITTEST answers HTBOTTOMRIGHT, or on
// WM_NCLBUTTONDOWN with HTBOTTOMRIGHT (screen point in LParam), a left press starts sizing; the
// window's corner then follows the pointer, each step offered first as WM_SIZING, until the
// button is released.
#include "platform/ui/core/Forms.h"

class TCustomPopupForm : public TCustomForm {
public:
    explicit TCustomPopupForm(TComponent* AOwner);
    ~TCustomPopupForm() override;
    std::string PeerClassName() const override { return "POPUP"; }

    // The form the popup belongs to; nullptr: none.
    TCustomForm* PopupParent() const { return popupParent_; }
    void SetPopupParent(TCustomForm* v);
    // A shadow under the window, where the desktop draws shadows.
    bool DropShadow() const { return dropShadow_; }
    void SetDropShadow(bool v);
    // Neither the program nor the user makes the window smaller than this.
    int MinWidth() const { return minWidth_; }
    int MinHeight() const { return minHeight_; }
    void SetMinSize(int AWidth, int AHeight);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The user is sizing the window by its corner.
    bool Sizing() const { return sizing_; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;
    void CMDeactivate(TMessage& Message) override;

private:
    void startSizing(TPoint screen);
    void sizeTo(TPoint screen);
    TCustomForm* popupParent_ = nullptr;
    bool dropShadow_ = true;
    int minWidth_ = 0;
    int minHeight_ = 0;
    bool sizing_ = false;
    TPoint sizeFrom_;
    TRect sizeStart_;
};
