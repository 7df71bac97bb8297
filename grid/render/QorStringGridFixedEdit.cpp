// TQorStringGrid's fixed cells as inputs: their inline editors, opened by a click or double
// click as MouseActions asks, and the drop-down button at a header's right edge.
#include "grid/core/QorStringGrid.h"
#include "grid/editors/FixedCellEditors.h"
#include "grid/render/ControlLook.h"
#include "platform/ui/Menus.h"

void TQorStringGrid::SetFixedDropDownMenu(TPopupMenu* v) {
    if (FFixedDropDownMenu) FFixedDropDownMenu->RemoveFreeNotification(this);
    FFixedDropDownMenu = v;
    if (v) v->FreeNotification(this);
}

void TQorStringGrid::EditFixedCell(int ACol, int ARow) {
    if (!FEditTrans || !FComboTrans) return;
    // An open fixed-cell edit that may not end keeps its place.
    if (FEditTrans->Visible() && !FEditTrans->StopEdit()) return;
    if (FComboTrans->Visible() && !FComboTrans->StopEdit()) return;
    bool canEdit = true;
    if (OnCanEditCell) OnCanEditCell(this, ARow, ACol, canEdit);
    if (!canEdit) return;
    TGridFixedCellEditor kind =
        ACol == 0 ? FMouseActions->FixedColsEditor() : FMouseActions->FixedRowsEditor();
    FComboTrans->Items()->Assign(FMouseActions->FixedComboValues());
    FixedEdit(ACol, ARow, kind, FComboTrans->Items());
    TRect r = CellRect(ACol, ARow);
    InflateRect(r, -1, -1);
    const int rc = RealColIndex(ACol);
    TWinControl* editor = nullptr;
    if (kind == fceEdit) {
        FEditTrans->OnChange = nullptr;
        FEditTrans->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        FEditTrans->SetText(Cells(rc, ARow));
        FEditTrans->SetCol(rc);
        FEditTrans->SetRow(ARow);
        FEditTrans->OnChange = [this](TObject* Sender) { fixedEditChange(Sender); };
        editor = FEditTrans;
    } else {
        FComboTrans->OnChange = nullptr;
        FComboTrans->SetStyle(kind == fceComboEdit ? csDropDown : csDropDownList);
        FComboTrans->SetBounds(r.Left - 1, r.Top - 1, r.Width() + 1, r.Height());
        FComboTrans->SetText(Cells(rc, ARow));
        FComboTrans->SetCol(rc);
        FComboTrans->SetRow(ARow);
        FComboTrans->OnChange = [this](TObject* Sender) { fixedEditChange(Sender); };
        editor = FComboTrans;
    }
    editor->SetVisible(true);
    if (editor->CanFocus()) editor->SetFocus();
}

void TQorStringGrid::leaveFixedCellEditor() {
    for (TWinControl* e :
         {static_cast<TWinControl*>(FEditTrans), static_cast<TWinControl*>(FComboTrans)})
        if (e && e->Visible() && e->Focused() && CanFocus()) SetFocus();
}

void TQorStringGrid::fixedEditChange(TObject* Sender) {
    if (!OnEditChange) return;
    if (auto* e = dynamic_cast<TGridTransEdit*>(Sender))
        OnEditChange(this, e->Col(), e->Row(), e->Text());
    else if (auto* c = dynamic_cast<TGridTransCombo*>(Sender))
        OnEditChange(this, c->Col(), c->Row(), c->Text());
}

void TQorStringGrid::fixedCellEditClick(TMouseButton Button, int ACol, int ARow, int X, int Y) {
    if (ACol < 0 || ARow < 0 || (ACol >= FixedCols() && ARow >= FixedRows())) return;
    const TMouseActions* ma = FMouseActions.get();
    const bool fixedRow = ARow < FixedRows(), fixedCol = ACol < FixedCols();
    if (Button == mbLeft) {
        TRect inner = CellRect(ACol, ARow);
        InflateRect(inner, -4, -4);
        const bool inside = inner.Contains(TPoint{X, Y});
        if ((fixedRow && ma->FixedRowsEdit() == fceLeftClick &&
             (!Options().Contains(goColSizing) || inside)) ||
            (fixedCol && ma->FixedColsEdit() == fceLeftClick &&
             (!Options().Contains(goRowSizing) || inside)))
            EditFixedCell(ACol, ARow);
    } else if (Button == mbRight) {
        if ((fixedRow && ma->FixedRowsEdit() == fceRightClick) ||
            (fixedCol && ma->FixedColsEdit() == fceRightClick))
            EditFixedCell(ACol, ARow);
    }
}

bool TQorStringGrid::fixedDropDownPress(int ACol, int ARow, int X) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return false;
    const TRect r = CellRect(ACol, ARow);
    const int margin = Options().Contains(goColSizing) ? 2 : 0;
    // Right to left the button lies mirrored, at the cell's left end.
    if (UseRightToLeftAlignment()) X = r.Left + r.Right - 1 - X;
    if (!(X > r.Right - 16 && X < r.Right - margin) || !IsHoverFixedCell(ACol, ARow) ||
        !FControlLook->FixedDropDownButton())
        return false;
    FDropDownDown = true;
    if (!FFixedDropDownMenu && !OnFixedDropDownClick) return true;
    FNoMouseLeave = true;
    TPopupMenu* menu = FFixedDropDownMenu;
    if (menu) menu->SetTag(ACol);
    bool keep = false;
    if (OnFixedDropDownClick) OnFixedDropDownClick(this, ACol, ARow, menu, keep);
    if (menu) {
        const TPoint at =
            ClientToScreen(TPoint{UseRightToLeftAlignment() ? r.Left : r.Right - 16, r.Bottom});
        FHoverFixedX = ACol;
        FHoverFixedY = ARow;
        RepaintCell(ACol, ARow);
        menu->Popup(at.X, at.Y);
        FHoverFixedX = FHoverFixedY = -1;
        RepaintCell(ACol, ARow);
    }
    FMouseDownMove = false;
    FNoMouseLeave = keep;
    return true;
}
