// TQorStringGrid's nodes: rows that head a group of rows below them. The node is the ctNode
// graphic of column 0 of its header row (contracted: CellBoolean; span: CellIndex, the header
// included, 0 reaching to the next node row; sub-node count: CellErrFrom); every row of a
// node's span has its column-0 node level raised by one. Contracting hides the group's other
// rows through the hidden-row store; expanding shows them again.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"

#include <algorithm>

TCellGraphic* TQorStringGrid::nodeGraphic(int ARow) {
    if (ARow < 0 || ARow >= RowCount() || !HasCellProperties(0, ARow)) return nullptr;
    auto* g = dynamic_cast<TCellGraphic*>(propsOf(0, ARow)->GraphicObject());
    return g && g->CellType() == ctNode ? g : nullptr;
}

int TQorStringGrid::nodeEnd(int ARow) {
    TCellGraphic* g = nodeGraphic(ARow);
    if (g && g->CellIndex() > 0) return std::min(ARow + g->CellIndex(), RowCount());
    int n = ARow + 1;
    while (n < RowCount() && !nodeGraphic(n)) ++n;
    return n;
}

int TQorStringGrid::nodeLastReal(int ARow) {
    TCellGraphic* g = nodeGraphic(ARow);
    return g && g->CellIndex() > 0 ? RealRowIndex(ARow) + g->CellIndex() - 1 : TotalRowCount() - 1;
}

void TQorStringGrid::lowerLevels(int ARow, int Span) {
    for (int r = ARow; r < std::min(ARow + Span, RowCount()); ++r)
        if (HasCellProperties(0, r)) {
            TCellProperties* p = propsOf(0, r);
            p->SetNodeLevel(std::max(0, p->NodeLevel() - 1));
        }
}

// --- making and removing nodes -------------------------------------------------------------------

void TQorStringGrid::AddNode(int ARow, int Span) {
    const int d = DisplRowIndex(ARow);
    if (d < 0 || d >= RowCount()) return;
    TCellGraphic* g = NewCellGraphic(0, d);
    g->SetCellType(ctNode);
    g->SetCellBoolean(false);
    g->SetCellIndex(Span);
    g->SetCellErrFrom(0);
    g->SetCellAngle(d);
    g->SetCellHAlign(haBeforeText);
    g->SetCellVAlign(vaCenter);
    g->SetCellVar(-1);
    for (int r = d; r < std::min(d + Span, RowCount()); ++r) {
        TCellProperties* p = CellProperties(0, r);
        p->SetNodeLevel(p->NodeLevel() + 1);
    }
    if (FNumNodes == 0) InvalidateCol(0);
    ++FNumNodes;
    if (Col() == 0 && ColCount() > 1) SetCol(1);
}

void TQorStringGrid::MarkSummaryRow(int ARow) {
    const int d = DisplRowIndex(ARow);
    if (d < 0 || d >= RowCount()) return;
    NewCellGraphic(0, d)->SetCellType(ctSummary);
}

void TQorStringGrid::RemoveNode(int ARow) {
    const int d = DisplRowIndex(ARow);
    if (!nodeGraphic(d)) return;
    ExpandNode(ARow);
    lowerLevels(d, nodeGraphic(d)->CellIndex());
    RemoveCellGraphicOfType(0, d, ctNode);
    FNumNodes = std::max(0, FNumNodes - 1);
}

void TQorStringGrid::RemoveAllNodes() {
    for (int r = 0; r < RowCount(); ++r) {
        if (!nodeGraphic(r)) continue;
        ExpandNode(RealRowIndex(r));
        lowerLevels(r, nodeGraphic(r)->CellIndex());
        RemoveCellGraphicOfType(0, r, ctNode);
        FNumNodes = std::max(0, FNumNodes - 1);
    }
    Invalidate();
}

// --- node properties (display rows) ------------------------------------------------------------

bool TQorStringGrid::IsNode(int ARow) {
    return ARow >= 0 && GetCellType(0, ARow) == ctNode;
}

