// The drop-down edit's popup life cycle, its keys, layout, label and borders.
#include "controls/base/QorCustomDropDown.h"

#include "platform/base/Clock.h"
#include "platform/base/SysUtils.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Monitors.h"

#include <algorithm>

namespace {

int textHeight(const TFont* font) {
    static TBitmap bitmap(1, 1);
    bitmap.Canvas()->Font()->Assign(font);
    return bitmap.Canvas()->TextHeight("Wg");
}

// The work area of the monitor that holds (or is nearest to) p.
TRect workAreaAt(TPoint p) {
    MONITORINFO info;
    TRect work;
    if (GetMonitorInfo(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info))
        work = info.rcWork;
    else
        SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

} // namespace

TQorCustomDropDown::TQorCustomDropDown(TComponent* AOwner)
    : TCustomEdit(AOwner), FDropDownHeader(std::make_unique<THeaderAppearance>(this)),
      FButtonAppearance(std::make_unique<TQorButtonAppearance>()),
      FDropDownFooter(std::make_unique<TFooterAppearance>(this)),
      FLabelFont(std::make_unique<TFont>()), FIsThemed(IsComCtl6()) {
    SetControlStyle(ControlStyle() & ~csSetCaption);
    // An open popup follows its looks at once; a closed one at its next show.
    auto refresh = [this](TObject*) {
        if (FDroppedDown && FDropDownForm) FDropDownForm->InitializeAndUpdate();
    };
    FDropDownHeader->OnChange = FDropDownHeader->OnButtonsChanged = refresh;
    FDropDownFooter->OnChange = FDropDownFooter->OnButtonsChanged = refresh;
    FLabelFont->OnChange = [this](TObject*) {
        if (FLabel && !ParentFont()) UpdateLabel();
    };
    CreateDropDownButton();
    SetBounds(Left(), Top(), 200, 21);
    ResizeControl();
    SetSelectionColorStyle(scOffice2007);
    // Descendants that add looks to the style apply it again for themselves.
    SetComponentStyle(tsOffice2007Luna);
}

TQorCustomDropDown::~TQorCustomDropDown() {
    FLabelFont->OnChange = nullptr;
    if (FDropDownForm) {
        FDropDownForm->OnHide = nullptr;
        FDropDownForm->OnDestroy = nullptr;
        delete FDropDownForm;
        FDropDownForm = nullptr;
    }
}

// --- settings ----------------------------------------------------------------------------------

void TQorCustomDropDown::SetDropDownWidth(int v) {
    if (v == FDropDownWidth) return;
    FDropDownWidth = v;
    FUserDropDownWidth = -1;
}

void TQorCustomDropDown::SetDropDownHeight(int v) {
    if (v == FDropDownHeight) return;
    FDropDownHeight = v;
    FUserDropDownHeight = -1;
}

void TQorCustomDropDown::SetEditorEnabled(bool v) {
    FEditorEnabled = v;
    SetControlStyle(v ? ControlStyle() | csDoubleClicks : ControlStyle() & ~csDoubleClicks);
    // A pick-only edit shows no caret.
    if (Focused()) v ? ShowCaret(Handle()) : HideCaret(Handle());
    Invalidate();
}

void TQorCustomDropDown::SetImages(TImageList* v) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v) v->FreeNotification(this);
}

void TQorCustomDropDown::SetDropDownButtonHint(const std::string& v) {
    if (v == FButtonHint) return;
    FButtonHint = v;
    FButton->SetHint(v);
    FButton->SetShowHint(!v.empty());
}

void TQorCustomDropDown::SetDropDownButtonWidth(int v) {
    if (!FButton || v == FButtonWidth) return;
    FButtonWidth = v;
    FButton->SetButtonWidth(v);
    ResizeControl();
}

