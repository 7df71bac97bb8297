// Mouse input as window messages (and one native click through Qt): buttons, clicks with
// modifiers, the rubber band, check clicks, right clicks and popup menus, the wheel, wheel
// panning and hot tracking.
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

namespace {

using uitest::click;
using uitest::mouseDown;
using uitest::mouseMove;
using uitest::mouseUp;

struct FlatTree : TreeFixture {
    FlatTree() : TreeFixture({"a", "b", "c", "d", "e", "f"}) {
        setSelectionOptions({toMultiSelect});
        logSelection();
    }
};

TEST(LazyTreeMouse, ButtonClicksToggleWithoutFocusOrSelection) {
    TreeFixture t({"a", "a/a1", "b"});
    t.tree->OnExpanded = [&](TBaseLazyTree*, PLazyNode n) {
        t.log.push_back("expanded " + t.name(n));
    };
    t.tree->OnCollapsed = [&](TBaseLazyTree*, PLazyNode n) {
        t.log.push_back("collapsed " + t.name(n));
    };
    click(t.tree, t.rowPoint("a", 5));
    EXPECT_TRUE(t.tree->Expanded(t["a"]));
    EXPECT_EQ(t.tree->FocusedNode(), nullptr);
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
    uitest::doubleClick(t.tree, t.rowPoint("a", 5));
    EXPECT_TRUE(t.tree->Expanded(t["a"]));
    EXPECT_EQ(t.events(), "expanded a, collapsed a, expanded a");
}

TEST(LazyTreeMouse, ClicksWithModifiersSelectAndFocus) {
    FlatTree t;
    struct Step {
        const char* node;
        TShiftState shift;
        const char* selection;
        const char* focus;
    };
    const Step steps[] = {
        {"b", {}, "b", "b"},
        {"d", {ssCtrl}, "b d", "d"},
        {"b", {ssCtrl}, "d", "b"},
        {"e", {ssShift}, "b c d e", "e"},
        {"a", {ssCtrl, ssShift}, "a b c d e", "a"},
        {"c", {}, "c", "c"},
    };
    for (const Step& s : steps) {
        click(t.tree, t.textPoint(s.node), s.shift);
        EXPECT_EQ(t.selection(), s.selection) << s.node;
        EXPECT_EQ(t.name(t.tree->FocusedNode()), s.focus) << s.node;
    }
    t.events();
    // A plain click on an unselected node: focus first, then the selection and one change.
    click(t.tree, t.textPoint("f"));
    EXPECT_EQ(t.events(), "-c, +f, change f, focus f");
}

TEST(LazyTreeMouse, DoubleClickEventsInOrder) {
    TreeFixture t({"a", "a/a1", "b"});
    t.logSelection();
    t.tree->OnNodeClick = [&](TBaseLazyTree*, const THitInfo& h) {
        t.log.push_back("click " + t.name(h.HitNode));
    };
    t.tree->OnNodeDblClick = [&](TBaseLazyTree*, const THitInfo& h) {
        t.log.push_back("dblclick " + t.name(h.HitNode));
    };
    t.tree->OnExpanded = [&](TBaseLazyTree*, PLazyNode n) {
        t.log.push_back("expanded " + t.name(n));
    };
    uitest::doubleClick(t.tree, t.textPoint("a"));
    EXPECT_EQ(t.events(), "+a, change a, focus a, click a, dblclick a, expanded a, click a");
}

TEST(LazyTreeMouse, ClickWithoutMultiSelectReplacesTheSelection) {
    TreeFixture t({"a", "b", "c"});
    click(t.tree, t.textPoint("a"));
    click(t.tree, t.textPoint("c"), {ssCtrl});
    EXPECT_EQ(t.selection(), "c");
    // Right of the text a click neither selects nor focuses; below the nodes neither.
    click(t.tree, t.rowPoint("b", 150));
    click(t.tree, {50, 150});
    EXPECT_EQ(t.selection(), "c");
    EXPECT_EQ(t.tree->FocusedNode(), t["c"]);
}

TEST(LazyTreeMouse, LevelConstraintKeepsCtrlClicksOnOneLevel) {
    TreeFixture t({"a", "a/a1", "b"});
    t.setSelectionOptions({toMultiSelect, toLevelSelectConstraint});
    t.tree->FullExpand();
    click(t.tree, t.textPoint("a"));
    click(t.tree, t.textPoint("a1"), {ssCtrl});
    click(t.tree, t.textPoint("b"), {ssCtrl});
    EXPECT_EQ(t.selection(), "a b");
}

TEST(LazyTreeMouse, PressBesideTheNodesClearsAndStartsARubberBand) {
    FlatTree t;
    click(t.tree, t.textPoint("b"));
    click(t.tree, t.textPoint("c"), {ssCtrl});
    mouseDown(t.tree, {150, 150});
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsDrawSelPending));
    EXPECT_EQ(t.tree->FocusedNode(), t["c"]);
    mouseUp(t.tree, {150, 150});
    EXPECT_FALSE(t.tree->IsMouseSelecting());
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
    EXPECT_EQ(t.tree->FocusedNode(), t["c"]);
}

