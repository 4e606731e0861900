// The day timeline: building it from intervals and pairs, merging the hourly
// requests, and the pre-pass over lateness cards and in-punch codes.
#include "engine/Timeline.h"

#include <cstdlib>

#include "engine/PeriodState.h"

namespace attcalc {

namespace {

// Remainder that is never negative, so that 22:37 of the previous day (-83)
// has minute 37 like any other 22:37.
std::int32_t FloorMod(std::int32_t a, std::int32_t m) {
    std::int32_t r = a % m;
    return r < 0 ? r + m : r;
}

bool IsIntervalPoint(const TimePoint& p) { return p.Kind >= kPointFirstStart && p.Kind <= kPointLastEnd; }
bool IsPunchPoint(const TimePoint& p) { return p.Kind == kPointIn || p.Kind == kPointOut; }

TimePoint MakePoint(std::int32_t time, std::uint8_t kind, std::uint8_t code = 0, std::uint8_t change = 0) {
    TimePoint p;
    p.Time = time;
    p.Kind = kind;
    p.Code = code;
    p.Change = change;
    return p;
}

// Inserts a synthetic in point and out point, both at `time`, right after
// position `after`.
void InsertZeroPair(Timeline& line, int after, std::int32_t time) {
    auto& P = line.Points;
    P.insert(P.begin() + after + 1, MakePoint(time, kPointOut));
    P.insert(P.begin() + after + 1, MakePoint(time, kPointIn));
}

bool Replaceable(const TimePoint& p) { return p.Code == 0 || p.Code == kCodeReplaceable; }

}  // namespace

std::int32_t RoundMinutes(std::int32_t time, std::int32_t step, std::int32_t method) {
    if (step == 0) step = 1;
    if (step < 0) step = -step;
    const std::int32_t r = FloorMod(FloorMod(time, 60), step);
    switch (method) {
        case 1:
            return r != 0 ? time + (step - r) : time;
        case 2:
            return time - r;
        case 3:
            return 2 * r < step ? time - r : time + (step - r);
        case 4: {
            const std::int32_t m = FloorMod(time, 60);
            if (m < 20) return time - m;
            if (m < 40) return time - m + 30;
            return time - m + 60;
        }
        default:
            return time;
    }
}

std::int32_t PunchRound(const TRunContext& ctx, std::int32_t time) {
    if (!ctx.rule.Rule_isround) return time;
    return RoundMinutes(time, ctx.rule.Rule_roundtime, ctx.rule.Rule_roundtype);
}

int InsertPoint(Timeline& line, std::int32_t time, std::uint8_t kind, std::uint8_t code,
                std::uint8_t change) {
    auto& P = line.Points;
    int pos = static_cast<int>(P.size());
    while (pos > 0 && P[pos - 1].Time > time) --pos;
    P.insert(P.begin() + pos, MakePoint(time, kind, code, change));
    return pos;
}

int ScheduledIntervals(const DayInput& day, TInterval out[kMaxIntervals]) {
    // The scheduled work is the ranges the shift has in use: its range count
    // says how many (the first sh_count ranges), as the shift's end for the
    // rule scripts is the end of range number sh_count. A range filled beyond
    // the count is not scheduled work (no required work, no lateness or
    // absence in it, presence in it is presence outside the shift); it only
    // widens the shift's span, and with it the window that decides which
    // punches belong to the day.
    int n = 0;
    const int used = day.IntervalCount < kMaxIntervals ? day.IntervalCount : kMaxIntervals;
    for (int i = 0; i < used; ++i) {
        if (day.Intervals[i].Start >= day.Intervals[i].End) continue;  // an empty range
        out[n++] = day.Intervals[i];
    }
    return n;
}

Timeline BuildTimeline(const TRunContext& ctx, DayInput& day) {
    Timeline line;
    line.Points.reserve(2 * (kMaxIntervals + kMaxPairs + kMaxRequests));
    TInterval iv[kMaxIntervals];
    const int n = ScheduledIntervals(day, iv);
    for (int i = 0; i < n; ++i) {
        InsertPoint(line, iv[i].Start, i == 0 ? kPointFirstStart : kPointLaterStart, 0, 0);
        InsertPoint(line, iv[i].End, i == n - 1 ? kPointLastEnd : kPointEnd, 0, 0);
    }
    const int pairs = day.PairCount < kMaxPairs ? day.PairCount : kMaxPairs;
    for (int i = 0; i < pairs; ++i) {
        TPair& p = day.Pairs[i];
        p.In = PunchRound(ctx, p.In);
        InsertPoint(line, p.In, kPointIn, p.InCode, p.InChange);
        p.Out = PunchRound(ctx, p.Out);
        InsertPoint(line, p.Out, kPointOut, p.OutCode, p.OutChange);
    }
    return line;
}

void MergeRequests(const TRunContext& ctx, const DayInput& day, Timeline& line) {
    const rule_type& R = ctx.rule;
    auto& P = line.Points;
    const int count = day.RequestCount < kMaxRequests ? day.RequestCount : kMaxRequests;
    for (int r = 0; r < count; ++r) {
        const TTimedRequest& q = day.Requests[r];
        const int c = q.Code;
        // Overtime and on-call permits are read by the overtime rules; presence
        // requests became pairs in the input stage.
        if (c == kCodeOvertime || c == kCodeOnCall || c == kCodePresenceRequest) continue;
        if ((CodeIn(c, 11, 15) || CodeIn(c, 21, 27)) && !R.Rule_momojavvez) continue;
        if (CodeIn(c, 51, 55) && !R.Rule_mamojavvez) continue;

        std::int32_t h = q.Start, l = q.End;
        const std::int32_t storedEnd = q.End;
        if (h <= 0) {
            for (const TimePoint& p : P)
                if (p.Kind == kPointFirstStart && p.Code == 0 && p.Time > h) { h = p.Time; break; }
        }
        if (l <= 0) {
            for (const TimePoint& p : P)
                if (p.Kind == kPointLastEnd) { l = p.Time; break; }
        }

        // The nearest point: out points by the request start; the first
        // uncoded point by the start (an interval start) or the end; later
        // interval starts by the start.
        int best = 1000, w = -1;
        bool first = true;
        for (int i = 0; i < static_cast<int>(P.size()); ++i) {
            const TimePoint& p = P[i];
            int d;
            if (p.Kind == kPointOut) {
                d = std::abs(p.Time - h);
            } else if (first && p.Code == 0) {
                d = p.Kind == kPointFirstStart ? std::abs(p.Time - h) : std::abs(p.Time - l);
                first = false;
            } else if (p.Kind == kPointFirstStart) {
                d = std::abs(p.Time - h);
                first = false;
            } else {
                continue;
            }
            if (d < best) { best = d; w = i; }
        }
        if (w < 0) continue;

        int target = w;
        const auto code = static_cast<std::uint8_t>(c);
        const int n = static_cast<int>(P.size());
        const bool hasNext = w + 1 < n;
        if (P[w].Kind == kPointFirstStart) {
            if (w == 0 && P[w].Time < h && best > R.Rule_mojerror && hasNext && P[w + 1].Kind != kPointOut &&
                P[w + 1].Time > h) {
                // The request starts well after the interval start: cut the
                // stretch at h and code what follows.
                InsertZeroPair(line, w, h);
                target = w + 2;
            } else if (w == 0 && P[w].Time < l && hasNext && P[w + 1].Kind != kPointOut && P[w + 1].Time > h &&
                       P[w + 1].Time > l) {
                // The request covers the start of the interval: cut at l and
                // code the stretch before it.
                InsertZeroPair(line, w, l);
                target = w + 1;
            } else {
                int bi = -1, bo = -1, di = 1000, dout = 1000;
                for (int i = 0; i < n; ++i) {
                    if (P[i].Kind == kPointIn && std::abs(P[i].Time - l) < di) { di = std::abs(P[i].Time - l); bi = i; }
                    if (P[i].Kind == kPointOut && std::abs(P[i].Time - h) < dout) { dout = std::abs(P[i].Time - h); bo = i; }
                }
                if (bi >= 0 && bo >= 0 && bo < bi) {
                    const std::int32_t nh = h > P[bo].Time ? h : P[bo].Time;
                    const std::int32_t nl = l < P[bi].Time ? l : P[bi].Time;
                    if (nl - nh > 0 && (w == n - 1 || P[w + 1].Time - P[w].Time <= nl - nh)) target = bo;
                }
            }
            if (Replaceable(P[target]) && c != 81) P[target].Code = code;
        } else if (P[w].Kind == kPointOut) {
            if (P[w].Time < h && best > R.Rule_mojerror && hasNext && P[w + 1].Time > h) {
                InsertZeroPair(line, w, h);
                target = w + 2;
            } else if (best <= R.Rule_mojerror && hasNext && P[w + 1].Kind == kPointLastEnd && l < P[w + 1].Time &&
                       l >= P[w].Time) {
                // The request ends before the shift does: cut at l so that
                // only the stretch up to l carries the code. (An end before the
                // out point itself would put the list out of order.)
                InsertZeroPair(line, w, l);
            }
            if (Replaceable(P[target]) && c != 81) P[target].Code = code;
        }

        if (Replaceable(P[target])) {
            if (c == 81) {
                if (P.size() >= 2 && P[0].Kind == kPointFirstStart && P[1].Kind == kPointIn &&
                    P[1].Time <= storedEnd + 5)
                    P[1].Code = code;
            } else if (best <= 90) {
                P[target].Code = code;
            }
        }
    }
}

void PrePass(const TRunContext& ctx, Timeline& line) {
    const rule_type& R = ctx.rule;
    auto& P = line.Points;
    const int n = static_cast<int>(P.size());
    for (int k = 1; k < n - 1; ++k) {
        TimePoint& p = P[k];
        const TimePoint& pred = P[k - 1];
        if (p.Kind == kPointIn) {
            const int c = p.Code;
            if (c != kCodeJustifiedLate && c > 10 && c < 80) {
                int conv = c;
                if (IsDailyLeaveCode(c)) conv = c - 20;
                else if (IsDailyMissionCode(c)) conv = c - 10;
                else if (IsFullMissionCode(c)) conv = c - 20;
                p.Code = static_cast<std::uint8_t>(conv);
                // Came in with a leave or mission code before any other punch:
                // the stretch from the interval start is covered by that code.
                bool onlyIntervals = true;
                for (int i = 0; i < k; ++i)
                    if (!IsIntervalPoint(P[i])) { onlyIntervals = false; break; }
                if (onlyIntervals && P[0].Kind == kPointFirstStart && P[0].Code == 0)
                    P[0].Code = static_cast<std::uint8_t>(conv);
            }
            if (IsServiceLateCode(p.Code) && R.Rule_gtsm && pred.Kind == kPointFirstStart) p.Time = pred.Time;
            if (p.Code == kCodeJustifiedLate && R.Rule_gtmm && pred.Kind == kPointFirstStart) p.Time = pred.Time;
        } else if (p.Kind == kPointOut && p.Code == kCodeLeaveToShiftEnd && R.Rule_gtmm &&
                   P[n - 1].Kind == kPointLastEnd) {
            // Leave until the end of the shift: the out point moves to the end
            // of the last interval. It is placed right before that end so the
            // list stays in time order across the intervals in between; when
            // the person punched again later the card is not applied, since
            // moving it would put the later punches before it.
            bool laterPunch = false;
            for (int i = k + 1; i < n; ++i)
                if (IsPunchPoint(P[i])) { laterPunch = true; break; }
            if (laterPunch) continue;
            TimePoint moved = p;
            moved.Time = P[n - 1].Time;
            moved.Code = 0;
            P.erase(P.begin() + k);
            P.insert(P.begin() + (n - 2), moved);
            break;  // only interval points follow
        }
    }
}

}  // namespace attcalc
