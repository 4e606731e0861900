// The result of one calculated day (or, in the row with day "00", of a whole
// salary month), its mapping onto the columns of the month result tables
// "p" + yyyymm, and the day array that holds the days of one calculation run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace attcalc {

// One day's results. Fields named Prc_* are stored in the column of the same
// name; the others are working values that live only in memory.
// Punch fields hold a minute of the day or kNoTime (-1000) for no punch.
struct TDayRecord {
    static constexpr std::int32_t kNoTime = -1000;

    std::string Prc_date;    // "yyyy/mm/dd", or "yyyy/mm/00" for the month total
    std::string Prc_PCode;   // personnel code

    std::int32_t Prc_FirstIn = kNoTime;
    std::int32_t Prc_FirstOut = kNoTime;
    std::int32_t Prc_SecondIn = kNoTime;
    std::int32_t Prc_SecondOut = kNoTime;
    std::int32_t Prc_ThirdIn = kNoTime;
    std::int32_t Prc_ThirdOut = kNoTime;
    std::int32_t Prc_Fourthin = kNoTime;
    std::int32_t Prc_FourthOut = kNoTime;
    std::int32_t Prc_FifthIn = kNoTime;
    std::int32_t Prc_FifthOut = kNoTime;
    std::int32_t Prc_LastIn = kNoTime;
    std::int32_t Prc_LastOut = kNoTime;
    std::int32_t Prc_LastInOut = kNoTime;

