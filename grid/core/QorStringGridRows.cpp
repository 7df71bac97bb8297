// TQorStringGrid: operations that change the grid's shape or work on whole rows, columns and
// rectangles: inserting, removing, clearing, trimming, merging and swapping. A row's record
// (texts, properties, height, hidden columns' cells) moves whole in the row store; everything
// kept beside it (row flags, selection, hidden rows, cell controls) is moved here.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"

#include "grid/data/DataSettings.h"
#include "grid/render/FloatingFooter.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <unordered_set>

namespace {
template <typename T> void eraseRange(std::vector<T>& v, int From, int Count) {
    if (From < 0 || std::size_t(From) >= v.size()) return;
    auto first = v.begin() + From;
    v.erase(first, first + std::min<std::ptrdiff_t>(Count, v.end() - first));
}

template <typename T> void insertZeros(std::vector<T>& v, int At, int Count) {
    if (At >= 0 && std::size_t(At) < v.size()) v.insert(v.begin() + At, std::size_t(Count), 0);
}

template <typename T> void swapEntries(std::vector<T>& v, int A, int B) {
    if (A < 0 || B < 0) return;
    if (std::max(A, B) >= int(v.size())) v.resize(std::size_t(std::max(A, B)) + 1, 0);
    std::swap(v[std::size_t(A)], v[std::size_t(B)]);
}

void releaseCellProperties(TGridCell& cell) {
    delete dynamic_cast<TCellProperties*>(cell.Object);
    cell.Object = nullptr;
}

// The current cell and the selection's anchor, to put back by index after the store moved them.
struct SavedCell {
    TGridCoord cur, anchor;
    explicit SavedCell(const TCustomGrid& g) : cur{g.Col(), g.Row()} {
        const TGridRect s = g.Selection();
        anchor = {cur.X == s.Left ? s.Right : s.Left, cur.Y == s.Top ? s.Bottom : s.Top};
    }
};
} // namespace

// --- change notification ---------------------------------------------------------------------
void TQorStringGrid::CellsChanged(const TRect& R) {
    if (OnCellsChanged) OnCellsChanged(this, R);
    const std::vector<TGridChangeNotifier*> notifiers = FNotifiers;
    for (TGridChangeNotifier* n : notifiers) n->CellsChanged(R);
    CalcFooter(-1);
}

// --- what follows the rows -------------------------------------------------------------------
void TQorStringGrid::rowsLeaving(int RowIndex, int RCount, bool DropControls) {
    const int last = RowIndex + RCount - 1;
    const int firstReal = RealRowIndex(RowIndex), lastReal = RealRowIndex(last);
    const int hiddenBelowFirst = FHidden->CountBelow(firstReal);
    // The real index a remaining row has afterwards: hidden rows inside the range lose only the
    // shown rows of the range below them.
    auto newReal = [&](int y) {
        if (y < firstReal) return y;
        if (y > lastReal) return y - RCount;
        return y - ((y - firstReal) - (FHidden->CountBelow(y) - hiddenBelowFirst));
    };
    auto leaves = [&](int y) { return y >= firstReal && y <= lastReal && !FHidden->Contains(y); };

    eraseRange(FModifiedRows, RowIndex, RCount);
    eraseRange(FEnabledRows, RowIndex, RCount);
    if (FMouseActions->RowSelectPersistent()) {
        for (int d = last; d >= RowIndex; --d) eraseRange(FRowSelect, RealRowIndex(d), 1);
        std::erase_if(FSelectedRows, leaves);
        for (int& r : FSelectedRows) r = newReal(r);
    } else {
        eraseRange(FRowSelect, RowIndex, RCount);
        std::erase_if(FSelectedRows, [&](int r) { return r >= RowIndex && r <= last; });
        for (int& r : FSelectedRows)
            if (r > last) r -= RCount;
    }

    for (int i = FControlList.Count() - 1; i >= 0; --i) {
        TControlItem* item = FControlList.GetControl(i);
        if (!leaves(item->Y())) {
            item->SetY(newReal(item->Y()));
        } else if (DropControls) {
            if (item->Control()) item->Control()->SetVisible(false);
            FControlList.RemoveControl(i);
            --FNumCellControls;
        }
    }
    if (FHidden->Count() > 0) FHidden->Renumber(newReal);
}

