// String grid column and row calculations, and sizing columns and rows to their content.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"

#include <cmath>
#include <optional>
#include <set>
#include <string>

namespace {

// A value read from a cell; nothing for a cell that holds no number.
template <typename Read> std::optional<double> number(Read read) {
    try {
        return read();
    } catch (const EQorGridError&) {
        return std::nullopt;
    }
}

} // namespace

// The rows a column calculation visits (display or real rows) and whether a row takes part.
struct TQorStringGrid::CalcRange {
    int From = 0;
    int To = -1;
    bool RealRows = false;
};

TQorStringGrid::CalcRange TQorStringGrid::calcRange(int FromRow, int ToRow) {
    CalcRange r;
    if (FromRow == -1 || ToRow == -1) {
        FromRow = FixedRows();
        ToRow = RowCount() - FFixedFooters - 1;
    }
    r.From = FromRow;
    r.To = ToRow;
    r.RealRows = FFloatingFooter->Visible() ? ToRow > RowCount() - 1 : ToRow > RowCount();
    return r;
}

std::optional<double> TQorStringGrid::calcValue(int ACol, int r, bool RealRows) {
    int d = r;
    if (RealRows) {
        d = DisplRowIndex(r);
        // A hidden row takes part with its stored text.
        if (d < 0 || d >= RowCount()) return number([&] { return AllFloats(ACol, r); });
    } else if (r < 0 || r >= RowCount()) {
        return std::nullopt;
    }
    if (!IsBaseCell(ACol, d)) return std::nullopt;
    if (RealRows) return number([&] { return AllFloats(ACol, r); });
    return number([&] { return Floats(ACol, r); });
}

double TQorStringGrid::ColumnSum(int ACol, int FromRow, int ToRow) {
    const CalcRange range = calcRange(FromRow, ToRow);
    double sum = 0;
    exportRows(range.From, range.To, [&](int r) {
        if (auto v = calcValue(ACol, r, range.RealRows)) sum += *v;
    });
    return sum;
}

double TQorStringGrid::ColumnAvg(int ACol, int FromRow, int ToRow) {
    const CalcRange range = calcRange(FromRow, ToRow);
    if (range.To < range.From) return 0;
    return ColumnSum(ACol, range.From, range.To) / (range.To - range.From + 1);
}

// Min and max start from the first number that takes part: a leading cell without a number is
// skipped like any other.
double TQorStringGrid::ColumnMin(int ACol, int FromRow, int ToRow) {
    const CalcRange range = calcRange(FromRow, ToRow);
    std::optional<double> best;
    exportRows(range.From, range.To, [&](int r) {
        if (auto v = calcValue(ACol, r, range.RealRows); v && (!best || *v < *best)) best = v;
    });
    return best.value_or(0);
}

double TQorStringGrid::ColumnMax(int ACol, int FromRow, int ToRow) {
    const CalcRange range = calcRange(FromRow, ToRow);
    std::optional<double> best;
    exportRows(range.From, range.To, [&](int r) {
        if (auto v = calcValue(ACol, r, range.RealRows); v && (!best || *v > *best)) best = v;
    });
    return best.value_or(0);
}

double TQorStringGrid::ColumnStdDev(int ACol, int FromRow, int ToRow) {
    const CalcRange range = calcRange(FromRow, ToRow);
    if (range.To < range.From) return 0;
    const double avg = ColumnAvg(ACol, range.From, range.To);
    double sum = 0;
    exportRows(range.From, range.To, [&](int r) {
        const double d = Floats(ACol, r) - avg;
        sum += d * d;
    });
    return std::sqrt(sum / (range.To - range.From + 1));
}

double TQorStringGrid::ColumnDistinct(int ACol, int FromRow, int ToRow) {
    const CalcRange range = calcRange(FromRow, ToRow);
    std::set<std::string> seen;
    for (int r = std::max(0, range.From); r <= std::min(range.To, RowCount() - 1); ++r)
        seen.insert(UpperCase(GetCellEx(ACol, r)));
    return double(seen.size());
}

double TQorStringGrid::ColumnCustomCalc(int ACol, int FromRow, int ToRow) {
    double res = 0;
    if (OnColumnCalc) OnColumnCalc(this, ACol, FromRow, ToRow, res);
    return res;
}

double TQorStringGrid::GroupCalcValue(int ACol, int FromRow, int ToRow) {
    double res = 0;
    if (OnGroupCalc) OnGroupCalc(this, ACol, FromRow, ToRow, res);
    return res;
}

double TQorStringGrid::RowSum(int ARow, int FromCol, int ToCol) {
    double sum = 0;
    for (int c = FromCol; c <= ToCol; ++c)
        if (IsBaseCell(c, ARow))
            if (auto v = number([&] { return Floats(c, ARow); })) sum += *v;
    return sum;
}

double TQorStringGrid::RowAvg(int ARow, int FromCol, int ToCol) {
    if (ToCol < FromCol) return 0;
    return RowSum(ARow, FromCol, ToCol) / (ToCol - FromCol + 1);
}

