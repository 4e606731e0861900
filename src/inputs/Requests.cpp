#include "inputs/Requests.h"

#include <cmath>
#include <unordered_map>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "inputs/InputTables.h"
#include "inputs/Schedule.h"
#include "run/Context.h"

namespace attcalc {

void ReadTimedRequests(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to) {
    PeriodState& P = ctx.period;
    const int N = PeriodDayCount(from, to);
    std::unordered_map<std::string, int> dayOf;  // date -> day index
    for (int k = 1; k <= N; ++k) {
        DayInput& d = P.Days[static_cast<std::size_t>(k - 1)];
        d.RequestCount = 0;
        d.DayClass = d.IntervalCount == 0 ? 1 : 0;
        dayOf.emplace(d.Date, k - 1);
    }
    if (N <= 0) return;
    for (const std::string& table : InputMonthTables("t", from, to)) {
        CreateTableIfMissing(ctx, table);
        Rows rows = ctx.db->QueryBound("select * from " + InputTable(ctx, table) +
                                           "\nwhere clock_barCode=?\nand clock_date>=?\nand clock_date<=?"
                                           "\norder by clock_date,clock_time",
                                       {DbValue::Text(pcode), DbValue::Text(from), DbValue::Text(to)});
        for (std::size_t i = 0; i < rows.Count(); ++i) {
            auto it = dayOf.find(rows.Text(i, "clock_date"));
            if (it == dayOf.end()) continue;
            DayInput& d = P.Days[static_cast<std::size_t>(it->second)];
            if (d.RequestCount >= kMaxRequests) continue;
            TTimedRequest& r = d.Requests[d.RequestCount++];
            r.Start = static_cast<std::int32_t>(rows.Int(i, "clock_time"));
            r.End = static_cast<std::int32_t>(rows.Int(i, "clock_etime"));
            r.Code = static_cast<std::int32_t>(rows.Int(i, "clock_recstate"));
        }
    }
}

std::int32_t ReadPreviousDay(TRunContext& ctx, const std::string& from, const std::string& pcode) {
    TPreviousDay& pd = ctx.period.PreviousDay;
    pd = TPreviousDay{};
    const std::string prev = AddDays(from, -1);

    // A day computed earlier in this run is not stored yet: take it from the
    // day array.
    for (int k = ctx.days.Count; k >= 1; --k) {
        const TDayRecord& r = DayAt(ctx.days, k);
        if (r.Prc_date == prev && r.Prc_PCode == pcode) {
            pd.Found = true;
            pd.Mark = r.Prc_28;
            pd.LastInOut = r.Prc_LastInOut;
            pd.PrevDayAbsence = r.Prc_DayAbsence;
            pd.PrevHourDayleaveSalary = r.Prc_HourDayleaveSalary;
            return pd.Mark;
        }
    }

    const std::string table = MonthTableName("p", prev);
    if (!TableExists(ctx, table)) return pd.Mark;
    Rows rows = ctx.db->QueryBound("select Prc_28,Prc_lastinout,prc_dayabsence,Prc_HourDayleaveSalary from " +
                                       InputTable(ctx, table) + "\nwhere prc_pcode=?\nand prc_date=?",
                                   {DbValue::Text(pcode), DbValue::Text(prev)});
    if (!rows.Empty()) {
        pd.Found = true;
        pd.Mark = static_cast<std::int32_t>(rows.Int(0, "Prc_28"));
        pd.LastInOut = static_cast<std::int32_t>(rows.Int(0, "Prc_lastinout"));
        pd.PrevDayAbsence = static_cast<std::int32_t>(rows.Int(0, "prc_dayabsence"));
        pd.PrevHourDayleaveSalary = static_cast<std::int32_t>(rows.Int(0, "Prc_HourDayleaveSalary"));
    }
    return pd.Mark;
}

std::int32_t WeightedPermit(std::int32_t m, std::int32_t threshold, std::int32_t firstPercent,
                            std::int32_t secondPercent) {
    // Integer hundredths, so a half is exact and rounds to the even neighbour.
    const long long hundredths = m > threshold
                                     ? static_cast<long long>(threshold) * firstPercent +
                                           static_cast<long long>(m - threshold) * secondPercent
                                     : static_cast<long long>(m) * firstPercent;
    return m + static_cast<std::int32_t>(std::nearbyint(static_cast<double>(hundredths) / 100.0));
}

namespace {

// The kept entries of the grid tables <prefix><yyyymm> of the person within
// [from, to], as (day number, minutes), in table and day order.
template <class F>
void ReadGrid(TRunContext& ctx, const char* prefix, const std::string& from, const std::string& to,
              const std::string& pcode, F&& use) {
    if (PeriodDayCount(from, to) <= 0) return;
    for (const std::string& table : InputMonthTables(prefix, from, to)) {
        CreateTableIfMissing(ctx, table);
        Rows rows = ctx.db->QueryBound("select * from " + InputTable(ctx, table) + "\nwhere E_PCode=?",
                                       {DbValue::Text(pcode)});
        if (rows.Empty()) continue;
        const std::string ym = table.substr(1, 4) + "/" + table.substr(5, 2) + "/";
        // The grid has 31 columns in every month; those past the month's last
        // day name no date (counted from `from` they would land on the first
        // days of the next month) and are passed over.
        const int monthDays = DaysInMonth(DateYear(ym), DateMonth(ym));
        for (int dd = 1; dd <= monthDays; ++dd) {
            const std::string column = std::string("E_D") + (dd < 10 ? "0" : "") + std::to_string(dd);
            const std::string text = rows.Text(0, column).substr(0, 4);
            if (text.empty()) continue;
            const std::string date = ym + (dd < 10 ? "0" : "") + std::to_string(dd);
            if (date < from || date > to) continue;
            const int minutes = InputParseInt(text, table, column);
            use(DayDiff(from, date) + 1, date, minutes);
        }
    }
}

// The DayClass of a date: that of the day input of the same date; after the
// period's inputs are released (the permits are read again over the whole
// range of the run) the class the engine gave the computed day, from its
// Prc_Type bits; 0 (a scheduled day) for a date neither holds.
int DayClassOf(const TRunContext& ctx, int k, const std::string& date, const std::string& pcode) {
    const auto& days = ctx.period.Days;
    if (k >= 1 && static_cast<std::size_t>(k) <= days.size() && days[static_cast<std::size_t>(k - 1)].Date == date)
        return days[static_cast<std::size_t>(k - 1)].DayClass;
    for (const DayInput& d : days)
        if (d.Date == date) return d.DayClass;
    for (int i = 1; i <= ctx.days.Count; ++i) {
        const TDayRecord& r = DayAt(ctx.days, i);
        if (r.Prc_date != date || r.Prc_PCode != pcode) continue;
        if (!(r.Prc_Type & 1)) return 0;
        if (r.Prc_Type & 4) return 3;
        if (r.Prc_Type & 2) return 2;
        return 1;
    }
    return 0;
}

}  // namespace

void ReadDailyOvertimePermits(TRunContext& ctx, const std::string& from, const std::string& to,
                              const std::string& pcode) {
    PeriodState& P = ctx.period;
    P.PermitFrom = from;
    P.PermitTo = to;
    P.DailyOvertimePermit.fill(0);
    P.DailyOvertimePermitTotal = 0;
    const rule_type& R = ctx.rule;
    ReadGrid(ctx, "e", from, to, pcode, [&](int k, const std::string& date, int m) {
        if (k < 1 || static_cast<std::size_t>(k) > P.DailyOvertimePermit.size()) return;
        std::int32_t permit;
        switch (DayClassOf(ctx, k, date, pcode)) {
            case 1: permit = WeightedPermit(m, R.Rule_ezgtime, R.Rule_ezg, R.Rule_ezg1); break;
            case 2: permit = WeightedPermit(m, R.Rule_ezttime, R.Rule_ezt, R.Rule_ezt1); break;
            case 3: permit = WeightedPermit(m, R.Rule_ezrtime, R.Rule_ezr, R.Rule_ezr1); break;
            default: permit = WeightedPermit(m, R.Rule_ezatime, R.Rule_eza, R.Rule_eza1); break;
        }
        P.DailyOvertimePermit[static_cast<std::size_t>(k - 1)] = permit;
        P.DailyOvertimePermitTotal += permit;
    });
}

void ReadFreeOvertime(TRunContext& ctx, const std::string& from, const std::string& to, const std::string& pcode) {
    PeriodState& P = ctx.period;
    P.PermitFrom = from;
    P.PermitTo = to;
    P.FreeOvertime.fill(0);
    P.FreeOvertimeTotal = 0;
    ReadGrid(ctx, "a", from, to, pcode, [&](int k, const std::string&, int m) {
        if (k < 1 || static_cast<std::size_t>(k) > P.FreeOvertime.size()) return;
        P.FreeOvertime[static_cast<std::size_t>(k - 1)] = m;
        P.FreeOvertimeTotal += m;
    });
}

void ReadYearToDate(TRunContext& ctx, const std::string& to, const std::string& pcode) {
    PeriodState& P = ctx.period;
    P.MissionDaysUsed = 0;
    P.HourlyEntitledLeaveYear = 0;
    const std::string yyyy = to.substr(0, 4);
    const int month = DateMonth(to);
    for (int mm = 1; mm < month; ++mm) {
        const std::string m2 = (mm < 10 ? "0" : "") + std::to_string(mm);
        const std::string table = "p" + yyyy + m2;
        if (!TableExists(ctx, table)) continue;
        Rows rows = ctx.db->QueryBound("select Prc_DayMission,Prc_FullMission,Prc_HourEleaveSalarysum from " +
                                           InputTable(ctx, table) + "\nwhere prc_pcode=?\nand prc_date=?",
                                       {DbValue::Text(pcode), DbValue::Text(yyyy + "/" + m2 + "/00")});
        if (rows.Empty()) continue;
        P.MissionDaysUsed += static_cast<std::int32_t>(rows.Int(0, "Prc_DayMission") + rows.Int(0, "Prc_FullMission"));
        P.HourlyEntitledLeaveYear += static_cast<std::int32_t>(rows.Int(0, "Prc_HourEleaveSalarysum"));
    }
}

namespace {
std::int32_t PermitEntry(const TRunContext& ctx, const std::array<std::int32_t, kMaxPeriodDays + 2>& a,
                         std::string_view date) {
    const PeriodState& P = ctx.period;
    if (P.PermitFrom.empty() || date < P.PermitFrom || date > P.PermitTo) return 0;
    const int k = DayDiff(P.PermitFrom, date) + 1;
    if (k < 1 || static_cast<std::size_t>(k) > a.size()) return 0;
    return a[static_cast<std::size_t>(k - 1)];
}
}  // namespace

std::int32_t DailyOvertimePermitOf(const TRunContext& ctx, std::string_view date) {
    return PermitEntry(ctx, ctx.period.DailyOvertimePermit, date);
}

std::int32_t FreeOvertimeOf(const TRunContext& ctx, std::string_view date) {
    return PermitEntry(ctx, ctx.period.FreeOvertime, date);
}

}  // namespace attcalc
