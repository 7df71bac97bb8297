#include "platform/ui/Grids.h"

#include "platform/ui/GridLayout.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

using namespace grid_layout;

// --- TCustomGrid ----------------------------------------------------------------------------

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks | csNeedsBorderPaint);
    colWidths_.assign(std::size_t(colCount_), defaultColWidth_);
    rows_.Resize(rowCount_);
    tabStops_.assign(std::size_t(colCount_), true);
    SetBounds(0, 0, 320, 120);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomGrid::~TCustomGrid() = default;

// --- sizes ------------------------------------------------------------------------------------

void TCustomGrid::SetColCount(int v) {
    if (v < 1) v = 1;
    if (v == colCount_) return;
    if (v <= fixedCols_) fixedCols_ = v - 1;
    changeSize(v, rowCount_);
}

void TCustomGrid::SetRowCount(int v) {
    if (v < 1) v = 1;
    if (v == rowCount_) return;
    if (v <= fixedRows_) fixedRows_ = v - 1;
    changeSize(colCount_, v);
}

void TCustomGrid::changeSize(int newColCount, int newRowCount) {
    int oldCols = colCount_, oldRows = rowCount_;
    // An edit of a cell that goes away is dropped, not written back. Hiding the focused editor
    // focuses the grid, which may load the editor again: forget the cell after that.
    if (FInplaceCol >= newColCount || FInplaceRow >= newRowCount) {
        if (FInplaceEdit) FInplaceEdit->Hide();
        FInplaceCol = FInplaceRow = -1;
    }
    if (newColCount != oldCols) {
        colWidths_.resize(std::size_t(newColCount), defaultColWidth_);
        tabStops_.resize(std::size_t(newColCount), true);
    }
    if (newRowCount < oldRows) RowsLeaving(newRowCount, oldRows - newRowCount);
    rows_.Resize(newRowCount);
    colCount_ = newColCount;
    rowCount_ = newRowCount;
    if (newColCount < oldCols) {
        // Real columns past the (new) total leave the store with their cells.
        int keep = std::max(0, TotalColCount());
        if (int width = rows_.CellWidth(); width > keep) {
            ColsLeaving(keep, width - keep);
            rows_.DropColumnsFrom(keep);
        }
    }
    clampPositions();
    SizeChanged(oldCols, oldRows);
    UpdateScrollRange();
    Invalidate();
    if (editorMode_) UpdateEdit();
}

void TCustomGrid::clampPositions() {
    auto clamp = [](int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); };
    current_.X = clamp(current_.X, fixedCols_, colCount_ - 1);
    current_.Y = clamp(current_.Y, fixedRows_, rowCount_ - 1);
    anchor_.X = clamp(anchor_.X, fixedCols_, colCount_ - 1);
    anchor_.Y = clamp(anchor_.Y, fixedRows_, rowCount_ - 1);
    topLeft_.X = clamp(topLeft_.X, fixedCols_, colCount_ - 1);
    topLeft_.Y = clamp(topLeft_.Y, fixedRows_, rowCount_ - 1);
    if (options_.Contains(goRowSelect)) {
        current_.X = fixedCols_;
        anchor_.X = colCount_ - 1;
    }
}

void TCustomGrid::SetFixedCols(int v) {
    if (v == fixedCols_) return;
    if (v < 0) invalidOp(sIndexOutOfRange);
    if (v >= colCount_) invalidOp(sFixedColTooBig);
    fixedCols_ = v;
    topLeft_.X = v;
    current_.X = v;
    anchor_ = current_;
    clampPositions();
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int v) {
    if (v == fixedRows_) return;
    if (v < 0) invalidOp(sIndexOutOfRange);
    if (v >= rowCount_) invalidOp(sFixedRowTooBig);
    fixedRows_ = v;
    topLeft_.Y = v;
    current_.Y = v;
    anchor_ = current_;
    clampPositions();
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int v) {
    if (v == defaultColWidth_ && !customColWidths_) return;
    defaultColWidth_ = v;
    std::fill(colWidths_.begin(), colWidths_.end(), v);
    customColWidths_ = false;
    ColWidthsChanged();
    Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
    if (v == defaultRowHeight_ && !customRowHeights_) return;
    defaultRowHeight_ = v;
    rows_.ResetHeights();
    customRowHeights_ = false;
    RowHeightsChanged();
    Invalidate();
}

void TCustomGrid::ChangeScale(int M, int D) {
    TCustomControl::ChangeScale(M, D);
    if (M == D || D == 0) return;
    std::vector<int> widths, heights;
    for (int c = 0; c < colCount_; ++c) widths.push_back(MulDiv(ColWidths(c), M, D));
    for (int r = 0; r < rowCount_; ++r) heights.push_back(MulDiv(RowHeights(r), M, D));
    SetDefaultColWidth(MulDiv(defaultColWidth_, M, D));
    SetDefaultRowHeight(MulDiv(defaultRowHeight_, M, D));
    for (int c = 0; c < colCount_; ++c) SetColWidths(c, widths[std::size_t(c)]);
    for (int r = 0; r < rowCount_; ++r) SetRowHeights(r, heights[std::size_t(r)]);
}

int TCustomGrid::ColWidths(int i) const {
    if (i < 0 || i >= colCount_) return defaultColWidth_;
    return colWidths_[std::size_t(i)];
}

void TCustomGrid::SetColWidths(int i, int v) {
    if (i < 0 || i >= colCount_) invalidOp(sIndexOutOfRange);
    if (v < 0) v = 0;
    if (colWidths_[std::size_t(i)] == v) return;
    colWidths_[std::size_t(i)] = v;
    customColWidths_ = true;
    ColWidthsChanged();
}

int TCustomGrid::RowHeights(int i) const {
    if (i < 0 || i >= rowCount_) return defaultRowHeight_;
    return rowExtents_.Extent(i);
}

void TCustomGrid::SetRowHeights(int i, int v) {
    if (i < 0 || i >= rowCount_) invalidOp(sIndexOutOfRange);
    if (v < 0) v = 0;
    if (rowExtents_.Extent(i) == v) return;
    // Only heights other than the default are stored.
    if (v != defaultRowHeight_)
        rows_.Need(i).Height = v;
    else if (TGridRow* row = rows_.Get(i))
        row->Height = -1;
    customRowHeights_ = true;
    RowHeightsChanged();
}

bool TCustomGrid::TabStops(int i) const {
    if (i < 0 || i >= colCount_) return true;
    return tabStops_[std::size_t(i)];
}

void TCustomGrid::SetTabStops(int i, bool v) {
    if (i < 0 || i >= colCount_) invalidOp(sIndexOutOfRange);
    tabStops_[std::size_t(i)] = v;
}

