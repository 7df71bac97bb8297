// The node model: allocating, linking, initialising and freeing nodes, and the counts and
// heights every other part of the tree relies on.
#include "treeview/LazyTree.h"

#include "platform/base/Threads.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t blockAlign = alignof(void*);

std::size_t roundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

void addSigned(std::uint32_t& field, int delta) {
    field = std::uint32_t(std::int64_t(field) + delta);
}

// Runs f when the scope ends, also when an exception passes.
template <class F> struct ScopeExit {
    F f;
    ~ScopeExit() { f(); }
};
template <class F> ScopeExit(F) -> ScopeExit<F>;

} // namespace

// --- blocks -----------------------------------------------------------------------------------

std::size_t TBaseLazyTree::nodeBlockSize() const {
    const std::size_t data = FNodeDataSize > 0 ? std::size_t(FNodeDataSize) : 0;
    return roundUp(sizeof(TLazyNode) + data + FTotalInternalDataSize, blockAlign);
}

PLazyNode TBaseLazyTree::AllocateNode() {
    if (FNodeDataSize == -1) {
        // Without an answer every node can hold one pointer.
        int size = int(sizeof(void*));
        FireGetNodeDataSize(size);
        FNodeDataSize = size < -1 ? -1 : size;
    }
    const std::size_t size = nodeBlockSize();
    if (!FNodeAllocator || FNodeAllocator->BlockSize() != size) {
        // Nodes of the old size may still live (a size set while loading): their pool stays
        // until they are freed.
        if (FNodeAllocator && FNodeAllocator->LiveCount() > 0)
            FRetiredAllocators.push_back(std::move(FNodeAllocator));
        FNodeAllocator = std::make_unique<TNodeAllocator>(size);
    }
    // The header is written whole here; the pool clears only the data areas after it.
    PLazyNode node = new (FNodeAllocator->Allocate(sizeof(TLazyNode))) TLazyNode;
    node->TotalCount = 1;
    node->TotalHeight = FDefaultNodeHeight;
    node->NodeHeight = std::uint16_t(FDefaultNodeHeight);
    node->States = {vsVisible};
    node->Align = 50;
    return node;
}

void TBaseLazyTree::freeNodeBlock(PLazyNode Node) {
    if (FRetiredAllocators.empty() || FNodeAllocator->Owns(Node)) {
        FNodeAllocator->Free(Node);
        return;
    }
    for (auto it = FRetiredAllocators.begin(); it != FRetiredAllocators.end(); ++it)
        if ((*it)->Owns(Node)) {
            (*it)->Free(Node);
            if ((*it)->LiveCount() == 0) FRetiredAllocators.erase(it);
            return;
        }
}

void TBaseLazyTree::releaseRootNode() {
    std::free(FRoot);
    FRoot = nullptr;
}

void TBaseLazyTree::setUpRootNode() {
    const std::size_t size = roundUp(sizeof(TLazyNode) + FTotalInternalDataSize, blockAlign);
    void* block = FRoot ? std::realloc(FRoot, size) : std::malloc(size);
    if (!block) throw std::bad_alloc();
    std::memset(block, 0, size);
    FRoot = new (block) TLazyNode;
    FRoot->Parent = reinterpret_cast<PLazyNode>(this);
    FRoot->PrevSibling = FRoot;
    FRoot->NextSibling = FRoot;
    FRoot->States = {vsInitialized, vsExpanded, vsHasChildren, vsVisible};
    FRoot->TotalCount = 1;
    FRoot->TotalHeight = FDefaultNodeHeight;
    FRoot->NodeHeight = std::uint16_t(FDefaultNodeHeight);
    FRoot->Align = 50;
}

TBaseLazyTree* TBaseLazyTree::TreeFromNode(PLazyNode Node) {
    if (!Node) throw EAssertionFailed("Node must not be nil.");
    while (Node->NextSibling != Node) Node = Node->Parent;
    return reinterpret_cast<TBaseLazyTree*>(Node->Parent);
}

std::uint32_t TBaseLazyTree::ReserveInternalDataArea(std::uint32_t Size) {
    if (FRoot && FRoot->FirstChild)
        throw EAssertionFailed("Internal data allocation must be done before any node is created.");
    const std::uint32_t offset = FTotalInternalDataSize;
    FTotalInternalDataSize += (Size + 3) / 4 * 4;
    setUpRootNode();
    return offset;
}

unsigned char* TBaseLazyTree::InternalData(PLazyNode Node, std::uint32_t Offset) const {
    const std::size_t data = Node == FRoot || FNodeDataSize <= 0 ? 0 : std::size_t(FNodeDataSize);
    return Node->Data() + data + Offset;
}

// --- user data --------------------------------------------------------------------------------

void TBaseLazyTree::raiseNodeDataSizeNotInitialized() {
    throw EAssertionFailed("NodeDataSize not initialized.");
}

void TBaseLazyTree::SetNodeData(PLazyNode Node, void* UserData) {
    if (FNodeDataSize < int(sizeof(void*)))
        throw EAssertionFailed(ClassName() + ": Cannot set initial user data because there is "
                                             "not enough user data space allocated.");
    if (!Node || Node == FRoot) return;
    std::memcpy(Node->Data(), &UserData, sizeof(void*));
    Node->States.Include(vsOnFreeNodeCallRequired);
}

void TBaseLazyTree::SetNodeData(PLazyNode Node, IInterface* UserData) {
    // The pointer must fit the user data, as for a plain pointer.
    if (FNodeDataSize < int(sizeof(void*)))
        throw EAssertionFailed(ClassName() + ": Cannot set initial user data because there is "
                                             "not enough user data space allocated.");
    if (Node && Node != FRoot) Node->SetNodeInterface(UserData);
}

