#pragma once
// Layout helpers shared by the grid's sources: positions of cells along one axis.
#include "platform/ui/Grids.h"

#include <algorithm>
#include <cstdint>

namespace grid_layout {

inline const char* const sIndexOutOfRange = "Grid index out of range";
inline const char* const sFixedColTooBig = "Fixed column count must be less than column count";
inline const char* const sFixedRowTooBig = "Fixed row count must be less than row count";

[[noreturn]] inline void invalidOp(const char* text) {
    throw EInvalidGridOperation(text);
}

inline int mulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    long long p = static_cast<long long>(a) * b;
    long long half = c / 2;
    long long q = p >= 0 ? p + half : p - half;
    // A 32-bit division where the operands allow it (thumb positions of long grids).
    if (c != -1 && q >= INT32_MIN && q <= INT32_MAX) return int(q) / c;
    return int(q / c);
}

inline int extentOf(const TGridAxisDrawInfo& a, int i) {
    return (*a.Extents)[std::size_t(i)];
}

// Fills the boundaries of an axis from its extents, fixed count and first scrolled cell.
inline void calcAxis(TGridAxisDrawInfo& a) {
    int lw = a.EffectiveLineWidth;
    if (int u = a.Extents->Uniform(); u >= 0) {
        // Cells of one size: the same boundaries, counted instead of walked.
        long long step = u + lw, start = step * a.FixedCellCount;
        long long cells = std::max(0, a.GridCellCount - a.FirstGridCell);
        // The room left lies below GridExtent: an int division.
        long long fit = start > a.GridExtent ? 0
                        : step == 0
                            ? cells
                            : std::min(cells, (long long)(int(a.GridExtent - start) / int(step)));
        a.FixedBoundary = int(start);
        a.LastFullVisibleCell = a.FirstGridCell - 1 + int(fit);
        a.FullVisBoundary = int(start + fit * step);
        a.GridBoundary = fit < cells ? a.GridExtent : std::min(a.FullVisBoundary, a.GridExtent);
        return;
    }
    int pos = 0;
    for (int i = 0; i < a.FixedCellCount; ++i) pos += extentOf(a, i) + lw;
    a.FixedBoundary = pos;
    a.FullVisBoundary = pos;
    a.LastFullVisibleCell = a.FirstGridCell - 1;
    for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
        pos += extentOf(a, i) + lw;
        if (pos > a.GridExtent) {
            pos = a.GridExtent;
            break;
        }
        a.LastFullVisibleCell = i;
        a.FullVisBoundary = pos;
    }
    a.GridBoundary = std::min(pos, a.GridExtent);
}

// Start of cell i along the axis, or -1 when it is not shown.
inline int cellStart(const TGridAxisDrawInfo& a, int i) {
    if (i < 0 || i >= a.GridCellCount) return -1;
    int lw = a.EffectiveLineWidth;
    int pos = 0;
    if (i < a.FixedCellCount) {
        for (int k = 0; k < i; ++k) pos += extentOf(a, k) + lw;
        return pos;
    }
    if (i < a.FirstGridCell) return -1;
    pos = a.FixedBoundary;
    for (int k = a.FirstGridCell; k < i; ++k) {
        pos += extentOf(a, k) + lw;
        if (pos >= a.GridExtent) return -1;
    }
    return pos < a.GridExtent ? pos : -1;
}

// The cell at position p along the axis; -1 outside the shown cells.
inline int cellAt(const TGridAxisDrawInfo& a, int p) {
    int lw = a.EffectiveLineWidth;
    if (p < 0) return -1;
    int pos = 0;
    if (p < a.FixedBoundary) {
        for (int i = 0; i < a.FixedCellCount; ++i) {
            pos += extentOf(a, i) + lw;
            if (p < pos) return i;
        }
        return -1;
    }
    if (p >= a.GridBoundary) return -1;
    pos = a.FixedBoundary;
    for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
        pos += extentOf(a, i) + lw;
        if (p < pos) return i;
    }
    return -1;
}

// Smallest first cell from which `last` is still shown completely (last itself when it
// does not fit at all).
inline int firstToShow(const TGridAxisDrawInfo& a, int last) {
    int room = a.GridExtent - a.FixedBoundary;
    int lw = a.EffectiveLineWidth;
    if (int u = a.Extents->Uniform(); u >= 0) {
        long long step = u + lw, avail = last - a.FixedCellCount + 1;
        if (avail <= 0 || room < 0) return last;
        long long k = step == 0 ? avail : std::min(avail, (long long)(room / int(step)));
        return k > 0 ? last - int(k) + 1 : last;
    }
    int used = 0;
    int first = last;
    for (int i = last; i >= a.FixedCellCount; --i) {
        used += extentOf(a, i) + lw;
        if (used > room) break;
        first = i;
    }
    return first;
}

// Where a cell index goes when another cell moves from `from` to `to`.
inline void moveAdjust(int& pos, int from, int to) {
    if (pos == from)
        pos = to;
    else if (from < pos && pos <= to)
        --pos;
    else if (to <= pos && pos < from)
        ++pos;
}

// Moves element `from` to `to`, shifting the ones between by one (a block move, not a rotate,
// so that plain values move as memory).
template <typename V> void moveItem(V& v, int from, int to) {
    auto b = v.begin();
    typename V::value_type tmp = std::move(b[from]);
    if (from < to)
        std::move(b + from + 1, b + to + 1, b + from);
    else
        std::move_backward(b + to, b + from, b + from + 1);
    b[to] = std::move(tmp);
}

} // namespace grid_layout
