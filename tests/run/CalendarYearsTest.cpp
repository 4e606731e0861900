// The built program in the years after 1406, where the four-year leap rule and
// the real calendar part: 1407 is a common year and 1408 a leap year, so
// 1408/01/01 is a Tuesday (20 March 2029).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "db/Dialect.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

class CalendarYears : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(GetParam()); }
};

// The stored day rows (not the month total) of person 1001 in a month table.
std::vector<std::string> DayDates(RunHome& h, const std::string& table) {
    auto db = h.Db();
    Rows rows = db->Query("select Prc_date from " + db->dialect().Table(table) +
                          " where prc_pcode=" + db->dialect().Quote("1001") + " order by Prc_date");
    std::vector<std::string> dates;
    for (std::size_t i = 0; i < rows.Count(); ++i) {
        std::string d = rows.Text(i, "Prc_date");
        if (d.size() == 10 && d.compare(8, 2, "00") != 0) dates.push_back(d);
    }
    return dates;
}

// The report line of a date: its first two columns.
std::string ReportDay(const std::string& report, const std::string& date) {
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(date, 0) == 0) {
            std::istringstream f(line);
            std::string d, w;
            f >> d >> w;
            return w;
        }
    }
    return "(no line for " + date + ")";
}

}  // namespace

TEST_P(CalendarYears, ReportOfFarvardin1408NamesItsWeekdays) {
    RunHome h(GetParam(), 1408, 1);
    RunResult r = h.Run({"1001", "1408", "1"}, "1408/02/10 08:00");
    ASSERT_EQ(r.status, 0) << r.err;
    RunResult rep = h.Run({"--report", "1001", "1408", "1"}, "1408/02/10 08:00");
    ASSERT_EQ(rep.status, 0) << rep.err;
    EXPECT_EQ(ReportDay(rep.out, "1408/01/01"), "Tue*");  // Nowruz
    EXPECT_EQ(ReportDay(rep.out, "1408/01/04"), "Fri*");
    EXPECT_EQ(ReportDay(rep.out, "1408/01/05"), "Sat");
    EXPECT_EQ(ReportDay(rep.out, "1408/01/11"), "Fri*");
    EXPECT_EQ(ReportDay(rep.out, "1408/01/31"), "Thu");
    EXPECT_EQ(DayDates(h, "p140801").size(), 31u);
}

TEST_P(CalendarYears, EsfandHas29DaysIn1407And30In1408) {
    struct Case { int year; const char* table; std::size_t days; const char* last; };
    for (const Case& c : {Case{1407, "p140712", 29, "1407/12/29"}, Case{1408, "p140812", 30, "1408/12/30"}}) {
        RunHome h(GetParam(), c.year, 12);
        RunResult r = h.Run({"1001", std::to_string(c.year), "12"}, std::to_string(c.year + 1) + "/02/01 08:00");
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<std::string> dates = DayDates(h, c.table);
        EXPECT_EQ(dates.size(), c.days) << c.year;
        ASSERT_FALSE(dates.empty());
        EXPECT_EQ(dates.front(), std::to_string(c.year) + "/12/01");
        EXPECT_EQ(dates.back(), c.last);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, CalendarYears, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

// The system clock itself (no ATTCALC_NOW) set to 20 March 2029 by faketime:
// the run takes today as 1408/01/01, calculates the salary month that starts
// today and logs that date.
TEST(CalendarYearsClock, SystemClockOnNowruz1408) {
    ASSERT_EQ(std::system("command -v faketime >/dev/null 2>&1"), 0)
        << "faketime is not installed (tools/install-deps installs it)";
    RunHome h(Backend::Sqlite, 1408, 1);
    TempDir tmp;
    const std::string errPath = tmp.file("err");
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        FILE* e = std::freopen(errPath.c_str(), "w", stderr);
        (void)e;
        unsetenv("ATTCALC_NOW");
        setenv("ATTCALC_HOME", h.dir.path().string().c_str(), 1);
        setenv("TZ", "UTC", 1);
        execlp("faketime", "faketime", "2029-03-20 10:00:00", ATTCALC_BINARY, "1001", "1408", "1",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    ASSERT_TRUE(WIFEXITED(st));
    ASSERT_EQ(WEXITSTATUS(st), 0) << ReadFile(errPath);
    Rows log = h.Db()->Query("select * from qvlog");
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.Text(0, "qvl_Date"), "1408/01/01");
    EXPECT_EQ(log.Text(0, "qvl_Time"), "10:00");
    EXPECT_EQ(log.Int(0, "qvl_year"), 1408);
    EXPECT_EQ(DayDates(h, "p140801").front(), "1408/01/01");
}