std::string TQorCustomDropDown::Version() const {
    const unsigned v = GetVersionNr();
    return Format("%d.%d.%d.%d", (v >> 24) & 0xFF, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void TQorCustomDropDown::SetBorderColor(TColor v) {
    if (v == FBorderColor) return;
    FBorderColor = v;
    Invalidate();
    FButton->SpeedButton()->Invalidate();
}

void TQorCustomDropDown::SetDisabledBorder(bool v) {
    if (v == FDisabledBorder) return;
    FDisabledBorder = v;
    Invalidate();
}

void TQorCustomDropDown::SetFlat(bool v) {
    FFlat = v;
    ResizeControl();
}

void TQorCustomDropDown::SetFocusControl(TWinControl* v) {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v) v->FreeNotification(this);
}

void TQorCustomDropDown::SetControl(TControl* Value) {
    if (Value == FControl) return;
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = Value;
    if (Value) Value->FreeNotification(this);
    // A closed popup first takes the content's size, so that aligning the content to the popup
    // keeps the size the content was made with.
    if (Value && FDropDownForm && !FDropDownForm->Visible() && !IsDestroying())
        UpdateDropDownSize();
    UpdateDropDownContent();
}

void TQorCustomDropDown::SetColorTones(const TColorTones& ATones) {
    FButton->SetButtonColor(ATones.Background.BrushColor);
    FButton->SetButtonColorHot(ATones.Hover.BrushColor);
    FButton->SetButtonColorDown(ATones.Selected.BrushColor);
    FButton->SetButtonBorderColor(ATones.Background.BorderColor);
    SetBorderColor(ATones.Background.BorderColor);
}

void TQorCustomDropDown::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TQorCustomDropDown*>(Source);
    if (!s) return TCustomEdit::Assign(Source);
    FFocusDraw = s->FFocusDraw;
    FForceShadow = s->FForceShadow;
    FDropDownEnabled = s->FDropDownEnabled;
    FDropDownColor = s->FDropDownColor;
    FDropDownColorTo = s->FDropDownColorTo;
    FDropDownGradient = s->FDropDownGradient;
    FDropDownBorderColor = s->FDropDownBorderColor;
    FDropDownBorderWidth = s->FDropDownBorderWidth;
    FDropDownShadow = s->FDropDownShadow;
    FDropDownWidth = s->FDropDownWidth;
    FDropDownHeight = s->FDropDownHeight;
    FDropDownSizeable = s->FDropDownSizeable;
    FEditType = s->FEditType;
    FReturnIsTab = s->FReturnIsTab;
    FLengthLimit = s->FLengthLimit;
    FPrecision = s->FPrecision;
    FPrefix = s->FPrefix;
    FSuffix = s->FSuffix;
    FDefaultHandling = s->FDefaultHandling;
    FCanUndo = s->FCanUndo;
    FExcelStyleDecimalSeparator = s->FExcelStyleDecimalSeparator;
    FValidChars = s->FValidChars;
    FSigned = s->FSigned;
    FAutoThousandSeparator = s->FAutoThousandSeparator;
    FButtonAppearance->Assign(s->FButtonAppearance.get());
    FDropDownHeader->Assign(s->FDropDownHeader.get());
    FDropDownFooter->Assign(s->FDropDownFooter.get());
    FDropPosition = s->FDropPosition;
    FFlat = s->FFlat;
    SetDropDownButtonWidth(s->FButtonWidth);
    SetDropDownButtonHint(s->FButtonHint);
    FEditorEnabled = s->FEditorEnabled;
    FButton->SetGlyph(s->FButton->Glyph());
    FButton->SetButtonCaption(s->FButton->ButtonCaption());
    FEtched = s->FEtched;
    SetImages(s->FImages);
    FSelectionColorStyle = s->FSelectionColorStyle;
    FSelectionColor = s->FSelectionColor;
    FSelectionColorTo = s->FSelectionColorTo;
}

void TQorCustomDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) {
        FImages = nullptr;
        Invalidate();
    }
    if (AComponent == FControl) SetControl(nullptr);
    if (AComponent == FFocusControl) FFocusControl = nullptr;
    if (AComponent == FLabel) FLabel = nullptr;
    if (AComponent == FDropDownForm) FDropDownForm = nullptr;
}

void TQorCustomDropDown::Loaded() {
    TCustomEdit::Loaded();
    FParentFnt = ParentFont();
    SetEditRect();
    ResizeControl();
    FButton->SetEnabled(Enabled());
    if (FLabel) {
        if (!FLabelAlwaysEnabled) FLabel->SetEnabled(Enabled());
        FLabel->Font()->Assign(Font());
        FLabel->SetParentFont(ParentFont());
    }
    UpdateLabel();
}

// --- the popup ---------------------------------------------------------------------------------

