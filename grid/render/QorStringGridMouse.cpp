// String grid mouse buttons: the left press and release, the double click, the right press.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/render/HeaderDragButton.h"
#include "grid/render/markup/MarkupControls.h"
#include "grid/render/markup/MarkupRender.h"

#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "platform/process/Process.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

namespace {

// X as the cell's left-to-right layout reads it: right to left a cell's content is mirrored.
int inCellX(const TControl& grid, const TRect& cell, int X) {
    return grid.UseRightToLeftAlignment() ? cell.Left + cell.Right - 1 - X : X;
}

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
    FSpinUpClick = FSpinDnClick = false;
    // A press that opens no spin editor leaves no step behind for a later edit.
    struct SpinReset {
        TQorStringGrid* g;
        ~SpinReset() {
            if (!g->FEditMode) g->FSpinUpClick = g->FSpinDnClick = false;
        }
    } spinReset{this};
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const TGridRect prevSel = Selection();
    FPressSelection = prevSel;
    FPressSelValid = true;
    const int pressCol = ACol, pressRow = ARow;

    if (FSelectionResizer && FSelectionRectangle && onResizer(X, Y)) {
        startSelectionResize(Message);
        Message.M.Result = 1;
        return;
    }
    if (Options().Contains(goEditing) && FMouseActions->RangeSelectAndEdit() &&
        !prevSel.Contains(ACol, ARow)) {
        TGridOptions o = Options();
        o.Exclude(goEditing);
        SetOptions(o);
    }
    bool allow = true;
    if (OnCanClickCell) OnCanClickCell(this, ARow, ACol, allow);
    if (!allow) return;
    if (FCellSelectorMode) {
        CellSelectorClick(ACol, ARow);
        return;
    }
    if (FMouseSelectMode == msResize) {
        startSelectionResize(Message);
        return;
    }

    const TShiftState shift = pressShift(Message.Keys());
    if (FMouseActions->DisjunctCellSelect() && !shift.Contains(ssCtrl) && !FSelectedCells.empty() &&
        ACol >= 0 && ARow >= 0 && !isFixedCell(ACol, ARow)) {
        FSelectedCells.clear();
        Invalidate();
    }
    FSearchInc.clear();
    FMoveColInd = FMoveRowInd = -1;
    FSelectionClick = false;
    FPushedCellButton = {-1, -1};
    const int pressLeft = LeftCol(), pressTop = TopRow();
    FOldKeepLeftCol = pressLeft;

    if (ARow != 0 && ACol != 0)
        MouseToCell(X - 5, Y - 4, Colclicked, Rowclicked);
    else if (ACol == 0 && ARow != 0)
        MouseToCell(X, Y - 4, Colclicked, Rowclicked);
    else
        MouseToCell(X - 5, Y, Colclicked, Rowclicked);
    if (FLook == glListView && FHotFixedCell.X >= 0 &&
        isFixedCell(FHotFixedCell.X, FHotFixedCell.Y))
        RepaintCell(FHotFixedCell.X, FHotFixedCell.Y);
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
    FLButFlg = FMouseActions->CaretPositioning();

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
    // A press on the spin buttons drawn in the cell: the editor it opens steps once.
    if (!Designing() && FControlLook->SpinButtonsAlwaysVisible() && HasSpinEdit(realCol, ARow) &&
        X > cellRect.Right - 18) {
        if (Y > cellRect.Top + cellRect.Height() / 2)
            FSpinDnClick = true;
        else
            FSpinUpClick = true;
    }

    // A fixed cell pressed as a button looks sunken until the release.
    if ((fixedHit || declaredFixed) && FFlags.FixedAsButtons &&
        Options().Contains(goFixedVertLine) && Options().Contains(goFixedHorzLine) && FCtl3D &&
        !(IsNode(ARow) && IsOnNodeGlyph(ARow, X))) {
        FPushedFixedCell = cellRect;
        FPushedCellButton = {ACol, ARow};
        FFixedCellPushed = true;
        drawFixedCellEdge(true);
    }

    // Node glyphs expand and contract their groups; the rest of column 0 only clicks.
    if (!Designing() && ACol == 0 && FNumNodes > 0) {
        const bool onGlyph = IsNode(ARow) && IsOnNodeGlyph(ARow, X);
        if (onGlyph && ARow < FixedRows() && FMouseActions->NodeAllExpandContract()) {
            TCellGraphic* g = GetCellGraphic(0, ARow);
            const bool expand = g->CellBoolean();
            expand ? ExpandAll() : ContractAll();
            if ((g = GetCellGraphic(0, ARow))) g->SetCellBoolean(!expand);
        } else if (onGlyph && ARow >= FixedRows()) {
            if (OnMouseDown) OnMouseDown(this, mbLeft, KeyboardStateToShiftState(), X, Y);
            if (OnClickCell) OnClickCell(this, ARow, 0);
            const int realRow = RealRowIndex(ARow);
            bool allow = true;
            if (GetNodeState(ARow)) {
                if (OnBeforeExpandNode) OnBeforeExpandNode(this, ARow, realRow, allow);
                if (allow) {
                    ExpandNode(realRow);
                    if (OnExpandNode) OnExpandNode(this, ARow, realRow);
                }
            } else {
                if (OnBeforeContractNode) OnBeforeContractNode(this, ARow, realRow, allow);
                if (allow) {
                    ContractNode(realRow);
                    if (OnContractNode) OnContractNode(this, ARow, realRow);
                }
            }
            if (allow && FMouseActions->MoveRowOnNodeClick()) SetRow(ARow);
            return;
        }
        if (ARow >= FixedRows() && !FMouseActions->RowSelect() &&
            !Options().Contains(goRowSizing)) {
            if (OnMouseDown) OnMouseDown(this, mbLeft, KeyboardStateToShiftState(), X, Y);
            if (OnClickCell) OnClickCell(this, ARow, 0);
            return;
        }
    }

