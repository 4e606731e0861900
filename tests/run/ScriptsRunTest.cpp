// Rule scripts end to end: the built program calculates 1393/02 for persons
// whose rules carry scripts, and the stored day rows are checked field by
// field. The scripts write the script variables (Prc_scrtimes*, Prc_scrdays*)
// from values the day's punches and schedule fix: punch times, required work,
// presence, the shift's start and end, the kind of the day and of the next.
//
// The month 1393/02 has 31 days; the 1st is a Monday, Fridays are the 5th,
// 12th, 19th and 26th. The shift 08:00-16:00 is scheduled on every day but
// Fridays. Holidays: 02/10 (Wednesday) official, 02/15 (Monday) unofficial,
// and 03/01 (Thursday, the day after the month) official.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "calendar/Holidays.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

constexpr int H(int h, int m) { return h * 60 + m; }

std::string Feb(int d) {
    char b[16];
    std::snprintf(b, sizeof b, "1393/02/%02d", d);
    return b;
}

// A script: enabled day script with the filter, combiner and split given,
// two conditions and the actions (each five fields ending with ";").
std::string Script(int filter, int combiner, int split, const std::string& c1, const std::string& c2,
                   const std::string& actions) {
    return "1;1;" + std::to_string(filter) + ";" + std::to_string(combiner) + ";" + std::to_string(split) + ";" + c1 +
           c2 + actions;
}
const std::string kNone = "0;0;0;0;0;";
// Sets `target` to 1 on the days the filter lets through.
std::string Marks(int target, int filter) {
    return Script(filter, 0, 2, kNone, kNone, std::to_string(target) + ";0;0;1;0;");
}

struct ScriptsMonth {
    RunHome h;
    std::unique_ptr<Database> db;
    TRunContext ctx;

