// The daily calculation end to end: the built program calculates a month from
// a small database of our own (a few rules and shifts, a few persons with
// hand-picked punches) and the stored day rows are checked field
// by field. The expected values are worked out by hand from the rules of the
// calculation, not taken from the program.
//
// The month is 1393/02 (31 days, the 1st is a Monday, Fridays are the 5th,
// 12th, 19th and 26th). There are no holidays. The rule tolerates 15 minutes
// of lateness and 10 minutes of early leave and allows no overtime before or
// after the shift, so the gross work of a scheduled day is its net work.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "calendar/Holidays.h"
#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

constexpr int H(int h, int m) { return h * 60 + m; }
constexpr int kNone = -1000;

std::string Date(int y, int m, int d) {
    char b[16];
    std::snprintf(b, sizeof b, "%04d/%02d/%02d", y, m, d);
    return b;
}

const char* kPunchColumns[] = {"Prc_FirstIn",  "Prc_FirstOut",  "Prc_SecondIn", "Prc_SecondOut", "Prc_ThirdIn",
                               "Prc_ThirdOut", "Prc_Fourthin",  "Prc_FourthOut", "Prc_FifthIn", "Prc_FifthOut",
                               "Prc_LastIn",   "Prc_LastOut",   "Prc_LastInOut"};

// The thirteen punch columns of a day whose punches are `times` (in, out, in,
// ...): the first ten slots, then the last pair's entry, its exit (none when
// the count is odd) and the last punch.
std::vector<std::pair<std::string, int>> PunchFields(const std::vector<int>& times) {
    std::vector<std::pair<std::string, int>> f;
    for (int i = 0; i < 10; ++i) f.push_back({kPunchColumns[i], i < static_cast<int>(times.size()) ? times[i] : kNone});
    const int n = static_cast<int>(times.size());
    const int lastIn = n == 0 ? kNone : times[(n - 1) / 2 * 2];
    f.push_back({"Prc_LastIn", lastIn});
    f.push_back({"Prc_LastOut", n > 0 && n % 2 == 0 ? times[n - 1] : kNone});
    f.push_back({"Prc_LastInOut", n == 0 ? kNone : times[n - 1]});
    return f;
}

// An empty database with every table the run reads, the rule, the shifts and
// the group schedules; persons and punches are added by each test.
struct MonthDb {
    RunHome h;
    std::unique_ptr<Database> db;
    TRunContext ctx;

    explicit MonthDb(Backend b) : h(b, 1393, 2, /*seed=*/false), db(h.Db()) {
        ctx.db = db.get();
        ctx.home = h.dir.path().string();
        db->Begin();  // the fixture is written in one go, committed before the first run
        for (const char* t : {"init", "qvlog", "holiday", "persons", "rules", "rulesetc", "shifts", "grp_dtl",
                              "spshift", "sprule", "spgroup", "readers", "trouble", "morkhasi", "smorkhasi", "spmor",
                              "addfree", "p139301", "p139302"})
            CreateTableIfMissing(ctx, t);
        for (const char* d : {"1393/01/01", "1393/02/01", "1393/03/01"}) {
            EnsureClockTables(ctx, d);
            for (const char* p : {"t", "e", "a"}) CreateTableIfMissing(ctx, MonthTableName(p, d));
        }
        Rule(1, {}, {});
        Shift(1, 1, H(8, 0), H(16, 0));    // day shift
        Shift(2, 1, H(22, 0), H(30, 0));   // night shift, ends 06:00 the next morning
        Shift(4, 1, H(16, 0), H(24, 0));   // evening shift to midnight
        Shift(5, 1, H(0, 0), H(8, 0));     // early shift from midnight
        Group(1, 1);
        Group(2, 2);
        Group(3, 0);  // no shifts; special shifts give some days one
    }

