// The selection array, its batches and events, the range operations, the Selected property,
// the focus and its refusal, and what deleting nodes does to selection and focus.
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

struct SelTree : TreeFixture {
    SelTree() : TreeFixture({"a", "a/a1", "a/a2", "b", "b/b1", "c", "d", "e"}) {
        setSelectionOptions({toMultiSelect});
        tree->FullExpand();
        logSelection();
    }
};

bool ascending(const TNodeArray& a) {
    return std::is_sorted(a.begin(), a.end(), [](PLazyNode x, PLazyNode y) {
        return reinterpret_cast<std::uintptr_t>(x) < reinterpret_cast<std::uintptr_t>(y);
    });
}

TEST(LazyTreeSelection, RandomAddsAndRemovesKeepTheArraySortedAndInStep) {
    SelTree t;
    t.tree->OnAddToSelection = nullptr;
    t.tree->OnRemoveFromSelection = nullptr;
    std::vector<PLazyNode> all;
    for (PLazyNode n = t.tree->GetFirst(); n; n = t.tree->GetNext(n)) all.push_back(n);
    std::mt19937 rng(5);
    for (int step = 0; step < 300; ++step) {
        PLazyNode n = all[rng() % all.size()];
        if (rng() % 2)
            t.tree->AddToSelection(n);
        else
            t.tree->RemoveFromSelection(n);
        const TNodeArray& sel = t.tree->SelectionArray();
        ASSERT_TRUE(ascending(sel));
        ASSERT_EQ(sel.size(), t.tree->SelectedCount());
        for (PLazyNode m : all) {
            int index = -1;
            ASSERT_EQ(t.tree->LocateInSelection(m, index, 0, -1), t.tree->Selected(m));
            if (!t.tree->Selected(m)) {
                EXPECT_TRUE(index == int(sel.size()) ||
                            reinterpret_cast<std::uintptr_t>(sel[std::size_t(index)]) >
                                reinterpret_cast<std::uintptr_t>(m));
            }
        }
    }
}

TEST(LazyTreeSelection, AddingAndRemovingFireOneEventPerNodeAndOneChange) {
    SelTree t;
    t.tree->AddToSelection(t["c"]);
    EXPECT_EQ(t.events(), "+c, focus c, change c");
    t.tree->AddToSelection(t["c"]); // already selected
    t.tree->SetDisabled(t["d"], true);
    t.tree->AddToSelection(t["d"]); // disabled
    EXPECT_EQ(t.events(), "");
    t.tree->SelectAll(true);
    EXPECT_EQ(t.selection(), "a a1 a2 b b1 c e");
    EXPECT_EQ(t.events(), "+a, +a1, +a2, +b, +b1, +e, change nil");
    t.tree->RemoveFromSelection(t["a1"]);
    EXPECT_EQ(t.events(), "-a1, change a1");
    t.tree->InvertSelection(true);
    EXPECT_EQ(t.selection(), "a1");
    t.setSelectionOptions({});
    t.tree->AddToSelection(t["c"]);
    t.tree->InvertSelection(true); // needs multi-selection
    EXPECT_EQ(t.selection(), "c");
    t.tree->ClearSelection();
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
    EXPECT_EQ(t.tree->RangeAnchor(), t.tree->FocusedNode());
}

TEST(LazyTreeSelection, SelectedPropertyWithAndWithoutMultiSelect) {
    SelTree t;
    t.tree->SetSelected(t["b"], true);
    t.tree->SetSelected(t["d"], true);
    EXPECT_EQ(t.selection(), "b d");
    EXPECT_EQ(t.tree->RangeAnchor(), t["b"]);
    t.setSelectionOptions({});
    t.tree->SetSelected(t["c"], true);
    EXPECT_EQ(t.selection(), "c");
    EXPECT_EQ(t.tree->FocusedNode(), t["c"]);
    t.tree->SetSelectionLocked(true);
    t.tree->SetSelected(t["e"], true);
    t.tree->SetSelected(t["c"], false);
    EXPECT_EQ(t.selection(), "c");
}

