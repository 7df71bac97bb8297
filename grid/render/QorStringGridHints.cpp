// String grid pointer movement: hover, sizing feedback and cursors, header drag-select, links,
// and the cell hints.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/HTMLHintWindow.h"
#include "grid/render/LookSettings.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/core/ToolTips.h"

#include <algorithm>
#include <string>

std::string& TQorStringGrid::HintFontName() {
    static std::string name;
    return name;
}

void TQorStringGrid::SetUseHTMLHints(bool v) {
    FUseHTMLHints = v;
    if (!Application) return;
    if (v)
        Application->HintWindowClass = [](TComponent* Owner) -> THintWindow* {
            return new THTMLHintWindow(Owner);
        };
    else
        Application->HintWindowClass = nullptr;
}

void TQorStringGrid::ResetFixedCellHighlight() {
    FSizeFixed = FSizeFixedR = FNoMouseLeave = false;
    if (FHoverFixedCells != hfNone && FHoverFixedX >= 0) SetHoverFixedCell(-1, -1);
}

void TQorStringGrid::startSizingHint(const std::string& Text, TPoint At) {
    if (!FScrollHintWnd) FScrollHintWnd = new THTMLHintWindow(this);
    FScrollHintWnd->SetColor(FHintColor);
    TRect r = FScrollHintWnd->CalcHintRect(200, Text);
    const TPoint p = ClientToScreen(At);
    OffsetRect(r, p.X, p.Y);
    FScrollHintWnd->ActivateHint(r, Text);
    FScrollHintShow = true;
}

// --- the cell scroll bar -------------------------------------------------------------------------
bool TQorStringGrid::cellScrollBarShown(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || !HasScrollBar(ACol, ARow)) return false;
    const TScrollProp p = GetScrollProp(ACol, ARow);
    return p.PageSize < p.Range;
}

void TQorStringGrid::placeCellScrollBar(int ACol, int ARow) {
    if (!cellScrollBarShown(ACol, ARow)) {
        if (FScrollBar) FScrollBar->SetVisible(false);
        return;
    }
    if (!FScrollBar) {
        FScrollBar = new TScrollBar(this);
        FScrollBar->SetKind(sbVertical);
        FScrollBar->SetVisible(false);
        FScrollBar->SetParent(this);
    }
    if (FScrollBar->Visible() && FScrollCol == ACol && FScrollRow == ARow) return;
    FScrollCol = ACol;
    FScrollRow = ARow;
    const TRect r = CellRect(DisplColIndex(ACol), ARow);
    const int lw = GridLineWidth();
    FScrollBar->SetBounds(r.Right - 17 - lw, r.Top + lw, 17, r.Height() - 2 * lw);
    const TScrollProp p = GetScrollProp(ACol, ARow);
    FScrollBar->SetPageSize(0);
    FScrollBar->SetParams(GetScrollPosition(ACol, ARow), 0, p.Range);
    FScrollBar->SetPageSize(p.PageSize);
    FScrollBar->SetVisible(true);
}

