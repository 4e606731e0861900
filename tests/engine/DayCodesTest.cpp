// The day-code step on a prepared day: daily leaves charged against the
// balances or sent to unpaid leave and absence, daily and 24-hour missions
// under the three methods, the absent-day conversion, the work-day count and
// the veteran allowance. Each case sets the day as the stages before it
// leave it and checks the fields the step writes, worked out by hand.
#include "engine/EngineFixture.h"

namespace attcalc::test {
namespace {

class DayCodes : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        rule_type& R = ctx.rule;
        R.Rule_kard = 480;
        R.Rule_moh = true;
        R.Rule_mob1 = 240;
        R.Rule_mok1 = 480;
        R.Rule_morhr = 480;
        R.Rule_mohr = 480;
        R.Rule_mokar = R.Rule_mokarna = false;
        R.Rule_makar = R.Rule_makarna = false;
        R.Rule_emo = R.Rule_ema = false;
        R.Rule_moeb = R.Rule_moebs = false;
        R.Rule_kark1 = R.Rule_karb1 = false;
    }

    // A day of `scheduled` minutes with `code` in force; `total` minutes of
    // gross work make it a worked day (the allowed shortfall stays 0).
    TEngineState& Prepare(std::int32_t scheduled, int code, std::int32_t total = 0, std::int32_t presence = 0) {
        es = TEngineState{};
        es.Rec.Prc_NormWork = scheduled;
        es.Rec.Prc_Type = scheduled > 0 ? 0 : 1;
        es.Rec.Prc_TotalWork = total;
        es.Rec.Prc_PresenceWork = presence;
        es.W.CurrentCode = code;
        ctx.period.CodeMinutes.fill(0);
        return es;
    }
    void Book() { DayCodeStage(ctx, es); }
    std::int32_t Days(int c) const { return ctx.period.CodeMinutes[c]; }
    TBalance& Entitled() { return ctx.balances.EntitledLeaveBalance; }
    TBalance& Sick() { return ctx.balances.SickLeaveBalance; }

    TEngineState es;
};

// Code 41 on a scheduled day without work, threshold method, S = 480.
TEST_F(DayCodes, EntitledLeaveDayChargesTheBalanceOrFallsToUnpaidLeaveOrAbsence) {
    ctx.rule.Rule_mokar = ctx.rule.Rule_mokarna = true;
    Entitled() = {10, 0};
    Prepare(480, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 1);
    EXPECT_EQ(Entitled().Days, 9);
    EXPECT_EQ(Days(41), 1);
    EXPECT_EQ(es.Rec.Prc_PureWork, 480);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 1);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 480);
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 0);

    // No balance: a day of absence, and no work credited.
    Entitled() = {0, 0};
    Prepare(480, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 0);
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 1);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 0);
    EXPECT_EQ(Entitled().Days, 0);

    // With Rule_moeb the day becomes unpaid leave, which earns no work.
    ctx.rule.Rule_moeb = true;
    Prepare(480, 41, 0, 0);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 0);
    EXPECT_EQ(es.Rec.Prc_DayleaveNoSalary, 1);
    EXPECT_EQ(Days(32), 1);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 0);
    EXPECT_EQ(es.Rec.Prc_PureWork, 0);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 0);
}

// A day of unpaid leave takes Rule_morbies minutes of hourly entitled leave;
// an empty balance with Rule_moeb turns them into unpaid hours.
TEST_F(DayCodes, UnpaidLeaveDayChargesTheEntitledReserve) {
    ctx.rule.Rule_morbies = 60;
    Entitled() = {2, 0};
    Prepare(480, 33);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayleaveNoSalary, 1);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 60);
    EXPECT_EQ(Entitled().Days, 1);
    EXPECT_EQ(Entitled().Minutes, 420);
    EXPECT_EQ(Days(33), 1);  // the day's code keeps its day count
    EXPECT_EQ(Days(21), 60);
    EXPECT_EQ(es.W.CurrentCode, 33);

    ctx.rule.Rule_moeb = true;
    Entitled() = {0, 0};
    Prepare(480, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayleaveNoSalary, 1);
    EXPECT_EQ(Days(32), 1);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 0);
    EXPECT_EQ(es.Rec.Prc_HourleaveNoSalary, 60);
}

