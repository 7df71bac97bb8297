// The option sets of the tree and the published properties with their immediate effects.
#include "treeview/LazyTree.h"

#include <cstring>
#include <utility>

// --- option objects ---------------------------------------------------------------------------

TCustomLazyTreeOptions::TCustomLazyTreeOptions(TBaseLazyTree* AOwner)
    : FOwner(AOwner), FPaintOptions{toShowButtons,   toShowDropmark, toShowRoot,
                                    toShowTreeLines, toThemeAware,   toUseBlendedImages},
      FAutoOptions{toAutoDropExpand,       toAutoScrollOnExpand,   toAutoSort,
                   toAutoTristateTracking, toAutoDeleteMovedNodes, toAutoChangeScale},
      FMiscOptions{toAcceptOLEDrop,    toFullRepaintOnResize, toInitOnSave,
                   toToggleOnDblClick, toWheelPanning,        toEditOnClick} {}

void TCustomLazyTreeOptions::SetPaintOptions(TLTPaintOptions Value) {
    if (Value == FPaintOptions) return;
    const TLTPaintOptions old = FPaintOptions;
    if (Value.Contains(toFixedIndent) && !old.Contains(toFixedIndent)) Value.Include(toShowRoot);
    FPaintOptions = Value;
    FOwner->applyPaintOptionsChange(old, Value);
}

void TCustomLazyTreeOptions::SetAnimationOptions(TLTAnimationOptions Value) {
    FAnimationOptions = Value;
}

void TCustomLazyTreeOptions::SetAutoOptions(TLTAutoOptions Value) {
    if (Value == FAutoOptions) return;
    const bool spanChanged =
        Value.Contains(toAutoSpanColumns) != FAutoOptions.Contains(toAutoSpanColumns);
    FAutoOptions = Value;
    if (spanChanged) FOwner->invalidateWhenShownAndNotLoading();
}

void TCustomLazyTreeOptions::SetSelectionOptions(TLTSelectionOptions Value) {
    if (Value == FSelectionOptions) return;
    const TLTSelectionOptions old = FSelectionOptions;
    FSelectionOptions = Value;
    FOwner->applySelectionOptionsChange(old, Value);
}

void TCustomLazyTreeOptions::SetMiscOptions(TLTMiscOptions Value) {
    if (Value == FMiscOptions) return;
    const TLTMiscOptions old = FMiscOptions;
    FMiscOptions = Value;
    FOwner->applyMiscOptionsChange(old, Value);
}

void TCustomLazyTreeOptions::AssignTo(TPersistent* Dest) const {
    auto* dest = dynamic_cast<TCustomLazyTreeOptions*>(Dest);
    if (!dest) {
        TPersistent::AssignTo(Dest);
        return;
    }
    dest->SetPaintOptions(FPaintOptions);
    dest->SetAnimationOptions(FAnimationOptions);
    dest->SetAutoOptions(FAutoOptions);
    dest->SetSelectionOptions(FSelectionOptions);
    dest->SetMiscOptions(FMiscOptions);
}

TCustomStringTreeOptions::TCustomStringTreeOptions(TBaseLazyTree* AOwner)
    : TCustomLazyTreeOptions(AOwner), FStringOptions{toSaveCaptions, toAutoAcceptEditChange} {}

void TCustomStringTreeOptions::SetStringOptions(TLTStringOptions Value) {
    if (Value == FStringOptions) return;
    const bool staticChanged =
        Value.Contains(toShowStaticText) != FStringOptions.Contains(toShowStaticText);
    FStringOptions = Value;
    if (staticChanged && Owner()->HandleAllocated() && !(Owner()->ComponentState() & csLoading))
        Owner()->Invalidate();
}

void TCustomStringTreeOptions::AssignTo(TPersistent* Dest) const {
    if (auto* dest = dynamic_cast<TCustomStringTreeOptions*>(Dest))
        dest->SetStringOptions(FStringOptions);
    TCustomLazyTreeOptions::AssignTo(Dest);
}

// --- effects of option changes ----------------------------------------------------------------