    explicit ScriptsMonth(Backend b) : h(b, 1393, 2, /*seed=*/false), db(h.Db()) {
        ctx.db = db.get();
        ctx.home = h.dir.path().string();
        db->Begin();
        for (const char* t : {"init", "qvlog", "holiday", "persons", "rules", "rulesetc", "shifts", "grp_dtl",
                              "spshift", "sprule", "spgroup", "readers", "trouble", "morkhasi", "smorkhasi", "spmor",
                              "addfree", "p139302"})
            CreateTableIfMissing(ctx, t);
        for (const char* d : {"1393/01/01", "1393/02/01", "1393/03/01"}) {
            EnsureClockTables(ctx, d);
            for (const char* p : {"t", "e", "a"}) CreateTableIfMissing(ctx, MonthTableName(p, d));
        }
        AddDayShiftGroup(*db);
        Holidays(2, "000000000100000000000000000000000", "000000000000001000000000000000000");
        Holidays(3, "100000000000000000000000000000000", "000000000000000000000000000000000");
    }
    void Holidays(int month, std::string official, std::string unofficial) {
        official.resize(31);
        unofficial.resize(31);
        db->Insert("holiday", {{"holiday_year", DbValue::Int(1393)}, {"holiday_Month", DbValue::Int(month)},
                               {"holiday_Rasmi", DbValue::Text(official)},
                               {"holiday_NonRasmi", DbValue::Text(unofficial)}});
    }
    // A rule tolerating nothing, with the script texts of Rule_Script1, 2, ...
    void Rule(int code, const std::vector<std::string>& scripts) {
        std::vector<SqlField> r{{"Rule_Code", DbValue::Int(code)}, {"Rule_Name", DbValue::Text("scripts")},
                                {"Rule_GMaxD", DbValue::Int(999)}, {"Rule_GSLimit", DbValue::Int(999)}};
        for (std::size_t i = 0; i < scripts.size(); ++i)
            r.push_back({"Rule_Script" + std::to_string(i + 1), DbValue::Text(scripts[i])});
        db->Insert("rules", r);
        db->Insert("rulesetc", {{"Rule_Code", DbValue::Int(code)}, {"Rule_StartDay", DbValue::Int(360)},
                                {"Rule_StartNight", DbValue::Int(1080)}});
    }
    void Person(const std::string& code, int ruleGroup) {
        db->Insert("persons", {{"P_BarCode", DbValue::Text(code)}, {"P_Proxi", DbValue::Text(code)},
                               {"P_Name", DbValue::Text("n")}, {"P_Family", DbValue::Text("f")},
                               {"P_Param", DbValue::Int(0)}, {"P_JobDate", DbValue::Text("1390/01/01")},
                               {"P_ShiftGroup", DbValue::Int(1)}, {"P_RuleGroup", DbValue::Int(ruleGroup)},
                               {"P_EndJobDate", DbValue::Text("")}, {"P_IsValid", DbValue::Int(1)}});
    }
    void Punches(const std::string& code, int day, int in, int out) {
        for (int t : {in, out})
            db->Insert(MonthTableName("c", Feb(day)),
                       {{"Clock_BarCode", DbValue::Text(code)}, {"Clock_Date", DbValue::Text(Feb(day))},
                        {"Clock_Time", DbValue::Int(t)}, {"Clock_RdrCode", DbValue::Int(1)},
                        {"Clock_Chg", DbValue::Int(0)}, {"Clock_RecState", DbValue::Int(0)},
                        {"Clock_User", DbValue::Text("")}});
    }
    void SpecialRule(const std::string& code, int day, int rule) {
        db->Insert("sprule", {{"SP_CardNo", DbValue::Text(code)}, {"SP_Date", DbValue::Text(Feb(day))},
                              {"SP_RuleCode", DbValue::Int(rule)}});
    }
    RunResult Calculate(const std::string& code) {
        if (db->InTransaction()) db->Commit();
        return h.Run({code, "1393", "2"}, "1393/03/05 10:00");
    }
    // The stored day rows of the month by date; the month-total row (day
    // "00") is not a day and is left out.
    std::map<std::string, Rows> RowsByDate(const std::string& code) {
        std::map<std::string, Rows> out;
        Rows all = db->Query("select * from p139302 where prc_pcode=" + db->dialect().Quote(code));
        for (std::size_t i = 0; i < all.Count(); ++i) {
            if (all.Text(i, "Prc_Date").substr(8) == "00") continue;
            Rows one("stored", all.Columns());
            std::vector<DbValue> v;
            for (std::size_t c = 0; c < all.Columns().size(); ++c) v.push_back(all.Value(i, c));
            one.AddRow(std::move(v));
            out.emplace(all.Text(i, "Prc_Date"), std::move(one));
        }
        return out;
    }
};

using Fields = std::vector<std::pair<std::string, int>>;

void ExpectDay(std::map<std::string, Rows>& rows, int day, const Fields& fields, const char* what = "") {
    auto it = rows.find(Feb(day));
    if (it == rows.end()) {
        ADD_FAILURE() << "no stored row for " << Feb(day);
        return;
    }
    for (const auto& [col, want] : fields)
        EXPECT_EQ(it->second.Int(0, col), want) << Feb(day) << " " << what << ", column " << col;
}

class ScriptsRun : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(GetParam()); }
};

}  // namespace