// Conversion method: 480 scheduled minutes with a leave day of 420 are one
// day and 60 minutes; the balance is charged 480 minutes at 420 a day.
TEST_F(DayCodes, EntitledLeaveConversionBooksDaysAndMinutes) {
    ctx.rule.Rule_moh = false;
    ctx.rule.Rule_morhr = 420;
    Entitled() = {10, 0};
    Prepare(480, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 1);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 60);
    EXPECT_EQ(Days(41), 1);
    EXPECT_EQ(Days(21), 60);
    EXPECT_EQ(Entitled().Days, 8);
    EXPECT_EQ(Entitled().Minutes, 360);

    // A balance below the day: absence, nothing charged.
    Entitled() = {0, 300};
    Prepare(480, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 1);
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 0);
    EXPECT_EQ(Entitled().Minutes, 300);

    // A rule without a conversion unit books the whole day as minutes
    // instead of dividing by zero.
    ctx.rule.Rule_morhr = 0;
    Entitled() = {10, 0};
    Prepare(480, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 0);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 480);
}

// A long worked day of entitled leave (S = 600 > Rule_mok1 = 480): one day
// and 120 minutes are booked, and exactly that is charged.
TEST_F(DayCodes, LongWorkedEntitledLeaveDayIsChargedWhatItBooks) {
    ctx.rule.Rule_mokar = ctx.rule.Rule_mokarna = true;
    ctx.rule.Rule_emo = true;
    ctx.rule.Rule_ezmo = 50;
    Entitled() = {5, 0};
    Prepare(600, 41, /*total=*/90, /*presence=*/90);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 1);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 120);
    EXPECT_EQ(Entitled().Days, 3);
    EXPECT_EQ(Entitled().Minutes, 360);
    EXPECT_EQ(Days(41), 1);
    EXPECT_EQ(Days(21), 120);  // S - Rule_kard
    // The leave counts as work, the presence as overtime with 50 % on top.
    EXPECT_EQ(es.Rec.Prc_PureWork, 600);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 1);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 135);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 735);
}

// A long day without work: the day and the rest booked as hours are charged.
TEST_F(DayCodes, LongEntitledLeaveDayWithoutWorkIsChargedWhatItBooks) {
    Entitled() = {5, 0};
    Prepare(600, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 1);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 120);
    EXPECT_EQ(Days(41), 1);
    EXPECT_EQ(Days(21), 120);
    EXPECT_EQ(Entitled().Days, 3);
    EXPECT_EQ(Entitled().Minutes, 360);
}

// Sick leave: the sick balance pays, or unpaid sick leave with Rule_moebs.
TEST_F(DayCodes, SickLeaveDay) {
    ctx.rule.Rule_mokar = true;
    Sick() = {3, 0};
    Prepare(480, 42);
    Book();
    EXPECT_EQ(es.Rec.Prc_DaySleaveSalary, 1);
    EXPECT_EQ(Days(42), 1);
    EXPECT_EQ(Sick().Days, 2);
    EXPECT_EQ(es.Rec.Prc_PureWork, 480);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 1);

    // Conversion: the minutes and days are taken without carrying.
    ctx.rule.Rule_moh = false;
    ctx.rule.Rule_morhr = 420;
    Prepare(480, 42);
    Book();
    EXPECT_EQ(es.Rec.Prc_DaySleaveSalary, 1);
    EXPECT_EQ(es.Rec.Prc_HourSleaveSalary, 60);
    EXPECT_EQ(Days(22), 60);
    EXPECT_EQ(Sick().Days, 1);
    EXPECT_EQ(Sick().Minutes, -60);

    Sick() = {0, 0};
    ctx.rule.Rule_moebs = true;
    Prepare(480, 42);
    Book();
    EXPECT_EQ(es.Rec.Prc_DaySleaveSalary, 0);
    EXPECT_EQ(es.Rec.Prc_DaySleaveNoSalary, 1);
    EXPECT_EQ(Days(31), 1);
    EXPECT_EQ(es.Rec.Prc_PureWork, 0);
}

