#include "grid/editors/AsgCombo.h"

#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridTheme.h"
#include "platform/ui/Grids.h"

#include <algorithm>

namespace {
bool isSet(TColor c) {
    return c != clNone;
}

void setBold(TFont* font, bool bold) {
    TFontStyles style = font->Style();
    if (bold)
        style.Include(fsBold);
    else
        style.Exclude(fsBold);
    font->SetStyle(style);
}

} // namespace

// --- TAsgCustomCombo -------------------------------------------------------------------------
TAsgCustomCombo::TAsgCustomCombo(TComponent* AOwner)
    : TCustomComboBox(AOwner), FButtonWidth(SystemScrollBarSize + 2),
      FLabelFont(std::make_unique<TFont>()) {
    FThemed = IsComCtl6();
    FLabelFont->OnChange = [this](TObject*) {
        UpdateLabel();
        if ((ComponentState() & csDesigning) && !(ComponentState() & csLoading))
            SetParentFont(false);
    };
}

TAsgCustomCombo::~TAsgCustomCombo() {
    FLabelFont->OnChange = nullptr;
    // The label has the control as owner; it goes with it.
    FLabel = nullptr;
}

void TAsgCustomCombo::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLabel) FLabel = nullptr;
}

void TAsgCustomCombo::Loaded() {
    TCustomComboBox::Loaded();
    if (FDropWidth > 0) Perform(CB_SETDROPPEDWIDTH, WPARAM(FDropWidth));
    if (!FFlatParentColor || FFlat) SetColor(FLoadedColor);
    if (FLabel) {
        if (!FLabelAlwaysEnabled) FLabel->SetEnabled(Enabled());
        if (ParentFont()) FLabel->Font()->Assign(Font());
    }
    UpdateLabel();
    Init();
}

void TAsgCustomCombo::Init() {
    FNormalColor = Color();
}

void TAsgCustomCombo::SelectItem(const std::string& s) {
    const int i = Items()->IndexOf(s);
    if (i >= 0) SetItemIndex(i);
}

void TAsgCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!IsDestroying()) UpdateLabel();
}

void TAsgCustomCombo::SetEnabled(bool v) {
    const bool changed = v != Enabled();
    TCustomComboBox::SetEnabled(v);
    if (changed && !(ComponentState() & (csLoading | csDesigning)) && FLabel) {
        if (!FLabelAlwaysEnabled) FLabel->SetEnabled(v);
        UpdateLabel();
    }
}

void TAsgCustomCombo::SetVisible(bool v) {
    TCustomComboBox::SetVisible(v);
    if (FLabel) FLabel->SetVisible(v);
}

void TAsgCustomCombo::SetFlat(bool v) {
    FFlat = v;
    if (FFlatParentColor && v && Parent())
        SetColor(Parent()->Color());
    else
        SetColor(FLoadedColor);
    Invalidate();
}

void TAsgCustomCombo::SetEtched(bool v) {
    FEtched = v;
    Invalidate();
}

void TAsgCustomCombo::SetButtonWidth(int v) {
    if (v < 14 || v > 32) return;
    FButtonWidth = v;
    Invalidate();
}

void TAsgCustomCombo::SetDropWidth(int v) {
    FDropWidth = v;
    if (v > 0) Perform(CB_SETDROPPEDWIDTH, WPARAM(v));
}

void TAsgCustomCombo::SetBorderColor(TColor v) {
    FBorderColor = v;
    Invalidate();
}

void TAsgCustomCombo::SetFlatLineColor(TColor v) {
    FFlatLineColor = v;
    Invalidate();
}

void TAsgCustomCombo::SetFlatParentColor(bool v) {
    FFlatParentColor = v;
    Invalidate();
}

// --- label -------------------------------------------------------------------------------------
void TAsgCustomCombo::SetLabelCaption(const std::string& v) {
    FLabelCaption = v;
    if (!FLabel) {
        FLabel = new TLabel(this);
        FLabel->SetParent(Parent());
        FLabel->SetFocusControl(this);
        FLabel->Font()->Assign(FLabelFont.get());
        FLabel->SetParentFont(ParentFont());
    }
    FLabel->SetCaption(v);
    UpdateLabel();
}