void TCustomGrid::SetGridLineWidth(int v) {
    if (v < 0) v = 0;
    if (v == gridLineWidth_) return;
    gridLineWidth_ = v;
    ColWidthsChanged();
    RowHeightsChanged();
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions v) {
    if (v.Contains(goRowSelect)) v.Exclude(goAlwaysShowEditor);
    if (v == options_) return;
    options_ = v;
    clampPositions();
    if (!options_.Contains(goEditing))
        HideEditor();
    else if (options_.Contains(goAlwaysShowEditor))
        ShowEditor();
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetDefaultDrawing(bool v) {
    if (v == defaultDrawing_) return;
    defaultDrawing_ = v;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor v) {
    if (v == fixedColor_) return;
    fixedColor_ = v;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle v) {
    if (v == scrollBars_) return;
    scrollBars_ = v;
    UpdateScrollRange();
}

void TCustomGrid::SizeChanged(int, int) {}

void TCustomGrid::ColWidthsChanged() {
    UpdateScrollRange();
    Invalidate();
    if (editorMode_) UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
    UpdateScrollRange();
    Invalidate();
    if (editorMode_) UpdateEdit();
}

void TCustomGrid::Resize() {
    TCustomControl::Resize();
    UpdateScrollRange();
    if (editorMode_) UpdateEdit();
}

// --- geometry ---------------------------------------------------------------------------------

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& DrawInfo) {
    fixedAxis(DrawInfo.Horz, false);
    fixedAxis(DrawInfo.Vert, true);
}

// One axis laid out from its fixed cells on; its room depends on the other axis' bar.
void TCustomGrid::fixedAxis(TGridAxisDrawInfo& a, bool vertical) {
    bool lines = vertical ? options_.Contains(goFixedHorzLine) || options_.Contains(goHorzLine)
                          : options_.Contains(goFixedVertLine) || options_.Contains(goVertLine);
    a.EffectiveLineWidth = lines ? gridLineWidth_ : 0;
    a.Extents = vertical ? static_cast<const TGridExtents*>(&rowExtents_) : &colExtents_;
    a.FixedCellCount = vertical ? fixedRows_ : fixedCols_;
    a.FirstGridCell = a.FixedCellCount;
    a.GridCellCount = vertical ? rowCount_ : colCount_;
    a.GridExtent = vertical ? CellAreaHeight() : CellAreaWidth();
    calcAxis(a);
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& DrawInfo) {
    CalcFixedInfo(DrawInfo);
    DrawInfo.Horz.FirstGridCell = topLeft_.X;
    DrawInfo.Vert.FirstGridCell = topLeft_.Y;
    calcAxis(DrawInfo.Horz);
    calcAxis(DrawInfo.Vert);
}

TGridCoord TCustomGrid::CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& DrawInfo) {
    return {cellAt(DrawInfo.Horz, ClientToLayoutX(X)), cellAt(DrawInfo.Vert, Y)};
}

TGridCoord TCustomGrid::CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& DrawInfo) {
    return {firstToShow(DrawInfo.Horz, Coord.X), firstToShow(DrawInfo.Vert, Coord.Y)};
}

int TCustomGrid::VisibleColCount() {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    return std::max(0, di.Horz.LastFullVisibleCell - topLeft_.X + 1);
}

int TCustomGrid::VisibleRowCount() {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    return std::max(0, di.Vert.LastFullVisibleCell - topLeft_.Y + 1);
}

TRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    int l = cellStart(di.Horz, ALeft), t = cellStart(di.Vert, ATop);
    int r = cellStart(di.Horz, ARight), b = cellStart(di.Vert, ABottom);
    if (l < 0 || t < 0 || r < 0 || b < 0) return {};
    return LayoutToClient({l, t, r + extentOf(di.Horz, ARight), b + extentOf(di.Vert, ABottom)});
}

TRect TCustomGrid::CellRect(int ACol, int ARow) {
    return BoxRect(ACol, ARow, ACol, ARow);
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    TGridCoord c = CalcCoordFromPoint(X, Y, di);
    if (c.X < 0)
        c.Y = -1;
    else if (c.Y < 0)
        c.X = -1;
    return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) {
    TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

int TCustomGrid::GridWidth() {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    return di.Horz.GridBoundary;
}

int TCustomGrid::GridHeight() {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    return di.Vert.GridBoundary;
}

bool TCustomGrid::cellShown(int c, int r) {
    if (!HandleAllocated()) return false;
    if (c < 0 || r < 0 || c >= colCount_ || r >= rowCount_) return false;
    if (c >= fixedCols_ && c < topLeft_.X) return false;
    if (r >= fixedRows_ && r < topLeft_.Y) return false;
    return true;
}

// --- invalidation -----------------------------------------------------------------------------

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
    if (!cellShown(ACol, ARow)) return;
    if (updateLock_ > 0) {
        pendingInvalidate_ = true;
        return;
    }
    // Only the two positions are walked (a full layout per written cell is too slow for
    // grids filled while shown).
    auto axis = [this](bool vertical) {
        TGridAxisDrawInfo a;
        a.Extents = vertical ? static_cast<const TGridExtents*>(&rowExtents_) : &colExtents_;
        bool lines = vertical
                         ? (options_.Contains(goFixedHorzLine) || options_.Contains(goHorzLine))
                         : (options_.Contains(goFixedVertLine) || options_.Contains(goVertLine));
        a.EffectiveLineWidth = lines ? gridLineWidth_ : 0;
        a.FixedCellCount = vertical ? fixedRows_ : fixedCols_;
        a.FirstGridCell = vertical ? topLeft_.Y : topLeft_.X;
        a.GridCellCount = vertical ? rowCount_ : colCount_;
        a.GridExtent = vertical ? CellAreaHeight() : CellAreaWidth();
        for (int i = 0; i < a.FixedCellCount; ++i)
            a.FixedBoundary += extentOf(a, i) + a.EffectiveLineWidth;
        return a;
    };
    TGridAxisDrawInfo v = axis(true);
    int top = cellStart(v, ARow);
    if (top < 0) return;
    TGridAxisDrawInfo h = axis(false);
    int left = cellStart(h, ACol);
    if (left < 0) return;
    TRect r = LayoutToClient({left, top, left + extentOf(h, ACol), top + extentOf(v, ARow)});
    if (!r.IsEmpty()) ::InvalidateRect(Handle(), &r, false);
}

void TCustomGrid::InvalidateCol(int ACol) {
    if (!HandleAllocated()) return;
    InvalidateRect(TGridRect{ACol, 0, ACol, rowCount_ - 1});
}

void TCustomGrid::InvalidateRow(int ARow) {
    if (!HandleAllocated()) return;
    InvalidateRect(TGridRect{0, ARow, colCount_ - 1, ARow});
}