// Paid and unpaid leave codes under the threshold method on a day without work.
TEST_F(DayCodes, LeaveCodesSplitByTheThresholds) {
    struct Case {
        std::int32_t S;
        int code;
        std::int32_t dayField, hourField, perDay, perHour, days, hours;
    };
    // Rule_mob1 240, Rule_mok1 480, Rule_kard 480.
    const Case cases[] = {
        {200, 43, 0, 200, 0, 200, 0, 200},   // short: hours only
        {480, 44, 1, 0, 1, 0, 1, 0},         // normal: one day
        {540, 45, 1, 60, 1, 60, 1, 60},      // long: a day and the excess over Rule_kard
        {480, 48, 1, 0, -1, -1, 1, 0},       // no per-code fields
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Prepare(c.S, c.code);
        Book();
        EXPECT_EQ(es.Rec.Prc_DayleaveSalary, c.dayField);
        EXPECT_EQ(es.Rec.Prc_HourleaveSalary, c.hourField);
        EXPECT_EQ(Days(c.code), c.days);
        EXPECT_EQ(Days(c.code - 20), c.hours);
        const std::int32_t perDay[] = {es.Rec.Prc_DayleaveSalary43, es.Rec.Prc_DayleaveSalary44,
                                       es.Rec.Prc_DayleaveSalary45, es.Rec.Prc_DayleaveSalary46,
                                       es.Rec.Prc_DayleaveSalary47};
        const std::int32_t perHour[] = {es.Rec.Prc_HourleaveSalary23, es.Rec.Prc_HourleaveSalary24,
                                        es.Rec.Prc_HourleaveSalary25, es.Rec.Prc_HourleaveSalary26,
                                        es.Rec.Prc_HourleaveSalary27};
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(perDay[k], 43 + k == c.code ? c.perDay : 0);
            EXPECT_EQ(perHour[k], 43 + k == c.code ? c.perHour : 0);
        }
    }

    // Unpaid leave 33: a normal day is a day of unpaid leave; a long one also
    // books the excess as unpaid hours; the day earns no work.
    ctx.rule.Rule_mokar = true;
    Prepare(540, 33);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayleaveNoSalary, 1);
    EXPECT_EQ(es.Rec.Prc_HourleaveNoSalary, 60);
    EXPECT_EQ(Days(33), 1);
    EXPECT_EQ(Days(13), 60);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 0);
}

// A worked day of unpaid leave: the presence is overtime, nothing is work.
TEST_F(DayCodes, WorkedUnpaidLeaveDayCountsPresenceAsOvertime) {
    ctx.rule.Rule_emo = true;
    ctx.rule.Rule_karb1 = true;
    Prepare(480, 32, /*total=*/200, /*presence=*/200);
    es.Rec.Prc_PureWork = 200;
    es.Rec.Prc_HourAbsence = 280;
    Book();
    EXPECT_EQ(es.Rec.Prc_DayleaveNoSalary, 1);
    EXPECT_EQ(Days(32), 1);
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 0);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 200);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 0);  // the work-day count gives 1, the unpaid day takes it back
    EXPECT_EQ(es.Rec.Prc_PureWork, 200);   // the presence
    EXPECT_EQ(es.Rec.Prc_TotalWork, 200);
}

