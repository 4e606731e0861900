// The month rules for overtime, absence, leave and missions.
#include "monthly/Monthly.h"

#include "run/Context.h"

namespace attcalc {

void MonthlyRules(TRunContext&, TDayRecord&, const TMonthArgs&) {}

}  // namespace attcalc
