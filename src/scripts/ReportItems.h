// The report-item catalogue: the codes by which rule scripts (and reports
// outside this program) name the values of a result record, and the access
// to those values.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "results/DayRecord.h"

namespace attcalc {

struct TRunContext;

// One catalogue entry. A source item can be read by a script, a target item
// can also be assigned. Caption and width serve the reports.
struct TReportItem {
    std::int32_t Code;
    bool Source;
    bool Target;
    const char* Caption;
    std::int32_t Width;
};

constexpr int kReportItems = 209;

// The catalogue, 209 entries in ascending code order (position p = 1 ... 209
// is element p - 1).
std::span<const TReportItem> ReportItem();

// The source items (132) and the target items (121) as 1-based lists of
// catalogue positions: element i - 1 is the catalogue position of list
// position i. Built from the catalogue's flags, in catalogue order.
const std::vector<int>& ScriptSourceItems();
const std::vector<int>& ScriptTargetItems();

// Position of an item code in ScriptSourceItems / ScriptTargetItems; 0 when
// the code is not in the list.
int SourcePosition(std::int32_t code);
int TargetPosition(std::int32_t code);
// Item code at a list position; 0 for a position outside the list.
std::int32_t SourceCode(int position);
std::int32_t TargetCode(int position);

// The value of item `code` in record R. Most items read the field of the
// same name; some read run state (the leave balances, the shift table, the
// month's grant). A code that is not a source item reads 0.
std::int32_t GetItem(const TRunContext& ctx, const TDayRecord& R, std::int32_t code);

// Assigns item `code` of R. Only target items take a value, and some of them
// ignore it (3050, 3084, 7050, 7090); 4020 sets Prc_HourAbsence and 3082 the
// month grant's nowork. Any other code ignores the value.
void SetItem(TRunContext& ctx, TDayRecord& R, std::int32_t code, std::int32_t value);

// The same with the month grant's nowork given explicitly (items 3082 and
// 3084): the day scripts pass a value of their own so that the grant stays 0
// for them.
std::int32_t GetItem(const TRunContext& ctx, const TDayRecord& R, std::int32_t code, std::int32_t grantNowork);
void SetItem(TDayRecord& R, std::int32_t code, std::int32_t value, std::int32_t& grantNowork);

}  // namespace attcalc
