// The same behaviour on every backend: SQLite always, PostgreSQL through ODBC
// when the test run has a server (ATTCALC_TEST_PG).
#include <gtest/gtest.h>

#include <algorithm>

#include "db/Database.h"
#include "db/Dialect.h"
#include "support/TestSupport.h"

using namespace attcalc;

namespace {

class Backend : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "sqlite") {
            db = OpenSqlite(":memory:");
        } else {
            if (test::PostgresConnectionString().empty()) GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG)";
            db = test::FreshPostgres();
        }
    }
    std::string T(const std::string& name) { return db->dialect().Table(name); }
    std::string Q(const std::string& text) { return db->dialect().Quote(text); }
    std::int64_t Count(const std::string& table) {
        return db->Query("select count(*) as n from " + T(table)).Int(0, "n");
    }
    std::unique_ptr<Database> db;
};

TEST_P(Backend, NullsReadAsZeroFalseAndEmpty) {
    db->Execute("create table " + T("t") + " (A_Int integer, B_Text " + db->dialect().TypeName(FieldType::NVarChar, 10) +
                ", C_Bit " + db->dialect().TypeName(FieldType::Bit, 0) + ", D_Money " +
                db->dialect().TypeName(FieldType::Money, 0) + ")");
    db->Execute("insert into " + T("t") + " values (NULL, NULL, NULL, NULL)");
    Rows r = db->Query("select * from " + T("t"));
    ASSERT_EQ(r.Count(), 1u);
    EXPECT_TRUE(r.IsNull(0, "a_int"));
    EXPECT_EQ(r.Int(0, "A_Int"), 0);
    EXPECT_EQ(r.Text(0, "B_Text"), "");
    EXPECT_FALSE(r.Bool(0, "C_Bit"));
    EXPECT_EQ(r.Real(0, "D_Money"), 0.0);
    EXPECT_EQ(r.Text(0, "A_Int"), "");
}

TEST_P(Backend, TypedValuesAndColumnsIgnoringCase) {
    const Dialect& d = db->dialect();
    db->Execute("create table " + T("Vals") + " (Prc_PCode " + d.TypeName(FieldType::NVarChar, 8) +
                ", Prc_Small " + d.TypeName(FieldType::SmallInt, 0) + ", Prc_Int " + d.TypeName(FieldType::Int, 0) +
                ", Prc_Bit " + d.TypeName(FieldType::Bit, 0) + ", Prc_Money " + d.TypeName(FieldType::Money, 0) +
                ", Prc_Float " + d.TypeName(FieldType::Float, 0) + ")");
    db->Execute("insert into " + T("Vals") + " (Prc_PCode, Prc_Small, Prc_Int, Prc_Bit, Prc_Money, Prc_Float) values (" +
                Q("00012") + ", -7, 2000000000, 1, 12.5, 0.25)");
    Rows r = db->Query("select Prc_PCode, Prc_Small, Prc_Int, Prc_Bit, Prc_Money, Prc_Float from " + T("Vals"));
    ASSERT_EQ(r.Count(), 1u);
    EXPECT_EQ(r.Text(0, "PRC_PCODE"), "00012");  // a code keeps its leading zeros
    EXPECT_EQ(r.Int(0, "prc_pcode"), 12);
    EXPECT_EQ(r.Int(0, "prc_small"), -7);
    EXPECT_EQ(r.Text(0, "Prc_Small"), "-7");  // an integer read as text gives its digits
    EXPECT_EQ(r.Value(0, "Prc_Small").kind, DbValue::Kind::Int);
    EXPECT_EQ(r.Int(0, "PRC_INT"), 2000000000);
    EXPECT_EQ(r.Value(0, "Prc_Bit").kind, DbValue::Kind::Int);
    EXPECT_TRUE(r.Bool(0, "prc_bit"));
    EXPECT_EQ(r.Int(0, "Prc_Bit"), 1);
    EXPECT_DOUBLE_EQ(r.Real(0, "prc_money"), 12.5);
    EXPECT_DOUBLE_EQ(r.Real(0, "prc_float"), 0.25);
    EXPECT_EQ(db->Query("select count(*) as Cnt from " + T("vals")).Value(0, "cnt").kind, DbValue::Kind::Int);
    EXPECT_THROW(r.Int(0, "Prc_Missing"), DbError);
    // Computed values: a comparison, a sum, an average.
    Rows c = db->Query("select (Prc_Small < 0) as Neg, sum(Prc_Int) as Total, sum(Prc_Money) as Money, avg(Prc_Float) as Avg"
                       " from " + T("Vals") + " group by Prc_Small");
    ASSERT_EQ(c.Count(), 1u);
    EXPECT_TRUE(c.Bool(0, "neg"));
    EXPECT_EQ(c.Int(0, "neg"), 1);
    EXPECT_EQ(c.Int(0, "total"), 2000000000);
    EXPECT_EQ(c.Text(0, "total"), "2000000000");
    EXPECT_DOUBLE_EQ(c.Real(0, "money"), 12.5);
    EXPECT_DOUBLE_EQ(c.Real(0, "avg"), 0.25);
}

