#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "db/OdbcDialects.h"
#include "run/Context.h"
#include "support/TestSupport.h"

using namespace attcalc;

namespace {

// Passes everything to a real database and counts how often the tables are
// listed, so that tests can see when the catalogue asks the database.
class CountingDb : public Database {
public:
    explicit CountingDb(std::unique_ptr<Database> inner) : inner_(std::move(inner)) {}
    void Execute(const std::string& sql) override { inner_->Execute(sql); }
    Rows Query(const std::string& sql) override { return inner_->Query(sql); }
    std::vector<std::string> ListTables() override {
        ++listings;
        return inner_->ListTables();
    }
    void Begin() override { inner_->Begin(); }
    void Commit() override { inner_->Commit(); }
    void Rollback() override { inner_->Rollback(); }
    bool InTransaction() const override { return inner_->InTransaction(); }
    bool TryExecute(const std::string& sql, std::string* error) override { return inner_->TryExecute(sql, error); }
    const Dialect& dialect() const override { return inner_->dialect(); }
    int listings = 0;

private:
    std::unique_ptr<Database> inner_;
};

struct SqliteFixture {
    SqliteFixture() : db(OpenSqlite(":memory:")) { ctx.db = &db; }
    CountingDb db;
    TRunContext ctx;
};

struct Column {
    std::string name, type;
    int pk = 0;  // position in the primary key, 0 when not part of it
};

std::vector<Column> SqliteColumns(Database& db, const std::string& table) {
    Rows r = db.Query("pragma table_info(" + table + ")");
    std::vector<Column> out;
    for (std::size_t i = 0; i < r.Count(); ++i)
        out.push_back({r.Text(i, "name"), r.Text(i, "type"), static_cast<int>(r.Int(i, "pk"))});
    return out;
}

std::vector<std::string> Names(const std::vector<Column>& cols) {
    std::vector<std::string> out;
    for (const Column& c : cols) out.push_back(c.name);
    return out;
}

std::vector<std::string> KeyColumns(const std::vector<Column>& cols) {
    std::vector<Column> key;
    for (const Column& c : cols)
        if (c.pk) key.push_back(c);
    std::sort(key.begin(), key.end(), [](const Column& a, const Column& b) { return a.pk < b.pk; });
    return Names(key);
}

std::vector<std::string> SqliteIndexNames(Database& db, const std::string& table) {
    Rows r = db.Query("select name from sqlite_master where type='index' and tbl_name='" + table +
                      "' and sql is not null order by name");
    std::vector<std::string> out;
    for (std::size_t i = 0; i < r.Count(); ++i) out.push_back(r.Text(i, "name"));
    return out;
}

bool HasTable(Database& db, const std::string& name) {
    auto t = db.ListTables();
    return std::any_of(t.begin(), t.end(), [&](const std::string& n) { return EqualsNoCase(n, name); });
}

// One case per layout: the name a caller asks for, the table that appears,
// and what the stored table must look like.
struct LayoutCase {
    std::string ask, created;
    std::size_t columns;
    std::string first, last;
    std::vector<std::string> key;
};

const std::vector<LayoutCase> kLayoutCases = {
    {"init", "init", 3, "Init_Title", "Init_Code", {}},
    {"Holiday", "holiday", 4, "holiday_year", "holiday_NonRasmi", {}},
    {"qvlog", "qvlog", 5, "qvl_Date", "qvl_month", {}},
    {"persons", "persons", 68, "P_BarCode", "P_MntFood", {"P_BarCode", "P_Proxi"}},
    {"rules", "rules", 156, "Rule_Code", "Rule_Script20", {}},
    {"RULESETC", "rulesetc", 167, "Rule_Code", "Rule_sprule", {}},
    {"shifts", "shifts", 16, "SH_Code", "Sh_nextsobhaneh", {}},
    {"limitusr", "limitusr", 3, "Limit_User", "Limit_code", {}},
    {"grp_dtl", "grp_dtl", 14, "Grd_Code", "Grd_M12", {}},
    {"spshift", "spshift", 5, "SP_CardNo", "SP_ID", {}},
    {"spRule", "sprule", 3, "SP_CardNo", "SP_RuleCode", {}},
    {"spgroup", "spgroup", 4, "SP_CardNo", "SP_RuleCode", {}},
    {"spmor", "spmor", 5, "Spm_PCode", "Spm_Remark", {}},
    {"readers", "readers", 17, "R_Code", "R_LastFrame", {"R_Code"}},
    {"trouble", "trouble", 2, "tp_part", "tp_trouble", {}},
    {"morkhasi", "morkhasi", 35, "Mor_PCode", "Mor_H12", {}},
    {"smorkhasi", "smorkhasi", 26, "Mor_PCode", "Mor_H12", {}},
    {"addfree", "addfree", 15, "Add_PCode", "Add_Remark", {}},
    {"P139304", "p139304", 155, "Prc_PCode", "Prc_scrdays10", {"Prc_PCode", "Prc_Date"}},
    {"A139304", "a139304", 32, "E_PCode", "E_D31", {"E_PCode"}},
    {"e139304", "e139304", 32, "E_PCode", "E_D31", {"E_PCode"}},
    {"t139304", "t139304", 7, "clock_barcode", "clock_User", {}},
    {"c139304", "c139304", 11, "Clock_BarCode", "Clock_User", {}},
    {"i139304", "i139304", 4, "IO_BarCode", "IO_IOType", {}},
};

}  // namespace

