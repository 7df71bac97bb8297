#include "grid/editors/FixedCellEditors.h"

#include "grid/core/QorStringGrid.h"

namespace {
// The end of a fixed-cell edit: OnCellValidate may change or refuse the text. Refused, the
// control stays open with the focus; accepted, the text goes into the cell and the control hides.
bool stopFixedEdit(TWinControl& Editor, TQorStringGrid* Grid, int ACol, int ARow) {
    if (!Grid) {
        Editor.SetVisible(false);
        return true;
    }
    std::string text = Editor.Text();
    bool valid = true;
    if (Grid->OnCellValidate) Grid->OnCellValidate(Grid, ACol, ARow, text, valid);
    if (!valid) {
        // A fixed row or column cannot be current: only the other axis follows the cell.
        const int displCol = Grid->DisplColIndex(ACol);
        if (displCol >= Grid->FixedCols() && displCol < Grid->ColCount()) Grid->SetCol(displCol);
        if (ARow >= Grid->FixedRows() && ARow < Grid->RowCount()) Grid->SetRow(ARow);
        if (Editor.CanFocus()) Editor.SetFocus();
        return false;
    }
    if (Grid->OnEditingDone) Grid->OnEditingDone(Grid);
    Grid->SetCells(ACol, ARow, text);
    Editor.SetVisible(false);
    return true;
}
} // namespace

TGridTransEdit::TGridTransEdit(TComponent* AOwner)
    : TCustomEdit(AOwner), FGrid(dynamic_cast<TQorStringGrid*>(AOwner)) {
    SetVisible(false);
}

bool TGridTransEdit::StopEdit() {
    return stopFixedEdit(*this, FGrid, FCol, FRow);
}

void TGridTransEdit::DoExit() {
    TCustomEdit::DoExit();
    if (Visible()) StopEdit();
}

void TGridTransEdit::KeyPress(char32_t& Key) {
    if (Key == '\r') {
        Key = 0;
        return;
    }
    TCustomEdit::KeyPress(Key);
}

TGridTransCombo::TGridTransCombo(TComponent* AOwner)
    : TCustomComboBox(AOwner), FGrid(dynamic_cast<TQorStringGrid*>(AOwner)) {
    SetVisible(false);
}

bool TGridTransCombo::StopEdit() {
    return stopFixedEdit(*this, FGrid, FCol, FRow);
}

void TGridTransCombo::DoExit() {
    TCustomComboBox::DoExit();
    if (Visible()) StopEdit();
}

void TGridTransCombo::KeyPress(char32_t& Key) {
    if (Key == '\r') {
        Key = 0;
        return;
    }
    TCustomComboBox::KeyPress(Key);
}
