#include "grid/editors/FixedCellEditors.h"

#include "grid/core/QorStringGrid.h"

TQorStringGrid* FixedCellEditorGrid(TComponent* AOwner) {
    return dynamic_cast<TQorStringGrid*>(AOwner);
}

bool StopFixedCellEdit(TWinControl& Editor, TQorStringGrid* Grid, int ACol, int ARow) {
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
    const bool focused = Editor.Focused();
    Editor.SetVisible(false);
    if (focused && Grid->CanFocus()) Grid->SetFocus();
    return true;
}
