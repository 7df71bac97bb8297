// Input of the grid family: the in-place editor, the keyboard and the mouse (selecting, sizing,
// moving, drag scrolling and the wheel).
#include "platform/ui/Grids.h"

#include "platform/ui/GridLayout.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>
#include <cstdlib>

using namespace grid_layout;

// --- TInplaceEdit ---------------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    SetBorderStyle(bsNone);
    SetTabStop(false);
    SetVisible(false);
    SetAutoSelect(false);
}

TInplaceEdit::~TInplaceEdit() = default;

void TInplaceEdit::Deselect() {
    int end = int(Utf8Length(Text()));
    SetSelStart(end);
}

void TInplaceEdit::Move(const TRect& Loc) {
    if (Loc.IsEmpty()) {
        Hide();
        return;
    }
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
    BoundsChanged();
    if (!Visible()) SetVisible(true);
    if (grid_ && grid_->Focused() && CanFocus()) SetFocus();
}

void TInplaceEdit::Hide() {
    if (!Visible()) return;
    // The focus goes straight back to the grid, which never left it (no CM_ENTER for the grid).
    if (Focused() && grid_ && grid_->CanFocus()) grid_->SetFocus();
    SetVisible(false);
}

bool TInplaceEdit::PosEqual(const TRect& Rect) const {
    return BoundsRect() == Rect;
}

void TInplaceEdit::UpdateContents() {
    if (!grid_) return;
    int c = grid_->Col(), r = grid_->Row();
    SetEditMask(grid_->GetEditMask(c, r));
    loadedText_ = grid_->GetEditText(c, r);
    SetText(loadedText_);
    int limit = grid_->GetEditLimit();
    SetMaxLength(std::max(0, limit));
    SetModified(false);
}

void TInplaceEdit::Reset() {
    SetText(loadedText_);
    SelectAll();
    SetModified(false);
}

void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
    if (!grid_) {
        TCustomEdit::KeyDown(Key, Shift);
        return;
    }
    auto sendToGrid = [&] {
        grid_->KeyDownFromEditor(Key, Shift);
        Key = 0;
    };
    bool forward = grid_->Options().Contains(goAlwaysShowEditor);
    bool ctrl = Shift.Contains(ssCtrl);
    int len = int(Utf8Length(Text()));
    int start = SelStart(), selLen = SelLength();
    bool leftSide = start == 0 && (selLen == 0 || selLen == len);
    bool rightSide = start + selLen == len && (selLen == 0 || start == 0);
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
        sendToGrid();
        break;
    case VK_INSERT:
        if (Shift.Empty())
            sendToGrid();
        else if (Shift == TShiftState{ssShift} && !grid_->CanEditModify())
            Key = 0;
        break;
    case VK_LEFT:
    case VK_HOME:
        if (forward && (ctrl || leftSide)) sendToGrid();
        break;
    case VK_RIGHT:
    case VK_END:
        if (forward && (ctrl || rightSide)) sendToGrid();
        break;
    case VK_F2:
        if (grid_->OnKeyDown) grid_->OnKeyDown(grid_, Key, Shift);
        if (Key == VK_F2) {
            Deselect();
            Key = 0;
            return;
        }
        break;
    case VK_TAB:
        if (!Shift.Contains(ssAlt)) sendToGrid();
        break;
    case VK_DELETE:
        if (ctrl)
            sendToGrid();
        else if (!grid_->CanEditModify())
            Key = 0;
        break;
    default:
        break;
    }
    if (Key != 0) {
        // A key that stays in the editor is shown to the grid's OnKeyDown first.
        if (grid_->OnKeyDown) grid_->OnKeyDown(grid_, Key, Shift);
        if (Key != 0) TCustomEdit::KeyDown(Key, Shift);
    }
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    if (!grid_) {
        TCustomEdit::KeyPress(Key);
        return;
    }
    grid_->KeyPress(Key);
    if (Key >= 32 && Key != 127 && !grid_->CanEditAcceptKey(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    switch (Key) {
    case 9:
    case 27:
        Key = 0;
        break;
    case 13: {
        int len = int(Utf8Length(Text()));
        if (SelStart() == 0 && SelLength() == len)
            Deselect();
        else
            SelectAll();
        Key = 0;
        break;
    }
    case 8:
    case 22: // Ctrl+V
    case 24: // Ctrl+X
        if (!grid_->CanEditModify()) Key = 0;
        break;
    default:
        if (Key >= 32 && !grid_->CanEditModify()) Key = 0;
        break;
    }
    if (Key != 0) TCustomEdit::KeyPress(Key);
}

void TInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
    if (grid_)
        grid_->KeyUp(Key, Shift);
    else
        TCustomEdit::KeyUp(Key, Shift);
}

