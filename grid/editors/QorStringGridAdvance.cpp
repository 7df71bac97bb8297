// TQorStringGrid: where the current cell goes after an edit is confirmed (Navigation's advance
// settings), Enter and Escape reaching the grid, and the incremental search of sorted grids.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/DataSettings.h"
#include "grid/render/markup/MarkupText.h"

#include <set>
#include <utility>

bool TQorStringGrid::advanceStep(int& ACol, int& ARow, bool Forward, bool& Inserted) {
    const TAdvanceDirection dir = FNavigation->AdvanceDirection();
    const bool loop = FNavigation->AdvanceOnEnterLoop();
    const int firstCol = FirstNavigableCol(), lastCol = LastTabCol();
    const int firstRow = FixedRows(), lastRow = RowCount() - 1 - FFixedFooters;
    const int rc = RealColIndexOf(ACol);
    const int span = rc >= 0 ? CellSpan(rc, ARow).X : 0;
    if (!Forward) {
        if (dir == adLeftRight) {
            if (ACol > firstCol) {
                --ACol;
            } else {
                ARow = ARow > firstRow ? ARow - 1 : lastRow;
                ACol = lastCol;
            }
        } else if (dir == adTopBottom) {
            if (ARow > firstRow) {
                --ARow;
            } else {
                ACol = ACol > firstCol ? ACol - 1 : lastCol;
                ARow = lastRow;
            }
        }
        return true;
    }
    if (dir == adLeftRight || dir == adLeftRightInRow) {
        if (ACol + span < lastCol) {
            ACol += span + 1;
        } else if (dir == adLeftRightInRow) {
            if (loop) ACol = firstCol;
        } else if (ARow < lastRow) {
            ++ARow;
            ACol = firstCol;
        } else if (FNavigation->AdvanceInsert() && !Inserted) {
            ACol = firstCol;
            bool canAdd = true;
            CanAddRow(canAdd);
            if (canAdd) {
                AddRow();
                Inserted = true;
                ++ARow;
                if (OnAutoAddRow) OnAutoAddRow(this, RowCount() - 1 - FFixedFooters);
                bool editable = false;
                for (int c = FixedCols(); c < ColCount() && !editable; ++c)
                    editable = IsEditable(RealColIndexOf(c), ARow);
                if (!editable) return false;
            }
        } else if (loop) {
            ARow = firstRow;
            ACol = firstCol;
        }
        return true;
    }
    if (ARow < lastRow) {
        ++ARow;
    } else if (dir == adTopBottomInCol) {
        ARow = firstRow;
    } else if (ACol < ColCount() - 1 - FFixedRightCols) {
        ARow = firstRow;
        if (++ACol >= ColCount()) ACol = firstCol;
        Invalidate();
    } else if (FNavigation->AdvanceInsert() && !Inserted) {
        SetColCount(ColCount() + 1);
        Inserted = true;
        ACol += span + 1;
        ARow = firstRow;
        if (OnAutoInsertCol) OnAutoInsertCol(this, ColCount() - 1);
        Invalidate();
    } else {
        ARow = firstRow;
        ACol = firstCol;
        Invalidate();
    }
    return true;
}

void TQorStringGrid::AdvanceAfterEdit(int ACol, int ARow, bool EditAfter, bool Recursing,
                                      bool Forward, bool AutoEdit, bool Force) {
    if (!FNavigation->AdvanceOnEnter() && !Force) return;
    if (FMouseActions->RangeSelectAndEdit() && !Options().Contains(goEditing))
        SetOptions(Options() + goEditing);
    if (!Recursing) {
        FAECol = ACol;
        FAERow = ARow;
    }
    FStartEditChar = 0;
    const int startCol = ACol, startRow = ARow;
    int col = ACol, row = ARow;
    bool inserted = false;
    // Read-only targets are stepped over; a cell met twice means none on the way is editable,
    // and the current cell stays where the advance started.
    std::set<std::pair<int, int>> visited{{col, row}};
    for (;;) {
        const int fromCol = col, fromRow = row;
        if (!advanceStep(col, row, Forward, inserted)) return;
        bool allow = true;
        IsEditableCell(RealColIndexOf(col), row, allow);
        if (!allow && FNavigation->AdvanceSkipReadOnlyCells()) {
            if ((col == fromCol && row == fromRow) || !visited.insert({col, row}).second) return;
            continue;
        }
        if (!allow) {
            SetCol(col);
            SetRow(row);
            break;
        }
        int newRow = row, newCol = col;
        if (OnAutoAdvance) OnAutoAdvance(this, FAERow, FAECol, newRow, newCol, allow);
        if (allow && OnCellChanging) OnCellChanging(this, FAERow, FAECol, newRow, newCol, allow);
        FlagScope disable(FDisableChange, true);
        if (allow) {
            SetCol(newCol);
            SetRow(newRow);
        } else if (Col() != FAECol || Row() != FAERow) {
            FocusCell(FAECol, FAERow, true);
        }
        break;
    }
    if (!EditAfter) return;
    const int rc = RealColIndexOf(Col());
    const bool control = IsControlCell(rc, Row());
    if ((AutoEdit && FNavigation->AdvanceAutoEdit()) || control) {
        if (!IsEditable(rc, Row())) return;
        ShowEditor();
        if (control) {
            const int startReal = RealColIndexOf(startCol);
            if (!IsControlCell(startReal, startRow)) {
                SimulateCellClick(Col(), Row());
                if (FNavigation->AdvanceDirection() != adLeftRight) HideEditor();
            }
            bool allow = true;
            if (OnCellChanging) OnCellChanging(this, startRow, startCol, Row(), Col(), allow);
            TEditorType kind = FDefaultEditor;
            GetEditorType(startReal, startRow, kind);
            if (!IsTextEditorKind(kind)) HideEditor();
        }
    }
    if (FMouseActions->DisjunctRowSelect()) {
        ClearRowSelect();
        SetRowSelect(Row(), true);
    }
}

