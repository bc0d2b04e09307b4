#pragma once
// The process-wide date, time and number settings (the platform's locale variables). They are read
// from the user's locale (LC_TIME, LC_NUMERIC) on first use and can be replaced, for example by tests or
// by an installation that fixes its own date format. Change them from the user-interface thread only.
#include <array>
#include <string>

namespace rt {

struct FormatSettings {
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    // Date formats use '/' for the date separator and ':' for the time separator (FormatDateTime).
    std::string ShortDateFormat = "yyyy/mm/dd";
    std::string LongDateFormat = "dddd, mmmm d, yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    // Index 0 is Sunday, as DayOfWeek counts.
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    // A two-digit year read by StrToDate lies within this many years before the current year and the
    // years after it; 0 puts it in the current century.
    int TwoDigitYearCenturyWindow = 50;
};

// The current settings (loaded from the locale on first use).
const FormatSettings& GetFormatSettings();
void SetFormatSettings(const FormatSettings& settings);

// The settings the user's locale asks for (the environment's LC_ALL / LC_TIME / LC_NUMERIC / LANG).
// The C and POSIX locales, and a locale that is not installed, give the defaults above.
FormatSettings LocaleFormatSettings();

// Translates a numeric strftime date or time format ("%d.%m.%Y", "%I:%M:%S %p") into the platform's
// notation ("dd/mm/yyyy", "hh:nn:ss ampm", the separator written as `notation`) and reports the
// separator the pattern uses. Two-digit years are widened to
// four, since a short date must read back. Gives "" for anything else (month names, words between the
// fields as in "%Y年%m月%d日"): StrToDate could not read such a date back, so the default is kept.
std::string FormatFromStrftime(const std::string& pattern, char notation, char& separator);

// Replaces the settings for the lifetime of the object and restores the previous ones afterwards.
class ScopedFormatSettings {
public:
    explicit ScopedFormatSettings(const FormatSettings& settings);
    ~ScopedFormatSettings();
    ScopedFormatSettings(const ScopedFormatSettings&) = delete;
    ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

private:
    FormatSettings FSaved;
};

} // namespace rt
