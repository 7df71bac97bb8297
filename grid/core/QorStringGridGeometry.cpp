// Counts, fixed rows and columns, the current cell, top row and selection of the string grid,
// column stretching and sizing reactions, the footer row and the export range.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/render/FloatingFooter.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

// --- counts ----------------------------------------------------------------------------------

void TQorStringGrid::SetRowCount(int Value) {
    if (FFixedRowAlways && FSelHidden && RowCount() <= FixedRows()) UnHideSelection();
    const int oldCount = RowCount();
    const bool moveFooter = FFloatingFooter && FFloatingFooter->Visible() && Value != oldCount &&
                            Value >= 1 && oldCount >= 1;
    // The footer row leaves its place with its texts and objects (nothing is freed).
    std::vector<std::pair<std::string, TObject*>> footer;
    if (moveFooter)
        for (int c = 0; c < TotalColCount(); ++c) {
            footer.emplace_back(GridCells(c, oldCount - 1), GridObjects(c, oldCount - 1));
            SetGridObjects(c, oldCount - 1, nullptr);
            SetGridCells(c, oldCount - 1, "");
        }
    TBaseGrid::SetRowCount(Value);
    if (FFixedRowsMin < RowCount() && FFixedRowAlways && TBaseGrid::FixedRows() != FFixedRowsMin)
        TBaseGrid::SetFixedRows(FFixedRowsMin);
    FMaxRowCount = std::max(FMaxRowCount, Value);
    FNormalRowCount = RowCount();
    UpdateFooter();
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
    UpdateScrollBarsAlways(false);
    if (!moveFooter) return;
    const int last = RowCount() - 1;
    for (int c = 0; c < int(footer.size()); ++c) {
        // The row the footer lands on gives up its own cells (when shrinking).
        if (HasCellProperties(c, last)) FreeCellProperties(c, last);
        SetGridCells(c, last, footer[std::size_t(c)].first);
        SetGridObjects(c, last, footer[std::size_t(c)].second);
    }
    CalcFooter(-1);
}

void TQorStringGrid::SetColCount(int Value) {
    TBaseGrid::SetColCount(Value);
    if (FFixedColsMin < ColCount() && FFixedColAlways && TBaseGrid::FixedCols() != FFixedColsMin)
        TBaseGrid::SetFixedCols(FFixedColsMin);
    FMaxColCount = std::max(FMaxColCount, Value);
    UpdateFooter();
    // The same bounds again, so that the layout follows the new columns.
    SetBounds(Left(), Top(), Width(), Height());
    UpdateProportionalHScroll();
    UpdateProportionalVScroll();
    UpdateScrollBarsAlways(false);
}

void TQorStringGrid::SizeChanged(int OldColCount, int OldRowCount) {
    TBaseGrid::SizeChanged(OldColCount, OldRowCount);
    // Rows inserted, removed or hidden change the count without the setter; the display hooks
    // cover every row of the grid.
    FNormalRowCount = RowCount();
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
}

int TQorStringGrid::FixedRows() const {
    const int n = TBaseGrid::FixedRows();
    return n == 0 && FFixedRowAlways ? 1 : n;
}

void TQorStringGrid::SetFixedRows(int Value) {
    TBaseGrid::SetFixedRows(FFixedRowAlways && Value >= RowCount() ? RowCount() - 1 : Value);
    // The count asked for comes back when rows are added.
    if (!Loading()) FFixedRowsMin = Value;
}

int TQorStringGrid::FixedCols() const {
    const int n = TBaseGrid::FixedCols();
    return n == 0 && FFixedColAlways ? 1 : n;
}

void TQorStringGrid::SetFixedCols(int Value) {
    TBaseGrid::SetFixedCols(FFixedColAlways && Value >= ColCount() ? ColCount() - 1 : Value);
    if (!Loading()) FFixedColsMin = Value;
}

void TQorStringGrid::SetFixedColWidth(int Value) {
    if (Loading() || Value == DefaultColWidth()) return;
    for (int c = 0; c < TBaseGrid::FixedCols(); ++c) SetColWidths(c, Value);
}

void TQorStringGrid::SetFixedRowHeight(int Value) {
    FFixedRowHeight = Value;
    if (Loading()) return;
    if (Value == DefaultRowHeight()) {
        TBaseGrid::SetDefaultRowHeight(Value);
        return;
    }
    for (int r = 0; r < TBaseGrid::FixedRows(); ++r) SetRowHeights(r, Value);
}

void TQorStringGrid::SetDefaultRowHeight(int Value) {
    TBaseGrid::SetDefaultRowHeight(Value);
    if (Designing()) FFixedRowHeight = Value;
    if (FFloatingFooter) FFloatingFooter->SetHeight(Value);
}

