// TQorStringGrid: hidden columns (a visibility map of real columns 0..511; cells stay in the
// store at their real columns) and hidden rows (their records leave the platform grid's store
// for the hidden-row store and come back whole).
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"

#include <algorithm>

// --- hidden columns --------------------------------------------------------------------------
bool TQorStringGrid::IsHiddenColumn(int ColIndex) const {
    return ColIndex >= 0 && ColIndex < MaxHiddenMapColumns && !FVisibleCol[std::size_t(ColIndex)];
}

int TQorStringGrid::RealColIndexOf(int ACol) const {
    if (ACol < 0 || ACol >= ColCount()) return -1;
    if (FNumHidden == 0) return ACol;
    int shown = 0;
    for (int j = 0; j < MaxHiddenMapColumns; ++j) {
        if (!FVisibleCol[std::size_t(j)]) continue;
        if (shown == ACol) return j;
        ++shown;
    }
    // Display columns past the map's shown ones are the real columns after it, in order.
    return ACol + FNumHidden;
}

int TQorStringGrid::DisplColIndexOf(int ACol) const {
    if (ACol <= 0 || FNumHidden == 0) return ACol;
    int below = 0;
    for (int j = 0; j < std::min(ACol, MaxHiddenMapColumns); ++j)
        if (!FVisibleCol[std::size_t(j)]) ++below;
    return ACol - below;
}

void TQorStringGrid::HideColumns(int FromCol, int ToCol) {
    HideEditor();
    UpdateScope<TCustomGrid> lock(*this);
    // Only columns of the grid that the map covers are hidden, and one column always stays.
    int last = std::min({ToCol, TotalColCount() - 1, MaxHiddenMapColumns - 1});
    for (int c = std::max(FromCol, 0); c <= last; ++c) {
        if (!FVisibleCol[std::size_t(c)] || ColCount() < 2) continue;
        int d = DisplColIndexOf(c);
        FAllColWidths[std::size_t(c)] = short(ColWidths(d));
        for (int i = d; i <= ColCount() - 2; ++i) SetColWidths(i, ColWidths(i + 1));
        ++FNumHidden;
        FVisibleCol[std::size_t(c)] = false;
        if (Col() == ColCount() - 1 && Col() > 0) SetCol(Col() - 1);
        SetColCount(ColCount() - 1);
    }
    Invalidate();
}

void TQorStringGrid::UnHideColumns(int FromCol, int ToCol) {
    HideEditor();
    UpdateScope<TCustomGrid> lock(*this);
    int last = std::min({ToCol, TotalColCount() - 1, MaxHiddenMapColumns - 1});
    for (int c = std::max(FromCol, 0); c <= last; ++c) {
        if (FVisibleCol[std::size_t(c)]) continue;
        --FNumHidden;
        FVisibleCol[std::size_t(c)] = true;
        SetColCount(ColCount() + 1);
        int d = DisplColIndexOf(c);
        for (int i = ColCount() - 1; i > d; --i) SetColWidths(i, ColWidths(i - 1));
        SetColWidths(d, FAllColWidths[std::size_t(c)]);
    }
    Invalidate();
}

void TQorStringGrid::UnHideColumnsAll() {
    UnHideColumns(0, TotalColCount());
}

int TQorStringGrid::AllColWidths(int ACol) {
    if (IsHiddenColumn(ACol)) return FAllColWidths[std::size_t(ACol)];
    int d = DisplColIndexOf(ACol);
    return d >= 0 && d < ColCount() ? ColWidths(d) : 0;
}

void TQorStringGrid::SetAllColWidths(int ACol, int Value) {
    if (ACol >= 0 && ACol < MaxHiddenMapColumns) FAllColWidths[std::size_t(ACol)] = short(Value);
    if (IsHiddenColumn(ACol)) return;
    int d = DisplColIndexOf(ACol);
    if (d >= 0 && d < ColCount()) SetColWidths(d, Value);
}

// --- hidden rows -----------------------------------------------------------------------------
bool TQorStringGrid::IsHiddenRow(int RowIndex) const {
    return FHidden->Contains(RowIndex);
}

