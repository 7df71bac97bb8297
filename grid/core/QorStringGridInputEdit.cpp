// The least of the edit life cycle that the input needs: opening and closing the in-place editor,
// the edit reference and the selection-changed notification.
#include "grid/core/QorStringGrid.h"

void TQorStringGrid::ShowInplaceEdit() {
    if (Options().Contains(goEditing) && !EditorMode()) ShowEditor();
}

void TQorStringGrid::HideInplaceEdit() {
    if (EditorMode()) HideEditor();
}

void TQorStringGrid::StoreOldCell(int, int) {}

void TQorStringGrid::SelectionChanged(int ALeft, int ATop, int ARight, int ABottom) {
    if (OnSelectionChanged) OnSelectionChanged(this, ALeft, ATop, ARight, ABottom);
}
