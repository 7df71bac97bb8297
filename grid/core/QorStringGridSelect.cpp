// TQorStringGrid: the four kinds of selection (the selection rectangle, disjunct rows, columns
// and cells), reading and counting them, and the per-row modified and enabled flags.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"

#include <algorithm>
#include <cstdlib>

namespace {
int packCell(int ACol, int ARow) {
    return int((unsigned(ARow) << 16) | (unsigned(ACol) & 0xFFFFu));
}

// The flag at Index, the list growing to take it.
char& flagAt(std::vector<char>& list, int Index) {
    if (list.size() <= std::size_t(Index)) list.resize(std::size_t(Index) + 1, 0);
    return list[std::size_t(Index)];
}

bool flagOf(const std::vector<char>& list, int Index) {
    return Index >= 0 && std::size_t(Index) < list.size() && list[std::size_t(Index)] == 1;
}
} // namespace

bool TQorStringGrid::displayRowSelected(int ARow) {
    return RowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(ARow) : ARow);
}

// --- row and column flags --------------------------------------------------------------------
bool TQorStringGrid::RowSelect(int ARow) {
    if (!FMouseActions->RowSelectPersistent() && (ARow < 0 || ARow >= TotalRowCount()))
        throw EQorGridError("Invalid row " + std::to_string(ARow) + " accessed");
    if (FMouseActions->DisjunctRowSelect()) return ARow >= 0 && flagAt(FRowSelect, ARow) == 1;
    const TGridRect sel = Selection();
    return ARow >= std::min(sel.Top, sel.Bottom) && ARow <= std::max(sel.Top, sel.Bottom);
}

void TQorStringGrid::SetRowSelect(int ARow, bool Value) {
    if (ARow < 0 || (ARow >= TotalRowCount() && RowCount() > FixedRows()))
        throw EQorGridError("Invalid row accessed");
    bool Allow = true;
    const bool noFlag = std::size_t(ARow) >= FRowSelect.size();
    if ((noFlag || (FRowSelect[std::size_t(ARow)] == 1) != Value) && OnRowDisjunctSelect)
        OnRowDisjunctSelect(this, ARow, Value, Allow);
    if (!Allow) return;
    char& flag = flagAt(FRowSelect, ARow);
    const int shown = FMouseActions->RowSelectPersistent() ? DisplRowIndex(ARow) : ARow;
    if (Value) {
        if (flag != 1 && shown < RowCount()) InvalidateRow(shown);
        flag = 1;
        if (ARow >= FixedRows() &&
            std::find(FSelectedRows.begin(), FSelectedRows.end(), ARow) == FSelectedRows.end())
            FSelectedRows.push_back(ARow);
    } else {
        if (flag == 1 && shown < RowCount()) InvalidateRow(shown);
        flag = 0;
        std::erase(FSelectedRows, ARow);
    }
    if (OnRowDisjunctSelected) OnRowDisjunctSelected(this, ARow);
}

bool TQorStringGrid::ColSelect(int ACol) {
    if (ACol < 0 || ACol >= ColCount()) throw EQorGridError("Invalid column accessed");
    return flagAt(FColSelect, ACol) == 1;
}

void TQorStringGrid::SetColSelect(int ACol, bool Value) {
    if (ACol < 0 || ACol >= ColCount()) throw EQorGridError("Invalid column accessed");
    char& flag = flagAt(FColSelect, ACol);
    if ((flag == 1) != Value) InvalidateCol(ACol);
    flag = Value ? 1 : 0;
}

// --- changing the selection ------------------------------------------------------------------
void TQorStringGrid::SelectRows(int RowIndex, int RCount) {
    RCount = std::min(RCount, RowCount() - RowIndex);
    if (!FMouseActions->DisjunctRowSelect()) {
        SetSelection({FixedCols(), RowIndex, ColCount() - 1, RowIndex + RCount - 1});
    } else {
        for (int r = RowIndex; r < RowIndex + RCount && r < RowCount(); ++r)
            SetRowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(r) : r, true);
    }
    if (!FRowIndicator->Empty()) InvalidateCol(0);
    FSelChange = false;
}

void TQorStringGrid::UnSelectRows(int RowIndex, int RCount) {
    if (!FMouseActions->DisjunctRowSelect()) return;
    for (int r = RowIndex; r < RowIndex + RCount && r < RowCount(); ++r)
        SetRowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(r) : r, false);
    FSelChange = false;
}

void TQorStringGrid::SelectCols(int ColIndex, int CCount) {
    if (!FMouseActions->DisjunctColSelect()) {
        SetSelection({ColIndex, FixedRows(), ColIndex + CCount - 1, RowCount() - 1});
        return;
    }
    for (int c = ColIndex; c < ColIndex + CCount && c < ColCount(); ++c) SetColSelect(c, true);
}

void TQorStringGrid::UnSelectCols(int ColIndex, int CCount) {
    if (!FMouseActions->DisjunctColSelect()) return;
    for (int c = ColIndex; c < ColIndex + CCount && c < ColCount(); ++c) SetColSelect(c, false);
}