void TQorStringGrid::rowsInserted(int RowIndex, int RCount) {
    // New rows come before the shown row at RowIndex, after the hidden rows above it.
    const int atReal = RealRowIndex(RowIndex);
    insertZeros(FModifiedRows, RowIndex, RCount);
    insertZeros(FEnabledRows, RowIndex, RCount);
    const bool persistent = FMouseActions->RowSelectPersistent();
    const int selAt = persistent ? atReal : RowIndex;
    insertZeros(FRowSelect, selAt, RCount);
    for (int& r : FSelectedRows)
        if (r >= selAt) r += RCount;
    for (int i = 0; i < FControlList.Count(); ++i)
        if (TControlItem* item = FControlList.GetControl(i); item->Y() >= atReal)
            item->SetY(item->Y() + RCount);
    if (FHidden->Count() > 0) FHidden->Shift(atReal, RCount);
}

void TQorStringGrid::deleteStoreRows(int RowIndex, int RCount) {
    if (RCount < RowCount()) {
        TCustomGrid::DeleteRows(RowIndex, RCount);
        return;
    }
    if (RCount > 1) TCustomGrid::DeleteRows(1, RCount - 1);
    for (int c = 0; c < TotalColCount(); ++c) {
        if (IsMergedCell(c, 0)) SplitCells(c, 0);
        FreeCellProperties(c, 0);
        SetGridCells(c, 0, "");
    }
    SetRowHeights(0, DefaultRowHeight());
}

void TQorStringGrid::splitAcrossRow(int Index) {
    if (FMergeCount <= 0 || Index <= 0 || Index >= RowCount()) return;
    for (int c = 0; c < TotalColCount(); ++c)
        if (IsMergedCell(c, Index) && FullCell(c, Index).Top < Index) SplitCells(c, Index);
}

void TQorStringGrid::splitAcrossCol(int RealIndex) {
    if (FMergeCount <= 0 || RealIndex <= 0 || RealIndex >= TotalColCount()) return;
    for (int r = 0; r < RowCount(); ++r)
        if (IsMergedCell(RealIndex, r) && FullCell(RealIndex, r).Left < RealIndex)
            SplitCells(RealIndex, r);
}

void TQorStringGrid::placeCellControls() {
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        TControl* control = item->Control();
        if (!control) continue;
        const bool shown = !IsHiddenRow(item->Y()) && !IsHiddenColumn(item->X());
        control->SetVisible(shown);
        if (!shown) continue;
        const TRect r = CellRect(DisplColIndex(item->X()), DisplRowIndex(item->Y()));
        control->SetBounds(r.Left - 1, r.Top - 1, r.Right - r.Left + 1, r.Bottom - r.Top + 1);
    }
}

// --- removing and inserting rows -------------------------------------------------------------
void TQorStringGrid::RemoveRows(int RowIndex, int RCount) {
    if (RowIndex < 0 || RowIndex > RowCount() || RCount <= 0) return;
    // Only rows that exist are removed: a count running past the end loses no row above it.
    RCount = std::min(RCount, RowCount() - RowIndex);
    if (RCount <= 0) return;
    {
        UpdateScope<TCustomGrid> lock(*this);
        const int savedRow = Row(), savedTop = TopRow();
        rowsLeaving(RowIndex, RCount, true);
        deleteStoreRows(RowIndex, RCount);
        FMaxRowCount = std::max(0, FMaxRowCount - RCount);
        const int lastNormal = RowCount() - FFixedFooters - 1;
        if (savedRow <= lastNormal) {
            if (!FMouseActions->DisjunctRowSelect())
                SetSelection({Col(), savedRow, Col(), savedRow});
            if (savedTop >= FixedRows() && savedTop < RowCount()) SetTopRow(savedTop);
        } else if (lastNormal >= FixedRows()) {
            SetSelection({Col(), lastNormal, Col(), lastNormal});
        } else {
            HideSelection();
        }
    }
    CellsChanged({0, RowIndex, ColCount() - 1, RowIndex + RCount});
    const int top = RowCount() + FixedRows() - VisibleRowCount() - 2;
    if (TopRow() >= top && RowCount() - VisibleRowCount() - 1 > 0 && top >= FixedRows())
        SetTopRow(std::min(top, RowCount() - 1));
    if (FControlList.Count() > 0) placeCellControls();
}

void TQorStringGrid::DoRemoveRows(int RowIndex, int RCount) {
    DeleteRowRange(RowIndex, RCount, true);
}

