// The tree's mouse: presses, releases and double clicks on buttons, check boxes and nodes, the
// rubber band and node-height drags, hot tracking, the cursor, the wheel and wheel panning,
// popup menus, and the reset of transient states on focus loss and cancelled modes.
#include "platform/gfx/Gdi.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr std::uintptr_t ExpandTimer = 1;
constexpr std::uintptr_t EditTimer = 2;
constexpr std::uintptr_t HeaderTimer = 3;
constexpr std::uintptr_t ScrollTimer = 4;
constexpr std::uintptr_t SearchTimer = 7;
constexpr std::uintptr_t ThemeTimer = 8;
// The platform's distance a pressed mouse must move before it counts as a drag.
constexpr int MouseDragThreshold = 5;
// The desktop's wheel setting: lines per notch.
constexpr int WheelScrollLines = 3;
// Screen cursor of the node-height splitter.
constexpr TCursor crNodeSplitter = 62;

// The modifier keys of a mouse message; Alt is not among the message's keys.
TShiftState mouseShift(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(ssShift);
    if (keys & MK_CONTROL) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

} // namespace

bool TBaseLazyTree::CanFocus() const {
    if (!TCustomControl::CanFocus()) return false;
    if (IsDesigning()) return true;
    TCustomForm* form = GetParentForm();
    return !form || (form->Enabled() && form->Visible());
}

// --- button messages --------------------------------------------------------------------------

void TBaseLazyTree::WMLButtonDown(TWMMouse& Message) {
    ChangeTreeStates({tsLeftButtonDown}, {});
    TCustomControl::WMLButtonDown(Message);
    THitInfo hit;
    GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
    ProcessMouseDown(Message, hit);
}

void TBaseLazyTree::WMLButtonUp(TWMMouse& Message) {
    ChangeTreeStates({}, {tsNodeHeightTracking, tsNodeHeightTrackPending, tsLeftButtonDown});
    THitInfo hit;
    GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
    ProcessMouseUp(Message, hit);
    TCustomControl::WMLButtonUp(Message);
}

void TBaseLazyTree::WMLButtonDblClk(TWMMouse& Message) {
    ChangeTreeStates({tsLeftDblClick}, {});
    TCustomControl::WMLButtonDblClk(Message);
    THitInfo hit;
    GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
    ProcessMouseDblClick(Message, hit);
    ChangeTreeStates({}, {tsLeftDblClick});
}

void TBaseLazyTree::WMMButtonDown(TWMMouse& Message) {
    ChangeTreeStates({tsMiddleButtonDown}, {});
    TCustomControl::WMMButtonDown(Message);
    const bool wheelState = FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling);
    if (TreeOptions()->MiscOptions().Contains(toWheelPanning) && !wheelState &&
        (ClientWidth() < GetTreeRect().Right || ClientHeight() < RangeY())) {
        FLastClickPos = Message.Pos();
        BeginWheelPanning(FLastClickPos);
        return;
    }
    EndWheelPanning();
    if (TreeOptions()->SelectionOptions().Contains(toMiddleClickSelect)) {
        THitInfo hit;
        GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
        ProcessMouseDown(Message, hit);
    }
}

void TBaseLazyTree::WMMButtonUp(TWMMouse& Message) {
    ChangeTreeStates({}, {tsMiddleButtonDown});
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
        // Released without moving: panning goes on until the next press.
        if (FStates.Contains(tsWheelScrolling))
            ChangeTreeStates({}, {tsWheelPanning});
        else
            EndWheelPanning();
        return;
    }
    TCustomControl::WMMButtonUp(Message);
    if (TreeOptions()->SelectionOptions().Contains(toMiddleClickSelect)) {
        THitInfo hit;
        GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
        ProcessMouseUp(Message, hit);
    }
}

void TBaseLazyTree::WMMButtonDblClk(TWMMouse& Message) {
    ChangeTreeStates({tsMiddleDblClick}, {});
    DefaultHandler(Message.M);
    if (TreeOptions()->SelectionOptions().Contains(toMiddleClickSelect)) {
        THitInfo hit;
        GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
        ProcessMouseDblClick(Message, hit);
    }
    ChangeTreeStates({}, {tsMiddleDblClick});
}

void TBaseLazyTree::WMRButtonDown(TWMMouse& Message) {
    ChangeTreeStates({tsRightButtonDown}, {});
    TCustomControl::WMRButtonDown(Message);
    if (TreeOptions()->SelectionOptions().Contains(toRightClickSelect)) {
        THitInfo hit;
        GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
        ProcessMouseDown(Message, hit);
    }
}

