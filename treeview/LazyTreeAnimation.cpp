// The expand and collapse animation: a timed loop on the application clock that scrolls one or
// two regions of the window step by step while a node opens or closes.
#include "treeview/LazyTree.h"

#include "platform/base/Clock.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <cmath>

namespace {

bool applicationTerminating() {
    return Application && Application->Terminated();
}

// Round to the nearest integer, halves to the even neighbour.
int roundEven(double v) {
    return int(std::nearbyint(v));
}

} // namespace

void TBaseLazyTree::Animate(std::uint32_t Steps, std::uint32_t Duration,
                            const TLTAnimationCallback& Callback, void* Data) {
    if (FStates.Contains(tsInAnimation) || Duration == 0) return;
    ChangeTreeStates({tsInAnimation}, {});
    struct Leave {
        TBaseLazyTree* tree;
        ~Leave() { tree->ChangeTreeStates({}, {tsInAnimation, tsCancelHintAnimation}); }
    } leave{this};
    std::uint32_t remaining = Duration;
    int stepSize = roundEven(std::max(double(Steps) / double(Duration), 1.0));
    std::uint32_t numberOfSteps = Steps / std::uint32_t(stepSize);
    int step = 0;
    while (numberOfSteps > 0 && remaining > 0 && !applicationTerminating()) {
        const std::uint32_t start = GetTickCount();
        const std::uint32_t next = start + remaining / numberOfSteps;
        if (!Callback(step, stepSize, Data)) break;
        // Waits on the application clock (tests advance it through Sleep).
        for (std::uint32_t now = GetTickCount(); std::int32_t(next - now) > 0; now = GetTickCount())
            Sleep(next - now);
        const std::uint32_t elapsed = GetTickCount() - start;
        if (elapsed > remaining) {
            remaining = 0;
            numberOfSteps = 0;
        } else {
            remaining -= elapsed;
            --numberOfSteps;
        }
        while (numberOfSteps > 0 && remaining / numberOfSteps < 1) {
            ++stepSize;
            numberOfSteps = remaining / std::uint32_t(stepSize);
        }
        step = int(Steps - numberOfSteps);
    }
    if (!applicationTerminating()) Callback(0, 0, Data);
}

void TBaseLazyTree::scrollAnimationRegion(TToggleAnimationData& D, const TRect& R,
                                          TToggleAnimationMode Mode, int Amount, bool Refill) {
    if (Mode == tamNoScroll || Amount <= 0) return;
    const int dy = Mode == tamScrollUp ? -Amount : Amount;
    ScrollDC(D.DC, 0, dy, &R, &R, nullptr, nullptr);
    if (!Refill) return;
    TRect strip = R;
    if (Mode == tamScrollUp)
        strip.Top = std::max(R.Top, R.Bottom - Amount - 1);
    else
        strip.Bottom = std::min(R.Bottom, R.Top + Amount + 1);
    FillRect(D.DC, strip, D.Brush);
}

bool TBaseLazyTree::ToggleAnimationStep(int Step, int StepSize, void* Data) {
    if (StepSize <= 0) return true;
    auto& D = *static_cast<TToggleAnimationData*>(Data);
    const bool refill = Step == 0;
    scrollAnimationRegion(D, D.R1, D.Region1Mode, StepSize, refill);
    int second = 0;
    if (D.Region1Mode == tamNoScroll) {
        second = StepSize;
    } else if (D.Region2Mode != tamNoScroll && D.ScaleFactor > 0) {
        second = roundEven((StepSize + D.MissedSteps) * D.ScaleFactor);
        D.MissedSteps = StepSize * D.ScaleFactor + D.MissedSteps - second;
    }
    scrollAnimationRegion(D, D.R2, D.Region2Mode, second, refill);
    return true;
}

