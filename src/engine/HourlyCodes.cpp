// Hourly leaves and missions inside the day. A segment that carries a leave
// or mission code is checked against the day's permits when the rule demands
// one, charged against the leave balances, booked into the leave and mission
// fields, credited as work or overtime as the rule says; what no permit or
// balance covers is hour absence or unpaid leave.
#include <algorithm>

#include "engine/PeriodState.h"
#include "engine/SegmentWalk.h"
#include "engine/Stages.h"

namespace attcalc {

namespace {

constexpr int kCodeUnpaidSickLeave = 11;

// Minutes of a (days, minutes) balance; a negative balance has nothing to give.
std::int32_t Available(const TBalance& b, std::int32_t dayLength) {
    return std::max(0, b.Days * dayLength + b.Minutes);
}

void Take(TBalance& b, std::int32_t dayLength, std::int32_t minutes) {
    BalanceAdd(b.Days, b.Minutes, 0, dayLength, -minutes);
}

void AddCodeMinutes(TRunContext& ctx, int code, std::int32_t minutes) {
    if (code >= 0 && code < kCodeSlots) ctx.period.CodeMinutes[code] += minutes;
}

// One more hourly entitled leave charged.
void Count(TRunContext& ctx) {
    PeriodState& ps = ctx.period;
    ps.EntitledLeaveToday += 1;
    ps.EntitledLeaveCount += 1;
    if (ps.ShiftStartLeave) ps.EntitledLeaveCountShiftStart += 1;
}

// Leave counted as work as the rule says.
void Credit(TRunContext& ctx, TEngineState& es, std::int32_t x) {
    if (ctx.rule.Rule_mokar) es.Rec.Prc_PureWork += x;
    if (ctx.rule.Rule_mokarna) es.Rec.Prc_TotalWork += x;
}

// Overtime outside the intervals lands before the shift, after it, or in
// the break that Rule_eba counts as overtime.
void OvertimePlace(TRunContext& ctx, TEngineState& es, std::int32_t x) {
    TDayRecord& r = es.Rec;
    if (es.W.BeforeFirst) {
        r.Prc_ValidAddWorkBefore += x;
        ctx.period.OvertimeTotals[kOtBefore] += x;
    } else if (es.W.AfterLast) {
        r.Prc_ValidAddWorkafter += x;
        ctx.period.OvertimeTotals[kOtAfter] += x;
    } else if (ctx.rule.Rule_eba) {
        r.Prc_ValidAddWorkbein += x;
    }
}

// Request codes that permit a segment of code c: the code itself, and for
// the hourly leaves and missions the daily (and 24-hour) codes of the kind.
enum TPermit { kPermitNone, kPermitSame, kPermitDaily };
TPermit PermitKind(int c, int requestCode) {
    if (requestCode == c) return kPermitSame;
    if ((CodeIn(c, 11, 15) || CodeIn(c, 21, 27)) && requestCode == c + 20) return kPermitDaily;
    if (CodeIn(c, 51, 55) && (requestCode == c + 10 || requestCode == c + 20)) return kPermitDaily;
    return kPermitNone;
}

// The part [s, e] of [a, b] that the day's permits cover; false when none does.
bool PermitCover(const TEngineState& es, std::int32_t a, std::int32_t b, int c, std::int32_t& s, std::int32_t& e) {
    const DayInput* day = es.Day;
    if (!day) return false;
    // An open start or end of a request means the start of the first
    // interval or the end of the last one, as where the request is merged
    // into the timeline; a day without schedule leaves it open.
    std::int32_t firstStart = a, lastEnd = b;
    for (const TimePoint& p : es.Line.Points) {
        if (p.Kind == kPointFirstStart) firstStart = p.Time;
        if (p.Kind == kPointLastEnd) lastEnd = p.Time;
    }
    const int count = std::min<int>(day->RequestCount, kMaxRequests);
    for (int i = 0; i < count; ++i) {
        const TTimedRequest& q = day->Requests[i];
        const TPermit kind = PermitKind(c, q.Code);
        if (kind == kPermitNone) continue;
        if (kind == kPermitDaily) {
            s = a;
            e = b;
            return true;
        }
        const std::int32_t from = q.Start <= 0 ? firstStart : q.Start;
        const std::int32_t to = q.End <= 0 ? lastEnd : q.End;
        const std::int32_t lo = std::max(a, from), hi = std::min(b, to);
        if (lo < hi) {
            s = lo;
            e = hi;
            return true;
        }
    }
    return false;
}

void UnpaidSickHours(TRunContext& ctx, TEngineState& es, int c, std::int32_t d) {
    es.Rec.Prc_HourSleaveNoSalary += d;
    AddCodeMinutes(ctx, c, d);
}

void UnpaidLeaveHours(TRunContext& ctx, TEngineState& es, int c, std::int32_t d) {
    es.Rec.Prc_HourleaveNoSalary += d;
    AddCodeMinutes(ctx, c, d);
}

void PaidLeaveHours(TRunContext& ctx, TEngineState& es, int c, std::int32_t d) {
    TDayRecord& r = es.Rec;
    r.Prc_HourleaveSalary += d;
    if (std::int32_t* f = PaidLeaveHourField(r, c)) *f += d;
    if (ctx.rule.Rule_mokar) {
        r.Prc_PureWork += d;
        r.Prc_PureWorkNight += es.W.Seg.Night;
    }
    if (ctx.rule.Rule_mokarna) r.Prc_TotalWork += d;
    AddCodeMinutes(ctx, c, d);
}

void SickLeaveHours(TRunContext& ctx, TEngineState& es, int c, std::int32_t d) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    TBalance& bal = ctx.balances.SickLeaveBalance;
    std::int32_t overflow = 0;
    if (bal.Days < 1) {
        overflow = d;
    } else if (R.Rule_mohr == 0) {
        r.Prc_HourSleaveSalary += d;
        Credit(ctx, es, d);
        AddCodeMinutes(ctx, c, d);
    } else {
        const std::int32_t a = Available(bal, R.Rule_mohr);
        if (a < d) {
            r.Prc_HourSleaveSalary += a;
            overflow = d - a;
            bal = TBalance{};
            Credit(ctx, es, a);
            AddCodeMinutes(ctx, c, a);
        } else {
            r.Prc_HourSleaveSalary += d;
            Take(bal, R.Rule_mohr, d);
            Credit(ctx, es, d);
            AddCodeMinutes(ctx, c, d);
        }
    }
    if (overflow > 0) {
        if (R.Rule_moebs) {
            r.Prc_HourSleaveNoSalary += overflow;
            AddCodeMinutes(ctx, kCodeUnpaidSickLeave, overflow);
        } else {
            r.Prc_HourAbsence += overflow;
        }
    }
}

}  // namespace

