// The day summary: presence and Friday flags, holiday work credit, shift
// counters, allowances, standard work, the stored code, the absence-day code
// and the closing caps, each stage on a prepared day.
#include "engine/EngineFixture.h"

namespace attcalc::test {
namespace {

class DaySummary : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        ctx.rule.Rule_kard = 480;
        ctx.rule.Rule_mohr = 480;
        input = DayInput{};
        es = TEngineState{};
        es.Day = &input;
    }
    void Fresh() {
        es.Rec = TDayRecord{};
        es.W = TDayWork{};
        ctx.period.CodeMinutes.fill(0);
        ctx.period.DayTotals.fill(0);
    }

    DayInput input;
    TEngineState es;
};

// Friday work: the limit applies below or above by the rule's selectors.
TEST_F(DaySummary, FridayAndHolidayPresence) {
    rule_type& R = ctx.rule;
    R.Rule_fridaylimit = 240;
    struct Case {
        bool scheduled, selector;
        std::int32_t want;
    };
    // Gross work 300, net work 200.
    const Case cases[] = {{false, true, 240}, {false, false, 60}, {true, true, 200}, {true, false, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scheduled << c.selector);
        R.Rule_fridaybishift = R.Rule_fridaybashift = c.selector;
        Fresh();
        es.W.Weekday = 6;
        es.Rec.Prc_Type = c.scheduled ? 0 : 1;
        es.Rec.Prc_PresenceWork = 310;
        es.Rec.Prc_TotalWork = 300;
        es.Rec.Prc_PureWork = 200;
        es.Rec.Prc_PureWorkKham = 100;
        PresenceFlags(ctx, es);
        EXPECT_EQ(es.Rec.Prc_PresenceWorkDay, 1);
        EXPECT_EQ(es.Rec.Prc_PresenceFriday, 1);
        EXPECT_EQ(es.Rec.Prc_PresenceFridays, 310);
        EXPECT_EQ(es.Rec.Prc_WorkFridays, c.want);
        EXPECT_EQ(es.Rec.Prc_PureWorkKham, std::max(100, c.want));
        EXPECT_EQ(es.Rec.Prc_PresenceHolliday, 0);
    }

    // An official holiday on another weekday; an absent day has no flags.
    Fresh();
    es.W.Weekday = 2;
    es.Rec.Prc_Type = 4 | 1;
    es.Rec.Prc_PresenceWork = 90;
    PresenceFlags(ctx, es);
    EXPECT_EQ(es.Rec.Prc_PresenceHolliday, 1);
    EXPECT_EQ(es.Rec.Prc_PresenceHollidays, 90);
    EXPECT_EQ(es.Rec.Prc_PresenceFriday, 0);
    Fresh();
    es.Rec.Prc_PresenceWork = 90;
    es.Rec.Prc_DayAbsence = 1;
    PresenceFlags(ctx, es);
    EXPECT_EQ(es.Rec.Prc_PresenceWorkDay, 0);
}

TEST_F(DaySummary, HolidayWorkCredit) {
    rule_type& R = ctx.rule;
    R.Rule_dgkar = true;
    Fresh();
    es.Rec.Prc_Type = 1;
    es.Rec.Prc_PureWork = 30;
    HolidayWorkCredit(ctx, es);
    EXPECT_EQ(es.Rec.Prc_PureWork, 510);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 480);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 1);
    EXPECT_EQ(es.Rec.Prc_NormWork, 480);
    EXPECT_EQ(ctx.period.DayTotals[kDayHolidayCredit], 480);

    // Unpaid leave earns no work credit.
    Fresh();
    es.Rec.Prc_Type = 1;
    es.W.CurrentCode = 33;
    HolidayWorkCredit(ctx, es);
    EXPECT_EQ(es.Rec.Prc_PureWork, 0);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 0);
    EXPECT_EQ(es.Rec.Prc_NormWork, 480);

    // A scheduled official holiday is not credited by Rule_drkar.
    R.Rule_dgkar = false;
    R.Rule_drkar = true;
    Fresh();
    es.Rec.Prc_Type = 4;
    es.Rec.Prc_NormWork = 480;
    HolidayWorkCredit(ctx, es);
    EXPECT_EQ(es.Rec.Prc_PureWork, 0);
    EXPECT_EQ(ctx.period.DayTotals[kDayHolidayCredit], 0);
}

