// Overtime: presence outside the scheduled intervals as the segment walk
// accounts it, and the day's overtime steps (bonus and tiers, coefficients,
// the daily cap, the worked holiday, the daily permit with its carry, free,
// fixed and credited overtime, mission credits, the holiday and Friday
// split, overtime to leave, the night shift, on-call duty, rounding and the
// worked non-working day).
//
// Every expected value is worked out by hand from the rules. The daily caps
// Rule_emaxa and Rule_emaxt are set out of reach in the engine runs, so that
// the cap of the day-code step leaves these days alone; the cap itself is
// tested on its own.
#include <functional>
#include <vector>

#include "EngineFixture.h"
#include "calendar/Holidays.h"
#include "engine/PeriodState.h"

namespace attcalc::test {
namespace {

std::int32_t T(int h, int m) { return h * 60 + m; }

using Ranges = std::vector<std::pair<std::int32_t, std::int32_t>>;
const Ranges kDay = {{T(8, 0), T(16, 0)}};

class OvertimeTest : public EngineFixture {
protected:
    // A clean period of n days from `first` with a rule that sets nothing but
    // the daily caps out of reach.
    void Fresh(const std::string& first = "1403/05/01", int n = 1) {
        ctx.rule = rule_type{};
        ctx.rule.Rule_emaxa = 999;
        ctx.rule.Rule_emaxt = 999;
        ctx.days = TDayArray{};
        ctx.period.PunchTotal = 0;
        ctx.period.DailyOvertimePermit.fill(0);
        ctx.period.FreeOvertime.fill(0);
        ctx.period.PermitFrom.clear();
        ctx.period.PermitTo.clear();
        ctx.holidays = THolidayCalendar{};
        Period(first, n);
    }
    // Overtime before and after the shift counted in full.
    static void NoLimits(rule_type& r) {
        r.Rule_emaxg = 999;
        r.Rule_emaxb = 999;
    }
};

// ---- Segment rules ------------------------------------------------------------

struct SegmentCase {
    const char* name;
    Ranges shift;
    std::vector<TPunchPair> pairs;
    std::function<void(rule_type&)> rule;
    std::int32_t valid, invalid, before, after, bein, night, total, authorized, otBefore, otAfter;
};

// Before 30 ... 60 and after 30 ... 60 minutes.
void Bounds(rule_type& r) {
    r.Rule_eming = 30;
    r.Rule_emaxg = 60;
    r.Rule_eminb = 30;
    r.Rule_emaxb = 60;
}

TEST_F(OvertimeTest, SegmentRules) {
    const Ranges split = {{T(8, 0), T(12, 0)}, {T(13, 0), T(17, 0)}};
    const Ranges night = {{T(22, 0), T(30, 0)}};  // 22:00 to 06:00 of the next morning
    const SegmentCase cases[] = {
        // 60 before (valid), 90 after of which 60 valid and 30 invalid.
        {"before and after the shift within and beyond the bounds", kDay, {{T(7, 0), T(17, 30)}}, Bounds,
         120, 30, 60, 60, 0, 0, 600, 0, 60, 90},
        // 20 minutes before the shift are below Rule_eming.
        {"too little before the shift counts nowhere", kDay, {{T(7, 40), T(17, 30)}}, Bounds,
         60, 30, 0, 60, 0, 0, 540, 0, 20, 90},
        {"too little after the shift counts nowhere", kDay, {{T(8, 0), T(16, 20)}}, Bounds,
         0, 0, 0, 0, 0, 0, 480, 0, 0, 20},
        {"before the shift beyond Rule_emaxg", kDay, {{T(6, 30), T(16, 0)}}, Bounds,
         60, 30, 60, 0, 0, 0, 540, 0, 90, 0},
        // The breakfast window takes 30 of the 60 minutes from the valid
        // overtime; the gross amounts keep the whole hour.
        {"meal window inside the before-shift overtime", kDay, {{T(7, 0), T(16, 0)}},
         [](rule_type& r) { Bounds(r); r.Rule_sobhanehfrom = T(7, 0); r.Rule_sobhanehto = T(7, 30); },
         30, 0, 60, 0, 0, 0, 540, 0, 60, 0},
        // The overtime card: 180 minutes, 60 of them at night (before 06:00),
        // all authorised past Rule_emaxg.
        {"overtime card before the shift", kDay, {{T(5, 0), T(16, 0), kCodeOvertime, 0}}, Bounds,
         0, 0, 0, 0, 0, 60, 660, 180, 180, 0},
        // Within Rule_emaxg the card's time is also gross before-shift overtime.
        {"short overtime card before the shift", kDay, {{T(7, 30), T(16, 0), kCodeOvertime, 0}}, Bounds,
         0, 0, 30, 0, 0, 0, 510, 30, 30, 0},
        {"overtime card after the shift", kDay, {{T(8, 0), T(16, 0)}, {T(17, 0), T(18, 0), kCodeOvertime, 0}},
         Bounds, 0, 0, 0, 60, 0, 0, 540, 60, 0, 60},
        {"overtime card on a day without schedule", {}, {{T(9, 0), T(14, 0), kCodeOvertime, 0}}, nullptr,
         0, 0, 0, 0, 0, 0, 300, 300, 0, 0},
        {"present in the break with Rule_eba", split, {{T(8, 0), T(17, 0)}},
         [](rule_type& r) { r.Rule_eba = true; }, 60, 0, 0, 0, 60, 0, 540, 0, 0, 0},
        {"present in the break without Rule_eba", split, {{T(8, 0), T(17, 0)}}, nullptr,
         0, 0, 0, 0, 0, 0, 480, 0, 0, 0},
        // Back after the shift twice: 90 minutes (30 at night from 18:00)
        // give the day's 60, the next 30 (all at night) find no room left.
        {"after the shift from later pairs, one maximum for the day", kDay,
         {{T(8, 0), T(16, 0)}, {T(17, 0), T(18, 30)}, {T(19, 0), T(19, 30)}}, Bounds,
         60, 60, 0, 60, 0, 60, 540, 0, 0, 60},
        // 300 minutes present, 30 of them in the lunch window.
        {"day without schedule", {}, {{T(9, 0), T(14, 0)}},
         [](rule_type& r) { r.Rule_nahar1from = T(12, 0); r.Rule_nahar1to = T(12, 30); r.Rule_eba = true; },
         270, 30, 0, 0, 270, 0, 270, 0, 0, 0},
        // A night shift: the hour before it is night overtime, the hour after
        // 06:00 is not.
        {"night shift with overtime on both sides", night, {{T(21, 0), T(31, 0)}}, NoLimits,
         120, 0, 60, 60, 0, 60, 600, 0, 60, 60},
    };
    for (const SegmentCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        if (c.rule) c.rule(ctx.rule);
        Shift(1, c.shift);
        Punches(1, c.pairs);
        TEngineState es = Walk(1);
        const TDayRecord& r = es.Rec;
        EXPECT_EQ(r.Prc_ValidAddWork, c.valid);
        EXPECT_EQ(r.Prc_InvalidAddWork, c.invalid);
        EXPECT_EQ(r.Prc_ValidAddWorkBefore, c.before);
        EXPECT_EQ(r.Prc_ValidAddWorkafter, c.after);
        EXPECT_EQ(r.Prc_ValidAddWorkbein, c.bein);
        EXPECT_EQ(r.Prc_ValidAddWorkNight, c.night);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
        EXPECT_EQ(r.AuthorizedOvertime, c.authorized);
        EXPECT_EQ(ctx.period.OvertimeTotals[kOtBefore], c.otBefore);
        EXPECT_EQ(ctx.period.OvertimeTotals[kOtAfter], c.otAfter);
    }
}

TEST_F(OvertimeTest, MealWindowsOfADayWithoutScheduleAreUnusable) {
    Fresh();
    ctx.rule.Rule_nahar1from = T(12, 0);
    ctx.rule.Rule_nahar1to = T(12, 30);
    Shift(1, {});
    Punches(1, {{T(9, 0), T(14, 0)}});
    TEngineState es = Walk(1);
    EXPECT_EQ(es.W.OutsideUnusable, 30);
    EXPECT_EQ(es.Rec.Prc_ValidAddWorkbein, 0);  // without Rule_eba
}

// Hourly overtime permits (code 3) cover part of the presence outside the
// shift; an on-call permit (86) counts its overlap as on-call time.
TEST_F(OvertimeTest, HourlyPermitSplitsThePresence) {
    Fresh();
    Bounds(ctx.rule);
    ctx.rule.Rule_ehmojavvez = true;
    Shift(1, kDay);
    Punches(1, {{T(7, 0), T(17, 30)}});
    Request(1, T(16, 0), T(17, 0), kCodeOvertime);
    Request(1, T(16, 30), T(18, 0), kCodeOnCall);

    TEngineState es = Walk(1);
    const TDayRecord& w = es.Rec;
    // Before: 60 minutes, none covered. After: 90 minutes, 60 covered.
    EXPECT_EQ(w.Prc_ValidAddWork, 0);
    EXPECT_EQ(w.Prc_InvalidAddWork, 60 + 30);
    EXPECT_EQ(w.Prc_ValidAddWorkBefore, 60);
    EXPECT_EQ(w.Prc_ValidAddWorkafter, 30);
    EXPECT_EQ(w.AuthorizedOvertime, 60);
    EXPECT_EQ(w.Prc_TotalWork, 480 + 60);
    EXPECT_EQ(w.Prc_keshiktime, 60);
    EXPECT_EQ(es.W.BeforePermitted, 0);
    EXPECT_EQ(es.W.AfterPermitted, 60);

    // The day adds the authorised hour to the valid overtime and the covered
    // part to the gross after-shift overtime.
    Fresh();
    Bounds(ctx.rule);
    ctx.rule.Rule_ehmojavvez = true;
    Shift(1, kDay);
    Punches(1, {{T(7, 0), T(17, 30)}});
    Request(1, T(16, 0), T(17, 0), kCodeOvertime);
    Request(1, T(16, 30), T(18, 0), kCodeOnCall);
    Run();
    const TDayRecord& r = Result(1);
    EXPECT_EQ(r.Prc_ValidAddWork, 60);
    EXPECT_EQ(r.Prc_InvalidAddWork, 90);
    EXPECT_EQ(r.Prc_ValidAddWorkBefore, 60);
    EXPECT_EQ(r.Prc_ValidAddWorkafter, 90);
    EXPECT_EQ(r.Prc_TotalWork, 540);
    EXPECT_EQ(r.Prc_keshiktime, 60);

    // On a day without schedule the permit alone decides.
    Fresh();
    ctx.rule.Rule_ehmojavvez = true;
    Shift(1, {});
    Punches(1, {{T(9, 0), T(11, 0)}});
    Request(1, T(8, 0), T(10, 0), kCodeOvertime);
    Run();
    EXPECT_EQ(Result(1).Prc_ValidAddWork, 60);
    EXPECT_EQ(Result(1).Prc_InvalidAddWork, 60);
    EXPECT_EQ(Result(1).Prc_TotalWork, 60);
}

// ---- Day steps through the engine -------------------------------------------

struct BonusCase {
    const char* name;
    std::int32_t in, out;
    std::function<void(rule_type&)> rule;
    std::int32_t before, after, valid;
};

TEST_F(OvertimeTest, BeforeShiftBonusAndAfterShiftTiers) {
    const auto tiers = [](rule_type& r) {
        r.Rule_ebaad1 = 45, r.Rule_ebaad2 = 60;
        r.Rule_ebaad11 = 70, r.Rule_ebaad12 = 80;
        r.Rule_ebaad21 = 0, r.Rule_ebaad22 = 30;
    };
    const auto bonus = [](std::int32_t from, std::int32_t to) {
        return [=](rule_type& r) { r.Rule_eghabl1 = from, r.Rule_eghabl2 = to; };
    };
    const BonusCase cases[] = {
        {"50 after the shift reach the first tier", T(8, 0), T(16, 50), tiers, 0, 60, 60},
        {"44 lie below the first tier", T(8, 0), T(16, 44), tiers, 0, 44, 44},
        {"61 lie between the tiers", T(8, 0), T(17, 1), tiers, 0, 61, 61},
        {"75 reach the second tier", T(8, 0), T(17, 15), tiers, 0, 80, 80},
        {"20 reach the tier from 0", T(8, 0), T(16, 20), tiers, 0, 30, 30},
        {"no overtime after the shift gets no tier", T(8, 0), T(16, 0), tiers, 0, 0, 0},
        {"40 before the shift reach the bonus", T(7, 20), T(16, 0), bonus(30, 45), 55, 0, 55},
        {"20 before the shift do not", T(7, 40), T(16, 0), bonus(30, 45), 20, 0, 20},
        {"no overtime before the shift gets no bonus", T(8, 0), T(16, 0), bonus(0, 15), 0, 0, 0},
    };
    for (const BonusCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        NoLimits(ctx.rule);
        c.rule(ctx.rule);
        Shift(1, kDay);
        Punches(1, {{c.in, c.out}});
        Run();
        const TDayRecord& r = Result(1);
        EXPECT_EQ(r.Prc_ValidAddWorkBefore, c.before);
        EXPECT_EQ(r.Prc_ValidAddWorkafter, c.after);
        EXPECT_EQ(r.Prc_ValidAddWork, c.valid);
        EXPECT_EQ(r.Prc_TotalWork, 480 + c.valid);
    }
}

// The day-kind coefficient: normal day (two tiers), unofficial holiday with
// a schedule, day without schedule, official holiday without schedule; 100
// minutes of overtime each.
TEST_F(OvertimeTest, CoefficientsByDayKind) {
    Fresh("1403/05/01", 4);
    rule_type& R = ctx.rule;
    NoLimits(R);
    R.Rule_eza = 40, R.Rule_ezatime = 60, R.Rule_eza1 = 50;  // 60 at 40 % and 40 at 50 %: 44
    R.Rule_ezt = 20, R.Rule_ezttime = 0, R.Rule_ezt1 = 20;
    R.Rule_ezg = 30, R.Rule_ezgtime = 0, R.Rule_ezg1 = 30;
    R.Rule_ezr = 50, R.Rule_ezrtime = 0, R.Rule_ezr1 = 50;
    Holiday(1403, 5, 2, false, true);
    Holiday(1403, 5, 4, true, false);
    Shift(1, kDay);
    Shift(2, kDay);
    Shift(3, {});
    Shift(4, {});
    Punches(1, {{T(8, 0), T(17, 40)}});
    Punches(2, {{T(8, 0), T(17, 40)}});
    Punches(3, {{T(9, 0), T(10, 40)}});
    Punches(4, {{T(9, 0), T(10, 40)}});
    Run();
    struct Want {
        std::uint8_t type;
        std::int32_t valid, total;
    } want[] = {{0, 144, 624}, {2, 120, 600}, {1, 130, 130}, {5, 150, 150}};
    for (int d = 1; d <= 4; ++d) {
        SCOPED_TRACE(d);
        const TDayRecord& r = Result(d);
        EXPECT_EQ(r.Prc_Type, want[d - 1].type);
        EXPECT_EQ(r.Prc_ValidAddWork, want[d - 1].valid);
        EXPECT_EQ(r.Prc_TotalWork, want[d - 1].total);
        EXPECT_EQ(r.Prc_ValidAddWorkNight, 0);
    }
}

// Night overtime: the night coefficient on a normal day; on every other day
// the night overtime is first raised by the official-holiday percentages,
// then by the night (or holiday night) coefficient.
TEST_F(OvertimeTest, NightCoefficients) {
    Fresh("1403/05/01", 3);
    rule_type& R = ctx.rule;
    NoLimits(R);
    R.Rule_ezshab = 50, R.Rule_ezshabtime = 0, R.Rule_ezshab1 = 50;
    R.Rule_ezshabt = 100, R.Rule_ezshabttime = 0, R.Rule_ezshabt1 = 100;
    R.Rule_ezr = 25, R.Rule_ezrtime = 0, R.Rule_ezr1 = 25;
    Holiday(1403, 5, 3, true, false);
    Shift(1, kDay);
    Shift(2, {});
    Shift(3, kDay);
    Punches(1, {{T(5, 20), T(16, 0)}});  // 160 before the shift, 40 of them before 06:00
    Punches(2, {{T(4, 0), T(8, 0)}});    // 240 on a day without schedule, 120 at night
    Punches(3, {{T(5, 20), T(16, 0)}});  // as day 1 on an official holiday with a schedule
    Run();
    // Day 1: night 40 + 20; valid 160 + 20.
    EXPECT_EQ(Result(1).Prc_ValidAddWorkNight, 60);
    EXPECT_EQ(Result(1).Prc_ValidAddWork, 180);
    EXPECT_EQ(Result(1).Prc_TotalWork, 660);
    // Day 2: night 120 + 30 (Rule_ezr) = 150, + 75 (night); valid 240 + 75.
    EXPECT_EQ(Result(2).Prc_ValidAddWorkNight, 225);
    EXPECT_EQ(Result(2).Prc_ValidAddWork, 315);
    EXPECT_EQ(Result(2).Prc_TotalWork, 315);
    // Day 3: valid 160 + 40 (Rule_ezr); night 40 + 10, + 50 (holiday night).
    EXPECT_EQ(Result(3).Prc_ValidAddWorkNight, 100);
    EXPECT_EQ(Result(3).Prc_ValidAddWork, 250);
    EXPECT_EQ(Result(3).Prc_TotalWork, 730);
}

// A night shift 22:00-06:00 with an hour on each side; a day without night
// presence is no night shift even when the rule asks for no night minutes.
TEST_F(OvertimeTest, NightShift) {
    Fresh("1403/05/01", 3);
    NoLimits(ctx.rule);
    Shift(1, {{T(22, 0), T(30, 0)}});
    Punches(1, {{T(21, 0), T(31, 0)}});
    Shift(2, kDay);
    Punches(2, {{T(8, 0), T(16, 0)}});
    Shift(3, kDay);
    Run();
    const TDayRecord& n = Result(1);
    EXPECT_EQ(n.Prc_PureWorkNights, 1);  // 540 night minutes present, Rule_night 480
    EXPECT_EQ(n.Prc_ValidAddWork, 120);
    EXPECT_EQ(n.Prc_ValidAddWorkNight, 60);
    EXPECT_EQ(n.Prc_ValidAddWorkBefore, 60);
    EXPECT_EQ(n.Prc_ValidAddWorkafter, 60);
    EXPECT_EQ(n.Prc_TotalWork, 600);
    EXPECT_EQ(Result(2).Prc_PureWorkNights, 0);

    Fresh("1403/05/01", 1);
    ctx.rule.Rule_night = 0;
    Shift(1, kDay);
    Run();
    EXPECT_EQ(Result(1).Prc_PureWorkNights, 0);
}

// A worked scheduled holiday earns Rule_etk; a Friday without schedule and a
// holiday split their overtime into the Friday and holiday fields.
TEST_F(OvertimeTest, WorkedHolidayAndFriday) {
    Fresh("1403/05/04", 3);  // Thursday, Friday, Saturday
    ASSERT_EQ(WeekdayOfText("1403/05/05"), 6);
    rule_type& R = ctx.rule;
    NoLimits(R);
    R.Rule_etk = 120;
    R.Rule_nahar1from = T(12, 30);
    R.Rule_nahar1to = T(13, 0);
    Holiday(1403, 5, 4, true, false);
    Holiday(1403, 5, 6, true, false);
    Shift(1, kDay);
    Punches(1, {{T(8, 0), T(17, 0)}});
    Shift(2, {});
    Punches(2, {{T(9, 0), T(13, 0)}});
    Shift(3, kDay);  // a scheduled holiday without presence
    Run();

    const TDayRecord& h = Result(1);
    EXPECT_EQ(h.Prc_ValidAddWork, 60 + 120);
    EXPECT_EQ(h.Prc_ValidAddWorkHolliday, 180);
    EXPECT_EQ(h.Prc_ValidAddWorkHolNoFr, 180);
    EXPECT_EQ(h.Prc_InValidAddWorkHolNoFr, 0);
    EXPECT_EQ(h.Prc_ValidAddWorkfriday, 0);
    EXPECT_EQ(h.Prc_ValidAddWorkNoworkday, 0);

    const TDayRecord& f = Result(2);
    EXPECT_EQ(f.Prc_ValidAddWork, 210);
    EXPECT_EQ(f.Prc_InvalidAddWork, 30);
    EXPECT_EQ(f.Prc_ValidAddWorkfriday, 210);
    EXPECT_EQ(f.Prc_InValidAddWorkfriday, 30);
    EXPECT_EQ(f.Prc_ValidAddWorkNoworkday, 210);
    EXPECT_EQ(f.Prc_ValidAddWorkHolliday, 0);
    EXPECT_EQ(f.Prc_ValidAddWorkHolNoFr, 0);

    EXPECT_EQ(Result(3).Prc_ValidAddWork, 0);
    EXPECT_EQ(Result(3).Prc_ValidAddWorkHolliday, 0);
}

struct PermitCase {
    const char* name;
    std::int32_t permit;
    std::vector<TPunchPair> pairs;
    std::function<void(rule_type&)> rule;
    std::int32_t valid, invalid, after, total;
};

TEST_F(OvertimeTest, DailyPermit) {
    const PermitCase cases[] = {
        {"overtime beyond the permit is invalid", 60, {{T(8, 0), T(17, 30)}}, nullptr, 60, 30, 90, 540},
        // The walk keeps 60 of the 90 after-shift minutes; the permit of 120
        // takes the other 30 back.
        {"room under the permit takes invalid overtime back", 120, {{T(8, 0), T(17, 30)}},
         [](rule_type& r) { r.Rule_emaxb = 60; }, 90, 0, 60, 570},
        // 20 before and 90 after; the permit of 30 and 10 allowed without
        // permit limit the after-shift part to 40.
        {"permit for after-shift overtime only", 30, {{T(7, 40), T(17, 30)}},
         [](rule_type& r) { r.Rule_emojavvezafter = true; r.Rule_emojazday = 10; }, 60, 50, 40, 540},
        // The card's 120 minutes need no permit and no Rule_emaxg.
        {"overtime card bypasses the permit", 0, {{T(6, 0), T(16, 0), kCodeOvertime, 0}},
         [](rule_type& r) { r.Rule_emaxg = 60; }, 120, 0, 0, 600},
    };
    for (const PermitCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        NoLimits(ctx.rule);
        ctx.rule.Rule_emojavvez = true;
        if (c.rule) c.rule(ctx.rule);
        ctx.period.DailyOvertimePermit[0] = c.permit;
        Shift(1, kDay);
        Punches(1, c.pairs);
        Run();
        const TDayRecord& r = Result(1);
        EXPECT_EQ(r.Prc_ValidAddWork, c.valid);
        EXPECT_EQ(r.Prc_InvalidAddWork, c.invalid);
        EXPECT_EQ(r.Prc_ValidAddWorkafter, c.after);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
    }
}

// A day whose last pair runs on into the next day hands its unused permit
// to that day; other days keep it.
TEST_F(OvertimeTest, UnusedPermitCarriesOverWithTheOpenPair) {
    for (bool open : {true, false}) {
        SCOPED_TRACE(open ? "open pair" : "closed day");
        Fresh("1403/05/01", 2);
        NoLimits(ctx.rule);
        ctx.rule.Rule_emojavvez = true;
        ctx.period.DailyOvertimePermit[0] = 60;
        Shift(1, kDay);
        Punches(1, {{T(8, 0), T(16, 30)}});
        if (open) Day(1).Mark28 = 28;
        Shift(2, kDay);
        Punches(2, {{T(8, 0), T(16, 50)}});
        Run();
        EXPECT_EQ(Result(1).Prc_ValidAddWork, 30);
        EXPECT_EQ(ctx.period.DailyOvertimePermit[1], open ? 30 : 0);
        EXPECT_EQ(Result(2).Prc_ValidAddWork, open ? 30 : 0);
        EXPECT_EQ(Result(2).Prc_InvalidAddWork, open ? 20 : 50);
        EXPECT_EQ(Result(2).Prc_TotalWork, open ? 510 : 480);
    }
}

struct CreditCase {
    const char* name;
    std::function<void(TRunContext&)> setup;
    std::int32_t valid, invalid, pure, total, hourAbsence, free;
};

// Free overtime of the grid, fixed overtime, the presence credit and invalid
// overtime made valid, on a full day 08:00-16:00 (or to 17:30).
TEST_F(OvertimeTest, FreeFixedAndCreditedOvertime) {
    const CreditCase cases[] = {
        {"free overtime", [](TRunContext& c) { c.period.FreeOvertime[0] = 45; }, 45, 0, 480, 480, 0, 45},
        {"negative free overtime is owed time", [](TRunContext& c) { c.period.FreeOvertime[0] = -30; },
         0, 0, 450, 450, 30, -30},
        {"owed time beyond the net work", [](TRunContext& c) { c.period.FreeOvertime[0] = -480; },
         0, 0, 0, 0, 480, -480},
        {"fixed overtime out of the net work", [](TRunContext& c) { c.rule.Rule_efix = 60; },
         60, 0, 420, 480, 0, 0},
        {"fixed overtime larger than the net work", [](TRunContext& c) { c.rule.Rule_efix = 600; },
         480, 0, 0, 480, 0, 0},
        {"presence credit", [](TRunContext& c) { c.rule.Rule_ehd = 15; }, 15, 0, 480, 480, 0, 0},
    };
    for (const CreditCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        c.setup(ctx);
        Shift(1, kDay);
        Punches(1, {{T(8, 0), T(16, 0)}});
        Run();
        const TDayRecord& r = Result(1);
        EXPECT_EQ(r.Prc_ValidAddWork, c.valid);
        EXPECT_EQ(r.Prc_InvalidAddWork, c.invalid);
        EXPECT_EQ(r.Prc_PureWork, c.pure);
        EXPECT_EQ(r.Prc_TotalWork, c.total);
        EXPECT_EQ(r.Prc_HourAbsence, c.hourAbsence);
        EXPECT_EQ(r.Prc_ValidAddWorkFree, c.free);
    }

    // Rule_egm: the 30 invalid minutes after the shift become valid.
    Fresh();
    ctx.rule.Rule_emaxb = 60;
    ctx.rule.Rule_egm = true;
    Shift(1, kDay);
    Punches(1, {{T(8, 0), T(17, 30)}});
    Run();
    EXPECT_EQ(Result(1).Prc_ValidAddWork, 90);
    EXPECT_EQ(Result(1).Prc_InvalidAddWork, 0);
    EXPECT_EQ(Result(1).Prc_TotalWork, 570);
}

// Mission credits, on-call duty, negative overtime for a leave code, the
// worked non-working day and the result rounding.
TEST_F(OvertimeTest, LateDaySteps) {
    {
        SCOPED_TRACE("daily mission on a working day, 24-hour mission on a holiday");
        Fresh("1403/05/01", 2);
        ctx.rule.Rule_emday = 120;
        ctx.rule.Rule_emdayt = 999;
        ctx.rule.Rule_emshr = 999;
        ctx.rule.Rule_emshrt = 200;
        Holiday(1403, 5, 2, true, false);
        Shift(1, kDay);
        Day(1).DayCode = 61;
        Shift(2, kDay);
        Day(2).DayCode = 71;
        Run();
        EXPECT_EQ(Result(1).Prc_ValidAddWork, 120);
        EXPECT_EQ(Result(2).Prc_ValidAddWork, 200);
    }
    {
        SCOPED_TRACE("on-call duty out of holiday overtime");
        Fresh();
        ctx.rule.Rule_edkeshik = 240;
        Holiday(1403, 5, 1, true, false);
        Shift(1, {});
        Punches(1, {{T(9, 0), T(14, 0)}});
        Run();
        EXPECT_EQ(Result(1).Prc_keshik, 1);
        EXPECT_EQ(Result(1).Prc_ValidAddWorkHolliday, 60);
        EXPECT_EQ(Result(1).Prc_ValidAddWork, 60);
    }
    {
        SCOPED_TRACE("worked non-working day");
        Fresh();
        ctx.rule.Rule_enoworkday = 240;
        ctx.rule.Rule_enoworkkasr = 60;
        Shift(1, {});
        Punches(1, {{T(9, 0), T(14, 0)}});
        Run();
        EXPECT_EQ(Result(1).Prc_addnoworkday, 1);
        EXPECT_EQ(Result(1).Prc_ValidAddWork, 240);
        EXPECT_EQ(Result(1).Prc_ValidAddWorkNoworkday, 300);
    }
    {
        SCOPED_TRACE("a daily leave charged as negative overtime");
        Fresh();
        ctx.rule.Rule_moezcode = 43;
        ctx.rule.Rule_moezkasr = 30;
        Shift(1, kDay);
        Day(1).DayCode = 43;
        Run();
        EXPECT_EQ(Result(1).Prc_ValidAddWork, -30);
    }
    {
        // 100 minutes after the shift; results rounded down to quarter hours.
        SCOPED_TRACE("result rounding");
        Fresh();
        NoLimits(ctx.rule);
        ctx.rule.Rule_isroundCalc = true;
        ctx.rule.Rule_roundtimeCalc = 15;
        ctx.rule.Rule_roundtypeCalc = 2;
        Shift(1, kDay);
        Punches(1, {{T(8, 0), T(17, 40)}});
        Run();
        EXPECT_EQ(Result(1).Prc_ValidAddWorkafter, 100);
        EXPECT_EQ(Result(1).Prc_ValidAddWork, 90);
        EXPECT_EQ(Result(1).Prc_TotalWork, 570);
    }
}

// ---- Steps called on their own --------------------------------------------------

struct CapCase {
    const char* name;
    std::int32_t norm, presence, valid, authorized, total, emaxt;
    bool permit;
    std::int32_t wantValid, wantInvalid, wantTotal, wantLunch;
};

// The daily cap of the day-code step: Rule_emaxa on a scheduled day, the
// lunch deduction and Rule_emaxt on a day without schedule; authorised
// overtime (the card) is never capped.
TEST_F(OvertimeTest, DailyCap) {
    const CapCase cases[] = {
        {"scheduled day above the cap", 480, 600, 150, 50, 630, 0, false, 110, 40, 590, 0},
        {"scheduled day under the cap", 480, 560, 50, 0, 530, 0, false, 50, 0, 530, 0},
        {"scheduled day with the daily permit", 480, 600, 150, 50, 630, 0, true, 150, 0, 630, 0},
        {"no schedule: lunch, then the cap", 0, 500, 300, 0, 300, 200, false, 200, 100, 200, 30},
        {"no schedule with the daily permit: lunch only", 0, 500, 300, 0, 300, 200, true, 270, 30, 270, 30},
        {"no schedule, short presence, card", 0, 300, 300, 100, 300, 150, false, 250, 50, 250, 0},
    };
    for (const CapCase& c : cases) {
        SCOPED_TRACE(c.name);
        TRunContext ctx2;
        rule_type& R = ctx2.rule;
        R.Rule_emaxa = 60;
        R.Rule_emaxt = c.emaxt;
        R.Rule_egkl = 480;
        R.Rule_egknahar = 30;
        R.Rule_emojavvez = c.permit;
        TEngineState es;
        es.Rec.Prc_NormWork = c.norm;
        es.Rec.Prc_PresenceWork = c.presence;
        es.Rec.Prc_ValidAddWork = c.valid;
        es.Rec.AuthorizedOvertime = c.authorized;
        es.Rec.Prc_TotalWork = c.total;
        OvertimeDailyCap(ctx2, es);
        EXPECT_EQ(es.Rec.Prc_ValidAddWork, c.wantValid);
        EXPECT_EQ(es.Rec.Prc_InvalidAddWork, c.wantInvalid);
        EXPECT_EQ(es.Rec.Prc_TotalWork, c.wantTotal);
        EXPECT_EQ(es.W.LunchCredit, c.wantLunch);
    }
}

// Friday and holiday overtime credited as entitled leave.
TEST_F(OvertimeTest, OvertimeToLeave) {
    struct Case {
        const char* name;
        int weekday;
        std::uint8_t type;
        bool friday, holiday;
        std::int32_t days, minutes;
    } cases[] = {
        {"Friday overtime", 6, 1, true, false, 3, 40},
        {"Friday overtime, flag off", 6, 1, false, true, 2, 400},
        {"holiday other than Friday", 2, 5, false, true, 3, 40},
        {"both flags on a Friday holiday count the Friday only", 6, 5, true, true, 3, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRunContext ctx2;
        ctx2.rule.Rule_mohr = 480;
        ctx2.rule.Rule_EzJomehEMor = c.friday;
        ctx2.rule.Rule_EztnoJomehEMor = c.holiday;
        ctx2.balances.EntitledLeaveBalance = {2, 400};
        TEngineState es;
        es.W.Weekday = c.weekday;
        es.Rec.Prc_Type = c.type;
        es.Rec.Prc_ValidAddWork = 120;
        MissionHolidayNightOvertime(ctx2, es);
        const bool credited = c.days == 3;
        EXPECT_EQ(es.Rec.Prc_HourEleaveSalary, credited ? -120 : 0);
        EXPECT_EQ(ctx2.period.CodeMinutes[kCodeHourlyEntitledLeave], credited ? -120 : 0);
        EXPECT_EQ(ctx2.balances.EntitledLeaveBalance.Days, c.days);
        EXPECT_EQ(ctx2.balances.EntitledLeaveBalance.Minutes, c.minutes);
    }
}

}  // namespace
}  // namespace attcalc::test
