// Sorting the grid's rows: by one column, by the sort index list, inside groups, and back.
// Each sort reads every compared cell once into a key, orders the row positions with a stable
// merge sort whose comparison is a strict weak order for every built-in style, and then moves
// the rows into that order with at most one exchange per row.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/DataSettings.h"
#include "grid/data/SortKeys.h"

#include <map>
#include <memory>
#include <optional>

namespace {
bool isCheckBoxType(TCellType t) {
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox;
}

// Stable merge sort of V by Less; safe with any comparison the caller's events answer.
template <typename Less> void stableSort(std::vector<int>& V, Less&& less) {
    const std::size_t n = V.size();
    constexpr std::size_t Run = 24;
    for (std::size_t s = 0; s < n; s += Run) {
        const std::size_t e = std::min(n, s + Run);
        for (std::size_t i = s + 1; i < e; ++i) {
            const int x = V[i];
            std::size_t j = i;
            for (; j > s && less(x, V[j - 1]); --j) V[j] = V[j - 1];
            V[j] = x;
        }
    }
    std::vector<int> buf(n);
    for (std::size_t width = Run; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(n, lo + width), hi = std::min(n, lo + 2 * width);
            std::size_t a = lo, b = mid, o = lo;
            if (mid >= hi || !less(V[mid], V[mid - 1])) {
                std::copy(V.begin() + std::ptrdiff_t(lo), V.begin() + std::ptrdiff_t(hi),
                          buf.begin() + std::ptrdiff_t(lo));
                continue;
            }
            while (a < mid && b < hi) buf[o++] = less(V[b], V[a]) ? V[b++] : V[a++];
            while (a < mid) buf[o++] = V[a++];
            while (b < hi) buf[o++] = V[b++];
        }
        V.swap(buf);
    }
}
} // namespace

// The cells of rows Left..Right of the compared columns, read when a comparison first needs
// them.
class TSortKeys {
public:
    TSortKeys(TQorStringGrid& Grid, int Left, int Right) : g(Grid), left(Left), right(Right) {}

    struct Column {
        TSortStyle style = ssAlphabetic;
        TSortKeyKind kind = TSortKeyKind::Text;
        bool bytewise = false;
        std::vector<std::string> text;
        std::vector<double> number;
        std::vector<char> empty;
    };

    Column& column(int ACol) {
        auto& slot = columns[ACol];
        if (!slot) slot = build(ACol);
        return *slot;
    }