bool TQorStringGrid::IsSummary(int ARow) {
    return ARow >= 0 && GetCellType(0, ARow) == ctSummary;
}

bool TQorStringGrid::GetNodeState(int ARow) {
    TCellGraphic* g = nodeGraphic(ARow);
    return g && g->CellBoolean();
}

void TQorStringGrid::SetNodeState(int ARow, bool Value) {
    TCellGraphic* g = nodeGraphic(ARow);
    if (!g || g->CellBoolean() == Value) return;
    if (Value)
        ContractNode(RealRowIndex(ARow));
    else
        ExpandNode(RealRowIndex(ARow));
}

int TQorStringGrid::GetNodeLevel(int ARow) {
    return nodeGraphic(ARow) ? propsOf(0, ARow)->NodeLevel() : -1;
}

int TQorStringGrid::GetNodeSpan(int ARow) {
    TCellGraphic* g = nodeGraphic(ARow);
    return g ? g->CellIndex() : -1;
}

void TQorStringGrid::SetNodeSpan(int ARow, int Span) {
    if (TCellGraphic* g = nodeGraphic(ARow)) g->SetCellIndex(Span);
}

void TQorStringGrid::UpdateNodeSpan(int ARow, int Delta) {
    if (TCellGraphic* g = nodeGraphic(ARow)) g->SetCellIndex(g->CellIndex() + Delta);
}

int TQorStringGrid::GetSubNodeCount(int ARow) {
    TCellGraphic* g = nodeGraphic(ARow);
    return g ? g->CellErrFrom() : 0;
}

void TQorStringGrid::UpdateSubNodeCount(int ARow, int Delta) {
    if (TCellGraphic* g = nodeGraphic(ARow)) g->SetCellErrFrom(g->CellErrFrom() + Delta);
}

int TQorStringGrid::GetNodeIndent(int ARow) {
    if (ARow < 0 || ARow >= RowCount() || !HasNodes() || !HasCellProperties(0, ARow)) return 0;
    return propsOf(0, ARow)->NodeLevel() * FCellNode->NodeIndent();
}

// --- expanding and contracting -------------------------------------------------------------------

void TQorStringGrid::ExpandNode(int ARow) {
    if (FCellNode->ExpandOne()) {
        const int rows = RowCount();
        for (int r = FixedRows(); r < std::min(rows, RowCount()); ++r)
            if (TCellGraphic* g = nodeGraphic(r); g && !g->CellBoolean())
                ContractNode(RealRowIndex(r));
    }
    // A row inside a contracted group is not shown: there is no node of it to expand.
    if (IsHiddenRow(ARow)) return;
    const int d = DisplRowIndex(ARow);
    TCellGraphic* g = nodeGraphic(d);
    if (!g || !g->CellBoolean()) return;
    g->SetCellBoolean(false);
    int n = d + 1;
    if (g->CellIndex() == 0)
        while (n < RowCount() && !nodeGraphic(n)) ++n;
    const int first = RealRowIndex(d) + 1;
    const int last =
        std::min((n < RowCount() ? RealRowIndex(n) : TotalRowCount()) - 1, nodeLastReal(d));

    const int top = TopRow(), row = Row();
    const bool disjunct = FMouseActions->DisjunctRowSelectDirect();
    FMouseActions->SetDisjunctRowSelectDirect(false);
    const bool rowSelect = Options().Contains(goRowSelect);
    if (rowSelect) SetOptions(Options() - goRowSelect);
    const bool locked = FNumCellControls == 0;
    if (locked) BeginUpdate();
    try {
        UnHideRows(first, last);
        if (rowSelect) {
            SetOptions(Options() + goRowSelect);
            SetRow(std::min(row, RowCount() - 1));
            SetTopRow(top);
        }
    } catch (...) {
        FMouseActions->SetDisjunctRowSelectDirect(disjunct);
        if (locked) EndUpdate();
        throw;
    }
    FMouseActions->SetDisjunctRowSelectDirect(disjunct);
    if (locked) EndUpdate();
    CalcFooter(-1);
}

