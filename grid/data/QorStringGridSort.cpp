// Sorting the grid's rows: by one column, by the sort index list, inside groups, and back.
// Each sort reads every compared cell once into a key, orders the row positions with a stable
// merge sort whose comparison is a strict weak order for every built-in style, and then moves
// the rows into that order with at most one exchange per row.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/DataSettings.h"
#include "grid/data/SortKeys.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>

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

    // Orders Order (positions relative to Left) by the column ACol as compareCells does, from
    // keys packed next to the positions: numbers by their bits, texts by eight bytes at a time
    // (the next eight only for the rows the first ones leave tied). Runs left equal go to
    // Tied(first, last) in their original order. False when the column's kind has no such
    // keys.
    template <typename TiedFn>
    bool orderByKeys(int ACol, bool Descending, std::vector<int>& Order, TiedFn&& Tied) {
        Column& c = column(ACol);
        if (c.kind != TSortKeyKind::Number && c.kind != TSortKeyKind::Text) return false;
        std::vector<Item> items(Order.size());
        for (std::size_t i = 0; i < items.size(); ++i) items[i].pos = Order[i];
        auto sortRange = [&](Item* first, Item* last) {
            if (c.kind == TSortKeyKind::Number)
                sortNumbers(c, Descending, first, last, Tied);
            else
                sortTexts(c, Descending, first, last, 0, Tied);
        };
        Item* begin = items.data();
        Item* end = begin + items.size();
        const TSortSettings* ss = g.SortSettings();
        if (ss->IgnoreBlanks()) {
            // Blank cells stand before or after all the others in both directions.
            const bool first = ss->BlankPos() == blFirst;
            Item* mid = std::stable_partition(begin, end, [&](const Item& it) {
                return bool(c.empty[std::size_t(it.pos)]) == first;
            });
            sortRange(begin, mid);
            sortRange(mid, end);
        } else {
            sortRange(begin, end);
        }
        for (std::size_t i = 0; i < items.size(); ++i) Order[i] = items[i].pos;
        return true;
    }