void TBaseLazyTree::applyPaintOptionsChange(TLTPaintOptions Old, TLTPaintOptions New) {
    if (!IsLoading() && Old.Contains(toShowFilteredNodes) != New.Contains(toShowFilteredNodes)) {
        const bool bracket = HandleAllocated();
        if (bracket) BeginUpdate();
        StopCacheValidation();
        const bool showNow = New.Contains(toShowFilteredNodes);
        for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n)) {
            if (!n->States.Contains(vsFiltered)) continue;
            ChangeTotalHeight(n, showNow ? int(n->NodeHeight) : -int(n->NodeHeight), true);
            if (FullyVisible(n)) {
                if (showNow)
                    ++FVisibleCount;
                else
                    --FVisibleCount;
            }
        }
        if (bracket) EndUpdate();
    }
    if (HandleAllocated() && !IsLoading()) {
        // Visual styles are always on here: the theme state follows toThemeAware alone.
        if (New.Contains(toThemeAware) != Old.Contains(toThemeAware)) {
            if (New.Contains(toThemeAware))
                ChangeTreeStates({tsUseThemes}, {});
            else
                ChangeTreeStates({}, {tsUseThemes});
        }
    }
    if (Old.Contains(toChildrenAbove) != New.Contains(toChildrenAbove)) {
        MarkCacheInvalid();
        if (FUpdateCount == 0) StartCacheValidation();
    }
    InvalidateWhenShown();
}

void TBaseLazyTree::applySelectionOptionsChange(TLTSelectionOptions Old, TLTSelectionOptions New) {
    if (Old.Contains(toMultiSelect) != New.Contains(toMultiSelect) ||
        (New.Contains(toLevelSelectConstraint) && !Old.Contains(toLevelSelectConstraint)) ||
        (New.Contains(toSiblingSelectConstraint) && !Old.Contains(toSiblingSelectConstraint)))
        RepaintAndClearSelection(false);
    // Without a header the main column is "no column".
    if (!New.Contains(toExtendedFocus)) FFocusedColumn = -1;
}

void TBaseLazyTree::applyMiscOptionsChange(TLTMiscOptions Old, TLTMiscOptions New) {
    if (IsLoading() || !HandleAllocated()) return;
    if (Old.Contains(toCheckSupport) != New.Contains(toCheckSupport)) Invalidate();
    if (IsDesigning()) return;
    if (Old.Contains(toAcceptOLEDrop) != New.Contains(toAcceptOLEDrop))
        UpdateDropTargetRegistration();
    if (Old.Contains(toFullRepaintOnResize) != New.Contains(toFullRepaintOnResize)) RecreateWnd();
    if (New.Contains(toVariableNodeHeight) && !Old.Contains(toVariableNodeHeight)) {
        BeginUpdate();
        struct End {
            TBaseLazyTree* tree;
            ~End() { tree->EndUpdate(); }
        } end{this};
        ReinitNode(nullptr, true);
    }
}

