// Overtime: presence outside the intervals and the day's overtime steps.
// The day loop and the segment walk already call these hooks at their
// places; until their rules are written they leave the day unchanged.
#include "engine/Stages.h"

namespace attcalc {

void OutsidePresence(TRunContext&, TEngineState&) {}

void BeforeShiftOvertime(TRunContext&, TEngineState&) {}

void AfterShiftOvertime(TRunContext&, TEngineState&) {}

void BreakPresence(TRunContext&, TEngineState&) {}

void OvertimeBonusAndTiers(TRunContext&, TEngineState&) {}

void AddAuthorizedOvertime(TRunContext&, TEngineState&) {}

void OvertimeCoefficients(TRunContext&, TEngineState&) {}

void WorkedHolidayCredit(TRunContext&, TEngineState&) {}

void DailyOvertimePermitRule(TRunContext&, TEngineState&) {}

void FreeFixedCreditedOvertime(TRunContext&, TEngineState&) {}

void MissionHolidayNightOvertime(TRunContext&, TEngineState&) {}

void OvertimeFinal(TRunContext&, TEngineState&) {}

void OvertimeDailyCap(TRunContext&, TEngineState&) {}

}  // namespace attcalc
