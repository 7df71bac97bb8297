#pragma once
// The time picker: a time of day shown by Format ("hh:mm:ss", "hh:mm") in an edit-like box,
// one field (hours, minutes, seconds) current. Left and Right move between the fields, Up and
// Down step the current one with wrap-around, digits type it (two digits make a number when it
// stays in range); a click picks the field under the pointer. User changes fire OnChange.
#include "platform/base/DateUtils.h"
#include "platform/ui/core/Controls.h"

#include <string>

class TDateTimePicker : public TCustomControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

    // The time of day (the fraction of a day); setting it fires nothing.
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime Value);
    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& Value);
    // The field the keys act on: 0 hours, 1 minutes, 2 seconds.
    int Field() const { return FField; }
    // The shown text.
    std::string Text() const;

    TNotifyEvent OnChange;

protected:
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    int fieldCount() const;
    int fieldValue(int Field) const;
    // Sets one field, keeping the others and the milliseconds, and fires OnChange.
    void setField(int Field, int Value);
    // The field whose text (with the separator after it) holds the x coordinate.
    int fieldAt(int X);
    TDateTime FTime = 0;
    std::string FFormat = "hh:mm:ss";
    int FField = 0;
    // The first digit typed into the field, -1 when none.
    int FPendingDigit = -1;
};
