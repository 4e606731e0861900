// The engine frame: the day loop, punch fields, classification, the rule of
// each day, carried codes and the period bookkeeping.
#include <vector>

#include "EngineFixture.h"
#include "engine/PeriodState.h"

namespace attcalc::test {
namespace {

std::int32_t T(int h, int m) { return h * 60 + m; }

TEST(PeriodArithmeticTest, TierPercent) {
    struct Case {
        std::int32_t value, threshold;
        int first, second;
        std::int32_t result;
    } cases[] = {
        {90, 60, 40, 50, 39},   // 24 + 15
        {5, 60, 50, 0, 2},      // 2.5 goes to the even neighbour
        {7, 60, 50, 0, 4},      // 3.5 as well
        {100, 0, 40, 40, 40},
        {60, 60, 40, 90, 24},   // at the threshold only the first tier
        {0, 60, 40, 50, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TierPercent(c.value, c.threshold, c.first, c.second), c.result)
            << c.value << " over " << c.threshold;
}

TEST(PeriodArithmeticTest, BalanceAdd) {
    struct Case {
        std::int32_t days, minutes, addDays, length, addMinutes, outDays, outMinutes;
    } cases[] = {
        {0, 45, 0, 480, -60, 0, -15},    // a negative balance has both parts <= 0
        {2, 100, 0, 480, 400, 3, 20},
        {1, 0, -1, 480, 480, 1, 0},
        {0, 29999, 0, 0, 1, 1, 0},       // length 0 is 30000
        {3, 0, 0, 480, -1000, 0, 440},   // borrows several days at once
        {0, 10, 0, -5, -20, 0, -10},     // a nonsensical length is taken as 30000 too
        {-2, 0, 0, 480, -30, -2, -30},
    };
    for (const Case& c : cases) {
        std::int32_t d = c.days, m = c.minutes;
        BalanceAdd(d, m, c.addDays, c.length, c.addMinutes);
        EXPECT_EQ(d, c.outDays) << c.days << "/" << c.minutes << " + " << c.addDays << "/" << c.addMinutes;
        EXPECT_EQ(m, c.outMinutes) << c.days << "/" << c.minutes << " + " << c.addDays << "/" << c.addMinutes;
    }
}

class EngineRunTest : public EngineFixture {};

TEST_F(EngineRunTest, PunchFieldsAndRecordOfEachDay) {
    Period("1403/05/01", 3);
    for (int d = 1; d <= 3; ++d) Shift(d, {{T(8, 0), T(16, 0)}}, 7);
    Punches(1, {{T(8, 0), T(12, 0)}, {T(13, 0), T(16, 0)}});
    Day(1).ChangedFlag = 1;
    Day(1).Station = 4;
    Day(1).Mark28 = 29;
    // Day 2 has no punches. Day 3 has three: the third opened a pair that has
    // no exit.
    Punches(3, {{T(8, 0), T(12, 0)}, {T(13, 0), T(13, 0), 0, 97}});
    Day(3).PunchCount = 3;
    Run();

    ASSERT_EQ(DayCount(ctx.days), 3);
    const TDayRecord& a = Result(1);
    EXPECT_EQ(a.Prc_date, "1403/05/01");
    EXPECT_EQ(a.Prc_PCode, "1001");
    EXPECT_EQ(a.Prc_shiftcode, 7);
    EXPECT_EQ(a.Prc_changed, 1);
    EXPECT_EQ(a.Prc_station, 4);
    EXPECT_EQ(a.Prc_28, 29);
    EXPECT_EQ(a.Prc_NormWork, 480);
    EXPECT_EQ(a.Prc_PresenceWork, 420);
    EXPECT_EQ(std::vector<std::int32_t>({a.Prc_FirstIn, a.Prc_FirstOut, a.Prc_SecondIn, a.Prc_SecondOut, a.Prc_ThirdIn,
                                         a.Prc_FifthOut, a.Prc_LastIn, a.Prc_LastOut, a.Prc_LastInOut}),
              std::vector<std::int32_t>({T(8, 0), T(12, 0), T(13, 0), T(16, 0), kNoTime, kNoTime, T(13, 0),
                                         T(16, 0), T(16, 0)}));

    const TDayRecord& b = Result(2);
    EXPECT_EQ(b.Prc_date, "1403/05/02");
    for (std::int32_t v : {b.Prc_FirstIn, b.Prc_FirstOut, b.Prc_SecondIn, b.Prc_SecondOut, b.Prc_ThirdIn,
                           b.Prc_ThirdOut, b.Prc_Fourthin, b.Prc_FourthOut, b.Prc_FifthIn, b.Prc_FifthOut,
                           b.Prc_LastIn, b.Prc_LastOut, b.Prc_LastInOut})
        EXPECT_EQ(v, kNoTime);
    EXPECT_EQ(b.Prc_PresenceWork, 0);
    EXPECT_EQ(b.Prc_PureWork, 0);

    const TDayRecord& c = Result(3);
    EXPECT_EQ(c.Prc_FirstIn, T(8, 0));
    EXPECT_EQ(c.Prc_FirstOut, T(12, 0));
    EXPECT_EQ(c.Prc_SecondIn, T(13, 0));
    EXPECT_EQ(c.Prc_SecondOut, kNoTime);
    EXPECT_EQ(c.Prc_LastOut, kNoTime);
    EXPECT_EQ(c.Prc_LastIn, T(13, 0));
    EXPECT_EQ(c.Prc_LastInOut, T(13, 0));
    EXPECT_EQ(c.Prc_AbsenceNaghes, 1);
}

TEST_F(EngineRunTest, ChangedFlagNeedsPunchesInThePeriod) {
    Period("1403/05/01", 1);
    Day(1).ChangedFlag = 3;
    Run();
    EXPECT_EQ(Result(1).Prc_changed, 0);
}

TEST_F(EngineRunTest, ClassificationByScheduleAndHolidays) {
    Holiday(1403, 5, 1, true, false);
    Holiday(1403, 5, 2, true, true);
    Holiday(1403, 5, 3, false, true);
    Period("1403/05/01", 5);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Shift(5, {{T(8, 0), T(16, 0)}});
    Run();
    struct Expect {
        int dayClass, type;
    } expect[] = {{0, 4}, {3, 7}, {2, 3}, {1, 1}, {0, 0}};
    for (int d = 1; d <= 5; ++d) {
        EXPECT_EQ(Day(d).DayClass, expect[d - 1].dayClass) << "day " << d;
        EXPECT_EQ(Result(d).Prc_Type, expect[d - 1].type) << "day " << d;
    }
    // The next day's kind travels with each day.
    EXPECT_EQ(Result(1).NextDayType, 7);
    EXPECT_EQ(Result(4).NextDayType, 0);
    EXPECT_EQ(Result(5).NextDayType, 1);  // day 6 has no shift
}

TEST_F(EngineRunTest, PunchTimesAreRoundedForTheCalculation) {
    ctx.rule.Rule_isround = true;
    ctx.rule.Rule_roundtime = 15;
    ctx.rule.Rule_roundtype = 3;
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 7), T(15, 58)}});
    Run();
    const TDayRecord& r = Result(1);
    EXPECT_EQ(r.Prc_FirstIn, T(8, 7));  // the punch fields keep the clock's times
    EXPECT_EQ(r.Prc_FirstOut, T(15, 58));
    EXPECT_EQ(r.Prc_PresenceWork, 480);
    EXPECT_EQ(r.Prc_PureWork, 480);
    EXPECT_EQ(r.Prc_TakhirLessWork, 0);
    EXPECT_EQ(r.Prc_TajilLessWork, 0);
    EXPECT_EQ(Day(1).Pairs[0].In, T(8, 0));
}

