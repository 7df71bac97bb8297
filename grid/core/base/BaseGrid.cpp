#include "grid/core/base/BaseGrid.h"

#include "grid/core/base/GridDraw.h"
#include "grid/core/base/GridUndo.h"
#include "grid/core/base/GridUtils.h"

#include <algorithm>

namespace {

// Colours of the rounded selection frame: fill from, fill to, mirror from, mirror to, inner top
// line, inner bottom line, border, corner pixels.
struct SelectionColors {
    TColor from, to, mirrorFrom, mirrorTo, innerTop, innerBottom, border, corner;
};
constexpr SelectionColors kVista{0xFDF8F1, 0xFCEFD5, clNone,   clNone,
                                 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB};
constexpr SelectionColors kWin7{0xFCEBDC, 0xFCDBC1, clNone,   clNone,
                                0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE};
constexpr SelectionColors kOffice2007{0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC,
                                      0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF};
constexpr SelectionColors kInactive{0xF8F8F8, 0xE5E5E5, clNone,   clNone,
                                    0xFBFAFA, 0xF0F0F0, 0xD9D9D9, 0xEFEFEF};

} // namespace

namespace {
// The grid owns the properties in its cells' object slots (other objects stay their owner's):
// they go when their cell leaves the store, wherever that happens.
void releaseCellObject(TObject* o) {
    delete dynamic_cast<TCellProperties*>(o);
}
} // namespace

TBaseGrid::TBaseGrid(TComponent* AOwner) : TObjStringGrid(AOwner) {
    // The frame painter draws the lines and the whole cell: the platform grid does neither.
    TCustomGrid::SetGridLineWidth(0);
    TCustomGrid::SetDefaultDrawing(false);
    RowStore().SetObjectDeleter(&releaseCellObject);
}

// Every cell of the store, also those of columns a descendant counts (its overrides are gone
// here), releases its properties.
TBaseGrid::~TBaseGrid() {
    RowStore().ReleaseObjects();
}

void TBaseGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TObjStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FUndoRedo) FUndoRedo = nullptr;
}

void TBaseGrid::SetUndoRedo(TComponent* v) {
    TComponent* old = FUndoRedo;
    FUndoRedo = v;
    // An undo component left behind forgets this grid, so that it never works on a grid that
    // is gone; the link of the two stays while either side still names the other.
    auto* oldUndo = dynamic_cast<TQorGridUndoRedo*>(old);
    if (oldUndo && oldUndo != v && oldUndo->Grid() == this)
        oldUndo->SetGrid(nullptr);
    else if (old && old != v)
        old->RemoveFreeNotification(this);
    if (v) v->FreeNotification(this);
    if (auto* undo = dynamic_cast<TQorGridUndoRedo*>(v)) undo->SetGrid(this);
}

// --- cell store -------------------------------------------------------------------------------

// Any stored cell answers, also one of a column on its way out of the store.
TCellProperties* TBaseGrid::propsOf(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ARow >= RowCount()) return nullptr;
    TObject* o = TStringGrid::Objects(ACol, ARow);
    return o ? dynamic_cast<TCellProperties*>(o) : nullptr;
}

bool TBaseGrid::HasCellProperties(int ACol, int ARow) const {
    return propsOf(ACol, ARow) != nullptr;
}

std::string TBaseGrid::GetCellEx(int ACol, int ARow) {
    int bc = ACol, br = ARow;
    if (propsOf(ACol, ARow)) {
        TPoint b = BaseCell(ACol, ARow);
        bc = b.X;
        br = b.Y;
    }
    std::string value = TStringGrid::Cells(bc, br);
    if (br < FNormalRowCount) {
        GetDisplText(bc, br, value);
        if (OnGetDisplWideText) {
            std::u16string wide = DecodePackedWideText(value);
            GetDisplWideText(bc, br, wide);
            value = EncodePackedWideText(wide);
        }
    }
    return value;
}

void TBaseGrid::SetCellEx(int ACol, int ARow, const std::string& Value) {
    if (propsOf(ACol, ARow)) {
        TPoint b = BaseCell(ACol, ARow);
        TStringGrid::SetCells(b.X, b.Y, Value);
        CellTextChanged(b.X, b.Y);
        if (Parent()) RepaintCell(DisplColIndex(ACol), ARow);
    } else {
        TStringGrid::SetCells(ACol, ARow, Value);
    }
    if (FHideLastRow && ARow == RowCount() - 1) LastRowChanged();
}

TObject* TBaseGrid::Objects(int ACol, int ARow) const {
    TCellProperties* p = propsOf(ACol, ARow);
    return p ? p->CellObject() : nullptr;
}

void TBaseGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    GetCellProperties(ACol, ARow)->SetCellObject(Value);
}

TObject* TBaseGrid::GraphicObjects(int ACol, int ARow) const {
    TCellProperties* p = propsOf(ACol, ARow);
    return p ? p->GraphicObject() : nullptr;
}

void TBaseGrid::SetGraphicObjects(int ACol, int ARow, TObject* Value) {
    if (IsDestroying()) return;
    GetCellProperties(ACol, ARow)->SetGraphicObject(Value);
}

TCellProperties* TBaseGrid::GetCellProperties(int ACol, int ARow) {
    if (TCellProperties* p = propsOf(ACol, ARow)) return p;
    // Properties outside the grid would never be found or freed again.
    if (ACol < 0 || ARow < 0 || ACol >= TotalColCount() || ARow >= RowCount())
        throw EInvalidGridOperation("Grid index out of range");
    auto* p = new TCellProperties(this, ACol, ARow);
    try {
        TStringGrid::SetObjects(ACol, ARow, p);
    } catch (...) {
        delete p;
        throw;
    }
    FHasCellProps = true;
    TFont font;
    TBrush brush;
    TCellGradientDirection gd = GradientVertical;
    bool ww = FWordWrap;
    TVAlignment va = vtaTop;
    TAlignment ha = taLeftJustify;
    TColor mirrorTo = clNone, mirror = clNone, colorTo = clNone;
    GetDefaultProps(ACol, ARow, gd, ww, va, ha, mirrorTo, mirror, colorTo, &brush, &font);
    p->SetCalcType(acNONE);
    p->SetAlignment(ha);
    p->SetVAlignment(va);
    p->SetWordWrap(ww);
    p->SetFontName(font.Name());
    p->SetFontSize(font.Size());
    p->SetFontStyle(font.Style());
    p->SetFontColor(font.Color());
    p->SetBrushColor(brush.Color());
    p->SetBrushColorTo(colorTo);
    p->SetGradientDirection(gd);
    return p;
}

void TBaseGrid::SetCellProperties(int ACol, int ARow, TCellProperties* Value) {
    if (TCellProperties* old = propsOf(ACol, ARow); old && old != Value) {
        TStringGrid::SetObjects(ACol, ARow, nullptr);
        delete old;
    }
    TStringGrid::SetObjects(ACol, ARow, Value);
    if (Value) FHasCellProps = true;
}

void TBaseGrid::GetDefaultProps(int, int, TCellGradientDirection& GD, bool& WW, TVAlignment& VA,
                                TAlignment& HA, TColor& MirrorColorTo, TColor& MirrorColor,
                                TColor& ColorTo, TBrush* ABrush, TFont* AFont) {
    AFont->Assign(Font());
    ABrush->SetColor(Color());
    ColorTo = MirrorColor = MirrorColorTo = clNone;
    HA = taLeftJustify;
    VA = vtaTop;
    WW = FWordWrap;
    GD = GradientVertical;
}

void TBaseGrid::GetDisplText(int ACol, int ARow, std::string& Value) {
    if (OnGetDisplText) OnGetDisplText(this, ACol, ARow, Value);
}

void TBaseGrid::GetDisplWideText(int ACol, int ARow, std::u16string& Value) {
    if (OnGetDisplWideText) OnGetDisplWideText(this, ACol, ARow, Value);
}

void TBaseGrid::RepaintCell(int ACol, int ARow) {
    if (!HandleAllocated()) return;
    TRect r = CellRect(ACol, ARow);
    if (!r.IsEmpty()) ::InvalidateRect(Handle(), &r, true);
}

TRect TBaseGrid::CalcCellRect(int ACol, int ARow) {
    auto sum = [](auto extent, int from, int to) {
        int s = 0;
        for (int i = from; i < to; ++i) s += extent(i);
        return s;
    };
    auto w = [this](int i) { return ColWidths(i); };
    auto h = [this](int i) { return RowHeights(i); };
    // The first scrolled cell starts right of the fixed cells, also when it is not shown.
    int lw = TCustomGrid::GridLineWidth();
    TRect origin{sum(w, 0, FixedCols()) + lw * FixedCols(),
                 sum(h, 0, FixedRows()) + lw * FixedRows(), 0, 0};
    int left, top;
    // Only the distance to the first scrolled cell is summed: the same position as summing
    // from column 0, without walking a long grid.
    if (ACol < FixedCols())
        left = sum(w, 0, ACol);
    else if (ACol >= LeftCol())
        left = origin.Left + sum(w, LeftCol(), ACol);
    else
        left = origin.Left - sum(w, ACol, LeftCol());
    if (ARow < FixedRows())
        top = sum(h, 0, ARow);
    else if (ARow >= TopRow())
        top = origin.Top + sum(h, TopRow(), ARow);
    else
        top = origin.Top - sum(h, ARow, TopRow());
    return LayoutToClient({left, top, left + ColWidths(ACol), top + RowHeights(ARow)});
}