    // A rule: 15 minutes of lateness and 10 of early leave tolerated, no
    // allowance for absence inside the shift, no daily limits, night from
    // 18:00 to 06:00; `rules` and `etc` add or replace columns of the two
    // rule tables.
    void Rule(int code, std::vector<SqlField> rules, std::vector<SqlField> etc) {
        std::vector<SqlField> r{{"Rule_Code", DbValue::Int(code)}, {"Rule_Name", DbValue::Text("test")},
                                {"Rule_GMT1", DbValue::Int(15)}, {"Rule_GMT2", DbValue::Int(10)},
                                {"Rule_GMB", DbValue::Int(0)}, {"Rule_GMaxD", DbValue::Int(999)},
                                {"Rule_GSLimit", DbValue::Int(999)}};
        std::vector<SqlField> e{{"Rule_Code", DbValue::Int(code)}, {"Rule_StartDay", DbValue::Int(360)},
                                {"Rule_StartNight", DbValue::Int(1080)}};
        auto merge = [](std::vector<SqlField>& into, const std::vector<SqlField>& extra) {
            for (const SqlField& f : extra) {
                bool replaced = false;
                for (SqlField& g : into)
                    if (EqualsNoCase(g.column, f.column)) g = f, replaced = true;
                if (!replaced) into.push_back(f);
            }
        };
        merge(r, rules);
        merge(e, etc);
        db->Insert("rules", r);
        db->Insert("rulesetc", e);
    }
    void Shift(int code, int count, int from, int to) {
        db->Insert("shifts", {{"SH_Code", DbValue::Int(code)}, {"SH_Count", DbValue::Int(count)},
                              {"SH_Name", DbValue::Text("s" + std::to_string(code))}, {"SH_From1", DbValue::Int(from)},
                              {"SH_To1", DbValue::Int(to)}, {"SH_From2", DbValue::Int(0)}, {"SH_To2", DbValue::Int(0)},
                              {"SH_From3", DbValue::Int(0)}, {"SH_To3", DbValue::Int(0)}, {"Sh_Kind", DbValue::Int(0)},
                              {"Sh_Nesab", DbValue::Int(0)}, {"Sh_Type", DbValue::Int(0)}});
    }
    // `shift` on every day of 1393 but Fridays; one character per day holding
    // the shift code + 1.
    void Group(int group, int shift) {
        std::vector<SqlField> f{{"Grd_Code", DbValue::Int(group)}, {"Grd_Year", DbValue::Int(1393)}};
        for (int m = 1; m <= 12; ++m) {
            std::string text;
            for (int d = 1; d <= 31; ++d) text += static_cast<char>(Weekday(1393, m, d) == 6 ? 1 : shift + 1);
            f.push_back({"Grd_M" + std::to_string(m), DbValue::Text(text)});
        }
        db->Insert("grp_dtl", f);
    }
    void Person(const std::string& code, int shiftGroup, const std::string& jobDate = "1390/01/01",
                int ruleGroup = 1, const std::string& endJobDate = "") {
        db->Insert("persons", {{"P_BarCode", DbValue::Text(code)}, {"P_Proxi", DbValue::Text(code)},
                               {"P_Name", DbValue::Text("n")}, {"P_Family", DbValue::Text("f")},
                               {"P_Param", DbValue::Int(0)}, {"P_JobDate", DbValue::Text(jobDate)},
                               {"P_ShiftGroup", DbValue::Int(shiftGroup)}, {"P_RuleGroup", DbValue::Int(ruleGroup)},
                               {"P_EndJobDate", DbValue::Text(endJobDate)}, {"P_IsValid", DbValue::Int(1)}});
    }
    // A punch; `change` 0 is a reader's punch, 1 one entered by hand, 2 a
    // whole-day code `state`.
    void Punch(const std::string& code, const std::string& date, int minute, int change = 0, int state = 0) {
        db->Insert(MonthTableName("c", date),
                   {{"Clock_BarCode", DbValue::Text(code)}, {"Clock_Date", DbValue::Text(date)},
                    {"Clock_Time", DbValue::Int(minute)}, {"Clock_RdrCode", DbValue::Int(1)},
                    {"Clock_Chg", DbValue::Int(change)}, {"Clock_RecState", DbValue::Int(state)},
                    {"Clock_User", DbValue::Text("")}});
    }
    void SpecialShift(const std::string& code, const std::string& date, int shift) {
        db->Insert("spshift", {{"SP_CardNo", DbValue::Text(code)}, {"SP_Date", DbValue::Text(date)},
                               {"SP_ShCode", DbValue::Int(shift)}, {"SP_kind", DbValue::Int(0)},
                               {"SP_ID", DbValue::Int(1)}});
    }
    // A stored result row with the given columns.
    void StoredRow(const std::string& code, const std::string& date, std::vector<SqlField> cols) {
        cols.insert(cols.begin(), {{"Prc_PCode", DbValue::Text(code)}, {"Prc_Date", DbValue::Text(date)}});
        db->Insert(MonthTableName("p", date), cols);
    }

    RunResult Calculate(const std::string& code, const std::string& now = "1393/03/05 10:00",
                        const std::string& month = "2") {
        if (db->InTransaction()) db->Commit();
        return h.Run({code, "1393", month}, now);
    }

    // The person's stored day rows of a month table, by date (the month-total
    // row, day "00", is not a day).
    std::map<std::string, Rows> RowsByDate(const std::string& code, const std::string& table = "p139302") {
        std::map<std::string, Rows> out;
        Rows all = db->Query("select * from " + table + " where prc_pcode=" + db->dialect().Quote(code) +
                             " and prc_date not like '%/00' order by prc_date");
        for (std::size_t i = 0; i < all.Count(); ++i) {
            Rows one("stored", all.Columns());
            std::vector<DbValue> v;
            for (std::size_t c = 0; c < all.Columns().size(); ++c) v.push_back(all.Value(i, c));
            one.AddRow(std::move(v));
            out.emplace(all.Text(i, "Prc_Date"), std::move(one));
        }
        return out;
    }
    std::vector<std::string> Dates(const std::string& code, const std::string& table = "p139302") {
        std::vector<std::string> d;
        for (auto& [date, row] : RowsByDate(code, table)) d.push_back(date);
        return d;
    }
};

// One expected day: the date and the columns to compare.
struct DayCase {
    const char* what;
    std::string date;
    std::vector<std::pair<std::string, int>> fields;
};

DayCase Day(const char* what, const std::string& date, const std::vector<int>& punches,
            std::vector<std::pair<std::string, int>> fields) {
    DayCase c{what, date, PunchFields(punches)};
    c.fields.insert(c.fields.end(), fields.begin(), fields.end());
    return c;
}

void ExpectDays(MonthDb& m, const std::string& code, const std::vector<DayCase>& cases) {
    std::map<std::string, Rows> rows = m.RowsByDate(code);
    for (const DayCase& c : cases) {
        auto it = rows.find(c.date);
        if (it == rows.end()) {
            ADD_FAILURE() << c.what << ": no stored row for " << c.date;
            continue;
        }
        for (const auto& [col, want] : c.fields)
            EXPECT_EQ(it->second.Int(0, col), want) << c.what << " (" << c.date << "), column " << col;
    }
}

