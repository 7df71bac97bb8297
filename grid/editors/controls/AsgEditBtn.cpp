#include "grid/editors/controls/AsgEditBtn.h"

#include "platform/ui/Menus.h"

#include <algorithm>

namespace {
// The frame of a single border lies inside the edit's own area here; the classic layout counts
// from inside it.
int frameOf(TBorderStyle s) {
    return s == bsSingle ? 2 : 0;
}
} // namespace

// --- TQorSpeedButton ---------------------------------------------------------------------------
TQorSpeedButton::TQorSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

void TQorSpeedButton::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    const bool pressed = Pressed();
    auto* holder = dynamic_cast<TAsgEditButton*>(Parent());
    if (holder && holder->ButtonColor() != clNone) {
        FFlat = true;
        FillRect(C, R,
                 pressed ? holder->ButtonColorDown()
                 : Hot() ? holder->ButtonColorHot()
                         : holder->ButtonColor());
    } else if (FFlat) {
        // No visual-style library here: the classic faces.
        DrawEdge(C, R, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        InflateRect(R, -1, -1);
    } else {
        DrawFrameControl(C, R, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    }
    const int shift = pressed ? 1 : 0;
    if (!Glyph()->Empty() && Glyph()->Width() > 0) {
        const int gw = Glyph()->Width() / NumGlyphs(), gh = Glyph()->Height();
        const int x = gw < Width() ? (Width() - gw) / 2 : 0;
        const int y = gh < Height() ? (Height() - gh) / 2 : 0;
        C->BrushCopy(Bounds(x + shift, y + shift, gw, gh), Glyph(), Bounds(0, 0, gw, gh),
                     Glyph()->TransparentColor());
    }
    if (!Caption().empty()) {
        OffsetRect(R, shift, shift);
        C->Font()->Assign(Font());
        C->Font()->SetColor(clBlack);
        SetBkMode(C, TRANSPARENT);
        DrawText(C, Caption(), -1, R, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}

// --- TAsgEditButton ----------------------------------------------------------------------------
TAsgEditButton::TAsgEditButton(TComponent* AOwner) : TButtonHolder(AOwner) {
    SetControlStyle((ControlStyle() & ~(csAcceptsControls | csSetCaption)) | csOpaque);
    FButton = new TQorSpeedButton(this);
    FButton->SetVisible(true);
    FButton->SetEnabled(true);
    FButton->SetCaption("");
    // The holder acts on the release; the button's own click does nothing.
    FButton->OnClick = [](TObject*) {};
    FButton->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ButtonMouseUp(s, b, sh, x, y);
    };
    FButton->SetParent(this);
    FButton->SetGlyph(nullptr);
    SetBounds(0, 0, 20, 25);
}

void TAsgEditButton::SetFlat(bool v) {
    FFlat = v;
    FButton->SetFlat(v);
}

void TAsgEditButton::ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState, int X,
                                   int Y) {
    if (Button != mbLeft) return;
    // Only a release over the button clicks it.
    if (Sender == FButton && FButton->ClientRect().Contains({X, Y}) && OnClick) OnClick(this);
    FocusAfterPress();
}

void TAsgEditButton::ArrangeButton() {
    if (ComponentState() & csLoading) return;
    if (FButton) FButton->SetBounds(0, 0, Width(), Height());
}

void TAsgEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TButtonHolder::SetBounds(ALeft, ATop, AWidth, AHeight);
    ArrangeButton();
}

void TAsgEditButton::Loaded() {
    TButtonHolder::Loaded();
    ArrangeButton();
}

void TAsgEditButton::WMSize(TWMSize& Message) {
    TButtonHolder::WMSize(Message);
    ArrangeButton();
}

void TAsgEditButton::Paint() {
    FillRect(Canvas(), ClientRect(), clBtnFace);
}

// --- TAsgEditBtn -------------------------------------------------------------------------------
TAsgEditBtn::TAsgEditBtn(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    SetControlStyle(ControlStyle() & ~csSetCaption);
    FButton = new TAsgEditButton(this);
    FButton->SetBounds(0, 0, 18, 18);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnClick = [this](TObject* s) { ClickButton(s); };
    SetText("0");
    placeButton();
}

void TAsgEditBtn::ClickButton(TObject* Sender) {
    if (OnClickBtn) OnClickBtn(Sender);
}

void TAsgEditBtn::SetButtonWidth(int v) {
    FButtonWidth = v;
    FButton->SetWidth(v);
    placeButton();
}

void TAsgEditBtn::SetRightAlign(bool v) {
    if (FRightAlign == v) return;
    FRightAlign = v;
    SetAlignment(v ? taRightJustify : taLeftJustify);
    if (HandleAllocated()) RecreateWnd();
}

void TAsgEditBtn::SetIsWinXP(bool v) {
    FIsWinXP = v;
    FButton->Button()->SetIsWinXP(v);
}

void TAsgEditBtn::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (Key == VK_F4 && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) &&
        GetKeyState(VK_LMENU) >= 0 && GetKeyState(VK_RMENU) >= 0)
        ClickButton(this);
}

