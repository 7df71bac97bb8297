// Keyboard input: navigation and Shift ranges, expanding and collapsing keys, Ctrl+A, the key
// action event, the space bar on check boxes, and the incremental search on the manual clock.
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

namespace {

using uitest::pressKey;

struct Key {
    WORD vk;
    TShiftState shift;
};

// n1 .. n12, with n2 holding n2a and n2b.
struct KeyTree : TreeFixture {
    KeyTree()
        : TreeFixture({"n1", "n2", "n2/n2a", "n2/n2b", "n3", "n4", "n5", "n6", "n7", "n8", "n9",
                       "n10", "n11", "n12"}) {
        setSelectionOptions({toMultiSelect});
        tree->SetFocus();
    }
    void keys(const std::vector<Key>& list) {
        for (const Key& k : list) pressKey(k.vk, k.shift, tree);
    }
};

TEST(LazyTreeKeys, NavigationFocusesAndSelects) {
    struct Case {
        const char* what;
        const char* start; // focused and selected first ("" for none)
        std::vector<Key> keys;
        const char* focus;
        const char* selection;
    };
    const Case cases[] = {
        {"down from nothing takes the first", "", {{VK_DOWN, {}}}, "n1", "n1"},
        {"down", "n1", {{VK_DOWN, {}}, {VK_DOWN, {}}}, "n3", "n3"},
        {"up from nothing takes the last", "", {{VK_UP, {}}}, "n12", "n12"},
        {"shift down three times",
         "n1",
         {{VK_DOWN, {ssShift}}, {VK_DOWN, {ssShift}}, {VK_DOWN, {ssShift}}},
         "n4",
         "n1 n2 n3 n4"},
        {"shift up takes the last one back",
         "n1",
         {{VK_DOWN, {ssShift}}, {VK_DOWN, {ssShift}}, {VK_DOWN, {ssShift}}, {VK_UP, {ssShift}}},
         "n3",
         "n1 n2 n3"},
        {"shift end selects to the end", "n10", {{VK_END, {ssShift}}}, "n12", "n10 n11 n12"},
        {"home and end", "n5", {{VK_END, {}}, {VK_HOME, {}}}, "n1", "n1"},
        {"right expands, right again enters", "n2", {{VK_RIGHT, {}}, {VK_RIGHT, {}}}, "n2a", "n2a"},
        {"left from a child goes to the parent",
         "n2",
         {{VK_RIGHT, {}}, {VK_DOWN, {}}, {VK_LEFT, {}}},
         "n2",
         "n2"},
        {"backspace goes to the parent",
         "n2",
         {{VK_RIGHT, {}}, {VK_RIGHT, {}}, {VK_BACK, {}}},
         "n2",
         "n2"},
        {"page down moves by a window", "n1", {{VK_NEXT, {}}}, "n10", "n10"},
        {"page up from the last", "n12", {{VK_PRIOR, {}}}, "n3", "n3"},
        {"ctrl+a selects every visible node",
         "n3",
         {{'A', {ssCtrl}}},
         "n3",
         "n1 n2 n3 n4 n5 n6 n7 n8 n9 n10 n11 n12"},
    };
    for (const Case& c : cases) {
        KeyTree t;
        if (*c.start) {
            t.tree->SetFocusedNode(t[c.start]);
            t.tree->SetSelected(t[c.start], true);
        }
        t.keys(c.keys);
        EXPECT_EQ(t.name(t.tree->FocusedNode()), c.focus) << c.what;
        EXPECT_EQ(t.selection(), c.selection) << c.what;
    }
}

TEST(LazyTreeKeys, CtrlArrowsScrollWithoutMovingTheFocus) {
    KeyTree t;
    t.tree->SetFocusedNode(t["n1"]);
    pressKey(VK_DOWN, {ssCtrl}, t.tree);
    EXPECT_EQ(t.tree->OffsetY(), -18);
    EXPECT_EQ(t.tree->FocusedNode(), t["n1"]);
    pressKey(VK_UP, {ssCtrl}, t.tree);
    EXPECT_EQ(t.tree->OffsetY(), 0);
    pressKey(VK_NEXT, {ssCtrl}, t.tree);
    EXPECT_EQ(t.tree->OffsetY(), t.tree->ClientHeight() - t.tree->RangeY());
    pressKey(VK_HOME, {ssCtrl}, t.tree);
    EXPECT_EQ(t.tree->OffsetY(), 0);
    pressKey(VK_END, {ssCtrl}, t.tree);
    EXPECT_EQ(t.tree->OffsetY(), t.tree->ClientHeight() - t.tree->RangeY());
    EXPECT_EQ(t.tree->FocusedNode(), t["n1"]);
}

TEST(LazyTreeKeys, ExpandAndCollapseKeys) {
    TreeFixture t({"a", "a/b", "a/b/c", "d"});
    t.tree->SetFocus();
    t.tree->SetFocusedNode(t["a"]);
    pressKey(VK_MULTIPLY, {}, t.tree);
    EXPECT_TRUE(t.tree->Expanded(t["a"]));
    EXPECT_TRUE(t.tree->Expanded(t["b"]));
    pressKey(VK_DIVIDE, {}, t.tree);
    EXPECT_FALSE(t.tree->Expanded(t["a"]));
    EXPECT_FALSE(t.tree->Expanded(t["b"]));
    pressKey(VK_ADD, {}, t.tree);
    EXPECT_TRUE(t.tree->Expanded(t["a"]));
    EXPECT_FALSE(t.tree->Expanded(t["b"]));
    pressKey(VK_SUBTRACT, {}, t.tree);
    EXPECT_FALSE(t.tree->Expanded(t["a"]));
    // The main keyboard's '+' (Shift and '=') acts like the keypad's.
    pressKey(0xBB, {ssShift}, t.tree);
    EXPECT_TRUE(t.tree->Expanded(t["a"]));
    pressKey(VK_LEFT, {}, t.tree);
    EXPECT_FALSE(t.tree->Expanded(t["a"]));
    EXPECT_EQ(t.tree->FocusedNode(), t["a"]);
    pressKey(VK_ADD, {ssCtrl, ssShift}, t.tree);
    EXPECT_TRUE(t.tree->Expanded(t["b"]));
    pressKey(VK_SUBTRACT, {ssCtrl, ssShift}, t.tree);
    EXPECT_FALSE(t.tree->Expanded(t["a"]));
    EXPECT_FALSE(t.tree->Expanded(t["b"]));
}

TEST(LazyTreeKeys, KeyActionCanSwallowOrChangeKeys) {
    KeyTree t;
    t.tree->SetFocusedNode(t["n5"]);
    t.tree->OnKeyAction = [](TBaseLazyTree*, WORD& key, TShiftState&, bool& doDefault) {
        if (key == VK_DOWN) key = VK_UP;
        if (key == VK_END) doDefault = false;
    };
    pressKey(VK_END, {}, t.tree);
    EXPECT_EQ(t.tree->FocusedNode(), t["n5"]);
    pressKey(VK_DOWN, {}, t.tree);
    EXPECT_EQ(t.tree->FocusedNode(), t["n4"]);
    EXPECT_EQ(t.tree->Perform(WM_GETDLGCODE), 0x81);
    t.tree->SetWantTabs(true);
    EXPECT_EQ(t.tree->Perform(WM_GETDLGCODE), 0x83);
}

TEST(LazyTreeKeys, SpaceChecksOnReleaseAndAnotherKeyAbandonsIt) {
    KeyTree t;
    t.addMisc(toCheckSupport);
    for (const char* n : {"n1", "n3", "n4"}) t.tree->SetCheckType(t[n], ctCheckBox);
    t.tree->SetDisabled(t["n4"], true);
    int checked = 0;
    t.tree->OnChecked = [&](TBaseLazyTree*, PLazyNode) { ++checked; };
    t.tree->SetFocusedNode(t["n1"]);
    uitest::keyDown(VK_SPACE, {}, t.tree);
    EXPECT_EQ(t["n1"]->CheckState, csUncheckedPressed);
    uitest::keyUp(VK_SPACE, {}, t.tree);
    EXPECT_EQ(t["n1"]->CheckState, csCheckedNormal);
    EXPECT_EQ(checked, 1);
    uitest::keyDown(VK_SPACE, {}, t.tree);
    pressKey(VK_DOWN, {}, t.tree);
    uitest::keyUp(VK_SPACE, {}, t.tree);
    EXPECT_EQ(t["n1"]->CheckState, csCheckedNormal);
    EXPECT_EQ(checked, 1);
    t.tree->SetFocusedNode(t["n4"]);
    pressKey(VK_SPACE, {}, t.tree);
    EXPECT_EQ(t["n4"]->CheckState, csUncheckedNormal);
    EXPECT_EQ(checked, 1);
    // The focus moved away before the release: the node does not stay pressed.
    t.tree->SetFocusedNode(t["n3"]);
    uitest::keyDown(VK_SPACE, {}, t.tree);
    t.tree->SetFocusedNode(t["n1"]);
    uitest::keyUp(VK_SPACE, {}, t.tree);
    EXPECT_EQ(t["n3"]->CheckState, csUncheckedNormal);
    EXPECT_EQ(checked, 1);
}

TEST(LazyTreeKeys, FocusLossOrCancelledModeAbandonsAPendingCheck) {
    for (UINT message : {WM_KILLFOCUS, WM_CANCELMODE}) {
        KeyTree t;
        t.addMisc(toCheckSupport);
        t.tree->SetCheckType(t["n1"], ctCheckBox);
        t.tree->SetCheckType(t["n3"], ctCheckBox);
        t.tree->SetFocusedNode(t["n1"]);
        uitest::keyDown(VK_SPACE, {}, t.tree);
        t.tree->Perform(message);
        EXPECT_EQ(t["n1"]->CheckState, csUncheckedNormal) << message;
        EXPECT_EQ(t.tree->CheckNode(), nullptr) << message;
        // Check input is taken again.
        t.tree->SetFocus();
        uitest::click(t.tree, t.rowPoint("n3", 25));
        EXPECT_EQ(t["n3"]->CheckState, csCheckedNormal) << message;
        uitest::mouseDown(t.tree, t.rowPoint("n3", 25));
        t.tree->Perform(message);
        EXPECT_EQ(t["n3"]->CheckState, csCheckedNormal) << message;
        EXPECT_FALSE(t.tree->TreeStates().Contains(tsMouseCheckPending)) << message;
    }
}

TEST(LazyTreeKeys, ContextMenuKeyOpensTheNodeMenuAtTheText) {
    KeyTree t;
    TPopupMenu menu(nullptr);
    TPoint asked{-9, -9};
    std::string node = "-";
    t.tree->OnGetPopupMenu = [&](TBaseLazyTree*, PLazyNode n, int, const TPoint& p, bool&,
                                 TPopupMenu*& m) {
        node = t.name(n);
        asked = p;
        m = &menu;
    };
    pressKey(VK_APPS, {}, t.tree);
    EXPECT_EQ(node, "nil");
    EXPECT_EQ(asked, TPoint(-1, -1));
    t.tree->SetFocusedNode(t["n3"]);
    pressKey(VK_APPS, {}, t.tree);
    EXPECT_EQ(node, "n3");
    const TRect r = t.tree->GetDisplayRect(t["n3"], -1, true);
    EXPECT_EQ(asked, TPoint(r.Left + t.tree->QueryNodeWidth(t["n3"], -1) / 2, 2 * 18 + 9));
    EXPECT_EQ(menu.PopupPoint(), t.tree->ClientToScreen(asked));
}

struct SearchTree : TreeFixture {
    SearchTree()
        : TreeFixture({"alpha", "beta", "bravo", "echo", "eel", "delta", "ember", "beetle"}) {
        tree->SetIncrementalSearch(isAll);
        tree->SetFocus();
    }
};

TEST(LazyTreeKeys, IncrementalSearchExtendsTheTextUntilTheTimeOut) {
    SearchTree t;
    uitest::typeText("be", t.tree);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), "beta");
    EXPECT_EQ(t.selection(), "beta");
    EXPECT_EQ(t.tree->SearchBuffer(), "be");
    uitest::typeText("e", t.tree);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), "beetle");
    uitest::advanceClock(999);
    EXPECT_EQ(t.tree->SearchBuffer(), "bee");
    uitest::advanceClock(1);
    EXPECT_EQ(t.tree->SearchBuffer(), "");
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsIncrementalSearching));
    // A new search starts after the focused node.
    uitest::typeText("d", t.tree);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), "delta");
    // No match keeps focus and buffer.
    uitest::typeText("x", t.tree);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), "delta");
    EXPECT_EQ(t.tree->SearchBuffer(), "d");
}

