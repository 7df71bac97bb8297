// The scroll ranges, the information of both scroll bars and the scroll messages.
#include "platform/ui/core/Forms.h"
#include "treeview/LazyTree.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

// 100 rows of 18 pixels in a client 200 x 180.
struct ShownTree {
    std::vector<std::pair<int, bool>> shows; // outlives the tree
    std::string wideText;
    TForm form{nullptr};
    TLazyStringTree* tree = new TLazyStringTree(&form);
    explicit ShownTree(std::uint32_t rows = 100) {
        form.SetBounds(0, 0, 400, 400);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 200, 180);
        tree->SetBorderStyle(bsNone);
        tree->OnShowScrollBar = [this](TBaseLazyTree*, int bar, bool show) {
            shows.push_back({bar, show});
        };
        tree->OnGetText = [this](TBaseLazyTree*, PLazyNode node, int, TVSTTextType,
                                 std::string& text) {
            if (node->Index == 1 && !wideText.empty()) text = wideText;
        };
        form.HandleNeeded();
        tree->SetRootNodeCount(rows);
    }
    void scroll(bool vertical, WORD code) {
        tree->Perform(vertical ? WM_VSCROLL : WM_HSCROLL, WPARAM(code), 0);
    }
    SCROLLINFO info(int bar) const {
        SCROLLINFO i;
        i.fMask = SIF_ALL;
        GetScrollInfo(tree->Handle(), bar, &i);
        return i;
    }
    bool shown(int bar) const {
        return GetWindowLong(tree->Handle(), GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL);
    }
};

TEST(LazyTreeScrollBars, VerticalBarFollowsTheRangeAndTheScrollMessages) {
    ShownTree t;
    ASSERT_EQ(t.tree->ClientHeight(), 180);
    EXPECT_TRUE(t.shown(SB_VERT));
    EXPECT_EQ(t.info(SB_VERT).nMax, 1800);
    EXPECT_EQ(t.info(SB_VERT).nPage, 181u);
    struct Step {
        WORD code;
        int track;
        int offsetY;
    } steps[] = {
        {SB_LINEDOWN, 0, -20}, {SB_PAGEDOWN, 0, -200},     {SB_LINEUP, 0, -180},
        {SB_BOTTOM, 0, -1620}, {SB_PAGEDOWN, 0, -1620},    {SB_TOP, 0, 0},
        {SB_LINEUP, 0, 0},     {SB_THUMBTRACK, 500, -500}, {SB_ENDSCROLL, 0, -500},
        {9, 0, -500},
    };
    for (const Step& s : steps) {
        if (s.code == SB_THUMBTRACK) SetScrollTrackPos(t.tree, SB_VERT, s.track);
        t.scroll(true, s.code);
        EXPECT_EQ(t.tree->OffsetY(), s.offsetY) << "code " << s.code;
        // While the thumb is dragged the bar is left where the pointer holds it.
        if (s.code != SB_THUMBTRACK) {
            EXPECT_EQ(t.info(SB_VERT).nPos, -s.offsetY) << "code " << s.code;
        }
        EXPECT_EQ(t.tree->TreeStates().Contains(tsThumbTracking), s.code == SB_THUMBTRACK);
    }
}

TEST(LazyTreeScrollBars, BarShowsOnlyWhenNeededAllowedOrAlwaysVisible) {
    struct Case {
        std::uint32_t rows;
        TScrollStyle bars;
        bool always;
        bool visible;
    } cases[] = {
        {100, ssBoth, false, true},        {5, ssBoth, false, false},   {100, ssNone, false, false},
        {100, ssHorizontal, false, false}, {5, ssVertical, true, true},
    };
    for (const Case& c : cases) {
        ShownTree t(c.rows);
        t.tree->SetOffsetY(-100);
        t.tree->ScrollBarOptions()->SetScrollBars(c.bars);
        t.tree->ScrollBarOptions()->SetAlwaysVisible(c.always);
        t.tree->UpdateScrollBars(true);
        EXPECT_EQ(t.shown(SB_VERT), c.visible) << c.rows << " " << c.bars;
        auto last = std::find_if(t.shows.rbegin(), t.shows.rend(),
                                 [](const auto& s) { return s.first == SB_VERT; });
        ASSERT_NE(last, t.shows.rend());
        EXPECT_EQ(last->second, c.visible) << "OnShowScrollBar";
        EXPECT_EQ(t.tree->OffsetY(), c.rows == 100 ? -100 : 0) << "offset stays within range";
    }
}

// Without header columns the horizontal range is the widest node in view.
TEST(LazyTreeScrollBars, HorizontalRangeFollowsTheWidestNodeInView) {
    ShownTree t;
    EXPECT_FALSE(t.shown(SB_HORZ));
    EXPECT_LT(int(t.tree->RangeX()), t.tree->ClientWidth());
    t.wideText = std::string(60, 'W');
    t.tree->InvalidateNode(t.tree->GetFirst()->NextSibling);
    t.tree->UpdateScrollBars(true);
    const int range = int(t.tree->RangeX());
    EXPECT_GT(range, t.tree->ClientWidth());
    EXPECT_TRUE(t.shown(SB_HORZ));
    t.scroll(false, SB_LINERIGHT);
    EXPECT_EQ(t.tree->OffsetX(), -20);
    t.scroll(false, SB_RIGHT);
    EXPECT_EQ(t.tree->OffsetX(), t.tree->ClientWidth() - range);
    EXPECT_EQ(t.info(SB_HORZ).nPos, range - t.tree->ClientWidth());
    // Scrolled down past the wide node, the range shrinks and the offset comes back.
    t.tree->SetOffsetY(-360);
    EXPECT_LT(int(t.tree->RangeX()), t.tree->ClientWidth());
    EXPECT_EQ(t.tree->OffsetX(), 0);
}

} // namespace
