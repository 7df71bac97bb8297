// Grouping: node rows for runs of equal values, summary rows and their calculations, a second
// level inside the groups, and undoing both.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/DataSettings.h"
#include "grid/render/FloatingFooter.h"

#include <vector>

void TQorStringGrid::SetGroupColumn(int v) {
    if (v == -1)
        UnGroup();
    else if (v > 0)
        Group(v);
}

void TQorStringGrid::decorateGroupRow(int ARow, int FromCol, bool Header) {
    const TGrouping* gr = FGrouping.get();
    const bool merge = Header ? gr->MergeHeader() : gr->MergeSummary();
    const TColor color = Header ? gr->HeaderColor() : gr->SummaryColor();
    const TColor colorTo = Header ? gr->HeaderColorTo() : gr->SummaryColorTo();
    const TColor text = Header ? gr->HeaderTextColor() : gr->SummaryTextColor();
    if (merge && FromCol < TotalColCount() - 1) {
        MergeCells(FromCol, ARow, TotalColCount() - FromCol, 1);
        TCellProperties* p = CellProperties(FromCol, ARow);
        if (color != clNone) p->SetBrushColor(color);
        if (colorTo != clNone) p->SetBrushColorTo(colorTo);
        if (text != clNone) p->SetFontColor(text);
        return;
    }
    if (color != clNone) SetRowColor(ARow, color);
    if (colorTo != clNone) SetRowColorTo(ARow, colorTo);
    if (text != clNone) SetRowFontColor(ARow, text);
}

void TQorStringGrid::undecorateGroupRow(int ARow, int FromCol, bool Header) {
    const TGrouping* gr = FGrouping.get();
    if (Header ? gr->MergeHeader() : gr->MergeSummary()) {
        if (IsMergedCell(FromCol, ARow)) SplitCells(FromCol, ARow);
        return;
    }
    if ((Header ? gr->HeaderColor() : gr->SummaryColor()) != clNone) SetRowColor(ARow, clNone);
    if ((Header ? gr->HeaderColorTo() : gr->SummaryColorTo()) != clNone)
        SetRowColorTo(ARow, clNone);
}

void TQorStringGrid::Group(int Colindex) {
    // Column 0 carries the node glyphs: it is never a group column.
    if (Colindex < std::max(1, FixedCols()) || Colindex >= TotalColCount()) return;
    if (FGroupColumn != -1) UnGroup();
    const int F = FixedRows();
    if (RowCount() - FFixedFooters <= F) return;
    UpdateScope<TQorStringGrid> lock(*this);
    FIsGrouping = true;
    FGroupColumn = Colindex;
    FGroupWidth = AllColWidths(Colindex);
    FGroupCaption = F > 0 ? GridCells(Colindex, 0) : std::string();
    FGroupFooter = FFixedFooters > 0 ? GridCells(Colindex, RowCount() - 1) : std::string();
    if (FSortSettings->AutoSortForGrouping()) {
        FSortSettings->SetColumn(Colindex);
        QSort();
    }
    // The layout first (header and summary rows inserted), the nodes once every row stands.
    struct Run {
        int header, span, summary;
    };
    std::vector<Run> runs;
    const bool summary = FGrouping->Summary();
    const int textCol = Colindex == 1 ? 2 : 1;
    bool first = true;
    std::string previous;
    auto closeRun = [&](int end) { // end: the row after the run's last row
        Run& run = runs.back();
        run.span = end - run.header;
        run.summary = -1;
        if (!summary) return end;
        InsertRows(end, 1);
        run.summary = end;
        return end + 1;
    };
    for (int r = F; r < RowCount() - FFixedFooters; ++r) {
        const std::string value = GridCells(Colindex, r);
        if (!first && value == previous) continue;
        if (!first) r = closeRun(r);
        InsertRows(r, 1);
        SetGridCells(textCol, r, value);
        runs.push_back({r, 0, -1});
        first = false;
        previous = value;
        ++r; // the run's first row
    }
    if (!runs.empty()) closeRun(RowCount() - FFixedFooters);
    for (const Run& run : runs) {
        AddNode(RealRowIndex(run.header), run.span);
        if (run.summary >= 0) MarkSummaryRow(RealRowIndex(run.summary));
    }
    RemoveCols(Colindex, 1);
    for (const Run& run : runs) {
        decorateGroupRow(run.header, 1, true);
        if (run.summary >= 0) decorateGroupRow(run.summary, 1, false);
    }
    if (FCellNode->ExpandOne() && !runs.empty()) ExpandNode(RealRowIndex(runs.front().header));
    if (Col() < 0 || Col() >= ColCount() || Row() < 0 || Row() >= RowCount())
        FocusCell(FixedCols(), F, true);
    if (F < RowCount()) SetRow(F);
    FIsGrouping = false;
}

