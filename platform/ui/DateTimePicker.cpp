#include "platform/ui/DateTimePicker.h"

#include "platform/base/FormatSettings.h"
#include "platform/ui/StdCtrlsInternal.h"
#include "platform/ui/core/SysInfo.h"

#include <algorithm>
#include <cmath>

using namespace stdctrls;

struct TDateTimePicker::Field {
    enum TKind {
        Literal,
        Day,
        DayName,
        Month,
        MonthName,
        Year,
        Hour12,
        Hour24,
        Minute,
        Second,
        AmPm
    };
    TKind Kind = Literal;
    int Letters = 0;
    std::string Text;
    int Left = 0;
    int Right = 0;
};

namespace {
constexpr int checkBoxSize = 13;

bool isFieldLetter(char c) {
    return c == 'd' || c == 'M' || c == 'y' || c == 'h' || c == 'H' || c == 'm' || c == 's' ||
           c == 't';
}

std::string pad(int v, int width) {
    std::string s = IntToStr(v);
    while (int(s.size()) < width) s.insert(s.begin(), '0');
    return s;
}

// The locale's formats are written in the model's letters (m month or, after h, minute; n
// minute; am/pm); the picker's letters tell month (M) from minute (m) and 24 (H) from 12 hours.
std::string pickerFormatOf(const std::string& f) {
    const TFormatSettings& fs = FormatSettings();
    const std::string lower = LowerCase(f);
    const bool ampm = lower.find("am/pm") != std::string::npos ||
                      lower.find("a/p") != std::string::npos ||
                      lower.find("ampm") != std::string::npos;
    std::string out;
    bool afterHour = false;
    auto literal = [&](const std::string& s) {
        if (s.empty()) return;
        out += '\'';
        for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
        out += '\'';
    };
    for (std::size_t i = 0; i < f.size();) {
        const char c = char(std::tolower(static_cast<unsigned char>(f[i])));
        std::size_t n = 1;
        while (i + n < f.size() && std::tolower(static_cast<unsigned char>(f[i + n])) == c) ++n;
        if (lower.compare(i, 5, "am/pm") == 0) {
            out += "tt";
            i += 5;
            continue;
        }
        if (lower.compare(i, 4, "ampm") == 0) {
            out += "tt";
            i += 4;
            continue;
        }
        if (lower.compare(i, 3, "a/p") == 0) {
            out += "t";
            i += 3;
            continue;
        }
        switch (c) {
        case 'd':
            out += std::string(std::min<std::size_t>(n, 4), 'd');
            break;
        case 'm':
            out += std::string(std::min<std::size_t>(n, afterHour ? 2 : 4), afterHour ? 'm' : 'M');
            afterHour = false;
            break;
        case 'n':
            out += std::string(std::min<std::size_t>(n, 2), 'm');
            break;
        case 'y':
            out += n <= 2 ? "yy" : "yyyy";
            break;
        case 'h':
            out += std::string(std::min<std::size_t>(n, 2), ampm ? 'h' : 'H');
            afterHour = true;
            break;
        case 's':
            out += std::string(std::min<std::size_t>(n, 2), 's');
            break;
        case 'z':
            break;
        case '/':
            literal(std::string(n, fs.DateSeparator));
            break;
        case ':':
            literal(std::string(n, fs.TimeSeparator));
            break;
        case '"':
        case '\'': {
            const std::size_t end = f.find(f[i], i + 1);
            literal(f.substr(i + 1, (end == std::string::npos ? f.size() : end) - i - 1));
            i = end == std::string::npos ? f.size() : end + 1;
            continue;
        }
        default:
            literal(f.substr(i, n));
            break;
        }
        i += n;
    }
    return out;
}
} // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csOpaque | csClickEvents | csDoubleClicks | csSetCaption);
    SetBounds(0, 0, 186, 21);
    SetTabStop(true);
    SetColor(clWindow);
    value_ = ::Now();
    updateText();
}

TDateTimePicker::~TDateTimePicker() {
    if (dropped_ && calendar_ && calendar_->MouseCapture()) ReleaseCapture();
}

