// TQorStringGrid's window procedure: the end-of-edit message, the editors' change
// notifications, wheel-click panning, the mouse wheel, and what follows a scroll (special
// editors close, cell controls follow, the synchronised grid follows).
#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "grid/render/CellGlyphs.h"
#include "grid/render/LookSettings.h"
#include "platform/base/DateUtils.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/core/Timers.h"
#include "platform/ui/core/ToolTips.h"

#include <algorithm>
#include <cstdlib>

namespace {
bool isSpinOrButtonEditor(TEditorType t) {
    switch (t) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit:
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn:
        return true;
    default:
        return false;
    }
}

// Panning cursors by direction: index [dy + 1][dx + 1].
constexpr int panCursors[3][3] = {{8006, 8004, 8005}, {8002, 8000, 8003}, {8008, 8001, 8007}};
constexpr int panDeadZone = 5;
} // namespace

void TQorStringGrid::WndProc(TMessage& Message) {
    const UINT msg = Message.Msg;
    if (msg == WM_DESTROY) {
        if (FAutoThemeAdapt && !Designing() && HandleAllocated())
            GetThemeNotifier(this)->UnRegisterWindow(Handle());
        if (FGridTimerID && HandleAllocated()) KillTimer(Handle(), FGridTimerID);
    }
    if (IsDestroying()) {
        TBaseGrid::WndProc(Message);
        return;
    }
    if (msg == CM_DESIGNHITTEST) {
        CMDesignHitTest(Message);
        return;
    }
    const TGridRect oldSel = Selection();
    auto selectionCheck = [&] {
        if (const TGridRect sel = Selection(); sel != oldSel)
            SelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
    };

    if (msg != 0 && msg == GridLibrary().GridEditDoneMessage) {
        if (OnEditCellDone) OnEditCellDone(this, int(Message.WParam), int(Message.LParam));
        if (FMouseActions->EditOnDblClickOnly()) {
            HideInplaceEdit();
            FEditMode = false;
            SetOptions(Options() - goEditing);
        }
        return;
    }

    if (msg == WM_COMMAND) {
        TWMCommand cmd(Message);
        HWND from = cmd.Ctl();
        // The notification goes back to the control that sent it, as the parent window does.
        if (from && (!HandleAllocated() || from != Handle()))
            Message.Result = SendMessage(from, CN_COMMAND, Message.WParam, Message.LParam);
        if (cmd.NotifyCode() == EN_CHANGE) {
            // The cell follows the editor's text while typing.
            if (FShowEditProcess && FEditMode && !FEditStart) {
                if (IsTextEditorKind(FEditControl) && InplaceEditor())
                    SetEditText(Col(), Row(), InplaceEditor()->Text());
                else if (isSpinOrButtonEditor(FEditControl) && EditCtrl())
                    SetEditText(Col(), Row(), EditCtrl()->Text());
            }
            return;
        }
        comboNotification(cmd);
        return;
    }

    if (msg == WM_NCPAINT) {
        TBaseGrid::WndProc(Message);
        if (FUpdateCount <= 0) DrawBorderColor();
        Message.Result = 0;
        return;
    }
    if ((msg == WM_THEMECHANGED || msg == WM_REGMONITORCHANGE) && FAutoThemeAdapt)
        FollowOfficeTheme();

    if (msg == WM_TIMER && Message.WParam == WheelPanTimerID) {
        // Only the panning timer pans; a stray tick of it after panning ended does nothing.
        if (FWheelMsg && FWheelPan && FIntelliPan != ipNone) {
            wheelPanTimer();
            selectionCheck();
        }
        return;
    }

    if (FWheelPan && (msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN ||
                      msg == WM_KEYDOWN)) {
        endWheelPan();
    } else if (msg == WM_MBUTTONDOWN && FWheelMsg && FIntelliPan != ipNone &&
               RowCount() > FixedRows()) {
        startWheelPan(LParamToPoint(Message.LParam));
    }

    if (FWheelMsg && msg == FWheelMsg && !FWheelPan) {
        mouseWheel(Message);
        selectionCheck();
        return;
    }

    const int oldRow = Row(), oldCol = Col();
    TBaseGrid::WndProc(Message);
    if (IsDestroying()) return;
    // A synchronised grid follows the current cell however it moved (mouse, keys, program).
    TStringGrid* other = FSyncGrid->Grid();
    if (!other) return;
    if (Row() != oldRow && FSyncGrid->SelectionRow() && Row() < other->RowCount())
        other->SetRow(Row());
    if (Col() != oldCol && FSyncGrid->SelectionColumn() && Col() < other->ColCount())
        other->SetCol(Col());
}