void TAsgCustomCombo::SetLabelPosition(TLabelPosition v) {
    FLabelPosition = v;
    UpdateLabel();
}

void TAsgCustomCombo::SetLabelMargin(int v) {
    FLabelMargin = v;
    UpdateLabel();
}

void TAsgCustomCombo::SetLabelTransparent(bool v) {
    FLabelTransparent = v;
    UpdateLabel();
}

void TAsgCustomCombo::SetLabelAlwaysEnabled(bool v) {
    FLabelAlwaysEnabled = v;
    if (FLabel) FLabel->SetEnabled(v || Enabled());
    UpdateLabel();
}

void TAsgCustomCombo::SetLabelFont(const TFont* v) {
    if (!ParentFont()) FLabelFont->Assign(v);
    UpdateLabel();
}

void TAsgCustomCombo::UpdateLabel() {
    if (!FLabel) return;
    FLabel->SetTransparent(FLabelTransparent);
    if (!ParentFont()) FLabel->Font()->Assign(FLabelFont.get());
    if (FLabel->Parent() != Parent()) FLabel->SetParent(Parent());
    const TPoint at = LabelPlacement(FLabelPosition, BoundsRect(), *FLabel, FLabelMargin);
    FLabel->SetBounds(at.X, at.Y, FLabel->Width(), FLabel->Height());
    FLabel->SetVisible(Visible());
}

void TAsgCustomCombo::CMFontChanged(TMessage& Message) {
    TCustomComboBox::CMFontChanged(Message);
    if (FLabel && ParentFont() && (ComponentState() & (csDesigning | csLoading))) {
        FLabel->Font()->Assign(Font());
        UpdateLabel();
    }
}

void TAsgCustomCombo::CMParentFontChanged(TMessage& Message) {
    TCustomComboBox::CMParentFontChanged(Message);
    if (FLabel && ParentFont()) {
        FLabel->Font()->Assign(Font());
        UpdateLabel();
    }
}

// --- painting ----------------------------------------------------------------------------------
bool TAsgCustomCombo::Themed() const {
    return FThemed && ThemeIsActive(GridThemeBinding());
}

bool TAsgCustomCombo::Hot() const {
    if (ComponentState() & csDesigning) return Enabled();
    return FMouseInControl || (Screen && Screen->ActiveControl() == this);
}

bool TAsgCustomCombo::PaintsItself() const {
    if (FIsVista && !isSet(FButtonColor)) return false;
    return FFlat || isSet(FButtonColor) || isSet(FBorderColor) ||
           (isSet(FFocusBorderColor) && FHasFocus) || (!Enabled() && Themed() && !FDisabledBorder);
}

void TAsgCustomCombo::PaintWindow(HDC DC) {
    if (!PaintsItself()) {
        TCustomComboBox::PaintWindow(DC);
        return;
    }
    TCanvas* c = DC;
    const TRect client = ClientRect();
    SaveDC(DC);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(client);
    const bool leftToRight = true;
    if (Style() != csSimple && leftToRight) DrawDropButton(c);
    // The content: the text of the edit field or of the selected item.
    paintContent(DC, TRect{2, 0, client.Right - FButtonWidth - 2, client.Bottom}, 2);
    RestoreDC(DC, -1);
    if (leftToRight) DrawBorders(c);
}