// --- properties --------------------------------------------------------------------------------
void TDateTimePicker::SetKind(TDateTimeKind v) {
    if (kind_ == v) return;
    if (dropped_) CloseCalendar(false);
    kind_ = v;
    active_ = 0;
    updateText();
    Invalidate();
}

void TDateTimePicker::SetDateMode(TDTDateMode v) {
    if (dateMode_ == v) return;
    if (dropped_) CloseCalendar(false);
    dateMode_ = v;
    Invalidate();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat v) {
    if (dateFormat_ == v) return;
    dateFormat_ = v;
    active_ = 0;
    updateText();
    Invalidate();
}

void TDateTimePicker::SetFormat(const std::string& v) {
    Perform(DTM_SETFORMAT, 0, reinterpret_cast<LPARAM>(v.c_str()));
}

void TDateTimePicker::SetDateTime(TDateTime v) {
    SYSTEMTIME st = DateTimeToSystemTime(v);
    Perform(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

TDateTime TDateTimePicker::Date() const {
    return std::floor(value_);
}

void TDateTimePicker::SetDate(TDateTime v) {
    SetDateTime(ComposeDateTime(std::floor(v), std::fabs(value_ - std::trunc(value_))));
}

// The time of day to the millisecond: the value has gone through a calendar record, and the
// fraction of a date-and-time would make equal times differ in their last bits.
TDateTime TDateTimePicker::Time() const {
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(value_, h, m, s, ms);
    return EncodeTime(h, m, s, ms);
}

void TDateTimePicker::SetTime(TDateTime v) {
    SetDateTime(ComposeDateTime(std::trunc(value_), std::fabs(v - std::trunc(v))));
}

void TDateTimePicker::SetShowCheckbox(bool v) {
    if (showCheckbox_ == v) return;
    showCheckbox_ = v;
    if (!v) checked_ = true;
    Invalidate();
}

void TDateTimePicker::SetChecked(bool v) {
    if (v) {
        SYSTEMTIME st = DateTimeToSystemTime(value_);
        Perform(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    } else {
        Perform(DTM_SETSYSTEMTIME, GDT_NONE, 0);
    }
}

void TDateTimePicker::SetCtl3D(bool v) {
    if (ctl3D_ == v) return;
    ctl3D_ = v;
    Perform(CM_CTL3DCHANGED);
    Invalidate();
}

void TDateTimePicker::SetText(const std::string& v) {
    TDateTime d = 0;
    if (kind_ == dtkTime ? TryStrToTime(v, d) : TryStrToDate(v, d)) {
        if (kind_ == dtkTime)
            SetTime(d);
        else
            SetDate(d);
    }
}

int TDateTimePicker::FieldCount() const {
    int n = 0;
    for (const Field& f : fields())
        if (f.Kind != Field::Literal) ++n;
    return n;
}

std::string TDateTimePicker::DisplayText() const {
    std::string s;
    for (const Field& f : fields()) s += f.Text;
    return s;
}

// --- fields ------------------------------------------------------------------------------------
std::string TDateTimePicker::effectiveFormat() const {
    if (!format_.empty()) return format_;
    const TFormatSettings& fs = FormatSettings();
    if (kind_ == dtkTime) return pickerFormatOf(fs.LongTimeFormat);
    return pickerFormatOf(dateFormat_ == dfLong ? fs.LongDateFormat : fs.ShortDateFormat);
}

std::vector<TDateTimePicker::Field> TDateTimePicker::fields() const {
    const std::string f = effectiveFormat();
    const TFormatSettings& fs = FormatSettings();
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(value_, y, mo, d);
    DecodeTime(value_, h, mi, s, ms);
    std::vector<Field> out;
    int editable = 0;
    for (std::size_t i = 0; i < f.size();) {
        Field fd;
        if (f[i] == '\'') {
            std::size_t j = i + 1;
            while (j < f.size()) {
                if (f[j] == '\'' && j + 1 < f.size() && f[j + 1] == '\'') {
                    fd.Text += '\'';
                    j += 2;
                } else if (f[j] == '\'') {
                    break;
                } else {
                    fd.Text += f[j++];
                }
            }
            i = j + 1;
            out.push_back(fd);
            continue;
        }
        if (!isFieldLetter(f[i])) {
            fd.Text = std::string(1, f[i++]);
            out.push_back(fd);
            continue;
        }
        const char c = f[i];
        std::size_t n = 1;
        while (i + n < f.size() && f[i + n] == c) ++n;
        i += n;
        fd.Letters = int(n);
        switch (c) {
        case 'd':
            fd.Kind = n >= 3 ? Field::DayName : Field::Day;
            fd.Text = n >= 4   ? fs.LongDayNames[DayOfWeek(value_) - 1]
                      : n == 3 ? fs.ShortDayNames[DayOfWeek(value_) - 1]
                               : pad(d, int(n));
            break;
        case 'M':
            fd.Kind = n >= 3 ? Field::MonthName : Field::Month;
            fd.Text = n >= 4   ? fs.LongMonthNames[mo - 1]
                      : n == 3 ? fs.ShortMonthNames[mo - 1]
                               : pad(mo, int(n));
            break;
        case 'y':
            fd.Kind = Field::Year;
            fd.Text = n == 1 ? IntToStr(y % 10) : n == 2 ? pad(y % 100, 2) : pad(y, 4);
            break;
        case 'h':
            fd.Kind = Field::Hour12;
            fd.Text = pad(h % 12 == 0 ? 12 : h % 12, int(std::min<std::size_t>(n, 2)));
            break;
        case 'H':
            fd.Kind = Field::Hour24;
            fd.Text = pad(h, int(std::min<std::size_t>(n, 2)));
            break;
        case 'm':
            fd.Kind = Field::Minute;
            fd.Text = pad(mi, int(std::min<std::size_t>(n, 2)));
            break;
        case 's':
            fd.Kind = Field::Second;
            fd.Text = pad(s, int(std::min<std::size_t>(n, 2)));
            break;
        default: {
            fd.Kind = Field::AmPm;
            const std::string& ap = h < 12 ? fs.TimeAMString : fs.TimePMString;
            fd.Text = n == 1 ? ap.substr(0, 1) : ap;
            break;
        }
        }
        // The digits typed so far stand in the field being typed.
        if (editable == active_ && pendingDigits_ > 0) fd.Text = IntToStr(pendingValue_);
        ++editable;
        out.push_back(fd);
    }
    TCanvas* c = measureCanvas(Font());
    int x = (ctl3D_ ? 2 : 1) + 2 + (showCheckbox_ ? checkBoxSize + 4 : 0);
    for (Field& fd : out) {
        fd.Left = x;
        x += c->TextWidth(fd.Text);
        fd.Right = x;
    }
    return out;
}

int TDateTimePicker::fieldAt(int X) const {
    int editable = 0, nearest = -1;
    for (const Field& f : fields()) {
        if (f.Kind == Field::Literal) continue;
        if (X >= f.Left) nearest = editable;
        ++editable;
    }
    return std::max(0, nearest);
}

void TDateTimePicker::updateText() {
    PeerTextChanged(DisplayText());
}

TDateTime TDateTimePicker::clamp(TDateTime v) const {
    if (minDate_ != 0 && v < minDate_) v = minDate_;
    if (maxDate_ != 0 && v > maxDate_) v = maxDate_;
    return v;
}

void TDateTimePicker::setValue(TDateTime v, bool User) {
    v = clamp(v);
    const bool wasChecked = checked_;
    if (User && showCheckbox_) checked_ = true;
    if (v == value_ && wasChecked == checked_) {
        updateText();
        Invalidate();
        return;
    }
    value_ = v;
    updateText();
    Invalidate();
    if (User) SendNotify(DTN_DATETIMECHANGE);
}

void TDateTimePicker::moveField(int Delta) {
    commitPending();
    const int n = FieldCount();
    if (n == 0) return;
    active_ = std::clamp(active_ + Delta, 0, n - 1);
    Invalidate();
}

void TDateTimePicker::stepField(int Delta) {
    commitPending();
    const std::vector<Field> fs = fields();
    const Field* f = nullptr;
    int editable = 0;
    for (const Field& fd : fs)
        if (fd.Kind != Field::Literal && editable++ == active_) f = &fd;
    if (!f) return;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(value_, y, mo, d);
    DecodeTime(value_, h, mi, s, ms);
    auto wrap = [](int v, int lo, int hi) { return v < lo ? hi : v > hi ? lo : v; };
    switch (f->Kind) {
    case Field::Day:
    case Field::DayName:
        d = wrap(d + Delta, 1, DaysInAMonth(y, mo));
        break;
    case Field::Month:
    case Field::MonthName:
        mo = wrap(mo + Delta, 1, 12);
        break;
    case Field::Year:
        y = std::clamp(y + Delta, 1, 9999);
        break;
    case Field::Hour12:
    case Field::Hour24:
        h = wrap(h + Delta, 0, 23);
        break;
    case Field::Minute:
        mi = wrap(mi + Delta, 0, 59);
        break;
    case Field::Second:
        s = wrap(s + Delta, 0, 59);
        break;
    case Field::AmPm:
        h = (h + 12) % 24;
        break;
    case Field::Literal:
        return;
    }
    d = std::min(d, DaysInAMonth(y, mo));
    setValue(ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s, ms)), true);
}

void TDateTimePicker::typeDigit(int Digit) {
    const std::vector<Field> fs = fields();
    const Field* f = nullptr;
    int editable = 0;
    for (const Field& fd : fs)
        if (fd.Kind != Field::Literal && editable++ == active_) f = &fd;
    if (!f) return;
    int high = 0, digits = 2;
    switch (f->Kind) {
    case Field::Day: {
        int y = 0, mo = 0, d = 0;
        DecodeDate(value_, y, mo, d);
        high = DaysInAMonth(y, mo);
        break;
    }
    case Field::Month:
    case Field::MonthName:
        high = 12;
        break;
    case Field::Year:
        high = 9999;
        digits = f->Letters >= 3 ? 4 : 2;
        break;
    case Field::Hour12:
        high = 12;
        break;
    case Field::Hour24:
        high = 23;
        break;
    case Field::Minute:
    case Field::Second:
        high = 59;
        break;
    default:
        MessageBeep(0);
        return;
    }
    int v = pendingDigits_ > 0 ? pendingValue_ * 10 + Digit : Digit;
    int n = pendingDigits_ + 1;
    if (v > high || n > digits) {
        v = Digit;
        n = 1;
    }
    pendingValue_ = v;
    pendingDigits_ = n;
    // A digit that could still be followed by another waits for it.
    if (n < digits && v * 10 <= high) {
        updateText();
        Invalidate();
        return;
    }
    commitPending();
}

void TDateTimePicker::commitPending() {
    if (pendingDigits_ == 0) return;
    int v = pendingValue_;
    const int n = pendingDigits_;
    pendingDigits_ = 0;
    const std::vector<Field> fs = fields();
    const Field* f = nullptr;
    int editable = 0;
    for (const Field& fd : fs)
        if (fd.Kind != Field::Literal && editable++ == active_) f = &fd;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(value_, y, mo, d);
    DecodeTime(value_, h, mi, s, ms);
    if (!f) return;
    switch (f->Kind) {
    case Field::Day:
        d = v;
        break;
    case Field::Month:
    case Field::MonthName:
        mo = v;
        break;
    case Field::Year:
        if (n <= 2) {
            // A short year falls in the hundred years around this one.
            const int now = YearOf(::Date());
            v += now / 100 * 100;
            if (v > now + 50) v -= 100;
            if (v < now - 49) v += 100;
        }
        y = v;
        break;
    case Field::Hour12:
        h = v % 12 + (h >= 12 ? 12 : 0);
        break;
    case Field::Hour24:
        h = v;
        break;
    case Field::Minute:
        mi = v;
        break;
    case Field::Second:
        s = v;
        break;
    default:
        break;
    }
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(y, mo, std::min(d, std::max(1, DaysInAMonth(std::max(1, y), mo))), date) ||
        d < 1 || !TryEncodeTime(h, mi, s, ms, time)) {
        // A value the field cannot take (a day 0) leaves the value as it was.
        updateText();
        Invalidate();
        return;
    }
    setValue(ComposeDateTime(date, time), true);
}