void TBaseLazyTree::SetNodeDataSize(int Value) {
    if (Value < -1) Value = -1;
    if (Value == FNodeDataSize) return;
    // The blocks of existing nodes have the old size: they must be recreated, which a
    // read-only tree refuses, so its size stays.
    if (FRoot->FirstChild && TreeOptions()->MiscOptions().Contains(toReadOnly)) return;
    FNodeDataSize = Value;
    if (IsLoading() || IsDesigning()) return;
    const std::uint32_t count = FRoot->ChildCount;
    Clear();
    SetRootNodeCount(count);
}

// --- creation ---------------------------------------------------------------------------------

PLazyNode TBaseLazyTree::AddChild(PLazyNode Parent, IInterface* UserData) {
    if (UserData && FNodeDataSize < int(sizeof(void*)) && FNodeDataSize != -1)
        SetNodeData(nullptr, UserData); // raises the size assertion
    PLazyNode node = AddChild(Parent, static_cast<void*>(nullptr));
    if (node && UserData) SetNodeData(node, UserData);
    return node;
}

PLazyNode TBaseLazyTree::AddChild(PLazyNode Parent, void* UserData) {
    if (TreeOptions()->MiscOptions().Contains(toReadOnly)) return nullptr;
    if (UserData && FNodeDataSize < int(sizeof(void*)) && FNodeDataSize != -1)
        SetNodeData(nullptr, UserData); // raises the size assertion
    if (!Parent) Parent = FRoot;
    if (!Parent->States.Contains(vsInitialized)) InitNode(Parent);
    ++FUpdateCount;
    {
        ScopeExit lower{[this] { --FUpdateCount; }};
        SetChildCount(Parent, Parent->ChildCount + 1);
        Parent->States.Exclude(vsAllChildrenHidden);
    }
    PLazyNode result = Parent->LastChild;
    if (UserData) SetNodeData(result, UserData);
    MarkCacheInvalid();
    if (FUpdateCount == 0) {
        StartCacheValidation();
        if (FStates.Contains(tsStructureChangePending))
            ReportStructureChange(Parent == FRoot ? nullptr : Parent, crChildAdded);
        autoSort(Parent, true);
        InvalidateWhenShown();
        UpdateScrollBars(true);
    }
    return result;
}

void TBaseLazyTree::SetChildCount(PLazyNode Node, std::uint32_t NewChildCount) {
    if (TreeOptions()->MiscOptions().Contains(toReadOnly)) return;
    if (!Node) Node = FRoot;
    if (NewChildCount == 0) {
        DeleteChildren(Node, false);
        return;
    }
    if (NewChildCount == Node->ChildCount) return;
    StopCacheValidation();
    if (NewChildCount > Node->ChildCount) {
        const std::uint32_t added = NewChildCount - Node->ChildCount;
        std::uint32_t index = 0;
        if (Node->LastChild)
            index = Node->LastChild->Index + 1;
        else
            Node->States.Include(vsHasChildren);
        Node->States.Exclude(vsAllChildrenHidden);
        Node->States.Exclude(vsHeightMeasured);
        if (Node->States.Contains(vsExpanded) && FullyVisible(Node)) FVisibleCount += added;
        // The first child settles the pool; the others copy its fresh header.
        PLazyNode first = AllocateNode();
        const TLazyNode header = *first;
        PLazyNode prev = Node->LastChild;
        for (std::uint32_t i = 0; i < added; ++i) {
            PLazyNode child = i == 0 ? first
                                     : new (FNodeAllocator->Allocate(sizeof(TLazyNode)))
                                           TLazyNode(header);
            child->Index = index++;
            child->Parent = Node;
            child->PrevSibling = prev;
            if (prev)
                prev->NextSibling = child;
            else
                Node->FirstChild = child;
            prev = child;
        }
        Node->LastChild = prev;
        const std::uint64_t sum = Node->TotalHeight + std::uint64_t(added) * header.TotalHeight;
        if (Node->States.Contains(vsExpanded)) ChangeTotalHeight(Node, int(sum), false);
        ChangeTotalCount(Node, int(added), true);
        Node->ChildCount = NewChildCount;
        if (TreeOptions()->MiscOptions().Contains(toVariableNodeHeight))
            for (PLazyNode child = first; child; child = child->NextSibling) NodeHeight(child);
        if (FUpdateCount == 0) autoSort(Node, true);
        MarkCacheInvalid();
    } else {
        while (Node->ChildCount > NewChildCount && Node->LastChild) DeleteNode(Node->LastChild);
    }
    if (FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateWhenShown();
    }
    ReportStructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

std::uint32_t TBaseLazyTree::ChildCount(PLazyNode Node) const {
    return (Node ? Node : FRoot)->ChildCount;
}

void TBaseLazyTree::SetRootNodeCount(std::uint32_t Value) {
    if (IsLoading()) {
        FRoot->ChildCount = Value;
        ChangeTreeStates({tsNeedRootCountUpdate}, {});
        return;
    }
    if (FRoot->ChildCount == Value) return;
    BeginUpdate();
    ScopeExit end{[this] { EndUpdate(); }};
    StopCacheValidation();
    SetChildCount(FRoot, Value);
}

bool TBaseLazyTree::HasChildren(PLazyNode Node) const {
    return (Node ? Node : FRoot)->States.Contains(vsHasChildren);
}

void TBaseLazyTree::SetHasChildren(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot || TreeOptions()->MiscOptions().Contains(toReadOnly)) return;
    if (Value) {
        Node->States.Include(vsHasChildren);
    } else {
        Node->States.Exclude(vsHasChildren);
        DeleteChildren(Node, false);
    }
}

bool TBaseLazyTree::ChildrenInitialized(PLazyNode Node) const {
    if (!Node) Node = FRoot;
    return !(Node->States.Contains(vsHasChildren) && Node->ChildCount == 0);
}

