// Required work of the month, the productivity reduction, insurance days,
// overtime grants and the month rounding.
#include "monthly/Monthly.h"

#include "run/Context.h"

namespace attcalc {

void MonthlyRequiredWork(TRunContext&, TDayRecord&, const TMonthArgs&) {}
void ProductivityReduction(TRunContext&, TDayRecord&, const TMonthArgs&) {}
void InsuranceDaysAndGrant(TRunContext&, TDayRecord&, const TMonthArgs&) {}
void GrantsAndClamps(TRunContext&, TDayRecord&, const TMonthArgs&) {}
void MonthRounding(TRunContext&, TDayRecord&, const TMonthArgs&) {}

}  // namespace attcalc