void TBaseLazyTree::ReadOldOptions(const std::vector<std::string>& Names) {
    static const char* const names[] = {"voAcceptOLEDrop",
                                        "voAnimatedToggle",
                                        "voAutoDropExpand",
                                        "voAutoExpand",
                                        "voAutoScroll",
                                        "voAutoSort",
                                        "voAutoSpanColumns",
                                        "voAutoTristateTracking",
                                        "voCheckSupport",
                                        "voDisableDrawSelection",
                                        "voEditable",
                                        "voExtendedFocus",
                                        "voFullRowSelect",
                                        "voGridExtensions",
                                        "voHideFocusRect",
                                        "voHideSelection",
                                        "voHotTrack",
                                        "voInitOnSave",
                                        "voLevelSelectConstraint",
                                        "voMiddleClickSelect",
                                        "voMultiSelect",
                                        "voRightClickSelect",
                                        "voPopupMode",
                                        "voShowBackground",
                                        "voShowButtons",
                                        "voShowDropmark",
                                        "voShowHorzGridLines",
                                        "voShowRoot",
                                        "voShowTreeLines",
                                        "voShowVertGridLines",
                                        "voSiblingSelectConstraint",
                                        "voToggleOnDblClick"};
    // Where each legacy member lives: set number (0 paint, 1 animation, 2 auto, 3 selection,
    // 4 misc) and the ordinal of the member of the same name there.
    static const std::pair<int, int> targets[] = {{4, toAcceptOLEDrop},
                                                  {1, toAnimatedToggle},
                                                  {2, toAutoDropExpand},
                                                  {2, toAutoExpand},
                                                  {2, toAutoScroll},
                                                  {2, toAutoSort},
                                                  {2, toAutoSpanColumns},
                                                  {2, toAutoTristateTracking},
                                                  {4, toCheckSupport},
                                                  {3, toDisableDrawSelection},
                                                  {4, toEditable},
                                                  {3, toExtendedFocus},
                                                  {3, toFullRowSelect},
                                                  {4, toGridExtensions},
                                                  {0, toHideFocusRect},
                                                  {0, toHideSelection},
                                                  {0, toHotTrack},
                                                  {4, toInitOnSave},
                                                  {3, toLevelSelectConstraint},
                                                  {3, toMiddleClickSelect},
                                                  {3, toMultiSelect},
                                                  {3, toRightClickSelect},
                                                  {0, toPopupMode},
                                                  {0, toShowBackground},
                                                  {0, toShowButtons},
                                                  {0, toShowDropmark},
                                                  {0, toShowHorzGridLines},
                                                  {0, toShowRoot},
                                                  {0, toShowTreeLines},
                                                  {0, toShowVertGridLines},
                                                  {3, toSiblingSelectConstraint},
                                                  {4, toToggleOnDblClick}};
    TCustomLazyTreeOptions* o = TreeOptions();
    o->SetPaintOptions({});
    o->SetAnimationOptions({});
    o->SetAutoOptions({});
    o->SetSelectionOptions({});
    o->SetMiscOptions({});
    for (const std::string& name : Names) {
        for (std::size_t i = 0; i < std::size(names); ++i) {
            if (name != names[i]) continue;
            const auto [set, member] = targets[i];
            switch (set) {
            case 0: {
                auto s = o->PaintOptions();
                s.Include(TLTPaintOption(member));
                o->SetPaintOptions(s);
                break;
            }
            case 1: {
                auto s = o->AnimationOptions();
                s.Include(TLTAnimationOption(member));
                o->SetAnimationOptions(s);
                break;
            }
            case 2: {
                auto s = o->AutoOptions();
                s.Include(TLTAutoOption(member));
                o->SetAutoOptions(s);
                break;
            }
            case 3: {
                auto s = o->SelectionOptions();
                s.Include(TLTSelectionOption(member));
                o->SetSelectionOptions(s);
                break;
            }
            default: {
                auto s = o->MiscOptions();
                s.Include(TLTMiscOption(member));
                o->SetMiscOptions(s);
            }
            }
        }
    }
}

// --- published properties ---------------------------------------------------------------------

void TBaseLazyTree::invalidateUnlessLoading() {
    if (!IsLoading()) InvalidateWhenShown();
}

void TBaseLazyTree::invalidateWhenShownAndNotLoading() {
    if (HandleAllocated() && !IsLoading()) Invalidate();
}

void TBaseLazyTree::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    invalidateUnlessLoading();
}

void TBaseLazyTree::SetAnimationDuration(std::uint32_t v) {
    if (v == FAnimationDuration) return;
    FAnimationDuration = v;
    // Directly in the set: the setter's effects are not wanted here.
    if (v > 0)
        FOptions->FAnimationOptions.Include(toAnimatedToggle);
    else
        FOptions->FAnimationOptions.Exclude(toAnimatedToggle);
}

void TBaseLazyTree::SetBackground(const TPicture* v) {
    FBackground->Assign(v);
    InvalidateWhenShown();
}

void TBaseLazyTree::SetBackgroundOffsetX(int v) {
    if (v == FBackgroundOffsetX) return;
    FBackgroundOffsetX = v;
    InvalidateWhenShown();
}

void TBaseLazyTree::SetBackgroundOffsetY(int v) {
    if (v == FBackgroundOffsetY) return;
    FBackgroundOffsetY = v;
    InvalidateWhenShown();
}

void TBaseLazyTree::SetBorderStyle(TBorderStyle v) {
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    if (HandleAllocated()) RecreateWnd();
}

