// TQorStringGrid's special editors other than the combo: making them (with the grid or on first
// use), opening one over its cell with the cell's value, writing its value back when it closes,
// and the relays of the date editors.
#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/editors/AsgCombo.h"
#include "grid/editors/FixedCellEditors.h"
#include "grid/editors/GridEditors.h"
#include "grid/editors/QorRichEdit.h"
#include "grid/render/ControlLook.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
bool isSpinKind(TEditorType k) {
    return k == edSpinEdit || k == edFloatSpinEdit || k == edTimeSpinEdit || k == edDateSpinEdit;
}

bool isButtonEditKind(TEditorType k) {
    return k == edEditBtn || k == edNumericEditBtn || k == edFloatEditBtn || k == edMaskEditBtn;
}

bool isUnitEditKind(TEditorType k) {
    return k == edUnitEditBtn || k == edNumericUnitEditBtn || k == edFloatUnitEditBtn;
}

bool isDateKind(TEditorType k) {
    return k == edDateEdit || k == edDateEditUpDown || k == edTimeEdit || k == edDateTimeEdit;
}

// The number of a numeric text written with "." as decimal point; 0 when it has none.
double numericValue(const std::string& Text) {
    const std::string n = ExtractNumericText(Text);
    double v = 0;
    const char* first = n.data();
    if (!n.empty() && n[0] == '+') ++first;
    std::from_chars(first, n.data() + n.size(), v);
    return v;
}
} // namespace

// --- the controls --------------------------------------------------------------------------------
void TQorStringGrid::createEditorControls() {
    FEditCheck = new TGridCheckBox(this);
    FEditCheck->SetEnabled(false);
    FEditCheck->SetVisible(false);
    FEditCheck->SetParent(this);
    FEditBtn = new TGridEditBtn(this);
    FUnitEditBtn = new TGridUnitEditBtn(this);
    for (TAsgEditBtn* e :
         {static_cast<TAsgEditBtn*>(FEditBtn), static_cast<TAsgEditBtn*>(FUnitEditBtn)}) {
        e->SetEnabled(false);
        e->SetVisible(false);
        e->SetButtonCaption("...");
        e->SetBorderStyle(bsNone);
        e->SetIsWinXP(FIsWinXP);
        e->SetParent(this);
    }
    FUnitEditBtn->OnUnitChanged = [this](TObject*, const std::string& NewUnit) {
        UnitChanged(NewUnit);
    };
    FGridButton = new TGridButton(this);
    FGridButton->SetEnabled(false);
    FGridButton->SetVisible(false);
    FGridButton->OnClick = [this](TObject*) { ButtonClick(Col(), Row()); };
    FGridButton->SetParent(this);
    FEditTrans = new TGridTransEdit(this);
    FEditTrans->SetBorderStyle(bsNone);
    FEditTrans->SetParent(this);
    FComboTrans = new TGridTransCombo(this);
    FComboTrans->SetParent(this);
}

TGridSpin* TQorStringGrid::SpinEdit() {
    if (!FEditSpin) {
        FEditSpin = new TGridSpin(this);
        FEditSpin->SetVisible(false);
        FEditSpin->SetEnabled(false);
        FEditSpin->SetBorderStyle(bsNone);
        FEditSpin->SetWinXPLook(FIsWinXP);
        FEditSpin->SetParent(this);
    }
    return FEditSpin;
}

TGridDatePicker* TQorStringGrid::DateTimePicker() {
    if (!FEditDate) {
        FEditDate = new TGridDatePicker(this);
        FEditDate->SetVisible(false);
        FEditDate->SetEnabled(false);
        FEditDate->OnCloseUp = [this](TObject*) { DatePickerCloseUp(); };
        FEditDate->OnDropDown = [this](TObject*) { DatePickerDropDown(); };
        FEditDate->OnChange = [this](TObject*) { DatePickerChange(); };
        FEditDate->SetParent(this);
    }
    return FEditDate;
}

TGridDateTimePicker* TQorStringGrid::DateAndTimePicker() {
    if (!FEditDateTime) {
        FEditDateTime = new TGridDateTimePicker(this);
        FEditDateTime->SetVisible(false);
        FEditDateTime->SetEnabled(false);
        FEditDateTime->SetAutoTab(true);
        FEditDateTime->OnCloseUp = [this](TObject*) { DatePickerCloseUp(); };
        FEditDateTime->OnTimeChange = [this](TObject*) { DateTimePickerChange(); };
        FEditDateTime->SetParent(this);
    }
    return FEditDateTime;
}