TDropDownForm* TQorCustomDropDown::DropDownFormNeeded() {
    if (!FDropDownForm) CreateDropDownForm();
    return FDropDownForm;
}

void TQorCustomDropDown::CreateDropDownForm() {
    if (FDropDownForm) return;
    FDropDownForm = new TDropDownForm(this);
    FDropDownForm->SetQorDropDown(this);
    FDropDownForm->SetBounds(0, 0, FDropDownWidth, FDropDownHeight);
    FDropDownForm->OnHide = [this](TObject*) { AfterHideDropDown(); };
    FDropDownForm->OnKeyPress = [this](TObject*, char32_t& Key) { DropDownFormKeyPress(Key); };
    FDropDownForm->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        DropDownFormKeyDown(Key, Shift);
    };
    FDropDownForm->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) {
        DropDownFormKeyUp(Key, Shift);
    };
    FDropDownForm->OnMouseWheelDown = [this](TObject*, TShiftState Shift, TPoint At, bool& Done) {
        DropDownMouseWheelDown(Shift, At, Done);
    };
    FDropDownForm->OnMouseWheelUp = [this](TObject*, TShiftState Shift, TPoint At, bool& Done) {
        DropDownMouseWheelUp(Shift, At, Done);
    };
    FDropDownForm->OnDestroy = [this](TObject*) { DropDownFormDestroyed(); };
    FDropDownForm->OnSizing = [this](TObject*) { DropDownSizing(); };
}

void TQorCustomDropDown::CreateDropDownButton() {
    if (!FButton) {
        FButton = new TDropDownEditButton(this);
        FButton->SetParent(this);
        FButton->OnClick = [this](TObject*) { buttonClick(); };
    }
    UpdateDropDownButton();
}

void TQorCustomDropDown::UpdateDropDownButton() {
    FButton->SetBounds(FButton->Left(), FButton->Top(), FButtonWidth, 17);
    FButton->SetVisible(true);
    FButton->SetFocusControl(this);
}

void TQorCustomDropDown::buttonClick() {
    if (FDropDownForm) {
        if (FDropDownForm->Visible()) return;
        // The press that ended the popup must not open it again.
        if (DWORD(GetTickCount() - FDropDownForm->DeActivateTick()) <= 250) return;
    }
    DoShowDropDown();
}

void TQorCustomDropDown::toggleDropDown() {
    if (FDroppedDown)
        DoHideDropDown(false);
    else
        DoShowDropDown();
}

void TQorCustomDropDown::BeforeDropDown() {
    if (OnBeforeDropDown) OnBeforeDropDown(this);
}

void TQorCustomDropDown::FocusDropDownControl() {
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() &&
        !FFocusControl->Focused())
        FFocusControl->SetFocus();
}

void TQorCustomDropDown::UpdateDropDownSize() {
    if (!FDropDownForm) return;
    const bool control = FControl && FControl->Visible();
    const int w = FDropDownWidth > 0 ? FDropDownWidth : control ? FControl->Width() : Width();
    int h = FDropDownHeight;
    if (h <= 0) {
        h = 2 * FDropDownBorderWidth;
        if (FDropDownHeader->Visible()) h += FDropDownHeader->Height();
        if (FDropDownFooter->Visible()) h += FDropDownFooter->Height();
        if (control) h += FControl->Height();
    }
    FDropDownForm->SetBounds(FDropDownForm->Left(), FDropDownForm->Top(), w, h);
}

void TQorCustomDropDown::UpdateDropDownContent() {
    if (!FDropDownForm || !FControl) return;
    FControl->SetParent(FDropDownForm);
    FControl->SetTop(FDropDownHeader->Visible() ? FDropDownHeader->Height() + 2
                                                : FDropDownBorderWidth);
    FControl->SetAlign(alClient);
}

