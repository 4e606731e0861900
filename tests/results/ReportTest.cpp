#include "results/Report.h"

#include <sstream>

#include <gtest/gtest.h>

#include "results/ResultsFixture.h"
#include "results/StoreDays.h"

namespace attcalc {
namespace {

using test::ResultsDb;

TEST(ReportTexts, TimesAndDurations) {
    EXPECT_EQ(ReportTime(-1000), "");
    EXPECT_EQ(ReportTime(0), "00:00");
    EXPECT_EQ(ReportTime(485), "08:05");
    EXPECT_EQ(ReportTime(1510), "25:10");
    EXPECT_EQ(ReportDuration(0), "");
    EXPECT_EQ(ReportDuration(75), "1:15");
    EXPECT_EQ(ReportDuration(-30), "-0:30");
    EXPECT_EQ(ReportDuration(6000), "100:00");
}

TDayRecord Day(const std::string& code, const std::string& date) {
    TDayRecord r;
    r.Prc_PCode = code;
    r.Prc_date = date;
    return r;
}

// The stored month total of the report tests: the projection (7 days 240
// minutes) sits in two whole-day time columns and is no leave.
TDayRecord Total() {
    TDayRecord total = Day("700", "1403/02/00");
    total.Prc_NormWork = 2400;
    total.Prc_PresenceWork = 915;
    total.Prc_PureWork = 885;
    total.Prc_TotalWork = 900;
    total.Prc_TakhirLessWork = 15;
    total.Prc_TajilLessWork = 30;
    total.Prc_DayAbsence = 1;
    total.Prc_HourAbsence = 75;
    total.Prc_ValidAddWork = 30;
    total.Prc_DayEleaveSalary = 1;
    total.Prc_HourleaveSalary = 60;
    total.Prc_HourSleaveSalary = 30;
    total.Prc_DayMission = 1;
    total.Prc_HourMission = 90;
    total.Prc_shiftcode = 1;
    return total;
}

// A salary month from 1403/01/26 to 1403/02/25 lies in two month tables; its
// total lies in the second.
TEST(PrintReport, StoredRowsOfTheSalaryMonthInDateOrder) {
    ResultsDb t;
    t.ctx.settings.CalendarMonths = false;
    t.ctx.settings.MonthEndDay.fill(25);
    for (const char* table : {"p140301", "p140302"}) CreateTableIfMissing(t.ctx, table);

    std::vector<TDayRecord> days;
    days.push_back(Day("700", "1403/01/25"));  // previous salary month
    TDayRecord a = Day("700", "1403/01/31");
    days.push_back(a);
    TDayRecord b = Day("700", "1403/02/01");
    b.Prc_shiftcode = 1;
    b.Prc_FirstIn = 480;
    b.Prc_FirstOut = 990;
    b.Prc_NormWork = 480;
    b.Prc_PresenceWork = 510;
    b.Prc_PureWork = 480;
    b.Prc_ValidAddWork = 30;
    TDayRecord c = Day("700", "1403/02/02");
    c.Prc_shiftcode = 12;
    c.Prc_FirstIn = 495;
    c.Prc_FirstOut = 720;
    c.Prc_SecondIn = 780;
    c.Prc_SecondOut = 960;
    c.Prc_NormWork = 480;
    c.Prc_PresenceWork = 405;
    c.Prc_PureWork = 405;
    c.Prc_TakhirLessWork = 15;
    c.Prc_TajilLessWork = 30;
    c.Prc_HourAbsence = 75;
    TDayRecord d = Day("700", "1403/02/03");
    d.Prc_shiftcode = 1;
    d.Prc_NormWork = 480;
    d.Prc_DayAbsence = 1;
    TDayRecord e = Day("700", "1403/02/04");  // a daily entitled leave and an hourly mission
    e.Prc_shiftcode = 1;
    e.Prc_NormWork = 480;
    e.Prc_DayEleaveSalary = 1;
    e.Prc_HourMission = 90;
    e.Prc_kind = 41;
    TDayRecord f = Day("700", "1403/02/05");  // hourly paid and sick leave, a daily mission
    f.Prc_shiftcode = 1;
    f.Prc_NormWork = 480;
    f.Prc_HourleaveSalary = 60;
    f.Prc_HourSleaveSalary = 30;
    f.Prc_DayMission = 1;
    f.Prc_kind = 61;
    days.push_back(d);  // stored before c: the report sorts by date
    days.push_back(c);
    days.push_back(b);
    days.push_back(f);
    days.push_back(e);
    days.push_back(Day("700", "1403/02/26"));  // next salary month
    days.push_back(Day("701", "1403/02/01"));  // another person
    for (const TDayRecord& r : days) AppendDay(t.ctx.days, r);
    StoreDays(t.ctx, "700");
    StoreMonthRow(t.ctx, Total(), {7, 240, 40, 9});

    std::ostringstream out;
    PrintReport(t.ctx, "700", 1403, 2, out);
    EXPECT_EQ(out.str(),
              "Personnel code 700, salary month 1403/02 (1403/01/26 - 1403/02/25)\n"
              "Date        Day  Shift  Punches                  Required  Presence  Net work  Late  Early  Absence  "
              "Overtime  Leave  Mission  Code\n"
              "1403/01/31  Fri\n"
              "1403/02/01  Sat      1  08:00 16:30                  8:00      8:30      8:00                          "
              "  0:30\n"
              "1403/02/02  Sun     12  08:15 12:00 13:00 16:00      8:00      6:45      6:45  0:15   0:30     1:15\n"
              "1403/02/03  Mon      1                               8:00                                        1d\n"
              "1403/02/04  Tue      1                               8:00                                               "
              "          1d     1:30    41\n"
              "1403/02/05  Wed      1                               8:00                                               "
              "        1:30       1d    61\n"
              "\n"
              "Month total 1403/02/00 (whole month)\n"
              "  Required work             40:00\n"
              "  Presence                  15:15\n"
              "  Net work                  14:45\n"
              "  Gross work                15:00\n"
              "  Lateness                  0:15\n"
              "  Early leave               0:30\n"
              "  Absence                   1 day 1:15\n"
              "  Valid overtime            0:30\n"
              "  Leave                     1 day 1:30\n"
              "  Mission                   1 day 1:30\n"
              "  Remaining entitled leave  9 days 0:40\n");

    // The same rows as CSV: minutes and days as numbers, the month total last.
    std::ostringstream csv;
    PrintReport(t.ctx, "700", 1403, 2, csv, true);
    EXPECT_EQ(csv.str(),
              "date,weekday,holiday,shift,punches,required,presence,net_work,gross_work,late,early,absence_days,"
              "absence_minutes,overtime,leave_days,leave_minutes,mission_days,mission_minutes,day_code,"
              "remaining_leave_days,remaining_leave_minutes\n"
              "1403/01/31,Fri,0,0,,0,0,0,0,0,0,0,0,0,0,0,0,0,0,,\n"
              "1403/02/01,Sat,0,1,08:00 16:30,480,510,480,0,0,0,0,0,30,0,0,0,0,0,,\n"
              "1403/02/02,Sun,0,12,08:15 12:00 13:00 16:00,480,405,405,0,15,30,0,75,0,0,0,0,0,0,,\n"
              "1403/02/03,Mon,0,1,,480,0,0,0,0,0,1,0,0,0,0,0,0,0,,\n"
              "1403/02/04,Tue,0,1,,480,0,0,0,0,0,0,0,0,1,0,0,90,41,,\n"
              "1403/02/05,Wed,0,1,,480,0,0,0,0,0,0,0,0,0,90,1,0,61,,\n"
              "1403/02/00,,,1,,2400,915,885,900,15,30,1,75,30,1,90,1,90,0,9,40\n");
}

TEST(PrintReport, HolidaysAreMarked) {
    ResultsDb t;
    CreateTableIfMissing(t.ctx, "p140301");
    TDayRecord official = Day("9", "1403/01/01"), unofficial = Day("9", "1403/01/02"), plain = Day("9", "1403/01/03");
    official.Prc_Type = 4 | 1;
    unofficial.Prc_Type = 2;
    plain.Prc_Type = 1;  // no scheduled work, but no holiday
    for (const TDayRecord& r : {official, unofficial, plain}) AppendDay(t.ctx.days, r);
    StoreDays(t.ctx, "9");
    std::ostringstream out;
    PrintReport(t.ctx, "9", 1403, 1, out);
    EXPECT_NE(out.str().find("1403/01/01  Wed*\n1403/01/02  Thu*\n1403/01/03  Fri\n* holiday\n"), std::string::npos)
        << out.str();
}

TEST(PrintReport, NothingStored) {
    ResultsDb t;
    std::ostringstream out;
    PrintReport(t.ctx, "5", 1403, 7, out);
    EXPECT_EQ(out.str(), "Personnel code 5, salary month 1403/07 (1403/07/01 - 1403/07/30)\nNo stored results.\n");
    EXPECT_FALSE(t.ctx.db->TableExists("p140307"));  // the report creates nothing
}

}  // namespace
}  // namespace attcalc
