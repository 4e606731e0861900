// Required work of the month, the productivity reduction, insurance days,
// overtime grants and the month rounding.
#include "monthly/Monthly.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"
#include "config/Person.h"
#include "config/Shifts.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "inputs/Schedule.h"
#include "monthly/MonthSteps.h"
#include "run/Context.h"

namespace attcalc {

namespace {

// The overtime of holidays, Fridays and non-working days.
void ClearHolidayOvertime(TDayRecord& U) {
    U.Prc_ValidAddWorkHolliday = 0;
    U.Prc_ValidAddWorkNoworkday = 0;
    U.Prc_ValidAddWorkfriday = 0;
    U.Prc_InValidAddWorkfriday = 0;
    U.Prc_ValidAddWorkHolNoFr = 0;
    U.Prc_InValidAddWorkHolNoFr = 0;
}

// Gross work against the required work R: what lies above R is overtime,
// what lies below it hourly absence.
void SettleByGrossWork(TDayRecord& U, std::int32_t R) {
    U.Prc_NormWork = R;
    if (R < U.Prc_TotalWork) {
        U.Prc_PureWork = R;
        U.Prc_ValidAddWork = U.Prc_TotalWork - R;
        U.Prc_HourAbsence = 0;
        U.Prc_DayAbsence = 0;
        U.Prc_InvalidAddWork = 0;
    } else {
        U.Prc_PureWork = U.Prc_TotalWork;
        U.Prc_HourAbsence = R - U.Prc_TotalWork;
        U.Prc_DayAbsence = 0;
        U.Prc_ValidAddWork = 0;
        ClearHolidayOvertime(U);
        U.Prc_InvalidAddWork = 0;
    }
}

// Shortfall of the scheduled work against R, made up from overtime first.
void SettleShortfall(TDayRecord& U, std::int32_t R) {
    const std::int32_t d = R - U.Prc_NormWork;
    if (d < U.Prc_ValidAddWork) {
        U.Prc_ValidAddWork -= d;
        U.Prc_PureWork += d;
    } else {
        U.Prc_PureWork += U.Prc_ValidAddWork;
        U.Prc_HourAbsence += d - U.Prc_ValidAddWork;
        U.Prc_ValidAddWork = 0;
    }
}

// Scheduled work against R: a shortfall is made up from overtime, then
// becomes absence; scheduled work above R is overtime.
void SettleByNetWork(TDayRecord& U, std::int32_t R) {
    if (U.Prc_NormWork < R) {
        SettleShortfall(U, R);
    } else {
        U.Prc_ValidAddWork += U.Prc_NormWork - R;
        if (R < U.Prc_PureWork) U.Prc_PureWork = R;
    }
    U.Prc_NormWork = R;
}

// As by net work, but with scheduled work above R the absence inside the
// schedule is forgiven, and the overtime is at most the presence.
void SettleByNetAndPresence(TDayRecord& U, std::int32_t R) {
    if (U.Prc_NormWork < R) {
        SettleShortfall(U, R);
    } else {
        if (R < U.Prc_PureWork) {
            U.Prc_HourAbsence = std::max(U.Prc_HourAbsence - (U.Prc_NormWork - U.Prc_PureWork), 0);
            U.Prc_ValidAddWork += U.Prc_PureWork - R;
            U.Prc_PureWork = R;
        } else {
            U.Prc_HourAbsence = std::max(U.Prc_HourAbsence - (U.Prc_NormWork - R), 0);
            if (U.Prc_PresenceWork < U.Prc_ValidAddWork) U.Prc_ValidAddWork = U.Prc_PresenceWork;
        }
        U.Prc_TotalWork = U.Prc_PureWork + U.Prc_ValidAddWork;
    }
    U.Prc_NormWork = R;
}

std::int32_t Clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// The first `n` characters (code points) of a UTF-8 text.
std::string FirstChars(const std::string& text, std::size_t n) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars == n) return text.substr(0, i);
        ++chars;
    }
    return text;
}

}  // namespace

