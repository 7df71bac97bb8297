// TQorStringGrid's check boxes and radio buttons: adding them, reading, setting and toggling
// their state (a graphic flag, the cell text or the row selection), and the glyph hit test.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUndo.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"

#include <algorithm>
#include <vector>

namespace {

constexpr TCellVAlign GlyphVAlign[] = {vaTop, vaCenter, vaBottom};

bool isTwoStateCheck(TCellType t) {
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox;
}

bool holdsStateInText(TCellType t) {
    return t == ctDataCheckBox || t == ctVirtCheckBox;
}

// The check graphic of (real column, real row): a hidden row's stored one, else the shown cell's
// own graphic or the grid's stand-in for the cell.
TCellGraphic* checkGraphicOf(TQorStringGrid& grid, int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return nullptr;
    if (grid.IsHiddenRow(ARow)) {
        if (TCellProperties* p = grid.AllCellProperties(ACol, ARow))
            if (auto* g = dynamic_cast<TCellGraphic*>(p->GraphicObject())) return g;
        if (grid.RowCount() == 0) return nullptr;
        // The column decides the stand-in: ask it at the next shown row.
        return grid.GetCellGraphic(ACol, std::min(grid.DisplRowIndex(ARow), grid.RowCount() - 1));
    }
    const int d = grid.DisplRowIndex(ARow);
    if (d < 0 || d >= grid.RowCount()) return nullptr;
    return grid.GetCellGraphic(ACol, d);
}

// The node graphic (column 0) of real row ARow, hidden rows included.
TCellGraphic* nodeAt(TQorStringGrid& grid, int ARow) {
    TCellGraphic* g = checkGraphicOf(grid, 0, ARow);
    return g && g->CellType() == ctNode ? g : nullptr;
}

// Rows of the node at real row ARow, the node included; a span of 0 reaches to the next node.
int nodeSpan(TQorStringGrid& grid, int ARow, const TCellGraphic& node) {
    if (node.CellIndex() > 0) return node.CellIndex();
    int span = 1;
    while (ARow + span < grid.TotalRowCount() && !nodeAt(grid, ARow + span)) ++span;
    return span;
}

// The real rows under the node shown at display row ARow: hidden ones of a contracted node
// follow its real row, those of an expanded node are the display rows below it.
std::vector<int> nodeChildren(TQorStringGrid& grid, int ARow) {
    std::vector<int> rows;
    const int real = grid.RealRowIndex(ARow);
    TCellGraphic* node = nodeAt(grid, real);
    if (!node) return rows;
    const int span = nodeSpan(grid, real, *node);
    for (int i = 1; i < span; ++i) {
        if (node->CellBoolean())
            rows.push_back(real + i);
        else if (ARow + i < grid.RowCount())
            rows.push_back(grid.RealRowIndex(ARow + i));
    }
    return rows;
}

// The node above display row ARow whose group holds it takes checked or unchecked when all its
// rows agree, else grayed.
void updateParentNode(TQorStringGrid& grid, int ACol, int ARow) {
    const int real = grid.RealRowIndex(ARow);
    for (int d = ARow - 1; d >= 0; --d) {
        const int nodeReal = grid.RealRowIndex(d);
        TCellGraphic* node = nodeAt(grid, nodeReal);
        if (!node) continue;
        if (nodeReal + nodeSpan(grid, nodeReal, *node) <= real) return;
        const std::vector<int> children = nodeChildren(grid, d);
        TCheckBoxState first = cbUnchecked, s = cbUnchecked;
        bool same = true;
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (!grid.GetCheckBoxState(ACol, children[i], s)) s = cbUnchecked;
            if (i == 0) first = s;
            same = same && s == first;
        }
        grid.SetCheckBoxState(ACol, nodeReal, same ? first : cbGrayed);
        return;
    }
}

std::string checkText(TQorStringGrid& grid, int ACol, int ARow, bool State) {
    std::string s;
    if (State)
        grid.GetCheckTrue(ACol, ARow, s);
    else
        grid.GetCheckFalse(ACol, ARow, s);
    return s;
}
} // namespace

