#include "tests/treeview/TreeModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <unordered_map>

namespace {

// A tree whose nodes hold a heap string created on initialisation and freed in OnFreeNode;
// it records how often each node was initialised and freed.
struct CountingTree {
    std::unordered_map<PLazyNode, int> inits;
    std::unordered_map<PLazyNode, int> frees;
    std::uint32_t childrenPerNode = 0;
    TLazyStringTree tree{nullptr}; // last: its destructor still reports to the maps

    CountingTree() {
        tree.SetNodeDataSize(sizeof(std::string*));
        tree.OnInitNode = [this](TBaseLazyTree* t, PLazyNode, PLazyNode node,
                                 TLazyNodeInitStates& states) {
            ++inits[node];
            if (!states.Contains(ivsReInit))
                *t->GetNodeData<std::string*>(node) = new std::string("node");
            if (childrenPerNode > 0 && t->GetNodeLevel(node) == 0) states.Include(ivsHasChildren);
        };
        tree.OnInitChildren = [this](TBaseLazyTree*, PLazyNode, std::uint32_t& count) {
            count = childrenPerNode;
        };
        tree.OnFreeNode = [this](TBaseLazyTree* t, PLazyNode node) {
            ++frees[node];
            delete *t->GetNodeData<std::string*>(node);
        };
    }
    int initCount() const {
        int n = 0;
        for (auto& [node, count] : inits) n += count;
        return n;
    }
};

TEST(LazyTreeNodes, AddChildCreatesAnUninitialisedNodeAtIndexZero) {
    CountingTree t;
    PLazyNode node = t.tree.AddChild(nullptr);
    EXPECT_EQ(node->Index, 0u);
    EXPECT_EQ(t.tree.RootNodeCount(), 1u);
    EXPECT_EQ(t.initCount(), 0);
    EXPECT_EQ(t.tree.NodeParent(node), nullptr);
    EXPECT_EQ(t.tree.TotalCount(), 1u);
    EXPECT_EQ(t.initCount(), 1);
}

TEST(LazyTreeNodes, DeletingKeepsSiblingIndexesConsecutive) {
    TLazyStringTree tree(nullptr);
    PLazyNode parent = tree.AddChild(nullptr);
    PLazyNode a = tree.AddChild(parent), b = tree.AddChild(parent), c = tree.AddChild(parent);
    EXPECT_EQ(a->Index + b->Index + c->Index, 3u);
    tree.DeleteNode(b);
    EXPECT_EQ(c->Index, 1u);
    EXPECT_EQ(tree.ChildCount(parent), 2u);
    PLazyNode first = tree.InsertNode(a, amInsertBefore);
    PLazyNode after = tree.InsertNode(first, amInsertAfter);
    std::vector<std::uint32_t> indexes;
    for (PLazyNode n = tree.GetFirstChildNoInit(parent); n; n = n->NextSibling)
        indexes.push_back(n->Index);
    EXPECT_EQ(indexes, (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(after->NextSibling, a);
    EXPECT_EQ(tree.TotalCount(), 5u);
}

TEST(LazyTreeNodes, UserPointerIsStoredWholeAndFreedOnce) {
    TLazyStringTree tree(nullptr);
    tree.SetNodeDataSize(sizeof(void*));
    // An address above 4 GiB does not survive being cut to four bytes.
    void* pointer = reinterpret_cast<void*>(std::uintptr_t(0x123456789ABCull));
    std::vector<PLazyNode> freed;
    tree.OnFreeNode = [&](TBaseLazyTree*, PLazyNode n) { freed.push_back(n); };
    PLazyNode node = tree.AddChild(nullptr, pointer);
    void* stored = nullptr;
    std::memcpy(&stored, node->Data(), sizeof stored);
    EXPECT_EQ(stored, pointer);
    tree.DeleteNode(node); // never initialised, yet its data was set
    EXPECT_EQ(freed, std::vector<PLazyNode>{node});
}

TEST(LazyTreeNodes, UserPointerNeedsRoomForAWholePointer) {
    TLazyStringTree tree(nullptr);
    tree.SetNodeDataSize(4);
    int x = 0;
    try {
        tree.AddChild(nullptr, &x);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "TLazyStringTree: Cannot set initial user data because there is "
                               "not enough user data space allocated.");
    }
    EXPECT_EQ(tree.RootNodeCount(), 0u);
}

TEST(LazyTreeNodes, NodeDataOfRootNilAndUnknownSize) {
    TLazyStringTree tree(nullptr);
    EXPECT_THROW(
        {
            try {
                tree.GetNodeData(nullptr);
            } catch (const EAssertionFailed& e) {
                EXPECT_EQ(e.Message(), "NodeDataSize not initialized.");
                throw;
            }
        },
        EAssertionFailed);
    int asked = 0;
    tree.OnGetNodeDataSize = [&](TBaseLazyTree*, int& size) {
        ++asked;
        EXPECT_EQ(size, int(sizeof(void*)));
        size = 12;
    };
    PLazyNode a = tree.AddChild(nullptr);
    tree.AddChild(nullptr);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(tree.NodeDataSize(), 12);
    EXPECT_EQ(tree.GetNodeData(nullptr), nullptr);
    EXPECT_EQ(tree.GetNodeData(tree.RootNode()), nullptr);
    EXPECT_EQ(tree.GetNodeData(a), a->Data());
    EXPECT_TRUE(a->States.Contains(vsOnFreeNodeCallRequired));
    EXPECT_EQ(TBaseLazyTree::TreeFromNode(a), &tree);
}

TEST(LazyTreeNodes, ReadOnlyTreeRefusesEveryStructuralChange) {
    TLazyStringTree tree(nullptr);
    tree.SetNodeDataSize(8);
    PLazyNode node = tree.AddChild(nullptr);
    TLTMiscOptions misc = tree.TreeOptions()->MiscOptions();
    misc.Include(toReadOnly);
    tree.TreeOptions()->SetMiscOptions(misc);
    EXPECT_EQ(tree.AddChild(nullptr), nullptr);
    EXPECT_EQ(tree.InsertNode(node, amInsertAfter), nullptr);
    EXPECT_EQ(tree.InsertNode(nullptr, amAddChildFirst), nullptr);
    tree.SetChildCount(node, 3);
    tree.DeleteNode(node);
    tree.Clear();
    // Nodes keep blocks of the old size: the size may not change under them.
    tree.SetNodeDataSize(64);
    EXPECT_EQ(tree.NodeDataSize(), 8);
    EXPECT_EQ(tree.RootNodeCount(), 1u);
    EXPECT_EQ(tree.TotalCount(), 1u);
}

TEST(LazyTreeNodes, EveryNodeDataIsFreedExactlyOnce) {
    CountingTree t;
    t.childrenPerNode = 4;
    t.tree.SetRootNodeCount(6);
    EXPECT_EQ(t.tree.TotalCount(), 30u);
    PLazyNode first = t.tree.GetFirst();
    t.tree.DeleteChildren(first, false);             // 4 children
    t.tree.DeleteNode(t.tree.GetLastChild(nullptr)); // a parent with 4 children
    t.tree.SetChildCount(nullptr, 3);                // drops 2 parents with their children
    t.tree.ResetNode(t.tree.GetNextSibling(first));  // the node and its 4 children
    t.tree.Clear();
    std::set<PLazyNode> initialised;
    for (auto& [node, count] : t.inits) initialised.insert(node);
    for (auto& [node, count] : t.frees) EXPECT_EQ(count, 1);
    EXPECT_EQ(t.frees.size(), 30u);
    EXPECT_TRUE(t.tree.IsEmpty());
}

TEST(LazyTreeNodes, DestroyingFreesTheNodesAlsoWhenReadOnly) {
    int freed = 0;
    {
        TLazyStringTree tree(nullptr);
        tree.SetNodeDataSize(8);
        tree.OnFreeNode = [&](TBaseLazyTree*, PLazyNode) { ++freed; };
        tree.SetRootNodeCount(5);
        for (PLazyNode n : tree.Nodes()) tree.GetNodeData(n);
        TLTMiscOptions misc = tree.TreeOptions()->MiscOptions();
        misc.Include(toReadOnly);
        tree.TreeOptions()->SetMiscOptions(misc);
    }
    EXPECT_EQ(freed, 5);
}

TEST(LazyTreeNodes, ChangingTheDataSizeRecreatesUninitialisedNodes) {
    CountingTree t;
    t.tree.SetRootNodeCount(5);
    t.tree.GetFirst(); // one node initialised
    t.tree.GetNodeData(t.tree.GetLastNoInit());
    t.tree.SetNodeDataSize(12);
    EXPECT_EQ(t.frees.size(), 2u);
    EXPECT_EQ(t.tree.RootNodeCount(), 5u);
    for (PLazyNode n = t.tree.GetFirstNoInit(); n; n = t.tree.GetNextNoInit(n))
        EXPECT_FALSE(n->States.Contains(vsInitialized));
}

TEST(LazyTreeNodes, MillionNodesAreInitialisedOnlyWhenReached) {
    CountingTree t;
    t.childrenPerNode = 999;
    t.tree.SetRootNodeCount(1000);
    EXPECT_EQ(t.initCount(), 0);
    PLazyNode n = t.tree.GetFirst();
    for (int i = 0; i < 10; ++i) n = t.tree.GetNext(n);
    // The first parent, its children counted, and ten nodes reached.
    EXPECT_EQ(t.initCount(), 11);
    EXPECT_EQ(t.tree.ChildCount(t.tree.GetFirstNoInit()), 999u);
    EXPECT_EQ(t.tree.ChildCount(t.tree.GetLastNoInit(nullptr, false)), 0u);
    EXPECT_EQ(t.tree.TotalCount(), 1000000u);
    EXPECT_EQ(t.initCount(), 1000000);
    t.tree.Clear();
    EXPECT_EQ(t.frees.size(), 1000000u);
}

TEST(LazyTreeNodes, TotalCountOfLazyChildren) {
    CountingTree t;
    t.childrenPerNode = 12;
    t.tree.SetRootNodeCount(3);
    EXPECT_EQ(t.tree.TotalCount(), 39u);
}

TEST(LazyTreeNodes, GrowingAChildCountAppendsAfterTheChildrenThere) {
    TLazyStringTree tree(nullptr);
    tree.SetNodeDataSize(sizeof(int));
    PLazyNode parent = tree.AddChild(nullptr);
    tree.SetChildCount(parent, 2);
    tree.SetNodeHeight(tree.GetFirstChild(parent), 40); // a child that differs from the rest
    tree.SetExpanded(parent, true);
    tree.SetChildCount(parent, 5);
    std::vector<PLazyNode> forward;
    for (PLazyNode c = parent->FirstChild; c; c = c->NextSibling) forward.push_back(c);
    ASSERT_EQ(forward.size(), 5u);
    EXPECT_EQ(parent->LastChild, forward.back());
    for (std::uint32_t i = 0; i < forward.size(); ++i) {
        EXPECT_EQ(forward[i]->Index, i);
        EXPECT_EQ(forward[i]->Parent, parent);
        EXPECT_EQ(forward[i]->PrevSibling, i ? forward[i - 1] : nullptr);
        EXPECT_EQ(tree.NodeHeight(forward[i]), i == 0 ? 40u : tree.DefaultNodeHeight());
    }
    EXPECT_EQ(tree.TotalCount(), 6u); // the parent and its five children
    EXPECT_EQ(parent->TotalHeight, 40 + 5 * tree.DefaultNodeHeight());
}

TEST(LazyTreeNodes, DeleteChildrenKeepsOrDropsTheChildrenFlag) {
    CountingTree t;
    t.childrenPerNode = 2;
    t.tree.SetRootNodeCount(2);
    PLazyNode a = t.tree.GetFirst();
    PLazyNode b = t.tree.GetNextSibling(a);
    t.tree.SetExpanded(a, true);
    t.tree.DeleteChildren(a, false);
    EXPECT_TRUE(t.tree.HasChildren(a));
    EXPECT_FALSE(t.tree.ChildrenInitialized(a));
    EXPECT_NE(t.tree.GetFirstChild(a), nullptr); // counted again through OnInitChildren
    t.tree.DeleteChildren(b, true);
    EXPECT_FALSE(t.tree.HasChildren(b));
    // Deleting the last child of an expanded node collapses it.
    t.tree.SetExpanded(a, true);
    t.tree.DeleteNode(t.tree.GetFirstChild(a));
    t.tree.DeleteNode(t.tree.GetFirstChild(a));
    EXPECT_FALSE(t.tree.Expanded(a));
    EXPECT_FALSE(t.tree.HasChildren(a));
}

TEST(LazyTreeNodes, ReinitFiresOnlyForInitialisedNodes) {
    TLazyStringTree tree(nullptr);
    tree.SetNodeDataSize(8);
    std::vector<bool> reinit;
    tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates& s) {
        reinit.push_back(s.Contains(ivsReInit));
    };
    tree.SetRootNodeCount(2);
    PLazyNode first = tree.GetFirst();
    tree.ReinitNode(first, false);
    tree.ReinitNode(tree.GetLastNoInit(), false);
    EXPECT_EQ(reinit, (std::vector<bool>{false, true}));
}

TEST(LazyTreeNodes, CountsHeightsAndVisibleCountAgreeWithAPlainModel) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        TLazyStringTree tree(nullptr);
        tree.SetNodeDataSize(8);
        TreeModel m = TreeModel::random(seed, 300, 5);
        m.build(tree);
        std::vector<int> shown;
        m.visibleOrder(-1, shown, false);
        EXPECT_EQ(tree.VisibleCount(), shown.size()) << seed;
        int rootHeight = 0;
        for (int r : m.roots)
            if (m.nodes[std::size_t(r)].visible) rootHeight += m.subtreeHeight(r);
        EXPECT_EQ(tree.RangeY(), rootHeight) << seed;
        for (std::size_t i = 0; i < m.nodes.size(); ++i) {
            EXPECT_EQ(int(m.nodes[i].node->TotalCount), m.subtreeCount(int(i)));
            EXPECT_EQ(int(m.nodes[i].node->TotalHeight), m.subtreeHeight(int(i)));
        }
        // Deleting a subtree keeps the counts of the rest.
        const int victim = m.roots.front();
        const int removed = m.subtreeCount(victim);
        tree.DeleteNode(m.nodes[std::size_t(victim)].node);
        EXPECT_EQ(int(tree.TotalCount()), int(m.nodes.size()) - removed);
    }
}

