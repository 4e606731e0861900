#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "config/ConfigTestDb.h"
#include "config/Person.h"

namespace attcalc {
namespace {

using test::ConfigDb;

struct PersonRow {
    std::string code;
    int rulegroup = 0, param = 0, shiftgroup = 0;
    std::string jobdate, endjobdate, parts, reserve6, reserve7;
};

void AddPerson(ConfigDb& c, const PersonRow& p) {
    c.db->Insert("persons", {{"P_BarCode", DbValue::Text(p.code)},
                             {"P_Proxi", DbValue::Text(p.code)},
                             {"P_RuleGroup", DbValue::Int(p.rulegroup)},
                             {"P_Param", DbValue::Int(p.param)},
                             {"P_ShiftGroup", DbValue::Int(p.shiftgroup)},
                             {"P_JobDate", DbValue::Text(p.jobdate)},
                             {"P_EndJobDate", DbValue::Text(p.endjobdate)},
                             {"P_Parts", DbValue::Text(p.parts)},
                             {"P_Reserve6", DbValue::Text(p.reserve6)},
                             {"P_reserve7", DbValue::Text(p.reserve7)}});
}

// Reads a found and a missing person; the quote in a code stays a text.
void ReadsThePerson(ConfigDb& c) {
    c.Create("persons");
    AddPerson(c, {"1001", 4, 2, 6, "1390/7/1", "", "0102", "3/06", "1"});
    AddPerson(c, {"1002", 5, 1, 0, "", "", "", "", "0"});
    AddPerson(c, {"1003", 0, 0, -2, "", "", "", "", ""});

    EXPECT_EQ(PersonRuleGroup(c.ctx, "1001"), 4);
    const TPersonAttributes& p = c.ctx.person;
    EXPECT_TRUE(p.Found);
    EXPECT_EQ(p.p_rulegroup, 4);
    EXPECT_EQ(p.p_param, 2);
    EXPECT_EQ(p.p_jobdate, "1390/7/1");  // as stored
    EXPECT_EQ(p.p_parts, "0102");
    EXPECT_EQ(p.PriorServiceYears, 3);
    EXPECT_EQ(p.PriorServiceMonths, 6);
    EXPECT_TRUE(p.ProductivityMember);

    EXPECT_EQ(PersonRuleGroup(c.ctx, "1002"), 5);
    EXPECT_FALSE(p.ProductivityMember);
    EXPECT_EQ(p.PriorServiceYears, 0);

    c.ctx.person.ProductivityMember = true;
    EXPECT_EQ(PersonRuleGroup(c.ctx, "9999"), 0);
    EXPECT_FALSE(p.Found);
    EXPECT_EQ(p.p_param, 0);
    EXPECT_EQ(p.p_jobdate, "");
    EXPECT_EQ(p.p_parts, "");
    EXPECT_TRUE(p.ProductivityMember);  // kept when the person has no row

    EXPECT_EQ(PersonRuleGroup(c.ctx, "1001' or '1'='1"), 0);
    EXPECT_FALSE(p.Found);

    EXPECT_EQ(PersonShiftGroup(c.ctx, "1001"), 6);
    EXPECT_EQ(PersonShiftGroup(c.ctx, "1002"), 1);  // 0 counts as group 1
    EXPECT_EQ(PersonShiftGroup(c.ctx, "1003"), 1);  // so does a negative group
    EXPECT_EQ(PersonShiftGroup(c.ctx, "9999"), 0);
    EXPECT_EQ(c.ctx.person.p_shiftgroup, 0);

    TEmploymentDates e = EmploymentDates(c.ctx, "1001");
    EXPECT_EQ(e.JobDate, "1390/07/01");
    EXPECT_EQ(e.EndJobDate, "");
    e = EmploymentDates(c.ctx, "9999");
    EXPECT_EQ(e.JobDate, "");
    EXPECT_EQ(e.EndJobDate, "");
}

TEST(Person, ReadsThePersonSqlite) {
    auto c = ConfigDb::Sqlite();
    ReadsThePerson(*c);
}

TEST(Person, ReadsThePersonPostgres) {
    auto c = ConfigDb::Postgres("person");
    if (!c) GTEST_SKIP() << "no PostgreSQL server for the tests";
    ReadsThePerson(*c);
}

TEST(Person, PriorServiceAndProductivityTexts) {
    struct Case {
        std::string reserve6, reserve7;
        int years, months;
        bool member;
    };
    const std::vector<Case> cases = {
        {"3/06", "1", 3, 6, true},   {"3", "1 ", 3, 0, false},  {"3/6x", "", 3, 0, false},
        {"x/2", "01", 0, 2, false},  {"3/6", "2", 3, 6, false}, {"/5", "1", 0, 5, true},
        {"12/345", "", 12, 34, false}, {"", "", 0, 0, false},  {"-3/2", "", 0, 2, false},
        {"99999999999/1", "", 0, 1, false}, {"3/", "", 3, 0, false},
    };
    for (const auto& k : cases) {
        auto c = ConfigDb::Sqlite();
        c->Create("persons");
        AddPerson(*c, {"7", 1, 0, 1, "", "", "", k.reserve6, k.reserve7});
        PersonRuleGroup(c->ctx, "7");
        EXPECT_EQ(c->ctx.person.PriorServiceYears, k.years) << k.reserve6;
        EXPECT_EQ(c->ctx.person.PriorServiceMonths, k.months) << k.reserve6;
        EXPECT_EQ(c->ctx.person.ProductivityMember, k.member) << "'" << k.reserve7 << "'";
    }
}

TEST(Person, MalformedEmploymentDateEndsTheRunNamingIt) {
    auto c = ConfigDb::Sqlite();
    c->Create("persons");
    AddPerson(*c, {"7", 1, 0, 1, "13x0/01/01", "", "", "", ""});
    AddPerson(*c, {"8", 1, 0, 1, "1390/01/01", "1392/5", "", "", ""});
    try {
        EmploymentDates(c->ctx, "7");
        ADD_FAILURE() << "accepted";
    } catch (const DbError& e) {
        std::string m = e.what();
        EXPECT_NE(m.find("persons"), std::string::npos) << m;
        EXPECT_NE(m.find("p_jobdate"), std::string::npos) << m;
        EXPECT_NE(m.find("13x0/01/01"), std::string::npos) << m;
    }
    std::string from = "1393/02/01", to = "1393/02/31";
    EXPECT_THROW(ClipToEmployment(c->ctx, "8", from, to), DbError);
    EXPECT_EQ(from, "1393/02/01");
}

// Result rows of the person (and of another person) on the given dates.
class StoredResults {
public:
    explicit StoredResults(ConfigDb& c) : c_(c) {}

