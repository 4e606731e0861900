// The stages of the day calculation around the segment walk, called by the
// day loop (Engine.cpp) and the walk (SegmentWalk.cpp) in a fixed order. Each
// takes the run context and the engine state, whose Rec is the day's record.
#pragma once

#include <cstdint>
#include <string>

#include "engine/EngineState.h"
#include "run/Context.h"

namespace attcalc {

// ---- Overtime (Overtime.cpp) ------------------------------------------------
// Splits presence [start, end] by the day's hourly overtime permits (requests
// of code 3): the covered part is authorised overtime and gross work, the
// rest invalid overtime; the overlap with on-call permits (code 86) is
// on-call time.
struct TPermitSplit {
    std::int32_t Covered = 0;
    std::int32_t Uncovered = 0;
};
TPermitSplit PermitSplit(TRunContext& ctx, TEngineState& es, std::int32_t start, std::int32_t end);
// Segment rules, called by the walk with es.W.Seg holding the segment.
void OutsidePresence(TRunContext& ctx, TEngineState& es);      // in -> out outside the intervals
void BeforeShiftOvertime(TRunContext& ctx, TEngineState& es);  // in -> first interval start
void AfterShiftOvertime(TRunContext& ctx, TEngineState& es);   // last interval end -> out
void BreakPresence(TRunContext& ctx, TEngineState& es);        // present in the gap between intervals
// Day steps.
void OvertimeBonusAndTiers(TRunContext& ctx, TEngineState& es);   // before-shift bonus, after-shift tiers
void AddAuthorizedOvertime(TRunContext& ctx, TEngineState& es);
void OvertimeCoefficients(TRunContext& ctx, TEngineState& es);    // day-kind and night coefficients
void WorkedHolidayCredit(TRunContext& ctx, TEngineState& es);     // worked scheduled holiday
void DailyOvertimePermitRule(TRunContext& ctx, TEngineState& es);
void FreeFixedCreditedOvertime(TRunContext& ctx, TEngineState& es);  // free, fixed, presence credit, Rule_egm
void MissionHolidayNightOvertime(TRunContext& ctx, TEngineState& es);  // mission credits, holiday/Friday split,
                                                                       // overtime to leave, night shift
void OvertimeFinal(TRunContext& ctx, TEngineState& es);  // on-call, permitted, negative overtime, rounding,
                                                         // worked non-working day
// The daily overtime cap (with the lunch deduction of a day without
// schedule); called by the day-code step for a day without day code.
void OvertimeDailyCap(TRunContext& ctx, TEngineState& es);

// ---- Absence consolidation and day rules (Absence.cpp) -----------------------
void ScheduleOverrideOvertime(TRunContext& ctx, TEngineState& es);  // DayOverride 1: all work is overtime
void AbsenceAllowances(TRunContext& ctx, TEngineState& es);  // in-shift allowance, daily cap, compensation
void MissingOutPunch(TRunContext& ctx, TEngineState& es);
void MissingOutPunchLimit(TRunContext& ctx, TEngineState& es);
void AbsenceRules(TRunContext& ctx, TEngineState& es);       // absence to leave / work, limits, penalty
void LatenessResets(TRunContext& ctx, TEngineState& es);
void ScheduleDroppedAndClamp(TRunContext& ctx, TEngineState& es);  // DayOverride 2, hour-absence clamp
void TodayAbsenceRule(TRunContext& ctx, TEngineState& es);

// ---- Hourly leaves and missions inside the day (HourlyCodes.cpp) -----------
void CodedSegment(TRunContext& ctx, TEngineState& es, std::int32_t start, std::int32_t end, std::int32_t code);
void PresenceCode(TRunContext& ctx, TEngineState& es);
void OutsideEntitledLeave(TRunContext& ctx, TEngineState& es, std::int32_t amount);
void UncoveredAbsence(TRunContext& ctx, TEngineState& es, std::int32_t start, std::int32_t end);
// The hourly entitled-leave charge of `amount` minutes (with Rule_moeb its
// unpaid variant); the day-code step charges Rule_morbies with it for a day
// of unpaid leave.
void EntitledLeaveHours(TRunContext& ctx, TEngineState& es, std::int32_t amount);

// ---- Day codes (DayCodes.cpp) -----------------------------------------------
void DayCodeStage(TRunContext& ctx, TEngineState& es);

// ---- Day summary (DaySummary.cpp) ------------------------------------------
void PresenceFlags(TRunContext& ctx, TEngineState& es);
void HolidayWorkCredit(TRunContext& ctx, TEngineState& es);
void ShiftCountersAndAllowances(TRunContext& ctx, TEngineState& es);  // shift counters, allowances,
                                                                      // mission on a holiday
void CarriedCodeAndStandardWork(TRunContext& ctx, TEngineState& es);
void AbsenceDayCode(TRunContext& ctx, TEngineState& es);
void DayClosing(TRunContext& ctx, TEngineState& es);  // closing caps and flags, mission cap

// ---- Period level (PeriodPasses.cpp) ----------------------------------------

// What the leave-balance loaders are asked for at the start of a period.
struct TBalanceRequest {
    std::string PersonnelCode;
    int Months = 0;          // salary months from the period's first to the month of its end
    bool Restricted = true;  // Rule_moTalab
    int BalanceMonth = 0;    // month of the period end + 1
    int Year = 0;            // year of the period end
};
void LoadPeriodBalances(TRunContext& ctx, const TBalanceRequest& req);
// The rule scripts of the finished day (scope 1).
void DayScripts(TRunContext& ctx, TEngineState& es);
// Passes over the days of the period after the last one.
void PeriodPasses(TRunContext& ctx, TEngineState& es);

}  // namespace attcalc