    // The style comparison of two rows (positions relative to Left): -1, 0 or 1.
    int compare(int ACol, int A, int B) {
        ++g.Compares;
        Column& c = column(ACol);
        switch (c.kind) {
        case TSortKeyKind::Number: {
            const double x = c.number[std::size_t(A)], y = c.number[std::size_t(B)];
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case TSortKeyKind::Text: {
            const std::string &x = c.text[std::size_t(A)], &y = c.text[std::size_t(B)];
            if (!c.bytewise) return CompareUtf16Order(x, y);
            const int r = x.compare(y);
            return r < 0 ? -1 : (r > 0 ? 1 : 0);
        }
        case TSortKeyKind::Custom: {
            int res = 0;
            if (g.OnCustomCompare)
                g.OnCustomCompare(&g, c.text[std::size_t(A)], c.text[std::size_t(B)], res);
            return res < 0 ? -1 : (res > 0 ? 1 : 0);
        }
        case TSortKeyKind::Raw: {
            int res = 0;
            if (g.OnRawCompare) g.OnRawCompare(&g, ACol, left + A, left + B, res);
            return res < 0 ? -1 : (res > 0 ? 1 : 0);
        }
        }
        return 0;
    }

    // The comparison of CompareCells: the style's result, or the blank placing.
    int compareCells(int ACol, int A, int B, bool Descending) {
        const int r = compare(ACol, A, B);
        if (!g.SortSettings()->IgnoreBlanks()) return r;
        Column& c = column(ACol);
        const bool ea = c.empty[std::size_t(A)], eb = c.empty[std::size_t(B)];
        if (ea == eb) return r;
        int placed = (ea == (g.SortSettings()->BlankPos() == blFirst)) ? -1 : 1;
        return Descending ? -placed : placed;
    }

private:
    std::unique_ptr<Column> build(int ACol) {
        auto c = std::make_unique<Column>();
        const TSortSettings* ss = g.SortSettings();
        TSortStyle style = ss->AutoFormat()   ? ssAutomatic
                           : ss->IgnoreCase() ? ssAlphaNoCase
                                              : ssAlphabetic;
        std::string prefix, suffix;
        g.GetFormat(ACol, style, prefix, suffix);
        const std::size_t n = std::size_t(std::max(0, right - left + 1));
        std::vector<std::string> texts(n);
        if (style != ssRaw && style != ssImages && style != ssCheckBox)
            for (std::size_t i = 0; i < n; ++i)
                texts[i] = ss->SortOnVirtualCells() ? g.Cells(ACol, left + int(i))
                                                    : g.GridCells(ACol, left + int(i));
        if (style == ssAutomatic)
            style = ResolveAutomaticStyle(texts, n > 0 && isCheckBoxType(g.GetCellType(ACol, left)),
                                          ss->IgnoreCase());
        else if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase)
            style = ResolveAlphaNumericStyle(texts, style == ssAlphaNumericNoCase);
        c->style = style;
        c->kind = SortKeyKind(style);
        c->bytewise = style == ssAnsiAlphaCase || style == ssAnsiAlphaNoCase;
        c->empty.resize(n);
        if (c->kind == TSortKeyKind::Number) c->number.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const int row = left + int(i);
            if (style == ssImages) {
                c->number[i] = double(g.GetCellImageKey(ACol, row));
                continue;
            }
            if (style == ssCheckBox) {
                bool state = false;
                g.GetCheckBoxState(ACol, g.RealRowIndex(row), state);
                c->number[i] = state ? 1 : 0;
                continue;
            }
            if (c->kind == TSortKeyKind::Raw) continue;
            if (c->kind == TSortKeyKind::Custom) {
                c->empty[i] = texts[i].empty();
                continue;
            }
            TSortKey k = MakeSortKey(style, texts[i], prefix, suffix);
            c->empty[i] = k.Empty;
            if (c->kind == TSortKeyKind::Number)
                c->number[i] = k.Number;
            else
                texts[i] = std::move(k.Text);
        }
        if (c->kind != TSortKeyKind::Number) c->text = std::move(texts);
        return c;
    }

    TQorStringGrid& g;
    int left, right;
    std::map<int, std::unique_ptr<Column>> columns;
};

void TQorStringGrid::InitSortXRef() {
    FSortRowXRef->Clear();
    for (int r = 0; r < RowCount(); ++r) FSortRowXRef->Add(r);
}

std::vector<std::pair<int, bool>> TQorStringGrid::plainSortKeys(int ACol) const {
    const bool desc = FSortSettings->Direction() == sdDescending;
    std::vector<std::pair<int, bool>> keys{{ACol, desc}};
    if (FSortSettings->Full())
        for (int c = ACol + 1; c < TotalColCount(); ++c) keys.emplace_back(c, desc);
    return keys;
}

std::vector<std::pair<int, bool>> TQorStringGrid::indexedSortKeys() const {
    std::vector<std::pair<int, bool>> keys;
    const int n =
        FSortSettings->Full() ? FSortIndexes->Count() : std::min(1, FSortIndexes->Count());
    for (int i = 0; i < n; ++i)
        keys.emplace_back(FSortIndexes->GetSortColumns(i), !FSortIndexes->GetSortDirections(i));
    return keys;
}

void TQorStringGrid::sortRows(int Left, int Right, const std::vector<std::pair<int, bool>>& Keys,
                              bool IgnoredEqual) {
    Right = std::min(Right, RowCount() - 1);
    Left = std::max(Left, 0);
    if (Right <= Left || Keys.empty()) return;
    TSortKeys keys(*this, Left, Right);
    std::vector<std::pair<int, bool>> used;
    for (const auto& k : Keys)
        if (k.first >= 0 && k.first < TotalColCount() &&
            !(IgnoredEqual && IsIgnoredColumn(k.first)))
            used.push_back(k);
    if (used.empty()) return;
    std::vector<int> order(std::size_t(Right - Left + 1));
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    stableSort(order, [&](int a, int b) {
        for (const auto& [col, desc] : used) {
            const int r = keys.compareCells(col, a, b, desc);
            if (r != 0) return (desc ? -r : r) < 0;
        }
        return false;
    });
    // Row at position i goes to i: at most one exchange per row.
    std::vector<int> where(order.size()), at(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) where[i] = at[i] = int(i);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int want = order[i];
        const int p = where[std::size_t(want)];
        if (p == int(i)) continue;
        SortSwapRows(Left + int(i), Left + p);
        ++Swaps;
        const int moved = at[i];
        at[std::size_t(p)] = moved;
        where[std::size_t(moved)] = p;
        at[i] = want;
        where[std::size_t(want)] = int(i);
    }
    // The current row (tracked for MoveRowOnSort).
    if (FSortRow >= Left && FSortRow <= Right)
        FSortRow = Left + where[std::size_t(FSortRow - Left)];
}