    if (!Designing() && ACol < ColCount() && ARow < RowCount() &&
        pressOnCellGraphic(ACol, ARow, X, Y, cellRect, shift))
        return;
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
        HTMLRenderResult hit;
        if (!markup) {
            if (IsURL(text)) anchor = text;
        } else if (hitCellMarkup(ACol, ARow, X, Y, hit)) {
            anchor = hit.HitHref;
        }
        // An editable form control under the pointer takes the press.
        if (!anchor.empty() && !hit.ControlID.empty() &&
            clickCellControl(ACol, ARow, realCol, text, hit))
            return;
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
        // A press beside the controls of a form cell only selects the cell.
        if (markup && HTMLHasControls(text)) {
            if (OnClickCell) OnClickCell(this, pressRow, pressCol);
            HideInplaceEdit();
            SetSelection({ACol, ARow, ACol, ARow});
            return;
        }
    }

    Movecell = -1;
    selectByHeader(ACol, ARow, shift, prevSel);
    if (ARow < FixedRows() && ACol >= FixedCols())
        Movecell = ACol;
    else if (ACol < FixedCols() && ARow >= FixedRows())
        Movecell = ARow;
    MoveOfsX = X - cellRect.Left;
    MoveOfsY = Y - cellRect.Top;
    FMovePress = {X, Y};
    FMoveAsked = false;
    FMoveColInd = FMoveRowInd = -1;

    bool editable = Options().Contains(goEditing) || FMouseActions->RangeSelectAndEdit();
    IsEditableCell(realCol, ARow, editable);

    // Check boxes and radio buttons toggle on the press; OnClickCell does not fire for them.
    if ((editable || FControlLook->CheckAlwaysActive() ||
         (ACol == 0 && FMouseActions->HotmailRowSelect())) &&
        (HasCheckBox(realCol, ARow) || HasRadioButton(realCol, ARow)) &&
        IsInCheckBox(realCol, ARow, X, Y)) {
        HideInplaceEdit();
        if (CanFocus()) SetFocus();
        if (HasRadioButton(realCol, ARow)) {
            DoToggleRadio(realCol, ARow, true);
            if (OnRadioButtonClick) OnRadioButtonClick(this, realCol, ARow);
        } else
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

    const bool normal = !fixedHit && !declaredFixed;
    const bool hasCombo =
        normal && FControlLook->DropDownAlwaysVisible() && HasComboBox(realCol, ARow);
    const bool dblOnly = FMouseActions->EditOnDblClickOnly();
    const bool directEdit =
        FMouseActions->DirectEdit() || (hasCombo && FControlLook->DropDownAlwaysVisible());
    if (normal && (editable || (hasCombo && dblOnly)) && directEdit) {
        HideInplaceEdit();
        if (CanFocus()) SetFocus();
    }
    const bool onSelected =
        cellRect.Contains({X, Y}) && Selection() == TGridRect{ACol, ARow, ACol, ARow};
    const bool selectAfter =
        !onSelected && FMouseActions->RangeSelectAndEdit() && !IsFixed(ACol, ARow) && !editable;
    if (selectAfter) setEditingOption(false);

    if (declaredFixed) {
        if (OnClickCell && !(ARow == RowCount() - 1 && FFloatingFooter->ShowsLastRow()))
            OnClickCell(this, ARow, ACol);
        return;
    }
    platformPress(Message, ACol, ARow, pressTop);

    const bool insideBorders = X - cellRect.Left > 3 && cellRect.Right - X > 3;
    const bool sizingPress =
        ARow < FixedRows() && Options().Contains(goColSizing) && !insideBorders;
    if (!sizingPress && OnClickCell) OnClickCell(this, pressRow, pressCol);
    if (OnCellValidate) {
        FEntered = false;
        StoreOldCell(Col(), Row());
    }
    if (IsMergedCell(realCol, ARow) && !isFixedCell(ACol, ARow) &&
        (onSelected || FMouseActions->DirectEdit()) && editable)
        ShowInplaceEdit();
    if (insideBorders && normal && (editable || (hasCombo && dblOnly)) && directEdit &&
        !IsControlCell(realCol, ARow))
        directEditPress(ACol, ARow, hasCombo && dblOnly);
    if (insideBorders && selectAfter) FGridState = gsSelecting;
}