TEST(LazyTreeMouse, RubberBandSelectsCrossedNodesAndTogglesWithCtrl) {
    FlatTree t;
    mouseDown(t.tree, {150, 150});
    mouseMove(t.tree, {30, 60}, {ssLeft});
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsDrawSelecting));
    EXPECT_EQ(t.selection(), "d e f");
    mouseMove(t.tree, {30, 80}, {ssLeft});
    EXPECT_EQ(t.selection(), "e f");
    mouseUp(t.tree, {30, 80});
    EXPECT_FALSE(t.tree->IsMouseSelecting());
    EXPECT_EQ(t.selection(), "e f");

    t.tree->ClearSelection();
    t.tree->AddToSelection(t["e"]);
    mouseDown(t.tree, {150, 150}, mbLeft, {ssCtrl});
    mouseMove(t.tree, {30, 60}, {ssLeft, ssCtrl});
    mouseUp(t.tree, {30, 60}, mbLeft, {ssCtrl});
    EXPECT_EQ(t.selection(), "d f");
    // A band right of the texts crosses nothing.
    t.tree->ClearSelection();
    mouseDown(t.tree, {190, 150});
    mouseMove(t.tree, {120, 10}, {ssLeft});
    mouseUp(t.tree, {120, 10});
    EXPECT_EQ(t.selection(), "");
}

TEST(LazyTreeMouse, CheckClickAppliesOnReleaseOverTheSameRow) {
    FlatTree t;
    t.addMisc(toCheckSupport);
    t.tree->SetCheckType(t["b"], ctCheckBox);
    t.tree->SetCheckType(t["c"], ctCheckBox);
    t.tree->SetDisabled(t["c"], true);
    int checked = 0;
    t.tree->OnChecked = [&](TBaseLazyTree*, PLazyNode) { ++checked; };
    const TPoint box = t.rowPoint("b", 25);
    mouseDown(t.tree, box);
    EXPECT_EQ(t["b"]->CheckState, csUncheckedPressed);
    EXPECT_EQ(t.tree->CheckNode(), t["b"]);
    mouseUp(t.tree, t.rowPoint("b", 120));
    EXPECT_EQ(t["b"]->CheckState, csCheckedNormal);
    EXPECT_EQ(checked, 1);
    // Released over another row: the look comes back and nothing changes.
    mouseDown(t.tree, box);
    mouseUp(t.tree, t.rowPoint("d", 25));
    EXPECT_EQ(t["b"]->CheckState, csCheckedNormal);
    EXPECT_EQ(t.tree->CheckNode(), nullptr);
    // A disabled node and the right button change nothing.
    click(t.tree, t.rowPoint("c", 25));
    EXPECT_EQ(t["c"]->CheckState, csUncheckedNormal);
    t.setSelectionOptions({toMultiSelect, toRightClickSelect});
    uitest::rightClick(t.tree, box);
    EXPECT_EQ(t["b"]->CheckState, csCheckedNormal);
    EXPECT_EQ(checked, 1);
    // A double click arms the change again: two changes.
    uitest::doubleClick(t.tree, box);
    EXPECT_EQ(t["b"]->CheckState, csCheckedNormal);
    EXPECT_EQ(checked, 3);
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
}

TEST(LazyTreeMouse, RightClickKeepsTheSelectionWhenAPopupMenuIsAvailable) {
    FlatTree t;
    t.setSelectionOptions({toMultiSelect, toRightClickSelect});
    TPopupMenu menu(nullptr);
    int shown = 0;
    menu.OnPopup = [&](TObject*) { ++shown; };
    std::string asked;
    t.tree->OnGetPopupMenu = [&](TBaseLazyTree*, PLazyNode n, int, const TPoint&, bool&,
                                 TPopupMenu*& m) {
        asked += t.name(n);
        if (t.name(n) == "b" || t.name(n) == "c") m = &menu;
    };
    click(t.tree, t.textPoint("b"));
    click(t.tree, t.textPoint("c"), {ssCtrl});
    uitest::rightClick(t.tree, t.textPoint("c"));
    EXPECT_EQ(t.selection(), "b c");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(menu.PopupComponent(), t.tree);
    click(t.tree, t.textPoint("d"), {ssCtrl});
    uitest::rightClick(t.tree, t.textPoint("d"));
    EXPECT_EQ(t.selection(), "d");
    EXPECT_EQ(shown, 1);
    uitest::rightClick(t.tree, t.textPoint("e"));
    EXPECT_EQ(t.selection(), "e");
}

