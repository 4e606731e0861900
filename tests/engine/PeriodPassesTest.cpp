// The passes over a period's days: holidays and no-work days between two
// days of the same daily leave or mission, or between two absent days, are
// converted in the stored records. The days are computed by the engine's day
// loop (with the balances set here), then the passes run.
#include "calendar/Holidays.h"
#include "db/Catalogue.h"
#include "engine/EngineFixture.h"

namespace attcalc::test {
namespace {

class PeriodPassesTest : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        rule_type& R = ctx.rule;
        R.Rule_kard = 480;
        R.Rule_mohr = 480;
        R.Rule_mokar = R.Rule_mokarna = true;
    }

    // The first Wednesday of 1403/05 whose Friday lies in the same month.
    static std::string Wednesday() {
        std::string d = "1403/05/01";
        while (WeekdayOfText(d) != 4) d = AddDays(d, 1);
        return d;
    }

    // Wednesday, Thursday (no shift, no holiday), Friday (official holiday),
    // Saturday ...: `n` days from the Wednesday, shifts on the scheduled ones.
    void Week(int n) {
        const std::string wed = Wednesday();
        Period(wed, n);
        Holiday(1403, 5, DateDay(AddDays(wed, 2)), true, false);
        for (int d = 1; d <= n; ++d)
            if (d != 2 && d != 3) Shift(d, {{480, 960}});
    }

    // The day loop without the balance load, then the passes.
    void RunDays() {
        TEngineState es;
        for (int d = 1; d <= ctx.period.DayCount; ++d) EngineDay(ctx, es, ctx.PersonnelCode, d);
        PeriodPasses(ctx, es);
    }

    void Punch(const std::string& date, int minute) {
        EnsureClockTables(ctx, date);
        db_->Insert(MonthTableName("c", date),
                    {{"Clock_BarCode", DbValue::Text(ctx.PersonnelCode)}, {"Clock_Date", DbValue::Text(date)},
                     {"Clock_Time", DbValue::Int(minute)}, {"Clock_RdrCode", DbValue::Int(1)},
                     {"Clock_Chg", DbValue::Int(0)}, {"Clock_RecState", DbValue::Int(0)},
                     {"Clock_User", DbValue::Text("")}});
    }
};

// Wednesday and Saturday daily entitled leave around a no-work Thursday and
// an official holiday Friday.
TEST_F(PeriodPassesTest, DaysBetweenEntitledLeaveDaysBecomeLeave) {
    struct Case {
        const char* what;
        bool noWork, official, punchOnThursday, leaveOnThursday;
        int thursday, friday, balance, days;
    };
    const Case cases[] = {
        {"both classes", true, true, false, false, 1, 1, 1, 4},
        // The holiday is not converted but does not break the run.
        {"no-work days only", true, false, false, false, 1, 0, 2, 3},
        // A day with punches starts the walk over.
        {"punch on Thursday", true, true, true, false, 0, 0, 3, 2},
        // Thursday's own leave day (Rule_morgkok) is charged once.
        {"leave on Thursday", true, true, false, true, 1, 1, 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ctx = TRunContext{};
        SetUp();
        Week(4);
        ASSERT_EQ(WeekdayOfText(Day(3).Date), 6);
        Day(1).DayCode = 41;
        Day(4).DayCode = 41;
        if (c.punchOnThursday) Punches(2, {{600, 660}});
        if (c.leaveOnThursday) Day(2).DayCode = 41;
        ctx.rule.Rule_morgkok = c.leaveOnThursday;
        ctx.rule.Rule_momgm = c.noWork;
        ctx.rule.Rule_momrm = c.official;
        ctx.rule.Rule_monowbat = false;
        ctx.balances.EntitledLeaveBalance = {5, 0};
        RunDays();
        EXPECT_EQ(Day(2).DayClass, 1);
        EXPECT_EQ(Day(3).DayClass, 3);
        EXPECT_EQ(Result(1).Prc_DayEleaveSalary, 1);
        EXPECT_EQ(Result(4).Prc_DayEleaveSalary, 1);
        EXPECT_EQ(Result(2).Prc_DayEleaveSalary, c.thursday);
        EXPECT_EQ(Result(3).Prc_DayEleaveSalary, c.friday);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, c.balance);
        EXPECT_EQ(ctx.period.DailyEntitledLeaveDays, c.days);
    }
}

// The other code passes on a no-work day between two days of the same family.
TEST_F(PeriodPassesTest, CodePassesConvertTheDayBetween) {
    struct Case {
        int code;
        std::int32_t TDayRecord::*field;
        std::int32_t TDayRecord::*perCode;
        bool rule_type::*flag;
    };
    const Case cases[] = {
        {42, &TDayRecord::Prc_DaySleaveSalary, nullptr, &rule_type::Rule_momgms},
        {44, &TDayRecord::Prc_DayleaveSalary, &TDayRecord::Prc_DayleaveSalary44, &rule_type::Rule_momgm},
        {31, &TDayRecord::Prc_DaySleaveNoSalary, nullptr, &rule_type::Rule_momgm},
        {35, &TDayRecord::Prc_DayleaveNoSalary, nullptr, &rule_type::Rule_momgm},
        {62, &TDayRecord::Prc_DayMission, nullptr, &rule_type::Rule_marmgm},
        {73, &TDayRecord::Prc_FullMission, nullptr, &rule_type::Rule_mashrmgm},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        for (bool on : {false, true}) {
            ctx = TRunContext{};
            SetUp();
            Period("1403/05/05", 3);
            Holiday(1403, 5, 31, false, false);  // no holidays in the month
            Shift(1, {{480, 960}});
            Shift(3, {{480, 960}});
            Day(1).DayCode = Day(3).DayCode = static_cast<std::uint8_t>(c.code);
            ctx.balances.SickLeaveBalance = {5, 0};
            ctx.rule.*c.flag = on;
            RunDays();
            ASSERT_EQ(Day(2).DayClass, 1);
            EXPECT_EQ(Result(2).*c.field, on ? 1 : 0);
            if (c.perCode) EXPECT_EQ(Result(2).*c.perCode, on ? 1 : 0);
        }
    }
}

