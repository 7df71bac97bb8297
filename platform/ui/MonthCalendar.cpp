// The month calendar: one month of days in weeks from Monday, with the month's title and its
// arrows, optional week numbers and today's line; the date pickers drop it.
#include "platform/ui/DateTimePicker.h"

#include "platform/base/FormatSettings.h"
#include "platform/ui/StdCtrlsInternal.h"

#include <cmath>

using namespace stdctrls;

namespace {
constexpr DWORD calendarStyles = MCS_WEEKNUMBERS | MCS_NOTODAYCIRCLE | MCS_NOTODAY;
constexpr int margin = 4;

TDateTime dayOf(TDateTime v) {
    return std::floor(v);
}

// Monday 0 .. Sunday 6.
int weekdayFromMonday(TDateTime Day) {
    return (DayOfWeek(Day) + 5) % 7;
}

// The ISO week of the week that starts on Monday.
int isoWeek(TDateTime Monday) {
    const TDateTime thursday = Monday + 3;
    const TDateTime jan1 = EncodeDate(YearOf(thursday), 1, 1);
    return int(thursday - jan1) / 7 + 1;
}
} // namespace

UINT DTPShiftFocusMessage() {
    static const UINT message = RegisterWindowMessage("DTPShiftFocus");
    return message;
}

SYSTEMTIME DateTimeToSystemTime(TDateTime Value) {
    SYSTEMTIME st;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(Value, y, mo, d);
    DecodeTime(Value, h, mi, s, ms);
    st.wYear = WORD(y);
    st.wMonth = WORD(mo);
    st.wDay = WORD(d);
    st.wDayOfWeek = WORD(DayOfWeek(Value) - 1);
    st.wHour = WORD(h);
    st.wMinute = WORD(mi);
    st.wSecond = WORD(s);
    st.wMilliseconds = WORD(ms);
    return st;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(st.wYear, st.wMonth, st.wDay, date)) return 0;
    TryEncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, time);
    return ComposeDateTime(date, time);
}

struct TMonthCalendar::Layout {
    int CellWidth, RowHeight, TitleHeight, WeekColumn, HeaderTop, DaysTop, TodayTop, Width, Height;
};

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csOpaque | csDoubleClicks);
    SetColor(clWindow);
    SetTabStop(true);
    SetDate(::Date());
    const TRect r = MinReqRect();
    SetBounds(0, 0, r.Width(), r.Height());
}

void TMonthCalendar::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (popup_) Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
    Params.Style |= style_;
}

TMonthCalendar::Layout TMonthCalendar::layout() const {
    TCanvas* c = measureCanvas(Font());
    Layout l{};
    l.CellWidth = c->TextWidth("00") + 10;
    l.RowHeight = c->TextHeight("Wg") + 4;
    l.TitleHeight = l.RowHeight + 6;
    l.WeekColumn = style_ & MCS_WEEKNUMBERS ? l.CellWidth : 0;
    l.HeaderTop = margin + l.TitleHeight + 2;
    l.DaysTop = l.HeaderTop + l.RowHeight + 2;
    l.TodayTop = l.DaysTop + 6 * l.RowHeight + 2;
    l.Width = 2 * margin + l.WeekColumn + 7 * l.CellWidth;
    l.Height = l.TodayTop + (style_ & MCS_NOTODAY ? 0 : l.RowHeight + 2) + margin;
    return l;
}

TRect TMonthCalendar::MinReqRect() const {
    const Layout l = layout();
    return {0, 0, l.Width, l.Height};
}

TDateTime TMonthCalendar::firstShown() const {
    const TDateTime first = EncodeDate(year_, month_, 1);
    return first - weekdayFromMonday(first);
}

TRect TMonthCalendar::DayRect(TDateTime Day) const {
    const Layout l = layout();
    const int index = int(dayOf(Day) - firstShown());
    if (index < 0 || index >= 42) return {};
    const int left = margin + l.WeekColumn + index % 7 * l.CellWidth;
    const int top = l.DaysTop + index / 7 * l.RowHeight;
    return {left, top, left + l.CellWidth, top + l.RowHeight};
}

