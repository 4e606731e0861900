#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"

namespace attcalc {
namespace {

TSettings MonthEnds(std::array<int32_t, 13> ends) {
    TSettings s;
    s.CalendarMonths = false;
    s.CalendarMonthsForLeave = false;
    s.MonthEndDay = ends;
    return s;
}

TSettings AllEnds(int day) {
    std::array<int32_t, 13> e{};
    e.fill(day);
    return MonthEnds(e);
}

class Today {
public:
    explicit Today(const std::string& date) { setenv("ATTCALC_NOW", (date + " 10:00").c_str(), 1); }
    ~Today() { unsetenv("ATTCALC_NOW"); }
};

struct PeriodCase {
    TSettings s;
    int year, month;
    std::string first, last;
};

TEST(SalaryPeriod, CalendarAndConfiguredMonthEnds) {
    TSettings cal;
    TSettings ends = AllEnds(28);
    TSettings mixed = AllEnds(28);
    mixed.MonthEndDay[6] = 31;
    mixed.MonthEndDay[7] = 25;
    TSettings end30 = AllEnds(28);
    end30.MonthEndDay[12] = 30;
    TSettings end25 = AllEnds(25);
    TSettings early = AllEnds(28);
    early.MonthEndDay[3] = 5;

    const std::vector<PeriodCase> cases = {
        {cal, 1393, 2, "1393/02/01", "1393/02/31"},
        {cal, 1393, 7, "1393/07/01", "1393/07/30"},
        {cal, 1393, 12, "1393/12/01", "1393/12/29"},
        {cal, 1395, 12, "1395/12/01", "1395/12/30"},
        {ends, 1393, 1, "1392/12/29", "1393/01/28"},
        {ends, 1393, 12, "1393/11/29", "1393/12/28"},
        {mixed, 1393, 7, "1393/07/01", "1393/07/25"},
        {mixed, 1393, 8, "1393/07/26", "1393/08/28"},
        {mixed, 1393, 6, "1393/05/29", "1393/06/31"},
        // An end day of 30 in month 12 is cut to 29 in a common year; the
        // following salary month then starts on the 1st.
        {end30, 1393, 12, "1393/11/29", "1393/12/29"},
        {end30, 1394, 1, "1394/01/01", "1394/01/28"},
        {end30, 1395, 12, "1395/11/29", "1395/12/30"},
        {end30, 1396, 1, "1396/01/01", "1396/01/28"},
        {end25, 1394, 1, "1393/12/26", "1394/01/25"},
        {early, 1393, 3, "1393/02/29", "1393/03/05"},
        {early, 1393, 4, "1393/03/06", "1393/04/28"},
    };
    for (const auto& c : cases) {
        TSalaryPeriod p = SalaryPeriod(c.s, c.year, c.month);
        EXPECT_EQ(p.First, c.first) << c.year << "/" << c.month;
        EXPECT_EQ(p.Last, c.last) << c.year << "/" << c.month;
    }
}

TEST(SalaryPeriod, ConsecutiveSalaryMonthsAreAdjacentAcrossYearEnds) {
    std::vector<TSettings> configs = {TSettings{}, AllEnds(28), AllEnds(31), AllEnds(30), AllEnds(1),
                                      MonthEnds({0, 31, 5, 31, 20, 31, 31, 31, 30, 15, 30, 29, 30})};
    for (std::size_t k = 0; k < configs.size(); ++k) {
        TSalaryPeriod prev = SalaryPeriod(configs[k], 1392, 12);
        for (int y = 1393; y <= 1396; ++y) {
            for (int m = 1; m <= 12; ++m) {
                TSalaryPeriod p = SalaryPeriod(configs[k], y, m);
                EXPECT_EQ(p.First, AddDays(prev.Last, 1)) << "config " << k << " " << y << "/" << m;
                EXPECT_LE(p.First, p.Last);
                EXPECT_EQ(SalaryPeriodOf(configs[k], p.First), p);
                EXPECT_EQ(SalaryPeriodOf(configs[k], p.Last), p);
                prev = p;
            }
        }
    }
}

TEST(SalaryPeriod, SalaryPeriodOfStepsToTheNeighbouringMonth) {
    TSettings ends = AllEnds(28);
    EXPECT_EQ(SalaryPeriodOf(ends, "1393/01/29"), (TSalaryPeriod{"1393/01/29", "1393/02/28"}));
    EXPECT_EQ(SalaryPeriodOf(ends, "1393/01/28"), (TSalaryPeriod{"1392/12/29", "1393/01/28"}));
    EXPECT_EQ(SalaryPeriodOf(ends, "1392/12/29"), (TSalaryPeriod{"1392/12/29", "1393/01/28"}));
    TSettings end25 = AllEnds(25);
    EXPECT_EQ(SalaryPeriodOf(end25, "1393/12/27"), (TSalaryPeriod{"1393/12/26", "1394/01/25"}));
    EXPECT_EQ(SalaryPeriodOf(TSettings{}, "1393/05/17"), (TSalaryPeriod{"1393/05/01", "1393/05/31"}));
    EXPECT_THROW(SalaryPeriodOf(ends, "13x3/01/29"), std::runtime_error);
    EXPECT_THROW(SalaryPeriodOf(ends, "1393/13/01"), std::runtime_error);
    EXPECT_THROW(SalaryPeriod(ends, 1393, 0), std::runtime_error);
}

struct CoverageCase {
    std::string from, to;
    int salary, leave;
};

TEST(SalaryPeriod, CoverageOfRanges) {
    Today today("1393/02/20");
    TSettings cal;
    const std::vector<CoverageCase> calendarCases = {
        {"1393/02/01", "1393/02/31", 3, 3},
        {"1393/02/01", "1393/02/10", 1, 1},
        {"1393/02/01", "1393/02/20", 2, 2},  // ends today
        {"1393/02/01", "1393/02/25", 2, 2},
        {"1393/02/02", "1393/02/31", 0, 0},
        {"1393/02/01", "1393/03/10", 0, 0},
        {"1393/02/10", "1393/02/01", 0, 0},  // end before start
        {"1393/01/01", "1393/03/01", 0, 0},  // 62 days apart, two months
        {"1393/12/01", "1393/12/29", 3, 3},
        {"1393/02/01", "1393/02/01", 1, 1},
    };
    for (const auto& c : calendarCases) {
        EXPECT_EQ(SalaryMonthCoverage(cal, c.from, c.to), c.salary) << c.from << " " << c.to;
        EXPECT_EQ(LeaveMonthCoverage(cal, c.from, c.to), c.leave) << c.from << " " << c.to;
    }

    TSettings ends = AllEnds(28);
    const std::vector<CoverageCase> endCases = {
        {"1393/01/29", "1393/02/28", 3, 3},
        {"1393/01/29", "1393/02/10", 1, 1},
        {"1393/01/29", "1393/02/25", 2, 2},
        {"1393/01/29", "1393/03/01", 0, 0},  // beyond the salary month
        {"1393/02/01", "1393/02/28", 0, 0},  // not its first day
        {"1393/02/01", "1393/02/31", 0, 0},
        {"1392/12/29", "1393/03/02", 0, 0},  // 63 days
    };
    for (const auto& c : endCases) {
        EXPECT_EQ(SalaryMonthCoverage(ends, c.from, c.to), c.salary) << c.from << " " << c.to;
        EXPECT_EQ(LeaveMonthCoverage(ends, c.from, c.to), c.leave) << c.from << " " << c.to;
    }
}

TEST(SalaryPeriod, LeaveCoverageUsesItsOwnFlag) {
    Today today("1393/06/01");
    // Salary months end on the 28th, leave months are calendar months.
    TSettings s = AllEnds(28);
    s.CalendarMonthsForLeave = true;
    EXPECT_EQ(SalaryMonthCoverage(s, "1393/02/01", "1393/02/31"), 0);
    EXPECT_EQ(LeaveMonthCoverage(s, "1393/02/01", "1393/02/31"), 3);
    EXPECT_EQ(SalaryMonthCoverage(s, "1393/01/29", "1393/02/28"), 3);
    EXPECT_EQ(LeaveMonthCoverage(s, "1393/01/29", "1393/02/28"), 0);

    // Leave months not calendar months while salary months are: the salary
    // month of the range's start is still the calendar month.
    TSettings t;
    t.CalendarMonthsForLeave = false;
    EXPECT_EQ(LeaveMonthCoverage(t, "1393/02/01", "1393/02/31"), 3);
    EXPECT_EQ(LeaveMonthCoverage(t, "1393/02/01", "1393/02/15"), 1);
}

TEST(SalaryPeriod, FutureDateGuard) {
    TSettings s;
    s.FutureDaysAllowed = false;
    {
        Today today("1393/02/10");
        EXPECT_TRUE(FutureDateGuard(s, "1393/02/10"));
        EXPECT_TRUE(FutureDateGuard(s, "1393/01/31"));
        EXPECT_FALSE(FutureDateGuard(s, "1393/02/11"));
        EXPECT_TRUE(FutureDateGuard(s, "1393/02/00"));
        EXPECT_FALSE(FutureDateGuard(s, "1393/03/00"));
        EXPECT_THROW(FutureDateGuard(s, "13x3/02/00"), std::runtime_error);
    }
    {
        Today today("1393/01/31");
        TSettings e = AllEnds(28);
        e.FutureDaysAllowed = false;
        EXPECT_TRUE(FutureDateGuard(e, "1393/02/00"));  // stands for 1393/01/29
        EXPECT_FALSE(FutureDateGuard(s, "1393/02/00"));  // calendar months: 1393/02/01
        EXPECT_FALSE(FutureDateGuard(e, "1393/02/01"));
    }
    {
        Today today("1393/02/10");
        TSettings allowed;
        for (const char* d : {"1393/02/11", "1394/05/05", "1394/05/00", "1400/12/29"})
            EXPECT_TRUE(FutureDateGuard(allowed, d)) << d;
    }
}

}  // namespace
}  // namespace attcalc
