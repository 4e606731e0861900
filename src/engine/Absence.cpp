// Absence consolidation and the day rules on absence.
// The day loop and the segment walk already call these hooks at their
// places; until their rules are written they leave the day unchanged.
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
