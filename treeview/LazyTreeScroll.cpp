// Scrolling offsets, the lookup of the node at a vertical position and the position cache that
// the shared worker thread rebuilds for trees with many visible nodes.
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeWorker.h"

#include "platform/ui/core/SysInfo.h"

#include <algorithm>

namespace {
// Each validation gets a number no other validation in the process had, so that a late
// outcome cannot be taken for the current one (not even by a tree at a reused address).
std::atomic<std::uint64_t> nextGeneration{1};
} // namespace

void TBaseLazyTree::MarkCacheInvalid() {
    FCacheGeneration = nextGeneration++;
    if (FStates.Contains(tsUseCache))
        ChangeTreeStates({tsValidationNeeded}, {tsUseCache});
    else if (!FStates.Contains(tsValidationNeeded))
        FStates.Include(tsValidationNeeded);
}

void TBaseLazyTree::StopCacheValidation() {
    FStopValidation = true;
    if (FStates.Contains(tsUseCache))
        ChangeTreeStates({tsStopValidation}, {tsUseCache});
    else
        FStates.Include(tsStopValidation);
    if (!FCacheQueued) return;
    FCacheQueued = false;
    const bool wasValidating = FStates.Contains(tsValidating);
    WorkerRemoveTree(this);
    if (wasValidating) {
        ChangeTreeStates({}, {tsValidating});
        MarkCacheInvalid();
    }
}

void TBaseLazyTree::StartCacheValidation() {
    StopCacheValidation();
    FStartIndex = 0;
    if (FStates.Contains(tsValidationNeeded) && FVisibleCount > CacheThreshold &&
        WorkerThreadRunning()) {
        FStopValidation = false;
        ChangeTreeStates({tsValidating}, {tsStopValidation});
        FCacheQueued = true;
        WorkerAddTree(this);
    }
}

void TBaseLazyTree::finishCacheValidation(bool UseCache, std::uint64_t Generation) {
    if (!FCacheQueued || Generation != FCacheGeneration) return;
    FCacheQueued = false;
    TLazyTreeStates enter, leave{tsStopValidation, tsValidating};
    if (UseCache) {
        enter.Include(tsUseCache);
        leave.Include(tsValidationNeeded);
    }
    ChangeTreeStates(enter, leave);
}

std::size_t TBaseLazyTree::cacheEntryCountFor(std::uint32_t VisibleCount) const {
    if (VisibleCount <= 1) return 0;
    return (std::size_t(VisibleCount) + CacheThreshold - 1) / CacheThreshold;
}

bool TBaseLazyTree::RebuildPositionCache() {
    if (FStopValidation) return false;
    if (FStartIndex == 0) FPositionCache.clear();
    const std::size_t count = cacheEntryCountFor(FVisibleCount);
    FPositionCache.resize(count, TCacheEntry{nullptr, 0});
    if (FStartIndex > count) FStartIndex = std::uint32_t(count);
    PLazyNode node;
    std::uint32_t top = 0;
    std::size_t entry = 0;
    if (FStartIndex > 0 && FPositionCache[FStartIndex - 1].Node) {
        entry = FStartIndex - 1;
        node = FPositionCache[entry].Node;
        top = FPositionCache[entry].AbsoluteTop;
    } else {
        node = GetFirstVisibleNoInit(nullptr, true);
    }
    static_assert(CacheThreshold % FineCacheStep == 0);
    FFineCache.resize(std::min(FFineCache.size(), entry * (CacheThreshold / FineCacheStep)));
    FFineCache.reserve(std::size_t(FVisibleCount) / FineCacheStep + 1);
    std::uint32_t index = 0;
    PLazyNode last = nullptr;
    while (node) {
        if (FStopValidation) return false;
        if (index % FineCacheStep == 0) {
            if (index % CacheThreshold == 0) {
                if (entry >= FPositionCache.size()) break;
                FPositionCache[entry++] = TCacheEntry{node, top};
            }
            FFineCache.push_back(TCacheEntry{node, top});
        }
        top += node->NodeHeight;
        last = node;
        node = GetNextVisibleNoInit(node, true);
        ++index;
    }
    if (FStopValidation) return false;
    if (entry < FPositionCache.size() && last) {
        FPositionCache.resize(entry + 1);
        FPositionCache[entry] = TCacheEntry{last, top};
    }
    return !FPositionCache.empty();
}

