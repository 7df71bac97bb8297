// String grid mouse buttons: the left press and release, the double click, the right press.
#include "grid/core/GridUtils.h"
#include "grid/core/MarkupRender.h"
#include "grid/core/QorStringGrid.h"

#include "platform/process/Process.h"

#include <algorithm>
#include <string>

namespace {

bool keyDown(int vk) {
    return GetKeyState(vk) < 0;
}

// Press modifiers as the events of a press see them: one flag at most, Alt winning.
TShiftState pressShift(WPARAM keys) {
    TShiftState s;
    if ((keys & MK_CONTROL) || keyDown(VK_CONTROL)) s = {ssCtrl};
    if ((keys & MK_SHIFT) || keyDown(VK_SHIFT)) s = {ssShift};
    if (keyDown(VK_MENU)) s = {ssAlt};
    return s;
}

// Only web and mail links are handed to the desktop; other schemes could start programs.
bool isOpenableLink(const std::string& anchor) {
    const std::string u = UpperCase(anchor);
    return u.rfind("HTTP://", 0) == 0 || u.rfind("HTTPS://", 0) == 0 || u.rfind("MAILTO:", 0) == 0;
}

} // namespace

bool TQorStringGrid::IsHoverFixedCell(int ACol, int ARow) {
    switch (FHoverFixedCells) {
    case hfNone:
        return false;
    case hfAll:
        return ACol < FixedCols() || ARow < FixedRows();
    case hfFixedColumns:
        return ACol < FixedCols();
    case hfFixedRows:
        return ARow < FixedRows();
    }
    return false;
}

void TQorStringGrid::Click() {
    TBaseGrid::Click();
    StoreOldCell(Col(), Row());
}