void TQorStringGrid::SetVAlignment(TVAlignment v) {
    FVAlignment = v;
    FVAlign = v == vtaCenter ? DT_VCENTER : v == vtaBottom ? DT_BOTTOM : 0;
    if (!UpdateLocked()) Invalidate();
}

void TQorStringGrid::SetAutoSize(bool v) {
    FAutoSize = v;
    if (v && !Loading()) AutoSizeColumns(false, 10);
}

void TQorStringGrid::SetWordWrap(bool v) {
    TBaseGrid::SetWordWrap(v);
    if (!UpdateLocked()) Invalidate();
}

// --- current cell, top row and selection -------------------------------------------------------

void TQorStringGrid::SetCol(int Value) {
    TBaseGrid::SetCol(Value);
    if (FSyncGrid->SelectionColumn() && FSyncGrid->Grid()) FSyncGrid->Grid()->SetCol(Value);
}

void TQorStringGrid::SetRow(int Value) {
    if (Col() < 0 || Col() >= ColCount()) FocusCell(TBaseGrid::FixedCols(), Value, true);
    TBaseGrid::SetRow(Value);
    if (Row() != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, Row());
        FOldRowSel = Row();
    }
    if (FMouseActions->DisjunctRowSelect()) SelectionToRowSelect(false);
    if (FSyncGrid->SelectionRow() && FSyncGrid->Grid()) FSyncGrid->Grid()->SetRow(Value);
    if (Value == RowCount() - 1) KeepRowAboveSearchFooter();
}

void TQorStringGrid::SetTopRow(int Value) {
    if (Value >= FixedRows() && Value < RowCount()) TBaseGrid::SetTopRow(Value);
}

TGridRect TQorStringGrid::Selection() const {
    if (FSelHidden) return TGridRect{ColCount(), RowCount(), ColCount(), RowCount()};
    return TBaseGrid::Selection();
}

void TQorStringGrid::SetSelection(const TGridRect& Value) {
    TBaseGrid::SetSelection(Value);
    if (FActiveCellShow) {
        InvalidateRow(0);
        InvalidateCol(0);
    }
    if (ActiveRowShow()) InvalidateRow(TBaseGrid::Selection().Bottom);
}

void TQorStringGrid::HideSelection() {
    if (FSelHidden) return;
    FOldSelection = TBaseGrid::Selection();
    FSelHidden = true;
    Invalidate();
}

void TQorStringGrid::UnHideSelection() {
    FSelHidden = false;
    if (FOldSelection.Top < RowCount() && FOldSelection.Left < ColCount()) {
        SetSelection(FOldSelection);
    } else {
        const int r = FFixedRowAlways && FixedRows() == RowCount() ? 0 : FixedRows();
        const int c = FFixedColAlways && FixedCols() == ColCount() ? 0 : FixedCols();
        SetSelection(TGridRect{c, r, c, r});
    }
    Invalidate();
}

// --- export range ------------------------------------------------------------------------------

int TQorStringGrid::SaveStartCol() const {
    return FFlags.SaveFixedCells || FFlags.SaveFixedCols ? 0 : FixedCols();
}

int TQorStringGrid::SaveStartRow() const {
    return FFlags.SaveFixedCells || FFlags.SaveFixedRows ? 0 : FixedRows();
}

int TQorStringGrid::SaveEndCol() const {
    return FFlags.SaveFixedCells ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
}

int TQorStringGrid::SaveEndRow() const {
    return FFlags.SaveFixedCells ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
}

int TQorStringGrid::SaveColCount() const {
    return FFlags.SaveFixedCells ? ColCount() : ColCount() - FixedCols() - FFixedRightCols;
}

int TQorStringGrid::SaveRowCount() const {
    return FFlags.SaveFixedCells ? RowCount() : RowCount() - FixedRows() - FFixedFooters;
}

std::u16string TQorStringGrid::WideCells(int ACol, int ARow) {
    return Utf8ToWide(Cells(ACol, ARow));
}

void TQorStringGrid::SetWideCells(int ACol, int ARow, const std::u16string& Value) {
    SetCells(ACol, ARow, WideToUtf8(Value));
}

// --- hit tests ---------------------------------------------------------------------------------

void TQorStringGrid::ScreenToCell(TPoint pt, int& ACol, int& ARow) {
    const TPoint p = ScreenToClient(pt);
    MouseToCell(p.X, p.Y, ACol, ARow);
}