double TQorStringGrid::RowMin(int ARow, int FromCol, int ToCol) {
    std::optional<double> best;
    for (int c = FromCol; c <= ToCol; ++c)
        if (IsBaseCell(c, ARow))
            if (auto v = number([&] { return Floats(c, ARow); }); v && (!best || *v < *best))
                best = v;
    return best.value_or(0);
}

double TQorStringGrid::RowMax(int ARow, int FromCol, int ToCol) {
    std::optional<double> best;
    for (int c = FromCol; c <= ToCol; ++c)
        if (IsBaseCell(c, ARow))
            if (auto v = number([&] { return Floats(c, ARow); }); v && (!best || *v > *best))
                best = v;
    return best.value_or(0);
}

// --- auto-sizing ----------------------------------------------------------------------------

void TQorStringGrid::AutoSizeCol(int ACol, int Padding) {
    DoAutoSizeCol(ACol, FFlags.SizeGrowOnly);
    if (Padding != 0)
        SetColWidths(ACol, LimitValue(ColWidths(ACol) + Padding, FMinColWidth, FMaxColWidth));
}

void TQorStringGrid::DoAutoSizeCol(int ACol, bool GrowOnly) {
    if (ACol < 0 || ACol >= ColCount()) return;
    const int realCol = RealColIndex(ACol);
    int from = 0, to = RowCount() - 1;
    switch (FColumnSize->Rows()) {
    case arNormal:
        from = FixedRows();
        to = RowCount() - FFixedFooters - 1;
        break;
    case arFixed:
        to = FixedRows() - 1;
        break;
    case arAll:
        break;
    }
    int widest = 0;
    for (int r = from; r <= to; ++r) {
        if (IsXMergedCell(realCol, r)) continue;
        int w = GetCellGraphicSize(realCol, r).X + GetCellTextSize(realCol, r, false, false).cx;
        if (FControlLook->DropDownAlwaysVisible() && HasComboBox(realCol, r)) w += 16;
        widest = std::max(widest, w);
    }
    const int margin = FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X;
    int target = widest + margin + 2 * GridLineWidth() + 2;
    if (!GrowOnly || ColWidths(ACol) < target) {
        UpdateAutoColumnSize(ACol, target);
        SetColWidths(ACol, LimitValue(target, FMinColWidth, FMaxColWidth));
    }
}

void TQorStringGrid::AutoSizeColumns(bool DoFixedCols, int Padding) {
    const int from = DoFixedCols ? 0 : FixedCols();
    const int to = DoFixedCols ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
    for (int c = from; c <= to; ++c) AutoSizeCol(c, Padding);
}

void TQorStringGrid::AutoSizeCells(bool DoFixedCells, int PaddingX, int PaddingY) {
    BeginUpdate();
    TCanvas* canvas = Canvas();
    for (int c = DoFixedCells ? 0 : FixedCols(); c < ColCount(); ++c) {
        int running = FFlags.SizeGrowOnly ? ColWidths(c) : 0;
        const int realCol = RealColIndex(c);
        for (int r = DoFixedCells ? 0 : FixedRows(); r < RowCount(); ++r) {
            canvas->Font()->Assign(isFixedCell(c, r) ? FFixedFont.get() : Font());
            const TPoint g = GetCellGraphicSize(c, r);
            const TSize t = GetCellTextSize(realCol, r, false, false);
            const int w = t.cx + g.X + PaddingX + FXYOffset.X;
            const int h = t.cy + g.Y + PaddingY + FXYOffset.Y;
            if (!IsXMergedCell(realCol, r) && w > running) {
                const int lw = LimitValue(w, FMinColWidth, FMaxColWidth);
                if (lw > ColWidths(c)) SetColWidths(c, lw);
                running = w;
            }
            if (!IsYMergedCell(realCol, r) && h > RowHeights(r)) {
                const int lh = LimitValue(h, FMinRowHeight, FMaxRowHeight);
                if (lh > RowHeights(r)) SetRowHeights(r, lh);
            }
        }
    }
    EndUpdate();
}

void TQorStringGrid::AutoSizeRow(int ARow, int Padding) {
    DoAutoSizeRow(ARow, FFlags.SizeGrowOnly, Padding);
    if (Padding != 0)
        SetRowHeights(ARow, LimitValue(RowHeights(ARow) + Padding, FMinRowHeight, FMaxRowHeight));
}

void TQorStringGrid::DoAutoSizeRow(int ARow, bool GrowOnly, int Padding) {
    if (ARow < 0 || ARow >= RowCount()) return;
    int highest = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const int realCol = RealColIndex(c);
        if (IsYMergedCell(realCol, ARow) || FIgnoreColumns->HasValue(realCol)) continue;
        if (!IsBaseCell(realCol, ARow)) continue;
        int textH = GetCellTextSize(realCol, ARow, WordWrap(), false).cy;
        TPoint g;
        CalcGraphicSize(realCol, ARow, g, Padding);
        int h = textH + g.Y;
        if (TCellGraphic* cg = GetCellGraphic(realCol, ARow)) {
            const TCellType t = cg->CellType();
            if (t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRadioButton)
                h = DefaultRowHeight();
        }
        highest = std::max(highest, h);
    }
    const int margin = FXYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y;
    const int target = margin + highest + 2 * GridLineWidth() + (FXYOffsetTopLeftOnly ? 2 : 0);
    if (!GrowOnly || RowHeights(ARow) < target)
        SetRowHeights(ARow, LimitValue(target, FMinRowHeight, FMaxRowHeight));
}