void TQorStringGrid::DeleteRowRange(int RowIndex, int RCount, bool DropControls) {
    if (RowIndex < 0 || RowIndex >= RowCount() || RCount <= 0) return;
    RCount = std::min(RCount, RowCount() - RowIndex);
    {
        UpdateScope<TCustomGrid> lock(*this);
        const int savedRow = Row(), savedTop = TopRow();
        rowsLeaving(RowIndex, RCount, DropControls);
        deleteStoreRows(RowIndex, RCount);
        FMaxRowCount = std::max(0, FMaxRowCount - RCount);
        if (savedRow < RowCount()) {
            SetSelection({Col(), savedRow, Col(), savedRow});
            if (savedTop >= FixedRows() && savedTop < RowCount()) SetTopRow(savedTop);
        } else if (RowCount() > FixedRows()) {
            SetSelection({Col(), RowCount() - 1, Col(), RowCount() - 1});
        } else {
            HideSelection();
        }
    }
    CellsChanged({0, RowIndex, ColCount() - 1, RowIndex + RCount});
    if (FControlList.Count() > 0) placeCellControls();
}

void TQorStringGrid::RemoveRowsEx(int RowIndex, int RCount) {
    if (RowIndex < 0 || RowIndex >= RowCount() || RCount <= 0) return;
    RCount = std::min(RCount, RowCount() - RowIndex);
    {
        UpdateScope<TCustomGrid> lock(*this);
        const int savedRow = Row(), savedTop = TopRow();
        rowsLeaving(RowIndex, RCount, false);
        // The objects of these rows stay with the caller.
        for (int r = RowIndex; r < RowIndex + RCount; ++r)
            if (TGridRow* row = RowStore().Get(r))
                for (TGridCell& cell : row->Cells) cell.Object = nullptr;
        if (RCount < RowCount()) {
            TakeRows(RowIndex, RCount);
        } else {
            if (RCount > 1) TakeRows(1, RCount - 1);
            for (int c = 0; c < TotalColCount(); ++c) SetGridCells(c, 0, "");
        }
        FMaxRowCount = std::max(0, FMaxRowCount - RCount);
        if (savedRow < RowCount()) {
            SetSelection({Col(), savedRow, Col(), savedRow});
            if (savedTop >= FixedRows() && savedTop < RowCount()) SetTopRow(savedTop);
        } else if (RowCount() > FixedRows()) {
            SetSelection({Col(), FixedRows(), Col(), FixedRows()});
            SetTopRow(FixedRows());
        }
    }
    CellsChanged({0, RowIndex, ColCount() - 1, RowIndex + RCount});
}

void TQorStringGrid::InsertRows(int RowIndex, int RCount, bool UpdateCellControls) {
    if (RowIndex < 0 || RowIndex > RowCount() || RCount <= 0) return;
    {
        UpdateScope<TCustomGrid> lock(*this);
        if (SelectionHidden() || Col() >= ColCount() || Row() >= RowCount()) UnHideSelection();
        const SavedCell current(*this);
        splitAcrossRow(RowIndex);
        rowsInserted(RowIndex, RCount);
        TCustomGrid::InsertRows(RowIndex, RCount);
        // The current cell keeps its place; the rows under it are new.
        SetSelection({current.anchor.X, current.anchor.Y, current.cur.X, current.cur.Y});
    }
    if (UpdateCellControls && FControlList.Count() > 0) placeCellControls();
    if (!IsDestroying()) CellsChanged({0, RowIndex, ColCount() - 1, RowIndex + RCount});
}

void TQorStringGrid::AddRow() {
    // A visible footer row stays the last row.
    if (FFloatingFooter->Visible()) {
        InsertRows(RowCount() - 1, 1, true);
        if (FFloatingFooter->FooterStyle() == fsFixedLastRow) ClearRows(RowCount() - 2, 1);
        return;
    }
    InsertRows(RowCount(), 1, true);
    ClearRows(RowCount() - 1, 1);
}

// --- columns ---------------------------------------------------------------------------------
void TQorStringGrid::AddColumn() {
    InsertCols(TotalColCount(), 1);
}