// An interface handed to AddChild or SetNodeData lives as long as its node.
TEST(LazyTreeNodes, InterfaceUserDataIsReleasedWithItsNode) {
    struct Counted : TInterfacedObject {
        int* alive;
        explicit Counted(int* a) : alive(a) { ++*alive; }
        ~Counted() override { --*alive; }
    };
    int alive = 0;
    TLazyStringTree tree(nullptr);
    tree.SetNodeDataSize(8);
    auto* first = new Counted(&alive);
    first->_AddRef(); // the test's own reference
    PLazyNode a = tree.AddChild(nullptr, first);
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_TRUE(a->States.Contains(vsReleaseCallOnUserDataRequired));
    IInterface* back = a->NodeInterface();
    EXPECT_EQ(back, first);
    EXPECT_EQ(first->RefCount(), 3);
    back->_Release();
    PLazyNode b = tree.AddChild(nullptr);
    tree.SetNodeData(b, new Counted(&alive));
    EXPECT_EQ(alive, 2);
    tree.DeleteNode(b);
    EXPECT_EQ(alive, 1);
    tree.Clear();
    EXPECT_EQ(first->RefCount(), 1);
    first->_Release();
    EXPECT_EQ(alive, 0);
    // Stored without a reference, the interface is only the caller's.
    int kept = 0;
    auto* loose = new Counted(&kept);
    loose->_AddRef();
    PLazyNode c = tree.AddChild(nullptr);
    c->StoreNodeInterface(loose);
    tree.DeleteNode(c);
    EXPECT_EQ(loose->RefCount(), 1);
    loose->_Release();
    // Too little user data for a pointer is refused.
    TLazyStringTree small(nullptr);
    small.SetNodeDataSize(4);
    Counted refused(&kept);
    EXPECT_THROW(small.AddChild(nullptr, static_cast<IInterface*>(&refused)), EAssertionFailed);
}

TEST(LazyTreeNodes, PathListsTheTextsFromTheTopDown) {
    TLazyStringTree tree(nullptr);
    PLazyNode a = tree.AddChild(nullptr);
    PLazyNode b = tree.AddChild(a);
    tree.OnGetText = [&](TBaseLazyTree*, PLazyNode n, int column, TVSTTextType, std::string& t) {
        t = std::string(n == a ? "A" : "B") + (column == 1 ? "1" : "");
    };
    EXPECT_EQ(tree.Path(b, 0, '/'), "A/B/");
    EXPECT_EQ(tree.Path(b, 1, '|'), "A1|B1|");
    EXPECT_EQ(tree.Path(a, 0, '/'), "A/");
    EXPECT_EQ(tree.Path(nullptr, 0, '/'), "/");
}

} // namespace
