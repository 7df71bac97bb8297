// String grid keyboard input (navigation beyond the platform grid's, check keys, row insertion
// and deletion) and the Tab move between cells.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/SearchPanel.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/markup/MarkupControls.h"
#include "platform/base/FormatSettings.h"

#include <algorithm>
#include <string>

namespace {

TShiftState keyShift() {
    TShiftState s;
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

bool isArrowOrPage(WORD k) {
    return k >= VK_PRIOR && k <= VK_DOWN;
}

} // namespace

bool TQorStringGrid::canEditAt(int RealCol, int ARow) {
    if (!Options().Contains(goEditing) && !FMouseActions->RangeSelectAndEdit() && !FEditDisable)
        return false;
    bool e = true;
    IsEditableCell(RealCol, ARow, e);
    return e;
}

bool TQorStringGrid::IsLastDataRow() {
    if (FFloatingFooter->Visible()) return Row() == RowCount() - 2;
    return Row() == RowCount() - FFixedFooters - 1;
}

void TQorStringGrid::AppendRowAtEnd() {
    bool canAdd = true;
    CanAddRow(canAdd);
    if (!canAdd) return;
    const bool footer = FFloatingFooter->Visible();
    AppendRow();
    // A visible footer's row stays the last one (the row count setter moves it): the new row is
    // the one above it.
    const int added = footer ? RowCount() - 2 : RowCount() - 1;
    for (int c = 0; c < TotalColCount(); ++c) {
        SetCells(c, added, "");
        SetObjects(c, added, nullptr);
    }
    if (footer || FFixedFooters > 0) SetRow(Row() + 1);
    if (footer) CalcFooter(-1);
    if (OnAutoAddRow) OnAutoAddRow(this, RowCount() - FFixedFooters - 1);
}

void TQorStringGrid::WMKeyDown(TWMKey& Message) {
    // Right to left, Left and Right are read as the layout reads them.
    WORD Key = LayoutKey(Message.CharCode());
    FMoveSelection = Selection();
    const int col = Col(), row = Row(), realCol = RealColIndex(col);
    const TShiftState shift = keyShift();
    auto fireKeyDown = [&] {
        WORD k = Message.CharCode();
        if (OnKeyDown) OnKeyDown(this, k, shift);
    };
    auto swallow = [&] {
        Message.SetCharCode(0);
        Message.M.Result = 1;
    };
    // Scroll only: the vertical keys move the top row and leave the current cell.
    if (FNavigation->MoveScrollOnly() && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END ||
                                          Key == VK_HOME || Key == VK_UP || Key == VK_DOWN)) {
        const int top = TopRow(), page = VisibleRowCount(), lastTop = maxTopLeft().Y;
        int to = top;
        if (Key == VK_PRIOR)
            to = top > page + FixedRows() ? top - page : FixedRows();
        else if (Key == VK_NEXT && top + page < RowCount())
            to = top + page;
        else if (Key == VK_END)
            to = RowCount() - page;
        else if (Key == VK_HOME)
            to = FixedRows();
        else if (Key == VK_UP && top > FixedRows())
            to = top - 1;
        else if (Key == VK_DOWN && top + page < RowCount())
            to = top + 1;
        // Never past the last page: the last row ends at the bottom edge.
        to = std::clamp(to, FixedRows(), lastTop);
        if (to != top) SetTopRow(to);
        Message.M.Result = 1;
        return;
    }
    // Row-select grids keep their columns while paging and stepping through the rows.
    const bool keepLeft = (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN) &&
                          Options().Contains(goRowSelect) && LeftCol() != FixedCols() &&
                          FNavigation->KeepHorizScroll();
    const bool enterOrF2 = Key == VK_RETURN || Key == VK_F2;
    const std::string text = Cells(realCol, row);
    const bool controlsText = GetCellTextKind(text, FEnableHTML) == 1 &&
                              UpperCase(text).find("<CONTROL") != std::string::npos;