void TBaseLazyTree::WMRButtonUp(TWMMouse& Message) {
    ChangeTreeStates({}, {tsRightButtonDown, tsPopupMenuShown});
    if (Application) Application->CancelHint();
    if (IsMouseSelecting() && PopupMenu()) {
        ChangeTreeStates({}, {tsDrawSelPending, tsDrawSelecting});
        InvalidateWhenShown();
    }
    TCustomControl::WMRButtonUp(Message);
    THitInfo hit;
    GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
    if (TreeOptions()->SelectionOptions().Contains(toRightClickSelect))
        ProcessMouseUp(Message, hit);
    if (!PopupMenu()) ShowNodePopupMenu(hit.HitNode, hit.HitColumn, Message.Pos());
}

void TBaseLazyTree::WMRButtonDblClk(TWMMouse& Message) {
    ChangeTreeStates({tsRightDblClick}, {});
    TCustomControl::WMRButtonDblClk(Message);
    if (TreeOptions()->SelectionOptions().Contains(toRightClickSelect)) {
        THitInfo hit;
        GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
        ProcessMouseDblClick(Message, hit);
    }
    ChangeTreeStates({}, {tsRightDblClick});
}

// --- press, release and double click ----------------------------------------------------------

void TBaseLazyTree::ProcessMouseDown(TWMMouse& Message, THitInfo& HitInfo) {
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
        EndWheelPanning();
        return;
    }
    if (FStates.Contains(tsEditPending)) {
        killTreeTimer(EditTimer);
        ChangeTreeStates({}, {tsEditPending});
    }
    if (!Focused() && CanFocus()) {
        SetFocus();
        // The focus change may have changed the tree.
        GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, HitInfo);
    }
    FHeader->Columns()->FClickIndex = HitInfo.HitColumn;
    const THitPositions hp = HitInfo.HitPositions;
    const TLTSelectionOptions sel = TreeOptions()->SelectionOptions();
    const TLTMiscOptions misc = TreeOptions()->MiscOptions();
    PLazyNode hitNode = HitInfo.HitNode;

    bool columnChange = false;
    int newColumn = FFocusedColumn;
    if (hp.Contains(hiOnItemLabel) || sel.Contains(toFullRowSelect) ||
        misc.Contains(toGridExtensions)) {
        columnChange = HitInfo.HitColumn != FFocusedColumn;
        newColumn = sel.Contains(toExtendedFocus) ? HitInfo.HitColumn : MainColumn();
    }
    // Without header columns no other column can take the focus.
    if (columnChange) {
        newColumn = FFocusedColumn;
        columnChange = false;
    }
    const bool nodeChange = hitNode != FFocusedNode;

    TShiftState shift = mouseShift(Message.Keys());
    const bool altPressed = shift.Contains(ssAlt);
    shift.Exclude(ssAlt);

    const bool isLabelHit = !altPressed && !sel.Contains(toSimpleDrawSelection) &&
                            (hp.Contains(hiOnItemLabel) || hp.Contains(hiOnNormalIcon));
    const bool isCellHit = !altPressed && !isLabelHit && hitNode && !hp.Contains(hiNowhere) &&
                           !hp.Contains(hiOnItemButton) && !hp.Contains(hiOnItemCheckbox) &&
                           (sel.Contains(toFullRowSelect) ||
                            (misc.Contains(toGridExtensions) && HitInfo.HitColumn >= 0));
    const bool isAnyHit = isLabelHit || isCellHit;
    const bool multiSelect = sel.Contains(toMultiSelect);
    const bool isHitSelected = isAnyHit && hitNode->States.Contains(vsSelected);
    bool fullRowDrag;
    if (!multiSelect || sel.Contains(toDisableDrawSelection))
        fullRowDrag = misc.Contains(toFullRowDrag);
    else
        fullRowDrag = isCellHit && misc.Contains(toFullRowDrag) && !hp.Contains(hiNowhere) &&
                      (isHitSelected || hp.Contains(hiOnItemLabel) || hp.Contains(hiOnNormalIcon));
    const bool heightTracking = Message.Msg() == WM_LBUTTONDOWN && hp.Contains(hiOnItem) &&
                                (hp.Contains(hiUpperSplitter) || hp.Contains(hiLowerSplitter));
    bool autoDrag = (FDragMode == dmAutomatic || Dragging()) && (!isCellHit || fullRowDrag);
    if (hitNode && !autoDrag && FDragMode == dmManual)
        autoDrag = FireDragAllowed(hitNode, newColumn) && (isLabelHit || fullRowDrag);

    if (heightTracking) {
        FHeightTrackNode = hp.Contains(hiUpperSplitter) ? GetPreviousVisible(hitNode) : hitNode;
        if (NodeSplitterResizeAllowed(Message.Pos(), FHeightTrackNode, HitInfo.HitColumn)) {
            FHeightTrackColumn = HitInfo.HitColumn;
            const TRect r = GetDisplayRect(FHeightTrackNode, FHeightTrackColumn, false);
            FHeightTrackPoint = TPoint{r.Left, r.Top};
            ChangeTreeStates({tsNodeHeightTrackPending}, {});
            return;
        }
    }
    if (hp.Contains(hiOnItemButton) && hitNode && hitNode->States.Contains(vsHasChildren)) {
        ToggleNode(hitNode);
        return;
    }
    if (hp.Contains(hiOnItemCheckbox) && hitNode) {
        if (FStates.Contains(tsKeyCheckPending) || FStates.Contains(tsMouseCheckPending) ||
            hitNode->States.Contains(vsDisabled))
            return;
        TCheckState newState = NextCheckState(hitNode->CheckType, hitNode->CheckState);
        if (!(Message.Keys() & MK_LBUTTON) || !FireChecking(hitNode, newState)) return;
        ChangeTreeStates({tsMouseCheckPending}, {});
        FCheckNode = hitNode;
        FPendingCheckState = newState;
        hitNode->CheckState = PressedCheckState(hitNode->CheckState);
        InvalidateNode(hitNode);
        return;
    }
    if ((shift.Empty() && !IsEmpty()) || FSelectionCount == 0) {
        PLazyNode levelNode = hitNode ? hitNode : GetLastVisibleNoInit();
        FLastSelectionLevel = levelNode ? int(GetNodeLevel(levelNode)) : -1;
    }
    if (multiSelect && shift.Empty() && isAnyHit && autoDrag && isHitSelected && !FSelectionLocked)
        ChangeTreeStates({tsClearPending}, {});
    bool nodeSelectable = true;
    if (autoDrag)
        nodeSelectable = false;
    else if (FStates.Contains(tsRightButtonDown))
        nodeSelectable = !PopupMenuAvailable(hitNode, HitInfo.HitColumn, Message.Pos());
    const bool mayDrawSelect = !sel.Contains(toDisableDrawSelection) && !isLabelHit && !fullRowDrag;
    if (mayDrawSelect && multiSelect) {
        SetMouseCapture(true);
        ChangeTreeStates({tsDrawSelPending}, {});
        FDrawSelShiftState = shift;
        const TPoint p{Message.XPos() + FEffectiveOffsetX - ColumnsRightToLeftOffset(),
                       Message.YPos() - FOffsetY};
        FNewSelRect = TRect{p.X, p.Y, p.X, p.Y};
        FLastSelRect = TRect{0, 0, 0, 0};
    }
    if (!FSelectionLocked &&
        ((multiSelect && !isCellHit && !isLabelHit && !fullRowDrag && shift.Empty()) ||
         (isAnyHit && (!isHitSelected || nodeSelectable) && (shift.Empty() || !multiSelect)))) {
        if (FStates.Contains(tsClearPending))
            throw EAssertionFailed("Pending and direct clearance are mutual exclusive!");
        if (isHitSelected || (altPressed && hitNode && HitInfo.HitColumn == MainColumn() &&
                              !hp.Contains(hiNowhere))) {
            const bool was = FSelectionCount > 1;
            ResetSelection();
            mergeNodeIntoSelection(hitNode, true);
            if (was) {
                InvalidateWhenShown();
                ReportChange(nullptr);
            }
        } else if (!(hp.Contains(hiNowhere) && sel.Contains(toAlwaysSelectNode))) {
            RepaintAndClearSelection(false);
        }
    }
    if (Focused() &&
        (hp.Contains(hiOnItemLabel) ||
         (hp.Contains(hiOnItem) && misc.Contains(toGridExtensions))) &&
        isHitSelected && !columnChange && shift.Empty())
        ChangeTreeStates({tsEditPending}, {});
    if (mayDrawSelect && (multiSelect || hp.Contains(hiNowhere)) && !isCellHit) return;
    FLastClickPos = Message.Pos();
    if (isAnyHit && FireFocusChanging(FFocusedNode, hitNode, FFocusedColumn, newColumn)) {
        if (columnChange) {
            InvalidateWhenShown();
            FFocusedColumn = newColumn;
        }
        PLazyNode old = FFocusedNode;
        if (nodeChange) ApplyFocusedNode(hitNode, false);
        if (multiSelect && !shift.Empty()) {
            ApplyClickSelection(old, hitNode, autoDrag, shift);
        } else {
            if (shift.Empty()) FRangeAnchor = hitNode;
            if (!isHitSelected) AddToSelection(hitNode);
        }
        if (nodeChange || columnChange) {
            ScrollIntoView(FFocusedNode, sel.Contains(toCenterScrollIntoView));
            FireFocusChanged(FFocusedNode, FFocusedColumn);
        }
    }
    if (FSelectionCount == 0) ReportChange(nullptr);
    if (autoDrag && isAnyHit &&
        (FStates.Contains(tsLeftButtonDown) || FStates.Contains(tsMiddleButtonDown) ||
         FStates.Contains(tsRightButtonDown)))
        BeginDrag(false, -1);
}