std::vector<std::string> MonthDates(int from, int to) {
    std::vector<std::string> d;
    for (int i = from; i <= to; ++i) d.push_back(Date(1393, 2, i));
    return d;
}

class DayCalc : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(GetParam()); }
};

}  // namespace

// The day shift 08:00-16:00: a normal day, tolerated and real lateness, early
// leave, a Friday without schedule, and days without punches or without an
// exit.
TEST_P(DayCalc, DayShiftDays) {
    MonthDb m(GetParam());
    m.Person("2001", 1);
    const auto P = [&](int day, std::vector<int> times) {
        for (int t : times) m.Punch("2001", Date(1393, 2, day), t);
    };
    P(1, {H(8, 0), H(16, 0)});
    P(2, {H(8, 10), H(16, 0)});
    P(3, {H(8, 40), H(16, 0)});
    P(4, {H(8, 0), H(15, 30)});
    P(6, {H(8, 0), H(10, 0), H(11, 0), H(16, 0)});
    P(8, {H(8, 0)});
    P(9, {H(8, 0), H(12, 0), H(13, 0)});
    RunResult r = m.Calculate("2001");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(m.Dates("2001"), MonthDates(1, 31));

    const std::vector<std::pair<std::string, int>> scheduled{
        {"Prc_NormWork", 480}, {"Prc_Type", 0}, {"Prc_shiftcode", 1}, {"Prc_28", 0},
        {"Prc_changed", 0}, {"Prc_PureWorkNight", 0}};
    // The day is stored with the first code met on its timeline: 97 on a day
    // whose last pair has no exit.
    auto With = [&](std::vector<std::pair<std::string, int>> f, int kind = 0) {
        f.insert(f.end(), scheduled.begin(), scheduled.end());
        f.emplace_back("Prc_kind", kind);
        return f;
    };
    ExpectDays(m, "2001", {
        Day("normal day", "1393/02/01", {480, 960},
            With({{"Prc_PresenceWork", 480}, {"Prc_PureWork", 480}, {"Prc_PureWorkKham", 480}, {"Prc_TotalWork", 480},
                  {"prc_hourabsence", 0}, {"Prc_TakhirLessWork", 0}, {"Prc_TajilLessWork", 0},
                  {"Prc_validTakhir", 0}, {"Prc_validTajil", 0}, {"Prc_ValidLessWork", 0},
                  {"Prc_AbsenceNaghes", 0}})),
        // 10 minutes late, within the 15 tolerated.
        Day("tolerated lateness", "1393/02/02", {490, 960},
            With({{"Prc_PresenceWork", 470}, {"Prc_PureWorkKham", 470}, {"Prc_validTakhir", 10},
                  {"Prc_ValidLessWork", 10}, {"Prc_TakhirLessWork", 0}, {"prc_hourabsence", 0}})),
        // 40 minutes late: 15 tolerated, 25 lateness and hour absence.
        Day("lateness", "1393/02/03", {520, 960},
            With({{"Prc_PresenceWork", 440}, {"Prc_PureWorkKham", 440}, {"Prc_validTakhir", 15},
                  {"Prc_ValidLessWork", 15}, {"Prc_TakhirLessWork", 25}, {"prc_hourabsence", 25},
                  {"Prc_TajilLessWork", 0}})),
        // Leaves 30 minutes early: 10 tolerated, 20 early leave and absence.
        Day("early leave", "1393/02/04", {480, 930},
            With({{"Prc_PresenceWork", 450}, {"Prc_PureWorkKham", 450}, {"Prc_validTajil", 10},
                  {"Prc_ValidLessWork", 10}, {"Prc_TajilLessWork", 20}, {"prc_hourabsence", 20},
                  {"Prc_TakhirLessWork", 0}})),
        // Out 10:00-11:00 inside the shift: the hour is not worked.
        Day("absence inside the shift", "1393/02/06", {480, 600, 660, 960},
            With({{"Prc_PresenceWork", 420}, {"Prc_PureWork", 420}, {"Prc_PureWorkKham", 420},
                  {"Prc_TotalWork", 420}, {"Prc_TakhirLessWork", 0},
                  {"Prc_TajilLessWork", 0}, {"Prc_ValidLessWork", 0}})),
        Day("Friday without schedule", "1393/02/05", {},
            {{"Prc_NormWork", 0}, {"Prc_Type", 1}, {"Prc_shiftcode", 0}, {"Prc_PresenceWork", 0},
             {"Prc_PureWork", 0}, {"Prc_TotalWork", 0}, {"prc_hourabsence", 0}, {"Prc_TakhirLessWork", 0},
             {"Prc_ValidLessWork", 0}, {"Prc_kind", 0}}),
        // The whole shift passes without the person: lateness of 480 with 15
        // tolerated. With no work beyond the tolerated part the day is an
        // absent day: nothing counts as work and, as the rule converts no
        // absence into days, the schedule is absence as time.
        Day("no punches", "1393/02/07", {},
            With({{"Prc_PresenceWork", 0}, {"Prc_PureWorkKham", 0}, {"Prc_TakhirLessWork", 465},
                  {"Prc_validTakhir", 15}, {"Prc_ValidLessWork", 15}, {"Prc_TajilLessWork", 0},
                  {"Prc_AbsenceNaghes", 0}, {"Prc_PureWork", 0}, {"Prc_TotalWork", 0}, {"prc_dayabsence", 0},
                  {"Prc_HourDayAbsence", 480}})),
        // An entry without exit: the pair is incomplete (out = in), the rest
        // of the shift is early leave.
        Day("entry without exit", "1393/02/08", {480},
            With({{"Prc_PresenceWork", 0}, {"Prc_PureWorkKham", 0}, {"Prc_AbsenceNaghes", 1},
                  {"Prc_TajilLessWork", 470}, {"Prc_validTajil", 10}, {"Prc_ValidLessWork", 10},
                  {"Prc_TakhirLessWork", 0}, {"Prc_PureWork", 0}, {"Prc_TotalWork", 0}, {"prc_dayabsence", 0},
                  {"Prc_HourDayAbsence", 480}},
                 97)),
        // Out for lunch and never out again: the last pair is incomplete,
        // the afternoon after 13:00 is early leave.
        Day("three punches", "1393/02/09", {480, 720, 780},
            With({{"Prc_PresenceWork", 240}, {"Prc_PureWorkKham", 240}, {"Prc_AbsenceNaghes", 1},
                  {"Prc_TajilLessWork", 170}, {"Prc_validTajil", 10}, {"Prc_TakhirLessWork", 0}},
                 97)),
    });
}

