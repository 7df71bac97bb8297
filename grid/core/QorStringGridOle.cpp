// TQorStringGrid: OLE drag and drop of its cells and columns (the drop target's registration,
// a drag started by pressing on the selection and moving, what a move leaves behind) and the
// drop-position arrows of OLE drops and of the enhanced column and row move.
#include "grid/core/AuxWindows.h"
#include "grid/core/GridOleDragDrop.h"
#include "grid/core/QorStringGrid.h"

#include <algorithm>

namespace {
constexpr int DragThreshold = 3;

TArrowWindow* arrow(const std::array<TArrowWindow*, 4>& arrows, TArrowDirection d) {
    return arrows[std::size_t(d)];
}

// Places an arrow with its top-left corner at a screen point and shows it.
void placeArrow(TArrowWindow* a, TPoint at) {
    if (!a) return;
    // A pop-up is placed on the screen only once it has its window.
    a->HandleNeeded();
    const bool vertical = a->Dir == arrUp || a->Dir == arrDown;
    a->SetBounds(at.X, at.Y, vertical ? 11 : 10, vertical ? 10 : 11);
    a->SetVisible(true);
}

void hideArrow(TArrowWindow* a) {
    if (a) a->SetVisible(false);
}
} // namespace

// --- drop target registration ----------------------------------------------------------------
void TQorStringGrid::dragDropSettingsChanged() {
    if (Designing()) return;
    if (FDragDropSettings->OleDropTarget()) {
        if (FOleDropTarget) return;
        FOleDropTarget = std::make_shared<TGridDropTarget>(this);
        FOleDropTarget->SetAcceptText(FDragDropSettings->OleAcceptText());
        FOleDropTarget->SetAcceptFiles(FDragDropSettings->OleAcceptFiles());
        FOleDropTarget->SetAcceptURLs(FDragDropSettings->OleAcceptURLs());
        FOleDropTarget->SetAcceptCols(true);
        FOleDropTargetAssigned = RegisterDragDrop(Handle(), FOleDropTarget) == S_OK;
    } else {
        // A registration that failed has nothing to revoke.
        if (FOleDropTargetAssigned && HandleAllocated()) RevokeDragDrop(Handle());
        FOleDropTargetAssigned = false;
        FOleDropTarget.reset();
    }
}

// --- arrows ----------------------------------------------------------------------------------
void TQorStringGrid::ShowDropArrows(int ACol, int ARow, bool Column) {
    const TRect r = CellRect(ACol, ARow);
    const TPoint topLeft = ClientToScreen(TPoint(r.Left, r.Top));
    if (Column) {
        hideArrow(arrow(FArrows, arrLeft));
        placeArrow(arrow(FArrows, arrDown), TPoint(topLeft.X - 5, topLeft.Y - 8));
        placeArrow(arrow(FArrows, arrUp), TPoint(topLeft.X - 5, topLeft.Y + r.Height()));
    } else {
        hideArrow(arrow(FArrows, arrUp));
        hideArrow(arrow(FArrows, arrDown));
        placeArrow(arrow(FArrows, arrLeft), TPoint(topLeft.X - 10, topLeft.Y - 5));
    }
}

void TQorStringGrid::HideDropArrows() {
    for (TArrowWindow* a : FArrows) hideArrow(a);
}

// --- drag source -----------------------------------------------------------------------------
bool TQorStringGrid::oleDragStartPress(int ACol, int ARow, int X, int Y, TShiftState Shift) {
    FSelectionClick = false;
    if (!FDragDropSettings->OleDropSource() || Options().Contains(goEditing)) return false;
    const bool header = ARow < FixedRows();
    const bool selected = Selection().Contains(ACol, ARow) && !header;
    if (!selected && !(header && !FFlags.EnhRowColMove)) return false;
    const int realCol = RealColIndex(ACol);
    if (HasButton(realCol, ARow) || HasCheckBox(realCol, ARow)) return false;
    if (header && (FMouseActions->ColSelect() || FMouseActions->AllSelect())) return false;
    if (ACol < FixedCols()) return false;
    const TRect cr = CellRect(ACol, ARow);
    const bool inside = X > cr.Left + DragThreshold && X < cr.Right - DragThreshold;
    if (!inside && Options().Contains(goColSizing)) return false;
    if (CanFocus()) SetFocus();
    if (OnMouseDown) OnMouseDown(this, mbLeft, Shift, X, Y);
    FSelectionClick = true;
    FOleDragStart = TPoint(X, Y);
    if (OnClickCell) OnClickCell(this, ARow, ACol);
    return true;
}

