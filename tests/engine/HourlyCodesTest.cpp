// Hourly leaves and missions inside the day: permits, the leave balances,
// the booking into the leave and mission fields, the credit as work or
// overtime, and what goes to hour absence or unpaid leave.
#include <functional>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "engine/PeriodState.h"
#include "engine/Stages.h"
#include "engine/Timeline.h"

namespace attcalc::test {
namespace {

std::int32_t T(int h, int m) { return h * 60 + m; }

using RuleSetup = std::function<void(rule_type&)>;

struct TReq {
    std::int32_t start, end, code;
};

class HourlyCodesTest : public EngineFixture {
protected:
    // Day 1 of a fresh period with the shift 08:00-16:00.
    void FreshDay(const RuleSetup& rule, const std::vector<TReq>& requests = {}) {
        ctx.rule = rule_type{};
        if (rule) rule(ctx.rule);
        ctx.period = PeriodState{};
        ctx.balances = TLeaveBalances{};
        Period("1403/05/01", 1);
        Shift(1, {{T(8, 0), T(16, 0)}});
        for (const TReq& q : requests) Request(1, q.start, q.end, q.code);
    }

    // The day prepared for a direct call of the coded-segment rules, the walk
    // standing in `zone`.
    TEngineState Standing(TZone zone) {
        TEngineState es;
        es.DayNumber = 1;
        es.Day = &Day(1);
        es.Line = BuildTimeline(ctx, Day(1));
        es.W.Zone = zone;
        return es;
    }
};

// Out with the entitled-leave key at 10:00, back at 12:00: 120 minutes of
// hourly entitled leave inside the shift, within and beyond the balance.
TEST_F(HourlyCodesTest, EntitledLeaveAgainstTheBalance) {
    struct Case {
        const char* name;
        RuleSetup rule;
        TBalance balance;
        std::int32_t cap = 99999;
        std::function<void(PeriodState&)> before;
        std::int32_t leave, hourAbs, unpaid, pure;
        TBalance left;
        std::int32_t capLeft, count;
        std::vector<TPunchPair> pairs = {{T(8, 0), T(10, 0), 0, 21}, {T(12, 0), T(16, 0)}};
    };
    const auto moeb = [](rule_type& r) { r.Rule_moeb = true; };
    const Case cases[] = {
        {"within the balance", nullptr, {1, 0}, 99999, nullptr, 120, 0, 0, 480, {0, 360}, 99879, 1},
        {"beyond the balance", nullptr, {0, 45}, 99999, nullptr, 45, 75, 0, 405, {0, 0}, 0, 1},
        {"beyond the balance, the rest unpaid with Rule_moeb", moeb, {0, 45}, 99999, nullptr, 45, 0, 75, 405,
         {0, 0}, 99999, 1},
        {"negative balance refused", nullptr, {-1, 0}, 99999, nullptr, 0, 120, 0, 360, {-1, 0}, 99999, 0},
        {"negative balance, unpaid with Rule_moeb", moeb, {-1, 0}, 99999, nullptr, 0, 0, 120, 360, {-1, 0}, 99999,
         0},
        // Less than nothing left is nothing to charge, not a negative charge.
        {"balance below zero in minutes only", nullptr, {0, -30}, 99999, nullptr, 0, 120, 0, 360, {0, -30}, 0, 0},
        {"the yearly cap limits the charge", nullptr, {5, 0}, 100, nullptr, 100, 20, 0, 460, {4, 380}, 0, 1},
        // The balance loses what was charged, not everything it had.
        {"the yearly cap limits the charge with Rule_moeb", moeb, {5, 0}, 100, nullptr, 100, 0, 20, 460, {4, 380},
         100, 1},
        {"the monthly number used up", [](rule_type& r) { r.Rule_moesn = 1; }, {5, 0}, 99999,
         [](PeriodState& ps) { ps.EntitledLeaveCount = 1; }, 0, 120, 0, 360, {5, 0}, 99999, 1},
        {"the monthly time cap cuts the leave", [](rule_type& r) { r.Rule_moesl = 100; }, {1, 0}, 99999,
         [](PeriodState& ps) { ps.HourlyEntitledLeaveToDate = 40; }, 60, 60, 0, 420, {0, 420}, 99939, 1},
        {"the monthly time cap used up", [](rule_type& r) { r.Rule_moesl = 100; }, {1, 0}, 99999,
         [](PeriodState& ps) { ps.HourlyEntitledLeaveToDate = 150; }, 0, 120, 0, 360, {1, 0}, 99999, 0},
        {"leave day length 0 needs no balance", [](rule_type& r) { r.Rule_mohr = 0; }, {0, 0}, 99999, nullptr, 120,
         0, 0, 480, {0, 0}, 99999, 1},
        // Out 10:00-10:10: the 10 minutes are charged as 30, the 20 more are
        // taken from the work.
        {"the minimum per leave", [](rule_type& r) { r.Rule_moesmin = 30; }, {1, 0}, 99999, nullptr, 30, 0, 0, 480,
         {0, 450}, 99969, 1, {{T(8, 0), T(10, 0), 0, 21}, {T(10, 10), T(16, 0)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshDay(c.rule);
        ctx.balances.EntitledLeaveBalance = c.balance;
        ctx.balances.EntitledLeaveCap = c.cap;
        if (c.before) c.before(ctx.period);
        Punches(1, c.pairs);
        TEngineState es = Walk(1);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_HourEleaveSalary, c.leave);
        EXPECT_EQ(r.Prc_HourAbsence, c.hourAbs);
        EXPECT_EQ(r.Prc_HourleaveNoSalary, c.unpaid);
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_TotalWork, c.pure);
        EXPECT_EQ(ctx.period.CodeMinutes[21], c.leave);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, c.left.Days);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, c.left.Minutes);
        EXPECT_EQ(ctx.balances.EntitledLeaveCap, c.capLeft);
        EXPECT_EQ(ctx.period.EntitledLeaveCount, c.count);
    }
    // The minimum is also taken from the work of the time clock.
    FreshDay([](rule_type& r) { r.Rule_moesmin = 30; });
    ctx.balances.EntitledLeaveBalance = {1, 0};
    Punches(1, {{T(8, 0), T(10, 0), 0, 21}, {T(10, 10), T(16, 0)}});
    EXPECT_EQ(Walk(1).Rec.Prc_PureWorkKham, 470 - 20);
}

// A late arrival under the entitled-leave key is a leave at the shift start,
// counted apart and capped by Rule_moesf.
TEST_F(HourlyCodesTest, EntitledLeaveAtTheShiftStart) {
    for (int earlier : {0, 1}) {
        SCOPED_TRACE(earlier);
        FreshDay([](rule_type& r) { r.Rule_moesf = 1; });
        ctx.balances.EntitledLeaveBalance = {1, 0};
        ctx.period.EntitledLeaveCountShiftStart = earlier;
        Punches(1, {{T(8, 30), T(16, 0), 41, 0}});  // the daily code on the in punch is read as 21
        TEngineState es = Walk(1);
        EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, earlier ? 0 : 30);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, earlier ? 30 : 0);
        EXPECT_EQ(es.Rec.Prc_TakhirLessWork, 0);
        EXPECT_EQ(ctx.period.EntitledLeaveCountShiftStart, 1);
        EXPECT_EQ(ctx.period.EntitledLeaveToday, earlier ? 0 : 1);
        EXPECT_FALSE(ctx.period.ShiftStartLeave);
    }
}

