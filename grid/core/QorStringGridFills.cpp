// TQorStringGrid's cell-by-cell operations over ranges: the cell checker, fills, numbering, date
// and time cells, search highlighting, exchanging two cells, moving the current cell and
// repainting parts of the grid.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/render/markup/MarkupText.h"

#include "grid/data/DataSettings.h"
#include "grid/data/SearchPanel.h"
#include "grid/editors/CellChecker.h"
#include "platform/base/DateUtils.h"

#include <algorithm>
#include <random>

namespace {

// The text escaped, each match of HiText in it wrapped in the Tag pair. Matches are found in
// the text itself, so that no entity the escaping makes is ever split by a tag.
std::string highlighted(const std::string& Text, const std::string& HiText, const std::string& Tag,
                        bool DoCase) {
    const int length = int(Utf8Length(HiText));
    std::string out;
    int from = 0; // characters
    while (int p = length > 0 ? HTMLFindFrom(HiText, Text, from, DoCase) : 0) {
        const std::size_t a = Utf8Offset(Text, std::size_t(from)),
                          b = Utf8Offset(Text, std::size_t(p - 1)),
                          e = Utf8Offset(Text, std::size_t(p - 1 + length));
        out += HTMLEscapeText(std::string_view(Text).substr(a, b - a), false);
        out += "<" + Tag + ">" + HTMLEscapeText(std::string_view(Text).substr(b, e - b), false) +
               "</" + Tag + ">";
        from = p - 1 + length;
    }
    return out + HTMLEscapeText(std::string_view(Text).substr(Utf8Offset(Text, std::size_t(from))),
                                false);
}

TRect unionOf(const TRect& a, const TRect& b) {
    return TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom));
}

} // namespace

// --- cell checker ------------------------------------------------------------------------------

void TQorStringGrid::SetCellChecker(TQorStringGridCheck* v) {
    FCellChecker = v;
    if (v) v->FreeNotification(this);
}

bool TQorStringGrid::CheckCell(int ACol, int ARow) {
    if (!FCellChecker) return true;
    // The stored text: a display hook's text must never be written back into the cell.
    const TPoint b = BaseCell(ACol, ARow);
    const std::string unmarked = ::UnMarkText(GridCells(b.X, b.Y));
    if (FCellChecker->GotoCell()) GotoCell(DisplColIndex(ACol), ARow);
    std::string text =
        FCellChecker->UseCorrect() ? FCellChecker->Correct(ACol, ARow, unmarked) : unmarked;
    if (FCellChecker->UseMarkError()) text = FCellChecker->MarkError(ACol, ARow, unmarked);
    SetCells(ACol, ARow, text);
    return text == unmarked;
}

bool TQorStringGrid::CheckCells(int FromCol, int FromRow, int ToCol, int ToRow) {
    if (!FCellChecker) return true;
    const int col = Col(), row = Row();
    FCellChecker->StartCheck();
    bool ok = true;
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c) ok = CheckCell(c, r) && ok;
    FCellChecker->StopCheck();
    if (FCellChecker->GotoCell()) GotoCell(col, row);
    return ok;
}

bool TQorStringGrid::CheckCol(bool DoFixed, int ACol) {
    return CheckCells(ACol, firstRow(DoFixed), ACol, lastRow(DoFixed));
}

bool TQorStringGrid::CheckRow(bool DoFixed, int ARow) {
    return CheckCells(firstCol(DoFixed), ARow, lastCol(DoFixed), ARow);
}

bool TQorStringGrid::CheckGrid(bool DoFixed) {
    return CheckCells(firstCol(DoFixed), firstRow(DoFixed), lastCol(DoFixed), lastRow(DoFixed));
}

// --- fills and numbering -----------------------------------------------------------------------

void TQorStringGrid::TextFill(bool DoFixed, const std::string& Txt) {
    {
        UpdateScope<TQorStringGrid> lock(*this);
        for (int r = firstRow(DoFixed); r <= lastRow(DoFixed); ++r)
            for (int c = firstCol(DoFixed); c <= lastCol(DoFixed); ++c) SetCells(c, r, Txt);
    }
    RecalcFooters();
}

void TQorStringGrid::FormatFill(bool DoFixed, const std::string& Fmt) {
    {
        UpdateScope<TQorStringGrid> lock(*this);
        for (int r = firstRow(DoFixed); r <= lastRow(DoFixed); ++r)
            for (int c = firstCol(DoFixed); c <= lastCol(DoFixed); ++c)
                SetCells(c, r, Format(Fmt, c, r));
    }
    RecalcFooters();
}