namespace {
// Column 0's cells of the normal rows, put back after a sort (NormalCellsOnly).
struct FirstColumnCells {
    std::vector<std::pair<std::string, TObject*>> cells;
    void save(TQorStringGrid& g) {
        for (int r = 0; r < g.RowCount(); ++r)
            cells.emplace_back(g.GridCells(0, r), g.GridObjects(0, r));
    }
    void restore(TQorStringGrid& g) {
        for (int r = 0; r < g.RowCount() && std::size_t(r) < cells.size(); ++r) {
            g.SetGridCells(0, r, cells[std::size_t(r)].first);
            g.SetGridObjects(0, r, cells[std::size_t(r)].second);
        }
    }
};
} // namespace

// Runs a sort of the normal rows with what every entry point shares: the cross-reference, the
// fixed first column, the top row, the update lock and the floating footer, restored also when
// the sort raises.
template <typename F> static void sortFrame(TQorStringGrid& g, F&& Run) {
    if (g.SortRowXRef()->Count() != g.RowCount()) g.InitSortXRef();
    struct Restore {
        TQorStringGrid& g;
        std::optional<FirstColumnCells> first;
        int top;
        ~Restore() {
            if (first) first->restore(g);
            if (g.Navigation()->KeepScrollOnSort()) g.SetTopRow(top);
            g.EndUpdate();
        }
    } restore{g, std::nullopt, g.TopRow()};
    if (g.SortSettings()->NormalCellsOnly() && g.FixedCols() > 0) {
        restore.first.emplace();
        restore.first->save(g);
    }
    g.BeginUpdate();
    Run();
}

void TQorStringGrid::QSort() {
    const int col = FSortSettings->Column();
    if (col < 0) return;
    FSortIndexes->Clear();
    sortFrame(*this, [&] {
        FNormalRowCount = RowCount();
        FSortDir = FSortSettings->Direction() == sdDescending ? -1 : 1;
        const int remembered = Row();
        FSortRow = remembered;
        sortRows(FixedRows(), RowCount() - 1 - FFixedFooters, plainSortKeys(col), true);
        if (!FMouseActions->DisjunctRowSelect()) {
            const int target = FNavigation->MoveRowOnSort() ? FSortRow : remembered;
            if (FNavigation->MoveRowOnSort()) FOldRowSel = -1;
            if (target != Row() && target >= 0 && target < RowCount()) TBaseGrid::SetRow(target);
        }
        if (OnRowUpdate && !FNavigation->MoveRowOnSort()) OnRowUpdate(this, remembered, Row());
    });
}

void TQorStringGrid::QSortIndexed() {
    if (FSortIndexes->Count() == 0) throw EQorGridError("No indexes specified for indexed sort");
    sortFrame(*this, [&] {
        FNormalRowCount = RowCount();
        const int remembered = Row();
        FSortRow = remembered;
        sortRows(FixedRows(), RowCount() - 1 - FFixedFooters, indexedSortKeys(), false);
        const int target = FNavigation->MoveRowOnSort() ? FSortRow : remembered;
        if (target != Row() && target >= 0 && target < RowCount()) TBaseGrid::SetRow(target);
    });
}