void TQorStringGrid::ContractNode(int ARow) {
    HideInplaceEdit();
    FlagScope force(FForceSel, true);
    if (IsHiddenRow(ARow)) return;
    const int a = DisplRowIndex(ARow);
    TCellGraphic* g = nodeGraphic(a);
    if (!g || g->CellBoolean()) return;
    g->SetCellBoolean(true);
    const int b = a + 1;
    const int lastReal = nodeLastReal(a);
    // Counted as if the group were all shown; each contracted inner node takes its hidden rows
    // off below. Rows hidden otherwise inside the group make the count reach past it: the walk
    // and the hiding stop at the group's last real row.
    int end = g->CellIndex() > 0 ? a + g->CellIndex() : nodeEnd(a);
    // A contracted node inside keeps its rows hidden; they come back with this node, the inner
    // node then expanded.
    for (int r = b; r < end && r < RowCount() && RealRowIndex(r) <= lastReal;) {
        TCellGraphic* inner = nodeGraphic(r);
        if (!inner || !inner->CellBoolean()) {
            ++r;
            continue;
        }
        inner->SetCellBoolean(false);
        if (TControl* c = CellControls(1, r + 1)) c->SetVisible(false);
        const int innerSpan = inner->CellIndex();
        HideRows(RealRowIndex(b), RealRowIndex(r));
        end -= (r - b) + std::max(1, innerSpan);
        r = b;
    }
    end = std::min(end, RowCount());
    if (end - 1 >= b) HideRows(RealRowIndex(b), std::min(RealRowIndex(end - 1), lastReal));
    CalcFooter(-1);
}

void TQorStringGrid::ExpandAll() {
    {
        UpdateScope<TQorStringGrid> lock(*this);
        // From the top: every row above r is shown when r is reached.
        for (int r = FixedRows(); r < AllRowCount() && r < RowCount(); ++r)
            if (TCellGraphic* g = nodeGraphic(r)) {
                ExpandNode(RealRowIndex(r));
                if ((g = nodeGraphic(r))) g->SetCellBoolean(false);
            }
    }
    CalcFooter(-1);
}

void TQorStringGrid::ContractAll() {
    {
        UpdateScope<TQorStringGrid> lock(*this);
        ExpandAll();
        TIntList rows(0, 0);
        for (int r = FixedRows(); r < RowCount();) {
            TCellGraphic* g = nodeGraphic(r);
            if (!g) {
                ++r;
                continue;
            }
            g->SetCellBoolean(true);
            // Nested nodes lie inside their outer node and stay marked expanded; rows hidden
            // otherwise inside the group shift the rows after it up, which stay shown.
            const int end =
                std::max(std::min(nodeEnd(r), DisplRowIndex(nodeLastReal(r) + 1)), r + 1);
            for (int i = r + 1; i < end; ++i) rows.Add(i);
            r = end;
        }
        HideRowList(rows);
    }
    CellControlsUpdate(false);
    CalcFooter(-1);
}

// --- walking the groups --------------------------------------------------------------------------

int TQorStringGrid::GetParentRow(int ARow) {
    if (FNumNodes == 0) return -1;
    int answer = -1, limit = 65535;
    if (nodeGraphic(ARow)) {
        answer = ARow;
        limit = GetNodeLevel(ARow);
    }
    int hidden = 0;
    for (int r = ARow; r >= FixedRows(); --r) {
        TCellGraphic* g = nodeGraphic(r);
        if (!g || GetNodeLevel(r) >= limit) continue;
        if (g->CellBoolean()) hidden += g->CellIndex() - 1;
        if (ARow < r + g->CellIndex() - hidden) return r;
    }
    return answer;
}

int TQorStringGrid::GetNodeSpanType(int ARow) {
    if (nodeGraphic(ARow)) return 0;
    const int level = ARow >= 0 && ARow < RowCount() && HasCellProperties(0, ARow)
                          ? propsOf(0, ARow)->NodeLevel()
                          : 0;
    const bool more = ARow < RowCount() - FFixedFooters - 1 && HasCellProperties(0, ARow + 1) &&
                      propsOf(0, ARow + 1)->NodeLevel() >= level;
    return more ? 2 : 1;
}

