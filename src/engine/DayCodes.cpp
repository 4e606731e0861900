// Day codes: a day-long code (daily leave 31 ... 49, daily mission 61 ... 69,
// 24-hour mission 71 ... 79, absence day 91) turns the day's schedule into
// leave or mission days and hours with the rule's conversion method, charges
// the leave balances, sends what no balance covers to unpaid leave or
// absence and credits work. A day without such a code gets the daily
// overtime cap (scheduled and worked) or the absent-day conversion (scheduled
// and absent). The worked scheduled day ends with the work-day count and the
// veteran allowance.
#include <algorithm>
#include <array>

#include "engine/PeriodState.h"
#include "engine/Stages.h"

namespace attcalc {

namespace {

// Integer division and remainder of a conversion; a unit below 1 converts
// nothing into days (the rule has no such unit) instead of dividing by zero.
std::int32_t Div(std::int32_t a, std::int32_t unit) { return unit < 1 ? 0 : a / unit; }
std::int32_t Mod(std::int32_t a, std::int32_t unit) { return unit < 1 ? a : a % unit; }

void Set(std::int32_t* f, std::int32_t v) {
    if (f) *f = v;
}
void Add(std::int32_t* f, std::int32_t v) {
    if (f) *f += v;
}

// How a scheduled day of S minutes splits under the threshold method.
enum TSplit { kShort, kNormal, kLong };
TSplit SplitOf(std::int32_t s, std::int32_t lower, std::int32_t upper) {
    if (s < lower) return kShort;
    if (s > upper) return kLong;
    return kNormal;
}

// The values one day-code booking works with.
struct TCodeDay {
    TRunContext& ctx;
    TEngineState& es;
    const rule_type& R;
    TDayRecord& r;
    std::array<std::int32_t, kCodeSlots>& cm;  // days[c] / hours[h]
    std::int32_t S;                            // the day's scheduled minutes
    std::int32_t K;                            // Rule_kard
    int c;                                     // the code in force

    TCodeDay(TRunContext& x, TEngineState& e)
        : ctx(x), es(e), R(x.rule), r(e.Rec), cm(x.period.CodeMinutes), S(e.Rec.Prc_NormWork),
          K(x.rule.Rule_kard), c(e.W.CurrentCode) {}

    TBalance& Entitled() { return ctx.balances.EntitledLeaveBalance; }
    TBalance& Sick() { return ctx.balances.SickLeaveBalance; }
    void EntitledAdd(std::int32_t days, std::int32_t dayLength, std::int32_t minutes) {
        BalanceAdd(Entitled().Days, Entitled().Minutes, days, dayLength, minutes);
    }
    void SickAdd(std::int32_t days, std::int32_t dayLength, std::int32_t minutes) {
        BalanceAdd(Sick().Days, Sick().Minutes, days, dayLength, minutes);
    }