void TQorStringGrid::UnGroup() {
    if (FGroupColumn <= 0) return;
    const bool expandOne = FCellNode->ExpandOne();
    FCellNode->SetExpandOne(false);
    ExpandAll();
    UpdateScope<TQorStringGrid> lock(*this);
    // The second levels go first: their values return to their own columns.
    while (!FSubGroupColumns.empty()) SubUnGroup(FSubGroupColumns.back());
    const int G = FGroupColumn;
    InsertCols(G, 1);
    SetAllColWidths(G, FGroupWidth);
    const int F = FixedRows();
    if (F > 0) SetGridCells(G, 0, FGroupCaption);
    if (FFixedFooters > 0) SetGridCells(G, RowCount() - 1, FGroupFooter);
    FIsGrouping = true;
    const int textCol = G == 1 ? 2 : 1;
    std::string current;
    for (int r = F; r < RowCount() - FFixedFooters;) {
        if (!IsNode(r)) {
            SetGridCells(G, r, current);
            ++r;
            continue;
        }
        // Only a row marked as summary goes with its group.
        const int after = r + GetNodeSpan(r);
        if (FGrouping->Summary() && after < RowCount() - FFixedFooters && IsSummary(after)) {
            undecorateGroupRow(after, 1, false);
            FreeCellProperties(0, after);
            RemoveRows(after, 1);
        }
        current = GridCells(textCol, r);
        RemoveNode(RealRowIndex(r));
        FreeCellProperties(0, r);
        undecorateGroupRow(r, 1, true);
        RemoveRows(r, 1);
    }
    FIsGrouping = false;
    FGroupColumn = -1;
    FCellNode->SetExpandOne(expandOne);
    Invalidate();
}

void TQorStringGrid::SubGroup(int Colindex) {
    if (Colindex < std::max(1, FixedCols()) || Colindex >= TotalColCount()) return;
    UpdateScope<TQorStringGrid> lock(*this);
    const int F = FixedRows();
    // The runs of each existing group's data rows, from the bottom up so that the rows above
    // keep their places while sub-headers go in.
    std::vector<std::pair<int, int>> groups; // first and last data row
    for (int r = F; r < RowCount() - FFixedFooters; ++r)
        if (IsNode(r) && GetNodeLevel(r) == 1) {
            groups.emplace_back(r + 1, r + GetNodeSpan(r) - 1);
            r += GetNodeSpan(r) - 1;
        }
    if (groups.empty()) groups.emplace_back(F, RowCount() - FFixedFooters - 1);
    for (auto g = groups.rbegin(); g != groups.rend(); ++g) {
        std::vector<std::pair<int, int>> runs; // start, length
        for (int r = g->first; r <= g->second; ++r) {
            if (IsNode(r) || IsSummary(r)) continue;
            const std::string value = Cells(Colindex, r);
            if (!runs.empty() && runs.back().first + runs.back().second == r &&
                Cells(Colindex, runs.back().first) == value)
                ++runs.back().second;
            else
                runs.emplace_back(r, 1);
        }
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            const std::string value = Cells(Colindex, run->first);
            InsertChildRow(RealRowIndex(run->first), 0);
            const int header = run->first;
            SetGridCells(Colindex + 1 < TotalColCount() ? Colindex + 1 : Colindex, header, value);
            for (int r = header + 1; r <= header + run->second; ++r) SetGridCells(Colindex, r, "");
            AddNode(RealRowIndex(header), run->second + 1);
            GetCellGraphic(0, header)->SetCellVar(Colindex);
            decorateGroupRow(header, Colindex + 1, true);
        }
    }
    FSubGroupColumns.push_back(Colindex);
    if (F < RowCount()) SetRow(F);
}