std::uint32_t TBaseLazyTree::TotalCount() {
    // A silent bracket: only the counter moves, nothing is reported.
    ++FUpdateCount;
    ScopeExit lower{[this] { --FUpdateCount; }};
    ValidateNode(nullptr, true);
    return FRoot->TotalCount - 1;
}

PLazyNode TBaseLazyTree::InsertNode(PLazyNode Node, TLTNodeAttachMode Mode, void* UserData) {
    if (Mode == amNoWhere) return nullptr;
    // The same refusal as AddChild: a read-only tree takes no new nodes.
    if (TreeOptions()->MiscOptions().Contains(toReadOnly)) return nullptr;
    if (UserData && FNodeDataSize < int(sizeof(void*)) && FNodeDataSize != -1)
        SetNodeData(nullptr, UserData);
    if (!Node) Node = FRoot;
    PLazyNode newNode = AllocateNode();
    if (Node == FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    if ((Mode == amAddChildFirst || Mode == amAddChildLast) &&
        !Node->States.Contains(vsInitialized))
        InitNode(Node);
    ConnectNode(newNode, Node, Mode, this);
    if (UserData) SetNodeData(newNode, UserData);
    if (FUpdateCount == 0) {
        autoSort(Mode == amInsertBefore || Mode == amInsertAfter ? Node->Parent : Node, true);
        UpdateScrollBars(true);
        InvalidateWhenShown();
    }
    ReportStructureChange(newNode, crNodeAdded);
    return newNode;
}

void TBaseLazyTree::ConnectNode(PLazyNode Node, PLazyNode Destination, TLTNodeAttachMode Mode,
                                TBaseLazyTree* Target) {
    PLazyNode parent = nullptr;
    switch (Mode) {
    case amNoWhere:
        break;
    case amInsertBefore: {
        parent = Destination->Parent;
        Node->Parent = parent;
        Node->Index = Destination->Index;
        Node->PrevSibling = Destination->PrevSibling;
        Node->NextSibling = Destination;
        if (Destination->PrevSibling)
            Destination->PrevSibling->NextSibling = Node;
        else
            parent->FirstChild = Node;
        Destination->PrevSibling = Node;
        for (PLazyNode n = Destination; n; n = n->NextSibling) ++n->Index;
        break;
    }
    case amInsertAfter: {
        parent = Destination->Parent;
        Node->Parent = parent;
        Node->PrevSibling = Destination;
        Node->NextSibling = Destination->NextSibling;
        if (Destination->NextSibling)
            Destination->NextSibling->PrevSibling = Node;
        else
            parent->LastChild = Node;
        Destination->NextSibling = Node;
        std::uint32_t index = Destination->Index;
        for (PLazyNode n = Node; n; n = n->NextSibling) n->Index = ++index;
        break;
    }
    case amAddChildFirst: {
        parent = Destination;
        Node->Parent = parent;
        Node->PrevSibling = nullptr;
        Node->NextSibling = parent->FirstChild;
        if (parent->FirstChild)
            parent->FirstChild->PrevSibling = Node;
        else
            parent->LastChild = Node;
        parent->FirstChild = Node;
        std::uint32_t index = 0;
        for (PLazyNode n = Node; n; n = n->NextSibling) n->Index = index++;
        break;
    }
    case amAddChildLast: {
        parent = Destination;
        Node->Parent = parent;
        Node->NextSibling = nullptr;
        Node->PrevSibling = parent->LastChild;
        Node->Index = parent->LastChild ? parent->LastChild->Index + 1 : 0;
        if (parent->LastChild)
            parent->LastChild->NextSibling = Node;
        else
            parent->FirstChild = Node;
        parent->LastChild = Node;
        break;
    }
    }
    Node->States -= TLazyNodeStates{vsChecking, vsCutOrCopy, vsDeleting};
    if (Mode == amNoWhere) return;
    ++parent->ChildCount;
    parent->States.Include(vsHasChildren);
    Target->ChangeTotalCount(parent, int(Node->TotalCount), true);
    if (parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible)) {
        Target->ChangeTotalHeight(parent, int(Node->TotalHeight), true);
        if (Target->FullyVisible(Node))
            Target->FVisibleCount +=
                CountShownChildren(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
    }
    if (parent != FRoot) {
        if (GetEffectivelyVisible(Node))
            parent->States.Exclude(vsAllChildrenHidden);
        else if (parent->ChildCount == 1)
            parent->States.Include(vsAllChildrenHidden);
    }
}

// --- initialisation ---------------------------------------------------------------------------

void TBaseLazyTree::InitNode(PLazyNode Node) {
    Node->States.Include(vsInitializing);
    ScopeExit done{[Node] { Node->States.Exclude(vsInitializing); }};
    TLazyNodeInitStates initStates;
    const bool reInit = Node->States.Contains(vsInitialized);
    if (reInit) initStates.Include(ivsReInit);
    Node->States.Include(vsInitialized);
    FireInitNode(Node->Parent == FRoot ? nullptr : Node->Parent, Node, initStates);
    if (initStates.Contains(ivsDisabled)) Node->States.Include(vsDisabled);
    if (initStates.Contains(ivsHasChildren)) Node->States.Include(vsHasChildren);
    if (initStates.Contains(ivsSelected)) mergeNodeIntoSelection(Node, false);
    if (initStates.Contains(ivsMultiline)) Node->States.Include(vsMultiline);
    if (initStates.Contains(ivsFiltered)) {
        const bool wasFiltered = Node->States.Contains(vsFiltered);
        Node->States.Include(vsFiltered);
        if (!(reInit && wasFiltered) &&
            !TreeOptions()->PaintOptions().Contains(toShowFilteredNodes)) {
            ChangeTotalHeight(Node, -int(Node->NodeHeight), true);
            if (FullyVisible(Node)) --FVisibleCount;
            if (FUpdateCount == 0) UpdateScrollBars(true);
        }
    }
    if (Node->States.Contains(vsExpanded) != initStates.Contains(ivsExpanded)) {
        if (initStates.Contains(ivsExpanded))
            ToggleNode(Node);
        else if (Node->States.Contains(vsHasChildren))
            InitChildren(Node);
    }
}

void TBaseLazyTree::InitChildren(PLazyNode Node) {
    if (!Node || Node == FRoot || !Node->States.Contains(vsHasChildren)) return;
    std::uint32_t count = Node->ChildCount;
    if (FireInitChildren(Node, count)) {
        SetChildCount(Node, count);
        if (count == 0) Node->States.Exclude(vsHasChildren);
    }
}

void TBaseLazyTree::initIfNeeded(PLazyNode Node) {
    if (Node && Node != FRoot && !Node->States.Contains(vsInitialized)) InitNode(Node);
}

void TBaseLazyTree::ensureChildrenCounted(PLazyNode Node) {
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
}

void TBaseLazyTree::FireInitNode(PLazyNode ParentNode, PLazyNode Node,
                                 TLazyNodeInitStates& InitStates) {
    if (OnInitNode) OnInitNode(this, ParentNode, Node, InitStates);
}

bool TBaseLazyTree::FireInitChildren(PLazyNode Node, std::uint32_t& ChildCount) {
    if (!OnInitChildren) return false;
    OnInitChildren(this, Node, ChildCount);
    return true;
}

void TBaseLazyTree::FireGetNodeDataSize(int& Size) {
    if (OnGetNodeDataSize) OnGetNodeDataSize(this, Size);
}

void TBaseLazyTree::FireMeasureItem(TCanvas* Canvas, PLazyNode Node, int& Height) {
    initIfNeeded(Node);
    if (OnMeasureItem) OnMeasureItem(this, Canvas, Node, Height);
}

void TBaseLazyTree::FireResetNode(PLazyNode Node) {
    if (OnResetNode) OnResetNode(this, Node);
}

void TBaseLazyTree::ValidateNode(PLazyNode Node, bool Recursive) {
    if (!Node)
        Node = FRoot;
    else
        initIfNeeded(Node);
    if (!Recursive) return;
    ensureChildrenCounted(Node);
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
        ValidateNode(child, true);
}

void TBaseLazyTree::ValidateChildren(PLazyNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    ensureChildrenCounted(Node);
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        initIfNeeded(child);
        if (Recursive) ValidateChildren(child, true);
    }
}

