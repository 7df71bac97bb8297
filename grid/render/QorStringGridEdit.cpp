// TQorStringGrid: the in-place edit life cycle as the editors drive it (open, close, end of an
// edit and its report), the validation of an edited cell against its edit reference, and the
// small notification hooks of editing.
#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUndo.h"
#include "grid/core/base/GridUtils.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/editors/CellChecker.h"
#include "grid/render/markup/MarkupText.h"

#include <algorithm>

// --- opening and closing --------------------------------------------------------------------
void TQorStringGrid::UpdateEdit() {
    // Loading the editor's text is no edit of the cell.
    FlagScope start(FEditStart, true);
    TBaseGrid::UpdateEdit();
}

void TQorStringGrid::ShowInplaceEdit() {
    const int rc = RealColIndexOf(Col());
    if (rc < 0 || IsControlCell(rc, Row())) return;
    if (Row() < TopRow()) SetTopRow(Row());
    if (Col() < LeftCol()) SetLeftCol(Col());
    FEditText = Cells(rc, Row());
    ShowEditor();
}

void TQorStringGrid::HideInplaceEdit() {
    if (!FEditMode) return;
    HideEditor();
    CommitCellEditor(Col(), Row());
    FEditMode = false;
    Select();
}

void TQorStringGrid::Select() {
    SelectCell(Col(), Row());
}

void TQorStringGrid::DoneInplaceEdit(WORD Key, TShiftState Shift) {
    FlagScope block(FBlockFocus, true);
    FEditing = false;
    HideInplaceEdit();
    if (Key == VK_DOWN && FNavigation->AppendOnArrowDown() &&
        Row() == RowCount() - 1 - FFixedFooters)
        SetRowCount(RowCount() + 1);
    if (Key == VK_TAB || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) {
        WORD k = Key;
        KeyDown(k, Shift);
    }
    const bool alwaysEdit = FNavigation->AlwaysEdit();
    FNavigation->SetAlwaysEdit(false);
    try {
        if (CanFocus()) SetFocus();
    } catch (...) {
        FNavigation->SetAlwaysEdit(alwaysEdit);
        throw;
    }
    FNavigation->SetAlwaysEdit(alwaysEdit);
    if (Key == VK_RETURN) AdvanceAfterEdit(Col(), Row(), false, false, true, true, false);
}

void TQorStringGrid::PostEditingDone(int ACol, int ARow) {
    if (OnEditingDone) OnEditingDone(this);
    FEditMode = false;
    if (HandleAllocated())
        PostMessage(Handle(), GridLibrary().GridEditDoneMessage, WPARAM(ACol), LPARAM(ARow));
}

void TQorStringGrid::SimulateCellClick(int ACol, int ARow) {
    const TRect r = CellRect(ACol, ARow);
    TMouseEvent down = std::move(OnMouseDown), up = std::move(OnMouseUp);
    OnMouseDown = nullptr;
    OnMouseUp = nullptr;
    struct Restore {
        TQorStringGrid* g;
        TMouseEvent& down;
        TMouseEvent& up;
        ~Restore() {
            g->OnMouseDown = std::move(down);
            g->OnMouseUp = std::move(up);
            g->FForceSel = false;
        }
    } restore{this, down, up};
    FForceSel = true;
    const LPARAM at = MAKELPARAM(r.Left + 2, r.Top + 2);
    Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Perform(WM_LBUTTONUP, 0, at);
}

void TQorStringGrid::OleColumnDragStart(int ACol, int AIndex, TCustomListBox* AList) {
    FOleDragCol = ACol;
    FOleDragIndex = AIndex;
    FOleDragList = AList;
}

// --- validation -------------------------------------------------------------------------------
void TQorStringGrid::StoreOldCell(int ACol, int ARow) {
    FOldCol = ACol;
    FOldRow = ARow;
    const int rc = RealColIndexOf(ACol);
    FOldCellText = rc >= 0 ? GridCells(rc, ARow) : std::string();
    FOldCellTextWide = Utf8ToWide(FOldCellText);
    FOldModifiedValue = FModified;
}