void TQorStringGrid::walkAdvance(int ACol, int ARow, bool Forward) {
    const TAdvanceDirection dir = FNavigation->AdvanceDirection();
    FNavigation->SetAdvanceDirection(adLeftRight);
    try {
        AdvanceAfterEdit(ACol, ARow, true, false, Forward, true, true);
    } catch (...) {
        FNavigation->SetAdvanceDirection(dir);
        throw;
    }
    FNavigation->SetAdvanceDirection(dir);
}

void TQorStringGrid::editorWalk(bool Right, const std::string& Text) {
    const int col = Col(), row = Row();
    int neighbour = -1;
    if (!Right && col > FixedCols()) neighbour = col - 1;
    if (Right && col < ColCount() - FixedRightCols() - 1)
        neighbour = col + CellSpan(RealColIndex(col), row).X + 1;
    // Next to a control cell the walk steps onto it without opening an editor.
    if (neighbour >= 0 && IsControlCell(RealColIndex(neighbour), row)) {
        if (ValidateCell(Text)) {
            HideInplaceEdit();
            SetCol(neighbour);
        }
        return;
    }
    if (CanFocus()) SetFocus();
    walkAdvance(col, row, Right);
    if (FNavigation->CursorWalkAlwaysEdit()) ShowEditor();
}

void TQorStringGrid::KeyPress(char32_t& Key) {
    // The character that opened the editor, handed back by it: reported when it was typed.
    if (std::exchange(FStartCharReported, false)) return;
    auto fire = [&] {
        if (OnKeyPress) OnKeyPress(this, Key);
    };
    const int rc = RealColIndexOf(Col());
    if (Key == 27) {
        if (Options().Contains(goEditing) && FEditing) RestoreEditedCell();
        fire();
        return;
    }
    if (Key == 13) {
        if (!FNavigation->AdvanceOnEnter() && (rc < 0 || !IsEditable(rc, Row()))) {
            fire();
            Key = 0;
            return;
        }
        const bool control = rc >= 0 && IsControlCell(rc, Row());
        if (!Focused() || control) {
            AdvanceAfterEdit(Col(), Row(), FEditMode, false, true, false, false);
            if (!FNavigation->AdvanceAutoEdit()) {
                fire();
                Key = 0;
                return;
            }
            if (control) {
                fire();
                if (FNavigation->AdvanceOnEnter()) ShowInplaceEdit();
                Key = 0;
                return;
            }
        }
    }
    if (!Options().Contains(goEditing) && FNavigation->AutoGotoWhenSorted() && Key >= 8) {
        if (FNavigation->AutoGotoIncremental()) {
            if (Key == 8) {
                if (!FSearchInc.empty()) {
                    std::u32string s = Utf8ToUtf32(FSearchInc);
                    s.pop_back();
                    FSearchInc = Utf32ToUtf8(s);
                }
            } else {
                FSearchInc += Utf32ToUtf8(std::u32string(1, Key));
            }
            FSearchTics = 0;
        } else {
            FSearchInc = Utf32ToUtf8(std::u32string(1, Key));
        }
        const int found = Search(AnsiUpperCase(FSearchInc));
        if (found >= 0)
            SetRow(found);
        else
            FSearchInc.clear();
    }
    TBaseGrid::KeyPress(Key);
}

int TQorStringGrid::Search(const std::string& Value) {
    if (RowCount() < 2) return -1;
    const int col = FSortSettings->Column();
    if (col < 0 || col >= TotalColCount()) return -1;
    for (int r = FixedRows(); r < RowCount() - FFixedFooters; ++r)
        if (AnsiUpperCase(HTMLStripTags(Cells(col, r))).starts_with(Value)) return r;
    return -1;
}

int TQorStringGrid::MaxRowLineCount(int ARow) {
    if (!FMultilinecells) return 1;
    int lines = 1;
    for (int c = 0; c < TotalColCount(); ++c) lines = std::max(lines, LinesInCell(c, ARow));
    return lines;
}
