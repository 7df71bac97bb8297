#include "controls/base/DropDownForm.h"

#include "controls/base/QorCustomDropDown.h"
#include "platform/base/Clock.h"

TDropDownForm::TDropDownForm(TComponent* AOwner) : TCustomPopupForm(AOwner) {}

void TDropDownForm::CreateParams(TCreateParams& Params) {
    TCustomPopupForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_TOPMOST;
}

void TDropDownForm::AlignControls(TControl* AControl, TRect& Rect) {
    if (FQorDropDown) {
        const int bw = FQorDropDown->DropDownBorderWidth();
        Rect = {Rect.Left + bw, Rect.Top + bw, Rect.Right - bw, Rect.Bottom - bw};
    }
    TCustomPopupForm::AlignControls(AControl, Rect);
}

void TDropDownForm::Paint() {
    TCustomPopupForm::Paint();
    if (!FQorDropDown) return;
    TCanvas* c = Canvas();
    const TQorCustomDropDown& dd = *FQorDropDown;
    const int bw = dd.DropDownBorderWidth();
    const TRect client = ClientRect();
    const TRect r{client.Left + bw, client.Top + bw, client.Right - bw, client.Bottom - bw};
    if (dd.DropDownColor() != clNone && dd.DropDownColorTo() != clNone) {
        DrawGradientRect(*c, dd.DropDownColor(), dd.DropDownColorTo(), 80, r,
                         dd.DropDownGradient() == gdHorizontal);
    } else if (dd.DropDownColor() != clNone) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(dd.DropDownColor());
        c->FillRect(r);
    }
    if (bw > 0) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(bw);
        c->Pen()->SetColor(dd.DropDownBorderColor());
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(client.Left + bw / 2, client.Top + bw / 2, client.Right, client.Bottom);
    }
}

void TDropDownForm::Resize() {
    TCustomPopupForm::Resize();
    Invalidate();
}

bool TDropDownForm::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomPopupForm::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    bool handled = false;
    const TMouseWheelUpDownEvent& event = WheelDelta < 0 ? OnMouseWheelDown : OnMouseWheelUp;
    if (event) event(this, Shift, MousePos, handled);
    return handled;
}

void TDropDownForm::InitializeAndUpdate() {
    if (!FQorDropDown) return;
    TQorCustomDropDown* dd = FQorDropDown;
    auto refresh = [this, dd](TQorPopupBar*& bar, const THeaderAppearance* look, TAlign align,
                              auto make) {
        if (bar) {
            bar->SetQorDropDown(dd);
            bar->InitButtons();
            bar->SetVisible(look->Visible());
            // A look whose height changed since the bar was made.
            bar->SetHeight(look->Height());
        } else if (look->Visible()) {
            bar = make();
            bar->SetParent(this);
            bar->SetHeight(look->Height());
            bar->SetQorDropDown(dd);
            bar->InitButtons();
            bar->SetAlign(align);
        }
    };
    TQorPopupBar* header = FHeader;
    refresh(header, dd->DropDownHeader(), alTop, [this] { return new TQorHeader(this); });
    FHeader = static_cast<TQorHeader*>(header);
    if (FHeader) {
        FHeader->OnDrawBackGround = dd->OnDrawHeader;
        FHeader->OnGetText = dd->OnGetHeaderText;
    }
    TQorPopupBar* footer = FFooter;
    refresh(footer, dd->DropDownFooter(), alBottom, [this] { return new TQorFooter(this); });
    FFooter = static_cast<TQorFooter*>(footer);
    if (FFooter) {
        FFooter->OnDrawBackGround = dd->OnDrawFooter;
        FFooter->OnGetText = dd->OnGetFooterText;
    }
}

bool TDropDownForm::owns(TWinControl* w) const {
    // Up through parents and, for top-level windows, the window that owns them.
    while (w) {
        TWinControl* up = w->Parent();
        if (!up) {
            if (auto* popup = dynamic_cast<TCustomPopupForm*>(w))
                up = popup->PopupParent();
            else if (auto* form = dynamic_cast<TCustomForm*>(w))
                up = form->ModalOwner();
        }
        if (up == this) return true;
        w = up;
    }
    return false;
}

void TDropDownForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ACTIVATE:
        TCustomPopupForm::Dispatch(Message);
        if (FBlockActivate || LOWORD(Message.WParam) != WA_INACTIVE || !Visible()) return;
        FDeActivate = DWORD(GetTickCount());
        if (owns(FindControl(reinterpret_cast<HWND>(Message.LParam)))) return;
        if (FQorDropDown)
            FQorDropDown->HideDropDown(FCancelOnDeActivate);
        else
            Hide();
        return;
    case WM_SIZING:
        TCustomPopupForm::Dispatch(Message);
        if (OnSizing) OnSizing(this);
        return;
    case WM_NCHITTEST:
        if (FSizeable) {
            const TPoint p = ScreenToClient(LParamToPoint(Message.LParam));
            if (p.X > Width() - 10 && p.Y > Height() - 10) Message.Result = HTBOTTOMRIGHT;
        }
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    default:
        TCustomPopupForm::Dispatch(Message);
    }
}