void TQorStringGrid::AddCheckBox(int ACol, int ARow, bool State, bool Data) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() + NumHiddenColumns() ||
        ARow >= RowCount() + NumHiddenRows())
        throw Exception("Invalid cell");
    NewCellGraphic(ACol, ARow)
        ->SetCheckBox(State, Data, true, haBeforeText, GlyphVAlign[FVAlignment]);
    if (Data) {
        const std::string text = Cells(ACol, ARow);
        if (text != FCheckTrue && text != FCheckFalse)
            SetCells(ACol, ARow, State ? FCheckTrue : FCheckFalse);
    }
    RepaintCell(DisplColIndex(ACol), ARow);
}

void TQorStringGrid::AddCheckBoxColumn(int ACol, bool DefaultState, bool DataCheckBox) {
    for (int r = FMouseActions->CheckAllCheck() ? 0 : FixedRows(); r < RowCount(); ++r) {
        const TCellType rowKind = GetCellType(0, r);
        if (rowKind == ctSummary) continue;
        if (rowKind == ctNode)
            AddCheckBox(ACol, r, cbUnchecked);
        else
            AddCheckBox(ACol, r, DefaultState, DataCheckBox);
    }
}

void TQorStringGrid::RemoveCheckBox(int ACol, int ARow) {
    // The graphic frees a balloon list it carries.
    const TCellType t = GetCellType(ACol, ARow);
    if (t == ctCheckBox || t == ctDataCheckBox || t == ctTriStateCheckBox)
        RemoveCellGraphic(ACol, ARow);
}

void TQorStringGrid::RemoveCheckBoxColumn(int ACol) {
    for (int r = FMouseActions->CheckAllCheck() ? 0 : FixedRows(); r < RowCount(); ++r)
        if (HasCheckBox(ACol, r)) RemoveCheckBox(ACol, r);
}

bool TQorStringGrid::HasCheckBox(int ACol, int ARow) {
    return HasCellType(
        ACol, ARow,
        {ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox, ctTriStateCheckBox});
}

bool TQorStringGrid::HasDataCheckBox(int ACol, int ARow) {
    return HasCellType(ACol, ARow, {ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox});
}

bool TQorStringGrid::GetCheckBoxState(int ACol, int ARow, bool& state) {
    TCellGraphic* g = checkGraphicOf(*this, ACol, ARow);
    if (!g) return false;
    switch (g->CellType()) {
    case ctCheckBox:
        state = g->CellBoolean();
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox:
        state = AllCells(ACol, ARow) == checkText(*this, ACol, DisplRowIndex(ARow), true);
        return true;
    case ctRowCheckBox:
        if (ACol != 0) return false;
        state = RowSelect(ARow);
        return true;
    default:
        return false;
    }
}

bool TQorStringGrid::IsChecked(int ACol, int ARow) {
    bool state = false;
    return GetCheckBoxState(ACol, ARow, state) && state;
}

bool TQorStringGrid::SetCheckBoxState(int ACol, int ARow, bool State) {
    TCellGraphic* g = checkGraphicOf(*this, ACol, ARow);
    if (!g) return false;
    switch (g->CellType()) {
    case ctCheckBox:
        g->SetCellBoolean(State);
        RepaintCell(DisplColIndex(ACol), DisplRowIndex(ARow));
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox:
        SetAllCells(ACol, ARow, checkText(*this, ACol, DisplRowIndex(ARow), State));
        return true;
    case ctRowCheckBox:
        if (ACol != 0) return false;
        SetRowSelect(ARow, State);
        return true;
    default:
        return false;
    }
}

bool TQorStringGrid::SetCheckBoxState(int ACol, int ARow, TCheckBoxState State) {
    TCellGraphic* g = checkGraphicOf(*this, ACol, ARow);
    if (!g || g->CellType() != ctTriStateCheckBox) return false;
    g->SetCellCheckBoxState(State);
    RepaintCell(DisplColIndex(ACol), DisplRowIndex(ARow));
    return true;
}

