#include "grid/render/AuxWindows.h"

#include "platform/ui/core/LayeredWindows.h"

namespace {
constexpr LRESULT MA_NOACTIVATE = 3;
} // namespace

TNoActiveForm::TNoActiveForm(TComponent* AOwner) : TForm(AOwner) {}

void TNoActiveForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED | WS_BORDER;
}

void TNoActiveForm::CreateWnd() {
    TForm::CreateWnd();
    applyAlpha();
}

void TNoActiveForm::SetAlphaBlend(bool v) {
    FAlphaBlend = v;
    applyAlpha();
}

void TNoActiveForm::SetAlphaBlendValue(std::uint8_t v) {
    FAlphaBlendValue = v;
    applyAlpha();
}

void TNoActiveForm::applyAlpha() {
    if (!HandleAllocated()) return;
    const LONG ex = GetWindowLong(Handle(), GWL_EXSTYLE);
    if (!FAlphaBlend) {
        SetWindowLong(Handle(), GWL_EXSTYLE, ex & ~LONG(WS_EX_LAYERED));
        return;
    }
    SetWindowLong(Handle(), GWL_EXSTYLE, ex | LONG(WS_EX_LAYERED));
    SetLayeredWindowAttributes(Handle(), clNone, FAlphaBlendValue, LWA_ALPHA);
}

void TNoActiveForm::WndProc(TMessage& Message) {
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TForm::WndProc(Message);
    if (Message.Msg == WM_ACTIVATE) Message.Result = 1;
}
