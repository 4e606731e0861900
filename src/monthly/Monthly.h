// The monthly calculation: the month total of a salary month, its month
// rules, and the month-total row.
#pragma once

#include <cstdint>
#include <string>

#include "results/DayRecord.h"

namespace attcalc {

struct TRunContext;

// The hand-entered overtime and shift grant of a person for one salary month
// (table "addfree"); all zero with an empty remark unless the month is whole.
struct TMonthGrant {
    std::int32_t timeOK = 0;   // granted overtime, minutes (may be negative)
    std::int32_t night = 0;    // granted night-work days
    std::int32_t cycle10 = 0;  // granted shift-counter days, counters 1 ... 5
    std::int32_t cycle15 = 0;
    std::int32_t cycle25 = 0;
    std::int32_t cycle35 = 0;
    std::int32_t cycle20 = 0;
    std::int32_t nowork = 0;   // granted days of non-working-day overtime
    std::int32_t maxa = 0;     // overtime cap of the month, minutes; 0 = none
    std::string remark;        // remark of the grant
};

// The salary month a month total is built for.
struct TMonthArgs {
    std::string PersonnelCode;
    std::string S;  // first date of the salary month
    std::string E;  // last date, cut to today unless future days are allowed
    int N = 0;      // days from S to E, both counted
    // The month's grant: read by InsuranceDaysAndGrant (whole salary month
    // only), applied by GrantsAndClamps. Filled on the way through the steps.
    mutable TMonthGrant Grant;
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
