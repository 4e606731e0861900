// The stored results of one person and salary month as a text table, read
// from the result tables as they stand (nothing is calculated).
#pragma once

#include <ostream>
#include <string>

namespace attcalc {

struct TRunContext;

// Prints the day rows of salary month (year, month) of `code`, in date order,
// and the month-total row when one is stored. A day shows its date, weekday,
// shift, punches, required work, presence, net work, lateness, early leave,
// absence, valid overtime, leave, mission and day code; the month total shows
// required work, presence, net and gross work, lateness, early leave, absence,
// valid overtime, leave, mission and the remaining entitled leave. With `csv`
// the same rows are written as CSV (UTF-8, a header row of column names,
// durations in minutes and days as plain numbers, the month total as the row
// dated "yyyy/mm/00"). The salary period follows ctx.settings. Tables that do
// not exist hold no rows; none is created.
void PrintReport(TRunContext& ctx, const std::string& code, int year, int month, std::ostream& out,
                 bool csv = false);

// "hh:mm" of a minute of the day ("" for no time, -1000); hours past 23 are
// kept (25:10 is 01:10 of the next day).
std::string ReportTime(int minutes);
// "h:mm" of a duration, "-h:mm" when negative, "" for 0.
std::string ReportDuration(int minutes);

}  // namespace attcalc
