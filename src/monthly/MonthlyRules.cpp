// The month rules for overtime, absence, leave and missions: caps, monthly
// allowances, the waiver and the tiered penalty of hourly absence, conversion
// into entitled leave, the previous month's carry, compensation by overtime,
// and the conversion of hours into days. They run once per salary month on
// the month total, in a fixed order (month rules 1 ... 29).
#include "monthly/Monthly.h"

#include <algorithm>
#include <cstdio>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "engine/PeriodState.h"
#include "monthly/MonthSteps.h"
#include "run/Context.h"

namespace attcalc {

std::int64_t RoundDivHalfEven(std::int64_t n, std::int64_t d) {
    if (d < 0) {
        n = -n;
        d = -d;
    }
    std::int64_t q = n / d;
    std::int64_t r = n % d;  // same sign as n
    if (r < 0) {
        q -= 1;
        r += d;
    }
    // Now n = q * d + r with 0 <= r < d.
    if (2 * r > d || (2 * r == d && (q % 2 != 0))) q += 1;
    return q;
}

std::int64_t EntitledBalanceMinutes(const TRunContext& ctx) {
    const TBalance& b = ctx.balances.EntitledLeaveBalance;
    return static_cast<std::int64_t>(b.Days) * ctx.rule.Rule_mohr + b.Minutes;
}

void EntitledBalanceAdd(TRunContext& ctx, std::int32_t x) {
    TBalance& b = ctx.balances.EntitledLeaveBalance;
    BalanceAdd(b.Days, b.Minutes, 0, ctx.rule.Rule_mohr, x);
}

void MonthlyOvertimeCap(const TRunContext& ctx, TDayRecord& U) {
    const std::int32_t cap = ctx.rule.Rule_emaxm * 60;
    if (U.Prc_ValidAddWork > cap) {
        const std::int32_t e = U.Prc_ValidAddWork - cap;
        U.Prc_TotalWork -= e;
        U.Prc_InvalidAddWork += e;
        U.Prc_ValidAddWork = cap;
    }
}

TPrevMonthValues PrevMonthValues(TRunContext& ctx, const std::string& pcode, const std::string& E) {
    TPrevMonthValues v;
    const int y = DateYear(E);
    const int m = DateMonth(E);
    if (m <= 1) return v;  // no carry across years
    char ym[32];
    std::snprintf(ym, sizeof ym, "%04d%02d", y, m - 1);
    const std::string table = std::string("p") + ym;
    if (!TableExists(ctx, table)) return v;
    char date[32];
    std::snprintf(date, sizeof date, "%04d/%02d/00", y, m - 1);
    const Dialect& d = ctx.db->dialect();
    Rows rows = ctx.db->QueryBound("select Prc_HourAbsence,Prc_HourleaveNoSalary from " + d.Table(table) +
                                       "\nwhere prc_pcode=?\nand prc_date=?",
                                   {DbValue::Text(pcode), DbValue::Text(date)});
    if (rows.Empty()) return v;
    v.Prc_HourAbsence = static_cast<std::int32_t>(rows.Int(0, "Prc_HourAbsence"));
    v.Prc_HourleaveNoSalary = static_cast<std::int32_t>(rows.Int(0, "Prc_HourleaveNoSalary"));
    return v;
}

namespace {

// A monthly allowance (rules 4, 5, 6): what the tolerated amount holds above
// the allowance leaves the tolerated absence and the work and becomes hourly
// absence.
void MonthlyAllowance(TDayRecord& U, std::int32_t& tolerated, std::int32_t allowance) {
    if (tolerated <= allowance) return;
    const std::int32_t e = tolerated - allowance;
    tolerated -= e;
    U.Prc_ValidLessWork -= e;
    U.Prc_PureWork -= e;
    U.Prc_TotalWork -= e;
    U.Prc_HourAbsence += e;
}

// Whole multiples of `divisor` in `time` move to `days`.
void TimeToDays(std::int32_t& time, std::int32_t& days, std::int32_t divisor) {
    if (divisor <= 0) return;
    const std::int32_t q = time / divisor;
    days += q;
    time -= q * divisor;
}

// Rules 16 and 17: lateness or early leave up to `limit` becomes entitled
// leave. The balance may go negative here.
void LessWorkAsEntitledLeave(TRunContext& ctx, TDayRecord& U, std::int32_t& lessWork, std::int32_t limit) {
    const std::int32_t x = std::min(limit, lessWork);
    if (x <= 0) return;
    U.Prc_HourEleaveSalary += x;
    U.Prc_HourEleaveSalarysum += x;
    ctx.period.HourlyEntitledLeaveToDate += x;
    EntitledBalanceAdd(ctx, -x);
    U.Prc_HourAbsence = std::max(U.Prc_HourAbsence - x, 0);
    lessWork -= x;
    U.Prc_PureWork += x;
    U.Prc_TotalWork += x;
}

// Rule 12: the penalty of the month's hourly absence in up to three tiers.
// The third tier takes its percent of the whole absence.
std::int32_t TieredPenalty(const rule_type& r, std::int32_t ha) {
    const std::int64_t h = ha;
    if (h <= r.Rule_gsmt1) return static_cast<std::int32_t>(RoundDivHalfEven(h * r.Rule_gsmp1, 100));
    if (h <= r.Rule_gsmt2)
        return static_cast<std::int32_t>(
            RoundDivHalfEven(static_cast<std::int64_t>(r.Rule_gsmt1) * r.Rule_gsmp1, 100) +
            RoundDivHalfEven((h - r.Rule_gsmt1) * r.Rule_gsmp2, 100));
    return static_cast<std::int32_t>(RoundDivHalfEven(h * r.Rule_gsmp3, 100));
}

}  // namespace

void MonthlyRules(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a) {
    const rule_type& r = ctx.rule;
    PeriodState& ps = ctx.period;
    std::int32_t& TW = U.Prc_TotalWork;
    std::int32_t& PW = U.Prc_PureWork;
    std::int32_t& PDW = U.Prc_PureDayWork;
    std::int32_t& VA = U.Prc_ValidAddWork;
    std::int32_t& VAH = U.Prc_ValidAddWorkHolliday;
    std::int32_t& IA = U.Prc_InvalidAddWork;
    std::int32_t& VLW = U.Prc_ValidLessWork;
    std::int32_t& HA = U.Prc_HourAbsence;
    std::int32_t& DA = U.Prc_DayAbsence;
    std::int32_t& HDA = U.Prc_HourDayAbsence;
    std::int32_t& HE = U.Prc_HourEleaveSalary;
    std::int32_t& HES = U.Prc_HourEleaveSalarysum;
    std::int32_t& DE = U.Prc_DayEleaveSalary;

    // 1. Tolerated absence up to Rule_ggmezmanfi becomes negative overtime.
    {
        const std::int32_t x = std::min(r.Rule_ggmezmanfi, VLW);
        VA -= x;
        TW -= x;
        VLW -= x;
    }

    // 2. Holiday overtime cap (whole hours).
    if (r.Rule_emaxtm > 0 && VAH > r.Rule_emaxtm * 60) {
        const std::int32_t e = VAH - r.Rule_emaxtm * 60;
        TW -= e;
        VA -= e;
        IA += e;
        VAH = r.Rule_emaxtm * 60;
    }

    // 3. Monthly overtime cap (whole hours; 0 allows none).
    MonthlyOvertimeCap(ctx, U);

    // 4 - 6. Monthly allowances of lateness, early leave and in-shift absence.
    MonthlyAllowance(U, U.Prc_validTakhir, r.Rule_GMT1m);
    MonthlyAllowance(U, U.Prc_validTajil, r.Rule_gmt2m);
    MonthlyAllowance(U, U.AllowedBetweenAbsence, r.Rule_gmbm);

    // 7. Cap on tolerated absence. The cap is kept in whole hours, as the
    // monthly overtime caps are; the gross work is not changed here.
    if (VLW > r.Rule_gmaxm * 60) {
        if (!r.Rule_gkbm) {
            const std::int32_t e = VLW - r.Rule_gmaxm * 60;
            HA += e;
            PW -= e;
            VLW = r.Rule_gmaxm * 60;
        } else {
            HA += VLW;
            PW -= VLW;
            VLW = 0;
        }
    }

    // 8. Daily absence counts double.
    if (r.Rule_gddouble) HDA *= 2;

    // 9. Whole-day absence time to days by the conversion method.
    if (!r.Rule_gd && r.Rule_grzhd > 0) {
        TimeToDays(HDA, DA, r.Rule_grzhd);
        HDA = std::max(HDA, 0);
    }

    // 10. What is left of it is hourly absence.
    HA += HDA;
    HDA = 0;

    // 11. Monthly waiver of hourly absence.
    if (HA > r.Rule_gafvm) {
        if (!r.Rule_gafvlimit) {
            HA -= r.Rule_gafvm;
            U.Prc_HourAbsencePure -= r.Rule_gafvm;
            PW += r.Rule_gafvm;
            TW += r.Rule_gafvm;
        }
    } else {
        PW += HA;
        TW += HA;
        HA = 0;
    }

    // 12. Tiered penalty of hourly absence.
    if (HA > 0) {
        const std::int32_t p = TieredPenalty(r, HA);
        HA += p;
        PW -= p;
        TW -= p;
    }

    // 13. Hourly absence as entitled leave, as far as the balance reaches.
    if (r.Rule_ghmhm) {
        const std::int64_t b = EntitledBalanceMinutes(ctx);
        if (b > 0) {
            if (b < HA) {
                const std::int32_t x = static_cast<std::int32_t>(b);
                HE += x;
                PW += x;
                TW += x;
                HA -= x;
                ps.HourlyEntitledLeaveToDate += x;
                ctx.balances.EntitledLeaveBalance = TBalance{};
            } else {
                HE += HA;
                PW += HA;
                TW += HA;
                ps.HourlyEntitledLeaveToDate += HA;
                EntitledBalanceAdd(ctx, -HA);
                HA = 0;
            }
        }
    }

    // 14, 15. The previous month's hourly absence and hourly unpaid leave.
    if (r.Rule_gslastm || r.Rule_mobislastm) {
        const TPrevMonthValues prev = PrevMonthValues(ctx, a.PersonnelCode, a.E);
        if (r.Rule_gslastm) HA += prev.Prc_HourAbsence;
        if (r.Rule_mobislastm) U.Prc_HourleaveNoSalary += prev.Prc_HourleaveNoSalary;
    }

    // 16, 17. Lateness and early leave as entitled leave.
    LessWorkAsEntitledLeave(ctx, U, U.Prc_TakhirLessWork, r.Rule_takhirmo);
    LessWorkAsEntitledLeave(ctx, U, U.Prc_TajilLessWork, r.Rule_tajilmo);

    // 18. Hourly absence as entitled leave, up to Rule_ghmoh and the balance.
    {
        std::int64_t x = std::min(r.Rule_ghmoh, HA);
        x = std::min(x, EntitledBalanceMinutes(ctx));
        if (x > 0) {
            const std::int32_t x32 = static_cast<std::int32_t>(x);
            HE += x32;
            HES += x32;
            ps.HourlyEntitledLeaveToDate += x32;
            EntitledBalanceAdd(ctx, -x32);
            HA -= x32;
            PW += x32;
            TW += x32;
        }
    }

    // 19. Each day of unpaid leave adds absence.
    {
        const std::int32_t y = U.Prc_DayleaveNoSalary * r.Rule_gmorbigh;
        HA += y;
        PW -= y;
        TW -= y;
    }

    // 20. Absence days compensated by overtime, whole days only.
    if (r.Rule_gdez && VA > 0 && DA > 0 && r.Rule_gzhd > 0) {
        std::int64_t x = std::min<std::int64_t>(VA, static_cast<std::int64_t>(DA) * r.Rule_gzhd);
        const std::int32_t days = static_cast<std::int32_t>(x / r.Rule_gzhd);
        x = static_cast<std::int64_t>(days) * r.Rule_gzhd;
        DA -= days;
        PDW += days;
        PW += static_cast<std::int32_t>(x);
        VA -= static_cast<std::int32_t>(x);
    }

    // 21. Under-work compensated by overtime up to Rule_t1e2m.
    if (HA > 0 && r.Rule_t1e2m > 0 && VA > 0) {
        const std::int32_t x = std::min({HA, VA, r.Rule_t1e2m});
        HA -= x;
        VA -= x;
        PW += x;
    }

    // 22. Hourly absence to days; each absence day is a day less of net work.
    if (r.Rule_gzhd > 0) {
        const std::int32_t q = HA / r.Rule_gzhd;
        DA += q;
        PDW = std::max(PDW - q, 0);
        HA -= q * r.Rule_gzhd;
    }
    // Doubled daily absence adds the net absence days once more, whatever the
    // conversion length of hourly absence.
    if (r.Rule_gddouble) {
        DA += U.Prc_DayAbsencePure;
        PDW = std::max(PDW - U.Prc_DayAbsencePure, 0);
    }

    // 23. Missions: whole-day mission time to days (conversion method), the
    // rest is hourly mission, which turns into days by Rule_mahr. The month
    // total never keeps whole-day mission time.
    if (r.Rule_mad == 1 && r.Rule_marhr > 0) TimeToDays(U.Prc_HourDayMission, U.Prc_DayMission, r.Rule_marhr);
    U.Prc_HourMission += U.Prc_HourDayMission;
    U.Prc_HourDayMission = 0;
    if (r.Rule_mahr > 0) TimeToDays(U.Prc_HourMission, U.Prc_DayMission, r.Rule_mahr);

    // 24. Whole-day leave time to days.
    {
        const std::int32_t divisor = r.Rule_moh ? r.Rule_mok1 : r.Rule_morhr;
        if (divisor > 0) {
            TimeToDays(U.Prc_HourDayleaveNoSalary, U.Prc_DayleaveNoSalary, divisor);
            TimeToDays(U.Prc_HourDayleaveSalary, U.Prc_DayleaveSalary, divisor);
            TimeToDays(U.Prc_HourDayEleaveSalary, DE, divisor);
            TimeToDays(U.Prc_HourDaySleaveSalary, U.Prc_DaySleaveSalary, divisor);
        }
    }

    // 25. The rest of the whole-day leave time is hourly leave.
    U.Prc_HourleaveNoSalary += U.Prc_HourDayleaveNoSalary;
    U.Prc_HourleaveSalary += U.Prc_HourDayleaveSalary;
    HE += U.Prc_HourDayEleaveSalary;
    U.Prc_HourSleaveSalary += U.Prc_HourDaySleaveSalary;
    U.Prc_HourDayleaveNoSalary = 0;
    U.Prc_HourDayleaveSalary = 0;
    U.Prc_HourDayEleaveSalary = 0;
    U.Prc_HourDaySleaveSalary = 0;

    // 26. Whole days of hourly unpaid leave are days less of net work.
    if (r.Rule_mohr > 0)
        PDW = std::max(PDW - (U.Prc_HourSleaveNoSalary + U.Prc_HourleaveNoSalary) / r.Rule_mohr, 0);

    // 27. Each absence day is charged Rule_moghes minutes of entitled leave.
    if (r.Rule_moghes > 0 && DA > 0) {
        for (std::int32_t i = 0; i < DA; ++i) {
            EntitledBalanceAdd(ctx, -r.Rule_moghes);
            HE += r.Rule_moghes;
            ps.HourlyEntitledLeaveToDate += r.Rule_moghes;
        }
    }

    // 28. Monthly waiver of hourly entitled leave, given back to the balance.
    if (r.Rule_moafv > 0 && HE > 0 && (!r.Rule_moafvlimit || HE <= r.Rule_moafv)) {
        const std::int32_t x = std::min(HE, r.Rule_moafv);
        HE -= x;
        HES -= x;
        ps.HourlyEntitledLeaveToDate -= x;
        EntitledBalanceAdd(ctx, x);
        ps.HourlyEntitledLeaveToDate = std::max(ps.HourlyEntitledLeaveToDate, 0);
        ps.DailyEntitledLeaveDays = std::max(ps.DailyEntitledLeaveDays, 0);
        ps.EntitledLeaveCount = std::max(ps.EntitledLeaveCount, 0);
        HE = std::max(HE, 0);
        HES = std::max(HES, 0);
    }

    // 29. Daily entitled leave before the hours are added, then hourly leave
    // of every kind to days.
    U.Prc_DayEleaveSalaryPure = DE;
    if (r.Rule_mohr > 0) {
        TimeToDays(U.Prc_HourleaveNoSalary, U.Prc_DayleaveNoSalary, r.Rule_mohr);
        TimeToDays(U.Prc_HourSleaveNoSalary, U.Prc_DaySleaveNoSalary, r.Rule_mohr);
        TimeToDays(U.Prc_HourleaveSalary, U.Prc_DayleaveSalary, r.Rule_mohr);
        TimeToDays(U.Prc_HourleaveSalary23, U.Prc_DayleaveSalary43, r.Rule_mohr);
        TimeToDays(U.Prc_HourleaveSalary24, U.Prc_DayleaveSalary44, r.Rule_mohr);
        TimeToDays(U.Prc_HourleaveSalary25, U.Prc_DayleaveSalary45, r.Rule_mohr);
        TimeToDays(U.Prc_HourleaveSalary26, U.Prc_DayleaveSalary46, r.Rule_mohr);
        TimeToDays(U.Prc_HourleaveSalary27, U.Prc_DayleaveSalary47, r.Rule_mohr);
        TimeToDays(HE, DE, r.Rule_mohr);
        TimeToDays(U.Prc_HourSleaveSalary, U.Prc_DaySleaveSalary, r.Rule_mohr);
    }
}

}  // namespace attcalc