std::int64_t GroupRequiredWork(TRunContext& ctx, std::int32_t group, const std::string& S, const std::string& E) {
    const Dialect& dl = ctx.db->dialect();
    Rows rows = ctx.db->QueryBound("select * from " + dl.Table("grp_dtl") +
                                       "\nwhere grd_year>=?\nand grd_year<=?\nand grd_code=?\norder by grd_year",
                                   {DbValue::Int(DateYear(S)), DbValue::Int(DateYear(E)), DbValue::Int(group)});
    if (rows.Empty()) return 0;
    // Each day reads the calendar row of its own year (the first one when a
    // year has several). A year without a row adds nothing: its days are not
    // read from another year's calendar.
    std::map<int, std::size_t> rowOfYear;
    for (std::size_t i = 0; i < rows.Count(); ++i)
        rowOfYear.emplace(static_cast<int>(rows.Int(i, "grd_year")), i);

    std::int64_t sum = 0;
    const int days = ctx.period.DayCount;  // the days of the period computed last
    std::string d = S;
    for (int k = 0; k < days; ++k, d = AddDays(d, 1)) {
        auto it = rowOfYear.find(DateYear(d));
        if (it == rowOfYear.end()) continue;
        const std::int32_t code =
            GroupScheduleCode(rows.Text(it->second, "grd_m" + std::to_string(DateMonth(d))), DateDay(d));
        if (code == 0) continue;
        int idx = FindShift(ctx.shifts, code);
        if (idx < 0) idx = 0;  // an unknown shift code uses the table's first entry
        if (static_cast<std::size_t>(idx) >= ctx.shifts.Entries.size()) continue;
        const TShift& sh = ctx.shifts.Entries[static_cast<std::size_t>(idx)];
        const int used = std::min<int>(sh.sh_count, 3);
        for (int i = 0; i < used; ++i) {
            const TShiftRange& rg = sh.sh_ranges[static_cast<std::size_t>(i)];
            if (rg.From < rg.To) sum += rg.To - rg.From;
        }
    }
    return sum;
}

void MonthlyRequiredWork(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a) {
    const rule_type& r = ctx.rule;
    switch (r.Rule_karsaati) {
    case 1:  // no required work: all gross work is net work
        U.Prc_NormWork = 0;
        U.Prc_PureWork = U.Prc_TotalWork;
        U.Prc_HourAbsence = 0;
        U.Prc_DayAbsence = 0;
        U.Prc_ValidAddWork = 0;
        U.Prc_ValidAddWorkBefore = 0;
        U.Prc_ValidAddWorkafter = 0;
        U.Prc_ValidAddWorkbein = 0;
        ClearHolidayOvertime(U);
        U.Prc_InvalidAddWork = 0;
        break;
    case 2:  // fixed hours a month
        SettleByGrossWork(U, r.Rule_karsaat * 60);
        break;
    case 3: {  // a share of a work group's scheduled work
        const std::int64_t g = GroupRequiredWork(ctx, r.Rule_karpgroup, a.S, a.E);
        const std::int32_t R = Clamp32(RoundDivHalfEven(g * r.Rule_karpercent, 100));
        U.Prc_NormWork = R;
        if (R < U.Prc_TotalWork) {
            U.Prc_PureWork = R;
            U.Prc_ValidAddWork = U.Prc_TotalWork - R;
            U.Prc_HourAbsence = 0;
            U.Prc_DayAbsence = 0;
            U.Prc_InvalidAddWork = 0;
        } else {
            // The net work keeps what the month rules left.
            U.Prc_HourAbsence = R - U.Prc_TotalWork;
            U.Prc_DayAbsence = 0;
            U.Prc_ValidAddWork = 0;
            ClearHolidayOvertime(U);
            U.Prc_InvalidAddWork = 0;
        }
        MonthlyOvertimeCap(ctx, U);
        break;
    }
    case 4:  // days of the month times the daily hours
        SettleByNetWork(U, Clamp32(static_cast<std::int64_t>(a.N) * r.Rule_KarPerday));
        MonthlyOvertimeCap(ctx, U);
        break;
    case 5:  // hours inside the shifts
        SettleByNetAndPresence(U, r.Rule_karlazem * 60);
        MonthlyOvertimeCap(ctx, U);
        break;
    case 6:  // month table, by gross work
    case 7: {  // month table, by net work and presence
        const int m = DateMonth(a.E);
        const std::int32_t R = (m >= 1 && m <= 12) ? r.Rule_karpermah[static_cast<std::size_t>(m - 1)] * 60 : 0;
        if (r.Rule_karsaati == 6) {
            SettleByGrossWork(U, R);
        } else {
            SettleByNetAndPresence(U, R);
            MonthlyOvertimeCap(ctx, U);
        }
        break;
    }
    default:
        break;
    }
}

