// Change notification: the tree-state set, the pending node and structure changes, the update
// and synchronous brackets, and counted long operations.
#include "treeview/LazyTree.h"

#include "platform/base/Threads.h"
#include "platform/ui/core/Timers.h"

#include <exception>

namespace {

// Window timers of the tree.
constexpr std::uintptr_t ExpandTimer = 1;
constexpr std::uintptr_t EditTimer = 2;
constexpr std::uintptr_t HeaderTimer = 3;
constexpr std::uintptr_t ScrollTimer = 4;
constexpr std::uintptr_t ChangeTimer = 5;
constexpr std::uintptr_t StructureChangeTimer = 6;
constexpr std::uintptr_t SearchTimer = 7;

} // namespace

void TBaseLazyTree::ChangeTreeStates(TLazyTreeStates Enter, TLazyTreeStates Leave) {
    if (OnStateChange && !((Enter - FStates) + (FStates * Leave)).Empty())
        OnStateChange(this, Enter, Leave);
    FStates = (FStates + Enter) - Leave;
}

void TBaseLazyTree::killTreeTimer(std::uintptr_t Id) {
    if (HandleAllocated()) KillTimer(Handle(), Id);
}

void TBaseLazyTree::AddPendingChange(bool IsStructureChange, PLazyNode Node, TChangeReason Reason) {
    if (IsStructureChange) {
        if (FStates.Contains(tsStructureChangePending))
            killTreeTimer(StructureChangeTimer);
        else
            ChangeTreeStates({tsStructureChangePending}, {});
        FLastStructureChangeNode = Node;
        if (FLastStructureChangeReason == crIgnore)
            FLastStructureChangeReason = Reason;
        else if (Reason != crIgnore)
            FLastStructureChangeReason = crAccumulated;
    } else {
        if (FStates.Contains(tsChangePending))
            killTreeTimer(ChangeTimer);
        else
            ChangeTreeStates({tsChangePending}, {});
        FLastChangedNode = Node;
    }
}

void TBaseLazyTree::ReportChange(PLazyNode Node) {
    AddPendingChange(false, Node, crIgnore);
    if (FUpdateCount > 0) return;
    if (FChangeDelay > 0 && HandleAllocated() && !FStates.Contains(tsSynchMode))
        SetTimer(Handle(), ChangeTimer, FChangeDelay);
    else
        FireChange(Node);
}

void TBaseLazyTree::ReportStructureChange(PLazyNode Node, TChangeReason Reason) {
    AddPendingChange(true, Node, Reason);
    if (FUpdateCount > 0) return;
    if (FChangeDelay > 0 && HandleAllocated() && !FStates.Contains(tsSynchMode))
        SetTimer(Handle(), StructureChangeTimer, FChangeDelay);
    else
        FireStructureChange(Node, Reason);
}

void TBaseLazyTree::FireChange(PLazyNode Node) {
    killTreeTimer(ChangeTimer);
    if (OnChange) OnChange(this, Node);
    ChangeTreeStates({}, {tsChangePending});
    FLastChangedNode = nullptr;
}

void TBaseLazyTree::FireStructureChange(PLazyNode Node, TChangeReason Reason) {
    killTreeTimer(StructureChangeTimer);
    if (OnStructureChange) OnStructureChange(this, Node, Reason);
    ChangeTreeStates({}, {tsStructureChangePending});
    FLastStructureChangeNode = nullptr;
    FLastStructureChangeReason = crIgnore;
}

void TBaseLazyTree::FireUpdating(TLTUpdateState State) {
    if (OnUpdating) OnUpdating(this, State);
}

void TBaseLazyTree::WMTimer(TWMTimer& Message) {
    switch (Message.TimerID()) {
    case ChangeTimer:
        killTreeTimer(ChangeTimer);
        if (FStates.Contains(tsChangePending)) FireChange(FLastChangedNode);
        break;
    case SearchTimer:
        ResetIncrementalSearch();
        break;
    case ExpandTimer:
        ExpandDropTarget();
        break;
    case ScrollTimer:
        AutoScrollTimer();
        break;
    case EditTimer:
        StartNodeEdit();
        break;
    case StructureChangeTimer:
        killTreeTimer(StructureChangeTimer);
        if (FStates.Contains(tsStructureChangePending))
            FireStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        break;
    default:
        if (!themeTimer(Message.TimerID())) TCustomControl::WMTimer(Message);
    }
}