    // A day of unpaid leave also takes Rule_morbies from the entitled reserve.
    // The deduction is hourly entitled leave: its minutes are booked under
    // that code, not under the day's leave code (which counts days).
    void Morbies() {
        if (R.Rule_morbies <= 0) return;
        int& code = es.W.CurrentCode;
        const int dayCode = code;
        code = kCodeHourlyEntitledLeave;
        EntitledLeaveHours(ctx, es, R.Rule_morbies);
        code = dayCode;
    }
    // Leave credited as work: net work with the day count, gross work.
    void Mokar(std::int32_t dayCount) {
        if (!R.Rule_mokar) return;
        r.Prc_PureWork = S;
        r.Prc_PureDayWork = dayCount;
    }
    void Mokarna() {
        if (R.Rule_mokarna) r.Prc_TotalWork = S;
    }
    // Presence on a leave day counted as overtime with Rule_ezmo percent on top.
    std::int32_t LeavePresenceOvertime() const {
        return RoundHalfEven((100.0 + R.Rule_ezmo) * (r.Prc_PresenceWork + r.Prc_HourMission) / 100.0);
    }
    std::int32_t MissionPresenceOvertime() const {
        return RoundHalfEven((100.0 + R.Rule_ezma) * r.Prc_PresenceWork / 100.0);
    }
};

// ---- Scheduled day, leave codes ---------------------------------------------

// 31: daily sick leave without pay, on a day with work.
void WorkedUnpaidSick(TCodeDay& x) {
    TDayRecord& r = x.r;
    const TSplit sp = SplitOf(x.S, x.R.Rule_mob1, x.R.Rule_mok1);
    if (x.R.Rule_moh && sp == kLong) {
        r.Prc_DaySleaveNoSalary = 1;
        r.Prc_HourSleaveNoSalary = x.S - x.K;
        x.cm[31] = 1;
        x.cm[11] = x.S - x.K;
    } else if (x.R.Rule_moh && sp == kNormal) {
        r.Prc_DaySleaveNoSalary = 1;
        x.cm[31] = 1;
    } else {
        r.Prc_HourSleaveNoSalary = x.S;
        x.cm[11] = x.S;
    }
    if (x.R.Rule_emo) {
        const std::int32_t v = x.LeavePresenceOvertime();
        r.Prc_ValidAddWork = v;
        r.Prc_TotalWork = v;
        r.Prc_PureWork = r.Prc_PureDayWork = 0;
    }
}

// 32 ... 39: daily leave without pay, on a day with work.
void WorkedUnpaidLeave(TCodeDay& x) {
    TDayRecord& r = x.r;
    const int c = x.c;
    if (x.R.Rule_moh) {
        switch (SplitOf(x.S, x.R.Rule_mob1, x.R.Rule_mok1)) {
            case kLong:
                r.Prc_DayleaveNoSalary = 1;
                r.Prc_HourDayleaveNoSalary = x.S - x.K;
                x.cm[c] = 1;
                x.cm[c - 20] = x.S - x.K;
                break;
            case kNormal:
                r.Prc_DayleaveNoSalary = 1;
                x.cm[c] = 1;
                break;
            case kShort:
                r.Prc_HourDayleaveNoSalary = x.S;
                x.cm[c - 20] = x.S;
                break;
        }
    } else {
        r.Prc_HourleaveNoSalary = x.S;
        x.cm[c - 20] = x.S;
    }
    if (x.R.Rule_emo) {
        const std::int32_t v = x.LeavePresenceOvertime();
        r.Prc_ValidAddWork = v;
        r.Prc_TotalWork = v;
        r.Prc_PureWork = r.Prc_PureDayWork = 0;
    }
    x.Morbies();
}

// 41 without a usable balance: unpaid leave with Rule_moeb, else absence.
void EntitledShortage(TCodeDay& x, std::int32_t days) {
    if (x.R.Rule_moeb) {
        x.r.Prc_DayleaveNoSalary = days;
        x.cm[32] = days;
        x.Morbies();
    } else {
        x.r.Prc_DayAbsence = 1;
    }
}

// 41 under the conversion method (both branches): the whole day is charged
// when the balance holds it, else it falls to unpaid leave or absence.
// Returns true when the balance was charged.
bool EntitledConversion(TCodeDay& x) {
    TDayRecord& r = x.r;
    const std::int32_t R = x.R.Rule_morhr;
    const std::int32_t available = x.Entitled().Days * x.R.Rule_mohr + x.Entitled().Minutes;
    if (available < x.S) {
        if (x.R.Rule_moeb) {
            r.Prc_HourDayleaveNoSalary += Mod(x.S, R);
            r.Prc_DayleaveNoSalary += Div(x.S, R);
            x.cm[12] += Mod(x.S, R);
            x.cm[32] += Div(x.S, R);
            x.Morbies();
        } else {
            r.Prc_DayAbsence = 1;
        }
        return false;
    }
    r.Prc_HourEleaveSalary += Mod(x.S, R);
    r.Prc_DayEleaveSalary += Div(x.S, R);
    x.cm[21] += Mod(x.S, R);
    x.cm[41] += Div(x.S, R);
    x.EntitledAdd(0, R, -x.S);
    return true;
}

// 41: daily entitled leave, on a day with work.
void WorkedEntitledLeave(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    if (!R.Rule_moh) {
        EntitledConversion(x);
        return;
    }
    const bool hasDay = x.Entitled().Days >= 1;
    switch (SplitOf(x.S, R.Rule_mob1, R.Rule_mok1)) {
        case kShort:
            if (hasDay) {
                r.Prc_HourEleaveSalary = x.S;
                x.EntitledAdd(-1, R.Rule_mohr, 0);
            } else {
                EntitledShortage(x, 1);
            }
            break;
        case kLong:
            // The booked days and the rest as hours are what the balance is
            // charged: S minutes at Rule_mok1 a day when the balance holds a
            // day, only the rest booked as hours when it does not.
            if (hasDay) {
                r.Prc_DayEleaveSalary = Div(x.S, R.Rule_mok1);
                r.Prc_PureDayWork = 1;
                x.EntitledAdd(0, R.Rule_mok1, -x.S);
            } else {
                EntitledShortage(x, Div(x.S, R.Rule_mok1));
                x.EntitledAdd(0, R.Rule_mok1, -Mod(x.S, R.Rule_mok1));
            }
            r.Prc_HourEleaveSalary = Mod(x.S, R.Rule_mok1);
            break;
        case kNormal:
            if (hasDay) {
                r.Prc_DayEleaveSalary = 1;
                x.EntitledAdd(-1, R.Rule_mohr, 0);
                r.Prc_PureDayWork = 1;
            } else {
                EntitledShortage(x, 1);
            }
            break;
    }
}

// 42: daily sick leave, on a day with work.
void WorkedSickLeave(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const bool hasDay = x.Sick().Days >= 1;
    auto shortage = [&] {
        if (R.Rule_moebs) {
            r.Prc_DaySleaveNoSalary = 1;
            x.cm[31] = 1;
        } else {
            r.Prc_DayAbsence = 1;
            r.Prc_PureWork = r.Prc_PureDayWork = 0;
        }
    };
    const TSplit sp = R.Rule_moh ? SplitOf(x.S, R.Rule_mob1, R.Rule_mok1) : kShort;
    if (sp == kShort) {  // the threshold method's short day and the conversion method
        if (hasDay) {
            r.Prc_HourSleaveSalary = x.S;
            x.SickAdd(-1, R.Rule_mohr, 0);
        } else {
            shortage();
        }
    } else {
        if (hasDay) {
            r.Prc_DaySleaveSalary = 1;
            r.Prc_PureDayWork = 1;
            x.SickAdd(-1, R.Rule_mohr, 0);
        } else {
            shortage();
        }
        if (sp == kLong) {
            r.Prc_HourSleaveSalary = x.S - x.K;
            x.SickAdd(0, R.Rule_mohr, x.K - x.S);
        }
    }
}

// 43 ... 49: other daily paid leave, on a day with work.
void WorkedPaidLeave(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    std::int32_t* hours = PaidLeaveHourField(r, x.c - 20);
    std::int32_t* days = PaidLeaveDayField(r, x.c);
    const TSplit sp = R.Rule_moh ? SplitOf(x.S, R.Rule_mob1, R.Rule_mok1) : kShort;
    switch (sp) {
        case kShort:
            r.Prc_HourleaveSalary = x.S;
            Set(hours, x.S);
            break;
        case kLong:
            r.Prc_DayleaveSalary = 1;
            r.Prc_HourleaveSalary = x.S - x.K;
            r.Prc_PureDayWork = 1;
            Set(hours, x.S - x.K);
            Set(days, 1);
            break;
        case kNormal:
            r.Prc_DayleaveSalary = 1;
            r.Prc_PureDayWork = 1;
            Set(days, 1);
            break;
    }
}

// 41 ... 49 on a day with work: the day's per-code minutes, the work credit
// and the presence counted as overtime.
void WorkedPaidLeaveCommon(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const int c = x.c;
    const TSplit sp = R.Rule_moh ? SplitOf(x.S, R.Rule_mob1, R.Rule_mok1) : kShort;
    switch (sp) {
        case kShort: x.cm[c - 20] = x.S; break;  // also the conversion method
        case kLong:
            x.cm[c] = 1;
            x.cm[c - 20] = x.S - x.K;
            break;
        case kNormal: x.cm[c] = 1; break;
    }
    const std::int32_t dayCount = c == 41   ? r.Prc_DayEleaveSalary
                                  : c == 42 ? r.Prc_DaySleaveSalary
                                            : r.Prc_DayleaveSalary;
    x.Mokar(dayCount);
    x.Mokarna();
    if (R.Rule_emo) {
        r.Prc_ValidAddWork = x.LeavePresenceOvertime();
        r.Prc_TotalWork = r.Prc_ValidAddWork + r.Prc_PureWork;
    }
}

// 31: daily sick leave without pay, on a day without work.
void AbsentUnpaidSick(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    if (R.Rule_moh) {
        switch (SplitOf(x.S, R.Rule_mob1, R.Rule_mok1)) {
            case kShort:
                r.Prc_HourSleaveNoSalary = x.S;
                x.cm[11] = x.S;
                break;
            case kLong:
                r.Prc_DaySleaveNoSalary = 1;
                r.Prc_HourSleaveNoSalary = x.S - x.K;
                x.cm[31] = 1;
                x.cm[11] = x.S - x.K;
                break;
            case kNormal:
                r.Prc_DaySleaveNoSalary = 1;
                x.cm[31] = 1;
                break;
        }
    } else {
        r.Prc_HourSleaveNoSalary += Mod(x.S, R.Rule_morhr);
        r.Prc_DaySleaveNoSalary += Div(x.S, R.Rule_morhr);
        x.cm[11] += Mod(x.S, R.Rule_morhr);
        x.cm[31] += Div(x.S, R.Rule_morhr);
    }
}

// 32 ... 39: daily leave without pay, on a day without work.
void AbsentUnpaidLeave(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const int c = x.c;
    if (R.Rule_moh) {
        switch (SplitOf(x.S, R.Rule_mob1, R.Rule_mok1)) {
            case kShort:
                r.Prc_HourDayleaveNoSalary = x.S;
                x.cm[c - 20] = x.S;
                break;
            case kLong:
                r.Prc_DayleaveNoSalary = 1;
                r.Prc_HourleaveNoSalary = x.S - x.K;
                x.cm[c] = 1;
                x.cm[c - 20] = x.S - x.K;
                break;
            case kNormal:
                r.Prc_DayleaveNoSalary = 1;
                x.cm[c] = 1;
                break;
        }
    } else {
        r.Prc_HourDayleaveNoSalary += Mod(x.S, R.Rule_morhr);
        r.Prc_DayleaveNoSalary += Div(x.S, R.Rule_morhr);
        x.cm[c - 20] += Mod(x.S, R.Rule_morhr);
        x.cm[c] += Div(x.S, R.Rule_morhr);
    }
    x.Morbies();
}

// 41: daily entitled leave, on a day without work.
void AbsentEntitledLeave(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    if (!R.Rule_moh) {
        if (EntitledConversion(x)) x.Mokar(std::min(r.Prc_DayEleaveSalary, 1));
    } else {
        const bool hasDay = x.Entitled().Days >= 1;
        switch (SplitOf(x.S, R.Rule_mob1, R.Rule_mok1)) {
            case kShort:
                if (hasDay) {
                    r.Prc_HourEleaveSalary = x.S;
                    x.EntitledAdd(0, R.Rule_mok1, -x.S);
                    x.cm[21] = x.S;
                    x.Mokar(std::min(r.Prc_DayEleaveSalary, 1));
                } else if (R.Rule_moeb) {
                    r.Prc_HourDayleaveNoSalary = x.S;
                    x.cm[12] = x.S;
                    x.Morbies();
                } else {
                    r.Prc_DayAbsence = 1;
                }
                break;
            case kLong:
                if (hasDay) {
                    // The days and the rest booked as hours are both charged.
                    r.Prc_DayEleaveSalary = Div(x.S, R.Rule_mok1);
                    x.EntitledAdd(0, R.Rule_mok1, -x.S);
                    x.cm[41] = r.Prc_DayEleaveSalary;
                    x.cm[21] = r.Prc_HourEleaveSalary = Mod(x.S, R.Rule_mok1);
                    x.Mokar(std::min(r.Prc_DayEleaveSalary, 1));
                } else if (R.Rule_moeb) {
                    r.Prc_DayleaveNoSalary = x.cm[32] = Div(x.S, R.Rule_mok1);
                    x.cm[12] = r.Prc_HourDayleaveNoSalary = Mod(x.S, R.Rule_mok1);
                    x.Morbies();
                } else {
                    r.Prc_DayAbsence = 1;
                }
                break;
            case kNormal:
                if (hasDay) {
                    r.Prc_DayEleaveSalary = 1;
                    x.EntitledAdd(-1, R.Rule_mohr, 0);
                    x.cm[41] = 1;
                    x.Mokar(1);
                } else {
                    EntitledShortage(x, 1);
                }
                break;
        }
    }
    x.Mokarna();
    if (r.Prc_DayAbsence > 0) r.Prc_TotalWork = 0;
}

// 42: daily sick leave, on a day without work.
void AbsentSickLeave(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    if (x.Sick().Days < 1) {
        if (R.Rule_moebs) {
            r.Prc_DaySleaveNoSalary = 1;
            x.cm[31] = 1;
        } else {
            r.Prc_DayAbsence = 1;
            r.Prc_PureWork = r.Prc_PureDayWork = 0;
        }
        return;
    }
    if (R.Rule_moh) {
        switch (SplitOf(x.S, R.Rule_mob1, R.Rule_mok1)) {
            case kShort:
                r.Prc_HourSleaveSalary = x.S;
                x.SickAdd(-1, R.Rule_mohr, 0);
                x.cm[22] = x.S;
                break;
            case kLong:
                r.Prc_DaySleaveSalary = 1;
                x.SickAdd(-1, R.Rule_mohr, 0);
                x.cm[42] = 1;
                x.cm[22] = r.Prc_HourSleaveSalary = x.S - x.K;
                break;
            case kNormal:
                r.Prc_DaySleaveSalary = 1;
                x.SickAdd(-1, R.Rule_mohr, 0);
                x.cm[42] = 1;
                break;
        }
    } else {
        const std::int32_t rest = Mod(x.S, R.Rule_morhr), days = Div(x.S, R.Rule_morhr);
        r.Prc_HourSleaveSalary += rest;
        r.Prc_DaySleaveSalary += days;
        x.cm[22] += rest;
        x.cm[42] += days;
        x.Sick().Minutes -= rest;
        x.Sick().Days -= days;
    }
    x.Mokar(std::min(r.Prc_DaySleaveSalary, 1));
    x.Mokarna();
}

// 43 ... 49: other daily paid leave, on a day without work.
void AbsentPaidLeave(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const int c = x.c;
    std::int32_t* hours = PaidLeaveHourField(r, c - 20);
    std::int32_t* days = PaidLeaveDayField(r, c);
    if (R.Rule_moh) {
        switch (SplitOf(x.S, R.Rule_mob1, R.Rule_mok1)) {
            case kShort:
                r.Prc_HourleaveSalary = x.S;
                x.cm[c - 20] = x.S;
                Set(hours, x.S);
                break;
            case kLong:
                r.Prc_DayleaveSalary = 1;
                r.Prc_HourleaveSalary = x.S - x.K;
                x.cm[c] = 1;
                x.cm[c - 20] = x.S - x.K;
                Set(hours, x.S - x.K);
                Set(days, 1);
                break;
            case kNormal:
                r.Prc_DayleaveSalary = 1;
                x.cm[c] = 1;
                Set(days, 1);
                break;
        }
    } else {
        const std::int32_t rest = Mod(x.S, R.Rule_morhr), n = Div(x.S, R.Rule_morhr);
        r.Prc_HourleaveSalary += rest;
        r.Prc_DayleaveSalary += n;
        x.cm[c - 20] += rest;
        x.cm[c] += n;
        Add(hours, rest);
        Add(days, n);
    }
    x.Mokar(std::min(r.Prc_DayleaveSalary, 1));
    x.Mokarna();
}

// ---- Scheduled day, mission codes --------------------------------------------

// 61 ... 69 and 71 ... 79 on a scheduled day. On a day without work the
// presence is not counted as overtime, and under the conversion method a
// daily mission does not raise its per-code day field; under the threshold
// method a long day sets the per-code days but not the per-code hours.
void ScheduledMission(TCodeDay& x, bool worked) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const int c = x.c;
    const bool full = IsFullMissionCode(c);
    std::int32_t& dayField = full ? r.Prc_FullMission : r.Prc_DayMission;
    const int h = full ? c - 20 : c - 10;
    std::int32_t* perHours = HourMissionField(r, h);
    std::int32_t* perDays = DayMissionField(r, c);
    const std::int32_t S = x.S;
    switch (R.Rule_mad) {
        case 1: {
            const std::int32_t M = R.Rule_marhr;
            r.Prc_HourMission += Mod(S, M);
            dayField += Div(S, M);
            x.cm[h] += Mod(S, M);
            x.cm[c] += Div(S, M);
            if (R.Rule_makar) {
                r.Prc_PureDayWork = Div(S, M);
                r.Prc_PureWork = S;
            }
            Add(perHours, Mod(S, M));
            if (worked || full) Add(perDays, Div(S, M));
            break;
        }
        case 2:
            dayField = 1;
            x.cm[c] = 1;
            if (R.Rule_makar) {
                r.Prc_PureDayWork = 1;
                r.Prc_PureWork = S;
            }
            if (S < R.Rule_madfixh) r.Prc_ValidAddWork += R.Rule_madfixh - S;
            Set(perDays, 1);
            break;
        case 0:
            switch (SplitOf(S, R.Rule_mab1, R.Rule_mak1)) {
                case kShort:
                    r.Prc_HourMission = S;
                    x.cm[h] = S;
                    if (R.Rule_makar) r.Prc_PureWork = S;
                    Set(perHours, S);
                    break;
                case kLong:
                    dayField = 1;
                    r.Prc_HourMission = S - x.K;
                    x.cm[c] = 1;
                    x.cm[h] = S - x.K;
                    if (R.Rule_makar) {
                        r.Prc_PureDayWork = 1;
                        r.Prc_PureWork = S;
                    }
                    Set(perDays, 1);
                    if (worked) Set(perHours, S - x.K);
                    break;
                case kNormal:
                    dayField = 1;
                    x.cm[c] = 1;
                    if (R.Rule_makar) {
                        r.Prc_PureDayWork = 1;
                        r.Prc_PureWork = S;
                    }
                    Set(perDays, 1);
                    break;
            }
            break;
        default:  // no method: the mission books nothing
            break;
    }
    if (R.Rule_makarna) r.Prc_TotalWork = S;
    if (worked && R.Rule_ema) {
        r.Prc_ValidAddWork = x.MissionPresenceOvertime();
        r.Prc_TotalWork = r.Prc_ValidAddWork + r.Prc_PureWork;
    }
}

// ---- Day without schedule ----------------------------------------------------

// A leave code on a holiday or no-work day counts only with Rule_morgkok.
void UnscheduledLeave(TCodeDay& x, bool worked) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const int c = x.c;
    if (!R.Rule_morgkok) return;
    if (c == 31) {
        r.Prc_DaySleaveNoSalary = 1;
        x.cm[31] = 1;
    } else if (CodeIn(c, 32, 39)) {
        r.Prc_DayleaveNoSalary = 1;
        x.cm[c] = 1;
        x.Morbies();
    } else if (c == 41) {
        if (x.Entitled().Days < 1) {
            if (!worked && R.Rule_moeb) {
                r.Prc_DayleaveNoSalary = 1;
                x.cm[32] = 1;
            } else {
                r.Prc_DayAbsence = 1;
            }
        } else {
            r.Prc_DayEleaveSalary = 1;
            x.EntitledAdd(-1, R.Rule_mohr, 0);
            x.cm[41] = 1;
        }
    } else if (c == 42) {
        r.Prc_DaySleaveSalary = 1;
        x.SickAdd(-1, R.Rule_mohr, 0);
        x.cm[42] = 1;
    } else if (CodeIn(c, 43, 49)) {
        r.Prc_DayleaveSalary = 1;
        x.cm[c] = 1;
        Set(PaidLeaveDayField(r, c), 1);
    }
}