    if (enterOrF2 && FMouseActions->EditOnDblClickOnly() && !Options().Contains(goEditing)) {
        bool e = true;
        IsEditableCell(realCol, row, e);
        if (e) {
            TGridOptions o = Options();
            o.Include(goEditing);
            SetOptions(o);
        }
    }
    if (enterOrF2 && FMouseActions->RangeSelectAndEdit() && !Options().Contains(goEditing)) {
        if (!IsEditable(realCol, row)) {
            fireKeyDown();
            swallow();
            return;
        }
        setEditingOption(true);
        ShowInplaceEdit();
    }
    // Ctrl+F goes to the search footer's edit; the key goes on.
    if (Key == 'F' && shift.Contains(ssCtrl) && FSearchFooter->Visible() && FSearchPanel &&
        FSearchPanel->EditControl()->CanFocus())
        FSearchPanel->EditControl()->SetFocus();
    if (enterOrF2 && Options().Contains(goEditing) && !canEditAt(realCol, row)) {
        fireKeyDown();
        swallow();
        return;
    }
    if (enterOrF2 && controlsText) {
        Message.M.Result = 1;
        return;
    }
    if (Key == VK_RETURN && !canEditAt(realCol, row)) {
        TCustomForm* form = FindParentForm(this);
        if (form && form->KeyPreview()) {
            TBaseGrid::WMKeyDown(Message);
            return;
        }
        fireKeyDown();
        swallow();
        return;
    }

    // Space and Enter on check boxes, radio buttons and buttons.
    if ((Key == VK_SPACE || Key == VK_RETURN) && IsControlCell(realCol, row)) {
        bool active = Options().Contains(goEditing) || FMouseActions->RangeSelectAndEdit();
        IsEditableCell(realCol, row, active);
        if (Key == VK_SPACE) {
            if (HasCheckBox(realCol, row) && (active || FControlLook->CheckAlwaysActive())) {
                DoToggleCheck(realCol, row, true);
                if (FShowModified->Enabled()) {
                    SetRowModified(row, true);
                    RepaintCell(0, row);
                }
                bool state = false;
                GetCheckBoxState(realCol, RealRowIndex(row), state);
                CheckBoxClick(realCol, row, state);
            } else if (IsRadio(realCol, row) && (active || FControlLook->RadioAlwaysActive())) {
                NextRadioItem(realCol, row, false);
                int idx = -1;
                GetRadioIdx(realCol, row, idx);
                if (OnRadioClick) OnRadioClick(this, realCol, row, idx);
            } else if (HasRadioButton(realCol, row) &&
                       (active || FControlLook->RadioAlwaysActive())) {
                SetRadioButtonColumnIndex(realCol, row);
                if (OnRadioButtonClick) OnRadioButtonClick(this, realCol, row);
            }
        }
        if (HasButton(realCol, row) && active) ButtonClick(realCol, row);
        RepaintCell(col, row);
    }

    // Home and End.
    const THomeEndAction he = FNavigation->HomeEndKey();
    const bool ctrl = shift.Contains(ssCtrl), rowSelect = Options().Contains(goRowSelect);
    if (Key == VK_HOME || Key == VK_END) {
        const bool home = Key == VK_HOME;
        bool done = true;
        if (he == heFirstLastCell && !ctrl) {
            FocusCell(home ? FixedCols() : ColCount() - 1, home ? FixedRows() : RowCount() - 1,
                      true);
            GotoBaseCell();
        } else if (he == heFirstLastRow && !ctrl) {
            if (FFixedRowAlways && RowCount() == 1) {
                done = false;
            } else {
                const int target = home ? FixedRows()
                                        : (FFloatingFooter->Visible() && RowCount() > 2
                                               ? RowCount() - 2
                                               : RowCount() - FFixedFooters - 1);
                if (shift.Contains(ssShift)) {
                    SetSelection({FixedCols(), std::min(row, target), ColCount() - 1,
                                  std::max(row, target)});
                } else {
                    SetRow(target);
                    GotoBaseCell();
                }
            }
        } else if (he == heFirstLastColumn && home && ctrl) {
            SetRow(FixedRows());
            SetCol(std::max(0, FirstSelectableCol(Row())));
            GotoBaseCell();
            SetLeftCol(FirstNavigableCol());
        } else if (he == heFirstLastColumn && !ctrl && !rowSelect) {
            if (FFixedRowAlways && RowCount() == 1) {
                done = false;
            } else if (shift.Contains(ssShift)) {
                SetSelection(home ? TGridRect{FixedCols(), row, col, row}
                                  : TGridRect{col, row, ColCount() - FFixedRightCols - 1, row});
                InvalidateRow(row);
            } else if (home) {
                const int first = FirstSelectableCol(row);
                if (first >= 0) SetCol(first);
                GotoBaseCell();
                SetLeftCol(FirstNavigableCol());
            } else {
                SetCol(ColCount() - 1);
                GotoBaseCell();
            }
        } else {
            done = false;
        }
        if (done) {
            fireKeyDown();
            Message.M.Result = 0;
            Message.SetCharCode(0);
            return;
        }
    }