void TQorCustomDropDown::DoShowDropDown() {
    DropDownFormNeeded();
    if (!FDropDownForm || FDropDownForm->Visible() || !Enabled() || ReadOnly()) return;
    BeforeDropDown();
    FDropDownForm->SetDropShadow(FDropDownShadow);
    FDropDownForm->SetPopupParent(::GetParentForm(this));
    FDropDownForm->InitializeAndUpdate();
    UpdateDropDownSize();
    UpdateDropDownContent();
    FDropDownForm->SetMinSize(80, 50);
    if (auto* content = dynamic_cast<TWinControl*>(FControl)) {
        content->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
            ControlKeyDown(Key, Shift);
        };
        content->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) {
            ControlKeyUp(Key, Shift);
        };
        content->OnKeyPress = [this](TObject*, char32_t& Key) { ControlKeyPress(Key); };
    }
    // The popup is placed at the size it shows with: the user's where the user sized it. It goes
    // below the edit, or above it where the work area of the screen that holds the edit has no
    // room below; with room on neither side, to the roomier one, moved into the work area.
    const int popupWidth = FUserDropDownWidth != -1 ? FUserDropDownWidth : FDropDownForm->Width();
    const int popupHeight =
        FUserDropDownHeight != -1 ? FUserDropDownHeight : FDropDownForm->Height();
    TPoint p = Parent() ? Parent()->ClientToScreen({Left(), Top()}) : TPoint{Left(), Top()};
    const TRect work = workAreaAt(p);
    const int belowTop = p.Y + Height() - 1, aboveTop = p.Y - popupHeight;
    int top = FDropPosition == dpUp ? aboveTop : belowTop;
    if (FDropPosition == dpAuto && p.Y + Height() + popupHeight > work.Bottom) {
        const int roomBelow = work.Bottom - (p.Y + Height()), roomAbove = p.Y - work.Top;
        if (aboveTop >= work.Top || roomAbove > roomBelow) top = aboveTop;
        top = std::max(std::min(top, work.Bottom - popupHeight), work.Top);
    }
    FDropDownForm->SetBounds(p.X, top, popupWidth, popupHeight);
    bool accept = true;
    if (OnDropDown) OnDropDown(this, accept);
    if (!accept) return;
    // A popup passing the work area's right edge ends at it.
    const int right = FDropDownForm->Left() + FDropDownForm->Width();
    if (right > work.Right && FDropDownForm->Left() < work.Right)
        FDropDownForm->SetLeft(work.Right - FDropDownForm->Width());
    p = {FDropDownForm->Left(), FDropDownForm->Top()};
    const int w = FDropDownForm->Width(), shownHeight = FDropDownForm->Height();
    // A popup above the edit keeps its bottom edge where a descendant trims its height.
    const bool above = p.Y < belowTop;
    FDropDownForm->SetBounds(p.X, p.Y, 0, 0);
    FDropDownForm->Show();
    if (FDropDownShadow && FForceShadow) {
        FDropDownForm->Hide();
        FDropDownForm->SetBounds(p.X, p.Y, 1, 1);
        FDropDownForm->Show();
    }
    int h = shownHeight;
    AdjustDropDownHeight(h);
    if (above) p.Y += shownHeight - h;
    FDroppedDown = true;
    FDropDownForm->SetBounds(p.X, p.Y, w, h);
    FocusDropDownControl();
}

void TQorCustomDropDown::DoHideDropDown(bool Cancelled) {
    if (!FDropDownForm || !FDropDownForm->Visible()) return;
    if (OnBeforeDropUp) OnBeforeDropUp(this);
    FUserDropDownWidth = FDropDownForm->Width();
    FUserDropDownHeight = FDropDownForm->Height();
    FDropDownForm->Hide();
    Application->CancelHint();
    if (Cancelled) SetTextValue(FOldText);
    if (OnDropUp) OnDropUp(this, Cancelled);
}

void TQorCustomDropDown::AfterHideDropDown() {
    FDroppedDown = false;
    if (TabStop() && CanFocus() && !Focused() && !IsDestroying()) SetFocus();
}

void TQorCustomDropDown::DropDownMouseWheelDown(TShiftState, TPoint, bool&) {
    HandleMouseWheelDown();
}

void TQorCustomDropDown::DropDownMouseWheelUp(TShiftState, TPoint, bool&) {
    HandleMouseWheelUp();
}

namespace {
LPARAM keyData(TShiftState Shift) {
    return Shift.Contains(ssAlt) ? AltMask : 0;
}
} // namespace

void TQorCustomDropDown::DropDownFormKeyPress(char32_t& Key) {
    SendMessage(Handle(), WM_CHAR, WPARAM(Key));
}

void TQorCustomDropDown::DropDownFormKeyDown(WORD& Key, TShiftState Shift) {
    SendMessage(Handle(), WM_KEYDOWN, Key, keyData(Shift));
}

