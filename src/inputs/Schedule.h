// The day schedule of a salary period: the shift group and rule of every day
// and the shift of every day, from the person's default groups, the special
// groups, the group schedules, the special shifts, the substitute rule and
// the special rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "inputs/DayInput.h"

namespace attcalc {

struct TRunContext;

// Number of days of the period from `from` to `to` (0 when from > to).
int PeriodDayCount(const std::string& from, const std::string& to);

// Fills ctx.period.DayGroups, the default DayRuleCodes, SpecialShifts, the
// schedule fields of days 1 ... N + 1 and DefaultWindow. ctx.period.Days is
// sized to N + 2 entries when it is smaller. The person's shift group is
// ctx.person.p_shiftgroup (PersonShiftGroup).
void BuildSchedule(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to);

// Finishes ctx.period.DayRuleCodes: the substitute rule of the current rule
// inside its date range, then the special rules of single dates.
void ApplyDayRules(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to);

// The shift code of the first special shift of that date, or -1.
std::int32_t FindSpecialShift(const TRunContext& ctx, std::string_view date);

// The shift code that a group-schedule month text gives day `day` (1 ... 31).
// The text is read by the Windows-1256 codes of its characters: a text of 62
// characters holds two base-254 digits per day (low digit in the first 31),
// any other text one character per day; each stored digit is code + 1. A day
// beyond the end of the text has no shift (0).
std::int32_t GroupScheduleCode(std::string_view monthText, int day);

// The default day window of the days 1 ... N, from their spans.
TDefaultWindow ComputeDefaultWindow(const TRunContext& ctx, int dayCount);

}  // namespace attcalc
