// The tree's header: options, states and the sort column.
#include "treeview/LazyTreeHeader.h"

#include "treeview/LazyTree.h"

#include <algorithm>

TLTHeader::TLTHeader(TBaseLazyTree* AOwner)
    : FOwner(AOwner), FColumns(std::make_unique<TLazyTreeColumns>(this)),
      FConstraints(std::make_unique<TLTFixedAreaConstraints>()) {}

TLTHeader::~TLTHeader() = default;

void TLTHeader::SetMainColumn(TColumnIndex Value) {
    if (FOwner->ComponentState() & csLoading) {
        FMainColumn = Value;
        return;
    }
    Value = UseColumns() ? std::clamp(Value, 0, ColumnCount() - 1) : NoColumnIndex;
    if (Value == FMainColumn) return;
    FMainColumn = Value;
    if (!FOwner->TreeOptions()->SelectionOptions().Contains(toExtendedFocus))
        FOwner->SetFocusedColumn(Value);
    FOwner->Invalidate();
}

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

void TBaseLazyTree::ColumnResized(TColumnIndex Column) {
    InvalidateWhenShown();
    if (OnColumnResize) OnColumnResize(FHeader.get(), Column);
}