void TBaseLazyTree::ProcessMouseUp(TWMMouse& Message, THitInfo& HitInfo) {
    SetMouseCapture(false);
    if (FStates.Contains(tsVCLDragPending)) return;
    if (IsMouseSelecting()) {
        ChangeTreeStates({}, {tsToggleFocusedSelection, tsDrawSelPending, tsDrawSelecting});
        InvalidateWhenShown();
    }
    if (FStates.Contains(tsClearPending)) {
        const bool wasSelected = FFocusedNode && FFocusedNode->States.Contains(vsSelected);
        ClearSelection();
        if (wasSelected) AddToSelection(FFocusedNode);
    }
    if (FStates.Contains(tsToggleFocusedSelection) && HitInfo.HitNode == FFocusedNode &&
        FFocusedNode) {
        if (!FFocusedNode->States.Contains(vsSelected))
            AddToSelection(FFocusedNode);
        else if (!(TreeOptions()->SelectionOptions().Contains(toAlwaysSelectNode) &&
                   FSelectionCount == 1))
            RemoveFromSelection(FFocusedNode);
        InvalidateNode(FFocusedNode);
    }
    ChangeTreeStates({}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsOLEDragging,
                          tsOLEDragPending, tsScrolling, tsScrollPending});
    killTreeTimer(ScrollTimer);
    if (FStates.Contains(tsMouseCheckPending)) {
        ChangeTreeStates({}, {tsMouseCheckPending});
        if (PLazyNode node = FCheckNode) {
            FCheckNode = nullptr;
            if (HitInfo.HitNode == node && HitInfo.HitPositions.Contains(hiOnItem)) {
                // The pressed look goes before the change is applied.
                node->CheckState = UnpressedCheckState(node->CheckState);
                ApplyCheckStateChange(node, FPendingCheckState);
            } else {
                node->CheckState = UnpressedCheckState(node->CheckState);
            }
            InvalidateNode(node);
        }
    }
    const TColumnIndex clicked = FHeader->Columns()->ClickIndex();
    if (clicked >= 0 && clicked == HitInfo.HitColumn)
        FireColumnClick(clicked, mouseShift(Message.Keys()));
    if (HitInfo.HitNode) FireNodeClick(HitInfo);
    // A click on the focused node's text edits it after the edit delay.
    if (FStates.Contains(tsEditPending) && FFocusedNode && HitInfo.HitNode == FFocusedNode &&
        HitInfo.HitPositions.Contains(hiOnItem) &&
        TreeOptions()->MiscOptions().Contains(toEditOnClick) &&
        HitInfo.HitColumn == FFocusedColumn && CanEdit(FFocusedNode, HitInfo.HitColumn)) {
        FEditColumn = FFocusedColumn;
        SetTimer(Handle(), EditTimer, FEditDelay);
    } else {
        ChangeTreeStates({}, {tsEditPending});
    }
}

