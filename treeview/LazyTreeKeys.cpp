// The tree's keyboard: navigation with focus and Shift ranges, expanding and collapsing, the
// space bar on check boxes, select all, the context-menu key, and the incremental search with
// its time-out on the application clock.
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"
#include "treeview/LazyTree.h"

#include <algorithm>

namespace {

constexpr std::uintptr_t SearchTimer = 7;

// The character a main-keyboard key types among '*', '+', '-' and '/' (US layout), or 0.
char operatorCharOfKey(WORD vk, TShiftState shift) {
    const bool shifted = shift.Contains(ssShift);
    switch (vk) {
    case 0xBB: // '=' and '+'
        return shifted ? '+' : 0;
    case 0xBD: // '-' and '_'
        return shifted ? 0 : '-';
    case 0xBF: // '/' and '?'
        return shifted ? 0 : '/';
    case '8':
        return shifted ? '*' : 0;
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DIVIDE:
        return '/';
    default:
        return 0;
    }
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

void TBaseLazyTree::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FWantTabs) Message.Result |= DLGC_WANTTAB;
}

bool TBaseLazyTree::FireKeyAction(WORD& CharCode, TShiftState& Shift) {
    bool doDefault = true;
    if (OnKeyAction) OnKeyAction(this, CharCode, Shift, doDefault);
    return doDefault;
}

void TBaseLazyTree::AssureFocusedNode() {
    if (FFocusedNode) return;
    PLazyNode node = GetFirstSelected();
    if (!node) node = GetFirstVisible();
    if (node) SetFocusedNode(node);
}