TEST(LazyTreeMouse, WheelScrollsLinesOrPages) {
    TreeFixture t({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o"});
    t.tree->SetBounds(0, 0, 200, 100);
    uitest::mouseWheel(t.tree, {50, 50}, -120);
    EXPECT_EQ(t.tree->OffsetY(), -54);
    uitest::mouseWheel(t.tree, {50, 50}, 120);
    EXPECT_EQ(t.tree->OffsetY(), 0);
    uitest::mouseWheel(t.tree, {50, 50}, -120, {ssCtrl});
    EXPECT_EQ(t.tree->OffsetY(), -100);
    // With Shift the wheel scrolls sideways, and there is nothing to scroll sideways.
    uitest::mouseWheel(t.tree, {50, 50}, -120, {ssShift});
    EXPECT_EQ(t.tree->OffsetY(), -100);
    EXPECT_EQ(t.tree->OffsetX(), 0);
}

TEST(LazyTreeMouse, MiddleClickPansOnlyWhenThereIsSomethingToScroll) {
    TreeFixture t({"a", "b"});
    mouseDown(t.tree, {50, 10}, mbMiddle);
    mouseUp(t.tree, {50, 10}, mbMiddle);
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsWheelPanning));
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsWheelScrolling));
    EXPECT_EQ(t.tree->PanningWindow(), nullptr);
    t.tree->SetBounds(0, 0, 200, 20);
    mouseDown(t.tree, {50, 10}, mbMiddle);
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsWheelPanning));
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsWheelScrolling));
    // The indicator is centred on the click and shaped like its disc.
    TWinControl* indicator = t.tree->PanningWindow();
    ASSERT_NE(indicator, nullptr);
    EXPECT_TRUE(indicator->IsPopupWindow());
    EXPECT_TRUE(indicator->Visible());
    EXPECT_EQ(indicator->BoundsRect(), Bounds(t.tree->ClientToScreen({50, 10}).X - 16,
                                              t.tree->ClientToScreen({50, 10}).Y - 16, 32, 32));
    ASSERT_NE(indicator->WindowRegion(), nullptr);
    EXPECT_TRUE(indicator->WindowRegion()->Contains({16, 16}));
    EXPECT_FALSE(indicator->WindowRegion()->Contains({0, 0}));
    EXPECT_EQ(t.tree->PanningCursor(), crSizeNS);
    // Released without moving: panning goes on until the next press.
    mouseUp(t.tree, {50, 10}, mbMiddle);
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsWheelPanning));
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsWheelScrolling));
    click(t.tree, t.textPoint("a"));
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsWheelScrolling));
    EXPECT_EQ(t.tree->SelectedCount(), 0u); // the press only ended panning
    // Held and moved: panning ends with the release.
    mouseDown(t.tree, {50, 10}, mbMiddle);
    mouseMove(t.tree, {50, 18}, {ssMiddle});
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsWheelScrolling));
    mouseUp(t.tree, {50, 18}, mbMiddle);
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsWheelPanning));
    EXPECT_EQ(t.tree->PanningWindow(), nullptr);
    EXPECT_EQ(Screen->CurrentCursor(), t.tree->Cursor());
}

TEST(LazyTreeMouse, PanningMovesByThePointersDistanceFromTheClick) {
    TreeFixture t({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o"});
    t.tree->SetBounds(0, 0, 200, 100);
    mouseDown(t.tree, {50, 50}, mbMiddle);
    mouseUp(t.tree, {50, 50}, mbMiddle);
    mouseMove(t.tree, {50, 53});
    uitest::advanceClock(20);
    EXPECT_EQ(t.tree->OffsetY(), 0); // inside the dead zone
    mouseMove(t.tree, {50, 80});
    uitest::advanceClock(20);
    EXPECT_EQ(t.tree->OffsetY(), -22);
    uitest::advanceClock(20);
    EXPECT_EQ(t.tree->OffsetY(), -44);
    click(t.tree, {50, 80});
    uitest::advanceClock(100);
    EXPECT_EQ(t.tree->OffsetY(), -44);
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsWheelScrolling));
}

