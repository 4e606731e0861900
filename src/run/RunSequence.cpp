// Calculation mode after the build identity: the person, rule, settings and
// shifts, the salary period of the requested month, and the calculation.
#include <iostream>

#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"
#include "config/Person.h"
#include "config/RuleLoad.h"
#include "config/Settings.h"
#include "config/Shifts.h"
#include "db/Catalogue.h"
#include "monthly/Monthly.h"
#include "run/CalcLog.h"
#include "run/CalculationRun.h"
#include "results/Report.h"
#include "run/Entry.h"
#include "run/Trace.h"
#include "scripts/Scripts.h"

namespace attcalc {

void CalculationMode(TRunContext& ctx, const std::string& code, const std::string& yearArg,
                     const std::string& monthArg) {
    ctx.PersonnelCode = code;
    ctx.ScriptsEnabled = true;
    ctx.PrepareRuleScripts = &PrepareRuleScripts;

    int group = PersonRuleGroup(ctx, code);
    RuleLoad(ctx, group);
    TraceLine(ctx.trace, "loadrule");

    loadinifiledb(ctx);
    TraceLine(ctx.trace, "loadinifiledb");

    LoadShifts(ctx);
    TraceLine(ctx.trace, "LoadShifts");

    const int year = ParseIntArg(yearArg, "year");
    const int month = ParseIntArg(monthArg, "month");

    TSalaryPeriod period = SalaryPeriod(ctx, year, month);
    ctx.PeriodStart = period.First;
    ctx.PeriodEnd = period.Last;

    const std::string today = TodayJalali();
    if (ctx.PeriodStart > today) return;  // a month that has not begun: nothing to calculate

    // The month's result table is named after the uncut period end.
    CreateTableIfMissing(ctx, "p" + ctx.PeriodEnd.substr(0, 4) + ctx.PeriodEnd.substr(5, 2));

    if (ctx.PeriodEnd > today && !ctx.settings.FutureDaysAllowed) ctx.PeriodEnd = today;

    CalculationRun(ctx, code, ctx.PeriodStart, ctx.PeriodEnd, true);
    TraceLine(ctx.trace, "calculation");

    MonthlyCalculation(ctx, code, ctx.PeriodStart, ctx.PeriodEnd);
    TraceLine(ctx.trace, "calcul_month");

    WriteCalcLog(ctx, code, year, month);
}

void ReportMode(TRunContext& ctx, const std::string& code, const std::string& yearArg,
                const std::string& monthArg, std::ostream& out, bool csv) {
    const int year = ParseIntArg(yearArg, "year");
    const int month = ParseIntArg(monthArg, "month");
    if (month < 1 || month > 12) throw std::invalid_argument("the month must be 1 to 12");
    PersonRuleGroup(ctx, code);
    loadinifiledb(ctx);
    PrintReport(ctx, code, year, month, out, csv);
}

}  // namespace attcalc
