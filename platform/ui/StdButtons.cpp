#include "platform/ui/StdCtrls.h"

#include "platform/ui/StdCtrlsInternal.h"

#include <algorithm>

using namespace stdctrls;

// --- TButtonControl ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
    // The click comes from BN_CLICKED (mouse release inside, Space), not from every release.
    SetControlStyle(csSetCaption | csDoubleClicks | csCaptureMouse);
    SetTabStop(true);
    SetParentColor(true);
}

void TButtonControl::SetWordWrap(bool v) {
    setAndRepaint(this, wordWrap_, v);
}

void TButtonControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!Enabled()) return;
        if (CanFocus() && !Focused()) SetFocus();
        mouseDown_ = pressed_ = true;
        Invalidate();
        return;
    case WM_MOUSEMOVE:
        if (mouseDown_) {
            bool inside = ClientRect().Contains(LParamToPoint(Message.LParam));
            if (inside != pressed_) {
                pressed_ = inside;
                Invalidate();
            }
        }
        return;
    case WM_LBUTTONUP:
        if (mouseDown_) {
            bool inside = ClientRect().Contains(LParamToPoint(Message.LParam));
            mouseDown_ = pressed_ = false;
            Invalidate();
            if (inside) Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), handleParam(this));
        }
        return;
    case WM_KEYDOWN:
        if (WORD(Message.WParam) == VK_SPACE && !spaceDown_) {
            spaceDown_ = pressed_ = true;
            Invalidate();
        }
        return;
    case WM_KEYUP:
        if (WORD(Message.WParam) == VK_SPACE && spaceDown_) {
            spaceDown_ = pressed_ = false;
            Invalidate();
            Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), handleParam(this));
        }
        return;
    default:
        break;
    }
    TCustomControl::DefaultHandler(Message);
}

void TButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (TWMCommand(Message).NotifyCode() == BN_CLICKED) {
            ButtonClicked();
            return;
        }
        break;
    case BM_CLICK:
        Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), handleParam(this));
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        spaceDown_ = false;
        pressed_ = mouseDown_;
        Invalidate();
        return;
    case WM_SETFOCUS:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TButtonControl::DrawCaption(TCanvas* canvas, TRect r, unsigned flags) {
    canvas->Font()->Assign(Font());
    SetBkMode(canvas, TRANSPARENT);
    canvas->Brush()->SetStyle(bsClear);
    if (wordWrap_) flags = (flags & ~(DT_SINGLELINE | DT_VCENTER)) | DT_WORDBREAK;
    if (!Enabled()) {
        TRect shadow = r;
        OffsetRect(shadow, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        DrawText(canvas, Caption(), -1, shadow, flags);
        canvas->Font()->SetColor(clBtnShadow);
    }
    DrawText(canvas, Caption(), -1, r, flags);
    canvas->Brush()->SetStyle(bsSolid);
}

// --- TButton ----------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TButton::SetDefault(bool v) {
    setAndRepaint(this, default_, v);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm()) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::CMDialogKey(TWMKey& Message) {
    WORD key = Message.CharCode();
    // Enter clicks the focused button, else the default button unless another button has
    // the focus.
    TWinControl* focused = FindControl(GetFocus());
    bool otherButtonFocused = focused != this && dynamic_cast<TButton*>(focused) != nullptr;
    bool active = Focused() || (default_ && !otherButtonFocused);
    if (((key == VK_RETURN && active) || (key == VK_ESCAPE && cancel_)) &&
        KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
        Click();
        Message.Result() = 1;
        return;
    }
    TButtonControl::CMDialogKey(Message);
}

void TButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        Click();
        Message.Result() = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (default_ || Focused()) {
        c->Brush()->SetColor(clWindowFrame);
        c->FrameRect(r);
        InflateRect(r, -1, -1);
    }
    unsigned state = DFCS_BUTTONPUSH | (Pressed() ? DFCS_PUSHED | DFCS_FLAT : 0) |
                     (Enabled() ? 0 : DFCS_INACTIVE);
    TRect face = r;
    DrawFrameControl(c, face, DFC_BUTTON, state);
    if (Pressed()) {
        FrameRect(c, r, clBtnShadow);
    }
    TRect tr = r;
    if (Pressed()) OffsetRect(tr, 1, 1);
    DrawCaption(c, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (Focused()) {
        TRect fr = r;
        InflateRect(fr, -3, -3);
        c->DrawFocusRect(fr);
    }
}

