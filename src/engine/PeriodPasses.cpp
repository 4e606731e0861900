// Passes over the period's days after the last one: a holiday or no-work day
// that lies between two days of the same daily leave counts as leave, between
// two daily or 24-hour missions as mission, between two absent days as
// absence. Each pass runs when one of its three class flags is on and
// rewrites the stored day records in place.
#include <algorithm>
#include <functional>
#include <vector>

#include "calendar/Holidays.h"
#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "engine/PeriodState.h"
#include "engine/Stages.h"
#include "inputs/InputTables.h"

namespace attcalc {

namespace {

// Characters 6 ... 10 are "01/01".
bool IsNewYearsDay(const std::string& date) { return date.size() >= 10 && date.compare(5, 5, "01/01") == 0; }
// Month "01" and day at most "13".
bool IsNewYearHoliday(const std::string& date) {
    return date.size() >= 10 && date.compare(5, 2, "01") == 0 && date.substr(8, 2) <= "13";
}

// One day as the pass walk sees it.
struct TPassDay {
    std::string Date;
    int DayClass = 0;   // 0 scheduled, 1 no-work day, 2 unofficial, 3 official holiday
    bool Belongs = false;  // the day carries one of the pass's codes (absent, for the absence pass)
    bool Reset = false;    // the walk starts over on this day
};

// Walks the days with the run state and returns, for each day, whether a
// closed run converts it. Flags are indexed by DayClass 1 ... 3.
std::vector<bool> WalkRuns(const std::vector<TPassDay>& days, const bool flags[4], bool convertEveryDay,
                           int startState) {
    const int n = static_cast<int>(days.size());
    std::vector<bool> marks(days.size(), false);
    int s = startState;
    for (int d = 0; d < n; ++d) {
        const TPassDay& day = days[d];
        if (day.Reset) s = 0;
        if (day.DayClass != 0) {
            if (s == 1 && flags[day.DayClass]) s = 2;
            continue;
        }
        if (s == 0) {
            if (day.Belongs) s = 1;
        } else if (s == 1) {
            if (!day.Belongs) s = 0;
        } else if (!day.Belongs) {
            s = 0;
        } else {
            // The run closes: back to its first day, over the days between.
            int b = d - 1;
            while (b >= 1 && days[b].DayClass != 0) --b;
            for (int i = b; i <= d; ++i)
                if (convertEveryDay || (days[i].DayClass != 0 && flags[days[i].DayClass])) marks[i] = true;
            s = 1;
        }
    }
    return marks;
}

void ClearShiftFields(TDayRecord& r) {
    r.Prc_Shift1Count = r.Prc_Shift2Count = r.Prc_Shift3Count = r.Prc_Shift4Count = r.Prc_Shift5Count = 0;
    r.Prc_Shift1time = r.Prc_Shift2time = r.Prc_Shift3time = r.Prc_Shift4time = r.Prc_Shift5time = 0;
}

TDayRecord& Stored(TRunContext& ctx, int d) { return DayAt(ctx.days, ctx.period.PeriodFirstIndex + d); }

// Passes 1 ... 7: days between two days of the same code family.
void CodePass(TRunContext& ctx, int n, bool noWorkDays, bool unofficial, bool official, int lo, int hi,
              bool resetsNewYear, bool resetOnPunches, const std::function<void(TDayRecord&, int)>& convert) {
    const bool flags[4] = {false, noWorkDays, unofficial, official};
    if (!noWorkDays && !unofficial && !official) return;
    const PeriodState& ps = ctx.period;
    std::vector<TPassDay> days(n);
    for (int d = 1; d <= n; ++d) {
        const DayInput& in = ps.Days[d - 1];
        TPassDay& p = days[d - 1];
        p.Date = in.Date;
        p.DayClass = in.DayClass;
        p.Belongs = CodeIn(in.DayCode, lo, hi);
        if (resetsNewYear)
            p.Reset = IsNewYearsDay(in.Date) || (IsNewYearHoliday(in.Date) && !ctx.rule.Rule_monowrooz);
        if (resetOnPunches && in.PairCount > 0) p.Reset = true;
    }
    const std::vector<bool> marks = WalkRuns(days, flags, false, 0);
    // The code of the day that closed the run a converted day belongs to.
    int closing = 0;
    for (int d = n; d >= 1; --d) {
        if (days[d - 1].DayClass == 0) closing = ps.Days[d - 1].DayCode;
        if (marks[d - 1]) convert(Stored(ctx, d), closing);
    }
}

// Whether the person has any punch from `from` to `to` (both included).
bool HasPunches(TRunContext& ctx, const std::string& from, const std::string& to) {
    for (const std::string& table : InputMonthTables("c", from, to)) {
        if (!TableExists(ctx, table)) continue;
        Rows rows = ctx.db->Query("select count(*) as n from " + InputTable(ctx, table) +
                                  "\nwhere clock_BarCode=" + InputQuote(ctx, ctx.PersonnelCode) +
                                  "\nand clock_date >=" + InputQuote(ctx, from) +
                                  "\nand clock_date <=" + InputQuote(ctx, to));
        if (!rows.Empty() && rows.Int(0, "n") > 0) return true;
    }
    return false;
}

void AbsenceConversion(TDayRecord& r) {
    r.Prc_DayAbsence = r.Prc_DayAbsencePure = 1;
    r.Prc_PureWork = r.Prc_PureDayWork = r.Prc_bimehwork = 0;
    r.Prc_TotalWork = r.Prc_PresenceWork;
    ClearShiftFields(r);
    r.Prc_DayleaveSalary = 0;
    r.Prc_DayleaveSalary43 = r.Prc_DayleaveSalary44 = r.Prc_DayleaveSalary45 = 0;
    r.Prc_DayleaveSalary46 = r.Prc_DayleaveSalary47 = 0;
    r.Prc_DaySleaveSalary = r.Prc_DayEleaveSalary = r.Prc_DayEleaveSalaryPure = 0;
}

// Pass 8: days between two absent days count as absence.
void AbsencePass(TRunContext& ctx, int n) {
    const rule_type& R = ctx.rule;
    const bool flags[4] = {false, R.Rule_dgkar, R.Rule_dtkar, R.Rule_drkar};
    if (!R.Rule_dgkar && !R.Rule_dtkar && !R.Rule_drkar) return;
    const PeriodState& ps = ctx.period;
    std::vector<TPassDay> days(n);
    for (int d = 1; d <= n; ++d) {
        const DayInput& in = ps.Days[d - 1];
        const TDayRecord& r = Stored(ctx, d);
        TPassDay& p = days[d - 1];
        p.Date = in.Date;
        p.DayClass = in.DayClass;
        p.Belongs = r.Prc_DayAbsence >= 1;
        p.Reset = (in.DayClass != 0 && r.Prc_PresenceWork > 0) || IsNewYearHoliday(in.Date);
    }

    // A period that ends in holidays looks past its end: the days up to the
    // next working day are added when the person has no punch in them, the
    // working day itself as an absent scheduled day.
    if (n >= 1 && days.back().DayClass != 0) {
        const std::string end = days.back().Date;
        const std::string first = AddDays(end, 1);
        std::string w = first;
        for (int guard = 0; guard < 400 && HolidayFlagBits(ctx, w) != 0; ++guard) w = AddDays(w, 1);
        if (!HasPunches(ctx, first, w)) {
            for (std::string date = first;; date = AddDays(date, 1)) {
                TPassDay p;
                p.Date = date;
                p.DayClass = date == w ? 0 : days.back().DayClass;
                p.Belongs = date == w;
                p.Reset = IsNewYearHoliday(date);
                days.push_back(p);
                if (date == w) break;
            }
        }
    }

    const int start = ps.PreviousDay.PrevDayAbsence == 1 ? 1 : 0;
    const std::vector<bool> marks = WalkRuns(days, flags, true, start);
    for (int d = 1; d <= n; ++d)
        if (marks[d - 1]) AbsenceConversion(Stored(ctx, d));
}

}  // namespace

void PeriodPasses(TRunContext& ctx, TEngineState&) {
    PeriodState& ps = ctx.period;
    const rule_type& R = ctx.rule;
    if (ps.Mode != 1) return;
    const int n = std::min({ps.DayCount, static_cast<int>(ps.Days.size()), kMaxPeriodDays,
                            DayCount(ctx.days) - ps.PeriodFirstIndex});
    if (n < 1) return;

    // 1. Entitled leave.
    CodePass(ctx, n, R.Rule_momgm, R.Rule_momtm, R.Rule_momrm, 41, 41, true, true, [&](TDayRecord& r, int) {
        TBalance& b = ctx.balances.EntitledLeaveBalance;
        if (b.Days <= 0) return;
        // A day that already holds its entitled leave day is not charged again.
        if (r.Prc_DayEleaveSalary < 1) {
            BalanceAdd(b.Days, b.Minutes, -1, R.Rule_mohr, 0);
            ps.DailyEntitledLeaveDays += 1;
        }
        r.Prc_DayEleaveSalary = 1;
        if (!R.Rule_monowbat) ClearShiftFields(r);
    });
    // 2. Sick leave (the sick balance is not charged).
    CodePass(ctx, n, R.Rule_momgms, R.Rule_momtms, R.Rule_momrms, 42, 42, true, false, [&](TDayRecord& r, int) {
        if (ctx.balances.SickLeaveBalance.Days < 1 && R.Rule_moebs) {
            r.Prc_DaySleaveNoSalary = 1;
            r.Prc_DaySleaveSalary = 0;
            r.Prc_PureWork = r.Prc_PureDayWork = r.Prc_bimehwork = 0;
            r.Prc_TotalWork = r.Prc_PresenceWork;
        } else {
            r.Prc_DaySleaveSalary = 1;
        }
        if (!R.Rule_monowbat) ClearShiftFields(r);
    });
    // 3. Other paid leave.
    CodePass(ctx, n, R.Rule_momgm, R.Rule_momtm, R.Rule_momrm, 43, 49, true, false, [&](TDayRecord& r, int code) {
        r.Prc_DayleaveSalary = 1;
        if (std::int32_t* f = PaidLeaveDayField(r, code)) *f = 1;
        if (!R.Rule_monowbat) ClearShiftFields(r);
    });
    // 4. Unpaid sick leave.
    CodePass(ctx, n, R.Rule_momgm, R.Rule_momtm, R.Rule_momrm, 31, 31, true, false,
             [](TDayRecord& r, int) { r.Prc_DaySleaveNoSalary = 1; });
    // 5. Unpaid leave.
    CodePass(ctx, n, R.Rule_momgm, R.Rule_momtm, R.Rule_momrm, 32, 39, true, false,
             [](TDayRecord& r, int) { r.Prc_DayleaveNoSalary = 1; });
    // 6. Daily missions.
    CodePass(ctx, n, R.Rule_marmgm, R.Rule_marmtm, R.Rule_marmrm, 61, 69, false, false,
             [](TDayRecord& r, int) { r.Prc_DayMission = 1; });
    // 7. 24-hour missions.
    CodePass(ctx, n, R.Rule_mashrmgm, R.Rule_mashrmtm, R.Rule_mashrmrm, 71, 79, false, false,
             [](TDayRecord& r, int) { r.Prc_FullMission = 1; });
    // 8. Absence.
    AbsencePass(ctx, n);
}

}  // namespace attcalc