void TQorStringGrid::InsertCols(int ColIndex, int CCount) {
    if (ColIndex < 0 || ColIndex > TotalColCount() || CCount <= 0) return;
    UpdateScope<TCustomGrid> lock(*this);
    splitAcrossCol(ColIndex);
    // The new columns show at the display place of the real column ColIndex.
    const int displAt = DisplColIndexOf(ColIndex);
    std::vector<int> widths;
    for (int d = 0; d < ColCount(); ++d) widths.push_back(ColWidths(d));
    widths.insert(widths.begin() + displAt, std::size_t(CCount), DefaultColWidth());
    auto insertCells = [&](TGridRow& row) {
        if (row.Cells.size() > std::size_t(ColIndex))
            row.Cells.insert(row.Cells.begin() + ColIndex, std::size_t(CCount), TGridCell{});
    };
    RowStore().ForEachRecord(insertCells);
    FHidden->ForEachRecord(insertCells);
    for (int j = MaxHiddenMapColumns - 1; j >= ColIndex; --j) {
        const bool fresh = j < ColIndex + CCount;
        FVisibleCol[std::size_t(j)] = fresh || FVisibleCol[std::size_t(j - CCount)];
        FAllColWidths[std::size_t(j)] = fresh ? short(0) : FAllColWidths[std::size_t(j - CCount)];
    }
    insertZeros(FColSelect, displAt, CCount);
    for (int i = 0; i < FControlList.Count(); ++i)
        if (TControlItem* item = FControlList.GetControl(i); item->X() >= ColIndex)
            item->SetX(item->X() + CCount);
    SetColCount(ColCount() + CCount);
    for (int d = 0; d < ColCount(); ++d) SetColWidths(d, widths[std::size_t(d)]);
}

void TQorStringGrid::RemoveCols(int ColIndex, int CCount) {
    if (ColIndex < 0) return;
    CCount = std::min(CCount, TotalColCount() - ColIndex);
    if (CCount <= 0) return;
    const int last = ColIndex + CCount - 1;
    {
        UpdateScope<TCustomGrid> lock(*this);
        std::vector<int> widths;
        std::vector<char> colSelect;
        int shown = 0, hidden = 0;
        for (int c = 0; c < TotalColCount(); ++c) {
            const bool isHidden = IsHiddenColumn(c);
            const bool goes = c >= ColIndex && c <= last;
            if (goes) (isHidden ? hidden : shown)++;
            if (isHidden || goes) continue;
            const int d = DisplColIndexOf(c);
            widths.push_back(ColWidths(d));
            colSelect.push_back(std::size_t(d) < FColSelect.size() ? FColSelect[std::size_t(d)]
                                                                   : char(0));
        }
        ColsLeaving(ColIndex, CCount);
        auto removeCells = [&](TGridRow& row) {
            if (row.Cells.size() <= std::size_t(ColIndex)) return;
            auto first = row.Cells.begin() + ColIndex;
            auto end = first + std::min<std::ptrdiff_t>(CCount, row.Cells.end() - first);
            std::for_each(first, end, releaseCellProperties);
            row.Cells.erase(first, end);
        };
        RowStore().ForEachRecord(removeCells);
        FHidden->ForEachRecord(removeCells);
        for (int i = FControlList.Count() - 1; i >= 0; --i) {
            TControlItem* item = FControlList.GetControl(i);
            if (item->X() > last) {
                item->SetX(item->X() - CCount);
            } else if (item->X() >= ColIndex) {
                if (item->Control()) item->Control()->SetVisible(false);
                FControlList.RemoveControl(i);
                --FNumCellControls;
            }
        }
        for (int j = ColIndex; j < MaxHiddenMapColumns; ++j) {
            const int from = j + CCount;
            const bool inMap = from < MaxHiddenMapColumns;
            FVisibleCol[std::size_t(j)] = !inMap || FVisibleCol[std::size_t(from)];
            FAllColWidths[std::size_t(j)] = inMap ? FAllColWidths[std::size_t(from)] : short(0);
        }
        FNumHidden -= hidden;
        SetColCount(ColCount() - shown);
        for (int d = 0; d < ColCount() && std::size_t(d) < widths.size(); ++d)
            SetColWidths(d, widths[std::size_t(d)]);
        colSelect.resize(std::min(colSelect.size(), FColSelect.size()));
        FColSelect = std::move(colSelect);
    }
    CellsChanged({ColIndex, 0, ColIndex + CCount, RowCount() - 1});
}

