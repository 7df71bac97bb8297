// The expand and collapse animation on the manual application clock.
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Forms.h"
#include "treeview/LazyTree.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Call {
    int step, stepSize;
    std::uint32_t elapsed; // ms since the animation started
};

std::vector<Call> animate(TBaseLazyTree& tree, std::uint32_t steps, std::uint32_t duration) {
    std::vector<Call> calls;
    const std::uint32_t start = GetTickCount();
    tree.Animate(
        steps, duration,
        [&](int step, int stepSize, void*) {
            calls.push_back({step, stepSize, GetTickCount() - start});
            return true;
        },
        nullptr);
    return calls;
}

TEST(LazyTreeAnimation, StepsAreSpreadOverTheDurationOnTheApplicationClock) {
    TLazyStringTree tree(nullptr);
    EXPECT_TRUE(animate(tree, 40, 0).empty()) << "no duration, no call";

    // 40 steps in 200 ms: one pixel every 5 ms, then the closing call.
    std::vector<Call> calls = animate(tree, 40, 200);
    ASSERT_EQ(calls.size(), 41u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(calls[std::size_t(i)].step, i);
        EXPECT_EQ(calls[std::size_t(i)].stepSize, 1);
        EXPECT_EQ(calls[std::size_t(i)].elapsed, std::uint32_t(5 * i));
    }
    EXPECT_EQ(calls.back().step, 0);
    EXPECT_EQ(calls.back().stepSize, 0);
    EXPECT_EQ(calls.back().elapsed, 200u);

    // More steps than milliseconds: the step size grows so that no step is under 1 ms.
    calls = animate(tree, 1000, 200);
    ASSERT_GT(calls.size(), 1u);
    int moved = 0;
    for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
        EXPECT_GE(calls[i].stepSize, 5);
        moved += calls[i].stepSize;
    }
    EXPECT_EQ(moved, 1000);
    EXPECT_EQ(calls.back().elapsed, 200u);
}

TEST(LazyTreeAnimation, ACallbackAnsweringFalseEndsTheAnimation) {
    TLazyStringTree tree(nullptr);
    int calls = 0;
    tree.Animate(
        40, 200, [&](int, int stepSize, void*) { return ++calls, stepSize == 0 || calls < 3; },
        nullptr);
    EXPECT_EQ(calls, 4) << "three steps, the third refused, then the closing call";
}

// A scrolled region moves its pixels; on step 0 the uncovered strip takes the brush.
TEST(LazyTreeAnimation, ToggleStepScrollsTheRegionAndRefillsTheStripOnStepZero) {
    TLazyStringTree tree(nullptr);
    TBitmap bitmap(10, 20);
    TCanvas* c = bitmap.Canvas();
    FillRect(c, TRect(0, 0, 10, 20), clWhite);
    FillRect(c, TRect(0, 5, 10, 6), clRed); // a marker row at y 5
    TBaseLazyTree::TToggleAnimationData d;
    d.DC = c;
    d.Brush = clBlue;
    d.R1 = TRect(0, 2, 10, 20);
    d.Region1Mode = TBaseLazyTree::tamScrollDown;
    tree.ToggleAnimationStep(0, 3, &d);
    EXPECT_EQ(c->Pixels(4, 8), clRed) << "marker moved down by 3";
    EXPECT_EQ(c->Pixels(4, 2), clBlue);
    EXPECT_EQ(c->Pixels(4, 5), clBlue) << "strip of step size + 1";
    EXPECT_EQ(c->Pixels(4, 6), clWhite);
    EXPECT_EQ(c->Pixels(4, 1), clWhite) << "outside the region";
    tree.ToggleAnimationStep(1, 2, &d);
    EXPECT_EQ(c->Pixels(4, 10), clRed);
    EXPECT_EQ(c->Pixels(4, 2), clBlue) << "later steps leave the strip as it was";
}

struct ShownTree {
    std::vector<std::pair<TLazyTreeStates, TLazyTreeStates>> changes; // outlives the tree
    TForm form{nullptr};
    TLazyStringTree* tree = new TLazyStringTree(&form);
    ShownTree() {
        form.SetBounds(0, 0, 300, 300);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 200, 180);
        form.HandleNeeded();
        tree->OnInitNode = [](TBaseLazyTree*, PLazyNode parent, PLazyNode,
                              TLazyNodeInitStates& states) {
            if (!parent) states.Include(ivsHasChildren);
        };
        tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 4; };
        tree->OnStateChange = [this](TBaseLazyTree*, TLazyTreeStates enter, TLazyTreeStates leave) {
            changes.push_back({enter, leave});
        };
        tree->SetRootNodeCount(3);
    }
    bool animated() const {
        for (auto& [enter, leave] : changes)
            if (enter.Contains(tsInAnimation)) return true;
        return false;
    }
};

TEST(LazyTreeAnimation, TogglingAnimatesOnlyOutsideUpdateBracketsAndWithTheOption) {
    struct Case {
        bool option;
        bool bracket;
        bool animated;
    };
    for (Case c : {Case{true, false, true}, Case{false, false, false}, Case{true, true, false}}) {
        ShownTree t;
        TLTAnimationOptions a;
        if (c.option) a.Include(toAnimatedToggle);
        t.tree->TreeOptions()->SetAnimationOptions(a);
        PLazyNode first = t.tree->GetFirst();
        const std::uint32_t start = GetTickCount();
        if (c.bracket) t.tree->BeginUpdate();
        t.tree->ToggleNode(first);
        if (c.bracket) t.tree->EndUpdate();
        EXPECT_TRUE(t.tree->Expanded(first));
        EXPECT_EQ(t.animated(), c.animated) << c.option << c.bracket;
        EXPECT_EQ(GetTickCount() - start, c.animated ? t.tree->AnimationDuration() : 0u);
        t.changes.clear();
        t.tree->ToggleNode(first);
        EXPECT_FALSE(t.tree->Expanded(first));
        EXPECT_EQ(t.animated(), c.option) << "collapse";
    }
}

TEST(LazyTreeAnimation, FullExpandDoesNotAnimate) {
    ShownTree t;
    t.tree->TreeOptions()->SetAnimationOptions({toAnimatedToggle});
    t.tree->FullExpand();
    EXPECT_FALSE(t.animated());
    EXPECT_EQ(t.tree->VisibleCount(), 15u);
}

} // namespace
