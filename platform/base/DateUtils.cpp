#include "platform/base/DateUtils.h"

#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {
// Days since 1970-01-01 of a proleptic Gregorian date.
long long daysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

// Whole milliseconds of a date-time, split into day number and time of day.
void splitStamp(TDateTime dt, long long& day, long long& msOfDay) {
    const long long total = std::llround(dt * double(MSecsPerDay));
    day = total / MSecsPerDay;
    msOfDay = std::llabs(total % MSecsPerDay);
}
} // namespace

bool IsLeapYear(int Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInAMonth(int Year, int Month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12) return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : days[Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
        Day > DaysInAMonth(Year, Month))
        return false;
    Date = double(daysFromCivil(Year, Month, Day) + UnixDateDelta);
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime d = 0;
    if (!TryEncodeDate(Year, Month, Day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour >= 24 || Min < 0 || Min >= 60 || Sec < 0 || Sec >= 60 || MSec < 0 ||
        MSec >= 1000)
        return false;
    Time = double(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / double(MSecsPerDay);
    return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime t = 0;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

TDateTime ComposeDateTime(TDateTime Date, TDateTime Time) {
    return Date < 0 ? Date - Time : Date + Time;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    long long day = 0, ms = 0;
    splitStamp(Date, day, ms);
    civilFromDays(day - UnixDateDelta, Year, Month, Day);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    long long day = 0, ms = 0;
    splitStamp(Time, day, ms);
    MSec = int(ms % 1000);
    Sec = int(ms / 1000 % 60);
    Min = int(ms / 60000 % 60);
    Hour = int(ms / 3600000);
}

int DayOfWeek(TDateTime Date) {
    long long day = 0, ms = 0;
    splitStamp(Date, day, ms);
    // 1899-12-30 was a Saturday.
    long long w = (day + 6) % 7;
    if (w < 0) w += 7;
    return int(w) + 1;
}

int YearOf(TDateTime Date) {
    int y, m, d;
    DecodeDate(Date, y, m, d);
    return y;
}

TDateTime IncMonth(TDateTime Date, int Months) {
    int y, m, d;
    DecodeDate(Date, y, m, d);
    long long total = (long long)y * 12 + (m - 1) + Months;
    long long ny = total >= 0 ? total / 12 : (total - 11) / 12;
    int nm = int(total - ny * 12) + 1;
    const int last = DaysInAMonth(int(ny), nm);
    if (d > last) d = last;
    const TDateTime newDate = EncodeDate(int(ny), nm, d);
    const TDateTime time = std::fabs(Date - std::trunc(Date));
    return ComposeDateTime(newDate, time);
}

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&secs, &local);
    const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, ms);
}

int ExpandTwoDigitYear(int Year) {
    if (Year < 0 || Year > 99) return Year;
    const int base = YearOf(Now()) - 50;
    int y = Year + base / 100 * 100;
    if (y < base) y += 100;
    return y;
}

TDateTime Date() {
    return std::trunc(Now());
}

TDateTime Time() {
    const TDateTime n = Now();
    return n - std::trunc(n);
}

