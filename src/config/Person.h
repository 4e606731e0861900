// Attributes of the person being calculated, read from the table "persons"
// (keyed by p_Barcode): rule group, parameter set, shift group, employment,
// department, prior service and the productivity flag.
#pragma once

#include <cstdint>
#include <string>

namespace attcalc {

struct TRunContext;

struct TPersonAttributes {
    // Set by PersonRuleGroup; all 0 / empty when the person has no row.
    int32_t p_rulegroup = 0;          // the person's rule
    int32_t p_param = 0;              // parameter set of the "init" rows
    std::string p_jobdate;            // first day of employment, as stored
    std::string p_parts;              // department code, two characters per level
    int32_t PriorServiceYears = 0;    // P_Reserve6 before "/"
    int32_t PriorServiceMonths = 0;   // P_Reserve6, the two characters after "/"
    bool ProductivityMember = false;  // P_Reserve7 is exactly "1"; kept when no row
    bool Found = false;               // the last PersonRuleGroup found a row

    // Set by PersonShiftGroup.
    int32_t p_shiftgroup = 0;         // at least 1 with a row, 0 without
};

struct TEmploymentDates {
    std::string JobDate;     // p_jobdate normalised, empty when missing
    std::string EndJobDate;  // p_endjobdate normalised, empty when missing
};

// Reads the person's attributes into ctx.person and returns the rule group.
int32_t PersonRuleGroup(TRunContext& ctx, const std::string& pcode);

// The person's shift group (stored into ctx.person.p_shiftgroup): the stored
// value, but 1 when it is below 1; 0 when the person has no row.
int32_t PersonShiftGroup(TRunContext& ctx, const std::string& pcode);

// Both employment dates of the person, normalised; empty texts when missing.
TEmploymentDates EmploymentDates(TRunContext& ctx, const std::string& pcode);

// Deletes the person's day results from `from` to `to` (inclusive) in every
// month result table between them that exists. Nothing when a date is empty
// or from > to. A month-total row (day "00") edited by hand is never deleted.
void DeleteResults(TRunContext& ctx, const std::string& pcode,
                   const std::string& from, const std::string& to);

// Cuts [from, to] to the person's employment and deletes stored results
// outside it. Returns 0 unchanged, 1 end cut, 2 start cut, 3 both ends cut,
// -1 nothing of the period lies in the employment (then from > to).
int ClipToEmployment(TRunContext& ctx, const std::string& pcode,
                     std::string& from, std::string& to);

// tp_trouble of the most specific level of the department that has a
// "trouble" row (010203, then 0102, then 01); -1 when none has.
int32_t DepartmentHardship(TRunContext& ctx, const std::string& department);

}  // namespace attcalc
