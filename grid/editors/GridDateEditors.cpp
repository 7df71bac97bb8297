// The grid's date, time and date-and-time editors.
#include "grid/editors/GridEditors.h"

#include "grid/core/QorStringGrid.h"
#include "grid/editors/AsgCombo.h"

namespace {
bool endsDateEdit(WORD Key) {
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
           Key == VK_NEXT || Key == VK_END;
}
} // namespace

// --- TGridDatePicker ---------------------------------------------------------------------------
TGridDatePicker::TGridDatePicker(TComponent* AOwner)
    : TAsgDateTimePicker(AOwner), FGrid(dynamic_cast<TQorStringGrid*>(AOwner)) {
    if (!FGrid) throw EInvalidCast("Invalid class typecast");
}

void TGridDatePicker::CMWantSpecialKey(TWMKey& Message) {
    const WORD key = Message.CharCode();
    if (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && FGrid->NeedsEditValidation())) {
        Message.M.Result = 1;
        return;
    }
    TAsgDateTimePicker::CMWantSpecialKey(Message);
}

void TGridDatePicker::KeyPress(char32_t& Key) {
    if (Key >= '0' && Key <= '9') {
        const TDateTime v = DateTime();
        DecodeDate(v, FYear, FMonth, FDay);
        DecodeTime(v, FHour, FMinute, FSecond, FMSec);
        TAsgDateTimePicker::KeyPress(Key);
        if (HandleAllocated()) PostMessage(Handle(), DTPShiftFocusMessage());
    } else {
        TAsgDateTimePicker::KeyPress(Key);
    }
    if (FGrid->OnKeyPress) FGrid->OnKeyPress(FGrid, Key);
}

void TGridDatePicker::WndProc(TMessage& Message) {
    if (Message.Msg == DTPShiftFocusMessage()) {
        ShiftFocus();
        return;
    }
    TAsgDateTimePicker::WndProc(Message);
}

void TGridDatePicker::ShiftFocus() {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(DateTime(), y, mo, d);
    DecodeTime(DateTime(), h, mi, s, ms);
    bool next = false;
    if (Kind() == dtkTime) {
        next = h != FHour || mi != FMinute || s != FSecond;
    } else if (!Format().empty()) {
        const char c = Format().back();
        // The last field was typed: the picker stays on it.
        const bool last = (d != FDay && (c == 'd' || c == 'D')) ||
                          (mo != FMonth && (c == 'm' || c == 'M')) ||
                          (y != FYear && (c == 'y' || c == 'Y'));
        next = !last && (d != FDay || mo != FMonth || y != FYear);
    } else {
        next = d != FDay || mo != FMonth;
    }
    if (next && HandleAllocated()) PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT, 0);
}

void TGridDatePicker::KeyDown(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    if (!endsDateEdit(Key)) {
        TAsgDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        TDateTime v = 0;
        if (Kind() == dtkTime) {
            if (TryStrToTime(g->CurrentCell(), v)) SetTime(v);
        } else {
            SetDate(TryStrToDate(g->CurrentCell(), v) ? v : Now());
        }
    } else if (Key == VK_RETURN) {
        // The field being typed is taken.
        Perform(WM_KEYDOWN, VK_RIGHT);
        Perform(WM_KEYUP, VK_RIGHT);
        if (!g->validateEditorText(Text())) {
            SetText(g->FNewCellText);
            Invalidate();
            Key = 0;
            g->FNoAutoAdvance = true;
            return;
        }
        SetText(g->CurrentCell());
    } else if (Key == VK_TAB && g->NeedsEditValidation()) {
        if (!g->validateEditorText(Text())) {
            SetText(g->FNewCellText);
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
    if (!DroppedDown()) {
        const WORD key = Key;
        if (key == VK_ESCAPE)
            g->escapeSpecialEdit([&] { g->DoneInplaceEdit(key, Shift); });
        else
            g->DoneInplaceEdit(key, Shift);
    }
    Key = 0;
}

void TGridDatePicker::Dispatch(TMessage& Message) {
    TAsgDateTimePicker::Dispatch(Message);
    if (Message.Msg == WM_NCPAINT) {
        // No 3-D border over the cell: the two outer rings in the window colour.
        FrameRect(Canvas(), TRect{0, 0, Width(), Height()}, clWindow);
        FrameRect(Canvas(), TRect{1, 1, Width() - 1, Height() - 1}, clWindow);
    }
}

void TGridDatePicker::DoExit() {
    FGrid->HideInplaceEdit();
    TAsgDateTimePicker::DoExit();
}

// --- TGridDateTimePicker -----------------------------------------------------------------------
TGridDateTimePicker::TGridDateTimePicker(TComponent* AOwner)
    : TQorDateTimePicker(AOwner), FGrid(dynamic_cast<TQorStringGrid*>(AOwner)) {}

void TGridDateTimePicker::CMWantSpecialKey(TWMKey& Message) {
    const WORD key = Message.CharCode();
    if (FGrid &&
        (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && FGrid->NeedsEditValidation()))) {
        Message.M.Result = 1;
        return;
    }
    TQorDateTimePicker::CMWantSpecialKey(Message);
}

void TGridDateTimePicker::KeyDown(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    if (!g ||
        (Key != VK_ESCAPE && Key != VK_RETURN && !(Key == VK_TAB && g->NeedsEditValidation()))) {
        TQorDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    const WORD key = Key;
    Key = 0;
    auto leave = [g] {
        g->HideInplaceEdit();
        if (g->CanFocus()) g->SetFocus();
    };
    if (key == VK_ESCAPE) {
        SetDateTime(g->FOriginalDateTime);
        g->escapeSpecialEdit(leave);
        return;
    }
    leave();
    if (key == VK_RETURN) {
        if (g->Navigation()->AdvanceOnEnter())
            g->AdvanceAfterEdit(g->Col(), g->Row(), true, false, true, true, false);
    } else {
        // The commit has stored the date and the time; the picker's own text is the date only.
        g->EditorNavigateKey(Shift.Contains(ssShift));
    }
}
