// The grid's check-box, spin and button editors.
#include "grid/editors/GridEditors.h"

#include "grid/core/QorStringGrid.h"
#include "grid/editors/AsgCombo.h"

namespace {
bool isArrow(WORD Key) {
    return Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN;
}

TQorStringGrid* gridOwner(TComponent* AOwner) {
    auto* g = dynamic_cast<TQorStringGrid*>(AOwner);
    if (!g) throw EInvalidCast("Invalid class typecast");
    return g;
}
} // namespace

// --- TGridCheckBox -----------------------------------------------------------------------------
TGridCheckBox::TGridCheckBox(TComponent* AOwner) : TCheckBox(AOwner), FGrid(gridOwner(AOwner)) {}

void TGridCheckBox::KeyDown(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    switch (Key) {
    case VK_SPACE:
        Toggle();
        break;
    case VK_RETURN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        g->HideInplaceEdit();
        if (g->CanFocus()) g->SetFocus();
        if (Key == VK_RETURN)
            g->AdvanceAfterEdit(g->Col(), g->Row(), true, false, true, true, false);
        if (Key == VK_UP || Key == VK_DOWN) g->KeyDown(Key, Shift);
        Key = 0;
        return;
    default:
        break;
    }
    TCheckBox::KeyDown(Key, Shift);
}

void TGridCheckBox::CMWantSpecialKey(TWMKey& Message) {
    if (Message.CharCode() == VK_RETURN || isArrow(Message.CharCode()))
        Message.M.Result = 1;
    else
        TCheckBox::CMWantSpecialKey(Message);
}

void TGridCheckBox::WMLButtonDown(TWMMouse& Message) {
    Toggle();
    TCheckBox::WMLButtonDown(Message);
}

void TGridCheckBox::DoExit() {
    FGrid->HideInplaceEdit();
    TCheckBox::DoExit();
}

// --- TGridSpin ---------------------------------------------------------------------------------
TGridSpin::TGridSpin(TComponent* AOwner) : TAsgSpinEdit(AOwner), FGrid(gridOwner(AOwner)) {
    SetMaxValue(100);
    SetMinValue(0);
    SetIncrement(1);
}

void TGridSpin::CMWantSpecialKey(TWMKey& Message) {
    const WORD key = Message.CharCode();
    if (key == VK_RETURN || key == VK_ESCAPE ||
        (key == VK_TAB && FGrid->Options().Contains(goTabs))) {
        Message.M.Result = 1;
        return;
    }
    TAsgSpinEdit::CMWantSpecialKey(Message);
}

void TGridSpin::KeyDown(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    // End and Home set the bounds of the number kinds.
    if (Key == VK_END || Key == VK_HOME) {
        const bool home = Key == VK_HOME;
        if (SpinType() == sptNormal) SetValue(home ? MaxValue() : MinValue());
        if (SpinType() == sptFloat) SetFloatValue(home ? MaxFloatValue() : MinFloatValue());
        if (g->OnSpinClick) g->OnSpinClick(g, g->Col(), g->Row(), Value(), home);
    }
    if (Key != VK_TAB && Key != VK_RETURN && Key != VK_ESCAPE) {
        TAsgSpinEdit::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        SetText(g->FCellCache);
        if (SpinType() == sptNormal) SetValue(Value());
        if (SpinType() == sptFloat) SetFloatValue(FloatValue());
    } else {
        if (!g->validateEditorText(Text())) {
            SetText(g->CurrentCell());
            SetSelStart(int(Utf8Length(Text())));
            Key = 0;
            g->FNoAutoAdvance = true;
            Invalidate();
            return;
        }
        SetText(g->CurrentCell());
    }
    if (Key == VK_TAB && g->Options().Contains(goTabs)) {
        g->tabOutOfEditor(Shift.Contains(ssShift));
        Key = 0;
        return;
    }
    const WORD key = Key;
    if (key == VK_ESCAPE)
        g->escapeSpecialEdit([&] { g->DoneInplaceEdit(key, Shift); });
    else
        g->DoneInplaceEdit(key, Shift);
    if (g->Navigation()->AdvanceOnEnter() && g->Navigation()->AdvanceAutoEdit())
        g->ShowInplaceEdit();
    Key = 0;
    TAsgSpinEdit::KeyDown(Key, Shift);
}

