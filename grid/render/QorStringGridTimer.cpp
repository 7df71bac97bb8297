// TQorStringGrid: the grid timer (incremental-search clock, hover selection, blinking text),
// focus arrival and departure, the update lock with the paint handlers that honour it, the
// cursor and the owner form's resize.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/SearchPanel.h"
#include "grid/render/FloatingFooter.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace {
bool hasCheckBox(TCellType t) {
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox ||
           t == ctTriStateCheckBox || t == ctRowCheckBox;
}

bool blinks(const std::string& text) {
    return AnsiUpperCase(text).find("<BLI") != std::string::npos;
}
} // namespace

// --- update lock ------------------------------------------------------------------------------
// The platform grid's own lock is held as deep as the count, so that invalidations and scroll
// range updates wait for the end as well.
void TQorStringGrid::BeginUpdate() {
    ++FUpdateCount;
    TBaseGrid::BeginUpdate();
    if (HandleAllocated()) Perform(WM_SETREDRAW, 0);
}

void TQorStringGrid::EndUpdate() {
    if (FUpdateCount > 0) {
        --FUpdateCount;
        TBaseGrid::EndUpdate();
    }
    if (FUpdateCount != 0 || IsDestroying()) return;
    FSelChange = false;
    if (HandleAllocated()) Perform(WM_SETREDRAW, 1);
    Invalidate();
}

void TQorStringGrid::StartUpdate() {
    ++FUpdateCount;
    TBaseGrid::BeginUpdate();
}

void TQorStringGrid::ResetUpdate() {
    while (FUpdateCount > 0) {
        --FUpdateCount;
        TBaseGrid::EndUpdate();
    }
}

void TQorStringGrid::WMPaint(TWMPaint& Message) {
    if (FUpdateCount >= 1) {
        // Nothing is painted while updates are locked; the end of the lock repaints.
        Message.Result() = 0;
        if (HandleAllocated()) ValidateRect(Handle(), nullptr);
        return;
    }
    TBaseGrid::WMPaint(Message);
}

void TQorStringGrid::WMEraseBkgnd(TWMEraseBkgnd& Message) {
    // The painter fills every cell.
    Message.Result() = 0;
}

// --- grid timer -------------------------------------------------------------------------------
void TQorStringGrid::WMTimer(TWMTimer& Message) {
    if (FGridTimerID == 0 || Message.TimerID() != FGridTimerID) {
        TBaseGrid::WMTimer(Message);
        return;
    }
    ++FTimerTicks;
    if (FNavigation->AutoGotoIncremental() && ++FSearchTics >= 4) {
        FSearchInc.clear();
        FSearchTics = 0;
    }
    if (FHovering && !Designing() && MouseControl() == this) {
        TPoint p;
        GetCursorPos(p);
        p = ScreenToClient(p);
        if (ClientRect().Contains(p)) {
            const TGridCoord cell = MouseCoord(p.X, p.Y);
            if (cell.X >= FixedCols() && cell.X < ColCount() && cell.Y >= FixedRows() &&
                cell.Y < RowCount()) {
                if (CanFocus()) SetFocus();
                SetRow(cell.Y);
                SetCol(cell.X);
            }
        }
    }
    if (FEnableBlink) {
        FGridBlink = !FGridBlink;
        const int lastRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount() - 1);
        const int lastReal =
            std::min(TotalColCount() - 1, LeftCol() + VisibleColCount() + NumHiddenColumns() - 1);
        const int lastCol = std::min(ColCount() - 1, LeftCol() + VisibleColCount() - 1);
        for (int r = TopRow(); r <= lastRow; ++r)
            for (int c = LeftCol(); c <= lastReal; ++c)
                if (blinks(GridCells(c, r))) RepaintCell(DisplColIndexOf(c), r);
        for (int r = 0; r < FixedRows(); ++r)
            for (int c = LeftCol(); c <= lastCol; ++c)
                if (blinks(GridCells(c, r))) RepaintCell(c, r);
        for (int r = TopRow(); r <= lastRow; ++r)
            for (int c = 0; c < FixedCols(); ++c)
                if (blinks(GridCells(c, r))) RepaintCell(c, r);
    }
}