TEST(Catalogue, CreatesEveryLayoutWithItsColumnsOrderAndKey) {
    SqliteFixture f;
    for (const LayoutCase& c : kLayoutCases) {
        SCOPED_TRACE(c.ask);
        ASSERT_NE(LayoutForTable(c.ask), nullptr);
        CreateTableIfMissing(f.ctx, c.ask);
        ASSERT_TRUE(HasTable(f.db, c.created));
        auto cols = SqliteColumns(f.db, c.created);
        ASSERT_EQ(cols.size(), c.columns);
        EXPECT_EQ(cols.front().name, c.first);
        EXPECT_EQ(cols.back().name, c.last);
        EXPECT_EQ(KeyColumns(cols), c.key);
        // The stored columns are exactly the layout's, in its order.
        std::vector<std::string> want;
        for (const TNewField& fl : LayoutForTable(c.ask)->Fields) want.push_back(fl.Name);
        EXPECT_EQ(Names(cols), want);
    }
    // The created names are the lower-case ones.
    auto tables = f.db.ListTables();
    EXPECT_NE(std::find(tables.begin(), tables.end(), "p139304"), tables.end());
    EXPECT_EQ(std::find(tables.begin(), tables.end(), "P139304"), tables.end());
}

TEST(Catalogue, ColumnTypesAndStatementText) {
    SqliteFixture f;
    CreateTableIfMissing(f.ctx, "qvlog");
    Rows r = f.db.Query("select sql from sqlite_master where name='qvlog'");
    ASSERT_EQ(r.Count(), 1u);
    // SQLite keeps the statement as given except for the leading keywords.
    const Dialect& d = f.db.dialect();
    EXPECT_EQ(ToLower(r.Text(0, "sql").substr(0, 13)), "create table ");
    EXPECT_EQ(r.Text(0, "sql").substr(13), "qvlog(\nqvl_Date " + d.TypeName(FieldType::NVarChar, 10) +
                                               ",\nqvl_Time " + d.TypeName(FieldType::NVarChar, 5) +
                                               ",\nqvl_pcode " + d.TypeName(FieldType::NVarChar, 8) +
                                               ",\nqvl_year " + d.TypeName(FieldType::SmallInt, 0) +
                                               ",\nqvl_month " + d.TypeName(FieldType::SmallInt, 0) + "\n)");

    CreateTableIfMissing(f.ctx, "persons");
    auto cols = SqliteColumns(f.db, "persons");
    auto type = [&](const std::string& name) {
        for (const Column& c : cols)
            if (c.name == name) return ToLower(c.type);
        return std::string("?");
    };
    EXPECT_EQ(type("P_Family"), "nvarchar(35)");
    EXPECT_EQ(type("P_Sex"), "smallint");
    EXPECT_EQ(type("P_Part1"), "integer");
    EXPECT_EQ(type("P_IsValid"), "bit");
    EXPECT_EQ(type("P_Credit"), "numeric(19,4)");
    EXPECT_EQ(SqliteIndexNames(f.db, "persons"), (std::vector<std::string>{"BCodeIdx", "ProxiIdx"}));

    // A key column pair rejects a second row with the same key.
    CreateTableIfMissing(f.ctx, "p139304");
    f.db.Execute("insert into p139304 (Prc_PCode, Prc_Date) values ('7', '1393/04/01')");
    EXPECT_THROW(f.db.Execute("insert into p139304 (Prc_PCode, Prc_Date) values ('7', '1393/04/01')"), DbError);
}

