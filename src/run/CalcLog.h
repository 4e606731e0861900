// The calculation log ("qvlog"): one row appended per completed calculation.
// The future-date guard that the result writers use lives with the salary
// periods (calendar/SalaryPeriod.h) so that lower layers can call it.
#pragma once

#include <string>

#include "calendar/SalaryPeriod.h"

namespace attcalc {

struct TRunContext;

// Appends the row (today, now, code, year, month) to "qvlog". The table is not
// created; a missing table throws.
void WriteCalcLog(TRunContext& ctx, const std::string& code, int year, int month);

}  // namespace attcalc
