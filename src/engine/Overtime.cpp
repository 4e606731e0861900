// Overtime: presence outside the scheduled intervals and the day's overtime
// steps.
//
// The segment walk hands every stretch of presence outside the intervals to
// one of the segment rules below; they split it into valid overtime
// (prc_validaddwork), invalid overtime (Prc_InvalidAddWork), the gross
// before-shift, after-shift and break amounts, night overtime and the
// overtime that needs no further check (AuthorizedOvertime: presence after an
// overtime card, and the parts an hourly overtime permit covers). The day
// loop then runs the day steps in their fixed order: bonus and tiers,
// coefficients, the daily cap, the worked holiday, the daily permit, free,
// fixed and credited overtime, mission credits, the holiday and Friday split,
// overtime to leave, the night shift, on-call duty, rounding and the worked
// non-working day.
#include <algorithm>

#include "engine/PeriodState.h"
#include "engine/SegmentWalk.h"
#include "engine/Stages.h"

namespace attcalc {

namespace {

constexpr std::uint8_t kTypeNoSchedule = 1;  // Prc_Type bit 0
constexpr std::uint8_t kTypeUnofficial = 2;  // Prc_Type bit 1
constexpr std::uint8_t kTypeOfficial = 4;    // Prc_Type bit 2
constexpr std::uint8_t kTypeHoliday = kTypeUnofficial | kTypeOfficial;
constexpr int kFriday = 6;

bool OvertimeCard(const TEngineState& es) { return es.W.CurrentCode == kCodeOvertime; }

int DayClassOf(const TEngineState& es) { return es.Day ? es.Day->DayClass : 0; }

// Total overlap of [start, end] with the day's requests of `code` that start
// no later than `end`, at most end - start and not below 0.
std::int32_t RequestCover(const TEngineState& es, std::int32_t start, std::int32_t end, int code) {
    if (!es.Day) return 0;
    const DayInput& day = *es.Day;
    const int n = std::clamp<int>(day.RequestCount, 0, kMaxRequests);
    std::int32_t sum = 0;
    for (int i = 0; i < n; ++i) {
        const TTimedRequest& q = day.Requests[i];
        if (q.Code != code || q.Start > end) continue;
        const std::int32_t v = std::min(end, q.End) - std::max(start, q.Start);
        if (v > 0) sum += v;
    }
    return std::clamp(sum, 0, std::max(0, end - start));
}

// Before-shift presence long enough to count, without overtime card and
// without hourly permits: at most Rule_emaxg of it is valid.
void PlainBeforeShift(const rule_type& R, TDayRecord& r, const TSegment& s) {
    if (s.Length > R.Rule_emaxg) {
        r.Prc_ValidAddWork += R.Rule_emaxg;
        if (s.Net > R.Rule_emaxg) r.Prc_InvalidAddWork += s.Net - R.Rule_emaxg;
        r.Prc_TotalWork += R.Rule_emaxg;
        r.Prc_ValidAddWorkBefore += R.Rule_emaxg;
    } else {
        r.Prc_ValidAddWork += s.Net;
        r.Prc_TotalWork += s.Length;
        r.Prc_ValidAddWorkBefore += s.Length;
    }
}

// Presence before the first interval that ends at an out point.
void BeforeShiftToOut(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    r.Prc_ValidAddWorkNight += s.Night;
    if (s.Length >= R.Rule_eming) {
        if (OvertimeCard(es)) {
            r.AuthorizedOvertime += s.Length;
            r.Prc_TotalWork += s.Length;
        } else if (R.Rule_ehmojavvez) {
            const TPermitSplit p = PermitSplit(ctx, es, s.Start, s.End);
            r.Prc_ValidAddWorkBefore += p.Uncovered;
            es.W.BeforePermitted += p.Covered;
        } else {
            PlainBeforeShift(R, r, s);
        }
    }
    ctx.period.OvertimeTotals[kOtBefore] += s.Length;
}

// Presence after the last interval from an in point to an out point. No
// minimum applies; the maximum Rule_emaxb holds for the day's after-shift
// overtime as a whole.
void AfterShiftFromIn(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    r.Prc_ValidAddWorkNight += s.Night;
    if (OvertimeCard(es)) {
        r.Prc_ValidAddWorkafter += s.Length;
        r.AuthorizedOvertime += s.Length;
        r.Prc_TotalWork += s.Length;
        ctx.period.OvertimeTotals[kOtAfter] += s.Length;
    } else if (R.Rule_ehmojavvez) {
        const TPermitSplit p = PermitSplit(ctx, es, s.Start, s.End);
        r.Prc_ValidAddWorkafter += p.Uncovered;
        es.W.AfterPermitted += p.Covered;
    } else {
        std::int32_t x = std::min(s.Net, R.Rule_emaxb);
        if (r.Prc_ValidAddWorkafter + x > R.Rule_emaxb) x = R.Rule_emaxb - r.Prc_ValidAddWorkafter;
        if (x < 0) x = 0;
        r.Prc_ValidAddWorkafter += x;
        r.Prc_ValidAddWork += x;
        r.Prc_TotalWork += x;
        ctx.period.OvertimeTotals[kOtAfter] += x;
        r.Prc_InvalidAddWork += s.Length - x;
    }
}

// Presence on a day without schedule. What the meal windows (and the window
// of a non-working day) take away is invalid and kept in OutsideUnusable.
void UnscheduledPresence(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    r.Prc_ValidAddWorkNight += s.Night;
    if (OvertimeCard(es)) {
        r.AuthorizedOvertime += s.Length;
        r.Prc_TotalWork += s.Length;
    } else if (R.Rule_ehmojavvez) {
        PermitSplit(ctx, es, s.Start, s.End);
    } else {
        const std::int32_t x = std::min(s.Length, s.Net);
        r.Prc_ValidAddWork += x;
        r.Prc_TotalWork += x;
        if (R.Rule_eba) r.Prc_ValidAddWorkbein += x;
        r.Prc_InvalidAddWork += s.Length - x;
        es.W.OutsideUnusable += s.Length - x;
    }
}

// The first after-shift tier whose closed range holds v gives its target.
bool AfterShiftTarget(const rule_type& R, std::int32_t v, std::int32_t& target) {
    const std::int32_t tiers[3][2] = {{R.Rule_ebaad1, R.Rule_ebaad2},
                                      {R.Rule_ebaad11, R.Rule_ebaad12},
                                      {R.Rule_ebaad21, R.Rule_ebaad22}};
    for (const auto& t : tiers) {
        if (t[0] <= v && v <= t[1]) {
            target = t[1];
            return true;
        }
    }
    return false;
}

// Overtime turned into entitled leave: the day's hourly entitled leave drops
// by x (a credit) and the year's balance gains x minutes.
void OvertimeToLeave(TRunContext& ctx, TEngineState& es, std::int32_t x) {
    es.Rec.Prc_HourEleaveSalary -= x;
    ctx.period.CodeMinutes[kCodeHourlyEntitledLeave] -= x;
    TBalance& b = ctx.balances.EntitledLeaveBalance;
    BalanceAdd(b.Days, b.Minutes, 0, ctx.rule.Rule_mohr, x);
}

}  // namespace

TPermitSplit PermitSplit(TRunContext&, TEngineState& es, std::int32_t start, std::int32_t end) {
    TDayRecord& r = es.Rec;
    TPermitSplit p;
    p.Covered = RequestCover(es, start, end, kCodeOvertime);
    const std::int32_t onCall = RequestCover(es, start, end, kCodeOnCall);
    r.Prc_TotalWork += p.Covered;
    r.AuthorizedOvertime += p.Covered;
    p.Uncovered = (end - start) - p.Covered;
    r.Prc_InvalidAddWork += p.Uncovered;
    r.Prc_keshiktime += onCall;
    return p;
}

// ---- Segment rules ------------------------------------------------------------

void OutsidePresence(TRunContext& ctx, TEngineState& es) {
    const TDayWork& w = es.W;
    if (w.BeforeFirst)
        BeforeShiftToOut(ctx, es);
    else if (w.AfterLast)
        AfterShiftFromIn(ctx, es);
    else if (DayClassOf(es) != 0)
        UnscheduledPresence(ctx, es);
    else
        // In a break that Rule_eba opens to overtime: only its night counts
        // here, the break itself is accounted at the interval points.
        es.Rec.Prc_ValidAddWorkNight += w.Seg.Night;
}

void BeforeShiftOvertime(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    ctx.period.OvertimeTotals[kOtBefore] += s.Length;
    if (s.Length < R.Rule_eming) return;  // too short: not even its night counts

    if (s.Length > R.Rule_emaxg) {
        if (OvertimeCard(es)) {
            r.AuthorizedOvertime += s.Length;
            r.Prc_TotalWork += s.Length;
        } else if (R.Rule_ehmojavvez) {
            const TPermitSplit p = PermitSplit(ctx, es, s.Start, s.End);
            r.Prc_ValidAddWorkBefore += p.Uncovered;
            es.W.BeforePermitted += p.Covered;
        } else {
            PlainBeforeShift(R, r, s);
        }
        r.Prc_ValidAddWorkNight += s.Night;
        return;
    }
    if (R.Rule_ehmojavvez && !OvertimeCard(es)) {
        const TPermitSplit p = PermitSplit(ctx, es, s.Start, s.End);
        r.Prc_ValidAddWorkBefore += p.Uncovered;
        es.W.BeforePermitted += p.Covered;
        r.Prc_ValidAddWorkNight += s.Night;
        return;
    }
    if (OvertimeCard(es))
        r.AuthorizedOvertime += s.Length;
    else
        r.Prc_ValidAddWork += s.Net;
    r.Prc_ValidAddWorkNight += s.Night;
    r.Prc_TotalWork += s.Length;
    r.Prc_ValidAddWorkBefore += s.Length;
}

void AfterShiftOvertime(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    ctx.period.OvertimeTotals[kOtAfter] += s.Net;  // also below the minimum
    if (s.Net < R.Rule_eminb) return;

    r.Prc_ValidAddWorkNight += s.Night;
    if (OvertimeCard(es)) {
        r.AuthorizedOvertime += s.Length;
        r.Prc_TotalWork += s.Length;
        r.Prc_ValidAddWorkafter += s.Net;
    } else if (R.Rule_ehmojavvez) {
        const TPermitSplit p = PermitSplit(ctx, es, s.Start, s.End);
        r.Prc_ValidAddWorkafter += p.Uncovered;
        es.W.AfterPermitted += p.Covered;
    } else if (s.Net > R.Rule_emaxb) {
        r.Prc_ValidAddWork += R.Rule_emaxb;
        r.Prc_InvalidAddWork += s.Length - R.Rule_emaxb;
        r.Prc_TotalWork += R.Rule_emaxb;
        r.Prc_ValidAddWorkafter += R.Rule_emaxb;
    } else {
        r.Prc_ValidAddWork += s.Net;
        r.Prc_TotalWork += s.Net;
        r.Prc_ValidAddWorkafter += s.Net;
    }
}

void BreakPresence(TRunContext& ctx, TEngineState& es) {
    if (!ctx.rule.Rule_eba) return;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    r.Prc_ValidAddWork += s.Net;
    r.Prc_ValidAddWorkbein += s.Net;
    r.Prc_TotalWork += s.Length;
    r.Prc_ValidAddWorkNight += s.Night;
}

// ---- Day steps ----------------------------------------------------------------

void OvertimeBonusAndTiers(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    // 1. Before-shift overtime reaching Rule_eghabl1 counts
    //    Rule_eghabl2 - Rule_eghabl1 more. A day without before-shift
    //    overtime gets nothing, also when Rule_eghabl1 is 0.
    if (r.Prc_ValidAddWorkBefore > 0 && r.Prc_ValidAddWorkBefore >= R.Rule_eghabl1) {
        const std::int32_t x = R.Rule_eghabl2 - R.Rule_eghabl1;
        r.Prc_TotalWork += x;
        r.Prc_ValidAddWork += x;
        r.Prc_ValidAddWorkBefore += x;
    }
    // 2. After-shift tiers: the overtime becomes the target of the first
    //    tier that holds it. A tier starting at 0 does not give overtime to
    //    a day that has none after the shift.
    const std::int32_t v = r.Prc_ValidAddWorkafter;
    std::int32_t target = 0;
    if (v > 0 && AfterShiftTarget(R, v, target)) {
        r.Prc_TotalWork += target - v;
        r.Prc_ValidAddWork += target - v;
        r.Prc_ValidAddWorkafter = target;
    }
}

void AddAuthorizedOvertime(TRunContext&, TEngineState& es) {
    es.Rec.Prc_ValidAddWork += es.Rec.AuthorizedOvertime;
}

void OvertimeCoefficients(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    const std::uint8_t type = r.Prc_Type;
    // 5. By the kind of day: official holiday, unofficial holiday, no
    //    schedule, normal day.
    std::int32_t x;
    if (type & kTypeOfficial)
        x = TierPercent(r.Prc_ValidAddWork, R.Rule_ezrtime, R.Rule_ezr, R.Rule_ezr1);
    else if (type & kTypeUnofficial)
        x = TierPercent(r.Prc_ValidAddWork, R.Rule_ezttime, R.Rule_ezt, R.Rule_ezt1);
    else if (type & kTypeNoSchedule)
        x = TierPercent(r.Prc_ValidAddWork, R.Rule_ezgtime, R.Rule_ezg, R.Rule_ezg1);
    else
        x = TierPercent(r.Prc_ValidAddWork, R.Rule_ezatime, R.Rule_eza, R.Rule_eza1);
    r.Prc_TotalWork += x;
    r.Prc_ValidAddWork += x;
    // On every day that is not a normal working day the night overtime is
    // raised by the official-holiday coefficients (Rule_ezr...), whatever
    // kind of day it is; the night coefficients below come on top.
    if (type & (kTypeNoSchedule | kTypeHoliday))
        r.Prc_ValidAddWorkNight += TierPercent(r.Prc_ValidAddWorkNight, R.Rule_ezrtime, R.Rule_ezr, R.Rule_ezr1);

    // 6. Night coefficient, with the holiday percentages on a holiday.
    const std::int32_t y =
        (type & kTypeHoliday)
            ? TierPercent(r.Prc_ValidAddWorkNight, R.Rule_ezshabttime, R.Rule_ezshabt, R.Rule_ezshabt1)
            : TierPercent(r.Prc_ValidAddWorkNight, R.Rule_ezshabtime, R.Rule_ezshab, R.Rule_ezshab1);
    r.Prc_TotalWork += y;
    r.Prc_ValidAddWork += y;
    r.Prc_ValidAddWorkNight += y;
}

void OvertimeDailyCap(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    // "Scheduled" as the day-code step chooses its branch: the day still
    // has required work.
    if (r.Prc_NormWork != 0) {
        if (R.Rule_emojavvez) return;  // the daily permit decides instead
        std::int32_t v = r.Prc_ValidAddWork - r.AuthorizedOvertime;
        if (v > R.Rule_emaxa) {
            r.Prc_InvalidAddWork += v - R.Rule_emaxa;
            r.Prc_TotalWork -= v - R.Rule_emaxa;
            v = R.Rule_emaxa;
        }
        r.Prc_ValidAddWork = v + r.AuthorizedOvertime;
        return;
    }
    // A day without schedule: lunch is deducted from a long enough
    // presence, with or without the daily permit.
    if (r.Prc_PresenceWork >= R.Rule_egkl && r.Prc_ValidAddWork > 0) {
        const std::int32_t d = std::min(r.Prc_ValidAddWork, R.Rule_egknahar);
        r.Prc_ValidAddWork -= d;
        r.Prc_TotalWork -= d;
        r.Prc_InvalidAddWork += d;
        es.W.LunchCredit = d;
    }
    if (R.Rule_emojavvez) return;
    std::int32_t v = r.Prc_ValidAddWork - r.AuthorizedOvertime;
    if (v > R.Rule_emaxt) {
        r.Prc_InvalidAddWork += v - R.Rule_emaxt;
        v = R.Rule_emaxt;
    }
    r.Prc_ValidAddWork = r.Prc_TotalWork = v + r.AuthorizedOvertime;
}

void WorkedHolidayCredit(TRunContext& ctx, TEngineState& es) {
    TDayRecord& r = es.Rec;
    // 8. A scheduled holiday the person came to work on. Without any
    //    presence the holiday was not worked and earns no credit.
    if ((r.Prc_Type & kTypeHoliday) && !(r.Prc_Type & kTypeNoSchedule) && r.Prc_PresenceWork > 0) {
        r.Prc_ValidAddWork += ctx.rule.Rule_etk;
        r.Prc_TotalWork += ctx.rule.Rule_etk;
    }
}

void DailyOvertimePermitRule(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    if (!R.Rule_emojavvez) return;
    PeriodState& ps = ctx.period;
    TDayRecord& r = es.Rec;
    const int d = es.DayNumber;
    const std::size_t n = ps.DailyOvertimePermit.size();
    const std::int32_t P = d >= 1 && static_cast<std::size_t>(d) <= n ? ps.DailyOvertimePermit[d - 1] : 0;
    const std::int32_t F = es.W.OvertimeWithoutPermit;
    const std::int32_t W = r.Prc_ValidAddWork - r.AuthorizedOvertime;
    r.Prc_ValidAddWork = W;

    if (R.Rule_emojavvezafter && r.Prc_NormWork > 0) {
        // The permit covers after-shift overtime only.
        if (P + F < r.Prc_ValidAddWorkafter) {
            const std::int32_t A = r.Prc_ValidAddWorkafter - F;
            r.Prc_TotalWork += P - A;
            r.Prc_ValidAddWork = W + P - A;
            r.Prc_InvalidAddWork += A - P;
            r.Prc_ValidAddWorkafter = P + F;
        }
    } else if (P + F < W) {
        r.Prc_TotalWork += P + F - W;
        r.Prc_InvalidAddWork += W - F - P;
        r.Prc_ValidAddWork = P + F;
    } else if (P > 0) {
        // Room left under the permit takes back invalid overtime, but not
        // what the meal windows or the lunch deduction removed.
        std::int32_t x = std::min(P + F - W, r.Prc_InvalidAddWork - es.W.OutsideUnusable) - es.W.LunchCredit;
        if (x < 0) x = 0;
        r.Prc_ValidAddWork += x;
        r.Prc_TotalWork += x;
        r.Prc_InvalidAddWork -= x;
    }

    // A day whose last pair runs on into the next day hands the unused
    // permit on to that day.
    const std::int32_t rest = std::max(0, P + F - r.Prc_ValidAddWork);
    if ((r.Prc_28 == 28 || r.Prc_28 == 29) && d >= 1 && static_cast<std::size_t>(d) < n)
        ps.DailyOvertimePermit[d] += rest;

    r.Prc_ValidAddWork += r.AuthorizedOvertime;
}

void FreeFixedCreditedOvertime(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    PeriodState& ps = ctx.period;
    TDayRecord& r = es.Rec;
    const int d = es.DayNumber;

    // 11. Free overtime entered for the day; a negative entry is time owed.
    const std::int32_t a = d >= 1 && static_cast<std::size_t>(d) <= ps.FreeOvertime.size()
                               ? ps.FreeOvertime[static_cast<std::size_t>(d - 1)]
                               : 0;
    r.Prc_ValidAddWorkFree = a;
    if (a < 0) {
        r.Prc_HourAbsence += -a;
        if (-a < r.Prc_PureWork) {
            r.Prc_PureWork += a;
            r.Prc_TotalWork += a;
        } else {
            r.Prc_PureWork = 0;
            r.Prc_TotalWork = 0;
        }
    } else {
        r.Prc_ValidAddWork += a;
    }

    // 12. Fixed overtime: part of the net work of a scheduled day that is
    //     not a daily leave counts as overtime.
    const int c = es.W.CurrentCode;
    if (r.Prc_NormWork > 0 && !CodeIn(c, 31, 47) && R.Rule_efix > 0) {
        if (R.Rule_efix < r.Prc_PureWork) {
            r.Prc_PureWork -= R.Rule_efix;
            r.Prc_ValidAddWork += R.Rule_efix;
        } else {
            r.Prc_ValidAddWork += r.Prc_PureWork;
            r.Prc_PureWork = 0;
        }
    }

    // 13. Presence credit.
    if (R.Rule_ehd > 0 && r.Prc_PresenceWork > 0) r.Prc_ValidAddWork += R.Rule_ehd;

    // 14. Invalid overtime made valid.
    if (R.Rule_egm) {
        r.Prc_ValidAddWork += r.Prc_InvalidAddWork;
        r.Prc_TotalWork += r.Prc_InvalidAddWork;
        r.Prc_InvalidAddWork = 0;
    }
}

void MissionHolidayNightOvertime(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    const bool holiday = (r.Prc_Type & kTypeHoliday) != 0;

    // 16. Overtime credited for a day of mission.
    const int c = es.W.CurrentCode;
    std::int32_t credit = 0;
    if (IsFullMissionCode(c))
        credit = holiday ? R.Rule_emshrt : R.Rule_emshr;
    else if (IsDailyMissionCode(c))
        credit = holiday ? R.Rule_emdayt : R.Rule_emday;
    r.Prc_ValidAddWork += credit;
    r.Prc_TotalWork += credit;

    // 17. Holiday, non-working-day and Friday overtime.
    if (holiday) r.Prc_ValidAddWorkHolliday = r.Prc_ValidAddWork;
    if (r.Prc_Type & kTypeNoSchedule) r.Prc_ValidAddWorkNoworkday = r.Prc_ValidAddWork;
    if (es.W.Weekday == kFriday) {
        r.Prc_ValidAddWorkfriday = r.Prc_ValidAddWork;
        r.Prc_InValidAddWorkfriday = r.Prc_InvalidAddWork;
    } else if (holiday) {
        r.Prc_ValidAddWorkHolNoFr = r.Prc_ValidAddWork;
        r.Prc_InValidAddWorkHolNoFr = r.Prc_InvalidAddWork;
    }

    // 18. Friday and holiday overtime also credited as entitled leave.
    if (R.Rule_EzJomehEMor) OvertimeToLeave(ctx, es, r.Prc_ValidAddWorkfriday);
    if (R.Rule_EztnoJomehEMor) OvertimeToLeave(ctx, es, r.Prc_ValidAddWorkHolNoFr);

    // 19. Night shift: enough presence at night. A day without any night
    //     presence is never a night shift, also when Rule_night is 0.
    if (es.W.NightPresence > 0 && es.W.NightPresence >= R.Rule_night) r.Prc_PureWorkNights = 1;
}

void OvertimeFinal(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;

    // 20. On-call duty out of holiday overtime.
    r.Prc_keshik = 0;
    if (R.Rule_edkeshik > 0 && r.Prc_ValidAddWorkHolliday >= R.Rule_edkeshik) {
        r.Prc_keshik = 1;
        r.Prc_ValidAddWorkHolliday -= R.Rule_edkeshik;
        r.Prc_ValidAddWork -= R.Rule_edkeshik;
    }

    // 21. Permit-covered overtime joins the gross before- and after-shift
    //     amounts.
    r.Prc_ValidAddWorkafter += es.W.AfterPermitted;
    r.Prc_ValidAddWorkBefore += es.W.BeforePermitted;

    // 22. A daily leave of the code Rule_moezcode is charged as negative
    //     overtime.
    const int c = es.W.CurrentCode;
    if (c != 0 && c == R.Rule_moezcode) r.Prc_ValidAddWork -= R.Rule_moezkasr;

    // 23. Result rounding.
    r.Prc_TotalWork = CalcRound(ctx, r.Prc_TotalWork);
    r.Prc_ValidAddWork = CalcRound(ctx, r.Prc_ValidAddWork);
    r.Prc_ValidAddWorkNight = CalcRound(ctx, r.Prc_ValidAddWorkNight);
    r.Prc_HourAbsence = CalcRound(ctx, r.Prc_HourAbsence);

    // 24. Enough overtime on a holiday or a day without schedule counts as
    //     one worked non-working day, and costs Rule_enoworkkasr of it.
    if (R.Rule_enoworkday > 0 && r.Prc_ValidAddWork >= R.Rule_enoworkday &&
        (r.Prc_Type & (kTypeNoSchedule | kTypeHoliday))) {
        r.Prc_addnoworkday = 1;
        r.Prc_ValidAddWork -= R.Rule_enoworkkasr;
    }
}

}  // namespace attcalc