    // Right and Left open and close the node of a row whose current cell is merged.
    if ((Key == VK_RIGHT || Key == VK_LEFT) && IsNode(row) && IsMergedCell(RealColIndex(col), row))
        Key == VK_RIGHT ? ExpandNode(RealRowIndex(row)) : ContractNode(RealRowIndex(row));

    // Ctrl+Left / Ctrl+Right scroll a row-select grid by a column; without LeftRightRowSelect
    // the plain keys do and go no further.
    if ((Key == VK_LEFT || Key == VK_RIGHT) && rowSelect && !IsNode(row)) {
        const bool scroll =
            FNavigation->LeftRightRowSelect() ? ctrl : VisibleColCount() + FixedCols() < ColCount();
        if (scroll) {
            if (Key == VK_LEFT && LeftCol() > FixedCols())
                SetLeftCol(LeftCol() - 1);
            else if (Key == VK_RIGHT && LeftCol() + VisibleColCount() < ColCount())
                SetLeftCol(LeftCol() + 1);
            if (!FNavigation->LeftRightRowSelect()) {
                fireKeyDown();
                Message.M.Result = 0;
                Message.SetCharCode(0);
                return;
            }
        }
    }

    if (Key == VK_TAB && Options().Contains(goTabs)) {
        EditorNavigateKey(shift.Contains(ssShift));
        const TGridRect s = Selection();
        if (!(s == FMoveSelection)) SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        FMoveSelection = s;
        Message.M.Result = 1;
        return;
    }

    // Cells made fixed inside the normal area are walked over.
    if (FNavigation->SkipFixedCells() &&
        (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN)) {
        const int dx = Key == VK_LEFT ? -1 : Key == VK_RIGHT ? 1 : 0;
        const int dy = Key == VK_UP ? -1 : Key == VK_DOWN ? 1 : 0;
        const int lastCol = ColCount() - FFixedRightCols - 1;
        const int lastRow = RowCount() - FFixedFooters - 1;
        int c = col + dx, r = row + dy;
        auto inside = [&](int cc, int rr) {
            return cc >= FixedCols() && cc <= lastCol && rr >= FixedRows() && rr <= lastRow;
        };
        if (inside(c, r) && isFixedCell(c, r)) {
            while (inside(c, r) && isFixedCell(c, r) && !(rowSelect && dy != 0 && r != row + dy)) {
                c += dx;
                r += dy;
            }
            if (inside(c, r) && !isFixedCell(c, r)) FocusCell(c, r, true);
            fireKeyDown();
            Message.SetCharCode(0);
            const TGridRect s = Selection();
            if (!(s == FMoveSelection)) SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
            FMoveSelection = s;
            return;
        }
    }
    if (Key == VK_DOWN && IsLastDataRow() && FNavigation->AppendOnArrowDown()) AppendRowAtEnd();