// The permit of a coded segment 10:00-12:00 (code 21) when the rule demands
// one, and the allowed error around it.
TEST_F(HourlyCodesTest, PermitCoverage) {
    struct Case {
        const char* name;
        std::vector<TReq> requests;
        std::int32_t error;
        std::int32_t leave, hourAbs;
        TZone zone = kZoneInInterval;
        bool needsPermit = true;
    };
    const Case cases[] = {
        {"the allowed error extends the permit's end", {{T(10, 0), T(11, 30), 21}}, 10, 100, 20},
        {"a daily leave permits the whole segment", {{0, 0, 41}}, 0, 120, 0},
        {"one error budget for both ends", {{T(10, 30), T(11, 30), 21}}, 10, 70, 50},
        {"the error left after the start widens the end", {{T(10, 30), T(11, 30), 21}}, 40, 100, 20},
        {"no permit", {}, 10, 0, 120},
        {"a permit of another leave does not count", {{T(10, 0), T(12, 0), 22}}, 0, 0, 120},
        {"a permit outside the segment lets the search go on", {{T(8, 20), T(9, 50), 21}, {0, 0, 41}}, 0, 120, 0},
        {"a permit outside the segment and nothing else", {{T(8, 20), T(9, 50), 21}}, 0, 0, 120},
        // Open ends mean the shift's start and end, as when the request is
        // merged into the day.
        {"an open end runs to the end of the shift", {{T(10, 30), 0, 21}}, 0, 90, 30},
        {"an open start runs from the start of the shift", {{0, T(11, 30), 21}}, 0, 90, 30},
        {"no permit needed", {}, 0, 120, 0, kZoneInInterval, false},
        {"without a permit in the break nothing counts", {}, 0, 0, 0, kZoneInGap},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshDay(
            [&](rule_type& r) {
                r.Rule_momojavvez = c.needsPermit;
                r.Rule_mojerror = c.error;
            },
            c.requests);
        ctx.balances.EntitledLeaveBalance = {10, 0};
        TEngineState es = Standing(c.zone);
        es.W.CurrentCode = 21;
        CodedSegment(ctx, es, T(10, 0), T(12, 0), 21);
        EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, c.leave);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, c.hourAbs);
    }
    // What no permit covers is penalised like any absence.
    FreshDay([](rule_type& r) {
        r.Rule_momojavvez = true;
        r.Rule_gtactive = true;
        r.Rule_gtf1 = T(11, 0);
        r.Rule_gte1 = T(13, 0);
        r.Rule_gtp1 = 50;
    });
    TEngineState es = Standing(kZoneInInterval);
    CodedSegment(ctx, es, T(10, 0), T(12, 0), 21);
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 120 + 30);
    EXPECT_EQ(es.Rec.Prc_PureWork, -30);
}

