// The five date styles, "YYYYMMDD" texts and calendar arithmetic.
#include "support/LibStrs.h"

#include "core/DateTime.h"
#include "kvx/Edition.h"

#include <gtest/gtest.h>

using namespace kvx;
using rt::EncodeDate;
using rt::TDateTime;
using rt::Variant;

namespace {

TEST(LibStrsDate, FormatDateStyleInEveryStyle) {
    const TDateTime jan31 = EncodeDate(2024, 1, 31);
    const struct {
        int Style;
        const char* Sep;
        TDateTime Date;
        const char* Full;
        const char* YearMonth;
    } cases[] = {
        {1, "/", jan31, "2024/01/31", "2024/01"},
        {2, "-.", jan31, "01-31-2024", "01-2024"},
        {3, "/", jan31, "31/01/2024", "01/2024"},
        // The era year has a minimum width: 113 keeps three digits in style 4.
        {4, "/", jan31, "113/01/31", "113/01"},
        {5, "/", jan31, "113/01/31", "113/01"},
        {4, "/", EncodeDate(1999, 5, 6), "88/05/06", "88/05"},
        {5, "/", EncodeDate(1999, 5, 6), "088/05/06", "088/05"},
        {1, "", jan31, "20240131", "202401"},
        {1, "/", EncodeDate(987, 3, 4), "0987/03/04", "0987/03"},
        {1, "/", 0, "", ""},
        {0, "/", jan31, "", ""},
        {6, "/", jan31, "", ""},
        {1, "/", TDateTime(1e12), "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDateStyle(c.Style, c.Sep, c.Date), c.Full) << "style " << c.Style;
        EXPECT_EQ(FormatYearMonthStyle(c.Style, c.Sep, c.Date), c.YearMonth) << "style " << c.Style;
    }
}

TEST(LibStrsDate, ParseDateStyleReadsEachStyle) {
    const struct {
        const char* Text;
        int Style;
        const char* Sep;
        TDateTime Expected;
    } cases[] = {
        {"2024/01/31", 1, "/", EncodeDate(2024, 1, 31)},
        {" 2024 / 1 / 31 ", 1, "/", EncodeDate(2024, 1, 31)},
        {"01-31-2024", 2, "-", EncodeDate(2024, 1, 31)},
        {"31.01.2024", 3, ".", EncodeDate(2024, 1, 31)},
        {"113/01/31", 5, "/", EncodeDate(2024, 1, 31)},
        {"113/01/31", 4, "/", EncodeDate(2024, 1, 31)},
        {"88/05/06", 4, "/", EncodeDate(1999, 5, 6)},
        {"2024--01--31", 1, "--", EncodeDate(2024, 1, 31)},
        // A day past the month's end runs on into the next month.
        {"2024/02/30", 1, "/", EncodeDate(2024, 3, 1)},
        {"2023/12/32", 1, "/", EncodeDate(2024, 1, 1)},
        {"2024/13/01", 1, "/", 0},
        {"2024/01", 1, "/", 0},
        {"2024/00/10", 1, "/", 0},
        {"2024/-1/10", 1, "/", 0},
        {"2024/ab/10", 1, "/", 0},
        {"", 1, "/", 0},
        {"   ", 1, "/", 0},
        {"2024/01/31", 0, "/", 0},
        {"2024/01/31", 6, "/", 0},
        {"10000/01/01", 1, "/", 0},
        {"9999/12/31", 1, "/", EncodeDate(9999, 12, 31)},
        {"9999/12/32", 1, "/", 0},
        // Parts are small integers: 65537 is refused instead of being taken as 1.
        {"2024/01/65537", 1, "/", 0},
        {"2024/01/31", 1, "", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDateStyle(c.Text, c.Style, c.Sep).Val, c.Expected.Val)
            << c.Text << " style " << c.Style;
}

TEST(LibStrsDate, FormatAndParseRoundTripInEveryStyle) {
    const TDateTime dates[] = {EncodeDate(1912, 1, 1), EncodeDate(2024, 2, 29), EncodeDate(9999, 12, 31)};
    for (int style = 1; style <= 5; ++style)
        for (TDateTime d : dates)
            EXPECT_EQ(ParseDateStyle(FormatDateStyle(style, "/", d), style, "/").Val, d.Val) << style;
}

TEST(LibStrsDate, YMDToDateAndIsValidYMD) {
    EXPECT_EQ(YMDToDate("20240229").Val, EncodeDate(2024, 2, 29).Val);
    EXPECT_EQ(YMDToDate("00010101").Val, EncodeDate(1, 1, 1).Val);
    for (const char* bad :
         {"20230229", "2024013", "202401311", "", "2024ab01", "20240001", "00000101", "20241301"})
        EXPECT_EQ(YMDToDate(bad).Val, 0) << bad;

    const struct {
        const char* Text;
        bool Valid;
    } cases[] = {
        {"", true},
        {"17530101", true},
        // The earlier edition has no lower bound.
        {"17521231", !kvx::edition::YmdLowerBound},
        {"16000101", !kvx::edition::YmdLowerBound},
        {"99991231", true},
        {"20240230", false},
        {"20240229", true},
        {"20230229", false},
        {"1753010", false},
        // The calendar test reads up to eight characters, the range test compares the whole text.
        {"202401011", true},
        {"2024013", true},
        {"2024011a", false},
        {"abcdefgh", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidYMD(c.Text), c.Valid) << c.Text;
}

TEST(LibStrsDate, DateAddYMDShiftsByYearsMonthsAndDays) {
    const struct {
        Variant Value;
        const char* Unit;
        int N;
        const char* Expected;
    } cases[] = {
        {Variant("20240131"), "M", 1, "20240229"},
        {Variant("20230131"), "M", 1, "20230228"},
        {Variant("20240331"), "M", 1, "20240430"},
        {Variant("20240115"), "m", -1, "20231215"},
        {Variant("20241215"), "M", 1, "20250115"},
        {Variant("20241215"), "M", -12, "20231215"},
        {Variant("20241215"), "M", -24, "20221215"},
        {Variant(u"20240115"), "D", 17, "20240201"},
        {Variant("20240301"), "d", -1, "20240229"},
        {Variant("20240115"), "Y", 1, "20250115"},
        // A year on from 29 February into a common year leaves the date as it was.
        {Variant("20240229"), "Y", 1, "20240229"},
        {Variant("20240229"), "y", 4, "20280229"},
        {Variant(EncodeDate(2024, 1, 31)), "M", 1, "20240229"},
        {Variant(TDateTime(EncodeDate(2024, 1, 31) + 0.75)), "D", 1, "20240201"},
        {Variant("20240115"), "W", 1, ""},
        {Variant("20240115"), "", 1, ""},
        {Variant("20240115"), "MM", 1, ""},
        {Variant(20240115), "D", 1, ""},
        {Variant(), "D", 1, ""},
        {Variant::Null(), "D", 1, ""},
        {Variant("2024011"), "D", 1, ""},
        {Variant(TDateTime(0)), "D", 1, ""},
        {Variant("99991231"), "D", 1, ""},
        {Variant("99991231"), "Y", 1, ""},
        {Variant("00010115"), "M", -1, ""},
        {Variant("20240115"), "M", 2147483647, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateAddYMD(c.Value, c.Unit, c.N), c.Expected)
            << rt::VarToStr(c.Value) << " " << c.Unit << c.N;
}

TEST(LibStrsDate, DaysInMonth) {
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2024, 1), 31);
    EXPECT_EQ(DaysInMonth(2024, 4), 30);
    EXPECT_EQ(DaysInMonth(2024, 12), 31);
    EXPECT_EQ(DaysInMonth(2024, 13), 0);
    EXPECT_EQ(DaysInMonth(2024, 0), 0);
}

} // namespace
