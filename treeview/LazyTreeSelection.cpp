// The selection (an array of nodes sorted by address, merged and compacted in batches), the
// range anchor, the focused node and column, and the rubber band.
#include "platform/base/SysUtils.h"
#include "platform/base/Threads.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <cstdint>

namespace {

std::uintptr_t addr(PLazyNode n) {
    return reinterpret_cast<std::uintptr_t>(n);
}

// A batch removal marks an entry by setting the lowest bit of its address (nodes are aligned).
bool isMarked(PLazyNode n) {
    return (addr(n) & 1) != 0;
}

PLazyNode marked(PLazyNode n) {
    return reinterpret_cast<PLazyNode>(addr(n) | 1);
}

TRect ordered(const TRect& r) {
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
            std::max(r.Top, r.Bottom)};
}

} // namespace

// --- the selection array ----------------------------------------------------------------------

bool TBaseLazyTree::LocateInSelection(PLazyNode P, int& Index, int LowBound, int HighBound) const {
    int lo = std::max(LowBound, 0);
    int hi = HighBound < 0 ? int(FSelectionCount) - 1 : HighBound;
    bool found = false;
    while (hi >= lo) {
        const int mid = (lo + hi) / 2;
        if (addr(FSelection[std::size_t(mid)]) < addr(P)) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (FSelection[std::size_t(mid)] == P) {
                lo = mid;
                found = true;
            }
        }
    }
    Index = lo;
    return found;
}

int TBaseLazyTree::compactNodeArray(TNodeArray& Items, int Count) {
    if (Count == 0) return -1;
    int kept = 0;
    for (int i = 0; i < Count; ++i)
        if (!isMarked(Items[std::size_t(i)])) Items[std::size_t(kept++)] = Items[std::size_t(i)];
    return kept;
}

void TBaseLazyTree::CompactSelection() {
    const int n = compactNodeArray(FSelection, int(FSelection.size()));
    if (n < 0) return;
    FSelectionCount = std::uint32_t(n);
    FSelection.resize(std::size_t(n));
}

void TBaseLazyTree::AddToTempNodeCache(PLazyNode Node) {
    if (FTempNodeCount == FTempNodeCache.size())
        FTempNodeCache.resize(
            FTempNodeCache.size() < 100 ? 100 : FTempNodeCache.size() + FTempNodeCache.size() / 10);
    FTempNodeCache[FTempNodeCount++] = Node;
}

void TBaseLazyTree::ClearTempNodeCache() {
    FTempNodeCache.clear();
    FTempNodeCount = 0;
}

bool TBaseLazyTree::mergeIntoSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert) {
    const int count0 = int(FSelectionCount);
    if (ForceInsert) {
        for (int i = 0; i < NewLength; ++i) {
            PLazyNode n = NewItems[std::size_t(i)];
            n->States.Include(vsSelected);
            ++FSelectionCount;
            FireAddToSelection(n);
        }
    } else {
        const TLTSelectionOptions options = TreeOptions()->SelectionOptions();
        const bool levelConstraint = options.Contains(toLevelSelectConstraint);
        const bool siblingConstraint = options.Contains(toSiblingSelectConstraint);
        if (NewLength > 0) {
            if (levelConstraint && FLastSelectionLevel == -1)
                FLastSelectionLevel = int(GetNodeLevel(NewItems[0]));
            if (siblingConstraint && !FRangeAnchor) FRangeAnchor = NewItems[0];
        }
        for (int i = 0; i < NewLength; ++i) {
            PLazyNode n = NewItems[std::size_t(i)];
            const bool skip = n->States.Contains(vsDisabled) || n->States.Contains(vsSelected) ||
                              (levelConstraint && int(GetNodeLevel(n)) != FLastSelectionLevel) ||
                              (siblingConstraint && n->Parent != FRangeAnchor->Parent);
            if (skip) {
                NewItems[std::size_t(i)] = marked(n);
            } else {
                n->States.Include(vsSelected);
                ++FSelectionCount;
                FireAddToSelection(n);
            }
        }
    }
    int n = compactNodeArray(NewItems, NewLength);
    if (n < 0) n = NewLength;
    if (n <= 0) return false;
    std::sort(NewItems.begin(), NewItems.begin() + n,
              [](PLazyNode a, PLazyNode b) { return addr(a) < addr(b); });
    if (std::size_t(count0 + n) >= FSelection.size()) FSelection.resize(std::size_t(count0 + n));
    int i = n - 1;
    int k = count0 - 1;
    while (i >= 0) {
        if (k < 0) {
            std::copy(NewItems.begin(), NewItems.begin() + i + 1, FSelection.begin());
            break;
        }
        while (i >= 0 && addr(FSelection[std::size_t(k)]) < addr(NewItems[std::size_t(i)])) {
            FSelection[std::size_t(k + i + 1)] = NewItems[std::size_t(i)];
            --i;
        }
        if (i >= 0) {
            int d = 0;
            LocateInSelection(NewItems[std::size_t(i)], d, 0, k);
            for (int j = k; j >= d; --j)
                FSelection[std::size_t(j + i + 1)] = FSelection[std::size_t(j)];
            k = d - 1;
        }
    }
    if (int(FSelectionCount) != count0 + n)
        throw EAssertionFailed("Fixing issue #487 seems to ahve caused a problem here.");
    return true;
}

