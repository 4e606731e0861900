// Absence consolidation and the day rules on absence.
#include "engine/Stages.h"

namespace attcalc {

void ScheduleOverrideOvertime(TRunContext&, TEngineState&) {}

void AbsenceAllowances(TRunContext&, TEngineState&) {}

void MissingOutPunch(TRunContext&, TEngineState&) {}

void MissingOutPunchLimit(TRunContext&, TEngineState&) {}

void AbsenceRules(TRunContext&, TEngineState&) {}

void LatenessResets(TRunContext&, TEngineState&) {}

void ScheduleDroppedAndClamp(TRunContext&, TEngineState&) {}

void TodayAbsenceRule(TRunContext&, TEngineState&) {}

}  // namespace attcalc
