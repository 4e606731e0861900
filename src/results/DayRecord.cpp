#include "results/DayRecord.h"

#include <stdexcept>

#include "db/Database.h"

namespace attcalc {

std::int32_t* PaidLeaveHourField(TDayRecord& r, int code) {
    switch (code) {
        case 23: return &r.Prc_HourleaveSalary23;
        case 24: return &r.Prc_HourleaveSalary24;
        case 25: return &r.Prc_HourleaveSalary25;
        case 26: return &r.Prc_HourleaveSalary26;
        case 27: return &r.Prc_HourleaveSalary27;
        default: return nullptr;
    }
}

std::int32_t* PaidLeaveDayField(TDayRecord& r, int code) {
    switch (code) {
        case 43: return &r.Prc_DayleaveSalary43;
        case 44: return &r.Prc_DayleaveSalary44;
        case 45: return &r.Prc_DayleaveSalary45;
        case 46: return &r.Prc_DayleaveSalary46;
        case 47: return &r.Prc_DayleaveSalary47;
        default: return nullptr;
    }
}

std::int32_t* HourMissionField(TDayRecord& r, int code) {
    switch (code) {
        case 51: return &r.Prc_HourMission51;
        case 52: return &r.Prc_HourMission52;
        case 53: return &r.Prc_HourMission53;
        case 54: return &r.Prc_HourMission54;
        case 55: return &r.Prc_HourMission55;
        default: return nullptr;
    }
}

std::int32_t* DayMissionField(TDayRecord& r, int code) {
    switch (code) {
        case 61: return &r.Prc_DayMission61;
        case 62: return &r.Prc_DayMission62;
        case 63: return &r.Prc_DayMission63;
        case 64: return &r.Prc_DayMission64;
        case 65: return &r.Prc_DayMission65;
        case 71: return &r.Prc_FullMission71;
        case 72: return &r.Prc_FullMission72;
        case 73: return &r.Prc_FullMission73;
        case 74: return &r.Prc_FullMission74;
        case 75: return &r.Prc_FullMission75;
        default: return nullptr;
    }
}

namespace {

TDayColumn Txt(const char* name, std::string TDayRecord::*m, int size) {
    TDayColumn c{name, TDayFieldType::Text};
    c.size = size;
    c.text = m;
    return c;
}
TDayColumn Num(const char* name, std::int32_t TDayRecord::*m) {
    TDayColumn c{name, TDayFieldType::Int};
    c.num = m;
    return c;
}
TDayColumn Byt(const char* name, std::uint8_t TDayRecord::*m) {
    TDayColumn c{name, TDayFieldType::Byte};
    c.byte = m;
    return c;
}

const char* const kScrTimes[10] = {"Prc_scrtimes1", "Prc_scrtimes2", "Prc_scrtimes3", "Prc_scrtimes4",
                                   "Prc_scrtimes5", "Prc_scrtimes6", "Prc_scrtimes7", "Prc_scrtimes8",
                                   "Prc_scrtimes9", "Prc_scrtimes10"};
const char* const kScrDays[10] = {"Prc_scrdays1", "Prc_scrdays2", "Prc_scrdays3", "Prc_scrdays4",
                                  "Prc_scrdays5", "Prc_scrdays6", "Prc_scrdays7", "Prc_scrdays8",
                                  "Prc_scrdays9", "Prc_scrdays10"};

#define N(f) Num(#f, &TDayRecord::f)
#define B(f) Byt(#f, &TDayRecord::f)

std::vector<TDayColumn> BuildColumns() {
    std::vector<TDayColumn> v = {
        Txt("Prc_date", &TDayRecord::Prc_date, 10),
        Txt("Prc_PCode", &TDayRecord::Prc_PCode, 8),
        N(Prc_FirstIn), N(Prc_FirstOut), N(Prc_SecondIn), N(Prc_SecondOut), N(Prc_ThirdIn),
        N(Prc_ThirdOut), N(Prc_Fourthin), N(Prc_FourthOut), N(Prc_FifthIn), N(Prc_FifthOut),
        N(Prc_LastIn), N(Prc_LastOut), N(Prc_LastInOut),
        N(Prc_NormWork), N(Prc_NormWorkDay), N(Prc_PresenceWork), N(Prc_PresenceWorkDay),
        N(Prc_PresenceHolliday), N(Prc_PresenceHollidays), N(Prc_PresenceFriday),
        N(Prc_PresenceFridays), N(Prc_PresenceSpecial), N(Prc_WorkFridays), N(Prc_addnoworkday),
        N(Prc_PureWork), N(Prc_PureWorkKham), N(Prc_PureDayWork), N(Prc_PureWorkNight),
        N(Prc_PureWorkNights), N(Prc_TotalWork), N(Prc_standardwork), N(Prc_bimehwork),
        N(Prc_ValidAddWork), N(Prc_ValidAddWorkBefore), N(Prc_ValidAddWorkafter),
        N(Prc_ValidAddWorkbein), N(Prc_ValidAddWorkHolliday), N(Prc_ValidAddWorkNoworkday),
        N(Prc_ValidAddWorkfriday), N(Prc_InValidAddWorkfriday), N(Prc_ValidAddWorkHolNoFr),
        N(Prc_InValidAddWorkHolNoFr), N(Prc_keshik), N(Prc_keshiktime),
        N(Prc_HourDaySleaveNoSalary), N(Prc_janbaz), N(Prc_ValidAddWorkNight),
        N(Prc_ValidAddWorkFree), N(Prc_InvalidAddWork), N(Prc_TotalLessWork),
        N(Prc_TakhirLessWork), N(Prc_TajilLessWork), N(Prc_validTakhir), N(Prc_validTajil),
        N(Prc_ValidLessWork), N(Prc_HourAbsence), N(Prc_DayAbsence), N(Prc_HourDayAbsence),
        N(Prc_HourAbsencePure), N(Prc_DayAbsencePure), N(Prc_AbsenceNaghes),
        N(Prc_HourleaveNoSalary), N(Prc_DayleaveNoSalary), N(Prc_HourDayleaveNoSalary),
        N(Prc_HourSleaveNoSalary), N(Prc_DaySleaveNoSalary), N(Prc_HourleaveSalary),
        N(Prc_DayleaveSalary), N(Prc_HourleaveSalary23), N(Prc_HourleaveSalary24),
        N(Prc_HourleaveSalary25), N(Prc_HourleaveSalary26), N(Prc_HourleaveSalary27),
        N(Prc_DayleaveSalary43), N(Prc_DayleaveSalary44), N(Prc_DayleaveSalary45),
        N(Prc_DayleaveSalary46), N(Prc_DayleaveSalary47), N(Prc_HourDayleaveSalary),
        N(Prc_HourEleaveSalary), N(Prc_DayEleaveSalary), N(Prc_HourDayEleaveSalary),
        N(Prc_HourEleaveSalarysum), N(Prc_DayEleaveSalaryPure), N(Prc_HourSleaveSalary),
        N(Prc_DaySleaveSalary), N(Prc_HourDaySleaveSalary), N(Prc_HourMission), N(Prc_DayMission),
        N(Prc_HourDayMission), N(Prc_FullMission), N(Prc_FullHourMission),
        N(Prc_HourMission51), N(Prc_DayMission61), N(Prc_FullMission71),
        N(Prc_HourMission52), N(Prc_DayMission62), N(Prc_FullMission72),
        N(Prc_HourMission53), N(Prc_DayMission63), N(Prc_FullMission73),
        N(Prc_HourMission54), N(Prc_DayMission64), N(Prc_FullMission74),
        N(Prc_HourMission55), N(Prc_DayMission65), N(Prc_FullMission75),
        N(Prc_Shift1Count), N(Prc_Shift2Count), N(Prc_Shift3Count), N(Prc_Shift4Count),
        N(Prc_Shift5Count), N(Prc_Shift1time), N(Prc_Shift2time), N(Prc_Shift3time),
        N(Prc_Shift4time), N(Prc_Shift5time), N(Prc_Zahab), N(Prc_Ghaza),
        B(Prc_Type), B(Prc_kind), B(Prc_28), B(Prc_station), B(Prc_changed),
        N(Prc_shiftcode), N(Prc_reserve99),
        Txt("Prc_addFreeRemark", &TDayRecord::Prc_addFreeRemark, 30),
    };
    for (int i = 0; i < 10; ++i) {
        TDayColumn c{kScrTimes[i], TDayFieldType::Int};
        c.array = &TDayRecord::Prc_scrtimes;
        c.arrayIndex = i;
        v.push_back(c);
    }
    for (int i = 0; i < 10; ++i) {
        TDayColumn c{kScrDays[i], TDayFieldType::SmallInt};
        c.array = &TDayRecord::Prc_scrdays;
        c.arrayIndex = i;
        v.push_back(c);
    }
    return v;
}

#undef N
#undef B

}  // namespace

const std::vector<TDayColumn>& DayColumns() {
    static const std::vector<TDayColumn> columns = BuildColumns();
    return columns;
}

const TDayColumn* FindDayColumn(std::string_view name) {
    for (const TDayColumn& c : DayColumns())
        if (EqualsNoCase(c.name, name)) return &c;
    return nullptr;
}

std::int64_t DayColumnInt(const TDayRecord& r, const TDayColumn& c) {
    if (c.num) return r.*c.num;
    if (c.byte) return r.*c.byte;
    if (c.array) return (r.*c.array)[c.arrayIndex];
    throw std::logic_error(std::string("column ") + c.name + " is not numeric");
}

void SetDayColumnInt(TDayRecord& r, const TDayColumn& c, std::int64_t v) {
    if (c.num) r.*c.num = static_cast<std::int32_t>(v);
    else if (c.byte) r.*c.byte = static_cast<std::uint8_t>(v & 0xFF);
    else if (c.array) (r.*c.array)[c.arrayIndex] = static_cast<std::int32_t>(v);
    else throw std::logic_error(std::string("column ") + c.name + " is not numeric");
}

std::string DayColumnText(const TDayRecord& r, const TDayColumn& c) {
    if (c.text) return r.*c.text;
    return std::to_string(DayColumnInt(r, c));
}

const std::vector<std::string>& DayFirstUpdateColumns() {
    static const std::vector<std::string> cols = {
        "Prc_PureWork", "Prc_PureDayWork", "Prc_TotalWork", "prc_hourSleaveNosalary",
        "prc_DaySleaveNosalary", "prc_HourleaveNosalary", "prc_DayleaveNosalary",
        "prc_HourEleavesalary", "prc_DayEleavesalary", "prc_DayEleavesalaryPure", "prc_hourabsence",
        "prc_DaySleavesalary", "prc_validaddwork", "Prc_ValidAddWorkHolliday", "prc_dayabsence",
        "prc_dayabsencePure"};
    return cols;
}

const std::vector<std::string>& DaySecondUpdateColumns() {
    static const std::vector<std::string> cols = {
        "Prc_FirstIn", "Prc_FirstOut", "Prc_SecondIn", "Prc_SecondOut", "Prc_ThirdIn",
        "Prc_ThirdOut", "Prc_Fourthin", "Prc_FourthOut", "Prc_FifthIn", "Prc_FifthOut",
        "Prc_LastIn", "Prc_LastOut", "Prc_LastInOut", "Prc_NormWork", "Prc_NormWorkDay",
        "Prc_PresenceWork", "Prc_PresenceWorkDay", "Prc_PresenceHolliday", "Prc_PresenceHollidays",
        "Prc_PresenceFriday", "Prc_PresenceFridays", "Prc_PresenceSpecial", "Prc_WorkFridays",
        "Prc_addnoworkday", "Prc_PureWorkKham", "Prc_PureWorkNight", "Prc_PureWorkNights",
        "Prc_standardwork", "Prc_bimehwork", "Prc_ValidAddWorkBefore", "Prc_ValidAddWorkafter",
        "Prc_ValidAddWorkbein", "Prc_ValidAddWorkNoworkday", "Prc_ValidAddWorkfriday",
        "Prc_InValidAddWorkfriday", "Prc_ValidAddWorkHolNoFr", "Prc_InValidAddWorkHolNoFr",
        "Prc_keshik", "Prc_keshiktime", "Prc_janbaz", "Prc_reserve99", "Prc_ValidAddWorkNight",
        "Prc_ValidAddWorkFree",
        // Prc_addFreeRemark is written here, between these two groups.
        "Prc_InvalidAddWork", "Prc_TotalLessWork", "Prc_ValidLessWork", "Prc_TakhirLessWork",
        "Prc_TajilLessWork", "Prc_validTakhir", "Prc_validTajil", "Prc_HourAbsencePure",
        "Prc_AbsenceNaghes", "Prc_HourDayAbsence", "Prc_HourDayleaveNoSalary",
        "Prc_HourDaySleaveNoSalary", "Prc_HourleaveSalary", "Prc_HourleaveSalary23",
        "Prc_HourleaveSalary24", "Prc_HourleaveSalary25", "Prc_HourleaveSalary26",
        "Prc_HourleaveSalary27", "Prc_DayleaveSalary", "Prc_DayleaveSalary43",
        "Prc_DayleaveSalary44", "Prc_DayleaveSalary45", "Prc_DayleaveSalary46",
        "Prc_DayleaveSalary47", "Prc_HourDayleaveSalary", "Prc_HourEleaveSalarysum",
        "Prc_HourDayEleaveSalary", "Prc_HourSleaveSalary", "Prc_HourDaySleaveSalary",
        "Prc_HourMission", "Prc_DayMission", "Prc_HourDayMission", "Prc_FullMission",
        "Prc_FullHourMission", "Prc_HourMission51", "Prc_DayMission61", "Prc_FullMission71",
        "Prc_HourMission52", "Prc_DayMission62", "Prc_FullMission72", "Prc_HourMission53",
        "Prc_DayMission63", "Prc_FullMission73", "Prc_HourMission54", "Prc_DayMission64",
        "Prc_FullMission74", "Prc_HourMission55", "Prc_DayMission65", "Prc_FullMission75",
        "Prc_Shift1Count", "Prc_Shift2Count", "Prc_Shift3Count", "Prc_Shift4Count",
        "Prc_Shift5Count", "Prc_Shift1time", "Prc_Shift2time", "Prc_Shift3time", "Prc_Shift4time",
        "Prc_Shift5time", "Prc_Zahab", "Prc_Ghaza", "Prc_Type", "Prc_kind", "Prc_28",
        "Prc_shiftcode", "Prc_station", "Prc_changed"};
    return cols;
}

std::string RecordTableName(std::string_view date) {
    if (date.size() < 7)
        throw std::runtime_error("result table of date '" + std::string(date) + "': not a date");
    return "p" + std::string(date.substr(0, 4)) + std::string(date.substr(5, 2));
}

bool IsMonthRowDate(std::string_view date) {
    return date.size() >= 10 && date.substr(8, 2) == "00";
}

void ClearDays(TDayArray& a) {
    a.Count = 0;
    a.Marks.fill(0);
}

void AppendDay(TDayArray& a, const TDayRecord& r) {
    if (a.Count >= kMaxDays)
        throw std::runtime_error("day array full: more than " + std::to_string(kMaxDays) +
                                 " days in one run (at " + r.Prc_date + ")");
    if (a.Days.size() < kMaxDays + 1) a.Days.resize(kMaxDays + 1);
    ++a.Count;
    a.Days[a.Count] = r;
    a.Marks[a.Count] = 1;
}

int DayCount(const TDayArray& a) { return a.Count; }

TDayRecord& DayAt(TDayArray& a, int k) {
    if (k < 1 || k > a.Count)
        throw std::out_of_range("day " + std::to_string(k) + " outside the day array (1.." +
                                std::to_string(a.Count) + ")");
    return a.Days[k];
}

const TDayRecord& DayAt(const TDayArray& a, int k) {
    if (k < 1 || k > a.Count)
        throw std::out_of_range("day " + std::to_string(k) + " outside the day array (1.." +
                                std::to_string(a.Count) + ")");
    return a.Days[k];
}

bool IsMarked(const TDayArray& a, int k) {
    return k >= 1 && k <= kMaxDays && a.Marks[k] != 0;
}

}  // namespace attcalc
