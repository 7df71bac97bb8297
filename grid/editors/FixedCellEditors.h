#pragma once
// The editors of fixed (header) cells: an edit box and a combo box the grid lays over the fixed
// cell it edits. Leaving the control ends the edit (StopEdit): the grid's OnCellValidate may
// refuse the text, which keeps the control open on its cell.
#include "platform/ui/StdCtrls.h"

class TQorStringGrid;

class TGridTransEdit : public TCustomEdit {
public:
    // The owner is the grid whose fixed cells are edited; the control starts hidden.
    explicit TGridTransEdit(TComponent* AOwner);
    // The fixed cell being edited (real column, row).
    int Col() const { return FCol; }
    void SetCol(int v) { FCol = v; }
    int Row() const { return FRow; }
    void SetRow(int v) { FRow = v; }
    TQorStringGrid* Grid() const { return FGrid; }
    // Ends the edit: the validated text goes into the cell and the control hides; false when
    // the validation refused it.
    bool StopEdit();

protected:
    void DoExit() override;
    void KeyPress(char32_t& Key) override;

private:
    TQorStringGrid* FGrid;
    int FCol = 0;
    int FRow = 0;
};

class TGridTransCombo : public TCustomComboBox {
public:
    explicit TGridTransCombo(TComponent* AOwner);
    int Col() const { return FCol; }
    void SetCol(int v) { FCol = v; }
    int Row() const { return FRow; }
    void SetRow(int v) { FRow = v; }
    TQorStringGrid* Grid() const { return FGrid; }
    bool StopEdit();

protected:
    void DoExit() override;
    void KeyPress(char32_t& Key) override;

private:
    TQorStringGrid* FGrid;
    int FCol = 0;
    int FRow = 0;
};
