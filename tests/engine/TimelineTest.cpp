// The day timeline: punch rounding, point order, request merging, pre-pass.
#include <vector>

#include "EngineFixture.h"
#include "engine/PeriodState.h"
#include "engine/Timeline.h"

namespace attcalc::test {
namespace {

std::int32_t T(int h, int m) { return h * 60 + m; }

std::vector<int> Kinds(const Timeline& line) {
    std::vector<int> k;
    for (const TimePoint& p : line.Points) k.push_back(p.Kind);
    return k;
}

bool Sorted(const Timeline& line) {
    for (std::size_t i = 1; i < line.Points.size(); ++i)
        if (line.Points[i].Time < line.Points[i - 1].Time) return false;
    return true;
}

TEST(PunchRoundTest, MethodsAndSteps) {
    struct Case {
        int method, step;
        std::int32_t in, out;
    } cases[] = {
        {3, 15, T(8, 7), T(8, 0)},   {3, 15, T(8, 8), T(8, 15)},  {3, 10, T(8, 5), T(8, 10)},
        {4, 0, T(8, 19), T(8, 0)},   {4, 0, T(8, 20), T(8, 30)},  {4, 0, T(8, 40), T(9, 0)},
        {1, 15, T(8, 1), T(8, 15)},  {1, 15, T(8, 15), T(8, 15)}, {2, 15, T(8, 14), T(8, 0)},
        {3, 0, T(8, 7), T(8, 7)},    {9, 15, T(8, 7), T(8, 7)},
        // 22:37 and 22:38 of the previous day round like any other 22:37 / 22:38.
        {3, 15, -83, -90},           {3, 15, -82, -75},           {2, 15, -1, -15},
    };
    TRunContext ctx;
    ctx.rule.Rule_isround = true;
    for (const Case& c : cases) {
        ctx.rule.Rule_roundtype = c.method;
        ctx.rule.Rule_roundtime = c.step;
        EXPECT_EQ(PunchRound(ctx, c.in), c.out) << "method " << c.method << " step " << c.step << " at " << c.in;
    }
    ctx.rule.Rule_isround = false;
    EXPECT_EQ(PunchRound(ctx, T(8, 7)), T(8, 7));
}

class TimelineTest : public EngineFixture {};

TEST_F(TimelineTest, IntervalPointsComeFirstAtEqualTimes) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(12, 0)}, {T(13, 0), T(17, 0)}});
    Punches(1, {{T(8, 0), T(12, 0)}, {T(13, 0), T(17, 0)}});
    Timeline line = BuildTimeline(ctx, Day(1));
    EXPECT_EQ(Kinds(line), (std::vector<int>{2, 0, 4, 1, 3, 0, 5, 1}));
}

TEST_F(TimelineTest, EmptyRangesAreNotScheduled) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(12, 0)}, {0, 0}, {T(13, 0), T(17, 0)}});
    Timeline line = BuildTimeline(ctx, Day(1));
    EXPECT_EQ(Kinds(line), (std::vector<int>{2, 4, 3, 5}));
}

TEST_F(TimelineTest, PairTimesAreRoundedInPlace) {
    ctx.rule.Rule_isround = true;
    ctx.rule.Rule_roundtype = 3;
    ctx.rule.Rule_roundtime = 15;
    Period("1403/05/01", 1);
    Punches(1, {{T(8, 7), T(16, 8)}});
    Timeline line = BuildTimeline(ctx, Day(1));
    EXPECT_EQ(Day(1).Pairs[0].In, T(8, 0));
    EXPECT_EQ(Day(1).Pairs[0].Out, T(16, 15));
    EXPECT_EQ(line.Points[0].Time, T(8, 0));
    EXPECT_EQ(line.Points[1].Time, T(16, 15));
}

// A leave request next to an out punch gives that punch the code, but only
// when the rule asks for leave permits.
TEST_F(TimelineTest, LeaveRequestCodesTheOutPunchOnlyWithPermits) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(10, 0)}, {T(12, 0), T(16, 0)}});
    Request(1, T(10, 0), T(11, 30), 21);

    Timeline off = BuildTimeline(ctx, Day(1));
    MergeRequests(ctx, Day(1), off);
    EXPECT_EQ(off.Points[2].Code, 0);

    ctx.rule.Rule_momojavvez = true;
    Timeline on = BuildTimeline(ctx, Day(1));
    MergeRequests(ctx, Day(1), on);
    ASSERT_EQ(on.Count(), 6);
    EXPECT_EQ(on.Points[2].Kind, kPointOut);
    EXPECT_EQ(on.Points[2].Code, 21);
}

