#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/Exceptions.h"
#include "core/FormatSettings.h"
#include "core/Variant.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

using namespace rt;

namespace {

// Every test starts from the built-in settings, whatever the machine's locale says.
class DateTimeTest : public ::testing::Test {
protected:
    ScopedFormatSettings FSettings{FormatSettings{}};
};

struct Ymd {
    int y, m, d;
};

Ymd DateParts(TDateTime dt) {
    Ymd r{};
    DecodeDate(dt, r.y, r.m, r.d);
    return r;
}

std::string Stamp(TDateTime dt) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(dt, y, mo, d, h, mi, s, ms);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", y, mo, d, h, mi, s, ms);
    return buf;
}

} // namespace

TEST_F(DateTimeTest, EncodeAndDecodeKnownDays) {
    const struct {
        int y, m, d;
        double serial;
        int dayOfWeek;
    } cases[] = {
        {1899, 12, 30, 0, 7},      {1899, 12, 31, 1, 1},       {2000, 1, 1, 36526, 7},
        {1900, 3, 1, 61, 5},       {2024, 2, 29, 45351, 5},    {2024, 1, 5, 45296, 6},
        {1, 1, 1, -693593, 2},     {9999, 12, 31, 2958465, 6}, {1899, 12, 29, -1, 6},
        {1600, 2, 29, -109512, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d).Val, c.serial);
        const Ymd back = DateParts(c.serial);
        EXPECT_EQ(back.y, c.y);
        EXPECT_EQ(back.m, c.m);
        EXPECT_EQ(back.d, c.d);
        EXPECT_EQ(DayOfWeek(c.serial), c.dayOfWeek);
    }
}

TEST_F(DateTimeTest, InvalidDatesRaiseAndTryAnswersFalse) {
    const Ymd bad[] = {{0, 1, 1},    {2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1}, {2024, 0, 1},
                       {2024, 1, 0}, {2024, 4, 31}, {10000, 1, 1}, {-5, 1, 1},    {2024, 1, 32}};
    for (const auto& b : bad) {
        TDateTime dt = 123.0;
        EXPECT_FALSE(TryEncodeDate(b.y, b.m, b.d, dt)) << b.y << "-" << b.m << "-" << b.d;
        EXPECT_EQ(dt.Val, 123.0);
        EXPECT_THROW(EncodeDate(b.y, b.m, b.d), EConvertError);
    }
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2100, 2), 28);
    EXPECT_THROW(DaysInAMonth(2024, 13), EConvertError);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
}

TEST_F(DateTimeTest, TimesEncodeDecodeAndRejectOutOfRangeParts) {
    const TDateTime t = EncodeTime(9, 7, 3, 45);
    int h, n, s, ms;
    DecodeTime(t, h, n, s, ms);
    EXPECT_EQ((std::vector{h, n, s, ms}), (std::vector{9, 7, 3, 45}));
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), (86400000.0 - 1) / 86400000.0);

    const int bad[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& b : bad) {
        TDateTime dt;
        EXPECT_FALSE(TryEncodeTime(b[0], b[1], b[2], b[3], dt));
        EXPECT_THROW(EncodeTime(b[0], b[1], b[2], b[3]), EConvertError);
    }
    // A time a hair before midnight rounds to the next day, never to 24:00.
    EXPECT_EQ(Stamp(45296.0 + 0.9999999999), "2024-01-06 00:00:00.000");
}

TEST_F(DateTimeTest, NegativeNumbersCountTheTimeAwayFromZero) {
    EXPECT_EQ(Stamp(-1.25), "1899-12-29 06:00:00.000");
    EXPECT_EQ(Stamp(-0.25), "1899-12-30 06:00:00.000");
    EXPECT_EQ(Stamp(-693593.5), "0001-01-01 12:00:00.000");
    EXPECT_EQ(DayOfWeek(-1.25), 6);
    EXPECT_DOUBLE_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)), -1.25);
    EXPECT_DOUBLE_EQ(ComposeDateTime(EncodeDate(1899, 12, 31), EncodeTime(6, 0, 0, 0)), 1.25);
    EXPECT_DOUBLE_EQ(DateOf(-1.25), -1.0);
    EXPECT_DOUBLE_EQ(TimeOf(-1.25), 0.25);
    // Adding days keeps the time of day when crossing 1899-12-30.
    EXPECT_EQ(Stamp(IncDay(-1.25, 2)), "1899-12-31 06:00:00.000");
    EXPECT_EQ(Stamp(IncDay(1.25, -2)), "1899-12-29 06:00:00.000");
}

