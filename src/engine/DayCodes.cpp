// Day codes: daily leaves, missions and absence days.
#include "engine/Stages.h"

namespace attcalc {

void DayCodeStage(TRunContext&, TEngineState&) {}

}  // namespace attcalc