bool TQorStringGrid::oleDragStartMove(int ACol, int ARow, int X, int Y) {
    if (!FSelectionClick || ACol < 0 || ARow < 0) return false;
    if (GetAsyncKeyState(VK_LBUTTON) >= 0) return false;
    if (std::abs(X - FOleDragStart.X) <= DragThreshold &&
        std::abs(Y - FOleDragStart.Y) <= DragThreshold)
        return false;
    if (!FDragDropSettings->OleDropSource() || FGridState == gsColSizing) return false;
    startOleDrag(ACol, ARow, X, Y);
    return true;
}

bool TQorStringGrid::oleDragPressRelease(int ACol, int ARow) {
    if (!FSelectionClick) return false;
    FSelectionClick = false;
    if (ACol < FixedCols() || ARow < FixedRows() || ACol >= ColCount() || ARow >= RowCount())
        return true;
    // A press on the selection that did not drag selects the cell (the row with goRowSelect).
    if (Options().Contains(goRowSelect))
        SetSelection({FixedCols(), ARow, ColCount() - 1, ARow});
    else
        SetSelection({ACol, ARow, ACol, ARow});
    return true;
}

void TQorStringGrid::startOleDrag(int ACol, int ARow, int X, int Y) {
    FSelectionClick = false;
    const int realCol = RealColIndex(ACol);
    bool allow = !(FDragDropSettings->OleColumnsOnly() && ARow >= FixedRows());
    const std::string cellText = Cells(realCol, ARow);
    if (OnOleDrag) OnOleDrag(this, ARow, realCol, cellText, allow);
    if (!allow) {
        if (FGridState == gsNormal) FGridState = gsSelecting;
        return;
    }
    auto source = std::make_shared<TGridDropSource>(this);
    if (OnOleDragStart) OnOleDragStart(this, ARow, realCol);
    const bool showCells = FDragDropSettings->ShowCells();
    const TPoint screen = ClientToScreen(TPoint(X, Y));
    const bool columnDrag = ARow < FixedRows() && FDragDropSettings->OleColumnDragDrop();
    if (showCells) {
        // The floating picture of what is dragged: the column, or the shown part of the
        // selection.
        TGridRect part = Selection();
        if (columnDrag)
            part = {ACol, 0, ACol, std::min(RowCount() - 1, TopRow() + VisibleRowCount())};
        part.Top = std::max(part.Top, std::min(part.Top, TopRow()));
        part.Bottom = std::min(part.Bottom, TopRow() + VisibleRowCount());
        part.Right = std::min(part.Right, LeftCol() + VisibleColCount());
        FMoveForm = SelectionToForm(part);
        FMoveForm->SetBounds(screen.X + 4, screen.Y + 4, FMoveForm->Width(), FMoveForm->Height());
        FMoveForm->Show();
    }
    DWORD effect = DROPEFFECT_NONE;
    if (columnDrag) {
        if (!showCells) {
            if (!FMoveButton) {
                FMoveButton = new THeaderDragButton(this);
                FMoveButton->SetVisible(false);
                FMoveButton->SetParent(this);
            }
            FMoveButton->SetGrid(this);
            FMoveButton->SetCaption(Cells(realCol, 0));
            FMoveButton->SetBounds(screen.X, screen.Y - RowHeights(0), ColWidths(ACol),
                                   RowHeights(0));
            FMoveButton->SetVisible(true);
        }
        const HRESULT hr =
            BeginColumnDragDrop(source, realCol, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
        if (hr != DRAGDROP_S_CANCEL && OnOleDragStop) OnOleDragStop(this, effect);
        if (FMoveButton) FMoveButton->SetVisible(false);
        HideDropArrows();
    } else {
        FDropSelection = Selection();
        const std::string text = SelectedText();
        const HRESULT hr = BeginTextDragDrop(source, text, cellText, effect,
                                             DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr);
        if (hr != DRAGDROP_S_CANCEL) {
            if (effect == DROPEFFECT_MOVE && !FDragDropSettings->OleCopyAlways()) {
                const TGridRect d = FDropSelection;
                if (FDragDropSettings->OleRemoveRows() && Options().Contains(goRowSelect)) {
                    if (FMouseActions->DisjunctRowSelect()) {
                        RemoveSelectedRows();
                    } else {
                        const int from = std::max(d.Top, FixedRows());
                        const int count = std::min(d.Bottom, RowCount() - 1) - from + 1;
                        if (count > 0) RemoveRows(from, count);
                    }
                } else {
                    for (int r = d.Top; r <= d.Bottom && r < RowCount(); ++r)
                        for (int c = d.Left; c <= d.Right && c < ColCount(); ++c)
                            SetCells(RealColIndex(c), r, "");
                }
            }
            if (OnOleDragStop) OnOleDragStop(this, effect);
        }
    }
    if (FMoveForm) {
        TNoActiveForm* form = FMoveForm;
        FMoveForm = nullptr;
        delete form;
    }
}

// --- enhanced column and row move feedback ---------------------------------------------------
void TQorStringGrid::enhancedMove(int X, int Y) {
    int c = -1, r = -1;
    MouseToCell(X, Y, c, r);
    bool allow = true;
    const TPoint screen = ClientToScreen(TPoint(X, Y));
    if (FGridState == gsColMoving && Movecell >= FixedCols()) {
        // The arrows mark the edge the column lands at: left of the target when it comes from
        // the right, else right of it.
        if (c >= FixedCols() && c < ColCount()) {
            const TRect cr = CellRect(c, 0);
            const int edge = c < Movecell ? cr.Left : cr.Right;
            const TPoint top = ClientToScreen(TPoint(edge, cr.Top));
            const TPoint bottom = ClientToScreen(TPoint(edge, cr.Bottom));
            placeArrow(arrow(FArrows, arrDown), TPoint(top.X - 5, top.Y - 8));
            placeArrow(arrow(FArrows, arrUp), TPoint(bottom.X - 5, bottom.Y));
            FMoveColInd = c;
            FMoveRowInd = 0;
            if (OnColumnMoving) OnColumnMoving(this, c, allow);
        } else {
            hideArrow(arrow(FArrows, arrDown));
            hideArrow(arrow(FArrows, arrUp));
        }
    } else if (FGridState == gsRowMoving && Movecell >= FixedRows()) {
        const bool footerRow = FFloatingFooter->ShowsLastRow() && r == RowCount() - 1;
        if (r >= FixedRows() && r < RowCount() && !footerRow) {
            const TRect rr = CellRect(0, r);
            const int edge = r < Movecell ? rr.Top : rr.Bottom;
            const TPoint left = ClientToScreen(TPoint(rr.Left, edge));
            const TPoint right = ClientToScreen(TPoint(rr.Right, edge));
            placeArrow(arrow(FArrows, arrLeft), TPoint(left.X - 10, left.Y - 5));
            placeArrow(arrow(FArrows, arrRight), TPoint(right.X, right.Y - 5));
            FMoveRowInd = r;
            FMoveColInd = 0;
            if (OnRowMoving) OnRowMoving(this, r, allow);
        } else {
            hideArrow(arrow(FArrows, arrLeft));
            hideArrow(arrow(FArrows, arrRight));
        }
    } else {
        return;
    }
    if (!FDragDropSettings->ShowCells()) {
        if (!FMoveButton) {
            FMoveButton = new THeaderDragButton(this);
            FMoveButton->SetVisible(false);
            FMoveButton->SetParent(this);
        }
        const bool column = FGridState == gsColMoving;
        FMoveButton->SetGrid(this);
        FMoveButton->SetCaption(column ? Cells(RealColIndex(Movecell), 0) : Cells(0, Movecell));
        const int w = column ? ColWidths(Movecell) : ColWidths(std::max(c, 0));
        const int h = column ? RowHeights(std::max(r, 0)) : RowHeights(Movecell);
        FMoveButton->SetBounds(screen.X, screen.Y, w, h);
        FMoveButton->SetVisible(true);
    }
    Screen->SetCursor(allow ? crDrag : crNoDrop);
}

void TQorStringGrid::endEnhancedMove() {
    HideDropArrows();
    if (FMoveButton) FMoveButton->SetVisible(false);
    Screen->SetCursor(crDefault);
    FMoveColInd = FMoveRowInd = 0;
}