// --- relays of the date editors ------------------------------------------------------------------
void TQorStringGrid::DatePickerChange() {
    if (!OnEditChange || !FEditDate) return;
    const std::string text =
        FEditDate->Kind() == dtkTime ? TimeToStr(FEditDate->Time()) : DateToStr(FEditDate->Date());
    OnEditChange(this, Col(), Row(), text);
}

void TQorStringGrid::DatePickerCloseUp() {
    if (OnDatePickerCloseUp) OnDatePickerCloseUp(this, Row(), Col());
    if (FMouseActions->DirectDateClose()) HideInplaceEdit();
}

void TQorStringGrid::DatePickerDropDown() {
    if (!FEditDate) return;
    const auto calendar = reinterpret_cast<HWND>(FEditDate->Perform(DTM_GETMONTHCAL));
    if (calendar) {
        static const DWORD today[2] = {MCS_NOTODAY, 0};
        static const DWORD circle[2] = {MCS_NOTODAYCIRCLE, 0};
        static const DWORD weeks[2] = {0, MCS_WEEKNUMBERS};
        const DWORD bits = today[FEditDate->ShowToday()] | circle[FEditDate->ShowTodayCircle()] |
                           weeks[FEditDate->Weeknumbers()];
        SetWindowLong(calendar, GWL_STYLE, LONG(DWORD(GetWindowLong(calendar, GWL_STYLE)) | bits));
        TRect r;
        SendMessage(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
        if (TWinControl* c = FindControl(calendar))
            c->SetBounds(c->Left(), c->Top(), r.Width() + 2, r.Height() + 2);
    }
    if (OnDatePickerDropDown) OnDatePickerDropDown(this, Row(), Col());
}

void TQorStringGrid::DateTimePickerChange() {
    if (OnDateTimeChange && FEditDateTime)
        OnDateTimeChange(this, Col(), Row(), FEditDateTime->DateTime());
}

// --- opening -------------------------------------------------------------------------------------
void TQorStringGrid::postStartChar(TWinControl* Control) {
    if (FStartEditChar != 0 && Control->HandleAllocated())
        PostMessage(Control->Handle(), WM_CHAR, WPARAM(FStartEditChar), 0);
}

void TQorStringGrid::openSpecialEditor(int ACol, int ARow, const TRect& Cell, TColor CellColor) {
    const int rc = RealColIndexOf(ACol);
    const int width = Cell.Right - Cell.Left - 1, height = Cell.Bottom - Cell.Top - 1;
    const std::string editText = GetEditText(ACol, ARow);
    // Placed on the cell, coloured like it, shown, enabled and focused.
    auto show = [&](TWinControl* c, int L, int T, int W, int H, bool Colour) {
        c->SetBounds(L, T, W, H);
        if (Colour) c->SetColor(CellColor);
        c->SetVisible(true);
        c->SetEnabled(true);
        if (c->CanFocus()) c->SetFocus();
    };
    if (isDateKind(FEditControl) && !GridLibrary().NewCommonControls) return;
    if (isSpinKind(FEditControl)) {
        TGridSpin* spin = SpinEdit();
        FEditMode = true;
        GetEditorProp(rc, ARow, FEditLink);
        spin->ReCreate();
        switch (FEditControl) {
        case edSpinEdit:
            spin->SetSpinType(sptNormal);
            // A text that is no number reads as the spin edit reads it.
            spin->SetText(editText);
            spin->SetValue(spin->Value());
            break;
        case edFloatSpinEdit:
            spin->SetSpinType(sptFloat);
            spin->SetFloatValue(numericValue(editText));
            break;
        case edTimeSpinEdit:
            spin->SetSpinType(sptTime);
            spin->SetText(editText);
            break;
        default: {
            spin->SetSpinType(sptDate);
            TDateTime d = 0;
            spin->SetDateValue(TryStrToDate(editText, d) ? d : Now());
            break;
        }
        }
        if (FSpinUpClick) spin->StepUp(false);
        if (FSpinDnClick) spin->StepDown(false);
        FSpinUpClick = FSpinDnClick = false;
        show(spin, Cell.Left, Cell.Top, width, height, true);
        postStartChar(spin);
        FEditCtrl = spin;
        return;
    }
    if (isButtonEditKind(FEditControl)) {
        TGridEditBtn* e = FEditBtn;
        FEditMode = true;
        e->ReCreate();
        e->SetEditMask(FEditControl == edMaskEditBtn ? GetEditMask(ACol, ARow) : std::string());
        e->SetText(editText);
        e->SetMaxLength(GetEditLimit());
        show(e, Cell.Left, Cell.Top, width, height, true);
        postStartChar(e);
        FEditCtrl = e;
        return;
    }
    if (isUnitEditKind(FEditControl)) {
        TGridUnitEditBtn* e = FUnitEditBtn;
        FEditMode = true;
        GetEditorProp(rc, ARow, FEditLink);
        e->ReCreate();
        e->SetUnitID("");
        e->SetText("");
        e->SetTextAndUnit(editText);
        // A text that ends in none of the units stays whole: closing the editor keeps it.
        if (e->UnitID().empty()) e->SetText(editText);
        e->SetMaxLength(GetEditLimit());
        show(e, Cell.Left, Cell.Top, width, height, true);
        postStartChar(e);
        FEditCtrl = e;
        return;
    }
    switch (FEditControl) {
    case edCheckBox:
        FEditMode = true;
        FEditCheck->ReCreate();
        FEditCheck->SetCaption(editText);
        FEditCheck->SetChecked(false);
        show(FEditCheck, Cell.Left, Cell.Top, width, height, false);
        return;
    case edButton:
        FEditMode = true;
        FGridButton->ReCreate();
        FGridButton->SetCaption(editText);
        show(FGridButton, Cell.Left - 1, Cell.Top - 1, width + 2, height + 2, false);
        FEditCtrl = FGridButton;
        return;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit: {
        TGridDatePicker* p = DateTimePicker();
        FEditMode = true;
        GetEditorProp(rc, ARow, FEditLink);
        p->ReCreate();
        TDateTime value = Now();
        if (FEditControl == edTimeEdit) {
            p->SetKind(dtkTime);
            TDateTime t = 0;
            if (TryStrToTime(editText, t)) value = t;
            p->SetTime(value);
        } else {
            p->SetKind(dtkDate);
            p->SetDateMode(FEditControl == edDateEditUpDown ? dmUpDown : dmComboBox);
            if (OnCustomStrToDate) {
                OnCustomStrToDate(this, editText, value);
            } else if (TDateTime d = 0; !editText.empty() && TryStrToDateTime(editText, d)) {
                value = d;
                if (p->MaxDate() != 0 && value > p->MaxDate()) value = p->MaxDate() - 1;
                if (p->MinDate() != 0 && value <= p->MinDate()) value = p->MinDate() + 1;
            }
            p->SetDateTime(value);
        }
        show(p, Cell.Left, Cell.Top, width, height, true);
        if (FEditControl != edTimeEdit) postStartChar(p);
        FEditCtrl = p;
        if (FEditControl != edTimeEdit && FMouseActions->DirectDateDrop())
            p->Perform(WM_KEYDOWN, VK_F4, 0);
        return;
    }
    case edDateTimeEdit: {
        TGridDateTimePicker* p = DateAndTimePicker();
        FEditMode = true;
        GetEditorProp(rc, ARow, FEditLink);
        p->SetKind(dkDateTime);
        p->SetBorderStyle(bsNone);
        TDateTime value = Now();
        if (TDateTime d = 0; !editText.empty() && TryStrToDateTime(editText, d)) value = d;
        FOriginalDateTime = value;
        p->SetDateTime(value);
        show(p, Cell.Left, Cell.Top, width, std::max(height, p->Height()), true);
        return;
    }
    case edRichEdit: {
        TQorRichEdit* rich = InplaceRichEdit();
        FEditMode = true;
        GetEditorProp(rc, ARow, FEditLink);
        rich->ReCreate();
        rich->LockResize();
        CellToRich(rc, ARow, rich);
        show(rich, Cell.Left, Cell.Top, width, height, true);
        rich->UnlockResize();
        postStartChar(rich);
        FEditCtrl = rich;
        return;
    }
    default:
        // The custom kind has no editor here; the edit is entered without a visible editor.
        return;
    }
}

// --- committing ----------------------------------------------------------------------------------
void TQorStringGrid::hideEditorControl(TWinControl* Control) {
    if (Control->Focused() && CanFocus()) SetFocus();
    Control->SetEnabled(false);
    Control->SetVisible(false);
    if (FEditCtrl == Control) FEditCtrl = nullptr;
}

void TQorStringGrid::commitSpecialEditor(int ACol, int ARow) {
    const int rc = RealColIndexOf(ACol);
    if (isSpinKind(FEditControl)) {
        if (!FEditSpin) return;
        FEditMode = false;
        TGridSpin* spin = FEditSpin;
        if (spin->AllowEmptyValue() && Trim(spin->Text()).empty()) {
            SetCellEx(rc, ARow, "");
        } else {
            switch (FEditControl) {
            case edSpinEdit:
                SetInts(rc, ARow, spin->Value());
                break;
            case edFloatSpinEdit:
                SetFloats(rc, ARow, spin->FloatValue());
                break;
            case edTimeSpinEdit:
                StoreEditorValue(rc, ARow, spin->Text());
                break;
            default:
                SetDates(rc, ARow, spin->DateValue());
                break;
            }
        }
        hideEditorControl(spin);
        return;
    }
    if (isButtonEditKind(FEditControl)) {
        if (!FEditMode) return;
        FEditMode = false;
        StoreEditorValue(rc, ARow, FEditBtn->Text());
        hideEditorControl(FEditBtn);
        return;
    }
    if (isUnitEditKind(FEditControl)) {
        StoreEditorValue(rc, ARow, FUnitEditBtn->TextAndUnit());
        hideEditorControl(FUnitEditBtn);
        FEditMode = false;
        return;
    }
    switch (FEditControl) {
    case edCheckBox:
        hideEditorControl(FEditCheck);
        FEditMode = false;
        return;
    case edButton:
        hideEditorControl(FGridButton);
        FEditMode = false;
        return;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit:
        if (!GridLibrary().NewCommonControls || !FEditDate) return;
        StoreEditorValue(rc, ARow, FEditDate->Checked() ? FEditDate->Text() : std::string());
        hideEditorControl(FEditDate);
        return;
    case edDateTimeEdit:
        if (!GridLibrary().NewCommonControls || !FEditDateTime) return;
        StoreEditorValue(rc, ARow,
                         FEditDateTime->Checked()
                             ? FormatDateTime(GetShortDateFormat() + " " + GetShortTimeFormat(),
                                              FEditDateTime->DateTime())
                             : std::string());
        hideEditorControl(FEditDateTime);
        return;
    case edRichEdit:
        if (!FEditMode || !FInplaceRichEdit) return;
        StoreEditorValue(rc, ARow, RichToString(FInplaceRichEdit));
        hideEditorControl(FInplaceRichEdit);
        FEditMode = false;
        return;
    default:
        return;
    }
}

// --- looks
// ----------------------------------------------------------------------------------------
void TQorStringGrid::toneEditorButtons(const TColorTones& Tones) {
    auto tone = [&](auto* c) {
        c->SetButtonColor(Tones.Background.BrushColor);
        c->SetButtonColorHot(Tones.Hover.BrushColor);
        c->SetButtonColorDown(Tones.Selected.BrushColor);
        c->SetButtonBorderColor(Tones.Background.BorderColor);
    };
    if (FEditCombo) tone(FEditCombo);
    if (FEditBtn) tone(FEditBtn->Button());
    if (FUnitEditBtn) tone(FUnitEditBtn->Button());
    if (FEditSpin) tone(FEditSpin->Button());
    if (FEditDate) {
        tone(FEditDate);
        FEditDate->SetBorderColor(Tones.Background.BrushColor);
        FEditDate->SetMetroStyle(true);
    }
}

// --- cell text ----------------------------------------------------------------------------------
void TQorStringGrid::SetEditorCellText(int ACol, int ARow, const std::string& Value) {
    SetEditText(DisplColIndexOf(ACol), ARow, Value);
    SetCells(ACol, ARow, Value);
}

bool TQorStringGrid::validateEditorText(const std::string& Text) {
    SetCurrentCell(Text);
    return ValidateCell(Text);
}

void TQorStringGrid::tabOutOfEditor(bool Backward) {
    HideInplaceEdit();
    if (CanFocus()) SetFocus();
    EditorNavigateKey(Backward);
}

void TQorStringGrid::escapeSpecialEdit(const std::function<void()>& End) {
    // Closing selects the cell again, which takes its new text as the cache.
    const std::string before = FCellCache;
    End();
    FCellCache = before;
    RestoreEditedCell();
}

void TQorStringGrid::RestoreCellCache() {
    SetCurrentCell(FCellCache);
}
