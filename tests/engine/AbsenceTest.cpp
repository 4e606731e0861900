// Absence consolidation and the day rules on absence: the daily allowances,
// the compensation of shortfalls by overtime, the rules that turn absence into
// leave, work or a whole day of absence, the penalty, the schedule overrides
// and the resets at the end of the day. Each case walks one real day and then
// runs the stages under test on what the walk left.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "engine/PeriodState.h"
#include "engine/SegmentWalk.h"
#include "engine/Stages.h"
#include "engine/Timeline.h"

namespace attcalc::test {
namespace {

std::int32_t T(int h, int m) { return h * 60 + m; }

using RuleSetup = std::function<void(rule_type&)>;

class AbsenceTest : public EngineFixture {
protected:
    // Day 1 of a fresh period with the shift 08:00-16:00 and `pairs`, walked
    // with `overtime` minutes of valid overtime already counted on the day
    // (as the before-shift overtime would be) and `authorized` minutes of
    // authorised overtime.
    TEngineState WalkDay(std::vector<TPunchPair> pairs, const RuleSetup& rule, std::int32_t overtime = 0,
                         std::int32_t authorized = 0) {
        ctx.rule = rule_type{};
        ctx.rule.Rule_gmaxd = 999;  // no daily cap unless a case sets one
        if (rule) rule(ctx.rule);
        ctx.period = PeriodState{};
        Period("1403/05/01", 1);
        Shift(1, {{T(8, 0), T(16, 0)}});
        Punches(1, pairs);
        TEngineState es;
        es.DayNumber = 1;
        es.Day = &Day(1);
        es.Rec.Prc_date = Day(1).Date;
        es.Rec.Prc_NormWork = 480;
        DayPunchFields(es.Rec, Day(1));
        for (const TPunchPair& p : pairs) es.Rec.Prc_PresenceWork += p.Out - p.In;
        es.Line = BuildTimeline(ctx, Day(1));
        MergeRequests(ctx, Day(1), es.Line);
        PrePass(ctx, es.Line);
        es.W.BeforeFirst = true;
        es.Rec.Prc_ValidAddWork = overtime;
        es.Rec.AuthorizedOvertime = authorized;
        SegmentWalk(ctx, es);
        return es;
    }
};

// Lateness, early leave and absence inside the shift: forgiven by their
// allowances, capped by the daily allowance, and made up by overtime.
TEST_F(AbsenceTest, AllowancesAndCompensationByOvertime) {
    struct Case {
        const char* name;
        std::vector<TPunchPair> pairs;
        RuleSetup rule;
        std::int32_t overtime = 0, authorized = 0;
        std::int32_t pure, total, hourAbs, takhir, tajil, validTakhir, validTajil, validLess, allowed, between;
        std::int32_t overtimeLeft = 0, authorizedLeft = 0;
    };
    const std::vector<TPunchPair> away{{T(8, 0), T(10, 0)}, {T(11, 0), T(16, 0)}};
    const auto lateRule = [](std::int32_t t1e2d, bool t1e2b) {
        return [=](rule_type& r) {
            r.Rule_GMT1 = 15;
            r.Rule_gkbh = false;
            r.Rule_t1e2d = t1e2d;
            r.Rule_t1e2b = t1e2b;
        };
    };
    const auto earlyRule = [](bool t1e2b) {
        return [=](rule_type& r) {
            r.Rule_gmt2 = 10;
            r.Rule_gkbh = false;
            r.Rule_t2e1d = 20;
            r.Rule_t1e2b = t1e2b;
        };
    };
    const Case cases[] = {
        {.name = "lateness within its allowance counts as work", .pairs = {{T(8, 10), T(16, 0)}},
         .rule = [](rule_type& r) { r.Rule_GMT1 = 15; },
         .pure = 480, .total = 480, .hourAbs = 0, .takhir = 0, .tajil = 0, .validTakhir = 10, .validTajil = 0,
         .validLess = 10, .allowed = 0, .between = 0},
        // 30 late: 15 forgiven, 15 made up by overtime (net work only).
        {.name = "lateness made up by overtime", .pairs = {{T(8, 30), T(16, 0)}}, .rule = lateRule(30, true),
         .overtime = 50, .pure = 480, .total = 465, .hourAbs = 0, .takhir = 0, .tajil = 0, .validTakhir = 15,
         .validTajil = 0, .validLess = 15, .allowed = 0, .between = 0, .overtimeLeft = 35},
        {.name = "lateness equal to Rule_t1e2d with Rule_t1e2b made up", .pairs = {{T(8, 30), T(16, 0)}},
         .rule = lateRule(15, true), .overtime = 50, .pure = 480, .total = 465, .hourAbs = 0, .takhir = 0,
         .tajil = 0, .validTakhir = 15, .validTajil = 0, .validLess = 15, .allowed = 0, .between = 0,
         .overtimeLeft = 35},
        {.name = "lateness above Rule_t1e2d with Rule_t1e2b not made up", .pairs = {{T(8, 30), T(16, 0)}},
         .rule = lateRule(10, true), .overtime = 50, .pure = 465, .total = 465, .hourAbs = 15, .takhir = 15,
         .tajil = 0, .validTakhir = 15, .validTajil = 0, .validLess = 15, .allowed = 0, .between = 0,
         .overtimeLeft = 50},
        {.name = "lateness above Rule_t1e2d without Rule_t1e2b made up in part", .pairs = {{T(8, 30), T(16, 0)}},
         .rule = lateRule(10, false), .overtime = 50, .pure = 475, .total = 465, .hourAbs = 5, .takhir = 5,
         .tajil = 0, .validTakhir = 15, .validTajil = 0, .validLess = 15, .allowed = 0, .between = 0,
         .overtimeLeft = 40},
        // Early leave of exactly Rule_t2e1d is made up even with Rule_t1e2b.
        {.name = "early leave equal to Rule_t2e1d with Rule_t1e2b made up", .pairs = {{T(8, 0), T(15, 40)}},
         .rule = earlyRule(true), .overtime = 50, .pure = 480, .total = 460, .hourAbs = 0, .takhir = 0,
         .tajil = 0, .validTakhir = 0, .validTajil = 0, .validLess = 0, .allowed = 0, .between = 0,
         .overtimeLeft = 30},
        {.name = "early leave above Rule_t2e1d with Rule_t1e2b not made up", .pairs = {{T(8, 0), T(15, 39)}},
         .rule = earlyRule(true), .overtime = 50, .pure = 469, .total = 469, .hourAbs = 11, .takhir = 0,
         .tajil = 11, .validTakhir = 0, .validTajil = 10, .validLess = 10, .allowed = 0, .between = 0,
         .overtimeLeft = 50},
        {.name = "early leave above Rule_t2e1d without Rule_t1e2b made up in part", .pairs = {{T(8, 0), T(15, 39)}},
         .rule = earlyRule(false), .overtime = 50, .pure = 480, .total = 460, .hourAbs = 0, .takhir = 0,
         .tajil = 0, .validTakhir = 0, .validTajil = 1, .validLess = 1, .allowed = 0, .between = 0,
         .overtimeLeft = 30},
        {.name = "absence inside the shift within Rule_gmb", .pairs = away,
         .rule = [](rule_type& r) { r.Rule_gmb = 60; },
         .pure = 480, .total = 480, .hourAbs = 0, .takhir = 0, .tajil = 0, .validTakhir = 0, .validTajil = 0,
         .validLess = 60, .allowed = 60, .between = 0},
        {.name = "absence inside the shift beyond Rule_gmb, the excess only", .pairs = away,
         .rule = [](rule_type& r) { r.Rule_gmb = 30; r.Rule_gkbh = false; },
         .pure = 450, .total = 450, .hourAbs = 30, .takhir = 0, .tajil = 0, .validTakhir = 0, .validTajil = 0,
         .validLess = 30, .allowed = 30, .between = 30},
        {.name = "absence inside the shift beyond Rule_gmb, all of it", .pairs = away,
         .rule = [](rule_type& r) { r.Rule_gmb = 30; },
         .pure = 420, .total = 420, .hourAbs = 60, .takhir = 0, .tajil = 0, .validTakhir = 0, .validTajil = 0,
         .validLess = 0, .allowed = 0, .between = 60},
        // 60 away: 25 made up by the valid overtime, 30 by the authorised.
        {.name = "shortfall made up by Rule_ted", .pairs = away, .rule = [](rule_type& r) { r.Rule_ted = 40; },
         .overtime = 25, .authorized = 30, .pure = 475, .total = 420, .hourAbs = 5, .takhir = 0, .tajil = 0,
         .validTakhir = 0, .validTajil = 0, .validLess = 0, .allowed = 0, .between = 60, .overtimeLeft = 0,
         .authorizedLeft = 0},
        // Allowed: lateness 20, absence inside the shift 10, early leave 15;
        // the daily cap 30 takes the excess 15 from the early leave.
        {.name = "daily cap takes the excess from the early leave first",
         .pairs = {{T(8, 20), T(10, 0)}, {T(10, 10), T(15, 45)}},
         .rule = [](rule_type& r) { r.Rule_GMT1 = 20; r.Rule_gmt2 = 15; r.Rule_gmb = 10; r.Rule_gmaxd = 30; r.Rule_gkbh = false; },
         .pure = 465, .total = 465, .hourAbs = 15, .takhir = 0, .tajil = 0, .validTakhir = 20, .validTajil = 0,
         .validLess = 30, .allowed = 10, .between = 0},
        // Cap 5: excess 40 = early leave 15 + absence 10 + 15 of the lateness.
        {.name = "daily cap beyond the early leave reaches the absence and the lateness",
         .pairs = {{T(8, 20), T(10, 0)}, {T(10, 10), T(15, 45)}},
         .rule = [](rule_type& r) { r.Rule_GMT1 = 20; r.Rule_gmt2 = 15; r.Rule_gmb = 10; r.Rule_gmaxd = 5; r.Rule_gkbh = false; },
         .pure = 440, .total = 440, .hourAbs = 40, .takhir = 0, .tajil = 0, .validTakhir = 5, .validTajil = 0,
         .validLess = 5, .allowed = 0, .between = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEngineState es = WalkDay(c.pairs, c.rule, c.overtime, c.authorized);
        AbsenceAllowances(ctx, es);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
        EXPECT_EQ(r.Prc_HourAbsence, c.hourAbs);
        EXPECT_EQ(r.Prc_TakhirLessWork, c.takhir);
        EXPECT_EQ(r.Prc_TajilLessWork, c.tajil);
        EXPECT_EQ(r.Prc_validTakhir, c.validTakhir);
        EXPECT_EQ(r.Prc_validTajil, c.validTajil);
        EXPECT_EQ(r.Prc_ValidLessWork, c.validLess);
        EXPECT_EQ(r.AllowedBetweenAbsence, c.allowed);
        EXPECT_EQ(r.BetweenAbsence, c.between);
        EXPECT_EQ(r.Prc_ValidAddWork, c.overtimeLeft);
        EXPECT_EQ(r.AuthorizedOvertime, c.authorizedLeft);
    }
}

// Absence beyond the allowances with its penalty, and the limits that turn
// the whole day into a day of absence.
TEST_F(AbsenceTest, PenaltiesAndWholeDayLimits) {
    struct Case {
        const char* name;
        std::vector<TPunchPair> pairs;
        RuleSetup rule;
        std::int32_t pure, total, hourAbs, dayAbs;
    };
    const std::vector<TPunchPair> late40{{T(8, 40), T(16, 0)}};
    const auto gpas = [](std::int32_t free, std::int32_t percent) {
        return [=](rule_type& r) { r.Rule_gpas = free; r.Rule_gzpas = percent; };
    };
    const Case cases[] = {
        // 40 absent, 10 free: 50 % of 30 more.
        {"penalty beyond the free absence", late40, gpas(10, 50), 425, 425, 55, 0},
        {"half a minute of penalty goes to the even neighbour", late40, gpas(15, 50), 428, 428, 52, 0},
        {"absence within the free absence", late40, gpas(40, 50), 440, 440, 40, 0},
        // 60 away inside the shift, 30 allowed, 30 absent and 30 penalty.
        {"absence beyond Rule_gmb with its penalty", {{T(8, 0), T(10, 0)}, {T(11, 0), T(16, 0)}},
         [](rule_type& r) { r.Rule_gmb = 30; r.Rule_gkbh = false; r.Rule_gzpas = 100; }, 420, 420, 60, 0},
        // Away 11:50-12:40: 20 of lunch credited from 11:50, the time-of-day
        // penalty (50 % from 11:00 to 13:00) runs from 12:10 only: 15.
        {"penalty window over an absence with lunch credit", {{T(8, 0), T(11, 50)}, {T(12, 40), T(16, 0)}},
         [](rule_type& r) {
             r.Rule_naharfrom = T(12, 0);
             r.Rule_naharto = T(13, 0);
             r.Rule_naharlimit = 20;
             r.Rule_gtactive = true;
             r.Rule_gtf1 = T(11, 0);
             r.Rule_gte1 = T(13, 0);
             r.Rule_gtp1 = 50;
         },
         435, 435, 45, 0},
        {"hour absence at Rule_gslimit", {{T(9, 40), T(16, 0)}}, [](rule_type& r) { r.Rule_gslimit = 100; },
         380, 380, 100, 0},
        {"hour absence above Rule_gslimit makes the day absent", {{T(9, 41), T(16, 0)}},
         [](rule_type& r) { r.Rule_gslimit = 100; }, 0, 0, 0, 1},
        {"early leave above Rule_gtajillimit makes the day absent", {{T(8, 0), T(13, 59)}},
         [](rule_type& r) { r.Rule_gtajillimit = 120; }, 0, 0, 0, 1},
        {"early leave at Rule_gtajillimit", {{T(8, 0), T(14, 0)}}, [](rule_type& r) { r.Rule_gtajillimit = 120; },
         360, 360, 120, 0},
        // Rule_gdmd puts the day under code 41, where the early-leave limit
        // does not apply.
        {"early leave above the limit on a day under Rule_gdmd", {{T(8, 0), T(13, 59)}},
         [](rule_type& r) { r.Rule_gtajillimit = 120; r.Rule_gdmd = true; }, 359, 359, 121, 0},
        {"all absence counts as work with Rule_gkar", late40, [](rule_type& r) { r.Rule_gkar = true; },
         480, 480, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.balances = TLeaveBalances{};
        ctx.balances.EntitledLeaveBalance = {5, 0};
        TEngineState es = WalkDay(c.pairs, c.rule);
        AbsenceAllowances(ctx, es);
        AbsenceRules(ctx, es);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
        EXPECT_EQ(r.Prc_HourAbsence, c.hourAbs);
        EXPECT_EQ(r.Prc_DayAbsence, c.dayAbs);
        if (c.dayAbs == 1) EXPECT_EQ(r.Prc_PureDayWork, 0);
    }
}

// Rule_gdmd: a day of absence becomes a day of entitled leave while the
// balance has a day for it.
TEST_F(AbsenceTest, DayAbsenceBecomesLeave) {
    struct Case {
        TBalance balance;
        std::int32_t leaveDays, dayAbs, pure, total, balanceDays, code;
    } cases[] = {
        {{3, 100}, 1, 0, 480, 480, 2, 41},
        {{0, 300}, 0, 1, 0, 0, 0, 0},  // not a whole day left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.balance.Days);
        ctx.balances.EntitledLeaveBalance = c.balance;
        TEngineState es = WalkDay({}, [](rule_type& r) { r.Rule_gdmd = true; });
        // What the absent-day rule of the day codes leaves on a day without punches.
        es.Rec.Prc_HourAbsence = es.Rec.Prc_PureWork = es.Rec.Prc_TotalWork = 0;
        es.Rec.Prc_DayAbsence = 1;
        AbsenceRules(ctx, es);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_DayEleaveSalary, c.leaveDays);
        EXPECT_EQ(r.Prc_DayAbsence, c.dayAbs);
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
        EXPECT_EQ(r.Prc_PureDayWork, c.leaveDays);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, c.balanceDays);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, c.balance.Minutes);
        EXPECT_EQ(ctx.period.CodeMinutes[41], c.leaveDays);
        EXPECT_EQ(es.W.CurrentCode, c.code);
    }
}

// Rule_ghmh: hour absence becomes hourly entitled leave as far as the
// balance goes.
TEST_F(AbsenceTest, HourAbsenceBecomesLeave) {
    struct Case {
        TBalance balance;
        std::int32_t leave, hourAbs, pure;
        TBalance left;
    } cases[] = {
        {{0, 60}, 60, 40, 440, {0, 0}},
        {{1, 0}, 100, 0, 480, {0, 380}},
        {{-1, 0}, 0, 100, 380, {-1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.balance.Days * 1000 + c.balance.Minutes);
        ctx.balances.EntitledLeaveBalance = c.balance;
        TEngineState es = WalkDay({{T(9, 40), T(16, 0)}}, [](rule_type& r) { r.Rule_ghmh = true; });
        AbsenceRules(ctx, es);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_HourEleaveSalary, c.leave);
        EXPECT_EQ(r.Prc_HourEleaveSalarysum, c.leave);
        EXPECT_EQ(r.Prc_HourAbsence, c.hourAbs);
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_TotalWork, c.pure);
        EXPECT_EQ(ctx.period.CodeMinutes[21], c.leave);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, c.left.Days);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, c.left.Minutes);
    }
}