// Each day is calculated with its own rule: a special rule for the 3rd
// tolerates an hour of lateness, the days around it keep the person's rule.
// A hand-entered punch marks its day as changed; a whole-day code is the
// day's code.
TEST_P(DayCalc, RulePerDayChangedPunchesAndDayCodes) {
    MonthDb m(GetParam());
    m.Rule(3, {{"Rule_GMT1", DbValue::Int(60)}}, {});
    m.Person("2001", 1);
    m.db->Insert("sprule", {{"SP_CardNo", DbValue::Text("2001")}, {"SP_Date", DbValue::Text("1393/02/03")},
                            {"SP_RuleCode", DbValue::Int(3)}});
    for (int day : {2, 3, 4}) {
        m.Punch("2001", Date(1393, 2, day), H(8, 40));
        m.Punch("2001", Date(1393, 2, day), H(16, 0));
    }
    m.Punch("2001", "1393/02/06", H(8, 0), /*change=*/1);
    m.Punch("2001", "1393/02/06", H(16, 0));
    m.Punch("2001", "1393/02/09", 0, /*change=*/2, /*state=*/41);
    RunResult r = m.Calculate("2001");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::pair<std::string, int>> ownRule{
        {"Prc_validTakhir", 15}, {"Prc_TakhirLessWork", 25}, {"prc_hourabsence", 25}, {"Prc_PureWorkKham", 440}};
    ExpectDays(m, "2001", {
        Day("own rule before", "1393/02/02", {520, 960}, ownRule),
        Day("special rule", "1393/02/03", {520, 960},
            {{"Prc_validTakhir", 40}, {"Prc_ValidLessWork", 40}, {"Prc_TakhirLessWork", 0}, {"prc_hourabsence", 0},
             {"Prc_PureWorkKham", 440}}),
        Day("own rule after", "1393/02/04", {520, 960}, ownRule),
        Day("punch entered by hand", "1393/02/06", {480, 960}, {{"Prc_changed", 1}, {"Prc_PureWorkKham", 480}}),
        Day("reader punches only", "1393/02/04", {520, 960}, {{"Prc_changed", 0}}),
        Day("whole-day code", "1393/02/09", {}, {{"Prc_kind", 41}, {"Prc_PresenceWork", 0}, {"Prc_changed", 2}}),
    });
}

// A rule that rounds punches to the nearest quarter hour, drops a machine
// punch within 2 minutes of the one before, and adds the shift's start and
// end when the entry or the exit is missing.
TEST_P(DayCalc, RoundingRepeatsAndAutomaticPunches) {
    MonthDb m(GetParam());
    m.Rule(2, {}, {{"Rule_IsRound", DbValue::Int(1)}, {"Rule_RoundTime", DbValue::Int(15)},
                   {"Rule_RoundType", DbValue::Int(3)}, {"Rule_trdnear", DbValue::Int(2)},
                   {"Rule_InCard", DbValue::Int(1)}, {"Rule_OutCard", DbValue::Int(1)}});
    m.Person("2005", 1, "1390/01/01", /*ruleGroup=*/2);
    m.Punch("2005", "1393/02/01", H(8, 8));
    m.Punch("2005", "1393/02/01", H(16, 0));
    m.Punch("2005", "1393/02/02", H(8, 0));
    m.Punch("2005", "1393/02/02", H(8, 1));
    m.Punch("2005", "1393/02/02", H(16, 0));
    m.Punch("2005", "1393/02/03", H(12, 30));
    m.Punch("2005", "1393/02/04", H(8, 0));
    RunResult r = m.Calculate("2005");
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectDays(m, "2005", {
        // The stored punch is the one read; the calculation uses 08:15.
        Day("rounded entry", "1393/02/01", {488, 960},
            {{"Prc_PresenceWork", 465}, {"Prc_PureWorkKham", 465}, {"Prc_validTakhir", 15},
             {"Prc_TakhirLessWork", 0}, {"Prc_changed", 0}}),
        Day("repeat dropped", "1393/02/02", {480, 960}, {{"Prc_PresenceWork", 480}, {"Prc_PureWorkKham", 480}}),
        // The first punch lies after the middle of the shift (12:00): an
        // entry at 08:00 is added and 12:30 is the exit.
        Day("automatic entry", "1393/02/03", {480, 750},
            {{"Prc_PresenceWork", 270}, {"Prc_PureWorkKham", 270}, {"Prc_changed", 1}, {"Prc_validTajil", 10},
             {"Prc_TajilLessWork", 200}, {"prc_hourabsence", 200}}),
        Day("automatic exit", "1393/02/04", {480, 960},
            {{"Prc_PresenceWork", 480}, {"Prc_PureWorkKham", 480}, {"Prc_AbsenceNaghes", 0}}),
        Day("both automatic", "1393/02/06", {480, 960}, {{"Prc_PresenceWork", 480}, {"Prc_PureWorkKham", 480}}),
        Day("Friday", "1393/02/05", {}, {{"Prc_PresenceWork", 0}, {"Prc_Type", 1}}),
    });
}

