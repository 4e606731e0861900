#include "calendar/Jalali.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace attcalc {
namespace {

TEST(Jalali, GregorianConversion) {
    struct Case { int y, m, d; const char* jalali; };
    const Case cases[] = {
        {2014, 3, 21, "1393/1/1"},
        {2016, 3, 20, "1395/1/1"},
        {2014, 1, 1, "1392/10/11"},
        {2017, 2, 19, "1395/12/1"},
        {2014, 3, 20, "1392/12/29"},   // last day of a common year
        {2017, 3, 20, "1395/12/30"},   // last day of a leap year
        {2014, 12, 31, "1393/10/10"},
        {2020, 2, 29, "1398/12/10"},   // leap day of the Gregorian year
        {2014, 6, 21, "1393/3/31"},
        {2014, 6, 22, "1393/4/1"},
        {1999, 3, 21, "1378/1/1"},
        {99, 3, 21, "78/1/1"},         // two-digit years stay two-digit
        {14, 3, 21, "93/1/1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JalaliDateText(c.y, c.m, c.d), c.jalali) << c.y << "-" << c.m << "-" << c.d;
    }
    int y = 2014, m = 3, d = 21;
    GregorianToJalali(y, m, d);
    EXPECT_EQ(y, 1393);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(d, 1);
}

TEST(Jalali, IsDigits) {
    EXPECT_TRUE(IsDigits("0123456789"));
    EXPECT_FALSE(IsDigits(""));
    EXPECT_FALSE(IsDigits("12a"));
    EXPECT_FALSE(IsDigits(" 1"));
    EXPECT_FALSE(IsDigits("-1"));
}

TEST(Jalali, DaysInMonthUsesCalendarLeapRule) {
    struct Case { int y, m, days; };
    const Case cases[] = {
        {1393, 1, 31}, {1393, 6, 31}, {1393, 7, 30}, {1393, 11, 30},
        {1395, 12, 30}, {1396, 12, 29}, {1407, 12, 29}, {1408, 12, 30},  // five years from 1403 to 1408
        {1391, 12, 30}, {1399, 12, 30}, {1403, 12, 30},
        {1404, 12, 29}, {1392, 12, 29},
    };
    for (const Case& c : cases) EXPECT_EQ(DaysInMonth(c.y, c.m), c.days) << c.y << "/" << c.m;
}

TEST(Jalali, DayDiff) {
    struct Case { const char* from; const char* to; int days; };
    const Case cases[] = {
        {"1393/01/01", "1393/01/01", 0},
        {"1392/12/29", "1393/01/01", 1},
        {"1395/12/29", "1396/01/01", 2},
        {"1393/01/31", "1393/01/01", -30},
        {"1393/06/31", "1393/07/01", 1},
        {"1393/01/01", "1394/01/01", 365},
        {"1395/01/01", "1396/01/01", 366},
        {"1390/01/01", "1400/01/01", 3653},  // leap years 1391, 1395, 1399
        {"1400/01/01", "1390/01/01", -3653},
        {"1393/04/00", "1393/04/15", 15},    // a whole-month text reads its day as 0
        {"", "1393/01/01", 0},
        {"1393/01/01", "", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(DayDiff(c.from, c.to), c.days) << c.from << " -> " << c.to;
}

TEST(Jalali, DayDiffOfMalformedPartThrows) {
    EXPECT_THROW(DayDiff("1393/01/", "1393/01/05"), std::runtime_error);
    EXPECT_THROW(DayDiff("1393/1/5", "1393/01/05"), std::runtime_error);
    EXPECT_THROW(DayDiff("abcd/01/01", "1393/01/05"), std::runtime_error);
}

TEST(Jalali, AddDays) {
    struct Case { const char* date; int n; const char* result; };
    const Case cases[] = {
        {"1393/01/01", 0, "1393/01/01"},
        {"1393/01/01", -1, "1392/12/29"},
        {"1395/12/30", 1, "1396/01/01"},
        {"1395/12/29", 1, "1395/12/30"},
        {"1396/12/29", 1, "1397/01/01"},
        {"1396/01/01", -1, "1395/12/30"},
        {"1393/06/31", 1, "1393/07/01"},
        {"1393/07/01", -1, "1393/06/31"},
        {"1393/01/01", 365, "1394/01/01"},
        {"1395/01/01", 366, "1396/01/01"},
        {"1393/01/01", -365, "1392/01/01"},
        {"1390/01/01", 3653, "1400/01/01"},
        {"1390/01/01", 3652, "1399/12/30"},
        {"1393/07/31", 0, "1393/08/01"},    // overlong day carried forward
        {"1393/07/31", -1, "1393/07/30"},
        {"1393/12/30", 0, "1394/01/01"},    // 1393 is a common year
        {"0999/01/05", -10, "0998/12/24"},  // year written in four places
    };
    for (const Case& c : cases) EXPECT_EQ(AddDays(c.date, c.n), c.result) << c.date << " + " << c.n;
}

TEST(Jalali, AddDaysAndDayDiffAgree) {
    const char* starts[] = {"1390/11/20", "1395/12/15", "1399/06/31"};
    for (const char* s : starts) {
        for (int n : {-800, -366, -1, 0, 1, 30, 365, 366, 1000}) {
            EXPECT_EQ(DayDiff(s, AddDays(s, n)), n) << s << " + " << n;
        }
    }
}

TEST(Jalali, NormalizeDate) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"1393/4/5", "1393/04/05"},
        {"93/4/5", "1393/04/05"},
        {"930405", "1393/04/05"},
        {"13930405", "1393/04/05"},
        {"1393/04/05", "1393/04/05"},
        {"1393/00/5", "1393/0/5"},
        {"1393/04/00", "1393/4/0"},
        {"12345", ""},
        {"", ""},
        {"/93/1/1", "/93/1/1"},
        {"1393-01-01", "//"},
        {"1393/0101", "//"},
        {"1234567", "//"},  // digits but neither 6 nor 8 of them
    };
    for (const Case& c : cases) EXPECT_EQ(NormalizeDate(c.in), c.out) << c.in;
}

TEST(Jalali, NormalizeDateOfNonNumberThrows) {
    for (const char* bad : {"1393/ab/01", "1393/01/", "1393/01/01/02", "x393/01/01"}) {
        EXPECT_THROW(NormalizeDate(bad), std::runtime_error) << bad;
    }
}

TEST(Jalali, NormalizeTime) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"7:5", "07:05"},     {"0830", "08:30"},    {"+8:30", "+08:30"},
        {"830", ""},          {"123:4", "123:04"},  {"-0:7", "-00:07"},
        {"08:30", "08:30"},   {":5", "00:05"},      {"7:", "07:00"},
        {"7:567", "07:56"},   {"", ""},             {"-", ""},
        {"-830", ""},         {"ab12", ""},         {"1234:5", "1234:05"},
    };
    for (const Case& c : cases) EXPECT_EQ(NormalizeTime(c.in), c.out) << c.in;
}