void TAsgCustomCombo::DrawDropButton(TCanvas* Canvas) {
    TRect R{0, 0, Width(), Height()};
    R.Left += ClientWidth() - FButtonWidth + 2;
    InflateRect(R, -1, -1);
    const bool mouseDown = GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0;
    if (!isSet(FButtonColor)) {
        // Without visual styles on this platform the classic arrow is drawn.
        R.Left -= 4;
        R.Top += 1;
        R.Bottom -= 1;
        DrawFrameControl(Canvas, R, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (Enabled() ? DFCS_FLAT : DFCS_INACTIVE));
    } else {
        TColor face = FButtonColor;
        if (FMouseInButton) face = mouseDown ? FButtonColorDown : FButtonColorHot;
        R.Left -= 1;
        R.Top += 1;
        R.Bottom -= 1;
        R.Right -= 1;
        Canvas->Brush()->SetColor(face);
        Canvas->Pen()->SetColor(face);
        Canvas->Rectangle(R);
        Canvas->Pen()->SetColor(FButtonBorderColor);
        Canvas->MoveTo(R.Left, R.Top);
        Canvas->LineTo(R.Left, R.Bottom);
        const TColor arrow = mouseDown ? FButtonTextColorDown : FButtonTextColor;
        Canvas->Brush()->SetColor(arrow);
        Canvas->Pen()->SetColor(arrow);
        Canvas->Polygon(
            {{R.Left + 4, R.Top + 7}, {R.Left + 10, R.Top + 7}, {R.Left + 7, R.Top + 10}});
    }
    ExcludeClipRect(Canvas, ClientWidth() - FButtonWidth - 4, 0, ClientWidth() + 2, ClientHeight());
}

void TAsgCustomCombo::DrawBorders(TCanvas* Canvas) {
    if ((Enabled() && !FFlat && !isSet(FBorderColor) && !isSet(FFocusBorderColor)) ||
        (FIsVista && !isSet(FBorderColor)))
        return;
    SaveDC(Canvas);
    SelectClipRgn(Canvas, nullptr);
    DrawFrame(Canvas);
    if (Style() != csSimple && (!FIsWinXP || !Themed())) DrawButtonEdge(Canvas);
    RestoreDC(Canvas, -1);
}

void TAsgCustomCombo::DrawFrame(TCanvas* Canvas) {
    TRect R{0, 0, Width(), Height()};
    if (!Enabled() && FThemed && !FDisabledBorder) {
        FrameRect(Canvas, R, TColor(0xB99D7F));
        return;
    }
    TColor c = FBorderColor;
    if (!isSet(c) || (FHasFocus && isSet(FFocusBorderColor))) c = FFocusBorderColor;
    if (isSet(c)) {
        if (!FHasFocus && !isSet(FBorderColor)) return;
        FrameRect(Canvas, R, c);
        return;
    }
    const bool focusLook = !(ComponentState() & csDesigning) && Hot() && FFocusBorder;
    const TColor outer = focusLook ? clBtnFace : (Parent() ? Parent()->Color() : clBtnFace);
    const TColor inner = Color();
    if (focusLook) {
        DrawEdge(Canvas, R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        FrameRect(Canvas, R, outer);
        InflateRect(R, -1, -1);
        FrameRect(Canvas, R, inner);
    } else {
        FrameRect(Canvas, R, outer);
        InflateRect(R, -1, -1);
        R.Right -= FButtonWidth;
        FrameRect(Canvas, R, outer);
        InflateRect(R, -1, -1);
        FrameRect(Canvas, R, inner);
        R.Right += FButtonWidth;
    }
    if (FFlat && isSet(FFlatLineColor)) {
        Canvas->Pen()->SetColor(FFlatLineColor);
        Canvas->Pen()->SetWidth(1);
        Canvas->MoveTo(R.Left - 2, Height() - 1);
        Canvas->LineTo(R.Right - FButtonWidth - 1, Height() - 1);
    }
}

void TAsgCustomCombo::DrawButtonEdge(TCanvas* Canvas) {
    ExcludeClipRect(Canvas, ClientWidth() - FButtonWidth + 4, 4, ClientWidth() - 4,
                    ClientHeight() - 4);
    TRect R{0, 0, Width(), Height()};
    R.Left += ClientWidth() - FButtonWidth - 2;
    InflateRect(R, -2, -2);
    if (!Hot()) {
        InflateRect(R, 0, -1);
        R.Right -= 1;
        FillRect(Canvas, R, clBtnFace);
    }
    ExcludeClipRect(Canvas, R.Left, R.Top, R.Right, R.Bottom);
}

// --- mouse, focus and enabling -----------------------------------------------------------------
void TAsgCustomCombo::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomComboBox::MouseMove(Shift, X, Y);
    const bool inButton = X > Width() - FButtonWidth && X < Width();
    if (inButton != FMouseInButton) {
        FMouseInButton = inButton;
        Invalidate();
    }
}