// The platform's press on a normal or fixed cell: selection, focus, sizing and moving starts.
void TQorStringGrid::platformPress(TWMMouse& Message, int ACol, int ARow, int PressTop) {
    const bool edge = ARow == TopRow() + VisibleRowCount() ||
                      ACol == LeftCol() + VisibleColCount() ||
                      (ACol == LeftCol() && LeftCol() > FixedCols());
    keepingLeftCol(Options().Contains(goRowSelect) && FNavigation->KeepHorizScroll(), [&] {
        // A click shows a hidden selection again: the pressed cell becomes it.
        if (FSelHidden) UnHideSelection();
        {
            // The press opens no editor by itself.
            struct AlwaysEdit {
                TNavigation* n;
                bool was;
                ~AlwaysEdit() { n->SetAlwaysEdit(was); }
            } alwaysEdit{FNavigation.get(), FNavigation->AlwaysEdit()};
            FNavigation->SetAlwaysEdit(false);
            TBaseGrid::WMLButtonDown(Message);
        }
        if (FGridState == gsSelecting && edge && FMouseActions->NoAutoRangeScroll())
            FGridState = gsNormal;
        if (FMouseActions->NoScrollOnPartialRow() && TopRow() != PressTop) {
            SetTopRow(PressTop);
            if (HandleAllocated()) Perform(WM_LBUTTONUP, Message.M.WParam, Message.M.LParam);
        }
    });
}

// A press that edits the pressed cell at once (DirectEdit, or an always-visible combo button).
void TQorStringGrid::directEditPress(int ACol, int ARow, bool ComboOnDblClickOnly) {
    if (ComboOnDblClickOnly && !Options().Contains(goEditing)) {
        setEditingOption(true);
        if (CanFocus()) SetFocus();
    }
    bool allow = true;
    if (ARow != Row() && OnRowChanging) OnRowChanging(this, Row(), ARow, allow);
    if (ACol != Col() && OnColChanging) OnColChanging(this, Col(), ACol, allow);
    if ((ACol != Col() || ARow != Row()) && OnCellChanging)
        OnCellChanging(this, Row(), Col(), ARow, ACol, allow);
    if (!allow) return;
    const TPoint base = BaseCell(ACol, ARow);
    SetSelection({base.X, base.Y, base.X, base.Y});
    StoreOldCell(base.X, base.Y);
    ShowEditor();
}

// Presses in the header cells that select everything, rows or columns.
void TQorStringGrid::selectByHeader(int ACol, int ARow, TShiftState Shift,
                                    const TGridRect& PrevSel) {
    const int oldCol = Col(), oldRow = Row();
    auto activeHeaders = [&] {
        if (FActiveCellShow) RepaintActiveHeaders(oldCol, oldRow, Row(), Col());
    };
    if (ACol < FixedCols() && ARow < FixedRows() && FMouseActions->AllSelect() &&
        Options().Contains(goRangeSelect) && FMouseSelectMode == msAll) {
        if (CanFocus()) SetFocus();
        ExportNotification(esExportStart, -1);
        ExportNotification(esExportNewRow, RowCount() - 1);
        ExportNotification(esExportFail, -1);
        TGridRect all{FixedCols(), FixedRows(), ColCount() - 1, RowCount() - 1};
        DoSelectAll(all);
        FSelHidden = false;
        SetSelection(all);
        DoExit();
        activeHeaders();
    } else if (ACol < FixedCols() && ARow >= FixedRows() && FMouseActions->RowSelect() &&
               FMouseSelectMode == msRow) {
        if (EditorMode() && CanFocus()) SetFocus();
        if (FMouseActions->DisjunctCellSelect()) FSelectedCells.clear();
        const int from = Shift.Contains(ssShift) ? PrevSel.Top : ARow;
        FSelHidden = false;
        SetSelection({FixedCols(), std::min(from, ARow), ColCount() - 1, std::max(from, ARow)});
        DoExit();
        FMouseSelectStart = ARow;
        activeHeaders();
        if (!FRowIndicator->Empty()) RepaintCol(0);
    } else if (ACol >= FixedCols() && ARow < FixedRows() && FMouseActions->ColSelect() &&
               Options().Contains(goRangeSelect) && FMouseSelectMode == msColumn) {
        if (EditorMode() && CanFocus()) SetFocus();
        if (FMouseActions->DisjunctCellSelect()) FSelectedCells.clear();
        int from = ACol;
        if (Shift.Contains(ssShift)) from = ACol < PrevSel.Left ? PrevSel.Right : PrevSel.Left;
        FSelHidden = false;
        SetSelection({std::min(from, ACol), FixedRows(), std::max(from, ACol), RowCount() - 1});
        DoExit();
        FMouseSelectStart = ACol;
        activeHeaders();
    }
}

// The handle of the selection resizer: a 6 x 6 square in the bottom corner of the selection's
// bottom-right cell, at its right end (right to left: at its left end).
bool TQorStringGrid::onResizer(int X, int Y) {
    const TGridRect sel = Selection();
    if (sel.Right >= ColCount() || sel.Bottom >= RowCount()) return false;
    const TRect r = CellRect(sel.Right, sel.Bottom);
    if (r.IsEmpty()) return false;
    const int left = BiDiMode() != bdLeftToRight ? r.Left : r.Right - 6;
    return X >= left && X < left + 6 && Y >= r.Bottom - 6 && Y < r.Bottom;
}

