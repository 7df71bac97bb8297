#include "grid/editors/controls/ButtonHolder.h"

#include <algorithm>

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

int EditLineHeight(const TFont* Font) {
    TBitmap b(1, 1);
    TCanvas* c = b.Canvas();
    c->Font()->Assign(Font);
    const int t = c->TextHeight("Wg");
    const TFont system;
    c->Font()->Assign(&system);
    const int s = c->TextHeight("Wg");
    return t + std::min(t, s) / 4;
}