void TGridSpin::KeyPress(char32_t& Key) {
    if (Key == 9 || Key == 13 || Key == 27) {
        Key = 0;
        return;
    }
    TAsgSpinEdit::KeyPress(Key);
}

void TGridSpin::spinClick(bool Up) {
    TQorStringGrid* g = FGrid;
    switch (SpinType()) {
    case sptNormal:
        if (g->OnSpinClick) g->OnSpinClick(g, g->Col(), g->Row(), Value(), Up);
        break;
    case sptFloat:
        if (g->OnFloatSpinClick) g->OnFloatSpinClick(g, g->Col(), g->Row(), FloatValue(), Up);
        break;
    case sptDate:
        if (g->OnDateSpinClick) g->OnDateSpinClick(g, g->Col(), g->Row(), DateValue(), Up);
        break;
    case sptTime:
        if (g->OnTimeSpinClick) g->OnTimeSpinClick(g, g->Col(), g->Row(), TimeValue(), Up);
        break;
    }
}

void TGridSpin::UpButtonClicked(TObject* Sender) {
    TAsgSpinEdit::UpButtonClicked(Sender);
    spinClick(true);
}

void TGridSpin::DownButtonClicked(TObject* Sender) {
    TAsgSpinEdit::DownButtonClicked(Sender);
    spinClick(false);
}

void TGridSpin::Change() {
    TAsgSpinEdit::Change();
    if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

void TGridSpin::DoExit() {
    FGrid->HideInplaceEdit();
    TAsgSpinEdit::DoExit();
}

// --- TGridButton -------------------------------------------------------------------------------
TGridButton::TGridButton(TComponent* AOwner) : TButton(AOwner), FGrid(gridOwner(AOwner)) {}

void TGridButton::takeCaption() {
    SetCaption(FGrid->EllipsClick(Caption()));
    FGrid->SetCurrentCell(Caption());
}

void TGridButton::WMLButtonUp(TWMMouse& Message) {
    if (Parent() == FGrid) takeCaption();
    TButton::WMLButtonUp(Message);
}

void TGridButton::KeyUp(WORD& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        takeCaption();
        if (CanFocus()) SetFocus();
        Invalidate();
    }
    TButton::KeyUp(Key, Shift);
}

void TGridButton::KeyDown(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    auto leave = [&] {
        SetVisible(false);
        SetEnabled(false);
        g->FEditMode = false;
        // The grid's editor mode ends too, or the focus coming back would open the button again.
        g->HideEditor();
        if (g->CanFocus()) g->SetFocus();
    };
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        const WORD key = Key;
        if (g->HandleAllocated()) SendMessage(g->Handle(), WM_KEYDOWN, key, 0);
        leave();
        if (g->HandleAllocated()) SendMessage(g->Handle(), WM_KEYUP, key, 0);
        Key = 0;
        return;
    }
    case VK_ESCAPE:
        leave();
        g->RestoreEditedCell();
        if (g->HandleAllocated()) SendMessage(g->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        Key = 0;
        return;
    default:
        break;
    }
    TButton::KeyDown(Key, Shift);
}

void TGridButton::CMWantSpecialKey(TWMKey& Message) {
    if (Message.CharCode() == VK_ESCAPE || isArrow(Message.CharCode()))
        Message.M.Result = 1;
    else
        TButton::CMWantSpecialKey(Message);
}

void TGridButton::DoExit() {
    FGrid->HideInplaceEdit();
    TButton::DoExit();
}