// A press on the resizer: the selection goes to the clipboard, and the drag that follows resizes
// the selection from its top-left cell; the release pastes it over the new selection.
void TQorStringGrid::startSelectionResize(TWMMouse& Message) {
    FDropSelection = Selection();
    CopySelectionToClipboard();
    const TGridRect sel = Selection();
    FMouseResize = true;
    if (!Options().Contains(goEditing) && !FMouseActions->RangeSelectAndEdit())
        TBaseGrid::WMLButtonDown(Message);
    // The current cell and the fixed corner stay at the top-left; the bottom-right follows the
    // pointer.
    MoveColRow(sel.Left, sel.Top, true, false);
    MoveAnchor({sel.Right, sel.Bottom});
    FGridState = gsSelecting;
    SetMouseCapture(true);
    MouseMove({}, Message.XPos(), Message.YPos());
}

// The release of a selection resize: the block copied at the press is pasted over the new
// selection (repeated or continued there with the smart clipboard).
void TQorStringGrid::endSelectionResize() {
    const TGridRect from = FDropSelection, to = Selection();
    if (OnSelectionResize) OnSelectionResize(this, from, to);
    {
        FlagScope disabled(FEditDisable, true);
        PasteSelectionFromClipboard();
    }
    FMouseResize = false;
    if (OnSelectionResized) OnSelectionResized(this, from, to);
}

// Draws the pushed fixed cell sunken (Down) or raised again.
void TQorStringGrid::drawFixedCellEdge(bool Down) {
    TRect r = FPushedFixedCell;
    TCanvas* c = Canvas();
    const unsigned edge = Down ? BDR_SUNKENINNER : BDR_RAISEDINNER;
    DrawEdge(c, r, edge, BF_RIGHT | BF_BOTTOM);
    DrawEdge(c, r, edge, BF_LEFT | BF_TOP);
}

// The presses that a cell's radio group, rating, button or expand button take, and a press on
// the selection of an OLE drag source; true when the press ends there.
bool TQorStringGrid::pressOnCellGraphic(int ACol, int ARow, int X, int Y, const TRect& cellRect,
                                        TShiftState shift) {
    const int realCol = RealColIndex(ACol);
    if (IsRadio(realCol, ARow) && (canEditAt(realCol, ARow) || FControlLook->RadioAlwaysActive())) {
        HideInplaceEdit();
        ClickRadioGroup(realCol, ARow, X - cellRect.Left, Y - cellRect.Top);
        if (CanFocus()) SetFocus();
        return true;
    }
    const bool onSelection = IsSelected(ACol, ARow) || (ARow < FixedRows() && !EnhRowColMove());
    const bool insideBorders = X - cellRect.Left > 3 && cellRect.Right - X > 3;
    if (onSelection && !Options().Contains(goEditing) && !HasButton(realCol, ARow) &&
        !HasCheckBox(realCol, ARow) && FDragDropSettings->OleDropSource() &&
        !(ARow < FixedRows() && (FMouseActions->ColSelect() || FMouseActions->AllSelect())) &&
        ACol >= FixedCols() && (insideBorders || !Options().Contains(goColSizing))) {
        if (CanFocus()) SetFocus();
        if (OnMouseDown) OnMouseDown(this, mbLeft, shift, X, Y);
        FSelectionClick = true;
        FOleDragStart = {X, Y};
        if (OnClickCell) OnClickCell(this, ARow, ACol);
        return true;
    }
    if (HasRating(realCol, ARow) && canEditAt(realCol, ARow)) {
        HideInplaceEdit();
        // Half-star steps of 9 pixels.
        double value = ((X - cellRect.Left) / 9) / 2.0;
        if (RatingChange(realCol, ARow, value)) {
            SetFloats(realCol, ARow, value);
            RepaintCell(ACol, ARow);
        }
        return true;
    }
    const bool button = HasButton(realCol, ARow);
    if (!button && !HasExpand(realCol, ARow)) return false;
    HideInplaceEdit();
    if (!isFixedCell(ACol, ARow)) {
        FForceSel = true;
        MoveColRow(ACol, ARow, true, true);
        FForceSel = false;
    }
    const TRect r = button ? GetCellGraphicRect(ACol, ARow) : GetExpandButtonRect(realCol, ARow);
    if (r.Contains({X, Y})) {
        PushButton(ACol, ARow, true);
        FPushedCellButton = {ACol, ARow};
        SetMouseCapture(true);
        if (OnClickCell) OnClickCell(this, ARow, ACol);
    }
    return true;
}

void TQorStringGrid::ClickRadioGroup(int ACol, int ARow, int X, int Y) {
    const TPoint base = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(base.X, base.Y);
    auto* items =
        g && g->CellType() == ctRadio ? dynamic_cast<TStrings*>(g->CellBitmap()) : nullptr;
    if (!items) return;
    const int displCol = DisplColIndex(base.X);
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    GetCellColor(displCol, base.Y, {}, c->Brush(), c->Font());
    if (!isFixedCell(displCol, base.Y)) {
        SetCol(displCol);
        SetRow(base.Y);
    }
    const int glyph = FControlLook->ControlStyle() >= csWinXP ? 16 : FControlLook->RadioSize();
    const bool sideBySide = g->CellBoolean();
    const int at = sideBySide ? X : Y;
    const int lineHeight = std::max(glyph, c->TextHeight("gh"));
    int start = 0;
    for (int i = 0; i < items->Count(); ++i) {
        const int size = sideBySide ? c->TextWidth(items->Get(i)) + glyph : lineHeight;
        if (start < at && start + size > at) {
            // A group that keeps its choice as the cell text stays so; else the index moves.
            if (g->CellIndex() == -1)
                SetCells(base.X, base.Y, items->Get(i));
            else
                SetRadioIdx(base.X, base.Y, i);
            if (OnRadioClick) OnRadioClick(this, displCol, base.Y, i);
            return;
        }
        start += size;
    }
}

