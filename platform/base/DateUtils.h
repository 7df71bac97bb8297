#pragma once
// Date and time values of the component model: TDateTime counts days since 1899-12-30; the
// fraction is the time of day. Texts follow the current FormatSettings, read at every call.
#include <string>
#include <string_view>

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = HoursPerDay * 60;
constexpr int SecsPerDay = MinsPerDay * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days between 1899-12-30 and 1970-01-01.
constexpr int UnixDateDelta = 25569;

bool IsLeapYear(int Year);
int DaysInAMonth(int Year, int Month);

// Year 1..9999, month 1..12, day 1..days of the month.
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
// Raises EConvertError "Invalid argument to date encode".
TDateTime EncodeDate(int Year, int Month, int Day);
// Hour 0..23, minute 0..59, second 0..59, millisecond 0..999.
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
// Raises EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
// Date plus time; for days before 1899-12-30 the time counts away from zero.
TDateTime ComposeDateTime(TDateTime Date, TDateTime Time);

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime Date);
int YearOf(TDateTime Date);
// The same day Months later (or earlier), clamped to the last day of the target month.
TDateTime IncMonth(TDateTime Date, int Months = 1);

// A year 0..99 placed in the hundred years that begin fifty years before the current year;
// other values are returned as they are.
int ExpandTwoDigitYear(int Year);

// Local wall-clock time.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// The model's date-time format: d dd ddd dddd ddddd dddddd, m mm mmm mmmm (minutes after h),
// yy yyyy, h hh, n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, "/" ":" and quoted literals.
std::string FormatDateTime(std::string_view Format, TDateTime DateTime);
std::string DateToStr(TDateTime Date);
std::string TimeToStr(TDateTime Time);
std::string DateTimeToStr(TDateTime DateTime);

// Reads a date in the order of ShortDateFormat with DateSeparator; a missing year is the
// current one; one- or two-digit years fall in the fifty years around the current year.
bool TryStrToDate(std::string_view S, TDateTime& Value);
TDateTime StrToDate(std::string_view S); // raises EConvertError
// Hour, minute, optional second and millisecond with TimeSeparator; optional AM/PM.
bool TryStrToTime(std::string_view S, TDateTime& Value);
TDateTime StrToTime(std::string_view S);
// A date, optionally followed by a blank and a time.
bool TryStrToDateTime(std::string_view S, TDateTime& Value);
TDateTime StrToDateTime(std::string_view S);
