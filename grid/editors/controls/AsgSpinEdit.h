#pragma once
// The spin edit: a single-line edit with a pair of arrow buttons at its right edge. Its text is
// one value of a kind (an integer, a floating-point number, a date or a time of day), stepped by
// the arrows, the arrow keys and the page keys within optional bounds; a held arrow repeats.
// TAsgSpinEdit is the edit, TAsgSpinButton the arrow pair, TQorTimerSpeedButton one arrow.
#include "grid/editors/controls/ButtonHolder.h"
#include "platform/base/DateUtils.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Mask.h"

#include <memory>

class TTimer;

enum TAsgSpinType { sptNormal, sptFloat, sptDate, sptTime };
enum TSpinDirection { spVertical, spHorizontal };
enum TEditAlign { eaLeft, eaRight, eaCenter };
enum TButtonDirection { bdLeft, bdRight, bdUp, bdDown };
enum TTimeBtnStateItem { tbFocusRect, tbAllowTimer };

class TTimeBtnState {
public:
    TTimeBtnState() = default;
    TTimeBtnState(std::initializer_list<TTimeBtnStateItem> items) {
        for (auto i : items) Include(i);
    }
    bool Contains(TTimeBtnStateItem i) const { return bits_ & (1u << unsigned(i)); }
    void Include(TTimeBtnStateItem i) { bits_ |= 1u << unsigned(i); }
    void Exclude(TTimeBtnStateItem i) { bits_ &= ~(1u << unsigned(i)); }

private:
    unsigned bits_ = 0;
};

class TAsgSpinButton;

// One arrow: a speed button that repeats its click while it is held (first after 400 ms, then
// every 100 ms).
class TQorTimerSpeedButton : public TSpeedButton {
public:
    explicit TQorTimerSpeedButton(TComponent* AOwner);
    TTimeBtnState TimeBtnState() const { return FTimeBtnState; }
    void SetTimeBtnState(TTimeBtnState v) { FTimeBtnState = v; }
    TButtonDirection ButtonDirection() const { return FButtonDirection; }
    void SetButtonDirection(TButtonDirection v);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v) { FIsWinXP = v; }
    // The mouse is over the button.
    bool HasMouse() const { return MouseInControl(); }
    TTimer* RepeatTimer() const { return FRepeatTimer; }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    void RepeatTick(TObject* Sender);
    TTimer* FRepeatTimer = nullptr;
    TTimeBtnState FTimeBtnState;
    TButtonDirection FButtonDirection = bdUp;
    bool FIsWinXP = false;
};

// The arrow pair.
class TAsgSpinButton : public TButtonHolder {
public:
    explicit TAsgSpinButton(TComponent* AOwner);

    TQorTimerSpeedButton* UpButton() const { return FUpButton; }
    TQorTimerSpeedButton* DownButton() const { return FDownButton; }
    // The arrow that carries the focus rectangle.
    TQorTimerSpeedButton* FocusedButton() const { return FFocusedButton; }
    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection v);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    // nullptr: the default arrow glyph with one image.
    TBitmap* UpGlyph() const;
    void SetUpGlyph(const TBitmap* v);
    TBitmap* DownGlyph() const;
    void SetDownGlyph(const TBitmap* v);
    int UpNumGlyphs() const;
    void SetUpNumGlyphs(int v);
    int DownNumGlyphs() const;
    void SetDownNumGlyphs(int v);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void ButtonLookChanged() override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Paint() override;
    void Loaded() override;

private:
    void ArrangeButtons(int& W, int& H);
    void ArrowMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ArrowClick(TObject* Sender);
    void SetFocusedButton(TQorTimerSpeedButton* Button);
    TQorTimerSpeedButton* CreateButton();
    TQorTimerSpeedButton* FUpButton = nullptr;
    TQorTimerSpeedButton* FDownButton = nullptr;
    TQorTimerSpeedButton* FFocusedButton = nullptr;
    TSpinDirection FDirection = spVertical;
    bool FIsWinXP = false;
};

// The default arrow glyph of an arrow button (9 x 6 pixels).
void LoadSpinGlyph(TBitmap* Glyph, bool Up);

class TAsgSpinEdit : public TCustomMaskEdit {
public:
    explicit TAsgSpinEdit(TComponent* AOwner);

    // Stores the flag and passes it to the arrow pair and both arrows.
    void SetWinXPLook(bool Value);
    TAsgSpinButton* Button() const { return FButton; }

