#include "grid/editors/QorInplaceEdit.h"

#include "grid/editors/EditFilters.h"

#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/core/base/ScopeGuards.h"
#include "platform/base/FormatSettings.h"
#include "platform/ui/core/Clipbrd.h"

#include <algorithm>

namespace {
bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool plainShift(TShiftState s) {
    return !s.Contains(ssCtrl) && !s.Contains(ssShift) && !s.Contains(ssAlt);
}

// Digits with an optional leading "-" (when Signed).
bool isInteger(const std::string& s, bool Signed) {
    std::size_t i = Signed && !s.empty() && s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    for (; i < s.size(); ++i)
        if (!isDigit(char32_t(s[i]))) return false;
    return true;
}

// An integer or a decimal number: optional "-", digits with thousand separators in groups of at
// least three digits, an optional decimal part; no exponent.
bool isDecimalNumber(const std::string& s, bool Signed) {
    const char dec = FormatSettings().DecimalSeparator;
    const char th = FormatSettings().ThousandSeparator;
    std::size_t i = Signed && !s.empty() && s[0] == '-' ? 1 : 0;
    std::size_t start = i;
    int group = 0;
    bool digits = false, grouped = false;
    for (; i < s.size() && s[i] != dec; ++i) {
        if (isDigit(char32_t(s[i]))) {
            ++group;
            digits = true;
        } else if (s[i] == th && i > start && (!grouped || group >= 3)) {
            grouped = true;
            group = 0;
        } else {
            return false;
        }
    }
    if (grouped && group < 3) return false;
    if (i < s.size()) {
        ++i;
        for (; i < s.size(); ++i) {
            if (!isDigit(char32_t(s[i]))) return false;
            digits = true;
        }
    }
    return digits;
}
} // namespace

TQorInplaceEdit::TQorInplaceEdit(TQorStringGrid* AGrid) : TInplaceEdit(AGrid), FGrid(AGrid) {}

int TQorInplaceEdit::length() const {
    return int(Utf8Length(Text()));
}

// --- placement and contents ---------------------------------------------------------------------
void TQorInplaceEdit::SetVAlign(bool v) {
    FValign = v;
    SetAlignment(v ? taRightJustify : taLeftJustify);
}

void TQorInplaceEdit::BoundsChanged() {
    // Exactly over the current cell, a merged one whole, one pixel short on the right and bottom
    // (right to left: on the left, where the mirrored grid line is).
    const TRect r = FGrid->CellRect(FGrid->Col(), FGrid->Row());
    if (r.IsEmpty()) return;
    const int left = FGrid->UseRightToLeftAlignment() ? r.Left + 1 : r.Left;
    const TRect want = Bounds(left, r.Top, r.Width() - 1, r.Height() - 1);
    if (BoundsRect() != want) SetBounds(want.Left, want.Top, want.Width(), want.Height());
}

void TQorInplaceEdit::UpdateContents() {
    {
        FlagScope noChange(FGrid->FNoEditChange, true);
        TInplaceEdit::UpdateContents();
    }
    FColE = FGrid->Col();
    FRowE = FGrid->Row();
    const int rc = FGrid->RealColIndex(FColE);
    SetPasswordChar(FGrid->EditControl() == edPassword ? char32_t(FGrid->PasswordChar()) : 0);
    FLengthLimit = FGrid->GetEditLimit();
    TAlignment ha = taLeftJustify;
    SetColor(FGrid->editorLook(FColE, FRowE, Font(), &ha));
    SetVAlign(ha == taRightJustify);
    FGrid->GetEditorProp(rc, FRowE, nullptr);
}

