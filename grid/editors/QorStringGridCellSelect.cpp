// TQorStringGrid: which cells may be edited, and what happens when the current cell is about to
// move: the edit of the old cell is validated and goEditing follows the new cell, so that a grid
// is edited cell by cell without setting goEditing itself.
#include "grid/core/QorStringGrid.h"
#include "grid/data/SearchPanel.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"

bool TQorStringGrid::IsEditable(int ACol, int ARow) {
    if (Options().Contains(goEditing) || FMouseActions->RangeSelectAndEdit() || FEditDisable)
        return CanEditCell(ACol, ARow);
    return false;
}

bool TQorStringGrid::CanEditCell(int ACol, int ARow) {
    const TPoint base = BaseCell(ACol, ARow);
    bool allow = true;
    IsEditableCell(base.X, base.Y, allow);
    // The fixed-cell hook takes a display column.
    bool fixed = false;
    IsFixedCell(DisplColIndexOf(base.X), base.Y, fixed);
    return allow && !fixed;
}

bool TQorStringGrid::IsFixed(int ACol, int ARow) {
    const int rc = RealColIndexOf(ACol);
    const TPoint base = rc >= 0 ? BaseCell(rc, ARow) : TPoint{ACol, ARow};
    const int dc = rc >= 0 ? DisplColIndexOf(base.X) : ACol;
    if (base.Y >= RowCount() - FFixedFooters) return true;
    if (dc >= ColCount() - FFixedRightCols) return true;
    bool fixed = false;
    IsFixedCell(dc, base.Y, fixed);
    return fixed;
}

void TQorStringGrid::RepaintActiveHeaders(int OldCol, int OldRow, int NewRow, int NewCol) {
    auto headers = [this](int c, int r) {
        if (FixedRows() > 0 && c >= 0 && c < ColCount()) RepaintCell(c, FixedRows() - 1);
        if (FixedCols() > 0 && r >= 0 && r < RowCount()) RepaintCell(FixedCols() - 1, r);
    };
    headers(OldCol, OldRow);
    headers(NewCol, NewRow);
}

void TQorStringGrid::CellChanging(int ACol, int ARow, bool& Allow) {
    if (ARow != Row() && OnRowChanging) OnRowChanging(this, Row(), ARow, Allow);
    if (ACol != Col() && OnColChanging) OnColChanging(this, Col(), ACol, Allow);
    if ((ACol != Col() || ARow != Row()) && !FDisableChange && OnCellChanging)
        OnCellChanging(this, Row(), Col(), ARow, ACol, Allow);
}

void TQorStringGrid::PrintGetPageNum(int PageNum, int PageColNum, std::string& PageNumString) {
    if (OnPrintGetPageNum) OnPrintGetPageNum(this, PageNum, PageColNum, PageNumString);
}

bool TQorStringGrid::CanShowFixedDropDown(int ACol) {
    bool can = true;
    if (OnCanShowFixedDropDown) OnCanShowFixedDropDown(this, ACol, can);
    return can;
}

void TQorStringGrid::StartBlockFocus() {
    if (OnStartBlockFocus) OnStartBlockFocus(this);
}

void TQorStringGrid::EndBlockFocus() {
    if (OnEndBlockFocus) OnEndBlockFocus(this);
}

bool TQorStringGrid::IsDesigning(bool& Value) {
    Value = Designing();
    return Value;
}

void TQorStringGrid::setEditingOption(bool On) {
    TGridOptions o = Options();
    if (o.Contains(goEditing) == On) return;
    if (On)
        o.Include(goEditing);
    else
        o.Exclude(goEditing);
    FEditChange = true;
    try {
        SetOptions(o);
    } catch (...) {
        FEditChange = false;
        throw;
    }
    // A switch that asked for no repaint leaves nothing to drop later.
    FEditChange = false;
}

// The rows scroll so that the target row shows above the floating footer and the search panel.
void TQorStringGrid::clearFooters(int ARow) {
    if (ARow < 0) return;
    const int searchHeight =
        FSearchFooter->Visible() && FSearchPanel ? FSearchPanel->Height() + 2 : 0;
    auto hiddenBelow = [&](int footerHeight) {
        return CalcCellRect(FixedCols(), ARow).Bottom > ClientHeight() - footerHeight + 2;
    };
    if (FFloatingFooter->Visible()) {
        const int footer = FFloatingFooter->Height() + searchHeight;
        if (FFloatingFooter->FooterStyle() == fsFixedLastRow) {
            const int lastVisible = TopRow() + VisibleRowCount() - 1;
            if (ARow > lastVisible && ARow < RowCount())
                SetTopRow(ARow - VisibleRowCount() + FixedRows());
            if (ARow < RowCount() - 1 && hiddenBelow(footer)) SetTopRow(TopRow() + 1);
        } else {
            if (FFooterPanel) FFooterPanel->Invalidate();
            if (ARow < RowCount() && hiddenBelow(footer)) SetTopRow(TopRow() + 1);
        }
    }
    if (FSearchFooter->Visible()) {
        while (ARow < RowCount() && TopRow() < RowCount() - 1 && hiddenBelow(searchHeight - 2)) {
            const int top = TopRow();
            SetTopRow(top + 1);
            if (TopRow() == top) break;
        }
    }
}

