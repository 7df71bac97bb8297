#include "controls/base/QorButton.h"

#include "controls/base/QorCustomDropDown.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/DragDrop.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"

#include <cmath>

namespace {

// The colour with its red and green parts at 90 %, rounded to nearest (halves to even).
TColor redGreenAt90(TColor c) {
    auto scaled = [](int v) { return int(std::nearbyint(v * 0.9)); };
    return RGB(scaled(GetRValue(c)), scaled(GetGValue(c)), GetBValue(c));
}

TCanvas* measureCanvas(const TFont* font) {
    static TBitmap bitmap(1, 1);
    bitmap.Canvas()->Font()->Assign(font);
    return bitmap.Canvas();
}

bool cancelsTheDropDown(int result) {
    return result == mrCancel || result == mrAbort || result == mrIgnore || result == mrNo ||
           result == mrNoToAll;
}

bool endsTheDropDown(int result) {
    return result == mrOk || result == mrYes || result == mrAll || result == mrYesToAll ||
           cancelsTheDropDown(result);
}

} // namespace

// --- TQorButtonAppearance ------------------------------------------------------------------

TQorButtonAppearance::TQorButtonAppearance()
    : FColorCheckedTo(redGreenAt90(FColorHotTo)), FColorChecked(redGreenAt90(FColorHot)),
      FFont(std::make_unique<TFont>()) {
    FFont->SetName("Tahoma");
}

TQorButtonAppearance::~TQorButtonAppearance() = default;

void TQorButtonAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TQorButtonAppearance*>(Source);
    if (!s) return TPersistent::Assign(Source);
    SetColor(s->FColor);
    SetColorTo(s->FColorTo);
    SetColorHot(s->FColorHot);
    SetColorHotTo(s->FColorHotTo);
    SetColorDown(s->FColorDown);
    SetColorDownTo(s->FColorDownTo);
    SetColorChecked(s->FColorChecked);
    SetColorCheckedTo(s->FColorCheckedTo);
    SetColorDisabled(s->FColorDisabled);
    SetColorDisabledTo(s->FColorDisabledTo);
    SetBorderColor(s->FBorderColor);
    SetBorderColorHot(s->FBorderColorHot);
    SetBorderColorDown(s->FBorderColorDown);
    SetBorderColorChecked(s->FBorderColorChecked);
    SetBorderColorDisabled(s->FBorderColorDisabled);
    SetGradient(s->FGradient);
}

// --- TQorButton ----------------------------------------------------------------------------

TQorButton::TQorButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
    SetBounds(0, 0, 23, 22);
    Font()->SetName("Tahoma");
    SetShowHint(false);
    SetParentShowHint(false);
    FUnHotTimer = new TTimer(this);
    FUnHotTimer->SetEnabled(false);
    FUnHotTimer->SetInterval(1);
    FUnHotTimer->OnTimer = [this](TObject*) { unHotTimer(); };
}

TQorButton::~TQorButton() = default;

void TQorButton::SetAppearance(TQorButtonAppearance* v) {
    FAppearance = v;
    Invalidate();
}

void TQorButton::SetImages(TImageList* List) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = List;
    if (List) List->FreeNotification(this);
}

void TQorButton::SetQorDropDown(TQorCustomDropDown* DropDown) {
    FQorDropDown = DropDown;
}

void TQorButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TQorButton::FitToContent() {
    if (!FAppearance) return;
    TRect r{0, 0, 1000, 500};
    DrawText(measureCanvas(FAppearance->Font()), Caption(), -1, r, DT_CALCRECT | DT_SINGLELINE);
    int w = r.Width(), h = r.Height();
    if (FImages && FImageIndex >= 0) {
        // Image, gap and caption side by side, as DrawButton places them.
        w = FImages->Width() + (Caption().empty() ? 0 : 4 + w);
        h = std::max(h, FImages->Height());
    }
    SetBounds(Left(), Top(), w + 8, h + 4);
}

void TQorButton::SetDown(bool Value) {
    if (ComponentState() & csLoading) {
        FInitialDown = Value;
        return;
    }
    if (FGroupIndex == 0 && FStyle == tasButton) Value = false;
    if (FStyle == tasCheck) {
        FDown = Value;
        FState = Value ? absDown : absUp;
        Repaint();
        return;
    }
    if (Value == FDown || (FDown && !FAllowAllUp)) return;
    FDown = Value;
    if (Value) {
        if (FState == absUp) Invalidate();
        FState = absExclusive;
        if (Parent()) {
            TMessage m{CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(static_cast<TObject*>(this)),
                       0};
            Parent()->Broadcast(m);
        }
    } else {
        FState = absUp;
        Repaint();
    }
}

void TQorButton::Loaded() {
    TCustomControl::Loaded();
    if (FInitialDown != FDown) SetDown(FInitialDown);
}

void TQorButton::Click() {
    if (TCustomForm* form = ::GetParentForm(this)) form->SetModalResult(FModalResult);
    if (FQorDropDown && endsTheDropDown(FModalResult))
        FQorDropDown->HideDropDown(cancelsTheDropDown(FModalResult));
    TCustomControl::Click();
}