void TBaseLazyTree::InitRecursive(PLazyNode Node, std::uint32_t Levels, bool pVisibleOnly) {
    if (!Node)
        Node = FRoot;
    else
        initIfNeeded(Node);
    if (Levels == 0 || (pVisibleOnly && !Node->States.Contains(vsExpanded))) return;
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
        InitRecursive(child, Levels - 1, pVisibleOnly);
}

void TBaseLazyTree::ReinitNode(PLazyNode Node, bool Recursive) {
    if (Node && Node != FRoot) {
        Node->States -= TLazyNodeStates{vsChecking, vsCutOrCopy, vsDeleting, vsHeightMeasured};
        if (Node->States.Contains(vsInitialized)) InitNode(Node);
    }
    if (Recursive) ReinitChildren(Node, true);
}

void TBaseLazyTree::ReinitChildren(PLazyNode Node, bool Recursive) {
    if (!Node)
        Node = FRoot;
    else
        InitChildren(Node);
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
        ReinitNode(child, Recursive);
}

void TBaseLazyTree::ResetNode(PLazyNode Node) {
    if (!Node || Node == FRoot) {
        Clear();
        return;
    }
    FireResetNode(Node);
    DeleteChildren(Node, false);
    // A collapsed node shows no children; its own row keeps its height.
    if (Node->States.Contains(vsExpanded)) ToggleNode(Node);
    Node->States -= TLazyNodeStates{vsInitialized, vsChecking,    vsCutOrCopy,     vsDeleting,
                                    vsExpanded,    vsHasChildren, vsHeightMeasured};
    InvalidateWhenShown();
}

// --- deletion ---------------------------------------------------------------------------------

void TBaseLazyTree::DeleteNodeEx(PLazyNode Node, bool Reindex, bool ParentClearing) {
    if (!Node || Node == FRoot || TreeOptions()->MiscOptions().Contains(toReadOnly)) return;
    if (FStates.Contains(tsIterating))
        throw EAssertionFailed("Deleting nodes during tree iteration leads to invalid pointers.");
    PLazyNode parent = Node->Parent;
    if (!ParentClearing) ReportStructureChange(parent == FRoot ? nullptr : parent, crChildDeleted);
    if (Node->States.Contains(vsSelected)) {
        if (FUpdateCount == 0) {
            const bool synch = FStates.Contains(tsSynchMode);
            if (!synch) ChangeTreeStates({tsSynchMode}, {});
            ScopeExit leave{[this, synch] {
                if (!synch) ChangeTreeStates({}, {tsSynchMode});
            }};
            RemoveFromSelection(Node);
        } else {
            MarkNodeUnselected(Node);
        }
    }
    if (FStates.Contains(tsHint)) ChangeTreeStates({}, {tsHint});
    if (!ParentClearing) StopCacheValidation();
    DeleteChildren(Node, false);
    DisconnectNode(Node, false, Reindex, false);
    FreeNode(Node);
    if (!ParentClearing) {
        UpdateHiddenChildrenFlag(parent);
        MarkCacheInvalid();
        if (FUpdateCount == 0) {
            StartCacheValidation();
            UpdateScrollBars(true);
            InvalidateWhenShown();
        }
    }
}

