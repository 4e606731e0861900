#include "inputs/Schedule.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "calendar/Jalali.h"
#include "config/Shifts.h"
#include "db/Cp1256.h"
#include "inputs/InputTables.h"
#include "run/Context.h"

namespace attcalc {

int PeriodDayCount(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || from > to) return 0;
    const int n = DayDiff(from, to) + 1;
    if (n > kMaxPeriodDays)
        throw std::runtime_error("period " + from + " - " + to + " has more than " +
                                 std::to_string(kMaxPeriodDays) + " days");
    return n;
}

std::int32_t FindSpecialShift(const TRunContext& ctx, std::string_view date) {
    for (const TSpecialShift& s : ctx.period.SpecialShifts)
        if (s.Date == date) return s.ShiftCode;
    return -1;
}

std::int32_t GroupScheduleCode(std::string_view monthText, int day) {
    const std::string bytes = Utf8ToCp1256(monthText);
    auto code = [&](std::size_t pos) { return static_cast<std::int32_t>(static_cast<unsigned char>(bytes[pos])); };
    if (day < 1 || day > 31) return 0;
    if (bytes.size() == 62)
        return (code(day - 1) - 1) + 254 * (code(day + 30) - 1);
    if (static_cast<std::size_t>(day) > bytes.size()) return 0;
    return code(day - 1) - 1;
}

namespace {

// Copies the shift `code` (the rest shift when the table does not know it)
// into the day's schedule fields.
void SetDayShift(TRunContext& ctx, DayInput& d, std::int32_t code) {
    d.ShiftCode = code;
    TShift shift = RestShift();
    if (code != 0) {
        const int idx = ctx.shifts.Entries.empty() ? -1 : FindShift(ctx.shifts, code);
        if (idx >= 0) shift = ctx.shifts.Entries[static_cast<std::size_t>(idx)];
        d.IntervalCount = shift.sh_count;
        d.ShiftNumber = shift.sh_kind;
        d.ShiftMinWork = shift.sh_Nesab;
        d.DayOverride = shift.sh_type;
    } else {
        d.IntervalCount = 0;
        d.ShiftNumber = static_cast<std::uint8_t>(ctx.rule.Rule_cbtatil & 0xFF);
        d.ShiftMinWork = 0;
        d.DayOverride = 0;
    }
    for (int i = 0; i < kMaxIntervals; ++i) {
        d.Intervals[i].Start = code != 0 ? shift.sh_ranges[static_cast<std::size_t>(i)].From : 0;
        d.Intervals[i].End = code != 0 ? shift.sh_ranges[static_cast<std::size_t>(i)].To : 0;
    }
    TShiftRanges ranges{};
    for (int i = 0; i < kMaxIntervals; ++i)
        ranges[static_cast<std::size_t>(i)] = {d.Intervals[i].Start, d.Intervals[i].End};
    const auto span = ShiftSpan(ranges);
    d.SpanStart = span.first;
    d.SpanEnd = span.second;
}

}  // namespace

TDefaultWindow ComputeDefaultWindow(const TRunContext& ctx, int dayCount) {
    TDefaultWindow w;
    std::int32_t q = INT32_MAX, r = INT32_MIN;
    for (int k = 1; k <= dayCount; ++k) {
        const DayInput& d = ctx.period.Days[static_cast<std::size_t>(k - 1)];
        // A day without ranges counts as the empty span (1439, 0).
        const bool has = d.SpanStart < d.SpanEnd;
        q = std::min(q, has ? d.SpanStart : 1439);
        r = std::max(r, has ? d.SpanEnd : 0);
    }
    if (dayCount <= 0) {
        q = 1439;
        r = 0;
    }
    if (r - q > 1440) {
        if (q < 0) q = r <= 1440 ? r - 1440 : 0;
        r = q + 1440;
    }
    w.MinSpanStart = q;
    w.MaxSpanEnd = r;
    w.Start = w.End = (q + r) / 2;
    return w;
}

