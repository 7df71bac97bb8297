// The scroll ranges, the tree window's two scroll bars, the scroll messages and size changes.
#include "treeview/LazyTree.h"

#include "platform/ui/core/WindowFrame.h"

#include <algorithm>

namespace {

bool barEnabled(TScrollStyle Style, bool Vertical) {
    return Style == ssBoth || Style == (Vertical ? ssVertical : ssHorizontal);
}

} // namespace

void TBaseLazyTree::UpdateVerticalRange() {
    FRangeY = std::uint32_t(RangeY());
}

void TBaseLazyTree::UpdateHorizontalRange() {
    // With header columns the range is their total width; without, the widest node in view.
    FRangeX = FHeader->UseColumns() ? std::uint32_t(FHeader->Columns()->TotalWidth())
                                    : std::uint32_t(std::max(GetContentRightExtent(), 0));
}

void TBaseLazyTree::UpdateRanges() {
    UpdateVerticalRange();
    UpdateHorizontalRange();
}

void TBaseLazyTree::ShowTreeScrollBar(int Bar, bool Show) {
    if (HandleAllocated()) ShowScrollBar(Handle(), Bar, Show);
    if (OnShowScrollBar) OnShowScrollBar(this, Bar, Show);
}

// Shows the bar and sets its range 0 .. Range, or hides it when the content fits. Answers the
// position the window keeps.
int TBaseLazyTree::updateScrollBar(int Bar, int ClientSize, std::uint32_t Range, int Position,
                                   bool DoRepaint) {
    const TScrollBarOptions* options = ScrollBarOptions();
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(Handle(), Bar, &info);
    if (std::uint32_t(std::max(ClientSize, 0)) < Range || options->AlwaysVisible()) {
        ShowTreeScrollBar(Bar, true);
        info.nMin = 0;
        info.nMax = int(Range);
        info.nPos = Position;
        info.nPage = UINT(std::max(ClientSize + 1, 0));
        if (options->AlwaysVisible()) info.fMask |= SIF_DISABLENOSCROLL;
        SetScrollInfo(Handle(), Bar, &info, DoRepaint);
    } else {
        info.nMin = info.nMax = info.nPos = 0;
        info.nPage = 0;
        ShowTreeScrollBar(Bar, false);
        SetScrollInfo(Handle(), Bar, &info, false);
    }
    return GetScrollPos(Handle(), Bar);
}

void TBaseLazyTree::UpdateVerticalScrollBar(bool DoRepaint) {
    UpdateVerticalRange();
    if (FStates.Contains(tsUpdating)) return;
    if (!barEnabled(ScrollBarOptions()->ScrollBars(), true)) {
        ShowTreeScrollBar(SB_VERT, false);
        SetOffsetY(FOffsetY);
        return;
    }
    if (!HandleAllocated()) return;
    const int pos = updateScrollBar(SB_VERT, ClientHeight(), FRangeY, -FOffsetY, DoRepaint);
    SetOffsetY(-pos);
}

void TBaseLazyTree::UpdateHorizontalScrollBar(bool DoRepaint) {
    UpdateHorizontalRange();
    if (FStates.Contains(tsUpdating) || !HandleAllocated()) return;
    FEffectiveOffsetX = effectiveOffsetXOf(FOffsetX);
    int offsetX = FOffsetX;
    if (barEnabled(ScrollBarOptions()->ScrollBars(), false)) {
        FEffectiveOffsetX =
            updateScrollBar(SB_HORZ, ClientWidth(), FRangeX, FEffectiveOffsetX, DoRepaint);
        offsetX = UseRightToLeftAlignment() ? ClientWidth() + FEffectiveOffsetX - int(FRangeX)
                                            : -FEffectiveOffsetX;
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
    // A mirrored tree scrolls horizontally the other way.
    const int s = !Vertical && UseRightToLeftAlignment() ? -1 : 1;
    const int increment =
        s * int(Vertical ? options->VerticalIncrement() : options->HorizontalIncrement());
    const int page = s * (Vertical ? ClientHeight() : ClientWidth());
    const int offset = Vertical ? FOffsetY : FOffsetX;
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
    case SB_THUMBTRACK: {
        ChangeTreeStates({tsThumbTracking}, {});
        // The track position is 32 bits wide; the message carries only 16 of them.
        SCROLLINFO info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), Vertical ? SB_VERT : SB_HORZ, &info);
        value = s < 0 ? ClientWidth() - int(FRangeX) + info.nTrackPos : -info.nTrackPos;
        break;
    }
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
            RedrawWindow(Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
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

void TBaseLazyTree::WMSize(TWMSize& Message) {
    TCustomControl::WMSize(Message);
    if (!HandleAllocated() || FStates.Contains(tsSizing) || FStates.Contains(tsWindowCreating) ||
        ClientHeight() <= 0)
        return;
    // An owner that is going may have freed what the text events read, while its controls are
    // still laid out anew.
    for (TComponent* c = this; c; c = c->Owner())
        if (c->ComponentState() & csDestroying) return;
    ChangeTreeStates({tsSizing}, {});
    struct Leave {
        TBaseLazyTree* tree;
        ~Leave() { tree->ChangeTreeStates({}, {tsSizing}); }
    } leave{this};
    UpdateScrollBars(true);
}