void TBaseLazyTree::mergeNodeIntoSelection(PLazyNode Node, bool ForceInsert) {
    if (!Node) throw EAssertionFailed("Node must not be nil!");
    FSingletonNodeArray[0] = Node;
    mergeIntoSelection(FSingletonNodeArray, 1, ForceInsert);
}

void TBaseLazyTree::AddToSelection(PLazyNode Node) {
    if (FSelectionLocked) return;
    if (!Node) throw EAssertionFailed("Node must not be nil!");
    FSingletonNodeArray[0] = Node;
    if (!mergeIntoSelection(FSingletonNodeArray, 1, false)) return;
    if (FSelectionCount == 1) SetFocusedNode(Node);
    InvalidateNode(Node);
    ReportChange(Node);
}

void TBaseLazyTree::AddNodesToSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert) {
    if (!mergeIntoSelection(NewItems, NewLength, ForceInsert)) return;
    if (NewLength == 1) {
        InvalidateNode(NewItems[0]);
        ReportChange(NewItems[0]);
    } else {
        InvalidateWhenShown();
        ReportChange(nullptr);
    }
}

void TBaseLazyTree::RemoveFromSelection(PLazyNode Node) {
    if (FSelectionLocked) return;
    if (!Node) throw EAssertionFailed("Node must not be nil!");
    if (!TThread::IsMainThread())
        throw EAssertionFailed(ClassName() +
                               ".RemoveFromSelection() must only be called from UI thread.");
    if (!Node->States.Contains(vsSelected)) return;
    Node->States.Exclude(vsSelected);
    int index = 0;
    if (LocateInSelection(Node, index, 0, -1)) FSelection.erase(FSelection.begin() + index);
    --FSelectionCount;
    FSelection.resize(FSelectionCount);
    if (FSelectionCount == 0) ClearRangeAnchor();
    if (FSelectionCount <= 1) PickNextNodeToSelect(Node);
    FireRemoveFromSelection(Node);
    ReportChange(Node);
}

void TBaseLazyTree::PickNextNodeToSelect(PLazyNode Node) {
    if (!TreeOptions()->SelectionOptions().Contains(toAlwaysSelectNode)) return;
    if (Node->NextSibling)
        FNextNodeToSelect = Node->NextSibling;
    else if (Node->PrevSibling)
        FNextNodeToSelect = Node->PrevSibling;
    else if (Node->Parent != FRoot)
        FNextNodeToSelect = Node->Parent;
    else
        FNextNodeToSelect = Node->FirstChild;
}

void TBaseLazyTree::MarkNodeUnselected(PLazyNode Node) {
    int index = 0;
    if (!LocateInSelection(Node, index, 0, -1)) return;
    Node->States.Exclude(vsSelected);
    FSelection[std::size_t(index)] = marked(Node);
    FireRemoveFromSelection(Node);
    AddPendingChange(false, Node, crIgnore);
}