// A daily or 24-hour mission on a holiday or no-work day.
void UnscheduledMission(TCodeDay& x, bool worked) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const int c = x.c;
    const bool full = IsFullMissionCode(c);
    std::int32_t& dayField = full ? r.Prc_FullMission : r.Prc_DayMission;
    const int h = full ? c - 20 : c - 10;
    std::int32_t* perDays = DayMissionField(r, c);
    if (worked) {
        if (R.Rule_masg) {
            r.Prc_HourAbsence = 0;
            dayField = 1;
            r.Prc_ValidAddWork = r.Prc_TotalWork;
            x.cm[c] = 1;
            Set(perDays, 1);
        }
        r.Prc_ValidAddWork = r.Prc_TotalWork = R.Rule_manokez ? r.Prc_PresenceWork : 0;
        if (R.Rule_mad == 2) r.Prc_ValidAddWork += R.Rule_madfixh;
    } else {
        if (!R.Rule_masg) return;
        dayField = 1;
        x.cm[c] = 1;
        if (R.Rule_mad == 2) {
            r.Prc_ValidAddWork = R.Rule_madfixh;
            r.Prc_TotalWork += R.Rule_madfixh;
        } else if (R.Rule_mage) {
            const std::int32_t v = x.K + TierPercent(x.K, R.Rule_ezgtime, R.Rule_ezg, R.Rule_ezg1);
            r.Prc_ValidAddWork += v;
            r.Prc_TotalWork += v;
        }
        Set(perDays, 1);
    }
    // The mission becomes an hourly mission of Rule_marshgs minutes.
    if (R.Rule_marshgs >= 1) {
        r.Prc_HourMission = R.Rule_marshgs;
        x.cm[h] = R.Rule_marshgs;
        Set(HourMissionField(r, h), R.Rule_marshgs);
        dayField = 0;
        Set(perDays, 0);
    }
}

