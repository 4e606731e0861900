// Day codes end to end: the built program calculates 1393/02 for a person
// whose whole-day codes and leave keys come from the punch table, and the
// stored day rows are checked field by field. Values are worked out by hand.
//
// 1393/02/01 is a Monday; Fridays (5th, 12th, 19th, 26th) have no shift and
// are no-work days (there are no holidays). The day shift runs 08:00-16:00.
#include <gtest/gtest.h>

#include <map>

#include "calendar/Holidays.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

constexpr int H(int h, int m) { return h * 60 + m; }

struct CodeDb {
    RunHome h;
    std::unique_ptr<Database> db;
    TRunContext ctx;

    explicit CodeDb(Backend b) : h(b, 1393, 2, /*seed=*/false), db(h.Db()) {
        ctx.db = db.get();
        ctx.home = h.dir.path().string();
        db->Begin();
        CreateMonthTables(ctx, {"p139303"});
        // Daily missions by the fixed method (600 minutes, counted as net
        // work); leave by the thresholds 240 / 480 and counted as work; a day
        // of work is 480 minutes; absence by the thresholds 240 / 480;
        // no-work days between missions are missions, between absent days
        // absence.
        db->Insert("rules", {{"Rule_Code", DbValue::Int(1)}, {"Rule_Name", DbValue::Text("codes")},
                             {"Rule_GMaxD", DbValue::Int(999)}, {"Rule_GSLimit", DbValue::Int(999)},
                             {"Rule_MAD", DbValue::Int(2)}, {"Rule_MAdFixh", DbValue::Int(600)},
                             {"Rule_MAkar", DbValue::Int(1)}, {"Rule_mamax", DbValue::Int(99)},
                             {"Rule_MARMGM", DbValue::Int(1)}, {"Rule_GD", DbValue::Int(1)},
                             {"Rule_GBD", DbValue::Int(240)}, {"Rule_GKD", DbValue::Int(480)}});
        db->Insert("rulesetc", {{"Rule_Code", DbValue::Int(1)}, {"Rule_StartDay", DbValue::Int(360)},
                                {"Rule_StartNight", DbValue::Int(1080)}, {"Rule_KarD", DbValue::Int(480)},
                                {"Rule_MOH", DbValue::Int(1)}, {"Rule_MOB1", DbValue::Int(240)},
                                {"Rule_MOK1", DbValue::Int(480)}, {"Rule_MOHR", DbValue::Int(480)},
                                {"Rule_MOKAR", DbValue::Int(1)}, {"Rule_MOKARNA", DbValue::Int(1)},
                                {"Rule_DGKAR", DbValue::Int(1)}});
        AddDayShiftGroup(*db);
        db->Insert("persons", {{"P_BarCode", DbValue::Text("3001")}, {"P_Proxi", DbValue::Text("3001")},
                               {"P_Name", DbValue::Text("n")}, {"P_Family", DbValue::Text("f")},
                               {"P_Param", DbValue::Int(0)}, {"P_JobDate", DbValue::Text("1390/01/01")},
                               {"P_ShiftGroup", DbValue::Int(1)}, {"P_RuleGroup", DbValue::Int(1)},
                               {"P_EndJobDate", DbValue::Text("")}, {"P_IsValid", DbValue::Int(1)}});
    }

    // A punch: `change` 0 from a reader (state = the key pressed), 2 a
    // whole-day code `state`.
    void Punch(const std::string& date, int minute, int change = 0, int state = 0) {
        db->Insert(MonthTableName("c", date),
                   {{"Clock_BarCode", DbValue::Text("3001")}, {"Clock_Date", DbValue::Text(date)},
                    {"Clock_Time", DbValue::Int(minute)}, {"Clock_RdrCode", DbValue::Int(1)},
                    {"Clock_Chg", DbValue::Int(change)}, {"Clock_RecState", DbValue::Int(state)},
                    {"Clock_User", DbValue::Text("")}});
    }
    void DayCode(const std::string& date, int code) { Punch(date, 0, 2, code); }
    void Worked(const std::string& date) {
        Punch(date, H(8, 0));
        Punch(date, H(16, 0));
    }
    // A day without shift for the person.
    void Rest(const std::string& date) {
        db->Insert("spshift", {{"SP_CardNo", DbValue::Text("3001")}, {"SP_Date", DbValue::Text(date)},
                               {"SP_ShCode", DbValue::Int(0)}, {"SP_kind", DbValue::Int(0)},
                               {"SP_ID", DbValue::Int(1)}});
    }

    RunResult Calculate() {
        if (db->InTransaction()) db->Commit();
        return h.Run({"3001", "1393", "2"}, "1393/03/05 10:00");
    }

    std::map<std::string, Rows> Stored() {
        std::map<std::string, Rows> out;
        Rows all = db->Query("select * from p139302 where prc_pcode='3001' order by prc_date");
        for (std::size_t i = 0; i < all.Count(); ++i) {
            Rows one("stored", all.Columns());
            std::vector<DbValue> v;
            for (std::size_t c = 0; c < all.Columns().size(); ++c) v.push_back(all.Value(i, c));
            one.AddRow(std::move(v));
            out.emplace(all.Text(i, "Prc_Date"), std::move(one));
        }
        return out;
    }
};

void Expect(std::map<std::string, Rows>& rows, const std::string& date,
            const std::vector<std::pair<std::string, int>>& fields) {
    auto it = rows.find(date);
    if (it == rows.end()) {
        ADD_FAILURE() << "no stored row for " << date;
        return;
    }
    for (const auto& [col, want] : fields) EXPECT_EQ(it->second.Int(0, col), want) << date << ", column " << col;
}