bool TQorStringGrid::ApplyCheckBoxState(int ACol, int ARow, bool State) {
    const int real = RealRowIndex(ARow);
    TCellGraphic* g = checkGraphicOf(*this, ACol, real);
    if (!g) return false;
    switch (g->CellType()) {
    case ctCheckBox:
        if (g->CellBoolean() != State) {
            g->SetCellBoolean(State);
            CheckBoxChange(ACol, ARow, State);
            RepaintCell(DisplColIndex(ACol), ARow);
        }
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        const bool before = Cells(ACol, ARow) == checkText(*this, ACol, ARow, true);
        SetCells(ACol, ARow, checkText(*this, ACol, ARow, State));
        if (before != State) CheckBoxChange(ACol, ARow, State);
        return true;
    }
    case ctRowCheckBox:
        if (ACol != 0) return false;
        if (RowSelect(real) != State) {
            SetRowSelect(real, State);
            CheckBoxChange(ACol, ARow, State);
        }
        return true;
    default:
        return false;
    }
}

void TQorStringGrid::CheckAll(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r) ApplyCheckBoxState(ACol, r, true);
    if (FNumHidden > 0) InvalidateCol(DisplColIndex(ACol));
}

void TQorStringGrid::UnCheckAll(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r) ApplyCheckBoxState(ACol, r, false);
    if (FNumHidden > 0) InvalidateCol(DisplColIndex(ACol));
}

bool TQorStringGrid::DoToggleCheck(int ACol, int ARow, bool FromUser) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) return false;
    const TCellType t = g->CellType();
    if (!isTwoStateCheck(t) && t != ctTriStateCheckBox) return false;
    if (FromUser && !ControlLook()->CheckAlwaysActive()) {
        bool canEdit = true;
        IsEditableCell(ACol, ARow, canEdit);
        if (!canEdit) return false;
    }
    const std::string oldText = Cells(ACol, ARow);
    const bool autoCheck = FGrouping->AutoCheckGroup();
    const bool nodeRow = autoCheck && nodeAt(*this, RealRowIndex(ARow));
    bool state = false;
    switch (t) {
    case ctCheckBox:
        state = !g->CellBoolean();
        g->SetCellBoolean(state);
        break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
        state = oldText != checkText(*this, ACol, ARow, true);
        SetCells(ACol, ARow, checkText(*this, ACol, ARow, state));
        break;
    case ctRowCheckBox: {
        // The row check box keeps its state in the row selection, not in the cell text.
        const int real = RealRowIndex(ARow);
        state = !RowSelect(real);
        SetRowSelect(real, state);
        break;
    }
    default: {
        // Outside an auto-check group the states cycle unchecked, grayed, checked; a group's
        // node goes from unchecked to checked.
        const TCheckBoxState s = g->CellCheckBoxState();
        const TCheckBoxState next = s == cbChecked  ? cbUnchecked
                                    : s == cbGrayed ? cbChecked
                                    : nodeRow       ? cbChecked
                                                    : cbGrayed;
        g->SetCellCheckBoxState(next);
        state = nodeRow && next == cbChecked;
        break;
    }
    }
    RepaintCell(DisplColIndex(ACol), ARow);
    CheckBoxChange(ACol, ARow, state);
    if (nodeRow) {
        for (int child : nodeChildren(*this, ARow)) SetCheckBoxState(ACol, child, state);
    } else if (autoCheck) {
        updateParentNode(*this, ACol, ARow);
    }
    // Only a text-held state can be restored by writing the text back.
    if (auto* undo = dynamic_cast<TQorGridUndoRedo*>(UndoRedo()); undo && holdsStateInText(t))
        undo->RegisterChange(ACol, ARow, oldText, Cells(ACol, ARow));
    return true;
}

