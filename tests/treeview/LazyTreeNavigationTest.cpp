#include "tests/treeview/TreeModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using Walk = std::function<PLazyNode(TBaseLazyTree&, PLazyNode)>;

std::vector<PLazyNode> walk(TBaseLazyTree& tree, PLazyNode first, const Walk& next) {
    std::vector<PLazyNode> out;
    for (PLazyNode n = first; n; n = next(tree, n)) out.push_back(n);
    return out;
}

std::vector<PLazyNode> nodesOf(const TreeModel& m, const std::vector<int>& order) {
    std::vector<PLazyNode> out;
    for (int i : order) out.push_back(m.nodes[std::size_t(i)].node);
    return out;
}

void setChildrenAbove(TBaseLazyTree& tree, bool on) {
    TLTPaintOptions p = tree.TreeOptions()->PaintOptions();
    if (on)
        p.Include(toChildrenAbove);
    else
        p.Exclude(toChildrenAbove);
    tree.TreeOptions()->SetPaintOptions(p);
}

TEST(LazyTreeNavigation, WalksAgreeWithAPlainModelOfRandomTrees) {
    for (unsigned seed : {11u, 12u, 13u, 14u, 15u}) {
        TLazyStringTree tree(nullptr);
        tree.SetNodeDataSize(8);
        TreeModel m = TreeModel::random(seed, 400, 6);
        m.build(tree);
        for (bool above : {false, true}) {
            setChildrenAbove(tree, above);
            std::vector<int> order, shown;
            if (above)
                m.postOrder(-1, order);
            else
                m.preOrder(-1, order);
            m.visibleOrder(-1, shown, above);
            const auto all = nodesOf(m, order);
            const auto visible = nodesOf(m, shown);
            auto reversed = [](std::vector<PLazyNode> v) {
                std::reverse(v.begin(), v.end());
                return v;
            };
            struct Case {
                const char* name;
                PLazyNode first;
                Walk next;
                std::vector<PLazyNode> expected;
            };
            const Case cases[] = {
                {"next", tree.GetFirst(true),
                 [](TBaseLazyTree& t, PLazyNode n) { return t.GetNext(n, true); }, all},
                {"next no init", tree.GetFirstNoInit(true),
                 [](TBaseLazyTree& t, PLazyNode n) { return t.GetNextNoInit(n, true); }, all},
                {"previous", tree.GetLast(nullptr, true),
                 [](TBaseLazyTree& t, PLazyNode n) { return t.GetPrevious(n, true); },
                 reversed(all)},
                {"previous no init", tree.GetLastNoInit(nullptr, true),
                 [](TBaseLazyTree& t, PLazyNode n) { return t.GetPreviousNoInit(n, true); },
                 reversed(all)},
                {"next visible", tree.GetFirstVisible(nullptr, true),
                 [](TBaseLazyTree& t, PLazyNode n) { return t.GetNextVisible(n, true); }, visible},
                {"next visible no init", tree.GetFirstVisibleNoInit(nullptr, true),
                 [](TBaseLazyTree& t, PLazyNode n) { return t.GetNextVisibleNoInit(n, true); },
                 visible},
                {"previous visible", tree.GetLastVisible(nullptr, true),
                 [](TBaseLazyTree& t, PLazyNode n) { return t.GetPreviousVisible(n, true); },
                 reversed(visible)},
                {"previous visible no init", tree.GetLastVisibleNoInit(nullptr, true),
                 [](TBaseLazyTree& t, PLazyNode n) { return t.GetPreviousVisibleNoInit(n, true); },
                 reversed(visible)},
            };
            for (const Case& c : cases)
                EXPECT_EQ(walk(tree, c.first, c.next), c.expected)
                    << c.name << " seed " << seed << " above " << above;
            std::vector<PLazyNode> enumerated;
            for (PLazyNode n : tree.VisibleNodes()) enumerated.push_back(n);
            EXPECT_EQ(enumerated, visible) << seed;
        }
        setChildrenAbove(tree, false);
        // Levels, leaves, siblings, absolute indexes and parents.
        std::vector<int> pre;
        m.preOrder(-1, pre);
        for (std::uint32_t level = 0; level < 3; ++level) {
            std::vector<PLazyNode> expected;
            for (int i : pre)
                if (m.level(i) == int(level)) expected.push_back(m.nodes[std::size_t(i)].node);
            std::vector<PLazyNode> got;
            for (PLazyNode n : tree.LevelNodes(level)) got.push_back(n);
            EXPECT_EQ(got, expected) << "level " << level << " seed " << seed;
            std::reverse(expected.begin(), expected.end());
            got.clear();
            for (PLazyNode n = expected.empty() ? nullptr : expected.front(); n;
                 n = tree.GetPreviousLevel(n, level))
                got.push_back(n);
            EXPECT_EQ(got, expected) << "previous level " << level << " seed " << seed;
        }
        std::vector<PLazyNode> leaves, gotLeaves;
        for (int i : pre)
            if (m.nodes[std::size_t(i)].children.empty())
                leaves.push_back(m.nodes[std::size_t(i)].node);
        for (PLazyNode n : tree.LeafNodes()) gotLeaves.push_back(n);
        EXPECT_EQ(gotLeaves, leaves) << seed;
        for (std::size_t k = 0; k < pre.size(); ++k) {
            const ModelNode& mn = m.nodes[std::size_t(pre[k])];
            EXPECT_EQ(tree.AbsoluteIndex(mn.node), k);
            EXPECT_EQ(int(tree.GetNodeLevel(mn.node)), m.level(pre[k]));
            PLazyNode parent = mn.parent < 0 ? nullptr : m.nodes[std::size_t(mn.parent)].node;
            EXPECT_EQ(tree.NodeParent(mn.node), parent);
            if (parent) {
                EXPECT_TRUE(tree.HasAsParent(mn.node, parent));
            }
            std::vector<PLazyNode> children;
            for (PLazyNode c : tree.ChildNodes(mn.node)) children.push_back(c);
            EXPECT_EQ(children, nodesOf(m, mn.children));
        }
    }
}