// --- clearing --------------------------------------------------------------------------------
void TQorStringGrid::ClearRect(int ACol1, int ARow1, int ACol2, int ARow2) {
    const bool destroying = IsDestroying();
    for (int r = std::max(ARow1, 0); r <= ARow2 && r < RowCount(); ++r)
        for (int c = std::max(ACol1, 0); c <= ACol2; ++c) {
            const int col = FFlags.SaveHiddenCells ? RealColIndex(c) : c;
            if (col < 0 || col >= TotalColCount()) continue;
            if (!FFlags.ClearTextOnly && HasCellProperties(col, r)) {
                if (FNilObjects) {
                    SetGridCells(col, r, "");
                    SetGridObjects(col, r, nullptr);
                } else {
                    // The other cells of an area would point at a base without its span.
                    if (IsMergedCell(col, r)) SplitCells(col, r);
                    SetCellProperties(col, r, nullptr);
                }
            }
            if (!destroying && !GridCells(col, r).empty()) {
                SetGridCells(col, r, "");
                if (col != c) RepaintCell(c, r);
            }
        }
    if (ACol1 <= 0 && ARow1 <= 0 && ACol2 >= TotalColCount() - 1 && ARow2 >= RowCount() - 1 &&
        NumHiddenRows() == 0)
        FHasCellProps = false;
    if (!destroying && !FBlockCellChange)
        CellsChanged({RealColIndex(ACol1), ARow1, RealColIndex(ACol2), ARow2});
}

void TQorStringGrid::ClearRows(int RowIndex, int RCount) {
    if (RowCount() <= 0 || ColCount() <= 0 || RCount <= 0) return;
    ClearRect(0, RowIndex, TotalColCount() - 1, RowIndex + RCount - 1);
}

void TQorStringGrid::ClearCols(int ColIndex, int CCount) {
    if (RowCount() <= 0 || ColCount() <= 0 || CCount <= 0) return;
    ClearRect(ColIndex, 0, ColIndex + CCount - 1, RowCount() - 1);
}

void TQorStringGrid::ClearNormalCols(int ColIndex, int CCount) {
    if (RowCount() <= 0 || ColCount() <= 0 || CCount <= 0) return;
    ClearRect(ColIndex, FixedRows(), ColIndex + CCount - 1, RowCount() - FFixedFooters - 1);
}

void TQorStringGrid::ClearNormalRows(int RowIndex, int RCount) {
    if (RowCount() <= 0 || ColCount() <= 0 || RCount <= 0) return;
    ClearRect(FixedCols(), RowIndex, TotalColCount() - FFixedRightCols - 1, RowIndex + RCount - 1);
}

void TQorStringGrid::ClearNormalCells() {
    if (RowCount() <= 0 || ColCount() <= 0) return;
    ClearRect(FixedCols(), FixedRows(), TotalColCount() - FFixedRightCols - 1,
              RowCount() - FFixedFooters - 1);
}

void TQorStringGrid::Clear() {
    if (RowCount() <= 0 || ColCount() <= 0) return;
    ClearRect(0, 0, TotalColCount() - 1, RowCount() - 1);
    if (FNumHidden > 0) Invalidate();
}

void TQorStringGrid::ClearAll() {
    Clear();
    FHidden->ForEachRecord([](TGridRow& row) {
        for (TGridCell& cell : row.Cells) cell.Text.clear();
    });
}

void TQorStringGrid::ClearSelection() {
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (displayRowSelected(r)) ClearRows(r, 1);
    } else if (FMouseActions->DisjunctColSelect()) {
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (ColSelect(c)) ClearCols(RealColIndex(c), 1);
    } else {
        const TGridRect s = Selection();
        ClearRect(s.Left, s.Top, s.Right, s.Bottom);
    }
}

// --- selection-driven and content-driven removals ----------------------------------------------
void TQorStringGrid::RemoveSelectedRows() {
    UpdateScope<TCustomGrid> lock(*this);
    if (FMouseActions->DisjunctRowSelect()) {
        // From the bottom up, so that the flags of the rows above stay where they are.
        for (int r = RowCount() - FFixedFooters - 1; r >= FixedRows(); --r)
            if (displayRowSelected(r)) DoRemoveRows(r, 1);
        ClearRowSelect();
        return;
    }
    const TGridRect s = Selection();
    const int top = std::min(s.Top, s.Bottom), bottom = std::max(s.Top, s.Bottom);
    DoRemoveRows(top, bottom - top + 1);
}