// ---- The absent-day conversion and the veteran allowance -----------------------

// A scheduled day without work and without a day code (or with code 91):
// its schedule becomes hour or day absence.
void AbsentDayConversion(TCodeDay& x, bool clearWork) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const std::int32_t S = x.S;
    r.Prc_HourAbsence = 0;
    if (clearWork) r.Prc_PureWork = r.Prc_TotalWork = 0;
    if (R.Rule_gd) {
        if (S < R.Rule_gbd) {
            r.Prc_HourAbsence = S;
        } else if (S > R.Rule_gkd) {
            r.Prc_DayAbsence = 1;
            r.Prc_HourAbsence = S - R.Rule_kard;
        } else {
            r.Prc_DayAbsence = 1;
        }
    } else {
        const std::int32_t n = Div(S, R.Rule_grzhd);
        r.Prc_DayAbsence += n;
        r.Prc_HourDayAbsence = S - n * (R.Rule_grzhd < 1 ? 0 : R.Rule_grzhd);
    }
    r.Prc_DayAbsencePure = r.Prc_DayAbsence;
    if (R.Rule_kark1 && R.Rule_kard >= S && r.Prc_PureWork > 0) r.Prc_PureDayWork = 1;
}

// The work days of a scheduled day with work.
void WorkDays(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const std::int32_t S = r.Prc_NormWork, K = R.Rule_kard;
    if (R.Rule_kark1 && K >= S) r.Prc_PureDayWork = r.Prc_DayAbsence > 0 ? 0 : 1;
    if (S >= K) {
        if (!R.Rule_karb1)
            r.Prc_PureDayWork = Div(S, K);
        else if (r.Prc_DayAbsence == 0)
            r.Prc_PureDayWork = 1;
    }
}