void TBaseLazyTree::ProcessMouseDblClick(TWMMouse& Message, THitInfo& HitInfo) {
    bool needEdit = !IsEditing() && TreeOptions()->MiscOptions().Contains(toEditOnDblClick);
    if (FStates.Contains(tsEditPending)) {
        killTreeTimer(EditTimer);
        ChangeTreeStates({}, {tsEditPending});
    }
    if (IsEditing() && !FinishNodeEdit()) return;
    if (HitInfo.HitColumn == FHeader->Columns()->ClickIndex())
        FireColumnDblClick(HitInfo.HitColumn, mouseShift(Message.Keys()));
    if (HitInfo.HitNode) FireNodeDblClick(HitInfo);
    const THitPositions hp = HitInfo.HitPositions;
    PLazyNode node = HitInfo.HitNode;
    if (hp.Contains(hiOnItemCheckbox) && node) {
        if (FStates.Contains(tsKeyCheckPending) || FStates.Contains(tsMouseCheckPending) ||
            node->States.Contains(vsDisabled))
            return;
        TCheckState newState = NextCheckState(node->CheckType, node->CheckState);
        if (!(Message.Keys() & MK_LBUTTON) || !FireChecking(node, newState)) return;
        ChangeTreeStates({tsMouseCheckPending}, {});
        FCheckNode = node;
        FPendingCheckState = newState;
        node->CheckState = PressedCheckState(node->CheckState);
        InvalidateNode(node);
        return;
    }
    const TLTMiscOptions misc = TreeOptions()->MiscOptions();
    if (node && (hp.Contains(hiOnItemButton) ||
                 (misc.Contains(toToggleOnDblClick) &&
                  (hp.Contains(hiOnItemLabel) || hp.Contains(hiOnNormalIcon) ||
                   hp.Contains(hiOnStateIcon) ||
                   TreeOptions()->SelectionOptions().Contains(toFullRowSelect))))) {
        ToggleNode(node);
        needEdit = false;
    }
    if (needEdit && FFocusedNode && node == FFocusedNode && HitInfo.HitColumn == FFocusedColumn &&
        CanEdit(FFocusedNode, HitInfo.HitColumn)) {
        ChangeTreeStates({tsEditPending}, {});
        FEditColumn = FFocusedColumn;
        SetTimer(Handle(), EditTimer, 0);
    }
}

