// The job checks on their own: every cycle kind and range the periodic page can send is accepted and
// summarised; dates are real calendar days.
#include "JobCheck.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace rt;
using appsrv::CheckJob;

namespace {

Variant WithPeriod(const Variant& cycle, const Variant& range) {
    Variant job = appsrv_test::SampleJob(true);
    job[3][2] = cycle;
    job[3][3] = range;
    return job;
}

TEST(JobCheck, EveryCycleKindAndRangeIsAccepted) {
    const Variant start(u"20261214");
    struct Case {
        Variant cycle, range;
        int kind, rangeKind;
    };
    const Case cases[] = {
        {VarArrayOf({Variant(0), Variant(u"3")}), VarArrayOf({start, Variant(0)}), 0, 0},
        {VarArrayOf({Variant(1), VarArrayOf({Variant(u"2"), Variant(6)})}),
         VarArrayOf({start, Variant(2), Variant(u"20270228")}), 1, 2},
        {VarArrayOf({Variant(2), VarArrayOf({Variant(0), Variant(u"1"), Variant(u"31")})}),
         VarArrayOf({start, Variant(1), Variant(u"999")}), 2, 1},
        {VarArrayOf({Variant(2), VarArrayOf({Variant(1), Variant(u"3"), Variant(4), Variant(0)})}),
         VarArrayOf({start, Variant(0)}), 2, 0},
        {VarArrayOf({Variant(3), Variant(1.5)}), VarArrayOf({start, Variant(0)}), 3, 0},
    };
    for (const auto& c : cases) {
        const appsrv::JobSummary m = CheckJob(WithPeriod(c.cycle, c.range));
        EXPECT_EQ(m.CycleKind, c.kind);
        EXPECT_EQ(m.RangeKind, c.rangeKind);
    }
}

TEST(JobCheck, ImpossibleSchedulesAreRefused) {
    const Variant start(u"20261214");
    const Variant noEnd = VarArrayOf({start, Variant(0)});
    const Variant refused[] = {
        WithPeriod(VarArrayOf({Variant(0), Variant(u"0")}), noEnd),                           // every 0 days
        WithPeriod(VarArrayOf({Variant(1), VarArrayOf({Variant(u"1"), Variant(7)})}), noEnd), // weekday 7
        WithPeriod(VarArrayOf({Variant(2), VarArrayOf({Variant(0), Variant(u"1"), Variant(u"32")})}), noEnd),
        WithPeriod(VarArrayOf({Variant(3), Variant(-2.0)}), noEnd), // negative hours
        WithPeriod(VarArrayOf({Variant(4), Variant(u"1")}), noEnd), // unknown kind
        WithPeriod(VarArrayOf({Variant(0), Variant(u"1")}), VarArrayOf({Variant(u"20260230"), Variant(0)})),
        WithPeriod(VarArrayOf({Variant(0), Variant(u"1")}), VarArrayOf({start, Variant(1), Variant(u"x")})),
    };
    for (const Variant& job : refused) EXPECT_THROW(CheckJob(job), appsrv::EJobRejected);
}

TEST(JobCheck, CalendarDates) {
    EXPECT_TRUE(appsrv::IsYmd("20240229"));
    EXPECT_TRUE(appsrv::IsYmd("17530101"));
    EXPECT_TRUE(appsrv::IsYmd("99991231"));
    EXPECT_FALSE(appsrv::IsYmd("21000229"));
    EXPECT_FALSE(appsrv::IsYmd("17521231"));
    EXPECT_FALSE(appsrv::IsYmd("2024022"));
    EXPECT_FALSE(appsrv::IsYmd("2024-2-1"));
}

} // namespace
