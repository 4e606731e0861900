// The monthly calculation: the month total of a salary month, its month
// rules, and the month-total row.
#pragma once

#include <cstdint>
#include <string>

#include "results/DayRecord.h"

namespace attcalc {

struct TRunContext;

// The salary month a month total is built for.
struct TMonthArgs {
    std::string PersonnelCode;
    std::string S;  // first date of the salary month
    std::string E;  // last date, cut to today unless future days are allowed
    int N = 0;      // days from S to E, both counted
};

// Adds the stored days of [S, E] into the month total, applies the month
// rules and stores the total as the row with day "00".
void MonthlyCalculation(TRunContext& ctx, const std::string& code, const std::string& S, const std::string& E);

// ---- Month rules (MonthlyRules.cpp) -------------------------------------------
// The month rules for overtime, absence, leave and missions, in their fixed order.
void MonthlyRules(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a);

// ---- Required work, productivity, insurance days, grants (RequiredWork.cpp) -----
void MonthlyRequiredWork(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a);
void ProductivityReduction(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a);
void InsuranceDaysAndGrant(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a);  // whole salary month only
void GrantsAndClamps(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a);
void MonthRounding(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a);

}  // namespace attcalc