TEST(Catalogue, IdentityColumnsByName) {
    SqliteFixture f;
    EXPECT_EQ(FieldSqlType(f.ctx, {"Col_Id", ftInt}), f.db.dialect().TypeName(FieldType::IntIdentity, 0));
    EXPECT_EQ(FieldSqlType(f.ctx, {"Clock_Id", ftInteger}), f.db.dialect().TypeName(FieldType::IntIdentity, 0));
    EXPECT_EQ(FieldSqlType(f.ctx, {"col_id", ftInt}), f.db.dialect().TypeName(FieldType::Int, 0));
    EXPECT_EQ(FieldSqlType(f.ctx, {"Col_Id", ftSmallInt}), f.db.dialect().TypeName(FieldType::SmallInt, 0));
    EXPECT_THROW(FieldSqlType(f.ctx, {"Sample", 12, 816}), DbError);
}

TEST(Catalogue, TableExistsIgnoresCase) {
    SqliteFixture f;
    EXPECT_FALSE(TableExists(f.ctx, "init"));
    f.db.Execute("create table init (Init_Title nvarchar(30))");
    for (const char* n : {"INIT", "Init", "init"}) EXPECT_TRUE(TableExists(f.ctx, n)) << n;
    EXPECT_FALSE(TableExists(f.ctx, "ini"));
    EXPECT_FALSE(TableExists(f.ctx, "init2"));
}

TEST(Catalogue, RemembersTablesButFindsOnesCreatedLater) {
    SqliteFixture f;
    CreateTableIfMissing(f.ctx, "p139304");
    int after = f.db.listings;
    CreateTableIfMissing(f.ctx, "P139304");
    EXPECT_TRUE(TableExists(f.ctx, "p139304"));
    EXPECT_EQ(f.db.listings, after);  // known: no need to ask again

    // A table made by some other statement of the run after a negative test.
    EXPECT_FALSE(TableExists(f.ctx, "addfree"));
    f.db.Execute("create table addfree (Add_PCode nvarchar(8))");
    EXPECT_TRUE(TableExists(f.ctx, "addfree"));
    CreateTableIfMissing(f.ctx, "addfree");  // exists: left alone
    EXPECT_EQ(SqliteColumns(f.db, "addfree").size(), 1u);
}

TEST(Catalogue, CreateTableIfMissingLeavesExistingTablesAndRows) {
    SqliteFixture f;
    CreateTableIfMissing(f.ctx, "init");
    f.db.Execute("insert into init values ('CalcFuture', '1', 0)");
    testing::internal::CaptureStderr();
    CreateTableIfMissing(f.ctx, "INIT");
    SqliteFixture fresh;  // another process that never saw the table
    fresh.ctx.db = &f.db;
    CreateTableIfMissing(fresh.ctx, "Init");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(f.db.Query("select * from init").Count(), 1u);
}

TEST(Catalogue, NamesWithoutLayoutCreateNothing) {
    SqliteFixture f;
    // Month key without known columns, layouts named only by their size, and
    // names that match no key at all.
    for (const char* n : {"n139304", "N139304", "collect", "security", "finger", "ptemp", "x139304", "p", "", "p2",
                          "persons2", "initx", "e"}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(LayoutForTable(n), nullptr);
        EXPECT_FALSE(CreateCatalogTable(f.ctx, n));
        CreateTableIfMissing(f.ctx, n);
    }
    EXPECT_TRUE(f.db.ListTables().empty());
}