// Daily missions on a scheduled day under the three methods.
TEST_F(DayCodes, DailyMissionMethods) {
    rule_type& R = ctx.rule;
    R.Rule_makar = true;

    // Fixed: one mission day; the default duration above the shift is overtime.
    R.Rule_mad = 2;
    R.Rule_madfixh = 600;
    Prepare(480, 61);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayMission, 1);
    EXPECT_EQ(es.Rec.Prc_DayMission61, 1);
    EXPECT_EQ(Days(61), 1);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 120);
    EXPECT_EQ(es.Rec.Prc_PureWork, 480);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 1);

    // Conversion by 420: a day and 60 minutes; on a day without work the
    // daily mission's per-code day field is left alone, the 24-hour one's not.
    R.Rule_mad = 1;
    R.Rule_marhr = 420;
    Prepare(480, 62);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayMission, 1);
    EXPECT_EQ(es.Rec.Prc_HourMission, 60);
    EXPECT_EQ(es.Rec.Prc_HourMission52, 60);
    EXPECT_EQ(es.Rec.Prc_DayMission62, 0);
    EXPECT_EQ(Days(62), 1);
    EXPECT_EQ(Days(52), 60);
    Prepare(480, 72);
    Book();
    EXPECT_EQ(es.Rec.Prc_FullMission, 1);
    EXPECT_EQ(es.Rec.Prc_FullMission72, 1);
    EXPECT_EQ(es.Rec.Prc_HourMission52, 60);
    EXPECT_EQ(Days(72), 1);
    EXPECT_EQ(Days(52), 60);

    // Threshold, long day (S = 540 > Rule_mak1 = 480), worked: the presence
    // counts as overtime with Rule_ema.
    R.Rule_mad = 0;
    R.Rule_mab1 = 240;
    R.Rule_mak1 = 480;
    R.Rule_ema = true;
    R.Rule_ezma = 0;
    Prepare(540, 63, /*total=*/30, /*presence=*/30);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayMission, 1);
    EXPECT_EQ(es.Rec.Prc_HourMission, 60);
    EXPECT_EQ(es.Rec.Prc_DayMission63, 1);
    EXPECT_EQ(es.Rec.Prc_HourMission53, 60);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 30);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 570);  // overtime + net work

    // Any other method books nothing.
    R.Rule_mad = 5;
    Prepare(480, 64);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayMission, 0);
    EXPECT_EQ(Days(64), 0);
}

// A daily mission on a day without schedule.
TEST_F(DayCodes, MissionOnADayWithoutSchedule) {
    rule_type& R = ctx.rule;
    R.Rule_masg = true;
    R.Rule_mage = true;
    R.Rule_mad = 1;
    R.Rule_kard = 440;
    R.Rule_ezg = 50;
    R.Rule_ezgtime = 0;
    R.Rule_ezg1 = 50;
    // Without presence: Rule_kard with the non-working-day coefficient.
    Prepare(0, 61);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayMission, 1);
    EXPECT_EQ(es.Rec.Prc_DayMission61, 1);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 660);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 660);

    // With presence and Rule_manokez the presence is the overtime; with
    // Rule_marshgs the mission becomes an hourly mission.
    R.Rule_manokez = true;
    R.Rule_marshgs = 240;
    Prepare(0, 72, /*total=*/300, /*presence=*/320);
    Book();
    EXPECT_EQ(es.Rec.Prc_FullMission, 0);
    EXPECT_EQ(es.Rec.Prc_FullMission72, 0);
    EXPECT_EQ(es.Rec.Prc_HourMission, 240);
    EXPECT_EQ(es.Rec.Prc_HourMission52, 240);
    EXPECT_EQ(Days(52), 240);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 320);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 320);

    // Without Rule_masg an absent day books no mission.
    R.Rule_masg = false;
    Prepare(0, 61);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayMission, 0);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 0);
}