void TInplaceEdit::DblClick() {
    if (grid_)
        grid_->DblClick();
    else
        TCustomEdit::DblClick();
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
    TCustomEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (grid_ && grid_->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
}

// --- keyboard ----------------------------------------------------------------------------------

bool TCustomGrid::SelectCell(int, int) {
    return true;
}

WORD TCustomGrid::LayoutKey(WORD Key) const {
    if (!UseRightToLeftAlignment()) return Key;
    return Key == VK_LEFT ? VK_RIGHT : Key == VK_RIGHT ? VK_LEFT : Key;
}

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    if (!CanGridAcceptKey(Key, Shift)) {
        Key = 0;
        return;
    }
    TGridDrawInfo di;
    CalcDrawInfo(di);
    bool rowSelect = options_.Contains(goRowSelect);
    int pageH = std::max(1, di.Vert.LastFullVisibleCell - topLeft_.Y + 1);
    TGridCoord newTL = topLeft_, cur = current_;
    bool extendable = false;
    if (Shift.Contains(ssCtrl)) {
        switch (LayoutKey(Key)) {
        case VK_UP:
            --newTL.Y;
            break;
        case VK_DOWN:
            ++newTL.Y;
            break;
        case VK_LEFT:
            if (rowSelect)
                --newTL.X;
            else {
                cur.X = fixedCols_;
                extendable = true;
            }
            break;
        case VK_RIGHT:
            if (rowSelect)
                ++newTL.X;
            else {
                cur.X = colCount_ - 1;
                extendable = true;
            }
            break;
        case VK_PRIOR:
            cur.Y = topLeft_.Y;
            extendable = true;
            break;
        case VK_NEXT:
            cur.Y = std::max(topLeft_.Y, di.Vert.LastFullVisibleCell);
            extendable = true;
            break;
        case VK_HOME:
            cur = {fixedCols_, fixedRows_};
            extendable = true;
            break;
        case VK_END:
            cur = {colCount_ - 1, rowCount_ - 1};
            extendable = true;
            break;
        default:
            break;
        }
    } else {
        switch (LayoutKey(Key)) {
        case VK_UP:
            --cur.Y;
            extendable = true;
            break;
        case VK_DOWN:
            ++cur.Y;
            extendable = true;
            break;
        case VK_LEFT:
            if (rowSelect)
                --newTL.X;
            else {
                --cur.X;
                extendable = true;
            }
            break;
        case VK_RIGHT:
            if (rowSelect)
                ++newTL.X;
            else {
                ++cur.X;
                extendable = true;
            }
            break;
        case VK_NEXT:
            cur.Y += pageH;
            newTL.Y += pageH;
            extendable = true;
            break;
        case VK_PRIOR:
            cur.Y -= pageH;
            newTL.Y -= pageH;
            extendable = true;
            break;
        case VK_HOME:
            if (rowSelect)
                newTL.X = fixedCols_;
            else {
                cur.X = fixedCols_;
                extendable = true;
            }
            break;
        case VK_END:
            if (rowSelect)
                newTL.X = colCount_ - 1;
            else {
                cur.X = colCount_ - 1;
                extendable = true;
            }
            break;
        case VK_TAB:
            if (options_.Contains(goTabs) && !rowSelect && !Shift.Contains(ssAlt)) {
                bool back = Shift.Contains(ssShift);
                for (int n = 0; n < colCount_ * 2; ++n) {
                    if (back) {
                        if (--cur.X < fixedCols_) {
                            cur.X = colCount_ - 1;
                            if (--cur.Y < fixedRows_) cur.Y = rowCount_ - 1;
                        }
                    } else if (++cur.X >= colCount_) {
                        cur.X = fixedCols_;
                        if (++cur.Y >= rowCount_) cur.Y = fixedRows_;
                    }
                    if (TabStops(cur.X)) break;
                }
            }
            break;
        case VK_F2:
            SetEditorMode(true);
            break;
        case VK_ESCAPE:
            // Cancels the edit: the cell keeps the text it had.
            if (FInplaceEdit && FInplaceEdit->Visible()) {
                FInplaceEdit->Reset();
                if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
                Key = 0;
            }
            break;
        default:
            break;
        }
    }
    TGridCoord maxTL = CalcMaxTopLeft({colCount_ - 1, rowCount_ - 1}, di);
    maxTL.X = std::max(maxTL.X, fixedCols_);
    maxTL.Y = std::max(maxTL.Y, fixedRows_);
    newTL.X = std::max(fixedCols_, std::min(newTL.X, maxTL.X));
    newTL.Y = std::max(fixedRows_, std::min(newTL.Y, maxTL.Y));
    cur.X = std::max(fixedCols_, std::min(cur.X, colCount_ - 1));
    cur.Y = std::max(fixedRows_, std::min(cur.Y, rowCount_ - 1));
    if (rowSelect) cur.X = current_.X;
    if (newTL != topLeft_) MoveTopLeft(newTL.X, newTL.Y);
    if (cur != current_) {
        bool extend = extendable && Shift.Contains(ssShift) && options_.Contains(goRangeSelect);
        FocusCell(cur.X, cur.Y, !extend);
    }
}

