#include "grid/editors/QorRichEdit.h"

#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "grid/editors/AsgCombo.h"

TQorRichEdit::TQorRichEdit(TComponent* AOwner)
    : TRichEdit(AOwner), FGrid(dynamic_cast<TQorStringGrid*>(AOwner)) {
    if (!FGrid) throw EInvalidCast("Invalid class typecast");
}

void TQorRichEdit::Dispatch(TMessage& Message) {
    TRichEdit::Dispatch(Message);
    if (Message.Msg == WM_GETDLGCODE) Message.Result |= DLGC_WANTTAB;
}

void TQorRichEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TRichEdit::KeyDown(Key, Shift);
    TQorStringGrid* g = FGrid;
    const bool tab = Key == VK_TAB && g->Options().Contains(goTabs);
    const bool upDown = (Key == VK_UP || Key == VK_DOWN) && !g->WordWrap() && !g->Multilinecells();
    if (!tab && !upDown) return;
    const WORD key = Key;
    Key = 0;
    if (g->CanFocus()) g->SetFocus();
    g->Perform(WM_KEYDOWN, key, 0);
    if (tab) g->ShowInplaceEdit();
}

void TQorRichEdit::WMKillFocus(TWMKillFocus& Message) {
    if (!FGrid->IsDestroying()) {
        if (FGrid->InvokedFocusChange) return;
        if (FGrid->HandleAllocated() && Message.FocusedWnd() == FGrid->Handle())
            FGrid->HideInplaceEdit();
    }
    TRichEdit::WMKillFocus(Message);
}

void TQorRichEdit::RequestSize(const TRect& Rect) {
    if (!FLocked) {
        FReqWidth = Rect.Width();
        FReqHeight = Rect.Height();
    }
    TRichEdit::RequestSize(Rect);
}

// --- the grid's rich edits -------------------------------------------------------------------
TQorRichEdit* TQorStringGrid::RichEdit() {
    if (!FRichEdit) {
        FRichEdit = new TQorRichEdit(this);
        FRichEdit->SetBounds(0, 0, 0, 0);
        FRichEdit->SetBorderStyle(bsNone);
        FRichEdit->SetVisible(false);
        FRichEdit->SetParent(this);
        if (HandleAllocated()) SetWindowTransparentStyle(FRichEdit->Handle());
    }
    return FRichEdit;
}

TQorRichEdit* TQorStringGrid::InplaceRichEdit() {
    if (!FInplaceRichEdit) {
        FInplaceRichEdit = new TQorRichEdit(this);
        FInplaceRichEdit->SetVisible(false);
        FInplaceRichEdit->SetEnabled(false);
        FInplaceRichEdit->SetBorderStyle(bsNone);
        FInplaceRichEdit->OnSelectionChange = [this](TObject* Sender) {
            if (OnRichEditSelectionChange) OnRichEditSelectionChange(Sender);
        };
        FInplaceRichEdit->SetParent(this);
    }
    return FInplaceRichEdit;
}
