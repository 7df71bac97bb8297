// String grid scrolling: scroll types (window, flat and painted bars), proportional thumbs, the
// scroll messages with their position hints, scrolling a cell into view, the bars that
// ScrollBarAlways keeps, and scrolling while something is dragged over the grid.
#include "grid/core/QorStringGrid.h"
#include "grid/core/ScrollControl.h"
#include "grid/data/DataSettings.h"
#include "grid/data/SearchPanel.h"
#include "grid/render/HTMLHintWindow.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/core/SysInfo.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Flat scroll bars: the common controls library offers them by name when it has them; a
// missing library or function makes every call a no-op, and the window bars stay.
constexpr int WSB_PROP_CYHSCROLL = 0x2, WSB_PROP_CXVSCROLL = 0x8, WSB_PROP_VBKGCOLOR = 0x40,
              WSB_PROP_HBKGCOLOR = 0x80, WSB_PROP_VSTYLE = 0x100, WSB_PROP_HSTYLE = 0x200;
constexpr int FSB_FLAT_MODE = 2, FSB_ENCARTA_MODE = 1, FSB_REGULAR_MODE = 0;
constexpr int SB_HORZ = 0, SB_VERT = 1;

template <typename Fn> Fn flatFunction(const char* name) {
    HMODULE module = GetModuleHandle("comctl32.dll");
    return module ? reinterpret_cast<Fn>(GetProcAddress(module, name)) : nullptr;
}

struct FlatScrollInfo {
    int Min, Max, Page, Pos;
};

bool initializeFlatSB(HWND h) {
    auto f = flatFunction<int (*)(HWND)>("InitializeFlatSB");
    if (f) f(h);
    return f != nullptr;
}

void uninitializeFlatSB(HWND h) {
    if (auto f = flatFunction<int (*)(HWND)>("UninitializeFlatSB")) f(h);
}

void flatSetProp(HWND h, int index, int value) {
    if (auto f = flatFunction<int (*)(HWND, int, int, int)>("FlatSB_SetScrollProp"))
        f(h, index, value, 1);
}

void flatSetInfo(HWND h, int bar, const FlatScrollInfo& info) {
    if (auto f =
            flatFunction<int (*)(HWND, int, const FlatScrollInfo*, int)>("FlatSB_SetScrollInfo"))
        f(h, bar, &info, 1);
}

void flatShow(HWND h, int bar, bool show) {
    if (auto f = flatFunction<int (*)(HWND, int, int)>("FlatSB_ShowScrollBar"))
        f(h, bar, show ? 1 : 0);
}

bool hasHorz(TScrollStyle s) {
    return s == ssHorizontal || s == ssBoth;
}

bool hasVert(TScrollStyle s) {
    return s == ssVertical || s == ssBoth;
}

} // namespace

// --- scroll types and flat bars ------------------------------------------------------------

void TQorStringGrid::applyFlatBars() {
    if (!FIsFlat || !HandleAllocated()) return;
    const HWND h = Handle();
    if (FScrollType != ssMetro) {
        const int mode = FScrollType == ssFlat      ? FSB_FLAT_MODE
                         : FScrollType == ssEncarta ? FSB_ENCARTA_MODE
                                                    : FSB_REGULAR_MODE;
        flatSetProp(h, WSB_PROP_VSTYLE, mode);
        flatSetProp(h, WSB_PROP_HSTYLE, mode);
    }
    if (FScrollColor != clNone) {
        flatSetProp(h, WSB_PROP_VBKGCOLOR, int(FScrollColor));
        flatSetProp(h, WSB_PROP_HBKGCOLOR, int(FScrollColor));
    }
    flatSetProp(h, WSB_PROP_CXVSCROLL, FScrollWidth);
    flatSetProp(h, WSB_PROP_CYHSCROLL, FScrollWidth);
}