void TCustomGrid::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 13 && options_.Contains(goEditing) && !options_.Contains(goAlwaysShowEditor)) {
        if (editorMode_)
            HideEditor();
        else
            ShowEditor();
        Key = 0;
    }
}

void TCustomGrid::WMChar(TWMKey& Message) {
    char32_t ch = char32_t(Message.CharCode());
    if (options_.Contains(goEditing) && (ch == 8 || (ch >= 32 && ch != 127)) && !editorMode_) {
        ShowEditorChar(ch);
        return;
    }
    TCustomControl::WMChar(Message);
}

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
    if (!options_.Contains(goRowSelect)) {
        if (options_.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
        if (options_.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
    }
}

void TCustomGrid::WMSetFocus(TWMSetFocus& Message) {
    TCustomControl::WMSetFocus(Message);
    if (!FInplaceEdit || !FInplaceEdit->HandleAllocated() ||
        Message.FocusedWnd() != FInplaceEdit->Handle()) {
        InvalidateRect(Selection());
        UpdateEdit();
    }
}

void TCustomGrid::WMKillFocus(TWMKillFocus& Message) {
    TCustomControl::WMKillFocus(Message);
    InvalidateRect(Selection());
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
}

// --- mouse -------------------------------------------------------------------------------------

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                  int& SizingOfs, TGridDrawInfo& FixedInfo) {
    State = gsNormal;
    Index = -1;
    X = ClientToLayoutX(X);
    auto axisState = [&](const TGridAxisDrawInfo& a, int pos, TGridState newState) {
        int lw = a.EffectiveLineWidth;
        int line = 0;
        auto test = [&](int i) {
            line += extentOf(a, i);
            if (line > a.GridBoundary) return true;
            if (pos >= line - 2 && pos <= line + lw + 2) {
                State = newState;
                Index = i;
                SizingPos = line;
                SizingOfs = line - pos;
                return true;
            }
            line += lw;
            return false;
        };
        for (int i = 0; i < a.FixedCellCount; ++i)
            if (test(i)) return;
        for (int i = a.FirstGridCell; i < a.GridCellCount; ++i)
            if (test(i)) return;
    };
    if (options_.Contains(goRowSizing) && X < FixedInfo.Horz.FixedBoundary)
        axisState(FixedInfo.Vert, Y, gsRowSizing);
    if (State == gsNormal && options_.Contains(goColSizing) && Y < FixedInfo.Vert.FixedBoundary)
        axisState(FixedInfo.Horz, X, gsColSizing);
}

