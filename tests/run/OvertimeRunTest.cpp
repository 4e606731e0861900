// Overtime end to end: the built program calculates 1393/02 for three
// persons of a small database of our own and the stored overtime columns of
// their days are checked. The values are worked out by hand from the rules.
//
// Every person works the day shift 08:00-16:00 (Fridays have no shift; the
// 1st is a Monday, the 5th a Friday). The daily caps are out of reach.
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

struct OvertimeDb {
    RunHome h;
    std::unique_ptr<Database> db;
    TRunContext ctx;

    explicit OvertimeDb(Backend b) : h(b, 1393, 2, /*seed=*/false), db(h.Db()) {
        ctx.db = db.get();
        ctx.home = h.dir.path().string();
        db->Begin();
        CreateMonthTables(ctx);
        AddDayShiftGroup(*db);
    }

    // A rule without lateness allowances or daily absence limits, night from
    // 18:00 to 06:00 and the daily overtime caps out of reach; `extra` adds
    // or replaces columns of "rules".
    void Rule(int code, const std::vector<SqlField>& extra) {
        std::vector<SqlField> r{{"Rule_Code", DbValue::Int(code)}, {"Rule_Name", DbValue::Text("ot")},
                                {"Rule_GMaxD", DbValue::Int(999)}, {"Rule_GSLimit", DbValue::Int(999)},
                                {"Rule_EMAXA", DbValue::Int(999)}, {"Rule_EMAxT", DbValue::Int(999)}};
        for (const SqlField& f : extra) {
            bool replaced = false;
            for (SqlField& e : r)
                if (EqualsNoCase(e.column, f.column)) e = f, replaced = true;
            if (!replaced) r.push_back(f);
        }
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
        const std::string date = "1393/02/" + std::string(day < 10 ? "0" : "") + std::to_string(day);
        for (int t : {in, out})
            db->Insert(MonthTableName("c", date),
                       {{"Clock_BarCode", DbValue::Text(code)}, {"Clock_Date", DbValue::Text(date)},
                        {"Clock_Time", DbValue::Int(t)}, {"Clock_RdrCode", DbValue::Int(1)},
                        {"Clock_Chg", DbValue::Int(0)}, {"Clock_RecState", DbValue::Int(0)},
                        {"Clock_User", DbValue::Text("")}});
    }
    // One entry of a monthly grid ("e" daily overtime permits, "a" free
    // overtime) of 1393/02.
    void Grid(const char* prefix, const std::string& code, int day, int minutes) {
        db->Insert(MonthTableName(prefix, "1393/02/01"),
                   {{"E_PCode", DbValue::Text(code)},
                    {std::string("E_D") + (day < 10 ? "0" : "") + std::to_string(day), DbValue::Int(minutes)}});
    }

    void Calculate(const std::string& code) {
        if (db->InTransaction()) db->Commit();
        RunResult r = h.Run({code, "1393", "2"}, "1393/03/05 10:00");
        ASSERT_EQ(r.status, 0) << r.err;
    }

    void Expect(const std::string& code, const std::string& date,
                const std::vector<std::pair<std::string, int>>& want) {
        Rows row = db->Query("select * from p139302 where prc_pcode=" + db->dialect().Quote(code) +
                             " and prc_date=" + db->dialect().Quote(date));
        ASSERT_EQ(row.Count(), 1u) << code << " " << date;
        for (const auto& [col, v] : want) EXPECT_EQ(row.Int(0, col), v) << code << " " << date << " " << col;
    }
};

class OvertimeRun : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(GetParam()); }
};

}  // namespace

