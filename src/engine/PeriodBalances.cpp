// The leave balances at the start of a period: the entitled balance with the
// months of the period left for the engine to charge, and the sick balance
// without the current month.
#include "engine/Stages.h"
#include "monthly/Balances.h"

namespace attcalc {

void LoadPeriodBalances(TRunContext& ctx, const TBalanceRequest& req) {
    LeaveBalance(ctx, 0, req.Months, req.PersonnelCode, req.Year, req.BalanceMonth, req.Restricted);
    SickBalance(ctx, 0, req.PersonnelCode, req.Year, req.BalanceMonth);
}

}  // namespace attcalc