// The Rule_moeb variant: what the balance or the monthly cap does not cover
// is unpaid leave.
static void EntitledLeaveHoursUnpaid(TRunContext& ctx, TEngineState& es, std::int32_t d) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    PeriodState& ps = ctx.period;
    TBalance& bal = ctx.balances.EntitledLeaveBalance;
    if (bal.Days < 0) {
        r.Prc_HourleaveNoSalary += d;
        return;
    }
    if (R.Rule_moesn > 0 && ps.EntitledLeaveCount >= R.Rule_moesn) {
        r.Prc_HourAbsence += d;
        return;
    }
    // One charge is counted once, whether or not the monthly cap cuts it.
    Count(ctx);
    if (R.Rule_moesl > 0 && r.Prc_HourEleaveSalary + d > R.Rule_moesl) {
        // The cap may already be used up: at most the whole leave is cut.
        const std::int32_t x = std::min(d, r.Prc_HourEleaveSalary + d - R.Rule_moesl);
        r.Prc_HourleaveNoSalary += x;
        AddCodeMinutes(ctx, kCodeUnpaidSickLeave, d);  // the full amount before the cut
        d -= x;
    }
    if (R.Rule_mohr == 0) {
        r.Prc_HourEleaveSalary += d;
        Credit(ctx, es, d);
        AddCodeMinutes(ctx, es.W.CurrentCode, d);
        return;
    }
    const std::int32_t a = std::min(Available(bal, R.Rule_mohr), ctx.balances.EntitledLeaveCap);
    const std::int32_t paid = std::min(a, d);
    r.Prc_HourEleaveSalary += paid;
    r.Prc_HourleaveNoSalary += d - paid;
    // The balance loses what was charged; when the yearly cap rather than the
    // balance limits the charge, the rest of the balance stays.
    Take(bal, R.Rule_mohr, paid);
    Credit(ctx, es, paid);
    AddCodeMinutes(ctx, kCodeHourlyEntitledLeave, paid);
}

