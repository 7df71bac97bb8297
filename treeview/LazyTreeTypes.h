#pragma once
// The tree's node record, its state and option sets and the small enumerations the tree's
// interface uses. Nothing here needs a window.
#include "platform/base/Interfaces.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

// A set of enumeration members held in the bits of Bits (member ordinal = bit number).
template <class E, class Bits> class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> members) {
        for (E m : members) bits_ |= bit(m);
    }
    static constexpr TEnumSet FromBits(Bits b) {
        TEnumSet s;
        s.bits_ = b;
        return s;
    }
    constexpr Bits ToBits() const { return bits_; }
    constexpr bool Contains(E m) const { return (bits_ & bit(m)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(E m) { bits_ |= bit(m); }
    constexpr void Exclude(E m) { bits_ &= Bits(~bit(m)); }
    constexpr TEnumSet operator+(TEnumSet o) const { return FromBits(Bits(bits_ | o.bits_)); }
    constexpr TEnumSet operator-(TEnumSet o) const { return FromBits(Bits(bits_ & ~o.bits_)); }
    constexpr TEnumSet operator*(TEnumSet o) const { return FromBits(Bits(bits_ & o.bits_)); }
    constexpr TEnumSet& operator+=(TEnumSet o) { return *this = *this + o; }
    constexpr TEnumSet& operator-=(TEnumSet o) { return *this = *this - o; }
    // True when every member of o is in this set.
    constexpr bool ContainsAll(TEnumSet o) const { return (bits_ & o.bits_) == o.bits_; }
    friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

private:
    static constexpr Bits bit(E m) { return Bits(Bits(1) << unsigned(m)); }
    Bits bits_ = 0;
};

// --- node states ------------------------------------------------------------------------------
enum TLazyNodeState {
    vsInitialized,
    vsChecking,
    vsCutOrCopy,
    vsDisabled,
    vsDeleting,
    vsExpanded,
    vsHasChildren,
    vsVisible,
    vsSelected,
    vsOnFreeNodeCallRequired,
    vsAllChildrenHidden,
    vsReleaseCallOnUserDataRequired,
    vsMultiline,
    vsHeightMeasured,
    vsToggling,
    vsFiltered,
    vsInitializing
};
using TLazyNodeStates = TEnumSet<TLazyNodeState, std::uint32_t>;

enum TLazyNodeInitState {
    ivsDisabled,
    ivsExpanded,
    ivsHasChildren,
    ivsMultiline,
    ivsSelected,
    ivsFiltered,
    ivsReInit
};
using TLazyNodeInitStates = TEnumSet<TLazyNodeInitState, std::uint8_t>;

// Check boxes.
enum TCheckType : std::uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };
enum TCheckState : std::uint8_t {
    csUncheckedNormal,
    csUncheckedPressed,
    csCheckedNormal,
    csCheckedPressed,
    csMixedNormal,
    csMixedPressed,
    csUncheckedDisabled,
    csCheckedDisabled,
    csMixedDisabled
};

// The images of a node: normal, selected, state and overlay.
enum TLTImageKind { ikNormal, ikSelected, ikState, ikOverlay };

// One node. The block holds this header, then NodeDataSize bytes of user data (Data), then the
// internal data areas of descendant classes; the whole block is zero-filled when allocated.
struct TLazyNode {
    std::uint32_t Index = 0;      // position among the siblings
    std::uint32_t ChildCount = 0; // may be set before the children exist
    std::uint16_t NodeHeight = 0; // own row height in pixels
    TLazyNodeStates States;
    std::uint8_t Align = 0; // button and line position in a tall row, percent
    TCheckState CheckState = csUncheckedNormal;
    TCheckType CheckType = ctNone;
    std::uint8_t Dummy = 0;
    std::uint32_t TotalCount = 0;  // nodes in this subtree, itself included
    std::uint32_t TotalHeight = 0; // shown height of this subtree
    // For the hidden root: the owning tree, stored in this field (see TreeFromNode).
    TLazyNode* Parent = nullptr;
    TLazyNode* PrevSibling = nullptr;
    TLazyNode* NextSibling = nullptr;
    TLazyNode* FirstChild = nullptr;
    TLazyNode* LastChild = nullptr;

    // The user-data area that follows the header in the same block.
    unsigned char* Data() { return reinterpret_cast<unsigned char*>(this + 1); }