bool TBaseLazyTree::NodeSplitterResizeAllowed(TPoint P, PLazyNode Node, int Column) {
    // Rows are resized at fixed header columns only; without columns the event decides.
    bool allowed = false;
    FireCanSplitterResizeNode(P, Node, Column, allowed);
    return allowed;
}

// --- moving -----------------------------------------------------------------------------------

void TBaseLazyTree::WMMouseMove(TWMMouse& Message) {
    const int x = Message.XPos();
    const int y = Message.YPos();
    if (FStates.Contains(tsNodeHeightTrackPending)) {
        if (Application) Application->CancelHint();
        EndWheelPanning();
        for (std::uintptr_t id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer})
            killTreeTimer(id);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        ChangeTreeStates({tsNodeHeightTracking},
                         {tsEditPending, tsNodeHeightTrackPending, tsIncrementalSearching,
                          tsOLEDragPending, tsScrolling, tsScrollPending, tsVCLDragPending});
    }
    if (FStates.Contains(tsDrawSelPending)) {
        if (UpdateSelectionRect(x, y)) {
            InvalidateWhenShown();
            if (std::abs(FNewSelRect.Right - FNewSelRect.Left) > MouseDragThreshold ||
                std::abs(FNewSelRect.Bottom - FNewSelRect.Top) > MouseDragThreshold) {
                if (FStates.Contains(tsClearPending)) {
                    ChangeTreeStates({}, {tsClearPending});
                    ClearSelection();
                }
                ChangeTreeStates({tsDrawSelecting}, {tsDrawSelPending});
                if (ApplyRubberBandSelection(x, y)) InvalidateWhenShown();
            }
        }
        return;
    }
    if (FStates.Contains(tsNodeHeightTracking)) {
        TPoint track = FHeightTrackPoint;
        if (FireNodeHeightTracking(FHeightTrackNode, FHeightTrackColumn,
                                   KeyboardStateToShiftState(), track, TPoint{x, y})) {
            FHeightTrackPoint = track;
            SetNodeHeight(FHeightTrackNode, std::uint32_t(std::max(y - FHeightTrackPoint.Y, 1)));
            if (HandleAllocated()) Update();
        }
        return;
    }
    const bool wheel = FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling);
    if (FStates.Contains(tsWheelPanning) && FStates.Contains(tsWheelScrolling) &&
        (std::abs(x - FLastClickPos.X) >= MouseDragThreshold ||
         std::abs(y - FLastClickPos.Y) >= MouseDragThreshold))
        ChangeTreeStates({}, {tsWheelScrolling});
    if (FStates.Contains(tsOLEDragPending) && (std::abs(x - FLastClickPos.X) >= FDragThreshold ||
                                               std::abs(y - FLastClickPos.Y) >= FDragThreshold)) {
        StartDragging(FLastClickPos);
        return;
    }
    if (AutoScrollAllowed()) ArmAutoScroll(x, y);
    if (wheel) UpdatePanningCursor(x, y);
    if (!IsMouseSelecting()) {
        if (!wheel) UpdateHotNode(x, y);
        TCustomControl::WMMouseMove(Message);
        return;
    }
    if (FStates.Contains(tsScrolling) || !UpdateSelectionRect(x, y)) return;
    ApplyRubberBandSelection(x, y);
    InvalidateWhenShown();
    if (HandleAllocated()) Update();
}

void TBaseLazyTree::UpdateHotNode(int X, int Y) {
    PLazyNode before = FCurrentHotNode;
    THitInfo hit;
    GetHitTestInfoAt(X, Y, true, hit);
    const THitPositions hp = hit.HitPositions;
    PLazyNode hot = nullptr;
    if (hp.Contains(hiOnItemLabel) || hp.Contains(hiOnItemCheckbox) ||
        (FStates.Contains(tsUseExplorerTheme) && hp.Contains(hiOnItemButtonExact)) ||
        (TreeOptions()->SelectionOptions().Contains(toFullRowSelect) && !hp.Contains(hiNowhere)))
        hot = hit.HitNode;
    const bool repaint = TreeOptions()->PaintOptions().Contains(toHotTrack) ||
                         TreeOptions()->MiscOptions().Contains(toCheckSupport);
    if (hot != FCurrentHotNode || hit.HitColumn != FCurrentHotColumn) {
        FireHotChange(FCurrentHotNode, hot);
        if (repaint && FCurrentHotNode) InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = hot;
        FCurrentHotColumn = hit.HitColumn;
    }
    const bool buttonHit = hp.Contains(hiOnItemButtonExact);
    if (FCurrentHotNode) {
        if (buttonHit != FHotNodeButtonHit || repaint) {
            FHotNodeButtonHit = buttonHit;
            InvalidateNode(FCurrentHotNode);
        }
    } else {
        FHotNodeButtonHit = false;
    }
    if (before && before != FCurrentHotNode) InvalidateNode(before);
}