bool TQorStringGrid::IsOnSizingBorder(int X, int Y) {
    int c = -1, r = -1;
    MouseToCell(X, Y, c, r);
    if (c < 0 || r < 0) return false;
    const TRect cr = CellRect(c, r);
    bool on = false;
    if (r <= FixedRows() && Options().Contains(goColSizing))
        on = std::abs(X - cr.Left) < 4 || std::abs(X - cr.Right) < 4;
    if (c <= FixedCols() && Options().Contains(goRowSizing))
        on = std::abs(Y - cr.Top) < 4 || std::abs(Y - cr.Bottom) < 4;
    return on;
}

// --- stretching and sizing -----------------------------------------------------------------------

void TQorStringGrid::StretchColumn(int Index) {
    if (Loading() || IsDestroying()) return;
    if (Index == -1) Index = ColCount() - 1;
    if (Index >= ColCount()) throw Exception("Stretch column index out of range");
    if (ColCount() == 0 || !FColumnSize->Stretch() || FIsColChanging || Index < 0) return;
    FIsColChanging = true;
    ColchgFlg = false;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{FIsColChanging};
    const int client = CellAreaWidth();
    if (ColCount() == 1) {
        SetColWidths(Index, client);
    } else {
        int others = 0;
        for (int c = 0; c < ColCount(); ++c)
            if (c != Index) others += ColWidths(c);
        if (others < client)
            SetColWidths(Index, client - others - 1);
        else if (LeftCol() == TBaseGrid::FixedCols())
            SetColWidths(Index, DefaultColWidth());
    }
    ColchgFlg = true;
}

void TQorStringGrid::ColWidthsChanged() {
    if (ColchgFlg) StretchColumn(FColumnSize->StretchColumn());
    TBaseGrid::ColWidthsChanged();
    if (ColSized && Colclicked >= 0 && Colclicked < ColCount()) {
        const int col = Colclicked;
        const int width = ColWidths(col);
        // Forget the sizing first: the widths set below come back here.
        ColSized = false;
        Colclicked = -1;
        Rowclicked = -1;
        if (FMouseActions->AllColumnSize() && Colclickedsize > 0)
            for (int c = TBaseGrid::FixedCols(); c < ColCount(); ++c)
                if (c != col)
                    SetColWidths(c,
                                 int(std::lround(double(ColWidths(c)) * width / Colclickedsize)));
        if (OnEndColumnSize) OnEndColumnSize(this, col);
        int asked = width;
        UpdateColumnSize(col, asked);
        if (asked != width) SetColWidths(col, asked);
    }
    UpdateFooter();
}

void TQorStringGrid::RowHeightsChanged() {
    TBaseGrid::RowHeightsChanged();
    if (!Rowsized || Rowclicked < 0 || Rowclicked >= RowCount()) return;
    const int row = Rowclicked;
    const int height = RowHeights(row);
    Rowsized = false;
    Colclicked = -1;
    Rowclicked = -1;
    if (FMouseActions->AllRowSize() && Rowclickedsize > 0)
        for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
            if (r != row)
                SetRowHeights(r, int(std::lround(double(RowHeights(r)) * height / Rowclickedsize)));
    if (OnEndRowSize) OnEndRowSize(this, row);
}

// --- footer row and rows added -------------------------------------------------------------------

void TQorStringGrid::LastRowChanged() {
    TBaseGrid::LastRowChanged();
    UpdateFooter();
}

void TQorStringGrid::CalcFooterValues(int ACol) {
    if (!FFloatingFooter->ShowsLastRow() || !FFloatingFooter->EnableCalculation()) return;
    const int last = RowCount() - 1;
    const int hidden = FFloatingFooter->CalculateHiddenRows() ? NumHiddenRows() : 0;
    const int from = ACol < 0 ? 0 : ACol;
    const int to = ACol < 0 ? AllColCount() - 1 : ACol;
    for (int c = from; c <= to; ++c) {
        if (!HasCellProperties(c, last)) continue;
        switch (propsOf(c, last)->CalcType()) {
        case acCOUNT:
            SetInts(c, last, RowCount() - FixedRows() - 1 + hidden);
            break;
        case acCUSTOM: {
            std::string value;
            if (OnCalcFooter)
                OnCalcFooter(this, c, last + hidden, value);
            else if (FFloatingFooter->OnCalcFooter)
                FFloatingFooter->OnCalcFooter(this, c, last + hidden, value);
            else
                value.clear();
            SetCells(c, last, value);
            break;
        }
        default:
            // Sums, averages, extremes, distinct counts and deviations come with the column
            // calculations.
            break;
        }
    }
}

void TQorStringGrid::CanAddRow(bool& CanAdd) {
    if (OnCanAddRow) OnCanAddRow(this, CanAdd);
}

void TQorStringGrid::CanInsertRow(int ARow, bool& CanInsert) {
    if (OnCanInsertRow) OnCanInsertRow(this, ARow, CanInsert);
}