    // With the search footer showing and the grid scrolled to its end, the last row stays above
    // the footer and the keys that would slip under it are held.
    const bool footerShown = FSearchFooter->Visible();
    const bool atEnd = footerShown && TopRow() >= RowCount() - VisibleRowCount();
    const bool lastRow = row == RowCount() - 1;
    const bool towardsEnd =
        Key == VK_NEXT || Key == VK_END || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DOWN;
    const bool notNavigation = Key != VK_SHIFT && Key != VK_MENU && !isArrowOrPage(Key);
    if (atEnd && lastRow &&
        (Key == VK_DOWN || (Key == VK_RIGHT && col == ColCount() - 1) ||
         (Key == VK_LEFT && col == FixedCols()))) {
        if (Key == VK_DOWN) KeepRowAboveSearchFooter();
        Message.M.Result = 1;
        fireKeyDown();
        return;
    }
    const bool locked = atEnd && ((lastRow && towardsEnd) || notNavigation);
    if (locked) BeginUpdate();
    const int topBefore = TopRow();

    keepingLeftCol(keepLeft, [&] { TBaseGrid::WMKeyDown(Message); });
    Key = LayoutKey(Message.CharCode());

    if (footerShown) {
        if (TopRow() >= RowCount() - VisibleRowCount() && notNavigation) SetTopRow(topBefore);
        if (locked) EndUpdate();
        if (towardsEnd && Row() == RowCount() - 1) KeepRowAboveSearchFooter();
    }

    const bool plain =
        !shift.Contains(ssCtrl) && !shift.Contains(ssShift) && !shift.Contains(ssAlt);
    const bool shiftOnly =
        shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
    // The clipboard keys: Ctrl+X and Shift+Delete cut, Ctrl+V and Shift+Insert paste, Ctrl+C and
    // Ctrl+Insert copy, each when the application's event allows it.
    enum { noClip, cutKey, copyKey, pasteKey } clip = noClip;
    if (FNavigation->AllowClipboardShortCuts() && !shift.Contains(ssAlt)) {
        if ((ctrl && Key == 'X') || (shiftOnly && Key == VK_DELETE))
            clip = cutKey;
        else if ((ctrl && Key == 'V') || (shiftOnly && Key == VK_INSERT))
            clip = pasteKey;
        else if (ctrl && (Key == 'C' || Key == VK_INSERT))
            clip = copyKey;
    }
    if (clip != noClip) {
        bool allow = true;
        if (clip == cutKey) {
            if (OnClipboardCut) OnClipboardCut(this, allow);
            if (allow) CutSelectionToClipboard();
        } else if (clip == pasteKey) {
            if (OnClipboardPaste) OnClipboardPaste(this, allow);
            if (allow) PasteSelectionFromClipboard();
        } else {
            if (OnClipboardCopy) OnClipboardCopy(this, allow);
            if (allow) CopySelectionToClipboard();
        }
    } else if (Key == VK_INSERT && plain && FNavigation->AllowInsertRow()) {
        bool allow = true;
        CanInsertRow(row, allow);
        if (allow) {
            const int real = RealRowIndex(row);
            int newReal = -1;
            withFilterOff([&] {
                const int displ = DisplRowIndex(real);
                int at = real, newRow = displ;
                if (FFixedRowAlways && RowCount() == FixedRows()) {
                    newRow = 1;
                } else if (FNavigation->InsertPosition() == pInsertAfter &&
                           displ < RowCount() - 1) {
                    at = RealRowIndex(displ + 1);
                    newRow = displ + 1;
                }
                InsertRowAt(at);
                if (OnAutoInsertRow) OnAutoInsertRow(this, at);
                FGridModified = true;
                newReal = RealRowIndex(std::min(newRow, RowCount() - 1));
            });
            SetRow(std::min(DisplRowIndex(newReal), RowCount() - 1));
            CalcFooter(-1);
        }
    } else if (Key == 'A' && ctrl && (rowSelect || Options().Contains(goRangeSelect))) {
        selectAllByKey();
    } else if (Key == VK_DELETE && !shift.Contains(ssAlt) && FNavigation->AllowDeleteRow() &&
               RowCount() - FFixedFooters - FixedRows() >= 1) {
        const int real = RealRowIndex(row);
        bool canDelete = true;
        withFilterOff([&] {
            if (OnCanDeleteRow) OnCanDeleteRow(this, real, canDelete);
            if (canDelete) DeleteRowAt(real);
        });
        if (canDelete) {
            if (FilterActive()) SetRow(std::min(DisplRowIndex(real), RowCount() - 1));
            if (FFloatingFooter->Visible() && Row() == RowCount() - 1 && RowCount() > 1)
                SetRow(RowCount() - 2);
            StoreOldCell(Col(), Row());
            FGridModified = true;
            CalcFooter(-1);
        }
    } else if (Key == VK_RETURN || Key == VK_F2) {
        StoreOldCell(Col(), Row());
        if (HTMLHasControls(Cells(RealColIndex(Col()), Row())))
            FocusNextCellControl(Col(), Row(), "");
        if (Key == VK_F2) F2EditHook();
    }
    const TGridRect s = Selection();
    if (!(s == FMoveSelection)) {
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        FMoveSelection = s;
    }
}