void TBaseLazyTree::WMSetCursor(TWMSetCursor& Message) {
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
        // The mouse is captured while panning: the panning cursor stays.
        if (Screen) Screen->SetCurrentCursor(FPanningCursor);
        Message.M.Result = 1;
        return;
    }
    if (!HandleAllocated() || Message.CursorWnd() != Handle() ||
        (Screen && Screen->Cursor() != crDefault)) {
        TCustomControl::WMSetCursor(Message);
        return;
    }
    TCursor c = crDefault;
    TPoint p;
    GetCursorPos(p);
    p = ScreenToClient(p);
    if (TreeOptions()->MiscOptions().Contains(toNodeHeightResize)) {
        THitInfo hit;
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        if (hit.HitPositions.Contains(hiOnItem) && (hit.HitPositions.Contains(hiUpperSplitter) ||
                                                    hit.HitPositions.Contains(hiLowerSplitter))) {
            PLazyNode node = hit.HitPositions.Contains(hiUpperSplitter)
                                 ? GetPreviousVisible(hit.HitNode)
                                 : hit.HitNode;
            if (NodeSplitterResizeAllowed(p, node, hit.HitColumn)) c = crNodeSplitter;
        }
    }
    if (c == crDefault) {
        if (TreeOptions()->PaintOptions().Contains(toHotTrack) && FCurrentHotNode &&
            FHotCursor != crDefault)
            c = FHotCursor;
        else
            c = Cursor();
    }
    FireGetCursor(c);
    if (Screen) Screen->SetCurrentCursor(c);
    Message.M.Result = 1;
}

void TBaseLazyTree::CMMouseLeave(TMessage& Message) {
    ChangeTreeStates({}, {tsHint});
    if (!FStates.Contains(tsWheelPanning) && !FStates.Contains(tsWheelScrolling)) {
        killTreeTimer(ScrollTimer);
        ChangeTreeStates({}, {tsScrolling, tsScrollPending});
    }
    if (FCurrentHotNode) {
        FireHotChange(FCurrentHotNode, nullptr);
        if (TreeOptions()->PaintOptions().Contains(toHotTrack) ||
            TreeOptions()->MiscOptions().Contains(toCheckSupport))
            InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = nullptr;
    }
    TCustomControl::CMMouseLeave(Message);
}

// --- the wheel and wheel panning --------------------------------------------------------------

void TBaseLazyTree::CMMouseWheel(TMessage& Message) {
    EndWheelPanning();
    TCustomControl::CMMouseWheel(Message);
    if (Message.Result != 0) return;
    Message.Result = 1;
    TWMMouseWheel w(Message);
    TShiftState shift = mouseShift(w.Keys());
    const double f = w.WheelDelta() / 120.0;
    if (ClientHeight() < RangeY() && !shift.Contains(ssShift)) {
        double amount;
        if (shift.Contains(ssCtrl))
            amount = ClientHeight() * f;
        else
            amount = WheelScrollLines * f * double(FDefaultNodeHeight);
        SetOffsetY(FOffsetY + int(std::trunc(amount)));
    } else {
        double amount;
        if (shift.Contains(ssCtrl))
            amount = ClientWidth() * f;
        else
            amount = double(ScrollBarOptions()->HorizontalIncrement()) * WheelScrollLines * f;
        SetOffsetX(FOffsetX + mirrorSign() * int(std::trunc(amount)));
    }
}

namespace {

// The pictures of the panning indicator: a disc with arrows in the directions the content can
// move; magenta pixels are transparent.
enum PanningKind { panAll, panEastWest, panNorthSouth };
constexpr TColor clPanningTransparent = TColor(0xFF00FF);

std::unique_ptr<TBitmap> panningPicture(PanningKind kind) {
    auto bmp = std::make_unique<TBitmap>(32, 32);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clPanningTransparent);
    c->FillRect(TRect(0, 0, 32, 32));
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clWhite);
    c->Ellipse(0, 0, 32, 32);
    c->Brush()->SetColor(clBlack);
    c->Ellipse(13, 13, 19, 19);
    auto arrow = [&](const std::vector<TPoint>& pts) { c->Polygon(pts); };
    if (kind != panEastWest) {
        arrow({{16, 3}, {11, 9}, {21, 9}});
        arrow({{16, 28}, {11, 22}, {21, 22}});
    }
    if (kind != panNorthSouth) {
        arrow({{3, 16}, {9, 11}, {9, 21}});
        arrow({{28, 16}, {22, 11}, {22, 21}});
    }
    return bmp;
}

