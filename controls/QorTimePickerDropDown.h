#pragma once
// A drop-down edit holding a time of day: the text shows hours, minutes and (ShowSeconds)
// seconds under an edit mask; the popup shows the analog clock, on which the time is set with
// the mouse or the keys, and optionally a time picker below it. Up and Down in the edit step
// the part under the caret.
#include "controls/QorWatch.h"
#include "controls/base/QorCustomDropDown.h"

#include <memory>
#include <string>

class TDateTimePicker;
class TPanel;

class TQorTimePickerDropDown : public TQorCustomDropDown {
public:
    explicit TQorTimePickerDropDown(TComponent* AOwner);
    ~TQorTimePickerDropDown() override;

    // A time picker below the clock in the popup.
    bool ShowTimePicker() const { return FShowTimePicker; }
    void SetShowTimePicker(bool Value) { FShowTimePicker = Value; }
    // Copied into the clock at every drop-down.
    TWatchAppearance* WatchAppearance() const { return FWatchAppearance.get(); }
    void SetWatchAppearance(const TWatchAppearance* Value) { FWatchAppearance->Assign(Value); }
    TWatchSettings* WatchSettings() const { return FWatchSettings.get(); }
    void SetWatchSettings(const TWatchSettings* Value) { FWatchSettings->Assign(Value); }
    bool ShowWatchAMPM() const { return FShowWatchAMPM; }
    void SetShowWatchAMPM(bool Value) { FShowWatchAMPM = Value; }
    bool ShowWatchNumbers() const { return FShowWatchNumbers; }
    void SetShowWatchNumbers(bool Value) { FShowWatchNumbers = Value; }
    bool Animation() const { return FAnimation; }
    void SetAnimation(bool Value) { FAnimation = Value; }
    int AnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int Value) { FAnimationFactor = Value; }
    // The time of day; setting it rewrites the text (and the open popup) and fires nothing.
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime Value);
    // The text and the mask with or without seconds.
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool Value);
    // The mask of the text: digit positions ('0', '9') between literals.
    const std::string& EditMask() const { return FEditMask; }
    // The clock in the popup and the time picker (nullptr until a drop-down shows it).
    TQorWatch* Watch() const { return FQorWatch; }
    TDateTimePicker* DateTimePicker() const { return FDateTimePicker; }
    // The text format of a time.
    std::string TimeText(TDateTime Value) const;
    void SetComponentStyle(TQorStyle AStyle) override;

    // The time changed through the keys or the clock.
    TNotifyEvent OnTimeChange;

protected:
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool Cancelled) override;
    void AfterHideDropDown() override;
    void DropDownFormKeyDown(WORD& Key, TShiftState Shift) override;
    void DropDownFormKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyDown(WORD& Key, TShiftState Shift) override;
    void ControlKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyPress(char32_t& Key) override;
    void Change() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Mask and text written by the control itself.
    void setMaskAndText(const std::string& Mask, const std::string& Text);
    // One part (0 hours, 1 minutes, 2 seconds) replaced; fires OnTimeChange.
    void setPart(int Part, int Value);
    // Up and Down on the part under the caret.
    void stepPart(WORD Key);
    // Typing into a text that may be edited: digits overwrite the mask's digit positions.
    void maskedKeyPress(TMessage& Message);
    void watchChange();
    void pickerChange();
    // The clock shows Value without firing its change.
    void setWatchTime(TDateTime Value);
    bool FShowTimePicker = false;
    TQorWatch* FQorWatch = nullptr;
    TDateTimePicker* FDateTimePicker = nullptr;
    TPanel* FPanelCtrl = nullptr;
    std::unique_ptr<TWatchAppearance> FWatchAppearance;
    bool FShowWatchAMPM = true;
    bool FShowWatchNumbers = true;
    bool FAnimation = true;
    int FAnimationFactor = 10;
    TDateTime FTime = 0;
    std::unique_ptr<TWatchSettings> FWatchSettings;
    bool FInternalCall = false;
    bool FShowSeconds = true;
    std::string FEditMask;
    // The time when the popup opened: a cancel returns to it.
    TDateTime FDropDownTime = 0;
};
