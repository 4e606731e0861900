// The monthly calculation driver: adds the computed days of a salary month
// into the month total, applies the month rules, runs the month scripts,
// writes the month's leave into the leave tables, recomputes the balances and
// stores the month total as the row with day "00".
#include "monthly/Monthly.h"

#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"
#include "config/Person.h"
#include "monthly/Balances.h"
#include "results/StoreDays.h"
#include "run/Context.h"
#include "scripts/Scripts.h"

namespace attcalc {

namespace {

using Field = std::int32_t TDayRecord::*;

// The fields of the month total that are the sums of the days' fields.
constexpr Field kSummed[] = {
    &TDayRecord::Prc_NormWork, &TDayRecord::Prc_NormWorkDay, &TDayRecord::WorkingDays,
    &TDayRecord::Prc_PresenceWork, &TDayRecord::Prc_PresenceWorkDay, &TDayRecord::Prc_TotalWork,
    &TDayRecord::Prc_PureWork, &TDayRecord::Prc_PureWorkKham, &TDayRecord::Prc_PureDayWork,
    &TDayRecord::Prc_PureWorkNight, &TDayRecord::Prc_PureWorkNights, &TDayRecord::Prc_standardwork,
    &TDayRecord::Prc_bimehwork, &TDayRecord::Prc_TotalLessWork, &TDayRecord::Prc_ValidLessWork,
    &TDayRecord::Prc_TakhirLessWork, &TDayRecord::Prc_validTakhir, &TDayRecord::Prc_TajilLessWork,
    &TDayRecord::Prc_validTajil, &TDayRecord::AllowedBetweenAbsence, &TDayRecord::Prc_HourAbsence,
    &TDayRecord::Prc_DayAbsence, &TDayRecord::Prc_DayAbsencePure, &TDayRecord::Prc_HourAbsencePure,
    &TDayRecord::Prc_AbsenceNaghes, &TDayRecord::Prc_HourDayAbsence,
    // Leaves.
    &TDayRecord::Prc_HourleaveNoSalary, &TDayRecord::Prc_DayleaveNoSalary, &TDayRecord::Prc_HourDayleaveNoSalary,
    &TDayRecord::Prc_HourSleaveNoSalary, &TDayRecord::Prc_DaySleaveNoSalary, &TDayRecord::Prc_HourleaveSalary,
    &TDayRecord::Prc_HourleaveSalary23, &TDayRecord::Prc_HourleaveSalary24, &TDayRecord::Prc_HourleaveSalary25,
    &TDayRecord::Prc_HourleaveSalary26, &TDayRecord::Prc_HourleaveSalary27, &TDayRecord::Prc_DayleaveSalary,
    &TDayRecord::Prc_DayleaveSalary43, &TDayRecord::Prc_DayleaveSalary44, &TDayRecord::Prc_DayleaveSalary45,
    &TDayRecord::Prc_DayleaveSalary46, &TDayRecord::Prc_DayleaveSalary47, &TDayRecord::Prc_HourDayleaveSalary,
    &TDayRecord::Prc_HourEleaveSalary, &TDayRecord::Prc_HourEleaveSalarysum, &TDayRecord::Prc_DayEleaveSalary,
    &TDayRecord::Prc_DayEleaveSalaryPure, &TDayRecord::Prc_HourDayEleaveSalary, &TDayRecord::Prc_HourSleaveSalary,
    &TDayRecord::Prc_DaySleaveSalary, &TDayRecord::Prc_HourDaySleaveSalary,
    // Missions.
    &TDayRecord::Prc_HourMission51, &TDayRecord::Prc_DayMission61, &TDayRecord::Prc_FullMission71,
    &TDayRecord::Prc_HourMission52, &TDayRecord::Prc_DayMission62, &TDayRecord::Prc_FullMission72,
    &TDayRecord::Prc_HourMission53, &TDayRecord::Prc_DayMission63, &TDayRecord::Prc_FullMission73,
    &TDayRecord::Prc_HourMission54, &TDayRecord::Prc_DayMission64, &TDayRecord::Prc_FullMission74,
    &TDayRecord::Prc_HourMission55, &TDayRecord::Prc_DayMission65, &TDayRecord::Prc_FullMission75,
    &TDayRecord::Prc_HourMission, &TDayRecord::Prc_DayMission, &TDayRecord::Prc_HourDayMission,
    &TDayRecord::Prc_FullMission, &TDayRecord::Prc_FullHourMission,
    // Shift counters and allowances.
    &TDayRecord::Prc_Shift1Count, &TDayRecord::Prc_Shift2Count, &TDayRecord::Prc_Shift3Count,
    &TDayRecord::Prc_Shift4Count, &TDayRecord::Prc_Shift5Count, &TDayRecord::Prc_Shift1time,
    &TDayRecord::Prc_Shift2time, &TDayRecord::Prc_Shift3time, &TDayRecord::Prc_Shift4time,
    &TDayRecord::Prc_Shift5time, &TDayRecord::Prc_Zahab, &TDayRecord::Prc_Ghaza,
    // Holiday and Friday presence, overtime.
    &TDayRecord::Prc_PresenceHolliday, &TDayRecord::Prc_PresenceHollidays, &TDayRecord::Prc_PresenceFriday,
    &TDayRecord::Prc_PresenceFridays, &TDayRecord::Prc_PresenceSpecial, &TDayRecord::Prc_WorkFridays,
    &TDayRecord::Prc_addnoworkday, &TDayRecord::Prc_ValidAddWork, &TDayRecord::Prc_ValidAddWorkBefore,
    &TDayRecord::Prc_ValidAddWorkafter, &TDayRecord::Prc_ValidAddWorkbein, &TDayRecord::Prc_ValidAddWorkHolliday,
    &TDayRecord::Prc_ValidAddWorkNoworkday, &TDayRecord::Prc_ValidAddWorkfriday,
    &TDayRecord::Prc_InValidAddWorkfriday, &TDayRecord::Prc_ValidAddWorkHolNoFr,
    &TDayRecord::Prc_InValidAddWorkHolNoFr, &TDayRecord::Prc_keshik, &TDayRecord::Prc_keshiktime,
    &TDayRecord::Prc_HourDaySleaveNoSalary, &TDayRecord::Prc_janbaz, &TDayRecord::Prc_reserve99,
    &TDayRecord::Prc_ValidAddWorkNight, &TDayRecord::Prc_ValidAddWorkFree, &TDayRecord::Prc_InvalidAddWork,
};

constexpr Field kPunches[] = {
    &TDayRecord::Prc_FirstIn,  &TDayRecord::Prc_FirstOut,  &TDayRecord::Prc_SecondIn, &TDayRecord::Prc_SecondOut,
    &TDayRecord::Prc_ThirdIn,  &TDayRecord::Prc_ThirdOut,  &TDayRecord::Prc_Fourthin, &TDayRecord::Prc_FourthOut,
    &TDayRecord::Prc_FifthIn,  &TDayRecord::Prc_FifthOut,  &TDayRecord::Prc_LastIn,   &TDayRecord::Prc_LastOut,
    &TDayRecord::Prc_LastInOut,
};

}  // namespace

// Step 4: the days of [S, E] added into U. Returns the continuation mark
// (Prc_28) of the last summed day, -1 when no day was summed.
static int AggregateMonth(TRunContext& ctx, TDayRecord& U, const TMonthArgs& a) {
    int mark28 = -1;
    U = TDayRecord();
    U.Prc_PCode = a.PersonnelCode;
    const rule_type& R = ctx.rule;
    const TDayArray& days = ctx.days;
    // Only the first N positions are visited: a run computes one salary
    // month, whose days start at position 1.
    for (int k = 1; k <= a.N && k <= DayCount(days); ++k) {
        if (!IsMarked(days, k)) continue;
        const TDayRecord& d = DayAt(days, k);
        if (!DateInRange(d.Prc_date, a.S, a.E)) continue;
        for (Field f : kPunches) U.*f = d.*f;
        U.Prc_shiftcode = d.Prc_shiftcode;
        U.RuleCode = d.RuleCode;
        U.Prc_station = d.Prc_station;
        mark28 = d.Prc_28;
        for (Field f : kSummed) U.*f += d.*f;
        for (std::size_t i = 0; i < U.Prc_scrtimes.size(); ++i) {
            U.Prc_scrtimes[i] += d.Prc_scrtimes[i];
            U.Prc_scrdays[i] += d.Prc_scrdays[i];
        }
        // Every late day beyond the Rule_gttm-th adds the fixed penalty.
        if (d.Prc_TakhirLessWork > 0) {
            ++U.LateDays;
            if (U.LateDays > R.Rule_gttm) {
                U.LateBeyond += d.Prc_TakhirLessWork;
                U.Prc_HourAbsence += R.Rule_gttmj;
            }
        }
        U.Prc_changed = 0;
    }
    return mark28;
}

void MonthlyCalculation(TRunContext& ctx, const std::string& code, const std::string& S, const std::string& E) {
    PersonRuleGroup(ctx, code);

    TMonthArgs a;
    a.PersonnelCode = code;
    a.S = S;
    a.E = E;
    a.N = DayDiff(S, E) + 1;
    // E needs no future-date check here: the run has cut it to today unless
    // future days are allowed.

    TDayRecord U;
    // The continuation mark the input stage carried out of the period: that
    // of the last summed day, or, without any day, the one stored for the day
    // before the period.
    int mark28 = AggregateMonth(ctx, U, a);
    if (mark28 < 0) mark28 = ctx.period.PreviousDay.Mark;

    MonthlyRules(ctx, U, a);
    MonthlyRequiredWork(ctx, U, a);
    ProductivityReduction(ctx, U, a);
    // Insurance days and the hand-entered grant of "addfree" belong to a
    // whole salary month only; a month in progress keeps the day sum of the
    // insurance days and gets no grant.
    if (SalaryMonthCoverage(ctx, S, E) == 3) InsuranceDaysAndGrant(ctx, U, a);
    GrantsAndClamps(ctx, U, a);
    MonthRounding(ctx, U, a);
    // The month scripts read (and may set) the granted days of
    // non-working-day overtime as an item of their own.
    ctx.scripts.MonthGrantNowork = a.Grant.nowork;
    RunScripts(ctx, U, 2);
    a.Grant.nowork = ctx.scripts.MonthGrantNowork;

    // The leave tables and the balances, recomputed from them.
    MonthlyLeaveWrite(ctx, U, code, S, E);
    int year, month;
    LeaveMonthOf(ctx, E, year, month);
    LeaveProjection(ctx, month + 1);
    LeaveBalance(ctx, 1, 0, code, year, month + 1, true);
    SickBalance(ctx, 1, code, year, month + 1);

    const TLeaveBalances& B = ctx.balances;
    TMonthLeaveColumns leave;
    leave.ProjectionDays = B.EntitledLeaveProjection.Days;
    leave.ProjectionMinutes = B.EntitledLeaveProjection.Minutes;
    leave.RemainDays = B.EntitledLeaveBalance.Days;
    leave.RemainMinutes = B.EntitledLeaveBalance.Minutes;
    StoreMonthTotal(ctx, U, S, E, mark28, leave);
}

}  // namespace attcalc