TEST(LazyTreeKeys, SearchStartAndDirection) {
    struct Case {
        TLTSearchStart start;
        TLTSearchDirection direction;
        const char* focus; // focused before typing
        const char* typed;
        const char* refocus; // focused between the characters
        const char* found;
    };
    const Case cases[] = {
        {ssFocusedNode, sdForward, "bravo", "b", "", "beetle"},
        {ssFocusedNode, sdBackward, "bravo", "b", "", "beta"},
        {ssAlwaysStartOver, sdForward, "bravo", "b", "", "beta"},
        {ssAlwaysStartOver, sdBackward, "bravo", "b", "", "beetle"},
        {ssLastHit, sdForward, "", "be", "ember", "beta"},
        {ssFocusedNode, sdForward, "", "be", "ember", "beetle"},
    };
    for (const Case& c : cases) {
        SearchTree t;
        t.tree->SetIncrementalSearchStart(c.start);
        t.tree->SetIncrementalSearchDirection(c.direction);
        if (*c.focus) t.tree->SetFocusedNode(t[c.focus]);
        const std::string typed = c.typed;
        for (std::size_t i = 0; i < typed.size(); ++i) {
            if (i > 0 && *c.refocus) t.tree->SetFocusedNode(t[c.refocus]);
            uitest::typeText(typed.substr(i, 1), t.tree);
        }
        EXPECT_EQ(t.name(t.tree->FocusedNode()), c.found) << c.typed << " " << int(c.start);
    }
}