void TQorStringGrid::MouseMove(TShiftState Shift, int X, int Y) {
    const TGridRect entrySel = Selection();
    if (FMouseDownMove && FMouseActions->RangeSelectAndEdit() && Options().Contains(goEditing) &&
        !EditorMode()) {
        TGridOptions o = Options();
        o.Exclude(goEditing);
        SetOptions(o);
    }
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const bool valid = ACol >= 0 && ARow >= 0;
    if (valid && !Designing() && HoverRow() && ARow != FHoverRowIdx) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = ARow;
        InvalidateRow(ARow);
        if (old >= 0 && old < RowCount()) InvalidateRow(old);
    }
    if (FHoverFixedCells != hfNone && !FNoMouseLeave) {
        if (valid && IsHoverFixedCell(ACol, ARow))
            SetHoverFixedCell(ACol, ARow);
        else
            SetHoverFixedCell(-1, -1);
    }
    // The list-view look lights the header cell under the pointer.
    if (FLook == glListView && valid && !Designing() &&
        (ACol != FHotFixedCell.X || ARow != FHotFixedCell.Y)) {
        const TPoint old = FHotFixedCell;
        FHotFixedCell = {ACol, ARow};
        if (old.X >= 0 && old.X < ColCount() && old.Y < RowCount() && isFixedCell(old.X, old.Y))
            RepaintCell(old.X, old.Y);
        if (isFixedCell(ACol, ARow)) RepaintCell(ACol, ARow);
    }
    if (!Designing()) placeCellScrollBar(valid ? RealColIndex(ACol) : -1, ARow);
    // A cell or expand button under the pointer looks hot.
    TPoint hoverButton{-1, -1};
    if (valid && !Designing()) {
        const int rc = RealColIndex(ACol);
        if ((HasButton(rc, ARow) && GetCellGraphicRect(ACol, ARow).Contains({X, Y})) ||
            (HasExpand(rc, ARow) && GetExpandButtonRect(rc, ARow).Contains({X, Y})))
            hoverButton = {ACol, ARow};
    }
    if (hoverButton.X != FHoverButton.X || hoverButton.Y != FHoverButton.Y) {
        if (FHoverButton.X >= 0) RepaintCell(FHoverButton.X, FHoverButton.Y);
        FHoverButton = hoverButton;
        if (FHoverButton.X >= 0) RepaintCell(FHoverButton.X, FHoverButton.Y);
    }

    // Header drag-select started by a press in a fixed row or column.
    bool scrolledUp = false;
    if (FMouseSelectStart != -1 && FMouseSelectMode == msRow && FMouseActions->RowSelect()) {
        if (valid && ARow >= FixedRows() && ARow <= RowCount() - FFixedFooters) {
            const int to = std::max(FixedRows(), ARow);
            SetSelection({FixedCols(), std::min(FMouseSelectStart, to), ColCount() - 1,
                          std::max(FMouseSelectStart, to)});
        }
        // Dragged to the bottom edge or into the header rows, the rows scroll towards it.
        if (Y > Height() - 4 && TopRow() + VisibleRowCount() < RowCount()) {
            SetTopRow(TopRow() + 1);
        } else if (FixedRows() > 0 && Y < RowHeights(0) && TopRow() > FixedRows()) {
            SetTopRow(TopRow() - 1);
            scrolledUp = true;
        }
    } else if (FMouseSelectStart != -1 && valid) {
        if (FMouseSelectMode == msColumn && FMouseActions->ColSelect()) {
            const int to = std::max(FixedCols(), ACol);
            SetSelection({std::min(FMouseSelectStart, to), FixedRows(),
                          std::max(FMouseSelectStart, to), RowCount() - 1});
        }
    }

    // Fixed-cell sizing edges: within 3 pixels of a fixed column's right edge.
    FSizeFixed = false;
    if (valid && FMouseActions->SizeFixedCol()) {
        int edge = 0;
        for (int i = 0; i < FixedCols(); ++i) {
            edge += ColWidths(i) + (i > 0 ? 1 : 0);
            if (std::abs(edge - X) < 3) FSizeFixed = true;
        }
    }
    if (FSizingFixed) {
        DrawColumnSizingLine(FSizeFixedX);
        DrawColumnSizingLine(X);
        FSizeFixedX = X;
    }
    FSizeFixedR = false;
    if (valid && FMouseActions->SizeFixedRow()) {
        int edge = 0;
        for (int i = 0; i < FixedRows(); ++i) {
            edge += RowHeights(i) + (i > 0 ? 1 : 0);
            if (std::abs(edge - Y) < 3) FSizeFixedR = true;
        }
    }
    if (FSizingFixedR) {
        DrawRowSizingLine(FSizeFixedY);
        DrawRowSizingLine(Y);
        FSizeFixedY = Y;
    }
    // A press on the selection of a drag source starts an OLE drag once the pointer moves;
    // the drag runs to its end here.
    if (valid && !Designing() && oleDragStartMove(ACol, ARow, X, Y)) return;
    if (!Designing()) {
        if (FGridState == gsColSizing) ColSized = true;
        if (FGridState == gsRowSizing) Rowsized = true;
        if ((FGridState == gsColMoving || FGridState == gsRowMoving) && RowCount() > 1 &&
            FFlags.EnhRowColMove && FMoveButton && !FSizingFixed && !FSizingFixedR &&
            (X != FMovePress.X || Y != FMovePress.Y))
            moveDragFeedback(X, Y);
    }

    // What lies under the pointer: the select mode and the cursor.
    TCursor special = crDefault;
    bool hasSpecial = false;
    FMouseSelectMode = msNormal;
    if (FSelectionResizer && FSelectionRectangle && onResizer(X, Y)) FMouseSelectMode = msResize;
    if (valid) {
        const bool onBorder = IsOnSizingBorder(X, Y);
        if (ARow < FixedRows() && ACol < FixedCols() && FMouseActions->AllSelect()) {
            FMouseSelectMode = msAll;
        } else if (ARow < FixedRows() && ACol >= FixedCols() && FMouseActions->ColSelect() &&
                   !onBorder) {
            FMouseSelectMode = msColumn;
        }
        // A footer row is not selected; a drag-select that scrolled up keeps selecting rows.
        const int lastRow = RowCount() - (FFloatingFooter->ShowsLastRow() ? 2 : 1);
        if (ACol < FixedCols() && (ARow >= FixedRows() || scrolledUp) && ARow <= lastRow &&
            FMouseActions->RowSelect() && !onBorder)
            FMouseSelectMode = msRow;
    }
    if (FMouseSelectMode != msNormal) {
        special = SelectModeCursor(FMouseSelectMode);
        hasSpecial = true;
    } else if (FCellSelectorMode) {
        special = CellSelectorCursor;
        hasSpecial = true;
    }
    if (valid) {
        TGridDrawInfo di;
        CalcDrawInfo(di);
        TGridState sizing = gsNormal;
        int index = -1, pos = 0, ofs = 0;
        // The platform's test alone: the sizing vetoes belong to a press, not to a move.
        TBaseGrid::CalcSizingState(X, Y, sizing, index, pos, ofs, di);
        if (FSizeFixed || FSizingFixed || sizing == gsColSizing || FGridState == gsColSizing) {
            special = crHSplit;
            hasSpecial = true;
        } else if (FSizeFixedR || FSizingFixedR || sizing == gsRowSizing ||
                   FGridState == gsRowSizing) {
            special = crVSplit;
            hasSpecial = true;
        }

        const int realCol = RealColIndex(ACol);
        const std::string text = Cells(realCol, ARow);
        const bool markup = GetCellTextKind(text, FEnableHTML) == 1;
        int link = -1;
        const std::string anchor = markup ? hitAnchor(ACol, ARow, X, Y, nullptr, &link) : "";
        if (FURLUnderlineOnHover) hoverLink(markup ? TPoint{ACol, ARow} : TPoint{-1, -1}, link);
        if (FURLShow && !markup && IsURL(text)) {
            special = crHandPoint;
            hasSpecial = true;
        } else if (markup) {
            if (!anchor.empty()) {
                special = crHandPoint;
                hasSpecial = true;
                if (anchor != FAnchor) {
                    if (OnAnchorEnter) OnAnchorEnter(this, ARow, ACol, anchor);
                    FAnchor = anchor;
                }
            } else if (!FAnchor.empty()) {
                if (OnAnchorExit) OnAnchorExit(this, ARow, ACol, "");
                FAnchor.clear();
            }
        }
    }
    if (hasSpecial && special != crDefault && Cursor() != special) {
        Invokedchange = true;
        TBaseGrid::SetCursor(special);
    } else if (!hasSpecial || special == crDefault) {
        if (Cursor() != FOldCursor) {
            Invokedchange = true;
            TBaseGrid::SetCursor(FOldCursor);
        }
    }

    // A cell hint follows its cell: another cell cancels it.
    if (FLastHintPos.X >= 0) {
        const TPoint base = valid ? BaseCell(ACol, ARow) : TPoint{-1, -1};
        if (base.X != FLastHintPos.X || base.Y != FLastHintPos.Y) {
            Application->CancelHint();
            FLastHintPos = {-1, -1};
        }
    }
    // So does a balloon.
    if (FLastBalloonPos.X >= 0 && FBalloon->Enable()) {
        const TPoint base = valid ? BaseCell(ACol, ARow) : TPoint{-1, -1};
        if (base.X != FLastBalloonPos.X || base.Y != FLastBalloonPos.Y) {
            if (FBalloonWindow) FBalloonWindow->Perform(TTM_POP);
            FLastBalloonPos = {-1, -1};
        }
    }

    TBaseGrid::MouseMove(Shift, X, Y);
    // The columns stay still while the button is held.
    if (FNavigation->KeepHorizScroll() && FMouseKeepDown && FGridState != gsColMoving &&
        LeftCol() != FOldKeepLeftCol) {
        StartUpdate();
        SetLeftCol(FOldKeepLeftCol);
        ResetUpdate();
    }

    // Sizing events and the sizing hint.
    if (FGridState == gsColSizing || FSizingFixed) {
        int col = 0, size = FSizeFixedX;
        if (!FSizingFixed) {
            col = Colclicked;
            const int c = col >= 0 ? col : ColCount() - 1;
            size = X - CellRect(c, 0).Left - Clickposdx;
        }
        if (OnColumnSizing) OnColumnSizing(this, col, size);
        if (Designing() || FHintShowSizing)
            startSizingHint("cw=<b>" + std::to_string(size) + "</b>",
                            CellRect(FSizingFixed ? 0 : std::max(0, col), 0).TopLeft());
    } else if (FGridState == gsRowSizing || FSizingFixedR) {
        int row = 0, size = FSizeFixedY;
        if (!FSizingFixedR) {
            row = Rowclicked;
            const int r = row >= 0 ? row : RowCount() - 1;
            size = Y - CellRect(0, r).Top - Clickposdy;
        }
        if (OnRowSizing) OnRowSizing(this, row, size);
        if (Designing() || FHintShowSizing)
            startSizingHint("rh=<b>" + std::to_string(size) + "</b>",
                            CellRect(0, FSizingFixedR ? 0 : std::max(0, row)).TopLeft());
    }
    const TGridRect sel = Selection();
    if (!(sel == entrySel)) SelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
}