// Hourly entitled leave of a day's length becomes a day of leave
// (Rule_mohd); reaching Rule_mohdg on a day with presence it becomes a day
// of absence and the leave goes back to the balance.
TEST_F(AbsenceTest, HourlyLeaveReachingADay) {
    // Out with the leave key at 11:00: 300 minutes of hourly entitled leave.
    ctx.balances.EntitledLeaveBalance = {5, 0};
    TEngineState es = WalkDay({{T(8, 0), T(11, 0), 0, 21}}, [](rule_type& r) { r.Rule_mohd = 300; });
    ASSERT_EQ(es.Rec.Prc_HourEleaveSalary, 300);
    ASSERT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, 180);
    AbsenceRules(ctx, es);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 0);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalarysum, 0);
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 1);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 1);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 180);  // the presence, with Rule_emo
    EXPECT_EQ(ctx.period.CodeMinutes[21], 0);
    EXPECT_EQ(ctx.period.CodeMinutes[41], 1);
    // One whole day charged instead of the 300 minutes.
    EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, 4);
    EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, 0);

    // Out at 14:00: 120 minutes reach Rule_mohdg.
    ctx.balances.EntitledLeaveBalance = {5, 0};
    es = WalkDay({{T(8, 0), T(14, 0), 0, 21}}, [](rule_type& r) { r.Rule_mohdg = 120; });
    ASSERT_EQ(es.Rec.Prc_HourEleaveSalary, 120);
    AbsenceRules(ctx, es);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 0);
    EXPECT_EQ(es.Rec.Prc_DayEleaveSalary, 0);
    EXPECT_EQ(es.Rec.Prc_DayAbsence, 1);
    EXPECT_EQ(es.Rec.Prc_PureWork, 0);
    EXPECT_EQ(es.Rec.Prc_PureDayWork, 0);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 360);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 360);
    EXPECT_EQ(ctx.period.CodeMinutes[21], 0);
    EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, 5);
    EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, 0);
}

