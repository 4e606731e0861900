// The segment walk: work, lateness, early leave, absence inside the shift and
// in the break, and the measures of a segment.
#include <functional>
#include <vector>

#include "EngineFixture.h"
#include "engine/PeriodState.h"
#include "engine/SegmentWalk.h"
#include "engine/Timeline.h"

namespace attcalc::test {
namespace {

std::int32_t T(int h, int m) { return h * 60 + m; }

TEST(SegmentMeasuresTest, NightMinutes) {
    TRunContext ctx;
    ctx.rule.Rule_startday = 360;
    ctx.rule.Rule_startnight = 1080;
    struct Case {
        std::int32_t start, end, night;
    } cases[] = {
        {-60, 30, 90},      // started the evening before
        {0, 360, 360},      // early morning
        {300, 1200, 180},   // 05:00-06:00 and 18:00-20:00
        {400, 900, 0},      // daytime
        {1000, 1500, 420},  // 18:00 to 01:00 of the next day
        {1200, 1300, 100},  // evening
        {1320, 1800, 480},  // 22:00 to 06:00 of the next day
        {-200, -100, 100},  // 20:40-22:20 of the day before
        {-500, -400, 0},    // before 18:00 of the day before
    };
    for (const Case& c : cases)
        EXPECT_EQ(NightMinutes(ctx, c.start, c.end), c.night) << c.start << "-" << c.end;
}

TEST(SegmentMeasuresTest, MealNetRemovesMealWindowsAndKeepsTheNonWorkingDayWindow) {
    TRunContext ctx;
    ctx.rule.Rule_nahar1from = T(12, 0);
    ctx.rule.Rule_nahar1to = T(13, 0);
    EXPECT_EQ(MealNet(ctx, T(8, 0), T(16, 0), 0), 420);
    // The window shifted by a day counts too.
    EXPECT_EQ(MealNet(ctx, T(12, 0) + 1440, T(14, 0) + 1440, 0), 60);
    // On a day without schedule only the non-working-day window counts.
    ctx.rule.Rule_egfrom = T(10, 0);
    ctx.rule.Rule_egto = T(15, 0);
    EXPECT_EQ(MealNet(ctx, T(8, 0), T(16, 0), 1), 240);
    EXPECT_EQ(MealNet(ctx, T(8, 0), T(16, 0), 0), 420);
    // Dinner also counts a day earlier.
    TRunContext d;
    d.rule.Rule_shamfrom = T(19, 0);
    d.rule.Rule_shamto = T(20, 0);
    EXPECT_EQ(MealNet(d, T(19, 30) - 1440, T(21, 0) - 1440, 0), 60);
    // Nothing left is 0, never negative.
    EXPECT_EQ(MealNet(ctx, T(16, 0), T(17, 0), 1), 0);
}

TEST(SegmentMeasuresTest, PenaltyWindowsAndLunchOverlap) {
    TRunContext ctx;
    ctx.rule.Rule_gtf1 = T(6, 0);
    ctx.rule.Rule_gte1 = T(10, 0);
    ctx.rule.Rule_gtp1 = 50;
    ctx.rule.Rule_gtf2 = T(15, 0);
    ctx.rule.Rule_gte2 = T(17, 0);
    ctx.rule.Rule_gtp2 = 25;
    EXPECT_EQ(PenaltyMinutes(ctx, T(8, 0), T(9, 0)), 30);
    EXPECT_EQ(PenaltyMinutes(ctx, T(9, 0), T(16, 0)), 30 + 15);  // starts in window 1, runs into window 2
    EXPECT_EQ(PenaltyMinutes(ctx, T(11, 0), T(12, 0)), 0);
    EXPECT_EQ(PenaltyMinutes(ctx, T(8, 0), T(8, 5)), 2);  // 2.5 goes to the even neighbour

    ctx.rule.Rule_naharfrom = T(12, 0);
    ctx.rule.Rule_naharto = T(13, 0);
    ctx.rule.Rule_naharlimit = 20;
    EXPECT_EQ(LunchOverlap(ctx, T(12, 10), T(12, 40)), 20);
    EXPECT_EQ(LunchOverlap(ctx, T(11, 50), T(12, 5)), 5);
}

// One scheduled day walked with a rule variant; the walk's fields.
struct WalkCase {
    const char* name;
    std::vector<std::pair<std::int32_t, std::int32_t>> shift;
    std::vector<TPunchPair> pairs;
    std::function<void(rule_type&)> rule;
    std::int32_t pure, total, takhir, validTakhir, tajil, validTajil, validLess, hourAbs, between;
};

class SegmentWalkTest : public EngineFixture {
protected:
    TEngineState WalkOne(const WalkCase& c) {
        ctx.rule = rule_type{};
        if (c.rule) c.rule(ctx.rule);
        ctx.days = TDayArray{};
        Period("1403/05/01", 1);
        Shift(1, c.shift);
        Punches(1, c.pairs);
        return Walk(1);
    }
};

TEST_F(SegmentWalkTest, DayCases) {
    const auto day = std::vector<std::pair<std::int32_t, std::int32_t>>{{T(8, 0), T(16, 0)}};
    const auto split = std::vector<std::pair<std::int32_t, std::int32_t>>{{T(8, 0), T(12, 0)}, {T(13, 0), T(17, 0)}};
    const auto lunch = [](rule_type& r) {
        r.Rule_naharfrom = T(12, 0);
        r.Rule_naharto = T(13, 0);
        r.Rule_naharlimit = 20;
    };
    const auto penalty = [](rule_type& r) {
        r.Rule_gtactive = true;
        r.Rule_gtf1 = T(6, 0);
        r.Rule_gte1 = T(10, 0);
        r.Rule_gtp1 = 50;
    };
    const WalkCase cases[] = {
        {"normal day", day, {{T(8, 0), T(16, 0)}}, nullptr, 480, 480, 0, 0, 0, 0, 0, 0, 0},
        {"late within allowance", day, {{T(8, 10), T(16, 0)}}, [](rule_type& r) { r.Rule_GMT1 = 15; },
         470, 470, 0, 10, 0, 0, 10, 0, 0},
        {"late beyond allowance, excess only", day, {{T(8, 20), T(16, 0)}},
         [](rule_type& r) { r.Rule_GMT1 = 15; r.Rule_gkbh = false; }, 460, 460, 5, 15, 0, 0, 15, 5, 0},
        {"late beyond allowance, all of it", day, {{T(8, 20), T(16, 0)}},
         [](rule_type& r) { r.Rule_GMT1 = 15; r.Rule_gkbh = true; }, 460, 460, 20, 0, 0, 0, 0, 20, 0},
        {"early leave beyond allowance", day, {{T(8, 0), T(15, 30)}},
         [](rule_type& r) { r.Rule_gmt2 = 10; r.Rule_gkbh = false; }, 450, 450, 0, 0, 20, 10, 10, 20, 0},
        {"early leave within allowance", day, {{T(8, 0), T(15, 55)}}, [](rule_type& r) { r.Rule_gmt2 = 10; },
         475, 475, 0, 0, 0, 5, 5, 0, 0},
        {"absence inside the shift", day, {{T(8, 0), T(10, 0)}, {T(11, 0), T(16, 0)}}, nullptr,
         420, 420, 0, 0, 0, 0, 0, 0, 60},
        {"two ranges, late after the break", split, {{T(8, 0), T(12, 0)}, {T(13, 30), T(17, 0)}}, nullptr,
         450, 450, 0, 0, 0, 0, 0, 0, 30},
        {"two ranges, away in the break counts with Rule_gebein", split,
         {{T(8, 0), T(12, 0)}, {T(13, 30), T(17, 0)}}, [](rule_type& r) { r.Rule_gebein = true; },
         450, 450, 0, 0, 0, 0, 0, 60, 30},
        {"two ranges, present through the break", split, {{T(8, 0), T(17, 0)}}, nullptr,
         480, 480, 0, 0, 0, 0, 0, 0, 0},
        {"two ranges, second range missed", split, {{T(8, 0), T(12, 0)}}, nullptr,
         240, 240, 0, 0, 0, 0, 0, 240, 0},
        {"lunch window counts as work", day, {{T(8, 0), T(12, 10)}, {T(12, 40), T(16, 0)}}, lunch,
         470, 470, 0, 0, 0, 0, 0, 0, 10},
        {"lunch credit is given once a day", day,
         {{T(8, 0), T(12, 10)}, {T(12, 40), T(15, 0)}, {T(15, 30), T(16, 0)}}, lunch,
         440, 440, 0, 0, 0, 0, 0, 0, 40},
        {"lateness in a penalty window", day, {{T(9, 0), T(16, 0)}},
         [&](rule_type& r) { penalty(r); r.Rule_gkbh = false; }, 390, 390, 60, 0, 0, 0, 0, 90, 0},
        {"whole first range missed is penalised once", {{T(8, 0), T(10, 0)}, {T(11, 0), T(16, 0)}},
         {{T(11, 0), T(16, 0)}}, penalty, 240, 240, 120, 0, 0, 0, 0, 180, 0},
        {"justified lateness card forgiven with Rule_gtmm", day, {{T(8, 20), T(16, 0), 1, 0}},
         [](rule_type& r) { r.Rule_gtmm = true; }, 480, 480, 0, 0, 0, 0, 0, 0, 0},
        {"justified lateness card ignored without Rule_gtmm", day, {{T(8, 20), T(16, 0), 1, 0}}, nullptr,
         460, 460, 20, 0, 0, 0, 0, 20, 0},
        {"leave until the end of the shift with Rule_gtmm", day, {{T(8, 0), T(10, 0), 0, 2}},
         [](rule_type& r) { r.Rule_gtmm = true; }, 480, 480, 0, 0, 0, 0, 0, 0, 0},
        {"leave until the end of the shift without Rule_gtmm", day, {{T(8, 0), T(10, 0), 0, 2}}, nullptr,
         120, 120, 0, 0, 360, 0, 0, 360, 0},
        {"segment lengths rounded", day, {{T(8, 0), T(15, 50)}},
         [](rule_type& r) { r.Rule_isroundCalc = true; r.Rule_roundtimeCalc = 15; r.Rule_roundtypeCalc = 2; },
         465, 465, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        TEngineState es = WalkOne(c);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
        EXPECT_EQ(r.Prc_TakhirLessWork, c.takhir);
        EXPECT_EQ(r.Prc_validTakhir, c.validTakhir);
        EXPECT_EQ(r.Prc_TajilLessWork, c.tajil);
        EXPECT_EQ(r.Prc_validTajil, c.validTajil);
        EXPECT_EQ(r.Prc_ValidLessWork, c.validLess);
        EXPECT_EQ(r.Prc_HourAbsence, c.hourAbs);
        EXPECT_EQ(r.BetweenAbsence, c.between);
    }
}

// Early leave made up by before-shift overtime already counted on the day.
TEST_F(SegmentWalkTest, EarlyLeaveCompensatedByOvertime) {
    struct Case {
        bool allOrNothing;
        std::int32_t pure, tajil, overtimeLeft;
    } cases[] = {{false, 470, 10, 30}, {true, 450, 30, 50}};
    for (const Case& c : cases) {
        ctx.rule = rule_type{};
        ctx.rule.Rule_t2e1d = 20;
        ctx.rule.Rule_t1e2b = c.allOrNothing;  // 30 minutes exceed the 20 that may be made up
        Period("1403/05/01", 1);
        Shift(1, {{T(8, 0), T(16, 0)}});
        Punches(1, {{T(8, 0), T(15, 30)}});
        TEngineState es;
        es.DayNumber = 1;
        es.Day = &Day(1);
        es.Line = BuildTimeline(ctx, Day(1));
        es.W.BeforeFirst = true;
        es.Rec.Prc_ValidAddWork = 50;
        SegmentWalk(ctx, es);
        EXPECT_EQ(es.Rec.Prc_PureWork, c.pure);
        EXPECT_EQ(es.Rec.Prc_TajilLessWork, c.tajil);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, c.tajil);
        EXPECT_EQ(es.Rec.Prc_ValidAddWork, c.overtimeLeft);
    }
}

// Away over the whole break on an hourly mission.
TEST_F(SegmentWalkTest, MissionInTheBreak) {
    for (bool allowed : {true, false}) {
        ctx.rule = rule_type{};
        ctx.rule.Rule_masg = allowed;
        ctx.rule.Rule_makar = true;
        Period("1403/05/01", 1);
        Shift(1, {{T(8, 0), T(12, 0)}, {T(13, 0), T(17, 0)}});
        Punches(1, {{T(8, 0), T(11, 40), 0, 51}, {T(13, 10), T(17, 0)}});
        ctx.period.CodeMinutes.fill(0);
        TEngineState es = Walk(1);
        // 11:40-12:00 and 13:00-13:10 inside the ranges are mission either way.
        EXPECT_EQ(es.Rec.Prc_HourMission, 30 + (allowed ? 60 : 0));
        EXPECT_EQ(es.Rec.Prc_HourMission51, 30 + (allowed ? 60 : 0));
        EXPECT_EQ(ctx.period.CodeMinutes[51], 30 + (allowed ? 60 : 0));
        EXPECT_EQ(es.Rec.Prc_PureWork, 220 + 230 + 30 + (allowed ? 60 : 0));
        EXPECT_EQ(es.Rec.Prc_HourAbsence, 0);
    }
}

// Out and in again inside the break: hourly absence with Rule_gebein, unless
// Rule_eba puts the break outside the shift.
TEST_F(SegmentWalkTest, AwayInsideTheBreak) {
    struct Case {
        bool gebein, eba;
        std::int32_t hourAbsence;
    } cases[] = {{false, false, 0}, {true, false, 10}, {true, true, 0}};
    for (const Case& c : cases) {
        ctx.rule = rule_type{};
        ctx.rule.Rule_gebein = c.gebein;
        ctx.rule.Rule_eba = c.eba;
        Period("1403/05/01", 1);
        Shift(1, {{T(8, 0), T(12, 0)}, {T(13, 0), T(17, 0)}});
        Punches(1, {{T(8, 0), T(12, 10)}, {T(12, 20), T(17, 0)}});
        TEngineState es = Walk(1);
        EXPECT_EQ(es.Rec.Prc_HourAbsence, c.hourAbsence) << c.gebein << c.eba;
        EXPECT_EQ(es.Rec.Prc_PureWork, 480);
        EXPECT_EQ(es.Rec.BetweenAbsence, 0);
    }
}

// Leaving in the first range and coming back in the break: the rest of the
// range is absence inside the shift, the part of the break before the return
// hourly absence with Rule_gebein.
TEST_F(SegmentWalkTest, BackInTheBreak) {
    ctx.rule.Rule_gebein = true;
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(12, 0)}, {T(13, 0), T(17, 0)}});
    Punches(1, {{T(8, 0), T(11, 0)}, {T(12, 30), T(17, 0)}});
    TEngineState es = Walk(1);
    EXPECT_EQ(es.Rec.BetweenAbsence, 60);
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 30);
    EXPECT_EQ(es.Rec.Prc_PureWork, 180 + 240);
    EXPECT_EQ(es.Rec.Prc_TajilLessWork, 0);
}

