#pragma once
// The date-and-time picker and its month calendar, painted in the classic look.
//
// The picker shows its value as fields laid out by Format (the picker's own format letters: d dd
// ddd dddd, M MM MMM MMMM, y yy yyyy, h hh H HH, m mm, s ss, t tt, 'quoted text'; an empty
// Format takes the locale's short or long date or its long time format). Left and Right move
// between the fields, Up and Down step the current one, digits type into it: a digit that could
// still be followed by another one waits for it, the field changes when no further digit fits.
// A date picker drops a month calendar (F4, Alt+Down or its button); an up-down picker and a
// time picker step with the arrows at the right. Changes made by the user are reported to the
// parent as WM_NOTIFY DTN_DATETIMECHANGE (then reflected to the picker as CN_NOTIFY); the
// calendar's opening and closing as DTN_DROPDOWN and DTN_CLOSEUP. DTM_SETSYSTEMTIME sets the
// value (GDT_NONE: no value, the check box cleared) without a notification.
#include "platform/base/DateUtils.h"
#include "platform/ui/core/Controls.h"

#include <functional>
#include <string>
#include <vector>

constexpr UINT DTM_FIRST = 0x1000;
constexpr UINT DTM_GETSYSTEMTIME = DTM_FIRST + 1;
constexpr UINT DTM_SETSYSTEMTIME = DTM_FIRST + 2;
constexpr UINT DTM_GETRANGE = DTM_FIRST + 3;
constexpr UINT DTM_SETRANGE = DTM_FIRST + 4;
// LParam: the format as a UTF-8 C string (nullptr: the locale's).
constexpr UINT DTM_SETFORMAT = DTM_FIRST + 5;
// The open calendar's window; nullptr while none is open.
constexpr UINT DTM_GETMONTHCAL = DTM_FIRST + 8;
constexpr UINT DTM_CLOSEMONTHCAL = DTM_FIRST + 13;
constexpr WPARAM GDT_VALID = 0;
constexpr WPARAM GDT_NONE = 1;
constexpr LRESULT GDT_ERROR = -1;
// DTM_GETRANGE / DTM_SETRANGE: which of two SYSTEMTIME records are set.
constexpr WPARAM GDTR_MIN = 1;
constexpr WPARAM GDTR_MAX = 2;

constexpr UINT MCM_FIRST = 0x1000;
constexpr UINT MCM_GETCURSEL = MCM_FIRST + 1;
constexpr UINT MCM_SETCURSEL = MCM_FIRST + 2;
// LParam: a TRect* that receives the smallest rectangle that shows a whole month.
constexpr UINT MCM_GETMINREQRECT = MCM_FIRST + 9;
// Month calendar window styles (the low word of GWL_STYLE).
constexpr DWORD MCS_WEEKNUMBERS = 0x0004;
constexpr DWORD MCS_NOTODAYCIRCLE = 0x0008;
constexpr DWORD MCS_NOTODAY = 0x0010;
// The calendar's notifications to its owner: the selection moved, a day was chosen.
constexpr int MCN_SELECT = -746;
constexpr int MCN_SELCHANGE = -749;
struct NMSELCHANGE {
    NMHDR nmhdr;
    SYSTEMTIME stSelStart;
    SYSTEMTIME stSelEnd;
};

// The registered message of the pickers' automatic move to the next field.
UINT DTPShiftFocusMessage();

// A date-time value as a SYSTEMTIME and back (the date-time of an all-zero record is 0).
SYSTEMTIME DateTimeToSystemTime(TDateTime Value);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);