bool TQorStringGrid::IsOnNodeGlyph(int ARow, int X) {
    if (!FMouseActions->PreciseNodeClick()) return true;
    const int V = GetNodeLevel(ARow), I = FCellNode->NodeIndent();
    int W = 4, O = 4;
    switch (FCellNode->NodeType()) {
    case cnFlat:
    case cnXP:
        break;
    case cn3D:
        W = 6;
        O = 0;
        break;
    case cnGlyph: {
        const bool empty = FCellNode->ExpandGlyph()->Empty();
        W = empty ? 0 : FCellNode->ExpandGlyph()->Width() / 2;
        O = empty ? 0 : 2;
        break;
    }
    case cnLeaf:
        W = 8;
        O = 2;
        break;
    }
    return O + I * (V - 1) < X && X < W + I * V;
}

// --- rows inside groups --------------------------------------------------------------------------
// The row insertion and removal keep the hidden-row store's real indexes in step themselves.

void TQorStringGrid::InsertNormalRow(int ARow) {
    InsertRows(DisplRowIndex(ARow), 1);
}

void TQorStringGrid::RemoveNormalRow(int ARow) {
    RemoveRows(ARow, 1);
    FMaxRowCount = std::max(0, FMaxRowCount - 1);
}

void TQorStringGrid::InsertChildRow(int ARow, int InsertAt) {
    const int d = DisplRowIndex(ARow);
    int p = GetParentRow(d);
    int level = 0;
    if (p != -1) {
        UpdateNodeSpan(p, 1);
        UpdateSubNodeCount(p, 1);
        ExpandNode(RealRowIndex(p));
        level = GetNodeLevel(p);
        // The enclosing nodes grow with it.
        int current = p, currentLevel = level;
        while (currentLevel > 1 && current != -1 && current >= FixedRows()) {
            // A node without an outer node of a lower level ends the walk.
            const int outer = GetParentRow(current);
            if (outer == -1 || outer == current) break;
            const int outerLevel = GetNodeLevel(outer);
            if (outerLevel < currentLevel) {
                UpdateNodeSpan(outer, 1);
                UpdateSubNodeCount(outer, 1);
                ExpandNode(RealRowIndex(outer));
                currentLevel = outerLevel;
            }
            current = outer;
        }
    }
    const bool intoHeader = nodeGraphic(d) && InsertAt == 0;
    const int at = intoHeader ? d + 1 : d + InsertAt;
    InsertRows(at, 1);
    if (intoHeader) {
        // The cells move one by one: a merged area of the header row would be torn apart.
        for (int c = 0; c < TotalColCount(); ++c)
            if (IsMergedCell(c, d)) SplitCells(c, d);
        for (int c = 0; c < TotalColCount(); ++c) {
            SetGridCells(c, d + 1, GridCells(c, d));
            SetGridCells(c, d, "");
            if (c == 0) continue;
            SetGridObjects(c, d + 1, GridObjects(c, d));
            SetGridObjects(c, d, nullptr);
        }
    }
    if (p != -1 && at < RowCount()) CellProperties(0, at)->SetNodeLevel(level);
}

void TQorStringGrid::RemoveChildRow(int ARow) {
    const int d = DisplRowIndex(ARow);
    int p = GetParentRow(d);
    if (p != -1) {
        const int level = GetNodeLevel(p);
        if (GetNodeSpan(p) > 1) {
            UpdateNodeSpan(p, -1);
            UpdateSubNodeCount(p, -1);
        }
        for (;;) {
            ExpandNode(RealRowIndex(p));
            if (GetNodeLevel(p) <= 1) break;
            p = GetParentRow(p);
            if (p == -1 || GetNodeLevel(p) >= level) break;
            if (GetNodeSpan(p) > 1) {
                UpdateNodeSpan(p, -1);
                UpdateSubNodeCount(p, -1);
            }
        }
    }
    RemoveRows(d, 1);
    FMaxRowCount = std::max(0, FMaxRowCount - 1);
}