// An entry without exit: at most Rule_gnaghes of absence, and the day is
// credited with its required work less that much; the later limit does not
// credit work.
TEST_F(AbsenceTest, MissingOutPunch) {
    struct Case {
        std::int32_t gnaghes, hourAbs, pure, total;
    } cases[] = {
        {60, 60, 420, 420},
        {0, 240, 240, 240},    // no limit
        {300, 240, 240, 240},  // the absence is below the limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gnaghes);
        // In 08:00-12:00, in again at 15:00 without exit: 180 away inside the
        // shift and 60 of early leave.
        TEngineState es = WalkDay({{T(8, 0), T(12, 0)}, {T(15, 0), T(15, 0), 0, 97}},
                                  [&](rule_type& r) { r.Rule_gnaghes = c.gnaghes; });
        ASSERT_EQ(es.Rec.Prc_AbsenceNaghes, 1);
        AbsenceAllowances(ctx, es);
        MissingOutPunch(ctx, es);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, c.hourAbs);
        EXPECT_EQ(es.Rec.Prc_PureWork, c.pure);
        EXPECT_EQ(es.Rec.Prc_TotalWork, c.total);

        es.Rec.Prc_HourAbsence = 250;
        MissingOutPunchLimit(ctx, es);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, c.gnaghes == 60 ? 60 : 250);
        EXPECT_EQ(es.Rec.Prc_PureWork, c.pure);
    }
}

