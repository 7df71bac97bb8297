#include "grid/editors/controls/ButtonHolder.h"

TButtonHolder::TButtonHolder(TComponent* AOwner) : TCustomControl(AOwner) {}

void TButtonHolder::SetFocusControl(TWinControl* v) {
    if (FFocusControl == v) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v) v->FreeNotification(this);
}

void TButtonHolder::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TButtonHolder::FocusAfterPress() {
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() &&
        !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TButtonHolder::setPaintColor(TColor& field, TColor v) {
    field = v;
    ButtonLookChanged();
}
