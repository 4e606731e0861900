// The next day's kind of a day record (NextDayType), which the next-day
// filter of the day scripts reads: the next day's no-shift bit and holiday
// bits as that day's own Prc_Type holds them, also for the last day of a
// period, whose next day lies after it.
#include "engine/EngineFixture.h"
#include "scripts/Scripts.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

class NextDayType : public EngineFixture {};

}  // namespace

TEST_F(NextDayType, NextDaysShiftAndHolidays) {
    // 1393/02/29 ... 02/31 are scheduled; 02/30 is an official holiday; the
    // day after the period, 03/01, has no shift and is an unofficial holiday.
    Period("1393/02/29", 3);
    for (int d = 1; d <= 3; ++d) Shift(d, {{480, 960}});
    Holiday(1393, 2, 30, true, false);
    Holiday(1393, 3, 1, false, true);
    Run();
    ASSERT_EQ(DayCount(ctx.days), 3);
    EXPECT_EQ(Result(1).NextDayType, 4) << "02/30: scheduled official holiday";
    EXPECT_EQ(Result(2).NextDayType, 0) << "02/31: scheduled working day";
    EXPECT_EQ(Result(3).NextDayType, 3) << "03/01, after the period: no shift, unofficial holiday";
    EXPECT_EQ(Result(2).Prc_Type, 4) << "the day's own kind, for comparison";
}

// The last day of the year: the next day's holidays come from the next year.
TEST_F(NextDayType, LastDayOfTheYear) {
    Period("1393/12/29", 1);
    Shift(1, {{480, 960}});
    Shift(2, {{480, 960}});
    const std::string next = AddDays("1393/12/29", 1);
    ASSERT_EQ(next.substr(0, 4), "1394") << "1393 is not a leap year";
    Holiday(1393, 12, 1, false, false);
    Holiday(1394, 1, 1, true, false);
    Run();
    EXPECT_EQ(Result(1).NextDayType, 4);
    EXPECT_EQ(Result(1).Prc_Type, 0);
}

// The day loop runs the day scripts with the record's next-day kind: a
// script for the days before a day without shift marks the Thursdays.
TEST_F(NextDayType, DayScriptsSeeTheNextDay) {
    Period("1393/02/01", 7);  // Monday ... Sunday; the 5th is a Friday
    for (int d = 1; d <= 8; ++d)
        if (d != 5) Shift(d, {{480, 960}});
    ctx.rule.Rule_Script[0] = "1;1;512;0;2;0;0;0;0;0;0;0;0;0;0;9310;0;0;1;0;";  // next day without shift
    ctx.rule.Rule_Script[1] = "1;1;2;0;2;0;0;0;0;0;0;0;0;0;0;9320;0;0;1;0;";    // the day itself without shift
    PrepareRuleScripts(ctx);
    Run();
    for (int d = 1; d <= 7; ++d) {
        EXPECT_EQ(Result(d).Prc_scrdays[0], d == 4 ? 1 : 0) << "day " << d;
        EXPECT_EQ(Result(d).Prc_scrdays[1], d == 5 ? 1 : 0) << "day " << d;
    }
}
