// The segment walk: every stretch between two consecutive points of the
// day's timeline is accounted as work, lateness, early leave, absence inside
// the shift or in the break, or handed to the overtime and coded-segment
// rules.
#pragma once

#include <cstdint>

#include "engine/EngineState.h"
#include "run/Context.h"

namespace attcalc {

// A duration rounded by the rule's result rounding (Rule_isroundCalc).
std::int32_t CalcRound(const TRunContext& ctx, std::int32_t duration);
// Night minutes of [start, end] with the day starting at Rule_startday and
// the night at Rule_startnight.
std::int32_t NightMinutes(const TRunContext& ctx, std::int32_t start, std::int32_t end);
// Overlap with the special window [Rule_startvijeh, Rule_endvijeh].
std::int32_t SpecialOverlap(const TRunContext& ctx, std::int32_t start, std::int32_t end);
// Length of [start, end] without the meal windows (and, on a day without
// schedule, limited to the non-working-day window).
std::int32_t MealNet(const TRunContext& ctx, std::int32_t start, std::int32_t end, int dayClass);
// Overlap with the lunch window that counts as work, at most Rule_naharlimit.
std::int32_t LunchOverlap(const TRunContext& ctx, std::int32_t start, std::int32_t end);
// Penalty of an absence [start, end] by the three time-of-day windows.
std::int32_t PenaltyMinutes(const TRunContext& ctx, std::int32_t start, std::int32_t end);
// Charges the time-of-day penalty of an absence (only with Rule_gtactive).
void Penalise(TRunContext& ctx, TEngineState& es, std::int32_t start, std::int32_t end);

// Walks es.Line; needs at least two points.
void SegmentWalk(TRunContext& ctx, TEngineState& es);

}  // namespace attcalc