// --- TCustomCheckBox / TRadioButton -----------------------------------------------------------

namespace {

constexpr int checkSize = 13;

// Box and caption of a check box or radio button, in the classic look.
void paintCheckControl(TButtonControl* self, TCanvas* c, TAlignment alignment, unsigned state,
                       bool focused, const std::function<void(TCanvas*, TRect, unsigned)>& text) {
    TRect r = self->ClientRect();
    c->Brush()->SetColor(self->Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
    int top = (r.Height() - checkSize) / 2;
    TRect box = alignment == taRightJustify
                    ? Bounds(0, top, checkSize, checkSize)
                    : Bounds(r.Width() - checkSize, top, checkSize, checkSize);
    DrawFrameControl(c, box, DFC_BUTTON, state);
    TRect tr = alignment == taRightJustify ? Rect(checkSize + 4, 0, r.Right, r.Bottom)
                                           : Rect(0, 0, r.Right - checkSize - 4, r.Bottom);
    text(c, tr, DT_SINGLELINE | DT_VCENTER | (alignment == taRightJustify ? DT_LEFT : DT_RIGHT));
    if (focused && !self->Caption().empty()) {
        TRect calc = tr;
        c->Font()->Assign(self->Font());
        DrawText(c, self->Caption(), -1, calc, DT_SINGLELINE | DT_CALCRECT);
        int h = calc.Height();
        TRect fr = Rect(tr.Left - 1, (r.Height() - h) / 2 - 1, tr.Left + calc.Width() + 1,
                        (r.Height() - h) / 2 + h + 1);
        if (alignment != taRightJustify) OffsetRect(fr, tr.Right - tr.Left - calc.Width(), 0);
        c->DrawFocusRect(fr);
    }
}

} // namespace

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::SetAlignment(TAlignment v) {
    if (v == taCenter || alignment_ == v) return;
    alignment_ = v;
    Invalidate();
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (state_ == v) return;
    state_ = v;
    Invalidate();
    if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked:
        SetState(allowGrayed_ ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

void TCustomCheckBox::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result() = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TCustomCheckBox::Paint() {
    unsigned state = DFCS_BUTTONCHECK;
    if (state_ == cbChecked) state |= DFCS_CHECKED;
    if (state_ == cbGrayed) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (Pressed()) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    paintCheckControl(this, Canvas(), alignment_, state, Focused(),
                      [this](TCanvas* c, TRect r, unsigned f) { DrawCaption(c, r, f); });
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
    SetTabStop(false);
}

void TRadioButton::SetAlignment(TAlignment v) {
    if (v == taCenter || alignment_ == v) return;
    alignment_ = v;
    Invalidate();
}

void TRadioButton::SetChecked(bool v) {
    if (checked_ == v) return;
    checked_ = v;
    SetTabStop(v);
    Invalidate();
    if (!v) return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)))
                if (sibling != this) sibling->SetChecked(false);
    }
    if (!ClicksDisabled()) Click();
}

void TRadioButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) SetChecked(true);
        Message.Result() = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TRadioButton::Paint() {
    unsigned state = DFCS_BUTTONRADIO;
    if (checked_) state |= DFCS_CHECKED;
    if (Pressed()) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    paintCheckControl(this, Canvas(), alignment_, state, Focused(),
                      [this](TCanvas* c, TRect r, unsigned f) { DrawCaption(c, r, f); });
}

// --- TCustomGroupBox --------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption |
                    csDoubleClicks | csReplicatable | csParentBackground);
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    int h = c->TextHeight("0");
    // The etched frame: a highlight line under a shadow line, one pixel apart.
    TRect r = Rect(0, h / 2 - 1, Width(), Height());
    r.Left += 1;
    r.Top += 1;
    c->Brush()->SetColor(clBtnHighlight);
    c->FrameRect(r);
    OffsetRect(r, -1, -1);
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(r);
    if (!Caption().empty()) {
        TRect tr = Rect(8, 0, 0, h);
        DrawText(c, Caption(), -1, tr, DT_SINGLELINE | DT_CALCRECT);
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        SetBkMode(c, OPAQUE);
        SetBkColor(c, Color());
        if (!Enabled()) c->Font()->SetColor(clGrayText);
        DrawText(c, Caption(), -1, tr, DT_SINGLELINE);
    }
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (changesCaptionLook(Message.Msg)) Invalidate();
}