void TQorStringGrid::WMLButtonDown(TWMMouse& Message) {
    const int X = Message.XPos(), Y = Message.YPos();
    FDoOnClick = FMouseDownMove = FMouseKeepDown = true;
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const TGridRect prevSel = Selection();
    FPressSelection = prevSel;
    FPressSelValid = true;
    const int pressCol = ACol, pressRow = ARow;

    if (Options().Contains(goEditing) && FMouseActions->RangeSelectAndEdit() &&
        !prevSel.Contains(ACol, ARow)) {
        TGridOptions o = Options();
        o.Exclude(goEditing);
        SetOptions(o);
    }
    bool allow = true;
    if (OnCanClickCell) OnCanClickCell(this, ARow, ACol, allow);
    if (!allow) return;

    const TShiftState shift = pressShift(Message.Keys());
    if (FMouseActions->DisjunctCellSelect() && !shift.Contains(ssCtrl) && !FSelectedCells.empty() &&
        ACol >= 0 && ARow >= 0 && !isFixedCell(ACol, ARow)) {
        FSelectedCells.clear();
        Invalidate();
    }
    FOldKeepLeftCol = LeftCol();

    if (ARow != 0 && ACol != 0)
        MouseToCell(X - 5, Y - 4, Colclicked, Rowclicked);
    else if (ACol == 0 && ARow != 0)
        MouseToCell(X, Y - 4, Colclicked, Rowclicked);
    else
        MouseToCell(X - 5, Y, Colclicked, Rowclicked);
    if (Colclicked >= 0 && Rowclicked >= 0) {
        Colclickedsize = ColWidths(Colclicked);
        Rowclickedsize = RowHeights(Rowclicked);
    }
    Clickposx = X;
    Clickposy = Y;

    if (ACol < 0 || ARow < 0) {
        HideInplaceEdit();
        if (!FFixedRowAlways) TBaseGrid::WMLButtonDown(Message);
        return;
    }
    const bool fixedHit = ACol < FixedCols() || ARow < FixedRows();
    const TPoint base = BaseCell(ACol, ARow);
    ACol = base.X;
    ARow = base.Y;
    const TRect cellRect = CellRect(ACol, ARow);

    if (FSizeFixed && FixedCols() > 0 && !Designing()) {
        FSizingFixed = true;
        FSizeFixedX = X;
        DrawColumnSizingLine(X);
        int edge = 0;
        for (int i = 0; i < FixedCols(); ++i) {
            edge += ColWidths(i) + (i > 0 ? 1 : 0);
            if (std::abs(edge - X) < 3) FSizingFixedCol = i;
        }
        return;
    }
    if (FSizeFixedR && FixedRows() > 0 && !Designing()) {
        FSizingFixedR = true;
        FSizeFixedY = Y;
        DrawRowSizingLine(Y);
        int edge = 0;
        for (int i = 0; i < FixedRows(); ++i) {
            edge += RowHeights(i) + (i > 0 ? 1 : 0);
            if (std::abs(edge - Y) < 3) FSizingFixedRow = i;
        }
        return;
    }
    if (fixedHit || isFixedCell(ACol, ARow)) HideInplaceEdit();
    const bool declaredFixed = !fixedHit && isFixedCell(ACol, ARow);
    const int realCol = RealColIndex(ACol);
    if (!Designing() && oleDragStartPress(ACol, ARow, X, Y, pressShift(Message.Keys()))) return;

    if (ACol >= ColCount() || ARow >= RowCount()) {
        TBaseGrid::WMLButtonDown(Message);
        return;
    }
    if (Colclicked >= 0 && Rowclicked >= 0) {
        const TRect r = CellRect(Colclicked, Rowclicked);
        Clickposdx = Clickposx - r.Right;
        Clickposdy = Clickposy - r.Bottom;
    } else {
        Clickposdx = Clickposx;
        Clickposdy = Clickposy;
    }

    // Disjunct row and column selection: a press on a selected one may deselect it on release.
    if (FMouseActions->DisjunctRowSelect() && ARow >= FixedRows() &&
        (ACol != 0 || !FMouseActions->HotmailRowSelect())) {
        if (shift.Contains(ssShift)) {
            TBaseGrid::WMLButtonDown(Message);
            SetSelection({std::min(ACol, prevSel.Left), std::min(ARow, prevSel.Top),
                          std::max(ACol, prevSel.Left), std::max(ARow, prevSel.Top)});
            return;
        }
        if (shift.Contains(ssCtrl) || FMouseActions->DisjunctRowSelectNoCtrl()) {
            FDeselectState = displayRowSelected(ARow);
        } else {
            FMouseDown = true;
            if (!shift.Contains(ssAlt)) ClearRowSelect();
        }
    }
    if (FMouseActions->DisjunctColSelect() && ACol >= FixedCols()) {
        if (shift.Contains(ssCtrl)) {
            FDeselectState = ColSelect(ACol);
        } else {
            FMouseDown = true;
            ClearColSelect();
        }
    }

    // Links: a URL text or a markup anchor under the pointer.
    const std::string text = Cells(realCol, ARow);
    const bool markup = GetCellTextKind(text, FEnableHTML) == 1;
    if (FURLShow || markup) {
        std::string anchor;
        if (!markup) {
            if (IsURL(text)) anchor = text;
        } else {
            anchor = hitAnchor(ACol, ARow, X, Y);
        }
        if (!anchor.empty()) {
            bool autoHandle = true;
            if (OnAnchorClick) OnAnchorClick(this, ARow, ACol, anchor, autoHandle);
            if (autoHandle) {
                if (UpperCase(anchor).find("CELL://") != std::string::npos) {
                    TPoint cell;
                    if (ParseCellReference(anchor.substr(std::min<std::size_t>(7, anchor.size())),
                                           cell) &&
                        cell.X >= 0 && cell.X < ColCount() && cell.Y >= 0 && cell.Y < RowCount()) {
                        SetRow(cell.Y);
                        SetCol(cell.X);
                    }
                } else if (isOpenableLink(anchor)) {
                    ShellOpen(anchor);
                }
            }
            return;
        }
    }

    Movecell = -1;
    const bool rangeSelect = Options().Contains(goRangeSelect);
    if (ACol < FixedCols() && ARow < FixedRows() && FMouseActions->AllSelect() && rangeSelect &&
        FMouseSelectMode == msAll) {
        if (CanFocus()) SetFocus();
        SetSelection({FixedCols(), FixedRows(), ColCount() - 1, RowCount() - 1});
    } else if (ACol < FixedCols() && ARow >= FixedRows() && FMouseActions->RowSelect() &&
               FMouseSelectMode == msRow) {
        if (FMouseActions->DisjunctCellSelect()) FSelectedCells.clear();
        const int from = shift.Contains(ssShift) ? prevSel.Top : ARow;
        SetSelection({FixedCols(), std::min(from, ARow), ColCount() - 1, std::max(from, ARow)});
        FMouseSelectStart = ARow;
    } else if (ACol >= FixedCols() && ARow < FixedRows() && FMouseActions->ColSelect() &&
               rangeSelect && FMouseSelectMode == msColumn) {
        if (FMouseActions->DisjunctCellSelect()) FSelectedCells.clear();
        int from = ACol;
        if (shift.Contains(ssShift)) from = ACol < prevSel.Left ? prevSel.Right : prevSel.Left;
        SetSelection({std::min(from, ACol), FixedRows(), std::max(from, ACol), RowCount() - 1});
        FMouseSelectStart = ACol;
    }
    if (ARow < FixedRows() && ACol >= FixedCols())
        Movecell = ACol;
    else if (ACol < FixedCols() && ARow >= FixedRows())
        Movecell = ARow;

    bool editable = Options().Contains(goEditing) || FMouseActions->RangeSelectAndEdit();
    IsEditableCell(realCol, ARow, editable);

    // Check boxes and radio buttons toggle on the press; OnClickCell does not fire for them.
    if ((editable || FControlLook->CheckAlwaysActive()) &&
        (HasCheckBox(realCol, ARow) || HasRadioButton(realCol, ARow)) &&
        IsInCheckBox(realCol, ARow, X, Y)) {
        HideInplaceEdit();
        if (CanFocus()) SetFocus();
        if (HasRadioButton(realCol, ARow))
            DoToggleRadio(realCol, ARow, true);
        else
            DoToggleCheck(realCol, ARow, true);
        if (FShowModified->Enabled()) {
            SetRowModified(ARow, true);
            RepaintCell(0, ARow);
        }
        bool state = false;
        GetCheckBoxState(realCol, RealRowIndex(ARow), state);
        if (!Navigation()->AlwaysEdit() && !fixedHit && !declaredFixed)
            MoveColRow(ACol, ARow, true, true);
        CheckBoxClick(ACol, ARow, state);
        RepaintCell(ACol, ARow);
        if (OnMouseDown) OnMouseDown(this, mbLeft, KeyboardStateToShiftState(), X, Y);
        Click();
        return;
    }

    if (declaredFixed) {
        if (OnClickCell) OnClickCell(this, ARow, ACol);
        return;
    }
    TBaseGrid::WMLButtonDown(Message);

    const bool sizingPress = ARow < FixedRows() && Options().Contains(goColSizing) &&
                             (X - cellRect.Left <= 3 || cellRect.Right - X <= 3);
    if (!sizingPress && OnClickCell) OnClickCell(this, pressRow, pressCol);
}

