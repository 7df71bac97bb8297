// The tree's header: options, states and the sort column.
#include "treeview/LazyTreeHeader.h"

#include "treeview/LazyTree.h"

#include <algorithm>

TLTHeader::TLTHeader(TBaseLazyTree* AOwner) : FOwner(AOwner) {}

void TLTHeader::SetSortColumn(TColumnIndex Value) {
    if (FOwner->ComponentState() & csLoading)
        FSortColumn = Value;
    else
        ApplySortColumn(Value);
}

void TLTHeader::ApplySortColumn(TColumnIndex Value) {
    Value = std::clamp(Value, NoColumnIndex, ColumnCount() - 1);
    if (Value == FSortColumn) return;
    FSortColumn = Value;
    sortTreeWhenWanted();
}

void TLTHeader::SetSortDirection(TSortDirection Value) {
    if (Value == FSortDirection) return;
    FSortDirection = Value;
    sortTreeWhenWanted();
}

void TLTHeader::sortTreeWhenWanted() {
    if ((FOwner->TreeOptions()->AutoOptions().Contains(toAutoSort) ||
         FOptions.Contains(hoHeaderClickAutoSort)) &&
        FOwner->UpdateCount() == 0)
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}