// --- formatting ----------------------------------------------------------------------------
namespace {
std::string pad(long long v, int width) {
    std::string s = std::to_string(v);
    while (int(s.size()) < width) s.insert(s.begin(), '0');
    return s;
}

char up(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

bool startsNoCase(std::string_view s, std::size_t i, std::string_view what) {
    if (s.size() - i < what.size()) return false;
    for (std::size_t k = 0; k < what.size(); ++k)
        if (up(s[i + k]) != up(what[k])) return false;
    return true;
}

void formatInto(std::string& out, std::string_view fmt, TDateTime dt, int depth) {
    const TFormatSettings& fs = FormatSettings();
    int year, month, day, hour, minute, sec, msec;
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, minute, sec, msec);
    bool twelveHour = false;
    for (std::size_t i = 0; i < fmt.size(); ++i)
        if (startsNoCase(fmt, i, "am/pm") || startsNoCase(fmt, i, "a/p") ||
            startsNoCase(fmt, i, "ampm"))
            twelveHour = true;
    bool afterHour = false;
    std::size_t i = 0;
    while (i < fmt.size()) {
        const char c = fmt[i];
        const char u = up(c);
        std::size_t n = 1;
        while (i + n < fmt.size() && up(fmt[i + n]) == u) ++n;
        if (c == '\'' || c == '"') {
            std::size_t end = fmt.find(c, i + 1);
            if (end == std::string_view::npos) end = fmt.size();
            out.append(fmt.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (startsNoCase(fmt, i, "am/pm")) {
            out.append(fmt.substr(hour < 12 ? i : i + 3, 2));
            i += 5;
            continue;
        }
        if (startsNoCase(fmt, i, "a/p")) {
            out += fmt[hour < 12 ? i : i + 2];
            i += 3;
            continue;
        }
        if (startsNoCase(fmt, i, "ampm")) {
            out += hour < 12 ? fs.TimeAMString : fs.TimePMString;
            i += 4;
            continue;
        }
        switch (u) {
        case 'Y':
            out += n <= 2 ? pad(year % 100, 2) : pad(year, 4);
            break;
        case 'M':
            if (afterHour && n <= 2)
                out += pad(minute, n == 1 ? 1 : 2);
            else if (n == 1)
                out += std::to_string(month);
            else if (n == 2)
                out += pad(month, 2);
            else if (n == 3)
                out += fs.ShortMonthNames[month - 1];
            else
                out += fs.LongMonthNames[month - 1];
            break;
        case 'D': {
            const int dow = DayOfWeek(dt) - 1;
            if (n == 1)
                out += std::to_string(day);
            else if (n == 2)
                out += pad(day, 2);
            else if (n == 3)
                out += fs.ShortDayNames[dow];
            else if (n == 4)
                out += fs.LongDayNames[dow];
            else if (depth < 2)
                formatInto(out, n == 5 ? fs.ShortDateFormat : fs.LongDateFormat, dt, depth + 1);
            break;
        }
        case 'H': {
            int h = hour;
            if (twelveHour) {
                h = hour % 12;
                if (h == 0) h = 12;
            }
            out += pad(h, n >= 2 ? 2 : 1);
            break;
        }
        case 'N':
            out += pad(minute, n >= 2 ? 2 : 1);
            break;
        case 'S':
            out += pad(sec, n >= 2 ? 2 : 1);
            break;
        case 'Z':
            out += pad(msec, n >= 3 ? 3 : 1);
            break;
        case 'T':
            if (depth < 2)
                formatInto(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, depth + 1);
            break;
        case 'C':
            if (depth < 2) {
                formatInto(out, fs.ShortDateFormat, dt, depth + 1);
                if (hour || minute || sec || msec) {
                    out += ' ';
                    formatInto(out, fs.LongTimeFormat, dt, depth + 1);
                }
            }
            n = 1;
            break;
        case '/':
            out += fs.DateSeparator;
            n = 1;
            break;
        case ':':
            out += fs.TimeSeparator;
            n = 1;
            break;
        default:
            out += c;
            n = 1;
            break;
        }
        if (u == 'H')
            afterHour = true;
        else if (u != ' ' && u != ':' && u != '\'' && u != '"')
            afterHour = false;
        if (u == 'M' || u == 'N') afterHour = false;
        i += n;
    }
}
} // namespace

std::string FormatDateTime(std::string_view Format, TDateTime DateTime) {
    std::string out;
    formatInto(out, Format.empty() ? std::string_view("c") : Format, DateTime, 0);
    return out;
}

std::string DateToStr(TDateTime Date) {
    return FormatDateTime(FormatSettings().ShortDateFormat, Date);
}
std::string TimeToStr(TDateTime Time) {
    return FormatDateTime(FormatSettings().LongTimeFormat, Time);
}
std::string DateTimeToStr(TDateTime DateTime) {
    return FormatDateTime("c", DateTime);
}

// --- parsing -------------------------------------------------------------------------------
namespace {
struct Scanner {
    std::string_view s;
    std::size_t i = 0;
    void skipBlanks() {
        while (i < s.size() && s[i] == ' ') ++i;
    }
    bool number(int& v, int& digits) {
        skipBlanks();
        v = 0;
        digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 9) {
            v = v * 10 + (s[i] - '0');
            ++i;
            ++digits;
        }
        return digits > 0;
    }
    bool ch(char c) {
        skipBlanks();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    bool atEnd() {
        skipBlanks();
        return i >= s.size();
    }
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder shortDateOrder() {
    const std::string f = UpperCase(FormatSettings().ShortDateFormat);
    for (char c : f) {
        if (c == 'D') return DateOrder::DMY;
        if (c == 'Y') return DateOrder::YMD;
        if (c == 'M') return DateOrder::MDY;
    }
    return DateOrder::MDY;
}

bool scanDate(Scanner& sc, TDateTime& value) {
    const char sep = FormatSettings().DateSeparator;
    int n[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
    if (!sc.number(n[0], digits[0]) || !sc.ch(sep) || !sc.number(n[1], digits[1])) return false;
    int count = 2;
    if (sc.ch(sep)) {
        if (!sc.number(n[2], digits[2])) return false;
        count = 3;
    }
    int y, m, d, yDigits = 4;
    const DateOrder order = shortDateOrder();
    const int currentYear = YearOf(Now());
    if (count == 2) {
        y = currentYear;
        if (order == DateOrder::DMY)
            d = n[0], m = n[1];
        else
            m = n[0], d = n[1];
    } else if (order == DateOrder::MDY) {
        m = n[0], d = n[1], y = n[2], yDigits = digits[2];
    } else if (order == DateOrder::DMY) {
        d = n[0], m = n[1], y = n[2], yDigits = digits[2];
    } else {
        y = n[0], m = n[1], d = n[2], yDigits = digits[0];
    }
    if (yDigits <= 2) y = ExpandTwoDigitYear(y);
    return TryEncodeDate(y, m, d, value);
}

bool scanTime(Scanner& sc, TDateTime& value) {
    const char sep = FormatSettings().TimeSeparator;
    int h = 0, m = 0, s = 0, ms = 0, digits = 0;
    if (!sc.number(h, digits) || !sc.ch(sep) || !sc.number(m, digits)) return false;
    if (sc.ch(sep)) {
        if (!sc.number(s, digits)) return false;
        if (sc.ch(FormatSettings().DecimalSeparator) && !sc.number(ms, digits)) return false;
    }
    sc.skipBlanks();
    const TFormatSettings& fs = FormatSettings();
    int half = -1;
    for (auto [text, which] :
         {std::pair{std::string_view(fs.TimeAMString), 0},
          std::pair{std::string_view(fs.TimePMString), 1}, std::pair{std::string_view("AM"), 0},
          std::pair{std::string_view("PM"), 1}}) {
        if (!text.empty() && startsNoCase(sc.s, sc.i, text)) {
            half = which;
            sc.i += text.size();
            break;
        }
    }
    if (half >= 0) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + 12 * half;
    }
    return TryEncodeTime(h, m, s, ms, value);
}
} // namespace

bool TryStrToDate(std::string_view S, TDateTime& Value) {
    Scanner sc{S};
    TDateTime d = 0;
    if (!scanDate(sc, d) || !sc.atEnd()) return false;
    Value = d;
    return true;
}

TDateTime StrToDate(std::string_view S) {
    TDateTime d = 0;
    if (!TryStrToDate(S, d)) throw EConvertError("'" + std::string(S) + "' is not a valid date");
    return d;
}

bool TryStrToTime(std::string_view S, TDateTime& Value) {
    Scanner sc{S};
    TDateTime t = 0;
    if (!scanTime(sc, t) || !sc.atEnd()) return false;
    Value = t;
    return true;
}

TDateTime StrToTime(std::string_view S) {
    TDateTime t = 0;
    if (!TryStrToTime(S, t)) throw EConvertError("'" + std::string(S) + "' is not a valid time");
    return t;
}

bool TryStrToDateTime(std::string_view S, TDateTime& Value) {
    Scanner sc{S};
    TDateTime d = 0, t = 0;
    if (scanDate(sc, d)) {
        if (sc.atEnd()) {
            Value = d;
            return true;
        }
        if (!scanTime(sc, t) || !sc.atEnd()) return false;
        Value = ComposeDateTime(d, t);
        return true;
    }
    return TryStrToTime(S, Value);
}

TDateTime StrToDateTime(std::string_view S) {
    TDateTime v = 0;
    if (!TryStrToDateTime(S, v))
        throw EConvertError("'" + std::string(S) + "' is not a valid date and time");
    return v;
}