void TCustomGrid::InvalidateRect(const TGridRect& ARect) {
    if (!HandleAllocated()) return;
    if (updateLock_ > 0) {
        pendingInvalidate_ = true;
        return;
    }
    TGridDrawInfo di;
    CalcDrawInfo(di);
    // Clip the cell range to what is shown, then take its client rectangle.
    auto span = [](const TGridAxisDrawInfo& a, int lo, int hi, int& from, int& to) {
        int lastShown = std::min(a.GridCellCount - 1, a.LastFullVisibleCell + 1);
        from = lo;
        to = hi;
        if (from < a.FixedCellCount) {
            // Fixed cells are always shown; the range may continue into the scrolled part.
        } else if (from < a.FirstGridCell) {
            from = a.FirstGridCell;
        }
        if (to > lastShown) to = lastShown;
        if (to >= a.FixedCellCount && to < a.FirstGridCell) to = a.FixedCellCount - 1;
        return from <= to && from >= 0;
    };
    int c1, c2, r1, r2;
    if (!span(di.Horz, std::min(ARect.Left, ARect.Right), std::max(ARect.Left, ARect.Right), c1,
              c2))
        return;
    if (!span(di.Vert, std::min(ARect.Top, ARect.Bottom), std::max(ARect.Top, ARect.Bottom), r1,
              r2))
        return;
    int l = cellStart(di.Horz, c1), t = cellStart(di.Vert, r1);
    int r = cellStart(di.Horz, c2), b = cellStart(di.Vert, r2);
    if (l < 0 || t < 0 || r < 0 || b < 0) {
        Invalidate();
        return;
    }
    TRect rc = LayoutToClient({l, t, r + extentOf(di.Horz, c2) + di.Horz.EffectiveLineWidth,
                               b + extentOf(di.Vert, r2) + di.Vert.EffectiveLineWidth});
    ::InvalidateRect(Handle(), &rc, false);
}

void TCustomGrid::InvalidateEditor() {
    FInplaceCol = -1;
    FInplaceRow = -1;
    if (editorMode_) UpdateEdit();
}

// --- current cell, selection, scrolling ----------------------------------------------------------

void TCustomGrid::SetCol(int v) {
    if (v != current_.X) FocusCell(v, current_.Y, true);
}

void TCustomGrid::SetRow(int v) {
    if (v != current_.Y) FocusCell(current_.X, v, true);
}

void TCustomGrid::SetLeftCol(int v) {
    if (v < fixedCols_ || v >= colCount_) invalidOp(sIndexOutOfRange);
    if (v != topLeft_.X) MoveTopLeft(v, topLeft_.Y);
}

void TCustomGrid::SetTopRow(int v) {
    if (v < fixedRows_ || v >= rowCount_) invalidOp(sIndexOutOfRange);
    if (v != topLeft_.Y) MoveTopLeft(topLeft_.X, v);
}