void TQorCustomDropDown::DropDownFormKeyUp(WORD& Key, TShiftState Shift) {
    SendMessage(Handle(), WM_KEYUP, Key, keyData(Shift));
}

void TQorCustomDropDown::ControlKeyDown(WORD& Key, TShiftState Shift) {
    SendMessage(Handle(), WM_KEYDOWN, Key, keyData(Shift));
}

void TQorCustomDropDown::ControlKeyUp(WORD& Key, TShiftState Shift) {
    SendMessage(Handle(), WM_KEYUP, Key, keyData(Shift));
}

void TQorCustomDropDown::ControlKeyPress(char32_t& Key) {
    SendMessage(Handle(), WM_CHAR, WPARAM(Key));
}

// --- keys --------------------------------------------------------------------------------------

void TQorCustomDropDown::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (Shift.Contains(ssAlt) && (Key == VK_UP || Key == VK_DOWN) && !FAltToggled) toggleDropDown();
}

void TQorCustomDropDown::KeyPress(char32_t& Key) {
    TCustomEdit::KeyPress(Key);
    if (Key == 13) Key = 0;
}

void TQorCustomDropDown::wmKeyDown(TWMKey& Message) {
    const WORD key = Message.CharCode();
    // Alt+Up and Alt+Down toggle the popup once per key: the key-down hook that the inherited
    // handling runs leaves it alone.
    FAltToggled = GetKeyState(VK_MENU) < 0 && (key == VK_UP || key == VK_DOWN);
    if (FAltToggled) toggleDropDown();
    auto popupKeys = [this](WORD k) {
        if (k == VK_RETURN)
            DoHideDropDown(false);
        else if (k == VK_ESCAPE)
            DoHideDropDown(true);
        else if (k == VK_F4)
            toggleDropDown();
    };
    if (!editable()) {
        if (Enabled()) {
            if (!ReadOnly()) popupKeys(key);
            if (key == VK_RETURN || key == VK_ESCAPE) TCustomEdit::Dispatch(Message.M);
        }
    } else if (!textKeyDown(Message)) {
        popupKeys(Message.CharCode());
    }
    FAltToggled = false;
}

void TQorCustomDropDown::CMWantSpecialKey(TWMKey& Message) {
    TCustomForm* form = ::GetParentForm(this);
    if (!form) return;
    if (!form->KeyPreview()) {
        auto postKey = [this](WORD vk) {
            PostMessage(Parent()->Handle(), WM_KEYDOWN, vk, 0);
            PostMessage(Parent()->Handle(), WM_KEYUP, vk, 0);
        };
        if (Message.CharCode() == VK_ESCAPE && FCanUndo) {
            SelectAll();
            SetModified(false);
            FIsModified = false;
            Message.SetCharCode(0);
            if (Parent() && FDefaultHandling) postKey(VK_ESCAPE);
        } else if (Message.CharCode() == VK_RETURN && FDefaultHandling && Parent() &&
                   GetFocus() == Parent()->Handle()) {
            postKey(VK_RETURN);
        }
    }
    TCustomEdit::CMWantSpecialKey(Message);
    if (Message.CharCode() == VK_ESCAPE && FDroppedDown) Message.M.Result = 1;
}

// --- messages ----------------------------------------------------------------------------------

void TQorCustomDropDown::WndProc(TMessage& Message) {
    TCustomEdit::WndProc(Message);
    if (Message.Msg == EM_SETREADONLY) FButton->SpeedButton()->Invalidate();
}

void TQorCustomDropDown::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        TWMKey key(Message);
        wmKeyDown(key);
        return;
    }
    case WM_CHAR: {
        TWMKey key(Message);
        wmChar(key);
        return;
    }
    case WM_CUT:
        wmCut(Message);
        return;
    case WM_COPY:
        wmCopy(Message);
        return;
    case WM_PASTE:
        wmPaste(Message);
        return;
    case WM_SETFOCUS:
        wmSetFocus(Message);
        return;
    case WM_KILLFOCUS:
        wmKillFocus(Message);
        return;
    case WM_LBUTTONDOWN:
        wmLButtonDown(Message);
        return;
    case WM_LBUTTONUP:
        wmLButtonUp(Message);
        return;
    case WM_GETDLGCODE:
        // As a multi-line edit: Enter and Escape are the edit's own keys.
        TCustomEdit::Dispatch(Message);
        Message.Result |= DLGC_WANTALLKEYS;
        return;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE && FBlockChange) {
            FBlockChange = false;
            return;
        }
        break;
    case CM_ENTER:
        cmEnter(Message);
        return;
    case CM_EXIT:
        TCustomEdit::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TCustomEdit::Dispatch(Message);
}