void TQorStringGrid::comboNotification(TWMCommand& cmd) {
    TCustomComboBox* combo = EditCombo();
    const bool fromCombo = combo && combo->HandleAllocated() && cmd.Ctl() == combo->Handle();
    const WORD code = cmd.NotifyCode();
    const int realCol = RealColIndexOf(Col());
    auto fireChange = [&] {
        const int i = combo->ItemIndex();
        const std::string text = i >= 0 ? combo->Items()->Get(i) : combo->Text();
        if (OnComboChange) OnComboChange(this, realCol, Row(), i, text);
        if (OnComboObjectChange)
            OnComboObjectChange(this, realCol, Row(), i, text,
                                i >= 0 ? combo->Items()->Objects(i) : nullptr);
    };
    bool fired = false;
    if (fromCombo && (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && FEditMode) {
        fireChange();
        fired = true;
    }
    if (fromCombo && code == CBN_CLOSEUP) {
        if (FMouseActions->DirectComboClose()) {
            if (int i = combo->ItemIndex(); i >= 0) combo->SetText(combo->Items()->Get(i));
            fireChange();
            FEditControl = edComboEdit;
            FEditMode = true;
            const bool direct = FMouseActions->DirectEdit();
            FMouseActions->SetDirectEdit(false);
            try {
                HideInplaceEdit();
            } catch (...) {
                FMouseActions->SetDirectEdit(direct);
                throw;
            }
            FMouseActions->SetDirectEdit(direct);
            if (CanFocus()) SetFocus();
        }
        ComboCloseUp(realCol, Row());
    }
    if (fromCombo && code == CBN_DROPDOWN) ComboDropDown(realCol, Row());
    // The combo's own edit change has fired its event above; other senders get it here once.
    if (code == CBN_EDITCHANGE && !fired && OnComboChange) {
        TWinControl* sender = FindControl(cmd.Ctl());
        OnComboChange(this, Col(), Row(), -1, sender ? sender->Text() : std::string());
    }
}

void TQorStringGrid::WMNotify(TMessage& Message) {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (hdr && (hdr->code == TTN_SHOW || hdr->code == TTN_POP)) return;
    if (hdr && hdr->code == TTN_GETDISPINFO && FBalloon->Enable()) {
        balloonText(*reinterpret_cast<NMTTDISPINFO*>(Message.LParam));
        return;
    }
    if (hdr && hdr->code == DTN_DATETIMECHANGE && OnDateTimeChange) {
        const SYSTEMTIME& st = reinterpret_cast<NMDATETIMECHANGE*>(Message.LParam)->st;
        TDateTime dt = 0, date = 0, time = 0;
        if (st.wYear && st.wMonth && st.wDay && TryEncodeDate(st.wYear, st.wMonth, st.wDay, date)) {
            TryEncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, time);
            dt = ComposeDateTime(date, time);
        }
        OnDateTimeChange(this, Col(), Row(), dt);
    }
    TBaseGrid::WMNotify(Message);
}

// --- wheel-click panning ----------------------------------------------------------------------
void TQorStringGrid::DrawWheelPanGlyph() {
    const char* name = FIntelliPan == ipVertical     ? "INTLI3"
                       : FIntelliPan == ipHorizontal ? "INTLI2"
                       : FIntelliPan == ipBoth       ? "INTLI1"
                                                     : nullptr;
    const TBitmap* glyph = name ? CellGlyph(name) : nullptr;
    if (!glyph || glyph->Empty() || !HandleAllocated()) return;
    // The colour of the glyph's top-left pixel shows as white.
    TBitmap shown(glyph->Width(), glyph->Height());
    const TColor back = glyph->PixelColor(0, 0);
    for (int y = 0; y < glyph->Height(); ++y)
        for (int x = 0; x < glyph->Width(); ++x) {
            const TColor c = glyph->PixelColor(x, y);
            shown.Canvas()->SetPixels(x, y, c == back ? TColor(clWhite) : c);
        }
    Canvas()->Draw(FWheelPanPos.X, FWheelPanPos.Y, &shown);
}

void TQorStringGrid::InvalidateWheelPanGlyph() {
    if (!HandleAllocated()) return;
    const TRect glyph = Bounds(FWheelPanPos.X, FWheelPanPos.Y, 32, 32);
    ::InvalidateRect(Handle(), &glyph, false);
}