void TBaseLazyTree::DisconnectNode(PLazyNode Node, bool KeepFocus, bool Reindex,
                                   bool ParentClearing) {
    if (!Node || Node == FRoot)
        throw EAssertionFailed("Node must neither be nil nor the root node.");
    if (Node == FFocusedNode && !KeepFocus) {
        ApplyFocusedNode(nullptr, false);
        FireFocusChanged(nullptr, FFocusedColumn);
    }
    if (Node == FRangeAnchor) ClearRangeAnchor();
    PLazyNode parent = Node->Parent;
    if (parent != FRoot && !ParentClearing) {
        if (FUpdateCount > 0) {
            if (!FStates.Contains(tsUpdateHiddenChildrenNeeded))
                ChangeTreeStates({tsUpdateHiddenChildrenNeeded}, {});
        } else
            UpdateHiddenChildrenFlag(parent);
    }
    if (Node->States.Contains(vsDeleting)) return;
    Node->States.Exclude(vsChecking);
    const bool parentShows =
        parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible);
    const bool wasFullyVisible = FullyVisible(Node);
    const std::uint32_t shown =
        wasFullyVisible ? CountShownChildren(Node) + (GetEffectivelyVisible(Node) ? 1 : 0) : 0;
    --parent->ChildCount;
    if (parent->ChildCount == 0) {
        parent->States -= TLazyNodeStates{vsHasChildren, vsAllChildrenHidden};
        if (parent != FRoot) parent->States.Exclude(vsExpanded);
    }
    ChangeTotalCount(parent, -int(Node->TotalCount), true);
    if (parentShows) ChangeTotalHeight(parent, -int(Node->TotalHeight), true);
    FVisibleCount -= shown;
    if (Node->PrevSibling)
        Node->PrevSibling->NextSibling = Node->NextSibling;
    else
        parent->FirstChild = Node->NextSibling;
    if (Node->NextSibling) {
        Node->NextSibling->PrevSibling = Node->PrevSibling;
        if (Reindex) {
            std::uint32_t index = Node->Index;
            for (PLazyNode n = Node->NextSibling; n; n = n->NextSibling) n->Index = index++;
        }
    } else {
        parent->LastChild = Node->PrevSibling;
    }
    Node->PrevSibling = Node->NextSibling = nullptr;
}

void TBaseLazyTree::clearReferences(PLazyNode Node) {
    if (FLastChangedNode == Node) FLastChangedNode = nullptr;
    if (FLastStructureChangeNode == Node) FLastStructureChangeNode = nullptr;
    if (FCurrentHotNode == Node) FCurrentHotNode = nullptr;
    if (FCheckNode == Node) FCheckNode = nullptr;
    if (FLastSearchNode == Node) FLastSearchNode = nullptr;
    if (FHeightTrackNode == Node) FHeightTrackNode = nullptr;
    if (FNextNodeToSelect == Node)
        FNextNodeToSelect = Node->Parent == FRoot ? nullptr : Node->Parent;
    // Nodes freed with their parent were never disconnected one by one.
    if (FFocusedNode == Node) FFocusedNode = nullptr;
    if (FRangeAnchor == Node) FRangeAnchor = nullptr;
}

void TBaseLazyTree::FreeNode(PLazyNode Node) {
    clearReferences(Node);
    AccessibleNodeGone(Node);
    if (OnFreeNode &&
        (Node->States.Contains(vsInitialized) || Node->States.Contains(vsOnFreeNodeCallRequired)))
        OnFreeNode(this, Node);
    if (Node->States.Contains(vsReleaseCallOnUserDataRequired)) {
        IInterface* intf = nullptr;
        std::memcpy(&intf, Node->Data(), sizeof intf);
        if (intf) intf->_Release();
    }
    freeNodeBlock(Node);
    if (FUpdateCount == 0 && !FDestroying) EnsureNodeSelected();
}

void TBaseLazyTree::DeleteChildren(PLazyNode Node, bool ResetHasChildren) {
    if (!Node) return;
    if (!Node->FirstChild || TreeOptions()->MiscOptions().Contains(toReadOnly)) {
        if (ResetHasChildren) Node->States.Exclude(vsHasChildren);
        return;
    }
    if (FStates.Contains(tsIterating))
        throw EAssertionFailed("Deleting nodes during tree iteration leads to invalid pointers.");
    ++FUpdateCount;
    {
        ScopeExit lower{[this] { --FUpdateCount; }};
        StopCacheValidation();
        const bool shown =
            Node == FRoot || (FullyVisible(Node) && Node->States.Contains(vsExpanded));
        for (PLazyNode child = Node->LastChild; child;) {
            PLazyNode previous = child->PrevSibling;
            if (shown && GetEffectivelyVisible(child)) --FVisibleCount;
            child->States.Include(vsDeleting);
            if (previous) previous->NextSibling = nullptr;
            Node->LastChild = previous;
            DeleteNodeEx(child, false, true);
            child = previous;
        }
        if (ResetHasChildren) Node->States.Exclude(vsHasChildren);
        if (Node != FRoot) Node->States.Exclude(vsExpanded);
        Node->ChildCount = 0;
        if (Node == FRoot || Node->States.Contains(vsDeleting)) {
            Node->TotalCount = 1;
            Node->TotalHeight = Node->NodeHeight;
        } else {
            ChangeTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
            ChangeTotalCount(Node, 1, false);
        }
        Node->FirstChild = Node->LastChild = nullptr;
    }
    MarkCacheInvalid();
    if (FUpdateCount == 0) {
        CompactSelection();
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateWhenShown();
        if (FStates.Contains(tsChangePending)) FireChange(FLastChangedNode);
    }
    ReportStructureChange(Node, crChildDeleted);
}