void TBaseLazyTree::WMKeyDown(TWMKey& Message) {
    TCustomControl::WMKeyDown(Message);
    WORD key = Message.CharCode();
    if (key == 0) return;
    TShiftState shift = KeyDataToShiftState(Message.KeyData());
    if (!FireKeyAction(key, shift)) return;

    if (FStates.Contains(tsKeyCheckPending) && key != VK_SPACE) {
        ChangeTreeStates({}, {tsKeyCheckPending});
        if (FCheckNode) {
            FCheckNode->CheckState = UnpressedCheckState(FCheckNode->CheckState);
            InvalidateNode(FCheckNode);
            FCheckNode = nullptr;
        }
    }

    const bool navigation =
        (key == VK_BACK || key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN)) && !IsEmpty();
    if (navigation) {
        const TLTSelectionOptions sel = TreeOptions()->SelectionOptions();
        const bool multi = sel.Contains(toMultiSelect);
        const bool gridExtensions = TreeOptions()->MiscOptions().Contains(toGridExtensions);
        PLazyNode old = FFocusedNode;
        if (!old && !shift.Empty()) old = GetFirstVisible();
        if (!FRangeAnchor) {
            FRangeAnchor = GetFirstSelected();
            if (!FRangeAnchor) FRangeAnchor = GetFirst();
        }
        const bool extendSelection = shift.Contains(ssShift) && multi;
        bool rangeKey = (key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME) &&
                        extendSelection;
        const bool needInvalidate = rangeKey || FSelectionCount > 1;
        const bool clearFirst = shift.Empty() || (gridExtensions && !shift.Contains(ssShift)) ||
                                !multi || key == VK_BACK || key == VK_TAB;
        auto anchorOrder = [this](PLazyNode n) {
            return n && FRangeAnchor ? NodePositionOrder(n, FRangeAnchor, false) : 0;
        };
        // Moves the focus; keepFocusedSelected leaves the node that had it selected.
        auto moveTo = [&](PLazyNode n, bool keepFocusedSelected) {
            if (FFocusedNode && !keepFocusedSelected) RemoveFromSelection(FFocusedNode);
            if (FFocusedColumn < 0) FFocusedColumn = MainColumn();
            SetFocusedNode(n);
        };
        switch (key) {
        case VK_UP:
            if (shift.Contains(ssCtrl)) {
                SetOffsetY(FOffsetY + int(FDefaultNodeHeight));
                return;
            } else {
                PLazyNode n = FFocusedNode ? GetPreviousVisible(FFocusedNode) : GetLastVisible();
                if (n)
                    moveTo(n, extendSelection && anchorOrder(old) <= 0);
                else if (FFocusedNode)
                    InvalidateNode(FFocusedNode);
            }
            break;
        case VK_DOWN:
            if (shift.Contains(ssCtrl)) {
                SetOffsetY(FOffsetY - int(FDefaultNodeHeight));
                return;
            } else {
                PLazyNode n = FFocusedNode ? GetNextVisible(FFocusedNode) : GetFirstVisible();
                if (n)
                    moveTo(n, extendSelection && anchorOrder(old) >= 0);
                else if (FFocusedNode)
                    InvalidateNode(FFocusedNode);
            }
            break;
        case VK_LEFT:
            if (shift.Contains(ssCtrl)) {
                SetOffsetX(FOffsetX +
                           mirrorSign() * int(ScrollBarOptions()->HorizontalIncrement()));
                return;
            }
            if (FFocusedNode && FFocusedNode->States.Contains(vsExpanded) &&
                FFocusedNode->States.Contains(vsHasChildren) && shift.Empty()) {
                ToggleNode(FFocusedNode);
            } else if (!FFocusedNode) {
                SetFocusedNode(GetFirstVisible());
            } else if (FFocusedNode->Parent != FRoot) {
                PLazyNode parent = FFocusedNode->Parent;
                if (extendSelection) {
                    if (FFocusedNode->Index > 0)
                        rangeKey = true;
                    else if (anchorOrder(old) > 0)
                        RemoveFromSelection(FFocusedNode);
                }
                SetFocusedNode(parent);
            }
            break;
        case VK_RIGHT:
            if (shift.Contains(ssCtrl)) {
                SetOffsetX(FOffsetX -
                           mirrorSign() * int(ScrollBarOptions()->HorizontalIncrement()));
                return;
            }
            if (FFocusedNode && !FFocusedNode->States.Contains(vsExpanded) &&
                FFocusedNode->States.Contains(vsHasChildren) && shift.Empty()) {
                ToggleNode(FFocusedNode);
            } else if (!FFocusedNode) {
                SetFocusedNode(GetFirstVisible());
            } else if (PLazyNode child = GetFirstVisibleChild(FFocusedNode)) {
                if (extendSelection && anchorOrder(old) < 0) RemoveFromSelection(FFocusedNode);
                SetFocusedNode(child);
            }
            break;
        case VK_PRIOR:
            if (shift.Contains(ssCtrl) && !shift.Contains(ssShift)) {
                SetOffsetY(FOffsetY + ClientHeight());
                return;
            } else if (shift == TShiftState{ssShift, ssCtrl}) {
                SetOffsetX(FOffsetX + ClientWidth());
                return;
            } else {
                PLazyNode n = FFocusedNode ? FFocusedNode : GetFirstVisible();
                int s = 0;
                for (;;) {
                    PLazyNode p = GetPreviousVisible(n);
                    if (!p || ClientHeight() <= s + int(NodeHeight(n))) break;
                    n = p;
                    s += int(NodeHeight(p));
                }
                SetFocusedNode(n);
            }
            break;
        case VK_NEXT:
            if (shift.Contains(ssCtrl) && !shift.Contains(ssShift)) {
                SetOffsetY(FOffsetY - ClientHeight());
                return;
            } else if (shift == TShiftState{ssShift, ssCtrl}) {
                SetOffsetX(FOffsetX - ClientWidth());
                return;
            } else {
                PLazyNode n = FFocusedNode ? FFocusedNode : GetLastVisible();
                int s = 0;
                for (;;) {
                    PLazyNode p = GetNextVisible(n);
                    if (!p || ClientHeight() <= s + int(NodeHeight(n))) break;
                    s += int(NodeHeight(n));
                    n = p;
                }
                SetFocusedNode(n);
            }
            break;
        case VK_HOME:
        case VK_END: {
            PLazyNode target = key == VK_HOME ? GetFirstVisible() : GetLastVisible();
            if (shift == TShiftState{ssCtrl} && !gridExtensions) {
                ScrollIntoView(target, sel.Contains(toCenterScrollIntoView));
                SetOffsetX(key == VK_HOME ? 0 : -2147483647);
                return;
            }
            if (!gridExtensions || shift.Contains(ssCtrl)) SetFocusedNode(target);
            break;
        }
        case VK_BACK:
            if (FStates.Contains(tsIncrementalSearching)) {
                ChangeTreeStates({tsIncrementalSearchPending}, {});
                return;
            }
            if (FFocusedNode && FFocusedNode->Parent != FRoot) SetFocusedNode(FFocusedNode->Parent);
            break;
        case VK_TAB: {
            // Tab moves the focus to the next column that may take it, row after row.
            if (!TreeOptions()->SelectionOptions().Contains(toExtendedFocus) ||
                !FHeader->UseColumns())
                return;
            TLazyTreeColumns* columns = FHeader->Columns();
            const bool back = shift.Contains(ssShift);
            PLazyNode node = FFocusedNode;
            TColumnIndex column = back ? columns->GetPreviousVisibleColumn(FFocusedColumn, true)
                                       : columns->GetNextVisibleColumn(FFocusedColumn, true);
            while (node) {
                while (column >= 0 &&
                       !FireFocusChanging(FFocusedNode, node, FFocusedColumn, column))
                    column = back ? columns->GetPreviousVisibleColumn(column, true)
                                  : columns->GetNextVisibleColumn(column, true);
                if (column >= 0) {
                    MoveFocusTo(node, column);
                    break;
                }
                node = back ? GetPreviousVisible(node, true) : GetNextVisible(node, true);
                column = back ? columns->GetLastVisibleColumn(true)
                              : columns->GetFirstVisibleColumn(true);
            }
            return;
        }
        default:
            break;
        }
        if (clearFirst && (old != FFocusedNode || FSelectionCount != 1)) ClearSelection();
        const bool cleared = clearFirst && (old != FFocusedNode || FSelectionCount == 0);
        if (shift.Empty() && FFocusedNode) {
            FRangeAnchor = FFocusedNode;
            FLastSelectionLevel = int(GetNodeLevel(FFocusedNode));
        }
        if (FFocusedNode) {
            if (rangeKey) ToggleNodeRange(old, FFocusedNode);
            if (FFocusedNode != old || cleared) AddToSelection(FFocusedNode);
        }
        if (needInvalidate) InvalidateWhenShown();
        return;
    }

    if (char c = operatorCharOfKey(key, shift)) {
        key = c == '*' ? VK_MULTIPLY : c == '+' ? VK_ADD : c == '-' ? VK_SUBTRACT : VK_DIVIDE;
    }
    const bool searching = FStates.Contains(tsIncrementalSearching);
    switch (key) {
    case VK_ESCAPE:
        if (IsMouseSelecting()) {
            ChangeTreeStates({}, {tsDrawSelPending, tsDrawSelecting});
            InvalidateWhenShown();
        }
        break;
    case VK_SPACE:
        if (TreeOptions()->MiscOptions().Contains(toCheckSupport) && FFocusedNode &&
            FFocusedNode->CheckType != ctNone) {
            if (FStates.Contains(tsKeyCheckPending) || FStates.Contains(tsMouseCheckPending) ||
                FFocusedNode->States.Contains(vsDisabled))
                break;
            TCheckState newState =
                NextCheckState(FFocusedNode->CheckType, FFocusedNode->CheckState);
            if (FireChecking(FFocusedNode, newState)) {
                ChangeTreeStates({tsKeyCheckPending}, {});
                FCheckNode = FFocusedNode;
                FPendingCheckState = newState;
                FCheckNode->CheckState = PressedCheckState(FCheckNode->CheckState);
                InvalidateNode(FCheckNode);
            }
        } else {
            ChangeTreeStates({tsIncrementalSearchPending}, {});
        }
        break;
    case 0x41:
    case 0x61:
        if (shift.Contains(ssCtrl))
            SelectAll(true);
        else
            ChangeTreeStates({tsIncrementalSearchPending}, {});
        break;
    case VK_F1:
        if (OnGetHelpContext) showHelp();
        break;
    case VK_F2:
        if (shift.Empty() && FFocusedNode && CanEdit(FFocusedNode, FFocusedColumn)) {
            FEditColumn = FFocusedColumn;
            StartNodeEdit();
        }
        break;
    case VK_APPS:
        if (FFocusedNode) {
            const TRect r = GetDisplayRect(FFocusedNode, FFocusedColumn, true);
            const int w = std::min(QueryNodeWidth(FFocusedNode, FFocusedColumn), ClientWidth());
            ShowNodePopupMenu(FFocusedNode, FFocusedColumn,
                              TPoint{r.Left + w / 2, (r.Top + r.Bottom) / 2});
        } else {
            ShowNodePopupMenu(nullptr, FFocusedColumn, TPoint{-1, -1});
        }
        break;
    case VK_MULTIPLY:
        if (searching)
            ChangeTreeStates({tsIncrementalSearchPending}, {});
        else if (FFocusedNode)
            FullExpand(FFocusedNode);
        break;
    case VK_ADD:
        if (searching) {
            ChangeTreeStates({tsIncrementalSearchPending}, {});
        } else if (shift.Contains(ssCtrl)) {
            if (TreeOptions()->MiscOptions().Contains(toReverseFullExpandHotKey) !=
                shift.Contains(ssShift))
                FullExpand();
        } else if (FFocusedNode && !FFocusedNode->States.Contains(vsExpanded)) {
            ToggleNode(FFocusedNode);
        }
        break;
    case VK_SUBTRACT:
        if (searching) {
            ChangeTreeStates({tsIncrementalSearchPending}, {});
        } else if (shift.Contains(ssCtrl)) {
            if (TreeOptions()->MiscOptions().Contains(toReverseFullExpandHotKey) !=
                shift.Contains(ssShift))
                FullCollapse();
        } else if (FFocusedNode && FFocusedNode->States.Contains(vsExpanded)) {
            ToggleNode(FFocusedNode);
        }
        break;
    case VK_DIVIDE:
        if (searching)
            ChangeTreeStates({tsIncrementalSearchPending}, {});
        else if (FFocusedNode)
            FullCollapse(FFocusedNode);
        break;
    default:
        if (shift.Contains(ssCtrl) == shift.Contains(ssAlt) && key >= 0x20)
            ChangeTreeStates({tsIncrementalSearchPending}, {});
        break;
    }
}