class TMonthCalendar : public TCustomControl {
public:
    explicit TMonthCalendar(TComponent* AOwner);
    // The selected day (a date without time).
    TDateTime Date() const { return date_; }
    void SetDate(TDateTime v);
    // The month shown.
    int DisplayYear() const { return year_; }
    int DisplayMonth() const { return month_; }
    void SetDisplayMonth(int Year, int Month);
    // The style bits MCS_WEEKNUMBERS, MCS_NOTODAYCIRCLE, MCS_NOTODAY (SetWindowLong too).
    DWORD CalendarStyle() const { return style_; }
    void SetCalendarStyle(DWORD v);
    // The smallest size that shows a whole month with the styles set.
    TRect MinReqRect() const;
    // Hit areas, in client coordinates.
    TRect DayRect(TDateTime Day) const;
    TRect PrevButtonRect() const;
    TRect NextButtonRect() const;
    TRect TodayRect() const;
    // A press outside the calendar while it holds the mouse (a dropped calendar).
    std::function<void()> OnOutsideClick;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;

private:
    // A picker drops the calendar as a pop-up window of its own.
    friend class TDateTimePicker;
    bool popup_ = false;
    struct Layout;
    Layout layout() const;
    TDateTime firstShown() const;
    void select(TDateTime Day, bool Chosen);
    void notify(int Code);
    TDateTime date_ = 0;
    int year_ = 1900;
    int month_ = 1;
    DWORD style_ = 0;
};

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateMode { dmComboBox, dmUpDown };
enum TDTDateFormat { dfShort, dfLong };

class TDateTimePicker : public TCustomControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

    TDateTimeKind Kind() const { return kind_; }
    void SetKind(TDateTimeKind v);
    TDTDateMode DateMode() const { return dateMode_; }
    void SetDateMode(TDTDateMode v);
    TDTDateFormat DateFormat() const { return dateFormat_; }
    void SetDateFormat(TDTDateFormat v);
    const std::string& Format() const { return format_; }
    void SetFormat(const std::string& v);
    // The value; setting it goes through DTM_SETSYSTEMTIME and checks the check box.
    TDateTime DateTime() const { return value_; }
    void SetDateTime(TDateTime v);
    TDateTime Date() const;
    void SetDate(TDateTime v);
    TDateTime Time() const;
    void SetTime(TDateTime v);
    // Bounds of the value (0: none).
    TDateTime MinDate() const { return minDate_; }
    void SetMinDate(TDateTime v) { minDate_ = v; }
    TDateTime MaxDate() const { return maxDate_; }
    void SetMaxDate(TDateTime v) { maxDate_ = v; }
    bool ShowCheckbox() const { return showCheckbox_; }
    void SetShowCheckbox(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool DroppedDown() const { return dropped_; }
    // A sunken 3-D frame; without it the picker draws no frame of its own.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v);
    // The field the keys go to (an index into the format's fields), -1 the check box or none.
    int ActiveField() const { return active_; }
    int FieldCount() const;
    // The text shown, also the window text.
    std::string DisplayText() const;
    // The open calendar; nullptr while closed.
    TMonthCalendar* MonthCalendar() const { return dropped_ ? calendar_ : nullptr; }
    void SetText(const std::string& v) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    // The notifications reflected back from the parent (CN_NOTIFY).
    virtual void CNNotify(TMessage& Message);
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void Paint() override;
    // Width of the drop-down button or the up-down arrows at the right.
    int ButtonAreaWidth() const;
    // Opens (closes) the calendar of a date picker; Select takes its day.
    void OpenCalendar();
    void CloseCalendar(bool Select);
    // Sends a notification to the parent (reflected back) or, without one, to the picker.
    void SendNotify(int Code);

private:
    struct Field;
    std::vector<Field> fields() const;
    std::string effectiveFormat() const;
    void setValue(TDateTime v, bool User);
    void stepField(int Delta);
    void typeDigit(int Digit);
    void commitPending();
    void moveField(int Delta);
    int fieldAt(int X) const;
    void updateText();
    TDateTime clamp(TDateTime v) const;
    TDateTimeKind kind_ = dtkDate;
    TDTDateMode dateMode_ = dmComboBox;
    TDTDateFormat dateFormat_ = dfShort;
    std::string format_;
    TDateTime value_ = 0;
    TDateTime minDate_ = 0;
    TDateTime maxDate_ = 0;
    bool showCheckbox_ = false;
    bool checked_ = true;
    bool dropped_ = false;
    bool ctl3D_ = true;
    int active_ = 0;
    int pendingValue_ = 0;
    int pendingDigits_ = 0;
    TMonthCalendar* calendar_ = nullptr;
};