    void Add(const std::string& pcode, const std::string& date, int changed = 0) {
        std::string table = "p" + date.substr(0, 4) + date.substr(5, 2);
        c_.Create(table);
        c_.db->Insert(table, {{"Prc_PCode", DbValue::Text(pcode)}, {"Prc_Date", DbValue::Text(date)},
                              {"Prc_Changed", DbValue::Int(changed)}});
        tables_.insert(table);
    }

    std::set<std::string> Dates(const std::string& pcode) {
        std::set<std::string> out;
        for (const auto& t : tables_) {
            Rows r = c_.db->Query("select Prc_Date from " + t + " where Prc_PCode='" + pcode + "'");
            for (std::size_t i = 0; i < r.Count(); ++i) out.insert(r.Text(i, "Prc_Date"));
        }
        return out;
    }

private:
    ConfigDb& c_;
    std::set<std::string> tables_;
};

TEST(Person, DeleteResultsAcrossMonthTables) {
    auto c = ConfigDb::Sqlite();
    StoredResults r(*c);
    for (const char* d : {"1393/01/10", "1393/01/15", "1393/01/00", "1393/03/00", "1393/03/10", "1393/03/11",
                          "1393/12/29", "1394/01/01", "1394/01/02"}) {
        r.Add("500", d);
        r.Add("501", d);
    }
    // 1393/02 has no table: it is skipped.
    DeleteResults(c->ctx, "500", "1393/01/15", "1393/03/10");
    EXPECT_EQ(r.Dates("500"), (std::set<std::string>{"1393/01/10", "1393/01/00", "1393/03/11", "1393/12/29",
                                                     "1394/01/01", "1394/01/02"}));
    DeleteResults(c->ctx, "500", "1393/12/29", "1394/01/01");  // over the year end
    EXPECT_EQ(r.Dates("500"), (std::set<std::string>{"1393/01/10", "1393/01/00", "1393/03/11", "1394/01/02"}));

    DeleteResults(c->ctx, "500", "1393/03/11", "1393/03/10");  // start after end
    DeleteResults(c->ctx, "500", "", "1393/03/31");
    DeleteResults(c->ctx, "500", "1393/01/01", "");
    DeleteResults(c->ctx, "500' or '1'='1", "1393/01/01", "1394/01/31");
    EXPECT_EQ(r.Dates("500").size(), 4u);
    EXPECT_EQ(r.Dates("501").size(), 9u);
}

void DeleteResultsKeepsAHandEditedMonthTotal(std::unique_ptr<ConfigDb> c) {
    StoredResults r(*c);
    r.Add("500", "1393/02/00", 1);  // edited by hand
    r.Add("500", "1393/03/00", 0);
    r.Add("500", "1393/02/05", 1);  // a day row goes whatever its mark
    r.Add("500", "1393/03/01");
    c->Create("p139304");
    c->Exec("insert into p139304 (Prc_PCode, Prc_Date) values ('500', '1393/04/00')");  // mark null
    DeleteResults(c->ctx, "500", "1393/01/29", "1393/04/10");
    EXPECT_EQ(r.Dates("500"), (std::set<std::string>{"1393/02/00"}));
    EXPECT_TRUE(c->db->Query("select * from p139304").Empty());
}

TEST(Person, DeleteResultsKeepsAHandEditedMonthTotalSqlite) {
    DeleteResultsKeepsAHandEditedMonthTotal(ConfigDb::Sqlite());
}

TEST(Person, DeleteResultsKeepsAHandEditedMonthTotalPostgres) {
    auto c = ConfigDb::Postgres("delres");
    if (!c) GTEST_SKIP() << "no PostgreSQL server for the tests";
    DeleteResultsKeepsAHandEditedMonthTotal(std::move(c));
}

// A salary month of 1393/01/29 ... 1393/02/28 for a person hired on
// 1393/02/10: the month total of 1393/02, edited by hand, stays.
TEST(Person, ClipToEmploymentKeepsAHandEditedMonthTotal) {
    auto c = ConfigDb::Sqlite();
    c->Create("persons");
    AddPerson(*c, {"42", 1, 0, 1, "1393/02/10", "", "", "", ""});
    StoredResults r(*c);
    r.Add("42", "1393/02/00", 1);
    r.Add("42", "1393/02/01");
    r.Add("42", "1393/02/10");
    std::string from = "1393/01/29", to = "1393/02/28";
    EXPECT_EQ(ClipToEmployment(c->ctx, "42", from, to), 2);
    EXPECT_EQ(r.Dates("42"), (std::set<std::string>{"1393/02/00", "1393/02/10"}));
}

struct ClipCase {
    std::string name, job, end;
    int result;
    std::string from, to;                 // after the clip
    std::set<std::string> kept;           // the person's stored dates afterwards
};

TEST(Person, ClipToEmployment) {
    const std::string F = "1393/02/01", T = "1393/02/31";
    const std::vector<std::string> stored = {"1393/01/20", "1393/02/01", "1393/02/09", "1393/02/10",
                                             "1393/02/20", "1393/02/21", "1393/02/31", "1393/03/01",
                                             "1393/03/04", "1393/03/05"};
    const std::vector<ClipCase> cases = {
        {"no dates", "", "", 0, F, T,
         {"1393/01/20", "1393/02/01", "1393/02/09", "1393/02/10", "1393/02/20", "1393/02/21", "1393/02/31",
          "1393/03/01", "1393/03/04", "1393/03/05"}},
        {"hired before", "1390/01/01", "", 0, F, T,
         {"1393/01/20", "1393/02/01", "1393/02/09", "1393/02/10", "1393/02/20", "1393/02/21", "1393/02/31",
          "1393/03/01", "1393/03/04", "1393/03/05"}},
        {"hired on the first day", "1393/02/01", "", 0, F, T,
         {"1393/01/20", "1393/02/01", "1393/02/09", "1393/02/10", "1393/02/20", "1393/02/21", "1393/02/31",
          "1393/03/01", "1393/03/04", "1393/03/05"}},
        {"hired mid-period", "1393/02/10", "", 2, "1393/02/10", T,
         {"1393/01/20", "1393/02/10", "1393/02/20", "1393/02/21", "1393/02/31", "1393/03/01", "1393/03/04",
          "1393/03/05"}},
        {"hired and left mid-period", "1393/02/10", "1393/02/20", 3, "1393/02/10", "1393/02/20",
         {"1393/01/20", "1393/02/10", "1393/02/20", "1393/03/01", "1393/03/04", "1393/03/05"}},
        {"left mid-period", "1392/05/01", "1393/02/20", 1, F, "1393/02/20",
         {"1393/01/20", "1393/02/01", "1393/02/09", "1393/02/10", "1393/02/20", "1393/03/01", "1393/03/04",
          "1393/03/05"}},
        {"left on the first day", "", "1393/02/01", 1, F, F,
         {"1393/01/20", "1393/02/01", "1393/03/01", "1393/03/04", "1393/03/05"}},
        {"left on the last day", "", "1393/02/31", 0, F, T,
         {"1393/01/20", "1393/02/01", "1393/02/09", "1393/02/10", "1393/02/20", "1393/02/21", "1393/02/31",
          "1393/03/01", "1393/03/04", "1393/03/05"}},
        {"left before the period", "", "1393/01/20", -1, F, "1393/01/31",
         {"1393/01/20", "1393/03/01", "1393/03/04", "1393/03/05"}},
        // Everything up to the day before employment goes, past the period too.
        {"hired after the period", "1393/03/05", "", -1, "1393/03/01", T, {"1393/01/20", "1393/03/05"}},
        // Hired on the period's last day: that day is calculated.
        {"hired on the last day", "1393/02/31", "", 2, T, T,
         {"1393/01/20", "1393/02/31", "1393/03/01", "1393/03/04", "1393/03/05"}},
    };
    for (const auto& k : cases) {
        auto c = ConfigDb::Sqlite();
        c->Create("persons");
        AddPerson(*c, {"42", 1, 0, 1, k.job, k.end, "", "", ""});
        StoredResults r(*c);
        for (const auto& d : stored) {
            r.Add("42", d);
            r.Add("43", d);
        }
        std::string from = F, to = T;
        EXPECT_EQ(ClipToEmployment(c->ctx, "42", from, to), k.result) << k.name;
        EXPECT_EQ(from, k.from) << k.name;
        EXPECT_EQ(to, k.to) << k.name;
        if (k.result == -1) EXPECT_GT(from, to) << k.name;
        EXPECT_EQ(r.Dates("42"), k.kept) << k.name;
        EXPECT_EQ(r.Dates("43").size(), stored.size()) << k.name;
    }
}

TEST(Person, DepartmentHardshipTakesTheMostSpecificLevel) {
    auto c = ConfigDb::Sqlite();
    c->Create("trouble");
    for (auto [part, value] : std::vector<std::pair<std::string, int>>{
             {"01", 10}, {"0102", 40}, {"010203", 70}, {"0103", 55}, {"02", 0}, {"1", 99}})
        c->db->Insert("trouble", {{"tp_part", DbValue::Text(part)}, {"tp_trouble", DbValue::Int(value)}});
    const std::vector<std::pair<std::string, int>> cases = {
        {"010203", 70}, {"0102", 40}, {"010299", 40}, {"0199", 10}, {"01020304", 70},
        {"0103", 55},   {"02", 0},    {"0201", 0},    {"03", -1},   {"", -1},
        {"01' or '1'='1", -1},
    };
    for (const auto& [dep, value] : cases) EXPECT_EQ(DepartmentHardship(c->ctx, dep), value) << dep;
}

}  // namespace
}  // namespace attcalc