TEST_P(OvertimeRun, StoredOvertimeColumns) {
    OvertimeDb m(GetParam());
    // Person 3001: before and after the shift 30 ... 60 minutes each.
    m.Rule(1, {{"Rule_EMinG", DbValue::Int(30)}, {"Rule_EMAXG", DbValue::Int(60)},
               {"Rule_EMinB", DbValue::Int(30)}, {"Rule_EMAxB", DbValue::Int(60)}});
    // Person 3002: overtime needs the daily permit of the grid.
    m.Rule(2, {{"Rule_EMojavvez", DbValue::Int(1)}, {"Rule_EMAXG", DbValue::Int(120)},
               {"Rule_EMAxB", DbValue::Int(120)}});
    // Person 3003: overtime needs an hourly permit.
    m.Rule(3, {{"Rule_EhMojavvez", DbValue::Int(1)}, {"Rule_EMinB", DbValue::Int(30)},
               {"Rule_EMAxB", DbValue::Int(60)}});
    m.Person("3001", 1);
    m.Person("3002", 2);
    m.Person("3003", 3);

    m.Punches("3001", 1, H(7, 0), H(17, 30));
    m.Punches("3001", 2, H(7, 40), H(17, 30));
    m.Punches("3001", 5, H(9, 0), H(12, 0));  // a Friday without shift

    m.Grid("e", "3002", 3, 60);
    m.Grid("a", "3002", 4, 45);
    m.Punches("3002", 3, H(8, 0), H(17, 30));
    m.Punches("3002", 4, H(8, 0), H(16, 0));

    m.db->Insert("t139302", {{"clock_barcode", DbValue::Text("3003")}, {"clock_date", DbValue::Text("1393/02/06")},
                             {"clock_time", DbValue::Int(H(16, 0))}, {"clock_etime", DbValue::Int(H(17, 0))},
                             {"clock_RecState", DbValue::Int(3)}, {"clock_Remark", DbValue::Text("")},
                             {"clock_User", DbValue::Text("")}});
    m.Punches("3003", 6, H(8, 0), H(17, 30));

    for (const char* p : {"3001", "3002", "3003"}) m.Calculate(p);

    // 60 valid before, 90 after of which 60 valid.
    m.Expect("3001", "1393/02/01",
             {{"Prc_ValidAddWork", 120}, {"Prc_ValidAddWorkBefore", 60}, {"Prc_ValidAddWorkafter", 60},
              {"Prc_InvalidAddWork", 30}, {"Prc_TotalWork", 600}, {"Prc_PureWork", 480}});
    // 20 minutes before the shift are too few.
    m.Expect("3001", "1393/02/02",
             {{"Prc_ValidAddWork", 60}, {"Prc_ValidAddWorkBefore", 0}, {"Prc_ValidAddWorkafter", 60},
              {"Prc_InvalidAddWork", 30}, {"Prc_TotalWork", 540}});
    m.Expect("3001", "1393/02/05",
             {{"Prc_Type", 1}, {"Prc_ValidAddWork", 180}, {"Prc_ValidAddWorkfriday", 180},
              {"Prc_ValidAddWorkNoworkday", 180}, {"Prc_InValidAddWorkfriday", 0}, {"Prc_TotalWork", 180}});
    // A day without presence outside the shift has no overtime.
    m.Expect("3001", "1393/02/03", {{"Prc_ValidAddWork", 0}, {"Prc_InvalidAddWork", 0}});

    // 90 after the shift against a permit of 60.
    m.Expect("3002", "1393/02/03",
             {{"Prc_ValidAddWork", 60}, {"Prc_InvalidAddWork", 30}, {"Prc_ValidAddWorkafter", 90},
              {"Prc_TotalWork", 540}});
    m.Expect("3002", "1393/02/04",
             {{"Prc_ValidAddWorkFree", 45}, {"Prc_ValidAddWork", 45}, {"Prc_TotalWork", 480}});

    // The hour 16:00-17:00 is covered by the hourly permit, the half hour
    // after it is not.
    m.Expect("3003", "1393/02/06",
             {{"Prc_ValidAddWork", 60}, {"Prc_InvalidAddWork", 30}, {"Prc_ValidAddWorkafter", 90},
              {"Prc_TotalWork", 540}});
}

INSTANTIATE_TEST_SUITE_P(Backends, OvertimeRun, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);
