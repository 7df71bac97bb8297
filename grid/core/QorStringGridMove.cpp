// String grid column order and moving rows and columns, by program and by dragging a header.
// The platform grid moves the cells, widths (heights) and the current cell; the overrides of
// ColumnMoved and RowMoved keep everything else that belongs to a column or row in step.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/DataSettings.h"
#include "grid/render/AuxWindows.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/HeaderDragButton.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Where index i goes when the entry at From moves to To (the ones between shift by one).
int movedIndex(int i, int From, int To) {
    if (i == From) return To;
    if (From < To && i > From && i <= To) return i - 1;
    if (To < From && i >= To && i < From) return i + 1;
    return i;
}

template <typename T> void rotate(T* first, std::size_t size, int From, int To) {
    if (From == To || From < 0 || To < 0 || std::size_t(std::max(From, To)) >= size) return;
    if (From < To)
        std::rotate(first + From, first + From + 1, first + To + 1);
    else
        std::rotate(first + To, first + From, first + From + 1);
}

template <typename T> void rotateFlags(std::vector<T>& v, int From, int To) {
    const std::size_t need = std::size_t(std::max(From, To)) + 1;
    if (v.size() <= std::size_t(std::min(From, To))) return;
    if (v.size() < need) v.resize(need, 0);
    rotate(v.data(), v.size(), From, To);
}
} // namespace

// --- column order --------------------------------------------------------------------------

int TQorStringGrid::ColumnAtPosition(int ACol) {
    if (FColumnOrder->Count() == 0) {
        if (TotalColCount() == 0) return ACol;
        SetColumnOrder();
    }
    const int c = FColumnOrder->GetInteger(ACol);
    return FGroupColumn >= 0 && c >= FGroupColumn ? c + 1 : c;
}

void TQorStringGrid::ResetColumnOrder() {
    UnHideColumnsAll();
    if (FColumnOrder->Count() == 0) {
        SetColumnOrder();
        return;
    }
    // Each move puts a column before the ones recorded after it, like an insertion sort.
    for (bool moved = true; moved;) {
        moved = false;
        for (int i = 0; i < std::min(ColCount(), FColumnOrder->Count()); ++i) {
            const int to = FColumnOrder->GetInteger(i);
            if (to < i) {
                MoveColumn(i, to);
                moved = true;
            }
        }
    }
}

int TQorStringGrid::ColumnByHeader(const std::string& AValue) {
    for (int c = 0; c < TotalColCount(); ++c)
        if (AllCells(c, 0) == AValue) return c;
    return -1;
}

// --- moving by program -----------------------------------------------------------------------

void TQorStringGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= ColCount() ||
        ToIndex >= ColCount())
        return;
    if (FColumnOrder->Count() == 0) SetColumnOrder();
    const int realFrom = RealColIndex(FromIndex), realTo = RealColIndex(ToIndex);
    TBaseGrid::MoveColumn(FromIndex, ToIndex);
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        item->SetX(movedIndex(item->X(), realFrom, realTo));
    }
    CellControlsUpdate(false);
}

void TQorStringGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= RowCount() ||
        ToIndex >= RowCount())
        return;
    // The footer row stays the last row.
    if (FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow &&
        (ToIndex == RowCount() - 1 || FromIndex == RowCount() - 1))
        return;
    const int realFrom = RealRowIndex(FromIndex), realTo = RealRowIndex(ToIndex);
    TBaseGrid::MoveRow(FromIndex, ToIndex);
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        item->SetY(movedIndex(item->Y(), realFrom, realTo));
    }
    CellControlsUpdate(false);
}

