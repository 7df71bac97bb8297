// Moving, copying and sorting nodes. Moves inside one tree relink the nodes; moves into another
// tree and every copy carry the nodes through the tree stream.
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeHeader.h"

#include <exception>
#include <vector>

namespace {

constexpr std::uintptr_t EditTimer = 2;

template <class F> struct ScopeExit {
    F f;
    ~ScopeExit() { f(); }
};
template <class F> ScopeExit(F) -> ScopeExit<F>;

// A stable top-down merge sort of Nodes[0, Count) that splits as Count div 2 and (Count + 1)
// div 2 and takes the node of the second half only when Second(first, second) says so.
template <class TakeSecond>
void mergeSort(PLazyNode* Nodes, PLazyNode* Buffer, std::size_t Count, TakeSecond& Second) {
    if (Count <= 1) return;
    const std::size_t half = Count / 2;
    mergeSort(Nodes, Buffer, half, Second);
    mergeSort(Nodes + half, Buffer + half, Count - half, Second);
    std::size_t i = 0, j = half, k = 0;
    while (i < half && j < Count)
        Buffer[k++] = Second(Nodes[i], Nodes[j]) ? Nodes[j++] : Nodes[i++];
    while (i < half) Buffer[k++] = Nodes[i++];
    while (j < Count) Buffer[k++] = Nodes[j++];
    std::copy(Buffer, Buffer + Count, Nodes);
}

} // namespace

// --- events -----------------------------------------------------------------------------------

int TBaseLazyTree::FireCompare(PLazyNode Node1, PLazyNode Node2, TColumnIndex Column) {
    int result = 0;
    if (OnCompareNodes) OnCompareNodes(this, Node1, Node2, Column, result);
    return result;
}

bool TBaseLazyTree::FireNodeMoving(PLazyNode Node, PLazyNode Target) {
    bool allowed = true;
    if (OnNodeMoving) OnNodeMoving(this, Node, Target, allowed);
    return allowed;
}

void TBaseLazyTree::FireNodeMoved(PLazyNode Node) {
    if (OnNodeMoved) OnNodeMoved(this, Node);
}

bool TBaseLazyTree::FireNodeCopying(PLazyNode Node, PLazyNode Target) {
    bool allowed = true;
    if (OnNodeCopying) OnNodeCopying(this, Node, Target, allowed);
    return allowed;
}

void TBaseLazyTree::FireNodeCopied(PLazyNode Node) {
    if (OnNodeCopied) OnNodeCopied(this, Node);
}

// --- moving and copying -----------------------------------------------------------------------

