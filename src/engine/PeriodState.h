// Period-level state shared by the period driver, the input readers, the
// engine and the monthly calculation, together with the leave and mission
// code numbering and the two small arithmetic helpers everyone uses.
//
// Day numbers run 1 ... N as everywhere in the calculation; in the arrays
// below day d sits at index d - 1 (Days[0] is the first day of the period,
// Days[N] the day after it, Days[N + 1] a spare).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "inputs/DayInput.h"

namespace attcalc {

// ---------------------------------------------------------------------------
// Codes. One numbering is shared by punch keys, requests and day codes.
// ---------------------------------------------------------------------------
constexpr int kCodePlain = 0;              // plain punch
constexpr int kCodeJustifiedLate = 1;      // justified lateness card
constexpr int kCodeLeaveToShiftEnd = 2;    // on an out punch: leave until the end of the shift
constexpr int kCodeOvertime = 3;           // on an in punch: overtime card; request: hourly overtime permit
constexpr int kCodeReplaceable = 7;        // a code that a request code may replace
constexpr int kCodeHourlyLeaveFirst = 11;  // 11 ... 27 hourly leaves
constexpr int kCodeHourlyLeaveLast = 27;
constexpr int kCodeHourlyEntitledLeave = 21;
constexpr int kCodeDailyLeaveFirst = 31;   // 31 ... 49 daily leaves
constexpr int kCodeDailyLeaveLast = 49;
constexpr int kCodeDailyEntitledLeave = 41;
constexpr int kCodePresence = 50;          // counted as presence
constexpr int kCodeHourlyMissionFirst = 51;  // 51 ... 59 hourly missions
constexpr int kCodeHourlyMissionLast = 59;
constexpr int kCodeDailyMissionFirst = 61;   // 61 ... 69 daily missions
constexpr int kCodeDailyMissionLast = 69;
constexpr int kCodeFullMissionFirst = 71;    // 71 ... 79 24-hour missions
constexpr int kCodeFullMissionLast = 79;
constexpr int kCodeServiceLateFirst = 81;    // 81 ... 85 service (transport) lateness cards
constexpr int kCodeServiceLateLast = 85;
constexpr int kCodeOnCall = 86;            // on-call (keshik) permit
constexpr int kCodePresenceRequest = 87;   // presence request turned into a pair
constexpr int kCodeAbsenceDay = 91;        // absence day
constexpr int kCodeIncomplete = 97;        // on an out punch: no matching exit
constexpr int kCodeReserve99 = 99;         // a day marked for Prc_reserve99

// Number of entries of the per-code minute arrays (index = code).
constexpr int kCodeSlots = 105;

inline bool CodeIn(int c, int lo, int hi) { return c >= lo && c <= hi; }
inline bool IsHourlyLeaveCode(int c) { return CodeIn(c, kCodeHourlyLeaveFirst, kCodeHourlyLeaveLast); }
inline bool IsDailyLeaveCode(int c) { return CodeIn(c, kCodeDailyLeaveFirst, kCodeDailyLeaveLast); }
inline bool IsHourlyMissionCode(int c) { return CodeIn(c, kCodeHourlyMissionFirst, kCodeHourlyMissionLast); }
inline bool IsDailyMissionCode(int c) { return CodeIn(c, kCodeDailyMissionFirst, kCodeDailyMissionLast); }
inline bool IsFullMissionCode(int c) { return CodeIn(c, kCodeFullMissionFirst, kCodeFullMissionLast); }
inline bool IsServiceLateCode(int c) { return CodeIn(c, kCodeServiceLateFirst, kCodeServiceLateLast); }

// ---------------------------------------------------------------------------
// Period state.
// ---------------------------------------------------------------------------

// Values of the last computed day that the next stages and the monthly part read.
struct TLastDayValues {
    std::int32_t prc_dayabsence = 0;
    std::int32_t Prc_TakhirLessWork = 0;
    std::int32_t BetweenAbsence = 0;
    std::int32_t Prc_TajilLessWork = 0;
    std::int32_t Prc_ValidLessWork = 0;
    std::int32_t prc_hourabsence = 0;
    std::int32_t Prc_reserve99 = 0;
    std::int32_t Prc_validTakhir = 0;
    std::int32_t AllowedBetweenAbsence = 0;
    std::int32_t Prc_validTajil = 0;
    std::int32_t prc_DayEleavesalary = 0;
    std::int32_t prc_HourEleavesalary = 0;
};

// Indexes of DayTotals / DayTotalsToDate.
enum TDayTotal {
    kDayNormWork = 0,        // Prc_NormWork
    kDayPureWork = 1,        // Prc_PureWork
    kDayTotalWork = 2,       // Prc_TotalWork
    kDayPresenceWork = 3,    // Prc_PresenceWork
    kDayHolidayCredit = 4,   // Rule_kard on a day credited as work, else 0
    kDayPureWorkNight = 5,   // Prc_PureWorkNight
    kDayPureWorkNights = 6,  // Prc_PureWorkNights
};

// Indexes of OvertimeTotals / OvertimeTotalsToDate.
enum TOvertimeTotal {
    kOtBefore = 0,           // before-shift overtime
    kOtAfter = 1,            // after-shift overtime
    kOtUnscheduled = 2,      // Prc_TotalWork of a day without schedule with work, else 0
    kOtValid = 3,            // prc_validaddwork
    kOtInvalid = 4,          // Prc_InvalidAddWork
    kOtValidNight = 5,       // Prc_ValidAddWorkNight
    kOtPureWorkNights = 6,   // Prc_PureWorkNights
};

struct PeriodState {
    std::int32_t PunchTotal = 0;   // punches loaded for the period
    std::int32_t DayCount = 0;     // N
    std::vector<DayInput> Days;    // N + 2 entries, day d at Days[d - 1]
    std::uint8_t Mode = 1;         // 1 = store the days (the only mode)
    std::int32_t PeriodFirstIndex = 0;  // day-array count at the start of the period