TEST(Jalali, IsValidJalaliDate) {
    struct Case { const char* text; bool valid; };
    const Case cases[] = {
        {"1395/12/30", true},  {"1394/12/30", false}, {"1399/12/30", true},
        {"70/12/30", true},    {"71/12/30", false},   {"75/12/30", true},
        {"74/12/30", false},   {"72/12/30", false},   // 1374 was a common year
        {"0075/12/30", true},  {"1370/12/30", true},  {"1371/12/30", false},
        {"1407/12/30", false}, {"1408/12/30", true},  {"1300/12/30", true},   {"1393/07/31", false}, {"1393/13/01", false},
        {"1393/06/31", true},  {"1393/07/30", true},  {"1393/1/1", true},
        {"93/01/01", true},    {"1393/00/01", false}, {"1393/01/00", false},
        {"0000/01/01", false}, {"1393/01/32", false}, {"12345", false},
        {"1393-01-01", false}, {"1393/0101", false},  {"139/01/01", false},
        {"1393/001/01", false}, {"1393/01/01 ", false}, {"1393/01/1a", false},
        {"1393/01/00000000000000000001", true},  // the day's digits are not limited in number
        {"1393/01/99999999999999999999", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidJalaliDate(c.text), c.valid) << c.text;
}

TEST(Jalali, DateInRangeAndParts) {
    EXPECT_TRUE(DateInRange("1393/01/01", "1393/01/01", "1393/01/31"));
    EXPECT_TRUE(DateInRange("1393/01/31", "1393/01/01", "1393/01/31"));
    EXPECT_FALSE(DateInRange("1393/02/01", "1393/01/01", "1393/01/31"));
    EXPECT_FALSE(DateInRange("1392/12/29", "1393/01/01", "1393/01/31"));
    EXPECT_EQ(DateYear("1393/04/15"), 1393);
    EXPECT_EQ(DateMonth("1393/04/15"), 4);
    EXPECT_EQ(DateDay("1393/04/15"), 15);
    EXPECT_EQ(DateDay("1393/04/00"), 0);
    EXPECT_THROW(DateDay("1393/04"), std::runtime_error);
}

// Sets ATTCALC_NOW for one test and restores the previous value.
class ClockOverride {
public:
    explicit ClockOverride(const char* value) {
        const char* old = std::getenv("ATTCALC_NOW");
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value) setenv("ATTCALC_NOW", value, 1); else unsetenv("ATTCALC_NOW");
    }
    ~ClockOverride() {
        if (had_) setenv("ATTCALC_NOW", old_.c_str(), 1); else unsetenv("ATTCALC_NOW");
    }
private:
    bool had_ = false;
    std::string old_;
};

TEST(Jalali, ClockOverrideIsReadAtEachCall) {
    {
        ClockOverride o("1393/04/15 08:07");
        EXPECT_EQ(TodayJalali(), "1393/04/15");
        EXPECT_EQ(NowTime(), "08:07");
        setenv("ATTCALC_NOW", "1395/12/30 23:59", 1);
        EXPECT_EQ(TodayJalali(), "1395/12/30");
        EXPECT_EQ(NowTime(), "23:59");
        setenv("ATTCALC_NOW", "1393/4/5 7:5", 1);
        EXPECT_EQ(TodayJalali(), "1393/04/05");
        EXPECT_EQ(NowTime(), "07:05");
    }
    {
        ClockOverride o(nullptr);  // the local clock
        std::string today = TodayJalali();
        EXPECT_TRUE(IsValidJalaliDate(today)) << today;
        EXPECT_EQ(today.size(), 10u);
        std::string now = NowTime();
        ASSERT_EQ(now.size(), 5u) << now;
        EXPECT_EQ(now[2], ':');
    }
}

TEST(Jalali, MalformedClockOverrideThrows) {
    for (const char* bad : {"1394/12/30 08:00", "yesterday", "1393/04/15 25:00", "1393/04/15 8"}) {
        ClockOverride o(bad);
        EXPECT_ANY_THROW({
            TodayJalali();
            NowTime();
        }) << bad;
    }
}

}  // namespace
}  // namespace attcalc