void TQorStringGrid::SetScrollType(TScrollType v) {
    if (v == FScrollType) return;
    FScrollType = v;
    if (v == ssFlat || v == ssEncarta) {
        FIsFlat = HandleAllocated() && initializeFlatSB(Handle());
        applyFlatBars();
        if (FIsFlat) {
            if (hasHorz(ScrollBars()))
                flatShow(Handle(), SB_HORZ, VisibleColCount() + FixedCols() < ColCount());
            if (hasVert(ScrollBars()))
                flatShow(Handle(), SB_VERT, VisibleRowCount() + FixedRows() < RowCount());
            UpdateFlatHScroll();
            UpdateFlatVScroll();
        }
    } else {
        if (FIsFlat && HandleAllocated()) uninitializeFlatSB(Handle());
        FIsFlat = false;
    }
    if (HandleAllocated()) {
        if (v == ssMetro) {
            for (bool vertical : {true, false}) {
                TScrollControl*& indicator = vertical ? FVScrlCtrl : FHScrlCtrl;
                if (indicator) continue;
                indicator = new TScrollControl(this);
                indicator->SetDirection(vertical ? sdVertical : sdHorizontal);
                indicator->SetParent(this);
                if (vertical) {
                    indicator->SetWidth(6);
                    indicator->SetAlign(alRight);
                } else {
                    indicator->SetHeight(6);
                    indicator->SetAlign(alBottom);
                }
                indicator->SetVisible(true);
            }
            SetScrollBars(ssNone);
        } else {
            delete FVScrlCtrl;
            delete FHScrlCtrl;
            FVScrlCtrl = FHScrlCtrl = nullptr;
            SetScrollBars(ssBoth);
        }
    }
    applyFlatBars();
}

void TQorStringGrid::SetScrollColor(TColor v) {
    FScrollColor = v;
    applyFlatBars();
}

void TQorStringGrid::SetScrollWidth(int v) {
    FScrollWidth = v;
    applyFlatBars();
}

void TQorStringGrid::UpdateFlatVScroll() {
    if (!FIsFlat || !HandleAllocated() || !hasVert(ScrollBars())) return;
    const TGridScrollBar b = VertScrollBar();
    flatSetInfo(Handle(), SB_VERT, {b.Min, b.Max, b.Page, b.Position});
}

void TQorStringGrid::UpdateFlatHScroll() {
    if (!FIsFlat || !HandleAllocated() || !hasHorz(ScrollBars())) return;
    const TGridScrollBar b = HorzScrollBar();
    flatSetInfo(Handle(), SB_HORZ, {b.Min, b.Max, b.Page, b.Position});
}

// --- proportional thumbs -------------------------------------------------------------------

void TQorStringGrid::SetScrollProportional(bool v) {
    FScrollProportional = v;
    if (v) {
        UpdateProportionalVScroll();
        UpdateProportionalHScroll();
        return;
    }
    // The thumbs go back to their fixed size (and the flat bars away with plain bars).
    if (FIsFlat && FScrollType == ssNormal) {
        if (HandleAllocated()) uninitializeFlatSB(Handle());
        FIsFlat = false;
    }
    for (bool vertical : {true, false}) SetScrollBarRange(vertical, 0, GridThumbRange, 0);
    UpdateScrollPos();
}

void TQorStringGrid::UpdateProportionalVScroll() {
    if (!FScrollProportional || Loading() || Designing() || FScrollLock) return;
    if (VisibleRowCount() + FixedRows() >= RowCount()) return;
    const long long w = GridLineWidth();
    long long F = w, T = w, L = w;
    for (int r = 0; r < FixedRows(); ++r) F += RowHeights(r) + w;
    TGridDrawInfo di;
    CalcDrawInfo(di);
    if (const int u = di.Vert.Extents->Uniform(); u >= 0) {
        // Rows of the default height are counted, not walked: long grids scroll at every move.
        T += (long long)(RowCount() - FixedRows()) * (u + w);
        L += (long long)std::max(0, TopRow() - FixedRows()) * (u + w);
    } else {
        for (int r = FixedRows(); r < RowCount(); ++r) {
            T += RowHeights(r) + w;
            if (r < TopRow()) L += RowHeights(r) + w;
        }
    }
    if (T == 0) return;
    const long long h = CellAreaHeight();
    const float ratio = float(h - F) / float(T);
    if (!(ratio < 0.9999f)) return;
    const double max = (127 + ratio) / (1 - ratio);
    const double pos = h < T ? double(L) / double(T - h) * 128 : 127;
    const int nMax = int(max);
    SetScrollBarRange(true, 0, nMax, nMax - 126);
    SetScrollBarPosition(true, int(pos));
    UpdateFlatVScroll();
}