// Out on an hourly mission at 10:00, back at 12:00, with and without a
// permit; and a mission before the shift.
TEST_F(HourlyCodesTest, HourlyMissionWithAndWithoutPermit) {
    struct Case {
        const char* name;
        bool needsPermit;
        std::vector<TReq> requests;
        std::int32_t mission, hourAbs, pure;
    };
    const Case cases[] = {
        {"with its permit", true, {{T(10, 0), T(12, 0), 51}}, 120, 0, 480},
        {"without a permit", true, {}, 0, 120, 360},
        {"under a daily mission permit", true, {{0, 0, 61}}, 120, 0, 480},
        {"under a 24-hour mission permit", true, {{0, 0, 71}}, 120, 0, 480},
        {"with a permit for half of it", true, {{T(10, 0), T(11, 0), 51}}, 60, 60, 420},
        {"no permit needed", false, {}, 120, 0, 480},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshDay(
            [&](rule_type& r) {
                r.Rule_mamojavvez = c.needsPermit;
                r.Rule_makar = true;
                r.Rule_makarna = true;
            },
            c.requests);
        Punches(1, {{T(8, 0), T(10, 0), 0, 51}, {T(12, 0), T(16, 0)}});
        TEngineState es = Walk(1);
        EXPECT_EQ(es.Rec.Prc_HourMission, c.mission);
        EXPECT_EQ(es.Rec.Prc_HourMission51, c.mission);
        EXPECT_EQ(ctx.period.CodeMinutes[51], c.mission);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, c.hourAbs);
        EXPECT_EQ(es.Rec.Prc_PureWork, c.pure);
        EXPECT_EQ(es.Rec.Prc_TotalWork, c.pure);
        EXPECT_EQ(es.Rec.Prc_ValidAddWork, 0);
    }

    // On a mission from 07:00 until the shift starts: overtime before the shift.
    FreshDay(nullptr);
    Punches(1, {{T(7, 0), T(7, 0), 0, 52}, {T(8, 0), T(16, 0)}});
    TEngineState es = Walk(1);
    EXPECT_EQ(es.Rec.Prc_HourMission, 60);
    EXPECT_EQ(es.Rec.Prc_HourMission52, 60);
    EXPECT_EQ(es.Rec.Prc_ValidAddWork, 60);
    EXPECT_EQ(es.Rec.Prc_ValidAddWorkBefore, 60);
    EXPECT_EQ(ctx.period.OvertimeTotals[kOtBefore], 60);
    EXPECT_EQ(es.Rec.Prc_PureWork, 480);
    EXPECT_EQ(es.Rec.Prc_TotalWork, 540);
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 0);
}