void TBaseLazyTree::ResetSelection() {
    if (FUpdateCount > 0) CompactSelection();
    for (std::size_t i = std::min<std::size_t>(FSelectionCount, FSelection.size()); i-- > 0;) {
        PLazyNode n = FSelection[i];
        --FSelectionCount;
        n->States.Exclude(vsSelected);
        FireRemoveFromSelection(n);
    }
    FSelectionCount = 0;
    ClearRangeAnchor();
    FSelection.clear();
    ChangeTreeStates({}, {tsClearPending});
}

void TBaseLazyTree::ClearRangeAnchor() {
    FRangeAnchor = FFocusedNode;
    FLastSelectionLevel = -1;
}

void TBaseLazyTree::RepaintAndClearSelection(bool Notify) {
    if (FSelectionCount == 0 || FDestroying) return;
    for (std::size_t i = 0; i < FSelectionCount && i < FSelection.size(); ++i)
        if (!isMarked(FSelection[i])) InvalidateNode(FSelection[i]);
    ResetSelection();
    if (Notify) ReportChange(nullptr);
}

void TBaseLazyTree::ClearSelection() {
    RepaintAndClearSelection(true);
}

void TBaseLazyTree::FireAddToSelection(PLazyNode Node) {
    if (OnAddToSelection) OnAddToSelection(this, Node);
}

void TBaseLazyTree::FireRemoveFromSelection(PLazyNode Node) {
    if (OnRemoveFromSelection) OnRemoveFromSelection(this, Node);
}

// --- selecting many nodes ---------------------------------------------------------------------

void TBaseLazyTree::SelectAll(bool VisibleOnly) {
    if (!TreeOptions()->SelectionOptions().Contains(toMultiSelect) || FSelectionLocked) return;
    ClearTempNodeCache();
    for (PLazyNode n = VisibleOnly ? GetFirstVisible() : GetFirst(); n;
         n = VisibleOnly ? GetNextVisible(n) : GetNext(n))
        if (!n->States.Contains(vsSelected)) AddToTempNodeCache(n);
    if (FTempNodeCount > 0) AddNodesToSelection(FTempNodeCache, int(FTempNodeCount), false);
    ClearTempNodeCache();
    InvalidateWhenShown();
}

void TBaseLazyTree::InvertSelection(bool VisibleOnly) {
    if (!TreeOptions()->SelectionOptions().Contains(toMultiSelect) || FSelectionLocked) return;
    ClearTempNodeCache();
    for (PLazyNode n = VisibleOnly ? GetFirstVisibleNoInit() : GetFirstNoInit(); n;
         n = VisibleOnly ? GetNextVisibleNoInit(n) : GetNextNoInit(n)) {
        if (n->States.Contains(vsSelected))
            MarkNodeUnselected(n);
        else
            AddToTempNodeCache(n);
    }
    const std::uint32_t before = FSelectionCount;
    const int kept = compactNodeArray(FSelection, int(FSelection.size()));
    if (kept >= 0) {
        FSelectionCount = std::uint32_t(kept);
        FSelection.resize(std::size_t(kept));
    }
    const bool adding = FTempNodeCount > 0;
    if (adding) AddNodesToSelection(FTempNodeCache, int(FTempNodeCount), false);
    ClearTempNodeCache();
    InvalidateWhenShown();
    if (kept >= 0 && std::uint32_t(kept) != before && !adding) ReportChange(nullptr);
    if (FSelectionCount == 0) FNextNodeToSelect = nullptr;
}

