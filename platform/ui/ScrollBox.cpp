#include "platform/ui/ScrollBox.h"

#include "platform/ui/core/SysInfo.h"
#include "platform/ui/core/WindowFrame.h"

#include <algorithm>

// --- TControlScrollBar ------------------------------------------------------------------------

TControlScrollBar::TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind)
    : FControl(Control), FKind(Kind) {}

int TControlScrollBar::clientSize() const {
    return FKind == sbVertical ? FControl->ClientHeight() : FControl->ClientWidth();
}

int TControlScrollBar::maxPosition() const {
    return std::max(0, FRange - clientSize());
}

void TControlScrollBar::SetPosition(int Value) {
    Value = std::clamp(Value, 0, maxPosition());
    if (Value == FPosition) return;
    const int delta = FPosition - Value;
    FPosition = Value;
    if (FKind == sbVertical)
        FControl->ScrollBy(0, delta);
    else
        FControl->ScrollBy(delta, 0);
    if (FControl->HandleAllocated())
        SetScrollPos(FControl->Handle(), FKind == sbVertical ? SB_VERT : SB_HORZ, FPosition, true);
}

void TControlScrollBar::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    update();
}

bool TControlScrollBar::IsScrollBarVisible() const {
    if (!FControl->HandleAllocated()) return false;
    const DWORD style = DWORD(GetWindowLong(FControl->Handle(), GWL_STYLE));
    return (style & (FKind == sbVertical ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

void TControlScrollBar::update() {
    if (!FControl->HandleAllocated()) return;
    const int bar = FKind == sbVertical ? SB_VERT : SB_HORZ;
    const bool needed = FVisible && FRange > clientSize();
    if (!needed) {
        SetPosition(0);
        ShowScrollBar(FControl->Handle(), bar, false);
        return;
    }
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = FRange - 1;
    info.nPage = UINT(std::max(0, clientSize()));
    info.nPos = std::min(FPosition, maxPosition());
    SetScrollInfo(FControl->Handle(), bar, &info, true);
    SetPosition(FPosition);
}

void TControlScrollBar::scrollMessage(TWMScroll& Message) {
    const int page = std::max(1, clientSize() * 3 / 4);
    switch (Message.ScrollCode()) {
    case SB_LINEUP:
        SetPosition(FPosition - FIncrement);
        break;
    case SB_LINEDOWN:
        SetPosition(FPosition + FIncrement);
        break;
    case SB_PAGEUP:
        SetPosition(FPosition - page);
        break;
    case SB_PAGEDOWN:
        SetPosition(FPosition + page);
        break;
    case SB_THUMBPOSITION: {
        SCROLLINFO info;
        info.fMask = SIF_TRACKPOS;
        const int bar = FKind == sbVertical ? SB_VERT : SB_HORZ;
        SetPosition(GetScrollInfo(FControl->Handle(), bar, &info) ? info.nTrackPos : Message.Pos());
        break;
    }
    case SB_TOP:
        SetPosition(0);
        break;
    case SB_BOTTOM:
        SetPosition(maxPosition());
        break;
    default:
        break;
    }
}

// --- TScrollingWinControl ---------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner), FHorzScrollBar(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      FVertScrollBar(std::make_unique<TControlScrollBar>(this, sbVertical)) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    // Paints its colour behind the children.
    EnableBackingImage();
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value) {
    if (Value == FAutoScroll) return;
    FAutoScroll = Value;
    UpdateScrollBars();
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
    }
    EnableAlign();
    Invalidate();
}

void TScrollingWinControl::UpdateScrollBars() {
    if (FUpdatingBars) return;
    FUpdatingBars = true;
    if (FAutoScroll) {
        int right = 0, bottom = 0;
        for (int i = 0; i < ControlCount(); ++i) {
            const TControl* c = Controls(i);
            if (!c->Visible() || c->Align() != alNone) continue;
            right = std::max(right, c->Left() + c->Width() + FHorzScrollBar->FPosition);
            bottom = std::max(bottom, c->Top() + c->Height() + FVertScrollBar->FPosition);
        }
        FHorzScrollBar->FRange = right;
        FVertScrollBar->FRange = bottom;
    }
    // A bar that shows narrows the client area, which the other bar then depends on.
    for (int pass = 0; pass < 2; ++pass) {
        FVertScrollBar->update();
        FHorzScrollBar->update();
    }
    FUpdatingBars = false;
}

void TScrollingWinControl::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TScrollingWinControl::WMSize(TWMSize& Message) {
    TWinControl::WMSize(Message);
    UpdateScrollBars();
}

void TScrollingWinControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_VSCROLL || Message.Msg == WM_HSCROLL) {
        TWMScroll scroll(Message);
        (Message.Msg == WM_VSCROLL ? FVertScrollBar : FHorzScrollBar)->scrollMessage(scroll);
        Message.Result = 0;
        return;
    }
    TWinControl::Dispatch(Message);
}

// --- TScrollBar ----------------------------------------------------------------------------------
TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
    SetTabStop(true);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    SetBounds(Left(), Top(), Height(), Width());
    PeerChanged(pcStyle);
}

int TScrollBar::MaxPosition() const {
    return std::max(FMin, FMax - std::max(FPageSize - 1, 0));
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin) throw EInvalidOperation("Scroll bar property out of range");
    const bool ranged = AMin != FMin || AMax != FMax;
    FMin = AMin;
    FMax = AMax;
    const int pos = std::clamp(APosition, FMin, MaxPosition());
    const bool moved = pos != FPosition;
    FPosition = pos;
    if (ranged || moved) PeerChanged(pcStyle);
    if (moved && OnChange) OnChange(this);
}

void TScrollBar::SetPageSize(int Value) {
    if (Value == FPageSize) return;
    FPageSize = std::max(0, Value);
    PeerChanged(pcStyle);
    SetParams(FPosition, FMin, FMax);
}

void TScrollBar::Dispatch(TMessage& Message) {
    if (Message.Msg != CN_VSCROLL && Message.Msg != CN_HSCROLL) {
        TWinControl::Dispatch(Message);
        return;
    }
    const TWMScroll m(Message);
    int pos = FPosition;
    switch (m.ScrollCode()) {
    case SB_LINEUP:
        pos -= FSmallChange;
        break;
    case SB_LINEDOWN:
        pos += FSmallChange;
        break;
    case SB_PAGEUP:
        pos -= FLargeChange;
        break;
    case SB_PAGEDOWN:
        pos += FLargeChange;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        pos = m.Pos();
        break;
    case SB_TOP:
        pos = FMin;
        break;
    case SB_BOTTOM:
        pos = FMax;
        break;
    default:
        break;
    }
    if (OnScroll) OnScroll(this, m.ScrollCode(), pos);
    SetPosition(pos);
}
