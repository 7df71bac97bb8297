// TQorStringGrid's drop-down editors: made on first use through the maker the drop-down controls
// library installs, opened over the cell with its value, and their value written back when the
// edit ends.
#include "grid/core/QorStringGrid.h"
#include "grid/editors/DropDownCellEditor.h"
#include "grid/render/ControlLook.h"

namespace {
TDropDownCellEditorMaker dropDownMaker = nullptr;
} // namespace

void SetDropDownCellEditorMaker(TDropDownCellEditorMaker Maker) {
    dropDownMaker = Maker;
}

TDropDownCellEditor* TQorStringGrid::DropDownEditor(TEditorType Kind) {
    if (!IsDropDownEditorKind(Kind)) return nullptr;
    TDropDownCellEditor*& editor = FDropDownEditors[Kind - edTrackbarDropDown];
    if (!editor && dropDownMaker) editor = dropDownMaker(this, Kind);
    return editor;
}

void TQorStringGrid::openDropDownEditor(int ACol, int ARow, const TRect& Cell, TColor CellColor) {
    TDropDownCellEditor* editor = DropDownEditor(FEditControl);
    if (!editor) return;
    const int rc = RealColIndexOf(ACol);
    TWinControl* control = editor->EditorControl();
    FEditMode = true;
    editor->TakeGridLooks(FControlLook->DropDownHeader(), FControlLook->DropDownFooter(), FStyle);
    editor->BeforeEditorProp(CellColor);
    GetEditorProp(rc, ARow, FEditLink);
    editor->AfterEditorProp();
    control->SetBounds(Cell.Left, Cell.Top, 0, 0);
    control->SetEnabled(true);
    control->SetBounds(Cell.Left, Cell.Top, Cell.Right - Cell.Left - 1, Cell.Bottom - Cell.Top - 1);
    editor->LoadCellValue(rc, ARow, GetEditText(ACol, ARow));
    control->SetColor(CellColor);
    control->SetVisible(true);
    if (control->CanFocus()) control->SetFocus();
    postStartChar(control);
    if (FMouseActions->DirectComboDrop()) editor->DropDown();
    editor->EditorShown();
    FEditCtrl = control;
}

void TQorStringGrid::commitDropDownEditor(int ACol, int ARow) {
    TDropDownCellEditor* editor = FDropDownEditors[FEditControl - edTrackbarDropDown];
    // Stores only while the edit runs: a second close stores nothing.
    if (!editor || !FEditMode) return;
    FEditMode = false;
    editor->StoreCellValue(RealColIndexOf(ACol), ARow);
    hideEditorControl(editor->EditorControl());
}