TGridRect TCustomGrid::Selection() const {
    TGridRect r{std::min(current_.X, anchor_.X), std::min(current_.Y, anchor_.Y),
                std::max(current_.X, anchor_.X), std::max(current_.Y, anchor_.Y)};
    if (options_.Contains(goRowSelect)) {
        r.Left = fixedCols_;
        r.Right = colCount_ - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& v) {
    auto clampC = [&](int c) { return std::max(fixedCols_, std::min(c, colCount_ - 1)); };
    auto clampR = [&](int r) { return std::max(fixedRows_, std::min(r, rowCount_ - 1)); };
    TGridRect old = Selection();
    anchor_ = {clampC(v.Left), clampR(v.Top)};
    current_ = {clampC(v.Right), clampR(v.Bottom)};
    if (options_.Contains(goRowSelect)) {
        current_.X = fixedCols_;
        anchor_.X = colCount_ - 1;
    }
    selectionMoved(old);
}

void TCustomGrid::selectionMoved(const TGridRect& oldSel) {
    if (!HandleAllocated()) return;
    InvalidateRect(oldSel);
    InvalidateRect(Selection());
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveColRow(ACol, ARow, MoveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchorToo, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= colCount_ || ARow >= rowCount_) invalidOp(sIndexOutOfRange);
    if (!SelectCell(ACol, ARow)) return;
    TGridRect oldSel = Selection();
    InvalidateCell(current_.X, current_.Y);
    current_ = {ACol, ARow};
    if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
    if (MoveAnchorToo || !options_.Contains(goRangeSelect)) {
        anchor_ = current_;
        if (options_.Contains(goRowSelect)) anchor_.X = colCount_ - 1;
    }
    if (options_.Contains(goRowSelect)) current_.X = fixedCols_;
    if (Show) ClampInView(current_);
    selectionMoved(oldSel);
    InvalidateCell(current_.X, current_.Y);
}

void TCustomGrid::MoveAnchor(const TGridCoord& NewAnchor) {
    if (!options_.Contains(goRangeSelect)) {
        MoveColRow(NewAnchor.X, NewAnchor.Y, true, true);
        return;
    }
    TGridRect oldSel = Selection();
    anchor_ = NewAnchor;
    if (options_.Contains(goRowSelect)) anchor_.X = colCount_ - 1;
    ClampInView(NewAnchor);
    selectionMoved(oldSel);
}

void TCustomGrid::ClampInView(const TGridCoord& Coord) {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    int left = topLeft_.X, top = topLeft_.Y;
    if (Coord.X >= fixedCols_ && Coord.X < colCount_) {
        if (Coord.X < left)
            left = Coord.X;
        else if (Coord.X > di.Horz.LastFullVisibleCell)
            left = std::max(left, firstToShow(di.Horz, Coord.X));
    }
    if (Coord.Y >= fixedRows_ && Coord.Y < rowCount_) {
        if (Coord.Y < top)
            top = Coord.Y;
        else if (Coord.Y > di.Vert.LastFullVisibleCell)
            top = std::max(top, firstToShow(di.Vert, Coord.Y));
    }
    MoveTopLeft(left, top);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    if (ALeft == topLeft_.X && ATop == topLeft_.Y) return;
    topLeft_ = {ALeft, ATop};
    Invalidate();
    UpdateScrollPos();
    if (editorMode_) UpdateEdit();
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {}

int TCustomGrid::CellAreaWidth() const {
    return std::max(0, ClientWidth() - (vScroll_.Visible ? SystemScrollBarSize : 0));
}

// The cell area starts after a vertical bar on the left.
int TCustomGrid::cellAreaLeft() const {
    return vScroll_.Visible && UseRightToLeftScrollBar() ? SystemScrollBarSize : 0;
}

int TCustomGrid::ClientToLayoutX(int X) const {
    const int left = cellAreaLeft();
    return UseRightToLeftAlignment() ? left + CellAreaWidth() - 1 - X : X - left;
}

TRect TCustomGrid::LayoutToClient(const TRect& R) const {
    const int left = cellAreaLeft();
    if (!UseRightToLeftAlignment()) return {R.Left + left, R.Top, R.Right + left, R.Bottom};
    const int axis = left + CellAreaWidth();
    return {axis - R.Right, R.Top, axis - R.Left, R.Bottom};
}

unsigned TCustomGrid::DrawTextBiDiModeFlags(unsigned Flags) const {
    if (UseRightToLeftAlignment()) {
        if (Flags & DT_RIGHT)
            Flags &= ~DT_RIGHT;
        else if (!(Flags & DT_CENTER))
            Flags |= DT_RIGHT;
    }
    return Flags | DrawTextBiDiModeFlagsReadingOnly();
}

unsigned TCustomGrid::DrawTextBiDiModeFlagsReadingOnly() const {
    return UseRightToLeftReading() ? DT_RTLREADING : 0;
}

int TCustomGrid::CellAreaHeight() const {
    return std::max(0, ClientHeight() - (hScroll_.Visible ? SystemScrollBarSize : 0));
}

void TCustomGrid::BeginUpdate() {
    ++updateLock_;
}

void TCustomGrid::EndUpdate() {
    if (updateLock_ == 0 || --updateLock_ > 0) return;
    if (std::exchange(pendingScrollRange_, false)) UpdateScrollRange();
    if (std::exchange(pendingInvalidate_, false)) Invalidate();
}

void TCustomGrid::Invalidate() {
    if (updateLock_ > 0) {
        pendingInvalidate_ = true;
        return;
    }
    TCustomControl::Invalidate();
}

void TCustomGrid::SetScrollBarRange(bool Vertical, int Min, int Max, int Page) {
    TGridScrollBar& sb = Vertical ? vScroll_ : hScroll_;
    if (Max < Min) Max = Min;
    Page = std::clamp(Page, 0, Max - Min + 1);
    if (sb.Min == Min && sb.Max == Max && sb.Page == Page) return;
    sb.Min = Min;
    sb.Max = Max;
    sb.Page = Page;
    SetScrollBarPosition(Vertical, sb.Position);
    if (sb.Visible) Invalidate();
}

void TCustomGrid::SetScrollBarPosition(bool Vertical, int Position) {
    TGridScrollBar& sb = Vertical ? vScroll_ : hScroll_;
    int top = sb.Page > 0 ? sb.Max - sb.Page + 1 : sb.Max;
    Position = std::clamp(Position, sb.Min, std::max(sb.Min, top));
    if (Position == sb.Position) return;
    sb.Position = Position;
    if (sb.Visible) Invalidate();
}

void TCustomGrid::EnableScrollBar(bool Vertical, bool Enabled) {
    TGridScrollBar& sb = Vertical ? vScroll_ : hScroll_;
    if (sb.Enabled == Enabled) return;
    sb.Enabled = Enabled;
    if (sb.Visible) Invalidate();
}

void TCustomGrid::SetScrollBarShow(bool Vertical, TGridScrollBarShow v) {
    (Vertical ? vShow_ : hShow_) = v;
    UpdateScrollRange();
}

void TCustomGrid::UpdateScrollRange() {
    if (updateLock_ > 0) {
        pendingScrollRange_ = true;
        return;
    }
    bool horz = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    bool vert = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    bool oldH = hScroll_.Visible, oldV = vScroll_.Visible;
    // A bar takes room from the other direction: starting with no bars, settle both in up to
    // three passes; a pass that keeps the bars as they are has settled them, and an axis is
    // laid out again only when the other axis' bar changed. Bars only take room, so the bars
    // found are the fewest that settle. When the bars shown settle again and at most one is
    // shown, they are those fewest already (the shown bar is needed with the other one
    // hidden) and one pass does.
    TGridDrawInfo di;
    TGridCoord maxTL;
    bool horzStale = true, vertStale = true;
    auto layOut = [&] {
        if (horzStale) {
            fixedAxis(di.Horz, false);
            maxTL.X = firstToShow(di.Horz, colCount_ - 1);
        }
        if (vertStale) {
            fixedAxis(di.Vert, true);
            maxTL.Y = firstToShow(di.Vert, rowCount_ - 1);
        }
    };
    auto needH = [&] {
        return hShow_ == sbsAlways || (hShow_ == sbsAuto && horz && maxTL.X > fixedCols_);
    };
    auto needV = [&] {
        return vShow_ == sbsAlways || (vShow_ == sbsAuto && vert && maxTL.Y > fixedRows_);
    };
    bool settled = false;
    if (!(oldH && oldV)) {
        layOut();
        settled = needH() == oldH && needV() == oldV;
    }
    if (!settled) {
        hScroll_.Visible = vScroll_.Visible = false;
        horzStale = vertStale = true;
    }
    for (int pass = 0; pass < 3 && !settled; ++pass) {
        layOut();
        bool h = needH(), v = needV();
        vertStale = h != hScroll_.Visible;
        horzStale = v != vScroll_.Visible;
        settled = !vertStale && !horzStale;
        hScroll_.Visible = h;
        vScroll_.Visible = v;
    }
    if (!settled) layOut();
    if (oldH != hScroll_.Visible || oldV != vScroll_.Visible) Invalidate();
    // A grid that grew (or got fewer cells) scrolls back so that no empty space is left.
    int left = std::min(topLeft_.X, std::max(maxTL.X, fixedCols_));
    int top = std::min(topLeft_.Y, std::max(maxTL.Y, fixedRows_));
    if (left != topLeft_.X || top != topLeft_.Y) MoveTopLeft(left, top);
    setThumbs(maxTL);
}

void TCustomGrid::UpdateScrollPos() {
    TGridDrawInfo di;
    CalcFixedInfo(di);
    setThumbs(CalcMaxTopLeft({colCount_ - 1, rowCount_ - 1}, di));
}

void TCustomGrid::setThumbs(const TGridCoord& maxTL) {
    auto thumb = [](int pos, int fixed, int max) {
        if (max <= fixed) return 0;
        return std::min(GridThumbRange, mulDiv(pos - fixed, GridThumbRange, max - fixed));
    };
    SetScrollBarPosition(false, thumb(topLeft_.X, fixedCols_, maxTL.X));
    SetScrollBarPosition(true, thumb(topLeft_.Y, fixedRows_, maxTL.Y));
}

void TCustomGrid::modifyScrollBar(bool vertical, WORD code, int pos) {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    const TGridAxisDrawInfo& a = vertical ? di.Vert : di.Horz;
    int fixed = a.FixedCellCount;
    int maxFirst = std::max(fixed, firstToShow(a, a.GridCellCount - 1));
    int page = std::max(1, a.LastFullVisibleCell - a.FirstGridCell + 1);
    int first = a.FirstGridCell;
    switch (code) {
    case SB_LINEUP:
        --first;
        break;
    case SB_LINEDOWN:
        ++first;
        break;
    case SB_PAGEUP:
        first -= page;
        break;
    case SB_PAGEDOWN:
        first += page;
        break;
    case SB_THUMBPOSITION:
        first = fixed + mulDiv(pos, maxFirst - fixed, GridThumbRange);
        break;
    case SB_THUMBTRACK:
        if (!options_.Contains(goThumbTracking)) return;
        first = fixed + mulDiv(pos, maxFirst - fixed, GridThumbRange);
        break;
    case SB_TOP:
        first = fixed;
        break;
    case SB_BOTTOM:
        first = maxFirst;
        break;
    default:
        return;
    }
    first = std::max(fixed, std::min(first, maxFirst));
    if (vertical)
        MoveTopLeft(topLeft_.X, first);
    else
        MoveTopLeft(first, topLeft_.Y);
}

void TCustomGrid::WMHScroll(TWMScroll& Message) {
    modifyScrollBar(false, Message.ScrollCode(), Message.Pos());
}

void TCustomGrid::WMVScroll(TWMScroll& Message) {
    modifyScrollBar(true, Message.ScrollCode(), Message.Pos());
}

void TCustomGrid::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_HSCROLL: {
        TWMScroll m(Message);
        WMHScroll(m);
        return;
    }
    case WM_VSCROLL: {
        TWMScroll m(Message);
        WMVScroll(m);
        return;
    }
    default:
        TCustomControl::Dispatch(Message);
    }
}

