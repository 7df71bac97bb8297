// Dragging nodes out of a tree and dropping data on it: the drag manager's registration, the
// drag started from the mouse or from code, the drop target's handlers with the drop target
// node, the drop mode and the suggested effect, and the insertion of dropped tree data.
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {
constexpr std::uintptr_t ExpandTimer = 1;
constexpr std::uintptr_t ScrollTimer = 4;
// The platform's distance a pressed mouse must move before it counts as a drag.
constexpr int SystemDragThreshold = 5;

std::set<const TBaseLazyTree*>& liveTrees() {
    static std::set<const TBaseLazyTree*> trees;
    return trees;
}

bool isLabelHit(const THitInfo& Hit) {
    return Hit.HitPositions.Contains(hiOnItemLabel) || Hit.HitPositions.Contains(hiOnNormalIcon) ||
           Hit.HitPositions.Contains(hiOnStateIcon);
}

TShiftState keyShift(DWORD KeyState) {
    TShiftState s;
    if (KeyState & MK_SHIFT) s.Include(ssShift);
    if (KeyState & MK_CONTROL) s.Include(ssCtrl);
    if (KeyState & MK_ALT) s.Include(ssAlt);
    return s;
}
} // namespace

void TrackTree(const TBaseLazyTree* Tree, bool Alive) {
    if (Alive)
        liveTrees().insert(Tree);
    else
        liveTrees().erase(Tree);
}

// --- the drag manager and the window's drop target --------------------------------------------

std::shared_ptr<ILTDragManager> TBaseLazyTree::DragManager() {
    if (!FDragManager) {
        if (OnCreateDragManager) OnCreateDragManager(this, FDragManager);
        if (!FDragManager) FDragManager = std::make_shared<TLTDragManager>(this);
    }
    return FDragManager;
}

void TBaseLazyTree::UpdateDropTargetRegistration() {
    const bool wanted = HandleAllocated() && !IsDesigning() && !FDestroying &&
                        TreeOptions()->MiscOptions().Contains(toAcceptOLEDrop);
    if (wanted == FDropTargetRegistered) return;
    if (wanted) {
        auto target = std::dynamic_pointer_cast<IDropTarget>(DragManager());
        FDropTargetRegistered = target && RegisterDragDrop(Handle(), target) == S_OK;
    } else {
        if (HandleAllocated()) RevokeDragDrop(Handle());
        FDropTargetRegistered = false;
    }
}

void TBaseLazyTree::DestroyWnd() {
    if (FDropTargetRegistered && HandleAllocated()) RevokeDragDrop(Handle());
    FDropTargetRegistered = false;
    TCustomControl::DestroyWnd();
}

