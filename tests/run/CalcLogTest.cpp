#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "db/Catalogue.h"
#include "db/Database.h"
#include "run/CalcLog.h"
#include "run/Context.h"

namespace attcalc {
namespace {

class CalcLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ATTCALC_NOW", "1393/02/10 08:05", 1);
        db = OpenSqlite(":memory:");
        ctx.db = db.get();
    }
    void TearDown() override { unsetenv("ATTCALC_NOW"); }

    std::unique_ptr<Database> db;
    TRunContext ctx;
};

TEST_F(CalcLogTest, EachCalculationAppendsOneRow) {
    CreateTableIfMissing(ctx, "qvlog");
    WriteCalcLog(ctx, "1234", 1393, 2);
    setenv("ATTCALC_NOW", "1393/02/11 17:30", 1);
    WriteCalcLog(ctx, "O'Neil", 1392, 12);

    Rows r = db->Query("select * from qvlog order by qvl_Date");
    ASSERT_EQ(r.Count(), 2u);
    EXPECT_EQ(r.Text(0, "qvl_Date"), "1393/02/10");
    EXPECT_EQ(r.Text(0, "qvl_Time"), "08:05");
    EXPECT_EQ(r.Text(0, "qvl_pcode"), "1234");
    EXPECT_EQ(r.Int(0, "qvl_year"), 1393);
    EXPECT_EQ(r.Int(0, "qvl_month"), 2);
    EXPECT_EQ(r.Text(1, "qvl_Date"), "1393/02/11");
    EXPECT_EQ(r.Text(1, "qvl_Time"), "17:30");
    EXPECT_EQ(r.Text(1, "qvl_pcode"), "O'Neil");
    EXPECT_EQ(r.Int(1, "qvl_year"), 1392);
    EXPECT_EQ(r.Int(1, "qvl_month"), 12);
}

TEST_F(CalcLogTest, MissingTableIsNotCreatedAndFails) {
    EXPECT_THROW(WriteCalcLog(ctx, "1234", 1393, 2), DbError);
    EXPECT_FALSE(db->TableExists("qvlog"));
}

TEST_F(CalcLogTest, GuardFollowsTheRunSettings) {
    ctx.settings.FutureDaysAllowed = false;
    EXPECT_TRUE(FutureDateGuard(ctx, "1393/02/10"));
    EXPECT_FALSE(FutureDateGuard(ctx, "1393/02/11"));
    EXPECT_TRUE(FutureDateGuard(ctx, "1393/02/00"));
    ctx.settings.FutureDaysAllowed = true;
    EXPECT_TRUE(FutureDateGuard(ctx, "1393/02/11"));
}

}  // namespace
}  // namespace attcalc