// A day row edited by hand is calculated again and overwritten (only the
// month-total row is protected); it stays one row, and a column the
// calculation never writes keeps its value.
TEST_P(DayCalc, HandEditedDayRowIsOverwritten) {
    MonthDb m(GetParam());
    m.Person("2001", 1);
    m.Punch("2001", "1393/02/01", H(8, 0));
    m.Punch("2001", "1393/02/01", H(16, 0));
    m.StoredRow("2001", "1393/02/01",
                {{"Prc_changed", DbValue::Int(1)}, {"Prc_PureWork", DbValue::Int(999)},
                 {"Prc_FirstIn", DbValue::Int(1)}, {"Prc_HourAbsence", DbValue::Int(5)},
                 {"Prc_Type", DbValue::Int(4)}, {"Prc_BeinLessWork", DbValue::Int(77)}});
    RunResult r = m.Calculate("2001");
    ASSERT_EQ(r.status, 0) << r.err;
    Rows one = m.db->Query("select * from p139302 where prc_pcode='2001' and prc_date='1393/02/01'");
    ASSERT_EQ(one.Count(), 1u);
    EXPECT_EQ(one.Int(0, "Prc_changed"), 0);
    EXPECT_EQ(one.Int(0, "Prc_PureWork"), 480);
    EXPECT_EQ(one.Int(0, "Prc_FirstIn"), 480);
    EXPECT_EQ(one.Int(0, "Prc_LastInOut"), 960);
    EXPECT_EQ(one.Int(0, "prc_hourabsence"), 0);
    EXPECT_EQ(one.Int(0, "Prc_Type"), 0);
    EXPECT_EQ(one.Int(0, "Prc_BeinLessWork"), 77);

    // Calculating again changes nothing and adds no row.
    std::map<std::string, Rows> before = m.RowsByDate("2001");
    RunResult again = m.Calculate("2001");
    ASSERT_EQ(again.status, 0) << again.err;
    std::map<std::string, Rows> after = m.RowsByDate("2001");
    ASSERT_EQ(after.size(), before.size());
    for (auto& [date, row] : before)
        for (const std::string& col : row.Columns())
            EXPECT_EQ(after.at(date).Text(0, col), row.Text(0, col)) << date << " " << col;
}

// Back-to-back shifts 16:00-24:00 and 00:00-08:00 (special shifts of two
// days): an entry at 15:55 and the next punch at 08:05 the next morning. The
// open pair is closed at midnight and marked 29, and the next day opens at
// its window start, midnight.
TEST_P(DayCalc, OpenPairCarriedIntoTheNextDay) {
    MonthDb m(GetParam());
    m.Person("2003", 3);
    m.SpecialShift("2003", "1393/02/10", 4);
    m.SpecialShift("2003", "1393/02/11", 5);
    m.Punch("2003", "1393/02/10", H(15, 55));
    m.Punch("2003", "1393/02/11", H(8, 5));
    RunResult r = m.Calculate("2003");
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectDays(m, "2003", {
        // Work 16:00-24:00, of which 18:00-24:00 is night.
        Day("evening shift", "1393/02/10", {955, 1440},
            {{"Prc_28", 29}, {"Prc_shiftcode", 4}, {"Prc_NormWork", 480}, {"Prc_PresenceWork", 485},
             {"Prc_PureWork", 480}, {"Prc_PureWorkKham", 480}, {"Prc_TotalWork", 480},
             {"Prc_PureWorkNight", 360}, {"Prc_AbsenceNaghes", 0}, {"prc_hourabsence", 0},
             {"Prc_TajilLessWork", 0}, {"Prc_kind", 0}, {"Prc_Type", 0}}),
        // Work 00:00-08:00, of which 00:00-06:00 is night.
        Day("early shift", "1393/02/11", {0, 485},
            {{"Prc_28", 0}, {"Prc_shiftcode", 5}, {"Prc_NormWork", 480}, {"Prc_PresenceWork", 485},
             {"Prc_PureWork", 480}, {"Prc_PureWorkKham", 480}, {"Prc_TotalWork", 480},
             {"Prc_PureWorkNight", 360}, {"Prc_TakhirLessWork", 0}, {"Prc_validTakhir", 0},
             {"prc_hourabsence", 0}, {"Prc_kind", 0}, {"Prc_Type", 0}}),
        Day("no shift", "1393/02/12", {}, {{"Prc_NormWork", 0}, {"Prc_Type", 1}, {"Prc_28", 0}}),
    });
}