PLazyNode TBaseLazyTree::GetNodeAt(int X, int Y) {
    int top = 0;
    return GetNodeAt(X, Y, true, top);
}

PLazyNode TBaseLazyTree::GetNodeAt(int, int Y, bool Relative, int& NodeTop) {
    if (Y < 0) Y = 0;
    if (Relative) Y -= FOffsetY;
    const auto y = std::uint32_t(Y);
    PLazyNode node = nullptr;
    std::uint32_t top = 0;
    if (FStates.Contains(tsUseCache) && !FFineCache.empty()) {
        // The last entry whose top is at or above y.
        auto it = std::upper_bound(
            FFineCache.begin(), FFineCache.end(), y,
            [](std::uint32_t v, const TCacheEntry& e) { return v < e.AbsoluteTop; });
        if (it != FFineCache.begin()) {
            --it;
            node = it->Node;
            top = it->AbsoluteTop;
        }
    }
    if (!node) {
        node = GetFirstVisibleNoInit(nullptr, true);
        top = 0;
    }
    // In normal order a row without shown children is followed by its next sibling when that
    // one is shown; only the other steps need the general walk.
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    const bool plain = !paint.Contains(toChildrenAbove);
    const bool showFiltered = paint.Contains(toShowFilteredNodes);
    while (node && node != FRoot) {
        const std::uint32_t h = node->NodeHeight;
        if (top + h > y) break;
        top += h;
        PLazyNode s = node->NextSibling;
        if (plain && s && (!node->States.Contains(vsExpanded) || !node->FirstChild) &&
            s->States.Contains(vsVisible) && (showFiltered || !s->States.Contains(vsFiltered)))
            node = s;
        else
            node = GetNextVisibleNoInit(node, true);
    }
    if (!node || node == FRoot) return nullptr;
    NodeTop = Relative ? int(top) + FOffsetY : int(top);
    return node;
}

int TBaseLazyTree::AbsoluteNodeTop(PLazyNode Node) const {
    if (!Node || Node == FRoot || !FullyVisible(Node) || GetEffectivelyFiltered(Node)) return -1;
    int top = 0;
    for (PLazyNode n = Node; n != FRoot; n = n->Parent) {
        for (PLazyNode s = n->Parent->FirstChild; s != n; s = s->NextSibling)
            if (s->States.Contains(vsVisible)) top += int(s->TotalHeight);
        if (n->Parent != FRoot && !GetEffectivelyFiltered(n->Parent))
            top += int(n->Parent->NodeHeight);
    }
    return top;
}

bool TBaseLazyTree::ApplyScrollOffsets(int X, int Y) {
    if (X < ClientWidth() - int(FRangeX)) X = ClientWidth() - int(FRangeX);
    if (X > 0) X = 0;
    if (Y < ClientHeight() - RangeY()) Y = ClientHeight() - RangeY();
    if (Y > 0) Y = 0;
    int dx = X - FOffsetX;
    const int dy = Y - FOffsetY;
    // A mirrored tree's content moves the other way.
    if (UseRightToLeftAlignment()) dx = -dx;
    if (dx == 0 && dy == 0) return false;
    FOffsetX = X;
    FOffsetY = Y;
    FEffectiveOffsetX = effectiveOffsetXOf(FOffsetX);
    if (FUpdateCount == 0) {
        // The horizontal range depends on the nodes in view, so a vertical move updates it too.
        const TScrollStyle bars = ScrollBarOptions()->ScrollBars();
        const bool horizontal = bars == ssHorizontal || bars == ssBoth;
        if (dx != 0 && !FStates.Contains(tsSizing) && horizontal) UpdateHorizontalScrollBar(false);
        if (dy != 0 && !FStates.Contains(tsSizing) && !FStates.Contains(tsThumbTracking)) {
            UpdateVerticalScrollBar(false);
            if (!IsMouseSelecting() && horizontal) UpdateHorizontalScrollBar(false);
        }
        InvalidateWhenShown();
    }
    FireScroll(dx, dy);
    return true;
}

void TBaseLazyTree::FireScroll(int DeltaX, int DeltaY) {
    if (OnScroll) OnScroll(this, DeltaX, DeltaY);
}

void TBaseLazyTree::SetOffsetX(int Value) {
    ApplyScrollOffsets(Value, FOffsetY);
}