class DayCodesRun : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(GetParam()); }
};

}  // namespace

// Whole-day codes and a leave key: a 24-hour mission, a daily mission on
// Thursday and Saturday with the Friday between, unpaid leave, an absence
// day, a paid leave key pressed at the exit that covers the next day, and
// the absent days of the second half of the month with their Fridays.
TEST_P(DayCodesRun, DayCodesFromThePunchTable) {
    CodeDb m(GetParam());
    for (int d : {1, 2, 7, 10, 13}) m.Worked("1393/02/" + std::string(d < 10 ? "0" : "") + std::to_string(d));
    m.DayCode("1393/02/03", 71);
    m.DayCode("1393/02/04", 61);
    m.DayCode("1393/02/06", 61);
    m.DayCode("1393/02/08", 32);
    m.DayCode("1393/02/09", 91);
    // Wednesday the 10th: out at 16:00 with the key of paid leave 43; no
    // punch on Thursday, back on Saturday.
    m.db->Execute("update c139302 set clock_recstate=43 where clock_date='1393/02/10' and clock_time=960");
    RunResult r = m.Calculate();
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = m.Stored();

    Expect(rows, "1393/02/01", {{"Prc_kind", 0}, {"Prc_PureWork", 480}, {"Prc_PureDayWork", 1}, {"Prc_bimehwork", 1},
                                {"Prc_standardwork", 480}, {"Prc_NormWorkDay", 1}, {"Prc_PresenceWorkDay", 1},
                                {"Prc_DayAbsence", 0}});
    // Mission days: the fixed 600 minutes exceed the shift by 120.
    for (const char* d : {"1393/02/04", "1393/02/06"})
        Expect(rows, d, {{"Prc_kind", 61}, {"Prc_DayMission", 1}, {"Prc_DayMission61", 1}, {"Prc_PureWork", 480},
                         {"Prc_PureDayWork", 1}, {"prc_validaddwork", 120}, {"prc_hourabsence", 0},
                         {"Prc_DayAbsence", 0}});
    Expect(rows, "1393/02/03", {{"Prc_kind", 71}, {"Prc_FullMission", 1}, {"Prc_FullMission71", 1},
                                {"Prc_DayMission", 0}, {"Prc_PureWork", 480}, {"prc_validaddwork", 120},
                                {"prc_hourabsence", 0}, {"Prc_DayAbsence", 0}});
    // The Friday between two mission days is a mission day.
    Expect(rows, "1393/02/05", {{"Prc_Type", 1}, {"Prc_DayMission", 1}, {"Prc_DayAbsence", 0}});
    Expect(rows, "1393/02/08", {{"Prc_kind", 32}, {"Prc_DayleaveNoSalary", 1}, {"Prc_PureWork", 0},
                                {"Prc_TotalWork", 0}, {"Prc_PureDayWork", 0}, {"prc_hourabsence", 0},
                                {"Prc_DayAbsence", 0}});
    Expect(rows, "1393/02/09", {{"Prc_kind", 91}, {"Prc_DayAbsence", 1}, {"Prc_DayAbsencePure", 1},
                                {"Prc_PureWork", 0}, {"Prc_TotalWork", 0}, {"prc_hourabsence", 0},
                                {"Prc_TakhirLessWork", 0}, {"Prc_NormWork", 480}});
    Expect(rows, "1393/02/10", {{"Prc_kind", 43}, {"Prc_PureWork", 480}, {"Prc_DayleaveSalary", 0}});
    Expect(rows, "1393/02/11", {{"Prc_kind", 43}, {"Prc_DayleaveSalary", 1}, {"Prc_DayleaveSalary43", 1},
                                {"Prc_PureWork", 480}, {"Prc_TotalWork", 480}, {"Prc_PureDayWork", 1},
                                {"prc_hourabsence", 0}, {"Prc_DayAbsence", 0}});
    Expect(rows, "1393/02/13", {{"Prc_kind", 0}, {"Prc_DayleaveSalary", 0}, {"Prc_PureWork", 480}});
    // A scheduled day without punches or code is a day of absence.
    Expect(rows, "1393/02/14", {{"Prc_kind", 91}, {"Prc_DayAbsence", 1}, {"prc_hourabsence", 0}});
    // A Friday between two absent days is absent, its work credit gone.
    Expect(rows, "1393/02/19", {{"Prc_Type", 1}, {"Prc_DayAbsence", 1}, {"Prc_DayAbsencePure", 1},
                                {"Prc_PureWork", 0}, {"Prc_PureDayWork", 0}, {"Prc_bimehwork", 0}});
}

// The period ends on a day without shift after an absent day: the next
// working day decides. Without a punch up to it the last day is absent.
TEST_P(DayCodesRun, PeriodEndingOnARestDayLooksAhead) {
    for (bool punched : {false, true}) {
        SCOPED_TRACE(punched);
        CodeDb m(GetParam());
        for (int d = 1; d <= 29; ++d) m.Worked("1393/02/" + std::string(d < 10 ? "0" : "") + std::to_string(d));
        m.Rest("1393/02/31");
        if (punched) m.Worked("1393/03/01");
        RunResult r = m.Calculate();
        ASSERT_EQ(r.status, 0) << r.err;
        auto rows = m.Stored();
        Expect(rows, "1393/02/30", {{"Prc_DayAbsence", 1}});
        Expect(rows, "1393/02/31", {{"Prc_Type", 1}, {"Prc_DayAbsence", punched ? 0 : 1},
                                    {"Prc_PureWork", punched ? 480 : 0}});
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, DayCodesRun, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);
