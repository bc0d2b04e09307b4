#include "core/DateTime.h"

#include "core/Clock.h"
#include "core/Exceptions.h"
#include "core/FormatSettings.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace rt {

namespace {

constexpr int DaysFrom1899To1970 = 25569; // 1899-12-30 .. 1970-01-01

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil calendar algorithms).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// A date-time number as whole days (truncated towards zero) and milliseconds of the day (counted away
// from zero), the way the platform splits it. False for numbers outside the valid dates.
struct DayTime {
    int64_t Day = 0;
    int64_t MSec = 0;
};

bool TrySplit(double value, DayTime& out) {
    if (!std::isfinite(value)) return false;
    const double scaled = value * MSecsPerDay;
    if (std::fabs(scaled) > 1e18) return false;
    const int64_t total = std::llround(scaled);
    out.Day = total / MSecsPerDay;
    out.MSec = std::llabs(total % MSecsPerDay);
    return out.Day >= MinDateTimeDay && out.Day <= MaxDateTimeDay;
}

DayTime Split(double value) {
    DayTime dt;
    if (!TrySplit(value, dt)) throw EConvertError("Invalid date-time value: " + std::to_string(value));
    return dt;
}

TDateTime Join(int64_t day, int64_t msec) {
    const double time = static_cast<double>(msec) / MSecsPerDay;
    return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

std::string Pad(int64_t value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
    return true;
}

// Whether the format holds an am/pm marker outside quoted text: hours then count on a 12-hour clock.
bool HasAmPm(std::string_view format) {
    char quote = '\0';
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote) {
            if (c == quote) quote = '\0';
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p") ||
                   StartsWithNoCase(format, i, "ampm")) {
            return true;
        }
    }
    return false;
}

class DateTimeFormatter {
public:
    DateTimeFormatter(TDateTime value, const FormatSettings& fs) : FSettings(fs) {
        const DayTime split = Split(value);
        CivilFromDays(split.Day - DaysFrom1899To1970, FYear, FMonth, FDay);
        FDayOfWeek = DayOfWeek(static_cast<double>(split.Day));
        int64_t ms = split.MSec;
        FMSec = static_cast<int>(ms % 1000);
        ms /= 1000;
        FSec = static_cast<int>(ms % 60);
        ms /= 60;
        FMin = static_cast<int>(ms % 60);
        FHour = static_cast<int>(ms / 60);
        FMidnight = split.MSec == 0;
    }

    void Append(std::string_view format, int depth) {
        if (depth > 2) return; // a format that names itself (a short date holding "c") stops here
        const bool twelveHour = HasAmPm(format);
        bool afterHour = false;
        size_t i = 0;
        while (i < format.size()) {
            const char c = format[i];
            const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            size_t count = 1;
            auto countRun = [&] {
                while (i + count < format.size() &&
                       std::tolower(static_cast<unsigned char>(format[i + count])) == lower)
                    ++count;
            };
            bool token = true;
            switch (lower) {
            case 'y':
                countRun();
                FOut += count <= 2 ? Pad(FYear % 100, 2) : Pad(FYear, 4);
                break;
            case 'm':
                countRun();
                if (afterHour && count <= 2)
                    FOut += Pad(FMin, static_cast<int>(count));
                else if (count <= 2)
                    FOut += Pad(FMonth, static_cast<int>(count));
                else
                    FOut += (count == 3 ? FSettings.ShortMonthNames : FSettings.LongMonthNames)[FMonth - 1];
                break;
            case 'd':
                countRun();
                if (count <= 2)
                    FOut += Pad(FDay, static_cast<int>(count));
                else if (count <= 4)
                    FOut += (count == 3 ? FSettings.ShortDayNames : FSettings.LongDayNames)[FDayOfWeek - 1];
                else
                    Append(count == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat, depth + 1);
                break;
            case 'h': {
                countRun();
                int hour = FHour;
                if (twelveHour) {
                    hour %= 12;
                    if (hour == 0) hour = 12;
                }
                FOut += Pad(hour, count == 1 ? 1 : 2);
                break;
            }
            case 'n':
                countRun();
                FOut += Pad(FMin, count == 1 ? 1 : 2);
                break;
            case 's':
                countRun();
                FOut += Pad(FSec, count == 1 ? 1 : 2);
                break;
            case 'z':
                countRun();
                FOut += Pad(FMSec, count == 1 ? 1 : 3);
                break;
            case 't':
                countRun();
                Append(count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth + 1);
                break;
            case 'c':
                Append(FSettings.ShortDateFormat, depth + 1);
                if (!FMidnight) {
                    FOut += ' ';
                    Append(FSettings.LongTimeFormat, depth + 1);
                }
                break;
            case 'a':
                token = AppendAmPm(format, i, count);
                if (!token) FOut += c;
                break;
            case '/':
                token = false;
                FOut += FSettings.DateSeparator;
                break;
            case ':':
                token = false;
                FOut += FSettings.TimeSeparator;
                break;
            case '"':
            case '\'': {
                token = false;
                const size_t end = format.find(c, i + 1);
                const size_t stop = end == std::string_view::npos ? format.size() : end;
                FOut.append(format.substr(i + 1, stop - i - 1));
                count = stop - i + (end == std::string_view::npos ? 0 : 1);
                break;
            }
            default:
                token = false;
                FOut += c;
                break;
            }
            // Minutes may be written "mm" right after an hour, literals in between allowed ("hh:mm").
            if (token) afterHour = lower == 'h';
            i += count;
        }
    }