void TQorStringGrid::sortGroupRows(bool Indexed) {
    if (Indexed && FSortIndexes->Count() == 0)
        throw EQorGridError("No indexes specified for indexed sort");
    if (!Indexed && FSortSettings->Column() < 0) return;
    sortFrame(*this, [&] {
        FNormalRowCount = RowCount();
        const int remembered = Row();
        FSortRow = remembered;
        const auto keys = Indexed ? indexedSortKeys() : plainSortKeys(FSortSettings->Column());
        if (!Indexed) FSortDir = FSortSettings->Direction() == sdDescending ? -1 : 1;
        int deepest = -1;
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (IsNode(r)) deepest = std::max(deepest, GetNodeLevel(r));
        for (int r = FixedRows(); r < RowCount(); ++r) {
            if (!IsNode(r) || GetNodeLevel(r) != deepest || GetNodeState(r)) continue;
            const int span = GetNodeSpan(r);
            if (span >= 3) sortRows(r + 1, r + span - 1, keys, !Indexed);
        }
        const int target = FNavigation->MoveRowOnSort() ? FSortRow : remembered;
        if (target != Row() && target >= 0 && target < RowCount()) TBaseGrid::SetRow(target);
    });
}

void TQorStringGrid::QSortGroup() {
    sortGroupRows(false);
}

void TQorStringGrid::QSortGroupIndexed() {
    sortGroupRows(true);
}

void TQorStringGrid::QUnSort() {
    // The order before the sorts is lost once rows came or went.
    if (FSortRowXRef->Count() != RowCount()) return;
    std::optional<FirstColumnCells> first;
    if (FSortSettings->NormalCellsOnly() && FixedCols() > 0) {
        first.emplace();
        first->save(*this);
    }
    UpdateScope<TQorStringGrid> lock(*this);
    // Each row goes to the position its cross-reference entry names (SortSwapRows exchanges
    // the entries with the rows).
    for (int i = 0; i < RowCount(); ++i) {
        for (;;) {
            const int to = FSortRowXRef->GetInteger(i);
            if (to == i || to < 0 || to >= RowCount() || FSortRowXRef->GetInteger(to) == to) break;
            SortSwapRows(i, to);
            ++Swaps;
        }
    }
    if (first) first->restore(*this);
}

void TQorStringGrid::Sort(int Column, TSortDirection Direction) {
    FSortSettings->SetColumn(Column);
    FSortSettings->SetDirection(Direction);
    QSort();
}

void TQorStringGrid::SortByColumn(int Col) {
    if (RowCount() <= 1) return;
    FSortSettings->SetColumn(Col);
    QSort();
}

void TQorStringGrid::QuickSort(int Col, int Left, int Right) {
    FSortDir = FSortSettings->Direction() == sdDescending ? -1 : 1;
    sortRows(Left, Right, plainSortKeys(Col), true);
}

void TQorStringGrid::QuickSortIndexed(int Left, int Right) {
    sortRows(Left, Right, indexedSortKeys(), false);
}

int TQorStringGrid::CompareCells(int ACol, int ARow1, int ARow2, TSortDirection Direction) {
    if (ACol < 0 || ACol >= TotalColCount()) return 0;
    const int lo = std::min(ARow1, ARow2), hi = std::max(ARow1, ARow2);
    if (lo < 0 || hi >= RowCount()) return 0;
    TSortKeys keys(*this, lo, hi);
    return keys.compareCells(ACol, ARow1 - lo, ARow2 - lo, Direction == sdDescending);
}

int TQorStringGrid::CompareLine(int ACol, int ARow1, int ARow2) {
    for (int c = ACol; c >= 0 && c < TotalColCount(); ++c) {
        const int r =
            IsIgnoredColumn(c) ? 0 : CompareCells(c, ARow1, ARow2, FSortSettings->Direction());
        if (r != 0 || !FSortSettings->Full()) return r;
    }
    return 0;
}

int TQorStringGrid::CompareLineIndexed(int Index, int ARow1, int ARow2) {
    for (int i = Index; i >= 0 && i < FSortIndexes->Count(); ++i) {
        const bool asc = FSortIndexes->GetSortDirections(i);
        const int r = CompareCells(FSortIndexes->GetSortColumns(i), ARow1, ARow2,
                                   asc ? sdAscending : sdDescending);
        if (r != 0 || !FSortSettings->Full()) return asc ? r : -r;
    }
    return 0;
}

bool TQorStringGrid::SortLine(int Col, int ARow1, int ARow2) {
    for (int c = Col; c >= 0 && c < TotalColCount(); ++c) {
        const int r = CompareCells(c, ARow1, ARow2, FSortSettings->Direction());
        if (r == FSortDir) {
            SortSwapRows(ARow1, ARow2);
            ++Swaps;
            return true;
        }
        if (r != 0) return false;
    }
    return false;
}