void TQorStringGrid::UpdateProportionalHScroll() {
    if (!FScrollProportional || Loading() || Designing() || FScrollLock) return;
    const long long w = GridLineWidth();
    long long F = w, T = w, L = w;
    for (int c = 0; c < FixedCols(); ++c) F += ColWidths(c) + w;
    for (int c = FixedCols(); c < ColCount(); ++c) {
        T += ColWidths(c) + w;
        if (c < LeftCol()) L += ColWidths(c) + w;
    }
    const long long width = CellAreaWidth();
    const float ratio = float(width - F) / float(T);
    if (!(ratio < 0.9999f)) return;
    const double max = (127 + ratio) / (1 - ratio);
    const double pos = width < T ? double(L) / double(T - width) * 128 : HorzScrollBar().Position;
    if (T + F - width < 5) return;
    const int nMax = int(max);
    SetScrollBarRange(false, 0, nMax, nMax - 126);
    SetScrollBarPosition(false, int(pos));
    UpdateFlatHScroll();
}

// --- bars kept by ScrollBarAlways ------------------------------------------------------------

void TQorStringGrid::SetScrollBarAlways(TScrollBarAlways v) {
    FScrollBarAlways = v;
    UpdateScrollBarsAlways(true);
}

void TQorStringGrid::UpdateScrollBarsAlways(bool Hide) {
    const bool keepV = FScrollBarAlways == saVert || FScrollBarAlways == saBoth;
    const bool keepH = FScrollBarAlways == saHorz || FScrollBarAlways == saBoth;
    if (FScrollBarAlways == saNone && !Hide) return;
    SetScrollBarShow(true, keepV ? sbsAlways : sbsAuto);
    SetScrollBarShow(false, keepH ? sbsAlways : sbsAuto);
    // A bar kept with nothing to scroll shows disabled.
    EnableScrollBar(true, VisibleRowCount() + FixedRows() < RowCount());
    EnableScrollBar(false, VisibleColCount() + FixedCols() < ColCount());
}

// --- scroll messages ---------------------------------------------------------------------------

TGridCoord TQorStringGrid::maxTopLeft() {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    const TGridCoord m = CalcMaxTopLeft({ColCount() - 1, RowCount() - 1}, di);
    return {std::max(FixedCols(), m.X), std::max(FixedRows(), m.Y)};
}

// The hint while a thumb is dragged: the row (column) the grid lands on at thumb position Pos.
void TQorStringGrid::scrollHint(bool Vertical, int Pos) {
    // The same mapping the grid scrolls by, so that the hint names the row it lands on.
    const TGridCoord maxTL = maxTopLeft();
    const int fixed = Vertical ? FixedRows() : FixedCols();
    const int last = std::max(fixed, Vertical ? maxTL.Y : maxTL.X);
    const int index = fixed + MulDiv(Pos, last - fixed, GridThumbRange);
    std::string text = (Vertical ? "Row : " : "Col : ") + std::to_string(index);
    if (OnScrollHint) OnScrollHint(this, index, text);
    if (!FScrollHintWnd) FScrollHintWnd = new THTMLHintWindow(this);
    FScrollHintWnd->SetColor(FHintColor);
    TRect r = FScrollHintWnd->CalcHintRect(100, text);
    TPoint cursor;
    GetCursorPos(cursor);
    OffsetRect(r, cursor.X + 10, cursor.Y);
    FScrollHintWnd->ActivateHint(r, text);
    FScrollHintShow = true;
}