bool TQorStringGrid::IsInCheckBox(int ACol, int ARow, int XPos, int YPos) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) return false;
    const TCellType t = g->CellType();
    if (!isTwoStateCheck(t) && t != ctRadioButton && t != ctTriStateCheckBox) return false;
    if (!FMouseActions->PreciseCheckBoxCheck()) return true;
    const int S = ControlLook()->CheckSize();
    const TRect cell = CellRect(DisplColIndex(ACol), ARow);
    int top = cell.Top + 2;
    if (g->CellVAlign() == vaBottom)
        top = cell.Bottom - S - 2;
    else if (g->CellVAlign() == vaCenter)
        top = cell.Top + (cell.Height() - S) / 2;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    GetCellAlignment(ACol, ARow, ha, va);
    int left = cell.Left + 2;
    if (ha == taRightJustify) {
        left = cell.Right - S - 2;
        if (!Cells(ACol, ARow).empty()) left -= GetCellTextSize(ACol, ARow, false, false).cx;
    } else if (ha == taCenter) {
        left = cell.Left + (cell.Width() - S) / 2;
    }
    // Right to left the box shows mirrored within the cell.
    if (UseRightToLeftAlignment()) left = cell.Left + cell.Right - left - S;
    return XPos >= left && XPos < left + S && YPos >= top && YPos < top + S;
}

// --- radio buttons ---------------------------------------------------------------------------

void TQorStringGrid::AddRadioButton(int ACol, int ARow, bool State) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() + NumHiddenColumns() ||
        ARow >= RowCount() + NumHiddenRows())
        throw Exception("Invalid cell");
    NewCellGraphic(ACol, ARow)->SetRadioButton(State, true, haBeforeText, GlyphVAlign[FVAlignment]);
    RepaintCell(DisplColIndex(ACol), ARow);
}

bool TQorStringGrid::IsRadioButtonChecked(int ACol, int ARow) {
    if (!HasRadioButton(ACol, ARow)) return false;
    const TPoint b = BaseCell(ACol, ARow);
    return GetCellGraphic(b.X, b.Y)->CellBoolean();
}

void TQorStringGrid::AddRadioButtonColumn(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r) AddRadioButton(ACol, r, false);
}

void TQorStringGrid::RemoveRadioButtonColumn(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (HasRadioButton(ACol, r)) RemoveRadioButton(ACol, r);
}

bool TQorStringGrid::SetRadioButtonState(int ACol, int ARow, bool State) {
    if (!HasRadioButton(ACol, ARow)) return false;
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    if (g->CellBoolean() != State) {
        g->SetCellBoolean(State);
        RepaintCell(DisplColIndex(ACol), ARow);
    }
    return true;
}

void TQorStringGrid::SetRadioButtonColumnIndex(int ACol, int Index) {
    for (int r = FixedRows(); r < RowCount(); ++r) SetRadioButtonState(ACol, r, r == Index);
}

int TQorStringGrid::GetRadioButtonColumnIndex(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsRadioButtonChecked(ACol, r)) return r;
    return -1;
}

bool TQorStringGrid::DoToggleRadio(int ACol, int ARow, bool FromUser) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType() != ctRadioButton) return false;
    if (FromUser && !ControlLook()->CheckAlwaysActive()) {
        bool canEdit = true;
        IsEditableCell(ACol, ARow, canEdit);
        if (!canEdit) return false;
    }
    if (g->CellBoolean()) return true;
    g->SetCellBoolean(true);
    RepaintCell(DisplColIndex(ACol), ARow);
    for (int r = 0; r < RowCount(); ++r) {
        if (r == ARow) continue;
        TCellGraphic* other = GetCellGraphic(ACol, r);
        if (other && other->CellType() == ctRadioButton && other->CellBoolean()) {
            other->SetCellBoolean(false);
            RepaintCell(DisplColIndex(ACol), r);
        }
    }
    return true;
}

void TQorStringGrid::CheckBoxChange(int ACol, int ARow, bool State) {
    if (OnCheckBoxChange) OnCheckBoxChange(this, ACol, ARow, State);
}

bool TQorStringGrid::RatingChange(int ACol, int ARow, double& NewRate) {
    bool allow = true;
    if (OnRatingChange) OnRatingChange(this, ACol, ARow, NewRate, allow);
    return allow;
}