    std::int32_t Prc_NormWork = 0;
    std::int32_t Prc_NormWorkDay = 0;
    std::int32_t WorkingDays = 0;              // not stored
    std::int32_t Prc_PresenceWork = 0;
    std::int32_t Prc_PresenceWorkDay = 0;
    std::int32_t Prc_PresenceHolliday = 0;
    std::int32_t Prc_PresenceHollidays = 0;
    std::int32_t Prc_PresenceFriday = 0;
    std::int32_t Prc_PresenceFridays = 0;
    std::int32_t Prc_PresenceSpecial = 0;
    std::int32_t Prc_WorkFridays = 0;
    std::int32_t Prc_addnoworkday = 0;
    std::int32_t Prc_PureWork = 0;
    std::int32_t Prc_PureWorkKham = 0;
    std::int32_t Prc_PureDayWork = 0;
    std::int32_t Prc_PureWorkNight = 0;
    std::int32_t Prc_PureWorkNights = 0;
    std::int32_t Prc_TotalWork = 0;
    std::int32_t Prc_standardwork = 0;
    std::int32_t Prc_bimehwork = 0;
    std::int32_t Prc_ValidAddWork = 0;
    std::int32_t Prc_ValidAddWorkBefore = 0;
    std::int32_t Prc_ValidAddWorkafter = 0;
    std::int32_t Prc_ValidAddWorkbein = 0;
    std::int32_t AuthorizedOvertime = 0;       // not stored
    std::int32_t Prc_ValidAddWorkHolliday = 0;
    std::int32_t Prc_ValidAddWorkNoworkday = 0;
    std::int32_t Prc_ValidAddWorkfriday = 0;
    std::int32_t Prc_InValidAddWorkfriday = 0;
    std::int32_t Prc_ValidAddWorkHolNoFr = 0;
    std::int32_t Prc_InValidAddWorkHolNoFr = 0;
    std::int32_t Prc_keshik = 0;
    std::int32_t Prc_keshiktime = 0;
    std::int32_t Prc_HourDaySleaveNoSalary = 0;  // productivity value (script item 7130)
    std::int32_t Prc_janbaz = 0;
    std::int32_t Prc_ValidAddWorkNight = 0;
    std::int32_t Prc_ValidAddWorkFree = 0;
    std::int32_t Prc_InvalidAddWork = 0;
    std::int32_t Prc_TotalLessWork = 0;
    std::int32_t Prc_TakhirLessWork = 0;
    std::int32_t Prc_TajilLessWork = 0;
    std::int32_t Prc_validTakhir = 0;
    std::int32_t Prc_validTajil = 0;
    std::int32_t Prc_ValidLessWork = 0;
    std::int32_t AllowedBetweenAbsence = 0;    // not stored
    std::int32_t BetweenAbsence = 0;           // not stored
    std::int32_t Prc_HourAbsence = 0;
    std::int32_t Prc_DayAbsence = 0;
    std::int32_t Prc_HourDayAbsence = 0;
    std::int32_t Prc_HourAbsencePure = 0;
    std::int32_t Prc_DayAbsencePure = 0;
    std::int32_t Prc_AbsenceNaghes = 0;
    std::int32_t LateDays = 0;                 // not stored; month only
    std::int32_t LateBeyond = 0;               // not stored; month only
    std::int32_t Prc_HourleaveNoSalary = 0;
    std::int32_t Prc_DayleaveNoSalary = 0;
    std::int32_t Prc_HourDayleaveNoSalary = 0;
    std::int32_t Prc_HourSleaveNoSalary = 0;
    std::int32_t Prc_DaySleaveNoSalary = 0;
    std::int32_t Prc_HourleaveSalary = 0;
    std::int32_t Prc_DayleaveSalary = 0;
    std::int32_t Prc_HourleaveSalary23 = 0;
    std::int32_t Prc_HourleaveSalary24 = 0;
    std::int32_t Prc_HourleaveSalary25 = 0;
    std::int32_t Prc_HourleaveSalary26 = 0;
    std::int32_t Prc_HourleaveSalary27 = 0;
    std::int32_t Prc_DayleaveSalary43 = 0;
    std::int32_t Prc_DayleaveSalary44 = 0;
    std::int32_t Prc_DayleaveSalary45 = 0;
    std::int32_t Prc_DayleaveSalary46 = 0;
    std::int32_t Prc_DayleaveSalary47 = 0;
    std::int32_t Prc_HourDayleaveSalary = 0;
    std::int32_t Prc_HourEleaveSalary = 0;
    std::int32_t Prc_DayEleaveSalary = 0;
    std::int32_t Prc_HourDayEleaveSalary = 0;
    std::int32_t Prc_HourEleaveSalarysum = 0;
    std::int32_t Prc_DayEleaveSalaryPure = 0;
    std::int32_t Prc_HourSleaveSalary = 0;
    std::int32_t Prc_DaySleaveSalary = 0;
    std::int32_t Prc_HourDaySleaveSalary = 0;
    std::int32_t Prc_HourMission = 0;
    std::int32_t Prc_DayMission = 0;
    std::int32_t Prc_HourDayMission = 0;
    std::int32_t Prc_FullMission = 0;
    std::int32_t Prc_FullHourMission = 0;
    std::int32_t Prc_HourMission51 = 0;
    std::int32_t Prc_DayMission61 = 0;
    std::int32_t Prc_FullMission71 = 0;
    std::int32_t Prc_HourMission52 = 0;
    std::int32_t Prc_DayMission62 = 0;
    std::int32_t Prc_FullMission72 = 0;
    std::int32_t Prc_HourMission53 = 0;
    std::int32_t Prc_DayMission63 = 0;
    std::int32_t Prc_FullMission73 = 0;
    std::int32_t Prc_HourMission54 = 0;
    std::int32_t Prc_DayMission64 = 0;
    std::int32_t Prc_FullMission74 = 0;
    std::int32_t Prc_HourMission55 = 0;
    std::int32_t Prc_DayMission65 = 0;
    std::int32_t Prc_FullMission75 = 0;
    std::int32_t Prc_Shift1Count = 0;
    std::int32_t Prc_Shift2Count = 0;
    std::int32_t Prc_Shift3Count = 0;
    std::int32_t Prc_Shift4Count = 0;
    std::int32_t Prc_Shift5Count = 0;
    std::int32_t Prc_Shift1time = 0;
    std::int32_t Prc_Shift2time = 0;
    std::int32_t Prc_Shift3time = 0;
    std::int32_t Prc_Shift4time = 0;
    std::int32_t Prc_Shift5time = 0;
    std::int32_t Prc_Zahab = 0;
    std::int32_t Prc_Ghaza = 0;
    std::uint8_t Prc_Type = 0;      // bit 0 no scheduled work, bit 1 unofficial, bit 2 official holiday
    std::uint8_t NextDayType = 0;   // not stored; the same flags for the next day
    std::uint8_t Prc_kind = 0;      // day code
    std::uint8_t Prc_28 = 0;        // day mark carried from the day's input
    std::uint8_t Prc_station = 0;
    std::uint8_t Prc_changed = 0;   // 1 = edited by hand
    std::int32_t Prc_shiftcode = 0;
    std::int32_t RuleCode = 0;      // not stored
    std::int32_t Prc_reserve99 = 0;
    std::string Prc_addFreeRemark;  // at most 30 characters; empty on day rows
    std::array<std::int32_t, 10> Prc_scrtimes{};  // Prc_scrtimes1 ... 10 (index 0 ... 9)
    std::array<std::int32_t, 10> Prc_scrdays{};   // Prc_scrdays1 ... 10, 16-bit columns
};

