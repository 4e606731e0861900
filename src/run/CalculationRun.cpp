#include "run/CalculationRun.h"

#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"
#include "config/Person.h"
#include "config/Rule.h"
#include "config/Settings.h"
#include "db/Catalogue.h"
#include "config/RuleLoad.h"
#include "engine/Engine.h"
#include "inputs/DayWindows.h"
#include "inputs/Punches.h"
#include "inputs/Requests.h"
#include "inputs/Schedule.h"
#include "results/DayRecord.h"
#include "results/ResultsCursor.h"
#include "results/StoreDays.h"

namespace attcalc {

void CalculationRun(TRunContext& ctx, const std::string& code, const std::string& from, const std::string& to,
                    bool store) {
    // At most 8 characters (not bytes: a Persian letter takes two).
    const std::string person = Utf8Left(code, 8);
    const int paramSet = ctx.person.p_param;

    // The rule is loaded once for the whole run, not again per salary period.
    RuleLoad(ctx, PersonRuleGroup(ctx, person));
    if (ctx.person.p_param != paramSet) loadinifiledb(ctx);

    ClearDays(ctx.days);

    int y = DateYear(from), m = DateMonth(from);
    for (;;) {
        TSalaryPeriod sp = SalaryPeriod(ctx, y, m);
        std::string ps = sp.First < from ? from : sp.First;
        std::string pe = sp.Last > to ? to : sp.Last;
        if (ps <= pe) PeriodDriver(ctx, person, ps, pe);
        if (++m > 12) {
            m = 1;
            ++y;
        }
        // A salary month that ends after `to` is the last one; one that ends
        // before `from` (the first pass when salary months end before the
        // calendar month) is skipped and the next pass covers the range.
        if (pe == to || sp.First > to) break;
    }

    if (store) StoreDays(ctx, person);
    ReadDailyOvertimePermits(ctx, from, to, person);
}

void PeriodDriver(TRunContext& ctx, const std::string& code, std::string start, std::string end) {
    ctx.period.Mode = 1;
    ClipToEmployment(ctx, code, start, end);
    ctx.period.PeriodFirstIndex = ctx.days.Count;

    const std::string before = AddDays(start, -1);
    const std::string table = MonthTableName("p", before);
    ctx.results.CurrentTable = table;
    CreateTableIfMissing(ctx, table);

    const int n = start <= end ? DayDiff(start, end) + 1 : 0;
    ctx.period.DayCount = n;
    ctx.period.Days.assign(static_cast<std::size_t>(n) + 2, DayInput{});

    PersonShiftGroup(ctx, code);
    BuildSchedule(ctx, code, start, end);
    ReadPunches(ctx, before, AddDays(end, 1), code);
    OpenResultsCursor(ctx, code, table);
    ResultsCursorOpen(ctx);
    ReadTimedRequests(ctx, code, start, end);
    BuildDays(ctx, code, start, end);
    ReadDailyOvertimePermits(ctx, start, end, code);
    ReadFreeOvertime(ctx, start, end, code);
    ReadYearToDate(ctx, end, code);
    EngineRun(ctx, code, start, end);

    ctx.period.Days.clear();
    ctx.period.Punches = {};
    FreeResultsCursor(ctx);
}

}  // namespace attcalc