void TBaseLazyTree::WMChar(TWMKey& Message) {
    if (FStates.Contains(tsIncrementalSearchPending)) {
        RunIncrementalSearch(char32_t(Message.CharCode()));
        ChangeTreeStates({}, {tsIncrementalSearchPending});
    }
    TCustomControl::WMChar(Message);
}

void TBaseLazyTree::WMKeyUp(TWMKey& Message) {
    TCustomControl::WMKeyUp(Message);
    const WORD key = Message.CharCode();
    if (key == VK_TAB) AssureFocusedNode();
    if (key == VK_SPACE && FStates.Contains(tsKeyCheckPending)) {
        ChangeTreeStates({}, {tsKeyCheckPending});
        if (PLazyNode node = FCheckNode) {
            FCheckNode = nullptr;
            node->CheckState = UnpressedCheckState(node->CheckState);
            if (node == FFocusedNode) ApplyCheckStateChange(node, FPendingCheckState);
            InvalidateNode(node);
        }
    }
}

// --- incremental search -----------------------------------------------------------------------

int TBaseLazyTree::FireIncrementalSearch(PLazyNode Node, const std::string& Text) {
    int result = 0;
    if (OnIncrementalSearch) OnIncrementalSearch(this, Node, Text, result);
    return result;
}

int TCustomLazyStringTree::FireIncrementalSearch(PLazyNode Node, const std::string& Text) {
    if (OnIncrementalSearch) return TBaseLazyTree::FireIncrementalSearch(Node, Text);
    return startsWith(GetText(Node, FocusedColumn()), Text) ? 0 : 1;
}