void TQorStringGrid::MoveRows(int FromIndex, int ToIndex, int Count) {
    if (FromIndex < 0 || FromIndex >= RowCount() || Count <= 0 || ToIndex < 0) return;
    Count = std::min(Count, RowCount() - FromIndex);
    // A target past the block names the row the block goes before, wherever it lies.
    if (ToIndex >= FromIndex + Count) ToIndex -= Count;
    ToIndex = std::min(ToIndex, RowCount() - Count);
    if (ToIndex == FromIndex) return;
    const bool persistent = FMouseActions->RowSelectPersistent();
    auto flagsOf = [&](const std::vector<char>& v) {
        std::vector<char> f(std::size_t(Count), 0);
        for (int i = 0; i < Count; ++i)
            if (std::size_t(FromIndex + i) < v.size())
                f[std::size_t(i)] = v[std::size_t(FromIndex + i)];
        return f;
    };
    auto putFlags = [&](std::vector<char>& v, const std::vector<char>& f) {
        for (int i = 0; i < Count; ++i) {
            const std::size_t at = std::size_t(ToIndex + i);
            if (!f[std::size_t(i)] && at >= v.size()) continue;
            if (at >= v.size()) v.resize(at + 1, 0);
            v[at] = f[std::size_t(i)];
        }
    };
    const std::vector<char> modified = flagsOf(FModifiedRows), enabled = flagsOf(FEnabledRows),
                            selected = persistent ? std::vector<char>() : flagsOf(FRowSelect);
    {
        UpdateScope<TCustomGrid> lock(*this);
        const int savedCol = Col(), savedRow = Row();
        // Areas across the block's edges or the target would be torn apart.
        splitAcrossRow(FromIndex);
        splitAcrossRow(FromIndex + Count);
        rowsLeaving(FromIndex, Count, false);
        // The rows leave with their records: texts, objects and heights.
        TGridRowBlock block = TakeRows(FromIndex, Count);
        splitAcrossRow(ToIndex);
        rowsInserted(ToIndex, Count);
        PutRows(ToIndex, std::move(block));
        putFlags(FModifiedRows, modified);
        putFlags(FEnabledRows, enabled);
        if (!persistent) {
            putFlags(FRowSelect, selected);
            for (int i = 0; i < Count; ++i)
                if (selected[std::size_t(i)]) FSelectedRows.push_back(ToIndex + i);
        }
        FocusCell(savedCol, std::min(savedRow, RowCount() - 1), true);
    }
    CellsChanged({0, std::min(FromIndex, ToIndex), ColCount() - 1,
                  std::max(FromIndex, ToIndex) + Count - 1});
    if (FControlList.Count() > 0) placeCellControls();
}

// --- the platform's moves and what follows them -------------------------------------------------

void TQorStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    // The platform has moved the cells (by real column), the widths and the current column; the
    // visibility map still tells where the moved column was.
    const int realFrom = RealColIndex(FromIndex), realTo = RealColIndex(ToIndex);
    const int total = TotalColCount();
    // Columns added since the order was recorded keep their own indexes.
    if (FColumnOrder->Count() > 0)
        for (int c = FColumnOrder->Count(); c < total; ++c) FColumnOrder->Add(c);
    if (realFrom < FColumnOrder->Count() && realTo < FColumnOrder->Count()) {
        const int entry = FColumnOrder->GetInteger(realFrom);
        FColumnOrder->Delete(realFrom);
        FColumnOrder->Insert(realTo, entry);
    }
    if (FNumHidden > 0) {
        const std::size_t n = std::size_t(std::min(total, MaxHiddenMapColumns));
        rotate(FVisibleCol.data(), n, realFrom, realTo);
        rotate(FAllColWidths.data(), n, realFrom, realTo);
    }
    if (FFlags.EnhRowColMove) ColMoveFlg = true;
    // Hidden rows keep their cells apart from the store: they move the same way.
    if (FHidden->Count() > 0)
        FHidden->ForEachRecord([&](TGridRow& row) {
            if (row.Cells.size() <= std::size_t(std::min(realFrom, realTo))) return;
            if (row.Cells.size() < std::size_t(std::max(realFrom, realTo)) + 1)
                row.Cells.resize(std::size_t(std::max(realFrom, realTo)) + 1);
            rotate(row.Cells.data(), row.Cells.size(), realFrom, realTo);
        });
    if (FSortSettings->Column() >= 0)
        FSortSettings->SetColumn(movedIndex(FSortSettings->Column(), realFrom, realTo));
    for (int i = 0; i < FSortIndexes->Count(); ++i)
        FSortIndexes->SetSortColumns(i,
                                     movedIndex(FSortIndexes->GetSortColumns(i), realFrom, realTo));
    if (FFloatingFooter->Visible()) UpdateFooter();
    TBaseGrid::ColumnMoved(FromIndex, ToIndex);
    auto* other = dynamic_cast<TQorStringGrid*>(FSyncGrid->Grid());
    if (other && FSyncGrid->MoveColumn() && !FSyncedMove) {
        other->FSyncedMove = true;
        other->MoveColumn(FromIndex, ToIndex);
        other->FSyncedMove = false;
    }
}