// --- editor ----------------------------------------------------------------------------------

std::string TCustomGrid::GetEditText(int, int) {
    return "";
}
void TCustomGrid::SetEditText(int, int, const std::string&) {}
std::string TCustomGrid::GetEditMask(int, int) {
    return "";
}
int TCustomGrid::GetEditLimit() {
    return 0;
}
bool TCustomGrid::CanEditModify() {
    return FCanEditModify;
}
bool TCustomGrid::CanEditAcceptKey(char32_t) {
    return true;
}
bool TCustomGrid::CanGridAcceptKey(WORD, TShiftState) {
    return true;
}

TInplaceEdit* TCustomGrid::CreateEditor() {
    return new TInplaceEdit(this);
}

bool TCustomGrid::IsActiveControl() {
    if (TCustomForm* form = GetParentForm(); form && form->ActiveControl() == this) return true;
    HWND focus = GetFocus();
    for (TWinControl* w = focus ? FindControl(focus) : nullptr; w; w = w->Parent())
        if (w == this) return true;
    return false;
}

bool TCustomGrid::CanEditShow() {
    return options_.Contains(goEditing) && !options_.Contains(goRowSelect) && editorMode_ &&
           !(ComponentState() & csDesigning) && HandleAllocated() &&
           (options_.Contains(goAlwaysShowEditor) || IsActiveControl());
}

void TCustomGrid::SetEditorMode(bool v) {
    if (!v) {
        HideEditor();
    } else {
        ShowEditor();
        if (FInplaceEdit) FInplaceEdit->Deselect();
    }
}

void TCustomGrid::ShowEditor() {
    editorMode_ = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    editorMode_ = false;
    HideEdit();
}

void TCustomGrid::ShowEditorChar(char32_t Ch) {
    ShowEditor();
    if (FInplaceEdit && FInplaceEdit->Visible()) FInplaceEdit->Perform(WM_CHAR, WPARAM(Ch));
}

void TCustomGrid::UpdateEdit() {
    auto load = [this] {
        FInplaceCol = current_.X;
        FInplaceRow = current_.Y;
        FInplaceEdit->UpdateContents();
        FCanEditModify = GetEditLimit() != -1;
        FInplaceEdit->SelectAll();
    };
    if (!CanEditShow()) return;
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
        FInplaceEdit->SetParent(this);
        load();
    } else if (current_.X != FInplaceCol || current_.Y != FInplaceRow) {
        HideEdit();
        load();
    }
    if (CanEditShow()) FInplaceEdit->Move(CellRect(current_.X, current_.Y));
}

bool TCustomGrid::EditorShowing() const {
    return FInplaceEdit && FInplaceEdit->Visible();
}

void TCustomGrid::UpdateText() {
    if (FInplaceEdit && FInplaceCol != -1 && FInplaceRow != -1)
        SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEdit() {
    if (!FInplaceEdit) return;
    struct Done {
        TCustomGrid* g;
        ~Done() {
            g->FInplaceCol = -1;
            g->FInplaceRow = -1;
            g->FInplaceEdit->Hide();
        }
    } done{this};
    UpdateText();
}

// --- row and column moving --------------------------------------------------------------------

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= colCount_ || ToIndex >= colCount_)
        invalidOp(sIndexOutOfRange);
    ColumnMoving(FromIndex, ToIndex);
    // The store moves real columns: with hidden columns between, they move along.
    rows_.MoveColumn(RealColIndex(FromIndex), RealColIndex(ToIndex));
    moveItem(colWidths_, FromIndex, ToIndex);
    moveItem(tabStops_, FromIndex, ToIndex);
    moveAdjust(current_.X, FromIndex, ToIndex);
    moveAdjust(anchor_.X, FromIndex, ToIndex);
    if (FInplaceCol >= 0) moveAdjust(FInplaceCol, FromIndex, ToIndex);
    Invalidate();
    ColumnMoved(FromIndex, ToIndex);
    if (customColWidths_) ColWidthsChanged();
    if (editorMode_) UpdateEdit();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= rowCount_ || ToIndex >= rowCount_)
        invalidOp(sIndexOutOfRange);
    RowMoving(FromIndex, ToIndex);
    rows_.Move(FromIndex, ToIndex);
    moveAdjust(current_.Y, FromIndex, ToIndex);
    moveAdjust(anchor_.Y, FromIndex, ToIndex);
    if (FInplaceRow >= 0) moveAdjust(FInplaceRow, FromIndex, ToIndex);
    Invalidate();
    RowMoved(FromIndex, ToIndex);
    if (customRowHeights_) RowHeightsChanged();
    if (editorMode_) UpdateEdit();
}

void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}