bool TQorStringGrid::SelectCell(int ACol, int ARow) {
    const TGridRect prevSel = Selection();
    const int oldCol = Col(), oldRow = Row();
    auto repaintIndicators = [&] {
        if (FixedCols() > 0 && !FRowIndicator->Empty()) {
            RepaintCell(0, oldRow);
            RepaintCell(0, ARow);
        }
    };
    if (FForceSel) {
        repaintIndicators();
        return true;
    }
    if (!Parent()) return true;
    const int realCol = ACol >= 0 ? RealColIndexOf(ACol) : -1;
    FEditText = realCol >= 0 && ARow >= 0 ? GridCells(realCol, ARow) : std::string();

    clearFooters(ARow);
    // The footer row of the fsFixedLastRow footer is no cell to edit.
    if (FFloatingFooter->ShowsLastRow() && ARow == RowCount() - 1) return false;
    if (ACol < 0 || ARow < 0 || realCol < 0) return false;

    // A merged cell is entered through its base cell.
    if (IsMergedNonBaseCell(realCol, ARow) && !Options().Contains(goRangeSelect)) {
        const TPoint base = BaseCell(realCol, ARow);
        FocusCell(DisplColIndexOf(base.X), base.Y, true);
        RepaintCell(Col(), Row());
        if (FMouseActions->DirectEdit() ||
            (FControlLook->DropDownAlwaysVisible() && HasComboBox(base.X, base.Y)))
            ShowEditor();
        return false;
    }
    if (HasNodes() && ACol == 0 && !Options().Contains(goRowSelect)) return false;
    if (FUseEnabledRows && FNavigation->SkipDisabledRows() && !RowEnabled(ARow)) return false;

    // goEditing follows the target cell.
    std::string newText = FEditText;
    const bool editing = Options().Contains(goEditing);
    const bool rangeEdit = FMouseActions->RangeSelectAndEdit();
    if (IsControlCell(realCol, ARow)) {
        bool allow = true;
        IsEditableCell(realCol, ARow, allow);
        if (!FEditDisable) FEditDisable = !allow && (editing || rangeEdit);
        if (!editing && !Options().Contains(goRowSelect) && allow) setEditingOption(true);
    } else {
        bool allow = editing || FEditDisable;
        IsEditableCell(realCol, ARow, allow);
        if (allow && FMouseActions->DirectEdit()) {
            FEditControl = FDefaultEditor;
            if (IsNoEditor(realCol, ARow)) allow = false;
        }
        if (FMouseActions->EditOnDblClickOnly()) allow = false;
        if (allow) {
            FEditDisable = false;
            if (!editing) {
                if (!FEditing) StoreOldCell(ACol, ARow);
                if (Options().Contains(goRowSelect) && rangeEdit)
                    SetOptions(Options() - goRowSelect);
                setEditingOption(true);
            }
        }
        if (FEditing && FEditMode) {
            HideInplaceEdit();
            newText = GridCells(realCol, ARow);
        }
        if (!allow && Options().Contains(goEditing)) {
            FEditMode = false;
            FEditDisable = true;
            setEditingOption(false);
            SetEditorMode(false);
        }
    }

    if (FSelListener) FSelListener->CellSelected(ACol, ARow);

    bool result = false;
    const bool textEditorFocused = InplaceEditor() && InplaceEditor()->Focused();
    if (FEditing && !textEditorFocused) {
        const std::string old = FCellCache;
        const int rc = RealColIndexOf(Col());
        const TPoint base = rc >= 0 ? BaseCell(rc, Row()) : TPoint{rc, Row()};
        const bool valid =
            rc < 0 || (IsWideCell(base.X, base.Y) ? ValidateCellWide(WideCells(base.X, base.Y))
                                                  : ValidateCell(CurrentCell()));
        bool allow = true;
        CellChanging(ACol, ARow, allow);
        result = valid && allow && TBaseGrid::SelectCell(ACol, ARow);
        if (!result) newText = old;
    } else {
        bool allow = true;
        CellChanging(ACol, ARow, allow);
        if (IsFixed(ACol, ARow) || !allow)
            result = (allow && Options().Contains(goRowSelect)) ||
                     (FFixedRowAlways && RowCount() == FixedRows());
        else
            result = TBaseGrid::SelectCell(ACol, ARow);
        if (!result) newText = FCellCache;
    }

    repaintIndicators();
    if (FActiveCellShow) {
        RepaintActiveHeaders(oldCol, oldRow, ARow, ACol);
        if (prevSel.Left != oldCol && prevSel.Top != oldRow)
            RepaintActiveHeaders(prevSel.Left, prevSel.Top, ARow, ACol);
    }
    if (ActiveRowShow()) {
        InvalidateRow(ARow);
        InvalidateRow(prevSel.Top);
    }
    if (FSelectionRectangle) InvalidateRect(prevSel);
    // Only a move to another row is a change of row, reported from the row the grid was on:
    // the current cell selected again (the focus arriving, an edit ending) changes none.
    // FOldRowSel is left to OnRowUpdate unless this event is handled.
    if (result && !Loading() && ARow != oldRow && OnRowChanged) {
        FOldRowSel = ARow;
        OnRowChanged(this, oldRow, ARow);
    }
    if (OnGetCellBorder)
        for (int r = prevSel.Top; r <= prevSel.Bottom && r < RowCount(); ++r) InvalidateRow(r);
    FCellCache = newText;
    return result;
}