// The daily work reduction of a disabled veteran (Rule_gjanbaz).
void VeteranAllowance(TCodeDay& x) {
    TDayRecord& r = x.r;
    const rule_type& R = x.R;
    const std::int32_t J = R.Rule_gjanbaz;
    if (J <= 0) return;
    const std::int32_t H = r.Prc_HourAbsence;
    if (J < H) {
        r.Prc_HourAbsence = H - J;
    } else {
        r.Prc_PureWork += H - J;
        if (R.Rule_gjanbazEmor) {
            r.Prc_HourEleaveSalary += H - J;
            x.cm[21] += H - J;
            x.EntitledAdd(0, R.Rule_mohr, J - H);
        } else if (R.Rule_gjanbazIgnore) {
            r.Prc_InvalidAddWork += J - H;
        } else {
            r.Prc_ValidAddWork += J - H;
        }
        r.Prc_HourAbsence = 0;
    }
    r.Prc_NormWork -= J;
    r.Prc_janbaz = J;
}

bool IsLeaveOrMission(int c) { return IsDailyLeaveCode(c) || CodeIn(c, kCodeDailyMissionFirst, kCodeFullMissionLast); }

void WorkedScheduled(TRunContext& ctx, TEngineState& es, TCodeDay& x) {
    const int c = x.c;
    if (IsLeaveOrMission(c)) x.r.Prc_HourAbsence = 0;
    if (c == 31) {
        WorkedUnpaidSick(x);
    } else if (CodeIn(c, 32, 39)) {
        WorkedUnpaidLeave(x);
    } else if (CodeIn(c, 41, 49)) {
        if (c == 41)
            WorkedEntitledLeave(x);
        else if (c == 42)
            WorkedSickLeave(x);
        else
            WorkedPaidLeave(x);
        WorkedPaidLeaveCommon(x);
    } else if (CodeIn(c, kCodeDailyMissionFirst, kCodeFullMissionLast)) {
        ScheduledMission(x, true);
    } else if (c != kCodeAbsenceDay) {
        OvertimeDailyCap(ctx, es);  // a day without day code
    }
    WorkDays(x);
    VeteranAllowance(x);
}

