// Entitled and sick leave balances from the yearly leave tables, the
// projection of the entitled balance, and the month's leave write.
#include "monthly/Balances.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"
#include "config/Person.h"
#include "config/Rule.h"
#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "engine/PeriodState.h"
#include "run/Context.h"

namespace attcalc {

namespace {

// The (days, minutes) pair of month n (1 ... 12) of a leave-table row, and
// whether the month has been calculated (-1, -1 means it has not).
struct TMonthPair {
    std::int32_t Days = -1;
    std::int32_t Minutes = -1;
    bool Calculated() const { return !(Days == -1 && Minutes == -1); }
};

// One row of "morkhasi" or "smorkhasi", read once per call.
struct TLeaveRow {
    bool Found = false;
    TMonthPair Opening;  // Mor_DRemainOk, Mor_HRemainOk ("morkhasi" only)
    TMonthPair Months[13];  // [1] ... [12]
};

std::string YearText(int year) {
    char b[16];
    std::snprintf(b, sizeof b, "%04d", year);
    return b;
}

TLeaveRow ReadLeaveRow(TRunContext& ctx, const std::string& table, const std::string& pcode, int year) {
    TLeaveRow row;
    if (!TableExists(ctx, table)) return row;
    const Dialect& d = ctx.db->dialect();
    Rows rows = ctx.db->QueryBound("select * from " + d.Table(table) + "\nwhere mor_Pcode=?\nand mor_year=?",
                                   {DbValue::Text(pcode), DbValue::Int(year)});
    if (rows.Empty()) return row;
    row.Found = true;
    if (rows.HasColumn("mor_dremainok")) {
        row.Opening.Days = static_cast<std::int32_t>(rows.Int(0, "mor_dremainok"));
        row.Opening.Minutes = static_cast<std::int32_t>(rows.Int(0, "mor_hremainok"));
    }
    for (int n = 1; n <= 12; ++n) {
        row.Months[n].Days = static_cast<std::int32_t>(rows.Int(0, "mor_d" + std::to_string(n)));
        row.Months[n].Minutes = static_cast<std::int32_t>(rows.Int(0, "mor_h" + std::to_string(n)));
    }
    return row;
}

void Add(TBalance& b, std::int32_t days, std::int32_t minutes, std::int32_t h) {
    BalanceAdd(b.Days, b.Minutes, days, h, minutes);
}

void Subtract(TBalance& b, const TBalance& x, std::int32_t h) { Add(b, -x.Days, -x.Minutes, h); }

// x / h, truncated; 0 for a day length of 0 (a rule without leave day).
double PerDay(double x, std::int32_t h) { return h > 0 ? std::trunc(x / h) : 0.0; }

// The correction of one month of the salary-month method: `x` minutes of a
// month's entitlement, as whole days and the rounded rest.
void AddMinutesAsDays(TBalance& b, double x, std::int32_t h) {
    const double days = PerDay(x, h);
    Add(b, static_cast<std::int32_t>(days), RoundHalfEven(x - days * h), h);
}

}  // namespace

bool UsesLeaveTable(const rule_type& R) { return R.Rule_moeylist && !R.LeaveTableForBalances; }

TBalance MonthAccrual(const rule_type& R, int month, std::int32_t& twelfths) {
    if (UsesLeaveTable(R) && month >= 1 && month <= 12)
        return {R.Rule_moeyd[static_cast<std::size_t>(month - 1)], R.Rule_moeyh[static_cast<std::size_t>(month - 1)]};
    // The month's extra minutes (Y mod 12) x h / 12 in whole twelfths, so that
    // the carried fraction adds up exactly (three months of 36 2/3 minutes
    // give 36, 37 and 37, never 36 twice from a sum of 0.999...).
    const std::int32_t Y = R.Rule_moey;
    const std::int64_t extra = static_cast<std::int64_t>(Y % 12) * R.Rule_mohr;
    twelfths += static_cast<std::int32_t>(extra % 12);
    const std::int32_t carried = twelfths / 12;
    twelfths %= 12;
    return {Y / 12, static_cast<std::int32_t>(extra / 12) + carried};
}

void LeaveBalance(TRunContext& ctx, int mode, int v, const std::string& pcode, int year, int b, bool restricted) {
    const rule_type& R = ctx.rule;
    const std::int32_t h = R.Rule_mohr;
    const int count = b - 1;
    TBalance bal;
    std::int32_t usedDays = 0, usedMinutes = 0;
    std::int32_t s = 0;  // the carried fraction of the accrual, in twelfths of a minute

    const TLeaveRow row = ReadLeaveRow(ctx, "morkhasi", pcode, year);
    if (row.Found) {
        if (row.Opening.Calculated()) bal = {row.Opening.Days, row.Opening.Minutes};
        if (b > 1) {
            for (int n = 1; n <= count && n <= 12; ++n) {
                const TBalance a = MonthAccrual(R, n, s);
                Add(bal, a.Days, a.Minutes, h);
                const TMonthPair& used = row.Months[n];
                if (!used.Calculated()) continue;
                // Mode 0: the months of the period being calculated are
                // charged by the engine day by day, not from the table.
                if (mode == 1 || n < b - v - 1) Add(bal, -used.Days, -used.Minutes, h);
                if (n < count) {
                    usedDays += used.Days;
                    usedMinutes += used.Minutes;
                }
            }
        }
        if (!restricted)
            for (int n = std::max(b, 1); n <= 12; ++n) {
                const TBalance a = MonthAccrual(R, n, s);
                Add(bal, a.Days, a.Minutes, h);
            }
    } else if (restricted) {
        for (int n = 1; n <= count && n <= 12; ++n) {
            const TBalance a = MonthAccrual(R, n, s);
            Add(bal, a.Days, a.Minutes, h);
        }
    } else {
        Add(bal, R.Rule_moey, 0, h);
    }

    Subtract(bal, EmploymentCorrection(ctx, pcode, year, mode == 1 ? b : count), h);
    const TBalance grants = SpecialLeaveGrants(ctx, pcode, year, count);
    Add(bal, grants.Days, grants.Minutes, h);
    // The allowed negative days widen what the engine may charge. The pair
    // stays normalised (a plain addition to the days could leave days and
    // minutes of opposite signs).
    if (mode == 0 && !(bal.Days == -1 && bal.Minutes == -1)) Add(bal, R.Rule_moeneg, 0, h);

    TLeaveBalances& L = ctx.balances;
    L.EntitledLeaveBalance = bal;
    L.EntitledLeaveCap = R.Rule_moesyl < 1 ? 99999 : std::max(R.Rule_moesyl - usedMinutes, 0);
    L.YearLeaveRemaining = {R.Rule_moey, 0};
    Add(L.YearLeaveRemaining, -usedDays, -usedMinutes, h);
}

TBalance EmploymentCorrection(TRunContext& ctx, const std::string& pcode, int year, int n) {
    const rule_type& R = ctx.rule;
    const std::int32_t h = R.Rule_mohr;
    TBalance c;
    // Without a persons table there are no employment dates to correct for.
    if (!TableExists(ctx, "persons")) return c;
    const TEmploymentDates dates = EmploymentDates(ctx, pcode);
    const bool table = UsesLeaveTable(R);
    if (dates.JobDate.empty() && dates.EndJobDate.empty()) return c;

    if (ctx.settings.CalendarMonthsForLeave) {
        // Months of 30 days.
        if (!dates.JobDate.empty() && DateYear(dates.JobDate) == year) {
            int m = DateMonth(dates.JobDate), e;
            const int d = DateDay(dates.JobDate);
            if (n < m) {
                m = n;
                e = 1;
            } else {
                e = d == 31 ? 30 : d;
            }
            if (!table) {
                const double x = static_cast<double>(e + m * 30 - 31) * R.Rule_moey / 360.0;
                c.Days = static_cast<std::int32_t>(std::trunc(x));
                c.Minutes = RoundHalfEven((x - c.Days) * h);
            } else if (m >= 1 && m <= 12) {
                for (int i = 1; i < m; ++i)
                    Add(c, R.Rule_moeyd[static_cast<std::size_t>(i - 1)], R.Rule_moeyh[static_cast<std::size_t>(i - 1)], h);
                const std::int64_t monthMinutes =
                    static_cast<std::int64_t>(R.Rule_moeyd[static_cast<std::size_t>(m - 1)]) * h +
                    R.Rule_moeyh[static_cast<std::size_t>(m - 1)];
                Add(c, 0, static_cast<std::int32_t>(monthMinutes * (e - 1) / 30), h);
            }
        }
        if (!dates.EndJobDate.empty() && DateYear(dates.EndJobDate) == year) {
            const int m = DateMonth(dates.EndJobDate), d = DateDay(dates.EndJobDate);
            double x = static_cast<double>(R.Rule_moey) * (n * 30 - m * 30 - (d == 31 ? 30 : d) + 30) / 360.0;
            x = std::max(x, 0.0);
            const double days = std::trunc(x);
            c.Days += static_cast<std::int32_t>(days);
            c.Minutes += RoundHalfEven((x - days) * h);
        }
        return c;
    }

    // Salary months: each month's entitlement in proportion to the days of
    // its salary period outside the employment.
    for (int k = 1; k <= n && k <= 12; ++k) {
        const TSalaryPeriod p = SalaryPeriod(ctx, year, k);
        const int length = DayDiff(p.First, p.Last) + 1;
        std::int32_t a, r;
        double T;
        if (!table) {
            T = RoundHalfEven(static_cast<double>(R.Rule_moey) * h / 12.0);
            a = static_cast<std::int32_t>(PerDay(T, h));
            r = RoundHalfEven(T - static_cast<double>(a) * h);
        } else {
            a = R.Rule_moeyd[static_cast<std::size_t>(k - 1)];
            r = R.Rule_moeyh[static_cast<std::size_t>(k - 1)];
            T = static_cast<double>(a) * h + r;
        }
        if (!dates.JobDate.empty() && dates.JobDate > p.First) {
            if (dates.JobDate > p.Last) Add(c, a, r, h);
            else AddMinutesAsDays(c, DayDiff(p.First, dates.JobDate) * T / length, h);
        }
        if (!dates.EndJobDate.empty() && dates.EndJobDate < p.Last) {
            if (dates.EndJobDate < p.First) Add(c, a, r, h);
            else AddMinutesAsDays(c, DayDiff(dates.EndJobDate, p.Last) * T / length, h);
        }
    }
    return c;
}

TBalance SpecialLeaveGrants(TRunContext& ctx, const std::string& pcode, int year, int n) {
    TBalance g;
    if (!TableExists(ctx, "spmor")) return g;
    const Dialect& d = ctx.db->dialect();
    char last[32];
    std::snprintf(last, sizeof last, "%s/%02d/31", YearText(year).c_str(), n);
    Rows rows = ctx.db->QueryBound("select * from " + d.Table("spmor") +
                                       "\nwhere spm_Pcode=?\nand spm_date>=?\nand spm_date<=?",
                                   {DbValue::Text(pcode), DbValue::Text(YearText(year) + "/01/01"),
                                    DbValue::Text(last)});
    for (std::size_t i = 0; i < rows.Count(); ++i) {
        g.Days += static_cast<std::int32_t>(rows.Int(i, "spm_days"));
        g.Minutes += static_cast<std::int32_t>(rows.Int(i, "spm_time"));
    }
    return g;
}

void SickBalance(TRunContext& ctx, int mode, const std::string& pcode, int year, int b) {
    const rule_type& R = ctx.rule;
    const std::int32_t h = R.Rule_mohr;
    TBalance s;
    Add(s, R.Rule_mosy, 0, h);
    const TLeaveRow row = ReadLeaveRow(ctx, "smorkhasi", pcode, year);
    if (row.Found)
        for (int n = 1; n <= b - 1 && n <= 12; ++n) {
            const TMonthPair& used = row.Months[n];
            if (!used.Calculated()) continue;
            // Mode 0: the current month is charged by the engine.
            if (mode == 1 || n != b - 1) Add(s, -used.Days, -used.Minutes, h);
        }
    if (R.Rule_mosm > 0 && s.Days >= R.Rule_mosm) s = {R.Rule_mosm, 0};
    ctx.balances.SickLeaveBalance = s;
}

void LeaveProjection(TRunContext& ctx, int m) {
    const rule_type& R = ctx.rule;
    if (m == 13) m = 1;
    TBalance p = ctx.balances.EntitledLeaveBalance;
    if (R.Rule_moTalab) {
        if (UsesLeaveTable(R) && m >= 1 && m <= 12)
            Add(p, R.Rule_moeyd[static_cast<std::size_t>(m - 1)], R.Rule_moeyh[static_cast<std::size_t>(m - 1)],
                R.Rule_mohr);
        else
            Add(p, R.Rule_moey / 12,
                static_cast<std::int32_t>(std::trunc(static_cast<double>(R.Rule_moey % 12) * R.Rule_mohr / 12.0)),
                R.Rule_mohr);
    } else if (m == 1) {
        Add(p, R.Rule_moey, 0, R.Rule_mohr);
    }
    ctx.balances.EntitledLeaveProjection = p;
}

void LeaveMonthOf(TRunContext& ctx, const std::string& E, int& year, int& month) {
    // A salary month is named after the month it ends in. When E was cut to
    // today in the first days of a salary month that began in the previous
    // calendar month, E's own month is the previous salary month, whose
    // stored leave must not be overwritten with this month's.
    const std::string last = SalaryPeriodOf(ctx, E).Last;
    year = DateYear(last);
    month = DateMonth(last);
}

void WriteMonthLeave(TRunContext& ctx, const std::string& table, const std::string& pcode, const std::string& S,
                     const std::string& E, std::int32_t days, std::int32_t minutes) {
    const int coverage = LeaveMonthCoverage(ctx, S, E);
    if (coverage != 2 && coverage != 3) return;
    int y, m;
    LeaveMonthOf(ctx, E, y, m);
    const bool entitled = table == "morkhasi";

    CreateTableIfMissing(ctx, table);
    Database& db = *ctx.db;
    const Dialect& d = db.dialect();
    const std::string t = d.Table(table);
    const std::string who = "\nwhere mor_pcode=?\nand mor_year=?";
    Rows rows = db.QueryBound("select mor_pcode from " + t + who, {DbValue::Text(pcode), DbValue::Int(y)});
    if (!rows.Empty()) {
        db.ExecuteBound("update " + t + "\nset mor_d" + std::to_string(m) + "=?\n,mor_h" + std::to_string(m) + "=?" +
                            who,
                        {DbValue::Int(days), DbValue::Int(minutes), DbValue::Text(pcode), DbValue::Int(y)});
        return;
    }
    std::string cols = "mor_pcode\n,mor_year", vals = "?\n,?";
    std::vector<DbValue> params = {DbValue::Text(pcode), DbValue::Int(y)};
    if (entitled) {
        cols += "\n,mor_SpDays\n,mor_Sptime";
        vals += "\n,0,0";
    }
    for (int i = 1; i <= 12; ++i) {
        cols += "\n,mor_d" + std::to_string(i) + "\n,mor_h" + std::to_string(i);
        vals += "\n,?\n,?";
        params.push_back(DbValue::Int(i == m ? days : -1));
        params.push_back(DbValue::Int(i == m ? minutes : -1));
    }
    db.ExecuteBound("insert into " + t + " (\n" + cols + "\n) values (" + vals + "\n)", params);
}

void MonthlyLeaveWrite(TRunContext& ctx, const TDayRecord& U, const std::string& pcode, const std::string& S,
                       const std::string& E) {
    PeriodState& P = ctx.period;
    const std::int64_t h = ctx.rule.Rule_mohr;
    // The month rules may have turned absence, lateness or early leave into
    // entitled leave, or waived some of it: the month total is what is charged.
    if (U.Prc_HourEleaveSalary + U.Prc_DayEleaveSalary * h != P.DailyEntitledLeaveDays * h + P.HourlyEntitledLeaveToDate) {
        P.HourlyEntitledLeaveToDate = U.Prc_HourEleaveSalary;
        P.DailyEntitledLeaveDays = U.Prc_DayEleaveSalary;
    }
    WriteMonthLeave(ctx, "morkhasi", pcode, S, E, P.DailyEntitledLeaveDays, P.HourlyEntitledLeaveToDate);
    WriteMonthLeave(ctx, "smorkhasi", pcode, S, E, U.Prc_DaySleaveSalary, U.Prc_HourSleaveSalary);
}

}  // namespace attcalc
