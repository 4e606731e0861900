// The leave balances at the start of a period.
#include "engine/Stages.h"

namespace attcalc {

void LoadPeriodBalances(TRunContext&, const TBalanceRequest&) {}

}  // namespace attcalc
