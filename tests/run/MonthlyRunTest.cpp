// The monthly calculation end to end: the built program calculates a salary
// month and the stored month-total row (day "00") and the yearly leave tables
// are checked against the stored day rows and against balances worked out by
// hand.
//
// The month is 1393/02 (31 days, the 1st is a Monday, Fridays are the 5th,
// 12th, 19th and 26th). The rule's month limits are set out of reach, so that
// the month total of the fields checked here is the sum of its days; the
// entitlement is 30 days a year at 480 minutes a day (2 days 240 minutes a
// month), limited to the months so far.
#include <gtest/gtest.h>

#include <map>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

constexpr int H(int h, int m) { return h * 60 + m; }

// Fields of the month total that the month rules of this rule leave as the
// sums of the days.
const char* kSummedColumns[] = {"Prc_NormWork",     "Prc_NormWorkDay",    "Prc_PresenceWork",  "Prc_PureWorkKham",
                                "Prc_PureWork",     "Prc_TotalWork",      "Prc_TotalLessWork", "Prc_TakhirLessWork",
                                "Prc_TajilLessWork", "Prc_validTakhir",   "Prc_PresenceWorkDay", "Prc_standardwork"};

struct LeaveMonthDb {
    RunHome h;
    std::unique_ptr<Database> db;
    TRunContext ctx;

    explicit LeaveMonthDb(Backend b, bool failingLog = false) : h(b, 1393, 2, /*seed=*/false), db(h.Db()) {
        ctx.db = db.get();
        ctx.home = h.dir.path().string();
        db->Begin();
        if (failingLog)  // every insert into the calculation log fails: the run's last step
            db->Execute("create table qvlog (qvl_Date varchar(10), qvl_Time varchar(5), qvl_pcode varchar(8), "
                        "qvl_year smallint, qvl_month smallint, check (qvl_year < 0))");
        CreateMonthTables(ctx);
        // 15 minutes of lateness tolerated a day; from the second late day on
        // each adds 30 minutes of absence; month limits out of reach.
        db->Insert("rules", {{"Rule_Code", DbValue::Int(1)}, {"Rule_Name", DbValue::Text("month")},
                             {"Rule_GMT1", DbValue::Int(15)}, {"Rule_GMT2", DbValue::Int(10)},
                             {"Rule_GMB", DbValue::Int(0)}, {"Rule_GMaxD", DbValue::Int(999)},
                             {"Rule_GSLimit", DbValue::Int(999)}, {"Rule_EMaxM", DbValue::Int(300)},
                             {"Rule_GMT1m", DbValue::Int(9999)}, {"Rule_GMT2m", DbValue::Int(9999)},
                             {"Rule_GMBm", DbValue::Int(9999)}, {"Rule_GMaxM", DbValue::Int(999)},
                             {"Rule_Gttm", DbValue::Int(1)}, {"Rule_Gttmj", DbValue::Int(30)}});
        db->Insert("rulesetc", {{"Rule_Code", DbValue::Int(1)}, {"Rule_StartDay", DbValue::Int(360)},
                                {"Rule_StartNight", DbValue::Int(1080)}, {"Rule_MOHR", DbValue::Int(480)},
                                {"Rule_MOEY", DbValue::Int(30)}, {"Rule_MOTalab", DbValue::Int(1)},
                                {"Rule_MOsy", DbValue::Int(12)}, {"Rule_MOsm", DbValue::Int(0)}});
        AddDayShiftGroup(*db);
        db->Insert("persons", {{"P_BarCode", DbValue::Text("3001")}, {"P_Proxi", DbValue::Text("3001")},
                               {"P_Name", DbValue::Text("n")}, {"P_Family", DbValue::Text("f")},
                               {"P_Param", DbValue::Int(0)}, {"P_JobDate", DbValue::Text("1390/01/01")},
                               {"P_ShiftGroup", DbValue::Int(1)}, {"P_RuleGroup", DbValue::Int(1)},
                               {"P_IsValid", DbValue::Int(1)}});
        // 08:00-16:00 on the working days from 1393/01/20 to 1393/02/31; late
        // (beyond the 15 tolerated minutes) on 1393/01/28, 1393/02/03, 02/04 and 02/06.
        for (std::string d = "1393/01/20"; d <= "1393/02/31"; d = AddDays(d, 1)) {
            if (Weekday(DateYear(d), DateMonth(d), DateDay(d)) == 6) continue;
            const bool late = d == "1393/01/28" || d == "1393/02/03" || d == "1393/02/04" || d == "1393/02/06";
            Punch(d, late ? H(8, 40) : H(8, 0));
            Punch(d, H(16, 0));
        }
    }
    void Punch(const std::string& date, int minute) {
        db->Insert(MonthTableName("c", date),
                   {{"Clock_BarCode", DbValue::Text("3001")}, {"Clock_Date", DbValue::Text(date)},
                    {"Clock_Time", DbValue::Int(minute)}, {"Clock_RdrCode", DbValue::Int(1)},
                    {"Clock_Chg", DbValue::Int(0)}, {"Clock_RecState", DbValue::Int(0)},
                    {"Clock_User", DbValue::Text("")}});
    }
    void Setting(const std::string& title, int value) {
        db->Insert("init", {{"init_title", DbValue::Text(title)}, {"init_Value", DbValue::Text(std::to_string(value))},
                            {"init_code", DbValue::Int(0)}});
    }
    // A leave-table row of 1393 for `code`: (days, minutes) of months 1, 2, ...,
    // the rest -1, -1.
    void LeaveRow(const std::string& table, const std::string& code, std::vector<std::pair<int, int>> months,
                  int openingDays = 0, int openingMinutes = 0) {
        std::vector<SqlField> f{{"Mor_PCode", DbValue::Text(code)}, {"Mor_Year", DbValue::Int(1393)}};
        if (table == "morkhasi") {
            f.push_back({"Mor_DRemainOk", DbValue::Int(openingDays)});
            f.push_back({"Mor_HRemainOk", DbValue::Int(openingMinutes)});
            f.push_back({"Mor_User", DbValue::Text("clerk")});
        }
        for (int m = 1; m <= 12; ++m) {
            const bool set = m <= static_cast<int>(months.size());
            f.push_back({"Mor_D" + std::to_string(m), DbValue::Int(set ? months[m - 1].first : -1)});
            f.push_back({"Mor_H" + std::to_string(m), DbValue::Int(set ? months[m - 1].second : -1)});
        }
        db->Insert(table, f);
    }

