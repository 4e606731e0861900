// The report-item catalogue and the item access of the rule scripts.
#include <gtest/gtest.h>

#include <set>

#include "config/Shifts.h"
#include "run/Context.h"
#include "scripts/ReportItems.h"

using namespace attcalc;

namespace {

// Items that read (and, for targets, assign) the stored column of that name.
struct ColumnItem {
    std::int32_t code;
    const char* column;
    bool target;
};

const ColumnItem kColumnItems[] = {
    {1700, "Prc_FirstIn", false},
    {1710, "Prc_FirstOut", false},
    {1900, "Prc_LastIn", false},
    {1910, "Prc_LastOut", false},
    {2010, "Prc_NormWork", true},
    {2020, "Prc_NormWorkDay", true},
    {2030, "Prc_PresenceWork", true},
    {2040, "Prc_PresenceWorkDay", true},
    {2050, "Prc_PresenceHolliday", true},
    {2052, "Prc_PresenceHollidays", true},
    {2055, "Prc_PresenceSpecial", true},
    {2060, "Prc_Zahab", true},
    {2062, "Prc_Ghaza", true},
    {2070, "Prc_PureWork", true},
    {2072, "Prc_PureWorkKham", true},
    {2080, "Prc_PureDayWork", true},
    {2090, "Prc_TotalWork", true},
    {2100, "Prc_standardwork", true},
    {2110, "Prc_PureWorkNight", true},
    {2120, "Prc_PureWorkNights", true},
    {2132, "Prc_bimehwork", true},
    {2140, "Prc_PresenceFriday", true},
    {2142, "Prc_PresenceFridays", true},
    {2144, "Prc_WorkFridays", true},
    {2150, "Prc_Shift1Count", true},
    {2151, "Prc_Shift1time", true},
    {2160, "Prc_Shift2Count", true},
    {2161, "Prc_Shift2time", true},
    {2170, "Prc_Shift3Count", true},
    {2171, "Prc_Shift3time", true},
    {2180, "Prc_Shift4Count", true},
    {2181, "Prc_Shift4time", true},
    {2190, "Prc_Shift5Count", true},
    {2191, "Prc_Shift5time", true},
    {3010, "Prc_ValidAddWork", true},
    {3020, "Prc_InvalidAddWork", true},
    {3030, "Prc_ValidAddWorkNight", true},
    {3040, "Prc_ValidAddWorkHolliday", true},
    {3060, "Prc_ValidAddWorkFree", true},
    {3080, "Prc_addnoworkday", true},
    {3100, "Prc_ValidAddWorkBefore", true},
    {3110, "Prc_ValidAddWorkafter", true},
    {3115, "Prc_ValidAddWorkbein", true},
    {3120, "Prc_ValidAddWorkfriday", true},
    {3130, "Prc_InValidAddWorkfriday", true},
    {3140, "Prc_ValidAddWorkHolNoFr", true},
    {3150, "Prc_InValidAddWorkHolNoFr", true},
    {3160, "Prc_ValidAddWorkNoworkday", true},
    {4010, "Prc_ValidLessWork", true},
    {4040, "Prc_DayAbsence", true},
    {4050, "Prc_DayAbsencePure", true},
    {4054, "Prc_HourAbsencePure", true},
    {4060, "Prc_TakhirLessWork", true},
    {4070, "Prc_TajilLessWork", true},
    {4110, "Prc_AbsenceNaghes", true},
    {5010, "Prc_HourleaveSalary", true},
    {5020, "Prc_DayleaveSalary", true},
    {5023, "Prc_HourleaveSalary23", true},
    {5024, "Prc_HourleaveSalary24", true},
    {5025, "Prc_HourleaveSalary25", true},
    {5026, "Prc_HourleaveSalary26", true},
    {5027, "Prc_HourleaveSalary27", true},
    {5030, "Prc_HourEleaveSalary", true},
    {5040, "Prc_DayEleaveSalary", true},
    {5043, "Prc_DayleaveSalary43", true},
    {5044, "Prc_DayleaveSalary44", true},
    {5045, "Prc_DayleaveSalary45", true},
    {5046, "Prc_DayleaveSalary46", true},
    {5047, "Prc_DayleaveSalary47", true},
    {5050, "Prc_HourSleaveSalary", true},
    {5060, "Prc_DaySleaveSalary", true},
    {5070, "Prc_HourleaveNoSalary", true},
    {5080, "Prc_DayleaveNoSalary", true},
    {5090, "Prc_HourSleaveNoSalary", true},
    {5100, "Prc_DaySleaveNoSalary", true},
    {5160, "Prc_HourEleaveSalarysum", true},
    {5200, "Prc_DayEleaveSalaryPure", true},
    {6010, "Prc_HourMission", true},
    {6020, "Prc_DayMission", true},
    {6030, "Prc_FullMission", true},
    {6051, "Prc_HourMission51", true},
    {6052, "Prc_HourMission52", true},
    {6053, "Prc_HourMission53", true},
    {6054, "Prc_HourMission54", true},
    {6055, "Prc_HourMission55", true},
    {6061, "Prc_DayMission61", true},
    {6062, "Prc_DayMission62", true},
    {6063, "Prc_DayMission63", true},
    {6064, "Prc_DayMission64", true},
    {6065, "Prc_DayMission65", true},
    {6071, "Prc_FullMission71", true},
    {6072, "Prc_FullMission72", true},
    {6073, "Prc_FullMission73", true},
    {6074, "Prc_FullMission74", true},
    {6075, "Prc_FullMission75", true},
    {7052, "Prc_keshiktime", true},
    {7100, "Prc_station", false},
    {7110, "Prc_reserve99", true},
    {7130, "Prc_HourDaySleaveNoSalary", true},
    {9010, "Prc_scrtimes1", true},
    {9020, "Prc_scrtimes2", true},
    {9030, "Prc_scrtimes3", true},
    {9040, "Prc_scrtimes4", true},
    {9050, "Prc_scrtimes5", true},
    {9060, "Prc_scrtimes6", true},
    {9070, "Prc_scrtimes7", true},
    {9080, "Prc_scrtimes8", true},
    {9090, "Prc_scrtimes9", true},
    {9100, "Prc_scrtimes10", true},
    {9310, "Prc_scrdays1", true},
    {9320, "Prc_scrdays2", true},
    {9330, "Prc_scrdays3", true},
    {9340, "Prc_scrdays4", true},
    {9350, "Prc_scrdays5", true},
    {9360, "Prc_scrdays6", true},
    {9370, "Prc_scrdays7", true},
    {9380, "Prc_scrdays8", true},
    {9390, "Prc_scrdays9", true},
    {9400, "Prc_scrdays10", true},
};

}  // namespace

