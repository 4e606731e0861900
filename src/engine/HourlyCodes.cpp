// Hourly leaves and missions inside the day.
// The day loop and the segment walk already call these hooks at their
// places; until their rules are written they leave the day unchanged.
#include "engine/Stages.h"

namespace attcalc {

void CodedSegment(TRunContext&, TEngineState&, std::int32_t, std::int32_t, std::int32_t) {}

void PresenceCode(TRunContext&, TEngineState&) {}

void OutsideEntitledLeave(TRunContext&, TEngineState&, std::int32_t) {}

void UncoveredAbsence(TRunContext&, TEngineState&, std::int32_t, std::int32_t) {}

}  // namespace attcalc
