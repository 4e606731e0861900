// Absence consolidation and the day rules on absence: the daily allowances
// for lateness, early leave and absence inside the shift, the compensation of
// shortfalls by overtime, the schedule overrides of the day, the rules that
// turn absence into leave, work or a whole day of absence, and the resets at
// the end of the day.
#include <algorithm>

#include "calendar/Jalali.h"
#include "engine/PeriodState.h"
#include "engine/Stages.h"

namespace attcalc {

namespace {

// The entitled balance in minutes: days x leave-day length + minutes.
std::int32_t Available(const TBalance& b, std::int32_t dayLength) { return b.Days * dayLength + b.Minutes; }

// A limit turned the day into a whole day of absence.
void WholeDayAbsence(TDayRecord& r) {
    r.Prc_DayAbsence = 1;
    r.Prc_HourAbsence = 0;
    r.Prc_PureWork = 0;
    r.Prc_TotalWork = 0;
    r.Prc_PureDayWork = 0;
}

// The lateness, early-leave and allowance fields of a day that is not judged
// by its punches.
void ClearLateness(TDayRecord& r) {
    r.Prc_AbsenceNaghes = 0;
    r.Prc_TakhirLessWork = 0;
    r.Prc_TajilLessWork = 0;
    r.Prc_ValidLessWork = 0;
    r.Prc_validTakhir = 0;
    r.Prc_validTajil = 0;
    r.AllowedBetweenAbsence = 0;
}

// Takes up to `excess` from an allowed part; what the part cannot carry is
// left in `excess`.
void TakeFrom(std::int32_t& part, std::int32_t& excess) {
    if (excess < part) {
        part -= excess;
        excess = 0;
    } else {
        excess -= part;
        part = 0;
    }
}

// Codes under which an early leave above the limit does not make the day
// absent: hourly and daily paid leaves, daily and 24-hour missions.
bool KeepsDayOnEarlyLeave(int c) {
    return CodeIn(c, 21, 27) || CodeIn(c, 31, 35) || CodeIn(c, 41, 47) || CodeIn(c, 61, 75);
}

}  // namespace

// Schedule override 1: on a day whose schedule says so, all work is overtime.
void ScheduleOverrideOvertime(TRunContext& ctx, TEngineState& es) {
    if (!es.Day || es.Day->DayOverride != 1) return;
    TDayRecord& r = es.Rec;
    const std::int32_t worked = r.Prc_PureWork + r.Prc_ValidAddWork;
    r.Prc_ValidAddWork += r.Prc_PureWork;
    r.Prc_NormWork = 0;
    r.Prc_PureWork = 0;
    r.Prc_PureWorkKham = 0;
    r.Prc_PureDayWork = ctx.rule.Rule_dgkar && worked > 0 ? 1 : 0;
    r.Prc_HourAbsence = 0;
    r.Prc_HourDayAbsence = 0;
    r.Prc_DayAbsence = 0;
    r.Prc_standardwork = 0;
    r.BetweenAbsence = 0;
    r.AllowedBetweenAbsence = 0;
    r.Prc_HourAbsencePure = 0;
    r.Prc_DayAbsencePure = 0;
}

// The allowances of the day and the compensation of shortfalls by overtime.
void AbsenceAllowances(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;

    // Absence inside the shift, allowed up to Rule_gmb a day. Beyond it, with
    // Rule_gkbh all of it is absence, otherwise only the part above.
    if (r.BetweenAbsence > R.Rule_gmb) {
        if (R.Rule_gkbh) {
            r.Prc_HourAbsence += r.BetweenAbsence;
            r.AllowedBetweenAbsence = 0;
        } else {
            r.Prc_HourAbsence += r.BetweenAbsence - R.Rule_gmb;
            r.BetweenAbsence -= R.Rule_gmb;
            r.AllowedBetweenAbsence = R.Rule_gmb;
        }
    } else {
        r.AllowedBetweenAbsence = r.BetweenAbsence;
        r.BetweenAbsence = 0;
    }

    // The allowed shortfall of the day is capped at Rule_gmaxd; the excess is
    // absence and comes off the early leave first, then the absence inside
    // the shift, then the lateness.
    r.Prc_ValidLessWork += r.AllowedBetweenAbsence;
    if (r.Prc_ValidLessWork > R.Rule_gmaxd) {
        std::int32_t excess = r.Prc_ValidLessWork - R.Rule_gmaxd;
        r.Prc_HourAbsence += excess;
        r.Prc_ValidLessWork = R.Rule_gmaxd;
        TakeFrom(r.Prc_validTajil, excess);
        TakeFrom(r.AllowedBetweenAbsence, excess);
        r.Prc_validTakhir = excess < r.Prc_validTakhir ? r.Prc_validTakhir - excess : 0;
    }

    // The allowed shortfall counts as work.
    r.Prc_PureWork += r.Prc_ValidLessWork;
    r.Prc_TotalWork += r.Prc_ValidLessWork;

    // Lateness made up by overtime, up to Rule_t1e2d; with Rule_t1e2b only
    // when the whole lateness fits.
    if (r.Prc_TakhirLessWork > 0 && R.Rule_t1e2d > 0 && r.Prc_ValidAddWork > 0 &&
        (R.Rule_t1e2d >= r.Prc_TakhirLessWork || !R.Rule_t1e2b)) {
        const std::int32_t x = std::min({r.Prc_TakhirLessWork, r.Prc_ValidAddWork, R.Rule_t1e2d});
        r.Prc_HourAbsence -= x;
        r.Prc_TakhirLessWork -= x;
        r.Prc_ValidAddWork -= x;
        r.Prc_PureWork += x;
    }

    // Any shortfall made up by overtime up to Rule_ted, first by the valid
    // overtime, then by the authorised overtime, each up to the full amount.
    if (R.Rule_ted > 0) {
        if (r.Prc_ValidAddWork > 0 && r.Prc_HourAbsence > 0) {
            const std::int32_t x = std::min({r.Prc_ValidAddWork, R.Rule_ted, r.Prc_HourAbsence});
            r.Prc_HourAbsence -= x;
            r.Prc_ValidAddWork -= x;
            r.Prc_PureWork += x;
        }
        if (r.AuthorizedOvertime > 0 && r.Prc_HourAbsence > 0) {
            const std::int32_t x = std::min({r.AuthorizedOvertime, R.Rule_ted, r.Prc_HourAbsence});
            r.Prc_HourAbsence -= x;
            r.AuthorizedOvertime -= x;
            r.Prc_PureWork += x;
        }
    }
}

// An entry without exit is charged at most Rule_gnaghes of absence, and the
// day is credited with its required work less that much.
void MissingOutPunch(TRunContext& ctx, TEngineState& es) {
    const std::int32_t limit = ctx.rule.Rule_gnaghes;
    TDayRecord& r = es.Rec;
    if (r.Prc_AbsenceNaghes != 1 || limit == 0 || !(limit < r.Prc_HourAbsence)) return;
    r.Prc_HourAbsence = limit;
    const std::int32_t due = r.Prc_NormWork - limit;
    if (r.Prc_PureWork < due) {
        r.Prc_TotalWork += due - r.Prc_PureWork;
        r.Prc_PureWork = due;
    }
}

// The same limit once more after the day codes, without the work credit.
void MissingOutPunchLimit(TRunContext& ctx, TEngineState& es) {
    const std::int32_t limit = ctx.rule.Rule_gnaghes;
    TDayRecord& r = es.Rec;
    if (r.Prc_AbsenceNaghes == 1 && limit > 0 && limit < r.Prc_HourAbsence) r.Prc_HourAbsence = limit;
}

// The day rules on absence, in their fixed order.
void AbsenceRules(TRunContext& ctx, TEngineState& es) {
    const rule_type& R = ctx.rule;
    TDayRecord& r = es.Rec;
    PeriodState& ps = ctx.period;
    TBalance& bal = ctx.balances.EntitledLeaveBalance;

    // 1. A day of absence becomes a day of entitled leave while the balance
    // has the days. The day then counts as leave even without absence.
    if (R.Rule_gdmd && bal.Days >= r.Prc_DayAbsence) {
        r.Prc_DayEleaveSalary += r.Prc_DayAbsence;
        bal.Days -= r.Prc_DayAbsence;
        ps.CodeMinutes[kCodeDailyEntitledLeave] += r.Prc_DayAbsence;
        if (r.Prc_DayAbsence > 0) {
            if (R.Rule_mokar) {
                r.Prc_PureWork = r.Prc_NormWork;
                r.Prc_PureDayWork += 1;
            }
            if (R.Rule_mokarna) r.Prc_TotalWork += r.Prc_NormWork;
        }
        r.Prc_DayAbsence = 0;
        es.W.CurrentCode = kCodeDailyEntitledLeave;
    }

    // 2. Hour absence becomes hourly entitled leave as far as the balance goes.
    if (R.Rule_ghmh) {
        const std::int32_t available = Available(bal, R.Rule_mohr);
        // A negative hour absence (not yet clamped) is no leave to charge.
        if (available > 0 && r.Prc_HourAbsence > 0) {
            const bool partial = available < r.Prc_HourAbsence;
            const std::int32_t x = partial ? available : r.Prc_HourAbsence;
            r.Prc_HourEleaveSalary += x;
            r.Prc_PureWork += x;
            r.Prc_TotalWork += x;
            ps.CodeMinutes[kCodeHourlyEntitledLeave] += x;
            r.Prc_HourAbsence -= x;
            if (partial)
                bal = TBalance{};
            else
                BalanceAdd(bal.Days, bal.Minutes, 0, R.Rule_mohr, -x);
        }
    }

    // 3. Hourly entitled leave of a whole day's length is a day of leave.
    if (R.Rule_mohd > 0 && r.Prc_HourEleaveSalary >= R.Rule_mohd) {
        BalanceAdd(bal.Days, bal.Minutes, -1, R.Rule_mohr, r.Prc_HourEleaveSalary);
        ps.CodeMinutes[kCodeHourlyEntitledLeave] = 0;
        ps.CodeMinutes[kCodeDailyEntitledLeave] = 1;
        r.Prc_HourEleaveSalary = 0;
        r.Prc_DayEleaveSalary = 1;
        if (R.Rule_mokar) r.Prc_PureDayWork = 1;
        if (R.Rule_emo) r.Prc_ValidAddWork = r.Prc_PresenceWork + r.Prc_HourMission;
    }

    // 4. Hourly entitled leave reaching Rule_mohdg on a day with presence
    // makes it a day of absence; the leave goes back to the balance and the
    // presence is overtime.
    if (R.Rule_mohdg > 0 && r.Prc_HourEleaveSalary >= R.Rule_mohdg && r.Prc_PresenceWork > 0) {
        BalanceAdd(bal.Days, bal.Minutes, 0, R.Rule_mohr, r.Prc_HourEleaveSalary);
        ps.CodeMinutes[kCodeHourlyEntitledLeave] = 0;
        r.Prc_HourEleaveSalary = 0;
        r.Prc_DayEleaveSalary = 0;
        r.Prc_ValidAddWork = r.Prc_PresenceWork;
        r.Prc_TotalWork = r.Prc_PresenceWork;
        r.Prc_PureDayWork = 0;
        r.Prc_PureWork = 0;
        r.Prc_DayAbsence = 1;
    }

    // 5.
    r.Prc_HourEleaveSalarysum = r.Prc_HourEleaveSalary;

    // 6. All absence counts as work.
    if (R.Rule_gkar) {
        const std::int32_t h = r.Prc_HourAbsence;
        r.Prc_PureWork += h;
        r.Prc_TotalWork += h;
        r.Prc_HourAbsence = 0;
        if (r.Prc_DayAbsence == 1) {
            r.Prc_PureWork += r.Prc_NormWork;
            r.Prc_TotalWork += r.Prc_NormWork;
            r.Prc_DayAbsence = 0;
        }
    }

    // 7. Early leave above Rule_gtajillimit makes the day absent, unless the
    // day runs under a paid leave or a mission.
    if (0 < R.Rule_gtajillimit && R.Rule_gtajillimit < r.Prc_TajilLessWork &&
        !KeepsDayOnEarlyLeave(es.W.CurrentCode))
        WholeDayAbsence(r);

    // 8. Hour absence above Rule_gslimit makes the day absent.
    if (r.Prc_HourAbsence > R.Rule_gslimit) WholeDayAbsence(r);

    // 9. Absence above the free Rule_gpas is charged Rule_gzpas percent more.
    if (r.Prc_HourAbsence > R.Rule_gpas) {
        const std::int32_t p =
            RoundHalfEven(static_cast<double>(r.Prc_HourAbsence - R.Rule_gpas) * R.Rule_gzpas / 100.0);
        r.Prc_HourAbsence += p;
        r.Prc_PureWork -= p;
        r.Prc_TotalWork -= p;
    }
}

// A day of daily leave, mission or absence has no lateness or early leave.
void LatenessResets(TRunContext&, TEngineState& es) {
    TDayRecord& r = es.Rec;
    const bool unpaidDay = r.Prc_DaySleaveNoSalary > 0 || r.Prc_DayleaveNoSalary > 0;
    if (r.Prc_DayEleaveSalary > 0 || r.Prc_DaySleaveSalary > 0 || r.Prc_DayleaveSalary > 0 || unpaidDay ||
        r.Prc_FullMission > 0 || r.Prc_DayMission > 0) {
        ClearLateness(r);
        if (unpaidDay) r.Prc_PureDayWork = 0;
    }
    if (r.Prc_DayAbsence > 0) ClearLateness(r);
}

// Schedule override 2: the schedule is dropped and the work beyond it is overtime;
// then hour absence is never negative.
void ScheduleDroppedAndClamp(TRunContext&, TEngineState& es) {
    TDayRecord& r = es.Rec;
    if (es.Day && es.Day->DayOverride == 2) {
        r.Prc_ValidAddWork += r.Prc_PureWork - r.Prc_NormWork;
        r.Prc_NormWork = 0;
        r.Prc_HourAbsence = 0;
        r.Prc_HourDayAbsence = 0;
        r.Prc_DayAbsence = 0;
        r.Prc_standardwork = 0;
        r.Prc_bimehwork = 0;
        r.BetweenAbsence = 0;
        r.AllowedBetweenAbsence = 0;
        r.Prc_HourAbsencePure = 0;
        r.Prc_DayAbsencePure = 0;
    }
    if (r.Prc_HourAbsence < 0) r.Prc_HourAbsence = 0;
    r.Prc_HourAbsencePure = r.Prc_HourAbsence;
}

// Without future days, someone who has come in today is not absent yet.
void TodayAbsenceRule(TRunContext& ctx, TEngineState& es) {
    TDayRecord& r = es.Rec;
    if (ctx.settings.FutureDaysAllowed || r.Prc_DayAbsence != 1 || r.Prc_FirstIn == kNoTime) return;
    if (r.Prc_date != TodayJalali()) return;
    r.Prc_DayAbsence = 0;
    r.Prc_DayAbsencePure = 0;
}

}  // namespace attcalc