// --- the calendar ------------------------------------------------------------------------------
void TDateTimePicker::OpenCalendar() {
    if (dropped_ || kind_ == dtkTime || dateMode_ == dmUpDown) return;
    commitPending();
    // A new calendar each time, so that the styles a drop-down handler gives it start afresh;
    // the last one is gone by now (it is never freed from within its own handling).
    delete calendar_;
    calendar_ = new TMonthCalendar(this);
    calendar_->popup_ = true;
    calendar_->SetVisible(false);
    calendar_->Font()->Assign(Font());
    calendar_->SetDate(value_);
    calendar_->OnOutsideClick = [this] { CloseCalendar(false); };
    calendar_->SetParent(this);
    const TPoint at = ClientToScreen({0, Height()});
    const TRect r = calendar_->MinReqRect();
    calendar_->SetBounds(at.X, at.Y, r.Width(), r.Height());
    calendar_->HandleNeeded();
    dropped_ = true;
    Invalidate();
    SendNotify(DTN_DROPDOWN);
    if (!dropped_) return;
    calendar_->SetVisible(true);
    SetCapture(calendar_->Handle());
}

void TDateTimePicker::CloseCalendar(bool Select) {
    if (!dropped_) return;
    dropped_ = false;
    if (calendar_->MouseCapture()) ReleaseCapture();
    calendar_->SetVisible(false);
    Invalidate();
    if (Select) {
        const TDateTime day = calendar_->Date();
        setValue(ComposeDateTime(day, Time()), true);
    }
    SendNotify(DTN_CLOSEUP);
}

