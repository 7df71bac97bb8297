// TQorStringGrid: OLE drag and drop of its cells and columns (the drop target's registration,
// a drag started by pressing on the selection and moving, what a move leaves behind).
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/data/GridOleDragDrop.h"
#include "grid/render/AuxWindows.h"
#include "grid/render/HeaderDragButton.h"

#include <algorithm>

namespace {
constexpr int DragThreshold = 3;
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

// --- drag source -----------------------------------------------------------------------------
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
        if (!showCells && FMoveButton) {
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
        // With the formatted clipboard on, the cells travel with their properties too.
        std::unique_ptr<TMemoryStream> cells;
        if (FNavigation->AllowFmtClipboard()) {
            const TGridRect s = FDropSelection;
            cells = std::make_unique<TMemoryStream>();
            SaveRectToBinStream(TRect(s.Left, s.Top, s.Right, s.Bottom), *cells);
        }
        const HRESULT hr = BeginTextDragDrop(source, text, cellText, effect,
                                             DROPEFFECT_COPY | DROPEFFECT_MOVE, cells.get());
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