// --- typed characters ---------------------------------------------------------------------------
bool TQorInplaceEdit::acceptChar(char32_t& Key, bool& Beep) {
    Beep = true;
    const char32_t k = Key;
    const bool control = k == 8 || k == 9 || k == 13 || k == 27;
    const std::u32string text = Utf8ToUtf32(Text());
    const int start = SelStart(), sel = SelLength();
    switch (FGrid->EditControl()) {
    case edNormal:
    case edPassword:
        return true;
    case edNumeric:
        return NumberKeyAccepted(TNumberKind::Integer, k, text, start, sel, Beep);
    case edPositiveNumeric:
        return NumberKeyAccepted(TNumberKind::PositiveInteger, k, text, start, sel, Beep);
    case edFloat:
        return NumberKeyAccepted(TNumberKind::Float, k, text, start, sel, Beep);
    case edPositiveFloat:
        return NumberKeyAccepted(TNumberKind::PositiveFloat, k, text, start, sel, Beep);
    case edCapital:
    case edUpperCase:
        if (!control) Key = Utf8ToUtf32(AnsiUpperCase(Utf32ToUtf8(std::u32string(1, k))))[0];
        return true;
    case edLowerCase:
        if (!control) Key = Utf8ToUtf32(AnsiLowerCase(Utf32ToUtf8(std::u32string(1, k))))[0];
        return true;
    case edMixedCase:
        return true;
    case edValidChars: {
        if (k == 8 || k == 13) return true;
        const std::string& valid = FGrid->ValidChars();
        if (!valid.empty()) return Utf8ToUtf32(valid).find(k) != std::u32string::npos;
        return k < 256 && FGrid->ValidCharSet().test(std::size_t(k));
    }
    default:
        return false;
    }
}

void TQorInplaceEdit::WMChar(TWMKey& Message) {
    char32_t key = Message.CharCode();
    if (key == 13 && FDropEnterChar) {
        FDropEnterChar = false;
        return;
    }
    TNavigation* nav = FGrid->Navigation();
    key = FGrid->TypedChar(key, Message.KeyData());
    const bool lines = FGrid->WordWrap() || FGrid->Multilinecells();
    if (key == 1) return;
    if (key == 10 && !(nav->AllowCtrlEnter() && lines)) return;
    if (FLengthLimit > 0 && length() >= FLengthLimit && SelLength() == 0 && key != 8 && key != 27 &&
        key != 13)
        return;
    const TEditorType kind = FGrid->EditControl();
    const bool lineKind = kind == edNormal || kind == edCapital || kind == edMixedCase ||
                          kind == edLowerCase || kind == edUpperCase || kind == edValidChars;
    if (!(key == 13 && nav->LineFeedOnEnter() && lineKind)) {
        bool beep = true;
        if (!acceptChar(key, beep)) {
            if (beep) MessageBeep(0);
            return;
        }
    }
    const int caret = SelStart();
    Message.SetCharCode(WORD(key));
    if (key > 0xFFFF) Message.M.WParam = WPARAM(key);
    TInplaceEdit::WMChar(Message);
    if (kind == edMixedCase && key >= 32) {
        const std::string mixed = CapitalizeWords(Text());
        if (mixed != Text()) SetText(mixed);
        SetSelStart(caret + 1);
    }
    const int max = FGrid->MaxEditLength();
    if (nav->AdvanceAuto() && nav->AdvanceOnEnter() && max > 0 && length() == max &&
        SelLength() == 0 && SelStart() == length()) {
        char32_t enter = 13;
        FGrid->KeyPress(enter);
    }
}

// --- keys ---------------------------------------------------------------------------------------
void TQorInplaceEdit::refused(const std::string& OldCellText) {
    SetText(FGrid->FNewCellText);
    if (FGrid->Navigation()->EditSelectAll())
        SelectAll();
    else
        SetSelStart(length());
    FGrid->FOldCellText = OldCellText;
}