void TBaseLazyTree::SetBottomSpace(std::uint32_t v) {
    if (v == FBottomSpace) return;
    FBottomSpace = v;
    UpdateScrollBars(true);
}

void TBaseLazyTree::SetButtonFillMode(TLTButtonFillMode v) {
    if (v == FButtonFillMode) return;
    FButtonFillMode = v;
    InvalidateWhenShown();
}

void TBaseLazyTree::SetButtonStyle(TLTButtonStyle v) {
    if (v == FButtonStyle) return;
    FButtonStyle = v;
    InvalidateWhenShown();
}

void TBaseLazyTree::SetCheckImageKind(TCheckImageKind v) {
    if (v == FCheckImageKind) return;
    FCheckImageKind = v;
    if (FUpdateCount == 0 && !IsLoading()) InvalidateWhenShown();
}

void TBaseLazyTree::SetCustomCheckImages(TImageList* v) {
    if (v == FCustomCheckImages) return;
    if (FCustomCheckImages) FCustomCheckImages->RemoveFreeNotification(this);
    FCustomCheckImages = v;
    if (v) v->FreeNotification(this);
    invalidateUnlessLoading();
}

void TBaseLazyTree::SetDefaultNodeHeight(std::uint32_t v) {
    if (v == 0) v = 18;
    if (v == FDefaultNodeHeight) return;
    const int difference = int(v) - int(FDefaultNodeHeight);
    FRoot->TotalHeight = std::uint32_t(int(FRoot->TotalHeight) + difference);
    FRoot->NodeHeight = std::uint16_t(int(FRoot->NodeHeight) + difference);
    FDefaultNodeHeight = v;
    MarkCacheInvalid();
    if (FUpdateCount == 0 && HandleAllocated() && !IsLoading()) {
        StartCacheValidation();
        UpdateScrollBars(true);
        Invalidate();
    }
}

void TBaseLazyTree::SetEmptyListMessage(const std::string& v) {
    if (v == FEmptyListMessage) return;
    FEmptyListMessage = v;
    InvalidateWhenShown();
}

void TBaseLazyTree::SetImages(TImageList* v) {
    if (v == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v) v->FreeNotification(this);
    invalidateUnlessLoading();
}

void TBaseLazyTree::SetStateImages(TImageList* v) {
    if (v == FStateImages) return;
    if (FStateImages) FStateImages->RemoveFreeNotification(this);
    FStateImages = v;
    if (v) v->FreeNotification(this);
    invalidateWhenShownAndNotLoading();
}

void TBaseLazyTree::SetIncrementalSearch(TLTIncrementalSearch v) {
    if (v == FIncrementalSearch) return;
    FIncrementalSearch = v;
    if (v == isNone && HandleAllocated()) killTreeTimer(7);
}

void TBaseLazyTree::SetIndent(std::uint32_t v) {
    if (v == FIndent) return;
    FIndent = v;
    if (!IsLoading() && FUpdateCount == 0 && HandleAllocated()) {
        UpdateScrollBars(true);
        Invalidate();
    }
}

void TBaseLazyTree::SetLineMode(TLTLineMode v) {
    if (v == FLineMode) return;
    FLineMode = v;
    invalidateWhenShownAndNotLoading();
}

void TBaseLazyTree::SetLineStyle(TLTLineStyle v) {
    if (v == FLineStyle) return;
    FLineStyle = v;
    InvalidateWhenShown();
}

void TBaseLazyTree::SetMargin(int v) {
    if (v == FMargin) return;
    FMargin = v;
    invalidateWhenShownAndNotLoading();
}

void TBaseLazyTree::SetNodeAlignment(TLTNodeAlignment v) {
    if (v == FNodeAlignment) return;
    FNodeAlignment = v;
    invalidateWhenShownAndNotLoading();
}

void TBaseLazyTree::SetSelectionCurveRadius(std::uint32_t v) {
    if (v == FSelectionCurveRadius) return;
    FSelectionCurveRadius = v;
    invalidateWhenShownAndNotLoading();
}

void TBaseLazyTree::SetTextMargin(int v) {
    if (v == FTextMargin) return;
    FTextMargin = v;
    invalidateUnlessLoading();
}