TEST(Catalogue, MonthTablesOfEveryYearHaveTheirLayout) {
    for (const char* n : {"p200001", "T999912", "a000101", "c250007"}) {
        SCOPED_TRACE(n);
        ASSERT_NE(LayoutForTable(n), nullptr);
        EXPECT_EQ(LayoutForTable(n), LayoutForTable(std::string(1, n[0]) + "139304"));
    }
    for (const char* n : {"p20000", "p2000012", "x200001", "p2000a1"}) EXPECT_EQ(LayoutForTable(n), nullptr) << n;
}

TEST(Catalogue, NamesThatWouldChangeTheStatementAreRefused) {
    SqliteFixture f;
    CreateTableIfMissing(f.ctx, "init");
    // Matches the results layout by its first two characters.
    EXPECT_THROW(CreateCatalogTable(f.ctx, "p1(x int); drop table init; --"), DbError);
    EXPECT_THROW(CreateTableIfMissing(f.ctx, "t1 x"), DbError);
    EXPECT_THROW(MakeTable(f.ctx, {{"a int); drop table init; --", ftInt}}, {}, "zz"), DbError);
    EXPECT_THROW(MakeTable(f.ctx, {{"a", ftInt}}, {{"ix", "a); drop table init; --", 2}}, "zz"), DbError);
    EXPECT_THROW(EnsureClockTables(f.ctx, "13x3/04/01"), std::invalid_argument);
    EXPECT_TRUE(HasTable(f.db, "init"));
    EXPECT_FALSE(HasTable(f.db, "zz"));
}

TEST(Catalogue, FailedCreateTableIsReportedAndTheRunGoesOn) {
    SqliteFixture f;
    // The name is taken by an index: the table cannot be made.
    f.db.Execute("create table other (x int)");
    f.db.Execute("create index qvlog on other(x)");
    f.db.Begin();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CreateCatalogTable(f.ctx, "qvlog"));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("create table qvlog( qvl_Date nvarchar(10),"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    // The transaction is still usable.
    f.db.Execute("insert into other values (1)");
    f.db.Commit();
    EXPECT_EQ(f.db.Query("select * from other").Count(), 1u);
}

TEST(Catalogue, TableMadeByAnotherRunMeanwhileIsUsed) {
    SqliteFixture f;
    f.db.Execute("create table qvlog (x int)");
    f.db.Begin();
    testing::internal::CaptureStderr();
    // The table is there but this context has not seen it yet.
    EXPECT_TRUE(CreateCatalogTable(f.ctx, "qvlog"));
    EnsureClockTables(f.ctx, "1393/04/01");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(TableExists(f.ctx, "qvlog"));
    // The clock tables of another context, made again: nothing fails.
    TRunContext other;
    other.db = &f.db;
    EnsureClockTables(other, "1393/04/01");
    f.db.Commit();
    EXPECT_TRUE(HasTable(f.db, "c139304"));
}

TEST(Catalogue, LongStatementsAreCutInTheMessage) {
    SqliteFixture f;
    f.db.Execute("create table other (x int)");
    f.db.Execute("create index p139304 on other(x)");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CreateCatalogTable(f.ctx, "p139304"));
    std::string err = testing::internal::GetCapturedStderr();
    // The results layout has some two hundred columns; the message keeps the start.
    EXPECT_LT(err.size(), 600u) << err;
    EXPECT_NE(err.find("create table p139304( Prc_PCode nvarchar(8),"), std::string::npos) << err;
    EXPECT_NE(err.find("\u2026"), std::string::npos) << err;
}

