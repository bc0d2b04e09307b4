// The first run date of a periodic job and the date rules of dynamic date conditions.
#include "support/LibStrs.h"

#include "core/Exceptions.h"

#include <gtest/gtest.h>

using namespace kvx;
using rt::VarArrayOf;
using rt::Variant;

namespace {

Variant Daily(const char* n) {
    return VarArrayOf({0, n});
}
Variant Weekly(const char* n, int weekday) {
    return VarArrayOf({1, VarArrayOf({n, weekday})});
}
Variant MonthlyOnDay(const char* m, const char* day) {
    return VarArrayOf({2, VarArrayOf({0, m, day})});
}
Variant MonthlyOnWeekday(const char* m, int ordinal, int weekday) {
    return VarArrayOf({2, VarArrayOf({1, m, ordinal, weekday})});
}

TEST(Schedule, NextRunDateOfEachCycleKind) {
    // 2026-12-09 is a Wednesday.
    const struct {
        const char* Start;
        Variant Cycle;
        const char* Expected;
    } cases[] = {
        {"20261209", Daily("3"), "20261209"},
        {"20261209", Weekly("1", 5), "20261211"}, // Friday of the same week
        {"20261209", Weekly("1", 1), "20261214"}, // Monday has passed: next week
        {"20261209", Weekly("2", 5), "20261218"},
        {"20261209", Weekly("1", 3), "20261209"}, // the start day itself
        {"20261209", Weekly("1", 0), "20261213"},
        {"20261209", MonthlyOnDay("1", "15"), "20261215"},
        {"20261220", MonthlyOnDay("1", "15"), "20270115"},
        {"20270210", MonthlyOnDay("1", "31"), "20270228"},
        {"20261209", MonthlyOnDay("3", "9"), "20270209"},
        {"20261209", MonthlyOnWeekday("1", 4, 5), "20261225"}, // last Friday
        {"20261209", MonthlyOnWeekday("1", 0, 1), "20270104"}, // first Monday of December is past
        {"20261201", MonthlyOnWeekday("1", 0, 1), "20261207"},
        {"20261201", MonthlyOnWeekday("1", 1, 2), "20261208"}, // second Tuesday (1 December is one)
        {"20261201", MonthlyOnWeekday("1", 3, 4), "20261224"}, // fourth Thursday
        {"20261209", MonthlyOnWeekday("2", 4, 4), "20270128"}, // last Thursday, two months on
        {"20261209", VarArrayOf({3, 1.5}), ""},
        {"20261209", VarArrayOf({7, 1}), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextRunDate(c.Start, c.Cycle), c.Expected)
            << c.Start << " kind " << rt::VarToStr(c.Cycle[0]);
}

TEST(Schedule, NextRunDateAnswersEmptyForBadInput) {
    EXPECT_EQ(NextRunDate("", Daily("1")), "");
    EXPECT_EQ(NextRunDate("2026129", Weekly("1", 5)), "");
    EXPECT_EQ(NextRunDate("20261209", Variant()), "");
    EXPECT_EQ(NextRunDate("20261209", Variant("0")), "");
    EXPECT_EQ(NextRunDate("20261209", VarArrayOf({1, "x"})), "");
    EXPECT_EQ(NextRunDate("20261209", Weekly("abc", 5)), "");
    EXPECT_EQ(NextRunDate("20261209", MonthlyOnDay("1", "")), "");
    EXPECT_EQ(NextRunDate("20261209", MonthlyOnWeekday("1", 9, 1)), "");
    EXPECT_EQ(NextRunDate("20261209", VarArrayOf({2, VarArrayOf({5, "1", 1})})), "");
    // A day of 100 or more never yields a nine-character date.
    EXPECT_EQ(NextRunDate("20261209", MonthlyOnDay("1", "100")), "20261231");
}

TEST(Schedule, RelativeDateTable) {
    const struct {
        const char* Base;
        const char* N;
        const char* Unit;
        const char* Op;
        const char* M;
        const char* Expected;
    } cases[] = {
        {"20261209", "0", "0", "1", "0", "20261206"},  // Sunday of the week
        {"20261209", "0", "0", "2", "0", "20261212"},  // Saturday of the week
        {"20261209", "-1", "1", "1", "0", "20261101"}, // first day of last month
        {"20261209", "-1", "1", "2", "0", "20261130"}, // last day of last month
        {"20261209", "1", "0", "0", "-1", "20261215"}, {"20261209", "1", "1", "0", "-1", "20270108"},
        {"20260131", "1", "1", "0", "0", "20260228"},  {"20261209", "0", "0", "0", "0", "20261209"},
        {"20261209", "1", "0", "1", "0", "20261213"}, // Sunday of next week
        {"202612", "2", "0", "0", "0", "202702"},      {"202612", "-12", "1", "2", "5", "202512"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RelativeDate(c.Base, c.N, c.Unit, c.Op, c.M), c.Expected)
            << c.Base << " N" << c.N << " unit" << c.Unit << " op" << c.Op << " M" << c.M;
}

TEST(Schedule, RelativeDateAndWeekBoundRaiseForUnreadableInput) {
    EXPECT_THROW(RelativeDate("20261209", "x", "0", "0", "0"), rt::EConvertError);
    EXPECT_THROW(RelativeDate("20261209", "1", "0", "", "0"), rt::EConvertError);
    EXPECT_THROW(RelativeDate("20261309", "1", "0", "0", "0"), rt::EConvertError);
    EXPECT_THROW(RelativeDate("2026ab", "1", "0", "0", "0"), rt::EConvertError);
    EXPECT_THROW(WeekBound("", 0, 1), rt::EConvertError);
    EXPECT_EQ(WeekBound("20261206", 0, 1), "20261206");
    EXPECT_EQ(WeekBound("20261212", 0, 2), "20261212");
    EXPECT_EQ(WeekBound("20261209", -1, 2), "20261205");
}

std::string Rule(std::initializer_list<const char*> fields) {
    std::string text;
    for (const char* f : fields) text += std::string(text.empty() ? "" : "\x03") + f;
    return text;
}

TEST(Schedule, ApplyDynamicDatesMovesSingleDatesAndRanges) {
    const Variant values = VarArrayOf({"", "20200101", VarArrayOf({"\x04", "20200101", "20200131"}), "keep"});
    const Variant rules = VarArrayOf({
        3,
        // single date, last day of the month a month back, condition 1
        Rule({"1", "edDate", "Y", "-1", "1", "2", "0", "D", "1"}),
        // range: beginning the Sunday, end the Saturday of the run date's week, condition 2
        Rule({"0", "sp02", "Y", "0", "0", "1", "0", "Y", "0", "0", "2", "0", "D", "2"}),
        // flag "N": condition 3 stays
        Rule({"1", "edOther", "N", "5", "0", "0", "0", "D", "3"}),
    });
    const Variant result = ApplyDynamicDates(VarArrayOf({0, values, Variant(), rules}), "20261209");
    ASSERT_TRUE(result.IsArray());
    EXPECT_EQ(result[1].AsString(), "20261130");
    EXPECT_EQ(result[2][0].AsString(), "\x04");
    EXPECT_EQ(result[2][1].AsString(), "20261206");
    EXPECT_EQ(result[2][2].AsString(), "20261212");
    EXPECT_EQ(result[3].AsString(), "keep");
}

TEST(Schedule, ApplyDynamicDatesUsesTheBaseForZeroRulesAndTheYearMonthForMonthFields) {
    const Variant values = VarArrayOf({"", "old", VarArrayOf({"\x04", "a", "b"})});
    const Variant rules = VarArrayOf({
        2,
        Rule({"1", "edMonth", "Y", "0", "1", "0", "0", "M", "1"}),
        Rule({"0", "sp01", "N", "1", "1", "1", "1", "Y", "0", "0", "0", "0", "D", "2"}),
    });
    const Variant result = ApplyDynamicDates(VarArrayOf({0, values, Variant(), rules}), "20261209");
    ASSERT_TRUE(result.IsArray());
    EXPECT_EQ(result[1].AsString(), "202612");
    EXPECT_EQ(result[2][1].AsString(), "a");
    EXPECT_EQ(result[2][2].AsString(), "20261209");
}

TEST(Schedule, ApplyDynamicDatesGivesAnEmptyTextWhenAnythingFails) {
    const Variant values = VarArrayOf({"", "20200101"});
    const auto apply = [&](const std::string& rule) {
        return ApplyDynamicDates(VarArrayOf({0, values, Variant(), VarArrayOf({1, rule})}), "20261209");
    };
    const Variant bad[] = {
        apply(Rule({"1", "ed", "Y", "x", "0", "0", "0", "D", "1"})), // unreadable N
        apply(Rule({"1", "ed", "Y", "1", "0", "0", "0", "D", "9"})), // no condition 9
        apply(Rule({"1", "ed", "Y", "1", "0", "0", "0", "D"})),      // no condition index
        apply(Rule(
            {"0", "sp", "Y", "1", "0", "0", "0", "N", "0", "0", "0", "0", "D", "1"})), // not a range value
        ApplyDynamicDates(Variant(), "20261209"),
        ApplyDynamicDates(VarArrayOf({0, values, Variant(), VarArrayOf({2, Rule({"1"})})}), "20261209"),
    };
    for (const Variant& v : bad) {
        EXPECT_EQ(v.VarType(), rt::varString);
        EXPECT_EQ(v.AsString(), "");
    }
}

} // namespace