void TQorStringGrid::SubUnGroup(int Colindex) {
    std::erase(FSubGroupColumns, Colindex);
    ExpandAll();
    UpdateScope<TQorStringGrid> lock(*this);
    std::string current;
    for (int r = FixedRows(); r < RowCount() - FFixedFooters;) {
        if (!IsNode(r)) {
            if (!IsSummary(r)) SetGridCells(Colindex, r, current);
            ++r;
            continue;
        }
        const TCellVariant& v = GetCellGraphic(0, r)->CellVar();
        if (!std::holds_alternative<int>(v) || std::get<int>(v) != Colindex) {
            ++r;
            continue;
        }
        current = GridCells(Colindex + 1 < TotalColCount() ? Colindex + 1 : Colindex, r);
        RemoveNode(RealRowIndex(r));
        undecorateGroupRow(r, Colindex + 1, true);
        FreeCellProperties(0, r);
        RemoveChildRow(RealRowIndex(r));
    }
}

void TQorStringGrid::GroupCalc(int ACol, int Method) {
    if (Method < 1 || Method > 8) return;
    const bool summary = FGrouping->Summary();
    for (int r = FixedRows(); r < RowCount();) {
        if (!IsNode(r) || GetNodeState(r)) {
            ++r;
            continue;
        }
        const int span = GetNodeSpan(r);
        const int from = r + 1, to = r + span - 1;
        const int target = summary ? r + span : r;
        if (target < RowCount()) {
            switch (Method) {
            case 1:
                SetFloats(ACol, target, ColumnSum(ACol, from, to));
                break;
            case 2:
                SetFloats(ACol, target, ColumnAvg(ACol, from, to));
                break;
            case 3:
                SetFloats(ACol, target, ColumnMin(ACol, from, to));
                break;
            case 4:
                SetFloats(ACol, target, ColumnMax(ACol, from, to));
                break;
            case 5:
                SetInts(ACol, target, span - 1);
                break;
            case 6:
                SetFloats(ACol, target, GroupCalcValue(ACol, from, to));
                break;
            case 7:
                SetFloats(ACol, target, ColumnDistinct(ACol, from, to));
                break;
            default:
                SetFloats(ACol, target, ColumnStdDev(ACol, from, to));
                break;
            }
        }
        r += std::max(1, span);
    }
}

namespace {
// The calculation, and the floating footer's calculation of the column when the footer shows.
void calcWithFooter(TQorStringGrid& g, int ACol, int Method) {
    static constexpr TColumnCalcType footer[] = {acSUM, acAVG, acMIN, acMAX, acCOUNT};
    g.GroupCalc(ACol, Method);
    if (g.FloatingFooter()->Visible()) g.FloatingFooter()->SetColumnCalc(ACol, footer[Method - 1]);
}
} // namespace

void TQorStringGrid::GroupSum(int ACol) {
    calcWithFooter(*this, ACol, 1);
}

void TQorStringGrid::GroupAvg(int ACol) {
    calcWithFooter(*this, ACol, 2);
}

void TQorStringGrid::GroupMin(int ACol) {
    calcWithFooter(*this, ACol, 3);
}

void TQorStringGrid::GroupMax(int ACol) {
    calcWithFooter(*this, ACol, 4);
}

void TQorStringGrid::GroupCount(int ACol) {
    calcWithFooter(*this, ACol, 5);
}