TEST_F(DaySummary, ShiftCountersAllowancesAndHolidayMission) {
    rule_type& R = ctx.rule;
    input.ShiftNumber = 3;
    input.ShiftMinWork = 400;
    Fresh();
    es.Rec.Prc_PureWork = 420;
    ShiftCountersAndAllowances(ctx, es);
    EXPECT_EQ(es.Rec.Prc_Shift3Count, 1);
    EXPECT_EQ(es.Rec.Prc_Shift3time, 420);
    EXPECT_EQ(es.Rec.Prc_Shift1Count + es.Rec.Prc_Shift2Count + es.Rec.Prc_Shift4Count + es.Rec.Prc_Shift5Count, 0);

    // Too little work; a daily leave counts with Rule_monowbat.
    Fresh();
    es.Rec.Prc_PureWork = 300;
    es.Rec.Prc_DayleaveSalary = 1;
    R.Rule_monowbat = false;
    ShiftCountersAndAllowances(ctx, es);
    EXPECT_EQ(es.Rec.Prc_Shift3Count, 0);
    R.Rule_monowbat = true;
    ShiftCountersAndAllowances(ctx, es);
    EXPECT_EQ(es.Rec.Prc_Shift3Count, 1);
    EXPECT_EQ(es.Rec.Prc_Shift3time, 300);

    // Allowances are 0/1 flags.
    R.Rule_Zahab = R.Rule_Zahabtrd = true;
    R.Rule_Ghazam = true;
    Fresh();
    es.Rec.Prc_PresenceWork = 10;
    es.Rec.Prc_FirstIn = 480;
    ShiftCountersAndAllowances(ctx, es);
    EXPECT_EQ(es.Rec.Prc_Zahab, 1);
    EXPECT_EQ(es.Rec.Prc_Ghaza, 0);
    Fresh();
    es.Rec.Prc_DayMission = 1;
    es.Rec.Prc_FullMission = 1;
    ShiftCountersAndAllowances(ctx, es);
    EXPECT_EQ(es.Rec.Prc_Ghaza, 1);
    EXPECT_EQ(es.Rec.Prc_Zahab, 0);

    // A mission day on a holiday gives a day back to the entitled balance.
    R.Rule_mamtomor = true;
    ctx.balances.EntitledLeaveBalance = {3, 100};
    Fresh();
    es.Rec.Prc_Type = 2;
    es.Rec.Prc_DayMission = 1;
    ShiftCountersAndAllowances(ctx, es);
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, -1);
    EXPECT_EQ(ctx.period.CodeMinutes[41], -1);
    EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, 4);
    EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, 100);
}

// Standard work with a shortfall carried to the next day, and the code the
// day is stored with.
TEST_F(DaySummary, StandardWorkAndStoredCode) {
    ctx.rule.Rule_kard = 440;
    const struct {
        std::int32_t norm, pure, standard, deficit;
    } days[] = {{480, 470, 430, 0}, {480, 0, 0, 40}, {480, 480, 400, 0}};
    for (const auto& d : days) {
        Fresh();
        es.Rec.Prc_NormWork = d.norm;
        es.Rec.Prc_PureWork = d.pure;
        CarriedCodeAndStandardWork(ctx, es);
        EXPECT_EQ(es.Rec.Prc_standardwork, d.standard);
        EXPECT_EQ(es.StandardDeficit, d.deficit);
    }

    // Leaving with a daily leave code carries it into the next day and the
    // day without its own code is stored with it.
    Fresh();
    input.PairCount = 2;
    input.Pairs[1].OutCode = 41;
    CarriedCodeAndStandardWork(ctx, es);
    EXPECT_EQ(es.CarriedCode, 41);
    EXPECT_EQ(es.Rec.Prc_kind, 41);

    // An own code or a first code stays.
    Fresh();
    es.Rec.Prc_kind = 62;
    es.W.FirstCode = 21;
    CarriedCodeAndStandardWork(ctx, es);
    EXPECT_EQ(es.Rec.Prc_kind, 62);
    Fresh();
    input.Pairs[1].OutCode = 0;
    es.CarriedCode = 0;
    es.W.FirstCode = 21;
    CarriedCodeAndStandardWork(ctx, es);
    EXPECT_EQ(es.Rec.Prc_kind, 21);
    EXPECT_EQ(es.CarriedCode, 0);
}