TEST_P(Backend, TextThatLooksLikeSqlRoundTripsAndChangesNothing) {
    db->Execute("create table " + T("q") + " (k integer, s " + db->dialect().TypeName(FieldType::NVarChar, 200) + ")");
    db->Execute("insert into " + T("q") + " values (1, " + Q("keep") + ")");
    const std::vector<std::string> texts = {
        "O'Brien",
        "'); delete from q; --",
        "a\\'; delete from q; --",  // a backslash before the quote
        "back\\slash\\",
        "what? {fn now()} $1 ?",
        "--",
        "line\\\nbreak\r\nend",
        std::string("nul\0inside", 10),
    };
    int k = 10;
    for (const auto& s : texts) {
        db->Execute("insert into " + T("q") + " values (" + std::to_string(k) + ", " + Q(s) + ")");
        std::string expected = s;
        expected.erase(std::remove(expected.begin(), expected.end(), '\0'), expected.end());
        Rows r = db->Query("select s from " + T("q") + " where k = " + std::to_string(k));
        ASSERT_EQ(r.Count(), 1u) << s;
        EXPECT_EQ(r.Text(0, "s"), expected);
        // The literal also finds the row again.
        EXPECT_EQ(db->Query("select k from " + T("q") + " where s = " + Q(s)).Count(), 1u) << s;
        ++k;
    }
    EXPECT_EQ(Count("q"), static_cast<std::int64_t>(texts.size()) + 1);
}

TEST_P(Backend, PersianTextRoundTrips) {
    db->Execute("create table " + T("fa") + " (s " + db->dialect().TypeName(FieldType::NVarChar, 50) + ")");
    const std::string persian = "مرخصی استحقاقی ۱۴۰۳/۰۱/۰۵ — گروه «الف» ي ك";
    db->Execute("insert into " + T("fa") + " values (" + Q(persian) + ")");
    Rows r = db->Query("select s from " + T("fa") + " where s = " + Q(persian));
    ASSERT_EQ(r.Count(), 1u);
    EXPECT_EQ(r.Text(0, "S"), persian);
    // A long text arrives whole, not cut at some buffer size.
    db->Execute("create table " + T("longtext") + " (s " + db->dialect().TypeName(FieldType::NVarChar, 4000) + ")");
    std::string longText;
    for (int i = 0; i < 1500; ++i) longText += "ش" + std::to_string(i % 10);
    db->Execute("insert into " + T("longtext") + " values (" + Q(longText) + ")");
    EXPECT_EQ(db->Query("select s from " + T("longtext")).Text(0, "s"), longText);
}

TEST_P(Backend, ListTablesAndTableExistsIgnoreCase) {
    db->Execute("create table " + T("init") + " (Init_Title " + db->dialect().TypeName(FieldType::NVarChar, 30) + ")");
    db->Execute("create table " + T("p139304") + " (k " + db->dialect().TypeName(FieldType::IntIdentity, 0) + ", v integer)");
    std::vector<std::string> tables = db->ListTables();
    std::vector<std::string> lower;
    for (auto& t : tables) lower.push_back(ToLower(t));
    std::sort(lower.begin(), lower.end());
    EXPECT_EQ(lower, (std::vector<std::string>{"init", "p139304"}));  // no internal tables
    EXPECT_TRUE(db->TableExists("INIT"));
    EXPECT_TRUE(db->TableExists("Init"));
    EXPECT_TRUE(db->TableExists("P139304"));
    EXPECT_FALSE(db->TableExists("p139305"));
    // The identity column numbers inserted rows by itself.
    db->Execute("insert into " + T("p139304") + " (v) values (5)");
    db->Execute("insert into " + T("p139304") + " (v) values (6)");
    Rows r = db->Query("select k, v from " + T("p139304") + " order by v");
    ASSERT_EQ(r.Count(), 2u);
    EXPECT_LT(r.Int(0, "k"), r.Int(1, "k"));
}

TEST_P(Backend, TransactionCommitAndRollback) {
    db->Execute("create table " + T("tx") + " (v integer)");
    db->Begin();
    EXPECT_TRUE(db->InTransaction());
    db->Execute("insert into " + T("tx") + " values (1)");
    db->Commit();
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(Count("tx"), 1);

    db->Begin();
    db->Execute("insert into " + T("tx") + " values (2)");
    EXPECT_EQ(Count("tx"), 2);  // the transaction sees its own rows
    db->Rollback();
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(Count("tx"), 1);

    // After the transaction every statement commits on its own again.
    db->Execute("insert into " + T("tx") + " values (3)");
    EXPECT_EQ(Count("tx"), 2);
}