// The union of the rectangles of the area's first and last cell.
TRect TBaseGrid::mergedAreaRect(int ACol, int ARow) {
    const TPoint b = BaseCell(ACol, ARow);
    const TPoint span = CellSpan(ACol, ARow);
    const TRect first = CalcCellRect(b.X, b.Y);
    const TRect last = CalcCellRect(b.X + span.X, b.Y + span.Y);
    return {std::min(first.Left, last.Left), std::min(first.Top, last.Top),
            std::max(first.Right, last.Right), std::max(first.Bottom, last.Bottom)};
}

TRect TBaseGrid::CellRect(int ACol, int ARow) {
    if (TCellProperties* p = propsOf(ACol, ARow)) {
        if (p->CellSpanX() != -1 || p->CellSpanY() != -1) {
            TRect r = mergedAreaRect(ACol, ARow);
            // An area whose columns are all hidden keeps a rectangle one pixel either side.
            if (r.Width() == 0) {
                --r.Left;
                ++r.Right;
            }
            return r;
        }
        if (p->Control()) return CalcCellRect(ACol, ARow);
    }
    TRect r = TCustomGrid::CellRect(ACol, ARow);
    // A cell scrolled out of view has no rectangle (not one at the client's origin).
    if (r == TRect{}) return r;
    return {r.Left, r.Top, r.Left + ColWidths(ACol), r.Top + RowHeights(ARow)};
}

TPoint TBaseGrid::CellSize(int ACol, int ARow) {
    if (TCellProperties* p = propsOf(ACol, ARow);
        p && (p->CellSpanX() != -1 || p->CellSpanY() != -1)) {
        const TRect r = mergedAreaRect(ACol, ARow);
        return {r.Width(), r.Height()};
    }
    TRect r = CalcCellRect(ACol, ARow);
    return {r.Width(), r.Height()};
}

// Clearing frees the cells' properties (a cleared slot must not lose them).
void TBaseGrid::ClearRow(int ARow) {
    for (int c = 0; c < ColCount(); ++c) ClearCell(c, ARow);
}

void TBaseGrid::ClearCol(int ACol) {
    for (int r = 0; r < RowCount(); ++r) ClearCell(ACol, r);
}

void TBaseGrid::ClearCell(int ACol, int ARow) {
    TStringGrid::SetCells(ACol, ARow, "");
    FreeCellProperties(ACol, ARow);
    TStringGrid::SetObjects(ACol, ARow, nullptr);
}

void TBaseGrid::FreeCellPropertiesRect(int c1, int r1, int c2, int r2) {
    if (!FHasCellProps) return;
    for (int r = std::max(0, r1); r <= r2 && r < RowCount(); ++r)
        for (int c = std::max(0, c1); c <= c2 && c < TotalColCount(); ++c)
            if (TCellProperties* p = propsOf(c, r)) {
                TStringGrid::SetObjects(c, r, nullptr);
                delete p;
            }
}

void TBaseGrid::FreeCellProperties(int ACol, int ARow) {
    if (TCellProperties* p = propsOf(ACol, ARow)) {
        TStringGrid::SetObjects(ACol, ARow, nullptr);
        delete p;
    }
}

void TBaseGrid::FreeAllCellProperties() {
    FreeCellPropertiesRect(0, 0, TotalColCount() - 1, RowCount() - 1);
}

// --- merged cells --------------------------------------------------------------------------------

TPoint TBaseGrid::BaseCell(int ACol, int ARow) const {
    TCellProperties* p = propsOf(ACol, ARow);
    if (!p || p->IsBaseCell() || p->CellSpanX() == -1 || p->CellSpanY() == -1) return {ACol, ARow};
    return {ACol - p->CellSpanX(), ARow - p->CellSpanY()};
}

bool TBaseGrid::IsBaseCell(int ACol, int ARow) const {
    TCellProperties* p = propsOf(ACol, ARow);
    return !p || p->IsBaseCell();
}

bool TBaseGrid::IsMergedCell(int ACol, int ARow) const {
    TCellProperties* p = propsOf(ACol, ARow);
    return p && (p->CellSpanX() > 0 || p->CellSpanY() > 0);
}

bool TBaseGrid::IsMergedNonBaseCell(int ACol, int ARow) const {
    return IsMergedCell(ACol, ARow) && !IsBaseCell(ACol, ARow);
}