void TAsgCustomCombo::CMMouseEnter(TMessage& Message) {
    TCustomComboBox::CMMouseEnter(Message);
    if (!Enabled() || FMouseInControl) return;
    FMouseInControl = true;
    Invalidate();
    if (FAutoFocus && !(ComponentState() & csDesigning)) {
        TCustomForm* form = GetParentForm();
        if ((!form || form->Active()) && CanFocus()) SetFocus();
    }
    if (FIsWinXP) Invalidate();
}

void TAsgCustomCombo::CMMouseLeave(TMessage& Message) {
    TCustomComboBox::CMMouseLeave(Message);
    if (!Enabled() || !FMouseInControl) return;
    FMouseInControl = false;
    FMouseInButton = false;
    Invalidate();
}

void TAsgCustomCombo::DoEnter() {
    TCustomComboBox::DoEnter();
    if (ComponentState() & csDesigning) return;
    FHasFocus = true;
    if (isSet(FFocusColor)) SetColor(FFocusColor);
    if (FLabel && FFocusLabel) setBold(FLabel->Font(), true);
    Invalidate();
}

void TAsgCustomCombo::DoExit() {
    TCustomComboBox::DoExit();
    if (ComponentState() & csDesigning) return;
    FHasFocus = false;
    if (isSet(FFocusColor) && isSet(FNormalColor)) SetColor(FNormalColor);
    if (FLabel && FFocusLabel) setBold(FLabel->Font(), false);
    Invalidate();
}

void TAsgCustomCombo::CMEnabledChanged(TMessage& Message) {
    TCustomComboBox::CMEnabledChanged(Message);
    if (!FFlat || (ComponentState() & csLoading)) return;
    if (!Enabled()) {
        FDisabledColor = Color();
        FDisabledParentColor = ParentColor();
        SetParentColor(true);
    } else {
        SetParentColor(FDisabledParentColor);
        SetColor(FDisabledColor);
    }
}

void TAsgCustomCombo::DropDown() {
    Invalidate();
    TCustomComboBox::DropDown();
}

void TAsgCustomCombo::CloseUp() {
    Invalidate();
    TCustomComboBox::CloseUp();
    if (OnDropUp) OnDropUp(this);
}

// --- TGridCombo --------------------------------------------------------------------------------
TGridCombo::TGridCombo(TComponent* AOwner)
    : TAsgComboBox(AOwner), FGrid(dynamic_cast<TQorStringGrid*>(AOwner)) {
    if (!FGrid) throw EInvalidCast("Invalid class typecast");
    SetButtonWidth(16);
}

bool TGridCombo::isGridKey(WORD Key, TShiftState Shift) const {
    if (Key == VK_DOWN && Shift.Contains(ssAlt)) return false;
    if (Style() == csDropDownList || DroppedDown())
        return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT ||
               Key == VK_RIGHT;
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
           Key == VK_NEXT || Key == VK_END || Key == VK_UP || Key == VK_DOWN;
}

void TGridCombo::fireComboChange(int RealCol, int Row) {
    const int i = ItemIndex();
    const std::string text = i >= 0 ? Items()->Get(i) : std::string();
    if (FGrid->OnComboChange) FGrid->OnComboChange(FGrid, RealCol, Row, i, text);
    if (FGrid->OnComboObjectChange)
        FGrid->OnComboObjectChange(FGrid, RealCol, Row, i, text,
                                   i >= 0 ? Items()->Objects(i) : nullptr);
}

void TGridCombo::takeDroppedItem() {
    if (!DroppedDown()) return;
    const int i = DropDownIndex();
    SetDroppedDown(false);
    // The list's highlighted item is the choice, as the platform's list makes it on Enter.
    if (i >= 0 && i != ItemIndex()) PeerSelect(i);
}