// Code 91: the day is one absent day; punches, schedule and presence stay.
TEST_F(DaySummary, AbsenceDayCodeClearsTheDay) {
    Fresh();
    TDayRecord& r = es.Rec;
    r.Prc_FirstIn = 480;
    r.Prc_FirstOut = 600;
    r.Prc_NormWork = 480;
    r.Prc_PresenceWork = 120;
    r.Prc_PresenceWorkDay = 1;
    r.Prc_WorkFridays = 3;
    r.Prc_PureWorkKham = 120;
    r.Prc_AbsenceNaghes = 1;
    r.Prc_PureWork = r.Prc_TotalWork = 120;
    r.Prc_PureDayWork = 1;
    r.Prc_ValidAddWork = 30;
    r.Prc_HourAbsence = 360;
    r.Prc_TakhirLessWork = 20;
    r.Prc_DayEleaveSalary = 1;
    r.Prc_HourleaveSalary25 = 10;
    r.Prc_FullMission73 = 1;
    r.Prc_HourMission = 5;
    r.Prc_Shift2Count = 1;
    r.Prc_Shift2time = 120;
    r.Prc_Zahab = r.Prc_Ghaza = 1;
    r.AuthorizedOvertime = 7;
    r.Prc_addFreeRemark = "x";
    es.W.LunchCredit = 15;

    es.W.CurrentCode = 41;  // not the absence-day code: nothing happens
    AbsenceDayCode(ctx, es);
    EXPECT_EQ(r.Prc_DayAbsence, 0);
    EXPECT_EQ(r.Prc_PureWork, 120);

    es.W.CurrentCode = kCodeAbsenceDay;
    AbsenceDayCode(ctx, es);
    EXPECT_EQ(r.Prc_DayAbsence, 1);
    EXPECT_EQ(r.Prc_DayAbsencePure, 1);
    for (std::int32_t v : {r.Prc_PureWork, r.Prc_TotalWork, r.Prc_PureDayWork, r.Prc_ValidAddWork,
                           r.Prc_HourAbsence, r.Prc_TakhirLessWork, r.Prc_DayEleaveSalary, r.Prc_HourleaveSalary25,
                           r.Prc_FullMission73, r.Prc_HourMission, r.Prc_Shift2Count, r.Prc_Shift2time, r.Prc_Zahab,
                           r.Prc_Ghaza, r.AuthorizedOvertime, es.W.LunchCredit})
        EXPECT_EQ(v, 0);
    EXPECT_TRUE(r.Prc_addFreeRemark.empty());
    EXPECT_EQ(r.Prc_FirstIn, 480);
    EXPECT_EQ(r.Prc_FirstOut, 600);
    EXPECT_EQ(r.Prc_NormWork, 480);
    EXPECT_EQ(r.Prc_PresenceWork, 120);
    EXPECT_EQ(r.Prc_PresenceWorkDay, 1);
    EXPECT_EQ(r.Prc_WorkFridays, 3);
    EXPECT_EQ(r.Prc_PureWorkKham, 120);
    EXPECT_EQ(r.Prc_AbsenceNaghes, 1);
}