void TQorStringGrid::RowMoved(int FromIndex, int ToIndex) {
    // The platform has moved the row's record (cells and height); its flags follow here.
    rotateFlags(FModifiedRows, FromIndex, ToIndex);
    rotateFlags(FEnabledRows, FromIndex, ToIndex);
    if (!FMouseActions->RowSelectPersistent()) {
        rotateFlags(FRowSelect, FromIndex, ToIndex);
        for (int& r : FSelectedRows) r = movedIndex(r, FromIndex, ToIndex);
    }
    if (FFlags.EnhRowColMove) ColMoveFlg = true;
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
    auto* other = dynamic_cast<TQorStringGrid*>(FSyncGrid->Grid());
    if (other && FSyncGrid->MoveRow() && !FSyncedMove) {
        other->FSyncedMove = true;
        other->MoveRow(FromIndex, ToIndex);
        other->FSyncedMove = false;
    }
}

// --- moving by dragging a header ---------------------------------------------------------------

void TQorStringGrid::HideDropArrows() {
    for (TArrowWindow* a : FArrows)
        if (a) a->SetVisible(false);
}

void TQorStringGrid::placeMoveArrow(TArrowDirection d, int X, int Y, bool Show) {
    TArrowWindow* a = FArrows[d];
    if (!a) return;
    if (!Show) {
        a->SetVisible(false);
        return;
    }
    const TPoint p = ClientToScreen({X, Y});
    a->SetBounds(p.X, p.Y, 11, 11);
    a->SetVisible(true);
}

void TQorStringGrid::ShowDropArrows(int ACol, int ARow, bool Column) {
    const TRect r = CellRect(ACol, ARow);
    placeMoveArrow(arrDown, r.Left - 5, r.Top - 8, Column);
    placeMoveArrow(arrUp, r.Left - 5, r.Bottom, Column);
    placeMoveArrow(arrLeft, r.Left - 10, r.Top - 5, !Column);
}

