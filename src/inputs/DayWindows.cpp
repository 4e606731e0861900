#include "inputs/DayWindows.h"

#include <algorithm>
#include <unordered_map>

#include "calendar/Jalali.h"
#include "config/RuleLoad.h"
#include "inputs/InputTables.h"
#include "inputs/Requests.h"
#include "inputs/Schedule.h"
#include "run/Context.h"

namespace attcalc {

bool InWindow(std::int32_t t, const TDayWindow& window, bool opening, int margin) {
    if (opening) return window.Start - margin <= t && t <= window.End - margin;
    return window.Start - margin <= t && t <= window.End + margin;
}

namespace {

constexpr int kDefaultMargin = 62;

bool IsShiftStartPreCard(int state) { return (state >= 11 && state <= 27) || (state >= 51 && state <= 55); }

// The control stations of the readers (r_code -> r_station).
std::unordered_map<std::int32_t, std::int32_t> ReaderStations(TRunContext& ctx) {
    std::unordered_map<std::int32_t, std::int32_t> m;
    if (!InputTableExists(ctx, "readers")) return m;
    Rows r = ctx.db->Query("select r_code,r_station from " + InputTable(ctx, "readers"));
    for (std::size_t i = 0; i < r.Count(); ++i)
        m.emplace(static_cast<std::int32_t>(r.Int(i, "r_code")), static_cast<std::int32_t>(r.Int(i, "r_station")));
    return m;
}

// One day being paired.
struct TDayPairing {
    TRunContext& ctx;
    DayInput& d;
    std::int32_t& carried;  // the carried continuation mark (0, 28, 29)
    const std::unordered_map<std::int32_t, std::int32_t>& stations;

    void Count() { d.PairCount = static_cast<std::uint8_t>((d.PunchCount + 1) / 2); }
    bool Even() const { return d.PunchCount % 2 == 0; }
    TPair& Current() { return d.Pairs[(d.PunchCount + 1) / 2 - 1]; }

    // Opens a new pair; nothing when the day has no room left.
    bool Open(std::int32_t t, std::uint8_t code, std::uint8_t change) {
        if (d.PunchCount >= kMaxPunchTimes) return false;
        ++d.PunchCount;
        TPair& p = Current();
        p = TPair{};
        p.In = t;
        p.InCode = code;
        p.InChange = change;
        Count();
        return true;
    }
    // Closes the open pair.
    void Close(std::int32_t t, std::uint8_t code, std::uint8_t change) {
        TPair& p = Current();
        ++d.PunchCount;
        p.Out = t;
        p.OutCode = code;
        p.OutChange = change;
        Count();
    }

    // After an exit closed pair j > 1: an exit-to-entry gap short enough
    // joins the pair to the one before it.
    void ExitToEntry() {
        const rule_type& R = ctx.rule;
        if (!R.Rule_outinwork) return;
        const int j = d.PunchCount / 2;
        if (j <= 1) return;
        TPair& a = d.Pairs[j - 2];
        TPair& b = d.Pairs[j - 1];
        if (a.OutCode != 0) return;
        if (R.Rule_outinworkmax != 0 && b.In - a.Out > R.Rule_outinworkmax) return;
        a.Out = b.Out;
        a.OutCode = b.OutCode;
        a.OutChange = b.OutChange;
        b = TPair{};
        d.PunchCount = static_cast<std::uint8_t>(d.PunchCount - 2);
        Count();
    }