void TBaseLazyTree::Clear() {
    if (!((FRoot->FirstChild && !TreeOptions()->MiscOptions().Contains(toReadOnly)) || FDestroying))
        return;
    BeginUpdate();
    ScopeExit end{[this] { EndUpdate(); }};
    StopCacheValidation();
    if (FStates.Contains(tsCopyPending) || FStates.Contains(tsCutPending))
        ChangeTreeStates({}, {tsCopyPending, tsCutPending});
    ClearSelection();
    FFocusedNode = nullptr;
    FRangeAnchor = nullptr;
    FCurrentHotNode = nullptr;
    FCheckNode = nullptr;
    FLastSearchNode = nullptr;
    FHeightTrackNode = nullptr;
    FNextNodeToSelect = nullptr;
    FLastChangedNode = nullptr;
    DeleteChildren(FRoot, true);
    FSelection.clear();
    FSelectionCount = 0;
}

void TBaseLazyTree::DeleteSelectedNodes() {
    if (FSelectionCount == 0 || TreeOptions()->MiscOptions().Contains(toReadOnly)) return;
    BeginUpdate();
    ScopeExit end{[this] { EndUpdate(); }};
    // Selected nodes in tree order, without selected descendants of selected nodes.
    TNodeArray nodes;
    for (PLazyNode n = GetFirstNoInit(); n;) {
        if (n->States.Contains(vsSelected)) {
            nodes.push_back(n);
            PLazyNode next = n;
            while (next && next != FRoot && !next->NextSibling) next = next->Parent;
            n = next && next != FRoot ? next->NextSibling : nullptr;
        } else {
            n = GetNextNoInit(n);
        }
    }
    for (std::size_t i = nodes.size(); i-- > 1;)
        DeleteNodeEx(nodes[i], nodes[i]->Parent != nodes[i - 1]->Parent, false);
    if (!nodes.empty()) DeleteNodeEx(nodes[0], true, false);
}

// --- node properties --------------------------------------------------------------------------

bool TBaseLazyTree::Disabled(PLazyNode Node) const {
    return Node && Node->States.Contains(vsDisabled);
}

void TBaseLazyTree::SetDisabled(PLazyNode Node, bool Value) {
    if (!Node || Value == Disabled(Node)) return;
    if (Value)
        Node->States.Include(vsDisabled);
    else
        Node->States.Exclude(vsDisabled);
    if (FUpdateCount == 0) InvalidateWhenShown();
}

bool TBaseLazyTree::Multiline(PLazyNode Node) const {
    return Node && Node != FRoot && Node->States.Contains(vsMultiline);
}

void TBaseLazyTree::SetMultiline(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot || Value == Multiline(Node)) return;
    if (Value)
        Node->States.Include(vsMultiline);
    else
        Node->States.Exclude(vsMultiline);
    if (FUpdateCount == 0) InvalidateWhenShown();
}

std::uint32_t TBaseLazyTree::NodeHeight(PLazyNode Node) {
    if (!Node || Node == FRoot) return 0;
    if (TreeOptions()->MiscOptions().Contains(toVariableNodeHeight) &&
        !Node->States.Contains(vsHeightMeasured)) {
        initIfNeeded(Node);
        MeasureItemHeight(Canvas(), Node);
    }
    return Node->NodeHeight;
}

void TBaseLazyTree::SetNodeHeight(PLazyNode Node, std::uint32_t Value) {
    if (!Node || Node == FRoot || Node->NodeHeight == Value ||
        TreeOptions()->MiscOptions().Contains(toReadOnly))
        return;
    const int difference = int(Value) - int(Node->NodeHeight);
    Node->NodeHeight = std::uint16_t(Value);
    if (GetEffectivelyFiltered(Node)) return;
    ChangeTotalHeight(Node, difference, true);
    MarkCacheInvalid();
    if (!FStates.Contains(tsValidating) && FullyVisible(Node) && FUpdateCount == 0 &&
        !FStates.Contains(tsPainting) && !FStates.Contains(tsSizing)) {
        StartCacheValidation();
        InvalidateWhenShown();
        UpdateScrollBars(true);
    }
}

void TBaseLazyTree::SetVerticalAlignment(PLazyNode Node, std::uint8_t Value) {
    if (!Node) return;
    if (Value > 100) Value = 100;
    if (Node->Align == Value) return;
    Node->Align = Value;
    if (FullyVisible(Node) && !GetEffectivelyFiltered(Node)) InvalidateWhenShown();
}

PLazyNode TBaseLazyTree::NodeParent(PLazyNode Node) const {
    return Node && Node->Parent != FRoot ? Node->Parent : nullptr;
}

void TBaseLazyTree::MeasureItemHeight(TCanvas* Canvas, PLazyNode Node) {
    if (Node->States.Contains(vsHeightMeasured)) return;
    auto measure = [this, Canvas, Node] {
        Node->States.Include(vsHeightMeasured);
        if (TreeOptions()->MiscOptions().Contains(toVariableNodeHeight)) {
            int height = Node->NodeHeight;
            FireMeasureItem(Canvas, Node, height);
            SetNodeHeight(Node, std::uint32_t(height < 0 ? 0 : height));
        }
    };
    TThread::Synchronize(nullptr, measure);
}

// --- expanding, hiding, filtering, selecting ------------------------------------------------

bool TBaseLazyTree::GetEffectivelyFiltered(PLazyNode Node) const {
    return Node && Node->States.Contains(vsFiltered) &&
           !TreeOptions()->PaintOptions().Contains(toShowFilteredNodes);
}

bool TBaseLazyTree::GetEffectivelyVisible(PLazyNode Node) const {
    return Node->States.Contains(vsVisible) && !GetEffectivelyFiltered(Node);
}

bool TBaseLazyTree::FullyVisible(PLazyNode Node) const {
    if (!Node) throw EAssertionFailed("Invalid parameter.");
    if (!Node->States.Contains(vsVisible)) return false;
    for (PLazyNode p = Node == FRoot ? FRoot : Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.Contains(vsExpanded) || !p->States.Contains(vsVisible)) return false;
    return true;
}

