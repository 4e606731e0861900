// Period level: leave balances at the start, day scripts, passes over the period's days.
#include "engine/Stages.h"

namespace attcalc {

void LoadPeriodBalances(TRunContext&, const TBalanceRequest&) {}

void DayScripts(TRunContext&, TEngineState&) {}

void PeriodPasses(TRunContext&, TEngineState&) {}

}  // namespace attcalc
