// Day summary: presence flags, work days, shift counters, allowances and closing.
// The day loop and the segment walk already call these hooks at their
// places; until their rules are written they leave the day unchanged.
#include "engine/Stages.h"

namespace attcalc {

void PresenceFlags(TRunContext&, TEngineState&) {}

void HolidayWorkCredit(TRunContext&, TEngineState&) {}

void ShiftCountersAndAllowances(TRunContext&, TEngineState&) {}

void CarriedCodeAndStandardWork(TRunContext&, TEngineState&) {}

void AbsenceDayCode(TRunContext&, TEngineState&) {}

void DayClosing(TRunContext&, TEngineState&) {}

}  // namespace attcalc