void AbsentScheduled(TCodeDay& x) {
    const int c = x.c;
    if (IsLeaveOrMission(c) || c == kCodeAbsenceDay) x.r.Prc_HourAbsence = 0;
    if (c == 31)
        AbsentUnpaidSick(x);
    else if (CodeIn(c, 32, 39))
        AbsentUnpaidLeave(x);
    else if (c == 41)
        AbsentEntitledLeave(x);
    else if (c == 42)
        AbsentSickLeave(x);
    else if (CodeIn(c, 43, 49))
        AbsentPaidLeave(x);
    else if (CodeIn(c, kCodeDailyMissionFirst, kCodeFullMissionLast))
        ScheduledMission(x, false);
    else
        AbsentDayConversion(x, c != kCodeAbsenceDay);  // 91 keeps its work for the absence-day code
    if (x.R.Rule_kark1 && x.R.Rule_kard >= x.S && x.r.Prc_PureWork > 0) x.r.Prc_PureDayWork = 1;
}

void Unscheduled(TRunContext& ctx, TEngineState& es, TCodeDay& x, bool worked) {
    const int c = x.c;
    if (worked) ctx.period.OvertimeTotals[kOtUnscheduled] = x.r.Prc_TotalWork;
    if (IsDailyLeaveCode(c))
        UnscheduledLeave(x, worked);
    else if (CodeIn(c, kCodeDailyMissionFirst, kCodeFullMissionLast))
        UnscheduledMission(x, worked);
    else if (worked && c != kCodeAbsenceDay)
        OvertimeDailyCap(ctx, es);  // the lunch deduction and the cap of a day without schedule
}

}  // namespace

void DayCodeStage(TRunContext& ctx, TEngineState& es) {
    TCodeDay x(ctx, es);
    TDayRecord& r = es.Rec;
    const bool worked = r.Prc_TotalWork > r.Prc_ValidLessWork;
    if (x.S != 0) {
        if (worked)
            WorkedScheduled(ctx, es, x);
        else
            AbsentScheduled(x);
    } else {
        Unscheduled(ctx, es, x, worked);
    }

    // Common tail.
    const int c = x.c;
    if (c == 31 && ctx.rule.Rule_morsbiok) {
        r.Prc_DaySleaveNoSalary = 1;
        x.cm[31] = 1;
        r.Prc_HourSleaveNoSalary = 0;
        x.cm[11] = 0;
    }
    if (c == kCodeReserve99) r.Prc_reserve99 = 1;
    if (r.Prc_DaySleaveNoSalary > 0 || r.Prc_DayleaveNoSalary > 0) {
        r.Prc_PureDayWork = 0;
        r.Prc_PureWork = r.Prc_TotalWork = r.Prc_PresenceWork;
    }
}

}  // namespace attcalc
