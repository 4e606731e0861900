#include "calendar/Holidays.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "run/Context.h"
#include "support/TestSupport.h"

namespace attcalc {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::uint32_t DaySet(std::initializer_list<int> days) {
    std::uint32_t s = 0;
    for (int d : days) s |= std::uint32_t{1} << d;
    return s;
}

std::set<int> DaysOf(std::uint32_t s) {
    std::set<int> r;
    for (int d = 0; d <= 31; ++d)
        if ((s >> d) & 1u) r.insert(d);
    return r;
}

// The day set of year y, month m in the bytes of a holiday file.
std::uint32_t FileRecord(const std::string& bytes, int y, int m) {
    std::size_t at = static_cast<std::size_t>((y - 1379) * 12 + (m - 1)) * 4;
    auto b = [&](std::size_t i) { return std::uint32_t{static_cast<unsigned char>(bytes.at(at + i))}; };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

// Holiday file bytes with every record empty except the given ones.
std::string FileBytes(const std::vector<std::tuple<int, int, std::uint32_t>>& records) {
    std::string bytes(1296, '\0');
    for (auto [y, m, s] : records) {
        std::size_t at = static_cast<std::size_t>((y - 1379) * 12 + (m - 1)) * 4;
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((s >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// A run context over a fresh SQLite database and an empty attcalc folder.
struct Fixture {
    TempDir dir;
    std::unique_ptr<Database> db;
    TRunContext ctx;
    explicit Fixture(std::unique_ptr<Database> d = OpenSqlite(":memory:")) : db(std::move(d)) {
        ctx.db = db.get();
        ctx.home = dir.path().string();
    }
    std::string File(const char* name) const { return dir.file(name); }
    void AddRow(int y, int m, const std::string& rasmi, const std::string& nonrasmi) {
        CreateTableIfMissing(ctx, "holiday");
        db->Insert("holiday", {{"holiday_year", DbValue::Int(y)},
                               {"holiday_Month", DbValue::Int(m)},
                               {"holiday_Rasmi", DbValue::Text(rasmi)},
                               {"holiday_NonRasmi", DbValue::Text(nonrasmi)}});
    }
    int Flags(const std::string& date, int flags = 0) {
        HolidayFlags(ctx, date, flags);
        return flags;
    }
};

std::string Marks(std::initializer_list<int> days) {
    std::string s(31, '0');
    for (int d : days) s[d - 1] = '1';
    return s;
}

// ---- weekdays ----------------------------------------------------------------

TEST(Weekdays, KnownDates) {
    EXPECT_EQ(Weekday(1393, 1, 1), 6);       // Friday
    EXPECT_EQ(Weekday(1405, 9, 20), 6);      // Friday 11 December 2026
    EXPECT_EQ(Weekday(1399, 12, 30), 0);     // Saturday 20 March 2021
    EXPECT_EQ(Weekday(1400, 1, 1), 1);       // Sunday 21 March 2021
    EXPECT_EQ(YearStartWeekday(1393), 6);
    EXPECT_EQ(WeekdayOfText("1393/01/01"), 6);
    EXPECT_EQ(WeekdayOfText("1393/1/2"), 0);
    EXPECT_EQ(WeekdayOfText("1393/01/00"), -1);  // a whole month has no weekday
    EXPECT_EQ(WeekdayOfText("1393/01/"), -1);
    EXPECT_THROW(WeekdayOfText("1393/x/01"), std::runtime_error);
    EXPECT_THROW(WeekdayOfText("13930101"), std::runtime_error);
    EXPECT_THROW(Weekday(1393, 13, 1), std::out_of_range);
}

TEST(Weekdays, ConsecutiveDaysAcrossYearEndsAndLeapYears) {
    std::string date = "1379/01/01";
    int w = WeekdayOfText(date);
    for (int i = 0; i < 27 * 366; ++i) {
        std::string next = AddDays(date, 1);
        int wn = WeekdayOfText(next);
        ASSERT_EQ(wn, (w + 1) % 7) << date << " -> " << next;
        date = next;
        w = wn;
    }
    for (int y = 1300; y <= 1500; ++y) ASSERT_EQ(YearStartWeekday(y), Weekday(y, 1, 1)) << y;
    EXPECT_EQ(YearStartWeekday(1299), Weekday(1299, 1, 1));
}

TEST(Weekdays, MonthStartWeekdays) {
    int first[12], length[12];
    MonthStartWeekdays(1393, first, length);
    const int expFirst[12] = {6, 2, 5, 1, 4, 0, 3, 5, 0, 2, 4, 6};
    const int expLength[12] = {31, 31, 31, 31, 31, 31, 30, 30, 30, 30, 30, 29};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(first[i], expFirst[i]) << "month " << i + 1;
        EXPECT_EQ(length[i], expLength[i]) << "month " << i + 1;
    }
    MonthStartWeekdays(1395, first, length);
    EXPECT_EQ(length[11], 30);
    for (int y : {1395, 1396, 1404}) {
        MonthStartWeekdays(y, first, length);
        for (int m = 1; m <= 12; ++m) {
            EXPECT_EQ(first[m - 1], Weekday(y, m, 1)) << y << "/" << m;
            EXPECT_EQ(length[m - 1], DaysInMonth(y, m)) << y << "/" << m;
        }
    }
}

// ---- Hijri approximation -----------------------------------------------------

TEST(Hijri, Examples) {
    struct Case { int y, m, d, hy, hm, hd; };
    const Case cases[] = {
        {1393, 4, 9, 1435, 9, 2},
        {1393, 1, 1, 1435, 5, 19},
        {1400, 1, 1, 1442, 8, 7},
    };
    for (const Case& c : cases) {
        THijriDate h = HijriDate(c.y, c.m, c.d);
        EXPECT_EQ(h.Year, c.hy) << c.y << "/" << c.m << "/" << c.d;
        EXPECT_EQ(h.Month, c.hm) << c.y << "/" << c.m << "/" << c.d;
        EXPECT_EQ(h.Day, c.hd) << c.y << "/" << c.m << "/" << c.d;
    }
}

TEST(Hijri, DayShiftOfTheGenerator) {
    // Away from a month's start the generator's day is the one five days on,
    // less five; near the start it is the one five days back, plus five.
    for (int j = 1; j <= 31; ++j) {
        THijriDate on = HijriDate(1393, 4, j + 5);
        THijriDate g = HijriOfDay(1393, 4, j);
        if (on.Day >= 6) {
            EXPECT_EQ(g.Month, on.Month) << j;
            EXPECT_EQ(g.Day, on.Day - 5) << j;
        } else {
            THijriDate back = HijriDate(1393, 4, j - 5);
            EXPECT_EQ(g.Month, back.Month) << j;
            EXPECT_EQ(g.Day, back.Day + 5) << j;
        }
        EXPECT_GE(g.Day, 1) << j;
        EXPECT_LE(g.Day, 30) << j;
    }
}

// ---- generated holiday files -------------------------------------------------

TEST(HolidayFiles, GeneratedFile) {
    TempDir dir;
    std::string path = dir.file("holliday.dta");
    GenerateHolidayFile(path);
    std::string bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 1296u);
    std::size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_EQ(e.path().filename(), "holliday.dta");  // no temporary file left behind
        ++entries;
    }
    EXPECT_EQ(entries, 1u);

    // Nowruz 1393: the fixed days plus the Fridays (1393/01/01 is one).
    std::set<int> far1393 = DaysOf(FileRecord(bytes, 1393, 1));
    for (int d : {1, 2, 3, 4, 12, 13, 8, 15, 22, 29}) EXPECT_TRUE(far1393.count(d)) << d;
    EXPECT_FALSE(far1393.count(0));
    EXPECT_FALSE(far1393.count(5));

    // The three built-in years are written as they stand.
    EXPECT_EQ(FileRecord(bytes, 1387, 1), DaySet({1, 2, 3, 4, 6, 9, 12, 13, 16, 23, 30}));
    EXPECT_EQ(FileRecord(bytes, 1388, 11), DaySet({2, 9, 16, 22, 23, 24, 26, 30}));
    EXPECT_EQ(FileRecord(bytes, 1389, 12), DaySet({2, 5, 6, 13, 20, 27, 29}));

    // In every generated month every Friday, and every fixed solar holiday, is set.
    const std::vector<std::pair<int, std::vector<int>>> fixed = {
        {1, {1, 2, 3, 4, 12, 13}}, {3, {14, 15}}, {7, {31}}, {8, {31}}, {9, {31}},
        {10, {31}}, {11, {22, 31}}, {12, {29, 30, 31}}};
    for (int y = 1379; y <= 1405; ++y) {
        if (y >= 1387 && y <= 1389) continue;
        for (int m = 1; m <= 12; ++m) {
            std::uint32_t s = FileRecord(bytes, y, m);
            EXPECT_EQ(s & 1u, 0u) << y << "/" << m;
            for (int d = 1; d <= DaysInMonth(y, m); ++d) {
                if (Weekday(y, m, d) == 6) {
                    EXPECT_TRUE((s >> d) & 1u) << y << "/" << m << "/" << d;
                }
            }
            EXPECT_EQ(s, GeneratedHolidayMonth(y, m));
        }
        for (const auto& [m, days] : fixed) {
            for (int d : days) EXPECT_TRUE((FileRecord(bytes, y, m) >> d) & 1u) << y << "/" << m << "/" << d;
        }
    }
}

TEST(HolidayFiles, GeneratedFileStaysByteForByte) {
    // The files that installations generated and seeded their holiday tables
    // from: any change to the calendar must leave 1379 to 1405 as they are.
    TempDir dir;
    std::string path = dir.file("holliday.dta");
    GenerateHolidayFile(path);
    std::string bytes = ReadFile(path);
    std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
    EXPECT_EQ(h, 0xeed7be61589fddd1ull);
    EXPECT_EQ(FileRecord(bytes, 1405, 12), GeneratedHolidayMonth(1405, 12));
}

TEST(HolidayFiles, GeneratedYearsAfterTheFilesHaveTheRealFridays) {
    // 1408/01/01 is a Tuesday (after the common year 1407): Ordibehesht 1408
    // begins on a Friday, and no day of the week before carries the Fridays.
    EXPECT_EQ(DaysOf(GeneratedHolidayMonth(1408, 2)), (std::set<int>{1, 5, 8, 13, 15, 22, 29}));
    int first[12], length[12];
    MonthStartWeekdays(1407, first, length);
    EXPECT_EQ(length[11], 29);
    MonthStartWeekdays(1408, first, length);
    EXPECT_EQ(first[0], 3);
    EXPECT_EQ(length[11], 30);
}

TEST(HolidayFiles, ReligiousHolidaysOfTheApproximation) {
    // 1393: Eid al-Fitr fell on 7 Mordad, Eid al-Adha on 13 Mehr, Ghadir on
    // 21 Mehr; Tasua and Ashura on 11 and 12 Aban, which the approximation
    // places one day late (1 Muharram 1436 on 4 Aban).
    std::set<int> aban = DaysOf(GeneratedHolidayMonth(1393, 8));
    EXPECT_EQ(aban, (std::set<int>{2, 9, 12, 13, 16, 23, 30, 31}));
    EXPECT_EQ(HijriOfDay(1393, 8, 4).Month, 1);
    EXPECT_EQ(HijriOfDay(1393, 8, 4).Day, 1);
    std::set<int> mordad = DaysOf(GeneratedHolidayMonth(1393, 5));
    EXPECT_TRUE(mordad.count(7));
    std::set<int> mehr = DaysOf(GeneratedHolidayMonth(1393, 7));
    EXPECT_TRUE(mehr.count(13));
    EXPECT_TRUE(mehr.count(21));

    // Every day that the generator places on a lunar holiday is set; a 29-day
    // second Hijri month gives its last day the holiday of the 30th.
    const std::vector<std::pair<int, std::vector<int>>> lunar = {
        {1, {9, 10}}, {2, {20, 28, 30}}, {3, {17}}, {6, {3}}, {7, {13, 27}},
        {8, {15}}, {9, {21}}, {10, {1, 25}}, {12, {10, 18}}};
    int shortSafar = 0;
    for (int y = 1390; y <= 1405; ++y) {
        for (int m = 1; m <= 12; ++m) {
            std::uint32_t s = GeneratedHolidayMonth(y, m);
            for (int j = 1; j <= 31; ++j) {
                THijriDate h = HijriOfDay(y, m, j);
                bool expected = false;
                for (const auto& [hm, days] : lunar)
                    for (int hd : days) expected = expected || (h.Month == hm && h.Day == hd);
                if (h.Month == 2 && h.Day == 29 && HijriOfDay(y, m, j + 1).Month == 3) {
                    expected = true;
                    ++shortSafar;
                }
                if (expected) {
                    EXPECT_TRUE((s >> j) & 1u) << y << "/" << m << "/" << j;
                }
            }
        }
    }
    EXPECT_GT(shortSafar, 0);
}

TEST(HolidayFiles, ExistingFileIsNotReplaced) {
    Fixture f;
    std::string official = FileBytes({{1393, 4, DaySet({9})}});
    std::string unofficial = FileBytes({{1393, 4, DaySet({10})}, {1405, 12, DaySet({29})}});
    WriteFile(f.File("holliday.dta"), official);
    WriteFile(f.File("nonrasmi.dta"), unofficial);

    EXPECT_TRUE(IsFileHoliday(f.ctx, 1, 1393, 4, 9));
    EXPECT_FALSE(IsFileHoliday(f.ctx, 2, 1393, 4, 9));
    EXPECT_TRUE(IsFileHoliday(f.ctx, 2, 1393, 4, 10));
    EXPECT_FALSE(IsFileHoliday(f.ctx, 1, 1393, 4, 10));
    EXPECT_FALSE(IsFileHoliday(f.ctx, 1, 1393, 1, 1));  // the files say so, whatever the generator would
    EXPECT_FALSE(IsFileHoliday(f.ctx, 1, 1393, 4, 41));
    EXPECT_FALSE(IsFileHoliday(f.ctx, 1, 1393, 13, 9));
    EXPECT_TRUE(IsFileHoliday(f.ctx, 2, 1405, 12, 29));  // the last record
    EXPECT_TRUE(IsHolidayDate(f.ctx, "1393/04/09"));
    EXPECT_TRUE(IsHolidayDate(f.ctx, "1393/04/10"));
    EXPECT_TRUE(IsHolidayDate(f.ctx, "93/4/10"));
    EXPECT_FALSE(IsHolidayDate(f.ctx, "1393/04/11"));
    EXPECT_FALSE(IsHolidayDate(f.ctx, "1394/12/30"));  // not a date
    EXPECT_FALSE(IsHolidayDate(f.ctx, ""));
    EXPECT_EQ(ReadFile(f.File("holliday.dta")), official);
    EXPECT_EQ(ReadFile(f.File("nonrasmi.dta")), unofficial);
}

TEST(HolidayFiles, MissingFilesAreGeneratedOnFirstUse) {
    Fixture f;
    EXPECT_TRUE(IsHolidayDate(f.ctx, "1393/01/01"));
    EXPECT_TRUE(IsFileHoliday(f.ctx, 2, 1393, 1, 13));  // both files carry the same calendar
    EXPECT_FALSE(IsHolidayDate(f.ctx, "1393/01/05"));
    std::string official = ReadFile(f.File("holliday.dta"));
    EXPECT_EQ(official.size(), 1296u);
    EXPECT_EQ(ReadFile(f.File("nonrasmi.dta")), official);
}

TEST(HolidayFiles, YearsBeyondTheFilesGetTheGeneratedCalendar) {
    Fixture f;
    WriteFile(f.File("holliday.dta"), FileBytes({}));
    WriteFile(f.File("nonrasmi.dta"), FileBytes({}));
    EXPECT_FALSE(IsHolidayDate(f.ctx, "1405/01/01"));
    EXPECT_TRUE(IsHolidayDate(f.ctx, "1406/01/01"));
    EXPECT_TRUE(IsFileHoliday(f.ctx, 1, 1378, 1, 2));
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(f.ctx.holidays.OfficialHolidays[m], GeneratedHolidayMonth(1378, m));
}

TEST(HolidayFiles, ShortFileFailsAndKeepsTheHeldYear) {
    Fixture f;
    WriteFile(f.File("holliday.dta"), FileBytes({{1380, 1, DaySet({7})}}));
    WriteFile(f.File("nonrasmi.dta"), FileBytes({}).substr(0, 100));
    EXPECT_TRUE(IsFileHoliday(f.ctx, 1, 1380, 1, 7));  // records 0 ... 24 are there
    EXPECT_THROW(IsFileHoliday(f.ctx, 1, 1393, 1, 1), std::runtime_error);
    EXPECT_EQ(f.ctx.holidays.HolidayYear, 1380);
    EXPECT_TRUE(IsFileHoliday(f.ctx, 1, 1380, 1, 7));
}

// ---- the holiday table -------------------------------------------------------

TEST(HolidayTable, NoTableAndNoFilesMeansNoHolidays) {
    Fixture f;
    EXPECT_EQ(f.Flags("1393/01/01", 1 | 8 | 2 | 4), 1 | 8);  // other bits untouched
    EXPECT_EQ(f.Flags("1393/01/02"), 0);
    EXPECT_TRUE(TableExists(f.ctx, "holiday"));
    EXPECT_EQ(f.db->Query("select * from holiday").Count(), 0u);
    EXPECT_FALSE(std::filesystem::exists(f.File("holliday.dta")));
    EXPECT_EQ(f.Flags(""), 0);
    int flags = 7;
    HolidayFlags(f.ctx, "", flags);
    EXPECT_EQ(flags, 7);
}

TEST(HolidayTable, RowsMarkDaysByPosition) {
    Fixture f;
    f.AddRow(1393, 4, Marks({1, 31}), Marks({}));
    f.AddRow(1393, 5, Marks({10}), Marks({10, 11}));
    f.AddRow(1393, 6, "0x1\xDB\xB1" "1", "");        // other characters mean no holiday, one place each
    f.AddRow(1394, 4, Marks({2}), Marks({2}));
    struct Case { const char* date; int bits; };
    const Case cases[] = {
        {"1393/04/01", 4}, {"1393/04/31", 4}, {"1393/04/02", 0}, {"1393/04/30", 0},
        {"1393/05/10", 6}, {"1393/05/11", 2}, {"1393/05/12", 0},
        {"1393/06/03", 4}, {"1393/06/05", 4}, {"1393/06/04", 0},
        {"1393/07/01", 0},                    // a month without a row
        {"1393/04/32", 0},                    // a day above 31 is in no set
        {"1394/04/02", 6}, {"1394/04/01", 0},
        {"1393/04/00", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(f.Flags(c.date, 1), c.bits | 1) << c.date;
}

TEST(HolidayTable, RowsWithoutARealMonthChangeNothing) {
    Fixture f;
    f.AddRow(1393, 1, Marks({5}), Marks({}));
    for (int m : {0, 13, -1, 100}) f.AddRow(1393, m, std::string(31, '1'), std::string(31, '1'));
    EXPECT_EQ(f.Flags("1393/01/05"), 4);
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(f.ctx.holidays.OfficialHolidays[m], m == 1 ? DaySet({5}) : 0u) << m;
        EXPECT_EQ(f.ctx.holidays.UnofficialHolidays[m], 0u) << m;
    }
    EXPECT_EQ(f.ctx.holidays.OfficialHolidays[0], 0u);
    EXPECT_EQ(f.Flags("1393/13/05"), 0);
}

TEST(HolidayTable, OneQueryPerYearAndSharedWithTheFileCalendar) {
    Fixture f;
    f.AddRow(1393, 1, Marks({5}), Marks({6}));
    EXPECT_EQ(f.Flags("1393/01/05"), 4);
    f.db->Execute("delete from holiday");
    EXPECT_EQ(f.Flags("1393/01/06"), 2);  // the year is held, nothing is read again
    // The file calendar answers 1393 from the table's sets, and creates no file.
    EXPECT_TRUE(IsFileHoliday(f.ctx, 1, 1393, 1, 5));
    EXPECT_FALSE(IsHolidayDate(f.ctx, "1393/01/01"));
    EXPECT_FALSE(std::filesystem::exists(f.File("holliday.dta")));
    // Another year is read afresh.
    EXPECT_EQ(f.Flags("1394/01/05"), 0);
    EXPECT_EQ(f.ctx.holidays.HolidayYear, 1394);
}

TEST(HolidayTable, StoreReplacesTheYearsRows) {
    Fixture f;
    f.AddRow(1393, 1, Marks({1}), Marks({}));
    f.AddRow(1393, 1, Marks({2}), Marks({}));
    f.AddRow(1392, 1, Marks({3}), Marks({}));
    THolidayCalendar& h = f.ctx.holidays;
    for (int m = 1; m <= 12; ++m) {
        h.OfficialHolidays[m] = DaySet({m, 31});
        h.UnofficialHolidays[m] = DaySet({1});
    }
    h.HolidayYear = 0;
    StoreHolidayYear(f.ctx, 1393);
    Rows rows = f.db->Query("select * from holiday where holiday_year=1393 order by holiday_month");
    ASSERT_EQ(rows.Count(), 12u);
    for (std::size_t r = 0; r < 12; ++r) {
        int m = static_cast<int>(r) + 1;
        EXPECT_EQ(rows.Int(r, "holiday_month"), m);
        EXPECT_EQ(rows.Text(r, "holiday_rasmi"), Marks({m, 31}));
        EXPECT_EQ(rows.Text(r, "holiday_nonrasmi"), Marks({1}));
    }
    EXPECT_EQ(f.db->Query("select * from holiday where holiday_year=1392").Count(), 1u);
    for (int m = 1; m <= 12; ++m) h.OfficialHolidays[m] = h.UnofficialHolidays[m] = 0;
    LoadHolidayYear(f.ctx, 1393);
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(h.OfficialHolidays[m], DaySet({m, 31})) << m;
}

// Seeding from the holiday files when the table is missing; the official
// file is present and the unofficial one is generated during the seeding.
void ExpectSeeding(Fixture& f) {
    std::string official = FileBytes({{1393, 4, DaySet({9})}, {1379, 1, DaySet({1})}, {1405, 12, DaySet({30})}});
    WriteFile(f.File("holliday.dta"), official);
    ASSERT_FALSE(std::filesystem::exists(f.File("nonrasmi.dta")));

    EXPECT_EQ(f.Flags("1393/04/09"), 4);
    EXPECT_EQ(f.Flags("1393/01/01"), 2);  // the generated unofficial calendar
    std::string unofficial = ReadFile(f.File("nonrasmi.dta"));
    ASSERT_EQ(unofficial.size(), 1296u);
    EXPECT_EQ(ReadFile(f.File("holliday.dta")), official);

    Rows all = f.db->Query("select holiday_year, count(*) as n from " + f.db->dialect().Table("holiday") +
                           " group by holiday_year order by holiday_year");
    ASSERT_EQ(all.Count(), 27u);
    for (std::size_t r = 0; r < all.Count(); ++r) {
        EXPECT_EQ(all.Int(r, "holiday_year"), 1379 + static_cast<int>(r));
        EXPECT_EQ(all.Int(r, "n"), 12);
    }
    Rows r1405 = f.db->Query("select * from " + f.db->dialect().Table("holiday") +
                             " where holiday_year=1405 order by holiday_month");
    ASSERT_EQ(r1405.Count(), 12u);
    EXPECT_EQ(r1405.Text(11, "holiday_rasmi"), Marks({30}));
    EXPECT_EQ(r1405.Text(0, "holiday_rasmi"), Marks({}));
    for (std::size_t r = 0; r < 12; ++r) {
        std::uint32_t gen = FileRecord(unofficial, 1405, static_cast<int>(r) + 1);
        std::string expected(31, '0');
        for (int d = 1; d <= 31; ++d)
            if ((gen >> d) & 1u) expected[d - 1] = '1';
        EXPECT_EQ(r1405.Text(r, "holiday_nonrasmi"), expected) << r + 1;
    }
    EXPECT_EQ(f.Flags("1379/01/01"), 4 | 2);
    EXPECT_EQ(f.Flags("1400/01/02"), 2);
}

TEST(HolidayTable, SeededFromTheFilesWhenMissing) {
    Fixture f;
    ExpectSeeding(f);
}

TEST(HolidayTable, SeededOnPostgres) {
    std::string cs = test::PostgresConnectionString();
    if (cs.empty()) GTEST_SKIP() << "no PostgreSQL server";
    Fixture f(OpenOdbc(cs, false));
    // Everything inside one transaction that is rolled back, so that the
    // server's own holiday table, if any, is left as it was.
    f.db->Begin();
    f.db->Execute("drop table if exists " + f.db->dialect().Table("holiday"));
    ExpectSeeding(f);
    f.db->Rollback();
}

}  // namespace
}  // namespace attcalc