void TQorStringGrid::startWheelPan(TPoint at) {
    FPrevCursor = Cursor();
    FWheelPanCursor = panCursors[1][1];
    SetCursor(TCursor(FWheelPanCursor));
    FWheelPan = true;
    FWheelPanPos = at;
    SetTimer(Handle(), WheelPanTimerID, WheelPanInterval);
    SetCapture(Handle());
    Application->SetShowHint(false);
    DrawWheelPanGlyph();
}

void TQorStringGrid::endWheelPan() {
    ReleaseCapture();
    if (HandleAllocated()) KillTimer(Handle(), WheelPanTimerID);
    SetCursor(FPrevCursor);
    Application->SetShowHint(true);
    FWheelPan = false;
    FWheelPanCursor = 0;
    InvalidateWheelPanGlyph();
}

void TQorStringGrid::wheelPanTimer() {
    TPoint p;
    GetCursorPos(p);
    p = ScreenToClient(p);
    auto dir = [](int d) { return d < -panDeadZone ? -1 : d > panDeadZone ? 1 : 0; };
    int dy = FIntelliPan == ipHorizontal ? 0 : dir(p.Y - FWheelPanPos.Y);
    int dx = FIntelliPan == ipVertical ? 0 : dir(p.X - FWheelPanPos.X);
    FWheelPanCursor = panCursors[dy + 1][dx + 1];
    SetCursor(TCursor(FWheelPanCursor));
    if (!dx && !dy) return;
    const int minRow = FixedRows(), maxRow = RowCount() - FFixedFooters - 1;
    const int minCol = FixedCols(), maxCol = ColCount() - FFixedRightCols - 1;
    auto inside = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    InvalidateWheelPanGlyph();
    struct Redraw {
        TQorStringGrid* g;
        ~Redraw() { g->DrawWheelPanGlyph(); }
    } redraw{this};
    if (FMouseActions->WheelAction() == waScroll) {
        if (dx && inside(LeftCol() + dx, minCol, maxCol)) SetLeftCol(LeftCol() + dx);
        if (dy && inside(TopRow() + dy, minRow, maxRow)) SetTopRow(TopRow() + dy);
    } else {
        int c = Col(), r = Row();
        if (inside(c + dx, minCol, maxCol)) c += dx;
        if (inside(r + dy, minRow, maxRow)) r += dy;
        if (c != Col() || r != Row()) FocusCell(c, r, true);
    }
}

// --- mouse wheel ------------------------------------------------------------------------------
int TQorStringGrid::WheelScrollLines() {
    return FWheelScrl < 0 ? std::max(1, VisibleRowCount()) : FWheelScrl;
}