void TQorInplaceEdit::WMKeyDown(TWMKey& Message) {
    FGrid->EditorWMKeyDown(Message);
    const WORD key = Message.CharCode();
    const TShiftState shift = KeyboardStateToShiftState();
    TNavigation* nav = FGrid->Navigation();
    const bool ctrl = shift.Contains(ssCtrl);
    const bool lines = FGrid->WordWrap() || FGrid->Multilinecells();
    FOldSelStart = SelStart();
    FDropEnterChar = false;
    if (key == VK_ESCAPE) {
        // The cell keeps the text it had; the key goes on to the grid.
        SetText(FGrid->FCellCache);
        FGrid->HideInplaceEdit();
    } else if (key == 'A' && ctrl && GetKeyState(VK_RMENU) >= 0) {
        SelectAll();
        return;
    } else if (key == VK_RETURN && ctrl && !(nav->AllowCtrlEnter() && lines)) {
        return;
    }
    const std::string text = Text();
    const std::string oldCellText = FGrid->FOldCellText;
    if (key == VK_TAB && FGrid->NeedsEditValidation()) {
        if (!FGrid->ValidateCell(text)) {
            refused(oldCellText);
            return;
        }
        SetText(FGrid->FNewCellText);
        FGrid->HideInplaceEdit();
        if (FGrid->Options().Contains(goTabs))
            FGrid->EditorNavigateKey(shift.Contains(ssShift));
        else if (FGrid->HandleAllocated())
            PostMessage(FGrid->Handle(), WM_KEYDOWN, VK_TAB, 0);
        return;
    }
    const bool walkKey = shift == TShiftState{ssShift} &&
                         ((key == VK_LEFT && SelStart() == 0) ||
                          (key == VK_RIGHT && SelStart() + SelLength() == length()));
    if (walkKey && nav->CursorWalkEditor()) {
        {
            FlagScope validating(FGrid->FValidating, true);
            FGrid->SetCurrentCell(text);
        }
        if (!FGrid->ValidateCell(text)) {
            refused(oldCellText);
            Invalidate();
            return;
        }
        SetText(FGrid->FNewCellText);
        FGrid->HideInplaceEdit();
        if (FGrid->CanFocus()) FGrid->SetFocus();
        return;
    }
    bool arrowValidated = false;
    // A single-line editor is on its first and last line at once.
    if (key == VK_UP || key == VK_DOWN) {
        {
            FlagScope validating(FGrid->FValidating, true);
            FGrid->SetCurrentCell(text);
        }
        if (!FGrid->ValidateCell(text)) {
            refused(oldCellText);
            return;
        }
        SetText(FGrid->FNewCellText);
        arrowValidated = true;
    } else if (key == VK_RETURN && !ctrl && !nav->LineFeedOnEnter()) {
        if (!FGrid->ValidateCell(text)) {
            refused(oldCellText);
            // The refused key goes no further: its character validates nothing again.
            FDropEnterChar = true;
            return;
        }
        SetText(FGrid->FNewCellText);
    } else if ((key == VK_HOME || key == VK_END) && plainShift(shift)) {
        SetSelStart(key == VK_HOME ? 0 : length());
        return;
    } else if (key == VK_RETURN && ctrl && nav->LineFeedOnEnter()) {
        char32_t enter = 13;
        FGrid->KeyPress(enter);
        return;
    }
    TInplaceEdit::WMKeyDown(Message);
    if (arrowValidated && FGrid->MouseActions()->DisjunctRowSelect()) {
        FGrid->ClearRowSelect();
        FGrid->SetRowSelect(FGrid->Row(), true);
    }
}

void TQorInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
    FSelKeyDown = SelStart();
    if (Key == VK_BACK || Key == VK_DELETE)
        Workmode = false;
    else if (Key != VK_RETURN && Key != VK_UP && Key != VK_DOWN)
        Workmode = true;
    const bool lines = FGrid->WordWrap() || FGrid->Multilinecells();
    if (Key == VK_RETURN) {
        // Without Ctrl+Enter line breaks the following validation takes the text unchecked.
        if (!FGrid->Navigation()->AllowCtrlEnter() && lines) FGrid->FEditing = false;
        if ((Shift.Contains(ssCtrl) || Shift.Contains(ssShift)) &&
            FGrid->SizeWhileTyping()->Height() && FGrid->Multilinecells()) {
            const int lines = CountLines(Text() + "\r\n ", true);
            const bool synch = FGrid->ColumnSize()->SynchWithGrid();
            FGrid->ColumnSize()->SetSynchWithGrid(false);
            if (lines < FGrid->MaxRowLineCount(FGrid->Row()))
                FGrid->AutoSizeRow(FGrid->Row());
            else
                FGrid->SizeRowToLines(FGrid->Row(), lines, FGrid->GetVertTextMargin());
            FGrid->ColumnSize()->SetSynchWithGrid(synch);
            if (FGrid->OnEndRowSize) FGrid->OnEndRowSize(FGrid, FGrid->Row());
        }
    }
    FGrid->EditorKeyDown(Key, Shift);
    if (Key != 0) TInplaceEdit::KeyDown(Key, Shift);
}

