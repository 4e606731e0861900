// The rule scripts of the finished day.
#include "engine/Stages.h"
#include "scripts/Scripts.h"

namespace attcalc {

void DayScripts(TRunContext& ctx, TEngineState& es) { RunScripts(ctx, es.Rec, 1); }

}  // namespace attcalc