TBaseLazyTree* TBaseLazyTree::resolveMoveTarget(PLazyNode Source, PLazyNode& Target,
                                                TLTNodeAttachMode& Mode) {
    if (Mode == amNoWhere || !Source || Source == FRoot) return nullptr;
    if (TreeFromNode(Source) != this)
        throw EAssertionFailed("The source tree must contain the source node.");
    if (!Target) {
        Target = FRoot;
        Mode = amAddChildFirst;
    }
    TBaseLazyTree* tree = TreeFromNode(Target);
    if (tree->TreeOptions()->MiscOptions().Contains(toReadOnly)) return nullptr;
    if (Target == tree->FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    // Children created lazily must exist before others join them.
    if (Target != tree->FRoot && !Target->States.Contains(vsInitialized))
        tree->InitNode(Target);
    else
        tree->ensureChildrenCounted(Target);
    return tree;
}

std::vector<PLazyNode> TBaseLazyTree::transportNodes(PLazyNode Source, bool ChildrenOnly,
                                                     TBaseLazyTree* Tree, PLazyNode Target,
                                                     TLTNodeAttachMode Mode, bool Copying) {
    TMemoryStream stream;
    std::size_t chunks = 0;
    if (ChildrenOnly) {
        for (PLazyNode child = Source->FirstChild; child; child = child->NextSibling, ++chunks)
            WriteNodeChunk(stream, child);
    } else {
        WriteNodeChunk(stream, Source);
        chunks = 1;
    }
    stream.SetPosition(0);
    std::vector<PLazyNode> created;
    Tree->BeginUpdate();
    ScopeExit end{[Tree] { Tree->EndUpdate(); }};
    // The first node goes where Mode says; the others follow it, so the order is kept.
    PLazyNode anchor = nullptr;
    for (std::size_t i = 0; i < chunks; ++i) {
        PLazyNode node = Tree->AllocateNode();
        if (anchor)
            Tree->ConnectNode(node, anchor, amInsertAfter, Tree);
        else
            Tree->ConnectNode(node, Target, Mode, Tree);
        Tree->LoadNodeFromStream(stream, 2, node);
        if (Copying && !FireNodeCopying(node, Target == Tree->FRoot ? nullptr : Target)) {
            Tree->DeleteNode(node);
            created.push_back(nullptr);
            continue;
        }
        anchor = node;
        created.push_back(node);
        if (Copying)
            FireNodeCopied(node);
        else
            FireNodeMoved(node);
    }
    return created;
}

void TBaseLazyTree::MoveTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode,
                           bool ChildrenOnly) {
    if (!(Target != Source ||
          (ChildrenOnly && (Mode == amInsertBefore || Mode == amInsertAfter))) ||
        TreeOptions()->MiscOptions().Contains(toReadOnly))
        return;
    TBaseLazyTree* tree = resolveMoveTarget(Source, Target, Mode);
    if (!tree) return;
    // A refused move changes nothing and reports nothing.
    if (!FireNodeMoving(Source, Target == tree->FRoot ? nullptr : Target)) return;
    bool sourceDeleted = false;
    if (tree == this) {
        if (Target != Source && HasAsParent(Target, Source))
            RaiseTreeError("Target node cannot be a child node of the node to be moved.", 2001);
        if (!ChildrenOnly) {
            DisconnectNode(Source, true, true, false);
            ConnectNode(Source, Target, Mode, this);
            FireNodeMoved(Source);
        } else {
            // Taken last to first where each one lands in front of the one before, so that
            // the children keep their order.
            const bool backwards = Mode == amAddChildFirst || Mode == amInsertAfter;
            for (PLazyNode child = backwards ? Source->LastChild : Source->FirstChild; child;) {
                PLazyNode next = backwards ? child->PrevSibling : child->NextSibling;
                DisconnectNode(child, true, false, false);
                ConnectNode(child, Target, Mode, this);
                FireNodeMoved(child);
                child = next;
            }
        }
    } else {
        transportNodes(Source, ChildrenOnly, tree, Target, Mode, false);
        BeginUpdate();
        ScopeExit end{[this] { EndUpdate(); }};
        if (ChildrenOnly) {
            DeleteChildren(Source, false);
        } else {
            DeleteNode(Source);
            sourceDeleted = true;
        }
    }
    MarkCacheInvalid();
    if (FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateWhenShown();
        if (tree != this) {
            tree->MarkCacheInvalid();
            tree->StartCacheValidation();
            tree->UpdateScrollBars(true);
            tree->InvalidateWhenShown();
        }
    }
    // A node moved into another tree is gone here: the report names no node then.
    ReportStructureChange(ChildrenOnly || sourceDeleted ? nullptr : Source, crNodeMoved);
}

void TBaseLazyTree::MoveTo(PLazyNode Node, TBaseLazyTree* Tree, TLTNodeAttachMode Mode,
                           bool ChildrenOnly) {
    if (Tree) MoveTo(Node, Tree->FRoot, Mode, ChildrenOnly);
}

PLazyNode TBaseLazyTree::CopyTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode,
                                bool ChildrenOnly) {
    TBaseLazyTree* tree = resolveMoveTarget(Source, Target, Mode);
    if (!tree) return nullptr;
    const std::vector<PLazyNode> created =
        transportNodes(Source, ChildrenOnly, tree, Target, Mode, true);
    tree->MarkCacheInvalid();
    if (tree->FUpdateCount == 0) {
        tree->StartCacheValidation();
        tree->UpdateScrollBars(true);
        tree->InvalidateWhenShown();
    }
    tree->ReportStructureChange(ChildrenOnly ? nullptr : Source, crNodeCopied);
    if (ChildrenOnly) return Target == tree->FRoot ? nullptr : Target;
    return created.empty() ? nullptr : created.back();
}