TEST(LazyTreeMouse, RubberBandScrollsAtTheEdgeAfterTheDelay) {
    TreeFixture t({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o"});
    t.setSelectionOptions({toMultiSelect});
    t.addAuto(toAutoScroll);
    t.tree->SetBounds(0, 0, 200, 100);
    mouseDown(t.tree, {150, 5});
    mouseMove(t.tree, {30, 60}, {ssLeft});
    mouseMove(t.tree, {30, 95}, {ssLeft});
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsScrollPending));
    uitest::advanceClock(999);
    EXPECT_EQ(t.tree->OffsetY(), 0);
    uitest::advanceClock(1);
    EXPECT_EQ(t.tree->OffsetY(), -20);
    uitest::advanceClock(50);
    EXPECT_EQ(t.tree->OffsetY(), 100 - 15 * 18);
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsScrolling));
    EXPECT_EQ(t.selection(), "a b c d e f g h i j k l m n o");
    mouseUp(t.tree, {30, 95});
}

TEST(LazyTreeMouse, RowHeightFollowsASplitterDragWhereAllowed) {
    FlatTree t;
    t.addMisc(toNodeHeightResize);
    const int bottom = 2 * 18; // b's lower edge
    mouseMove(t.tree, {100, bottom - 2});
    EXPECT_NE(Screen->CurrentCursor(), 62);
    t.tree->OnCanSplitterResizeNode = [](TBaseLazyTree*, TPoint, PLazyNode, int, bool& allowed) {
        allowed = true;
    };
    mouseMove(t.tree, {100, bottom - 2});
    EXPECT_EQ(Screen->CurrentCursor(), 62);
    mouseDown(t.tree, {100, bottom - 2});
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsNodeHeightTrackPending));
    mouseMove(t.tree, {100, bottom + 10}, {ssLeft});
    EXPECT_EQ(t.tree->NodeHeight(t["b"]), 28u);
    mouseMove(t.tree, {100, 0}, {ssLeft});
    EXPECT_EQ(t.tree->NodeHeight(t["b"]), 1u);
    mouseUp(t.tree, {100, 0});
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsNodeHeightTracking));
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
}

TEST(LazyTreeMouse, MiddleButtonSelectsAndTogglesWithMiddleClickSelect) {
    TreeFixture t({"a", "a/a1", "b"});
    mouseDown(t.tree, t.textPoint("b"), mbMiddle);
    mouseUp(t.tree, t.textPoint("b"), mbMiddle);
    EXPECT_EQ(t.selection(), "");
    t.setSelectionOptions({toMiddleClickSelect});
    mouseDown(t.tree, t.textPoint("b"), mbMiddle);
    mouseUp(t.tree, t.textPoint("b"), mbMiddle);
    EXPECT_EQ(t.selection(), "b");
    DeliverMouse(t.tree, WM_MBUTTONDBLCLK, t.textPoint("a"), MK_MBUTTON);
    EXPECT_TRUE(t.tree->Expanded(t["a"]));
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsMiddleDblClick));
}

TEST(LazyTreeMouse, HotNodeFollowsThePointerAndLeavingClearsIt) {
    FlatTree t;
    t.tree->OnHotChange = [&](TBaseLazyTree*, PLazyNode o, PLazyNode n) {
        t.log.push_back("hot " + t.name(o) + ">" + t.name(n));
    };
    mouseMove(t.tree, t.textPoint("b"));
    mouseMove(t.tree, t.textPoint("b"));
    mouseMove(t.tree, t.rowPoint("b", 150)); // beside the text: no hot node
    mouseMove(t.tree, t.textPoint("c"));
    t.tree->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(t.events(), "hot nil>b, hot b>nil, hot nil>c, hot c>nil");
    EXPECT_EQ(t.tree->HotNode(), nullptr);
    t.setSelectionOptions({toFullRowSelect});
    mouseMove(t.tree, t.rowPoint("d", 150));
    EXPECT_EQ(t.tree->HotNode(), t["d"]);
}

TEST(LazyTreeMouse, NativeClickThroughQtSelectsTheRow) {
    FlatTree t;
    t.setSelectionOptions({toFullRowSelect});
    // The middle of the window is on f's row (rows of 18 from the top, window 180 high).
    uitest::postNativeClick(t.tree);
    uitest::processMessages();
    EXPECT_EQ(t.selection(), "f");
    EXPECT_EQ(t.tree->FocusedNode(), t["f"]);
}

} // namespace
