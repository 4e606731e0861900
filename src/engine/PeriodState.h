// Period-level state shared by the period driver, the input readers, the engine and the monthly calculation.
#pragma once

namespace attcalc {

struct PeriodState {
};

}  // namespace attcalc
