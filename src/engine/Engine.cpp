// The engine frame: period entry, the day loop with its classification and
// the order of the stages, and the period bookkeeping.
#include "engine/Engine.h"

#include <algorithm>

#include "calendar/Holidays.h"
#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"
#include "config/RuleLoad.h"
#include "engine/PeriodState.h"
#include "engine/SegmentWalk.h"
#include "engine/Timeline.h"

namespace attcalc {

namespace {

std::int32_t ScheduledMinutes(const DayInput& day) {
    TInterval iv[kMaxIntervals];
    const int n = ScheduledIntervals(day, iv);
    std::int32_t sum = 0;
    for (int i = 0; i < n; ++i) sum += iv[i].End - iv[i].Start;
    return sum;
}

void ResetDayAccumulators(PeriodState& ps) {
    ps.CodeMinutes.fill(0);
    ps.DayTotals.fill(0);
    ps.OvertimeTotals.fill(0);
    ps.EntitledLeaveToday = 0;
    ps.ShiftStartLeave = false;
}

void PeriodBookkeeping(TRunContext& ctx, const TEngineState& es) {
    PeriodState& ps = ctx.period;
    const TDayRecord& r = es.Rec;
    ps.DailyEntitledLeaveDays += r.Prc_DayEleaveSalary;
    ps.HourlyEntitledLeaveToDate += r.Prc_HourEleaveSalary;

    TLastDayValues& last = ps.LastDay;
    last.prc_dayabsence = r.Prc_DayAbsence;
    last.Prc_TakhirLessWork = r.Prc_TakhirLessWork;
    last.BetweenAbsence = r.BetweenAbsence;
    last.Prc_TajilLessWork = r.Prc_TajilLessWork;
    last.Prc_ValidLessWork = r.Prc_ValidLessWork;
    last.prc_hourabsence = r.Prc_HourAbsence;
    last.Prc_reserve99 = r.Prc_reserve99;
    last.Prc_validTakhir = r.Prc_validTakhir;
    last.AllowedBetweenAbsence = r.AllowedBetweenAbsence;
    last.Prc_validTajil = r.Prc_validTajil;
    last.prc_DayEleavesalary = r.Prc_DayEleaveSalary;
    last.prc_HourEleavesalary = r.Prc_HourEleaveSalary;

    for (int k = 0; k < kCodeSlots; ++k) ps.CodeMinutesToDate[k] += ps.CodeMinutes[k];

    // The holiday work credit entry is set by the day summary itself; the
    // before- and after-shift overtime entries by the overtime rules.
    ps.DayTotals[kDayNormWork] = r.Prc_NormWork;
    ps.DayTotals[kDayPureWork] = r.Prc_PureWork;
    ps.DayTotals[kDayTotalWork] = r.Prc_TotalWork;
    ps.DayTotals[kDayPresenceWork] = r.Prc_PresenceWork;
    ps.DayTotals[kDayPureWorkNight] = r.Prc_PureWorkNight;
    ps.DayTotals[kDayPureWorkNights] = r.Prc_PureWorkNights;
    for (int k = 0; k < 7; ++k) ps.DayTotalsToDate[k] += ps.DayTotals[k];

    const bool unscheduled = es.Day && es.Day->DayClass != 0;
    ps.OvertimeTotals[kOtUnscheduled] = unscheduled && r.Prc_TotalWork > 0 ? r.Prc_TotalWork : 0;
    ps.OvertimeTotals[kOtValid] = r.Prc_ValidAddWork;
    ps.OvertimeTotals[kOtInvalid] = r.Prc_InvalidAddWork;
    ps.OvertimeTotals[kOtValidNight] = r.Prc_ValidAddWorkNight;
    ps.OvertimeTotals[kOtPureWorkNights] = r.Prc_PureWorkNights;
    for (int k = 0; k < 7; ++k) ps.OvertimeTotalsToDate[k] += ps.OvertimeTotals[k];
}

}  // namespace

void DayPunchFields(TDayRecord& rec, const DayInput& day) {
    std::int32_t* fields[10] = {&rec.Prc_FirstIn,  &rec.Prc_FirstOut,  &rec.Prc_SecondIn, &rec.Prc_SecondOut,
                                &rec.Prc_ThirdIn,  &rec.Prc_ThirdOut,  &rec.Prc_Fourthin, &rec.Prc_FourthOut,
                                &rec.Prc_FifthIn,  &rec.Prc_FifthOut};
    const int count = std::min<int>(day.PunchCount, kMaxPunchTimes);
    for (int i = 1; i <= 10; ++i) {
        const TPair& p = day.Pairs[(i + 1) / 2 - 1];
        *fields[i - 1] = count >= i ? (i % 2 == 1 ? p.In : p.Out) : kNoTime;
    }
    if (count == 0) {
        rec.Prc_LastIn = rec.Prc_LastOut = rec.Prc_LastInOut = kNoTime;
        return;
    }
    const TPair& last = day.Pairs[(count + 1) / 2 - 1];
    rec.Prc_LastIn = last.In;
    rec.Prc_LastOut = count % 2 == 0 ? last.Out : kNoTime;
    rec.Prc_LastInOut = count % 2 == 0 ? last.Out : last.In;
}

void ClassifyDay(TRunContext& ctx, TDayRecord& rec, DayInput& day) {
    std::uint8_t type = rec.Prc_NormWork < 1 ? 1 : 0;
    int base = type;
    HolidayFlags(ctx, day.Date, type);
    if (type & HolidayFlagUnofficial) base += 2;
    if (type & HolidayFlagOfficial) base += 4;
    rec.Prc_Type = type;
    switch (base) {
        case 1: day.DayClass = 1; break;
        case 3: day.DayClass = 2; break;
        case 5:
        case 7: day.DayClass = 3; break;
        default: day.DayClass = 0; break;  // scheduled work, holiday or not
    }
}

TBalanceRequest PeriodBalanceRequest(TRunContext& ctx, const std::string& code, const std::string& start,
                                     const std::string& end) {
    TBalanceRequest req;
    req.PersonnelCode = code;
    req.Restricted = ctx.rule.Rule_moTalab;
    const int endMonth = DateMonth(end);
    // The salary month of the period start: the calendar month, or the next
    // one when the salary period of that month ends before the period does.
    int m = DateMonth(start);
    if (SalaryPeriod(ctx, DateYear(start), m).Last < end) m += 1;
    req.Months = std::max(0, endMonth - m);
    req.BalanceMonth = endMonth + 1;
    req.Year = DateYear(end);
    return req;
}

void DayWalk(TRunContext& ctx, TEngineState& es, const std::string& code, int d) {
    PeriodState& ps = ctx.period;
    const rule_type& R = ctx.rule;

    // 1. Day accumulators, 2. the day's rule.
    ResetDayAccumulators(ps);
    const std::int32_t ruleCode = ps.DayRuleCodes[d - 1];
    RuleLoad(ctx, ruleCode);

    DayInput& day = ps.Days[d - 1];
    es.DayNumber = d;
    es.Day = &day;
    es.W = TDayWork{};
    es.Rec = TDayRecord{};
    TDayWork& w = es.W;
    TDayRecord& rec = es.Rec;

    // 3. The code in force: the day's own, or the one carried from before.
    w.CurrentCode = day.DayCode != 0 ? day.DayCode : es.CarriedCode;

    // 4. Fresh record.
    rec.Prc_date = day.Date;
    rec.Prc_PCode = code;
    rec.Prc_28 = day.Mark28;
    rec.Prc_kind = day.DayCode;
    rec.Prc_shiftcode = day.ShiftCode;
    rec.Prc_station = static_cast<std::uint8_t>(day.Station);
    rec.Prc_changed = ps.PunchTotal >= 1 ? day.ChangedFlag : 0;
    rec.RuleCode = ruleCode;

    // 5. Punch fields, 6. required work, 7. classification.
    DayPunchFields(rec, day);
    rec.Prc_NormWork = ScheduledMinutes(day);
    ClassifyDay(ctx, rec, day);
    w.Weekday = day.Date.empty() ? -1 : WeekdayOfText(day.Date);
    if (static_cast<std::size_t>(d) < ps.Days.size()) {
        // The next day's kind, for the day scripts.
        DayInput& next = ps.Days[d];
        std::uint8_t nextType = ScheduledMinutes(next) < 1 ? 1 : 0;
        HolidayFlags(ctx, next.Date, nextType);
        rec.NextDayType = nextType;
    }

    // 8. Overtime allowed without permit.
    w.OvertimeWithoutPermit = day.DayClass != 0 ? R.Rule_emojazdayg : R.Rule_emojazday;

    // 9. Timeline (rounds the pair times), 10. presence.
    es.Line = BuildTimeline(ctx, day);
    MergeRequests(ctx, day, es.Line);
    const int pairs = std::min<int>(day.PairCount, kMaxPairs);
    for (int i = 0; i < pairs; ++i) rec.Prc_PresenceWork += day.Pairs[i].Out - day.Pairs[i].In;

    // 11. Walk state.
    w.Zone = kZoneOutside;
    w.Present = false;
    w.BeforeFirst = rec.Prc_NormWork > 0;
    w.AfterLast = false;
    if (!(IsDailyLeaveCode(w.CurrentCode) || CodeIn(w.CurrentCode, kCodeDailyMissionFirst, kCodeFullMissionLast)))
        w.CurrentCode = 0;
    w.FirstCode = day.DayCode;

    // 12. Pre-pass and walk.
    PrePass(ctx, es.Line);
    if (es.Line.Count() >= 2) SegmentWalk(ctx, es);
}

void DayConsolidation(TRunContext& ctx, TEngineState& es) {
    TDayWork& w = es.W;
    TDayRecord& rec = es.Rec;

    // 13. Day consolidation.
    ScheduleOverrideOvertime(ctx, es);
    OvertimeBonusAndTiers(ctx, es);
    AbsenceAllowances(ctx, es);
    PresenceFlags(ctx, es);
    if (rec.Prc_kind != 0) w.CurrentCode = rec.Prc_kind;
    AddAuthorizedOvertime(ctx, es);
    MissingOutPunch(ctx, es);
    OvertimeCoefficients(ctx, es);

    // 14. Day codes.
    DayCodeStage(ctx, es);

    // 15. Day rules.
    WorkedHolidayCredit(ctx, es);
    MissingOutPunchLimit(ctx, es);
    DailyOvertimePermitRule(ctx, es);
    AbsenceRules(ctx, es);
    FreeFixedCreditedOvertime(ctx, es);
    HolidayWorkCredit(ctx, es);
    MissionHolidayNightOvertime(ctx, es);
    ShiftCountersAndAllowances(ctx, es);
    OvertimeFinal(ctx, es);
    CarriedCodeAndStandardWork(ctx, es);
    LatenessResets(ctx, es);
    AbsenceDayCode(ctx, es);
    ScheduleDroppedAndClamp(ctx, es);
    DayClosing(ctx, es);
    TodayAbsenceRule(ctx, es);

    // 16. Rule scripts; an absent day without a code becomes an absence day.
    DayScripts(ctx, es);
    if (rec.Prc_DayAbsence == 1 && rec.Prc_kind == 0) rec.Prc_kind = kCodeAbsenceDay;
}

void EngineDay(TRunContext& ctx, TEngineState& es, const std::string& code, int d) {
    DayWalk(ctx, es, code, d);
    DayConsolidation(ctx, es);
    // 17. Store, 18. period bookkeeping.
    if (ctx.period.Mode == 1) AppendDay(ctx.days, es.Rec);
    PeriodBookkeeping(ctx, es);
}

void EngineRun(TRunContext& ctx, const std::string& code, const std::string& start, const std::string& end) {
    PeriodState& ps = ctx.period;

    // Entry: clear the period accumulators.
    ps.CodeMinutesToDate.fill(0);
    ps.HourlyEntitledLeaveToDate = 0;
    ps.DailyEntitledLeaveDays = 0;
    ps.EntitledLeaveCount = 0;
    ps.EntitledLeaveCountShiftStart = 0;
    ps.DayTotalsToDate.fill(0);
    ps.OvertimeTotalsToDate.fill(0);
    TEngineState es;  // CarriedCode and StandardDeficit start at 0 in every period

    // The leave balances of the period.
    if (!start.empty() && !end.empty()) LoadPeriodBalances(ctx, PeriodBalanceRequest(ctx, code, start, end));

    // Whether the period lies wholly in an earlier calendar month than today.
    const std::string today = TodayJalali();
    ps.PastMonth = !end.empty() && end < today && end.substr(0, 7) != today.substr(0, 7);

    const int n = std::min({ps.DayCount, static_cast<int>(ps.Days.size()), kMaxPeriodDays});
    for (int d = 1; d <= n; ++d) EngineDay(ctx, es, code, d);

    if (ps.Mode == 1) PeriodPasses(ctx, es);
}

}  // namespace attcalc