bool TQorStringGrid::IsHiddenRow(int RowIndex, std::unique_ptr<TIntList>& ListHidden) const {
    if (!ListHidden) {
        ListHidden = std::make_unique<TIntList>(0, 0);
        for (const auto& entry : FHidden->Entries()) ListHidden->Add(entry.first);
    }
    return ListHidden->HasValue(RowIndex);
}

int TQorStringGrid::NumHiddenRows() const {
    return FHidden->Count();
}

int TQorStringGrid::HiddenRowLevel(int RowIndex) const {
    const THiddenRows::Entry* e = FHidden->Find(RowIndex);
    return e ? e->Level : THiddenRows::NoFilterLevel;
}

int TQorStringGrid::RealRowIndex(int ARow) const {
    if (ARow < 0) return -1;
    return FHidden->RealOf(ARow);
}

int TQorStringGrid::DisplRowIndex(int ARow) const {
    return ARow - FHidden->CountBelow(ARow);
}

namespace {
// Runs of consecutive indexes of an ascending list: (first, count).
std::vector<std::pair<int, int>> runsOf(const std::vector<int>& v) {
    std::vector<std::pair<int, int>> runs;
    for (int x : v) {
        if (!runs.empty() && runs.back().first + runs.back().second == x)
            ++runs.back().second;
        else
            runs.emplace_back(x, 1);
    }
    return runs;
}
} // namespace

// A merged area that reaches out of a block of rows about to be hidden is split: the rows that
// close up would otherwise lie under it or point at the wrong base cell.
void TQorStringGrid::splitAcrossBlock(int DisplRow, int Count) {
    splitAcrossRow(DisplRow);
    splitAcrossRow(DisplRow + Count);
}

void TQorStringGrid::HideRows(int FromRow, int ToRow) {
    std::vector<int> rows;
    for (int r = std::max(FromRow, 0); r <= std::min(ToRow, TotalRowCount() - 1); ++r)
        if (!FHidden->Contains(r)) rows.push_back(r);
    if (rows.empty()) return;
    UpdateScope<TCustomGrid> lock(*this);
    for (auto [first, count] : runsOf(rows)) {
        // The grid keeps at least one row.
        count = std::min(count, RowCount() - 1);
        if (count <= 0) break;
        splitAcrossBlock(DisplRowIndex(first), count);
        TGridRowBlock block = TakeRows(DisplRowIndex(first), count);
        for (int i = count - 1; i >= 0; --i)
            FHidden->Add(first + i, THiddenRows::NoFilterLevel, block.SplitOff(i));
    }
}

// The rows keep their real indexes: the other hidden rows keep theirs too.
void TQorStringGrid::HideRowsEx(int FromRow, int ToRow) {
    if (FHidden->Contains(FromRow)) return;
    HideRows(FromRow, ToRow);
}

void TQorStringGrid::HideRowList(const TIntList& RowList) {
    // The display rows are turned into real rows before any of them leaves.
    std::vector<int> displ;
    displ.reserve(std::size_t(RowList.Count()));
    for (int i = 0; i < RowList.Count(); ++i) {
        int d = RowList.GetInteger(i);
        if (d >= 0 && d < RowCount()) displ.push_back(d);
    }
    if (!std::is_sorted(displ.begin(), displ.end())) std::sort(displ.begin(), displ.end());
    displ.erase(std::unique(displ.begin(), displ.end()), displ.end());
    int level = FFilterLevel++;
    if (displ.empty()) return;
    // One walk over the rows hidden already gives every real index.
    std::vector<int> real;
    real.reserve(displ.size());
    auto hidden = FHidden->Entries().begin();
    const auto hiddenEnd = FHidden->Entries().end();
    int below = 0;
    for (int d : displ) {
        while (hidden != hiddenEnd && hidden->first <= d + below) ++below, ++hidden;
        real.push_back(d + below);
    }
    // The grid keeps at least one row: the topmost rows stay when all would go.
    const std::size_t keep =
        displ.size() >= std::size_t(RowCount()) ? displ.size() - std::size_t(RowCount()) + 1 : 0;
    displ.erase(displ.begin(), displ.begin() + std::ptrdiff_t(keep));
    real.erase(real.begin(), real.begin() + std::ptrdiff_t(keep));
    if (displ.empty()) return;
    UpdateScope<TCustomGrid> lock(*this);
    // Merged areas are split from the bottom up, so that the display rows above stay put.
    const auto runs = runsOf(displ);
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) splitAcrossBlock(it->first, it->second);
    TGridRowBlock rows = TakeRowList(displ);
    FHidden->AddRows(real, level, std::move(rows));
}

