#include "results/DayRecord.h"

#include <map>
#include <set>
#include <stdexcept>

#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/Database.h"

namespace attcalc {
namespace {

TEST(RecordTableName, UsesTheYearAndMonthOfTheDate) {
    EXPECT_EQ(RecordTableName("1403/02/15"), "p140302");
    EXPECT_EQ(RecordTableName("1403/01/31"), "p140301");
    EXPECT_EQ(RecordTableName("1403/02/00"), "p140302");
    EXPECT_THROW(RecordTableName("1403"), std::runtime_error);
}

TEST(IsMonthRowDate, OnlyDayPartZeroZero) {
    EXPECT_TRUE(IsMonthRowDate("1403/02/00"));
    EXPECT_FALSE(IsMonthRowDate("1403/02/01"));
    EXPECT_FALSE(IsMonthRowDate("1403/00/10"));
    EXPECT_FALSE(IsMonthRowDate(""));
}

TEST(DayRecord, EmptyPunchSlotsHoldNoTime) {
    TDayRecord r;
    for (const char* n : {"Prc_FirstIn", "Prc_FirstOut", "Prc_SecondIn", "Prc_SecondOut", "Prc_ThirdIn",
                          "Prc_ThirdOut", "Prc_Fourthin", "Prc_FourthOut", "Prc_FifthIn", "Prc_FifthOut",
                          "Prc_LastIn", "Prc_LastOut", "Prc_LastInOut"})
        EXPECT_EQ(DayColumnInt(r, *FindDayColumn(n)), -1000) << n;
    EXPECT_EQ(r.Prc_NormWork, 0);
}

// Every column the writers name must be a column of the result-table layout,
// and every stored field must be written by exactly one of the lists.
TEST(DayColumns, MatchTheResultTableLayoutAndTheWriteLists) {
    const TTableLayout* layout = FindLayout("p1");
    ASSERT_NE(layout, nullptr);
    std::set<std::string> tableCols;
    for (const TNewField& f : layout->Fields) tableCols.insert(ToLower(f.Name));

    std::map<std::string, int> written;
    for (const auto* list : {&DayFirstUpdateColumns(), &DaySecondUpdateColumns()})
        for (const std::string& n : *list) {
            ASSERT_NE(FindDayColumn(n), nullptr) << n;
            ++written[ToLower(n)];
        }
    for (const TDayColumn& c : DayColumns()) {
        const std::string n = ToLower(c.name);
        EXPECT_TRUE(tableCols.count(n)) << c.name << " is not a column of the result table";
        const bool separate = n == "prc_date" || n == "prc_pcode" || n == "prc_addfreeremark" ||
                              n.rfind("prc_scr", 0) == 0;
        EXPECT_EQ(written[n], separate ? 0 : 1) << c.name;
    }
    EXPECT_EQ(FindDayColumn("PRC_PUREWORK"), FindDayColumn("prc_purework"));
    EXPECT_EQ(FindDayColumn("WorkingDays"), nullptr);  // a working value, not stored
    EXPECT_EQ(FindDayColumn("Prc_scrdays10")->type, TDayFieldType::SmallInt);
}

TEST(DayColumns, AccessEveryKindOfField) {
    TDayRecord r;
    SetDayColumnInt(r, *FindDayColumn("Prc_Type"), 260);  // a byte keeps 0 ... 255
    EXPECT_EQ(r.Prc_Type, 4);
    SetDayColumnInt(r, *FindDayColumn("prc_scrtimes3"), -45);
    EXPECT_EQ(r.Prc_scrtimes[2], -45);
    SetDayColumnInt(r, *FindDayColumn("Prc_HourMission53"), 77);
    EXPECT_EQ(r.Prc_HourMission53, 77);
    r.Prc_addFreeRemark = "x";
    EXPECT_EQ(DayColumnText(r, *FindDayColumn("Prc_addFreeRemark")), "x");
    EXPECT_EQ(DayColumnText(r, *FindDayColumn("Prc_scrtimes3")), "-45");
    EXPECT_THROW(SetDayColumnInt(r, *FindDayColumn("Prc_date"), 1), std::logic_error);
}

TEST(DayArray, AppendsFromPositionOneAndMarks) {
    TDayArray a;
    TDayRecord r;
    r.Prc_date = "1403/02/01";
    AppendDay(a, r);
    r.Prc_date = "1403/02/02";
    AppendDay(a, r);
    EXPECT_EQ(DayCount(a), 2);
    EXPECT_EQ(DayAt(a, 1).Prc_date, "1403/02/01");
    EXPECT_EQ(DayAt(a, 2).Prc_date, "1403/02/02");
    EXPECT_TRUE(IsMarked(a, 2));
    EXPECT_FALSE(IsMarked(a, 3));
    EXPECT_THROW(DayAt(a, 0), std::out_of_range);
    EXPECT_THROW(DayAt(a, 3), std::out_of_range);

    ClearDays(a);
    EXPECT_EQ(DayCount(a), 0);
    EXPECT_FALSE(IsMarked(a, 1));
    EXPECT_THROW(DayAt(a, 1), std::out_of_range);
}

TEST(DayArray, HoldsFourHundredDaysAndRefusesMore) {
    TDayArray a;
    TDayRecord r;
    for (int i = 0; i < kMaxDays; ++i) AppendDay(a, r);
    EXPECT_EQ(DayCount(a), 400);
    EXPECT_TRUE(IsMarked(a, 400));
    EXPECT_THROW(AppendDay(a, r), std::runtime_error);
    EXPECT_EQ(DayCount(a), 400);
}

}  // namespace
}  // namespace attcalc
