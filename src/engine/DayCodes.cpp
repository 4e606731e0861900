// Day codes: daily leaves, missions and absence days.
// The day loop and the segment walk already call these hooks at their
// places; until their rules are written they leave the day unchanged.
#include "engine/Stages.h"

namespace attcalc {

void DayCodeStage(TRunContext&, TEngineState&) {}

}  // namespace attcalc