// A request that starts well after the person left cuts the absence in two;
// only the part from the request start carries its code.
TEST_F(TimelineTest, LateStartingRequestInsertsAZeroLengthPair) {
    ctx.rule.Rule_momojavvez = true;
    ctx.rule.Rule_mojerror = 10;
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(10, 0)}, {T(12, 0), T(16, 0)}});
    Request(1, T(10, 30), T(11, 30), 21);
    Timeline line = BuildTimeline(ctx, Day(1));
    MergeRequests(ctx, Day(1), line);
    ASSERT_EQ(line.Count(), 8);
    EXPECT_EQ(Kinds(line), (std::vector<int>{2, 0, 1, 0, 1, 0, 5, 1}));
    EXPECT_EQ(line.Points[2].Code, 0);
    EXPECT_EQ(line.Points[3].Time, T(10, 30));
    EXPECT_EQ(line.Points[4].Time, T(10, 30));
    EXPECT_EQ(line.Points[4].Code, 21);
    EXPECT_TRUE(Sorted(line));
}

// A request that covers the start of the shift but ends before the late
// arrival: the stretch is cut at the request end, the cut's in point takes
// the code and the pre-pass hands it to the interval start; what follows up
// to the arrival is absence inside the shift, not lateness.
TEST_F(TimelineTest, RequestOverTheShiftStartIsCutAtItsEnd) {
    ctx.rule.Rule_momojavvez = true;
    ctx.rule.Rule_mojerror = 10;
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(9, 0), T(16, 0)}});
    Request(1, T(8, 0), T(8, 30), 21);
    Timeline line = BuildTimeline(ctx, Day(1));
    MergeRequests(ctx, Day(1), line);
    EXPECT_EQ(Kinds(line), (std::vector<int>{2, 0, 1, 0, 5, 1}));
    EXPECT_EQ(line.Points[1].Time, T(8, 30));
    EXPECT_EQ(line.Points[2].Time, T(8, 30));
    EXPECT_EQ(line.Points[1].Code, 21);
    PrePass(ctx, line);
    EXPECT_EQ(line.Points[0].Code, 21);

    TEngineState es = Walk(1);
    EXPECT_EQ(es.Rec.Prc_TakhirLessWork, 0);
    EXPECT_EQ(es.Rec.BetweenAbsence, 30);
    EXPECT_EQ(es.Rec.Prc_PureWork, 420);
}

// A request that starts at the person's exit and ends before the shift does:
// the exit carries the code, and the stretch from the request end to the
// shift end is early leave.
TEST_F(TimelineTest, RequestEndingBeforeTheShiftEndIsCutAtItsEnd) {
    ctx.rule.Rule_momojavvez = true;
    ctx.rule.Rule_mojerror = 10;
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(14, 0)}});
    Request(1, T(14, 5), T(15, 0), 21);
    Timeline line = BuildTimeline(ctx, Day(1));
    MergeRequests(ctx, Day(1), line);
    EXPECT_EQ(Kinds(line), (std::vector<int>{2, 0, 1, 0, 1, 5}));
    EXPECT_EQ(line.Points[2].Code, 21);
    EXPECT_EQ(line.Points[3].Time, T(15, 0));
    EXPECT_EQ(line.Points[4].Code, 0);

    TEngineState es = Walk(1);
    EXPECT_EQ(es.Rec.Prc_PureWork, 360);
    EXPECT_EQ(es.Rec.Prc_TajilLessWork, 60);
    EXPECT_EQ(es.Rec.BetweenAbsence, 0);
}

// A point that wins only because it is the first uncoded one takes the code
// only when it lies within 90 minutes of the request.
TEST_F(TimelineTest, DistantFirstPointIsNotCoded) {
    struct Case {
        std::int32_t end;
        int code;
    } cases[] = {{T(9, 50), 16}, {T(8, 30), 16}, {T(8, 29), 0}};
    for (const Case& c : cases) {
        Period("1403/05/01", 1);
        Punches(1, {{T(10, 0), T(11, 40)}});
        Request(1, T(5, 0), c.end, 16);
        Timeline line = BuildTimeline(ctx, Day(1));
        MergeRequests(ctx, Day(1), line);
        ASSERT_EQ(line.Count(), 2);
        EXPECT_EQ(line.Points[0].Code, c.code) << "request to " << c.end;
        EXPECT_EQ(line.Points[1].Code, 0);
    }
}

// An open-start request from the shift start codes the interval start.
TEST_F(TimelineTest, OpenStartRequestCodesTheIntervalStart) {
    ctx.rule.Rule_momojavvez = true;
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(9, 0), T(16, 0)}});
    Request(1, 0, T(9, 0), 21);
    Timeline line = BuildTimeline(ctx, Day(1));
    MergeRequests(ctx, Day(1), line);
    EXPECT_EQ(line.Points[0].Kind, kPointFirstStart);
    EXPECT_EQ(line.Points[0].Code, 21);
}