// Ctrl+A: the normal cells become the selection, as if pressed from the last one.
void TQorStringGrid::selectAllByKey() {
    TGridRect all{FirstNavigableCol(), FixedRows(), ColCount() - FFixedRightCols - 1,
                  RowCount() - FFixedFooters - 1};
    if (FMouseActions->DisjunctRowSelect())
        for (int r = all.Top; r <= all.Bottom; ++r) SetRowSelect(r, true);
    BeforeSelectAll(all);
    SetSelection(all);
    FocusCell(all.Right, all.Bottom, true);
    const TRect r = CellRect(all.Right, all.Bottom);
    MouseDown(mbLeft, {}, r.Left + 2, r.Top + 2);
    MouseUp(mbLeft, {}, r.Left + 2, r.Top + 2);
    FocusCell(all.Right, all.Bottom, true);
    SetSelection(all);
}

// Rows are inserted and removed with the filtered rows shown; the filter comes back after.
void TQorStringGrid::withFilterOff(const std::function<void()>& Change) {
    const bool filtered = FilterActive();
    if (filtered) SetFilterActive(false);
    Change();
    if (filtered) SetFilterActive(true);
}

void TQorStringGrid::InsertRowAt(int ARow) {
    if (FNumNodes == 0) {
        InsertRows(DisplRowIndex(ARow), 1);
    } else if (GetParentRow(DisplRowIndex(ARow)) == -1) {
        InsertNormalRow(ARow);
    } else {
        InsertChildRow(ARow, 0);
    }
}

void TQorStringGrid::DeleteRowAt(int ARow) {
    const int d = DisplRowIndex(ARow);
    if (FNumNodes > 0) {
        if (GetParentRow(d) == -1)
            RemoveNormalRow(d);
        else
            RemoveChildRow(ARow);
    } else if (RowCount() - FixedRows() - FFixedFooters == 1 && !FFixedRowAlways) {
        ClearRows(d, 1);
    } else {
        DoRemoveRows(d, 1);
    }
    if (OnAutoDeleteRow) OnAutoDeleteRow(this, ARow);
}

char32_t TQorStringGrid::TypedChar(char32_t Key, LPARAM KeyData) const {
    if (FExcelStyleDecimalSeparator && Key == '.' && (KeyData & (LPARAM(1) << 22)))
        return char32_t(FormatSettings().DecimalSeparator);
    return Key;
}