void TCustomGrid::DeleteColumn(int ACol) {
    MoveColumn(ACol, colCount_ - 1);
    // The column's cells leave the store now: growing the count again shows empty cells.
    int real = RealColIndex(colCount_ - 1);
    ColsLeaving(real, 1);
    rows_.DeleteColumn(real);
    SetColCount(colCount_ - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
    MoveRow(ARow, rowCount_ - 1);
    SetRowCount(rowCount_ - 1);
}

namespace {
// Where a row index goes when Count rows are inserted (Count > 0) at At or removed (Count < 0)
// from At; a removed row goes to At (at most Last).
int shiftRow(int r, int At, int Count, int Last) {
    if (r < At) return r;
    if (Count > 0) return r + Count;
    if (r < At - Count) return std::min(At, Last);
    return r + Count;
}
} // namespace

void TCustomGrid::InsertRows(int ARow, int Count) {
    if (ARow < 0 || ARow > rowCount_ || Count < 0) invalidOp(sIndexOutOfRange);
    if (Count == 0) return;
    rows_.Insert(ARow, Count);
    int oldRows = rowCount_;
    rowCount_ += Count;
    auto adjust = [&](int& r) { r = shiftRow(r, ARow, Count, rowCount_ - 1); };
    adjust(current_.Y);
    adjust(anchor_.Y);
    if (FInplaceRow >= 0) adjust(FInplaceRow);
    SizeChanged(colCount_, oldRows);
    UpdateScrollRange();
    Invalidate();
    if (customRowHeights_) RowHeightsChanged();
    if (editorMode_) UpdateEdit();
}

void TCustomGrid::DeleteRows(int ARow, int Count) {
    if (ARow < 0 || Count < 0 || ARow + Count > rowCount_) invalidOp(sIndexOutOfRange);
    if (Count == 0) return;
    if (Count >= rowCount_) invalidOp(sIndexOutOfRange); // a grid keeps one row
    RowsLeaving(ARow, Count);
    TakeRows(ARow, Count); // released here with their objects
}

void TCustomGrid::ExchangeRows(int A, int B) {
    if (A < 0 || B < 0 || A >= rowCount_ || B >= rowCount_) invalidOp(sIndexOutOfRange);
    if (A == B) return;
    rows_.Exchange(A, B);
    InvalidateRow(A);
    InvalidateRow(B);
    if (customRowHeights_) RowHeightsChanged();
    if (editorMode_ && (FInplaceRow == A || FInplaceRow == B)) InvalidateEditor();
}

TGridRowBlock TCustomGrid::TakeRows(int ARow, int Count) {
    if (ARow < 0 || Count < 0 || ARow + Count > rowCount_ || Count >= rowCount_)
        invalidOp(sIndexOutOfRange);
    if (Count == 0) return {};
    // An edit of a row that goes is dropped, not written back.
    if (FInplaceRow >= ARow && FInplaceRow < ARow + Count) {
        if (FInplaceEdit) FInplaceEdit->Hide();
        FInplaceCol = FInplaceRow = -1;
    }
    TGridRowBlock block = rows_.Take(ARow, Count);
    int oldRows = rowCount_;
    rowCount_ -= Count;
    if (fixedRows_ >= rowCount_) fixedRows_ = rowCount_ - 1;
    auto adjust = [&](int& r) { r = shiftRow(r, ARow, -Count, rowCount_ - 1); };
    adjust(current_.Y);
    adjust(anchor_.Y);
    adjust(topLeft_.Y);
    if (FInplaceRow >= 0) adjust(FInplaceRow);
    clampPositions();
    SizeChanged(colCount_, oldRows);
    UpdateScrollRange();
    Invalidate();
    if (customRowHeights_) RowHeightsChanged();
    if (editorMode_) UpdateEdit();
    return block;
}

TGridRowBlock TCustomGrid::TakeRowList(const std::vector<int>& Rows) {
    if (Rows.empty()) return {};
    if (Rows.front() < 0 || Rows.back() >= rowCount_ || int(Rows.size()) >= rowCount_)
        invalidOp(sIndexOutOfRange);
    // A position moves up by the rows taken above it; on a taken row it lands on the next row.
    auto adjust = [&](int& r) {
        const auto above = std::lower_bound(Rows.begin(), Rows.end(), r) - Rows.begin();
        r = std::min(r - int(above), rowCount_ - int(Rows.size()) - 1);
    };
    if (FInplaceRow >= 0 && std::binary_search(Rows.begin(), Rows.end(), FInplaceRow)) {
        if (FInplaceEdit) FInplaceEdit->Hide();
        FInplaceCol = FInplaceRow = -1;
    }
    TGridRowBlock block = rows_.TakeList(Rows);
    adjust(current_.Y);
    adjust(anchor_.Y);
    adjust(topLeft_.Y);
    if (FInplaceRow >= 0) adjust(FInplaceRow);
    int oldRows = rowCount_;
    rowCount_ -= int(Rows.size());
    if (fixedRows_ >= rowCount_) fixedRows_ = rowCount_ - 1;
    clampPositions();
    SizeChanged(colCount_, oldRows);
    UpdateScrollRange();
    Invalidate();
    if (customRowHeights_) RowHeightsChanged();
    if (editorMode_) UpdateEdit();
    return block;
}

void TCustomGrid::PutRows(int ARow, TGridRowBlock&& Block) {
    if (ARow < 0 || ARow > rowCount_) invalidOp(sIndexOutOfRange);
    int count = Block.Count();
    if (count == 0) return;
    for (int i = 0; i < count && !customRowHeights_; ++i)
        if (const TGridRow* row = Block.Row(i); row && row->Height >= 0) customRowHeights_ = true;
    rows_.Put(ARow, std::move(Block));
    int oldRows = rowCount_;
    rowCount_ += count;
    auto adjust = [&](int& r) { r = shiftRow(r, ARow, count, rowCount_ - 1); };
    adjust(current_.Y);
    adjust(anchor_.Y);
    if (FInplaceRow >= 0) adjust(FInplaceRow);
    SizeChanged(colCount_, oldRows);
    UpdateScrollRange();
    Invalidate();
    if (customRowHeights_) RowHeightsChanged();
    if (editorMode_) UpdateEdit();
}

// --- painting ----------------------------------------------------------------------------------

void TCustomGrid::Paint() {
    TCanvas* cv = Canvas();
    TGridDrawInfo di;
    CalcDrawInfo(di);
    int cw = CellAreaWidth(), ch = CellAreaHeight();
    cv->Font()->Assign(Font());
    cv->Brush()->SetStyle(bsSolid);
    cv->Brush()->SetColor(Color());

    // The gaps after each shown cell along an axis, where the grid lines go.
    auto each = [](const TGridAxisDrawInfo& a, const auto& fn) {
        int pos = 0;
        for (int i = 0; i < a.FixedCellCount; ++i) {
            pos += extentOf(a, i);
            fn(i, pos);
            pos += a.EffectiveLineWidth;
        }
        for (int i = a.FirstGridCell; i < a.GridCellCount && pos < a.GridBoundary; ++i) {
            pos += extentOf(a, i);
            fn(i, pos);
            pos += a.EffectiveLineWidth;
        }
    };
    // The background shows beyond the last cells and in the gaps no line covers; the cells
    // themselves are filled one by one when the grid draws them.
    if (!defaultDrawing_ && !CellsCoverTheirArea()) {
        cv->FillRect(LayoutToClient(Rect(0, 0, cw, ch)));
    } else {
        const int gbH = std::min(di.Horz.GridBoundary, cw),
                  gbV = std::min(di.Vert.GridBoundary, ch);
        const int fbH = std::min(di.Horz.FixedBoundary, gbH),
                  fbV = std::min(di.Vert.FixedBoundary, gbV);
        if (gbH < cw) cv->FillRect(LayoutToClient(Rect(gbH, 0, cw, ch)));
        if (gbV < ch) cv->FillRect(LayoutToClient(Rect(0, gbV, gbH, ch)));
        const bool fixedV = options_.Contains(goFixedVertLine),
                   scrollV = options_.Contains(goVertLine);
        const bool fixedH = options_.Contains(goFixedHorzLine),
                   scrollH = options_.Contains(goHorzLine);
        auto bare = [&](int l, int t, int r, int b) {
            TRect gap = Rect(l, t, std::min(r, gbH), std::min(b, gbV));
            if (gap.Left < gap.Right && gap.Top < gap.Bottom) cv->FillRect(LayoutToClient(gap));
        };
        if (int lw = di.Horz.EffectiveLineWidth; lw > 0 && !(fixedV && scrollV)) {
            each(di.Horz, [&](int i, int x) {
                if (!fixedV) bare(x, 0, x + lw, i < fixedCols_ ? gbV : fbV);
                if (i >= fixedCols_ && !scrollV) bare(x, fbV, x + lw, gbV);
            });
        }
        if (int lw = di.Vert.EffectiveLineWidth; lw > 0 && !(fixedH && scrollH)) {
            each(di.Vert, [&](int i, int y) {
                if (!fixedH) bare(0, y, i < fixedRows_ ? gbH : fbH, y + lw);
                if (i >= fixedRows_ && !scrollH) bare(fbH, y, gbH, y + lw);
            });
        }
    }

    const TGridRect sel = Selection();
    const bool active = IsActiveControl();
    const bool editing = EditorShowing();

    // Grid lines: the gaps after each shown cell, drawn as thin filled rectangles.
    auto lines = [&](bool fixedPart) {
        int lwH = di.Horz.EffectiveLineWidth, lwV = di.Vert.EffectiveLineWidth;
        bool vLines = options_.Contains(fixedPart ? goFixedVertLine : goVertLine);
        bool hLines = options_.Contains(fixedPart ? goFixedHorzLine : goHorzLine);
        cv->Brush()->SetColor(fixedPart ? clBlack : clSilver);
        if (vLines && lwH > 0) {
            each(di.Horz, [&](int i, int x) {
                bool fixedCol = i < fixedCols_;
                int y1 = fixedPart ? 0 : (fixedCol ? di.Vert.FixedBoundary : di.Vert.FixedBoundary);
                int y2 = fixedPart ? (fixedCol ? di.Vert.GridBoundary : di.Vert.FixedBoundary)
                                   : di.Vert.GridBoundary;
                if (!fixedPart && fixedCol) return;
                cv->FillRect(LayoutToClient(Rect(x, y1, x + lwH, y2)));
            });
        }
        if (hLines && lwV > 0) {
            each(di.Vert, [&](int i, int y) {
                bool fixedRow = i < fixedRows_;
                int x1 = fixedPart ? 0 : di.Horz.FixedBoundary;
                int x2 = fixedPart ? (fixedRow ? di.Horz.GridBoundary : di.Horz.FixedBoundary)
                                   : di.Horz.GridBoundary;
                if (!fixedPart && fixedRow) return;
                cv->FillRect(LayoutToClient(Rect(x1, y, x2, y + lwV)));
            });
        }
    };
    lines(false);
    lines(true);

    auto drawRange = [&](int c1, int c2, int r1, int r2, bool fixedArea) {
        int y = cellStart(di.Vert, r1);
        if (y < 0) return;
        for (int r = r1; r <= r2 && y < ch; ++r) {
            int h = extentOf(di.Vert, r);
            int x = cellStart(di.Horz, c1);
            if (x < 0) return;
            for (int c = c1; c <= c2 && x < cw; ++c) {
                int w = extentOf(di.Horz, c);
                TRect where = LayoutToClient(Rect(x, y, x + w, y + h));
                if (w > 0 && h > 0) {
                    TGridDrawState state;
                    bool fixedCell = fixedArea || c < fixedCols_ || r < fixedRows_;
                    if (fixedCell) {
                        state.Include(gdFixed);
                    } else {
                        bool current = c == current_.X && r == current_.Y;
                        if (current && active) state.Include(gdFocused);
                        if (sel.Contains(c, r)) state.Include(gdSelected);
                    }
                    if (defaultDrawing_) {
                        bool highlight =
                            state.Contains(gdSelected) &&
                            (!state.Contains(gdFocused) || options_.Contains(goDrawFocusSelected) ||
                             options_.Contains(goRowSelect));
                        cv->Font()->Assign(Font());
                        if (fixedCell)
                            cv->Brush()->SetColor(fixedColor_);
                        else if (highlight) {
                            cv->Brush()->SetColor(clHighlight);
                            cv->Font()->SetColor(clHighlightText);
                        } else
                            cv->Brush()->SetColor(Color());
                        cv->Brush()->SetStyle(bsSolid);
                        cv->FillRect(where);
                    }
                    DrawCell(c, r, where, state);
                    if (defaultDrawing_ && fixedCell && gridLineWidth_ > 0 &&
                        options_.Contains(goFixedVertLine) && options_.Contains(goFixedHorzLine)) {
                        TRect edge = where;
                        DrawEdge(cv, edge, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
                        edge = where;
                        DrawEdge(cv, edge, BDR_RAISEDINNER, BF_TOPLEFT);
                    }
                    if (defaultDrawing_ && state.Contains(gdFocused) && !editing &&
                        !options_.Contains(goRowSelect))
                        cv->DrawFocusRect(where);
                }
                x += w + di.Horz.EffectiveLineWidth;
            }
            y += h + di.Vert.EffectiveLineWidth;
        }
    };
    int lastC = std::min(colCount_ - 1, di.Horz.LastFullVisibleCell + 1);
    int lastR = std::min(rowCount_ - 1, di.Vert.LastFullVisibleCell + 1);
    if (fixedRows_ > 0 && fixedCols_ > 0) drawRange(0, fixedCols_ - 1, 0, fixedRows_ - 1, true);
    if (fixedRows_ > 0) drawRange(topLeft_.X, lastC, 0, fixedRows_ - 1, true);
    if (fixedCols_ > 0) drawRange(0, fixedCols_ - 1, topLeft_.Y, lastR, true);
    drawRange(topLeft_.X, lastC, topLeft_.Y, lastR, false);

    if (defaultDrawing_ && active && !editing && options_.Contains(goRowSelect)) {
        TRect focus = BoxRect(std::max(topLeft_.X, sel.Left), sel.Top, std::min(lastC, sel.Right),
                              sel.Bottom);
        if (!focus.IsEmpty()) cv->DrawFocusRect(focus);
    }
    PaintScrollBars(cv);
}

// --- scroll bars -------------------------------------------------------------------------------

TRect TCustomGrid::scrollBarRect(bool vertical) const {
    int w = ClientWidth(), h = ClientHeight();
    const int left = cellAreaLeft();
    if (vertical)
        return vScroll_.Visible ? left > 0 ? Rect(0, 0, left, CellAreaHeight())
                                           : Rect(w - SystemScrollBarSize, 0, w, CellAreaHeight())
                                : TRect{};
    return hScroll_.Visible ? Rect(left, h - SystemScrollBarSize, left + CellAreaWidth(), h)
                            : TRect{};
}

namespace {
// Positions a thumb can take: Min..Max, or Min..Max - Page + 1 with a page.
int thumbSpan(const TGridScrollBar& sb) {
    return std::max(0, (sb.Page > 0 ? sb.Max - sb.Page + 1 : sb.Max) - sb.Min);
}
} // namespace

// A fixed-size thumb without a page; with one, the page's share of the track.
int TCustomGrid::thumbLength(bool vertical) const {
    const TGridScrollBar& sb = vertical ? vScroll_ : hScroll_;
    TRect bar = scrollBarRect(vertical);
    int room = (vertical ? bar.Height() : bar.Width()) - 2 * SystemScrollBarSize;
    if (sb.Page <= 0) return SystemScrollBarSize;
    int len = mulDiv(room, sb.Page, sb.Max - sb.Min + 1);
    return std::clamp(len, std::min(SystemScrollBarSize / 2, room), std::max(room, 0));
}

int TCustomGrid::thumbPosAt(bool vertical, int at) const {
    const TGridScrollBar& sb = vertical ? vScroll_ : hScroll_;
    TRect bar = scrollBarRect(vertical);
    int track =
        (vertical ? bar.Height() : bar.Width()) - 2 * SystemScrollBarSize - thumbLength(vertical);
    int span = thumbSpan(sb);
    if (track <= 0) return sb.Min;
    return sb.Min + std::clamp(mulDiv(at, span, track), 0, span);
}

TRect TCustomGrid::thumbRect(bool vertical) const {
    TRect bar = scrollBarRect(vertical);
    if (bar.IsEmpty()) return {};
    const TGridScrollBar& sb = vertical ? vScroll_ : hScroll_;
    int len = vertical ? bar.Height() : bar.Width();
    int thumb = thumbLength(vertical);
    int track = len - 2 * SystemScrollBarSize - thumb; // room left by the two arrows and the thumb
    if (track < 0) return {};
    int span = thumbSpan(sb);
    int at = (vertical ? bar.Top : bar.Left) + SystemScrollBarSize +
             (span > 0 ? mulDiv(sb.Position - sb.Min, track, span) : 0);
    return vertical ? Rect(bar.Left, at, bar.Right, at + thumb)
                    : Rect(at, bar.Top, at + thumb, bar.Bottom);
}

int TCustomGrid::scrollBarPart(bool vertical, TPoint p) const {
    TRect bar = scrollBarRect(vertical);
    if (!bar.Contains(p)) return 0;
    int pos = vertical ? p.Y - bar.Top : p.X - bar.Left;
    int len = vertical ? bar.Height() : bar.Width();
    if (pos < SystemScrollBarSize) return 1;
    if (pos >= len - SystemScrollBarSize) return 5;
    TRect thumb = thumbRect(vertical);
    if (thumb.IsEmpty()) return 0;
    if (thumb.Contains(p)) return 3;
    int thumbStart = vertical ? thumb.Top : thumb.Left;
    return (vertical ? p.Y : p.X) < thumbStart ? 2 : 4;
}

void TCustomGrid::PaintScrollBars(TCanvas* cv) {
    for (bool vertical : {false, true}) {
        TRect bar = scrollBarRect(vertical);
        if (bar.IsEmpty()) continue;
        TRect back = vertical ? Rect(bar.Left, bar.Top, bar.Right, bar.Top + SystemScrollBarSize)
                              : Rect(bar.Left, bar.Top, bar.Left + SystemScrollBarSize, bar.Bottom);
        TRect fwd = vertical
                        ? Rect(bar.Left, bar.Bottom - SystemScrollBarSize, bar.Right, bar.Bottom)
                        : Rect(bar.Right - SystemScrollBarSize, bar.Top, bar.Right, bar.Bottom);
        // A disabled bar shows inactive arrows and no thumb.
        bool enabled = (vertical ? vScroll_ : hScroll_).Enabled;
        unsigned inactive = enabled ? 0 : DFCS_INACTIVE;
        TRect thumb = enabled ? thumbRect(vertical) : TRect{};
        // The track between the arrow buttons and around the thumb; the buttons and the thumb
        // paint their own areas.
        cv->Brush()->SetStyle(bsSolid);
        cv->Brush()->SetColor(clScrollBar);
        auto track = [&](int from, int to) {
            if (from < to)
                cv->FillRect(vertical ? Rect(bar.Left, from, bar.Right, to)
                                      : Rect(from, bar.Top, to, bar.Bottom));
        };
        int trackStart = vertical ? back.Bottom : back.Right;
        int trackEnd = vertical ? fwd.Top : fwd.Left;
        if (thumb.IsEmpty()) {
            track(trackStart, trackEnd);
        } else {
            track(trackStart, vertical ? thumb.Top : thumb.Left);
            track(vertical ? thumb.Bottom : thumb.Right, trackEnd);
        }
        DrawFrameControl(cv, back, DFC_SCROLL,
                         (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
        DrawFrameControl(cv, fwd, DFC_SCROLL,
                         (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
        if (!thumb.IsEmpty()) {
            cv->Brush()->SetColor(clBtnFace);
            cv->FillRect(thumb);
            DrawEdge(cv, thumb, EDGE_RAISED, BF_RECT);
        }
    }
    if (hScroll_.Visible && vScroll_.Visible) {
        cv->Brush()->SetColor(clBtnFace);
        const int x = cellAreaLeft() > 0 ? 0 : CellAreaWidth();
        cv->FillRect(Rect(x, CellAreaHeight(), x + SystemScrollBarSize, ClientHeight()));
    }
}

void TCustomGrid::sendScroll(bool vertical, WORD code, int pos) {
    Perform(vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), 0);
}

// --- TDrawGrid ---------------------------------------------------------------------------------

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

void TDrawGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TDrawGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex) {
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

std::string TDrawGrid::GetEditText(int ACol, int ARow) {
    std::string v;
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, v);
    return v;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

std::string TDrawGrid::GetEditMask(int ACol, int ARow) {
    std::string v;
    if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, v);
    return v;
}

// --- TStringGrid -------------------------------------------------------------------------------

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

TStringGrid::~TStringGrid() = default;

const std::string& TStringGrid::Cells(int ACol, int ARow) const {
    static const std::string empty;
    if (ARow < 0 || ARow >= RowCount()) return empty;
    const TGridRow* row = RowStore().Get(ARow);
    const TGridCell* cell = row ? row->Cell(ACol) : nullptr;
    return cell ? cell->Text : empty;
}

TGridCell& TStringGrid::cellFor(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || ARow >= RowCount()) invalidOp(sIndexOutOfRange);
    return RowStore().Need(ARow).NeedCell(ACol, TotalColCount());
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
    if (Value.empty() && Cells(ACol, ARow).empty()) {
        if (ACol < 0 || ARow < 0 || ARow >= RowCount()) invalidOp(sIndexOutOfRange);
        return;
    }
    // Value may be a cell of this grid: the row's cells may move while the cell is made.
    if (ARow < RowCount() && ARow >= 0) {
        const TGridRow* row = RowStore().Get(ARow);
        if (row && row->Cell(ACol)) {
            cellFor(ACol, ARow).Text = Value;
            cellChanged(ACol, ARow);
            return;
        }
    }
    std::string copy = Value;
    cellFor(ACol, ARow).Text = std::move(copy);
    cellChanged(ACol, ARow);
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
    if (ARow < 0 || ARow >= RowCount()) return nullptr;
    const TGridRow* row = RowStore().Get(ARow);
    const TGridCell* cell = row ? row->Cell(ACol) : nullptr;
    return cell ? cell->Object : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    if (!Value && !Objects(ACol, ARow)) {
        if (ACol < 0 || ARow < 0 || ARow >= RowCount()) invalidOp(sIndexOutOfRange);
        return;
    }
    cellFor(ACol, ARow).Object = Value;
}

void TStringGrid::cellChanged(int ACol, int ARow) {
    // The store counts real columns, the screen display columns.
    int displ = DisplColIndex(ACol);
    InvalidateCell(displ, ARow);
    // A cell written while its editor is open shows the new text in the editor.
    if (editUpdate_ == 0 && displ == FInplaceCol && ARow == FInplaceRow) InvalidateEditor();
}

std::string TStringGrid::GetEditText(int ACol, int ARow) {
    std::string v = Cells(RealColIndex(ACol), ARow);
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, v);
    return v;
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    ++editUpdate_;
    try {
        int real = RealColIndex(ACol);
        if (Value != Cells(real, ARow)) SetCells(real, ARow, Value);
    } catch (...) {
        --editUpdate_;
        throw;
    }
    --editUpdate_;
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (DefaultDrawing())
        Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(RealColIndex(ACol), ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}
