#pragma once
// The editors of fixed (header) cells: an edit box and a combo box the grid lays over the fixed
// cell it edits. Leaving the control ends the edit (StopEdit): the grid's OnCellValidate may
// refuse the text, which keeps the control open on its cell. Enter stays in the control.
#include "platform/ui/StdCtrls.h"

class TQorStringGrid;

// The end of a fixed-cell edit: the validated text into cell (ACol, ARow) and the editor
// hidden; false, with the editor kept open and focused, when the validation refused it.
bool StopFixedCellEdit(TWinControl& Editor, TQorStringGrid* Grid, int ACol, int ARow);
// The grid that owns a fixed-cell editor; nullptr for another owner.
TQorStringGrid* FixedCellEditorGrid(TComponent* AOwner);

template <class TControlBase> class TFixedCellEditor : public TControlBase {
public:
    // The owner is the grid whose fixed cells are edited; the control starts hidden.
    explicit TFixedCellEditor(TComponent* AOwner)
        : TControlBase(AOwner), FGrid(FixedCellEditorGrid(AOwner)) {
        this->SetVisible(false);
    }
    // The fixed cell being edited (real column, row).
    int Col() const { return FCol; }
    void SetCol(int v) { FCol = v; }
    int Row() const { return FRow; }
    void SetRow(int v) { FRow = v; }
    TQorStringGrid* Grid() const { return FGrid; }
    bool StopEdit() { return StopFixedCellEdit(*this, FGrid, FCol, FRow); }

protected:
    void DoExit() override {
        TControlBase::DoExit();
        if (this->Visible()) StopEdit();
    }
    void KeyPress(char32_t& Key) override {
        if (Key == '\r') {
            Key = 0;
            return;
        }
        TControlBase::KeyPress(Key);
    }

private:
    TQorStringGrid* FGrid;
    int FCol = 0;
    int FRow = 0;
};

class TGridTransEdit : public TFixedCellEditor<TCustomEdit> {
public:
    using TFixedCellEditor::TFixedCellEditor;
};

class TGridTransCombo : public TFixedCellEditor<TCustomComboBox> {
public:
    using TFixedCellEditor::TFixedCellEditor;
};
