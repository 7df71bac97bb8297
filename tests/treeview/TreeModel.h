#pragma once
// A plain model of a tree (children lists and per-node flags) built into a lazy tree, so that
// tests can compare the tree's walks, counts and heights with straightforward computations.
#include "treeview/LazyTree.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

struct ModelNode {
    int parent = -1; // -1: top level
    std::vector<int> children;
    bool expanded = false;
    bool visible = true;
    int height = 18;
    PLazyNode node = nullptr;
};

struct TreeModel {
    std::vector<ModelNode> nodes;
    std::vector<int> roots;

    // A random tree of about count nodes, up to depth levels, with a fixed seed.
    static TreeModel random(unsigned seed, int count, int depth) {
        TreeModel m;
        std::mt19937 rng(seed);
        std::vector<int> level;
        for (int i = 0; i < count; ++i) {
            ModelNode n;
            int parent = -1;
            if (!m.nodes.empty() && rng() % 4 != 0) {
                const int candidate = int(rng() % m.nodes.size());
                if (level[std::size_t(candidate)] + 1 < depth) parent = candidate;
            }
            n.parent = parent;
            n.expanded = rng() % 3 != 0;
            n.visible = rng() % 6 != 0;
            n.height = 10 + int(rng() % 20);
            m.nodes.push_back(n);
            level.push_back(parent < 0 ? 0 : level[std::size_t(parent)] + 1);
            if (parent < 0)
                m.roots.push_back(i);
            else
                m.nodes[std::size_t(parent)].children.push_back(i);
        }
        return m;
    }

    const std::vector<int>& childrenOf(int i) const {
        return i < 0 ? roots : nodes[std::size_t(i)].children;
    }

    // Builds the tree with AddChild, then applies heights, visibility and expansion.
    void build(TBaseLazyTree& tree) {
        addChildren(tree, -1, nullptr);
        for (auto& n : nodes) tree.SetNodeHeight(n.node, std::uint32_t(n.height));
        for (auto& n : nodes)
            if (!n.visible) tree.SetVisible(n.node, false);
        for (auto& n : nodes)
            if (n.expanded && !n.children.empty()) tree.SetExpanded(n.node, true);
    }

    void preOrder(int i, std::vector<int>& out) const {
        for (int c : childrenOf(i)) {
            out.push_back(c);
            preOrder(c, out);
        }
    }
    void postOrder(int i, std::vector<int>& out) const {
        for (int c : childrenOf(i)) {
            postOrder(c, out);
            out.push_back(c);
        }
    }
    // Nodes shown: visible, with every ancestor visible and expanded.
    void visibleOrder(int i, std::vector<int>& out, bool childrenAbove) const {
        for (int c : childrenOf(i)) {
            const ModelNode& n = nodes[std::size_t(c)];
            if (!n.visible) continue;
            if (!childrenAbove) out.push_back(c);
            if (n.expanded && !n.children.empty()) visibleOrder(c, out, childrenAbove);
            if (childrenAbove) out.push_back(c);
        }
    }
    int subtreeCount(int i) const {
        int count = 1;
        for (int c : nodes[std::size_t(i)].children) count += subtreeCount(c);
        return count;
    }
    int subtreeHeight(int i) const {
        const ModelNode& n = nodes[std::size_t(i)];
        int height = n.height;
        if (n.expanded && !n.children.empty())
            for (int c : n.children)
                if (nodes[std::size_t(c)].visible) height += subtreeHeight(c);
        return height;
    }
    int level(int i) const {
        int l = 0;
        for (int p = nodes[std::size_t(i)].parent; p >= 0; p = nodes[std::size_t(p)].parent) ++l;
        return l;
    }

private:
    void addChildren(TBaseLazyTree& tree, int i, PLazyNode parent) {
        for (int c : childrenOf(i)) {
            nodes[std::size_t(c)].node = tree.AddChild(parent);
            addChildren(tree, c, nodes[std::size_t(c)].node);
        }
    }
};

// Checks the bookkeeping of every node against a fresh computation: indexes, parents, child
// counts, total counts and heights, and the tree's visible-node count.
inline void ExpectTreeConsistent(TBaseLazyTree& tree) {
    std::uint32_t visible = 0;
    struct Walk {
        TBaseLazyTree& tree;
        std::uint32_t& visible;
        // Answers the subtree's total count; checks its height.
        std::uint32_t check(PLazyNode node, bool shownPath) {
            std::uint32_t count = 1, index = 0;
            std::uint32_t height = tree.GetEffectivelyFiltered(node) ? 0 : node->NodeHeight;
            const bool expanded = node->States.Contains(vsExpanded);
            PLazyNode previous = nullptr;
            for (PLazyNode c = node->FirstChild; c; previous = c, c = c->NextSibling, ++index) {
                EXPECT_EQ(c->Parent, node);
                EXPECT_EQ(c->PrevSibling, previous);
                EXPECT_EQ(c->Index, index);
                const bool shown = shownPath && expanded && c->States.Contains(vsVisible);
                if (shown && tree.GetEffectivelyVisible(c)) ++visible;
                count += check(c, shown);
                if (expanded && c->States.Contains(vsVisible)) height += c->TotalHeight;
            }
            EXPECT_EQ(node->LastChild, previous);
            EXPECT_EQ(node->ChildCount, index);
            EXPECT_EQ(node->TotalCount, count);
            EXPECT_EQ(node->TotalHeight, height);
            return count;
        }
    } walk{tree, visible};
    walk.check(tree.RootNode(), true);
    EXPECT_EQ(tree.VisibleCount(), visible);
}