// Overtime, on-call and presence requests are never merged.
TEST_F(TimelineTest, PermitRequestsAreNotMerged) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(17, 0)}});
    for (int code : {3, 86, 87}) Request(1, T(16, 0), T(17, 0), code);
    Timeline line = BuildTimeline(ctx, Day(1));
    MergeRequests(ctx, Day(1), line);
    for (const TimePoint& p : line.Points) EXPECT_EQ(p.Code, 0);
}

TEST_F(TimelineTest, JustifiedLatenessCardMovesOnlyAfterTheFirstIntervalStart) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(12, 0)}, {T(13, 0), T(17, 0)}});
    Punches(1, {{T(8, 20), T(12, 0), 1, 0}, {T(13, 20), T(17, 0), 1, 0}});

    Timeline off = BuildTimeline(ctx, Day(1));
    PrePass(ctx, off);
    EXPECT_EQ(off.Points[1].Time, T(8, 20));

    ctx.rule.Rule_gtmm = true;
    Timeline on = BuildTimeline(ctx, Day(1));
    PrePass(ctx, on);
    EXPECT_EQ(on.Points[1].Time, T(8, 0));   // after the first interval start: forgiven
    EXPECT_EQ(on.Points[5].Time, T(13, 20));  // after a later interval start: kept
}

// Coming in with a daily leave code: the in point gets the hourly code and the
// interval start takes it too, so the late stretch is that leave.
TEST_F(TimelineTest, InWithDailyLeaveCodeCodesTheIntervalStart) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(9, 0), T(16, 0), 41, 0}});
    Timeline line = BuildTimeline(ctx, Day(1));
    PrePass(ctx, line);
    EXPECT_EQ(line.Points[0].Code, 21);
    EXPECT_EQ(line.Points[1].Code, 21);
    EXPECT_EQ(line.Points[0].Time, T(8, 0));
}

TEST_F(TimelineTest, LeaveUntilShiftEndMovesTheOutPunch) {
    ctx.rule.Rule_gtmm = true;
    Period("1403/05/01", 3);
    // One interval.
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 0), T(10, 0), 0, 2}});
    Timeline one = BuildTimeline(ctx, Day(1));
    PrePass(ctx, one);
    EXPECT_EQ(one.Points[2].Kind, kPointOut);
    EXPECT_EQ(one.Points[2].Time, T(16, 0));
    EXPECT_EQ(one.Points[2].Code, 0);

    // Two intervals: the out point goes past the break and the list stays in order.
    Shift(2, {{T(8, 0), T(12, 0)}, {T(13, 0), T(16, 0)}});
    Punches(2, {{T(8, 0), T(10, 0), 0, 2}});
    Timeline two = BuildTimeline(ctx, Day(2));
    PrePass(ctx, two);
    EXPECT_TRUE(Sorted(two));
    EXPECT_EQ(Kinds(two), (std::vector<int>{2, 0, 4, 3, 1, 5}));

    // The person came back later: the card is not applied.
    Shift(3, {{T(8, 0), T(16, 0)}});
    Punches(3, {{T(8, 0), T(10, 0), 0, 2}, {T(14, 0), T(15, 0)}});
    Timeline back = BuildTimeline(ctx, Day(3));
    PrePass(ctx, back);
    EXPECT_TRUE(Sorted(back));
    EXPECT_EQ(back.Points[2].Time, T(10, 0));
}

// A service lateness request codes the late in punch, and with Rule_gtsm the
// lateness is forgiven.
TEST_F(TimelineTest, ServiceLatenessRequestForgivesTheLateArrival) {
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 50), T(16, 0)}});
    Request(1, T(8, 0), T(9, 0), 81);
    TEngineState without = Walk(1);
    EXPECT_EQ(without.Line.Points[1].Code, 81);
    EXPECT_EQ(without.Rec.Prc_TakhirLessWork, 50);

    ctx.rule.Rule_gtsm = true;
    Period("1403/05/01", 1);
    Shift(1, {{T(8, 0), T(16, 0)}});
    Punches(1, {{T(8, 50), T(16, 0)}});
    Request(1, T(8, 0), T(9, 0), 81);
    TEngineState with = Walk(1);
    EXPECT_EQ(with.Rec.Prc_TakhirLessWork, 0);
    EXPECT_EQ(with.Rec.Prc_PureWork, 480);
}

}  // namespace
}  // namespace attcalc::test