    // Per-day arrays indexed by day number - 1.
    std::array<std::int32_t, kMaxPeriodDays + 2> DayGroups{};
    std::array<std::int32_t, kMaxPeriodDays + 2> DayRuleCodes{};
    std::array<std::int32_t, kMaxPeriodDays + 2> DailyOvertimePermit{};

    // Per-code minutes (index = code) of the current day and of the period so far.
    std::array<std::int32_t, kCodeSlots> CodeMinutes{};
    std::array<std::int32_t, kCodeSlots> CodeMinutesToDate{};

    // Leave counters.
    std::int32_t HourlyEntitledLeaveToDate = 0;
    std::int32_t DailyEntitledLeaveDays = 0;
    std::int32_t EntitledLeaveCount = 0;
    std::int32_t EntitledLeaveCountShiftStart = 0;
    std::int32_t EntitledLeaveToday = 0;
    bool ShiftStartLeave = false;

    // Day totals and overtime totals of the current day and of the period so far.
    std::array<std::int32_t, 7> DayTotals{};
    std::array<std::int32_t, 7> DayTotalsToDate{};
    std::array<std::int32_t, 7> OvertimeTotals{};
    std::array<std::int32_t, 7> OvertimeTotalsToDate{};

    TLastDayValues LastDay;

    // Daily and 24-hour mission days already used in the year (input stage),
    // increased by the engine day by day.
    std::int32_t MissionDaysUsed = 0;

    // The period lies wholly in an earlier calendar month than today.
    bool PastMonth = false;

    // Input stage values of the period (filled before the engine runs).
    TPunchBuffer Punches;                          // punches of the period +-1 day, in time order
    std::vector<TSpecialShift> SpecialShifts;      // the person's special shifts within the period
    TDefaultWindow DefaultWindow;                  // window of the days without a shift
    std::array<std::int32_t, kMaxPeriodDays + 2> FreeOvertime{};  // free overtime per day
    std::int32_t DailyOvertimePermitTotal = 0, FreeOvertimeTotal = 0;
    std::string PermitFrom, PermitTo;              // period the permit arrays were read for
    std::int32_t HourlyEntitledLeaveYear = 0;      // hourly entitled leave of earlier months of the year
    TPreviousDay PreviousDay;                      // stored values of the day before the period
    std::uint8_t Margin = 62;                      // day-window tolerance, kept from period to period
};

// ---------------------------------------------------------------------------
// Arithmetic helpers.
// ---------------------------------------------------------------------------

// Nearest integer of x, halves to the even neighbour.
std::int32_t RoundHalfEven(double x);

// The increment of a two-tier percentage on top of `value`: up to `threshold`
// at `firstPercent`, above it at `secondPercent`; rounded to the nearest
// integer, halves to the even neighbour.
std::int32_t TierPercent(std::int32_t value, std::int32_t threshold, double firstPercent,
                         double secondPercent);

// Adds (addDays, addMinutes) to a (days, minutes) balance and normalises it so
// that 0 <= minutes < dayLength for a balance >= 0, and both parts <= 0 for a
// negative one. A day length of 0 is taken as 30000.
void BalanceAdd(std::int32_t& days, std::int32_t& minutes, std::int32_t addDays,
                std::int32_t dayLength, std::int32_t addMinutes);

}  // namespace attcalc