void TQorStringGrid::SizeRowToLines(int ARow, int Lines, int Padding) {
    // Measured in the row's own font, not in whatever the canvas was last drawn with.
    TCanvas* c = Canvas();
    c->Font()->Assign(ARow < FixedRows() ? FFixedFont.get() : Font());
    GetCellColor(RealColIndex(FixedCols()), ARow, {}, c->Brush(), c->Font());
    const int h = c->TextHeight("gh");
    SetRowHeights(ARow, LimitValue(Padding + Lines * (h + h / 8), FMinRowHeight, FMaxRowHeight));
}

void TQorStringGrid::AutoSizeRows(bool DoFixedRows, int Padding) {
    if (RowCount() == 0) return;
    const int from = DoFixedRows ? 0 : FixedRows();
    ExportNotification(esExportStart, from);
    for (int r = from; r < RowCount(); ++r) {
        ExportNotification(esExportNextRow, r);
        if (WordWrap())
            AutoSizeRow(r, Padding);
        else
            SizeRowToLines(r, MaxRowLineCount(r), Padding);
    }
    // Lower rows may leave nothing to scroll: a bar kept by ScrollBarAlways shows again.
    UpdateScrollBarsAlways(false);
    ExportNotification(esExportDone, -1);
}

void TQorStringGrid::AutoFitColumns(bool DoFixedCells) {
    // A vertical bar takes its width: one kept by ScrollBarAlways, or one shown for the rows.
    const bool keptBar = FScrollBarAlways == saVert || FScrollBarAlways == saBoth;
    const int v =
        keptBar || (ScrollBars() != ssNone && VisibleRowCount() + FixedRows() < RowCount())
            ? SystemScrollBarSize
            : 0;
    const int b = FBorderStyle == bsNone ? 0 : (FCtl3D ? 4 : 2);
    int from = 0, to = ColCount() - 1, available = Width();
    if (!DoFixedCells) {
        from = FixedCols();
        to = ColCount() - FFixedRightCols - 1;
        for (int c = 0; c < FixedCols(); ++c) available -= ColWidths(c);
        for (int c = to + 1; c < ColCount(); ++c) available -= ColWidths(c);
    }
    int l = Options().Contains(goVertLine)
                ? GridLineWidth() * (ColCount() - FixedCols() - FFixedRightCols)
                : 0;
    if (Options().Contains(goFixedVertLine) && DoFixedCells) l += FixedCols() + FFixedRightCols;
    int r = 0;
    if (ColCount() < 2) {
        SetColWidths(0, Width() - v - 5);
        return;
    }
    if (to < from) return;
    int s = 0;
    for (int c = from; c <= to; ++c) s += ColWidths(c);
    if (s == available - v - b || s <= 0) return;
    const double e = double(available - v - b - l) / s;
    double t = 0;
    for (int c = from; c <= to; ++c) t += std::nearbyint(e * ColWidths(c));
    int sum = 0;
    for (int c = from; c <= to; ++c) {
        SetColWidths(c, int(std::nearbyint(ColWidths(c) * t / s)));
        sum += ColWidths(c);
    }
    r = available - v - b - sum;
    const int n = to - from + 1;
    if (n >= 2 && r > n) {
        for (int c = from; c <= to; ++c) SetColWidths(c, ColWidths(c) + r / n);
        r %= n;
    }
    int widest = from;
    for (int c = from; c <= to; ++c)
        if (ColWidths(c) > ColWidths(widest)) widest = c;
    SetColWidths(widest, ColWidths(widest) + r);
}

void TQorStringGrid::SizeToCols() {
    int w = 0;
    for (int c = 0; c < ColCount(); ++c) w += ColWidths(c);
    SetClientWidth(w);
}

void TQorStringGrid::SizeToRows() {
    int h = 0;
    for (int r = 0; r < RowCount(); ++r) h += RowHeights(r);
    SetClientHeight(h);
}

void TQorStringGrid::SizeToCells() {
    const TScrollStyle old = ScrollBars();
    SetScrollBars(ssNone);
    SizeToCols();
    SizeToRows();
    SetScrollBars(old);
}

void TQorStringGrid::Zoom(int x) {
    const int factor = FZoomFactor + x;
    if (factor < -10 || factor > 10) return;
    FScrollLock = true;
    SetZoomFactor(factor);
    for (int c = 0; c < ColCount(); ++c)
        if (ColWidths(c) > 0 && ColWidths(c) + x > 0) SetColWidths(c, ColWidths(c) + x);
    for (int r = 0; r < RowCount(); ++r)
        if (RowHeights(r) > 0 && RowHeights(r) + x > 0) SetRowHeights(r, RowHeights(r) + x);
    FScrollLock = false;
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
}
