#pragma once
// The tree's header: its options and states, the column model and the sort column.
#include "treeview/LazyTreeTypes.h"

#include "platform/base/Classes.h"

#include <cstdint>

class TBaseLazyTree;

enum TLTHeaderOption {
    hoAutoResize,
    hoColumnResize,
    hoDblClickResize,
    hoDrag,
    hoHotTrack,
    hoOwnerDraw,
    hoRestrictDrag,
    hoShowHint,
    hoShowImages,
    hoShowSortGlyphs,
    hoVisible,
    hoAutoSpring,
    hoFullRepaintOnResize,
    hoDisableAnimatedResize,
    hoHeightResize,
    hoHeightDblClickResize,
    hoHeaderClickAutoSort,
    hoAutoColumnPopupMenu
};
using TLTHeaderOptions = TEnumSet<TLTHeaderOption, std::uint32_t>;

enum THeaderState {
    hsAutoSizing,
    hsDragging,
    hsDragPending,
    hsLoading,
    hsColumnWidthTracking,
    hsColumnWidthTrackPending,
    hsHeightTracking,
    hsHeightTrackPending,
    hsResizing,
    hsScaling,
    hsNeedScaling
};
using THeaderStates = TEnumSet<THeaderState, std::uint16_t>;

class TLTHeader : public TPersistent {
public:
    explicit TLTHeader(TBaseLazyTree* AOwner);
    TBaseLazyTree* Treeview() const { return FOwner; }

    TLTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TLTHeaderOptions Value) { FOptions = Value; }
    THeaderStates States() const { return FStates; }
    int ColumnCount() const { return 0; }

    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex Value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection Value);

protected:
    // Limits Value to -1 .. count - 1 and sorts the tree by it where the options ask for that.
    virtual void ApplySortColumn(TColumnIndex Value);

private:
    // With toAutoSort or hoHeaderClickAutoSort, outside an update bracket.
    void sortTreeWhenWanted();
    TBaseLazyTree* FOwner;
    TLTHeaderOptions FOptions{hoColumnResize, hoDrag, hoShowSortGlyphs};
    THeaderStates FStates;
    TColumnIndex FSortColumn = NoColumnIndex;
    TSortDirection FSortDirection = sdAscending;
};
