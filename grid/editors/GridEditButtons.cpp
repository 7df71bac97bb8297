// The grid's edit-with-button and unit editors.
#include "grid/editors/GridEditors.h"

#include "grid/core/QorStringGrid.h"
#include "grid/editors/AsgCombo.h"
#include "grid/editors/EditFilters.h"
#include "platform/ui/core/Clipbrd.h"

namespace {
TQorStringGrid* gridOwner(TComponent* AOwner) {
    auto* g = dynamic_cast<TQorStringGrid*>(AOwner);
    if (!g) throw EInvalidCast("Invalid class typecast");
    return g;
}

bool endsEdit(WORD Key) {
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
           Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
}

bool plain(TShiftState s) {
    return !s.Contains(ssShift) && !s.Contains(ssCtrl) && !s.Contains(ssAlt);
}

// The number filter of a typed character for the number kinds; true for the others.
bool numberKeyTaken(TEditorType Kind, char32_t Key, TCustomEdit* Edit) {
    if (Kind != edNumericEditBtn && Kind != edFloatEditBtn && Kind != edNumericUnitEditBtn &&
        Kind != edFloatUnitEditBtn)
        return true;
    const bool isFloat = Kind == edFloatEditBtn || Kind == edFloatUnitEditBtn;
    bool beep = true;
    if (NumberKeyAccepted(isFloat ? TNumberKind::Float : TNumberKind::Integer, Key,
                          Utf8ToUtf32(Edit->Text()), Edit->SelStart(), Edit->SelLength(), beep))
        return true;
    if (beep) MessageBeep(0);
    return false;
}
} // namespace

// --- TGridEditBtn ------------------------------------------------------------------------------
TGridEditBtn::TGridEditBtn(TComponent* AOwner) : TAsgEditBtn(AOwner), FGrid(gridOwner(AOwner)) {
    OnClickBtn = [this](TObject*) { buttonClick(); };
}

void TGridEditBtn::buttonClick() {
    SetText(FGrid->EllipsClick(Text()));
    SelectAll();
    Invalidate();
    if (FStopEditAfterClick) {
        FGrid->HideInplaceEdit();
        if (FGrid->CanFocus()) FGrid->SetFocus();
    }
}

void TGridEditBtn::CMWantSpecialKey(TWMKey& Message) {
    const WORD key = Message.CharCode();
    if (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && FGrid->NeedsEditValidation())) {
        Message.M.Result = 1;
        return;
    }
    TAsgEditBtn::CMWantSpecialKey(Message);
}

void TGridEditBtn::KeyDown(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    const TEditorType kindAtDown = g->FEditControl;
    if (!endsEdit(Key) && g->OnKeyDown) g->OnKeyDown(g, Key, Shift);
    FWorkMode = Key != VK_BACK && Key != VK_DELETE;
    FSelKeyDown = SelStart();
    if (Shift.Contains(ssCtrl) || !endsEdit(Key)) {
        TAsgEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        if (!g->validateEditorText(Text())) {
            SetText(g->FNewCellText);
            SelectAll();
            Invalidate();
            Key = 0;
            g->FEditControl = kindAtDown;
            return;
        }
        SetText(g->FNewCellText);
    }
    if (Key == VK_TAB && g->NeedsEditValidation()) {
        if (!g->validateEditorText(Text())) {
            SetText(g->FNewCellText);
            SetSelStart(int(Utf8Length(Text())));
            Invalidate();
            Key = 0;
            return;
        }
        if (g->Options().Contains(goTabs)) {
            g->tabOutOfEditor(Shift.Contains(ssShift));
            Key = 0;
            return;
        }
        if (g->HandleAllocated()) PostMessage(g->Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_ESCAPE) SetText(g->FCellCache);
    g->DoneInplaceEdit(Key, Shift);
    Key = 0;
}

void TGridEditBtn::KeyUp(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    if (g->OnKeyUp) g->OnKeyUp(g, Key, Shift);
    const bool walk = g->Navigation()->CursorWalkEditor() && SelLength() == 0 && plain(Shift);
    const int length = int(Utf8Length(Text()));
    if (walk && ((Key == VK_RIGHT && SelStart() == length) ||
                 (Key == VK_LEFT && SelStart() == 0 && FSelKeyDown == 0))) {
        g->editorWalk(Key == VK_RIGHT, Text());
        Key = 0;
        return;
    }
    if (Key != VK_RETURN) TAsgEditBtn::KeyUp(Key, Shift);
    complete();
}

void TGridEditBtn::complete() {
    TQorStringGrid* g = FGrid;
    TStringList* items = g->LookupItems();
    if (!FWorkMode || SelLength() != 0 || !g->Lookup() || items->Count() == 0) return;
    const std::u32string text = Utf8ToUtf32(Text());
    const std::size_t n = std::min<std::size_t>(std::size_t(std::max(0, SelStart())), text.size());
    if (n == 0) return;
    const std::u32string typed = text.substr(0, n);
    for (int i = 0; i < items->Count(); ++i) {
        std::u32string rest;
        if (!g->lookupRest(typed, items->Get(i), rest)) continue;
        SetText(Utf32ToUtf8(typed + rest));
        Perform(EM_SETSEL, WPARAM(n), LPARAM(n + rest.size()));
        return;
    }
}

void TGridEditBtn::WMChar(TWMKey& Message) {
    const char32_t key = char32_t(Message.M.WParam);
    if (key == 13 || key == 9) return;
    // The clipboard keys take the editor's own paste, cut and copy.
    if (key == 22 || key == 24 || key == 3) {
        Perform(key == 22 ? WM_PASTE : key == 24 ? WM_CUT : WM_COPY);
        return;
    }
    if (!numberKeyTaken(FGrid->FEditControl, key, this)) return;
    TAsgEditBtn::WMChar(Message);
}

void TGridEditBtn::KeyPress(char32_t& Key) {
    if (FGrid->OnKeyPress) FGrid->OnKeyPress(FGrid, Key);
    if (Key == 9) return;
    TAsgEditBtn::KeyPress(Key);
}

void TGridEditBtn::paste() {
    if (!EditorEnabled() || ReadOnly()) return;
    std::string text;
    bool allow = Clipboard()->HasFormat(CF_TEXT);
    if (allow) text = Clipboard()->AsText();
    TQorStringGrid* g = FGrid;
    if (g->OnClipboardPaste) g->OnClipboardPaste(this, allow);
    if (g->OnClipboardBeforePasteCell)
        g->OnClipboardBeforePasteCell(this, g->Col(), g->Row(), text, allow);
    if (!allow) return;
    DropFinalLineBreak(text);
    const std::u32string pasted = Utf8ToUtf32(text);
    std::u32string value = Utf8ToUtf32(Text());
    const int start = SelStart(), sel = SelLength();
    value.replace(std::size_t(start), std::size_t(sel), pasted);
    SetText(Utf32ToUtf8(value));
    g->SetCurrentEditText(Text());
    if (sel > 0) {
        SetSelStart(start);
        SetSelLength(int(pasted.size()));
    } else {
        SetSelStart(start + int(pasted.size()));
    }
}

void TGridEditBtn::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PASTE) {
        paste();
        return;
    }
    TAsgEditBtn::Dispatch(Message);
}