void TQorStringGrid::RemoveUnSelectedRows() {
    UpdateScope<TCustomGrid> lock(*this);
    for (int r = RowCount() - FFixedFooters - 1; r >= FixedRows(); --r)
        if (!displayRowSelected(r)) DoRemoveRows(r, 1);
    if (FMouseActions->RowSelectPersistent())
        SelectRows(FixedRows(), RowCount() - FixedRows());
    else
        ClearRowSelect();
}

void TQorStringGrid::RemoveSelectedCols() {
    UpdateScope<TCustomGrid> lock(*this);
    if (FMouseActions->DisjunctColSelect()) {
        for (int c = ColCount() - 1; c >= FixedCols(); --c)
            if (ColSelect(c)) RemoveCols(RealColIndex(c), 1);
        return;
    }
    const TGridRect s = Selection();
    for (int c = std::max(s.Left, s.Right); c >= std::min(s.Left, s.Right); --c)
        RemoveCols(RealColIndex(c), 1);
}

void TQorStringGrid::RemoveUnSelectedCols() {
    UpdateScope<TCustomGrid> lock(*this);
    if (FMouseActions->DisjunctColSelect()) {
        for (int c = ColCount() - 1; c >= FixedCols(); --c)
            if (!ColSelect(c)) RemoveCols(RealColIndex(c), 1);
    } else {
        const TGridRect s = Selection();
        for (int c = ColCount() - 1; c > s.Right; --c) RemoveCols(RealColIndex(c), 1);
        for (int c = s.Left - 1; c >= FixedCols(); --c) RemoveCols(RealColIndex(c), 1);
    }
    ClearColSelect();
}

void TQorStringGrid::HideSelectedRows() {
    UpdateScope<TCustomGrid> lock(*this);
    for (int r = RowCount() - 1; r >= FixedRows(); --r)
        if (displayRowSelected(r)) HideRow(RealRowIndex(r));
}

void TQorStringGrid::HideUnSelectedRows() {
    // The rows are chosen before any of them is hidden: hiding moves the display rows.
    std::vector<int> rows;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (!displayRowSelected(r)) rows.push_back(RealRowIndex(r));
    UpdateScope<TCustomGrid> lock(*this);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) HideRow(*it);
}

void TQorStringGrid::RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked) {
    UpdateScope<TCustomGrid> lock(*this);
    for (int r = RowCount() - 1; r >= FixedRows(); --r) {
        TCheckBoxState state = cbUnchecked;
        const bool checked =
            GetCheckBoxState(CheckBoxColumn, RealRowIndex(r), state) && state == cbChecked;
        if (checked == RemoveChecked) RemoveRows(r, 1);
    }
}

void TQorStringGrid::RemoveDuplicates(int ACol, bool DoCase) {
    const int col = RealColIndex(ACol);
    if (col < 0) return;
    UpdateScope<TCustomGrid> lock(*this);
    std::unordered_set<std::string> kept;
    for (int r = FixedRows(); r < RowCount() - FFixedFooters;) {
        std::string key = GetCellEx(col, r);
        if (!DoCase) key = AnsiUpperCase(key);
        if (kept.insert(std::move(key)).second)
            ++r;
        else
            DoRemoveRows(r, 1);
    }
}

// --- text and colour over rectangles ---------------------------------------------------------
void TQorStringGrid::TrimRect(int ACol1, int ARow1, int ACol2, int ARow2) {
    for (int r = std::max(ARow1, 0); r <= ARow2 && r < RowCount(); ++r)
        for (int c = std::max(ACol1, 0); c <= ACol2; ++c) {
            const int col = FFlags.SaveHiddenCells ? RealColIndex(c) : c;
            if (col < 0 || col >= TotalColCount()) continue;
            const std::string& text = GridCells(col, r);
            if (std::string t = Trim(text); t != text) SetGridCells(col, r, t);
        }
}

void TQorStringGrid::TrimColumn(int ACol) {
    TrimRect(ACol, 0, ACol, RowCount() - 1);
}

void TQorStringGrid::TrimRow(int ARow) {
    TrimRect(0, ARow, ColCount() - 1, ARow);
}

void TQorStringGrid::TrimAll() {
    TrimRect(0, 0, ColCount() - 1, RowCount() - 1);
}

void TQorStringGrid::ColorRect(int ACol1, int ARow1, int ACol2, int ARow2, TColor AColor) {
    for (int r = ARow1; r <= ARow2; ++r)
        for (int c = ACol1; c <= ACol2; ++c) SetColors(c, r, AColor);
}