void TGridCombo::KeyDown(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    FWorkMode = Key != VK_BACK && Key != VK_DELETE;
    if ((Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt) &&
        !g->Navigation()->ComboGetUpDown() && !DroppedDown()) {
        g->HideInplaceEdit();
        const bool always = g->Navigation()->AlwaysEdit();
        g->Navigation()->SetAlwaysEdit(false);
        if (g->CanFocus()) g->SetFocus();
        g->Navigation()->SetAlwaysEdit(always);
        g->KeyDown(Key, Shift);
        // The editor is closed: the key has nothing left to do here.
        Key = 0;
        return;
    }
    if (!isGridKey(Key, Shift)) {
        TAsgComboBox::KeyDown(Key, Shift);
        return;
    }
    const bool list = Style() == csDropDownList;
    if (Key == VK_ESCAPE) {
        const std::string old = g->CurrentCell();
        SetDroppedDown(false);
        SetText(old);
        g->HideInplaceEdit();
        // A list combo cannot show a text that is no item: the cell keeps its own.
        if (g->CurrentCell() != old) g->SetCurrentCell(old);
        if (g->CanFocus()) g->SetFocus();
        Key = 0;
        return;
    }
    if (Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        takeDroppedItem();
        if (!g->validateEditorText(Text())) {
            SetText(g->FNewCellText);
            if (!list) {
                SetSelStart(0);
                SetSelLength(int(Utf8Length(Text())));
            }
            Invalidate();
            Key = 0;
            g->FNoAutoAdvance = true;
            return;
        }
        if (list)
            SelectItem(g->CurrentCell());
        else
            SetText(g->CurrentCell());
    }
    if (Key == VK_TAB && g->NeedsEditValidation()) {
        if (!g->validateEditorText(Text())) {
            SetText(g->FNewCellText);
            SetSelStart(int(Utf8Length(Text())));
            Key = 0;
            return;
        }
        if (list)
            SetItemIndex(Items()->IndexOf(g->CurrentCell()));
        else
            SetText(g->CurrentCell());
        if (g->Options().Contains(goTabs)) {
            g->tabOutOfEditor(Shift.Contains(ssShift));
            Key = 0;
            return;
        }
        if (g->HandleAllocated()) PostMessage(g->Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (list || DroppedDown()) {
        const bool directClose = g->MouseActions()->DirectComboClose();
        g->MouseActions()->SetDirectComboClose(false);
        try {
            g->HideInplaceEdit();
        } catch (...) {
            g->MouseActions()->SetDirectComboClose(directClose);
            throw;
        }
        g->MouseActions()->SetDirectComboClose(directClose);
        if (Key == VK_LEFT || Key == VK_RIGHT) {
            if (g->CanFocus()) g->SetFocus();
            g->KeyDown(Key, Shift);
        }
        if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_LEFT || Key == VK_UP ||
            Key == VK_RIGHT || Key == VK_DOWN) {
            Key = 0;
            return;
        }
    } else if (Key == VK_END) {
        TAsgComboBox::KeyDown(Key, Shift);
        return;
    }
    g->DoneInplaceEdit(Key, Shift);
    if (g->Navigation()->AdvanceOnEnter() && g->Navigation()->AdvanceAutoEdit())
        g->ShowInplaceEdit();
    Key = 0;
}

void TGridCombo::KeyPress(char32_t& Key) {
    if (FGrid->OnKeyPress) FGrid->OnKeyPress(this, Key);
    if (Key == 27) Key = 0;
    if (Key == 13 && OnReturnKey) OnReturnKey(this);
    if (Key == 13 || Key == 9) Key = 0;
    // A choice made by typing is reported by the selection notification the grid receives.
    TAsgComboBox::KeyPress(Key);
}

bool TGridCombo::cursorWalk(WORD Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    if (Style() != csDropDown || !g->Navigation()->CursorWalkEditor() || SelLength() != 0 ||
        Shift.Contains(ssShift) || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt))
        return false;
    const bool left = Key == VK_LEFT && SelStart() == 0;
    const bool right = Key == VK_RIGHT && SelStart() == int(Utf8Length(Text()));
    if (!left && !right) return false;
    g->editorWalk(right, Text());
    return true;
}

void TGridCombo::KeyUp(WORD& Key, TShiftState Shift) {
    if ((Key == VK_LEFT || Key == VK_RIGHT) && cursorWalk(Key, Shift)) {
        Key = 0;
        return;
    }
    FGrid->FNoAutoAdvance = false;
    if (Key != VK_RETURN) TAsgComboBox::KeyUp(Key, Shift);
    DoChange();
}

