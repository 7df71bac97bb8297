#include "grid/core/ScrollControl.h"

#include "grid/core/QorStringGrid.h"

#include <algorithm>
#include <cmath>

TScrollControl::TScrollControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clSilver);
}

void TScrollControl::SetScrollWidth(int v) {
    if (v == FScrollWidth) return;
    FScrollWidth = v;
    Invalidate();
}

void TScrollControl::SetDirection(TScrollDirection v) {
    if (v == FDirection) return;
    FDirection = v;
    Invalidate();
}

TQorStringGrid* TScrollControl::grid() const {
    return dynamic_cast<TQorStringGrid*>(Parent());
}

TScrollControl::Axis TScrollControl::axis() const {
    Axis a;
    TQorStringGrid* g = grid();
    if (!g) return a;
    if (FDirection == sdVertical) {
        a.Fixed = g->FixedRows();
        a.Visible = g->VisibleRowCount();
        a.Count = g->RowCount();
        a.First = g->TopRow();
        for (int r = 0; r < a.Fixed; ++r) a.FixedSize += g->RowHeights(r);
        for (int r = std::max(a.Fixed, a.Count - g->FixedFooters()); r < a.Count; ++r) {
            a.FooterSize += g->RowHeights(r);
            ++a.Footers;
        }
        a.FirstSize = a.Count > 0 ? g->RowHeights(0) : 0;
    } else {
        a.Fixed = g->FixedCols();
        a.Visible = g->VisibleColCount();
        a.Count = g->ColCount();
        a.First = g->LeftCol();
        for (int c = 0; c < a.Fixed; ++c) a.FixedSize += g->ColWidths(c);
        a.FirstSize = a.Count > 0 ? g->ColWidths(0) : 0;
    }
    return a;
}

int TScrollControl::length() const {
    return FDirection == sdVertical ? Height() : Width();
}

void TScrollControl::ThumbExtent(int& Start, int& Size) {
    const Axis a = axis();
    Start = Size = 0;
    // Everything shows (every cell fixed included): no thumb.
    const int scrolling = a.Count - a.Fixed - a.Footers;
    if (scrolling <= 0 || a.Visible >= scrolling) return;
    const int track = length() - a.FixedSize - a.FooterSize;
    Size = std::max(20, int(std::lround(double(track) * a.Visible / (a.Count - a.Footers))));
    Start = a.FixedSize + int(std::lround(double(track) * (a.First - a.Fixed) / scrolling));
    if (Start + Size > length()) Start = length() - Size;
}

void TScrollControl::Paint() {
    TCanvas* c = Canvas();
    TQorStringGrid* g = grid();
    c->Brush()->SetColor(g ? g->Color() : clWindow);
    c->FillRect(ClientRect());
    int start = 0, size = 0;
    ThumbExtent(start, size);
    if (size == 0) return;
    c->Pen()->SetColor(Color());
    c->Brush()->SetColor(Color());
    if (FDirection == sdVertical)
        c->Rectangle(TRect(Width() - FScrollWidth, start, Width(), start + size));
    else
        c->Rectangle(TRect(start, Height() - FScrollWidth, start + size, Height()));
}

void TScrollControl::scrollTo(int First) {
    TQorStringGrid* g = grid();
    if (!g) return;
    if (FDirection == sdVertical) {
        if (First != g->TopRow()) g->SetTopRow(First);
    } else if (First != g->LeftCol()) {
        g->SetLeftCol(First);
    }
    Invalidate();
}

void TScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    int start = 0, size = 0;
    ThumbExtent(start, size);
    if (size == 0) return;
    const Axis a = axis();
    const int at = FDirection == sdVertical ? Y : X;
    if (at < start) {
        scrollTo(std::max(a.Fixed, a.First - a.Visible));
    } else if (at > start + size) {
        scrollTo(std::min(a.First + a.Visible, a.Count - a.Footers - a.Visible));
    } else {
        FDownOnScroller = true;
        FDownPos = at;
        FDownRow = a.First;
    }
}

void TScrollControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FDownOnScroller) return;
    const Axis a = axis();
    const int room = length() - a.FirstSize;
    if (room <= 0) return;
    const int at = FDirection == sdVertical ? Y : X;
    const int first = int(std::lround(double(at - FDownPos) / room * a.Count)) + FDownRow;
    scrollTo(std::max(a.Fixed, std::min(first, a.Count - a.Footers - a.Visible)));
}

void TScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FDownOnScroller = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}