void TQorStringGrid::RandomFill(bool DoFixed, int Rnd) {
    static std::minstd_rand engine{std::random_device{}()};
    {
        UpdateScope<TQorStringGrid> lock(*this);
        for (int r = firstRow(DoFixed); r <= lastRow(DoFixed); ++r)
            for (int c = firstCol(DoFixed); c <= lastCol(DoFixed); ++c)
                SetInts(c, r, Rnd > 0 ? std::uniform_int_distribution<int>(0, Rnd - 1)(engine) : 0);
    }
    RecalcFooters();
}

void TQorStringGrid::LinearFill(bool DoFixed) {
    {
        UpdateScope<TQorStringGrid> lock(*this);
        for (int r = firstRow(DoFixed); r <= lastRow(DoFixed); ++r)
            for (int c = firstCol(DoFixed); c <= lastCol(DoFixed); ++c)
                SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
    }
    RecalcFooters();
}

void TQorStringGrid::AutoNumberCol(int ACol) {
    if (RowCount() == 0) return;
    const int last = RowCount() - FFixedFooters - 1;
    for (int k = FAutoNumberStart; FixedRows() + k <= last; ++k) {
        const int row = FAutoNumberDirection == sdAscending ? FixedRows() + k : last - k;
        // A negative start reaches above the grid: those places are skipped.
        if (row >= 0 && row < RowCount()) SetInts(ACol, row, k + 1 + FAutoNumberOffset);
    }
}

void TQorStringGrid::AutoNumberRow(int ARow) {
    if (ColCount() == 0) return;
    const int last = ColCount() - FFixedRightCols - 1;
    for (int k = FAutoNumberStart; FixedCols() + k <= last; ++k) {
        const int col = FAutoNumberDirection == sdAscending ? FixedCols() + k : last - k;
        if (col >= 0 && col < ColCount()) SetInts(col, ARow, k + 1 + FAutoNumberOffset);
    }
}

// --- dates and times ---------------------------------------------------------------------------

TDateTime TQorStringGrid::Dates(int ACol, int ARow) {
    return StrToDate(Cells(ACol, ARow));
}

void TQorStringGrid::SetDates(int ACol, int ARow, TDateTime Value) {
    SetCells(ACol, ARow, Value > 0 || ShowNullDates() ? DateToStr(Value) : std::string());
}

TDateTime TQorStringGrid::Times(int ACol, int ARow) {
    return StrToTime(Cells(ACol, ARow));
}

void TQorStringGrid::SetTimes(int ACol, int ARow, TDateTime Value) {
    SetCells(ACol, ARow, TimeToStr(Value));
}

// --- search highlighting -----------------------------------------------------------------------
// Both work on the stored texts, so that what a display hook shows is never stored in a cell.

void TQorStringGrid::HilightInRange(const std::string& HiText, const std::string& Tag, int FromCol,
                                    int FromRow, int ToCol, int ToRow, bool DoCase) {
    UpdateScope<TQorStringGrid> lock(*this);
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c) {
            if (IsMergedNonBaseCell(c, r)) continue;
            SetCells(c, r, highlighted(GridCells(c, r), HiText, Tag, DoCase));
        }
}

void TQorStringGrid::UnHilightInRange(const std::string& Tag, int FromCol, int FromRow, int ToCol,
                                      int ToRow) {
    UpdateScope<TQorStringGrid> lock(*this);
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c) {
            if (IsMergedNonBaseCell(c, r)) continue;
            // The tags go first: an escaped text that reads like a tag stays text.
            SetCells(c, r, HTMLUnescapeText(HTMLRemoveTagPairs(GridCells(c, r), Tag), false));
        }
}

// --- exchanging cells and moving the current cell ---------------------------------------------