void TDateTimePicker::SendNotify(int Code) {
    NMDATETIMECHANGE rec;
    rec.nmhdr.hwndFrom = HandleAllocated() ? Handle() : nullptr;
    rec.nmhdr.code = Code;
    if (Code == DTN_DATETIMECHANGE) {
        rec.dwFlags = checked_ ? DWORD(GDT_VALID) : DWORD(GDT_NONE);
        if (checked_) rec.st = DateTimeToSystemTime(value_);
    }
    const LPARAM l = reinterpret_cast<LPARAM>(&rec);
    if (Parent() && Parent()->HandleAllocated() && HandleAllocated())
        SendMessage(Parent()->Handle(), WM_NOTIFY, 0, l);
    else
        Perform(CN_NOTIFY, 0, l);
}

void TDateTimePicker::Change() {
    if (OnChange) OnChange(this);
}

void TDateTimePicker::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TDateTimePicker::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TDateTimePicker::CNNotify(TMessage& Message) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (!hdr) return;
    if (hdr->code == DTN_DATETIMECHANGE)
        Change();
    else if (hdr->code == DTN_DROPDOWN)
        DropDown();
    else if (hdr->code == DTN_CLOSEUP)
        CloseUp();
}

// --- messages ----------------------------------------------------------------------------------
void TDateTimePicker::WndProc(TMessage& Message) {
    // While the calendar is open the keys are its own, as the focus would be.
    if (dropped_ && calendar_) {
        switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const WORD key = WORD(Message.WParam);
            const bool alt = Message.Msg == WM_SYSKEYDOWN || (Message.LParam & AltMask);
            if (key == VK_ESCAPE || key == VK_F4 || (alt && (key == VK_UP || key == VK_DOWN)))
                CloseCalendar(false);
            else if (key == VK_TAB)
                CloseCalendar(false);
            else
                calendar_->Perform(WM_KEYDOWN, Message.WParam, Message.LParam);
            if (key != VK_TAB) return;
            break;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
            return;
        default:
            break;
        }
    }
    TCustomControl::WndProc(Message);
}

