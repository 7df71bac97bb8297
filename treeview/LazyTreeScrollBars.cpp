// The scroll ranges and the tree's two scroll bars. The platform gives windows no scroll bars
// of their own, so the tree keeps each bar's information (shown, range, page, position) as the
// window scroll information would hold it, and answers the scroll messages from it.
#include "treeview/LazyTree.h"

#include <algorithm>

namespace {

bool barEnabled(TScrollStyle Style, bool Vertical) {
    return Style == ssBoth || Style == (Vertical ? ssVertical : ssHorizontal);
}

} // namespace

void TTreeScrollBar::Set(int AMin, int AMax, int APage, int APos) {
    Min = AMin;
    Max = AMax;
    Page = std::max(APage, 0);
    Pos = std::clamp(APos, Min, std::max(Min, Max - std::max(Page - 1, 0)));
}

void TBaseLazyTree::UpdateVerticalRange() {
    FRangeY = std::uint32_t(RangeY());
}

void TBaseLazyTree::UpdateHorizontalRange() {
    // Without header columns the range is the widest node in view.
    FRangeX = std::uint32_t(std::max(GetContentRightExtent(), 0));
}

void TBaseLazyTree::UpdateRanges() {
    UpdateVerticalRange();
    UpdateHorizontalRange();
}

void TBaseLazyTree::ShowTreeScrollBar(int Bar, bool Show) {
    TTreeScrollBar& bar = Bar == SB_VERT ? FVertScrollBar : FHorzScrollBar;
    bar.Visible = Show;
    if (OnShowScrollBar) OnShowScrollBar(this, Bar, Show);
}

void TBaseLazyTree::SetScrollTrackPosition(bool Vertical, int Position) {
    (Vertical ? FVertScrollBar : FHorzScrollBar).TrackPos = Position;
}

void TBaseLazyTree::UpdateVerticalScrollBar(bool) {
    UpdateVerticalRange();
    if (FStates.Contains(tsUpdating)) return;
    const TScrollBarOptions* options = ScrollBarOptions();
    if (!barEnabled(options->ScrollBars(), true)) {
        ShowTreeScrollBar(SB_VERT, false);
        SetOffsetY(FOffsetY);
        return;
    }
    const int clientHeight = ClientHeight();
    if (std::uint32_t(std::max(clientHeight, 0)) < FRangeY || options->AlwaysVisible()) {
        ShowTreeScrollBar(SB_VERT, true);
        FVertScrollBar.Set(0, int(FRangeY), std::max(clientHeight + 1, 0), -FOffsetY);
    } else {
        FVertScrollBar.Set(0, 0, 0, 0);
        ShowTreeScrollBar(SB_VERT, false);
    }
    SetOffsetY(-FVertScrollBar.Pos);
}

void TBaseLazyTree::UpdateHorizontalScrollBar(bool) {
    UpdateHorizontalRange();
    if (FStates.Contains(tsUpdating) || !HandleAllocated()) return;
    const int clientWidth = ClientWidth();
    FEffectiveOffsetX = -FOffsetX;
    const TScrollBarOptions* options = ScrollBarOptions();
    int offsetX = FOffsetX;
    if (barEnabled(options->ScrollBars(), false)) {
        if (std::uint32_t(std::max(clientWidth, 0)) < FRangeX || options->AlwaysVisible()) {
            ShowTreeScrollBar(SB_HORZ, true);
            FHorzScrollBar.Set(0, int(FRangeX), std::max(clientWidth + 1, 0), FEffectiveOffsetX);
        } else {
            FHorzScrollBar.Set(0, 0, 0, 0);
            ShowTreeScrollBar(SB_HORZ, false);
        }
        FEffectiveOffsetX = FHorzScrollBar.Pos;
        offsetX = -FEffectiveOffsetX;
    } else {
        ShowTreeScrollBar(SB_HORZ, false);
    }
    SetOffsetX(offsetX);
}

void TBaseLazyTree::UpdateScrollBars(bool DoRepaint) {
    if (!HandleAllocated()) return;
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
}

void TBaseLazyTree::WMScroll(TMessage& Message, bool Vertical) {
    Message.Result = 0;
    const short code = short(Message.WParamLo());
    if (code < 0 || code > SB_ENDSCROLL) return;
    const TScrollBarOptions* options = ScrollBarOptions();
    const int increment = Vertical ? options->VerticalIncrement() : options->HorizontalIncrement();
    const int page = Vertical ? ClientHeight() : ClientWidth();
    const int offset = Vertical ? FOffsetY : FOffsetX;
    TTreeScrollBar& bar = Vertical ? FVertScrollBar : FHorzScrollBar;
    int value = offset;
    switch (code) {
    case SB_LINEUP:
        value = offset + increment;
        break;
    case SB_LINEDOWN:
        value = offset - increment;
        break;
    case SB_PAGEUP:
        value = offset + page;
        break;
    case SB_PAGEDOWN:
        value = offset - page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        ChangeTreeStates({tsThumbTracking}, {});
        value = -bar.TrackPos;
        break;
    case SB_TOP:
        value = 0;
        break;
    case SB_BOTTOM:
        value = Vertical ? -int(FRoot->TotalHeight) : -int(FRangeX);
        break;
    case SB_ENDSCROLL:
        ChangeTreeStates({}, {tsThumbTracking});
        if (Vertical) {
            UpdateScrollBars(true);
            Invalidate();
        } else {
            UpdateHorizontalScrollBar(false);
        }
        return;
    }
    if (Vertical)
        SetOffsetY(value);
    else
        SetOffsetX(value);
}
