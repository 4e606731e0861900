// Leave balances of the person (entitled and sick leave).
#pragma once

namespace attcalc {

struct TLeaveBalances {
};

}  // namespace attcalc