void TQorStringGrid::WMChar(TWMKey& Message) {
    char32_t ch = Message.CharCode();
    const std::string text = Cells(RealColIndex(Col()), Row());
    if (GetCellTextKind(text, FEnableHTML) == 1 &&
        UpperCase(text).find("<CONTROL") != std::string::npos) {
        Message.M.Result = 1;
        return;
    }
    if (FMouseActions->EditOnDblClickOnly()) {
        bool e = true;
        IsEditableCell(RealColIndex(Col()), Row(), e);
        if (e) {
            TGridOptions o = Options();
            o.Include(goEditing);
            SetOptions(o);
        }
    }
    if (FNavigation->AllowClipboardShortCuts() && GetKeyState(VK_CONTROL) < 0 &&
        (ch == 3 || ch == 22 || ch == 24)) {
        Message.SetCharCode(0);
        return;
    }
    // Range select and edit: a typed character opens the editor of the current cell with it.
    const int rc = RealColIndex(Col());
    if (FMouseActions->RangeSelectAndEdit() && rc >= 0 && !IsControlCell(rc, Row()) &&
        IsEditable(rc, Row()) && ch != VK_TAB && ch != VK_ESCAPE && GetKeyState(VK_CONTROL) >= 0) {
        char32_t key = ch;
        if (OnKeyPress) OnKeyPress(this, key);
        FStartEditChar = ch;
        setEditingOption(true);
        if (Row() < TopRow() || Row() >= TopRow() + VisibleRowCount()) SetTopRow(Row());
        if (Col() >= FixedCols() && (Col() < LeftCol() || Col() >= LeftCol() + VisibleColCount()))
            SetLeftCol(Col());
        const TRect r = CellRect(Col(), Row());
        MouseDown(mbLeft, {}, r.Left + 2, r.Top + 2);
        // The editor the press opened takes the character as its first keystroke.
        FlagScope reported(FStartCharReported, true);
        ShowEditorChar(ch);
        return;
    }
    // A keypad "." that opens the editor is handed to it as the separator it stands for.
    if (const char32_t typed = TypedChar(ch, Message.KeyData()); typed != ch) {
        ch = typed;
        Message.SetCharCode(WORD(ch));
    }
    if (Options().Contains(goEditing) && ch != VK_TAB && (ch == 8 || (ch >= 32 && ch <= 255))) {
        if (OnKeyPress) OnKeyPress(this, ch);
        Message.SetCharCode(WORD(ch));
        if (ch == 0 || IsControlCell(RealColIndex(Col()), Row())) return;
        // The editor that opens receives the character as its first keystroke; it hands it back
        // to KeyPress, which must not report it a second time.
        FStartEditChar = ch;
        FlagScope reported(FStartCharReported, true);
        TBaseGrid::WMChar(Message);
        return;
    }
    TBaseGrid::WMChar(Message);
}

void TQorStringGrid::KeyDown(WORD& Key, TShiftState Shift) {
    FLastKeyCell = {Col(), Row()};
    TBaseGrid::KeyDown(Key, Shift);
    // Ctrl+Down / Ctrl+Up move the selected rows one place, the selection with them.
    if (FNavigation->CursorMoveRows() && Shift.Contains(ssCtrl) &&
        (Key == VK_DOWN || Key == VK_UP)) {
        const TGridRect sel = Selection();
        const int count = sel.Bottom - sel.Top + 1;
        const bool down = Key == VK_DOWN;
        if (down ? sel.Bottom < RowCount() - 1 : sel.Top > FixedRows()) {
            const int to = sel.Top + (down ? 1 : -1);
            if (count == 1) {
                MoveRow(sel.Top, to);
                FocusCell(Col(), to, true);
            } else {
                MoveRows(sel.Top, to, count);
                SetSelection({FixedCols(), to, ColCount() - 1, to + count - 1});
            }
        }
    }
    const TCursorAdvance adv = FNavigation->CursorAdvance();
    const TGridCoord last = FLastKeyCell;
    const int lastCol = ColCount() - FFixedRightCols - 1;
    const int lastRow = RowCount() - FFixedFooters - 1;
    if (adv != caDefault && !Shift.Contains(ssCtrl)) {
        const bool snake = adv == caSnake;
        const WORD k = LayoutKey(Key);
        if (k == VK_LEFT && last.X == FixedCols())
            FocusCell(lastCol, snake ? std::max(FixedRows(), last.Y - 1) : last.Y, true);
        else if (Key == VK_UP && last.Y == FixedRows())
            FocusCell(snake ? std::max(FixedCols(), last.X - 1) : last.X, lastRow, true);
        else if (k == VK_RIGHT && last.X == ColCount() - 1)
            FocusCell(FixedCols(), snake ? std::min(lastRow, last.Y + 1) : last.Y, true);
        else if (Key == VK_DOWN && last.Y == RowCount() - 1)
            FocusCell(snake ? std::min(lastCol, last.X + 1) : last.X, FixedRows(), true);
    }
    if (FUseEnabledRows && FNavigation->SkipDisabledRows() && Row() == last.Y) {
        if (Key == VK_UP) {
            for (int r = last.Y - 1; r >= FixedRows(); --r)
                if (RowEnabled(r)) {
                    SetRow(r);
                    break;
                }
        } else if (Key == VK_DOWN) {
            for (int r = last.Y + 1; r < RowCount(); ++r)
                if (RowEnabled(r)) {
                    SetRow(r);
                    break;
                }
        }
    }
}

