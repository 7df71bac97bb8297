// Automatic scrolling while the pointer is held near an edge during a rubber band, and the
// steps of wheel panning, both driven by timer 4.
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr std::uintptr_t ScrollTimer = 4;
} // namespace

bool TBaseLazyTree::AutoScrollAllowed() {
    const bool wheel = FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling);
    const bool dropTarget = FDragManager && FDragManager->IsTargetActive();
    return (TreeOptions()->AutoOptions().Contains(toAutoScroll) || wheel) &&
           (IsMouseSelecting() || dropTarget || wheel);
}

TScrollDirections TBaseLazyTree::GetAutoScrollDirections(int X, int Y) {
    TScrollDirections result;
    if (!AutoScrollAllowed()) return result;
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
        const int dx = X - FLastClickPos.X;
        const int dy = Y - FLastClickPos.Y;
        if (dx < -8) result.Include(sdLeft);
        if (dx > 8) result.Include(sdRight);
        if (dy < -8) result.Include(sdUp);
        if (dy > 8) result.Include(sdDown);
        return result;
    }
    const int zone = int(FDefaultNodeHeight);
    if (X < zone && FEffectiveOffsetX != 0) result.Include(sdLeft);
    if (ClientWidth() + FEffectiveOffsetX < GetTreeRect().Right && X > ClientWidth() - zone)
        result.Include(sdRight);
    if (Y < zone && FOffsetY != 0) result.Include(sdUp);
    if (ClientHeight() - FOffsetY < RangeY() && Y > ClientHeight() - zone) result.Include(sdDown);
    return result;
}

void TBaseLazyTree::ArmAutoScroll(int X, int Y) {
    FScrollDirections = GetAutoScrollDirections(X, Y);
    // The panning code drives the timer itself.
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) return;
    const bool running = FStates.Contains(tsScrolling) || FStates.Contains(tsScrollPending);
    if (FScrollDirections.Empty()) {
        if (running) {
            killTreeTimer(ScrollTimer);
            ChangeTreeStates({}, {tsScrolling, tsScrollPending});
        }
    } else if (!running && HandleAllocated()) {
        ChangeTreeStates({tsScrollPending}, {});
        SetTimer(Handle(), ScrollTimer, AutoScrollDelay());
    }
}

void TBaseLazyTree::AutoScrollTimer() {
    if (FStates.Contains(tsScrollPending)) {
        if (Application) Application->CancelHint();
        SetTimer(Handle(), ScrollTimer, AutoScrollInterval());
        ChangeTreeStates({tsScrolling}, {tsScrollPending});
    }
    AutoScrollStep();
}

void TBaseLazyTree::AutoScrollStep() {
    TPoint screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient(screen);
    const TRect client = ClientRect();
    const TPoint origin = ClientToScreen(TPoint{0, 0});
    const bool inside = client.Contains(p);
    const bool wheel = FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling);
    if (!IsMouseSelecting() && !inside && !wheel) return;
    int dx = 0, dy = 0;
    const int incY = std::min(ClientHeight(), int(ScrollBarOptions()->VerticalIncrement()));
    const int incX = int(ScrollBarOptions()->HorizontalIncrement());
    if (FScrollDirections.Contains(sdUp)) {
        dy = wheel    ? FLastClickPos.Y - p.Y - 8
             : inside ? incY
                      : incY * std::abs(origin.Y - screen.Y);
        if (FOffsetY == 0) FScrollDirections.Exclude(sdUp);
    }
    if (FScrollDirections.Contains(sdDown)) {
        dy = wheel    ? FLastClickPos.Y - p.Y + 8
             : inside ? -incY
                      : -incY * std::abs(screen.Y - (origin.Y + ClientHeight()));
        if (ClientHeight() - FOffsetY == RangeY()) FScrollDirections.Exclude(sdDown);
    }
    if (FScrollDirections.Contains(sdLeft)) {
        dx = wheel    ? FLastClickPos.X - p.X - 8
             : inside ? incX
                      : incX * std::abs(origin.X - screen.X);
        if (FEffectiveOffsetX == 0) FScrollDirections.Exclude(sdLeft);
    }
    if (FScrollDirections.Contains(sdRight)) {
        dx = wheel    ? FLastClickPos.X - p.X + 8
             : inside ? -incX
                      : -incX * std::abs(screen.X - (origin.X + ClientWidth()));
        if (ClientWidth() + FEffectiveOffsetX == GetTreeRect().Right)
            FScrollDirections.Exclude(sdRight);
    }
    dx *= mirrorSign();
    if (IsMouseSelecting()) {
        ApplyScrollOffsets(FOffsetX + dx, FOffsetY + dy);
        if (FStates.Contains(tsDrawSelecting) && UpdateSelectionRect(p.X, p.Y))
            ApplyRubberBandSelection(p.X, p.Y);
        InvalidateWhenShown();
    } else if (dx != 0 || dy != 0) {
        ApplyScrollOffsets(FOffsetX + dx, FOffsetY + dy);
    }
    if (HandleAllocated()) Update();
    if (FScrollDirections.Empty() && !wheel) {
        killTreeTimer(ScrollTimer);
        ChangeTreeStates({}, {tsScrolling, tsScrollPending});
    }
}