bool TBaseGrid::IsXMergedCell(int ACol, int ARow) const {
    if (!propsOf(ACol, ARow)) return false;
    TPoint b = BaseCell(ACol, ARow);
    TCellProperties* bp = propsOf(b.X, b.Y);
    return bp && bp->CellSpanX() > 0;
}

bool TBaseGrid::IsYMergedCell(int ACol, int ARow) const {
    if (!propsOf(ACol, ARow)) return false;
    TPoint b = BaseCell(ACol, ARow);
    TCellProperties* bp = propsOf(b.X, b.Y);
    return bp && bp->CellSpanY() > 0;
}

TPoint TBaseGrid::CellSpan(int ACol, int ARow) const {
    TCellProperties* p = propsOf(ACol, ARow);
    if (!p || p->CellSpanX() == -1 || p->CellSpanY() == -1) return {0, 0};
    TPoint b = BaseCell(ACol, ARow);
    TCellProperties* bp = propsOf(b.X, b.Y);
    if (!bp) return {0, 0};
    return {std::max(0, bp->CellSpanX()), std::max(0, bp->CellSpanY())};
}

TPoint TBaseGrid::CellExt(int ACol, int ARow) const {
    TCellProperties* p = propsOf(ACol, ARow);
    if (!p || p->CellSpanX() == -1 || p->CellSpanY() == -1) return {0, 0};
    TPoint b = BaseCell(ACol, ARow);
    TPoint span = CellSpan(ACol, ARow);
    return {b.X + span.X - ACol, b.Y + span.Y - ARow};
}

TRect TBaseGrid::FullCell(int c, int r) const {
    TPoint b = BaseCell(c, r);
    TPoint span = CellSpan(c, r);
    return {b.X, b.Y, b.X + span.X, b.Y + span.Y};
}

void TBaseGrid::MergeCells(int c, int r, int spanx, int spany) {
    // An area outside the grid or over another area would leave cells pointing at the wrong
    // base: it is refused and nothing changes.
    auto refuse = [] { throw EInvalidGridOperation("Cells cannot be merged"); };
    if (spanx < 1 || spany < 1) refuse();
    if (c < 0 || r < 0 || c + spanx > TotalColCount() || r + spany > RowCount()) refuse();
    for (int j = r; j < r + spany; ++j)
        for (int i = c; i < c + spanx; ++i)
            if (TCellProperties* p = propsOf(i, j);
                p && (p->CellSpanX() != -1 || p->CellSpanY() != -1))
                refuse();
    if (spanx == 1 && spany == 1) return;
    ++FMergeCount;
    for (int j = r; j < r + spany; ++j)
        for (int i = c; i < c + spanx; ++i) {
            TCellProperties* p = GetCellProperties(i, j);
            bool base = i == c && j == r;
            p->SetIsBaseCell(base);
            p->SetCellSpanX(base ? spanx - 1 : i - c);
            p->SetCellSpanY(base ? spany - 1 : j - r);
        }
    for (int j = r; j < r + spany; ++j)
        for (int i = c; i < c + spanx; ++i) RepaintCell(DisplColIndex(i), j);
}

void TBaseGrid::SplitCells(int c, int r) {
    TCellProperties* p = propsOf(c, r);
    if (!p || (p->CellSpanX() == -1 && p->CellSpanY() == -1)) return;
    TPoint b = BaseCell(c, r);
    TCellProperties* bp = propsOf(b.X, b.Y);
    int sx = bp ? std::max(0, bp->CellSpanX()) : 0, sy = bp ? std::max(0, bp->CellSpanY()) : 0;
    for (int j = b.Y; j <= b.Y + sy; ++j)
        for (int i = b.X; i <= b.X + sx; ++i)
            if (TCellProperties* q = propsOf(i, j)) {
                q->SetIsBaseCell(true);
                q->SetCellSpanX(-1);
                q->SetCellSpanY(-1);
            }
    for (int j = b.Y; j <= b.Y + sy; ++j)
        for (int i = b.X; i <= b.X + sx; ++i) RepaintCell(DisplColIndex(i), j);
    --FMergeCount;
}

namespace {
// Whether a move of line From to To tears the span First..Last apart: the moving line lies in
// it, or the lines that shift by one cover only part of it. A span of one line moves whole.
bool moveTears(int First, int Last, int From, int To) {
    if (First == Last) return false;
    if (From >= First && From <= Last) return true;
    int lo = std::min(From, To), hi = std::max(From, To);
    bool inside = First >= lo && Last <= hi, outside = Last < lo || First > hi;
    return !inside && !outside;
}
} // namespace