// The indicator: a pop-up window shaped like its picture.
class TPanningIndicator : public TCustomControl {
public:
    TPanningIndicator(TWinControl* Tree, const TBitmap* Picture)
        : TCustomControl(Tree), FPicture(Picture) {
        SetVisible(false);
        SetParent(Tree);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        Params.Style = WS_POPUP;
        Params.ExStyle = WS_EX_TOOLWINDOW;
    }
    void Paint() override { Canvas()->Draw(0, 0, FPicture); }

private:
    const TBitmap* FPicture;
};

// One rectangle per run of non-transparent pixels in each row.
HRGN regionOfPicture(const TBitmap& picture) {
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < picture.Height(); ++y) {
        int x = 0;
        while (x < picture.Width()) {
            while (x < picture.Width() && picture.PixelColor(x, y) == clPanningTransparent) ++x;
            const int start = x;
            while (x < picture.Width() && picture.PixelColor(x, y) != clPanningTransparent) ++x;
            if (x > start) {
                HRGN run = CreateRectRgn(start, y, x, y + 1);
                CombineRgn(result, result, run, RGN_OR);
                DeleteObject(run);
            }
        }
    }
    return result;
}

} // namespace

void TBaseLazyTree::BeginWheelPanning(TPoint Position) {
    killTreeTimer(ScrollTimer);
    ChangeTreeStates({tsWheelPanning, tsWheelScrolling}, {});
    FLastClickPos = Position;
    const bool wider = ClientWidth() < GetTreeRect().Right;
    const bool higher = ClientHeight() < RangeY();
    FPanningImage = panningPicture(wider && higher ? panAll : wider ? panEastWest : panNorthSouth);
    if (FPanningImage->Width() == 0 || FPanningImage->Height() == 0)
        throw EAssertionFailed("Invalid wheel panning image.");
    if (HandleAllocated()) {
        auto* indicator = new TPanningIndicator(this, FPanningImage.get());
        FPanningWindow = indicator;
        const TPoint screen = ClientToScreen(Position);
        indicator->SetBounds(screen.X - 16, screen.Y - 16, 32, 32);
        SetWindowRgn(indicator->Handle(), regionOfPicture(*FPanningImage), false);
        indicator->SetVisible(true);
    }
    SetFocus();
    SetMouseCapture(true);
    if (HandleAllocated()) SetTimer(Handle(), ScrollTimer, 20);
    UpdatePanningCursor(Position.X, Position.Y);
}

void TBaseLazyTree::EndWheelPanning() {
    if (!FStates.Contains(tsWheelPanning) && !FStates.Contains(tsWheelScrolling)) return;
    killTreeTimer(ScrollTimer);
    SetMouseCapture(false);
    ChangeTreeStates({}, {tsWheelPanning, tsWheelScrolling});
    delete FPanningWindow;
    FPanningWindow = nullptr;
    FPanningImage.reset();
    FPanningCursor = crDefault;
    if (Screen) Screen->SetCurrentCursor(Cursor());
}

void TBaseLazyTree::UpdatePanningCursor(int X, int Y) {
    const int dx = X - FLastClickPos.X;
    const int dy = Y - FLastClickPos.Y;
    const bool wider = ClientWidth() < GetTreeRect().Right;
    const bool higher = ClientHeight() < RangeY();
    // The directional cursors are shown by the platform's sizing cursors of the same axis.
    TCursor cursor;
    if (std::abs(dx) <= 7 && std::abs(dy) <= 7)
        cursor = !wider ? crSizeNS : higher ? crSizeAll : crSizeWE;
    else if (wider && higher)
        cursor = dx < -8  ? (dy < -8  ? crSizeNWSE
                             : dy > 8 ? crSizeNESW
                                      : crSizeWE)
                 : dx > 8 ? (dy < -8  ? crSizeNESW
                             : dy > 8 ? crSizeNWSE
                                      : crSizeWE)
                          : crSizeNS;
    else if (wider)
        cursor = crSizeWE;
    else
        cursor = crSizeNS;
    if (cursor == FPanningCursor) return;
    FPanningCursor = cursor;
    if (Screen) Screen->SetCurrentCursor(cursor);
}

// --- popup menus ------------------------------------------------------------------------------

TPopupMenu* TBaseLazyTree::QueryPopupMenu(PLazyNode Node, int Column, TPoint P) {
    if (!OnGetPopupMenu) return nullptr;
    TPopupMenu* menu = nullptr;
    bool askParent = true;
    if (!Node) {
        OnGetPopupMenu(this, nullptr, NoColumn, P, askParent, menu);
        return menu;
    }
    for (PLazyNode n = Node;;) {
        OnGetPopupMenu(this, n, Column, P, askParent, menu);
        if (menu || !askParent || n->Parent == FRoot) break;
        n = n->Parent;
    }
    return menu;
}

bool TBaseLazyTree::PopupMenuAvailable(PLazyNode Node, int Column, TPoint P) {
    return PopupMenu() || QueryPopupMenu(Node, Column, P);
}

