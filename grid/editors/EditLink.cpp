#include "grid/editors/EditLink.h"

#include "grid/core/QorStringGrid.h"
#include "grid/editors/QorInplaceEdit.h"
#include "platform/ui/core/Forms.h"

TEditLink::TEditLink(TComponent* AOwner) : TComponent(AOwner) {}

TEditLink::~TEditLink() {
    if (FSubclassed) {
        FSubclassed->WindowProc = FOldWinProc;
        FSubclassed->RemoveFreeNotification(this);
    }
    delete FPopupForm;
}

void TEditLink::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FPopupForm) FPopupForm = nullptr;
    if (AComponent == FSubclassed) FSubclassed = nullptr;
    if (AComponent == FGrid) FGrid = nullptr;
}

// --- the control ---------------------------------------------------------------------------------
void TEditLink::linkedWndProc(TMessage& Message) {
    FOldWinProc(Message);
    if (Message.Msg == WM_GETDLGCODE && FGrid && FGrid->Options().Contains(goTabs))
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
}

void TEditLink::SetFocus(bool Value) {
    TWinControl* c = GetEditControl();
    if (Value && c) {
        c->SetVisible(true);
        c->SetEnabled(true);
        if (FEditStyle == esInplace && !FSubclassed) {
            FOldWinProc = c->WindowProc;
            c->WindowProc = [this](TMessage& M) { linkedWndProc(M); };
            FSubclassed = c;
            c->FreeNotification(this);
        }
    }
    if (Value) {
        if (c && c->CanFocus()) c->SetFocus();
    } else if (FGrid && FGrid->CanFocus()) {
        FGrid->SetFocus();
    }
}

void TEditLink::SetRect(TRect R) {
    TWinControl* c = GetEditControl();
    if (!c) return;
    const int line = FGrid ? FGrid->GridLineWidth() : 0;
    c->SetBounds(R.Left, R.Top, R.Width() - line, R.Height() - line);
}

void TEditLink::SetVisible(bool Value) {
    if (TWinControl* c = GetEditControl()) c->SetVisible(Value);
}

void TEditLink::RestoreWinProc() {
    TWinControl* c = GetEditControl();
    if (!c || FEditStyle != esInplace) return;
    if (FSubclassed == c) {
        c->WindowProc = FOldWinProc;
        c->RemoveFreeNotification(this);
        FSubclassed = nullptr;
    }
    if (c->HandleAllocated()) c->SetVisible(false);
}

// --- the keys ------------------------------------------------------------------------------------
void TEditLink::EditKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    if (!g) return;
    bool nav = Shift.Contains(ssAlt);
    switch (Key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        nav = true;
        break;
    default:
        break;
    }
    if ((FWantKeyUpDown && (Key == VK_UP || Key == VK_DOWN)) ||
        (FWantKeyLeftRight && (Key == VK_LEFT || Key == VK_RIGHT)) ||
        (FWantKeyHomeEnd && (Key == VK_HOME || Key == VK_END)) ||
        (FWantKeyPriorNext && (Key == VK_PRIOR || Key == VK_NEXT)) ||
        (FWantKeyReturn && Key == VK_RETURN) || (FWantKeyEscape && Key == VK_ESCAPE) ||
        (FWantTabs && Key == VK_TAB))
        nav = false;
    if (!nav) return;
    // A refused value stays in the editor, which opens again on its cell.
    if (Key != VK_ESCAPE && !g->validateEditorText(GetEditorValue())) {
        Key = 0;
        g->FLastValidation = true;
        g->ActivateCellEditor(g->Col(), g->Row());
        SetEditorValue(g->FNewCellText);
        return;
    }
    if (Key == VK_TAB) {
        if (g->Navigation()->TabToNextAtEnd()) {
            g->HideInplaceEdit();
            if (g->CanFocus()) g->SetFocus();
            if (g->EditorNavigateKey(Shift.Contains(ssShift)) &&
                !g->IsControlCell(g->RealColIndex(g->Col()), g->Row()) && g->HandleAllocated())
                PostMessage(g->Handle(), WM_KEYDOWN, VK_F2, 0);
            Key = 0;
            return;
        }
        Key = 0;
    }
    if (Key == VK_ESCAPE) SetEditorValue(g->FCellCache);
    // The commit, and the grid's editor mode off, so that the grid taking the keyboard back
    // opens nothing.
    g->HideInplaceEdit();
    if (FEditStyle == esPopup) EditExit(this);
    if (g->CanFocus()) g->SetFocus();
    if (Key == VK_RETURN) {
        g->AdvanceAfterEdit(g->Col(), g->Row(), true, false, !Shift.Contains(ssShift), true, false);
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        Key = 0;
    } else if (Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN) {
        g->KeyDown(Key, Shift);
        Key = 0;
    }
    if (TWinControl* c = GetEditControl()) c->SetEnabled(false);
}

// --- the cell ------------------------------------------------------------------------------------
TWinControl* TEditLink::GetParent() {
    if (FEditStyle == esPopup) return FPopupForm;
    return FGrid;
}

std::string TEditLink::GetCellValue() {
    if (!FGrid) return {};
    return FGrid->Cells(FGrid->RealColIndex(FGrid->Col()), FGrid->Row());
}

void TEditLink::SetCellValue(const std::string& Value) {
    if (FGrid) FGrid->SetEditText(FGrid->Col(), FGrid->Row(), Value);
}

void TEditLink::HideEditor() {
    SetCellValue(GetEditorValue());
    if (FGrid) FGrid->HideInplaceEdit();
    RestoreWinProc();
}

void TEditLink::EditExit(TObject* /*Sender*/) {
    if (FExiting) return;
    FExiting = true;
    struct Clear {
        bool& f;
        ~Clear() { f = false; }
    } clear{FExiting};
    HideEditor();
    if (FEditStyle == esPopup && FPopupForm) {
        DestroyEditor();
        FPopupForm->Hide();
    }
}

void TEditLink::FormExit(TObject* Sender) {
    if (FExiting) return;
    if (FGrid)
        if (TQorInplaceEdit* normal = FGrid->NormalEdit()) normal->SetText(GetEditorValue());
    EditExit(Sender);
    if (FGrid) FGrid->InvokedFocusChange = true;
}

void TEditLink::showPopup(const TRect& CellScreen) {
    if (!FPopupForm) {
        if (TComponent* old = Application->FindComponent("gridform")) delete old;
        FPopupForm = new TForm(Application);
        FPopupForm->SetName("gridform");
        FPopupForm->FreeNotification(this);
        FPopupForm->OnDeactivate = [this](TObject* Sender) { FormExit(Sender); };
    }
    TForm* f = FPopupForm;
    const int left = FPopupLeft != -1 && FPopupTop != -1 ? FPopupLeft : CellScreen.Left;
    const int top = FPopupLeft != -1 && FPopupTop != -1 ? FPopupTop : CellScreen.Top;
    f->SetBorderStyle(bsNone);
    f->SetFormStyle(fsStayOnTop);
    f->SetBounds(left, top, 0, 0);
    f->Show();
    f->SetBounds(left, top, FPopupWidth, FPopupHeight);
}