// --- merging ---------------------------------------------------------------------------------
void TQorStringGrid::SplitColumnCells(int ColIndex) {
    for (int r = 0; r < RowCount() - FFixedFooters - 1;) {
        const int span = CellSpan(ColIndex, r).Y;
        if (span > 0) {
            SplitCells(ColIndex, r);
            r += span + 1;
        } else {
            ++r;
        }
    }
}

void TQorStringGrid::SplitRowCells(int RowIndex) {
    for (int c = 0; c < ColCount() - FFixedRightCols - 1;) {
        if (IsMergedCell(c, RowIndex)) {
            const int span = CellSpan(c, RowIndex).X;
            SplitCells(c, RowIndex);
            c += span + 1;
        } else {
            ++c;
        }
    }
}

void TQorStringGrid::SplitAllCells() {
    for (int r = 0; r < RowCount() && FMergeCount > 0; ++r)
        for (int c = 0; c < TotalColCount(); ++c)
            if (IsMergedCell(c, r)) SplitCells(c, r);
}

void TQorStringGrid::SplitAllColumnCells() {
    for (int c = 0; c < TotalColCount(); ++c) SplitColumnCells(c);
}

void TQorStringGrid::MergeColumnCells(int ColIndex, bool MainMerge) {
    auto merge = [&](int start, int length) {
        if (length < 2) return;
        for (int r = start; r < start + length; ++r)
            if (IsMergedCell(ColIndex, r)) SplitCells(ColIndex, r);
        MergeCells(ColIndex, start, 1, length);
    };
    const int end = RowCount() - FFixedFooters; // one past the last normal row
    int start = FixedRows();
    for (int r = FixedRows() + 1; r < end; ++r) {
        const bool same = Cells(ColIndex, r) == Cells(ColIndex, r - 1) &&
                          (MainMerge || RowSpanIdentical(r, r - 1));
        if (same) continue;
        merge(start, r - start);
        start = r;
    }
    merge(start, end - start);
}

void TQorStringGrid::MergeRowCells(int RowIndex, bool MainMerge) {
    auto merge = [&](int start, int length) {
        if (length < 2) return;
        for (int c = start; c < start + length; ++c)
            if (IsMergedCell(c, RowIndex)) SplitCells(c, RowIndex);
        MergeCells(start, RowIndex, length, 1);
    };
    const int end = ColCount() - FFixedRightCols;
    int start = FixedCols();
    for (int c = FixedCols() + 1; c < end; ++c) {
        const bool same = Cells(c, RowIndex) == Cells(c - 1, RowIndex) &&
                          (MainMerge || ColSpanIdentical(c, c - 1));
        if (same) continue;
        merge(start, c - start);
        start = c;
    }
    merge(start, end - start);
}

void TQorStringGrid::RemergeColumnCells() {
    for (int i = 0; i < FMergedColumns->Count(); ++i)
        MergeColumnCells(FMergedColumns->GetInteger(i), i == 0);
}

void TQorStringGrid::RefreshColumnMerges() {
    SplitAllColumnCells();
    RemergeColumnCells();
}

void TQorStringGrid::MergeCols(int ColIndex1, int ColIndex2, const std::string& Separator) {
    for (int r = FixedRows(); r < RowCount(); ++r)
        SetCells(ColIndex1, r, Trim(Cells(ColIndex1, r) + Separator + Cells(ColIndex2, r)));
    RemoveCols(ColIndex2, 1);
}

// --- swaps and lookups -----------------------------------------------------------------------
void TQorStringGrid::SwapColumns(int ACol1, int ACol2) {
    if (ACol1 == ACol2 || ACol1 < 0 || ACol2 < 0 || ACol1 >= TotalColCount() ||
        ACol2 >= TotalColCount())
        return;
    // An area across either column would be torn apart.
    for (int r = 0; r < RowCount() && FMergeCount > 0; ++r)
        for (int c : {ACol1, ACol2})
            if (IsMergedCell(c, r) && CellSpan(c, r).X > 0) SplitCells(c, r);
    auto swapCells = [&](TGridRow& row) {
        const std::size_t need = std::size_t(std::max(ACol1, ACol2)) + 1;
        if (row.Cells.size() <= std::size_t(std::min(ACol1, ACol2))) return;
        if (row.Cells.size() < need) row.Cells.resize(need);
        std::swap(row.Cells[std::size_t(ACol1)], row.Cells[std::size_t(ACol2)]);
    };
    RowStore().ForEachRecord(swapCells);
    FHidden->ForEachRecord(swapCells);
    if (!IsHiddenColumn(ACol1) && !IsHiddenColumn(ACol2)) {
        const int d1 = DisplColIndexOf(ACol1), d2 = DisplColIndexOf(ACol2);
        const int w1 = ColWidths(d1);
        SetColWidths(d1, ColWidths(d2));
        SetColWidths(d2, w1);
    }
    if (FSortSettings->Column() == ACol1)
        FSortSettings->SetColumn(ACol2);
    else if (FSortSettings->Column() == ACol2)
        FSortSettings->SetColumn(ACol1);
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        if (item->X() == ACol1)
            item->SetX(ACol2);
        else if (item->X() == ACol2)
            item->SetX(ACol1);
    }
    if (FControlList.Count() > 0) placeCellControls();
    Invalidate();
}