// Schedule override 1 makes all the day's work overtime; override 2 drops
// the schedule and books the work beyond it as overtime.
TEST_F(AbsenceTest, ScheduleOverrides) {
    for (bool dgkar : {false, true}) {
        SCOPED_TRACE(dgkar);
        TEngineState es = WalkDay({{T(8, 30), T(16, 0)}}, [&](rule_type& r) { r.Rule_dgkar = dgkar; }, 40);
        Day(1).DayOverride = 1;
        ScheduleOverrideOvertime(ctx, es);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_ValidAddWork, 40 + 450);
        EXPECT_EQ(r.Prc_NormWork, 0);
        EXPECT_EQ(r.Prc_PureWork, 0);
        EXPECT_EQ(r.Prc_PureWorkKham, 0);
        EXPECT_EQ(r.Prc_TotalWork, 450);
        EXPECT_EQ(r.Prc_PureDayWork, dgkar ? 1 : 0);
        EXPECT_EQ(r.Prc_HourAbsence, 0);
        EXPECT_EQ(r.Prc_DayAbsence, 0);
    }

    TEngineState es = WalkDay({{T(8, 30), T(16, 0)}}, nullptr, 60);
    Day(1).DayOverride = 2;
    es.Rec.Prc_bimehwork = 480;
    es.Rec.Prc_standardwork = 480;
    ScheduleDroppedAndClamp(ctx, es);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 60 + 450 - 480);
    EXPECT_EQ(es.Rec.Prc_NormWork, 0);
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 0);
    EXPECT_EQ(es.Rec.Prc_HourAbsencePure, 0);
    EXPECT_EQ(es.Rec.Prc_bimehwork, 0);
    EXPECT_EQ(es.Rec.Prc_standardwork, 0);
    EXPECT_EQ(es.Rec.Prc_TakhirLessWork, 30);  // only the lateness resets clear it

    // Without an override only the clamp: never a negative hour absence.
    for (std::int32_t h : {-5, 40}) {
        es = WalkDay({{T(8, 0), T(16, 0)}}, nullptr);
        es.Rec.Prc_HourAbsence = h;
        ScheduleDroppedAndClamp(ctx, es);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, std::max(h, 0));
        EXPECT_EQ(es.Rec.Prc_HourAbsencePure, std::max(h, 0));
        EXPECT_EQ(es.Rec.Prc_NormWork, 480);
    }
}