    RunResult Calculate(const std::string& now = "1393/03/05 10:00", const std::string& trace = "") {
        if (db->InTransaction()) db->Commit();
        std::vector<std::string> args{"3001", "1393", "2"};
        if (!trace.empty()) args.push_back(trace);
        return h.Run(args, now);
    }
    Rows Query(const std::string& sql) { return db->Query(sql); }
    // The person's day rows of [from, to] (over the month tables of both
    // months) and the month row of 1393/02.
    Rows Days(const std::string& from, const std::string& to) {
        std::string sql;
        for (const char* t : {"p139301", "p139302"})
            sql += std::string(sql.empty() ? "" : " union all ") + "select * from " + t +
                   " where prc_pcode='3001' and prc_date>='" + from + "' and prc_date<='" + to +
                   "' and prc_date not like '%/00'";
        return db->Query(sql);
    }
    Rows MonthRows() { return db->Query("select * from p139302 where prc_pcode='3001' and prc_date like '%/00'"); }
    Rows Leave(const std::string& table) {
        return db->Query("select * from " + table + " where mor_pcode='3001' order by mor_year");
    }
};

std::int64_t Sum(const Rows& rows, const std::string& col) {
    std::int64_t s = 0;
    for (std::size_t i = 0; i < rows.Count(); ++i) s += rows.Int(i, col);
    return s;
}

int LateDaysBeyondTolerance(const Rows& rows) {
    int n = 0;
    for (std::size_t i = 0; i < rows.Count(); ++i) n += rows.Int(i, "Prc_TakhirLessWork") > 0;
    return n;
}

// The month row holds the sums of its days (and the lateness penalty on the
// absence: every late day after the first adds 30 minutes).
void ExpectSums(const Rows& month, const Rows& days) {
    ASSERT_EQ(month.Count(), 1u);
    for (const char* c : kSummedColumns) EXPECT_EQ(month.Int(0, c), Sum(days, c)) << c;
    const int late = LateDaysBeyondTolerance(days);
    EXPECT_EQ(month.Int(0, "Prc_HourAbsence"), Sum(days, "Prc_HourAbsence") + 30 * std::max(late - 1, 0));
}

