#include "tests/treeview/TreeModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// Nodes carry an int id in their data; the stream carries it through OnSaveNode/OnLoadNode.
void useIds(TBaseLazyTree& tree) {
    tree.SetNodeDataSize(sizeof(int));
    tree.OnSaveNode = [](TBaseLazyTree* t, PLazyNode node, TStream& s) {
        s.WriteBuffer(t->GetNodeData(node), sizeof(int));
    };
    tree.OnLoadNode = [](TBaseLazyTree* t, PLazyNode node, TStream& s) {
        s.ReadBuffer(t->GetNodeData(node), sizeof(int));
    };
}
int id(TBaseLazyTree& tree, PLazyNode node) {
    return node ? *tree.GetNodeData<int>(node) : -1;
}
PLazyNode addNode(TBaseLazyTree& tree, PLazyNode parent, int value) {
    PLazyNode node = tree.AddChild(parent);
    *tree.GetNodeData<int>(node) = value;
    return node;
}
std::vector<int> childIds(TBaseLazyTree& tree, PLazyNode parent) {
    std::vector<int> ids;
    for (PLazyNode c = (parent ? parent : tree.RootNode())->FirstChild; c; c = c->NextSibling)
        ids.push_back(id(tree, c));
    return ids;
}

// Node records in tree order (level, id, check state, expanded, height) for node-for-node
// comparisons of two subtrees.
struct Record {
    std::uint32_t level;
    int id;
    TCheckState check;
    bool expanded;
    std::uint16_t height;
    friend bool operator==(const Record&, const Record&) = default;
};
void records(TBaseLazyTree& tree, PLazyNode node, std::uint32_t level, std::vector<Record>& out) {
    out.push_back({level, id(tree, node), node->CheckState, node->States.Contains(vsExpanded),
                   node->NodeHeight});
    for (PLazyNode c = node->FirstChild; c; c = c->NextSibling) records(tree, c, level + 1, out);
}
std::vector<Record> records(TBaseLazyTree& tree, PLazyNode node) {
    std::vector<Record> out;
    records(tree, node, 0, out);
    return out;
}

// The plain model of moves: children lists by parent id (-1: top level).
struct Plain {
    std::map<int, std::vector<int>> kids;
    std::map<int, int> parent;

    explicit Plain(const TreeModel& m) {
        kids[-1] = m.roots;
        for (std::size_t i = 0; i < m.nodes.size(); ++i) {
            kids[int(i)] = m.nodes[i].children;
            parent[int(i)] = m.nodes[i].parent;
        }
    }
    bool inside(int node, int ancestor) const {
        for (int p = parent.at(node); p >= 0; p = parent.at(p))
            if (p == ancestor) return true;
        return false;
    }
    void take(int n) {
        auto& list = kids[parent[n]];
        list.erase(std::find(list.begin(), list.end(), n));
    }
    void place(int n, int target, TLTNodeAttachMode mode) {
        if (target < 0 && mode == amInsertBefore) mode = amAddChildFirst;
        if (target < 0 && mode == amInsertAfter) mode = amAddChildLast;
        if (mode == amAddChildFirst || mode == amAddChildLast) {
            auto& list = kids[target];
            list.insert(mode == amAddChildFirst ? list.begin() : list.end(), n);
            parent[n] = target;
            return;
        }
        auto& list = kids[parent[target]];
        auto at = std::find(list.begin(), list.end(), target);
        list.insert(mode == amInsertBefore ? at : at + 1, n);
        parent[n] = parent[target];
    }
    // What MoveTo does; false when it must refuse with the subtree error.
    bool move(int source, int target, TLTNodeAttachMode mode, bool childrenOnly) {
        if (target < 0) mode = amAddChildFirst;
        const bool insert = mode == amInsertBefore || mode == amInsertAfter;
        if (target == source && !(childrenOnly && insert)) return true;
        if (target >= 0 && target != source && inside(target, source)) return false;
        if (!childrenOnly) {
            take(source);
            place(source, target, mode);
            return true;
        }
        std::vector<int> moving = kids[source];
        if (mode == amAddChildFirst || mode == amInsertAfter)
            std::reverse(moving.begin(), moving.end());
        for (int c : moving) {
            take(c);
            place(c, target, mode);
        }
        return true;
    }
};