void TBaseLazyTree::SetOffsetY(int Value) {
    ApplyScrollOffsets(FOffsetX, Value);
}

void TBaseLazyTree::SetTopNode(PLazyNode Node) {
    if (!Node || Node == FRoot) return;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.Contains(vsExpanded)) ToggleNode(p);
    const int top = AbsoluteNodeTop(Node);
    if (top >= 0) SetOffsetY(-top);
}

bool TBaseLazyTree::ScrollIntoView(PLazyNode Node, bool Center, bool Horizontally) {
    if (!Node || Node == FRoot) return false;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.Contains(vsExpanded)) ToggleNode(p);
    if (AbsoluteNodeTop(Node) < 0) return false;
    const bool gridExtensions = TreeOptions()->MiscOptions().Contains(toGridExtensions);
    const TRect r = GetDisplayRect(Node, NoColumn, !gridExtensions);
    const int clientHeight = ClientHeight();
    // Centred, the node's middle goes to the window's middle.
    const int centre = clientHeight / 2 - r.Height() / 2;
    bool result = false;
    if (r.Top < 0) {
        SetOffsetY(FOffsetY - r.Top + (Center ? centre : 0));
        result = true;
    } else if (r.Bottom > clientHeight || Center) {
        const TScrollBarOptions* options = ScrollBarOptions();
        const TScrollStyle bars = options->ScrollBars();
        const bool horizontalBar = (bars == ssHorizontal || bars == ssBoth) &&
                                   (options->AlwaysVisible() || ClientWidth() < int(FRangeX));
        int y = FOffsetY - r.Bottom + clientHeight;
        if (Center)
            y = FOffsetY - r.Top + centre;
        else if (r.Height() > clientHeight)
            y = FOffsetY - r.Top; // a node higher than the window shows its top
        SetOffsetY(y);
        // Wider nodes came into view and brought the horizontal bar, which covers the bottom.
        if (!horizontalBar && (bars == ssHorizontal || bars == ssBoth) &&
            ClientWidth() < int(FRangeX))
            SetOffsetY(FOffsetY - GetSystemMetrics(SM_CYHSCROLL));
        result = true;
    }
    if (Horizontally && ScrollIntoView(FFocusedColumn, Center)) result = true;
    return result;
}

bool TBaseLazyTree::ScrollIntoView(int Column, bool Center) {
    if (!FHeader->UseColumns() || !FHeader->Columns()->IsValidColumn(Column)) return false;
    const TLazyTreeColumn* column = FHeader->Columns()->Items(Column);
    const int l = column->Left(), w = column->Width(), e = FEffectiveOffsetX;
    const int f = FHeader->Columns()->GetVisibleFixedWidth(), c = ClientWidth();
    int n = e;
    if (Center) {
        n = e + l - f / 2 - c / 2 + w / 2;
    } else {
        if (column->Options().Contains(coFixed)) return true;
        if (l + w > c)
            n = l + w - c + e;
        else if (l < f)
            n = e - (f - l);
    }
    if (n != e) SetOffsetX(UseRightToLeftAlignment() ? c - int(FRangeX) + n : -n);
    return true;
}

int TBaseLazyTree::effectiveOffsetXOf(int OffsetX) const {
    if (!UseRightToLeftAlignment()) return -OffsetX;
    return std::max(0, int(FRangeX) + OffsetX - ClientWidth());
}

void TScrollBarOptions::recreateOwnerWindow() {
    if (!FOwner->IsLoading() && FOwner->HandleAllocated()) FOwner->RecreateWnd();
}

void TScrollBarOptions::SetAlwaysVisible(bool Value) {
    if (FAlwaysVisible == Value) return;
    FAlwaysVisible = Value;
    recreateOwnerWindow();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    recreateOwnerWindow();
}

void TScrollBarOptions::Assign(const TPersistent* Source) {
    if (auto* source = dynamic_cast<const TScrollBarOptions*>(Source)) {
        SetAlwaysVisible(source->FAlwaysVisible);
        FIncrementX = source->FIncrementX;
        SetScrollBars(source->FScrollBars);
        FScrollBarStyle = source->FScrollBarStyle;
        FIncrementY = source->FIncrementY;
        return;
    }
    TPersistent::Assign(Source);
}