void TGridEditBtn::DblClick() {
    TAsgEditBtn::DblClick();
    if (FGrid->OnDblClickCell) FGrid->OnDblClickCell(FGrid, FGrid->Row(), FGrid->Col());
}

void TGridEditBtn::Change() {
    TAsgEditBtn::Change();
    if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

void TGridEditBtn::DoExit() {
    FGrid->HideInplaceEdit();
    TAsgEditBtn::DoExit();
}

// --- TGridUnitEditBtn --------------------------------------------------------------------------
TGridUnitEditBtn::TGridUnitEditBtn(TComponent* AOwner)
    : TAsgUnitEditBtn(AOwner), FGrid(gridOwner(AOwner)) {
    OnClickBtn = [this](TObject*) {
        SetText(FGrid->EllipsClick(Text()));
        SelectAll();
        Invalidate();
    };
}

void TGridUnitEditBtn::CMWantSpecialKey(TWMKey& Message) {
    const WORD key = Message.CharCode();
    if (key == VK_RETURN || key == VK_ESCAPE ||
        (key == VK_TAB && FGrid->Options().Contains(goTabs))) {
        Message.M.Result = 1;
        return;
    }
    TAsgUnitEditBtn::CMWantSpecialKey(Message);
}

void TGridUnitEditBtn::KeyDown(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    if (!endsEdit(Key)) {
        TAsgUnitEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        if (!g->validateEditorText(TextAndUnit())) {
            SetTextAndUnit(g->CurrentCell());
            Key = 0;
            return;
        }
        SetTextAndUnit(g->CurrentCell());
    }
    if (Key == VK_RETURN && g->Navigation()->AdvanceOnEnter()) {
        g->HideInplaceEdit();
        if (g->CanFocus()) g->SetFocus();
        Key = 0;
        g->AdvanceAfterEdit(g->Col(), g->Row(), true, false, true, true, false);
        return;
    }
    if (Key == VK_TAB && g->Options().Contains(goTabs)) {
        g->tabOutOfEditor(Shift.Contains(ssShift));
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        // The stored text is the cell's own again, its unit included.
        SetUnitID("");
        SetText(g->CurrentCell());
    }
    g->DoneInplaceEdit(Key, Shift);
    Key = 0;
}

void TGridUnitEditBtn::WMChar(TWMKey& Message) {
    const char32_t key = char32_t(Message.M.WParam);
    if (key == 13) return;
    const TEditorType kind = FGrid->FEditControl;
    if (kind != edUnitEditBtn && kind != edNumericUnitEditBtn && kind != edFloatUnitEditBtn) return;
    if (!numberKeyTaken(kind, key, this)) return;
    TAsgUnitEditBtn::WMChar(Message);
}

void TGridUnitEditBtn::DoExit() {
    FGrid->HideInplaceEdit();
    TAsgUnitEditBtn::DoExit();
}