void TDateTimePicker::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case DTM_GETSYSTEMTIME:
        if (!checked_) {
            Message.Result = LRESULT(GDT_NONE);
            return;
        }
        if (auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam))
            *st = DateTimeToSystemTime(value_);
        Message.Result = LRESULT(GDT_VALID);
        return;
    case DTM_SETSYSTEMTIME:
        pendingDigits_ = 0;
        if (Message.WParam == GDT_NONE) {
            if (showCheckbox_) checked_ = false;
        } else if (auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam)) {
            value_ = clamp(SystemTimeToDateTime(*st));
            checked_ = true;
        }
        updateText();
        Invalidate();
        Message.Result = 1;
        return;
    case DTM_GETRANGE: {
        auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
        LRESULT flags = 0;
        if (minDate_ != 0) {
            flags |= LRESULT(GDTR_MIN);
            if (st) st[0] = DateTimeToSystemTime(minDate_);
        }
        if (maxDate_ != 0) {
            flags |= LRESULT(GDTR_MAX);
            if (st) st[1] = DateTimeToSystemTime(maxDate_);
        }
        Message.Result = flags;
        return;
    }
    case DTM_SETRANGE: {
        const auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam);
        minDate_ = st && (Message.WParam & GDTR_MIN) ? SystemTimeToDateTime(st[0]) : 0;
        maxDate_ = st && (Message.WParam & GDTR_MAX) ? SystemTimeToDateTime(st[1]) : 0;
        Message.Result = 1;
        return;
    }
    case DTM_SETFORMAT: {
        const char* f = reinterpret_cast<const char*>(Message.LParam);
        format_ = f ? f : "";
        pendingDigits_ = 0;
        active_ = std::min(active_, std::max(0, FieldCount() - 1));
        updateText();
        Invalidate();
        Message.Result = 1;
        return;
    }
    case DTM_GETMONTHCAL:
        Message.Result = dropped_ && calendar_ && calendar_->HandleAllocated()
                             ? reinterpret_cast<LRESULT>(calendar_->Handle())
                             : 0;
        return;
    case DTM_CLOSEMONTHCAL:
        CloseCalendar(false);
        return;
    case CN_NOTIFY:
        CNNotify(Message);
        return;
    case WM_NOTIFY: {
        // The open calendar tells its owner of the day chosen.
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr && calendar_ && calendar_->HandleAllocated() &&
            hdr->hwndFrom == calendar_->Handle()) {
            if (hdr->code == MCN_SELECT) CloseCalendar(true);
            return;
        }
        break;
    }
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (dropped_ ? DLGC_WANTALLKEYS : 0);
        return;
    case WM_SETFOCUS:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        commitPending();
        if (dropped_) CloseCalendar(false);
        Invalidate();
        return;
    case WM_CANCELMODE:
        if (dropped_) CloseCalendar(false);
        break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        updateText();
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

