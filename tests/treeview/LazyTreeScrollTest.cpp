// Expanding, collapsing, hiding and filtering checked against a plain model; the node lookup by
// position with and without the position cache; the shared worker thread.
#include "platform/base/Threads.h"
#include "tests/treeview/TreeModel.h"
#include "treeview/LazyTreeWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>

namespace {

// Shown rows of the model with their tops.
struct Rows {
    std::vector<int> order;
    std::vector<int> tops;
    int total = 0;
};

Rows rowsOf(const TreeModel& m) {
    Rows r;
    m.visibleOrder(-1, r.order, false);
    for (int i : r.order) {
        r.tops.push_back(r.total);
        r.total += m.nodes[std::size_t(i)].height;
    }
    return r;
}

// Compares counts, heights, tops and GetNodeAt at the first and last pixel of every row.
void expectMatches(TBaseLazyTree& tree, const TreeModel& m) {
    const Rows r = rowsOf(m);
    ASSERT_EQ(tree.VisibleCount(), r.order.size());
    EXPECT_EQ(tree.RangeY(), r.total);
    for (std::size_t k = 0; k < r.order.size(); ++k) {
        PLazyNode node = m.nodes[std::size_t(r.order[k])].node;
        EXPECT_EQ(tree.AbsoluteNodeTop(node), r.tops[k]);
        const int last = r.tops[k] + m.nodes[std::size_t(r.order[k])].height - 1;
        for (int y : {r.tops[k], last}) {
            int top = -1;
            ASSERT_EQ(tree.GetNodeAt(0, y, false, top), node) << "y " << y;
            EXPECT_EQ(top, r.tops[k]);
        }
    }
    int top = 77;
    EXPECT_EQ(tree.GetNodeAt(0, r.total, false, top), nullptr);
    EXPECT_EQ(top, 77);
    if (!r.order.empty()) {
        EXPECT_EQ(tree.GetNodeAt(0, -5, false, top), m.nodes[std::size_t(r.order[0])].node);
    }
}

// Waits for the worker's outcome, running the calls it queues for the UI thread.
bool waitForCache(TBaseLazyTree& tree) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!tree.TreeStates().Contains(tsUseCache)) {
        if (CheckSynchronize()) continue;
        if (!tree.TreeStates().Contains(tsValidating)) return false;
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(LazyTreeExpand, RandomToggleHideAndFilterSequencesMatchTheModel) {
    for (unsigned seed : {1u, 2u, 3u}) {
        TLazyStringTree tree(nullptr);
        TreeModel m = TreeModel::random(seed, 300, 5);
        m.build(tree);
        expectMatches(tree, m);
        std::mt19937 rng(seed * 7);
        for (int step = 0; step < 60; ++step) {
            const std::size_t i = rng() % m.nodes.size();
            ModelNode& n = m.nodes[i];
            switch (rng() % 3) {
            case 0:
                if (n.children.empty()) break;
                tree.ToggleNode(n.node);
                n.expanded = !n.expanded;
                break;
            case 1:
                tree.SetVisible(n.node, !n.visible);
                n.visible = !n.visible;
                break;
            default: {
                // Filtering without showing filtered nodes hides the row but not the children.
                const bool filtered = !tree.Filtered(n.node);
                tree.SetFiltered(n.node, filtered);
                tree.SetFiltered(n.node, !filtered);
                break;
            }
            }
            expectMatches(tree, m);
        }
        tree.FullCollapse();
        for (auto& n : m.nodes) n.expanded = false;
        expectMatches(tree, m);
        tree.FullExpand();
        for (auto& n : m.nodes) n.expanded = true;
        expectMatches(tree, m);
    }
}

TEST(LazyTreeExpand, EventsRefusalAndFreeingOnCollapse) {
    TLazyStringTree tree(nullptr);
    tree.OnInitNode = [](TBaseLazyTree* t, PLazyNode, PLazyNode node, TLazyNodeInitStates& states) {
        if (t->GetNodeLevel(node) == 0) states.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 12; };
    int expanding = 0, expanded = 0, collapsed = 0, freed = 0;
    bool allow = true;
    tree.OnExpanding = [&](TBaseLazyTree*, PLazyNode, bool& allowed) {
        ++expanding;
        allowed = allow;
    };
    tree.OnExpanded = [&](TBaseLazyTree*, PLazyNode) { ++expanded; };
    tree.OnCollapsed = [&](TBaseLazyTree*, PLazyNode) { ++collapsed; };
    tree.OnFreeNode = [&](TBaseLazyTree*, PLazyNode) { ++freed; };
    tree.SetRootNodeCount(3);

    // Every node is toggled open, leaves included.
    tree.FullExpand();
    EXPECT_EQ(expanding, 39);
    EXPECT_EQ(expanded, 39);
    EXPECT_EQ(tree.VisibleCount(), 39u);

    // A refused expansion changes nothing.
    PLazyNode first = tree.GetFirst();
    tree.ToggleNode(first);
    EXPECT_EQ(collapsed, 1);
    allow = false;
    tree.ToggleNode(first);
    EXPECT_FALSE(tree.Expanded(first));
    EXPECT_EQ(expanded, 39);
    EXPECT_EQ(tree.VisibleCount(), 27u);

    // Collapsing with auto-free frees the children and keeps the button.
    auto opts = tree.TreeOptions()->AutoOptions();
    opts.Include(toAutoFreeOnCollapse);
    tree.TreeOptions()->SetAutoOptions(opts);
    PLazyNode second = tree.GetNextSibling(first);
    tree.ToggleNode(second);
    EXPECT_EQ(freed, 12);
    EXPECT_EQ(tree.ChildCount(second), 0u);
    EXPECT_TRUE(tree.HasChildren(second));
    EXPECT_EQ(tree.VisibleCount(), 15u);

    // Making a node fully visible opens its ancestors.
    allow = true;
    tree.FullCollapse();
    EXPECT_EQ(tree.VisibleCount(), 3u);
    PLazyNode child = tree.GetFirstChild(first);
    tree.SetFullyVisible(child, true);
    EXPECT_TRUE(tree.VisiblePath(child));
    EXPECT_EQ(tree.VisibleCount(), 15u);
    EXPECT_THROW(tree.SetVisiblePath(nullptr, true), EAssertionFailed);
    EXPECT_THROW(tree.ToggleNode(nullptr), EAssertionFailed);
}

TEST(LazyTreeScroll, OffsetsAreClampedToTheRangeAndReported) {
    TLazyStringTree tree(nullptr);
    tree.SetRootNodeCount(100); // 18 pixels each
    const int low = tree.ClientHeight() - tree.RangeY();
    std::vector<std::pair<int, int>> scrolls;
    tree.OnScroll = [&](TBaseLazyTree*, int dx, int dy) { scrolls.emplace_back(dx, dy); };
    struct Case {
        int value, expected;
    };
    for (Case c : {Case{10, 0}, Case{-100, -100}, Case{-1000000, low}, Case{low, low}}) {
        tree.SetOffsetY(c.value);
        EXPECT_EQ(tree.OffsetY(), c.expected) << c.value;
    }
    // Assigning the current offset fires nothing.
    ASSERT_EQ(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[1], std::make_pair(0, low + 100));

    // The node at the window's top follows the offset.
    PLazyNode n = tree.GetFirst();
    for (int i = 0; i < 40; ++i) n = tree.GetNext(n);
    tree.SetTopNode(n);
    EXPECT_EQ(tree.OffsetY(), -40 * 18);
    EXPECT_EQ(tree.TopNode(), n);
    tree.SetOffsetY(0);
    EXPECT_TRUE(tree.ScrollIntoView(n, false));
    EXPECT_EQ(tree.BottomNode(), n);
    EXPECT_FALSE(tree.ScrollIntoView(n, false));
    EXPECT_FALSE(tree.ScrollIntoView(nullptr, false));

    // A canvas shorter than the window never scrolls.
    TLazyStringTree small(nullptr);
    small.SetRootNodeCount(2);
    small.SetOffsetY(-50);
    EXPECT_EQ(small.OffsetY(), 0);
}

TEST(LazyTreeCache, BuiltByTheWorkerOnlyAboveTheThreshold) {
    for (std::uint32_t count : {2000u, 2001u}) {
        TLazyStringTree tree(nullptr);
        tree.SetRootNodeCount(count);
        if (count == 2000) {
            EXPECT_FALSE(tree.TreeStates().Contains(tsValidating));
            continue;
        }
        ASSERT_TRUE(waitForCache(tree));
        EXPECT_EQ(tree.CacheEntryCount(), 2u);
        int top = 0;
        EXPECT_EQ(tree.GetNodeAt(0, 2000 * 18 + 3, false, top), tree.GetLast());
        EXPECT_EQ(top, 2000 * 18);
    }
}

TEST(LazyTreeCache, LookupsInAMillionNodesAgreeWithAndWithoutTheCache) {
    TLazyStringTree tree(nullptr);
    tree.OnInitNode = [](TBaseLazyTree* t, PLazyNode, PLazyNode node, TLazyNodeInitStates& states) {
        if (t->GetNodeLevel(node) == 0) states.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 999; };
    tree.SetRootNodeCount(1000);
    tree.FullExpand();
    ASSERT_EQ(tree.VisibleCount(), 1000000u);
    ASSERT_TRUE(waitForCache(tree));
    EXPECT_EQ(tree.CacheEntryCount(), 500u);

    // Row k is the k-th node in tree order; compare against a walk without the cache.
    std::mt19937 rng(5);
    std::vector<int> ys{0, 17, 18, 18 * 999999, 18 * 1000000 - 1};
    for (int i = 0; i < 300; ++i) ys.push_back(int(rng() % (18u * 1000000u)));
    std::vector<std::pair<PLazyNode, int>> cached;
    for (int y : ys) {
        int top = -1;
        PLazyNode n = tree.GetNodeAt(0, y, false, top);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(top, y / 18 * 18);
        EXPECT_EQ(tree.AbsoluteNodeTop(n), top);
        cached.emplace_back(n, top);
    }
    int top = 0;
    EXPECT_EQ(tree.GetNodeAt(0, 18 * 1000000, false, top), nullptr);

    // Collapsing a node invalidates the cache; lookups walk until it is rebuilt.
    tree.ToggleNode(tree.GetFirst());
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    tree.ToggleNode(tree.GetFirst());
    for (std::size_t i = 0; i < 20; ++i) {
        int t = -1;
        EXPECT_EQ(tree.GetNodeAt(0, ys[i], false, t), cached[i].first);
    }
    ASSERT_TRUE(waitForCache(tree));
}

TEST(LazyTreeWorker, OneThreadWhileTreesLiveAndFreedTreesGetNoCalls) {
    ASSERT_FALSE(WorkerThreadRunning());
    {
        auto a = std::make_unique<TLazyStringTree>(nullptr);
        auto b = std::make_unique<TLazyStringTree>(nullptr);
        EXPECT_EQ(WorkerThreadRefCount(), 2u);
        // A tree freed while the worker builds its cache: the destructor waits for the worker
        // and the outcome queued afterwards never reaches the freed tree.
        a->SetRootNodeCount(300000);
        EXPECT_TRUE(a->TreeStates().Contains(tsValidating));
        a.reset();
        CheckSynchronize();
        EXPECT_EQ(WorkerThreadRefCount(), 1u);
        // Stopping a queued tree leaves it stopped until it is queued again.
        b->SetRootNodeCount(5000);
        b->BeginUpdate();
        b->SetVisible(b->GetFirst(), false);
        EXPECT_TRUE(b->TreeStates().Contains(tsStopValidation));
        EXPECT_FALSE(b->TreeStates().Contains(tsUseCache));
        b->EndUpdate();
        EXPECT_TRUE(waitForCache(*b));
    }
    EXPECT_FALSE(WorkerThreadRunning());
    TLazyStringTree c(nullptr);
    EXPECT_TRUE(WorkerThreadRunning());
}

} // namespace