// Leaving with a daily leave code and not coming back: the code is in force
// on the next day until the person punches in again.
TEST_F(EngineRunTest, DailyLeaveCodeCarriesIntoTheNextDays) {
    Period("1403/05/01", 3);
    for (int d = 1; d <= 3; ++d) Shift(d, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(10, 0), 0, 41}});
    Punches(3, {{T(8, 0), T(16, 0)}});
    TEngineState es;
    EngineDay(ctx, es, ctx.PersonnelCode, 1);
    EXPECT_EQ(es.CarriedCode, 41);
    DayWalk(ctx, es, ctx.PersonnelCode, 2);
    EXPECT_EQ(es.W.CurrentCode, 41);
    DayConsolidation(ctx, es);
    AppendDay(ctx.days, es.Rec);
    DayWalk(ctx, es, ctx.PersonnelCode, 3);
    EXPECT_EQ(es.CarriedCode, 0);  // punched in again
}

TEST_F(EngineRunTest, EachDayUsesItsOwnRule) {
    CreateTableIfMissing(ctx, "rules");
    CreateTableIfMissing(ctx, "rulesetc");
    db_->Insert("rules", {{"Rule_Code", DbValue::Int(1)}, {"Rule_GMT1", DbValue::Int(0)}, {"Rule_GKBH", DbValue::Int(1)},
                          {"Rule_gslimit", DbValue::Int(480)}});  // 20 minutes stay hour absence
    db_->Insert("rules", {{"Rule_Code", DbValue::Int(2)}, {"Rule_GMT1", DbValue::Int(30)}, {"Rule_GKBH", DbValue::Int(0)}});
    ctx.RuleRequestedCode.reset();
    Period("1403/05/01", 2);
    for (int d = 1; d <= 2; ++d) {
        Shift(d, {{T(8, 0), T(16, 0)}});
        Punches(d, {{T(8, 20), T(16, 0)}});
    }
    ctx.period.DayRuleCodes[0] = 1;
    ctx.period.DayRuleCodes[1] = 2;
    Run();
    EXPECT_EQ(Result(1).RuleCode, 1);
    EXPECT_EQ(Result(1).Prc_TakhirLessWork, 20);
    EXPECT_EQ(Result(2).RuleCode, 2);
    EXPECT_EQ(Result(2).Prc_TakhirLessWork, 0);
    EXPECT_EQ(ctx.rule.rule_code, 2);
}