void TQorButton::Paint() {
    if (!Enabled()) {
        FState = absDisabled;
        FDragging = false;
    } else if (FState == absDisabled) {
        FState = FDown && FGroupIndex != 0 ? absExclusive : absUp;
    }
    if (FStyle == tasCheck && FDown) FState = absDown;
    TCanvas* c = Canvas();
    // The parent's own painting shows through.
    if (TWinControl* p = Parent(); p && p->BackingImage()) {
        p->Update();
        c->Draw(-Left(), -Top(), p->BackingImage());
    }
    DrawButton(c);
}

void TQorButton::DrawButton(TCanvas* ACanvas) {
    if (!FAppearance) return;
    const TQorButtonAppearance& a = *FAppearance;
    TColor from = a.Color(), to = a.ColorTo(), border = a.BorderColor();
    if (!Enabled()) {
        from = a.ColorDisabled(), to = a.ColorDisabledTo(), border = a.BorderColorDisabled();
    } else if (FMouseDownInControl && FMouseInControl) {
        from = to = a.ColorDown(), border = a.BorderColorDown();
    } else if (FDown) {
        from = to = a.ColorChecked(), border = a.BorderColorChecked();
    } else if (FMouseInControl || Focused()) {
        from = to = a.ColorHot(), border = a.BorderColorHot();
    }
    const TRect r = ClientRect();
    if (to != clNone) {
        DrawGradientRect(*ACanvas, from, to, 80, r, a.Gradient() == gdHorizontal);
    } else if (from != clNone) {
        ACanvas->Brush()->SetStyle(bsSolid);
        ACanvas->Brush()->SetColor(from);
        ACanvas->FillRect(r);
    }
    if (border != clNone) {
        ACanvas->Brush()->SetStyle(bsClear);
        ACanvas->Pen()->SetStyle(psSolid);
        ACanvas->Pen()->SetWidth(1);
        ACanvas->Pen()->SetColor(border);
        ACanvas->Rectangle(r);
    }
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->Font()->Assign(a.Font());
    SetBkMode(ACanvas, TRANSPARENT);
    TRect text = r;
    unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    if (FImages && FImageIndex >= 0) {
        FImages->Draw(ACanvas, r.Left + 4, r.Top + (r.Height() - FImages->Height()) / 2,
                      FImageIndex, true);
        text.Left = r.Left + FImages->Width() + 8;
        flags |= DT_LEFT;
    } else {
        flags |= DT_CENTER;
    }
    DrawText(ACanvas, Caption(), -1, text, flags);
}

void TQorButton::showPressed() {
    if (!FDown) {
        FState = absDown;
        Invalidate();
    }
    if (FStyle == tasCheck) {
        FState = absDown;
        Repaint();
    }
}

bool TQorButton::inside(int X, int Y) const {
    return X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
}

void TQorButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        FMouseDownInControl = true;
        showPressed();
        FDragging = true;
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TQorButton::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (FDragging) {
        TQorButtonState now =
            inside(X, Y) ? (FDown ? absExclusive : absDown) : (FDown ? absExclusive : absUp);
        if (FStyle == tasCheck && FDown) now = absDown;
        if (now != FState) {
            FState = now;
            Invalidate();
        }
    } else if (!FMouseInControl) {
        recheckPointer();
    }
}

void TQorButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FMouseDownInControl = false;
    Invalidate();
    if (FDragging) {
        FDragging = false;
        const bool in = inside(X, Y);
        if (FGroupIndex != 0) {
            if (in) {
                SetDown(!FDown);
                if (FDown) Repaint();
            } else {
                if (FDown) FState = absExclusive;
                Repaint();
            }
        } else {
            FState = absUp;
            FMouseInControl = false;
            if (FStyle == tasCheck) {
                SetDown(!FDown);
                FState = absUp;
            }
            if (in) Repaint();
        }
    }
    recheckPointer();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TQorButton::recheckPointer() {
    if (!Enabled()) return;
    TPoint p;
    GetCursorPos(p);
    Perform(FindControl(WindowFromPoint(p)) == this ? CM_MOUSEENTER : CM_MOUSELEAVE);
}

void TQorButton::unHotTimer() {
    TPoint p;
    GetCursorPos(p);
    if (ClientRect().Contains(ScreenToClient(p))) return;
    FUnHotTimer->SetEnabled(false);
    FMouseInControl = false;
    if (Enabled()) Repaint();
}

void TQorButton::CMMouseEnter(TMessage& Message) {
    FMouseInControl = true;
    if (Enabled()) Repaint();
    FUnHotTimer->SetEnabled(true);
    TCustomControl::CMMouseEnter(Message);
}

void TQorButton::CMMouseLeave(TMessage& Message) {
    FUnHotTimer->SetEnabled(false);
    FMouseInControl = false;
    if (Enabled()) Repaint();
    TCustomControl::CMMouseLeave(Message);
}

void TQorButton::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_RETURN || Key == VK_SPACE) {
        showPressed();
        Click();
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TQorButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && Enabled()) {
        Click();
        Message.M.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TQorButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_BUTTONPRESSED: {
        // Other buttons of the parent may share the message: only a TQorButton counts.
        auto* sender = dynamic_cast<TQorButton*>(reinterpret_cast<TObject*>(Message.LParam));
        if (int(Message.WParam) != FGroupIndex || sender == this || !sender) return;
        if (sender->FDown && FDown) {
            FDown = false;
            FState = absUp;
            Invalidate();
        }
        FAllowAllUp = sender->FAllowAllUp;
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}
