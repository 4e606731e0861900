// The engine's working state: the day's timeline, the walk state, the
// measures of the segment being accounted and the values carried from one day
// of a period to the next. One TEngineState lives for one EngineRun; the day
// part is reset at the start of every day.
#pragma once

#include <cstdint>
#include <vector>

#include "inputs/DayInput.h"
#include "results/DayRecord.h"

namespace attcalc {

// Kinds of the boundary points of a day's timeline.
constexpr std::uint8_t kPointIn = 0;          // a punch in, or a synthetic in
constexpr std::uint8_t kPointOut = 1;         // a punch out, or a synthetic out
constexpr std::uint8_t kPointFirstStart = 2;  // start of the first scheduled interval
constexpr std::uint8_t kPointLaterStart = 3;  // start of a later scheduled interval
constexpr std::uint8_t kPointEnd = 4;         // end of an interval that is not the last
constexpr std::uint8_t kPointLastEnd = 5;     // end of the last scheduled interval

struct TimePoint {
    std::int32_t Time = 0;
    std::uint8_t Kind = 0;
    std::uint8_t Code = 0;
    std::uint8_t Change = 0;  // change kind of the punch, 0 for other points
};

// The day's points sorted by time; at equal times in insertion order.
// Three intervals, nine pairs and ten requests need at most 44 points; the
// list grows as needed, so nothing is ever dropped.
struct Timeline {
    std::vector<TimePoint> Points;
    int Count() const { return static_cast<int>(Points.size()); }
};

// Where the walk stands relative to the scheduled intervals.
enum TZone : std::uint8_t { kZoneInInterval = 0, kZoneInGap = 1, kZoneOutside = 2 };

// Measures of the segment being accounted.
struct TSegment {
    std::int32_t Start = 0;
    std::int32_t End = 0;
    std::int32_t Length = 0;   // End - Start, rounded with CalcRound
    std::int32_t Night = 0;    // NightMinutes(Start, End)
    std::int32_t Special = 0;  // SpecialOverlap(Start, End)
    std::int32_t Net = 0;      // MealNet(Start, End, DayClass)
};

// Day state, reset at the start of every day. AuthorizedOvertime,
// BetweenAbsence and AllowedBetweenAbsence live in the day record itself.
struct TDayWork {
    TZone Zone = kZoneOutside;
    bool Present = false;
    bool BeforeFirst = false;
    bool AfterLast = false;
    std::int32_t CurrentCode = 0;      // code in force
    std::int32_t FirstCode = 0;        // first non-zero code met on the timeline
    std::int32_t NightPresence = 0;    // night minutes of all presence segments
    std::int32_t BeforePermitted = 0;  // permit-covered before-shift overtime
    std::int32_t AfterPermitted = 0;   // permit-covered after-shift overtime
    std::int32_t OutsideUnusable = 0;  // presence on a day without schedule lost to the meal windows
    std::int32_t LunchCredit = 0;      // lunch time credited as work
    std::int32_t OvertimeWithoutPermit = 0;  // overtime allowed without permit on this day
    std::int32_t Weekday = 0;          // 0 = Saturday ... 6 = Friday
    TSegment Seg;                      // the segment being accounted
};

struct TEngineState {
    // Period values, kept from day to day within one EngineRun.
    std::int32_t CarriedCode = 0;      // day-long code carried over from the previous day
    std::int32_t StandardDeficit = 0;  // shortfall carried into the next day's Prc_standardwork

    // The day being computed.
    int DayNumber = 0;                 // 1 ... N
    DayInput* Day = nullptr;
    TDayRecord Rec;
    Timeline Line;
    TDayWork W;
};

}  // namespace attcalc
