// Pieces of the month rules and of the required-work step that are used by
// more than one step, or read the database on their own.
#pragma once

#include <cstdint>
#include <string>

#include "monthly/Monthly.h"

namespace attcalc {

struct TRunContext;

// n / d rounded to the nearest integer, halves to the even neighbour (d > 0).
std::int64_t RoundDivHalfEven(std::int64_t n, std::int64_t d);

// Entitled-leave balance of the run in minutes (days x Rule_mohr + minutes).
std::int64_t EntitledBalanceMinutes(const TRunContext& ctx);
// Adds x minutes (negative: takes them) to the entitled-leave balance.
void EntitledBalanceAdd(TRunContext& ctx, std::int32_t x);

// Month rule 3: valid overtime above Rule_emaxm hours (also when that is 0)
// becomes invalid overtime and leaves the gross work.
void MonthlyOvertimeCap(const TRunContext& ctx, TDayRecord& U);

// The previous salary month's month-total values carried into this month.
struct TPrevMonthValues {
    std::int32_t Prc_HourAbsence = 0;
    std::int32_t Prc_HourleaveNoSalary = 0;
};
// Reads Prc_HourAbsence and Prc_HourleaveNoSalary of the month-total row of
// the month before the month of E, in one statement. All 0 in month 1 of the
// year (no carry across years), without that month's table or without a row.
TPrevMonthValues PrevMonthValues(TRunContext& ctx, const std::string& pcode, const std::string& E);

// Scheduled minutes of the work group's calendar (table grp_dtl) over the
// days from S on, as many as the period computed last has.
std::int64_t GroupRequiredWork(TRunContext& ctx, std::int32_t group, const std::string& S,
                               const std::string& E);

// The person's grant for a year and month from "addfree"; zero without the table.
TMonthGrant ReadMonthGrant(TRunContext& ctx, const std::string& pcode, int year, int month);

// The month rounding of one duration by Rule_isroundmonth, Rule_roundtimemonth
// and Rule_roundtypemonth.
void MonthRound(const TRunContext& ctx, std::int32_t& value);

}  // namespace attcalc
