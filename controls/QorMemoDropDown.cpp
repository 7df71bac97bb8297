#include "controls/QorMemoDropDown.h"

#include "controls/base/DropDownDrawing.h"
#include "platform/ui/Menus.h"

namespace {

// The lines as one text, without a break after the last.
std::string wholeText(const TStrings& Lines) {
    std::string text = Lines.Text();
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

} // namespace

TQorMemoDropDown::TQorMemoDropDown(TComponent* AOwner)
    : TQorCustomDropDown(AOwner), FMemoText(std::make_unique<TStringList>()) {
    FMemoText->OnChange = [this](TObject*) { updateSummary(); };
    // The memo exists from the start.
    DropDownFormNeeded();
}

TQorMemoDropDown::~TQorMemoDropDown() {
    FMemoText->OnChange = nullptr;
}

void TQorMemoDropDown::CreateDropDownForm() {
    TQorCustomDropDown::CreateDropDownForm();
    if (FMemo) return;
    FMemo = new TMemo(this);
    FMemo->SetParent(FDropDownForm);
    FMemo->SetHeight(100);
    FMemo->SetBorderStyle(bsNone);
    FMemo->OnChange = [this](TObject*) {
        if (OnMemoChange) OnMemoChange(this);
    };
    SetControl(FMemo);
    SetFocusControl(FMemo);
}

void TQorMemoDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TQorCustomDropDown::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FMemoPopup) FMemoPopup = nullptr;
    if (AComponent == FMemo) FMemo = nullptr;
}

void TQorMemoDropDown::SetMemoPopup(TPopupMenu* Value) {
    if (FMemoPopup) FMemoPopup->RemoveFreeNotification(this);
    FMemoPopup = Value;
    if (Value) Value->FreeNotification(this);
}

void TQorMemoDropDown::SetMemoText(const TStrings* Value) {
    FMemoText->Assign(Value);
    if (FMemo) FMemo->Lines()->Assign(Value);
}

void TQorMemoDropDown::SetMemoReadOnly(bool Value) {
    FMemoReadOnly = Value;
    if (DroppedDown() && FMemo) FMemo->SetReadOnly(Value);
}

void TQorMemoDropDown::BeforeDropDown() {
    TQorCustomDropDown::BeforeDropDown();
    FDropDownForm->SetCancelOnDeActivate(false);
    if (!FMemo) return;
    // The popup is sized from the memo, which the last popup's alignment may have shrunk.
    FMemo->SetAlign(alNone);
    FMemo->SetBounds(0, 0, Width(), 100);
    FMemo->SetText(wholeText(*FMemoText));
    FMemo->SetPopupMenu(FMemoPopup);
    FMemo->SetMaxLength(MaxLength());
    FMemo->SetScrollBars(FMemoScrollBars);
    FMemo->SetReadOnly(FMemoReadOnly);
}

void TQorMemoDropDown::DoHideDropDown(bool Cancelled) {
    const bool autoDrop = FAutoDrop;
    FAutoDrop = false;
    // Edits made since the popup opened are dropped.
    if (Cancelled && FMemo) FMemo->SetText(wholeText(*FMemoText));
    // A cancel puts the edit's last set text back: it must not replace MemoText, and the edit
    // shows the summary again.
    const bool internal = FInternalUpdate;
    FInternalUpdate = true;
    TQorCustomDropDown::DoHideDropDown(Cancelled);
    FInternalUpdate = internal;
    if (Cancelled) updateSummary();
    FAutoDrop = autoDrop;
}

void TQorMemoDropDown::AfterHideDropDown() {
    TQorCustomDropDown::AfterHideDropDown();
    if (FMemo) FMemoText->Assign(FMemo->Lines());
    updateSummary();
    Perform(EM_SETSEL, 0, 0);
}

void TQorMemoDropDown::ControlKeyDown(WORD& Key, TShiftState Shift) {
    // Only the keys that close the popup go to the edit; the rest stay with the memo.
    if (Shift.Contains(ssAlt) || Key == VK_ESCAPE || Key == VK_F4)
        TQorCustomDropDown::ControlKeyDown(Key, Shift);
    else if (Shift.Contains(ssCtrl) && Key == 'A' && FMemo)
        FMemo->SelectAll();
}

void TQorMemoDropDown::ControlKeyUp(WORD& Key, TShiftState Shift) {
    if (Shift.Contains(ssAlt) || Key == VK_ESCAPE || Key == VK_F4)
        TQorCustomDropDown::ControlKeyUp(Key, Shift);
}

void TQorMemoDropDown::ControlKeyPress(char32_t& Key) {
    if (GetKeyState(VK_MENU) < 0 || Key == 27) TQorCustomDropDown::ControlKeyPress(Key);
}

void TQorMemoDropDown::DoEnter() {
    TQorCustomDropDown::DoEnter();
    if (FAutoDrop) ShowDropDown();
}

void TQorMemoDropDown::updateSummary() {
    std::string summary;
    if (FMemoText->Count() == 0 || EditorEnabled()) {
        summary = wholeText(*FMemoText);
    } else {
        TRect area;
        Perform(EM_GETRECT, 0, LPARAM(&area));
        TBitmap measure(1, 1);
        TCanvas* c = measure.Canvas();
        c->Font()->Assign(Font());
        const std::string first = FMemoText->Get(0);
        if (c->TextWidth(first) < area.Width())
            summary = FMemoText->Count() > 1 ? first + "..." : first;
        else
            summary = FitText(c, first, area.Width(), true);
    }
    const bool internal = FInternalUpdate;
    FInternalUpdate = true;
    SetEditText(summary);
    FInternalUpdate = internal;
}

void TQorMemoDropDown::Change() {
    if (!FInternalUpdate) {
        FMemoText->OnChange = nullptr;
        FMemoText->SetText(EditText());
        FMemoText->OnChange = [this](TObject*) { updateSummary(); };
    }
    TQorCustomDropDown::Change();
}
