// Records of the input stage: the per-day input record that the engine
// consumes, the punch buffer, the timed requests, the special shifts, the
// default day window and the values carried over from the day before a
// period.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace attcalc {

// "No time" in a punch field.
constexpr std::int32_t kNoTime = -1000;

// Limits of one day's input record.
constexpr int kMaxIntervals = 3;
constexpr int kMaxPairs = 9;
constexpr int kMaxPunchTimes = 18;   // 2 x kMaxPairs
constexpr int kMaxRequests = 10;
constexpr int kMaxPeriodDays = 400;

// One scheduled work range of a shift, minutes of day; start >= end is empty.
struct TInterval {
    std::int32_t Start = 0;
    std::int32_t End = 0;
};

// One entry/exit pair of a day. Times are minutes relative to the day's own
// midnight (below 0 for the day before, 1440 and above for the day after).
struct TPair {
    std::int32_t In = 0;
    std::int32_t Out = 0;
    std::uint8_t InCode = 0;
    std::uint8_t OutCode = 0;
    std::uint8_t InChange = 0;
    std::uint8_t OutChange = 0;
};

// A timed request (hourly leave, mission, overtime or presence permit).
struct TTimedRequest {
    std::int32_t Start = 0;
    std::int32_t End = 0;
    std::int32_t Code = 0;
};

// Everything the engine needs of one day of a salary period.
struct DayInput {
    // Schedule.
    std::int32_t ShiftCode = 0;            // 0 = no shift
    std::uint8_t IntervalCount = 0;        // sh_count, 0 without a shift
    TInterval Intervals[kMaxIntervals];    // the shift's ranges
    std::int32_t SpanStart = 0;            // first start / last end of the ranges;
    std::int32_t SpanEnd = 0;              //   (1439, 0) when all ranges are empty
    std::uint8_t ShiftNumber = 0;          // sh_kind, or low byte of Rule_cbtatil without a shift
    std::int32_t ShiftMinWork = 0;         // sh_Nesab
    std::int32_t DayOverride = 0;          // sh_type

    // Punches placed into pairs.
    std::uint8_t PunchCount = 0;           // punch times placed (0 .. 18)
    std::int32_t FirstPunch = 0;           // buffer position of the first punch considered
    std::uint8_t PairCount = 0;            // (PunchCount + 1) / 2, an open last pair included
    TPair Pairs[kMaxPairs];

    // Timed requests of the day, in the order read.
    std::int32_t RequestCount = 0;
    TTimedRequest Requests[kMaxRequests];

    std::uint8_t DayCode = 0;              // whole-day code of the day, 0 = none
    std::uint8_t DayClass = 0;             // 1 without intervals, else 0; refined by the engine
    std::string Date;                      // "yyyy/mm/dd"
    std::uint8_t ChangedFlag = 0;          // last non-zero change kind of a punch used
    std::uint8_t Mark28 = 0;               // 28/29: an open pair continues into the next day
    std::int32_t Station = 0;              // control station of the day's reader, 0 unknown
};

// One clock record of the punch buffer.
struct TPunch {
    std::string Date;          // clock_date, "yyyy/mm/dd"
    std::int32_t Time = 0;     // clock_time, minute of day
    std::uint8_t State = 0;    // low byte of clock_RecState
    std::int32_t Reader = 0;   // clock_RdrCode, 0 without a reader
    std::uint8_t Change = 0;   // low byte of clock_chg: 0 reader, 1 by hand, 2 whole day,
                               //   3 closes a pair with a code, 4 opens a pair with a code
    std::string User;          // clock_user
};

// All punches of a period widened by a day on each side, in time order. It
// grows as needed; automatic punches are inserted into it while pairing.
using TPunchBuffer = std::vector<TPunch>;

// A special shift of a single date.
struct TSpecialShift {
    std::string Date;
    std::int32_t ShiftCode = 0;
};

// The span of the period's shifts and the window used for days without one.
struct TDefaultWindow {
    std::int32_t MinSpanStart = 1439;  // smallest SpanStart over the period's days
    std::int32_t MaxSpanEnd = 0;       // largest SpanEnd
    std::int32_t Start = 0;            // the default window (c, c)
    std::int32_t End = 0;
};

// Values stored with the day before a period.
struct TPreviousDay {
    bool Found = false;                      // a stored row exists
    std::int32_t Mark = 0;                   // Prc_28
    std::int32_t LastInOut = kNoTime;        // Prc_LastInOut
    std::int32_t PrevDayAbsence = 0;         // prc_dayabsence
    std::int32_t PrevHourDayleaveSalary = 0; // Prc_HourDayleaveSalary
};

}  // namespace attcalc