// With a rule that reads every entry as the start of continuous overtime
// (mark 28), an entry at 22:00 without exit closes at the day's window end,
// 23:59, and the next day opens at its window start, one minute before
// midnight, until the exit at 06:00.
TEST_P(DayCalc, OvertimeEntryCarriedPastMidnight) {
    MonthDb m(GetParam());
    m.Rule(4, {}, {{"Rule_In1_Out2", DbValue::Int(1)}, {"Rule_In1_Out2_28", DbValue::Int(1)}});
    m.Person("2007", 1, "1390/01/01", /*ruleGroup=*/4);
    m.Punch("2007", "1393/02/01", H(22, 0));
    m.Punch("2007", "1393/02/02", H(6, 0));
    RunResult r = m.Calculate("2007");
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectDays(m, "2007", {
        Day("entry", "1393/02/01", {1320, 1439}, {{"Prc_28", 28}, {"Prc_PresenceWork", 119}, {"Prc_NormWork", 480}}),
        Day("exit", "1393/02/02", {-1, 360}, {{"Prc_28", 0}, {"Prc_PresenceWork", 361}, {"Prc_NormWork", 480}}),
    });
}

// The night shift 22:00-06:00. The month before is stored up to its last
// night, whose exit at 06:00 on the 1st is the stored last punch: the punches
// of that night are left to it. The last night of the month takes its exit
// from the first morning of the next month, and the entry of that next
// evening stays out.
TEST_P(DayCalc, NightShiftAcrossMidnightAndThePeriodEdges) {
    MonthDb m(GetParam());
    m.Person("2002", 2);
    m.StoredRow("2002", "1393/01/31", {{"Prc_LastInOut", DbValue::Int(1800)}, {"Prc_28", DbValue::Int(0)}});
    m.Punch("2002", "1393/01/31", H(22, 0));
    m.Punch("2002", "1393/02/01", H(6, 0));
    m.Punch("2002", "1393/02/01", H(22, 0));
    m.Punch("2002", "1393/02/02", H(6, 0));
    m.Punch("2002", "1393/02/04", H(22, 0));  // Thursday night into a Friday without shift
    m.Punch("2002", "1393/02/05", H(6, 0));
    m.Punch("2002", "1393/02/31", H(22, 0));
    m.Punch("2002", "1393/03/01", H(6, 0));
    m.Punch("2002", "1393/03/01", H(22, 0));
    RunResult r = m.Calculate("2002", "1393/03/02 10:00");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(m.Dates("2002"), MonthDates(1, 31));
    EXPECT_TRUE(!m.h.HasTable("p139303") || m.Dates("2002", "p139303").empty());
    const std::vector<std::pair<std::string, int>> night{
        {"Prc_shiftcode", 2}, {"Prc_NormWork", 480}, {"Prc_PresenceWork", 480}, {"Prc_PureWork", 480},
        {"Prc_PureWorkKham", 480}, {"Prc_TotalWork", 480}, {"Prc_PureWorkNight", 480}, {"prc_hourabsence", 0},
        {"Prc_TakhirLessWork", 0}, {"Prc_TajilLessWork", 0}, {"Prc_28", 0}, {"Prc_Type", 0}};
    ExpectDays(m, "2002", {
        Day("first night", "1393/02/01", {1320, 1800}, night),
        Day("night before a Friday", "1393/02/04", {1320, 1800}, night),
        Day("Friday", "1393/02/05", {}, {{"Prc_Type", 1}, {"Prc_NormWork", 0}, {"Prc_PresenceWork", 0}}),
        Day("last night", "1393/02/31", {1320, 1800}, night),
    });
    // The stored row of the day before is read, not written.
    Rows prev = m.db->Query("select * from p139301 where prc_pcode='2002'");
    ASSERT_EQ(prev.Count(), 1u);
    EXPECT_EQ(prev.Int(0, "Prc_FirstIn"), 0);
}

// Without a stored row of the day before, nothing tells the first day that
// the night before was worked: its punches fall into the first day's window
// (it opens 62 minutes before the day's line starts, widened by another 60)
// and count as presence outside the schedule.
TEST_P(DayCalc, NightBeforeThePeriodWithoutStoredRow) {
    MonthDb m(GetParam());
    m.Person("2002", 2);
    m.Punch("2002", "1393/01/31", H(22, 0));
    m.Punch("2002", "1393/02/01", H(6, 0));
    m.Punch("2002", "1393/02/01", H(22, 0));
    m.Punch("2002", "1393/02/02", H(6, 0));
    m.db->Execute("drop table p139301");
    RunResult r = m.Calculate("2002", "1393/03/02 10:00");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(m.h.HasTable("p139301")) << "the table of the day before the period is created";
    ExpectDays(m, "2002", {
        Day("first night", "1393/02/01", {-120, 360, 1320, 1800},
            {{"Prc_NormWork", 480}, {"Prc_PresenceWork", 960}, {"Prc_PureWork", 480},
             {"Prc_PureWorkKham", 480}, {"Prc_PureWorkNight", 480}}),
    });
}

// Two months calculated one after the other: the second month learns from
// the row the first one stored for its last day that the night of the 31st
// ended at 06:00 on the 1st.
TEST_P(DayCalc, NightShiftOverTwoCalculatedMonths) {
    MonthDb m(GetParam());
    m.Person("2002", 2);
    for (const char* d : {"1393/01/30", "1393/01/31", "1393/02/01"}) {
        m.Punch("2002", d, H(22, 0));
        m.Punch("2002", AddDays(d, 1), H(6, 0));
    }
    RunResult first = m.Calculate("2002", "1393/03/05 10:00", "1");
    ASSERT_EQ(first.status, 0) << first.err;
    RunResult second = m.Calculate("2002");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(m.Dates("2002", "p139301").size(), 31u);
    const std::vector<std::pair<std::string, int>> night{
        {"Prc_NormWork", 480}, {"Prc_PresenceWork", 480}, {"Prc_PureWorkKham", 480}, {"Prc_PureWorkNight", 480}};
    std::map<std::string, Rows> jan = m.RowsByDate("2002", "p139301");
    ASSERT_TRUE(jan.count("1393/01/31"));
    for (const auto& [col, want] : PunchFields({1320, 1800})) EXPECT_EQ(jan.at("1393/01/31").Int(0, col), want) << col;
    ExpectDays(m, "2002", {Day("first night of the second month", "1393/02/01", {1320, 1800}, night)});
}