TEST(LazyTreeSelection, RangesAndConstraints) {
    SelTree t;
    t.tree->SelectNodeRange(t["e"], t["a2"], false);
    EXPECT_EQ(t.selection(), "a2 b b1 c d e");
    t.tree->UnselectNodeRange(t["b1"], t["c"]);
    EXPECT_EQ(t.selection(), "a2 b d e");
    EXPECT_EQ(t.tree->SelectedCount(), 4u);
    EXPECT_THROW(t.tree->SelectNodeRange(t["a"], nullptr, false), EAssertionFailed);
    t.tree->ClearSelection();
    t.setSelectionOptions({toMultiSelect, toLevelSelectConstraint});
    t.tree->AddToSelection(t["a"]);
    t.tree->AddToSelection(t["b1"]);
    t.tree->AddToSelection(t["c"]);
    EXPECT_EQ(t.selection(), "a c");
    t.tree->SetFocusedNode(nullptr);
    t.tree->ClearSelection(); // no anchor left
    t.setSelectionOptions({toMultiSelect, toSiblingSelectConstraint});
    t.tree->AddToSelection(t["a1"]);
    t.tree->AddToSelection(t["b1"]);
    t.tree->AddToSelection(t["a2"]);
    EXPECT_EQ(t.selection(), "a1 a2");
}

TEST(LazyTreeSelection, SortedSelectionResolvesDescendants) {
    SelTree t;
    for (const char* n : {"a", "a2", "b1", "d"}) t.tree->AddToSelection(t[n]);
    auto names = [&](const TNodeArray& a) {
        std::string s;
        for (PLazyNode n : a) s += t.name(n);
        return s;
    };
    EXPECT_EQ(names(t.tree->GetSortedSelection(false)), "aa2b1d");
    EXPECT_EQ(names(t.tree->GetSortedSelection(true)), "ab1d");
}

TEST(LazyTreeSelection, FocusRefusalsAndColumns) {
    SelTree t;
    t.tree->SetFocusedNode(t["b"]);
    EXPECT_EQ(t.events(), "focus b");
    t.tree->OnFocusChanging = [](TBaseLazyTree*, PLazyNode, PLazyNode, int, int, bool& allowed) {
        allowed = false;
    };
    t.tree->SetFocusedNode(t["c"]);
    EXPECT_EQ(t.tree->FocusedNode(), t["b"]);
    t.tree->OnFocusChanging = nullptr;
    // No header column may take the focus.
    t.tree->SetFocusedColumn(0);
    EXPECT_EQ(t.tree->FocusedColumn(), -1);
    EXPECT_EQ(t.events(), "");
}

TEST(LazyTreeSelection, DeletingNodesDropsThemFromSelectionAndFocus) {
    SelTree t;
    t.tree->AddToSelection(t["a1"]);
    t.tree->AddToSelection(t["b"]);
    t.tree->AddToSelection(t["b1"]);
    t.tree->SetFocusedNode(t["b1"]);
    t.events();
    t.tree->DeleteNode(t["b"]);
    EXPECT_EQ(t.selection(), "a1");
    EXPECT_EQ(t.tree->SelectedCount(), 1u);
    EXPECT_EQ(t.tree->SelectionArray().size(), 1u);
    EXPECT_EQ(t.tree->FocusedNode(), nullptr);
    EXPECT_NE(t.events().find("focus nil"), std::string::npos);
    t.tree->AddToSelection(t["c"]);
    t.tree->BeginUpdate();
    t.tree->DeleteNode(t["c"]);
    t.tree->DeleteNode(t["a"]);
    t.tree->EndUpdate();
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
    EXPECT_TRUE(t.tree->SelectionArray().empty());
    t.tree->AddToSelection(t["d"]);
    t.tree->SetFocusedNode(t["d"]);
    t.tree->Clear();
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
    EXPECT_EQ(t.tree->FocusedNode(), nullptr);
    EXPECT_EQ(t.tree->RangeAnchor(), nullptr);
}