void TBaseGrid::RowMoving(int FromIndex, int ToIndex) {
    TObjStringGrid::RowMoving(FromIndex, ToIndex);
    if (FMergeCount <= 0) return;
    int lo = std::min(FromIndex, ToIndex), hi = std::max(FromIndex, ToIndex);
    for (int r = lo; r <= hi; ++r)
        for (int c = 0; c < TotalColCount(); ++c)
            if (IsMergedCell(c, r)) {
                TRect a = FullCell(c, r);
                if (moveTears(a.Top, a.Bottom, FromIndex, ToIndex)) SplitCells(c, r);
            }
}

void TBaseGrid::ColumnMoving(int FromIndex, int ToIndex) {
    TObjStringGrid::ColumnMoving(FromIndex, ToIndex);
    if (FMergeCount <= 0) return;
    // Areas lie in real columns; the store moves real column From to real column To.
    int from = RealColIndex(FromIndex), to = RealColIndex(ToIndex);
    int lo = std::min(from, to), hi = std::max(from, to);
    for (int r = 0; r < RowCount(); ++r)
        for (int c = lo; c <= hi; ++c)
            if (IsMergedCell(c, r)) {
                TRect a = FullCell(c, r);
                if (moveTears(a.Left, a.Right, from, to)) SplitCells(c, r);
            }
}

void TBaseGrid::RowsLeaving(int First, int Count) {
    TObjStringGrid::RowsLeaving(First, Count);
    if (FMergeCount <= 0) return;
    int last = First + Count - 1;
    for (int r = First; r <= last; ++r)
        for (int c = 0; c < TotalColCount(); ++c) {
            if (!IsMergedCell(c, r)) continue;
            TRect a = FullCell(c, r);
            if (a.Top < First || a.Bottom > last)
                SplitCells(c, r);
            else if (c == a.Left && r == a.Top)
                --FMergeCount;
        }
}

void TBaseGrid::ColsLeaving(int RealFirst, int Count) {
    TObjStringGrid::ColsLeaving(RealFirst, Count);
    if (FMergeCount <= 0) return;
    int last = RealFirst + Count - 1;
    for (int r = 0; r < RowCount(); ++r)
        for (int c = RealFirst; c <= last; ++c) {
            if (!IsMergedCell(c, r)) continue;
            TRect a = FullCell(c, r);
            if (a.Left < RealFirst || a.Right > last)
                SplitCells(c, r);
            else if (c == a.Left && r == a.Top)
                --FMergeCount;
        }
}

int TBaseGrid::MinRowSpan(int ARow) const {
    int result = RowCount();
    for (int c = 0; c < ColCount(); ++c) {
        int y = CellSpan(c, ARow).Y;
        if (y > 0) result = std::min(result, y);
    }
    return result;
}

int TBaseGrid::MaxRowSpan(int ARow) const {
    int result = 0;
    for (int c = 0; c < ColCount(); ++c) result = std::max(result, CellSpan(c, ARow).Y);
    return result;
}

bool TBaseGrid::RowSpanIdentical(int ARow1, int ARow2) const {
    bool found = false;
    for (int c = 0; c < ColCount(); ++c) {
        if (CellSpan(c, ARow1).Y > 0 && CellSpan(c, ARow2).Y > 0) {
            found = true;
            if (BaseCell(c, ARow1).Y != BaseCell(c, ARow2).Y) return false;
        }
    }
    return found;
}

bool TBaseGrid::ColSpanIdentical(int ACol1, int ACol2) const {
    bool found = false;
    for (int r = 0; r < RowCount(); ++r) {
        int x1 = CellSpan(ACol1, r).X, x2 = CellSpan(ACol2, r).X;
        if (x1 > 0 && x2 > 0) {
            found = true;
            if (BaseCell(ACol1, r).X != BaseCell(ACol2, r).X) return false;
        } else if (x1 != x2) {
            return false;
        }
    }
    return found;
}

void TBaseGrid::GotoBaseCell() {
    if (!propsOf(Col(), Row())) return;
    TPoint b = BaseCell(Col(), Row());
    if (b.X != Col()) SetCol(b.X);
    if (b.Y != Row()) SetRow(b.Y);
}