// The refused edit: the cell gets the handler's replacement or its old text back, the current
// cell returns to the edited one and its editor opens again.
bool TQorStringGrid::refuseEdit(const std::string& Value, const std::string& NewValue) {
    const int rc = RealColIndexOf(FOldCol);
    FLastValidation = false;
    if (Value == NewValue && EditorShowing()) FValidating = false;
    FlagScope refusing(FRefusingEdit, true);
    HideEditor();
    SetCellEx(rc, FOldRow, Value != NewValue ? Value : FOldCellText);
    if (Col() != FOldCol || Row() != FOldRow) {
        FlagScope force(FForceSel, true);
        FocusCell(FOldCol, FOldRow, true);
    }
    FValidating = false;
    FEditing = true;
    ShowInplaceEdit();
    if (Value == NewValue && Col() != FOldCol) InvalidateEditor();
    FModified = FOldModifiedValue;
    if (FInvalidEntryTitle.empty() && FInvalidEntryText.empty()) return false;
    // The balloon goes to the special editor when one is open, else to the text editor.
    TWinControl* target = EditCtrl();
    if (!target && EditorShowing()) target = InplaceEditor();
    if (!target || !target->HandleAllocated()) return false;
    const std::u16string title = Utf8ToWide(FInvalidEntryTitle);
    const std::u16string text = Utf8ToWide(FInvalidEntryText);
    EDITBALLOONTIP tip;
    tip.pszTitle = title.c_str();
    tip.pszText = text.c_str();
    tip.ttiIcon = int(FInvalidEntryIcon);
    SendMessage(target->Handle(), EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
    return false;
}

bool TQorStringGrid::ValidateCell(const std::string& NewValue) {
    if (!FEditing || FValidating) return true;
    FEditing = false;
    FValidating = true;
    bool Valid = true;
    const int ACol = RealColIndexOf(FOldCol);
    const int ARow = FOldRow;
    FNewCellText = NewValue;
    // Whatever a handler raises, the grid takes a new reference and can validate again.
    struct Finish {
        TQorStringGrid* g;
        ~Finish() {
            g->StoreOldCell(g->Col(), g->Row());
            g->FValidating = false;
        }
    } finish{this};
    if (NewValue != FOldCellText || FAlwaysValidate) {
        const bool changed = NewValue != FOldCellText;
        std::string Value = NewValue;
        {
            // A handler's focus moves must not advance the cell.
            const bool advance = FNavigation->AdvanceOnEnter();
            FNavigation->SetAdvanceOnEnter(false);
            struct RestoreAdvance {
                TNavigation* n;
                bool v;
                ~RestoreAdvance() { n->SetAdvanceOnEnter(v); }
            } restoreAdvance{FNavigation.get(), advance};
            if (FCellChecker && FCellChecker->AutoCorrect())
                Value = FCellChecker->Correct(ACol, ARow, Value);
            if (OnCellValidate) OnCellValidate(this, ACol, ARow, Value, Valid);
            if (FCellChecker && FCellChecker->AutoMarkError())
                Value = FCellChecker->MarkError(ACol, ARow, Value);
            // Only an accepted change marks the grid and the row as modified.
            if (Valid && Value != FOldCellText) {
                FGridModified = true;
                if (FixedCols() > 0) SetRowModified(Row(), true);
            }
            if (Valid) UpdateColumnFooter(ACol, ARow);
            if (auto* undo = dynamic_cast<TQorGridUndoRedo*>(UndoRedo()); undo && Valid)
                undo->RegisterChange(ACol, ARow, FOldCellText, Value);
            if (Valid && changed) CellsChanged(TRect{ACol, ARow, ACol, ARow});
        }
        FNewCellText = Value;
        if (Valid) {
            SetCellEx(ACol, ARow, Value);
            if (const TPoint base = BaseCell(ACol, ARow); base.X != ACol || base.Y != ARow)
                SetCellEx(base.X, base.Y, Value);
        } else {
            refuseEdit(Value, NewValue);
        }
        FOldCellText = GridCells(ACol, ARow);
    }
    if (Valid) HideFocusWindow();
    return Valid;
}

bool TQorStringGrid::ValidateCellWide(const std::u16string& NewValue) {
    if (!FEditing || FValidating) return true;
    FEditing = false;
    FValidating = true;
    bool Valid = true;
    const int ACol = RealColIndexOf(FOldCol);
    const int ARow = FOldRow;
    struct Finish {
        TQorStringGrid* g;
        ~Finish() {
            g->StoreOldCell(g->Col(), g->Row());
            g->FValidating = false;
        }
    } finish{this};
    if (NewValue != FOldCellTextWide || FAlwaysValidate) {
        const bool changed = NewValue != FOldCellTextWide;
        std::u16string Value = NewValue;
        UpdateColumnFooter(ACol, ARow);
        if (OnCellValidateWide) OnCellValidateWide(this, ACol, ARow, Value, Valid);
        if (Valid && changed) {
            FGridModified = true;
            if (FixedCols() > 0) SetRowModified(FOldRow, true);
            CellsChanged(TRect{ACol, ARow, ACol, ARow});
        }
        if (Valid)
            SetWideCells(ACol, ARow, Value);
        else
            refuseEdit(WideToUtf8(Value), WideToUtf8(NewValue));
        FOldCellTextWide = WideCells(ACol, ARow);
    }
    return Valid;
}

void TQorStringGrid::RegisterNotifier(TGridChangeNotifier* ANotifier) {
    if (!ANotifier ||
        std::find(FNotifiers.begin(), FNotifiers.end(), ANotifier) != FNotifiers.end())
        return;
    FNotifiers.push_back(ANotifier);
    ANotifier->FreeNotification(this);
}

void TQorStringGrid::UnRegisterNotifier(TGridChangeNotifier* ANotifier) {
    std::erase(FNotifiers, ANotifier);
}

// --- notification hooks -----------------------------------------------------------------------
void TQorStringGrid::FixedEdit(int ACol, int ARow, TGridFixedCellEditor& AEditor,
                               TStrings* Values) {
    if (OnFixedEdit) OnFixedEdit(this, ACol, ARow, AEditor, Values);
}

void TQorStringGrid::SelectionChanged(int ALeft, int ATop, int ARight, int ABottom) {
    if (FLook == glVista || FLook == glWin7 || FLook == glOffice2007)
        InvalidateRect(TGridRect{ALeft, ATop, ARight, ABottom});
    FSelChange = true;
    if (OnSelectionChanged) OnSelectionChanged(this, ALeft, ATop, ARight, ABottom);
}

std::string TQorStringGrid::EllipsClick(const std::string& Text) {
    std::string s = Text;
    if (OnEllipsClick) OnEllipsClick(this, RealColIndexOf(Col()), Row(), s);
    return s;
}

void TQorStringGrid::SaveCellText(int ACol, int ARow, std::string& Text) {
    // A merged area's text is saved once, with its base cell.
    if (IsMergedNonBaseCell(ACol, ARow))
        Text.clear();
    else
        Text = FFlags.SaveVirtCells ? GetFormattedCell(ACol, ARow) : GridCells(ACol, ARow);
    TCheckBoxState state;
    if (Text.empty() && GetCheckBoxState(ACol, RealRowIndex(ARow), state)) {
        if (state == cbChecked)
            GetCheckTrue(ACol, ARow, Text);
        else
            GetCheckFalse(ACol, ARow, Text);
    }
    if (Text.starts_with("{\\")) {
        // Rich text: kept on one line with SaveWithRTF, else its plain text.
        if (FFlags.SaveWithRTF) {
            std::erase(Text, '\r');
            std::erase(Text, '\n');
        } else {
            TRichText rich;
            rich.Load(Text);
            Text = rich.PlainText();
        }
    } else if (!FFlags.SaveWithHTML) {
        Text = HTMLStripTags(Text);
    }
    if (OnSaveCell) OnSaveCell(this, ACol, ARow, Text);
}

void TQorStringGrid::LoadCellText(int ACol, int ARow, const std::string& Text) {
    if (!OnLoadCell) {
        SetGridCells(ACol, ARow, Text);
        return;
    }
    std::string value = Text;
    OnLoadCell(this, ACol, ARow, value);
    SetGridCells(ACol, ARow, value);
}

void TQorStringGrid::DropDownHeaderButtonClick(int ButtonIndex) {
    if (OnDropDownHeaderButtonClick) OnDropDownHeaderButtonClick(this, Col(), Row(), ButtonIndex);
}

void TQorStringGrid::DropDownFooterButtonClick(int ButtonIndex) {
    if (OnDropDownFooterButtonClick) OnDropDownFooterButtonClick(this, Col(), Row(), ButtonIndex);
}

void TQorStringGrid::UnitChanged(const std::string& NewUnit) {
    if (OnUnitChanged) OnUnitChanged(this, Col(), Row(), NewUnit);
}
