// Day summary: presence and Friday flags, the holiday work credit, the shift
// counters, the transport and meal allowances, the standard work, the code
// stored with the day, the absence-day code 91 and the closing clamps and caps.
#include <algorithm>

#include "engine/PeriodState.h"
#include "engine/Stages.h"

namespace attcalc {

namespace {

constexpr int kFriday = 6;

bool IsHoliday(const TDayRecord& r) { return (r.Prc_Type & 6) != 0; }

void ClearShiftCounters(TDayRecord& r) {
    r.Prc_Shift1Count = r.Prc_Shift2Count = r.Prc_Shift3Count = r.Prc_Shift4Count = r.Prc_Shift5Count = 0;
    r.Prc_Shift1time = r.Prc_Shift2time = r.Prc_Shift3time = r.Prc_Shift4time = r.Prc_Shift5time = 0;
}

// One allowance as a 0/1 flag: presence, a mission day, a holiday, a punch.
std::int32_t Allowance(const TDayRecord& r, bool onPresence, bool onMission, bool onHoliday, bool onPunch) {
    std::int32_t v = 0;
    if (onPresence) v += r.Prc_PresenceWork;
    if (onMission) v += r.Prc_FullMission + r.Prc_DayMission;
    if (onHoliday && IsHoliday(r)) v += 1;
    if (onPunch && r.Prc_FirstIn != TDayRecord::kNoTime) v += 1;
    return v > 1 ? 1 : v;
}

}  // namespace

void PresenceFlags(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    if (r.Prc_PresenceWork <= 0 || r.Prc_DayAbsence != 0) return;
    r.Prc_PresenceWorkDay = 1;
    if (IsHoliday(r)) {
        r.Prc_PresenceHolliday = 1;
        r.Prc_PresenceHollidays = r.Prc_PresenceWork;
    }
    if (es.W.Weekday != kFriday) return;
    r.Prc_PresenceFriday = 1;
    r.Prc_PresenceFridays = r.Prc_PresenceWork;
    const std::int32_t L = R.Rule_fridaylimit;
    const std::int32_t above = std::max(0, r.Prc_TotalWork - L);
    if (r.Prc_Type & 1)  // no schedule
        r.Prc_WorkFridays = R.Rule_fridaybishift ? std::min(r.Prc_TotalWork, L) : above;
    else
        r.Prc_WorkFridays = R.Rule_fridaybashift ? std::min(r.Prc_PureWork, L) : above;
    r.Prc_PureWorkKham = std::max(r.Prc_PureWorkKham, r.Prc_WorkFridays);
}

void HolidayWorkCredit(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    const bool credited = ((r.Prc_Type & 1) && R.Rule_dgkar) ||
                          ((r.Prc_Type & 2) && R.Rule_dtkar && r.Prc_NormWork == 0) ||
                          ((r.Prc_Type & 4) && R.Rule_drkar && r.Prc_NormWork == 0);
    if (!credited) return;
    // Unpaid leave on such a day earns no work; the day still counts its
    // standard length and its credit entry.
    if (!CodeIn(es.W.CurrentCode, 31, 39)) {
        r.Prc_PureWork += R.Rule_kard;
        r.Prc_TotalWork += R.Rule_kard;
        r.Prc_PureDayWork = 1;
    }
    if (r.Prc_NormWork == 0) r.Prc_NormWork = R.Rule_kard;
    ctx.period.DayTotals[kDayHolidayCredit] = R.Rule_kard;
}

void ShiftCountersAndAllowances(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;

    // Shift counter of the day's shift number.
    const int k = es.Day ? es.Day->ShiftNumber : 0;
    const std::int32_t minWork = es.Day ? es.Day->ShiftMinWork : 0;
    const bool counts =
        r.Prc_PureWork >= minWork ||
        (r.Prc_DayEleaveSalary + r.Prc_DaySleaveSalary + r.Prc_DayleaveSalary > 0 && R.Rule_monowbat) ||
        (r.Prc_FullMission + r.Prc_DayMission > 0 && R.Rule_manowbat);
    if (k >= 1 && k <= 5 && counts) {
        std::int32_t* count[5] = {&r.Prc_Shift1Count, &r.Prc_Shift2Count, &r.Prc_Shift3Count, &r.Prc_Shift4Count,
                                  &r.Prc_Shift5Count};
        std::int32_t* time[5] = {&r.Prc_Shift1time, &r.Prc_Shift2time, &r.Prc_Shift3time, &r.Prc_Shift4time,
                                 &r.Prc_Shift5time};
        *count[k - 1] = 1;
        *time[k - 1] = r.Prc_PureWork;
    }

    // Transport and meal allowances.
    r.Prc_Zahab = Allowance(r, R.Rule_Zahab, R.Rule_Zahabm, R.Rule_Zahabt, R.Rule_Zahabtrd);
    r.Prc_Ghaza = Allowance(r, R.Rule_Ghaza, R.Rule_Ghazam, R.Rule_Ghazat, R.Rule_Ghazatrd);

    // A mission day on a holiday earns a day of entitled leave.
    const std::int32_t missions = r.Prc_DayMission + r.Prc_FullMission;
    if (R.Rule_mamtomor && IsHoliday(r) && missions != 0) {
        r.Prc_DayEleaveSalary -= missions;
        ctx.period.CodeMinutes[kCodeDailyEntitledLeave] -= missions;
        TBalance& b = ctx.balances.EntitledLeaveBalance;
        BalanceAdd(b.Days, b.Minutes, missions, R.Rule_mohr, 0);
    }
}

void CarriedCodeAndStandardWork(TRunContext& ctx, TEngineState& es) {
    TDayRecord& r = es.Rec;
    TDayWork& w = es.W;

    // The code the day is stored with, and the one carried into the next day.
    if (es.Day && es.Day->PairCount > 0) {
        const int pairs = std::min<int>(es.Day->PairCount, kMaxPairs);
        const int out = es.Day->Pairs[pairs - 1].OutCode;
        if (IsDailyLeaveCode(out) || CodeIn(out, kCodeDailyMissionFirst, kCodeFullMissionLast)) es.CarriedCode = out;
    }
    if (w.FirstCode == 0 && es.CarriedCode != 0) w.FirstCode = es.CarriedCode;
    if (r.Prc_kind == 0) r.Prc_kind = static_cast<std::uint8_t>(w.FirstCode);

    // Standard work; a shortfall is carried to the next day of the period.
    const std::int32_t x = r.Prc_PureWork + ctx.rule.Rule_kard - r.Prc_NormWork - es.StandardDeficit;
    if (x < 0) {
        es.StandardDeficit = -x;
        r.Prc_standardwork = 0;
    } else {
        es.StandardDeficit = 0;
        r.Prc_standardwork = x;
    }
}

void AbsenceDayCode(TRunContext&, TEngineState& es) {
    if (es.W.CurrentCode != kCodeAbsenceDay) return;
    TDayRecord& r = es.Rec;
    r.Prc_DayAbsence = r.Prc_DayAbsencePure = 1;

    // Work and overtime.
    r.Prc_PureWork = r.Prc_PureDayWork = r.Prc_TotalWork = 0;
    r.Prc_PureWorkNight = r.Prc_PureWorkNights = 0;
    r.Prc_standardwork = r.Prc_bimehwork = 0;
    r.Prc_ValidAddWork = r.Prc_ValidAddWorkBefore = r.Prc_ValidAddWorkafter = r.Prc_ValidAddWorkbein = 0;
    r.Prc_ValidAddWorkHolliday = r.Prc_ValidAddWorkNoworkday = 0;
    r.Prc_ValidAddWorkfriday = r.Prc_InValidAddWorkfriday = 0;
    r.Prc_ValidAddWorkHolNoFr = r.Prc_InValidAddWorkHolNoFr = 0;
    r.Prc_keshik = r.Prc_keshiktime = 0;
    r.Prc_HourDaySleaveNoSalary = 0;
    r.Prc_janbaz = 0;
    r.Prc_ValidAddWorkNight = r.Prc_ValidAddWorkFree = 0;
    r.Prc_reserve99 = 0;
    r.Prc_InvalidAddWork = 0;

    // Shortfalls and hour absence.
    r.Prc_TotalLessWork = r.Prc_TakhirLessWork = r.Prc_TajilLessWork = 0;
    r.Prc_validTakhir = r.Prc_validTajil = r.Prc_ValidLessWork = 0;
    r.Prc_HourAbsence = r.Prc_HourDayAbsence = r.Prc_HourAbsencePure = 0;

    // Every leave field.
    r.Prc_HourleaveNoSalary = r.Prc_DayleaveNoSalary = r.Prc_HourDayleaveNoSalary = 0;
    r.Prc_HourSleaveNoSalary = r.Prc_DaySleaveNoSalary = 0;
    r.Prc_HourleaveSalary = r.Prc_DayleaveSalary = 0;
    r.Prc_HourleaveSalary23 = r.Prc_HourleaveSalary24 = r.Prc_HourleaveSalary25 = 0;
    r.Prc_HourleaveSalary26 = r.Prc_HourleaveSalary27 = 0;
    r.Prc_DayleaveSalary43 = r.Prc_DayleaveSalary44 = r.Prc_DayleaveSalary45 = 0;
    r.Prc_DayleaveSalary46 = r.Prc_DayleaveSalary47 = 0;
    r.Prc_HourDayleaveSalary = 0;
    r.Prc_HourEleaveSalary = r.Prc_DayEleaveSalary = r.Prc_HourDayEleaveSalary = 0;
    r.Prc_HourEleaveSalarysum = r.Prc_DayEleaveSalaryPure = 0;
    r.Prc_HourSleaveSalary = r.Prc_DaySleaveSalary = r.Prc_HourDaySleaveSalary = 0;

    // Every mission field.
    r.Prc_HourMission = r.Prc_DayMission = r.Prc_HourDayMission = 0;
    r.Prc_FullMission = r.Prc_FullHourMission = 0;
    r.Prc_HourMission51 = r.Prc_DayMission61 = r.Prc_FullMission71 = 0;
    r.Prc_HourMission52 = r.Prc_DayMission62 = r.Prc_FullMission72 = 0;
    r.Prc_HourMission53 = r.Prc_DayMission63 = r.Prc_FullMission73 = 0;
    r.Prc_HourMission54 = r.Prc_DayMission64 = r.Prc_FullMission74 = 0;
    r.Prc_HourMission55 = r.Prc_DayMission65 = r.Prc_FullMission75 = 0;

    ClearShiftCounters(r);
    r.Prc_Zahab = r.Prc_Ghaza = 0;
    r.AuthorizedOvertime = r.BetweenAbsence = r.AllowedBetweenAbsence = 0;
    es.W.LunchCredit = 0;
    r.Prc_addFreeRemark.clear();
}

void DayClosing(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    PeriodState& ps = ctx.period;

    r.Prc_ValidAddWorkHolliday = std::max(0, std::min(r.Prc_ValidAddWorkHolliday, r.Prc_ValidAddWork));

    // Yearly mission cap, checked against the count before the day is added.
    if (ps.MissionDaysUsed > R.Rule_mamax && r.Prc_DayMission + r.Prc_FullMission > 0) {
        r.Prc_DayMission = r.Prc_FullMission = 0;
        r.Prc_PureWork = r.Prc_PureDayWork = 0;
        r.Prc_TotalWork = r.Prc_ValidAddWork;
        if (r.Prc_NormWork > 0 && r.Prc_PresenceWork == 0) r.Prc_DayAbsence = 1;
    }
    ps.MissionDaysUsed += r.Prc_DayMission + r.Prc_FullMission;

    if (r.Prc_NormWork > 0) r.Prc_NormWorkDay = 1;
    r.Prc_bimehwork = r.Prc_PureDayWork;
    r.Prc_DayEleaveSalaryPure = r.Prc_DayEleaveSalary;

    // Long presence flag.
    r.Prc_HourDaySleaveNoSalary = R.Rule_bahreh && r.Prc_PresenceWork > 659 ? 1 : 0;
}

}  // namespace attcalc
