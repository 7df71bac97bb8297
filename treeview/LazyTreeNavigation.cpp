// Walks over the node chain: tree order, children-above order and visible order, each in an
// initialising form and a NoInit form that only follows existing links.
#include "treeview/LazyTree.h"

namespace {

void assertNotRoot(bool isRoot) {
    if (isRoot) throw EAssertionFailed("Node must not be the hidden root node.");
}

} // namespace

// --- orders -----------------------------------------------------------------------------------

PLazyNode TBaseLazyTree::deepestFirst(PLazyNode Node, bool Init) {
    if (!Node) return nullptr;
    if (Init) initIfNeeded(Node);
    for (;;) {
        if (Init) ensureChildrenCounted(Node);
        if (!Node->FirstChild) return Node;
        Node = Node->FirstChild;
        if (Init) initIfNeeded(Node);
    }
}

PLazyNode TBaseLazyTree::lastDescendant(PLazyNode Node, bool Init) {
    for (;;) {
        if (Init) {
            initIfNeeded(Node);
            ensureChildrenCounted(Node);
        }
        if (!Node->LastChild) return Node;
        Node = Node->LastChild;
    }
}

PLazyNode TBaseLazyTree::nextInOrder(PLazyNode Node, bool CA, bool Init) {
    if (!Node) return nullptr;
    assertNotRoot(Node == FRoot);
    if (CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove)) {
        if (Node->NextSibling) return deepestFirst(Node->NextSibling, Init);
        return Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    if (Init) {
        initIfNeeded(Node);
        ensureChildrenCounted(Node);
    }
    PLazyNode result = Node->FirstChild;
    for (PLazyNode n = Node; !result && n != FRoot; n = n->Parent) result = n->NextSibling;
    if (Init) initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::previousInOrder(PLazyNode Node, bool CA, bool Init) {
    if (!Node) return nullptr;
    assertNotRoot(Node == FRoot);
    PLazyNode result = nullptr;
    if (CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove)) {
        if (Init) {
            initIfNeeded(Node);
            ensureChildrenCounted(Node);
        }
        result = Node->LastChild;
        for (PLazyNode n = Node; !result && n != FRoot; n = n->Parent) result = n->PrevSibling;
    } else if (Node->PrevSibling) {
        result = lastDescendant(Node->PrevSibling, Init);
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    if (Init) initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::GetFirst(bool CA) {
    if (CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove))
        return deepestFirst(FRoot->FirstChild, true);
    initIfNeeded(FRoot->FirstChild);
    return FRoot->FirstChild;
}

PLazyNode TBaseLazyTree::GetFirstNoInit(bool CA) const {
    if (CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove))
        return self()->deepestFirst(FRoot->FirstChild, false);
    return FRoot->FirstChild;
}

PLazyNode TBaseLazyTree::GetLast(PLazyNode Node, bool CA) {
    PLazyNode last = GetLastChild(Node);
    if (!last || (CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove))) return last;
    return lastDescendant(last, true);
}

PLazyNode TBaseLazyTree::GetLastNoInit(PLazyNode Node, bool CA) const {
    PLazyNode last = GetLastChildNoInit(Node);
    if (!last || (CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove))) return last;
    return self()->lastDescendant(last, false);
}

PLazyNode TBaseLazyTree::GetNextNoInit(PLazyNode Node, bool CA) const {
    return self()->nextInOrder(Node, CA, false);
}

PLazyNode TBaseLazyTree::GetPrevious(PLazyNode Node, bool CA) {
    return previousInOrder(Node, CA, true);
}

PLazyNode TBaseLazyTree::GetPreviousNoInit(PLazyNode Node, bool CA) const {
    return self()->previousInOrder(Node, CA, false);
}

// --- children and siblings --------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstChild(PLazyNode Node) {
    PLazyNode result;
    if (!Node || Node == FRoot) {
        result = FRoot->FirstChild;
    } else {
        initIfNeeded(Node);
        ensureChildrenCounted(Node);
        result = Node->States.Contains(vsHasChildren) ? Node->FirstChild : nullptr;
    }
    initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstChildNoInit(PLazyNode Node) const {
    if (!Node || Node == FRoot) return FRoot->FirstChild;
    return Node->States.Contains(vsHasChildren) ? Node->FirstChild : nullptr;
}

