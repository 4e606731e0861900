// Period level: leave balances at the start, day scripts, passes over the period's days.
// The day loop and the segment walk already call these hooks at their
// places; until their rules are written they leave the day unchanged.
#include "engine/Stages.h"

namespace attcalc {

void LoadPeriodBalances(TRunContext&, const TBalanceRequest&) {}

void DayScripts(TRunContext&, TEngineState&) {}

void PeriodPasses(TRunContext&, TEngineState&) {}

}  // namespace attcalc