    // The user data as its first user will have it (no size check): marks the node for
    // OnFreeNode.
    void* NodeDataPointer() {
        States.Include(vsOnFreeNodeCallRequired);
        return Data();
    }
    // An interface in the first bytes of the user data: Store keeps the caller's reference,
    // Set takes one of its own that freeing the node releases.
    void StoreNodeInterface(IInterface* Intf) {
        std::memcpy(Data(), &Intf, sizeof Intf);
        States.Include(vsOnFreeNodeCallRequired);
    }
    void SetNodeInterface(IInterface* Intf) {
        if (Intf) Intf->_AddRef();
        StoreNodeInterface(Intf);
        States.Include(vsReleaseCallOnUserDataRequired);
    }
    // The stored interface with a new reference, which the caller releases.
    IInterface* NodeInterface() {
        IInterface* intf = nullptr;
        std::memcpy(&intf, Data(), sizeof intf);
        if (intf) intf->_AddRef();
        return intf;
    }
};
using PLazyNode = TLazyNode*;
// The user-data area starts right after the header, so the header keeps pointer alignment.
static_assert(sizeof(TLazyNode) % alignof(void*) == 0);

// Column indexes: the index of a header column in creation order; two negative values are
// reserved. A position is a place in the display order, 0 = leftmost.
using TColumnIndex = int;
using TColumnPosition = std::uint32_t;
constexpr TColumnIndex NoColumnIndex = -1;      // no column
constexpr TColumnIndex InvalidColumnIndex = -2; // nothing there

enum TSortDirection { sdAscending, sdDescending };

enum TLTNodeAttachMode {
    amNoWhere,
    amInsertBefore,
    amInsertAfter,
    amAddChildFirst,
    amAddChildLast
};

// --- tree states --------------------------------------------------------------------------
enum TLazyTreeState {
    tsCancelHintAnimation,
    tsChangePending,
    tsCheckPropagation,
    tsCollapsing,
    tsToggleFocusedSelection,
    tsClearPending,
    tsClipboardFlushing,
    tsCopyPending,
    tsCutPending,
    tsDrawSelPending,
    tsDrawSelecting,
    tsEditing,
    tsEditPending,
    tsExpanding,
    tsNodeHeightTracking,
    tsNodeHeightTrackPending,
    tsHint,
    tsInAnimation,
    tsIncrementalSearching,
    tsIncrementalSearchPending,
    tsIterating,
    tsKeyCheckPending,
    tsLeftButtonDown,
    tsLeftDblClick,
    tsMouseCheckPending,
    tsMiddleButtonDown,
    tsMiddleDblClick,
    tsNeedRootCountUpdate,
    tsOLEDragging,
    tsOLEDragPending,
    tsPainting,
    tsRightButtonDown,
    tsRightDblClick,
    tsPopupMenuShown,
    tsScrolling,
    tsScrollPending,
    tsSizing,
    tsStopValidation,
    tsStructureChangePending,
    tsSynchMode,
    tsThumbTracking,
    tsToggling,
    tsUpdateHiddenChildrenNeeded,
    tsUpdating,
    tsUseCache,
    tsUserDragObject,
    tsUseThemes,
    tsValidating,
    tsPreviouslySelectedLocked,
    tsValidationNeeded,
    tsVCLDragging,
    tsVCLDragPending,
    tsVCLDragFinished,
    tsWheelPanning,
    tsWheelScrolling,
    tsWindowCreating,
    tsUseExplorerTheme
};
using TLazyTreeStates = TEnumSet<TLazyTreeState, std::uint64_t>;

// --- change notification ------------------------------------------------------------------------
enum TChangeReason : std::uint8_t {
    crIgnore,
    crAccumulated,
    crChildAdded,
    crChildDeleted,
    crNodeAdded,
    crNodeCopied,
    crNodeMoved
};
enum TLTUpdateState { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };
enum TLTOperationKind {
    okAutoFitColumns,
    okGetMaxColumnWidth,
    okSortNode,
    okSortTree,
    okExport,
    okExpand
};

// --- options ----------------------------------------------------------------------------------
enum TLTPaintOption {
    toHideFocusRect,
    toHideSelection,
    toHotTrack,
    toPopupMode,
    toShowBackground,
    toShowButtons,
    toShowDropmark,
    toShowHorzGridLines,
    toShowRoot,
    toShowTreeLines,
    toShowVertGridLines,
    toThemeAware,
    toUseBlendedImages,
    toGhostedIfUnfocused,
    toFullVertGridLines,
    toAlwaysHideSelection,
    toUseBlendedSelection,
    toStaticBackground,
    toChildrenAbove,
    toFixedIndent,
    toUseExplorerTheme,
    toHideTreeLinesIfThemed,
    toShowFilteredNodes
};
using TLTPaintOptions = TEnumSet<TLTPaintOption, std::uint32_t>;