TEST(ReportItems, CatalogueAndIndexLists) {
    auto cat = ReportItem();
    ASSERT_EQ(cat.size(), 209u);
    std::set<std::int32_t> codes;
    for (std::size_t i = 0; i < cat.size(); ++i) {
        codes.insert(cat[i].Code);
        if (i > 0) {
            EXPECT_LT(cat[i - 1].Code, cat[i].Code) << "catalogue order";
        }
        if (cat[i].Target) {
            EXPECT_TRUE(cat[i].Source) << cat[i].Code << ": a target can also be read";
        }
        if (cat[i].Source) {
            EXPECT_STRNE(cat[i].Caption, "") << cat[i].Code;
        }
        EXPECT_GT(cat[i].Width, 0);
    }
    EXPECT_EQ(codes.size(), 209u);
    ASSERT_EQ(ScriptSourceItems().size(), 132u);
    ASSERT_EQ(ScriptTargetItems().size(), 121u);

    // Positions are 1-based, in catalogue order; a code outside a list is 0.
    EXPECT_EQ(SourceCode(1), 1700);
    EXPECT_EQ(SourcePosition(1700), 1);
    EXPECT_EQ(TargetCode(1), 2010);
    EXPECT_EQ(SourceCode(132), 9400);
    EXPECT_EQ(TargetCode(121), 9400);
    EXPECT_EQ(SourcePosition(1010), 0) << "in the catalogue, but not a source item";
    EXPECT_EQ(TargetPosition(1700), 0) << "a source that is not a target";
    EXPECT_EQ(TargetPosition(7100), 0);
    EXPECT_EQ(SourcePosition(0), 0);
    EXPECT_EQ(SourcePosition(9011), 0);
    EXPECT_EQ(SourceCode(0), 0);
    EXPECT_EQ(SourceCode(133), 0);
    EXPECT_EQ(TargetCode(-5), 0);
    for (int p = 1; p <= 132; ++p) EXPECT_EQ(SourcePosition(SourceCode(p)), p);
    for (int p = 1; p <= 121; ++p) EXPECT_EQ(TargetPosition(TargetCode(p)), p);
    EXPECT_STREQ(cat[static_cast<std::size_t>(ScriptSourceItems()[0] - 1)].Caption, "ورود اول");
}

// Every item that stands for a column reads that column, and a target item
// assigns exactly that column and nothing else.
TEST(ReportItems, ColumnItemsReadAndAssignTheirColumn) {
    TRunContext ctx;
    for (const ColumnItem& it : kColumnItems) {
        const TDayColumn* col = FindDayColumn(it.column);
        ASSERT_NE(col, nullptr) << it.column;
        TDayRecord r;
        SetDayColumnInt(r, *col, 123);
        EXPECT_EQ(GetItem(ctx, r, it.code), 123) << it.code << " reads " << it.column;

        TDayRecord before, after;
        SetItem(ctx, after, it.code, 77);
        for (const TDayColumn& c : DayColumns()) {
            if (c.type == TDayFieldType::Text) continue;
            const std::int64_t want = (it.target && &c == col) ? 77 : DayColumnInt(before, c);
            EXPECT_EQ(DayColumnInt(after, c), want) << "assigning " << it.code << ", column " << c.name;
        }
    }
    TDayRecord r;
    r.WorkingDays = 21;
    EXPECT_EQ(GetItem(ctx, r, 2025), 21);
    SetItem(ctx, r, 2025, 3);
    EXPECT_EQ(r.WorkingDays, 3);
}