std::string TQorStringGrid::hitAnchor(int ACol, int ARow, int X, int Y, std::string* Title,
                                      int* Link) {
    HTMLRenderResult result;
    if (!hitCellMarkup(ACol, ARow, X, Y, result)) return "";
    if (Title) *Title = result.HitTitle;
    if (Link) *Link = result.HitLink;
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
    ColSizeFlg = FGridState == gsColSizing || FGridState == gsRowSizing;
    const bool deselect = FDeselectState;
    FMouseDown = FMouseKeepDown = FMouseDownMove = false;
    FMouseSelectMode = msNormal;
    releaseCellControl();
    if (FLook == glListView) {
        RepaintRow(0);
        if (FixedCols() > 0) RepaintCol(0);
    }
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
    if (FFixedCellPushed) {
        drawFixedCellEdge(false);
        FFixedCellPushed = false;
    }
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    HideDropArrows();
    const bool onCellButton = releaseCellButton(ACol, ARow, X, Y);
    if (FScrollHintShow && FScrollHintWnd) {
        FScrollHintWnd->ReleaseHandle();
        FScrollHintShow = false;
    }
    if (onCellButton) return;

    // Releases that end a sizing are no clicks, for rows as for columns.
    const bool sizingRelease =
        (ARow >= 0 && ARow < FixedRows() && Options().Contains(goColSizing) &&
         (ColSizeFlg || IsOnSizingBorder(X, Y))) ||
        (ACol >= 0 && ACol < FixedCols() && Options().Contains(goRowSizing) && ColSizeFlg);
    if (!sizingRelease && FDoOnClick && ACol >= 0 && ARow >= 0 &&
        (ARow < FixedRows() || ACol < FixedCols()))
        TBaseGrid::Click();
    FDoOnClick = false;
    if (FGridState == gsSelecting) {
        FGridState = gsNormal;
        Click();
    }
    if (releaseSelectionClick(ACol, ARow, X, Y, pressShift(Message.Keys()))) return;

    bool rowDeselected = false;
    if (FMouseActions->DisjunctRowSelect() && ACol >= 0) {
        if (!(ACol == 0 && FMouseActions->HotmailRowSelect())) SelectionToRowSelect(false);
        if (ARow >= FixedRows() && deselect) {
            SetRowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(ARow) : ARow, false);
            rowDeselected = true;
        }
    }
    if (FGrouping->AutoSelectGroup() && ACol > 0 && ARow >= 0 && IsNode(ARow) &&
        !GetNodeState(ARow))
        selectGroup(ARow);
    if (FMouseActions->DisjunctColSelect() && ACol >= 0) {
        SelectionToColSelect(false);
        if (ACol >= FixedCols() && deselect) SetColSelect(ACol, false);
    }
    FDeselectState = false;
    endMoveDrag(ACol, ARow);

    TBaseGrid::WMLButtonUp(Message);
    if (rowDeselected) FSelChange = false;
    if (FGridState == gsSelecting) FGridState = gsNormal;
    if (FMouseResize) {
        SetMouseCapture(false);
        endSelectionResize();
    }
    if (ColMoveFlg || ColSizeFlg || ACol < 0 || ARow < 0) return;

    const int realCol = RealColIndex(ACol);
    if (ACol >= FixedCols()) {
        bool state = false;
        if (HasCheckBox(realCol, ARow) && GetCheckBoxState(realCol, RealRowIndex(ARow), state) &&
            OnCheckBoxMouseUp)
            OnCheckBoxMouseUp(this, realCol, ARow, state);
        int idx = -1;
        if (IsRadio(realCol, ARow) && GetRadioIdx(realCol, ARow, idx) && OnRadioMouseUp)
            OnRadioMouseUp(this, realCol, ARow, idx);
    }
    if (ACol >= FixedCols() || FSortSettings->FixedCols()) {
        // A release after the double click that sized a column sorts nothing.
        if (std::exchange(FDblClk, false)) return;
        clickSort(ACol, ARow, X, Y, pressShift(Message.Keys()));
    }
}