int TDateTimePicker::ButtonAreaWidth() const {
    return SystemScrollBarSize;
}

void TDateTimePicker::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        const WORD key = WORD(Message.WParam);
        const bool alt = Message.Msg == WM_SYSKEYDOWN || (Message.LParam & AltMask);
        const bool calendar = kind_ == dtkDate && dateMode_ == dmComboBox;
        switch (key) {
        case VK_LEFT:
            moveField(-1);
            return;
        case VK_RIGHT:
            moveField(1);
            return;
        case VK_HOME:
            moveField(-FieldCount());
            return;
        case VK_END:
            moveField(FieldCount());
            return;
        case VK_UP:
        case VK_DOWN:
            if (alt && calendar)
                OpenCalendar();
            else if (!alt)
                stepField(key == VK_UP ? 1 : -1);
            return;
        case VK_F4:
            if (!alt && calendar) OpenCalendar();
            return;
        case VK_SPACE:
            if (showCheckbox_) {
                checked_ = !checked_;
                updateText();
                Invalidate();
                SendNotify(DTN_DATETIMECHANGE);
            }
            return;
        default:
            break;
        }
        break;
    }
    case WM_CHAR: {
        const char32_t c = char32_t(Message.WParam);
        if (c >= '0' && c <= '9') {
            typeDigit(int(c - '0'));
            return;
        }
        if (c == 'a' || c == 'A' || c == 'p' || c == 'P') {
            int editable = 0;
            for (const Field& f : fields()) {
                if (f.Kind == Field::Literal) continue;
                if (editable++ != active_ || f.Kind != Field::AmPm) continue;
                int h = 0, mi = 0, s = 0, ms = 0;
                DecodeTime(value_, h, mi, s, ms);
                const bool pm = c == 'p' || c == 'P';
                if (pm != (h >= 12)) stepField(1);
            }
            return;
        }
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (CanFocus() && !Focused()) SetFocus();
        const TPoint p = LParamToPoint(Message.LParam);
        const int right = ClientWidth() - (ctl3D_ ? 2 : 1);
        const bool inButtons = p.X >= right - ButtonAreaWidth();
        if (inButtons && kind_ == dtkDate && dateMode_ == dmComboBox) {
            dropped_ ? CloseCalendar(false) : OpenCalendar();
            return;
        }
        if (inButtons) {
            stepField(p.Y < ClientHeight() / 2 ? 1 : -1);
            return;
        }
        const int boxLeft = (ctl3D_ ? 2 : 1) + 2;
        if (showCheckbox_ && p.X >= boxLeft && p.X < boxLeft + checkBoxSize) {
            checked_ = !checked_;
            updateText();
            Invalidate();
            SendNotify(DTN_DATETIMECHANGE);
            return;
        }
        commitPending();
        active_ = fieldAt(p.X);
        Invalidate();
        return;
    }
    default:
        break;
    }
    TCustomControl::DefaultHandler(Message);
}