void TQorStringGrid::KeyUp(WORD& Key, TShiftState Shift) {
    const WORD k = Key;
    // Navigation ends an incremental search: the next character starts a new one.
    if ((k >= VK_PRIOR && k <= VK_DOWN && k != VK_HOME) || k == VK_INSERT || k == VK_DELETE)
        FSearchInc.clear();
    // The selection when the key went down.
    const TGridRect before = FMoveSelection;
    TBaseGrid::KeyUp(Key, Shift);
    const TGridRect s = Selection();
    if ((isArrowOrPage(k) || k == VK_TAB) && !(s == FMoveSelection)) {
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        FMoveSelection = s;
    }
    if (!FMouseActions->DisjunctCellSelect() || Options().Contains(goEditing)) return;
    if (Shift.Contains(ssShift) && isArrowOrPage(k)) {
        for (int c = before.Left; c <= before.Right; ++c)
            for (int r = before.Top; r <= before.Bottom; ++r) SetSelectedCells(c, r, false);
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                if (c != Col() || r != Row()) SetSelectedCells(c, r, true);
    } else if (k == VK_SPACE) {
        const TPoint base = BaseCell(Col(), Row());
        bool canSelect = !isFixedCell(base.X, base.Y);
        if (canSelect && OnSelectCell) OnSelectCell(this, base.X, base.Y, canSelect);
        if (!canSelect) return;
        if (Shift.Contains(ssCtrl)) {
            SetSelectedCells(base.X, base.Y, !SelectedCells(base.X, base.Y));
        } else {
            Invalidate();
            FSelectedCells.clear();
            SetSelectedCells(base.X, base.Y, true);
            for (int c = s.Left; c <= s.Right; ++c)
                for (int r = s.Top; r <= s.Bottom; ++r) SetSelectedCells(c, r, true);
        }
    }
}

// --- Tab move -------------------------------------------------------------------------------

int TQorStringGrid::FirstNavigableCol() {
    // Without fixed columns, column 0 of a grid with nodes holds their glyphs.
    return FixedCols() == 0 && FNumNodes > 0 ? 1 : FixedCols();
}

int TQorStringGrid::LastTabCol() {
    int hidden = 0;
    for (int i = 0; i < FFixedRightCols; ++i) {
        const int real = ColCount() + FNumHidden - 1 - i;
        if (real >= 0 && real <= MaxHiddenMapColumns && !FVisibleCol[std::size_t(real)]) ++hidden;
    }
    return ColCount() - (FFixedRightCols - hidden) - 1;
}