bool TQorStringGrid::clickSort(int ACol, int ARow, int X, int Y, TShiftState Shift) {
    const int realCol = RealColIndex(ACol);
    const TRect r = CellRect(ACol, ARow);
    if (ARow == 0 && Options().Contains(goColSizing) && (X - r.Left <= 3 || r.Right - X <= 3))
        return false;
    // The header's drop-down and filter buttons take the last 16 pixels (right to left: the
    // first ones).
    const int inCell = inCellX(*this, r, X);
    if (inCell > r.Right - 16 &&
        ((FControlLook->FixedDropDownButton() && CanShowFixedDropDown(realCol)) ||
         (ARow == FFilterDropDownRow && BuildColumnFilterList(realCol))))
        return false;
    int pressCol = -1, pressRow = -1;
    MouseToCell(Clickposx, Clickposy, pressCol, pressRow);
    TSortSettings* ss = FSortSettings.get();
    if (ARow != ss->Row() || pressRow != ARow || FixedRows() == 0 || !ss->Show() ||
        RowCount() <= 2 || IsInCheckBox(realCol, ARow, X, Y))
        return false;
    bool doSort = !IsIgnoredColumn(realCol);
    if (OnCanSort) OnCanSort(this, realCol, doSort);
    if (!doSort) {
        RepaintCell(ACol, ARow);
        return false;
    }
    if (EditorMode()) HideInplaceEdit();
    if (FSortRowXRef->Count() != RowCount()) InitSortXRef();
    const bool merge = ss->AutoColumnMerge();
    if (merge)
        for (int i = 0; i < FMergedColumns->Count(); ++i)
            SplitColumnCells(FMergedColumns->GetInteger(i));
    const auto start = std::chrono::steady_clock::now();
    keepingLeftCol(FNavigation->KeepHorizScroll() && Options().Contains(goRowSelect), [&] {
        UpdateScope<TQorStringGrid> lock(*this);
        const bool initAsc = ss->InitSortDirection() == sdAscending;
        if (ss->IndexShow()) {
            const bool key = Shift.Contains(ss->IndexSortKey() == ikCtrl ? ssCtrl : ssShift);
            const bool onlyThis =
                FSortIndexes->Count() == 1 && FSortIndexes->FindIndex(realCol) == 0;
            if (key && FSortIndexes->FindIndex(realCol) >= 0)
                FSortIndexes->ToggleIndex(realCol);
            else if (key)
                FSortIndexes->AddIndex(realCol, initAsc);
            else if (onlyThis)
                FSortIndexes->ToggleIndex(realCol);
            else {
                FSortIndexes->Clear();
                FSortIndexes->AddIndex(realCol, initAsc);
            }
            if (HasNodes())
                QSortGroupIndexed();
            else
                QSortIndexed();
            ss->SetColumn(FSortIndexes->Count() > 0 ? FSortIndexes->GetSortColumns(0) : -1);
            return;
        }
        bool unsort = false;
        if (ss->Column() == realCol) {
            unsort = ss->UndoSort() && ss->Direction() != ss->InitSortDirection();
            ss->ToggleDirection();
        } else {
            ss->SetDirection(ss->InitSortDirection());
            ss->SetColumn(realCol);
        }
        if (HasNodes()) {
            QSortGroup();
        } else if (unsort) {
            QUnSort();
            ss->SetColumn(-1);
        } else {
            QSort();
        }
    });
    SortTime = unsigned(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count());
    if (merge) RemergeColumnCells();
    CellControlsUpdate(false);
    ClickSort(ss->Column());
    return true;
}

bool TQorStringGrid::releaseCellButton(int ACol, int ARow, int X, int Y) {
    if (FPushedCellButton.X < 0) return false;
    const TPoint pushed = FPushedCellButton;
    FPushedCellButton = {-1, -1};
    const int realCol = RealColIndex(pushed.X);
    const bool valid = ACol >= 0 && ARow >= 0;
    bool enabled = Options().Contains(goEditing);
    if (!enabled && valid && !FControlLook->NoDisabledButtonLook()) {
        enabled = true;
        IsEditableCell(realCol, pushed.Y, enabled);
    }
    const bool fixed = isFixedCell(pushed.X, pushed.Y);
    // Always drawn up again: a button that may not click must not stay pushed.
    if (!IsNode(pushed.Y)) PushButton(pushed.X, pushed.Y, false);
    SetMouseCapture(false);
    if (!valid) return false;
    const bool fixedButton =
        FFlags.FixedAsButtons && (pushed.X < FixedCols() || pushed.Y < FixedRows());
    const bool inButton =
        HasButton(realCol, pushed.Y) && GetCellGraphicRect(pushed.X, pushed.Y).Contains({X, Y});
    const bool inExpand =
        HasExpand(realCol, pushed.Y) && GetExpandButtonRect(realCol, pushed.Y).Contains({X, Y});
    if (enabled || FControlLook->NoDisabledButtonLook() || fixed) {
        if (inButton || fixedButton) ButtonClick(realCol, pushed.Y);
        if (HasExpand(realCol, pushed.Y) && (inExpand || fixedButton))
            ExpandClick(realCol, pushed.Y, ToggleExpand(realCol, pushed.Y));
    }
    const int realAt = RealColIndex(ACol);
    return (HasButton(realAt, ARow) && GetCellGraphicRect(ACol, ARow).Contains({X, Y})) ||
           (HasExpand(realAt, ARow) && GetExpandButtonRect(realAt, ARow).Contains({X, Y}));
}