PLazyNode TBaseLazyTree::CopyTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode,
                                bool ChildrenOnly) {
    return Tree ? CopyTo(Source, Tree->FRoot, Mode, ChildrenOnly) : nullptr;
}

void TBaseLazyTree::SetNodeParent(PLazyNode Node, PLazyNode Value) {
    if (Node && Value && Value != Node->Parent) MoveTo(Node, Value, amAddChildLast, false);
}

// --- sorting ----------------------------------------------------------------------------------

void TBaseLazyTree::Sort(PLazyNode Node, TColumnIndex Column, TSortDirection Direction,
                         bool DoInit) {
    StopCacheValidation();
    if (FStates.Contains(tsEditPending)) {
        killTreeTimer(EditTimer);
        ChangeTreeStates({}, {tsEditPending});
    }
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return;
    if (DoInit) {
        ensureChildrenCounted(Node);
        ValidateChildren(Node, false);
    }
    if (Node->ChildCount > 1) {
        FSortNodes.clear();
        for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
            FSortNodes.push_back(child);
        const std::size_t count = FSortNodes.size();
        FSortNodes.resize(2 * count);
        {
            StartOperation(okSortNode);
            ScopeExit end{[this] { EndOperation(okSortNode); }};
            // Once the operation is cancelled every comparison counts as equal.
            auto second = [this, Column, Direction](PLazyNode First, PLazyNode Second) {
                if (OperationCanceled()) return false;
                const int result = FireCompare(First, Second, Column);
                return Direction == sdAscending ? result > 0 : result < 0;
            };
            mergeSort(FSortNodes.data(), FSortNodes.data() + count, count, second);
        }
        PLazyNode previous = nullptr;
        for (std::size_t i = 0; i < count; ++i) {
            PLazyNode child = FSortNodes[i];
            child->Index = std::uint32_t(i);
            child->PrevSibling = previous;
            if (previous)
                previous->NextSibling = child;
            else
                Node->FirstChild = child;
            previous = child;
        }
        previous->NextSibling = nullptr;
        Node->LastChild = previous;
        FSortNodes.clear();
        MarkCacheInvalid();
    }
    if (FUpdateCount == 0) {
        StartCacheValidation();
        InvalidateWhenShown();
    }
}

void TBaseLazyTree::sortSubtree(PLazyNode Node, TColumnIndex Column, TSortDirection Direction,
                                bool DoInit) {
    Sort(Node, Column, Direction, DoInit);
    const bool autoSort = TreeOptions()->AutoOptions().Contains(toAutoSort);
    for (PLazyNode child = Node->FirstChild; child && !OperationCanceled();
         child = child->NextSibling) {
        if (DoInit) initIfNeeded(child);
        // Under automatic sorting a collapsed subtree is sorted when it is expanded.
        if (child->States.Contains(vsInitialized) &&
            (!autoSort || child->States.Contains(vsExpanded)))
            sortSubtree(child, Column, Direction, DoInit);
    }
}

void TBaseLazyTree::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    if (FRoot->TotalCount <= 2) return;
    // A silent bracket: only the counter moves.
    ++FUpdateCount;
    ScopeExit done{[this] {
        MarkCacheInvalid();
        if (--FUpdateCount == 0) {
            StartCacheValidation();
            InvalidateWhenShown();
        }
    }};
    if (Column > InvalidColumnIndex) {
        StartOperation(okSortTree);
        ScopeExit end{[this] { EndOperation(okSortTree); }};
        sortSubtree(FRoot, Column, Direction, DoInit);
    }
}

bool TBaseLazyTree::autoSortWanted() const {
    // Without a comparison a sort could only initialise nodes and keep their order.
    return TreeOptions()->AutoOptions().Contains(toAutoSort) &&
           FHeader->SortColumn() > InvalidColumnIndex && bool(OnCompareNodes);
}

void TBaseLazyTree::autoSort(PLazyNode Node, bool DoInit) {
    if (autoSortWanted()) Sort(Node, FHeader->SortColumn(), FHeader->SortDirection(), DoInit);
}