void EntitledLeaveHours(TRunContext& ctx, TEngineState& es, std::int32_t d) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    PeriodState& ps = ctx.period;
    TBalance& bal = ctx.balances.EntitledLeaveBalance;

    // A shorter leave is charged as the minimum, taken from the work.
    if (d < R.Rule_moesmin) {
        const std::int32_t extra = R.Rule_moesmin - d;
        r.Prc_PureWork -= extra;
        r.Prc_TotalWork -= extra;
        r.Prc_PureWorkKham -= extra;
        d = R.Rule_moesmin;
    }
    if (R.Rule_moeb) {
        EntitledLeaveHoursUnpaid(ctx, es, d);
        return;
    }
    // Refused: no balance, or the monthly number of leaves (of those at the
    // shift start) used up.
    if (bal.Days < 0 || (R.Rule_moesn >= 1 && ps.EntitledLeaveCount >= R.Rule_moesn) ||
        (R.Rule_moesf >= 1 && ps.ShiftStartLeave && ps.EntitledLeaveCountShiftStart >= R.Rule_moesf)) {
        r.Prc_HourAbsence += d;
        return;
    }
    // The monthly time cap; once used up, the whole leave is absence.
    if (R.Rule_moesl > 0 && r.Prc_HourEleaveSalary + ps.HourlyEntitledLeaveToDate + d > R.Rule_moesl) {
        const std::int32_t excess =
            std::min(d, r.Prc_HourEleaveSalary + ps.HourlyEntitledLeaveToDate + d - R.Rule_moesl);
        r.Prc_HourAbsence += excess;
        d -= excess;
        if (d <= 0) return;  // nothing left to charge or count
    }
    if (R.Rule_mohr == 0) {
        Count(ctx);
        r.Prc_HourEleaveSalary += d;
        Credit(ctx, es, d);
        AddCodeMinutes(ctx, es.W.CurrentCode, d);
        return;
    }
    const std::int32_t a = std::min(Available(bal, R.Rule_mohr), ctx.balances.EntitledLeaveCap);
    if (a < d) {
        if (a > 0) Count(ctx);
        r.Prc_HourEleaveSalary += a;
        r.Prc_HourAbsence += d - a;
        Take(bal, R.Rule_mohr, a);
        ctx.balances.EntitledLeaveCap = 0;
        Credit(ctx, es, a);
        AddCodeMinutes(ctx, es.W.CurrentCode, a);
    } else {
        Count(ctx);
        r.Prc_HourEleaveSalary += d;
        ctx.balances.EntitledLeaveCap -= d;
        Take(bal, R.Rule_mohr, d);
        Credit(ctx, es, d);
        AddCodeMinutes(ctx, es.W.CurrentCode, d);
    }
}

namespace {

void MissionHours(TRunContext& ctx, TEngineState& es, int c, std::int32_t d) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    const std::int32_t night = es.W.Seg.Night;
    switch (es.W.Zone) {
        case kZoneInInterval:
            r.Prc_HourMission += d;
            if (R.Rule_makarna) r.Prc_TotalWork += d;
            if (R.Rule_makar) r.Prc_PureWork += d;
            r.Prc_PureWorkNight += night;
            break;
        case kZoneInGap:
            if (!R.Rule_masn) return;
            r.Prc_ValidAddWork += d;
            r.Prc_ValidAddWorkNight += night;
            if (!R.Rule_masg) return;
            r.Prc_HourMission += d;
            r.Prc_TotalWork += d;
            OvertimePlace(ctx, es, d);
            break;
        case kZoneOutside:
            r.Prc_HourMission += d;
            r.Prc_TotalWork += d;
            r.Prc_ValidAddWork += d;
            r.Prc_ValidAddWorkNight += night;
            OvertimePlace(ctx, es, d);
            break;
    }
    AddCodeMinutes(ctx, c, d);
    if (std::int32_t* f = HourMissionField(r, c)) *f += d;
}