void ExpectMonthPairs(const Rows& r, std::map<int, std::pair<int, int>> want) {
    ASSERT_EQ(r.Count(), 1u);
    for (int m = 1; m <= 12; ++m) {
        auto it = want.find(m);
        const std::pair<int, int> w = it == want.end() ? std::pair<int, int>{-1, -1} : it->second;
        EXPECT_EQ(r.Int(0, "mor_d" + std::to_string(m)), w.first) << "month " << m;
        EXPECT_EQ(r.Int(0, "mor_h" + std::to_string(m)), w.second) << "month " << m;
    }
}

class MonthlyRun : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(GetParam()); }
};

}  // namespace

TEST_P(MonthlyRun, WholeMonthOfTheDefaultSalaryMonths) {
    LeaveMonthDb m(GetParam());
    RunResult r = m.Calculate("1393/03/05 10:00", "1");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> trace = m.h.TraceLines();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[trace.size() - 2], "calculation");
    EXPECT_EQ(trace.back(), "calcul_month");

    const Rows days = m.Days("1393/02/01", "1393/02/31");
    ASSERT_EQ(days.Count(), 31u);
    EXPECT_EQ(LateDaysBeyondTolerance(days), 3);
    const Rows month = m.MonthRows();
    ExpectSums(month, days);
    ASSERT_EQ(month.Count(), 1u);
    EXPECT_EQ(month.Text(0, "Prc_Date"), "1393/02/00");
    EXPECT_EQ(month.Int(0, "Prc_Type"), 0);     // a whole month
    EXPECT_EQ(month.Int(0, "Prc_Station"), 31);  // the last day's number
    EXPECT_EQ(month.Int(0, "Prc_Changed"), 0);
    EXPECT_EQ(month.Int(0, "Prc_Kind"), 0);
    // The punches and the shift of the last day (a Wednesday).
    EXPECT_EQ(month.Int(0, "Prc_FirstIn"), H(8, 0));
    EXPECT_EQ(month.Int(0, "Prc_FirstOut"), H(16, 0));
    EXPECT_EQ(month.Int(0, "Prc_SecondIn"), -1000);
    EXPECT_EQ(month.Int(0, "Prc_LastInOut"), H(16, 0));
    EXPECT_EQ(month.Int(0, "Prc_shiftcode"), 1);
    // No leave taken: (5, 0) remains after two months of accrual, and the
    // next month brings 2 days 240 minutes more.
    EXPECT_EQ(month.Int(0, "Prc_DayEleaveRemain"), 5);
    EXPECT_EQ(month.Int(0, "Prc_HourEleaveRemain"), 0);
    EXPECT_EQ(month.Int(0, "Prc_HourDayEleaveSalary"), 7);
    EXPECT_EQ(month.Int(0, "Prc_HourDaySleaveSalary"), 240);

    // The first write of the year: month 2 written, every other month -1, -1.
    ExpectMonthPairs(m.Leave("morkhasi"), {{2, {0, 0}}});
    EXPECT_EQ(m.Leave("morkhasi").Int(0, "mor_spdays"), 0);
    ExpectMonthPairs(m.Leave("smorkhasi"), {{2, {0, 0}}});
    EXPECT_EQ(m.Query("select * from qvlog").Count(), 1u);

    // A second calculation replaces the month row and the month's pair.
    r = m.Calculate();
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectSums(m.MonthRows(), m.Days("1393/02/01", "1393/02/31"));
    EXPECT_EQ(m.Leave("morkhasi").Count(), 1u);
}

// A person whose rule group has no rule: the built-in defaults (30 days of
// leave a year at 480 minutes a day, limited to the months so far).
TEST_P(MonthlyRun, WholeMonthUnderTheBuiltInRule) {
    LeaveMonthDb m(GetParam());
    m.db->Execute("update persons set p_rulegroup=9 where p_barcode='3001'");
    RunResult r = m.Calculate();
    ASSERT_EQ(r.status, 0) << r.err;
    const Rows days = m.Days("1393/02/01", "1393/02/31");
    ASSERT_EQ(days.Count(), 31u);
    const Rows month = m.MonthRows();
    ASSERT_EQ(month.Count(), 1u);
    // Fields that no month rule changes under this rule.
    for (const char* c : {"Prc_NormWork", "Prc_PresenceWork", "Prc_PureWorkKham", "Prc_TotalLessWork"})
        EXPECT_EQ(month.Int(0, c), Sum(days, c)) << c;
    EXPECT_EQ(month.Int(0, "Prc_Type"), 0);
    EXPECT_EQ(month.Int(0, "Prc_Station"), 31);
    EXPECT_EQ(month.Int(0, "Prc_DayEleaveRemain"), 5);
    EXPECT_EQ(month.Int(0, "Prc_HourEleaveRemain"), 0);
    EXPECT_EQ(month.Int(0, "Prc_HourDayEleaveSalary"), 7);
    EXPECT_EQ(month.Int(0, "Prc_HourDaySleaveSalary"), 240);
    ExpectMonthPairs(m.Leave("morkhasi"), {{2, {0, 0}}});
    ExpectMonthPairs(m.Leave("smorkhasi"), {{2, {0, 0}}});
}