// Each action kind, each comparison, both combiners, the split, an operand
// with an item, the shift's start and end, and the scripts of two rules on
// different days of the month (a special rule on the 3rd).
TEST_P(ScriptsRun, ActionsComparisonsCombinersAndTwoRules) {
    ScriptsMonth m(GetParam());
    std::vector<std::string> s{
        // scrtimes2 := required work; += presence - 60; -= 20; *= 2; /= 3.
        Script(0, 0, 7, kNone, kNone,
               "9020;2010;0;0;0;" "9020;2030;2;60;1;" "9020;0;0;20;2;" "9020;0;0;2;3;" "9020;0;0;3;4;"),
        // Division by 0 in an action and in an operand gives 0.
        Script(0, 0, 7, kNone, kNone, "9030;0;0;100;0;" "9030;0;0;0;4;" "9040;2030;4;0;0;" "9040;0;0;7;1;"),
    };
    // The six comparisons of the first entry with 08:00: 1 when they hold, else 2.
    for (int cmp = 0; cmp <= 5; ++cmp)
        s.push_back(Script(0, 0, 2, "1700;" + std::to_string(cmp) + ";0;0;480;", kNone,
                           std::to_string(9310 + 10 * cmp) + ";0;0;1;0;" + std::to_string(9310 + 10 * cmp) + ";0;0;2;0;"));
    // Entry by 08:00 and exit from 16:00; entry after 08:00 or exit before 16:00.
    s.push_back(Script(0, 0, 2, "1700;5;0;0;480;", "1910;1;0;0;960;", "9370;0;0;1;0;9370;0;0;2;0;"));
    s.push_back(Script(0, 1, 2, "1700;0;0;0;480;", "1910;4;0;0;960;", "9380;0;0;1;0;9380;0;0;2;0;"));
    // Exit at least 8 hours after the entry: the presence, else -1.
    s.push_back(Script(0, 0, 2, "1910;1;1700;1;480;", kNone, "9390;2030;0;0;0;9390;0;0;-1;0;"));
    // The start and the end of the day's shift.
    s.push_back(Script(0, 0, 7, kNone, kNone, "9050;7072;0;0;0;9060;7074;0;0;0;"));
    m.Rule(1, s);
    m.Rule(3, {Script(0, 0, 2, kNone, kNone, "9100;0;0;777;0;")});
    m.Person("3001", 1);
    m.SpecialRule("3001", 3, 3);
    m.Punches("3001", 1, H(8, 0), H(16, 0));
    m.Punches("3001", 2, H(7, 50), H(16, 10));
    m.Punches("3001", 3, H(8, 0), H(16, 0));
    m.Punches("3001", 4, H(8, 10), H(15, 50));
    m.Punches("3001", 6, H(8, 0), H(16, 0));
    RunResult r = m.Calculate("3001");
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = m.RowsByDate("3001");
    EXPECT_EQ(rows.size(), 31u);

    const Fields zero{{"Prc_scrtimes10", 0}, {"Prc_scrtimes3", 0}, {"Prc_scrtimes4", 7}};
    auto With = [&](Fields f) {
        f.insert(f.end(), zero.begin(), zero.end());
        return f;
    };
    // 480 + (480 - 60) - 20 = 880; x 2 = 1760; / 3 = 586.67.
    ExpectDay(rows, 1, With({{"Prc_FirstIn", 480}, {"Prc_LastOut", 960}, {"Prc_scrtimes2", 587},
                             {"Prc_scrdays1", 2}, {"Prc_scrdays2", 1}, {"Prc_scrdays3", 1}, {"Prc_scrdays4", 2},
                             {"Prc_scrdays5", 2}, {"Prc_scrdays6", 1}, {"Prc_scrdays7", 1}, {"Prc_scrdays8", 2},
                             {"Prc_scrdays9", 480}, {"Prc_scrtimes5", 480}, {"Prc_scrtimes6", 960}}),
              "08:00-16:00");
    // 480 + 440 - 20 = 900; x 2 / 3 = 600.
    ExpectDay(rows, 2, With({{"Prc_FirstIn", 470}, {"Prc_scrtimes2", 600}, {"Prc_scrdays1", 2}, {"Prc_scrdays2", 2},
                             {"Prc_scrdays3", 2}, {"Prc_scrdays4", 1}, {"Prc_scrdays5", 1}, {"Prc_scrdays6", 1},
                             {"Prc_scrdays7", 1}, {"Prc_scrdays8", 2}, {"Prc_scrdays9", 500}}),
              "07:50-16:10");
    // 480 + 400 - 20 = 860; x 2 / 3 = 573.33. The entry is late: "and" fails
    // on its first condition, "or" holds on it.
    ExpectDay(rows, 4, With({{"Prc_FirstIn", 490}, {"Prc_scrtimes2", 573}, {"Prc_scrdays1", 1}, {"Prc_scrdays2", 1},
                             {"Prc_scrdays3", 2}, {"Prc_scrdays4", 1}, {"Prc_scrdays5", 2}, {"Prc_scrdays6", 2},
                             {"Prc_scrdays7", 2}, {"Prc_scrdays8", 1}, {"Prc_scrdays9", -1}}),
              "08:10-15:50");
    // Friday: no shift, no punches (-1000): 0 + (0 - 60) - 20 = -80; x 2 / 3 = -53.33.
    // "and" fails on its second condition, "or" holds on its second.
    ExpectDay(rows, 5, With({{"Prc_FirstIn", -1000}, {"Prc_scrtimes2", -53}, {"Prc_scrdays1", 2},
                             {"Prc_scrdays2", 2}, {"Prc_scrdays3", 2}, {"Prc_scrdays4", 1}, {"Prc_scrdays5", 1},
                             {"Prc_scrdays6", 1}, {"Prc_scrdays7", 2}, {"Prc_scrdays8", 1}, {"Prc_scrdays9", -1},
                             {"Prc_scrtimes5", 0}, {"Prc_scrtimes6", 0}}),
              "Friday");
    // The 3rd runs the special rule's script only; the days around it the person's.
    ExpectDay(rows, 3, {{"Prc_scrtimes10", 777}, {"Prc_scrtimes2", 0}, {"Prc_scrdays1", 0}, {"Prc_scrtimes4", 0},
                        {"Prc_scrtimes5", 0}},
              "special rule");
    ExpectDay(rows, 6, With({{"Prc_scrtimes2", 587}, {"Prc_scrdays2", 1}}), "rule 1 again");
}

