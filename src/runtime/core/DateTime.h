#pragma once
// Date and time routines on TDateTime (days since 1899-12-30 plus the fraction of the day).
//
// Values before 1899-12-30 are negative, and their fraction still counts the time of day away from
// zero: -1.25 is 1899-12-29 06:00. Valid dates run from 0001-01-01 (-693593) to 9999-12-31 (2958465);
// anything outside, and every invalid date or time, raises EConvertError (the Try* forms answer false).
#include "core/TDateTime.h"

#include <string>
#include <string_view>

namespace rt {

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerDay = HoursPerDay * 60;
inline constexpr int SecsPerDay = MinsPerDay * 60;
inline constexpr int MSecsPerDay = SecsPerDay * 1000;
inline constexpr int MinDateTimeDay = -693593; // 0001-01-01
inline constexpr int MaxDateTimeDay = 2958465; // 9999-12-31

bool IsLeapYear(int year);
// Days in the month; raises EConvertError for a year outside 1..9999 or a month outside 1..12.
int DaysInAMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);

// A time of day: hour 0..23, minute and second 0..59, millisecond 0..999.
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
// The time is rounded to the millisecond; rounding up to midnight gives 00:00:00.000 of the next day.
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec, int& msec);

// The whole-day part of date and the time of day of time, joined so that the result decodes to both,
// also before 1899-12-30 (where the time is subtracted).
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
TDateTime DateOf(TDateTime dt); // midnight of the same day
TDateTime TimeOf(TDateTime dt); // the time of day, 0 <= t < 1

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime dt);

// Moves by whole months, keeping the time; a day past the end of the target month becomes its last day.
TDateTime IncMonth(TDateTime dt, int months = 1);
// Moves by whole days, keeping the time of day (also across 1899-12-30).
TDateTime IncDay(TDateTime dt, int days = 1);

// Read the process clock (core/Clock.h).
TDateTime Now();
TDateTime Date(); // today at midnight
TDateTime Time(); // the time of day

// Formats with the platform's date-time specifiers, case-insensitive:
//   y yy (two-digit year), yyy yyyy (four digits); m mm (month, or minutes right after an hour),
//   mmm mmmm (month names); d dd, ddd dddd (day names), ddddd (short date), dddddd (long date);
//   h hh, n nn, s ss; z (milliseconds), zzz (three digits); t (short time), tt (long time);
//   c (short date, and the long time unless it is midnight); am/pm, a/p (12-hour clock, the marker
//   in the case written), ampm (the locale's markers); / and : (the locale's separators);
//   "..." and '...' literal text. An empty format acts as "c".
std::string FormatDateTime(std::string_view format, TDateTime dt);

std::string DateToStr(TDateTime dt); // the short date format
std::string TimeToStr(TDateTime dt); // the long time format
// The short date, followed by the long time when the time is not midnight; only the time when the date
// is 1899-12-30 and the time is not midnight (as a date Variant prints).
std::string DateTimeToStr(TDateTime dt);

// Reads a date written in the order of the short date format, its fields separated by the date
// separator. Two fields give a day of the current year; a year of one or two digits is placed in the
// century window. Blanks around the text are ignored.
bool TryStrToDate(const std::string& text, TDateTime& date);
TDateTime StrToDate(const std::string& text);

} // namespace rt