bool TQorStringGrid::CanSelectByTab(int ACol, int ARow) {
    // A fixed cell is never a Tab stop, also while editing.
    bool can = !isFixedCell(ACol, ARow) &&
               (!Options().Contains(goEditing) || canEditAt(RealColIndex(ACol), ARow));
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

int TQorStringGrid::FirstSelectableCol(int ARow) {
    for (int c = 0; c < ColCount(); ++c)
        if (CanSelectByTab(c, ARow)) return c;
    return -1;
}

int TQorStringGrid::LastSelectableCol(int ARow) {
    for (int c = ColCount() - 1; c >= 0; --c)
        if (CanSelectByTab(c, ARow)) return c;
    return -1;
}

bool TQorStringGrid::EditorNavigateKey(bool Backward) {
    if (OnKeyDown) {
        WORD k = VK_TAB;
        TShiftState s;
        if (Backward) s.Include(ssShift);
        OnKeyDown(this, k, s);
        if (k != VK_TAB) return true;
    }
    if (Col() == FLastTabCol && Row() == FLastTabRow) return true;
    const int lastTab = LastTabCol();
    const int lastData = RowCount() - FFixedFooters - 1;
    const bool alongRow = FNavigation->TabAdvanceDirection() == adLeftRight;
    bool toParent = false;
    auto move = [&](int c, int r) {
        if (c < 0 || r < 0) return;
        const TPoint b = BaseCell(c, r);
        FocusCell(b.X, b.Y, true);
    };
    auto step = [&] {
        const int col = Col(), row = Row();
        const TPoint span = CellSpan(col, row);
        if (!alongRow) {
            if (Backward) {
                if (row > FixedRows())
                    move(col, row - 1);
                else
                    move(col > FirstNavigableCol() ? col - 1 : lastTab, lastData);
            } else if (row + span.Y + 1 <= lastData) {
                move(col, row + span.Y + 1);
            } else {
                const bool atEnd = col >= lastTab;
                move(atEnd ? FirstNavigableCol() : col + 1, FixedRows());
                if (atEnd && FNavigation->TabToNextAtEnd()) toParent = true;
            }
            return;
        }
        if (Backward) {
            if (col > FirstNavigableCol()) {
                for (int c = col - 1; c >= FirstNavigableCol(); --c)
                    if (IsBaseCell(c, row) && CanSelectByTab(c, row)) {
                        move(c, row);
                        return;
                    }
                if (row > FixedRows())
                    move(LastSelectableCol(row - 1), row - 1);
                else
                    move(LastSelectableCol(lastData), lastData);
            } else {
                const int r = row > FixedRows() ? row - 1 : lastData;
                for (int c = lastTab; c >= FixedCols(); --c)
                    if (CanSelectByTab(c, r)) {
                        move(c, r);
                        return;
                    }
            }
            return;
        }
        if (col + span.X < lastTab) {
            for (int c = col + span.X + 1; c <= lastTab; ++c)
                if (CanSelectByTab(c, row)) {
                    move(c, row);
                    return;
                }
            if (row < lastData) {
                const int c = FirstSelectableCol(row + 1);
                move(c >= 0 ? c : FixedCols(), row + 1);
            } else {
                const int c = FirstSelectableCol(FixedRows());
                if (c >= 0) move(c, FixedRows());
                if (FNavigation->TabToNextAtEnd()) toParent = true;
            }
            return;
        }
        if (row + span.Y < lastData) {
            for (int r = row + span.Y + 1; r <= lastData; ++r)
                for (int c = FirstNavigableCol(); c < ColCount(); ++c)
                    if (IsBaseCell(c, r) && CanSelectByTab(c, r)) {
                        move(c, r);
                        return;
                    }
            return;
        }
        if (FNavigation->TabToNextAtEnd() || !FNavigation->AdvanceInsert()) {
            GotoFirstRow();
        } else {
            bool canAdd = true;
            CanAddRow(canAdd);
            if (canAdd) {
                if (FFloatingFooter->Visible()) {
                    InsertRows(RowCount() - 1, 1);
                    SetRow(RowCount() - 2);
                } else {
                    SetRowCount(RowCount() + 1);
                    SetRow(RowCount() - 1);
                }
                if (OnAutoAddRow) OnAutoAddRow(this, RowCount() - FFixedFooters - 1);
            } else {
                GotoFirstRow();
            }
        }
        const int c = FirstSelectableCol(Row());
        if (c >= 0) move(c, Row());
        if (FNavigation->TabToNextAtEnd()) toParent = true;
    };
    FLastTabCol = Col();
    FLastTabRow = Row();
    step();
    // While editing, cells that cannot be edited are skipped.
    for (int guard = ColCount() * RowCount();
         guard > 0 && !toParent && (Options().Contains(goEditing) || FEditDisable) &&
         !canEditAt(RealColIndex(Col()), Row());
         --guard)
        step();
    FLastTabCol = FLastTabRow = -1;
    if (toParent) {
        if (Parent() && Parent()->HandleAllocated())
            PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_TAB, 0);
        return false;
    }
    if (FNavigation->AdvanceAutoEdit() && !IsControlCell(RealColIndex(Col()), Row()) &&
        canEditAt(RealColIndex(Col()), Row()))
        ShowInplaceEdit();
    if (FNavigation->AlwaysEdit() && CanFocus()) SetFocus();
    return true;
}