PLazyNode TBaseLazyTree::GetLastChild(PLazyNode Node) {
    PLazyNode result;
    if (!Node || Node == FRoot) {
        result = FRoot->LastChild;
    } else {
        initIfNeeded(Node);
        ensureChildrenCounted(Node);
        result = Node->States.Contains(vsHasChildren) ? Node->LastChild : nullptr;
    }
    initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::GetLastChildNoInit(PLazyNode Node) const {
    if (!Node || Node == FRoot) return FRoot->LastChild;
    return Node->States.Contains(vsHasChildren) ? Node->LastChild : nullptr;
}

PLazyNode TBaseLazyTree::GetNextSibling(PLazyNode Node) {
    PLazyNode result = GetNextSiblingNoInit(Node);
    initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextSiblingNoInit(PLazyNode Node) const {
    if (!Node) return nullptr;
    assertNotRoot(Node == FRoot);
    return Node->NextSibling;
}

PLazyNode TBaseLazyTree::GetPreviousSibling(PLazyNode Node) {
    PLazyNode result = GetPreviousSiblingNoInit(Node);
    initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousSiblingNoInit(PLazyNode Node) const {
    if (!Node) return nullptr;
    assertNotRoot(Node == FRoot);
    return Node->PrevSibling;
}

// --- marked nodes -----------------------------------------------------------------------------

PLazyNode TBaseLazyTree::searchMarked(PLazyNode Node, bool Forward, bool CA,
                                      const std::function<bool(PLazyNode)>& Match) {
    PLazyNode n;
    if (!Node || Node == FRoot)
        n = Forward ? GetFirstNoInit(CA) : GetLastNoInit(nullptr, CA);
    else
        n = Forward ? GetNextNoInit(Node, CA) : GetPreviousNoInit(Node, CA);
    while (n && !Match(n)) n = Forward ? GetNextNoInit(n, CA) : GetPreviousNoInit(n, CA);
    initIfNeeded(n);
    return n;
}

PLazyNode TBaseLazyTree::GetFirstChecked(TCheckState State, bool CA) {
    return GetNextChecked(nullptr, State, CA);
}

PLazyNode TBaseLazyTree::GetNextChecked(PLazyNode Node, TCheckState State, bool CA) {
    return searchMarked(Node, true, CA, [State](PLazyNode n) { return n->CheckState == State; });
}

PLazyNode TBaseLazyTree::GetPreviousChecked(PLazyNode Node, TCheckState State, bool CA) {
    return searchMarked(Node, false, CA, [State](PLazyNode n) { return n->CheckState == State; });
}

namespace {
bool isCutCopy(PLazyNode n) {
    return n->States.Contains(vsCutOrCopy);
}
bool isInitialized(PLazyNode n) {
    return n->States.Contains(vsInitialized);
}
bool isSelected(PLazyNode n) {
    return n->States.Contains(vsSelected);
}
} // namespace

PLazyNode TBaseLazyTree::GetFirstCutCopy(bool CA) {
    return GetNextCutCopy(nullptr, CA);
}

PLazyNode TBaseLazyTree::GetNextCutCopy(PLazyNode Node, bool CA) {
    if (!FStates.Contains(tsCopyPending) && !FStates.Contains(tsCutPending)) return nullptr;
    return searchMarked(Node, true, CA, isCutCopy);
}

PLazyNode TBaseLazyTree::GetPreviousCutCopy(PLazyNode Node, bool CA) {
    if (!FStates.Contains(tsCopyPending) && !FStates.Contains(tsCutPending)) return nullptr;
    return searchMarked(Node, false, CA, isCutCopy);
}

PLazyNode TBaseLazyTree::GetFirstInitialized(bool CA) {
    return searchMarked(nullptr, true, CA, isInitialized);
}

PLazyNode TBaseLazyTree::GetNextInitialized(PLazyNode Node, bool CA) {
    return searchMarked(Node, true, CA, isInitialized);
}

PLazyNode TBaseLazyTree::GetPreviousInitialized(PLazyNode Node, bool CA) {
    return searchMarked(Node, false, CA, isInitialized);
}

PLazyNode TBaseLazyTree::GetLastInitialized(PLazyNode Node, bool CA) {
    PLazyNode n = GetLastNoInit(Node, CA);
    if (n && !isInitialized(n)) n = GetPreviousInitialized(n, CA);
    return n;
}

PLazyNode TBaseLazyTree::GetFirstSelected(bool CA) {
    return GetNextSelected(nullptr, CA);
}

PLazyNode TBaseLazyTree::GetNextSelected(PLazyNode Node, bool CA) {
    if (FSelectionCount == 0) return nullptr;
    return searchMarked(Node, true, CA, isSelected);
}

PLazyNode TBaseLazyTree::GetPreviousSelected(PLazyNode Node, bool CA) {
    if (FSelectionCount == 0) return nullptr;
    return searchMarked(Node, false, CA, isSelected);
}

// --- leaves and levels ------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstLeaf() {
    return GetNextLeaf(nullptr);
}

PLazyNode TBaseLazyTree::GetNextLeaf(PLazyNode Node) {
    PLazyNode n = !Node || Node == FRoot ? GetFirstChild(nullptr) : GetNext(Node);
    while (n && n->States.Contains(vsHasChildren)) n = GetNext(n);
    return n;
}

PLazyNode TBaseLazyTree::GetPreviousLeaf(PLazyNode Node) {
    PLazyNode n = !Node || Node == FRoot ? GetLastChild(nullptr) : GetPrevious(Node);
    while (n && n->States.Contains(vsHasChildren)) n = GetPrevious(n);
    return n;
}

PLazyNode TBaseLazyTree::GetFirstLevel(std::uint32_t NodeLevel) {
    PLazyNode n = GetFirstNoInit(true);
    while (n && GetNodeLevel(n) != NodeLevel) n = GetNextNoInit(n, true);
    initIfNeeded(n);
    return n;
}

PLazyNode TBaseLazyTree::GetNextLevel(PLazyNode Node, std::uint32_t NodeLevel) {
    PLazyNode n = Node;
    while (n) {
        const std::uint32_t level = GetNodeLevel(n);
        if (level < NodeLevel) {
            n = GetNext(n);
            if (n && GetNodeLevel(n) == NodeLevel) return n;
        } else if (level == NodeLevel) {
            // Skip the subtree: the next sibling here or further up.
            PLazyNode next = nullptr;
            for (PLazyNode m = n; !next && m != FRoot; m = m->Parent) next = m->NextSibling;
            initIfNeeded(next);
            if (next && GetNodeLevel(next) == NodeLevel) return next;
            n = next;
        } else {
            n = n->Parent == FRoot ? nullptr : n->Parent;
        }
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::GetPreviousLevel(PLazyNode Node, std::uint32_t NodeLevel) {
    for (PLazyNode n = GetPrevious(Node); n; n = GetPrevious(n)) {
        const std::uint32_t level = GetNodeLevel(n);
        if (level == NodeLevel) return n;
        if (level > NodeLevel) {
            // Every node between the ancestor of that level and n lies inside its subtree.
            while (GetNodeLevel(n) > NodeLevel) n = n->Parent;
            return n;
        }
    }
    return nullptr;
}

// --- visible order ----------------------------------------------------------------------------

PLazyNode TBaseLazyTree::firstVisible(PLazyNode Node, bool CA, bool IF, bool Init) {
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    if (Init) ensureChildrenCounted(Node);
    const bool above = CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove);
    PLazyNode n = Node->FirstChild;
    auto visible = [this, Init](PLazyNode x) {
        if (Init) initIfNeeded(x);
        return x->States.Contains(vsVisible);
    };
    if (above) {
        while (n && !visible(n)) n = n->NextSibling;
        if (!n) return Node == FRoot ? nullptr : Node;
        while (n->States.Contains(vsExpanded)) {
            if (Init) ensureChildrenCounted(n);
            PLazyNode c = n->FirstChild;
            while (c && !visible(c)) c = c->NextSibling;
            if (!c) break;
            n = c;
        }
    } else {
        while (n && !visible(n)) {
            if (n->NextSibling) {
                n = n->NextSibling;
                continue;
            }
            PLazyNode p = n->Parent;
            while (p != FRoot && !p->NextSibling) p = p->Parent;
            n = p == FRoot ? nullptr : p->NextSibling;
        }
    }
    if (n && !IF && GetEffectivelyFiltered(n)) n = nextVisible(n, true, Init);
    return n;
}

PLazyNode TBaseLazyTree::GetFirstVisible(PLazyNode Node, bool CA, bool IF) {
    return firstVisible(Node, CA, IF, true);
}

PLazyNode TBaseLazyTree::GetFirstVisibleNoInit(PLazyNode Node, bool CA, bool IF) const {
    return self()->firstVisible(Node, CA, IF, false);
}

PLazyNode TBaseLazyTree::nextVisible(PLazyNode Node, bool CA, bool Init) {
    if (!Node) return nullptr;
    assertNotRoot(Node == FRoot);
    if (!FullyVisible(Node)) Node = GetVisibleParent(Node, true);
    const bool above = CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove);
    auto visible = [this, Init](PLazyNode x) {
        if (Init) initIfNeeded(x);
        return x->States.Contains(vsVisible);
    };
    auto firstVisibleChild = [this, Init, &visible](PLazyNode x) -> PLazyNode {
        if (!x->States.Contains(vsExpanded)) return nullptr;
        if (Init) ensureChildrenCounted(x);
        for (PLazyNode c = x->FirstChild; c; c = c->NextSibling)
            if (visible(c)) return c;
        return nullptr;
    };
    PLazyNode n = Node;
    do {
        PLazyNode next = nullptr;
        if (above) {
            if (n == FRoot) {
                next = firstVisibleChild(FRoot);
            } else {
                for (PLazyNode s = n->NextSibling; !next && s; s = s->NextSibling)
                    if (visible(s)) next = s;
                if (!next) {
                    n = n->Parent == FRoot ? nullptr : n->Parent;
                    continue;
                }
            }
            if (next)
                for (PLazyNode c = firstVisibleChild(next); c; c = firstVisibleChild(c)) next = c;
        } else {
            next = firstVisibleChild(n);
            for (PLazyNode m = n; !next && m != FRoot; m = m->Parent)
                for (PLazyNode s = m->NextSibling; !next && s; s = s->NextSibling)
                    if (visible(s)) next = s;
        }
        n = next;
    } while (n && GetEffectivelyFiltered(n));
    return n;
}

PLazyNode TBaseLazyTree::GetNextVisible(PLazyNode Node, bool CA) {
    return nextVisible(Node, CA, true);
}

PLazyNode TBaseLazyTree::GetNextVisibleNoInit(PLazyNode Node, bool CA) const {
    return self()->nextVisible(Node, CA, false);
}

PLazyNode TBaseLazyTree::previousVisible(PLazyNode Node, bool CA, bool Init) {
    if (!Node) return nullptr;
    assertNotRoot(Node == FRoot);
    const bool above = CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove);
    auto visible = [this, Init](PLazyNode x) {
        if (Init) initIfNeeded(x);
        return x->States.Contains(vsVisible);
    };
    auto lastVisibleChild = [this, Init, &visible](PLazyNode x) -> PLazyNode {
        if (!x->States.Contains(vsExpanded)) return nullptr;
        if (Init) ensureChildrenCounted(x);
        for (PLazyNode c = x->LastChild; c; c = c->PrevSibling)
            if (visible(c)) return c;
        return nullptr;
    };
    auto lastVisibleDescendant = [&lastVisibleChild](PLazyNode x) {
        for (PLazyNode c = lastVisibleChild(x); c; c = lastVisibleChild(c)) x = c;
        return x;
    };
    PLazyNode n = Node;
    if (!FullyVisible(Node)) {
        PLazyNode parent = GetVisibleParent(Node, true);
        n = lastVisibleDescendant(parent);
        if (n == FRoot) return nullptr;
        if (!GetEffectivelyFiltered(n)) return n;
    }
    do {
        PLazyNode previous = nullptr;
        if (above) {
            previous = lastVisibleChild(n);
            for (PLazyNode m = n; !previous && m != FRoot; m = m->Parent)
                for (PLazyNode s = m->PrevSibling; !previous && s; s = s->PrevSibling)
                    if (visible(s)) previous = s;
        } else {
            for (PLazyNode s = n->PrevSibling; !previous && s; s = s->PrevSibling)
                if (visible(s)) previous = lastVisibleDescendant(s);
            if (!previous) previous = n->Parent == FRoot ? nullptr : n->Parent;
        }
        n = previous;
    } while (n && GetEffectivelyFiltered(n));
    return n;
}

PLazyNode TBaseLazyTree::GetPreviousVisible(PLazyNode Node, bool CA) {
    return previousVisible(Node, CA, true);
}

PLazyNode TBaseLazyTree::GetPreviousVisibleNoInit(PLazyNode Node, bool CA) const {
    return self()->previousVisible(Node, CA, false);
}

PLazyNode TBaseLazyTree::GetLastVisibleNoInit(PLazyNode Node, bool CA, bool IF) const {
    PLazyNode n = GetLastNoInit(Node, CA);
    while (n && n != Node && (!FullyVisible(n) || (!IF && GetEffectivelyFiltered(n))))
        n = GetPreviousNoInit(n, CA);
    return n == Node ? nullptr : n;
}

PLazyNode TBaseLazyTree::GetLastVisible(PLazyNode Node, bool CA, bool) {
    PLazyNode result = GetLastVisibleNoInit(Node, CA, false);
    for (PLazyNode n = result; n && n != Node && n != FRoot; n = n->Parent) initIfNeeded(n);
    return result;
}

PLazyNode TBaseLazyTree::siblingVisible(PLazyNode Node, bool IF, bool Forward) const {
    if (!Node || Node == FRoot) throw EAssertionFailed("Invalid parameter.");
    for (PLazyNode n = Forward ? Node->NextSibling : Node->PrevSibling; n;
         n = Forward ? n->NextSibling : n->PrevSibling)
        if (n->States.Contains(vsVisible) && (IF || !GetEffectivelyFiltered(n))) return n;
    return nullptr;
}

PLazyNode TBaseLazyTree::GetNextVisibleSibling(PLazyNode Node, bool IF) {
    PLazyNode result = siblingVisible(Node, IF, true);
    initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextVisibleSiblingNoInit(PLazyNode Node, bool IF) const {
    return siblingVisible(Node, IF, true);
}

PLazyNode TBaseLazyTree::GetPreviousVisibleSibling(PLazyNode Node, bool IF) {
    PLazyNode result = siblingVisible(Node, IF, false);
    initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousVisibleSiblingNoInit(PLazyNode Node, bool IF) const {
    return siblingVisible(Node, IF, false);
}

PLazyNode TBaseLazyTree::GetFirstVisibleChild(PLazyNode Node, bool IF) {
    PLazyNode child = GetFirstChild(Node);
    if (child && (!child->States.Contains(vsVisible) || (!IF && GetEffectivelyFiltered(child))))
        child = GetNextVisibleSibling(child, IF);
    return child;
}

PLazyNode TBaseLazyTree::GetFirstVisibleChildNoInit(PLazyNode Node, bool IF) const {
    PLazyNode child = GetFirstChildNoInit(Node);
    if (child && (!child->States.Contains(vsVisible) || (!IF && GetEffectivelyFiltered(child))))
        child = GetNextVisibleSiblingNoInit(child, IF);
    return child;
}

PLazyNode TBaseLazyTree::lastVisibleChildNoInit(PLazyNode Node, bool IF) const {
    PLazyNode child = nullptr;
    if (!Node || Node == FRoot)
        child = FRoot->LastChild;
    else if (FullyVisible(Node) && Node->States.Contains(vsExpanded))
        child = Node->LastChild;
    if (child && (!child->States.Contains(vsVisible) || (!IF && GetEffectivelyFiltered(child))))
        child = siblingVisible(child, IF, false);
    return child;
}

PLazyNode TBaseLazyTree::GetLastVisibleChild(PLazyNode Node, bool IF) {
    if (Node && Node != FRoot) {
        initIfNeeded(Node);
        if (Node->States.Contains(vsExpanded)) ensureChildrenCounted(Node);
    }
    PLazyNode result = lastVisibleChildNoInit(Node, IF);
    initIfNeeded(result);
    return result;
}

PLazyNode TBaseLazyTree::GetLastVisibleChildNoInit(PLazyNode Node, bool IF) const {
    return lastVisibleChildNoInit(Node, IF);
}

// --- position queries -------------------------------------------------------------------------

std::uint32_t TBaseLazyTree::GetNodeLevel(PLazyNode Node) const {
    std::uint32_t level = 0;
    if (!Node || Node == FRoot) return 0;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent) ++level;
    return level;
}

bool TBaseLazyTree::HasAsParent(PLazyNode Node, PLazyNode PotentialParent) const {
    if (!Node || !PotentialParent || Node == PotentialParent || Node == FRoot) return false;
    for (PLazyNode p = Node->Parent;; p = p->Parent) {
        if (p == PotentialParent) return true;
        if (p == FRoot) return false;
    }
}

PLazyNode TBaseLazyTree::GetVisibleParent(PLazyNode Node, bool IF) const {
    if (!Node) throw EAssertionFailed("Node must not be nil.");
    assertNotRoot(Node == FRoot);
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (FullyVisible(p) && (IF || !GetEffectivelyFiltered(p))) return p;
    return FRoot;
}

std::uint32_t TBaseLazyTree::AbsoluteIndex(PLazyNode Node) {
    std::uint32_t result = 0;
    for (PLazyNode n = Node; n && n != FRoot; n = n->Parent) {
        initIfNeeded(n);
        for (PLazyNode s = n->PrevSibling; s; s = s->PrevSibling) {
            initIfNeeded(s);
            result += s->TotalCount;
        }
        if (n->Parent != FRoot) ++result;
    }
    return result;
}

int TBaseLazyTree::NodePositionOrder(PLazyNode Node1, PLazyNode Node2, bool CA) const {
    if (!Node1 || !Node2) throw EAssertionFailed("Nodes must never be nil.");
    if (Node1 == Node2) return 0;
    const bool above = CA && TreeOptions()->PaintOptions().Contains(toChildrenAbove);
    if (HasAsParent(Node1, Node2)) return above ? -1 : 1;
    if (HasAsParent(Node2, Node1)) return above ? 1 : -1;
    std::uint32_t level1 = GetNodeLevel(Node1), level2 = GetNodeLevel(Node2);
    for (; level1 > level2; --level1) Node1 = Node1->Parent;
    for (; level2 > level1; --level2) Node2 = Node2->Parent;
    while (Node1->Parent != Node2->Parent) {
        Node1 = Node1->Parent;
        Node2 = Node2->Parent;
    }
    return int(Node1->Index) - int(Node2->Index);
}

int TBaseLazyTree::NodeLevelDifference(PLazyNode Node1, PLazyNode Node2) const {
    if (!Node1 || !Node2) throw EAssertionFailed("Both nodes must be Assigned.");
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

PLazyNode TBaseLazyTree::IterateSubtree(PLazyNode Node, const TLTGetNodeProc& Callback, void* Data,
                                        TLazyNodeStates Filter, bool DoInit, bool ChildNodesOnly) {
    assertNotRoot(Node && Node == FRoot);
    const bool wasIterating = FStates.Contains(tsIterating);
    ChangeTreeStates({tsIterating}, {});
    struct Leave {
        TBaseLazyTree* tree;
        bool wasIterating;
        ~Leave() {
            if (!wasIterating) tree->ChangeTreeStates({}, {tsIterating});
        }
    } leave{this, wasIterating};
    auto step = [this, DoInit](PLazyNode n) { return DoInit ? GetNext(n) : GetNextNoInit(n); };
    PLazyNode stop = nullptr;
    PLazyNode n;
    if (Node) {
        if (DoInit) initIfNeeded(Node);
        for (PLazyNode m = Node; !stop && m != FRoot; m = m->Parent) stop = m->NextSibling;
        n = Node;
        if (ChildNodesOnly) {
            if (DoInit) ensureChildrenCounted(Node);
            n = Node->FirstChild ? step(Node) : nullptr;
        }
    } else {
        n = GetFirstNoInit(false);
        if (n && DoInit) initIfNeeded(n);
    }
    for (; n && n != stop; n = step(n)) {
        if (Filter.Empty() || n->States.ContainsAll(Filter)) {
            bool abort = false;
            Callback(this, n, Data, abort);
            if (abort) return n;
        }
    }
    return nullptr;
}

// --- enumerations -----------------------------------------------------------------------------

PLazyNode TBaseLazyTree::TLTLazyNodeEnumeration::GetNext(PLazyNode Node) const {
    TBaseLazyTree* t = FTree;
    const bool ca = FConsiderChildrenAbove;
    switch (FMode) {
    case vneAll:
        return Node ? t->GetNext(Node, ca) : t->GetFirst(ca);
    case vneChecked:
        return Node ? t->GetNextChecked(Node, FState, ca) : t->GetFirstChecked(FState, ca);
    case vneChild:
        return Node ? t->GetNextSibling(Node) : t->GetFirstChild(FNode);
    case vneCutCopy:
        return Node ? t->GetNextCutCopy(Node, ca) : t->GetFirstCutCopy(ca);
    case vneInitialized:
        return Node ? t->GetNextInitialized(Node, ca) : t->GetFirstInitialized(ca);
    case vneLeaf:
        return Node ? t->GetNextLeaf(Node) : t->GetFirstLeaf();
    case vneLevel:
        return Node ? t->GetNextLevel(Node, FNodeLevel) : t->GetFirstLevel(FNodeLevel);
    case vneNoInit:
        return Node ? t->GetNextNoInit(Node, ca) : t->GetFirstNoInit(ca);
    case vneSelected:
        return Node ? t->GetNextSelected(Node, ca) : t->GetFirstSelected(ca);
    case vneVisible: {
        PLazyNode n =
            Node ? t->GetNextVisible(Node, true) : t->GetFirstVisible(FNode, ca, FIncludeFiltered);
        while (n && !FIncludeFiltered && t->GetEffectivelyFiltered(n))
            n = t->GetNextVisible(n, true);
        return n;
    }
    case vneVisibleChild:
        return Node ? t->GetNextVisibleSibling(Node, FIncludeFiltered)
                    : t->GetFirstVisibleChild(FNode, FIncludeFiltered);
    case vneVisibleNoInitChild:
        return Node ? t->GetNextVisibleSiblingNoInit(Node, FIncludeFiltered)
                    : t->GetFirstVisibleChildNoInit(FNode, FIncludeFiltered);
    case vneVisibleNoInit: {
        PLazyNode n = Node ? t->GetNextVisibleNoInit(Node, ca)
                           : t->GetFirstVisibleNoInit(FNode, ca, FIncludeFiltered);
        while (n && !FIncludeFiltered && t->GetEffectivelyFiltered(n))
            n = t->GetNextVisibleNoInit(n, ca);
        return n;
    }
    }
    return nullptr;
}

bool TBaseLazyTree::TLTLazyNodeEnumerator::MoveNext() {
    if (!FCanModeNext) return false;
    FNode = FEnumeration->GetNext(FNode);
    FCanModeNext = FNode != nullptr;
    return FCanModeNext;
}

namespace {
using Enumeration = TBaseLazyTree::TLTLazyNodeEnumeration;
} // namespace

Enumeration TBaseLazyTree::Nodes(bool CA) {
    return {vneAll, this, CA};
}
Enumeration TBaseLazyTree::CheckedNodes(TCheckState State, bool CA) {
    return {vneChecked, this, CA, nullptr, 0, State};
}
Enumeration TBaseLazyTree::ChildNodes(PLazyNode Node) {
    return {vneChild, this, false, Node};
}
Enumeration TBaseLazyTree::CutCopyNodes(bool CA) {
    return {vneCutCopy, this, CA};
}
Enumeration TBaseLazyTree::InitializedNodes(bool CA) {
    return {vneInitialized, this, CA};
}
Enumeration TBaseLazyTree::LeafNodes() {
    return {vneLeaf, this};
}
Enumeration TBaseLazyTree::LevelNodes(std::uint32_t NodeLevel) {
    return {vneLevel, this, false, nullptr, NodeLevel};
}
Enumeration TBaseLazyTree::NoInitNodes(bool CA) {
    return {vneNoInit, this, CA};
}
Enumeration TBaseLazyTree::SelectedNodes(bool CA) {
    return {vneSelected, this, CA};
}
Enumeration TBaseLazyTree::VisibleNodes(PLazyNode Node, bool CA, bool IF) {
    return {vneVisible, this, CA, Node, 0, csCheckedNormal, IF};
}
Enumeration TBaseLazyTree::VisibleChildNodes(PLazyNode Node, bool IF) {
    return {vneVisibleChild, this, false, Node, 0, csCheckedNormal, IF};
}
Enumeration TBaseLazyTree::VisibleChildNoInitNodes(PLazyNode Node, bool IF) {
    return {vneVisibleNoInitChild, this, false, Node, 0, csCheckedNormal, IF};
}
Enumeration TBaseLazyTree::VisibleNoInitNodes(PLazyNode Node, bool CA, bool IF) {
    return {vneVisibleNoInit, this, CA, Node, 0, csCheckedNormal, IF};
}