// --- focus ------------------------------------------------------------------------------------
void TQorStringGrid::WMSetFocus(TWMSetFocus& Message) {
    if (InvokedFocusChange) return;
    TBaseGrid::WMSetFocus(Message);
    const int rc = RealColIndexOf(Col());
    if (rc < 0 || hasCheckBox(GetCellType(rc, Row()))) return;
    if (FNavigation->AlwaysEdit()) {
        const bool visible =
            Row() >= TopRow() && Row() <= TopRow() + VisibleRowCount() &&
            (Col() < FixedCols() || (Col() >= LeftCol() && Col() <= LeftCol() + VisibleColCount()));
        bool editable = true;
        IsEditableCell(rc, Row(), editable);
        TInplaceEdit* editor = InplaceEditor();
        if (editor) {
            const bool fromEditor =
                editor->HandleAllocated() && Message.FocusedWnd() == editor->Handle();
            if (!fromEditor && FGridState != gsRowMoving && FGridState != gsColMoving &&
                !EditCtrl() && visible && editable) {
                ShowInplaceEdit();
                Message.Result() = 0;
                return;
            }
        } else if (visible && editable && HasComboBox(rc, Row()) && !FMouseActions->DirectEdit()) {
            ShowInplaceEdit();
        }
    }
    // The focus frame covers a merged current cell whole.
    if (IsMergedCell(rc, Row())) Invalidate();
}

void TQorStringGrid::WMKillFocus(TWMKillFocus& Message) {
    if (FBlockKill) {
        Message.Result() = 1;
        return;
    }
    TBaseGrid::WMKillFocus(Message);
    const int rc = RealColIndexOf(Col());
    if (rc >= 0 && IsMergedCell(rc, Row())) Invalidate();
    releaseCellControl();
}

void TQorStringGrid::DoEnter() {
    if (FBlockFocus) return;
    TBaseGrid::DoEnter();
    struct Store {
        TQorStringGrid* g;
        ~Store() { g->StoreOldCell(g->Col(), g->Row()); }
    } store{this};
    // Also without goEditing: a grid that switches editing cell by cell decides for the cell
    // that is current when it gets the focus, so that typing there opens the editor at once.
    if (Options().Contains(goEditing) || FMouseActions->RangeSelectAndEdit() || FEditDisable ||
        (Col() >= FixedCols() && Row() >= FixedRows()))
        SelectCell(Col(), Row());
}

void TQorStringGrid::DoExit() {
    if (FBlockKill) return;
    if (FSelChange && FMouseActions->DisjunctRowSelect()) SelectionToRowSelect(false);
    FSelChange = false;
    TBaseGrid::DoExit();
}

// --- cursor, enabling and size ----------------------------------------------------------------
void TQorStringGrid::WMSetCursor(TWMSetCursor& Message) {
    TCursor own = crDefault;
    const bool sizing = FGridState == gsColSizing || FGridState == gsRowSizing;
    if (FMouseSelectMode != msNormal && !sizing)
        own = SelectModeCursor(FMouseSelectMode);
    else if (FMouseSelectMode == msNormal && FCellSelectorMode)
        own = CellSelectorCursor;
    if (own == crDefault) {
        TBaseGrid::WMSetCursor(Message);
        TPoint p;
        GetCursorPos(p);
        p = ScreenToClient(p);
        const TGridCoord cell = MouseCoord(p.X, p.Y);
        if (cell.X >= 0 && cell.Y >= 0) GetCellCursor(cell.X, cell.Y, p.X, p.Y);
    }
    if (FSizeFixed || FSizingFixed)
        own = crHSplit;
    else if (FSizeFixedR || FSizingFixedR)
        own = crVSplit;
    if (own != crDefault && Screen) {
        Screen->SetCurrentCursor(own);
        Message.M.Result = 1;
    }
}