void TBaseLazyTree::ResetIncrementalSearch() {
    ChangeTreeStates({}, {tsIncrementalSearching});
    killTreeTimer(SearchTimer);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
}

void TBaseLazyTree::RunIncrementalSearch(char32_t CharCode) {
    killTreeTimer(SearchTimer);
    if (FIncrementalSearch == isNone) return;
    if (CharCode != 0) {
        ChangeTreeStates({tsIncrementalSearching}, {});
        const bool isBackspace = CharCode == 8;
        if (!(isBackspace && FSearchBuffer.empty())) {
            PLazyNode start = nullptr;
            if (FSearchStart == ssLastHit)
                start = FLastSearchNode;
            else if (FSearchStart == ssFocusedNode)
                start = FFocusedNode;
            if (start && FIncrementalSearch == isInitializedOnly &&
                !start->States.Contains(vsInitialized))
                start = nullptr;
            if (start && FIncrementalSearch == isVisibleOnly &&
                (!FullyVisible(start) || GetEffectivelyFiltered(start)))
                start = nullptr;
            bool forward = FSearchDirection == sdForward;
            if (isBackspace) forward = !forward;
            const std::string ch =
                isBackspace ? std::string() : Utf32ToUtf8(std::u32string(1, CharCode));
            bool sameLetter = !isBackspace && Utf8Length(FSearchBuffer) == 1 && ch == FSearchBuffer;
            if (sameLetter && start && FireIncrementalSearch(start, FSearchBuffer + ch) == 0)
                sameLetter = false;
            auto step = [&](PLazyNode n) -> PLazyNode {
                switch (FIncrementalSearch) {
                case isInitializedOnly:
                    return forward ? GetNextNoInit(n) : GetPreviousNoInit(n);
                case isVisibleOnly:
                    return forward ? GetNextVisible(n) : GetPreviousVisible(n);
                default:
                    return forward ? GetNext(n) : GetPrevious(n);
                }
            };
            auto wrap = [&]() -> PLazyNode {
                switch (FIncrementalSearch) {
                case isInitializedOnly:
                    return forward ? GetFirstNoInit() : GetLastNoInit();
                case isVisibleOnly:
                    return forward ? GetFirstVisible() : GetLastVisible();
                default:
                    return forward ? GetFirst() : GetLast();
                }
            };
            if (FSearchBuffer.empty() || !start || sameLetter || isBackspace) {
                PLazyNode next = start ? step(start) : nullptr;
                start = next ? next : wrap();
            }
            std::string searchText;
            if (sameLetter) {
                searchText = FSearchBuffer;
            } else if (isBackspace) {
                const std::u32string chars = Utf8ToUtf32(FSearchBuffer);
                FSearchBuffer = Utf32ToUtf8(chars.substr(0, chars.size() - 1));
                searchText = FSearchBuffer;
            } else {
                searchText = FSearchBuffer + ch;
            }
            PLazyNode lastNode = start;
            PLazyNode found = nullptr;
            for (PLazyNode n = start; n;) {
                if (FireIncrementalSearch(n, searchText) == 0) {
                    found = n;
                    break;
                }
                n = step(n);
                if (!n) n = wrap();
                if (n == lastNode) break;
            }
            if (found) {
                ClearSelection();
                FSearchBuffer = searchText;
                FLastSearchNode = found;
                SetFocusedNode(found);
                SetSelected(found, true);
            } else if (lastNode) {
                MessageBeep(0);
            }
        }
    }
    if (HandleAllocated()) SetTimer(Handle(), SearchTimer, FSearchTimeout);
}

void TBaseLazyTree::showHelp() {
    int context = 0;
    // The focused node, then its ancestors, then the tree and its parents name the topic.
    for (PLazyNode n = FFocusedNode; n && n != FRoot && context == 0; n = n->Parent)
        OnGetHelpContext(this, n, std::max(FFocusedColumn, 0), context);
    for (TControl* c = this; c && context == 0; c = c->Parent()) context = c->HelpContext();
    if (context != 0) Application->HelpContext(context);
}