// A day of daily leave, daily mission or absence keeps no lateness or early
// leave; an unpaid daily leave is no work day either.
TEST_F(AbsenceTest, LatenessResets) {
    struct Case {
        const char* name;
        std::function<void(TDayRecord&)> mark;
        bool cleared, workDayCleared;
    };
    const Case cases[] = {
        {"plain day", [](TDayRecord&) {}, false, false},
        {"daily entitled leave", [](TDayRecord& r) { r.Prc_DayEleaveSalary = 1; }, true, false},
        {"daily sick leave", [](TDayRecord& r) { r.Prc_DaySleaveSalary = 1; }, true, false},
        {"daily paid leave", [](TDayRecord& r) { r.Prc_DayleaveSalary = 1; }, true, false},
        {"unpaid daily sick leave", [](TDayRecord& r) { r.Prc_DaySleaveNoSalary = 1; }, true, true},
        {"unpaid daily leave", [](TDayRecord& r) { r.Prc_DayleaveNoSalary = 1; }, true, true},
        {"24-hour mission", [](TDayRecord& r) { r.Prc_FullMission = 1; }, true, false},
        {"daily mission", [](TDayRecord& r) { r.Prc_DayMission = 1; }, true, false},
        {"day of absence", [](TDayRecord& r) { r.Prc_DayAbsence = 1; }, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Late 08:10, early 15:50 within the allowances, 20 away inside the
        // shift, entry without exit.
        TEngineState es = WalkDay({{T(8, 10), T(12, 0)}, {T(12, 20), T(15, 50)}, {T(15, 50), T(15, 50), 0, 97}},
                                  [](rule_type& r) { r.Rule_GMT1 = 15; r.Rule_gmt2 = 15; r.Rule_gmb = 30; });
        AbsenceAllowances(ctx, es);
        es.Rec.Prc_TakhirLessWork = es.Rec.Prc_TajilLessWork = 5;
        es.Rec.Prc_PureDayWork = 1;
        c.mark(es.Rec);
        LatenessResets(ctx, es);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_AbsenceNaghes, c.cleared ? 0 : 1);
        EXPECT_EQ(r.Prc_TakhirLessWork, c.cleared ? 0 : 5);
        EXPECT_EQ(r.Prc_TajilLessWork, c.cleared ? 0 : 5);
        EXPECT_EQ(r.Prc_validTakhir, c.cleared ? 0 : 10);
        EXPECT_EQ(r.Prc_validTajil, c.cleared ? 0 : 10);
        EXPECT_EQ(r.Prc_ValidLessWork, c.cleared ? 0 : 40);
        EXPECT_EQ(r.AllowedBetweenAbsence, c.cleared ? 0 : 20);
        EXPECT_EQ(r.Prc_PureDayWork, c.workDayCleared ? 0 : 1);
    }
}