// Leave codes on a day without schedule count only with Rule_morgkok.
TEST_F(DayCodes, LeaveOnADayWithoutScheduleNeedsRuleMorgkok) {
    Entitled() = {4, 0};
    Prepare(0, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 0);
    EXPECT_EQ(Entitled().Days, 4);

    ctx.rule.Rule_morgkok = true;
    Prepare(0, 41);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 1);
    EXPECT_EQ(Days(41), 1);
    EXPECT_EQ(Entitled().Days, 3);

    Entitled() = {0, 0};
    Prepare(0, 41, /*total=*/60, /*presence=*/60);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 1);
    ctx.rule.Rule_moeb = true;
    Prepare(0, 41);  // without work Rule_moeb makes it unpaid leave
    Book();
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 0);
    EXPECT_EQ(es.Rec.Prc_DayleaveNoSalary, 1);
}

// A scheduled day without work and without code: hour or day absence.
TEST_F(DayCodes, AbsentDayConversion) {
    rule_type& R = ctx.rule;
    R.Rule_gd = true;
    R.Rule_gbd = 240;
    R.Rule_gkd = 480;
    struct Case {
        bool threshold;
        std::int32_t S, dayAbsence, hourAbsence, hourDayAbsence;
    };
    const Case cases[] = {
        {true, 200, 0, 200, 0},   // below Rule_gbd: hours
        {true, 480, 1, 0, 0},     // a day
        {true, 540, 1, 60, 0},    // a day and the excess over Rule_kard
        {false, 600, 1, 0, 120},  // conversion by Rule_grzhd 480
    };
    R.Rule_grzhd = 480;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.S);
        R.Rule_gd = c.threshold;
        Prepare(c.S, 0);
        es.Rec.Prc_HourAbsence = 465;  // what the walk left
        es.Rec.Prc_ValidLessWork = 15;
        es.Rec.Prc_TotalWork = 15;  // the allowed shortfall only
        Book();
        EXPECT_EQ(es.Rec.Prc_DayAbsence, c.dayAbsence);
        EXPECT_EQ(es.Rec.Prc_DayAbsencePure, c.dayAbsence);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, c.hourAbsence);
        EXPECT_EQ(es.Rec.Prc_HourDayAbsence, c.hourDayAbsence);
        EXPECT_EQ(es.Rec.Prc_TotalWork, 0);
    }

    // Code 91 keeps the work (the absence-day code clears it later); a
    // short day with some work counts as a work day with Rule_kark1.
    R.Rule_gd = true;
    R.Rule_kark1 = true;
    Prepare(300, kCodeAbsenceDay);
    es.Rec.Prc_PureWork = 10;
    es.Rec.Prc_ValidLessWork = 10;
    es.Rec.Prc_TotalWork = 10;
    Book();
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 1);
    EXPECT_EQ(es.Rec.Prc_PureWork, 10);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 1);

    // A rule without a conversion unit gives hours only.
    R.Rule_gd = false;
    R.Rule_grzhd = 0;
    Prepare(480, 0);
    Book();
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 0);
    EXPECT_EQ(es.Rec.Prc_HourDayAbsence, 480);
}

// The work days of a scheduled day with work.
TEST_F(DayCodes, WorkDayCount) {
    rule_type& R = ctx.rule;
    struct Case {
        bool kark1, karb1;
        std::int32_t S, dayAbsence, want;
    };
    const Case cases[] = {
        {true, false, 400, 0, 1},  // shorter than Rule_kard
        {true, false, 400, 1, 0},  // ... but absent
        {false, false, 400, 0, 0},
        {false, false, 960, 0, 2},  // two days' worth
        {false, true, 960, 0, 1},
        {false, true, 960, 1, 0},  // left as it was
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.S << " " << c.kark1 << c.karb1 << " " << c.dayAbsence);
        R.Rule_kark1 = c.kark1;
        R.Rule_karb1 = c.karb1;
        Prepare(c.S, 0, /*total=*/c.S);
        es.Rec.Prc_DayAbsence = c.dayAbsence;
        Book();
        EXPECT_EQ(es.Rec.Prc_PureDayWork, c.want);
    }
}