void TBaseLazyTree::SetExpanded(PLazyNode Node, bool Value) {
    if (Node && Node != FRoot && Value != Node->States.Contains(vsExpanded)) ToggleNode(Node);
}

void TBaseLazyTree::ToggleNode(PLazyNode Node) {
    if (!Node) throw EAssertionFailed("Node must not be nil.");
    if (Node->States.Contains(vsDeleting) || Node->States.Contains(vsToggling)) return;
    const bool wasToggling = FStates.Contains(tsToggling);
    ChangeTreeStates({tsToggling}, {});
    Node->States.Include(vsToggling);
    ScopeExit done{[this, Node, wasToggling] {
        Node->States.Exclude(vsToggling);
        if (!wasToggling) ChangeTreeStates({}, {tsToggling});
    }};
    if (Node->States.Contains(vsExpanded)) {
        if (!FireCollapsing(Node)) return;
        StopCacheValidation();
        animateCollapse(Node, int(Node->NodeHeight) - int(Node->TotalHeight));
        ChangeTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
        if (FullyVisible(Node)) FVisibleCount -= CountShownChildren(Node);
        Node->States.Exclude(vsExpanded);
        FireCollapsed(Node);
        if (TreeOptions()->AutoOptions().Contains(toAutoFreeOnCollapse) && Node->ChildCount > 0) {
            DeleteChildren(Node, false);
            Node->States.Include(vsHasChildren);
        }
    } else {
        if (!FireExpanding(Node)) return;
        StopCacheValidation();
        initIfNeeded(Node);
        ensureChildrenCounted(Node);
        int delta = 0;
        for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
            if (child->States.Contains(vsVisible)) {
                MeasureItemHeight(Canvas(), child);
                delta += int(child->TotalHeight);
            }
        if (Node->FirstChild) animateExpand(Node, delta);
        autoSort(Node, false);
        Node->States.Include(vsExpanded);
        ChangeTotalHeight(Node, delta, true);
        if (FullyVisible(Node)) FVisibleCount += CountShownChildren(Node);
        FireExpanded(Node);
    }
    MarkCacheInvalid();
    if (FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateWhenShown();
    }
}

bool TBaseLazyTree::FireExpanding(PLazyNode Node) {
    bool allowed = true;
    if (OnExpanding) OnExpanding(this, Node, allowed);
    return allowed;
}

bool TBaseLazyTree::FireCollapsing(PLazyNode Node) {
    bool allowed = true;
    if (OnCollapsing) OnCollapsing(this, Node, allowed);
    return allowed;
}

void TBaseLazyTree::FireExpanded(PLazyNode Node) {
    if (OnExpanded) OnExpanded(this, Node);
}

void TBaseLazyTree::FireCollapsed(PLazyNode Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
    if (!TreeOptions()->SelectionOptions().Contains(toAlwaysSelectNode)) return;
    // A selection hidden by the collapse moves to the nearest ancestor still in view.
    PLazyNode first = GetFirstSelected();
    if (first && !FullyVisible(first)) {
        PLazyNode shown = GetVisibleParent(first, false);
        RemoveFromSelection(first);
        if (shown && shown != FRoot) AddToSelection(shown);
    }
    if (FSelectionCount == 0) EnsureNodeSelected();
}

void TBaseLazyTree::SetFullyVisible(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot) throw EAssertionFailed("Invalid parameter");
    SetVisible(Node, Value);
    if (!Value) return;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent) {
        if (!p->States.Contains(vsExpanded)) ToggleNode(p);
        if (!p->States.Contains(vsVisible)) SetVisible(p, true);
    }
}

bool TBaseLazyTree::VisiblePath(PLazyNode Node) const {
    if (!Node || Node == FRoot) throw EAssertionFailed("Invalid parameters.");
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.Contains(vsExpanded) || !p->States.Contains(vsVisible)) return false;
    return true;
}

void TBaseLazyTree::SetVisiblePath(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot) throw EAssertionFailed("Invalid parameter.");
    if (!Value) return;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.Contains(vsExpanded)) ToggleNode(p);
}

void TBaseLazyTree::FullExpand(PLazyNode Node) {
    if (FRoot->TotalCount < 2) return;
    ChangeTreeStates({tsExpanding}, {});
    StartOperation(okExpand);
    BeginUpdate();
    ScopeExit done{[this] {
        EndOperation(okExpand);
        EndUpdate();
        ChangeTreeStates({}, {tsExpanding});
    }};
    PLazyNode stop = nullptr;
    if (!Node || Node == FRoot) {
        Node = GetFirst();
    } else {
        for (PLazyNode p = Node; p && p != FRoot && !stop; p = p->Parent) stop = p->NextSibling;
        initIfNeeded(Node);
    }
    while (Node && Node != stop && !OperationCanceled()) {
        if (!Node->States.Contains(vsExpanded)) ToggleNode(Node);
        Node = GetNext(Node, false);
    }
}

void TBaseLazyTree::FullCollapse(PLazyNode Node) {
    if (FRoot->TotalCount < 2) return;
    if (Node == FRoot) Node = nullptr;
    ChangeTreeStates({tsCollapsing}, {});
    BeginUpdate();
    ScopeExit done{[this] {
        EndUpdate();
        ChangeTreeStates({}, {tsCollapsing});
    }};
    // Every node of the subtree, in reverse tree order, so children close before parents.
    PLazyNode stop = Node;
    if (!stop) stop = FRoot;
    PLazyNode n = lastDescendant(stop, false);
    while (n && n != stop) {
        PLazyNode prev = GetPreviousNoInit(n, false);
        if (n->States.Contains(vsExpanded) && n->States.Contains(vsHasChildren)) ToggleNode(n);
        n = prev ? prev : nullptr;
        if (n == FRoot) break;
    }
    if (Node && Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren))
        ToggleNode(Node);
}