    std::string Result() && { return std::move(FOut); }

private:
    bool AppendAmPm(std::string_view format, size_t at, size_t& count) {
        const bool pm = FHour >= 12;
        if (StartsWithNoCase(format, at, "am/pm")) {
            FOut.append(format.substr(pm ? at + 3 : at, 2));
            count = 5;
        } else if (StartsWithNoCase(format, at, "a/p")) {
            FOut.append(format.substr(pm ? at + 2 : at, 1));
            count = 3;
        } else if (StartsWithNoCase(format, at, "ampm")) {
            FOut += pm ? FSettings.TimePMString : FSettings.TimeAMString;
            count = 4;
        } else {
            return false;
        }
        return true;
    }

    const FormatSettings& FSettings;
    std::string FOut;
    int FYear = 0, FMonth = 0, FDay = 0, FDayOfWeek = 0;
    int FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
    bool FMidnight = true;
};

// A run of digits; false when there is none or more than four.
bool ScanNumber(std::string_view text, size_t& pos, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (++digits > 4) return false;
        value = value * 10 + (text[pos++] - '0');
    }
    return digits > 0;
}

} // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInAMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12)
        throw EConvertError("Invalid year or month: " + std::to_string(year) + "/" + std::to_string(month));
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    date = static_cast<double>(DaysFromCivil(year, month, day) + DaysFrom1899To1970);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime date;
    if (!TryEncodeDate(year, month, day, date))
        throw EConvertError("Invalid date: " + std::to_string(year) + "-" + std::to_string(month) + "-" +
                            std::to_string(day));
    return date;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
    CivilFromDays(Split(dt).Day - DaysFrom1899To1970, year, month, day);
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
    if (hour < 0 || hour >= HoursPerDay || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 ||
        msec >= 1000)
        return false;
    time = static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime time;
    if (!TryEncodeTime(hour, min, sec, msec, time))
        throw EConvertError("Invalid time: " + std::to_string(hour) + ":" + std::to_string(min) + ":" +
                            std::to_string(sec) + "." + std::to_string(msec));
    return time;
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
    int64_t ms = Split(dt).MSec;
    msec = static_cast<int>(ms % 1000);
    ms /= 1000;
    sec = static_cast<int>(ms % 60);
    ms /= 60;
    min = static_cast<int>(ms % 60);
    hour = static_cast<int>(ms / 60);
}

void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec, int& msec) {
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, min, sec, msec);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    const double day = std::trunc(date.Val);
    const double t = std::fabs(time.Val - std::trunc(time.Val));
    return day < 0 ? day - t : day + t;
}

TDateTime DateOf(TDateTime dt) {
    return static_cast<double>(Split(dt).Day);
}

TDateTime TimeOf(TDateTime dt) {
    return static_cast<double>(Split(dt).MSec) / MSecsPerDay;
}