// ---- Per-code fields ---------------------------------------------------------
// The field that books the minutes or days of one leave or mission code; null
// for a code without a field of its own.
std::int32_t* PaidLeaveHourField(TDayRecord& r, int code);  // hourly paid leave 23 ... 27
std::int32_t* PaidLeaveDayField(TDayRecord& r, int code);   // daily paid leave 43 ... 47
std::int32_t* HourMissionField(TDayRecord& r, int code);    // hourly missions 51 ... 55
std::int32_t* DayMissionField(TDayRecord& r, int code);     // daily missions 61 ... 65, 24-hour 71 ... 75

// ---- Column mapping -------------------------------------------------------

enum class TDayFieldType { Text, Int, Byte, SmallInt };

// One stored column of TDayRecord. Exactly one of the member pointers is set
// (or `array` with `arrayIndex` for the script columns).
struct TDayColumn {
    const char* name;                      // column name as the writers spell it
    TDayFieldType type;
    int size = 0;                          // text length for Text
    std::string TDayRecord::*text = nullptr;
    std::int32_t TDayRecord::*num = nullptr;
    std::uint8_t TDayRecord::*byte = nullptr;
    std::array<std::int32_t, 10> TDayRecord::*array = nullptr;
    int arrayIndex = 0;
};

// Every stored column of the record, in the record's order (key columns
// Prc_date and Prc_PCode first, the twenty script columns last).
const std::vector<TDayColumn>& DayColumns();
// The column of that name, letter case ignored; null when not a stored column.
const TDayColumn* FindDayColumn(std::string_view name);

// Value of a numeric column (Int, Byte, SmallInt) of a record.
std::int64_t DayColumnInt(const TDayRecord& r, const TDayColumn& c);
// Sets a numeric column; bytes keep the low 8 bits as 0 ... 255.
void SetDayColumnInt(TDayRecord& r, const TDayColumn& c, std::int64_t v);
// Text of a column as stored (numbers in decimal).
std::string DayColumnText(const TDayRecord& r, const TDayColumn& c);

// The column lists of the day write, in the order the day writer assigns
// them: the first list (overwritten unless the row is a protected month row)
// and the second list (always); the remark and the script columns follow the
// second list separately.
const std::vector<std::string>& DayFirstUpdateColumns();
const std::vector<std::string>& DaySecondUpdateColumns();

// ---- Result tables ---------------------------------------------------------

// "p" + year + month of a date "yyyy/mm/dd": p140302 for 1403/02/15.
std::string RecordTableName(std::string_view date);
// True for the month-total row's date (day part "00").
bool IsMonthRowDate(std::string_view date);

// ---- Day array -------------------------------------------------------------

constexpr int kMaxDays = 400;

// The days of one calculation run, positions 1 ... Count.
struct TDayArray {
    int Count = 0;
    std::vector<TDayRecord> Days = std::vector<TDayRecord>(kMaxDays + 1);  // [0] unused
    std::array<std::uint8_t, kMaxDays + 1> Marks{};                      // 1 = position filled
};

// Empties the array and clears its marks (start of a run).
void ClearDays(TDayArray& a);
// Appends at position Count + 1 and marks it. Throws std::runtime_error when
// the array already holds kMaxDays days.
void AppendDay(TDayArray& a, const TDayRecord& r);
int DayCount(const TDayArray& a);
// Position k = 1 ... Count; throws std::out_of_range outside.
TDayRecord& DayAt(TDayArray& a, int k);
const TDayRecord& DayAt(const TDayArray& a, int k);
bool IsMarked(const TDayArray& a, int k);

}  // namespace attcalc