void TBaseLazyTree::runToggleAnimation(TToggleAnimationData& D) {
    D.DC = Canvas();
    D.Brush = Colors()->BackGroundColor();
    if (D.Region1Mode != tamNoScroll && D.Region2Mode != tamNoScroll) {
        if (D.Pixels2 > D.Pixels1) {
            std::swap(D.R1, D.R2);
            std::swap(D.Region1Mode, D.Region2Mode);
            std::swap(D.Pixels1, D.Pixels2);
        }
        D.ScaleFactor = D.Pixels1 > 0 ? double(D.Pixels2) / double(D.Pixels1) : 0;
        D.MissedSteps = 0;
    }
    const int steps = D.Region1Mode != tamNoScroll ? D.Pixels1 : D.Pixels2;
    if (steps <= 0) return;
    Animate(
        std::uint32_t(steps), AnimationDuration(),
        [this](int Step, int StepSize, void* Data) {
            return ToggleAnimationStep(Step, StepSize, Data);
        },
        &D);
}

bool TBaseLazyTree::animateCollapse(PLazyNode Node, int HeightDelta) {
    if (FUpdateCount != 0 || !HandleAllocated() || FStates.Contains(tsCollapsing) ||
        !TreeOptions()->AnimationOptions().Contains(toAnimatedToggle))
        return false;
    const int top = AbsoluteNodeTop(Node);
    if (top < 0) return false;
    UpdateWindow(Handle());
    const int clientH = ClientHeight(), clientW = ClientWidth();
    TToggleAnimationData d;
    d.R1 = TRect(0, top + FOffsetY, clientW, top + FOffsetY + int(Node->NodeHeight));
    d.Region2Mode = tamNoScroll;
    if (RangeY() + FOffsetY + HeightDelta < clientH && clientH < RangeY() && FOffsetY != 0 &&
        TreeOptions()->AnimationOptions().Contains(toAdvancedAnimatedToggle)) {
        // The content ends above the window bottom afterwards: the part above comes down.
        d.Region1Mode = tamScrollDown;
        d.R1.Top = 0;
        d.Pixels1 = std::min(-FOffsetY, clientH - RangeY() - FOffsetY - HeightDelta);
    } else {
        d.Region1Mode = tamScrollUp;
        d.R1.Top += int(Node->NodeHeight);
        d.R1.Bottom = clientH;
        d.Pixels1 = std::min(-HeightDelta, clientH - d.R1.Top + 1);
    }
    if (d.R1.Top < 0 || d.R1.Top >= clientH) return false;
    runToggleAnimation(d);
    return true;
}

bool TBaseLazyTree::animateExpand(PLazyNode Node, int HeightDelta) {
    if (FUpdateCount != 0 || !HandleAllocated() || FStates.Contains(tsExpanding) ||
        FStates.Contains(tsPainting) ||
        !TreeOptions()->AnimationOptions().Contains(toAnimatedToggle))
        return false;
    const int top = AbsoluteNodeTop(Node);
    if (top < 0) return false;
    const int clientH = ClientHeight(), clientW = ClientWidth();
    const int rowTop = top + FOffsetY, rowBottom = rowTop + int(Node->NodeHeight);
    if (rowTop < 0 || rowTop >= clientH) return false;
    UpdateWindow(Handle());
    const bool positionHoldable = int(Node->NodeHeight) + HeightDelta <= clientH;
    const bool subtreeFitsBelow = clientH >= rowBottom + HeightDelta;
    const TLTAutoOptions autoOptions = TreeOptions()->AutoOptions();
    TToggleAnimationData d;
    if ((positionHoldable && subtreeFitsBelow) || !autoOptions.Contains(toAutoScrollOnExpand) ||
        !TreeOptions()->AnimationOptions().Contains(toAdvancedAnimatedToggle) || rowTop <= 0) {
        // The rows below the node move down to make room.
        d.Region1Mode = tamScrollDown;
        d.R1 = TRect(0, rowBottom, clientW, clientH);
        d.Pixels1 = std::min(clientH - d.R1.Top, HeightDelta);
        d.Region2Mode = tamNoScroll;
    } else {
        // The node moves up while its children open below it.
        d.R2 = TRect(0, rowBottom + 1, clientW, clientH);
        d.Region1Mode = tamScrollUp;
        d.R1 = TRect(0, 0, clientW, rowBottom + 1);
        d.Pixels1 =
            std::min(HeightDelta - (clientH - d.R2.Top), d.R1.Bottom - int(Node->NodeHeight));
        d.Region2Mode = tamScrollDown;
        d.Pixels2 = clientH - d.R2.Top;
    }
    runToggleAnimation(d);
    return true;
}
