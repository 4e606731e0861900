// Clock punches: all punches of a person over a date range, filtered by the
// person's control station and the rule, in time order, without near repeats.
#pragma once

#include <string>

#include "inputs/DayInput.h"

namespace attcalc {

struct TRunContext;

// Reads the punches of `pcode` from `first` to `last` (both dates included)
// from the month tables c<yyyymm> into ctx.period.Punches and sets
// ctx.period.PunchTotal. Returns the number of punches kept. The rule fields
// used are those of the rule current at the call.
int ReadPunches(TRunContext& ctx, const std::string& first, const std::string& last, const std::string& pcode);

// The reader filter line ("and clock_rdrcode in (0,3,7)") for the person, or
// the empty text when no filter applies.
std::string PunchReaderFilter(TRunContext& ctx, const std::string& pcode);

}  // namespace attcalc
