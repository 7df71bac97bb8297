// The scroll ranges, the information of both scroll bars and the scroll messages.
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/SysInfo.h"
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
        return GetWindowLong(tree->Handle(), GWL_STYLE) &
               (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL);
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

namespace {

// The tree's bar as a user drives it: Qt's own mouse events on the native scroll bar.
TEST(LazyTreeScrollBars, NativeBarStepsPagesAndDragsTheTree) {
    ShownTree t;
    auto* other = new TLazyStringTree(&t.form);
    other->SetParent(&t.form);
    other->SetBounds(250, 0, 50, 50);
    t.form.Show();
    other->SetFocus();
    uitest::processMessages();
    auto at = [&](uitest::TScrollBarPart part) {
        return uitest::nativeScrollBarPoint(t.tree, SB_VERT, part);
    };
    auto click = [&](TPoint p) {
        uitest::postNativeWindowMouseDown(t.tree, p);
        uitest::postNativeWindowMouseUp(t.tree, p);
        uitest::processMessages();
    };
    ASSERT_FALSE(t.tree->Focused());
    click(at(uitest::sbpLineDown));
    EXPECT_EQ(t.tree->OffsetY(), -20);
    EXPECT_TRUE(t.tree->Focused()) << "a press on the bar focuses the tree";
    click(at(uitest::sbpPageDown));
    EXPECT_EQ(t.tree->OffsetY(), -200);
    click(at(uitest::sbpLineUp));
    EXPECT_EQ(t.tree->OffsetY(), -180);
    EXPECT_EQ(t.info(SB_VERT).nPos, 180);
    // Dragging: the tree follows the thumb, and the thumb stays under the pointer.
    const TPoint thumb = at(uitest::sbpThumb);
    uitest::postNativeWindowMouseDown(t.tree, thumb);
    uitest::postNativeWindowMouseMove(t.tree, {thumb.X, thumb.Y + 40}, true);
    uitest::processMessages();
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsThumbTracking));
    const int tracked = t.tree->OffsetY();
    EXPECT_LT(tracked, -180);
    EXPECT_EQ(-tracked, t.info(SB_VERT).nTrackPos);
    uitest::postNativeWindowMouseUp(t.tree, {thumb.X, thumb.Y + 40});
    uitest::processMessages();
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsThumbTracking));
    EXPECT_EQ(t.tree->OffsetY(), tracked);
    EXPECT_EQ(t.info(SB_VERT).nPos, -tracked);
}

// ScrollIntoView over rows of 18 pixels in a client 180 high (10 rows in view).
TEST(LazyTreeScrollBars, ScrollIntoViewPlacesTheNode) {
    struct Case {
        int startOffset;
        int row;
        bool center;
        int offsetY;
        bool result;
    } cases[] = {
        {0, 3, false, 0, false},                     // in view: stays
        {0, 12, false, -(13 * 18 - 180), true},      // below: bottom edge to the window's bottom
        {-360, 5, false, -90, true},                 // above: top edge to the window's top
        {0, 3, true, 0, true},                       // centred, but the canvas starts at 0
        {0, 40, true, -(40 * 18 + 9 - 90), true},    // below, centred: middle to the middle
        {-720, 20, true, -(20 * 18 + 9 - 90), true}, // above, centred
        {-720, 44, true, -(44 * 18 + 9 - 90), true}, // in view, centred all the same
        {0, 99, true, -(1800 - 180), true}, // the last row: no further than the canvas ends
    };
    for (const Case& c : cases) {
        ShownTree t;
        t.tree->SetOffsetY(c.startOffset);
        PLazyNode node = t.tree->GetFirst();
        for (int i = 0; i < c.row; ++i) node = t.tree->GetNextSibling(node);
        EXPECT_EQ(t.tree->ScrollIntoView(node, c.center), c.result) << c.row;
        EXPECT_EQ(t.tree->OffsetY(), c.offsetY) << c.row << " centre " << c.center;
    }
    ShownTree t;
    EXPECT_FALSE(t.tree->ScrollIntoView(nullptr, true));
    EXPECT_FALSE(t.tree->ScrollIntoView(t.tree->RootNode(), true));
    EXPECT_FALSE(t.tree->ScrollIntoView(0, true)); // no header columns
}

// A node in a collapsed branch is expanded first; when the rows brought into view are wider
// than the window, the horizontal bar appears and the offset moves on by its height.
TEST(LazyTreeScrollBars, ScrollIntoViewExpandsAndMakesRoomForTheHorizontalBar) {
    ShownTree t;
    PLazyNode parent = t.tree->GetFirst();
    for (int i = 0; i < 30; ++i) parent = t.tree->GetNextSibling(parent);
    t.tree->SetChildCount(parent, 2);
    PLazyNode wide = t.tree->GetLastChild(parent); // its index 1 makes it wide
    ASSERT_FALSE(t.tree->Expanded(parent));
    t.wideText = std::string(60, 'W');
    ASSERT_FALSE(t.shown(SB_HORZ));
    EXPECT_TRUE(t.tree->ScrollIntoView(wide, false));
    EXPECT_TRUE(t.tree->Expanded(parent));
    ASSERT_TRUE(t.shown(SB_HORZ));
    EXPECT_EQ(t.tree->OffsetY(), -(33 * 18 - 180) - SystemScrollBarSize);
    EXPECT_EQ(t.tree->GetDisplayRect(wide, -1, false).Bottom, t.tree->ClientHeight());
}

} // namespace