void TQorStringGrid::hoverLink(TPoint Cell, int Link) {
    if (Cell.X == FHoverCell.X && Cell.Y == FHoverCell.Y && Link == FHoverlink) return;
    if (FHoverCell.X >= 0) RepaintCell(FHoverCell.X, FHoverCell.Y);
    FHoverCell = Link >= 0 ? Cell : TPoint{-1, -1};
    FHoverlink = Link >= 0 ? Link : -1;
    if (FHoverCell.X >= 0) RepaintCell(FHoverCell.X, FHoverCell.Y);
}

TCursor TQorStringGrid::SelectModeCursor(TMouseSelectMode Mode) {
    switch (Mode) {
    case msColumn:
        return ColumnSelectCursor;
    case msRow:
        return RowSelectCursor;
    case msAll:
    case msResize:
        return AllSelectCursor;
    default:
        return crDefault;
    }
}

void TQorStringGrid::CMMouseLeave(TMessage& Message) {
    TBaseGrid::CMMouseLeave(Message);
    FMouseSelectMode = msNormal;
    FSizeFixed = FSizeFixedR = false;
    if (!FNoMouseLeave && FHoverFixedCells != hfNone && FHoverFixedX >= 0)
        SetHoverFixedCell(-1, -1);
    if (FLook == glListView && FHotFixedCell.X >= 0 && FHotFixedCell.X < ColCount() &&
        FHotFixedCell.Y < RowCount() && isFixedCell(FHotFixedCell.X, FHotFixedCell.Y))
        RepaintCell(FHotFixedCell.X, FHotFixedCell.Y);
    FHotFixedCell = {-1, -1};
    if (FHoverButton.X >= 0) {
        RepaintCell(FHoverButton.X, FHoverButton.Y);
        FHoverButton = {-1, -1};
    }
    hoverLink({-1, -1}, -1);
    if (HoverRow() && FHoverRowIdx >= 0) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = -1;
        if (old < RowCount()) InvalidateRow(old);
    }
}