TBaseLazyTree* TBaseLazyTree::TreeFromDataObject(const std::shared_ptr<IDataObject>& DataObject) {
    if (!DataObject) return nullptr;
    FORMATETC request;
    request.cfFormat = LazyTreeReferenceFormat;
    request.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
    STGMEDIUM medium;
    if (DataObject->GetData(request, medium) != S_OK) return nullptr;
    TBaseLazyTree* result = nullptr;
    if (medium.tymed == TYMED_HGLOBAL) {
        const auto* p = static_cast<const std::uint8_t*>(GlobalLock(medium.hGlobal));
        if (p && GlobalSize(medium.hGlobal) >= 4 + sizeof(void*)) {
            std::uint32_t pid = 0;
            std::memcpy(&pid, p, 4);
            TBaseLazyTree* tree = nullptr;
            std::memcpy(&tree, p + 4, sizeof(void*));
            // Only a tree of this process that still exists is taken.
            if (pid == GetCurrentProcessId() && liveTrees().count(tree)) result = tree;
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(medium);
    return result;
}

// --- starting a drag ---------------------------------------------------------------------------

bool TBaseLazyTree::FireDragAllowed(PLazyNode Node, int Column) {
    bool allowed = false;
    if (OnDragAllowed) OnDragAllowed(this, Node, Column, allowed);
    return allowed;
}

bool TBaseLazyTree::Dragging() const {
    return FStates.Contains(tsOLEDragging) || FStates.Contains(tsOLEDragPending) ||
           TCustomControl::Dragging();
}

void TBaseLazyTree::BeginDrag(bool Immediate, int Threshold) {
    if (FDragType == dtVCL) {
        ChangeTreeStates({tsVCLDragPending}, {});
        TCustomControl::BeginDrag(Immediate, Threshold);
        return;
    }
    if (FStates.Contains(tsOLEDragging) || FStates.Contains(tsOLEDragPending)) return;
    FDragThreshold = Threshold < 0 ? SystemDragThreshold : Threshold;
    if (Immediate)
        StartDragging(FLastClickPos);
    else
        ChangeTreeStates({tsOLEDragPending}, {});
}

void TBaseLazyTree::StartDragging(TPoint HotSpot) {
    if (PLazyNode hot = FCurrentHotNode) {
        FCurrentHotNode = nullptr;
        InvalidateNode(hot);
    }
    if (FFocusedNode && !FFocusedNode->States.Contains(vsSelected)) {
        AddToSelection(FFocusedNode);
        InvalidateNode(FFocusedNode);
    }
    if (HandleAllocated()) Update();
    FDragSelection = GetSortedSelection(true);
    ChangeTreeStates({tsOLEDragging}, {tsOLEDragPending, tsClearPending});
    auto finish = [this] {
        TPoint cursor;
        GetCursorPos(cursor);
        const TPoint p = HandleAllocated() ? ScreenToClient(cursor) : cursor;
        if (OnEndDrag) OnEndDrag(this, this, p.X, p.Y);
        FDragImage->EndDrag();
        if (FLastDragEffect == DROPEFFECT_MOVE &&
            TreeOptions()->AutoOptions().Contains(toAutoDeleteMovedNodes))
            DeleteSelectedNodes();
        ChangeTreeStates({}, {tsOLEDragging});
        FDragSelection.clear();
    };
    try {
        {
            // The drag object of a handler is not used by an OLE drag.
            std::unique_ptr<TObject> dragObject;
            if (OnStartDrag) OnStartDrag(this, dragObject);
        }
        std::shared_ptr<IDataObject> data = DragManager()->CurrentDataObject();
        PrepareDragImage(HotSpot, data);
        FLastDropMode = dmOnNode;
        FLastDragEffect = DROPEFFECT_NONE;
        DWORD allowed = 0;
        if (FDragOperations.Empty()) allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        if (FDragOperations.Contains(doCopy)) allowed |= DROPEFFECT_COPY;
        if (FDragOperations.Contains(doMove)) allowed |= DROPEFFECT_MOVE;
        if (FDragOperations.Contains(doLink)) allowed |= DROPEFFECT_LINK;
        RunDragLoop(allowed, data, FLastDragEffect);
        DragManager()->ForceDragLeave();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TBaseLazyTree::RunDragLoop(DWORD AllowedEffects,
                                const std::shared_ptr<IDataObject>& DataObject, DWORD& Effect) {
    auto source = std::dynamic_pointer_cast<IDropSource>(DragManager());
    // A manager of the application's that is no drop source: the tree's own decides.
    if (!source) source = std::make_shared<TLTDragManager>(this);
    DoDragDrop(DataObject, source, AllowedEffects, Effect);
}

// --- the drop target ---------------------------------------------------------------------------

TShiftState TBaseLazyTree::dragShift(DWORD KeyState) const {
    TShiftState s = keyShift(KeyState);
    if (FStates.Contains(tsLeftButtonDown)) s.Include(ssLeft);
    if (FStates.Contains(tsMiddleButtonDown)) s.Include(ssMiddle);
    if (FStates.Contains(tsRightButtonDown)) s.Include(ssRight);
    return s;
}

DWORD TBaseLazyTree::ProposeDropEffect(TObject* Source, TShiftState Shift, TPoint,
                                       DWORD AllowedEffects) {
    DWORD result = AllowedEffects;
    if (Source == this && (AllowedEffects & DROPEFFECT_MOVE))
        result = DROPEFFECT_MOVE;
    else if (Source != this && (AllowedEffects & DROPEFFECT_COPY))
        result = DROPEFFECT_COPY;
    const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
    DWORD wanted = 0;
    if (ctrl && shift)
        wanted = DROPEFFECT_LINK;
    else if (ctrl)
        wanted = DROPEFFECT_COPY;
    else if (shift)
        wanted = DROPEFFECT_MOVE;
    else if (Shift.Contains(ssAlt))
        wanted = DROPEFFECT_LINK;
    if (wanted & AllowedEffects) result = wanted;
    return result;
}

TDropMode TBaseLazyTree::DropModeAt(TPoint P, THitInfo& HitInfo, const TRect& NodeRect) {
    const TLTMiscOptions misc = TreeOptions()->MiscOptions();
    const bool labelHit = isLabelHit(HitInfo);
    const bool fullRowHit = HitInfo.HitPositions.Contains(hiOnItem) &&
                            (misc.Contains(toFullRowDrag) ||
                             TreeOptions()->SelectionOptions().Contains(toFullRowSelect));
    if (misc.Contains(toReportMode) && !fullRowHit &&
        (!labelHit || HitInfo.HitColumn != MainColumn()))
        HitInfo.HitNode = nullptr;
    if (!HitInfo.HitNode) return dmNowhere;
    if (TreeOptions()->PaintOptions().Contains(toShowDropmark) && !labelHit)
        return P.Y < (NodeRect.Top + NodeRect.Bottom) / 2 ? dmAbove : dmBelow;
    return dmOnNode;
}

bool TBaseLazyTree::FireDragOver(TObject* Source, TShiftState Shift, TDragState State, TPoint Pt,
                                 TDropMode Mode, DWORD& Effect) {
    bool accept = false;
    if (OnDragOver) OnDragOver(this, Source, Shift, State, Pt, Mode, Effect, accept);
    return accept;
}

void TBaseLazyTree::FireDragDrop(TObject* Source, const std::shared_ptr<IDataObject>& DataObject,
                                 const TFormatArray& Formats, TShiftState Shift, TPoint Pt,
                                 DWORD& Effect, TDropMode Mode) {
    if (OnDragDrop) OnDragDrop(this, Source, DataObject, Formats, Shift, Pt, Effect, Mode);
}

HRESULT TBaseLazyTree::OleDragEnter(DWORD KeyState, TPoint Pt, DWORD& Effect) {
    try {
        FDragScrollStart = 0;
        const TShiftState shift = dragShift(KeyState);
        const TPoint p = ScreenToClient(Pt);
        TBaseLazyTree* source = DragManager()->SourceTree();
        Effect = ProposeDropEffect(source, shift, p, Effect);
        if (FireDragOver(source, shift, dsDragEnter, p, FLastDropMode, Effect)) {
            THitInfo hit;
            GetHitTestInfoAt(p.X, p.Y, true, hit);
            if (hit.HitNode) {
                FDropTargetNode = hit.HitNode;
                const bool fullRow = hit.HitPositions.Contains(hiOnItem) &&
                                     (TreeOptions()->MiscOptions().Contains(toFullRowDrag) ||
                                      TreeOptions()->SelectionOptions().Contains(toFullRowSelect));
                if (isLabelHit(hit) || fullRow) {
                    FLastDropMode = dmOnNode;
                } else {
                    const TRect r = GetDisplayRect(hit.HitNode, MainColumn(), false);
                    FLastDropMode = p.Y < (r.Top + r.Bottom) / 2 ? dmAbove : dmBelow;
                }
            } else {
                FLastDropMode = dmNowhere;
            }
        } else {
            Effect = DROPEFFECT_NONE;
        }
        if (!DragManager()->DragImageServiceAvailable() && source)
            source->FDragImage->ShowDragImage();
        return S_OK;
    } catch (const std::exception&) {
        return E_UNEXPECTED;
    }
}

HRESULT TBaseLazyTree::OleDragOver(TObject* Source, DWORD KeyState, TDragState State, TPoint Pt,
                                   DWORD& Effect) {
    try {
        auto* pictureTree = DragManager()->DragImageServiceAvailable()
                                ? nullptr
                                : dynamic_cast<TBaseLazyTree*>(Source);
        const TPoint p = ScreenToClient(Pt);
        // Scrolling near the edges.
        FScrollDirections = GetAutoScrollDirections(p.X, p.Y);
        int dX = 0, dY = 0;
        const int incY = std::min<int>(ScrollBarOptions()->VerticalIncrement(), ClientHeight());
        const int incX = ScrollBarOptions()->HorizontalIncrement();
        if (FScrollDirections.Contains(sdUp)) {
            dY = incY;
            if (FOffsetY == 0) FScrollDirections.Exclude(sdUp);
        }
        if (FScrollDirections.Contains(sdDown)) {
            dY = -incY;
            if (ClientHeight() - FOffsetY == RangeY()) FScrollDirections.Exclude(sdDown);
        }
        if (FScrollDirections.Contains(sdLeft)) {
            dX = incX;
            if (FEffectiveOffsetX == 0) FScrollDirections.Exclude(sdLeft);
        }
        if (FScrollDirections.Contains(sdRight)) {
            dX = -incX;
            if (ClientWidth() + FEffectiveOffsetX == int(FRangeX))
                FScrollDirections.Exclude(sdRight);
        }
        // Left and right are on screen; a mirrored tree's offset runs the other way.
        dX *= mirrorSign();
        const bool scrolled =
            !FScrollDirections.Empty() && ApplyScrollOffsets(FOffsetX + dX, FOffsetY + dY);

        const TShiftState shift = dragShift(KeyState);
        THitInfo hit;
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        const TRect nodeRect = hit.HitNode ? GetDisplayRect(hit.HitNode, NoColumn, false) : TRect{};
        const TDropMode mode = DropModeAt(p, hit, nodeRect);
        const TPoint screen = Pt;
        const bool pictureMoves = pictureTree && pictureTree->FDragImage->WillMove(screen);

        if (hit.HitNode != FDropTargetNode || mode != FLastDropMode) {
            FLastDropMode = mode;
            if (hit.HitNode == FDropTargetNode) {
                if (hit.HitNode) InvalidateNode(hit.HitNode);
            } else {
                killTreeTimer(ExpandTimer);
                PLazyNode old = FDropTargetNode;
                FDropTargetNode = hit.HitNode;
                if (FFocusedColumn < 0) FFocusedColumn = MainColumn();
                if (scrolled) {
                    RepaintUnderDragImage(pictureTree, ClientRect());
                } else {
                    if (old) RepaintUnderDragImage(pictureTree, InvalidateNode(old));
                    if (FDropTargetNode)
                        RepaintUnderDragImage(pictureTree, InvalidateNode(FDropTargetNode));
                }
                if (FDropTargetNode && TreeOptions()->AutoOptions().Contains(toAutoDropExpand) &&
                    FDropTargetNode->States.Contains(vsHasChildren) && HandleAllocated())
                    SetTimer(Handle(), ExpandTimer, AutoExpandDelay());
            }
        } else if (pictureTree && scrolled && (dX != 0 || dY != 0)) {
            RepaintUnderDragImage(pictureTree, ClientRect());
        }
        if (HandleAllocated()) Update();
        if (pictureMoves) pictureTree->FDragImage->DragTo(screen, false);

        Effect = ProposeDropEffect(Source, shift, p, Effect);
        if (!FireDragOver(Source, shift, State, p, FLastDropMode, Effect)) Effect = DROPEFFECT_NONE;
        if (scrolled) Effect |= DROPEFFECT_SCROLL;
        return S_OK;
    } catch (const std::exception&) {
        return E_UNEXPECTED;
    }
}

void TBaseLazyTree::RepaintUnderDragImage(TBaseLazyTree*, const TRect& R) {
    // The picture is a window of its own: what lies under it repaints as usual.
    if (HandleAllocated() && !R.IsEmpty()) InvalidateRect(Handle(), &R, false);
}

void TBaseLazyTree::OleDragLeave() {
    killTreeTimer(ExpandTimer);
    TBaseLazyTree* source = DragManager()->SourceTree();
    if (source && !DragManager()->DragImageServiceAvailable()) source->FDragImage->HideDragImage();
    if (FDropTargetNode) {
        InvalidateNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    }
    if (HandleAllocated()) Update();
    DWORD effect = DROPEFFECT_NONE;
    FireDragOver(nullptr, {}, dsDragLeave, TPoint{0, 0}, FLastDropMode, effect);
}

HRESULT TBaseLazyTree::OleDragDrop(const std::shared_ptr<IDataObject>& DataObject, DWORD KeyState,
                                   TPoint Pt, DWORD& Effect) {
    killTreeTimer(ExpandTimer);
    killTreeTimer(ScrollTimer);
    ChangeTreeStates({}, {tsScrolling, tsScrollPending});
    TBaseLazyTree* source = DragManager()->SourceTree();
    HRESULT result = OleDragOver(source, KeyState, dsDragMove, Pt, Effect);
    if (result != S_OK || (Effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE) {
        result = E_FAIL;
    } else {
        try {
            TShiftState shift = keyShift(KeyState);
            if (KeyState & MK_RBUTTON)
                shift.Include(ssRight);
            else if (KeyState & MK_MBUTTON)
                shift.Include(ssMiddle);
            else
                shift.Include(ssLeft);
            const TPoint p = ScreenToClient(Pt);
            TFormatArray formats;
            std::shared_ptr<IEnumFORMATETC> list;
            if (!DataObject || DataObject->EnumFormatEtc(DATADIR_GET, list) != S_OK || !list ||
                list->Reset() != S_OK) {
                result = E_UNEXPECTED;
            } else {
                FORMATETC f;
                ULONG fetched = 0;
                while (list->Next(1, &f, &fetched) == S_OK) formats.push_back(f.cfFormat);
                FireDragDrop(source, DataObject, formats, shift, p, Effect, FLastDropMode);
                result = S_OK;
            }
        } catch (const Exception& e) {
            if (Application) Application->ShowException(e);
            result = E_UNEXPECTED;
        }
    }
    if (FDropTargetNode) {
        InvalidateNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    }
    return result;
}

void TBaseLazyTree::ExpandDropTarget() {
    killTreeTimer(ExpandTimer);
    PLazyNode target = FDropTargetNode;
    if (!target || !target->States.Contains(vsHasChildren) || target->States.Contains(vsExpanded))
        return;
    TBaseLazyTree* source = FDragManager ? FDragManager->SourceTree() : nullptr;
    const bool ownPicture = source && !FDragManager->DragImageServiceAvailable();
    if (ownPicture) source->FDragImage->HideDragImage();
    ToggleNode(target);
    if (HandleAllocated()) Update();
    if (ownPicture) source->FDragImage->ShowDragImage();
}

void TBaseLazyTree::DoStartDrag(std::unique_ptr<TDragObject>& DragObject) {
    std::unique_ptr<TObject> object;
    if (OnStartDrag) OnStartDrag(this, object);
    if (auto* own = dynamic_cast<TDragObject*>(object.get())) {
        object.release();
        DragObject.reset(own);
        ChangeTreeStates({tsUserDragObject}, {});
    }
}

void TBaseLazyTree::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
    OleDragFinished();
}

void TBaseLazyTree::CMDrag(TMessage& Message) {
    const auto* rec = reinterpret_cast<const TDragRec*>(Message.LParam);
    const auto kind = TDragMessage(Message.WParam);
    if (kind == dmFindTarget) {
        const TPoint p = ScreenToClient(rec->Pos);
        TControl* child = ControlAtPos(p, false);
        Message.Result = reinterpret_cast<LRESULT>(child ? child : this);
        if (FStates.Contains(tsVCLDragPending))
            ChangeTreeStates({tsVCLDragging}, {tsClearPending, tsEditPending, tsVCLDragPending});
        return;
    }
    // The events see the source control, unless the source handed out a drag object of its own.
    TObject* source = rec->Source;
    if (auto* c = dynamic_cast<TDragControlObject*>(rec->Source);
        c && !FStates.Contains(tsUserDragObject))
        source = c->Control();
    const TPoint client = ScreenToClient(rec->Pos);
    const DWORD keys = DragKeyState();
    switch (kind) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        const TDragState state = kind == dmDragEnter   ? dsDragEnter
                                 : kind == dmDragLeave ? dsDragLeave
                                                       : dsDragMove;
        if (kind == dmDragEnter) ChangeTreeStates({tsVCLDragging}, {});
        if (kind == dmDragLeave) ChangeTreeStates({tsVCLDragFinished}, {tsVCLDragging});
        if (kind == dmDragMove) ArmAutoScroll(client.X, client.Y);
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        OleDragOver(source, keys, state, rec->Pos, effect);
        FLastVCLDragTarget = FDropTargetNode;
        FVCLDragEffect = effect;
        if (kind == dmDragLeave && FDropTargetNode) {
            InvalidateNode(FDropTargetNode);
            FDropTargetNode = nullptr;
        }
        Message.Result = LRESULT(effect);
        break;
    }
    case dmDragDrop: {
        if (FDropTargetNode) InvalidateNode(FDropTargetNode);
        FDropTargetNode = FLastVCLDragTarget;
        struct ClearTarget {
            TBaseLazyTree* tree;
            ~ClearTarget() {
                if (tree->FDropTargetNode) tree->InvalidateNode(tree->FDropTargetNode);
                tree->FDropTargetNode = nullptr;
            }
        } clear{this};
        FireDragDrop(source, nullptr, {}, keyShift(keys), client, FVCLDragEffect, FLastDropMode);
        break;
    }
    default:
        TCustomControl::CMDrag(Message);
    }
}

void TBaseLazyTree::OleDragFinished() {
    if (!FStates.Contains(tsOLEDragging) && !FStates.Contains(tsVCLDragging) &&
        !FStates.Contains(tsVCLDragPending) && !FStates.Contains(tsVCLDragFinished))
        return;
    ChangeTreeStates({}, {tsUserDragObject, tsVCLDragging, tsVCLDragPending, tsVCLDragFinished});
    TPoint cursor;
    GetCursorPos(cursor);
    const TPoint p = ScreenToClient(cursor);
    const UINT msg = FStates.Contains(tsRightButtonDown)    ? WM_RBUTTONUP
                     : FStates.Contains(tsMiddleButtonDown) ? WM_MBUTTONUP
                                                            : WM_LBUTTONUP;
    Perform(msg, 0, LPARAM((p.Y << 16) | (p.X & 0xFFFF)));
}

// --- inserting dropped data -------------------------------------------------------------------

bool TBaseLazyTree::ProcessDrop(const std::shared_ptr<IDataObject>& DataObject,
                                PLazyNode TargetNode, DWORD& Effect, TLTNodeAttachMode Mode) {
    if (Mode == amNoWhere) {
        Effect = DROPEFFECT_NONE;
        return false;
    }
    TBaseLazyTree* source = TreeFromDataObject(DataObject);
    BeginUpdate();
    if (source && source != this) source->BeginUpdate();
    bool result = false;
    try {
        if ((Effect & DROPEFFECT_MOVE) && source) {
            result = ProcessOLEData(source, DataObject, TargetNode, Mode,
                                    (Effect & DROPEFFECT_COPY) == 0);
            // The nodes are where they belong: the source must not delete them.
            Effect = DROPEFFECT_NONE;
        } else if (Effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) {
            result = ProcessOLEData(source, DataObject, TargetNode, Mode, false);
        }
    } catch (const std::exception&) {
        Effect = DROPEFFECT_NONE;
        result = false;
    }
    if (source && source != this) source->EndUpdate();
    EndUpdate();
    return result;
}

bool TBaseLazyTree::ProcessOLEData(TBaseLazyTree* Source,
                                   const std::shared_ptr<IDataObject>& DataObject,
                                   PLazyNode TargetNode, TLTNodeAttachMode Mode, bool Optimized) {
    FORMATETC request;
    request.cfFormat = LazyTreeDataFormat;
    request.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
    if (!DataObject || DataObject->QueryGetData(request) != S_OK) return false;
    if (TreeOptions()->MiscOptions().Contains(toReadOnly)) return true;
    BeginUpdate();
    struct End {
        TBaseLazyTree* tree;
        ~End() { tree->EndUpdate(); }
    } end{this};
    if (!TargetNode) TargetNode = FRoot;
    if (TargetNode == FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        if (Mode == amInsertAfter) Mode = amAddChildLast;
    }
    if (Optimized && Source) {
        TNodeArray nodes = Source->FStates.Contains(tsOLEDragging)
                               ? Source->FDragSelection
                               : Source->GetSortedCutCopySet(true);
        if (Mode != amInsertBefore && Mode != amAddChildLast)
            std::reverse(nodes.begin(), nodes.end());
        for (PLazyNode node : nodes)
            if (node != TargetNode && !HasAsParent(TargetNode, node)) {
                if (TargetNode == FRoot)
                    Source->MoveTo(node, this, Mode, false);
                else
                    Source->MoveTo(node, TargetNode, Mode, false);
            }
        return true;
    }
    readTreeData(Source, DataObject, TargetNode, Mode);
    return true;
}

void TBaseLazyTree::readTreeData(TBaseLazyTree* Source,
                                 const std::shared_ptr<IDataObject>& DataObject, PLazyNode Target,
                                 TLTNodeAttachMode Mode) {
    FORMATETC request;
    request.cfFormat = LazyTreeDataFormat;
    request.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
    STGMEDIUM medium;
    if (DataObject->GetData(request, medium) != S_OK) return;
    struct Release {
        STGMEDIUM& m;
        ~Release() { ReleaseStgMedium(m); }
    } release{medium};
    TOLEMemoryStream memory;
    TStream* stream = nullptr;
    const std::uint8_t* block = nullptr;
    if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
        stream = medium.pstm.get();
    } else if (medium.tymed == TYMED_HGLOBAL) {
        block = static_cast<const std::uint8_t*>(GlobalLock(medium.hGlobal));
        const std::size_t size = GlobalSize(medium.hGlobal);
        if (!block || size < 4) {
            GlobalUnlock(medium.hGlobal);
            return;
        }
        std::uint32_t length = 0;
        std::memcpy(&length, block, 4);
        // A length beyond the block is cut to what the block holds.
        memory.SetPointer(block + 4, std::min<std::int64_t>(length, std::int64_t(size - 4)));
        stream = &memory;
    }
    if (!stream) return;
    const TChangeReason reason = Source == this ? crNodeCopied : crNodeAdded;
    try {
        while (stream->Position() < stream->Size()) {
            PLazyNode node = AllocateNode();
            ConnectNode(node, Target, Mode, this);
            LoadNodeFromStream(*stream, 2, node);
            PLazyNode target = Target == FRoot ? nullptr : Target;
            if (FireNodeCopying(node, target)) {
                FireNodeCopied(node);
                ReportStructureChange(node, reason);
            } else {
                DeleteNode(node);
                continue;
            }
            if (Mode == amInsertAfter) Target = node;
        }
    } catch (...) {
        if (block) GlobalUnlock(medium.hGlobal);
        throw;
    }
    if (block) GlobalUnlock(medium.hGlobal);
}

// --- the drop mark -----------------------------------------------------------------------------

void TBaseLazyTree::DrawDropMark(TCanvas* Canvas, const TRect& R) {
    if (FLastDropMode != dmAbove && FLastDropMode != dmBelow) return;
    const TPenStyle oldStyle = Canvas->Pen()->Style();
    const TColor oldColor = Canvas->Brush()->Color();
    Canvas->Pen()->SetStyle(psClear);
    Canvas->Brush()->SetColor(FColors->DropMarkColor());
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    if (FLastDropMode == dmAbove)
        Canvas->Polygon({TPoint{L + 2, T}, TPoint{Rt - 2, T}, TPoint{Rt - 2, T + 6},
                         TPoint{Rt - 6, T + 2}, TPoint{L + 6, T + 2}, TPoint{L + 2, T + 6}});
    else
        Canvas->Polygon({TPoint{L + 2, B - 1}, TPoint{Rt - 2, B - 1}, TPoint{Rt - 2, B - 8},
                         TPoint{Rt - 7, B - 3}, TPoint{L + 7, B - 3}, TPoint{L + 2, B - 8}});
    Canvas->Pen()->SetStyle(oldStyle);
    Canvas->Brush()->SetColor(oldColor);
}