// Without future days, a person who has come in today is not absent yet.
TEST_F(AbsenceTest, TodayIsNotAbsentOnceComeIn) {
    struct Case {
        const char* name;
        bool futureAllowed;
        std::string date;
        std::int32_t firstIn, dayAbs;
    } cases[] = {
        {"came in today", false, "1403/06/20", T(8, 0), 0},
        {"not come in yet", false, "1403/06/20", -1000, 1},
        {"another day", false, "1403/06/19", T(8, 0), 1},
        {"future days allowed", true, "1403/06/20", T(8, 0), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.settings.FutureDaysAllowed = c.futureAllowed;
        TEngineState es;
        es.Rec.Prc_date = c.date;
        es.Rec.Prc_FirstIn = c.firstIn;
        es.Rec.Prc_DayAbsence = es.Rec.Prc_DayAbsencePure = 1;
        TodayAbsenceRule(ctx, es);
        EXPECT_EQ(es.Rec.Prc_DayAbsence, c.dayAbs);
        EXPECT_EQ(es.Rec.Prc_DayAbsencePure, c.dayAbs);
    }
}

// A limit that turns the day into a day of absence, through the whole day:
// the stored day is an absence day (code 91) without lateness.
TEST_F(AbsenceTest, WholeDayAbsenceThroughTheDay) {
    ctx.rule = rule_type{};
    ctx.rule.Rule_gmaxd = 999;
    ctx.rule.Rule_gslimit = 100;
    ctx.days = TDayArray{};
    Period("1403/05/01", 2);
    TEngineState es;
    for (int d = 1; d <= 2; ++d) {
        Shift(d, {{T(8, 0), T(16, 0)}});
        Punches(d, {{d == 1 ? T(9, 41) : T(9, 40), T(16, 0)}});
        EngineDay(ctx, es, ctx.PersonnelCode, d);
    }
    const TDayRecord& absent = Result(1);
    EXPECT_EQ(absent.Prc_DayAbsence, 1);
    EXPECT_EQ(absent.Prc_kind, 91);
    EXPECT_EQ(absent.Prc_HourAbsence, 0);
    EXPECT_EQ(absent.Prc_HourAbsencePure, 0);
    EXPECT_EQ(absent.Prc_TakhirLessWork, 0);
    EXPECT_EQ(absent.Prc_PureWork, 0);
    const TDayRecord& late = Result(2);
    EXPECT_EQ(late.Prc_DayAbsence, 0);
    EXPECT_EQ(late.Prc_kind, 0);
    EXPECT_EQ(late.Prc_HourAbsence, 100);
    EXPECT_EQ(late.Prc_HourAbsencePure, 100);
    EXPECT_EQ(late.Prc_TakhirLessWork, 100);
    EXPECT_EQ(late.Prc_PureWork, 380);
    EXPECT_EQ(ctx.period.LastDay.prc_hourabsence, 100);
}

}  // namespace
}  // namespace attcalc::test