void TBaseLazyTree::SelectNodeRange(PLazyNode StartNode, PLazyNode EndNode, bool AddOnly) {
    if (!EndNode) throw EAssertionFailed("EndNode must not be nil!");
    if (FSelectionLocked) return;
    ClearTempNodeCache();
    if (!StartNode) {
        StartNode = GetFirstVisible();
    } else if (!FullyVisible(StartNode)) {
        PLazyNode p = GetPreviousVisible(StartNode);
        StartNode = p ? p : GetFirstVisible();
    }
    if (!StartNode) return;
    if (NodePositionOrder(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
    PLazyNode anchor = FRangeAnchor;
    if (!AddOnly) ResetSelection();
    for (PLazyNode n = StartNode; n; n = GetNextVisible(n)) {
        AddToTempNodeCache(n);
        if (n == EndNode) break;
    }
    AddNodesToSelection(FTempNodeCache, int(FTempNodeCount), false);
    ClearTempNodeCache();
    if (anchor && anchor->States.Contains(vsSelected)) FRangeAnchor = anchor;
}

void TBaseLazyTree::ToggleNodeRange(PLazyNode StartNode, PLazyNode EndNode) {
    if (FSelectionLocked) return;
    if (!EndNode) throw EAssertionFailed("EndNode must not be nil!");
    if (!StartNode) {
        StartNode = GetFirstChild(nullptr);
    } else if (!FullyVisible(StartNode)) {
        PLazyNode p = GetPreviousVisible(StartNode);
        if (p) StartNode = p;
    }
    if (!StartNode) return;
    const int order = NodePositionOrder(StartNode, EndNode, false);
    if (order == 0) return;
    ClearTempNodeCache();
    PLazyNode first = order < 0 ? StartNode : EndNode;
    PLazyNode last = order < 0 ? EndNode : StartNode;
    auto toggle = [this](PLazyNode n) {
        if (n->States.Contains(vsSelected))
            MarkNodeUnselected(n);
        else
            AddToTempNodeCache(n);
    };
    if (FRangeAnchor && NodePositionOrder(first, FRangeAnchor, false) < 0) toggle(first);
    for (PLazyNode n = GetNextVisible(first); n && n != last; n = GetNextVisible(n)) toggle(n);
    if (FRangeAnchor && NodePositionOrder(last, FRangeAnchor, false) > 0) toggle(last);
    CompactSelection();
    if (FRangeAnchor && !FRangeAnchor->States.Contains(vsSelected))
        AddToTempNodeCache(FRangeAnchor);
    if (FTempNodeCount > 0) AddNodesToSelection(FTempNodeCache, int(FTempNodeCount), false);
    ClearTempNodeCache();
}

void TBaseLazyTree::UnselectNodeRange(PLazyNode StartNode, PLazyNode EndNode) {
    if (FSelectionLocked) return;
    if (!EndNode) throw EAssertionFailed("EndNode must not be nil!");
    if (!StartNode) {
        StartNode = GetFirstChild(nullptr);
    } else if (!FullyVisible(StartNode)) {
        PLazyNode p = GetPreviousVisible(StartNode);
        StartNode = p ? p : GetFirstChild(nullptr);
    }
    if (!StartNode) return;
    if (NodePositionOrder(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
    for (PLazyNode n = StartNode; n; n = GetNextVisible(n)) {
        if (n->States.Contains(vsSelected)) MarkNodeUnselected(n);
        if (n == EndNode) break;
    }
    CompactSelection();
}

void TBaseLazyTree::ApplyClickSelection(PLazyNode, PLazyNode NewNode, bool DragPending,
                                        TShiftState Shift) {
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool shift = Shift.Contains(ssShift);
    if (ctrl && shift) {
        SelectNodeRange(FRangeAnchor, NewNode, true);
        InvalidateWhenShown();
    } else if (ctrl) {
        if (!TreeOptions()->SelectionOptions().Contains(toSiblingSelectConstraint))
            FRangeAnchor = NewNode;
        if (DragPending) {
            ChangeTreeStates({tsToggleFocusedSelection}, {});
        } else if (NewNode->States.Contains(vsSelected)) {
            RemoveFromSelection(NewNode);
        } else {
            AddToSelection(NewNode);
        }
        InvalidateWhenShown();
    } else if (shift) {
        if (!FRangeAnchor) FRangeAnchor = GetFirstChild(nullptr);
        SelectNodeRange(FRangeAnchor, NewNode, false);
        InvalidateWhenShown();
    } else {
        if (!NewNode->States.Contains(vsSelected)) {
            AddToSelection(NewNode);
            InvalidateNode(NewNode);
        }
        FRangeAnchor = NewNode;
    }
}

// --- the Selected property and sorted selections -----------------------------------------------

void TBaseLazyTree::SetSelected(PLazyNode Node, bool Value) {
    if (FSelectionLocked || !Node || Node == FRoot || Value == Node->States.Contains(vsSelected))
        return;
    const bool multi = TreeOptions()->SelectionOptions().Contains(toMultiSelect);
    if (Value) {
        if (FSelectionCount == 0)
            FRangeAnchor = Node;
        else if (!multi)
            ClearSelection();
        AddToSelection(Node);
        if (!multi) SetFocusedNode(Node);
        if (!FRangeAnchor) FRangeAnchor = Node;
    } else {
        RemoveFromSelection(Node);
        if (FSelectionCount == 0) ClearRangeAnchor();
    }
    if (FullyVisible(Node) && !GetEffectivelyFiltered(Node)) InvalidateNode(Node);
}

TNodeArray TBaseLazyTree::GetSortedSelection(bool Resolve) {
    TNodeArray result;
    if (FSelectionCount == 0) return result;
    result.reserve(FSelectionCount);
    for (PLazyNode n = GetFirstNoInit(); n;) {
        if (!n->States.Contains(vsSelected)) {
            n = GetNextNoInit(n);
            continue;
        }
        result.push_back(n);
        if (!Resolve) {
            n = GetNextNoInit(n);
            continue;
        }
        PLazyNode next = n;
        while (next != FRoot && !next->NextSibling) next = next->Parent;
        n = next == FRoot ? nullptr : next->NextSibling;
    }
    return result;
}

// --- focus ------------------------------------------------------------------------------------

bool TBaseLazyTree::FireFocusChanging(PLazyNode OldNode, PLazyNode NewNode, int OldColumn,
                                      int NewColumn) {
    // A column that may not take the focus is refused from the start.
    bool allowed = OldColumn == NewColumn || FHeader->AllowFocus(NewColumn);
    if (OnFocusChanging) OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, allowed);
    return allowed;
}

void TBaseLazyTree::FireFocusChanged(PLazyNode Node, int Column) {
    if (OnFocusChanged) OnFocusChanged(this, Node, Column);
    NotifyAccessibleFocus();
}

void TBaseLazyTree::ApplyFocusedNode(PLazyNode Node, bool Ask) {
    if (Node == FRoot) Node = nullptr;
    const TLTAutoOptions autoOptions = TreeOptions()->AutoOptions();
    if (Node != FFocusedNode &&
        (!Ask || FireFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn))) {
        PLazyNode old = FFocusedNode;
        if (old) {
            if (autoOptions.Contains(toAutoExpand) && Node && Node->Parent == old->Parent &&
                old->States.Contains(vsExpanded))
                ToggleNode(old);
            else
                InvalidateNode(old);
        }
        FFocusedNode = Node;
    }
    if (FFocusedNode) {
        if (autoOptions.Contains(toAutoExpand) && !FFocusedNode->States.Contains(vsExpanded))
            ToggleNode(FFocusedNode);
        InvalidateNode(FFocusedNode);
        if (FUpdateCount == 0 && !autoOptions.Contains(toDisableAutoscrollOnFocus)) {
            const bool buttonHeld = FStates.Contains(tsLeftButtonDown) ||
                                    FStates.Contains(tsMiddleButtonDown) ||
                                    FStates.Contains(tsRightButtonDown);
            ScrollIntoView(FFocusedNode,
                           TreeOptions()->SelectionOptions().Contains(toCenterScrollIntoView) &&
                               !buttonHeld);
        }
    }
    if (FSelectionCount == 0) ClearRangeAnchor();
}

void TBaseLazyTree::SetFocusedNode(PLazyNode Value) {
    PLazyNode old = FFocusedNode;
    ApplyFocusedNode(Value, true);
    if (Value != old && FFocusedNode == Value) FireFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseLazyTree::SetFocusedColumn(int Value) {
    if (Value == FFocusedColumn) return;
    if (!FireFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value)) return;
    FFocusedColumn = Value;
    InvalidateWhenShown();
    if (FFocusedNode && !TreeOptions()->AutoOptions().Contains(toDisableAutoscrollOnFocus) &&
        ScrollIntoView(FFocusedNode,
                       TreeOptions()->SelectionOptions().Contains(toCenterScrollIntoView)))
        InvalidateNode(FFocusedNode);
    FireFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseLazyTree::MoveFocusTo(PLazyNode Node, int Column) {
    if (!FHeader->AllowFocus(Column)) Column = FFocusedColumn;
    const bool changed = Node != FFocusedNode || Column != FFocusedColumn;
    const int oldColumn = FFocusedColumn;
    FFocusedColumn = Column;
    ApplyFocusedNode(Node, true);
    if (FFocusedNode == Node) {
        if (changed) FireFocusChanged(FFocusedNode, FFocusedColumn);
    } else {
        FFocusedColumn = oldColumn;
    }
}

void TBaseLazyTree::EnsureNodeSelected() {
    if (!TreeOptions()->SelectionOptions().Contains(toAlwaysSelectNode) || IsEmpty()) return;
    if (FSelectionCount == 0 && !FSelectionLocked) {
        if (FNextNodeToSelect)
            SetSelected(FNextNodeToSelect, true);
        else if (Focused())
            SetSelected(GetFirstVisible(), true);
    }
    AssureFocusedNode();
    if (PLazyNode first = GetFirstSelected()) ScrollIntoView(first, false);
}

// --- the rubber band --------------------------------------------------------------------------

bool TBaseLazyTree::UpdateSelectionRect(int X, int Y) {
    if (FStates.Contains(tsDrawSelecting)) FLastSelRect = FNewSelRect;
    const TRect tree = GetTreeRect();
    FNewSelRect.Right =
        std::clamp(X + FEffectiveOffsetX - ColumnsRightToLeftOffset(), 0, tree.Right);
    FNewSelRect.Bottom = std::clamp(Y - FOffsetY, 0, tree.Bottom);
    return !(FNewSelRect == FLastSelRect);
}

bool TBaseLazyTree::ApplyRubberBandSelection(int, int) {
    if (IsEmpty() || !FStates.Contains(tsDrawSelecting)) return false;
    const TRect oldRect = ordered(FLastSelRect);
    const TRect newRect = ordered(FNewSelRect);
    ClearTempNodeCache();
    bool changed;
    const int main = MainColumn();
    if (CellBiDiMode(main) == bdLeftToRight) {
        // Without header columns the nodes span the client width.
        changed = collectRectNodes(newRect, oldRect, 0, ClientWidth());
    } else {
        // Mirrored nodes hang from the main cell's right edge (the tree's without columns).
        int left = 0, right = GetTreeRect().Right;
        if (FHeader->UseColumns() && FHeader->Columns()->IsValidColumn(main))
            FHeader->Columns()->Items(main)->GetUnscrolledBounds(left, right);
        changed =
            collectRectNodesRightToLeft(newRect, oldRect, left, right, CellAlignment(main, false));
    }
    if (changed) {
        CompactSelection();
        if (FTempNodeCount > 0) {
            AddNodesToSelection(FTempNodeCache, int(FTempNodeCount), false);
            ClearTempNodeCache();
        }
        ReportChange(nullptr);
    }
    return changed;
}

void TBaseLazyTree::bandCrossed(PLazyNode Node, bool Inside, bool Toggle) {
    if (Toggle ? Node->States.Contains(vsSelected) : !Inside)
        MarkNodeUnselected(Node);
    else if (!Node->States.Contains(vsSelected))
        AddToTempNodeCache(Node);
}

bool TBaseLazyTree::collectRectNodes(const TRect& NewRect, const TRect& OldRect, int NodeLeft,
                                     int MaxRight) {
    const int maxY = std::max(NewRect.Bottom, OldRect.Bottom);
    const bool toggle = FDrawSelShiftState.Contains(ssCtrl);
    const bool checks = TreeOptions()->MiscOptions().Contains(toCheckSupport) && CheckImages();
    const int checkOffset = checks ? CheckImages()->Width() + 2 : 0;
    const int stateOffset = FStateImages ? FStateImages->Width() + 2 : 0;
    const TLTSelectionOptions options = TreeOptions()->SelectionOptions();
    const bool simple =
        options.Contains(toSimpleDrawSelection) || options.Contains(toFullRowSelect);
    int nodeTop = 0;
    PLazyNode node = GetNodeAt(0, std::min(NewRect.Top, OldRect.Top), false, nodeTop);
    if (!node) return false;
    const int level =
        int(GetNodeLevel(node)) + (TreeOptions()->PaintOptions().Contains(toShowRoot) ? 1 : 0);
    NodeLeft += FMargin + level * int(FIndent);
    bool result = false;
    while (node) {
        int textLeft = NodeLeft;
        if (node->CheckType != ctNone) textLeft += checkOffset;
        if (FImages && NodeHasImage(node, ikNormal, MainColumn()))
            textLeft += QueryImageSize(node).X + 2;
        if (stateOffset > 0 && NodeHasImage(node, ikState, MainColumn())) textLeft += stateOffset;
        const int nextTop = nodeTop + int(node->NodeHeight);
        auto vertical = [&](const TRect& r) { return r.Top < nextTop && nodeTop < r.Bottom; };
        bool inOld, inNew;
        if (simple) {
            inOld = vertical(OldRect) && NodeLeft < OldRect.Right;
            inNew = vertical(NewRect) && NodeLeft < NewRect.Right;
        } else {
            int nodeRight;
            const int cellRight = MaxRight;
            if (textLeft >= NewRect.Left && textLeft >= OldRect.Left &&
                FAlignment == taLeftJustify) {
                nodeRight = cellRight;
            } else {
                const int w = QueryNodeWidth(node, MainColumn());
                if (w >= cellRight - textLeft) {
                    nodeRight = cellRight;
                } else if (FAlignment == taLeftJustify) {
                    nodeRight = textLeft + w;
                } else if (FAlignment == taCenter) {
                    textLeft = (textLeft + cellRight - w) / 2;
                    nodeRight = textLeft + w;
                } else {
                    textLeft = cellRight - w;
                    nodeRight = cellRight;
                }
            }
            auto in = [&](const TRect& r) {
                return nodeRight >= r.Left && r.Right >= textLeft && vertical(r);
            };
            inOld = in(OldRect);
            inNew = in(NewRect);
        }
        if (inOld != inNew) {
            result = true;
            bandCrossed(node, inNew, toggle);
        }
        nodeTop = nextTop;
        PLazyNode next = GetNextVisibleNoInit(node);
        if (next) NodeLeft += NodeLevelDifference(node, next) * int(FIndent);
        node = next;
        if (nodeTop > maxY) break;
    }
    return result;
}

bool TBaseLazyTree::collectRectNodesRightToLeft(const TRect& NewRect, const TRect& OldRect,
                                                int NodeLeft, int MaxRight, TAlignment Alignment) {
    const int maxY = std::max(NewRect.Bottom, OldRect.Bottom);
    const bool toggle = FDrawSelShiftState.Contains(ssCtrl);
    const bool checks = TreeOptions()->MiscOptions().Contains(toCheckSupport) && CheckImages();
    const int checkOffset = checks ? CheckImages()->Width() + 2 : 0;
    const int stateOffset = FStateImages ? FStateImages->Width() + 2 : 0;
    const bool simple = TreeOptions()->SelectionOptions().Contains(toSimpleDrawSelection);
    const TAlignment alignment = BiDiAlignment(Alignment, bdRightToLeft);
    int nodeTop = 0;
    PLazyNode node = GetNodeAt(0, std::min(NewRect.Top, OldRect.Top), false, nodeTop);
    if (!node) return false;
    const int level =
        int(GetNodeLevel(node)) + (TreeOptions()->PaintOptions().Contains(toShowRoot) ? 1 : 0);
    int nodeRight = MaxRight - (FMargin + level * int(FIndent));
    const int cellLeft = NodeLeft;
    bool result = false;
    while (node) {
        int textRight = nodeRight;
        if (node->CheckType != ctNone) textRight -= checkOffset;
        if (FImages && NodeHasImage(node, ikNormal, MainColumn()))
            textRight -= QueryImageSize(node).X + 2;
        if (stateOffset > 0 && NodeHasImage(node, ikState, MainColumn())) textRight -= stateOffset;
        const int nextTop = nodeTop + int(node->NodeHeight);
        auto vertical = [&](const TRect& r) { return r.Top < nextTop && nodeTop < r.Bottom; };
        bool inOld, inNew;
        if (simple) {
            inOld = vertical(OldRect);
            inNew = vertical(NewRect);
        } else {
            int textLeft = cellLeft;
            if (!(textRight <= NewRect.Right && textRight <= OldRect.Right &&
                  alignment == taRightJustify)) {
                const int w = QueryNodeWidth(node, MainColumn());
                if (w < textRight - cellLeft) {
                    switch (alignment) {
                    case taLeftJustify:
                        textRight = w + cellLeft;
                        break;
                    case taCenter:
                        textLeft = (textRight + cellLeft - w) / 2;
                        textRight = w + textLeft;
                        break;
                    default:
                        textLeft = textRight - w;
                        break;
                    }
                }
            }
            auto in = [&](const TRect& r) {
                return r.Right >= textLeft && textRight >= r.Left && vertical(r);
            };
            inOld = in(OldRect);
            inNew = in(NewRect);
        }
        if (inOld != inNew) {
            result = true;
            bandCrossed(node, inNew, toggle);
        }
        nodeTop = nextTop;
        PLazyNode next = GetNextVisibleNoInit(node);
        if (next) nodeRight -= NodeLevelDifference(node, next) * int(FIndent);
        node = next;
        if (nodeTop > maxY) break;
    }
    return result;
}

// --- the string tree's remembered selection ---------------------------------------------------

void TCustomLazyStringTree::AddToSelection(PLazyNode Node) {
    TBaseLazyTree::AddToSelection(Node);
    if (TreeOptions()->SelectionOptions().Contains(toRestoreSelection) && OnGetText &&
        Node->States.Contains(vsSelected) && !TreeStates().Contains(tsPreviouslySelectedLocked)) {
        if (!FPreviouslySelected) {
            FPreviouslySelected = std::make_unique<TStringList>();
            FPreviouslySelected->Duplicates = dupIgnore;
            FPreviouslySelected->SetSorted(true);
            FPreviouslySelected->SetCaseSensitive(false);
        }
        if (SelectedCount() == 1) FPreviouslySelected->Clear();
        std::string text;
        OnGetText(this, Node, 0, ttNormal, text);
        FPreviouslySelected->Add(text);
    }
    PickNextNodeToSelect(Node);
}

void TCustomLazyStringTree::RemoveFromSelection(PLazyNode Node) {
    TBaseLazyTree::RemoveFromSelection(Node);
    if (!TreeOptions()->SelectionOptions().Contains(toRestoreSelection) || !FPreviouslySelected ||
        Node->States.Contains(vsSelected))
        return;
    if (SelectedCount() == 0) {
        FPreviouslySelected->Clear();
        return;
    }
    if (!OnGetText) return;
    std::string text;
    OnGetText(this, Node, 0, ttNormal, text);
    const int index = FPreviouslySelected->IndexOf(text);
    if (index >= 0) FPreviouslySelected->Delete(index);
}

PLazyNode TCustomLazyStringTree::AddChild(PLazyNode Parent, void* UserData) {
    PLazyNode node = TBaseLazyTree::AddChild(Parent, UserData);
    if (!node || !TreeOptions()->SelectionOptions().Contains(toRestoreSelection) ||
        !FPreviouslySelected || !OnGetText)
        return node;
    std::string text;
    OnGetText(this, node, 0, ttNormal, text);
    int index = 0;
    if (!FPreviouslySelected->Find(text, index)) return node;
    ChangeTreeStates({tsPreviouslySelectedLocked}, {});
    struct Leave {
        TCustomLazyStringTree* tree;
        ~Leave() { tree->ChangeTreeStates({}, {tsPreviouslySelectedLocked}); }
    } leave{this};
    SetSelected(node, true);
    if (UpdateCount() == 0) ScrollIntoView(GetFirstSelected(), true);
    return node;
}