TEST(LazyTreeKeys, RepeatedLetterCyclesAndBackspaceSearchesBack) {
    SearchTree t;
    std::string seen;
    for (int i = 0; i < 4; ++i) {
        uitest::typeText("e", t.tree);
        seen += t.name(t.tree->FocusedNode()) + " ";
    }
    // From "echo" to "eel": the focused node begins with "ee", so the text grows.
    EXPECT_EQ(seen, "echo eel eel eel ");
    EXPECT_EQ(t.tree->SearchBuffer(), "ee");
    uitest::advanceClock(1000);
    t.tree->SetFocusedNode(t["alpha"]);
    uitest::typeText("bra", t.tree);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), "bravo");
    pressKey(VK_BACK, {}, t.tree);
    EXPECT_EQ(t.tree->SearchBuffer(), "br");
    EXPECT_EQ(t.name(t.tree->FocusedNode()), "bravo");
    pressKey(VK_BACK, {}, t.tree);
    EXPECT_EQ(t.tree->SearchBuffer(), "b");
    EXPECT_EQ(t.name(t.tree->FocusedNode()), "beta");
}

TEST(LazyTreeKeys, SearchIsOffByDefaultAndEndsWithTheFocus) {
    TreeFixture t({"a", "b"});
    t.tree->SetFocus();
    uitest::typeText("b", t.tree);
    EXPECT_EQ(t.tree->FocusedNode(), nullptr);
    t.tree->SetIncrementalSearch(isVisibleOnly);
    uitest::typeText("b", t.tree);
    EXPECT_EQ(t.tree->FocusedNode(), t["b"]);
    t.tree->Perform(WM_KILLFOCUS);
    EXPECT_EQ(t.tree->SearchBuffer(), "");
}