// Where a mission lies decides what it is: work inside the shift, overtime
// outside it, and in the break only with Rule_masn (and Rule_masg).
TEST_F(HourlyCodesTest, MissionByPlace) {
    struct Case {
        const char* name;
        TZone zone;
        bool afterLast;
        RuleSetup rule;
        std::int32_t mission, total, pure, overtime, after, inBreak, codeMinutes;
    };
    const Case cases[] = {
        {"inside the shift, gross work only", kZoneInInterval, false,
         [](rule_type& r) { r.Rule_makarna = true; }, 30, 30, 0, 0, 0, 0, 30},
        {"in the break without Rule_masn", kZoneInGap, false, [](rule_type& r) { r.Rule_masn = false; }, 0, 0, 0, 0,
         0, 0, 0},
        {"in the break with Rule_masn only", kZoneInGap, false, [](rule_type& r) { r.Rule_masg = false; }, 0, 0, 0,
         30, 0, 0, 0},
        {"in the break with Rule_masn and Rule_masg", kZoneInGap, false, nullptr, 30, 30, 0, 30, 0, 0, 30},
        {"in a break that counts as overtime", kZoneOutside, false, [](rule_type& r) { r.Rule_eba = true; }, 30, 30,
         0, 30, 0, 30, 30},
        {"after the shift", kZoneOutside, true, nullptr, 30, 30, 0, 30, 30, 0, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshDay(c.rule);
        TEngineState es = Standing(c.zone);
        es.W.AfterLast = c.afterLast;
        CodedSegment(ctx, es, T(12, 10), T(12, 40), 53);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_HourMission, c.mission);
        EXPECT_EQ(r.Prc_HourMission53, c.mission);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_ValidAddWork, c.overtime);
        EXPECT_EQ(r.Prc_ValidAddWorkafter, c.after);
        EXPECT_EQ(ctx.period.OvertimeTotals[kOtAfter], c.after);
        EXPECT_EQ(r.Prc_ValidAddWorkbein, c.inBreak);
        EXPECT_EQ(ctx.period.CodeMinutes[53], c.codeMinutes);
        EXPECT_EQ(r.Prc_HourAbsence, 0);
    }
}

// Sick, paid and unpaid hourly leaves of 120 minutes inside the shift.
TEST_F(HourlyCodesTest, OtherHourlyLeaves) {
    struct Case {
        const char* name;
        int code;
        RuleSetup rule;
        TBalance sick;
        std::int32_t sickPaid, sickUnpaid, paid, unpaid, hourAbs, pure, total, codeMinutes, code11;
        TBalance sickLeft;
    };
    const Case cases[] = {
        {"sick leave within the balance", 22, nullptr, {1, 0}, 120, 0, 0, 0, 0, 120, 120, 120, 0, {0, 360}},
        {"sick leave beyond the balance", 22, [](rule_type& r) { r.Rule_mohr = 100; }, {1, 0}, 100, 0, 0, 0, 20, 100,
         100, 100, 0, {0, 0}},
        {"sick leave without a whole day left", 22, nullptr, {0, 400}, 0, 0, 0, 0, 120, 0, 0, 0, 0, {0, 400}},
        {"sick leave without a day left, unpaid with Rule_moebs", 22, [](rule_type& r) { r.Rule_moebs = true; },
         {0, 400}, 0, 120, 0, 0, 0, 0, 0, 0, 120, {0, 400}},
        {"sick leave with leave day length 0", 22, [](rule_type& r) { r.Rule_mohr = 0; }, {1, 0}, 120, 0, 0, 0, 0,
         120, 120, 120, 0, {1, 0}},
        {"paid leave", 23, nullptr, {}, 0, 0, 120, 0, 0, 120, 120, 120, 0, {}},
        {"paid leave credited to gross work only", 27, [](rule_type& r) { r.Rule_mokar = false; }, {}, 0, 0, 120, 0,
         0, 0, 120, 120, 0, {}},
        {"unpaid leave", 12, nullptr, {}, 0, 0, 0, 120, 0, 0, 0, 120, 0, {}},
        {"unpaid sick leave", 11, nullptr, {}, 0, 120, 0, 0, 0, 0, 0, 120, 120, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshDay(c.rule);
        ctx.balances.SickLeaveBalance = c.sick;
        TEngineState es = Standing(kZoneInInterval);
        es.W.CurrentCode = c.code;
        CodedSegment(ctx, es, T(10, 0), T(12, 0), c.code);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_HourSleaveSalary, c.sickPaid);
        EXPECT_EQ(r.Prc_HourSleaveNoSalary, c.sickUnpaid);
        EXPECT_EQ(r.Prc_HourleaveSalary, c.paid);
        EXPECT_EQ(r.Prc_HourleaveSalary23, c.code == 23 ? c.paid : 0);
        EXPECT_EQ(r.Prc_HourleaveSalary27, c.code == 27 ? c.paid : 0);
        EXPECT_EQ(r.Prc_HourleaveNoSalary, c.unpaid);
        EXPECT_EQ(r.Prc_HourAbsence, c.hourAbs);
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
        EXPECT_EQ(ctx.period.CodeMinutes[c.code], c.codeMinutes);
        if (c.code != 11) EXPECT_EQ(ctx.period.CodeMinutes[11], c.code11);
        EXPECT_EQ(ctx.balances.SickLeaveBalance.Days, c.sickLeft.Days);
        EXPECT_EQ(ctx.balances.SickLeaveBalance.Minutes, c.sickLeft.Minutes);
    }
}

