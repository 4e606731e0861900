// Bound queries: kept compiled per connection, markers bound by position, rows
// read exactly as Query reads them; on SQLite and on PostgreSQL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/Database.h"
#include "db/Dialect.h"
#include "support/TestSupport.h"

namespace attcalc {
namespace {

class QueryBoundTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "postgresql") {
            if (test::PostgresConnectionString().empty())
                GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG is unset)";
            db_ = test::FreshPostgres();
        } else {
            db_ = OpenSqlite(":memory:");
        }
        Database& db = *db_;
        db.Execute("create table clk (c_code varchar(20), c_date varchar(10), c_time integer, c_rate float,"
                   " c_note varchar(40))");
        db.Execute("insert into clk values ('7', '1405/01/01', 480, 1.5, null)");
        db.Execute("insert into clk values ('7', '1405/01/02', 500, 2.25, 'late')");
        db.Execute("insert into clk values ('8', '1405/01/01', 470, 0.5, 'it''s ?')");
        db.Execute("insert into clk values ('it''s ?', '1405/01/03', 1, 0, 'odd')");
    }

    // Columns, kinds and values of two row sets, which must agree entirely.
    static void ExpectSame(const Rows& a, const Rows& b) {
        ASSERT_EQ(a.Columns(), b.Columns());
        ASSERT_EQ(a.Count(), b.Count());
        for (std::size_t r = 0; r < a.Count(); ++r) {
            for (std::size_t c = 0; c < a.Columns().size(); ++c) {
                const DbValue& x = a.Value(r, c);
                const DbValue& y = b.Value(r, c);
                EXPECT_EQ(x.kind, y.kind) << "row " << r << " column " << a.Columns()[c];
                EXPECT_EQ(x.i, y.i);
                EXPECT_EQ(x.d, y.d);
                EXPECT_EQ(x.s, y.s);
            }
        }
    }

    std::unique_ptr<Database> db_;
};

TEST_P(QueryBoundTest, ReadsTheRowsQueryReadsAndRebindsOnEachCall) {
    Database& db = *db_;
    const std::string sql = "select * from clk where c_code=? and c_date>=? and c_time>? order by c_date";
    struct Case {
        std::string code, from;
        std::int64_t after;
        std::size_t rows;
    };
    // The same text run again with other values: each call sees its own
    // values, never those of the call before.
    const Case cases[] = {{"7", "1405/01/01", 0, 2}, {"8", "1405/01/01", 0, 1}, {"7", "1405/01/02", 0, 1},
                          {"7", "1405/01/01", 490, 1}, {"9", "1405/01/01", 0, 0}, {"7", "1405/01/01", 0, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code + " " + c.from + " " + std::to_string(c.after));
        Rows bound = db.QueryBound(sql, {DbValue::Text(c.code), DbValue::Text(c.from), DbValue::Int(c.after)});
        Rows literal = db.Query("select * from clk where c_code=" + db.dialect().Quote(c.code) + " and c_date>=" +
                                db.dialect().Quote(c.from) + " and c_time>" + std::to_string(c.after) +
                                " order by c_date");
        EXPECT_EQ(bound.Count(), c.rows);
        ExpectSame(bound, literal);
    }
    // Columns found by name ignoring case, a null read as the empty text.
    Rows r = db.QueryBound("select C_Code, c_note, c_rate from clk where c_code=? order by c_date", {DbValue::Text("7")});
    ASSERT_EQ(r.Count(), 2u);
    EXPECT_TRUE(r.IsNull(0, "C_NOTE"));
    EXPECT_EQ(r.Text(0, "c_note"), "");
    EXPECT_EQ(r.Text(1, "c_note"), "late");
    EXPECT_DOUBLE_EQ(r.Real(1, "c_rate"), 2.25);
}

TEST_P(QueryBoundTest, ABoundTextIsAValueNeverPartOfTheStatement) {
    Database& db = *db_;
    // A quote and a marker inside the value; a marker inside a literal of the
    // text is no marker.
    Rows r = db.QueryBound("select c_date, c_note from clk where c_code=? and c_note<>'?'", {DbValue::Text("it's ?")});
    ASSERT_EQ(r.Count(), 1u);
    EXPECT_EQ(r.Text(0, "c_date"), "1405/01/03");
    EXPECT_TRUE(db.QueryBound("select * from clk where c_code=?", {DbValue::Text("7' or '1'='1")}).Empty());
    EXPECT_EQ(db.QueryBound("select * from clk where c_code=?", {DbValue::Text("7")}).Count(), 2u);
}

TEST_P(QueryBoundTest, AFailureIsReportedAndTheConnectionGoesOn) {
    Database& db = *db_;
    try {
        db.QueryBound("select * from no_such_table where c_code=?", {DbValue::Text("7")});
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("no_such_table"), std::string::npos) << e.what();
    }
    // The failed text is not kept: once the table exists it runs.
    db.Execute("create table no_such_table (c_code varchar(20))");
    db.Execute("insert into no_such_table values ('7')");
    EXPECT_EQ(db.QueryBound("select * from no_such_table where c_code=?", {DbValue::Text("7")}).Count(), 1u);
    EXPECT_EQ(db.QueryBound("select * from clk where c_code=?", {DbValue::Text("8")}).Count(), 1u);
}

TEST_P(QueryBoundTest, BatchesHandOverEveryRowInOrder) {
    Database& db = *db_;
    for (int i = 0; i < 7; ++i)
        db.Execute("insert into clk values ('5', '1405/02/" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1) +
                   "', " + std::to_string(i) + ", 0, null)");
    for (int round = 0; round < 2; ++round) {
        std::vector<std::size_t> sizes;
        std::vector<std::int64_t> times;
        db.QueryBoundBatches("select c_time from clk where c_code=? and c_date>=? order by c_date",
                             {DbValue::Text("5"), DbValue::Text("1405/02/02")}, 4, [&](const Rows& rows) {
                                 sizes.push_back(rows.Count());
                                 for (std::size_t i = 0; i < rows.Count(); ++i) times.push_back(rows.Int(i, "c_time"));
                             });
        EXPECT_EQ(sizes, (std::vector<std::size_t>{4, 2}));
        EXPECT_EQ(times, (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6}));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, QueryBoundTest, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

// The default of a backend without compiled statements writes the values as
// literals.
TEST(BindAsLiteralsTest, WritesEachValueAsTheDialectQuotesIt) {
    auto db = OpenSqlite(":memory:");
    const Dialect& d = db->dialect();
    EXPECT_EQ(BindAsLiterals(d, "select * from t where a=? and b=? and c='?' and e=?",
                             {DbValue::Text("it's"), DbValue::Int(-3), DbValue::Null()}),
              "select * from t where a='it''s' and b=-3 and c='?' and e=NULL");
    EXPECT_THROW(BindAsLiterals(d, "select ? , ?", {DbValue::Int(1)}), DbError);
}

}  // namespace
}  // namespace attcalc