TEST(LazyTreeMove, RandomMovesWithinATreeMatchThePlainModel) {
    for (unsigned seed : {1u, 2u, 3u}) {
        TreeModel m = TreeModel::random(seed, 60, 4);
        TLazyStringTree tree(nullptr);
        useIds(tree);
        m.build(tree);
        std::map<int, PLazyNode> nodes;
        for (std::size_t i = 0; i < m.nodes.size(); ++i) {
            nodes[int(i)] = m.nodes[i].node;
            *tree.GetNodeData<int>(m.nodes[i].node) = int(i);
        }
        Plain plain(m);
        std::mt19937 rng(seed);
        for (int step = 0; step < 150; ++step) {
            const int source = int(rng() % m.nodes.size());
            const int target = int(rng() % (m.nodes.size() + 1)) - 1;
            const auto mode = TLTNodeAttachMode(1 + rng() % 4);
            const bool childrenOnly = rng() % 3 == 0;
            SCOPED_TRACE(testing::Message() << "seed " << seed << " step " << step);
            if (plain.move(source, target, mode, childrenOnly)) {
                tree.MoveTo(nodes[source], target < 0 ? nullptr : nodes[target], mode,
                            childrenOnly);
            } else {
                try {
                    tree.MoveTo(nodes[source], nodes[target], mode, childrenOnly);
                    ADD_FAILURE() << "a move into the own subtree was not refused";
                } catch (const ELazyTreeError& e) {
                    EXPECT_EQ(e.HelpContext(), 2001);
                }
            }
            for (auto& [n, kids] : plain.kids)
                ASSERT_EQ(childIds(tree, n < 0 ? nullptr : nodes[n]), kids);
            ExpectTreeConsistent(tree);
        }
    }
}

TEST(LazyTreeMove, EventsRefusalAndReadOnly) {
    TLazyStringTree tree(nullptr);
    useIds(tree);
    PLazyNode a = addNode(tree, nullptr, 1), b = addNode(tree, nullptr, 2);
    std::vector<TChangeReason> reasons;
    tree.OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason r) {
        reasons.push_back(r);
    };
    PLazyNode askedTarget = a;
    tree.OnNodeMoving = [&](TBaseLazyTree*, PLazyNode, PLazyNode target, bool& allowed) {
        askedTarget = target;
        allowed = false;
    };
    tree.MoveTo(a, PLazyNode{}, amAddChildLast, false);
    EXPECT_EQ(askedTarget, nullptr); // the root is named nil
    EXPECT_EQ(childIds(tree, nullptr), (std::vector<int>{1, 2}));
    EXPECT_TRUE(reasons.empty()); // a refused move reports nothing
    tree.OnNodeMoving = nullptr;
    int moved = 0;
    tree.OnNodeMoved = [&](TBaseLazyTree*, PLazyNode) { ++moved; };
    tree.MoveTo(a, b, amInsertAfter, false);
    EXPECT_EQ(childIds(tree, nullptr), (std::vector<int>{2, 1}));
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(reasons, std::vector<TChangeReason>{crNodeMoved});
    // NodeParent's setter moves the node as the last child.
    tree.SetNodeParent(a, b);
    EXPECT_EQ(tree.NodeParent(a), b);
    // Nothing moves out of or into a read-only tree.
    TLTMiscOptions misc = tree.TreeOptions()->MiscOptions();
    misc.Include(toReadOnly);
    tree.TreeOptions()->SetMiscOptions(misc);
    tree.MoveTo(a, PLazyNode{}, amAddChildLast, false);
    EXPECT_EQ(tree.NodeParent(a), b);
    EXPECT_EQ(tree.CopyTo(b, PLazyNode{}, amAddChildLast, false), nullptr);
    EXPECT_EQ(tree.RootNodeCount(), 1u);
}

// A source tree: 1 (checked, expanded) with children 10, 11, 12, and a second top node 2.
struct TwoTrees {
    TLazyStringTree source{nullptr}, target{nullptr};
    PLazyNode one, two, t1, t2;
    TwoTrees() {
        useIds(source);
        useIds(target);
        one = addNode(source, nullptr, 1);
        for (int c : {10, 11, 12}) addNode(source, one, c);
        source.SetCheckType(one, ctCheckBox);
        source.SetCheckState(one, csCheckedNormal);
        source.SetExpanded(one, true);
        source.SetNodeHeight(one->LastChild, 33);
        two = addNode(source, nullptr, 2);
        t1 = addNode(target, nullptr, 100);
        t2 = addNode(target, nullptr, 200);
    }
};

