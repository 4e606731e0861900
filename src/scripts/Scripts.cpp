// Rule scripts.
#include "scripts/Scripts.h"

#include "run/Context.h"

namespace attcalc {

void RunScripts(TRunContext&, TDayRecord&, int) {}

}  // namespace attcalc