void TBaseLazyTree::BeginUpdate() {
    if (!TThread::IsMainThread())
        throw EAssertionFailed("UI controls like " + ClassName() +
                               " should only be manipulated through the main thread.");
    if (!FDestroying) FireUpdating(FUpdateCount == 0 ? usBegin : usUpdate);
    ++FUpdateCount;
    ChangeTreeStates({tsUpdating}, {});
}

void TBaseLazyTree::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FDestroying) return;
    if (FUpdateCount == 0 && FStates.Contains(tsUpdating)) {
        CompactSelection();
        if (FStates.Contains(tsUpdateHiddenChildrenNeeded)) {
            UpdateHiddenChildrenFlagAllNodes();
            ChangeTreeStates({}, {tsUpdateHiddenChildrenNeeded});
        }
        ChangeTreeStates({}, {tsUpdating});
        MarkCacheInvalid();
        StartCacheValidation();
        if (HandleAllocated()) UpdateScrollBars(false);
        if (FStates.Contains(tsStructureChangePending))
            FireStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        // A failing change handler still leaves the tree sorted and repainted.
        std::exception_ptr failure;
        try {
            if (FStates.Contains(tsChangePending)) FireChange(FLastChangedNode);
        } catch (...) {
            failure = std::current_exception();
        }
        if (autoSortWanted()) SortTree(FHeader->SortColumn(), FHeader->SortDirection(), true);
        InvalidateWhenShown();
        ReportDesignerModified();
        if (failure) std::rethrow_exception(failure);
    }
    FireUpdating(FUpdateCount > 0 ? usUpdate : usEnd);
    if (FUpdateCount == 0) EnsureNodeSelected();
}

void TBaseLazyTree::BeginSynch() {
    if (!FDestroying) {
        if (FSynchUpdateCount > 0) {
            FireUpdating(usSynch);
        } else {
            FireUpdating(usBeginSynch);
            for (std::uintptr_t id : {ChangeTimer, StructureChangeTimer, ExpandTimer, EditTimer,
                                      HeaderTimer, ScrollTimer, SearchTimer})
                killTreeTimer(id);
            ChangeTreeStates({},
                             {tsEditPending, tsIncrementalSearching, tsScrolling, tsScrollPending});
            if (FStates.Contains(tsStructureChangePending))
                FireStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            if (FStates.Contains(tsChangePending)) FireChange(FLastChangedNode);
        }
    }
    ++FSynchUpdateCount;
    ChangeTreeStates({tsSynchMode}, {});
}

void TBaseLazyTree::EndSynch() {
    if (FSynchUpdateCount > 0) --FSynchUpdateCount;
    if (FDestroying) return;
    if (FSynchUpdateCount > 0) {
        FireUpdating(usSynch);
    } else {
        ChangeTreeStates({}, {tsSynchMode});
        FireUpdating(usEndSynch);
    }
}

void TBaseLazyTree::StartOperation(TLTOperationKind Kind) {
    ++FOperationCount;
    FireStartOperation(Kind);
    if (FOperationCount == 1) FOperationCanceled = false;
}

void TBaseLazyTree::EndOperation(TLTOperationKind Kind) {
    if (FOperationCount == 0)
        throw EAssertionFailed("EndOperation must not be called when no operation in progress.");
    --FOperationCount;
    FireEndOperation(Kind);
}

void TBaseLazyTree::FireStartOperation(TLTOperationKind Kind) {
    if (OnStartOperation) OnStartOperation(this, Kind);
}

void TBaseLazyTree::FireEndOperation(TLTOperationKind Kind) {
    if (OnEndOperation) OnEndOperation(this, Kind);
}

void TBaseLazyTree::CancelOperation() {
    if (FOperationCount > 0) FOperationCanceled = true;
}