void TQorStringGrid::SelectRange(int FromCol, int ToCol, int FromRow, int ToRow) {
    SetRow(ToRow);
    SetCol(ToCol);
    SetSelection({FromCol, FromRow, ToCol, ToRow});
}

void TQorStringGrid::SelectCells(int FromCol, int FromRow, int ToCol, int ToRow) {
    SetSelection({FromCol, FromRow, ToCol, ToRow});
}

void TQorStringGrid::ClearRowSelect() {
    for (std::size_t r = 0; r < FRowSelect.size(); ++r) {
        if (FRowSelect[r] != 1) continue;
        FRowSelect[r] = 0;
        const int shown = FMouseActions->RowSelectPersistent() ? DisplRowIndex(int(r)) : int(r);
        if (shown < RowCount()) InvalidateRow(shown);
    }
    FSelectedRows.clear();
}

void TQorStringGrid::ClearColSelect() {
    for (std::size_t c = 0; c < FColSelect.size(); ++c) {
        if (FColSelect[c] != 1) continue;
        FColSelect[c] = 0;
        if (int(c) < ColCount()) InvalidateCol(int(c));
    }
}

void TQorStringGrid::ClearSelectedCells() {
    SetSelection({FixedCols(), FixedRows(), FixedCols(), FixedRows()});
    FSelectedCells.clear();
    Invalidate();
}

void TQorStringGrid::SelectionToRowSelect(bool All) {
    TGridRect sel = Selection();
    sel.Bottom = std::min(sel.Bottom, RowCount() - FFixedFooters - 1);
    for (int r = FixedRows(); r < RowCount(); ++r) {
        const bool inside = r >= sel.Top && r <= sel.Bottom;
        if (All || inside)
            SetRowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(r) : r, inside);
    }
    if (NumHiddenRows() > 0) Invalidate();
}

void TQorStringGrid::SelectionToColSelect(bool All) {
    const TGridRect sel = Selection();
    for (int c = FixedCols(); c < ColCount(); ++c) {
        const bool inside = c >= sel.Left && c <= sel.Right;
        if (All || inside) SetColSelect(c, inside);
    }
}

void TQorStringGrid::SetSelectedCells(int i, int j, bool Value) {
    const int key = packCell(i, j);
    auto it = std::find(FSelectedCells.begin(), FSelectedCells.end(), key);
    if (Value && it == FSelectedCells.end())
        FSelectedCells.push_back(key);
    else if (!Value && it != FSelectedCells.end())
        FSelectedCells.erase(it);
    else
        return;
    InvalidateCell(i, j);
}

// --- reading the selection -------------------------------------------------------------------
bool TQorStringGrid::SelectedCells(int i, int j) const {
    if (FMouseActions->DisjunctCellSelect())
        return std::find(FSelectedCells.begin(), FSelectedCells.end(), packCell(i, j)) !=
               FSelectedCells.end();
    const TGridRect sel = Selection();
    return i >= std::min(sel.Left, sel.Right) && i <= std::max(sel.Left, sel.Right) &&
           j >= std::min(sel.Top, sel.Bottom) && j <= std::max(sel.Top, sel.Bottom);
}

TGridCoord TQorStringGrid::SelectedCell(int i) const {
    const unsigned v = unsigned(FSelectedCells.at(std::size_t(i)));
    return {int(v & 0xFFFFu), int(v >> 16)};
}

int TQorStringGrid::SelectedCellsCount() {
    if (!FMouseActions->DisjunctCellSelect()) {
        FSelectedCells.clear();
        const TGridRect sel = Selection();
        if (sel.Left == sel.Right && sel.Top == sel.Bottom) {
            FSelectedCells.push_back(packCell(Col(), Row()));
        } else {
            for (int c = std::min(sel.Left, sel.Right); c <= std::max(sel.Left, sel.Right); ++c)
                for (int r = std::min(sel.Top, sel.Bottom); r <= std::max(sel.Top, sel.Bottom); ++r)
                    FSelectedCells.push_back(packCell(c, r));
        }
    }
    return int(FSelectedCells.size());
}

int TQorStringGrid::SelectedRowCount() {
    if (FMouseActions->DisjunctRowSelect()) return int(FSelectedRows.size());
    TGridRect sel = Selection();
    sel.Bottom = std::min(sel.Bottom, RowCount() - FFixedFooters - 1);
    const int dist = std::abs(sel.Top - sel.Bottom);
    const int left = RealColIndex(sel.Left);
    if (IsMergedCell(left, sel.Top)) {
        const int s = CellSpan(left, sel.Top).Y;
        return sel.Bottom < sel.Top + s ? s + 1 : dist + 1;
    }
    if (sel.Bottom >= 0 && IsMergedCell(left, sel.Bottom))
        return dist + CellSpan(left, sel.Bottom).Y + 1;
    return dist + 1;
}

