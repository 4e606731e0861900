// Leave balances of the person (entitled and sick leave), kept as
// (days, minutes) pairs, and the readers and writers of the yearly leave
// tables "morkhasi" and "smorkhasi".
//
// The tables hold one row per person and year with one (days, minutes) pair
// per month of the year; -1, -1 marks a month that has not been calculated.
// "morkhasi" also holds the opening balance of the year (Mor_DRemainOk,
// Mor_HRemainOk, -1, -1 for none). The special grants of "spmor" add to the
// entitled balance. A missing table reads as a table without rows; the writer
// creates it.
#pragma once

#include <cstdint>
#include <string>

#include "results/DayRecord.h"

namespace attcalc {

struct TRunContext;
struct rule_type;

// A (days, minutes) pair, normalised by BalanceAdd with the leave-day length.
struct TBalance {
    std::int32_t Days = 0;
    std::int32_t Minutes = 0;
    bool operator==(const TBalance&) const = default;
};

struct TLeaveBalances {
    TBalance EntitledLeaveBalance;     // remaining entitled leave of the year
    TBalance SickLeaveBalance;         // remaining sick leave of the year
    TBalance EntitledLeaveProjection;  // entitled balance plus the next month's accrual
    TBalance YearLeaveRemaining;       // the year's entitlement minus what earlier months charged
    std::int32_t EntitledLeaveCap = 99999;  // hourly entitled leave still allowed in the year
};

// The entitlement that accrues month by month. Rule_moey days a year are
// spread evenly: Rule_moey div 12 days a month and (Rule_moey mod 12) x
// Rule_mohr / 12 minutes, whose fraction is carried from month to month in
// `twelfths` (twelfths of a minute; start it at 0). The month table Rule_moeyd/Rule_moeyh replaces
// the even spread only when Rule_moeylist is set and LeaveTableForBalances is
// not (a rule with Rule_mounfair off spreads evenly even with a month table).
TBalance MonthAccrual(const rule_type& R, int month, std::int32_t& twelfths);

// Whether the entitled-leave month table of the rule is used for balances.
bool UsesLeaveTable(const rule_type& R);

// The remaining entitled leave of year `year` into
// ctx.balances.EntitledLeaveBalance, with EntitledLeaveCap and
// YearLeaveRemaining as side results. b is the month after the current one
// (months 1 ... b - 1 count). Mode 0 (start of a period) leaves the months of
// the period (the last v + 1 months up to b - 1) unsubtracted, since the
// engine charges them day by day, and adds the allowed negative days
// Rule_moeneg; mode 1 (after the month's write) subtracts every month up to
// b - 1. `restricted` (Rule_moTalab) limits the entitlement to the months up
// to b - 1; otherwise the whole year's entitlement counts.
void LeaveBalance(TRunContext& ctx, int mode, int v, const std::string& pcode, int year, int b, bool restricted);

// The entitlement of the part of the year's first n months during which the
// person was not employed (before the hire date, after the end of
// employment), as (days, minutes).
TBalance EmploymentCorrection(TRunContext& ctx, const std::string& pcode, int year, int n);

// The special leave grants of "spmor" dated in the year's months 1 ... n.
TBalance SpecialLeaveGrants(TRunContext& ctx, const std::string& pcode, int year, int n);

// The remaining sick leave of the year into ctx.balances.SickLeaveBalance:
// Rule_mosy days less the months 1 ... b - 1 of "smorkhasi" (mode 0 leaves
// out the current month b - 1), at most Rule_mosm days.
void SickBalance(TRunContext& ctx, int mode, const std::string& pcode, int year, int b);

// The entitled balance plus the accrual of month m (13 reads as 1) into
// ctx.balances.EntitledLeaveProjection.
void LeaveProjection(TRunContext& ctx, int m);

// The (year, month) whose column pair of the leave tables a salary month
// [S, E] is written to: the salary month that E lies in, also when E was cut
// to today inside the first days of that salary month.
void LeaveMonthOf(TRunContext& ctx, const std::string& E, int& year, int& month);

// Writes (days, minutes) as the month's pair of "morkhasi" or "smorkhasi"
// (`table`) for the person, when [S, E] is a whole leave month or the leave
// month in progress. A person without a row of that year gets one, with -1, -1
// in every other month (and 0, 0 special leave in "morkhasi").
void WriteMonthLeave(TRunContext& ctx, const std::string& table, const std::string& pcode, const std::string& S,
                     const std::string& E, std::int32_t days, std::int32_t minutes);

// The month's leave write: makes the period's charged entitled leave agree
// with the month total U, then writes the month's entitled leave to
// "morkhasi" and its sick leave to "smorkhasi".
void MonthlyLeaveWrite(TRunContext& ctx, const TDayRecord& U, const std::string& pcode, const std::string& S,
                       const std::string& E);

}  // namespace attcalc