TEST_F(SegmentWalkTest, NightShiftAcrossMidnight) {
    Period("1403/05/01", 2);
    // 22:00 to 06:00 of the next morning.
    Shift(1, {{T(22, 0), T(30, 0)}});
    Punches(1, {{T(22, 0), T(30, 0)}});
    TEngineState late = Walk(1);
    EXPECT_EQ(late.Rec.Prc_NormWork, 480);
    EXPECT_EQ(late.Rec.Prc_PureWork, 480);
    EXPECT_EQ(late.Rec.Prc_PureWorkKham, 480);
    EXPECT_EQ(late.Rec.Prc_PureWorkNight, 480);
    EXPECT_EQ(late.W.NightPresence, 480);
    EXPECT_EQ(late.Rec.Prc_PresenceWork, 480);

    // A shift started the evening before (from -60) and ending 05:00.
    Shift(2, {{-60, T(5, 0)}});
    Punches(2, {{-60, T(5, 0)}});
    TEngineState early = Walk(2);
    EXPECT_EQ(early.Rec.Prc_PureWork, 360);
    EXPECT_EQ(early.Rec.Prc_PureWorkNight, 360);
}

TEST_F(SegmentWalkTest, OutWithDailyLeaveCodeCarriesTheCode) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(10, 0), 0, 41}});
    ctx.balances.EntitledLeaveBalance = {10, 0};
    TEngineState es = Walk(1);
    EXPECT_EQ(es.W.CurrentCode, 21);
    EXPECT_EQ(es.CarriedCode, 41);
    EXPECT_EQ(es.W.FirstCode, 41);
    EXPECT_EQ(es.Rec.Prc_PureWork, 120 + 360);  // the leave counts as work (Rule_mokar)
    // The rest of the day is the leave's, not early leave.
    EXPECT_EQ(es.Rec.Prc_TajilLessWork, 0);
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 0);
    EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, 360);
}

TEST_F(SegmentWalkTest, IncompletePairAndSpecialWindow) {
    ctx.rule.Rule_startvijeh = T(14, 0);
    ctx.rule.Rule_endvijeh = T(20, 0);
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(12, 0)}, {T(15, 0), T(15, 0), 0, 97}});
    TEngineState es = Walk(1);
    EXPECT_EQ(es.Rec.Prc_AbsenceNaghes, 1);
    EXPECT_EQ(es.Rec.Prc_PresenceSpecial, 0);

    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(16, 0)}});
    EXPECT_EQ(Walk(1).Rec.Prc_PresenceSpecial, 120);
}

TEST_F(SegmentWalkTest, DayWithoutPunchesIsLateForTheWholeRange) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    TEngineState es = Walk(1);
    EXPECT_EQ(es.Rec.Prc_PureWork, 0);
    EXPECT_EQ(es.Rec.Prc_PresenceWork, 0);
    EXPECT_EQ(es.Rec.Prc_TakhirLessWork, 480);
    EXPECT_EQ(es.Rec.Prc_HourAbsence, 480);
}

}  // namespace
}  // namespace attcalc::test