// A(B, C), D: the small tree of the edge cases.
struct SmallTree {
    TLazyStringTree tree{nullptr};
    PLazyNode a, b, c, d;
    SmallTree() {
        tree.SetNodeDataSize(8);
        auto options = tree.TreeOptions()->SelectionOptions();
        options.Include(toMultiSelect);
        tree.TreeOptions()->SetSelectionOptions(options);
        a = tree.AddChild(nullptr);
        b = tree.AddChild(a);
        c = tree.AddChild(a);
        d = tree.AddChild(nullptr);
    }
};

TEST(LazyTreeNavigation, EdgesOfTheWalks) {
    TLazyStringTree empty(nullptr);
    EXPECT_EQ(empty.GetFirst(), nullptr);
    EXPECT_EQ(empty.GetLast(), nullptr);
    EXPECT_EQ(empty.GetFirstVisible(nullptr), nullptr);
    EXPECT_EQ(empty.GetLastVisible(nullptr), nullptr);
    EXPECT_EQ(empty.GetFirstLeaf(), nullptr);

    SmallTree s;
    EXPECT_EQ(s.tree.GetNext(s.d), nullptr);
    EXPECT_EQ(s.tree.GetPrevious(s.a), nullptr);
    EXPECT_EQ(s.tree.GetNextSibling(nullptr), nullptr);
    EXPECT_THROW(s.tree.GetNextVisibleSibling(nullptr), EAssertionFailed);
    EXPECT_THROW(s.tree.GetNext(s.tree.RootNode()), EAssertionFailed);
    EXPECT_EQ(s.tree.GetVisibleParent(s.b), s.a); // A is collapsed
    EXPECT_EQ(s.tree.GetVisibleParent(s.a), s.tree.RootNode());
    EXPECT_EQ(s.tree.GetNextVisible(s.b), s.d);
    EXPECT_EQ(s.tree.GetFirstVisibleChild(nullptr), s.a);
    EXPECT_EQ(s.tree.GetLastVisibleChild(s.a), nullptr); // collapsed
    setChildrenAbove(s.tree, true);
    std::vector<PLazyNode> order;
    for (PLazyNode n : s.tree.Nodes(true)) order.push_back(n);
    EXPECT_EQ(order, (std::vector<PLazyNode>{s.b, s.c, s.a, s.d}));
}