    // Places one accepted punch at line time t.
    void Place(TPunch& punch, std::int32_t t) {
        const rule_type& R = ctx.rule;
        const std::uint8_t ck = punch.Change;
        const std::uint8_t state = punch.State;
        if (ck == 0 || ck == 1) {
            // The day's station is that of the last punch placed; a
            // continuous-overtime card while a pair is open only sets the mark
            // and places nothing, so it leaves the station as it is.
            auto setStation = [&] {
                auto st = stations.find(punch.Reader);
                d.Station = st == stations.end() ? 0 : st->second;
            };
            if (state == 28 || state == 29) {
                carried = state;
                if (Even()) {
                    setStation();
                    Open(t, state == 28 ? 3 : 0, ck);
                }
                return;
            }
            setStation();
            if (state == 5) {
                if (Even()) {
                    // An exit where an entry was expected: an incomplete pair.
                    if (Open(t, 97, ck)) {
                        TPair& p = Current();
                        p.Out = t;
                        p.OutCode = 97;
                        p.OutChange = ck;
                    }
                } else {
                    punch.State = 0;
                    Close(t, 0, ck);
                    ExitToEntry();
                }
                return;
            }
            if (state == 4 && !Even()) {
                // An entry where an exit was expected: the open pair stays
                // incomplete and a new one opens.
                TPair& p = Current();
                Close(p.In, 97, p.InChange);
                Open(t, 0, ck);
                return;
            }
            if (state == 4) punch.State = 0;
            if (Even()) {
                Open(t, punch.State, ck);
                if (R.Rule_In1_Out2) carried = R.Rule_In1_Out2_28 ? 28 : 29;
            } else {
                Close(t, punch.State, ck);
                ExitToEntry();
            }
            return;
        }
        if (ck == 2) {
            d.DayCode = state;
            return;
        }
        if (ck == 3) {
            // The close takes the punch's state as the out code only when the
            // state is not 0: a pair opened by an exit card keeps its 97 (and
            // so is not joined to the next pair as an ordinary exit would be).
            if (Even()) {
                if (Open(t, 0, 3)) Close(t, state != 0 ? state : Current().OutCode, 3);
            } else {
                Close(t, state != 0 ? state : Current().OutCode, 3);
                Current().InChange = 3;
            }
            return;
        }
        if (ck == 4) {
            if (Even()) Open(t, state, 4);
            return;
        }
        // Change kinds 5 and above place nothing.
    }
};

}  // namespace

void BuildDays(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to) {
    PeriodState& P = ctx.period;
    const int N = PeriodDayCount(from, to);
    TPunchBuffer& buf = P.Punches;

    // 1. The rule of every day.
    ApplyDayRules(ctx, pcode, from, to);
    if (N <= 0) return;

    // 2. Values stored with the day before the period.
    std::int32_t carried = ReadPreviousDay(ctx, from, pcode);
    const std::int32_t prevLastInOut = P.PreviousDay.LastInOut;
    const auto stations = ReaderStations(ctx);

    // 3. The window of the day before the first day.
    TDayWindow prevWindow;
    {
        std::int32_t v = ctx.rule.Rule_shrmarz - P.Margin;
        if (v > 720) v -= 1440;
        prevWindow = {v, v + 1440};
    }

    std::size_t cursor = 0;
    auto lineTime = [](const TPunch& p, const std::string& date, const std::string& before,
                       const std::string& after, std::int32_t& t) {
        if (p.Date == date) t = p.Time;
        else if (p.Date == before) t = p.Time - 1440;
        else if (p.Date == after) t = p.Time + 1440;
        else return false;
        return true;
    };
    auto insertAt = [&](std::size_t pos, TPunch p) { buf.insert(buf.begin() + static_cast<std::ptrdiff_t>(pos), p); };

    for (int day = 1; day <= N; ++day) {
        DayInput& d = P.Days[static_cast<std::size_t>(day - 1)];
        const DayInput& n = P.Days[static_cast<std::size_t>(day)];
        const std::string& date = d.Date;
        const std::string before = AddDays(date, -1);
        const std::string after = AddDays(date, 1);

        // Rule and reset.
        RuleLoad(ctx, P.DayRuleCodes[static_cast<std::size_t>(day - 1)]);
        const rule_type& R = ctx.rule;
        std::int32_t w = R.Rule_shrmarz - 1;
        if (w > 720) w -= 1440;
        const std::int32_t I = w + 1440;
        d.Station = 0;
        d.DayCode = 0;
        d.ChangedFlag = 0;

        // Windows of this day and the next.
        const bool dHas = d.SpanStart < d.SpanEnd;
        const bool nHas = n.SpanStart < n.SpanEnd;
        TDayWindow win = dHas ? TDayWindow{d.SpanStart, d.SpanEnd} : TDayWindow{P.DefaultWindow.Start, P.DefaultWindow.End};
        TDayWindow nwin = nHas ? TDayWindow{n.SpanStart, n.SpanEnd} : TDayWindow{P.DefaultWindow.Start, P.DefaultWindow.End};

        // The margin: half the gap between two close shifts.
        int margin = kDefaultMargin;
        if (dHas && nHas) {
            const std::int32_t g = n.SpanStart + 1440 - d.SpanEnd;
            if (g < 0) margin = 0;
            else if (g <= 120) margin = g / 2;
        }
        P.Margin = static_cast<std::uint8_t>(margin);

        win.Start -= R.Rule_emaxg;
        win.End += R.Rule_emaxb;
        nwin.Start -= R.Rule_emaxg;
        nwin.End += R.Rule_emaxb;
        const std::int32_t spanEnd = d.SpanEnd;
        const std::int32_t nextSpanStart = n.SpanStart;
        if (R.Rule_shrfix) {
            win = {w, w + 1440};
            nwin = {w, w + 1440};
        }
        for (int i = 0; i < d.RequestCount; ++i) {
            const TTimedRequest& q = d.Requests[i];
            if (q.End > win.End) {
                win.End = q.End + 1;
                nwin.Start = q.End - 1439;
            }
        }
        win.Start = std::max(win.Start, -720);
        nwin.Start = std::max(nwin.Start, -720);
        win.End = std::min(win.End, 2640);
        nwin.End = std::min(nwin.End, 2640);
        // The days' windows touch.
        win.Start = prevWindow.End - 1440;

        // Split point with the next day.
        {
            const std::int32_t K = win.End;
            const std::int32_t N2 = nwin.Start + 1440;
            const std::int32_t M = N2 - K;
            if (M <= 0) win.End = N2 - 1;
            else if (K < I && N2 < I) win.End = M <= 120 ? K + M / 2 : N2;
            else if (K < I) {
                if (M <= 120) win.End = K + M / 2;
                else if (I <= K + 60) win.End = K;
                else if (I >= N2 - 60) win.End = N2;
                else win.End = I;
            } else win.End = M <= 120 ? K + M / 2 : K;
        }
        if (dHas && win.End < spanEnd) win.End = spanEnd;
        if (nHas && win.End > nextSpanStart + 1440) win.End = nextSpanStart + 1440;

        // Day 1: pass over what the day before the period already used, so
        // that the automatic entry and the shift-start pre-card below look at
        // the first day's own punches.
        if (day == 1) {
            std::int32_t t = 0;
            // Punches at or before the previous day's last entry or exit.
            while (cursor < buf.size() && lineTime(buf[cursor], date, before, after, t) &&
                   t <= prevLastInOut - 1440)
                ++cursor;
            // Punches before the window start.
            const std::int32_t first = prevLastInOut == kNoTime ? win.Start - 60 : win.Start;
            while (cursor < buf.size() && lineTime(buf[cursor], date, before, after, t) && t < first) ++cursor;
            // The previous day's last punch, taken by it after midnight.
            if (P.PreviousDay.Found && prevLastInOut != kNoTime && cursor < buf.size() &&
                buf[cursor].Date == from && buf[cursor].Time + 1440 == prevLastInOut)
                ++cursor;
        }

        // Automatic entry at the shift start.
        if (R.Rule_incard && dHas) {
            bool add = true;
            if (cursor < buf.size()) {
                const TPunch& p = buf[cursor];
                if (p.Date < date) add = false;
                else if (p.Date == date && p.Time < (d.SpanStart + d.SpanEnd) / 2) add = false;
            }
            if (add) {
                TPunch e;
                e.Date = date;
                e.Time = d.SpanStart;
                e.Reader = cursor < buf.size() ? buf[cursor].Reader : 0;
                e.Change = 1;
                insertAt(cursor, e);
            }
        }
        // A pre-card at the shift start becomes the exit of a one-minute pair.
        if (dHas && cursor + 1 < buf.size()) {
            const TPunch& p = buf[cursor];
            if (p.Date == date && p.Time <= d.SpanStart && IsShiftStartPreCard(p.State) && buf[cursor + 1].State == 0) {
                TPunch c = p;
                c.Time = p.Time - 1;
                c.State = 0;
                c.Change = 1;
                insertAt(cursor, c);
            }
        }

        d.PunchCount = 0;
        d.PairCount = 0;
        for (TPair& p : d.Pairs) p = TPair{};
        TDayPairing pairing{ctx, d, carried, stations};

        // An open pair carried from the day before. On day 1 it opens where
        // the stored day before left it (its last punch - 1439); when that day
        // stored no punch time (-1000) there is nothing to continue from, and
        // the pair opens at the window start as on any later day, not at
        // -2439.
        if (carried == 28 || carried == 29) {
            const std::int32_t at = day == 1 && prevLastInOut != kNoTime ? prevLastInOut - 1439 : win.Start;
            pairing.Open(at, carried == 28 ? 3 : 0, 0);
            if (!R.Rule_e28fullmomtad) carried = 0;
        }
        d.FirstPunch = static_cast<std::int32_t>(cursor);

        // Accept the punches of the window in time order.
        while (cursor < buf.size()) {
            TPunch& p = buf[cursor];
            std::int32_t t = 0;
            bool belongs;
            if (p.Change == 2) {
                if (p.Date < date) {
                    // A whole-day code left behind by its own day (whose last
                    // punches belonged to this one): it goes to its day, and
                    // never stops the days after it.
                    const int k = DayDiff(from, p.Date) + 1;
                    if (k >= 1 && k < day) {
                        P.Days[static_cast<std::size_t>(k - 1)].DayCode = p.State;
                        P.Days[static_cast<std::size_t>(k - 1)].ChangedFlag = 2;
                    }
                    ++cursor;
                    continue;
                }
                belongs = p.Date == date;
            } else if (p.Date < before) {  // older than any day still open
                ++cursor;
                continue;
            } else if (!lineTime(p, date, before, after, t)) {
                belongs = false;
            } else if (t < win.Start - margin) {
                // Before the window: the day before did not take it either (an
                // entry later than that day takes entries and earlier than this
                // day's margin reaches back, when this margin is the smaller
                // one). No later day can take it, so it is passed over instead
                // of ending this day and, in turn, every day after it.
                ++cursor;
                continue;
            } else {
                belongs = InWindow(t, win, pairing.Even(), margin);
            }
            if (!belongs) break;
            carried = 0;
            if (d.PunchCount < kMaxPunchTimes) {
                if (p.Change != 0) d.ChangedFlag = p.Change;
                pairing.Place(p, t);
            }
            ++cursor;
        }

        // Automatic exit at the shift end.
        if (R.Rule_outcard && dHas && d.PunchCount % 2 == 1 && !(d.DayCode >= 31 && d.DayCode <= 99)) {
            TPunch e;
            e.Date = date;
            e.Time = d.SpanEnd;
            e.Reader = cursor > 0 ? buf[cursor - 1].Reader : 0;
            e.Change = 1;
            insertAt(cursor, e);
            pairing.Close(d.SpanEnd, 0, 0);
            ++cursor;
            // The exit closed the pair an entry card may have marked for
            // continuing: nothing is left open to carry into the next day
            // (as after any exit the day takes).
            carried = 0;
        }

        // An open last pair: carried into the next day, or incomplete.
        d.Mark28 = 0;
        if (d.PunchCount % 2 == 1) {
            if (R.Rule_addyignore && cursor < buf.size() && buf[cursor].State == 5 && carried != 28) carried = 29;
            if (carried == 28 || carried == 29) {
                pairing.Close(win.End, 0, 0);
                d.Mark28 = static_cast<std::uint8_t>(carried);
            } else {
                TPair& p = pairing.Current();
                p.Out = p.In;
                p.OutCode = 97;
                // Back-to-back shifts: the pair continues into the next day.
                if (dHas && nHas && n.SpanStart + 1440 - d.SpanEnd <= 60 && cursor < buf.size() && cursor > 0 &&
                    buf[cursor].Date <= AddDays(buf[cursor - 1].Date, 1)) {
                    pairing.Close(d.SpanEnd, 0, 0);
                    carried = 29;
                    d.Mark28 = 29;
                }
            }
            d.Pairs[(d.PunchCount + 1) / 2 - 1].OutChange = 0;
        }

        // Presence requests become pairs.
        for (int i = 0; i < d.RequestCount; ++i) {
            const TTimedRequest& q = d.Requests[i];
            if (q.Code != 87) continue;
            if (d.PunchCount + 2 > kMaxPunchTimes) continue;  // no room left in the day
            TPair r;
            r.In = q.Start;
            r.Out = q.End;
            r.InCode = r.OutCode = 87;
            int pos = d.PairCount;
            if (d.PairCount > 0 && q.Start < d.Pairs[d.PairCount - 1].Out) {
                pos = -1;
                for (int j = 0; j < d.PairCount; ++j)
                    if (d.Pairs[j].In >= q.End) {
                        pos = j;
                        break;
                    }
                if (pos < 0) continue;  // collides with the last pair and precedes none
            }
            for (int j = d.PairCount; j > pos; --j) d.Pairs[j] = d.Pairs[j - 1];
            d.Pairs[pos] = r;
            d.PunchCount = static_cast<std::uint8_t>(d.PunchCount + 2);
            pairing.Count();
        }

        prevWindow = win;
    }
}

}  // namespace attcalc