TEST_F(DaySummary, ClosingCapsAndFlags) {
    rule_type& R = ctx.rule;
    // Holiday overtime is at most the day's valid overtime, not below 0.
    Fresh();
    es.Rec.Prc_ValidAddWorkHolliday = 90;
    es.Rec.Prc_ValidAddWork = 60;
    DayClosing(ctx, es);
    EXPECT_EQ(es.Rec.Prc_ValidAddWorkHolliday, 60);
    Fresh();
    es.Rec.Prc_ValidAddWorkHolliday = 90;
    es.Rec.Prc_ValidAddWork = -10;
    DayClosing(ctx, es);
    EXPECT_EQ(es.Rec.Prc_ValidAddWorkHolliday, 0);

    // The yearly mission cap counts the days before the day is added.
    R.Rule_mamax = 2;
    ctx.period.MissionDaysUsed = 2;
    Fresh();
    es.Rec.Prc_NormWork = 480;
    es.Rec.Prc_DayMission = 1;
    es.Rec.Prc_PureWork = 480;
    es.Rec.Prc_PureDayWork = 1;
    DayClosing(ctx, es);
    EXPECT_EQ(es.Rec.Prc_DayMission, 1);
    EXPECT_EQ(es.Rec.Prc_bimehwork, 1);
    EXPECT_EQ(ctx.period.MissionDaysUsed, 3);
    Fresh();
    es.Rec.Prc_NormWork = 480;
    es.Rec.Prc_FullMission = 1;
    es.Rec.Prc_PureWork = 480;
    es.Rec.Prc_PureDayWork = 1;
    es.Rec.Prc_ValidAddWork = 25;
    DayClosing(ctx, es);
    EXPECT_EQ(es.Rec.Prc_FullMission, 0);
    EXPECT_EQ(es.Rec.Prc_PureWork, 0);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 0);
    EXPECT_EQ(es.Rec.Prc_bimehwork, 0);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 25);
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 1);  // scheduled and not present
    EXPECT_EQ(ctx.period.MissionDaysUsed, 3);

    // Flags: a scheduled day, the entitled leave kept before conversion,
    // the long presence flag from 660 minutes.
    R.Rule_bahreh = true;
    for (std::int32_t presence : {659, 660}) {
        Fresh();
        es.Rec.Prc_NormWork = 1;
        es.Rec.Prc_DayEleaveSalary = 1;
        es.Rec.Prc_PresenceWork = presence;
        DayClosing(ctx, es);
        EXPECT_EQ(es.Rec.Prc_NormWorkDay, 1);
        EXPECT_EQ(es.Rec.Prc_DayEleaveSalaryPure, 1);
        EXPECT_EQ(es.Rec.Prc_HourDaySleaveNoSalary, presence == 660 ? 1 : 0);
    }
}

// A worked day through the day's stages: the shift counter and standard
// work are set, and the carried leave code reaches the next day.
TEST_F(DaySummary, WorkedDayAndCarriedCodeThroughTheEngine) {
    Period("1403/06/02", 2);
    Shift(1, {{480, 960}});
    Shift(2, {{480, 960}});
    Day(1).ShiftNumber = 2;
    Day(2).ShiftNumber = 2;
    // Leaves at 16:00 with the daily entitled leave key; no punch next day.
    Punches(1, {{480, 960, 0, 41}});
    ctx.rule.Rule_kard = 480;
    ctx.rule.Rule_mokar = ctx.rule.Rule_mokarna = true;
    ctx.rule.Rule_emo = false;
    ctx.balances.EntitledLeaveBalance = {5, 0};
    TEngineState st;
    EngineDay(ctx, st, ctx.PersonnelCode, 1);
    EngineDay(ctx, st, ctx.PersonnelCode, 2);
    const TDayRecord& d1 = Result(1);
    EXPECT_EQ(d1.Prc_PureWork, 480);
    EXPECT_EQ(d1.Prc_Shift2Count, 1);
    EXPECT_EQ(d1.Prc_Shift2time, 480);
    EXPECT_EQ(d1.Prc_standardwork, 480);
    EXPECT_EQ(d1.Prc_kind, 41);
    const TDayRecord& d2 = Result(2);
    EXPECT_EQ(d2.Prc_kind, 41);
    EXPECT_EQ(d2.Prc_DayEleaveSalary, 1);
    EXPECT_EQ(d2.Prc_DayAbsence, 0);
    EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, 4);
}

}  // namespace
}  // namespace attcalc::test