void BuildSchedule(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to) {
    PeriodState& P = ctx.period;
    const int N = PeriodDayCount(from, to);
    P.DayCount = N;
    if (P.Days.size() < static_cast<std::size_t>(N + 2)) P.Days.resize(static_cast<std::size_t>(N + 2));

    // 1. Defaults: the person's shift group and the rule current now.
    const std::int32_t rule0 = ctx.RuleRequestedCode ? *ctx.RuleRequestedCode : ctx.rule.rule_code;
    P.DayGroups.fill(ctx.person.p_shiftgroup);
    P.DayRuleCodes.fill(rule0);

    // The schedule is built for the day after the period too, so the special
    // groups and shifts are taken up to that day.
    const std::string next = N > 0 ? AddDays(to, 1) : from;

    // 2. Special groups: each row covers the days after the previous row's
    // coverage up to and including its own date.
    if (InputTableExists(ctx, "spgroup")) {
        Rows g = ctx.db->QueryBound("select * from " + InputTable(ctx, "spgroup") +
                                        "\nwhere sp_date >=?\nand sp_cardno=?\norder by sp_date",
                                    {DbValue::Text(from), DbValue::Text(pcode)});
        std::string cursor = from;
        int day = 1;
        for (std::size_t i = 0; i < g.Count() && N > 0; ++i) {
            std::string until = g.Text(i, "sp_date");
            if (until >= next) until = next;
            const std::int32_t grcode = static_cast<std::int32_t>(g.Int(i, "sp_grcode"));
            const std::int32_t rulecode = static_cast<std::int32_t>(g.Int(i, "sp_rulecode"));
            while (cursor <= until && day <= N + 1) {
                P.DayGroups[static_cast<std::size_t>(day - 1)] = grcode;
                if (rulecode > 0) P.DayRuleCodes[static_cast<std::size_t>(day - 1)] = rulecode;
                cursor = AddDays(cursor, 1);
                ++day;
            }
        }
    }

    // 3. Fresh days 1 ... N + 1 and the spare. A day starts without ranges,
    // so its span is the empty span (1439, 0) of a day without ranges: days
    // that the group schedules never fill (a group without a schedule for the
    // year stops step 5) are days without a shift in every later step, the
    // default window of step 6 included, exactly like a rest day.
    for (int k = 1; k <= N + 2 && static_cast<std::size_t>(k) <= P.Days.size(); ++k) {
        DayInput& d = P.Days[static_cast<std::size_t>(k - 1)];
        d = DayInput{};
        d.SpanStart = 1439;
        d.SpanEnd = 0;
        if (k <= N + 1 && N > 0) d.Date = AddDays(from, k - 1);
    }

    // 4. Special shifts of single dates.
    P.SpecialShifts.clear();
    if (N > 0 && InputTableExists(ctx, "spshift")) {
        Rows s = ctx.db->QueryBound("select * from " + InputTable(ctx, "spshift") +
                                        "\nwhere sp_cardno=?\nand sp_date>=?\nand sp_date<=?",
                                    {DbValue::Text(pcode), DbValue::Text(from), DbValue::Text(next)});
        for (std::size_t i = 0; i < s.Count(); ++i)
            P.SpecialShifts.push_back({s.Text(i, "sp_date"), static_cast<std::int32_t>(s.Int(i, "sp_shcode"))});
    }

    // 5. Group schedules, queried again only when the group or the year changes.
    const bool haveGroups = N > 0 && InputTableExists(ctx, "grp_dtl");
    Rows grp;
    bool queried = false;
    std::int32_t qGroup = 0;
    int qYear = 0;
    for (int k = 1; k <= N + 1 && haveGroups; ++k) {
        DayInput& d = P.Days[static_cast<std::size_t>(k - 1)];
        const int y = DateYear(d.Date), m = DateMonth(d.Date), dd = DateDay(d.Date);
        const std::int32_t group = P.DayGroups[static_cast<std::size_t>(k - 1)];
        if (!queried || group != qGroup || y != qYear) {
            grp = ctx.db->QueryBound("select * from " + InputTable(ctx, "grp_dtl") + "\nwhere grd_year=?\nand grd_code=?",
                                     {DbValue::Int(y), DbValue::Int(group)});
            queried = true;
            qGroup = group;
            qYear = y;
            // Without a schedule for this group and year the rest of the
            // period has no shifts.
            if (grp.Empty()) break;
        }
        std::int32_t code = GroupScheduleCode(grp.Text(0, "grd_m" + std::to_string(m)), dd);
        const std::int32_t special = FindSpecialShift(ctx, d.Date);
        if (special >= 0) code = special;
        SetDayShift(ctx, d, code);
    }

    // 6. The default window of the days without a shift.
    P.DefaultWindow = ComputeDefaultWindow(ctx, N);
}

void ApplyDayRules(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to) {
    PeriodState& P = ctx.period;
    const int N = PeriodDayCount(from, to);
    const rule_type& R = ctx.rule;

    // The substitute rule of the current rule, inside its date range.
    if (!R.Rule_spRuleFDate.empty() && !R.Rule_spRuleEDate.empty() && R.Rule_spRule > 0) {
        for (int k = 1; k <= N; ++k) {
            const std::string& date = P.Days[static_cast<std::size_t>(k - 1)].Date;
            if (date >= R.Rule_spRuleFDate && date <= R.Rule_spRuleEDate)
                P.DayRuleCodes[static_cast<std::size_t>(k - 1)] = R.Rule_spRule;
        }
    }

    // Special rules of single dates win over everything.
    if (N > 0 && InputTableExists(ctx, "sprule")) {
        Rows s = ctx.db->QueryBound("select * from " + InputTable(ctx, "spRule") +
                                        "\nwhere sp_date >=?\nand sp_date <=?\nand sp_cardno=?\norder by sp_date",
                                    {DbValue::Text(from), DbValue::Text(to), DbValue::Text(pcode)});
        for (std::size_t i = 0; i < s.Count(); ++i) {
            const int k = 1 + DayDiff(from, s.Text(i, "sp_date"));
            if (k >= 1 && k <= N)
                P.DayRuleCodes[static_cast<std::size_t>(k - 1)] = static_cast<std::int32_t>(s.Int(i, "sp_Rulecode"));
        }
    }
}

}  // namespace attcalc