enum TLTAnimationOption { toAnimatedToggle, toAdvancedAnimatedToggle };
using TLTAnimationOptions = TEnumSet<TLTAnimationOption, std::uint8_t>;

enum TLTAutoOption {
    toAutoDropExpand,
    toAutoExpand,
    toAutoScroll,
    toAutoScrollOnExpand,
    toAutoSort,
    toAutoSpanColumns,
    toAutoTristateTracking,
    toAutoHideButtons,
    toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus,
    toAutoChangeScale,
    toAutoFreeOnCollapse,
    toDisableAutoscrollOnEdit,
    toAutoBidiColumnOrdering
};
using TLTAutoOptions = TEnumSet<TLTAutoOption, std::uint16_t>;

enum TLTSelectionOption {
    toDisableDrawSelection,
    toExtendedFocus,
    toFullRowSelect,
    toLevelSelectConstraint,
    toMiddleClickSelect,
    toMultiSelect,
    toRightClickSelect,
    toSiblingSelectConstraint,
    toCenterScrollIntoView,
    toSimpleDrawSelection,
    toAlwaysSelectNode,
    toRestoreSelection
};
using TLTSelectionOptions = TEnumSet<TLTSelectionOption, std::uint16_t>;

enum TLTMiscOption {
    toAcceptOLEDrop,
    toCheckSupport,
    toEditable,
    toFullRepaintOnResize,
    toGridExtensions,
    toInitOnSave,
    toReportMode,
    toToggleOnDblClick,
    toWheelPanning,
    toReadOnly,
    toVariableNodeHeight,
    toFullRowDrag,
    toNodeHeightResize,
    toNodeHeightDblClickResize,
    toEditOnClick,
    toEditOnDblClick,
    toReverseFullExpandHotKey
};
using TLTMiscOptions = TEnumSet<TLTMiscOption, std::uint32_t>;

enum TLTStringOption { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TLTStringOptions = TEnumSet<TLTStringOption, std::uint8_t>;

enum TLTExportMode { emAll, emChecked, emUnchecked, emVisibleDueToExpansion, emSelected };

// Members of the legacy "Options" form property; each maps to the "to" member of that name.
enum TOldLTOption {
    voAcceptOLEDrop,
    voAnimatedToggle,
    voAutoDropExpand,
    voAutoExpand,
    voAutoScroll,
    voAutoSort,
    voAutoSpanColumns,
    voAutoTristateTracking,
    voCheckSupport,
    voDisableDrawSelection,
    voEditable,
    voExtendedFocus,
    voFullRowSelect,
    voGridExtensions,
    voHideFocusRect,
    voHideSelection,
    voHotTrack,
    voInitOnSave,
    voLevelSelectConstraint,
    voMiddleClickSelect,
    voMultiSelect,
    voRightClickSelect,
    voPopupMode,
    voShowBackground,
    voShowButtons,
    voShowDropmark,
    voShowHorzGridLines,
    voShowRoot,
    voShowTreeLines,
    voShowVertGridLines,
    voSiblingSelectConstraint,
    voToggleOnDblClick
};

// --- published property kinds -----------------------------------------------------------------
enum TLTButtonStyle { bsRectangle, bsTriangle };
enum TLTButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TLTLineStyle { lsCustomStyle, lsDotted, lsSolid };
enum TLTLineMode { lmNormal, lmBands };
enum TLTNodeAlignment { naFromBottom, naFromTop, naProportional };
enum TLTDrawSelectionMode { smDottedRectangle, smBlendedRectangle };
enum TLTIncrementalSearch { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TLTSearchDirection { sdForward, sdBackward };
enum TLTSearchStart { ssAlwaysStartOver, ssLastHit, ssFocusedNode };
enum TLTHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum THintAnimationType { hatNone, hatFade, hatSlide, hatSystemDefault };
enum TLTDragImageKind { diComplete, diMainColumnOnly, diNoImage };
enum TLTDragType { dtOLE, dtVCL };
enum TDragOperation { doCopy, doMove, doLink };
using TDragOperations = TEnumSet<TDragOperation, std::uint8_t>;
enum TCheckImageKind {
    ckLightCheck,
    ckDarkCheck,
    ckLightTick,
    ckDarkTick,
    ckFlat,
    ckXP,
    ckCustom,
    ckSystemFlat,
    ckSystemDefault
};
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TEnumSet<TBevelEdge, std::uint8_t>;