private:
    // A row's key: hi, lo and aux compared in that order; pos the row's position.
    struct Item {
        std::uint64_t hi = 0, lo = 0;
        std::uint32_t aux = 0;
        int pos = 0;
        bool operator==(const Item& o) const { return hi == o.hi && lo == o.lo && aux == o.aux; }
        bool operator<(const Item& o) const {
            return hi != o.hi ? hi < o.hi : lo != o.lo ? lo < o.lo : aux < o.aux;
        }
    };

    // Stable. Short ranges merge; long ones go through a radix sort, one pass per byte of the
    // key (aux, lo, hi, low bytes first) that is not the same in all items.
    void sortItems(Item* first, Item* last) {
        const std::size_t n = std::size_t(last - first);
        if (n < 256) {
            std::stable_sort(first, last, [&](const Item& a, const Item& b) {
                ++g.Compares;
                return a < b;
            });
            return;
        }
        std::uint64_t varies[3] = {0, 0, 0};
        for (const Item* it = first; it != last; ++it) {
            varies[0] |= it->aux ^ first->aux;
            varies[1] |= it->lo ^ first->lo;
            varies[2] |= it->hi ^ first->hi;
        }
        radixBuffer.resize(n);
        Item* from = first;
        Item* to = radixBuffer.data();
        std::array<std::size_t, 256> count;
        for (int word = 0; word < 3; ++word)
            for (int shift = 0; shift < 64; shift += 8) {
                if (((varies[word] >> shift) & 0xFF) == 0) continue;
                auto digit = [word, shift](const Item& it) {
                    const std::uint64_t v = word == 0 ? it.aux : word == 1 ? it.lo : it.hi;
                    return std::size_t(v >> shift) & 0xFF;
                };
                count.fill(0);
                for (const Item* it = from; it != from + n; ++it) ++count[digit(*it)];
                std::size_t sum = 0;
                for (std::size_t& c : count) sum += std::exchange(c, sum);
                for (const Item* it = from; it != from + n; ++it) to[count[digit(*it)]++] = *it;
                std::swap(from, to);
            }
        if (from != first) std::copy(from, from + n, first);
    }

    std::vector<Item> radixBuffer;

    // Calls Fn(first, last) for each run of two or more equal items.
    template <typename Fn> static void forEachRun(Item* first, Item* last, Fn&& fn) {
        while (first != last) {
            Item* e = first + 1;
            while (e != last && *e == *first) ++e;
            if (e - first > 1) fn(first, e);
            first = e;
        }
    }

    template <typename TiedFn>
    void sortNumbers(Column& c, bool Descending, Item* first, Item* last, TiedFn& Tied) {
        for (Item* it = first; it != last; ++it) {
            double v = c.number[std::size_t(it->pos)];
            if (v == 0) v = 0; // -0 and 0 are equal
            const auto bits = std::bit_cast<std::uint64_t>(v);
            const std::uint64_t sign = std::uint64_t(1) << 63;
            it->hi = (bits & sign) ? ~bits : bits | sign;
            if (Descending) it->hi = ~it->hi;
        }
        sortItems(first, last);
        forEachRun(first, last, Tied);
    }

    // Texts whose first Offset bytes are equal: the next 16 bytes' weights big-endian in hi and
    // lo (missing bytes as 0), and the length, capped past the 16, in aux.
    template <typename TiedFn>
    void sortTexts(Column& c, bool Descending, Item* first, Item* last, std::size_t Offset,
                   TiedFn& Tied) {
        constexpr std::size_t Chunk = 16;
        for (Item* it = first; it != last; ++it) {
            const std::string& t = c.text[std::size_t(it->pos)];
            std::uint64_t word[2] = {0, 0};
            for (std::size_t i = 0; i < Chunk; ++i) {
                unsigned char b = 0;
                if (Offset + i < t.size()) {
                    b = static_cast<unsigned char>(t[Offset + i]);
                    if (!c.bytewise) b = Utf16OrderByte(b);
                }
                word[i / 8] = word[i / 8] << 8 | b;
            }
            const auto len = std::uint32_t(std::min(t.size(), Offset + Chunk + 1) - Offset);
            it->hi = Descending ? ~word[0] : word[0];
            it->lo = Descending ? ~word[1] : word[1];
            it->aux = Descending ? ~len : len;
        }
        sortItems(first, last);
        forEachRun(first, last, [&](Item* a, Item* b) {
            // Equal so far and both longer than the chunk: the next chunk decides.
            if (c.text[std::size_t(a->pos)].size() > Offset + Chunk)
                sortTexts(c, Descending, a, b, Offset + Chunk, Tied);
            else
                Tied(a, b);
        });
    }

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
    auto lessFrom = [&](std::size_t from) {
        return [&, from](int a, int b) {
            for (std::size_t k = from; k < used.size(); ++k) {
                const auto [col, desc] = used[k];
                const int r = keys.compareCells(col, a, b, desc);
                if (r != 0) return (desc ? -r : r) < 0;
            }
            return false;
        };
    };
    // Rows equal in the first column are ordered by the others.
    std::vector<int> tied;
    auto byOthers = [&](auto* first, auto* last) {
        if (used.size() < 2) return;
        tied.clear();
        for (auto* it = first; it != last; ++it) tied.push_back(it->pos);
        stableSort(tied, lessFrom(1));
        for (auto* it = first; it != last; ++it) it->pos = tied[std::size_t(it - first)];
    };
    if (!keys.orderByKeys(used[0].first, used[0].second, order, byOthers))
        stableSort(order, lessFrom(0));
    // Row order[i] goes to position i, one cycle of the permutation at a time: a cycle of k rows
    // takes k - 1 exchanges, each putting one row in place.
    const int tracked = FSortRow >= Left && FSortRow <= Right ? FSortRow - Left : -1;
    int trackedTo = tracked;
    std::vector<char> placed(order.size());
    for (std::size_t start = 0; start < order.size(); ++start) {
        for (std::size_t cur = start; !placed[cur];) {
            placed[cur] = 1;
            const std::size_t next = std::size_t(order[cur]);
            if (int(next) == tracked) trackedTo = int(cur);
            if (next == start) break;
            SortSwapRows(Left + int(cur), Left + int(next));
            ++Swaps;
            cur = next;
        }
    }
    // The current row (tracked for MoveRowOnSort).
    if (tracked >= 0) FSortRow = Left + trackedTo;
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
