#pragma once
// The grid's other in-place editors: each wraps a control and binds it to its grid. It hands
// the grid the keys that end an edit, validates the text through the grid before it gives up
// the focus, restores the cell's value on Escape and fires the grid's editor events. The grid
// decides which one serves a cell, opens it over the cell and commits its value.
//
//   TGridCheckBox        edCheckBox
//   TGridSpin            edSpinEdit, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit
//   TGridDatePicker      edDateEdit, edDateEditUpDown, edTimeEdit
//   TGridDateTimePicker  edDateTimeEdit
//   TGridEditBtn         edEditBtn, edNumericEditBtn, edFloatEditBtn, edMaskEditBtn
//   TGridUnitEditBtn     edUnitEditBtn, edNumericUnitEditBtn, edFloatUnitEditBtn
//   TGridButton          edButton
#include "grid/editors/controls/AsgDatePicker.h"
#include "grid/editors/controls/AsgEditBtn.h"
#include "grid/editors/controls/AsgSpinEdit.h"
#include "platform/ui/StdCtrls.h"

class TQorStringGrid;

class TGridCheckBox : public TCheckBox {
public:
    // The owner must be a TQorStringGrid (EInvalidCast otherwise).
    explicit TGridCheckBox(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }
    void ReCreate() { RecreateWnd(); }

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // The keys that end its edit stay with it instead of moving the dialog's focus.
    void CMWantSpecialKey(TWMKey& Message) override;
    void WMLButtonDown(TWMMouse& Message) override;
    // The press has toggled the box; the release toggles nothing more.
    void ButtonClicked() override {}
    void DoExit() override;

private:
    TQorStringGrid* FGrid;
};

class TGridSpin : public TAsgSpinEdit {
public:
    explicit TGridSpin(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }
    void ReCreate() { RecreateWnd(); }
    // After the step, the spin-click event of the kind fires (UpDown true for up).
    void UpButtonClicked(TObject* Sender) override;
    void DownButtonClicked(TObject* Sender) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void CMWantSpecialKey(TWMKey& Message) override;
    void Change() override;
    void DoExit() override;

private:
    void spinClick(bool Up);
    TQorStringGrid* FGrid;
};

class TGridDatePicker : public TAsgDateTimePicker {
public:
    explicit TGridDatePicker(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }
    void ReCreate() { RecreateWnd(); }
    // The drop-down calendar's week numbers, today line and today circle.
    bool Weeknumbers() const { return FWeeknumbers; }
    void SetWeeknumbers(bool v) { FWeeknumbers = v; }
    bool ShowToday() const { return FShowToday; }
    void SetShowToday(bool v) { FShowToday = v; }
    bool ShowTodayCircle() const { return FShowTodayCircle; }
    void SetShowTodayCircle(bool v) { FShowTodayCircle = v; }
    // Moves to the next field when the digit just typed finished one ("DTPShiftFocus").
    virtual void ShiftFocus();

protected:
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void CMWantSpecialKey(TWMKey& Message) override;
    void DoExit() override;

private:
    TQorStringGrid* FGrid;
    bool FWeeknumbers = false;
    bool FShowToday = true;
    bool FShowTodayCircle = true;
    // The value as it was before the last digit typed.
    int FYear = 0, FMonth = 0, FDay = 0, FHour = 0, FMinute = 0, FSecond = 0, FMSec = 0;
};

class TGridDateTimePicker : public TQorDateTimePicker {
public:
    // Any owner; only a TQorStringGrid is served as a grid.
    explicit TGridDateTimePicker(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // Enter, Escape and (when the grid validates) Tab end its edit, not the dialog's buttons.
    void CMWantSpecialKey(TWMKey& Message) override;

private:
    TQorStringGrid* FGrid;
};

class TGridEditBtn : public TAsgEditBtn {
public:
    explicit TGridEditBtn(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }
    void ReCreate() { RecreateWnd(); }
    // The edit ends after a click of the button.
    bool StopEditAfterClick() const { return FStopEditAfterClick; }
    void SetStopEditAfterClick(bool v) { FStopEditAfterClick = v; }
    // Look-up completion works only while set; Backspace and Delete clear it.
    bool WorkMode() const { return FWorkMode; }

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void WMChar(TWMKey& Message) override;
    void CMWantSpecialKey(TWMKey& Message) override;
    void Dispatch(TMessage& Message) override;
    void DblClick() override;
    void Change() override;
    void DoExit() override;

private:
    void buttonClick();
    void paste();
    void complete();
    TQorStringGrid* FGrid;
    bool FStopEditAfterClick = false;
    bool FWorkMode = true;
    int FSelKeyDown = 0;
};

class TGridUnitEditBtn : public TAsgUnitEditBtn {
public:
    explicit TGridUnitEditBtn(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }
    void ReCreate() { RecreateWnd(); }

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void WMChar(TWMKey& Message) override;
    void CMWantSpecialKey(TWMKey& Message) override;
    void DoExit() override;

private:
    TQorStringGrid* FGrid;
};

class TGridButton : public TButton {
public:
    explicit TGridButton(TComponent* AOwner);
    TQorStringGrid* Grid() const { return FGrid; }
    void ReCreate() { RecreateWnd(); }

protected:
    void WMLButtonUp(TWMMouse& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void CMWantSpecialKey(TWMKey& Message) override;
    void DoExit() override;

private:
    // The caption goes through the grid's ellipsis event into the current cell.
    void takeCaption();
    TQorStringGrid* FGrid;
};
