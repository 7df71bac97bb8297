// TQorStringGrid's edCustom cells: the column's editor link opened over the cell or on its popup
// form, and its value written back when it closes.
#include "grid/core/QorStringGrid.h"
#include "grid/editors/EditLink.h"
#include "grid/render/ControlLook.h"
#include "platform/ui/core/Forms.h"

void TQorStringGrid::openEditLink(int ACol, int ARow, const TRect& Cell) {
    auto* link = dynamic_cast<TEditLink*>(FEditLink);
    if (!link) return;
    const int rc = RealColIndexOf(ACol);
    FEditMode = true;
    link->FGrid = this;
    link->FEditCell = TPoint{rc, ARow};
    link->FreeNotification(this);
    FreeNotification(link);
    if (link->EditStyle() == esPopup) {
        if (link->AutoPopupWidth()) link->SetPopupWidth(Cell.Width());
        const TPoint topLeft = ClientToScreen(TPoint{Cell.Left, Cell.Top});
        link->showPopup(
            TRect{topLeft.X, topLeft.Y, topLeft.X + Cell.Width(), topLeft.Y + Cell.Height()});
        link->CreateEditor(link->PopupForm());
        link->SetRect(TRect{0, 0, link->PopupWidth(), link->PopupHeight()});
    } else {
        link->CreateEditor(this);
        link->SetRect(Cell);
    }
    TFont font;
    const TColor color = editorLook(ACol, ARow, &font);
    link->SetVisible(true);
    link->SetCellProps(color, &font);
    link->SetProperties();
    GetEditorProp(rc, ARow, link);
    link->SetEditorValue(GetEditText(ACol, ARow));
    link->SetFocus(true);
    FEditActive = true;
    if (TWinControl* c = link->GetEditControl()) {
        postStartChar(c);
        FEditCtrl = c;
    }
}

void TQorStringGrid::commitEditLink(int ACol, int ARow) {
    const int rc = RealColIndexOf(ACol);
    if (FControlLook->DropDownAlwaysVisible()) {
        // The column may link another editor to the cell by now.
        TEditorType kind = FEditControl;
        GetEditorType(rc, ARow, kind);
    }
    auto* link = dynamic_cast<TEditLink*>(FEditLink);
    if (!link) return;
    StoreEditorValue(rc, ARow, link->GetEditorValue());
    if (link->EditStyle() != esPopup) link->SetVisible(false);
    link->RestoreWinProc();
    FEditMode = false;
    if (FEditCtrl == link->GetEditControl()) FEditCtrl = nullptr;
}
