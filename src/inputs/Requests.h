// Timed requests, daily overtime permits, free overtime, the values stored
// with the day before a period and the year-to-date totals.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "inputs/DayInput.h"

namespace attcalc {

struct TRunContext;

// Fills RequestCount and Requests of days 1 ... N from the month tables
// t<yyyymm> (at most 10 per day, the rest ignored) and sets DayClass to 1 on
// days without intervals, else 0.
void ReadTimedRequests(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to);

// Reads the stored values of the day before `from` into
// ctx.period.PreviousDay and returns its continuation mark (Prc_28). A day of
// this run already computed (in the day array) is taken from there, since the
// run stores its days only at the end.
std::int32_t ReadPreviousDay(TRunContext& ctx, const std::string& from, const std::string& pcode);

// The daily overtime permits of the grid tables e<yyyymm>, weighted by the
// overtime coefficients of each day's class, into
// ctx.period.DailyOvertimePermit (day k at index k - 1) and its total.
void ReadDailyOvertimePermits(TRunContext& ctx, const std::string& from, const std::string& to,
                              const std::string& pcode);

// The free overtime entries of the grid tables a<yyyymm>, unweighted, into
// ctx.period.FreeOvertime and its total.
void ReadFreeOvertime(TRunContext& ctx, const std::string& from, const std::string& to, const std::string& pcode);

// MissionDaysUsed and HourlyEntitledLeaveYear from the month-total rows of
// the earlier months of the year of `to`.
void ReadYearToDate(TRunContext& ctx, const std::string& to, const std::string& pcode);

// The permit and the free overtime of a date of the recorded permit period;
// 0 outside it.
std::int32_t DailyOvertimePermitOf(const TRunContext& ctx, std::string_view date);
std::int32_t FreeOvertimeOf(const TRunContext& ctx, std::string_view date);

// m + the two-tier percentage of m: round(T*p/100 + (m-T)*q/100) when m > T,
// else round(m*p/100), halves to the even neighbour.
std::int32_t WeightedPermit(std::int32_t m, std::int32_t threshold, std::int32_t firstPercent,
                            std::int32_t secondPercent);

}  // namespace attcalc