TRect TMonthCalendar::PrevButtonRect() const {
    const Layout l = layout();
    return {margin + 2, margin + 2, margin + l.TitleHeight - 2, margin + l.TitleHeight - 2};
}

TRect TMonthCalendar::NextButtonRect() const {
    const Layout l = layout();
    const int right = l.Width - margin - 2;
    return {right - l.TitleHeight + 4, margin + 2, right, margin + l.TitleHeight - 2};
}

TRect TMonthCalendar::TodayRect() const {
    if (style_ & MCS_NOTODAY) return {};
    const Layout l = layout();
    return {margin + l.WeekColumn, l.TodayTop, l.Width - margin, l.TodayTop + l.RowHeight};
}

void TMonthCalendar::SetDate(TDateTime v) {
    date_ = dayOf(v);
    int d = 0;
    DecodeDate(date_, year_, month_, d);
    Invalidate();
}

void TMonthCalendar::SetDisplayMonth(int Year, int Month) {
    if (Month < 1) {
        Month += 12;
        --Year;
    } else if (Month > 12) {
        Month -= 12;
        ++Year;
    }
    if (Year < 1 || Year > 9999) return;
    year_ = Year;
    month_ = Month;
    Invalidate();
}

void TMonthCalendar::SetCalendarStyle(DWORD v) {
    style_ = v & calendarStyles;
    if (HandleAllocated())
        SetWindowLong(Handle(), GWL_STYLE,
                      LONG((DWORD(GetWindowLong(Handle(), GWL_STYLE)) & ~calendarStyles) | style_));
    Invalidate();
}

void TMonthCalendar::notify(int Code) {
    NMSELCHANGE rec;
    rec.nmhdr.hwndFrom = HandleAllocated() ? Handle() : nullptr;
    rec.nmhdr.code = Code;
    rec.stSelStart = rec.stSelEnd = DateTimeToSystemTime(date_);
    if (Parent() && Parent()->HandleAllocated() && HandleAllocated())
        SendMessage(Parent()->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&rec));
    else
        Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&rec));
}

void TMonthCalendar::select(TDateTime Day, bool Chosen) {
    if (Day < 1 - 693594 || Day >= 2958466) return; // years 1 .. 9999
    const bool moved = dayOf(Day) != date_;
    SetDate(Day);
    if (moved) notify(MCN_SELCHANGE);
    if (Chosen) notify(MCN_SELECT);
}