void TQorStringGrid::WMHScroll(TWMScroll& Message) {
    const WORD code = Message.ScrollCode();
    if (FScrollHints == shHorizontal || FScrollHints == shBoth) {
        if (code == SB_ENDSCROLL && FScrollHintShow && FScrollHintWnd) {
            FScrollHintWnd->ReleaseHandle();
            FScrollHintShow = false;
        } else if (code == SB_THUMBTRACK) {
            scrollHint(false, Message.Pos());
        }
    }
    if (code == SB_THUMBPOSITION && FIsFlat) {
        // Flat bars report the thumb's start over a shorter track.
        const int v = int(std::lround(VisibleColCount() * 128.0 / std::max(1, ColCount())));
        if (v != 128) {
            const int pos = int(std::nearbyint(Message.Pos() * 127.0 / (128 - v)));
            Message.M.WParam = WPARAM(code) | (WPARAM(WORD(pos)) << 16);
        }
    }
    const int maxLeft = maxTopLeft().X;
    const int mapped = FixedCols() + MulDiv(Message.Pos(), maxLeft - FixedCols(), GridThumbRange);
    if (code == SB_THUMBTRACK && FScrollSynch && mapped < ColCount()) SetLeftCol(mapped);
    if (FixedCols() == 0 && mapped >= Col() && EditMode()) HideInplaceEdit();
    TBaseGrid::WMHScroll(Message);
    if (code == SB_ENDSCROLL && ColCount() == 1) Invalidate();
    if (code == SB_ENDSCROLL && UseRightToLeftAlignment() && FMergeCount > 0) Invalidate();
    UpdateFlatHScroll();
    UpdateFlatVScroll();
    if (EditMode() && HasCheckBox(RealCol(), Row())) HideInplaceEdit();
    UpdateFooter();
}

void TQorStringGrid::WMVScroll(TWMScroll& Message) {
    if (Designing()) {
        TBaseGrid::WMVScroll(Message);
        return;
    }
    const WORD code = Message.ScrollCode();
    if (FScrollBar && FScrollBar->HandleAllocated() &&
        Message.ScrollBar() == FScrollBar->Handle()) {
        const int before = FScrollBar->Position();
        FScrollBar->Perform(CN_VSCROLL, Message.M.WParam, Message.M.LParam);
        // The bar moves 10 a line and 100 a page from where it stood.
        int pos = before;
        switch (code) {
        case SB_LINEUP:
            pos = std::max(before - 10, FScrollBar->Min());
            break;
        case SB_LINEDOWN:
            pos = std::min(before + 10, FScrollBar->Max());
            break;
        case SB_PAGEUP:
            pos = before - 100;
            break;
        case SB_PAGEDOWN:
            pos = before + 100;
            break;
        case SB_THUMBTRACK:
            pos = Message.Pos();
            break;
        default:
            break;
        }
        FScrollBar->SetPosition(pos);
        if (FScrollBar->Position() != before) {
            Message.M.Result = 1;
            SetScrollPosition(FScrollCol, FScrollRow, FScrollBar->Position());
            RepaintCell(DisplColIndex(FScrollCol), FScrollRow);
            ScrollCell(FScrollCol, FScrollRow, FScrollBar->Position(), FScrollBar->Min(),
                       FScrollBar->Max());
        }
        return;
    }
    if (FScrollHints == shVertical || FScrollHints == shBoth) {
        if (code == SB_ENDSCROLL && FScrollHintShow && FScrollHintWnd) {
            FScrollHintWnd->ReleaseHandle();
            FScrollHintShow = false;
        } else if (code == SB_THUMBTRACK) {
            scrollHint(true, Message.Pos());
        }
    }
    if (code == SB_THUMBTRACK && FScrollSynch) {
        const int maxTop = maxTopLeft().Y;
        SetTopRow(FixedRows() + MulDiv(Message.Pos(), maxTop - FixedRows(), GridThumbRange));
    }
    // Below a search footer the rows go no further once the last one shows above it.
    const bool footer = FSearchFooter->Visible();
    const bool down = code == SB_ENDSCROLL || code == SB_LINEDOWN;
    if (footer && down && IsLastRowAboveSearchFooter()) {
        Message.M.Result = 1;
        return;
    }
    TBaseGrid::WMVScroll(Message);
    if (footer && TopRow() == RowCount() - VisibleRowCount()) {
        if (code == SB_LINEUP)
            SetTopRow(TopRow() - 1);
        else if (down)
            KeepRowAboveSearchFooter();
    }
    UpdateFlatVScroll();
    UpdateFlatHScroll();
    if (EditMode() && HasCheckBox(RealCol(), Row())) HideInplaceEdit();
}

void TQorStringGrid::ScrollCell(int ACol, int ARow, int ScrollPosition, int ScrollMin,
                                int ScrollMax) {
    if (OnScrollCell) OnScrollCell(this, ACol, ARow, ScrollPosition, ScrollMin, ScrollMax);
}

// --- scrolling a cell into view --------------------------------------------------------------