TEST_P(Backend, FailedTryExecuteLeavesTransactionUsable) {
    db->Execute("create table " + T("tx") + " (v integer)");
    db->Begin();
    db->Execute("insert into " + T("tx") + " values (1)");
    std::string err;
    EXPECT_FALSE(db->TryExecute("create table " + T("tx") + " (v integer)", &err));  // already there
    EXPECT_FALSE(err.empty());
    EXPECT_NE(err.find("create table"), std::string::npos) << err;  // the error names the statement
    EXPECT_TRUE(db->TryExecute("create table " + T("other") + " (v integer)", &err));
    db->Execute("insert into " + T("tx") + " values (2)");
    db->Commit();
    EXPECT_EQ(Count("tx"), 2);
    EXPECT_TRUE(db->TableExists("other"));

    // Outside a transaction TryExecute works too.
    EXPECT_FALSE(db->TryExecute("insert into " + T("nowhere") + " values (1)", &err));
    EXPECT_TRUE(db->TryExecute("insert into " + T("tx") + " values (3)", nullptr));
    EXPECT_EQ(Count("tx"), 3);
}

TEST_P(Backend, FailingStatementsThrowWithTheirText) {
    try {
        db->Execute("insert into " + T("missing_table") + " values (1)");
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("missing_table"), std::string::npos) << e.what();
    }
    EXPECT_THROW(db->Query("select nothing from " + T("missing_table")), DbError);
    // The message is one line, the statement's lines joined by " / ".
    try {
        db->Query("select *\nfrom " + T("missing_table") + "\r\nwhere 1=1");
        FAIL() << "no error";
    } catch (const DbError& e) {
        std::string msg = e.what();
        EXPECT_EQ(msg.find_first_of("\r\n"), std::string::npos) << msg;
        EXPECT_NE(msg.find(" / where 1=1"), std::string::npos) << msg;
    }
    // A batch whose second statement fails is a failure.
    db->Execute("create table " + T("b") + " (v integer)");
    EXPECT_THROW(db->Execute("insert into " + T("b") + " values (1);\ninsert into " + T("nope") + " values (2)"),
                 DbError);
    // The connection still works.
    EXPECT_EQ(db->Query("select count(*) as n from " + T("b")).Count(), 1u);
}

TEST_P(Backend, QueryWithoutRowsKeepsItsColumns) {
    db->Execute("create table " + T("empty") + " (Col_A integer, Col_B integer)");
    Rows r = db->Query(db->dialect().SelectNone("empty"));
    EXPECT_TRUE(r.Empty());
    EXPECT_TRUE(r.HasColumn("col_a"));
    EXPECT_TRUE(r.HasColumn("COL_B"));
    db->Execute("insert into " + T("empty") + " values (1, 2)");
    db->Execute("insert into " + T("empty") + " values (3, 4)");
    Rows top = db->Query(db->dialect().SelectTop(1, "Col_A", "from " + T("empty") + " order by Col_A desc"));
    ASSERT_EQ(top.Count(), 1u);
    EXPECT_EQ(top.Int(0, "col_a"), 3);
}

TEST_P(Backend, InsertHelperQuotesValues) {
    db->Execute("create table " + T("ins") + " (a " + db->dialect().TypeName(FieldType::NVarChar, 20) + ", b integer, c " +
                db->dialect().TypeName(FieldType::Money, 0) + ")");
    db->Insert("ins", {{"a", DbValue::Text("it's")}, {"b", DbValue::Int(-3)}, {"c", DbValue::Real(2.25)}});
    db->Insert("ins", {{"a", DbValue::Null()}, {"b", DbValue::Null()}, {"c", DbValue::Null()}});
    Rows r = db->Query("select a, b, c from " + T("ins") + " order by b");
    ASSERT_EQ(r.Count(), 2u);
    std::size_t filled = r.IsNull(0, "b") ? 1 : 0;
    EXPECT_EQ(r.Text(filled, "a"), "it's");
    EXPECT_EQ(r.Int(filled, "b"), -3);
    EXPECT_DOUBLE_EQ(r.Real(filled, "c"), 2.25);
    EXPECT_TRUE(r.IsNull(1 - filled, "a"));
}

INSTANTIATE_TEST_SUITE_P(AllBackends, Backend, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

TEST(Postgres, FreshDatabasesAreSeparate) {
    std::string cs1, cs2;
    FRESH_POSTGRES_OR_SKIP(a, &cs1);
    auto b = test::FreshPostgres(&cs2);
    a->Execute("create table mine (v integer)");
    EXPECT_TRUE(a->TableExists("mine"));
    EXPECT_FALSE(b->TableExists("mine"));
    EXPECT_EQ(a->dialect().Name(), "postgresql");
    EXPECT_NE(cs1, cs2);
    // The attcalc-style string opens the same database.
    ASSERT_FALSE(cs1.empty());
    auto again = OpenDatabase(cs1, "/nonexistent");
    EXPECT_TRUE(again->TableExists("MINE"));
}

TEST(Postgres, BadConnectionFailsWithMaskedPassword) {
    if (test::PostgresConnectionString().empty()) GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG)";
    std::string cs = test::WithConnectionValue(test::PostgresConnectionString(), "Database", "no_such_database");
    cs = test::WithConnectionValue(cs, "Pwd", "secret123");
    try {
        OpenOdbc(cs, false);
        FAIL() << "connected";
    } catch (const DbError& e) {
        std::string msg = e.what();
        EXPECT_EQ(msg.find("secret123"), std::string::npos) << msg;
        EXPECT_NE(msg.find("no_such_database"), std::string::npos) << msg;
    }
}

}  // namespace