void TMonthCalendar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case MCM_GETCURSEL:
        if (auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam))
            *st = DateTimeToSystemTime(date_);
        Message.Result = 1;
        return;
    case MCM_SETCURSEL:
        if (auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam))
            SetDate(SystemTimeToDateTime(*st));
        Message.Result = 1;
        return;
    case MCM_GETMINREQRECT:
        if (auto* r = reinterpret_cast<TRect*>(Message.LParam)) *r = MinReqRect();
        Message.Result = 1;
        return;
    case WM_STYLECHANGED:
        style_ = DWORD(GetWindowLong(Handle(), GWL_STYLE)) & calendarStyles;
        Invalidate();
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const TPoint p = LParamToPoint(Message.LParam);
        if (!ClientRect().Contains(p)) {
            if (OnOutsideClick) OnOutsideClick();
            return;
        }
        if (PrevButtonRect().Contains(p)) {
            SetDisplayMonth(year_, month_ - 1);
        } else if (NextButtonRect().Contains(p)) {
            SetDisplayMonth(year_, month_ + 1);
        } else if (TodayRect().Contains(p)) {
            select(::Date(), true);
        } else {
            const TDateTime first = firstShown();
            for (int i = 0; i < 42; ++i)
                if (DayRect(first + i).Contains(p)) {
                    select(first + i, true);
                    break;
                }
        }
        return;
    }
    case WM_KEYDOWN: {
        int y = 0, m = 0, d = 0;
        DecodeDate(date_, y, m, d);
        switch (WORD(Message.WParam)) {
        case VK_LEFT:
            select(date_ - 1, false);
            break;
        case VK_RIGHT:
            select(date_ + 1, false);
            break;
        case VK_UP:
            select(date_ - 7, false);
            break;
        case VK_DOWN:
            select(date_ + 7, false);
            break;
        case VK_PRIOR:
            select(IncMonth(date_, -1), false);
            break;
        case VK_NEXT:
            select(IncMonth(date_, 1), false);
            break;
        case VK_HOME:
            select(EncodeDate(y, m, 1), false);
            break;
        case VK_END:
            select(EncodeDate(y, m, DaysInAMonth(y, m)), false);
            break;
        case VK_RETURN:
            notify(MCN_SELECT);
            break;
        default:
            break;
        }
        return;
    }
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TMonthCalendar::Paint() {
    TCanvas* c = Canvas();
    const Layout l = layout();
    const TFormatSettings& fs = FormatSettings();
    FillRect(c, ClientRect(), Color());
    if (IsPopupWindow()) FrameRect(c, ClientRect(), clWindowFrame);
    c->Font()->Assign(Font());
    SetBkMode(c, TRANSPARENT);
    // The title: month and year between the arrows.
    const TRect title{margin, margin, l.Width - margin, margin + l.TitleHeight};
    FillRect(c, title, clActiveCaption);
    c->Font()->SetColor(clCaptionText);
    TRect t = title;
    DrawText(c, fs.LongMonthNames[month_ - 1] + " " + IntToStr(year_), -1, t,
             DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    c->Brush()->SetColor(clCaptionText);
    c->Pen()->SetColor(clCaptionText);
    const TRect prev = PrevButtonRect(), next = NextButtonRect();
    const int midY = (prev.Top + prev.Bottom) / 2, h = prev.Height() / 4;
    c->Polygon({{prev.Left + h, midY}, {prev.Right - h, midY - h}, {prev.Right - h, midY + h}});
    c->Polygon({{next.Right - h, midY}, {next.Left + h, midY - h}, {next.Left + h, midY + h}});
    // The days' names, Monday first.
    c->Font()->SetColor(clWindowText);
    const int left = margin + l.WeekColumn;
    for (int i = 0; i < 7; ++i) {
        TRect r{left + i * l.CellWidth, l.HeaderTop, left + (i + 1) * l.CellWidth,
                l.HeaderTop + l.RowHeight};
        DrawText(c, fs.ShortDayNames[(i + 1) % 7], -1, r,
                 DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
    c->Pen()->SetColor(clGrayText);
    c->MoveTo(left, l.DaysTop - 1);
    c->LineTo(l.Width - margin, l.DaysTop - 1);
    const TDateTime first = firstShown(), today = ::Date();
    for (int i = 0; i < 42; ++i) {
        const TDateTime day = first + i;
        TRect r = DayRect(day);
        int y = 0, m = 0, d = 0;
        DecodeDate(day, y, m, d);
        if (i % 7 == 0 && l.WeekColumn > 0) {
            TRect w{margin, r.Top, margin + l.WeekColumn, r.Bottom};
            c->Font()->SetColor(clGrayText);
            DrawText(c, IntToStr(isoWeek(day)), -1, w,
                     DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        }
        const bool selected = day == date_;
        if (selected) FillRect(c, r, clHighlight);
        c->Font()->SetColor(selected ? clHighlightText : m == month_ ? clWindowText : clGrayText);
        DrawText(c, IntToStr(d), -1, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        if (day == today && !(style_ & MCS_NOTODAYCIRCLE)) FrameRect(c, r, clRed);
    }
    if (l.WeekColumn > 0) {
        c->Pen()->SetColor(clGrayText);
        c->MoveTo(left - 1, l.DaysTop);
        c->LineTo(left - 1, l.DaysTop + 6 * l.RowHeight);
    }
    if (!(style_ & MCS_NOTODAY)) {
        TRect r = TodayRect();
        if (!(style_ & MCS_NOTODAYCIRCLE))
            FrameRect(c, TRect{r.Left + 2, r.Top + 3, r.Left + 14, r.Bottom - 3}, clRed);
        r.Left += 18;
        c->Font()->SetColor(clWindowText);
        DrawText(c, "Today: " + DateToStr(today), -1, r,
                 DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX);
    }
}
