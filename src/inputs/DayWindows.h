// Day windows and punch pairing: which punches of the punch buffer belong to
// which day of the period, and the entry/exit pairs they make.
#pragma once

#include <cstdint>
#include <string>

#include "inputs/DayInput.h"

namespace attcalc {

struct TRunContext;

// A day's window on the continuous time line (minutes relative to the day's
// midnight).
struct TDayWindow {
    std::int32_t Start = 0;
    std::int32_t End = 0;
};

// Whether t lies in the window widened by the margin. An opening punch (an
// entry is expected) must come margin minutes before the window end.
bool InWindow(std::int32_t t, const TDayWindow& window, bool opening, int margin);

// Fills the punch part of days 1 ... N (PunchCount, FirstPunch, PairCount,
// Pairs) and Station, DayCode, ChangedFlag, Mark28. Applies the day rules
// first and reads the values stored with the day before the period. Loads
// each day's rule in turn, so the last day's rule is current afterwards.
// Automatic entries and exits are inserted into ctx.period.Punches.
void BuildDays(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to);

}  // namespace attcalc