bool TBaseLazyTree::Visible(PLazyNode Node) {
    if (!Node) Node = FRoot;
    initIfNeeded(Node);
    return Node->States.Contains(vsVisible);
}

void TBaseLazyTree::SetVisible(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot) throw EAssertionFailed("Invalid parameter.");
    if (Value == Node->States.Contains(vsVisible)) return;
    StopCacheValidation();
    PLazyNode parent = Node->Parent;
    const std::uint32_t before = FVisibleCount;
    auto visiblePath = [this, Node] {
        for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
            if (!p->States.Contains(vsExpanded) || !p->States.Contains(vsVisible)) return false;
        return true;
    };
    if (Value) {
        Node->States.Include(vsVisible);
        if (parent->States.Contains(vsExpanded))
            ChangeTotalHeight(parent, int(Node->TotalHeight), true);
        if (visiblePath())
            FVisibleCount += CountShownChildren(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
        if (!GetEffectivelyFiltered(Node)) parent->States.Exclude(vsAllChildrenHidden);
    } else {
        if (parent->States.Contains(vsExpanded))
            ChangeTotalHeight(parent, -int(Node->TotalHeight), true);
        if (visiblePath())
            FVisibleCount -= CountShownChildren(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
        Node->States.Exclude(vsVisible);
        if (FUpdateCount > 0)
            ChangeTreeStates({tsUpdateHiddenChildrenNeeded}, {});
        else
            UpdateHiddenChildrenFlag(parent);
    }
    MarkCacheInvalid();
    if (FVisibleCount != before && FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateWhenShown();
    }
}

void TBaseLazyTree::SetFiltered(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot) throw EAssertionFailed("Invalid parameter.");
    initIfNeeded(Node);
    if (Value == Node->States.Contains(vsFiltered)) return;
    StopCacheValidation();
    const std::uint32_t before = FVisibleCount;
    const bool showFiltered = TreeOptions()->PaintOptions().Contains(toShowFilteredNodes);
    if (Value) {
        Node->States.Include(vsFiltered);
        if (!showFiltered) {
            if (Node->States.Contains(vsInitializing) && !Node->States.Contains(vsHasChildren))
                ChangeTotalHeight(Node, 0, false);
            else
                ChangeTotalHeight(Node, -int(Node->NodeHeight), true);
            if (FullyVisible(Node)) --FVisibleCount;
        }
        if (FUpdateCount > 0)
            ChangeTreeStates({tsUpdateHiddenChildrenNeeded}, {});
        else
            UpdateHiddenChildrenFlag(Node->Parent);
    } else {
        Node->States.Exclude(vsFiltered);
        if (!showFiltered) {
            ChangeTotalHeight(Node, int(Node->NodeHeight), true);
            if (FullyVisible(Node)) ++FVisibleCount;
        }
        if (Node->States.Contains(vsVisible)) Node->Parent->States.Exclude(vsAllChildrenHidden);
    }
    MarkCacheInvalid();
    if (FVisibleCount != before && FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateWhenShown();
    }
}

// --- bookkeeping ------------------------------------------------------------------------------

void TBaseLazyTree::ChangeTotalCount(PLazyNode Node, int Value, bool Relative) {
    if (!Relative) Value -= int(Node->TotalCount);
    if (Value == 0) return;
    for (PLazyNode n = Node;; n = n->Parent) {
        addSigned(n->TotalCount, Value);
        if (n == FRoot) break;
    }
}

void TBaseLazyTree::ChangeTotalHeight(PLazyNode Node, int Value, bool Relative) {
    if (FCacheQueued) StopCacheValidation();
    if (!Relative) Value -= int(Node->TotalHeight);
    if (Value == 0) return;
    addSigned(Node->TotalHeight, Value);
    for (PLazyNode n = Node; n->States.Contains(vsVisible) && n != FRoot && n->Parent &&
                             n->Parent->States.Contains(vsExpanded);) {
        n = n->Parent;
        addSigned(n->TotalHeight, Value);
    }
}

void TBaseLazyTree::RecountSubtree(PLazyNode Node) {
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        RecountSubtree(child);
        Node->TotalCount += child->TotalCount;
    }
}

void TBaseLazyTree::RemeasureSubtreeHeight(PLazyNode Node) {
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        RemeasureSubtreeHeight(child);
        if (Node->States.Contains(vsExpanded) && child->States.Contains(vsVisible))
            Node->TotalHeight += child->TotalHeight;
    }
}

std::uint32_t TBaseLazyTree::CountShownChildren(PLazyNode Node) const {
    if (!Node->States.Contains(vsExpanded)) return 0;
    std::uint32_t count = 0;
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
        if (child->States.Contains(vsVisible))
            count += CountShownChildren(child) + (GetEffectivelyFiltered(child) ? 0 : 1);
    return count;
}

void TBaseLazyTree::UpdateHiddenChildrenFlag(PLazyNode Node) {
    if (!Node) return;
    bool allHidden;
    if (Node->FirstChild) {
        allHidden = true;
        for (PLazyNode child = Node->FirstChild; child && allHidden; child = child->NextSibling)
            if (GetEffectivelyVisible(child)) allHidden = false;
    } else {
        allHidden = !Node->States.Contains(vsHasChildren);
    }
    if (allHidden)
        Node->States.Include(vsAllChildrenHidden);
    else
        Node->States.Exclude(vsAllChildrenHidden);
}

void TBaseLazyTree::UpdateHiddenChildrenFlagAllNodes() {
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n)) UpdateHiddenChildrenFlag(n);
}

int TBaseLazyTree::RangeY() const {
    return int(FRoot->TotalHeight) - int(FRoot->NodeHeight) + int(FBottomSpace);
}