std::string TQorStringGrid::hitAnchor(int ACol, int ARow, int X, int Y) {
    TRect r = CellRect(ACol, ARow);
    r.Left += FXYOffset.X + 1;
    r.Top += FXYOffset.Y + 1;
    if (HasCheckBox(RealColIndex(ACol), ARow)) r.Left += FControlLook->CheckSize();
    HTMLRenderOptions options;
    options.HitX = X;
    options.HitY = Y;
    options.HitTestOnly = true;
    HTMLRenderResult result;
    TCanvas* c = Canvas();
    c->Font()->Assign(isFixedCell(ACol, ARow) ? FFixedFont.get() : Font());
    if (!HTMLRenderText(*c, Cells(RealColIndex(ACol), ARow), r, options, result)) return "";
    return result.HitHref;
}

bool TQorStringGrid::isFixedCell(int ACol, int ARow) {
    bool f = false;
    IsFixedCell(ACol, ARow, f);
    return f;
}

void TQorStringGrid::WMLButtonUp(TWMMouse& Message) {
    const int X = Message.XPos(), Y = Message.YPos();
    ColMoveFlg = FGridState == gsColMoving || FGridState == gsRowMoving;
    if (ColMoveFlg) endEnhancedMove();
    ColSizeFlg = FGridState == gsColSizing || FGridState == gsRowSizing;
    const bool deselect = FDeselectState;
    FMouseDown = FMouseKeepDown = FMouseDownMove = false;
    FMouseSelectMode = msNormal;
    FMouseSelectStart = -1;

    if (FSizingFixed) {
        FSizeFixed = FSizingFixed = false;
        DrawColumnSizingLine(FSizeFixedX);
        if (FSizingFixedCol >= 0) {
            int left = 0;
            for (int i = 0; i < FSizingFixedCol; ++i) left += ColWidths(i);
            // A release left of the column's start keeps it at zero width.
            int width = std::max(0, X - left);
            SetColWidths(FSizingFixedCol, width);
            if (OnEndColumnSize) OnEndColumnSize(this, FSizingFixedCol);
            int w = width;
            if (OnUpdateColumnSize) OnUpdateColumnSize(this, FSizingFixedCol, w);
            if (w != width) SetColWidths(FSizingFixedCol, std::max(0, w));
        }
        FSizingFixedCol = -1;
    }
    if (FSizingFixedR) {
        FSizeFixedR = FSizingFixedR = false;
        DrawRowSizingLine(FSizeFixedY);
        if (FSizingFixedRow >= 0) {
            int top = 0;
            for (int i = 0; i < FSizingFixedRow; ++i) top += RowHeights(i);
            SetRowHeights(FSizingFixedRow, std::max(0, Y - top));
            if (OnEndRowSize) OnEndRowSize(this, FSizingFixedRow);
        }
        FSizingFixedRow = -1;
    }
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (FScrollHintShow && FScrollHintWnd) {
        FScrollHintWnd->ReleaseHandle();
        FScrollHintShow = false;
    }

    const bool sizingRelease = ARow >= 0 && ARow < FixedRows() && Options().Contains(goColSizing) &&
                               (ColSizeFlg || IsOnSizingBorder(X, Y));
    if (!sizingRelease && FDoOnClick && ACol >= 0 && ARow >= 0 &&
        (ARow < FixedRows() || ACol < FixedCols()))
        TBaseGrid::Click();
    FDoOnClick = false;
    if (FGridState == gsSelecting) {
        FGridState = gsNormal;
        Click();
    }

    bool rowDeselected = false;
    if (FMouseActions->DisjunctRowSelect() && ACol >= 0) {
        if (!(ACol == 0 && FMouseActions->HotmailRowSelect())) SelectionToRowSelect(false);
        if (ARow >= FixedRows() && deselect) {
            SetRowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(ARow) : ARow, false);
            rowDeselected = true;
        }
    }
    if (FMouseActions->DisjunctColSelect() && ACol >= 0) {
        SelectionToColSelect(false);
        if (ACol >= FixedCols() && deselect) SetColSelect(ACol, false);
    }
    FDeselectState = false;

    TBaseGrid::WMLButtonUp(Message);
    if (oleDragPressRelease(ACol, ARow)) return;
    if (rowDeselected) FSelChange = false;
    if (FGridState == gsSelecting) FGridState = gsNormal;
    if (ColMoveFlg || ColSizeFlg || ACol < 0 || ARow < 0) return;

    const int realCol = RealColIndex(ACol);
    if (ACol >= FixedCols()) {
        bool state = false;
        if (HasCheckBox(realCol, ARow) && GetCheckBoxState(realCol, RealRowIndex(ARow), state) &&
            OnCheckBoxMouseUp)
            OnCheckBoxMouseUp(this, realCol, ARow, state);
        if (FDblClk) FDblClk = false;
    }
}

void TQorStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // A sizing released past the last column (row) is cancelled.
    if ((FGridState == gsColSizing && X > GridWidth()) ||
        (FGridState == gsRowSizing && Y > GridHeight())) {
        FGridState = gsNormal;
        Invalidate();
        return;
    }
    // Compared with the selection when the left button went down (the press may have moved it),
    // else with the one before the platform's handling.
    if (Designing() && Button == mbLeft) DesignHelperClick(X, Y);
    const TGridRect before = FPressSelValid && Button == mbLeft ? FPressSelection : Selection();
    FPressSelValid = false;
    TBaseGrid::MouseUp(Button, Shift, X, Y);
    const TGridRect after = Selection();
    if (!(after == before)) SelectionChanged(after.Left, after.Top, after.Right, after.Bottom);
}

void TQorStringGrid::WMLButtonDblClk(TWMMouse& Message) {
    const int X = Message.XPos(), Y = Message.YPos();
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (ACol == -1) {
        if (FFixedRowAlways) {
            TBaseGrid::WMLButtonDblClk(Message);
            return;
        }
        ACol = ColCount() - 1;
        ARow = 0;
    }
    if (ARow >= 0 && ARow < FixedRows() && Options().Contains(goColSizing) &&
        FMouseActions->AutoSizeColOnDblClick()) {
        const TRect r = CellRect(ACol, ARow);
        int sized = -1;
        if (X - r.Left <= 3 && X >= r.Left - 3) {
            FDblClk = true;
            if (ACol - 1 >= FixedCols()) sized = ACol - 1;
        } else if (std::abs(r.Right - X) <= 3 && ACol >= FixedCols()) {
            sized = ACol;
        }
        if (sized >= 0) {
            FDblClk = true;
            bool allow = true;
            if (OnColumnSize) OnColumnSize(this, sized, allow);
            if (allow) {
                AutoSizeCol(sized, 0);
                if (OnEndColumnSize) OnEndColumnSize(this, sized);
            }
            TBaseGrid::WMLButtonDblClk(Message);
            return;
        }
    }
    TBaseGrid::WMLButtonDblClk(Message);
    MouseToCell(X, Y, ACol, ARow);
    if (ACol >= 0 && ARow >= 0 && OnDblClickCell) OnDblClickCell(this, ARow, ACol);
}

void TQorStringGrid::WMRButtonDown(TWMMouse& Message) {
    TBaseGrid::WMRButtonDown(Message);
    const int X = Message.XPos(), Y = Message.YPos();
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const bool valid = ACol >= 0 && ARow >= 0;
    if (FMouseActions->SelectOnRightClick() && valid && !isFixedCell(ACol, ARow)) {
        if (Selection().Contains(ACol, ARow)) {
            bool canSelect = true;
            if (OnSelectCell) OnSelectCell(this, ACol, ARow, canSelect);
        } else {
            const TPoint base = BaseCell(ACol, ARow);
            FocusCell(base.X, base.Y, true);
        }
    }
    if (OnRightClickCell) OnRightClickCell(this, ARow, ACol);
}
