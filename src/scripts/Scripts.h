// Rule scripts: the small conditional assignments a rule carries, run on
// every computed day (scope 1) and once on the month total (scope 2).
#pragma once

#include "results/DayRecord.h"

namespace attcalc {

struct TRunContext;

// Runs the current rule's scripts of `scope` on `rec`.
void RunScripts(TRunContext& ctx, TDayRecord& rec, int scope);

}  // namespace attcalc