void TCustomGrid::drawSizingLine() {
    TRect r = LayoutToClient(FGridState == gsColSizing
                                 ? Rect(FSizingPos, 0, FSizingPos + 1, CellAreaHeight())
                                 : Rect(0, FSizingPos, CellAreaWidth(), FSizingPos + 1));
    InvertRect(Canvas(), r);
    sizingLineShown_ = !sizingLineShown_;
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!(ComponentState() & csDesigning) && CanFocus() && !Focused() && !IsActiveControl())
        SetFocus();
    lastMouse_ = {X, Y};
    if (Button == mbLeft && scrollBarMouseDown({X, Y})) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (Button == mbLeft && Shift.Contains(ssDouble)) {
        DblClick();
        // The second press of a double click on the current cell opens its editor, as the
        // second of two slower clicks does.
        TGridDrawInfo di;
        CalcDrawInfo(di);
        if (options_.Contains(goEditing) && CalcCoordFromPoint(X, Y, di) == current_ &&
            !EditorMode())
            ShowEditor();
    } else if (Button == mbLeft) {
        TGridDrawInfo di;
        CalcDrawInfo(di);
        TGridState state = gsNormal;
        int index = -1, pos = 0, ofs = 0;
        CalcSizingState(X, Y, state, index, pos, ofs, di);
        if (state != gsNormal) {
            FGridState = state;
            FSizingIndex = index;
            FSizingPos = pos;
            FSizingOfs = ofs;
            drawSizingLine();
        } else {
            TGridCoord hit = CalcCoordFromPoint(X, Y, di);
            if (hit.X >= 0 && hit.Y >= 0) {
                if (options_.Contains(goColMoving) && hit.Y < fixedRows_ && hit.X >= fixedCols_) {
                    FGridState = gsColMoving;
                    FMoveIndex = FMovePos = hit.X;
                    timerRunning_ =
                        SetTimer(Handle(), GridDragScrollTimerID, GridDragScrollInterval) != 0;
                } else if (options_.Contains(goRowMoving) && hit.X < fixedCols_ &&
                           hit.Y >= fixedRows_) {
                    FGridState = gsRowMoving;
                    FMoveIndex = FMovePos = hit.Y;
                    timerRunning_ =
                        SetTimer(Handle(), GridDragScrollTimerID, GridDragScrollInterval) != 0;
                } else if (hit.X >= fixedCols_ && hit.Y >= fixedRows_) {
                    if (options_.Contains(goEditing) && hit == current_ &&
                        !Shift.Contains(ssShift)) {
                        ShowEditor();
                    } else {
                        if (Shift.Contains(ssShift) && options_.Contains(goRangeSelect))
                            MoveAnchor(hit);
                        else
                            MoveColRow(hit.X, hit.Y, true, true);
                        FGridState = gsSelecting;
                        timerRunning_ =
                            SetTimer(Handle(), GridDragScrollTimerID, GridDragScrollInterval) != 0;
                    }
                }
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    lastMouse_ = {X, Y};
    if (thumbDrag_ != 0) {
        bool vertical = thumbDrag_ == 2;
        TRect bar = scrollBarRect(vertical);
        int at = (vertical ? Y - bar.Top : X - bar.Left) - thumbDragOfs_ - SystemScrollBarSize;
        int pos = thumbPosAt(vertical, at);
        if (pos != thumbDragPos_) {
            thumbDragPos_ = pos;
            sendScroll(vertical, SB_THUMBTRACK, pos);
        }
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    TGridDrawInfo di;
    CalcDrawInfo(di);
    switch (FGridState) {
    case gsSelecting: {
        TGridCoord hit = CalcCoordFromPoint(X, Y, di);
        if (hit.X >= fixedCols_ && hit.Y >= fixedRows_ &&
            hit.X <= di.Horz.LastFullVisibleCell + 1 && hit.Y <= di.Vert.LastFullVisibleCell + 1) {
            if (options_.Contains(goRangeSelect))
                MoveAnchor(hit);
            else if (hit != current_)
                MoveColRow(hit.X, hit.Y, true, true);
        }
        break;
    }
    case gsColSizing:
    case gsRowSizing:
        if (sizingLineShown_) drawSizingLine();
        FSizingPos = (FGridState == gsColSizing ? ClientToLayoutX(X) : Y) + FSizingOfs;
        drawSizingLine();
        break;
    case gsColMoving: {
        int c = cellAt(di.Horz, ClientToLayoutX(X));
        if (c >= fixedCols_) FMovePos = c;
        break;
    }
    case gsRowMoving: {
        int r = cellAt(di.Vert, Y);
        if (r >= fixedRows_) FMovePos = r;
        break;
    }
    default:
        break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (thumbDrag_ != 0) {
        bool vertical = thumbDrag_ == 2;
        thumbDrag_ = 0;
        sendScroll(vertical, SB_THUMBPOSITION, thumbDragPos_);
        sendScroll(vertical, SB_ENDSCROLL);
        TCustomControl::MouseUp(Button, Shift, X, Y);
        return;
    }
    auto stopTimer = [this] {
        if (timerRunning_ && HandleAllocated()) KillTimer(Handle(), GridDragScrollTimerID);
        timerRunning_ = false;
    };
    switch (FGridState) {
    case gsSelecting:
        MouseMove(Shift, X, Y);
        stopTimer();
        FGridState = gsNormal;
        UpdateEdit();
        Click();
        break;
    case gsColSizing:
    case gsRowSizing: {
        if (sizingLineShown_) drawSizingLine();
        TGridState state = FGridState;
        FSizingPos = (state == gsColSizing ? ClientToLayoutX(X) : Y) + FSizingOfs;
        FGridState = gsNormal;
        TGridDrawInfo di;
        CalcDrawInfo(di);
        const TGridAxisDrawInfo& a = state == gsColSizing ? di.Horz : di.Vert;
        int start = cellStart(a, FSizingIndex);
        if (start >= 0) {
            int size = FSizingPos - start;
            if (size > 1) {
                if (state == gsColSizing)
                    SetColWidths(FSizingIndex, size);
                else
                    SetRowHeights(FSizingIndex, size);
            }
        }
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        TGridState state = FGridState;
        stopTimer();
        FGridState = gsNormal;
        if (FMoveIndex != FMovePos) {
            if (state == gsColMoving)
                MoveColumn(FMoveIndex, FMovePos);
            else
                MoveRow(FMoveIndex, FMovePos);
        }
        UpdateEdit();
        break;
    }
    default:
        break;
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::WMCancelMode(TWMNoParams& Message) {
    TCustomControl::WMCancelMode(Message);
    thumbDrag_ = 0;
    if (sizingLineShown_) drawSizingLine();
    if (timerRunning_ && HandleAllocated()) KillTimer(Handle(), GridDragScrollTimerID);
    timerRunning_ = false;
    FGridState = gsNormal;
}

void TCustomGrid::WMTimer(TWMTimer& Message) {
    if (Message.TimerID() != GridDragScrollTimerID) {
        TCustomControl::WMTimer(Message);
        return;
    }
    if (FGridState != gsSelecting && FGridState != gsColMoving && FGridState != gsRowMoving) {
        if (timerRunning_) KillTimer(Handle(), GridDragScrollTimerID);
        timerRunning_ = false;
        return;
    }
    dragScroll();
}

// One drag-scroll step: the pointer beyond an edge of the cells scrolls one cell that way.
void TCustomGrid::dragScroll() {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    TGridCoord maxTL = CalcMaxTopLeft({colCount_ - 1, rowCount_ - 1}, di);
    TPoint p{ClientToLayoutX(lastMouse_.X), lastMouse_.Y};
    TGridCoord tl = topLeft_;
    bool horz = FGridState != gsRowMoving, vert = FGridState != gsColMoving;
    if (horz) {
        if (p.X < di.Horz.FixedBoundary && tl.X > fixedCols_)
            --tl.X;
        else if (p.X >= di.Horz.FullVisBoundary && p.X >= di.Horz.GridBoundary - 1 &&
                 tl.X < maxTL.X)
            ++tl.X;
    }
    if (vert) {
        if (p.Y < di.Vert.FixedBoundary && tl.Y > fixedRows_)
            --tl.Y;
        else if (p.Y >= di.Vert.FullVisBoundary && p.Y >= di.Vert.GridBoundary - 1 &&
                 tl.Y < maxTL.Y)
            ++tl.Y;
    }
    if (tl == topLeft_) return;
    MoveTopLeft(tl.X, tl.Y);
    CalcDrawInfo(di);
    // Extend the selection (or the move target) to the cell now at the edge.
    auto edge = [](const TGridAxisDrawInfo& a, int pos) {
        if (pos < a.FixedBoundary) return a.FirstGridCell;
        int c = cellAt(a, pos);
        return c >= 0 ? c : std::max(a.FirstGridCell, a.LastFullVisibleCell);
    };
    TGridCoord hit{edge(di.Horz, p.X), edge(di.Vert, p.Y)};
    if (FGridState == gsSelecting) {
        if (options_.Contains(goRangeSelect))
            MoveAnchor(hit);
        else
            MoveColRow(hit.X, hit.Y, true, false);
    } else if (FGridState == gsColMoving) {
        FMovePos = hit.X;
    } else {
        FMovePos = hit.Y;
    }
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    int notches = std::max(1, std::abs(WheelDelta) / 120);
    bool handled = false;
    for (int i = 0; i < notches; ++i)
        handled = (WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos)
                                  : DoMouseWheelUp(Shift, MousePos)) ||
                  handled;
    return handled;
}

bool TCustomGrid::DoMouseWheelDown(TShiftState, TPoint) {
    if (current_.Y < rowCount_ - 1) SetRow(current_.Y + 1);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState, TPoint) {
    if (current_.Y > fixedRows_) SetRow(current_.Y - 1);
    return true;
}

// A press on a scroll bar scrolls (arrows by a line, the track by a page) or starts dragging
// the thumb; presses in the bar area never reach the cells.
bool TCustomGrid::scrollBarMouseDown(TPoint p) {
    for (bool vertical : {true, false}) {
        int part = (vertical ? vScroll_ : hScroll_).Enabled ? scrollBarPart(vertical, p) : 0;
        switch (part) {
        case 1:
            sendScroll(vertical, SB_LINEUP);
            break;
        case 2:
            sendScroll(vertical, SB_PAGEUP);
            break;
        case 4:
            sendScroll(vertical, SB_PAGEDOWN);
            break;
        case 5:
            sendScroll(vertical, SB_LINEDOWN);
            break;
        case 3: {
            TRect thumb = thumbRect(vertical);
            thumbDrag_ = vertical ? 2 : 1;
            thumbDragOfs_ = vertical ? p.Y - thumb.Top : p.X - thumb.Left;
            thumbDragPos_ = (vertical ? vScroll_ : hScroll_).Position;
            break;
        }
        default:
            continue;
        }
        if (part != 3) sendScroll(vertical, SB_ENDSCROLL);
        return true;
    }
    return p.X >= CellAreaWidth() || p.Y >= CellAreaHeight();
}