TEST(Catalogue, FailedCreateIndexStopsTheLaterIndexes) {
    SqliteFixture f;
    f.db.Execute("create table other (a int)");
    f.db.Execute("create index BCodeIdx on other(a)");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CreateCatalogTable(f.ctx, "persons"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(TableExists(f.ctx, "persons"));
    EXPECT_EQ(KeyColumns(SqliteColumns(f.db, "persons")), (std::vector<std::string>{"P_BarCode", "P_Proxi"}));
    EXPECT_TRUE(SqliteIndexNames(f.db, "persons").empty());
}

TEST(Catalogue, MakeTableKeysAndIndexes) {
    SqliteFixture f;
    // An ordinary index first: no primary key, every index made.
    EXPECT_TRUE(MakeTable(f.ctx, {{"a", ftInt}, {"b", ftNVarChar, 4}}, {{"ia", "a", 2}, {"ib", "b", 2}}, "t_one"));
    EXPECT_TRUE(KeyColumns(SqliteColumns(f.db, "t_one")).empty());
    EXPECT_EQ(SqliteIndexNames(f.db, "t_one"), (std::vector<std::string>{"ia", "ib"}));
    // An empty first column list: the table alone.
    EXPECT_TRUE(MakeTable(f.ctx, {{"a", ftInt}}, {{"", "", 1}, {"ic", "a", 2}}, "t_two"));
    EXPECT_TRUE(SqliteIndexNames(f.db, "t_two").empty());
    // A key that is not the first entry is no key.
    EXPECT_TRUE(MakeTable(f.ctx, {{"a", ftInt}, {"b", ftInt}}, {{"id", "b", 2}, {"", "a", 1}}, "t_three"));
    EXPECT_TRUE(KeyColumns(SqliteColumns(f.db, "t_three")).empty());
    EXPECT_EQ(SqliteIndexNames(f.db, "t_three"), (std::vector<std::string>{"id"}));
    EXPECT_TRUE(TableExists(f.ctx, "T_THREE"));
}

TEST(Catalogue, NextMonthTableName) {
    const std::pair<const char*, const char*> cases[] = {
        {"p139312", "p139401"}, {"p139309", "p139310"},   {"p139301", "p139302"}, {"e139912", "e140001"},
        {"ab139311", "ab139312"}, {"ab139312", "ab139401"}, {"P099912", "P100001"},
    };
    for (const auto& [from, to] : cases) EXPECT_EQ(NextMonthTableName(from), to) << from;
    // A loop from one month's table to another ends on every valid month.
    std::string name = "p139304";
    int steps = 0;
    while (name != "p139503" && steps < 100) name = NextMonthTableName(name), ++steps;
    EXPECT_EQ(steps, 23);
    // Names that are not a prefix and yyyymm are refused rather than turned
    // into a month that a loop would never reach.
    for (const char* bad : {"p13931", "p139313", "p139300", "p13x304", "abc139301", "", "p1393o4", "p999912"})
        EXPECT_THROW(NextMonthTableName(bad), std::invalid_argument) << bad;
}

TEST(Catalogue, MonthTableName) {
    EXPECT_EQ(MonthTableName("p", "1393/04/15"), "p139304");
    EXPECT_EQ(MonthTableName("C", "1402/12/29"), "C140212");
    EXPECT_EQ(MonthTableName("p", "1393/04/00"), "p139304");
    for (const char* bad : {"", "1393/4/15", "1393", "13a3/04/15"})
        EXPECT_THROW(MonthTableName("p", bad), std::invalid_argument) << bad;
}

TEST(Catalogue, EnsureClockTables) {
    SqliteFixture f;
    EnsureClockTables(f.ctx, "1393/04/15");
    EXPECT_TRUE(TableExists(f.ctx, "c139304"));
    EXPECT_TRUE(TableExists(f.ctx, "I139304"));
    EXPECT_EQ(Names(SqliteColumns(f.db, "C139304")),
              (std::vector<std::string>{"Clock_BarCode", "Clock_BDate", "Clock_BTime", "Clock_BRdrCode",
                                        "Clock_BRecState", "Clock_Date", "Clock_Time", "Clock_RdrCode", "Clock_Chg",
                                        "Clock_RecState", "Clock_User"}));
    EXPECT_EQ(Names(SqliteColumns(f.db, "I139304")),
              (std::vector<std::string>{"IO_BarCode", "IO_Date", "IO_Time", "IO_IOType"}));
    EXPECT_TRUE(KeyColumns(SqliteColumns(f.db, "C139304")).empty());

    // Existing tables stay as they are, also when only one of the two exists.
    f.db.Execute("insert into C139304 (Clock_BarCode, Clock_Date, Clock_Time) values ('7', '1393/04/15', 480)");
    f.db.Execute("create table c139305 (Clock_BarCode varchar(8))");
    SqliteFixture again;
    again.ctx.db = &f.db;
    EnsureClockTables(again.ctx, "1393/04/01");
    EnsureClockTables(again.ctx, "1393/05/01");
    EXPECT_EQ(f.db.Query("select * from c139304").Count(), 1u);
    EXPECT_EQ(SqliteColumns(f.db, "c139305").size(), 1u);
    EXPECT_EQ(SqliteColumns(f.db, "i139305").size(), 4u);
    EXPECT_THROW(EnsureClockTables(f.ctx, "1393"), std::invalid_argument);
}

TEST(Catalogue, LayoutsAreWellFormed) {
    for (const TTableLayout& l : CatalogueLayouts()) {
        SCOPED_TRACE(l.Key);
        EXPECT_EQ(ToLower(l.Key), l.Key);
        std::vector<std::string> seen;
        for (const TNewField& fl : l.Fields) {
            EXPECT_EQ(std::find(seen.begin(), seen.end(), ToLower(fl.Name)), seen.end()) << fl.Name;
            seen.push_back(ToLower(fl.Name));
            EXPECT_EQ(fl.Size > 0, fl.Type == ftNVarChar) << fl.Name;
        }
        for (std::size_t i = 1; i < l.Indexes.size(); ++i) EXPECT_NE(l.Indexes[i].Kind, 1);
    }
}

namespace {

std::vector<std::string> PgColumns(Database& db, const std::string& table) {
    Rows r = db.Query("select column_name from information_schema.columns where table_schema = current_schema()"
                      " and table_name = " + db.dialect().Quote(table) + " order by ordinal_position");
    std::vector<std::string> out;
    for (std::size_t i = 0; i < r.Count(); ++i) out.push_back(r.Text(i, "column_name"));
    return out;
}

std::vector<std::string> PgKey(Database& db, const std::string& table) {
    Rows r = db.Query(
        "select k.column_name from information_schema.table_constraints c"
        " join information_schema.key_column_usage k on k.constraint_name = c.constraint_name"
        " and k.table_schema = c.table_schema and k.table_name = c.table_name"
        " where c.table_schema = current_schema() and c.table_name = " + db.dialect().Quote(table) +
        " and c.constraint_type = 'PRIMARY KEY' order by k.ordinal_position");
    std::vector<std::string> out;
    for (std::size_t i = 0; i < r.Count(); ++i) out.push_back(r.Text(i, "column_name"));
    return out;
}

std::vector<std::string> Lower(std::vector<std::string> v) {
    for (std::string& s : v) s = ToLower(s);
    return v;
}

}  // namespace

TEST(CataloguePostgres, CreatesEveryLayoutWithItsColumnsOrderAndKey) {
    FRESH_POSTGRES_OR_SKIP(db, nullptr);
    TRunContext ctx;
    ctx.db = db.get();
    db->Begin();  // as in a run: every creation inside the run's transaction
    for (const LayoutCase& c : kLayoutCases) {
        SCOPED_TRACE(c.ask);
        CreateTableIfMissing(ctx, c.ask);
        std::vector<std::string> want;
        for (const TNewField& fl : LayoutForTable(c.ask)->Fields) want.push_back(ToLower(fl.Name));
        EXPECT_EQ(Lower(PgColumns(*db, c.created)), want);
        EXPECT_EQ(Lower(PgKey(*db, c.created)), Lower(c.key));
    }
    Rows ix = db->Query("select indexname from pg_indexes where schemaname = current_schema()"
                        " and tablename = 'persons' order by indexname");
    ASSERT_EQ(ix.Count(), 3u);
    EXPECT_EQ(ToLower(ix.Text(0, "indexname")), "bcodeidx");
    EXPECT_EQ(ToLower(ix.Text(2, "indexname")), "proxiidx");

    // A table another run has made meanwhile is used as it is.
    TRunContext other;
    other.db = db.get();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(CreateCatalogTable(other, "qvlog"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // A failed creation inside the transaction leaves it usable.
    db->Execute("create index p139305 on qvlog(qvl_pcode)");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CreateCatalogTable(other, "p139305"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("create table p139305("), std::string::npos);
    db->Execute("insert into qvlog (qvl_Date, qvl_pcode, qvl_year) values ('1393/04/01', '7', 1393)");
    db->Execute("insert into p139304 (Prc_PCode, Prc_Date, Prc_28) values ('7', '1393/04/01', 29)");
    db->Commit();
    EXPECT_EQ(db->Query("select * from qvlog").Count(), 1u);
    EXPECT_EQ(db->Query("select prc_28 from p139304").Int(0, "Prc_28"), 29);
    for (const char* n : {"P139304", "p139304", "QVLOG"}) EXPECT_TRUE(TableExists(other, n)) << n;
}

TEST(CataloguePostgres, EnsureClockTables) {
    FRESH_POSTGRES_OR_SKIP(db, nullptr);
    TRunContext ctx;
    ctx.db = db.get();
    EnsureClockTables(ctx, "1393/04/15");
    EXPECT_EQ(Lower(PgColumns(*db, "c139304")).size(), 11u);
    EXPECT_EQ(Lower(PgColumns(*db, "i139304")),
              (std::vector<std::string>{"io_barcode", "io_date", "io_time", "io_iotype"}));
    db->Execute("insert into c139304 (Clock_BarCode, Clock_Date, Clock_Time) values ('7', '1393/04/15', 480)");
    TRunContext again;
    again.db = db.get();
    EnsureClockTables(again, "1393/04/01");
    EXPECT_TRUE(TableExists(again, "C139304"));
    EXPECT_EQ(db->Query("select * from C139304").Count(), 1u);
}

namespace {

// Keeps the statements instead of running them, with the SQL of SQL Server.
class RecordingDb : public Database {
public:
    RecordingDb() : dialect_(MakeSqlServerDialect()) {}
    void Execute(const std::string& sql) override { statements.push_back(sql); }
    Rows Query(const std::string& sql) override { return Rows(sql, {}); }
    std::vector<std::string> ListTables() override { return tables; }
    void Begin() override {}
    void Commit() override {}
    void Rollback() override {}
    bool InTransaction() const override { return false; }
    bool TryExecute(const std::string& sql, std::string* error) override {
        statements.push_back(sql);
        return true;
    }
    const Dialect& dialect() const override { return *dialect_; }
    std::vector<std::string> statements, tables;

private:
    std::unique_ptr<Dialect> dialect_;
};

}  // namespace

TEST(CatalogueSqlServer, StatementsNameTheSchemaAndTheServersTypes) {
    RecordingDb db;
    TRunContext ctx;
    ctx.db = &db;
    CreateTableIfMissing(ctx, "qvlog");
    ASSERT_EQ(db.statements.size(), 1u);
    EXPECT_EQ(db.statements[0],
              "create table dbo.qvlog(\nqvl_Date NVarChar(10),\nqvl_Time NVarChar(5),\nqvl_pcode NVarChar(8),\n"
              "qvl_year SmallInt,\nqvl_month SmallInt\n)");

    db.statements.clear();
    EXPECT_TRUE(CreateCatalogTable(ctx, "Persons"));
    ASSERT_EQ(db.statements.size(), 3u);
    const std::string& create = db.statements[0];
    EXPECT_EQ(create.rfind("create table dbo.persons(\nP_BarCode NVarChar(8),\n", 0), 0u) << create;
    EXPECT_NE(create.find("\nP_Credit money,\n"), std::string::npos);
    EXPECT_NE(create.find("\nP_IsValid Bit,\n"), std::string::npos);
    EXPECT_NE(create.find("\nP_Part1 int,\n"), std::string::npos);
    EXPECT_TRUE(create.ends_with("\nP_MntFood Bit\n, primary key (P_BarCode, P_Proxi))")) << create;
    EXPECT_EQ(db.statements[1], "create index BCodeIdx\n on dbo.persons(P_BarCode)");
    EXPECT_EQ(db.statements[2], "create index ProxiIdx\n on dbo.persons(P_Proxi)");

    db.statements.clear();
    db.tables = {"I139304"};
    EnsureClockTables(ctx, "1393/04/15");
    ASSERT_EQ(db.statements.size(), 2u);
    EXPECT_EQ(db.statements[0].rfind("CREATE TABLE dbo.C139304(\nClock_BarCode VarChar(8) ,\n", 0), 0u);
    EXPECT_TRUE(db.statements[0].ends_with(" ,\nClock_User VarChar(15))")) << db.statements[0];
    // The table made here gets the index of the per-person reads.
    EXPECT_EQ(db.statements[1], "create index c139304_barcode_date\n on dbo.C139304(Clock_BarCode, Clock_Date)");
}