TEST(LazyTreeNavigation, MarkedNodesAreFoundInsideCollapsedParents) {
    SmallTree s;
    s.c->CheckState = csCheckedNormal;
    s.tree.SetSelected(s.b, true);
    s.tree.SetSelected(s.d, true);
    EXPECT_EQ(s.tree.GetNextChecked(nullptr, csCheckedNormal), s.c);
    EXPECT_EQ(s.tree.GetPreviousChecked(nullptr, csCheckedNormal), s.c);
    std::vector<PLazyNode> selected;
    for (PLazyNode n : s.tree.SelectedNodes()) selected.push_back(n);
    EXPECT_EQ(selected, (std::vector<PLazyNode>{s.b, s.d}));
    EXPECT_EQ(s.tree.GetFirstCutCopy(), nullptr); // nothing pending
    s.tree.DeleteSelectedNodes();
    EXPECT_EQ(s.tree.TotalCount(), 2u);
}

TEST(LazyTreeNavigation, LazyChildrenAreCountedOnlyByTheInitForms) {
    TLazyStringTree tree(nullptr);
    tree.SetNodeDataSize(8);
    int counted = 0;
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates& s) {
        s.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [&](TBaseLazyTree* t, PLazyNode n, std::uint32_t& count) {
        ++counted;
        count = t->GetNodeLevel(n) == 0 ? 3 : 0;
    };
    PLazyNode top = tree.AddChild(nullptr);
    EXPECT_EQ(tree.GetFirstChildNoInit(top), nullptr);
    EXPECT_EQ(counted, 0);
    PLazyNode child = tree.GetFirstChild(top);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(tree.GetFirstChildNoInit(top), child);
    EXPECT_EQ(tree.AbsoluteIndex(tree.GetLastChild(top)), 3u);
}

TEST(LazyTreeNavigation, IterateSubtreeFiltersAbortsAndGuardsDeletion) {
    SmallTree s;
    s.tree.SetSelected(s.b, true);
    s.tree.SetSelected(s.c, true);
    s.tree.SetSelected(s.d, true);
    std::vector<PLazyNode> seen;
    PLazyNode stopped = s.tree.IterateSubtree(nullptr,
                                              [&](TBaseLazyTree*, PLazyNode n, void*, bool& abort) {
                                                  seen.push_back(n);
                                                  abort = seen.size() == 3;
                                              },
                                              nullptr, {vsSelected});
    EXPECT_EQ(seen, (std::vector<PLazyNode>{s.b, s.c, s.d}));
    EXPECT_EQ(stopped, s.d);
    seen.clear();
    s.tree.IterateSubtree(
        s.a, [&](TBaseLazyTree*, PLazyNode n, void*, bool&) { seen.push_back(n); }, nullptr, {},
        false, true);
    EXPECT_EQ(seen, (std::vector<PLazyNode>{s.b, s.c}));
    try {
        s.tree.IterateSubtree(
            nullptr, [&](TBaseLazyTree* t, PLazyNode n, void*, bool&) { t->DeleteNode(n); },
            nullptr);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Deleting nodes during tree iteration leads to invalid pointers.");
    }
    EXPECT_FALSE(s.tree.TreeStates().Contains(tsIterating));
    EXPECT_EQ(s.tree.TotalCount(), 4u);
}

} // namespace
