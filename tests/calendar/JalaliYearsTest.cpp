// The calendar against the real Jalali years 1300 to 1500: the table
// jalali-years.tsv, kept beside the checkout in ../shared/calendar (taken from
// an independent calendar library, and not part of the program), gives for
// each year the Gregorian date of 1 Farvardin, the length of Esfand and the
// weekday of 1 Farvardin.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calendar/Holidays.h"
#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"
#include "run/Context.h"

namespace attcalc {
namespace {

struct TYearRow {
    int year = 0;
    int gy = 0, gm = 0, gd = 0;  // Nowruz
    int esfand = 0;
    std::string weekday;
};

std::vector<TYearRow> ReadYears(std::string& error) {
    // Beside the checkout; a work tree kept one folder further down finds it
    // two folders up.
    const std::filesystem::path source(ATTCALC_SOURCE_DIR);
    std::filesystem::path path = source / ".." / "shared" / "calendar" / "jalali-years.tsv";
    const std::filesystem::path further = source / ".." / ".." / "shared" / "calendar" / "jalali-years.tsv";
    if (!std::filesystem::exists(path) && std::filesystem::exists(further)) path = further;
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path.string();
        return {};
    }
    std::vector<TYearRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        TYearRow r;
        std::string greg;
        f >> r.year >> greg >> r.esfand >> r.weekday;
        if (!f || std::sscanf(greg.c_str(), "%d-%d-%d", &r.gy, &r.gm, &r.gd) != 3) {
            error = "bad line in " + path.string() + ": " + line;
            return {};
        }
        rows.push_back(r);
    }
    return rows;
}

std::string Date(int y, int m, int d) {
    char b[32];
    std::snprintf(b, sizeof b, "%04d/%02d/%02d", y, m, d);
    return b;
}

// Days from 1 January 1970 to a Gregorian date, counted independently of the
// calendar code (the C library's UTC arithmetic; midnight divides exactly).
long long GregorianDays(int y, int m, int d) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    return static_cast<long long>(timegm(&tm)) / 86400;
}

TEST(JalaliYears, EveryYearFrom1300To1500) {
    std::string error;
    const std::vector<TYearRow> years = ReadYears(error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(years.size(), 201u);
    ASSERT_EQ(years.front().year, 1300);
    ASSERT_EQ(years.back().year, 1500);

    const char* const names[7] = {"Saturday", "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};
    TSettings calendarMonths;  // salary months are calendar months by default
    for (std::size_t i = 0; i < years.size(); ++i) {
        const TYearRow& r = years[i];
        const int y = r.year;
        const std::string nowruz = Date(y, 1, 1);
        SCOPED_TRACE(nowruz);

        // The system date on Nowruz and on the day before it.
        EXPECT_EQ(JalaliDateOfGregorian(r.gy, r.gm, r.gd), nowruz);
        const long long n = GregorianDays(r.gy, r.gm, r.gd);
        std::tm before{};
        const std::time_t t = static_cast<std::time_t>(n - 1) * 86400;
        gmtime_r(&t, &before);
        EXPECT_EQ(JalaliDateOfGregorian(before.tm_year + 1900, before.tm_mon + 1, before.tm_mday),
                  Date(y - 1, 12, DaysInMonth(y - 1, 12)));

        // Esfand: its length, its last day, the dates after it.
        EXPECT_EQ(DaysInMonth(y, 12), r.esfand);
        EXPECT_EQ(IsJalaliLeapYear(y), r.esfand == 30);
        EXPECT_EQ(IsValidJalaliDate(Date(y, 12, 30)), r.esfand == 30);
        EXPECT_TRUE(IsValidJalaliDate(Date(y, 12, 29)));
        EXPECT_EQ(SalaryPeriod(calendarMonths, y, 12).Last, Date(y, 12, r.esfand));
        EXPECT_EQ(AddDays(Date(y, 12, 29), 1), r.esfand == 30 ? Date(y, 12, 30) : Date(y + 1, 1, 1));

        // The weekday of Nowruz, by number and from the text.
        ASSERT_EQ(r.weekday, names[Weekday(y, 1, 1)]);
        EXPECT_EQ(WeekdayOfText(nowruz), Weekday(y, 1, 1));
        EXPECT_EQ(YearStartWeekday(y), Weekday(y, 1, 1));

        // The length of the year, both ways.
        if (i + 1 < years.size()) {
            const TYearRow& next = years[i + 1];
            const int length = static_cast<int>(GregorianDays(next.gy, next.gm, next.gd) - n);
            EXPECT_EQ(length, 365 + (r.esfand == 30 ? 1 : 0));
            EXPECT_EQ(DayDiff(nowruz, Date(y + 1, 1, 1)), length);
            EXPECT_EQ(AddDays(nowruz, length), Date(y + 1, 1, 1));
            EXPECT_EQ(AddDays(Date(y + 1, 1, 1), -1), Date(y, 12, r.esfand));
        }
    }
    // Across the whole range at once.
    EXPECT_EQ(DayDiff("1300/01/01", "1500/01/01"),
              GregorianDays(years.back().gy, years.back().gm, years.back().gd) -
                  GregorianDays(years.front().gy, years.front().gm, years.front().gd));
}

TEST(JalaliYears, TodayAroundTheYearEndsAfter1406) {
    struct Case { int y, m, d; const char* today; };
    const Case cases[] = {
        {2028, 3, 19, "1406/12/29"}, {2028, 3, 20, "1407/01/01"},  // the four-year rule still holds
        {2029, 3, 19, "1407/12/29"}, {2029, 3, 20, "1408/01/01"},  // 1407 is a common year
        {2029, 6, 1, "1408/03/12"},
        {2030, 3, 20, "1408/12/30"}, {2030, 3, 21, "1409/01/01"},  // 1408 is a leap year
        {2033, 3, 20, "1412/01/01"},
        {2100, 2, 28, "1478/12/10"}, {2100, 3, 1, "1478/12/11"},   // 2100 has no 29 February
        {2024, 2, 29, "1402/12/10"}, {2025, 3, 20, "1403/12/30"}, {2025, 3, 21, "1404/01/01"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JalaliDateOfGregorian(c.y, c.m, c.d), c.today) << c.y << "-" << c.m << "-" << c.d;
    }
    EXPECT_EQ(Weekday(1408, 1, 1), 3);  // Tuesday
    EXPECT_EQ(WeekdayOfText("1407/12/29"), 2);
    EXPECT_EQ(DayDiff("1407/12/29", "1408/01/01"), 1);
    EXPECT_EQ(DayDiff("1408/12/29", "1409/01/01"), 2);
}

}  // namespace
}  // namespace attcalc