// Time under code 50 counts as presence: work inside the shift, overtime
// outside it, nothing in the break.
TEST_F(HourlyCodesTest, PresenceCode) {
    struct Case {
        TZone zone;
        std::int32_t pure, total, overtime, before;
    } cases[] = {
        {kZoneInInterval, 60, 60, 0, 0},
        {kZoneInGap, 0, 0, 0, 0},
        {kZoneOutside, 0, 60, 60, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.zone));
        FreshDay(nullptr);
        TEngineState es = Standing(c.zone);
        es.W.BeforeFirst = true;
        es.W.Seg = TSegment{T(7, 0), T(8, 0), 60, 0, 0, 60};
        PresenceCode(ctx, es);
        EXPECT_EQ(es.Rec.Prc_PureWork, c.pure);
        EXPECT_EQ(es.Rec.Prc_TotalWork, c.total);
        EXPECT_EQ(es.Rec.Prc_ValidAddWork, c.overtime);
        EXPECT_EQ(es.Rec.Prc_ValidAddWorkBefore, c.before);
    }
}

// Entitled leave outside the shift (Rule_mout) is overtime paid from the
// balance: out with the leave key at the shift end, back at 17:00.
TEST_F(HourlyCodesTest, EntitledLeaveOutsideTheShift) {
    struct Case {
        TBalance balance;
        RuleSetup rule;
        std::int32_t leave;
        TBalance left;
    } cases[] = {
        {{1, 0}, nullptr, 60, {0, 420}},
        {{0, 45}, nullptr, 45, {0, 0}},
        {{-1, 0}, nullptr, 0, {-1, 0}},
        {{0, 0}, [](rule_type& r) { r.Rule_mohr = 0; }, 60, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.balance.Days * 1000 + c.balance.Minutes);
        FreshDay([&](rule_type& r) {
            r.Rule_mout = true;
            if (c.rule) c.rule(r);
        });
        ctx.balances.EntitledLeaveBalance = c.balance;
        Punches(1, {{T(8, 0), T(16, 0), 0, 21}, {T(17, 0), T(17, 0)}});
        TEngineState es = Walk(1);
        EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, c.leave);
        EXPECT_EQ(es.Rec.Prc_ValidAddWork, c.leave);
        EXPECT_EQ(es.Rec.Prc_TotalWork, 480 + c.leave);
        EXPECT_EQ(es.Rec.Prc_PureWork, 480);
        EXPECT_EQ(ctx.period.CodeMinutes[21], c.leave);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, c.left.Days);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, c.left.Minutes);
    }
}

// The monthly caps count the hourly entitled leave and the leaves of the
// earlier days of the period: out 10:00-12:00 with the leave key every day.
TEST_F(HourlyCodesTest, MonthlyCapsAcrossThePeriod) {
    struct Case {
        const char* name;
        RuleSetup rule;
        std::int32_t leave[3], hourAbs[3];
        TBalance left;
    };
    const Case cases[] = {
        {"time cap 200 minutes", [](rule_type& r) { r.Rule_moesl = 200; }, {120, 80, 0}, {0, 40, 120}, {9, 280}},
        {"two leaves a month", [](rule_type& r) { r.Rule_moesn = 2; }, {120, 120, 0}, {0, 0, 120}, {9, 240}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshDay(c.rule);
        ctx.days = TDayArray{};
        ctx.balances.EntitledLeaveBalance = {10, 0};
        Period("1403/05/01", 3);
        TEngineState es;
        for (int d = 1; d <= 3; ++d) {
            Shift(d, {{T(8, 0), T(16, 0)}});
            Punches(d, {{T(8, 0), T(10, 0), 0, 21}, {T(12, 0), T(16, 0)}});
            EngineDay(ctx, es, ctx.PersonnelCode, d);
        }
        for (int d = 1; d <= 3; ++d) {
            EXPECT_EQ(Result(d).Prc_HourEleaveSalary, c.leave[d - 1]) << "day " << d;
            EXPECT_EQ(Result(d).Prc_HourAbsence, c.hourAbs[d - 1]) << "day " << d;
        }
        EXPECT_EQ(ctx.period.HourlyEntitledLeaveToDate, c.leave[0] + c.leave[1] + c.leave[2]);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Days, c.left.Days);
        EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, c.left.Minutes);
    }
}

}  // namespace
}  // namespace attcalc::test