// New year's day always breaks a run; the new-year holidays only without
// Rule_monowrooz.
TEST_F(PeriodPassesTest, NewYearHolidaysBreakTheRun) {
    for (bool nowruz : {false, true}) {
        SCOPED_TRACE(nowruz);
        ctx = TRunContext{};
        SetUp();
        Period("1403/01/03", 3);
        Holiday(1403, 1, 31, false, false);
        Shift(1, {{480, 960}});
        Shift(3, {{480, 960}});
        Day(1).DayCode = Day(3).DayCode = 43;
        ctx.rule.Rule_momgm = true;
        ctx.rule.Rule_monowrooz = nowruz;
        RunDays();
        EXPECT_EQ(Result(2).Prc_DayleaveSalary, nowruz ? 1 : 0);
    }
    ctx = TRunContext{};
    SetUp();
    Period("1402/12/29", 3);
    Holiday(1403, 1, 31, false, false);
    Holiday(1402, 12, 31, false, false);
    Shift(1, {{480, 960}});
    Shift(3, {{480, 960}});
    Day(1).DayCode = Day(3).DayCode = 43;
    ctx.rule.Rule_momgm = true;
    ctx.rule.Rule_monowrooz = true;
    RunDays();
    ASSERT_EQ(Day(2).Date, "1403/01/01");
    EXPECT_EQ(Result(2).Prc_DayleaveSalary, 0);
}

// Two absent days with an unofficial holiday between: the holiday becomes an
// absent day and loses its work credit and shift count.
TEST_F(PeriodPassesTest, HolidayBetweenAbsentDaysBecomesAbsence) {
    Period("1403/05/05", 3);
    Holiday(1403, 5, 6, false, true);
    Shift(1, {{480, 960}});
    Shift(3, {{480, 960}});
    Day(2).ShiftNumber = 1;
    ctx.rule.Rule_dtkar = true;
    RunDays();
    ASSERT_EQ(Day(2).DayClass, 2);
    EXPECT_EQ(Result(1).Prc_DayAbsence, 1);
    EXPECT_EQ(Result(3).Prc_DayAbsence, 1);
    const TDayRecord& h = Result(2);
    EXPECT_EQ(h.Prc_DayAbsence, 1);
    EXPECT_EQ(h.Prc_DayAbsencePure, 1);
    EXPECT_EQ(h.Prc_PureWork, 0);
    EXPECT_EQ(h.Prc_PureDayWork, 0);
    EXPECT_EQ(h.Prc_bimehwork, 0);
    EXPECT_EQ(h.Prc_TotalWork, 0);
    EXPECT_EQ(h.Prc_Shift1Count, 0);
    EXPECT_EQ(h.Prc_Shift1time, 0);

    // Worked on the holiday: the run starts over.
    ctx = TRunContext{};
    SetUp();
    Period("1403/05/05", 3);
    Holiday(1403, 5, 6, false, true);
    Shift(1, {{480, 960}});
    Shift(3, {{480, 960}});
    Punches(2, {{600, 700}});
    ctx.rule.Rule_dtkar = true;
    RunDays();
    EXPECT_EQ(Result(2).Prc_DayAbsence, 0);
}

// An absent day before the period opens the run.
TEST_F(PeriodPassesTest, AbsentDayBeforeThePeriodOpensTheRun) {
    Period("1403/05/06", 2);
    Holiday(1403, 5, 6, false, true);
    Shift(2, {{480, 960}});
    ctx.rule.Rule_dtkar = true;
    ctx.period.PreviousDay.PrevDayAbsence = 1;
    RunDays();
    EXPECT_EQ(Result(1).Prc_DayAbsence, 1);
    ctx = TRunContext{};
    SetUp();
    Period("1403/05/06", 2);
    Holiday(1403, 5, 6, false, true);
    Shift(2, {{480, 960}});
    ctx.rule.Rule_dtkar = true;
    RunDays();
    EXPECT_EQ(Result(1).Prc_DayAbsence, 0);
}

// A period that ends in holidays after an absent day: the days up to the next
// working day count as absent unless the person punched in them.
TEST_F(PeriodPassesTest, PeriodEndingInHolidaysLooksAhead) {
    for (bool punched : {false, true}) {
        SCOPED_TRACE(punched);
        ctx = TRunContext{};
        SetUp();
        Week(3);  // Wednesday absent, Thursday no-work day, Friday holiday: the end
        ctx.rule.Rule_dgkar = true;
        ctx.rule.Rule_drkar = true;
        if (punched) Punch(AddDays(Day(3).Date, 1), 480);  // Saturday
        RunDays();
        EXPECT_EQ(Result(1).Prc_DayAbsence, 1);
        EXPECT_EQ(Result(2).Prc_DayAbsence, punched ? 0 : 1);
        EXPECT_EQ(Result(3).Prc_DayAbsence, punched ? 0 : 1);
        EXPECT_EQ(Result(2).Prc_PureWork, punched ? 480 : 0);  // the no-work day's credit
    }
}

}  // namespace
}  // namespace attcalc::test