// Filters on the kind of the day, on its weekday, and on the next day,
// including the last day of the month, whose next day is 03/01.
TEST_P(ScriptsRun, DayAndNextDayFilters) {
    ScriptsMonth m(GetParam());
    m.Rule(2, {
                  Marks(9310, 1), Marks(9320, 2), Marks(9330, 3), Marks(9340, 4), Marks(9350, 5), Marks(9360, 6),
                  Marks(9370, 7),           // Saturday
                  Marks(9380, 13),          // Friday
                  Marks(9390, 14),          // Saturday to Wednesday
                  Marks(9400, 2 * 256),     // next day without shift
                  Marks(9010, 3 * 256),     // next day a holiday
                  Marks(9020, 4 * 256),     // next day an official holiday
                  Marks(9030, 5 * 256),     // next day an unofficial holiday
                  Marks(9040, 7 * 256),     // next day a Saturday
                  Marks(9050, 14 * 256),    // next day Saturday to Wednesday
                  Marks(9060, 1286),        // a working day before an unofficial holiday
                  Marks(9070, 1 * 256 + 2), // a day without shift before a day with one
              });
    m.Person("3002", 2);
    RunResult r = m.Calculate("3002");
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = m.RowsByDate("3002");
    ASSERT_EQ(rows.size(), 31u);

    const char* cols[] = {"Prc_scrdays1",  "Prc_scrdays2",  "Prc_scrdays3",  "Prc_scrdays4",  "Prc_scrdays5",
                          "Prc_scrdays6",  "Prc_scrdays7",  "Prc_scrdays8",  "Prc_scrdays9",  "Prc_scrdays10",
                          "Prc_scrtimes1", "Prc_scrtimes2", "Prc_scrtimes3", "Prc_scrtimes4", "Prc_scrtimes5",
                          "Prc_scrtimes6", "Prc_scrtimes7"};
    const struct {
        int day, type;
        const char* what;
        int marks[17];
    } cases[] = {
        {4, 0, "Thursday before Friday", {1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}},
        {5, 1, "Friday before Saturday", {0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 1}},
        {6, 0, "Saturday", {1, 0, 0, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0}},
        {9, 0, "Tuesday before an official holiday", {1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 0, 1, 0, 0}},
        {10, 4, "official holiday with a shift", {1, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {14, 0, "Sunday before an unofficial holiday", {1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0, 1, 1, 0}},
        {15, 2, "unofficial holiday", {1, 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0}},
        {31, 0, "last day, before 03/01", {1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        Fields f{{"Prc_Type", c.type}};
        for (int i = 0; i < 17; ++i) f.push_back({cols[i], c.marks[i]});
        ExpectDay(rows, c.day, f, c.what);
    }
}

// A script text that cannot be read fails the run with exit status 1 and a
// message naming the rule, the script and the field; nothing is stored, also
// when the rule is met in the middle of the month.
TEST_P(ScriptsRun, MalformedTextFailsTheRunAndStoresNothing) {
    ScriptsMonth m(GetParam());
    m.Rule(1, {Marks(9310, 0)});
    m.Rule(4, {Marks(9310, 0), "1;1;0;0;2;30l0;0;0;0;60;0;0;0;0;0;"});
    m.Rule(5, {Marks(9310, 0), Marks(9320, 0), "1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;0;0;1;0;9020;0;0;"});
    m.Person("3003", 4);
    m.Person("3004", 1);
    m.SpecialRule("3004", 20, 5);

    RunResult r = m.Calculate("3003");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("rule 4, script 2 (Rule_Script2): cannot be read: field 6 (condition 1 left item): \"30l0\" "
                         "is not a number"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(m.RowsByDate("3003").empty());

    r = m.Calculate("3004");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("rule 5, script 3 (Rule_Script3): cannot be read: field 24 (action 2 operand constant): "
                         "the text ends before this field"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(m.RowsByDate("3004").empty()) << "the days before the 20th are not stored either";
    EXPECT_EQ(m.db->Query("select * from qvlog").Count(), 0u);
}

TEST_P(ScriptsRun, MonthScriptsRunOnceOnTheMonthTotal) {
    // A day script marks the days with more than 8 hours of presence in
    // Prc_scrdays1; a month script makes Prc_scrdays2 of the month total ten
    // times their count and adds an hour to Prc_scrtimes1 (minutes) of the
    // total only.
    ScriptsMonth m(GetParam());
    m.Rule(1, {"1;1;0;0;2;2030;0;0;0;480;0;0;0;0;0;9310;0;0;1;0;",
               "1;2;0;0;3;0;0;0;0;0;0;0;0;0;0;9320;9310;3;10;0;9010;0;0;60;1;"});
    m.Person("3005", 1);
    m.Punches("3005", 1, H(7, 50), H(16, 10));  // 500 minutes
    m.Punches("3005", 2, H(8, 0), H(16, 0));    // 480: not more
    m.Punches("3005", 3, H(7, 0), H(16, 0));    // 540
    RunResult r = m.Calculate("3005");
    ASSERT_EQ(r.status, 0) << r.err;

    auto days = m.RowsByDate("3005");
    ASSERT_EQ(days.size(), 31u);
    for (int d : {1, 3}) ExpectDay(days, d, {{"Prc_scrdays1", 1}, {"Prc_scrdays2", 0}, {"Prc_scrtimes1", 0}});
    ExpectDay(days, 2, {{"Prc_scrdays1", 0}, {"Prc_scrdays2", 0}});
    Rows total = m.db->Query("select * from p139302 where prc_pcode=" + m.db->dialect().Quote("3005") +
                             " and prc_date=" + m.db->dialect().Quote("1393/02/00"));
    ASSERT_EQ(total.Count(), 1u);
    EXPECT_EQ(total.Int(0, "Prc_scrdays1"), 2);
    EXPECT_EQ(total.Int(0, "Prc_scrdays2"), 20);
    EXPECT_EQ(total.Int(0, "Prc_scrtimes1"), 60);
}

INSTANTIATE_TEST_SUITE_P(Backends, ScriptsRun, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);