// The veteran allowance on a worked scheduled day.
TEST_F(DayCodes, VeteranAllowance) {
    rule_type& R = ctx.rule;
    R.Rule_gjanbaz = 60;
    // More absence than the allowance: the allowance is taken off it.
    Prepare(480, 0, /*total=*/380);
    es.Rec.Prc_PureWork = 380;
    es.Rec.Prc_HourAbsence = 100;
    Book();
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 40);
    EXPECT_EQ(es.Rec.Prc_NormWork, 420);
    EXPECT_EQ(es.Rec.Prc_janbaz, 60);
    EXPECT_EQ(es.Rec.Prc_PureWork, 380);

    // Less absence: the unused 40 minutes leave the net work and go to overtime
    // (or, with Rule_gjanbazIgnore, to invalid overtime) ...
    Prepare(480, 0, /*total=*/460);
    es.Rec.Prc_PureWork = 460;
    es.Rec.Prc_HourAbsence = 20;
    Book();
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 0);
    EXPECT_EQ(es.Rec.Prc_PureWork, 420);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 40);
    R.Rule_gjanbazIgnore = true;
    Prepare(480, 0, /*total=*/460);
    es.Rec.Prc_HourAbsence = 20;
    Book();
    EXPECT_EQ(es.Rec.Prc_InvalidAddWork, 40);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 0);

    // ... or, with Rule_gjanbazEmor, back to the entitled balance.
    R.Rule_gjanbazEmor = true;
    Entitled() = {2, 0};
    Prepare(480, 0, /*total=*/460);
    es.Rec.Prc_HourAbsence = 20;
    Book();
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, -40);
    EXPECT_EQ(Days(21), -40);
    EXPECT_EQ(Entitled().Days, 2);
    EXPECT_EQ(Entitled().Minutes, 40);
    EXPECT_EQ(es.Rec.Prc_InvalidAddWork, 0);
}

// The common tail: unpaid sick leave as a whole day, code 99.
TEST_F(DayCodes, CommonTail) {
    ctx.rule.Rule_morsbiok = true;
    Prepare(200, 31, /*total=*/0, /*presence=*/0);  // short: would be hours
    Book();
    EXPECT_EQ(es.Rec.Prc_DaySleaveNoSalary, 1);
    EXPECT_EQ(es.Rec.Prc_HourSleaveNoSalary, 0);
    EXPECT_EQ(Days(31), 1);
    EXPECT_EQ(Days(11), 0);

    Prepare(480, kCodeReserve99, /*total=*/480);
    Book();
    EXPECT_EQ(es.Rec.Prc_reserve99, 1);
}

// A whole day of leave on a day without punches, through the day's stages:
// the code comes from the day input, the record keeps it.
TEST_F(DayCodes, LeaveDayThroughTheDayStages) {
    Period("1403/06/02", 1);
    Shift(1, {{480, 960}});
    Day(1).DayCode = 43;
    ctx.rule.Rule_mokar = ctx.rule.Rule_mokarna = true;
    TEngineState st = Walk(1);
    DayConsolidation(ctx, st);
    EXPECT_EQ(st.Rec.Prc_kind, 43);
    EXPECT_EQ(st.Rec.Prc_DayleaveSalary, 1);
    EXPECT_EQ(st.Rec.Prc_DayleaveSalary43, 1);
    EXPECT_EQ(st.Rec.Prc_PureWork, 480);
    EXPECT_EQ(st.Rec.Prc_TotalWork, 480);
    EXPECT_EQ(st.Rec.Prc_HourAbsence, 0);
    EXPECT_EQ(st.Rec.Prc_DayAbsence, 0);
    EXPECT_EQ(st.Rec.Prc_bimehwork, 1);
    EXPECT_EQ(st.Rec.Prc_NormWorkDay, 1);
}

}  // namespace
}  // namespace attcalc::test