void TBaseLazyTree::ShowNodePopupMenu(PLazyNode Node, int Column, TPoint P) {
    TPopupMenu* menu = QueryPopupMenu(Node, Column, P);
    if (!menu) return;
    ChangeTreeStates({tsPopupMenuShown}, {});
    killTreeTimer(EditTimer);
    menu->SetPopupComponent(this);
    const TPoint s = ClientToScreen(P);
    menu->Popup(s.X, s.Y);
}

void TBaseLazyTree::WMContextMenu(TWMContextMenu& Message) {
    ChangeTreeStates({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending});
    if (FStates.Contains(tsPopupMenuShown)) return;
    TCustomControl::WMContextMenu(Message);
}

// --- focus and cancelled modes ----------------------------------------------------------------

void TBaseLazyTree::WMSetFocus(TWMSetFocus& Message) {
    TCustomControl::WMSetFocus(Message);
    if (!(FSelectionCount == 0 && TreeOptions()->PaintOptions().Contains(toGhostedIfUnfocused)))
        InvalidateWhenShown();
    EnsureNodeSelected();
}

void TBaseLazyTree::WMKillFocus(TWMKillFocus& Message) {
    TCustomControl::WMKillFocus(Message);
    if (FStates.Contains(tsHint) && Application) Application->CancelHint();
    EndWheelPanning();
    for (std::uintptr_t id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer})
        killTreeTimer(id);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
    abandonPendingCheck();
    ChangeTreeStates({}, {tsEditPending, tsNodeHeightTracking, tsNodeHeightTrackPending,
                          tsIncrementalSearching, tsLeftButtonDown, tsMiddleButtonDown,
                          tsOLEDragPending, tsRightButtonDown, tsScrolling, tsScrollPending,
                          tsVCLDragPending});
    if (FSelectionCount == 0 && TreeOptions()->PaintOptions().Contains(toGhostedIfUnfocused))
        InvalidateNode(FFocusedNode);
    else
        InvalidateWhenShown();
}

void TBaseLazyTree::WMCancelMode(TWMNoParams& Message) {
    for (std::uintptr_t id :
         {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer, ThemeTimer})
        killTreeTimer(id);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
    abandonPendingCheck();
    ChangeTreeStates({}, {tsClearPending, tsDrawSelPending, tsDrawSelecting, tsEditPending,
                          tsIncrementalSearching, tsOLEDragPending, tsVCLDragPending});
    TCustomControl::WMCancelMode(Message);
}

// A check click or space bar whose release will not come here: the node shows its state again
// and check input is taken again.
void TBaseLazyTree::abandonPendingCheck() {
    ChangeTreeStates({}, {tsKeyCheckPending, tsMouseCheckPending});
    if (PLazyNode node = FCheckNode) {
        FCheckNode = nullptr;
        node->CheckState = UnpressedCheckState(node->CheckState);
        InvalidateNode(node);
    }
}

// --- event firers -----------------------------------------------------------------------------

void TBaseLazyTree::FireGetCursor(TCursor& Cursor) {
    if (OnGetCursor) OnGetCursor(this, Cursor);
}

void TBaseLazyTree::FireHotChange(PLazyNode OldNode, PLazyNode NewNode) {
    if (OnHotChange) OnHotChange(this, OldNode, NewNode);
}

void TBaseLazyTree::FireNodeClick(const THitInfo& HitInfo) {
    if (OnNodeClick) OnNodeClick(this, HitInfo);
}

void TBaseLazyTree::FireNodeDblClick(const THitInfo& HitInfo) {
    if (OnNodeDblClick) OnNodeDblClick(this, HitInfo);
}

void TBaseLazyTree::FireColumnClick(TColumnIndex Column, TShiftState Shift) {
    if (OnColumnClick) OnColumnClick(this, Column, Shift);
}

void TBaseLazyTree::FireColumnDblClick(TColumnIndex Column, TShiftState Shift) {
    if (OnColumnDblClick) OnColumnDblClick(this, Column, Shift);
}

void TBaseLazyTree::FireCanSplitterResizeNode(TPoint P, PLazyNode Node, int Column, bool& Allowed) {
    if (OnCanSplitterResizeNode) OnCanSplitterResizeNode(this, P, Node, Column, Allowed);
}

bool TBaseLazyTree::FireNodeHeightDblClickResize(PLazyNode Node, int Column, TShiftState Shift,
                                                 TPoint P) {
    bool allowed = true;
    if (OnNodeHeightDblClickResize)
        OnNodeHeightDblClickResize(this, Node, Column, Shift, P, allowed);
    return allowed;
}

bool TBaseLazyTree::FireNodeHeightTracking(PLazyNode Node, int Column, TShiftState Shift,
                                           TPoint& TrackPoint, TPoint P) {
    bool allowed = true;
    if (OnNodeHeightTracking)
        OnNodeHeightTracking(this, Node, Column, Shift, TrackPoint, P, allowed);
    return allowed;
}