    TAsgSpinType SpinType() const { return FSpinType; }
    void SetSpinType(TAsgSpinType v);
    // The value of each kind is read from the text and written to it.
    int Value();
    void SetValue(int v);
    double FloatValue();
    void SetFloatValue(double v);
    TDateTime DateValue();
    void SetDateValue(TDateTime v);
    TDateTime TimeValue();
    void SetTimeValue(TDateTime v);
    int MinValue() const { return FMinValue; }
    void SetMinValue(int v) { FMinValue = v; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int v) { FMaxValue = v; }
    double MinFloatValue() const { return FMinFloatValue; }
    void SetMinFloatValue(double v) { FMinFloatValue = v; }
    double MaxFloatValue() const { return FMaxFloatValue; }
    void SetMaxFloatValue(double v) { FMaxFloatValue = v; }
    // Bounds of both dates and times; equal bounds (0 and 0 by default) do not bound.
    TDateTime MinDateValue() const { return FMinDateValue; }
    void SetMinDateValue(TDateTime v) { FMinDateValue = v; }
    TDateTime MaxDateValue() const { return FMaxDateValue; }
    void SetMaxDateValue(TDateTime v) { FMaxDateValue = v; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    double IncrementFloat() const { return FIncrementFloat; }
    void SetIncrementFloat(double v) { FIncrementFloat = v; }
    double IncrementFloatPage() const { return FIncrementFloatPage; }
    void SetIncrementFloatPage(double v) { FIncrementFloatPage = v; }
    int IncrementHours() const { return FIncrementHours; }
    void SetIncrementHours(int v) { FIncrementHours = v; }
    int IncrementMinutes() const { return FIncrementMinutes; }
    void SetIncrementMinutes(int v) { FIncrementMinutes = v; }
    int IncrementSeconds() const { return FIncrementSeconds; }
    void SetIncrementSeconds(int v) { FIncrementSeconds = v; }
    // Decimals of the float text; 0 the shortest text.
    int Precision() const { return FPrecision; }
    void SetPrecision(int v);
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool v) { FShowSeconds = v; }
    // False: only the arrows and keys change the value.
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    // Enter acts as Tab.
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { FExcelStyleDecimalSeparator = v; }
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign v);
    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection v);
    bool SpinFlat() const { return FSpinFlat; }
    void SetSpinFlat(bool v);
    bool SpinTransparent() const { return FSpinTransparent; }
    void SetSpinTransparent(bool v);
    // An empty text may stand for no value; the grid's spin cells read it.
    bool AllowEmptyValue() const { return FAllowEmptyValue; }
    void SetAllowEmptyValue(bool v) { FAllowEmptyValue = v; }
    bool IsWinXP() const { return FIsWinXP; }
    void Loaded() override;
    // The least height that shows a line of the font.
    int MinimumHeight();

    virtual void StepUp(bool Page);
    virtual void StepDown(bool Page);
    // Whether a typed character is taken (may be changed).
    virtual bool AcceptChar(char32_t& Key);
    virtual void UpButtonClicked(TObject* Sender);
    virtual void DownButtonClicked(TObject* Sender);

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void WMSize(TWMSize& Message) override;
    void Dispatch(TMessage& Message) override;
    void DoEnter() override;
    void DoExit() override;
    void CreateWnd() override;

private:
    // A step up (Sign 1) or down (-1) of the value of the kind.
    void step(int Sign, bool Page);
    int ClampValue(int v) const;
    double ClampFloatValue(double v) const;
    TDateTime ClampDateValue(TDateTime v) const;
    void UpdateEditRect();
    // The arrow pair at the right edge (or the height raised to the minimum first).
    void placeButton();
    // Layout runs again: one pixel wider and back.
    void nudgeWidth();
    TAsgSpinButton* FButton = nullptr;
    TAsgSpinType FSpinType = sptNormal;
    TDateTime FDateValue = 0;
    TDateTime FTimeValue = 0;
    int FMinValue = 0;
    int FMaxValue = 100;
    double FMinFloatValue = 0.0;
    double FMaxFloatValue = 100.0;
    TDateTime FMinDateValue = 0;
    TDateTime FMaxDateValue = 0;
    int FIncrement = 1;
    double FIncrementFloat = 0.1;
    double FIncrementFloatPage = 1.0;
    int FIncrementHours = 1;
    int FIncrementMinutes = 1;
    int FIncrementSeconds = 1;
    int FPrecision = 0;
    bool FShowSeconds = true;
    bool FEditorEnabled = true;
    bool FReturnIsTab = false;
    bool FExcelStyleDecimalSeparator = false;
    TEditAlign FEditAlign = eaLeft;
    TSpinDirection FDirection = spVertical;
    bool FSpinFlat = false;
    bool FSpinTransparent = false;
    bool FAllowEmptyValue = false;
    bool FIsWinXP = false;
};