bool TQorInplaceEdit::cursorWalk(WORD Key, TShiftState Shift) {
    TNavigation* nav = FGrid->Navigation();
    if (!nav->CursorWalkEditor() || SelLength() != 0 || !plainShift(Shift)) return false;
    const int col = FGrid->Col(), row = FGrid->Row();
    const std::string text = Text();
    if (Key == VK_LEFT && FOldSelStart == 0 && SelStart() == 0) {
        if (col > FGrid->FixedCols() && FGrid->IsControlCell(FGrid->RealColIndex(col - 1), row)) {
            if (FGrid->ValidateCell(text)) {
                FGrid->HideInplaceEdit();
                FGrid->SetCol(col - 1);
            }
            return true;
        }
        if (FGrid->ValidateCell(text)) FGrid->HideInplaceEdit();
        FGrid->walkAdvance(col, row, false);
    } else if (Key == VK_RIGHT && FSelKeyDown == length()) {
        const int span = FGrid->CellSpan(FGrid->RealColIndex(col), row).X;
        if (col < FGrid->ColCount() - FGrid->FixedRightCols() - 1 &&
            FGrid->IsControlCell(FGrid->RealColIndex(col + span + 1), row)) {
            if (FGrid->ValidateCell(text)) {
                FGrid->HideInplaceEdit();
                FGrid->SetCol(col + span + 1);
            }
            return true;
        }
        FGrid->walkAdvance(col, row, true);
    } else {
        return false;
    }
    if (!nav->CursorWalkAlwaysEdit()) FGrid->HideInplaceEdit();
    return true;
}

void TQorInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
    if ((Key == VK_LEFT || Key == VK_RIGHT) && cursorWalk(Key, Shift)) {
        // With CursorWalkAlwaysEdit the walk ends as Enter does: the new cell's editor opens.
        if (FGrid->Navigation()->CursorWalkAlwaysEdit()) FGrid->ShowEditor();
        Key = 0;
        return;
    }
    TInplaceEdit::KeyUp(Key, Shift);
    DoChange();
    if (FGrid->SizeWhileTyping()->Width()) FGrid->AutoSizeCol(FGrid->Col());
    if (FGrid->SizeWhileTyping()->Height() && FGrid->WordWrap()) {
        const bool synch = FGrid->ColumnSize()->SynchWithGrid();
        FGrid->ColumnSize()->SetSynchWithGrid(false);
        FGrid->AutoSizeRow(FGrid->Row());
        FGrid->ColumnSize()->SetSynchWithGrid(synch);
        if (FGrid->OnEndRowSize) FGrid->OnEndRowSize(FGrid, FGrid->Row());
    }
}

void TQorInplaceEdit::WMKeyUp(TWMKey& Message) {
    TInplaceEdit::WMKeyUp(Message);
    // The caret position and a leading "=" go to two grid hooks that do nothing in this grid.
}

void TQorInplaceEdit::KeyPress(char32_t& Key) {
    TNavigation* nav = FGrid->Navigation();
    if (Key == 13 && !nav->LineFeedOnEnter()) {
        if (!FGrid->ValidateCell(Text())) {
            SetText(FGrid->CurrentCell());
            Key = 0;
            return;
        }
    }
    TInplaceEdit::KeyPress(Key);
    if (nav->AdvanceAuto() && !EditMask().empty() && Text().find(' ') == std::string::npos &&
        SelStart() == length()) {
        char32_t enter = 13;
        FGrid->KeyPress(enter);
    }
}

