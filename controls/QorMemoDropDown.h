#pragma once
// A drop-down edit for multi-line text: the whole text lives in MemoText and is edited in a memo
// in the popup; the edit shows its first line, cut with "..." where needed.
#include "controls/base/QorCustomDropDown.h"
#include "platform/ui/Memo.h"

#include <memory>

class TPopupMenu;

class TQorMemoDropDown : public TQorCustomDropDown {
public:
    explicit TQorMemoDropDown(TComponent* AOwner);
    ~TQorMemoDropDown() override;

    // The context menu the memo gets when the popup opens.
    TPopupMenu* MemoPopup() const { return FMemoPopup; }
    void SetMemoPopup(TPopupMenu* Value);
    // The full text; the memo shows a copy while the popup is open.
    TStringList* MemoText() const { return FMemoText.get(); }
    void SetMemoText(const TStrings* Value);
    TMemo* Memo() const { return FMemo; }
    // Applied when the popup opens.
    TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle Value) { FMemoScrollBars = Value; }
    // Applied when the popup opens, and at once while it is open.
    bool MemoReadOnly() const { return FMemoReadOnly; }
    void SetMemoReadOnly(bool Value);
    // The popup opens when the edit is entered.
    bool AutoDrop() const { return FAutoDrop; }
    void SetAutoDrop(bool Value) { FAutoDrop = Value; }

    // The memo's text changed while it is edited.
    TNotifyEvent OnMemoChange;

protected:
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool Cancelled) override;
    void AfterHideDropDown() override;
    void ControlKeyDown(WORD& Key, TShiftState Shift) override;
    void ControlKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyPress(char32_t& Key) override;
    void DoEnter() override;
    void Change() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The edit shows the whole text, or the first line cut to fit.
    void updateSummary();
    TPopupMenu* FMemoPopup = nullptr;
    std::unique_ptr<TStringList> FMemoText;
    TMemo* FMemo = nullptr;
    TScrollStyle FMemoScrollBars = ssNone;
    bool FMemoReadOnly = false;
    bool FAutoDrop = false;
    // The control writes the edit text itself: it is not copied back into MemoText.
    bool FInternalUpdate = false;
};