namespace {

TEST(LazyTreeScrollBars, DefaultsAssignAndWindowRecreation) {
    TLazyStringTree tree(nullptr);
    TScrollBarOptions* o = tree.ScrollBarOptions();
    EXPECT_EQ(o->ScrollBars(), ssBoth);
    EXPECT_FALSE(o->AlwaysVisible());
    EXPECT_EQ(o->HorizontalIncrement(), 20);
    EXPECT_EQ(o->VerticalIncrement(), 20);

    tree.HandleNeeded();
    int creations = 0;
    tree.OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates enter, TLazyTreeStates) {
        if (enter.Contains(tsWindowCreating)) ++creations;
    };
    TLazyStringTree other(nullptr);
    TScrollBarOptions* src = other.ScrollBarOptions();
    src->SetAlwaysVisible(true);
    src->SetScrollBars(ssVertical);
    src->SetScrollBarStyle(sbm3D);
    src->SetHorizontalIncrement(7);
    src->SetVerticalIncrement(9);
    tree.SetScrollBarOptions(src);
    EXPECT_TRUE(o->AlwaysVisible());
    EXPECT_EQ(o->ScrollBars(), ssVertical);
    EXPECT_EQ(o->ScrollBarStyle(), sbm3D);
    EXPECT_EQ(o->HorizontalIncrement(), 7);
    EXPECT_EQ(o->VerticalIncrement(), 9);
    EXPECT_TRUE(tree.HandleAllocated());
    EXPECT_EQ(creations, 2);
    // Equal values recreate nothing.
    tree.SetScrollBarOptions(src);
    EXPECT_EQ(creations, 2);
}

} // namespace
