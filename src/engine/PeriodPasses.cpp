// Passes over the period's days after the last one.
#include "engine/Stages.h"

namespace attcalc {

void PeriodPasses(TRunContext&, TEngineState&) {}

}  // namespace attcalc