TEST(LazyTreeMove, MovingIntoAnotherTreeCarriesTheSubtree) {
    TwoTrees t;
    const std::vector<Record> before = records(t.source, t.one);
    int moved = 0;
    t.source.OnNodeMoved = [&](TBaseLazyTree* sender, PLazyNode node) {
        EXPECT_EQ(sender, &t.source);
        EXPECT_EQ(TBaseLazyTree::TreeFromNode(node), &t.target);
        ++moved;
    };
    t.source.MoveTo(t.one, t.t1, amInsertAfter, false);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(childIds(t.source, nullptr), std::vector<int>{2});
    EXPECT_EQ(childIds(t.target, nullptr), (std::vector<int>{100, 1, 200}));
    EXPECT_EQ(records(t.target, t.t1->NextSibling), before);
    ExpectTreeConsistent(t.source);
    ExpectTreeConsistent(t.target);
    // Only the children: the node stays, childless.
    PLazyNode moved1 = t.t1->NextSibling;
    t.target.MoveTo(moved1, &t.source, amAddChildFirst, true);
    EXPECT_EQ(moved1->ChildCount, 0u);
    EXPECT_EQ(childIds(t.source, nullptr), (std::vector<int>{10, 11, 12, 2}));
    ExpectTreeConsistent(t.source);
    ExpectTreeConsistent(t.target);
}

TEST(LazyTreeMove, CopiesKeepTheOrderInEveryMode) {
    struct Case {
        TLTNodeAttachMode mode;
        bool toTop; // target: the top node 200 (else the root)
        std::vector<int> top;
    };
    const Case cases[] = {
        {amInsertBefore, true, {100, 10, 11, 12, 200}},
        {amInsertAfter, true, {100, 200, 10, 11, 12}},
        {amAddChildFirst, false, {10, 11, 12, 100, 200}},
        {amAddChildLast, false, {100, 200, 10, 11, 12}},
        {amInsertBefore, false, {10, 11, 12, 100, 200}}, // the root: first child
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        TwoTrees t;
        PLazyNode result =
            t.source.CopyTo(t.one, c.toTop ? t.t2 : t.target.RootNode(), c.mode, true);
        EXPECT_EQ(result, c.toTop ? t.t2 : nullptr);
        EXPECT_EQ(childIds(t.target, nullptr), c.top);
        EXPECT_EQ(childIds(t.source, t.one), (std::vector<int>{10, 11, 12})); // left alone
        ExpectTreeConsistent(t.target);
    }
    // Copying a node into its own subtree copies the subtree as it was.
    TwoTrees t;
    PLazyNode copy = t.source.CopyTo(t.one, t.one->FirstChild, amAddChildLast, false);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Parent, t.one->FirstChild);
    EXPECT_EQ(copy->ChildCount, 3u);
    ExpectTreeConsistent(t.source);
}

TEST(LazyTreeMove, RefusedCopiesAreDeletedAgain) {
    TwoTrees t;
    int copied = 0;
    t.source.OnNodeCopying = [&](TBaseLazyTree*, PLazyNode node, PLazyNode target, bool& allowed) {
        EXPECT_EQ(target, t.t1);
        allowed = id(t.target, node) == 11;
    };
    t.source.OnNodeCopied = [&](TBaseLazyTree*, PLazyNode) { ++copied; };
    EXPECT_EQ(t.source.CopyTo(t.two, t.t1, amAddChildLast, false), nullptr);
    EXPECT_EQ(t.source.CopyTo(t.one, t.t1, amAddChildLast, true), t.t1);
    EXPECT_EQ(childIds(t.target, t.t1), std::vector<int>{11});
    EXPECT_EQ(copied, 1);
    ExpectTreeConsistent(t.target);
}

// --- sorting ----------------------------------------------------------------------------------

// Nodes whose ids are keys with many duplicates, compared by key / 10 (so equal keys differ in
// their last digit and show whether the order among equals is kept).
struct KeyedTree {
    TLazyStringTree tree{nullptr};
    int compares = 0;
    explicit KeyedTree(bool compare = true, bool autoSort = false) {
        useIds(tree);
        if (compare)
            tree.OnCompareNodes = [this](TBaseLazyTree* t, PLazyNode a, PLazyNode b, TColumnIndex,
                                         int& result) {
                ++compares;
                result = id(*t, a) / 10 - id(*t, b) / 10;
            };
        TLTAutoOptions options = tree.TreeOptions()->AutoOptions();
        if (!autoSort) options.Exclude(toAutoSort);
        tree.TreeOptions()->SetAutoOptions(options);
    }
};

TEST(LazyTreeMove, SortMatchesStableSortBothWays) {
    std::mt19937 rng(7);
    for (int count : {0, 1, 2, 7, 100, 1000}) {
        for (TSortDirection direction : {sdAscending, sdDescending}) {
            KeyedTree k;
            PLazyNode parent = addNode(k.tree, nullptr, -1);
            std::vector<int> keys;
            for (int i = 0; i < count; ++i) {
                keys.push_back(int(rng() % 20) * 10 + i % 10);
                addNode(k.tree, parent, keys.back());
            }
            std::stable_sort(keys.begin(), keys.end(), [direction](int a, int b) {
                return direction == sdAscending ? a / 10 < b / 10 : a / 10 > b / 10;
            });
            k.tree.Sort(parent, NoColumnIndex, direction, true);
            EXPECT_EQ(childIds(k.tree, parent), keys) << count;
            ExpectTreeConsistent(k.tree);
        }
    }
}