void TQorStringGrid::SwapCells(TGridCoord FromCell, TGridCoord ToCell) {
    auto inside = [&](TGridCoord p) {
        return p.X >= 0 && p.X < TotalColCount() && p.Y >= 0 && p.Y < RowCount();
    };
    if (!inside(FromCell) || !inside(ToCell) || FromCell == ToCell) return;
    // A merged area cannot move by one of its cells.
    for (TGridCoord p : {FromCell, ToCell})
        if (IsMergedCell(p.X, p.Y)) SplitCells(BaseCell(p.X, p.Y).X, BaseCell(p.X, p.Y).Y);
    const std::string text = GridCells(FromCell.X, FromCell.Y);
    SetGridCells(FromCell.X, FromCell.Y, GridCells(ToCell.X, ToCell.Y));
    SetGridCells(ToCell.X, ToCell.Y, text);
    TObject* from = GridObjects(FromCell.X, FromCell.Y);
    TObject* to = GridObjects(ToCell.X, ToCell.Y);
    SetGridObjects(FromCell.X, FromCell.Y, to);
    SetGridObjects(ToCell.X, ToCell.Y, from);
    for (TGridCoord p : {FromCell, ToCell})
        if (auto* props = dynamic_cast<TCellProperties*>(GridObjects(p.X, p.Y))) {
            props->SetOwnerCol(p.X);
            props->SetOwnerRow(p.Y);
        }
    RepaintCell(DisplColIndex(FromCell.X), FromCell.Y);
    RepaintCell(DisplColIndex(ToCell.X), ToCell.Y);
}

void TQorStringGrid::GotoCell(int ACol, int ARow) {
    SetRow(ARow);
    SetCol(ACol);
}

void TQorStringGrid::EditCell(int ACol, int ARow) {
    if (CanFocus()) SetFocus();
    GotoCell(ACol, ARow);
    ShowInplaceEdit();
}

void TQorStringGrid::FocusCell(int ACol, int ARow) {
    SetSelection({ACol, ARow, ACol, ARow});
}

void TQorStringGrid::MoveToCell(int ACol, int ARow) {
    MoveColRow(ACol, ARow, true, true);
}

// --- repainting parts --------------------------------------------------------------------------

void TQorStringGrid::RepaintRect(const TRect& r) {
    if (r.Left < 0 || r.Top < 0 || r.Right < 0 || r.Bottom < 0) return;
    const TRect a = CellRect(r.Left, r.Top);
    const TRect b = CellRect(std::min(VisibleColCount() + FixedCols(), r.Right), r.Bottom);
    if (a.IsEmpty() || b.IsEmpty()) {
        Invalidate();
        return;
    }
    const TRect area = unionOf(a, b);
    if (HandleAllocated()) ::InvalidateRect(Handle(), &area, true);
}

void TQorStringGrid::RepaintRow(int ARow) {
    const TRect a = CellRect(0, ARow), b = CellRect(LeftCol() + VisibleColCount(), ARow);
    // Right to left the row runs from a's right to b's left.
    const TRect area = UseRightToLeftAlignment() ? TRect(b.Left, a.Top, a.Right, a.Bottom)
                                                 : TRect(a.Left, a.Top, b.Right, a.Bottom);
    if (HandleAllocated()) ::InvalidateRect(Handle(), &area, false);
}

void TQorStringGrid::RepaintCol(int ACol) {
    const TRect a = CellRect(ACol, TopRow()), b = CellRect(ACol, TopRow() + VisibleRowCount());
    const TRect area(a.Left, a.Top, a.Right, b.Bottom);
    if (HandleAllocated()) ::InvalidateRect(Handle(), &area, false);
}

void TQorStringGrid::InvalidateGridRect(const TGridRect& R) {
    const TRect area = unionOf(CellRect(R.Left, R.Top), CellRect(R.Right, R.Bottom));
    if (HandleAllocated()) ::InvalidateRect(Handle(), &area, false);
}

// --- the last row above the search footer ----------------------------------------------------

bool TQorStringGrid::IsLastRowAboveSearchFooter() {
    if (!FSearchFooter || !FSearchFooter->Visible()) return false;
    if (TopRow() + VisibleRowCount() < RowCount() - 1) return false;
    const TRect last = CellRect(LeftCol(), RowCount() - 1);
    return !last.IsEmpty() &&
           last.Bottom < ClientHeight() - (FSearchPanel ? FSearchPanel->Height() : 0) + 2;
}

void TQorStringGrid::KeepRowAboveSearchFooter() {
    const int panel = FSearchPanel ? FSearchPanel->Height() : 0;
    if (!FSearchFooter || !FSearchFooter->Visible() || ClientHeight() <= DefaultRowHeight() + panel)
        return;
    // Only a last row that shows (wholly or in part) is brought up.
    auto below = [&] {
        const TRect last = CellRect(LeftCol(), RowCount() - 1);
        return !last.IsEmpty() && last.Bottom > ClientHeight() - panel + 2;
    };
    while (below() && Row() >= 0 && Row() < RowCount() && TopRow() < RowCount()) {
        const int top = TopRow();
        SetTopRow(top + 1);
        if (TopRow() == top) break;
    }
}