bool TQorStringGrid::releaseSelectionClick(int ACol, int ARow, int X, int Y, TShiftState Shift) {
    if (!std::exchange(FSelectionClick, false)) return false;
    if (ACol < FixedCols() || ARow < FixedRows()) return false;
    if (FMouseActions->DisjunctRowSelect() && FDragDropSettings->OleDropSource()) {
        if (Shift.Contains(ssCtrl) || FMouseActions->DisjunctRowSelectNoCtrl()) {
            const int r = FMouseActions->RowSelectPersistent() ? RealRowIndex(ARow) : ARow;
            SetRowSelect(r, !RowSelect(r));
            // The handler gets where the pointer was released, as any mouse-up does.
            if (OnMouseUp) OnMouseUp(this, mbLeft, Shift, X, Y);
            return true;
        }
        ClearRowSelect();
    }
    if (Options().Contains(goRowSelect))
        SetSelection({FixedCols(), ARow, ColCount() - 1, ARow});
    else
        SetSelection({ACol, ARow, ACol, ARow});
    return false;
}

// A right release during a header drag belongs to the drag.
void TQorStringGrid::WMRButtonUp(TWMMouse& Message) {
    const TCursor c = Screen->Cursor();
    if ((c == crDrag || c == crNoDrop) && FFlags.EnhRowColMove &&
        (FGridState == gsRowMoving || FGridState == gsColMoving)) {
        Message.M.Result = 0;
        return;
    }
    TBaseGrid::WMRButtonUp(Message);
}

void TQorStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // The platform's own row move never lands on the footer row.
    if (FGridState == gsRowMoving && FFloatingFooter->Visible() &&
        FFloatingFooter->FooterStyle() == fsFixedLastRow && FMovePos == RowCount() - 1)
        FMovePos = FMoveIndex;
    FDropDownDown = false;
    // A sizing released past the last column (row) is cancelled.
    if ((FGridState == gsColSizing && X > GridWidth()) ||
        (FGridState == gsRowSizing && Y > GridHeight())) {
        FGridState = gsNormal;
        Invalidate();
        return;
    }
    if (Button == mbLeft) {
        // A release on a column's filter button opens its list; any other release closes it.
        int ACol = -1, ARow = -1;
        MouseToCell(X, Y, ACol, ARow);
        const TRect r = ACol >= 0 && ARow >= 0 ? CellRect(ACol, ARow) : TRect();
        if (ACol >= 0 && ARow >= 0 && ARow == FFilterDropDownRow &&
            RealColIndex(ACol) != FFilterCol && inCellX(*this, r, X) > r.Right - 16 &&
            inCellX(*this, r, X) < r.Right - 3 && Y < r.Top + 19 &&
            BuildColumnFilterList(RealColIndex(ACol)))
            ShowFilterDropDown(ACol, ARow);
        else
            HideFilterDropDown();
    }
    if (FMouseActions->DisjunctCellSelect() && Button == mbLeft) {
        int ACol = -1, ARow = -1;
        MouseToCell(X, Y, ACol, ARow);
        if (ACol >= 0 && ARow >= 0 && !disjunctCellRelease(ACol, ARow, Shift)) return;
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

bool TQorStringGrid::disjunctCellRelease(int ACol, int ARow, TShiftState Shift) {
    const TPoint base = BaseCell(ACol, ARow);
    if (!isFixedCell(base.X, base.Y)) {
        bool canSelect = true;
        if (OnSelectCell) OnSelectCell(this, base.X, base.Y, canSelect);
        if (!canSelect) return false;
        if (Shift.Contains(ssShift)) {
            SetSelectedCells(base.X, base.Y, true);
        } else if (Shift.Contains(ssCtrl)) {
            SetSelectedCells(base.X, base.Y, !SelectedCells(base.X, base.Y));
        } else {
            for (int i = 0; i < int(FSelectedCells.size()); ++i) {
                const TGridCoord c = SelectedCell(i);
                InvalidateCell(c.X, c.Y);
            }
            FSelectedCells.clear();
            SetSelectedCells(base.X, base.Y, true);
        }
    } else if (!Shift.Contains(ssCtrl)) {
        FSelectedCells.clear();
        Invalidate();
        return true;
    }
    // A range dragged over takes all its cells.
    const TGridRect sel = Selection();
    for (int c = sel.Left; c <= sel.Right; ++c)
        for (int r = sel.Top; r <= sel.Bottom; ++r)
            if ((c != base.X || r != base.Y) && !isFixedCell(c, r)) SetSelectedCells(c, r, true);
    return true;
}

void TQorStringGrid::WMLButtonDblClk(TWMMouse& Message) {
    const int X = Message.XPos(), Y = Message.YPos();
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    // Range select and edit: the double click's cell is taken without validation.
    FlagScope forceSel(FForceSel, FMouseActions->RangeSelectAndEdit() && ACol >= 0 && ARow >= 0 &&
                                      !IsControlCell(RealColIndex(ACol), ARow));
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
    if (ACol >= 0 && ARow >= 0 && ACol < ColCount() && ARow < RowCount()) {
        // The buttons took the clicks; check boxes, radio buttons and buttons are operated by
        // single clicks: no cell double click for them.
        const int realCol = RealColIndex(ACol);
        if ((HasButton(realCol, ARow) && GetCellGraphicRect(ACol, ARow).Contains({X, Y})) ||
            (HasExpand(realCol, ARow) && GetExpandButtonRect(realCol, ARow).Contains({X, Y})))
            return;
        if (IsControlCell(realCol, ARow)) {
            TBaseGrid::WMLButtonDblClk(Message);
            return;
        }
    }
    TBaseGrid::WMLButtonDblClk(Message);
    MouseToCell(X, Y, ACol, ARow);
    if (ACol >= 0 && ARow >= 0 && FMouseActions->EditOnDblClickOnly() && ACol == Col() &&
        ARow == Row()) {
        const int realCol = RealColIndex(ACol);
        bool editable = true;
        IsEditableCell(realCol, ARow, editable);
        if (editable && !IsControlCell(realCol, ARow)) {
            setEditingOption(true);
            ShowEditor();
        }
    }
    if (ACol >= 0 && ARow >= 0 && OnDblClickCell) OnDblClickCell(this, ARow, ACol);
    // Range select and edit: a double click edits the cell.
    if (ACol >= 0 && ARow >= 0 && FMouseActions->RangeSelectAndEdit() &&
        !FMouseActions->EditOnDblClickOnly() && IsEditable(RealColIndex(ACol), ARow)) {
        setEditingOption(true);
        const TPoint base = BaseCell(ACol, ARow);
        const TRect r = CellRect(base.X, base.Y);
        MouseDown(mbLeft, {}, r.Left + 4, r.Top + 4);
    }
    if (ACol >= 0 && ARow >= 0 &&
        ((ARow < FixedRows() && FMouseActions->FixedRowsEdit() == fceDblClick) ||
         (ACol < FixedCols() && FMouseActions->FixedColsEdit() == fceDblClick)))
        EditFixedCell(ACol, ARow);
}

void TQorStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    leaveFixedCellEditor();
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (FMouseActions->RangeSelectAndEdit() && Button == mbLeft &&
        !FMouseActions->EditOnDblClickOnly() && ACol >= 0 && ARow >= 0) {
        if (!Options().Contains(goEditing) && ACol == Col() && ARow == Row() &&
            IsEditable(RealColIndex(ACol), ARow)) {
            setEditingOption(true);
            TBaseGrid::MouseDown(Button, Shift, X, Y);
            ShowInplaceEdit();
            return;
        }
        if (Options().Contains(goEditing) && Shift.Contains(ssShift) &&
            (ACol != Col() || ARow != Row())) {
            setEditingOption(false);
            TBaseGrid::MouseDown(Button, Shift, X, Y);
            return;
        }
    }
    if (fixedDropDownPress(ACol, ARow, X)) return;
    {
        FlagScope start(FEditStart, true);
        TBaseGrid::MouseDown(Button, Shift, X, Y);
    }
    if (Shift.Contains(ssShift) && FSelectionRectangle) InvalidateGridRect(Selection());
    fixedCellEditClick(Button, ACol, ARow, X, Y);
    if (TStringGrid* other = FSyncGrid->Grid()) {
        if (FSyncGrid->SelectionColumn() && Col() < other->ColCount()) other->SetCol(Col());
        if (FSyncGrid->SelectionRow() && Row() < other->RowCount()) other->SetRow(Row());
    }
}