TEST(ReportItems, SpecialItems) {
    TRunContext ctx;
    TDayRecord r;
    r.Prc_ValidAddWork = 300;
    r.Prc_ValidAddWorkHolliday = 120;
    r.Prc_addnoworkday = 5;
    r.Prc_HourAbsence = 40;
    r.Prc_HourDayAbsence = 480;
    r.Prc_station = 200;
    ctx.balances.EntitledLeaveBalance = {12, 95};
    ctx.balances.YearLeaveRemaining = {20, 30};
    ctx.scripts.MonthGrantNowork = 2;

    EXPECT_EQ(GetItem(ctx, r, 3050), 180) << "overtime outside holidays";
    EXPECT_EQ(GetItem(ctx, r, 3082), 2) << "the month grant's nowork";
    EXPECT_EQ(GetItem(ctx, r, 3084), 3);
    EXPECT_EQ(GetItem(ctx, r, 4020), 520) << "hourly and whole-day absence time";
    EXPECT_EQ(GetItem(ctx, r, 5130), 95);
    EXPECT_EQ(GetItem(ctx, r, 5140), 12);
    EXPECT_EQ(GetItem(ctx, r, 5180), 30);
    EXPECT_EQ(GetItem(ctx, r, 5190), 20);
    EXPECT_EQ(GetItem(ctx, r, 7100), 200);
    EXPECT_EQ(GetItem(ctx, r, 7050), 0);
    EXPECT_EQ(GetItem(ctx, r, 7090), 0);
    EXPECT_EQ(GetItem(ctx, r, 1010), 0) << "catalogue entry without a value";
    EXPECT_EQ(GetItem(ctx, r, 0), 0);
    EXPECT_EQ(GetItem(ctx, r, 12345), 0);

    // Assignments: 4020 sets the hourly absence, 3082 the grant, the rest
    // of the special items and the non-targets keep everything as it was.
    TDayRecord w = r;
    SetItem(ctx, w, 4020, 10);
    EXPECT_EQ(w.Prc_HourAbsence, 10);
    EXPECT_EQ(w.Prc_HourDayAbsence, 480);
    SetItem(ctx, w, 3082, 7);
    EXPECT_EQ(ctx.scripts.MonthGrantNowork, 7);
    EXPECT_EQ(GetItem(ctx, w, 3084), -2);
    w = r;
    for (std::int32_t code : {3050, 3084, 7050, 7090, 7100, 5130, 5140, 5180, 5190, 7072, 7074, 1700, 1010, 0, -1})
        SetItem(ctx, w, code, 999);
    for (const TDayColumn& c : DayColumns()) {
        if (c.type != TDayFieldType::Text) {
            EXPECT_EQ(DayColumnInt(w, c), DayColumnInt(r, c)) << c.name;
        }
    }
    EXPECT_EQ(ctx.balances.EntitledLeaveBalance.Minutes, 95);
    EXPECT_EQ(GetItem(ctx, w, 3050), 180);

    // A difference beyond 32 bits is held at the limit.
    r.Prc_ValidAddWork = 2147483000;
    r.Prc_ValidAddWorkHolliday = -2147483000;
    EXPECT_EQ(GetItem(ctx, r, 3050), 2147483647);
}

// Shift start and end come from the shift table by the day's shift code.
TEST(ReportItems, ShiftStartAndEnd) {
    TRunContext ctx;
    TDayRecord r;
    r.Prc_shiftcode = 0;
    EXPECT_EQ(GetItem(ctx, r, 7072), -1000) << "no shift table loaded: the code is not in it";
    EXPECT_EQ(GetItem(ctx, r, 7074), -1000);

    ctx.shifts.Entries.push_back(RestShift());
    TShift two;
    two.sh_code = 5;
    two.sh_count = 2;
    two.sh_ranges = {TShiftRange{420, 720}, TShiftRange{780, 1020}, TShiftRange{1100, 1200}};
    ctx.shifts.Entries.push_back(two);
    TShift odd = two;
    odd.sh_code = 6;
    odd.sh_count = 9;  // more ranges than a shift has: the third is the last
    ctx.shifts.Entries.push_back(odd);
    ctx.shifts.Count = 3;

    const struct {
        std::int32_t shift, start, end;
    } cases[] = {{0, 0, 0}, {5, 420, 1020}, {6, 420, 1200}, {7, -1000, -1000}};
    for (const auto& c : cases) {
        r.Prc_shiftcode = c.shift;
        EXPECT_EQ(GetItem(ctx, r, 7072), c.start) << "shift " << c.shift;
        EXPECT_EQ(GetItem(ctx, r, 7074), c.end) << "shift " << c.shift;
    }
}