void TQorStringGrid::CMHintShow(TMessage& Message) {
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    if (info) ShowCellHint(info->HintStr, *info);
    Message.Result = 0;
}

void TQorStringGrid::ShowCellHint(std::string& HintStr, THintInfo& HintInfo) {
    const TPoint cursor = HintInfo.CursorPos;
    int ACol = -1, ARow = -1;
    MouseToCell(cursor.X, cursor.Y, ACol, ARow);
    if (FControlLook->HintMaxWidth() > 0) HintInfo.HintMaxWidth = FControlLook->HintMaxWidth();
    HintFontName() = Font()->Name();
    TPoint pos = {cursor.X, cursor.Y + 20};
    if (ACol >= 0 && ARow >= 0) {
        const TPoint base = BaseCell(ACol, ARow);
        ACol = base.X;
        ARow = base.Y;
        FLastHintPos = base;
        const TRect rect = CellRect(ACol, ARow);
        const int realCol = RealColIndex(ACol);
        std::string comment;
        if (IsComment(realCol, ARow, comment)) {
            HintStr = comment;
            pos = {rect.Right, rect.Top};
        } else {
            pos = {cursor.X, rect.Bottom + 6};
        }
        const std::string text = Cells(realCol, ARow);
        const int kind = GetCellTextKind(text, FEnableHTML);
        if (kind == 1 && FAnchorHint) {
            std::string title;
            if (const std::string href = hitAnchor(ACol, ARow, cursor.X, cursor.Y, &title);
                !href.empty()) {
                std::string t = title.empty() ? href : title;
                if (OnAnchorHint) OnAnchorHint(this, ARow, realCol, t);
                FLastAnchorHint = t;
                HintStr = t;
                pos = {cursor.X + 8, cursor.Y - 16};
            }
        }
        const bool normal = !isFixedCell(ACol, ARow) && ACol < ColCount() - FFixedRightCols &&
                            ARow < RowCount() - FFixedFooters;
        if (FHintShowCells && normal) {
            pos.Y = rect.Top;
            if (kind == 5)
                HintStr = WideToUtf8(DecodePackedWideText(text));
            else if (FHTMLHint)
                HintStr = text;
            else
                HintStr = StrippedCells(realCol, ARow);
        }
        if (FHintShowLargeText && normal) {
            const TSize s = GetCellTextSize(realCol, ARow, false, false);
            if (s.cx > rect.Width() || s.cy > rect.Height()) {
                if (FHintShowLargeTextPos == hpCell) pos = rect.TopLeft();
                HintStr = kind == 5 || FHTMLHint || kind != 1 ? text : StrippedCells(realCol, ARow);
            }
        }
        const bool footerRow = FFloatingFooter->Visible() && ARow == RowCount() - 1;
        if (!footerRow) {
            std::u16string wide;
            GridHint(ACol, ARow, HintStr, wide);
        }
        if ((GetCellTextKind(HintStr, FEnableHTML) == 1 || HintStr.rfind("|\\", 0) == 0) &&
            FFlags.UseInternalHintClass) {
            HintInfo.HintWindowClass = [](TComponent* owner) -> THintWindow* {
                return new THTMLHintWindow(owner);
            };
            HintInfo.HintData = this;
        }
        HintInfo.HintPos = ClientToScreen(pos);
    }
    HintInfo.HintColor = FHintColor;
}
