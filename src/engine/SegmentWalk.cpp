// The segment walk over the day's timeline and the measures of a segment.
#include "engine/SegmentWalk.h"

#include <algorithm>

#include "engine/PeriodState.h"
#include "engine/Stages.h"
#include "engine/Timeline.h"

namespace attcalc {

namespace {

std::int32_t Overlap(std::int32_t start, std::int32_t end, std::int32_t from, std::int32_t to) {
    const std::int32_t v = std::min(end, to) - std::max(start, from);
    return v > 0 ? v : 0;
}

bool IsSegmentCode(int c) { return CodeIn(c, 11, 19) || CodeIn(c, 21, 27) || IsHourlyMissionCode(c); }

void Work(TEngineState& es) {
    const TSegment& s = es.W.Seg;
    es.Rec.Prc_PureWork += s.Length;
    es.Rec.Prc_PureWorkKham += s.Length;
    es.Rec.Prc_TotalWork += s.Length;
    es.Rec.Prc_PureWorkNight += s.Night;
}

void Extras(TEngineState& es) {
    es.W.NightPresence += es.W.Seg.Night;
    es.Rec.Prc_PresenceSpecial += es.W.Seg.Special;
}

// A segment carrying an hourly leave or mission code, or code 50.
bool CodedCases(TRunContext& ctx, TEngineState& es) {
    const int c = es.W.CurrentCode;
    if (IsSegmentCode(c)) {
        CodedSegment(ctx, es, es.W.Seg.Start, es.W.Seg.End, c);
        return true;
    }
    if (c == kCodePresence) {
        PresenceCode(ctx, es);
        return true;
    }
    return false;
}

// Away inside an interval without a code. The lunch window counts as work up
// to Rule_naharlimit for the whole day; the rest is in-shift absence. Credit
// already given is not given again on a later absence of the same day.
void InShiftAbsence(TRunContext& ctx, TEngineState& es) {
    const TSegment& s = es.W.Seg;
    const std::int32_t room = std::max(0, ctx.rule.Rule_naharlimit - es.W.LunchCredit);
    std::int32_t credit = std::min({LunchOverlap(ctx, s.Start, s.End), room, s.Length});
    if (credit < 0) credit = 0;
    es.W.LunchCredit += credit;
    es.Rec.Prc_PureWork += credit;
    es.Rec.Prc_TotalWork += credit;
    es.Rec.BetweenAbsence += s.Length - credit;
    Penalise(ctx, es, s.Start + credit, s.End);
}

// Away in the gap between two intervals.
void BreakAbsence(TRunContext& ctx, TEngineState& es, bool withPresenceCode) {
    const rule_type& R = ctx.rule;
    const int c = es.W.CurrentCode;
    const TSegment& s = es.W.Seg;
    if (c == kCodePresence) {
        if (withPresenceCode) PresenceCode(ctx, es);
        return;
    }
    if (IsHourlyMissionCode(c)) {
        if (R.Rule_masg) CodedSegment(ctx, es, s.Start, s.End, c);
        return;
    }
    if (!R.Rule_gebein) return;
    if (CodeIn(c, 11, 19) || CodeIn(c, 21, 27))
        CodedSegment(ctx, es, s.Start, s.End, c);
    else
        es.Rec.Prc_HourAbsence += s.Length;
}

// Away before the first interval or after the last.
void OutsideAbsence(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const int c = es.W.CurrentCode;
    if (c == kCodeHourlyEntitledLeave && R.Rule_mout)
        OutsideEntitledLeave(ctx, es, es.W.Seg.Length);
    else if (c == kCodePresence)
        PresenceCode(ctx, es);
    else if (IsHourlyMissionCode(c) && R.Rule_masg)
        CodedSegment(ctx, es, es.W.Seg.Start, es.W.Seg.End, c);
}

// Absent from an interval end to the next interval start with a mission code.
void MissionInBreak(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const int c = es.W.CurrentCode;
    if (!IsHourlyMissionCode(c) || !R.Rule_masg) return;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    r.Prc_HourMission += s.Length;
    if (R.Rule_makarna) r.Prc_TotalWork += s.Length;
    if (R.Rule_makar) r.Prc_PureWork += s.Length;
    r.Prc_PureWorkNight += s.Night;
    ctx.period.CodeMinutes[c] += s.Length;
    if (std::int32_t* f = HourMissionField(r, c)) *f += s.Length;
}

// Lateness of length L against the allowance Rule_GMT1.
void Lateness(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    if (s.Length > R.Rule_GMT1) {
        if (R.Rule_gkbh) {
            r.Prc_HourAbsence += s.Length;
            r.Prc_TakhirLessWork += s.Length;
        } else {
            r.Prc_ValidLessWork += R.Rule_GMT1;
            r.Prc_validTakhir += R.Rule_GMT1;
            r.Prc_HourAbsence += s.Length - R.Rule_GMT1;
            r.Prc_TakhirLessWork += s.Length - R.Rule_GMT1;
        }
        Penalise(ctx, es, s.Start, s.End);
    } else {
        r.Prc_ValidLessWork += s.Length;
        r.Prc_validTakhir += s.Length;
    }
}

// First interval start -> in point: the person arrives late.
void LateArrival(TRunContext& ctx, TEngineState& es, const TimePoint& in) {
    const rule_type& R = ctx.rule;
    int& c = es.W.CurrentCode;
    if (in.Change == 0) {  // an unchanged clock punch
        if (!R.Rule_moms1 && CodeIn(c, 21, 27)) c = 0;
        if (!R.Rule_mams1 && CodeIn(c, 51, 55)) c = 0;
    }
    const TSegment& s = es.W.Seg;
    if (c == kCodeHourlyEntitledLeave) {
        ctx.period.ShiftStartLeave = true;
        CodedSegment(ctx, es, s.Start, s.End, c);
        ctx.period.ShiftStartLeave = false;
    } else if (IsSegmentCode(c)) {
        CodedSegment(ctx, es, s.Start, s.End, c);
    } else if (c == kCodePresence) {
        PresenceCode(ctx, es);
    } else {
        Lateness(ctx, es);
    }
}

// Out point -> last interval end without a code: the person left early.
void EarlyLeave(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    const TSegment& s = es.W.Seg;
    TDayRecord& r = es.Rec;
    std::int32_t length = s.Length;
    // Before-shift overtime makes up for the early leave.
    if (R.Rule_t2e1d >= length || !R.Rule_t1e2b) {
        std::int32_t x = std::min({length, r.Prc_ValidAddWork, R.Rule_t2e1d});
        if (x > 0) {
            length -= x;
            r.Prc_ValidAddWork -= x;
            r.Prc_PureWork += x;
        }
    }
    if (length > R.Rule_gmt2) {
        if (R.Rule_gkbh) {
            r.Prc_HourAbsence += length;
            r.Prc_TajilLessWork += length;
        } else {
            r.Prc_TajilLessWork += length - R.Rule_gmt2;
            r.Prc_HourAbsence += length - R.Rule_gmt2;
            r.Prc_ValidLessWork += R.Rule_gmt2;
            r.Prc_validTajil += R.Rule_gmt2;
        }
        Penalise(ctx, es, s.Start, s.End);
    } else {
        r.Prc_ValidLessWork += length;
        r.Prc_validTajil += length;
    }
}

}  // namespace

std::int32_t CalcRound(const TRunContext& ctx, std::int32_t duration) {
    if (!ctx.rule.Rule_isroundCalc) return duration;
    return RoundMinutes(duration, ctx.rule.Rule_roundtimeCalc, ctx.rule.Rule_roundtypeCalc);
}

std::int32_t NightMinutes(const TRunContext& ctx, std::int32_t start, std::int32_t end) {
    const std::int32_t D = ctx.rule.Rule_startday;
    const std::int32_t N = ctx.rule.Rule_startnight;
    std::int32_t v;
    if (start < 0) {
        v = std::min(D, end) - std::max(N - 1440, start);
    } else if (start < D) {
        if (end > D)
            v = (D - start) + (end > N ? end - N : 0);
        else
            v = end - start;
    } else {
        const std::int32_t C = std::min(D + 1440, end);
        if (start >= N)
            v = C - start;
        else if (N < end)
            v = C - N;
        else
            v = 0;
    }
    return v > 0 ? v : 0;
}

std::int32_t SpecialOverlap(const TRunContext& ctx, std::int32_t start, std::int32_t end) {
    return Overlap(start, end, ctx.rule.Rule_startvijeh, ctx.rule.Rule_endvijeh);
}

std::int32_t MealNet(const TRunContext& ctx, std::int32_t start, std::int32_t end, int dayClass) {
    const rule_type& R = ctx.rule;
    if (dayClass != 0 && R.Rule_egfrom != R.Rule_egto && !(R.Rule_egfrom == 0 && R.Rule_egto == 1439)) {
        start = std::max(start, R.Rule_egfrom);
        end = std::min(end, R.Rule_egto);
    }
    std::int32_t v = end - start;
    auto cut = [&](std::int32_t from, std::int32_t to, std::int32_t shift) {
        if (from < to) {
            v -= Overlap(start, end, from, to);
            v -= Overlap(start, end, from + shift, to + shift);
        }
    };
    cut(R.Rule_shamfrom, R.Rule_shamto, -1440);
    cut(R.Rule_Saharifrom, R.Rule_SahariTo, 1440);
    cut(R.Rule_sobhanehfrom, R.Rule_sobhanehto, 1440);
    cut(R.Rule_nahar1from, R.Rule_nahar1to, 1440);
    return v > 0 ? v : 0;
}

std::int32_t LunchOverlap(const TRunContext& ctx, std::int32_t start, std::int32_t end) {
    const std::int32_t v = Overlap(start, end, ctx.rule.Rule_naharfrom, ctx.rule.Rule_naharto);
    return std::min(v, ctx.rule.Rule_naharlimit);
}

std::int32_t PenaltyMinutes(const TRunContext& ctx, std::int32_t start, std::int32_t end) {
    const rule_type& R = ctx.rule;
    const std::int32_t windows[3][3] = {{R.Rule_gtf1, R.Rule_gte1, R.Rule_gtp1},
                                        {R.Rule_gtf2, R.Rule_gte2, R.Rule_gtp2},
                                        {R.Rule_gtf3, R.Rule_gte3, R.Rule_gtp3}};
    std::int32_t sum = 0;
    for (const auto& w : windows) {
        const std::int32_t from = w[0], to = w[1], percent = w[2];
        if (from <= start && start < to)
            sum += RoundHalfEven(static_cast<double>(percent) * (std::min(end, to) - start) / 100.0);
        else if (start < from && from <= end)
            sum += RoundHalfEven(static_cast<double>(std::min(end, to) - from) * percent / 100.0);
    }
    return CalcRound(ctx, sum);
}

void Penalise(TRunContext& ctx, TEngineState& es, std::int32_t start, std::int32_t end) {
    if (!ctx.rule.Rule_gtactive) return;
    const std::int32_t p = PenaltyMinutes(ctx, start, end);
    es.Rec.Prc_HourAbsence += p;
    es.Rec.Prc_PureWork -= p;
    es.Rec.Prc_TotalWork -= p;
}

void SegmentWalk(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayWork& w = es.W;
    TDayRecord& r = es.Rec;
    const auto& P = es.Line.Points;
    const int dayClass = es.Day ? es.Day->DayClass : 0;
    for (std::size_t k = 0; k + 1 < P.size(); ++k) {
        const TimePoint& a = P[k];
        const TimePoint& b = P[k + 1];
        TSegment& s = w.Seg;
        s.Start = a.Time;
        s.End = b.Time;
        s.Length = CalcRound(ctx, b.Time - a.Time);
        s.Night = NightMinutes(ctx, a.Time, b.Time);
        s.Special = SpecialOverlap(ctx, a.Time, b.Time);
        s.Net = MealNet(ctx, a.Time, b.Time, dayClass);
        if (w.FirstCode == 0) w.FirstCode = a.Code;

        switch (a.Kind) {
            case kPointIn:
                w.Present = true;
                es.CarriedCode = 0;
                w.CurrentCode = a.Code == kCodeOvertime ? kCodeOvertime : 0;
                switch (b.Kind) {
                    case kPointOut:
                        if (b.Code == kCodeIncomplete) r.Prc_AbsenceNaghes = 1;
                        Extras(es);
                        if (w.Zone == kZoneInInterval) Work(es);
                        else if (w.Zone == kZoneOutside) OutsidePresence(ctx, es);
                        break;
                    case kPointFirstStart:
                        Extras(es);
                        BeforeShiftOvertime(ctx, es);
                        break;
                    case kPointLaterStart:
                        Extras(es);
                        BreakPresence(ctx, es);
                        break;
                    case kPointEnd:
                    case kPointLastEnd:
                        Extras(es);
                        Work(es);
                        break;
                    default:
                        break;
                }
                break;

            case kPointOut: {
                w.Present = false;
                const int c = a.Code;
                if (IsDailyLeaveCode(c) || IsFullMissionCode(c)) {
                    w.CurrentCode = c - 20;
                    es.CarriedCode = c;
                } else if (IsDailyMissionCode(c)) {
                    w.CurrentCode = c - 10;
                    es.CarriedCode = c;
                } else {
                    w.CurrentCode = c;
                    es.CarriedCode = 0;
                }
                switch (b.Kind) {
                    case kPointIn:
                        if (w.Zone == kZoneInInterval) {
                            if (!CodedCases(ctx, es)) InShiftAbsence(ctx, es);
                        } else if (w.Zone == kZoneInGap) {
                            BreakAbsence(ctx, es, true);
                        } else {
                            OutsideAbsence(ctx, es);
                        }
                        break;
                    case kPointFirstStart:
                        OutsideAbsence(ctx, es);
                        break;
                    case kPointLaterStart:
                        BreakAbsence(ctx, es, true);
                        break;
                    case kPointEnd:
                        if (!CodedCases(ctx, es)) {
                            r.BetweenAbsence += s.Length;
                            Penalise(ctx, es, s.Start, s.End);
                        }
                        break;
                    case kPointLastEnd:
                        if (!CodedCases(ctx, es)) EarlyLeave(ctx, es);
                        break;
                    default:
                        break;
                }
                break;
            }

            case kPointFirstStart:
                w.Zone = kZoneInInterval;
                w.BeforeFirst = false;
                if (CodeIn(a.Code, 11, 27) || CodeIn(a.Code, 50, 59)) w.CurrentCode = a.Code;
                switch (b.Kind) {
                    case kPointOut:
                        Extras(es);
                        Work(es);
                        break;
                    case kPointEnd:
                    case kPointLastEnd:
                        if (w.Present) {
                            Extras(es);
                            Work(es);
                        } else if (!CodedCases(ctx, es)) {
                            // The whole interval passes without the person.
                            // Its time-of-day penalty is charged once, as for
                            // any other lateness, whatever Rule_gkbh says.
                            Lateness(ctx, es);
                        }
                        break;
                    case kPointIn:
                        LateArrival(ctx, es, b);
                        break;
                    default:
                        break;
                }
                break;

            case kPointLaterStart:
                w.Zone = kZoneInInterval;
                if (CodeIn(a.Code, 11, 27) || CodeIn(a.Code, 51, 59)) w.CurrentCode = a.Code;
                switch (b.Kind) {
                    case kPointOut:
                        Extras(es);
                        Work(es);
                        break;
                    case kPointEnd:
                    case kPointLastEnd:
                        if (w.Present) {
                            Extras(es);
                            Work(es);
                        } else if (!CodedCases(ctx, es)) {
                            r.Prc_HourAbsence += s.Length;
                            Penalise(ctx, es, s.Start, s.End);
                        }
                        break;
                    case kPointIn:
                        if (!CodedCases(ctx, es)) {
                            r.BetweenAbsence += s.Length;
                            Penalise(ctx, es, s.Start, s.End);
                        }
                        break;
                    default:
                        break;
                }
                break;

            case kPointEnd:
                w.Zone = R.Rule_eba ? kZoneOutside : kZoneInGap;
                switch (b.Kind) {
                    case kPointOut:
                        Extras(es);
                        BreakPresence(ctx, es);
                        break;
                    case kPointLaterStart:
                        if (w.Present) {
                            Extras(es);
                            BreakPresence(ctx, es);
                        } else {
                            MissionInBreak(ctx, es);
                        }
                        break;
                    case kPointIn:
                        BreakAbsence(ctx, es, false);
                        break;
                    default:
                        break;
                }
                break;

            case kPointLastEnd:
                w.Zone = kZoneOutside;
                w.AfterLast = true;
                switch (b.Kind) {
                    case kPointIn:
                        OutsideAbsence(ctx, es);
                        break;
                    case kPointOut:
                        Extras(es);
                        AfterShiftOvertime(ctx, es);
                        break;
                    default:
                        break;
                }
                break;

            default:
                break;
        }
    }
}

}  // namespace attcalc