TEST_F(DateTimeTest, NumbersOutsideTheCalendarRaise) {
    for (double v : {-693594.0, 2958466.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()}) {
        int y, m, d;
        EXPECT_THROW(DecodeDate(v, y, m, d), EConvertError) << v;
        EXPECT_THROW(FormatDateTime("yyyy", v), EConvertError) << v;
    }
    EXPECT_THROW(IncDay(EncodeDate(9999, 12, 31), 1), EConvertError);
    EXPECT_THROW(IncMonth(EncodeDate(1, 1, 31), -1), EConvertError);
}

TEST_F(DateTimeTest, IncMonthClampsTheDayAndKeepsTheTime) {
    const struct {
        Ymd from;
        int months;
        Ymd to;
    } cases[] = {
        {{2024, 1, 31}, 1, {2024, 2, 29}},    {{2023, 1, 31}, 1, {2023, 2, 28}},
        {{2024, 3, 31}, -1, {2024, 2, 29}},   {{2024, 1, 15}, 12, {2025, 1, 15}},
        {{2024, 1, 15}, -13, {2022, 12, 15}}, {{2024, 5, 31}, -3, {2024, 2, 29}},
        {{1899, 12, 29}, 2, {1900, 2, 28}},   {{2024, 1, 31}, 0, {2024, 1, 31}},
    };
    for (const auto& c : cases) {
        const TDateTime from =
            ComposeDateTime(EncodeDate(c.from.y, c.from.m, c.from.d), EncodeTime(18, 30, 0, 0));
        const TDateTime to = IncMonth(from, c.months);
        char expected[32];
        std::snprintf(expected, sizeof expected, "%04d-%02d-%02d 18:30:00.000", c.to.y, c.to.m, c.to.d);
        EXPECT_EQ(Stamp(to), expected) << Stamp(from) << " + " << c.months;
    }
}

TEST_F(DateTimeTest, FormatDateTimeSpecifiers) {
    const TDateTime dt = ComposeDateTime(EncodeDate(2024, 1, 5), EncodeTime(9, 7, 3, 45));
    const TDateTime afternoon = ComposeDateTime(EncodeDate(2024, 11, 25), EncodeTime(13, 5, 0, 0));
    const struct {
        const char* format;
        TDateTime value;
        const char* expected;
    } cases[] = {
        {"YYYY/MM/DD hh:nn:ss:zzz", dt, "2024/01/05 09:07:03:045"},
        {"yyyymmdd", dt, "20240105"},
        {"hh", dt, "09"},
        {"hh:mm", dt, "09:07"}, // minutes right after the hour
        {"h:m:s", dt, "9:7:3"},
        {"hh dd mm", dt, "09 05 01"}, // a day in between: the month again
        {"yy/m/d", dt, "24/1/5"},
        {"y", dt, "24"},
        {"z", dt, "45"},
        {"ddd dddd", dt, "Fri Friday"},
        {"mmm mmmm", dt, "Jan January"},
        {"h:nn am/pm", afternoon, "1:05 pm"},
        {"h:nn AM/PM", dt, "9:07 AM"},
        {"hh a/p", afternoon, "01 p"},
        {"hh ampm", afternoon, "01 PM"},
        {"hh", afternoon, "13"},
        {"\"yyyy\" 'mm' yyyy", dt, "yyyy mm 2024"},
        {"ddddd", dt, "2024/01/05"},
        {"c", dt, "2024/01/05 09:07:03"},
        {"c", EncodeDate(2024, 1, 5), "2024/01/05"},
        {"", dt, "2024/01/05 09:07:03"},
        {"tt", dt, "09:07:03"},
        {"t", dt, "09:07"},
        {"yyyy-mm-dd", EncodeDate(1, 1, 1), "0001-01-01"},
        {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
        {"\"unterminated", dt, "unterminated"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, c.value), c.expected) << c.format;
}

TEST_F(DateTimeTest, SeparatorsComeFromTheSettings) {
    FormatSettings fs;
    fs.DateSeparator = '-';
    fs.TimeSeparator = '.';
    ScopedFormatSettings scoped(fs);
    const TDateTime dt = ComposeDateTime(EncodeDate(2024, 1, 5), EncodeTime(9, 7, 3, 45));
    EXPECT_EQ(FormatDateTime("YYYY/MM/DD hh:nn:ss:zzz", dt), "2024-01-05 09.07.03.045");
    EXPECT_EQ(DateToStr(dt), "2024-01-05");
    EXPECT_EQ(TimeToStr(dt), "09.07.03");
}

TEST_F(DateTimeTest, DateTimeToStrPrintsLikeADateVariant) {
    const struct {
        TDateTime value;
        const char* expected;
    } cases[] = {
        {EncodeDate(2024, 1, 5), "2024/01/05"},
        {ComposeDateTime(EncodeDate(2024, 1, 5), EncodeTime(13, 5, 0, 0)), "2024/01/05 13:05:00"},
        {EncodeTime(6, 0, 0, 0), "06:00:00"}, // day 0 with a time: the time only
        {0.0, "1899/12/30"},
        {-1.25, "1899/12/29 06:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateTimeToStr(c.value), c.expected);
        EXPECT_EQ(VarToStr(Variant(c.value)), c.expected);
    }
}

TEST_F(DateTimeTest, StrToDateReadsTheShortDateFormat) {
    ScopedClock clock(EncodeDate(2025, 6, 1));
    const struct {
        const char* text;
        const char* expected; // "" when the text must be refused
    } cases[] = {
        {"2024/01/05", "2024-01-05"}, {" 2024/1/5 ", "2024-01-05"},
        {"1/5", "2025-01-05"},        {"24/1/5", "2024-01-05"},
        {"80/1/5", "1980-01-05"},     {"74/1/5", "2074-01-05"},
        {"0024/1/5", "0024-01-05"},   {"2024-01-05", ""},
        {"2024/02/30", ""},           {"", ""},
        {"2024/01/05 x", ""},         {"2024/01/", ""},
        {"2024/01/05/07", ""},        {"20240/01/05", ""},
        {"-2024/01/05", ""},
    };
    for (const auto& c : cases) {
        TDateTime dt;
        const bool ok = TryStrToDate(c.text, dt);
        EXPECT_EQ(ok, *c.expected != '\0') << c.text;
        if (ok) {
            EXPECT_EQ(FormatDateTime("yyyy-mm-dd", dt), c.expected) << c.text;
        }
        if (!ok) {
            EXPECT_THROW(StrToDate(c.text), EConvertError) << c.text;
        }
    }

    FormatSettings fs;
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.DateSeparator = '.';
    ScopedFormatSettings german(fs);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", StrToDate("05.01.2024")), "2024-01-05");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", StrToDate("5.1")), "2025-01-05");
    EXPECT_EQ(DateToStr(StrToDate("05.01.2024")), "05.01.2024");
}