// Future days not allowed and today 1393/02/10: the days up to today are
// stored and the month row is that of a month in progress.
TEST_P(MonthlyRun, SalaryMonthCutToToday) {
    LeaveMonthDb m(GetParam());
    m.Setting("CalcFuture", 1);
    RunResult r = m.Calculate("1393/02/10 12:00");
    ASSERT_EQ(r.status, 0) << r.err;
    const Rows days = m.Days("1393/02/01", "1393/02/31");
    ASSERT_EQ(days.Count(), 10u);
    const Rows month = m.MonthRows();
    ExpectSums(month, days);
    EXPECT_EQ(month.Text(0, "Prc_Date"), "1393/02/00");
    EXPECT_EQ(month.Int(0, "Prc_Type"), 1);      // in progress
    EXPECT_EQ(month.Int(0, "Prc_Station"), 31);  // still the salary month's last day
    ExpectMonthPairs(m.Leave("morkhasi"), {{2, {0, 0}}});
}

// Salary months ending on the 25th: 1393/02 runs from 1393/01/26 to
// 1393/02/25. Its days lie in two month tables, its total in the second.
TEST_P(MonthlyRun, SalaryMonthOverTwoCalendarMonths) {
    LeaveMonthDb m(GetParam());
    m.Setting("monthnormal", 1);
    for (int month = 1; month <= 12; ++month) m.Setting("monthends", month * 100 + 25);
    RunResult r = m.Calculate();
    ASSERT_EQ(r.status, 0) << r.err;
    const Rows days = m.Days("1393/01/26", "1393/02/25");
    ASSERT_EQ(days.Count(), 31u);
    EXPECT_EQ(LateDaysBeyondTolerance(days), 4);  // one of them in the first calendar month
    const Rows month = m.MonthRows();
    ExpectSums(month, days);
    EXPECT_EQ(month.Text(0, "Prc_Date"), "1393/02/00");
    EXPECT_EQ(month.Int(0, "Prc_Type"), 0);
    EXPECT_EQ(month.Int(0, "Prc_Station"), 25);
    EXPECT_EQ(m.Query("select * from p139301 where prc_date like '%/00'").Count(), 0u);
    ExpectMonthPairs(m.Leave("morkhasi"), {{2, {0, 0}}});
    ExpectMonthPairs(m.Leave("smorkhasi"), {{2, {0, 0}}});
}

TEST_P(MonthlyRun, HandEditedMonthRowIsLeftAlone) {
    LeaveMonthDb m(GetParam());
    m.db->Insert("p139302", {{"Prc_PCode", DbValue::Text("3001")}, {"Prc_Date", DbValue::Text("1393/02/00")},
                             {"Prc_NormWork", DbValue::Int(12345)}, {"Prc_HourEleaveRemain", DbValue::Int(77)},
                             {"Prc_DayEleaveRemain", DbValue::Int(7)}, {"Prc_scrtimes1", DbValue::Int(5)},
                             {"Prc_Changed", DbValue::Int(1)}});
    RunResult r = m.Calculate();
    ASSERT_EQ(r.status, 0) << r.err;
    const Rows month = m.MonthRows();
    ASSERT_EQ(month.Count(), 1u);
    EXPECT_EQ(month.Int(0, "Prc_NormWork"), 12345);
    EXPECT_EQ(month.Int(0, "Prc_HourEleaveRemain"), 77);
    EXPECT_EQ(month.Int(0, "Prc_DayEleaveRemain"), 7);
    EXPECT_EQ(month.Int(0, "Prc_scrtimes1"), 5);
    EXPECT_EQ(month.Int(0, "Prc_Changed"), 1);
    EXPECT_EQ(m.Days("1393/02/01", "1393/02/31").Count(), 31u);  // the days are stored all the same
    ExpectMonthPairs(m.Leave("morkhasi"), {{2, {0, 0}}});
}

