// The attendance engine: turns the prepared inputs of one salary period
// (ctx.period) into one day record per day, appended to ctx.days.
#pragma once

#include <string>

#include "engine/EngineState.h"
#include "engine/Stages.h"
#include "run/Context.h"

namespace attcalc {

// Computes the days 1 ... ctx.period.DayCount of the period [start, end] of
// person `code` and appends them to the day array. Writes DayClass into each
// DayInput and updates the period accumulators and balances.
void EngineRun(TRunContext& ctx, const std::string& code, const std::string& start, const std::string& end);

// Day d (1 ... N) of a running period: DayWalk prepares the record, builds
// the timeline and walks it; DayConsolidation runs the day-level stages and
// the rule scripts; EngineDay does both, appends the record to the day array
// and books the day into the period accumulators.
void EngineDay(TRunContext& ctx, TEngineState& es, const std::string& code, int d);
void DayWalk(TRunContext& ctx, TEngineState& es, const std::string& code, int d);
void DayConsolidation(TRunContext& ctx, TEngineState& es);

// The punch fields of a day record from the day's pairs.
void DayPunchFields(TDayRecord& rec, const DayInput& day);

// Prc_Type and DayClass of a day whose Prc_NormWork is set.
void ClassifyDay(TRunContext& ctx, TDayRecord& rec, DayInput& day);

// What the balance loaders are asked for at the start of the period.
TBalanceRequest PeriodBalanceRequest(TRunContext& ctx, const std::string& code, const std::string& start,
                                     const std::string& end);

}  // namespace attcalc