TEST(LazyTreeSelection, AlwaysSelectNodeKeepsASelection) {
    SelTree t;
    t.setSelectionOptions({toAlwaysSelectNode});
    t.tree->SetFocus();
    t.tree->SetSelected(t["c"], true);
    t.tree->SetSelected(t["c"], false);
    t.tree->EnsureNodeSelected();
    // The node picked when c left the selection: its next sibling.
    EXPECT_EQ(t.selection(), "d");
    t.tree->SetSelected(t["d"], true);
    t.tree->DeleteNode(t["d"]);
    EXPECT_EQ(t.tree->SelectedCount(), 1u);
}

TEST(LazyTreeSelection, StringTreeRemembersTextsOfSelectedNodes) {
    SelTree t;
    t.setSelectionOptions({toMultiSelect, toRestoreSelection});
    t.tree->AddToSelection(t["c"]);
    t.tree->AddToSelection(t["d"]);
    ASSERT_NE(t.tree->PreviouslySelected(), nullptr);
    EXPECT_EQ(t.tree->PreviouslySelected()->Count(), 2);
    t.tree->RemoveFromSelection(t["c"]);
    EXPECT_EQ(t.tree->PreviouslySelected()->Count(), 1);
    EXPECT_EQ(t.tree->PreviouslySelected()->Strings(0), "d");
    t.tree->ClearSelection();
    t.tree->AddToSelection(t["e"]);
    EXPECT_EQ(t.tree->PreviouslySelected()->Count(), 1);
    t.tree->RemoveFromSelection(t["e"]);
    EXPECT_EQ(t.tree->PreviouslySelected()->Count(), 0);
    // A node added later with a remembered text is selected again.
    t.tree->AddToSelection(t["c"]);
    t.tree->OnGetText = [](TBaseLazyTree*, PLazyNode, int, TVSTTextType, std::string& text) {
        text = "C";
    };
    PLazyNode added = t.tree->AddChild(nullptr);
    EXPECT_TRUE(t.tree->Selected(added));
    EXPECT_EQ(t.tree->SelectedCount(), 2u);
}

} // namespace

namespace {

// With toAlwaysSelectNode, deleting the selected node selects the node picked when it left the
// selection: its next sibling, else its previous one, else its parent, else its first child.
TEST(LazyTreeSelection, DeletingTheSelectedNodeSelectsItsNeighbour) {
    struct Case {
        const char* deleted;
        const char* selected;
    } cases[] = {
        {"b", "c"},   // next sibling
        {"e", "d"},   // the last one: previous sibling
        {"a2", "a1"}, // among children: previous sibling
        {"b1", "b"},  // an only child: its parent
    };
    for (const Case& c : cases) {
        SelTree t;
        t.setSelectionOptions({toAlwaysSelectNode});
        t.tree->SetSelected(t[c.deleted], true);
        t.tree->DeleteNode(t[c.deleted]);
        EXPECT_EQ(t.selection(), c.selected) << c.deleted;
    }
    // Without the option the selection just ends.
    SelTree t;
    t.tree->SetSelected(t["b"], true);
    t.tree->DeleteNode(t["b"]);
    EXPECT_EQ(t.selection(), "");
}

// A collapse that hides the selected node moves the selection to its nearest shown ancestor
// (only with toAlwaysSelectNode); a selection still in view stays.
TEST(LazyTreeSelection, CollapsingMovesAHiddenSelectionUp) {
    struct Case {
        TLTSelectionOptions options;
        const char* selected;
        const char* collapsed;
        const char* after;
    } cases[] = {
        {{toAlwaysSelectNode}, "a1", "a", "a"},
        {{toAlwaysSelectNode}, "b1", "b", "b"},
        {{toAlwaysSelectNode}, "c", "a", "c"},
        {{toAlwaysSelectNode}, "a", "a", "a"},
        {{}, "a1", "a", "a1"},
    };
    for (const Case& c : cases) {
        SelTree t;
        t.setSelectionOptions(c.options);
        t.tree->SetSelected(t[c.selected], true);
        t.tree->SetExpanded(t[c.collapsed], false);
        EXPECT_EQ(t.selection(), c.after) << c.selected << " " << c.collapsed;
    }
}

} // namespace
