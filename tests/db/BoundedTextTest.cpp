// What a run holds and what a message echoes stays bounded: queries read in
// batches, texts cut with an ellipsis, UTF-8 counted by characters.
#include <gtest/gtest.h>

#include "db/Database.h"
#include "db/Dialect.h"
#include "support/TestSupport.h"

using namespace attcalc;

namespace {

TEST(EchoText, AbbreviateCutsWholeCharactersOnly) {
    struct Case { std::string in; std::size_t max; std::string out; };
    const Case cases[] = {
        {"short", 10, "short"},
        {"exactly ten", 11, "exactly ten"},
        {"abcdefghij", 4, "abcd\u2026"},
        // Persian letters are two bytes each: never cut between them.
        {"\u0627\u062D\u0645\u062F\u06CC", 3, "\u0627\u062D\u0645\u2026"},
        {"", 0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Abbreviate(c.in, c.max), c.out) << c.in;
}

TEST(EchoText, Utf8IsCheckedAndCountedByCharacter) {
    struct Case { std::string in; bool valid; std::size_t chars; };
    const Case cases[] = {
        {"12345678", true, 8},
        {"\u0627\u062D\u0645\u062F\u06CC", true, 5},   // 10 bytes
        {"\U0001F600x", true, 2},                       // four bytes and one
        {"ab\xff", false, 3},                           // a stray byte counts as one
        {"\xc3", false, 1},                             // cut short
        {"\xc0\xaf", false, 2},                         // overlong "/"
        {"\xed\xa0\x80", false, 3},                     // a surrogate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.in), c.valid) << c.in;
        EXPECT_EQ(Utf8Length(c.in), c.chars) << c.in;
    }
}

TEST(EchoText, LongConnectionStringsAreCutAndPasswordsStayMasked) {
    std::string cs = "Provider=Nope;Password=" + std::string(50, 's') + ";Server=" + std::string(5000, 'x');
    try {
        ResolveConnectionString(cs, "/tmp");
        FAIL() << "an unknown provider was accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(std::string(e.what()), "unsupported database provider \"Nope\"");
    }
    try {
        ResolveConnectionString(cs.substr(std::string("Provider=Nope;").size()), "/tmp");
        FAIL() << "a string without provider was accepted";
    } catch (const DbError& e) {
        std::string m = e.what();
        EXPECT_LT(m.size(), 300u) << m;
        EXPECT_EQ(m.find("sss"), std::string::npos) << m;
        EXPECT_NE(m.find("Password=***;Server=xxx"), std::string::npos) << m;
        EXPECT_NE(m.find("\u2026"), std::string::npos) << m;
    }
}

TEST(EchoText, FailedStatementsAreCutInTheMessage) {
    auto db = OpenSqlite(":memory:");
    std::string sql = "select * from missing where x in (" + std::string(3000, '1') + ")";
    try {
        db->Query(sql);
        FAIL() << "a query of a missing table ran";
    } catch (const DbError& e) {
        std::string m = e.what();
        EXPECT_LT(m.size(), 300u) << m;
        EXPECT_NE(m.find("no such table: missing [select * from missing"), std::string::npos) << m;
    }
}

class Batches : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "sqlite") {
            db = OpenSqlite(":memory:");
        } else {
            if (test::PostgresConnectionString().empty()) GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG)";
            db = test::FreshPostgres();
        }
    }
    std::unique_ptr<Database> db;
};

TEST_P(Batches, RowsArriveInOrderInBatchesOfTheSizeAsked) {
    db->Execute("create table t (n integer, s varchar(10))");
    for (int i = 0; i < 25; ++i)
        db->Execute("insert into t values (" + std::to_string(i) + ", 'v" + std::to_string(i) + "')");
    struct Case { std::size_t batch; std::vector<std::size_t> sizes; };
    for (const Case& c : {Case{10, {10, 10, 5}}, Case{25, {25}}, Case{100, {25}}}) {
        std::vector<std::size_t> sizes;
        int next = 0;
        db->QueryBatches("select n, s from t order by n", c.batch, [&](const Rows& r) {
            sizes.push_back(r.Count());
            for (std::size_t i = 0; i < r.Count(); ++i, ++next) {
                EXPECT_EQ(r.Int(i, "N"), next);
                EXPECT_EQ(r.Text(i, "s"), "v" + std::to_string(next));
            }
        });
        EXPECT_EQ(sizes, c.sizes) << c.batch;
        EXPECT_EQ(next, 25);
    }
    // No row: no batch.
    int calls = 0;
    db->QueryBatches("select n from t where n < 0", 10, [&](const Rows&) { ++calls; });
    EXPECT_EQ(calls, 0);
    // A failure of the caller ends the query; the connection goes on.
    EXPECT_THROW(db->QueryBatches("select n from t", 5, [](const Rows&) { throw std::runtime_error("stop"); }),
                 std::runtime_error);
    EXPECT_EQ(db->Query("select count(*) as c from t").Int(0, "c"), 25);
}

INSTANTIATE_TEST_SUITE_P(Backends, Batches, ::testing::Values("sqlite", "postgresql"));

}  // namespace