// F1 asks the focused node, then its ancestors, then the tree and its parents for a help topic
// and shows the first one found through the application's help.
TEST(LazyTreeKeys, F1ShowsTheHelpTopicOfTheFocusedNode) {
    struct Case {
        const char* focus;
        int nodeContext; // answered for n2 only
        int treeContext;
        int formContext;
        int shown;
    } cases[] = {
        {"n2a", 7, 3, 5, 7}, // from the parent
        {"n3", 7, 3, 5, 3},  // the tree's own
        {"n3", 7, 0, 5, 5},  // the form's
        {"n3", 7, 0, 0, 0},  // none: nothing shown
    };
    for (const Case& c : cases) {
        KeyTree t;
        t.tree->FullExpand();
        int shown = 0;
        Application->OnHelp = [&](WORD command, std::intptr_t data, bool&) {
            EXPECT_EQ(command, HELP_CONTEXT);
            shown = int(data);
            return true;
        };
        t.tree->OnGetHelpContext = [&](TBaseLazyTree*, PLazyNode node, int column, int& context) {
            EXPECT_EQ(column, 0);
            if (node == t["n2"]) context = c.nodeContext;
        };
        t.tree->SetHelpContext(c.treeContext);
        t.form.SetHelpContext(c.formContext);
        t.tree->SetFocusedNode(t[c.focus]);
        pressKey(VK_F1, {}, t.tree);
        EXPECT_EQ(shown, c.shown) << c.focus << " " << c.treeContext << " " << c.formContext;
        Application->OnHelp = nullptr;
    }
}

} // namespace