void TQorStringGrid::ScrollInView(int ColIndex, int RowIndex) {
    if (ColIndex < 0 || RowIndex < 0 || ColIndex >= ColCount() || RowIndex >= RowCount()) return;
    const int visCols = VisibleColCount(), visRows = VisibleRowCount();
    int left = LeftCol(), top = TopRow();
    if (ColIndex < LeftCol() || ColIndex >= LeftCol() + visCols) {
        SetCol(ColIndex);
        left = std::max(FixedCols(), ColIndex - visCols / 2);
    }
    if (RowIndex < TopRow() || RowIndex >= TopRow() + visRows) {
        SetRow(RowIndex);
        top = std::max(FixedRows(), RowIndex - visRows / 2);
    }
    // No further than the last page.
    const TGridCoord maxTL = maxTopLeft();
    if (FixedCols() + visCols < ColCount()) SetLeftCol(std::clamp(left, FixedCols(), maxTL.X));
    if (FixedRows() + visRows < RowCount()) SetTopRow(std::clamp(top, FixedRows(), maxTL.Y));
    if (FSearchFooter->Visible() && FSearchPanel) {
        // The row shows above the search panel (and a horizontal scroll bar).
        int usable = Height() - FSearchPanel->Height();
        if (VisibleColCount() + FixedCols() < ColCount()) usable -= GetSystemMetrics(SM_CYHSCROLL);
        while (CalcCellRect(FixedCols(), RowIndex).Bottom > usable && TopRow() < RowIndex) {
            const int before = TopRow();
            SetTopRow(before + 1);
            if (TopRow() == before) break;
        }
    }
}

// --- scrolling while dragging --------------------------------------------------------------------

void TQorStringGrid::stopDragScroll() {
    // Disabled, not freed: the tick that stops it runs inside the timer.
    if (FDragTmr) FDragTmr->SetEnabled(false);
}

void TQorStringGrid::DragOver(TObject* /*Source*/, int X, int Y, TDragState State,
                              bool& /*Accept*/) {
    if (!FDragScrollOptions->Active()) {
        stopDragScroll();
        return;
    }
    const bool wasScrolling = !FDragScrollDirection.Empty();
    FDragScrollDirection = {};
    if (State == dsDragLeave) {
        stopDragScroll();
        return;
    }
    const TDragScrollMargins* m = FDragScrollOptions->Margins();
    if (Y < m->TopMargin())
        FDragScrollDirection.Include(dsdUp);
    else if (Y > Height() - m->BottomMargin())
        FDragScrollDirection.Include(dsdDown);
    if (X < m->LeftMargin())
        FDragScrollDirection.Include(dsdLeft);
    else if (X > Width() - m->RightMargin())
        FDragScrollDirection.Include(dsdRight);
    if (FDragScrollDirection.Empty()) {
        stopDragScroll();
        return;
    }
    const unsigned initial = unsigned(std::max(1, FDragScrollOptions->Delays()->InitialDelay()));
    // The grid owns its timer: a grid freed during a drag takes it along.
    if (!FDragTmr) {
        FDragTmr = new TTimer(this);
        FDragTmr->OnTimer = [this](TObject*) { dragScrollTick(); };
        FDragTmr->SetEnabled(false);
    }
    if (!FDragTmr->Enabled()) {
        FDragTmr->SetInterval(initial);
        FDragTmr->SetEnabled(true);
    } else if (wasScrolling) {
        FDragTmr->SetInterval(initial);
    }
}

void TQorStringGrid::dragScrollTick() {
    if (!FDragScrollOptions->Active()) {
        stopDragScroll();
        return;
    }
    FDragTmr->SetInterval(unsigned(std::max(1, FDragScrollOptions->Delays()->RepeatDelay())));
    TDragScrollDirections dir = FDragScrollDirection;
    bool canScroll = true;
    if (OnDragScroll) OnDragScroll(this, TopRow(), LeftCol(), dir, canScroll);
    if (!canScroll) return;
    if (dir.Contains(dsdUp) && TopRow() > FixedRows()) SetTopRow(TopRow() - 1);
    if (dir.Contains(dsdDown) && TopRow() + VisibleRowCount() < RowCount()) SetTopRow(TopRow() + 1);
    if (dir.Contains(dsdLeft) && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
    if (dir.Contains(dsdRight) && VisibleColCount() + LeftCol() < ColCount())
        SetLeftCol(LeftCol() + 1);
}
