#pragma once
// LibStrs: the module's toolbox of free functions on texts, dates, Variants and code pages, the
// schedule and date-rule arithmetic that forms and the job share, and the general alert log.
//
// Texts are UTF-8 byte texts, wide texts UTF-16 (see the runtime's text model). None of these
// functions raises for bad input: they answer 0 (date value), an empty text, false or a default. The
// exceptions are RelativeDate and WeekBound, which raise EConvertError for an unreadable number or a
// text that is no date; their callers catch it.
#include "core/TDateTime.h"
#include "core/Variant.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace kvx {

// Separator characters of packed texts.
inline constexpr char SOH = '\x01'; // sub-items of a list row
inline constexpr char ETX = '\x03'; // fields of packed texts
inline constexpr char EOT = '\x04'; // range value marker, end of list rows
inline constexpr char ENQ = '\x05'; // list value marker

// ---- Separated texts. Searches are case-sensitive and never match inside a multibyte character.

// S followed by fill characters up to the width Spec[0]; the fill is the character with code Spec[1],
// or a blank. The length of S is counted as the platform counts a text: in bytes of the system code
// page, so a Chinese character takes two columns. S unchanged when already as long or longer.
std::string PadRight(std::string_view S, std::initializer_list<int> Spec);
// The Index-th (1-based) field of S split at Sep; empty when S has fewer fields or Index < 1.
std::string GetField(std::string_view S, std::string_view Sep, int Index);
// The number of occurrences of Sep in S (overlapping ones counted) plus one; 0 for an empty S.
int FieldCount(std::string_view S, std::string_view Sep);
// The part of S before the first Sep; S keeps what follows the separator. Without a Sep, all of S
// (and S becomes empty).
std::string CutToken(std::string& S, std::string_view Sep);
// S with every occurrence of Old replaced by New, searching again from the start after each
// replacement; nothing is replaced when Old and New are equal ignoring case. With TrimResult the
// result loses leading and trailing characters up to code 32.
std::string ReplaceAll(std::string_view S, std::string_view Old, std::string_view New, bool TrimResult);

// ---- The five date styles: 1 year-month-day, 2 month-day-year, 3 day-month-year, 4 and 5 the
// Republic-of-China era (year - 1911) with at least two or three digits. Formatting uses the first
// character of Sep (none when empty); parsing the whole of Sep.

std::string FormatDateStyle(int Style, std::string_view Sep, rt::TDateTime Date);
std::string FormatYearMonthStyle(int Style, std::string_view Sep, rt::TDateTime Date);
// 0 when Text is no date in that style; a day past the month's end runs on into the next month.
rt::TDateTime ParseDateStyle(std::string_view Text, int Style, std::string_view Sep);

// ---- Dates as "YYYYMMDD" texts.

// 0 unless S is exactly eight characters forming a calendar date.
rt::TDateTime YMDToDate(std::string_view S);
// True for an empty S, or a calendar date (first eight characters) whose text lies within
// "17530101".."99991231".
bool IsValidYMD(std::string_view S);
// Value (a "YYYYMMDD" byte or wide text, or a date) shifted by N years, months or days (Unit "Y", "M",
// "D", any case) as "yyyymmdd"; the day is lowered to the target month's last day when needed. Empty
// for another kind of Value, no date or another unit.
std::string DateAddYMD(const rt::Variant& Value, std::string_view Unit, int N);
// 28..31; 0 for a month outside 1..12.
int DaysInMonth(int Year, int Month);

// ---- Variant helpers.

rt::Variant IIfVar(bool Cond, const rt::Variant& A, const rt::Variant& B);
bool VarIsBlank(const rt::Variant& V); // empty or null
// Prefix, ETX, Items[0] (the count n), ETX, then Items[1..n] each followed by ETX. Empty when Items is
// not a one-dimensional array holding a readable count and its n items.
std::u16string PackCounted(std::string_view Prefix, const rt::Variant& Items);

// ---- Code pages (936 GB, 950 BIG5, 437 English; any code page the system knows). Our texts keep
// their characters; a conversion to a code page keeps only the characters it has ("?" for the others).

// The characters of W as a text in CodePage's repertoire (unknown code page: the system code page).
std::string WideToCodePage(std::u16string_view W, int CodePage);
// The characters of the text S as a wide text.
std::u16string CodePageToWide(std::string_view S, int CodePage);
// V with every text converted to CodePage: a scalar text becomes a byte text; the texts of an array
// (nested one-dimensional arrays recursively, two-dimensional arrays element by element) stay wide,
// with the characters that survive the code page. Other values unchanged; errors are logged and the
// input returned.
rt::Variant VarToCodePage(const rt::Variant& V, int CodePage);
// The mirror image: every text of V becomes a wide text.
rt::Variant VarFromCodePage(const rt::Variant& V, int CodePage);

// ---- Masks, numbers, captions, system facts.

// Text entered under Mask, laid into NewMask (an empty NewMask gives the characters without Mask's
// literals).
std::string ReformatMaskedText(std::string_view Text, std::string_view Mask, std::string_view NewMask);
// The number S spells (optional sign, digits, "." as decimal point, optional exponent; leading blanks
// allowed; no thousands separators, nothing trailing), else Default.
double StrToExtDef(std::string_view S, double Default);
// The Chinese caption of a standard dialog button name ("Yes", "NoToAll", ...); other names unchanged.
std::string LocalizeButtonCaption(std::string_view Name);
// The system's temporary directory, ending in the path delimiter.
std::string GetTempDir();
// True when Address is exactly "127.0.0.1".
bool IsLocalHost(std::string_view Address);

// ---- Installation path and the alert log.

// The registry's client installation path, else the server's, as stored; empty when the key cannot be
// opened or both are empty.
std::string GetMarshalPath();
// Appends "[time] Text" to Log/Alert_<Name>_<date>[.log] below the installation (or the program's
// directory); Period "M" dates the file by month, "Y" by year, anything else by day. False when the
// line could not be written; never raises.
bool WriteAlertLog(std::string_view Name, std::string_view Text, std::string_view Period);

// ---- Schedules and date rules.

// The first run date ("YYYYMMDD") of a periodic job starting on StartDate with the cycle description
// [kind, parameters]: 0 daily, 1 weekly [N, weekday 0=Sunday], 2 monthly [0, M, day] or
// [1, M, ordinal 0..3 or 4 = last, weekday]. Empty for the hourly kind, other kinds and bad input.
std::string NextRunDate(std::string_view StartDate, const rt::Variant& CycleSpec);
// Base ("YYYYMMDD", or "YYYYMM" for a year-month base) shifted by N weeks (Unit "0") or months, then by
// M days (Op 0), to the first (Op 1) or last (Op 2) day of that week or month. Raises EConvertError for
// an unreadable number or a base that is no date.
std::string RelativeDate(std::string_view Base, std::string_view N, std::string_view Unit,
                         std::string_view Op, std::string_view M);
// The Sunday (Op 1) or Saturday (other Op) of the week N weeks from Base. Raises EConvertError for a
// base that is no date.
std::string WeekBound(std::string_view Base, int N, int Op);
// Args[1] (condition values) with the date rules Args[3] ([n, descriptor 1..n]) applied for the run
// date; the empty text when anything fails.
rt::Variant ApplyDynamicDates(const rt::Variant& Args, std::string_view RunDate);

} // namespace kvx