void TQorCustomDropDown::DoEnter() {
    // A multi-line edit selects nothing by itself on entering; cmEnter selects the value.
    TWinControl::DoEnter();
    SetEditRect();
}

bool TQorCustomDropDown::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    const bool handled = TCustomEdit::DoMouseWheel(Shift, WheelDelta, MousePos);
    if (WheelDelta < 0)
        HandleMouseWheelDown();
    else
        HandleMouseWheelUp();
    return handled;
}

void TQorCustomDropDown::CMEnabledChanged(TMessage& Message) {
    TCustomEdit::CMEnabledChanged(Message);
    FButton->SetEnabled(Enabled());
    if (FLabel && !FLabelAlwaysEnabled) FLabel->SetEnabled(Enabled());
}

void TQorCustomDropDown::CMVisibleChanged(TMessage& Message) {
    TCustomEdit::CMVisibleChanged(Message);
    if (FLabel && !FLabel->Caption().empty()) FLabel->SetVisible(Visible());
}

void TQorCustomDropDown::CMFontChanged(TMessage& Message) {
    TCustomEdit::CMFontChanged(Message);
    if (HandleAllocated()) SetEditRect();
}

void TQorCustomDropDown::CMParentFontChanged(TMessage& Message) {
    TCustomEdit::CMParentFontChanged(Message);
    UpdateLabel();
}

void TQorCustomDropDown::CMMouseEnter(TMessage& Message) {
    TCustomEdit::CMMouseEnter(Message);
    if (!Enabled()) return;
    FMouseInControl = true;
    Invalidate();
}

void TQorCustomDropDown::CMMouseLeave(TMessage& Message) {
    TCustomEdit::CMMouseLeave(Message);
    if (!Enabled()) return;
    FMouseInControl = false;
    Invalidate();
}

// --- layout ------------------------------------------------------------------------------------

void TQorCustomDropDown::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Parent()) UpdateLabel();
}

void TQorCustomDropDown::Resize() {
    TCustomEdit::Resize();
    ResizeControl();
}

// The edit's frame (inside which the classic edit's client area lies) is part of this control's
// own area: the places below are the classic ones moved in by it.
void TQorCustomDropDown::SetEditRect() {
    const int f = hasBorder() ? 2 : 0;
    const int clientWidth = Width() - 2 * f, clientHeight = Height() - 2 * f;
    TRect r{hasBorder() ? 1 : 2, hasBorder() ? 1 : 3, clientWidth - FButton->Width() - 3,
            clientHeight + 1};
    OffsetRect(r, f, f);
    Perform(EM_SETRECTNP, 0, LPARAM(&r));
}

void TQorCustomDropDown::ResizeControl() {
    if (!FButton) return;
    TFont systemFont;
    const int fontHeight = textHeight(Font());
    const int minHeight = fontHeight + std::min(fontHeight, textHeight(&systemFont)) / 4;
    if (Height() < minHeight) {
        SetHeight(minHeight);
        return;
    }
    const int bw = FButton->Width();
    TRect button;
    const int f = hasBorder() ? 2 : 0;
    if (hasBorder()) {
        const int a = FFlat ? 3 : 4;
        button = Bounds(Width() - bw - a, FFlat ? 2 : 0, bw, Height() - a);
        // Within the classic client area, moved in by the frame.
        IntersectRect(button, button, {0, 0, Width() - 2 * f, Height() - 2 * f});
        OffsetRect(button, f, f);
    } else {
        button = Bounds(Width() - bw, 1, bw, Height() - 2);
    }
    FButton->SetBoundsRect(button);
    SetEditRect();
    Invalidate();
}

// --- label -------------------------------------------------------------------------------------

std::string TQorCustomDropDown::LabelCaption() const {
    return FLabel ? FLabel->Caption() : std::string();
}