void TAsgEditBtn::WMChar(TWMKey& Message) {
    if (!FEditorEnabled) return;
    TCustomMaskEdit::WMChar(Message);
}

void TAsgEditBtn::Dispatch(TMessage& Message) {
    // Another border moves the button and the text.
    if (Message.Msg == CM_BORDERCHANGED) placeButton();
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FEditorEnabled || ReadOnly()))
        return;
    TCustomMaskEdit::Dispatch(Message);
}

void TAsgEditBtn::DoEnter() {
    const bool autoSelect = AutoSelect();
    SetAutoSelect(false);
    TCustomMaskEdit::DoEnter();
    SetAutoSelect(autoSelect);
    if (autoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
}

int TAsgEditBtn::MinimumHeight() {
    return EditLineHeight(Font());
}

void TAsgEditBtn::UpdateEditRect() {
    if (!HandleAllocated()) return;
    const int frame = frameOf(BorderStyle());
    const int lt = BorderStyle() == bsNone ? 3 : 1;
    int right = Width() - frame - FButton->Width() - FUnitSize - 5;
    if (FUnitSize > 0) right -= 3;
    TRect r{frame + lt, frame + lt, right, Height() - frame + 1};
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TAsgEditBtn::placeButton() {
    if (!FButton) return;
    if (Height() < MinimumHeight()) {
        SetHeight(MinimumHeight());
        return;
    }
    const int frame = frameOf(BorderStyle());
    const int d = BorderStyle() == bsNone ? 1 : 5;
    FButton->SetBounds(Width() - FButton->Width() - d + frame, frame, FButton->Width(),
                       Height() - d);
    UpdateEditRect();
}

void TAsgEditBtn::WMSize(TWMSize& Message) {
    TCustomMaskEdit::WMSize(Message);
    placeButton();
}

void TAsgEditBtn::CreateWnd() {
    TCustomMaskEdit::CreateWnd();
    UpdateEditRect();
}

// --- TAsgUnitEditBtn ---------------------------------------------------------------------------
TAsgUnitEditBtn::TAsgUnitEditBtn(TComponent* AOwner)
    : TAsgEditBtn(AOwner), FUnits(std::make_unique<TStringList>()) {
    FUnitSize = 20;
    SetRightAlign(true);
}

void TAsgUnitEditBtn::SetUnits(const TStrings* v) {
    if (v) FUnits->Assign(v);
}

void TAsgUnitEditBtn::SetUnitID(const std::string& v) {
    FUnitID = v;
    Invalidate();
}

void TAsgUnitEditBtn::SetUnitSpace(int v) {
    FUnitSize = v;
    UpdateEditRect();
    Invalidate();
}

void TAsgUnitEditBtn::SetTextAndUnit(const std::string& v) {
    for (int i = 0; i < FUnits->Count(); ++i) {
        const std::string& u = FUnits->Get(i);
        // The unit's first occurrence must end the value; nothing is trimmed.
        const std::size_t p = v.find(u);
        if (u.empty() || p == std::string::npos || p + u.size() != v.size()) continue;
        SetText(v.substr(0, p));
        SetUnitID(u);
        return;
    }
}

void TAsgUnitEditBtn::ClickButton(TObject*) {
    if (OnClickBtn) OnClickBtn(this);
    // The chosen unit comes back as a command with its number (1, 2, ...) to this window.
    auto menu = std::make_unique<TPopupMenu>(nullptr);
    for (int i = 0; i < FUnits->Count(); ++i) {
        auto* item = new TMenuItem(menu.get());
        item->SetCaption(FUnits->Get(i));
        const int id = i + 1;
        item->OnClick = [this, id](TObject*) {
            TMessage m{WM_COMMAND, MAKEWPARAM(id, 0), 0, 0};
            WindowProc(m);
        };
        menu->Items()->Add(item);
    }
    const TPoint at = ClientToScreen({ClientWidth() - 15, ClientHeight()});
    menu->Popup(at.X, at.Y);
}

void TAsgUnitEditBtn::WMCommand(TWMCommand& Message) {
    const int n = Message.ItemID();
    if (Message.NotifyCode() == EN_CHANGE || n < 1 || n > FUnits->Count()) {
        TAsgEditBtn::WMCommand(Message);
        return;
    }
    const std::string old = FUnitID;
    SetUnitID(FUnits->Get(n - 1));
    if (FUnitID != old && OnUnitChanged) OnUnitChanged(this, FUnitID);
}

void TAsgUnitEditBtn::PaintWindow(HDC DC) {
    TAsgEditBtn::PaintWindow(DC);
    const int frame = BorderStyle() == bsSingle ? 2 : 0;
    const int w = Button()->Width();
    const int right = Width() - frame - (w + 3);
    TRect r{right - FUnitSize, 2, right, Height() - frame};
    if (r.Width() <= 0) return;
    DC->Font()->Assign(Font());
    SetBkMode(DC, OPAQUE);
    DC->Brush()->SetColor(clWhite);
    DrawText(DC, FUnitID, -1, r, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
}