void ProductivityReduction(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a) {
    const TPersonAttributes& p = ctx.person;
    if (!ctx.rule.Rule_bahreh || !p.ProductivityMember) {
        U.Prc_HourDaySleaveNoSalary = 0;
        return;
    }
    // Service days: employment up to the month's last date, plus prior service.
    std::int64_t V = 0;
    const std::string job = NormalizeDate(p.p_jobdate);
    if (!job.empty()) V = DayDiff(job, a.E);
    V += static_cast<std::int64_t>(p.PriorServiceYears) * 365 + static_cast<std::int64_t>(p.PriorServiceMonths) * 30;

    const std::int64_t Y = V < 30 ? 0 : (V - 30) / 365 + 1;
    std::int64_t B = 0;
    if (Y >= 17) B = 300;
    else if (Y >= 13) B = 240;
    else if (Y >= 9) B = 180;
    else if (Y >= 5) B = 120;
    else if (Y >= 1) B = 60;

    // Hardship of the department.
    const std::int32_t T = DepartmentHardship(ctx, p.p_parts);
    if (T >= 0 && T <= 25) B += 30;
    else if (T >= 26 && T <= 50) B += 60;
    else if (T >= 51 && T <= 75) B += 90;
    else if (T >= 76 && T <= 100) B += 120;

    // Shift work, by the counters as the days left them.
    const std::int32_t c[5] = {U.Prc_Shift1Count, U.Prc_Shift2Count, U.Prc_Shift3Count, U.Prc_Shift4Count,
                               U.Prc_Shift5Count};
    const int K = (c[0] > 0) + (c[1] > 0) + (c[2] > 0) + 2 * (c[3] > 0) + 2 * (c[4] > 0);
    if (U.Prc_HourDaySleaveNoSalary >= 5) {
        B += 60;
    } else if (K >= 2) {
        const std::int64_t T5 = static_cast<std::int64_t>(c[0]) + c[1] + c[2] + c[3] + c[4];
        const std::int64_t X = std::max<std::int64_t>({c[0], c[1], c[2], c[3], c[4], 0});
        if ((T5 > 14 && T5 - X > 4) || static_cast<std::int64_t>(c[3]) + c[4] > 4) B += 60;
    }

    const std::int64_t D = a.N == 31 ? 30 : a.N;
    U.Prc_HourDaySleaveNoSalary = Clamp32(RoundDivHalfEven(B * D, 7));
}

TMonthGrant ReadMonthGrant(TRunContext& ctx, const std::string& pcode, int year, int month) {
    TMonthGrant g;
    if (!TableExists(ctx, "addfree")) return g;
    const Dialect& dl = ctx.db->dialect();
    Rows rows = ctx.db->QueryBound(
        "select add_timeOK as timeOK \n,add_night as night\n,add_cycle10 as cycle10\n,add_cycle15 as cycle15"
        "\n,add_cycle25 as cycle25\n,add_cycle35 as cycle35\n,add_cycle20 as cycle20\n,add_nowork as nowork"
        "\n,add_max as maxa\n,add_Remark as remark\n from " +
            dl.Table("addfree") + "\nwhere add_pcode=?\nand add_year=?\nand add_month=?",
        {DbValue::Text(pcode), DbValue::Int(year), DbValue::Int(month)});
    std::int64_t sum[8] = {};
    static const char* const kCounters[8] = {"timeOK",  "night",   "cycle10", "cycle15",
                                             "cycle25", "cycle35", "cycle20", "nowork"};
    for (std::size_t i = 0; i < rows.Count(); ++i) {
        for (int k = 0; k < 8; ++k) sum[k] += rows.Int(i, kCounters[k]);
        g.maxa = std::max(g.maxa, Clamp32(rows.Int(i, "maxa")));
        const std::string remark = rows.Text(i, "remark");
        if (!remark.empty()) g.remark = remark;
    }
    g.timeOK = Clamp32(sum[0]);
    g.night = Clamp32(sum[1]);
    g.cycle10 = Clamp32(sum[2]);
    g.cycle15 = Clamp32(sum[3]);
    g.cycle25 = Clamp32(sum[4]);
    g.cycle35 = Clamp32(sum[5]);
    g.cycle20 = Clamp32(sum[6]);
    g.nowork = Clamp32(sum[7]);
    return g;
}

void InsuranceDaysAndGrant(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a) {
    a.Grant = TMonthGrant{};
    if (SalaryMonthCoverage(ctx, a.S, a.E) != 3) return;  // only a whole salary month
    const int y = DateYear(a.E);
    const int m = DateMonth(a.E);
    a.Grant = ReadMonthGrant(ctx, a.PersonnelCode, y, m);

    // Insurance days follow the length of the calendar month of E.
    const int L = DaysInMonth(y, m);
    const std::int32_t PDW = U.Prc_PureDayWork;
    if (L > a.N)
        U.Prc_bimehwork = PDW < 1 ? 0 : L + PDW - a.N;
    else if (L < a.N)
        U.Prc_bimehwork = std::max(L + PDW - a.N, 0);
}