// Puts hidden rows (ascending real indexes) back at their display places, a run at a time.
void TQorStringGrid::putBack(const std::vector<int>& rows) {
    for (auto [first, count] : runsOf(rows)) {
        TGridRowBlock block;
        for (int i = 0; i < count; ++i) block.Append(FHidden->Remove(first + i));
        PutRows(first - FHidden->CountBelow(first), std::move(block));
    }
}

void TQorStringGrid::UnHideRows(int FromRow, int ToRow) {
    if (!FHidden->Contains(FromRow)) return;
    UpdateScope<TCustomGrid> lock(*this);
    putBack(FHidden->Between(FromRow, ToRow));
}

void TQorStringGrid::UnHideRowsAll() {
    if (FHidden->Count() == 0) return;
    UpdateScope<TCustomGrid> lock(*this);
    putBack(FHidden->Between(0, TotalRowCount()));
}

void TQorStringGrid::UnHideRowList() {
    if (FFilterLevel <= 0) return;
    // Only the rows of the topmost level come back; rows hidden directly stay hidden.
    std::vector<int> rows = FHidden->OfLevel(FFilterLevel - 1);
    if (rows.empty()) return;
    UpdateScope<TCustomGrid> lock(*this);
    putBack(rows);
}

std::string TQorStringGrid::AllCells(int ACol, int ARow) {
    if (ACol < 0) return std::string();
    if (const THiddenRows::Entry* e = FHidden->Find(ARow)) {
        const TGridRow* row = e->Row.Row(0);
        const TGridCell* cell = row ? row->Cell(ACol) : nullptr;
        std::string text = cell ? cell->Text : std::string();
        GetDisplText(ACol, ARow, text);
        return text;
    }
    int d = DisplRowIndex(ARow);
    return d >= 0 && d < RowCount() ? Cells(ACol, d) : std::string();
}

void TQorStringGrid::SetAllCells(int ACol, int ARow, const std::string& Value) {
    if (ACol < 0) return;
    if (FHidden->Contains(ARow)) {
        auto& row = const_cast<THiddenRows::Entry*>(FHidden->Find(ARow))->Row;
        if (TGridRow* rec = row.Row(0)) {
            rec->NeedCell(ACol, TotalColCount()).Text = Value;
            return;
        }
        // A hidden row without a record takes one through a round trip to the store.
        int d = DisplRowIndex(ARow);
        int level = HiddenRowLevel(ARow);
        UpdateScope<TCustomGrid> lock(*this);
        PutRows(d, FHidden->Remove(ARow));
        SetCells(ACol, d, Value);
        FHidden->Add(ARow, level, TakeRows(d, 1));
        return;
    }
    int d = DisplRowIndex(ARow);
    if (d >= 0 && d < RowCount()) SetCells(ACol, d, Value);
}

TCellProperties* TQorStringGrid::AllCellProperties(int ACol, int ARow) {
    if (const THiddenRows::Entry* e = FHidden->Find(ARow)) {
        const TGridRow* row = e->Row.Row(0);
        const TGridCell* cell = row ? row->Cell(ACol) : nullptr;
        return cell ? dynamic_cast<TCellProperties*>(cell->Object) : nullptr;
    }
    int d = DisplRowIndex(ARow);
    return d >= 0 && d < RowCount() && HasCellProperties(ACol, d) ? propsOf(ACol, d) : nullptr;
}