// A presence request stands for the punches of a day; a personnel code with
// a quote in it is an ordinary code.
TEST_P(DayCalc, PresenceRequestForAPersonWithAQuoteInTheCode) {
    MonthDb m(GetParam());
    const std::string code = "D'Arc";
    m.Person(code, 1);
    m.db->Insert("t139302", {{"clock_barcode", DbValue::Text(code)}, {"clock_date", DbValue::Text("1393/02/01")},
                             {"clock_time", DbValue::Int(H(8, 0))}, {"clock_etime", DbValue::Int(H(16, 0))},
                             {"clock_RecState", DbValue::Int(87)}, {"clock_Remark", DbValue::Text("")},
                             {"clock_User", DbValue::Text("")}});
    m.Punch(code, "1393/02/02", H(8, 0));
    m.Punch(code, "1393/02/02", H(16, 0));
    RunResult r = m.Calculate(code);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(m.Dates(code), MonthDates(1, 31));
    const std::vector<std::pair<std::string, int>> full{
        {"Prc_NormWork", 480}, {"Prc_PresenceWork", 480}, {"Prc_PureWorkKham", 480}, {"Prc_TakhirLessWork", 0},
        {"Prc_TajilLessWork", 0}};
    ExpectDays(m, code, {
        Day("presence request", "1393/02/01", {480, 960}, full),
        Day("punches", "1393/02/02", {480, 960}, full),
    });
    EXPECT_EQ(m.db->Query("select * from qvlog where qvl_pcode=" + m.db->dialect().Quote(code)).Count(), 1u);
}

// Employment from the 15th: the stored rows of the month before that day are
// deleted, the days from the 15th on are calculated; the punches of the 14th
// belong to no day.
TEST_P(DayCalc, EmploymentStartsInsideThePeriod) {
    MonthDb m(GetParam());
    m.Person("2004", 1, "1393/02/15");
    m.StoredRow("2004", "1393/01/20", {{"Prc_PureWork", DbValue::Int(111)}});
    for (const char* d : {"1393/02/10", "1393/02/14", "1393/02/20"})
        m.StoredRow("2004", d, {{"Prc_PureWork", DbValue::Int(999)}});
    m.Punch("2004", "1393/02/14", H(8, 0));
    m.Punch("2004", "1393/02/14", H(16, 0));
    m.Punch("2004", "1393/02/15", H(8, 0));
    m.Punch("2004", "1393/02/15", H(16, 0));
    RunResult r = m.Calculate("2004");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(m.Dates("2004"), MonthDates(15, 31));
    ExpectDays(m, "2004", {
        Day("first day", "1393/02/15", {480, 960},
            {{"Prc_NormWork", 480}, {"Prc_PresenceWork", 480}, {"Prc_PureWork", 480}, {"Prc_TotalWork", 480}}),
        Day("overwritten", "1393/02/20", {}, {{"Prc_PresenceWork", 0}, {"Prc_PureWorkKham", 0}}),
    });
    Rows before = m.db->Query("select * from p139301 where prc_pcode='2004'");
    ASSERT_EQ(before.Count(), 1u) << "the month before the period is not touched";
    EXPECT_EQ(before.Int(0, "Prc_PureWork"), 111);
}

// Salary months ending on the 28th ("monthnormal" 1): the salary month 2 runs
// from 1393/01/29 to 1393/02/28, and each day is stored in the table of its
// own calendar month.
TEST_P(DayCalc, SalaryMonthSpanningTwoCalendarMonths) {
    MonthDb m(GetParam());
    m.Person("2001", 1);
    m.db->Insert("init", {{"init_title", DbValue::Text("monthnormal")}, {"init_Value", DbValue::Text("1")},
                          {"init_code", DbValue::Int(0)}});
    m.Punch("2001", "1393/01/28", H(8, 0));  // before the period
    m.Punch("2001", "1393/01/28", H(16, 0));
    m.Punch("2001", "1393/01/30", H(8, 5));
    m.Punch("2001", "1393/01/30", H(16, 0));
    m.Punch("2001", "1393/02/28", H(8, 0));
    m.Punch("2001", "1393/02/28", H(15, 0));
    m.Punch("2001", "1393/02/29", H(8, 0));  // after the period
    m.Punch("2001", "1393/02/29", H(16, 0));
    RunResult r = m.Calculate("2001");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(m.Dates("2001", "p139301"), (std::vector<std::string>{"1393/01/29", "1393/01/30", "1393/01/31"}));
    EXPECT_EQ(m.Dates("2001"), MonthDates(1, 28));
    Rows fri = m.db->Query("select * from p139301 where prc_pcode='2001' and prc_date='1393/01/29'");
    ASSERT_EQ(fri.Count(), 1u);
    EXPECT_EQ(fri.Int(0, "Prc_Type"), 1) << "1393/01/29 is a Friday";
    Rows sat = m.db->Query("select * from p139301 where prc_pcode='2001' and prc_date='1393/01/30'");
    ASSERT_EQ(sat.Count(), 1u);
    EXPECT_EQ(sat.Int(0, "Prc_FirstIn"), 485);
    EXPECT_EQ(sat.Int(0, "Prc_LastInOut"), 960);
    EXPECT_EQ(sat.Int(0, "Prc_PureWorkKham"), 475);
    EXPECT_EQ(sat.Int(0, "Prc_validTakhir"), 5);
    ExpectDays(m, "2001", {
        Day("last day", "1393/02/28", {480, 900},
            {{"Prc_NormWork", 480}, {"Prc_PresenceWork", 420}, {"Prc_PureWorkKham", 420},
             {"Prc_TajilLessWork", 50}, {"Prc_validTajil", 10}, {"Prc_TakhirLessWork", 0}}),
    });
}

