#include "grid/core/AuxWindows.h"

#include "grid/core/MarkupRender.h"
#include "grid/core/QorStringGrid.h"
#include "platform/ui/LayeredWindows.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr LRESULT MA_NOACTIVATE = 3;
constexpr int MinThumb = 20;

int nearest(double v) {
    return int(std::nearbyint(v));
}
} // namespace

// --- TNoActiveForm ----------------------------------------------------------------------------
TNoActiveForm::TNoActiveForm(TComponent* AOwner) : TForm(AOwner) {}

void TNoActiveForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED | WS_BORDER;
}

void TNoActiveForm::CreateWnd() {
    TForm::CreateWnd();
    applyAlpha();
}

void TNoActiveForm::SetAlphaBlend(bool v) {
    FAlphaBlend = v;
    applyAlpha();
}

void TNoActiveForm::SetAlphaBlendValue(std::uint8_t v) {
    FAlphaBlendValue = v;
    applyAlpha();
}

void TNoActiveForm::applyAlpha() {
    if (!HandleAllocated()) return;
    const LONG ex = GetWindowLong(Handle(), GWL_EXSTYLE);
    if (!FAlphaBlend) {
        SetWindowLong(Handle(), GWL_EXSTYLE, ex & ~LONG(WS_EX_LAYERED));
        return;
    }
    SetWindowLong(Handle(), GWL_EXSTYLE, ex | LONG(WS_EX_LAYERED));
    SetLayeredWindowAttributes(Handle(), clNone, FAlphaBlendValue, LWA_ALPHA);
}

void TNoActiveForm::WndProc(TMessage& Message) {
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TForm::WndProc(Message);
    if (Message.Msg == WM_ACTIVATE) Message.Result = 1;
}

// --- TScrollControl ---------------------------------------------------------------------------
TScrollControl::TScrollControl(TComponent* AOwner) : TCustomControl(AOwner) {}

TQorStringGrid* TScrollControl::grid() const {
    return dynamic_cast<TQorStringGrid*>(Parent());
}

void TScrollControl::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Invalidate();
}

int TScrollControl::length() const {
    return FDirection == sdVertical ? Height() : Width();
}

int TScrollControl::size(int Index) {
    TQorStringGrid* g = grid();
    return FDirection == sdVertical ? g->RowHeights(Index) : g->ColWidths(Index);
}

TScrollControl::Metrics TScrollControl::metrics() {
    TQorStringGrid* g = grid();
    Metrics m;
    if (FDirection == sdVertical) {
        m.Count = g->RowCount();
        m.Fixed = g->FixedRows();
        m.Footers = g->FixedFooters();
        m.First = g->RealRowIndex(g->TopRow());
        m.Visible = g->VisibleRowCount();
    } else {
        m.Count = g->ColCount();
        m.Fixed = g->FixedCols();
        m.Footers = g->FixedRightCols();
        m.First = g->LeftCol();
        m.Visible = g->VisibleColCount();
    }
    return m;
}

TScrollControl::Thumb TScrollControl::ThumbRect() {
    Thumb t;
    if (!grid()) return t;
    const Metrics m = metrics();
    int start = 0;
    for (int i = 0; i < m.Fixed; ++i) start += size(i);
    int track = length() - start;
    for (int i = std::max(m.Fixed, m.Count - m.Footers); i < m.Count; ++i) track -= size(i);
    // The rows that scroll: neither fixed at the top nor footers at the bottom. With every
    // row fixed there is nothing to scroll and the thumb rests at the track's start.
    const int scrolling = m.Count - m.Fixed - m.Footers;
    t.Position =
        scrolling > 0 ? start + nearest(double(track) * (m.First - m.Fixed) / scrolling) : start;
    t.Size = std::max(MinThumb, m.Count > 0 ? nearest(double(track) * m.Visible / m.Count) : 0);
    if (t.Position + t.Size > length()) t.Position = length() - t.Size;
    t.Shown = m.Visible < scrolling;
    return t;
}

void TScrollControl::Paint() {
    TCanvas* C = Canvas();
    // The control is see-through: the grid shows behind the thumb.
    if (TQorStringGrid* g = grid(); g && g->BackingImage()) {
        g->Update();
        C->Draw(-Left(), -Top(), g->BackingImage());
    }
    const Thumb t = ThumbRect();
    if (!t.Shown) return;
    C->Pen()->SetColor(FColor);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FColor);
    if (FDirection == sdVertical)
        C->Rectangle(TRect(0, t.Position, FScrollWidth, t.Position + t.Size));
    else
        C->Rectangle(TRect(t.Position, 0, t.Position + t.Size, FScrollWidth));
}

void TScrollControl::scrollTo(int First) {
    TQorStringGrid* g = grid();
    const Metrics m = metrics();
    First = std::clamp(First, m.Fixed, std::max(m.Fixed, m.Count - 1));
    if (FDirection == sdVertical)
        g->SetTopRow(g->DisplRowIndex(First));
    else
        g->SetLeftCol(First);
    Invalidate();
}

void TScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (!grid()) return;
    const int at = FDirection == sdVertical ? Y : X;
    const Thumb t = ThumbRect();
    const Metrics m = metrics();
    if (at < t.Position) {
        scrollTo(std::max(m.Fixed, m.First - m.Visible));
    } else if (at > t.Position + t.Size) {
        scrollTo(std::min(m.First + m.Visible, m.Count - m.Visible));
    } else {
        FDownOnScroller = true;
        FDownPos = at;
        FDownRow = m.First;
    }
}

void TScrollControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FDownOnScroller || !grid()) return;
    const Metrics m = metrics();
    const int at = FDirection == sdVertical ? Y : X;
    const int span = length() - size(0);
    if (span <= 0) return;
    const int moved = nearest(double(at - FDownPos) / span * m.Count);
    scrollTo(std::max(m.Fixed, std::min(moved + FDownRow, m.Count - m.Visible)));
}

void TScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FDownOnScroller = false;
}

// --- THeaderDragButton ------------------------------------------------------------------------
THeaderDragButton::THeaderDragButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clBtnFace);
}

void THeaderDragButton::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
}

void THeaderDragButton::SetCaption(const std::string& v) {
    FCaption = v;
    Invalidate();
}

void THeaderDragButton::Paint() {
    TCanvas* C = Canvas();
    const TRect r = ClientRect();
    if (FGrid) {
        FGrid->PaintCellExt(C, 0, 0, r, TGridDrawState{gdFixed});
    } else {
        C->Brush()->SetColor(Color());
        C->FillRect(r);
    }
    C->Font()->Assign(FGrid ? FGrid->Font() : Font());
    C->Brush()->SetStyle(bsClear);
    if (FCaption.find("</") == std::string::npos) {
        TRect tr = r;
        DrawText(C, FCaption, -1, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    } else {
        HTMLRenderOptions o;
        o.HitX = 2;
        o.HitY = 2;
        o.ShadowShift = 2;
        o.LinkColor = clBlue;
        o.ShadowColor = clGray;
        HTMLRenderResult result;
        HTMLRenderText(*C, FCaption, r, o, result);
    }
    C->Brush()->SetStyle(bsSolid);
}