void TBaseGrid::KeyDown(WORD& Key, TShiftState Shift) {
    int cc = Col(), cr = Row();
    if (propsOf(cc, cr)) {
        TPoint b = BaseCell(cc, cr);
        TPoint span = CellSpan(cc, cr);
        int bc = b.X, br = b.Y, sx = span.X, sy = span.Y;
        switch (Key) {
        case VK_RIGHT:
            if (bc + sx >= cc && cc < ColCount() - 1 && bc < ColCount() - 1 &&
                bc + sx < ColCount() && bc + sx != cc)
                SetCol(bc + sx);
            break;
        case VK_DOWN:
            if (br + sy >= cr && cr < RowCount() - 1 && br < RowCount() - 1 && br + sy != cr)
                SetRow(br + sy);
            break;
        case VK_LEFT:
            // From a non-base cell, step from the area's first column so the move leaves it.
            if (bc < cc && FixedCols() < cc && bc >= FixedCols()) SetCol(bc);
            break;
        case VK_UP:
            if (br < cr && FixedRows() < cr && br >= FixedRows()) SetRow(br);
            break;
        default:
            break;
        }
    }
    if (Key == VK_NEXT && RowCount() == VisibleRowCount() + TopRow() - FixedRows() + 1 &&
        FHideLastRow && RowCount() > 1)
        SetRow(RowCount() - 2);
    TObjStringGrid::KeyDown(Key, Shift);
    GotoBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    // Step from the area's last row as Down does; from the base the step would end inside the
    // area and go back to the base.
    if (int cr = Row(); propsOf(Col(), cr)) {
        int areaEnd = BaseCell(Col(), cr).Y + CellSpan(Col(), cr).Y;
        if (areaEnd > cr && areaEnd < RowCount()) SetRow(areaEnd);
    }
    bool result = TObjStringGrid::DoMouseWheelDown(Shift, MousePos);
    if (VisibleRowCount() < Row() - TopRow() && Row() < RowCount() - 1 && FHideLastRow)
        SetTopRow(TopRow() + 1);
    GotoBaseCell();
    return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool result = TObjStringGrid::DoMouseWheelUp(Shift, MousePos);
    GotoBaseCell();
    return result;
}

void TBaseGrid::TopLeftChanged() {
    TObjStringGrid::TopLeftChanged();
    if (!HandleAllocated() || FMergeCount <= 0) return;
    int lastRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
    int lastCol = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
    for (int r = TopRow(); r <= lastRow; ++r)
        for (int c = 0; c < FixedCols(); ++c)
            if (IsMergedCell(c, r)) RepaintCell(c, r);
    for (int c = LeftCol(); c <= lastCol; ++c)
        for (int r = 0; r < FixedRows(); ++r)
            if (IsMergedCell(c, r)) RepaintCell(c, r);
}

bool TBaseGrid::SelectCell(int ACol, int ARow) {
    if (UseRightToLeftAlignment()) {
        const bool result = TObjStringGrid::SelectCell(ACol, ARow);
        Invalidate();
        return result;
    }
    RepaintCell(Col(), Row());
    bool result = TObjStringGrid::SelectCell(ACol, ARow);
    RepaintCell(ACol, ARow);
    return result;
}

// --- painting ------------------------------------------------------------------------------------

bool TBaseGrid::IsFixed(int, int) {
    return false;
}
int TBaseGrid::GetNodeIndent(int) {
    return 0;
}
bool TBaseGrid::HasNodes() {
    return false;
}

void TBaseGrid::GetVisualProperties(int, int, TGridDrawState&, bool, bool, bool, TBrush*, TColor&,
                                    TColor&, TColor&, TFont*, TAlignment&, TVAlignment&, bool&,
                                    TCellGradientDirection&) {}

void TBaseGrid::DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect, TGridDrawState) {
    std::string text = Cells(ACol, ARow);
    SetBkMode(Canvas, TRANSPARENT);
    DrawText(Canvas, text, -1, ARect, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

void TBaseGrid::Paint() {
    TObjStringGrid::Paint();
    ++FPaintID;
}

void TBaseGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    // The paint loop's rectangle is the cell's own for a cell without properties.
    struct Flag {
        bool& f;
        explicit Flag(bool& v) : f(v) { f = true; }
        ~Flag() { f = false; }
    } flag(FPaintLoopRect);
    DoPaintCell(Canvas(), ACol, ARow, ARect, AState, true);
}

void TBaseGrid::PaintCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect,
                          TGridDrawState AState) {
    DoPaintCell(ACanvas, ACol, ARow, ARect, AState, true);
}

void TBaseGrid::PaintCellExt(TCanvas* ACanvas, int ACol, int ARow, TRect ARect,
                             TGridDrawState AState) {
    DoPaintCell(ACanvas, ACol, ARow, ARect, AState, false);
}

