#include "results/StoreDays.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "db/OdbcDialects.h"
#include "results/ResultsFixture.h"
#include "support/TestSupport.h"

namespace attcalc {
namespace {

using test::DistinctRecord;
using test::FixedNow;
using test::ResultsDb;

// Every stored column of `got` equals that of `want`, except those in `skip`.
void ExpectSameColumns(const TDayRecord& want, const TDayRecord& got, const std::set<std::string>& skip = {}) {
    for (const TDayColumn& c : DayColumns()) {
        if (skip.count(c.name)) continue;
        EXPECT_EQ(DayColumnText(got, c), DayColumnText(want, c)) << c.name;
    }
}

void StoreArray(ResultsDb& t, const std::vector<TDayRecord>& days) {
    ClearDays(t.ctx.days);
    for (const TDayRecord& r : days) AppendDay(t.ctx.days, r);
    StoreDays(t.ctx, days.empty() ? "" : days.front().Prc_PCode);
}

// Stores two days of different month tables and reads every column back,
// inside a transaction as a run writes them.
void RoundTrip(ResultsDb& t) {
    t.ctx.db->Begin();
    CreateTableIfMissing(t.ctx, "p140301");
    CreateTableIfMissing(t.ctx, "p140302");
    TDayRecord a = DistinctRecord("1234", "1403/01/31", 1);
    TDayRecord b = DistinctRecord("1234", "1403/02/01", 2);
    b.Prc_FirstIn = TDayRecord::kNoTime;
    StoreArray(t, {a, b});
    t.ctx.db->Commit();

    TDayRecord got;
    Rows raw;
    ASSERT_TRUE(t.Read("1234", "1403/01/31", got, &raw));  // the day's own month, whatever its salary month
    ExpectSameColumns(a, got);
    EXPECT_TRUE(raw.IsNull(0, "Prc_BeinLessWork"));  // never written: keeps the table's default
    EXPECT_TRUE(raw.IsNull(0, "Prc_HourEleaveRemain"));
    ASSERT_TRUE(t.Read("1234", "1403/02/01", got));
    ExpectSameColumns(b, got);
    EXPECT_EQ(got.Prc_FirstIn, -1000);
    EXPECT_EQ(t.Count("p140301"), 1);
    EXPECT_EQ(t.Count("p140302"), 1);
}

TEST(StoreDays, EveryColumnRoundTrips) {
    ResultsDb t;
    RoundTrip(t);
}

TEST(StoreDays, RoundTripOnPostgres) {
    FRESH_POSTGRES_OR_SKIP(db, nullptr);
    ResultsDb t(std::move(db));
    RoundTrip(t);
}

TEST(StoreDays, OverwritesAnExistingDayEvenWhenEditedByHand) {
    ResultsDb t;
    CreateTableIfMissing(t.ctx, "p140302");
    StoreArray(t, {DistinctRecord("77", "1403/02/05", 1)});
    t.ctx.db->Execute(
        "update p140302 set prc_changed=1, Prc_PureWork=9999, Prc_BeinLessWork=5, Prc_scrtimes1=3 "
        "where prc_pcode='77'");

    TDayRecord second = DistinctRecord("77", "1403/02/05", 3);
    StoreArray(t, {second});
    TDayRecord got;
    Rows raw;
    ASSERT_TRUE(t.Read("77", "1403/02/05", got, &raw));
    ExpectSameColumns(second, got);
    EXPECT_EQ(got.Prc_changed, 0);
    EXPECT_EQ(raw.Int(0, "Prc_BeinLessWork"), 5);  // not a column of the writer
    EXPECT_EQ(t.Count("p140302"), 1);
}

TEST(StoreDays, DayWithoutPunchesStoresNoTimeInEveryPunchColumn) {
    ResultsDb t;
    CreateTableIfMissing(t.ctx, "p140302");
    TDayRecord r;
    r.Prc_PCode = "5";
    r.Prc_date = "1403/02/06";
    StoreArray(t, {r});
    Rows rows = t.ctx.db->Query("select * from p140302");
    ASSERT_EQ(rows.Count(), 1u);
    for (const char* n : {"Prc_FirstIn", "Prc_FirstOut", "Prc_SecondIn", "Prc_SecondOut", "Prc_ThirdIn",
                          "Prc_ThirdOut", "Prc_FourthIn", "Prc_FourthOut", "Prc_FifthIn", "Prc_FifthOut",
                          "Prc_LastIn", "Prc_LastOut", "Prc_LastInOut"})
        EXPECT_EQ(rows.Int(0, n), -1000) << n;
}

TEST(StoreDays, TextsAreQuotedAndTheRemarkCutToThirtyCharacters) {
    ResultsDb t;
    CreateTableIfMissing(t.ctx, "p140302");
    TDayRecord r = DistinctRecord("o'k", "1403/02/07", 1);
    std::string persian;
    for (int i = 0; i < 35; ++i) persian += "\xD8\xB3";  // 35 times U+0633
    r.Prc_addFreeRemark = "'" + persian;
    StoreArray(t, {r});
    TDayRecord got;
    ASSERT_TRUE(t.Read("o'k", "1403/02/07", got));
    EXPECT_EQ(got.Prc_addFreeRemark, "'" + persian.substr(0, 29 * 2));
    EXPECT_EQ(got.Prc_PureWork, r.Prc_PureWork);
}

TEST(StoreDays, ScriptColumnsOnlyWhenScriptsAreEnabledAndDaysWithinSixteenBits) {
    ResultsDb t;
    CreateTableIfMissing(t.ctx, "p140302");
    TDayRecord r = DistinctRecord("9", "1403/02/08", 1);
    r.Prc_scrdays[0] = 40000;
    r.Prc_scrdays[1] = -40000;
    StoreArray(t, {r});
    TDayRecord got;
    ASSERT_TRUE(t.Read("9", "1403/02/08", got));
    EXPECT_EQ(got.Prc_scrdays[0], 32767);
    EXPECT_EQ(got.Prc_scrdays[1], -32768);
    EXPECT_EQ(got.Prc_scrtimes[4], r.Prc_scrtimes[4]);

    t.ctx.ScriptsEnabled = false;
    TDayRecord other = DistinctRecord("9", "1403/02/08", 5);
    StoreArray(t, {other});
    ASSERT_TRUE(t.Read("9", "1403/02/08", got));
    EXPECT_EQ(got.Prc_scrtimes[4], r.Prc_scrtimes[4]);  // kept from the first write
    EXPECT_EQ(got.Prc_PureWork, other.Prc_PureWork);
}

TEST(StoreDays, FutureDateGuardSkipsDaysAfterToday) {
    FixedNow now("1403/02/10 12:00");
    ResultsDb t;
    t.ctx.settings.FutureDaysAllowed = false;
    CreateTableIfMissing(t.ctx, "p140302");
    StoreArray(t, {DistinctRecord("1", "1403/02/09", 1), DistinctRecord("1", "1403/02/10", 2),
                   DistinctRecord("1", "1403/02/11", 3)});
    Rows rows = t.ctx.db->Query("select prc_date from p140302 order by prc_date");
    ASSERT_EQ(rows.Count(), 2u);
    EXPECT_EQ(rows.Text(0, "prc_date"), "1403/02/09");
    EXPECT_EQ(rows.Text(1, "prc_date"), "1403/02/10");

    t.ctx.settings.FutureDaysAllowed = true;
    StoreArray(t, {DistinctRecord("1", "1403/02/11", 3)});
    EXPECT_EQ(t.Count("p140302"), 3);
}

TEST(StoreDays, RefusesACodeLongerThanTheKeyColumn) {
    ResultsDb t;
    CreateTableIfMissing(t.ctx, "p140302");
    StoreArray(t, {DistinctRecord("12345678", "1403/02/01", 1)});
    EXPECT_THROW(StoreArray(t, {DistinctRecord("123456789", "1403/02/02", 1)}), std::runtime_error);
    EXPECT_EQ(t.Count("p140302"), 1);
}

TEST(StoreDays, AnEmptyRunStoresNothing) {
    ResultsDb t;
    t.ctx.results.CurrentTable = "p140302";
    StoreArray(t, {});
    EXPECT_TRUE(t.ctx.db->ListTables().empty());
    EXPECT_FALSE(t.ctx.results.Created);
}

TEST(StoreDays, AMonthRecordInTheArrayGoesToTheMonthRow) {
    ResultsDb t;
    CreateTableIfMissing(t.ctx, "p140302");
    StoreArray(t, {DistinctRecord("3", "1403/02/01", 1), DistinctRecord("3", "1403/03/00", 2)});
    TDayRecord got;
    ASSERT_TRUE(t.Read("3", "1403/03/00", got));  // its table was created for it
    EXPECT_EQ(got.Prc_changed, 0);
    EXPECT_EQ(t.Count("p140302"), 1);
}

// ---- Month-total row ------------------------------------------------------

TMonthLeaveColumns Leave(int base) { return {base + 1, base + 2, base + 3, base + 4}; }

void ExpectMonthRow(ResultsDb& t, const std::string& code, const std::string& date, const TDayRecord& want,
                    const TMonthLeaveColumns& leave) {
    TDayRecord got;
    Rows raw;
    ASSERT_TRUE(t.Read(code, date, got, &raw));
    ExpectSameColumns(want, got, {"Prc_HourDayEleaveSalary", "Prc_HourDaySleaveSalary", "Prc_changed"});
    EXPECT_EQ(got.Prc_HourDayEleaveSalary, leave.ProjectionDays);
    EXPECT_EQ(got.Prc_HourDaySleaveSalary, leave.ProjectionMinutes);
    EXPECT_EQ(raw.Int(0, "Prc_HourEleaveRemain"), leave.RemainMinutes);
    EXPECT_EQ(raw.Int(0, "Prc_DayEleaveRemain"), leave.RemainDays);
    EXPECT_EQ(got.Prc_changed, 0);
}

void MonthTotalCycle(ResultsDb& t) {
    FixedNow now("1403/03/05 08:00");
    TDayRecord m = DistinctRecord("42", "", 4);
    m.Prc_changed = 1;  // the monthly calculation's record never protects itself
    StoreMonthTotal(t.ctx, m, "1403/02/01", "1403/02/31", 29, Leave(10));
    EXPECT_EQ(m.Prc_date, "1403/02/00");
    EXPECT_EQ(m.Prc_Type, 0);
    EXPECT_EQ(m.Prc_station, 31);
    EXPECT_EQ(m.Prc_kind, 29);
    EXPECT_EQ(m.Prc_28, 29);
    ExpectMonthRow(t, "42", "1403/02/00", m, Leave(10));

    // Recalculated: the row is overwritten in place.
    TDayRecord again = DistinctRecord("42", "", 6);
    StoreMonthTotal(t.ctx, again, "1403/02/01", "1403/02/31", 27, Leave(20));
    EXPECT_EQ(again.Prc_kind, 0);
    EXPECT_EQ(again.Prc_28, 0);
    ExpectMonthRow(t, "42", "1403/02/00", again, Leave(20));
    EXPECT_EQ(t.Count("p140302"), 1);

    // Edited by hand: kept entirely, script and leave columns included.
    t.ctx.db->Execute("update p140302 set prc_changed=1, Prc_PureWork=1, Prc_scrdays2=7, Prc_DayEleaveRemain=8");
    TDayRecord third = DistinctRecord("42", "", 8);
    StoreMonthTotal(t.ctx, third, "1403/02/01", "1403/02/31", 0, Leave(30));
    TDayRecord got;
    Rows raw;
    ASSERT_TRUE(t.Read("42", "1403/02/00", got, &raw));
    EXPECT_EQ(got.Prc_changed, 1);
    EXPECT_EQ(got.Prc_PureWork, 1);
    EXPECT_EQ(got.Prc_scrdays[1], 7);
    EXPECT_EQ(raw.Int(0, "Prc_DayEleaveRemain"), 8);
    ExpectSameColumns(again, got, {"Prc_HourDayEleaveSalary", "Prc_HourDaySleaveSalary", "Prc_changed",
                                   "Prc_PureWork", "Prc_scrdays2"});
    EXPECT_EQ(t.Count("p140302"), 1);
}

TEST(StoreMonthTotal, WritesOverwritesAndKeepsAHandEditedRow) {
    ResultsDb t;
    MonthTotalCycle(t);  // the month table does not exist beforehand
}

TEST(StoreMonthTotal, OnPostgres) {
    FRESH_POSTGRES_OR_SKIP(db, nullptr);
    ResultsDb t(std::move(db));
    MonthTotalCycle(t);
}

TEST(StoreMonthTotal, MonthInProgressIsMarkedAndPartialRangeWritesNothing) {
    FixedNow now("1403/02/10 08:00");
    ResultsDb t;
    t.ctx.settings.FutureDaysAllowed = false;  // the "00" row stands for the month's first day
    TDayRecord m = DistinctRecord("8", "", 1);
    StoreMonthTotal(t.ctx, m, "1403/02/01", "1403/02/10", 0, Leave(0));
    TDayRecord got;
    ASSERT_TRUE(t.Read("8", "1403/02/00", got));
    EXPECT_EQ(got.Prc_Type, 1);
    EXPECT_EQ(got.Prc_station, 31);

    // A range that ended before today and is not the whole month.
    TDayRecord p = DistinctRecord("8", "", 2);
    StoreMonthTotal(t.ctx, p, "1403/01/01", "1403/01/20", 0, Leave(0));
    EXPECT_FALSE(t.ctx.db->TableExists("p140101"));
}

TEST(StoreMonthTotal, SalaryMonthEndingOnTheTwentyFifth) {
    FixedNow now("1403/03/05 08:00");
    ResultsDb t;
    t.ctx.settings.CalendarMonths = false;
    t.ctx.settings.MonthEndDay.fill(25);
    TDayRecord m = DistinctRecord("8", "", 1);
    StoreMonthTotal(t.ctx, m, "1403/01/26", "1403/02/25", 0, Leave(0));
    TDayRecord got;
    ASSERT_TRUE(t.Read("8", "1403/02/00", got));
    EXPECT_EQ(got.Prc_station, 25);
    EXPECT_EQ(got.Prc_Type, 0);
}

// ---- Results cursor -------------------------------------------------------

TEST(ResultsCursor, SeekMovesToTheDatesTableAndCreatesIt) {
    ResultsDb t;
    CreateTableIfMissing(t.ctx, "p140212");
    t.ctx.db->Execute("insert into p140212 (prc_pcode, prc_date, Prc_28, Prc_LastInOut) values "
                      "('5','1402/12/29',28,1500), ('6','1402/12/29',0,1)");
    OpenResultsCursor(t.ctx, "5", "p140212");
    t.ctx.results.CurrentTable = "p140212";
    ResultsCursorOpen(t.ctx);
    int row = SeekResultRow(t.ctx, "5", "1402/12/29");
    ASSERT_GE(row, 0);
    EXPECT_EQ(t.ctx.results.rows.Int(row, "prc_lastinout"), 1500);
    EXPECT_EQ(t.ctx.results.rows.Count(), 1u);  // only the person's rows

    EXPECT_EQ(SeekResultRow(t.ctx, "5", "1403/01/05"), -1);
    EXPECT_EQ(t.ctx.results.CurrentTable, "p140301");
    EXPECT_TRUE(t.ctx.db->TableExists("p140301"));
    FreeResultsCursor(t.ctx);
    EXPECT_FALSE(t.ctx.results.Created);
    EXPECT_EQ(t.ctx.results.CurrentTable, "p140301");
}

// ---- The batch on SQL Server ----------------------------------------------

TEST(DayRowSql, SqlServerBatchLineByLine) {
    auto dialect = MakeSqlServerDialect();
    // Only the dialect is needed to build the text.
    struct TextOnly : Database {
        const Dialect* d;
        void Execute(const std::string&) override {}
        Rows Query(const std::string&) override { return {}; }
        std::vector<std::string> ListTables() override { return {}; }
        void Begin() override {}
        void Commit() override {}
        void Rollback() override {}
        bool InTransaction() const override { return false; }
        bool TryExecute(const std::string&, std::string*) override { return true; }
        const Dialect& dialect() const override { return *d; }
    } db;
    db.d = dialect.get();
    TRunContext ctx;
    ctx.db = &db;
    ctx.ScriptsEnabled = true;
    TDayRecord r;
    r.Prc_PCode = "1234";
    r.Prc_date = "1403/02/05";
    r.Prc_PureWork = 480;
    r.Prc_scrdays[9] = -3;
    const std::string sql = DayRowSql(ctx, r);
    std::vector<std::string> lines;
    for (std::size_t s = 0, e; s <= sql.size(); s = e + 1) {
        e = sql.find('\n', s);
        if (e == std::string::npos) e = sql.size();
        lines.push_back(sql.substr(s, e - s));
    }
    const std::vector<std::string> head = {
        "DECLARE @Inserted bit",
        "DECLARE @CanEditResult bit",
        "DECLARE @prcdate nvarchar(10)",
        "DECLARE @prccardno nvarchar(8)",
        "SET @Inserted = 1",
        "SET @CanEditResult = 1",
        "SET @prcdate = N'1403/02/05'",
        "SET @prccardno =N'1234'",
        "if not exists(select * from dbo.p140302 where(prc_date=@prcdate and Prc_PCode=@prccardno))",
        "begin",
        "  insert into dbo.p140302 (prc_date,Prc_PCode) values (@prcdate,@prccardno)",
        "  set @Inserted = 1",
        "end",
        "if @inserted=1 or (not (@inserted=0 and (substring(@prcdate,9,2)= '00') and @CanEditResult=1))",
        "begin",
        "  update dbo.p140302 set ",
        "         Prc_PureWork = 480",
        "        ,Prc_PureDayWork = 0"};
    ASSERT_GT(lines.size(), head.size());
    for (std::size_t i = 0; i < head.size(); ++i) EXPECT_EQ(lines[i], head[i]) << "line " << i + 1;
    auto at = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) - lines.begin(); };
    EXPECT_EQ(at("        ,prc_dayabsencePure = 0") + 1, at("  where(prc_date=@prcdate and Prc_PCode=@prccardno)"));
    EXPECT_EQ(at("update dbo.p140302 set ") + 1, at("       Prc_FirstIn = -1000"));
    EXPECT_EQ(at("      ,Prc_ValidAddWorkFree = 0") + 1, at("      ,Prc_addFreeRemark = N''"));
    EXPECT_EQ(at("      ,Prc_changed = 0") + 1, at("      ,Prc_scrtimes1 = 0"));
    EXPECT_EQ(at("      ,Prc_scrtimes10 = 0") + 1, at("      ,Prc_scrdays10 = -3"));
    EXPECT_EQ(lines.back(), "where(prc_date=@prcdate and Prc_PCode=@prccardno)");
    EXPECT_EQ(at("      ,Prc_scrdays10 = -3") + 2, static_cast<long>(lines.size()));
}

}  // namespace
}  // namespace attcalc