// Books the covered minutes by the segment's code.
void BookCoded(TRunContext& ctx, TEngineState& es, int c, std::int32_t d) {
    if (c == kCodeUnpaidSickLeave)
        UnpaidSickHours(ctx, es, c, d);
    else if (CodeIn(c, 12, 19))
        UnpaidLeaveHours(ctx, es, c, d);
    else if (c == kCodeHourlyEntitledLeave)
        EntitledLeaveHours(ctx, es, d);
    else if (c == 22)
        SickLeaveHours(ctx, es, c, d);
    else if (CodeIn(c, 23, 27))
        PaidLeaveHours(ctx, es, c, d);
    else if (IsHourlyMissionCode(c))
        MissionHours(ctx, es, c, d);
}

}  // namespace

void UncoveredAbsence(TRunContext& ctx, TEngineState& es, std::int32_t start, std::int32_t end) {
    es.Rec.Prc_HourAbsence += end - start;
    Penalise(ctx, es, start, end);
}

void CodedSegment(TRunContext& ctx, TEngineState& es, std::int32_t start, std::int32_t end, std::int32_t code) {
    const rule_type& R = ctx.rule;
    const bool needsPermit =
        (R.Rule_momojavvez && CodeIn(code, 11, 27)) || (R.Rule_mamojavvez && IsHourlyMissionCode(code));
    std::int32_t s = start, e = end;
    // Time not covered by a permit is absence only where the person is due,
    // inside an interval.
    const bool due = es.W.Zone == kZoneInInterval;
    if (needsPermit) {
        if (!PermitCover(es, start, end, code, s, e)) {
            if (due) UncoveredAbsence(ctx, es, start, end);
            return;
        }
        // The allowed error widens the covered part, at the start first, with
        // one budget for both ends.
        std::int32_t budget = R.Rule_mojerror;
        if (start < s) {
            const std::int32_t d = std::min(s - start, budget);
            s -= d;
            budget -= d;
        }
        if (e < end) e += std::min(end - e, budget);
    }
    if (start < s && due) UncoveredAbsence(ctx, es, start, s);
    BookCoded(ctx, es, code, e - s);
    if (e < end && due) UncoveredAbsence(ctx, es, e, end);
}

void PresenceCode(TRunContext& ctx, TEngineState& es) {
    TDayRecord& r = es.Rec;
    const TSegment& seg = es.W.Seg;
    switch (es.W.Zone) {
        case kZoneInInterval:
            r.Prc_PureWork += seg.Length;
            r.Prc_TotalWork += seg.Length;
            r.Prc_PureWorkNight += seg.Night;
            break;
        case kZoneInGap:
            break;
        case kZoneOutside:
            r.Prc_ValidAddWork += seg.Length;
            r.Prc_ValidAddWorkNight += seg.Night;
            OvertimePlace(ctx, es, seg.Length);
            r.Prc_TotalWork += seg.Length;
            break;
    }
}

void OutsideEntitledLeave(TRunContext& ctx, TEngineState& es, std::int32_t amount) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    TBalance& bal = ctx.balances.EntitledLeaveBalance;
    if (bal.Days < 0) return;
    std::int32_t x = amount;
    if (R.Rule_mohr != 0) {
        const std::int32_t a = Available(bal, R.Rule_mohr);
        if (a < amount) {
            x = a;
            bal = TBalance{};
        } else {
            Take(bal, R.Rule_mohr, amount);
        }
    }
    r.Prc_HourEleaveSalary += x;
    r.Prc_ValidAddWork += x;
    if (R.Rule_mokarna) r.Prc_TotalWork += x;
    AddCodeMinutes(ctx, es.W.CurrentCode, x);
}

}  // namespace attcalc
