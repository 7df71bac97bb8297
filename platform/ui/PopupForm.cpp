#include "platform/ui/PopupForm.h"

#include <algorithm>

TCustomPopupForm::TCustomPopupForm(TComponent* AOwner) : TCustomForm(AOwner) {
    SetBorderStyle(bsNone);
}

TCustomPopupForm::~TCustomPopupForm() {
    SetPopupParent(nullptr);
}

void TCustomPopupForm::SetPopupParent(TCustomForm* v) {
    if (v == popupParent_) return;
    if (popupParent_) popupParent_->RemoveFreeNotification(this);
    popupParent_ = v;
    if (v) v->FreeNotification(this);
    PeerChanged(pcBorder);
}

void TCustomPopupForm::SetDropShadow(bool v) {
    if (v == dropShadow_) return;
    dropShadow_ = v;
    PeerChanged(pcBorder);
}

void TCustomPopupForm::SetMinSize(int AWidth, int AHeight) {
    minWidth_ = std::max(0, AWidth);
    minHeight_ = std::max(0, AHeight);
    SetBounds(Left(), Top(), Width(), Height());
}

void TCustomPopupForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomForm::SetBounds(ALeft, ATop, std::max(AWidth, minWidth_), std::max(AHeight, minHeight_));
}

void TCustomPopupForm::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomForm::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupParent_) popupParent_ = nullptr;
}

void TCustomPopupForm::startSizing(TPoint screen) {
    sizing_ = true;
    sizeFrom_ = screen;
    sizeStart_ = BoundsRect();
    SetCaptureControl(this);
}

void TCustomPopupForm::sizeTo(TPoint screen) {
    TRect r{sizeStart_.Left, sizeStart_.Top,
            std::max(sizeStart_.Right + screen.X - sizeFrom_.X, sizeStart_.Left + minWidth_),
            std::max(sizeStart_.Bottom + screen.Y - sizeFrom_.Y, sizeStart_.Top + minHeight_)};
    Perform(WM_SIZING, WMSZ_BOTTOMRIGHT, LPARAM(&r));
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomPopupForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCLBUTTONDOWN:
        if (Message.WParam == WPARAM(HTBOTTOMRIGHT)) {
            startSizing(LParamToPoint(Message.LParam));
            return;
        }
        break;
    case WM_LBUTTONDOWN: {
        const TPoint screen = ClientToScreen(LParamToPoint(Message.LParam));
        if (Perform(WM_NCHITTEST, 0, PointToLParam(screen)) == HTBOTTOMRIGHT) {
            startSizing(screen);
            return;
        }
        break;
    }
    case WM_MOUSEMOVE:
        if (sizing_) {
            sizeTo(ClientToScreen(LParamToPoint(Message.LParam)));
            return;
        }
        break;
    case WM_LBUTTONUP:
        if (sizing_) {
            sizing_ = false;
            ReleaseCapture();
            return;
        }
        break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        sizing_ = false;
        break;
    default:
        break;
    }
    TCustomForm::Dispatch(Message);
}

void TCustomPopupForm::CMDeactivate(TMessage& Message) {
    TCustomForm::CMDeactivate(Message);
    if (!Showing()) return;
    // The window the focus went to, else the form now active.
    TWinControl* to = FindControl(GetFocus());
    if (!to || ContainsControl(to)) {
        TCustomForm* active = Screen->ActiveForm();
        to = active != this ? active : nullptr;
    }
    Perform(WM_ACTIVATE, WA_INACTIVE, LPARAM(to && to->HandleAllocated() ? to->Handle() : nullptr));
}