void TQorCustomDropDown::SetLabelCaption(const std::string& v) {
    if (!FLabel) {
        FLabel = new TLabel(this);
        FLabel->SetParent(Parent());
        FLabel->SetFocusControl(this);
        FLabel->Font()->Assign(FLabelFont.get());
        FLabel->SetParentFont(ParentFont());
        FLabel->OnClick = [this](TObject*) { DoLabelClick(); };
        FLabel->OnDblClick = [this](TObject*) { DoLabelDblClick(); };
    }
    FLabel->SetCaption(v);
    UpdateLabel();
}

void TQorCustomDropDown::SetLabelPosition(TLabelPosition v) {
    FLabelPosition = v;
    UpdateLabel();
}

void TQorCustomDropDown::SetLabelMargin(int v) {
    FLabelMargin = v;
    UpdateLabel();
}

void TQorCustomDropDown::SetLabelTransparent(bool v) {
    FLabelTransparent = v;
    UpdateLabel();
}

void TQorCustomDropDown::SetLabelFont(const TFont* v) {
    if (!ParentFont()) FLabelFont->Assign(v);
    UpdateLabel();
}

void TQorCustomDropDown::DoLabelClick() {
    if (OnLabelClick) OnLabelClick(this);
}

void TQorCustomDropDown::DoLabelDblClick() {
    if (OnLabelDblClick) OnLabelDblClick(this);
}

void TQorCustomDropDown::UpdateLabel() {
    if (!FLabel) return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->Font()->Assign(FParentFnt ? Font() : FLabelFont.get());
    if (FLabel->Parent() != Parent()) FLabel->SetParent(Parent());
    const TPoint at = LabelPlacement(FLabelPosition, BoundsRect(), *FLabel, FLabelMargin);
    FLabel->SetBounds(at.X, at.Y, FLabel->Width(), FLabel->Height());
    FLabel->SetVisible(Visible());
}

// --- painting ----------------------------------------------------------------------------------

void TQorCustomDropDown::PaintGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps,
                                       const TRect& R, bool Vertical) {
    DrawGradientRect(*Canvas, FromColor, ToColor, Steps, R, !Vertical);
}

void TQorCustomDropDown::PaintWindow(HDC DC) {
    TCustomEdit::PaintWindow(DC);
    DrawFocusText();
    // The borders lie on the control's own image, painted anew each time.
    DrawBorders();
}

bool TQorCustomDropDown::active() const {
    return FMouseInControl || (Screen && Screen->ActiveControl() == this);
}

void TQorCustomDropDown::DrawBorders() {
    FButton->SpeedButton()->SetFocused(active());
    if (Enabled() && !FFlat && FBorderColor == clNone && FFocusBorderColor == clNone) return;
    TBitmap* image = BackingImage();
    if (!image) return;
    TCanvas* c = image->Canvas();
    TRect r{0, 0, Width(), Height()};
    if (!Enabled() && FIsThemed && FDisabledBorder) {
        FrameRect(c, r, clSilver);
    } else if (FBorderColor != clNone && !(Focused() && FFocusBorderColor != clNone)) {
        FrameRect(c, r, FBorderColor);
    } else if (FFocusBorderColor != clNone) {
        if (Focused()) FrameRect(c, r, FFocusBorderColor);
    } else if (FFlat) {
        if (active()) {
            DrawEdge(c, r, BDR_SUNKENOUTER, BF_RECT);
            FrameRect(c, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, clBtnFace);
        } else {
            const TColor parent = Parent() ? Parent()->Color() : clBtnFace;
            FrameRect(c, r, parent);
            FrameRect(c, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, parent);
        }
    }
}

void TQorCustomDropDown::DrawFocusText() {
    if (editable() || !Focused() || !FFocusDraw) return;
    TBitmap* image = BackingImage();
    if (!image) return;
    TCanvas* c = image->Canvas();
    const TRect bar{2, 2, Width() - FButton->Width() - 1, Height() - 2};
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clHighlight);
    c->Rectangle(bar);
    c->Font()->Assign(Font());
    c->Font()->SetColor(clHighlightText);
    SetBkMode(c, TRANSPARENT);
    TRect text{bar.Left + 2, bar.Top, bar.Right - 3, bar.Bottom};
    DrawText(c, Text(), -1, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}