void TQorStringGrid::CMCursorChanged(TMessage& Message) {
    TBaseGrid::CMCursorChanged(Message);
    // A cursor set by others ends the select mode the pointer was in.
    if (!Invokedchange) FMouseSelectMode = msNormal;
    Invokedchange = false;
}

void TQorStringGrid::CMColorChanged(TMessage& Message) {
    TBaseGrid::CMColorChanged(Message);
    if (FFloatingFooter->Visible() && FFooterPanel) FFooterPanel->Invalidate();
}

void TQorStringGrid::CMEnabledChanged(TMessage& Message) {
    TBaseGrid::CMEnabledChanged(Message);
    Invalidate();
}

void TQorStringGrid::SetMaxEditLength(int v) {
    FMaxEditLength = v;
    if (TInplaceEdit* editor = InplaceEditor()) editor->SetMaxLength(std::max(0, v));
}

void TQorStringGrid::FormResize() {
    if (Designing() || IsDestroying() || !FHookedForm) return;
    const int w = FHookedForm->Width(), h = FHookedForm->Height();
    if (FSizeWithForm) {
        const int nw = Width() + w - FFormWidth, nh = Height() + h - FFormHeight;
        if (nw > 0 && nh > 0) SetBounds(Left(), Top(), nw, nh);
    }
    FFormWidth = w;
    FFormHeight = h;
    stretchAfterResize();
}

// A stretch column that is no column (any more) stretches nothing on a resize.
void TQorStringGrid::stretchAfterResize() {
    if (FColumnSize->Stretch() && Parent() && !IsDestroying() &&
        FColumnSize->StretchColumn() < ColCount())
        StretchColumn(FColumnSize->StretchColumn());
}

void TQorStringGrid::WMSize(TWMSize& Message) {
    if (FSearchPanel && FSearchPanel->Visible()) {
        // A change of height makes the panel lay itself out again.
        FSearchPanel->SetHeight(33);
        FSearchPanel->SetHeight(32);
        FSearchPanel->SetAlign(alBottom);
    }
    // Columns keep their share of the width they had when the grid was loaded.
    if (FColumnSize->SynchWithGrid() && FOldSize > 0) {
        HideInplaceEdit();
        const double factor =
            (FBorderStyle == bsSingle ? Message.Width() + 2.0 : double(Message.Width())) / FOldSize;
        const bool normalOnly = FColumnSize->SynchNormalCellsOnly();
        const int from = normalOnly ? FixedCols() : 0;
        const int to = normalOnly ? ColCount() - FFixedRightCols - 1 : ColCount() - 1;
        for (int c = from; c <= to && c < int(FOrigColSizes.size()); ++c)
            SetColWidths(c, int(std::lrint(FOrigColSizes[std::size_t(c)] * factor)));
    }
    TBaseGrid::WMSize(Message);
    if (FColumnSize->Stretch() && (FScrollBarAlways == saNone || FScrollBarAlways == saVert) &&
        Parent() && !IsDestroying()) {
        int stretch = FColumnSize->StretchColumn();
        if (stretch == -1) stretch = ColCount() - 1;
        if (stretch >= 0 && stretch < ColCount()) {
            int others = 0;
            for (int c = 0; c < ColCount(); ++c)
                if (c != stretch) others += ColWidths(c);
            if (others < Width()) StretchColumn(stretch);
            // Without kept bars a bar shows only when there is something to scroll.
            if (FScrollBarAlways == saNone) {
                const TScrollStyle bars = ScrollBars();
                if (bars == ssHorizontal || bars == ssBoth)
                    SetScrollBarShow(false, ClientWidth() < others + ColWidths(stretch) ? sbsAlways
                                                                                        : sbsNever);
                if (bars == ssVertical || bars == ssBoth)
                    SetScrollBarShow(true, VisibleRowCount() < RowCount() - FixedRows() ? sbsAlways
                                                                                        : sbsNever);
            }
        }
        return;
    }
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
}
