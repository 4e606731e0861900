#include "calendar/SalaryPeriod.h"

#include <algorithm>
#include <stdexcept>

#include "calendar/Jalali.h"
#include "run/Context.h"

namespace attcalc {

namespace {

std::string TwoDigits(int n) {
    std::string s = std::to_string(n);
    return n >= 0 && n < 10 ? "0" + s : s;
}

std::string DateText(int y, int m, int d) {
    return std::to_string(y) + "/" + TwoDigits(m) + "/" + TwoDigits(d);
}

void CheckMonth(int month) {
    if (month < 1 || month > 12)
        throw std::runtime_error("salary month " + std::to_string(month) + " is not a month (1 to 12)");
}

// Coverage of [from, to] under one choice of calendar months (`calendar`).
int Coverage(const TSettings& s, bool calendar, const std::string& from, const std::string& to) {
    if (to < from) return 0;
    if (DayDiff(from, to) > 62) return 0;
    if (calendar) {
        if (DateMonth(to) != DateMonth(from) || DateDay(from) != 1) return 0;
        if (DateDay(to) == DaysInMonth(DateYear(to), DateMonth(to))) return 3;
        return to < TodayJalali() ? 1 : 2;
    }
    // The salary month of `from` follows CalendarMonths whichever flag is asked.
    TSalaryPeriod p = SalaryPeriodOf(s, from);
    if (from != p.First) return 0;
    if (to == p.Last) return 3;
    if (to > p.Last) return 0;
    return to < TodayJalali() ? 1 : 2;
}

}  // namespace

TSalaryPeriod SalaryPeriod(const TSettings& s, int year, int month) {
    CheckMonth(month);
    if (s.CalendarMonths)
        return {DateText(year, month, 1), DateText(year, month, DaysInMonth(year, month))};

    int d = std::min(s.MonthEndDay[month], DaysInMonth(year, month));
    std::string last = DateText(year, month, d);

    int py = year, pm = month - 1;
    if (pm == 0) { py = year - 1; pm = 12; }
    int start = s.MonthEndDay[pm] + 1;
    if (start > DaysInMonth(py, pm)) {
        // The previous salary month ran to the end of its month.
        start = 1;
        py = year;
        pm = month;
    }
    return {DateText(py, pm, start), last};
}

TSalaryPeriod SalaryPeriodOf(const TSettings& s, const std::string& date) {
    int y = DateYear(date), m = DateMonth(date);
    CheckMonth(m);
    TSalaryPeriod p = SalaryPeriod(s, y, m);
    if (date < p.First) return m == 1 ? SalaryPeriod(s, y - 1, 12) : SalaryPeriod(s, y, m - 1);
    if (date > p.Last) return m == 12 ? SalaryPeriod(s, y + 1, 1) : SalaryPeriod(s, y, m + 1);
    return p;
}

int SalaryMonthCoverage(const TSettings& s, const std::string& from, const std::string& to) {
    return Coverage(s, s.CalendarMonths, from, to);
}

int LeaveMonthCoverage(const TSettings& s, const std::string& from, const std::string& to) {
    return Coverage(s, s.CalendarMonthsForLeave, from, to);
}

bool FutureDateGuard(const TSettings& s, const std::string& date) {
    if (s.FutureDaysAllowed) return true;
    std::string d = date;
    if (d.size() >= 10 && d.compare(8, 2, "00") == 0) d = SalaryPeriod(s, DateYear(d), DateMonth(d)).First;
    return !(d > TodayJalali());
}

TSalaryPeriod SalaryPeriod(const TRunContext& ctx, int year, int month) {
    return SalaryPeriod(ctx.settings, year, month);
}
TSalaryPeriod SalaryPeriodOf(const TRunContext& ctx, const std::string& date) {
    return SalaryPeriodOf(ctx.settings, date);
}
int SalaryMonthCoverage(const TRunContext& ctx, const std::string& from, const std::string& to) {
    return SalaryMonthCoverage(ctx.settings, from, to);
}
int LeaveMonthCoverage(const TRunContext& ctx, const std::string& from, const std::string& to) {
    return LeaveMonthCoverage(ctx.settings, from, to);
}
bool FutureDateGuard(const TRunContext& ctx, const std::string& date) {
    return FutureDateGuard(ctx.settings, date);
}

}  // namespace attcalc
