// Writing day results into the month result tables: the day writer, which
// stores every day of the day array as one row (inserted when missing, then
// overwritten), and the month-total writer, which stores the month total as
// the row with day "00" unless that row was edited by hand.
//
// Both skip a row whose date the future-date guard refuses. They run inside
// the run's transaction; they neither begin nor commit one.
#pragma once

#include <cstdint>
#include <string>

#include "db/Dialect.h"
#include "results/DayRecord.h"

namespace attcalc {

struct TRunContext;

// The entitled-leave values that only the month-total row stores, in place of
// the record's fields or in columns the record does not have.
struct TMonthLeaveColumns {
    std::int32_t ProjectionDays = 0;     // stored as Prc_HourDayEleaveSalary
    std::int32_t ProjectionMinutes = 0;  // stored as Prc_HourDaySleaveSalary
    std::int32_t RemainMinutes = 0;      // stored as Prc_HourEleaveRemain
    std::int32_t RemainDays = 0;         // stored as Prc_DayEleaveRemain
};

// Stores every day of ctx.days, in order. Called once after all salary
// periods of a run are computed.
void StoreDays(TRunContext& ctx, const std::string& pcode);

// Stores one record: nothing when the future-date guard refuses its date; a
// record with day "00" through StoreMonthRow (with `leave`, zeros when null);
// any other as one day batch.
void StoreDay(TRunContext& ctx, const TDayRecord& r, const TMonthLeaveColumns* leave = nullptr);

// The month-total writer. Writes nothing unless [periodStart, periodEnd] is a
// whole salary month or the salary month in progress. Sets the record's
// date (last date of the salary month with day "00"), Prc_Type (0 whole month,
// 1 in progress), Prc_station (day number of the last date) and Prc_kind and
// Prc_28 (`mark28Carry` when it is 28 or 29, else 0), then stores it in the
// table of the salary month's last date, creating that table when missing.
void StoreMonthTotal(TRunContext& ctx, TDayRecord& r, const std::string& periodStart,
                     const std::string& periodEnd, int mark28Carry, const TMonthLeaveColumns& leave);

// Writes the month-total row through the results cursor (re-targeted to the
// record's table when that is not the current results table). A stored row
// whose prc_changed is 1 is left unchanged: returns false then, else true.
bool StoreMonthRow(TRunContext& ctx, const TDayRecord& r, const TMonthLeaveColumns& leave);

// The column assignments of a stored row, in the order the day writer sends
// them: `first` the first update list, `second` the second list with the
// remark and (when ScriptsEnabled) the script columns.
void DayRowAssignments(TRunContext& ctx, const TDayRecord& r, std::vector<SqlAssignment>& first,
                       std::vector<SqlAssignment>& second);

// The batch that stores one day row (the dialect's insert-if-missing and update).
std::string DayRowSql(TRunContext& ctx, const TDayRecord& r);
// Stores a day row (not a month-total row) with the two compiled statements
// of the dialect's bound day write, the values bound.
void StoreDayRow(TRunContext& ctx, const TDayRecord& r);

}  // namespace attcalc
