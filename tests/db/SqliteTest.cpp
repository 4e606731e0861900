#include <gtest/gtest.h>

#include "db/Database.h"
#include "db/Dialect.h"

using namespace attcalc;

TEST(Sqlite, ReadsColumnsIgnoringCaseWithNullDefaults) {
    auto db = OpenSqlite(":memory:");
    db->Execute("create table t (A_Int integer, B_Text nvarchar(10), C_Bit bit)");
    db->Execute("insert into t values (12, 'x''y', 1)");
    db->Execute("insert into t values (NULL, NULL, NULL)");
    Rows r = db->Query("select * from t");
    ASSERT_EQ(r.Count(), 2u);
    EXPECT_EQ(r.Int(0, "a_int"), 12);
    EXPECT_EQ(r.Text(0, "A_INT"), "12");
    EXPECT_EQ(r.Text(0, "b_text"), "x'y");
    EXPECT_TRUE(r.Bool(0, "c_bit"));
    EXPECT_EQ(r.Int(1, "A_Int"), 0);
    EXPECT_EQ(r.Text(1, "B_Text"), "");
    EXPECT_FALSE(r.Bool(1, "C_Bit"));
    EXPECT_THROW(r.Int(0, "missing"), DbError);
}