void TGridCombo::CMWantSpecialKey(TWMKey& Message) {
    const WORD key = Message.CharCode();
    if (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && FGrid->NeedsEditValidation())) {
        Message.M.Result = 1;
        return;
    }
    TAsgComboBox::CMWantSpecialKey(Message);
}

void TGridCombo::DoEnter() {
    TAsgComboBox::DoEnter();
    if (!FGrid->Navigation()->EditSelectAll() && Style() == csDropDown) {
        SetSelStart(int(Utf8Length(Text())));
        SetSelLength(0);
    }
    if (FGrid->FLButFlg) {
        TPoint p;
        GetCursorPos(p);
        p = ScreenToClient(p);
        if (p.X >= 0 && p.X <= Width() && p.Y >= 0 && p.Y <= Height()) {
            const LRESULT pos = Perform(EM_CHARFROMPOS, 0, MAKELPARAM(p.X, p.Y));
            if (pos != -1) {
                SetSelStart(int(LOWORD(std::uintptr_t(pos))));
                SetSelLength(0);
                FGrid->FLButFlg = false;
            }
        }
    }
}

void TGridCombo::DoExit() {
    if (FGrid->LookupHistory() && !Text().empty() && Items()->IndexOf(Text()) < 0)
        Items()->Add(Text());
    FGrid->HideInplaceEdit();
    TAsgComboBox::DoExit();
}

void TGridCombo::Change() {
    TAsgComboBox::Change();
    if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

void TGridCombo::WndProc(TMessage& Message) {
    const UINT wheel = FGrid->WheelMessage();
    if (wheel != 0 && Message.Msg == wheel) {
        const short delta = short(HIWORD(std::uintptr_t(Message.WParam)));
        int i = ItemIndex();
        if (delta < 0) {
            // Past the last item the selection clears; the next step down starts again.
            SetItemIndex(i + 1 < Items()->Count() ? i + 1 : -1);
        } else if (delta > 0 && i > 0) {
            SetItemIndex(i - 1);
        }
        i = ItemIndex();
        const std::string text = i >= 0 ? Items()->Get(i) : std::string();
        const int realCol = FGrid->RealColIndex(FGrid->Col());
        if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, realCol, FGrid->Row(), text);
        fireComboChange(realCol, FGrid->Row());
        Message.Result = 1;
        return;
    }
    TAsgComboBox::WndProc(Message);
}

void TGridCombo::DoChange() {
    if (!FWorkMode || !FGrid->Lookup()) return;
    const std::u32string text = Utf8ToUtf32(Text());
    const std::size_t n = std::min<std::size_t>(std::size_t(std::max(0, SelStart())), text.size());
    if (n == 0) return;
    const std::u32string typed = text.substr(0, n);
    auto complete = [&](const std::string& candidate, int item) {
        std::u32string rest;
        if (!FGrid->lookupRest(typed, candidate, rest)) return false;
        SetText(Utf32ToUtf8(typed + rest));
        // A winning item is selected too, which shows the item's own text.
        if (item >= 0) SetItemIndex(item);
        const int end = int(n + rest.size());
        Perform(CB_SETEDITSEL, 0, MAKELPARAM(int(n), end));
        return true;
    };
    for (int i = 0; i < Items()->Count(); ++i)
        if (complete(Items()->Get(i), i)) return;
    TStringList* lookup = FGrid->LookupItems();
    for (int i = 0; i < lookup->Count(); ++i)
        if (complete(lookup->Get(i), -1)) return;
}

void TGridCombo::SizeDropDownWidth() {
    int w = Width();
    TCanvas* c = FGrid->Canvas();
    c->Font()->Assign(FGrid->Font());
    const bool scrollBar = Items()->Count() > DropDownCount();
    for (int i = 0; i < Items()->Count(); ++i) {
        const int t = c->TextWidth(Items()->Get(i));
        if (scrollBar) {
            if (t > w - 25) w = t + 25;
        } else if (t > w - 5) {
            w = t + 8;
        }
    }
    Perform(CB_SETDROPPEDWIDTH, WPARAM(w));
}