int TQorStringGrid::SelectedColCount() {
    if (FMouseActions->DisjunctColSelect())
        return int(std::count(FColSelect.begin(), FColSelect.end(), 1));
    const TGridRect sel = Selection();
    const int dist = std::abs(sel.Right - sel.Left);
    if (const int left = RealColIndex(sel.Left); IsMergedCell(left, sel.Top)) {
        const int s = CellSpan(left, sel.Top).X;
        return sel.Left + s > sel.Right ? s + 1 : dist + 1;
    }
    if (const int right = RealColIndex(sel.Right); IsMergedCell(right, sel.Top))
        return dist + CellSpan(right, sel.Top).X + 1;
    return dist + 1;
}

int TQorStringGrid::SelectedRow(int i) const {
    if (FMouseActions->DisjunctRowSelect())
        return i >= 0 && std::size_t(i) < FSelectedRows.size() ? FSelectedRows[std::size_t(i)] : -1;
    const TGridRect sel = Selection();
    const int r = std::min(sel.Top, sel.Bottom) + i;
    return r > std::max(sel.Top, sel.Bottom) ? -1 : r;
}

int TQorStringGrid::RowSelectCount() const {
    if (FMouseActions->DisjunctRowSelect()) {
        const std::size_t n = std::min(std::size_t(TotalRowCount()), FRowSelect.size());
        return int(std::count(FRowSelect.begin(), FRowSelect.begin() + std::ptrdiff_t(n), 1));
    }
    const TGridRect sel = Selection();
    return std::abs(sel.Bottom - sel.Top) + 1;
}

int TQorStringGrid::ColSelectCount() const {
    if (FMouseActions->DisjunctColSelect())
        return int(std::count(FColSelect.begin(), FColSelect.end(), 1));
    const TGridRect sel = Selection();
    return sel.Right - sel.Left + 1;
}

bool TQorStringGrid::IsSelected(int ACol, int ARow) {
    if (ARow < FixedRows() || ACol < FixedCols()) return false;
    if (FMouseActions->DisjunctCellSelect())
        return std::find(FSelectedCells.begin(), FSelectedCells.end(), packCell(ACol, ARow)) !=
               FSelectedCells.end();
    if (FMouseActions->DisjunctRowSelect()) return displayRowSelected(ARow);
    if (FMouseActions->DisjunctColSelect()) return ColSelect(ACol);
    return Selection().Contains(ACol, ARow);
}

std::string TQorStringGrid::SelectedText() {
    const TGridRect sel = Selection();
    int left = sel.Left, right = sel.Right;
    if (Options().Contains(goRowSelect) && FDragDropSettings->OleEntireRows()) {
        left = 0;
        right = ColCount() - 1;
    }
    std::vector<int> rows;
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (displayRowSelected(r)) rows.push_back(r);
    } else {
        for (int r = sel.Top; r <= sel.Bottom; ++r) rows.push_back(r);
    }
    std::string out;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        // Rows are separated, not ended, by a line break.
        if (k > 0) out += "\r\n";
        for (int c = left; c <= right; ++c) {
            std::string text = plainOfRichText(GetCellEx(RealColIndex(c), rows[k]));
            if (FFlags.ExcelClipboardFormat && CountLines(text, FMultilinecells) > 1)
                text = QuoteMultiLineText(text);
            out += text;
            if (c != right) out += '\t';
        }
    }
    return out;
}

std::string TQorStringGrid::plainOfRichText(std::string Text) {
    if (Text.find("{\\") == std::string::npos) return Text;
    if (!FRichText) FRichText = std::make_unique<TRichText>();
    FRichText->Load(Text);
    return FRichText->PlainText();
}

// --- row flags -------------------------------------------------------------------------------
bool TQorStringGrid::RowModified(int ARow) const {
    return flagOf(FModifiedRows, ARow);
}

void TQorStringGrid::SetRowModified(int ARow, bool Value) {
    if (ARow < 0) return;
    flagAt(FModifiedRows, ARow) = Value ? 1 : 0;
    if (ARow < RowCount()) InvalidateCell(0, ARow);
}

int TQorStringGrid::ModifiedRowCount() const {
    return int(std::count(FModifiedRows.begin(), FModifiedRows.end(), 1));
}

void TQorStringGrid::ClearModifiedRows() {
    FModifiedRows.clear();
    Invalidate();
}

bool TQorStringGrid::RowEnabled(int ARow) const {
    return !flagOf(FEnabledRows, ARow);
}

void TQorStringGrid::SetRowEnabled(int ARow, bool Value) {
    if (ARow < 0) return;
    // Only a row being disabled sends the current row away (to the first enabled row).
    if (!Value && ARow == Row()) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (r != ARow && RowEnabled(r)) {
                SetRow(r);
                break;
            }
    }
    FUseEnabledRows = true;
    flagAt(FEnabledRows, ARow) = Value ? 0 : 1;
    if (ARow < RowCount()) InvalidateRow(ARow);
}
