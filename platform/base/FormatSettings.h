#pragma once
// Locale format settings. Code reads them at every call; tests may change them.
#include <string>

// Whether the user's locale (LC_MEASUREMENT) measures in metric units.
bool LocaleMeasuresMetric();

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    // Paper and lengths in metric units rather than inches.
    bool MetricMeasurement = LocaleMeasuresMetric();
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongDateFormat = "dddd, d mmmm yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string CurrencyString = "$";
    int CurrencyDecimals = 2;
    std::string ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string LongMonthNames[12] = {"January",   "February", "March",    "April",
                                      "May",       "June",     "July",     "August",
                                      "September", "October",  "November", "December"};
    std::string ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::string LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
};

// The process-wide settings (the model's global FormatSettings).
TFormatSettings& FormatSettings();
// Restores the defaults above.
void ResetFormatSettings();
