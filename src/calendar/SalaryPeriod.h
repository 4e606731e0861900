// Salary periods: the first and last date of a salary month, the salary month
// of a date, how a date range covers a salary month, and whether a date may be
// stored when days after today are not allowed.
#pragma once

#include <string>

#include "config/Settings.h"

namespace attcalc {

struct TRunContext;

// A salary period, both dates "yyyy/mm/dd" and inclusive.
struct TSalaryPeriod {
    std::string First;
    std::string Last;
    bool operator==(const TSalaryPeriod&) const = default;
};

// The salary period of the salary month (year, month), month 1 ... 12.
TSalaryPeriod SalaryPeriod(const TSettings& s, int year, int month);
TSalaryPeriod SalaryPeriod(const TRunContext& ctx, int year, int month);

// The salary period that contains `date`.
TSalaryPeriod SalaryPeriodOf(const TSettings& s, const std::string& date);
TSalaryPeriod SalaryPeriodOf(const TRunContext& ctx, const std::string& date);

// How [from, to] covers a salary month: 3 exactly one whole salary month;
// 1 from its first day to before its last day and before today; 2 the same
// but ending today or later; 0 anything else. SalaryMonthCoverage follows
// CalendarMonths, LeaveMonthCoverage CalendarMonthsForLeave.
int SalaryMonthCoverage(const TSettings& s, const std::string& from, const std::string& to);
int SalaryMonthCoverage(const TRunContext& ctx, const std::string& from, const std::string& to);
int LeaveMonthCoverage(const TSettings& s, const std::string& from, const std::string& to);
int LeaveMonthCoverage(const TRunContext& ctx, const std::string& from, const std::string& to);

// True when results for `date` may be stored: always when future days are
// allowed, otherwise when the date is not after today. A day part "00" (the
// month-total row) stands for the first day of that salary month.
bool FutureDateGuard(const TSettings& s, const std::string& date);
bool FutureDateGuard(const TRunContext& ctx, const std::string& date);

}  // namespace attcalc