void TBaseGrid::DoPaintCell(TCanvas* Canvas, int ACol, int ARow, TRect Rect, TGridDrawState State,
                            bool Full) {
    if (FSelHidden) {
        State.Exclude(gdSelected);
        State.Exclude(gdFocused);
    }
    if (ARow == RowCount() - 1 && FHideLastRow) {
        Canvas->Brush()->SetColor(Color());
        Canvas->Pen()->SetColor(Color());
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->FillRect(Rect);
        return;
    }
    if (IsMergedNonBaseCell(ACol, ARow)) {
        TPoint b = BaseCell(ACol, ARow);
        TCellProperties* bp = propsOf(b.X, b.Y);
        if (bp && bp->PaintID() != FPaintID) {
            bp->SetPaintID(FPaintID);
            PaintCell(Canvas, b.X, b.Y, Rect, State);
        }
        return;
    }
    if (Full && IsFixed(ACol, ARow)) {
        State.Include(gdFixed);
        State.Exclude(gdSelected);
    }
    if (Full && !(FPaintLoopRect && !propsOf(ACol, ARow))) Rect = CellRect(ACol, ARow);
    if (IsMergedCell(ACol, ARow))
        if (TCellProperties* p = propsOf(ACol, ARow)) p->SetPaintID(FPaintID);

    int fx = 0, fy = 0;
    if (ACol >= FixedCols())
        for (int i = 0; i < FixedCols(); ++i) fx += ColWidths(i);
    if (ARow >= FixedRows())
        for (int i = 0; i < FixedRows(); ++i) fy += RowHeights(i);
    // The scrolled cells stay off the fixed ones (right to left: the fixed columns are on the
    // right).
    const bool mirrored = UseRightToLeftAlignment();
    const TRect scrolled = mirrored ? LayoutToClient(TRect(fx, fy, CellAreaWidth(), Height()))
                                    : TRect(fx, fy, Width(), Height());
    bool clipped = (ACol >= FixedCols() && FixedCols() > 0 &&
                    (mirrored ? Rect.Right > scrolled.Right : Rect.Left < scrolled.Left)) ||
                   (ARow >= FixedRows() && FixedRows() > 0 && Rect.Top < fy);
    if (clipped) {
        SaveDC(Canvas);
        IntersectClipRect(Canvas, scrolled.Left, scrolled.Top, scrolled.Right, scrolled.Bottom);
    }

    Canvas->Pen()->SetWidth(1);
    Canvas->Font()->Assign(Font());
    Canvas->Brush()->SetStyle(bsSolid);
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = FWordWrap;
    TCellGradientDirection gd = GradientVertical;
    // Colours, fonts and alignment of a cell come from the cell colours step; until it
    // overrides GetVisualProperties, a cell paints in the grid colour (fixed cells in the
    // button face).
    Canvas->Brush()->SetColor(State.Contains(gdFixed) ? TColor(clBtnFace) : Color());
    GetVisualProperties(ACol, ARow, State, false, true, true, Canvas->Brush(), colorTo, mirror,
                        mirrorTo, Canvas->Font(), ha, va, ww, gd);
    Canvas->Pen()->SetColor(Canvas->Brush()->Color());

    bool selected = State.Contains(gdSelected);
    bool fixed = State.Contains(gdFixed);
    if (ARow == FHoverRowIdx && FHoverRow && !(selected && !FHoverRowCells.Contains(hcSelected)) &&
        !(fixed && !FHoverRowCells.Contains(hcFixed))) {
        Canvas->Brush()->SetColor(FHoverRowColor);
        colorTo = FHoverRowColorTo;
        mirror = mirrorTo = clNone;
        gd = GradientVertical;
    }
    if ((FActiveRowShow && ARow == Row() && (ACol != Col() || !FShowSel) && ACol >= FixedCols()) ||
        (!Full && selected)) {
        Canvas->Brush()->SetColor(FActiveRowColor);
        colorTo = FActiveRowColorTo;
        mirror = FActiveRowMirrorColor;
        mirrorTo = FActiveRowMirrorColorTo;
    }
    Canvas->Pen()->SetColor(Canvas->Brush()->Color());

    bool frame = selected && FSelectionStyle != ssDefault && FShowSel;
    if (frame) {
        TGridRect sel = Selection();
        int L = std::min(sel.Left, sel.Right), R = std::max(sel.Left, sel.Right);
        int kind = (ACol == L && L < R)     ? 1
                   : (ACol == R && R > L)   ? 2
                   : (L < ACol && ACol < R) ? 3
                                            : 0;
        // Right to left the first column's end is the right one.
        if (mirrored && (kind == 1 || kind == 2)) kind = 3 - kind;
        TRect fr = Rect;
        if (!Options().Contains(goHorzLine)) ++fr.Bottom;
        if (!Options().Contains(goVertLine)) {
            if (mirrored)
                --fr.Left;
            else
                ++fr.Right;
        }
        bool activeLook = Focused() || Options().Contains(goDrawFocusSelected);
        const SelectionColors& set = !activeLook                  ? kInactive
                                     : FSelectionStyle == ssVista ? kVista
                                     : FSelectionStyle == ssWin7  ? kWin7
                                                                  : kOffice2007;
        DrawSelectionFrame(*Canvas, set.from, set.to, set.mirrorFrom, set.mirrorTo, set.innerTop,
                           set.innerBottom, set.border, set.corner, Color(), fr, kind);
    } else if (!(GetUseVCLStyles() && (fixed || selected))) {
        const TColor from = Canvas->Brush()->Color();
        if (mirrorTo == clNone)
            DrawGradient(*Canvas, from, colorTo, 64, Rect, gd == GradientHorizontal);
        else
            DrawGradientCell(*Canvas, Rect, from, colorTo, mirror, mirrorTo,
                             gd != GradientHorizontal, clNone, false, true);
        Canvas->Brush()->SetColor(from);
    }

    int o;
    if (fixed) {
        Canvas->Pen()->SetColor(FGridFixedLineColor);
        Canvas->Pen()->SetWidth(1);
        o = 1;
    } else {
        Canvas->Pen()->SetWidth(std::max(1, FGridLineWidth));
        if (FGridLineWidth > 0) Canvas->Pen()->SetColor(FGridLineColor);
        o = (FGridLineWidth + 1) / 2;
    }
    bool lineWidthOk = fixed || FGridLineWidth > 0;
    if (lineWidthOk &&
        ((Options().Contains(goHorzLine) && !fixed) ||
         (Options().Contains(goFixedHorzLine) && fixed)) &&
        !(ACol == 0 && HasNodes())) {
        Canvas->MoveTo(Rect.Left - o + 1, Rect.Bottom - o);
        Canvas->LineTo(Rect.Right - o + 1, Rect.Bottom - o);
    }
    if (lineWidthOk && ((Options().Contains(goVertLine) && !fixed) ||
                        (Options().Contains(goFixedVertLine) && fixed))) {
        // Right to left the line between columns lies on the cell's left side.
        const int x = mirrored ? Rect.Left + o - 1 : Rect.Right - o;
        Canvas->MoveTo(x, Rect.Bottom - o);
        Canvas->LineTo(x, Rect.Top - o);
    }

    TRect content = Rect;
    if (fixed) {
        if (mirrored)
            content.Left += 1;
        else
            content.Right -= 1;
        content.Bottom -= 2;
    } else {
        InflateRect(content, -FGridLineWidth, -FGridLineWidth);
    }
    if (Full) DrawGridCell(Canvas, ACol, ARow, content, State);

    if (clipped) RestoreDC(Canvas, -1);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Pen()->SetStyle(psSolid);
}