void TQorInplaceEdit::DoChange() {
    if (!Workmode || SelLength() != 0 || !FGrid->Lookup()) return;
    TStringList* items = FGrid->LookupItems();
    if (items->Count() == 0) return;
    const std::u32string text = Utf8ToUtf32(Text());
    const std::size_t n = std::min<std::size_t>(std::size_t(std::max(0, SelStart())), text.size());
    if (n == 0) return;
    const std::u32string typed = text.substr(0, n);
    for (int i = 0; i < items->Count(); ++i) {
        std::u32string rest;
        if (!FGrid->lookupRest(typed, items->Get(i), rest)) continue;
        SetText(Utf32ToUtf8(typed + rest));
        SetSelStart(int(n));
        SetSelLength(int(rest.size()));
        GotKey = false;
        return;
    }
}

void TQorInplaceEdit::Change() {
    TInplaceEdit::Change();
    if (!FGrid->FNoEditChange && FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

void TQorInplaceEdit::DblClick() {
    TInplaceEdit::DblClick();
    if (FGrid->OnDblClickCell) FGrid->OnDblClickCell(FGrid, FGrid->Row(), FGrid->Col());
}

void TQorInplaceEdit::WMGetDlgCode(TMessage& Message) {
    TInplaceEdit::WMGetDlgCode(Message);
    // A multi-line edit wants Enter and Escape; Tab only when the cell is validated first.
    Message.Result |= DLGC_WANTALLKEYS;
    if (FGrid->NeedsEditValidation()) Message.Result |= DLGC_WANTTAB;
}

void TQorInplaceEdit::CMWantSpecialKey(TWMKey& Message) {
    if (Message.CharCode() == VK_TAB && FGrid->NeedsEditValidation()) {
        Message.M.Result = 1;
        return;
    }
    TInplaceEdit::CMWantSpecialKey(Message);
}

// --- focus ---------------------------------------------------------------------------------------
void TQorInplaceEdit::WMSetFocus(TWMSetFocus& Message) {
    TInplaceEdit::WMSetFocus(Message);
    FGotFocus = true;
    FGrid->FNoEditChange = false;
    FLengthLimit = FGrid->GetEditLimit();
    SetMaxLength(std::max(0, FLengthLimit));
    if (!EditMask().empty() && !FGrid->FLButFlg && FGrid->Navigation()->ImproveMaskSel()) {
        SetSelStart(0);
        SetSelLength(1);
        return;
    }
    if (!FGrid->Navigation()->EditSelectAll()) SetSelStart(length());
    if (FGrid->FLButFlg) {
        TPoint p;
        GetCursorPos(p);
        p = ScreenToClient(p);
        if (p.X >= 0 && p.X < Width() && p.Y >= 0 && p.Y < Height()) {
            SetSelStart(CharFromPos(p.X));
            FGrid->FLButFlg = false;
        }
    }
}

void TQorInplaceEdit::WMKillFocus(TWMKillFocus& Message) {
    FGrid->FStartEditChar = 0;
    if (FGrid->LookupHistory() && FGrid->LookupItems()->IndexOf(Text()) < 0)
        FGrid->LookupItems()->Add(Text());
    TInplaceEdit::WMKillFocus(Message);
    if (FAltBack) return;
    // A refused validation hides the editor and opens it again: that is no end of the edit.
    if (FGrid->FRefusingEdit) return;
    const HWND to = Message.FocusedWnd();
    if (!FGrid->HandleAllocated() || to != FGrid->Handle()) {
        struct Leave {
            TQorInplaceEdit* e;
            ~Leave() {
                e->FGrid->HideInplaceEdit();
                e->FGrid->FEditing = false;
                e->FGrid->FEditMode = false;
            }
        };
        {
            Leave leave{this};
            // Its answer is not needed: a refusal has put the old text back into the cell.
            FGrid->ValidateCell(Text());
            FlagScope noChange(FGrid->FNoEditChange, true);
            SetText(FGrid->CurrentCell());
        }
        FGrid->SelectCell(FColE, FRowE);
    }
    {
        FlagScope noChange(FGrid->FNoEditChange, true);
        SetText(FGrid->CurrentCell());
    }
    if (FGotFocus) {
        FGotFocus = false;
        FGrid->PostEditingDone(FGrid->RealColIndex(FColE), FRowE);
    }
}

// --- clipboard and Alt+Backspace -------------------------------------------------------------
void TQorInplaceEdit::paste() {
    if (!Clipboard()->HasFormat(CF_TEXT)) return;
    std::string text = Clipboard()->AsText();
    bool allow = true;
    if (FGrid->OnClipboardPaste) FGrid->OnClipboardPaste(this, allow);
    if (!allow) return;
    const int col = FGrid->Col(), row = FGrid->Row();
    if (FGrid->OnClipboardBeforePasteCell)
        FGrid->OnClipboardBeforePasteCell(this, col, row, text, allow);
    if (!allow) return;
    std::u32string pasted = Utf8ToUtf32(text);
    if (FLengthLimit > 0 && int(pasted.size()) > FLengthLimit) return;
    DropFinalLineBreak(text);
    pasted = Utf8ToUtf32(text);
    const std::u32string current = Utf8ToUtf32(Text());
    const int start = SelStart(), sel = SelLength();
    std::u32string candidate = current;
    candidate.replace(std::size_t(start), std::size_t(sel), pasted);
    bool take = FLengthLimit <= 0 || int(candidate.size()) <= FLengthLimit;
    std::string value = Utf32ToUtf8(candidate);
    if (take) {
        switch (FGrid->EditControl()) {
        case edNumeric:
            take = isInteger(value, true);
            break;
        case edPositiveNumeric:
            take = isInteger(value, false);
            break;
        case edFloat:
            take = isDecimalNumber(value, true);
            break;
        case edPositiveFloat:
            take = isDecimalNumber(value, false);
            break;
        case edMixedCase:
            value = CapitalizeWords(value);
            break;
        case edLowerCase:
            value = AnsiLowerCase(value);
            break;
        case edUpperCase:
            value = AnsiUpperCase(value);
            break;
        case edValidChars: {
            const std::u32string valid = Utf8ToUtf32(FGrid->ValidChars());
            for (char32_t c : pasted)
                if (valid.find(c) == std::u32string::npos) take = false;
            break;
        }
        default:
            break;
        }
    }
    if (take) SetText(value);
    FGrid->SetCurrentEditText(Text());
    if (take) {
        if (sel > 0) {
            SetSelStart(start);
            SetSelLength(int(pasted.size()));
        } else {
            SetSelStart(start + int(pasted.size()));
        }
    }
    if (FGrid->OnClipboardAfterPasteCell) FGrid->OnClipboardAfterPasteCell(this, col, row, Text());
}

void TQorInplaceEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PASTE:
        paste();
        return;
    case WM_CUT:
    case WM_COPY: {
        bool allow = true;
        const bool cut = Message.Msg == WM_CUT;
        if (cut && FGrid->OnClipboardCut) FGrid->OnClipboardCut(this, allow);
        if (!cut && FGrid->OnClipboardCopy) FGrid->OnClipboardCopy(this, allow);
        if (!allow || SelLength() == 0) return;
        Clipboard()->SetAsText(SelText());
        if (cut && FGrid->CanEditModify()) SetSelText("");
        return;
    }
    case WM_CHAR:
        // Ctrl+V, Ctrl+X and Ctrl+C go through the filtered clipboard operations.
        if (Message.WParam == 22 || Message.WParam == 24 || Message.WParam == 3) {
            Perform(Message.WParam == 22 ? WM_PASTE : Message.WParam == 24 ? WM_CUT : WM_COPY);
            return;
        }
        break;
    case WM_KEYDOWN:
        if (Message.WParam == VK_INSERT) {
            const TShiftState s = KeyboardStateToShiftState();
            if (s == TShiftState{ssShift}) {
                if (FGrid->CanEditModify()) Perform(WM_PASTE);
                return;
            }
            if (s == TShiftState{ssCtrl}) {
                Perform(WM_COPY);
                return;
            }
        }
        break;
    case WM_SYSKEYDOWN:
        if (Message.WParam == VK_BACK) FAltBack = true;
        break;
    case WM_SYSKEYUP:
        if (Message.WParam == VK_BACK) FAltBack = false;
        break;
    default:
        break;
    }
    TInplaceEdit::WndProc(Message);
}