TEST(Clock, NowDateAndTimeReadTheInstalledClock) {
    const TDateTime fixed = ComposeDateTime(EncodeDate(2024, 1, 5), EncodeTime(9, 7, 3, 45));
    {
        ScopedClock outer(fixed);
        EXPECT_EQ(Now().Val, fixed.Val);
        EXPECT_EQ(Date().Val, EncodeDate(2024, 1, 5).Val);
        EXPECT_DOUBLE_EQ(Time(), EncodeTime(9, 7, 3, 45));
        {
            int calls = 0;
            ScopedClock inner([&] { return TDateTime(++calls); });
            EXPECT_EQ(Now().Val, 1.0);
            EXPECT_EQ(Now().Val, 2.0);
        }
        EXPECT_EQ(Now().Val, fixed.Val);
    }
    // Back on the system clock: some day well after this code was written.
    EXPECT_GT(Now().Val, EncodeDate(2024, 1, 1).Val);
}

TEST(FormatSettingsTest, StrftimePatternsTranslate) {
    const struct {
        const char* pattern;
        char notation;
        const char* expected;
        char separator;
    } cases[] = {
        {"%d.%m.%Y", '/', "dd/mm/yyyy", '.'},
        {"%m/%d/%y", '/', "mm/dd/yyyy", '/'},
        {"%Y-%m-%d", '/', "yyyy/mm/dd", '-'},
        {"%F", '/', "yyyy/mm/dd", '-'},
        {"%H:%M:%S", ':', "hh:nn:ss", ':'},
        {"%r", ':', "hh:nn:ss ampm", ':'},
        {"%H.%M.%S", ':', "hh:nn:ss", '.'},
        {"%Y年%m月%d日", '/', "", '\0'},
        {"%a %d %b %Y", '/', "", '\0'},
        {"%d.%m-%Y", '/', "", '\0'},
        {"%", '/', "", '\0'},
    };
    for (const auto& c : cases) {
        char separator = '\0';
        const std::string result = FormatFromStrftime(c.pattern, c.notation, separator);
        EXPECT_EQ(result, c.expected) << c.pattern;
        if (*c.expected) {
            EXPECT_EQ(separator, c.separator) << c.pattern;
        }
    }
}

TEST(FormatSettingsTest, PlainOrMissingLocalesGiveTheDefaults) {
    const char* saved = std::getenv("LC_ALL");
    const std::string savedValue = saved ? saved : "";
    const FormatSettings defaults;
    for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
        setenv("LC_ALL", name, 1);
        const FormatSettings fs = LocaleFormatSettings();
        EXPECT_EQ(fs.ShortDateFormat, defaults.ShortDateFormat) << name;
        EXPECT_EQ(fs.LongTimeFormat, defaults.LongTimeFormat) << name;
        EXPECT_EQ(fs.DateSeparator, '/') << name;
        EXPECT_EQ(fs.DecimalSeparator, '.') << name;
    }
    if (saved)
        setenv("LC_ALL", savedValue.c_str(), 1);
    else
        unsetenv("LC_ALL");
}