TEST_F(EngineRunTest, PeriodBookkeepingAndTwoPeriodsInOneRun) {
    Period("1403/05/01", 2);
    for (int d = 1; d <= 2; ++d) Shift(d, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(16, 0)}});
    Punches(2, {{T(8, 30), T(16, 0)}});
    Run();
    const PeriodState& ps = ctx.period;
    EXPECT_EQ(ps.DayTotalsToDate[kDayNormWork], 960);
    EXPECT_EQ(ps.DayTotalsToDate[kDayPresenceWork], 930);
    EXPECT_EQ(ps.DayTotals[kDayPresenceWork], 450);  // the last day's
    EXPECT_EQ(ps.LastDay.Prc_TakhirLessWork, 30);
    EXPECT_EQ(ps.LastDay.prc_hourabsence, 30);
    EXPECT_TRUE(ps.PastMonth);  // today is 1403/06/20

    // The next period starts its accumulators afresh and appends after the
    // days of the first.
    Period("1403/06/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Run();
    EXPECT_EQ(DayCount(ctx.days), 3);
    EXPECT_EQ(Result(3).Prc_date, "1403/06/01");
    EXPECT_EQ(ctx.period.DayTotalsToDate[kDayNormWork], 480);
    EXPECT_FALSE(ctx.period.PastMonth);
}

TEST_F(EngineRunTest, BalanceRequestOfThePeriod) {
    TBalanceRequest calendar = PeriodBalanceRequest(ctx, "1001", "1403/05/01", "1403/05/31");
    EXPECT_EQ(calendar.Months, 0);
    EXPECT_EQ(calendar.BalanceMonth, 6);
    EXPECT_EQ(calendar.Year, 1403);
    EXPECT_TRUE(calendar.Restricted);

    // Salary months ending on the 25th: the period 04/26 ... 05/25 is salary
    // month 5.
    ctx.settings.CalendarMonths = false;
    ctx.settings.MonthEndDay.fill(25);
    ctx.rule.Rule_moTalab = false;
    TBalanceRequest shifted = PeriodBalanceRequest(ctx, "1001", "1403/04/26", "1403/05/25");
    EXPECT_EQ(shifted.Months, 0);
    EXPECT_EQ(shifted.BalanceMonth, 6);
    EXPECT_FALSE(shifted.Restricted);
    // A range over three salary months.
    EXPECT_EQ(PeriodBalanceRequest(ctx, "1001", "1403/02/26", "1403/05/25").Months, 2);
}

TEST_F(EngineRunTest, PeriodWithoutDaysAppendsNothing) {
    Period("1403/05/01", 1);
    ctx.period.DayCount = 0;
    Run();
    EXPECT_EQ(DayCount(ctx.days), 0);
}

}  // namespace
}  // namespace attcalc::test
