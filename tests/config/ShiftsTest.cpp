#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ConfigTestDb.h"
#include "config/Shifts.h"

namespace attcalc {
namespace {

using test::ConfigDb;

void AddShift(ConfigDb& c, int code, const std::string& name, std::vector<int> ranges, int kind = 0,
              int nesab = 0, int type = 0, std::vector<int> meals = {0, 0, 0, 0}) {
    ranges.resize(6, 0);
    c.Exec("insert into shifts (SH_Code, SH_Count, SH_Name, SH_From1, SH_To1, SH_From2, SH_To2, SH_From3, SH_To3,"
           " Sh_Kind, Sh_Nesab, Sh_Type, Sh_sobhaneh, Sh_nahar, Sh_sham, Sh_nextsobhaneh) values (" +
           std::to_string(code) + ", " + std::to_string(ranges[0] < ranges[1] ? (ranges[2] < ranges[3] ? 2 : 1) : 0) +
           ", " + c.db->dialect().Quote(name) + ", " + std::to_string(ranges[0]) + ", " + std::to_string(ranges[1]) +
           ", " + std::to_string(ranges[2]) + ", " + std::to_string(ranges[3]) + ", " + std::to_string(ranges[4]) +
           ", " + std::to_string(ranges[5]) + ", " + std::to_string(kind) + ", " + std::to_string(nesab) + ", " +
           std::to_string(type) + ", " + std::to_string(meals[0]) + ", " + std::to_string(meals[1]) + ", " +
           std::to_string(meals[2]) + ", " + std::to_string(meals[3]) + ")");
}

void ExpectRestShift(const TShift& s) {
    EXPECT_EQ(s.sh_code, 0);
    EXPECT_EQ(s.sh_count, 0);
    EXPECT_EQ(s.sh_name, "استراحت شيفت");
    for (const auto& r : s.sh_ranges) {
        EXPECT_EQ(r.From, 0);
        EXPECT_EQ(r.To, 0);
    }
    EXPECT_EQ(s.sh_kind, 0);
    EXPECT_EQ(s.sh_Nesab, 0);
    EXPECT_EQ(s.sh_type, 0);
    EXPECT_FALSE(s.sh_sobhaneh || s.sh_nahar || s.sh_sham || s.sh_nextsobhaneh);
    EXPECT_TRUE(s.Allowed);
}

TEST(Shifts, EmptyTableHoldsOnlyTheRestShift) {
    auto c = ConfigDb::Sqlite();
    c->Create("shifts");
    LoadShifts(c->ctx);
    ASSERT_EQ(c->ctx.shifts.Entries.size(), 1u);
    EXPECT_EQ(c->ctx.shifts.Count, 0);
    ExpectRestShift(c->ctx.shifts.Entries[0]);
    EXPECT_EQ(FindShift(c->ctx, 0), 0);
    EXPECT_EQ(FindShift(c->ctx, 1), -1);
}

TEST(Shifts, MissingTableEndsTheLoad) {
    auto c = ConfigDb::Sqlite();
    EXPECT_THROW(LoadShifts(c->ctx), DbError);
}

// Loads rows in code order with every column; a reload replaces the table; a code-0 row never hides the rest shift.
void LoadsEveryColumn(ConfigDb& c) {
    c.Create("shifts");
    AddShift(c, 12, "Night shift", {1200, 1439, 0, 0, 0, 0}, 3, 480, 1, {0, 0, 1, 1});
    AddShift(c, 3, "روز", {450, 720, 780, 960, 1000, 1100}, 2, 420, 2, {1, 1, 0, 0});
    AddShift(c, 0, "zero", {60, 120});
    c.Exec("insert into shifts (SH_Code) values (7)");  // every other column null

    LoadShifts(c.ctx);
    LoadShifts(c.ctx);
    const TShiftTable& t = c.ctx.shifts;
    ASSERT_EQ(t.Count, 4);
    ASSERT_EQ(t.Entries.size(), 5u);
    ExpectRestShift(t.Entries[0]);
    EXPECT_EQ(t.Entries[1].sh_code, 0);
    EXPECT_EQ(t.Entries[2].sh_code, 3);
    EXPECT_EQ(t.Entries[3].sh_code, 7);
    EXPECT_EQ(t.Entries[4].sh_code, 12);

    const TShift& day = t.Entries[2];
    EXPECT_EQ(day.sh_name, "روز");
    EXPECT_EQ(day.sh_count, 2);
    EXPECT_EQ(day.sh_ranges[0].From, 450);
    EXPECT_EQ(day.sh_ranges[0].To, 720);
    EXPECT_EQ(day.sh_ranges[1].From, 780);
    EXPECT_EQ(day.sh_ranges[1].To, 960);
    EXPECT_EQ(day.sh_ranges[2].From, 1000);
    EXPECT_EQ(day.sh_ranges[2].To, 1100);
    EXPECT_EQ(day.sh_kind, 2);
    EXPECT_EQ(day.sh_Nesab, 420);
    EXPECT_EQ(day.sh_type, 2);
    EXPECT_TRUE(day.sh_sobhaneh);
    EXPECT_TRUE(day.sh_nahar);
    EXPECT_FALSE(day.sh_sham);
    EXPECT_FALSE(day.sh_nextsobhaneh);
    EXPECT_TRUE(day.Allowed);

    const TShift& night = t.Entries[4];
    EXPECT_EQ(night.sh_name, "Night shift");
    EXPECT_EQ(night.sh_type, 1);
    EXPECT_FALSE(night.sh_sobhaneh);
    EXPECT_TRUE(night.sh_sham);
    EXPECT_TRUE(night.sh_nextsobhaneh);

    const TShift& blank = t.Entries[3];
    EXPECT_EQ(blank.sh_name, "");
    EXPECT_EQ(blank.sh_count, 0);
    EXPECT_EQ(blank.sh_ranges[2].To, 0);
    EXPECT_FALSE(blank.sh_nahar);
    EXPECT_TRUE(blank.Allowed);

    EXPECT_EQ(FindShift(c.ctx, 0), 0);
    EXPECT_EQ(FindShift(c.ctx, 3), 2);
    EXPECT_EQ(FindShift(c.ctx, 12), 4);
    EXPECT_EQ(FindShift(c.ctx, 5), -1);
    EXPECT_EQ(FindShift(c.ctx, -1), -1);
}

TEST(Shifts, LoadsEveryColumnSqlite) {
    auto c = ConfigDb::Sqlite();
    LoadsEveryColumn(*c);
}

TEST(Shifts, LoadsEveryColumnPostgres) {
    auto c = ConfigDb::Postgres("shifts");
    if (!c) GTEST_SKIP() << "no PostgreSQL server for the tests";
    LoadsEveryColumn(*c);
}

TEST(Shifts, LongNamesAreCutToTwentyCharacters) {
    auto c = ConfigDb::Sqlite();  // SQLite keeps texts longer than the column
    c->Create("shifts");
    std::string name;
    for (int i = 0; i < 25; ++i) name += "ش";
    AddShift(*c, 1, name, {480, 960});
    AddShift(*c, 2, "Night shift of the yard", {1200, 1439});
    LoadShifts(c->ctx);
    std::string expected;
    for (int i = 0; i < 20; ++i) expected += "ش";
    EXPECT_EQ(c->ctx.shifts.Entries[1].sh_name, expected);
    EXPECT_EQ(c->ctx.shifts.Entries[2].sh_name, "Night shift of the y");
}

struct SpanCase {
    TShiftRanges ranges;
    int start, end;
};

TEST(Shifts, ShiftSpanUsesTheLastFilledRange) {
    const std::vector<SpanCase> cases = {
        {{{{420, 720}, {780, 930}, {0, 0}}}, 420, 930},
        {{{{420, 720}, {0, 0}, {0, 0}}}, 420, 720},
        {{{{0, 0}, {780, 930}, {0, 0}}}, 0, 930},         // only the second: from1 is the empty range's
        {{{{300, 200}, {0, 0}, {1000, 1300}}}, 300, 1300},  // only the third
        {{{{420, 720}, {780, 930}, {1000, 1000}}}, 420, 930},  // from = to is empty
        {{{{420, 720}, {900, 800}, {1000, 1200}}}, 420, 1200},
        {{{{0, 0}, {0, 0}, {0, 0}}}, 1439, 0},
        {{{{500, 400}, {700, 700}, {900, 100}}}, 1439, 0},
        {{{{1200, 1500}, {0, 0}, {0, 0}}}, 1200, 1500},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        auto [s, e] = ShiftSpan(cases[i].ranges);
        EXPECT_EQ(s, cases[i].start) << "case " << i;
        EXPECT_EQ(e, cases[i].end) << "case " << i;
    }
    TShiftRanges r{{{1, 2}, {3, 4}, {5, 6}}};
    ClearRanges(r);
    for (const auto& x : r) EXPECT_TRUE(x.From == 0 && x.To == 0);
}

}  // namespace
}  // namespace attcalc