void TQorStringGrid::mouseWheel(TMessage& Message) {
    TWMMouseWheel w(Message);
    bool Handled = true;
    // A parent that takes the wheel keeps it from the grid.
    if (Parent()) {
        if (LRESULT r = Parent()->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam)) {
            Message.Result = r;
            return;
        }
    }
    const short delta = w.WheelDelta();
    const bool down = delta < 0;
    TShiftState shift;
    if (w.Keys() & MK_SHIFT) shift.Include(ssShift);
    if (w.Keys() & MK_CONTROL) shift.Include(ssCtrl);
    if (shift.Contains(ssCtrl) && IntelliZoom()) {
        Zoom(down ? WheelScrollLines() : -WheelScrollLines());
        AutoSizeCells(true, 4, 4);
        return;
    }
    if (!FEnableWheel || (FFixedRowAlways && RowCount() == 1)) return;

    const int step =
        FMouseActions->WheelIncrement() >= 1 ? FMouseActions->WheelIncrement() : WheelScrollLines();
    const bool scroll = FMouseActions->WheelAction() == waScroll;
    const int minRow = FixedRows(), maxRow = RowCount() - FFixedFooters - 1;
    int target;
    if (scroll) {
        const int maxTop = std::max(minRow, RowCount() - VisibleRowCount());
        target = down ? (TopRow() < maxTop ? std::min(TopRow() + step, maxTop) : TopRow())
                      : std::max(minRow, TopRow() - step);
    } else {
        target = down ? Row() + step : Row() - step;
    }
    target = std::clamp(target, minRow, std::max(minRow, maxRow));
    const int from = scroll ? TopRow() : Row();
    int rowDelta = 0;
    if (target >= minRow && target <= maxRow) {
        BeginUpdate();
        try {
            if (FMouseActions->DisjunctRowSelect() && !scroll) ClearRowSelect();
            rowDelta = target - from;
            const int left = LeftCol();
            if (scroll) {
                if (target != TopRow()) SetTopRow(target);
            } else {
                if (Col() < FixedCols() || Col() > ColCount() - 1)
                    SetCol(std::clamp(Col(), FixedCols(), ColCount() - 1));
                if (target != Row()) SetRow(target);
                if (Row() != target) {
                    // A refused move stops half way.
                    int half = (target - Row()) / 2;
                    if (half) SetRow(Row() + half);
                    if (TopRow() > FixedRows()) SetTopRow(TopRow() - 1);
                }
            }
            if (Options().Contains(goRowSelect) && FNavigation->KeepHorizScroll() &&
                LeftCol() != left)
                SetLeftCol(left);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    CurrentRowMoved(rowDelta, Handled);
    if (Handled && (FMouseActions->WheelIncrement() >= 1 || FMouseActions->DisjunctRowSelect())) {
        Message.Result = 1;
        TShiftState s = shift;
        TPoint pos = w.Pos();
        if (FMouseActions->DisjunctRowSelect()) s = KeyboardStateToShiftState();
        bool h = false;
        if (down) {
            if (OnMouseWheelDown) OnMouseWheelDown(this, s, pos, h);
        } else if (OnMouseWheelUp) {
            OnMouseWheelUp(this, s, pos, h);
        }
    }
}

// --- after a scroll ---------------------------------------------------------------------------
void TQorStringGrid::TopLeftChanged() {
    TBaseGrid::TopLeftChanged();
    // A background picture or gradient is painted against the client area, not the moved
    // pixels: every cell shows a new part of it.
    if (!FBackGround->Bitmap()->Empty() ||
        ((FBackGround->Display() == bdGradientHorz || FBackGround->Display() == bdGradientVert) &&
         FBackGround->ColorTo() != clNone))
        Invalidate();
    // A special editor stays where it was opened: it closes; the text editor moves along.
    if (FEditMode && !IsTextEditorKind(FEditControl)) HideInplaceEdit();
    CellControlsUpdate(false);
    // The platform set the thumbs for fixed-size bars; proportional ones are set again.
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
    FOldLeftCol = LeftCol();
    FOldTopRow = TopRow();
    if (TStringGrid* other = FSyncGrid->Grid()) {
        if (FSyncGrid->ScrollVertical() && TopRow() < other->RowCount() &&
            TopRow() >= other->FixedRows())
            other->SetTopRow(TopRow());
        if (FSyncGrid->ScrollHorizontal() && LeftCol() < other->ColCount() &&
            LeftCol() >= other->FixedCols())
            other->SetLeftCol(LeftCol());
    }
}

void TQorStringGrid::CellControlsUpdate(bool rebuildlist) {
    if (!HandleAllocated()) return;
    if (rebuildlist) {
        while (FControlList.Count() > 0) FControlList.RemoveControl(0);
        for (int r = 0; r < RowCount(); ++r)
            for (int c = 0; c < TotalColCount(); ++c)
                if (HasCellProperties(c, r))
                    if (TControl* ctl = propsOf(c, r)->Control())
                        FControlList.AddControl(c, RealRowIndex(r), ctl);
    }
    const int visCols = VisibleColCount(), visRows = VisibleRowCount();
    // The cell scroll bar follows its cell, and folds to no height while the cell is out of view.
    if (FScrollBar && FScrollBar->Visible()) {
        const int c = DisplColIndex(FScrollCol);
        const TRect cr = CellRect(c, FScrollRow);
        const bool inView = c >= LeftCol() && c < LeftCol() + visCols && FScrollRow >= TopRow() &&
                            FScrollRow < TopRow() + visRows;
        if (inView)
            FScrollBar->SetBounds(FScrollBar->Left(), cr.Top + GridLineWidth(), FScrollBar->Width(),
                                  cr.Height() - 2 * GridLineWidth());
        else
            FScrollBar->SetBounds(FScrollBar->Left(), FScrollBar->Top(), FScrollBar->Width(), 0);
    }
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        TControl* ctl = item->Control();
        if (IsHiddenColumn(item->X()) || IsHiddenRow(item->Y())) {
            ctl->SetVisible(false);
            continue;
        }
        const int c = DisplColIndexOf(item->X()), r = DisplRowIndex(item->Y());
        const bool fixed = c < FixedCols() || r < FixedRows();
        const bool outside =
            c < LeftCol() || c > LeftCol() + visCols || r < TopRow() || r > TopRow() + visRows;
        if (outside && !fixed) {
            ctl->SetVisible(false);
            continue;
        }
        const TRect cr = CellRect(c, r);
        ctl->SetBounds(cr.Left - 1, cr.Top - 1, cr.Width() + 1, cr.Height() + 1);
        ctl->SetVisible(true);
        ctl->Invalidate();
    }
}
