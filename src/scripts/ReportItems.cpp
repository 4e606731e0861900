// The report-item catalogue and the access of rule scripts to the values of
// a result record.
#include "scripts/ReportItems.h"

#include <algorithm>
#include <limits>

#include "config/Shifts.h"
#include "run/Context.h"

namespace attcalc {

namespace {

// Code, source, target, caption, width. Widths are those of a report column:
// 5 for times and durations ("hh:mm"), 3 for days and counts. The entries
// scripts cannot use carry no caption here unless it names a punch.
const TReportItem kCatalogue[kReportItems] = {
    {1010, false, false, "", 5},
    {1020, false, false, "", 5},
    {1030, false, false, "", 5},
    {1040, false, false, "", 5},
    {1050, false, false, "", 5},
    {1060, false, false, "", 5},
    {1070, false, false, "", 5},
    {1080, false, false, "", 5},
    {1090, false, false, "", 5},
    {1100, false, false, "", 5},
    {1110, false, false, "", 5},
    {1120, false, false, "", 5},
    {1130, false, false, "", 5},
    {1140, false, false, "", 5},
    {1150, false, false, "", 5},
    {1160, false, false, "", 5},
    {1170, false, false, "", 5},
    {1180, false, false, "", 5},
    {1190, false, false, "", 5},
    {1200, false, false, "", 5},
    {1202, false, false, "", 5},
    {1210, false, false, "", 5},
    {1220, false, false, "", 5},
    {1230, false, false, "", 5},
    {1240, false, false, "", 5},
    {1700, true, false, "ورود اول", 5},
    {1710, true, false, "خروج اول", 5},
    {1720, false, false, "ورود دوم", 5},
    {1730, false, false, "خروج دوم", 5},
    {1740, false, false, "ورود سوم", 5},
    {1750, false, false, "خروج سوم", 5},
    {1760, false, false, "ورود چهارم", 5},
    {1770, false, false, "خروج چهارم", 5},
    {1780, false, false, "ورود پنجم", 5},
    {1790, false, false, "خروج پنجم", 5},
    {1900, true, false, "ورود آخر", 5},
    {1910, true, false, "خروج آخر", 5},
    {1920, false, false, "آخرين تردد", 5},
    {2010, true, true, "كاركرد لازم", 5},
    {2020, true, true, "كاركرد لازم روزانه", 3},
    {2025, true, true, "تعداد روز کاري", 3},
    {2030, true, true, "مدت حضور", 5},
    {2040, true, true, "حضور روزانه", 3},
    {2050, true, true, "حضور تعطيل روزانه", 3},
    {2052, true, true, "حضور تعطيل ساعتي", 5},
    {2055, true, true, "حضور ويژه", 5},
    {2060, true, true, "اياب و ذهاب", 5},
    {2062, true, true, "حق غذا", 5},
    {2070, true, true, "كاركرد خالص ساعتي", 5},
    {2072, true, true, "كاركرد خالص ساعتي خام", 5},
    {2080, true, true, "كاركرد خالص روزانه", 3},
    {2090, true, true, "كاركرد ناخالص", 5},
    {2100, true, true, "مدت كار رسمي", 5},
    {2110, true, true, "مدت كار شب", 5},
    {2120, true, true, "تعداد شب كاري", 3},
    {2130, false, false, "", 5},
    {2132, true, true, "كاركرد بيمه", 3},
    {2140, true, true, "تعداد جمعه", 3},
    {2142, true, true, "حضور جمعه", 5},
    {2144, true, true, "جمعه کاري", 3},
    {2150, true, true, "نوبت كاري 10 درصد", 3},
    {2151, true, true, "نوبت كاري 10 درصد ساعتي", 5},
    {2160, true, true, "نوبت كاري 15 درصد", 3},
    {2161, true, true, "نوبت كاري 15 درصد ساعتي", 5},
    {2170, true, true, "نوبت كاري 20 درصد", 3},
    {2171, true, true, "نوبت كاري 20 درصد ساعتي", 5},
    {2180, true, true, "نوبت كاري 25 درصد", 3},
    {2181, true, true, "نوبت كاري 25 درصد ساعتي", 5},
    {2190, true, true, "نوبت كاري 35 درصد", 3},
    {2191, true, true, "نوبت كاري 35 درصد ساعتي", 5},
    {3010, true, true, "اضافه كار مجاز", 5},
    {3020, true, true, "اضافه كار غيرمجاز", 5},
    {3030, true, true, "اضافه كار شب", 5},
    {3040, true, true, "اضافه كار تعطيل", 5},
    {3050, true, true, "اضافه كار غير تعطيل", 5},
    {3060, true, true, "اضافه كار دستوري", 5},
    {3070, false, false, "", 5},
    {3080, true, true, "تعداد اضافه کار غيرکاري روزانه", 3},
    {3082, true, true, "تعداد اضافه کار روزانه دستوري", 3},
    {3084, true, true, "تعداد اضافه کار روزانه غيردستوري", 3},
    {3090, false, false, "", 5},
    {3100, true, true, "اضافه كار قبل وقت", 5},
    {3110, true, true, "اضافه كار بعد وقت", 5},
    {3115, true, true, "اضافه كار بين وقت", 5},
    {3120, true, true, "اضافه كار جمعه", 5},
    {3130, true, true, "اضافه كار غيرمجاز جمعه", 5},
    {3140, true, true, "اضافه كار تعطيل غيرجمعه", 5},
    {3150, true, true, "اضافه كار غيرمجاز تعطيل غيرجمعه", 5},
    {3160, true, true, "اضافه كار روز غير کاري", 5},
    {3170, false, false, "", 5},
    {3510, false, false, "", 5},
    {3520, false, false, "", 5},
    {3530, false, false, "", 5},
    {3540, false, false, "", 5},
    {3550, false, false, "", 5},
    {3560, false, false, "", 5},
    {3570, false, false, "", 5},
    {3580, false, false, "", 5},
    {3590, false, false, "", 5},
    {3600, false, false, "", 5},
    {4010, true, true, "غيبت مجاز", 5},
    {4020, true, true, "غيبت غير مجاز", 5},
    {4030, false, false, "", 5},
    {4040, true, true, "غيبت به روز", 3},
    {4050, true, true, "غيبت خالص روزانه", 3},
    {4054, true, true, "غيبت خالص ساعتي", 5},
    {4060, true, true, "تاخير", 5},
    {4070, true, true, "تعجيل", 5},
    {4080, false, false, "", 5},
    {4090, false, false, "", 5},
    {4100, false, false, "", 5},
    {4110, true, true, "تردد ناقص", 3},
    {5010, true, true, "مرخصي باحقوق ساعتي", 5},
    {5020, true, true, "مرخصي باحقوق روزانه", 3},
    {5023, true, true, "مرخصي باحقوق ساعتي 23", 5},
    {5024, true, true, "مرخصي باحقوق ساعتي 24", 5},
    {5025, true, true, "مرخصي باحقوق ساعتي 25", 5},
    {5026, true, true, "مرخصي باحقوق ساعتي 26", 5},
    {5027, true, true, "مرخصي باحقوق ساعتي 27", 5},
    {5030, true, true, "مرخصي استحقاقي ساعتي", 5},
    {5040, true, true, "مرخصي استحقاقي روزانه", 3},
    {5043, true, true, "مرخصي باحقوق روزانه 43", 3},
    {5044, true, true, "مرخصي باحقوق روزانه 44", 3},
    {5045, true, true, "مرخصي باحقوق روزانه 45", 3},
    {5046, true, true, "مرخصي باحقوق روزانه 46", 3},
    {5047, true, true, "مرخصي باحقوق روزانه 47", 3},
    {5050, true, true, "مرخصي استعلاجي ساعتي", 5},
    {5060, true, true, "مرخصي استعلاجي روزانه", 3},
    {5070, true, true, "مرخصي بي حقوق ساعتي", 5},
    {5080, true, true, "مرخصي بي حقوق روزانه", 3},
    {5090, true, true, "مرخصي بي حقوق استعلاجي ساعتي", 5},
    {5100, true, true, "مرخصي بي حقوق استعلاجي روزانه", 3},
    {5110, false, false, "", 5},
    {5120, false, false, "", 5},
    {5130, true, false, "مانده مرخصي ساعتي", 5},
    {5140, true, false, "مانده مرخصي روزانه", 3},
    {5150, false, false, "", 5},
    {5160, true, true, "مرخصي استحقاقي ساعتي خالص", 5},
    {5170, false, false, "", 5},
    {5180, true, false, "مانده مرخصي ساعتي سال جاري", 5},
    {5190, true, false, "مانده مرخصي روزانه سال جاري", 3},
    {5200, true, true, "مرخصي استحقاقي روزانه خالص", 3},
    {5310, false, false, "", 5},
    {5320, false, false, "", 5},
    {6010, true, true, "ماموريت ساعتي", 5},
    {6020, true, true, "ماموريت روزانه", 3},
    {6030, true, true, "ماموريت شبانه روزي", 3},
    {6051, true, true, "ماموريت ساعتي 51", 5},
    {6052, true, true, "ماموريت ساعتي 52", 5},
    {6053, true, true, "ماموريت ساعتي 53", 5},
    {6054, true, true, "ماموريت ساعتي 54", 5},
    {6055, true, true, "ماموريت ساعتي 55", 5},
    {6061, true, true, "ماموريت روزانه 61", 3},
    {6062, true, true, "ماموريت روزانه 62", 3},
    {6063, true, true, "ماموريت روزانه 63", 3},
    {6064, true, true, "ماموريت روزانه 64", 3},
    {6065, true, true, "ماموريت روزانه 65", 3},
    {6071, true, true, "ماموريت شبانه روزي 71", 3},
    {6072, true, true, "ماموريت شبانه روزي 72", 3},
    {6073, true, true, "ماموريت شبانه روزي 73", 3},
    {6074, true, true, "ماموريت شبانه روزي 74", 3},
    {6075, true, true, "ماموريت شبانه روزي 75", 3},
    {7010, false, false, "", 5},
    {7020, false, false, "", 5},
    {7021, false, false, "", 5},
    {7030, false, false, "", 5},
    {7031, false, false, "", 5},
    {7032, false, false, "", 5},
    {7033, false, false, "", 5},
    {7034, false, false, "", 5},
    {7035, false, false, "", 5},
    {7036, false, false, "", 5},
    {7037, false, false, "", 5},
    {7038, false, false, "", 5},
    {7039, false, false, "", 5},
    {7040, false, false, "", 5},
    {7050, true, true, "كشيك", 3},
    {7052, true, true, "مدت كشيك", 5},
    {7060, false, false, "", 5},
    {7062, false, false, "", 5},
    {7070, false, false, "", 5},
    {7072, true, false, "آغاز شيفت", 5},
    {7074, true, false, "پايان شيفت", 5},
    {7080, false, false, "", 5},
    {7090, true, true, "جانباز", 3},
    {7100, true, false, "ايستگاه کنترل", 3},
    {7110, true, true, "رزرو روزانه", 5},
    {7120, false, false, "", 5},
    {7130, true, true, "بهره وري", 5},
    {9010, true, true, "مدت 1", 5},
    {9020, true, true, "مدت 2", 5},
    {9030, true, true, "مدت 3", 5},
    {9040, true, true, "مدت 4", 5},
    {9050, true, true, "مدت 5", 5},
    {9060, true, true, "مدت 6", 5},
    {9070, true, true, "مدت 7", 5},
    {9080, true, true, "مدت 8", 5},
    {9090, true, true, "مدت 9", 5},
    {9100, true, true, "مدت 10", 5},
    {9310, true, true, "روزانه 1", 3},
    {9320, true, true, "روزانه 2", 3},
    {9330, true, true, "روزانه 3", 3},
    {9340, true, true, "روزانه 4", 3},
    {9350, true, true, "روزانه 5", 3},
    {9360, true, true, "روزانه 6", 3},
    {9370, true, true, "روزانه 7", 3},
    {9380, true, true, "روزانه 8", 3},
    {9390, true, true, "روزانه 9", 3},
    {9400, true, true, "روزانه 10", 3},
};

// Items that read and assign the record field of the same name.
struct TFieldItem {
    std::int32_t Code;
    std::int32_t TDayRecord::*Field;
};

const TFieldItem kFieldItems[] = {
    {1700, &TDayRecord::Prc_FirstIn},
    {1710, &TDayRecord::Prc_FirstOut},
    {1900, &TDayRecord::Prc_LastIn},
    {1910, &TDayRecord::Prc_LastOut},
    {2010, &TDayRecord::Prc_NormWork},
    {2020, &TDayRecord::Prc_NormWorkDay},
    {2025, &TDayRecord::WorkingDays},
    {2030, &TDayRecord::Prc_PresenceWork},
    {2040, &TDayRecord::Prc_PresenceWorkDay},
    {2050, &TDayRecord::Prc_PresenceHolliday},
    {2052, &TDayRecord::Prc_PresenceHollidays},
    {2055, &TDayRecord::Prc_PresenceSpecial},
    {2060, &TDayRecord::Prc_Zahab},
    {2062, &TDayRecord::Prc_Ghaza},
    {2070, &TDayRecord::Prc_PureWork},
    {2072, &TDayRecord::Prc_PureWorkKham},
    {2080, &TDayRecord::Prc_PureDayWork},
    {2090, &TDayRecord::Prc_TotalWork},
    {2100, &TDayRecord::Prc_standardwork},
    {2110, &TDayRecord::Prc_PureWorkNight},
    {2120, &TDayRecord::Prc_PureWorkNights},
    {2132, &TDayRecord::Prc_bimehwork},
    {2140, &TDayRecord::Prc_PresenceFriday},
    {2142, &TDayRecord::Prc_PresenceFridays},
    {2144, &TDayRecord::Prc_WorkFridays},
    {2150, &TDayRecord::Prc_Shift1Count},
    {2151, &TDayRecord::Prc_Shift1time},
    {2160, &TDayRecord::Prc_Shift2Count},
    {2161, &TDayRecord::Prc_Shift2time},
    {2170, &TDayRecord::Prc_Shift3Count},
    {2171, &TDayRecord::Prc_Shift3time},
    {2180, &TDayRecord::Prc_Shift4Count},
    {2181, &TDayRecord::Prc_Shift4time},
    {2190, &TDayRecord::Prc_Shift5Count},
    {2191, &TDayRecord::Prc_Shift5time},
    {3010, &TDayRecord::Prc_ValidAddWork},
    {3020, &TDayRecord::Prc_InvalidAddWork},
    {3030, &TDayRecord::Prc_ValidAddWorkNight},
    {3040, &TDayRecord::Prc_ValidAddWorkHolliday},
    {3060, &TDayRecord::Prc_ValidAddWorkFree},
    {3080, &TDayRecord::Prc_addnoworkday},
    {3100, &TDayRecord::Prc_ValidAddWorkBefore},
    {3110, &TDayRecord::Prc_ValidAddWorkafter},
    {3115, &TDayRecord::Prc_ValidAddWorkbein},
    {3120, &TDayRecord::Prc_ValidAddWorkfriday},
    {3130, &TDayRecord::Prc_InValidAddWorkfriday},
    {3140, &TDayRecord::Prc_ValidAddWorkHolNoFr},
    {3150, &TDayRecord::Prc_InValidAddWorkHolNoFr},
    {3160, &TDayRecord::Prc_ValidAddWorkNoworkday},
    {4010, &TDayRecord::Prc_ValidLessWork},
    {4040, &TDayRecord::Prc_DayAbsence},
    {4050, &TDayRecord::Prc_DayAbsencePure},
    {4054, &TDayRecord::Prc_HourAbsencePure},
    {4060, &TDayRecord::Prc_TakhirLessWork},
    {4070, &TDayRecord::Prc_TajilLessWork},
    {4110, &TDayRecord::Prc_AbsenceNaghes},
    {5010, &TDayRecord::Prc_HourleaveSalary},
    {5020, &TDayRecord::Prc_DayleaveSalary},
    {5023, &TDayRecord::Prc_HourleaveSalary23},
    {5024, &TDayRecord::Prc_HourleaveSalary24},
    {5025, &TDayRecord::Prc_HourleaveSalary25},
    {5026, &TDayRecord::Prc_HourleaveSalary26},
    {5027, &TDayRecord::Prc_HourleaveSalary27},
    {5030, &TDayRecord::Prc_HourEleaveSalary},
    {5040, &TDayRecord::Prc_DayEleaveSalary},
    {5043, &TDayRecord::Prc_DayleaveSalary43},
    {5044, &TDayRecord::Prc_DayleaveSalary44},
    {5045, &TDayRecord::Prc_DayleaveSalary45},
    {5046, &TDayRecord::Prc_DayleaveSalary46},
    {5047, &TDayRecord::Prc_DayleaveSalary47},
    {5050, &TDayRecord::Prc_HourSleaveSalary},
    {5060, &TDayRecord::Prc_DaySleaveSalary},
    {5070, &TDayRecord::Prc_HourleaveNoSalary},
    {5080, &TDayRecord::Prc_DayleaveNoSalary},
    {5090, &TDayRecord::Prc_HourSleaveNoSalary},
    {5100, &TDayRecord::Prc_DaySleaveNoSalary},
    {5160, &TDayRecord::Prc_HourEleaveSalarysum},
    {5200, &TDayRecord::Prc_DayEleaveSalaryPure},
    {6010, &TDayRecord::Prc_HourMission},
    {6020, &TDayRecord::Prc_DayMission},
    {6030, &TDayRecord::Prc_FullMission},
    {6051, &TDayRecord::Prc_HourMission51},
    {6052, &TDayRecord::Prc_HourMission52},
    {6053, &TDayRecord::Prc_HourMission53},
    {6054, &TDayRecord::Prc_HourMission54},
    {6055, &TDayRecord::Prc_HourMission55},
    {6061, &TDayRecord::Prc_DayMission61},
    {6062, &TDayRecord::Prc_DayMission62},
    {6063, &TDayRecord::Prc_DayMission63},
    {6064, &TDayRecord::Prc_DayMission64},
    {6065, &TDayRecord::Prc_DayMission65},
    {6071, &TDayRecord::Prc_FullMission71},
    {6072, &TDayRecord::Prc_FullMission72},
    {6073, &TDayRecord::Prc_FullMission73},
    {6074, &TDayRecord::Prc_FullMission74},
    {6075, &TDayRecord::Prc_FullMission75},
    {7052, &TDayRecord::Prc_keshiktime},
    {7110, &TDayRecord::Prc_reserve99},
    {7130, &TDayRecord::Prc_HourDaySleaveNoSalary},
};

struct TItemLists {
    std::vector<int> Source, Target;
    TItemLists() {
        for (int p = 1; p <= kReportItems; ++p) {
            if (kCatalogue[p - 1].Source) Source.push_back(p);
            if (kCatalogue[p - 1].Target) Target.push_back(p);
        }
    }
};

const TItemLists& Lists() {
    static const TItemLists lists;
    return lists;
}

const TReportItem* FindItem(std::int32_t code) {
    auto it = std::lower_bound(std::begin(kCatalogue), std::end(kCatalogue), code,
                               [](const TReportItem& e, std::int32_t c) { return e.Code < c; });
    return it != std::end(kCatalogue) && it->Code == code ? &*it : nullptr;
}

std::int32_t TDayRecord::*FieldOf(std::int32_t code) {
    for (const TFieldItem& f : kFieldItems)
        if (f.Code == code) return f.Field;
    return nullptr;
}

int PositionIn(const std::vector<int>& list, std::int32_t code) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (kCatalogue[list[i] - 1].Code == code) return static_cast<int>(i) + 1;
    return 0;
}

std::int32_t CodeAt(const std::vector<int>& list, int position) {
    if (position < 1 || position > static_cast<int>(list.size())) return 0;
    return kCatalogue[list[static_cast<std::size_t>(position) - 1] - 1].Code;
}

// A difference of two 32-bit values, held at the 32-bit limits.
std::int32_t Difference(std::int64_t a, std::int64_t b) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(a - b, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// The start (7072) or the end (7074) of the day's shift: the first range's
// start, or the end of the last range in use (range number sh_count; a count
// above 3 means the third). -1000 when the shift is not in the shift table.
std::int32_t ShiftTime(const TRunContext& ctx, std::int32_t shiftCode, bool end) {
    const int i = FindShift(ctx.shifts, shiftCode);
    if (i < 0) return TDayRecord::kNoTime;
    const TShift& s = ctx.shifts.Entries[static_cast<std::size_t>(i)];
    if (!end) return s.sh_ranges[0].From;
    if (s.sh_count == 0) return 0;
    return s.sh_ranges[std::min<std::size_t>(s.sh_count, s.sh_ranges.size()) - 1].To;
}

}  // namespace

std::span<const TReportItem> ReportItem() { return kCatalogue; }
const std::vector<int>& ScriptSourceItems() { return Lists().Source; }
const std::vector<int>& ScriptTargetItems() { return Lists().Target; }
int SourcePosition(std::int32_t code) { return PositionIn(Lists().Source, code); }
int TargetPosition(std::int32_t code) { return PositionIn(Lists().Target, code); }
std::int32_t SourceCode(int position) { return CodeAt(Lists().Source, position); }
std::int32_t TargetCode(int position) { return CodeAt(Lists().Target, position); }

std::int32_t GetItem(const TRunContext& ctx, const TDayRecord& R, std::int32_t code, std::int32_t grantNowork) {
    const TReportItem* item = FindItem(code);
    if (!item || !item->Source) return 0;
    if (std::int32_t TDayRecord::*f = FieldOf(code)) return R.*f;
    if (code >= 9010 && code <= 9100 && code % 10 == 0) return R.Prc_scrtimes[static_cast<std::size_t>(code / 10 - 901)];
    if (code >= 9310 && code <= 9400 && code % 10 == 0) return R.Prc_scrdays[static_cast<std::size_t>(code / 10 - 931)];
    switch (code) {
        case 3050: return Difference(R.Prc_ValidAddWork, R.Prc_ValidAddWorkHolliday);
        case 3082: return grantNowork;
        case 3084: return Difference(R.Prc_addnoworkday, grantNowork);
        case 4020: return Difference(R.Prc_HourAbsence, -static_cast<std::int64_t>(R.Prc_HourDayAbsence));
        case 5130: return ctx.balances.EntitledLeaveBalance.Minutes;
        case 5140: return ctx.balances.EntitledLeaveBalance.Days;
        case 5180: return ctx.balances.YearLeaveRemaining.Minutes;
        case 5190: return ctx.balances.YearLeaveRemaining.Days;
        case 7072: return ShiftTime(ctx, R.Prc_shiftcode, false);
        case 7074: return ShiftTime(ctx, R.Prc_shiftcode, true);
        case 7100: return R.Prc_station;
        default: return 0;  // 7050, 7090
    }
}

void SetItem(TDayRecord& R, std::int32_t code, std::int32_t value, std::int32_t& grantNowork) {
    const TReportItem* item = FindItem(code);
    if (!item || !item->Target) return;
    if (std::int32_t TDayRecord::*f = FieldOf(code)) {
        R.*f = value;
        return;
    }
    if (code >= 9010 && code <= 9100 && code % 10 == 0) {
        R.Prc_scrtimes[static_cast<std::size_t>(code / 10 - 901)] = value;
        return;
    }
    if (code >= 9310 && code <= 9400 && code % 10 == 0) {
        R.Prc_scrdays[static_cast<std::size_t>(code / 10 - 931)] = value;
        return;
    }
    switch (code) {
        case 3082: grantNowork = value; break;
        case 4020: R.Prc_HourAbsence = value; break;
        default: break;  // 3050, 3084, 7050, 7090 ignore the value
    }
}

std::int32_t GetItem(const TRunContext& ctx, const TDayRecord& R, std::int32_t code) {
    return GetItem(ctx, R, code, ctx.scripts.MonthGrantNowork);
}

void SetItem(TRunContext& ctx, TDayRecord& R, std::int32_t code, std::int32_t value) {
    SetItem(R, code, value, ctx.scripts.MonthGrantNowork);
}

}  // namespace attcalc