TEST(LazyTreeMove, SortTreeSortsEveryLevelAndStopsWhenCancelled) {
    KeyedTree k;
    std::mt19937 rng(3);
    std::vector<PLazyNode> parents;
    for (int p = 0; p < 5; ++p) {
        parents.push_back(addNode(k.tree, nullptr, int(rng() % 100) * 10));
        for (int c = 0; c < 30; ++c) addNode(k.tree, parents.back(), int(rng() % 100) * 10);
    }
    std::vector<TLTOperationKind> operations;
    k.tree.OnStartOperation = [&](TBaseLazyTree*, TLTOperationKind kind) {
        operations.push_back(kind);
    };
    // The collapsed parents are sorted too: toAutoSort is off.
    TLTAutoOptions autoOptions = k.tree.TreeOptions()->AutoOptions();
    k.tree.SortTree(NoColumnIndex, sdAscending);
    auto sorted = [&](PLazyNode parent) {
        std::vector<int> ids = childIds(k.tree, parent);
        return std::is_sorted(ids.begin(), ids.end());
    };
    EXPECT_TRUE(sorted(nullptr));
    for (PLazyNode p : parents) EXPECT_TRUE(sorted(p));
    EXPECT_EQ(operations.front(), okSortTree);
    EXPECT_EQ(std::count(operations.begin(), operations.end(), okSortNode), 6);
    // With toAutoSort, collapsed subtrees wait for their expansion.
    autoOptions.Include(toAutoSort);
    k.tree.TreeOptions()->SetAutoOptions(autoOptions);
    k.tree.SortTree(NoColumnIndex, sdDescending);
    EXPECT_FALSE(sorted(nullptr));
    EXPECT_TRUE(sorted(parents[0]));
    // Cancelled: every comparison counts as equal, so no handler is asked any more.
    k.compares = 0;
    k.tree.OnCompareNodes = [&](TBaseLazyTree* t, PLazyNode, PLazyNode, TColumnIndex, int& r) {
        if (++k.compares == 3) t->CancelOperation();
        r = 1;
    };
    k.tree.Sort(parents[0], NoColumnIndex, sdDescending, true);
    EXPECT_EQ(k.compares, 3);
}

TEST(LazyTreeMove, AutomaticSortingKeepsChildrenInOrder) {
    KeyedTree k(true, true);
    // Keys are given on initialisation, which the automatic sort asks for.
    const std::vector<int> keys{0, 50, 10, 40, 20, 30, 70, 1};
    std::size_t next = 0;
    k.tree.OnInitNode = [&](TBaseLazyTree* t, PLazyNode, PLazyNode node, TLazyNodeInitStates&) {
        *t->GetNodeData<int>(node) = keys.at(next++);
    };
    PLazyNode parent = k.tree.AddChild(nullptr);
    for (int i = 0; i < 4; ++i) k.tree.AddChild(parent);
    EXPECT_EQ(childIds(k.tree, parent), (std::vector<int>{10, 20, 40, 50}));
    k.tree.InsertNode(parent->FirstChild, amInsertBefore);
    EXPECT_EQ(childIds(k.tree, parent), (std::vector<int>{10, 20, 30, 40, 50}));
    // The bracket's end sorts the tree, but not the children of a collapsed node...
    k.tree.BeginUpdate();
    k.tree.AddChild(parent);
    k.tree.AddChild(parent);
    k.tree.ValidateChildren(parent, false); // keys 70 and 1
    k.tree.EndUpdate();
    EXPECT_EQ(k.tree.ChildCount(parent), 7u);
    EXPECT_NE(childIds(k.tree, parent).front(), 1);
    // ...which are sorted when it is expanded.
    k.tree.SetExpanded(parent, true);
    EXPECT_EQ(childIds(k.tree, parent), (std::vector<int>{1, 10, 20, 30, 40, 50, 70}));
    k.tree.Header()->SetSortDirection(sdDescending);
    EXPECT_EQ(childIds(k.tree, parent).front(), 70);
    // Without a comparison nothing is sorted and new nodes stay uninitialised.
    KeyedTree plain(false, true);
    int inits = 0;
    plain.tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) {
        ++inits;
    };
    for (int i = 0; i < 3; ++i) plain.tree.AddChild(nullptr);
    EXPECT_EQ(inits, 0);
}

} // namespace