// The feedback of a header drag: the button at the pointer, the drop arrows at the target's edge,
// the moving events and the cursor that tells whether the drop is allowed.
void TQorStringGrid::moveDragFeedback(int X, int Y) {
    const bool colMove = FGridState == gsColMoving;
    bool allow = true;
    if (!FMoveAsked) {
        FMoveAsked = true;
        if (colMove && OnColumnMove) OnColumnMove(this, Movecell, allow);
        if (!colMove && OnRowMove) OnRowMove(this, Movecell, allow);
        if (!allow) {
            FGridState = gsNormal;
            return;
        }
    }
    StartBlockFocus();
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (colMove && Movecell >= FixedCols() && ARow >= 0) {
        FMoveButton->SetCaption(AllCells(RealColIndex(Movecell), 0));
        FMoveButton->SetWidth(ColWidths(Movecell));
        FMoveButton->SetHeight(RowHeights(ARow));
    } else if (!colMove && Movecell >= FixedRows() && ACol >= 0) {
        FMoveButton->SetCaption(AllCells(RealColIndex(0), RealRowIndex(Movecell)));
        FMoveButton->SetWidth(ColWidths(ACol));
        FMoveButton->SetHeight(RowHeights(Movecell));
    }
    const TPoint at = ClientToScreen({X - MoveOfsX, Y - MoveOfsY});
    const bool showCells = FDragDropSettings->ShowCells();
    if (showCells) {
        // A picture of the dragged column's (row's) visible cells follows the pointer.
        if (!FMoveForm) {
            const TGridRect part =
                colMove
                    ? TGridRect{Movecell, 0, Movecell,
                                std::min(RowCount() - 1,
                                         TopRow() + VisibleRowCount() - FixedRows())}
                    : TGridRect{0, Movecell,
                                std::min(ColCount() - 1, LeftCol() + VisibleColCount()), Movecell};
            FMoveForm = SelectionToForm(part);
            FMoveForm->Show();
        }
        FMoveForm->SetBounds(at.X, at.Y, FMoveForm->Width(), FMoveForm->Height());
    } else {
        FMoveButton->SetLeft(at.X);
        FMoveButton->SetTop(at.Y);
    }

    if (colMove) {
        // The arrows mark the edge the column would be put at: left of a target left of the
        // dragged column, else right of it.
        if (FMoveColInd >= FixedCols() && FMoveColInd < ColCount()) {
            const TRect target = CellRect(FMoveColInd, 0);
            const bool visible = !target.IsEmpty();
            const int edge = FMoveColInd < Movecell ? target.Left : target.Right;
            placeMoveArrow(arrUp, edge - 5, target.Bottom, visible);
            placeMoveArrow(arrDown, edge - 5, target.Top - 8, visible);
        }
        FMoveColInd = ACol;
        FMoveRowInd = 0;
        if (OnColumnMoving) OnColumnMoving(this, ACol, allow);
    } else if (!(FFloatingFooter->Visible() && ARow == RowCount() - 1)) {
        if (FMoveRowInd >= FixedRows() && FMoveRowInd < RowCount()) {
            const TRect target = CellRect(0, FMoveRowInd);
            const bool visible = !target.IsEmpty();
            const int edge = FMoveRowInd < Movecell ? target.Top : target.Bottom;
            placeMoveArrow(arrLeft, target.Left - 10, edge - 5, visible);
            placeMoveArrow(arrRight, target.Right, edge - 5, visible);
        }
        FMoveRowInd = ARow;
        FMoveColInd = 0;
        if (OnRowMoving) OnRowMoving(this, ARow, allow);
    }

    // Past the cells' edges the grid scrolls one column (row) towards the pointer.
    int fixedWidth = 0, fixedHeight = 0;
    for (int c = 0; c < FixedCols(); ++c) fixedWidth += ColWidths(c);
    for (int r = 0; r < FixedRows(); ++r) fixedHeight += RowHeights(r);
    if (colMove && VisibleColCount() + FixedCols() < ColCount()) {
        if (X < fixedWidth && LeftCol() > FixedCols())
            SetLeftCol(LeftCol() - 1);
        else if (X > CellAreaWidth() && LeftCol() + VisibleColCount() < ColCount())
            SetLeftCol(LeftCol() + 1);
    } else if (!colMove && VisibleRowCount() + FixedRows() < RowCount()) {
        if (Y < fixedHeight && TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
        else if (Y > CellAreaHeight() && TopRow() + VisibleRowCount() < RowCount())
            SetTopRow(TopRow() + 1);
    }
    if (!showCells && !FMoveButton->Visible()) FMoveButton->SetVisible(true);
    FMoveButton->SetEnabled(true);
    Screen->SetCursor(allow ? crDrag : crNoDrop);
}

// A header drag cut short (the mouse taken away) ends without a move: the release that the
// cancel sends finds no move under way.
void TQorStringGrid::WMCancelMode(TWMNoParams& Message) {
    if (FGridState == gsColMoving || FGridState == gsRowMoving) {
        const TCursor cursor = Screen->Cursor();
        if (cursor == crDrag || cursor == crNoDrop) {
            if (FMoveButton) {
                FMoveButton->SetEnabled(false);
                FMoveButton->SetVisible(false);
            }
            freeMoveForm();
            HideDropArrows();
            EndBlockFocus();
            Screen->SetCursor(crDefault);
        }
        FGridState = gsNormal;
    }
    TBaseGrid::WMCancelMode(Message);
}

void TQorStringGrid::freeMoveForm() {
    TNoActiveForm* form = std::exchange(FMoveForm, nullptr);
    delete form;
}

// The release of a header drag; true when one was under way.
bool TQorStringGrid::endMoveDrag(int ACol, int ARow) {
    const TCursor cursor = Screen->Cursor();
    if ((cursor != crDrag && cursor != crNoDrop) ||
        (FGridState != gsColMoving && FGridState != gsRowMoving) || !FFlags.EnhRowColMove)
        return false;
    const bool colMove = FGridState == gsColMoving;
    FMoveButton->SetEnabled(false);
    FMoveButton->SetVisible(false);
    freeMoveForm();
    EndBlockFocus();
    Screen->SetCursor(crDefault);
    if (HandleAllocated()) KillTimer(Handle(), GridDragScrollTimerID);
    FGridState = gsNormal;
    if (cursor == crNoDrop) {
        colMove ? InvalidateRow(0) : InvalidateCol(0);
    } else if (colMove && ACol >= FixedCols() && ACol != Movecell) {
        MoveColumn(Movecell, ACol);
    } else if (!colMove && ARow >= FixedRows() && ARow != Movecell) {
        MoveRow(Movecell, ARow);
    }
    return true;
}