// An existing row of the year: the opening balance (5 days 100 minutes) and
// month 1's charge (1 day 60 minutes) are read, month 2 is written into the
// same row and the balance stored with the month total includes it.
TEST_P(MonthlyRun, LeaveTablesReadAndWrittenBack) {
    LeaveMonthDb m(GetParam());
    m.LeaveRow("morkhasi", "3001", {{1, 60}}, 5, 100);
    m.LeaveRow("smorkhasi", "3001", {{1, 0}});
    m.db->Insert("morkhasi", {{"Mor_PCode", DbValue::Text("3001")}, {"Mor_Year", DbValue::Int(1392)},
                              {"Mor_D2", DbValue::Int(4)}, {"Mor_H2", DbValue::Int(4)}});
    RunResult r = m.Calculate();
    ASSERT_EQ(r.status, 0) << r.err;

    Rows mor = m.db->Query("select * from morkhasi where mor_pcode='3001' and mor_year=1393");
    ExpectMonthPairs(mor, {{1, {1, 60}}, {2, {0, 0}}});
    EXPECT_EQ(mor.Int(0, "mor_dremainok"), 5);
    EXPECT_EQ(mor.Int(0, "mor_hremainok"), 100);
    EXPECT_EQ(mor.Text(0, "mor_user"), "clerk");
    Rows other = m.db->Query("select * from morkhasi where mor_pcode='3001' and mor_year=1392");
    ASSERT_EQ(other.Count(), 1u);
    EXPECT_EQ(other.Int(0, "mor_d2"), 4);
    ExpectMonthPairs(m.Leave("smorkhasi"), {{1, {1, 0}}, {2, {0, 0}}});

    // (5,100) + 2 x (2,240) - (1,60) = (9,40); the projection adds (2,240).
    const Rows month = m.MonthRows();
    ASSERT_EQ(month.Count(), 1u);
    EXPECT_EQ(month.Int(0, "Prc_DayEleaveRemain"), 9);
    EXPECT_EQ(month.Int(0, "Prc_HourEleaveRemain"), 40);
    EXPECT_EQ(month.Int(0, "Prc_HourDayEleaveSalary"), 11);
    EXPECT_EQ(month.Int(0, "Prc_HourDaySleaveSalary"), 280);
}

// The calculation log, the run's last step, fails: nothing of the run stays,
// neither days nor the month row nor a change of the leave tables.
TEST_P(MonthlyRun, FailedRunStoresNothing) {
    LeaveMonthDb m(GetParam(), /*failingLog=*/true);
    m.LeaveRow("morkhasi", "3001", {{1, 60}, {3, 3}}, 5, 100);
    RunResult r = m.Calculate();
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(m.Query("select * from p139302").Count(), 0u);
    EXPECT_EQ(m.Query("select * from p139301").Count(), 0u);
    ExpectMonthPairs(m.Leave("morkhasi"), {{1, {1, 60}}, {2, {3, 3}}});
    EXPECT_EQ(m.Leave("smorkhasi").Count(), 0u);
    EXPECT_EQ(m.Query("select * from qvlog").Count(), 0u);
}

// The report of the calculated month, as text and as CSV.
TEST_P(MonthlyRun, ReportOfTheCalculatedMonth) {
    LeaveMonthDb m(GetParam());
    ASSERT_EQ(m.Calculate().status, 0);
    RunResult text = m.h.Run({"--report", "3001", "1393", "2"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Overtime  Leave  Mission  Code\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nMonth total 1393/02/00 (whole month)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("  Remaining entitled leave  5 days 0:00\n"), std::string::npos) << text.out;

    RunResult csv = m.h.Run({"--report", "--csv", "3001", "1393", "2"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::vector<std::string> lines;
    for (std::size_t p = 0, e; p < csv.out.size(); p = e + 1) {
        e = csv.out.find('\n', p);
        if (e == std::string::npos) e = csv.out.size();
        lines.push_back(csv.out.substr(p, e - p));
    }
    ASSERT_EQ(lines.size(), 33u);  // the header, 31 days, the month total
    EXPECT_EQ(lines[0].substr(0, 30), "date,weekday,holiday,shift,pun");
    EXPECT_EQ(lines[1].substr(0, 40), "1393/02/01,Mon,0,1,08:00 16:00,480,480,4");
    EXPECT_EQ(lines[32].substr(0, 11), "1393/02/00,");
    EXPECT_EQ(lines[32].substr(lines[32].size() - 4), ",5,0");

    RunResult usage = m.h.Run({"--report", "--csv", "3001", "1393"});
    EXPECT_EQ(usage.status, 2);
}

INSTANTIATE_TEST_SUITE_P(Backends, MonthlyRun, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);