// --- painting ----------------------------------------------------------------------------------
void TDateTimePicker::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    FillRect(c, r, Enabled() ? Color() : clBtnFace);
    if (ctl3D_) DrawEdge(c, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    c->Font()->Assign(Font());
    SetBkMode(c, TRANSPARENT);
    if (showCheckbox_) {
        TRect box =
            Bounds(r.Left + 2, r.Top + (r.Height() - checkBoxSize) / 2, checkBoxSize, checkBoxSize);
        DrawFrameControl(c, box, DFC_BUTTON, DFCS_BUTTONCHECK | (checked_ ? DFCS_CHECKED : 0));
    }
    const bool grey = !Enabled() || !checked_;
    const int th = c->TextHeight("Wg");
    const int top = r.Top + std::max(0, (r.Height() - th) / 2);
    int editable = 0;
    for (const Field& f : fields()) {
        const bool active =
            f.Kind != Field::Literal && editable++ == active_ && Focused() && !grey && !dropped_;
        if (active) FillRect(c, TRect{f.Left, top, f.Right, top + th}, clHighlight);
        c->Font()->SetColor(active ? clHighlightText : grey ? clGrayText : Font()->Color());
        c->TextOut(f.Left, top, f.Text);
    }
    TRect b{r.Right - ButtonAreaWidth(), r.Top, r.Right, r.Bottom};
    if (kind_ == dtkDate && dateMode_ == dmComboBox) {
        DrawFrameControl(c, b, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (dropped_ ? DFCS_PUSHED : 0) |
                             (Enabled() ? 0 : DFCS_INACTIVE));
    } else {
        TRect up{b.Left, b.Top, b.Right, b.Top + b.Height() / 2};
        TRect down{b.Left, up.Bottom, b.Right, b.Bottom};
        const unsigned state = Enabled() ? 0 : DFCS_INACTIVE;
        DrawFrameControl(c, up, DFC_SCROLL, DFCS_SCROLLUP | state);
        DrawFrameControl(c, down, DFC_SCROLL, DFCS_SCROLLDOWN | state);
    }
}