int DayOfWeek(TDateTime dt) {
    // Day 0 (1899-12-30) was a Saturday.
    const int64_t day = Split(dt).Day;
    return static_cast<int>(((day % 7) + 13) % 7) + 1;
}

TDateTime IncMonth(TDateTime dt, int months) {
    const DayTime split = Split(dt);
    int year, month, day;
    CivilFromDays(split.Day - DaysFrom1899To1970, year, month, day);
    const int64_t index = int64_t{year} * 12 + (month - 1) + months;
    const int64_t newYear = index >= 0 ? index / 12 : -1;
    if (newYear < 1 || newYear > 9999)
        throw EConvertError("Date out of range: " + std::to_string(newYear) + " after adding " +
                            std::to_string(months) + " months");
    const int newMonth = static_cast<int>(index % 12) + 1;
    const int newDay = std::min(day, DaysInAMonth(static_cast<int>(newYear), newMonth));
    const TDateTime date = EncodeDate(static_cast<int>(newYear), newMonth, newDay);
    return Join(static_cast<int64_t>(date.Val), split.MSec);
}

TDateTime IncDay(TDateTime dt, int days) {
    const DayTime split = Split(dt);
    const int64_t day = split.Day + days;
    if (day < MinDateTimeDay || day > MaxDateTimeDay)
        throw EConvertError("Date out of range after adding " + std::to_string(days) + " days");
    return Join(day, split.MSec);
}

TDateTime Now() {
    return ClockNow();
}

TDateTime Date() {
    return DateOf(ClockNow());
}

TDateTime Time() {
    return TimeOf(ClockNow());
}

std::string FormatDateTime(std::string_view format, TDateTime dt) {
    DateTimeFormatter formatter(dt, GetFormatSettings());
    formatter.Append(format.empty() ? std::string_view("c") : format, 0);
    return std::move(formatter).Result();
}

std::string DateToStr(TDateTime dt) {
    return FormatDateTime("ddddd", dt);
}

std::string TimeToStr(TDateTime dt) {
    return FormatDateTime("tt", dt);
}

std::string DateTimeToStr(TDateTime dt) {
    const DayTime split = Split(dt);
    if (split.Day == 0 && split.MSec != 0) return TimeToStr(dt);
    return FormatDateTime("c", dt);
}

bool TryStrToDate(const std::string& text, TDateTime& date) {
    const FormatSettings& fs = GetFormatSettings();
    // The field order follows the first of y, m and d in the short date format.
    char order = 'y';
    {
        char quote = '\0';
        for (char c : fs.ShortDateFormat) {
            const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (quote) {
                if (c == quote) quote = '\0';
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (lower == 'y' || lower == 'm' || lower == 'd') {
                order = lower;
                break;
            }
        }
    }

    size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ') ++pos;
    };
    skipBlanks();
    int values[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int fields = 0;
    while (fields < 3) {
        if (!ScanNumber(text, pos, values[fields], digits[fields])) return false;
        ++fields;
        if (pos < text.size() && text[pos] == fs.DateSeparator && fields < 3)
            ++pos;
        else
            break;
    }
    skipBlanks();
    if (pos != text.size() || fields < 2) return false;

    const int currentYear = [] {
        int y, m, d;
        DecodeDate(Date(), y, m, d);
        return y;
    }();
    int year = currentYear, month = 0, day = 0, yearDigits = 4;
    if (fields == 3) {
        switch (order) {
        case 'd':
            day = values[0], month = values[1], year = values[2], yearDigits = digits[2];
            break;
        case 'm':
            month = values[0], day = values[1], year = values[2], yearDigits = digits[2];
            break;
        default:
            year = values[0], month = values[1], day = values[2], yearDigits = digits[0];
            break;
        }
    } else if (order == 'd') {
        day = values[0], month = values[1];
    } else {
        month = values[0], day = values[1];
    }
    if (yearDigits <= 2) {
        const int window = fs.TwoDigitYearCenturyWindow;
        const int century = currentYear - window;
        year += century / 100 * 100;
        if (window > 0 && year < century) year += 100;
    }
    return TryEncodeDate(year, month, day, date);
}

TDateTime StrToDate(const std::string& text) {
    TDateTime date;
    if (!TryStrToDate(text, date)) throw EConvertError("'" + text + "' is not a valid date");
    return date;
}

} // namespace rt
