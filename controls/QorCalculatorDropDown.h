#pragma once
// A number edit whose popup is a pocket calculator. The edit always shows the calculator's
// display: every button and calculator key rewrites the edit text, and a number can be typed
// into the edit as well. Operations chain left to right (2 + 3 * 4 = 20), as on a desk
// calculator; a pending operation and the running result survive closing the popup.
#include "controls/ButtonPanel.h"
#include "controls/base/QorCustomDropDown.h"

#include <memory>
#include <string>

class TQorCalculatorDropdown : public TQorCustomDropDown {
public:
    explicit TQorCalculatorDropdown(TComponent* AOwner);
    ~TQorCalculatorDropdown() override;

    // The number shown; a text that is not a number reads as 0 (an empty one becomes "0").
    double Value();
    // Shown in the general format, then by Precision.
    void SetValue(double Value);
    // Thousand separators switch the edit to money format.
    bool ShowThousandSeparator() const { return FShowThousandSeparator; }
    void SetShowThousandSeparator(bool Value);
    TButtonAppearance* CalcButtonAppearance() const { return FCalcButtonAppearance.get(); }
    void SetCalcButtonAppearance(const TButtonAppearance* Value) {
        FCalcButtonAppearance->Assign(Value);
    }
    // The popup's button panel; nullptr until the popup is made.
    TCustomButtonPanel* ButtonPanel() const { return FQorButtonPanel; }
    // The "=" operation.
    void CalcResult() { CalcEquals(); }
    // The base's style, then the button colours of its popup buttons for the calculator.
    void SetComponentStyle(TQorStyle AStyle) override;

    // The memory and the running result, for inspection.
    long double Memory() const { return FMVal; }
    long double PreviousValue() const { return FPrevval; }
    // -1 none, 0 add, 1 multiply, 2 subtract, 3 divide.
    int PendingOperation() const { return FPrevop; }

protected:
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DropDownFormKeyPress(char32_t& Key) override;
    void DropDownFormKeyDown(WORD& Key, TShiftState Shift) override;
    void Dispatch(TMessage& Message) override;
    // Called before every button action and every character typed in the popup.
    virtual void BeforeCalc() {}
    // A button of the panel: the key of its tag.
    void CalcButtonClick(TObject* Panel, int Index);
    void CalcAdd() { calcOperator(0); }
    void CalcSubtract() { calcOperator(2); }
    void CalcMultiply() { calcOperator(1); }
    void CalcDivide() { calcOperator(3); }
    void CalcEquals();
    void CalcPercent();
    // Applies the pending operation to the shown number.
    void CalcPending();

private:
    void calcOperator(int Operation);
    // The shown number without thousand separators; 0 when it is not a number.
    long double shownNumber() const;
    // A character typed into the edit (or forwarded to it from the popup).
    void handleKeyPress(TMessage& Message);
    bool popupClosed() const;
    // The text already holds MaxLength characters.
    bool atMaxLength() const;
    // Text := digit, caret after it, when a new number starts.
    void startNumber(const std::string& Digit);
    TCustomButtonPanel* FQorButtonPanel = nullptr;
    int FDecim = 0;
    bool FNewval = false;
    long double FPrevval = 0;
    int FPrevop = -1;
    bool FCalcClosed = true;
    std::unique_ptr<TButtonAppearance> FCalcButtonAppearance;
    long double FMVal = 0;
    bool FShowThousandSeparator = false;
};