void GrantsAndClamps(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a) {
    const rule_type& r = ctx.rule;
    const TMonthGrant& g = a.Grant;

    // 1. Granted overtime; a negative grant takes at most the overtime there is.
    std::int32_t t = g.timeOK;
    if (U.Prc_ValidAddWork + t < 0 && U.Prc_ValidAddWork >= 0) t = -U.Prc_ValidAddWork;
    U.Prc_ValidAddWork += t;
    U.Prc_ValidAddWorkFree += t;

    // 2. The grant's remark.
    U.Prc_addFreeRemark = FirstChars(g.remark, 30);

    // 3. Ordinary overtime above Rule_egtlimit counts as holiday overtime.
    if (r.Rule_egtlimit > 0 && U.Prc_ValidAddWork - U.Prc_ValidAddWorkHolliday > r.Rule_egtlimit)
        U.Prc_ValidAddWorkHolliday += (U.Prc_ValidAddWork - U.Prc_ValidAddWorkHolliday) - r.Rule_egtlimit;

    // 4. The granted overtime is gross work too.
    U.Prc_TotalWork += t;

    // 5. Hourly absence left over is deducted from the overtime.
    if (r.Rule_mghez) {
        const std::int32_t x = U.Prc_HourAbsence;
        U.Prc_HourAbsence = 0;
        U.Prc_ValidAddWork -= x;
        U.Prc_PureWork += x;
    }

    // 6. Granted nights, shift counters and non-working days, none below 0.
    auto grant = [](std::int32_t& field, std::int32_t add) { field = std::max(field + add, 0); };
    grant(U.Prc_PureWorkNights, g.night);
    grant(U.Prc_Shift1Count, g.cycle10);
    grant(U.Prc_Shift2Count, g.cycle15);
    grant(U.Prc_Shift3Count, g.cycle25);
    grant(U.Prc_Shift4Count, g.cycle35);
    grant(U.Prc_Shift5Count, g.cycle20);
    grant(U.Prc_addnoworkday, g.nowork);

    // 7. The grant's overtime cap.
    if (g.maxa > 0 && U.Prc_ValidAddWork > g.maxa) {
        const std::int32_t e = U.Prc_ValidAddWork - g.maxa;
        U.Prc_InvalidAddWork += e;
        U.Prc_TotalWork -= e;
        U.Prc_ValidAddWork = g.maxa;
    }

    // 8. Overtime zeroed by the rule.
    if (r.Rule_emzero && U.Prc_ValidAddWork > 0) U.Prc_ValidAddWork = 0;

    // 9. Absence days and net work days together at most the required days.
    if (U.Prc_NormWorkDay < U.Prc_DayAbsence + U.Prc_PureDayWork)
        U.Prc_PureDayWork = std::max(U.Prc_NormWorkDay - U.Prc_DayAbsence, 0);
}

void MonthRound(const TRunContext& ctx, std::int32_t& value) {
    const rule_type& r = ctx.rule;
    if (!r.Rule_isroundmonth) return;
    std::int32_t s = r.Rule_roundtimemonth & 0xFF;
    if (s == 0) s = 1;
    // The rounding acts on the minutes within the hour.
    const std::int32_t a = value % 60;  // keeps the value's sign
    const std::int32_t rem = a % s;
    switch (r.Rule_roundtypemonth) {
    case 1:  // up
        // A negative remainder is already below the boundary above it:
        // moving by s - rem would carry a negative value past zero.
        if (rem > 0) value += s - rem;
        else if (rem < 0) value -= rem;
        break;
    case 2:  // down
        value -= rem;
        break;
    case 3:  // nearest; exactly half a step rounds up
        if (2 * rem < s) value -= rem;
        else value += s - rem;
        break;
    case 4:  // to the half hour
        if (a >= 0 && a < 20) value -= a;
        else if (a >= 20 && a < 40) value += 30 - a;
        else if (a >= 40 && a < 60) value += 60 - a;
        break;
    default:
        break;
    }
}

void MonthRounding(TRunContext& ctx, TDayRecord& U, const TMonthArgs&) {
    MonthRound(ctx, U.Prc_TotalWork);
    MonthRound(ctx, U.Prc_ValidAddWork);
    MonthRound(ctx, U.Prc_ValidAddWorkNight);
}

}  // namespace attcalc