void TQorStringGrid::exchangeRows(int ARow1, int ARow2, bool Enabled, bool Select, bool Modified) {
    for (int c = 0; c < TotalColCount() && FMergeCount > 0; ++c)
        for (int r : {ARow1, ARow2})
            if (IsMergedCell(c, r) && CellSpan(c, r).Y > 0) SplitCells(c, r);
    const int real1 = RealRowIndex(ARow1), real2 = RealRowIndex(ARow2);
    ExchangeRows(ARow1, ARow2);
    if (Select) {
        const bool persistent = FMouseActions->RowSelectPersistent();
        const int a = persistent ? real1 : ARow1, b = persistent ? real2 : ARow2;
        const bool sa = std::size_t(a) < FRowSelect.size() && FRowSelect[std::size_t(a)] == 1;
        const bool sb = std::size_t(b) < FRowSelect.size() && FRowSelect[std::size_t(b)] == 1;
        swapEntries(FRowSelect, a, b);
        // The order of selection stays; the entries name the rows' new places.
        for (int& r : FSelectedRows)
            if (r == a && sa)
                r = b;
            else if (r == b && sb)
                r = a;
    }
    if (Modified) swapEntries(FModifiedRows, ARow1, ARow2);
    if (Enabled) swapEntries(FEnabledRows, ARow1, ARow2);
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        if (item->Y() == real1)
            item->SetY(real2);
        else if (item->Y() == real2)
            item->SetY(real1);
    }
}

void TQorStringGrid::SwapRows(int ARow1, int ARow2) {
    if (ARow1 == ARow2 || ARow1 < 0 || ARow2 < 0 || ARow1 >= RowCount() || ARow2 >= RowCount())
        return;
    exchangeRows(ARow1, ARow2, true, true, true);
    if (FControlList.Count() > 0) placeCellControls();
}

void TQorStringGrid::SortSwapRows(int ARow1, int ARow2) {
    if (ARow1 == ARow2 || ARow1 < 0 || ARow2 < 0 || ARow1 >= RowCount() || ARow2 >= RowCount())
        return;
    if (ARow1 < FSortRowXRef->Count() && ARow2 < FSortRowXRef->Count()) {
        const int x = FSortRowXRef->GetInteger(ARow1);
        FSortRowXRef->SetInteger(ARow1, FSortRowXRef->GetInteger(ARow2));
        FSortRowXRef->SetInteger(ARow2, x);
    }
    if (FSortSettings->SingleColumn()) {
        const int c = FSortSettings->Column();
        if (c < 0 || c >= TotalColCount()) return;
        const std::string t1 = GridCells(c, ARow1);
        TObject* o1 = GridObjects(c, ARow1);
        SetGridCells(c, ARow1, GridCells(c, ARow2));
        SetGridObjects(c, ARow1, GridObjects(c, ARow2));
        SetGridCells(c, ARow2, t1);
        SetGridObjects(c, ARow2, o1);
        return;
    }
    // Selected rows stay selected wherever the sort puts them.
    exchangeRows(ARow1, ARow2, false, true, FShowModified->Enabled());
}

bool TQorStringGrid::IsCell(const std::string& SubStr, int& ACol, int& ARow) {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (GridCells(c, r) == SubStr) {
                ACol = c;
                ARow = r;
                return true;
            }
    return false;
}

bool TQorStringGrid::IsWideCell(int ACol, int ARow) {
    return GridCells(ACol, ARow).starts_with("|\\");
}