void TQorStringGrid::WMRButtonDown(TWMMouse& Message) {
    TBaseGrid::WMRButtonDown(Message);
    const int X = Message.XPos(), Y = Message.YPos();
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const bool valid = ACol >= 0 && ARow >= 0;
    if (FMouseActions->SelectOnRightClick() && valid && !isFixedCell(ACol, ARow) &&
        !(FMouseActions->DisjunctCellSelect() && SelectedCells(ACol, ARow))) {
        if (Selection().Contains(ACol, ARow)) {
            bool canSelect = true;
            if (OnSelectCell) OnSelectCell(this, ACol, ARow, canSelect);
        } else {
            const TPoint base = BaseCell(ACol, ARow);
            keepingLeftCol(FNavigation->KeepHorizScroll(),
                           [&] { MoveColRow(base.X, base.Y, true, true); });
        }
        if (FMouseActions->DisjunctRowSelect() && ARow >= FixedRows()) {
            const int r = FMouseActions->RowSelectPersistent() ? RealRowIndex(ARow) : ARow;
            if (GetKeyState(VK_CONTROL) < 0 || FMouseActions->DisjunctRowSelectNoCtrl()) {
                SetRowSelect(r, !RowSelect(r));
            } else if (!(RowSelectCount() > 1 && PopupMenu() && RowSelect(r))) {
                ClearRowSelect();
                SetRowSelect(r, true);
            }
            Invalidate();
        }
    }
    if (OnRightClickCell) OnRightClickCell(this, ARow, ACol);
    // A link cell of a grid that edits its links opens for editing.
    if (FURLShow && FURLEdit && valid && ACol < ColCount() && ARow < RowCount() &&
        IsURL(Cells(RealColIndex(ACol), ARow))) {
        FocusCell(ACol, ARow, true);
        ShowEditor();
    }
}

// A release on an expanded node row selects its group: its child rows as disjunct rows, or the
// node's rows as the selection.
void TQorStringGrid::selectGroup(int ARow) {
    const int span = GetNodeSpan(ARow);
    if (span < 1) return;
    const int last = std::min(RowCount() - 1, ARow + span - 1);
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = ARow + 1; r <= last; ++r)
            SetRowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(r) : r, true);
        Invalidate();
    } else {
        SetSelection({FixedCols(), ARow, ColCount() - 1, last});
    }
}