// --- properties ------------------------------------------------------------------------------

void TBaseGrid::SetDefaultDrawing(bool v) {
    FDefaultDrawing = v;
    TCustomGrid::SetDefaultDrawing(false);
}

void TBaseGrid::SetGridLineWidth(int v) {
    FGridLineWidth = v;
    TCustomGrid::SetGridLineWidth(0);
    Invalidate();
}

void TBaseGrid::SetGridLineColor(TColor v) {
    FGridLineColor = v;
    Invalidate();
}

void TBaseGrid::SetGridFixedLineColor(TColor v) {
    FGridFixedLineColor = v;
    Invalidate();
}

void TBaseGrid::SetActiveRowShow(bool v) {
    if (v == FActiveRowShow) return;
    FActiveRowShow = v;
    Invalidate();
}

void TBaseGrid::SetActiveRowColor(TColor v) {
    if (v == FActiveRowColor) return;
    FActiveRowColor = v;
    Invalidate();
}

void TBaseGrid::SetActiveRowColorTo(TColor v) {
    if (v == FActiveRowColorTo) return;
    FActiveRowColorTo = v;
    Invalidate();
}

void TBaseGrid::SetActiveRowMirrorColor(TColor v) {
    if (v == FActiveRowMirrorColor) return;
    FActiveRowMirrorColor = v;
    Invalidate();
}

void TBaseGrid::SetActiveRowMirrorColorTo(TColor v) {
    if (v == FActiveRowMirrorColorTo) return;
    FActiveRowMirrorColorTo = v;
    Invalidate();
}

void TBaseGrid::SetSelectionStyle(TGridSelectionStyle v) {
    if (v == FSelectionStyle) return;
    FSelectionStyle = v;
    Invalidate();
}
