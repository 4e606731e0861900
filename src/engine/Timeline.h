// The day timeline: the scheduled intervals, the punch pairs and the merged
// hourly requests of one day as one sorted list of typed boundary points.
#pragma once

#include <cstdint>

#include "engine/EngineState.h"
#include "run/Context.h"

namespace attcalc {

// Rounds a time or duration with a step and a method (1 up, 2 down, 3
// nearest with halves up, 4 to the half hour; anything else leaves it). The
// remainder is taken on the minute of the hour, counted forward from the full
// hour also for times before the day's midnight.
std::int32_t RoundMinutes(std::int32_t time, std::int32_t step, std::int32_t method);

// A punch time rounded by the rule's punch rounding (Rule_isround).
std::int32_t PunchRound(const TRunContext& ctx, std::int32_t time);

// Sorted insertion: the point goes after every point with the same time.
// Returns its position.
int InsertPoint(Timeline& line, std::int32_t time, std::uint8_t kind, std::uint8_t code,
                std::uint8_t change);

// Builds the list from the day's scheduled intervals and its pairs; rounds
// the pair times in place.
Timeline BuildTimeline(const TRunContext& ctx, DayInput& day);

// The scheduled intervals of a day: the ranges in use that are not empty.
int ScheduledIntervals(const DayInput& day, TInterval out[kMaxIntervals]);

// Merges the day's hourly requests into the list.
void MergeRequests(const TRunContext& ctx, const DayInput& day, Timeline& line);

// Applies the lateness cards and the codes of the in punches.
void PrePass(const TRunContext& ctx, Timeline& line);

}  // namespace attcalc
