// Leave balances of the person (entitled and sick leave), kept as
// (days, minutes) pairs, and the readers and writers of the yearly leave
// tables "morkhasi" and "smorkhasi".
#pragma once

#include <cstdint>
#include <string>

namespace attcalc {

struct TRunContext;

// A (days, minutes) pair, normalised by BalanceAdd with the leave-day length.
struct TBalance {
    std::int32_t Days = 0;
    std::int32_t Minutes = 0;
};

struct TLeaveBalances {
    TBalance EntitledLeaveBalance;     // remaining entitled leave of the year
    TBalance SickLeaveBalance;         // remaining sick leave of the year
    TBalance EntitledLeaveProjection;  // entitled balance plus the next month's accrual
    TBalance YearLeaveRemaining;       // the year's entitlement minus what earlier months charged
    std::int32_t EntitledLeaveCap = 99999;  // hourly entitled leave still allowed in the year
};

}  // namespace attcalc