// The period cut to the employment, for both ends. The rows stored before
// outside the employment are removed, those inside are calculated again. A
// person hired on the last day of the month is calculated for that day.
TEST_P(DayCalc, PeriodCutToTheEmployment) {
    struct Case {
        const char* code;
        const char* job;
        const char* end;
        int first, last;  // days of the month stored, none when first > last
    };
    const Case cases[] = {
        {"e1", "1393/02/31", "", 31, 31},           {"e2", "1390/01/01", "1393/02/20", 1, 20},
        {"e3", "1390/01/01", "1393/02/01", 1, 1},   {"e4", "1393/03/05", "", 1, 0},
        {"e5", "1390/01/01", "1393/01/15", 1, 0},   {"e6", "1393/02/10", "1393/02/12", 10, 12},
    };
    MonthDb m(GetParam());
    for (const Case& c : cases) {
        m.Person(c.code, 1, c.job, 1, c.end);
        for (int day : {1, 11, 16, 31}) m.StoredRow(c.code, Date(1393, 2, day), {{"Prc_PureWork", DbValue::Int(999)}});
    }
    for (const Case& c : cases) {
        RunResult r = m.Calculate(c.code);
        ASSERT_EQ(r.status, 0) << c.code << ": " << r.err;
        EXPECT_EQ(m.Dates(c.code), MonthDates(c.first, c.last)) << c.code << " employed " << c.job << " - " << c.end;
        for (auto& [date, row] : m.RowsByDate(c.code))
            EXPECT_NE(row.Int(0, "Prc_PureWork"), 999) << c.code << " " << date << " was not calculated again";
    }
}

// Future days not allowed ("CalcFuture" 1): the month in progress is
// calculated up to today and no later day is stored.
TEST_P(DayCalc, PeriodCutToToday) {
    MonthDb m(GetParam());
    m.Person("2001", 1);
    m.db->Insert("init", {{"init_title", DbValue::Text("CalcFuture")}, {"init_Value", DbValue::Text("1")},
                          {"init_code", DbValue::Int(0)}});
    m.Punch("2001", "1393/02/10", H(8, 0));
    m.Punch("2001", "1393/02/11", H(8, 0));  // a stray punch after today
    m.Punch("2001", "1393/02/11", H(16, 0));
    RunResult r = m.Calculate("2001", "1393/02/10 08:30");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(m.Dates("2001"), MonthDates(1, 10));
    ExpectDays(m, "2001", {Day("today", "1393/02/10", {480}, {{"Prc_NormWork", 480}})});
    EXPECT_EQ(m.db->Query("select * from qvlog").Count(), 1u);
}

// A run that fails after the days were computed (the calculation log has no
// table) stores nothing: the rows of an earlier run stay as they were, no new
// day appears, and the rows the employment cut deleted are back.
TEST_P(DayCalc, FailedRunLeavesStoredRowsUntouched) {
    MonthDb m(GetParam());
    m.Person("2001", 1);
    m.Person("2004", 1, "1393/02/15");
    m.db->Insert("init", {{"init_title", DbValue::Text("CalcFuture")}, {"init_Value", DbValue::Text("1")},
                          {"init_code", DbValue::Int(0)}});
    m.Punch("2001", "1393/02/02", H(8, 0));
    m.Punch("2001", "1393/02/02", H(16, 0));
    RunResult first = m.Calculate("2001", "1393/02/05 18:00");
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(m.Dates("2001"), MonthDates(1, 5));

    // Change what a new run would find and store.
    m.Punch("2001", "1393/02/03", H(8, 0));
    m.Punch("2001", "1393/02/03", H(12, 0));
    m.db->Execute("update p139302 set Prc_PureWork=12345 where prc_pcode='2001' and prc_date='1393/02/04'");
    m.StoredRow("2004", "1393/02/03", {{"Prc_PureWork", DbValue::Int(7)}});
    std::map<std::string, Rows> before = m.RowsByDate("2001");
    m.db->Execute("drop table qvlog");

    for (const char* code : {"2001", "2004"}) {
        RunResult r = m.Calculate(code, "1393/02/20 18:00");
        EXPECT_EQ(r.status, 1) << code;
        EXPECT_NE(ToLower(r.err).find("qvlog"), std::string::npos) << r.err;
    }
    std::map<std::string, Rows> after = m.RowsByDate("2001");
    ASSERT_EQ(after.size(), before.size());
    for (auto& [date, row] : before) {
        ASSERT_TRUE(after.count(date)) << date;
        for (const std::string& col : row.Columns())
            EXPECT_EQ(after.at(date).Text(0, col), row.Text(0, col)) << date << " " << col;
    }
    EXPECT_EQ(after.at("1393/02/04").Int(0, "Prc_PureWork"), 12345);
    EXPECT_EQ(m.Dates("2004"), std::vector<std::string>{"1393/02/03"});
}

INSTANTIATE_TEST_SUITE_P(Backends, DayCalc, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);
